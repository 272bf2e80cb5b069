// The main window's menu bar: built from the menu-bar resource ("MBAR": the
// menu ids of the bar, left to right), the menu titles ("MENT") and the
// menus ("MENU") and accelerators ("ACCL") of the interface language (see
// host/HostMenu.h for their layout); and the item changes the command layer
// asks for.
//
// Menus and commands are numbers: a menu's id is a multiple of 100 (or of 20
// for a submenu), and the command of its item at 1-based position k is the
// menu's id + k. Language-dependent resources are found at id + language
// offset.
#pragma once

#include "host/HostMenu.h"
#include "platform/Types.h"

extern HMENU main_menu;     // the bar attached to the main window (NIL before the first)
// Items the platform puts at the top of the Help menu ahead of the
// program's own (none here): the Help commands' positions are offset by it.
extern int16 g_nsyshelp;

// Module start-up: the menu bar is drawn and tracked by the host's menus,
// and no bar has been built yet.
void SysMenu_Init();
// The language offset of the bar built last, and its base id + language
// offset (0 before the first).
int16 Menus_Language();
int16 Menus_Cached();
void Menus_Stop();

// A menu id with the language offset added; 80 and 81 are shared by all languages.
int16 AdjustMenuX(int16 menuid, int16 lang);

// Builds and attaches bar `base` in language `lang` with its accelerators
// (main_accel). FALSE, doing nothing, when that bar (the same base and the
// same language) is attached already. A language without its own menus or
// titles uses the English ones (the base ids).
// A missing "MBAR" or menu calls g_err_res_proc; a missing title shows
// "?MISSING?"; malformed menu data or failed menu calls call QUIT.
bool8 Menus_Init(int16 base, int16 lang);

// itemx > 0: enables or greys command menuid + itemx; itemx 0: the whole
// menu whose commands start at menuid (its entry in its parent).
void Menus_EnableItem(int16 menuid, int16 itemx, bool8 state);
void Menus_CheckItem(int16 menuid, int16 itemx, bool8 state);
// New text (UTF-8) for item itemx (1-based position) of menu menuid, keeping
// its command, its state and its shortcut text (from its old text's last TAB).
void Menus_SetItem(int16 menuid, int16 itemx, CStrSpan text);
void Menus_DeleteItem(int16 menux, int16 itemx);
int16 Menus_CountItems(int16 menuid);  // 0 when the menu is not found
void Menus_Hide();
void Menus_Show();
void Menus_Draw();

// Finds the pop-up holding menu menuid's commands (searching the bar depth
// first), the menu holding that pop-up and the pop-up's position in it.
bool8 FindSubMenu(int16 menuid, HMENU& parent_hdl, int16& parent_pos, HMENU& child_hdl);
// shortcut := base from its last TAB (at position 2 or later) to the end,
// else "".
void Extract_Shortcut(CStrSpan base, StrSpan shortcut);
// Replaces "@P", "@C", "@U" in every item text of a pop-up.
void Do_Subs(HMENU hdl);
