// Drawing of cached masked worlds (plain and through a coverage mask, with
// values from the blend formula, clipped to the port and to plain and shaped
// clips) and point lists (capacity, contours, framing and dashing pixel sets,
// regions, bounds, compaction).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "TestSupport.h"
#include "host/HostRegion.h"
#include "pixel/DrawUtilDraw.h"
#include "pixel/SysBlt.h"
#include "platform/Quickdraw.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

class DrawUtilDrawTest : public ::testing::Test {
 protected:
  std::vector<GWorldPtr> worlds_;
  std::vector<a_pointlist_ptr> lists_;

  void SetUp() override {
    SysVideo_Init();
    InitGray();
    SysWin_Init();
    Quickdraw_Init();
    SysBlt_Init();
  }
  void TearDown() override {
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    Set_GWorld(nullptr);
    for (GWorldPtr& w : worlds_) Dispose_GWorld(w);
    for (a_pointlist_ptr& l : lists_) Dispose_Pointlist(l);
    SysBlt_Stop();
    Stop_Quickdraw();
    SysVideo_Stop();
  }

  GWorldPtr World(Rect bounds, int16 depth, CTabHandle ct = nullptr) {
    GWorldPtr w = nullptr;
    EXPECT_EQ(New_GWorld(bounds, depth, ct, w), noErr);
    worlds_.push_back(w);
    return w;
  }
  // A world made the current port.
  GWorldPtr Port(Rect bounds, int16 depth) {
    GWorldPtr w = World(bounds, depth);
    Set_GWorld(w);
    return w;
  }
  a_pointlist_ptr List(int32 max, bool empty = true) {
    a_pointlist_ptr l = nullptr;
    New_Pointlist(max, l);
    if (l && empty) l->npoints = 0;
    lists_.push_back(l);
    return l;
  }

  static uint8* At(GWorldPtr w, int h, int v) {
    const PixMap& pm = w->pix;
    return reinterpret_cast<uint8*>(pm.baseAddr) + size_t(v - pm.bounds.top) * PixMap_RowBytes(pm) +
           size_t(h - pm.bounds.left) * size_t(pm.pixelSize / 8);
  }
  static uint32 Get32(GWorldPtr w, int h, int v) {
    uint32 x;
    std::memcpy(&x, At(w, h, v), 4);
    return x;
  }
  static void Put32(GWorldPtr w, int h, int v, uint32 x) { std::memcpy(At(w, h, v), &x, 4); }
  static void Fill(GWorldPtr w, std::function<uint32(int, int)> f) {
    const Rect& b = w->pix.bounds;
    for (int v = b.top; v < b.bottom; ++v)
      for (int h = b.left; h < b.right; ++h) {
        if (w->pix.pixelSize == 32)
          Put32(w, h, v, f(h, v));
        else
          *At(w, h, v) = uint8(f(h, v));
      }
  }
  static uint32 Get(GWorldPtr w, int h, int v) { return w->pix.pixelSize == 32 ? Get32(w, h, v) : *At(w, h, v); }
  // Pixels of the world that differ from expect(h, v); the first few are
  // reported.
  static int Mismatches(GWorldPtr w, std::function<uint32(int, int)> expect) {
    int bad = 0;
    const Rect& b = w->pix.bounds;
    for (int v = b.top; v < b.bottom; ++v)
      for (int h = b.left; h < b.right; ++h)
        if (Get(w, h, v) != expect(h, v)) {
          if (++bad <= 5) ADD_FAILURE() << "pixel (" << h << ", " << v << ") = " << Get(w, h, v) << ", want " << expect(h, v);
        }
    return bad;
  }
};

uint32 Hash(int h, int v) {
  uint32 x = uint32(h * 7919 + v * 104729 + 12345) * 2654435761u;
  return x ^ (x >> 13);
}

// One channel of the masked blend: (s m + d (255 - m)) >> 8.
uint32 Mix(uint32 s, uint32 d, uint32 m) { return (s * m + d * (255 - m)) >> 8; }

// --- Cached masked worlds ----------------------------------------------------------

// A masked world whose worlds lie at an offset from the port's coordinates.
struct MW {
  a_masked_gworld w{};
  MW(Rect bounds, bool with_mask) {
    New_MW("test", bounds, w);
    if (!with_mask) Dispose_GWorld(w.mask);
  }
  ~MW() { Dispose_MW(w); }
  MW(const MW&) = delete;
  MW& operator=(const MW&) = delete;
};

TEST_F(DrawUtilDrawTest, PlainWorldIsCopiedAndCutToThePort) {
  MW mw(Rect{100, 200, 103, 204}, false);  // 3 rows x 4 columns
  Fill(mw.w.fore, [](int h, int v) { return Hash(h, v); });
  GWorldPtr port = Port(Rect{0, 0, 8, 8}, 32);
  // Lower right: only 2 x 2 of the 3 x 4 land inside the port.
  Draw_Cached_MWorld(mw.w, Rect{6, 6, 9, 10}, nullptr);
  // Upper left, past the port's origin.
  Draw_Cached_MWorld(mw.w, Rect{-1, -2, 2, 2}, nullptr);
  EXPECT_EQ(Mismatches(port,
                       [](int h, int v) -> uint32 {
                         if (h >= 6 && v >= 6) return Hash(h - 6 + 200, v - 6 + 100);
                         if (h < 2 && v < 2) return Hash(h + 2 + 200, v + 1 + 100);
                         return 0;
                       }),
            0);
  // The port is left drawing black on white.
  RGBColor fore, back;
  GetForeColor(fore);
  GetBackColor(back);
  EXPECT_EQ(fore.red | fore.green | fore.blue, 0);
  EXPECT_EQ(back.red & back.green & back.blue, 65535);
}

TEST_F(DrawUtilDrawTest, MaskWeighsEveryChannelByCoverage) {
  MW mw(Rect{10, 10, 11, 15}, true);
  Fill(mw.w.fore, [](int h, int) { return h == 14 ? 0x00FFFFFFu : 0x7F204060u; });
  const uint8 cover[5] = {0, 255, 128, 64, 200};
  for (int h = 10; h < 15; ++h) *At(mw.w.mask, h, 10) = cover[h - 10];
  GWorldPtr port = Port(Rect{0, 0, 1, 5}, 32);
  Fill(port, [](int, int) { return 0x11A0B0C0u; });
  Draw_Cached_MWorld(mw.w, Rect{0, 0, 1, 5}, nullptr);
  EXPECT_EQ(Get32(port, 0, 0), 0x11A0B0C0u);  // no coverage: the port stays
  EXPECT_EQ(Get32(port, 1, 0), 0x7F204060u);  // full coverage: all four bytes
  for (int h = 2; h < 5; ++h) {
    const uint32 s = Get32(mw.w.fore, h + 10, 10), m = cover[h];
    const uint32 want = 0x11000000u | Mix((s >> 16) & 0xFF, 0xA0, m) << 16 | Mix((s >> 8) & 0xFF, 0xB0, m) << 8 |
                        Mix(s & 0xFF, 0xC0, m);
    EXPECT_EQ(Get32(port, h, 0), want) << "coverage " << m;
  }
  // Worked once by hand: 0x60 at 128 over 0xC0 gives (96 x 128 + 192 x 127) >> 8 = 143.
  EXPECT_EQ(Get32(port, 2, 0) & 0xFF, 143u);
}

TEST_F(DrawUtilDrawTest, MaskedDrawHonoursPlainAndShapedClips) {
  MW mw(Rect{0, 0, 6, 6}, true);
  Fill(mw.w.fore, [](int h, int v) { return Hash(h, v) | 0xFF000000u; });
  Fill(mw.w.mask, [](int h, int v) { return uint32(h * 40 + v * 7); });
  // The reference: the same copy unclipped.
  GWorldPtr ref = Port(Rect{0, 0, 10, 10}, 32);
  Draw_Cached_MWorld(mw.w, Rect{2, 3, 8, 9}, nullptr);

  struct Case {
    const char* name;
    std::vector<RECT> rects;
  };
  const Case cases[] = {
      {"one rectangle", {{4, 3, 7, 6}}},
      {"two rectangles", {{3, 2, 5, 4}, {6, 5, 9, 8}}},
      {"an L shape", {{3, 2, 9, 4}, {3, 4, 5, 8}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : c.rects) {
      HRGN part = CreateRectRgn(r.left, r.top, r.right, r.bottom);
      CombineRgn(clip, clip, part, RGN_OR);
      DeleteRgn(part);
    }
    GWorldPtr port = Port(Rect{0, 0, 10, 10}, 32);
    Draw_Cached_MWorld(mw.w, Rect{2, 3, 8, 9}, clip);
    EXPECT_EQ(Mismatches(port, [&](int h, int v) { return PtInRegion(clip, h, v) ? Get32(ref, h, v) : 0u; }), 0);
    DeleteRgn(clip);
  }
}

TEST_F(DrawUtilDrawTest, PlainDrawScalesAndClips) {
  MW mw(Rect{0, 0, 2, 2}, false);
  Fill(mw.w.fore, [](int h, int v) { return uint32(0x01010101u * (1 + h + 2 * v)); });
  GWorldPtr port = Port(Rect{0, 0, 6, 6}, 32);
  HRGN clip = CreateRectRgn(1, 0, 6, 3);
  Draw_Cached_MWorld(mw.w, Rect{0, 0, 4, 4}, clip);  // twice the size
  DeleteRgn(clip);
  EXPECT_EQ(Mismatches(port,
                       [](int h, int v) -> uint32 {
                         if (h < 1 || h >= 4 || v >= 3) return 0;
                         return 0x01010101u * uint32(1 + h / 2 + 2 * (v / 2));
                       }),
            0);
}

TEST_F(DrawUtilDrawTest, NothingToDrawAndMismatchedMask) {
  GWorldPtr port = Port(Rect{0, 0, 4, 4}, 32);
  Fill(port, [](int, int) { return 0x55555555u; });
  a_masked_gworld empty;
  Null_MW(empty);
  Draw_Cached_MWorld(empty, Rect{0, 0, 4, 4}, nullptr);
  MW mw(Rect{0, 0, 2, 2}, true);
  Draw_Cached_MWorld(mw.w, Rect{2, 2, 2, 4}, nullptr);  // empty destination
  EXPECT_EQ(Mismatches(port, [](int, int) { return 0x55555555u; }), 0);

  // A mask smaller than the picture would be read past its end.
  GWorldPtr small = World(Rect{0, 0, 1, 1}, 8, gray_ctable);
  a_masked_gworld odd = mw.w;
  odd.mask = small;
  EXPECT_THROW(Draw_Cached_MWorld(odd, Rect{0, 0, 2, 2}, nullptr), QuitCalled);
}

// --- Point lists: blocks and building -------------------------------------------------

TEST_F(DrawUtilDrawTest, NewPointlistCapacityIsHeldToItsLimits) {
  struct Case {
    int32 asked;
    uint16 max;
  };
  for (const Case c : {Case{5, 5}, Case{0, 0}, Case{-3, 0}, Case{10000, 10000}, Case{70000, 10000}}) {
    SCOPED_TRACE(c.asked);
    a_pointlist_ptr l = List(c.asked, false);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->max, c.max);
    EXPECT_EQ(l->npoints, c.max);
    for (uint16 i = 0; i < l->max; ++i) ASSERT_EQ(l->points[i], (Point{0, 0}));
    if (c.max > 0) l->points[c.max - 1] = Point{1, 2};  // the last point exists (ASan)
  }
  a_pointlist_ptr l = nullptr;
  New_Pointlist(3, l);
  ASSERT_NE(l, nullptr);
  Dispose_Pointlist(l);
  EXPECT_EQ(l, nullptr);
  Dispose_Pointlist(l);  // NIL: nothing
}

TEST_F(DrawUtilDrawTest, AdditionsStopAtCapacity) {
  a_pointlist_ptr l = List(4);
  Add_Pointlist(l, 1, 2);
  Add_Pointlist_Break(l);
  Add_PointlistR(l, 3.9f, -4.9f);
  Add_Pointlist_Polar(l, Point{50, 50}, 10.7f, 900.9f);  // 10 at 90 degrees: straight up
  ASSERT_EQ(l->npoints, 4);
  EXPECT_EQ(l->points[0], (Point{2, 1}));
  EXPECT_TRUE(Is_Pointlist_Break(l->points[1]));
  EXPECT_EQ(l->points[2], (Point{-4, 3}));
  EXPECT_EQ(l->points[3], (Point{40, 50}));
  // Full: every kind of addition is ignored.
  Add_Pointlist(l, 9, 9);
  Add_PointlistR(l, 9, 9);
  Add_Pointlist_Break(l);
  Add_Pointlist_Polar(l, Point{0, 0}, 5, 0);
  EXPECT_EQ(l->npoints, 4);
  EXPECT_EQ(l->points[3], (Point{40, 50}));

  // A count set past the capacity by hand is never read or written past the block.
  l->npoints = 60000;
  Add_Pointlist(l, 9, 9);
  Rect box;
  Pointlist_GetBounds(l, box);
  EXPECT_EQ(box, (Rect{-5, 0, 41, 51}));

  a_pointlist_ptr z = List(0);
  Add_Pointlist(z, 1, 1);
  EXPECT_EQ(z->npoints, 0);
}

TEST_F(DrawUtilDrawTest, RealCoordinatesTruncateWithinSixteenBits) {
  struct Case {
    float x, y;
    Point want;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {2.9f, -2.9f, {-2, 2}},
      {-0.5f, 0.5f, {0, 0}},
      {1e9f, -1e9f, {-32768, 32767}},
      {nan, 32767.5f, {32767, 0}},
  };
  a_pointlist_ptr l = List(8);
  for (const Case& c : cases) Add_PointlistR(l, c.x, c.y);
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(l->points[i], cases[i].want) << i;
}

TEST_F(DrawUtilDrawTest, RectangleOffsetRotateAndCopy) {
  a_pointlist_ptr l = List(6);
  Set_Rect_Pointlist(Rect{2, 3, 7, 9}, l);
  const Point corners[5] = {{2, 3}, {2, 9}, {7, 9}, {7, 3}, {2, 3}};
  ASSERT_EQ(l->npoints, 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(l->points[i], corners[i]) << i;
  // No room for the five corners: left empty rather than overrun.
  a_pointlist_ptr small = List(4);
  small->npoints = 2;
  Set_Rect_Pointlist(Rect{0, 0, 1, 1}, small);
  EXPECT_EQ(small->npoints, 0);

  Add_Pointlist_Break(l);
  Offset_Pointlist(l, 10, -3);
  EXPECT_EQ(l->points[0], (Point{-1, 13}));
  EXPECT_EQ(l->points[2], (Point{4, 19}));
  EXPECT_TRUE(Is_Pointlist_Break(l->points[5]));
  // 16-bit wrap rather than overflow.
  l->points[0] = Point{32760, -32760};
  Offset_Pointlist(l, -10, 10);
  EXPECT_EQ(l->points[0], (Point{-32766, 32766}));

  a_pointlist_ptr copy = nullptr;
  Copy_Pointlist(l, copy);
  lists_.push_back(copy);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->max, 6);
  EXPECT_EQ(copy->npoints, 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(copy->points[i], l->points[i]);
  copy->points[1] = Point{0, 0};
  EXPECT_NE(l->points[1], (Point{0, 0}));

  // A quarter turn about the origin and a longer radius; breaks stay.
  a_pointlist_ptr r = List(3);
  Add_Pointlist(r, 10, 0);
  Add_Pointlist_Break(r);
  Add_Pointlist(r, 0, -20);
  Rotate_Pointlist(r, 0, 0, 5, 90);
  EXPECT_EQ(r->points[0], (Point{15, 0}));
  EXPECT_TRUE(Is_Pointlist_Break(r->points[1]));
  EXPECT_EQ(r->points[2], (Point{0, 25}));
}

// --- Point lists: drawing ---------------------------------------------------------------

TEST_F(DrawUtilDrawTest, FrameDrawsEachContourOnItsOwn) {
  GWorldPtr port = Port(Rect{0, 0, 16, 16}, 8);
  ForeColor(300 + 3);
  a_pointlist_ptr l = List(16);
  Add_Pointlist(l, 2, 2);
  Add_Pointlist(l, 6, 2);
  Add_Pointlist(l, 6, 5);
  Add_Pointlist_Break(l);
  Add_Pointlist(l, 10, 10);
  Add_Pointlist(l, 10, 13);
  Add_Pointlist_Break(l);
  Add_Pointlist_Break(l);
  Add_Pointlist(l, 14, 14);  // a contour of one point: a move only
  Frame_Pointlist(1, l);
  // Open polylines, each line leaving out its end point; nothing joins
  // (6, 5) to (10, 10).
  EXPECT_EQ(Mismatches(port,
                       [](int h, int v) -> uint32 {
                         const bool on = (v == 2 && h >= 2 && h <= 5) || (h == 6 && v >= 2 && v <= 4) ||
                                         (h == 10 && v >= 10 && v <= 12);
                         return on ? 3u : 0u;
                       }),
            0);
}

TEST_F(DrawUtilDrawTest, ThickFrameIsShiftedByHalfThePen) {
  GWorldPtr port = Port(Rect{0, 0, 20, 20}, 8);
  ForeColor(300 + 3);
  a_pointlist_ptr l = List(2);
  Add_Pointlist(l, 4, 10);
  Add_Pointlist(l, 14, 10);
  Frame_Pointlist(3, l);
  // The band of a 3-pixel pen along row 9 (the points moved up and left by 1).
  for (int h = 3; h < 13; ++h) {
    EXPECT_EQ(Get(port, h, 9), 3u) << h;
    EXPECT_EQ(Get(port, h, 8), 3u) << h;
    EXPECT_EQ(Get(port, h, 10), 3u) << h;
  }
  for (int h = 0; h < 20; ++h) {
    EXPECT_EQ(Get(port, h, 7), 0u) << h;
    EXPECT_EQ(Get(port, h, 11), 0u) << h;
  }
  PenState ps;
  GetPenState(ps);
  EXPECT_EQ(ps.pnSize.h, 3);
}

TEST_F(DrawUtilDrawTest, DashesCloseEachContourAndSkipBreaks) {
  GWorldPtr port = Port(Rect{0, 0, 24, 24}, 8);
  ForeColor(300 + 3);
  BackColor(300 + 7);
  a_pointlist_ptr l = List(16);
  Add_Pointlist(l, 2, 2);
  Add_Pointlist(l, 10, 2);
  Add_Pointlist(l, 10, 10);
  Add_Pointlist(l, 2, 10);
  Add_Pointlist_Break(l);
  Add_Pointlist(l, 20, 20);  // two points: nothing
  Add_Pointlist(l, 22, 22);
  Dash_Pointlist(1, l);
  // Each edge: 4 pixels of fore, then 4 of back, from its start point.
  auto edge = [](int along) { return along < 4 ? 3u : 7u; };
  EXPECT_EQ(Mismatches(port,
                       [&](int h, int v) -> uint32 {
                         if (v == 2 && h >= 2 && h < 10) return edge(h - 2);     // top, rightward
                         if (h == 10 && v >= 2 && v < 10) return edge(v - 2);    // right, downward
                         if (v == 10 && h > 2 && h <= 10) return edge(10 - h);   // bottom, leftward
                         if (h == 2 && v > 2 && v <= 10) return edge(10 - v);    // left, back up
                         return 0u;
                       }),
            0);
}

// --- Point lists: regions and geometry ------------------------------------------------------

TEST_F(DrawUtilDrawTest, RegionsAndHitTestsCoverEveryLongContour) {
  a_pointlist_ptr l = List(16);
  // A: 4 x 3 pixels at (2, 2); B: 3 x 2 pixels at (10, 1); then a line
  // (two points), which has no inside.
  const int16 a[][2] = {{2, 2}, {6, 2}, {6, 5}, {2, 5}};
  const int16 b[][2] = {{10, 1}, {13, 1}, {13, 3}, {10, 3}};
  for (auto& p : a) Add_Pointlist(l, p[0], p[1]);
  Add_Pointlist_Break(l);
  for (auto& p : b) Add_Pointlist(l, p[0], p[1]);
  Add_Pointlist_Break(l);
  Add_Pointlist(l, 0, 8);
  Add_Pointlist(l, 15, 9);
  auto inside = [](int h, int v) {
    return (h >= 2 && h <= 5 && v >= 2 && v <= 4) || (h >= 10 && h <= 12 && v >= 1 && v <= 2);
  };

  RgnHandle rgn = nullptr;
  Pointlist_Rgn(l, rgn);
  ASSERT_NE(rgn, nullptr);
  GWorldPtr port = Port(Rect{0, 0, 12, 16}, 8);
  ForeColor(300 + 5);
  PaintRgn(rgn);
  EXPECT_EQ(Mismatches(port, [&](int h, int v) { return inside(h, v) ? 5u : 0u; }), 0);
  for (int v = 0; v < 12; ++v)
    for (int h = 0; h < 16; ++h) {
      const Point pt{int16(v), int16(h)};
      ASSERT_EQ(bool(Pt_In_Pointlist(pt, l)), inside(h, v)) << h << "," << v;
      ASSERT_EQ(bool(PtInRgn(pt, rgn)), inside(h, v)) << h << "," << v;
    }
  DisposeRgn(rgn);

  // No contour long enough: an empty region, nothing inside.
  a_pointlist_ptr two = List(2);
  Add_Pointlist(two, 0, 0);
  Add_Pointlist(two, 5, 5);
  Pointlist_Rgn(two, rgn);
  EXPECT_TRUE(EmptyRgn(rgn));
  EXPECT_FALSE(Pt_In_Pointlist(Point{1, 1}, two));
  DisposeRgn(rgn);
  EXPECT_FALSE(Pt_In_Pointlist(Point{1, 1}, nullptr));
}

TEST_F(DrawUtilDrawTest, BoundsLeaveOutBreaks) {
  struct Case {
    const char* name;
    std::vector<Point> pts;
    Rect want;
  };
  const Case cases[] = {
      {"one point", {{10, 20}}, {9, 19, 11, 21}},
      {"none", {}, {0, 0, 0, 0}},
      {"breaks only", {POINTLIST_BREAK, POINTLIST_BREAK}, {0, 0, 0, 0}},
      {"two contours", {{5, 5}, {1, 8}, POINTLIST_BREAK, {-3, 12}}, {-4, 4, 6, 13}},
      {"edges of the space", {{-32768, 32767}, {32767, -32768}}, {-32768, -32768, 32767, 32767}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    a_pointlist_ptr l = List(8);
    for (const Point& p : c.pts) Add_Pointlist(l, p.h, p.v);
    Rect box;
    Pointlist_GetBounds(l, box);
    EXPECT_EQ(box, c.want);
  }
}

TEST_F(DrawUtilDrawTest, ColinearTakesSixteenBitDifferences) {
  struct Case {
    Point p1, p2, p3;
    bool want;
  };
  const Case cases[] = {
      {{0, 0}, {1, 1}, {2, 2}, true},
      {{0, 0}, {1, 1}, {2, 3}, false},
      {{5, 0}, {5, 7}, {5, -3}, true},       // a line that turns back
      {{0, 0}, {0, 0}, {4, 9}, true},        // a doubled point
      // v differences 60000 and -5536 are equal as 16-bit values
      {{-30000, 0}, {30000, 1}, {24464, 2}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(bool(Is_Colinear(c.p1, c.p2, c.p3)), c.want);
}

TEST_F(DrawUtilDrawTest, CompactDropsInnerPointsOnLines) {
  a_pointlist_ptr l = List(16);
  // Contour 1: a rectangle with extra points on its edges and its top-right
  // corner doubled (the corner must survive, once).
  const int16 c1[][2] = {{0, 0}, {2, 0}, {4, 0}, {4, 0}, {4, 2}, {4, 4}, {0, 4}, {0, 0}};
  for (auto& p : c1) Add_Pointlist(l, p[0], p[1]);
  Add_Pointlist_Break(l);
  // Contour 2: three points on a line; its ends stay.
  Add_Pointlist(l, 10, 10);
  Add_Pointlist(l, 11, 10);
  Add_Pointlist(l, 12, 10);
  EXPECT_EQ(Compact_Pointlist(l), 8);
  const Point want[] = {{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}, POINTLIST_BREAK, {10, 10}, {10, 12}};
  ASSERT_EQ(l->npoints, 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(l->points[i], want[i]) << i;

  // Fewer than four points are left alone.
  a_pointlist_ptr s = List(3);
  Add_Pointlist(s, 0, 0);
  Add_Pointlist(s, 1, 0);
  Add_Pointlist(s, 2, 0);
  EXPECT_EQ(Compact_Pointlist(s), 3);
  EXPECT_EQ(s->npoints, 3);
}

}  // namespace
