// The tool panels: for each phase, tool and state the items of the panel in
// locator order; that they lie in the panel without overlapping, in a tall
// panel and in one too short for them; the gaps spread over the room; the
// text size slider's range per layout.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "NodeTestSupport.h"
#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPack.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "pixel/ArtItems.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/OPUtil.h"
#include "platform/QDRect.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskConf.h"
#include "ui/VoskIntf.h"
#include "ui/VoskPanl.h"

namespace {

// --- Items as a panel lists them -------------------------------------------------------

struct Item {
  a_node_kind kind;
  int ix;  // item row, custom area, or a label's string
  bool operator==(const Item& o) const { return kind == o.kind && ix == o.ix; }
};
Item S(a_slider_enum s) { return {SLIDER_NODE, s}; }
Item O(a_oneshot_enum o) { return {ONESHOT_NODE, o}; }
Item T(a_toggle_enum t) { return {TOGGLE_NODE, t}; }
Item G(a_grid_enum g) { return {ICONGRID_NODE, g}; }
Item C(a_custom_enum c) { return {CUSTOM_NODE, c}; }
Item L(int strx) { return {LABEL_NODE, strx}; }
const Item SB{SCROLLBAR_NODE, 0};

std::string Name(const Item& i) {
  switch (i.kind) {
    case SLIDER_NODE: return "slider " + std::to_string(i.ix);
    case ONESHOT_NODE: return ART_ONESHOT_ITEMS[i.ix].name;
    case TOGGLE_NODE: return ART_TOGGLE_ITEMS[i.ix].name;
    case ICONGRID_NODE: return ART_GRID_ITEMS[i.ix].name;
    case CUSTOM_NODE: return "custom " + std::to_string(i.ix);
    case LABEL_NODE: return "label " + std::to_string(i.ix);
    case SCROLLBAR_NODE: return "scroll bar";
    default: return "kind " + std::to_string(i.kind);
  }
}
std::string Names(const std::vector<Item>& items) {
  std::string s;
  for (const Item& i : items) s += Name(i) + ", ";
  return s;
}

// The nodes of the tool panel on screen, in locator order.
std::vector<const a_node_rec*> Panel_Nodes() {
  std::vector<const a_node_rec*> nodes;
  for (int16 nx = 1; nx <= Node_Used(CURR); ++nx) {
    const a_node_rec& n = Node_Get(CURR, nx);
    if (Is_Node_Below(n.loc, NFT[TOOL_DIV_NODE])) nodes.push_back(&n);
  }
  return nodes;
}

std::vector<Item> Panel_Items() {
  std::vector<Item> items;
  for (const a_node_rec* n : Panel_Nodes()) {
    switch (n->kind) {
      case SLIDER_NODE: items.push_back(S(n->slider_ix)); break;
      case ONESHOT_NODE: items.push_back(O(n->oneshot_ix)); break;
      case TOGGLE_NODE: items.push_back(T(n->toggle_ix)); break;
      case ICONGRID_NODE: items.push_back(G(n->grid_ix)); break;
      case CUSTOM_NODE: items.push_back(C(n->custom_ix)); break;
      case LABEL_NODE: items.push_back(L(n->label_strx)); break;
      case SCROLLBAR_NODE: items.push_back(SB); break;
      default: items.push_back(Item{n->kind, 0}); break;
    }
  }
  return items;
}

// --- The document and its objects ------------------------------------------------------

// Objects of the unit, by their number in its list (1 is the paint layer).
constexpr int32 kPhoto1 = 2, kPhoto2 = 3, kPhoto3 = 4, kMissingPhoto = 5;
constexpr int32 kSymbol1 = 6, kSymbol2 = 7, kSymbol3 = 8, kText = 9, kSlot = 10;

void Select(std::initializer_list<int32> objects) {
  a_oj_master& m = g_doc.up->oj;
  for (int32 i = 0; i < m.nlist; ++i) m.list[i].flags &= uint8(~OJ_Flag_Bit(SELECTED_FLAG));
  for (int32 o : objects) m.list[o - 1].flags |= OJ_Flag_Bit(SELECTED_FLAG);
}

void Tool(a_tool tool, a_fill_kind fill = COLOR_FILL) {
  gs.tool_net = tool;
  gs.curr_ring = gs.tool_desc[tool].ring_kind;
  gs.fill_kind = fill;
}

// A disc printer's layout: straight onto a disc whose first unit is kind.
void Disc_Printer(a_unit_kind kind, uint32 more_flags = 0) {
  g_doc.doc_template.tflags |= uint32(1) << IS_CDPRINTER | more_flags;
  g_doc.doc_template.units[0].kind = kind;
}
constexpr uint32 Flag(a_template_flag f) { return uint32(1) << f; }

struct Case {
  const char* what;
  a_phase phase;
  std::function<void()> state;
  std::vector<Item> items;
};

// The rows of the table, written from the panels' description.
std::vector<Case> Cases() {
  const std::vector<Item> nudge = {O(PRINT_NUDGE_U), O(PRINT_NUDGE_L), O(PRINT_NUDGE_0), O(PRINT_NUDGE_R),
                                   O(PRINT_NUDGE_D)};
  auto cat = [](std::vector<Item> a, const std::vector<Item>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const std::vector<Item> align2 = {O(OBJ_ALIGN_H_L), O(OBJ_ALIGN_H_C), O(OBJ_ALIGN_H_R),
                                    O(OBJ_ALIGN_V_T), O(OBJ_ALIGN_V_C), O(OBJ_ALIGN_V_B)};
  const std::vector<Item> align3 = {O(OBJ_ALIGN_H_L), O(OBJ_ALIGN_H_C), O(OBJ_ALIGN_H_R), O(OBJ_SPREAD_H),
                                    O(OBJ_ALIGN_V_T), O(OBJ_ALIGN_V_C), O(OBJ_ALIGN_V_B), O(OBJ_SPREAD_V)};
  const std::vector<Item> photo_buttons = {O(PHOTO_NEW_BUTTON), O(PHOTO_DUP_BUTTON), O(PHOTO_DEL_BUTTON),
                                           O(PHOTO_COLLAGE_BUTTON)};
  const std::vector<Item> flips = {O(PHOTO_FLIPX_BUTTON), O(PHOTO_FLIPY_BUTTON), O(PHOTO_INVERT_BUTTON),
                                   O(PHOTO_ROTATECCW_BUTTON), O(PHOTO_ROTATECW_BUTTON)};
  const std::vector<Item> one_photo = cat(photo_buttons, {O(PHOTO_REPLACE_BUTTON), O(PHOTO_CROP_BUTTON),
                                                          T(PHOTO_SHAD_TOGGLE), G(PHOTO_PHASE_GRID)});
  const std::vector<Item> colorizer = {C(CUSTOM_COLORIZE), O(COLORIZE_RESET_BUTTON)};
  const std::vector<Item> symbol_buttons = {O(SYMBOL_NEW_BUTTON), O(PHOTO_DUP_BUTTON), O(PHOTO_DEL_BUTTON)};
  // The text panel's head: the button column, the layouts, a justification
  // grid, bold and italic, the effects' toggles and the pages.
  auto text_head = [](bool dup, const std::vector<Item>& just) {
    std::vector<Item> v = {O(TEXT_NEW_BUTTON)};
    if (dup) v.push_back(O(OBJ_DUP_BUTTON));
    v.insert(v.end(), {O(OBJ_DEL_BUTTON), O(TEXT_EDIT_BUTTON), G(TEXT_LAYOUT_GRID)});
    v.insert(v.end(), just.begin(), just.end());
    v.insert(v.end(), {T(TEXT_BOLD_TOGGLE), T(TEXT_ITAL_TOGGLE), T(TEXT_OUTL_TOGGLE), T(TEXT_GLOW_TOGGLE),
                       T(TEXT_SHAD_TOGGLE), G(TEXT_PHASE_GRID)});
    return v;
  };
  auto text_layout = [](a_text_layout l, int16 page = 0) {
    return [l, page] {
      gs.grid_vals[TEXT_LAYOUT_GRID] = l;
      gs.grid_vals[TEXT_PHASE_GRID] = page;
    };
  };
  const std::vector<Item> pack_tail = {O(PACK_GET_BUTTON), O(PACK_OK_BUTTON), O(PACK_CANCEL_BUTTON)};
  auto pack = [](a_pack_kind k) { return [k] { gs.grid_vals[PACK_KIND_GRID] = k; }; };
  const std::vector<Item> print_row = {C(CUSTOM_UNITLIST), O(PRINT_BUTTON), O(PRINT_SETUP_BUTTON),
                                       O(PRINT_TEST_BUTTON), G(PRINT_MEDIA_GRID), O(PRINT_MEDIANAME_BUTTON)};
  const std::vector<Item> nudge_labels = {L(-1), L(-2)};

  return {
      // Paint.
      {"brush", PAINT_PHASE, [] { Tool(BRUSH_TOOL); },
       {G(TOOL_GRID), G(BRUSH_SHAPE_GRID), S(BRUSH_SPACING_SLIDER), S(PAINT_OPACITY_SLIDER)}},
      {"eraser, a round eraser", PAINT_PHASE, [] { Tool(ERASER_TOOL); gs.grid_vals[ERASER_GRID] = 3; },
       {G(TOOL_GRID), G(ERASER_GRID), O(PAINT_ZAP_BUTTON)}},
      {"eraser, rectangle", PAINT_PHASE, [] { Tool(ERASER_TOOL); gs.grid_vals[ERASER_GRID] = 9; },
       {G(TOOL_GRID), G(ERASER_GRID), G(FROM_CORNER_GRID), O(PAINT_ZAP_BUTTON)}},
      {"eraser, oval", PAINT_PHASE, [] { Tool(ERASER_TOOL); gs.grid_vals[ERASER_GRID] = 10; },
       {G(TOOL_GRID), G(ERASER_GRID), G(FROM_CORNER_GRID), O(PAINT_ZAP_BUTTON)}},
      {"eraser, polygon", PAINT_PHASE, [] { Tool(ERASER_TOOL); gs.grid_vals[ERASER_GRID] = 11; },
       {G(TOOL_GRID), G(ERASER_GRID), O(PAINT_ZAP_BUTTON)}},
      {"spray", PAINT_PHASE, [] { Tool(SPRAY_TOOL); },
       {G(TOOL_GRID), G(SPRAY_KIND_GRID), S(SPRAY_RADIUS_SLIDER), S(PAINT_OPACITY_SLIDER)}},
      {"solid rectangle, colour", PAINT_PHASE, [] { Tool(SRECT_TOOL); },
       {G(TOOL_GRID), G(FROM_CORNER_GRID), S(PAINT_CORNER_SLIDER), S(PAINT_OPACITY_SLIDER)}},
      {"solid rectangle, linear gradient", PAINT_PHASE,
       [] { Tool(SRECT_TOOL, GRADIENT_FILL); gs.grid_vals[GRAD_KIND_GRID] = 0; },
       {G(TOOL_GRID), G(FROM_CORNER_GRID), G(GRAD_KIND_GRID), G(GRAD_DIR_GRID), S(GRAD_ANGLE_SLIDER),
        S(GRAD_REP_SLIDER), S(PAINT_CORNER_SLIDER), S(PAINT_OPACITY_SLIDER)}},
      {"solid oval, ray gradient", PAINT_PHASE, [] { Tool(SOVAL_TOOL, GRADIENT_FILL); gs.grid_vals[GRAD_KIND_GRID] = 4; },
       {G(TOOL_GRID), G(FROM_CORNER_GRID), G(GRAD_KIND_GRID), G(GRAD_DIR_GRID), S(GRAD_TWIST_SLIDER),
        S(GRAD_REP_SLIDER), S(PAINT_OPACITY_SLIDER)}},
      {"polygon, wavy gradient", PAINT_PHASE,
       [] { Tool(SPOLYGON_TOOL, GRADIENT_FILL); gs.grid_vals[GRAD_KIND_GRID] = 5; },
       {G(TOOL_GRID), G(GRAD_KIND_GRID), G(GRAD_DIR_GRID), S(GRAD_ANGLE_SLIDER), S(GRAD_REP_SLIDER),
        S(PAINT_OPACITY_SLIDER)}},
      {"polygon, circular gradient", PAINT_PHASE,
       [] { Tool(SPOLYGON_TOOL, GRADIENT_FILL); gs.grid_vals[GRAD_KIND_GRID] = 2; },
       {G(TOOL_GRID), G(GRAD_KIND_GRID), G(GRAD_DIR_GRID), S(GRAD_REP_SLIDER), S(PAINT_OPACITY_SLIDER)}},
      {"bucket, stamp fill", PAINT_PHASE, [] { Tool(BUCKET_TOOL, STAMP_FILL); },
       {G(TOOL_GRID), S(STAMP_SIZE_SLIDER), S(STAMP_SPACINGF_SLIDER), S(STAMP_COLORSHIFT_SLIDER),
        S(PAINT_OPACITY_SLIDER)}},
      {"solid ring sector, pattern", PAINT_PHASE, [] { Tool(SFURTER_TOOL, PATTERN_FILL); },
       {G(TOOL_GRID), S(PAINT_CORNER_SLIDER), S(PAINT_OPACITY_SLIDER)}},
      {"stamp", PAINT_PHASE, [] { Tool(STAMP_TOOL, STAMP_FILL); },
       {G(TOOL_GRID), O(WARP_FLIPX_BUTTON), O(WARP_FLIPY_BUTTON), O(WARP_ROTATECCW_BUTTON), O(WARP_ROTATECW_BUTTON),
        S(STAMP_SIZE_SLIDER), S(STAMP_ROTATE_SLIDER), S(STAMP_SPACING_SLIDER), S(STAMP_DARKNESS_SLIDER),
        S(PAINT_OPACITY_SLIDER)}},
      {"marquee, rectangle", PAINT_PHASE, [] { Tool(SELECT_TOOL); gs.grid_vals[MARQ_KIND_GRID] = 0; },
       {G(TOOL_GRID), G(MARQ_KIND_GRID), G(MARQ_CUT_GRID), G(MARQ_TRANSP_GRID), G(FROM_CORNER_GRID)}},
      {"marquee, oval", PAINT_PHASE, [] { Tool(SELECT_TOOL); gs.grid_vals[MARQ_KIND_GRID] = 1; },
       {G(TOOL_GRID), G(MARQ_KIND_GRID), G(MARQ_CUT_GRID), G(MARQ_TRANSP_GRID), G(FROM_CORNER_GRID)}},
      {"marquee, lasso", PAINT_PHASE, [] { Tool(SELECT_TOOL); gs.grid_vals[MARQ_KIND_GRID] = 2; },
       {G(TOOL_GRID), G(MARQ_KIND_GRID), G(MARQ_CUT_GRID), G(MARQ_TRANSP_GRID)}},
      {"line", PAINT_PHASE, [] { Tool(LINE_TOOL); },
       {G(TOOL_GRID), S(LINE_THICKNESS_SLIDER), S(PAINT_OPACITY_SLIDER)}},
      {"framed oval", PAINT_PHASE, [] { Tool(FOVAL_TOOL); },
       {G(TOOL_GRID), G(FROM_CORNER_GRID), S(LINE_THICKNESS_SLIDER), S(PAINT_OPACITY_SLIDER)}},
      {"framed ring sector", PAINT_PHASE, [] { Tool(FFURTER_TOOL); },
       {G(TOOL_GRID), S(LINE_THICKNESS_SLIDER), S(PAINT_CORNER_SLIDER), S(PAINT_OPACITY_SLIDER)}},
      {"framed rectangle, colour", PAINT_PHASE, [] { Tool(FRECT_TOOL); },
       {G(TOOL_GRID), G(FROM_CORNER_GRID), S(LINE_THICKNESS_SLIDER), S(PAINT_CORNER_SLIDER),
        S(PAINT_OPACITY_SLIDER)}},
      {"framed rectangle, border", PAINT_PHASE, [] { Tool(FRECT_TOOL, BORDER_FILL); },
       {G(TOOL_GRID), G(FROM_CORNER_GRID)}},
      {"eyedropper", PAINT_PHASE, [] { Tool(DROPPER_TOOL); }, {G(TOOL_GRID)}},
      {"hand", PAINT_PHASE, [] { Tool(GRABBER_TOOL); }, {G(TOOL_GRID)}},

      // Canvas: by the current unit's kind.
      {"canvas of a disc", CANVAS_PHASE, [] {},
       cat({O(CANV_FLIPX_BUTTON), O(CANV_FLIPY_BUTTON), O(CANV_INVERT_BUTTON), O(CANV_ROTATECCW_BUTTON),
            O(CANV_ROTATECW_BUTTON), S(CANV_DARKNESS_SLIDER), S(CANV_FUZZ_OUT_SLIDER), S(CANV_FUZZ_IN_SLIDER)},
           colorizer)},
      {"canvas of a jewel case front", CANVAS_PHASE, [] { g_doc.doc_template.units[0].kind = UNIT_JEWEL_LID1; },
       cat({O(CANV_FLIPX_BUTTON), O(CANV_FLIPY_BUTTON), O(CANV_INVERT_BUTTON), O(CANV_ROTATECCW_BUTTON),
            O(CANV_ROTATECW_BUTTON), S(CANV_DARKNESS_SLIDER)},
           colorizer)},
      {"canvas of a rectangle", CANVAS_PHASE, [] { g_doc.doc_template.units[0].kind = UNIT_RECT; },
       cat({O(CANV_FLIPX_BUTTON), O(CANV_INVERT_BUTTON), O(CANV_FLIPY_BUTTON), S(CANV_DARKNESS_SLIDER)}, colorizer)},

      // Symbols.
      {"symbols, none selected", SYMBOL_PHASE, [] { Select({}); },
       cat(symbol_buttons, {S(SYMBOL_SIZE_SLIDER), S(SYMBOL_ANGLE_SLIDER), S(SYMBOL_OPACITY_SLIDER)})},
      {"symbols, one", SYMBOL_PHASE, [] { Select({kSymbol1}); },
       cat(symbol_buttons, {S(SYMBOL_SIZE_SLIDER), S(SYMBOL_ANGLE_SLIDER), S(SYMBOL_OPACITY_SLIDER)})},
      {"symbols, two", SYMBOL_PHASE, [] { Select({kSymbol1, kSymbol2}); }, cat(symbol_buttons, align2)},
      {"symbols, three", SYMBOL_PHASE, [] { Select({kSymbol1, kSymbol2, kSymbol3}); }, cat(symbol_buttons, align3)},
      {"symbols, with a photo", SYMBOL_PHASE, [] { Select({kSymbol1, kPhoto1}); }, cat(symbol_buttons, align2)},

      // Photos.
      {"photos, none selected", PHOTO_PHASE, [] { Select({}); }, photo_buttons},
      {"photos, two", PHOTO_PHASE, [] { Select({kPhoto1, kPhoto2}); }, cat(photo_buttons, align2)},
      {"photos, three", PHOTO_PHASE, [] { Select({kPhoto1, kPhoto2, kPhoto3}); }, cat(photo_buttons, align3)},
      {"photos, with a text", PHOTO_PHASE, [] { Select({kPhoto1, kText}); }, cat(photo_buttons, align2)},
      {"photo, size kept in proportion", PHOTO_PHASE,
       [] { Select({kPhoto1}); gs.toggle_vals[PHOTO_CONSTRAIN_TOGGLE] = true; },
       cat(cat(one_photo, flips), {T(PHOTO_CONSTRAIN_TOGGLE), S(PHOTO_SIZE_SLIDER), S(PHOTO_ANGLE_SLIDER),
                                   S(PHOTO_OPACITY_SLIDER)})},
      {"photo, free size", PHOTO_PHASE, [] { Select({kPhoto1}); gs.toggle_vals[PHOTO_CONSTRAIN_TOGGLE] = false; },
       cat(cat(one_photo, flips), {T(PHOTO_CONSTRAIN_TOGGLE), S(PHOTO_SIZEH_SLIDER), S(PHOTO_SIZEV_SLIDER),
                                   S(PHOTO_ANGLE_SLIDER), S(PHOTO_OPACITY_SLIDER)})},
      {"photo whose picture is missing", PHOTO_PHASE, [] { Select({kMissingPhoto}); },
       cat(cat(photo_buttons, {O(PHOTO_REPLACE_BUTTON), O(PHOTO_FIX_BUTTON), T(PHOTO_SHAD_TOGGLE),
                               G(PHOTO_PHASE_GRID)}),
           cat(flips, {T(PHOTO_CONSTRAIN_TOGGLE), S(PHOTO_SIZE_SLIDER), S(PHOTO_ANGLE_SLIDER),
                       S(PHOTO_OPACITY_SLIDER)}))},
      {"photo, colour page", PHOTO_PHASE, [] { Select({kPhoto1}); gs.grid_vals[PHOTO_PHASE_GRID] = 1; },
       cat(cat(one_photo, {T(PHOTO_TRANSP_TOGGLE), S(PHOTO_DARKNESS_SLIDER)}), colorizer)},
      {"photo, plain edge", PHOTO_PHASE,
       [] { Select({kPhoto1}); gs.grid_vals[PHOTO_PHASE_GRID] = 2; gs.grid_vals[PHOTO_EDGE_GRID] = 0; },
       cat(one_photo, {G(PHOTO_EDGE_GRID), S(PHOTO_CORNER_SLIDER), S(PHOTO_FEATHER_SLIDER)})},
      {"photo, bordered edge", PHOTO_PHASE,
       [] { Select({kPhoto1}); gs.grid_vals[PHOTO_PHASE_GRID] = 2; gs.grid_vals[PHOTO_EDGE_GRID] = 1; },
       cat(one_photo, {G(PHOTO_EDGE_GRID), S(PHOTO_EDGE_BORDER_SLIDER), S(PHOTO_EDGE_OUTLINE_SLIDER)})},
      {"photo, scalloped edge", PHOTO_PHASE,
       [] { Select({kPhoto1}); gs.grid_vals[PHOTO_PHASE_GRID] = 2; gs.grid_vals[PHOTO_EDGE_GRID] = 2; },
       cat(one_photo, {G(PHOTO_EDGE_GRID), S(PHOTO_EDGE_BORDER_SLIDER), S(PHOTO_EDGE_OUTLINE_SLIDER),
                       S(PHOTO_EDGE_SCALLOP_SLIDER)})},
      {"photo, rough edge", PHOTO_PHASE,
       [] { Select({kPhoto1}); gs.grid_vals[PHOTO_PHASE_GRID] = 2; gs.grid_vals[PHOTO_EDGE_GRID] = 3; },
       cat(one_photo, {G(PHOTO_EDGE_GRID), S(PHOTO_EDGE_BORDER_SLIDER), S(PHOTO_EDGE_OUTLINE_SLIDER),
                       S(PHOTO_EDGE_ROUGH_SLIDER)})},
      {"photo, shadow page", PHOTO_PHASE, [] { Select({kPhoto1}); gs.grid_vals[PHOTO_PHASE_GRID] = 3; },
       cat(one_photo, {S(PHOTO_SHAD_DX_SLIDER), S(PHOTO_SHAD_DY_SLIDER), S(PHOTO_SHAD_RADIUS_SLIDER),
                       S(PHOTO_SHAD_OPACITY_SLIDER)})},

      // Grid.
      {"grid", GRID_PHASE, [] {},
       {T(GRIDLINES_TOGGLE), O(GRIDLINES_CENTER_BUTTON), S(GRIDLINES_OPACITY_SLIDER), S(GRIDLINES_HORZ_SLIDER),
        S(GRIDLINES_VERT_SLIDER), S(GRIDLINES_DASH_SLIDER), T(CUTLINES_TOGGLE), T(RULERS_TOGGLE),
        G(RULERS_UNITS_GRID)}},
      {"grid of a disc printer's layout", GRID_PHASE, [] { Disc_Printer(UNIT_CD); },
       {T(GRIDLINES_TOGGLE), O(GRIDLINES_CENTER_BUTTON), S(GRIDLINES_OPACITY_SLIDER), S(GRIDLINES_HORZ_SLIDER),
        S(GRIDLINES_VERT_SLIDER), S(GRIDLINES_DASH_SLIDER), T(RULERS_TOGGLE), G(RULERS_UNITS_GRID)}},

      // Text, by layout and page.
      {"text on lines", TEXT_PHASE, text_layout(LAYOUT_HORZ),
       cat(text_head(true, {G(TEXT_HJUST_GRID)}), {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER),
                                                   S(TEXT_VSPACING_SLIDER), S(TEXT_LINEANGLE_SLIDER),
                                                   S(TEXT_OPACITY_SLIDER)})},
      {"text on lines, one selected", TEXT_PHASE, [=] { text_layout(LAYOUT_HORZ)(); Select({kText}); },
       cat(text_head(true, {G(TEXT_HJUST_GRID)}), {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER),
                                                   S(TEXT_VSPACING_SLIDER), S(TEXT_LINEANGLE_SLIDER),
                                                   S(TEXT_OPACITY_SLIDER)})},
      {"text turned 90", TEXT_PHASE, text_layout(LAYOUT_90),
       cat(text_head(true, {G(TEXT_HJUST_GRID)}),
           {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER), S(TEXT_VSPACING_SLIDER), S(TEXT_OPACITY_SLIDER)})},
      {"text turned 270", TEXT_PHASE, text_layout(LAYOUT_270),
       cat(text_head(true, {G(TEXT_HJUST_GRID)}),
           {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER), S(TEXT_VSPACING_SLIDER), S(TEXT_OPACITY_SLIDER)})},
      {"vertical text", TEXT_PHASE, text_layout(LAYOUT_VERT),
       cat(text_head(true, {G(TEXT_VJUST_GRID)}),
           {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER), S(TEXT_VSPACING_SLIDER), S(TEXT_OPACITY_SLIDER)})},
      {"text on a circle", TEXT_PHASE, text_layout(LAYOUT_CIRC_CW),
       cat(text_head(true, {G(TEXT_HJUST_GRID)}),
           {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER), S(TEXT_VSPACING_SLIDER), S(TEXT_RADIUS_SLIDER),
            S(TEXT_POLARANGLE_SLIDER), S(TEXT_OPACITY_SLIDER)})},
      {"text on a circle anticlockwise", TEXT_PHASE, text_layout(LAYOUT_CIRC_CCW),
       cat(text_head(true, {G(TEXT_HJUST_GRID)}),
           {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER), S(TEXT_VSPACING_SLIDER), S(TEXT_RADIUS_SLIDER),
            S(TEXT_POLARANGLE_SLIDER), S(TEXT_OPACITY_SLIDER)})},
      {"text on a spiral", TEXT_PHASE, text_layout(LAYOUT_SPIRAL_CW),
       cat(text_head(false, {}), {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER), S(TEXT_VSPACING_SLIDER),
                                  S(TEXT_RADIUS_SLIDER), S(TEXT_POLARANGLE_SLIDER), S(TEXT_OPACITY_SLIDER)})},
      {"text on a spiral anticlockwise", TEXT_PHASE, text_layout(LAYOUT_SPIRAL_CCW),
       cat(text_head(false, {}), {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER), S(TEXT_VSPACING_SLIDER),
                                  S(TEXT_RADIUS_SLIDER), S(TEXT_POLARANGLE_SLIDER), S(TEXT_OPACITY_SLIDER)})},
      {"text filling the disc", TEXT_PHASE, text_layout(LAYOUT_CONTOUR),
       cat(text_head(false, {G(TEXT_CJUST_GRID)}),
           {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER), S(TEXT_VSPACING_SLIDER), S(TEXT_CMARGIN_SLIDER),
            S(TEXT_OPACITY_SLIDER)})},
      {"text as spokes", TEXT_PHASE, text_layout(LAYOUT_SPOKE),
       cat(text_head(false, {}), {S(TEXT_SIZE_SLIDER), S(TEXT_HSPACING_SLIDER), S(TEXT_SPOKE_OUTERD_SLIDER),
                                  S(TEXT_SPOKE_TOTANGLE_SLIDER), S(TEXT_POLARANGLE_SLIDER),
                                  S(TEXT_SPOKE_TWIST_SLIDER), S(TEXT_OPACITY_SLIDER)})},
      {"text, outline page", TEXT_PHASE, text_layout(LAYOUT_HORZ, 1),
       cat(text_head(true, {G(TEXT_HJUST_GRID)}), {S(TEXT_OUTL_RADIUS_SLIDER)})},
      {"text, glow page", TEXT_PHASE, text_layout(LAYOUT_HORZ, 2),
       cat(text_head(true, {G(TEXT_HJUST_GRID)}), {S(TEXT_GLOW_RADIUS_SLIDER), S(TEXT_GLOW_OPACITY_SLIDER)})},
      {"text, shadow page", TEXT_PHASE, text_layout(LAYOUT_SPOKE, 3),
       cat(text_head(false, {}), {S(TEXT_SHAD_DX_SLIDER), S(TEXT_SHAD_DY_SLIDER), S(TEXT_SHAD_RADIUS_SLIDER),
                                  S(TEXT_SHAD_OPACITY_SLIDER)})},
      {"text with a photo", TEXT_PHASE, [=] { text_layout(LAYOUT_HORZ)(); Select({kText, kPhoto1}); },
       cat({O(TEXT_NEW_BUTTON), O(OBJ_DUP_BUTTON), O(OBJ_DEL_BUTTON), O(TEXT_EDIT_BUTTON)}, align2)},
      {"text with a photo, on a spiral", TEXT_PHASE,
       [=] { text_layout(LAYOUT_SPIRAL_CW)(); Select({kText, kPhoto1}); },
       cat({O(TEXT_NEW_BUTTON), O(OBJ_DEL_BUTTON), O(TEXT_EDIT_BUTTON)}, align2)},
      {"text being edited", TEXT_PHASE, [] { gs.txedit_phase = TXEDIT_EDIT; },
       {O(TEXT_OK_BUTTON), O(TEXT_CANCEL_BUTTON), T(TEXTR_BOLD_TOGGLE), T(TEXTR_ITAL_TOGGLE), S(TEXTR_SIZE_SLIDER),
        S(TEXTR_ANGLE_SLIDER), S(TEXTR_DX_SLIDER), S(TEXTR_DY_SLIDER), O(TEXTR_RESET_BUTTON)}},

      // Collage, by pattern; with a selected slot its copy and clear buttons.
      {"collage grid", COLLAGE_PHASE, pack(PACK_GRID),
       cat({G(PACK_KIND_GRID), S(PACK_GRID_NX_SLIDER), S(PACK_GRID_NY_SLIDER), S(PACK_GRID_CORNER_SLIDER),
            S(PACK_GRID_SPACING_SLIDER), S(PACK_OUTLINE_SLIDER)},
           pack_tail)},
      {"collage clock", COLLAGE_PHASE, pack(PACK_CLOCK1),
       cat({G(PACK_KIND_GRID), G(PACK_ORIENT_GRID), S(PACK_CLOCK_NOUTER_SLIDER), S(PACK_CLOCK_OUTERD_SLIDER),
            S(PACK_CLOCK_THICKNESS_SLIDER), S(PACK_CLOCK_TOTANGLE_SLIDER), S(PACK_CLOCK_START_SLIDER),
            S(PACK_CLOCK_SPACING_SLIDER), S(PACK_OUTLINE_SLIDER)},
           pack_tail)},
      {"collage double clock", COLLAGE_PHASE, pack(PACK_CLOCK2),
       cat({G(PACK_KIND_GRID), G(PACK_ORIENT_GRID), S(PACK_CLOCK_NOUTER_SLIDER), S(PACK_CLOCK_NINNER_SLIDER),
            S(PACK_CLOCK_OUTERD_SLIDER), S(PACK_CLOCK_THICKNESS_SLIDER), S(PACK_CLOCK_TOTANGLE_SLIDER),
            S(PACK_CLOCK_START_SLIDER), S(PACK_CLOCK_SPACING_SLIDER), S(PACK_OUTLINE_SLIDER)},
           pack_tail)},
      {"collage square clock", COLLAGE_PHASE, pack(PACK_CLOCKSQ),
       cat({G(PACK_KIND_GRID), S(PACK_CLOCK_NOUTER_SLIDER), S(PACK_CLOCK_OUTERD_SLIDER),
            S(PACK_CLOCK_THICKNESS_SLIDER), S(PACK_CLOCK_TOTANGLE_SLIDER), S(PACK_CLOCK_START_SLIDER),
            S(PACK_OUTLINE_SLIDER), S(PACK_GRID_CORNER_SLIDER)},
           pack_tail)},
      {"collage lotus", COLLAGE_PHASE, pack(PACK_LOTUS),
       cat({G(PACK_KIND_GRID), G(PACK_ORIENT_GRID), S(PACK_LOTUS_N_SLIDER), S(PACK_CLOCK_OUTERD_SLIDER),
            S(PACK_CLOCK_THICKNESS_SLIDER), S(PACK_OUTLINE_SLIDER)},
           pack_tail)},
      {"collage lotus, a slot selected", COLLAGE_PHASE, [=] { pack(PACK_LOTUS)(); Select({kSlot}); },
       {G(PACK_KIND_GRID), G(PACK_ORIENT_GRID), S(PACK_LOTUS_N_SLIDER), S(PACK_CLOCK_OUTERD_SLIDER),
        S(PACK_CLOCK_THICKNESS_SLIDER), S(PACK_OUTLINE_SLIDER), O(PACK_GET_BUTTON), O(PACK_DUP_BUTTON),
        O(PACK_CLEAR_BUTTON), O(PACK_OK_BUTTON), O(PACK_CANCEL_BUTTON)}},

      // Printing: the normal panel by paper and disc printer, then the
      // printers with panels of their own.
      {"print on Letter paper", PREVIEW_PHASE, [] {},
       {C(CUSTOM_UNITLIST), O(PRINT_BUTTON), O(PRINT_SETUP_BUTTON), O(PRINT_TEST_BUTTON)}},
      {"print on small paper", PREVIEW_PHASE, [] { g_doc.doc_template.papersize.x = 100; },
       {C(CUSTOM_UNITLIST), O(PRINT_BUTTON), O(PRINT_SETUP_BUTTON), O(PRINT_TEST_BUTTON), T(LASERJET_TOGGLE)}},
      {"print onto a disc", PREVIEW_PHASE, [] { Disc_Printer(UNIT_CD); },
       cat(cat(print_row, {S(PRINT_OUTERD_SLIDER), S(PRINT_INNERD_SLIDER)}), cat(nudge, nudge_labels))},
      {"print onto a mini disc", PREVIEW_PHASE, [] { Disc_Printer(UNIT_MINICD_RING); },
       cat(cat(print_row, {S(PRINT_OUTERD_SLIDER), S(PRINT_INNERD_SLIDER)}), cat(nudge, nudge_labels))},
      {"print onto a round-ended card disc", PREVIEW_PHASE, [] { Disc_Printer(UNIT_MINICD_HOCKEY); },
       cat(cat(print_row, {S(PRINT_OUTERD_SLIDER), S(PRINT_INNERD_SLIDER), S(PRINT_BIZSIDE_SLIDER)}),
           cat(nudge, nudge_labels))},
      {"print onto a card disc", PREVIEW_PHASE, [] { Disc_Printer(UNIT_MINICD_RECT); },
       cat(cat(print_row, {S(PRINT_WIDTH_SLIDER), S(PRINT_HEIGHT_SLIDER), S(PRINT_INNERD_SLIDER)}),
           cat(nudge, nudge_labels))},
      {"Zadaz", PREVIEW_PHASE, [] { Disc_Printer(UNIT_CD, Flag(IS_DYMO_ZADAZ)); },
       {O(PRINT_BUTTON), O(PRINT_SETUP_BUTTON), S(PRINT_NCOPIES_SLIDER), G(PRINT_MEDIA_GRID),
        O(PRINT_MEDIANAME_BUTTON), S(PRINT_OUTERD_SLIDER), S(PRINT_INNERD_SLIDER), S(PRINT_QUALITY_SLIDER),
        S(PRINT_DENSITY_SLIDER)}},
      {"LightScribe", PREVIEW_PHASE, [] { Disc_Printer(UNIT_CD, Flag(IS_LIGHTSCRIBE)); },
       {O(PRINT_BUTTON), S(LS_COVERAGE_SLIDER), S(LS_CONTRAST_SLIDER), S(PRINT_NCOPIES_SLIDER)}},
      {"FlexStick, printing", PREVIEW_PHASE,
       [] { Disc_Printer(UNIT_CD, Flag(IS_FLEXSTICK)); gs.toggle_vals[FLEX_PRINT_TOGGLE] = true; },
       cat(cat({L(430), C(CUSTOM_QCOMBO), O(QCOMBO_RESET_BUTTON), O(QCOMBO_ALL_BUTTON), T(FLEX_BURN_TOGGLE),
                T(FLEX_VERIFY_TOGGLE), S(FLEX_SPEED_SLIDER), T(FLEX_PRINT_TOGGLE), T(FLEX_GRAY_TOGGLE),
                G(PRINT_MEDIA_GRID), O(PRINT_MEDIANAME_BUTTON), S(PRINT_OUTERD_SLIDER), S(PRINT_INNERD_SLIDER),
                S(FLEX_DENSITY_SLIDER)},
               nudge),
           {O(FLEXSTICK_OK_BUTTON), L(-1), L(-2)})},
      {"FlexStick, burning only", PREVIEW_PHASE,
       [] { Disc_Printer(UNIT_CD, Flag(IS_FLEXSTICK)); gs.toggle_vals[FLEX_PRINT_TOGGLE] = false; },
       {L(430), C(CUSTOM_QCOMBO), O(QCOMBO_RESET_BUTTON), O(QCOMBO_ALL_BUTTON), T(FLEX_BURN_TOGGLE),
        T(FLEX_VERIFY_TOGGLE), S(FLEX_SPEED_SLIDER), T(FLEX_PRINT_TOGGLE), T(FLEX_GRAY_TOGGLE),
        O(FLEXSTICK_OK_BUTTON)}},
      {"FlexLabel", PREVIEW_PHASE, [] { Disc_Printer(UNIT_CD, Flag(IS_FLEXLABEL)); },
       cat(cat({T(FLEX_GRAY_TOGGLE), G(PRINT_MEDIA_GRID), O(PRINT_MEDIANAME_BUTTON), S(PRINT_OUTERD_SLIDER),
                S(PRINT_INNERD_SLIDER), S(FLEX_DENSITY_SLIDER)},
               nudge),
           {O(FLEXLABEL_OK_BUTTON), L(-1), L(-2)})},

      // The layout chooser (narrow panel): sorted by kind or by brand.
      {"layouts by kind", PAPER_PHASE, [] { gs.grid_vals[PROJ_SORT_GRID] = 0; },
       {G(PROJ_SORT_GRID), L(432), C(CUSTOM_PAPERKIND), SB, L(431), C(CUSTOM_PAPERLIST), SB, O(PAPER_OK_BUTTON),
        O(PAPER_CANCEL_BUTTON)}},
      {"layouts by brand", PAPER_PHASE, [] { gs.grid_vals[PROJ_SORT_GRID] = 1; },
       {G(PROJ_SORT_GRID), L(433), C(CUSTOM_PAPERKIND), SB, L(431), C(CUSTOM_PAPERLIST), SB, O(PAPER_OK_BUTTON),
        O(PAPER_CANCEL_BUTTON)}},
  };
}

// --- The fixture -------------------------------------------------------------------------

class ToolPanels : public nodetest::NodeTree {
 protected:
  void SetUp() override {
    nodetest::NodeTree::SetUp();
    doctests::Start_Document_Layer();
    ASSERT_TRUE(Doc_New(doctests::Disc_Face_Template()));
    Select_Doc_Unit(1);
    ASSERT_TRUE(Add_Objects());
    saved_ = gs;
    template_ = g_doc.doc_template;
  }
  void TearDown() override {
    doctests::Close_Document();
    nodetest::NodeTree::TearDown();
  }

  // Three photos with a picture, one whose picture is missing, three
  // symbols, a text and a collage slot (objects 2 to 10).
  static bool Add_Objects() {
    a_oj_master& m = g_doc.up->oj;
    a_masked_gworld basis;
    Null_MW(basis);
    basis.bounds = Rect{0, 0, 20, 30};
    New_GWorldF("photo", basis.bounds, 32, nullptr, basis.fore);
    if (basis.fore == nullptr) return false;
    a_source_desc source{};
    source.kind = SOURCE_EXTFILE;
    if (!Cache_Insert_External(source, basis, nullptr)) return false;
    const uint8 visible = OJ_Flag_Bit(VISIBLE_FLAG);
    for (int i = 0; i < 4; ++i) {
      a_ph_rec* ph = New_PH_Rec();
      Null_Spec(ph->spec);
      if (i < 3) ph->spec.source = source;
      Obj_Append(m, PHOTO_BLOCK, visible, ph, nullptr);
    }
    for (int i = 0; i < 3; ++i) Obj_Append(m, SYMBOL_BLOCK, visible, New_PH_Rec(), nullptr);
    Obj_Append(m, TEXT_BLOCK, visible, nullptr, nullptr);
    Obj_Append(m, SLOT_BLOCK, visible, New_PH_Rec(), nullptr);
    return m.nlist == kSlot;
  }

  // The window with its phase strip (strip pixels high) and a tool panel
  // of the given height and width below it, then Config_Tools.
  static Rect Describe(int16 height, int16 width = 350, int16 strip = 56) {
    Rect total, g;
    Node_BeginConfig(0, total);
    Node_Add_Window(NFT[OUTER_WIN_NODE], total, gs.outer_window, g);
    Node_Add_Division(NFT[PHASE_DIV_NODE], Rect{0, 0, strip, width}, DECORATION_NOPAINT, a_pixel24{160, 160, 160});
    const Rect tools{strip, 0, int16(strip + height), width};
    Node_Add_Division(NFT[TOOL_DIV_NODE], tools, DECORATION_STRIPED_RT, a_pixel24{160, 160, 160});
    Node_EndConfig();
    Config_Tools();
    return tools;
  }

  // The state of a row: the interface state and the layout as they were
  // set up, the phase, and what the row sets.
  void Apply(const Case& c) {
    gs = saved_;
    g_doc.doc_template = template_;
    Select({});
    gs.curr_phase = c.phase;
    gs.curr_kindset = c.phase == COLLAGE_PHASE ? Kind_Bit(SLOT_BLOCK) : OBJECT_KINDS;
    gs.txedit_phase = TXEDIT_MOVE;
    c.state();
  }

  a_interface_rec saved_{};
  a_template template_{};
};

// Every builder and branch: the items of the panel in locator order.
TEST_F(ToolPanels, ItemsInLocatorOrderForEveryPhaseToolAndState) {
  for (const Case& c : Cases()) {
    Apply(c);
    Describe(800);
    const std::vector<Item> items = Panel_Items();
    EXPECT_EQ(items, c.items) << c.what << "\n  shown:    " << Names(items) << "\n  expected: " << Names(c.items);
  }
}

// The phase strip holds the phase selector while a document is open; a
// strip without height (the collage's) holds none.
TEST_F(ToolPanels, ThePhaseStripHoldsTheSelector) {
  gs.curr_phase = PAINT_PHASE;
  Describe(400);
  const int16 nx = nodetest::Slot_Of(PHASE_CUST_LOC);
  ASSERT_NE(nx, 0);
  EXPECT_EQ(Node_Get(CURR, nx).custom_ix, CUSTOM_PHASE);
  EXPECT_TRUE(EqualRect(Node_Get(CURR, nx).nbounds, Rect{0, 0, 56, 350}));
  Describe(400, 350, 0);
  EXPECT_EQ(nodetest::Slot_Of(PHASE_CUST_LOC), 0);
}

// Items lie inside the panel and never over each other: in a panel tall
// enough for every item, and in one far too short, where the gaps close up
// (they never turn negative) and the items run on below the panel.
TEST_F(ToolPanels, ItemsNeverOverlap) {
  for (const int16 height : {int16(800), int16(120)}) {
    for (const Case& c : Cases()) {
      Apply(c);
      const Rect tools = Describe(height);
      const std::vector<const a_node_rec*> nodes = Panel_Nodes();
      for (size_t i = 0; i < nodes.size(); ++i) {
        const Rect& a = nodes[i]->nbounds;
        EXPECT_GE(a.left, tools.left) << c.what << ": " << Name(Panel_Items()[i]);
        EXPECT_LE(a.right, tools.right) << c.what << ": " << Name(Panel_Items()[i]);
        EXPECT_GE(a.top, tools.top) << c.what << ": " << Name(Panel_Items()[i]);
        if (height == 800) {
          EXPECT_LE(a.bottom, tools.bottom) << c.what << ": " << Name(Panel_Items()[i]);
        }
        for (size_t j = i + 1; j < nodes.size(); ++j) {
          Rect both;
          EXPECT_FALSE(SectRect(a, nodes[j]->nbounds, both))
              << c.what << " (panel " << height << " high): " << Name(Panel_Items()[i]) << " overlaps "
              << Name(Panel_Items()[j]);
        }
      }
    }
  }
}

// With room to spare the gaps are 20 pixels; with less they shrink so that
// the last item ends one gap above the panel's bottom.
TEST_F(ToolPanels, GapsFitThePanel) {
  Apply(Case{"", GRID_PHASE, [] {}, {}});
  Rect tools = Describe(800);
  int16 first_top = Panel_Nodes().front()->nbounds.top;
  EXPECT_EQ(first_top, tools.top + MAX_GAP);
  tools = Describe(420);
  const std::vector<const a_node_rec*> nodes = Panel_Nodes();
  first_top = nodes.front()->nbounds.top;
  EXPECT_LT(first_top, tools.top + MAX_GAP) << "the gaps shrank";
  EXPECT_GT(first_top, tools.top) << "but did not close";
  const int16 bottom = nodes.back()->nbounds.bottom;
  EXPECT_GT(bottom, tools.bottom - MAX_GAP);
  EXPECT_LE(bottom, tools.bottom);
}

// The wide layout chooser puts its two lists side by side.
TEST_F(ToolPanels, WideLayoutChooserListsSideBySide) {
  Apply(Case{"", PAPER_PHASE, [] {}, {}});
  Describe(500, 700);
  const a_listbox_desc& kinds = gs.paper_kind_desc;
  const a_listbox_desc& papers = gs.paper_list_desc;
  EXPECT_EQ(kinds.area.top, papers.area.top);
  EXPECT_LT(kinds.area.right, papers.area.left);
  EXPECT_GT(kinds.nvis, 5);
  Describe(500);
  EXPECT_LT(gs.paper_kind_desc.area.bottom, gs.paper_list_desc.area.top) << "the narrow one stacks them";
  EXPECT_GT(gs.paper_list_desc.nvis, gs.paper_kind_desc.nvis);
}

// --- Gaps ------------------------------------------------------------------------------------

std::vector<int16> Gaps(int16 n) { return std::vector<int16>(g_gaps.gap.begin() + 1, g_gaps.gap.begin() + 1 + n); }

TEST(Gaps, SpreadCappedAndNeverNegative) {
  const struct {
    int16 ngaps, avail;
    std::vector<int16> gaps;
  } cases[] = {
      {4, 10, {3, 2, 3, 2}},              // 2.5, 5, 7.5 and 10 rounded
      {3, 30, {10, 10, 10}},              //
      {5, 7, {1, 2, 1, 2, 1}},            // 1.4, 2.8, 4.2, 5.6 and 7 rounded
      {3, 300, {20, 20, 20}},             // at most 20 each
      {4, 0, {0, 0, 0, 0}},               //
      {4, -50, {0, 0, 0, 0}},             // less room than the items need: none below 0
      {2, -1, {0, 0}},                    //
  };
  for (const auto& c : cases) {
    Default_Gaps(20);
    Calc_Gaps(c.ngaps, c.avail);
    EXPECT_EQ(Gaps(c.ngaps), c.gaps) << c.ngaps << " gaps over " << c.avail;
    EXPECT_EQ(g_gaps.gap[c.ngaps + 1], 20) << "the gaps after keep their value";
    EXPECT_EQ(g_gaps.ix, 0);
  }
}

TEST(Gaps, DefaultAndNextGap) {
  Default_Gaps(14);
  EXPECT_EQ(Gaps(NGAPS), std::vector<int16>(NGAPS, 14));
  Calc_Gaps(2, 9);
  EXPECT_EQ(Next_Gap(), 5);  // 4.5 rounded away from 0
  EXPECT_EQ(Next_Gap(), 4);
  EXPECT_EQ(Next_Gap(), 14);
  for (int16 i = 4; i <= NGAPS; ++i) Next_Gap();
  EXPECT_EQ(Next_Gap(), 0) << "past the table";
  Calc_Gaps(NGAPS + 5, 10 * NGAPS);
  EXPECT_EQ(Gaps(NGAPS), std::vector<int16>(NGAPS, 10)) << "at most the table's gaps";
}

// --- The text size per layout ---------------------------------------------------------------

TEST_F(ToolPanels, TextSizeSliderFollowsTheLayout) {
  const struct {
    a_text_layout layout;
    int16 size, maxval, shown;
  } cases[] = {
      {LAYOUT_HORZ, 200, 288, 200},      {LAYOUT_90, 288, 288, 288},       {LAYOUT_CIRC_CW, 200, 144, 144},
      {LAYOUT_SPIRAL_CW, 100, 72, 72},   {LAYOUT_CONTOUR, 150, 144, 144},  {LAYOUT_VERT, 100, 144, 100},
      {LAYOUT_270, 289, 288, 288},       {LAYOUT_CIRC_CCW, 144, 144, 144}, {LAYOUT_SPIRAL_CCW, 73, 72, 72},
      {LAYOUT_SPOKE, 12, 72, 12},
  };
  for (const auto& c : cases) {
    Apply(Case{"", TEXT_PHASE, [&] { gs.grid_vals[TEXT_LAYOUT_GRID] = c.layout; }, {}});
    gs.slider_vals[TEXT_SIZE_SLIDER] = c.size;
    Describe(800);
    EXPECT_EQ(g_sliders[TEXT_SIZE_SLIDER].maxval, c.maxval) << "layout " << int(c.layout);
    EXPECT_EQ(gs.slider_vals[TEXT_SIZE_SLIDER], c.shown) << "layout " << int(c.layout);
  }
}

}  // namespace
