// Short labels fitted into boxes on the current port: 8-bit or UTF-16 text
// in a given font, shrunk step by step until it fits the box's width, on a
// baseline that centres it vertically, aligned left, centred or right; and
// the letter labels of numbered units. Text is drawn in the current port's
// colours and text mode.
#pragma once

#include "platform/SysFont.h"
#include "platform/Types.h"

// The next smaller size tried when 8-bit text does not fit (sizes above 9).
int32 Fit_Next_Size(int32 size);
// The same for UTF-16 text (sizes above 6).
int32 Fit_Next_USize(int32 size);

// 8-bit text (NUL-terminated, at most 255 characters) shrunk from the font record's size
// down to 9 until it fits the box's width, centred horizontally when
// `center`, else at the box's left edge. Not clipped. Returns the size drawn.
int32 Draw_String_Fit(bool8 center, a_fontspec spec, CStrSpan ss, const Rect& box);
// UTF-16 text shrunk down to 6; just 0 left, 1 centred, 2 right (others
// left); clipped to the box. Returns the size drawn.
int32 Draw_UString_Fit(int16 just, a_fontspec spec, CUStrSpan ss, const Rect& box);
// In the font already selected, centred both ways, not shrunk.
void DrawStringCentered(CStrSpan str, const Rect& box);
// At the box's left edge moved by (dx, dy), centred vertically in the font
// already selected; the second draws UTF-16 text in that font at that position.
void DrawStringLeft(CStrSpan str, const Rect& box, int16 dx, int16 dy);
void DrawUStringLeft(const a_fontspec& spec, CUStrSpan str, const Rect& box, int16 dx, int16 dy);

// The letter label of a unit number: 1 to 26 "A" to "Z", then "AA", "AB" ...
// (27 is "AA", 52 "AZ", 53 "BA"). 0 or less gives "".
void Calc_Letter_String(int16 index, StrSpan ss);
