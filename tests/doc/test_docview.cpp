// The document view in a headless main window (the pasteboard round the
// unit, the unit's layer, the grid with its darker origin lines, dashes and
// opacity), the print preview's mappings, hit-testing and print marks, and
// the examples browser's list and layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "FontTestSupport.h"
#include "SoundTestSupport.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "host/HostScript.h"
#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrev.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "doc/VoskShap.h"
#include "doc/VoskUndo.h"
#include "objects/VoskAtom.h"
#include "objects/VoskBlok.h"
#include "objects/VoskText.h"
#include "pixel/OPUtil.h"
#include "platform/QDRect.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysSound.h"
#include "platform/VoskErr.h"
#include "platform/WinTestSupport.h"
#include "ui/VoskBar.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

namespace fs = std::filesystem;

constexpr float kMMPerPixel = 0.0846667f;  // one cell at 300 dpi
constexpr uint32 kPasteboard = 0x00A5A5A5u;
constexpr uint32 kPaint = 0x00C81E32u;  // the paint on the unit's left half
constexpr uint8 kGrid = 60;             // the grid's grey (its origin lines 40)

a_unit Unit(uint8 kind, float left, float top, int w, int h) {
  a_unit u{};
  u.kind = kind;
  u.bbox = a_frect{left, top, left + float(w) * kMMPerPixel, top + float(h) * kMMPerPixel};
  return u;
}

a_template Layout(std::initializer_list<a_unit> units, uint32 tflags = 0) {
  a_template x{};
  std::strcpy(x.label, "View sheet");
  x.papersize = {215.9f, 279.4f};
  x.tflags = tflags;
  for (const a_unit& u : units) x.units[x.nunits++] = u;
  return x;
}

uint32 Grey(int g) { return uint32(g) << 16 | uint32(g) << 8 | uint32(g); }
int Channel(uint32 c, int shift) { return int((c >> shift) & 0xFF); }
// a over b at level (of 255).
uint32 Over(uint32 a, uint32 b, int level) {
  uint32 c = 0;
  for (int s : {0, 8, 16}) c |= uint32((Channel(a, s) * level + Channel(b, s) * (255 - level)) / 255) << s;
  return c;
}
bool Near(uint32 a, uint32 b) {
  for (int s : {0, 8, 16})
    if (std::abs(Channel(a, s) - Channel(b, s)) > 1) return false;
  return true;
}

class DocView : public ::testing::Test {
 protected:
  a_win_info_rec info_{nullptr, nullptr, MAIN_KIND, {}};

  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Resources_Init();
    wintest::Init_Window_Layer();
    doctests::Start_Document_Modules();
    gs.controller = HUMAN;
    gs.tool_show = false;
    gs.curr_phase = NODOC_PHASE;
    g_ed = a_edit_rec{};
    gs.outer_window = New_Window(Rect{40, 40, 640, 840}, "main", true, 8, nullptr, nullptr, &info_);
    ASSERT_NE(gs.outer_window, nullptr);
  }
  void TearDown() override {
    g_ed = a_edit_rec{};
    Free_Cached_Unit();
    doctests::Close_Document();
    Host_Script_Reset();
    gs.outer_window = nullptr;
    wintest::Clear_Port_State();
    wintest::Stop_Headless_Host();
  }

  // A document on x with unit 1 current, view 1 over (0, 0, 400, 640) at
  // 1:1 showing cell (0, 0) at (60, 50).
  a_doc_unit* Open(const a_template& x) {
    EXPECT_TRUE(Doc_New(x));
    Select_Doc_Unit(1);
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{-50, -60}, a_ratio{1, 1}, 1, Rect{0, 0, 400, 640}};
    gs.curr_phase = CANVAS_PHASE;
    return g_doc.up;
  }

  // The unit's paint layer: its left half painted.
  static void Paint_Left_Half(a_doc_unit* u) {
    Sync_Existence(true, u, PAINT1_LAYER);
    a_cached_gworld& paint = u->statics[PAINT1_LAYER];
    ASSERT_NE(paint.world, nullptr);
    ASSERT_NE(paint.mask, nullptr);
    Push_GWorld(paint.world);
    SetForeColor(0xC8, 0x1E, 0x32);
    PaintRect(Rect{0, 0, u->paintbounds.bottom, int16(u->paintbounds.right / 2)});
    Pop_GWorld();
    Push_GWorld(paint.mask);
    SetForeColor8(0);
    PaintRect(Rect{0, 0, u->paintbounds.bottom, int16(u->paintbounds.right / 2)});
    Pop_GWorld();
    u->paintinuse = true;
    Unit_PostRender(u);
  }

  struct Window_Pixels {
    std::vector<uint32> px;
    int32 w = 0, h = 0;
    Window_Pixels() { EXPECT_TRUE(Host_Window_Compose(gs.outer_window, px, w, h)); }
    uint32 At(int x, int y) const {
      if (x < 0 || y < 0 || x >= w || y >= h) return 0xDEADBEEF;
      return px[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF;
    }
  };

  // The merged layer's pixel at cell (h, v) (zoom 1: cells are its pixels).
  static uint32 Layer_At(int h, int v) {
    Rect rect;
    GWorldPtr world = nullptr;
    Current_Unit_Merge_Check(rect, world);
    if (world == nullptr) return 0xDEADBEEF;
    const PixMap& p = world->pix;
    return reinterpret_cast<uint32*>(p.baseAddr + size_t(v) * PixMap_RowBytes(p))[h] & 0xFFFFFF;
  }
};

// --- The document view -----------------------------------------------------------------

TEST_F(DocView, PasteboardOutsideTheUnitAndItsLayerInside) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 10, 10, 300, 200)}));
  ASSERT_NE(u, nullptr);
  ASSERT_EQ(u->paintbounds.right, 300);
  ASSERT_EQ(u->paintbounds.bottom, 200);
  Paint_Left_Half(u);
  gs.toggle_vals[GRIDLINES_TOGGLE] = false;
  Edit1_PaintAll();
  const Window_Pixels p;
  // Grey 165 in each band round the unit (at (60, 50) .. (360, 250)).
  for (const Point pt : {Point{10, 10}, Point{49, 200}, Point{250, 200}, Point{100, 59}, Point{100, 360},
                         Point{399, 639}})
    EXPECT_EQ(p.At(pt.h, pt.v), kPasteboard) << pt.h << "," << pt.v;
  // Inside, the layer: paint on the left, the white canvas on the right.
  EXPECT_EQ(p.At(60, 50), kPaint);
  EXPECT_EQ(p.At(209, 249), kPaint);
  EXPECT_EQ(p.At(359, 249), Layer_At(299, 199));
  EXPECT_EQ(p.At(300, 100), Layer_At(240, 50));
  EXPECT_NE(p.At(300, 100), kPaint);
  EXPECT_TRUE(EmptyRect(u->refresh_dirty));
}

struct GridCase {
  const char* what;
  int16 horz, vert, dash, opacity;
};

TEST_F(DocView, GridLinesAtTheComputedStepsWithADarkerOrigin) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 10, 10, 300, 200)}));
  ASSERT_NE(u, nullptr);
  Paint_Left_Half(u);
  gs.pref.gridlines_color = a_win_pixel32{kGrid, kGrid, kGrid, 0};
  gs.toggle_vals[GRIDLINES_TOGGLE] = true;
  u->ruler_origin = Point{80, 110};  // v 80, h 110
  const GridCase cases[] = {
      {"two a side, solid, opaque", 2, 2, 10, 100},
      {"three across, one down, solid, opaque", 3, 1, 10, 100},
      {"half opaque", 2, 2, 10, 50},
      {"dashes of 4", 2, 2, 4, 100},
  };
  for (const GridCase& c : cases) {
    SCOPED_TRACE(c.what);
    gs.slider_vals[GRIDLINES_HORZ_SLIDER] = c.horz;
    gs.slider_vals[GRIDLINES_VERT_SLIDER] = c.vert;
    gs.slider_vals[GRIDLINES_DASH_SLIDER] = c.dash;
    gs.slider_vals[GRIDLINES_OPACITY_SLIDER] = c.opacity;
    Edit1_PaintAll();
    const Window_Pixels p;
    const double stepx = 300.0 / (2 * c.horz), stepy = 200.0 / (2 * c.vert);
    const int normal = c.opacity * 255 / 100, darker = std::min(c.opacity + 20, 100) * 255 / 100;
    // Each vertical line's pixels down the unit: the grey over the layer
    // (dashes: only the first dash of each ten pixels from the unit's top).
    int lines = 0;
    for (int k = -10; k <= 10; ++k) {
      const int cell = int(std::floor(110 + k * stepx));
      if (cell < 0 || cell >= 300) continue;
      ++lines;
      const uint32 colour = k == 0 ? Grey(kGrid - 20) : Grey(kGrid);
      const int level = k == 0 ? darker : normal;
      for (const int v : {3, 7, 12, 150}) {
        if (v == 80 || (v - 80) % int(stepy) == 0) continue;  // crossings
        if (std::abs(v - 80) <= 1 && k == 0) continue;         // the origin's square
        const bool dash_on = c.dash >= 10 || v % 10 < c.dash;
        const uint32 under = Layer_At(cell, v);
        const uint32 want = dash_on ? Over(colour, under, level) : under;
        EXPECT_TRUE(Near(p.At(60 + cell, 50 + v), want))
            << "line " << k << " at cell " << cell << ", row " << v << ": " << std::hex << p.At(60 + cell, 50 + v)
            << " want " << want;
      }
      // Beside the line, the layer.
      if (cell + 1 < 300 && std::fmod(cell + 1 - 110, stepx) != 0) {
        EXPECT_EQ(p.At(60 + cell + 1, 50 + 13), Layer_At(cell + 1, 13)) << "beside line " << k;
      }
    }
    EXPECT_EQ(lines, int(std::floor(110 / stepx)) + int(std::floor((299 - 110) / stepx)) + 1);
    // A horizontal line through the origin is darker, its neighbours plain.
    for (int k = -3; k <= 3; ++k) {
      const int cell = int(std::floor(80 + k * stepy));
      if (cell < 0 || cell >= 200) continue;
      const int h = 250;  // on the white half, away from the vertical lines
      if (std::fmod(std::abs(h - 110), stepx) == 0) continue;
      const bool dash_on = c.dash >= 10 || h % 10 < c.dash;
      const uint32 want = dash_on ? Over(k == 0 ? Grey(kGrid - 20) : Grey(kGrid), Layer_At(h, cell),
                                         k == 0 ? darker : normal)
                                  : Layer_At(h, cell);
      EXPECT_TRUE(Near(p.At(60 + h, 50 + cell), want)) << "row line " << k;
    }
    // The origin's 3 x 3 square is the darker grey; the pasteboard round
    // the unit has no lines.
    EXPECT_TRUE(Near(p.At(60 + 111, 50 + 81), Over(Grey(kGrid - 20), Layer_At(111, 81), darker)));
    EXPECT_EQ(p.At(60 + 110, 30), kPasteboard);
    EXPECT_EQ(p.At(40, 50 + 80), kPasteboard);
  }
}

TEST_F(DocView, DrawingIsForTheShownViewOnly) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 10, 10, 300, 200)}));
  ASSERT_NE(u, nullptr);
  Paint_Left_Half(u);
  // In the preview the document view is not shown: Doc_Draw leaves the
  // window as it was.
  gs.curr_phase = PREVIEW_PHASE;
  EXPECT_FALSE(Is_Doc_View_Shown());
  Doc_Draw(u->paintbounds);
  EXPECT_NE(Window_Pixels().At(100, 100), kPaint);
  gs.curr_phase = CANVAS_PHASE;
  EXPECT_TRUE(Is_Doc_View_Shown());
  Doc_Draw(Rect{0, 0, 10, 10});
  const Window_Pixels p;
  EXPECT_EQ(p.At(62, 52), kPaint);
  EXPECT_NE(p.At(100, 100), kPaint);  // outside what was drawn
}

TEST_F(DocView, DarkerColoursAndThePaperRect) {
  a_win_pixel32 out{};
  Calc_Darker_Color(a_win_pixel32{10, 200, 20, 7}, out);
  EXPECT_EQ(out.r, 0);
  EXPECT_EQ(out.g, 180);
  EXPECT_EQ(out.b, 0);
  a_template x = Layout({Unit(UNIT_RECT, 10, 10, 100, 100)});
  a_frect r;
  Calc_Paper_Rect(x, r);
  EXPECT_FLOAT_EQ(r.right, 215.9f);
  EXPECT_FLOAT_EQ(r.bottom, 279.4f);
  x.tflags = 1u << IS_LANDSCAPE;
  Calc_Paper_Rect(x, r);
  EXPECT_FLOAT_EQ(r.right, 279.4f);
  EXPECT_FLOAT_EQ(r.bottom, 215.9f);
}

// --- Keys ----------------------------------------------------------------------------------

TEST_F(DocView, KeysOfTheDocument) {
  soundtest::SoundRecorder sounds;
  const a_keystroke left{uint8(VK_LEFT), 0, 126, 0};
  EXPECT_FALSE(Doc_KeyDown(left));  // no document
  Open(Layout({Unit(UNIT_RECT, 10, 10, 300, 200)}));
  gs.curr_phase = PREVIEW_PHASE;
  EXPECT_FALSE(Doc_KeyDown(left));
  EXPECT_FALSE(Doc_KeyDown(a_keystroke{0, 'x', 'x', 0}));
  // Nudging in a selection phase is taken (with nothing selected it is
  // refused).
  gs.curr_phase = SYMBOL_PHASE;
  sounds.Clear();
  EXPECT_TRUE(Doc_KeyDown(left));
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
  // Tab cycles the selection: fewer than two symbols, sound 136.
  sounds.Clear();
  EXPECT_TRUE(Doc_KeyDown(a_keystroke{9, 9, 9, 0}));
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
  // "+" only where it sizes something.
  gs.curr_phase = CANVAS_PHASE;
  EXPECT_FALSE(Doc_KeyDown(a_keystroke{0, '+', '+', 0}));
  // Shift and an arrow scroll the view's focus a line (an eighth of the
  // view) in the painting and editing phases.
  SV_Init();
  gs.curr_phase = PAINT_PHASE;
  gs.view_focus = Point{100, 150};
  int16 dx = 0, dy = 0;
  CalcScrollDelta(false, dx, dy);
  ASSERT_GT(dx, 0);
  ASSERT_GT(dy, 0);
  const a_keymod_set shift = Keymod_Bit(SHIFTKEY);
  EXPECT_TRUE(Doc_KeyDown(a_keystroke{uint8(VK_LEFT), 0, 126, shift}));
  EXPECT_EQ(gs.view_focus.h, 150 - dx);
  EXPECT_TRUE(Doc_KeyDown(a_keystroke{uint8(VK_DOWN), 0, 126, shift}));
  EXPECT_EQ(gs.view_focus.v, 100 + dy);
  // Not in the preview.
  gs.curr_phase = PREVIEW_PHASE;
  EXPECT_FALSE(Doc_KeyDown(a_keystroke{uint8(VK_DOWN), 0, 126, shift}));
  EXPECT_EQ(gs.view_focus.v, 100 + dy);
}

// --- The print preview -------------------------------------------------------------------

TEST_F(DocView, PreviewMappingsFitThePaperOrTheDisc) {
  const Rect avail{0, 0, 400, 300};
  a_coord_mapping m;
  a_frect fused;
  a_template page = Layout({Unit(UNIT_RECT, 10, 10, 300, 200), Unit(UNIT_RECT, 10, 100, 300, 200)});
  EXPECT_FALSE(Is_Skipping_Paper_Display(page, true));
  PrintPreview_Calc_Mapping(page, avail, false, m, fused);
  EXPECT_FLOAT_EQ(fused.right, 215.9f);
  EXPECT_FLOAT_EQ(fused.bottom, 279.4f);
  // The paper's width fills the 300 pixels (it is the narrower fit).
  EXPECT_EQ(m.netbox.right - m.netbox.left, 300);
  EXPECT_LE(m.netbox.bottom - m.netbox.top, 400);
  // A page that shows no paper fits its first unit grown by 2 mm.
  page.tflags = 1u << IS_SHOWNOPAPER;
  EXPECT_TRUE(Is_Skipping_Paper_Display(page, false));
  PaperEcho_Calc_Mapping(page, avail, m, fused);
  EXPECT_NEAR(fused.left, 8.0f, 1e-4);
  EXPECT_NEAR(fused.right, 10 + 300 * kMMPerPixel + 2, 1e-3);
  // A one-unit disc-printer layout skips its paper only when asked.
  a_template disc = Layout({Unit(UNIT_CD, 10, 10, 1417, 1417)}, 1u << IS_CDPRINTER);
  EXPECT_FALSE(Is_Skipping_Paper_Display(disc, false));
  EXPECT_TRUE(Is_Skipping_Paper_Display(disc, true));
  disc.units[disc.nunits++] = disc.units[0];
  EXPECT_FALSE(Is_Skipping_Paper_Display(disc, true));
}

// The pointer resting on one spot of the preview while the layout under it
// changes: the unit's own shape decides, not the one it had a tick before.
// A rectangle and a disc in the same box differ at the disc's hole.
TEST_F(DocView, PreviewHitFollowsTheLayoutUnderAStillPointer) {
  a_unit disc = Unit(UNIT_CD, 20, 20, 1200, 1200);
  disc.meas[0] = 41;  // the hole, mm
  const a_unit rect = Unit(UNIT_RECT, 20, 20, 1200, 1200);
  Open(Layout({rect}));
  gs.curr_phase = PREVIEW_PHASE;
  a_coord_mapping m;
  PrintPreview_Main_Mapping(m);
  Point mid;
  Map_FPoint_With(m, a_fpoint{(rect.bbox.left + rect.bbox.right) / 2, (rect.bbox.top + rect.bbox.bottom) / 2}, mid);
  for (const bool want : {true, false, true, false}) {
    SCOPED_TRACE(want);
    Open(Layout({want ? rect : disc}));
    gs.curr_phase = PREVIEW_PHASE;
    uint32 ux = 0;
    EXPECT_EQ(bool(PrintPreview_Find(mid, ux)), want);
    EXPECT_EQ(ux, want ? 1u : 0u);
  }
}

TEST_F(DocView, PressesInThePreviewJumpAndToggleMarks) {
  soundtest::SoundRecorder sounds;
  Open(Layout({Unit(UNIT_RECT, 20, 20, 600, 400), Unit(UNIT_RECT, 20, 120, 600, 400)}));
  gs.curr_phase = PREVIEW_PHASE;
  ASSERT_TRUE(Doc_Unit(1)->printf);
  ASSERT_TRUE(Doc_Unit(2)->printf);
  // The units' centres under the main window's mapping.
  a_coord_mapping m;
  PrintPreview_Main_Mapping(m);
  auto centre = [&](uint32 ux) {
    const a_unit& u = g_doc.doc_template.units[ux - 1];
    Point pt;
    Map_FPoint_With(m, a_fpoint{(u.bbox.left + u.bbox.right) / 2, (u.bbox.top + u.bbox.bottom) / 2}, pt);
    return pt;
  };
  uint32 ux = 0;
  EXPECT_TRUE(PrintPreview_Find(centre(2), ux));
  EXPECT_EQ(ux, 2u);
  EXPECT_FALSE(PrintPreview_Find(Point{2, 2}, ux));
  {
    // Discs: the check box over the hole belongs to its disc; the hole
    // outside the box does not.
    a_unit disc1 = Unit(UNIT_CD, 20, 20, 1200, 1200), disc2 = Unit(UNIT_CD, 20, 150, 1200, 1200);
    disc1.meas[0] = disc2.meas[0] = 41;  // the hole, mm
    Open(Layout({disc1, disc2}));
    PrintPreview_Main_Mapping(m);
    EXPECT_TRUE(PrintPreview_Find(centre(2), ux));
    EXPECT_EQ(ux, 2u);
    const a_unit& u1 = g_doc.doc_template.units[0];
    Point tl, br;
    Map_FPoint_With(m, a_fpoint{u1.bbox.left, u1.bbox.top}, tl);
    Map_FPoint_With(m, a_fpoint{u1.bbox.right, u1.bbox.bottom}, br);
    Rect badge;
    Calc_Checkbox_Bounds(Rect{tl.v, tl.h, br.v, br.h}, badge);
    ASSERT_GT(br.v - tl.v, 3 * (badge.bottom - badge.top));  // the hole reaches past the box
    const Point hole_outside_box{int16(centre(1).v + (badge.bottom - badge.top)), centre(1).h};
    EXPECT_FALSE(PrintPreview_Find(hole_outside_box, ux));
    Open(Layout({Unit(UNIT_RECT, 20, 20, 600, 400), Unit(UNIT_RECT, 20, 120, 600, 400)}));
    gs.curr_phase = PREVIEW_PHASE;
    PrintPreview_Main_Mapping(m);
  }
  auto press = [&](Point pt) {
    a_mousestroke s{};
    s.window = gs.outer_window;
    s.lmouse = pt;
    s.button1 = true;
    pending_op = OP_NOP;
    sounds.Clear();
    PrintPreview_MouseDown(s);
  };
  // On nothing: refused.
  press(Point{2, 2});
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
  // On another unit: it becomes current, its mark stays.
  press(centre(2));
  EXPECT_EQ(g_doc.upx, 2u);
  EXPECT_TRUE(Doc_Unit(2)->printf);
  EXPECT_EQ(pending_op, OP_NOP);
  // On the current one: its mark toggles, a history step is pending.
  press(centre(2));
  EXPECT_FALSE(Doc_Unit(2)->printf);
  EXPECT_TRUE(Doc_Unit(1)->printf);
  EXPECT_EQ(pending_op, OP_TOGGLEPRINT);
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_SUBTOOL_ONESHOT});
  // Select all marks the unmarked one; select none clears both.
  PrintPreview_Select_All();
  EXPECT_TRUE(Doc_Unit(2)->printf);
  PrintPreview_Select_None();
  EXPECT_FALSE(Doc_Unit(1)->printf);
  EXPECT_FALSE(Doc_Unit(2)->printf);
  // The window shows the preview: white paper, the pasteboard round it.
  PrintPreview_Paint(gs.views[0].bounds);
  const Window_Pixels p;
  EXPECT_EQ(p.At(3, 3), kPasteboard);
  EXPECT_EQ(p.At((m.netbox.left + m.netbox.right) / 2, m.netbox.bottom - 3), 0x00FFFFFFu);
}

TEST_F(DocView, AOneUnitLayoutKeepsItsMark) {
  soundtest::SoundRecorder sounds;
  Open(Layout({Unit(UNIT_RECT, 20, 20, 600, 400)}));
  gs.curr_phase = PREVIEW_PHASE;
  a_coord_mapping m;
  PrintPreview_Main_Mapping(m);
  a_mousestroke s{};
  s.window = gs.outer_window;
  s.button1 = true;
  Map_FPoint_With(m, a_fpoint{40, 40}, s.lmouse);
  PrintPreview_MouseDown(s);
  EXPECT_TRUE(Doc_Unit(1)->printf);
  sounds.Clear();
  PrintPreview_Select_None();
  PrintPreview_Select_All();
  EXPECT_TRUE(Doc_Unit(1)->printf);
  EXPECT_EQ(sounds.Ids(), (std::vector<int16>{SND_NULL, SND_NULL}));
}

// --- The examples browser ----------------------------------------------------------------

class Examples : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testdir::Make_Temp_Dir("velmor-examples");
    ASSERT_FALSE(dir_.empty());
    ASSERT_TRUE(Path_From_Text(base_, dir_.c_str()));
  }
  void TearDown() override { testdir::Remove_Dir(dir_); }
  void Files(const std::string& folder, int n, const char* suffix = ".CD4") {
    fs::create_directories(dir_ + "/" + folder);
    for (int i = 0; i < n; ++i)
      testdir::Write_Text(dir_ + "/" + folder + "/ex" + std::to_string(i) + suffix, "DISC");
  }
  std::string dir_;
  FSSpec base_{};
};

TEST_F(Examples, ABoxOf300PixelsListsTwoColumnsAndAtMost200) {
  Files("Templates", 201);
  Files("Templates", 3, ".txt");  // not projects
  Examples_BuildList_In(base_, Rect{100, 50, 100 + 24 + 420, 350});
  EXPECT_EQ(exl.count, 200);
  EXPECT_EQ(exl.columns, 2);
  EXPECT_EQ(exl.hgap, 20);
  EXPECT_EQ(exl.rows, 2);
  EXPECT_EQ(exl.vgap, 420 - 2 * 190);
  EXPECT_EQ(exl.perpage, 4);
  EXPECT_EQ(exl.npages, 50);
  EXPECT_EQ(exl.page, 1);
  // The cells: the second column 160 pixels on, 12 below the box's top.
  Rect r;
  Example_To_Box(2, r);
  EXPECT_EQ(r.left, 50 + 160);
  EXPECT_EQ(r.top, 112);
  EXPECT_EQ(r.right - r.left, 140);
  EXPECT_EQ(Find_Example(Point{int16(r.top + 5), int16(r.left + 5)}), 2);
  EXPECT_EQ(Find_Example(Point{int16(r.top + 5), int16(r.left - 5)}), 0);  // in the gap
  // Paging wraps at both ends; the first example of a page follows it.
  Do_Example_Arrow_L();
  EXPECT_EQ(exl.page, 50);
  EXPECT_EQ(Examples_Visx(), 197);
  Do_Example_Arrow_R();
  EXPECT_EQ(exl.page, 1);
  EXPECT_TRUE(Examples_KeyFilter(a_keystroke{uint8(VK_END), 0, 126, 0}));
  EXPECT_EQ(Examples_Page(), 50);
  EXPECT_TRUE(Examples_KeyFilter(a_keystroke{0, '{', '{', 0}));
  EXPECT_EQ(Examples_Page(), 1);
  EXPECT_FALSE(Examples_KeyFilter(a_keystroke{0, 'x', 'x', 0}));
}

TEST_F(Examples, SmallBoxesTakeOneCellAndTheLanguageFolderCounts) {
  Files("Templates", 2);
  Files("Templatesen", 3);
  const Rect boxes[] = {{0, 0, 100, 100}, {0, 0, 227, 141}, {0, 0, 10, 400}, {0, 0, 0, 0}};
  for (const Rect& box : boxes) {
    Examples_BuildList_In(base_, box);
    EXPECT_EQ(exl.count, 5);
    EXPECT_GE(exl.columns, 1);
    EXPECT_EQ(exl.rows, 1);
    EXPECT_EQ(exl.npages, 5 / exl.perpage + (5 % exl.perpage != 0));
  }
  // No folder at all: an empty list of one page's layout.
  testdir::Remove_Dir(dir_ + "/Templates");
  testdir::Remove_Dir(dir_ + "/Templatesen");
  Examples_BuildList_In(base_, Rect{0, 0, 500, 500});
  EXPECT_EQ(exl.count, 0);
  EXPECT_EQ(exl.npages, 0);
  EXPECT_EQ(Find_Example(Point{20, 20}), 0);
}

}  // namespace

namespace {

TEST_F(DocView, ZoomedOutFromALayerAtScreenSizeZoomedInScaledUp) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 10, 10, 300, 200)}));
  ASSERT_NE(u, nullptr);
  Paint_Left_Half(u);
  gs.toggle_vals[GRIDLINES_TOGGLE] = false;
  // Half size: the layer is the unit's size on the screen.
  gs.views[0].zoom_factor = a_ratio{1, 2};
  Edit1_PaintAll();
  Rect rect;
  GWorldPtr layer = nullptr;
  Current_Unit_Merge_Check(rect, layer);
  EXPECT_EQ(rect.right, 150);
  EXPECT_EQ(rect.bottom, 100);
  {
    const Window_Pixels p;
    // cell (0, 0) at (30, 25): the origin's (-60, -50) halved.
    EXPECT_EQ(p.At(30, 25), kPaint);
    EXPECT_EQ(p.At(30 + 74, 25 + 99), kPaint);
    EXPECT_NE(p.At(30 + 76, 25 + 50), kPaint);
    EXPECT_EQ(p.At(30 + 150, 25 + 50), kPasteboard);
    EXPECT_EQ(p.At(30 + 100, 25 + 100), kPasteboard);
  }
  // Twice the size: the cells' layer, each cell two pixels a side.
  gs.views[0].zoom_factor = a_ratio{2, 1};
  gs.views[0].origin = Point{0, 100};
  Edit1_PaintAll();
  Current_Unit_Merge_Check(rect, layer);
  EXPECT_EQ(rect.right, 300);
  const Window_Pixels p;
  // Cell 100 at pixel 0: paint up to cell 149, pixels 0 to 99.
  EXPECT_EQ(p.At(0, 0), kPaint);
  EXPECT_EQ(p.At(99, 399), kPaint);
  EXPECT_NE(p.At(100, 0), kPaint);
  EXPECT_EQ(p.At(400, 100), kPasteboard);  // past cell 300
}

TEST_F(DocView, PressesInTheViewByPhase) {
  soundtest::SoundRecorder sounds;
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 10, 10, 300, 200)}));
  ASSERT_NE(u, nullptr);
  auto press = [&](a_phase phase, Point pt, a_keymod_set mods = 0) {
    gs.curr_phase = phase;
    a_mousestroke s{};
    s.window = gs.outer_window;
    s.lmouse = pt;
    s.button1 = true;
    s.mods = mods;
    sounds.Clear();
    Edit1_MouseDown(s);
    return sounds.Ids();
  };
  const Point inside{100, 100}, outside{10, 10};
  // A press in the paint phase paints with the tool in force (the brush,
  // which makes the unit's paint layer); with Shift the eyedropper takes
  // the colour under it into the colour bar; the text editor takes its
  // presses; the preview takes nothing; phases without presses refuse them.
  gs.tool_net = BRUSH_TOOL;
  gs.tool_desc[BRUSH_TOOL].atom_proc = Atom_Brush;
  gs.tool_desc[BRUSH_TOOL].single_point = true;
  EXPECT_TRUE(press(PAINT_PHASE, inside).empty());
  EXPECT_TRUE(u->paintinuse);
  EXPECT_NE(u->statics[PAINT1_LAYER].world, nullptr);
  Point cell;
  ScreenToCell(1, inside, cell);
  gs.ncolor_table = 2;
  gs.color_table[0] = a_pixel32{{0, 0, 0, 255}};
  gs.color_table[1] = a_pixel32{{255, 255, 255, 255}};
  Bar_Recount();
  const int16 under = Get_Merged_ColorX(cell);
  gs.bar_selection[PAINT_COLORBAR] = int16(under == 0 ? 1 : 0);
  EXPECT_EQ(press(PAINT_PHASE, inside, Keymod_Bit(SHIFTKEY)), std::vector<int16>{SND_EYEDROPPER});
  EXPECT_EQ(gs.bar_selection[PAINT_COLORBAR], under);
  gs.txedit_phase = TXEDIT_EDIT;
  EXPECT_TRUE(press(TEXT_PHASE, inside).empty());  // the text editor's
  gs.txedit_phase = TXEDIT_MOVE;
  EXPECT_TRUE(press(PREVIEW_PHASE, inside).empty());
  EXPECT_EQ(press(CANVAS_PHASE, outside), std::vector<int16>{SND_NULL});
  // In the grid phase a press that is released at once leaves the origin
  // where it was; without the grid shown it is not even taken.
  const Point origin = u->ruler_origin;
  gs.toggle_vals[GRIDLINES_TOGGLE] = false;
  EXPECT_TRUE(press(GRID_PHASE, inside).empty());
  EXPECT_EQ(u->ruler_origin, origin);
}

}  // namespace

namespace {

// The examples the build wrote beside the program, on one page drawn into
// a world: each cell shows its project's stored preview. The page goes to
// snapshots/docview/examples.png under the build folder.
TEST_F(DocView, TheBuildsExamplesShowTheirPreviews) {
  const std::string exe = VELMOR4_EXE;
  const std::string build = exe.substr(0, exe.find_last_of('/'));
  if (!fs::exists(build + "/Templates")) GTEST_SKIP() << "the examples are not written yet (velmor_examples)";
  FSSpec base{};
  ASSERT_TRUE(Path_From_Text(base, build.c_str()));
  const Rect box{0, 0, 24 + 204, 3 * 142 + 20};
  Examples_BuildList_In(base, box);
  ASSERT_EQ(exl.count, 3);
  ASSERT_EQ(exl.perpage, 3);
  GWorldPtr world = nullptr;
  ASSERT_EQ(New_GWorld(box, 32, nullptr, world), 0);
  Push_GWorld(world);
  SetForeColor(200, 200, 200);
  PaintRect(box);
  Examples_Paint(box);
  Pop_GWorld();
  const PixMap& pm = world->pix;
  auto at = [&](int x, int y) {
    return reinterpret_cast<const uint32*>(pm.baseAddr + size_t(y) * PixMap_RowBytes(pm))[x] & 0xFFFFFF;
  };
  for (int16 i = 1; i <= 3; ++i) {
    Rect cell;
    Example_To_Box(i, cell);
    // Inside the frame, the preview: more than white and grey.
    int coloured = 0;
    for (int y = cell.top + 2; y < cell.bottom - 2; ++y)
      for (int x = cell.left + 2; x < cell.right - 2; ++x) {
        const uint32 c = at(x, y);
        coloured += Channel(c, 0) != Channel(c, 8) || Channel(c, 8) != Channel(c, 16);
      }
    EXPECT_GT(coloured, 500) << "example " << i;
  }
  std::vector<uint32> px;
  for (int y = 0; y < box.bottom; ++y)
    for (int x = 0; x < box.right; ++x) px.push_back(at(x, y) | 0xFF000000u);
  fs::create_directories(build + "/snapshots/docview");
  std::string err;
  EXPECT_TRUE(Host_Write_PNG(build + "/snapshots/docview/examples.png", px.data(), box.right, box.bottom, err)) << err;
  Dispose_GWorld(world);
}

}  // namespace

namespace {

// The grid's origin dragged by a script that holds the button down while
// the drag's loop polls the mouse: by the mouse's offset in cells, kept
// within the unit.
TEST_F(DocView, DraggingTheGridsOrigin) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 10, 10, 300, 200)}));
  ASSERT_NE(u, nullptr);
  gs.curr_phase = GRID_PHASE;
  gs.toggle_vals[GRIDLINES_TOGGLE] = true;
  struct Drag {
    Point from, to;  // main window pixels (v, h)
    Point origin;    // where the origin ends (v, h)
  };
  const Drag drags[] = {
      {Point{150, 200}, Point{190, 260}, Point{120, 170}},  // 60 right, 40 down
      {Point{150, 200}, Point{100, 180}, Point{70, 150}},   // back 20 and 50
      {Point{100, 100}, Point{900, 900}, Point{200, 300}},  // kept within the unit
  };
  u->ruler_origin = Point{80, 110};
  for (const Drag& d : drags) {
    SCOPED_TRACE(std::to_string(d.to.h) + "," + std::to_string(d.to.v));
    std::string script = "down " + std::to_string(d.from.h) + " " + std::to_string(d.from.v) + "\n";
    script += "move " + std::to_string((d.from.h + d.to.h) / 2) + " " + std::to_string((d.from.v + d.to.v) / 2) + "\n";
    script += "move " + std::to_string(d.to.h) + " " + std::to_string(d.to.v) + "\n";
    script += "wait 1\nup " + std::to_string(d.to.h) + " " + std::to_string(d.to.v) + "\n";
    std::string err;
    ASSERT_TRUE(Host_Script_Load_Text(script, "drag", err)) << err;
    MSG msg;
    int tries = 0;
    while (PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) == 0) ASSERT_LT(++tries, 100);
    a_mousestroke s{};
    s.window = gs.outer_window;
    s.lmouse = d.from;
    s.button1 = true;
    GridLines_MouseDown(1, s);
    EXPECT_EQ(u->ruler_origin.h, d.origin.h);
    EXPECT_EQ(u->ruler_origin.v, d.origin.v);
  }
}

}  // namespace

namespace {

// Clones show their master's picture, kept once for all of them while the
// preview draws; an unmarked unit is white; the halo of the current marked
// unit is red round its outline, the others grey.
TEST_F(DocView, ThePreviewDrawsMastersForTheirClonesAndMarks) {
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 20, 20, 600, 400), Unit(UNIT_RECT, 20, 90, 600, 400),
                               Unit(UNIT_RECT, 20, 160, 600, 400)}));
  ASSERT_NE(u, nullptr);
  ASSERT_TRUE(Doc_Unit(2)->clonef);
  ASSERT_EQ(Find_Clone_Master(3), 1u);
  Paint_Left_Half(u);
  Doc_Unit(3)->printf = false;
  gs.curr_phase = PREVIEW_PHASE;
  a_coord_mapping m;
  PrintPreview_Main_Mapping(m);
  PrintPreview_Paint(gs.views[0].bounds);
  EXPECT_EQ(g_cached_unit.world, nullptr);  // freed once drawn
  const Window_Pixels p;
  auto at = [&](uint32 ux, float fx, float fy) {
    const a_unit& un = g_doc.doc_template.units[ux - 1];
    Point pt;
    Map_FPoint_With(m, a_fpoint{un.bbox.left + (un.bbox.right - un.bbox.left) * fx,
                                un.bbox.top + (un.bbox.bottom - un.bbox.top) * fy}, pt);
    return p.At(pt.h, pt.v);
  };
  // The painted left half of the master, in unit 1 and its marked clone.
  EXPECT_EQ(at(1, 0.1f, 0.2f), kPaint);
  EXPECT_EQ(at(2, 0.1f, 0.2f), kPaint);
  EXPECT_NE(at(1, 0.9f, 0.2f), kPaint);
  // The unmarked clone: white.
  EXPECT_EQ(at(3, 0.1f, 0.2f), 0x00FFFFFFu);
  // Halos just outside the left edges: red round the current unit, grey
  // 120 round the marked clone, grey 210 round the unmarked one.
  const float px_mm = 1.0f / m.multx;
  auto left_of = [&](uint32 ux, float pixels) {
    const a_unit& un = g_doc.doc_template.units[ux - 1];
    Point pt;
    Map_FPoint_With(m, a_fpoint{un.bbox.left - pixels * px_mm, (un.bbox.top + un.bbox.bottom) / 2}, pt);
    return p.At(pt.h, pt.v);
  };
  EXPECT_EQ(left_of(1, 3.0f), 0x00FC3E3Eu);
  EXPECT_EQ(left_of(2, 1.5f), Grey(120));
  EXPECT_EQ(left_of(3, 1.5f), Grey(210));
}

// A business-card disc's halo follows its round ends: red just left of the
// middle of its left end, the sheet's white at the corner of its box,
// which the card does not reach.
TEST_F(DocView, ThePreviewHaloOfABusinessCardDiscFollowsItsRoundEnds) {
  a_unit card = Unit(UNIT_MINICD_HOCKEY, 30, 30, 800, 590);
  card.meas[0] = 15;
  a_doc_unit* u = Open(Layout({card}));
  ASSERT_NE(u, nullptr);
  gs.curr_phase = PREVIEW_PHASE;
  a_coord_mapping m;
  PrintPreview_Main_Mapping(m);
  PrintPreview_Paint(gs.views[0].bounds);
  const Window_Pixels p;
  const float px_mm = 1.0f / m.multx;
  const a_frect& b = g_doc.doc_template.units[0].bbox;
  auto at = [&](float x, float y) {
    Point pt;
    Map_FPoint_With(m, a_fpoint{x, y}, pt);
    return p.At(pt.h, pt.v);
  };
  EXPECT_EQ(at(b.left - 3 * px_mm, (b.top + b.bottom) / 2), 0x00FC3E3Eu) << "the halo round the round end";
  EXPECT_EQ(at(b.left - 2 * px_mm, b.top - 2 * px_mm), 0x00FFFFFFu) << "the halo at the box's corner";
}

// A text's overflow marks show over the view in the text phase, and only
// there.
TEST_F(DocView, OverflowMarksShowInTheTextPhase) {
  if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
  Fonts_Stop();
  Fonts_Init();
  a_doc_unit* u = Open(Layout({Unit(UNIT_RECT, 10, 10, 300, 200)}));
  ASSERT_NE(u, nullptr);
  gs.toggle_vals[GRIDLINES_TOGGLE] = false;
  a_om_rec* om = New_OM_Rec();
  ASSERT_NE(om, nullptr);
  om->fontx = Find_Font_Name(CStrSpan("DejaVu Sans"));
  om->size = 12;
  om->hspacing = om->vspacing = 100;
  om->opacity = 100;
  om->anchor = Point{100, 150};
  om->rotcenter = Point{100, 150};
  const std::u16string text = u"Hi";
  UniStr_To_OM(om, text.data(), int32(text.size()));
  Obj_Append(u->oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, om);
  OM_Recalc(om, 1);
  Unit_PostRender(u);
  Edit1_PaintAll();  // the text's pictures made: its layout stays as it is
  om->noverflows = 1;
  om->overflows[0].id = 1;
  om->overflows[0].pos = Point{40, 250};  // cell (250, 40): screen (310, 90)
  const uint32 blue = 0x000870E5u;
  Edit1_PaintAll();
  EXPECT_NE(Window_Pixels().At(313, 90), blue) << "a mark outside the text phase";
  gs.curr_phase = TEXT_PHASE;
  Edit1_PaintAll();
  const Window_Pixels p;
  EXPECT_EQ(p.At(310, 90), 0xFFFFFFu);  // the plus
  EXPECT_EQ(p.At(316, 90), blue);       // the disc round it
}

}  // namespace
