// The swatch: told after the stamp, the brush or the gradient changed.
#pragma once

// Nothing to redraw yet.
void Swatch_PostUpdate();
