// The item tables read back by name: every row's procedures compared with
// the documented item tables, transcribed here as data; where the program
// names a procedure otherwise, or a row adds one, the tables below say so.
// And that the filled tables hold what the rows declare once the whole
// interface has started (nothing fills a row from elsewhere).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "NodeTestSupport.h"
#include "pixel/ArtItems.h"
#include "ui/VoskBar.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

struct Cell {
  int row;
  const char* column;
  const char* name;
};

// The documented tables' procedure cells, row by row (the statevar column
// holds the state variable that stores a grid's element).
constexpr Cell kSliderCells[] = {
// Sliders.
    {CANV_DARKNESS_SLIDER, "action", "Delta_Canvas"},
    {CANV_FUZZ_IN_SLIDER, "action", "Canvas_Fuzz_Delta"},
    {CANV_FUZZ_IN_SLIDER, "trak", "Canvas_Fuzz_Delta"},
    {CANV_FUZZ_OUT_SLIDER, "action", "Canvas_Fuzz_Delta"},
    {CANV_FUZZ_OUT_SLIDER, "trak", "Canvas_Fuzz_Delta"},
    {STAMP_SKEWX_SLIDER, "init", "SkewX_Thumb"},
    {STAMP_SKEWX_SLIDER, "trak", "SkewX_Thumb"},
    {STAMP_SKEWY_SLIDER, "init", "SkewY_Thumb"},
    {STAMP_SKEWY_SLIDER, "trak", "SkewY_Thumb"},
    {STAMP_BENDX_SLIDER, "init", "BendX_Thumb"},
    {STAMP_BENDX_SLIDER, "trak", "BendX_Thumb"},
    {STAMP_BENDY_SLIDER, "init", "BendY_Thumb"},
    {STAMP_BENDY_SLIDER, "trak", "BendY_Thumb"},
    {GRAD_REP_SLIDER, "action", "Grad_Dir_Select"},
    {SYMMETRY_COUNT_SLIDER, "action", "Symmetry_Select"},
    {COLOR_SAT_SLIDER, "action", "Delta_Photo"},
    {COLOR_SAT_SLIDER, "trak", "Delta_Photo"},
    {PHOTO_SIZE_SLIDER, "action", "Delta_Photo"},
    {PHOTO_SIZE_SLIDER, "init", "Init_Photo_Geom"},
    {PHOTO_SIZE_SLIDER, "trak", "Track_Photo_Geom"},
    {PHOTO_SIZE_SLIDER, "stop", "Stop_Photo_Geom"},
    {PHOTO_SIZEH_SLIDER, "action", "Delta_Photo"},
    {PHOTO_SIZEH_SLIDER, "init", "Init_Photo_Geom"},
    {PHOTO_SIZEH_SLIDER, "trak", "Track_Photo_Geom"},
    {PHOTO_SIZEH_SLIDER, "stop", "Stop_Photo_Geom"},
    {PHOTO_SIZEV_SLIDER, "action", "Delta_Photo"},
    {PHOTO_SIZEV_SLIDER, "init", "Init_Photo_Geom"},
    {PHOTO_SIZEV_SLIDER, "trak", "Track_Photo_Geom"},
    {PHOTO_SIZEV_SLIDER, "stop", "Stop_Photo_Geom"},
    {PHOTO_ANGLE_SLIDER, "action", "Delta_Photo"},
    {PHOTO_ANGLE_SLIDER, "init", "Init_Photo_Geom"},
    {PHOTO_ANGLE_SLIDER, "trak", "Track_Photo_Geom"},
    {PHOTO_ANGLE_SLIDER, "stop", "Stop_Photo_Geom"},
    {PHOTO_DARKNESS_SLIDER, "action", "Delta_Photo"},
    {PHOTO_OPACITY_SLIDER, "action", "Delta_Photo"},
    {PHOTO_CORNER_SLIDER, "action", "Delta_Photo"},
    {PHOTO_CORNER_SLIDER, "trak", "Delta_Photo"},
    {PHOTO_FEATHER_SLIDER, "action", "Delta_Photo"},
    {PHOTO_FEATHER_SLIDER, "trak", "Delta_Photo"},
    {PHOTO_EDGE_BORDER_SLIDER, "action", "Delta_Photo"},
    {PHOTO_EDGE_BORDER_SLIDER, "trak", "Delta_Photo"},
    {PHOTO_EDGE_OUTLINE_SLIDER, "action", "Delta_Photo"},
    {PHOTO_EDGE_OUTLINE_SLIDER, "trak", "Delta_Photo"},
    {PHOTO_EDGE_SCALLOP_SLIDER, "action", "Delta_Photo"},
    {PHOTO_EDGE_SCALLOP_SLIDER, "trak", "Delta_Photo"},
    {PHOTO_EDGE_ROUGH_SLIDER, "action", "Delta_Photo"},
    {PHOTO_EDGE_ROUGH_SLIDER, "trak", "Delta_Photo"},
    {PHOTO_SHAD_DX_SLIDER, "action", "Delta_Photo_Shadow"},
    {PHOTO_SHAD_DX_SLIDER, "trak", "Delta_Photo_Shadow"},
    {PHOTO_SHAD_DY_SLIDER, "action", "Delta_Photo_Shadow"},
    {PHOTO_SHAD_DY_SLIDER, "trak", "Delta_Photo_Shadow"},
    {PHOTO_SHAD_OPACITY_SLIDER, "action", "Delta_Photo_Shadow"},
    {PHOTO_SHAD_OPACITY_SLIDER, "trak", "Delta_Photo_Shadow"},
    {PHOTO_SHAD_RADIUS_SLIDER, "action", "Delta_Photo_Shadow"},
    {PHOTO_SHAD_RADIUS_SLIDER, "trak", "Delta_Photo_Shadow"},
    {SYMBOL_SIZE_SLIDER, "action", "Delta_Symbol"},
    {SYMBOL_SIZE_SLIDER, "init", "Init_Symbol_Geom"},
    {SYMBOL_SIZE_SLIDER, "trak", "Track_Symbol_Geom"},
    {SYMBOL_SIZE_SLIDER, "stop", "Stop_Symbol_Geom"},
    {SYMBOL_ANGLE_SLIDER, "action", "Delta_Symbol"},
    {SYMBOL_ANGLE_SLIDER, "init", "Init_Symbol_Geom"},
    {SYMBOL_ANGLE_SLIDER, "trak", "Track_Symbol_Geom"},
    {SYMBOL_ANGLE_SLIDER, "stop", "Stop_Symbol_Geom"},
    {SYMBOL_OPACITY_SLIDER, "action", "Delta_Symbol"},
    {TEXT_SIZE_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_SIZE_SLIDER, "step", "Calc_Text_Inc"},
    {TEXT_SIZE_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_HSPACING_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_HSPACING_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_VSPACING_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_VSPACING_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_RADIUS_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_RADIUS_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_LINEANGLE_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_LINEANGLE_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_SPOKE_OUTERD_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_SPOKE_OUTERD_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_SPOKE_THICKNESS_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_SPOKE_THICKNESS_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_POLARANGLE_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_POLARANGLE_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_SPOKE_TOTANGLE_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_SPOKE_TOTANGLE_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_SPOKE_TWIST_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_SPOKE_TWIST_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_CMARGIN_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_CMARGIN_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_STRETCH_H_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_STRETCH_H_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_STRETCH_V_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_STRETCH_V_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_SKEW_H_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_SKEW_H_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_SKEW_V_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_SKEW_V_SLIDER, "trak", "Delta_Text_Major"},
    {TEXT_SHAD_DX_SLIDER, "action", "Delta_Shad"},
    {TEXT_SHAD_DX_SLIDER, "trak", "Delta_Shad"},
    {TEXT_SHAD_DY_SLIDER, "action", "Delta_Shad"},
    {TEXT_SHAD_DY_SLIDER, "trak", "Delta_Shad"},
    {TEXT_SHAD_OPACITY_SLIDER, "action", "Delta_Shad"},
    {TEXT_SHAD_OPACITY_SLIDER, "trak", "Delta_Shad"},
    {TEXT_SHAD_RADIUS_SLIDER, "action", "Delta_Shad"},
    {TEXT_SHAD_RADIUS_SLIDER, "trak", "Delta_Shad"},
    {TEXT_GLOW_OPACITY_SLIDER, "action", "Delta_Glow"},
    {TEXT_GLOW_OPACITY_SLIDER, "trak", "Delta_Glow"},
    {TEXT_GLOW_RADIUS_SLIDER, "action", "Delta_Glow"},
    {TEXT_GLOW_RADIUS_SLIDER, "trak", "Delta_Glow"},
    {TEXT_OUTL_RADIUS_SLIDER, "action", "Delta_Outl"},
    {TEXT_OUTL_RADIUS_SLIDER, "trak", "Delta_Outl"},
    {TEXT_OPACITY_SLIDER, "action", "Delta_Text_Major"},
    {TEXT_OPACITY_SLIDER, "trak", "Delta_Text_Major"},
    {PACK_CLOCK_NINNER_SLIDER, "action", "Delta_Pack"},
    {PACK_CLOCK_NINNER_SLIDER, "trak", "Delta_Pack"},
    {PACK_CLOCK_NOUTER_SLIDER, "action", "Delta_Pack"},
    {PACK_CLOCK_NOUTER_SLIDER, "trak", "Delta_Pack"},
    {PACK_CLOCK_TOTANGLE_SLIDER, "action", "Delta_Pack"},
    {PACK_CLOCK_TOTANGLE_SLIDER, "trak", "Delta_Pack"},
    {PACK_CLOCK_START_SLIDER, "action", "Delta_Pack"},
    {PACK_CLOCK_START_SLIDER, "trak", "Delta_Pack"},
    {PACK_CLOCK_SPACING_SLIDER, "action", "Delta_Pack"},
    {PACK_CLOCK_SPACING_SLIDER, "trak", "Delta_Pack"},
    {PACK_CLOCK_THICKNESS_SLIDER, "action", "Delta_Pack"},
    {PACK_CLOCK_THICKNESS_SLIDER, "trak", "Delta_Pack"},
    {PACK_CLOCK_OUTERD_SLIDER, "action", "Delta_Pack"},
    {PACK_CLOCK_OUTERD_SLIDER, "trak", "Delta_Pack"},
    {PACK_OUTLINE_SLIDER, "action", "Delta_Pack"},
    {PACK_OUTLINE_SLIDER, "trak", "Delta_Pack"},
    {PACK_GRID_NX_SLIDER, "action", "Delta_Pack"},
    {PACK_GRID_NX_SLIDER, "trak", "Delta_Pack"},
    {PACK_GRID_NY_SLIDER, "action", "Delta_Pack"},
    {PACK_GRID_NY_SLIDER, "trak", "Delta_Pack"},
    {PACK_GRID_SPACING_SLIDER, "action", "Delta_Pack"},
    {PACK_GRID_SPACING_SLIDER, "trak", "Delta_Pack"},
    {PACK_GRID_CORNER_SLIDER, "action", "Delta_Pack"},
    {PACK_GRID_CORNER_SLIDER, "trak", "Delta_Pack"},
    {PACK_ITEM_SIZE_SLIDER, "action", "Delta_Pack_Item"},
    {PACK_ITEM_SIZE_SLIDER, "trak", "Delta_Pack_Item"},
    {PACK_LOTUS_N_SLIDER, "action", "Delta_Pack"},
    {PACK_LOTUS_N_SLIDER, "trak", "Delta_Pack"},
    {GRIDLINES_HORZ_SLIDER, "action", "GridLines_Delta"},
    {GRIDLINES_HORZ_SLIDER, "trak", "GridLines_Delta"},
    {GRIDLINES_VERT_SLIDER, "action", "GridLines_Delta"},
    {GRIDLINES_VERT_SLIDER, "trak", "GridLines_Delta"},
    {GRIDLINES_DASH_SLIDER, "action", "GridLines_Delta"},
    {GRIDLINES_DASH_SLIDER, "trak", "GridLines_Delta"},
    {GRIDLINES_OPACITY_SLIDER, "action", "GridLines_Delta"},
    {GRIDLINES_OPACITY_SLIDER, "trak", "GridLines_Delta"},
    {PRINT_INNERD_SLIDER, "action", "Jump_Print_Adjust"},
    {PRINT_INNERD_SLIDER, "trak", "Delta_Print_Adjust"},
    {PRINT_INNERD_SLIDER, "stop", "Final_Print_Adjust"},
    {PRINT_OUTERD_SLIDER, "action", "Jump_Print_Adjust"},
    {PRINT_OUTERD_SLIDER, "trak", "Delta_Print_Adjust"},
    {PRINT_OUTERD_SLIDER, "stop", "Final_Print_Adjust"},
    {PRINT_BIZSIDE_SLIDER, "action", "Jump_Print_Adjust"},
    {PRINT_BIZSIDE_SLIDER, "trak", "Delta_Print_Adjust"},
    {PRINT_BIZSIDE_SLIDER, "stop", "Final_Print_Adjust"},
    {PRINT_WIDTH_SLIDER, "action", "Jump_Print_Adjust"},
    {PRINT_WIDTH_SLIDER, "trak", "Delta_Print_Adjust"},
    {PRINT_WIDTH_SLIDER, "stop", "Final_Print_Adjust"},
    {PRINT_HEIGHT_SLIDER, "action", "Jump_Print_Adjust"},
    {PRINT_HEIGHT_SLIDER, "trak", "Delta_Print_Adjust"},
    {PRINT_HEIGHT_SLIDER, "stop", "Final_Print_Adjust"},
    {PRINT_DENSITY_SLIDER, "action", "Delta_Zadaz"},
    {PRINT_QUALITY_SLIDER, "action", "Delta_Zadaz"},
    {LS_COVERAGE_SLIDER, "action", "Final_Print_Adjust"},
    {TEXTR_SIZE_SLIDER, "action", "Delta_Text_Override"},
    {TEXTR_SIZE_SLIDER, "trak", "Delta_Text_Override"},
    {TEXTR_SIZE_SLIDER, "state", "Calc_Override_Vis"},
    {TEXTR_ANGLE_SLIDER, "action", "Delta_Text_Override"},
    {TEXTR_ANGLE_SLIDER, "trak", "Delta_Text_Override"},
    {TEXTR_ANGLE_SLIDER, "state", "Calc_Override_Vis"},
    {TEXTR_DX_SLIDER, "action", "Delta_Text_Override"},
    {TEXTR_DX_SLIDER, "trak", "Delta_Text_Override"},
    {TEXTR_DX_SLIDER, "state", "Calc_Override_Vis"},
    {TEXTR_DY_SLIDER, "action", "Delta_Text_Override"},
    {TEXTR_DY_SLIDER, "trak", "Delta_Text_Override"},
    {TEXTR_DY_SLIDER, "state", "Calc_Override_Vis"},
    {FLEX_SPEED_SLIDER, "state", "Calc_Is_Flex_Burning"},
    {FLEX_DENSITY_SLIDER, "state", "Calc_Is_Flex_Printing"},
};
constexpr Cell kGridCells[] = {
    {PROJ_AGE_GRID, "select", "Delta_Proj_Age"},
    {PROJ_SORT_GRID, "select", "Delta_Sort_Grid"},
    {PRINT_MEDIA_GRID, "select", "Print_SelectMedia"},
    {TEXT_LAYOUT_GRID, "select", "Delta_Text_Layout"},
    {TEXT_HJUST_GRID, "select", "Delta_Horz_Just"},
    {TEXT_VJUST_GRID, "select", "Delta_Text_Major"},
    {TEXT_PHASE_GRID, "select", "Delta_Text_Phase"},
    {TEXT_CJUST_GRID, "select", "Delta_Text_Major"},
    {PHOTO_PHASE_GRID, "select", "Delta_Photo_Phase"},
    {PHOTO_EDGE_GRID, "select", "Delta_Edge"},
    {PACK_KIND_GRID, "select", "Delta_Pack_Kind"},
    {PACK_ORIENT_GRID, "select", "Delta_Pack_Orient"},
    {GRAD_KIND_GRID, "select", "Grad_Kind_Select"},
    {GRAD_DIR_GRID, "select", "Grad_Dir_Select"},
    {SYMMETRY_KIND_GRID, "select", "Symmetry_Select"},
    {ERASER_GRID, "select", "Config_Tools"},
    {MARQ_KIND_GRID, "select", "Config_Tools"},
    {TOOL_GRID, "statevar", "SV_TOOL_SELECTION"},
    {BRUSH_SHAPE_GRID, "select", "Brush_Select"},
    {ZOOM_GRID, "statevar", "SV_ZOOM_IX"},
    {TAG_PALETTE, "state", "Calc_Hilite_Palette"},
    {TAG_PALETTE, "select", "Bar_Jump_Palette"},
    {TAG_PALETTED, "state", "Calc_Hilite_PaletteD"},
    {TAG_FONT, "state", "Calc_Hilite_Font"},
    {TAG_FONT, "select", "Bar_Jump_Font"},
    {TAG_PATTERN, "state", "Calc_Hilite_Pattern"},
    {TAG_PATTERN, "select", "Bar_Jump_Pattern"},
    {TAG_BORDER, "state", "Calc_Hilite_Border"},
    {TAG_BORDER, "select", "Bar_Jump_Border"},
    {TAG_GRADIENT, "state", "Calc_Hilite_Gradient"},
    {TAG_GRADIENT, "select", "Bar_Jump_Gradient"},
    {TAG_STAMP, "state", "Calc_Hilite_Stamp"},
    {TAG_STAMP, "select", "Bar_Jump_Stamp"},
    {TAG_LAYERS, "state", "Calc_Hilite_Layers"},
    {TAG_LAYERS, "select", "Bar_Jump_Layers"},
    {TAG_GRID_COLOR, "state", "Calc_Hilite_Grid_Color"},
    {TAG_GRID_COLOR, "select", "Bar_Jump_Grid_Color"},
    {TAG_CUTL_COLOR, "state", "Calc_Hilite_Cutl_Color"},
    {TAG_CUTL_COLOR, "select", "Bar_Jump_Cutl_Color"},
    {TAG_BORD_COLOR, "state", "Calc_Hilite_Bord_Color"},
    {TAG_BORD_COLOR, "select", "Bar_Jump_Bord_Color"},
    {TAG_OUTL_COLOR, "state", "Calc_Hilite_Outl_Color"},
    {TAG_OUTL_COLOR, "select", "Bar_Jump_Outl_Color"},
    {TAG_SYMB_COLOR, "state", "Calc_Hilite_Symb_Color"},
    {TAG_SYMB_COLOR, "select", "Bar_Jump_Symb_Color"},
    {TAG_CANVAS, "state", "Calc_Hilite_Canvas"},
    {TAG_CANVAS, "select", "Bar_Jump_Canvas"},
    {TAG_GLYPHS, "state", "Calc_Hilite_Glyphs"},
    {TAG_GLYPHS, "select", "Bar_Jump_Glyphs"},
    {RULERS_UNITS_GRID, "select", "Rulers_Delta_Units"},
    {TOOL_GRID, "keys", "Tools_KeyFilter"},
    {PRINT_MEDIA_GRID, "label", "Calc_Media_Name"},
};
constexpr Cell kOneShotCells[] = {
    {PROJ_LANG_BUTTON, "action", "Ask_Language"},
    {PROJ_LANG_BUTTON, "draw", "Language_Draw"},
    {PROJ_QUIT_BUTTON, "action", "Proj_Quit"},
    {PROJ_PICKLAYOUT_BUTTON, "action", "Proj_PickLayout"},
    {PROJ_OPEN_BUTTON, "action", "Proj_Open"},
    {EXL_PREV_BUTTON, "action", "Do_Example_Arrow_L"},
    {EXL_NEXT_BUTTON, "action", "Do_Example_Arrow_R"},
    {PRINT_SETUP_BUTTON, "action", "Print_Setup"},
    {PRINT_BUTTON, "action", "Print_Doc"},
    {PRINT_TEST_BUTTON, "action", "Print_Test"},
    {PRINT_MEDIANAME_BUTTON, "action", "Edit_Media_Name"},
    {PRINT_NUDGE_U, "action", "Print_Nudge_U"},
    {PRINT_NUDGE_R, "action", "Print_Nudge_R"},
    {PRINT_NUDGE_D, "action", "Print_Nudge_D"},
    {PRINT_NUDGE_L, "action", "Print_Nudge_L"},
    {PRINT_NUDGE_0, "action", "Print_Nudge_0"},
    {WARP_FLIPX_BUTTON, "action", "Stamp_FlipX"},
    {WARP_FLIPY_BUTTON, "action", "Stamp_FlipY"},
    {WARP_ROTATECW_BUTTON, "action", "Stamp_RotateCW"},
    {WARP_ROTATECCW_BUTTON, "action", "Stamp_RotateCCW"},
    {CANV_FLIPX_BUTTON, "action", "Canvas_FlipX"},
    {CANV_FLIPY_BUTTON, "action", "Canvas_FlipY"},
    {CANV_INVERT_BUTTON, "action", "Canvas_Invert"},
    {CANV_ROTATECW_BUTTON, "action", "Canvas_Rotate_CW"},
    {CANV_ROTATECCW_BUTTON, "action", "Canvas_Rotate_CCW"},
    {UNDO_BUTTON, "action", "Undo_Button"},
    {REDO_BUTTON, "action", "Redo_Button"},
    {PAINT_ZAP_BUTTON, "action", "Paint_Clear_All"},
    {BAR_PREV_BUTTON, "action", "Bar_JumpToPrevRow"},
    {BAR_INDEX_BUTTON, "action", "Ask_Stamp_Category"},
    {BAR_NEXT_BUTTON, "action", "Bar_JumpToNextRow"},
    {TEXT_OK_BUTTON, "action", "Edit_OK"},
    {TEXT_CANCEL_BUTTON, "action", "Edit_Cancel"},
    {TEXT_EDIT_BUTTON, "state", "Calc_Hilite_Just1"},
    {TEXT_EDIT_BUTTON, "action", "Text_Edit"},
    {TEXT_NEW_BUTTON, "state", "Calc_Hilite_ObjNew"},
    {TEXT_NEW_BUTTON, "action", "Text_New"},
    {TEXTR_RESET_BUTTON, "state", "Calc_Override_Vis"},
    {TEXTR_RESET_BUTTON, "action", "Text_Clear_Overrides"},
    {OBJ_ALIGN_H_L, "action", "Enum_Align_H_L"},
    {OBJ_ALIGN_H_C, "action", "Enum_Align_H_C"},
    {OBJ_ALIGN_H_R, "action", "Enum_Align_H_R"},
    {OBJ_ALIGN_V_T, "action", "Enum_Align_V_T"},
    {OBJ_ALIGN_V_C, "action", "Enum_Align_V_C"},
    {OBJ_ALIGN_V_B, "action", "Enum_Align_V_B"},
    {OBJ_SPREAD_H, "action", "Obj_Spread_H"},
    {OBJ_SPREAD_V, "action", "Obj_Spread_V"},
    {OBJ_DUP_BUTTON, "state", "Calc_Hilite_Sel1"},
    {OBJ_DUP_BUTTON, "action", "Enum_Obj_Dup"},
    {OBJ_DEL_BUTTON, "state", "Calc_Hilite_Del"},
    {OBJ_DEL_BUTTON, "action", "Enum_Obj_Del"},
    {SYMBOL_NEW_BUTTON, "state", "Calc_Hilite_ObjNew"},
    {SYMBOL_NEW_BUTTON, "action", "Symbol_New"},
    {PHOTO_NEW_BUTTON, "state", "Calc_Hilite_ObjNew"},
    {PHOTO_NEW_BUTTON, "action", "Photo_New"},
    {PHOTO_DUP_BUTTON, "state", "Calc_Hilite_Sel1"},
    {PHOTO_DUP_BUTTON, "action", "Enum_Obj_Dup"},
    {PHOTO_DEL_BUTTON, "state", "Calc_Hilite_Del"},
    {PHOTO_DEL_BUTTON, "action", "Enum_Obj_Del"},
    {PHOTO_REPLACE_BUTTON, "action", "Photo_Replace"},
    {PHOTO_COLLAGE_BUTTON, "action", "Pack_New"},
    {PHOTO_CROP_BUTTON, "action", "Photo_Crop"},
    {PHOTO_FIX_BUTTON, "action", "Photo_Fix"},
    {PHOTO_FLIPX_BUTTON, "action", "Photo_FlipX"},
    {PHOTO_FLIPY_BUTTON, "action", "Photo_FlipY"},
    {PHOTO_INVERT_BUTTON, "action", "Photo_Invert"},
    {PHOTO_ROTATECW_BUTTON, "action", "Photo_Rotate_CW"},
    {PHOTO_ROTATECCW_BUTTON, "action", "Photo_Rotate_CCW"},
    {COLORIZE_RESET_BUTTON, "action", "Colorize_Reset"},
    {PAPER_OK_BUTTON, "action", "Paper_OK"},
    {PAPER_CANCEL_BUTTON, "action", "Paper_Cancel"},
    {PACK_OK_BUTTON, "action", "Pack_OK"},
    {PACK_CANCEL_BUTTON, "action", "Pack_Cancel"},
    {PACK_GET_BUTTON, "action", "Pack_Get"},
    {PACK_DUP_BUTTON, "action", "Pack_DupSlot"},
    {PACK_CLEAR_BUTTON, "action", "Pack_ClearSlot"},
    {GRIDLINES_CENTER_BUTTON, "action", "GridLines_Center"},
    {FLEXSTICK_OK_BUTTON, "state", "Calc_Flex_OK_Vis"},
    {FLEXSTICK_OK_BUTTON, "action", "FlexStick_Write_Job"},
    {FLEXLABEL_OK_BUTTON, "action", "FlexLabel_Write_Job"},
    {QCOMBO_RESET_BUTTON, "action", "QCombo_Reset"},
    {QCOMBO_ALL_BUTTON, "action", "QCombo_All"},
    {WARP_FLIPX_BUTTON, "keys", "XYZ_KeyFilter"},
    {BAR_INDEX_BUTTON, "keys", "I_KeyFilter"},
};
constexpr Cell kToggleCells[] = {
    {TEXT_BOLD_TOGGLE, "proc", "Delta_Text_Major"},
    {TEXT_ITAL_TOGGLE, "proc", "Delta_Text_Major"},
    {TEXT_GLOW_TOGGLE, "proc", "Do_Text_Glow_Toggle"},
    {TEXT_SHAD_TOGGLE, "proc", "Do_Text_Shad_Toggle"},
    {TEXT_OUTL_TOGGLE, "proc", "Do_Text_Outl_Toggle"},
    {TEXT_UNDL_TOGGLE, "proc", "Do_Text_Undl_Toggle"},
    {TEXTR_BOLD_TOGGLE, "state", "Calc_Override_Vis"},
    {TEXTR_BOLD_TOGGLE, "proc", "Delta_Text_Override"},
    {TEXTR_ITAL_TOGGLE, "state", "Calc_Override_Vis"},
    {TEXTR_ITAL_TOGGLE, "proc", "Delta_Text_Override"},
    {TEXTR_UNDL_TOGGLE, "state", "Calc_Override_Vis"},
    {TEXTR_UNDL_TOGGLE, "proc", "Delta_Text_Override"},
    {PHOTO_SHAD_TOGGLE, "proc", "Do_Photo_Shad_Toggle"},
    {PHOTO_TRANSP_TOGGLE, "proc", "Delta_Photo"},
    {PHOTO_CONSTRAIN_TOGGLE, "proc", "Delta_Constrain"},
    {LASERJET_TOGGLE, "proc", "Feed_Select"},
    {GRIDLINES_TOGGLE, "proc", "GridLines_Toggle"},
    {CUTLINES_TOGGLE, "proc", "CutLines_Toggle"},
    {RULERS_TOGGLE, "proc", "Rulers_Toggle"},
    {FLEX_BURN_TOGGLE, "proc", "Flex_Burn_Toggle"},
    {FLEX_PRINT_TOGGLE, "proc", "Config_Tools"},
    {FLEX_GRAY_TOGGLE, "state", "Calc_Is_Flex_Printing"},
    {FLEX_GRAY_TOGGLE, "proc", "Curr_Unit_PostRender"},
    {FLEX_VERIFY_TOGGLE, "state", "Calc_Is_Flex_Burning"},
};
constexpr Cell kCustomCells[] = {
    {CUSTOM_PAPERKIND, "paint", "PaperKind_Paint"},
    {CUSTOM_PAPERKIND, "mouse", "PaperKind_MouseDown"},
    {CUSTOM_PAPERLIST, "keys", "PaperList_KeyFilter"},
    {CUSTOM_PAPERLIST, "paint", "PaperList_Paint"},
    {CUSTOM_PAPERLIST, "mouse", "PaperList_MouseDown"},
    {CUSTOM_OUTERPAT, "paint", "Fill_LightStripe"},
    {CUSTOM_RECENT_DOCS, "paint", "Recent_Paint"},
    {CUSTOM_RECENT_DOCS, "mouse", "Recent_MouseDown"},
    {CUSTOM_RECENT_LAYOUTS, "paint", "RecentLay_Paint"},
    {CUSTOM_RECENT_LAYOUTS, "mouse", "RecentLay_MouseDown"},
    {CUSTOM_EXAMPLES, "keys", "Examples_KeyFilter"},
    {CUSTOM_EXAMPLES, "paint", "Examples_Paint"},
    {CUSTOM_EXAMPLES, "mouse", "Examples_MouseDown"},
    {CUSTOM_EDIT1, "paint", "Edit1_PaintAll"},
    {CUSTOM_EDIT1, "mouse", "Edit1_MouseDown"},
    {CUSTOM_EDIT1, "exit", "Edit1_Exit"},
    {CUSTOM_SEP, "paint", "Separator_Paint"},
    {CUSTOM_BAR, "keys", "BarTags_KeyFilter"},
    {CUSTOM_BAR, "paint", "Bar_Paint"},
    {CUSTOM_BAR, "mouse", "Bar_MouseDown"},
    {CUSTOM_NAV, "paint", "Nav_Paint"},
    {CUSTOM_NAV, "mouse", "Nav_MouseDown"},
    {CUSTOM_HISTORY, "paint", "History_Paint"},
    {CUSTOM_HISTORY, "mouse", "History_MouseDown"},
    {CUSTOM_PHASE, "paint", "Phase_Paint"},
    {CUSTOM_PHASE, "mouse", "Phase_MouseDown"},
    {CUSTOM_UNITLIST, "keys", "UnitList_KeyFilter"},
    {CUSTOM_UNITLIST, "paint", "UnitList_Paint"},
    {CUSTOM_UNITLIST, "mouse", "UnitList_MouseDown"},
    {CUSTOM_PAPERECHO, "paint", "PaperEcho_PaintAll"},
    {CUSTOM_PREVIEW, "paint", "PrintPreview_Paint"},
    {CUSTOM_PREVIEW, "mouse", "PrintPreview_MouseDown"},
    {CUSTOM_LAYERS, "paint", "LayerBar_Paint"},
    {CUSTOM_LAYERS, "mouse", "LayerBar_MouseDown"},
    {CUSTOM_LAYERS, "exit", "LayerBar_Exit"},
    {CUSTOM_PSTATUS, "paint", "PStatus_Paint"},
    {CUSTOM_STATUS, "paint", "Status_Paint"},
    {CUSTOM_STATUS, "mouse", "Status_MouseDown"},
    {CUSTOM_COLORIZE, "paint", "Colorize_Paint"},
    {CUSTOM_COLORIZE, "mouse", "Colorize_MouseDown"},
    {CUSTOM_RULERH, "paint", "RulerH_Paint"},
    {CUSTOM_RULERV, "paint", "RulerV_Paint"},
    {CUSTOM_QCOMBO, "keys", "QCombo_KeyFilter"},
    {CUSTOM_QCOMBO, "paint", "QCombo_Paint"},
    {CUSTOM_QCOMBO, "mouse", "QCombo_MouseDown"},
};

// Names the program gives a documented procedure.
const std::pair<std::string, std::string> kOtherNames[] = {
    {"Ask_Language", "Proj_Language"},  // the language button's chooser
};
// Procedures a row has that the documented tables leave out.
constexpr Cell kAddedOneShotCells[] = {
    // The print panel's Template button prints the layout's own sheet.
    {PRINT_TEMPLATE_BUTTON, "action", "Print_Doc_Template"},
    // The palette bar's index button draws its stamp category.
    {BAR_INDEX_BUTTON, "draw", "Bar_Index_Draw"},
};

using Triple = std::tuple<int, std::string, std::string>;

std::string Program_Name(const std::string& documented) {
  for (const auto& [doc, ours] : kOtherNames)
    if (doc == documented) return ours;
  return documented;
}

template <size_t N>
std::set<Triple> Expected(const Cell (&cells)[N]) {
  std::set<Triple> s;
  for (const Cell& c : cells) s.insert({c.row, c.column, Program_Name(c.name)});
  return s;
}

template <typename F>
void Put(std::set<Triple>& s, int row, const char* column, const a_named<F>& p) {
  if (p.proc == nullptr && p.name == nullptr) return;
  // A procedure always carries its name, and a name its procedure.
  EXPECT_NE(p.proc, nullptr) << "row " << row << " " << column;
  EXPECT_NE(p.name, nullptr) << "row " << row << " " << column;
  s.insert({row, column, p.name != nullptr ? p.name : "?"});
}

std::string Describe(const std::set<Triple>& s) {
  std::string out;
  for (const auto& [row, column, name] : s) out += "  row " + std::to_string(row) + " " + column + " " + name + "\n";
  return out;
}

void Compare(const char* table, const std::set<Triple>& program, const std::set<Triple>& expected) {
  std::set<Triple> missing, extra;
  std::set_difference(expected.begin(), expected.end(), program.begin(), program.end(),
                      std::inserter(missing, missing.begin()));
  std::set_difference(program.begin(), program.end(), expected.begin(), expected.end(),
                      std::inserter(extra, extra.begin()));
  EXPECT_TRUE(missing.empty()) << table << ": the rows lack\n" << Describe(missing);
  EXPECT_TRUE(extra.empty()) << table << ": the rows have besides\n" << Describe(extra);
}

const char* Statevar_Name(int16 sv) {
  switch (sv) {
    case SV_TOOL_SELECTION: return "SV_TOOL_SELECTION";
    case SV_ZOOM_IX: return "SV_ZOOM_IX";
    default: return "another state variable";
  }
}

TEST(ItemRows, EveryProcedureIsTheDocumentedOne) {
  std::set<Triple> s;
  for (const a_slider_row& r : Slider_Rows()) {
    Put(s, r.id, "state", r.state);
    Put(s, r.id, "action", r.action);
    Put(s, r.id, "init", r.init);
    Put(s, r.id, "trak", r.trak);
    Put(s, r.id, "stop", r.stop);
    Put(s, r.id, "step", r.step);
  }
  Compare("sliders", s, Expected(kSliderCells));
  s.clear();
  for (const a_grid_row& r : Grid_Rows()) {
    Put(s, r.id, "state", r.state);
    Put(s, r.id, "select", r.select);
    Put(s, r.id, "keys", r.keys);
    Put(s, r.id, "label", r.label);
    if (r.statevar >= 0) s.insert({r.id, "statevar", Statevar_Name(r.statevar)});
  }
  Compare("grids", s, Expected(kGridCells));
  s.clear();
  for (const a_oneshot_row& r : OneShot_Rows()) {
    Put(s, r.id, "state", r.state);
    Put(s, r.id, "action", r.action);
    Put(s, r.id, "keys", r.keys);
    Put(s, r.id, "draw", r.draw);
  }
  std::set<Triple> oneshots = Expected(kOneShotCells);
  for (const Cell& c : kAddedOneShotCells) oneshots.insert({c.row, c.column, c.name});
  Compare("one-shots", s, oneshots);
  s.clear();
  for (const a_toggle_row& r : Toggle_Rows()) {
    Put(s, r.id, "state", r.state);
    Put(s, r.id, "proc", r.proc);
  }
  Compare("toggles", s, Expected(kToggleCells));
  s.clear();
  for (const a_custom_row& r : Custom_Rows()) {
    Put(s, r.id, "keys", r.keys);
    Put(s, r.id, "paint", r.paint);
    Put(s, r.id, "mouse", r.mouse);
    Put(s, r.id, "exit", r.exit);
  }
  Compare("custom areas", s, Expected(kCustomCells));
}

// A row without procedures says why; the one-shots that no panel shows are
// the documented placeholders.
TEST(ItemRows, InertRowsSayWhy) {
  std::set<int> placeholders;
  for (const a_oneshot_row& r : OneShot_Rows()) {
    EXPECT_EQ(r.action.proc == nullptr, r.inert != nullptr) << ART_ONESHOT_ITEMS[r.id].name;
    if (r.inert != nullptr) {
      EXPECT_GT(std::strlen(r.inert), 10u);
      placeholders.insert(r.id);
    }
  }
  const std::set<int> documented = {PROJ_NEW_BUTTON,        PRINT_TEMPLATE_LABEL, UNDOREDO_BUTTON,
                                    STENCIL_PREVIEW_BUTTON, STENCIL_CLEAR_BUTTON, STENCIL_INVERT_BUTTON,
                                    STENCIL_MAKE_BUTTON,    STENCIL_50A_BUTTON,   STENCIL_50B_BUTTON,
                                    STENCIL_REVERSE_BUTTON, BAR_NOINDEX_BUTTON,   TEXT_STAMP_BUTTON,
                                    PHOTO_OUTLINE_COLOR,    PLAYBACK_BUTTON};
  EXPECT_EQ(placeholders, documented);
  for (const a_slider_row& r : Slider_Rows())
    if (r.inert != nullptr) EXPECT_EQ(r.action.proc, nullptr) << "slider " << int(r.id);
  for (const a_toggle_row& r : Toggle_Rows()) EXPECT_EQ(r.proc.proc == nullptr, r.inert != nullptr) << int(r.id);
}

// Once the interface and the palette bar have started, every table holds
// its rows' procedures: no module fills a row from elsewhere.
class ItemRowsFilled : public nodetest::NodeTree {};

TEST_F(ItemRowsFilled, TheTablesHoldTheRows) {
  Bar_Init();
  for (const a_slider_row& r : Slider_Rows()) {
    const a_slider_item& t = g_sliders[r.id];
    EXPECT_TRUE(t.jump_proc == r.action.proc && t.thumb_init == r.init.proc && t.thumb_trak == r.trak.proc &&
                t.thumb_stop == r.stop.proc && t.incproc == r.step.proc && t.hiproc == r.state.proc &&
                t.history_op == r.history_op)
        << "slider " << int(r.id);
  }
  for (const a_grid_row& r : Grid_Rows()) {
    const a_grid_item& t = g_grid[r.id];
    EXPECT_TRUE(t.grid_select == r.select.proc && t.grid_hilite == r.state.proc && t.keyfilter == r.keys.proc &&
                t.string_calc == r.label.proc && t.grid_is_statevar == (r.statevar >= 0) &&
                t.history_op == r.history_op && t.stringx == r.stringx)
        << ART_GRID_ITEMS[r.id].name;
  }
  for (const a_oneshot_row& r : OneShot_Rows()) {
    const a_oneshot_item& t = g_oneshots[r.id];
    EXPECT_TRUE(t.one_proc == r.action.proc && t.hiproc == r.state.proc && t.keyfilter == r.keys.proc &&
                t.one_draw == r.draw.proc && t.one_sound == r.sound && t.history_op == r.history_op &&
                t.stringx == r.stringx && t.embed_flag == r.embed)
        << ART_ONESHOT_ITEMS[r.id].name;
  }
  for (const a_toggle_row& r : Toggle_Rows()) {
    const a_toggle_item& t = g_toggles[r.id];
    EXPECT_TRUE(t.toggle_proc == r.proc.proc && t.hiproc == r.state.proc && t.history_op == r.history_op &&
                t.stringx == r.stringx)
        << ART_TOGGLE_ITEMS[r.id].name;
  }
  for (const a_custom_row& r : Custom_Rows()) {
    const a_custom_item& t = g_custom[r.id];
    EXPECT_TRUE(t.custom_draw == r.paint.proc && t.custom_hit == r.mouse.proc && t.custom_exit == r.exit.proc &&
                t.keyfilter == r.keys.proc)
        << "custom area " << int(r.id);
  }
  Bar_Stop();
}

}  // namespace
