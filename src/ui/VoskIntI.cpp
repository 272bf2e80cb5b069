#include "ui/VoskIntI.h"

#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskHist.h"
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
#include "ui/VoskFun2.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"
#include "ui/VoskStus.h"

namespace {

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
    r.history_op = v.history_op;
  }
  return rows;
}

// The tips and labels of the rows (list 200; 0: none).
constexpr int16 GRID_STRINGS[NGRIDS] = {
    261, 375, 0,   266, 200, 204, 276, 208, 280, 213, 284, 289, 69,  41,  82,  0,   78,  75,  85,  87,
    51,  0,   291, 293, 298, 298, 299, 300, 301, 302, 389, 303, 304, 305, 306, 307, 308, 309, 374, 0,
};
constexpr int16 ONESHOT_STRINGS[NONESHOTS] = {
    0,   22,  84,  120, 0,   0,   0,   0,   0,   0,   0,   310, 311, 122, 122, 122, 122, 123, 35,  36,  47,  47,
    35,  36,  117, 47,  47,  89,  89,  89,  0,   0,   0,   0,   0,   0,   0,   219, 90,  92,  0,   91,  8,   105,
    312, 313, 0,   383, 244, 245, 246, 247, 248, 249, 250, 251, 314, 315, 316, 317, 320, 319, 318, 321, 322, 0,
    35,  36,  117, 47,  47,  39,  8,   105, 8,   105, 257, 258, 259, 0,   0,   407, 8,   0,   410, 0,
};
constexpr int16 TOGGLE_STRINGS[NTOGGLES] = {
    0, 0, 225, 226, 325, 326, 327, 382, 225, 226, 382, 0, 0, 326, 330, 331, 357, 329, 332, 333, 334, 0, 0, 411, 0,
};

// The one-shot buttons whose label is drawn into them.
constexpr a_oneshot_enum ONESHOT_EMBEDDED[] = {
    PROJ_QUIT_BUTTON,   PROJ_PICKLAYOUT_BUTTON, PROJ_OPEN_BUTTON,    TEXT_OK_BUTTON,    TEXT_CANCEL_BUTTON,
    TEXTR_RESET_BUTTON, PAPER_OK_BUTTON,        PAPER_CANCEL_BUTTON, PACK_OK_BUTTON,    PACK_CANCEL_BUTTON,
    PACK_GET_BUTTON,    PACK_DUP_BUTTON,        PACK_CLEAR_BUTTON,   FLEXSTICK_OK_BUTTON, FLEXLABEL_OK_BUTTON,
};

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

// The procedures of the sliders' rows.
void Slider_Procs(a_slider_enum s, a_item_proc jump, a_item_proc init, a_item_proc trak, a_item_proc stop) {
  a_slider_item& r = g_sliders[s];
  r.jump_proc = jump;
  r.thumb_init = init;
  r.thumb_trak = trak;
  r.thumb_stop = stop;
}
// The many sliders whose one procedure also follows the drag.
void Slider_Live(a_slider_enum first, a_slider_enum last, a_item_proc proc) {
  for (int16 s = first; s <= last; ++s) Slider_Procs(a_slider_enum(s), proc, nullptr, proc, nullptr);
}

// The object modules' display states as item states.
a_tri_state Hilite_Just1(int16) { return a_tri_state(Calc_Hilite_Just1()); }
a_tri_state Hilite_ObjNew(int16) { return a_tri_state(Calc_Hilite_ObjNew()); }
a_tri_state Hilite_Sel1(int16) { return a_tri_state(Calc_Hilite_Sel1()); }
a_tri_state Hilite_Del(int16) { return a_tri_state(Calc_Hilite_Del()); }

void Paint_PaperKind(const Rect&) { PaperKind_Paint(); }
void Paint_PaperList(const Rect&) { PaperList_Paint(); }

}  // namespace

std::array<a_slider_item, NSLIDERS> g_sliders = Slider_Value_Rows();
std::array<a_grid_item, NGRIDS> g_grid;
std::array<a_oneshot_item, NONESHOTS> g_oneshots;
std::array<a_toggle_item, NTOGGLES> g_toggles;
std::array<a_custom_item, NCUSTOMS> g_custom;

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
  for (int16 s = 0; s < NSLIDERS; ++s) {
    a_slider_item& r = g_sliders[s];
    r.stringx = s;
    Set_Art(r, ART_ITEM_SLIDER);
    r.show_reset = true;
  }
  Slider_Live(CANV_FUZZ_IN_SLIDER, CANV_FUZZ_OUT_SLIDER, Canvas_Fuzz_Delta);
  Slider_Procs(STAMP_SKEWX_SLIDER, nullptr, SkewX_Thumb, SkewX_Thumb, nullptr);
  Slider_Procs(STAMP_SKEWY_SLIDER, nullptr, SkewY_Thumb, SkewY_Thumb, nullptr);
  Slider_Procs(STAMP_BENDX_SLIDER, nullptr, BendX_Thumb, BendX_Thumb, nullptr);
  Slider_Procs(STAMP_BENDY_SLIDER, nullptr, BendY_Thumb, BendY_Thumb, nullptr);
  Slider_Procs(SYMMETRY_COUNT_SLIDER, Symmetry_Select, nullptr, nullptr, nullptr);
  Slider_Live(COLOR_SAT_SLIDER, COLOR_SAT_SLIDER, Delta_Photo);
  for (int16 s = PHOTO_SIZE_SLIDER; s <= PHOTO_ANGLE_SLIDER; ++s)
    Slider_Procs(a_slider_enum(s), Delta_Photo, Init_Photo_Geom, Track_Photo_Geom, Stop_Photo_Geom);
  Slider_Procs(PHOTO_DARKNESS_SLIDER, Delta_Photo, nullptr, nullptr, nullptr);
  Slider_Procs(PHOTO_OPACITY_SLIDER, Delta_Photo, nullptr, nullptr, nullptr);
  Slider_Live(PHOTO_CORNER_SLIDER, PHOTO_EDGE_ROUGH_SLIDER, Delta_Photo);
  Slider_Live(PHOTO_SHAD_DX_SLIDER, PHOTO_SHAD_RADIUS_SLIDER, Delta_Photo_Shadow);
  for (int16 s = SYMBOL_SIZE_SLIDER; s <= SYMBOL_ANGLE_SLIDER; ++s)
    Slider_Procs(a_slider_enum(s), Delta_Symbol, Init_Symbol_Geom, Track_Symbol_Geom, Stop_Symbol_Geom);
  Slider_Procs(SYMBOL_OPACITY_SLIDER, Delta_Symbol, nullptr, nullptr, nullptr);
  Slider_Live(TEXT_SIZE_SLIDER, TEXT_SKEW_V_SLIDER, Delta_Text_Major);
  g_sliders[TEXT_SIZE_SLIDER].incproc = Calc_Text_Inc;
  Slider_Live(TEXT_SHAD_DX_SLIDER, TEXT_SHAD_RADIUS_SLIDER, Delta_Shad);
  Slider_Live(TEXT_GLOW_OPACITY_SLIDER, TEXT_GLOW_RADIUS_SLIDER, Delta_Glow);
  Slider_Live(TEXT_OUTL_RADIUS_SLIDER, TEXT_OUTL_RADIUS_SLIDER, Delta_Outl);
  Slider_Live(TEXT_OPACITY_SLIDER, TEXT_OPACITY_SLIDER, Delta_Text_Major);
  Slider_Live(PACK_CLOCK_NINNER_SLIDER, PACK_GRID_CORNER_SLIDER, Delta_Pack);
  Slider_Live(PACK_ITEM_SIZE_SLIDER, PACK_ITEM_SIZE_SLIDER, Delta_Pack_Item);
  Slider_Live(PACK_LOTUS_N_SLIDER, PACK_LOTUS_N_SLIDER, Delta_Pack);
  Slider_Live(GRIDLINES_HORZ_SLIDER, GRIDLINES_OPACITY_SLIDER, GridLines_Delta);
  for (int16 s = PRINT_INNERD_SLIDER; s <= PRINT_HEIGHT_SLIDER; ++s)
    Slider_Procs(a_slider_enum(s), Jump_Print_Adjust, nullptr, Delta_Print_Adjust, Final_Print_Adjust);
  Slider_Procs(PRINT_DENSITY_SLIDER, Delta_Zadaz, nullptr, nullptr, nullptr);
  Slider_Procs(PRINT_QUALITY_SLIDER, Delta_Zadaz, nullptr, nullptr, nullptr);
  Slider_Procs(LS_COVERAGE_SLIDER, Final_Print_Adjust, nullptr, nullptr, nullptr);
  for (int16 s = TEXTR_SIZE_SLIDER; s <= TEXTR_DY_SLIDER; ++s) {
    Slider_Live(a_slider_enum(s), a_slider_enum(s), Delta_Text_Override);
    g_sliders[s].hiproc = Calc_Override_Vis;
  }
  g_sliders[FLEX_SPEED_SLIDER].hiproc = Calc_Is_Flex_Burning;
  g_sliders[FLEX_DENSITY_SLIDER].hiproc = Calc_Is_Flex_Printing;

  for (int16 s = 0; s < NSLIDERS; ++s) gs.slider_vals[s] = g_sliders[s].defaultval;
}

void Init_Grids() {
  g_grid = {};
  for (int16 g = 0; g < NGRIDS; ++g) {
    a_grid_item& r = g_grid[g];
    const a_art_item& art = ART_GRID_ITEMS[g];
    r.stringx = GRID_STRINGS[g];
    r.history_op = GRID_VALUES[g].history_op;
    r.when_init = GRID_VALUES[g].when_init;
    r.grid_defaultval = GRID_VALUES[g].grid_defaultval;
    r.grid_exclusive = g < TAG_PALETTE || g > TAG_GLYPHS;
    r.grid_order = LRTB;
    Set_Art(r, art);
    r.grid_ncells = art.grid_ncells;
    r.grid_cell = art.grid_cell;
    r.grid_overlap = art.grid_overlap;
    r.grid_shadow = art.grid_shadow;
  }
  const struct {
    a_grid_enum g;
    a_item_proc select;
  } selects[] = {
      {PROJ_AGE_GRID, Delta_Proj_Age},       {PROJ_SORT_GRID, Delta_Sort_Grid},   {PRINT_MEDIA_GRID, Print_SelectMedia},
      {TEXT_VJUST_GRID, Delta_Text_Major},   {TEXT_CJUST_GRID, Delta_Text_Major}, {PHOTO_PHASE_GRID, Delta_Photo_Phase},
      {PHOTO_EDGE_GRID, Delta_Edge},         {PACK_KIND_GRID, Delta_Pack_Kind},   {ERASER_GRID, Config_Tools},
      {PACK_ORIENT_GRID, Delta_Pack_Orient},
      {MARQ_KIND_GRID, Config_Tools},        {RULERS_UNITS_GRID, Rulers_Delta_Units}, {TEXT_PHASE_GRID, Delta_Text_Phase},
      {SYMMETRY_KIND_GRID, Symmetry_Select}, {TEXT_LAYOUT_GRID, Delta_Text_Layout}, {TEXT_HJUST_GRID, Delta_Horz_Just},
      {GRAD_KIND_GRID, Grad_Kind_Select},    {GRAD_DIR_GRID, Grad_Dir_Select},    {BRUSH_SHAPE_GRID, Brush_Select},
  };
  for (const auto& s : selects) g_grid[s.g].grid_select = s.select;
  g_grid[TOOL_GRID].grid_is_statevar = true;
  g_grid[TOOL_GRID].grid_statevarx = SV_TOOL_SELECTION;
  g_grid[ZOOM_GRID].grid_is_statevar = true;
  g_grid[ZOOM_GRID].grid_statevarx = SV_ZOOM_IX;
  g_grid[TAG_PALETTED].grid_hilite = Calc_Hilite_PaletteD;
  for (a_grid_enum g : {PROJ_AGE_GRID, PROJ_SORT_GRID, PRINT_MEDIA_GRID}) Embed_Label(g_grid[g]);
  g_grid[PRINT_MEDIA_GRID].string_calc = Calc_Media_Name;

  // The node is as large as the cells with their dividers and the shadow.
  for (a_grid_item& r : g_grid) {
    r.src_rect.bottom = int16(r.src_rect.top + r.grid_ncells.v * r.grid_cell.v +
                              (r.grid_ncells.v - 1) * (r.grid_dstdiv.v - r.grid_overlap) + r.grid_shadow);
    r.src_rect.right = int16(r.src_rect.left + r.grid_ncells.h * r.grid_cell.h +
                             (r.grid_ncells.h - 1) * (r.grid_dstdiv.h - r.grid_overlap) + r.grid_shadow);
  }
}

void Init_OneShots() {
  g_oneshots = {};
  for (int16 o = 0; o < NONESHOTS; ++o) {
    a_oneshot_item& r = g_oneshots[o];
    r.stringx = ONESHOT_STRINGS[o];
    r.history_op = ONESHOT_HISTORY_OPS[o];
    r.when_init = INIT_NEVER;
    Set_Art(r, ART_ONESHOT_ITEMS[o]);
  }
  for (a_oneshot_enum o : ONESHOT_EMBEDDED) Embed_Label(g_oneshots[o]);
  g_oneshots[PROJ_LANG_BUTTON].one_draw = Language_Draw;
  const struct {
    a_oneshot_enum o;
    a_item_proc action;
  } actions[] = {
      {PROJ_LANG_BUTTON, Proj_Language},
      {PROJ_PICKLAYOUT_BUTTON, Proj_PickLayout},
      {PRINT_SETUP_BUTTON, Print_Setup},
      {PRINT_MEDIANAME_BUTTON, Edit_Media_Name},
      {TEXT_EDIT_BUTTON, Text_Edit},
      {TEXT_NEW_BUTTON, Text_New},
      {OBJ_DUP_BUTTON, Enum_Obj_Dup},
      {OBJ_DEL_BUTTON, Enum_Obj_Del},
      {PHOTO_DUP_BUTTON, Enum_Obj_Dup},
      {PHOTO_DEL_BUTTON, Enum_Obj_Del},
      {PHOTO_CROP_BUTTON, Photo_Crop},
      {PAPER_OK_BUTTON, Paper_OK},
      {PAPER_CANCEL_BUTTON, Paper_Cancel},
      {PHOTO_COLLAGE_BUTTON, Pack_New},
      {PACK_OK_BUTTON, Pack_OK},
      {PACK_CANCEL_BUTTON, Pack_Cancel},
      {PACK_GET_BUTTON, Pack_Get},
      {PACK_DUP_BUTTON, Pack_DupSlot},
      {PACK_CLEAR_BUTTON, Pack_ClearSlot},
      {GRIDLINES_CENTER_BUTTON, GridLines_Center},
      {QCOMBO_RESET_BUTTON, QCombo_Reset},
      {QCOMBO_ALL_BUTTON, QCombo_All},
      {TEXT_OK_BUTTON, Edit_OK},
      {TEXT_CANCEL_BUTTON, Edit_Cancel},
      {TEXTR_RESET_BUTTON, Text_Clear_Overrides},
      {OBJ_ALIGN_H_L, Enum_Align_H_L},
      {OBJ_ALIGN_H_C, Enum_Align_H_C},
      {OBJ_ALIGN_H_R, Enum_Align_H_R},
      {OBJ_ALIGN_V_T, Enum_Align_V_T},
      {OBJ_ALIGN_V_C, Enum_Align_V_C},
      {OBJ_ALIGN_V_B, Enum_Align_V_B},
      {OBJ_SPREAD_H, Obj_Spread_H},
      {OBJ_SPREAD_V, Obj_Spread_V},
      {CANV_FLIPX_BUTTON, Canvas_FlipX},
      {CANV_FLIPY_BUTTON, Canvas_FlipY},
      {CANV_INVERT_BUTTON, Canvas_Invert},
      {CANV_ROTATECW_BUTTON, Canvas_Rotate_CW},
      {CANV_ROTATECCW_BUTTON, Canvas_Rotate_CCW},
      {PAINT_ZAP_BUTTON, Paint_Clear_All},
      {SYMBOL_NEW_BUTTON, Symbol_New},
      {PHOTO_NEW_BUTTON, Photo_New},
      {PHOTO_REPLACE_BUTTON, Photo_Replace},
      {PHOTO_FIX_BUTTON, Photo_Fix},
      {PHOTO_FLIPX_BUTTON, Photo_FlipX},
      {PHOTO_FLIPY_BUTTON, Photo_FlipY},
      {PHOTO_INVERT_BUTTON, Photo_Invert},
      {PHOTO_ROTATECW_BUTTON, Photo_Rotate_CW},
      {PHOTO_ROTATECCW_BUTTON, Photo_Rotate_CCW},
  };
  for (const auto& a : actions) g_oneshots[a.o].one_proc = a.action;
  const struct {
    a_oneshot_enum o;
    a_state_proc state;
  } states[] = {
      {TEXT_EDIT_BUTTON, Hilite_Just1},   {TEXT_NEW_BUTTON, Hilite_ObjNew},     {TEXTR_RESET_BUTTON, Calc_Override_Vis},
      {OBJ_DUP_BUTTON, Hilite_Sel1},      {OBJ_DEL_BUTTON, Hilite_Del},         {SYMBOL_NEW_BUTTON, Hilite_ObjNew},
      {PHOTO_NEW_BUTTON, Hilite_ObjNew},  {PHOTO_DUP_BUTTON, Hilite_Sel1},      {PHOTO_DEL_BUTTON, Hilite_Del},
      {FLEXSTICK_OK_BUTTON, Calc_Flex_OK_Vis},
  };
  for (const auto& s : states) g_oneshots[s.o].hiproc = s.state;
  g_oneshots[PAINT_ZAP_BUTTON].one_sound = SND_CLEAR_FAST;
  g_oneshots[BAR_PREV_BUTTON].one_sound = SND_BAR_PREV;
  g_oneshots[BAR_INDEX_BUTTON].one_sound = SND_BAR_INDEX;
  g_oneshots[BAR_NEXT_BUTTON].one_sound = SND_BAR_NEXT;
}

void Init_Toggles() {
  g_toggles = {};
  for (int16 x = 0; x < NTOGGLES; ++x) {
    a_toggle_item& r = g_toggles[x];
    r.stringx = TOGGLE_STRINGS[x];
    r.history_op = TOGGLE_VALUES[x].history_op;
    r.when_init = TOGGLE_VALUES[x].when_init;
    r.toggle_defaultval = TOGGLE_VALUES[x].toggle_defaultval;
    Set_Art(r, ART_TOGGLE_ITEMS[x]);
    // Toggles are drawn opaque.
    r.translucent = false;
  }
  const struct {
    a_toggle_enum x;
    a_item_proc proc;
  } procs[] = {
      {TEXT_BOLD_TOGGLE, Delta_Text_Major},       {TEXT_ITAL_TOGGLE, Delta_Text_Major},
      {TEXT_GLOW_TOGGLE, Do_Text_Glow_Toggle},    {TEXT_SHAD_TOGGLE, Do_Text_Shad_Toggle},
      {TEXT_OUTL_TOGGLE, Do_Text_Outl_Toggle},    {TEXT_UNDL_TOGGLE, Do_Text_Undl_Toggle},
      {TEXTR_BOLD_TOGGLE, Delta_Text_Override},   {TEXTR_ITAL_TOGGLE, Delta_Text_Override},
      {TEXTR_UNDL_TOGGLE, Delta_Text_Override},   {PHOTO_SHAD_TOGGLE, Do_Photo_Shad_Toggle},
      {PHOTO_TRANSP_TOGGLE, Delta_Photo},         {PHOTO_CONSTRAIN_TOGGLE, Delta_Constrain},
      {LASERJET_TOGGLE, Feed_Select},             {GRIDLINES_TOGGLE, GridLines_Toggle},
      {CUTLINES_TOGGLE, CutLines_Toggle},         {RULERS_TOGGLE, Rulers_Toggle},
      {FLEX_BURN_TOGGLE, Flex_Burn_Toggle},       {FLEX_PRINT_TOGGLE, Config_Tools},
      {FLEX_GRAY_TOGGLE, Curr_Unit_PostRender},
  };
  for (const auto& p : procs) g_toggles[p.x].toggle_proc = p.proc;
  for (a_toggle_enum x : {TEXTR_BOLD_TOGGLE, TEXTR_ITAL_TOGGLE, TEXTR_UNDL_TOGGLE})
    g_toggles[x].hiproc = Calc_Override_Vis;
  g_toggles[FLEX_GRAY_TOGGLE].hiproc = Calc_Is_Flex_Printing;
  g_toggles[FLEX_VERIFY_TOGGLE].hiproc = Calc_Is_Flex_Burning;
}

void Init_Custom() {
  g_custom = {};
  g_custom[CUSTOM_PAPERKIND].custom_draw = Paint_PaperKind;
  g_custom[CUSTOM_PAPERKIND].custom_hit = PaperKind_MouseDown;
  g_custom[CUSTOM_PAPERLIST].keyfilter = PaperList_KeyFilter;
  g_custom[CUSTOM_PAPERLIST].custom_draw = Paint_PaperList;
  g_custom[CUSTOM_PAPERLIST].custom_hit = PaperList_MouseDown;
  g_custom[CUSTOM_OUTERPAT].custom_draw = Fill_LightStripe;
  g_custom[CUSTOM_PAPERECHO].custom_draw = PaperEcho_PaintAll;
  g_paper_echo_proc = PaperEcho_Paint;
  g_custom[CUSTOM_RECENT_DOCS].custom_draw = Recent_Paint;
  g_custom[CUSTOM_RECENT_DOCS].custom_hit = Recent_MouseDown;
  g_custom[CUSTOM_RECENT_LAYOUTS].custom_draw = RecentLay_Paint;
  g_custom[CUSTOM_RECENT_LAYOUTS].custom_hit = RecentLay_MouseDown;
  g_custom[CUSTOM_UNITLIST].keyfilter = UnitList_KeyFilter;
  g_custom[CUSTOM_UNITLIST].custom_draw = UnitList_Paint;
  g_custom[CUSTOM_UNITLIST].custom_hit = UnitList_MouseDown;
  g_custom[CUSTOM_HISTORY].custom_draw = History_Paint;
  g_custom[CUSTOM_HISTORY].custom_hit = History_MouseDown;
  g_custom[CUSTOM_EDIT1].custom_draw = [](const Rect&) { Edit1_PaintAll(); };
  g_custom[CUSTOM_EDIT1].custom_hit = Edit1_MouseDown;
  g_custom[CUSTOM_EDIT1].custom_exit = Edit1_Exit;
  g_custom[CUSTOM_PREVIEW].custom_draw = PrintPreview_Paint;
  g_custom[CUSTOM_PREVIEW].custom_hit = PrintPreview_MouseDown;
  g_custom[CUSTOM_EXAMPLES].keyfilter = Examples_KeyFilter;
  g_custom[CUSTOM_EXAMPLES].custom_draw = Examples_Paint;
  g_custom[CUSTOM_EXAMPLES].custom_hit = Examples_MouseDown;
  g_custom[CUSTOM_SEP].custom_draw = Separator_Paint;
  g_custom[CUSTOM_PHASE].custom_draw = Phase_Paint;
  g_custom[CUSTOM_PHASE].custom_hit = Phase_MouseDown;
  g_custom[CUSTOM_LAYERS].custom_draw = LayerBar_Paint;
  g_custom[CUSTOM_LAYERS].custom_hit = LayerBar_MouseDown;
  g_custom[CUSTOM_LAYERS].custom_exit = LayerBar_Exit;
  // The read-outs: navigator, status lines, colour wheel and rulers.
  Stus_Init_Items();
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
