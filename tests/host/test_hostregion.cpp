// Regions over pixman: creation, combination, queries, region data with
// scaling, and 1-bit masks. Expected values are worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "TestSupport.h"
#include "host/HostRegion.h"

namespace {

HostRgnOwner Own(HRGN r) { return HostRgnOwner(r); }

int64 Area(HRGN rgn) {
  int64 a = 0;
  for (const RECT& r : Host_Rgn_Rects(rgn)) a += int64(r.right - r.left) * (r.bottom - r.top);
  return a;
}

RECT Box(HRGN rgn) {
  RECT r;
  GetRgnBox(rgn, &r);
  return r;
}

std::vector<unsigned char> Data_Of(HRGN rgn) {
  const uint32 n = GetRegionData(rgn, 0, nullptr);
  std::vector<unsigned char> buf(n);
  EXPECT_EQ(GetRegionData(rgn, n, reinterpret_cast<RGNDATA*>(buf.data())), n);
  return buf;
}

HRGN From_Data(const std::vector<unsigned char>& buf, const XFORM* xf) {
  return ExtCreateRegion(xf, uint32(buf.size()), reinterpret_cast<const RGNDATA*>(buf.data()));
}

// A data block written by hand: header fields as given, then the rectangles.
std::vector<unsigned char> Block(uint32 dw_size, uint32 type, uint32 count,
                                 const std::vector<RECT>& rects) {
  RGNDATAHEADER h{dw_size, type, count, uint32(rects.size() * sizeof(RECT)), RECT{0, 0, 0, 0}};
  std::vector<unsigned char> buf(sizeof h + rects.size() * sizeof(RECT));
  std::memcpy(buf.data(), &h, sizeof h);
  if (!rects.empty()) std::memcpy(buf.data() + sizeof h, rects.data(), rects.size() * sizeof(RECT));
  return buf;
}

TEST(HostRegion, RectRegionsAndKinds) {
  auto a = Own(CreateRectRgn(10, 20, 0, 5));  // corners put in order
  ASSERT_TRUE(a);
  RECT box;
  EXPECT_EQ(GetRgnBox(a.get(), &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 5, 10, 20}));
  auto e = Own(CreateRectRgn(3, 3, 3, 9));
  EXPECT_EQ(GetRgnBox(e.get(), &box), NULLREGION);
  EXPECT_EQ(box, (RECT{0, 0, 0, 0}));
  box = RECT{1, 2, 3, 4};
  EXPECT_EQ(GetRgnBox(nullptr, &box), ERROR);
  EXPECT_EQ(box, (RECT{0, 0, 0, 0}));

  EXPECT_TRUE(SetRectRgn(e.get(), 4, 4, 1, 2));
  EXPECT_EQ(Box(e.get()), (RECT{1, 2, 4, 4}));
  EXPECT_FALSE(SetRectRgn(nullptr, 0, 0, 1, 1));
  EXPECT_FALSE(SetRectRgn(e.get(), 0, 0, kHostCoordLimit + 1, 1));
  EXPECT_EQ(Box(e.get()), (RECT{1, 2, 4, 4}));  // unchanged after the refusal
  EXPECT_EQ(CreateRectRgn(0, 0, std::numeric_limits<int32>::max(), 1), nullptr);

  EXPECT_TRUE(Host_Is_Rgn(a.get()));
  const uint32 other = 7;
  EXPECT_FALSE(Host_Is_Rgn(&other));
  EXPECT_FALSE(Host_Is_Rgn(nullptr));
  EXPECT_FALSE(DeleteRgn(nullptr));

  // A handle that was deleted is no region any more (and is not read).
  HRGN stale = CreateRectRgn(0, 0, 2, 2);
  ASSERT_TRUE(Host_Is_Rgn(stale));
  EXPECT_TRUE(DeleteRgn(stale));
  EXPECT_FALSE(Host_Is_Rgn(stale));
  EXPECT_FALSE(DeleteRgn(stale));  // a second delete frees nothing
}

struct CombineCase {
  int32 mode;
  int32 kind;
  int64 area;
  RECT box;
  bool in[4];  // (2,2) only A, (7,7) both, (12,12) only B, (20,20) neither
};

TEST(HostRegion, CombineTable) {
  const CombineCase cases[] = {
      {RGN_AND, SIMPLEREGION, 25, {5, 5, 10, 10}, {false, true, false, false}},
      {RGN_OR, COMPLEXREGION, 175, {0, 0, 15, 15}, {true, true, true, false}},
      {RGN_XOR, COMPLEXREGION, 150, {0, 0, 15, 15}, {true, false, true, false}},
      {RGN_DIFF, COMPLEXREGION, 75, {0, 0, 10, 10}, {true, false, false, false}},
      {RGN_COPY, SIMPLEREGION, 100, {0, 0, 10, 10}, {true, true, false, false}},
  };
  const POINT probes[4] = {{2, 2}, {7, 7}, {12, 12}, {20, 20}};
  auto a = Own(CreateRectRgn(0, 0, 10, 10));
  auto b = Own(CreateRectRgn(5, 5, 15, 15));
  for (const CombineCase& c : cases) {
    auto d = Own(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(CombineRgn(d.get(), a.get(), b.get(), c.mode), c.kind) << "mode " << c.mode;
    EXPECT_EQ(Area(d.get()), c.area) << "mode " << c.mode;
    EXPECT_EQ(Box(d.get()), c.box) << "mode " << c.mode;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(PtInRegion(d.get(), probes[i].x, probes[i].y), c.in[i])
          << "mode " << c.mode << " probe " << i;
    }
  }
}

TEST(HostRegion, CombineAliasingAndErrors) {
  auto a = Own(CreateRectRgn(0, 0, 10, 10));
  auto b = Own(CreateRectRgn(20, 0, 30, 10));
  EXPECT_EQ(CombineRgn(a.get(), a.get(), b.get(), RGN_AND), NULLREGION);  // disjoint, dst = a
  ASSERT_TRUE(SetRectRgn(a.get(), 0, 0, 10, 10));
  EXPECT_EQ(CombineRgn(b.get(), a.get(), b.get(), RGN_OR), COMPLEXREGION);  // dst = b
  EXPECT_EQ(Area(b.get()), 200);
  EXPECT_EQ(CombineRgn(a.get(), a.get(), a.get(), RGN_XOR), NULLREGION);
  EXPECT_EQ(CombineRgn(a.get(), b.get(), nullptr, RGN_COPY), COMPLEXREGION);
  EXPECT_EQ(Area(a.get()), 200);

  // Errors leave dst as it was.
  EXPECT_EQ(CombineRgn(a.get(), b.get(), nullptr, RGN_OR), ERROR);
  EXPECT_EQ(CombineRgn(a.get(), b.get(), b.get(), 0), ERROR);
  EXPECT_EQ(CombineRgn(a.get(), b.get(), b.get(), 6), ERROR);
  EXPECT_EQ(CombineRgn(a.get(), nullptr, b.get(), RGN_AND), ERROR);
  EXPECT_EQ(CombineRgn(nullptr, a.get(), b.get(), RGN_AND), ERROR);
  EXPECT_EQ(Area(a.get()), 200);
}

TEST(HostRegion, OffsetPointAndRectangleTests) {
  auto r = Own(CreateRectRgn(0, 0, 10, 10));
  EXPECT_TRUE(PtInRegion(r.get(), 0, 0));
  EXPECT_TRUE(PtInRegion(r.get(), 9, 9));
  EXPECT_FALSE(PtInRegion(r.get(), 10, 9));
  EXPECT_FALSE(PtInRegion(r.get(), 9, 10));
  EXPECT_FALSE(PtInRegion(r.get(), -1, 0));
  EXPECT_FALSE(PtInRegion(nullptr, 0, 0));

  const RECT touching{10, 0, 20, 10};
  const RECT overlapping{9, 9, 20, 20};
  const RECT inverted{20, 20, 9, 9};
  const RECT empty{5, 5, 5, 8};
  EXPECT_FALSE(RectInRegion(r.get(), &touching));
  EXPECT_TRUE(RectInRegion(r.get(), &overlapping));
  EXPECT_TRUE(RectInRegion(r.get(), &inverted));
  EXPECT_FALSE(RectInRegion(r.get(), &empty));
  EXPECT_FALSE(RectInRegion(r.get(), nullptr));
  EXPECT_FALSE(RectInRegion(nullptr, &overlapping));

  EXPECT_EQ(OffsetRgn(r.get(), -5, 7), SIMPLEREGION);
  EXPECT_EQ(Box(r.get()), (RECT{-5, 7, 5, 17}));
  EXPECT_TRUE(PtInRegion(r.get(), -5, 7));
  EXPECT_FALSE(PtInRegion(r.get(), 5, 7));
  // Leaving the coordinate space is refused and changes nothing.
  EXPECT_EQ(OffsetRgn(r.get(), kHostCoordLimit, 0), ERROR);
  EXPECT_EQ(OffsetRgn(r.get(), 0, std::numeric_limits<int32>::min()), ERROR);
  EXPECT_EQ(Box(r.get()), (RECT{-5, 7, 5, 17}));
  EXPECT_EQ(OffsetRgn(nullptr, 1, 1), ERROR);
  auto e = Own(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(OffsetRgn(e.get(), std::numeric_limits<int32>::max(), 0), NULLREGION);
}

TEST(HostRegion, EqualRgnComparesPixels) {
  auto whole = Own(CreateRectRgn(0, 0, 10, 10));
  auto left = Own(CreateRectRgn(0, 0, 4, 10));
  auto right = Own(CreateRectRgn(4, 0, 10, 10));
  auto joined = Own(CreateRectRgn(0, 0, 0, 0));
  CombineRgn(joined.get(), left.get(), right.get(), RGN_OR);
  EXPECT_TRUE(EqualRgn(whole.get(), joined.get()));
  EXPECT_FALSE(EqualRgn(whole.get(), left.get()));
  EXPECT_FALSE(EqualRgn(whole.get(), nullptr));
  auto e1 = Own(CreateRectRgn(0, 0, 0, 0));
  auto e2 = Own(CreateRectRgn(5, 5, 5, 50));
  EXPECT_TRUE(EqualRgn(e1.get(), e2.get()));
}

TEST(HostRegion, EllipseAndRoundRectRegionsMatchSpans) {
  // GDI's rectangle (0, 0, 11, 11) fills the pixel box 0..9: the 10 x 10 circle.
  auto oval = Own(CreateEllipticRgn(0, 0, 11, 11));
  ASSERT_TRUE(oval);
  RECT box;
  EXPECT_EQ(GetRgnBox(oval.get(), &box), COMPLEXREGION);
  EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
  EXPECT_EQ(Area(oval.get()), 4 + 8 + 8 + 10 + 10 + 10 + 10 + 8 + 8 + 4);
  EXPECT_FALSE(PtInRegion(oval.get(), 2, 0));
  EXPECT_TRUE(PtInRegion(oval.get(), 3, 0));
  EXPECT_TRUE(PtInRegion(oval.get(), 0, 3));
  EXPECT_FALSE(PtInRegion(oval.get(), 0, 2));

  HostSpanList spans;
  ASSERT_TRUE(Host_Ellipse_Spans(RECT{0, 0, 10, 10}, spans));
  auto from_spans = Own(Host_Rgn_From_Spans(spans));
  EXPECT_TRUE(EqualRgn(oval.get(), from_spans.get()));
  const RECT r{0, 0, 11, 11};
  auto indirect = Own(CreateEllipticRgnIndirect(&r));
  EXPECT_TRUE(EqualRgn(oval.get(), indirect.get()));

  // Rows with equal runs share one rectangle: the circle is 5 bands.
  EXPECT_EQ(Host_Rgn_Rects(oval.get()).size(), 5u);

  auto rr = Own(CreateRoundRectRgn(0, 0, 11, 9, 4, 4));
  ASSERT_TRUE(rr);
  EXPECT_EQ(Host_Rgn_Rects(rr.get()),
            (std::vector<RECT>{{1, 0, 9, 1}, {0, 1, 10, 7}, {1, 7, 9, 8}}));

  // A 1-pixel GDI rectangle fills nothing; a 2-pixel one fills one pixel.
  auto none = Own(CreateEllipticRgn(4, 4, 5, 5));
  EXPECT_EQ(Host_Rgn_Kind(none.get()), NULLREGION);
  auto one = Own(CreateEllipticRgn(4, 4, 6, 6));
  EXPECT_EQ(Host_Rgn_Rects(one.get()), (std::vector<RECT>{{4, 4, 5, 5}}));
  EXPECT_EQ(CreateEllipticRgn(0, 0, kHostCoordLimit + 2, 10), nullptr);
  EXPECT_EQ(CreateRoundRectRgn(std::numeric_limits<int32>::min(), 0,
                               std::numeric_limits<int32>::max(), 5, 3, 3),
            nullptr);
}

TEST(HostRegion, PolygonRegions) {
  const POINT star[] = {{10, 0}, {16, 20}, {0, 8}, {20, 8}, {4, 20}};
  auto alt = Own(CreatePolygonRgn(star, 5, ALTERNATE));
  auto wind = Own(CreatePolygonRgn(star, 5, WINDING));
  ASSERT_TRUE(alt && wind);
  // Inside the inner pentagon (pixel (10, 10)): winding only.
  EXPECT_FALSE(PtInRegion(alt.get(), 10, 10));
  EXPECT_TRUE(PtInRegion(wind.get(), 10, 10));
  EXPECT_TRUE(PtInRegion(alt.get(), 4, 10));
  HostSpanList spans;
  ASSERT_TRUE(Host_Polygon_Spans(star, WINDING, spans));
  auto ref = Own(Host_Rgn_From_Spans(spans));
  EXPECT_TRUE(EqualRgn(wind.get(), ref.get()));

  // A rectangle polygon is the rectangle region.
  const POINT sq[] = {{2, 3}, {9, 3}, {9, 8}, {2, 8}};
  auto poly = Own(CreatePolygonRgn(sq, 4, ALTERNATE));
  auto rect = Own(CreateRectRgn(2, 3, 9, 8));
  EXPECT_TRUE(EqualRgn(poly.get(), rect.get()));

  const POINT two[] = {{0, 0}, {5, 5}, {5, 5}};
  auto degenerate = Own(CreatePolygonRgn(two, 2, ALTERNATE));
  ASSERT_TRUE(degenerate);
  EXPECT_EQ(Host_Rgn_Kind(degenerate.get()), NULLREGION);
  EXPECT_EQ(CreatePolygonRgn(sq, -1, ALTERNATE), nullptr);
  EXPECT_EQ(CreatePolygonRgn(nullptr, 3, ALTERNATE), nullptr);
  EXPECT_EQ(CreatePolygonRgn(sq, 4, 0), nullptr);

  const POINT nested[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {3, 3}, {7, 3}, {7, 7}, {3, 7}};
  const int32 counts[] = {4, 4};
  auto holed = Own(CreatePolyPolygonRgn(nested, counts, 2, ALTERNATE));
  EXPECT_EQ(Area(holed.get()), 84);
  auto filled = Own(CreatePolyPolygonRgn(nested, counts, 2, WINDING));
  EXPECT_EQ(Area(filled.get()), 100);
  const int32 bad[] = {4, -4};
  EXPECT_EQ(CreatePolyPolygonRgn(nested, bad, 2, ALTERNATE), nullptr);
  EXPECT_EQ(CreatePolyPolygonRgn(nested, nullptr, 2, ALTERNATE), nullptr);
  EXPECT_EQ(CreatePolyPolygonRgn(nested, counts, -1, ALTERNATE), nullptr);
}

TEST(HostRegion, RegionDataRoundTrip) {
  // An L: (0,0)-(10,5) over (0,5)-(5,10).
  auto l = Own(CreateRectRgn(0, 0, 10, 5));
  auto foot = Own(CreateRectRgn(0, 5, 5, 10));
  CombineRgn(l.get(), l.get(), foot.get(), RGN_OR);

  EXPECT_EQ(GetRegionData(l.get(), 0, nullptr), 32u + 2 * 16);
  const std::vector<unsigned char> buf = Data_Of(l.get());
  RGNDATAHEADER h;
  std::memcpy(&h, buf.data(), sizeof h);
  EXPECT_EQ(h.dwSize, 32u);
  EXPECT_EQ(h.iType, RDH_RECTANGLES);
  EXPECT_EQ(h.nCount, 2u);
  EXPECT_EQ(h.nRgnSize, 32u);
  EXPECT_EQ(h.rcBound, (RECT{0, 0, 10, 10}));
  RECT first;
  std::memcpy(&first, buf.data() + 32, sizeof first);
  EXPECT_EQ(first, (RECT{0, 0, 10, 5}));

  // Identity: no transform, and the unit transform.
  auto same = Own(From_Data(buf, nullptr));
  EXPECT_TRUE(EqualRgn(same.get(), l.get()));
  const XFORM unit{1, 0, 0, 1, 0, 0};
  auto same2 = Own(From_Data(buf, &unit));
  EXPECT_TRUE(EqualRgn(same2.get(), l.get()));

  // 2x scale doubles every edge.
  const XFORM twice{2, 0, 0, 2, 0, 0};
  auto big = Own(From_Data(buf, &twice));
  EXPECT_EQ(Host_Rgn_Rects(big.get()), (std::vector<RECT>{{0, 0, 20, 10}, {0, 10, 10, 20}}));

  // Scale and move, as when mapping between rectangles.
  const XFORM map{2, 0, 0, 0.5f, 3, -4};
  auto mapped = Own(From_Data(buf, &map));
  EXPECT_EQ(Host_Rgn_Rects(mapped.get()),
            (std::vector<RECT>{{3, -4, 23, -2}, {3, -2, 13, 1}}));

  // The round trip of a complex shape.
  auto oval = Own(CreateEllipticRgn(-7, 3, 30, 19));
  auto oval2 = Own(From_Data(Data_Of(oval.get()), nullptr));
  EXPECT_TRUE(EqualRgn(oval.get(), oval2.get()));
}

TEST(HostRegion, RegionDataScaleRoundingAndFlips) {
  // Halving (1,1)-(9,9): 0.5 and 4.5 round away from zero to 1 and 5.
  auto r = Own(CreateRectRgn(1, 1, 9, 9));
  const XFORM half{0.5f, 0, 0, 0.5f, 0, 0};
  auto h = Own(From_Data(Data_Of(r.get()), &half));
  EXPECT_EQ(Box(h.get()), (RECT{1, 1, 5, 5}));
  // A horizontal flip puts the edges back in order.
  auto s = Own(CreateRectRgn(2, 0, 5, 3));
  const XFORM flip{-1, 0, 0, 1, 0, 0};
  auto f = Own(From_Data(Data_Of(s.get()), &flip));
  EXPECT_EQ(Box(f.get()), (RECT{-5, 0, -2, 3}));
  // A quarter turn (x' = -y, y' = x) takes (0,0)-(10,5) to (-5,0)-(0,10).
  auto w = Own(CreateRectRgn(0, 0, 10, 5));
  const XFORM turn{0, 1, -1, 0, 0, 0};
  auto t = Own(From_Data(Data_Of(w.get()), &turn));
  auto expect = Own(CreateRectRgn(-5, 0, 0, 10));
  EXPECT_TRUE(EqualRgn(t.get(), expect.get()));
  // Shrunk to nothing: an empty region, not a failure.
  const XFORM zero{0, 0, 0, 0, 0, 0};
  auto z = Own(From_Data(Data_Of(w.get()), &zero));
  ASSERT_TRUE(z);
  EXPECT_EQ(Host_Rgn_Kind(z.get()), NULLREGION);
}

TEST(HostRegion, RegionDataRejectsBadBlocks) {
  const std::vector<RECT> rects{{0, 0, 4, 4}, {2, 2, 6, 6}};
  auto good = Own(From_Data(Block(32, RDH_RECTANGLES, 2, rects), nullptr));
  ASSERT_TRUE(good);
  EXPECT_EQ(Area(good.get()), 28);

  EXPECT_EQ(From_Data(Block(31, RDH_RECTANGLES, 2, rects), nullptr), nullptr);
  EXPECT_EQ(From_Data(Block(32, 2, 2, rects), nullptr), nullptr);
  EXPECT_EQ(From_Data(Block(32, RDH_RECTANGLES, 3, rects), nullptr), nullptr);
  EXPECT_EQ(From_Data(Block(32, RDH_RECTANGLES, 0xFFFFFFFFu, rects), nullptr), nullptr);
  std::vector<unsigned char> shortblock = Block(32, RDH_RECTANGLES, 0, {});
  shortblock.pop_back();
  EXPECT_EQ(From_Data(shortblock, nullptr), nullptr);
  EXPECT_EQ(ExtCreateRegion(nullptr, 64, nullptr), nullptr);
  EXPECT_EQ(From_Data(Block(32, RDH_RECTANGLES, 1, {{0, 0, kHostCoordLimit + 5, 1}}), nullptr),
            nullptr);

  const XFORM nan{std::numeric_limits<float>::quiet_NaN(), 0, 0, 1, 0, 0};
  EXPECT_EQ(From_Data(Block(32, RDH_RECTANGLES, 2, rects), &nan), nullptr);
  const XFORM huge{1e9f, 0, 0, 1, 0, 0};
  EXPECT_EQ(From_Data(Block(32, RDH_RECTANGLES, 2, rects), &huge), nullptr);

  // Empty rectangles in a block are skipped.
  auto skip = Own(From_Data(Block(32, RDH_RECTANGLES, 2, {{5, 5, 1, 9}, {0, 0, 2, 2}}), nullptr));
  EXPECT_EQ(Host_Rgn_Rects(skip.get()), (std::vector<RECT>{{0, 0, 2, 2}}));

  // Asking with a block that is too small writes nothing.
  std::vector<unsigned char> small(40, 0xAB);
  EXPECT_EQ(GetRegionData(good.get(), 40, reinterpret_cast<RGNDATA*>(small.data())), 0u);
  EXPECT_EQ(small, std::vector<unsigned char>(40, 0xAB));
  EXPECT_EQ(GetRegionData(nullptr, 0, nullptr), 0u);
}

TEST(HostRegion, MaskToRegionAndBack) {
  // 10 x 3 pixels, 2 bytes a row; the 1 bits beyond pixel 9 in row 2 are padding.
  const std::vector<uint8> mask{0xF0, 0xC0,  // pixels 0-3 and 8-9
                                0xFF, 0xC0,  // 0-9
                                0x00, 0x7F};  // 9 (and padding)
  auto rgn = Own(Host_Mask_To_Rgn(mask, 2, 10, 3, 100, 200));
  ASSERT_TRUE(rgn);
  EXPECT_EQ(Host_Rgn_Rects(rgn.get()), (std::vector<RECT>{{100, 200, 104, 201},
                                                           {108, 200, 110, 201},
                                                           {100, 201, 110, 202},
                                                           {109, 202, 110, 203}}));
  std::vector<uint8> back(6, 0x55);
  ASSERT_TRUE(Host_Rgn_To_Mask(rgn.get(), back, 2, 10, 3, 100, 200));
  EXPECT_EQ(back, (std::vector<uint8>{0xF0, 0xC0, 0xFF, 0xC0, 0x00, 0x40}));

  // A mask over part of a region: only the overlap, relative to the origin.
  auto sq = Own(CreateRectRgn(0, 0, 4, 4));
  std::vector<uint8> m2(2);
  ASSERT_TRUE(Host_Rgn_To_Mask(sq.get(), m2, 1, 8, 2, 2, 1));
  EXPECT_EQ(m2, (std::vector<uint8>{0xC0, 0xC0}));

  // Sizes that do not fit are refused.
  EXPECT_EQ(Host_Mask_To_Rgn(mask, 1, 10, 3, 0, 0), nullptr);   // rows too narrow
  EXPECT_EQ(Host_Mask_To_Rgn(mask, 2, 10, 4, 0, 0), nullptr);   // too few bytes
  EXPECT_EQ(Host_Mask_To_Rgn(mask, -2, 10, 3, 0, 0), nullptr);
  EXPECT_EQ(Host_Mask_To_Rgn(mask, 2, -1, 3, 0, 0), nullptr);
  EXPECT_FALSE(Host_Rgn_To_Mask(rgn.get(), back, 2, 10, 4, 0, 0));
  EXPECT_FALSE(Host_Rgn_To_Mask(nullptr, back, 2, 10, 3, 0, 0));
  auto empty = Own(Host_Mask_To_Rgn({}, 0, 0, 0, 0, 0));
  ASSERT_TRUE(empty);
  EXPECT_EQ(Host_Rgn_Kind(empty.get()), NULLREGION);
}

TEST(HostRegion, MaskOfLargeOvalRoundTrips) {
  auto oval = Own(CreateEllipticRgn(0, 0, 1418, 1418));
  const int32 rowbytes = (1417 + 7) / 8;
  std::vector<uint8> bits(size_t(rowbytes) * 1417);
  ASSERT_TRUE(Host_Rgn_To_Mask(oval.get(), bits, rowbytes, 1417, 1417, 0, 0));
  auto back = Own(Host_Mask_To_Rgn(bits, rowbytes, 1417, 1417, 0, 0));
  EXPECT_TRUE(EqualRgn(oval.get(), back.get()));
  const double r = 1417 / 2.0;
  EXPECT_NEAR(double(Area(oval.get())) / (M_PI * r * r), 1.0, 2e-3);
}

}  // namespace
