// The main window's procedures and the translation of window messages into
// the application's events: menu commands, keystrokes, mouse presses, idle
// (null) events, scroll actions, paints and size changes. Every user action
// handed on runs between SV_Begin_Interaction and SV_End_Interaction of the
// state-variable engine.
#pragma once

#include "host/HostWin.h"
#include "platform/Events.h"
#include "platform/Types.h"

// Shared handles of the platform layer: the main window, and the
// accelerator table of the current menu bar (NIL until menus exist).
extern HWND main_hwnd;
extern HACCEL main_accel;

// Key modifiers handed to the application (bits of a_keymod_set).
enum a_keymod : uint8 { SHIFTKEY = 0, OPTIONKEY = 1, CONTROLKEY = 2, COMMANDKEY = 3 };
using a_keymod_set = uint8;
constexpr a_keymod_set Keymod_Bit(a_keymod m) { return a_keymod_set(1u << m); }

// One key as the application sees it.
struct a_keystroke {
  uint8 virtcode;   // virtual key of a key without a character; see WM_CHAR_To_Keystroke
  uint8 charcode;   // the character below 128; 126 above; 0 for no character
  UniChar unicode;  // the UTF-16 unit typed; 126 for keys without a character
  a_keymod_set mods;
};

// One mouse press, or the idle position when no button is down.
struct a_mousestroke {
  int32 when;  // ticks
  HWND window;
  Point lmouse;  // the window's client coordinates
  bool8 button1;
  bool8 button2;
  a_keymod_set mods;
};

// Virtual code of the Enter key of the numeric keypad.
constexpr uint8 VIRT_KEYPAD_ENTER = 0x29;

// Command ids the main window handles itself.
constexpr int16 CMD_MINIMIZE = 32010;
constexpr int16 CMD_QUIT = 32011;
constexpr int16 CMD_RETURN = 32000;
constexpr int16 CMD_BACKSPACE = 32001;

// Smallest and largest size of the main window.
constexpr int32 MAIN_MIN_WIDTH = 808;
constexpr int32 MAIN_MIN_HEIGHT = 620;
constexpr int32 MAIN_MAX_SIZE = 2000;

// Ticks the mouse must rest before the hover notice of an idle period.
constexpr uint32 HOVER_TICKS = 60;

// Idle-period state (module variables).
extern bool8 g_null_flag;
extern bool8 g_dead_pending;
extern int32 g_idle_start;
extern int32 g_dead_start;
extern Point g_dead_pos;
extern bool8 g_just_maximized;
extern bool8 g_just_resized;
extern bool8 g_was_vis;

// Quitting while a loop of its own runs. The main window's close box, Alt+F4,
// the quit command id and the end of the session (SIGTERM, SIGINT) reach
// Request_Quit. With no modal dialog, modal window or print job running it
// is Do_File_Quit at once. Otherwise the quit is held (g_quit_pending): the
// modal dialogs are cancelled as Escape would cancel them, modal windows
// cancel themselves, a print job is stopped (no alert), no new dialog opens,
// and once those loops are gone the main loop runs Do_File_Quit
// (Run_Pending_Quit), so the program ends normally and writes its
// preferences.
extern bool8 g_quit_pending;
// TRUE while a modal dialog or window of ours, a dialog of the host (file,
// print) or a print job runs.
bool8 Loop_Is_Busy();
void Request_Quit();
// Called by the main loop: carries out a held quit once nothing is busy.
void Run_Pending_Quit();

// --- The application's procedures --------------------------------------------------
//
// The main window hands what it translates to the interface, the text editor
// and the File commands, which sit in the layers above this one. Each of them
// installs its procedures here at its start-up, as the lists install their
// scroll actions: the interface (Intf_Init) the commands, keys, mouse
// strokes, the state-variable engine and its idle ticks; the cursors
// (Cursor_Init) the shape; the text editor (Caret_Init) the caret's blink;
// the File commands (VoskFile_Init) the quit command. Until then each is an
// empty procedure (a stroke is not used, the quit command does nothing), and
// SysLoop_Init leaves them as they are, whichever start-up runs first.
extern void (*g_menu_event_proc)(int16 menu_category, int16 menu_item, bool8 shiftkey,
                                 bool8 optionkey);                 // DoMenuEvent
extern void (*g_key_down_proc)(const a_keystroke& key);            // DoKeyDown
extern bool8 (*g_mouse_down_proc)(const a_mousestroke& stroke, bool8 docursor);  // Intf_MouseDown
extern void (*g_mouse_left_proc)();                                // Intf_Mouse_Left
extern void (*g_sv_begin_proc)();                                  // SV_Begin_Interaction
extern void (*g_sv_end_proc)();                                    // SV_End_Interaction
extern void (*g_sv_finish_proc)();                                 // SV_Finish
extern void (*g_sv_set_virtual_proc)(int16 sx);                    // SV_Set_Virtual
extern void (*g_font_cache_tick_proc)();                           // Font_Cache_Tick
extern void (*g_status_tick_proc)();                               // Status_Tick
extern void (*g_nav_tick_proc)();                                  // Nav_Tick
extern void (*g_cursor_shape_proc)(int16 shape);                   // Cursor_Set_Shape
extern void (*g_caret_tick_proc)();                                // Caret_Tick
extern void (*g_file_quit_proc)();                                 // Do_File_Quit

// State variables the main window marks changed (g_sv_set_virtual_proc).
constexpr int16 SV_CONFIG_ALL = 25;
constexpr int16 SV_MENUBAR_CHECKMARKS = 32;
// The cursor shape the idle work shows away from a document (the
// interface's ARROW_CURSOR).
constexpr int16 LOOP_ARROW_CURSOR = 0;

// Module start-up.
void SysLoop_Init();

// Window procedures of the classes "NORM" and "NULL".
LRESULT NormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT NullProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Hand a menu command, a key, or a mouse press to the application.
void Do_Menu_Event(int16 menu_category, int16 menu_item, bool8 shiftkey, bool8 optionkey);
void Do_Key(const a_keystroke& keystroke);
void DoMouseDown(HWND window, WPARAM flags, const Point& lwhere, int32 when);
void Human_MouseDown(a_keymod_set keymods, const EventRecord& myEvent);
// Splits a command id into (id div 20) x 20 and id mod 20 and runs it.
void Do_Command_Id(int16 id, bool8 shiftkey, bool8 optionkey);

// Idle work: called by the main loop (fixcursor FALSE) and on mouse moves (TRUE).
void Do_Null_Event(bool8 fixcursor, HWND window, Point gmouse, Point lmouse);
void Do_Null_Doc(bool8 fixcursor, HWND window, Point gmouse, Point lmouse);

// WM_CHAR to a keystroke (mods from Shift and Ctrl now).
void WM_CHAR_To_Keystroke(WPARAM wparam, LPARAM lparam, a_keystroke& k);
// SHIFTKEY if Shift is down, OPTIONKEY if Ctrl is down.
void Set_Basic_Keymods(a_keymod_set& mods);

// The lists with scroll bars of their own, and the actions they scroll by.
// Each list registers its pair at its start-up; Do_Scroll hands a scroll
// code to the pair of the list whose scroll bar sent it: the layer bar
// (gs.lscroll_ctrl), the unit list (gs.uscroll_ctrl), the paper kinds and the
// papers (the scrollbar of gs.paper_kind_desc and of gs.paper_list_desc).
enum a_scroll_owner : uint8 {
  SCROLL_LAYER_BAR = 0,
  SCROLL_UNIT_LIST = 1,
  SCROLL_PAPER_KIND = 2,
  SCROLL_PAPER_LIST = 3,
  NSCROLL_OWNERS = 4,
};
// Called with the scroll code and the scroll bar.
using a_scroll_action = void (*)(int16 part, HWND ctrl);
// Registers (or, with NIL, removes) the actions of a list.
void Set_Scroll_Actions(a_scroll_owner owner, a_scroll_action nonthumb, a_scroll_action thumb);

// The scroll code of a turn of the mouse wheel over a list, and the size of
// that turn in notches: positive towards the end of the list. A list moves by
// its visible rows times g_wheel_delta.
constexpr int16 SCROLL_WHEEL = 24000;
extern int16 g_wheel_delta;

// A scroll code from a scroll bar: codes 0 to 3 (line up, line down, page up,
// page down) and SCROLL_WHEEL go to the non-thumb action, 5 (thumb track) to
// the thumb action of the list that owns ctrl. Other codes, and scroll bars
// no list owns, are ignored. (The window procedure has set the control's
// value to the thumb's position before a thumb track arrives here.)
void Do_Scroll(int16 part, HWND ctrl);
void Just_Changed_Size();
void Do_Minimize();
void Do_Maximize();
void App_Activate();
void App_Deactivate();
// The desktop's panel stays visible (info_show_taskbar), so these have
// nothing to hide or show again.
void Hide_Foreign_Windows();
void Show_Foreign_Windows();
