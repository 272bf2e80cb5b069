// Mirrors, rotations, bends and skews of pixel maps, and the masks and
// bounding boxes derived from them.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "PixTestUtil.h"
#include "TestSupport.h"
#include "pixel/SysPix.h"
#include "pixel/SysPixXform.h"

namespace {

struct OwnedPix : OwnedPixMap {
  using OwnedPixMap::OwnedPixMap;
  int32 width() const { return pm.bounds.right - pm.bounds.left; }
  int32 height() const { return pm.bounds.bottom - pm.bounds.top; }
  uint8* at(int32 x, int32 v) const {
    return reinterpret_cast<uint8*>(pm.baseAddr) + int64(v) * PixMap_RowBytes(pm) + int64(x) * (pm.pixelSize / 8);
  }
  // The pixel at (x, v) counted from the top-left, as an integer of its depth.
  uint32 get(int32 x, int32 v) const {
    if (pm.pixelSize == 1) return (at(0, v)[x >> 3] >> (7 - (x & 7))) & 1;
    uint32 r = 0;
    std::memcpy(&r, at(x, v), size_t(pm.pixelSize / 8));
    return r;
  }
  void put(int32 x, int32 v, uint32 val) {
    if (pm.pixelSize == 1) {
      uint8& b = at(0, v)[x >> 3];
      b = uint8(val ? b | (0x80 >> (x & 7)) : b & ~(0x80 >> (x & 7)));
      return;
    }
    std::memcpy(at(x, v), &val, size_t(pm.pixelSize / 8));
  }
  void fill(const std::function<uint32(int32, int32)>& f) {
    for (int32 v = 0; v < height(); ++v)
      for (int32 x = 0; x < width(); ++x) put(x, v, f(x, v));
  }
};

// A value for each position that fits the depth and is never the fill colour.
uint32 Pattern(int16 depth, int32 x, int32 v) {
  switch (depth) {
    case 1: return uint32((x * 3 + v * 5) % 7 < 3);
    case 8: return uint32(1 + (x * 7 + v * 13) % 250);
    case 16: return uint32((x * 31 + v * 1021) % 0x7FFF);
    case 24: return uint32(1 + x * 256 + v * 65536 + (x + v) % 200) & 0xFFFFFF;
    default: return 0x01000000u * uint32(1 + (x + v) % 200) + uint32(x * 256 + v);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Rotations
// ---------------------------------------------------------------------------

TEST(Rotate, SizesByAngleAndFilter) {
  struct Case {
    a_filtering_kind filter;
    int16 depth, angle, width, height;
  };
  const Case cases[] = {
      {NEAREST, 8, 900, 50, 100},    {NEAREST, 16, 900, 50, 100},  {NEAREST, 32, 900, 50, 100},
      {NEAREST, 1, 900, 50, 100},    {NEAREST, 8, 2700, 50, 100},  {NEAREST, 1, -900, 50, 100},
      {NEAREST, 8, 450, 106, 106},   {NEAREST, 32, 450, 106, 106}, {NEAREST, 16, -3150, 106, 106},
      {BILINEAR, 8, 900, 50, 100},   {BILINEAR, 32, 450, 107, 107}, {BILINEAR, 16, 450, 107, 107},
      {BILINEAR, 1, 900, 50, 100},  // 1-bit maps always rotate by the nearest rule
      {NEAREST, 24, 900, 50, 100},   {NEAREST, 24, 450, 106, 106}, {BILINEAR, 24, 450, 107, 107},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "depth " << c.depth << " angle " << c.angle << " filter " << c.filter);
    OwnedPix in(Rect{0, 0, 50, 100}, c.depth);
    OwnedPix out;
    PixMap_Rotate(c.filter, false, c.angle, in.pm, out.pm);
    ASSERT_NE(out.pm.baseAddr, nullptr);
    EXPECT_EQ(out.pm.bounds, (Rect{0, 0, c.height, c.width}));
    EXPECT_EQ(out.pm.pixelSize, c.depth);
    EXPECT_NE(in.pm.baseAddr, nullptr);  // the input is still the caller's
  }
}

TEST(Rotate, QuarterTurnsMovePixelsExactly) {
  for (int16 depth : {1, 8, 16, 24, 32}) {
    SCOPED_TRACE(depth);
    OwnedPix in(Rect{-5, 7, 45, 107}, depth);  // 100 x 50, not at the origin
    in.fill([&](int32 x, int32 v) { return Pattern(depth, x, v); });
    OwnedPix r90, r270;
    PixMap_Rotate(NEAREST, false, 900, in.pm, r90.pm);
    PixMap_Rotate(NEAREST, false, 2700, in.pm, r270.pm);
    ASSERT_EQ(r90.width(), 50);
    ASSERT_EQ(r90.height(), 100);
    for (int32 v = 0; v < 100; ++v)
      for (int32 x = 0; x < 50; ++x) {
        // Counter-clockwise on the screen: the input's top-right corner
        // becomes the top-left one.
        ASSERT_EQ(r90.get(x, v), in.get(99 - v, x)) << x << "," << v;
        ASSERT_EQ(r270.get(x, v), in.get(v, 49 - x)) << x << "," << v;
      }
  }
}

TEST(Rotate, HalfTurnKeepsBoundsAndInput) {
  for (int16 depth : {1, 8, 16, 24, 32}) {
    SCOPED_TRACE(depth);
    OwnedPix in(Rect{3, -4, 13, 17}, depth);
    in.fill([&](int32 x, int32 v) { return Pattern(depth, x, v); });
    OwnedPix out;
    PixMap_Rotate(NEAREST, false, 1800, in.pm, out.pm);
    ASSERT_NE(out.pm.baseAddr, in.pm.baseAddr);
    EXPECT_EQ(out.pm.bounds, in.pm.bounds);
    for (int32 v = 0; v < 10; ++v)
      for (int32 x = 0; x < 21; ++x) ASSERT_EQ(out.get(x, v), in.get(20 - x, 9 - v));
    EXPECT_EQ(in.get(0, 0), Pattern(depth, 0, 0));
  }
}

TEST(Rotate, FullTurnsHandThePixelsOver) {
  for (int16 angle : {0, 3600, -3600, 7200}) {
    OwnedPix in(Rect{0, 0, 4, 4}, 32);
    Ptr pixels = in.pm.baseAddr;
    OwnedPix out;
    PixMap_Rotate(BILINEAR, false, angle, in.pm, out.pm);
    EXPECT_EQ(out.pm.baseAddr, pixels) << angle;
    EXPECT_EQ(in.pm.baseAddr, nullptr) << angle;
  }
  OwnedPix in1(Rect{0, 0, 4, 4}, 1), out1;
  EXPECT_THROW(PixMap_Rotate(NEAREST, false, 450, in1.pm, out1.pm), QuitCalled);
}

// Depths without a kernel give no picture, and a worker never takes a map
// of another depth: the 4-byte kernel over a 24-bit map wrote past it.
TEST(Rotate, DepthsWithoutAKernelGiveNoPicture) {
  for (int16 depth : {2, 4}) {
    for (a_filtering_kind filter : {NEAREST, BILINEAR}) {
      SCOPED_TRACE(testing::Message() << "depth " << depth << " filter " << filter);
      OwnedPix in(Rect{0, 0, 20, 30}, depth);
      ASSERT_NE(in.pm.baseAddr, nullptr);
      OwnedPix out;
      PixMap_Rotate(filter, false, 450, in.pm, out.pm);
      EXPECT_EQ(out.pm.baseAddr, nullptr);
      EXPECT_NE(in.pm.baseAddr, nullptr);
    }
  }
  OwnedPix in24(Rect{0, 0, 9, 7}, 24), in4(Rect{0, 0, 9, 7}, 4);
  OwnedPix out, out4;
  PixMap32_Rotate(450, in24.pm, out.pm);
  EXPECT_EQ(out.pm.baseAddr, nullptr);
  PixMap_Rotate_Bilinear(false, false, 450, in4.pm, out4.pm);
  EXPECT_EQ(out4.pm.baseAddr, nullptr);
  OwnedPix in32(Rect{0, 0, 9, 7}, 32), out24(Rect{0, 0, 12, 12}, 24);
  const std::vector<uint8> before(out24.bytes(), out24.bytes() + PixMap_Len(out24.pm));
  PixMap32_RotateB(&in32.pm, &out24.pm, 0, 16384, 7, 9, 12, 12, a_win_pixel32{});
  EXPECT_EQ(std::vector<uint8>(out24.bytes(), out24.bytes() + PixMap_Len(out24.pm)), before);
}

TEST(Rotate, CornersOutsideThePicture) {
  struct Case {
    a_filtering_kind filter;
    int16 depth;
    uint32 corner;
  };
  const Case cases[] = {
      {NEAREST, 8, 0},     {NEAREST, 16, 0x7FFF}, {NEAREST, 32, 0x00FFFFFF},  // white, alpha 0
      {NEAREST, 24, 0xFFFFFF},
      {BILINEAR, 8, 0},    {BILINEAR, 16, 0},     {BILINEAR, 32, 0},     {BILINEAR, 24, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "depth " << c.depth << " filter " << c.filter);
    OwnedPix in(Rect{0, 0, 40, 40}, c.depth);
    const uint32 ink = c.depth == 8 ? 77 : c.depth == 16 ? 0x1234 : c.depth == 24 ? 0x336699 : 0xFF336699;
    in.fill([&](int32, int32) { return ink; });
    OwnedPix out;
    PixMap_Rotate(c.filter, false, 450, in.pm, out.pm);
    const int32 n = out.width();
    for (auto [x, v] : {std::pair{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}}) EXPECT_EQ(out.get(x, v), c.corner);
    EXPECT_EQ(out.get(n / 2, n / 2), ink);
  }
}

TEST(Rotate, BilinearEdgesTurnPartlyTransparent) {
  a_win_pixel32 colour;
  colour.b = 40, colour.g = 120, colour.r = 200, colour.a = 255;
  OwnedPix in(Rect{0, 0, 30, 50}, 32);
  in.fill([&](int32, int32) { return colour.raw; });
  for (bool zerof : {false, true}) {
    SCOPED_TRACE(zerof);
    OwnedPix out;
    PixMap_Rotate(BILINEAR, zerof, 300, in.pm, out.pm);
    ASSERT_NE(out.pm.baseAddr, nullptr);
    EXPECT_EQ(out.get(out.width() / 2, out.height() / 2), colour.raw);
    int partial = 0;
    for (int32 v = 0; v < out.height(); ++v)
      for (int32 x = 0; x < out.width(); ++x) {
        a_win_pixel32 p;
        p.raw = out.get(x, v);
        if (p.a == 0 || p.a == 255) continue;
        ++partial;
        if (zerof) {  // missing samples count as black
          EXPECT_LT(p.r, colour.r);
        } else {
          // The samples that exist are averaged: the colour stays.
          EXPECT_EQ(p.r, colour.r);
          EXPECT_EQ(p.g, colour.g);
          EXPECT_EQ(p.b, colour.b);
        }
      }
    EXPECT_GT(partial, 50);
  }
}

TEST(Rotate, BilinearReportsProgressOnRequest) {
  static int opened, closed, rows;
  opened = closed = rows = 0;
  g_progproc = [](int16 num, int16 den) {
    if (num == -1 && den == -1) ++opened;
    else if (num == -2 && den == -2) ++closed;
    else ++rows;
  };
  OwnedPix in(Rect{0, 0, 10, 10}, 8), out, quiet;
  PixMap_Rotate_Bilinear8(true, false, 900, in.pm, out.pm);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(rows, 10);
  PixMap_Rotate(BILINEAR, false, 900, in.pm, quiet.pm);
  EXPECT_EQ(rows, 10);
  g_progproc = nullptr;
}

// ---------------------------------------------------------------------------
// Mirrors
// ---------------------------------------------------------------------------

TEST(Flip, EveryDepth) {
  for (int16 depth : {1, 8, 16, 32}) {
    SCOPED_TRACE(depth);
    OwnedPix p(Rect{0, 0, 5, 13}, depth), orig(Rect{0, 0, 5, 13}, depth);
    p.fill([&](int32 x, int32 v) { return Pattern(depth, x, v); });
    orig.fill([&](int32 x, int32 v) { return Pattern(depth, x, v); });
    PixMap_FlipX(&p.pm);
    for (int32 v = 0; v < 5; ++v)
      for (int32 x = 0; x < 13; ++x) ASSERT_EQ(p.get(x, v), orig.get(12 - x, v));
    PixMap_FlipX(&p.pm);
    PixMap_FlipY(&p.pm);
    for (int32 v = 0; v < 5; ++v)
      for (int32 x = 0; x < 13; ++x) ASSERT_EQ(p.get(x, v), orig.get(x, 4 - v));
    PixMap_FlipY(&p.pm);
    PixMap_Rotate_180(&p.pm);
    EXPECT_EQ(p.get(0, 0), orig.get(12, 4));
  }
  OwnedPix p24(Rect{0, 0, 2, 2}, 24);
  EXPECT_THROW(PixMap_FlipX(&p24.pm), QuitCalled);
  PixMap null_map{};
  PixMap_FlipX(&null_map);
  PixMap_FlipY(&null_map);
}

// ---------------------------------------------------------------------------
// Bends and skews
// ---------------------------------------------------------------------------

namespace {
// Offset of the marker (the first pixel of each row, or column) in `out`.
int32 Row_Offset(const OwnedPix& out, int32 v, uint32 marker) {
  for (int32 x = 0; x < out.width(); ++x)
    if (out.get(x, v) == marker) return x;
  return -1;
}
int32 Col_Offset(const OwnedPix& out, int32 x, uint32 marker) {
  for (int32 v = 0; v < out.height(); ++v)
    if (out.get(x, v) == marker) return v;
  return -1;
}
}  // namespace

TEST(Warp, OffsetsOfBendsAndSkews) {
  using Op = void (*)(int16, PixMap&, PixMap&);
  struct Case {
    const char* name;
    Op op;
    int16 val;
    bool xop;
    int32 first, middle, last;  // offsets of row or column 0, 50 and 99
  };
  const Case cases[] = {
      {"bend x", PixMap_BendX, 10, true, 0, 20, 1},   {"bend x back", PixMap_BendX, -10, true, 20, 0, 19},
      {"bend y", PixMap_BendY, 10, false, 0, 20, 1},  {"bend y back", PixMap_BendY, -10, false, 20, 0, 19},
      {"skew x", PixMap_SkewX, 10, true, 20, 10, 1},  {"skew x back", PixMap_SkewX, -10, true, 0, 10, 19},
      {"skew y", PixMap_SkewY, 10, false, 20, 10, 1}, {"skew y back", PixMap_SkewY, -10, false, 0, 10, 19},
  };
  for (int16 depth : {8, 16}) {
    const uint32 marker = 9, body = 5;
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << c.name << " at depth " << depth);
      // 200 x 100 for X operations, 100 x 200 for Y: the offset runs over 100.
      OwnedPix in(c.xop ? Rect{10, 10, 110, 210} : Rect{10, 10, 210, 110}, depth);
      in.fill([&](int32 x, int32 v) { return (c.xop ? x == 0 : v == 0) ? marker : body; });
      OwnedPix out;
      c.op(c.val, in.pm, out.pm);
      ASSERT_NE(out.pm.baseAddr, nullptr);
      EXPECT_EQ(out.pm.bounds, c.xop ? (Rect{0, 0, 100, 220}) : (Rect{0, 0, 220, 100}));
      auto off = [&](int32 i) { return c.xop ? Row_Offset(out, i, marker) : Col_Offset(out, i, marker); };
      EXPECT_EQ(off(0), c.first);
      EXPECT_EQ(off(50), c.middle);
      EXPECT_EQ(off(99), c.last);
      // What the picture does not cover keeps the new map's background.
      const uint32 background = depth == 16 ? 0x7FFF : 0;
      if (c.first > 0) {
        EXPECT_EQ(out.get(0, 0), background);
      }
    }
  }
}

TEST(Warp, ZeroHandsOverAndOtherDepthsStop) {
  OwnedPix in(Rect{0, 0, 10, 10}, 8), out;
  Ptr pixels = in.pm.baseAddr;
  PixMap_SkewY(0, in.pm, out.pm);
  EXPECT_EQ(out.pm.baseAddr, pixels);
  EXPECT_EQ(in.pm.baseAddr, nullptr);
  OwnedPix in2(Rect{0, 0, 10, 10}, 8), out2;
  PixMap_BendX(9, in2.pm, out2.pm);  // 10 x 9 div 100 = 0
  EXPECT_EQ(in2.pm.baseAddr, nullptr);
  OwnedPix in32(Rect{0, 0, 10, 10}, 32), out32;
  EXPECT_THROW(PixMap_BendX(10, in32.pm, out32.pm), QuitCalled);
  EXPECT_THROW(PixMap_SkewY(10, in32.pm, out32.pm), QuitCalled);
}

TEST(Warp, ParabolaEnds) {
  EXPECT_EQ(Calc_Parabola(100, 20, 0), 0);
  EXPECT_EQ(Calc_Parabola(100, 20, 50), 20);
  EXPECT_EQ(Calc_Parabola(100, 20, 99), 1);
  EXPECT_EQ(Calc_Parabola(0, 20, 0), 0);
}

// ---------------------------------------------------------------------------
// Masks and measurements
// ---------------------------------------------------------------------------

TEST(Bounding, SixteenBitInk) {
  OwnedPix p(Rect{-3, 5, 17, 35}, 16);
  p.fill([](int32, int32) { return 0x7FFFu; });
  Rect r{1, 1, 1, 1};
  PixMap_Bounding(&p.pm, p.pm.bounds, r);
  EXPECT_EQ(r, (Rect{0, 0, 0, 0}));
  p.put(3, 7, 0);       // column 8, row 4
  p.put(20, 2, 0x7FFE);  // column 25, row -1
  p.put(10, 15, 0x1F);   // column 15, row 12
  PixMap_Bounding(&p.pm, p.pm.bounds, r);
  EXPECT_EQ(r, (Rect{-1, 8, 13, 26}));
  PixMap_Bounding(&p.pm, Rect{0, 0, 10, 20}, r);
  EXPECT_EQ(r, (Rect{4, 8, 5, 9}));
  PixMap_Bounding(&p.pm, Rect{-100, -100, 100, 100}, r);  // limited to the map
  EXPECT_EQ(r, (Rect{-1, 8, 13, 26}));

  OwnedPix p8(Rect{0, 0, 4, 4}, 8);
  p8.put(2, 1, 3);
  PixMap_Bounding(&p8.pm, p8.pm.bounds, r);
  EXPECT_EQ(r, (Rect{1, 2, 2, 3}));
  OwnedPix p32(Rect{0, 0, 4, 4}, 32);
  EXPECT_THROW(PixMap_Bounding(&p32.pm, p32.pm.bounds, r), QuitCalled);
}

TEST(Masks, NonWhitePixelsAndAlpha) {
  OwnedPix p32(Rect{0, 0, 2, 4}, 32), m(Rect{0, 0, 2, 4}, 1);
  const uint32 px[2][4] = {{0x00FFFFFF, 0x80FFFFFF, 0xFFFEFFFF, 0xFFFFFFFF}, {0x00000000, 0xFFFFFF00, 0x00FFFFFF, 0x12FFFFFE}};
  p32.fill([&](int32 x, int32 v) { return px[v][x]; });
  std::memset(m.pm.baseAddr, 0xFF, PixMap_Len(m.pm));
  PixMap32_To_1(&p32.pm, &m.pm);
  const uint32 expect[2][4] = {{0, 0, 1, 0}, {1, 1, 0, 1}};
  for (int v = 0; v < 2; ++v)
    for (int x = 0; x < 32; ++x) EXPECT_EQ(m.get(x, v), x < 4 ? expect[v][x] : 0u) << x << "," << v;

  OwnedPix p16(Rect{0, 0, 1, 3}, 16);
  p16.fill([](int32 x, int32) { return x == 1 ? 0x7FFFu : 0x7FFEu; });
  PixMap16_To_1(&p16.pm, &m.pm);
  EXPECT_EQ(m.get(0, 0), 1u);
  EXPECT_EQ(m.get(1, 0), 0u);
  EXPECT_EQ(m.get(2, 0), 1u);
  EXPECT_EQ(m.get(0, 1), 0u);
  PixMap16_To_1S(&p16.pm, &m.pm, Rect{0, 1, 1, 3});
  EXPECT_EQ(m.get(0, 0), 0u);
  EXPECT_EQ(m.get(2, 0), 1u);

  OwnedPix alpha(Rect{0, 0, 2, 4}, 8);
  bool8 transp = false, opaque = false;
  Pix32_To_Alpha(&p32.pm, &alpha.pm, transp, opaque);
  EXPECT_EQ(alpha.get(1, 0), 0x80u);
  EXPECT_EQ(alpha.get(3, 1), 0x12u);
  EXPECT_TRUE(transp);
  EXPECT_TRUE(opaque);
  p32.fill([](int32, int32) { return 0xFF000000u; });
  Pix32_To_Alpha(&p32.pm, &alpha.pm, transp, opaque);
  EXPECT_FALSE(transp);
  EXPECT_TRUE(opaque);
}

TEST(Masks, OneBitUtilities) {
  OwnedPix m(Rect{-3, 0, 5, 13}, 1);
  EXPECT_TRUE(Is_PixMap1_Empty(&m.pm));
  m.at(0, 2)[1] = 0x07;  // bits 13..15: row padding
  EXPECT_TRUE(Is_PixMap1_Empty(&m.pm));
  m.put(12, 4, 1);
  EXPECT_FALSE(Is_PixMap1_Empty(&m.pm));

  const uint8 pat[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  PixMap1_FillPattern(&m.pm, pat);
  for (int32 i = 0; i < 8; ++i)
    for (uint32 b = 0; b < PixMap_RowBytes(m.pm); ++b) EXPECT_EQ(m.at(0, i)[b], pat[(i - 3) & 7]);

  // An L shape (a 4 x 2 bar over a 2 x 2 foot) becomes a region in map coordinates.
  OwnedPix l(Rect{10, 20, 14, 30}, 1);
  for (int32 x = 2; x < 6; ++x) l.put(x, 0, 1), l.put(x, 1, 1);
  for (int32 x = 2; x < 4; ++x) l.put(x, 2, 1), l.put(x, 3, 1);
  HRGN rgn = nullptr;
  PixMap1_To_Region(&l.pm, rgn);
  ASSERT_NE(rgn, nullptr);
  HRGN expect = CreateRectRgn(22, 10, 26, 12);
  HRGN foot = CreateRectRgn(22, 12, 24, 14);
  CombineRgn(expect, expect, foot, RGN_OR);
  EXPECT_TRUE(EqualRgn(rgn, expect));
  OwnedPix blank(Rect{0, 0, 4, 4}, 1);
  PixMap1_To_Region(&blank.pm, rgn);  // no bits: the region stays
  EXPECT_TRUE(EqualRgn(rgn, expect));
  DeleteRgn(rgn);
  DeleteRgn(expect);
  DeleteRgn(foot);
}

TEST(Masks, CompareEqualPixels) {
  OwnedPix a(Rect{0, 0, 2, 5}, 16), b(Rect{0, 0, 2, 5}, 16);
  a.fill([](int32 x, int32 v) { return uint32(x + v); });
  b.fill([](int32 x, int32) { return uint32(x); });
  OwnedPix mask;
  PixMap_Compare(&a.pm, &b.pm, mask.pm);
  ASSERT_EQ(mask.pm.pixelSize, 1);
  for (int32 x = 0; x < 5; ++x) {
    EXPECT_EQ(mask.get(x, 0), 1u);
    EXPECT_EQ(mask.get(x, 1), 0u);
  }
  OwnedPix c(Rect{0, 0, 2, 5}, 8), m2;
  EXPECT_THROW(PixMap_Compare(&a.pm, &c.pm, m2.pm), QuitCalled);
}
