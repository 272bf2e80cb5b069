// The interface's cursors: each shape is served by the class its table
// names, the resource cursors come from the program's own artwork and reach
// the display backend; the busy cursor around long operations and its
// stack; the cursor of each painting tool; outlines and crosshair lines
// drawn into the main window, taken off and drawn back after a repaint.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostWin.h"
#include "objects/VoskBrus.h"
#include "platform/QDRect.h"
#include "platform/ResImage.h"
#include "platform/Resources.h"
#include "platform/SysCurs.h"
#include "platform/SysRgn.h"
#include "platform/WinTestSupport.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntI.h"

namespace {

HostShownCursor Shown() {
  HostShownCursor s;
  EXPECT_TRUE(Host_Backend_Shown_Cursor(s));
  return s;
}

class CursorShapes : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(800, 600);
    Resources_Init();
    SysCurs_Init();
    Cursor_Init();
  }
  void TearDown() override {
    Cursor_Stop();
    Host_Win_Reset();
    Host_Backend_Stop();
  }
};

TEST_F(CursorShapes, EveryShapeShowsTheCursorOfItsClass) {
  int resource_shapes = 0;
  for (int shape = 0; shape < NCURSOR_SHAPES; ++shape) {
    const a_cursor_desc& d = g_cursor_desc[shape];
    Cursor_Set_Shape(a_cursor_shape(shape));
    const HostShownCursor s = Shown();
    switch (d.class_) {
      case DEFAULT_CURSOR:
        EXPECT_EQ(s.system_id, IDC_ARROW) << shape;
        break;
      case ANIM_CURSOR:
        EXPECT_EQ(s.system_id, IDC_WAIT) << shape;
        break;
      case MONO_CURSOR:
      case COLOR_CURSOR: {
        ++resource_shapes;
        ASSERT_NE(d.hdl, nullptr) << shape;
        // The class says the form: 16 x 16 mono or 32 x 32 colour.
        const int32 size = d.class_ == MONO_CURSOR ? kMonoCursorSize : kColorCursorSize;
        EXPECT_EQ(s.system_id, 0u) << shape;
        EXPECT_EQ(s.width, size) << shape;
        EXPECT_EQ(s.height, size) << shape;
        // The artwork's hot spot lies on a pixel one can see.
        ASSERT_EQ(s.bgra.size(), size_t(size) * size_t(size));
        EXPECT_EQ(s.bgra[size_t(s.hot_y) * size_t(size) + size_t(s.hot_x)] >> 24, 255u)
            << "shape " << shape << " hot spot " << s.hot_x << "," << s.hot_y;
        break;
      }
    }
  }
  // Every shape has its artwork: all but the arrow and the two animated ones.
  EXPECT_EQ(resource_shapes, NCURSOR_SHAPES - 3);
  EXPECT_EQ(g_cursor_desc[SPIN_CURSOR].class_, ANIM_CURSOR);
  EXPECT_EQ(g_cursor_desc[BLINKS_CURSOR].class_, ANIM_CURSOR);
  EXPECT_EQ(g_cursor_desc[ARROW_CURSOR].class_, DEFAULT_CURSOR);
  // The ids the resources carry: 128 to 154 and the four font cursors.
  EXPECT_EQ(g_cursor_desc[TINY_CURSOR].id, 128);
  EXPECT_EQ(g_cursor_desc[UPDOWN_CURSOR].id, 154);
  EXPECT_EQ(g_cursor_desc[FONT3_CURSOR].id, 403);
}

TEST_F(CursorShapes, BusyCursorIsPushedAndPoppedBack) {
  Cursor_Set_Shape(CARET_CURSOR);
  const HostShownCursor caret = Shown();
  ASSERT_EQ(caret.system_id, 0u);
  Cursor_Push_Watch();
  EXPECT_EQ(Shown().system_id, IDC_WAIT);
  Cursor_Push_Watch();
  Cursor_Pop();
  EXPECT_EQ(Shown().system_id, IDC_WAIT);
  Cursor_Pop();
  const HostShownCursor back = Shown();
  EXPECT_EQ(back.system_id, 0u);
  EXPECT_EQ(back.hot_x, caret.hot_x);
  EXPECT_EQ(back.hot_y, caret.hot_y);
  EXPECT_EQ(back.bgra, caret.bgra);
  EXPECT_EQ(g_curr_cursor.shape, CARET_CURSOR);
  // A shape outside the table shows the arrow.
  Cursor_Set_Shape(a_cursor_shape(NCURSOR_SHAPES));
  EXPECT_EQ(Shown().system_id, IDC_ARROW);
  EXPECT_EQ(g_curr_cursor.shape, ARROW_CURSOR);
}

// Long operations nest deeper than the stack holds: the pushes it cannot
// keep are counted and their pops keep the busy cursor; the pops of the kept
// ones unwind to the cursor of before; a pop with nothing pushed changes
// nothing.
TEST_F(CursorShapes, PushesBeyondTheStackKeepTheBusyCursorAndExtraPopsDoNothing) {
  Cursor_Set_Shape(CARET_CURSOR);
  Cursor_Pop();
  EXPECT_EQ(g_cursor_nstack, 0);
  EXPECT_EQ(g_curr_cursor.shape, CARET_CURSOR);

  constexpr int kPushes = CURSOR_STACK_DEPTH + 3;
  for (int i = 0; i < kPushes; ++i) Cursor_Push_Watch();
  EXPECT_EQ(g_cursor_nstack, kPushes);
  for (int i = kPushes; i > 1; --i) {
    Cursor_Pop();
    EXPECT_EQ(Shown().system_id, IDC_WAIT) << "depth " << i - 1;
    EXPECT_EQ(g_curr_cursor.shape, SPIN_CURSOR) << "depth " << i - 1;
  }
  Cursor_Pop();
  EXPECT_EQ(g_cursor_nstack, 0);
  EXPECT_EQ(g_curr_cursor.shape, CARET_CURSOR);
  EXPECT_EQ(Shown().system_id, 0u);
  for (int i = 0; i < 3; ++i) Cursor_Pop();
  EXPECT_EQ(g_cursor_nstack, 0);
  EXPECT_EQ(g_curr_cursor.shape, CARET_CURSOR);
  EXPECT_EQ(gcurs.id, g_cursor_desc[CARET_CURSOR].id);
}

// --- The cursors of the document view --------------------------------------------------

constexpr uint32 kWhite = 0xFFFFFF, kBlack = 0x000000;

// The main window's paint: white, then (as the document view does) the
// cursor's outline and lines drawn back over what was painted. Each paint's
// area is recorded.
std::vector<Rect> g_painted;

void Paint_White(HWND /*window*/) {
  RgnHandle clip = NewRgn();
  GetClip(clip);
  Rect area;
  Rgn_GetBounds(clip, area);
  DisposeRgn(clip);
  g_painted.push_back(area);
  RGBForeColor(RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
  PaintRect(area);
  ForeColor(1);
  Custom_Cursor_Paint(area);
}

class EditCursors : public ::testing::Test {
 protected:
  a_win_info_rec info_{nullptr, Paint_White, MAIN_KIND, {}};

  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Resources_Init();
    wintest::Init_Window_Layer();
    SysCurs_Init();
    Cursor_Init();
    Brush_Init();
    gs.outer_window = New_Window(Rect{100, 100, 500, 600}, "main", true, 8, nullptr, nullptr, &info_);
    ASSERT_NE(gs.outer_window, nullptr);
    // One view over most of the window at zoom 4, a document open.
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{4, 1}, 1, Rect{0, 0, 300, 400}};
    g_doc.doc_open = true;
    gs.tool_net = BRUSH_TOOL;
    UpdateWindow(gs.outer_window);
    g_painted.clear();
  }
  void TearDown() override {
    Cursor_Stop();
    Brush_Stop();
    g_doc.doc_open = false;
    gs.outer_window = nullptr;
    g_painted.clear();
    wintest::Clear_Port_State();
    wintest::Stop_Headless_Host();
  }

  // The main window's pixels (BGR without alpha).
  struct Window_Pixels {
    std::vector<uint32> px;
    int32 w = 0, h = 0;
    Window_Pixels() { EXPECT_TRUE(Host_Window_Compose(gs.outer_window, px, w, h)); }
    uint32 At(int x, int y) const {
      if (x < 0 || y < 0 || x >= w || y >= h) return 0xDEADBEEF;
      return px[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF;
    }
  };
  static uint32 Px(int h, int v) { return Window_Pixels().At(h, v); }
  // The pixels of r that are black.
  static int Black_In(const Rect& r) {
    const Window_Pixels p;
    int n = 0;
    for (int v = r.top; v < r.bottom; ++v)
      for (int h = r.left; h < r.right; ++h) n += p.At(h, v) == kBlack;
    return n;
  }
  static a_mousestroke Hover(int16 h, int16 v, a_keymod_set mods = 0) {
    a_mousestroke s{};
    s.window = gs.outer_window;
    s.lmouse = Point{v, h};
    s.mods = mods;
    return s;
  }
  // The brush region of shape `shape`: a plus of three by three cells.
  static void Plus_Brush(int16 shape) {
    gs.grid_vals[BRUSH_SHAPE_GRID] = shape;
    b_cache.brush_rgn_tool = BRUSH_TOOL;
    b_cache.brush_rgn_id = shape;
    RgnHandle arm = NewRgn();
    RectRgn(b_cache.brush_rgn, Rect{0, 1, 3, 2});
    RectRgn(arm, Rect{1, 0, 2, 3});
    UnionRgn(b_cache.brush_rgn, arm, b_cache.brush_rgn);
    DisposeRgn(arm);
  }
};

enum an_outline { NONE, STAMP, ERASER, CROSS };

struct EditCase {
  const char* what;
  a_tool tool;
  a_cursor_shape shape;
  an_outline outline;
  bool tiny_option = false;
  int16 marquee = 0;
  int16 eraser = 8;
  int16 zoom = 1;
  bool ctrl = false;
  bool stencil = false;
};

TEST_F(EditCursors, EachToolHasItsCursor) {
  const EditCase cases[] = {
      {"brush", BRUSH_TOOL, BRUSH_CURSOR, STAMP},
      {"eraser, largest square", ERASER_TOOL, ARROW_CURSOR, ERASER, false, 0, 8},
      {"eraser, choice past the squares", ERASER_TOOL, CROSSHAIR_CURSOR, NONE, false, 0, 9},
      {"spray", SPRAY_TOOL, SPRAY_CURSOR, NONE},
      {"polygon", SPOLYGON_TOOL, CROSSHAIR_CURSOR, NONE},
      {"line", LINE_TOOL, CROSSHAIR_CURSOR, NONE},
      {"solid oval", SOVAL_TOOL, CROSSHAIR_CURSOR, NONE},
      {"solid oval, tiny cursor", SOVAL_TOOL, TINY_CURSOR, CROSS, true},
      {"solid rectangle", SRECT_TOOL, CROSSHAIR_CURSOR, NONE},
      {"solid rectangle, tiny cursor", SRECT_TOOL, TINY_CURSOR, CROSS, true},
      {"hollow oval", FOVAL_TOOL, CROSSHAIR_CURSOR, NONE},
      {"hollow oval, tiny cursor", FOVAL_TOOL, TINY_CURSOR, CROSS, true},
      {"hollow rectangle", FRECT_TOOL, CROSSHAIR_CURSOR, NONE},
      {"hollow rectangle, tiny cursor", FRECT_TOOL, TINY_CURSOR, CROSS, true},
      {"solid arc", SFURTER_TOOL, ARROW_CURSOR, NONE, true},
      {"hollow arc", FFURTER_TOOL, ARROW_CURSOR, NONE, true},
      {"grabber", GRABBER_TOOL, GRABBER_CURSOR, NONE},
      {"stamp", STAMP_TOOL, ARROW_CURSOR, STAMP},
      {"stamp, stencil on", STAMP_TOOL, BLINKS_CURSOR, STAMP, false, 0, 8, 1, false, true},
      {"rectangle marquee", SELECT_TOOL, TINY_CURSOR, CROSS, false, 0},
      {"oval marquee", SELECT_TOOL, TINY_CURSOR, CROSS, false, 1},
      {"lasso marquee", SELECT_TOOL, CROSSHAIR_CURSOR, NONE, false, 2},
      {"bucket", BUCKET_TOOL, BUCKET_CURSOR, NONE},
      {"eyedropper", DROPPER_TOOL, EYEDROPPER_CURSOR, NONE},
      {"symmetry", SYMMETRY_TOOL, CENTER_CURSOR, NONE},
      {"zoom in at the smallest", ZOOM_TOOL, ZOOMPLUS_CURSOR, NONE, false, 0, 8, 0, false},
      {"zoom in at the largest", ZOOM_TOOL, ZOOMEQUAL_CURSOR, NONE, false, 0, 8, 4, false},
      {"zoom out at the smallest", ZOOM_TOOL, ZOOMEQUAL_CURSOR, NONE, false, 0, 8, 0, true},
      {"zoom out at the largest", ZOOM_TOOL, ZOOMMINUS_CURSOR, NONE, false, 0, 8, 4, true},
      {"zoom in between", ZOOM_TOOL, ZOOMPLUS_CURSOR, NONE, false, 0, 8, 2, false},
      {"zoom out between", ZOOM_TOOL, ZOOMMINUS_CURSOR, NONE, false, 0, 8, 2, true},
      {"text", TEXT_TOOL, ARROW_CURSOR, NONE},
      {"photo", PHOTO_TOOL, ARROW_CURSOR, NONE},
      {"pack", PACK_TOOL, ARROW_CURSOR, NONE},
      {"brush line", BRUSHLINE_TOOL, ARROW_CURSOR, NONE},
      {"eraser line", ERASERLINE_TOOL, ARROW_CURSOR, NONE},
      {"none", NULL_TOOL, ARROW_CURSOR, NONE},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.what);
    gs.pref.tinycurs_option = c.tiny_option;
    gs.grid_vals[MARQ_KIND_GRID] = c.marquee;
    gs.grid_vals[ERASER_GRID] = c.eraser;
    gs.grid_vals[ZOOM_GRID] = c.zoom;
    gs.toggle_vals[STENCIL_TOGGLE] = c.stencil;
    Calc_Edit_Cursor(1, Hover(120, 80, c.ctrl ? Keymod_Bit(OPTIONKEY) : 0), c.tool);
    const a_cursor_spec& s = g_curr_cursor;
    EXPECT_EQ(s.shape, c.shape);
    EXPECT_EQ(gcurs.class_, g_cursor_desc[c.shape].class_);
    EXPECT_EQ(gcurs.id, g_cursor_desc[c.shape].id);
    EXPECT_EQ(bool(s.cross_visible), c.outline == CROSS);
    EXPECT_EQ(bool(s.brush_visible), c.outline == STAMP || c.outline == ERASER);
    if (c.outline == STAMP) {
      EXPECT_EQ(s.brush_drawproc, &Draw_Stamp_Cursor);
    } else if (c.outline == ERASER) {
      EXPECT_EQ(s.brush_drawproc, &Draw_Eraser_Cursor);
    }
    if (c.outline != NONE) {
      EXPECT_TRUE(EqualPt(s.brush_center, Point{80, 120}));
    }
    Cursor_Arrow();
    EXPECT_FALSE(g_curr_cursor.brush_visible || g_curr_cursor.cross_visible);
  }
  // Every line and outline came off again: the window is white.
  EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 0);
}

// The eraser's square: 3 cells at zoom 4 are 12 pixels around the mouse,
// framed inverted. The same outline at the same centre is not drawn again
// (drawn twice inverted, it would vanish) unless marked dirty; a move takes
// the old one off by painting the window under it; leaving for a panel takes
// it off.
TEST_F(EditCursors, TheSameOutlineAtTheSameCentreIsDrawnOnlyWhenDirty) {
  gs.grid_vals[ERASER_GRID] = 2;
  Calc_Edit_Cursor(1, Hover(100, 100), ERASER_TOOL);
  const Rect box{94, 94, 106, 106};
  EXPECT_TRUE(EqualRect(g_curr_cursor.brush_bounds, box));
  EXPECT_EQ(Black_In(box), 44) << "a frame one pixel wide";
  EXPECT_EQ(Px(94, 94), kBlack);
  EXPECT_EQ(Px(105, 105), kBlack);
  EXPECT_EQ(Px(100, 100), kWhite);
  EXPECT_EQ(Px(93, 100), kWhite);
  EXPECT_TRUE(g_painted.empty());

  Calc_Edit_Cursor(1, Hover(100, 100), ERASER_TOOL);
  EXPECT_TRUE(g_painted.empty());
  EXPECT_EQ(Black_In(box), 44);

  g_cursor_dirty = true;
  Calc_Edit_Cursor(1, Hover(100, 100), ERASER_TOOL);
  EXPECT_FALSE(g_cursor_dirty);
  ASSERT_EQ(g_painted.size(), 1u);
  EXPECT_TRUE(EqualRect(g_painted[0], box));
  EXPECT_EQ(Black_In(box), 44);

  // Another size at the same centre is another outline: marked dirty by
  // whoever changed it.
  gs.grid_vals[ERASER_GRID] = 8;
  g_cursor_dirty = true;
  Calc_Edit_Cursor(1, Hover(100, 100), ERASER_TOOL);
  EXPECT_EQ(Black_In(Rect{70, 70, 130, 130}), 4 * 60 - 4) << "15 cells are 60 pixels";

  g_painted.clear();
  Calc_Edit_Cursor(1, Hover(200, 150), ERASER_TOOL);
  ASSERT_EQ(g_painted.size(), 1u);
  EXPECT_TRUE(EqualRect(g_painted[0], Rect{70, 70, 130, 130}));
  EXPECT_EQ(Black_In(Rect{70, 70, 130, 130}), 0);
  EXPECT_EQ(Black_In(Rect{120, 170, 180, 230}), 236);

  Cursor_Set_Shape(FINGER_CURSOR);
  EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 0);
  EXPECT_FALSE(g_curr_cursor.brush_visible);
  EXPECT_EQ(gcurs.id, g_cursor_desc[FINGER_CURSOR].id);
}

// The brush's outline follows its shape (a plus: the corners of its box
// stay white), and the busy cursor pushed over it and popped brings back the
// same cursor, outline included.
TEST_F(EditCursors, PushWatchThenPopRestoresTheCursorAndItsOutline) {
  Plus_Brush(9);
  Calc_Edit_Cursor(1, Hover(200, 100), BRUSH_TOOL);
  const a_cursor_spec before = g_curr_cursor;
  const Rect box{94, 194, 106, 206};
  ASSERT_TRUE(before.brush_visible);
  EXPECT_TRUE(EqualRect(before.brush_bounds, box));
  const int frame = Black_In(box);
  EXPECT_GT(frame, 0);
  EXPECT_EQ(Px(194, 94), kWhite) << "a corner outside the plus";
  EXPECT_EQ(Px(198, 94), kBlack) << "the top of the upright arm";
  EXPECT_EQ(Px(200, 100), kWhite) << "inside";
  const HostShownCursor brush = Shown();

  Cursor_Push_Watch();
  EXPECT_EQ(Shown().system_id, IDC_WAIT);
  EXPECT_EQ(Black_In(box), 0);
  Cursor_Pop();
  EXPECT_EQ(g_cursor_nstack, 0);
  const a_cursor_spec& after = g_curr_cursor;
  EXPECT_EQ(after.shape, BRUSH_CURSOR);
  EXPECT_TRUE(after.brush_visible);
  EXPECT_TRUE(EqualPt(after.brush_center, before.brush_center));
  EXPECT_EQ(after.brush_drawproc, before.brush_drawproc);
  EXPECT_TRUE(EqualRect(after.brush_bounds, box));
  EXPECT_EQ(Black_In(box), frame);
  EXPECT_EQ(Px(194, 94), kWhite);
  EXPECT_EQ(Px(198, 94), kBlack);
  EXPECT_EQ(Shown().bgra, brush.bgra);

  // Until the brush region is made for the shape chosen there is nothing to
  // outline.
  gs.grid_vals[BRUSH_SHAPE_GRID] = 3;
  g_cursor_dirty = true;
  Calc_Edit_Cursor(1, Hover(200, 100), BRUSH_TOOL);
  EXPECT_TRUE(EmptyRect(g_curr_cursor.brush_bounds));
  EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 0);
}

// Crosshair lines run across every view shown through the mouse, inverted
// (the pixel where they cross is inverted once); they move with the mouse
// and come off without a repaint.
TEST_F(EditCursors, CrosshairLinesCrossEveryViewAndComeOffAgain) {
  gs.nviews = 2;
  gs.views[0].bounds = Rect{0, 0, 300, 200};
  gs.views[1] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 200, 300, 400}};
  gs.grid_vals[MARQ_KIND_GRID] = 0;
  Calc_Edit_Cursor(1, Hover(50, 100), SELECT_TOOL);
  ASSERT_TRUE(g_curr_cursor.cross_visible);
  EXPECT_EQ(Black_In(Rect{0, 50, 300, 51}), 300) << "the vertical line down view 1";
  EXPECT_EQ(Black_In(Rect{100, 0, 101, 400}), 400) << "the horizontal line across both views";
  EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 699);
  EXPECT_EQ(Px(50, 100), kBlack);
  EXPECT_EQ(Black_In(Rect{300, 0, 400, 500}), 0) << "nothing outside the views";

  Calc_Edit_Cursor(1, Hover(60, 120), SELECT_TOOL);
  EXPECT_EQ(Black_In(Rect{0, 50, 300, 51}), 1) << "only where the new horizontal line crosses";
  EXPECT_EQ(Black_In(Rect{0, 60, 300, 61}), 300);
  EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 699);

  Cursor_HideCustom();
  EXPECT_EQ(g_curr_cursor.shape, TINY_CURSOR);
  EXPECT_FALSE(g_curr_cursor.cross_visible);
  EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 0);
  EXPECT_TRUE(g_painted.empty());
}

// After the window is painted again over part of an outline or of the
// lines, what was painted over is drawn back, and only that: the rest stays
// as it was (inverted once).
TEST_F(EditCursors, AfterARepaintThePaintedPartIsDrawnBack) {
  gs.grid_vals[ERASER_GRID] = 2;
  Calc_Edit_Cursor(1, Hover(100, 100), ERASER_TOOL);
  const Rect box{94, 94, 106, 106};
  for (const Rect& r : {Rect{90, 90, 100, 130}, Rect{0, 0, 300, 400}, Rect{200, 200, 250, 250}}) {
    const RECT wr{r.left, r.top, r.right, r.bottom};
    InvalidateRect(gs.outer_window, &wr, false);
    UpdateWindow(gs.outer_window);
    EXPECT_EQ(Black_In(box), 44);
    EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 44);
  }
  // The same when the view is copied to the window outside a paint.
  const Rect part{90, 90, 100, 130};
  Push_Window(gs.outer_window);
  RGBForeColor(RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
  PaintRect(part);
  ForeColor(1);
  Pop_Window();
  EXPECT_LT(Black_In(box), 44);
  Custom_Cursor_Paint(part);
  EXPECT_EQ(Black_In(box), 44);
  EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 44);

  Cursor_Arrow();
  gs.pref.tinycurs_option = true;
  Calc_Edit_Cursor(1, Hover(50, 100), FRECT_TOOL);
  ASSERT_TRUE(g_curr_cursor.cross_visible);
  const RECT top{0, 0, 400, 40};
  InvalidateRect(gs.outer_window, &top, false);
  UpdateWindow(gs.outer_window);
  EXPECT_EQ(Black_In(Rect{0, 50, 300, 51}), 300);
  EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 699);
  Cursor_Arrow();
  EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 0);
}

// Without a document there is no view to draw into: the shape is shown,
// nothing is drawn and nothing is marked shown.
TEST_F(EditCursors, WithoutADocumentOnlyTheShapeIsShown) {
  g_doc.doc_open = false;
  gs.grid_vals[ERASER_GRID] = 2;
  Calc_Edit_Cursor(1, Hover(100, 100), ERASER_TOOL);
  EXPECT_FALSE(g_curr_cursor.brush_visible);
  gs.pref.tinycurs_option = true;
  Calc_Edit_Cursor(1, Hover(100, 100), SRECT_TOOL);
  EXPECT_EQ(g_curr_cursor.shape, TINY_CURSOR);
  EXPECT_EQ(gcurs.id, g_cursor_desc[TINY_CURSOR].id);
  EXPECT_FALSE(g_curr_cursor.cross_visible);
  EXPECT_EQ(Black_In(Rect{0, 0, 400, 500}), 0);
  EXPECT_TRUE(g_painted.empty());
}

}  // namespace
