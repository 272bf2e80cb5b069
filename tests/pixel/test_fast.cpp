#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "pixel/Fast.h"
#include "platform/QDRect.h"

namespace {

constexpr double kPi = 3.141592653589793;

Point P(int v, int h) { return Point{int16(v), int16(h)}; }
Rect R(int top, int left, int bottom, int right) {
  return Rect{int16(top), int16(left), int16(bottom), int16(right)};
}

// ---------------------------------------------------------------------------
// Tables
// ---------------------------------------------------------------------------

TEST(FastTables, SineTableIsRoundedSineTimes16384) {
  const auto table = Fast_Sine_Table();
  for (int k = 0; k <= 900; ++k) {
    const long want = std::lround(std::sin(k * kPi / 1800.0) * 16384.0);
    ASSERT_EQ(table[k], want) << "entry " << k;
  }
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[450], 11585);
  EXPECT_EQ(table[900], 16384);
}

TEST(FastTables, TangentTableHoldsTheSinglePrecisionEntries) {
  const auto table = Fast_Tangent_Table();
  const struct {
    int k;
    int32 value;
  } listed[] = {{693, 21680},    {695, 21911},    {830, 66719},    {851, 95555},
                {875, 187627},   {883, 276018},   {885, 312839},   {887, 360989},
                {890, 469320},   {891, 521477},   {892, 586668},   {893, 670488},
                {894, 782247},   {895, 938707},   {896, 1173397},  {897, 1564543},
                {898, 2346836},  {899, 4693746},  {900, 9387092}};
  for (const auto& e : listed) EXPECT_EQ(table[e.k], e.value) << "entry " << e.k;

  // Every other entry is tan x 8192 to within single-precision error, and the
  // table rises strictly (the direction search relies on it).
  EXPECT_EQ(table[0], 0);
  for (int k = 1; k < 900; ++k) {
    const double exact = std::tan(k * kPi / 1800.0) * 8192.0;
    EXPECT_NEAR(table[k], exact, 1.0 + exact * 1e-4) << "entry " << k;
    EXPECT_LT(table[k - 1], table[k]) << "entry " << k;
  }
}

TEST(FastTables, BitMaskTables) {
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(g_single_bits_8[i], 0x80 >> i);
    EXPECT_EQ(g_not_single_bits_8[i], uint8(~(0x80 >> i)));
  }
  for (int i = 0; i <= 16; ++i) EXPECT_EQ(g_cum_bits_16[i], uint16(0xFFFF0000u >> i)) << i;
}

// ---------------------------------------------------------------------------
// Angles
// ---------------------------------------------------------------------------

TEST(FastAngles, NormalizeAngle) {
  const struct {
    int16 in, out;
  } cases[] = {{0, 0}, {3599, 3599}, {3600, 0}, {-1, 3599}, {-3600, 0}, {7300, 100},
               {32767, 367}, {-32768, 3232}};
  for (const auto& c : cases) EXPECT_EQ(Normalize_Angle(c.in), c.out) << c.in;
}

TEST(FastAngles, SineAndCosineAtTheAxesAndBeyondATurn) {
  const struct {
    int16 deg, sin, cos;
  } cases[] = {{0, 0, 16384},        {450, 11585, 11585},   {900, 16384, 0},
               {1800, 0, -16384},    {2700, -16384, 0},     {-900, -16384, 0},
               {3600, 0, 16384},     {4500, 16384, 0},      {-1800, 0, -16384},
               {1350, 11585, -11585}, {2250, -11585, -11585}, {3150, -11585, 11585}};
  for (const auto& c : cases) {
    EXPECT_EQ(IntSin(c.deg), c.sin) << c.deg;
    EXPECT_EQ(IntCos(c.deg), c.cos) << c.deg;
  }
}

TEST(FastAngles, SineAndCosineFollowTheCircleEverywhere) {
  for (int a = -3600; a < 7200; ++a) {
    const int16 s = IntSin(int16(a)), c = IntCos(int16(a));
    EXPECT_NEAR(s, std::sin(a * kPi / 1800.0) * 16384.0, 0.5) << a;
    EXPECT_NEAR(c, std::cos(a * kPi / 1800.0) * 16384.0, 0.5) << a;
    // The two come from one table: a quarter turn apart they agree exactly.
    EXPECT_EQ(IntCos(int16(a - 900)), s) << a;
  }
}

TEST(FastAngles, ArcCos) {
  EXPECT_EQ(ArcCos(0), 900);
  EXPECT_EQ(ArcCos(11585), 450);
  EXPECT_EQ(ArcCos(-11585), 1350);
  EXPECT_EQ(ArcCos(8192), 600);
  // The table is flat near 1.0 (entries 896 to 900 all round to 16384); the
  // walk stops at the first of them.
  EXPECT_EQ(ArcCos(16384), 4);
  EXPECT_EQ(ArcCos(-16384), 1796);
  // Beyond +-1.0 the value is taken as +-1.0 instead of walking off the table.
  EXPECT_EQ(ArcCos(20000), 4);
  EXPECT_EQ(ArcCos(-32768), 1796);
  for (int a = 10; a <= 1790; ++a) {
    EXPECT_NEAR(ArcCos(IntCos(int16(a))), a, 1) << a;
  }
}

TEST(FastAngles, SegmentAngleKnownDirections) {
  const Point o = P(0, 0);
  const struct {
    Point to;
    int16 angle;
  } cases[] = {
      {P(0, 10), 0},     {P(-10, 10), 450},  {P(-10, 0), 900},   {P(-10, -10), 1350},
      {P(0, -10), 1800}, {P(10, -10), 2250}, {P(10, 0), 2700},   {P(10, 10), 3150},
      {P(0, 0), 900},    {P(1, 10000), 0},   {P(-1, 10000), 0},  {P(-10000, 1), 900},
      {P(-20000, 10), 900},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SegmentAngle(o, c.to), c.angle) << c.to.v << "," << c.to.h;
  }
  // Only the difference counts.
  EXPECT_EQ(SegmentAngle(P(100, 200), P(90, 210)), 450);
}

TEST(FastAngles, SegmentAngleInvertsSineAndCosine) {
  const Point o = P(0, 0);
  for (int a = 0; a < 3600; ++a) {
    const Point p = P(-IntSin(int16(a)) * 10000 / 16384, IntCos(int16(a)) * 10000 / 16384);
    int d = SegmentAngle(o, p) - a;
    if (d > 1800) d -= 3600;
    if (d < -1800) d += 3600;
    EXPECT_LE(std::abs(d), 1) << "angle " << a;
  }
}

TEST(FastAngles, AngleBetweenLines) {
  int16 angle = 99;
  AngleBetweenLines(P(0, 0), P(0, 10), P(0, 0), P(-10, 0), angle);  // right, then up
  EXPECT_EQ(angle, 900);
  AngleBetweenLines(P(0, 0), P(-10, 0), P(0, 0), P(0, 10), angle);
  EXPECT_EQ(angle, -900);
  // 3150 - 450 = 2700 comes back into range as -900.
  AngleBetweenLines(P(0, 0), P(-10, 10), P(0, 0), P(10, 10), angle);
  EXPECT_EQ(angle, -900);
  AngleBetweenLines(P(0, 0), P(10, 10), P(0, 0), P(-10, 10), angle);
  EXPECT_EQ(angle, 900);
  AngleBetweenLines(P(5, 5), P(5, 5), P(0, 0), P(0, 10), angle);
  EXPECT_EQ(angle, 0);
}

TEST(FastAngles, CalcOctant) {
  const struct {
    Point to;
    int16 octant;
  } cases[] = {{P(0, 10), 0},  {P(10, 10), 1},  {P(10, 0), 2},   {P(10, -10), 3},
               {P(0, -10), 4}, {P(-10, -10), 5}, {P(-10, 0), 6}, {P(-10, 10), 7},
               {P(0, 0), 2},   {P(5, 10), 1},   {P(5, -10), 3},  {P(-5, -10), 5},
               {P(-5, 10), 7},  {P(4, 10), 0}, {P(3, 10), 0},   {P(30, 10), 2},  {P(-30, -10), 6}};
  for (const auto& c : cases) {
    EXPECT_EQ(CalcOctant(P(0, 0), c.to), c.octant) << c.to.v << "," << c.to.h;
  }
}

// ---------------------------------------------------------------------------
// Numbers
// ---------------------------------------------------------------------------

TEST(FastNumbers, RoundingToMultiples) {
  const struct {
    int32 n, interval, up, down, nearest;
  } cases[] = {
      {-7, 5, -10, -10, -5}, {7, 5, 10, 5, 5},     {8, 5, 10, 5, 10},  {-8, 5, -10, -10, -10},
      {10, 5, 10, 10, 10},   {-10, 5, -10, -10, -10}, {0, 5, 0, 0, 0}, {5, 1, 5, 5, 5},
      {-5, 10, -10, -10, -10}, {5, 10, 10, 0, 10},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundUp(c.n, c.interval), c.up) << c.n << " " << c.interval;
    EXPECT_EQ(RoundDown(c.n, c.interval), c.down) << c.n << " " << c.interval;
    EXPECT_EQ(RoundNearest(c.n, c.interval), c.nearest) << c.n << " " << c.interval;
  }
}

TEST(FastNumbers, ZeroIntervalLeavesTheValue) {
  EXPECT_EQ(RoundUp(7, 0), 7);
  EXPECT_EQ(RoundDown(-7, 0), -7);
  EXPECT_EQ(RoundNearest(7, 0), 7);
}

TEST(FastNumbers, RoundReal) {
  const struct {
    float in;
    int32 out;
  } cases[] = {{2.5f, 3},  {-2.5f, -3}, {-0.4f, 0}, {0.49999997f, 0}, {1.5f, 2},
               {-1.5f, -2}, {0.0f, 0},  {1e20f, 2147483647}, {-1e20f, -2147483647 - 1},
               {NAN, 0}};
  for (const auto& c : cases) EXPECT_EQ(RoundReal(c.in), c.out) << c.in;
}

TEST(FastNumbers, SmallHelpers) {
  EXPECT_EQ(Sign(0), 1);
  EXPECT_EQ(Sign(-5), -1);
  EXPECT_EQ(Sign(7), 1);
  EXPECT_EQ(Min(-3, 2), -3);
  EXPECT_EQ(Max(-3, 2), 2);
  EXPECT_EQ(MinR(1.5f, -2.0f), -2.0f);
  EXPECT_EQ(MaxR(1.5f, -2.0f), 1.5f);
  uint32 a = 10;
  Subtract_Guarded(a, 3);
  EXPECT_EQ(a, 7u);
  Subtract_Guarded(a, 8);
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(Int_Half(-10), -3);
  EXPECT_EQ(Int_Double(7), 21);
}

TEST(FastNumbers, LongSqrt) {
  const struct {
    int32 n, root;
  } cases[] = {{0, 0},   {1, 1},     {2, 2},     {3, 2},          {4, 2},          {8, 3},
               {15, 4},  {16, 4},    {100, 10},  {10000, 100},    {-5, -5},        {65536, 256},
               {2147395600, 46340}, {2147483647, 46341}};
  for (const auto& c : cases) EXPECT_EQ(LongSqrt(c.n), c.root) << c.n;
  // Everywhere else it is the square root to within one.
  for (int32 n = 1; n < 300000; n += 7) {
    ASSERT_LE(std::fabs(LongSqrt(n) - std::sqrt(double(n))), 1.0) << n;
  }
}

TEST(FastNumbers, PointDistances) {
  EXPECT_EQ(Point2PointSquared(P(0, 0), P(3, 4)), 25);
  EXPECT_EQ(Point2PointDistance(P(1, 1), P(4, 5)), 5);
  EXPECT_EQ(Point2PointDistance(P(7, 7), P(7, 7)), 0);
  EXPECT_EQ(Point2PointSquared(P(0, 0), P(-32768, -32768)), 2147483647);
  EXPECT_THROW(Point2LineDistance(P(0, 0), P(1, 1), P(2, 2)), QuitCalled);
}

TEST(FastNumbers, Interpolate) {
  const struct {
    int16 in, a, b, c, d, plain, rounded, bounded;
  } cases[] = {
      {0, 0, 10, 100, 200, 100, 100, 100},   {10, 0, 10, 100, 200, 200, 200, 200},
      {5, 0, 10, 100, 200, 150, 150, 150},   {3, 0, 10, 0, -10, -3, -2, -3},
      {5, 0, 10, 0, 1, 0, 1, 0},             {4, 0, 10, 0, 1, 0, 0, 0},
      {20, 0, 10, 100, 200, 300, 200, 200},  {-5, 0, 10, 100, 200, 50, 100, 100},
      {7, 3, 3, 100, 200, 200, 200, 200},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Interpolate(c.in, c.a, c.b, c.c, c.d), c.plain) << c.in;
    EXPECT_EQ(Interpolate_Rounded(c.in, c.a, c.b, c.c, c.d), c.rounded) << c.in;
    EXPECT_EQ(Interpolate_Bounded(c.in, c.a, c.b, c.c, c.d), c.bounded) << c.in;
  }
  // A span wider than 32767 does not turn the rounded form's slope around.
  EXPECT_EQ(Interpolate_Rounded(0, -30000, 30000, 0, 100), 50);
  EXPECT_FLOAT_EQ(InterpolateReal(2.5f, 0.0f, 10.0f, 0.0f, 1.0f), 0.25f);
  EXPECT_FLOAT_EQ(InterpolateReal(2.5f, 1.0f, 1.0f, 0.0f, 7.0f), 7.0f);
}

TEST(FastNumbers, FractalizeFillsMidpoints) {
  Fast_Init();
  // Range 0 adds no noise: pure midpoints.
  std::vector<int16> a(17, -1);
  a[0] = 0;
  a[16] = 160;
  Fractalize(a, 0, 16, 0);
  for (int i = 0; i <= 16; ++i) EXPECT_EQ(a[i], i * 10) << i;
  EXPECT_EQ(Random_Seed(), 0);

  // With noise every interior point is written and stays near the line; the
  // same seed gives the same profile.
  std::vector<int16> b(33, -32768);
  b[0] = 1000;
  b[32] = 1000;
  Fractalize(b, 0, 32, 50);
  for (int i = 1; i < 32; ++i) EXPECT_NEAR(b[i], 1000, 50 * 5) << i;
  EXPECT_NE(Random_Seed(), 0);
  std::vector<int16> c(33, -32768);
  c[0] = 1000;
  c[32] = 1000;
  Fast_Init();  // the seed from 0 again
  Fractalize(c, 0, 32, 50);
  EXPECT_EQ(b, c);
}

TEST(FastNumbers, FractalizeKeepsInsideTheArray) {
  std::vector<int16> a(4, 7);
  Fractalize(a, 0, 40, 0);  // stopx beyond the array: nothing is written
  EXPECT_EQ(a, std::vector<int16>(4, 7));
}

// ---------------------------------------------------------------------------
// Random numbers
// ---------------------------------------------------------------------------

TEST(FastRandom, RandomRangeFromStartUp) {
  Fast_Init();
  EXPECT_EQ(RandomRange(5, 5), 5);
  EXPECT_EQ(Random_Seed(), 0);
  EXPECT_EQ(RandomRange(0, 99), 21);
  EXPECT_EQ(Random_Seed(), 13849);
}

TEST(FastRandom, RandomCardSequenceAndRepeat) {
  uint16 seed = 0;
  EXPECT_EQ(RandomCard(seed), 13849);
  EXPECT_EQ(RandomCard(seed), 48742);
  EXPECT_EQ(RandomCard(seed), 31223);
  EXPECT_EQ(seed, 31223);
  uint16 s1 = 777, s2 = 777;
  for (int i = 0; i < 50; ++i) ASSERT_EQ(RandomRangeS(s1, -3, 9), RandomRangeS(s2, -3, 9));
}

TEST(FastRandom, RandomRangeStaysInBounds) {
  const struct {
    int16 lo, hi;
  } ranges[] = {{0, 1}, {-3, 3}, {40, 60}, {-20000, 20000}, {-32768, 32766}, {100, 32767}};
  for (const auto& r : ranges) {
    uint16 seed = 1;
    int16 seen_lo = 32767, seen_hi = -32768;
    for (int i = 0; i < 5000; ++i) {
      const int16 v = RandomRangeS(seed, r.lo, r.hi);
      ASSERT_GE(v, r.lo);
      ASSERT_LE(v, r.hi);
      seen_lo = std::min(seen_lo, v);
      seen_hi = std::max(seen_hi, v);
    }
    // The draws spread over the range rather than sticking to one end.
    const int32 width = int32(r.hi) - r.lo;
    EXPECT_LE(seen_lo - r.lo, width / 10 + 1) << r.lo << ".." << r.hi;
    EXPECT_LE(r.hi - seen_hi, width / 10 + 1) << r.lo << ".." << r.hi;
  }
}

TEST(FastRandom, RandomPointLiesInTheDisc) {
  for (int16 radius : {int16(0), int16(1), int16(5), int16(127), int16(200), int16(1000)}) {
    for (int16 spread : {int16(1), int16(3)}) {
      uint16 seed = 4242;
      int32 far_enough = 0;
      for (int i = 0; i < 500; ++i) {
        Point p;
        RandomPoint(seed, spread, radius, p);
        ASSERT_LE(int32(p.h) * p.h + int32(p.v) * p.v, int32(radius) * radius)
            << "radius " << radius << " spread " << spread;
        if (2 * (std::abs(p.h) + std::abs(p.v)) > radius) ++far_enough;
      }
      if (radius >= 5) {
        EXPECT_GT(far_enough, 0) << "radius " << radius;
      }
    }
  }
  uint16 s1 = 9, s2 = 9;
  Point a, b;
  RandomPoint(s1, 2, 30, a);
  RandomPoint(s2, 2, 30, b);
  EXPECT_EQ(a, b);
  EXPECT_EQ(s1, s2);
}

TEST(FastRandom, RandomPointWithoutADiscGivesTheCentre) {
  uint16 seed = 5;
  Point p{3, 3};
  RandomPoint(seed, 0, 10, p);
  EXPECT_EQ(p, P(0, 0));
  RandomPoint(seed, 1, -4, p);
  EXPECT_EQ(p, P(0, 0));
}

TEST(FastRandom, InitRandRec) {
  a_rand_rec r;
  std::memset(&r, 0xAB, sizeof r);
  Init_RandRec(r);
  EXPECT_EQ(r.ii, 17);
  EXPECT_EQ(r.jj, 5);
  EXPECT_EQ(r.list[0], 13849);
  EXPECT_EQ(r.list[1], 48742);
  uint16 seed = 0;
  for (int i = 0; i < 17; ++i) EXPECT_EQ(r.list[i], RandomCard(seed));
}

// ---------------------------------------------------------------------------
// Rectangles and points
// ---------------------------------------------------------------------------

TEST(FastRects, SizesAndCentres) {
  const Rect r = R(10, 20, 50, 100);
  EXPECT_EQ(RectV(r), 40);
  EXPECT_EQ(RectH(r), 80);
  Point s;
  RectSize(r, s);
  EXPECT_EQ(s, P(40, 80));
  EXPECT_EQ(RectArea(r), 3200);
  EXPECT_EQ(RectArea(R(-32768, -32768, 0, 0)), 1073741824);
  Point c;
  RectCenter(r, c);
  EXPECT_EQ(c, P(30, 60));
  RectCenter(R(-3, -3, 0, 0), c);  // -3 div 2 truncates toward zero
  EXPECT_EQ(c, P(-1, -1));
  EXPECT_TRUE(EqualRectSize(R(0, 0, 5, 7), R(10, 10, 15, 17)));
  EXPECT_FALSE(EqualRectSize(R(0, 0, 5, 7), R(0, 0, 5, 8)));
  EXPECT_TRUE(RectContainsRect(R(0, 0, 10, 10), R(0, 0, 10, 10)));
  EXPECT_FALSE(RectContainsRect(R(0, 0, 10, 10), R(0, 0, 11, 10)));
}

TEST(FastRects, UnionRect2) {
  Rect c;
  UnionRect2(R(0, 0, 0, 0), R(5, 5, 1, 1), c);  // both empty: b as it is
  EXPECT_EQ(c, R(5, 5, 1, 1));
  UnionRect2(R(3, 3, 3, 9), R(1, 2, 4, 5), c);
  EXPECT_EQ(c, R(1, 2, 4, 5));
  UnionRect2(R(1, 2, 4, 5), R(0, 9, 9, 9), c);
  EXPECT_EQ(c, R(1, 2, 4, 5));
  UnionRect2(R(1, 2, 4, 5), R(-1, 3, 2, 10), c);
  EXPECT_EQ(c, R(-1, 2, 4, 10));
}

TEST(FastRects, SettersAndCentring) {
  Rect r;
  SetRect2(r, 10, 20, 30, 40);
  EXPECT_EQ(r, R(20, 10, 60, 40));
  SetRectCenter(r, 50, 60, 11, 7);
  EXPECT_EQ(r, R(57, 45, 64, 56));
  SetRectFix(r, 30, 5, 10, 25);
  EXPECT_EQ(r, R(5, 10, 25, 30));
  r = R(0, 0, 10, 20);
  Center_Rect_On_Point(P(100, 200), r);
  EXPECT_EQ(r, R(95, 190, 105, 210));
  r = R(0, 0, 10, 21);
  CenterRectInRect(R(0, 0, 100, 100), r);
  EXPECT_EQ(r, R(45, 39, 55, 60));
}

TEST(FastRects, ForcePointInRect) {
  const Rect box = R(0, 0, 10, 10);
  const struct {
    Point in, out;
  } cases[] = {{P(12, 12), P(10, 9)}, {P(-3, -4), P(0, 0)}, {P(5, 5), P(5, 5)},
               {P(10, 10), P(10, 9)}, {P(9, 9), P(9, 9)}};
  for (const auto& c : cases) {
    Point p = c.in;
    ForcePointInRect(box, p);
    EXPECT_EQ(p, c.out) << c.in.v << "," << c.in.h;
  }
}

TEST(FastRects, Reductions) {
  a_ratio red;
  Calc_Reduction(P(100, 200), P(100, 100), 0, red);
  EXPECT_EQ(red.num, 100);
  EXPECT_EQ(red.den, 200);
  Calc_Reduction(P(200, 100), P(100, 100), 0, red);  // the vertical ratio is smaller
  EXPECT_EQ(red.num, 100);
  EXPECT_EQ(red.den, 200);
  Calc_Reduction(P(50, 50), P(100, 100), 0, red);
  EXPECT_EQ(red.num, 1);
  EXPECT_EQ(red.den, 1);
  Calc_Reduction(P(100, 100), P(110, 110), 20, red);  // indent taken off the destination
  EXPECT_EQ(red.num, 90);
  EXPECT_EQ(red.den, 100);

  Point out;
  Apply_Reduction(P(33, 77), a_ratio{2, 3}, out);
  EXPECT_EQ(out, P(22, 51));
  Apply_Reduction(P(33, 77), a_ratio{5, 5}, out);
  EXPECT_EQ(out, P(33, 77));
  Rect r;
  Apply_Reduction_Rect(R(-10, 10, 30, 40), a_ratio{1, 2}, r);
  EXPECT_EQ(r, R(-5, 5, 15, 20));
}

TEST(FastRects, CalcRectFit) {
  Rect fit;
  Calc_Rect_Fit(R(0, 0, 100, 200), R(0, 0, 100, 100), fit);
  EXPECT_EQ(fit, R(25, 0, 75, 100));
  Calc_Rect_Fit(R(7, 7, 17, 27), R(0, 0, 100, 100), fit);  // fits: size kept, centred
  EXPECT_EQ(fit, R(45, 40, 55, 60));
}

TEST(FastRects, ScaleRect) {
  Rect r;
  ScaleRect(a_ratio{3, 2}, R(2, 4, 6, 8), r);
  EXPECT_EQ(r, R(3, 6, 9, 12));
  ScaleRect(a_ratio{4, 4}, R(2, 4, 6, 8), r);
  EXPECT_EQ(r, R(2, 4, 6, 8));
  ScaleRect(a_ratio{3, 0}, R(2, 4, 6, 8), r);  // no division by zero
  EXPECT_EQ(r, R(2, 4, 6, 8));
}

// The toolbox rectangle arithmetic the routines above build on.
TEST(QDRect, SectRectEdges) {
  Rect d{1, 1, 1, 1};
  EXPECT_FALSE(SectRect(R(0, 0, 10, 10), R(0, 10, 10, 20), d));  // touching edges
  EXPECT_EQ(d, R(0, 0, 0, 0));
  EXPECT_FALSE(SectRect(R(20, 0, 30, 10), R(0, 0, 10, 10), d));
  EXPECT_EQ(d, R(0, 0, 0, 0));
  EXPECT_TRUE(SectRect(R(0, 0, 0, 0), R(0, 0, 10, 10), d));  // empty with the same top-left
  EXPECT_TRUE(EmptyRect(d));
  EXPECT_TRUE(SectRect(R(0, 0, 10, 10), R(5, -5, 15, 5), d));
  EXPECT_EQ(d, R(5, 0, 10, 5));
}

TEST(QDRect, Arithmetic) {
  Rect r;
  SetRect(r, 1, 2, 3, 4);
  EXPECT_EQ(r, R(2, 1, 4, 3));
  OffsetRect(r, 10, -10);
  EXPECT_EQ(r, R(-8, 11, -6, 13));
  InsetRect(r, 1, -2);
  EXPECT_EQ(r, R(-10, 12, -4, 12));
  EXPECT_TRUE(EmptyRect(r));
  UnionRect(R(0, 0, 0, 0), R(5, 5, 6, 6), r);  // no special case for empty inputs
  EXPECT_EQ(r, R(0, 0, 6, 6));
  EXPECT_TRUE(PtInRect(P(0, 0), R(0, 0, 1, 1)));
  EXPECT_FALSE(PtInRect(P(1, 0), R(0, 0, 1, 1)));
  Point p;
  SetPt(p, 3, 4);
  EXPECT_TRUE(EqualPt(p, P(4, 3)));
  EXPECT_TRUE(EqualRect(R(1, 2, 3, 4), R(1, 2, 3, 4)));
}

// ---------------------------------------------------------------------------
// Byte order
// ---------------------------------------------------------------------------

TEST(FastByteOrder, Motorola) {
  EXPECT_EQ(MotorolaCard16(0x1234), 0x3412);
  EXPECT_EQ(MotorolaInt16(-2), -257);  // 0xFFFE -> 0xFEFF
  EXPECT_EQ(MotorolaCard32(0x12345678u), 0x78563412u);
  EXPECT_EQ(MotorolaInt32(int32(0x80000001u)), int32(0x01000080));
  Point p;
  MotorolaPoint(P(0x0102, 0x0304), p);
  EXPECT_EQ(p, P(0x0201, 0x0403));
  Rect r;
  MotorolaRect(R(1, 2, 3, 4), r);
  EXPECT_EQ(r, R(0x100, 0x200, 0x300, 0x400));
  OSType t;
  MotorolaCodec(FourCC("PIXT"), t);
  EXPECT_EQ(t, FourCC("TXIP"));

  // Big-endian bytes of a file become the number once swapped on this machine.
  const uint8 bytes[4] = {0x00, 0x00, 0x01, 0x2C};
  uint32 raw;
  std::memcpy(&raw, bytes, 4);
  EXPECT_EQ(MotorolaCard32(raw), 300u);
  EXPECT_EQ(IntelCard32(raw), raw);
  EXPECT_EQ(IntelInt16(-7), -7);
}

TEST(FastByteOrder, TypeCodes) {
  EXPECT_EQ(OSType_To_CARD32(FourCC("PIXT")), 0x50495854u);
  OSType t = 0;
  CARD32_To_OSType(0x50495854u, t);
  EXPECT_EQ(t, FourCC("PIXT"));
  char s[4];
  OSType_To_Str4(FourCC("PIXT"), s);
  EXPECT_EQ(std::memcmp(s, "PIXT", 4), 0);
  EXPECT_TRUE(Eq_OSType(FourCC("DISC"), FourCC("DISC")));
  EXPECT_FALSE(Eq_OSType(FourCC("DISC"), FourCC("DISK")));
  EXPECT_TRUE(Eq_Str4("ABCDxyz", "ABCD"));
  EXPECT_FALSE(Eq_Str4("ABCE", "ABCD"));
  const char shortstr[2] = {'A', 'B'};
  EXPECT_FALSE(Eq_Str4(shortstr, "ABCD"));
}

// ---------------------------------------------------------------------------
// Comparison and sorting
// ---------------------------------------------------------------------------

TEST(FastCompare, CompareBytesIsUnsigned) {
  const uint8 a[] = {1, 2, 0x80};
  const uint8 b[] = {1, 2, 0x7F};
  EXPECT_EQ(CompareBytes(a, b, 3), 1);
  EXPECT_EQ(CompareBytes(b, a, 3), -1);
  EXPECT_EQ(CompareBytes(a, b, 2), 0);
  EXPECT_EQ(CompareBytes(a, b, 0), 0);
}

TEST(FastCompare, CompareChunksByWordSize) {
  const uint8 a[6] = {1, 0, 0, 0, 9, 9};
  const uint8 b[6] = {0, 1, 0, 0, 9, 8};
  EXPECT_EQ(CompareChunks(a, b, 1, 6), 1);   // bytes: 1 > 0
  EXPECT_EQ(CompareChunks(a, b, 2, 6), -1);  // words in machine order: 0x0001 < 0x0100
  EXPECT_EQ(CompareChunks(a, b, 4, 6), -1);
  EXPECT_EQ(CompareChunks(a + 2, b + 2, 4, 4), 1);
  // A tail shorter than a word is not compared.
  const uint8 c[6] = {5, 5, 5, 5, 1, 2};
  const uint8 d[6] = {5, 5, 5, 5, 2, 1};
  EXPECT_EQ(CompareChunks(c, d, 4, 6), 0);
}

struct Rec6 {
  uint8 b[6];
  bool operator==(const Rec6& o) const { return std::memcmp(b, o.b, 6) == 0; }
};

std::vector<Rec6> Random_Records(int n, uint16 seed) {
  std::vector<Rec6> v(static_cast<size_t>(n));
  for (auto& r : v) {
    for (auto& byte : r.b) byte = uint8(RandomCard(seed) >> 8) & 0x0F;  // many equal keys
  }
  return v;
}

TEST(FastSort, SortsAscendingAndDescendingKeepingEveryRecord) {
  for (int16 chunk : {int16(1), int16(2), int16(4)}) {
    for (bool ascending : {true, false}) {
      for (int n : {2, 3, 10, 257}) {
        std::vector<Rec6> v = Random_Records(n, uint16(n * 31 + chunk));
        const std::vector<Rec6> original = v;
        SortArray(ascending, v.data(), 6, chunk, n);
        for (int i = 1; i < n; ++i) {
          const int16 cmp = CompareChunks(v[size_t(i - 1)].b, v[size_t(i)].b, chunk, 6);
          ASSERT_TRUE(ascending ? cmp <= 0 : cmp >= 0)
              << "chunk " << chunk << " n " << n << " at " << i;
        }
        auto key = [](const Rec6& a, const Rec6& b) { return std::memcmp(a.b, b.b, 6) < 0; };
        std::vector<Rec6> x = v, y = original;
        std::sort(x.begin(), x.end(), key);
        std::sort(y.begin(), y.end(), key);
        ASSERT_EQ(x, y) << "records lost or changed";
      }
    }
  }
}

TEST(FastSort, LimitsOfTheRecordSize) {
  std::vector<uint8> big(1025 * 3, 0);
  EXPECT_THROW(SortArray(true, big.data(), 1025, 1, 3), QuitCalled);

  // 1024-byte records still sort: the first byte decides.
  std::vector<uint8> recs(1024 * 3, 0);
  recs[0] = 3;
  recs[1024] = 1;
  recs[2048] = 2;
  recs[2048 + 1023] = 0xEE;  // moves with its record
  SortArray(true, recs.data(), 1024, 1, 3);
  EXPECT_EQ(recs[0], 1);
  EXPECT_EQ(recs[1024], 2);
  EXPECT_EQ(recs[1024 + 1023], 0xEE);
  EXPECT_EQ(recs[2048], 3);

  uint8 one[4] = {4, 3, 2, 1};
  SortArray(true, one, 4, 1, 1);
  EXPECT_EQ(one[0], 4);
  EXPECT_EQ(one[3], 1);
}

}  // namespace
