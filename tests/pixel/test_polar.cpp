#include <gtest/gtest.h>

#include <cmath>

#include "TestSupport.h"
#include "pixel/Fast.h"
#include "pixel/Polar.h"
#include "pixel/SysPix.h"

namespace {

Point P(int v, int h) { return Point{int16(v), int16(h)}; }

TEST(PolarInt, CylToXY) {
  const Point o = P(100, 200);
  const struct {
    int16 radius, angle;
    Point pt;
  } cases[] = {
      {0, 1234, P(100, 200)}, {50, 0, P(100, 250)},  {50, 900, P(50, 200)},
      {50, 1800, P(100, 150)}, {50, 2700, P(150, 200)}, {50, -900, P(150, 200)},
      {100, 450, P(30, 270)},  {100, 2250, P(170, 130)}, {50, 3600, P(100, 250)},
  };
  for (const auto& c : cases) {
    Point pt;
    Cyl_To_XY(o, c.radius, c.angle, pt);
    EXPECT_EQ(pt, c.pt) << "r " << c.radius << " a " << c.angle;
  }
}

TEST(PolarInt, XYToCyl) {
  const Point o = P(10, 10);
  Point cyl;
  XY_To_Cyl(o, o, cyl);
  EXPECT_EQ(cyl, P(0, 0));
  XY_To_Cyl(o, P(9, 10), cyl);  // distance 1: angle 0
  EXPECT_EQ(cyl, P(0, 1));
  XY_To_Cyl(o, P(10, 110), cyl);
  EXPECT_EQ(cyl, P(0, 100));
  XY_To_Cyl(o, P(-90, 10), cyl);
  EXPECT_EQ(cyl, P(900, 100));
  XY_To_Cyl(o, P(13, 14), cyl);
  EXPECT_EQ(cyl.h, 5);
  EXPECT_EQ(cyl.v, SegmentAngle(o, P(13, 14)));
}

TEST(PolarInt, RoundTripThroughPolar) {
  const Point o = P(500, 500);
  for (int16 radius : {int16(20), int16(150), int16(400)}) {
    for (int a = 0; a < 3600; a += 37) {
      Point pt, cyl, back;
      Cyl_To_XY(o, radius, int16(a), pt);
      XY_To_Cyl(o, pt, cyl);
      EXPECT_NEAR(cyl.h, radius, 1) << a;
      int d = cyl.v - a;
      if (d > 1800) d -= 3600;
      if (d < -1800) d += 3600;
      // Truncated coordinates move the direction by at most about 1/radius radians.
      EXPECT_LE(std::abs(d), 1 + 573 / radius) << "radius " << radius << " angle " << a;
      Cyl_To_XY(o, cyl.h, cyl.v, back);
      EXPECT_LE(std::abs(back.h - pt.h) + std::abs(back.v - pt.v), 4) << a;
    }
  }
}

TEST(PolarInt, RotatePoint) {
  const Point o = P(50, 50);
  Point out;
  Rotate_Point(0, o, P(7, 93), out);
  EXPECT_EQ(out, P(7, 93));
  Rotate_Point(1800, o, P(40, 70), out);  // reflection through the origin
  EXPECT_EQ(out, P(60, 30));
  Rotate_Point(900, o, P(50, 80), out);  // right of the origin lands above it
  EXPECT_EQ(out, P(20, 50));
  Rotate_Point(2700, o, P(50, 80), out);
  EXPECT_EQ(out, P(80, 50));
  Rotate_Point(450, P(0, 0), P(0, 100), out);  // per-product truncation: 11585 x 100 / 16384
  EXPECT_EQ(out, P(-70, 70));
  // The same turn as Cyl_To_XY for points on the axis.
  for (int a = 0; a < 3600; a += 113) {
    Point viaRotate, viaCyl;
    Rotate_Point(int16(a), o, P(50, 150), viaRotate);
    Cyl_To_XY(o, 100, int16(a), viaCyl);
    EXPECT_EQ(viaRotate, viaCyl) << a;
  }
}

TEST(PolarReal, Conversions) {
  float r, theta;
  XYR_To_CylD(1, 1, 1, 5, r, theta);  // dx 0, dy > 0
  EXPECT_FLOAT_EQ(r, 4.0f);
  EXPECT_NEAR(theta, 90.0f, 1e-4);
  XYR_To_CylD(0, 0, -3, 0, r, theta);
  EXPECT_NEAR(theta, 180.0f, 1e-4);
  XYR_To_CylD(0, 0, 3, -4, r, theta);
  EXPECT_FLOAT_EQ(r, 5.0f);
  EXPECT_NEAR(theta, 360.0 - 53.130102, 1e-3);

  float x, y;
  CylD_To_XYR(10, 20, 5, 90, x, y);
  EXPECT_NEAR(x, 10.0f, 1e-5);
  EXPECT_NEAR(y, 25.0f, 1e-5);
  CylD_To_XYR(0, 0, r, theta, x, y);  // back to (3, -4)
  EXPECT_NEAR(x, 3.0f, 1e-4);
  EXPECT_NEAR(y, -4.0f, 1e-4);

  Rotate_PointR(90, 1, 0, x, y);
  EXPECT_NEAR(x, 0.0f, 1e-6);
  EXPECT_NEAR(y, 1.0f, 1e-6);
  Rotate_PointR(0, 3.25f, -1.5f, x, y);
  EXPECT_EQ(x, 3.25f);
  EXPECT_EQ(y, -1.5f);
}

TEST(PolarReal, CylRToXYRoundsWhereCylToXYTruncates) {
  int16 x, y;
  CylR_To_XY(0, 0, 100, float(3.141592653589793 / 4), x, y);
  EXPECT_EQ(x, 71);
  EXPECT_EQ(y, 71);
  Point pt;
  Cyl_To_XY(P(0, 0), 100, 450, pt);
  EXPECT_EQ(pt.h, 70);
  CylR_To_XY(10.5f, -10.5f, 0, 0, x, y);  // halves away from zero
  EXPECT_EQ(x, 11);
  EXPECT_EQ(y, -11);
}

TEST(PolarReal, DegreesAndRadians) {
  EXPECT_NEAR(DegreesToRadians(180), 3.14159265f, 1e-6);
  EXPECT_NEAR(RadiansToDegrees(3.14159265f), 180.0f, 1e-4);
  EXPECT_NEAR(RadiansToDegrees(DegreesToRadians(37.5f)), 37.5f, 1e-4);
}

TEST(PolarReal, NormalizeDegrees) {
  const struct {
    int16 lo, hi, in, out;
  } cases[] = {{0, 359, -30, 330}, {-180, 180, 270, -90}, {0, 359, 720, 0},
               {0, 359, 359, 359}, {0, 359, -720, 0},     {-180, 180, -180, -180},
               {0, 359, 32767, 7}, {0, 359, -32768, 352}};
  for (const auto& c : cases) {
    EXPECT_EQ(Normalize_Degrees(c.lo, c.hi, c.in), c.out) << c.in;
  }
}

bool Bit(const PixMap& pm, int h, int v) {
  const auto* row = reinterpret_cast<const uint8*>(pm.baseAddr) +
                    size_t(v - pm.bounds.top) * PixMap_RowBytes(pm);
  const int col = h - pm.bounds.left;
  return (row[col >> 3] & (0x80 >> (col & 7))) != 0;
}

void Set_Bit(PixMap& pm, int h, int v) {
  auto* row = reinterpret_cast<uint8*>(pm.baseAddr) + size_t(v - pm.bounds.top) * PixMap_RowBytes(pm);
  const int col = h - pm.bounds.left;
  row[col >> 3] = uint8(row[col >> 3] | (0x80 >> (col & 7)));
}

int Count(const PixMap& pm) {
  int n = 0;
  for (int v = pm.bounds.top; v < pm.bounds.bottom; ++v)
    for (int h = pm.bounds.left; h < pm.bounds.right; ++h) n += Bit(pm, h, v);
  return n;
}

TEST(PolarRotate1, QuarterTurnsMoveEveryBit) {
  PixMap in{}, out{};
  New_PixMap(in, Rect{0, 0, 5, 7}, 1, nullptr);
  uint16 seed = 3;
  for (int i = 0; i < 15; ++i) Set_Bit(in, RandomRangeS(seed, 0, 6), RandomRangeS(seed, 0, 4));
  const int bits = Count(in);
  Point attach;
  PixMap1_RotateS(0, in.bounds, in, out, attach);
  EXPECT_EQ(RectH(out.bounds), 10);  // 7 turned by 0 is 7, odd: + 3
  EXPECT_EQ(RectV(out.bounds), 8);
  EXPECT_EQ(attach, P(1, 1));
  for (int v = 0; v < 5; ++v)
    for (int h = 0; h < 7; ++h) EXPECT_EQ(Bit(out, h + 1, v + 1), Bit(in, h, v)) << h << "," << v;
  for (int16 a : {int16(900), int16(1800), int16(2700), int16(-900), int16(4500)}) {
    PixMap1_RotateS(a, in.bounds, in, out, attach);
    EXPECT_EQ(Count(out), bits) << a;
  }
  Dispose_PixMap(out);
  Dispose_PixMap(in);
}

TEST(PolarRotate1, TurnsClockwiseOnTheScreen) {
  // A row of three pixels with only its left end set: a quarter turn
  // clockwise stands it up with the set pixel at the top.
  PixMap in{}, out{};
  New_PixMap(in, Rect{0, 0, 1, 3}, 1, nullptr);
  Set_Bit(in, 0, 0);
  Point attach;
  PixMap1_RotateS(900, in.bounds, in, out, attach);
  EXPECT_EQ(RectH(out.bounds), 4);
  EXPECT_EQ(RectV(out.bounds), 6);
  EXPECT_EQ(Count(out), 1);
  EXPECT_TRUE(Bit(out, 2, 1));
  // The input's origin lands on the pixel that took the input's pixel (0, 0).
  EXPECT_EQ(attach, P(1, 2));
  Dispose_PixMap(out);
  Dispose_PixMap(in);
}

TEST(PolarRotate1, OnlyTheSubsetIsTaken) {
  PixMap in{}, out{};
  New_PixMap(in, Rect{10, 20, 14, 36}, 1, nullptr);
  Set_Bit(in, 20, 10);  // outside the subset
  Set_Bit(in, 30, 12);
  Point attach;
  PixMap1_RotateS(0, Rect{11, 25, 14, 40}, in, out, attach);  // runs past in's right edge
  EXPECT_EQ(Count(out), 1);
  Dispose_PixMap(out);
  Dispose_PixMap(in);
}

}  // namespace
