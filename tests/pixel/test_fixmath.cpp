#include <gtest/gtest.h>

#include <cmath>

#include "TestSupport.h"
#include "pixel/FixMath.h"
#include "pixel/SysMath.h"

namespace {

constexpr double kPi = 3.141592653589793;

TEST(FixMath, FixRatio) {
  const struct {
    int16 num, den;
    uint32 fix;
  } cases[] = {
      {1, 3, 0x00005555},     {2, 3, 0x0000AAAB},     {-1, 2, 0xFFFF8000},
      {7, 0, 0x7FFFFFFF},     {-7, 0, 0x80000000},    {0, 0, 0x7FFFFFFF},
      {0, 5, 0},              {0, -5, 0},             {3, 1, 0x00030000},
      {-3, 1, 0xFFFD0000},    {1, -3, 0xFFFFAAAB},    {-1, -3, 0x00005555},
      {5, 2, 0x00028000},     {32767, 2, 0x3FFF8000}, {-32768, 1, 0x80000000},
      {-32768, -1, 0x7FFFFFFF}, {1, 32767, 0x00000002}, {32767, 32767, 0x00010000},
      {100, 7, 0x000E4925},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(uint32(FixRatio(c.num, c.den)), c.fix) << c.num << "/" << c.den;
  }
}

TEST(FixMath, LongToFixAndBack) {
  EXPECT_EQ(uint32(Long2Fix(3)), 0x00030000u);
  EXPECT_EQ(uint32(Long2Fix(-1)), 0xFFFF0000u);
  EXPECT_EQ(uint32(Long2Fix(0x12345)), 0x23450000u);  // only the low 16 bits fit
  EXPECT_DOUBLE_EQ(Fix2X(0x00018000), 1.5);
  EXPECT_DOUBLE_EQ(Fix2X(FixRatio(-1, 2)), -0.5);
  EXPECT_DOUBLE_EQ(Fix2X(Long2Fix(-300)), -300.0);
  EXPECT_EQ(Fix_Hi(Fixed(0x0003C000)), 3);
  EXPECT_EQ(Fix_Lo(Fixed(0x0003C000)), 0xC000);
  EXPECT_EQ(Fix_Hi(FixRatio(-1, 2)), -1);
}

TEST(SysMathRound, HalvesAwayFromZero) {
  const struct {
    float in;
    int32 out;
  } cases[] = {{2.5f, 3},   {-2.5f, -3},  {-0.4f, 0},  {0.4f, 0},   {0.5f, 1},
               {-0.5f, -1}, {0.49999997f, 0}, {1.4999999f, 1}, {1e10f, 2147483647},
               {-1e10f, -2147483647 - 1}, {NAN, 0}, {16777215.0f, 16777215}};
  for (const auto& c : cases) EXPECT_EQ(SysMath::round(c.in), c.out) << c.in;
}

TEST(SysMathArctan, Quadrants) {
  const struct {
    float dy, dx;
    double angle;
  } cases[] = {
      {0, 1, 0.0},           {1, 0, kPi / 2},       {0, 0, kPi / 2},     {0, -1, kPi},
      {-1, 0, 3 * kPi / 2},  {1, 1, kPi / 4},       {1, -1, 3 * kPi / 4}, {-1, -1, 5 * kPi / 4},
      {-1, 1, 7 * kPi / 4},  {57296, 1, kPi / 2},   {-57296, 1, 3 * kPi / 2}, {1, 1000, 0.001},
      {-0.5f, 1e6f, 2 * kPi - 5e-7},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(arctan2(c.dy, c.dx), c.angle, 1e-6) << c.dy << ", " << c.dx;
  }
  for (int deg = 0; deg < 360; deg += 7) {
    const double a = deg * kPi / 180.0;
    EXPECT_NEAR(arctan2(float(std::sin(a)), float(std::cos(a))), a, 1e-5) << deg;
  }
}

}  // namespace
