#include "platform/Windowv.h"

#include "platform/Quickdraw.h"
#include "platform/SysErr.h"
#include "platform/SysMS.h"
#include "platform/SysUnicode.h"
#include "platform/SysWin.h"

namespace {

// Depth of the update brackets in use (at most 2), and their paint records
// (entries 1 and 2).
int16 gn = 0;
PAINTSTRUCT g_ps[3];

}  // namespace

void Windowv_Init() { gn = 0; }

int16 Update_Depth() { return gn; }

void SetWRefCon(HWND window, void* refcon) {
  SetWindowLongPtr(window, REFCON_OFFSET, reinterpret_cast<intptr_t>(refcon));
}

void* GetWRefCon(HWND window) {
  return reinterpret_cast<void*>(GetWindowLongPtr(window, REFCON_OFFSET));
}

void BringToFront(HWND window) {
  BringWindowToTop(window);
  const int16 ix = Winlist_Ix(window);
  if (ix == 0) {
    QUIT();
    return;
  }
  for (int16 i = ix; i < nwinlist; ++i) winlist[i] = winlist[i + 1];
  winlist[nwinlist] = window;
}

void SendBehind(HWND theWindow, HWND behindWindow) {
  SetWindowPos(theWindow, behindWindow, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  const int16 ia = Winlist_Ix(theWindow);
  if (ia == 0 || Winlist_Ix(behindWindow) == 0) {
    QUIT();
    return;
  }
  if (theWindow == behindWindow) return;
  // Take theWindow out, then put it in just below behindWindow.
  for (int16 i = ia; i < nwinlist; ++i) winlist[i] = winlist[i + 1];
  const int16 ib = Winlist_Ix(behindWindow);
  for (int16 i = nwinlist; i > ib; --i) winlist[i] = winlist[i - 1];
  winlist[ib] = theWindow;
}

void ShowHide(HWND theWindow, bool8 targ) {
  const bool visible = (GetWindowLong(theWindow, GWL_STYLE) & int32(WS_VISIBLE)) != 0;
  if (visible == bool(targ)) return;
  const UINT keep = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(theWindow, nullptr, 0, 0, 0, 0, keep | (targ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void ShowWindow(HWND window) { ShowWindow(window, SW_SHOWNOACTIVATE); }
void HideWindow(HWND window) { ShowWindow(window, SW_HIDE); }

void CloseWindow(HWND window) {
  if (window == nullptr) return;
  if (qd.thePort == window) {
    Flush_Shadow(theShadow);
    qd.thePort = nullptr;
    theHDC = nullptr;
    theShadow = nullptr;
    theGWorld = nullptr;
  }
  Winlist_Del(window);
  DestroyWindow(window);
}

void MoveWindow(HWND theWindow, int16 xglobal, int16 yglobal, bool8 /*front*/) {
  Rect f;
  Calc_Window_Frame(theWindow, f);
  SetWindowPos(theWindow, nullptr, int32(xglobal) - f.left, int32(yglobal) - f.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SizeWindow(HWND theWindow, int16 new_width, int16 new_height, bool8 update) {
  Rect f;
  Calc_Window_Frame(theWindow, f);
  SetWindowPos(theWindow, nullptr, 0, 0, int32(new_width) + f.left + f.right,
               int32(new_height) + f.top + f.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  HDC dc = GetDC(theWindow);
  if (dc != nullptr) {
    SelectClipRgn(dc, nullptr);
    ReleaseDC(theWindow, dc);
  }
  if (update) InvalidateRect(theWindow, nullptr, false);
}

void SetWTitle(HWND window, CStrSpan title) {
  char16_t t[256];
  UTF8_To_UTF16(title, UStrSpan(t, 256));
  t[255] = 0;
  SetWindowTextW(window, t);
}

void SetWTitleW(HWND window, CUStrSpan title) {
  char16_t t[256];
  size_t n = 0;
  while (n < title.size() && n < 255 && title[n] != 0) {
    t[n] = title[n];
    ++n;
  }
  t[n] = 0;
  SetWindowTextW(window, t);
}

namespace {

// r (logical coordinates of the current port) in device coordinates.
bool8 Device_Rect(const Rect& r, RECT& R) {
  if (qd.thePort == nullptr || theHDC == nullptr) return false;
  POINT pts[2] = {{r.left, r.top}, {r.right, r.bottom}};
  LPtoDP(theHDC, pts, 2);
  R = RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
  return true;
}

}  // namespace

void InvalRect(const Rect& r) {
  RECT R;
  if (Device_Rect(r, R)) InvalidateRect(qd.thePort, &R, false);
}

void ValidRect(const Rect& r) {
  RECT R;
  if (Device_Rect(r, R)) ValidateRect(qd.thePort, &R);
}

void InvalRgn(HRGN rgn) {
  if (qd.thePort != nullptr) InvalidateRgn(qd.thePort, rgn, false);
}

void ValidRgn(HRGN rgn) {
  if (qd.thePort != nullptr) ValidateRgn(qd.thePort, rgn);
}

void BeginUpdate(HWND window) {
  if (gn >= 2) {
    QUIT();
    return;
  }
  ++gn;
  g_ps[gn] = PAINTSTRUCT{};
  HDC dc = BeginPaint(window, &g_ps[gn]);
  Set_Window_Port(window, dc);
}

void EndUpdate(HWND window) {
  if (gn <= 0) {
    QUIT();
    return;
  }
  if (theShadow != nullptr) Flush_Shadow(theShadow);
  if (theHDC != nullptr) SelectClipRgn(theHDC, nullptr);
  EndPaint(window, &g_ps[gn]);
  qd.thePort = nullptr;
  theHDC = nullptr;
  theShadow = nullptr;
  theGWorld = nullptr;
  --gn;
}

int16 FindWindow(Point thePoint, HWND& theWindow) {
  POINT p;
  ToPOINT(p, thePoint);
  HWND w = WindowFromPoint(p);
  theWindow = nullptr;
  if (w == nullptr) return inNoWindow;
  a_win_info_rec info;
  GetWinInfo(info, w);
  if (info.kind == FOREIGN_KIND) return inForeign;
  theWindow = w;
  return inContent;
}

void GetWindowBounds(HWND window, Rect& outside) {
  RECT R{0, 0, 0, 0};
  GetWindowRect(window, &R);
  ToRect(outside, R);
}

void GetWindowInterior(HWND window, Rect& inside) {
  RECT R{0, 0, 0, 0};
  GetClientRect(window, &R);
  POINT tl{R.left, R.top}, br{R.right, R.bottom};
  ClientToScreen(window, &tl);
  ClientToScreen(window, &br);
  ToRect(inside, RECT{tl.x, tl.y, br.x, br.y});
}

HWND NewCWindow() {
  QUIT();
  return nullptr;
}
