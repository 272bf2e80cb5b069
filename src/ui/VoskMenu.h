// The menus' state: enabled items, check marks and the Undo and Redo texts
// kept in step with the state (Menus_Update is the procedure of
// SV_MENUBAR_CHECKMARKS), the menus' restriction while a modal window runs,
// and the toggles the Options menu and the keys use.
//
// Whether a command is enabled is decided once, by the rule of its row in
// the command table (ui/VoskDisp.h): the menus grey what the rules refuse,
// and the dispatch refuses the same commands, whether they come from a
// menu, a shortcut or a script.
#pragma once

#include "doc/VoskHist.h"
#include "platform/SysDlog.h"
#include "platform/Types.h"

// How far the menus are available while a modal window runs.
enum a_menu_enable : uint8 {
  ENABLE_ALL = 0,   // as the state allows
  ENABLE_EDIT = 1,  // only the Edit menu's Undo, Cut, Copy and Paste
  ENABLE_NONE = 2,  // nothing
};
extern a_menu_enable g_menu_enable;  // ENABLE_ALL at start

// The menu bar resources per phase: the general bar, the bar of the symbol
// and photo phases and the bar of the text phase.
constexpr int16 MENUBAR_GENERAL = 132;
constexpr int16 MENUBAR_OBJECTS = 133;
constexpr int16 MENUBAR_TEXT = 134;

// Builds the menu bar `base` in language `lang` (Menus_Init) without the
// Export menu's last two items (the disc-printer label item and the
// separator before it). Nothing before the main window is made.
void Menus_Load(int16 base, int16 lang);

// Recomputes the menus' enabling, check marks, the Undo and Redo texts and
// the text of Help item 2, and redraws the menu bar. Nothing while a drag
// is tracked.
void Menus_Update();

// Whether the command (menu id + item, language copies folded) is enabled
// now: its row's action exists, its rule holds, and the modal restriction
// (g_menu_enable) lets it through. Whether the program is the active task
// does not matter here (it only greys the menus), so that commands sent
// with no window active still act. FALSE for a command with no row.
bool8 Command_Enabled(int16 command);

// The Edit menu's Undo and Redo texts from the history.
void Update_Undo();
// Item `item` of the Edit menu gets the text of item strx of string list
// 200, followed by a blank and the operation's label when op is not OP_NOP;
// it is enabled only for an operation outside the collage phase.
void Fix_UndoRedo_Menu(int16 item, int16 strx, a_history_op op);

// Runs a modal window (Modal_Window with the last five arguments) with the
// menus restricted to `enable`, and restores them after it.
bool8 Modal_WindowM(a_menu_enable enable, int16 interior_h, int16 interior_v, a_mwin_init_proc init,
                    a_mwin_init_proc stop, a_mwin_event_proc event);

// At least one object selected.
bool8 Can_Position();
// The photo phase with exactly one object selected.
bool8 Can_Scale();

// Toggles: each flips one preference and lets the state variables carry
// the change ("Hide Everything" hides the tool panels and the menus, or
// shows them again).
void HideAll_Toggle();
void TinyCurs_Toggle();
void Sound_Toggle();
void Echo_Toggle();
void History_Toggle();
void Status_Toggle();
// These two flip their preference directly; the menus follow, and the frames
// are drawn again over the whole view.
void Embed_Toggle();
void ShowFrames_Toggle();
