#include "ui/VoskFun2.h"

#include <algorithm>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "objects/VoskBlok.h"
#include "objects/VoskEdit.h"
#include "objects/VoskPhot.h"
#include "objects/VoskSpra.h"
#include "objects/VoskSwat.h"
#include "objects/VoskSym.h"
#include "objects/VoskText.h"
#include "pixel/Asm32.h"
#include "pixel/SysPixt.h"
#include "platform/SysErr.h"
#include "platform/SysInfo.h"
#include "platform/SysMem.h"
#include "platform/Controls.h"
#include "platform/VoskErr.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "ui/VoskCurs.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntf.h"
#include "ui/VoskMenu.h"

namespace {

// The object kinds the photo, symbol and text phases work on, and the
// collage phase's.
constexpr a_oj_kind_set kObjectPhaseKinds = a_oj_kind_set(Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK) |
                                                           Kind_Bit(TEXT_BLOCK));
constexpr a_oj_kind_set kCollageKinds = Kind_Bit(SLOT_BLOCK);

// The nodes of the paper panel that show the chosen paper (locator bytes
// 1, 3, 240 and 1, 3, 242).
constexpr a_locator kPaperEchoNodes[] = {0x0103F000, 0x0103F200};

// The first view, whose origin the scroll bars show.
constexpr uint16 kMainView = 1;

a_view_rec& View_Rec(uint16 vx) {
  if (vx < 1 || vx > MAXNVIEWS) QUIT();
  return gs.views[std::clamp<uint16>(vx, 1, MAXNVIEWS) - 1];
}

int16 Width(const Rect& r) { return int16(r.right - r.left); }
int16 Height(const Rect& r) { return int16(r.bottom - r.top); }

// A length of view pixels in cells of the view's zoom.
int16 Screen_To_Cells(const a_view_rec& v, int16 pixels) {
  return Asm32_Fraction(pixels, v.zoom_factor.den, v.zoom_factor.num);
}

// Half the view's size in cells (h, v).
Point Half_View_Cells(const a_view_rec& v) {
  return Point{Screen_To_Cells(v, int16(Height(v.bounds) / 2)), Screen_To_Cells(v, int16(Width(v.bounds) / 2))};
}

// One axis of the scroll limits: view pixels w, the unit's pixels dw on
// screen and its extent in cells from lo to hi.
void Axis_Limits(const a_view_rec& v, int16 w, int16 dw, int16 lo, int16 hi, int16& min, int16& max) {
  const int16 quarter = int16(w / 4);
  if (int32(quarter) + dw + quarter <= w) {
    min = max = int16(lo - Screen_To_Cells(v, int16((w - dw) / 2)));
    return;
  }
  min = int16(lo - Screen_To_Cells(v, quarter));
  // (Rounding to cells never leaves the range empty.)
  max = std::max(min, int16(hi - Screen_To_Cells(v, int16(w - quarter))));
}

bool Same_Point(const Point& a, const Point& b) { return a.h == b.h && a.v == b.v; }

void Set_Scroll_Bar(HostWindow* bar, int16 min, int16 max, int16 value) {
  if (bar == nullptr) return;
  SetControlMinimum(bar, min);
  SetControlMaximum(bar, max);
  SetControlValue(bar, value);
}

}  // namespace

// --- Change procedures -------------------------------------------------------------------

void Delta_Phase(a_phase old) {
  SV_Set_Enum(SV_TXEDIT_PHASE, TXEDIT_MOVE);
  Custom_Inval(CUSTOM_PHASE);
  if (old == TEXT_PHASE) {
    Custom_Inval(CUSTOM_EDIT1);
    Text_Leave();
  } else if (old == PHOTO_PHASE || old == SYMBOL_PHASE) {
    Custom_Inval(CUSTOM_EDIT1);
  }
  gs.curr_kindset = 0;
  switch (gs.curr_phase) {
    case PHOTO_PHASE:
      gs.curr_kindset = kObjectPhaseKinds;
      Photo_Enter();
      break;
    case SYMBOL_PHASE:
      gs.curr_kindset = kObjectPhaseKinds;
      Symbol_Enter();
      break;
    case TEXT_PHASE:
      gs.curr_kindset = kObjectPhaseKinds;
      Text_Enter();
      break;
    case COLLAGE_PHASE:
      gs.curr_kindset = kCollageKinds;
      Obj_Select_None();
      break;
    default: break;
  }
  Calc_Tool_Net();
}

void Delta_TxEdit_Phase(a_txedit_phase /*old*/) {
  Edit_History_Forget();
  if (gs.txedit_phase == TXEDIT_MOVE) Caret_Inval();
  if (g_ed.edit_objid != 0 && g_ed.edit_ux == g_doc.upx && Obj_Item(g_ed.edit_omx) != nullptr)
    Obj_PostRender(g_ed.edit_omx);
  Set_Text_Ring();
  SV_Set_Virtual(SV_CONFIG_LSIDE);
  Check_Edit_Change();
}

void Delta_Zoom(int16 old) {
  Caret_Inval();
  Grid_Paint1(true, ZOOM_GRID, old);
  Grid_Paint1(true, ZOOM_GRID, gs.grid_vals[ZOOM_GRID]);
  SV_Set_Point(SV_EDIT_FOCUS, Calc_Default_Focus(gs.grid_vals[ZOOM_GRID]));
  Custom_Inval(CUSTOM_NAV);
  Edit_InvalAll();
}

void Delta_Tool(int16 old) {
  Grid_Paint1(true, TOOL_GRID, old);
  Grid_Paint1(true, TOOL_GRID, gs.grid_vals[TOOL_GRID]);
  Calc_Tool_Net();
}

void Delta_Symmetry_Toggle(bool8 /*old*/) {
  // (The engine repaints the symmetry toggle itself, right after.)
  Custom_Inval(CUSTOM_EDIT1);
  Grid_Inval(TOOL_GRID);
}

void Delta_Stencil_Toggle(bool8 /*old*/) {}

void Delta_Doc_Open(bool8 /*old*/) {
  if (g_doc.doc_open) {
    SV_Set_Enum(SV_PHASE, PREVIEW_PHASE);
    Custom_Inval(CUSTOM_NAV);
  } else {
    SV_Set_Enum(SV_PHASE, NODOC_PHASE);
    Cursor_Set_Shape(ARROW_CURSOR);
  }
}

void Delta_Language(int16 /*old*/) { Node_Inval(0); }

void Delta_Ring(a_ring_kind /*old*/) {
  const a_ring_kind ring = gs.curr_ring < NRINGS ? gs.curr_ring : NULL_RING;
  SV_Set_Enum(SV_CURR_BAR, gs.bar_in_ring[ring]);
  Tags_Inval();
}

void Delta_Bar(a_bar /*old*/) {
  const a_bar bar = gs.curr_bar < NBARS ? gs.curr_bar : EMPTY_BAR;
  if (bar == GLYPH_BAR) Glyph_List_Init();
  SV_Set_Enum(SV_FILL_KIND, gs.bard[bar].fill_kind);
  const a_ring_kind ring = gs.curr_ring < NRINGS ? gs.curr_ring : NULL_RING;
  if ((gs.ring_capability[ring] & Bar_Bit(bar)) != 0) gs.bar_in_ring[ring] = bar;
  Bar_Align_Row(gs.bar_selection[bar]);
  Tags_Inval();
  switch (bar) {
    case EMPTY_BAR:
    case STAMP_BAR:
    case PATTERN_BAR:
    case GRADIENT_BAR:
    case BORDER_BAR:
      if (gs.bard[bar].selectproc != nullptr) gs.bard[bar].selectproc();
      break;
    default: break;
  }
  Swatch_PostUpdate();
  Custom_Inval(CUSTOM_BAR);
}

// --- Item procedures -----------------------------------------------------------------------

void Delta_Text_Phase() {
  if (g_ed.edit_objid != 0 && g_ed.edit_om != nullptr) g_ed.sel_lo = g_ed.sel_hi = g_ed.edit_om->nxyl;
  // The effect toggles have a look of their own on their page.
  for (a_toggle_enum x : {TEXT_OUTL_TOGGLE, TEXT_SHAD_TOGGLE, TEXT_GLOW_TOGGLE}) Toggle_Inval(x);
  SV_Set_Virtual(SV_CONFIG_LSIDE);
  Set_Text_Ring();
}

void Symmetry_Select() {
  SV_Set_Bool(SV_SYMMETRY_ENABLED, true);
  Custom_Inval(CUSTOM_EDIT1);
}

void Delta_Paper() {
  Config_LSide();
  Custom_Inval(CUSTOM_EDIT1);
  for (a_locator loc : kPaperEchoNodes) Node_Inval(loc);
  OneShot_Inval(PRINT_TEMPLATE_LABEL);
}

a_tri_state Base_Calc_Hilite(int16 element) {
  if (element >= 7) return HIDDEN_BUTTON;
  return element == gs.grid_vals[TOOL_GRID] ? HILITE_BUTTON : PLAIN_BUTTON;
}

void Focus_Set(Point point) {
  if (!Same_Point(point, gs.view_focus)) SV_Set_Point(SV_EDIT_FOCUS, point);
}

void Print_Align() {}

void Tags_Inval() {
  for (int16 g = TAG_PALETTE; g <= TAG_GLYPHS; ++g) Grid_Inval(a_grid_enum(g));
}

// --- Derived recalculations ------------------------------------------------------------------

uint16 Calc_EditN() { return g_doc.doc_open ? 1 : 0; }

bool8 Recalc_NViews() {
  const uint16 n = Calc_EditN();
  if (gs.nviews == n) return false;
  gs.nviews = n;
  return true;
}

bool8 Recalc_ZoomFactor() {
  const int16 zoomx = gs.grid_vals[ZOOM_GRID];
  if (zoomx < 0 || zoomx >= NZOOMS) {
    QUIT();
    return false;
  }
  a_view_rec& view = gs.views[0];
  const a_ratio factor = ZoomxToFactor[zoomx];
  view.zoom_fudge = ZoomxFudge[zoomx];
  if (view.zoom_factor.num == factor.num && view.zoom_factor.den == factor.den) return false;
  view.zoom_factor = factor;
  return true;
}

// --- Virtual procedures ----------------------------------------------------------------------

int16 Calc_Menubar_ID(a_phase phase) {
  switch (phase) {
    case TEXT_PHASE: return int16(gs.menu_base + 2);
    case SYMBOL_PHASE:
    case PHOTO_PHASE: return int16(gs.menu_base + 1);
    default: return gs.menu_base;
  }
}

void Recalc_Menubar_Config() { Menus_Load(Calc_Menubar_ID(gs.curr_phase), Current_Language()); }

void Recalc_Edit_Origin() {
  if (!g_doc.doc_open) return;
  a_view_rec& main = View_Rec(kMainView);
  if (gs.curr_phase == COLLAGE_PHASE) {
    Point origin;
    Focus_To_Origin(kMainView, gs.view_focus, origin);
    if (!Same_Point(origin, main.origin)) {
      main.origin = origin;
      Edit_InvalAll2(kMainView);
    }
    return;
  }
  if (gs.curr_phase < PAINT_PHASE || gs.curr_phase > TEXT_PHASE) return;

  Point origin;
  Focus_To_Origin(kMainView, gs.view_focus, origin);
  Point min, max;
  Calc_ScrollBar_Limits(min, max);
  const Point clamped{std::clamp(origin.v, min.v, max.v), std::clamp(origin.h, min.h, max.h)};
  // A focus the limits pulled back follows the origin.
  if (!Same_Point(clamped, origin)) Origin_To_Focus(kMainView, clamped, gs.view_focus);
  if (!Same_Point(clamped, main.origin)) {
    Caret_Inval();
    main.origin = clamped;
    Edit_InvalAll2(kMainView);
    Custom_Inval(CUSTOM_NAV);
  }
  Set_Scroll_Bar(gs.hscroll_ctrl, min.h, max.h, clamped.h);
  Set_Scroll_Bar(gs.vscroll_ctrl, min.v, max.v, clamped.v);

  const uint16 nviews = std::min<uint16>(gs.nviews, MAXNVIEWS);
  for (uint16 vx = 2; vx <= nviews; ++vx) {
    Point o;
    Focus_To_Origin(vx, gs.view_focus, o);
    a_view_rec& v = View_Rec(vx);
    if (Same_Point(o, v.origin)) continue;
    v.origin = o;
    Edit_InvalAll2(vx);
  }
}

// --- Tool, ring and views -------------------------------------------------------------------

void Calc_Tool_Net() {
  a_tool tool = NULL_TOOL;
  a_ring_kind ring = NULL_RING;
  switch (gs.curr_phase) {
    case CANVAS_PHASE: ring = CANVAS_RING; break;
    case PAINT_PHASE: {
      const int16 cell = gs.grid_vals[TOOL_GRID];
      tool = cell >= 0 && cell < NGRID_TOOLS ? a_tool(cell) : BRUSH_TOOL;
      ring = gs.tool_desc[tool].ring_kind;
      break;
    }
    case SYMBOL_PHASE:
      tool = PHOTO_TOOL;
      ring = SYMBOL_RING;
      break;
    case PHOTO_PHASE: {
      tool = PHOTO_TOOL;
      const int16 edge = gs.grid_vals[PHOTO_EDGE_GRID];
      ring = gs.grid_vals[PHOTO_PHASE_GRID] == 2 && edge >= 1 && edge <= 3 ? PHOTOF_RING : PHOTO_RING;
      break;
    }
    case COLLAGE_PHASE:
      tool = PHOTO_TOOL;
      ring = PHOTO_RING;
      break;
    case TEXT_PHASE:
      tool = TEXT_TOOL;
      ring = TEXT_SIZE_RING;
      break;
    case GRID_PHASE: ring = GRIDPHASE_RING; break;
    default: break;
  }
  if (ring >= NRINGS) ring = NULL_RING;
  // The eyedropper returns to the last tool that paints with a colour.
  if (gs.curr_phase == PAINT_PHASE && tool != DROPPER_TOOL &&
      (gs.ring_capability[ring] & Bar_Bit(PAINT_COLORBAR)) != 0)
    gs.dropper_jump = tool;
  // Leaving the spray can lets go of its sprayed stamps.
  if (gs.tool_net == SPRAY_TOOL && tool != SPRAY_TOOL) Spray_Stop();
  SV_Set_Enum(SV_TOOL_NET, tool);
  SV_Set_Enum(SV_CURR_RING, ring);
}

void Set_Text_Ring() {
  static constexpr a_ring_kind kPageRings[] = {TEXT_SIZE_RING, TEXT_OUTL_RING, TEXT_GLOW_RING, TEXT_SHAD_RING};
  a_ring_kind ring = TEXT_EDIT_RING;
  if (gs.txedit_phase != TXEDIT_EDIT) {
    const int16 page = gs.grid_vals[TEXT_PHASE_GRID];
    ring = page >= 0 && page < int16(std::size(kPageRings)) ? kPageRings[page] : TEXT_SIZE_RING;
  }
  SV_Set_Enum(SV_CURR_RING, ring);
}

Point Calc_Default_Focus(int16 zoomx) {
  if (gs.curr_phase == COLLAGE_PHASE) return Point{600, 600};
  if (zoomx > 1 || g_doc.up == nullptr) return gs.view_focus;
  const Rect& b = g_doc.up->paintbounds;
  return Point{int16((int32(b.top) + b.bottom) / 2), int16((int32(b.left) + b.right) / 2)};
}

void Focus_To_Origin(uint16 vx, Point focus, Point& origin) {
  const Point half = Half_View_Cells(View_Rec(vx));
  origin = Point{int16(focus.v - half.v), int16(focus.h - half.h)};
}

void Origin_To_Focus(uint16 vx, Point origin, Point& focus) {
  const Point half = Half_View_Cells(View_Rec(vx));
  focus = Point{int16(origin.v + half.v), int16(origin.h + half.h)};
}

void Calc_ScrollBar_Limits(Point& min, Point& max) {
  min = max = Point{0, 0};
  const a_doc_unit* unit = g_doc.up;
  if (unit == nullptr) return;
  const a_view_rec& v = View_Rec(kMainView);
  if (v.zoom_factor.num <= 0 || v.zoom_factor.den <= 0) return;
  const Rect& cells = unit->paintbounds;
  Rect screen;
  CellToScreenRect(kMainView, cells, screen);
  Axis_Limits(v, Width(v.bounds), Width(screen), cells.left, cells.right, min.h, max.h);
  Axis_Limits(v, Height(v.bounds), Height(screen), cells.top, cells.bottom, min.v, max.v);
}

// --- Memory budgets ---------------------------------------------------------------------------

void Calc_Max_From(uint64 free_bytes, int64 screen_pixels) {
  const auto clamp32 = [](uint64 x) { return uint32(std::min<uint64>(x, UINT32_MAX)); };
  gs.total_avail = clamp32(free_bytes);
  const uint64 program = 1200000;
  uint64 left = free_bytes > program ? free_bytes - program : 0;
  const uint64 pixels = screen_pixels > 0 ? uint64(screen_pixels) : 0;
  left = left > pixels ? left - pixels : 0;
  gs.doc_limit = std::max<uint32>(clamp32(left / 2), 1048576);
  pixt_cache_limit = std::max<uint32>(clamp32(free_bytes / 2), 700000);
}

void Calc_Max() {
  const Rect& screen = info_videoavail;
  Calc_Max_From(Heap_CalcFree64(), int64(Width(screen)) * Height(screen));
}

void Calc_Max_Custom() { gs.custom_limit = 100000000; }
