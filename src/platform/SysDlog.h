// The program's dialogs, in two forms.
//
// A modal dialog (Modal_Dialog) is a dialog template of resource type "DLOG"
// run by the host's modal dialog box; the caller gives three procedures
// (initialise, handle an item, filter events) and gets back the code its
// command procedure handed to Modal_Exit.
//
// A modal window (Modal_Window) is a plain window of our class "MWIN" that
// the caller paints and drives through an event procedure fed with
// toolbox-style events (EventRecord), while this module runs the message
// loop.
//
// Both nest (at most 4 dialogs and 2 windows at a time) and both disable the
// window that was active before them. The module also offers the accessors
// of dialog items (text, numbers, check boxes, pop-up menus, user-drawn
// items) and the class "USER" for user-drawn items.
//
// Events handed to filters and event procedures follow Events.h: key events
// carry the virtual-key code in bits 16..23 of `message` and the character
// in bits 24..31; update events carry the window. Shift sets shiftKey; Ctrl
// sets controlKey and also cmdKey, the command modifier the dialog filters
// test (Ctrl+"." cancels, Ctrl+"D" answers "Don't Save").
//
// Scripted runs: the host presses item N of the innermost dialog for a
// script's `answer alert N`; a modal window takes `answer alert 1` as the
// Return key and any other answer as Escape. On the headless backend a
// dialog or modal window that waits with no script input left is
// cancelled (an Escape for a modal window, closed if its event procedure
// refuses it), so a run never waits for input that cannot come.
#pragma once

#include "host/HostDialog.h"
#include "host/HostWin.h"
#include "platform/Events.h"
#include "platform/Types.h"

struct a_fontspec;

// --- Modal dialogs -----------------------------------------------------------------

using a_dlog_init_proc = void (*)(HWND dialog);
using a_dlog_cmd_proc = void (*)(HWND dialog, int16 item);
// Sees the events of the dialog first; TRUE with item set answers the event
// with that item (then handed to the command procedure).
using a_dlog_filter_proc = bool8 (*)(HWND dialog, EventRecord& event, int16& item);

struct a_modal_rec {
  a_dlog_init_proc init;
  a_dlog_cmd_proc cmd;
  a_dlog_filter_proc filter;  // may be NIL
  int16 lasthit;              // the result, set by Modal_Exit
  HWND dialog;                // the running dialog (NIL until it is made)
};

constexpr int16 kMaxModalDialogs = 4;
extern a_modal_rec modal_stack[kMaxModalDialogs];
extern int16 modal_n;

// The resource type of dialog templates.
constexpr OSType kDlogResType = FourCC("DLOG");

// The result of a dialog that could not be shown.
constexpr int16 kModalRefused = -1;

// Runs dialog template dlog_id: sound dlog_snd (0 none) as it opens, the
// text caret taken off, the active window pushed and disabled for the
// dialog's life. Returns lasthit (0 when nothing called Modal_Exit). A
// template that is missing or refused is reported by the missing-resource
// rule (Report_Missing_Resource(DLOG, dlog_id): fatal during start-up,
// alert 6 once the program runs); a fifth nested dialog sounds the
// refusal (SND_NULL); both give kModalRefused, and the caller refuses what
// it was doing. dlog_hilite
// is not used (the template marks its default button).
int16 Modal_Dialog(int16 dlog_id, int16 dlog_snd, int16 dlog_hilite, a_dlog_init_proc dlog_init,
                   a_dlog_cmd_proc dlog_cmd, a_dlog_filter_proc dlog_filter);
// TRUE when template dlog_id exists and can be shown.
bool8 Dialog_Template_Valid(int16 dlog_id);
// Reads template dlog_id for a dialog run directly on the host's engine (the
// print dialogs, the stop dialog, the colour chooser). A template missing
// or damaged is reported by the missing-resource rule and gives FALSE; the
// caller then refuses what it was doing.
bool8 Get_Dialog_Template(int16 dlog_id, HostDlgTemplate& tmpl);
// Stores retcode as the dialog's result and ends it.
void Modal_Exit(HWND dialog, int16 retcode);
// Cancels every running modal dialog (ours and the host's file and print
// dialogs), innermost first, as Escape would: the key is offered to the
// dialog's filter, then its cancel item is pressed, and a dialog that still
// runs is ended with IDCANCEL. Modal windows cancel themselves while
// g_quit_pending is set (SysLoop.h), and no new dialog or window opens then.
void Modal_Cancel_All();
// The dialog procedure of every modal dialog. Every WM_COMMAND an item
// sends reaches the command procedure with the item's id: clicks and
// scripted presses, and the notifications too (an edit field's EN_CHANGE,
// a pop-up's CBN_SELCHANGE, focus changes ...).
intptr_t Modal_MsgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam);
// The notification of the command the command procedure is handling:
// BN_CLICKED for clicks, presses and items a filter answered, else the
// item's own (EN_CHANGE ...).
uint16 Modal_Cmd_Notification();
// TRUE while a modal dialog or a modal window runs.
bool8 Is_Modal_Active();

// Played as a dialog opens (sound effect number); NIL until the sound
// module installs its player.
extern void (*g_dlog_sound_proc)(int16 snd);

// --- Modal windows -----------------------------------------------------------------

using a_mwin_init_proc = void (*)(HWND window);
// TRUE when the window is to close; okay is the result of Modal_Window.
using a_mwin_event_proc = bool8 (*)(HWND window, const EventRecord& event, bool8& okay);

struct a_mwin_rec {
  a_mwin_init_proc init_proc;  // may be NIL
  a_mwin_event_proc event_proc;
  HWND window;
  bool8 okay;      // the result
  bool8 exitflag;  // the window has been destroyed
};

constexpr int16 kMaxModalWindows = 2;
extern a_mwin_rec mwin_stack[kMaxModalWindows];
extern int16 mwin_n;

// Runs a modal window with a client area of interior_h x interior_v, titled
// "Selection", centred; init_arg runs as it is made, stop_arg (may be NIL)
// after it is gone. Returns the okay its event procedure set. A third
// nested window (or one over full stacks) sounds the refusal and gives FALSE.
bool8 Modal_Window(int16 interior_h, int16 interior_v, a_mwin_init_proc init_arg,
                   a_mwin_init_proc stop_arg, a_mwin_event_proc event_arg);
// The window procedure of the class "MWIN".
LRESULT ModalWin_MsgProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// --- Windows -----------------------------------------------------------------------

// Places a window on the available screen area (info_videoavail): centred
// across; three tenths of the free height below the top when it is lower
// than the area, else centred.
void CenterWindow(HWND window);

// The active windows saved by modal dialogs and windows (at most 4).
struct a_winstack {
  HWND hwnd;
};
constexpr int16 kMaxWinStack = 4;
extern a_winstack g_winstack[kMaxWinStack];
extern int16 n_winstack;

// Pushes the active window (a fifth push calls QUIT and saves nothing);
// Pop makes the saved window active and the current port again and drops
// it (an empty stack calls QUIT). Named apart from the port stack's
// Push_Window / Pop_Window of SysWin.
namespace SysDlog {
void Push_Window();
void Pop_Window();
}  // namespace SysDlog

// Bracket every system dialog (file, folder, print): the program's windows
// are disabled in between; Stop_External enables them again and re-stacks
// them in window-list order. Brackets nest.
void Init_External();
void Stop_External();

// Module start-up: registers the classes "MWIN" and "USER" (and the host's
// control and dialog classes) and empties the stacks.
void SysDlog_Init();
constexpr const char* kClassUser = "USER";

// --- Dialog items -------------------------------------------------------------------

// The item whose context is the current port between PushDialogItemPort and
// PopDialogItemPort, and the font made by the last SetDialogFont.
extern HWND g_child_hwnd;
extern HFONT g_entry_font;

// At most 255 bytes (UTF-8).
void GetDialogStr(HWND dialog, int16 itemix, StrSpan itemstr);
void SetDialogStr(HWND dialog, int16 itemix, CStrSpan itemstr);
// At most (array length - 3) characters, as the toolbox's HIGH - 2.
void GetDialogText(HWND dialog, int16 itemix, StrSpan itemstr);
void GetDialogUText(HWND dialog, int16 itemix, UStrSpan itemstr);
void SetDialogText(HWND dialog, int16 itemix, CStrSpan itemstr);
void SetDialogUText(HWND dialog, int16 itemix, CUStrSpan itemstr);
// itemval := the item's number (signed when minval is negative); TRUE when
// the text is a number within minval .. maxval.
bool8 GetDialogInt(HWND dialog, int16 itemix, int32 minval, int32 maxval, int32& itemval);
void SetDialogInt(HWND dialog, int16 itemix, int32 itemval);
// A font made from the record, set on the item. Fonts made for a dialog
// live as long as it does.
void SetDialogFont(HWND dialog, int16 itemix, const a_fontspec& font);
bool8 GetDialogCheckBox(HWND dialog, int16 itemix);
void SetDialogCheckBox(HWND dialog, int16 itemix, bool8 val);
// Pop-up menus (combo boxes); entries from 1; GetDialogPopUp gives 1 when
// nothing is selected.
void AppendDialogPopUp(HWND dialog, int16 itemix, CStrSpan ss);
int16 GetDialogPopUp(HWND dialog, int16 itemix);
void SetDialogPopUp(HWND dialog, int16 itemix, int16 val);
void SetDialogCtlActive(HWND dialog, int16 itemix, bool8 active);
// The drawing procedure of a "USER" item: called with the dialog and the
// item's id to paint it, the item being the current port. Items of other
// classes are left alone.
using a_user_item_proc = void (*)(HWND dialog, int16 item);
void SetDialogUserItem(HWND dialog, int16 itemix, a_user_item_proc proc);
// The item's client rectangle, in its own coordinates.
void GetDialogItemBounds(HWND dialog, int16 itemix, Rect& itemrect);
// A screen point in the item's coordinates.
void GlobalToItem(HWND dialog, int16 itemix, Point gcoord, Point& lcoord);
// Makes the item's context the current port / flushes it and leaves no
// port current. Not nested and not on the port stack.
void PushDialogItemPort(HWND dialog, int16 partix);
void PopDialogItemPort();

// The window procedure of the class "USER".
LRESULT UserProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// --- Free-standing pop-up menus ---------------------------------------------------

// A child combo box over box, its drop-down reaching 150 pixels below the
// box's top.
HWND Create_PopUp(HWND owner, int16 id, const Rect& box);
// Adds an entry and selects the first entry.
void Append_PopUp(HWND hdl, CStrSpan ss);
int16 GetPopUp(HWND hdl);
void SetPopUp(HWND hdl, int16 val);
void Dispose_PopUp(HWND& hdl);
inline void Draw_PopUp(HWND) {}

// Full-width digits of Shift-JIS text (0x82 0x4F .. 0x82 0x58) become the
// ASCII digits, in place; the text closes up behind them.
void Map_Kanji_Numerals(StrSpan src);

// Parts of an event record (Events.h layout).
inline uint8 Event_KeyCode(const EventRecord& e) { return uint8((uintptr_t(e.message) >> 16) & 0xFF); }
inline uint8 Event_CharCode(const EventRecord& e) { return uint8((uintptr_t(e.message) >> 24) & 0xFF); }
