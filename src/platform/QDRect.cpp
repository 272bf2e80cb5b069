#include "platform/QDRect.h"

#include <algorithm>

void SetRect(Rect& r, int16 left, int16 top, int16 right, int16 bottom) {
  r.left = left;
  r.top = top;
  r.right = right;
  r.bottom = bottom;
}

// Coordinates wrap in 16 bits, as the records hold them.
void OffsetRect(Rect& r, int16 dh, int16 dv) {
  r.left = int16(r.left + dh);
  r.right = int16(r.right + dh);
  r.top = int16(r.top + dv);
  r.bottom = int16(r.bottom + dv);
}

void InsetRect(Rect& r, int16 dh, int16 dv) {
  r.left = int16(r.left + dh);
  r.right = int16(r.right - dh);
  r.top = int16(r.top + dv);
  r.bottom = int16(r.bottom - dv);
}

bool SectRect(const Rect& src1, const Rect& src2, Rect& dstRect) {
  // Disjoint on an axis: one starts before the other and ends at or before its start.
  const bool apart_h = (src1.left < src2.left && src1.right <= src2.left) ||
                       (src2.left < src1.left && src2.right <= src1.left);
  const bool apart_v = (src1.top < src2.top && src1.bottom <= src2.top) ||
                       (src2.top < src1.top && src2.bottom <= src1.top);
  if (apart_h || apart_v) {
    dstRect = Rect{0, 0, 0, 0};
    return false;
  }
  const Rect r{std::max(src1.top, src2.top), std::max(src1.left, src2.left),
               std::min(src1.bottom, src2.bottom), std::min(src1.right, src2.right)};
  dstRect = r;
  return true;
}

void UnionRect(const Rect& src1, const Rect& src2, Rect& dstRect) {
  const Rect r{std::min(src1.top, src2.top), std::min(src1.left, src2.left),
               std::max(src1.bottom, src2.bottom), std::max(src1.right, src2.right)};
  dstRect = r;
}

bool EqualRect(const Rect& a, const Rect& b) { return a == b; }

bool EmptyRect(const Rect& r) { return r.top >= r.bottom || r.left >= r.right; }

void SetPt(Point& pt, int16 h, int16 v) {
  pt.h = h;
  pt.v = v;
}

bool EqualPt(Point a, Point b) { return a == b; }

bool PtInRect(Point pt, const Rect& r) {
  return r.left <= pt.h && pt.h < r.right && r.top <= pt.v && pt.v < r.bottom;
}
