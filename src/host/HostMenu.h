// Menus of the host layer: our own model of the menu calls the platform layer
// was written against (menu handles with items, the menu bar of a top-level
// window, pop-up menus we draw ourselves, keyboard and mouse tracking, and
// menu-aware accelerator translation).
//
// The model:
// - A menu is a list of items. An item is a command (a 16-bit id and a text),
//   a separator, or a pop-up (a text and a submenu). Texts are UTF-16; "&"
//   marks the next character as the item's mnemonic (drawn underlined, "&&"
//   is a plain "&"), and a TAB separates the shortcut text, drawn right-
//   aligned in pop-ups. States: grayed / disabled (cannot be chosen) and
//   checked.
// - A menu bar (CreateMenu) is attached to a top-level window with SetMenu;
//   the window gives it a strip above its client area, and this module draws
//   the strip and handles presses in it through the window layer's hooks
//   (Host_Menu_Install). Its items are the titles; each title's pop-up drops
//   down as an owned pop-up window of ours.
// - Tracking is modal, as the platform's menus are: a press on a title (or
//   Alt, or Alt with a title's mnemonic, through Host_Menu_Sys_Key) runs a
//   message loop of its own until a choice or a cancel. Before it starts, the
//   owner gets WM_INITMENU (wParam: the bar); before each pop-up shows,
//   WM_INITMENUPOPUP (wParam: the pop-up, low word of lParam: its position
//   in its parent). A choice posts WM_COMMAND (low word: the id, high word
//   0) to the owner. Mouse: a press on a title opens its pop-up (a second
//   press on an open title closes the menu), moving over titles switches
//   pop-ups, a release over an enabled command chooses it, a press outside
//   every menu cancels. Keys: Left / Right move between titles (Right opens a
//   submenu, Left closes one), Up / Down move in the pop-up (Down opens the
//   pop-up of a highlighted title), Enter chooses or opens, Escape closes
//   one level, Alt ends, a mnemonic chooses its item (or opens its pop-up;
//   several items sharing a mnemonic are stepped through). Other messages
//   are dispatched as usual while the menu is up; WM_QUIT ends the menu and
//   is posted again.
// - Every call checks its handle: a destroyed or foreign menu makes the call
//   fail instead of touching freed memory.
//
// Menu resources. The program's menus are resources of type "MENU" (id: the
// menu's id plus the language offset); all integers little-endian:
//   uint16 n            number of items
//   n items, each:
//     uint16 flags      MF_GRAYED 0x1, MF_DISABLED 0x2, MF_CHECKED 0x8,
//                       MF_POPUP 0x10, MF_SEPARATOR 0x800; no other bit
//     int16  id         a command's id (1..32767); for MF_POPUP the id of the
//                       "MENU" resource holding the submenu; 0 for separators
//     uint8  L, then L bytes: the text in UTF-8 (empty for separators)
// The data must hold exactly these bytes. Submenus nest at most
// kHostMenuMaxDepth deep (which also stops a menu that names itself).
//
// Accelerator resources, type "ACCL" (id: the menu bar's base id plus the
// language offset):
//   uint16 n            number of entries, 1..4096
//   n entries of 6 bytes: uint8 flags (FVIRTKEY, FSHIFT, FCONTROL, FALT; no
//   other bit), uint8 0, uint16 key (a virtual key with FVIRTKEY, else a
//   character), uint16 command id
#pragma once

#include <functional>
#include <span>
#include <string>

#include "host/HostWin.h"
#include "platform/Types.h"

constexpr OSType kMenuResType = FourCC("MENU");
constexpr OSType kAccelResType = FourCC("ACCL");
constexpr int32 kHostMenuMaxDepth = 4;

// Item flags (MF_*) of the calls below.
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT kMenuFailed = 0xFFFFFFFFu;  // (UINT)-1 of EnableMenuItem and friends

// --- Menus and items -------------------------------------------------------------

HMENU CreateMenu();       // an empty menu bar
HMENU CreatePopupMenu();  // an empty pop-up
// Destroys the menu and its submenus; FALSE for an unknown handle.
bool DestroyMenu(HMENU menu);
bool IsMenu(HMENU menu);

// Appends or inserts an item. flags: MF_SEPARATOR, MF_POPUP (id_or_sub is the
// submenu's handle), or a command (id_or_sub is its id); with MF_GRAYED,
// MF_DISABLED, MF_CHECKED. InsertMenu's `item` is a position (MF_BYPOSITION;
// past the end appends) or a command id searched in the menu and its
// submenus, before which the item goes. A submenu may have one parent only;
// a menu cannot become its own descendant.
bool AppendMenuW(HMENU menu, UINT flags, uintptr_t id_or_sub, const char16_t* text);
bool AppendMenuA(HMENU menu, UINT flags, uintptr_t id_or_sub, const char* utf8);
bool InsertMenuW(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char16_t* text);
bool InsertMenuA(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char* utf8);
// Replaces an item (by command or position) as AppendMenu would make it.
bool ModifyMenuW(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char16_t* text);
bool ModifyMenuA(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char* utf8);
// DeleteMenu destroys a removed pop-up's submenu; RemoveMenu keeps it.
bool DeleteMenu(HMENU menu, UINT item, UINT flags);
bool RemoveMenu(HMENU menu, UINT item, UINT flags);

// State changes by command (searched in submenus too) or position. The
// result is the previous state (MF_ENABLED / MF_GRAYED | MF_DISABLED bits,
// or MF_CHECKED / MF_UNCHECKED), kMenuFailed when the item does not exist.
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
UINT CheckMenuItem(HMENU menu, UINT item, UINT flags);
// The item's flags (MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP,
// MF_SEPARATOR); kMenuFailed when it does not exist.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);

// -1 for an unknown handle.
int32 GetMenuItemCount(HMENU menu);
// The command id of the item at pos; -1 for a pop-up, a separator, an
// unknown handle or position.
int32 GetMenuItemID(HMENU menu, int32 pos);
HMENU GetSubMenu(HMENU menu, int32 pos);
// Copies the item's text (with its "&" and TAB) into buf, NUL-terminated and
// cut to fit bufsize units (bytes for the UTF-8 form); returns the units
// copied. With buf NIL returns the text's full length. 0 when the item does
// not exist.
int32 GetMenuStringW(HMENU menu, UINT item, char16_t* buf, int32 bufsize, UINT flags);
int32 GetMenuStringA(HMENU menu, UINT item, char* buf, int32 bufsize, UINT flags);

// --- Resources -------------------------------------------------------------------------

// Builds a pop-up menu from "MENU" data (layout above). `submenu` gives the
// data of a submenu resource by id (FALSE when there is none). NIL with *err
// set when the data or a submenu is malformed or missing.
using HostMenuLookup = std::function<bool(int16 id, std::span<const uint8>* data)>;
HMENU Host_Menu_Load(std::span<const uint8> data, const HostMenuLookup& submenu, std::string* err);
// Builds an accelerator table from "ACCL" data; NIL with *err when malformed.
HACCEL Host_Accel_Load(std::span<const uint8> data, std::string* err);

// --- Bar, tracking and accelerators ----------------------------------------------------------

// Points the window layer's menu-bar hooks at this module. Idempotent.
void Host_Menu_Install();

// The rectangle of title `pos` of a window's menu bar, in the window's client
// coordinates (the bar lies above the client area, so its y is negative).
// FALSE when the window has no bar or the title does not exist.
bool Host_Menu_Title_Rect(HWND hwnd, int32 pos, RECT* out);
// The rectangle of item `pos` of a pop-up as this module lays it out,
// relative to the pop-up window's top-left corner. FALSE for no such item.
bool Host_Menu_Item_Rect(HMENU popup, int32 pos, RECT* out);

// Starts modal tracking of a window's menu bar with title `pos` open (by the
// mouse: `keyboard` FALSE), or highlighted with keyboard navigation (pos -1:
// the first title highlighted and none open). Returns when the menu closes;
// the command chosen (0 for none) is also posted as WM_COMMAND.
uint16 Host_Menu_Track_Bar(HWND hwnd, int32 pos, bool keyboard);
// The keyboard entry to a window's menu bar, for the default window
// procedure: a press and release of Alt alone (or of F10) highlights the
// first title; WM_SYSCHAR with a title's mnemonic opens that title. TRUE when
// the message was taken.
bool Host_Menu_Sys_Key(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// While tracking: the open pop-up windows (level 0 is the bar's pop-up), the
// highlighted title and the highlighted item of a level (-1: none).
bool Host_Menu_Tracking();
HWND Host_Menu_Popup_Window(int32 level);
int32 Host_Menu_Tracked_Title();
int32 Host_Menu_Tracked_Item(int32 level);

// The accelerator translation of the main loop, aware of the window's menu:
// for a key of the table whose command is an item of the window's menu bar,
// the window gets WM_INITMENU and WM_INITMENUPOPUP (for the item's pop-up)
// as though the menu were about to show, and then WM_COMMAND (low word: the
// command, high word 1), also for a greyed item (the owner refuses it, as
// it refuses the command from anywhere else); a command that no item
// carries is sent as it is. TRUE when the key matched an entry (the key is
// then used up).
bool TranslateAcceleratorW(HWND hwnd, HACCEL accel, const MSG* msg);

// Destroys every menu and ends any tracking (tests).
void Host_Menu_Reset();
