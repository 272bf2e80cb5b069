// Drawing state and shapes on offscreen worlds: every expected pixel is worked
// out from the drawing rules (colour codes, pattern bits, transfer modes,
// shape edges), not recorded from a run.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ResTestUtil.h"
#include "TestSupport.h"
#include "platform/QDRect.h"
#include "platform/Resources.h"
#include "platform/Quickdraw.h"
#include "platform/SysDraw.h"
#include "platform/SysRgn.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

class QuickdrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
  }
  void TearDown() override {
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    for (GWorldPtr& w : worlds_) Dispose_GWorld(w);
    Stop_Quickdraw();
  }

  // A new all-zero world made the current port.
  GWorldPtr World(int16 depth, Rect bounds = Rect{0, 0, 40, 40}) {
    GWorldPtr w = nullptr;
    EXPECT_EQ(New_GWorld(bounds, depth, nullptr, w), noErr);
    worlds_.push_back(w);
    Push_GWorld(w);
    return w;
  }

  static uint8* Row(GWorldPtr w, int32 y) {
    return reinterpret_cast<uint8*>(w->pix.baseAddr) + size_t(y - w->pix.bounds.top) * PixMap_RowBytes(w->pix);
  }
  // The raw pixel value at (x, y) in the world's coordinates.
  static uint32 Px(GWorldPtr w, int32 x, int32 y) {
    const int32 c = x - w->pix.bounds.left;
    const uint8* row = Row(w, y);
    switch (w->pix.pixelSize) {
      case 32: {
        uint32 v;
        std::memcpy(&v, row + c * 4, 4);
        return v;
      }
      case 8: return row[c];
      case 1: return (row[c / 8] >> (7 - c % 8)) & 1u;
    }
    return 0xDEADBEEF;
  }
  static void Set_Px(GWorldPtr w, int32 x, int32 y, uint32 v) {
    const int32 c = x - w->pix.bounds.left;
    uint8* row = Row(w, y);
    switch (w->pix.pixelSize) {
      case 32: std::memcpy(row + c * 4, &v, 4); break;
      case 8: row[c] = uint8(v); break;
      case 1:
        row[c / 8] = uint8((row[c / 8] & ~(0x80u >> (c % 8))) | ((v & 1u) << (7 - c % 8)));
        break;
    }
  }
  static void Fill_All(GWorldPtr w, uint32 v) {
    const Rect& b = w->pix.bounds;
    for (int32 y = b.top; y < b.bottom; ++y)
      for (int32 x = b.left; x < b.right; ++x) Set_Px(w, x, y, v);
  }
  // The region of the pixels holding value v, built run by run.
  static HostRgnOwner Rgn_Of_Pixels(GWorldPtr w, uint32 v) {
    HostRgnOwner rgn(CreateRectRgn(0, 0, 0, 0));
    const Rect& b = w->pix.bounds;
    for (int32 y = b.top; y < b.bottom; ++y) {
      for (int32 x = b.left; x < b.right;) {
        if (Px(w, x, y) != v) {
          ++x;
          continue;
        }
        int32 e = x;
        while (e < b.right && Px(w, e, y) == v) ++e;
        HostRgnOwner run(CreateRectRgn(x, y, e, y + 1));
        CombineRgn(rgn.get(), rgn.get(), run.get(), RGN_OR);
        x = e;
      }
    }
    return rgn;
  }
  // Count of pixels in the world that differ from the expectation function.
  template <class F>
  static int Mismatches(GWorldPtr w, F expect) {
    int bad = 0;
    const Rect& b = w->pix.bounds;
    for (int32 y = b.top; y < b.bottom; ++y)
      for (int32 x = b.left; x < b.right; ++x)
        if (Px(w, x, y) != expect(x, y)) ++bad;
    return bad;
  }
  static bool In(const Rect& r, int32 x, int32 y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

  // 32-bit raw value of main-table entry i drawn as a colour (alpha 0).
  static uint32 Raw32(int i) {
    const a_win_pixel32& e = g_video.main_colors32[i];
    return uint32(e.b) | (uint32(e.g) << 8) | (uint32(e.r) << 16);
  }

  std::vector<GWorldPtr> worlds_;
};

// --- Frames and lines -------------------------------------------------------------------

TEST_F(QuickdrawTest, FrameRectWithWidePenCoversSmallRectangleWhole) {
  GWorldPtr w = World(8);
  ForeColor(301);
  PenSize(5, 5);
  const Rect r{10, 10, 20, 20};  // 10 x 10: not wider than twice the pen
  FrameRect(r);
  EXPECT_EQ(Mismatches(w, [&](int32 x, int32 y) { return In(r, x, y) ? 1u : 0u; }), 0);
}

TEST_F(QuickdrawTest, FrameRectSolidAndPatternedPenDrawInsideTheRectangle) {
  GWorldPtr w = World(8);
  ForeColor(302);
  BackColor(303);
  PenSize(3, 3);
  const Rect r{5, 4, 25, 30};
  const Rect hole{8, 7, 22, 27};
  FrameRect(r);
  EXPECT_EQ(Mismatches(w, [&](int32 x, int32 y) { return In(r, x, y) && !In(hole, x, y) ? 2u : 0u; }), 0);

  // The same frame with the grey pattern: 0 bits foreground, 1 bits background.
  Fill_All(w, 0);
  PenPat(qd.gray);
  FrameRect(r);
  EXPECT_EQ(Mismatches(w,
                       [&](int32 x, int32 y) {
                         if (!In(r, x, y) || In(hole, x, y)) return 0u;
                         const uint8 row = qd.gray.pat[y & 7];
                         return (row >> (7 - (x & 7))) & 1 ? 3u : 2u;
                       }),
            0);
}

TEST_F(QuickdrawTest, ZeroLengthLinePaintsOnePenSquare) {
  GWorldPtr w = World(8);
  ForeColor(309);
  PenSize(3, 3);
  MoveTo(12, 7);
  LineTo(12, 7);
  const Rect dot{7, 12, 10, 15};
  EXPECT_EQ(Mismatches(w, [&](int32 x, int32 y) { return In(dot, x, y) ? 9u : 0u; }), 0);
  Point pen;
  GetPen(pen);
  EXPECT_EQ(pen, (Point{7, 12}));
}

TEST_F(QuickdrawTest, HorizontalLineLeavesOutItsEndPoint) {
  GWorldPtr w = World(8);
  ForeColor(304);
  MoveTo(2, 5);
  LineTo(9, 5);
  EXPECT_EQ(Mismatches(w, [&](int32 x, int32 y) { return y == 5 && x >= 2 && x < 9 ? 4u : 0u; }), 0);
  Line(0, 3);  // relative to the pen, now at (9, 5)
  EXPECT_EQ(Px(w, 9, 5), 4u);
  EXPECT_EQ(Px(w, 9, 7), 4u);
  EXPECT_EQ(Px(w, 9, 8), 0u);
}

// --- Colour codes ----------------------------------------------------------------------

TEST_F(QuickdrawTest, ColourCodesPaintTheirPixelValues) {
  struct Case {
    int16 depth;
    int32 code;
    uint32 pixel;
  };
  const Case cases[] = {
      {8, 0, 255}, {8, 1, 0},   {8, 300, 0},   {8, 300 + 77, 77}, {8, 555, 255},
      {1, 0, 0},   {1, 1, 1},   {1, 300, 0},   {1, 301, 1},       {1, 300 + 6, 0},
      {32, 1, 0},  {32, 0, 0x00FFFFFF}, {32, 300 + 40, Raw32(40)}, {32, 300 + 200, Raw32(200)},
  };
  for (const Case& c : cases) {
    GWorldPtr w = World(c.depth);
    Fill_All(w, c.depth == 32 ? 0x12345678u : (c.depth == 8 ? 0x5Au : (c.pixel ^ 1u)));
    ForeColor(c.code);
    PaintRect(Rect{2, 3, 6, 9});
    EXPECT_EQ(Px(w, 3, 2), c.pixel) << "depth " << c.depth << " code " << c.code;
    EXPECT_EQ(Px(w, 8, 5), c.pixel) << "depth " << c.depth << " code " << c.code;
    EXPECT_EQ(theShadow->fore_colorx, c.code == 0 ? 255 : (c.code == 1 ? 0 : c.code - 300));
    Pop_GWorld();
  }
}

TEST_F(QuickdrawTest, ColourCodeOutsideTheTableIsAnInternalError) {
  World(8);
  for (int32 code : {2, 299, -1, 556, 1000}) {
    EXPECT_THROW(ForeColor(code), QuitCalled) << code;
    EXPECT_THROW(BackColor(code), QuitCalled) << code;
  }
}

TEST_F(QuickdrawTest, BackColourAndEraseUseTheBackgroundCode) {
  GWorldPtr w = World(8);
  Fill_All(w, 9);
  BackColor(300 + 33);
  EraseRect(Rect{0, 0, 4, 4});
  EraseOval(Rect{10, 10, 13, 13});
  EXPECT_EQ(Px(w, 3, 3), 33u);
  EXPECT_EQ(Px(w, 4, 4), 9u);
  EXPECT_EQ(Px(w, 11, 11), 33u);
  EXPECT_EQ(theShadow->back_colorx, 33);
}

TEST_F(QuickdrawTest, ForeColourReadsBackAsTheRgbOfTheTableEntry) {
  World(8);
  ForeColor(300 + 123);
  RGBColor c{};
  GetForeColor(c);
  const a_win_pixel32& e = g_video.main_colors32[123];
  EXPECT_EQ(c.red, e.r * 257);
  EXPECT_EQ(c.green, e.g * 257);
  EXPECT_EQ(c.blue, e.b * 257);
  // And setting it again lands on the same entry.
  ForeColor(1);
  RGBForeColor(c);
  EXPECT_EQ(theShadow->fore_colorx, 123);
}

TEST_F(QuickdrawTest, RgbForeColourInEightBitWorldUsesNearestEntry) {
  GWorldPtr w = World(8);
  const RGBColor rgb{uint16(0xFE00), uint16(0x0100), uint16(0x0200)};  // nearly pure red
  RGBForeColor(rgb);
  const uint8 ix = Color2Index(rgb);
  EXPECT_EQ(theShadow->fore_color.d, DIBINDEX(ix));
  PaintRect(Rect{0, 0, 1, 1});
  EXPECT_EQ(Px(w, 0, 0), ix);
}

// --- Transfer modes -----------------------------------------------------------------------

TEST_F(QuickdrawTest, TransferModesCombinePenAndDestinationBits) {
  struct Mode {
    int16 mode;
    uint32 (*f)(uint32 p, uint32 d);
  };
  const Mode modes[] = {
      {patCopy, [](uint32 p, uint32) { return p; }},
      {patOr, [](uint32 p, uint32 d) { return p | d; }},
      {patXor, [](uint32 p, uint32 d) { return p ^ d; }},
      {notPatCopy, [](uint32 p, uint32) { return ~p; }},
      {notPatOr, [](uint32 p, uint32 d) { return ~(p | d); }},
      {notPatXor, [](uint32 p, uint32 d) { return ~(p ^ d); }},
      {notPatBic, [](uint32 p, uint32 d) { return p & d; }},
      {blend, [](uint32 p, uint32) { return p; }},
  };
  struct Depth {
    int16 depth;
    int32 code;
    uint32 pen, dst, mask;
  };
  const Depth depths[] = {
      {32, 300 + 90, Raw32(90), 0x80C3A512u, 0xFFFFFFFFu},
      {8, 300 + 0x6C, 0x6C, 0xA5, 0xFF},
      {1, 1, 1, 0, 1},
      {1, 1, 1, 1, 1},
      {1, 0, 0, 1, 1},
  };
  for (const Depth& d : depths) {
    for (const Mode& m : modes) {
      GWorldPtr w = World(d.depth);
      Fill_All(w, d.dst);
      ForeColor(d.code);
      PenMode(m.mode);
      PaintRect(Rect{1, 1, 3, 3});
      const uint32 want = m.f(d.pen, d.dst) & d.mask;
      EXPECT_EQ(Px(w, 2, 2), want) << "depth " << d.depth << " mode " << m.mode << " dst " << d.dst;
      EXPECT_EQ(Px(w, 3, 3), d.dst) << "outside, depth " << d.depth << " mode " << m.mode;
      Pop_GWorld();
    }
  }
}

TEST_F(QuickdrawTest, UnsupportedTransferModesAreInternalErrors) {
  World(8);
  for (int16 mode : {patBic, srcCopy, transparent, int16(99)}) EXPECT_THROW(PenMode(mode), QuitCalled) << mode;
  PenState ps{};
  GetPenState(ps);
  ps.pnMode = patBic;
  EXPECT_THROW(SetPenState(ps), QuitCalled);
}

TEST_F(QuickdrawTest, InvertFlipsEveryBitOfTheShape) {
  GWorldPtr w = World(8);
  Fill_All(w, 0x0F);
  InvertRect(Rect{0, 0, 2, 2});
  InvertOval(Rect{10, 10, 11, 11});
  EXPECT_EQ(Px(w, 1, 1), 0xF0u);
  EXPECT_EQ(Px(w, 2, 2), 0x0Fu);
  EXPECT_EQ(Px(w, 10, 10), 0xF0u);
  EXPECT_EQ(GetROP2(theHDC), R2_COPYPEN);  // the mode is put back
}

// --- Patterns ------------------------------------------------------------------------------

TEST_F(QuickdrawTest, PatternBrushDrawsForegroundForZeroBits) {
  const Pattern pats[] = {qd.gray, qd.ltGray, qd.dkGray, Pattern{{0x80, 0, 0, 0, 0, 0, 0, 0x01}}};
  for (const Pattern& pat : pats) {
    GWorldPtr w = World(8);
    ForeColor(300 + 10);
    BackColor(300 + 20);
    const Rect r{3, 2, 21, 19};
    FillRect(r, pat);
    EXPECT_EQ(Mismatches(w,
                         [&](int32 x, int32 y) {
                           if (!In(r, x, y)) return 0u;
                           return (pat.pat[y & 7] >> (7 - (x & 7))) & 1 ? 20u : 10u;
                         }),
              0);
    Pop_GWorld();
  }
}

TEST_F(QuickdrawTest, PaintUsesThePenPatternInOneBitWorld) {
  GWorldPtr w = World(1);
  ForeColor(1);  // black: pixel 1
  BackColor(0);  // white: pixel 0
  PenPat(qd.ltGray);
  const Rect r{0, 0, 16, 16};
  PaintRect(r);
  EXPECT_EQ(Mismatches(w,
                       [&](int32 x, int32 y) {
                         if (!In(r, x, y)) return 0u;
                         return (qd.ltGray.pat[y & 7] >> (7 - (x & 7))) & 1 ? 0u : 1u;
                       }),
            0);
}

TEST_F(QuickdrawTest, BrushAndPenAreCachedWhileUnchanged) {
  World(8);
  HBRUSH a = Calc_Brush(5, qd.gray);
  EXPECT_EQ(Calc_Brush(5, qd.gray), a);
  EXPECT_EQ(cached_brush.color, 5u);
  Calc_Brush(6, qd.gray);
  EXPECT_EQ(cached_brush.color, 6u);
  PenSize(3, 7);
  EXPECT_EQ(theShadow->pen_width, 3);
  HPEN p = Calc_Pen(PS_SOLID);
  EXPECT_EQ(Calc_Pen(PS_SOLID), p);
  EXPECT_EQ(cached_pen.width, 3);
}

TEST_F(QuickdrawTest, IndexedPatternComesFromThePatternList) {
  World(8);
  // A little-endian count of 2, then two patterns.
  const std::vector<uint8> list{2, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  restest::TempFile file(restest::Archive({{FourCC("PAT#"), 30123, list}}));
  const int16 slot = HOpenResFile(0, 0, file.path.c_str(), 0);
  ASSERT_GT(slot, 0);
  Pattern pat{};
  GetIndPattern(pat, 30123, 2);
  const Pattern want{{9, 10, 11, 12, 13, 14, 15, 16}};
  EXPECT_EQ(pat, want);
  EXPECT_THROW(GetIndPattern(pat, 30123, 3), QuitCalled);
  EXPECT_THROW(GetIndPattern(pat, 30124, 1), ResErrCalled);
  CloseResFile(slot);
}

// --- Clip ------------------------------------------------------------------------------------

TEST_F(QuickdrawTest, GetClipReturnsTheExactClipInLocalCoordinates) {
  GWorldPtr w = World(8, Rect{-10, -20, 30, 40});
  HostRgnOwner oval(CreateEllipticRgn(-15, -5, 16, 20));
  SetClip(oval.get());
  HostRgnOwner got(NewRgn());
  GetClip(got.get());
  EXPECT_TRUE(EqualRgn(got.get(), oval.get()));
  // Drawing keeps to the clip.
  ForeColor(300 + 1);
  PaintRect(w->pix.bounds);
  HostRgnOwner painted = Rgn_Of_Pixels(w, 1);
  EXPECT_TRUE(EqualRgn(painted.get(), oval.get()));

  // With no clip set the whole world comes back.
  SetClip(nullptr);
  GetClip(got.get());
  HostRgnOwner whole(CreateRectRgn(-20, -10, 40, 30));
  EXPECT_TRUE(EqualRgn(got.get(), whole.get()));
}

TEST_F(QuickdrawTest, ClipRectKeepsDrawingInside) {
  GWorldPtr w = World(8, Rect{-10, -20, 30, 40});
  ClipRect(Rect{0, 0, 5, 6});
  ForeColor(300 + 2);
  PaintRect(w->pix.bounds);
  EXPECT_EQ(Mismatches(w, [&](int32 x, int32 y) { return In(Rect{0, 0, 5, 6}, x, y) ? 2u : 0u; }), 0);
}

// --- Region recording -------------------------------------------------------------------------

TEST_F(QuickdrawTest, RecordedRegionHoldsFramesAndTheLinePath) {
  World(8);
  OpenRgn();
  EXPECT_EQ(theShadow->state, BUILDING_RGN);
  FrameRect(Rect{0, 0, 4, 5});
  FrameOval(Rect{10, 10, 17, 20});
  MoveTo(20, 0);
  LineTo(30, 0);
  LineTo(30, 10);
  LineTo(20, 0);
  HostRgnOwner got(NewRgn());
  CloseRgn(got.get());
  EXPECT_EQ(theShadow->state, PAINTING);
  EXPECT_EQ(theShadow->accum_rgn, nullptr);

  HostRgnOwner want(CreateRectRgn(0, 0, 5, 4));
  HostRgnOwner oval(CreateEllipticRgn(10, 10, 21, 18));
  const POINT tri[] = {{20, 0}, {30, 0}, {30, 10}, {20, 0}};
  HostRgnOwner poly(CreatePolygonRgn(tri, 4, ALTERNATE));
  CombineRgn(want.get(), want.get(), oval.get(), RGN_OR);
  CombineRgn(want.get(), want.get(), poly.get(), RGN_OR);
  EXPECT_TRUE(EqualRgn(got.get(), want.get()));
}

TEST_F(QuickdrawTest, RegionOfTwoRecordedPointsHoldsOnlyTheFrames) {
  World(8);
  OpenRgn();
  MoveTo(0, 0);
  LineTo(30, 30);
  FrameRect(Rect{1, 2, 3, 4});
  HostRgnOwner got(NewRgn());
  CloseRgn(got.get());
  HostRgnOwner want(CreateRectRgn(2, 1, 4, 3));
  EXPECT_TRUE(EqualRgn(got.get(), want.get()));
}

TEST_F(QuickdrawTest, CloseRgnWithoutOpenRgnIsAnInternalError) {
  World(8);
  HostRgnOwner rgn(NewRgn());
  EXPECT_THROW(CloseRgn(rgn.get()), QuitCalled);
}

TEST_F(QuickdrawTest, OvalRegionIsThePaintedOval) {
  const Rect rects[] = {{0, 0, 10, 10}, {3, 2, 20, 31}, {5, 5, 6, 30}, {1, 1, 4, 3}, {0, 0, 39, 40}};
  for (const Rect& r : rects) {
    GWorldPtr w = World(8);
    ForeColor(300 + 1);
    PaintOval(r);
    HostRgnOwner painted = Rgn_Of_Pixels(w, 1);

    OpenRgn();
    FrameOval(r);
    HostRgnOwner recorded(NewRgn());
    CloseRgn(recorded.get());
    HRGN made = nullptr;
    OvalRgn(r, made);
    HostRgnOwner made_owner(made);
    EXPECT_TRUE(EqualRgn(painted.get(), recorded.get())) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    EXPECT_TRUE(EqualRgn(painted.get(), made)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    // Painting the region gives the oval's pixels again.
    Fill_All(w, 0);
    PaintRgn(made);
    HostRgnOwner repainted = Rgn_Of_Pixels(w, 1);
    EXPECT_TRUE(EqualRgn(repainted.get(), made));
    Pop_GWorld();
  }
}

TEST_F(QuickdrawTest, RoundRectRegionIsThePaintedRoundRect) {
  GWorldPtr w = World(8);
  const Rect r{2, 3, 30, 35};
  ForeColor(300 + 1);
  PaintRoundRect(r, 12, 8);
  HostRgnOwner painted = Rgn_Of_Pixels(w, 1);
  OpenRgn();
  FrameRoundRect(r, 12, 8);
  HostRgnOwner recorded(NewRgn());
  CloseRgn(recorded.get());
  EXPECT_TRUE(EqualRgn(painted.get(), recorded.get()));
}

// --- Polygon recording -----------------------------------------------------------------------

TEST_F(QuickdrawTest, PolygonRecordingStopsAtTenSubPaths) {
  World(8);
  PolyHandle poly = OpenPoly();
  ASSERT_NE(poly, nullptr);
  for (int16 k = 0; k < 12; ++k) {
    const int16 x = int16(k * 3);
    MoveTo(x, 0);
    LineTo(int16(x + 2), 0);
    LineTo(int16(x + 2), 2);
    LineTo(x, 0);
  }
  ClosePoly();
  EXPECT_EQ(theShadow->state, PAINTING);
  EXPECT_EQ(poly->ncount, 10);
  EXPECT_EQ(poly->npoints, 40);
  for (int k = 0; k < 10; ++k) EXPECT_EQ(poly->counts[k], 4) << k;
  // The last recorded point is the tenth triangle's, not the eleventh's.
  EXPECT_EQ(poly->points[39], (POINT{27, 0}));
  KillPoly(poly);
  EXPECT_EQ(poly, nullptr);
}

TEST_F(QuickdrawTest, PolygonRecordingStopsAtFiveThousandPoints) {
  World(8);
  PolyHandle poly = OpenPoly();
  MoveTo(0, 0);
  for (int i = 1; i <= 6000; ++i) LineTo(int16(i % 100), int16(i / 100));
  MoveTo(7, 7);
  LineTo(8, 8);
  ClosePoly();
  EXPECT_EQ(poly->npoints, 5000);
  EXPECT_EQ(poly->ncount, 1);
  EXPECT_EQ(poly->counts[0], 5000);
  EXPECT_EQ(poly->points[4999], (POINT{4999 % 100, 4999 / 100}));
  KillPoly(poly);
}

TEST_F(QuickdrawTest, RepeatedMoveToLeavesOneSubPath) {
  World(8);
  PolyHandle poly = OpenPoly();
  MoveTo(1, 1);
  MoveTo(5, 5);
  LineTo(9, 5);
  MoveTo(9, 5);  // where the path stands: no new sub-path
  LineTo(9, 9);
  Line(-4, 0);
  ClosePoly();
  ASSERT_EQ(poly->ncount, 1);
  EXPECT_EQ(poly->counts[0], 4);
  const POINT want[] = {{5, 5}, {9, 5}, {9, 9}, {5, 9}};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(poly->points[i], want[i]) << i;
  KillPoly(poly);
}

TEST_F(QuickdrawTest, RelativeMovesWhileRecordingFollowTheRecordedPath) {
  World(8);
  PolyHandle poly = OpenPoly();
  MoveTo(4, 10);
  Move(6, 0);  // from the recorded move: starts the path at (10, 10)
  LineTo(20, 10);
  Move(0, 5);  // from the end of the recorded line
  Line(10, 0);
  ClosePoly();
  ASSERT_EQ(poly->ncount, 2);
  EXPECT_EQ(poly->points[0], (POINT{10, 10}));
  EXPECT_EQ(poly->points[2], (POINT{20, 15}));
  EXPECT_EQ(poly->points[3], (POINT{30, 15}));
  Point pen;
  GetPen(pen);
  EXPECT_EQ(pen, (Point{15, 30}));
  KillPoly(poly);
}

TEST_F(QuickdrawTest, PaintPolyFillsTheRecordedPolygon) {
  GWorldPtr w = World(8);
  PolyHandle poly = OpenPoly();
  MoveTo(2, 2);
  LineTo(12, 2);
  LineTo(12, 8);
  LineTo(2, 8);
  LineTo(2, 2);
  ClosePoly();
  ForeColor(300 + 4);
  PaintPoly(poly);
  EXPECT_EQ(Mismatches(w, [&](int32 x, int32 y) { return In(Rect{2, 2, 8, 12}, x, y) ? 4u : 0u; }), 0);
  KillPoly(poly);
}

// --- Region operations -------------------------------------------------------------------------

TEST_F(QuickdrawTest, MapRgnCases) {
  HostRgnOwner rgn(CreateRectRgn(10, 10, 20, 30));
  const Rect src{0, 0, 100, 100};
  MapRgn(rgn.get(), src, src);
  HostRgnOwner same(CreateRectRgn(10, 10, 20, 30));
  EXPECT_TRUE(EqualRgn(rgn.get(), same.get()));

  MapRgn(rgn.get(), src, Rect{5, 7, 105, 107});  // same size: an offset
  HostRgnOwner moved(CreateRectRgn(17, 15, 27, 35));
  EXPECT_TRUE(EqualRgn(rgn.get(), moved.get()));

  MapRgn(rgn.get(), Rect{5, 7, 105, 107}, Rect{0, 0, 200, 50});  // half across, twice down
  HostRgnOwner scaled(CreateRectRgn(5, 20, 10, 60));
  EXPECT_TRUE(EqualRgn(rgn.get(), scaled.get()));

  MapRgn(rgn.get(), src, Rect{5, 5, 5, 50});
  EXPECT_TRUE(EmptyRgn(rgn.get()));
}

TEST_F(QuickdrawTest, RegionQueriesAndCombinations) {
  HostRgnOwner a(NewRgn()), b(NewRgn()), d(NewRgn());
  RectRgn(a.get(), Rect{0, 0, 10, 10});
  RectRgn(b.get(), Rect{5, 5, 20, 20});
  EXPECT_TRUE(EmptyRgn(d.get()));
  SectRgn(a.get(), b.get(), d.get());
  HostRgnOwner want(CreateRectRgn(5, 5, 10, 10));
  EXPECT_TRUE(EqualRgn(d.get(), want.get()));
  DiffRgn(a.get(), b.get(), d.get());
  EXPECT_TRUE(PtInRgn(Point{0, 0}, d.get()));
  EXPECT_FALSE(PtInRgn(Point{7, 7}, d.get()));
  UnionRgn(a.get(), b.get(), d.get());
  EXPECT_TRUE(RectInRgn(Rect{15, 15, 16, 16}, d.get()));
  EXPECT_FALSE(RectInRgn(Rect{0, 12, 3, 14}, d.get()));
  RectRgn(a.get(), Rect{5, 5, 2, 2});  // inverted: empty
  EXPECT_TRUE(EmptyRgn(a.get()));
}

TEST_F(QuickdrawTest, FrameRgnAndHatchedPaint) {
  GWorldPtr w = World(8);
  HostRgnOwner rgn(CreateRectRgn(2, 2, 12, 10));
  ForeColor(300 + 6);
  PenSize(2, 2);
  FrameRgn(rgn.get());
  const Rect outer{2, 2, 10, 12}, inner{4, 4, 8, 10};
  EXPECT_EQ(Mismatches(w, [&](int32 x, int32 y) { return In(outer, x, y) && !In(inner, x, y) ? 6u : 0u; }), 0);

  // The hatch leaves pixels of the background untouched and paints only inside.
  Fill_All(w, 0);
  PaintRgn_Hashed(rgn.get());
  int painted = 0;
  for (int32 y = 0; y < 40; ++y)
    for (int32 x = 0; x < 40; ++x) {
      const uint32 v = Px(w, x, y);
      if (v == 6) {
        EXPECT_TRUE(In(outer, x, y)) << x << "," << y;
        ++painted;
      } else {
        EXPECT_EQ(v, 0u) << x << "," << y;
      }
    }
  EXPECT_GT(painted, 0);
  EXPECT_LT(painted, 80);
  EXPECT_EQ(GetBkMode(theHDC), OPAQUE);
}

TEST_F(QuickdrawTest, PointlistFrameOutlinesAndReportsDirtyBox) {
  GWorldPtr w = World(8);
  ForeColor(300 + 3);
  const Point pts[] = {{2, 2}, {2, 10}, {8, 10}, {8, 2}};  // (v, h)
  Rect dirty{};
  Pointlist_Frame(pts, dirty);
  EXPECT_EQ(dirty, (Rect{2, 2, 9, 11}));
  EXPECT_EQ(Mismatches(w,
                       [&](int32 x, int32 y) {
                         const bool edge = (y == 2 || y == 8) ? (x >= 2 && x <= 10) : (y > 2 && y < 8 && (x == 2 || x == 10));
                         return edge ? 3u : 0u;
                       }),
            0);
  Pointlist_Frame(std::span<const Point>(pts, 2), dirty);
  EXPECT_EQ(dirty, (Rect{0, 0, 0, 0}));
}

TEST_F(QuickdrawTest, EmptyRectanglesDrawNothing) {
  GWorldPtr w = World(8);
  ForeColor(300 + 3);
  PenSize(4, 4);
  PaintRect(Rect{5, 5, 5, 10});
  FrameOval(Rect{5, 10, 10, 5});
  FillRoundRect(Rect{8, 8, 2, 2}, 3, 3, qd.gray);
  InvertRect(Rect{1, 1, 1, 1});
  EXPECT_EQ(Mismatches(w, [](int32, int32) { return 0u; }), 0);
}

// --- Run-length decoding ------------------------------------------------------------------------

TEST(UnpackBits, DecodesRunsLiteralsAndClampsToTheDestination) {
  struct Case {
    std::vector<uint8> src;
    int32 dst_bytes;
    std::vector<uint8> out;
    size_t consumed;
  };
  const Case cases[] = {
      {{2, 'a', 'b', 'c'}, 3, {'a', 'b', 'c'}, 4},
      {{0xFE, 7}, 3, {7, 7, 7}, 2},
      {{0x81, 9}, 128, std::vector<uint8>(128, 9), 2},
      {{128, 0, 'x', 0xFF, 'y'}, 3, {'x', 'y', 'y'}, 5},                 // 128 does nothing
      {{0xFC, 5, 1, 'p', 'q'}, 4, {5, 5, 5, 5}, 2},                      // run cut at the end
      {{3, 'a', 'b', 'c', 'd', 0, 'e'}, 2, {'a', 'b'}, 5},               // literal cut, fully consumed
      {{0, 'k', 0x81, 3, 0, 'z'}, 130, [] {
         std::vector<uint8> v{'k'};
         v.insert(v.end(), 128, 3);
         v.push_back('z');
         return v;
       }(), 6},
  };
  for (const Case& c : cases) {
    std::vector<uint8> dst(size_t(c.dst_bytes) + 8, 0xEE);
    std::vector<uint8> src = c.src;
    Ptr s = reinterpret_cast<Ptr>(src.data());
    Ptr d = reinterpret_cast<Ptr>(dst.data());
    UnpackBits(s, d, int16(c.dst_bytes));
    EXPECT_EQ(size_t(s - reinterpret_cast<Ptr>(src.data())), c.consumed);
    EXPECT_EQ(d - reinterpret_cast<Ptr>(dst.data()), c.dst_bytes);
    EXPECT_TRUE(std::equal(c.out.begin(), c.out.end(), dst.begin()));
    for (size_t i = size_t(c.dst_bytes); i < dst.size(); ++i) EXPECT_EQ(dst[i], 0xEE) << "overrun at " << i;
  }
}

TEST(UnpackBits, BoundedFormStopsAtTheEndOfTheSource) {
  const uint8 src[] = {4, 'a', 'b'};  // a literal of 5 with only 2 bytes left
  uint8 dst[8] = {};
  const uint8* s = src;
  uint8* d = dst;
  EXPECT_FALSE(UnpackBits_Bounded(s, src + sizeof src, d, 5));
  EXPECT_EQ(s, src + 3);
  EXPECT_EQ(d, dst + 2);
  const uint8 run[] = {0xFD};  // a run with no value byte
  s = run;
  d = dst;
  EXPECT_FALSE(UnpackBits_Bounded(s, run + 1, d, 4));
  EXPECT_EQ(d, dst);
  const uint8 ok[] = {0xFF, 1, 1, 2, 3};
  s = ok;
  d = dst;
  EXPECT_TRUE(UnpackBits_Bounded(s, ok + sizeof ok, d, 4));
  EXPECT_EQ(dst[0], 1);
  EXPECT_EQ(dst[3], 3);
}

}  // namespace
