// The palette bar: where each element's cell lies (rows first, columns first,
// the palette), screenfuls and keys wrapping, clicks reaching the bar's
// select procedure, bars without elements, the font thumbnails and the glyph
// list.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "NodeTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskEdit.h"
#include "objects/VoskText.h"
#include "objects/VoskGrad.h"
#include "SoundTestSupport.h"
#include "host/HostScript.h"
#include "pixel/DrawUtilMasked.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"
#include "platform/SysLoop.h"
#include "platform/SysWin.h"
#include "ui/VoskBar.h"
#include "ui/VoskCurs.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStus.h"

namespace {

// --- Cells of a screenful --------------------------------------------------------------

a_bar_row_desc Grid(a_grid_order order, int16 first, int16 last, int16 rowstart) {
  a_bar_row_desc d{};
  d.first_id = first;
  d.last_id = last;
  d.ncells_h = 4;
  d.ncells_v = 3;
  d.ncells_tot = 12;
  d.cell_h = 20;
  d.cell_v = 10;
  d.cell_margin = 2;
  d.cell_indent.h = 5;
  d.cell_indent.v = 7;
  d.order = order;
  d.rowstart_id = rowstart;
  return d;
}

TEST(BarCells, IdsMapToCellsRowsFirstOrColumnsFirst) {
  struct Case {
    a_grid_order order;
    int16 id;
    bool shown;
    int16 h, v;
  };
  // Screenful from id 10 of ids 1 .. 40, 4 columns by 3 rows.
  const Case cases[] = {
      {LRTB, 10, true, 0, 0}, {LRTB, 13, true, 3, 0}, {LRTB, 14, true, 0, 1}, {LRTB, 21, true, 3, 2},
      {TBLR, 10, true, 0, 0}, {TBLR, 12, true, 0, 2}, {TBLR, 13, true, 1, 0}, {TBLR, 21, true, 3, 2},
      // Before the screenful (a negative index) and after it.
      {LRTB, 9, false, 0, 0}, {TBLR, 1, false, 0, 0}, {LRTB, 22, false, 0, 0}, {TBLR, 22, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.order == LRTB ? "LRTB" : "TBLR") << " id " << c.id);
    const a_bar_row_desc d = Grid(c.order, 1, 40, 10);
    Point cell{};
    ASSERT_EQ(Bar_IDToCell(d, c.id, cell), c.shown);
    if (!c.shown) continue;
    EXPECT_EQ(cell.h, c.h);
    EXPECT_EQ(cell.v, c.v);
    Rect r;
    Bar_CellToRect(d, Rect{100, 50, 200, 250}, cell, r);
    EXPECT_EQ(r.left, 50 + 5 + 2 + c.h * 22);
    EXPECT_EQ(r.top, 100 + 7 + 2 + c.v * 12);
    EXPECT_EQ(r.right - r.left, 20);
    EXPECT_EQ(r.bottom - r.top, 10);
  }
  // The screenful runs past the last id, and a bar without ids has no cells.
  Point cell{};
  EXPECT_FALSE(Bar_IDToCell(Grid(LRTB, 1, 15, 10), 16, cell));
  EXPECT_FALSE(Bar_IDToCell(Grid(LRTB, 1, 0, 1), 1, cell));
  EXPECT_FALSE(Bar_IDToCell(Grid(LRTB, 1, 0, 1), 0, cell));
}

TEST(BarCells, CellGeometryFollowsTheArea) {
  a_bar_row_desc d{};
  d.first_id = 1;
  d.last_id = 100;
  // 48-pixel cells, margin 2, in 600 x 110: 11 across (550 of 598), 2 down.
  Calc_Desc(Rect{0, 0, 110, 600}, false, false, false, 48, 48, 2, d);
  EXPECT_EQ(d.ncells_h, 11);
  EXPECT_EQ(d.ncells_v, 2);
  EXPECT_EQ(d.ncells_tot, 22);
  EXPECT_EQ(d.nrows, 5);
  EXPECT_EQ(d.cell_indent.h, (598 - 550) / 2);
  EXPECT_EQ(d.cell_indent.v, (108 - 100) / 2);
  // The row buttons take 57 pixels of width.
  Calc_Desc(Rect{0, 0, 110, 600}, true, false, false, 48, 48, 2, d);
  EXPECT_EQ(d.ncells_h, 10);
  // With addcell the leftover widens the cells.
  Calc_Desc(Rect{0, 0, 110, 600}, false, false, true, 48, 48, 2, d);
  EXPECT_EQ(d.cell_h, 48 + 48 / 11);
  // A fixed count: 30 cells in one row.
  Calc_Desc(Rect{0, 0, 60, 904}, false, true, false, 30, 1, 4, d);
  EXPECT_EQ(d.ncells_h, 30);
  EXPECT_EQ(d.ncells_v, 1);
  EXPECT_EQ(d.cell_h, 900 / 30 - 4);
  // An area too small still has one cell.
  Calc_Desc(Rect{0, 0, 5, 5}, true, false, false, 48, 48, 2, d);
  EXPECT_EQ(d.ncells_tot, 1);
}

// --- The bar on screen ------------------------------------------------------------------

constexpr a_locator kWin = 0x01000000, kBarDiv = 0x01050000, kBarArea = 0x01050400;
constexpr Rect kArea{500, 0, 620, 900};

int g_selects = 0;
void Count_Select() { ++g_selects; }
int g_quits = 0;
void Count_Quit() { ++g_quits; }

class BarTest : public nodetest::NodeTree {
 protected:
  std::optional<soundtest::SoundRecorder> sounds_;

  void SetUp() override {
    nodetest::NodeTree::SetUp();
    sounds_.emplace();
    Bar_Init();
    Layout();
    g_selects = 0;
  }
  // The window holds the bar alone (settling the state variables lays the
  // window out for the start screen).
  static void Layout() {
    Rect total, g;
    Node_BeginConfig(0, total);
    Node_Add_Window(kWin, total, gs.outer_window, g);
    Node_Add_Division(kBarDiv, kArea, DECORATION_SOLIDGRAY, a_pixel24{});
    Node_Add_Custom(kBarArea, kArea, false, CUSTOM_BAR);
    Node_EndConfig();
    Bar_Calc_All_Desc(kArea);
  }
  void TearDown() override {
    Bar_Stop();
    sounds_.reset();
    nodetest::NodeTree::TearDown();
  }
  static void Show(a_bar bar) {
    SV_Set_Enum(SV_CURR_BAR, bar);
    SV_Finish();
    Layout();
    ASSERT_EQ(gs.curr_bar, bar);
    HWND w = nullptr;
    Rect r;
    ASSERT_TRUE(Custom_Get_Info(CUSTOM_BAR, w, r));
    ASSERT_TRUE(EqualRect(r, kArea));
  }
  static a_mousestroke Press(Point pt, a_keymod_set mods = 0) {
    return a_mousestroke{0, gs.outer_window, pt, true, false, mods};
  }
  static Point Centre(const Rect& r) { return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)}; }
  static Point Centre_Of(a_bar bar, int16 id) {
    Rect r;
    EXPECT_TRUE(Bar_ID_To_Rect(bar, kArea, id, r)) << "id " << id;
    return Centre(r);
  }
  static a_keystroke Key(uint8 virtcode, uint8 charcode = 0) {
    return a_keystroke{virtcode, charcode, UniChar(charcode != 0 ? charcode : 126), 0};
  }
  // Pixels darker than mid-grey in a box of the font samples.
  static int Dark_Pixels(const Rect& box) {
    const PixMap& samples = Font_Cache_Samples();
    int dark = 0;
    for (int16 y = box.top; y < box.bottom; ++y)
      for (int16 x = box.left; x < box.right; ++x)
        if (reinterpret_cast<const uint8*>(samples.baseAddr)[y * PixMap_RowBytes(samples) + x] < 128) ++dark;
    return dark;
  }
  std::vector<int16> Sounds() {
    std::vector<int16> ids = sounds_->Ids();
    sounds_->Clear();
    return ids;
  }
};

TEST_F(BarTest, EveryPaletteColourHasItsOwnCellAndIsFoundThere) {
  const a_bar_row_desc& d = gs.bard[PAINT_COLORBAR];
  ASSERT_EQ(d.first_id, 0);
  ASSERT_EQ(d.last_id, gs.ncolor_table - 1);
  ASSERT_EQ(gs.ncolor_table, NCOLOR_TABLE);
  // 886 pixels across: cells of 7, 4 left over, the custom column 18 wide.
  EXPECT_EQ(d.cell_h, 7);
  EXPECT_EQ(d.cell_indent.h, 18);
  std::vector<Rect> rects(size_t(d.last_id) + 1);
  for (int16 id = 0; id <= d.last_id; ++id) {
    Rect& r = rects[size_t(id)];
    ASSERT_TRUE(PaletteToRect(d, kArea, id, r)) << id;
    ASSERT_FALSE(EmptyRect(r)) << id;
    Rect inside;
    ASSERT_TRUE(SectRect(r, kArea, inside) && EqualRect(inside, r)) << "colour " << id << " leaves the bar";
    ASSERT_EQ(Bar_Find_Element(PAINT_COLORBAR, kArea, Centre(r)), id);
  }
  for (size_t a = 0; a < rects.size(); ++a)
    for (size_t b = a + 1; b < rects.size(); ++b) {
      Rect both;
      ASSERT_FALSE(SectRect(rects[a], rects[b], both)) << "colours " << a << " and " << b << " overlap";
    }
  // The custom colours stack at the left; 7 and 8 halve the first row of the
  // first block; 9 starts its second row; the last colour ends the palette.
  EXPECT_EQ(rects[0].top, rects[1].top - d.cell_v);
  EXPECT_LT(rects[6].right, rects[7].left + 1);
  EXPECT_EQ(rects[7].right, rects[8].left);
  EXPECT_EQ(rects[8].right - rects[7].left, 21 * d.cell_h);
  EXPECT_EQ(rects[9].left, rects[7].left);
  EXPECT_EQ(rects[9].top, rects[7].bottom);
  EXPECT_EQ(rects[869].right, kArea.left + d.cell_indent.h + PALETTE_COLUMNS * d.cell_h);
  EXPECT_EQ(rects[869].bottom, kArea.top + d.cell_indent.v + PALETTE_ROWS * d.cell_v);
  // A wider bar: the indent beyond 28 pixels shrinks by a third of the excess.
  a_bar_row_desc wide = d;
  Calc_Palette_Desc(Rect{0, 0, 70, 1330}, wide);
  EXPECT_EQ(wide.cell_h, 10);
  EXPECT_EQ(wide.cell_indent.h, 56 + 14 - (56 + 14 - 28) / 3);
  // Outside every cell: nothing.
  EXPECT_EQ(Bar_Find_Element(PAINT_COLORBAR, kArea, Point{int16(kArea.bottom - 1), int16(kArea.right - 1)}),
            BAR_NO_ID);
}

TEST_F(BarTest, CellsOfEachBarAreFoundAgainUnderTheMouse) {
  for (a_bar bar : {STAMP_BAR, PATTERN_BAR, GRADIENT_BAR, FONT_BAR}) {
    SCOPED_TRACE(testing::Message() << "bar " << int(bar));
    const a_bar_row_desc& d = gs.bard[bar];
    ASSERT_GT(d.ncells_tot, 0);
    ASSERT_GE(d.last_id, d.first_id);
    for (int32 id = d.rowstart_id; id < d.rowstart_id + d.ncells_tot && id <= d.last_id; ++id)
      EXPECT_EQ(Bar_Find_Element(bar, kArea, Centre_Of(bar, int16(id))), id);
  }
  // Fewer than 50 gradients: all of them in one row.
  const a_bar_row_desc& g = gs.bard[GRADIENT_BAR];
  ASSERT_LT(g.last_id, 50);
  EXPECT_EQ(g.ncells_h, g.last_id);
  EXPECT_EQ(g.ncells_v, 1);
  EXPECT_EQ(g.nrows, 1);
}

TEST_F(BarTest, AClickStoresTheChoiceAndRunsTheBarsSelectProcedure) {
  for (a_bar bar : {PAINT_COLORBAR, STAMP_BAR, FONT_BAR}) {
    SCOPED_TRACE(testing::Message() << "bar " << int(bar));
    Show(bar);
    gs.bard[bar].selectproc = Count_Select;
    g_selects = 0;
    const a_bar_row_desc& d = gs.bard[bar];
    const int16 id = int16(std::min<int32>(d.last_id, d.first_id + 2));
    ASSERT_NE(gs.bar_selection[bar], id);
    Sounds();
    Bar_MouseDown(Press(Centre_Of(bar, id)));
    EXPECT_EQ(gs.bar_selection[bar], id);
    EXPECT_EQ(g_selects, 1);
    EXPECT_EQ(Sounds(), std::vector<int16>{SND_BAR_SELECT});
    // The element already chosen is not applied again.
    Bar_MouseDown(Press(Centre_Of(bar, id)));
    EXPECT_EQ(g_selects, 1);
  }
  // The real procedure of the cut-line bar: the preferences take the colour.
  Show(CUTLINES_COLORBAR);
  Bar_MouseDown(Press(Centre_Of(CUTLINES_COLORBAR, 100)));
  EXPECT_EQ(gs.bar_selection[CUTLINES_COLORBAR], 100);
  const a_win_pixel32 cut = gs.pref.cutlines_color;
  EXPECT_EQ(cut.raw & 0xFFFFFFu, gs.color_table[100].raw & 0xFFFFFFu);
  // Outside every element: a beep.
  Bar_MouseDown(Press(Point{int16(kArea.bottom - 1), int16(kArea.right - 1)}));
  EXPECT_EQ(Sounds().back(), SND_NULL);
}

COLORREF Window_Pixel(int16 h, int16 v) {
  HDC dc = GetDC(gs.outer_window);
  const COLORREF c = GetPixel(dc, h, v);
  ReleaseDC(gs.outer_window, dc);
  return c;
}

TEST_F(BarTest, TheChosenElementIsFramedAndTheFrameFollowsAClick) {
  Show(PAINT_COLORBAR);
  gs.fill_kind = COLOR_FILL;
  gs.bar_selection[PAINT_COLORBAR] = 100;
  Custom_Paint(CUSTOM_BAR);
  const auto colour = [](int16 id) {
    const a_win_pixel32 c = gs.color_table[id];
    return RGB(c.r, c.g, c.b);
  };
  Rect r100, r200;
  ASSERT_TRUE(Bar_ID_To_Rect(PAINT_COLORBAR, kArea, 100, r100));
  ASSERT_TRUE(Bar_ID_To_Rect(PAINT_COLORBAR, kArea, 200, r200));
  // Without a margin: a red frame with a grey one inside it.
  EXPECT_EQ(Window_Pixel(r100.left, r100.top), RGB(255, 0, 0));
  EXPECT_EQ(Window_Pixel(int16(r100.left + 1), int16(r100.top + 1)), RGB(128, 128, 128));
  EXPECT_EQ(Window_Pixel(r200.left, r200.top), colour(200));
  // Around the cells the bar's grey.
  EXPECT_EQ(Window_Pixel(int16(kArea.right - 1), int16(kArea.bottom - 1)), RGB(160, 160, 160));
  // A click moves the frame in place.
  Bar_MouseDown(Press(Centre(r200)));
  EXPECT_EQ(Window_Pixel(r200.left, r200.top), RGB(255, 0, 0));
  EXPECT_EQ(Window_Pixel(r100.left, r100.top), colour(100));

  // With a margin: a frame as wide as the margin around the cell, grey once
  // another element is chosen.
  Show(STAMP_BAR);
  gs.fill_kind = STAMP_FILL;
  gs.bar_selection[STAMP_BAR] = 2;
  Custom_Paint(CUSTOM_BAR);
  Rect s2;
  ASSERT_TRUE(Bar_ID_To_Rect(STAMP_BAR, kArea, 2, s2));
  EXPECT_EQ(Window_Pixel(int16(s2.left - 1), int16(s2.top - 1)), RGB(255, 0, 0));
  EXPECT_EQ(Window_Pixel(int16(s2.left - 2), int16(s2.top - 2)), RGB(255, 0, 0));
  Bar_MouseDown(Press(Centre_Of(STAMP_BAR, 3)));
  EXPECT_EQ(Window_Pixel(int16(s2.left - 1), int16(s2.top - 1)), RGB(128, 128, 128));
}

TEST_F(BarTest, HoveringAnElementAimsItsTipAndCursor) {
  struct Case {
    a_bar bar;
    int16 id;
    a_cursor_shape cursor;
  };
  for (const Case& c : {Case{PAINT_COLORBAR, 42, EYEDROPPER_CURSOR}, Case{STAMP_BAR, 3, FINGER_CURSOR}}) {
    SCOPED_TRACE(testing::Message() << "bar " << int(c.bar));
    Show(c.bar);
    a_mousestroke hover = Press(Centre_Of(c.bar, c.id));
    hover.button1 = false;
    const int16 before = gs.bar_selection[c.bar];
    Bar_MouseDown(hover);
    EXPECT_EQ(g_annot.targ.kind, ANNOT_BAR);
    EXPECT_EQ(g_annot.targ.ix, c.bar);
    EXPECT_EQ(g_annot.targ.subx, c.id);
    // The tip's box starts under the cell's left edge in the window.
    Rect cell, box;
    ASSERT_TRUE(Bar_ID_To_Rect(c.bar, kArea, c.id, cell));
    Annot_Calc_Box(g_annot.targ, "Tip", box);
    EXPECT_EQ(box.left, cell.left);
    EXPECT_GT(box.top, cell.top);
    EXPECT_EQ(g_curr_cursor.shape, c.cursor);
    EXPECT_EQ(gs.bar_selection[c.bar], before);
    // Off the elements: no tip, the arrow.
    hover.lmouse = Point{int16(kArea.bottom - 1), int16(kArea.right - 1)};
    Bar_MouseDown(hover);
    EXPECT_EQ(g_annot.targ.kind, ANNOT_NULL);
    EXPECT_EQ(g_curr_cursor.shape, ARROW_CURSOR);
  }
}

TEST_F(BarTest, ShiftClickOnACustomColourReplacesItThroughTheColourChooser) {
  Show(PAINT_COLORBAR);
  gs.bard[PAINT_COLORBAR].selectproc = Count_Select;
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("answer color #12ab34\n", "t", err)) << err;
  Bar_MouseDown(Press(Centre_Of(PAINT_COLORBAR, 3), Keymod_Bit(SHIFTKEY)));
  EXPECT_EQ(gs.color_table[3].r, 0x12);
  EXPECT_EQ(gs.color_table[3].g, 0xab);
  EXPECT_EQ(gs.color_table[3].b, 0x34);
  EXPECT_EQ(gs.pref.colors[3].g, 0xab);
  EXPECT_EQ(gs.bar_selection[PAINT_COLORBAR], 3);
  EXPECT_EQ(g_selects, 1);
  // The chosen custom colour changed again: applied again.
  ASSERT_TRUE(Host_Script_Load_Text("answer color #203040\n", "t", err)) << err;
  Bar_MouseDown(Press(Centre_Of(PAINT_COLORBAR, 3), Keymod_Bit(OPTIONKEY)));
  EXPECT_EQ(gs.color_table[3].b, 0x40);
  EXPECT_EQ(g_selects, 2);
  // Cancelled: nothing changes.
  ASSERT_TRUE(Host_Script_Load_Text("answer alert 2\n", "t", err)) << err;
  Bar_MouseDown(Press(Centre_Of(PAINT_COLORBAR, 3), Keymod_Bit(SHIFTKEY)));
  EXPECT_EQ(gs.color_table[3].b, 0x40);
  EXPECT_EQ(g_selects, 2);
  // A plain click on another custom colour just chooses it.
  Bar_MouseDown(Press(Centre_Of(PAINT_COLORBAR, 5)));
  EXPECT_EQ(gs.bar_selection[PAINT_COLORBAR], 5);
}

TEST_F(BarTest, ScreenfulsAndKeysWrapAtBothEnds) {
  Show(STAMP_BAR);
  a_bar_row_desc& d = gs.bard[STAMP_BAR];
  ASSERT_GT(d.nrows, 1);
  const int32 count = d.last_id - d.first_id + 1;
  const int32 rem = count % d.ncells_tot;
  const int16 last_start = int16(d.last_id + 1 - (rem != 0 ? rem : d.ncells_tot));
  d.rowstart_id = d.first_id;
  Bar_PrevRow();
  EXPECT_EQ(d.rowstart_id, last_start);
  Bar_NextRow();
  EXPECT_EQ(d.rowstart_id, d.first_id);
  Bar_NextRow();
  EXPECT_EQ(d.rowstart_id, d.first_id + d.ncells_tot);
  EXPECT_EQ(Bar_CalcSequence(), 2);

  struct Step {
    uint8 virtcode, charcode;
    int16 from, to;
    int16 sound;
  };
  const int16 across = d.ncells_h;
  const Step steps[] = {
      {VK_RIGHT, 0, 5, 6, SND_SUBTOOL_ONESHOT},
      {VK_DOWN, 0, 5, int16(5 + across), SND_SUBTOOL_ONESHOT},
      {VK_UP, 0, int16(5 + across), 5, SND_SUBTOOL_ONESHOT},
      {VK_RIGHT, 0, d.last_id, d.first_id, SND_NULL},
      {VK_LEFT, 0, d.first_id, d.last_id, SND_NULL},
      {VK_UP, 0, d.first_id, d.last_id, SND_NULL},
      {VK_END, 0, 5, d.last_id, SND_SUBTOOL_ONESHOT},
      {0, '{', 9, d.first_id, SND_SUBTOOL_ONESHOT},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "key " << int(s.virtcode) << "/" << s.charcode << " from " << s.from);
    gs.bar_selection[STAMP_BAR] = s.from;
    Sounds();
    ASSERT_TRUE(Bar_Arrow_KeyFilter(Key(s.virtcode, s.charcode)));
    EXPECT_EQ(gs.bar_selection[STAMP_BAR], s.to);
    EXPECT_EQ(Sounds().front(), s.sound);
    // The screenful shown holds the new choice.
    Point cell;
    EXPECT_TRUE(Bar_IDToCell(d, s.to, cell));
  }
  // With the row buttons shown, Page Down and "]" click the next one, which
  // wraps from the last screenful to the first; Page Up goes back.
  Rect total, g;
  Node_BeginConfig(0, total);
  Node_Add_Window(kWin, total, gs.outer_window, g);
  Node_Add_Division(kBarDiv, kArea, DECORATION_SOLIDGRAY, a_pixel24{});
  Point at{int16(kArea.top + 3), int16(kArea.left + 3)};
  Node_Add_OneShot(0x01050100, at, 0, 1, BAR_PREV_BUTTON);
  Node_Add_OneShot(0x01050300, at, 0, 1, BAR_NEXT_BUTTON);
  Node_Add_Custom(kBarArea, Rect{kArea.top, int16(kArea.left + 56), kArea.bottom, kArea.right}, false, CUSTOM_BAR);
  Node_EndConfig();
  d.rowstart_id = last_start;
  Sounds();
  ASSERT_TRUE(Bar_Arrow_KeyFilter(Key(VK_NEXT)));
  EXPECT_EQ(d.rowstart_id, d.first_id);
  ASSERT_TRUE(Bar_Arrow_KeyFilter(Key(0, ']')));
  EXPECT_EQ(d.rowstart_id, d.first_id + d.ncells_tot);
  ASSERT_TRUE(Bar_Arrow_KeyFilter(Key(VK_PRIOR)));
  ASSERT_TRUE(Bar_Arrow_KeyFilter(Key(VK_PRIOR)));
  EXPECT_EQ(d.rowstart_id, last_start);
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_BAR_NEXT, SND_BAR_NEXT, SND_BAR_PREV, SND_BAR_PREV}));
  Layout();
  // The index button shows the number of the screenful.
  ASSERT_EQ(g_oneshots[BAR_INDEX_BUTTON].one_draw, Bar_Index_Draw);
  const auto index_face = [&](int16 rowstart) {
    d.rowstart_id = rowstart;
    GWorldPtr world = nullptr;
    const Rect box{0, 0, 24, 40};
    EXPECT_EQ(New_GWorld(box, 32, nullptr, world), noErr);
    Push_GWorld(world);
    SetForeColor(255, 255, 255);
    PaintRect(box);
    Bar_Index_Draw(box, nullptr);
    Pop_GWorld();
    const PixMap* pix = Get_GWorld_PixMap(world);
    std::vector<uint32> px;
    for (int16 y = 0; y < 24; ++y)
      for (int16 x = 0; x < 40; ++x)
        px.push_back(reinterpret_cast<const uint32*>(reinterpret_cast<const uint8*>(pix->baseAddr) +
                                                     y * PixMap_RowBytes(*pix))[x]);
    Dispose_GWorld(world);
    return px;
  };
  const std::vector<uint32> one = index_face(d.first_id), two = index_face(int16(d.first_id + d.ncells_tot));
  EXPECT_EQ(Bar_CalcSequence(), 2);
  EXPECT_NE(one, two);
  EXPECT_NE(one, index_face(int16(d.first_id + 2 * d.ncells_tot)));
  EXPECT_EQ(one, index_face(d.first_id));

  // A column-first bar steps by columns left and right.
  Show(FONT_BAR);
  const a_bar_row_desc& f = gs.bard[FONT_BAR];
  ASSERT_EQ(f.order, TBLR);
  gs.bar_selection[FONT_BAR] = f.first_id;
  ASSERT_TRUE(Bar_Arrow_KeyFilter(Key(VK_DOWN)));
  EXPECT_EQ(gs.bar_selection[FONT_BAR], f.first_id + 1);
  ASSERT_TRUE(Bar_Arrow_KeyFilter(Key(VK_RIGHT)));
  EXPECT_EQ(gs.bar_selection[FONT_BAR], f.first_id + 1 + f.ncells_v > f.last_id ? f.first_id : f.first_id + 1 + f.ncells_v);
  // Keys that are not the bar's pass on.
  EXPECT_FALSE(Bar_Arrow_KeyFilter(Key(0, 'x')));
}

TEST_F(BarTest, ABarWithoutElementsOnlyRefuses) {
  for (a_bar bar : {GLYPH_BAR, BORDER_BAR}) {
    SCOPED_TRACE(testing::Message() << "bar " << int(bar));
    Show(bar);
    if (bar == BORDER_BAR) {
      // A library whose border set is empty.
      gs.bard[BORDER_BAR].first_id = 1;
      gs.bard[BORDER_BAR].last_id = 0;
      ASSERT_TRUE(Bar_Is_Empty(BORDER_BAR));
    }
    if (bar == GLYPH_BAR) {
      // A font without any of the glyph list's characters leaves the glyph bar empty.
      Glyph_List_Build(0);
      ASSERT_EQ(n_glyphs, 0);
      ASSERT_TRUE(Bar_Is_Empty(GLYPH_BAR));
    }
    gs.bard[bar].selectproc = Count_Select;
    gs.bard[bar].showselect = true;
    g_selects = 0;
    const int16 before = gs.bar_selection[bar];
    Sounds();
    Bar_MouseDown(Press(Point{int16(kArea.top + 20), int16(kArea.left + 100)}));
    EXPECT_TRUE(Bar_Arrow_KeyFilter(Key(VK_RIGHT)));
    EXPECT_TRUE(Bar_Arrow_KeyFilter(Key(VK_HOME)));
    Bar_JumpToID(true, bar, 1);
    EXPECT_EQ(Sounds(), (std::vector<int16>{SND_NULL, SND_NULL, SND_NULL, SND_NULL}));
    EXPECT_EQ(gs.bar_selection[bar], before);
    EXPECT_EQ(g_selects, 0);
    Point cell;
    EXPECT_FALSE(Bar_IDToCell(gs.bard[bar], 1, cell));
    EXPECT_FALSE(Bar_IDToCell(gs.bard[bar], 0, cell));
    EXPECT_EQ(Bar_Find_Element(bar, kArea, Point{int16(kArea.top + 20), int16(kArea.left + 100)}), BAR_NO_ID);
  }
  // Its tag still shows the bar.
  Show(PAINT_COLORBAR);
  Sounds();
  Bar_Jump_Border();
  EXPECT_EQ(gs.curr_bar, BORDER_BAR);
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(BarTest, IdsOutOfRangeAreClampedAndABlastDoesNotApply) {
  Show(STAMP_BAR);
  gs.bard[STAMP_BAR].selectproc = Count_Select;
  gs.bard[PATTERN_BAR].selectproc = Count_Select;
  const a_bar_row_desc& d = gs.bard[STAMP_BAR];
  Bar_JumpToID(false, STAMP_BAR, 30000);
  EXPECT_EQ(gs.bar_selection[STAMP_BAR], d.last_id);
  Point cell;
  EXPECT_TRUE(Bar_IDToCell(d, d.last_id, cell)) << "scrolled to the last screenful";
  Bar_JumpToID(false, STAMP_BAR, -5);
  EXPECT_EQ(gs.bar_selection[STAMP_BAR], d.first_id);
  EXPECT_EQ(g_selects, 2);
  // A blast stores without applying, on the bar shown or another.
  Bar_Blast(STAMP_BAR, 4);
  Bar_Blast(PATTERN_BAR, 30000);
  EXPECT_EQ(gs.bar_selection[STAMP_BAR], 4);
  EXPECT_EQ(gs.bar_selection[PATTERN_BAR], gs.bard[PATTERN_BAR].last_id);
  EXPECT_EQ(gs.curr_bar, STAMP_BAR);
  EXPECT_EQ(g_selects, 2);
}

TEST_F(BarTest, BlastingAFontWhileTheGlyphBarIsShownRebuildsItsList) {
  uint32 first = 1, last = 0;
  Count_Fonts(first, last);
  ASSERT_GE(last, 2u);
  gs.bar_selection[FONT_BAR] = 1;
  Bar_Jump_Glyphs();
  SV_Finish();
  ASSERT_EQ(gs.curr_bar, GLYPH_BAR);
  ASSERT_EQ(g_glyph_fontx, 1u);
  ASSERT_GT(n_glyphs, 0);
  EXPECT_EQ(gs.bard[GLYPH_BAR].last_id, n_glyphs);
  Bar_Blast(FONT_BAR, 2);
  EXPECT_EQ(gs.bar_selection[FONT_BAR], 2);
  EXPECT_EQ(g_glyph_fontx, 2u);
  // Every character listed is one of the font's.
  for (int16 i = 0; i < n_glyphs; ++i) EXPECT_EQ(g_glyphs[i].fontx, 2u);
}

TEST_F(BarTest, FontThumbnailsAreMadeOneAtATimeAndTheCountMended) {
  uint32 first = 1, last = 0;
  Count_Fonts(first, last);
  ASSERT_GE(last, 2u);
  Font_Cache_Init();
  const int32 todo = Font_Cache_Todo();
  ASSERT_GT(todo, 0);
  ASSERT_TRUE(Font_Cache_Step());
  EXPECT_EQ(Font_Cache_Todo(), todo - 1);
  // The first font without a sample got one, with ink in it.
  uint32 made = 0;
  for (uint32 f = 1; f <= last && made == 0; ++f)
    if (Is_Font_Thumbnailed(f)) made = f;
  ASSERT_NE(made, 0u);
  Rect box;
  ASSERT_TRUE(Font_Cache_Box(made, box));
  EXPECT_GT(Dark_Pixels(box), 10);

  // Every font marked elsewhere while the count says otherwise: no internal
  // error, the count is set right.
  for (uint32 f = 1; f <= last; ++f) Mark_As_Thumbnailed(f);
  g_quits = 0;
  const QuitProc saved = QUIT;
  QUIT = Count_Quit;
  EXPECT_FALSE(Font_Cache_Step());
  QUIT = saved;
  EXPECT_EQ(g_quits, 0);
  EXPECT_EQ(Font_Cache_Todo(), 0);
}

TEST_F(BarTest, AFontThatCannotBeDrawnShowsItsNameAndCountsAsDone) {
  uint32 first = 1, last = 0;
  Count_Fonts(first, last);
  ASSERT_GE(last, 1u);
  // The font's file is gone: the host finds another family for its name.
  a_family_item& entry = g_fontlist[last - 1];
  const a_family_item saved = entry;
  static constexpr char kGone[] = "Velmor Removed Face";
  for (size_t i = 0; i < sizeof kGone; ++i) entry.fontname[i] = UniChar(kGone[i]);
  entry.attrib = a_font_attrib_set(
      entry.attrib & ~(Attrib_Bit(IS_THUMBNAILED) | Attrib_Bit(IS_PI_FONT) | Attrib_Bit(IS_SP_FONT)));
  Font_Cache_Init();
  const int32 todo = Font_Cache_Todo();
  Make_Font_Thumbnail(last);
  EXPECT_TRUE(Is_Font_Thumbnailed(last));
  EXPECT_EQ(Font_Cache_Todo(), todo - 1);
  Rect box;
  ASSERT_TRUE(Font_Cache_Box(last, box));

  // The sample is the name in the interface font, as drawn here.
  GWorldPtr world = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, FONT_CELL_V, FONT_CELL_H}, 32, nullptr, world), noErr);
  Push_GWorld(world);
  SetForeColor(255, 255, 255);
  PaintRect(Rect{0, 0, FONT_CELL_V, FONT_CELL_H});
  SetForeColor(0, 0, 0);
  TextMode(srcOr);
  a_fontspec ui = gs.font_12pt;
  ui.size = 14;
  ui.effects = 0;
  UniChar name[sizeof kGone];
  for (size_t i = 0; i < sizeof kGone; ++i) name[i] = UniChar(kGone[i]);
  Draw_Unicode_Text(ui, 2, FONT_CELL_V * 3 / 4, name, int32(sizeof kGone - 1));
  TextMode(srcCopy);
  Pop_GWorld();
  const PixMap& samples = Font_Cache_Samples();
  const PixMap* want = Get_GWorld_PixMap(world);
  int differ = 0;
  for (int16 y = 0; y < FONT_CELL_V; ++y)
    for (int16 x = 0; x < FONT_CELL_H; ++x) {
      const uint8 got =
          reinterpret_cast<const uint8*>(samples.baseAddr)[(box.top + y) * PixMap_RowBytes(samples) + box.left + x];
      const uint8 expect =
          reinterpret_cast<const a_win_pixel32*>(reinterpret_cast<const uint8*>(want->baseAddr) +
                                                 y * PixMap_RowBytes(*want))[x].g;
      if (got != expect) ++differ;
    }
  Dispose_GWorld(world);
  EXPECT_GT(Dark_Pixels(box), 10);
  EXPECT_EQ(differ, 0);
  entry = saved;
}

TEST_F(BarTest, PaintingTheFontBarMakesTheVisibleThumbnailsOnly) {
  Font_Cache_Init();
  Show(FONT_BAR);
  const a_bar_row_desc& d = gs.bard[FONT_BAR];
  Custom_Paint(CUSTOM_BAR);
  for (int32 f = d.first_id; f <= d.last_id; ++f) {
    Point cell;
    EXPECT_EQ(Is_Font_Thumbnailed(uint32(f)), Bar_IDToCell(d, int16(f), cell)) << "font " << f;
  }
}

TEST_F(BarTest, TheColourBarsApplyTheirChoiceWhereItBelongs) {
  struct Case {
    a_bar_select_proc select;
    a_toggle_enum toggle;  // switched on by the choice (NTOGGLES: none)
    a_history_op op;
  };
  const Case cases[] = {
      {TextOutl_Color_Select, TEXT_OUTL_TOGGLE, OP_TEXT_ADJUST},
      {TextGlow_Color_Select, TEXT_GLOW_TOGGLE, OP_TEXT_ADJUST},
      {TextShad_Color_Select, TEXT_SHAD_TOGGLE, OP_TEXT_ADJUST},
      {EdgeOutl_Color_Select, a_toggle_enum(NTOGGLES), OP_PHOTO_ADJUST},
      {EdgeBord_Color_Select, a_toggle_enum(NTOGGLES), OP_PHOTO_ADJUST},
      {Symbols_Color_Select, a_toggle_enum(NTOGGLES), OP_SYMBOL_SETCOLOR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pending " << int(c.op) << " toggle " << int(c.toggle));
    for (a_toggle_enum x : {TEXT_OUTL_TOGGLE, TEXT_GLOW_TOGGLE, TEXT_SHAD_TOGGLE}) gs.toggle_vals[x] = false;
    pending_op = OP_NOP;
    c.select();
    EXPECT_EQ(pending_op, c.op);
    for (a_toggle_enum x : {TEXT_OUTL_TOGGLE, TEXT_GLOW_TOGGLE, TEXT_SHAD_TOGGLE})
      EXPECT_EQ(bool(gs.toggle_vals[x]), x == c.toggle) << "toggle " << int(x);
  }
  pending_op = OP_NOP;
  // Each colour bar has its own procedure; the grid lines take their colour.
  EXPECT_EQ(gs.bard[PAINT_COLORBAR].selectproc, Palette_Select);
  EXPECT_EQ(gs.bard[TEXT_GLOW_COLORBAR].selectproc, TextGlow_Color_Select);
  EXPECT_EQ(gs.bard[SYMBOLS_COLORBAR].selectproc, Symbols_Color_Select);
  gs.bar_selection[GRIDLINES_COLORBAR] = 200;
  GridLines_Color_Select();
  const a_win_pixel32 grid = gs.pref.gridlines_color;
  EXPECT_EQ(grid.raw & 0xFFFFFFu, gs.color_table[200].raw & 0xFFFFFFu);
}

TEST_F(BarTest, TagsShowTheirBarsAndTheRingsFollowTheEyedropper) {
  // The tags' procedures are in the item tables.
  EXPECT_EQ(g_grid[TAG_FONT].grid_select, Bar_Jump_Font);
  EXPECT_EQ(g_grid[TAG_FONT].grid_hilite, Calc_Hilite_Font);
  EXPECT_EQ(g_custom[CUSTOM_BAR].custom_draw, Bar_Paint);
  gs.bar_selection[STAMP_BAR] = 7;
  Bar_Jump_Stamp();
  EXPECT_EQ(gs.curr_bar, STAMP_BAR);
  EXPECT_EQ(gs.bar_selection[STAMP_BAR], 7);
  EXPECT_TRUE(Calc_Hilite_Stamp(0));
  EXPECT_FALSE(Calc_Hilite_Font(0));
  Bar_Jump_Layers();
  EXPECT_EQ(gs.curr_bar, LAYER_BAR);
  EXPECT_TRUE(Calc_Hilite_Layers(0));
  // After the eyedropper every ring that offers the paint colours shows them.
  for (int16 r = 0; r < NRINGS; ++r) gs.bar_in_ring[r] = LAYER_BAR;
  Dropper_Jump_Back();
  for (int16 r = 0; r < NRINGS; ++r) {
    const bool offers = (gs.ring_capability[r] & Bar_Bit(PAINT_COLORBAR)) != 0;
    EXPECT_EQ(gs.bar_in_ring[r], offers ? PAINT_COLORBAR : LAYER_BAR) << "ring " << r;
  }
  // The text panel's pages: the current one, then the ones whose effect is on.
  gs.grid_vals[TEXT_PHASE_GRID] = 1;
  gs.toggle_vals[TEXT_GLOW_TOGGLE] = true;
  gs.toggle_vals[TEXT_SHAD_TOGGLE] = false;
  EXPECT_EQ(Calc_Hilite_TextPhase(1), 1);
  EXPECT_EQ(Calc_Hilite_TextPhase(2), 2);
  EXPECT_EQ(Calc_Hilite_TextPhase(3), 0);
  EXPECT_EQ(Calc_Hilite_TextPhase(0), 0);
}

// A disc face open in the text phase, the bar laid out under it.
class BarDocTest : public BarTest {
 protected:
  void SetUp() override {
    BarTest::SetUp();
    doctests::Start_Document_Layer();
    SV_Init();
    ASSERT_TRUE(Doc_New(doctests::Disc_Face_Template()));
    SV_Set_Enum(SV_PHASE, TEXT_PHASE);
    SV_Finish();
    Layout();
  }
  void TearDown() override {
    doctests::Close_Document();
    SV_Init();
    BarTest::TearDown();
  }
  // The characters of every text object, bottom up.
  static std::vector<std::u16string> Texts() {
    std::vector<std::u16string> out;
    int32 omx = ENUM_START;
    while (Enum(true, false, TEXT_KINDS, omx)) {
      const a_om_rec* om = Obj_Item(omx)->om;
      std::u16string s;
      for (int32 i = 0; i < om->nxyl; ++i)
        if (om->xyl[i].cc_char != 0) s += char16_t(om->xyl[i].cc_char);
      out.push_back(s);
    }
    return out;
  }
};

TEST_F(BarDocTest, AGlyphGoesIntoANewTextOrIsRefusedForSeveral) {
  gs.bar_selection[FONT_BAR] = int16(BASE_PROP_FONT);
  Show(GLYPH_BAR);
  ASSERT_EQ(g_glyph_fontx, BASE_PROP_FONT);
  ASSERT_GT(n_glyphs, 3);
  // Nothing selected: a click on the third glyph makes a text holding it.
  ASSERT_TRUE(Texts().empty());
  Bar_MouseDown(Press(Centre_Of(GLYPH_BAR, 3)));
  std::vector<std::u16string> texts = Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find(char16_t(g_glyphs[2].uchar)), std::u16string::npos);
  // The text is no longer edited, nothing is selected: a second text.
  Edit_OK();
  Begin_Selection_Change();
  Obj_Select_None();
  End_Selection_Change();
  Show(GLYPH_BAR);
  Bar_MouseDown(Press(Centre_Of(GLYPH_BAR, 1)));
  Edit_OK();
  // Two texts selected: refused, nothing changes.
  Begin_Selection_Change();
  Obj_Select_All();
  End_Selection_Change();
  texts = Texts();
  ASSERT_EQ(texts.size(), 2u);
  ASSERT_EQ(Count(true, TEXT_KINDS), 2);
  Show(GLYPH_BAR);
  Sounds();
  Bar_MouseDown(Press(Centre_Of(GLYPH_BAR, 4)));
  EXPECT_EQ(Sounds().back(), SND_NULL);
  EXPECT_EQ(Texts(), texts);
  // One text selected: the glyph goes into it.
  int32 first = ENUM_START;
  ASSERT_TRUE(Enum(true, false, TEXT_KINDS, first));
  Selection_Set1(first);
  Show(GLYPH_BAR);
  Bar_MouseDown(Press(Centre_Of(GLYPH_BAR, 4)));
  const std::vector<std::u16string> after = Texts();
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].size(), texts[0].size() + 1);
  EXPECT_NE(after[0].find(char16_t(g_glyphs[3].uchar)), std::u16string::npos);
  EXPECT_EQ(after[1], texts[1]);
}

TEST_F(BarTest, TheCopyCounterStaysWithinItsThreeDigits) {
  g_doc.doc_ncopies = 995;
  Sounds();
  QC_Delta(4);
  EXPECT_EQ(g_doc.doc_ncopies, 999);
  QC_Delta(10);
  EXPECT_EQ(g_doc.doc_ncopies, 999);
  QC_Delta(-1000);
  EXPECT_EQ(g_doc.doc_ncopies, 0);
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_SUBTOOL_ONESHOT, SND_LIMIT, SND_LIMIT}));
  a_keystroke up = Key(VK_UP);
  up.mods = Keymod_Bit(OPTIONKEY);
  EXPECT_TRUE(QCombo_KeyFilter(up));
  EXPECT_EQ(g_doc.doc_ncopies, 10);
  EXPECT_TRUE(QCombo_KeyFilter(Key(VK_DOWN)));
  EXPECT_EQ(g_doc.doc_ncopies, 9);
  g_doc.doc_ncopies = 0;
}

}  // namespace
