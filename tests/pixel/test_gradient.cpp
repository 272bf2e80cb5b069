// Gradient fills: the colour ramp from the bands, the ordered dither to
// 16 bits, and the seven kinds with the colours their formulas give at
// chosen pixels, masks and holes, and the progress echo in a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "pixel/Draw.h"
#include "pixel/Fast.h"
#include "pixel/SysPix.h"
#include "platform/Quickdraw.h"
#include "platform/SysInfo.h"
#include "platform/SysLoop.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "app/Velmor4.h"
#include "platform/Windowv.h"

namespace {

a_win_pixel32 Rgb(uint8 r, uint8 g, uint8 b, uint8 a = 255) {
  a_win_pixel32 p;
  p.r = r;
  p.g = g;
  p.b = b;
  p.a = a;
  return p;
}

a_grad_rec Grad(std::initializer_list<a_win_pixel32> bands) {
  a_grad_rec g{};
  for (const a_win_pixel32& b : bands) g.bands[g.nbands++] = b;
  return g;
}

const a_grad_rec kBlackWhite = Grad({Rgb(0, 0, 0), Rgb(255, 255, 255)});

struct Map {
  PixMap pm{};
  Map(Rect b, int16 depth, uint32 fill = 0xFF808080u) {
    New_PixMap(pm, b, depth, nullptr);
    if (depth == 32) {
      a_win_pixel32 c;
      c.raw = fill;
      PixMap32_Fill(pm, c);
    } else if (depth == 16) {
      PixMap16_Fill(pm, uint16(fill));
    }
  }
  ~Map() { Dispose_PixMap(pm); }
  a_win_pixel32 At(int x, int y) const {
    a_win_pixel32 p;
    std::memcpy(&p.raw, pm.baseAddr + size_t(y - pm.bounds.top) * PixMap_RowBytes(pm) + 4 * (x - pm.bounds.left), 4);
    return p;
  }
  uint16 At16(int x, int y) const {
    uint16 v;
    std::memcpy(&v, pm.baseAddr + size_t(y - pm.bounds.top) * PixMap_RowBytes(pm) + 2 * (x - pm.bounds.left), 2);
    return v;
  }
  uint8 Grey(int x, int y) const { return At(x, y).r; }
};

// A 1-bit mask over bounds, set where `in` says.
struct Mask {
  PixMap pm{};
  template <typename F>
  Mask(Rect b, F in) {
    New_PixMap(pm, b, 1, nullptr);
    for (int y = b.top; y < b.bottom; ++y)
      for (int x = b.left; x < b.right; ++x)
        if (in(x, y)) {
          const int dx = x - b.left;
          pm.baseAddr[size_t(y - b.top) * PixMap_RowBytes(pm) + size_t(dx >> 3)] |= char(0x80 >> (dx & 7));
        }
  }
  ~Mask() { Dispose_PixMap(pm); }
};

// Grey of a black-to-white ramp of n entries at index i.
int Ramp_Grey(int i, int n) { return 255 * i / (n - 1); }

bool Fill(a_dither_kind kind, Map& m, PixMapPtr mask, Rect box, const a_grad_rec& g, int16 angle = 0,
          Point center = Point{0, 0}, int16 radius = 0, int16 twist = 0) {
  return Fill_Dither(kind, &m.pm, mask, box, nullptr, nullptr, true, &g, twist, angle, center, radius);
}

class Gradient : public ::testing::Test {
 protected:
  void SetUp() override { Draw_Init(); }
  void TearDown() override { Ramp_Stop(); }
};

}  // namespace

// --- Ramp, interpolation, dither -------------------------------------------------------------

TEST_F(Gradient, RampSpreadsBandsOverEntries) {
  const a_grad_rec g = Grad({Rgb(0, 0, 0), Rgb(255, 0, 0), Rgb(255, 255, 255)});
  Ramp_Init(20, 30, g);  // 11 entries, bands at 0, 5 and 10
  ASSERT_EQ(Ramp_Count(), 11);
  const int reds[] = {0, 51, 102, 153, 204, 255, 255, 255, 255, 255, 255};
  const int greens[] = {0, 0, 0, 0, 0, 0, 51, 102, 153, 204, 255};
  for (int v = 0; v < 11; ++v) {
    EXPECT_EQ(Ramp_Entry(v).r, reds[v]) << v;
    EXPECT_EQ(Ramp_Entry(v).g, greens[v]) << v;
    EXPECT_EQ(Ramp_Entry(v).b, greens[v]) << v;
    EXPECT_EQ(Ramp_Entry(v).a, 255) << v;
  }
  // More bands than entries: entry v is band v x nb div (n - 1).
  a_grad_rec many{};
  many.nbands = 10;
  for (int b = 0; b < 10; ++b) many.bands[b] = Rgb(uint8(b), 0, 0);
  Ramp_Init(0, 2, many);
  EXPECT_EQ(Ramp_Entry(0).r, 0);
  EXPECT_EQ(Ramp_Entry(1).r, 4);
  EXPECT_EQ(Ramp_Entry(2).r, 9);
  // One entry: the middle band, (nbands - 1) div 2.
  Ramp_Init(7, 7, many);
  EXPECT_EQ(Ramp_Count(), 1);
  EXPECT_EQ(Ramp_Entry(0).r, 4);
  // One band over many entries: that colour throughout.
  Ramp_Init(0, 9, Grad({Rgb(1, 2, 3)}));
  for (int v = 0; v < 10; ++v) EXPECT_EQ(Ramp_Entry(v).raw, Rgb(1, 2, 3).raw);
  Ramp_Stop();
  EXPECT_EQ(Ramp_Count(), 0);
}

TEST_F(Gradient, InterpolationTruncatesTowardZero) {
  const a_win_pixel32 a = Rgb(200, 10, 0, 255), b = Rgb(0, 20, 255, 0);
  a_win_pixel32 out;
  Interpolate_RGB(1, 0, 3, a, b, out);
  EXPECT_EQ(out.r, 134);  // 200 + (-200 x 1) div 3, -66.7 cut to -66
  EXPECT_EQ(out.g, 13);
  EXPECT_EQ(out.b, 85);
  EXPECT_EQ(out.a, 170);
  Interpolate_RGB(-5, 0, 3, a, b, out);
  EXPECT_EQ(out.raw, a.raw);
  Interpolate_RGB(4, 0, 3, a, b, out);
  EXPECT_EQ(out.raw, b.raw);
  Interpolate_RGB(9, 3, 3, a, b, out);  // no span: the first colour
  EXPECT_EQ(out.raw, a.raw);
  a_pixel24 o24;
  Interpolate_RGB24(2, 0, 4, a_pixel24{0, 100, 255}, a_pixel24{255, 0, 0}, o24);
  EXPECT_EQ(o24.r, 127);
  EXPECT_EQ(o24.g, 50);
  EXPECT_EQ(o24.b, 128);
}

TEST_F(Gradient, DitherTo16BitsUsesTheMatrix) {
  uint16 v;
  // 0x0F: 1 in five bits with 7 left over, rounded up wherever the threshold is below 7.
  RGB32_To_RGB16_Dithered(0, 0, Rgb(0x0F, 0, 0), v);
  EXPECT_EQ(v, 2 * 1024);
  RGB32_To_RGB16_Dithered(0, 3, Rgb(0x0F, 0, 0), v);
  EXPECT_EQ(v, 1 * 1024);
  RGB32_To_RGB16_Dithered(5, 6, Rgb(0xFF, 0xFF, 0xFF), v);
  EXPECT_EQ(v, 0x7FFF);  // 31 never grows
  // Remainder r rounds up where the threshold is below r: thresholds by (col, row).
  const int t[4][4] = {{0, 6, 1, 7}, {4, 2, 5, 3}, {1, 7, 0, 6}, {5, 3, 4, 2}};
  for (int col = 0; col < 8; ++col)
    for (int row = 0; row < 8; ++row) {
      RGB32_To_RGB16_Dithered(int16(col), int16(row), Rgb(0, 8 + 4, 16 + 6), v);
      EXPECT_EQ((v >> 5) & 31, 1 + (4 > t[col % 4][row % 4])) << col << "," << row;
      EXPECT_EQ(v & 31, 2 + (6 > t[col % 4][row % 4])) << col << "," << row;
    }
  // Negative coordinates (maps not based at 0) use the same cell.
  RGB32_To_RGB16_Dithered(-4, -1, Rgb(0x0F, 0, 0), v);
  EXPECT_EQ(v, 1 * 1024);  // as (0, 3)
}

TEST_F(Gradient, ModPositive) {
  const int32 cases[][3] = {{-1, 20, 19}, {-20, 20, 0}, {-21, 20, 19}, {41, 20, 1}, {0, 7, 0}};
  for (const auto& c : cases) EXPECT_EQ(MOD_Positive(c[0], c[1]), c[2]) << c[0];
}

// --- One-pass kinds ---------------------------------------------------------------------------

TEST_F(Gradient, LinearRunsAcrossTheBoxCorners) {
  Map m(Rect{0, 0, 6, 101}, 32);
  ASSERT_TRUE(Fill(LINEAR_DITHER, m, nullptr, Rect{0, 0, 6, 101}, kBlackWhite, 0));
  // Angle 0: value = col, range 0 .. 101 from the corners, so 102 entries.
  for (int y = 0; y < 6; ++y) {
    EXPECT_EQ(m.Grey(0, y), 0);
    EXPECT_EQ(m.Grey(50, y), Ramp_Grey(50, 102));
    EXPECT_EQ(m.Grey(100, y), Ramp_Grey(100, 102));
  }
  // Angle 90: value = -row; the top row is the largest value, the last band.
  Map v(Rect{0, 0, 11, 4}, 32);
  Fill(LINEAR_DITHER, v, nullptr, Rect{0, 0, 11, 4}, kBlackWhite, 90);
  EXPECT_EQ(v.Grey(2, 0), 255);
  EXPECT_EQ(v.Grey(2, 10), Ramp_Grey(1, 12));
  // Angle 45, value = (col x c) div 16384 - (row x s) div 16384 with c = s = 11585.
  Map d(Rect{0, 0, 20, 20}, 32);
  Fill(LINEAR_DITHER, d, nullptr, Rect{0, 0, 20, 20}, kBlackWhite, 45);
  auto val = [](int col, int row) { return col * 11585 / 16384 - row * 11585 / 16384; };
  const int lo = val(0, 20), hi = val(20, 0);
  for (auto [x, y] : {std::pair{3, 7}, std::pair{19, 0}, std::pair{10, 10}, std::pair{0, 19}})
    EXPECT_EQ(d.Grey(x, y), Ramp_Grey(val(x, y) - lo, hi - lo + 1)) << x << "," << y;
}

TEST_F(Gradient, WavyAddsTheRippleTable) {
  Map m(Rect{0, 0, 30, 100}, 32);
  Fill(WAVY_DITHER, m, nullptr, Rect{0, 0, 30, 100}, kBlackWhite, 0);
  // Angle 0: value = col + ripple[row mod 20], ripple[i] = 8 x sin(18 i degrees).
  const int ripple[20] = {0, 2, 4, 6, 7, 8, 7, 6, 4, 2, 0, -2, -4, -6, -7, -8, -7, -6, -4, -2};
  for (int row : {0, 5, 13, 25}) {
    const int value = 50 + ripple[row % 20];
    EXPECT_EQ(m.Grey(50, row), Ramp_Grey(value, 101)) << row;
  }
  // Beyond the range the index holds at the ends.
  EXPECT_EQ(m.Grey(0, 15), 0);
  EXPECT_EQ(m.Grey(99, 5), 255);
}

TEST_F(Gradient, CircularRingsRepeatEveryRadiusSquared) {
  Map m(Rect{0, 0, 41, 41}, 32);
  Map m10(Rect{0, 0, 41, 41}, 32);
  const Point c{20, 20};
  Fill(CIRCULAR_DITHER, m, nullptr, Rect{0, 0, 41, 41}, kBlackWhite, 0, c, 5);  // raised to 10
  Fill(CIRCULAR_DITHER, m10, nullptr, Rect{0, 0, 41, 41}, kBlackWhite, 0, c, 10);
  EXPECT_EQ(std::memcmp(m.pm.baseAddr, m10.pm.baseAddr, PixMap_Len(m.pm)), 0);
  // value = ((dh^2 + dv^2) mod 100) x 1000 div 100 on a ramp of 1001 entries.
  struct Case {
    int dh, dv, d;
  } cases[] = {{0, 0, 0}, {3, 4, 25}, {10, 0, 0}, {6, 8, 0}, {11, 0, 21}, {-9, 4, 97}, {14, -7, 45}};
  for (const Case& k : cases) EXPECT_EQ(m.Grey(20 + k.dh, 20 + k.dv), Ramp_Grey(k.d * 10, 1001)) << k.dh << "," << k.dv;
}

// The circular kind pixel for pixel against its formula, where the fill
// carries the wrapped squared distance along the rows: centres inside and
// far outside the box, radii from the smallest (wrapping every column) to
// the largest, 16-bit maps with their dither, masks, maps off the origin.
TEST_F(Gradient, CircularMatchesItsFormulaAtEveryPixel) {
  const a_grad_rec bands = Grad({Rgb(0x20, 0x20, 0x80), Rgb(0xE0, 0xE0, 0x40), Rgb(0x40, 0xC0, 0x40),
                                 Rgb(0x10, 0xA0, 0xE0), Rgb(0xC0, 0x20, 0x20)});
  struct Case {
    Rect bounds, box;
    int16 depth;
    Point center;
    int16 radius;
    bool masked;
  } cases[] = {
      {{0, 0, 300, 300}, {0, 0, 300, 300}, 32, {150, 150}, 10, false},
      {{0, 0, 200, 260}, {0, 0, 200, 260}, 32, {80, 130}, 5, true},
      {{-70, -50, 90, 130}, {-70, -50, 90, 130}, 32, {400, -200}, 123, true},
      {{0, 0, 150, 170}, {0, 0, 150, 170}, 16, {0, 0}, 1000, false},
      {{10, 20, 130, 220}, {0, 0, 400, 400}, 16, {60, 90}, 37, true},
      {{0, 0, 120, 120}, {0, 0, 120, 120}, 32, {30000, -30000}, 32767, false},
      {{0, 0, 120, 120}, {0, 0, 120, 120}, 32, {-20000, 25000}, 30001, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << "radius " << k.radius << " depth " << k.depth);
    Map m(k.bounds, k.depth, k.depth == 32 ? 0xFF808080u : 0x1234u);
    // A ring with a hole, its mask over other bounds than the map's.
    const Rect mb{int16(k.bounds.top + 3), int16(k.bounds.left - 5), int16(k.bounds.bottom - 2),
                  int16(k.bounds.right + 4)};
    const int cx = (k.bounds.left + k.bounds.right) / 2, cy = (k.bounds.top + k.bounds.bottom) / 2;
    auto inside = [&](int x, int y) {
      const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
      return d2 < 70 * 70 && d2 >= 12 * 12 && (x + y) % 7 != 0;
    };
    Mask mask(mb, inside);
    ASSERT_TRUE(Fill(CIRCULAR_DITHER, m, k.masked ? &mask.pm : nullptr, k.box, bands, 0, k.center, k.radius));
    Ramp_Init(0, 1000, bands);
    const int64 r2 = int64(std::max<int16>(k.radius, 10)) * std::max<int16>(k.radius, 10);
    int wrong = 0;
    for (int y = k.bounds.top; y < k.bounds.bottom && wrong < 5; ++y)
      for (int x = k.bounds.left; x < k.bounds.right && wrong < 5; ++x) {
        const bool painted = y >= k.box.top && y < k.box.bottom && x >= k.box.left && x < k.box.right &&
                             (!k.masked || (y >= mb.top && y < mb.bottom && x >= mb.left && x < mb.right && inside(x, y)));
        const int64 dh = x - k.center.h, dv = y - k.center.v;
        const a_win_pixel32 want = Ramp_Entry(int32((dh * dh + dv * dv) % r2 * 1000 / r2));
        if (k.depth == 32) {
          const uint32 expect = painted ? want.raw : 0xFF808080u;
          if (m.At(x, y).raw != expect) {
            ++wrong;
            ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << m.At(x, y).raw << " not " << expect;
          }
        } else {
          uint16 expect = 0x1234;
          if (painted) RGB32_To_RGB16_Dithered(int16(x), int16(y), want, expect);
          if (m.At16(x, y) != expect) {
            ++wrong;
            ADD_FAILURE() << "pixel " << x << "," << y << ": " << m.At16(x, y) << " not " << expect;
          }
        }
      }
  }
}

TEST_F(Gradient, DiamondFromTheBoxCentre) {
  Map m(Rect{0, 0, 20, 40}, 32);
  Fill(DIAMOND_DITHER, m, nullptr, Rect{0, 0, 20, 40}, kBlackWhite);
  // cx 20, cy 10, mx 20, my 10: value = | |col - 20| / 20 - |row - 10| / 10 | x 1000.
  EXPECT_EQ(m.Grey(20, 10), 0);
  EXPECT_EQ(m.Grey(30, 10), Ramp_Grey(500, 1001));
  EXPECT_EQ(m.Grey(0, 0), 0);
  EXPECT_EQ(m.Grey(0, 10), 255);
  EXPECT_EQ(m.Grey(25, 15), Ramp_Grey(250, 1001));  // |0.25 - 0.5|
  EXPECT_EQ(m.Grey(36, 10), Ramp_Grey(800, 1001));  // |0.8 - 0|
}

// --- Rays, ridges, contour -------------------------------------------------------------------

TEST_F(Gradient, RaysTurnWithAngleAndTwist) {
  Map m(Rect{0, 0, 41, 41}, 32);
  const Point c{20, 20};
  Fill(RAY_DITHER, m, nullptr, Rect{0, 0, 41, 41}, kBlackWhite, 0, c, 0, 0);
  // index = angle from the pixel to the centre; the ramp spans 0 .. 3599.
  EXPECT_EQ(m.Grey(10, 20), 0);                        // centre lies right: 0
  EXPECT_EQ(m.Grey(30, 20), Ramp_Grey(1800, 3600));    // centre lies left
  EXPECT_EQ(m.Grey(20, 30), Ramp_Grey(900, 3600));     // centre lies up
  EXPECT_EQ(m.Grey(20, 10), Ramp_Grey(2700, 3600));
  Fill(RAY_DITHER, m, nullptr, Rect{0, 0, 41, 41}, kBlackWhite, 0, c, 0, 100);
  EXPECT_EQ(m.Grey(30, 20), Ramp_Grey(1900, 3600));    // + distance x twist div 10
  EXPECT_EQ(m.Grey(0, 20), Ramp_Grey(200, 3600));
}

// Every pixel's ray index is its own angle round the centre, however the
// fill shares the work between pixels: a centre off the box's middle, a box
// that does not reach it, and long thin boxes where the angles crowd.
TEST_F(Gradient, RaysGiveEveryPixelItsOwnAngle) {
  struct Case {
    Rect box;
    Point center;
  };
  const Case cases[] = {
      {Rect{0, 0, 61, 83}, Point{22, 37}},
      {Rect{10, 40, 50, 90}, Point{5, 7}},          // the centre outside, up and left
      {Rect{0, 0, 3, 400}, Point{1, 200}},          // nearly flat rays
      {Rect{0, 0, 400, 3}, Point{200, 1}},          // nearly upright rays
  };
  for (const Case& c : cases) {
    Map m(c.box, 32);
    Fill(RAY_DITHER, m, nullptr, c.box, kBlackWhite, 0, c.center, 0, 0);
    for (int y = c.box.top; y < c.box.bottom; ++y)
      for (int x = c.box.left; x < c.box.right; ++x) {
        const int a = SegmentAngle(Point{int16(y), int16(x)}, c.center);
        ASSERT_EQ(m.Grey(x, y), Ramp_Grey(a, 3600)) << x << "," << y;
      }
  }
}

TEST_F(Gradient, RidgesGiveEachRunTheWholeGradient) {
  const Rect box{0, 0, 10, 20};
  Mask hole(box, [](int x, int) { return x < 8 || x > 11; });
  Map m(box, 32);
  Fill(RIDGES_DITHER, m, &hole.pm, box, kBlackWhite, 0);  // flat lines, left to right
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(m.Grey(x, y), Ramp_Grey(x, 8)) << x << "," << y;
    for (int x = 8; x < 12; ++x) EXPECT_EQ(m.At(x, y).raw, 0xFF808080u) << "hole " << x;
    for (int x = 12; x < 20; ++x) EXPECT_EQ(m.Grey(x, y), Ramp_Grey(x - 12, 8)) << x << "," << y;
  }
  Map v(box, 32);
  Fill(RIDGES_DITHER, v, nullptr, box, kBlackWhite, 90);  // steep, top to bottom
  for (int y = 0; y < 10; ++y) EXPECT_EQ(v.Grey(5, y), Ramp_Grey(y, 10));
}

// Every pixel of the box lies on exactly one line, also the corners that a
// start range taken from the line's total drift would leave out.
TEST_F(Gradient, RidgesCoverEveryPixelAtEveryAngle) {
  const Rect box{3, 2, 13, 25};
  for (int16 angle = 0; angle < 360; angle += 5) {
    Map m(Rect{0, 0, 16, 28}, 32, 0xFF00FF00u);
    Fill(RIDGES_DITHER, m, nullptr, box, Grad({Rgb(200, 0, 0), Rgb(0, 0, 200)}), angle);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 28; ++x) {
        const bool inside = x >= 2 && x < 25 && y >= 3 && y < 13;
        ASSERT_EQ(m.At(x, y).g == 0xFF, !inside) << "angle " << angle << " at " << x << "," << y;
      }
  }
}

TEST_F(Gradient, ContourFollowsDistanceFromTheEdge) {
  Map m(Rect{0, 0, 9, 9}, 32);
  ASSERT_TRUE(Fill(CONTOUR_DITHER, m, nullptr, Rect{0, 0, 9, 9}, kBlackWhite));
  // Chamfer distances 12 straight, 17 diagonal; the centre is 5 rows from
  // outside (60), so the ramp runs 0 .. 7 and the centre takes its end.
  EXPECT_EQ(m.Grey(4, 4), 255);
  EXPECT_EQ(m.Grey(0, 0), Ramp_Grey(12 / 8, 8));
  EXPECT_EQ(m.Grey(0, 4), Ramp_Grey(12 / 8, 8));
  EXPECT_EQ(m.Grey(1, 1), Ramp_Grey(24 / 8, 8));
  EXPECT_EQ(m.Grey(2, 3), Ramp_Grey(36 / 8, 8));
  // Symmetric, as a distance must be.
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      EXPECT_EQ(m.Grey(x, y), m.Grey(8 - x, y));
      EXPECT_EQ(m.Grey(x, y), m.Grey(y, x));
    }

  // The box edge counts as outside even where the mask goes on beyond it.
  Mask wide(Rect{0, 0, 20, 20}, [](int, int) { return true; });
  Map w(Rect{0, 0, 20, 20}, 32);
  Fill(CONTOUR_DITHER, w, &wide.pm, Rect{5, 5, 14, 14}, kBlackWhite);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) ASSERT_EQ(w.Grey(5 + x, 5 + y), m.Grey(x, y));
  EXPECT_EQ(w.At(4, 9).raw, 0xFF808080u);  // outside the box: untouched

  // A mask pixel next to a hole is at the edge too.
  Mask holed(Rect{0, 0, 9, 9}, [](int x, int y) { return !(x == 4 && y == 4); });
  Map h(Rect{0, 0, 9, 9}, 32);
  Fill(CONTOUR_DITHER, h, &holed.pm, Rect{0, 0, 9, 9}, kBlackWhite);
  EXPECT_EQ(h.At(4, 4).raw, 0xFF808080u);
  EXPECT_LT(h.Grey(4, 3), h.Grey(3, 2));
}

// The contour's distances, walked line by line as the definition reads:
// each of the four directions, every line forward then back, the box's edge
// counting as outside. The fill must give each pixel of an irregular shape
// the ramp entry of that distance.
TEST_F(Gradient, ContourMatchesTheLineByLineDistance) {
  const Rect box{0, 0, 37, 53};
  const int w = 53, h = 37;
  const auto in = [](int x, int y) {
    const int dx = x - 24, dy = y - 17;
    const bool ring = dx * dx + dy * dy < 17 * 17 && dx * dx + dy * dy > 4 * 4;
    return (ring && !(x > 30 && y < 12)) || (x < 6 && y > 20) || ((x * 7 + y * 3) % 11 == 0 && y > 30);
  };
  Mask shape(box, in);
  std::vector<int> d(size_t(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) d[size_t(y * w + x)] = in(x, y) ? 65000 : 0;
  const auto walk = [&](int x, int y, int dx, int dy, int cost) {
    std::vector<int> line;
    for (int cx = x, cy = y; cx >= 0 && cx < w && cy >= 0 && cy < h; cx += dx, cy += dy) line.push_back(cy * w + cx);
    int prev = 0;
    for (int i : line) prev = d[size_t(i)] = std::min(d[size_t(i)], prev + cost);
    prev = 0;
    for (auto it = line.rbegin(); it != line.rend(); ++it) prev = d[size_t(*it)] = std::min(d[size_t(*it)], prev + cost);
  };
  for (int s = -(h - 1); s < w; ++s) walk(std::max(s, 0), std::max(-s, 0), 1, 1, 17);
  for (int s = 0; s < w + h - 1; ++s) walk(std::min(s, w - 1), s - std::min(s, w - 1), -1, 1, 17);
  for (int y = 0; y < h; ++y) walk(0, y, 1, 0, 12);
  for (int x = 0; x < w; ++x) walk(x, 0, 0, 1, 12);
  const int n = *std::max_element(d.begin(), d.end()) / 8 + 1;

  Map m(box, 32);
  ASSERT_TRUE(Fill(CONTOUR_DITHER, m, &shape.pm, box, kBlackWhite));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!in(x, y)) {
        ASSERT_EQ(m.At(x, y).raw, 0xFF808080u) << x << "," << y;
        continue;
      }
      ASSERT_EQ(m.Grey(x, y), Ramp_Grey(std::min(d[size_t(y * w + x)] / 8, n - 1), n)) << x << "," << y;
    }
}

// --- Masks, depths, the fill's frame -----------------------------------------------------------

TEST_F(Gradient, MaskLimitsEveryKind) {
  const Rect box{0, 0, 12, 12};
  Mask disc(box, [](int x, int y) { return (x - 6) * (x - 6) + (y - 6) * (y - 6) <= 16; });
  for (a_dither_kind k : {LINEAR_DITHER, RIDGES_DITHER, CIRCULAR_DITHER, CONTOUR_DITHER, RAY_DITHER, WAVY_DITHER,
                          DIAMOND_DITHER}) {
    Map m(box, 32, 0xFF00FF00u);
    EXPECT_TRUE(Fill(k, m, &disc.pm, Rect{-5, -5, 50, 50}, Grad({Rgb(1, 0, 0), Rgb(250, 0, 0)}), 30,
                     Point{6, 6}, 20));
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) {
        const bool in = (x - 6) * (x - 6) + (y - 6) * (y - 6) <= 16;
        ASSERT_EQ(m.At(x, y).g == 0xFF, !in) << "kind " << k << " at " << x << "," << y;
      }
  }
}

TEST_F(Gradient, SixteenBitFillsAreDithered) {
  const Rect box{0, 0, 8, 8};
  const int t[4][4] = {{0, 6, 1, 7}, {4, 2, 5, 3}, {1, 7, 0, 6}, {5, 3, 4, 2}};
  for (a_dither_kind k : {LINEAR_DITHER, RIDGES_DITHER, CONTOUR_DITHER, RAY_DITHER}) {
    Map m(box, 16, 0);
    Fill(k, m, nullptr, box, Grad({Rgb(0x0F, 0, 0)}), 0, Point{3, 3});
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) ASSERT_EQ(m.At16(x, y), (1 + (7 > t[x % 4][y % 4])) * 1024) << k;
  }
}

TEST_F(Gradient, NothingToDoAndUnservedDepths) {
  Map m(Rect{0, 0, 4, 4}, 32);
  // A box outside the map, no gradient, no map: nothing drawn, TRUE.
  EXPECT_TRUE(Fill(LINEAR_DITHER, m, nullptr, Rect{10, 10, 20, 20}, kBlackWhite));
  EXPECT_TRUE(Fill_Dither(LINEAR_DITHER, &m.pm, nullptr, Rect{0, 0, 4, 4}, nullptr, nullptr, true, nullptr, 0, 0,
                          Point{0, 0}, 0));
  EXPECT_EQ(m.At(1, 1).raw, 0xFF808080u);
  // An unknown kind draws nothing.
  EXPECT_TRUE(Fill(a_dither_kind(9), m, nullptr, Rect{0, 0, 4, 4}, kBlackWhite));
  EXPECT_EQ(m.At(1, 1).raw, 0xFF808080u);
  PixMap p8{};
  New_PixMap(p8, Rect{0, 0, 4, 4}, 8, nullptr);
  EXPECT_THROW(Fill_Dither(RAY_DITHER, &p8, nullptr, Rect{0, 0, 4, 4}, nullptr, nullptr, true, &kBlackWhite, 0,
                           0, Point{0, 0}, 0),
               QuitCalled);
  EXPECT_THROW(Fill_Dither(LINEAR_DITHER, &p8, nullptr, Rect{0, 0, 4, 4}, nullptr, nullptr, true, &kBlackWhite,
                           0, 0, Point{0, 0}, 0),
               QuitCalled);
  Dispose_PixMap(p8);
}

// --- Progress echo --------------------------------------------------------------------------

namespace {

int g_mapped = 0;
void Shift_Map(const Point& src, Point& dst) {
  ++g_mapped;
  dst = Point{int16(src.v + 5), int16(src.h + 5)};
}
a_win_info_rec g_echo_info{nullptr, nullptr, FLOATER_KIND, {u'E', 0}};

class GradientEcho : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(800, 600);
    Host_Clock_Set_Manual(true);
    SysWin_Init();
    Windowv_Init();
    SysLoop_Init();
    Init_Info();
    Quickdraw_Init();
    SysVideo_Init();
    Register_Classes();
    Draw_Init();
    nwinlist = 0;
    ultimate_hwnd = nullptr;
  }
  void TearDown() override {
    qd.thePort = nullptr;
    theHDC = nullptr;
    theShadow = nullptr;
    Port_Stack_Clear();
    nwinlist = 0;
    Host_Win_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
  }
};

}  // namespace

// The echo draws every fourth row as an XOR line in the window and takes
// the last one away at the end, leaving window, pen and port as they were.
TEST_F(GradientEcho, LeavesNoTraceInTheWindow) {
  HWND win = New_Window(Rect{50, 50, 150, 250}, "e", true, 1, nullptr, nullptr, &g_echo_info);
  ASSERT_NE(win, nullptr);
  SetPort(win);
  HDC dc = theHDC;
  RGBColor blue{0, 0, 0xFFFF};
  RGBForeColor(blue);
  PenSize(3, 3);
  std::vector<uint32> before;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) before.push_back(GetPixel(dc, x, y));

  a_gstate other{};
  Get_GState(other);
  Map m(Rect{0, 0, 20, 40}, 32);
  g_mapped = 0;
  ASSERT_TRUE(Fill_Dither(LINEAR_DITHER, &m.pm, nullptr, Rect{0, 0, 20, 40}, win, Shift_Map, true, &kBlackWhite, 0,
                          0, Point{0, 0}, 0));
  EXPECT_EQ(g_mapped, 2 * (20 / ECHO_INTERVAL));  // both ends of every fourth row
  EXPECT_EQ(g_pecho.pointA, (Point{int16(19 + 5), 5}));
  EXPECT_EQ(theHDC, dc);
  a_gstate now{};
  Get_GState(now);
  EXPECT_EQ(now.shadow, other.shadow);
  PenState ps;
  GetPenState(ps);
  EXPECT_EQ(ps.pnSize.h, 3);
  EXPECT_EQ(ps.pnMode, patCopy);
  RGBColor fore;
  GetForeColor(fore);
  EXPECT_EQ(fore.blue, 0xFFFF);
  EXPECT_EQ(fore.red, 0);
  size_t i = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(GetPixel(dc, x, y), before[i++]) << x << "," << y;
  EXPECT_EQ(m.Grey(39, 19), Ramp_Grey(39, 41));  // and the fill itself was done
}
