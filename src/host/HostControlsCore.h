// Internals shared by the host's child controls (HostControls*.cpp): drawing
// helpers, the state every control keeps and the messages all of them answer
// alike, and the window procedures the registration needs. Not for use
// outside the controls.
#pragma once

#include <string>

#include "host/HostControls.h"
#include "host/HostText.h"
#include "host/HostWinCore.h"

namespace hostctl {

constexpr const char* kComboListClass = "HOSTCOMBOLIST";

inline uint32 Style_Of(HWND hwnd) { return uint32(GetWindowLongPtr(hwnd, GWL_STYLE)); }

template <class T>
T* State_Of(HWND hwnd) {
  return reinterpret_cast<T*>(GetWindowLongPtr(hwnd, 0));
}

inline void Notify(HWND hwnd, uint16 code) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

inline HBRUSH Brush(COLORREF c) { return CreateSolidBrush(c); }

inline bool PtInRect(const RECT* r, POINT p) { return p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom; }
inline void OffsetRect(RECT* r, int32 dx, int32 dy) {
  r->left += dx, r->right += dx;
  r->top += dy, r->bottom += dy;
}

inline void Fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = Brush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

inline void Frame(HDC dc, const RECT& r, COLORREF c, int32 width = 1) {
  HBRUSH b = Brush(c);
  RECT q = r;
  for (int32 i = 0; i < width && q.right > q.left && q.bottom > q.top; ++i) {
    FrameRect(dc, &q, b);
    q.left++, q.top++, q.right--, q.bottom--;
  }
  DeleteObject(b);
}

// Dotted outline: every other pixel, as the platform's focus rectangle.
inline void Focus_Rect(HDC dc, const RECT& r) {
  if (r.right - r.left < 2 || r.bottom - r.top < 2) return;
  const COLORREF c = RGB(0, 0, 0);
  for (int32 x = r.left; x < r.right; x += 2) {
    SetPixel(dc, x, r.top, c);
    SetPixel(dc, x, r.bottom - 1, c);
  }
  for (int32 y = r.top; y < r.bottom; y += 2) {
    SetPixel(dc, r.left, y, c);
    SetPixel(dc, r.right - 1, y, c);
  }
}

// A small filled triangle pointing up, down, left or right inside r.
inline void Arrow(HDC dc, const RECT& r, int32 dir, COLORREF c) {
  const int32 cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  const int32 s = std::max<int32>(2, std::min(r.right - r.left, r.bottom - r.top) / 4);
  POINT p[3];
  switch (dir) {
    case 0: p[0] = {cx - s, cy + s / 2}; p[1] = {cx + s, cy + s / 2}; p[2] = {cx, cy - s / 2 - 1}; break;
    case 1: p[0] = {cx - s, cy - s / 2}; p[1] = {cx + s, cy - s / 2}; p[2] = {cx, cy + s / 2 + 1}; break;
    case 2: p[0] = {cx + s / 2, cy - s}; p[1] = {cx + s / 2, cy + s}; p[2] = {cx - s / 2 - 1, cy}; break;
    default: p[0] = {cx - s / 2, cy - s}; p[1] = {cx - s / 2, cy + s}; p[2] = {cx + s / 2 + 1, cy}; break;
  }
  HBRUSH b = Brush(c);
  HPEN pen = CreatePen(PS_SOLID, 1, c);
  HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pen);
  Polygon(dc, p, 3);
  SelectObject(dc, ob);
  SelectObject(dc, op);
  DeleteObject(b);
  DeleteObject(pen);
}

inline RECT Client_Rect(HWND hwnd) {
  RECT r{0, 0, 0, 0};
  GetClientRect(hwnd, &r);
  return r;
}

inline int32 Cell_Height(HFONT font) {
  HostTextMetric tm;
  Host_Font_Metrics(font, &tm);
  return tm.tmHeight > 0 ? tm.tmHeight : 14;
}

inline int32 Text_Width(HDC dc, const char16_t* s, int32 n) {
  if (n <= 0) return 0;
  SIZE sz{0, 0};
  GetTextExtentPoint32W(dc, s, n, &sz);
  return sz.cx;
}

inline std::u16string Title(HWND hwnd) {
  HostWindowRec* w = hostwin::Live(hwnd);
  return w ? w->title : std::u16string();
}

// Common parts of every control's state.
struct Base {
  HFONT font = nullptr;
  HFONT Font() const { return font ? font : Host_Control_Font(); }
};

// Answers WM_SETFONT / WM_GETFONT; TRUE when msg was one of them.
inline bool Font_Message(HWND hwnd, Base* st, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& out) {
  if (msg == WM_SETFONT) {
    st->font = reinterpret_cast<HFONT>(wparam);
    if (lparam) InvalidateRect(hwnd, nullptr, true);
    out = 0;
    return true;
  }
  if (msg == WM_GETFONT) {
    out = reinterpret_cast<LRESULT>(st->font);
    return true;
  }
  return false;
}

// The messages every control procedure answers alike: its state made on
// WM_NCCREATE and freed on WM_NCDESTROY, and the font messages. TRUE when msg
// was answered (`out` holds the result); otherwise `st` is the state.
template <class T>
bool Common_Message(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, T*& st, LRESULT& out) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<intptr_t>(new T));
    out = DefWindowProc(hwnd, msg, wparam, lparam);
    return true;
  }
  st = State_Of<T>(hwnd);
  if (!st) {
    out = DefWindowProc(hwnd, msg, wparam, lparam);
    return true;
  }
  if (Font_Message(hwnd, st, msg, wparam, lparam, out)) return true;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtr(hwnd, 0, 0);
    delete st;
    st = nullptr;
    out = 0;
    return true;
  }
  return false;
}

// Begins painting: the DC with the control font, transparent text.
inline HDC Paint_Begin(HWND hwnd, PAINTSTRUCT& ps, HFONT font) {
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return nullptr;
  Host_Select_Font(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, IsWindowEnabled(hwnd) ? kHostTextColor : kHostGrayTextColor);
  return dc;
}

// The window procedures of the edit field (HostControlsEdit.cpp), and of the
// drop-down list and its pop-up list (HostControlsCombo.cpp).
LRESULT Edit_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
LRESULT Combo_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
LRESULT Combo_List_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

}  // namespace hostctl
