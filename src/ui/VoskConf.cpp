#include "ui/VoskConf.h"

#include <algorithm>
#include <vector>

#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskPrev.h"
#include "doc/VoskPrin.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskBlok.h"
#include "objects/VoskLayer.h"
#include "pixel/DrawUtilList.h"
#include "pixel/Fast.h"
#include "platform/QDRect.h"
#include "platform/SysKey.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"
#include "ui/VoskBar.h"
#include "ui/VoskBrow.h"
#include "ui/VoskFun2.h"
#include "ui/VoskIntI.h"

namespace {

constexpr a_pixel24 kBlack{0, 0, 0};
constexpr a_pixel24 kWhite{255, 255, 255};
constexpr a_pixel24 kBarGray{160, 160, 160};

// How much smaller than the view the whole unit must be for the fitting
// zoom to show it at 1:1, and the largest reduction it takes.
constexpr int16 kFitMargin = 4;
constexpr int16 kFitLimit = 8;
// In the collage phase the unit counts as this wide for the fitting zoom.
constexpr int16 kCollageFitWidth = 1200;

// The palette bar's buttons stand this far in from the area's left edge and
// the bar starts this far right of them.
constexpr int16 kBarButtonInset = 3;
constexpr int16 kBarAfterButtons = 53;
// The layer bar's status column.
constexpr int16 kLayerStatusWidth = 20;
// The tags strip's closing blue line.
constexpr int16 kBlueLineHeight = 9;
// The tag of the pattern bar in a ring of four bars (four of the usual
// width would not fit the strip).
constexpr int16 kTagPatternNarrow = 85;
constexpr int16 kTagPatternWide = 88;
// The print preview's caption.
constexpr int16 kCaptionWidth = 300;
constexpr int16 kCaptionHeight = 24;
// The start screen: margins of its lists and button column, the gap
// between buttons, the page label of the examples.
constexpr int16 kPickerMargin = 24;
constexpr int16 kPickerButtonGap = 12;
constexpr int16 kPageLabelWidth = 120;
// The paper picker's panel: half the window, not narrower than the tool
// column.
constexpr int16 kPaperPanelMin = CONF_LEFT_WIDTH;

constexpr a_locator Sub(a_config_item parent, int16 n) { return NFT[parent] + a_locator(n) * NFT[SUBTOOL_INC]; }

int16 Width(const Rect& r) { return int16(r.right - r.left); }
int16 Height(const Rect& r) { return int16(r.bottom - r.top); }
bool Is_Empty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
Rect Item_Size(const a_basic_item& item) {
  return Rect{0, 0, Height(item.src_rect), Width(item.src_rect)};
}

// Opens a whole-window description with the main window's node; the
// window's client rectangle (0, 0 at its top-left), which every node below
// the window node is placed in.
Rect Begin_Whole(bool8 menubar) {
  Rect total;
  Node_BeginConfigAll(menubar, total);
  Rect gbounds;
  Node_Add_Window(NFT[OUTER_WIN_NODE], total, gs.outer_window, gbounds);
  Rect inside{0, 0, Height(total), Width(total)};
  if (gs.outer_window != nullptr) {
    Rect r;
    GetWindowInterior(gs.outer_window, r);
    if (!Is_Empty(r)) inside = Rect{0, 0, Height(r), Width(r)};
  }
  return inside;
}

void Add_Unpainted(a_config_item loc, const Rect& r) { Node_Add_Division(NFT[loc], r, DECORATION_NOPAINT, kWhite); }

// The phase strip and the tool panel below it, 350 pixels wide, down to
// bottom; the strip is empty in the collage phase.
void Calc_Tool_Areas(const Rect& total, int16 bottom, Rect& phase, Rect& tools) {
  const int16 strip = gs.curr_phase == COLLAGE_PHASE ? 0 : CONF_PHASE_HEIGHT;
  phase = Rect{total.top, total.left, int16(total.top + strip), int16(total.left + CONF_LEFT_WIDTH)};
  tools = Rect{phase.bottom, total.left, bottom, phase.right};
  if (Is_Empty(phase)) phase = Rect{};
}

// --- The print preview ------------------------------------------------------------------

void Config_All_Preview() {
  const a_window_layout lay = Calc_Preview_Layout(Begin_Whole(true));
  if (!Is_Empty(lay.phase)) Add_Unpainted(PHASE_DIV_NODE, lay.phase);
  Node_Add_Division(NFT[TOOL_DIV_NODE], lay.tools, DECORATION_STRIPED_RT, kWhite);
  Config_Tools();
  const Rect edit = lay.edit;
  Node_Add_Division(NFT[EDIT_DIV_NODE], edit, DECORATION_PARQUET, kWhite);
  // The preview maps the layout into view 1's rectangle less its inset.
  a_view_rec& view = gs.views[0];
  view.bounds = edit;
  view.origin = Point{0, 0};
  Rect avail = edit;
  InsetRect(avail, CONF_PREVIEW_INSET, CONF_PREVIEW_INSET);
  if (!Is_Empty(avail)) {
    a_coord_mapping mapping{};
    a_frect fused{};
    PrintPreview_Calc_Mapping(g_doc.doc_template, avail, false, mapping, fused);
    const Rect page = mapping.netbox;
    if (!Is_Empty(page)) {
      Node_Add_Custom(NFT[EDIT1_CUST_NODE], page, false, CUSTOM_PREVIEW);
      const int16 mid = int16((page.left + page.right) / 2);
      const int16 top = int16(std::min<int32>(page.bottom, edit.bottom - kCaptionHeight));
      const Rect caption{top, int16(mid - kCaptionWidth / 2), int16(top + kCaptionHeight),
                         int16(mid + kCaptionWidth / 2)};
      Node_Add_Label(NFT[SEP_ITEM_NODE], caption, kBlack, kBlack, 15, -3, JUST_CENTER, 18, 0);
    }
  }
  IME_SetPos(edit.left, edit.top);
  Node_EndConfig();
}

// --- Tools hidden ---------------------------------------------------------------------------

void Config_All_HideTools() {
  const Rect total = Begin_Whole(false);
  Add_Unpainted(EDIT_DIV_NODE, total);
  IME_SetPos(total.left, total.top);
  Config_EditArea();
  Node_EndConfig();
}

// --- Editing ------------------------------------------------------------------------------------

void Config_All_Editing() {
  const Rect total = Begin_Whole(true);
  const a_window_layout lay = Calc_Editing_Layout(total);
  if (!Is_Empty(lay.phase)) Add_Unpainted(PHASE_DIV_NODE, lay.phase);
  if (!Is_Empty(lay.status)) {
    Node_Add_Custom(NFT[STATUS_CUST_NODE], lay.status, false, CUSTOM_STATUS);
    IME_SetPos(lay.status.left, lay.status.top);
  } else {
    IME_SetPos(lay.edit.left, lay.edit.top);
  }
  Node_Add_Division(NFT[TOOL_DIV_NODE], lay.tools, DECORATION_STRIPED_RT, kWhite);
  Config_Tools();
  if (!Is_Empty(lay.tags)) {
    Node_Add_Division(NFT[TAGS_DIV_NODE], lay.tags, DECORATION_STRIPED_RT, kWhite);
    Config_Tags();
  }
  // The layer bar of the photo and symbol phases covers its area.
  const bool bare = gs.curr_phase == PHOTO_PHASE || gs.curr_phase == SYMBOL_PHASE;
  Node_Add_Division(NFT[BAR_DIV_NODE], lay.bar, bare ? DECORATION_NOPAINT : DECORATION_SOLIDCOLOR, kBarGray);
  if (!Is_Empty(lay.corner)) Add_Unpainted(CORNER_DIV_NODE, lay.corner);
  Config_BSide();
  Add_Unpainted(EDIT_DIV_NODE, lay.edit);
  Config_EditArea();
  Node_EndConfig();
}

// --- The start screen -------------------------------------------------------------------------

// A column of one-shot buttons from the top-right corner of area.
void Add_Button_Column(const Rect& area, int16& n, std::initializer_list<a_oneshot_enum> buttons) {
  int16 v = int16(area.top + kPickerMargin);
  for (const a_oneshot_enum b : buttons) {
    const Rect size = Item_Size(g_oneshots[b]);
    Point at{v, int16(area.right - kPickerMargin - Width(size))};
    Node_Add_OneShot(Sub(ECHO_DIV_NODE, n++), at, 0, 1, b);
    v = int16(at.v + kPickerButtonGap);
  }
}

int16 Button_Column_Width() { return int16(Width(g_oneshots[PROJ_LANG_BUTTON].src_rect) + 2 * kPickerMargin); }

void Config_Paper_Picker(const Rect& total) {
  const int16 w = std::max<int16>(kPaperPanelMin, int16(Width(total) / 2));
  const Rect tools{total.top, total.left, total.bottom, int16(std::min<int32>(total.left + w, total.right))};
  Node_Add_Division(NFT[TOOL_DIV_NODE], tools, DECORATION_STRIPED_RT, kWhite);
  Config_Tools();
  // The paper echo paints the chosen sheet over the dark stripe.
  const Rect edit{total.top, tools.right, total.bottom, total.right};
  Node_Add_Division(NFT[EDIT_DIV_NODE], edit, DECORATION_DARKSTRIPE, kWhite);
  if (!Is_Empty(edit)) Node_Add_Custom(NFT[EDIT1_CUST_NODE], edit, false, CUSTOM_PAPERECHO);
}

void Config_Picker_Tabs(const Rect& total) {
  const Rect strip{total.top, total.left, int16(total.top + ProjPicker_Strip_Height(Height(total))), total.right};
  Node_Add_Division(NFT[PHASE_DIV_NODE], strip, DECORATION_STRIPED, kWhite);
  const Rect tabs = Item_Size(g_grid[PROJ_AGE_GRID]);
  Point at{int16(strip.bottom - Height(tabs)), int16((strip.left + strip.right - Width(tabs)) / 2)};
  // The blue line the tabs stand on, left and right of them.
  const int16 line_top = int16(strip.bottom - kBlueLineHeight);
  Node_Add_Decoration(Sub(PHASE_DIV_NODE, 1), Rect{line_top, strip.left, strip.bottom, at.h}, DECORATION_BLUELINE);
  Node_Add_Decoration(Sub(PHASE_DIV_NODE, 2), Rect{line_top, int16(at.h + Width(tabs)), strip.bottom, strip.right},
                      DECORATION_BLUELINE);
  Node_Add_Grid(Sub(PHASE_DIV_NODE, 3), at, 0, 0, PROJ_AGE_GRID);

  const Rect area{strip.bottom, total.left, total.bottom, total.right};
  Node_Add_Division(NFT[ECHO_DIV_NODE], area, DECORATION_DARKSTRIPE, kWhite);
  Rect list{int16(area.top + kPickerMargin), int16(area.left + kPickerMargin), int16(area.bottom - kPickerMargin),
            int16(area.right - Button_Column_Width())};
  int16 n = 2;  // locator 1 is the list
  switch (gs.grid_vals[PROJ_AGE_GRID]) {
    case 1:
      if (!Is_Empty(list)) {
        Calc_Recent_List(list);
        Node_Add_Custom(Sub(ECHO_DIV_NODE, 1), list, false, CUSTOM_RECENT_DOCS);
      }
      Add_Button_Column(area, n, {PROJ_OPEN_BUTTON, PROJ_LANG_BUTTON, PROJ_QUIT_BUTTON});
      break;
    case 2: {
      // The page buttons and label under the examples.
      const Rect prev = Item_Size(g_oneshots[EXL_PREV_BUTTON]);
      const int16 row_h = Height(prev);
      list.bottom = int16(list.bottom - row_h - kPickerButtonGap);
      if (!Is_Empty(list)) {
        Examples_BuildList(list);
        Node_Add_Custom(Sub(ECHO_DIV_NODE, 1), list, false, CUSTOM_EXAMPLES);
      }
      Add_Button_Column(area, n, {PROJ_QUIT_BUTTON});
      if (exl.npages > 1) {
        const int16 mid = int16((list.left + list.right) / 2);
        const int16 top = int16(list.bottom + kPickerButtonGap);
        Point at{top, int16(mid - kPageLabelWidth / 2 - Width(prev))};
        Node_Add_OneShot(Sub(ECHO_DIV_NODE, n++), at, 0, 0, EXL_PREV_BUTTON);
        Node_Add_Label(EXAMPLES_PAGE_LABEL_LOC,
                       Rect{top, int16(mid - kPageLabelWidth / 2), int16(top + row_h), int16(mid + kPageLabelWidth / 2)},
                       kBlack, kWhite, 100, -4, JUST_CENTER, 18, 0);
        at = Point{top, int16(mid + kPageLabelWidth / 2)};
        Node_Add_OneShot(Sub(ECHO_DIV_NODE, n++), at, 0, 0, EXL_NEXT_BUTTON);
      }
      break;
    }
    default:
      if (!Is_Empty(list)) {
        RecentLay_BuildList();
        Node_Add_Custom(Sub(ECHO_DIV_NODE, 1), list, false, CUSTOM_RECENT_LAYOUTS);
      }
      Add_Button_Column(area, n, {PROJ_PICKLAYOUT_BUTTON, PROJ_LANG_BUTTON, PROJ_QUIT_BUTTON});
      break;
  }
}

// --- The tags -----------------------------------------------------------------------------------

bool Is_Text_Color_Bar(a_bar bar) {
  return bar == TEXT_OUTL_COLORBAR || bar == TEXT_SHAD_COLORBAR || bar == TEXT_GLOW_COLORBAR;
}

// The tags in their order along the strip, each with the bars it stands for.
struct a_tag_row {
  a_grid_enum tag;
  a_bar_set bars;
};
constexpr a_tag_row kTagRows[] = {
    {TAG_LAYERS, Bar_Bit(LAYER_BAR)},
    {TAG_PALETTE, Bar_Bit(PAINT_COLORBAR)},
    {TAG_PALETTED, Bar_Bit(TEXT_OUTL_COLORBAR) | Bar_Bit(TEXT_SHAD_COLORBAR) | Bar_Bit(TEXT_GLOW_COLORBAR)},
    {TAG_GRADIENT, Bar_Bit(GRADIENT_BAR)},
    {TAG_STAMP, Bar_Bit(STAMP_BAR)},
    {TAG_PATTERN, Bar_Bit(PATTERN_BAR)},
    {TAG_BORDER, Bar_Bit(BORDER_BAR)},
    {TAG_FONT, Bar_Bit(FONT_BAR)},
    {TAG_CANVAS, Bar_Bit(CANVAS_BAR)},
    {TAG_GRID_COLOR, Bar_Bit(GRIDLINES_COLORBAR)},
    {TAG_CUTL_COLOR, Bar_Bit(CUTLINES_COLORBAR)},
    {TAG_BORD_COLOR, Bar_Bit(EDGE_BORD_COLORBAR)},
    {TAG_OUTL_COLOR, Bar_Bit(EDGE_OUTL_COLORBAR)},
    {TAG_SYMB_COLOR, Bar_Bit(SYMBOLS_COLORBAR)},
    {TAG_GLYPHS, Bar_Bit(GLYPH_BAR)},
};

// Whether the tag has a place in the strip for the ring's bars.
bool Tag_Shown(const a_tag_row& row, a_bar_set ring) {
  if ((ring & row.bars) == 0) return false;
  if (row.tag == TAG_PALETTED && !Is_Text_Color_Bar(gs.curr_bar)) return false;
  if (row.tag == TAG_CUTL_COLOR && g_doc.doc_open && Is_Direct_Print()) return false;
  return true;
}

void Set_Tag_Pattern_Width(int16 w) {
  a_grid_item& g = g_grid[TAG_PATTERN];
  g.src_rect.right = int16(g.src_rect.left + w);
  g.grid_cell.h = w;
}

}  // namespace

// --- Geometry ---------------------------------------------------------------------------------

void Calc_Fit_Zoom(const Rect& view) {
  const a_doc_unit* unit = g_doc.up;
  if (unit == nullptr) return;
  Point size{Height(unit->paintbounds), Width(unit->paintbounds)};
  if (gs.curr_phase == COLLAGE_PHASE) size.h = kCollageFitWidth;
  const Point room{Height(view), Width(view)};
  a_ratio fit{1, 1};
  int16 fudge = 1;
  if (size.h >= room.h - kFitMargin || size.v >= room.v - kFitMargin) {
    Calc_Reduction(size, room, kFitMargin, fit);
    if (int32(fit.num) * kFitLimit < fit.den) fit = a_ratio{1, kFitLimit};
    fit.num = std::max<int16>(fit.num, 1);
    fudge = int16((fit.den + fit.num - 1) / fit.num + 1);
  }
  ZoomxToFactor[0] = fit;
  ZoomxFudge[0] = fudge;
}

a_window_layout Calc_Editing_Layout(const Rect& total) {
  a_window_layout lay{};
  lay.total = total;
  const bool collage = gs.curr_phase == COLLAGE_PHASE;
  const int16 bar_top = int16(std::max<int32>(total.top, total.bottom - CONF_BAR_HEIGHT));
  if (!collage)
    lay.corner = Rect{bar_top, int16(std::max<int32>(total.left, total.right - CONF_CORNER_WIDTH)), total.bottom,
                      total.right};
  lay.bar = Rect{bar_top, total.left, total.bottom, collage ? total.right : lay.corner.left};
  int16 tools_bottom = bar_top;
  if (!collage) {
    lay.tags = Rect{int16(std::max<int32>(total.top, bar_top - CONF_TAGS_HEIGHT)), total.left, bar_top,
                    int16(total.left + CONF_LEFT_WIDTH)};
    tools_bottom = lay.tags.top;
  }
  Calc_Tool_Areas(total, tools_bottom, lay.phase, lay.tools);
  lay.edit = Rect{total.top, int16(total.left + CONF_LEFT_WIDTH), bar_top, total.right};
  if (gs.pref.status_option && gs.curr_phase != PREVIEW_PHASE && gs.curr_phase != CANVAS_PHASE) {
    lay.status = lay.edit;
    lay.status.top = int16(std::max<int32>(lay.edit.top, lay.edit.bottom - CONF_STATUS_HEIGHT));
    lay.edit.bottom = lay.status.top;
  }
  return lay;
}

a_window_layout Calc_Preview_Layout(const Rect& total) {
  a_window_layout lay{};
  lay.total = total;
  Calc_Tool_Areas(total, total.bottom, lay.phase, lay.tools);
  lay.edit = Rect{total.top, lay.tools.right, total.bottom, total.right};
  return lay;
}

a_edit_rects Calc_Edit_Rects(const Rect& area, uint16 nviews) {
  a_edit_rects e{};
  Rect rest = area;
  if (gs.pref.history_option && gs.tool_show) {
    const int16 w = Width(area) < CONF_HISTORY_WIDE_FROM ? CONF_HISTORY_NARROW : CONF_HISTORY_WIDE;
    e.history = Rect{area.top, int16(std::max<int32>(area.left, area.right - w)), area.bottom, area.right};
    rest.right = e.history.left;
  }
  if (gs.toggle_vals[RULERS_TOGGLE]) {
    e.ruler_h = Rect{rest.top, int16(rest.left + CONF_RULER_WIDTH), int16(rest.top + CONF_RULER_WIDTH), rest.right};
    e.ruler_v = Rect{int16(rest.top + CONF_RULER_WIDTH), rest.left, rest.bottom, int16(rest.left + CONF_RULER_WIDTH)};
    rest.top = int16(rest.top + CONF_RULER_WIDTH);
    rest.left = int16(rest.left + CONF_RULER_WIDTH);
  }
  if (nviews >= 2) {
    const int16 sep = int16((3 * int32(rest.right) + rest.left) / 4 - CONF_VIEW_SEPARATOR / 2);
    e.sep = Rect{rest.top, sep, rest.bottom, int16(sep + CONF_VIEW_SEPARATOR)};
    e.views[0] = Rect{rest.top, rest.left, rest.bottom, sep};
    e.views[1] = Rect{rest.top, e.sep.right, rest.bottom, rest.right};
  } else if (nviews == 1) {
    e.views[0] = rest;
  }
  for (Rect* r : {&e.ruler_h, &e.ruler_v, &e.history, &e.sep, &e.views[0], &e.views[1]})
    if (Is_Empty(*r)) *r = Rect{};
  return e;
}

int16 ProjPicker_Strip_Height(int16 window_height) {
  return int16(std::clamp<int32>(window_height / 60, 10, 20) + Height(g_grid[PROJ_AGE_GRID].src_rect));
}

// --- The builders -----------------------------------------------------------------------------

void Config_All() {
  // Nothing to lay out before the main window exists.
  if (gs.outer_window == nullptr) return;
  if (!g_doc.doc_open) {
    Config_ProjPicker();
    Set_Default_Window_Title();
  } else if (gs.curr_phase == PREVIEW_PHASE) {
    Config_All_Preview();
  } else if (!gs.tool_show) {
    Config_All_HideTools();
  } else {
    Config_All_Editing();
  }
}

void Config_BSide() {
  Rect area;
  if (Node_Exists(NFT[BAR_DIV_NODE])) {
    Node_BeginConfig(NFT[BAR_DIV_NODE], area);
    if (gs.curr_bar == LAYER_BAR) {
      const int16 sw = int16(GetSystemMetrics(SM_CXVSCROLL));
      const Rect scroll{area.top, int16(std::max<int32>(area.left, area.right - sw)), area.bottom, area.right};
      const Rect status{area.top, area.left, area.bottom, int16(std::min<int32>(area.left + kLayerStatusWidth, scroll.left))};
      const Rect layers{area.top, status.right, area.bottom, scroll.left};
      if (gs.lscroll_ctrl != nullptr) Node_Add_ScrollBar(NFT[BAR_PSCROLL_NODE], scroll, 0, gs.lscroll_ctrl);
      Node_Add_Custom(NFT[BAR_PSTATUS_NODE], status, false, CUSTOM_PSTATUS);
      Node_Add_Custom(NFT[BAR_LAYERS_NODE], layers, false, CUSTOM_LAYERS);
      gs.layerbard.bounds = layers;
      LayerBar_Calc(true);
    } else if (Calc_Selection_Mix() != MOTLEY) {
      Config_Bar(area);
    }
    Node_EndConfig();
  }
  if (Node_Exists(NFT[CORNER_DIV_NODE])) {
    Node_BeginConfig(NFT[CORNER_DIV_NODE], area);
    const Rect nav{area.top, int16(std::max<int32>(area.left, area.right - CONF_NAV_WIDTH)), area.bottom, area.right};
    Point at{area.top, int16(nav.left - (CONF_CORNER_WIDTH - CONF_NAV_WIDTH))};
    Node_Add_Grid(NFT[BAR_ZOOM_NODE], at, 0, 0, ZOOM_GRID);
    Node_Add_Custom(NFT[BAR_NAV_NODE], nav, true, CUSTOM_NAV);
    Node_EndConfig();
  }
}

void Config_Bar(const Rect& area) {
  // The bars' rows and screenfuls for this area, before the buttons that
  // page through them are chosen.
  Bar_Calc_All_Desc(area);
  Rect bar = area;
  const a_bar curr = gs.curr_bar;
  if (curr < NBARS && gs.bard[curr].nrows > 1) {
    Point at{int16(area.top + kBarButtonInset), int16(area.left + kBarButtonInset)};
    Node_Add_OneShot(NFT[BAR_PREV_ITEM_NODE], at, 0, 1, BAR_PREV_BUTTON);
    switch (curr) {
      case CANVAS_BAR:
      case STAMP_BAR:
      case PATTERN_BAR:
      case GRADIENT_BAR:
      case BORDER_BAR:
      case SYMBOL_BAR:
      case FONT_BAR:
      case GLYPH_BAR:
      case PAPER_BAR: Node_Add_OneShot(NFT[BAR_IX_ITEM_NODE], at, 0, 1, BAR_INDEX_BUTTON); break;
      default: at.v = int16(at.v + Height(g_oneshots[BAR_INDEX_BUTTON].src_rect)); break;
    }
    Node_Add_OneShot(NFT[BAR_NEXT_ITEM_NODE], at, 0, 1, BAR_NEXT_BUTTON);
    bar.left = int16(std::min<int32>(area.left + kBarButtonInset + kBarAfterButtons, area.right));
  }
  if (!Is_Empty(bar)) Node_Add_Custom(NFT[BAR_CUST_NODE], bar, false, CUSTOM_BAR);
}

void Config_LSide() {
  if (!g_doc.doc_open) return;
  Config_Tools();
  Config_Tags();
}

void Config_TTB() {
  Config_LSide();
  Config_BSide();
}

void Config_EditArea() {
  if (gs.nviews == 0 || gs.curr_phase == PREVIEW_PHASE || !g_doc.doc_open) return;
  if (!Node_Exists(NFT[EDIT_DIV_NODE])) return;
  Rect area;
  Node_BeginConfig(NFT[EDIT_DIV_NODE], area);
  const uint16 nviews = std::min<uint16>(gs.nviews, MAXNVIEWS);
  const a_edit_rects e = Calc_Edit_Rects(area, nviews);
  Calc_Fit_Zoom(e.views[0]);
  const int16 zoomx = gs.grid_vals[ZOOM_GRID];
  for (uint16 vx = 0; vx < nviews; ++vx) {
    a_view_rec& view = gs.views[vx];
    view.bounds = e.views[vx];
    if (zoomx >= 0 && zoomx < NZOOMS) {
      view.zoom_factor = ZoomxToFactor[zoomx];
      view.zoom_fudge = ZoomxFudge[zoomx];
    }
  }
  if (!Is_Empty(e.views[0])) Node_Add_Custom(NFT[EDIT1_CUST_NODE], e.views[0], false, CUSTOM_EDIT1);
  if (!Is_Empty(e.sep)) Node_Add_Custom(NFT[SEP_ITEM_NODE], e.sep, false, CUSTOM_SEP);
  if (!Is_Empty(e.ruler_h)) Node_Add_Custom(NFT[RULERH_NODE], e.ruler_h, false, CUSTOM_RULERH);
  if (!Is_Empty(e.ruler_v)) Node_Add_Custom(NFT[RULERV_NODE], e.ruler_v, false, CUSTOM_RULERV);
  if (!Is_Empty(e.history)) Node_Add_Custom(NFT[HISTORY_NODE], e.history, false, CUSTOM_HISTORY);
  Node_EndConfig();
  Recalc_Edit_Origin();
}

void Config_Tags() {
  if (!Node_Exists(NFT[TAGS_DIV_NODE])) return;
  Rect strip;
  Node_BeginConfig(NFT[TAGS_DIV_NODE], strip);
  const a_selection_mix mix = Calc_Selection_Mix();
  if (mix == ZERO_PURE || mix == ONE_PURE) {
    const a_bar_set ring = gs.curr_ring < NRINGS ? gs.ring_capability[gs.curr_ring] : 0;
    Set_Tag_Pattern_Width(Count_Ring_Elements(gs.curr_ring) == 4 ? kTagPatternNarrow : kTagPatternWide);
    // The blue line lies under the tags (its locators come first, so it is
    // painted first); the tags stand on the strip's bottom.
    Point at{strip.bottom, strip.left};
    int16 n = 3;
    for (const a_tag_row& row : kTagRows) {
      if (!Tag_Shown(row, ring)) continue;
      const Rect size = Item_Size(g_grid[row.tag]);
      at.v = int16(strip.bottom - Height(size));
      Node_Add_Grid(Sub(TAGS_DIV_NODE, n++), at, 1, 0, row.tag);
    }
    if (n > 3) {
      const int16 line_top = int16(strip.bottom - kBlueLineHeight);
      Node_Add_Decoration(Sub(TAGS_DIV_NODE, 1), Rect{line_top, strip.left, strip.bottom, at.h}, DECORATION_BLUELINE);
      if (at.h < strip.right)
        Node_Add_Decoration(Sub(TAGS_DIV_NODE, 2), Rect{line_top, at.h, strip.bottom, strip.right},
                            DECORATION_BLUELINE);
    }
  }
  Node_EndConfig();
}

void Config_ProjPicker() {
  if (gs.outer_window == nullptr) return;
  const Rect total = Begin_Whole(true);
  if (gs.curr_phase == PAPER_PHASE)
    Config_Paper_Picker(total);
  else
    Config_Picker_Tabs(total);
  Node_EndConfig();
}

int16 Count_Ring_Elements(a_ring_kind ring) {
  if (ring >= NRINGS) return 0;
  int16 n = 0;
  for (int16 b = 0; b < NBARS; ++b)
    if ((gs.ring_capability[ring] & Bar_Bit(a_bar(b))) != 0) ++n;
  return n;
}

void Set_Default_Window_Title() {
  if (gs.outer_window == nullptr) return;
  Str255 title{};
  Get_Translated_String(title, STRLIST_PROGRAM, PROG_LONG_NAME);
  SetWTitle(gs.outer_window, title);
}

// --- The paper picker's lists ------------------------------------------------------------------

namespace {

constexpr int32 kPaperKindRows = 200;
constexpr int32 kPaperListRows = 4000;

// The lists' storage, and the sort grid's value they were last made for
// (-1: never made).
std::vector<a_listbox_item> g_kind_rows;
std::vector<a_listbox_item> g_list_rows;
int16 g_lists_sort = -1;

// The key of the list's highlighted row (0: none).
uint32 Selected_Key(const a_listbox_desc& desc) {
  if (desc.list == nullptr || desc.hix < 1 || desc.hix > desc.nlist) return 0;
  return desc.list[desc.hix - 1].key;
}

// The row holding key, 0 when none.
int32 Row_Of(const a_listbox_desc& desc, uint32 key) {
  if (desc.list == nullptr) return 0;
  for (int32 i = 0; i < desc.nlist && i < desc.maxnlist; ++i)
    if (desc.list[i].key == key) return i + 1;
  return 0;
}

void New_Storage(a_listbox_desc& desc, std::vector<a_listbox_item>& rows, int32 n) {
  std::vector<a_listbox_item>().swap(rows);
  rows.resize(size_t(n));
  desc.list = rows.data();
  desc.maxnlist = n;
  desc.nlist = 0;
}

}  // namespace

void Gen_Paper_Lists() {
  a_listbox_desc& kinds = gs.paper_kind_desc;
  a_listbox_desc& papers = gs.paper_list_desc;
  const int16 sort = gs.grid_vals[PROJ_SORT_GRID];
  const bool keep = g_lists_sort == sort && kinds.list != nullptr;
  const uint32 kind_key = keep ? Selected_Key(kinds) : 0;
  const int32 kind_row = keep ? kinds.hix : 1;
  const uint32 paper_key = keep ? Selected_Key(papers) : 0;
  New_Storage(kinds, g_kind_rows, kPaperKindRows);
  New_Storage(papers, g_list_rows, kPaperListRows);
  if (t.tlist_n == 0) Build_Template_List();
  Build_Paper_Lists();
  g_lists_sort = sort;
  if (!keep) return;
  // The same kind or brand again (row 1, "all", has key 0 like no choice).
  const int32 krow = kind_row > 1 ? Row_Of(kinds, kind_key) : 0;
  if (krow > 1) {
    // Highlighted without painting: the lists are made while the window is
    // being laid out, and painted after.
    (void)ListBox_Select(krow, kinds);
    Build_Paper_List();
  }
  if (const int32 prow = paper_key != 0 ? Row_Of(papers, paper_key) : 0; prow > 0) (void)ListBox_Select(prow, papers);
}
