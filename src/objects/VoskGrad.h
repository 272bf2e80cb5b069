// The gradient palette and the fill colour: what the paint tools fill with
// (gs.fill_kind, the state variable SV_FILL_KIND), the working gradient
// gs.fill_gradient built from the gradient bar, the gradient direction and
// the repeat slider, and the cells of the colour and gradient bars.
#pragma once

#include "pixel/Draw.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// Reads the stored gradient `id` of the gradient bar into obj. A missing
// item, or a damaged one (shorter than its band count says, or a count of 0
// or over MAXGRADBANDS), is reported through the item hooks with "GRAD";
// obj is then left unchanged and the result is FALSE.
bool8 Gradient_Get(int16 id, a_grad_rec& obj);
// The same check and reading on an item's bytes: a big-endian band count n,
// then n x (a byte carried into alpha, red, green, blue).
bool8 Gradient_Parse(const uint8* data, int32 len, a_grad_rec& obj);

// out := src laid out by direction `dir` (0 forward, 1 forward then back,
// 2 back then forward, 3 reversed) `reps` times, growing to 499 bands at
// most. An empty source gives an empty result.
void Net_Gradient(const a_grad_rec& src, int16 dir, int16 reps, a_grad_rec& out);
// gs.fill_gradient := the selected gradient by GRAD_DIR_GRID and
// GRAD_REP_SLIDER, then Calc_Fill_Color. A gradient that cannot be read
// leaves the working gradient as it was.
void Calc_Net_Gradient();
// The band of least red + green + blue (the first of equal sums); 0 for an
// empty gradient.
int16 Calc_Darkest_Color(const a_grad_rec& grad);
// With GRADIENT_FILL the fill colour is the darkest band of the working
// gradient and fill_colorx its nearest palette entry; otherwise fill_colorx
// is the colour bar's selection and fill_color32 that palette colour.
void Calc_Fill_Color();

// Hooks: the fill kind changed (called with the old fill), a gradient or
// direction chosen, the gradient kind chosen, a palette colour chosen.
void Delta_FillKind(a_fill_kind old);
void Gradient_Select();
void Grad_Dir_Select();
void Grad_Kind_Select();
void Palette_Select();

// Bar cells, drawn into the current port.
void Palette_DrawElement(int16 id, const Rect& destrect);
void Gradient_DrawElement(int16 id, const Rect& bardest);
