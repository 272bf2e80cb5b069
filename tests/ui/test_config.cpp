// The window's layouts: the editing layout per phase, the tools hidden, the
// print preview and the start screen with its tabs; the edit area's rulers,
// history column and views; the tags of a ring; the paper picker keeping
// its choice; and the real program drawing the start screen and an open
// document.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "LabelSessionSupport.h"
#include "NodeTestSupport.h"
#include "ProgramShotSupport.h"
#include "SoundTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskTmpl.h"
#include "doc/VoskUndo.h"
#include "host/HostScript.h"
#include "objects/VoskBlok.h"
#include "pixel/OPUtil.h"
#include "platform/QDRect.h"
#include "platform/SysMenu.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntf.h"

namespace {

namespace fs = std::filesystem;
using nodetest::Node_At;
using nodetest::Slot_Of;

bool Has(a_locator loc) { return Slot_Of(loc) != 0; }
Rect Bounds(a_locator loc) { return Node_At(loc).nbounds; }
std::string Text(const Rect& r) {
  return "(" + std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) + "," +
         std::to_string(r.right) + ")";
}
#define EXPECT_RECT(a, b) EXPECT_TRUE(EqualRect((a), (b))) << Text(a) << " is not " << Text(b)

// The main window's client rectangle.
Rect Client() {
  Rect r;
  GetWindowInterior(gs.outer_window, r);
  return Rect{0, 0, int16(r.bottom - r.top), int16(r.right - r.left)};
}

// The interface over the build's picture library, with the documents'
// modules started.
class Config : public programshot::PanelTree {
 protected:
  // A new document of one disc face, in phase.
  void Open(a_phase phase) {
    ASSERT_TRUE(Doc_New(doctests::Disc_Face_Template()));
    Select_Doc_Unit(1);
    gs.nviews = 1;
    gs.curr_phase = phase;
    gs.tool_net = BRUSH_TOOL;
    gs.curr_ring = BRUSH_RING;
    gs.curr_bar = PAINT_COLORBAR;
  }
};

// --- The editing layout ---------------------------------------------------------------

// Per phase: the strip, tags and corner are there but in the collage phase,
// where the bar reaches the right edge and the tool panel starts at the top.
TEST_F(Config, EditingLayoutPerPhase) {
  Open(PAINT_PHASE);
  for (a_phase phase : {PAINT_PHASE, CANVAS_PHASE, SYMBOL_PHASE, PHOTO_PHASE, GRID_PHASE, TEXT_PHASE, COLLAGE_PHASE}) {
    SCOPED_TRACE(int(phase));
    gs.curr_phase = phase;
    Config_All();
    const Rect t = Client();
    const int16 bar_top = int16(t.bottom - 102);
    const bool collage = phase == COLLAGE_PHASE;
    EXPECT_EQ(Has(NFT[PHASE_DIV_NODE]), !collage);
    EXPECT_EQ(Has(PHASE_CUST_LOC), !collage);
    EXPECT_EQ(Has(NFT[TAGS_DIV_NODE]), !collage);
    EXPECT_EQ(Has(NFT[CORNER_DIV_NODE]), !collage);
    EXPECT_EQ(Has(NFT[BAR_ZOOM_NODE]), !collage);
    EXPECT_RECT(Bounds(NFT[EDIT_DIV_NODE]), (Rect{0, 350, bar_top, t.right}));
    EXPECT_RECT(Bounds(NFT[EDIT1_CUST_NODE]), Bounds(NFT[EDIT_DIV_NODE]));
    EXPECT_EQ(Node_At(NFT[EDIT1_CUST_NODE]).custom_ix, CUSTOM_EDIT1);
    EXPECT_RECT(gs.views[0].bounds, Bounds(NFT[EDIT_DIV_NODE]));
    if (collage) {
      EXPECT_RECT(Bounds(NFT[TOOL_DIV_NODE]), (Rect{0, 0, bar_top, 350}));
      EXPECT_RECT(Bounds(NFT[BAR_DIV_NODE]), (Rect{bar_top, 0, t.bottom, t.right}));
      continue;
    }
    EXPECT_RECT(Bounds(NFT[PHASE_DIV_NODE]), (Rect{0, 0, 56, 350}));
    EXPECT_RECT(Bounds(PHASE_CUST_LOC), (Rect{0, 0, 56, 350}));
    EXPECT_RECT(Bounds(NFT[TOOL_DIV_NODE]), (Rect{56, 0, int16(bar_top - 35), 350}));
    EXPECT_RECT(Bounds(NFT[TAGS_DIV_NODE]), (Rect{int16(bar_top - 35), 0, bar_top, 350}));
    EXPECT_RECT(Bounds(NFT[BAR_DIV_NODE]), (Rect{bar_top, 0, t.bottom, int16(t.right - 179)}));
    const Rect corner{bar_top, int16(t.right - 179), t.bottom, t.right};
    EXPECT_RECT(Bounds(NFT[CORNER_DIV_NODE]), corner);
    EXPECT_RECT(Bounds(NFT[BAR_NAV_NODE]), (Rect{bar_top, int16(t.right - 133), t.bottom, t.right}));
    EXPECT_TRUE(Node_At(NFT[BAR_NAV_NODE]).custom_off);
    EXPECT_EQ(Bounds(NFT[BAR_ZOOM_NODE]).top, corner.top);
    EXPECT_EQ(Bounds(NFT[BAR_ZOOM_NODE]).left, corner.left);
  }
}

// The status line takes the edit area's bottom 20 pixels, but not in the
// canvas phase.
TEST_F(Config, StatusLineUnderTheEditArea) {
  Open(PAINT_PHASE);
  gs.pref.status_option = true;
  Config_All();
  const Rect t = Client();
  const int16 bar_top = int16(t.bottom - 102);
  EXPECT_RECT(Bounds(NFT[STATUS_CUST_NODE]), (Rect{int16(bar_top - 20), 350, bar_top, t.right}));
  EXPECT_EQ(Bounds(NFT[EDIT_DIV_NODE]).bottom, bar_top - 20);
  gs.curr_phase = CANVAS_PHASE;
  Config_All();
  EXPECT_FALSE(Has(NFT[STATUS_CUST_NODE]));
  EXPECT_EQ(Bounds(NFT[EDIT_DIV_NODE]).bottom, bar_top);
}

// With the tools hidden the window holds its node, the edit division over
// the whole of it and the edit area's content, and no menu bar.
TEST_F(Config, ToolsHidden) {
  Open(PAINT_PHASE);
  gs.tool_show = false;
  Config_All();
  const Rect t = Client();
  ASSERT_GT(Node_Used(CURR), 0);
  for (int16 nx = 1; nx <= Node_Used(CURR); ++nx) {
    const a_locator loc = Node_Get(CURR, nx).loc;
    EXPECT_TRUE(loc == NFT[OUTER_WIN_NODE] || loc == NFT[EDIT_DIV_NODE] || Is_Node_Below(loc, NFT[EDIT_DIV_NODE]))
        << std::hex << loc;
  }
  EXPECT_RECT(Bounds(NFT[EDIT_DIV_NODE]), t);
  EXPECT_RECT(gs.views[0].bounds, t);
  EXPECT_EQ(GetMenu(gs.outer_window), nullptr);
  gs.tool_show = true;
  Config_All();
  EXPECT_NE(GetMenu(gs.outer_window), nullptr);
  EXPECT_TRUE(Has(NFT[TOOL_DIV_NODE]));
}

// --- The edit area ----------------------------------------------------------------------

// Rulers add 24 pixels along the top and the left, and go again.
TEST_F(Config, RulersShrinkTheView) {
  Open(GRID_PHASE);
  Config_All();
  const Rect v0 = gs.views[0].bounds;
  EXPECT_FALSE(Has(NFT[RULERH_NODE]));
  gs.toggle_vals[RULERS_TOGGLE] = true;
  Config_EditArea();
  const Rect v1{int16(v0.top + 24), int16(v0.left + 24), v0.bottom, v0.right};
  EXPECT_RECT(gs.views[0].bounds, v1);
  EXPECT_RECT(Bounds(NFT[EDIT1_CUST_NODE]), v1);
  EXPECT_RECT(Bounds(NFT[RULERH_NODE]), (Rect{v0.top, v1.left, v1.top, v0.right}));
  EXPECT_RECT(Bounds(NFT[RULERV_NODE]), (Rect{v1.top, v0.left, v0.bottom, v1.left}));
  EXPECT_EQ(Node_At(NFT[RULERH_NODE]).custom_ix, CUSTOM_RULERH);
  EXPECT_EQ(Node_At(NFT[RULERV_NODE]).custom_ix, CUSTOM_RULERV);
  // The rulers paint there, not the pasteboard.
  Invalidate_Window(gs.outer_window);
  DoUpdate(gs.outer_window);
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  ASSERT_TRUE(Host_Window_Compose(gs.outer_window, px, w, h));
  for (const Point p : {Point{int16(v0.top + 12), int16(v0.left + 100)}, Point{int16(v0.top + 100), int16(v0.left + 12)}})
    EXPECT_NE(px[size_t(p.v) * size_t(w) + size_t(p.h)] & 0xFFFFFF, 0xA5A5A5u) << p.h << " " << p.v;
  gs.toggle_vals[RULERS_TOGGLE] = false;
  Config_EditArea();
  EXPECT_RECT(gs.views[0].bounds, v0);
  EXPECT_FALSE(Has(NFT[RULERH_NODE]));
  EXPECT_FALSE(Has(NFT[RULERV_NODE]));
}

// The history column: 133 pixels in an area narrower than 579, else 179;
// the views and the horizontal ruler end at it; none with the option off or
// the tools hidden.
TEST_F(Config, HistoryColumnWidth) {
  const struct {
    int16 width;
    bool option, shown, rulers;
    int16 history;
  } cases[] = {
      {400, true, true, false, 133}, {578, true, true, false, 133}, {579, true, true, false, 179},
      {900, true, true, true, 179},  {900, false, true, false, 0},  {900, true, false, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + (c.option ? " option" : "") + (c.shown ? " shown" : ""));
    gs.pref.history_option = c.option;
    gs.tool_show = c.shown;
    gs.toggle_vals[RULERS_TOGGLE] = c.rulers;
    const Rect area{10, 100, 510, int16(100 + c.width)};
    const a_edit_rects e = Calc_Edit_Rects(area, 1);
    const int16 left = int16(area.right - c.history);
    if (c.history == 0) {
      EXPECT_TRUE(EmptyRect(e.history));
    } else {
      EXPECT_RECT(e.history, (Rect{area.top, left, area.bottom, area.right}));
    }
    EXPECT_EQ(e.views[0].right, left);
    if (c.rulers) {
      EXPECT_EQ(e.ruler_h.right, left);
    }
  }
  // Two views: an 8-pixel separator at three quarters of the width.
  gs.pref.history_option = false;
  gs.toggle_vals[RULERS_TOGGLE] = false;
  const a_edit_rects two = Calc_Edit_Rects(Rect{0, 0, 100, 400}, 2);
  EXPECT_RECT(two.sep, (Rect{0, 296, 100, 304}));
  EXPECT_RECT(two.views[0], (Rect{0, 0, 100, 296}));
  EXPECT_RECT(two.views[1], (Rect{0, 304, 100, 400}));
  // In the window: the edit area of a 900-pixel window is 550 wide.
  Open(PAINT_PHASE);
  gs.tool_show = true;
  gs.pref.history_option = true;
  Config_All();
  const Rect edit = Bounds(NFT[EDIT_DIV_NODE]);
  ASSERT_LT(edit.right - edit.left, 579);
  EXPECT_RECT(Bounds(NFT[HISTORY_NODE]), (Rect{edit.top, int16(edit.right - 133), edit.bottom, edit.right}));
  EXPECT_EQ(gs.views[0].bounds.right, edit.right - 133);
}

// The fitting zoom shows the whole unit in the view; a collage counts 1200
// pixels across.
TEST_F(Config, FitZoomShowsTheWholeUnit) {
  Open(PAINT_PHASE);
  gs.grid_vals[ZOOM_GRID] = 0;
  Config_All();
  const a_view_rec& v = gs.views[0];
  const Rect& unit = g_doc.up->paintbounds;
  ASSERT_GT(unit.right - unit.left, v.bounds.right - v.bounds.left) << "the disc is larger than the view";
  EXPECT_LT(v.zoom_factor.num, v.zoom_factor.den);
  EXPECT_LE((unit.right - unit.left) * v.zoom_factor.num / v.zoom_factor.den, v.bounds.right - v.bounds.left - 4);
  EXPECT_LE((unit.bottom - unit.top) * v.zoom_factor.num / v.zoom_factor.den, v.bounds.bottom - v.bounds.top - 4);
  EXPECT_EQ(v.zoom_fudge, (v.zoom_factor.den + v.zoom_factor.num - 1) / v.zoom_factor.num + 1);
  // A small unit is shown 1:1.
  g_doc.up->paintbounds = Rect{0, 0, 100, 100};
  Config_All();
  EXPECT_EQ(v.zoom_factor.num, v.zoom_factor.den);
  EXPECT_EQ(v.zoom_fudge, 1);
  // The same unit as a collage is 1200 pixels across: reduced.
  gs.curr_phase = COLLAGE_PHASE;
  Config_All();
  EXPECT_LT(v.zoom_factor.num, v.zoom_factor.den);
  EXPECT_LE(1200 * v.zoom_factor.num / v.zoom_factor.den, v.bounds.right - v.bounds.left - 4);
}

// --- The tags ------------------------------------------------------------------------------

std::vector<a_grid_enum> Tags(std::vector<Rect>* boxes = nullptr) {
  std::vector<a_grid_enum> tags;
  for (int16 nx = 1; nx <= Node_Used(CURR); ++nx) {
    const a_node_rec& n = Node_Get(CURR, nx);
    if (n.kind != ICONGRID_NODE || !Is_Node_Below(n.loc, NFT[TAGS_DIV_NODE])) continue;
    tags.push_back(n.grid_ix);
    if (boxes != nullptr) boxes->push_back(n.nbounds);
  }
  return tags;
}

// One tag per bar of the ring, in the strip's order, left to right along its
// bottom; the pattern tag narrower in a ring of four; the blue line under
// the tags and on to the strip's right edge.
TEST_F(Config, TagsOfTheRing) {
  Open(PAINT_PHASE);
  const struct {
    a_ring_kind ring;
    a_bar bar;
    std::vector<a_grid_enum> tags;
  } cases[] = {
      {LINE_RING, PAINT_COLORBAR, {TAG_LAYERS, TAG_PALETTE, TAG_GRADIENT, TAG_PATTERN}},
      {FRAME_RING, PAINT_COLORBAR, {TAG_LAYERS, TAG_PALETTE, TAG_PATTERN, TAG_BORDER}},
      {BRUSH_RING, PAINT_COLORBAR, {TAG_LAYERS, TAG_PALETTE, TAG_GRADIENT}},
      {FOVAL_RING, PATTERN_BAR, {TAG_LAYERS, TAG_PALETTE, TAG_PATTERN}},
      {TEXT_OUTL_RING, TEXT_OUTL_COLORBAR, {TAG_PALETTED}},
      {GRIDPHASE_RING, GRIDLINES_COLORBAR, {TAG_GRID_COLOR, TAG_CUTL_COLOR}},
      {STENCIL_RING, EMPTY_BAR, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.ring));
    gs.curr_ring = c.ring;
    gs.curr_bar = c.bar;
    Config_All();
    std::vector<Rect> boxes;
    EXPECT_EQ(Tags(&boxes), c.tags);
    const Rect strip = Bounds(NFT[TAGS_DIV_NODE]);
    int16 left = strip.left;
    for (size_t i = 0; i < boxes.size(); ++i) {
      const bool narrow = c.tags[i] == TAG_PATTERN && Count_Ring_Elements(c.ring) == 4;
      EXPECT_EQ(boxes[i].left, left);
      EXPECT_EQ(boxes[i].right - boxes[i].left, narrow ? 85 : 88);
      EXPECT_EQ(boxes[i].bottom, strip.bottom);
      left = boxes[i].right;
    }
    EXPECT_LE(left, strip.right);
    const a_locator line1 = NFT[TAGS_DIV_NODE] + NFT[SUBTOOL_INC], line2 = line1 + NFT[SUBTOOL_INC];
    EXPECT_EQ(Has(line1), !c.tags.empty());
    if (c.tags.empty()) continue;
    EXPECT_RECT(Bounds(line1), (Rect{int16(strip.bottom - 9), strip.left, strip.bottom, left}));
    EXPECT_RECT(Bounds(line2), (Rect{int16(strip.bottom - 9), left, strip.bottom, strip.right}));
    EXPECT_EQ(Node_At(line1).decorationx, DECORATION_BLUELINE);
  }
}

// A selection of mixed kinds shows no tags and no palette bar.
TEST_F(Config, MixedSelectionShowsNoTagsNorBar) {
  Open(SYMBOL_PHASE);
  gs.curr_kindset = OBJECT_KINDS;
  gs.curr_ring = SYMBOL_RING;
  gs.curr_bar = SYMBOLS_COLORBAR;
  a_oj_master& m = g_doc.up->oj;
  Obj_Append(m, PHOTO_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), New_PH_Rec(), nullptr);
  Config_All();
  EXPECT_EQ(Tags(), (std::vector<a_grid_enum>{TAG_LAYERS, TAG_SYMB_COLOR}));
  EXPECT_TRUE(Has(NFT[BAR_CUST_NODE]));
  m.list[m.nlist - 1].flags |= OJ_Flag_Bit(SELECTED_FLAG);
  ASSERT_EQ(Calc_Selection_Mix(), MOTLEY);
  Config_All();
  EXPECT_TRUE(Tags().empty());
  EXPECT_FALSE(Has(NFT[BAR_CUST_NODE]));
  EXPECT_TRUE(Has(NFT[TAGS_DIV_NODE]));
}

// A bar of several rows has its previous, index and next buttons stacked
// at the left (the index button's place left empty for a colour bar), and
// the bar starts right of them; a bar of one row takes the whole area.
TEST_F(Config, PaletteBarButtons) {
  Open(PAINT_PHASE);
  // The buttons show where the bar's elements take more than one
  // screenful, as measured for this area by the configuration itself.
  const struct {
    a_bar bar;
    bool index;
  } cases[] = {
      {STAMP_BAR, true},
      {PAINT_COLORBAR, false},
      {GRADIENT_BAR, false},
  };
  bool seen_with = false, seen_without = false;
  for (const auto& cs : cases) {
    SCOPED_TRACE(int(cs.bar));
    gs.curr_bar = cs.bar;
    Config_All();
    const struct {
      bool buttons, index;
    } c{gs.bard[cs.bar].nrows > 1, gs.bard[cs.bar].nrows > 1 && cs.index};
    (c.buttons ? seen_with : seen_without) = true;
    const Rect area = Bounds(NFT[BAR_DIV_NODE]);
    EXPECT_EQ(Has(NFT[BAR_PREV_ITEM_NODE]), c.buttons);
    EXPECT_EQ(Has(NFT[BAR_IX_ITEM_NODE]), c.index);
    EXPECT_EQ(Has(NFT[BAR_NEXT_ITEM_NODE]), c.buttons);
    const Rect bar = Bounds(NFT[BAR_CUST_NODE]);
    EXPECT_EQ(Node_At(NFT[BAR_CUST_NODE]).custom_ix, CUSTOM_BAR);
    EXPECT_EQ(bar.left, c.buttons ? area.left + 56 : area.left);
    EXPECT_EQ(bar.right, area.right);
    if (!c.buttons) continue;
    const Rect prev = Bounds(NFT[BAR_PREV_ITEM_NODE]), next = Bounds(NFT[BAR_NEXT_ITEM_NODE]);
    EXPECT_EQ(prev.left, area.left + 3);
    EXPECT_EQ(prev.top, area.top + 3);
    EXPECT_EQ(next.top, prev.bottom + (prev.bottom - prev.top)) << "under the index button or its place";
  }
  EXPECT_TRUE(seen_with && seen_without) << "the cases should show both";
}

// The layer bar: status column, bar and scroll bar across the bar area.
TEST_F(Config, LayerBarFillsTheBarArea) {
  Open(PHOTO_PHASE);
  gs.curr_bar = LAYER_BAR;
  Config_All();
  const Rect area = Bounds(NFT[BAR_DIV_NODE]);
  const Rect status = Bounds(NFT[BAR_PSTATUS_NODE]);
  const Rect layers = Bounds(NFT[BAR_LAYERS_NODE]);
  EXPECT_RECT(status, (Rect{area.top, area.left, area.bottom, int16(area.left + 20)}));
  EXPECT_EQ(layers.left, status.right);
  EXPECT_RECT(gs.layerbard.bounds, layers);
  EXPECT_EQ(Bounds(NFT[BAR_PSCROLL_NODE]).left, layers.right);
  EXPECT_EQ(Bounds(NFT[BAR_PSCROLL_NODE]).right, area.right);
  EXPECT_FALSE(Has(NFT[BAR_CUST_NODE]));
}

// --- The print preview ------------------------------------------------------------------

TEST_F(Config, PreviewLayout) {
  Open(PREVIEW_PHASE);
  Config_All();
  const Rect t = Client();
  const Rect edit{0, 350, t.bottom, t.right};
  EXPECT_RECT(Bounds(NFT[EDIT_DIV_NODE]), edit);
  EXPECT_EQ(Node_At(NFT[EDIT_DIV_NODE]).division_decoration, DECORATION_PARQUET);
  EXPECT_RECT(Bounds(NFT[TOOL_DIV_NODE]), (Rect{56, 0, t.bottom, 350}));
  EXPECT_RECT(gs.views[0].bounds, edit);
  EXPECT_RECT(Calc_Preview_Layout(t).edit, edit);
  EXPECT_FALSE(Has(NFT[BAR_DIV_NODE]));
  EXPECT_FALSE(Has(NFT[TAGS_DIV_NODE]));
  const a_node_rec& page = Node_At(NFT[EDIT1_CUST_NODE]);
  EXPECT_EQ(page.custom_ix, CUSTOM_PREVIEW);
  Rect inset = edit;
  InsetRect(inset, 16, 16);
  Rect within;
  SectRect(page.nbounds, inset, within);
  EXPECT_RECT(within, page.nbounds);
  const a_node_rec& caption = Node_At(NFT[SEP_ITEM_NODE]);
  EXPECT_EQ(caption.kind, LABEL_NODE);
  EXPECT_EQ(caption.label_strx, -3);
  EXPECT_EQ(caption.label_bopacity, 15);
  EXPECT_EQ(caption.nbounds.right - caption.nbounds.left, 300);
  EXPECT_EQ(caption.nbounds.left + caption.nbounds.right, page.nbounds.left + page.nbounds.right);
  EXPECT_LE(caption.nbounds.bottom, t.bottom);
}

// --- The start screen ---------------------------------------------------------------------

// The three tabs: the list and the buttons of each.
TEST_F(Config, StartScreenTabs) {
  const struct {
    int16 age;
    a_custom_enum list;
    std::vector<a_oneshot_enum> buttons;
  } cases[] = {
      {0, CUSTOM_RECENT_LAYOUTS, {PROJ_PICKLAYOUT_BUTTON, PROJ_LANG_BUTTON, PROJ_QUIT_BUTTON}},
      {1, CUSTOM_RECENT_DOCS, {PROJ_OPEN_BUTTON, PROJ_LANG_BUTTON, PROJ_QUIT_BUTTON}},
      {2, CUSTOM_EXAMPLES, {PROJ_QUIT_BUTTON}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.age);
    gs.grid_vals[PROJ_AGE_GRID] = c.age;
    Config_All();
    const Rect t = Client();
    const Rect strip = Bounds(NFT[PHASE_DIV_NODE]);
    EXPECT_RECT(strip, (Rect{0, 0, ProjPicker_Strip_Height(t.bottom), t.right}));
    EXPECT_EQ(Node_At(NFT[PHASE_DIV_NODE]).division_decoration, DECORATION_STRIPED);
    const a_node_rec& area = Node_At(NFT[ECHO_DIV_NODE]);
    EXPECT_RECT(area.nbounds, (Rect{strip.bottom, 0, t.bottom, t.right}));
    EXPECT_EQ(area.division_decoration, DECORATION_DARKSTRIPE);
    EXPECT_EQ(Node_At(NFT[ECHO_DIV_NODE] + NFT[SUBTOOL_INC]).custom_ix, c.list);
    std::vector<a_oneshot_enum> buttons;
    for (int16 nx = 1; nx <= Node_Used(CURR); ++nx)
      if (Node_Get(CURR, nx).kind == ONESHOT_NODE) buttons.push_back(Node_Get(CURR, nx).oneshot_ix);
    EXPECT_EQ(buttons, c.buttons);
    // The tabs centred on the strip's bottom.
    const Rect tabs = Bounds(NFT[PHASE_DIV_NODE] + 3 * NFT[SUBTOOL_INC]);
    EXPECT_EQ(tabs.bottom, strip.bottom);
    EXPECT_LE(std::abs((tabs.left + tabs.right) - t.right), 1);
    EXPECT_FALSE(Has(NFT[TOOL_DIV_NODE]));
  }
  for (const auto& [h, strip] : {std::pair{300, 45}, {900, 50}, {1200, 55}, {3000, 55}})
    EXPECT_EQ(ProjPicker_Strip_Height(int16(h)), strip) << h;
}

// The layout chooser keeps the chosen kind and layout through another
// configuration (a window resized), and starts afresh when the sort grid
// changes.
TEST_F(Config, PaperChooserKeepsTheChoice) {
  gs.curr_phase = PAPER_PHASE;
  gs.grid_vals[PROJ_SORT_GRID] = 0;
  Config_All();
  a_listbox_desc& kinds = gs.paper_kind_desc;
  a_listbox_desc& papers = gs.paper_list_desc;
  ASSERT_GT(kinds.nlist, 3);
  EXPECT_EQ(Node_At(NFT[EDIT1_CUST_NODE]).custom_ix, CUSTOM_PAPERECHO);
  soundtest::SoundRecorder sounds;
  PaperKind_Set(3);
  ASSERT_GT(papers.nlist, 2);
  PaperList_Set(2);
  const uint32 kind = kinds.list[2].key;
  const uint32 layout = Get_Selected_TemplateX();
  ASSERT_NE(layout, 0u);
  EXPECT_EQ(sounds.Ids(), (std::vector<int16>{SND_SUBTOOL_ONESHOT, SND_SUBTOOL_ONESHOT}));
  const int32 listed = papers.nlist;
  gs.pref.tot_window.right = int16(gs.pref.tot_window.right - 40);
  Config_All();
  EXPECT_EQ(kinds.hix, 3);
  EXPECT_EQ(kinds.list[kinds.hix - 1].key, kind);
  EXPECT_EQ(papers.nlist, listed);
  EXPECT_EQ(Get_Selected_TemplateX(), layout);
  // The brands instead of the kinds: row 1 ("All brands") again.
  gs.grid_vals[PROJ_SORT_GRID] = 1;
  Config_Tools();
  EXPECT_EQ(kinds.hix, 1);
  EXPECT_EQ(papers.hix, 1);
  // Back to the kinds: row 1, the choice made under the brands is gone.
  gs.grid_vals[PROJ_SORT_GRID] = 0;
  Config_All();
  EXPECT_EQ(kinds.hix, 1);
}

// --- The real program -------------------------------------------------------------------

// Headless runs of the program: the start screen with each tab, and an
// example project in the print preview and the paint phase, saved under
// snapshots/panels for looking at.
class ConfigEndToEnd : public Config {
 protected:
  void SetUp() override {
    Config::SetUp();
    if (HasFatalFailure()) return;
    const std::string exe = VELMOR4_EXE;
    build_ = exe.substr(0, exe.find_last_of('/'));
    shots_ = build_ + "/snapshots/panels";
    fs::create_directories(shots_);
    dir_ = fs::temp_directory_path() / ("velmor-config-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ + "/config");
  }
  void TearDown() override {
    fs::remove_all(dir_);
    Config::TearDown();
  }
  // Runs the program headless on a 1280 x 1024 screen with the script,
  // opening file when one is given; err := its standard error.
  int Run(const std::string& script, const std::string& file, std::string& err) {
    return programshot::Run(dir_, script, file, 1280, 1024, err);
  }
  std::string Shot(const std::string& name) {
    const std::string path = shots_ + "/" + name + ".png";
    fs::remove(path);
    return path;
  }
  static uint32 Px(const std::vector<uint32>& px, int32 w, int x, int y) { return programshot::Px(px, w, x, y); }
  static std::string At(Point p) { return programshot::At(p); }
  std::string build_, shots_, dir_;
};

TEST_F(ConfigEndToEnd, StartScreenTabsAndAnOpenDocument) {
  // The window's size from a first look.
  std::string err;
  const std::string first = Shot("00-start");
  int rc = Run("wait 5\nsnapshot " + first + "\nquit\n", "", err);
  ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << err;
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  std::string why;
  ASSERT_TRUE(Host_Read_PNG(first, px, w, h, why)) << why;

  // The tabs' cells, from the layout code.
  const int16 strip = ProjPicker_Strip_Height(int16(h));
  const Rect tabs = g_grid[PROJ_AGE_GRID].src_rect;
  const int16 tab_w = int16((tabs.right - tabs.left) / 3);
  const int16 tabs_left = int16((w - (tabs.right - tabs.left)) / 2);
  std::vector<std::string> shots;
  std::string script = "wait 5\n";
  for (int tab = 0; tab < 3; ++tab) {
    const Point p{int16(strip - 12), int16(tabs_left + tab * tab_w + tab_w / 2)};
    shots.push_back(Shot("0" + std::to_string(tab + 1) + "-start-tab" + std::to_string(tab)));
    script += "click " + At(p) + "\nwait 5\nsnapshot " + shots.back() + "\n";
  }
  rc = Run(script + "quit\n", "", err);
  ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << err;
  std::vector<std::vector<uint32>> tab_px(3);
  for (int tab = 0; tab < 3; ++tab) {
    int32 tw = 0, th = 0;
    ASSERT_TRUE(Host_Read_PNG(shots[size_t(tab)], tab_px[size_t(tab)], tw, th, why)) << why;
    ASSERT_EQ(tw, w);
  }
  // The first button of each tab: "Choose a layout...", "Open...", "Quit";
  // the other tabs' buttons are not there on the examples' tab.
  const int16 button_x = int16(w - 24 - 100);
  const int16 second_button_y = int16(strip + 24 + 38 + 12 + 19);
  EXPECT_NE(Px(tab_px[0], w, button_x, second_button_y), Px(tab_px[2], w, button_x, second_button_y));
  EXPECT_EQ(Px(tab_px[0], w, button_x, second_button_y), Px(tab_px[1], w, button_x, second_button_y));
  EXPECT_NE(tab_px[0], tab_px[2]);

  // An example project: the print preview, then the paint phase through the
  // phase strip.
  const std::string example = build_ + "/Templates/CD labels.CD4";
  ASSERT_TRUE(fs::exists(example));
  const std::string preview = Shot("10-preview"), paint = Shot("11-paint");
  Rect paint_button;
  ASSERT_TRUE(Phase_Button_Rect(PAINT_PHASE, Rect{0, 0, 56, 350}, paint_button));
  const Point pp{int16((paint_button.top + paint_button.bottom) / 2),
                 int16((paint_button.left + paint_button.right) / 2)};
  rc = Run("wait 10\nsnapshot " + preview + "\nclick " + At(pp) + "\nwait 10\nsnapshot " + paint + "\nquit\n", example,
           err);
  ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << err;
  std::vector<uint32> pre, pai;
  int32 pw = 0, ph = 0;
  ASSERT_TRUE(Host_Read_PNG(preview, pre, pw, ph, why)) << why;
  ASSERT_TRUE(Host_Read_PNG(paint, pai, pw, ph, why)) << why;
  ASSERT_EQ(pw, w);
  const Rect total{0, 0, int16(ph), int16(pw)};
  const a_window_layout lay = Calc_Editing_Layout(total);
  // The palette bar's area in the paint phase, where the preview's edit
  // area showed its parquet before: the bar's rows, or its area's grey
  // where its cells end, never the parquet.
  const Point bar{int16(lay.bar.top + 60), int16(lay.bar.right - 20)};
  EXPECT_NE(Px(pai, pw, bar.h, bar.v), Px(pre, pw, bar.h, bar.v));
  // The tool panel's stripe left of the edit area, the same in both.
  EXPECT_EQ(Px(pai, pw, 340, 300), Px(pre, pw, 340, 300));
}

}  // namespace
