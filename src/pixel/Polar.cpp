#include "pixel/Polar.h"

#include <algorithm>
#include <cmath>

#include "pixel/Asm32.h"
#include "pixel/Fast.h"
#include "pixel/SysMath.h"

void Cyl_To_XY(Point origin, int16 radius, int16 angle, Point& pt) {
  const int16 c = IntCos(angle);
  const int16 s = IntSin(angle);
  pt.h = int16(origin.h + Asm32_Fraction(radius, c, 16384));
  pt.v = int16(origin.v - Asm32_Fraction(radius, s, 16384));
}

void XY_To_Cyl(Point origin, Point xy, Point& cyl) {
  const int32 radius = Point2PointDistance(origin, xy);
  cyl.v = radius > 1 ? SegmentAngle(origin, xy) : int16(0);
  cyl.h = int16(radius);
}

void Rotate_Point(int16 angle, Point origin, Point old, Point& out) {
  if (angle == 0) {
    out = old;
    return;
  }
  const int16 s = IntSin(angle);
  const int16 c = IntCos(angle);
  const int16 dh = int16(old.h - origin.h);
  const int16 dv = int16(old.v - origin.v);
  const Point p{int16(origin.v + Asm32_Fraction(dv, c, 16384) - Asm32_Fraction(dh, s, 16384)),
                int16(origin.h + Asm32_Fraction(dh, c, 16384) + Asm32_Fraction(dv, s, 16384))};
  out = p;
}

void Rotate_PointR(float angle, float x1, float y1, float& x2, float& y2) {
  if (angle == 0) {
    x2 = x1;
    y2 = y1;
    return;
  }
  const double a = double(angle) * kDegToRad;
  const double c = std::cos(a), s = std::sin(a);
  const float nx = float(x1 * c - y1 * s);
  const float ny = float(y1 * c + x1 * s);
  x2 = nx;
  y2 = ny;
}

void XYR_To_CylD(float originx, float originy, float x, float y, float& r, float& theta) {
  const float dx = x - originx;
  const float dy = y - originy;
  r = std::sqrt(dx * dx + dy * dy);
  theta = float(double(arctan2(dy, dx)) * kRadToDeg);
}

void CylD_To_XYR(float originx, float originy, float radius, float angle, float& cartx,
                 float& carty) {
  const double a = double(angle) * kDegToRad;
  cartx = float(std::cos(a) * radius + originx);
  carty = float(std::sin(a) * radius + originy);
}

void CylR_To_XY(float originx, float originy, float radius, float angle, int16& cartx,
                int16& carty) {
  cartx = int16(RoundReal(float(originx + radius * std::cos(double(angle)))));
  carty = int16(RoundReal(float(originy + radius * std::sin(double(angle)))));
}

float DegreesToRadians(float degrees) { return float(degrees * 3.141592653589793 / 180.0); }
float RadiansToDegrees(float radians) { return float(radians * 180.0 / 3.141592653589793); }

int16 Normalize_Degrees(int16 minval, int16 maxval, int16 angle) {
  int32 a = angle;
  // In 32 bits so that angles near the 16-bit limits cannot wrap while stepping.
  while (a < minval) a += 360;
  while (a > maxval) a -= 360;
  return int16(a);
}

namespace {

int32 Div16384(int64 t) { return int32(t / 16384); }  // truncating toward zero

bool Bit_At(const PixMap& pm, int32 h, int32 v) {
  const uint32 stride = PixMap_RowBytes(pm);
  const uint32 col = uint32(h - pm.bounds.left);
  const auto* row = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(v - pm.bounds.top) * stride;
  return (row[col >> 3] & (0x80u >> (col & 7))) != 0;
}

}  // namespace

void PixMap1_RotateS(int16 angle, const Rect& subset, const PixMap& in, PixMap& out,
                     Point& out_attach) {
  const int16 a = Normalize_Angle(angle);
  Dispose_PixMap(out);
  out_attach = Point{0, 0};
  const int64 w = int64(subset.right) - subset.left;
  const int64 h = int64(subset.bottom) - subset.top;
  if (w <= 0 || h <= 0 || in.baseAddr == nullptr) {
    New_Empty_PixMap(out, 1, nullptr);
    return;
  }
  const int32 sn = IntSin(a), cs = IntCos(a);
  const int64 asin = sn < 0 ? -int64(sn) : sn, acos = cs < 0 ? -int64(cs) : cs;
  int64 nw = (w * acos + 0x2000 + h * asin) / 0x4000;
  int64 nh = (h * acos + 0x2000 + w * asin) / 0x4000;
  nw += (nw % 2 == 0) ? 2 : 3;
  nh += (nh % 2 == 0) ? 2 : 3;
  if (nw > 32767 || nh > 32767) {
    New_Empty_PixMap(out, 1, nullptr);
    return;
  }
  New_PixMap(out, Rect{0, 0, int16(nh), int16(nw)}, 1, nullptr);
  if (out.baseAddr == nullptr) return;

  // Samples outside `in` itself count as clear, whatever `subset` says.
  const int32 left = std::max<int32>(subset.left, in.bounds.left);
  const int32 right = std::min<int32>(subset.right, in.bounds.right);
  const int32 top = std::max<int32>(subset.top, in.bounds.top);
  const int32 bottom = std::min<int32>(subset.bottom, in.bounds.bottom);
  const int64 scenterh = int64(subset.left) + subset.right;
  const int64 scenterv = int64(subset.top) + subset.bottom;
  const int64 dcenterh = nw, dcenterv = nh;
  const uint32 stride = PixMap_RowBytes(out);
  auto* base = reinterpret_cast<uint8*>(out.baseAddr);
  for (int32 dy = 0; dy < nh; ++dy) {
    const int64 ddy = 2 * int64(dy) + 1 - dcenterv;
    for (int32 dx = 0; dx < nw; ++dx) {
      const int64 ddx = 2 * int64(dx) + 1 - dcenterh;
      // The inverse of a clockwise turn, in doubled coordinates.
      const int64 sx2 = Div16384(ddx * cs) + Div16384(ddy * sn) + scenterh;
      const int64 sy2 = Div16384(ddy * cs) - Div16384(ddx * sn) + scenterv;
      const int64 sx = sx2 >= 0 ? sx2 / 2 : -((1 - sx2) / 2);  // floor of the half
      const int64 sy = sy2 >= 0 ? sy2 / 2 : -((1 - sy2) / 2);
      if (sx < left || sx >= right || sy < top || sy >= bottom) continue;
      if (Bit_At(in, int32(sx), int32(sy))) {
        base[size_t(dy) * stride + size_t(dx >> 3)] |= uint8(0x80u >> (dx & 7));
      }
    }
  }
  // in's origin, doubled and turned forward about the centres.
  const int64 ox = -scenterh, oy = -scenterv;
  const int64 fx = Div16384(ox * cs) - Div16384(oy * sn) + dcenterh;
  const int64 fy = Div16384(oy * cs) + Div16384(ox * sn) + dcenterv;
  out_attach.h = int16(fx >= 0 ? fx / 2 : -((1 - fx) / 2));
  out_attach.v = int16(fy >= 0 ? fy / 2 : -((1 - fy) / 2));
}
