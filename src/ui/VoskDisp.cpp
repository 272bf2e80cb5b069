#include "ui/VoskDisp.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "doc/VoskFunc.h"
#include "doc/VoskFile.h"
#include "doc/VoskHist.h"
#include "doc/VoskTmpl.h"
#include "doc/VoskPrev.h"
#include "doc/VoskPrin.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "objects/VoskEdit.h"
#include "objects/VoskLayer.h"
#include "objects/VoskMove.h"
#include "objects/VoskPack.h"
#include "objects/VoskPhot.h"
#include "objects/VoskStam.h"
#include "objects/VoskSym.h"
#include "objects/VoskText.h"
#include "pixel/DrawUtilMasked.h"
#include "platform/QDRect.h"
#include "platform/SysLoop.h"
#include "platform/SysMenu.h"
#include "platform/SysPrint.h"
#include "platform/SysScrap.h"
#include "platform/SysSound.h"
#include "platform/SysTimer.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskAbou.h"
#include "ui/VoskAsk.h"
#include "ui/VoskAskDesign.h"
#include "ui/VoskAskImport.h"
#include "ui/VoskAskRemap.h"
#include "ui/VoskBar.h"
#include "ui/VoskBrow.h"
#include "ui/VoskDelt.h"
#include "ui/VoskHelp.h"
#include "ui/VoskIntf.h"
#include "ui/VoskMenu.h"
#include "ui/VoskSlid.h"

namespace {
constexpr uint8 kEscape = 27;
constexpr int16 kAlertRestoreMenus = 26;

// --- Edit ----------------------------------------------------------------------------

void Install_Scrap_Readers() {
  a_scrap_readers readers{};
  readers.textr_paste = TextR_Paste;
  readers.paste_om = Do_Paste_OM;
  readers.paste_ph = Do_Paste_PH;
  readers.paste_mw = Do_Paste_MW;
  readers.inject_unicode = Do_Paste_UTF16;
  Scrap_Set_Readers(readers);
}

// The fill stamp's picture, when it has bounds.
PixMapPtr Copyable_Stamp() {
  if (!g_doc.doc_open) return nullptr;
  PixMapPtr stamp = nullptr, mask = nullptr;
  Get_Fill_Stamp(stamp, mask);
  return stamp != nullptr && !EmptyRect(stamp->bounds) ? stamp : nullptr;
}

// The first selected object when it is one the clipboard takes (a photo, a
// symbol or a text); ENUM_DONE otherwise.
int32 First_Copyable() {
  int32 omx = ENUM_START;
  const a_oj_item* item = Enum(true, true, OBJECT_KINDS, omx) ? Obj_Item(omx) : nullptr;
  if (item == nullptr || (item->kind != PHOTO_BLOCK && item->kind != SYMBOL_BLOCK && item->kind != TEXT_BLOCK))
    return ENUM_DONE;
  return omx;
}

void Press_Oneshot(int16 button);

// Cut and Copy: the clipboard is emptied only when something goes there;
// Cut takes away exactly the object it copied.
void Cut_Copy(bool cut) {
  if (!Copy_Would_Put()) {
    Sound_Effect(SND_NULL);
    return;
  }
  Scrap_Clear();
  if (gs.curr_phase == PAINT_PHASE) {
    (void)Scrap_Add_Stamp();
    return;
  }
  // The edited text's selected characters.
  if (Is_Editing_Text()) {
    if (cut)
      TextR_Cut();
    else
      TextR_Copy();
    return;
  }
  int32 omx = ENUM_DONE;
  if (!Scrap_Add_FirstBlock(omx) || !cut) return;
  if (Selection_Count() > 1) Selection_Set1(omx);
  // As the panel's Delete button does.
  Enum_Obj_Del();
  if (g_oneshots[OBJ_DEL_BUTTON].history_op != OP_NOP) pending_op = g_oneshots[OBJ_DEL_BUTTON].history_op;
}

void Paste() {
  // The collage takes only pictures, into its slots: an object pasted there
  // would sit among the slots.
  if (gs.curr_phase == COLLAGE_PHASE) {
    a_scrap_readers readers{};
    readers.paste_mw = Do_Paste_MW;
    Scrap_Set_Readers(readers);
    if (!Scrap_Paste()) Sound_Effect(SND_NULL);
    return;
  }
  Install_Scrap_Readers();
  // A clone has no content of its own: what is pasted goes to its master.
  if (g_doc.up != nullptr && g_doc.up->clonef) Select_Doc_Unit(Find_Clone_Master(g_doc.upx));
  if (!Scrap_Paste()) Sound_Effect(SND_NULL);
}

// --- The tool panels' commands --------------------------------------------------------

// A press of a button by its number: the button's row, as a click runs it.
void Press_Oneshot(int16 button) {
  if (!Is_OneShot(button)) {
    Sound_Effect(SND_NULL);
    return;
  }
  Oneshot_Click(a_oneshot_enum(button));
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
  // As the slider's plus and minus buttons set it: its row's action runs.
  Slider_SetVal(slider, value);
}

void Choose_From_Bar(int16 bar) {
  if (bar < 0 || bar >= NBARS) {
    Sound_Effect(SND_NULL);
    return;
  }
  int16 chosen = gs.bar_selection[bar];
  if (!Browser_Choose(a_bar(bar), chosen)) return;
  // As a click in the bar: the selection framed, the bar's procedure run.
  Bar_JumpToID(true, a_bar(bar), chosen);
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

bool8 Copy_Would_Put() {
  if (!g_doc.doc_open) return false;
  switch (gs.curr_phase) {
    case PAINT_PHASE: return Copyable_Stamp() != nullptr;
    case TEXT_PHASE:
      if (Is_Editing_Text()) return Is_Text_Range();
      return First_Copyable() != ENUM_DONE;
    case SYMBOL_PHASE:
    case PHOTO_PHASE: return First_Copyable() != ENUM_DONE;
    default: return false;
  }
}

bool8 Scrap_Add_Stamp() {
  PixMapPtr stamp = Copyable_Stamp();
  if (stamp == nullptr) return false;
  SetPort(gs.outer_window);
  Scrap_Add_PixMap(*stamp);
  return true;
}

bool8 Scrap_Add_FirstBlock(int32& omx) {
  // The first selected object (the phase's own kinds once entering a phase
  // deselects the others).
  omx = First_Copyable();
  const a_oj_item* item = Obj_Item(omx);
  if (item == nullptr) {
    omx = ENUM_DONE;
    Sound_Effect(SND_NULL);
    return false;
  }
  if (item->kind == TEXT_BLOCK) {
    // Cut takes away only what the clipboard holds whole.
    if (Scrap_Add_OM(item->om)) return true;
    Sound_Effect(SND_NULL);
    return false;
  }
  Scrap_Add_PH(item->kind, item->ph);
  return true;
}

void Do_Paste_MW(a_picture_scan_rec& scan) {
  // In the collage the picture goes into the next empty slot.
  if (gs.curr_phase == COLLAGE_PHASE) {
    a_masked_gworld world = scan.body;
    Null_MW(scan.body);
    Pack_Paste(world);
    return;
  }
  SV_Set_Enum(SV_PHASE, PHOTO_PHASE);
  SV_Finish();
  a_masked_gworld world = scan.body;
  Null_MW(scan.body);
  Photo_Paste(world, SOURCE_CLIPBOARD);
}

bool8 Do_Paste_UTF16(CUStrSpan text, int32 max) {
  if (!g_doc.doc_open || gs.curr_phase == COLLAGE_PHASE) return false;
  int32 n = 0;
  const int32 limit = std::min<int32>(max, int32(text.size()));
  while (n < limit && text[size_t(n)] != 0) ++n;
  if (n == 0) return false;
  if (Is_Editing_Text() && Ed_Target() != nullptr) {
    if (!Ed_Ins_UBuf(text.data(), n)) return false;
    History_Set_Pending(OP_TEXT_NEW);
    return true;
  }
  SV_Set_Enum(SV_PHASE, TEXT_PHASE);
  SV_Finish();
  if (!Text_Inject_Unicode(text.data(), n)) return false;
  History_Set_Pending(OP_TEXT_NEW);
  return true;
}

// --- The layout switch ------------------------------------------------------------------

namespace {
constexpr int16 kPromptSwitch = 31;  // "Save changes to "^0" before switching layouts?"
constexpr int16 kStrSave = 34, kStrCancel = 105, kStrDontSave = 33;
constexpr int16 kAnswerSave = 0, kAnswerDontSave = 2;
constexpr int16 kAlertLayoutRefused = 77;
}  // namespace

void Switch_Layout() {
  // The collage's slots live in the current unit, which the switch frees.
  if (!g_doc.doc_open || gs.curr_phase == COLLAGE_PHASE) {
    Sound_Effect(SND_NULL);
    return;
  }
  if (Is_Doc_Changed()) {
    switch (Confirm_Msg(DLOG_ALERT3, kPromptSwitch, kStrSave, kStrCancel, kStrDontSave)) {
      case kAnswerSave:
        if (!Do_File_Save()) return;
        break;
      case kAnswerDontSave: break;
      default: return;
    }
  }
  // The browser offers the paper list by its places, opening at the
  // document's own layout.
  if (t.tlist_n == 0) Build_Template_List();
  const uint32 listed = std::min<uint32>(t.tlist_n, MAXNTEMPLATES);
  const uint32 current = Find_Template(CStrSpan(g_doc.doc_template.label, sizeof g_doc.doc_template.label));
  int16 chosen = 1;
  for (uint32 i = 0; i < listed && i < 32767; ++i)
    if (current != 0 && t.tlist[i] == current) {
      chosen = int16(i + 1);
      break;
    }
  if (!Browser_Choose(PAPER_BAR, chosen)) return;
  a_ctemplate entry;
  if (chosen < 1 || uint32(chosen) > listed || !Get_CTemplate(t.tlist[chosen - 1], entry)) return;
  auto layout = std::make_unique<a_template>();
  const a_expand_result r = Expand_Template(entry, *layout);
  if (r != EXPAND_OK) {
    const char* why = Expand_Result_Text(r);
    Param_Text(CStrSpan(why, std::strlen(why) + 1), "", "", "");
    OK_Alert(false, kAlertLayoutRefused);
    return;
  }
  auto map = std::make_unique<a_template_mapping>();
  auto sig = std::make_unique<a_sig_list>();
  uint32 nsig = 0;
  bool8 exact = false;
  Calc_Template_Mapping(*layout, *map, nsig, *sig, exact);
  if (!exact && !Ask_Complex_Remap(*layout, *map, nsig, *sig)) return;
  // Every area shows the old layout: its unit strip, the sheet's caption.
  if (Do_Remap(*layout, *map)) Node_Inval(0);
}

// --- The command table ------------------------------------------------------------------

namespace {

constexpr a_file_format kExportFormats[] = {FMT_BMP, FMT_JPEG, FMT_PICT, FMT_PSD, FMT_TIFF};

// "New Project...": the start screen's layout chooser, on the newest layouts.
void Cmd_New(bool8, bool8) {
  gs.grid_vals[PROJ_AGE_GRID] = 0;
  Do_File_Close();
}
// Ctrl is held for the shortcut itself: a changed document is always offered
// its save first.
void Cmd_Open(bool8, bool8) { Do_File_Open(FSSpec{}, false); }
void Cmd_Close(bool8, bool8) { Do_File_Close(); }
void Cmd_Save(bool8 shiftkey, bool8) {
  if (shiftkey || g_doc.doc_new)
    (void)Do_File_SaveAs();
  else
    (void)Do_File_Save();
}
void Cmd_SaveAs(bool8, bool8) { (void)Do_File_SaveAs(); }
void Cmd_Revert(bool8, bool8) { Do_File_Revert(); }
void Cmd_Setup(bool8, bool8) { Print_Setup(); }
void Cmd_Print(bool8, bool8) { (void)Print_Doc(); }
// Quit waits for the loops of dialogs and print jobs to end.
void Cmd_Quit(bool8, bool8) { Request_Quit(); }

void Cmd_Undo(bool8, bool8) { Oneshot_Click(UNDO_BUTTON); }
void Cmd_Redo(bool8, bool8) { Oneshot_Click(REDO_BUTTON); }
void Cmd_Cut(bool8, bool8) { Cut_Copy(true); }
void Cmd_Copy(bool8, bool8) { Cut_Copy(false); }
void Cmd_Paste(bool8, bool8) { Paste(); }
void Cmd_Select_All(bool8, bool8) {
  if (Is_Editing_Text())
    TextR_Select_All();
  else if (gs.curr_phase == PREVIEW_PHASE)
    PrintPreview_Select_All();
  else
    Obj_Select_All();
}
void Cmd_Select_None(bool8, bool8) {
  if (Is_Editing_Text())
    TextR_Select_None();
  else if (gs.curr_phase == PREVIEW_PHASE)
    PrintPreview_Select_None();
  else
    Obj_Select_None();
}

void Cmd_History(bool8, bool8) { History_Toggle(); }
void Cmd_Status(bool8, bool8) { Status_Toggle(); }
void Cmd_Frames(bool8, bool8) { ShowFrames_Toggle(); }
void Cmd_Sound(bool8, bool8) { Sound_Toggle(); }
void Cmd_Embed(bool8, bool8) { Embed_Toggle(); }
void Cmd_HideAll(bool8, bool8) { HideAll_Toggle(); }

void Cmd_Fit_H(bool8, bool8) { Photo_Fit_H(); }
void Cmd_Fit_V(bool8, bool8) { Photo_Fit_V(); }
void Cmd_Cover_P(bool8, bool8) { Photo_Cover_P(); }
void Cmd_Cover_D(bool8, bool8) { Photo_Cover_D(); }

// The stacking order, and the selection placed on the unit.
template <int32 kDelta>
void Cmd_Arrange(bool8, bool8) {
  Layer_ArrangeRel(kDelta);
}
void Cmd_Align_Center(bool8, bool8) { Align_Center(); }
template <int16 kNum, int16 kDen>
void Cmd_Move_H(bool8, bool8) {
  Align_Horz(kNum, kDen);
}
template <int16 kNum, int16 kDen>
void Cmd_Move_V(bool8, bool8) {
  Align_Vert(kNum, kDen);
}

void Zoom_To(int16 index) {
  if (index < 0 || index >= NZOOMS) {
    Sound_Effect(SND_LIMIT);
    return;
  }
  Grid_Click(ZOOM_GRID, index);
}
void Cmd_Bigger(bool8, bool8) { Zoom_To(int16(gs.grid_vals[ZOOM_GRID] + 1)); }
void Cmd_Smaller(bool8, bool8) { Zoom_To(int16(gs.grid_vals[ZOOM_GRID] - 1)); }
template <int16 kIndex>
void Cmd_Zoom(bool8, bool8) {
  Zoom_To(kIndex);
}

void Cmd_Switch_Layout(bool8, bool8) { Switch_Layout(); }

template <int16 kFormat>
void Cmd_Export(bool8, bool8) {
  Export_Project(kExportFormats[kFormat]);
}

void Cmd_Design(bool8, bool8) { Ask_Design(); }

void Cmd_Help_Contents(bool8, bool8) { Do_HelpTopic(HELP_CONTENTS); }
void Cmd_Help_Phase(bool8, bool8) { Do_Contextual_Help(); }
void Cmd_Web_Page(bool8, bool8) { Go_To_Website(WEB_MAKER_PAGE); }
void Cmd_About(bool8, bool8) { Do_About(); }

// Track names from a music library's export or a tabbed text file; file
// names chosen in the open dialog.
void Cmd_Import_Tracks(bool8, bool8) { Ask_Import_Tracks(); }
void Cmd_Import_Filenames(bool8, bool8) { Do_Import_Filenames(); }

constexpr a_command_row kCommands[] = {
    {MENU_ABOUT + 1, Cmd_About, RULE_ALWAYS},

    {MENU_FILE + FILE_NEW, Cmd_New, RULE_DOC_NOT_COLLAGE},
    {MENU_FILE + 2, Cmd_Open, RULE_NOT_COLLAGE},
    {MENU_FILE + 3, Cmd_Close, RULE_DOC_NOT_COLLAGE},
    {MENU_FILE + 4, Cmd_Save, RULE_DOC_NOT_COLLAGE},
    {MENU_FILE + 5, Cmd_SaveAs, RULE_DOC_NOT_COLLAGE},
    {MENU_FILE + 6, Cmd_Revert, RULE_REVERT},
    {MENU_FILE + 8, Cmd_Setup, RULE_DOC_NOT_COLLAGE},
    {MENU_FILE + 9, Cmd_Print, RULE_DOC_NOT_COLLAGE},
    {MENU_FILE + 11, Cmd_Quit, RULE_ALWAYS},

    {MENU_EDIT + EDIT_UNDO, Cmd_Undo, RULE_UNDO},
    {MENU_EDIT + EDIT_REDO, Cmd_Redo, RULE_REDO},
    {MENU_EDIT + EDIT_CUT, Cmd_Cut, RULE_CUT_COPY},
    {MENU_EDIT + EDIT_COPY, Cmd_Copy, RULE_CUT_COPY},
    {MENU_EDIT + EDIT_PASTE, Cmd_Paste, RULE_DOC},
    {MENU_EDIT + EDIT_SELECT_ALL, Cmd_Select_All, RULE_SELECT},
    {MENU_EDIT + EDIT_SELECT_NONE, Cmd_Select_None, RULE_SELECT},

    {MENU_VIEW + 1, Cmd_History, RULE_VIEW_DOC},
    {MENU_VIEW + 2, Cmd_Status, RULE_VIEW_DOC},
    {MENU_VIEW + 3, Cmd_Frames, RULE_VIEW_DOC},
    {MENU_VIEW + 5, Cmd_Sound, RULE_ALWAYS},
    {MENU_VIEW + 6, Cmd_Embed, RULE_ALWAYS},
    {MENU_VIEW + VIEW_HIDE_ALL, Cmd_HideAll, RULE_VIEW_DOC},

    // Help pages, the manufacturer's page, the layout designer, the about box.
    {MENU_HELP + 1, Cmd_Help_Contents, RULE_HELP},
    {MENU_HELP + 2, Cmd_Help_Phase, RULE_HELP},
    {MENU_HELP + 4, Cmd_Web_Page, RULE_WEB_PAGE},
    {MENU_HELP + 6, Cmd_Design, RULE_HELP},
    {MENU_HELP + 8, Cmd_About, RULE_HELP},

    {MENU_ARRANGE + 1, Cmd_Arrange<999>, RULE_ARRANGE_UP},
    {MENU_ARRANGE + 2, Cmd_Arrange<-999>, RULE_ARRANGE_DOWN},
    {MENU_ARRANGE + 3, Cmd_Arrange<1>, RULE_ARRANGE_UP},
    {MENU_ARRANGE + 4, Cmd_Arrange<-1>, RULE_ARRANGE_DOWN},
    {MENU_ARRANGE + 6, Cmd_Align_Center, RULE_POSITION},
    {MENU_ARRANGE + 7, Cmd_Move_H<1, 2>, RULE_POSITION},
    {MENU_ARRANGE + 8, Cmd_Move_V<1, 2>, RULE_POSITION},
    {MENU_ARRANGE + ARRANGE_FIT_H, Cmd_Fit_H, RULE_SCALE},
    {MENU_ARRANGE + ARRANGE_FIT_V, Cmd_Fit_V, RULE_SCALE},
    {MENU_ARRANGE + ARRANGE_COVER_P, Cmd_Cover_P, RULE_SCALE},
    {MENU_ARRANGE + ARRANGE_COVER_D, Cmd_Cover_D, RULE_SCALE},
    {MENU_ARRANGE_H + 1, Cmd_Move_H<1, 4>, RULE_POSITION},
    {MENU_ARRANGE_H + 2, Cmd_Move_H<1, 3>, RULE_POSITION},
    {MENU_ARRANGE_H + 3, Cmd_Move_H<1, 2>, RULE_POSITION},
    {MENU_ARRANGE_H + 4, Cmd_Move_H<2, 3>, RULE_POSITION},
    {MENU_ARRANGE_H + 5, Cmd_Move_H<3, 4>, RULE_POSITION},
    {MENU_ARRANGE_V + 1, Cmd_Move_V<1, 4>, RULE_POSITION},
    {MENU_ARRANGE_V + 2, Cmd_Move_V<1, 3>, RULE_POSITION},
    {MENU_ARRANGE_V + 3, Cmd_Move_V<1, 2>, RULE_POSITION},
    {MENU_ARRANGE_V + 4, Cmd_Move_V<2, 3>, RULE_POSITION},
    {MENU_ARRANGE_V + 5, Cmd_Move_V<3, 4>, RULE_POSITION},

    {MENU_ZOOM + 1, Cmd_Bigger, RULE_ZOOM_IN},
    {MENU_ZOOM + 2, Cmd_Smaller, RULE_ZOOM_OUT},
    {MENU_ZOOM + 4, Cmd_Zoom<0>, RULE_ZOOM},
    {MENU_ZOOM + 5, Cmd_Zoom<1>, RULE_ZOOM},
    {MENU_ZOOM + 6, Cmd_Zoom<2>, RULE_ZOOM},
    {MENU_ZOOM + 7, Cmd_Zoom<3>, RULE_ZOOM},
    {MENU_ZOOM + 8, Cmd_Zoom<4>, RULE_ZOOM},

    {MENU_EXPORT + 1, Cmd_Switch_Layout, RULE_DOC_NOT_COLLAGE},
    {MENU_EXPORT + 3, Cmd_Export<0>, RULE_DOC},
    {MENU_EXPORT + 4, Cmd_Export<1>, RULE_DOC},
    {MENU_EXPORT + 5, Cmd_Export<2>, RULE_DOC},
    {MENU_EXPORT + 6, Cmd_Export<3>, RULE_DOC},
    {MENU_EXPORT + 7, Cmd_Export<4>, RULE_DOC},
    {MENU_EXPORT + 9, nullptr, RULE_DOC},  // taken away when the menus are loaded

    // Track lists and other projects are imported with their readers.
    {MENU_IMPORT + IMPORT_ITUNES, Cmd_Import_Tracks, RULE_IMPORT},
    {MENU_IMPORT + IMPORT_TABTEXT, Cmd_Import_Tracks, RULE_IMPORT},
    {MENU_IMPORT + IMPORT_FILENAMES, Cmd_Import_Filenames, RULE_IMPORT},
    {MENU_IMPORT + IMPORT_VELMOR, Cmd_Import_Velmor, RULE_IMPORT},
};

constexpr bool Commands_Ascend_Within_Menus() {
  for (size_t i = 0; i < std::size(kCommands); ++i)
    for (size_t j = i + 1; j < std::size(kCommands); ++j)
      if (kCommands[i].command == kCommands[j].command) return false;
  return true;
}
static_assert(Commands_Ascend_Within_Menus(), "a command has two rows");
static_assert(std::size(kExportFormats) == 5);

// The command of a menu choice: Save with Shift is Save As, the Help menu's
// items come after the platform's.
int16 Command_Of(int16 menu, int16 item, bool8 shiftkey) {
  if (menu == MENU_FILE && item == 4 && shiftkey) item = 5;
  if (menu == MENU_HELP) item = int16(item - g_nsyshelp);
  return int16(menu + item);
}

void Run_Command(int16 command, bool8 shiftkey, bool8 optionkey) {
  const a_command_row* row = Command_Row(command);
  if (row == nullptr) return;  // separators and numbers of no item
  if (!Command_Enabled(command)) {
    Sound_Effect(SND_NULL);
    return;
  }
  row->action(shiftkey, optionkey);
}

}  // namespace

const a_command_row* Command_Table(int32& count) {
  count = int32(std::size(kCommands));
  return kCommands;
}

const a_command_row* Command_Row(int16 command) {
  for (const a_command_row& row : kCommands)
    if (row.command == command) return &row;
  return nullptr;
}

int16 Net_Menu(int16 id) { return id < 20 ? id : int16(id - id % 20); }

void DoMenuEvent(int16 menu_category, int16 menu_item, bool8 shiftkey, bool8 optionkey) {
  if (g_intf_menu_observer != nullptr) g_intf_menu_observer(menu_category, menu_item, shiftkey, optionkey);
  if (Panel_Command(int32(menu_category) + menu_item)) return;
  const int16 menu = Net_Menu(menu_category);
  Run_Command(Command_Of(menu, menu_item, shiftkey), shiftkey, optionkey);
}

void Proj_Open() { DoMenuEvent(MENU_FILE, 2, false, false); }
void Proj_Quit() { DoMenuEvent(MENU_FILE, 11, false, false); }

void DoKeyDown(const a_keystroke& key) {
  if (g_intf_key_observer != nullptr) g_intf_key_observer(key);
  // 1. F1: help on the phase, as the Help menu's item 2.
  if (key.virtcode == VK_F1) {
    Run_Command(Command_Of(MENU_HELP, int16(2 + g_nsyshelp), false), false, false);
    return;
  }
  // 2. The edited text.
  if (g_doc.doc_open && Edit_KeyDown(key)) return;
  // 3. The document view; 4. the tool panels' items.
  if (Doc_KeyDown(key)) return;
  if (Intf_KeyDown(key)) return;
  // 5. Nobody took it.
  if (gs.tool_show) {
    Sound_Effect(SND_NULL);
  } else if (key.charcode == kEscape) {
    Sound_Effect(SND_SUBTOOL_ONESHOT);
    HideAll_Toggle();
  } else {
    OK_Alert(false, kAlertRestoreMenus);
  }
}
