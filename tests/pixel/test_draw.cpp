// The drawing layer: mappings from millimetres to pixels and their stack,
// the clip stack restoring exact clips, offscreen areas with dirty regions,
// tiled fills worked out tile by tile, stored pictures drawn through the
// layer, and dashed lines, frames and circles against the pixels their
// rules give (a line covers its start and not its end pixel).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "pixel/Draw.h"
#include "pixel/Fast.h"
#include "pixel/Polar.h"
#include "pixel/SysPix.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysRgn.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

constexpr uint32 kWhite = 0xFFFFFF;
constexpr uint32 kRed = 0xFF0000;
constexpr uint32 kBlue = 0x0000FF;
constexpr uint32 kGrey = 0x808080;
constexpr RGBColor kRedRGB{0xFFFF, 0, 0};
constexpr RGBColor kBlueRGB{0, 0, 0xFFFF};

class DrawTest : public ::testing::Test {
 protected:
  std::vector<GWorldPtr> worlds_;

  void SetUp() override {
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Draw_Init();
  }
  void TearDown() override {
    while (nclipstack > 0) PopClip();
    while (off_nstack > 0) Off_Pop();
    while (ncstack > 0) Pop_Mapping();
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    for (GWorldPtr& w : worlds_) Dispose_GWorld(w);
    Stop_Quickdraw();
  }
  // A 32-bit world filled with colour rgb (0xRRGGBB), made the current port.
  GWorldPtr World(Rect bounds, uint32 rgb = kWhite, bool push = true) {
    GWorldPtr w = nullptr;
    EXPECT_EQ(New_GWorld(bounds, 32, nullptr, w), noErr);
    worlds_.push_back(w);
    a_win_pixel32 c;
    c.raw = rgb | 0xFF000000u;
    PixMap32_Fill(w->pix, c);
    if (push) Push_GWorld(w);
    return w;
  }
  static uint32 Px(GWorldPtr w, int32 x, int32 y) {
    const PixMap& pm = w->pix;
    const uint8* row = reinterpret_cast<const uint8*>(pm.baseAddr) + size_t(y - pm.bounds.top) * PixMap_RowBytes(pm);
    uint32 v;
    std::memcpy(&v, row + 4 * (x - pm.bounds.left), 4);
    return v & 0xFFFFFF;
  }
  static std::set<std::pair<int, int>> Inked(GWorldPtr w, uint32 rgb) {
    std::set<std::pair<int, int>> s;
    const Rect& b = w->pix.bounds;
    for (int y = b.top; y < b.bottom; ++y)
      for (int x = b.left; x < b.right; ++x)
        if (Px(w, x, y) == rgb) s.insert({x, y});
    return s;
  }
  static bool Has_Clip() {
    RgnHandle r = NewRgn();
    const bool has = GetClipRgn(theHDC, r) == 1;
    DisposeRgn(r);
    return has;
  }
};

a_coord_mapping Dpi_Mapping(float dpi) {
  a_coord_mapping m{};
  m.multx = m.multy = dpi / 25.4f;
  return m;
}

}  // namespace

// --- Mappings ---------------------------------------------------------------------------

TEST_F(DrawTest, MapFPointRoundsHalvesAwayFromZero) {
  a_coord_mapping unit{};
  unit.multx = unit.multy = 1.0f;
  Push_Mapping(unit);
  struct Case {
    float x, y;
    int16 h, v;
  } cases[] = {{-0.5f, 0.5f, -1, 1}, {0.49f, -0.49f, 0, 0}, {2.5f, -2.5f, 3, -3}, {1e9f, -1e9f, 32767, -32768}};
  for (const Case& c : cases) {
    Point p;
    Map_FPoint(a_fpoint{c.x, c.y}, p);
    EXPECT_EQ(p.h, c.h) << c.x;
    EXPECT_EQ(p.v, c.v) << c.y;
  }
}

// Millimetres to pixels at print resolutions: pixel = round((mm - fdec) x dpi / 25.4 + origin).
TEST_F(DrawTest, MillimetresMapToExactPixelsAtGivenDpi) {
  struct Case {
    float dpi, mm;
    int16 px;
  } cases[] = {{300, 25.4f, 300}, {300, 120.0f, 1417}, {300, 10.0f, 118}, {600, 0.1f, 2},
               {72, 210.0f, 595}, {72, 297.0f, 842}, {300, -3.0f, -35}};
  for (const Case& c : cases) {
    a_coord_mapping m = Dpi_Mapping(c.dpi);
    m.originx = 10.0f;
    m.fdecy = 5.0f;
    m.originy = -4.0f;
    Push_Mapping(m);
    Point p;
    Map_FPoint(a_fpoint{c.mm, c.mm + 5.0f}, p);
    EXPECT_EQ(p.h, c.px + 10) << c.dpi << " dpi, " << c.mm << " mm";
    EXPECT_EQ(p.v, c.px - 4) << c.dpi << " dpi, " << c.mm << " mm";
    Rect r;
    Map_FRect(a_frect{0.0f, 5.0f, c.mm, c.mm + 5.0f}, r);
    EXPECT_EQ(r, (Rect{-4, 10, int16(c.px - 4), int16(c.px + 10)}));
    Pop_Mapping();
  }
}

// A pixel mapped back to millimetres with the inverse formula maps to itself.
TEST_F(DrawTest, MappingRoundTripsPixelsThroughMillimetres) {
  const float dpis[] = {72, 96, 150, 300, 600, 1200};
  for (float dpi : dpis) {
    a_coord_mapping m = Dpi_Mapping(dpi);
    m.fdecx = 12.5f;
    m.originx = 37.0f;
    Push_Mapping(m);
    for (int h = -200; h <= 3000; h += 7) {
      const float mm = (float(h) - m.originx) / m.multx + m.fdecx;
      Point p;
      Map_FPoint(a_fpoint{mm, 0.0f}, p);
      ASSERT_EQ(p.h, h) << dpi << " dpi";
    }
    Pop_Mapping();
  }
}

TEST_F(DrawTest, FitMappingUsesOneScaleAndCentres) {
  a_coord_mapping m{};
  Calc_Fit_Mapping(a_frect{0, 0, 100, 50}, Rect{10, 20, 410, 420}, m);
  EXPECT_EQ(m.multx, 4.0f);
  EXPECT_EQ(m.multy, 4.0f);
  EXPECT_EQ(m.originx, 20.0f);
  EXPECT_EQ(m.originy, 110.0f);  // dest.top + 100: the 200-pixel-high result centred
  EXPECT_EQ(m.netbox, (Rect{110, 20, 310, 420}));

  // Tall source: the vertical scale wins and the result is centred across.
  Calc_Fit_Mapping(a_frect{10, 20, 30, 120}, Rect{0, 0, 200, 300}, m);
  EXPECT_EQ(m.multx, 2.0f);
  EXPECT_EQ(m.fdecx, 10.0f);
  EXPECT_EQ(m.fdecy, 20.0f);
  EXPECT_EQ(m.netbox, (Rect{0, 130, 200, 170}));

  // A source of no size gives no scale instead of dividing by zero.
  Calc_Fit_Mapping(a_frect{5, 5, 5, 5}, Rect{0, 0, 100, 100}, m);
  EXPECT_EQ(m.multx, 0.0f);
  EXPECT_EQ(m.netbox, (Rect{50, 50, 50, 50}));
}

TEST_F(DrawTest, MappingStackHasFourSlots) {
  Point p;
  EXPECT_THROW(Map_FPoint(a_fpoint{1, 1}, p), QuitCalled);
  EXPECT_THROW(Pop_Mapping(), QuitCalled);
  for (int i = 1; i <= 4; ++i) {
    a_coord_mapping m{};
    m.multx = m.multy = float(i);
    Push_Mapping(m);
  }
  EXPECT_THROW(Push_Mapping(a_coord_mapping{}), QuitCalled);
  EXPECT_EQ(ncstack, 4);
  Map_FPoint(a_fpoint{10, 10}, p);
  EXPECT_EQ(p.h, 40);  // the last pushed is current
  // The fit mapping is worked out beside the stack, so a full stack is no obstacle.
  a_coord_mapping fit{};
  Calc_Fit_Mapping(a_frect{0, 0, 10, 10}, Rect{0, 0, 100, 100}, fit);
  EXPECT_EQ(fit.netbox, (Rect{0, 0, 100, 100}));
  EXPECT_EQ(ncstack, 4);
  Pop_Mapping();
  Map_FPoint(a_fpoint{10, 10}, p);
  EXPECT_EQ(p.h, 30);
}

TEST_F(DrawTest, PushFitMappingAndEqualityIgnoreNetbox) {
  Push_Fit_Mapping(a_frect{0, 0, 100, 50}, Rect{0, 0, 400, 400});
  Point p;
  Map_FPoint(a_fpoint{50, 25}, p);
  EXPECT_EQ(p, (Point{200, 200}));
  a_coord_mapping copy = cstack[ncstack];
  copy.netbox = Rect{1, 2, 3, 4};
  EXPECT_TRUE(Equal_CMapping(copy, cstack[ncstack]));
  copy.originy += 0.25f;
  EXPECT_FALSE(Equal_CMapping(copy, cstack[ncstack]));

  Apply_Mapping_Point(Point{-3, 5}, p, cstack[ncstack]);
  EXPECT_EQ(p, (Point{-12, 20}));
  Rect r;
  Apply_Mapping_Rect(Rect{1, 2, 3, 4}, r, cstack[ncstack]);
  EXPECT_EQ(r, (Rect{4, 8, 12, 16}));
}

// --- Clip stack ------------------------------------------------------------------------

TEST_F(DrawTest, PushClipReplacesAndPopRestoresExactly) {
  GWorldPtr w = World(Rect{0, 0, 40, 40});
  EXPECT_FALSE(Has_Clip());
  PushClip(Rect{0, 0, 20, 20});
  PushClip(Rect{25, 25, 35, 35});  // outside the first: replaced, not intersected
  RGBForeColor(kRedRGB);
  PaintRect(Rect{0, 0, 40, 40});
  auto red = Inked(w, kRed);
  EXPECT_EQ(red.size(), 100u);
  EXPECT_TRUE(red.count({25, 25}) && red.count({34, 34}));
  PopClip();
  RGBForeColor(kBlueRGB);
  PaintRect(Rect{0, 0, 40, 40});
  EXPECT_EQ(Inked(w, kBlue).size(), 400u);
  EXPECT_EQ(Px(w, 19, 19), kBlue);
  EXPECT_EQ(Px(w, 20, 19), kWhite);
  PopClip();
  // Back to no clip at all, not a rectangle of the port's size.
  EXPECT_FALSE(Has_Clip());
  EXPECT_EQ(nclipstack, 0);
}

TEST_F(DrawTest, ShapedClipComesBackUnwidened) {
  World(Rect{0, 0, 60, 60});
  RgnHandle oval = nullptr;
  OvalRgn(Rect{5, 5, 55, 45}, oval);
  PushClipRgn(oval);
  PushClip(Rect{0, 0, 10, 10});
  PopClip();
  RgnHandle now = NewRgn();
  GetClip(now);
  EXPECT_TRUE(EqualRgn(now, oval));
  PopClip();
  DisposeRgn(now);
  DisposeRgn(oval);
}

// Four slots: fitted text pushes a clip of its own inside the clips of
// callers that nest two.
TEST_F(DrawTest, ClipStackHasFourSlots) {
  World(Rect{0, 0, 10, 10});
  EXPECT_THROW(PopClip(), QuitCalled);
  PushClip(Rect{0, 0, 3, 3});
  PushClip(Rect{0, 0, 4, 4});
  PushClip(Rect{0, 0, 5, 5});
  PushClip(Rect{0, 0, 6, 6});
  EXPECT_THROW(PushClip(Rect{0, 0, 7, 7}), QuitCalled);
  EXPECT_EQ(nclipstack, 4);
  RgnHandle r = NewRgn();
  GetClip(r);
  Rect box;
  Rgn_GetBounds(r, box);
  EXPECT_EQ(box, (Rect{0, 0, 6, 6}));  // the refused push changed nothing
  DisposeRgn(r);
}

// --- Offscreen areas --------------------------------------------------------------------

TEST_F(DrawTest, OffscreenAreaCopiesOnlyItsDirtyPart) {
  GWorldPtr screen = World(Rect{0, 0, 50, 50});
  a_off_area area{};
  Off_Open(Rect{0, 0, 50, 50}, area);
  ASSERT_NE(area.gworld, nullptr);
  EXPECT_EQ(Get_GWorld_PixelSize(area.gworld), 32);
  EXPECT_TRUE(EmptyRgn(area.dirty));

  Off_Push(area);
  EXPECT_EQ(theGWorld, area.gworld);
  RGBForeColor(kRedRGB);
  PaintRect(Rect{0, 0, 50, 50});  // the whole area changes ...
  Off_InvalRect(Rect{10, 10, 20, 30});  // ... but only this is declared
  Off_InvalRect(Rect{60, 60, 70, 70});  // wholly outside: no change
  Off_InvalRect(Rect{45, -5, 60, 5});   // cut to the bounds
  Off_Pop();
  EXPECT_EQ(theGWorld, screen);
  EXPECT_EQ(off_last_area->gworld, area.gworld);

  Off_UpdateDirty();
  std::set<std::pair<int, int>> want;
  for (int y = 10; y < 20; ++y)
    for (int x = 10; x < 30; ++x) want.insert({x, y});
  for (int y = 45; y < 50; ++y)
    for (int x = 0; x < 5; ++x) want.insert({x, y});
  EXPECT_EQ(Inked(screen, kRed), want);
  EXPECT_TRUE(EmptyRgn(area.dirty));

  // A region is taken as it is; an update rectangle copies unclipped.
  Off_Push(area);
  RgnHandle extra = NewRgn();
  RectRgn(extra, Rect{0, 40, 2, 42});
  Off_InvalRgn(extra);
  DisposeRgn(extra);
  Off_Pop();
  Rect box;
  Rgn_GetBounds(area.dirty, box);
  EXPECT_EQ(box, (Rect{0, 40, 2, 42}));
  Off_UpdateRect(Rect{30, 30, 32, 33}, Rect{0, 0, 2, 3});
  EXPECT_EQ(Px(screen, 2, 1), kRed);
  EXPECT_EQ(Px(screen, 3, 1), kWhite);

  Off_Close(area);
  EXPECT_EQ(area.gworld, nullptr);
  EXPECT_EQ(area.dirty, nullptr);
}

TEST_F(DrawTest, OffscreenLoadAndRegionUpdate) {
  GWorldPtr screen = World(Rect{0, 0, 20, 20}, kGrey);
  a_off_area area{};
  Off_Open(Rect{0, 0, 20, 20}, area);
  Off_Load(area, Rect{2, 3, 5, 9});
  EXPECT_EQ(Inked(area.gworld, kGrey).size(), 18u);
  EXPECT_EQ(Px(area.gworld, 3, 2), kGrey);

  RgnHandle rgn = NewRgn();
  RectRgn(rgn, Rect{0, 0, 1, 20});
  Off_UpdateRgn(area, Rect{0, 0, 20, 20}, Rect{0, 0, 20, 20}, rgn);  // the first row only
  EXPECT_EQ(Inked(screen, 0x000000).size(), 20u);
  DisposeRgn(rgn);
  Off_Close(area);
}

TEST_F(DrawTest, OffscreenStackHasThreeSlots) {
  World(Rect{0, 0, 8, 8});
  EXPECT_THROW(Off_Pop(), QuitCalled);
  EXPECT_THROW(Off_InvalRect(Rect{0, 0, 1, 1}), QuitCalled);
  a_off_area a[3]{};
  for (auto& area : a) {
    Off_Open(Rect{0, 0, 8, 8}, area);
    Off_Push(area);
  }
  EXPECT_THROW(Off_Push(a[0]), QuitCalled);
  EXPECT_EQ(theGWorld, a[2].gworld);
  Off_Pop();
  EXPECT_EQ(theGWorld, a[1].gworld);
  Off_Pop();
  Off_Pop();
  EXPECT_EQ(theGWorld, worlds_[0]);
  for (auto& area : a) Off_Close(area);
}

// --- Tiled fills ---------------------------------------------------------------------------

namespace {

// A source whose pixel (x, y) is 0x10000 x (x + 1) + y + 1: each pixel tells where it came from.
struct Source {
  PixMap pm{};
  explicit Source(Rect b) {
    New_PixMap(pm, b, 32, nullptr);
    for (int y = b.top; y < b.bottom; ++y)
      for (int x = b.left; x < b.right; ++x) {
        const uint32 v = 0x10000u * uint32(x + 1) + uint32(y + 1);
        std::memcpy(pm.baseAddr + size_t(y - b.top) * PixMap_RowBytes(pm) + 4 * (x - b.left), &v, 4);
      }
  }
  ~Source() { Dispose_PixMap(pm); }
};

uint32 Tag(int x, int y) { return (0x10000u * uint32(x + 1) + uint32(y + 1)) & 0xFFFFFF; }

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

// Each pixel of the fill is worked out on its own: which grid cell it lies
// in, whether the style draws that cell, and which source pixel lands there.
TEST_F(DrawTest, FillRectTilesFollowGridStyleAndEdges) {
  Source src(Rect{0, 0, 7, 9});
  const Rect subset{1, 2, 4, 6};  // 4 wide, 3 high
  struct Case {
    Rect fill;
    int16 style, spacex, spacey;
    bool align;
  } cases[] = {
      {{5, 3, 27, 30}, 0, 0, 0, false}, {{5, 3, 27, 30}, 0, 2, 1, false}, {{5, 3, 27, 30}, 1, 0, 0, false},
      {{5, 3, 27, 30}, 1, 1, 2, true},  {{7, 6, 29, 31}, 0, 0, 0, true},  {{0, 0, 30, 40}, 2, 0, 0, false},
  };
  for (const Case& c : cases) {
    GWorldPtr w = World(Rect{0, 0, 32, 40}, kWhite);
    PixMap_FillRect(c.fill, &src.pm, subset, c.style, c.spacex, c.spacey, true, c.align);
    const int tw = 4, th = 3, xstep = tw + c.spacex, ystep = th + c.spacey;
    const int x0 = c.align ? FloorDiv(c.fill.left, tw) * tw : c.fill.left;
    const int y0 = c.align ? FloorDiv(c.fill.top, th) * th : c.fill.top;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 40; ++x) {
        uint32 want = kWhite;
        const bool inside = x >= c.fill.left && x < c.fill.right && y >= c.fill.top && y < c.fill.bottom;
        const int col = (x - x0) / xstep, ox = (x - x0) % xstep;
        const int row = (y - y0) / ystep, oy = (y - y0) % ystep;
        const bool drawn = c.style == 0 || (c.style == 1 && (col + row) % 2 == 0);
        if (inside && ox < tw && oy < th && drawn) want = Tag(subset.left + ox, subset.top + oy);
        ASSERT_EQ(Px(w, x, y), want) << "pixel " << x << "," << y << " style " << c.style;
      }
    Pop_GWorld();
  }
  EXPECT_EQ(nclipstack, 0);
}

TEST_F(DrawTest, FillRectTransparentLeavesWhiteOut) {
  PixMap tile{};
  New_PixMap(tile, Rect{0, 0, 2, 2}, 32, nullptr);
  a_win_pixel32 white;
  white.raw = 0xFFFFFFFF;
  PixMap32_Fill(tile, white);
  const uint32 red = 0xFFFF0000u;
  std::memcpy(tile.baseAddr, &red, 4);  // only (0, 0) is red
  GWorldPtr w = World(Rect{0, 0, 6, 6}, kGrey);
  PixMap_FillRect(Rect{0, 0, 6, 6}, &tile, Rect{0, 0, 2, 2}, 0, 0, 0, false, false);
  EXPECT_EQ(Inked(w, kRed).size(), 9u);
  EXPECT_EQ(Inked(w, kGrey).size(), 27u);
  Dispose_PixMap(tile);
}

TEST_F(DrawTest, FillWithoutTileStepDrawsNothing) {
  Source src(Rect{0, 0, 4, 4});
  GWorldPtr w = World(Rect{0, 0, 10, 10});
  // Spacing that cancels the tile: the grid would never move.
  PixMap_FillRect(Rect{0, 0, 10, 10}, &src.pm, Rect{0, 0, 4, 4}, 0, -4, 0, true, false);
  PixMap_FillRect(Rect{0, 0, 10, 10}, &src.pm, Rect{0, 0, 0, 4}, 0, 0, 0, true, false);
  // A subset reaching past the source would be read beyond its rows.
  PixMap_FillRect(Rect{0, 0, 10, 10}, &src.pm, Rect{2, 2, 9, 9}, 0, 0, 0, true, false);
  RgnHandle rgn = NewRgn();
  RectRgn(rgn, Rect{0, 0, 10, 10});
  PixMap_FillRgn(rgn, &src.pm, Rect{0, 0, 4, 4}, 0, 0, -5, true);
  DisposeRgn(rgn);
  EXPECT_EQ(Inked(w, kWhite).size(), 100u);
  EXPECT_EQ(nclipstack, 0);
}

// Region fills put the grid at multiples of the step from the origin and
// each tile at the spacing past its cell; only the region is painted.
TEST_F(DrawTest, FillRgnGridStartsAtMultiplesOfTheStep) {
  Source src(Rect{0, 0, 5, 5});
  const Rect subset{0, 0, 2, 3};  // 3 wide, 2 high
  GWorldPtr w = World(Rect{0, 0, 30, 30});
  RgnHandle rgn = NewRgn();
  RectRgn(rgn, Rect{7, 5, 22, 26});
  PixMap_FillRgn(rgn, &src.pm, subset, 1, 1, 2, true);
  DisposeRgn(rgn);
  const int xstep = 4, ystep = 4;
  const int x0 = 4, y0 = 4;  // 5 and 7 rounded down to multiples of 4
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      uint32 want = kWhite;
      const bool inside = x >= 5 && x < 26 && y >= 7 && y < 22;
      const int gx = x - 1 - x0, gy = y - 2 - y0;  // relative to the first tile's corner
      if (inside && gx >= 0 && gy >= 0) {
        const int col = gx / xstep, ox = gx % xstep, row = gy / ystep, oy = gy % ystep;
        if (ox < 3 && oy < 2 && (col + row) % 2 == 0) want = Tag(ox, oy);
      }
      ASSERT_EQ(Px(w, x, y), want) << x << "," << y;
    }
}

TEST_F(DrawTest, PixMapSwapAndClip) {
  PixMap a{}, b{};
  New_PixMap(a, Rect{0, 0, 3, 3}, 8, nullptr);
  New_PixMap(b, Rect{1, 1, 5, 9}, 32, nullptr);
  const Ptr pa = a.baseAddr, pb = b.baseAddr;
  PixMap_Swap(a, b);
  EXPECT_EQ(a.baseAddr, pb);
  EXPECT_EQ(a.pixelSize, 32);
  EXPECT_EQ(b.baseAddr, pa);
  EXPECT_EQ(b.bounds, (Rect{0, 0, 3, 3}));
  Dispose_PixMap(a);
  Dispose_PixMap(b);

  Source src(Rect{2, 3, 12, 15});
  PixMap_Clip(src.pm, Rect{4, 5, 7, 30}, false);
  EXPECT_EQ(src.pm.bounds, (Rect{4, 5, 7, 15}));
  EXPECT_EQ(src.pm.pixelSize, 32);
  for (int y = 4; y < 7; ++y)
    for (int x = 5; x < 15; ++x) {
      uint32 v;
      std::memcpy(&v, src.pm.baseAddr + size_t(y - 4) * PixMap_RowBytes(src.pm) + 4 * (x - 5), 4);
      ASSERT_EQ(v & 0xFFFFFF, Tag(x, y));
    }

  // 1-bit maps keep their bits through an unaligned cut.
  PixMap bits{};
  New_PixMap(bits, Rect{0, 0, 2, 20}, 1, nullptr);
  bits.baseAddr[0] = char(0x0F);  // pixels 4 .. 7 of row 0
  bits.baseAddr[1] = char(0x80);  // pixel 8
  PixMap_Clip(bits, Rect{0, 3, 1, 10}, true);
  EXPECT_EQ(bits.bounds, (Rect{0, 3, 1, 10}));
  EXPECT_EQ(uint8(bits.baseAddr[0]), 0x7C);  // pixels 4 .. 8 at offsets 1 .. 5
  PixMap_Clip(bits, Rect{5, 5, 9, 9}, true);  // outside: nothing left
  EXPECT_TRUE(Is_Null_PixMap(bits));
  Dispose_PixMap(bits);
}

// --- Stored pictures --------------------------------------------------------------------------

namespace {

// A raw 32-bit stored picture, w x h, pixel (x, y) of colour rgb(x, y),
// stored as alpha, red, green, blue.
std::vector<uint8> Pixt_Object(int w, int h, uint8 flags, uint32 (*rgb)(int, int)) {
  std::vector<uint8> o{0, uint8(w * 4), 0, uint8(w), 0, uint8(h), flags, 32};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32 c = rgb(x, y);
      o.insert(o.end(), {0xFF, uint8(c >> 16), uint8(c >> 8), uint8(c)});
    }
  return o;
}

uint32 Corner_Red(int x, int y) { return x == 0 && y == 0 ? kRed : kWhite; }
uint32 Tagged(int x, int y) { return Tag(x, y); }

}  // namespace

TEST_F(DrawTest, PixturesDrawInTheirModeAndPart) {
  a_pixt opaque{}, clear{};
  auto o1 = Pixt_Object(3, 2, 0, Tagged);
  auto o2 = Pixt_Object(2, 2, PIXT_FLAG_TRANSPARENT, Corner_Red);
  ASSERT_EQ(Pixt_Load_Bytes(Pixt_Key(1), o1.data(), uint32(o1.size()), opaque), PIXT_OK);
  ASSERT_EQ(Pixt_Load_Bytes(Pixt_Key(2), o2.data(), uint32(o2.size()), clear), PIXT_OK);

  GWorldPtr w = World(Rect{0, 0, 10, 10}, kGrey);
  Pixt_Draw(opaque, 4, 5);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Px(w, 4 + x, 5 + y), Tag(x, y));
  EXPECT_EQ(opaque.pixmap.baseAddr, nullptr);  // unlocked after the call

  Pixt_Draw(clear, 0, 0);  // transparent: the white pixels leave the grey
  EXPECT_EQ(Px(w, 0, 0), kRed);
  EXPECT_EQ(Px(w, 1, 0), kGrey);

  Pixt_DrawPartial(opaque, Rect{1, 1, 2, 3}, Rect{8, 0, 9, 2}, srcCopy, nullptr);
  EXPECT_EQ(Px(w, 0, 8), Tag(1, 1));
  EXPECT_EQ(Px(w, 1, 8), Tag(2, 1));
  // A part beyond the picture's pixels is not read.
  Pixt_DrawPartial(opaque, Rect{0, 0, 40, 3}, Rect{0, 7, 40, 10}, srcCopy, nullptr);
  EXPECT_EQ(Px(w, 7, 0), kGrey);

  PixMap dst{};
  New_PixMap(dst, Rect{0, 0, 2, 2}, 32, nullptr);
  Pixt_To_Pix(clear, &dst, Rect{0, 0, 2, 2}, Rect{0, 0, 2, 2}, false);
  uint32 v;
  std::memcpy(&v, dst.baseAddr + 4, 4);
  EXPECT_EQ(v & 0xFFFFFF, kWhite);  // opaque copy brings the white along
  Dispose_PixMap(dst);

  GWorldPtr own = nullptr;
  Pixt_To_GWorld(opaque, own);
  ASSERT_NE(own, nullptr);
  worlds_.push_back(own);
  EXPECT_EQ(own->pix.bounds, (Rect{0, 0, 2, 3}));
  EXPECT_EQ(Px(own, 2, 1), Tag(2, 1));
  EXPECT_EQ(opaque.bits, nullptr);  // unloaded

  Rect bbox;
  EXPECT_THROW(Pixt_BoundingBox(clear, Rect{0, 0, 2, 2}, bbox), QuitCalled);
  Pixt_Unload(clear);
}

TEST_F(DrawTest, PixtureBoundingBoxOf16BitPicture) {
  // 16-bit stored pixels are big-endian; everything white but two pixels.
  std::vector<uint8> o{0, 8, 0, 4, 0, 3, 0, 16};
  for (int i = 0; i < 12; ++i) o.insert(o.end(), {0x7F, 0xFF});
  o[8 + 2 * (1 * 4 + 1)] = 0x00;      // (1, 1)
  o[8 + 2 * (2 * 4 + 2) + 1] = 0x00;  // (2, 2)
  a_pixt p{};
  ASSERT_EQ(Pixt_Load_Bytes(Pixt_Key(3), o.data(), uint32(o.size()), p), PIXT_OK);
  Rect bbox;
  Pixt_BoundingBox(p, Rect{0, 0, 3, 4}, bbox);
  EXPECT_EQ(bbox, (Rect{1, 1, 3, 3}));
  Pixt_Unload(p);
}

// --- Dashed lines and frames -------------------------------------------------------------------

TEST_F(DrawTest, DashedLineAlternatesForeAndBackColours) {
  GWorldPtr w = World(Rect{0, 0, 20, 20});
  RGBForeColor(kRedRGB);
  RGBBackColor(kBlueRGB);
  Dashed_Line(0, 0, 12, 0, 5);
  for (int x = 0; x < 14; ++x) {
    const uint32 want = x < 5 || (x >= 10 && x < 12) ? kRed : x < 10 ? kBlue : kWhite;
    EXPECT_EQ(Px(w, x, 0), want) << x;
  }
  // Going up and left, each coordinate clamped at its end.
  Dashed_Line(3, 15, 3, 2, 4);
  for (int y = 3; y <= 15; ++y) EXPECT_EQ(Px(w, 3, y), ((15 - y) / 4) % 2 == 0 ? kRed : kBlue) << y;
  EXPECT_EQ(Px(w, 3, 2), kWhite);
  // The colours are the caller's again.
  RGBColor fore, back;
  GetForeColor(fore);
  GetBackColor(back);
  EXPECT_EQ(fore.red, 0xFFFF);
  EXPECT_EQ(back.blue, 0xFFFF);
  EXPECT_EQ(back.red, 0);
}

TEST_F(DrawTest, DashedLineWithoutUnitIsOneSolidLine) {
  GWorldPtr w = World(Rect{0, 0, 10, 10});
  RGBForeColor(kRedRGB);
  Dashed_Line(1, 4, 8, 4, 0);
  Dashed_Line(1, 6, 8, 6, -3);
  EXPECT_EQ(Inked(w, kRed).size(), 14u);
}

namespace {

// The pixels a dashed rectangle frame gives by its rule: edges top, bottom,
// left, right, each from its top or left end in steps of dash, a line
// covering its start pixel but not its end.
std::vector<std::vector<uint32>> Frame_Model(Rect r, int dash, bool opaque, uint32 bg, int W, int H) {
  std::vector<std::vector<uint32>> px(size_t(H), std::vector<uint32>(size_t(W), bg));
  auto edge = [&](int x, int y, int xe, int ye) {
    bool is_dash = true;
    while (x != xe || y != ye) {
      const int nx = std::min(x + dash, xe), ny = std::min(y + dash, ye);
      if (is_dash || opaque) {
        for (int yy = y, xx = x; (yy != ny || xx != nx);) {
          px[size_t(yy)][size_t(xx)] = is_dash ? kRed : kWhite;
          if (xx != nx) ++xx;
          if (yy != ny) ++yy;
        }
      }
      x = nx;
      y = ny;
      is_dash = !is_dash;
    }
  };
  edge(r.left, r.top, r.right - 1, r.top);
  edge(r.left, r.bottom - 1, r.right - 1, r.bottom - 1);
  edge(r.left, r.top, r.left, r.bottom - 1);
  edge(r.right - 1, r.top, r.right - 1, r.bottom - 1);
  return px;
}

}  // namespace

TEST_F(DrawTest, DashedRectangleFrameMatchesItsRule) {
  const Rect r{2, 3, 19, 26};
  for (bool opaque : {false, true})
    for (int dash : {1, 3, 4}) {
      GWorldPtr w = World(Rect{0, 0, 22, 30}, kGrey);
      RGBForeColor(kRedRGB);
      Frame_Rect_Dashed(opaque, r, int16(dash));
      const auto want = Frame_Model(r, dash, opaque, kGrey, 30, 22);
      for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 30; ++x)
          ASSERT_EQ(Px(w, x, y), want[size_t(y)][size_t(x)])
              << x << "," << y << " dash " << dash << " opaque " << opaque;
      RGBColor fore;
      GetForeColor(fore);
      EXPECT_EQ(fore.red, 0xFFFF);  // white gaps do not stick
      EXPECT_EQ(fore.blue, 0);
      Pop_GWorld();
    }
}

// Dashes span step = dash x 573 div radius tenths of a degree and gaps 1.5
// times that; the middle of each dash is inked and the middle of each gap
// is not.
TEST_F(DrawTest, DashedCircleSpansItsAngles) {
  const Point c{60, 60};
  const int16 radius = 50, dash = 10;
  const int step = dash * 573 / radius, step2 = step * 3 / 2;
  ASSERT_EQ(step, 114);
  auto near_ink = [](GWorldPtr w, Point p) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (Px(w, p.h + dx, p.v + dy) == kRed) return true;
    return false;
  };
  GWorldPtr w = World(Rect{0, 0, 120, 120});
  RGBForeColor(kRedRGB);
  Frame_Circle_Dashed(false, c, radius, dash);
  int dashes = 0;
  for (int a = 0; a < 3600; a += step + step2) {
    Point mid;
    Cyl_To_XY(c, radius, int16(a + step / 2), mid);
    EXPECT_TRUE(near_ink(w, mid)) << "dash at " << a;
    const int g = a + step + step2 / 2;
    if (g < 3600) {
      Cyl_To_XY(c, radius, int16(g), mid);
      EXPECT_FALSE(near_ink(w, mid)) << "gap at " << g;
    }
    ++dashes;
  }
  EXPECT_EQ(dashes, 13);
  // Polar points truncate toward the centre, so the ink lies up to two pixels inside.
  for (const auto& [x, y] : Inked(w, kRed)) {
    const double d = std::hypot(x - 60, y - 60);
    EXPECT_NEAR(d, 50.0, 2.0) << x << "," << y;
  }
  // A circle of no radius draws nothing rather than dividing by zero.
  Frame_Circle_Dashed(true, c, 0, dash);
  Frame_Biz_Dashed(true, c, 0, 0, dash);
}

TEST_F(DrawTest, OpaqueDashedCirclePaintsGapsWhite) {
  GWorldPtr w = World(Rect{0, 0, 120, 120}, kGrey);
  RGBForeColor(kRedRGB);
  Frame_Circle_Dashed(true, Point{60, 60}, 50, 10);
  const size_t red = Inked(w, kRed).size(), white = Inked(w, kWhite).size();
  EXPECT_GT(red, 100u);
  EXPECT_GT(white, red);  // gaps are 1.5 times as long as dashes
  EXPECT_LT(white, red * 2);
}

TEST_F(DrawTest, FrameCircleIsTheOvalOfItsSquare) {
  GWorldPtr w = World(Rect{0, 0, 50, 50});
  RGBForeColor(kRedRGB);
  Frame_Circle(Point{25, 20}, 30);  // the square (10, 5, 40, 35)
  int left = 99, right = -1, top = 99, bottom = -1;
  for (const auto& [x, y] : Inked(w, kRed)) {
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
  EXPECT_EQ(left, 5);
  EXPECT_EQ(right, 34);
  EXPECT_EQ(top, 10);
  EXPECT_EQ(bottom, 39);
}

// A business-card disc: chords at side pixels above and below the centre,
// h = isqrt(r^2 - side^2) to each side, and the two arcs between them.
TEST_F(DrawTest, BizFrameHasChordsAndSideArcs) {
  const Point c{60, 60};
  GWorldPtr w = World(Rect{0, 0, 120, 120});
  RGBForeColor(kRedRGB);
  Frame_Biz_Dashed(false, c, 50, 30, 0);
  // h = 40: the chords run from column 20 to 100 on rows 30 and 90.
  for (int x = 20; x < 100; ++x) {
    EXPECT_EQ(Px(w, x, 30), kRed) << x;
    EXPECT_EQ(Px(w, x, 90), kRed) << x;
  }
  EXPECT_EQ(Px(w, 10, 60), kRed);   // left end of the disc
  EXPECT_EQ(Px(w, 110, 60), kRed);  // right end
  for (int y = 0; y < 29; ++y) EXPECT_EQ(Px(w, 60, y), kWhite) << y;  // cut off above the chord
  for (const auto& [x, y] : Inked(w, kRed)) {
    EXPECT_GE(y, 30);
    EXPECT_LE(y, 90);
  }

  // Chords beyond the radius leave the whole circle.
  GWorldPtr w2 = World(Rect{0, 0, 120, 120});
  RGBForeColor(kRedRGB);
  Frame_Biz_Dashed(false, c, 40, 45, 0);
  EXPECT_EQ(Px(w2, 60, 20), kRed);
  EXPECT_EQ(Px(w2, 60, 100), kRed);

  // Dashed: the same outline with gaps.
  GWorldPtr w3 = World(Rect{0, 0, 120, 120});
  RGBForeColor(kRedRGB);
  Frame_Biz_Dashed(false, c, 50, 30, 6);
  const size_t dashed = Inked(w3, kRed).size();
  const size_t solid = Inked(w, kRed).size();
  EXPECT_GT(dashed, solid / 4);
  EXPECT_LT(dashed, solid * 3 / 4);
  for (const auto& [x, y] : Inked(w3, kRed)) {
    EXPECT_GE(y, 30);
    EXPECT_LE(y, 90);
  }
}
