// Fixed-point matrices (exact 16.16 values, order of composition, matrix
// types, transformed rectangles) and the two resamplers' properties.
#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "pixel/Matrix.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPix.h"
#include "platform/QDRect.h"

namespace {

MatrixRecord Identity() {
  MatrixRecord m;
  SetIdentityMatrix(&m);
  return m;
}

void Expect_Entries(const MatrixRecord& m, const Fixed (&want)[3][3]) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(m.matrix[i][j], want[i][j]) << i << "," << j;
}

constexpr Fixed F1 = kFixedOne;

}  // namespace

TEST(Matrix, ExactEntries) {
  MatrixRecord m = Identity();
  Expect_Entries(m, {{F1, 0, 0}, {0, F1, 0}, {0, 0, fract1}});
  EXPECT_EQ(GetMatrixType(&m), identityMatrixType);

  TranslateMatrix(&m, Long2Fix(5), Long2Fix(-3));
  Expect_Entries(m, {{F1, 0, 0}, {0, F1, 0}, {5 * F1, -3 * F1, fract1}});
  EXPECT_EQ(GetMatrixType(&m), translateMatrixType);

  // Scaling after the move scales the move too.
  ScaleMatrix(&m, F1 / 2, 3 * F1, 0, 0);
  Expect_Entries(m, {{F1 / 2, 0, 0}, {0, 3 * F1, 0}, {F1 * 5 / 2, -9 * F1, fract1}});
  EXPECT_EQ(GetMatrixType(&m), scaleTranslateMatrixType);

  m = Identity();
  ScaleMatrix(&m, 2 * F1, 2 * F1, Long2Fix(10), Long2Fix(20));  // about (10, 20)
  Expect_Entries(m, {{2 * F1, 0, 0}, {0, 2 * F1, 0}, {-10 * F1, -20 * F1, fract1}});

  m = Identity();
  RotateMatrix(&m, Long2Fix(90), 0, 0);
  Expect_Entries(m, {{0, F1, 0}, {-F1, 0, 0}, {0, 0, fract1}});
  EXPECT_EQ(GetMatrixType(&m), linearMatrixType);

  m = Identity();
  RotateMatrix(&m, Long2Fix(30), 0, 0);
  EXPECT_EQ(m.matrix[0][0], 56756);  // cos 30 = 0.866025 x 65536
  EXPECT_EQ(m.matrix[0][1], 32768);
  EXPECT_EQ(m.matrix[1][0], -32768);

  m = Identity();
  RotateMatrix(&m, Long2Fix(-90), Long2Fix(1), Long2Fix(1));
  TranslateMatrix(&m, F1, 0);
  EXPECT_EQ(GetMatrixType(&m), linearTranslateMatrixType);

  m = Identity();
  m.matrix[0][2] = 1;
  EXPECT_EQ(GetMatrixType(&m), perspectiveMatrixType);
}

// ConcatMatrix(a, b) makes b do b first, then a.
TEST(Matrix, ConcatOrder) {
  MatrixRecord move = Identity(), scale = Identity();
  TranslateMatrix(&move, Long2Fix(1), 0);
  ScaleMatrix(&scale, 2 * F1, 2 * F1, 0, 0);
  MatrixRecord b = move;
  ConcatMatrix(&scale, &b);  // move, then scale: x -> 2(x + 1)
  FixedPoint p{Long2Fix(3), 0};
  ASSERT_TRUE(TransformFixedPoints(&b, &p, 1));
  EXPECT_EQ(p.x, Long2Fix(8));
  b = scale;
  ConcatMatrix(&move, &b);  // scale, then move: x -> 2x + 1
  p = FixedPoint{Long2Fix(3), 0};
  TransformFixedPoints(&b, &p, 1);
  EXPECT_EQ(p.x, Long2Fix(7));
}

TEST(Matrix, RectMatrixAndInverse) {
  const Rect src{10, 20, 30, 60}, dst{0, 0, 10, 80};  // 40 x 20 -> 80 x 10
  MatrixRecord m;
  RectMatrix(&m, &src, &dst);
  Expect_Entries(m, {{2 * F1, 0, 0}, {0, F1 / 2, 0}, {-40 * F1, -5 * F1, fract1}});
  Rect r;
  EXPECT_TRUE(TransformRectX(&m, src, r));
  EXPECT_TRUE(EqualRect(r, dst));
  MatrixRecord inv;
  ASSERT_TRUE(InverseMatrix(&m, &inv));
  EXPECT_TRUE(TransformRectX(&inv, dst, r));
  EXPECT_TRUE(EqualRect(r, src));
  MatrixRecord flat = Identity();
  ScaleMatrix(&flat, 0, F1, 0, 0);
  EXPECT_FALSE(InverseMatrix(&flat, &inv));
}

// Bounding boxes of rotated rectangles; TRUE only while the result is upright.
TEST(Matrix, TransformRectBounds) {
  MatrixRecord m = Identity();
  RotateMatrix(&m, Long2Fix(90), 0, 0);
  Rect r;
  EXPECT_TRUE(TransformRectX(&m, Rect{0, 0, 100, 200}, r));  // 200 wide, 100 high
  EXPECT_TRUE(EqualRect(r, Rect{0, -100, 200, 0}));

  m = Identity();
  RotateMatrix(&m, Long2Fix(45), Long2Fix(50), Long2Fix(50));
  FixedPoint corners[4];
  Rect box{0, 0, 100, 100};
  EXPECT_FALSE(TransformRect(&m, &box, corners));
  // Corners 70.71 from the centre: the box runs from 50 - 70.71 to 50 + 70.71.
  EXPECT_TRUE(EqualRect(box, Rect{-21, -21, 121, 121}));
  EXPECT_EQ(corners[0].x, Long2Fix(50));  // the top-left corner goes straight up

  m = Identity();
  ScaleMatrix(&m, -F1, F1, 0, 0);  // a horizontal flip stays upright
  EXPECT_TRUE(TransformRectX(&m, Rect{0, 10, 5, 30}, r));
  EXPECT_TRUE(EqualRect(r, Rect{0, -30, 5, -10}));
}

// --- Resamplers --------------------------------------------------------------------

namespace {

struct Map32 {
  PixMap pm{};
  Map32(Rect r, int16 depth = 32) { New_PixMap(pm, r, depth, nullptr); }
  ~Map32() { Dispose_PixMap(pm); }
  uint32& at(int h, int v) {
    return reinterpret_cast<uint32*>(pm.baseAddr + size_t(v - pm.bounds.top) * PixMap_RowBytes(pm))[h - pm.bounds.left];
  }
  uint8& at8(int h, int v) {
    return reinterpret_cast<uint8*>(pm.baseAddr + size_t(v - pm.bounds.top) * PixMap_RowBytes(pm))[h - pm.bounds.left];
  }
};

uint32 Hash(int h, int v) {
  uint32 x = uint32(h * 7919 + v * 104729 + 12345) * 2654435761u;
  return x ^ (x >> 13);
}

}  // namespace

TEST(Resample, CubicIdentityFlatAndSmoothing) {
  Map32 src(Rect{3, 4, 13, 14}), dst(Rect{0, 0, 10, 10});
  for (int v = 3; v < 13; ++v)
    for (int h = 4; h < 14; ++h) src.at(h, v) = Hash(h, v);
  // Equal sizes copy exactly.
  ASSERT_TRUE(Bicubic_Blt(&src.pm, &dst.pm, src.pm.bounds, dst.pm.bounds));
  for (int v = 0; v < 10; ++v)
    for (int h = 0; h < 10; ++h) ASSERT_EQ(dst.at(h, v), src.at(h + 4, v + 3));
  // A flat colour stays exactly flat, enlarged or reduced.
  for (int v = 3; v < 13; ++v)
    for (int h = 4; h < 14; ++h) src.at(h, v) = 0x80C81E64u;
  for (const Rect& dr : {Rect{0, 0, 10, 3}, Rect{0, 0, 7, 10}, Rect{2, 2, 9, 5}}) {
    Map32 out(Rect{0, 0, 10, 10});
    Bicubic_Blt(&src.pm, &out.pm, src.pm.bounds, dr);
    for (int v = dr.top; v < dr.bottom; ++v)
      for (int h = dr.left; h < dr.right; ++h) ASSERT_EQ(out.at(h, v), 0x80C81E64u);
    EXPECT_EQ(out.at(9, 9), 0u);  // outside the rectangle: untouched
  }
  // A fine checkerboard reduced 4:1 averages towards grey (every source
  // pixel counts) instead of picking one of the two levels.
  Map32 checker(Rect{0, 0, 32, 32}, 8), small(Rect{0, 0, 8, 8}, 8);
  for (int v = 0; v < 32; ++v)
    for (int h = 0; h < 32; ++h) checker.at8(h, v) = ((h + v) & 1) ? 255 : 0;
  ASSERT_TRUE(Bicubic_Blt(&checker.pm, &small.pm, checker.pm.bounds, small.pm.bounds));
  for (int v = 0; v < 8; ++v)
    for (int h = 0; h < 8; ++h) {
      EXPECT_GT(small.at8(h, v), 100);
      EXPECT_LT(small.at8(h, v), 156);
    }
  Map32 d16(Rect{0, 0, 4, 4}, 16);
  EXPECT_FALSE(Bicubic_Blt(&src.pm, &d16.pm, src.pm.bounds, d16.pm.bounds));
}

TEST(Resample, MatrixIdentityFlipAndFlatRotation) {
  Map32 src(Rect{0, 0, 6, 8}), dst(Rect{0, 0, 6, 8});
  for (int v = 0; v < 6; ++v)
    for (int h = 0; h < 8; ++h) src.at(h, v) = Hash(h, v);
  MatrixRecord m = Identity();
  ASSERT_TRUE(Matrix_Blt(&src.pm, &dst.pm, src.pm.bounds, m, dst.pm.bounds, true));
  EXPECT_EQ(std::memcmp(src.pm.baseAddr, dst.pm.baseAddr, PixMap_Len(src.pm)), 0);
  // A horizontal flip moved back into view mirrors exactly.
  ScaleMatrix(&m, -F1, F1, 0, 0);
  TranslateMatrix(&m, Long2Fix(8), 0);
  Matrix_Blt(&src.pm, &dst.pm, src.pm.bounds, m, dst.pm.bounds, true);
  for (int v = 0; v < 6; ++v)
    for (int h = 0; h < 8; ++h) ASSERT_EQ(dst.at(h, v), src.at(7 - h, v));
  // A flat picture rotated by 30 degrees stays flat wherever it is drawn,
  // and pixels whose centre falls outside the source are left alone.
  Map32 flat(Rect{0, 0, 40, 40}), out(Rect{0, 0, 60, 60});
  for (int v = 0; v < 40; ++v)
    for (int h = 0; h < 40; ++h) flat.at(h, v) = 0xFF3264C8u;
  m = Identity();
  RotateMatrix(&m, Long2Fix(30), Long2Fix(20), Long2Fix(20));
  TranslateMatrix(&m, Long2Fix(10), Long2Fix(10));
  Matrix_Blt(&flat.pm, &out.pm, flat.pm.bounds, m, out.pm.bounds, true);
  int drawn = 0;
  for (int v = 0; v < 60; ++v)
    for (int h = 0; h < 60; ++h) {
      const uint32 p = out.at(h, v);
      ASSERT_TRUE(p == 0 || p == 0xFF3264C8u) << h << "," << v;
      drawn += p != 0;
    }
  EXPECT_NEAR(drawn, 1600, 80);  // a rotation keeps the area
  EXPECT_EQ(out.at(30, 30), 0xFF3264C8u);
  EXPECT_EQ(out.at(0, 0), 0u);
  // 8-bit levels scale smoothly: a 2-pixel ramp 0 / 200 doubled.
  Map32 ramp(Rect{0, 0, 1, 2}, 8), wide(Rect{0, 0, 1, 4}, 8);
  ramp.at8(0, 0) = 0;
  ramp.at8(1, 0) = 200;
  m = Identity();
  ScaleMatrix(&m, 2 * F1, F1, 0, 0);
  Matrix_Blt(&ramp.pm, &wide.pm, ramp.pm.bounds, m, wide.pm.bounds, true);
  EXPECT_EQ(wide.at8(0, 0), 0);
  EXPECT_EQ(wide.at8(1, 0), 50);  // centre 1.5 samples 0.25 of the way
  EXPECT_EQ(wide.at8(2, 0), 150);
  EXPECT_EQ(wide.at8(3, 0), 200);
}

// A matrix that keeps rectangles upright fills exactly the rectangle
// TransformRect gives for the source, even when an edge lands on a half
// pixel: the renderer sizes its worlds by that rectangle, so a row left out
// would show as a blank (white, or invisible in the mask) edge. The first
// case is the renderer's own: a 1-row picture grown to scale 1.5 so it is 2
// rows high, where the second row's centre maps exactly onto the source's
// bottom edge.
TEST(Resample, UprightMatrixFillsItsTransformedRect) {
  struct Case {
    const char* name;
    Rect src;
    Fixed sx, sy;
    bool quarter_turn;
  };
  const Fixed k15 = Fixed(int64(1500) * 65536 / 1000);
  const Case cases[] = {
      {"6x1 at 1 x 1.5", Rect{0, 0, 1, 6}, F1, k15, false},
      {"6x2 at 1 x 1", Rect{0, 0, 2, 6}, F1, F1, false},
      {"6x1 flipped at 1 x -1.5", Rect{0, 0, 1, 6}, F1, -k15, false},
      {"3x3 at 0.5", Rect{0, 0, 3, 3}, F1 / 2, F1 / 2, false},
      {"1x1 at 2.5", Rect{0, 0, 1, 1}, 5 * F1 / 2, 5 * F1 / 2, false},
      {"5x1 at 1.5 turned a quarter", Rect{2, 3, 3, 8}, k15, k15, true},
  };
  constexpr uint32 kColour = 0xFF3264C8u;
  constexpr uint8 kLevel = 200;
  for (const Case& c : cases) {
    MatrixRecord m = Identity();
    ScaleMatrix(&m, c.sx, c.sy, 0, 0);
    if (c.quarter_turn) RotateMatrix(&m, Long2Fix(90), 0, 0);
    Rect box;
    ASSERT_TRUE(TransformRectX(&m, c.src, box)) << c.name;
    TranslateMatrix(&m, Long2Fix(-int32(box.left)), Long2Fix(-int32(box.top)));
    OffsetRect(box, int16(-box.left), int16(-box.top));
    ASSERT_FALSE(EmptyRect(box)) << c.name;
    for (const bool smooth : {false, true}) {
      for (const int16 depth : {int16(32), int16(8)}) {
        SCOPED_TRACE(testing::Message() << c.name << (smooth ? " smooth " : " nearest ") << depth);
        Map32 src(c.src, depth);
        Map32 dst(Rect{-2, -2, int16(box.bottom + 2), int16(box.right + 2)}, depth);
        for (int v = c.src.top; v < c.src.bottom; ++v)
          for (int h = c.src.left; h < c.src.right; ++h) {
            if (depth == 32)
              src.at(h, v) = kColour;
            else
              src.at8(h, v) = kLevel;
          }
        ASSERT_TRUE(Matrix_Blt(&src.pm, &dst.pm, c.src, m, dst.pm.bounds, smooth));
        for (int v = dst.pm.bounds.top; v < dst.pm.bounds.bottom; ++v)
          for (int h = dst.pm.bounds.left; h < dst.pm.bounds.right; ++h) {
            const bool inside = h >= box.left && h < box.right && v >= box.top && v < box.bottom;
            const uint32 got = depth == 32 ? dst.at(h, v) : dst.at8(h, v);
            const uint32 want = inside ? (depth == 32 ? kColour : kLevel) : 0u;
            ASSERT_EQ(got, want) << h << "," << v;
          }
      }
    }
  }
}
