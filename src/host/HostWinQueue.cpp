// The message queue, input routing and state, character translation,
// accelerators, capture and cursors.
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <memory>
#include <new>

#include "host/HostClock.h"
#include "host/HostHandles.h"
#include "host/HostWin.h"
#include "host/HostWinCore.h"

namespace hostwin {
void (*g_pump_proc)() = nullptr;
bool (*g_feed_proc)() = nullptr;
void (*g_idle_wait_proc)(uint32) = nullptr;
void (*g_cursor_changed_proc)() = nullptr;
}  // namespace hostwin

// The records behind cursor and accelerator handles.
struct HostCursorRec {
  HCURSOR self = nullptr;
  uint32 system_id = 0;  // system cursors live for the whole run
  int32 width = 0, height = 0, hot_x = 0, hot_y = 0;
  std::vector<uint32> bgra;
};

struct HostIconRec {
  HICON self = nullptr;
  int32 width = 0, height = 0;
  std::vector<uint32> bgra;
};

struct HostAccelRec {
  HACCEL self = nullptr;
  std::vector<ACCEL> entries;
};

using namespace hostwin;

namespace {

constexpr size_t kMaxQueue = 100000;

std::deque<MSG> g_queue;
bool g_quit = false;
int32 g_quit_code = 0;
uint8 g_sync[256] = {};
uint8 g_async[256] = {};
POINT g_cursor{0, 0};
uint32 g_msg_time = 0;
POINT g_msg_pt{0, 0};
HWND g_capture = nullptr;

// Double clicks.
int32 g_last_button = -1;
uint32 g_last_down_time = 0;
POINT g_last_down_pt{0, 0};
HWND g_last_down_hwnd = nullptr;

// System cursors and ours.
HostHandleTable<HostCursorRec>& Cursors() { return Host_Handle_Table<HostCursorRec>(); }
HostHandleTable<HostIconRec>& Icons() { return Host_Handle_Table<HostIconRec>(); }
HCURSOR g_current_cursor = nullptr;
int32 g_cursor_count = 0;
HostHandleTable<HostAccelRec>& Accels() { return Host_Handle_Table<HostAccelRec>(); }

HostAccelRec* Accel_Of(HACCEL accel) { return Accels().Find(accel, HostHandleKind::kAccel); }

bool In_Range(UINT m, UINT min, UINT max) { return (min == 0 && max == 0) || (m >= min && m <= max); }

bool Matches(const MSG& m, HWND filter, UINT min, UINT max) {
  if (filter && m.hwnd != filter && !IsChild(filter, m.hwnd)) return false;
  return In_Range(m.message, min, max);
}

WPARAM Mk_Flags(const uint8* st) {
  WPARAM f = 0;
  if (st[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
  if (st[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
  if (st[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
  if (st[VK_SHIFT] & 0x80) f |= MK_SHIFT;
  if (st[VK_CONTROL] & 0x80) f |= MK_CONTROL;
  return f;
}

void Set_Key(uint8* st, int32 vk, bool down) {
  vk &= 0xFF;
  const bool was = (st[vk] & 0x80) != 0;
  if (down) {
    if (!was) st[vk] ^= 1;  // the toggle flips on each press
    st[vk] |= 0x80;
  } else {
    st[vk] &= uint8(~0x80);
  }
}

bool Is_Key_Msg(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }
bool Is_Mouse_Msg(UINT m) { return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST; }
bool Is_Down_Msg(UINT m) {
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_NCLBUTTONDOWN ||
         m == WM_NCRBUTTONDOWN || m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK;
}

// What the thread learns as it takes an input message: the key state, and
// activation by a mouse press. FALSE when the press is eaten.
bool On_Retrieve(const MSG& m) {
  g_msg_time = m.time;
  g_msg_pt = m.pt;
  switch (m.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
      if (m.wParam != WPARAM(VK_PACKET)) Set_Key(g_sync, int32(m.wParam), true);
      break;
    case WM_KEYUP: case WM_SYSKEYUP:
      if (m.wParam != WPARAM(VK_PACKET)) Set_Key(g_sync, int32(m.wParam), false);
      break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_NCLBUTTONDOWN: Set_Key(g_sync, VK_LBUTTON, true); break;
    case WM_LBUTTONUP: case WM_NCLBUTTONUP: Set_Key(g_sync, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_NCRBUTTONDOWN: Set_Key(g_sync, VK_RBUTTON, true); break;
    case WM_RBUTTONUP: case WM_NCRBUTTONUP: Set_Key(g_sync, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: Set_Key(g_sync, VK_MBUTTON, true); break;
    case WM_MBUTTONUP: Set_Key(g_sync, VK_MBUTTON, false); break;
    default: break;
  }
  if (!Live(m.hwnd)) return true;
  const bool nc = m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCRBUTTONUP;
  const LRESULT hit = nc ? LRESULT(m.wParam) : HTCLIENT;
  if (Is_Down_Msg(m.message)) {
    HWND top = GetAncestorTop(m.hwnd);
    if (top && (top != GetActiveWindow())) {
      const LRESULT r = SendMessage(m.hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                    MAKELPARAM(int32(hit), int32(m.message)));
      if ((r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT) && Live(top)) SetActiveWindow(top);
      if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT) return false;
    }
  }
  if ((m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) && !Live(g_capture) && Live(m.hwnd))
    SendMessage(m.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m.hwnd), MAKELPARAM(int32(hit), int32(m.message)));
  return true;
}

// Takes the next message passing the filters: queued ones, then the quit
// request, then WM_PAINT.
bool Take(MSG* out, HWND filter, UINT min, UINT max, UINT flags) {
  for (;;) {
    auto it = std::find_if(g_queue.begin(), g_queue.end(), [&](const MSG& m) { return Matches(m, filter, min, max); });
    if (it == g_queue.end()) break;
    MSG m = *it;
    if (!(flags & PM_REMOVE)) {
      *out = m;
      return true;
    }
    g_queue.erase(it);
    if ((Is_Key_Msg(m.message) || Is_Mouse_Msg(m.message) ||
         (m.message >= WM_NCMOUSEMOVE && m.message <= WM_NCRBUTTONUP)) &&
        !On_Retrieve(m))
      continue;
    g_msg_time = m.time;
    g_msg_pt = m.pt;
    *out = m;
    return true;
  }
  // The quit request belongs to no window: a window filter never sees it.
  if (g_quit && !filter && In_Range(WM_QUIT, min, max)) {
    *out = MSG{nullptr, WM_QUIT, WPARAM(intptr_t(g_quit_code)), 0, Host_Clock_Millis(), g_cursor};
    if (flags & PM_REMOVE) g_quit = false;
    return true;
  }
  if (In_Range(WM_PAINT, min, max)) {
    if (HWND p = Paint_Next(filter)) {
      *out = MSG{p, WM_PAINT, 0, 0, Host_Clock_Millis(), g_cursor};
      return true;
    }
  }
  return false;
}

void Pump() {
  if (g_pump_proc) g_pump_proc();
}

HWND Key_Target() {
  HWND t = GetFocus();
  if (!t) t = GetActiveWindow();
  if (!t) t = Host_Main_Window();
  if (!t || !IsWindowEnabled(t) || !IsWindowEnabled(GetAncestorTop(t))) return nullptr;
  return t;
}

void Push_Input(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Queue_Push(MSG{hwnd, msg, wparam, lparam, Host_Clock_Millis(), g_cursor});
}

// US layout: the character of a key with and without Shift.
struct Key_Chars {
  char plain, shifted;
};

Key_Chars Chars_Of(int32 vk) {
  if (vk >= '0' && vk <= '9') return {char(vk), ")!@#$%^&*("[vk - '0']};
  if (vk >= 'A' && vk <= 'Z') return {char(vk + 32), char(vk)};
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return {char('0' + vk - VK_NUMPAD0), char('0' + vk - VK_NUMPAD0)};
  switch (vk) {
    case VK_SPACE: return {' ', ' '};
    case VK_OEM_1: return {';', ':'};
    case VK_OEM_PLUS: return {'=', '+'};
    case VK_OEM_COMMA: return {',', '<'};
    case VK_OEM_MINUS: return {'-', '_'};
    case VK_OEM_PERIOD: return {'.', '>'};
    case VK_OEM_2: return {'/', '?'};
    case VK_OEM_3: return {'`', '~'};
    case VK_OEM_4: return {'[', '{'};
    case VK_OEM_5: return {'\\', '|'};
    case VK_OEM_6: return {']', '}'};
    case VK_OEM_7: return {'\'', '"'};
    case VK_MULTIPLY: return {'*', '*'};
    case VK_ADD: return {'+', '+'};
    case VK_SUBTRACT: return {'-', '-'};
    case VK_DECIMAL: return {'.', '.'};
    case VK_DIVIDE: return {'/', '/'};
    default: return {0, 0};
  }
}

}  // namespace

// --- Queue internals ---------------------------------------------------------------------

void hostwin::Queue_Push(const MSG& m) {
  if (g_queue.size() >= kMaxQueue) return;
  // Mouse moves coalesce, as the platform does: only the latest position waits.
  if (m.message == WM_MOUSEMOVE && !g_queue.empty() && g_queue.back().message == WM_MOUSEMOVE &&
      g_queue.back().hwnd == m.hwnd) {
    g_queue.back() = m;
    return;
  }
  g_queue.push_back(m);
}

void hostwin::Queue_Drop_Window(HWND hwnd) {
  g_queue.erase(std::remove_if(g_queue.begin(), g_queue.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                g_queue.end());
  if (g_capture == hwnd) g_capture = nullptr;
  if (g_last_down_hwnd == hwnd) g_last_down_hwnd = nullptr;
}

// --- Posting and sending -------------------------------------------------------------------

bool PostMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (hwnd && !Live(hwnd)) return false;
  if (g_queue.size() >= kMaxQueue) return false;
  g_queue.push_back(MSG{hwnd, msg, wparam, lparam, Host_Clock_Millis(), g_cursor});
  return true;
}

bool PostThreadMessage(UINT msg, WPARAM wparam, LPARAM lparam) { return PostMessage(nullptr, msg, wparam, lparam); }

void PostQuitMessage(int32 code) {
  g_quit = true;
  g_quit_code = code;
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  HostWindowRec* w = Live(hwnd);
  if (!w || !w->proc) return 0;
  return w->proc(hwnd, msg, wparam, lparam);
}

bool PeekMessage(MSG* msg, HWND hwnd, UINT min, UINT max, UINT flags) {
  if (!msg || (hwnd && !Live(hwnd))) return false;
  Pump();
  if (Take(msg, hwnd, min, max, flags)) return true;
  // Nothing for this caller: the script may go on.
  if (g_feed_proc && g_feed_proc() && Take(msg, hwnd, min, max, flags)) return true;
  return false;
}

bool Host_Wait_Message(uint32 timeout_ms) {
  const uint32 start = Host_Clock_Millis();
  for (;;) {
    Pump();
    if (!g_queue.empty() || g_quit || Paint_Next(nullptr)) return true;
    // A scripted wait advances the clock through the feed, so the timeout
    // is checked after feeding too: one call never runs through a whole
    // script's waits.
    const bool fed = g_feed_proc && g_feed_proc();
    const uint32 elapsed = Host_Clock_Millis() - start;
    if (elapsed >= timeout_ms) {
      Pump();
      return !g_queue.empty() || g_quit || Paint_Next(nullptr);
    }
    if (fed) continue;
    if (g_idle_wait_proc) g_idle_wait_proc(timeout_ms - elapsed);
    else Host_Sleep_Millis(std::min<uint32>(timeout_ms - elapsed, 10));
  }
}

bool WaitMessage() {
  while (!Host_Wait_Message(1000)) {
  }
  return true;
}

bool GetMessage(MSG* msg, HWND hwnd, UINT min, UINT max) {
  if (!msg) return false;
  for (;;) {
    if (PeekMessage(msg, hwnd, min, max, PM_REMOVE)) return msg->message != WM_QUIT;
    if (hwnd && !Live(hwnd)) {
      *msg = MSG{};
      return false;
    }
    Host_Wait_Message(100);
  }
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg || !Live(msg->hwnd)) return 0;
  return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

bool TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return false;
  const bool sys = msg->message == WM_SYSKEYDOWN;
  const UINT out = sys ? WM_SYSCHAR : WM_CHAR;
  const int32 vk = int32(msg->wParam & 0xFF);
  uint32 ch = 0;
  if (msg->wParam == WPARAM(VK_PACKET)) {
    ch = uint32((uint64(msg->lParam) >> kPacketUnitShift) & 0xFFFF);
  } else {
    const bool shift = (g_sync[VK_SHIFT] & 0x80) != 0;
    const bool ctrl = (g_sync[VK_CONTROL] & 0x80) != 0;
    const bool alt = (g_sync[VK_MENU] & 0x80) != 0;
    const bool caps = (g_sync[VK_CAPITAL] & 1) != 0;
    const bool text_sep = (msg->lParam & KF_TEXT_SEPARATE_BIT) != 0;
    if (vk == VK_BACK) ch = ctrl ? 127 : 8;
    else if (vk == VK_TAB) ch = ctrl ? 0 : 9;
    else if (vk == VK_RETURN) ch = ctrl ? 10 : 13;
    else if (vk == VK_ESCAPE) ch = 27;
    else if (ctrl && !alt) {
      if (vk >= 'A' && vk <= 'Z') ch = uint32(vk - 'A' + 1);
      else if (vk == VK_OEM_4) ch = 27;
      else if (vk == VK_OEM_5) ch = 28;
      else if (vk == VK_OEM_6) ch = 29;
      else if (vk == VK_SPACE) ch = ' ';
    } else if (!text_sep || alt) {
      const Key_Chars kc = Chars_Of(vk);
      bool up = shift;
      if (vk >= 'A' && vk <= 'Z' && caps) up = !up;
      ch = uint8(up ? kc.shifted : kc.plain);
    }
  }
  if (ch == 0) return false;
  g_queue.push_front(MSG{msg->hwnd, out, WPARAM(ch), msg->lParam & 0xFFFFFFFF & ~KF_TEXT_SEPARATE_BIT, msg->time,
                         msg->pt});
  return true;
}

uint32 GetMessageTime() { return g_msg_time; }
uint32 GetMessagePos() { return uint32(uint16(g_msg_pt.x)) | (uint32(uint16(g_msg_pt.y)) << 16); }

bool Host_Queue_Has(HWND hwnd, UINT min, UINT max) {
  return std::any_of(g_queue.begin(), g_queue.end(), [&](const MSG& m) { return Matches(m, hwnd, min, max); });
}
size_t Host_Queue_Length() { return g_queue.size(); }
void Host_Queue_Clear() {
  g_queue.clear();
  g_quit = false;
}

// --- Accelerators ----------------------------------------------------------------------

HACCEL CreateAcceleratorTable(const ACCEL* entries, int32 count) {
  if (!entries || count <= 0 || count > 4096) return nullptr;
  auto* a = new (std::nothrow) HostAccelRec;
  if (!a) return nullptr;
  a->entries.assign(entries, entries + count);
  a->self = static_cast<HACCEL>(Accels().Add(a, HostHandleKind::kAccel));
  if (!a->self) {
    delete a;
    return nullptr;
  }
  return a->self;
}

bool DestroyAcceleratorTable(HACCEL accel) {
  HostAccelRec* a = Accel_Of(accel);
  if (!a) return false;
  Accels().Remove(accel);
  delete a;
  return true;
}

int32 CopyAcceleratorTable(HACCEL haccel, ACCEL* out, int32 count) {
  const HostAccelRec* accel = Accel_Of(haccel);
  if (!accel) return 0;
  const int32 n = int32(accel->entries.size());
  if (!out) return n;
  const int32 m = std::min(n, std::max(0, count));
  std::copy(accel->entries.begin(), accel->entries.begin() + m, out);
  return m;
}

bool TranslateAccelerator(HWND hwnd, HACCEL haccel, const MSG* msg) {
  const HostAccelRec* accel = Accel_Of(haccel);
  if (!msg || !accel || !Live(hwnd)) return false;
  const UINT m = msg->message;
  const bool virt = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
  const bool chr = m == WM_CHAR || m == WM_SYSCHAR;
  if (!virt && !chr) return false;
  const bool shift = (g_sync[VK_SHIFT] & 0x80) != 0;
  const bool ctrl = (g_sync[VK_CONTROL] & 0x80) != 0;
  const bool alt = (g_sync[VK_MENU] & 0x80) != 0;
  for (const ACCEL& a : accel->entries) {
    const bool a_virt = (a.fVirt & FVIRTKEY) != 0;
    if (virt && a_virt) {
      if (a.key != (msg->wParam & 0xFF) || msg->wParam == WPARAM(VK_PACKET)) continue;
      if (bool(a.fVirt & FSHIFT) != shift || bool(a.fVirt & FCONTROL) != ctrl || bool(a.fVirt & FALT) != alt) continue;
    } else if (chr && !a_virt) {
      if (a.key != msg->wParam) continue;
      if (bool(a.fVirt & FALT) != (m == WM_SYSCHAR)) continue;
    } else {
      continue;
    }
    SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
    return true;
  }
  return false;
}

// --- Key state and capture ---------------------------------------------------------------

int16 GetKeyState(int32 vk) {
  const uint8 s = g_sync[vk & 0xFF];
  return int16(((s & 0x80) ? 0x8000 : 0) | (s & 1));
}

int16 GetAsyncKeyState(int32 vk) { return int16((g_async[vk & 0xFF] & 0x80) ? 0x8000 : 0); }

UINT MapVirtualKey(UINT code, UINT mode) {
  if (mode != MAPVK_VK_TO_CHAR) return 0;
  const int32 vk = int32(code & 0xFF);
  switch (vk) {
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_RETURN: return 13;
    case VK_ESCAPE: return 27;
    default: break;
  }
  if (vk >= 'A' && vk <= 'Z') return UINT(vk);
  return UINT(uint8(Chars_Of(vk).plain));
}

HWND SetCapture(HWND hwnd) {
  HWND old = Alive(g_capture);
  if (!Live(hwnd)) return old;
  g_capture = hwnd;
  if (old && old != hwnd) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

bool ReleaseCapture() {
  HWND old = Alive(g_capture);
  g_capture = nullptr;
  if (old) SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

HWND GetCapture() { return Alive(g_capture); }

bool GetCursorPos(POINT* out) {
  if (!out) return false;
  *out = g_cursor;
  return true;
}

bool SetCursorPos(int32 x, int32 y) {
  hostwin::Input_Mouse_Move(POINT{x, y});
  return true;
}

// --- Input -------------------------------------------------------------------------------

void hostwin::Input_Key(int32 vk, bool down, bool extended, bool text_separate) {
  vk &= 0xFF;
  const bool was_down = (g_async[vk] & 0x80) != 0;
  if (!down && !was_down) return;  // a release we never saw pressed
  Set_Key(g_async, vk, down);
  HWND t = Key_Target();
  if (!t) return;
  const bool alt = (g_async[VK_MENU] & 0x80) != 0 || (vk == VK_MENU && !down);
  const bool ctrl = (g_async[VK_CONTROL] & 0x80) != 0;
  const bool sys = vk == VK_F10 || vk == VK_MENU || (alt && !ctrl);
  UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  LPARAM l = 1;
  if (extended) l |= KF_EXTENDED_BIT;
  if (alt && vk != VK_MENU) l |= KF_ALTDOWN_BIT;
  if (vk == VK_MENU && down) l |= KF_ALTDOWN_BIT;
  if (was_down) l |= KF_REPEAT_BIT;
  if (!down) l |= KF_UP_BIT;
  if (text_separate) l |= KF_TEXT_SEPARATE_BIT;
  Push_Input(t, msg, WPARAM(vk), l);
}

void hostwin::Input_Char(char16_t unit) {
  HWND t = Key_Target();
  if (!t) return;
  const LPARAM l = LPARAM(int64(uint64(unit) << kPacketUnitShift)) | 1;
  Push_Input(t, WM_KEYDOWN, WPARAM(VK_PACKET), l);
  Push_Input(t, WM_KEYUP, WPARAM(VK_PACKET), l | KF_REPEAT_BIT | KF_UP_BIT);
}

namespace {

// Routes a mouse message to the capture window or the window under the
// cursor; non-client parts get the WM_NC* form.
void Route_Mouse(UINT client_msg, UINT nc_msg, WPARAM extra_hi) {
  HWND target = Alive(g_capture);
  LRESULT hit = HTCLIENT;
  if (!target) target = Hit(g_cursor, hit);
  if (!target) return;
  if (!IsWindowEnabled(target) || !IsWindowEnabled(GetAncestorTop(target))) return;
  if (hit != HTCLIENT) {
    if (nc_msg) Push_Input(target, nc_msg, WPARAM(hit), MAKELPARAM(g_cursor.x, g_cursor.y));
    return;
  }
  POINT c = g_cursor;
  ScreenToClient(target, &c);
  UINT msg = client_msg;
  if (client_msg == WM_LBUTTONDOWN || client_msg == WM_RBUTTONDOWN) {
    const int32 button = client_msg == WM_LBUTTONDOWN ? 0 : 1;
    const uint32 now = Host_Clock_Millis();
    const bool dbl = (Live(target)->cls->wc.style & CS_DBLCLKS) && g_last_button == button && g_last_down_hwnd == target &&
                     now - g_last_down_time <= GetDoubleClickTime() &&
                     std::abs(g_cursor.x - g_last_down_pt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                     std::abs(g_cursor.y - g_last_down_pt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (dbl) {
      msg = button == 0 ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
      g_last_button = -1;
    } else {
      g_last_button = button;
      g_last_down_time = now;
      g_last_down_pt = g_cursor;
      g_last_down_hwnd = target;
    }
  }
  Push_Input(target, msg, Mk_Flags(g_async) | (extra_hi << 16), MAKELPARAM(c.x, c.y));
}

}  // namespace

void hostwin::Input_Mouse_Move(POINT screen) {
  if (screen.x == g_cursor.x && screen.y == g_cursor.y) return;
  g_cursor = screen;
  Route_Mouse(WM_MOUSEMOVE, WM_NCMOUSEMOVE, 0);
}

void hostwin::Input_Button(int32 button, bool down, POINT screen) {
  Input_Mouse_Move(screen);
  static const int32 vks[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  if (button < 0 || button > 2) return;
  Set_Key(g_async, vks[button], down);
  static const UINT client[3][2] = {{WM_LBUTTONUP, WM_LBUTTONDOWN}, {WM_RBUTTONUP, WM_RBUTTONDOWN},
                                    {WM_MBUTTONUP, WM_MBUTTONDOWN}};
  static const UINT nc[3][2] = {{WM_NCLBUTTONUP, WM_NCLBUTTONDOWN}, {WM_NCRBUTTONUP, WM_NCRBUTTONDOWN}, {0, 0}};
  Route_Mouse(client[button][down ? 1 : 0], nc[button][down ? 1 : 0], 0);
}

void hostwin::Input_Wheel(int32 delta, POINT screen) {
  Input_Mouse_Move(screen);
  HWND t = GetFocus();
  LRESULT hit = HTNOWHERE;
  if (!t) t = Hit(g_cursor, hit);
  if (!t || !IsWindowEnabled(t)) return;
  Push_Input(t, WM_MOUSEWHEEL, Mk_Flags(g_async) | (WPARAM(uint16(int16(std::clamp(delta, -32768, 32767)))) << 16),
             MAKELPARAM(g_cursor.x, g_cursor.y));
}

// --- Cursors ---------------------------------------------------------------------------------

namespace {

// The handle of a system cursor: made on first use, valid for the whole run.
HCURSOR System_Cursor(uint32 id) {
  static const uint32 ids[] = {IDC_ARROW,  IDC_IBEAM,  IDC_WAIT,    IDC_CROSS, IDC_UPARROW,
                               IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL,
                               IDC_NO,     IDC_HAND,   IDC_APPSTARTING};
  static HostCursorRec table[std::size(ids)];
  for (size_t i = 0; i < std::size(ids); ++i) {
    if (ids[i] == id) {
      HostCursorRec& c = table[i];
      if (!c.self) {
        c.system_id = id;
        c.self = static_cast<HCURSOR>(Cursors().Add(&c, HostHandleKind::kCursor));
      }
      return c.self;
    }
  }
  return nullptr;
}

HostCursorRec* Cursor_Of(HCURSOR c) { return Cursors().Find(c, HostHandleKind::kCursor); }

}  // namespace

HCURSOR LoadCursor(HINSTANCE hinst, uint32 id) {
  if (hinst) return nullptr;  // the program's own cursors are made by the cursor module
  return System_Cursor(id);
}

HCURSOR Host_Create_Color_Cursor(int32 width, int32 height, int32 hot_x, int32 hot_y, const uint32* bgra) {
  if (!bgra || width <= 0 || height <= 0 || width > 256 || height > 256) return nullptr;
  auto* c = new (std::nothrow) HostCursorRec;
  if (!c) return nullptr;
  c->width = width;
  c->height = height;
  c->hot_x = std::clamp(hot_x, 0, width - 1);
  c->hot_y = std::clamp(hot_y, 0, height - 1);
  c->bgra.assign(bgra, bgra + size_t(width) * size_t(height));
  c->self = static_cast<HCURSOR>(Cursors().Add(c, HostHandleKind::kCursor));
  if (!c->self) {
    delete c;
    return nullptr;
  }
  return c->self;
}

HCURSOR CreateCursor(HINSTANCE, int32 hot_x, int32 hot_y, int32 width, int32 height, const void* and_mask,
                     const void* xor_mask) {
  if (!and_mask || !xor_mask || width <= 0 || height <= 0 || width > 256 || height > 256) return nullptr;
  const auto* a = static_cast<const uint8*>(and_mask);
  const auto* x = static_cast<const uint8*>(xor_mask);
  const int32 rb = (width + 15) / 16 * 2;
  std::vector<uint32> px(size_t(width) * size_t(height));
  for (int32 y = 0; y < height; ++y) {
    for (int32 i = 0; i < width; ++i) {
      const uint8 bit = uint8(0x80 >> (i & 7));
      const bool and_bit = (a[size_t(y) * rb + size_t(i >> 3)] & bit) != 0;
      const bool xor_bit = (x[size_t(y) * rb + size_t(i >> 3)] & bit) != 0;
      uint32 v;
      if (and_bit && !xor_bit) v = 0x00000000u;       // transparent
      else if (!and_bit && xor_bit) v = 0xFFFFFFFFu;  // white
      else v = 0xFF000000u;                           // black (inversion shown as black)
      px[size_t(y) * width + size_t(i)] = v;
    }
  }
  return Host_Create_Color_Cursor(width, height, hot_x, hot_y, px.data());
}

bool DestroyCursor(HCURSOR cursor) {
  HostCursorRec* c = Cursor_Of(cursor);
  if (!c) return false;
  if (c->system_id != 0) return true;  // system cursors stay
  Cursors().Remove(cursor);
  if (g_current_cursor == cursor) {
    g_current_cursor = System_Cursor(IDC_ARROW);
    if (g_cursor_changed_proc) g_cursor_changed_proc();
  }
  delete c;
  return true;
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = g_current_cursor ? g_current_cursor : System_Cursor(IDC_ARROW);
  if (cursor && !Cursor_Of(cursor)) return old;
  g_current_cursor = cursor;
  if (old != cursor && g_cursor_changed_proc) g_cursor_changed_proc();
  return old;
}

HCURSOR GetCursor() { return g_current_cursor ? g_current_cursor : System_Cursor(IDC_ARROW); }

int32 ShowCursor(bool show) {
  g_cursor_count += show ? 1 : -1;
  if (g_cursor_changed_proc) g_cursor_changed_proc();
  return g_cursor_count;
}

int32 hostwin::Cursor_Show_Count() { return g_cursor_count; }

uint32 Host_Cursor_System_Id(HCURSOR hcursor) {
  const HostCursorRec* cursor = Cursor_Of(hcursor);
  return cursor ? cursor->system_id : 0;
}

bool Host_Cursor_Image(HCURSOR hcursor, int32& width, int32& height, int32& hot_x, int32& hot_y,
                       std::vector<uint32>& bgra) {
  const HostCursorRec* cursor = Cursor_Of(hcursor);
  if (!cursor || cursor->system_id != 0) return false;
  width = cursor->width;
  height = cursor->height;
  hot_x = cursor->hot_x;
  hot_y = cursor->hot_y;
  bgra = cursor->bgra;
  return true;
}

// --- Icons -----------------------------------------------------------------------------------

HICON Host_Create_Icon(int32 width, int32 height, const uint32* bgra) {
  if (!bgra || width <= 0 || height <= 0 || width > 256 || height > 256) return nullptr;
  auto* icon = new (std::nothrow) HostIconRec;
  if (!icon) return nullptr;
  icon->width = width;
  icon->height = height;
  icon->bgra.assign(bgra, bgra + size_t(width) * size_t(height));
  icon->self = static_cast<HICON>(Icons().Add(icon, HostHandleKind::kIcon));
  if (!icon->self) {
    delete icon;
    return nullptr;
  }
  return icon->self;
}

bool DestroyIcon(HICON hicon) {
  HostIconRec* icon = Icons().Find(hicon, HostHandleKind::kIcon);
  if (!icon) return false;
  Icons().Remove(hicon);
  delete icon;
  return true;
}

bool Host_Icon_Image(HICON hicon, int32& width, int32& height, std::vector<uint32>& bgra) {
  const HostIconRec* icon = Icons().Find(hicon, HostHandleKind::kIcon);
  if (!icon) return false;
  width = icon->width;
  height = icon->height;
  bgra = icon->bgra;
  return true;
}

// --- Reset -----------------------------------------------------------------------------------

void Host_Win_Reset() {
  Reset_Windows();
  g_queue.clear();
  g_quit = false;
  g_quit_code = 0;
  std::fill(std::begin(g_sync), std::end(g_sync), 0);
  std::fill(std::begin(g_async), std::end(g_async), 0);
  g_cursor = POINT{0, 0};
  g_msg_time = 0;
  g_msg_pt = POINT{0, 0};
  g_capture = nullptr;
  g_last_button = -1;
  g_last_down_hwnd = nullptr;
  for (void* h : Cursors().Handles()) {
    HostCursorRec* c = Cursors().Find_Any(h);
    if (c->system_id != 0) continue;
    Cursors().Remove(h);
    delete c;
  }
  g_current_cursor = nullptr;
  g_cursor_count = 0;
  for (void* h : Icons().Handles()) {
    HostIconRec* icon = Icons().Find_Any(h);
    Icons().Remove(h);
    delete icon;
  }
  for (void* h : Accels().Handles()) {
    HostAccelRec* a = Accels().Find_Any(h);
    Accels().Remove(h);
    delete a;
  }
}
