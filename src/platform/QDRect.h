// Rectangle and point arithmetic of the toolbox (pure arithmetic, 16-bit
// coordinates; bottom and right exclusive). The drawing side of the toolbox
// lives with the drawing modules.
#pragma once

#include "platform/Types.h"

void SetRect(Rect& r, int16 left, int16 top, int16 right, int16 bottom);
void OffsetRect(Rect& r, int16 dh, int16 dv);
// Left and right move in by dh, top and bottom by dv.
void InsetRect(Rect& r, int16 dh, int16 dv);
// FALSE and (0, 0, 0, 0) when the rectangles do not overlap on an axis.
bool SectRect(const Rect& src1, const Rect& src2, Rect& dstRect);
// The smallest rectangle around both, with no special case for empty inputs.
void UnionRect(const Rect& src1, const Rect& src2, Rect& dstRect);
bool EqualRect(const Rect& a, const Rect& b);
bool EmptyRect(const Rect& r);  // top >= bottom or left >= right
void SetPt(Point& pt, int16 h, int16 v);
bool EqualPt(Point a, Point b);
bool PtInRect(Point pt, const Rect& r);  // left <= h < right, top <= v < bottom
