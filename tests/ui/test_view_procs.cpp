// The interface's procedures of the state variables on the headless main
// window with a document open: the tool and ring in force per phase and
// panel, the bar and fill they bring, the eyedropper's way back, the views'
// scroll limits and the focus kept within them, the menu bar per phase, the
// memory budgets, and the phase strip: its buttons hit by their own layout,
// and leaving the preview, which moves only a clone to its master.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

#include "DocTestSupport.h"
#include "SoundTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskText.h"
#include "pixel/SysPixt.h"
#include "platform/Controls.h"
#include "platform/SysMenu.h"
#include "platform/SysSound.h"
#include "ui/NodeTestSupport.h"
#include "ui/VoskBar.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskFun2.h"
#include "ui/VoskSlid.h"

namespace {

using nodetest::Custom;
using nodetest::Describe;

constexpr float kMMPerCell = 0.0846667f;
constexpr a_locator kPhaseStrip = 0x01020100;
constexpr Rect kStripBounds{10, 20, 10 + PHASE_STRIP_HEIGHT, 20 + PHASE_STRIP_WIDTH};

// A layout of n rectangles of w x h cells side by side.
a_template Rects(int n, int w, int h) {
  a_template x{};
  std::strcpy(x.label, "Test sheet");
  x.papersize = {431.8f, 279.4f};
  for (int i = 0; i < n; ++i) {
    a_unit& u = x.units[x.nunits++];
    u.kind = UNIT_RECT;
    // Whole millimetres apart, so that every unit rounds to the same cells.
    const float left = 2.0f + float(i) * float(int(float(w) * kMMPerCell) + 3);
    u.bbox = a_frect{left, 2, left + float(w) * kMMPerCell, 2 + float(h) * kMMPerCell};
  }
  return x;
}

Point Centre(const Rect& r) { return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)}; }

// The interface started over the build's picture library, with the
// documents' modules and the state variables as built.
class ViewProcs : public nodetest::NodeTree {
 protected:
  std::optional<soundtest::SoundRecorder> sounds_;

  void SetUp() override {
    nodetest::NodeTree::SetUp();
    sounds_.emplace();
    doctests::Start_Document_Layer();
    SV_Init();
    Bar_Init();
    gs.menu_base = 132;
  }
  void TearDown() override {
    doctests::Close_Document();
    SV_Init();
    Bar_Stop();
    sounds_.reset();
    nodetest::NodeTree::TearDown();
  }
  // A document on the layout, settled, in the preview at zoom index 1 (1:1).
  void Open(const a_template& x) {
    ASSERT_TRUE(Doc_New(x));
    SV_Set_Int(SV_ZOOM_IX, 1);
    SV_Finish();
    ASSERT_EQ(gs.curr_phase, PREVIEW_PHASE);
    ASSERT_EQ(gs.views[0].zoom_factor.num, 1);
    ASSERT_EQ(gs.views[0].zoom_factor.den, 1);
  }
  static int16 View_W() { return int16(gs.views[0].bounds.right - gs.views[0].bounds.left); }
  static int16 View_H() { return int16(gs.views[0].bounds.bottom - gs.views[0].bounds.top); }
  static void Phase(a_phase p) {
    SV_Set_Enum(SV_PHASE, p);
    SV_Finish();
  }
  static void Tool(int16 cell) {
    SV_Set_Int(SV_TOOL_SELECTION, cell);
    SV_Finish();
  }
  // Where the phase strip is: as the panels lay the window out, or, while
  // they show none, alone in the window.
  static Rect Strip() {
    HWND w;
    Rect area;
    if (!Custom_Get_Info(CUSTOM_PHASE, w, area)) {
      Describe({Custom(kPhaseStrip, kStripBounds, CUSTOM_PHASE)});
      EXPECT_TRUE(Custom_Get_Info(CUSTOM_PHASE, w, area));
    }
    EXPECT_EQ(area.right - area.left, PHASE_STRIP_WIDTH);
    EXPECT_EQ(area.bottom - area.top, PHASE_STRIP_HEIGHT);
    return area;
  }
  static Point Button(const Rect& area, a_phase p) {
    Rect r;
    EXPECT_TRUE(Phase_Button_Rect(p, area, r));
    return Centre(r);
  }
  static void Click(Point pt) { Intf_MouseDown(Stroke(pt.h, pt.v, true), true); }
};

// --- The tool and ring in force -------------------------------------------------------

TEST_F(ViewProcs, ToolAndRingInForceFollowThePhaseAndThePanel) {
  Open(Rects(1, 600, 600));
  struct Case {
    a_phase phase;
    int16 photo_page, edge;
    a_tool tool;
    a_ring_kind ring;
  };
  const Case cases[] = {
      {CANVAS_PHASE, 0, 0, NULL_TOOL, CANVAS_RING},     {SYMBOL_PHASE, 0, 0, PHOTO_TOOL, SYMBOL_RING},
      {PHOTO_PHASE, 0, 0, PHOTO_TOOL, PHOTO_RING},      {PHOTO_PHASE, 2, 0, PHOTO_TOOL, PHOTO_RING},
      {PHOTO_PHASE, 2, 1, PHOTO_TOOL, PHOTOF_RING},     {PHOTO_PHASE, 2, 2, PHOTO_TOOL, PHOTOF_RING},
      {PHOTO_PHASE, 1, 2, PHOTO_TOOL, PHOTO_RING},      {PHOTO_PHASE, 3, 1, PHOTO_TOOL, PHOTO_RING},
      {COLLAGE_PHASE, 2, 1, PHOTO_TOOL, PHOTO_RING},    {TEXT_PHASE, 0, 0, TEXT_TOOL, TEXT_SIZE_RING},
      {GRID_PHASE, 0, 0, NULL_TOOL, GRIDPHASE_RING},    {PREVIEW_PHASE, 0, 0, NULL_TOOL, NULL_RING},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "phase " << int(c.phase) << " page " << c.photo_page << " edge " << c.edge);
    gs.grid_vals[PHOTO_PHASE_GRID] = c.photo_page;
    gs.grid_vals[PHOTO_EDGE_GRID] = c.edge;
    Phase(PAINT_PHASE);  // from elsewhere each time
    Phase(c.phase);
    Calc_Tool_Net();  // what the photo panel's grids call
    SV_Finish();
    EXPECT_EQ(gs.tool_net, c.tool);
    EXPECT_EQ(gs.curr_ring, c.ring);
    // The ring's bar is shown, with its fill.
    EXPECT_EQ(gs.curr_bar, gs.bar_in_ring[c.ring]);
    EXPECT_EQ(gs.fill_kind, gs.bard[gs.curr_bar].fill_kind);
  }
  // The paint phase: the tool of the tool grid with its own ring.
  Phase(PAINT_PHASE);
  for (int16 cell = 0; cell < NGRID_TOOLS; ++cell) {
    Tool(cell);
    EXPECT_EQ(gs.tool_net, a_tool(cell));
    EXPECT_EQ(gs.curr_ring, gs.tool_desc[cell].ring_kind) << "tool " << cell;
    EXPECT_EQ(gs.curr_bar, gs.bar_in_ring[gs.curr_ring]) << "tool " << cell;
  }
  Tool(STAMP_TOOL);
  EXPECT_EQ(gs.curr_bar, STAMP_BAR);
  EXPECT_EQ(gs.fill_kind, STAMP_FILL);
  Tool(BRUSH_TOOL);
  EXPECT_EQ(gs.curr_bar, PAINT_COLORBAR);
  EXPECT_EQ(gs.fill_kind, COLOR_FILL);
}

TEST_F(ViewProcs, TheRingRemembersTheBarItOffersAndTheTextPageGivesTheRing) {
  Open(Rects(1, 600, 600));
  Phase(PAINT_PHASE);
  Tool(SRECT_TOOL);
  ASSERT_EQ(gs.curr_ring, AREA_RING);
  SV_Set_Enum(SV_CURR_BAR, GRADIENT_BAR);
  SV_Finish();
  EXPECT_EQ(gs.fill_kind, GRADIENT_FILL);
  EXPECT_EQ(gs.bar_in_ring[AREA_RING], GRADIENT_BAR);
  // A bar the ring does not offer is shown but not remembered.
  SV_Set_Enum(SV_CURR_BAR, STAMP_BAR);
  EXPECT_EQ(gs.bar_in_ring[AREA_RING], GRADIENT_BAR);
  Tool(BRUSH_TOOL);
  Tool(SRECT_TOOL);
  EXPECT_EQ(gs.curr_bar, GRADIENT_BAR) << "the area tools come back to their gradient";

  Phase(TEXT_PHASE);
  const a_ring_kind pages[] = {TEXT_SIZE_RING, TEXT_OUTL_RING, TEXT_GLOW_RING, TEXT_SHAD_RING};
  for (int16 page = 0; page < 4; ++page) {
    Grid_SetVal_Silent(TEXT_PHASE_GRID, page);
    EXPECT_EQ(gs.curr_ring, pages[page]) << "page " << page;
  }
  gs.txedit_phase = TXEDIT_EDIT;
  Set_Text_Ring();
  EXPECT_EQ(gs.curr_ring, TEXT_EDIT_RING);
  EXPECT_EQ(gs.curr_bar, GLYPH_BAR);
  // Leaving the text phase goes back to moving.
  Phase(GRID_PHASE);
  EXPECT_EQ(gs.txedit_phase, TXEDIT_MOVE);
}

// Each phase works on its own kinds of object; the start screen follows the
// document's closing with the arrow.
TEST_F(ViewProcs, EachPhaseWorksOnItsKindsAndClosingShowsTheStartScreen) {
  Open(Rects(1, 600, 600));
  constexpr a_oj_kind_set objects = Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK) | Kind_Bit(TEXT_BLOCK);
  struct Case {
    a_phase phase;
    a_oj_kind_set kinds;
  };
  const Case cases[] = {{PHOTO_PHASE, objects},   {PAINT_PHASE, 0},  {SYMBOL_PHASE, objects},
                        {COLLAGE_PHASE, Kind_Bit(SLOT_BLOCK)}, {TEXT_PHASE, objects}, {PREVIEW_PHASE, 0}};
  for (const Case& c : cases) {
    Phase(c.phase);
    EXPECT_EQ(gs.curr_kindset, c.kinds) << "phase " << int(c.phase);
  }
  Phase(PHOTO_PHASE);
  const Point photo = Button(Strip(), PHOTO_PHASE);
  Intf_MouseDown(Stroke(photo.h, photo.v), true);
  ASSERT_EQ(g_curr_cursor.shape, FINGER_CURSOR);
  Doc_Dispose();
  EXPECT_EQ(gs.curr_phase, NODOC_PHASE);
  EXPECT_EQ(gs.curr_kindset, 0);
  EXPECT_EQ(g_curr_cursor.shape, ARROW_CURSOR);
  SV_Finish();
  EXPECT_EQ(gs.nviews, 0);
}

// The panels' grids and the symmetry slider reach their procedures: the
// symmetry grid and count turn symmetry on, a brush shape brings its
// spacing, a text page its ring (and an edited text's caret to its end).
TEST_F(ViewProcs, ThePanelsItemsReachTheirProcedures) {
  Open(Rects(1, 600, 600));
  Phase(PAINT_PHASE);
  Grid_SetVal_Silent(SYMMETRY_KIND_GRID, 1);
  EXPECT_TRUE(gs.toggle_vals[SYMMETRY_TOGGLE]);
  SV_Set_Bool(SV_SYMMETRY_ENABLED, false);
  Slider_SetVal(SYMMETRY_COUNT_SLIDER, 9);
  EXPECT_TRUE(gs.toggle_vals[SYMMETRY_TOGGLE]);
  Grid_SetVal_Silent(BRUSH_SHAPE_GRID, 20);
  EXPECT_EQ(gs.slider_vals[BRUSH_SPACING_SLIDER], Calc_Default_BSpacing(20));

  Phase(TEXT_PHASE);
  a_om_rec om{};
  om.nxyl = 12;
  g_ed.edit_objid = 1;
  g_ed.edit_om = &om;
  g_ed.sel_lo = 2;
  g_ed.sel_hi = 5;
  Grid_SetVal_Silent(TEXT_PHASE_GRID, 3);
  EXPECT_EQ(gs.curr_ring, TEXT_SHAD_RING);
  EXPECT_EQ(g_ed.sel_lo, 12);
  EXPECT_EQ(g_ed.sel_hi, 12);
  g_ed = a_edit_rec{};
  // The tool cells of the basic tool grid: the first seven shown, the
  // current one hilited.
  gs.grid_vals[TOOL_GRID] = 2;
  EXPECT_EQ(Base_Calc_Hilite(2), HILITE_BUTTON);
  EXPECT_EQ(Base_Calc_Hilite(6), PLAIN_BUTTON);
  EXPECT_EQ(Base_Calc_Hilite(7), HIDDEN_BUTTON);
}

// The eyedropper goes back to the last tool that paints with a colour: the
// eraser (which offers no colour) and the dropper itself leave it.
TEST_F(ViewProcs, TheEyedropperKeepsTheToolToGoBackTo) {
  Open(Rects(1, 600, 600));
  Phase(PAINT_PHASE);
  struct Step {
    int16 cell;
    a_tool jump;
  };
  const Step steps[] = {{LINE_TOOL, LINE_TOOL},   {DROPPER_TOOL, LINE_TOOL}, {ERASER_TOOL, LINE_TOOL},
                        {STAMP_TOOL, LINE_TOOL},  {SPRAY_TOOL, SPRAY_TOOL},  {DROPPER_TOOL, SPRAY_TOOL},
                        {FRECT_TOOL, FRECT_TOOL}, {DROPPER_TOOL, FRECT_TOOL}};
  for (const Step& s : steps) {
    Tool(s.cell);
    EXPECT_EQ(gs.tool_net, a_tool(s.cell));
    EXPECT_EQ(gs.dropper_jump, s.jump) << "after tool " << s.cell;
  }
}

// --- Views and scroll bars --------------------------------------------------------------

// A unit narrower (and lower) than half the view cannot scroll: the scroll
// bar's minimum is its maximum and the unit stays in the middle of the view.
TEST_F(ViewProcs, ASmallUnitStaysCentredAndCannotScroll) {
  Open(Rects(1, 120, 90));
  Phase(PAINT_PHASE);
  ASSERT_LE(240, View_W());
  ASSERT_LE(180, View_H());
  Point min, max;
  Calc_ScrollBar_Limits(min, max);
  EXPECT_EQ(min.h, max.h);
  EXPECT_EQ(min.v, max.v);
  SV_Set_Point(SV_EDIT_FOCUS, Point{-900, 4000});
  SV_Finish();
  EXPECT_EQ(gs.views[0].origin, min);
  Rect screen;
  CellToScreenRect(1, g_doc.up->paintbounds, screen);
  const Point middle = Centre(gs.views[0].bounds);
  EXPECT_NEAR((screen.left + screen.right) / 2, middle.h, 1);
  EXPECT_NEAR((screen.top + screen.bottom) / 2, middle.v, 1);
  EXPECT_EQ(GetControlMinimum(gs.hscroll_ctrl), GetControlMaximum(gs.hscroll_ctrl));
  EXPECT_EQ(GetControlMinimum(gs.vscroll_ctrl), GetControlMaximum(gs.vscroll_ctrl));
}

// A focus outside the scroll range is pulled back: the origin stops at the
// limit (a quarter of the view beyond the unit's edge) and the focus follows
// the origin; the scroll bars show the limits and the origin.
TEST_F(ViewProcs, AFocusOutsideTheRangeIsPulledBackAndTheFocusFollows) {
  Open(Rects(1, 3000, 2400));
  Phase(PAINT_PHASE);
  const Rect pb = g_doc.up->paintbounds;
  const int16 w = View_W(), h = View_H();
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  Point min, max;
  Calc_ScrollBar_Limits(min, max);
  EXPECT_EQ(min.h, pb.left - w / 4);
  EXPECT_EQ(max.h, pb.right - (w - w / 4));
  EXPECT_EQ(min.v, pb.top - h / 4);
  EXPECT_EQ(max.v, pb.bottom - (h - h / 4));

  const Point inside{int16(pb.top + 700), int16(pb.left + 900)};
  struct Case {
    Point focus;
    Point origin;
  };
  const Case cases[] = {
      {Point{9000, 9000}, max},
      {Point{-9000, -9000}, min},
      {Point{-9000, inside.h}, Point{min.v, int16(inside.h - w / 2)}},
      {inside, Point{int16(inside.v - h / 2), int16(inside.h - w / 2)}},  // as it is
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "focus " << c.focus.h << "," << c.focus.v);
    SV_Set_Point(SV_EDIT_FOCUS, c.focus);
    SV_Finish();
    EXPECT_EQ(gs.views[0].origin, c.origin);
    Point focus;
    Origin_To_Focus(1, c.origin, focus);
    EXPECT_EQ(gs.view_focus, focus);
    EXPECT_EQ(GetControlMinimum(gs.hscroll_ctrl), min.h);
    EXPECT_EQ(GetControlMaximum(gs.hscroll_ctrl), max.h);
    EXPECT_EQ(GetControlValue(gs.hscroll_ctrl), c.origin.h);
    EXPECT_EQ(GetControlMinimum(gs.vscroll_ctrl), min.v);
    EXPECT_EQ(GetControlValue(gs.vscroll_ctrl), c.origin.v);
  }
  // At half size the view's pixels count twice in cells.
  gs.views[0].zoom_factor = a_ratio{1, 2};
  Calc_ScrollBar_Limits(min, max);
  EXPECT_EQ(min.h, pb.left - 2 * (w / 4));
  Point origin;
  Focus_To_Origin(1, Point{1000, 1000}, origin);
  EXPECT_EQ(origin, (Point{int16(1000 - 2 * (h / 2)), int16(1000 - 2 * (w / 2))}));
}

// The preview and the start screen leave the origin alone; a new zoom
// starts from the unit's centre (up to 1:1) or keeps the focus.
TEST_F(ViewProcs, ZoomStartsFromTheUnitsCentreAndThePreviewLeavesTheOrigin) {
  Open(Rects(1, 1200, 900));
  gs.views[0].origin = Point{7, 9};
  SV_Set_Point(SV_EDIT_FOCUS, Point{5000, 5000});
  SV_Finish();
  EXPECT_EQ(gs.views[0].origin, (Point{7, 9}));
  Phase(PAINT_PHASE);
  const Point centre = Centre(g_doc.up->paintbounds);
  SV_Set_Point(SV_EDIT_FOCUS, Point{100, 100});
  SV_Set_Int(SV_ZOOM_IX, 3);
  EXPECT_EQ(gs.view_focus, (Point{100, 100}));
  SV_Set_Int(SV_ZOOM_IX, 1);
  EXPECT_EQ(gs.view_focus, centre);
  Phase(COLLAGE_PHASE);
  SV_Set_Int(SV_ZOOM_IX, 0);
  EXPECT_EQ(gs.view_focus, (Point{600, 600}));
}

// --- Menus and memory --------------------------------------------------------------------

TEST_F(ViewProcs, EachPhaseLoadsItsMenuBar) {
  Open(Rects(1, 600, 600));
  struct Case {
    a_phase phase;
    int16 bar;
  };
  const Case cases[] = {{PAINT_PHASE, 132}, {SYMBOL_PHASE, 133}, {TEXT_PHASE, 134}, {PHOTO_PHASE, 133},
                        {GRID_PHASE, 132},  {CANVAS_PHASE, 132}, {TEXT_PHASE, 134}, {PREVIEW_PHASE, 132}};
  for (const Case& c : cases) {
    Phase(c.phase);
    EXPECT_EQ(Calc_Menubar_ID(c.phase), c.bar);
    EXPECT_EQ(Menus_Cached(), c.bar + Menus_Language()) << "phase " << int(c.phase);
  }
}

// The budgets from free memory beyond 4 GB: nothing wraps or is cut to the
// 32-bit reading's 4 GB before it is halved.
TEST(MemoryBudgets, MoreThanFourGigabytesFree) {
  const uint32 saved_ring = pixt_cache_limit;
  const uint64 free_bytes = 6000000000ull;
  const int64 screen = 1280 * 1024;
  Calc_Max_From(free_bytes, screen);
  EXPECT_EQ(gs.total_avail, UINT32_MAX);
  EXPECT_EQ(gs.doc_limit, uint32((free_bytes - 1200000 - screen) / 2));
  EXPECT_EQ(pixt_cache_limit, 3000000000u);
  // Beyond 8 GB the halves are clamped, not wrapped.
  Calc_Max_From(20000000000ull, screen);
  EXPECT_EQ(gs.doc_limit, UINT32_MAX);
  EXPECT_EQ(pixt_cache_limit, UINT32_MAX);
  // Little memory: the floors.
  Calc_Max_From(2000000, screen);
  EXPECT_EQ(gs.total_avail, 2000000u);
  EXPECT_EQ(gs.doc_limit, 1048576u);
  EXPECT_EQ(pixt_cache_limit, 1000000u);
  Calc_Max_From(0, screen);
  EXPECT_EQ(pixt_cache_limit, 700000u);
  pixt_cache_limit = saved_ring;
}

// --- The phase strip -----------------------------------------------------------------------

TEST_F(ViewProcs, EachButtonOfThePhaseStripSelectsItsPhase) {
  Open(Rects(1, 600, 600));
  const Rect area = Strip();
  // The buttons cover the strip without overlapping.
  int32 covered = 0;
  for (a_phase p : PHASE_BUTTON_PHASES) {
    Rect r;
    ASSERT_TRUE(Phase_Button_Rect(p, area, r));
    covered += int32(r.right - r.left) * (r.bottom - r.top);
    EXPECT_EQ(Phase_Find(area, Centre(r)), p);
    EXPECT_EQ(Phase_Find(area, Point{r.top, r.left}), p) << "its top-left pixel";
  }
  EXPECT_EQ(covered, int32(PHASE_STRIP_WIDTH) * PHASE_STRIP_HEIGHT);
  EXPECT_EQ(Phase_Find(area, Point{int16(area.top - 1), area.left}), NULL_PHASE);
  Rect none;
  EXPECT_FALSE(Phase_Button_Rect(COLLAGE_PHASE, area, none));

  // Hovering shows the finger.
  const Point photo = Button(area, PHOTO_PHASE);
  Intf_MouseDown(Stroke(photo.h, photo.v), true);
  EXPECT_EQ(g_curr_cursor.shape, FINGER_CURSOR);
  // Every phase by its button, in the order of the walk: a click each but
  // for leaving the preview.
  for (a_phase p : {PAINT_PHASE, CANVAS_PHASE, SYMBOL_PHASE, PHOTO_PHASE, GRID_PHASE, TEXT_PHASE, PREVIEW_PHASE}) {
    const bool from_preview = gs.curr_phase == PREVIEW_PHASE;
    sounds_->Clear();
    Click(Button(Strip(), p));
    SV_Finish();
    EXPECT_EQ(gs.curr_phase, p);
    EXPECT_EQ(sounds_->Ids(), from_preview ? std::vector<int16>{} : std::vector<int16>{SND_SUBTOOL_ONESHOT})
        << "phase " << int(p);
  }
  // The phase shown is no change.
  sounds_->Clear();
  Click(Button(Strip(), PREVIEW_PHASE));
  EXPECT_EQ(gs.curr_phase, PREVIEW_PHASE);
  EXPECT_TRUE(sounds_->Ids().empty());
}

TEST_F(ViewProcs, ThePhaseStripShowsTheCurrentPhasePressed) {
  Open(Rects(1, 600, 600));
  const auto pixel = [](Point pt) {
    HDC dc = GetDC(gs.outer_window);
    const COLORREF c = GetPixel(dc, pt.h, pt.v);
    ReleaseDC(gs.outer_window, dc);
    return c;
  };
  // Each button's look, unselected and selected.
  std::vector<COLORREF> plain, pressed;
  for (a_phase p : PHASE_BUTTON_PHASES) {
    Phase(p == PAINT_PHASE ? CANVAS_PHASE : PAINT_PHASE);
    Strip();
    Update();
    plain.push_back(pixel(Button(Strip(), p)));
    Phase(p);
    Strip();
    Update();
    pressed.push_back(pixel(Button(Strip(), p)));
  }
  for (int i = 0; i < NPHASE_BUTTONS; ++i) EXPECT_NE(plain[size_t(i)], pressed[size_t(i)]) << "button " << i;
}

// Leaving the preview by the phase strip: a clone moves to its master; unit
// 1 and any other master stay current.
TEST_F(ViewProcs, LeavingThePreviewMovesOnlyACloneToItsMaster) {
  // Units of one size start as clones of unit 1; unit 3 becomes a master
  // of its own, which unit 4 then shows.
  Open(Rects(4, 300, 300));
  ASSERT_TRUE(Unclone(3));
  ASSERT_TRUE(Doc_Unit(2)->clonef && !Doc_Unit(3)->clonef && Doc_Unit(4)->clonef);
  struct Case {
    uint32 current;
    uint32 after;
  };
  const Case cases[] = {{1, 1}, {2, 1}, {3, 3}, {4, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "unit " << c.current);
    Phase(PREVIEW_PHASE);
    Select_Doc_Unit(c.current);
    Click(Button(Strip(), SYMBOL_PHASE));
    SV_Finish();
    EXPECT_EQ(gs.curr_phase, SYMBOL_PHASE);
    EXPECT_EQ(g_doc.upx, c.after);
  }
}

}  // namespace
