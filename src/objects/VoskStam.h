// Stamps and warps: the current fill stamp, warped by the stamp sliders.
//
// So far only the thumb procedures of the warp sliders are here; the stamps
// come with the stamp tools.
#pragma once

// The skew and bend sliders exclude each other: dragging one puts the other
// three back to their defaults. Nothing happens yet.
void SkewX_Thumb();
void SkewY_Thumb();
void BendX_Thumb();
void BendY_Thumb();
