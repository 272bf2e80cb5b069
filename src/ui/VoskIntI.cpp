#include "ui/VoskIntI.h"

#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskHist.h"
#include "doc/VoskJob.h"
#include "doc/VoskPrev.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "objects/VoskEdit.h"
#include "objects/VoskGrad.h"
#include "objects/VoskLayer.h"
#include "objects/VoskMove.h"
#include "objects/VoskPack.h"
#include "objects/VoskPhot.h"
#include "objects/VoskStam.h"
#include "objects/VoskSym.h"
#include "objects/VoskText.h"
#include "pixel/ArtItems.h"
#include "platform/SysErr.h"
#include "platform/SysPrint.h"
#include "platform/SysSound.h"
#include "platform/UString.h"
#include "platform/VoskPref.h"
#include "ui/VoskAskRemap.h"
#include "ui/VoskBar.h"
#include "ui/VoskBrow.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"
#include "ui/VoskFun2.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"
#include "ui/VoskStus.h"

namespace {

// --- The rows -------------------------------------------------------------------------

// A procedure of a row with its name.
#define P(f) {f, #f}
// A procedure whose answer the control does not use.
#define PV(f) {[] { (void)f(); }, #f}
// The object modules' display states, which answer a number, as item states.
#define OBJ_STATE(f) {[](int16) { return a_tri_state(f()); }, #f}
// A key filter that takes the key's character.
#define PK(f) {[](const a_keystroke& key) -> bool8 { return f(char(key.charcode)); }, #f}
// An owner's painting procedure that finds its own bounds.
#define PD(f) {[](const Rect&) { f(); }, #f}
// A row's id, and the artwork of the same name.
#define SLIDER(x) .id = x
#define GRID(x) .id = x, .art = &ART_ITEM_##x
#define ONESHOT(x) .id = x, .art = &ART_ITEM_##x
#define TOGGLE(x) .id = x, .art = &ART_ITEM_##x
#define CUSTOM(x) .id = x

// Why a row has no procedure of its own.
constexpr const char* kNoPanel = "a placeholder that no panel shows";
constexpr const char* kStored = "stores its value, which is read where it is used";
constexpr const char* kPaint = "stores its value, which the paint tools read as they paint";
constexpr const char* kJob = "stores its value, which the disc printer's job reads when it is written";
constexpr const char* kStateSide = "mirrors a state variable, whose side draws it";
constexpr const char* kColorize = "its value is set through the colour wheel, which applies it";
constexpr const char* kAlwaysCurrent = "the plain colour tag, always current, that chooses nothing";

// Prints the document's layout as a test sheet.
void Print_Doc_Template() {
  if (g_doc.doc_open) (void)Print_Template(g_doc.doc_template);
}

constexpr a_oneshot_row kOneShotRows[] = {
    {ONESHOT(PROJ_LANG_BUTTON), .action = P(Proj_Language), .draw = P(Language_Draw)},
    {ONESHOT(PROJ_QUIT_BUTTON), .stringx = 22, .action = P(Proj_Quit), .embed = true},
    {ONESHOT(PROJ_PICKLAYOUT_BUTTON), .stringx = 84, .action = P(Proj_PickLayout), .embed = true},
    {ONESHOT(PROJ_OPEN_BUTTON), .stringx = 120, .action = P(Proj_Open), .embed = true},
    {ONESHOT(PROJ_NEW_BUTTON), .inert = kNoPanel},
    {ONESHOT(EXL_PREV_BUTTON), .action = P(Do_Example_Arrow_L)},
    {ONESHOT(EXL_NEXT_BUTTON), .action = P(Do_Example_Arrow_R)},
    {ONESHOT(PRINT_SETUP_BUTTON), .action = P(Print_Setup)},
    {ONESHOT(PRINT_BUTTON), .action = PV(Print_Doc)},
    {ONESHOT(PRINT_TEMPLATE_LABEL), .inert = kNoPanel},
    {ONESHOT(PRINT_TEMPLATE_BUTTON), .action = P(Print_Doc_Template)},
    {ONESHOT(PRINT_TEST_BUTTON), .stringx = 310, .action = PV(Print_Test)},
    {ONESHOT(PRINT_MEDIANAME_BUTTON), .stringx = 311, .action = P(Edit_Media_Name)},
    {ONESHOT(PRINT_NUDGE_U), .stringx = 122, .action = P(Print_Nudge_U)},
    {ONESHOT(PRINT_NUDGE_R), .stringx = 122, .action = P(Print_Nudge_R)},
    {ONESHOT(PRINT_NUDGE_D), .stringx = 122, .action = P(Print_Nudge_D)},
    {ONESHOT(PRINT_NUDGE_L), .stringx = 122, .action = P(Print_Nudge_L)},
    {ONESHOT(PRINT_NUDGE_0), .stringx = 123, .action = P(Print_Nudge_0)},
    {ONESHOT(WARP_FLIPX_BUTTON), .stringx = 35, .action = P(Stamp_FlipX), .keys = PK(XYZ_KeyFilter)},
    {ONESHOT(WARP_FLIPY_BUTTON), .stringx = 36, .action = P(Stamp_FlipY)},
    {ONESHOT(WARP_ROTATECW_BUTTON), .stringx = 47, .action = P(Stamp_RotateCW)},
    {ONESHOT(WARP_ROTATECCW_BUTTON), .stringx = 47, .action = P(Stamp_RotateCCW)},
    {ONESHOT(CANV_FLIPX_BUTTON), .stringx = 35, .history_op = OP_CANVAS_FLIP, .action = P(Canvas_FlipX)},
    {ONESHOT(CANV_FLIPY_BUTTON), .stringx = 36, .history_op = OP_CANVAS_FLIP, .action = P(Canvas_FlipY)},
    {ONESHOT(CANV_INVERT_BUTTON), .stringx = 117, .history_op = OP_CANVAS_INVERT, .action = P(Canvas_Invert)},
    {ONESHOT(CANV_ROTATECW_BUTTON), .stringx = 47, .history_op = OP_CANVAS_ADJUST, .action = P(Canvas_Rotate_CW)},
    {ONESHOT(CANV_ROTATECCW_BUTTON), .stringx = 47, .history_op = OP_CANVAS_ADJUST, .action = P(Canvas_Rotate_CCW)},
    {ONESHOT(UNDOREDO_BUTTON), .stringx = 89, .inert = kNoPanel},
    {ONESHOT(UNDO_BUTTON), .stringx = 89, .action = P(Undo_Button)},
    {ONESHOT(REDO_BUTTON), .stringx = 89, .action = P(Redo_Button)},
    {ONESHOT(STENCIL_PREVIEW_BUTTON), .inert = kNoPanel},
    {ONESHOT(STENCIL_CLEAR_BUTTON), .inert = kNoPanel},
    {ONESHOT(STENCIL_INVERT_BUTTON), .inert = kNoPanel},
    {ONESHOT(STENCIL_MAKE_BUTTON), .inert = kNoPanel},
    {ONESHOT(STENCIL_50A_BUTTON), .inert = kNoPanel},
    {ONESHOT(STENCIL_50B_BUTTON), .inert = kNoPanel},
    {ONESHOT(STENCIL_REVERSE_BUTTON), .inert = kNoPanel},
    {ONESHOT(PAINT_ZAP_BUTTON), .stringx = 219, .history_op = OP_PAINT_ZAP, .action = P(Paint_Clear_All), .sound = SND_CLEAR_FAST},
    {ONESHOT(BAR_PREV_BUTTON), .stringx = 90, .action = P(Bar_JumpToPrevRow), .sound = SND_BAR_PREV},
    {ONESHOT(BAR_INDEX_BUTTON), .stringx = 92, .action = P(Ask_Stamp_Category), .keys = P(I_KeyFilter), .draw = P(Bar_Index_Draw), .sound = SND_BAR_INDEX},
    {ONESHOT(BAR_NOINDEX_BUTTON), .inert = kNoPanel},
    {ONESHOT(BAR_NEXT_BUTTON), .stringx = 91, .action = P(Bar_JumpToNextRow), .sound = SND_BAR_NEXT},
    {ONESHOT(TEXT_OK_BUTTON), .stringx = 8, .history_op = OP_TEXT_ADJUST, .action = P(Edit_OK), .embed = true},
    {ONESHOT(TEXT_CANCEL_BUTTON), .stringx = 105, .action = P(Edit_Cancel), .embed = true},
    {ONESHOT(TEXT_EDIT_BUTTON), .stringx = 312, .state = OBJ_STATE(Calc_Hilite_Just1), .action = P(Text_Edit)},
    {ONESHOT(TEXT_NEW_BUTTON), .stringx = 313, .state = OBJ_STATE(Calc_Hilite_ObjNew), .action = P(Text_New)},
    {ONESHOT(TEXT_STAMP_BUTTON), .inert = kNoPanel},
    {ONESHOT(TEXTR_RESET_BUTTON), .stringx = 383, .state = P(Calc_Override_Vis), .action = P(Text_Clear_Overrides), .embed = true},
    {ONESHOT(OBJ_ALIGN_H_L), .stringx = 244, .action = P(Enum_Align_H_L)},
    {ONESHOT(OBJ_ALIGN_H_C), .stringx = 245, .action = P(Enum_Align_H_C)},
    {ONESHOT(OBJ_ALIGN_H_R), .stringx = 246, .action = P(Enum_Align_H_R)},
    {ONESHOT(OBJ_ALIGN_V_T), .stringx = 247, .action = P(Enum_Align_V_T)},
    {ONESHOT(OBJ_ALIGN_V_C), .stringx = 248, .action = P(Enum_Align_V_C)},
    {ONESHOT(OBJ_ALIGN_V_B), .stringx = 249, .action = P(Enum_Align_V_B)},
    {ONESHOT(OBJ_SPREAD_H), .stringx = 250, .action = P(Obj_Spread_H)},
    {ONESHOT(OBJ_SPREAD_V), .stringx = 251, .action = P(Obj_Spread_V)},
    {ONESHOT(OBJ_DUP_BUTTON), .stringx = 314, .state = OBJ_STATE(Calc_Hilite_Sel1), .action = P(Enum_Obj_Dup)},
    {ONESHOT(OBJ_DEL_BUTTON), .stringx = 315, .state = OBJ_STATE(Calc_Hilite_Del), .action = P(Enum_Obj_Del)},
    {ONESHOT(SYMBOL_NEW_BUTTON), .stringx = 316, .state = OBJ_STATE(Calc_Hilite_ObjNew), .action = P(Symbol_New)},
    {ONESHOT(PHOTO_NEW_BUTTON), .stringx = 317, .state = OBJ_STATE(Calc_Hilite_ObjNew), .action = P(Photo_New)},
    {ONESHOT(PHOTO_DUP_BUTTON), .stringx = 320, .state = OBJ_STATE(Calc_Hilite_Sel1), .action = P(Enum_Obj_Dup)},
    {ONESHOT(PHOTO_DEL_BUTTON), .stringx = 319, .state = OBJ_STATE(Calc_Hilite_Del), .action = P(Enum_Obj_Del)},
    {ONESHOT(PHOTO_REPLACE_BUTTON), .stringx = 318, .action = P(Photo_Replace)},
    {ONESHOT(PHOTO_COLLAGE_BUTTON), .stringx = 321, .action = P(Pack_New)},
    {ONESHOT(PHOTO_CROP_BUTTON), .stringx = 322, .action = P(Photo_Crop)},
    {ONESHOT(PHOTO_FIX_BUTTON), .action = P(Photo_Fix)},
    {ONESHOT(PHOTO_FLIPX_BUTTON), .stringx = 35, .action = P(Photo_FlipX)},
    {ONESHOT(PHOTO_FLIPY_BUTTON), .stringx = 36, .action = P(Photo_FlipY)},
    {ONESHOT(PHOTO_INVERT_BUTTON), .stringx = 117, .action = P(Photo_Invert)},
    {ONESHOT(PHOTO_ROTATECW_BUTTON), .stringx = 47, .action = P(Photo_Rotate_CW)},
    {ONESHOT(PHOTO_ROTATECCW_BUTTON), .stringx = 47, .action = P(Photo_Rotate_CCW)},
    {ONESHOT(COLORIZE_RESET_BUTTON), .stringx = 39, .action = P(Colorize_Reset)},
    {ONESHOT(PAPER_OK_BUTTON), .stringx = 8, .action = P(Paper_OK), .embed = true},
    {ONESHOT(PAPER_CANCEL_BUTTON), .stringx = 105, .action = P(Paper_Cancel), .embed = true},
    {ONESHOT(PACK_OK_BUTTON), .stringx = 8, .action = P(Pack_OK), .embed = true},
    {ONESHOT(PACK_CANCEL_BUTTON), .stringx = 105, .action = P(Pack_Cancel), .embed = true},
    {ONESHOT(PACK_GET_BUTTON), .stringx = 257, .action = P(Pack_Get), .embed = true},
    {ONESHOT(PACK_DUP_BUTTON), .stringx = 258, .action = P(Pack_DupSlot), .embed = true},
    {ONESHOT(PACK_CLEAR_BUTTON), .stringx = 259, .action = P(Pack_ClearSlot), .embed = true},
    {ONESHOT(PHOTO_OUTLINE_COLOR), .inert = kNoPanel},
    {ONESHOT(GRIDLINES_CENTER_BUTTON), .action = P(GridLines_Center)},
    {ONESHOT(FLEXSTICK_OK_BUTTON), .stringx = 407, .state = P(Calc_Flex_OK_Vis), .action = P(FlexStick_Write_Job), .embed = true},
    {ONESHOT(FLEXLABEL_OK_BUTTON), .stringx = 8, .action = P(FlexLabel_Write_Job), .embed = true},
    {ONESHOT(QCOMBO_RESET_BUTTON), .action = P(QCombo_Reset)},
    {ONESHOT(QCOMBO_ALL_BUTTON), .stringx = 410, .action = P(QCombo_All)},
    {ONESHOT(PLAYBACK_BUTTON), .inert = kNoPanel},
};
constexpr a_toggle_row kToggleRows[] = {
    {TOGGLE(FLIPX_TOGGLE), .inert = kNoPanel},
    {TOGGLE(FLIPY_TOGGLE), .inert = kNoPanel},
    {TOGGLE(TEXT_BOLD_TOGGLE), .stringx = 225, .history_op = OP_TEXT_ADJUST, .proc = P(Delta_Text_Major)},
    {TOGGLE(TEXT_ITAL_TOGGLE), .stringx = 226, .history_op = OP_TEXT_ADJUST, .proc = P(Delta_Text_Major)},
    {TOGGLE(TEXT_GLOW_TOGGLE), .stringx = 325, .history_op = OP_TEXT_ADJUST, .proc = P(Do_Text_Glow_Toggle)},
    {TOGGLE(TEXT_SHAD_TOGGLE), .stringx = 326, .history_op = OP_TEXT_ADJUST, .proc = P(Do_Text_Shad_Toggle)},
    {TOGGLE(TEXT_OUTL_TOGGLE), .stringx = 327, .history_op = OP_TEXT_ADJUST, .proc = P(Do_Text_Outl_Toggle)},
    {TOGGLE(TEXT_UNDL_TOGGLE), .stringx = 382, .history_op = OP_TEXT_ADJUST, .proc = P(Do_Text_Undl_Toggle)},
    {TOGGLE(TEXTR_BOLD_TOGGLE), .stringx = 225, .history_op = OP_TEXT_ADJUST, .state = P(Calc_Override_Vis), .proc = P(Delta_Text_Override)},
    {TOGGLE(TEXTR_ITAL_TOGGLE), .stringx = 226, .history_op = OP_TEXT_ADJUST, .state = P(Calc_Override_Vis), .proc = P(Delta_Text_Override)},
    {TOGGLE(TEXTR_UNDL_TOGGLE), .stringx = 382, .history_op = OP_TEXT_ADJUST, .state = P(Calc_Override_Vis), .proc = P(Delta_Text_Override)},
    {TOGGLE(SYMMETRY_TOGGLE), .inert = kStateSide},
    {TOGGLE(STENCIL_TOGGLE), .inert = kStateSide},
    {TOGGLE(PHOTO_SHAD_TOGGLE), .stringx = 326, .history_op = OP_PHOTO_ADJUST, .proc = P(Do_Photo_Shad_Toggle)},
    {TOGGLE(PHOTO_TRANSP_TOGGLE), .stringx = 330, .history_op = OP_PHOTO_ADJUST, .proc = P(Delta_Photo)},
    {TOGGLE(PHOTO_CONSTRAIN_TOGGLE), .stringx = 331, .proc = P(Delta_Constrain)},
    {TOGGLE(GRID_CONSTRAIN_TOGGLE), .stringx = 357, .inert = kStored},
    {TOGGLE(LASERJET_TOGGLE), .stringx = 329, .proc = P(Feed_Select)},
    {TOGGLE(GRIDLINES_TOGGLE), .stringx = 332, .proc = P(GridLines_Toggle)},
    {TOGGLE(CUTLINES_TOGGLE), .stringx = 333, .proc = P(CutLines_Toggle)},
    {TOGGLE(RULERS_TOGGLE), .stringx = 334, .proc = P(Rulers_Toggle)},
    {TOGGLE(FLEX_BURN_TOGGLE), .proc = P(Flex_Burn_Toggle)},
    {TOGGLE(FLEX_PRINT_TOGGLE), .proc = P(Config_Tools)},
    {TOGGLE(FLEX_GRAY_TOGGLE), .stringx = 411, .state = P(Calc_Is_Flex_Printing), .proc = P(Curr_Unit_PostRender)},
    {TOGGLE(FLEX_VERIFY_TOGGLE), .state = P(Calc_Is_Flex_Burning), .inert = kJob},
};
constexpr a_grid_row kGridRows[] = {
    {GRID(PROJ_AGE_GRID), .stringx = 261, .select = P(Delta_Proj_Age), .embed = true},
    {GRID(PROJ_SORT_GRID), .stringx = 375, .select = P(Delta_Sort_Grid), .embed = true},
    {GRID(PRINT_MEDIA_GRID), .select = P(Print_SelectMedia), .label = P(Calc_Media_Name), .embed = true},
    {GRID(TEXT_LAYOUT_GRID), .stringx = 266, .history_op = OP_TEXT_LAYOUT, .select = P(Delta_Text_Layout)},
    {GRID(TEXT_HJUST_GRID), .stringx = 200, .history_op = OP_TEXT_JUST, .select = P(Delta_Horz_Just)},
    {GRID(TEXT_VJUST_GRID), .stringx = 204, .history_op = OP_TEXT_JUST, .select = P(Delta_Text_Major)},
    {GRID(TEXT_PHASE_GRID), .stringx = 276, .select = P(Delta_Text_Phase)},
    {GRID(TEXT_CJUST_GRID), .stringx = 208, .history_op = OP_TEXT_JUST, .select = P(Delta_Text_Major)},
    {GRID(PHOTO_PHASE_GRID), .stringx = 280, .select = P(Delta_Photo_Phase)},
    {GRID(PHOTO_EDGE_GRID), .stringx = 213, .history_op = OP_PHOTO_ADJUST, .select = P(Delta_Edge)},
    {GRID(PACK_KIND_GRID), .stringx = 284, .select = P(Delta_Pack_Kind)},
    {GRID(PACK_ORIENT_GRID), .stringx = 289, .select = P(Delta_Pack_Orient)},
    {GRID(GRAD_KIND_GRID), .stringx = 69, .select = P(Grad_Kind_Select)},
    {GRID(GRAD_DIR_GRID), .stringx = 41, .select = P(Grad_Dir_Select)},
    {GRID(SYMMETRY_KIND_GRID), .stringx = 82, .select = P(Symmetry_Select)},
    {GRID(ERASER_GRID), .select = P(Config_Tools)},
    {GRID(SPRAY_KIND_GRID), .stringx = 78, .inert = kPaint},
    {GRID(MARQ_KIND_GRID), .stringx = 75, .select = P(Config_Tools)},
    {GRID(MARQ_CUT_GRID), .stringx = 85, .inert = kPaint},
    {GRID(MARQ_TRANSP_GRID), .stringx = 87, .inert = kPaint},
    {GRID(TOOL_GRID), .stringx = 51, .statevar = SV_TOOL_SELECTION, .keys = P(Tools_KeyFilter)},
    {GRID(BRUSH_SHAPE_GRID), .select = P(Brush_Select)},
    {GRID(FROM_CORNER_GRID), .stringx = 291, .inert = kPaint},
    {GRID(ZOOM_GRID), .stringx = 293, .statevar = SV_ZOOM_IX},
    {GRID(TAG_PALETTE), .stringx = 298, .state = P(Calc_Hilite_Palette), .select = P(Bar_Jump_Palette)},
    {GRID(TAG_PALETTED), .stringx = 298, .state = P(Calc_Hilite_PaletteD), .inert = kAlwaysCurrent},
    {GRID(TAG_FONT), .stringx = 299, .state = P(Calc_Hilite_Font), .select = P(Bar_Jump_Font)},
    {GRID(TAG_PATTERN), .stringx = 300, .state = P(Calc_Hilite_Pattern), .select = P(Bar_Jump_Pattern)},
    {GRID(TAG_BORDER), .stringx = 301, .state = P(Calc_Hilite_Border), .select = P(Bar_Jump_Border)},
    {GRID(TAG_GRADIENT), .stringx = 302, .state = P(Calc_Hilite_Gradient), .select = P(Bar_Jump_Gradient)},
    {GRID(TAG_STAMP), .stringx = 389, .state = P(Calc_Hilite_Stamp), .select = P(Bar_Jump_Stamp)},
    {GRID(TAG_LAYERS), .stringx = 303, .state = P(Calc_Hilite_Layers), .select = P(Bar_Jump_Layers)},
    {GRID(TAG_GRID_COLOR), .stringx = 304, .state = P(Calc_Hilite_Grid_Color), .select = P(Bar_Jump_Grid_Color)},
    {GRID(TAG_CUTL_COLOR), .stringx = 305, .state = P(Calc_Hilite_Cutl_Color), .select = P(Bar_Jump_Cutl_Color)},
    {GRID(TAG_BORD_COLOR), .stringx = 306, .state = P(Calc_Hilite_Bord_Color), .select = P(Bar_Jump_Bord_Color)},
    {GRID(TAG_OUTL_COLOR), .stringx = 307, .state = P(Calc_Hilite_Outl_Color), .select = P(Bar_Jump_Outl_Color)},
    {GRID(TAG_SYMB_COLOR), .stringx = 308, .state = P(Calc_Hilite_Symb_Color), .select = P(Bar_Jump_Symb_Color)},
    {GRID(TAG_CANVAS), .stringx = 309, .state = P(Calc_Hilite_Canvas), .select = P(Bar_Jump_Canvas)},
    {GRID(TAG_GLYPHS), .stringx = 374, .state = P(Calc_Hilite_Glyphs), .select = P(Bar_Jump_Glyphs)},
    {GRID(RULERS_UNITS_GRID), .select = P(Rulers_Delta_Units)},
};
constexpr a_slider_row kSliderRows[] = {
    {SLIDER(NULL_SLIDER), .inert = kNoPanel},
    {SLIDER(CANV_DARKNESS_SLIDER), .history_op = OP_CANVAS_ADJUST, .action = P(Delta_Canvas)},
    {SLIDER(CANV_FUZZ_IN_SLIDER), .history_op = OP_CANVAS_ADJUST, .action = P(Canvas_Fuzz_Delta), .trak = P(Canvas_Fuzz_Delta)},
    {SLIDER(CANV_FUZZ_OUT_SLIDER), .history_op = OP_CANVAS_ADJUST, .action = P(Canvas_Fuzz_Delta), .trak = P(Canvas_Fuzz_Delta)},
    {SLIDER(PAINT_OPACITY_SLIDER), .inert = kPaint},
    {SLIDER(STAMP_SIZE_SLIDER), .inert = kPaint},
    {SLIDER(STAMP_ROTATE_SLIDER), .inert = kPaint},
    {SLIDER(STAMP_SPACING_SLIDER), .inert = kPaint},
    {SLIDER(STAMP_SPACINGF_SLIDER), .inert = kPaint},
    {SLIDER(STAMP_DARKNESS_SLIDER), .inert = kPaint},
    {SLIDER(STAMP_COLORSHIFT_SLIDER), .inert = kPaint},
    {SLIDER(STAMP_SKEWX_SLIDER), .init = P(SkewX_Thumb), .trak = P(SkewX_Thumb)},
    {SLIDER(STAMP_SKEWY_SLIDER), .init = P(SkewY_Thumb), .trak = P(SkewY_Thumb)},
    {SLIDER(STAMP_BENDX_SLIDER), .init = P(BendX_Thumb), .trak = P(BendX_Thumb)},
    {SLIDER(STAMP_BENDY_SLIDER), .init = P(BendY_Thumb), .trak = P(BendY_Thumb)},
    {SLIDER(STAMP_STRETCH_SLIDER), .inert = kPaint},
    {SLIDER(BRUSH_SPACING_SLIDER), .inert = kPaint},
    {SLIDER(PAINT_CORNER_SLIDER), .inert = kPaint},
    {SLIDER(GRAD_TWIST_SLIDER), .inert = kPaint},
    {SLIDER(GRAD_ANGLE_SLIDER), .inert = kPaint},
    {SLIDER(GRAD_REP_SLIDER), .action = P(Grad_Dir_Select)},
    {SLIDER(SPRAY_RADIUS_SLIDER), .inert = kPaint},
    {SLIDER(SYMMETRY_COUNT_SLIDER), .action = P(Symmetry_Select)},
    {SLIDER(LINE_THICKNESS_SLIDER), .inert = kPaint},
    {SLIDER(COLOR_SAT_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo), .trak = P(Delta_Photo)},
    {SLIDER(COLOR_HUE_SLIDER), .inert = kColorize},
    {SLIDER(COLOR_DIST_SLIDER), .inert = kColorize},
    {SLIDER(PHOTO_SIZE_SLIDER), .history_op = OP_PHOTO_SIZE, .action = P(Delta_Photo), .init = P(Init_Photo_Geom), .trak = P(Track_Photo_Geom), .stop = P(Stop_Photo_Geom)},
    {SLIDER(PHOTO_SIZEH_SLIDER), .history_op = OP_PHOTO_SIZE, .action = P(Delta_Photo), .init = P(Init_Photo_Geom), .trak = P(Track_Photo_Geom), .stop = P(Stop_Photo_Geom)},
    {SLIDER(PHOTO_SIZEV_SLIDER), .history_op = OP_PHOTO_SIZE, .action = P(Delta_Photo), .init = P(Init_Photo_Geom), .trak = P(Track_Photo_Geom), .stop = P(Stop_Photo_Geom)},
    {SLIDER(PHOTO_ANGLE_SLIDER), .history_op = OP_PHOTO_ANGLE, .action = P(Delta_Photo), .init = P(Init_Photo_Geom), .trak = P(Track_Photo_Geom), .stop = P(Stop_Photo_Geom)},
    {SLIDER(PHOTO_DARKNESS_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo)},
    {SLIDER(PHOTO_OPACITY_SLIDER), .history_op = OP_PHOTO_OPACITY, .action = P(Delta_Photo)},
    {SLIDER(PHOTO_CORNER_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo), .trak = P(Delta_Photo)},
    {SLIDER(PHOTO_FEATHER_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo), .trak = P(Delta_Photo)},
    {SLIDER(PHOTO_EDGE_BORDER_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo), .trak = P(Delta_Photo)},
    {SLIDER(PHOTO_EDGE_OUTLINE_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo), .trak = P(Delta_Photo)},
    {SLIDER(PHOTO_EDGE_SCALLOP_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo), .trak = P(Delta_Photo)},
    {SLIDER(PHOTO_EDGE_ROUGH_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo), .trak = P(Delta_Photo)},
    {SLIDER(PHOTO_SHAD_DX_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo_Shadow), .trak = P(Delta_Photo_Shadow)},
    {SLIDER(PHOTO_SHAD_DY_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo_Shadow), .trak = P(Delta_Photo_Shadow)},
    {SLIDER(PHOTO_SHAD_OPACITY_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo_Shadow), .trak = P(Delta_Photo_Shadow)},
    {SLIDER(PHOTO_SHAD_RADIUS_SLIDER), .history_op = OP_PHOTO_ADJUST, .action = P(Delta_Photo_Shadow), .trak = P(Delta_Photo_Shadow)},
    {SLIDER(SYMBOL_SIZE_SLIDER), .history_op = OP_SYMBOL_SIZE, .action = P(Delta_Symbol), .init = P(Init_Symbol_Geom), .trak = P(Track_Symbol_Geom), .stop = P(Stop_Symbol_Geom)},
    {SLIDER(SYMBOL_ANGLE_SLIDER), .history_op = OP_SYMBOL_ANGLE, .action = P(Delta_Symbol), .init = P(Init_Symbol_Geom), .trak = P(Track_Symbol_Geom), .stop = P(Stop_Symbol_Geom)},
    {SLIDER(SYMBOL_OPACITY_SLIDER), .history_op = OP_SYMBOL_OPACITY, .action = P(Delta_Symbol)},
    {SLIDER(TEXT_SIZE_SLIDER), .history_op = OP_TEXT_SIZE, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major), .step = P(Calc_Text_Inc)},
    {SLIDER(TEXT_HSPACING_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_VSPACING_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_RADIUS_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_LINEANGLE_SLIDER), .history_op = OP_TEXT_ANGLE, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_SPOKE_OUTERD_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_SPOKE_THICKNESS_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_POLARANGLE_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_SPOKE_TOTANGLE_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_SPOKE_TWIST_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_CMARGIN_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_STRETCH_H_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_STRETCH_V_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_SKEW_H_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_SKEW_V_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(TEXT_SHAD_DX_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Shad), .trak = P(Delta_Shad)},
    {SLIDER(TEXT_SHAD_DY_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Shad), .trak = P(Delta_Shad)},
    {SLIDER(TEXT_SHAD_OPACITY_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Shad), .trak = P(Delta_Shad)},
    {SLIDER(TEXT_SHAD_RADIUS_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Shad), .trak = P(Delta_Shad)},
    {SLIDER(TEXT_GLOW_OPACITY_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Glow), .trak = P(Delta_Glow)},
    {SLIDER(TEXT_GLOW_RADIUS_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Glow), .trak = P(Delta_Glow)},
    {SLIDER(TEXT_OUTL_RADIUS_SLIDER), .history_op = OP_TEXT_ADJUST, .action = P(Delta_Outl), .trak = P(Delta_Outl)},
    {SLIDER(TEXT_OPACITY_SLIDER), .history_op = OP_TEXT_OPACITY, .action = P(Delta_Text_Major), .trak = P(Delta_Text_Major)},
    {SLIDER(PACK_CLOCK_NINNER_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_CLOCK_NOUTER_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_CLOCK_TOTANGLE_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_CLOCK_START_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_CLOCK_SPACING_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_CLOCK_THICKNESS_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_CLOCK_OUTERD_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_OUTLINE_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_GRID_NX_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_GRID_NY_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_GRID_SPACING_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_GRID_CORNER_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(PACK_ITEM_SIZE_SLIDER), .action = P(Delta_Pack_Item), .trak = P(Delta_Pack_Item)},
    {SLIDER(PACK_LOTUS_N_SLIDER), .action = P(Delta_Pack), .trak = P(Delta_Pack)},
    {SLIDER(GRIDLINES_HORZ_SLIDER), .action = P(GridLines_Delta), .trak = P(GridLines_Delta)},
    {SLIDER(GRIDLINES_VERT_SLIDER), .action = P(GridLines_Delta), .trak = P(GridLines_Delta)},
    {SLIDER(GRIDLINES_DASH_SLIDER), .action = P(GridLines_Delta), .trak = P(GridLines_Delta)},
    {SLIDER(GRIDLINES_OPACITY_SLIDER), .action = P(GridLines_Delta), .trak = P(GridLines_Delta)},
    {SLIDER(PRINT_INNERD_SLIDER), .action = P(Jump_Print_Adjust), .trak = P(Delta_Print_Adjust), .stop = P(Final_Print_Adjust)},
    {SLIDER(PRINT_OUTERD_SLIDER), .action = P(Jump_Print_Adjust), .trak = P(Delta_Print_Adjust), .stop = P(Final_Print_Adjust)},
    {SLIDER(PRINT_BIZSIDE_SLIDER), .action = P(Jump_Print_Adjust), .trak = P(Delta_Print_Adjust), .stop = P(Final_Print_Adjust)},
    {SLIDER(PRINT_WIDTH_SLIDER), .action = P(Jump_Print_Adjust), .trak = P(Delta_Print_Adjust), .stop = P(Final_Print_Adjust)},
    {SLIDER(PRINT_HEIGHT_SLIDER), .action = P(Jump_Print_Adjust), .trak = P(Delta_Print_Adjust), .stop = P(Final_Print_Adjust)},
    {SLIDER(PRINT_DENSITY_SLIDER), .action = P(Delta_Zadaz)},
    {SLIDER(PRINT_QUALITY_SLIDER), .action = P(Delta_Zadaz)},
    {SLIDER(PRINT_NCOPIES_SLIDER), .inert = kStored},
    {SLIDER(LS_CONTRAST_SLIDER), .inert = kStored},
    {SLIDER(LS_COVERAGE_SLIDER), .action = P(Final_Print_Adjust)},
    {SLIDER(TEXTR_SIZE_SLIDER), .state = P(Calc_Override_Vis), .action = P(Delta_Text_Override), .trak = P(Delta_Text_Override)},
    {SLIDER(TEXTR_ANGLE_SLIDER), .state = P(Calc_Override_Vis), .action = P(Delta_Text_Override), .trak = P(Delta_Text_Override)},
    {SLIDER(TEXTR_DX_SLIDER), .state = P(Calc_Override_Vis), .action = P(Delta_Text_Override), .trak = P(Delta_Text_Override)},
    {SLIDER(TEXTR_DY_SLIDER), .state = P(Calc_Override_Vis), .action = P(Delta_Text_Override), .trak = P(Delta_Text_Override)},
    {SLIDER(FLEX_SPEED_SLIDER), .state = P(Calc_Is_Flex_Burning), .inert = kJob},
    {SLIDER(FLEX_DENSITY_SLIDER), .state = P(Calc_Is_Flex_Printing), .inert = kJob},
};
constexpr a_custom_row kCustomRows[] = {
    {CUSTOM(CUSTOM_NULL), .inert = kNoPanel},
    {CUSTOM(CUSTOM_PAPERKIND), .paint = PD(PaperKind_Paint), .mouse = P(PaperKind_MouseDown)},
    {CUSTOM(CUSTOM_PAPERLIST), .keys = P(PaperList_KeyFilter), .paint = PD(PaperList_Paint), .mouse = P(PaperList_MouseDown)},
    {CUSTOM(CUSTOM_OUTERPAT), .paint = P(Fill_LightStripe)},
    {CUSTOM(CUSTOM_RECENT_DOCS), .paint = P(Recent_Paint), .mouse = P(Recent_MouseDown)},
    {CUSTOM(CUSTOM_RECENT_LAYOUTS), .paint = P(RecentLay_Paint), .mouse = P(RecentLay_MouseDown)},
    {CUSTOM(CUSTOM_EXAMPLES), .keys = P(Examples_KeyFilter), .paint = P(Examples_Paint), .mouse = P(Examples_MouseDown)},
    {CUSTOM(CUSTOM_EDIT1), .paint = PD(Edit1_PaintAll), .mouse = P(Edit1_MouseDown), .exit = P(Edit1_Exit)},
    {CUSTOM(CUSTOM_SEP), .paint = P(Separator_Paint)},
    {CUSTOM(CUSTOM_BAR), .keys = P(BarTags_KeyFilter), .paint = P(Bar_Paint), .mouse = P(Bar_MouseDown)},
    {CUSTOM(CUSTOM_NAV), .paint = P(Nav_Paint), .mouse = P(Nav_MouseDown)},
    {CUSTOM(CUSTOM_HISTORY), .paint = P(History_Paint), .mouse = P(History_MouseDown)},
    {CUSTOM(CUSTOM_PHASE), .paint = P(Phase_Paint), .mouse = P(Phase_MouseDown)},
    {CUSTOM(CUSTOM_UNITLIST), .keys = P(UnitList_KeyFilter), .paint = P(UnitList_Paint), .mouse = P(UnitList_MouseDown)},
    {CUSTOM(CUSTOM_PAPERECHO), .paint = P(PaperEcho_PaintAll)},
    {CUSTOM(CUSTOM_PREVIEW), .paint = P(PrintPreview_Paint), .mouse = P(PrintPreview_MouseDown)},
    {CUSTOM(CUSTOM_LAYERS), .paint = P(LayerBar_Paint), .mouse = P(LayerBar_MouseDown), .exit = P(LayerBar_Exit)},
    {CUSTOM(CUSTOM_PSTATUS), .paint = P(PStatus_Paint)},
    {CUSTOM(CUSTOM_STATUS), .paint = P(Status_Paint), .mouse = P(Status_MouseDown)},
    {CUSTOM(CUSTOM_COLORIZE), .paint = P(Colorize_Paint), .mouse = P(Colorize_MouseDown)},
    {CUSTOM(CUSTOM_RULERH), .paint = P(RulerH_Paint)},
    {CUSTOM(CUSTOM_RULERV), .paint = P(RulerV_Paint)},
    {CUSTOM(CUSTOM_QCOMBO), .keys = P(QCombo_KeyFilter), .paint = P(QCombo_Paint), .mouse = P(QCombo_MouseDown)},
};

#undef P
#undef PV
#undef OBJ_STATE
#undef PK
#undef PD
#undef SLIDER
#undef GRID
#undef ONESHOT
#undef TOGGLE
#undef CUSTOM

// Every row either acts or says why it need not, never both.
// (By the procedures' names, which the compiler can read: a row declares a
// procedure with its name.)
constexpr bool Acts(const a_slider_row& r) {
  return r.action.name != nullptr || r.init.name != nullptr || r.trak.name != nullptr || r.stop.name != nullptr;
}
constexpr bool Acts(const a_grid_row& r) { return r.select.name != nullptr || r.statevar >= 0; }
constexpr bool Acts(const a_oneshot_row& r) { return r.action.name != nullptr; }
constexpr bool Acts(const a_toggle_row& r) { return r.proc.name != nullptr; }
constexpr bool Acts(const a_custom_row& r) { return r.paint.name != nullptr || r.mouse.name != nullptr; }
template <typename Row, size_t N>
constexpr bool Rows_Act_Or_Say_Why(const Row (&rows)[N]) {
  for (const Row& r : rows)
    if (Acts(r) == (r.inert != nullptr)) return false;
  return true;
}

static_assert(Rows_In_Order(kSliderRows, NSLIDERS), "a slider row out of order or missing");
static_assert(Rows_In_Order(kGridRows, NGRIDS), "a grid row out of order or missing");
static_assert(Rows_In_Order(kOneShotRows, NONESHOTS), "a one-shot row out of order or missing");
static_assert(Rows_In_Order(kToggleRows, NTOGGLES), "a toggle row out of order or missing");
static_assert(Rows_In_Order(kCustomRows, NCUSTOMS), "a custom area's row out of order or missing");
static_assert(Rows_Act_Or_Say_Why(kSliderRows), "a slider row neither acts nor says why");
static_assert(Rows_Act_Or_Say_Why(kGridRows), "a grid row neither acts nor says why");
static_assert(Rows_Act_Or_Say_Why(kOneShotRows), "a one-shot row neither acts nor says why");
static_assert(Rows_Act_Or_Say_Why(kToggleRows), "a toggle row neither acts nor says why");
static_assert(Rows_Act_Or_Say_Why(kCustomRows), "a custom area's row neither acts nor says why");

// The sliders' rows as far as they are constant: the values' columns.
constexpr std::array<a_slider_item, NSLIDERS> Slider_Value_Rows() {
  std::array<a_slider_item, NSLIDERS> rows{};
  for (int16 s = 0; s < NSLIDERS; ++s) {
    const a_slider_values& v = SLIDER_VALUES[s];
    a_slider_item& r = rows[s];
    r.minval = v.minval;
    r.maxval = v.maxval;
    r.defaultval = v.defaultval;
    r.tiny_step = v.tiny_step;
    r.big_step = v.big_step;
    r.normal_step = v.normal_step;
    r.when_init = v.when_init;
    r.history_op = kSliderRows[s].history_op;
  }
  return rows;
}

void Set_Art(a_basic_item& item, const a_art_item& art) {
  item.src_pixtx = art.pixtx;
  item.src_rect = art.src_rect;
  item.src_verh = art.src_verh;
  item.src_verv = art.src_verv;
  item.translucent = art.translucent;
}

// A label drawn centred into the item at the interface font's size.
void Embed_Label(a_basic_item& item) {
  item.embed_flag = true;
  item.embed_just = JUST_CENTER;
}

}  // namespace

std::array<a_slider_item, NSLIDERS> g_sliders = Slider_Value_Rows();
std::array<a_grid_item, NGRIDS> g_grid;
std::array<a_oneshot_item, NONESHOTS> g_oneshots;
std::array<a_toggle_item, NTOGGLES> g_toggles;
std::array<a_custom_item, NCUSTOMS> g_custom;

std::span<const a_slider_row> Slider_Rows() { return kSliderRows; }
std::span<const a_grid_row> Grid_Rows() { return kGridRows; }
std::span<const a_oneshot_row> OneShot_Rows() { return kOneShotRows; }
std::span<const a_toggle_row> Toggle_Rows() { return kToggleRows; }
std::span<const a_custom_row> Custom_Rows() { return kCustomRows; }

// --- Filling the tables ------------------------------------------------------------

void Intf_Init_Tables() {
  Init_Sliders();
  Init_Grids();
  Init_OneShots();
  Init_Toggles();
  Init_Custom();
}

void Init_Sliders() {
  g_sliders = Slider_Value_Rows();
  for (const a_slider_row& row : kSliderRows) {
    a_slider_item& r = g_sliders[row.id];
    r.stringx = row.id;
    Set_Art(r, ART_ITEM_SLIDER);
    r.show_reset = true;
    r.hiproc = row.state.proc;
    r.jump_proc = row.action.proc;
    r.thumb_init = row.init.proc;
    r.thumb_trak = row.trak.proc;
    r.thumb_stop = row.stop.proc;
    r.incproc = row.step.proc;
  }
  for (int16 s = 0; s < NSLIDERS; ++s) gs.slider_vals[s] = g_sliders[s].defaultval;
}

void Init_Grids() {
  g_grid = {};
  for (const a_grid_row& row : kGridRows) {
    a_grid_item& r = g_grid[row.id];
    const a_art_item& art = *row.art;
    r.stringx = row.stringx;
    r.history_op = row.history_op;
    r.when_init = GRID_VALUES[row.id].when_init;
    r.grid_defaultval = GRID_VALUES[row.id].grid_defaultval;
    r.grid_exclusive = row.id < TAG_PALETTE || row.id > TAG_GLYPHS;
    r.grid_order = LRTB;
    Set_Art(r, art);
    r.grid_ncells = art.grid_ncells;
    r.grid_cell = art.grid_cell;
    r.grid_overlap = art.grid_overlap;
    r.grid_shadow = art.grid_shadow;
    r.keyfilter = row.keys.proc;
    r.grid_hilite = row.state.proc;
    r.grid_select = row.select.proc;
    r.grid_is_statevar = row.statevar >= 0;
    r.grid_statevarx = row.statevar >= 0 ? row.statevar : int16(0);
    r.string_calc = row.label.proc;
    if (row.embed) Embed_Label(r);
    // The node is as large as the cells with their dividers and the shadow.
    r.src_rect.bottom = int16(r.src_rect.top + r.grid_ncells.v * r.grid_cell.v +
                              (r.grid_ncells.v - 1) * (r.grid_dstdiv.v - r.grid_overlap) + r.grid_shadow);
    r.src_rect.right = int16(r.src_rect.left + r.grid_ncells.h * r.grid_cell.h +
                             (r.grid_ncells.h - 1) * (r.grid_dstdiv.h - r.grid_overlap) + r.grid_shadow);
  }
}

void Init_OneShots() {
  g_oneshots = {};
  for (const a_oneshot_row& row : kOneShotRows) {
    a_oneshot_item& r = g_oneshots[row.id];
    r.stringx = row.stringx;
    r.history_op = row.history_op;
    r.when_init = INIT_NEVER;
    Set_Art(r, *row.art);
    r.hiproc = row.state.proc;
    r.keyfilter = row.keys.proc;
    r.one_proc = row.action.proc;
    r.one_draw = row.draw.proc;
    r.one_sound = row.sound;
    if (row.embed) Embed_Label(r);
  }
}

void Init_Toggles() {
  g_toggles = {};
  for (const a_toggle_row& row : kToggleRows) {
    a_toggle_item& r = g_toggles[row.id];
    r.stringx = row.stringx;
    r.history_op = row.history_op;
    r.when_init = TOGGLE_VALUES[row.id].when_init;
    r.toggle_defaultval = TOGGLE_VALUES[row.id].toggle_defaultval;
    Set_Art(r, *row.art);
    // Toggles are drawn opaque.
    r.translucent = false;
    r.hiproc = row.state.proc;
    r.toggle_proc = row.proc.proc;
  }
}

void Init_Custom() {
  g_custom = {};
  for (const a_custom_row& row : kCustomRows) {
    a_custom_item& r = g_custom[row.id];
    r.keyfilter = row.keys.proc;
    r.custom_draw = row.paint.proc;
    r.custom_hit = row.mouse.proc;
    r.custom_exit = row.exit.proc;
  }
  g_paper_echo_proc = PaperEcho_Paint;
}

bool8 Is_Grid_Element(int16 grid, int16 element) {
  if (!Is_Grid(grid)) return false;
  const a_grid_item& r = g_grid[grid];
  return element >= 0 && element < r.grid_ncells.v * r.grid_ncells.h;
}

int16 Slider_Limit_Value(int16 slider, int16 value) {
  if (!Is_Slider(slider)) {
    QUIT();
    return value;
  }
  const a_slider_item& s = g_sliders[slider];
  return value < s.minval ? s.minval : (value > s.maxval ? s.maxval : value);
}

// --- The item procedures -----------------------------------------------------------

a_tri_state Calc_Is_Flex_Burning(int16) { return gs.toggle_vals[FLEX_BURN_TOGGLE] ? PLAIN_BUTTON : HIDDEN_BUTTON; }

a_tri_state Calc_Is_Flex_Printing(int16) { return gs.toggle_vals[FLEX_PRINT_TOGGLE] ? PLAIN_BUTTON : HIDDEN_BUTTON; }

a_tri_state Calc_Flex_OK_Vis(int16) {
  return gs.toggle_vals[FLEX_BURN_TOGGLE] || gs.toggle_vals[FLEX_PRINT_TOGGLE] ? PLAIN_BUTTON : HIDDEN_BUTTON;
}

a_tri_state Calc_Override_Vis(int16) { return Is_Text_Range() ? PLAIN_BUTTON : HIDDEN_BUTTON; }

bool8 Calc_Hilite_PaletteD(int16) { return true; }

int16 Calc_Text_Inc(bool8 upwards, bool8 shiftkey) {
  if (!shiftkey) return 1;
  static constexpr int16 kSizes[] = {4,  5,  6,  7,  8,  9,  10, 11, 12,  13,  14,  15,  16,  18,  21,  24,  28, 32,
                                     36, 40, 44, 50, 55, 60, 66, 72, 80, 88, 96, 115, 138, 166, 200, 240, 288};
  constexpr int kLast = int(std::size(kSizes)) - 1;
  const int16 size = gs.slider_vals[TEXT_SIZE_SLIDER];
  int i = 0;
  while (i < kLast && kSizes[i] <= size) ++i;
  if (upwards) return kSizes[i] > size ? int16(kSizes[i] - size) : int16(0);
  // The next smaller size (below the smallest there is none).
  int j = i - 1;
  if (j >= 0 && !(size > kSizes[j])) --j;
  return j >= 0 && kSizes[j] < size ? int16(size - kSizes[j]) : int16(0);
}

void Calc_Media_Name(int16 element, UStrSpan label) {
  if (label.empty()) return;
  label[0] = 0;
  const a_direct_print_kind kind = Calc_Direct_Print_Kind();
  if (kind < 0 || kind >= NDIRECT_PRINT_KINDS || element < 0 || element >= NMEDIA_SPECS) return;
  // (The preferences record is packed: the name is copied out first.)
  uStr63 name;
  std::memcpy(name, gs.pref.print_media[kind].list[element].label, sizeof name);
  name[63] = 0;
  uStrCopy(name, label);
}

void Print_SelectMedia() {
  const int16 mediax = gs.grid_vals[PRINT_MEDIA_GRID];
  const a_direct_print_kind kind = Calc_Direct_Print_Kind();
  if (mediax < 0 || mediax >= NMEDIA_SPECS || kind < 0 || kind >= NDIRECT_PRINT_KINDS) return;
  g_doc.doc_mediax = mediax;
  gs.pref.print_media[kind].listx = uint16(mediax);
  Load_Print_Adjust();
  Final_Print_Adjust();
}

void Jump_Print_Adjust() {
  Delta_Print_Adjust();
  Final_Print_Adjust();
}

void Delta_Zadaz() {
  a_print_media_spec specs;
  Get_Media_Specs(specs);
  specs.adj[3] = gs.slider_vals[PRINT_DENSITY_SLIDER];
  specs.adj[4] = gs.slider_vals[PRINT_QUALITY_SLIDER];
  Set_Media_Specs(specs);
}

void Delta_Constrain() {
  const int16 h = gs.slider_vals[PHOTO_SIZEH_SLIDER];
  const int16 v = gs.slider_vals[PHOTO_SIZEV_SLIDER];
  if (gs.toggle_vals[PHOTO_CONSTRAIN_TOGGLE] && h != v) {
    const int16 average = int16((int32(h) + v) / 2);
    for (a_slider_enum s : {PHOTO_SIZEH_SLIDER, PHOTO_SIZEV_SLIDER, PHOTO_SIZE_SLIDER}) Slider_Blast(s, average);
  }
  Delta_Photo();
  Config_Tools();
}

void Delta_Photo_Shadow() {
  Toggle_Blast(PHOTO_SHAD_TOGGLE, true);
  Delta_Photo();
}

namespace {

// A text effect turned on shows its page of the text panel.
void Show_Effect_Page(a_toggle_enum toggle, a_grid_enum grid, int16 page) {
  if (gs.toggle_vals[toggle] && gs.grid_vals[grid] != page) Grid_SetVal_Silent(grid, page);
}

}  // namespace

void Do_Text_Glow_Toggle() {
  Show_Effect_Page(TEXT_GLOW_TOGGLE, TEXT_PHASE_GRID, 2);
  Delta_Text_Major();
}

void Do_Text_Shad_Toggle() {
  Show_Effect_Page(TEXT_SHAD_TOGGLE, TEXT_PHASE_GRID, 3);
  Delta_Text_Major();
}

void Do_Text_Outl_Toggle() {
  Show_Effect_Page(TEXT_OUTL_TOGGLE, TEXT_PHASE_GRID, 1);
  Delta_Text_Major();
}

void Do_Photo_Shad_Toggle() {
  Show_Effect_Page(PHOTO_SHAD_TOGGLE, PHOTO_PHASE_GRID, 3);
  Delta_Photo();
}

void Delta_Photo_Phase() {
  // The shadow toggle has a look of its own on the shadow page.
  const a_art_item& art =
      gs.grid_vals[PHOTO_PHASE_GRID] == 3 ? ART_ITEM_PHOTO_SHAD_TOGGLE_ALT : ART_ITEM_PHOTO_SHAD_TOGGLE;
  g_toggles[PHOTO_SHAD_TOGGLE].src_rect = art.src_rect;
  Toggle_Inval(PHOTO_SHAD_TOGGLE);
  SV_Set_Virtual(SV_CONFIG_LSIDE);
  Calc_Tool_Net();
}

void Delta_Edge() {
  SV_Set_Virtual(SV_CONFIG_LSIDE);
  Calc_Tool_Net();
  Delta_Photo();
}

void Delta_Pack_Kind() {
  Config_LSide();
  Delta_Pack();
}

void Delta_Sort_Grid() { Config_Tools(); }

void Delta_Proj_Age() { Config_All(); }

void GridLines_Toggle() { Repaint_All(); }

void GridLines_Delta() {
  if (!gs.toggle_vals[GRIDLINES_TOGGLE]) Toggle_Click(GRIDLINES_TOGGLE);
  Repaint_All();
}

void GridLines_Center() {
  GridLines_Delta();
  if (!g_doc.doc_open || g_doc.up == nullptr) return;
  const Rect& b = g_doc.up->paintbounds;
  g_doc.up->ruler_origin = Point{int16((b.top + b.bottom) / 2), int16((b.left + b.right) / 2)};
}

void CutLines_Toggle() {
  gs.pref.cutlines_option = gs.toggle_vals[CUTLINES_TOGGLE];
  Custom_Inval(CUSTOM_EDIT1);
}

void Rulers_Toggle() {
  gs.pref.ruler_option = gs.toggle_vals[RULERS_TOGGLE];
  Config_EditArea();
}

void Rulers_Delta_Units() {
  Custom_Inval(CUSTOM_RULERH);
  Custom_Inval(CUSTOM_RULERV);
}

void QCombo_Reset() {
  g_doc.doc_ncopies = 1;
  Custom_Inval(CUSTOM_QCOMBO);
}

void QCombo_All() {
  g_doc.doc_ncopies = 0;
  Custom_Inval(CUSTOM_QCOMBO);
}

void Paper_OK() { Proj_PickLayout2(Get_Selected_TemplateX()); }

void Paper_Cancel() { SV_Set_Enum(SV_PHASE, NODOC_PHASE); }

void PaperEcho_PaintAll(const Rect& bounds) { PaperEcho_Draw(bounds); }

void Flex_Burn_Toggle() {}
void Do_Text_Undl_Toggle() {}
void Feed_Select() {}
