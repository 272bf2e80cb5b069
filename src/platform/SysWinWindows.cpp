// The window half of SysWin: drawing states of windows, window creation by
// window definition number, the window list and the update dispatch.
#include <algorithm>
#include <cstring>
#include <strings.h>

#include "platform/SysErr.h"
#include "platform/SysMS.h"
#include "platform/SysMem.h"
#include "platform/SysUnicode.h"
#include "platform/SysWin.h"
#include "platform/Windowv.h"

HWND winlist[MAX_WINDOWS + 1] = {};
int16 nwinlist = 0;
Rect g_next_exterior{0, 0, 0, 0};
HWND ultimate_hwnd = nullptr;

namespace {

// Window definition used when procID mod 100 makes the main window.
constexpr int16 kMainDef = -1;

int16 Window_Def(int16 procID, HWND parent) {
  int16 r = int16(procID % 100);  // the dividend's sign is kept
  if ((r == 6 || r == 8) && parent == nullptr) r = kMainDef;
  return r;
}

bool8 Is_Class(HWND window, const char* name) {
  char cls[16];
  if (GetClassName(window, cls, int32(sizeof cls)) <= 0) return false;
  return strcasecmp(cls, name) == 0;
}

// The hidden owner window of the program's windows, made on first need.
HWND Ultimate_Owner() {
  if (ultimate_hwnd != nullptr && IsWindow(ultimate_hwnd)) return ultimate_hwnd;
  ultimate_hwnd = CreateWindowEx(0, kClassNull, u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr);
  return ultimate_hwnd;
}

}  // namespace

// --- Drawing states of windows ---------------------------------------------------------

a_shadow_rec* Get_Window_Shadow(HWND win) {
  if (win == nullptr || GetWindowLong(win, 0) != SHADOW_MARKER) return nullptr;
  return reinterpret_cast<a_shadow_rec*>(GetWindowLongPtr(win, SHADOWPTR_OFFSET));
}

void New_Shadow(HWND win) {
  Ptr p = New_Ptr_Clear(uint32(sizeof(a_shadow_rec)));
  if (p == nullptr) {
    g_err_mem_proc(uint32(sizeof(a_shadow_rec)));
    return;
  }
  auto* shadow = reinterpret_cast<a_shadow_rec*>(p);
  shadow->opacity = 255;
  Reset_Shadow(shadow, win, GetDC(win), true);
  SetWindowLong(win, 0, SHADOW_MARKER);
  SetWindowLongPtr(win, SHADOWPTR_OFFSET, reinterpret_cast<intptr_t>(shadow));
}

void Dispose_Shadow(HWND win) {
  a_shadow_rec* shadow = Get_Window_Shadow(win);
  if (shadow == nullptr) return;
  if (theShadow == shadow) {
    // The window is going away: its port must not outlive it.
    theShadow = nullptr;
    theHDC = nullptr;
    qd.thePort = nullptr;
  }
  Flush_Shadow(shadow);
  Ptr p = reinterpret_cast<Ptr>(shadow);
  Dispose_Ptr(p);
  SetWindowLong(win, 0, 0);
  SetWindowLongPtr(win, SHADOWPTR_OFFSET, 0);
}

HDC Set_Window_Port(HWND hwnd, HDC hdc) {
  a_shadow_rec* shadow = Get_Window_Shadow(hwnd);
  if (shadow == nullptr) return SetPort2(hwnd, hdc);
  // The window's own context keeps its colours, modes and objects between
  // calls, so nothing of the record is applied again.
  theShadow = shadow;
  qd.thePort = hwnd;
  theHDC = hdc;
  theGWorld = nullptr;
  return hdc;
}

void SetPort(HWND hwnd) {
  if (hwnd != nullptr && hwnd == qd.thePort && theHDC != nullptr) return;
  Set_Window_Port(hwnd, hwnd != nullptr ? GetDC(hwnd) : nullptr);
}

void Push_Window(HWND window) {
  if (!Push_Port(WINDOW_PORT, nullptr)) return;
  SetPort(window);
}

// --- Creation ------------------------------------------------------------------------

uint32 Window_Style_For(int16 procID, HWND parent) {
  switch (Window_Def(procID, parent)) {
    case kMainDef: return WS_OVERLAPPEDWINDOW;
    case 0: return 0xA0C80000u;
    case 1: return 0x80400000u;
    case 2: return 0x80800000u;
    case 3: return 0x80400000u;
    case 4: return 0x80C80000u;
    case 5: return 0x80C00000u;
    case 6: return 0x80000000u;
    case 7: return 0x80800000u;
    default: return 0x80400000u;
  }
}

HWND New_Window(const Rect& interior, CStrSpan title, bool8 visible, int16 procID, HWND /*behind*/,
                HWND parent, void* refcon) {
  char16_t title16[256];
  UTF8_To_UTF16(title, UStrSpan(title16, 256));
  title16[255] = 0;
  const char* cls = procID > 100 ? kClassMwin : kClassNorm;
  const bool is_main = Window_Def(procID, parent) == kMainDef;
  uint32 style = Window_Style_For(procID, parent);
  if (visible) style |= WS_VISIBLE;

  // The desktop frames the main window itself; a popup's frame is ours.
  int32 fx = 0, fy = 0;
  if (!is_main) {
    if ((style & WS_BORDER) != 0) {
      fx = GetSystemMetrics(SM_CXBORDER);
      fy = GetSystemMetrics(SM_CYBORDER);
    } else if ((style & WS_DLGFRAME) != 0) {
      fx = GetSystemMetrics(SM_CXDLGFRAME);
      fy = GetSystemMetrics(SM_CYDLGFRAME);
    }
  }
  const int32 left = int32(interior.left) - fx, top = int32(interior.top) - fy;
  const int32 right = int32(interior.right) + fx, bottom = int32(interior.bottom) + fy;
  g_next_exterior = Rect{INT32_To_INT16(top), INT32_To_INT16(left), INT32_To_INT16(bottom),
                         INT32_To_INT16(right)};

  HWND owner = parent;
  if (owner == nullptr && !is_main) owner = Ultimate_Owner();
  const uint32 exstyle = is_main ? WS_EX_APPWINDOW : 0;
  HWND w = CreateWindowEx(exstyle, cls, title16, style, left, top, right - left, bottom - top,
                          owner, nullptr, nullptr, nullptr);
  if (w == nullptr) return nullptr;
  SetWindowLongPtr(w, REFCON_OFFSET, reinterpret_cast<intptr_t>(refcon));
  Winlist_Add(w);
  return w;
}

void Calc_Window_Frame(HWND window, Rect& frame) {
  RECT wr{0, 0, 0, 0}, cr{0, 0, 0, 0};
  GetWindowRect(window, &wr);
  GetClientRect(window, &cr);
  POINT tl{cr.left, cr.top}, br{cr.right, cr.bottom};
  ClientToScreen(window, &tl);
  ClientToScreen(window, &br);
  frame.left = INT32_To_INT16(tl.x - wr.left);
  frame.top = INT32_To_INT16(tl.y - wr.top);
  frame.right = INT32_To_INT16(wr.right - br.x);
  frame.bottom = INT32_To_INT16(wr.bottom - br.y);
}

void Window_Move_Size(HWND window, const Rect& interior) {
  Rect f;
  Calc_Window_Frame(window, f);
  const int32 l = int32(interior.left) - f.left, t = int32(interior.top) - f.top;
  const int32 r = int32(interior.right) + f.right, b = int32(interior.bottom) + f.bottom;
  RECT wr{0, 0, 0, 0};
  GetWindowRect(window, &wr);
  if (wr.left == l && wr.top == t && wr.right == r && wr.bottom == b) return;
  SetWindowPos(window, nullptr, l, t, r - l, b - t, SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- The window list -------------------------------------------------------------------

void Winlist_Add(HWND window) {
  if (nwinlist >= MAX_WINDOWS) {
    QUIT();
    return;
  }
  winlist[++nwinlist] = window;
}

int16 Winlist_Ix(HWND window) {
  for (int16 i = 1; i <= nwinlist; ++i)
    if (winlist[i] == window) return i;
  return 0;
}

void Winlist_Del(HWND window) {
  const int16 ix = Winlist_Ix(window);
  if (ix == 0) return;
  for (int16 i = ix; i < nwinlist; ++i) winlist[i] = winlist[i + 1];
  winlist[nwinlist--] = nullptr;
}

void Winlist_Restore() {
  for (int16 i = int16(nwinlist - 1); i >= 1; --i)
    SetWindowPos(winlist[i], winlist[i + 1], 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

// --- Info and updates --------------------------------------------------------------------

void GetWinInfo(a_win_info_rec& info, HWND window) {
  info.mouse_proc = nullptr;
  info.update_proc = nullptr;
  info.kind = FOREIGN_KIND;
  std::memset(info.name, 0, sizeof info.name);
  for (int i = 0; i < 4; ++i) info.name[i] = u'?';
  if (window == nullptr) return;
  if (!Is_Class(window, kClassNorm) && !Is_Class(window, kClassMwin)) return;
  const auto* rec = reinterpret_cast<const a_win_info_rec*>(GetWindowLongPtr(window, REFCON_OFFSET));
  if (rec != nullptr) info = *rec;
}

void Get_Update_Bounds(HWND window, Rect& r) {
  RECT R{0, 0, 0, 0};
  if (!GetUpdateRect(window, &R, false)) R = RECT{0, 0, 0, 0};
  ToRect(r, R);
}

// --- Held-back updates ----------------------------------------------------------------

bool8 g_suppress_updates = false;

namespace {

// The windows whose updates were held back, with the box of what was due.
struct a_held_update {
  HWND window;
  Rect box;
};
constexpr int kMaxHeld = MAX_WINDOWS + 6;  // the listed windows and a few dialogs
a_held_update g_held[kMaxHeld];
int g_nheld = 0;

void Hold_Update(HWND window, const Rect& box) {
  if (box.bottom <= box.top || box.right <= box.left) return;
  for (int i = 0; i < g_nheld; ++i) {
    if (g_held[i].window != window) continue;
    Rect& b = g_held[i].box;
    b = Rect{std::min(b.top, box.top), std::min(b.left, box.left), std::max(b.bottom, box.bottom),
             std::max(b.right, box.right)};
    return;
  }
  if (g_nheld < kMaxHeld) {
    g_held[g_nheld++] = a_held_update{window, box};
    return;
  }
  // No room to keep one more: the last slot stands for its window whole.
  g_held[kMaxHeld - 1] = a_held_update{window, Rect{-32768, -32768, 32767, 32767}};
}

}  // namespace

void Clear_Held_Updates() { g_nheld = 0; }

void Resume_Suppressed_Updates() {
  if (g_suppress_updates) return;
  const int n = g_nheld;
  g_nheld = 0;
  for (int i = 0; i < n; ++i) {
    if (!IsWindow(g_held[i].window)) continue;
    const Rect& b = g_held[i].box;
    const RECT r{b.left, b.top, b.right, b.bottom};
    InvalidateRect(g_held[i].window, &r, false);
  }
}

void DoUpdate(HWND update_window) {
  if (g_suppress_updates) {
    Rect due;
    Get_Update_Bounds(update_window, due);
    Hold_Update(update_window, due);
    ValidateRect(update_window, nullptr);
    return;
  }
  Resume_Suppressed_Updates();
  HWND save_port = qd.thePort;
  HDC save_hdc = theHDC;
  a_shadow_rec* save_shadow = theShadow;
  GWorldPtr save_world = theGWorld;
  g_caret_erase_proc();
  a_win_info_rec info;
  GetWinInfo(info, update_window);
  Rect bounds;
  Get_Update_Bounds(update_window, bounds);
  g_annot_beginupdate_proc(update_window, bounds);
  BeginUpdate(update_window);
  if (info.update_proc != nullptr) info.update_proc(update_window);
  EndUpdate(update_window);
  g_annot_endupdate_proc();
  qd.thePort = save_port;
  theHDC = save_hdc;
  theShadow = save_shadow;
  // EndUpdate leaves no world current; a world that was current before the
  // paint is current again after it, with its own context.
  theGWorld = save_world;
}

void Valid_Rect(const Rect& r) { ValidRect(r); }
void Invalidate_Rect(const Rect& r) { InvalRect(r); }
void Invalidate_Window(HWND window) { InvalidateRect(window, nullptr, false); }
void Immediate_Window_Update(HWND window) { UpdateWindow(window); }
