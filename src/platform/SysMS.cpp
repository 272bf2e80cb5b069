#include "platform/SysMS.h"

#include <cstdio>
#include <cstdlib>

Point SwapXY(uint32 pos) {
  // The halves are signed: positions left of or above the origin are negative.
  return Point{int16(uint16(pos >> 16)), int16(uint16(pos & 0xFFFF))};
}

int16 INT32_To_INT16(int32 i) {
  if (i < -INT16_CLAMP) return -INT16_CLAMP;
  if (i > INT16_CLAMP) return INT16_CLAMP;
  return int16(i);
}

void ToPOINT(POINT& P, const Point& pt) {
  P.x = pt.h;
  P.y = pt.v;
}

void ToPoint(Point& pt, const POINT& P) {
  pt.h = INT32_To_INT16(P.x);
  pt.v = INT32_To_INT16(P.y);
}

void ToRECT(RECT& R, const Rect& r) {
  R.left = r.left;
  R.top = r.top;
  R.right = r.right;
  R.bottom = r.bottom;
}

void ToRect(Rect& r, const RECT& R) {
  r.top = INT32_To_INT16(R.top);
  r.left = INT32_To_INT16(R.left);
  r.bottom = INT32_To_INT16(R.bottom);
  r.right = INT32_To_INT16(R.right);
}

void Quit(const char* msg) {
  std::fprintf(stderr, "%s\n", msg ? msg : "");
  std::fflush(stderr);
  std::_Exit(1);
}
