#include <gtest/gtest.h>

#include <vector>

#include "TestSupport.h"
#include "platform/Quickdraw.h"
#include "platform/SysRgn.h"

namespace {

HostRgnOwner Rect_Rgn(int32 left, int32 top, int32 right, int32 bottom) {
  return HostRgnOwner(CreateRectRgn(left, top, right, bottom));
}

// Two 10 x 10 squares side by side with a gap: a complex region.
HostRgnOwner Two_Squares() {
  HostRgnOwner a = Rect_Rgn(0, 0, 10, 10);
  HostRgnOwner b = Rect_Rgn(20, 0, 30, 10);
  CombineRgn(a.get(), a.get(), b.get(), RGN_OR);
  return a;
}

Rect Bounds_Of(HRGN rgn) {
  Rect r;
  Rgn_GetBounds(rgn, r);
  return r;
}

}  // namespace

TEST(SysRgn, BoundsAndRectangularity) {
  EXPECT_EQ(Bounds_Of(nullptr), (Rect{0, 0, 0, 0}));
  HostRgnOwner empty = Rect_Rgn(0, 0, 0, 0);
  EXPECT_EQ(Bounds_Of(empty.get()), (Rect{0, 0, 0, 0}));
  HostRgnOwner r = Rect_Rgn(-5, 3, 7, 9);
  EXPECT_EQ(Bounds_Of(r.get()), (Rect{3, -5, 9, 7}));

  EXPECT_TRUE(Is_Rgn_Rectangular(r.get()));
  EXPECT_TRUE(Is_Rgn_Rectangular(empty.get()));
  HostRgnOwner two = Two_Squares();
  EXPECT_FALSE(Is_Rgn_Rectangular(two.get()));
  EXPECT_EQ(Bounds_Of(two.get()), (Rect{0, 0, 10, 30}));
}

TEST(SysRgn, ScaleRectangularTruncatesEachEdge) {
  struct Case {
    a_rgn_factor f;
    RECT in;
    Rect want;  // top, left, bottom, right
  };
  const Case cases[] = {
      {{1, 2}, {0, 0, 9, 9}, {0, 0, 4, 4}},
      {{3, 2}, {-3, -3, 5, 5}, {-4, -4, 7, 7}},   // -4.5 truncates toward zero
      {{2, 3}, {10, 20, 40, 50}, {13, 6, 33, 26}},  // 20*2/3 = 13.3, 50*2/3 = 33.3
      {{-1, 1}, {2, 4, 6, 8}, {-8, -6, -4, -2}},  // corners put back in order
  };
  for (const Case& c : cases) {
    HostRgnOwner a = Rect_Rgn(c.in.left, c.in.top, c.in.right, c.in.bottom);
    HostRgnOwner b = Rect_Rgn(0, 0, 1, 1);
    Rgn_Scale(c.f, a.get(), b.get());
    EXPECT_EQ(Bounds_Of(b.get()), c.want) << c.f.num << "/" << c.f.den;
    EXPECT_TRUE(Is_Rgn_Rectangular(b.get()));
  }
}

TEST(SysRgn, ScaleComplexAndDegenerateFactors) {
  HostRgnOwner two = Two_Squares();
  HostRgnOwner out = Rect_Rgn(0, 0, 1, 1);

  Rgn_Scale({1, 2}, two.get(), out.get());
  HostRgnOwner want = Rect_Rgn(0, 0, 5, 5);
  HostRgnOwner second = Rect_Rgn(10, 0, 15, 5);
  CombineRgn(want.get(), want.get(), second.get(), RGN_OR);
  EXPECT_TRUE(EqualRgn(out.get(), want.get()));

  // Equal numerator and denominator copy the region as it is.
  Rgn_Scale({7, 7}, two.get(), out.get());
  EXPECT_TRUE(EqualRgn(out.get(), two.get()));

  // No denominator: an empty result, not a division by zero.
  Rgn_Scale({3, 0}, two.get(), out.get());
  EXPECT_EQ(Host_Rgn_Kind(out.get()), NULLREGION);
}

TEST(SysRgn, ToPixMap1HoldsTheRegionBits) {
  // An L: x 2..9 on rows 3..4, and x 2..3 on rows 5..7.
  HostRgnOwner rgn = Rect_Rgn(2, 3, 10, 5);
  HostRgnOwner leg = Rect_Rgn(2, 5, 4, 8);
  CombineRgn(rgn.get(), rgn.get(), leg.get(), RGN_OR);

  PixMap mask{};
  Rgn_To_PixMap1(rgn.get(), mask);
  ASSERT_NE(mask.baseAddr, nullptr);
  EXPECT_EQ(mask.pixelSize, 1);
  EXPECT_EQ(mask.bounds, (Rect{3, 2, 8, 10}));
  ASSERT_EQ(PixMap_RowBytes(mask), 4u);
  const uint8 want[5][4] = {
      {0xFF, 0, 0, 0}, {0xFF, 0, 0, 0}, {0xC0, 0, 0, 0}, {0xC0, 0, 0, 0}, {0xC0, 0, 0, 0}};
  const auto* bits = reinterpret_cast<const uint8*>(mask.baseAddr);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(bits[y * 4 + x], want[y][x]) << y << "," << x;
  Dispose_PixMap(mask);

  HostRgnOwner empty = Rect_Rgn(0, 0, 0, 0);
  PixMap none{};
  Rgn_To_PixMap1_Clean(empty.get(), none);
  EXPECT_EQ(none.baseAddr, nullptr);
  EXPECT_EQ(none.pixelSize, 1);
}

TEST(SysRgn, OvalRoundRectAndNotOvalCoverTheToolboxPixels) {
  const Rect r{0, 0, 10, 10};
  HRGN oval = nullptr;
  OvalRgn(r, oval);
  ASSERT_NE(oval, nullptr);
  // GDI is handed right and bottom one larger, so the oval reaches all four
  // sides of r and no further.
  EXPECT_EQ(Bounds_Of(oval), r);
  EXPECT_FALSE(PtInRegion(oval, 0, 0));
  EXPECT_FALSE(PtInRegion(oval, 9, 9));
  EXPECT_TRUE(PtInRegion(oval, 0, 4));
  EXPECT_TRUE(PtInRegion(oval, 5, 9));
  EXPECT_TRUE(PtInRegion(oval, 5, 5));

  // A maker replaces the region it is given (the old one is freed: ASan).
  OvalRgn(Rect{20, 20, 30, 40}, oval);
  EXPECT_EQ(Bounds_Of(oval), (Rect{20, 20, 30, 40}));

  HRGN notoval = nullptr;
  NotOvalRgn(r, notoval);
  ASSERT_NE(notoval, nullptr);
  EXPECT_TRUE(PtInRegion(notoval, 0, 0));
  EXPECT_TRUE(PtInRegion(notoval, 9, 9));
  EXPECT_FALSE(PtInRegion(notoval, 5, 5));
  HRGN oval10 = nullptr;
  OvalRgn(r, oval10);
  // Oval and its complement tile the rectangle without overlap.
  HostRgnOwner both = Rect_Rgn(0, 0, 0, 0);
  CombineRgn(both.get(), notoval, oval10, RGN_OR);
  HostRgnOwner whole = Rect_Rgn(0, 0, 10, 10);
  EXPECT_TRUE(EqualRgn(both.get(), whole.get()));
  HostRgnOwner overlap = Rect_Rgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(overlap.get(), notoval, oval10, RGN_AND), NULLREGION);

  HRGN rr = nullptr;
  RoundRectRgn(rr, r, 4, 4);
  ASSERT_NE(rr, nullptr);
  EXPECT_EQ(Bounds_Of(rr), r);
  EXPECT_FALSE(PtInRegion(rr, 0, 0));
  EXPECT_TRUE(PtInRegion(rr, 5, 0));
  EXPECT_TRUE(PtInRegion(rr, 9, 5));

  DeleteRgn(oval);
  DeleteRgn(notoval);
  DeleteRgn(oval10);
  DeleteRgn(rr);
}

TEST(SysRgn, PolygonRegions) {
  // A right triangle: (0,0) (10,0) (0,10).
  const Point tri[] = {{0, 0}, {0, 10}, {10, 0}};
  HRGN rgn = nullptr;
  PolygonRgn(tri, 3, rgn);
  ASSERT_NE(rgn, nullptr);
  EXPECT_TRUE(PtInRegion(rgn, 1, 1));
  EXPECT_FALSE(PtInRegion(rgn, 8, 8));
  // Pixel centres on the slanted edge (9.5, 0.5) and (0.5, 9.5) lie on a
  // right edge and stay outside: the box ends at 9.
  EXPECT_EQ(Bounds_Of(rgn), (Rect{0, 0, 9, 9}));

  // Degenerate polygons give an empty region, never NIL.
  const Point line[] = {{5, 0}, {5, 10}, {5, 20}};
  PolygonRgn(line, 3, rgn);
  ASSERT_NE(rgn, nullptr);
  EXPECT_EQ(Host_Rgn_Kind(rgn), NULLREGION);
  PolygonRgn(tri, 2, rgn);
  ASSERT_NE(rgn, nullptr);
  EXPECT_EQ(Host_Rgn_Kind(rgn), NULLREGION);

  // Only the first 4000 points count: the square traced by them stays a
  // square although point 4001 lies far outside.
  std::vector<Point> pts;
  for (int i = 0; i < 1000; ++i) pts.push_back(Point{0, int16(i / 10)});        // top edge
  for (int i = 0; i < 1000; ++i) pts.push_back(Point{int16(i / 10), 100});      // right edge
  for (int i = 0; i < 1000; ++i) pts.push_back(Point{100, int16(100 - i / 10)}); // bottom edge
  for (int i = 0; i < 1000; ++i) pts.push_back(Point{int16(100 - i / 10), 0});  // left edge
  pts.push_back(Point{3000, 3000});
  ASSERT_EQ(pts.size(), 4001u);
  PolygonRgn(pts.data(), int32(pts.size()), rgn);
  ASSERT_NE(rgn, nullptr);
  HostRgnOwner square = Rect_Rgn(0, 0, 100, 100);
  EXPECT_TRUE(EqualRgn(rgn, square.get()));
  DeleteRgn(rgn);
}

TEST(SysRgn, BadPolygon) {
  const Point tri[] = {{0, 0}, {0, 10}, {10, 0}};
  const Point flat_v[] = {{4, 0}, {4, 10}, {4, 3}};  // one vertical coordinate
  const Point flat_h[] = {{0, 7}, {10, 7}, {3, 7}};  // one horizontal coordinate
  EXPECT_FALSE(Is_Bad_Polygon(tri, 3));
  EXPECT_TRUE(Is_Bad_Polygon(tri, 2));
  EXPECT_TRUE(Is_Bad_Polygon(nullptr, 3));
  EXPECT_TRUE(Is_Bad_Polygon(flat_v, 3));
  EXPECT_TRUE(Is_Bad_Polygon(flat_h, 3));
}

// Mapping regions between rectangles (the drawing module's MapRgn), on the
// same region helpers.
TEST(SysRgn, MapRgnCases) {
  struct Case {
    Rect src, dst;
    Rect want;  // bounds of the mapped rectangle (10, 10, 20, 20)
  };
  const Case cases[] = {
      {{0, 0, 100, 100}, {0, 0, 100, 100}, {10, 10, 20, 20}},      // equal: unchanged
      {{0, 0, 100, 100}, {5, 7, 105, 107}, {15, 17, 25, 27}},      // same size: moved
      {{0, 0, 100, 100}, {0, 0, 50, 200}, {5, 20, 10, 40}},        // x 2, y 0.5
      {{0, 0, 100, 100}, {20, 10, 70, 210}, {25, 30, 30, 50}},     // scaled and moved
      {{10, 10, 20, 20}, {0, 0, 5, 5}, {0, 0, 5, 5}},              // onto a smaller box
      {{0, 0, 0, 0}, {0, 0, 50, 50}, {10, 10, 20, 20}},            // empty source: unchanged
  };
  for (const Case& c : cases) {
    HostRgnOwner rgn = Rect_Rgn(10, 10, 20, 20);
    MapRgn(rgn.get(), c.src, c.dst);
    EXPECT_EQ(Bounds_Of(rgn.get()), c.want)
        << c.dst.top << "," << c.dst.left << "," << c.dst.bottom << "," << c.dst.right;
  }
  HostRgnOwner rgn = Rect_Rgn(10, 10, 20, 20);
  MapRgn(rgn.get(), Rect{0, 0, 100, 100}, Rect{5, 5, 5, 50});
  EXPECT_EQ(Host_Rgn_Kind(rgn.get()), NULLREGION);
}
