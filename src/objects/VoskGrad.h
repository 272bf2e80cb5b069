// The gradient palette and the fill colour: what the paint tools fill with
// (gs.fill_kind, the state variable SV_FILL_KIND) and the working gradient.
//
// So far a change of fill needs nothing more: the swatch and the gradient
// bar it updates come with the palette bar.
#pragma once

#include "platform/VoskDef.h"

// Change procedure of SV_FILL_KIND (called with the old fill).
void Delta_FillKind(a_fill_kind old);
