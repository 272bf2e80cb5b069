#include "pixel/Polar.h"

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
