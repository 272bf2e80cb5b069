#include "ui/VoskMenu.h"

#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskDraw.h"
#include "objects/VoskBlok.h"
#include "objects/VoskLayer.h"
#include "objects/VoskText.h"
#include "platform/SysLoop.h"
#include "platform/SysMenu.h"
#include "platform/SysSound.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"
#include "ui/VoskHelp.h"
#include "ui/VoskIntI.h"

a_menu_enable g_menu_enable = ENABLE_ALL;

namespace {

constexpr int16 kStrList = 200;
constexpr int16 kUndoStrx = 89;
constexpr int16 kRedoStrx = 121;
constexpr int16 kHelpPhaseStrx = 358;  // + the phase: "Help on Print..." ...
constexpr int16 kHelpPhaseItem = 2;
// The Export menu's items Menus_Load takes away: the disc-printer label
// item and the separator before it, the last first.
constexpr int16 kExportDropped[] = {9, 8};
constexpr int16 kExportItems = 9;  // as the resource has them

// The menus and whether each is enabled as a whole.
struct a_menu_state {
  int16 menu;
  bool8 enabled;
};

bool8 Open() { return g_doc.doc_open; }
bool8 Collage() { return gs.curr_phase == COLLAGE_PHASE; }

// Whether the rule holds for the state, menus restricted or not.
bool8 Rule_Holds(a_enable_rule rule) {
  const a_phase phase = gs.curr_phase;
  switch (rule) {
    case RULE_ALWAYS: return true;
    case RULE_NOT_COLLAGE: return !Collage();
    case RULE_DOC: return Open();
    case RULE_DOC_NOT_COLLAGE: return Open() && !Collage();
    case RULE_REVERT: return Open() && g_doc.doc_changed && !g_doc.doc_new && !Collage();
    case RULE_UNDO:
    case RULE_REDO: {
      if (!Open() || Collage()) return false;
      a_history_op undo_op = OP_NOP, redo_op = OP_NOP;
      Is_Undo_Avail(undo_op, redo_op);
      return (rule == RULE_UNDO ? undo_op : redo_op) != OP_NOP;
    }
    case RULE_CUT_COPY: return Open() && Copy_Would_Put();
    case RULE_SELECT:
      // While a text is edited they select its characters.
      return Open() && (phase == PREVIEW_PHASE || phase == SYMBOL_PHASE || phase == PHOTO_PHASE || phase == TEXT_PHASE);
    case RULE_VIEW_DOC: return Open() && phase != PREVIEW_PHASE;
    case RULE_IMPORT: return Open() && !Collage() && g_doc.up != nullptr && !g_doc.up->clonef;
    // Bring to Front and Bring Forward move up if anything does; Send to
    // Back and Send Backward down.
    case RULE_ARRANGE_UP: return Open() && Layer_Can_Arrange(1);
    case RULE_ARRANGE_DOWN: return Open() && Layer_Can_Arrange(-1);
    case RULE_POSITION: return Open() && Can_Position();
    case RULE_SCALE: return Open() && Can_Scale();
    case RULE_ZOOM:
    case RULE_ZOOM_IN:
    case RULE_ZOOM_OUT: {
      if (!Open() || phase == COLLAGE_PHASE || phase == PREVIEW_PHASE) return false;
      const int16 zoom = gs.grid_vals[ZOOM_GRID];
      if (rule == RULE_ZOOM_IN) return zoom < NZOOMS - 1;
      if (rule == RULE_ZOOM_OUT) return zoom > 0;
      return true;
    }
    case RULE_HELP: return true;
    case RULE_WEB_PAGE: {
      Str255 url{};
      return Web_Address(WEB_MAKER_PAGE, url);
    }
    case NENABLE_RULES: break;
  }
  return false;
}

// The restriction of a modal window: the Edit menu's Undo, Cut, Copy and
// Paste stay for its text fields while ENABLE_EDIT.
bool8 Restriction_Allows(int16 command, a_menu_enable enable) {
  if (enable == ENABLE_ALL) return true;
  if (enable == ENABLE_NONE) return false;
  const int16 item = int16(command - MENU_EDIT);
  return Net_Menu(command) == MENU_EDIT &&
         (item == EDIT_UNDO || item == EDIT_CUT || item == EDIT_COPY || item == EDIT_PASTE);
}

void Enable(int16 menu, int16 item, bool8 on) { Menus_EnableItem(menu, item, on); }

// The menus restricted (another task active, or a modal window): File,
// Options, Zoom and Help greyed, and the menus of the document (Arrange,
// Import, Export), which a modal window's fields have no use for; Edit
// greyed with nothing allowed, else its Undo, Cut, Copy and Paste enabled
// and the rest greyed.
void Update_Restricted() {
  for (const int16 menu : {MENU_FILE, MENU_VIEW, MENU_ZOOM, MENU_HELP, MENU_ARRANGE, MENU_IMPORT, MENU_EXPORT})
    Enable(menu, 0, false);
  if (g_menu_enable == ENABLE_NONE) {
    Enable(MENU_EDIT, 0, false);
    return;
  }
  Enable(MENU_EDIT, 0, true);
  for (const int16 item : {EDIT_UNDO, EDIT_CUT, EDIT_COPY, EDIT_PASTE}) Enable(MENU_EDIT, item, true);
  for (const int16 item : {EDIT_REDO, EDIT_SELECT_ALL, EDIT_SELECT_NONE}) Enable(MENU_EDIT, item, false);
}

// The help text of item 2 for the phase.
void Update_Help_Text() {
  Str255 text{};
  Get_Translated_String(text, kStrList, int16(kHelpPhaseStrx + gs.curr_phase));
  Menus_SetItem(MENU_HELP, int16(kHelpPhaseItem + g_nsyshelp), CStrSpan(text, std::strlen(text) + 1));
}

}  // namespace

bool8 Command_Enabled(int16 command) {
  const a_command_row* row = Command_Row(command);
  if (row == nullptr || row->action == nullptr) return false;
  return Restriction_Allows(command, g_menu_enable) && Rule_Holds(row->rule);
}

void Menus_Load(int16 base, int16 lang) {
  // The bar belongs to the main window: none before it is made.
  if (main_hwnd == nullptr) return;
  Menus_Init(base, lang);
  // A bar built before (the same base and language) has lost them already.
  if (Menus_CountItems(MENU_EXPORT) != kExportItems) return;
  for (const int16 item : kExportDropped) Menus_DeleteItem(MENU_EXPORT, item);
}

void Menus_Update() {
  // Nothing while a drag is tracked, nor before the bar is built.
  if (t.status_tracking || main_menu == nullptr) return;
  if (!gs.mytask || g_menu_enable != ENABLE_ALL) {
    Update_Restricted();
    Menus_Draw();
    return;
  }
  const bool8 open = Open();
  const a_phase phase = gs.curr_phase;
  const a_menu_state menus[] = {
      {MENU_FILE, true},
      {MENU_EDIT, open},
      {MENU_VIEW, true},
      {MENU_IMPORT, open},
      {MENU_EXPORT, open},
      {MENU_ARRANGE, open},
      {MENU_ZOOM, open && phase != COLLAGE_PHASE && phase != PREVIEW_PHASE},
      {MENU_HELP, true},
  };
  for (const a_menu_state& m : menus) Enable(m.menu, 0, m.enabled);
  int32 count = 0;
  const a_command_row* rows = Command_Table(count);
  for (int32 i = 0; i < count; ++i) {
    const int16 command = rows[i].command;
    const int16 menu = Net_Menu(command);
    Enable(menu, int16(command - menu), Command_Enabled(command));
  }
  // The Arrange menu's pop-ups (its items 9 and 10) have no command: they
  // are greyed by their position in it.
  const bool8 position = open && Can_Position();
  Enable(MENU_ARRANGE_H, 0, position);
  Enable(MENU_ARRANGE_V, 0, position);
  Update_Undo();
  // Check marks.
  Menus_CheckItem(MENU_VIEW, 1, gs.pref.history_option);
  Menus_CheckItem(MENU_VIEW, 2, gs.pref.status_option);
  Menus_CheckItem(MENU_VIEW, 3, gs.pref.showframes_option);
  Menus_CheckItem(MENU_VIEW, 5, gs.pref.sound_option);
  Menus_CheckItem(MENU_VIEW, 6, gs.pref.embed_option);
  Menus_CheckItem(MENU_VIEW, VIEW_HIDE_ALL, !gs.tool_show);
  const int16 zoom_item = int16(gs.grid_vals[ZOOM_GRID] + 4);
  for (int16 item = 4; item <= 8; ++item) Menus_CheckItem(MENU_ZOOM, item, item == zoom_item);
  Update_Help_Text();
  Menus_Draw();
}

void Update_Undo() {
  a_history_op undo_op = OP_NOP, redo_op = OP_NOP;
  if (g_doc.doc_open) Is_Undo_Avail(undo_op, redo_op);
  Fix_UndoRedo_Menu(EDIT_UNDO, kUndoStrx, undo_op);
  Fix_UndoRedo_Menu(EDIT_REDO, kRedoStrx, redo_op);
}

void Fix_UndoRedo_Menu(int16 item, int16 strx, a_history_op op) {
  Str255 text{};
  Get_Translated_String(text, kStrList, strx);
  if (op != OP_NOP) {
    Str255 label{};
    Calc_Op_Label(op, label);
    const size_t n = std::strlen(text);
    if (n + 1 < sizeof text) {
      text[n] = ' ';
      std::strncpy(text + n + 1, label, sizeof text - n - 2);
      text[sizeof text - 1] = 0;
    }
  }
  Menus_SetItem(MENU_EDIT, item, CStrSpan(text, std::strlen(text) + 1));
  Enable(MENU_EDIT, item, op != OP_NOP && gs.curr_phase != COLLAGE_PHASE);
}

bool8 Modal_WindowM(a_menu_enable enable, int16 interior_h, int16 interior_v, a_mwin_init_proc init,
                    a_mwin_init_proc stop, a_mwin_event_proc event) {
  const a_menu_enable saved = g_menu_enable;
  g_menu_enable = enable;
  Menus_Update();
  Menus_Draw();
  const bool8 okay = Modal_Window(interior_h, interior_v, init, stop, event);
  g_menu_enable = saved;
  Menus_Update();
  Menus_Draw();
  return okay;
}

bool8 Can_Position() { return g_doc.doc_open && g_doc.up != nullptr && Selection_Count() >= 1; }

bool8 Can_Scale() {
  return g_doc.doc_open && g_doc.up != nullptr && gs.curr_phase == PHOTO_PHASE && Selection_Count() == 1;
}

void HideAll_Toggle() { SV_Set_Bool(SV_TOOL_SHOW, !gs.tool_show); }
void TinyCurs_Toggle() { SV_Set_Bool(SV_TINYCURS_OPTION, !gs.pref.tinycurs_option); }
void Sound_Toggle() {
  SV_Set_Bool(SV_SOUND_OPTION, !gs.pref.sound_option);
  Sound_Enable(gs.pref.sound_option);
}
void Echo_Toggle() { SV_Set_Bool(SV_ECHO_OPTION, !gs.pref.echo_option); }
void History_Toggle() { SV_Set_Bool(SV_HISTORY_OPTION, !gs.pref.history_option); }
void Status_Toggle() { SV_Set_Bool(SV_STATUS_OPTION, !gs.pref.status_option); }

void Embed_Toggle() {
  gs.pref.embed_option = !gs.pref.embed_option;
  SV_Set_Virtual(SV_MENUBAR_CHECKMARKS);
}

void ShowFrames_Toggle() {
  gs.pref.showframes_option = !gs.pref.showframes_option;
  SV_Set_Virtual(SV_MENUBAR_CHECKMARKS);
  Edit_InvalAll();
}
