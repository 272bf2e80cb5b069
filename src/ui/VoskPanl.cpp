#include "ui/VoskPanl.h"

#include <algorithm>
#include <cmath>

#include "doc/VoskDoc.h"
#include "doc/VoskPrin.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPack.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "platform/Controls.h"
#include "platform/SysErr.h"
#include "platform/SysInfo.h"
#include "platform/VoskPref.h"
#include "ui/VoskBrow.h"
#include "ui/VoskConf.h"

a_gap_table g_gaps{};
a_panel_pen g_pen{};

namespace {

// The tool panel being described (window pixels).
Rect g_panel{0, 0, 0, 0};

constexpr a_pixel24 kBlack{0, 0, 0};
constexpr a_pixel24 kWhite{255, 255, 255};

// Strings of list 200 the panels label their lists and fields with.
constexpr int16 STR_COPIES = 430;
constexpr int16 STR_CHOOSE_LAYOUT = 431;
constexpr int16 STR_CHOOSE_KIND = 432;
constexpr int16 STR_CHOOSE_BRAND = 433;

constexpr int16 Width(const Rect& r) { return int16(r.right - r.left); }
constexpr int16 Height(const Rect& r) { return int16(r.bottom - r.top); }

// The size of an item's node (h: width, v: height).
Point Item_Size(a_node_kind kind, uint8 ix) {
  const Rect* r = nullptr;
  switch (kind) {
    case SLIDER_NODE: r = &g_sliders[ix].src_rect; break;
    case ONESHOT_NODE: r = &g_oneshots[ix].src_rect; break;
    case TOGGLE_NODE: r = &g_toggles[ix].src_rect; break;
    case ICONGRID_NODE: r = &g_grid[ix].src_rect; break;
    default: QUIT(); return Point{0, 0};
  }
  return Point{Height(*r), Width(*r)};
}

// The item at the next locator with its top-left at corner (nothing is
// added while measuring).
void Add_Item(a_node_kind kind, uint8 ix, Point corner) {
  const a_locator loc = Next_Item_Loc();
  if (g_pen.measuring) return;
  switch (kind) {
    case SLIDER_NODE: Node_Add_Slider(loc, corner, 0, 0, a_slider_enum(ix)); break;
    case ONESHOT_NODE: Node_Add_OneShot(loc, corner, 0, 0, a_oneshot_enum(ix)); break;
    case TOGGLE_NODE: Node_Add_Toggle(loc, corner, 0, 0, a_toggle_enum(ix)); break;
    case ICONGRID_NODE: Node_Add_Grid(loc, corner, 0, 0, a_grid_enum(ix)); break;
    default: QUIT(); break;
  }
}

void Add_Custom_At(a_custom_enum ix, const Rect& bounds, bool8 needoff) {
  const a_locator loc = Next_Item_Loc();
  if (!g_pen.measuring) Node_Add_Custom(loc, bounds, needoff, ix);
}

// A label of list 200 in black on white.
void Add_Label_At(a_locator loc, const Rect& bounds, int16 strx, int16 size) {
  if (!g_pen.measuring) Node_Add_Label(loc, bounds, kBlack, kWhite, 100, strx, JUST_LEFT, size, 0);
}

int16 Centred_X(int16 width) { return int16(g_panel.left + (Width(g_panel) - width) / 2); }

// What a panel's items need: their height (gaps of 0) and how many gaps
// they take.
struct a_measure {
  int16 used;
  int16 ngaps;
};

a_measure Measure(a_item_proc body) {
  Default_Gaps(0);
  Pen_Start(g_panel, true);
  body();
  return a_measure{int16(g_pen.pen.v - g_panel.top), g_pen.gaps_used};
}

// Measures the panel, spreads the room left over its gaps and one more
// below the last item (at most widest pixels each), then describes it.
void Describe_Fitted(a_item_proc body, int16 widest = MAX_GAP) {
  const a_measure m = Measure(body);
  Calc_Gaps(int16(m.ngaps + 1), int16(Height(g_panel) - m.used));
  for (int16& g : g_gaps.gap) g = std::min(g, widest);
  Pen_Start(g_panel, false);
  body();
}

a_selection_mix Mix() { return Calc_Selection_Mix(); }

uint8 Current_Unit_Kind() {
  if (!g_doc.doc_open || g_doc.upx < 1 || g_doc.upx > g_doc.doc_template.nunits) return UNIT_EMPTY;
  return g_doc.doc_template.units[g_doc.upx - 1].kind;
}

bool8 Has_Template_Flag(a_template_flag f) { return (g_doc.doc_template.tflags >> f & 1u) != 0; }

}  // namespace

// --- Gaps -----------------------------------------------------------------------------

void Default_Gaps(int16 spacing) {
  g_gaps.gap.fill(spacing);
  g_gaps.gap[0] = 0;
  g_gaps.ix = 0;
}

void Calc_Gaps(int16 ngaps, int16 avail) {
  g_gaps.ix = 0;
  ngaps = std::min(ngaps, NGAPS);
  if (ngaps < 1) return;
  // With less room than the items need the gaps close up; they never turn
  // negative, which would lay items over each other.
  const int32 room = std::max<int32>(avail, 0);
  auto share = [&](int32 i) { return int32(std::lround(double(room) * i / ngaps)); };
  for (int16 i = 1; i <= ngaps; ++i)
    g_gaps.gap[i] = int16(std::min<int32>(share(i) - share(i - 1), MAX_GAP));
}

int16 Next_Gap() {
  ++g_pen.gaps_used;
  if (g_gaps.ix >= NGAPS) return 0;
  return g_gaps.gap[++g_gaps.ix];
}

// --- The pen -----------------------------------------------------------------------------

void Pen_Start(const Rect& panel, bool8 measuring) {
  g_pen.panel = panel;
  g_pen.pen = Point{panel.top, panel.left};
  g_pen.loc = NFT[TOOL_DIV_NODE];
  g_pen.inc = NFT[SUBTOOL_INC];
  g_pen.measuring = measuring;
  g_pen.gaps_used = 0;
  if (!measuring) g_gaps.ix = 0;
}

a_locator Next_Item_Loc() {
  g_pen.loc += g_pen.inc;
  return g_pen.loc;
}

void AddY(int16 n) {
  for (int16 i = 0; i < n; ++i) g_pen.pen.v = int16(g_pen.pen.v + Next_Gap());
}

void Add_Slider(a_slider_enum ix) {
  AddY(1);
  Add_Item(SLIDER_NODE, ix, Point{g_pen.pen.v, g_pen.panel.left});
  g_pen.pen.v = int16(g_pen.pen.v + Item_Size(SLIDER_NODE, ix).v);
}

void Add_Grid(a_grid_enum ix, int16 dy) {
  g_pen.pen.v = int16(g_pen.pen.v + dy);
  const Point size = Item_Size(ICONGRID_NODE, ix);
  Add_Item(ICONGRID_NODE, ix, Point{g_pen.pen.v, Centred_X(size.h)});
  g_pen.pen.v = int16(g_pen.pen.v + size.v);
}

void Add_OneShot(a_oneshot_enum ix, int16 dy) {
  g_pen.pen.v = int16(g_pen.pen.v + dy);
  const Point size = Item_Size(ONESHOT_NODE, ix);
  Add_Item(ONESHOT_NODE, ix, Point{g_pen.pen.v, Centred_X(size.h)});
  g_pen.pen.v = int16(g_pen.pen.v + size.v);
}

void Add_Toggle(a_toggle_enum ix, int16 dy, bool8 centred) {
  g_pen.pen.v = int16(g_pen.pen.v + dy);
  const Point size = Item_Size(TOGGLE_NODE, ix);
  Add_Item(TOGGLE_NODE, ix, Point{g_pen.pen.v, centred ? Centred_X(size.h) : g_pen.pen.h});
  g_pen.pen.v = int16(g_pen.pen.v + size.v);
}

void Add_Row(std::initializer_list<a_row_cell> cells, int16 dy) {
  g_pen.pen.v = int16(g_pen.pen.v + dy);
  int16 total = 0, tallest = 0;
  bool8 placed = false;
  for (const a_row_cell& c : cells) {
    const Point size = Item_Size(c.kind, c.ix);
    total = int16(total + (&c == cells.begin() ? 0 : c.dx) + size.h);
    tallest = std::max(tallest, size.v);
    placed = placed || c.x >= 0;
  }
  int16 h = placed ? g_pen.panel.left : Centred_X(total);
  for (const a_row_cell& c : cells) {
    const Point size = Item_Size(c.kind, c.ix);
    if (c.x >= 0)
      h = int16(g_pen.panel.left + c.x);
    else if (&c != cells.begin())
      h = int16(h + c.dx);
    Add_Item(c.kind, c.ix, Point{int16(g_pen.pen.v + (tallest - size.v) / 2), h});
    h = int16(h + size.h);
  }
  g_pen.pen.v = int16(g_pen.pen.v + tallest);
}

void Add_Alignment_Buttons() {
  const int16 n = Mix() == THREE_PURE ? 4 : 3;
  // Buttons 48 wide spread evenly over 250 pixels from x = 50; the spread
  // buttons last, with three or more objects.
  auto row = [n](int16 top, const std::array<a_oneshot_enum, 4>& buttons) {
    for (int16 i = 0; i < n; ++i)
      Add_Item(ONESHOT_NODE, buttons[i], Point{top, int16(g_pen.panel.left + 50 + i * (250 - 48) / (n - 1))});
  };
  const int16 top = int16(g_pen.pen.v + Next_Gap());
  row(top, {OBJ_ALIGN_H_L, OBJ_ALIGN_H_C, OBJ_ALIGN_H_R, OBJ_SPREAD_H});
  // The second row 53 pixels below the first.
  row(int16(top + 53), {OBJ_ALIGN_V_T, OBJ_ALIGN_V_C, OBJ_ALIGN_V_B, OBJ_SPREAD_V});
  g_pen.pen.v = int16(top + 53 + Item_Size(ONESHOT_NODE, OBJ_ALIGN_V_T).v);
}

void Add_Nudge(int16 x) {
  const int16 top = int16(g_pen.pen.v + Next_Gap());
  const int16 side = Item_Size(ONESHOT_NODE, PRINT_NUDGE_U).v;
  Add_Item(ONESHOT_NODE, PRINT_NUDGE_U, Point{top, int16(x + 103)});
  const int16 mid = int16(top + side);
  const int16 step = Item_Size(ONESHOT_NODE, PRINT_NUDGE_0).h;
  Add_Item(ONESHOT_NODE, PRINT_NUDGE_L, Point{mid, int16(x + 103 - step)});
  Add_Item(ONESHOT_NODE, PRINT_NUDGE_0, Point{mid, int16(x + 103)});
  Add_Item(ONESHOT_NODE, PRINT_NUDGE_R, Point{mid, int16(x + 103 + step)});
  const int16 bottom = int16(mid + side);
  Add_Item(ONESHOT_NODE, PRINT_NUDGE_D, Point{bottom, int16(x + 103)});
  // The two read-outs of the adjustment across and down, 145 x 24 each,
  // beside the middle row.
  const int16 labels = int16(mid + side / 2 - 24);
  Add_Label_At(NUDGE_X_LABEL_LOC, Rect{labels, int16(x + 201), int16(labels + 24), int16(x + 346)}, -1, 18);
  Add_Label_At(NUDGE_Y_LABEL_LOC, Rect{int16(labels + 24), int16(x + 201), int16(labels + 48), int16(x + 346)}, -2,
               18);
  g_pen.pen.v = int16(bottom + Item_Size(ONESHOT_NODE, PRINT_NUDGE_D).v);
}

void Add_Area_Modifiers1() {
  if (gs.tool_net == SRECT_TOOL || gs.tool_net == SOVAL_TOOL) Add_Grid(FROM_CORNER_GRID, Next_Gap());
}

void Add_Area_Modifiers2() {
  if (gs.fill_kind == GRADIENT_FILL) {
    Add_Grid(GRAD_KIND_GRID, Next_Gap());
    Add_Grid(GRAD_DIR_GRID, Next_Gap());
    const int16 kind = gs.grid_vals[GRAD_KIND_GRID];
    if (kind == LINEAR_DITHER || kind == RIDGES_DITHER || kind == WAVY_DITHER)
      Add_Slider(GRAD_ANGLE_SLIDER);
    else if (kind == RAY_DITHER)
      Add_Slider(GRAD_TWIST_SLIDER);
    Add_Slider(GRAD_REP_SLIDER);
  } else if (gs.fill_kind == STAMP_FILL) {
    Add_Slider(STAMP_SIZE_SLIDER);
    Add_Slider(STAMP_SPACINGF_SLIDER);
    Add_Slider(STAMP_COLORSHIFT_SLIDER);
  }
}

void Add_Photo_Flips() {
  Add_Row({{ONESHOT_NODE, PHOTO_FLIPX_BUTTON, 0},
           {ONESHOT_NODE, PHOTO_FLIPY_BUTTON, 7},
           {ONESHOT_NODE, PHOTO_INVERT_BUTTON, 15},
           {ONESHOT_NODE, PHOTO_ROTATECCW_BUTTON, 15},
           {ONESHOT_NODE, PHOTO_ROTATECW_BUTTON, 7}},
          Next_Gap());
}

void Config_Colorizer() {
  constexpr int16 kBeside = 8;
  const Point reset = Item_Size(ONESHOT_NODE, COLORIZE_RESET_BUTTON);
  const int16 top = int16(g_pen.pen.v + Next_Gap());
  const int16 left = Centred_X(int16(COLORIZE_WIDTH + kBeside + reset.h));
  Add_Custom_At(CUSTOM_COLORIZE, Rect{top, left, int16(top + COLORIZE_HEIGHT), int16(left + COLORIZE_WIDTH)}, true);
  Add_Item(ONESHOT_NODE, COLORIZE_RESET_BUTTON,
           Point{int16(top + COLORIZE_HEIGHT - reset.v), int16(left + COLORIZE_WIDTH + kBeside)});
  g_pen.pen.v = int16(top + COLORIZE_HEIGHT);
}

// --- Paint ------------------------------------------------------------------------------------

namespace {

bool8 Shows_Paint_Opacity() {
  if (gs.tool_net == FFURTER_TOOL) return true;
  switch (gs.curr_ring) {
    case FOVAL_RING:
    case BRUSH_RING:
    case AREA_RING:
    case STAMP_RING:
    case SPRAY_RING:
    case LINE_RING: return true;
    case FRAME_RING: return gs.fill_kind != BORDER_FILL;
    default: return false;
  }
}

// The eraser's rectangle and oval choices are dragged out from a corner
// or the centre.
constexpr int16 kEraserRect = 9, kEraserOval = 10;
// The lasso is drawn, not dragged from a corner.
constexpr int16 kMarqueeLasso = 2;

void Paint_Items() {
  Add_Grid(TOOL_GRID, Next_Gap());
  switch (gs.tool_net) {
    case BRUSH_TOOL:
      Add_Grid(BRUSH_SHAPE_GRID, Next_Gap());
      Add_Slider(BRUSH_SPACING_SLIDER);
      break;
    case ERASER_TOOL: {
      Add_Grid(ERASER_GRID, Next_Gap());
      const int16 e = gs.grid_vals[ERASER_GRID];
      if (e == kEraserRect || e == kEraserOval) Add_Grid(FROM_CORNER_GRID, Next_Gap());
      Add_OneShot(PAINT_ZAP_BUTTON, 40);
      break;
    }
    case SPRAY_TOOL:
      Add_Grid(SPRAY_KIND_GRID, Next_Gap());
      Add_Slider(SPRAY_RADIUS_SLIDER);
      break;
    case SPOLYGON_TOOL:
    case SOVAL_TOOL:
    case SFURTER_TOOL:
    case SRECT_TOOL:
    case BUCKET_TOOL:
      Add_Area_Modifiers1();
      Add_Area_Modifiers2();
      if (gs.tool_net == SRECT_TOOL || gs.tool_net == SFURTER_TOOL) Add_Slider(PAINT_CORNER_SLIDER);
      break;
    case STAMP_TOOL:
      Add_Row({{ONESHOT_NODE, WARP_FLIPX_BUTTON, 0},
               {ONESHOT_NODE, WARP_FLIPY_BUTTON, 14},
               {ONESHOT_NODE, WARP_ROTATECCW_BUTTON, 42},
               {ONESHOT_NODE, WARP_ROTATECW_BUTTON, 14}},
              Next_Gap());
      Add_Slider(STAMP_SIZE_SLIDER);
      Add_Slider(STAMP_ROTATE_SLIDER);
      Add_Slider(STAMP_SPACING_SLIDER);
      Add_Slider(STAMP_DARKNESS_SLIDER);
      break;
    case SELECT_TOOL:
      Add_Grid(MARQ_KIND_GRID, Next_Gap());
      Add_Grid(MARQ_CUT_GRID, Next_Gap());
      Add_Grid(MARQ_TRANSP_GRID, Next_Gap());
      if (gs.grid_vals[MARQ_KIND_GRID] != kMarqueeLasso) Add_Grid(FROM_CORNER_GRID, Next_Gap());
      break;
    case LINE_TOOL: Add_Slider(LINE_THICKNESS_SLIDER); break;
    case FOVAL_TOOL:
      Add_Grid(FROM_CORNER_GRID, Next_Gap());
      Add_Slider(LINE_THICKNESS_SLIDER);
      break;
    case FFURTER_TOOL:
      Add_Slider(LINE_THICKNESS_SLIDER);
      Add_Slider(PAINT_CORNER_SLIDER);
      break;
    case FRECT_TOOL:
      Add_Grid(FROM_CORNER_GRID, Next_Gap());
      if (gs.fill_kind != BORDER_FILL) {
        Add_Slider(LINE_THICKNESS_SLIDER);
        Add_Slider(PAINT_CORNER_SLIDER);
      }
      break;
    default: break;
  }
  if (Shows_Paint_Opacity()) Add_Slider(PAINT_OPACITY_SLIDER);
}

// --- Canvas, symbols, photos, grid ------------------------------------------------------------

void Canvas_Items() {
  const uint8 kind = Current_Unit_Kind();
  if (Is_Rotatable_Canvas(kind))
    Add_Row({{ONESHOT_NODE, CANV_FLIPX_BUTTON, 0},
             {ONESHOT_NODE, CANV_FLIPY_BUTTON, 7},
             {ONESHOT_NODE, CANV_INVERT_BUTTON, 15},
             {ONESHOT_NODE, CANV_ROTATECCW_BUTTON, 15},
             {ONESHOT_NODE, CANV_ROTATECW_BUTTON, 7}},
            Next_Gap());
  else
    Add_Row({{ONESHOT_NODE, CANV_FLIPX_BUTTON, 0},
             {ONESHOT_NODE, CANV_INVERT_BUTTON, 28},
             {ONESHOT_NODE, CANV_FLIPY_BUTTON, 28}},
            Next_Gap());
  Add_Slider(CANV_DARKNESS_SLIDER);
  if (Has_Fuzzy_Rim(kind)) {
    Add_Slider(CANV_FUZZ_OUT_SLIDER);
    Add_Slider(CANV_FUZZ_IN_SLIDER);
  }
  Config_Colorizer();
}

void Symbol_Items() {
  Add_OneShot(SYMBOL_NEW_BUTTON, Next_Gap());
  Add_OneShot(PHOTO_DUP_BUTTON, 8);
  Add_OneShot(PHOTO_DEL_BUTTON, 8);
  const a_selection_mix mix = Mix();
  if (mix == ZERO_PURE || mix == ONE_PURE) {
    Add_Slider(SYMBOL_SIZE_SLIDER);
    Add_Slider(SYMBOL_ANGLE_SLIDER);
    Add_Slider(SYMBOL_OPACITY_SLIDER);
  } else {
    Add_Alignment_Buttons();
  }
}

// The toggle over the last cell of the effect pages' grid (x 292 in a
// 350-pixel panel).
constexpr int16 kShadowToggleX = 292;

void Photo_Items() {
  Add_Row({{ONESHOT_NODE, PHOTO_NEW_BUTTON, 0},
           {ONESHOT_NODE, PHOTO_DUP_BUTTON, 8},
           {ONESHOT_NODE, PHOTO_DEL_BUTTON, 8},
           {ONESHOT_NODE, PHOTO_COLLAGE_BUTTON, 8}},
          Next_Gap());
  const a_selection_mix mix = Mix();
  if (mix == ZERO_PURE) return;
  if (mix != ONE_PURE) {
    Add_Alignment_Buttons();
    return;
  }
  // The lone photo's picture is missing: it can be found again instead of
  // cropped.
  const a_oneshot_enum fix_or_crop = Calc_Hilite_PhFix(0) == HILITE_ENABLED ? PHOTO_FIX_BUTTON : PHOTO_CROP_BUTTON;
  Add_Row({{ONESHOT_NODE, PHOTO_REPLACE_BUTTON, 0}, {ONESHOT_NODE, uint8(fix_or_crop), 8}}, Next_Gap());
  Add_Row({{TOGGLE_NODE, PHOTO_SHAD_TOGGLE, 0, kShadowToggleX}}, Next_Gap());
  Add_Grid(PHOTO_PHASE_GRID, 2);
  switch (gs.grid_vals[PHOTO_PHASE_GRID]) {
    case 0:
      Add_Photo_Flips();
      Add_Toggle(PHOTO_CONSTRAIN_TOGGLE, Next_Gap(), true);
      if (gs.toggle_vals[PHOTO_CONSTRAIN_TOGGLE]) {
        Add_Slider(PHOTO_SIZE_SLIDER);
      } else {
        Add_Slider(PHOTO_SIZEH_SLIDER);
        Add_Slider(PHOTO_SIZEV_SLIDER);
      }
      Add_Slider(PHOTO_ANGLE_SLIDER);
      Add_Slider(PHOTO_OPACITY_SLIDER);
      break;
    case 1:
      Add_Toggle(PHOTO_TRANSP_TOGGLE, Next_Gap(), true);
      Add_Slider(PHOTO_DARKNESS_SLIDER);
      Config_Colorizer();
      break;
    case 2: {
      Add_Grid(PHOTO_EDGE_GRID, Next_Gap());
      const int16 edge = gs.grid_vals[PHOTO_EDGE_GRID];
      if (edge == 0) {
        Add_Slider(PHOTO_CORNER_SLIDER);
        Add_Slider(PHOTO_FEATHER_SLIDER);
        break;
      }
      Add_Slider(PHOTO_EDGE_BORDER_SLIDER);
      Add_Slider(PHOTO_EDGE_OUTLINE_SLIDER);
      if (edge == 2) Add_Slider(PHOTO_EDGE_SCALLOP_SLIDER);
      if (edge == 3) Add_Slider(PHOTO_EDGE_ROUGH_SLIDER);
      break;
    }
    case 3:
      Add_Slider(PHOTO_SHAD_DX_SLIDER);
      Add_Slider(PHOTO_SHAD_DY_SLIDER);
      Add_Slider(PHOTO_SHAD_RADIUS_SLIDER);
      Add_Slider(PHOTO_SHAD_OPACITY_SLIDER);
      break;
    default: break;
  }
}

void Grid_Items() {
  Add_Toggle(GRIDLINES_TOGGLE, Next_Gap(), true);
  Add_OneShot(GRIDLINES_CENTER_BUTTON, Next_Gap());
  Add_Slider(GRIDLINES_OPACITY_SLIDER);
  Add_Slider(GRIDLINES_HORZ_SLIDER);
  Add_Slider(GRIDLINES_VERT_SLIDER);
  Add_Slider(GRIDLINES_DASH_SLIDER);
  // The die cuts are not drawn on a layout printed straight onto discs.
  if (!Is_Direct_Print()) {
    AddY(1);
    Add_Toggle(CUTLINES_TOGGLE, Next_Gap(), true);
  }
  AddY(1);
  Add_Toggle(RULERS_TOGGLE, Next_Gap(), true);
  Add_Grid(RULERS_UNITS_GRID, Next_Gap());
}

// --- Text -------------------------------------------------------------------------------

// Layouts whose text block can be duplicated.
bool8 Layout_Has_Dup(int16 layout) {
  switch (layout) {
    case LAYOUT_HORZ:
    case LAYOUT_90:
    case LAYOUT_CIRC_CW:
    case LAYOUT_VERT:
    case LAYOUT_270:
    case LAYOUT_CIRC_CCW: return true;
    default: return false;
  }
}

// The justification grid of a layout; FALSE for the layouts that have none.
bool8 Just_Grid(int16 layout, a_grid_enum& grid) {
  switch (layout) {
    case LAYOUT_SPIRAL_CW:
    case LAYOUT_SPIRAL_CCW:
    case LAYOUT_SPOKE: return false;
    case LAYOUT_VERT: grid = TEXT_VJUST_GRID; return true;
    case LAYOUT_CONTOUR: grid = TEXT_CJUST_GRID; return true;
    default: grid = TEXT_HJUST_GRID; return true;
  }
}

constexpr int16 kColumnX = 12;     // the text panel's button column, from the panel's left
constexpr int16 kColumnStep = 8;   // between its buttons
constexpr int16 kBesideStep = 10;  // between the grids beside it

void Text_Items() {
  const int16 layout = gs.grid_vals[TEXT_LAYOUT_GRID];
  // The button column at the left.
  const int16 top = int16(g_pen.pen.v + Next_Gap());
  int16 v = top;
  const int16 x = int16(g_pen.panel.left + kColumnX);
  for (a_oneshot_enum b : {TEXT_NEW_BUTTON, OBJ_DUP_BUTTON, OBJ_DEL_BUTTON, TEXT_EDIT_BUTTON}) {
    // A layout that cannot be duplicated leaves the button's place empty.
    if (b != OBJ_DUP_BUTTON || Layout_Has_Dup(layout)) Add_Item(ONESHOT_NODE, b, Point{v, x});
    v = int16(v + Item_Size(ONESHOT_NODE, b).v + kColumnStep);
  }
  const int16 column_bottom = int16(v - kColumnStep);
  const a_selection_mix mix = Mix();
  if (mix != ZERO_PURE && mix != ONE_PURE) {
    g_pen.pen.v = column_bottom;
    Add_Alignment_Buttons();
    return;
  }
  // Beside the column: the layouts, the justification and bold and italic.
  const int16 beside_left = int16(x + Item_Size(ONESHOT_NODE, TEXT_NEW_BUTTON).h + kColumnStep);
  const int16 beside_w = int16(g_pen.panel.right - beside_left);
  auto beside_x = [&](int16 w) { return int16(beside_left + (beside_w - w) / 2); };
  v = top;
  const Point lsize = Item_Size(ICONGRID_NODE, TEXT_LAYOUT_GRID);
  Add_Item(ICONGRID_NODE, TEXT_LAYOUT_GRID, Point{v, beside_x(lsize.h)});
  v = int16(v + lsize.v + kBesideStep);
  a_grid_enum just = TEXT_HJUST_GRID;
  if (Just_Grid(layout, just)) {
    const Point jsize = Item_Size(ICONGRID_NODE, just);
    Add_Item(ICONGRID_NODE, just, Point{v, beside_x(jsize.h)});
    v = int16(v + jsize.v + kBesideStep);
  }
  const Point bsize = Item_Size(TOGGLE_NODE, TEXT_BOLD_TOGGLE);
  const Point isize = Item_Size(TOGGLE_NODE, TEXT_ITAL_TOGGLE);
  const int16 bx = beside_x(int16(bsize.h + kColumnStep + isize.h));
  Add_Item(TOGGLE_NODE, TEXT_BOLD_TOGGLE, Point{v, bx});
  Add_Item(TOGGLE_NODE, TEXT_ITAL_TOGGLE, Point{v, int16(bx + bsize.h + kColumnStep)});
  v = int16(v + std::max(bsize.v, isize.v));
  g_pen.pen.v = std::max(column_bottom, v);
  // The effects' toggles over their pages' cells, then the pages.
  Add_Row({{TOGGLE_NODE, TEXT_OUTL_TOGGLE, 0, 118},
           {TOGGLE_NODE, TEXT_GLOW_TOGGLE, 0, 205},
           {TOGGLE_NODE, TEXT_SHAD_TOGGLE, 0, 292}},
          Next_Gap());
  Add_Grid(TEXT_PHASE_GRID, 2);
  switch (gs.grid_vals[TEXT_PHASE_GRID]) {
    case 0:
      Add_Slider(TEXT_SIZE_SLIDER);
      Add_Slider(TEXT_HSPACING_SLIDER);
      switch (layout) {
        case LAYOUT_HORZ:
          Add_Slider(TEXT_VSPACING_SLIDER);
          Add_Slider(TEXT_LINEANGLE_SLIDER);
          break;
        case LAYOUT_90:
        case LAYOUT_VERT:
        case LAYOUT_270: Add_Slider(TEXT_VSPACING_SLIDER); break;
        case LAYOUT_CIRC_CW:
        case LAYOUT_CIRC_CCW:
        case LAYOUT_SPIRAL_CW:
        case LAYOUT_SPIRAL_CCW:
          Add_Slider(TEXT_VSPACING_SLIDER);
          Add_Slider(TEXT_RADIUS_SLIDER);
          Add_Slider(TEXT_POLARANGLE_SLIDER);
          break;
        case LAYOUT_CONTOUR:
          Add_Slider(TEXT_VSPACING_SLIDER);
          Add_Slider(TEXT_CMARGIN_SLIDER);
          break;
        case LAYOUT_SPOKE:
          Add_Slider(TEXT_SPOKE_OUTERD_SLIDER);
          Add_Slider(TEXT_SPOKE_TOTANGLE_SLIDER);
          Add_Slider(TEXT_POLARANGLE_SLIDER);
          Add_Slider(TEXT_SPOKE_TWIST_SLIDER);
          break;
        default: break;
      }
      Add_Slider(TEXT_OPACITY_SLIDER);
      break;
    case 1: Add_Slider(TEXT_OUTL_RADIUS_SLIDER); break;
    case 2:
      Add_Slider(TEXT_GLOW_RADIUS_SLIDER);
      Add_Slider(TEXT_GLOW_OPACITY_SLIDER);
      break;
    case 3:
      Add_Slider(TEXT_SHAD_DX_SLIDER);
      Add_Slider(TEXT_SHAD_DY_SLIDER);
      Add_Slider(TEXT_SHAD_RADIUS_SLIDER);
      Add_Slider(TEXT_SHAD_OPACITY_SLIDER);
      break;
    default: break;
  }
}

// The size slider's range follows the layout: a text on a spiral is at
// most 72 points, one on a line 288. A size above the new maximum is
// clipped to it.
void Limit_Text_Size() {
  const int16 layout = gs.grid_vals[TEXT_LAYOUT_GRID];
  a_slider_item& s = g_sliders[TEXT_SIZE_SLIDER];
  s.maxval = TEXT_LAYOUT_SIZE_LIMITS[layout >= 0 && layout < NTEXT_LAYOUTS ? layout : int16(LAYOUT_HORZ)];
  gs.slider_vals[TEXT_SIZE_SLIDER] = Slider_Limit_Value(TEXT_SIZE_SLIDER, gs.slider_vals[TEXT_SIZE_SLIDER]);
}

void Text_Edit_Items() {
  Add_OneShot(TEXT_OK_BUTTON, Next_Gap());
  Add_OneShot(TEXT_CANCEL_BUTTON, Next_Gap());
  Add_Row({{TOGGLE_NODE, TEXTR_BOLD_TOGGLE, 0, 139}, {TOGGLE_NODE, TEXTR_ITAL_TOGGLE, 8}}, Next_Gap());
  Add_Slider(TEXTR_SIZE_SLIDER);
  Add_Slider(TEXTR_ANGLE_SLIDER);
  Add_Slider(TEXTR_DX_SLIDER);
  Add_Slider(TEXTR_DY_SLIDER);
  Add_OneShot(TEXTR_RESET_BUTTON, Next_Gap());
}

// --- Collage -------------------------------------------------------------------------------

void Collage_Items() {
  Add_Grid(PACK_KIND_GRID, Next_Gap());
  switch (gs.grid_vals[PACK_KIND_GRID]) {
    case PACK_GRID:
      for (a_slider_enum s : {PACK_GRID_NX_SLIDER, PACK_GRID_NY_SLIDER, PACK_GRID_CORNER_SLIDER,
                              PACK_GRID_SPACING_SLIDER, PACK_OUTLINE_SLIDER})
        Add_Slider(s);
      break;
    case PACK_CLOCK1:
    case PACK_CLOCK2:
      Add_Grid(PACK_ORIENT_GRID, Next_Gap());
      Add_Slider(PACK_CLOCK_NOUTER_SLIDER);
      if (gs.grid_vals[PACK_KIND_GRID] == PACK_CLOCK2) Add_Slider(PACK_CLOCK_NINNER_SLIDER);
      for (a_slider_enum s : {PACK_CLOCK_OUTERD_SLIDER, PACK_CLOCK_THICKNESS_SLIDER, PACK_CLOCK_TOTANGLE_SLIDER,
                              PACK_CLOCK_START_SLIDER, PACK_CLOCK_SPACING_SLIDER, PACK_OUTLINE_SLIDER})
        Add_Slider(s);
      break;
    case PACK_CLOCKSQ:
      for (a_slider_enum s : {PACK_CLOCK_NOUTER_SLIDER, PACK_CLOCK_OUTERD_SLIDER, PACK_CLOCK_THICKNESS_SLIDER,
                              PACK_CLOCK_TOTANGLE_SLIDER, PACK_CLOCK_START_SLIDER, PACK_OUTLINE_SLIDER,
                              PACK_GRID_CORNER_SLIDER})
        Add_Slider(s);
      break;
    case PACK_LOTUS:
      Add_Grid(PACK_ORIENT_GRID, Next_Gap());
      for (a_slider_enum s :
           {PACK_LOTUS_N_SLIDER, PACK_CLOCK_OUTERD_SLIDER, PACK_CLOCK_THICKNESS_SLIDER, PACK_OUTLINE_SLIDER})
        Add_Slider(s);
      break;
    default: break;
  }
  if (Is_Pack_Sizeable()) {
    Add_Photo_Flips();
    Add_Slider(PACK_ITEM_SIZE_SLIDER);
  }
  Add_OneShot(PACK_GET_BUTTON, Next_Gap());
  if (Selection_Count() > 0)
    Add_Row({{ONESHOT_NODE, PACK_DUP_BUTTON, 0}, {ONESHOT_NODE, PACK_CLEAR_BUTTON, 8}}, Next_Gap());
  Add_Row({{ONESHOT_NODE, PACK_OK_BUTTON, 0}, {ONESHOT_NODE, PACK_CANCEL_BUTTON, 8}}, Next_Gap());
}

// --- Printing --------------------------------------------------------------------------------

// The disc printer's medium, its name and the print diameters.
void Add_Media() {
  if (Is_Grid_Element(PRINT_MEDIA_GRID, g_doc.doc_mediax)) gs.grid_vals[PRINT_MEDIA_GRID] = g_doc.doc_mediax;
  Add_Grid(PRINT_MEDIA_GRID, Next_Gap());
  Add_OneShot(PRINT_MEDIANAME_BUTTON, 4);
}

void Set_Default(a_slider_enum s, int16 value) { g_sliders[s].defaultval = value; }

// The height the print panel's unit list takes (set between measuring and
// describing).
int16 g_unitlist_v = 0;
constexpr int16 kUnitListGap = 10;  // the gap the print panel's items keep when the list is sized
constexpr int16 kMinUnitList = 40;

void Preview_Norm_Items() {
  const int16 top = int16(g_pen.pen.v + Next_Gap());
  const Rect list{top, Centred_X(UNITLIST_WIDTH), int16(top + g_unitlist_v),
                  int16(Centred_X(UNITLIST_WIDTH) + UNITLIST_WIDTH)};
  // The scroll bar along the list's right edge, beside the strip, when its
  // units do not all fit.
  const int32 hidden = g_pen.measuring ? 0 : Calc_UnitList_V(list);
  const bool scrolls = hidden > 0 && gs.uscroll_ctrl != nullptr;
  const int16 strip_right = int16(scrolls ? list.right - info_sbarheight : list.right);
  Add_Custom_At(CUSTOM_UNITLIST, Rect{list.top, list.left, list.bottom, strip_right}, true);
  if (scrolls) {
    SetControlMinMax(gs.uscroll_ctrl, 1, 1 + hidden, 1);
    const Rect bar{list.top, strip_right, list.bottom, list.right};
    Node_Add_ScrollBar(Next_Item_Loc(), bar, 1, gs.uscroll_ctrl);
  }
  g_pen.pen.v = list.bottom;
  Add_Row({{ONESHOT_NODE, PRINT_BUTTON, 0}, {ONESHOT_NODE, PRINT_SETUP_BUTTON, 12}, {ONESHOT_NODE, PRINT_TEST_BUTTON, 12}},
          Next_Gap());
  const a_direct_print_kind kind = Calc_Direct_Print_Kind();
  if (kind != NOT_DIRECT) {
    Add_Media();
    switch (kind) {
      case CD_DIRECT:
      case MINICD_DIRECT:
        Set_Default(PRINT_INNERD_SLIDER, kind == CD_DIRECT ? 410 : 200);
        Add_Slider(PRINT_OUTERD_SLIDER);
        Add_Slider(PRINT_INNERD_SLIDER);
        break;
      case HOCKEY_DIRECT:
        Set_Default(PRINT_INNERD_SLIDER, 200);
        Set_Default(PRINT_BIZSIDE_SLIDER, 200);
        Add_Slider(PRINT_OUTERD_SLIDER);
        Add_Slider(PRINT_INNERD_SLIDER);
        Add_Slider(PRINT_BIZSIDE_SLIDER);
        break;
      case RECT_DIRECT:
        Set_Default(PRINT_INNERD_SLIDER, 200);
        Add_Slider(PRINT_WIDTH_SLIDER);
        Add_Slider(PRINT_HEIGHT_SLIDER);
        Add_Slider(PRINT_INNERD_SLIDER);
        break;
      default: break;
    }
    Add_Nudge(g_pen.panel.left);
  }
  if (Is_Small_Paper()) Add_Toggle(LASERJET_TOGGLE, Next_Gap(), true);
}

void Zadaz_Items() {
  Add_Row({{ONESHOT_NODE, PRINT_BUTTON, 0}, {ONESHOT_NODE, PRINT_SETUP_BUTTON, 12}}, Next_Gap());
  Add_Slider(PRINT_NCOPIES_SLIDER);
  Add_Media();
  for (a_slider_enum s : {PRINT_OUTERD_SLIDER, PRINT_INNERD_SLIDER, PRINT_QUALITY_SLIDER, PRINT_DENSITY_SLIDER})
    Add_Slider(s);
}

void LS_Items() {
  Add_OneShot(PRINT_BUTTON, Next_Gap());
  Add_Slider(LS_COVERAGE_SLIDER);
  Add_Slider(LS_CONTRAST_SLIDER);
  Add_Slider(PRINT_NCOPIES_SLIDER);
}

// The copy-count field with its label on the left and its two buttons on
// the right.
void Add_Copies() {
  constexpr int16 kLabelW = 70, kLabelH = 20, kStep = 8;
  const Point reset = Item_Size(ONESHOT_NODE, QCOMBO_RESET_BUTTON);
  const Point all = Item_Size(ONESHOT_NODE, QCOMBO_ALL_BUTTON);
  const int16 top = int16(g_pen.pen.v + Next_Gap());
  int16 h = Centred_X(int16(kLabelW + QCOMBO_WIDTH + kStep + reset.h + kStep + all.h));
  const int16 mid = int16(top + QCOMBO_HEIGHT / 2);
  Add_Label_At(Next_Item_Loc(), Rect{int16(mid - kLabelH / 2), h, int16(mid + kLabelH / 2), int16(h + kLabelW)},
               STR_COPIES, 14);
  h = int16(h + kLabelW);
  Add_Custom_At(CUSTOM_QCOMBO, Rect{top, h, int16(top + QCOMBO_HEIGHT), int16(h + QCOMBO_WIDTH)}, true);
  h = int16(h + QCOMBO_WIDTH + kStep);
  Add_Item(ONESHOT_NODE, QCOMBO_RESET_BUTTON, Point{int16(mid - reset.v / 2), h});
  h = int16(h + reset.h + kStep);
  Add_Item(ONESHOT_NODE, QCOMBO_ALL_BUTTON, Point{int16(mid - all.v / 2), h});
  g_pen.pen.v = int16(top + QCOMBO_HEIGHT);
}

void FlexStick_Items() {
  Add_Copies();
  Add_Row({{TOGGLE_NODE, FLEX_BURN_TOGGLE, 0}, {TOGGLE_NODE, FLEX_VERIFY_TOGGLE, 28}}, Next_Gap());
  Add_Slider(FLEX_SPEED_SLIDER);
  Add_Row({{TOGGLE_NODE, FLEX_PRINT_TOGGLE, 0}, {TOGGLE_NODE, FLEX_GRAY_TOGGLE, 28}}, Next_Gap());
  if (gs.toggle_vals[FLEX_PRINT_TOGGLE]) {
    Add_Media();
    Add_Slider(PRINT_OUTERD_SLIDER);
    Add_Slider(PRINT_INNERD_SLIDER);
    Add_Slider(FLEX_DENSITY_SLIDER);
    Add_Nudge(g_pen.panel.left);
  }
  Add_OneShot(FLEXSTICK_OK_BUTTON, Next_Gap());
}

void FlexLabel_Items() {
  Add_Toggle(FLEX_GRAY_TOGGLE, Next_Gap(), true);
  Add_Media();
  Add_Slider(PRINT_OUTERD_SLIDER);
  Add_Slider(PRINT_INNERD_SLIDER);
  Add_Slider(FLEX_DENSITY_SLIDER);
  Add_Nudge(g_pen.panel.left);
  Add_OneShot(FLEXLABEL_OK_BUTTON, Next_Gap());
}

// --- The layout chooser --------------------------------------------------------------------

constexpr int16 kListLabelH = 20;
constexpr int16 kListRow = 20;  // a row of the lists, the strip between rows included
constexpr int16 kListSpacing = 1;
constexpr int16 kListMargin = 10;

// The heights the two lists take (set between measuring and describing).
int16 g_kind_v = 0, g_paper_v = 0;
bool8 g_wide = false;

// A list box at bounds (its scroll bar inside on the right) with its node.
void Add_List(a_listbox_desc& desc, a_custom_enum ix, const Rect& bounds) {
  const int16 bar = std::max<int16>(desc.scrollbar_h, 0);
  const Rect area{bounds.top, bounds.left, bounds.bottom, int16(bounds.right - bar)};
  const a_locator loc = Next_Item_Loc();
  if (g_pen.measuring) return;
  desc.area = area;
  desc.cell_h = int16(Width(area) - 2 * desc.border);
  desc.cell_v = int16(kListRow - kListSpacing);
  desc.spacing_v = kListSpacing;
  desc.nvis = std::max<int32>((Height(area) - 2 * desc.border + kListSpacing) / kListRow, 1);
  desc.customx = ix;
  Node_Add_Custom(loc, area, true, ix);
  if (desc.scrollbar != nullptr)
    Node_Add_ScrollBar(Next_Item_Loc(), Rect{area.top, area.right, area.bottom, bounds.right}, 1, desc.scrollbar);
}

// A labelled list: the label, then the list of height v below it.
void Add_Labelled_List(int16 strx, a_listbox_desc& desc, a_custom_enum ix, int16 left, int16 right, int16 top,
                       int16 v) {
  Add_Label_At(Next_Item_Loc(), Rect{top, left, int16(top + kListLabelH), right}, strx, 14);
  Add_List(desc, ix, Rect{int16(top + kListLabelH), left, int16(top + kListLabelH + v), right});
}

void Paper_Items() {
  Add_Grid(PROJ_SORT_GRID, Next_Gap());
  const int16 kind_label = gs.grid_vals[PROJ_SORT_GRID] == 1 ? STR_CHOOSE_BRAND : STR_CHOOSE_KIND;
  const int16 left = int16(g_pen.panel.left + kListMargin), right = int16(g_pen.panel.right - kListMargin);
  if (g_wide) {
    const int16 top = int16(g_pen.pen.v + Next_Gap());
    const int16 mid = int16((left + right) / 2);
    Add_Labelled_List(kind_label, gs.paper_kind_desc, CUSTOM_PAPERKIND, left, int16(mid - kListMargin / 2), top,
                      g_kind_v);
    Add_Labelled_List(STR_CHOOSE_LAYOUT, gs.paper_list_desc, CUSTOM_PAPERLIST, int16(mid + kListMargin / 2), right,
                      top, g_paper_v);
    g_pen.pen.v = int16(top + kListLabelH + std::max(g_kind_v, g_paper_v));
  } else {
    int16 top = int16(g_pen.pen.v + Next_Gap());
    Add_Labelled_List(kind_label, gs.paper_kind_desc, CUSTOM_PAPERKIND, left, right, top, g_kind_v);
    top = int16(top + kListLabelH + g_kind_v + Next_Gap());
    Add_Labelled_List(STR_CHOOSE_LAYOUT, gs.paper_list_desc, CUSTOM_PAPERLIST, left, right, top, g_paper_v);
    g_pen.pen.v = int16(top + kListLabelH + g_paper_v);
  }
  Add_Row({{ONESHOT_NODE, PAPER_OK_BUTTON, 0}, {ONESHOT_NODE, PAPER_CANCEL_BUTTON, 12}}, Next_Gap());
}

void Config_Paper_Tools(bool8 wide) {
  g_wide = wide;
  g_kind_v = g_paper_v = 0;
  const a_measure m = Measure(Paper_Items);
  // The lists share what the other items and gaps of 10 pixels leave: side
  // by side each has all of it, stacked the layouts get two thirds.
  const int16 room = std::max<int16>(int16(Height(g_panel) - m.used - (m.ngaps + 1) * kListMargin), 2 * kListRow);
  g_kind_v = wide ? room : int16(room / 3);
  g_paper_v = wide ? room : int16(room - g_kind_v);
  Describe_Fitted(Paper_Items);
  Gen_Paper_Lists();
}

}  // namespace

// --- The builders ---------------------------------------------------------------------------

void Config_Paint_Tools() { Describe_Fitted(Paint_Items); }
void Config_Canvas_Tools() { Describe_Fitted(Canvas_Items); }
void Config_Symbol_Tools() { Describe_Fitted(Symbol_Items); }
void Config_Photo_Tools() { Describe_Fitted(Photo_Items); }
void Config_Grid_Tools() { Describe_Fitted(Grid_Items); }

void Config_Text_Tools() {
  Limit_Text_Size();
  Describe_Fitted(Text_Items);
}

void Config_Text_Edit() { Describe_Fitted(Text_Edit_Items); }
void Config_Collage_Tools() { Describe_Fitted(Collage_Items); }

void Config_Preview_Norm() {
  g_unitlist_v = 0;
  const a_measure m = Measure(Preview_Norm_Items);
  g_unitlist_v =
      std::max<int16>(int16(Height(g_panel) - m.used - (m.ngaps + 1) * kUnitListGap), kMinUnitList);
  Describe_Fitted(Preview_Norm_Items);
}

void Config_Preview_Zadaz() { Describe_Fitted(Zadaz_Items); }
void Config_Preview_LS() { Describe_Fitted(LS_Items); }
void Config_Preview_FlexStick() { Describe_Fitted(FlexStick_Items, 14); }
void Config_Preview_FlexLabel() { Describe_Fitted(FlexLabel_Items); }
void Config_Paper_Tools_N() { Config_Paper_Tools(false); }
void Config_Paper_Tools_W() { Config_Paper_Tools(true); }

a_panel_builder Panel_Builder(a_phase phase) {
  switch (phase) {
    case PREVIEW_PHASE:
      if (Has_Template_Flag(IS_FLEXSTICK)) return Config_Preview_FlexStick;
      if (Has_Template_Flag(IS_FLEXLABEL)) return Config_Preview_FlexLabel;
      if (Has_Template_Flag(IS_DYMO_ZADAZ)) return Config_Preview_Zadaz;
      if (Has_Template_Flag(IS_LIGHTSCRIBE)) return Config_Preview_LS;
      return Config_Preview_Norm;
    case PAINT_PHASE: return Config_Paint_Tools;
    case CANVAS_PHASE: return Config_Canvas_Tools;
    case SYMBOL_PHASE: return Config_Symbol_Tools;
    case PHOTO_PHASE: return Config_Photo_Tools;
    case GRID_PHASE: return Config_Grid_Tools;
    case TEXT_PHASE: return gs.txedit_phase == TXEDIT_EDIT ? Config_Text_Edit : Config_Text_Tools;
    case COLLAGE_PHASE: return Config_Collage_Tools;
    case PAPER_PHASE: return Width(g_panel) > 400 ? Config_Paper_Tools_W : Config_Paper_Tools_N;
    default: return nullptr;
  }
}

void Config_Tools() {
  // The phase selector, in a strip of its height (the collage's strip has
  // none).
  Rect strip;
  if (g_doc.doc_open && Node_Exists(NFT[PHASE_DIV_NODE])) {
    Node_BeginConfig(NFT[PHASE_DIV_NODE], strip);
    if (Height(strip) >= CONF_PHASE_HEIGHT)
      Node_Add_Custom(PHASE_CUST_LOC,
                      Rect{strip.top, strip.left, int16(strip.top + CONF_PHASE_HEIGHT),
                           int16(strip.left + CONF_LEFT_WIDTH)},
                      true, CUSTOM_PHASE);
    Node_EndConfig();
  }
  if (!Node_Exists(NFT[TOOL_DIV_NODE])) return;
  Node_BeginConfig(NFT[TOOL_DIV_NODE], g_panel);
  Default_Gaps(20);
  if (const a_panel_builder builder = Panel_Builder(gs.curr_phase)) builder();
  Node_EndConfig();
}

// --- Unit kinds -------------------------------------------------------------------------------

namespace {

template <size_t N>
constexpr bool8 In_Set(const std::array<a_unit_kind, N>& set, uint8 kind) {
  return std::find(set.begin(), set.end(), kind) != set.end();
}

constexpr std::array<a_unit_kind, 6> kRotatableCanvases = {UNIT_CD,           UNIT_CD_CORE,      UNIT_MINICD_RING,
                                                           UNIT_MINICD_HOCKEY, UNIT_MINICD_LID1, UNIT_JEWEL_LID1};
constexpr std::array<a_unit_kind, 3> kFuzzyRims = {UNIT_CD, UNIT_CD_CORE, UNIT_MINICD_RING};

}  // namespace

bool8 Is_Rotatable_Canvas(uint8 unit_kind) { return In_Set(kRotatableCanvases, unit_kind); }
bool8 Has_Fuzzy_Rim(uint8 unit_kind) { return In_Set(kFuzzyRims, unit_kind); }
