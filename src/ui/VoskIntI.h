// The interface's item tables: every slider, icon grid, one-shot button,
// toggle and custom area a panel can show is a row of one of five tables,
// numbered as gs.slider_vals, gs.grid_vals and gs.toggle_vals index them. A
// row says where its artwork lies in which tool picture, which string names
// it, which history operation a use of it records, and which procedures
// decide its display state, filter keys and carry out its action; a slider's
// row also its range, default and steps. The tables are filled once at
// start-up (Intf_Init_Tables) and afterwards only the display state, the
// back pointer to the node and a few artwork rectangles change.
//
// The values' columns (ranges, defaults, steps, when a value is reset and
// the history operation) are constant tables below, which the interface
// state reads before the tables are filled. Also here: the small item
// procedures the tables name that belong to no other module.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <span>

#include "doc/VoskHist.h"
#include "objects/VoskBrus.h"
#include "objects/VoskText.h"  // a_horz_just
#include "pixel/ArtKeys.h"     // a_art_item
#include "platform/SysLoop.h"  // a_keystroke, a_mousestroke
#include "platform/Types.h"
#include "platform/VoskDef.h"

// Sliders (values in gs.slider_vals).
enum a_slider_enum : uint8 {
  NULL_SLIDER = 0,
  CANV_DARKNESS_SLIDER = 1,
  CANV_FUZZ_IN_SLIDER = 2,
  CANV_FUZZ_OUT_SLIDER = 3,
  PAINT_OPACITY_SLIDER = 4,
  STAMP_SIZE_SLIDER = 5,
  STAMP_ROTATE_SLIDER = 6,
  STAMP_SPACING_SLIDER = 7,
  STAMP_SPACINGF_SLIDER = 8,
  STAMP_DARKNESS_SLIDER = 9,
  STAMP_COLORSHIFT_SLIDER = 10,
  STAMP_SKEWX_SLIDER = 11,
  STAMP_SKEWY_SLIDER = 12,
  STAMP_BENDX_SLIDER = 13,
  STAMP_BENDY_SLIDER = 14,
  STAMP_STRETCH_SLIDER = 15,
  BRUSH_SPACING_SLIDER = 16,
  PAINT_CORNER_SLIDER = 17,
  GRAD_TWIST_SLIDER = 18,
  GRAD_ANGLE_SLIDER = 19,
  GRAD_REP_SLIDER = 20,
  SPRAY_RADIUS_SLIDER = 21,
  SYMMETRY_COUNT_SLIDER = 22,
  LINE_THICKNESS_SLIDER = 23,
  COLOR_SAT_SLIDER = 24,
  COLOR_HUE_SLIDER = 25,
  COLOR_DIST_SLIDER = 26,
  PHOTO_SIZE_SLIDER = 27,
  PHOTO_SIZEH_SLIDER = 28,
  PHOTO_SIZEV_SLIDER = 29,
  PHOTO_ANGLE_SLIDER = 30,
  PHOTO_DARKNESS_SLIDER = 31,
  PHOTO_OPACITY_SLIDER = 32,
  PHOTO_CORNER_SLIDER = 33,
  PHOTO_FEATHER_SLIDER = 34,
  PHOTO_EDGE_BORDER_SLIDER = 35,
  PHOTO_EDGE_OUTLINE_SLIDER = 36,
  PHOTO_EDGE_SCALLOP_SLIDER = 37,
  PHOTO_EDGE_ROUGH_SLIDER = 38,
  PHOTO_SHAD_DX_SLIDER = 39,
  PHOTO_SHAD_DY_SLIDER = 40,
  PHOTO_SHAD_OPACITY_SLIDER = 41,
  PHOTO_SHAD_RADIUS_SLIDER = 42,
  SYMBOL_SIZE_SLIDER = 43,
  SYMBOL_ANGLE_SLIDER = 44,
  SYMBOL_OPACITY_SLIDER = 45,
  TEXT_SIZE_SLIDER = 46,
  TEXT_HSPACING_SLIDER = 47,
  TEXT_VSPACING_SLIDER = 48,
  TEXT_RADIUS_SLIDER = 49,
  TEXT_LINEANGLE_SLIDER = 50,
  TEXT_SPOKE_OUTERD_SLIDER = 51,
  TEXT_SPOKE_THICKNESS_SLIDER = 52,
  TEXT_POLARANGLE_SLIDER = 53,
  TEXT_SPOKE_TOTANGLE_SLIDER = 54,
  TEXT_SPOKE_TWIST_SLIDER = 55,
  TEXT_CMARGIN_SLIDER = 56,
  TEXT_STRETCH_H_SLIDER = 57,
  TEXT_STRETCH_V_SLIDER = 58,
  TEXT_SKEW_H_SLIDER = 59,
  TEXT_SKEW_V_SLIDER = 60,
  TEXT_SHAD_DX_SLIDER = 61,
  TEXT_SHAD_DY_SLIDER = 62,
  TEXT_SHAD_OPACITY_SLIDER = 63,
  TEXT_SHAD_RADIUS_SLIDER = 64,
  TEXT_GLOW_OPACITY_SLIDER = 65,
  TEXT_GLOW_RADIUS_SLIDER = 66,
  TEXT_OUTL_RADIUS_SLIDER = 67,
  TEXT_OPACITY_SLIDER = 68,
  PACK_CLOCK_NINNER_SLIDER = 69,
  PACK_CLOCK_NOUTER_SLIDER = 70,
  PACK_CLOCK_TOTANGLE_SLIDER = 71,
  PACK_CLOCK_START_SLIDER = 72,
  PACK_CLOCK_SPACING_SLIDER = 73,
  PACK_CLOCK_THICKNESS_SLIDER = 74,
  PACK_CLOCK_OUTERD_SLIDER = 75,
  PACK_OUTLINE_SLIDER = 76,
  PACK_GRID_NX_SLIDER = 77,
  PACK_GRID_NY_SLIDER = 78,
  PACK_GRID_SPACING_SLIDER = 79,
  PACK_GRID_CORNER_SLIDER = 80,
  PACK_ITEM_SIZE_SLIDER = 81,
  PACK_LOTUS_N_SLIDER = 82,
  GRIDLINES_HORZ_SLIDER = 83,
  GRIDLINES_VERT_SLIDER = 84,
  GRIDLINES_DASH_SLIDER = 85,
  GRIDLINES_OPACITY_SLIDER = 86,
  PRINT_INNERD_SLIDER = 87,
  PRINT_OUTERD_SLIDER = 88,
  PRINT_BIZSIDE_SLIDER = 89,
  PRINT_WIDTH_SLIDER = 90,
  PRINT_HEIGHT_SLIDER = 91,
  PRINT_DENSITY_SLIDER = 92,
  PRINT_QUALITY_SLIDER = 93,
  PRINT_NCOPIES_SLIDER = 94,
  LS_CONTRAST_SLIDER = 95,
  LS_COVERAGE_SLIDER = 96,
  TEXTR_SIZE_SLIDER = 97,
  TEXTR_ANGLE_SLIDER = 98,
  TEXTR_DX_SLIDER = 99,
  TEXTR_DY_SLIDER = 100,
  FLEX_SPEED_SLIDER = 101,
  FLEX_DENSITY_SLIDER = 102,
};
static_assert(FLEX_DENSITY_SLIDER + 1 == NSLIDERS);

// Icon grids (values in gs.grid_vals). TAG_PALETTE .. TAG_GLYPHS are the tags
// of the palette bars.
enum a_grid_enum : uint8 {
  PROJ_AGE_GRID = 0,
  PROJ_SORT_GRID = 1,
  PRINT_MEDIA_GRID = 2,
  TEXT_LAYOUT_GRID = 3,
  TEXT_HJUST_GRID = 4,
  TEXT_VJUST_GRID = 5,
  TEXT_PHASE_GRID = 6,
  TEXT_CJUST_GRID = 7,
  PHOTO_PHASE_GRID = 8,
  PHOTO_EDGE_GRID = 9,
  PACK_KIND_GRID = 10,
  PACK_ORIENT_GRID = 11,
  GRAD_KIND_GRID = 12,
  GRAD_DIR_GRID = 13,
  SYMMETRY_KIND_GRID = 14,
  ERASER_GRID = 15,
  SPRAY_KIND_GRID = 16,
  MARQ_KIND_GRID = 17,
  MARQ_CUT_GRID = 18,
  MARQ_TRANSP_GRID = 19,
  TOOL_GRID = 20,
  BRUSH_SHAPE_GRID = 21,
  FROM_CORNER_GRID = 22,
  ZOOM_GRID = 23,
  TAG_PALETTE = 24,
  TAG_PALETTED = 25,
  TAG_FONT = 26,
  TAG_PATTERN = 27,
  TAG_BORDER = 28,
  TAG_GRADIENT = 29,
  TAG_STAMP = 30,
  TAG_LAYERS = 31,
  TAG_GRID_COLOR = 32,
  TAG_CUTL_COLOR = 33,
  TAG_BORD_COLOR = 34,
  TAG_OUTL_COLOR = 35,
  TAG_SYMB_COLOR = 36,
  TAG_CANVAS = 37,
  TAG_GLYPHS = 38,
  RULERS_UNITS_GRID = 39,
};
static_assert(RULERS_UNITS_GRID + 1 == NGRIDS);

// One-shot buttons.
enum a_oneshot_enum : uint8 {
  PROJ_LANG_BUTTON = 0,
  PROJ_QUIT_BUTTON = 1,
  PROJ_PICKLAYOUT_BUTTON = 2,
  PROJ_OPEN_BUTTON = 3,
  PROJ_NEW_BUTTON = 4,
  EXL_PREV_BUTTON = 5,
  EXL_NEXT_BUTTON = 6,
  PRINT_SETUP_BUTTON = 7,
  PRINT_BUTTON = 8,
  PRINT_TEMPLATE_LABEL = 9,
  PRINT_TEMPLATE_BUTTON = 10,
  PRINT_TEST_BUTTON = 11,
  PRINT_MEDIANAME_BUTTON = 12,
  PRINT_NUDGE_U = 13,
  PRINT_NUDGE_R = 14,
  PRINT_NUDGE_D = 15,
  PRINT_NUDGE_L = 16,
  PRINT_NUDGE_0 = 17,
  WARP_FLIPX_BUTTON = 18,
  WARP_FLIPY_BUTTON = 19,
  WARP_ROTATECW_BUTTON = 20,
  WARP_ROTATECCW_BUTTON = 21,
  CANV_FLIPX_BUTTON = 22,
  CANV_FLIPY_BUTTON = 23,
  CANV_INVERT_BUTTON = 24,
  CANV_ROTATECW_BUTTON = 25,
  CANV_ROTATECCW_BUTTON = 26,
  UNDOREDO_BUTTON = 27,
  UNDO_BUTTON = 28,
  REDO_BUTTON = 29,
  STENCIL_PREVIEW_BUTTON = 30,
  STENCIL_CLEAR_BUTTON = 31,
  STENCIL_INVERT_BUTTON = 32,
  STENCIL_MAKE_BUTTON = 33,
  STENCIL_50A_BUTTON = 34,
  STENCIL_50B_BUTTON = 35,
  STENCIL_REVERSE_BUTTON = 36,
  PAINT_ZAP_BUTTON = 37,
  BAR_PREV_BUTTON = 38,
  BAR_INDEX_BUTTON = 39,
  BAR_NOINDEX_BUTTON = 40,
  BAR_NEXT_BUTTON = 41,
  TEXT_OK_BUTTON = 42,
  TEXT_CANCEL_BUTTON = 43,
  TEXT_EDIT_BUTTON = 44,
  TEXT_NEW_BUTTON = 45,
  TEXT_STAMP_BUTTON = 46,
  TEXTR_RESET_BUTTON = 47,
  OBJ_ALIGN_H_L = 48,
  OBJ_ALIGN_H_C = 49,
  OBJ_ALIGN_H_R = 50,
  OBJ_ALIGN_V_T = 51,
  OBJ_ALIGN_V_C = 52,
  OBJ_ALIGN_V_B = 53,
  OBJ_SPREAD_H = 54,
  OBJ_SPREAD_V = 55,
  OBJ_DUP_BUTTON = 56,
  OBJ_DEL_BUTTON = 57,
  SYMBOL_NEW_BUTTON = 58,
  PHOTO_NEW_BUTTON = 59,
  PHOTO_DUP_BUTTON = 60,
  PHOTO_DEL_BUTTON = 61,
  PHOTO_REPLACE_BUTTON = 62,
  PHOTO_COLLAGE_BUTTON = 63,
  PHOTO_CROP_BUTTON = 64,
  PHOTO_FIX_BUTTON = 65,
  PHOTO_FLIPX_BUTTON = 66,
  PHOTO_FLIPY_BUTTON = 67,
  PHOTO_INVERT_BUTTON = 68,
  PHOTO_ROTATECW_BUTTON = 69,
  PHOTO_ROTATECCW_BUTTON = 70,
  COLORIZE_RESET_BUTTON = 71,
  PAPER_OK_BUTTON = 72,
  PAPER_CANCEL_BUTTON = 73,
  PACK_OK_BUTTON = 74,
  PACK_CANCEL_BUTTON = 75,
  PACK_GET_BUTTON = 76,
  PACK_DUP_BUTTON = 77,
  PACK_CLEAR_BUTTON = 78,
  PHOTO_OUTLINE_COLOR = 79,
  GRIDLINES_CENTER_BUTTON = 80,
  FLEXSTICK_OK_BUTTON = 81,
  FLEXLABEL_OK_BUTTON = 82,
  QCOMBO_RESET_BUTTON = 83,
  QCOMBO_ALL_BUTTON = 84,
  PLAYBACK_BUTTON = 85,
};
static_assert(PLAYBACK_BUTTON + 1 == NONESHOTS);

// Toggles (values in gs.toggle_vals).
enum a_toggle_enum : uint8 {
  FLIPX_TOGGLE = 0,
  FLIPY_TOGGLE = 1,
  TEXT_BOLD_TOGGLE = 2,
  TEXT_ITAL_TOGGLE = 3,
  TEXT_GLOW_TOGGLE = 4,
  TEXT_SHAD_TOGGLE = 5,
  TEXT_OUTL_TOGGLE = 6,
  TEXT_UNDL_TOGGLE = 7,
  TEXTR_BOLD_TOGGLE = 8,
  TEXTR_ITAL_TOGGLE = 9,
  TEXTR_UNDL_TOGGLE = 10,
  SYMMETRY_TOGGLE = 11,
  STENCIL_TOGGLE = 12,
  PHOTO_SHAD_TOGGLE = 13,
  PHOTO_TRANSP_TOGGLE = 14,
  PHOTO_CONSTRAIN_TOGGLE = 15,
  GRID_CONSTRAIN_TOGGLE = 16,
  LASERJET_TOGGLE = 17,
  GRIDLINES_TOGGLE = 18,
  CUTLINES_TOGGLE = 19,
  RULERS_TOGGLE = 20,
  FLEX_BURN_TOGGLE = 21,
  FLEX_PRINT_TOGGLE = 22,
  FLEX_GRAY_TOGGLE = 23,
  FLEX_VERIFY_TOGGLE = 24,
};
static_assert(FLEX_VERIFY_TOGGLE + 1 == NTOGGLES);

// Custom areas of the panels (drawn and tracked by their owners).
enum a_custom_enum : uint8 {
  CUSTOM_NULL = 0,
  CUSTOM_PAPERKIND = 1,
  CUSTOM_PAPERLIST = 2,
  CUSTOM_OUTERPAT = 3,
  CUSTOM_RECENT_DOCS = 4,
  CUSTOM_RECENT_LAYOUTS = 5,
  CUSTOM_EXAMPLES = 6,
  CUSTOM_EDIT1 = 7,
  CUSTOM_SEP = 8,
  CUSTOM_BAR = 9,
  CUSTOM_NAV = 10,
  CUSTOM_HISTORY = 11,
  CUSTOM_PHASE = 12,
  CUSTOM_UNITLIST = 13,
  CUSTOM_PAPERECHO = 14,
  CUSTOM_PREVIEW = 15,
  CUSTOM_LAYERS = 16,
  CUSTOM_PSTATUS = 17,
  CUSTOM_STATUS = 18,
  CUSTOM_COLORIZE = 19,
  CUSTOM_RULERH = 20,
  CUSTOM_RULERV = 21,
  CUSTOM_QCOMBO = 22,
};
static_assert(CUSTOM_QCOMBO + 1 == NCUSTOMS);

// When the interface state puts an item's value back to its default: never
// (the value is kept, as the preferences keep the project age), once at
// start-up, or for every new or opened document.
enum a_when_init : uint8 { INIT_NEVER = 0, INIT_BOOT = 1, INIT_NEWDOC = 2 };

// A step of 0: that step is not offered (the big step with Shift, the tiny
// one with Ctrl).
struct a_slider_values {
  a_slider_enum id;
  int16 minval;
  int16 maxval;
  int16 defaultval;
  int16 tiny_step;
  int16 big_step;
  int16 normal_step;
  a_when_init when_init;
};
struct a_grid_values {
  a_grid_enum id;
  int16 grid_defaultval;
  a_when_init when_init;
};
struct a_toggle_values {
  a_toggle_enum id;
  bool8 toggle_defaultval;
  a_when_init when_init;
};

// Whether a table's rows stand in the order of their ids, one row for each.
template <typename Row, size_t N>
constexpr bool Rows_In_Order(const Row (&rows)[N], size_t count) {
  if (N != count) return false;
  for (size_t i = 0; i < N; ++i)
    if (size_t(rows[i].id) != i) return false;
  return true;
}

// The rows' values, keyed by item: the constant columns, which the document
// and object modules read before the interface's tables are filled (the
// other columns are in the rows of ui/VoskIntI.cpp). PRINT_OUTERD_SLIDER takes its range and default
// from the print medium when the print panel shows it.
inline constexpr a_slider_values SLIDER_VALUES[] = {
    {NULL_SLIDER, 0, 0, 0, 0, 0, 0, INIT_NEWDOC},
    {CANV_DARKNESS_SLIDER, 0, 95, 50, 0, 5, 1, INIT_NEWDOC},
    {CANV_FUZZ_IN_SLIDER, 0, 10, 0, 0, 5, 1, INIT_NEWDOC},
    {CANV_FUZZ_OUT_SLIDER, 0, 10, 0, 0, 5, 1, INIT_NEWDOC},
    {PAINT_OPACITY_SLIDER, 6, 100, 100, 0, 10, 1, INIT_NEWDOC},
    {STAMP_SIZE_SLIDER, 1, 19, 10, 0, 0, 1, INIT_NEWDOC},
    {STAMP_ROTATE_SLIDER, -180, 180, 0, 1, 45, 5, INIT_NEWDOC},
    {STAMP_SPACING_SLIDER, 1, 60, 30, 0, 0, 1, INIT_NEWDOC},
    {STAMP_SPACINGF_SLIDER, -20, 60, 0, 0, 10, 1, INIT_NEWDOC},
    {STAMP_DARKNESS_SLIDER, 5, 95, 50, 0, 5, 1, INIT_NEWDOC},
    {STAMP_COLORSHIFT_SLIDER, -128, 128, 0, 0, 5, 1, INIT_NEWDOC},
    {STAMP_SKEWX_SLIDER, -100, 100, 0, 0, 10, 1, INIT_NEWDOC},
    {STAMP_SKEWY_SLIDER, -100, 100, 0, 0, 10, 1, INIT_NEWDOC},
    {STAMP_BENDX_SLIDER, -50, 50, 0, 0, 5, 1, INIT_NEWDOC},
    {STAMP_BENDY_SLIDER, -50, 50, 0, 0, 5, 1, INIT_NEWDOC},
    {STAMP_STRETCH_SLIDER, -50, 50, 0, 0, 5, 1, INIT_NEWDOC},
    {BRUSH_SPACING_SLIDER, 1, 60, Calc_Default_BSpacing(DEFAULT_BRUSH_SELECTION), 0, 5, 1, INIT_NEWDOC},
    {PAINT_CORNER_SLIDER, 0, 80, 0, 0, 5, 1, INIT_NEWDOC},
    {GRAD_TWIST_SLIDER, 0, 1600, 800, 5, 200, 50, INIT_NEWDOC},
    {GRAD_ANGLE_SLIDER, -180, 180, 0, 1, 45, 5, INIT_NEWDOC},
    {GRAD_REP_SLIDER, 1, 5, 1, 0, 0, 1, INIT_NEWDOC},
    {SPRAY_RADIUS_SLIDER, 5, 40, 20, 0, 0, 1, INIT_NEWDOC},
    {SYMMETRY_COUNT_SLIDER, 1, 30, 6, 0, 0, 1, INIT_NEWDOC},
    {LINE_THICKNESS_SLIDER, 1, 40, 2, 0, 5, 1, INIT_NEWDOC},
    {COLOR_SAT_SLIDER, 0, 100, 50, 1, 20, 5, INIT_NEWDOC},
    {COLOR_HUE_SLIDER, 0, 359, 0, 0, 0, 100, INIT_NEWDOC},
    {COLOR_DIST_SLIDER, 0, 72, 0, 0, 0, 1, INIT_NEWDOC},
    {PHOTO_SIZE_SLIDER, 50, 6000, 1000, 1, 100, 10, INIT_NEWDOC},
    {PHOTO_SIZEH_SLIDER, 50, 6000, 1000, 0, 100, 10, INIT_NEWDOC},
    {PHOTO_SIZEV_SLIDER, 50, 6000, 1000, 0, 100, 10, INIT_NEWDOC},
    {PHOTO_ANGLE_SLIDER, -1800, 1800, 0, 1, 450, 10, INIT_NEWDOC},
    {PHOTO_DARKNESS_SLIDER, 5, 95, 50, 0, 5, 1, INIT_NEWDOC},
    {PHOTO_OPACITY_SLIDER, 6, 100, 100, 0, 10, 1, INIT_NEWDOC},
    {PHOTO_CORNER_SLIDER, 0, 100, 0, 0, 5, 1, INIT_NEWDOC},
    {PHOTO_FEATHER_SLIDER, 0, 40, 0, 0, 5, 1, INIT_NEWDOC},
    {PHOTO_EDGE_BORDER_SLIDER, 0, 40, 8, 0, 10, 1, INIT_NEWDOC},
    {PHOTO_EDGE_OUTLINE_SLIDER, 0, 40, 1, 0, 10, 1, INIT_NEWDOC},
    {PHOTO_EDGE_SCALLOP_SLIDER, 10, 90, 60, 0, 10, 1, INIT_NEWDOC},
    {PHOTO_EDGE_ROUGH_SLIDER, 1, 20, 10, 0, 0, 1, INIT_NEWDOC},
    {PHOTO_SHAD_DX_SLIDER, -40, 40, 4, 0, 5, 1, INIT_NEWDOC},
    {PHOTO_SHAD_DY_SLIDER, -40, 40, 4, 0, 5, 1, INIT_NEWDOC},
    {PHOTO_SHAD_OPACITY_SLIDER, 6, 100, 75, 0, 10, 1, INIT_NEWDOC},
    {PHOTO_SHAD_RADIUS_SLIDER, 0, 8, 2, 0, 0, 1, INIT_NEWDOC},
    {SYMBOL_SIZE_SLIDER, 50, 3000, 800, 1, 100, 10, INIT_NEWDOC},
    {SYMBOL_ANGLE_SLIDER, -1800, 1800, 0, 1, 450, 10, INIT_NEWDOC},
    {SYMBOL_OPACITY_SLIDER, 6, 100, 100, 0, 4, 1, INIT_NEWDOC},
    {TEXT_SIZE_SLIDER, 5, 72, 14, 0, 1, 1, INIT_NEWDOC},
    {TEXT_HSPACING_SLIDER, 80, 200, 100, 0, 10, 1, INIT_NEWDOC},
    {TEXT_VSPACING_SLIDER, 20, 300, 100, 1, 10, 2, INIT_NEWDOC},
    {TEXT_RADIUS_SLIDER, 20, 180, 95, 0, 10, 1, INIT_NEWDOC},
    {TEXT_LINEANGLE_SLIDER, -1800, 1800, 0, 1, 450, 10, INIT_NEWDOC},
    {TEXT_SPOKE_OUTERD_SLIDER, 50, 100, 95, 0, 10, 1, INIT_NEWDOC},
    {TEXT_SPOKE_THICKNESS_SLIDER, 20, 100, 80, 0, 5, 1, INIT_NEWDOC},
    {TEXT_POLARANGLE_SLIDER, -180, 180, 0, 0, 45, 1, INIT_NEWDOC},
    {TEXT_SPOKE_TOTANGLE_SLIDER, 45, 360, 360, 1, 45, 5, INIT_NEWDOC},
    {TEXT_SPOKE_TWIST_SLIDER, 0, 45, 5, 0, 20, 1, INIT_NEWDOC},
    {TEXT_CMARGIN_SLIDER, 0, 30, 5, 0, 5, 1, INIT_NEWDOC},
    {TEXT_STRETCH_H_SLIDER, 0, 100, 0, 1, 20, 2, INIT_NEWDOC},
    {TEXT_STRETCH_V_SLIDER, 0, 100, 0, 1, 20, 2, INIT_NEWDOC},
    {TEXT_SKEW_H_SLIDER, 0, 50, 0, 0, 10, 1, INIT_NEWDOC},
    {TEXT_SKEW_V_SLIDER, 0, 50, 0, 0, 10, 1, INIT_NEWDOC},
    {TEXT_SHAD_DX_SLIDER, -100, 100, 4, 0, 10, 1, INIT_NEWDOC},
    {TEXT_SHAD_DY_SLIDER, -100, 100, 4, 0, 10, 1, INIT_NEWDOC},
    {TEXT_SHAD_OPACITY_SLIDER, 10, 100, 75, 0, 10, 1, INIT_NEWDOC},
    {TEXT_SHAD_RADIUS_SLIDER, 0, 8, 1, 0, 0, 1, INIT_NEWDOC},
    {TEXT_GLOW_OPACITY_SLIDER, 6, 100, 90, 0, 10, 1, INIT_NEWDOC},
    {TEXT_GLOW_RADIUS_SLIDER, 1, 30, 8, 0, 0, 1, INIT_NEWDOC},
    {TEXT_OUTL_RADIUS_SLIDER, 1, 30, 2, 0, 0, 1, INIT_NEWDOC},
    {TEXT_OPACITY_SLIDER, 6, 100, 100, 0, 10, 1, INIT_NEWDOC},
    {PACK_CLOCK_NINNER_SLIDER, 2, 16, 4, 0, 0, 1, INIT_NEWDOC},
    {PACK_CLOCK_NOUTER_SLIDER, 2, 16, 6, 0, 0, 1, INIT_NEWDOC},
    {PACK_CLOCK_TOTANGLE_SLIDER, 45, 360, 360, 2, 45, 5, INIT_NEWDOC},
    {PACK_CLOCK_START_SLIDER, -180, 180, 0, 1, 45, 5, INIT_NEWDOC},
    {PACK_CLOCK_SPACING_SLIDER, 0, 10, 3, 0, 5, 1, INIT_NEWDOC},
    {PACK_CLOCK_THICKNESS_SLIDER, 20, 100, 50, 0, 5, 1, INIT_NEWDOC},
    {PACK_CLOCK_OUTERD_SLIDER, 50, 100, 95, 0, 10, 1, INIT_NEWDOC},
    {PACK_OUTLINE_SLIDER, 0, 20, 0, 0, 0, 1, INIT_NEWDOC},
    {PACK_GRID_NX_SLIDER, 1, 12, 6, 0, 0, 1, INIT_NEWDOC},
    {PACK_GRID_NY_SLIDER, 1, 12, 6, 0, 0, 1, INIT_NEWDOC},
    {PACK_GRID_SPACING_SLIDER, 0, 10, 3, 0, 5, 1, INIT_NEWDOC},
    {PACK_GRID_CORNER_SLIDER, 0, 100, 0, 0, 5, 1, INIT_NEWDOC},
    {PACK_ITEM_SIZE_SLIDER, 50, 2500, 1000, 1, 100, 10, INIT_NEWDOC},
    {PACK_LOTUS_N_SLIDER, 4, 16, 6, 0, 0, 1, INIT_NEWDOC},
    {GRIDLINES_HORZ_SLIDER, 1, 12, 10, 0, 2, 1, INIT_NEWDOC},
    {GRIDLINES_VERT_SLIDER, 1, 12, 10, 0, 2, 1, INIT_NEWDOC},
    {GRIDLINES_DASH_SLIDER, 1, 10, 10, 0, 5, 1, INIT_NEWDOC},
    {GRIDLINES_OPACITY_SLIDER, 10, 100, 30, 0, 5, 1, INIT_NEWDOC},
    {PRINT_INNERD_SLIDER, 150, 550, 410, 0, 10, 1, INIT_NEWDOC},
    {PRINT_OUTERD_SLIDER, 0, 0, 0, 0, 10, 1, INIT_NEWDOC},
    {PRINT_BIZSIDE_SLIDER, 520, 660, 590, 0, 10, 1, INIT_NEWDOC},
    {PRINT_WIDTH_SLIDER, 800, 900, 850, 0, 10, 1, INIT_NEWDOC},
    {PRINT_HEIGHT_SLIDER, 400, 750, 590, 0, 5, 1, INIT_NEWDOC},
    {PRINT_DENSITY_SLIDER, 1, 9, 5, 0, 0, 1, INIT_NEWDOC},
    {PRINT_QUALITY_SLIDER, 2, 4, 3, 0, 0, 1, INIT_NEWDOC},
    {PRINT_NCOPIES_SLIDER, 1, 100, 1, 0, 0, 1, INIT_NEWDOC},
    {LS_CONTRAST_SLIDER, 1, 3, 3, 0, 0, 1, INIT_NEWDOC},
    {LS_COVERAGE_SLIDER, 1, 3, 3, 0, 0, 1, INIT_NEWDOC},
    {TEXTR_SIZE_SLIDER, 20, 300, 100, 1, 50, 10, INIT_NEWDOC},
    {TEXTR_ANGLE_SLIDER, -1800, 1800, 0, 1, 450, 10, INIT_NEWDOC},
    {TEXTR_DX_SLIDER, -100, 100, 0, 1, 20, 2, INIT_NEWDOC},
    {TEXTR_DY_SLIDER, -100, 100, 0, 1, 20, 2, INIT_NEWDOC},
    {FLEX_SPEED_SLIDER, 1, 4, 2, 0, 1, 1, INIT_NEWDOC},
    {FLEX_DENSITY_SLIDER, 2, 6, 4, 0, 1, 1, INIT_NEWDOC},
};
inline constexpr a_grid_values GRID_VALUES[] = {
    {PROJ_AGE_GRID, 0, INIT_NEVER},
    {PROJ_SORT_GRID, 1, INIT_BOOT},
    {PRINT_MEDIA_GRID, 0, INIT_NEWDOC},
    {TEXT_LAYOUT_GRID, 0, INIT_NEWDOC},
    {TEXT_HJUST_GRID, 1, INIT_NEWDOC},
    {TEXT_VJUST_GRID, 1, INIT_NEWDOC},
    {TEXT_PHASE_GRID, 0, INIT_NEWDOC},
    {TEXT_CJUST_GRID, 0, INIT_NEWDOC},
    {PHOTO_PHASE_GRID, 0, INIT_NEWDOC},
    {PHOTO_EDGE_GRID, 0, INIT_NEWDOC},
    {PACK_KIND_GRID, 1, INIT_NEWDOC},
    {PACK_ORIENT_GRID, 0, INIT_NEWDOC},
    {GRAD_KIND_GRID, 1, INIT_NEWDOC},
    {GRAD_DIR_GRID, 0, INIT_NEWDOC},
    {SYMMETRY_KIND_GRID, 0, INIT_NEWDOC},
    {ERASER_GRID, 8, INIT_NEWDOC},
    {SPRAY_KIND_GRID, 2, INIT_NEWDOC},
    {MARQ_KIND_GRID, 0, INIT_NEWDOC},
    {MARQ_CUT_GRID, 0, INIT_NEWDOC},
    {MARQ_TRANSP_GRID, 0, INIT_NEWDOC},
    {TOOL_GRID, 0, INIT_NEWDOC},
    {BRUSH_SHAPE_GRID, 0, INIT_NEWDOC},
    {FROM_CORNER_GRID, 0, INIT_NEWDOC},
    {ZOOM_GRID, 0, INIT_NEWDOC},
    {TAG_PALETTE, 0, INIT_NEWDOC},
    {TAG_PALETTED, 0, INIT_NEWDOC},
    {TAG_FONT, 0, INIT_NEWDOC},
    {TAG_PATTERN, 0, INIT_NEWDOC},
    {TAG_BORDER, 0, INIT_NEWDOC},
    {TAG_GRADIENT, 0, INIT_NEWDOC},
    {TAG_STAMP, 0, INIT_NEWDOC},
    {TAG_LAYERS, 0, INIT_NEWDOC},
    {TAG_GRID_COLOR, 0, INIT_NEWDOC},
    {TAG_CUTL_COLOR, 0, INIT_NEWDOC},
    {TAG_BORD_COLOR, 0, INIT_NEWDOC},
    {TAG_OUTL_COLOR, 0, INIT_NEWDOC},
    {TAG_SYMB_COLOR, 0, INIT_NEWDOC},
    {TAG_CANVAS, 0, INIT_NEWDOC},
    {TAG_GLYPHS, 0, INIT_NEWDOC},
    {RULERS_UNITS_GRID, 2, INIT_NEWDOC},
};
inline constexpr a_toggle_values TOGGLE_VALUES[] = {
    {FLIPX_TOGGLE, false, INIT_NEWDOC},
    {FLIPY_TOGGLE, false, INIT_NEWDOC},
    {TEXT_BOLD_TOGGLE, false, INIT_NEWDOC},
    {TEXT_ITAL_TOGGLE, false, INIT_NEWDOC},
    {TEXT_GLOW_TOGGLE, false, INIT_NEWDOC},
    {TEXT_SHAD_TOGGLE, false, INIT_NEWDOC},
    {TEXT_OUTL_TOGGLE, false, INIT_NEWDOC},
    {TEXT_UNDL_TOGGLE, false, INIT_NEWDOC},
    {TEXTR_BOLD_TOGGLE, false, INIT_NEWDOC},
    {TEXTR_ITAL_TOGGLE, false, INIT_NEWDOC},
    {TEXTR_UNDL_TOGGLE, false, INIT_NEWDOC},
    {SYMMETRY_TOGGLE, false, INIT_NEWDOC},
    {STENCIL_TOGGLE, false, INIT_NEWDOC},
    {PHOTO_SHAD_TOGGLE, false, INIT_NEWDOC},
    {PHOTO_TRANSP_TOGGLE, false, INIT_NEWDOC},
    {PHOTO_CONSTRAIN_TOGGLE, true, INIT_NEWDOC},
    {GRID_CONSTRAIN_TOGGLE, true, INIT_NEWDOC},
    {LASERJET_TOGGLE, false, INIT_NEWDOC},
    {GRIDLINES_TOGGLE, false, INIT_NEWDOC},
    {CUTLINES_TOGGLE, false, INIT_NEWDOC},
    {RULERS_TOGGLE, false, INIT_NEWDOC},
    {FLEX_BURN_TOGGLE, true, INIT_NEWDOC},
    {FLEX_PRINT_TOGGLE, true, INIT_NEWDOC},
    {FLEX_GRAY_TOGGLE, false, INIT_NEWDOC},
    {FLEX_VERIFY_TOGGLE, true, INIT_NEWDOC},
};
static_assert(Rows_In_Order(SLIDER_VALUES, NSLIDERS), "a slider's values out of order or missing");
static_assert(Rows_In_Order(GRID_VALUES, NGRIDS), "a grid's values out of order or missing");
static_assert(Rows_In_Order(TOGGLE_VALUES, NTOGGLES), "a toggle's values out of order or missing");

// Slider defaults the documents' canvases start from.
constexpr int16 CANV_DARKNESS_DEFAULT = SLIDER_VALUES[CANV_DARKNESS_SLIDER].defaultval;
constexpr int16 CANV_FUZZ_IN_DEFAULT = SLIDER_VALUES[CANV_FUZZ_IN_SLIDER].defaultval;
constexpr int16 CANV_FUZZ_OUT_DEFAULT = SLIDER_VALUES[CANV_FUZZ_OUT_SLIDER].defaultval;
constexpr int16 COLOR_SAT_DEFAULT = SLIDER_VALUES[COLOR_SAT_SLIDER].defaultval;
constexpr int16 PAINT_OPACITY_DEFAULT = SLIDER_VALUES[PAINT_OPACITY_SLIDER].defaultval;

// The preferences check the grid-line dash density against the slider's
// range without reaching this layer.
static_assert(SLIDER_VALUES[GRIDLINES_DASH_SLIDER].defaultval == GRIDLINES_DASH_DEFAULT &&
              SLIDER_VALUES[GRIDLINES_DASH_SLIDER].minval == GRIDLINES_DASH_MIN &&
              SLIDER_VALUES[GRIDLINES_DASH_SLIDER].maxval == GRIDLINES_DASH_MAX);

// GRAD_KIND_GRID holds an a_dither_kind (pixel/Draw.h).

// --- The rows -----------------------------------------------------------------------

// The display state of an item (4 is not used).
enum a_tri_state : uint8 { PLAIN_BUTTON = 0, HILITE_BUTTON = 1, DIM_BUTTON = 2, HIDDEN_BUTTON = 3 };

struct a_pixt;

// TRUE when the key was used.
using a_keyfilter_proc = bool8 (*)(const a_keystroke& key);
// The display state of an item; the argument is 0 (grids use
// a_grid_state_proc).
using a_state_proc = a_tri_state (*)(int16 arg);
// Whether element is a grid's current one.
using a_grid_state_proc = bool8 (*)(int16 element);
// The embedded label of a grid's element, instead of a fixed string.
using a_label_proc = void (*)(int16 element, UStrSpan label);
using a_item_proc = void (*)();
// A slider's step from its value now, asked for the plus button (upwards) or
// the minus button, with Shift held or not; replaces the fixed steps.
using a_step_proc = int16 (*)(bool8 upwards, bool8 shiftkey);
// Draws a one-shot button instead of its artwork.
using a_oneshot_draw_proc = void (*)(const Rect& bounds, a_pixt* pixt);
using a_custom_draw_proc = void (*)(const Rect& bounds);
using a_custom_hit_proc = void (*)(const a_mousestroke& stroke);

// The head every row has. stringx names the item: string list 500 for
// sliders, 200 for the others (the tip; a grid's element e uses stringx + e).
// The artwork of the plain state is src_rect of tool picture src_pixtx (0:
// none), whose size is the size of the item's node; version n lies n times
// (src_verh, src_verv) from it. src_pixtptr is the picture while some node
// shows the item (the node tree's picture cache keeps it). nodex is the slot
// of the item's node (0: not shown), state the display state last shown.
struct a_basic_item {
  a_keyfilter_proc keyfilter;  // NIL: no keys
  a_state_proc hiproc;         // NIL: always plain
  int16 stringx;
  a_label_proc string_calc;  // NIL: the string of stringx + element
  int16 src_pixtx;
  a_pixt* src_pixtptr;
  int16 src_verh;
  int16 src_verv;
  Rect src_rect;
  Rect src_marg;  // 0 in every row
  a_history_op history_op;  // recorded in pending_op on use (OP_NOP: none)
  bool8 translucent;        // artwork drawn with its alpha
  bool8 embed_flag;         // a text label is drawn into the item
  int16 embed_dx;
  int16 embed_dy;
  int16 embed_fontsize;  // 0: the interface font's own size
  a_horz_just embed_just;
  a_pixel24* embed_color;  // a swatch drawn into the button, or NIL
  a_when_init when_init;
  int16 nodex;
  a_tri_state state;
};

// A slider: its range, default and steps (0: that step not offered), the
// procedures of a thumb drag (a slider with thumb_trak follows the drag
// live), jump_proc on every change through Slider_SetVal, and incproc for a
// step that depends on the value.
struct a_slider_item : a_basic_item {
  int16 minval;
  int16 maxval;
  int16 defaultval;
  int16 tiny_step;
  int16 big_step;
  int16 normal_step;
  Point thumbpos;
  a_item_proc thumb_init;
  a_item_proc thumb_trak;
  a_item_proc thumb_stop;
  a_item_proc jump_proc;
  a_step_proc incproc;
  bool8 show_reset;
};

// An icon grid: grid_ncells rows (v) by columns (h) of grid_cell (v height,
// h width) on screen, grid_sncells in the source picture when they differ
// (else 0), dividers grid_srcdiv in the source and grid_dstdiv on screen,
// cells overlapping by grid_overlap, a shadow grid_shadow wide along the
// right and bottom. A grid bound to a state variable stores its element
// through it; any other stores it in gs.grid_vals and calls grid_select.
// grid_hilite, when set, answers which element is current (the palette
// bar's tags) instead of the stored value.
struct a_grid_item : a_basic_item {
  bool8 grid_exclusive;
  a_grid_order grid_order;  // platform/VoskDef.h
  Point grid_sncells;
  Point grid_ncells;
  Point grid_cell;
  int16 grid_srcdiv;
  Point grid_dstdiv;
  int16 grid_overlap;
  int16 grid_shadow;
  int16 grid_defaultval;
  bool8 grid_is_statevar;
  a_item_proc grid_select;
  int16 grid_statevarx;  // an a_statevar (ui/VoskDelt.h)
  a_grid_state_proc grid_hilite;
};

// A one-shot button: its action, a procedure that draws it instead of its
// artwork, and the sound of a click (0: silent).
struct a_oneshot_item : a_basic_item {
  a_item_proc one_proc;
  a_oneshot_draw_proc one_draw;
  int16 one_sound;
};

// A toggle: toggle_proc runs after its value flipped. No row binds a toggle
// to a state variable (the two that show one are driven from its side).
struct a_toggle_item : a_basic_item {
  bool8 toggle_defaultval;
  bool8 toggle_is_statevar;
  a_item_proc toggle_proc;
  int16 toggle_statevarx;
};

// A custom area: its owner's procedures to paint it, take a mouse stroke
// and be left.
struct a_custom_item : a_basic_item {
  a_custom_draw_proc custom_draw;
  a_custom_hit_proc custom_hit;
  a_item_proc custom_exit;
};

// The tables. The sliders hold their values' columns from the start, so
// that values are clamped to their ranges before the tables are filled.
extern std::array<a_slider_item, NSLIDERS> g_sliders;
extern std::array<a_grid_item, NGRIDS> g_grid;
extern std::array<a_oneshot_item, NONESHOTS> g_oneshots;
extern std::array<a_toggle_item, NTOGGLES> g_toggles;
extern std::array<a_custom_item, NCUSTOMS> g_custom;

// --- The rows as they are declared ------------------------------------------------

// Every control is declared once, as one row keyed by its id that carries
// its string, artwork, history operation, sound and procedures; the fill
// procedures copy the rows into the tables. A procedure keeps the name it
// was declared by, so that the tables can be read back by name. A row that
// has no procedure to act says why (inert); a row may not have both.
template <typename F>
struct a_named {
  F proc = nullptr;
  const char* name = nullptr;
};

struct a_slider_row {
  a_slider_enum id;
  a_history_op history_op = OP_NOP;
  a_named<a_state_proc> state;
  a_named<a_item_proc> action;  // jump_proc: every change of the value
  a_named<a_item_proc> init;    // the thumb drag's
  a_named<a_item_proc> trak;
  a_named<a_item_proc> stop;
  a_named<a_step_proc> step;
  const char* inert = nullptr;
};
struct a_grid_row {
  a_grid_enum id;
  const a_art_item* art = nullptr;
  int16 stringx = 0;
  a_history_op history_op = OP_NOP;
  a_named<a_grid_state_proc> state;
  a_named<a_item_proc> select;
  int16 statevar = -1;  // the a_statevar that stores the element (-1: none)
  a_named<a_keyfilter_proc> keys;
  a_named<a_label_proc> label;
  bool8 embed = false;
  const char* inert = nullptr;
};
struct a_oneshot_row {
  a_oneshot_enum id;
  const a_art_item* art = nullptr;
  int16 stringx = 0;
  a_history_op history_op = OP_NOP;
  a_named<a_state_proc> state;
  a_named<a_item_proc> action;
  a_named<a_keyfilter_proc> keys;
  a_named<a_oneshot_draw_proc> draw;
  int16 sound = 0;
  bool8 embed = false;
  const char* inert = nullptr;
};
struct a_toggle_row {
  a_toggle_enum id;
  const a_art_item* art = nullptr;
  int16 stringx = 0;
  a_history_op history_op = OP_NOP;
  a_named<a_state_proc> state;
  a_named<a_item_proc> proc;
  const char* inert = nullptr;
};
struct a_custom_row {
  a_custom_enum id;
  a_named<a_keyfilter_proc> keys;
  a_named<a_custom_draw_proc> paint;
  a_named<a_custom_hit_proc> mouse;
  a_named<a_item_proc> exit;
  const char* inert = nullptr;
};

std::span<const a_slider_row> Slider_Rows();
std::span<const a_grid_row> Grid_Rows();
std::span<const a_oneshot_row> OneShot_Rows();
std::span<const a_toggle_row> Toggle_Rows();
std::span<const a_custom_row> Custom_Rows();

// The tables' part of Intf_Init (ui/VoskIntf.h), run once the interface
// state is built: Init_Sliders, Init_Grids, Init_OneShots, Init_Toggles,
// Init_Custom in this order. Each clears its whole table and fills every
// row; Init_Sliders then puts every slider at its default.
void Intf_Init_Tables();
void Init_Sliders();
void Init_Grids();
void Init_OneShots();
void Init_Toggles();
void Init_Custom();

// Whether an index names a row of its table.
constexpr bool Is_Slider(int16 s) { return s >= 0 && s < NSLIDERS; }
constexpr bool Is_Grid(int16 g) { return g >= 0 && g < NGRIDS; }
constexpr bool Is_OneShot(int16 o) { return o >= 0 && o < NONESHOTS; }
constexpr bool Is_Toggle(int16 x) { return x >= 0 && x < NTOGGLES; }
constexpr bool Is_Custom(int16 c) { return c >= 0 && c < NCUSTOMS; }

// Whether element lies among a grid's rows x columns.
bool8 Is_Grid_Element(int16 grid, int16 element);

// value clamped to the slider's range (its row's: the outer print diameter's
// comes from the medium). A slider outside the table is an internal error.
int16 Slider_Limit_Value(int16 slider, int16 value);

// --- The item procedures of the tables ------------------------------------------------

// Plain while the disc printer's burn (print) toggle is on, else hidden;
// the disc printer's OK button is hidden while both are off.
a_tri_state Calc_Is_Flex_Burning(int16 arg);
a_tri_state Calc_Is_Flex_Printing(int16 arg);
a_tri_state Calc_Flex_OK_Vis(int16 arg);
// Plain while a text range is selected in the text editor, else hidden.
a_tri_state Calc_Override_Vis(int16 arg);
// The plain colour tag is always current.
bool8 Calc_Hilite_PaletteD(int16 element);
// The text size's step: 1, or with Shift to the next standard size (4, 5 ..
// 288) above the size, or below it.
int16 Calc_Text_Inc(bool8 upwards, bool8 shiftkey);
// The name of media slot element of the current direct-print kind.
void Calc_Media_Name(int16 element, UStrSpan label);
// The chosen media slot becomes the document's and its kind's; the print
// adjustments follow it.
void Print_SelectMedia();
void Jump_Print_Adjust();
// The disc printer's density and quality into the media settings.
void Delta_Zadaz();
// With the proportions kept, the photo's horizontal and vertical sizes (and
// its size) become their average, without an action or a history step of
// their own; then the photo and the tool panel follow.
void Delta_Constrain();
// A shadow slider turns the photo's shadow on.
void Delta_Photo_Shadow();
// An effect turned on shows its page of the text (photo) panel.
void Do_Text_Glow_Toggle();
void Do_Text_Shad_Toggle();
void Do_Text_Outl_Toggle();
void Do_Photo_Shad_Toggle();
void Delta_Photo_Phase();
void Delta_Edge();
void Delta_Pack_Kind();
void Delta_Sort_Grid();
void Delta_Proj_Age();
void GridLines_Toggle();
// A grid-line slider turns the grid lines on; Center also puts the ruler
// origin at the middle of the unit.
void GridLines_Delta();
void GridLines_Center();
void CutLines_Toggle();
void Rulers_Toggle();
void Rulers_Delta_Units();
// The disc printer's copies: 1, or until the printer runs empty (0).
void QCombo_Reset();
void QCombo_All();
void Paper_OK();
void Paper_Cancel();
void PaperEcho_PaintAll(const Rect& bounds);
void Flex_Burn_Toggle();
void Do_Text_Undl_Toggle();
void Feed_Select();
