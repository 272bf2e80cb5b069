// The host's child controls: buttons, statics, edit fields, drop-down
// lists and scroll bars, drawn with our GDI and text output.
#include "host/HostControls.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/HostText.h"
#include "host/HostUtf.h"
#include "host/HostWinCore.h"

namespace hostdlg {
void Register_Dialog_Class();  // HostDialog.cpp
}

namespace {

constexpr const char* kComboListClass = "HOSTCOMBOLIST";

// --- Shared helpers --------------------------------------------------------------------

HFONT g_font = nullptr;
std::u16string g_clip;  // the controls' own clipboard (Ctrl+C / X / V)

uint32 Style_Of(HWND hwnd) { return uint32(GetWindowLongPtr(hwnd, GWL_STYLE)); }

template <class T>
T* State_Of(HWND hwnd) {
  return reinterpret_cast<T*>(GetWindowLongPtr(hwnd, 0));
}

void Notify(HWND hwnd, uint16 code) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code), reinterpret_cast<LPARAM>(hwnd));
}

HBRUSH Brush(COLORREF c) { return CreateSolidBrush(c); }

bool PtInRect(const RECT* r, POINT p) { return p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom; }
void OffsetRect(RECT* r, int32 dx, int32 dy) {
  r->left += dx, r->right += dx;
  r->top += dy, r->bottom += dy;
}

void Fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = Brush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

void Frame(HDC dc, const RECT& r, COLORREF c, int32 width = 1) {
  HBRUSH b = Brush(c);
  RECT q = r;
  for (int32 i = 0; i < width && q.right > q.left && q.bottom > q.top; ++i) {
    FrameRect(dc, &q, b);
    q.left++, q.top++, q.right--, q.bottom--;
  }
  DeleteObject(b);
}

// Dotted outline: every other pixel, as the platform's focus rectangle.
void Focus_Rect(HDC dc, const RECT& r) {
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
void Arrow(HDC dc, const RECT& r, int32 dir, COLORREF c) {
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

RECT Client_Rect(HWND hwnd) {
  RECT r{0, 0, 0, 0};
  GetClientRect(hwnd, &r);
  return r;
}

int32 Cell_Height(HFONT font) {
  HostTextMetric tm;
  Host_Font_Metrics(font, &tm);
  return tm.tmHeight > 0 ? tm.tmHeight : 14;
}

int32 Text_Width(HDC dc, const char16_t* s, int32 n) {
  if (n <= 0) return 0;
  SIZE sz{0, 0};
  GetTextExtentPoint32W(dc, s, n, &sz);
  return sz.cx;
}

std::u16string Title(HWND hwnd) {
  HostWindowRec* w = hostwin::Live(hwnd);
  return w ? w->title : std::u16string();
}

// Common parts of every control's state.
struct Base {
  HFONT font = nullptr;
  HFONT Font() const { return font ? font : Host_Control_Font(); }
};

// Answers WM_SETFONT / WM_GETFONT; TRUE when msg was one of them.
bool Font_Message(HWND hwnd, Base* st, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& out) {
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
HDC Paint_Begin(HWND hwnd, PAINTSTRUCT& ps, HFONT font) {
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return nullptr;
  Host_Select_Font(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, IsWindowEnabled(hwnd) ? kHostTextColor : kHostGrayTextColor);
  return dc;
}

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

// --- Edit fields ----------------------------------------------------------------------

struct Edit : Base {
  int32 caret = 0;   // UTF-16 index
  int32 anchor = 0;  // the other end of the selection
  int32 scroll_x = 0;     // pixels hidden at the left (single line)
  int32 first_line = 0;   // first visible line (multi-line)
  int32 limit = kHostEditDefaultLimit;
  bool modified = false;
  bool tracking = false;
  std::u16string undo_text;
  int32 undo_caret = 0;
  bool can_undo = false;
};

constexpr int32 kEditPad = 3;

constexpr bool Is_High(char16_t c) { return Host_Is_High_Surrogate(c); }
constexpr bool Is_Low(char16_t c) { return Host_Is_Low_Surrogate(c); }

// The previous and next caret positions: a surrogate pair and a CR LF pair
// are one step.
int32 Prev_Pos(const std::u16string& t, int32 i) {
  if (i <= 0) return 0;
  --i;
  if (i > 0 && ((Is_Low(t[size_t(i)]) && Is_High(t[size_t(i - 1)])) || (t[size_t(i)] == u'\n' && t[size_t(i - 1)] == u'\r')))
    --i;
  return i;
}
int32 Next_Pos(const std::u16string& t, int32 i) {
  const int32 n = int32(t.size());
  if (i >= n) return n;
  if (i + 1 < n && ((Is_High(t[size_t(i)]) && Is_Low(t[size_t(i + 1)])) || (t[size_t(i)] == u'\r' && t[size_t(i + 1)] == u'\n')))
    return i + 2;
  return i + 1;
}
// A position never splits a pair.
int32 Snap(const std::u16string& t, int32 i) {
  i = std::clamp<int32>(i, 0, int32(t.size()));
  if (i > 0 && i < int32(t.size()) &&
      ((Is_Low(t[size_t(i)]) && Is_High(t[size_t(i - 1)])) || (t[size_t(i)] == u'\n' && t[size_t(i - 1)] == u'\r')))
    --i;
  return i;
}

bool Is_Word(char16_t c) {
  return c == u'_' || (c >= u'0' && c <= u'9') || ((c | 0x20) >= u'a' && (c | 0x20) <= u'z') || c >= 0x80;
}

int32 Word_Left(const std::u16string& t, int32 i) {
  while (i > 0 && !Is_Word(t[size_t(i - 1)])) --i;
  while (i > 0 && Is_Word(t[size_t(i - 1)])) --i;
  return i;
}
int32 Word_Right(const std::u16string& t, int32 i) {
  const int32 n = int32(t.size());
  while (i < n && Is_Word(t[size_t(i)])) ++i;
  while (i < n && !Is_Word(t[size_t(i)])) ++i;
  return i;
}

// Lines of the text: [start, end) without the line break.
struct Line {
  int32 start, end;
};
std::vector<Line> Lines_Of(const std::u16string& t, bool multi) {
  std::vector<Line> out;
  if (!multi) {
    out.push_back({0, int32(t.size())});
    return out;
  }
  int32 s = 0;
  for (int32 i = 0; i < int32(t.size()); ++i) {
    if (t[size_t(i)] == u'\n') {
      const int32 e = (i > s && t[size_t(i - 1)] == u'\r') ? i - 1 : i;
      out.push_back({s, e});
      s = i + 1;
    }
  }
  out.push_back({s, int32(t.size())});
  return out;
}
int32 Line_Index(const std::vector<Line>& lines, int32 pos) {
  for (int32 i = int32(lines.size()) - 1; i >= 0; --i)
    if (pos >= lines[size_t(i)].start) return i;
  return 0;
}

// What is drawn for the text of a line (a password field shows stars).
std::u16string Shown(HWND hwnd, const std::u16string& t, const Line& l) {
  std::u16string s = t.substr(size_t(l.start), size_t(l.end - l.start));
  if (Style_Of(hwnd) & ES_PASSWORD) std::fill(s.begin(), s.end(), u'*');
  return s;
}

// X offsets of each position of a line (x[k] = width of the first k units).
std::vector<int32> Offsets(HDC dc, const std::u16string& s) {
  std::vector<int32> x(s.size() + 1, 0);
  int32 acc = 0;
  for (size_t i = 0; i < s.size();) {
    const size_t n = (Is_High(s[i]) && i + 1 < s.size() && Is_Low(s[i + 1])) ? 2 : 1;
    acc += Text_Width(dc, s.data() + i, int32(n));
    for (size_t k = 1; k <= n; ++k) x[i + k] = acc;
    i += n;
  }
  return x;
}

struct Edit_Layout {
  RECT text;       // the text area
  int32 line_h;
  int32 align_dx;  // single line: offset of the text for ES_CENTER / ES_RIGHT
};

Edit_Layout Layout_Of(HWND hwnd, Edit* st, HDC dc) {
  Edit_Layout L;
  const RECT r = Client_Rect(hwnd);
  L.text = RECT{r.left + kEditPad, r.top + 2, r.right - kEditPad, r.bottom - 2};
  L.line_h = Cell_Height(st->Font());
  L.align_dx = 0;
  const uint32 s = Style_Of(hwnd);
  if (!(s & ES_MULTILINE)) {
    const int32 avail = L.text.bottom - L.text.top;
    L.text.top += std::max<int32>(0, (avail - L.line_h) / 2);
    const std::u16string t = Title(hwnd);
    const int32 w = Offsets(dc, Shown(hwnd, t, Line{0, int32(t.size())})).back();
    const int32 room = L.text.right - L.text.left;
    if (w < room) {
      if ((s & 3) == ES_CENTER) L.align_dx = (room - w) / 2;
      else if ((s & 3) == ES_RIGHT) L.align_dx = room - w - 1;
    }
  }
  return L;
}

HDC Measure_DC(HWND hwnd, Edit* st) {
  HDC dc = GetDC(hwnd);
  if (dc) Host_Select_Font(dc, st->Font());
  return dc;
}

// Scrolls so that the caret shows.
void Edit_Show_Caret(HWND hwnd, Edit* st) {
  HDC dc = Measure_DC(hwnd, st);
  if (!dc) return;
  const std::u16string t = Title(hwnd);
  const bool multi = (Style_Of(hwnd) & ES_MULTILINE) != 0;
  const auto lines = Lines_Of(t, multi);
  const Edit_Layout L = Layout_Of(hwnd, st, dc);
  const int32 li = Line_Index(lines, st->caret);
  const Line& l = lines[size_t(li)];
  const auto x = Offsets(dc, Shown(hwnd, t, l));
  const int32 cx = x[size_t(std::clamp<int32>(st->caret - l.start, 0, int32(x.size()) - 1))];
  const int32 room = std::max<int32>(1, L.text.right - L.text.left);
  if (cx - st->scroll_x >= room) st->scroll_x = cx - room + 1 + room / 4;
  if (cx - st->scroll_x < 0) st->scroll_x = std::max<int32>(0, cx - room / 4);
  if (x.back() - st->scroll_x < room - 1) st->scroll_x = std::max<int32>(0, x.back() - room + 1);
  if (multi) {
    const int32 rows = std::max<int32>(1, (L.text.bottom - L.text.top) / std::max<int32>(1, L.line_h));
    if (li < st->first_line) st->first_line = li;
    if (li >= st->first_line + rows) st->first_line = li - rows + 1;
    st->first_line = std::clamp<int32>(st->first_line, 0, std::max<int32>(0, int32(lines.size()) - 1));
  }
  ReleaseDC(hwnd, dc);
}

void Edit_Changed_View(HWND hwnd, Edit* st) {
  Edit_Show_Caret(hwnd, st);
  InvalidateRect(hwnd, nullptr, true);
}

void Edit_Set_Sel(HWND hwnd, Edit* st, int32 anchor, int32 caret) {
  const std::u16string t = Title(hwnd);
  st->anchor = Snap(t, anchor);
  st->caret = Snap(t, caret);
  Edit_Changed_View(hwnd, st);
}

void Edit_Notify_Change(HWND hwnd) {
  Notify(hwnd, EN_UPDATE);
  if (IsWindow(hwnd)) Notify(hwnd, EN_CHANGE);
}

// Replaces the selection with ins, as far as the limit lets it; the
// caret ends after the insertion. Returns whether the text changed.
bool Edit_Replace(HWND hwnd, Edit* st, std::u16string ins, bool typed) {
  const uint32 s = Style_Of(hwnd);
  std::u16string t = Title(hwnd);
  st->caret = Snap(t, st->caret);
  st->anchor = Snap(t, st->anchor);
  const int32 a = std::min(st->caret, st->anchor), b = std::max(st->caret, st->anchor);
  if (!(s & ES_MULTILINE)) {
    // A single line ends at the first line break.
    const size_t br = ins.find_first_of(u"\r\n");
    if (br != std::u16string::npos) ins.resize(br);
  }
  for (char16_t& c : ins) {
    if ((s & ES_UPPERCASE) && c >= u'a' && c <= u'z') c = char16_t(c - 32);
    if ((s & ES_LOWERCASE) && c >= u'A' && c <= u'Z') c = char16_t(c + 32);
  }
  const int64 room = int64(st->limit) - (int64(t.size()) - (b - a));
  bool cut = false;
  if (int64(ins.size()) > room) {
    size_t keep = size_t(std::max<int64>(0, room));
    if (keep > 0 && keep < ins.size() && Is_High(ins[keep - 1]) && Is_Low(ins[keep])) --keep;
    if (keep > 0 && keep < ins.size() && ins[keep - 1] == u'\r' && ins[keep] == u'\n') --keep;
    ins.resize(keep);
    cut = true;
  }
  if (a == b && ins.empty()) {
    if (cut && typed) Notify(hwnd, EN_MAXTEXT);
    return false;
  }
  st->undo_text = t;
  st->undo_caret = st->caret;
  st->can_undo = true;
  t.replace(size_t(a), size_t(b - a), ins);
  SetWindowTextW(hwnd, t.c_str());
  st->caret = st->anchor = a + int32(ins.size());
  st->modified = true;
  Edit_Changed_View(hwnd, st);
  Edit_Notify_Change(hwnd);
  if (cut && IsWindow(hwnd)) Notify(hwnd, EN_MAXTEXT);
  return true;
}

int32 Edit_Hit(HWND hwnd, Edit* st, POINT p) {
  HDC dc = Measure_DC(hwnd, st);
  if (!dc) return 0;
  const std::u16string t = Title(hwnd);
  const bool multi = (Style_Of(hwnd) & ES_MULTILINE) != 0;
  const auto lines = Lines_Of(t, multi);
  const Edit_Layout L = Layout_Of(hwnd, st, dc);
  int32 li = 0;
  if (multi) li = std::clamp<int32>(st->first_line + (p.y - L.text.top) / std::max<int32>(1, L.line_h), 0, int32(lines.size()) - 1);
  const Line& l = lines[size_t(li)];
  const auto x = Offsets(dc, Shown(hwnd, t, l));
  ReleaseDC(hwnd, dc);
  const int32 px = p.x - L.text.left - L.align_dx + st->scroll_x;
  int32 best = 0;
  for (int32 k = 0; k < int32(x.size()); ++k) {
    if (std::abs(x[size_t(k)] - px) < std::abs(x[size_t(best)] - px)) best = k;
  }
  return Snap(t, l.start + best);
}

void Edit_Paint(HWND hwnd, Edit* st) {
  PAINTSTRUCT ps;
  HDC dc = Paint_Begin(hwnd, ps, st->Font());
  if (!dc) return;
  const RECT r = Client_Rect(hwnd);
  const uint32 s = Style_Of(hwnd);
  const bool enabled = IsWindowEnabled(hwnd);
  const bool focus = GetFocus() == hwnd;
  Fill(dc, r, (enabled && !(s & ES_READONLY)) ? kHostFieldColor : kHostFaceColor);
  Frame(dc, r, focus ? kHostHighlightColor : kHostFrameColor);
  const std::u16string t = Title(hwnd);
  const bool multi = (s & ES_MULTILINE) != 0;
  const auto lines = Lines_Of(t, multi);
  const Edit_Layout L = Layout_Of(hwnd, st, dc);
  SaveDC(dc);
  IntersectClipRect(dc, L.text.left, L.text.top - (multi ? 0 : 1), L.text.right, L.text.bottom + (multi ? 0 : 1));
  const int32 sa = std::min(st->caret, st->anchor), sb = std::max(st->caret, st->anchor);
  const bool show_sel = sa != sb && (focus || (s & ES_NOHIDESEL));
  const int32 first = multi ? st->first_line : 0;
  for (int32 li = first; li < int32(lines.size()); ++li) {
    const int32 y = L.text.top + (li - first) * L.line_h;
    if (y >= L.text.bottom) break;
    const Line& l = lines[size_t(li)];
    const std::u16string shown = Shown(hwnd, t, l);
    const auto x = Offsets(dc, shown);
    const int32 x0 = L.text.left + L.align_dx - st->scroll_x;
    const int32 a = std::clamp(sa, l.start, l.end) - l.start, b = std::clamp(sb, l.start, l.end) - l.start;
    SetTextColor(dc, enabled ? kHostTextColor : kHostGrayTextColor);
    TextOutW(dc, x0, y, shown.data(), int32(shown.size()));
    if (show_sel && (a < b || (sb > l.end && sa <= l.end && multi))) {
      RECT hr{x0 + x[size_t(a)], y, x0 + x[size_t(b)] + ((sb > l.end && multi) ? 4 : 0), y + L.line_h};
      Fill(dc, hr, kHostHighlightColor);
      SetTextColor(dc, kHostHighlightTextColor);
      if (b > a) TextOutW(dc, x0 + x[size_t(a)], y, shown.data() + a, b - a);
    }
    if (focus && st->caret >= l.start && st->caret <= l.end && Line_Index(lines, st->caret) == li) {
      const int32 cx = x0 + x[size_t(std::clamp<int32>(st->caret - l.start, 0, int32(x.size()) - 1))];
      RECT cr{cx, y, cx + 1, y + L.line_h};
      Fill(dc, cr, kHostTextColor);
    }
  }
  RestoreDC(dc, -1);
  EndPaint(hwnd, &ps);
}

void Edit_Move(HWND hwnd, Edit* st, int32 to, bool extend) {
  st->caret = Snap(Title(hwnd), to);
  if (!extend) st->anchor = st->caret;
  Edit_Changed_View(hwnd, st);
}

void Edit_Key(HWND hwnd, Edit* st, int32 vk) {
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const std::u16string t = Title(hwnd);
  const bool multi = (Style_Of(hwnd) & ES_MULTILINE) != 0;
  const int32 sa = std::min(st->caret, st->anchor), sb = std::max(st->caret, st->anchor);
  const auto lines = Lines_Of(t, multi);
  const int32 li = Line_Index(lines, st->caret);
  switch (vk) {
    case VK_LEFT:
      if (sa != sb && !shift) Edit_Move(hwnd, st, sa, false);
      else Edit_Move(hwnd, st, ctrl ? Word_Left(t, st->caret) : Prev_Pos(t, st->caret), shift);
      break;
    case VK_RIGHT:
      if (sa != sb && !shift) Edit_Move(hwnd, st, sb, false);
      else Edit_Move(hwnd, st, ctrl ? Word_Right(t, st->caret) : Next_Pos(t, st->caret), shift);
      break;
    case VK_HOME: Edit_Move(hwnd, st, (ctrl || !multi) ? 0 : lines[size_t(li)].start, shift); break;
    case VK_END: Edit_Move(hwnd, st, (ctrl || !multi) ? int32(t.size()) : lines[size_t(li)].end, shift); break;
    case VK_UP:
    case VK_DOWN: {
      if (!multi) break;
      const int32 to = vk == VK_UP ? li - 1 : li + 1;
      if (to < 0 || to >= int32(lines.size())) break;
      const int32 col = st->caret - lines[size_t(li)].start;
      const Line& l = lines[size_t(to)];
      Edit_Move(hwnd, st, std::min(l.start + col, l.end), shift);
      break;
    }
    case VK_DELETE:
      if (Style_Of(hwnd) & ES_READONLY) break;
      if (shift && sa != sb) {
        SendMessage(hwnd, WM_CUT, 0, 0);
        break;
      }
      if (sa == sb) st->anchor = Next_Pos(t, st->caret);
      Edit_Replace(hwnd, st, u"", true);
      break;
    default: break;
  }
}

void Edit_Char(HWND hwnd, Edit* st, char16_t c) {
  const uint32 s = Style_Of(hwnd);
  const std::u16string t = Title(hwnd);
  switch (c) {
    case 1: Edit_Set_Sel(hwnd, st, 0, int32(t.size())); return;  // Ctrl+A
    case 3: SendMessage(hwnd, WM_COPY, 0, 0); return;
    case 22: SendMessage(hwnd, WM_PASTE, 0, 0); return;
    case 24: SendMessage(hwnd, WM_CUT, 0, 0); return;
    case 26: SendMessage(hwnd, EM_UNDO, 0, 0); return;
    default: break;
  }
  if (s & ES_READONLY) return;
  if (c == 8) {
    if (st->caret == st->anchor) st->anchor = Prev_Pos(t, st->caret);
    Edit_Replace(hwnd, st, u"", true);
    return;
  }
  if (c == 13 || c == 10) {
    if (s & ES_MULTILINE) Edit_Replace(hwnd, st, u"\r\n", true);
    return;
  }
  if (c < 0x20 || c == 0x7F) return;
  if ((s & ES_NUMBER) && !(c >= u'0' && c <= u'9')) return;
  Edit_Replace(hwnd, st, std::u16string(1, c), true);
}

LRESULT Edit_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Edit* st = nullptr;
  LRESULT out = 0;
  if (Common_Message(hwnd, msg, wparam, lparam, st, out)) return out;
  const uint32 s = Style_Of(hwnd);
  switch (msg) {
    case WM_CREATE: {
      // A text given at creation is the starting text, within the limit.
      std::u16string t = Title(hwnd);
      if (int32(t.size()) > st->limit) SetWindowTextW(hwnd, t.substr(0, size_t(st->limit)).c_str());
      return 0;
    }
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if ((s & ES_MULTILINE) && (s & ES_WANTRETURN)) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Edit_Paint(hwnd, st); return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, true); return 0;
    case WM_SETFOCUS:
      InvalidateRect(hwnd, nullptr, true);
      Notify(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, true);
      Notify(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_SETTEXT: {
      const char16_t* p = reinterpret_cast<const char16_t*>(lparam);
      std::u16string t = p ? p : u"";
      if (int32(t.size()) > st->limit) t.resize(size_t(st->limit));
      if (!t.empty() && Is_High(t.back())) t.pop_back();
      SetWindowTextW(hwnd, t.c_str());
      st->caret = st->anchor = 0;
      st->scroll_x = 0;
      st->first_line = 0;
      st->modified = false;
      st->can_undo = false;
      InvalidateRect(hwnd, nullptr, true);
      Edit_Notify_Change(hwnd);
      return 1;
    }
    case WM_KEYDOWN: Edit_Key(hwnd, st, int32(wparam & 0xFF)); return 0;
    case WM_CHAR: Edit_Char(hwnd, st, char16_t(wparam)); return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != hwnd) SetFocus(hwnd);
      const int32 pos = Edit_Hit(hwnd, st, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      Edit_Move(hwnd, st, pos, (wparam & MK_SHIFT) != 0);
      st->tracking = true;
      SetCapture(hwnd);
      return 0;
    }
    case WM_LBUTTONDBLCLK: {
      const std::u16string t = Title(hwnd);
      const int32 pos = Edit_Hit(hwnd, st, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      int32 a = pos, b = pos;
      while (a > 0 && Is_Word(t[size_t(a - 1)])) --a;
      while (b < int32(t.size()) && Is_Word(t[size_t(b)])) ++b;
      Edit_Set_Sel(hwnd, st, a, b);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (st->tracking) {
        const int32 pos = Edit_Hit(hwnd, st, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
        if (pos != st->caret) Edit_Move(hwnd, st, pos, true);
      }
      return 0;
    case WM_LBUTTONUP:
      if (st->tracking) {
        st->tracking = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED: st->tracking = false; return 0;
    case EM_GETSEL: {
      const uint32 a = uint32(std::min(st->caret, st->anchor)), b = uint32(std::max(st->caret, st->anchor));
      if (wparam) *reinterpret_cast<uint32*>(wparam) = a;
      if (lparam) *reinterpret_cast<uint32*>(lparam) = b;
      return LRESULT(uint32(MAKELPARAM(int32(std::min<uint32>(a, 0xFFFF)), int32(std::min<uint32>(b, 0xFFFF)))));
    }
    case EM_SETSEL: {
      const int32 n = int32(Title(hwnd).size());
      const intptr_t a = intptr_t(wparam), b = lparam;
      if (int32(a) == -1) {
        Edit_Set_Sel(hwnd, st, st->caret, st->caret);
        return 0;
      }
      const int32 ca = (a < 0 || a > n) ? n : int32(a);
      const int32 cb = (b < 0 || b > n) ? n : int32(b);
      Edit_Set_Sel(hwnd, st, ca, cb);
      return 0;
    }
    case EM_REPLACESEL: {
      const char16_t* p = reinterpret_cast<const char16_t*>(lparam);
      Edit_Replace(hwnd, st, p ? p : u"", false);
      return 0;
    }
    case EM_LIMITTEXT: {
      const uint64 v = uint64(wparam);
      st->limit = (v == 0 || v > 0x7FFFFFFEu) ? 0x7FFFFFFE : int32(v);
      return 0;
    }
    case EM_GETLIMITTEXT: return st->limit;
    case EM_GETMODIFY: return st->modified ? 1 : 0;
    case EM_SETMODIFY: st->modified = wparam != 0; return 0;
    case EM_GETLINECOUNT: return LRESULT(Lines_Of(Title(hwnd), (s & ES_MULTILINE) != 0).size());
    case EM_SCROLLCARET: Edit_Show_Caret(hwnd, st); InvalidateRect(hwnd, nullptr, true); return 1;
    case EM_SETREADONLY: {
      SetWindowLongPtr(hwnd, GWL_STYLE, intptr_t(wparam ? (s | ES_READONLY) : (s & ~ES_READONLY)));
      InvalidateRect(hwnd, nullptr, true);
      return 1;
    }
    case EM_CANUNDO: return st->can_undo ? 1 : 0;
    case EM_UNDO:
    case WM_UNDO: {
      if (!st->can_undo || (s & ES_READONLY)) return 0;
      const std::u16string before = Title(hwnd);
      SetWindowTextW(hwnd, st->undo_text.c_str());
      st->undo_text = before;
      st->caret = st->anchor = Snap(Title(hwnd), st->undo_caret);
      st->modified = true;
      Edit_Changed_View(hwnd, st);
      Edit_Notify_Change(hwnd);
      return 1;
    }
    case WM_COPY:
    case WM_CUT: {
      const int32 a = std::min(st->caret, st->anchor), b = std::max(st->caret, st->anchor);
      if (a == b || (s & ES_PASSWORD)) return 0;
      g_clip = Title(hwnd).substr(size_t(a), size_t(b - a));
      if (msg == WM_CUT && !(s & ES_READONLY)) Edit_Replace(hwnd, st, u"", false);
      return 0;
    }
    case WM_PASTE:
      if (!(s & ES_READONLY)) Edit_Replace(hwnd, st, g_clip, true);
      return 0;
    case WM_CLEAR:
      if (!(s & ES_READONLY)) Edit_Replace(hwnd, st, u"", false);
      return 0;
    default: return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

// --- Combo boxes -----------------------------------------------------------------------

struct ComboItem {
  std::u16string text;
  intptr_t data = 0;
};

struct Combo : Base {
  std::vector<ComboItem> items;
  int32 sel = -1;
  int32 drop_h = 0;  // the extent given at creation (field and list)
  HWND list = nullptr;
  int32 hot = -1;
  int32 top = 0;  // first row shown in the list
  bool closing = false;
};

struct ComboList {
  HWND combo = nullptr;
};

int32 Item_Height(Combo* st) { return Cell_Height(st->Font()) + 2; }

int32 List_Rows(HWND combo, Combo* st) {
  const int32 ih = Item_Height(st);
  const int32 field = Client_Rect(combo).bottom;
  const int32 room = std::max<int32>(ih, st->drop_h - field - 2);
  const int32 fit = std::max<int32>(1, room / ih);
  return std::max<int32>(1, std::min<int32>(fit, int32(st->items.size())));
}

void Combo_Ensure_Visible(HWND combo, Combo* st, int32 i) {
  const int32 rows = List_Rows(combo, st);
  if (i < st->top) st->top = i;
  if (i >= st->top + rows) st->top = i - rows + 1;
  st->top = std::clamp<int32>(st->top, 0, std::max<int32>(0, int32(st->items.size()) - rows));
}

void Combo_Close(HWND combo, Combo* st, bool ok) {
  if (!st->list || st->closing) return;
  st->closing = true;
  HWND list = st->list;
  st->list = nullptr;
  if (GetCapture() == list) ReleaseCapture();
  DestroyWindow(list);
  st->closing = false;
  if (!IsWindow(combo)) return;
  if (ok && st->hot >= 0 && st->hot != st->sel) {
    st->sel = st->hot;
    InvalidateRect(combo, nullptr, true);
    Notify(combo, CBN_SELCHANGE);
  }
  if (!IsWindow(combo)) return;
  Notify(combo, ok ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if (!IsWindow(combo)) return;
  Notify(combo, CBN_CLOSEUP);
  InvalidateRect(combo, nullptr, true);
}

void Combo_Drop(HWND combo, Combo* st) {
  if (st->list) return;
  Notify(combo, CBN_DROPDOWN);
  if (!IsWindow(combo)) return;
  RECT wr;
  GetWindowRect(combo, &wr);
  const int32 rows = List_Rows(combo, st);
  st->hot = st->sel;
  st->top = 0;
  if (st->sel >= 0) Combo_Ensure_Visible(combo, st, st->sel);
  const int32 h = rows * Item_Height(st) + 2;
  auto* ls = new ComboList{combo};
  HWND list = CreateWindowEx(0, kComboListClass, nullptr, WS_POPUP | WS_BORDER, wr.left, wr.bottom,
                             wr.right - wr.left, h, GetAncestorTop(combo), nullptr, nullptr, ls);
  if (!list) {
    delete ls;
    return;
  }
  st->list = list;
  ShowWindow(list, SW_SHOWNOACTIVATE);
  SetCapture(list);
  InvalidateRect(combo, nullptr, true);
}

void Combo_Select_User(HWND combo, Combo* st, int32 i) {
  if (st->items.empty()) return;
  i = std::clamp<int32>(i, 0, int32(st->items.size()) - 1);
  if (st->list) {
    st->hot = i;
    Combo_Ensure_Visible(combo, st, i);
    InvalidateRect(st->list, nullptr, true);
    return;
  }
  if (i == st->sel) return;
  st->sel = i;
  InvalidateRect(combo, nullptr, true);
  Notify(combo, CBN_SELCHANGE);
}

bool Same_Prefix(const std::u16string& s, const std::u16string& prefix, bool exact) {
  if (exact ? s.size() != prefix.size() : s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char16_t a = s[i], b = prefix[i];
    if (a >= u'A' && a <= u'Z') a = char16_t(a + 32);
    if (b >= u'A' && b <= u'Z') b = char16_t(b + 32);
    if (a != b) return false;
  }
  return true;
}

// Case-blind order of the sorted list; equal texts keep their adding order.
bool Sorts_Before(const std::u16string& a, const std::u16string& b) {
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'A' && x <= u'Z') x = char16_t(x + 32);
    if (y >= u'A' && y <= u'Z') y = char16_t(y + 32);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

LRESULT Combo_Find(Combo* st, WPARAM after, LPARAM text, bool exact) {
  const char16_t* p = reinterpret_cast<const char16_t*>(text);
  if (!p) return CB_ERR;
  const std::u16string prefix = p;
  const int32 n = int32(st->items.size());
  const int32 start = (int32(intptr_t(after)) < 0 || int32(intptr_t(after)) >= n) ? -1 : int32(intptr_t(after));
  for (int32 k = 1; k <= n; ++k) {
    const int32 i = (start + k) % n;
    if (Same_Prefix(st->items[size_t(i)].text, prefix, exact)) return i;
  }
  return CB_ERR;
}

void Combo_Paint(HWND hwnd, Combo* st) {
  PAINTSTRUCT ps;
  HDC dc = Paint_Begin(hwnd, ps, st->Font());
  if (!dc) return;
  const RECT r = Client_Rect(hwnd);
  const bool enabled = IsWindowEnabled(hwnd);
  Fill(dc, r, enabled ? kHostFieldColor : kHostFaceColor);
  Frame(dc, r, GetFocus() == hwnd ? kHostHighlightColor : kHostFrameColor);
  const int32 bw = std::min<int32>(17, r.right / 2);
  RECT button{r.right - bw, r.top + 1, r.right - 1, r.bottom - 1};
  Fill(dc, button, kHostButtonColor);
  Arrow(dc, button, 1, enabled ? kHostTextColor : kHostGrayTextColor);
  if (st->sel >= 0 && st->sel < int32(st->items.size())) {
    const std::u16string& t = st->items[size_t(st->sel)].text;
    RECT tr{r.left + 4, r.top, button.left - 2, r.bottom};
    DrawTextW(dc, t.data(), int32(t.size()), &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  if (GetFocus() == hwnd && !st->list) {
    RECT fr{r.left + 2, r.top + 2, button.left - 1, r.bottom - 2};
    Focus_Rect(dc, fr);
  }
  EndPaint(hwnd, &ps);
}

void Combo_List_Paint(HWND list, HWND combo, Combo* st) {
  PAINTSTRUCT ps;
  HDC dc = Paint_Begin(list, ps, st->Font());
  if (!dc) return;
  const RECT r = Client_Rect(list);
  Fill(dc, r, kHostFieldColor);
  const int32 ih = Item_Height(st);
  const int32 rows = List_Rows(combo, st);
  for (int32 k = 0; k < rows; ++k) {
    const int32 i = st->top + k;
    if (i >= int32(st->items.size())) break;
    RECT ir{r.left, r.top + k * ih, r.right, r.top + (k + 1) * ih};
    const bool hot = i == st->hot;
    if (hot) Fill(dc, ir, kHostHighlightColor);
    SetTextColor(dc, hot ? kHostHighlightTextColor : kHostTextColor);
    RECT tr{ir.left + 4, ir.top, ir.right - 2, ir.bottom};
    const std::u16string& t = st->items[size_t(i)].text;
    DrawTextW(dc, t.data(), int32(t.size()), &tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  EndPaint(list, &ps);
}

LRESULT Combo_List_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCT*>(lparam);
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<intptr_t>(cs->lpCreateParams));
    return DefWindowProc(hwnd, msg, wparam, lparam);
  }
  auto* ls = State_Of<ComboList>(hwnd);
  if (!ls) return DefWindowProc(hwnd, msg, wparam, lparam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtr(hwnd, 0, 0);
    delete ls;
    return 0;
  }
  HWND combo = ls->combo;
  auto* st = IsWindow(combo) ? State_Of<Combo>(combo) : nullptr;
  if (!st || st->list != hwnd) {
    if (msg == WM_PAINT) return DefWindowProc(hwnd, msg, wparam, lparam);
    return msg == WM_MOUSEACTIVATE ? MA_NOACTIVATE : DefWindowProc(hwnd, msg, wparam, lparam);
  }
  const RECT r = Client_Rect(hwnd);
  const POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  const int32 ih = Item_Height(st);
  auto row_at = [&](POINT q) -> int32 {
    if (!PtInRect(&r, q)) return -1;
    const int32 i = st->top + (q.y - r.top) / ih;
    return i < int32(st->items.size()) ? i : -1;
  };
  switch (msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Combo_List_Paint(hwnd, combo, st); return 0;
    case WM_MOUSEMOVE: {
      const int32 i = row_at(p);
      if (i >= 0 && i != st->hot) {
        st->hot = i;
        InvalidateRect(hwnd, nullptr, false);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const int32 i = row_at(p);
      if (i < 0 && !PtInRect(&r, p)) {
        Combo_Close(combo, st, false);
        return 0;
      }
      if (i >= 0) st->hot = i;
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    }
    case WM_LBUTTONUP: {
      const int32 i = row_at(p);
      if (i >= 0) {
        st->hot = i;
        Combo_Close(combo, st, true);
      }
      return 0;
    }
    case WM_MOUSEWHEEL: {
      const int32 delta = int16(HIWORD(wparam));
      const int32 rows = List_Rows(combo, st);
      st->top = std::clamp<int32>(st->top + (delta > 0 ? -1 : 1), 0, std::max<int32>(0, int32(st->items.size()) - rows));
      InvalidateRect(hwnd, nullptr, false);
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != hwnd) Combo_Close(combo, st, false);
      return 0;
    default: return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

LRESULT Combo_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  Combo* st = nullptr;
  LRESULT out = 0;
  if (Common_Message(hwnd, msg, wparam, lparam, st, out)) return out;
  const int32 n = int32(st->items.size());
  switch (msg) {
    case WM_CREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCT*>(lparam);
      const int32 field = Cell_Height(st->Font()) + 8;
      st->drop_h = std::max<int32>(cs->cy, field);
      SetWindowPos(hwnd, nullptr, 0, 0, cs->cx, field, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_DESTROY:
      if (st->list) {
        HWND list = st->list;
        st->list = nullptr;
        if (GetCapture() == list) ReleaseCapture();
        DestroyWindow(list);
      }
      return 0;
    case WM_GETDLGCODE: return st->list ? DLGC_WANTALLKEYS : (DLGC_WANTARROWS | DLGC_WANTCHARS);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Combo_Paint(hwnd, st); return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, true); return 0;
    case WM_SETFOCUS:
      InvalidateRect(hwnd, nullptr, true);
      Notify(hwnd, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      Combo_Close(hwnd, st, false);
      if (!IsWindow(hwnd)) return 0;
      InvalidateRect(hwnd, nullptr, true);
      Notify(hwnd, CBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != hwnd) SetFocus(hwnd);
      if (!IsWindow(hwnd)) return 0;
      if (st->list) Combo_Close(hwnd, st, false);
      else Combo_Drop(hwnd, st);
      return 0;
    case WM_SYSKEYDOWN:
      if ((wparam == WPARAM(VK_DOWN) || wparam == WPARAM(VK_UP)) && (lparam & KF_ALTDOWN_BIT)) {
        if (st->list) Combo_Close(hwnd, st, true);
        else Combo_Drop(hwnd, st);
        return 0;
      }
      return DefWindowProc(hwnd, msg, wparam, lparam);
    case WM_KEYDOWN: {
      const int32 cur = st->list ? st->hot : st->sel;
      const int32 page = List_Rows(hwnd, st);
      switch (int32(wparam & 0xFF)) {
        case VK_UP: case VK_LEFT: Combo_Select_User(hwnd, st, cur < 0 ? 0 : cur - 1); break;
        case VK_DOWN: case VK_RIGHT: Combo_Select_User(hwnd, st, cur < 0 ? 0 : cur + 1); break;
        case VK_PRIOR: Combo_Select_User(hwnd, st, cur - page + 1); break;
        case VK_NEXT: Combo_Select_User(hwnd, st, cur + page - 1); break;
        case VK_HOME: Combo_Select_User(hwnd, st, 0); break;
        case VK_END: Combo_Select_User(hwnd, st, n - 1); break;
        case VK_F1 + 3:  // F4
          if (st->list) Combo_Close(hwnd, st, true);
          else Combo_Drop(hwnd, st);
          break;
        case VK_RETURN: if (st->list) Combo_Close(hwnd, st, true); break;
        case VK_ESCAPE: if (st->list) Combo_Close(hwnd, st, false); break;
        default: break;
      }
      return 0;
    }
    case WM_CHAR: {
      const char16_t c = char16_t(wparam);
      if (c < 0x20) return 0;
      const char16_t key[2] = {c, 0};
      const LRESULT i = Combo_Find(st, WPARAM(intptr_t(st->list ? st->hot : st->sel)), reinterpret_cast<LPARAM>(key), false);
      if (i != CB_ERR) Combo_Select_User(hwnd, st, int32(i));
      return 0;
    }
    case CB_ADDSTRING:
    case CB_INSERTSTRING: {
      const char16_t* p = reinterpret_cast<const char16_t*>(lparam);
      if (!p) return CB_ERR;
      if (n >= kHostComboMaxItems) return CB_ERRSPACE;
      ComboItem item{p, 0};
      int32 at = n;
      if (msg == CB_INSERTSTRING) {
        const intptr_t w = intptr_t(wparam);
        if (int32(w) == -1) at = n;
        else if (w < 0 || w > n) return CB_ERR;
        else at = int32(w);
      } else if (Style_Of(hwnd) & CBS_SORT) {
        at = 0;
        while (at < n && !Sorts_Before(item.text, st->items[size_t(at)].text)) ++at;
      }
      st->items.insert(st->items.begin() + at, std::move(item));
      if (st->sel >= at) ++st->sel;
      if (st->list) InvalidateRect(st->list, nullptr, false);
      return at;
    }
    case CB_DELETESTRING: {
      const intptr_t i = intptr_t(wparam);
      if (i < 0 || i >= n) return CB_ERR;
      st->items.erase(st->items.begin() + i);
      if (st->sel == i) st->sel = -1;
      else if (st->sel > i) --st->sel;
      if (st->hot >= int32(st->items.size())) st->hot = int32(st->items.size()) - 1;
      InvalidateRect(hwnd, nullptr, true);
      return LRESULT(st->items.size());
    }
    case CB_RESETCONTENT:
      Combo_Close(hwnd, st, false);
      st->items.clear();
      st->sel = st->hot = -1;
      st->top = 0;
      InvalidateRect(hwnd, nullptr, true);
      return 0;
    case CB_GETCOUNT: return n;
    case CB_GETCURSEL: return st->sel;
    case CB_SETCURSEL: {
      const intptr_t i = intptr_t(wparam);
      if (i < 0 || i >= n) {
        st->sel = -1;
        InvalidateRect(hwnd, nullptr, true);
        return CB_ERR;
      }
      st->sel = int32(i);
      InvalidateRect(hwnd, nullptr, true);
      return i;
    }
    case CB_GETLBTEXTLEN: {
      const intptr_t i = intptr_t(wparam);
      if (i < 0 || i >= n) return CB_ERR;
      return LRESULT(st->items[size_t(i)].text.size());
    }
    case CB_GETLBTEXT: {
      const intptr_t i = intptr_t(wparam);
      char16_t* p = reinterpret_cast<char16_t*>(lparam);
      if (i < 0 || i >= n || !p) return CB_ERR;
      const std::u16string& t = st->items[size_t(i)].text;
      std::memcpy(p, t.data(), t.size() * 2);
      p[t.size()] = 0;
      return LRESULT(t.size());
    }
    case CB_GETITEMDATA: {
      const intptr_t i = intptr_t(wparam);
      if (i < 0 || i >= n) return CB_ERR;
      return st->items[size_t(i)].data;
    }
    case CB_SETITEMDATA: {
      const intptr_t i = intptr_t(wparam);
      if (i < 0 || i >= n) return CB_ERR;
      st->items[size_t(i)].data = lparam;
      return 1;
    }
    case CB_FINDSTRING: return Combo_Find(st, wparam, lparam, false);
    case CB_FINDSTRINGEXACT: return Combo_Find(st, wparam, lparam, true);
    case CB_SELECTSTRING: {
      const LRESULT i = Combo_Find(st, wparam, lparam, false);
      if (i != CB_ERR) {
        st->sel = int32(i);
        InvalidateRect(hwnd, nullptr, true);
      }
      return i;
    }
    case CB_SHOWDROPDOWN:
      if (wparam) Combo_Drop(hwnd, st);
      else Combo_Close(hwnd, st, false);
      return 1;
    case CB_GETDROPPEDSTATE: return st->list ? 1 : 0;
    case CB_GETDROPPEDCONTROLRECT: {
      RECT* out = reinterpret_cast<RECT*>(lparam);
      if (!out) return CB_ERR;
      GetWindowRect(hwnd, out);
      out->bottom = out->top + st->drop_h;
      return 1;
    }
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
