// The host's child controls: buttons, statics, edit fields, drop-down
// lists and scroll bars, drawn with our GDI and text output. This file holds
// the buttons, statics and scroll bars and registers every class; the edit
// field and the drop-down list have files of their own.
#include "host/HostControls.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/HostControlsCore.h"

namespace hostdlg {
void Register_Dialog_Class();  // HostDialog.cpp
}

using namespace hostctl;

namespace {

HFONT g_font = nullptr;

// --- Buttons ---------------------------------------------------------------------------

struct Button : Base {
  UINT check = BST_UNCHECKED;
  bool pushed = false;    // drawn pushed
  bool tracking = false;  // the mouse is held on it
  bool space = false;     // Space is held on it
};

uint32 Button_Type(HWND hwnd) { return Style_Of(hwnd) & BS_TYPEMASK; }
bool Is_Push(uint32 t) { return t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON; }
bool Is_Radio(uint32 t) { return t == BS_RADIOBUTTON || t == BS_AUTORADIOBUTTON; }
bool Is_Check(uint32 t) { return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE; }

void Button_Set_Check(HWND hwnd, Button* st, UINT check) {
  const uint32 t = Button_Type(hwnd);
  if (!Is_Radio(t) && !Is_Check(t)) return;
  if (check > BST_INDETERMINATE) check = BST_CHECKED;
  if (check == BST_INDETERMINATE && t != BS_3STATE && t != BS_AUTO3STATE) check = BST_CHECKED;
  if (st->check != check) {
    st->check = check;
    InvalidateRect(hwnd, nullptr, true);
  }
}

void Button_Click(HWND hwnd, Button* st) {
  if (!IsWindowEnabled(hwnd)) return;
  switch (Button_Type(hwnd)) {
    case BS_AUTOCHECKBOX: Button_Set_Check(hwnd, st, st->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED); break;
    case BS_AUTO3STATE: Button_Set_Check(hwnd, st, (st->check + 1) % 3); break;
    case BS_AUTORADIOBUTTON:
      for (HWND other : Host_Control_Group(hwnd)) {
        if (other == hwnd) continue;
        char cls[16];
        GetClassName(other, cls, sizeof cls);
        if (std::strcmp(cls, "BUTTON") == 0 && Button_Type(other) == BS_AUTORADIOBUTTON)
          SendMessage(other, BM_SETCHECK, BST_UNCHECKED, 0);
      }
      Button_Set_Check(hwnd, st, BST_CHECKED);
      break;
    default: break;
  }
  Notify(hwnd, BN_CLICKED);
}

void Button_Paint(HWND hwnd, Button* st) {
  PAINTSTRUCT ps;
  HDC dc = Paint_Begin(hwnd, ps, st->Font());
  if (!dc) return;
  const RECT r = Client_Rect(hwnd);
  const uint32 t = Button_Type(hwnd);
  const std::u16string text = Title(hwnd);
  const bool focus = GetFocus() == hwnd;
  const int32 cell = Cell_Height(st->Font());
  Fill(dc, r, kHostFaceColor);
  if (t == BS_GROUPBOX) {
    RECT box{r.left, r.top + cell / 2, r.right, r.bottom};
    Frame(dc, box, kHostFrameColor);
    if (!text.empty()) {
      const int32 w = Text_Width(dc, text.data(), int32(text.size()));
      RECT gap{r.left + 6, r.top, std::min<int32>(r.right, r.left + 10 + w), r.top + cell};
      Fill(dc, gap, kHostFaceColor);
      RECT tr{r.left + 8, r.top, r.right, r.top + cell};
      DrawTextW(dc, text.data(), int32(text.size()), &tr, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    }
  } else if (Is_Push(t)) {
    Fill(dc, r, st->pushed ? kHostPressedColor : kHostButtonColor);
    if (t == BS_DEFPUSHBUTTON) Frame(dc, r, kHostDefaultColor, 2);
    else Frame(dc, r, kHostFrameColor);
    RECT tr = r;
    if (st->pushed) OffsetRect(&tr, 1, 1);
    DrawTextW(dc, text.data(), int32(text.size()), &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (focus) {
      RECT fr{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
      Focus_Rect(dc, fr);
    }
  } else {  // check box or radio button
    const int32 m = 13;
    const bool left_text = (Style_Of(hwnd) & BS_LEFTTEXT) != 0;
    const int32 top = r.top + (r.bottom - r.top - m) / 2;
    const int32 mx = left_text ? r.right - m - 1 : r.left + 1;
    RECT mark{mx, top, mx + m, top + m};
    const COLORREF ink = IsWindowEnabled(hwnd) ? kHostTextColor : kHostGrayTextColor;
    if (Is_Radio(t)) {
      HBRUSH b = Brush(st->pushed ? kHostPressedColor : kHostFieldColor);
      HPEN pen = CreatePen(PS_SOLID, 1, kHostFrameColor);
      HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pen);
      Ellipse(dc, mark.left, mark.top, mark.right, mark.bottom);
      SelectObject(dc, ob);
      SelectObject(dc, op);
      DeleteObject(b);
      DeleteObject(pen);
      if (st->check == BST_CHECKED) {
        HBRUSH d = Brush(ink);
        HPEN np = static_cast<HPEN>(GetStockObject(NULL_PEN));
        ob = SelectObject(dc, d);
        op = SelectObject(dc, np);
        Ellipse(dc, mark.left + 4, mark.top + 4, mark.right - 3, mark.bottom - 3);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(d);
      }
    } else {
      Fill(dc, mark, st->pushed ? kHostPressedColor : kHostFieldColor);
      Frame(dc, mark, kHostFrameColor);
      if (st->check == BST_CHECKED) {
        HPEN pen = CreatePen(PS_SOLID, 2, ink);
        HGDIOBJ op = SelectObject(dc, pen);
        MoveToEx(dc, mark.left + 3, mark.top + 6, nullptr);
        LineTo(dc, mark.left + 5, mark.top + 9);
        LineTo(dc, mark.left + 10, mark.top + 3);
        SelectObject(dc, op);
        DeleteObject(pen);
      } else if (st->check == BST_INDETERMINATE) {
        RECT in{mark.left + 3, mark.top + 3, mark.right - 3, mark.bottom - 3};
        Fill(dc, in, kHostGrayTextColor);
      }
    }
    RECT tr = left_text ? RECT{r.left, r.top, mark.left - 4, r.bottom} : RECT{mark.right + 5, r.top, r.right, r.bottom};
    if (!text.empty()) {
      DrawTextW(dc, text.data(), int32(text.size()), &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (focus) {
      const int32 w = std::min<int32>(tr.right - tr.left, Text_Width(dc, text.data(), int32(text.size())) + 4);
      const int32 ty = r.top + (r.bottom - r.top - cell) / 2;
      RECT fr{tr.left - 2, std::max<int32>(r.top, ty - 1), tr.left - 2 + std::max<int32>(w, 6),
              std::min<int32>(r.bottom, ty + cell + 1)};
      Focus_Rect(dc, fr);
    }
  }
  EndPaint(hwnd, &ps);
}

LRESULT Button_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Button* st = nullptr;
  LRESULT out = 0;
  if (Common_Message(hwnd, msg, wparam, lparam, st, out)) return out;
  const uint32 t = Button_Type(hwnd);
  switch (msg) {
    case WM_GETDLGCODE:
      if (t == BS_GROUPBOX) return DLGC_STATIC;
      if (t == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (t == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      if (Is_Radio(t)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
      return DLGC_BUTTON;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Button_Paint(hwnd, st); return 0;
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProc(hwnd, msg, wparam, lparam);
      InvalidateRect(hwnd, nullptr, true);
      return r;
    }
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, true); return 0;
    case WM_SETFOCUS: InvalidateRect(hwnd, nullptr, true); return 0;
    case WM_KILLFOCUS:
      st->space = false;
      if (!st->tracking) st->pushed = false;
      InvalidateRect(hwnd, nullptr, true);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (t == BS_GROUPBOX) return 0;
      SetFocus(hwnd);
      st->tracking = true;
      st->pushed = true;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, true);
      return 0;
    case WM_MOUSEMOVE:
      if (st->tracking) {
        const RECT r = Client_Rect(hwnd);
        const POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        const bool in = PtInRect(&r, p);
        if (in != st->pushed) {
          st->pushed = in;
          InvalidateRect(hwnd, nullptr, true);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (st->tracking) {
        st->tracking = false;
        const bool in = st->pushed;
        st->pushed = false;
        ReleaseCapture();
        InvalidateRect(hwnd, nullptr, true);
        if (in) Button_Click(hwnd, st);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (st->tracking && reinterpret_cast<HWND>(lparam) != hwnd) {
        st->tracking = false;
        st->pushed = false;
        InvalidateRect(hwnd, nullptr, true);
      }
      return 0;
    case WM_KEYDOWN:
      if (wparam == WPARAM(VK_SPACE) && t != BS_GROUPBOX && !st->space) {
        st->space = true;
        st->pushed = true;
        InvalidateRect(hwnd, nullptr, true);
      }
      return 0;
    case WM_KEYUP:
      if (wparam == WPARAM(VK_SPACE) && st->space) {
        st->space = false;
        st->pushed = false;
        InvalidateRect(hwnd, nullptr, true);
        Button_Click(hwnd, st);
      }
      return 0;
    case WM_CHAR: return 0;
    case BM_GETCHECK: return LRESULT(st->check);
    case BM_SETCHECK: Button_Set_Check(hwnd, st, UINT(wparam)); return 0;
    case BM_GETSTATE:
      return LRESULT(st->check) | (st->pushed ? BST_PUSHED : 0) | (GetFocus() == hwnd ? BST_FOCUS : 0);
    case BM_SETSTATE:
      if (st->pushed != (wparam != 0)) {
        st->pushed = wparam != 0;
        InvalidateRect(hwnd, nullptr, true);
      }
      return 0;
    case BM_SETSTYLE: {
      const uint32 s = Style_Of(hwnd);
      SetWindowLongPtr(hwnd, GWL_STYLE, intptr_t((s & ~BS_TYPEMASK) | (uint32(wparam) & BS_TYPEMASK)));
      if (lparam) InvalidateRect(hwnd, nullptr, true);
      return 0;
    }
    case BM_CLICK: Button_Click(hwnd, st); return 0;
    default: return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

// --- Statics ---------------------------------------------------------------------------

struct Static : Base {};

void Static_Paint(HWND hwnd, Static* st) {
  PAINTSTRUCT ps;
  HDC dc = Paint_Begin(hwnd, ps, st->Font());
  if (!dc) return;
  const RECT r = Client_Rect(hwnd);
  const uint32 s = Style_Of(hwnd);
  const uint32 t = s & SS_TYPEMASK;
  Fill(dc, r, kHostFaceColor);
  switch (t) {
    case SS_BLACKRECT: Fill(dc, r, RGB(0, 0, 0)); break;
    case SS_GRAYRECT: Fill(dc, r, kHostFrameColor); break;
    case SS_WHITERECT: Fill(dc, r, RGB(255, 255, 255)); break;
    case SS_BLACKFRAME: Frame(dc, r, RGB(0, 0, 0)); break;
    case SS_GRAYFRAME: case SS_ETCHEDFRAME: Frame(dc, r, kHostFrameColor); break;
    case SS_WHITEFRAME: Frame(dc, r, RGB(255, 255, 255)); break;
    case SS_ETCHEDHORZ: {
      RECT line{r.left, r.top, r.right, r.top + 1};
      Fill(dc, line, kHostFrameColor);
      break;
    }
    default: {
      const std::u16string text = Title(hwnd);
      uint32 fmt = DT_NOPREFIX;
      if (t == SS_CENTER) fmt |= DT_CENTER | DT_WORDBREAK;
      else if (t == SS_RIGHT) fmt |= DT_RIGHT | DT_WORDBREAK;
      else if (t == SS_LEFT) fmt |= DT_WORDBREAK;
      else fmt |= DT_SINGLELINE;
      RECT tr = r;
      if (s & SS_CENTERIMAGE) {
        RECT calc = r;
        const int32 h = DrawTextW(dc, text.data(), int32(text.size()), &calc, fmt | DT_CALCRECT);
        tr.top += std::max<int32>(0, (r.bottom - r.top - h) / 2);
      }
      DrawTextW(dc, text.data(), int32(text.size()), &tr, fmt);
      break;
    }
  }
  EndPaint(hwnd, &ps);
}

LRESULT Static_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Static* st = nullptr;
  LRESULT out = 0;
  if (Common_Message(hwnd, msg, wparam, lparam, st, out)) return out;
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Static_Paint(hwnd, st); return 0;
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProc(hwnd, msg, wparam, lparam);
      InvalidateRect(hwnd, nullptr, true);
      return r;
    }
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, true); return 0;
    case WM_LBUTTONDOWN:
      if (Style_Of(hwnd) & SS_NOTIFY) Notify(hwnd, STN_CLICKED);
      return 0;
    default: return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

// --- Scroll bars -----------------------------------------------------------------------

enum class Part { NONE, ARROW1, PAGE1, THUMB, PAGE2, ARROW2 };

struct Scroll : Base {
  int32 min = 0, max = 100;
  uint32 page = 0;
  int32 pos = 0;
  int32 track = 0;
  Part held = Part::NONE;
  int32 grab = 0;  // mouse offset within the thumb
};

int32 Max_Pos(const Scroll* st) {
  return int32(std::max<int64>(st->min, int64(st->max) - std::max<int64>(int64(st->page) - 1, 0)));
}

void Scroll_Normalise(Scroll* st) {
  if (st->max < st->min) st->max = st->min;
  const int64 range = int64(st->max) - st->min + 1;
  if (int64(st->page) > range) st->page = uint32(range);
  st->pos = std::clamp(st->pos, st->min, Max_Pos(st));
  st->track = std::clamp(st->track, st->min, Max_Pos(st));
}

bool Scroll_Active(HWND hwnd, const Scroll* st) { return Max_Pos(st) > st->min && IsWindowEnabled(hwnd); }

struct Scroll_Geo {
  bool vert;
  int32 len, thick, arrow;
  int32 thumb_at, thumb_len;  // along the bar
};

Scroll_Geo Geo_Of(HWND hwnd, const Scroll* st, int32 at_pos) {
  Scroll_Geo g;
  const RECT r = Client_Rect(hwnd);
  g.vert = (Style_Of(hwnd) & SBS_VERT) != 0;
  g.len = g.vert ? r.bottom : r.right;
  g.thick = g.vert ? r.right : r.bottom;
  g.arrow = std::min(g.thick, g.len / 2);
  const int32 track = std::max<int32>(0, g.len - 2 * g.arrow);
  const int64 range = int64(st->max) - st->min + 1;
  int32 tl = st->page ? int32(int64(track) * st->page / std::max<int64>(1, range)) : g.thick;
  tl = std::clamp<int32>(tl, std::min<int32>(8, track), track);
  g.thumb_len = tl;
  const int64 span = track - tl;
  const int64 steps = int64(Max_Pos(st)) - st->min;
  g.thumb_at = g.arrow + (steps > 0 ? int32(span * (int64(at_pos) - st->min) / steps) : 0);
  return g;
}

void Scroll_Send(HWND hwnd, int32 code, int32 pos) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  const UINT msg = (Style_Of(hwnd) & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
  SendMessage(parent, msg, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(hwnd));
}

void Scroll_Paint(HWND hwnd, Scroll* st) {
  PAINTSTRUCT ps;
  HDC dc = Paint_Begin(hwnd, ps, st->Font());
  if (!dc) return;
  const RECT r = Client_Rect(hwnd);
  const bool active = Scroll_Active(hwnd, st);
  const Scroll_Geo g = Geo_Of(hwnd, st, st->held == Part::THUMB ? st->track : st->pos);
  Fill(dc, r, kHostTrackColor);
  auto along = [&](int32 a, int32 b) {
    return g.vert ? RECT{0, a, g.thick, b} : RECT{a, 0, b, g.thick};
  };
  const RECT a1 = along(0, g.arrow), a2 = along(g.len - g.arrow, g.len);
  const COLORREF ink = active ? kHostTextColor : kHostGrayTextColor;
  Fill(dc, a1, st->held == Part::ARROW1 ? kHostPressedColor : kHostButtonColor);
  Fill(dc, a2, st->held == Part::ARROW2 ? kHostPressedColor : kHostButtonColor);
  Arrow(dc, a1, g.vert ? 0 : 2, ink);
  Arrow(dc, a2, g.vert ? 1 : 3, ink);
  if (active) {
    RECT th = along(g.thumb_at, g.thumb_at + g.thumb_len);
    if (g.vert) th.left += 2, th.right -= 2;
    else th.top += 2, th.bottom -= 2;
    Fill(dc, th, st->held == Part::THUMB ? kHostFrameColor : kHostThumbColor);
    if (GetFocus() == hwnd) {
      RECT fr{th.left - 1, th.top - 1, th.right + 1, th.bottom + 1};
      Focus_Rect(dc, fr);
    }
  }
  EndPaint(hwnd, &ps);
}

Part Scroll_Hit(HWND hwnd, const Scroll* st, POINT p, int32& along_out) {
  const Scroll_Geo g = Geo_Of(hwnd, st, st->pos);
  const int32 a = g.vert ? p.y : p.x;
  along_out = a;
  if (a < g.arrow) return Part::ARROW1;
  if (a >= g.len - g.arrow) return Part::ARROW2;
  if (a < g.thumb_at) return Part::PAGE1;
  if (a >= g.thumb_at + g.thumb_len) return Part::PAGE2;
  return Part::THUMB;
}

LRESULT Scroll_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Scroll* st = nullptr;
  LRESULT out = 0;
  if (Common_Message(hwnd, msg, wparam, lparam, st, out)) return out;
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Scroll_Paint(hwnd, st); return 0;
    case WM_ENABLE: case WM_SETFOCUS: case WM_KILLFOCUS: InvalidateRect(hwnd, nullptr, true); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!Scroll_Active(hwnd, st)) return 0;
      if ((Style_Of(hwnd) & WS_TABSTOP) && GetFocus() != hwnd) SetFocus(hwnd);
      int32 a = 0;
      const Part part = Scroll_Hit(hwnd, st, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, a);
      st->held = part;
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, false);
      switch (part) {
        case Part::ARROW1: Scroll_Send(hwnd, SB_LINEUP, 0); break;
        case Part::ARROW2: Scroll_Send(hwnd, SB_LINEDOWN, 0); break;
        case Part::PAGE1: Scroll_Send(hwnd, SB_PAGEUP, 0); break;
        case Part::PAGE2: Scroll_Send(hwnd, SB_PAGEDOWN, 0); break;
        case Part::THUMB:
          st->track = st->pos;
          st->grab = a - Geo_Of(hwnd, st, st->pos).thumb_at;
          break;
        default: break;
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (st->held != Part::THUMB) return 0;
      const POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      const Scroll_Geo g = Geo_Of(hwnd, st, st->pos);
      const int64 span = int64(g.len) - 2 * g.arrow - g.thumb_len;
      const int64 steps = int64(Max_Pos(st)) - st->min;
      const int64 off = int64(g.vert ? p.y : p.x) - st->grab - g.arrow;
      int32 np = st->min;
      if (span > 0) {
        const int64 o = std::clamp<int64>(off, 0, span);
        np = int32(st->min + (o * steps + span / 2) / span);
      }
      np = std::clamp(np, st->min, Max_Pos(st));
      if (np != st->track) {
        st->track = np;
        InvalidateRect(hwnd, nullptr, false);
        Scroll_Send(hwnd, SB_THUMBTRACK, np);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      if (st->held == Part::NONE) return 0;
      const Part was = st->held;
      st->held = Part::NONE;
      ReleaseCapture();
      InvalidateRect(hwnd, nullptr, false);
      if (was == Part::THUMB) Scroll_Send(hwnd, SB_THUMBPOSITION, st->track);
      if (IsWindow(hwnd)) Scroll_Send(hwnd, SB_ENDSCROLL, 0);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (st->held != Part::NONE && reinterpret_cast<HWND>(lparam) != hwnd) {
        st->held = Part::NONE;
        InvalidateRect(hwnd, nullptr, false);
      }
      return 0;
    case WM_KEYDOWN: {
      if (!Scroll_Active(hwnd, st)) return 0;
      int32 code = -1;
      switch (int32(wparam & 0xFF)) {
        case VK_UP: case VK_LEFT: code = SB_LINEUP; break;
        case VK_DOWN: case VK_RIGHT: code = SB_LINEDOWN; break;
        case VK_PRIOR: code = SB_PAGEUP; break;
        case VK_NEXT: code = SB_PAGEDOWN; break;
        case VK_HOME: code = SB_TOP; break;
        case VK_END: code = SB_BOTTOM; break;
        default: break;
      }
      if (code >= 0) {
        Scroll_Send(hwnd, code, 0);
        if (IsWindow(hwnd)) Scroll_Send(hwnd, SB_ENDSCROLL, 0);
      }
      return 0;
    }
    case SBM_SETPOS: {
      const int32 old = st->pos;
      st->pos = int32(intptr_t(wparam));
      Scroll_Normalise(st);
      if (lparam) InvalidateRect(hwnd, nullptr, false);
      return old;
    }
    case SBM_GETPOS: return st->pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
      st->min = int32(intptr_t(wparam));
      st->max = int32(lparam);
      Scroll_Normalise(st);
      if (msg == SBM_SETRANGEREDRAW) InvalidateRect(hwnd, nullptr, false);
      return st->pos;
    case SBM_GETRANGE:
      if (wparam) *reinterpret_cast<int32*>(wparam) = st->min;
      if (lparam) *reinterpret_cast<int32*>(lparam) = st->max;
      return 0;
    case SBM_SETSCROLLINFO: {
      const auto* si = reinterpret_cast<const SCROLLINFO*>(lparam);
      if (!si) return st->pos;
      if (si->fMask & SIF_RANGE) {
        st->min = si->nMin;
        st->max = si->nMax;
      }
      if (si->fMask & SIF_PAGE) st->page = si->nPage;
      if (si->fMask & SIF_POS) st->pos = si->nPos;
      Scroll_Normalise(st);
      if (wparam) InvalidateRect(hwnd, nullptr, false);
      return st->pos;
    }
    case SBM_GETSCROLLINFO: {
      auto* si = reinterpret_cast<SCROLLINFO*>(lparam);
      if (!si) return 0;
      if (si->fMask & SIF_RANGE) {
        si->nMin = st->min;
        si->nMax = st->max;
      }
      if (si->fMask & SIF_PAGE) si->nPage = st->page;
      if (si->fMask & SIF_POS) si->nPos = st->pos;
      if (si->fMask & SIF_TRACKPOS) si->nTrackPos = st->held == Part::THUMB ? st->track : st->pos;
      return (si->fMask & SIF_ALL) ? 1 : 0;
    }
    default: return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

// A scroll-bar control, or NIL (for the SB_CTL calls).
HWND Bar_Of(HWND hwnd, int32 bar) {
  if (bar != SB_CTL || !IsWindow(hwnd)) return nullptr;
  char cls[16];
  GetClassName(hwnd, cls, sizeof cls);
  return std::strcmp(cls, "SCROLLBAR") == 0 ? hwnd : nullptr;
}

void Register(const char* name, WNDPROC proc, uint32 style, int32 extra) {
  WNDCLASS have;
  if (GetClassInfo(nullptr, name, &have)) return;
  WNDCLASS wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = extra;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClass(&wc);
}

}  // namespace

// --- Public ----------------------------------------------------------------------------

void Host_Controls_Init() {
  Register("BUTTON", Button_Proc, 0, 4);
  Register("STATIC", Static_Proc, 0, 4);
  Register("EDIT", Edit_Proc, CS_DBLCLKS, 4);
  Register("COMBOBOX", Combo_Proc, 0, 4);
  Register("SCROLLBAR", Scroll_Proc, 0, 4);
  Register(kComboListClass, Combo_List_Proc, CS_SAVEBITS, 4);
  hostdlg::Register_Dialog_Class();
}

HFONT Host_Control_Font() {
  if (!g_font) {
    HostLogFont lf;
    lf.lfHeight = -12;
    UniChar face[kHostFaceNameUnits]{};
    if (Host_Match_Family(u"", face)) std::memcpy(lf.lfFaceName, face, sizeof face);
    g_font = CreateFontIndirectW(&lf);
  }
  return g_font;
}

std::vector<HWND> Host_Control_Group(HWND ctl) {
  std::vector<HWND> out;
  HostWindowRec* w = hostwin::Live(ctl);
  const HostWindowRec* p = w && (w->style & WS_CHILD) ? hostwin::Live(w->parent) : nullptr;
  if (!p) return out;
  const auto& kids = p->children;
  auto it = std::find(kids.begin(), kids.end(), ctl);
  if (it == kids.end()) return out;
  auto group_start = [](HWND k) { return (hostwin::Live(k)->style & WS_GROUP) != 0; };
  size_t start = size_t(it - kids.begin());
  while (start > 0 && !group_start(kids[start])) --start;
  out.push_back(kids[start]);
  for (size_t i = start + 1; i < kids.size() && !group_start(kids[i]); ++i) out.push_back(kids[i]);
  return out;
}

int32 SetScrollInfo(HWND hwnd, int32 bar, const SCROLLINFO* info, bool redraw) {
  HWND sb = Bar_Of(hwnd, bar);
  if (!sb || !info) return 0;
  return int32(SendMessage(sb, SBM_SETSCROLLINFO, redraw ? 1 : 0, reinterpret_cast<LPARAM>(info)));
}

bool GetScrollInfo(HWND hwnd, int32 bar, SCROLLINFO* info) {
  HWND sb = Bar_Of(hwnd, bar);
  if (!sb || !info) return false;
  return SendMessage(sb, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)) != 0;
}

int32 SetScrollPos(HWND hwnd, int32 bar, int32 pos, bool redraw) {
  HWND sb = Bar_Of(hwnd, bar);
  if (!sb) return 0;
  return int32(SendMessage(sb, SBM_SETPOS, WPARAM(intptr_t(pos)), redraw ? 1 : 0));
}

int32 GetScrollPos(HWND hwnd, int32 bar) {
  HWND sb = Bar_Of(hwnd, bar);
  return sb ? int32(SendMessage(sb, SBM_GETPOS, 0, 0)) : 0;
}

bool SetScrollRange(HWND hwnd, int32 bar, int32 min, int32 max, bool redraw) {
  HWND sb = Bar_Of(hwnd, bar);
  if (!sb) return false;
  SendMessage(sb, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, WPARAM(intptr_t(min)), LPARAM(max));
  return true;
}

bool GetScrollRange(HWND hwnd, int32 bar, int32* min, int32* max) {
  HWND sb = Bar_Of(hwnd, bar);
  if (!sb) return false;
  SendMessage(sb, SBM_GETRANGE, reinterpret_cast<WPARAM>(min), reinterpret_cast<LPARAM>(max));
  return true;
}

bool ShowScrollBar(HWND hwnd, int32 bar, bool show) {
  HWND sb = Bar_Of(hwnd, bar);
  if (!sb) return false;
  ShowWindow(sb, show ? SW_SHOWNA : SW_HIDE);
  return true;
}
