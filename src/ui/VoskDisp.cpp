#include "ui/VoskDisp.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskFile.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "objects/VoskPhot.h"
#include "objects/VoskSym.h"
#include "objects/VoskText.h"
#include "pixel/DrawUtilMasked.h"
#include "platform/SysLoop.h"
#include "platform/SysPrint.h"
#include "platform/SysScrap.h"
#include "platform/SysSound.h"
#include "platform/SysTimer.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskBrow.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntf.h"
#include "ui/VoskMenu.h"

namespace {
constexpr uint8 kEscape = 27;
constexpr uint8 kReturn = 13;
constexpr int16 kAlertRestoreMenus = 26;

// --- File ----------------------------------------------------------------------------

// The layout chooser until the start screen has its paper list: the
// catalogue's layouts in the browser, opening on the layout used last, and
// a new document on the one chosen.
void New_Project() {
  gs.grid_vals[PROJ_AGE_GRID] = 0;
  int16 newest = -1;
  a_layout_usage_rec best{};
  for (int16 slot = 0; slot < MAX_NRECENTLAY; ++slot) {
    a_layout_usage_rec rec;
    std::memcpy(&rec, &gs.pref.recentlay[slot], sizeof rec);
    if (rec.count == 0 || RecentLay_TemplateX(slot) == 0) continue;
    const auto key = [](const a_layout_usage_rec& r) {
      const DateTimeRec& w = r.when;
      return std::array<int32, 6>{w.year, w.month, w.day, w.hour, w.minute, w.second};
    };
    if (newest < 0 || key(rec) > key(best)) {
      newest = slot;
      best = rec;
    }
  }
  int16 chosen = int16(newest >= 0 ? RecentLay_TemplateX(newest) : 1);
  if (Browser_Choose(PAPER_BAR, chosen)) Proj_PickLayout2(uint32(chosen));
}

// --- Edit ----------------------------------------------------------------------------

void Install_Scrap_Readers() {
  a_scrap_readers readers{};
  readers.paste_ph = Do_Paste_PH;
  readers.paste_mw = Do_Paste_MW;
  Scrap_Set_Readers(readers);
}

void Cut_Copy(bool cut) {
  Scrap_Clear();
  switch (gs.curr_phase) {
    case SYMBOL_PHASE:
    case PHOTO_PHASE:
    case TEXT_PHASE:
      Scrap_Add_FirstBlock();
      if (cut) Enum_Obj_Del();
      break;
    default: Sound_Effect(SND_NULL); break;
  }
}

void Paste() {
  if (!g_doc.doc_open) {
    Sound_Effect(SND_NULL);
    return;
  }
  Install_Scrap_Readers();
  if (!Scrap_Paste()) Sound_Effect(SND_NULL);
}

// --- The tool panels' commands --------------------------------------------------------

void Press_Oneshot(int16 button) {
  switch (button) {
    case CANV_FLIPX_BUTTON: Canvas_FlipX(); break;
    case CANV_FLIPY_BUTTON: Canvas_FlipY(); break;
    case CANV_INVERT_BUTTON: Canvas_Invert(); break;
    case CANV_ROTATECW_BUTTON: Canvas_Rotate_CW(); break;
    case CANV_ROTATECCW_BUTTON: Canvas_Rotate_CCW(); break;
    case PAINT_ZAP_BUTTON: Paint_Clear_All(); break;
    case OBJ_DUP_BUTTON:
    case PHOTO_DUP_BUTTON: Enum_Obj_Dup(); break;
    case OBJ_DEL_BUTTON:
    case PHOTO_DEL_BUTTON: Enum_Obj_Del(); break;
    case SYMBOL_NEW_BUTTON: Symbol_New(); break;
    case PHOTO_NEW_BUTTON: Photo_New(); break;
    case PHOTO_REPLACE_BUTTON: Photo_Replace(); break;
    case PHOTO_CROP_BUTTON: Photo_Crop(); break;
    case PHOTO_FIX_BUTTON: Photo_Fix(); break;
    case PHOTO_FLIPX_BUTTON: Photo_FlipX(); break;
    case PHOTO_FLIPY_BUTTON: Photo_FlipY(); break;
    case PHOTO_INVERT_BUTTON: Photo_Invert(); break;
    case PHOTO_ROTATECW_BUTTON: Photo_Rotate_CW(); break;
    case PHOTO_ROTATECCW_BUTTON: Photo_Rotate_CCW(); break;
    default: Sound_Effect(SND_NULL); return;
  }
  if (ONESHOT_HISTORY_OPS[button] != OP_NOP) pending_op = ONESHOT_HISTORY_OPS[button];
}

// The procedure a slider's change calls.
void Slider_Action(int16 slider) {
  switch (slider) {
    case CANV_DARKNESS_SLIDER: Delta_Canvas(); break;
    case CANV_FUZZ_IN_SLIDER:
    case CANV_FUZZ_OUT_SLIDER: Canvas_Fuzz_Delta(); break;
    case COLOR_SAT_SLIDER:
    case COLOR_HUE_SLIDER:
    case COLOR_DIST_SLIDER:
      if (gs.curr_phase == CANVAS_PHASE)
        Delta_Canvas();
      else
        Delta_Photo();
      break;
    case SYMBOL_SIZE_SLIDER:
    case SYMBOL_ANGLE_SLIDER:
    case SYMBOL_OPACITY_SLIDER: Delta_Symbol(); break;
    case TEXT_SHAD_DX_SLIDER:
    case TEXT_SHAD_DY_SLIDER:
    case TEXT_SHAD_OPACITY_SLIDER:
    case TEXT_SHAD_RADIUS_SLIDER: Delta_Shad(); break;
    case TEXT_GLOW_OPACITY_SLIDER:
    case TEXT_GLOW_RADIUS_SLIDER: Delta_Glow(); break;
    case TEXT_OUTL_RADIUS_SLIDER: Delta_Outl(); break;
    default:
      if (slider >= PHOTO_SIZE_SLIDER && slider <= PHOTO_SHAD_RADIUS_SLIDER) Delta_Photo();
      if ((slider >= TEXT_SIZE_SLIDER && slider <= TEXT_SKEW_V_SLIDER) || slider == TEXT_OPACITY_SLIDER)
        Delta_Text_Major();
      break;
  }
}

void Step_Slider(int16 slider, int16 delta) {
  if (slider <= NULL_SLIDER || slider >= NSLIDERS) {
    Sound_Effect(SND_NULL);
    return;
  }
  const int16 old = gs.slider_vals[slider];
  const int16 value = Slider_Limit_Value(slider, int16(std::clamp<int32>(int32(old) + delta, -32768, 32767)));
  if (value == old) {
    Sound_Effect(SND_LIMIT);
    return;
  }
  gs.slider_vals[slider] = value;
  pending_op = SLIDER_VALUES[slider].history_op;
  Slider_Action(slider);
}

void Choose_From_Bar(int16 bar) {
  if (bar < 0 || bar >= NBARS) {
    Sound_Effect(SND_NULL);
    return;
  }
  int16 chosen = gs.bar_selection[bar];
  if (!Browser_Choose(a_bar(bar), chosen)) return;
  gs.bar_selection[bar] = chosen;
  switch (bar) {
    case CANVAS_BAR: Canvas_Select(); break;
    case SYMBOLS_COLORBAR:
      pending_op = OP_SYMBOL_SETCOLOR;
      Delta_Symbol();
      break;
    case EDGE_OUTL_COLORBAR:
    case EDGE_BORD_COLORBAR:
      pending_op = OP_PHOTO_ADJUST;
      Delta_Photo();
      break;
    default: break;
  }
}

// A command of the tool panels by number; FALSE when n is none of them.
bool Panel_Command(int32 n) {
  if (n >= PANEL_ONESHOT && n < PANEL_ONESHOT + NONESHOTS) {
    Press_Oneshot(int16(n - PANEL_ONESHOT));
  } else if (n >= PANEL_SLIDER_UP && n < PANEL_SLIDER_UP + NSLIDERS) {
    Step_Slider(int16(n - PANEL_SLIDER_UP), 1);
  } else if (n >= PANEL_SLIDER_DOWN && n < PANEL_SLIDER_DOWN + NSLIDERS) {
    Step_Slider(int16(n - PANEL_SLIDER_DOWN), -1);
  } else if (n >= PANEL_BAR && n < PANEL_BAR + NBARS) {
    Choose_From_Bar(int16(n - PANEL_BAR));
  } else if (n >= PANEL_PHASE && n <= PANEL_PHASE + NULL_PHASE) {
    if (g_doc.doc_open)
      SV_Set_Enum(SV_PHASE, uint8(n - PANEL_PHASE));
    else
      Sound_Effect(SND_NULL);
  } else if (n >= PANEL_TEXT_LAYOUT && n < PANEL_TEXT_LAYOUT + NTEXT_LAYOUTS) {
    gs.grid_vals[TEXT_LAYOUT_GRID] = int16(n - PANEL_TEXT_LAYOUT);
    Delta_Text_Layout();
  } else {
    return false;
  }
  return true;
}

}  // namespace

void Scrap_Add_FirstBlock() {
  // The first selected object (the phase's own kinds once entering a phase
  // deselects the others).
  int32 omx = ENUM_START;
  const a_oj_item* item = Enum(true, true, OBJECT_KINDS, omx) ? Obj_Item(omx) : nullptr;
  if (item == nullptr || (item->kind != PHOTO_BLOCK && item->kind != SYMBOL_BLOCK)) {
    Sound_Effect(SND_NULL);
    return;
  }
  Scrap_Add_PH(item->kind, item->ph);
}

void Do_Paste_MW(a_picture_scan_rec& scan) {
  SV_Set_Enum(SV_PHASE, PHOTO_PHASE);
  SV_Finish();
  a_masked_gworld world = scan.body;
  Null_MW(scan.body);
  Photo_Paste(world, SOURCE_CLIPBOARD);
}

namespace {
constexpr int16 kFileOpen = 2;      // "Open Project..." (Ctrl+O), command 302
constexpr int16 kFileClose = 3;     // "Close" (Ctrl+W)
constexpr int16 kFileSave = 4;      // "Save" (Ctrl+S), command 304
constexpr int16 kFileSaveAs = 5;    // "Save As..."
constexpr int16 kFileRevert = 6;    // "Revert"
constexpr int16 kFileSetup = 8;     // "Print Setup..." (Ctrl+U)
constexpr int16 kFilePrint = 9;     // "Print..." (Ctrl+P), command 309
constexpr int16 kFileQuit = 11;     // "Quit" (Ctrl+Q)
constexpr int16 kMenuExport = 1100;
// Export items 3 to 7: the current unit as a picture file.
constexpr a_file_format kExportFormats[] = {FMT_BMP, FMT_JPEG, FMT_PICT, FMT_PSD, FMT_TIFF};
}  // namespace

void DoMenuEvent(int16 menu_category, int16 menu_item, bool8 shiftkey, bool8 optionkey) {
  if (g_intf_menu_observer != nullptr) g_intf_menu_observer(menu_category, menu_item, shiftkey, optionkey);
  if (Panel_Command(int32(menu_category) + menu_item)) return;
  switch (menu_category) {
    case MENU_FILE:
      if (menu_item == FILE_NEW) New_Project();
      if (menu_item == kFileOpen) Do_File_Open(FSSpec{}, false);
      if (menu_item == kFileClose) Do_File_Close();
      if (menu_item == kFileSave) Do_File_Save();
      if (menu_item == kFileSaveAs) Do_File_SaveAs();
      if (menu_item == kFileRevert) Do_File_Revert();
      if (menu_item == kFileSetup) Print_Setup();
      if (menu_item == kFilePrint && g_doc.doc_open) Print_Doc();
      if (menu_item == kFileQuit) Request_Quit();
      break;
    case kMenuExport:
      if (menu_item >= 3 && menu_item <= 7) Export_Project(kExportFormats[menu_item - 3]);
      break;
    case MENU_EDIT:
      switch (menu_item) {
        case EDIT_UNDO: Undo_Button(); break;
        case EDIT_REDO: Redo_Button(); break;
        case EDIT_CUT: Cut_Copy(true); break;
        case EDIT_COPY: Cut_Copy(false); break;
        case EDIT_PASTE: Paste(); break;
        case EDIT_SELECT_ALL: Obj_Select_All(); break;
        case EDIT_SELECT_NONE: Obj_Select_None(); break;
        default: break;
      }
      break;
    case MENU_VIEW:
      if (menu_item == VIEW_HIDE_ALL) HideAll_Toggle();
      break;
    case MENU_ARRANGE:
      switch (menu_item) {
        case ARRANGE_FIT_H: Photo_Fit_H(); break;
        case ARRANGE_FIT_V: Photo_Fit_V(); break;
        case ARRANGE_COVER_P: Photo_Cover_P(); break;
        case ARRANGE_COVER_D: Photo_Cover_D(); break;
        default: break;
      }
      break;
    default: break;
  }
}

namespace {

// The line typed for the text tool, until Return makes it a text object.
std::array<UniChar, MAX_NXYL> typed_line;
int32 typed_count = 0;

// The text tool takes the key: characters are kept, Return makes the line
// a text object, Escape drops it.
bool Text_Tool_Key(const a_keystroke& key) {
  if (!g_doc.doc_open || gs.curr_phase != TEXT_PHASE || Is_Editing_Text()) {
    typed_count = 0;
    return false;
  }
  if (key.charcode == kReturn || key.virtcode == VK_RETURN) {
    if (typed_count == 0) return false;
    Text_Inject_Unicode(typed_line.data(), typed_count);
    typed_count = 0;
    pending_op = OP_TEXT_NEW;
    return true;
  }
  if ((key.charcode == kEscape || key.virtcode == VK_ESCAPE) && typed_count != 0) {
    typed_count = 0;
    return true;
  }
  // Shortcuts are the menus'.
  if ((key.mods & (Keymod_Bit(CONTROLKEY) | Keymod_Bit(COMMANDKEY))) != 0) return false;
  if (key.charcode == 0 || key.unicode < 32 || key.charcode == 127) return false;
  if (typed_count < MAX_NXYL - 1) typed_line[size_t(typed_count++)] = key.unicode;
  return true;
}

}  // namespace

void DoKeyDown(const a_keystroke& key) {
  if (g_intf_key_observer != nullptr) g_intf_key_observer(key);
  // Help, the text editor and the document take keys first once they exist;
  // so far the text tool's typed lines and the panels' items do.
  if (Text_Tool_Key(key)) return;
  if (gs.tool_show && Intf_KeyDown(key)) return;
  if (gs.tool_show) {
    Sound_Effect(SND_NULL);
  } else if (key.charcode == kEscape) {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    HideAll_Toggle();
  } else {
    OK_Alert(false, kAlertRestoreMenus);
  }
}
