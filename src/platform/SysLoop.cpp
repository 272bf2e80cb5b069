#include "platform/SysLoop.h"

#include "host/HostDialog.h"
#include "platform/Controls.h"
#include "platform/SysDlog.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/SysMS.h"
#include "platform/SysPrint.h"
#include "platform/SysSound.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/Windowv.h"

HWND main_hwnd = nullptr;
HACCEL main_accel = nullptr;

bool8 g_null_flag = false;
bool8 g_dead_pending = false;
int32 g_idle_start = 0;
int32 g_dead_start = 0;
Point g_dead_pos{0, 0};
bool8 g_just_maximized = false;
bool8 g_just_resized = false;
bool8 g_was_vis = false;
bool8 g_quit_pending = false;

namespace {

// The application's procedures until it installs its own.
void No_Menu_Event(int16, int16, bool8, bool8) {}
void No_Key(const a_keystroke&) {}
bool8 No_Mouse(const a_mousestroke&, bool8) { return false; }
void No_Work() {}
void No_State_Var(int16) {}
void No_Cursor(int16) {}

}  // namespace

void (*g_menu_event_proc)(int16, int16, bool8, bool8) = No_Menu_Event;
void (*g_key_down_proc)(const a_keystroke&) = No_Key;
bool8 (*g_mouse_down_proc)(const a_mousestroke&, bool8) = No_Mouse;
void (*g_mouse_left_proc)() = No_Work;
void (*g_sv_begin_proc)() = No_Work;
void (*g_sv_end_proc)() = No_Work;
void (*g_sv_finish_proc)() = No_Work;
void (*g_sv_set_virtual_proc)(int16) = No_State_Var;
void (*g_font_cache_tick_proc)() = No_Work;
void (*g_status_tick_proc)() = No_Work;
void (*g_nav_tick_proc)() = No_Work;
void (*g_cursor_shape_proc)(int16) = No_Cursor;
void (*g_caret_tick_proc)() = No_Work;
void (*g_file_quit_proc)() = No_Work;

namespace {

// Windows hidden while the program is active (the desktop's panel only).
constexpr int16 kMaxHidden = 4;
int16 g_nhidden = 0;
HWND g_hidden[kMaxHidden + 1];

a_keymod_set Mods_From_Flags(WPARAM flags) {
  a_keymod_set m = 0;
  if ((flags & MK_CONTROL) != 0) m = a_keymod_set(m | Keymod_Bit(OPTIONKEY));
  if ((flags & MK_SHIFT) != 0) m = a_keymod_set(m | Keymod_Bit(SHIFTKEY));
  return m;
}

a_keystroke Key(uint8 virtcode, uint8 charcode, UniChar unicode, a_keymod_set mods) {
  return a_keystroke{virtcode, charcode, unicode, mods};
}

bool Is_Special_Key(int32 vk) {
  return (vk >= VK_LEFT && vk <= VK_DOWN) || vk == VK_HOME || vk == VK_END || vk == VK_PRIOR ||
         vk == VK_NEXT || (vk >= VK_F1 && vk <= VK_F15);
}

// The keystroke of a key that carries no character (arrows, paging keys,
// function keys, Delete); FALSE for every other key.
bool8 Special_Keystroke(WPARAM wParam, a_keystroke& k) {
  const int32 vk = int32(wParam & 0xFF);
  a_keymod_set mods = 0;
  Set_Basic_Keymods(mods);
  if (Is_Special_Key(vk)) {
    k = Key(uint8(vk), 0, 126, mods);
    return true;
  }
  if (vk == VK_DELETE) {
    k = Key(uint8(VK_DELETE), 127, 126, mods);
    return true;
  }
  return false;
}

// The positions of a mouse message: lParam in the window's client
// coordinates, and the same on the screen.
void Mouse_Positions(HWND window, LPARAM lParam, Point& gmouse, Point& lmouse) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ToPoint(lmouse, p);
  ClientToScreen(window, &p);
  ToPoint(gmouse, p);
}

}  // namespace

void SysLoop_Init() {
  g_quit_pending = false;
  g_null_flag = false;
  g_dead_pending = false;
  g_just_maximized = false;
  g_just_resized = false;
  g_was_vis = false;
  g_nhidden = 0;
}

// --- Translation ---------------------------------------------------------------------

void Set_Basic_Keymods(a_keymod_set& mods) {
  mods = 0;
  if (GetKeyState(VK_SHIFT) < 0) mods = a_keymod_set(mods | Keymod_Bit(SHIFTKEY));
  if (GetKeyState(VK_CONTROL) < 0) mods = a_keymod_set(mods | Keymod_Bit(OPTIONKEY));
}

void WM_CHAR_To_Keystroke(WPARAM wparam, LPARAM lparam, a_keystroke& k) {
  a_keymod_set mods = 0;
  Set_Basic_Keymods(mods);
  const UniChar c = UniChar(wparam & 0xFFFF);
  if (c == 13) {
    k = (lparam & KF_EXTENDED_BIT) != 0 ? Key(VIRT_KEYPAD_ENTER, 0, 126, mods) : Key(13, 0, 126, mods);
  } else if (c == 127) {
    k = Key(8, 8, 126, mods);
  } else if (c < 128) {
    k = Key(Char_To_Virt(uint8(c)), uint8(c), c, mods);
  } else {
    k = Key(0, 126, c, mods);
  }
}

// --- Handing events to the application ------------------------------------------------

void Do_Menu_Event(int16 menu_category, int16 menu_item, bool8 shiftkey, bool8 optionkey) {
  g_sv_begin_proc();
  g_menu_event_proc(menu_category, menu_item, shiftkey, optionkey);
  g_sv_end_proc();
}

void Do_Command_Id(int16 id, bool8 shiftkey, bool8 optionkey) {
  const int16 category = int16(id / 20 * 20);
  const int16 item = int16(id % 20);
  Do_Menu_Event(category, item, shiftkey, optionkey);
}

void Do_Key(const a_keystroke& keystroke) {
  g_sv_begin_proc();
  g_key_down_proc(keystroke);
  g_sv_end_proc();
}

void Human_MouseDown(a_keymod_set keymods, const EventRecord& myEvent) {
  a_mousestroke stroke{};
  stroke.when = myEvent.when;
  stroke.window = reinterpret_cast<HWND>(myEvent.message);
  stroke.lmouse = myEvent.where;
  stroke.button1 = myEvent.what == mouseDown;
  stroke.button2 = false;
  stroke.mods = keymods;
  // A press no node uses plays the refusal sound.
  if (!g_mouse_down_proc(stroke, true)) Sound_Effect(SND_NULL);
}

void DoMouseDown(HWND window, WPARAM flags, const Point& lwhere, int32 when) {
  EventRecord e{};
  e.what = mouseDown;
  e.message = reinterpret_cast<intptr_t>(window);
  e.when = when;
  e.where = lwhere;
  g_sv_begin_proc();
  Human_MouseDown(Mods_From_Flags(flags), e);
  g_sv_end_proc();
}

// --- Idle work -----------------------------------------------------------------------

void Do_Null_Event(bool8 fixcursor, HWND window, Point gmouse, Point lmouse) {
  Resume_Suppressed_Updates();
  g_font_cache_tick_proc();
  if (g_doc.doc_open)
    Do_Null_Doc(fixcursor, window, gmouse, lmouse);
  else if (fixcursor)
    g_cursor_shape_proc(LOOP_ARROW_CURSOR);
  g_sv_finish_proc();
}

void Do_Null_Doc(bool8 fixcursor, HWND window, Point gmouse, Point lmouse) {
  g_status_tick_proc();
  g_caret_tick_proc();
  const int32 now = int32(TickCount());
  if (!g_null_flag) {
    g_null_flag = true;
    g_dead_pending = true;
    g_idle_start = now;
    g_dead_start = now;
    g_dead_pos = gmouse;
  }
  a_mousestroke stroke{};
  stroke.when = now;
  stroke.window = window;
  stroke.lmouse = lmouse;
  stroke.button1 = false;
  stroke.button2 = false;
  Set_Basic_Keymods(stroke.mods);
  (void)g_mouse_down_proc(stroke, fixcursor);
  if (gmouse.h != g_dead_pos.h || gmouse.v != g_dead_pos.v) {
    g_dead_start = now;
    g_dead_pos = gmouse;
  } else if (g_dead_pending && uint32(now - g_dead_start) > HOVER_TICKS) {
    g_nav_tick_proc();
    g_dead_pending = false;
  }
}

// --- Scrolling, sizes, activation -------------------------------------------------------

namespace {

struct a_scroll_actions {
  a_scroll_action nonthumb;
  a_scroll_action thumb;
};
}  // namespace

int16 g_wheel_delta = 0;

namespace {

// Filled by the lists' start-ups (which may run before this module's).
a_scroll_actions g_scroll_actions[NSCROLL_OWNERS] = {};

HWND Scroll_Bar_Of(a_scroll_owner owner) {
  switch (owner) {
    case SCROLL_LAYER_BAR: return gs.lscroll_ctrl;
    case SCROLL_UNIT_LIST: return gs.uscroll_ctrl;
    case SCROLL_PAPER_KIND: return gs.paper_kind_desc.scrollbar;
    case SCROLL_PAPER_LIST: return gs.paper_list_desc.scrollbar;
    default: return nullptr;
  }
}

}  // namespace

void Set_Scroll_Actions(a_scroll_owner owner, a_scroll_action nonthumb, a_scroll_action thumb) {
  if (owner >= NSCROLL_OWNERS) return;
  g_scroll_actions[owner] = a_scroll_actions{nonthumb, thumb};
}

void Do_Scroll(int16 part, HWND ctrl) {
  if (ctrl == nullptr) return;
  const bool nonthumb = (part >= SB_LINEUP && part <= SB_PAGEDOWN) || part == SCROLL_WHEEL;
  if (!nonthumb && part != SB_THUMBTRACK) return;
  for (uint8 o = 0; o < NSCROLL_OWNERS; ++o) {
    const a_scroll_owner owner = a_scroll_owner(o);
    if (Scroll_Bar_Of(owner) != ctrl) continue;
    const a_scroll_action action = nonthumb ? g_scroll_actions[o].nonthumb : g_scroll_actions[o].thumb;
    if (action != nullptr) action(part, ctrl);
    return;
  }
}

void Just_Changed_Size() {
  if (gs.outer_window != nullptr) GetWindowBounds(gs.outer_window, gs.pref.tot_window);
  g_sv_set_virtual_proc(SV_CONFIG_ALL);
  g_just_resized = true;
}

void Hide_Foreign_Windows() {
  // There is no desktop panel of ours to hide; none is recorded.
  g_nhidden = 0;
}

void Show_Foreign_Windows() {
  while (g_nhidden > 0) {
    ShowWindow(g_hidden[g_nhidden], SW_SHOW);
    --g_nhidden;
  }
}

void Do_Minimize() {
  if (!info_show_taskbar) Show_Foreign_Windows();
  g_was_vis = true;
}

void Do_Maximize() {
  g_was_vis = false;
  Winlist_Restore();
}

void App_Activate() {
  if (gs.mytask) return;
  gs.mytask = true;
  if (!info_show_taskbar) Hide_Foreign_Windows();
  Do_Maximize();
  if (gs.outer_window != nullptr) Invalidate_Window(gs.outer_window);
}

void App_Deactivate() {
  if (!gs.mytask) return;
  if (g_caret_erase_proc != nullptr) g_caret_erase_proc();
  gs.mytask = false;
  if (!info_show_taskbar) Show_Foreign_Windows();
}

// --- Quitting ---------------------------------------------------------------------------

bool8 Loop_Is_Busy() { return Is_Modal_Active() || Host_Dialog_Modal_Depth() > 0 || Print_Job_Running(); }

void Request_Quit() {
  if (!Loop_Is_Busy() && !g_quit_pending) {
    g_file_quit_proc();
    return;
  }
  g_quit_pending = true;
  Print_Stop_For_Quit();
  Modal_Cancel_All();
}

void Run_Pending_Quit() {
  if (!g_quit_pending || Loop_Is_Busy()) return;
  g_quit_pending = false;
  g_file_quit_proc();
}

// --- Window procedures -------------------------------------------------------------------

namespace {

// The main window while a page is being printed: its paints wait for the
// end of the job and its other messages get the default processing, but a
// close or the end of the session stops the job and quits (the default
// processing would destroy the window under the job).
LRESULT Printing_Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      g_print.deferred_paint = true;
      return DefWindowProc(window, message, wParam, lParam);
    case WM_CLOSE:
      Request_Quit();
      return 0;
    case WM_QUERYENDSESSION:
      Request_Quit();
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        Request_Quit();
        return 0;
      }
      return DefWindowProc(window, message, wParam, lParam);
    case WM_COMMAND:
      if (int16(LOWORD(wParam)) == CMD_QUIT) Request_Quit();
      return 0;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

}  // namespace

LRESULT NormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_print.in_printing) return Printing_Proc(window, message, wParam, lParam);
  const int32 when = int32(GetMessageTime() / 16);
  switch (message) {
    case WM_MOUSEMOVE: {
      if (!gs.mytask) return DefWindowProc(window, message, wParam, lParam);
      Point gmouse, lmouse;
      Mouse_Positions(window, lParam, gmouse, lmouse);
      Do_Null_Event(true, window, gmouse, lmouse);
      return 0;
    }
    case WM_PAINT:
      if (g_just_resized) {
        g_just_resized = false;
        g_sv_set_virtual_proc(SV_CONFIG_ALL);
        g_sv_finish_proc();
      }
      DoUpdate(window);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      Point gmouse, lmouse;
      Mouse_Positions(window, lParam, gmouse, lmouse);
      DoMouseDown(window, wParam, lmouse, when);
      g_sv_finish_proc();
      g_null_flag = false;
      return 0;
    }
    case WM_CHAR: {
      a_keystroke k;
      WM_CHAR_To_Keystroke(wParam, lParam, k);
      Do_Key(k);
      g_null_flag = false;
      return 0;
    }
    case WM_SYSCHAR: {
      LRESULT r = 0;
      if (gs.controller == HUMAN) {
        if ((wParam & 0xFFFF) == '=')
          Do_Menu_Event(1000, 1, false, false);  // zoom in
        else
          r = DefWindowProc(window, message, wParam, lParam);
      }
      g_null_flag = false;
      return r;
    }
    case WM_SYSCOLORCHANGE:
      return 0;
    case WM_KEYDOWN: {
      a_keystroke k;
      if (Special_Keystroke(wParam, k)) Do_Key(k);
      g_null_flag = false;
      return 0;
    }
    case WM_SYSKEYDOWN: {
      const int32 vk = int32(wParam & 0xFF);
      LRESULT r = 0;
      a_keystroke k;
      if (vk >= VK_F1 && vk <= VK_F15 && GetKeyState(VK_MENU) >= 0 && Special_Keystroke(wParam, k))
        Do_Key(k);
      else
        r = DefWindowProc(window, message, wParam, lParam);
      g_null_flag = false;
      return r;
    }
    case WM_COMMAND: {
      const int16 id = int16(LOWORD(wParam));
      switch (id) {
        case CMD_MINIMIZE:
          ShowWindow(gs.outer_window, SW_MINIMIZE);
          Do_Minimize();
          break;
        case CMD_QUIT:
          Request_Quit();
          break;
        case CMD_RETURN:
          Do_Key(Key(13, 0, 126, 0));
          break;
        case CMD_BACKSPACE:
          Do_Key(Key(8, 8, 126, 0));
          break;
        default:
          // The keys as they were with the message that chose the command
          // (an accelerator's key, a menu's click), not as they are now:
          // Ctrl+Shift+S may be let go before its command is taken.
          Do_Command_Id(id, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0);
          g_sv_finish_proc();
          break;
      }
      // A command is the user's action as a key or a click is: the idle work
      // that follows one (the navigator's miniature) comes after it too.
      g_null_flag = false;
      return 0;
    }
    case WM_SYSCOMMAND:
      if (wParam == 201) {
        Do_Menu_Event(200, 1, false, false);  // About
        return 0;
      }
      if ((wParam & ~WPARAM(0xF)) == SC_RESTORE || (wParam & ~WPARAM(0xF)) == SC_MAXIMIZE)
        g_just_maximized = true;
      return DefWindowProc(window, message, wParam, lParam);
    case WM_INITMENUPOPUP:
      Sound_Effect(SND_SUBTOOL_ONESHOT);
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL: {
      HWND ctrl = reinterpret_cast<HWND>(lParam);
      // While the thumb is dragged the scroll bar only reports where it is:
      // its value follows here, so the list's thumb action reads it.
      if (LOWORD(wParam) == SB_THUMBTRACK && ctrl != nullptr) SetControlValue(ctrl, HIWORD(wParam));
      Do_Scroll(int16(LOWORD(wParam)), ctrl);
      return 0;
    }
    case WM_MOUSEACTIVATE: {
      LRESULT r;
      if (gs.mytask) {
        if (GetActiveWindow() == gs.outer_window) {
          r = MA_NOACTIVATE;
        } else if (reinterpret_cast<HWND>(wParam) == gs.outer_window) {
          r = MA_ACTIVATE;
        } else {
          SetActiveWindow(gs.outer_window);
          r = MA_NOACTIVATE;
        }
      } else {
        SetActiveWindow(gs.outer_window);
        r = MA_NOACTIVATEANDEAT;
      }
      g_sv_finish_proc();
      return r;
    }
    case WM_CREATE:
      New_Shadow(window);
      return 0;
    case WM_CLOSE:
      Request_Quit();
      return 0;
    case WM_ACTIVATE:
      // Another window takes the pointer's attention (a dialog, a print
      // job's window, another program): whatever the interface shows for
      // the pointer, a tip first, goes, as if the pointer had left.
      if (LOWORD(wParam) == WA_INACTIVE) g_mouse_left_proc();
      return DefWindowProc(window, message, wParam, lParam);
    case WM_ACTIVATEAPP:
      if (wParam == 0)
        App_Deactivate();
      else
        App_Activate();
      return 0;
    case WM_DESTROY:
      Dispose_Shadow(window);
      return 0;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      if (mm != nullptr) {
        mm->ptMaxSize = POINT{MAIN_MAX_SIZE, MAIN_MAX_SIZE};
        mm->ptMaxPosition = POINT{-10, -10};
        mm->ptMinTrackSize = POINT{MAIN_MIN_WIDTH, MAIN_MIN_HEIGHT};
        mm->ptMaxTrackSize = POINT{MAIN_MAX_SIZE, MAIN_MAX_SIZE};
      }
      return 0;
    }
    case WM_QUERYENDSESSION:
      // While a loop of its own runs the quit is held (not yet: 0).
      Request_Quit();
      return g_doneflag ? 1 : 0;
    case WM_WINDOWPOSCHANGING:
      return 0;
    case WM_SIZE:
      if (g_just_maximized) {
        Just_Changed_Size();
        g_just_maximized = false;
        return 0;
      }
      return DefWindowProc(window, message, wParam, lParam);
    case WM_SIZING:
    case WM_EXITSIZEMOVE:
      Just_Changed_Size();
      return 0;
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}

LRESULT NullProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      if (mm != nullptr) {
        const int32 w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        mm->ptMaxSize = POINT{w, h};
        mm->ptMaxTrackSize = POINT{w, h};
        mm->ptMaxPosition = POINT{0, 0};
      }
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SYSCOMMAND:
      if ((wParam & ~WPARAM(0xF)) == SC_RESTORE && g_was_vis) Do_Maximize();
      return DefWindowProc(window, message, wParam, lParam);
    default:
      return DefWindowProc(window, message, wParam, lParam);
  }
}
