// The read-outs around the document view on the headless main window: the
// slider value texts, the rulers' tick table at several scales and what the
// rulers paint, the navigator's miniature and its mapping back to cells,
// the status texts, the value tips' delays and texts, the tool keys, and a
// snapshot of an open document with rulers, status and an echo box under
// the build folder's snapshots/readouts/ for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "SoundTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "host/HostClock.h"
#include "host/HostScript.h"
#include "objects/VoskBlok.h"
#include "objects/VoskStam.h"
#include "pixel/Fast.h"
#include "ui/NodeTestSupport.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "platform/MString.h"
#include "ui/VoskDelt.h"
#include "ui/VoskFun2.h"
#include "ui/VoskStus.h"

namespace {

namespace fs = std::filesystem;
using nodetest::Custom;
using nodetest::Describe;

constexpr float kMMPerCell = 0.0846667f;
constexpr a_locator kNav = 0x01020000;
constexpr a_locator kStatus = 0x01030000;
constexpr a_locator kRulerH = 0x01040000;
constexpr a_locator kRulerV = 0x01050000;
constexpr Rect kNavBox{800, 20, 900, 220};
constexpr Rect kStatusBox{620, 300, 640, 700};
constexpr Rect kRulerHBox{10, 300, 34, 900};
constexpr Rect kRulerVBox{34, 276, 600, 300};

// One rectangle of w x h cells.
a_template Rect_Layout(int w, int h) {
  a_template x{};
  std::strcpy(x.label, "Test sheet");
  x.papersize = {431.8f, 279.4f};
  a_unit& u = x.units[x.nunits++];
  u.kind = UNIT_RECT;
  u.bbox = a_frect{2, 2, 2 + float(w) * kMMPerCell, 2 + float(h) * kMMPerCell};
  return x;
}

class Readouts : public nodetest::NodeTree {
 protected:
  std::optional<soundtest::SoundRecorder> sounds_;

  void SetUp() override {
    nodetest::NodeTree::SetUp();
    if (HasFatalFailure()) return;
    sounds_.emplace();
    doctests::Start_Document_Layer();
    SV_Init();
    gs.menu_base = 132;
  }
  void TearDown() override {
    Annot_Zap();
    Nav_Stop();
    doctests::Close_Document();
    SV_Init();
    sounds_.reset();
    nodetest::NodeTree::TearDown();
  }
  // A document of one w x h unit in the paint phase at zoom 1:1.
  void Open(int w, int h) {
    ASSERT_TRUE(Doc_New(Rect_Layout(w, h)));
    SV_Set_Int(SV_ZOOM_IX, 1);
    SV_Finish();
    SV_Set_Enum(SV_PHASE, PAINT_PHASE);
    SV_Finish();
    ASSERT_EQ(gs.views[0].zoom_factor.num, gs.views[0].zoom_factor.den);
    ASSERT_GT(gs.nviews, 0);
  }
  // The read-outs' areas on their own (the document view stays where the
  // panels put it).
  static void Describe_Readouts() {
    Describe({Custom(kNav, kNavBox, CUSTOM_NAV, true), Custom(kStatus, kStatusBox, CUSTOM_STATUS),
              Custom(kRulerH, kRulerHBox, CUSTOM_RULERH), Custom(kRulerV, kRulerVBox, CUSTOM_RULERV)});
  }
  static std::string Text(void (*calc)(int16, StrSpan), int16 x) {
    Str255 s{};
    calc(x, StrSpan(s));
    return s;
  }
};

// --- Slider texts ------------------------------------------------------------------------------

TEST_F(Readouts, SliderTextsTakeEachSlidersForm) {
  const int16 stamp_size = 3;
  struct Case {
    int16 slider;
    int16 value;
    std::string text;
  };
  const Case cases[] = {
      {PHOTO_SIZE_SLIDER, 1000, "Size  100%"},      // tenths without a decimal when the tenth is 0
      {PHOTO_SIZE_SLIDER, 1005, "Size  100.5%"},
      {SYMBOL_SIZE_SLIDER, 55, "Size  5.5%"},
      {PHOTO_ANGLE_SLIDER, -455, "Rotation  -45.5"},  // a "-" before negative tenths
      {PHOTO_ANGLE_SLIDER, -450, "Rotation  -45"},
      {PHOTO_ANGLE_SLIDER, -5, "Rotation  -0.5"},
      {TEXT_SIZE_SLIDER, 14, "Size  14 points"},
      {TEXT_GLOW_RADIUS_SLIDER, 7, "Glow extent  3.5"},
      {TEXT_GLOW_RADIUS_SLIDER, 8, "Glow extent  4"},
      {GRIDLINES_HORZ_SLIDER, 5, "Horizontal divisions  10"},
      {PRINT_WIDTH_SLIDER, 1205, "Print width  120.5 mm"},
      {PRINT_WIDTH_SLIDER, 1200, "Print width  120 mm"},
      {PRINT_QUALITY_SLIDER, 3, "Print quality  Normal"},
      {PRINT_QUALITY_SLIDER, 2, "Print quality  Draft"},
      {FLEX_SPEED_SLIDER, 2, "Burning speed  Medium"},
      {FLEX_SPEED_SLIDER, 3, "Burning speed  High"},
      {PRINT_DENSITY_SLIDER, 1, "Ink density  Matte 1"},
      {PRINT_INNERD_SLIDER, 220, "Inner diameter"},  // the print diameters show their name only
      {SYMMETRY_COUNT_SLIDER, 6, "Number of copies  6"},
      {STAMP_ROTATE_SLIDER, -45, "Rotation  -45"},
  };
  for (const Case& c : cases) {
    gs.slider_vals[c.slider] = c.value;
    EXPECT_EQ(Text(Calc_Slider_Info, c.slider), c.text) << int(c.slider) << " at " << c.value;
  }
  // The stamp size through the slider-to-scaling table.
  gs.slider_vals[STAMP_SIZE_SLIDER] = stamp_size;
  EXPECT_EQ(Text(Calc_Slider_Info, STAMP_SIZE_SLIDER), "Size  " + std::to_string(Stamp_Scaling(stamp_size)));
  // No slider: no text.
  EXPECT_EQ(Text(Calc_Slider_Info, NSLIDERS), "");
}

// --- Rulers ------------------------------------------------------------------------------

TEST_F(Readouts, TickTableAtSeveralScales) {
  struct Case {
    float ppu;
    int32 d;
    a_tick_kind kind;
    int32 val;
  };
  const Case cases[] = {
      // Cells at 1:1: labels every 100 pixels, half ticks at 50, small at 10.
      {1.0f, 0, FULL_TICK, 0},
      {1.0f, 100, FULL_TICK, 100},
      {1.0f, -300, FULL_TICK, 300},
      {1.0f, 50, HALF_TICK, 0},
      {1.0f, 10, QUARTER_TICK, 0},
      {1.0f, 15, PLAIN_TICK, 0},
      {1.0f, 4000, FULL_TICK, 4000},
      {1.0f, 4001, OUTSIDE_TICK, 0},  // past the table: nothing, never beyond it
      {1.0f, -70000, OUTSIDE_TICK, 0},
      // Millimetres at 300 dpi: a label every 10 mm (118 pixels).
      {11.811f, 118, FULL_TICK, 10},
      {11.811f, 59, HALF_TICK, 0},
      {11.811f, 12, QUARTER_TICK, 0},
      {11.811f, 2362, FULL_TICK, 200},
      // A quarter of the cells: every 200 cells (50 pixels), small ticks at a fifth.
      {0.25f, 50, FULL_TICK, 200},
      {0.25f, 10, QUARTER_TICK, 0},
      {0.25f, 25, PLAIN_TICK, 0},
      // Zoomed in: every 2 units, half ticks at 1.
      {30.0f, 60, FULL_TICK, 2},
      {30.0f, 30, HALF_TICK, 0},
      {30.0f, 6, QUARTER_TICK, 0},
  };
  for (const Case& c : cases) {
    Cache_Tick_Table(c.ppu);
    const a_tick t = Tick_At(c.d);
    EXPECT_EQ(t.kind, c.kind) << c.ppu << " at " << c.d;
    if (c.kind == FULL_TICK) {
      EXPECT_EQ(t.val, c.val) << c.ppu << " at " << c.d;
    }
  }
}

TEST_F(Readouts, ScalesWithoutTicksEndAndShowNothing) {
  for (float ppu : {0.0f, -2.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    1e-12f}) {
    Cache_Tick_Table(1.0f);
    Cache_Tick_Table(ppu);
    for (int32 d : {0, 1, 100, 4000}) EXPECT_EQ(Tick_At(d).kind, OUTSIDE_TICK) << ppu << " at " << d;
  }
}

TEST_F(Readouts, RulersPaintTheirTicksFromTheUnitsOrigin) {
  Open(1200, 900);
  gs.grid_vals[RULERS_UNITS_GRID] = 2;  // cells
  Describe_Readouts();
  // The ruler's origin 100 pixels into the ruler.
  ScreenToCell(1, Point{kRulerVBox.top, int16(kRulerHBox.left + 100)}, g_doc.up->ruler_origin);
  Point o;
  CellToScreen(1, g_doc.up->ruler_origin, o);
  // Pixels per unit: the zoom alone for cells, times pixels per millimetre.
  EXPECT_FLOAT_EQ(Calc_Pixels_Per_Unit(), 1.0f);
  gs.grid_vals[RULERS_UNITS_GRID] = 0;
  EXPECT_NEAR(Calc_Pixels_Per_Unit(), 1.0f / kMMPerCell, 0.01f);
  gs.grid_vals[RULERS_UNITS_GRID] = 2;

  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(kRulerHBox, 32, nullptr, w), noErr);
  Push_GWorld(w);
  RulerH_Paint(kRulerHBox);
  auto black = [&](int16 h, int16 v) {
    RGBColor c;
    GetCPixel(h, v, c);
    return c.red < 0x4000 && c.green < 0x4000 && c.blue < 0x4000;
  };
  // A labelled tick 100 pixels right of the origin runs across; a half
  // tick 12 pixels up from the view's edge, no higher.
  const int16 full = int16(o.h + 100), half = int16(o.h + 50), none = int16(o.h + 55);
  ASSERT_TRUE(full > kRulerHBox.left && full < kRulerHBox.right);
  EXPECT_TRUE(black(full, int16(kRulerHBox.top + 1)));
  EXPECT_TRUE(black(half, int16(kRulerHBox.bottom - 11)));
  EXPECT_FALSE(black(half, int16(kRulerHBox.bottom - 14)));
  EXPECT_FALSE(black(none, int16(kRulerHBox.bottom - 4)));
  // The line along the view.
  EXPECT_TRUE(black(none, int16(kRulerHBox.bottom - 1)));
  Pop_GWorld();
  Dispose_GWorld(w);
}

// --- Navigator --------------------------------------------------------------------------------

TEST_F(Readouts, NavigatorMiniatureMapsBackToCells) {
  Open(1200, 600);
  Describe_Readouts();
  Nav_Recalc_Reduction();
  ASSERT_FALSE(EmptyRect(g_nav.doc));
  // The unit reduced into the box less 6 and centred in it.
  EXPECT_LE(g_nav.doc.right - g_nav.doc.left, kNavBox.right - kNavBox.left - 6);
  EXPECT_LE(g_nav.doc.bottom - g_nav.doc.top, kNavBox.bottom - kNavBox.top - 6);
  EXPECT_NEAR((g_nav.doc.left + g_nav.doc.right) / 2, (kNavBox.left + kNavBox.right) / 2, 1);
  EXPECT_NEAR((g_nav.doc.top + g_nav.doc.bottom) / 2, (kNavBox.top + kNavBox.bottom) / 2, 1);
  EXPECT_NEAR(double(g_nav.doc.right - g_nav.doc.left) / (g_nav.doc.bottom - g_nav.doc.top), 2.0, 0.05);
  // Corners and centre of the miniature back to cells.
  const double scale = double(g_nav.reduction.den) / g_nav.reduction.num;
  Point c = NavToCell(Point{g_nav.doc.top, g_nav.doc.left});
  EXPECT_EQ(c.h, 0);
  EXPECT_EQ(c.v, 0);
  c = NavToCell(Point{int16((g_nav.doc.top + g_nav.doc.bottom) / 2), int16((g_nav.doc.left + g_nav.doc.right) / 2)});
  EXPECT_NEAR(c.h, 600, scale + 1);
  EXPECT_NEAR(c.v, 300, scale + 1);
  // The frame of the view lies inside the miniature, 3 pixels in.
  EXPECT_GE(g_nav.vis.left, g_nav.doc.left + 3);
  EXPECT_LE(g_nav.vis.right, g_nav.doc.right - 3);
  EXPECT_GE(g_nav.vis.top, g_nav.doc.top + 3);
  EXPECT_LE(g_nav.vis.bottom, g_nav.doc.bottom - 3);
  // The miniature itself was made; invalidated, idle time makes it again.
  EXPECT_NE(g_nav.mini_pix, nullptr);
  Nav_Inval();
  EXPECT_TRUE(g_nav.pix_dirty);
  Nav_Tick();
  EXPECT_FALSE(g_nav.pix_dirty);
  // While a drag is tracked it is only marked.
  t.status_tracking = true;
  Nav_Inval();
  Nav_Tick();
  EXPECT_TRUE(g_nav.pix_dirty);
  t.status_tracking = false;
}

TEST_F(Readouts, AMovedNavigatorMovesItsMiniatureWithoutMakingItAgain) {
  Open(1200, 600);
  Describe_Readouts();
  Nav_Recalc_Reduction();
  const GWorldPtr mini = g_nav.mini_pix;
  const Rect doc = g_nav.doc, vis = g_nav.vis;
  const a_ratio red = g_nav.reduction;
  ASSERT_NE(mini, nullptr);
  Rect moved = kNavBox;
  OffsetRect(moved, 30, -40);
  Describe({Custom(kNav, moved, CUSTOM_NAV, true)});
  Nav_Recalc_Reduction();
  EXPECT_EQ(g_nav.mini_pix, mini);
  EXPECT_EQ(g_nav.doc.left, doc.left + 30);
  EXPECT_EQ(g_nav.doc.top, doc.top - 40);
  EXPECT_EQ(g_nav.vis.left, vis.left + 30);
  EXPECT_EQ(g_nav.vis.bottom, vis.bottom - 40);
  // Another size: another reduction, a new miniature.
  Describe({Custom(kNav, Rect{800, 20, 850, 120}, CUSTOM_NAV, true)});
  Nav_Recalc_Reduction();
  EXPECT_LE(g_nav.doc.right - g_nav.doc.left, 94);
  EXPECT_LT(double(g_nav.reduction.num) / g_nav.reduction.den, double(red.num) / red.den);
  EXPECT_NE(g_nav.mini_pix, nullptr);
}

TEST_F(Readouts, PressOnTheMiniatureCentresTheViewThere) {
  Open(3000, 3000);
  SV_Set_Int(SV_ZOOM_IX, 3);
  SV_Finish();
  Describe_Readouts();
  Nav_Recalc_Reduction();
  ASSERT_FALSE(EmptyRect(g_nav.doc));
  // A point of the miniature outside the frame.
  Point p{int16(g_nav.doc.bottom - 4), int16(g_nav.doc.right - 4)};
  ASSERT_FALSE(PtInRect(p, g_nav.vis));
  const Point want = NavToCell(p);
  const Point before = gs.view_focus;
  a_mousestroke s = Stroke(p.h, p.v, true);
  Nav_MouseDown(s);
  SV_Finish();
  // The focus goes towards there, as far as the scroll limits let it.
  const Point focus = gs.view_focus;
  EXPECT_LT(std::abs(focus.h - want.h), std::abs(before.h - want.h));
  EXPECT_LT(std::abs(focus.v - want.v), std::abs(before.v - want.v));
}

// --- Status ----------------------------------------------------------------------------------

TEST_F(Readouts, StatusTextsFollowThePointer) {
  Open(1200, 900);
  Describe_Readouts();
  const Rect v = gs.views[0].bounds;
  const Point in{int16(v.top + 10), int16(v.left + 20)};
  Point cell;
  ScreenToCell(1, in, cell);
  Str255 s{};
  Calc_Status_Text(in, s);
  EXPECT_EQ(std::string(s), "(" + std::to_string(cell.h) + ", " + std::to_string(cell.v) + ")");
  t.status_sizing = true;
  t.status_size = Point{40, 120};
  Calc_Status_Text(in, s);
  EXPECT_EQ(std::string(s), "(" + std::to_string(cell.h) + ", " + std::to_string(cell.v) + ")   120 x 40");
  t.status_sizing = false;
  // Over the navigator the unit's size; elsewhere nothing.
  Calc_Status_Text(Point{int16(kNavBox.top + 5), int16(kNavBox.left + 5)}, s);
  EXPECT_STREQ(s, "1200 x 900");
  const Point off{int16(kStatusBox.top + 2), int16(kStatusBox.left + 2)};
  ASSERT_FALSE(PtInRect(off, v));
  Calc_Status_Text(off, s);
  EXPECT_STREQ(s, "");
  // Recalculated at most every 10 ticks, and only a changed text is kept.
  Status_ReCalc();
  const int32 due = Status_Due();
  EXPECT_EQ(due - int32(TickCount()), 10);
  PStatus_Set("Layer 3");
  EXPECT_STREQ(g_ph_status, "Layer 3");
  PStatus_Set("");
  EXPECT_STREQ(g_ph_status, "");
}

// --- Value tips --------------------------------------------------------------------------------

TEST_F(Readouts, TipsWaitTheirDelaysAndGoAtOnce) {
  Describe({});
  a_annot_spec spec{};
  spec.kind = ANNOT_TOGGLE;
  spec.just = JUST_CENTER;
  spec.ix = RULERS_TOGGLE;
  ASSERT_NE(g_toggles[RULERS_TOGGLE].stringx, 0);
  spec.delay1 = 60;
  spec.delay2 = 60;
  spec.gref = Rect{200, 200, 230, 300};
  g_tracked.enter_time = int32(TickCount());
  g_annot.lastchange = int32(TickCount());
  Annot_Set_Targ(spec);
  EXPECT_FALSE(g_annot.onscreen);
  Host_Clock_Advance_Millis(70 * 16);
  Annot_Tick();
  ASSERT_TRUE(g_annot.onscreen);
  Str255 expect{};
  Get_Translated_String(expect, STRLIST_DLOG, g_toggles[RULERS_TOGGLE].stringx);
  EXPECT_STREQ(g_annot.ss, expect);
  EXPECT_GT(g_annot.bbox.right - g_annot.bbox.left, 26);
  // Another element: the tip goes at once, the next waits delay2.
  spec.subx = 1;
  Annot_Set_Targ(spec);
  EXPECT_FALSE(g_annot.onscreen);
  Host_Clock_Advance_Millis(30 * 16);
  Annot_Tick();
  EXPECT_FALSE(g_annot.onscreen);
  Host_Clock_Advance_Millis(40 * 16);
  Annot_Tick();
  EXPECT_TRUE(g_annot.onscreen);
  // A repaint under the tip takes it off and puts it back after.
  InvalidateRect(gs.outer_window, nullptr, false);
  DoUpdate(gs.outer_window);
  EXPECT_TRUE(g_annot.onscreen);
  EXPECT_FALSE(g_annot.forced_to_hide);
  EXPECT_EQ(g_annot.forced_nesting, 0);
  Annot_Zap();
  EXPECT_FALSE(g_annot.onscreen);
}

TEST_F(Readouts, TipBoxesStandBelowTheirItemInsideTheWindow) {
  Describe({});
  RECT c;
  GetClientRect(gs.outer_window, &c);
  POINT o{0, 0};
  ClientToScreen(gs.outer_window, &o);
  auto global = [&](Rect r) {
    OffsetRect(r, int16(o.x), int16(o.y));
    return r;
  };
  a_annot_spec spec{};
  spec.kind = ANNOT_TOGGLE;
  spec.ix = RULERS_TOGGLE;
  Str255 ss{};
  Annot_Calc_String(spec, ss);
  ASSERT_NE(ss[0], 0);
  // 12 pixels below the item, 30 left of its right edge, 24 high.
  spec.gref = global(Rect{100, 200, 130, 300});
  Rect box;
  Annot_Calc_Box(spec, ss, box);
  EXPECT_EQ(box.top, 142);
  EXPECT_EQ(box.bottom, 166);
  EXPECT_EQ(box.left, 270);
  const int16 width = int16(box.right - box.left);
  // Right-justified: shifted left by its width.
  spec.just = JUST_RIGHT;
  Annot_Calc_Box(spec, ss, box);
  EXPECT_EQ(box.left, 270 - width);
  // Near the right edge: slid back inside, 20 pixels from it.
  spec.just = JUST_CENTER;
  spec.gref = global(Rect{100, int16(c.right - 20), 130, int16(c.right)});
  Annot_Calc_Box(spec, ss, box);
  EXPECT_EQ(box.right, c.right - 20);
  EXPECT_EQ(box.right - box.left, width);
  // A slider's tip is 50 pixels wider; no text, no box.
  spec.kind = ANNOT_SLIDER;
  spec.gref = global(Rect{100, 200, 130, 300});
  Annot_Calc_Box(spec, ss, box);
  EXPECT_EQ(box.right - box.left, width + 50);
  Annot_Calc_Box(spec, "", box);
  EXPECT_TRUE(EmptyRect(box));
}

TEST_F(Readouts, ColourBarTipsNameTheColour) {
  gs.color_table[20].r = 10;
  gs.color_table[20].g = 20;
  gs.color_table[20].b = 30;
  Str255 s{};
  Bar_Tip_String(PAINT_COLORBAR, 20, s);
  EXPECT_NE(std::string(s).find("20   R 10   G 20   B 30"), std::string::npos) << s;
  Bar_Tip_String(PAINT_COLORBAR, 3, s);
  EXPECT_EQ(std::string(s).rfind("Custom Color 3", 0), 0u) << s;
  EXPECT_NE(std::string(s).find(" - control click to change"), std::string::npos) << s;
  // The last of the user's own colours and the first of the palette's.
  Bar_Tip_String(EDGE_BORD_COLORBAR, int16(NCUSTOM_COLORS - 1), s);
  EXPECT_EQ(std::string(s).rfind("Custom Color " + std::to_string(NCUSTOM_COLORS - 1), 0), 0u) << s;
  Bar_Tip_String(EDGE_BORD_COLORBAR, NCUSTOM_COLORS, s);
  EXPECT_EQ(std::string(s).find("Custom"), std::string::npos) << s;
  EXPECT_NE(std::string(s).find("   R "), std::string::npos) << s;
  // Outside the bars: no text.
  Bar_Tip_String(NBARS, 20, s);
  EXPECT_STREQ(s, "");
}

// The bars with a name (as the program starts them) show it before the
// element's number.
TEST_F(Readouts, BarTipsNameTheBar) {
  Bar_Init();
  gs.color_table[20] = a_pixel32{{30, 20, 10, 0}};
  const struct {
    a_bar bar;
    const char* tip;
  } cases[] = {{PAINT_COLORBAR, "Color 20   R 10   G 20   B 30"},
               {STAMP_BAR, "Stamp 20"},
               {PATTERN_BAR, "Pattern 20"},
               {GRADIENT_BAR, "Gradient 20"},
               {BORDER_BAR, "Border 20"}};
  for (const auto& c : cases) {
    Str255 s{};
    Bar_Tip_String(c.bar, 20, s);
    EXPECT_STREQ(s, c.tip) << int(c.bar);
  }
  Bar_Stop();
}

TEST_F(Readouts, EchoBoxesBySlider) {
  struct Case {
    int16 slider;
    int16 w, h;
  };
  const Case cases[] = {
      {PRINT_INNERD_SLIDER, 200, 253}, {PRINT_BIZSIDE_SLIDER, 265, 218}, {STAMP_ROTATE_SLIDER, 200, 218},
      {BRUSH_SPACING_SLIDER, 200, 68}, {LINE_THICKNESS_SLIDER, 200, 138}, {PHOTO_SIZE_SLIDER, 0, 0},
  };
  for (const Case& c : cases) {
    Point size;
    Echo_Calc_Size(c.slider, size);
    EXPECT_EQ(size.h, c.w) << int(c.slider);
    EXPECT_EQ(size.v, c.h) << int(c.slider);
  }
  gs.tool_net = LINE_TOOL;
  Point size;
  Echo_Calc_Size(PAINT_OPACITY_SLIDER, size);
  EXPECT_EQ(size.h, 150);
  EXPECT_EQ(size.v, 138);
}

// --- Colour wheel ---------------------------------------------------------------------------

TEST_F(Readouts, WheelPointsAndValuesConvertBothWays) {
  const Point c{100, 200};
  struct Case {
    int16 hue, dist;
    Point at;
  };
  // Hue counter-clockwise from the right, distance in pixels from the centre.
  const Case cases[] = {{0, 0, {100, 200}}, {0, 50, {100, 250}}, {90, 40, {60, 200}},
                        {180, 72, {100, 128}}, {270, 10, {110, 200}}};
  for (const Case& k : cases) {
    const Point p = Colorize_HD_To_XY(c, k.hue, k.dist);
    EXPECT_EQ(p.h, k.at.h) << k.hue << "/" << k.dist;
    EXPECT_EQ(p.v, k.at.v) << k.hue << "/" << k.dist;
    int16 hue = -1, dist = -1;
    Colorize_XY_To_HD(c, p, hue, dist);
    EXPECT_EQ(dist, k.dist);
    if (k.dist != 0) {
      EXPECT_EQ(hue, k.hue);
    }
  }
  // Beyond the rim the distance stops at the slider's end.
  int16 hue, dist;
  Colorize_XY_To_HD(c, Point{100, 500}, hue, dist);
  EXPECT_EQ(dist, 72);
  for (int16 h = 0; h < 360; h += 7)
    for (int16 d : {int16(20), int16(45), int16(72)}) {
      // Whole pixels between: a pixel's worth of distance and of angle.
      Colorize_XY_To_HD(c, Colorize_HD_To_XY(c, h, d), hue, dist);
      EXPECT_LE(std::abs(dist - d), 1);
      const int off = std::abs(hue - h), turn = std::min(off, 360 - off);
      EXPECT_LE(turn, 1 + int(57.3 / d)) << h << "/" << d;
    }
}

TEST_F(Readouts, TheSpraysEchoLeavesItsRandomStateAlone) {
  Open(1200, 1200);
  gs.tool_net = SPRAY_TOOL;
  gs.fill_kind = COLOR_FILL;
  ASSERT_NE(gs.spray_seedU, nullptr);
  const int16 seed = gs.spray_seed;
  const a_rand_rec state = *gs.spray_seedU;
  a_annot_spec spec{};
  spec.kind = ANNOT_ECHO;
  spec.ix = SPRAY_RADIUS_SLIDER;
  spec.gref = gs.views[0].bounds;
  Annot_Set_Targ(spec);
  EXPECT_TRUE(g_annot.onscreen);
  EXPECT_EQ(gs.spray_seed, seed);
  EXPECT_EQ(std::memcmp(gs.spray_seedU, &state, sizeof state), 0);
  Annot_Zap();
}

// --- Keys ---------------------------------------------------------------------------------

TEST_F(Readouts, ToolLettersClickTheirCell) {
  for (int16 i : {int16(0), int16(4), int16(NGRID_TOOLS - 1)}) {
    const uint8 sc = gs.tool_desc[i].shortcut;
    ASSERT_NE(sc, 0);
    a_keystroke k{};
    k.charcode = uint8(sc | 0x20);  // the lower-case letter
    k.unicode = k.charcode;
    EXPECT_TRUE(Tools_KeyFilter(k));
    EXPECT_EQ(gs.grid_vals[TOOL_GRID], i);
    k.mods = Keymod_Bit(CONTROLKEY);
    EXPECT_FALSE(Tools_KeyFilter(k));
  }
  a_keystroke digit{};
  digit.charcode = '5';
  EXPECT_FALSE(Tools_KeyFilter(digit));
}

// --- A look at it ---------------------------------------------------------------------------

TEST_F(Readouts, SnapshotOfAnOpenDocumentWithRulersStatusAndEcho) {
  Open(1200, 1200);
  gs.toggle_vals[RULERS_TOGGLE] = true;
  gs.pref.status_option = true;
  SV_Set_Virtual(SV_CONFIG_ALL);
  SV_Finish();
  HWND w;
  Rect rh, st;
  ASSERT_TRUE(Custom_Get_Info(CUSTOM_RULERH, w, rh));
  ASSERT_TRUE(Custom_Get_Info(CUSTOM_STATUS, w, st));
  // The pointer over the view: the status shows its cell.
  const Point at{int16(gs.views[0].bounds.top + 40), int16(gs.views[0].bounds.left + 60)};
  POINT sp{at.h, at.v};
  ClientToScreen(gs.outer_window, &sp);
  SetCursorPos(sp.x, sp.y);
  Status_ReCalc();
  Point cell;
  ScreenToCell(1, at, cell);
  EXPECT_EQ(std::string(t.status_lines[0].ss), "(" + std::to_string(cell.h) + ", " + std::to_string(cell.v) + ")");
  Intf_Paint(nullptr);
  // An echo box of the spray radius.
  a_annot_spec spec{};
  spec.kind = ANNOT_ECHO;
  spec.ix = PRINT_OUTERD_SLIDER;
  Rect g = gs.views[0].bounds;
  POINT tl{g.left, g.top};
  ClientToScreen(gs.outer_window, &tl);
  spec.gref = Rect{int16(tl.y + 100), int16(tl.x - 200), int16(tl.y + 120), int16(tl.x - 20)};
  Annot_Set_Targ(spec);
  EXPECT_TRUE(g_annot.onscreen);
  const std::string exe = VELMOR4_EXE;
  const std::string dir = exe.substr(0, exe.find_last_of('/')) + "/snapshots/readouts";
  fs::create_directories(dir);
  std::string err;
  ASSERT_TRUE(Host_Snapshot_Window(gs.outer_window, dir + "/open-document.png", err)) << err;

  // The line tool's echo paints a line of the paint colour across its box.
  gs.tool_net = FRECT_TOOL;
  gs.fill_kind = COLOR_FILL;
  gs.fill_color32.r = 250, gs.fill_color32.g = 10, gs.fill_color32.b = 10;
  gs.slider_vals[LINE_THICKNESS_SLIDER] = 6;
  spec.ix = LINE_THICKNESS_SLIDER;
  Annot_Set_Targ(spec);
  ASSERT_TRUE(g_annot.onscreen);
  const Rect box = g_annot.bbox;
  const std::string echo = dir + "/line-thickness-echo.png";
  ASSERT_TRUE(Host_Snapshot_Window(gs.outer_window, echo, err)) << err;
  std::vector<uint32> px;
  int32 pw = 0, ph = 0;
  ASSERT_TRUE(Host_Read_PNG(echo, px, pw, ph, err)) << err;
  int red = 0;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
      if ((px[size_t(y) * size_t(pw) + size_t(x)] & 0xFFFFFF) == 0xFA0A0Au) ++red;
  EXPECT_GT(red, 200);
  Annot_Zap();
  EXPECT_FALSE(g_annot.onscreen);
}

}  // namespace
