#include "platform/SysDlog.h"

#include <cstring>
#include <map>
#include <string>
#include <strings.h>
#include <vector>

#include "platform/VoskDef.h"
#include "host/HostBackend.h"
#include "host/HostControls.h"
#include "host/HostScript.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysCurs.h"
#include "platform/SysErr.h"
#include "platform/SysFont.h"
#include "platform/SysInfo.h"
#include "platform/SysKey.h"
#include "platform/SysLoop.h"
#include "platform/SysMS.h"
#include "platform/SysSound.h"
#include "platform/SysUnicode.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"

a_modal_rec modal_stack[kMaxModalDialogs];
int16 modal_n = 0;
a_mwin_rec mwin_stack[kMaxModalWindows];
int16 mwin_n = 0;
a_winstack g_winstack[kMaxWinStack];
int16 n_winstack = 0;
HWND g_child_hwnd = nullptr;
HFONT g_entry_font = nullptr;
void (*g_dlog_sound_proc)(int16 snd) = nullptr;

namespace {

// Idle turns of a modal window with nothing queued and no script input
// left before a headless run cancels it.
constexpr int32 kIdleCancelTurns = 200;

// The longest wait between two null events of a modal window: one tick.
constexpr uint32 kNullEventMillis = 16;

// Depth of the external-dialog brackets, and the windows they disabled.
int32 g_external_depth = 0;
std::vector<HWND> g_external_disabled;

// Fonts made by SetDialogFont, with the dialog each was made for: an item
// keeps using its font, so none is deleted while its dialog lives.
struct DialogFont {
  HWND dialog;
  HFONT font;
};
std::vector<DialogFont> g_dialog_fonts;

// The original procedures of subclassed dialog items (keys reach the
// dialog's filter through them).
std::map<HWND, WNDPROC> g_item_procs;

bool Is_Class(HWND window, const char* name) {
  char cls[32];
  if (GetClassName(window, cls, int32(sizeof cls)) <= 0) return false;
  return strcasecmp(cls, name) == 0;
}

int16 Modifiers_Now() {
  int16 m = 0;
  if (GetKeyState(VK_SHIFT) < 0) m |= shiftKey;
  if (GetKeyState(VK_CONTROL) < 0) m |= int16(controlKey | cmdKey);
  return m;
}

EventRecord Make_Event(int16 what, intptr_t message) {
  EventRecord e{};
  e.what = what;
  e.message = message;
  e.when = int32(TickCount());
  const uint32 pos = GetMessagePos();
  e.where = Point{int16(HIWORD(pos)), int16(LOWORD(pos))};
  e.modifiers = Modifiers_Now();
  return e;
}

intptr_t Key_Message(uint32 keycode, uint32 ch) {
  return intptr_t(((keycode & 0xFF) << 16) | ((ch & 0xFF) << 24));
}

// The record of a dialog: the one it was made for, else the innermost.
a_modal_rec* Modal_Rec_Of(HWND dialog) {
  for (int16 i = int16(modal_n - 1); i >= 0; --i)
    if (modal_stack[i].dialog == dialog) return &modal_stack[i];
  return modal_n > 0 ? &modal_stack[modal_n - 1] : nullptr;
}

a_mwin_rec* Mwin_Rec_Of(HWND window) {
  for (int16 i = int16(mwin_n - 1); i >= 0; --i)
    if (mwin_stack[i].window == window) return &mwin_stack[i];
  return nullptr;
}

void Free_Dialog_Fonts(HWND dialog) {
  for (size_t k = 0; k < g_dialog_fonts.size();) {
    DialogFont& f = g_dialog_fonts[k];
    if (f.dialog == dialog || !IsWindow(f.dialog)) {
      if (g_entry_font == f.font) g_entry_font = nullptr;
      DeleteObject(f.font);
      g_dialog_fonts.erase(g_dialog_fonts.begin() + std::ptrdiff_t(k));
    } else {
      ++k;
    }
  }
}

// The notification of the command being handled (nested dialogs each
// restore the outer one's).
uint16 g_cmd_notification = BN_CLICKED;

void Run_Cmd(a_modal_rec* rec, HWND dialog, int16 item, uint16 notification) {
  const uint16 outer = g_cmd_notification;
  g_cmd_notification = notification;
  rec->cmd(dialog, item);
  g_cmd_notification = outer;
}

// Offers a key-down of an item or the dialog to the dialog's filter; TRUE
// when the filter answered it (the command procedure has then run).
bool Offer_Key(HWND dialog, WPARAM vk) {
  a_modal_rec* rec = Modal_Rec_Of(dialog);
  if (rec == nullptr || rec->filter == nullptr) return false;
  const uint32 ch = MapVirtualKey(UINT(vk), MAPVK_VK_TO_CHAR) & 0xFF;
  EventRecord e = Make_Event(keyDown, Key_Message(uint32(vk), ch));
  int16 item = 0;
  if (!rec->filter(dialog, e, item)) return false;
  if (rec->cmd != nullptr) Run_Cmd(rec, dialog, item, BN_CLICKED);
  return true;
}

LRESULT Item_Subclass_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto it = g_item_procs.find(hwnd);
  const WNDPROC old = it != g_item_procs.end() ? it->second : DefWindowProc;
  if (msg == WM_NCDESTROY && it != g_item_procs.end()) g_item_procs.erase(it);
  if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
    HWND dialog = GetParent(hwnd);
    if (dialog != nullptr && Offer_Key(dialog, wparam)) return 0;
  }
  return CallWindowProc(old, hwnd, msg, wparam, lparam);
}

// Keys that the items of a dialog get are shown to its filter first.
void Subclass_Items(HWND dialog) {
  for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (Is_Class(c, kClassUser) || g_item_procs.count(c) != 0) continue;
    const auto old = reinterpret_cast<WNDPROC>(GetWindowLongPtr(c, GWLP_WNDPROC));
    if (old == nullptr) continue;
    g_item_procs[c] = old;
    SetWindowLongPtr(c, GWLP_WNDPROC, reinterpret_cast<intptr_t>(&Item_Subclass_Proc));
  }
}

bool Run_Is_Unattended() {
  const HostBackendKind k = Host_Backend_Kind();
  return (k == HostBackendKind::HEADLESS || k == HostBackendKind::NONE) && !Host_Script_Active();
}

}  // namespace

// --- Start-up -------------------------------------------------------------------------

void SysDlog_Init() {
  Host_Controls_Init();
  WNDCLASS mwin{};
  mwin.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;  // 0x23
  mwin.lpfnWndProc = ModalWin_MsgProc;
  mwin.cbWndExtra = WINDOW_EXTRA_BYTES;
  mwin.lpszClassName = kClassMwin;
  RegisterClass(&mwin);  // an existing class stays

  WNDCLASS user{};
  user.style = CS_VREDRAW | CS_HREDRAW;
  user.lpfnWndProc = UserProc;
  user.cbWndExtra = 4;
  user.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  user.lpszClassName = kClassUser;
  RegisterClass(&user);

  modal_n = 0;
  mwin_n = 0;
  n_winstack = 0;
  g_child_hwnd = nullptr;
  g_external_depth = 0;
  g_external_disabled.clear();
  g_item_procs.clear();
}

// --- The saved active windows ------------------------------------------------------------

void SysDlog::Push_Window() {
  if (n_winstack >= kMaxWinStack) {
    QUIT();
    return;
  }
  g_winstack[n_winstack++].hwnd = GetActiveWindow();
}

void SysDlog::Pop_Window() {
  if (n_winstack <= 0) {
    QUIT();
    return;
  }
  HWND w = g_winstack[--n_winstack].hwnd;
  g_winstack[n_winstack].hwnd = nullptr;
  if (w != nullptr && IsWindow(w)) {
    SetActiveWindow(w);
    SetPort(w);
  }
}

void Init_External() {
  if (g_external_depth++ > 0) return;
  g_caret_erase_proc();
  g_external_disabled.clear();
  for (int16 i = 1; i <= nwinlist; ++i) {
    HWND w = winlist[i];
    if (w != nullptr && IsWindowEnabled(w)) {
      EnableWindow(w, false);
      g_external_disabled.push_back(w);
    }
  }
}

void Stop_External() {
  if (g_external_depth > 0 && --g_external_depth > 0) return;
  for (HWND w : g_external_disabled)
    if (IsWindow(w)) EnableWindow(w, true);
  g_external_disabled.clear();
  Winlist_Restore();
}

void CenterWindow(HWND window) {
  RECT wr{0, 0, 0, 0};
  if (window == nullptr || !GetWindowRect(window, &wr)) return;
  const Rect& a = info_videoavail;
  const int16 width = int16(wr.right - wr.left);
  const int16 height = int16(wr.bottom - wr.top);
  const int16 screen_h = int16(a.bottom - a.top);
  const int16 left = int16((a.left + a.right - width) / 2);
  int16 top;
  if (height < screen_h)
    top = int16(a.top + int16((screen_h - height) * 3 / 10));
  else
    top = int16((a.top + a.bottom - height) / 2);
  // Toolbox MoveWindow places the client area; keep the frame's offset.
  Rect f;
  Calc_Window_Frame(window, f);
  ::MoveWindow(window, int16(left + f.left), int16(top + f.top), false);
}

// --- Modal dialogs -----------------------------------------------------------------------

bool8 Is_Modal_Active() { return modal_n > 0 || mwin_n > 0; }

uint16 Modal_Cmd_Notification() { return g_cmd_notification; }

namespace {

// Pops what Modal_Dialog pushed, however it ends.
struct ModalGuard {
  bool rec_pushed = false;
  bool win_pushed = false;
  HWND parent = nullptr;
  ~ModalGuard() {
    if (rec_pushed) {
      Free_Dialog_Fonts(modal_stack[modal_n - 1].dialog);
      modal_stack[--modal_n] = a_modal_rec{};
    }
    if (win_pushed) SysDlog::Pop_Window();
  }
};

}  // namespace

int16 Modal_Dialog(int16 dlog_id, int16 dlog_snd, int16 /*dlog_hilite*/, a_dlog_init_proc dlog_init,
                   a_dlog_cmd_proc dlog_cmd, a_dlog_filter_proc dlog_filter) {
  // The stacks are checked before anything changes, so a refused dialog
  // leaves the program as it was.
  // A dialog over four others (a script's commands reach the program
  // while dialogs are up) is refused like a press that nothing can use.
  if (modal_n >= kMaxModalDialogs || n_winstack >= kMaxWinStack) {
    Sound_Effect(SND_NULL);
    return kModalRefused;
  }
  // The program is quitting: a dialog opened now ends at once, unanswered.
  if (g_quit_pending) return 0;
  if (dlog_snd != 0 && g_dlog_sound_proc != nullptr) g_dlog_sound_proc(dlog_snd);
  Cursor_Reset();
  g_caret_erase_proc();

  ModalGuard guard;
  HWND parent = GetActiveWindow();
  SysDlog::Push_Window();
  guard.win_pushed = true;
  modal_stack[modal_n++] = a_modal_rec{dlog_init, dlog_cmd, dlog_filter, 0, nullptr};
  guard.rec_pushed = true;

  HostDlgTemplate tmpl;
  bool ok = false;
  if (ResHandle h = GetResource(kDlogResType, dlog_id); h != nullptr) {
    std::string err;
    ok = Host_Dialog_Parse_Template(std::span<const uint8>(LockResource(h), h->size), &tmpl, &err);
  }
  if (ok) {
    const LPARAM index = modal_n - 1;
    ok = DialogBoxIndirectParam(nullptr, &tmpl, parent, Modal_MsgProc, index) != -1;
  }
  if (!ok) {
    // Fatal while the program starts; met during a user action it is
    // reported without halting, and the caller refuses the action.
    Report_Missing_Resource(kDlogResType, dlog_id);
    return kModalRefused;
  }
  return modal_stack[modal_n - 1].lasthit;
}

bool8 Dialog_Template_Valid(int16 dlog_id) {
  ResHandle h = GetResource(kDlogResType, dlog_id);
  if (h == nullptr) return false;
  HostDlgTemplate tmpl;
  std::string err;
  return Host_Dialog_Parse_Template(std::span<const uint8>(LockResource(h), h->size), &tmpl, &err);
}

bool8 Get_Dialog_Template(int16 dlog_id, HostDlgTemplate& tmpl) {
  if (ResHandle h = GetResource(kDlogResType, dlog_id); h != nullptr) {
    std::string err;
    if (Host_Dialog_Parse_Template(std::span<const uint8>(LockResource(h), h->size), &tmpl, &err)) return true;
  }
  Report_Missing_Resource(kDlogResType, dlog_id);
  return false;
}

void Modal_Cancel_All() {
  const std::vector<HWND> stack = Host_Dialog_Modal_Stack();
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    HWND d = *it;
    if (!Host_Dialog_Running(d)) continue;
    // Escape as the dialog's filter sees it, then its cancel item; a
    // dialog that still runs is ended. Only the innermost dialog's filter is
    // asked: a filter may read state that belongs to the innermost request.
    const bool innermost_ours = modal_n > 0 && modal_stack[modal_n - 1].dialog == d;
    if (innermost_ours && it == stack.rbegin()) Offer_Key(d, VK_ESCAPE);
    if (Host_Dialog_Running(d)) Host_Dialog_Press(d, IDCANCEL);
    if (Host_Dialog_Running(d)) EndDialog(d, IDCANCEL);
  }
}

void Modal_Exit(HWND dialog, int16 retcode) {
  if (a_modal_rec* rec = Modal_Rec_Of(dialog); rec != nullptr) rec->lasthit = retcode;
  EndDialog(dialog, retcode);
}

intptr_t Modal_MsgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG: {
      if (lparam >= 0 && lparam < modal_n) modal_stack[lparam].dialog = dialog;
      a_modal_rec* rec = Modal_Rec_Of(dialog);
      if (rec != nullptr && rec->init != nullptr) rec->init(dialog);
      Str255 title;
      Get_Translated_String(title, STRLIST_PROGRAM, PROG_LONG_NAME);
      SetWindowTextA(dialog, title);
      CenterWindow(dialog);
      Subclass_Items(dialog);
      return 1;
    }
    case WM_COMMAND: {
      // Every notification reaches the command procedure (a click, a pop-up
      // choice, an edit field's change ...); Modal_Cmd_Notification tells
      // which it is.
      a_modal_rec* rec = Modal_Rec_Of(dialog);
      if (rec != nullptr && rec->cmd != nullptr) Run_Cmd(rec, dialog, int16(LOWORD(wparam)), HIWORD(wparam));
      return 1;
    }
    case WM_KEYDOWN:
      return Offer_Key(dialog, wparam) ? 1 : 0;
    case WM_QUERYENDSESSION:
      // The session may not end while a modal dialog runs.
      SetWindowLongPtr(dialog, DWLP_MSGRESULT, 0);
      return 1;
    case WM_IME_NOTIFY:
    case WM_NCDESTROY:
    case WM_DESTROY:
      return 0;
    default: {
      a_modal_rec* rec = Modal_Rec_Of(dialog);
      if (rec == nullptr || rec->filter == nullptr) return 0;
      EventRecord e = Make_Event(nullEvent, 0);
      int16 item = 0;
      if (rec->filter(dialog, e, item) && rec->cmd != nullptr) Run_Cmd(rec, dialog, item, BN_CLICKED);
      return 0;
    }
  }
}

// --- Modal windows -------------------------------------------------------------------------

bool8 Modal_Window(int16 interior_h, int16 interior_v, a_mwin_init_proc init_arg,
                   a_mwin_init_proc stop_arg, a_mwin_event_proc event_arg) {
  if (mwin_n >= kMaxModalWindows || n_winstack >= kMaxWinStack) {
    Sound_Effect(SND_NULL);
    return false;
  }
  if (g_quit_pending) return false;  // quitting: the window would be cancelled at once
  g_caret_erase_proc();
  HWND parent = GetActiveWindow();
  SysDlog::Push_Window();
  if (parent != nullptr) EnableWindow(parent, false);
  a_mwin_rec& rec = mwin_stack[mwin_n++];
  rec = a_mwin_rec{init_arg, event_arg, nullptr, false, false};
  const int16 my_index = int16(mwin_n - 1);

  HWND w = New_Window(Rect{0, 0, interior_v, interior_h}, "Selection", false, 101, nullptr, parent,
                      nullptr);
  if (w == nullptr) {
    rec.exitflag = true;
  } else if (!rec.exitflag) {
    rec.window = w;
  }

  int32 idle = 0;
  while (!rec.exitflag) {
    MSG msg;
    if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      idle = 0;
      if (msg.message == WM_QUIT) {
        // The program is ending: close the window and leave the quit for
        // the main loop.
        CloseWindow(rec.window);
        PostQuitMessage(int32(msg.wParam));
        break;
      }
      // Return and Escape pressed in one of the window's controls (a
      // pop-up just chosen from keeps the keyboard) are the window's, as in
      // a dialog; an open pop-up list takes them itself.
      if (msg.message == WM_KEYDOWN && (msg.wParam == WPARAM(VK_RETURN) || msg.wParam == WPARAM(VK_ESCAPE)) &&
          rec.window != nullptr && msg.hwnd != rec.window && IsChild(rec.window, msg.hwnd) &&
          SendMessage(msg.hwnd, CB_GETDROPPEDSTATE, 0, 0) == 0)
        msg.hwnd = rec.window;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
      continue;
    }
    EventRecord e = Make_Event(nullEvent, 0);
    POINT p{0, 0};
    GetCursorPos(&p);
    e.where = Point{int16(p.y), int16(p.x)};
    std::string answer;
    bool forced = false;
    if (Host_Script_Take_Answer(HOST_ANSWER_ALERT, answer)) {
      // A scripted answer: 1 confirms (Return), anything else cancels (Escape).
      e.what = keyDown;
      e.message = answer == "1" ? Key_Message(VK_RETURN, 13) : Key_Message(VK_ESCAPE, 27);
    } else if (g_quit_pending || (Run_Is_Unattended() && ++idle > kIdleCancelTurns)) {
      // The program is quitting, or nobody is left to answer: Escape, and
      // the window is closed even if its procedure refuses.
      e.what = keyDown;
      e.message = Key_Message(VK_ESCAPE, 27);
      forced = true;
    }
    bool8 okay = rec.okay;
    const bool close = rec.event_proc != nullptr && rec.event_proc(rec.window, e, okay);
    mwin_stack[my_index].okay = okay;
    if (close || forced) {
      // An unattended window its procedure will not close is cancelled.
      if (!close) mwin_stack[my_index].okay = false;
      CloseWindow(rec.window);
      continue;
    }
    // Null events come once a tick at most: the loop waits for the next
    // message or the next tick instead of spinning.
    Host_Wait_Message(kNullEventMillis);
  }

  HWND gone = rec.window;
  const bool8 result = rec.okay;
  if (stop_arg != nullptr) stop_arg(gone);
  rec = a_mwin_rec{};
  --mwin_n;
  if (parent != nullptr && IsWindow(parent)) EnableWindow(parent, true);
  SysDlog::Pop_Window();
  return result;
}

LRESULT ModalWin_MsgProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto send = [hwnd](a_mwin_rec* rec, const EventRecord& e) {
    if (rec == nullptr || rec->event_proc == nullptr) return;
    bool8 okay = rec->okay;
    const bool close = rec->event_proc(hwnd, e, okay);
    rec->okay = okay;
    if (close) CloseWindow(hwnd);
  };
  auto is_fkey = [](WPARAM vk) { return vk >= WPARAM(VK_F1) && vk <= WPARAM(VK_F15); };

  switch (msg) {
    case WM_CREATE: {
      // The window being made belongs to the innermost record without one.
      a_mwin_rec* rec = nullptr;
      for (int16 i = int16(mwin_n - 1); i >= 0 && rec == nullptr; --i)
        if (mwin_stack[i].window == nullptr) rec = &mwin_stack[i];
      if (rec != nullptr) rec->window = hwnd;
      New_Shadow(hwnd);
      if (rec != nullptr && rec->init_proc != nullptr) rec->init_proc(hwnd);
      CenterWindow(hwnd);
      ::ShowWindow(hwnd, SW_SHOWNA);
      SetActiveWindow(hwnd);
      return 0;
    }
    case WM_PAINT: {
      send(Mwin_Rec_Of(hwnd), Make_Event(updateEvt, reinterpret_cast<intptr_t>(hwnd)));
      // A procedure that did not open an update bracket would see the same
      // update for ever.
      if (IsWindow(hwnd) && GetUpdateRect(hwnd, nullptr, false)) ValidateRect(hwnd, nullptr);
      return 0;
    }
    case WM_LBUTTONDOWN:
      send(Mwin_Rec_Of(hwnd), Make_Event(mouseDown, 0));
      return 0;
    case WM_CHAR: {
      const uint8 ch = uint8(wparam & 0xFF);
      send(Mwin_Rec_Of(hwnd), Make_Event(keyDown, Key_Message(Char_To_Virt(ch), ch)));
      return 0;
    }
    case WM_KEYDOWN: {
      const bool nav = (wparam >= WPARAM(VK_PRIOR) && wparam <= WPARAM(VK_DOWN)) || is_fkey(wparam);
      if (nav) send(Mwin_Rec_Of(hwnd), Make_Event(keyDown, Key_Message(uint32(wparam), 0)));
      return 0;
    }
    case WM_SYSKEYDOWN:
      if (is_fkey(wparam) && (lparam & KF_ALTDOWN_BIT) == 0) {
        send(Mwin_Rec_Of(hwnd), Make_Event(keyDown, Key_Message(uint32(wparam), 0)));
        return 0;
      }
      return DefWindowProc(hwnd, msg, wparam, lparam);
    case WM_SYSCOMMAND:
      // The close box and Alt+F4 arrive as Escape; the procedure decides.
      if ((wparam & 0xFFF0) == SC_CLOSE)
        send(Mwin_Rec_Of(hwnd), Make_Event(keyDown, Key_Message(0x1B, 0x1B)));
      return 0;
    case WM_DESTROY:
      Dispose_Shadow(hwnd);
      return 0;
    case WM_NCDESTROY: {
      if (a_mwin_rec* rec = Mwin_Rec_Of(hwnd); rec != nullptr) rec->exitflag = true;
      // A window destroyed with its owner leaves no stale entry behind.
      Winlist_Del(hwnd);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lparam);
      if (mm != nullptr) {
        mm->ptMaxSize = POINT{2000, 2000};
        mm->ptMaxTrackSize = POINT{2000, 2000};
        mm->ptMaxPosition = POINT{-50, -50};
      }
      return 0;
    }
    default:
      return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

// --- User-drawn items ------------------------------------------------------------------

LRESULT UserProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: {
      a_gstate saved;
      Get_GState(saved);
      BeginUpdate(hwnd);
      const auto proc = reinterpret_cast<a_user_item_proc>(GetWindowLongPtr(hwnd, 0));
      if (proc != nullptr) proc(GetParent(hwnd), int16(GetDlgCtrlID(hwnd)));
      EndUpdate(hwnd);
      Set_GState(saved);
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      return SendMessage(GetParent(hwnd), msg, wparam, lparam);
    case WM_LBUTTONDOWN: {
      HWND dialog = GetParent(hwnd);
      int16 item = int16(GetDlgCtrlID(hwnd));
      a_modal_rec* rec = Modal_Rec_Of(dialog);
      if (rec != nullptr && rec->filter != nullptr) {
        EventRecord e = Make_Event(mouseDown, 0);
        int16 hit = 0;
        if (rec->filter(dialog, e, hit)) item = hit;
      }
      SendMessage(dialog, WM_COMMAND, MAKEWPARAM(item, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
      return 0;
    }
    case WM_ACTIVATEAPP:
      if (hwnd == gs.outer_window) {
        if (wparam != 0)
          App_Activate();
        else
          App_Deactivate();
      }
      return DefWindowProc(hwnd, msg, wparam, lparam);
    default:
      return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

// --- Dialog items ---------------------------------------------------------------------------

void GetDialogStr(HWND dialog, int16 itemix, StrSpan itemstr) {
  if (itemstr.empty()) return;
  const int32 room = itemstr.size() > 256 ? 256 : int32(itemstr.size());
  itemstr[0] = 0;
  GetDlgItemTextA(dialog, itemix, itemstr.data(), room);
}

namespace {
// A NUL-terminated copy of 8-bit text (at most 1023 bytes).
std::string Terminated(CStrSpan s) {
  size_t n = 0;
  while (n < s.size() && s[n] != 0) ++n;
  if (n > 1023) n = 1023;
  return std::string(s.data(), n);
}
std::u16string UTerminated(CUStrSpan s) {
  size_t n = 0;
  while (n < s.size() && s[n] != 0) ++n;
  return std::u16string(s.data(), n);
}
}  // namespace

void SetDialogStr(HWND dialog, int16 itemix, CStrSpan itemstr) {
  std::string s = Terminated(itemstr);
  if (s.size() > 255) s.resize(size_t(UTF8_Cut_Length(CStrSpan(s.data(), s.size()), int32(s.size()), 255)));
  SetDlgItemTextA(dialog, itemix, s.c_str());
}

void GetDialogText(HWND dialog, int16 itemix, StrSpan itemstr) {
  if (itemstr.empty()) return;
  itemstr[0] = 0;
  if (itemstr.size() < 3) return;
  GetDlgItemTextA(dialog, itemix, itemstr.data(), int32(itemstr.size()) - 2);
}

void GetDialogUText(HWND dialog, int16 itemix, UStrSpan itemstr) {
  if (itemstr.empty()) return;
  itemstr[0] = 0;
  if (itemstr.size() < 3) return;
  GetDlgItemTextW(dialog, itemix, itemstr.data(), int32(itemstr.size()) - 2);
}

void SetDialogText(HWND dialog, int16 itemix, CStrSpan itemstr) {
  size_t n = 0;
  while (n < itemstr.size() && itemstr[n] != 0) ++n;
  const std::string s(itemstr.data(), n);
  SetDlgItemTextA(dialog, itemix, s.c_str());
}

void SetDialogUText(HWND dialog, int16 itemix, CUStrSpan itemstr) {
  const std::u16string s = UTerminated(itemstr);
  SetDlgItemTextW(dialog, itemix, s.c_str());
}

bool8 GetDialogInt(HWND dialog, int16 itemix, int32 minval, int32 maxval, int32& itemval) {
  bool ok = false;
  const bool is_signed = minval < 0;
  const uint32 raw = GetDlgItemInt(dialog, itemix, &ok, is_signed);
  const int64 v = is_signed ? int64(int32(raw)) : int64(raw);
  itemval = int32(v);
  return ok && v >= minval && v <= maxval;
}

void SetDialogInt(HWND dialog, int16 itemix, int32 itemval) {
  SetDlgItemInt(dialog, itemix, uint32(itemval), true);
}

void SetDialogFont(HWND dialog, int16 itemix, const a_fontspec& font) {
  Free_Dialog_Fonts(nullptr);  // fonts of dialogs that are gone
  HFONT f = Create_Font_Hdl(font);
  if (f == nullptr) return;
  g_dialog_fonts.push_back(DialogFont{dialog, f});
  g_entry_font = f;
  SendDlgItemMessage(dialog, itemix, WM_SETFONT, reinterpret_cast<WPARAM>(f), 1);
}

bool8 GetDialogCheckBox(HWND dialog, int16 itemix) {
  return IsDlgButtonChecked(dialog, itemix) == BST_CHECKED;
}

void SetDialogCheckBox(HWND dialog, int16 itemix, bool8 val) {
  CheckDlgButton(dialog, itemix, val ? BST_CHECKED : BST_UNCHECKED);
}

void AppendDialogPopUp(HWND dialog, int16 itemix, CStrSpan ss) {
  UniChar u[256];
  UTF8_To_UTF16(ss, u);
  SendDlgItemMessage(dialog, itemix, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u));
}

int16 GetDialogPopUp(HWND dialog, int16 itemix) {
  const LRESULT sel = SendDlgItemMessage(dialog, itemix, CB_GETCURSEL, 0, 0);
  return sel < 0 || sel > 32766 ? int16(1) : int16(sel + 1);
}

void SetDialogPopUp(HWND dialog, int16 itemix, int16 val) {
  SendDlgItemMessage(dialog, itemix, CB_SETCURSEL, WPARAM(intptr_t(val) - 1), 0);
}

void SetDialogCtlActive(HWND dialog, int16 itemix, bool8 active) {
  HWND item = GetDlgItem(dialog, itemix);
  if (item != nullptr) EnableWindow(item, active);
}

void SetDialogUserItem(HWND dialog, int16 itemix, a_user_item_proc proc) {
  HWND item = GetDlgItem(dialog, itemix);
  // Window long 0 is the drawing procedure only in our own class.
  if (item == nullptr || !Is_Class(item, kClassUser)) return;
  SetWindowLongPtr(item, 0, reinterpret_cast<intptr_t>(proc));
  InvalidateRect(item, nullptr, true);
}

void GetDialogItemBounds(HWND dialog, int16 itemix, Rect& itemrect) {
  RECT r{0, 0, 0, 0};
  HWND item = GetDlgItem(dialog, itemix);
  if (item != nullptr) GetClientRect(item, &r);
  ToRect(itemrect, r);
}

void GlobalToItem(HWND dialog, int16 itemix, Point gcoord, Point& lcoord) {
  POINT p;
  ToPOINT(p, gcoord);
  HWND item = GetDlgItem(dialog, itemix);
  if (item != nullptr) ScreenToClient(item, &p);
  ToPoint(lcoord, p);
}

void PushDialogItemPort(HWND dialog, int16 partix) {
  g_child_hwnd = GetDlgItem(dialog, partix);
  if (g_child_hwnd == nullptr) return;
  SetPort2(g_child_hwnd, GetDC(g_child_hwnd));
}

void PopDialogItemPort() {
  if (theShadow != nullptr) Flush_Shadow(theShadow);
  if (g_child_hwnd != nullptr && theHDC != nullptr) ReleaseDC(g_child_hwnd, theHDC);
  qd.thePort = nullptr;
  theHDC = nullptr;
  theShadow = nullptr;
  g_child_hwnd = nullptr;
}

// --- Free-standing pop-up menus ----------------------------------------------------------

HWND Create_PopUp(HWND owner, int16 id, const Rect& box) {
  if (owner == nullptr) return nullptr;
  Host_Controls_Init();
  // Child, vertical scroll bar, drop-down list, and shown: a pop-up the
  // user cannot see would be no use.
  const uint32 style = 0x40200003u | WS_VISIBLE;
  const int32 width = int32(box.right) - box.left;
  return CreateWindowEx(0, "combobox", u"", style, box.left, box.top, width, 150, owner,
                        reinterpret_cast<HMENU>(intptr_t(id)), nullptr, nullptr);
}

void Append_PopUp(HWND hdl, CStrSpan ss) {
  UniChar u[256];
  UTF8_To_UTF16(ss, u);
  SendMessage(hdl, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u));
  SendMessage(hdl, CB_SETCURSEL, 0, 0);
}

int16 GetPopUp(HWND hdl) {
  const LRESULT sel = SendMessage(hdl, CB_GETCURSEL, 0, 0);
  return sel < 0 || sel > 32766 ? int16(1) : int16(sel + 1);
}

void SetPopUp(HWND hdl, int16 val) { SendMessage(hdl, CB_SETCURSEL, WPARAM(intptr_t(val) - 1), 0); }

void Dispose_PopUp(HWND& hdl) {
  if (hdl != nullptr) DestroyWindow(hdl);
  hdl = nullptr;
}

void Map_Kanji_Numerals(StrSpan src) {
  size_t o = 0;
  for (size_t i = 0; i < src.size() && src[i] != 0; ++i) {
    const uint8 c = uint8(src[i]);
    if (c == 0x82 && i + 1 < src.size()) {
      const uint8 d = uint8(src[i + 1]);
      if (d >= 0x4F && d <= 0x58) {
        src[o++] = char('0' + (d - 0x4F));
        ++i;
        continue;
      }
    }
    src[o++] = src[i];
  }
  if (o < src.size()) src[o] = 0;
}
