// Menus on the screen: the menu bar strip of a window, the pop-up windows,
// and modal tracking by mouse and keyboard.
#include <algorithm>
#include <string>
#include <vector>

#include "host/HostMenu.h"
#include "host/HostMenuCore.h"
#include "host/HostText.h"
#include "host/HostWinCore.h"

using namespace hostmenu;

namespace {

// Geometry of what we draw.
constexpr int32 kBarLeft = 4;
constexpr int32 kTitlePad = 8;
constexpr int32 kItemH = 20;
constexpr int32 kSepH = 9;
constexpr int32 kBorder = 2;
constexpr int32 kCheckW = 20;   // left margin holding the check mark
constexpr int32 kArrowW = 16;   // right margin holding a submenu's arrow
constexpr int32 kShortcutGap = 24;
constexpr int32 kMinPopupW = 100;

const COLORREF kText = RGB(0, 0, 0);
const COLORREF kGrayText = RGB(128, 128, 128);
const COLORREF kHiliteBack = RGB(0, 84, 166);
const COLORREF kHiliteText = RGB(255, 255, 255);
const COLORREF kPopupBack = RGB(242, 242, 242);
const COLORREF kPopupFrame = RGB(96, 96, 96);

// --- Drawing resources ---------------------------------------------------------------------

HFONT Menu_Font() {
  static HFONT font = nullptr;
  if (!font) {
    HostLogFont lf;
    lf.lfHeight = -12;
    font = CreateFontIndirectW(&lf);
  }
  return font;
}

HDC Measure_DC() {
  static HDC dc = nullptr;
  if (!dc) {
    dc = CreateCompatibleDC(nullptr);
    if (dc) SelectObject(dc, Menu_Font());
  }
  return dc;
}

int32 Text_W(const std::u16string& s) {
  if (s.empty()) return 0;
  SIZE sz{0, 0};
  HDC dc = Measure_DC();
  if (!dc || !GetTextExtentPoint32W(dc, reinterpret_cast<const UniChar*>(s.data()), int32(s.size()), &sz))
    return int32(s.size()) * 7;
  return sz.cx;
}

int32 Font_Ascent() {
  HostTextMetric tm;
  HDC dc = Measure_DC();
  if (dc && GetTextMetricsW(dc, &tm) && tm.tmHeight > 0) return tm.tmAscent;
  return 11;
}

int32 Font_Height() {
  HostTextMetric tm;
  HDC dc = Measure_DC();
  if (dc && GetTextMetricsW(dc, &tm) && tm.tmHeight > 0) return tm.tmHeight;
  return 14;
}

void Fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

void Line(HDC dc, int32 x0, int32 y0, int32 x1, int32 y1, COLORREF c) {
  HPEN pen = CreatePen(PS_SOLID, 1, c);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}

// Draws a label with its top at y, underlining the mnemonic.
void Draw_Label(HDC dc, int32 x, int32 y, const Label& l, COLORREF color) {
  if (l.text.empty()) return;
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  const auto* p = reinterpret_cast<const UniChar*>(l.text.data());
  TextOutW(dc, x, y, p, int32(l.text.size()));
  if (l.mn >= 0 && size_t(l.mn) < l.text.size()) {
    const int32 x0 = x + Text_W(l.text.substr(0, size_t(l.mn)));
    const int32 w = Text_W(l.text.substr(size_t(l.mn), 1));
    const int32 uy = y + Font_Ascent() + 1;
    if (w > 0) Line(dc, x0, uy, x0 + w, uy, color);
  }
}

// --- Bar layout ----------------------------------------------------------------------------

// Title rectangles in strip coordinates (the strip is SM_CYMENU high).
std::vector<RECT> Title_Rects(HMENU hbar) {
  std::vector<RECT> out;
  const HostMenuRec* bar = Live(hbar);
  if (!bar) return out;
  const int32 h = GetSystemMetrics(SM_CYMENU);
  int32 x = kBarLeft;
  for (const HostMenuItem& it : bar->items) {
    Label l;
    std::u16string sc;
    Split_Text(it.text, l, sc);
    const int32 w = (it.flags & MF_SEPARATOR) ? 8 : Text_W(l.text) + 2 * kTitlePad;
    out.push_back(RECT{x, 0, x + w, h});
    x += w;
  }
  return out;
}

// --- Pop-up layout ---------------------------------------------------------------------------

struct Popup_Layout {
  int32 width = kMinPopupW;
  int32 height = 2 * kBorder;
  std::vector<RECT> items;
};

Popup_Layout Layout_Popup(HMENU menu) {
  Popup_Layout L;
  const HostMenuRec* m = Live(menu);
  if (!m) return L;
  int32 label_w = 0, short_w = 0;
  int32 y = kBorder;
  for (const HostMenuItem& it : m->items) {
    const int32 h = (it.flags & MF_SEPARATOR) ? kSepH : kItemH;
    L.items.push_back(RECT{kBorder, y, 0, y + h});
    y += h;
    Label l;
    std::u16string sc;
    Split_Text(it.text, l, sc);
    label_w = std::max(label_w, Text_W(l.text));
    short_w = std::max(short_w, Text_W(sc));
  }
  L.width = std::max(kMinPopupW, kCheckW + label_w + (short_w > 0 ? kShortcutGap + short_w : 0) + kArrowW + 2 * kBorder);
  L.height = y + kBorder;
  for (RECT& r : L.items) r.right = L.width - kBorder;
  return L;
}

// --- Tracking state -----------------------------------------------------------------------------

struct Level {
  HMENU menu = nullptr;
  HWND wnd = nullptr;
  int32 sel = -1;
  RECT screen{0, 0, 0, 0};  // the pop-up window's rectangle
  Popup_Layout layout;
};

struct Tracker {
  bool active = false;
  HWND owner = nullptr;
  HMENU bar = nullptr;
  int32 title = -1;
  std::vector<Level> levels;
  bool done = false;
  uint16 chosen = 0;
  bool press_opened = false;  // the press that opened the title is still down
};

Tracker g_track;
bool g_alt_pending = false;  // Alt (or F10) went down with nothing after it yet
const char* const kPopupClass = "HostMenuPopup";

LRESULT Popup_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

bool Ensure_Class() {
  WNDCLASS wc;
  if (GetClassInfo(nullptr, kPopupClass, &wc)) return true;
  wc = WNDCLASS{};
  wc.lpfnWndProc = Popup_Proc;
  wc.lpszClassName = kPopupClass;
  return RegisterClass(&wc) != 0;
}

void Paint_Popup(HWND hwnd, HDC dc) {
  const Level* lv = nullptr;
  for (const Level& l : g_track.levels)
    if (l.wnd == hwnd) lv = &l;
  RECT all{0, 0, 0, 0};
  GetClientRect(hwnd, &all);
  Fill(dc, all, kPopupBack);
  {
    HBRUSH frame = CreateSolidBrush(kPopupFrame);
    FrameRect(dc, &all, frame);
    DeleteObject(frame);
  }
  const HostMenuRec* m = lv ? Live(lv->menu) : nullptr;
  if (!m) return;
  SelectObject(dc, Menu_Font());
  const int32 th = Font_Height();
  for (size_t i = 0; i < m->items.size() && i < lv->layout.items.size(); ++i) {
    const HostMenuItem& it = m->items[i];
    const RECT r = lv->layout.items[i];
    if (it.flags & MF_SEPARATOR) {
      const int32 y = (r.top + r.bottom) / 2;
      Line(dc, r.left + 2, y, r.right - 2, y, kGrayText);
      continue;
    }
    const bool hi = int32(i) == lv->sel;
    if (hi) Fill(dc, r, kHiliteBack);
    const COLORREF c = !Item_Enabled(it) ? kGrayText : hi ? kHiliteText : kText;
    Label l;
    std::u16string sc;
    Split_Text(it.text, l, sc);
    const int32 ty = r.top + (r.bottom - r.top - th) / 2;
    Draw_Label(dc, r.left + kCheckW, ty, l, c);
    if (!sc.empty()) {
      SetTextColor(dc, c);
      const int32 x = r.right - kArrowW - Text_W(sc);
      TextOutW(dc, x, ty, reinterpret_cast<const UniChar*>(sc.data()), int32(sc.size()));
    }
    if (it.flags & MF_CHECKED) {
      const int32 cx = r.left + 6, cy = (r.top + r.bottom) / 2;
      Line(dc, cx, cy, cx + 3, cy + 3, c);
      Line(dc, cx + 3, cy + 3, cx + 10, cy - 4, c);
      Line(dc, cx, cy + 1, cx + 3, cy + 4, c);
      Line(dc, cx + 3, cy + 4, cx + 10, cy - 3, c);
    }
    if (it.flags & MF_POPUP) {
      HBRUSH b = CreateSolidBrush(c);
      HPEN p = CreatePen(PS_SOLID, 1, c);
      HGDIOBJ ob = SelectObject(dc, b);
      HGDIOBJ op = SelectObject(dc, p);
      const int32 ax = r.right - 11, ay = (r.top + r.bottom) / 2;
      const POINT tri[3] = {{ax, ay - 4}, {ax + 4, ay}, {ax, ay + 4}};
      Polygon(dc, tri, 3);
      SelectObject(dc, ob);
      SelectObject(dc, op);
      DeleteObject(b);
      DeleteObject(p);
    }
  }
}

LRESULT Popup_Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) Paint_Popup(hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: return DefWindowProc(hwnd, msg, wparam, lparam);
  }
}

// The bar strip's rectangle in screen coordinates.
bool Strip_Screen(HWND owner, RECT& out) {
  HostWindowRec* w = hostwin::Live(owner);
  if (!w || w->menu_h <= 0) return false;
  POINT o{0, 0};
  ClientToScreen(owner, &o);
  out = RECT{o.x, o.y - w->menu_h, o.x + w->Client_W(), o.y};
  return true;
}

void Redraw_Bar() {
  if (IsWindow(g_track.owner)) DrawMenuBar(g_track.owner);
}

void Close_Levels(size_t from) {
  while (g_track.levels.size() > from) {
    HWND w = g_track.levels.back().wnd;
    g_track.levels.pop_back();
    if (IsWindow(w)) DestroyWindow(w);
  }
}

int32 Item_Count(HMENU menu) {
  const HostMenuRec* m = Live(menu);
  return m ? int32(m->items.size()) : 0;
}

int32 First_Selectable(HMENU menu, int32 from, int32 step) {
  const HostMenuRec* m = Live(menu);
  if (!m || m->items.empty()) return -1;
  const int32 n = int32(m->items.size());
  int32 i = from;
  for (int32 k = 0; k < n; ++k) {
    i = ((i % n) + n) % n;
    if (Selectable(m->items[size_t(i)])) return i;
    i += step;
  }
  return -1;
}

// Shows the pop-up `menu` with its top-left corner at (x, y), moved to stay on the screen.
void Show_Level(HMENU menu, int32 x, int32 y, int32 pos_in_parent, bool select_first) {
  SendMessage(g_track.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(pos_in_parent, 0));
  if (!g_track.active || !Live(menu) || !IsWindow(g_track.owner)) return;
  Level lv;
  lv.menu = menu;
  lv.layout = Layout_Popup(menu);
  const int32 sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  x = std::max(0, std::min(x, sw - lv.layout.width));
  y = std::max(0, std::min(y, sh - lv.layout.height));
  lv.screen = RECT{x, y, x + lv.layout.width, y + lv.layout.height};
  lv.sel = select_first ? First_Selectable(menu, 0, 1) : -1;
  if (Ensure_Class()) {
    lv.wnd = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kPopupClass, nullptr, WS_POPUP, x, y,
                            lv.layout.width, lv.layout.height, g_track.owner, nullptr, nullptr, nullptr);
  }
  g_track.levels.push_back(lv);
  if (lv.wnd) {
    ShowWindow(lv.wnd, SW_SHOWNOACTIVATE);
    UpdateWindow(lv.wnd);
  }
}

void Repaint_Level(size_t L) {
  if (L < g_track.levels.size() && IsWindow(g_track.levels[L].wnd)) {
    InvalidateRect(g_track.levels[L].wnd, nullptr, false);
    UpdateWindow(g_track.levels[L].wnd);
  }
}

// Opens title i's pop-up (a grayed title is highlighted only).
void Open_Title(int32 i, bool select_first) {
  Close_Levels(0);
  HMENU bar = g_track.bar;
  const HostMenuRec* b = Live(bar);
  if (!b || i < 0 || size_t(i) >= b->items.size()) return;
  g_track.title = i;
  Redraw_Bar();
  const HostMenuItem& it = b->items[size_t(i)];
  if (!(it.flags & MF_POPUP) || !Item_Enabled(it) || !Live(it.sub)) return;
  RECT strip;
  if (!Strip_Screen(g_track.owner, strip)) return;
  const std::vector<RECT> titles = Title_Rects(bar);
  if (size_t(i) >= titles.size()) return;
  Show_Level(it.sub, strip.left + titles[size_t(i)].left, strip.bottom, i, select_first);
}

void Open_Sub(size_t L, bool select_first) {
  if (L >= g_track.levels.size()) return;
  Level& lv = g_track.levels[L];
  const HostMenuRec* m = Live(lv.menu);
  if (!m || lv.sel < 0 || size_t(lv.sel) >= m->items.size()) return;
  const HostMenuItem& it = m->items[size_t(lv.sel)];
  if (!(it.flags & MF_POPUP) || !Item_Enabled(it) || !Live(it.sub)) return;
  Close_Levels(L + 1);
  const RECT r = lv.layout.items[size_t(lv.sel)];
  Show_Level(it.sub, lv.screen.right - 3, lv.screen.top + r.top - kBorder, lv.sel, select_first);
}

void Choose(size_t L) {
  if (L >= g_track.levels.size()) return;
  const Level& lv = g_track.levels[L];
  const HostMenuRec* m = Live(lv.menu);
  if (!m || lv.sel < 0 || size_t(lv.sel) >= m->items.size()) return;
  const HostMenuItem& it = m->items[size_t(lv.sel)];
  if (it.flags & MF_POPUP) {
    Open_Sub(L, true);
    return;
  }
  if ((it.flags & MF_SEPARATOR) || !Item_Enabled(it)) return;
  g_track.chosen = it.id;
  g_track.done = true;
}

void Set_Sel(size_t L, int32 k) {
  if (L >= g_track.levels.size() || g_track.levels[L].sel == k) return;
  g_track.levels[L].sel = k;
  Close_Levels(L + 1);
  Repaint_Level(L);
}

// What lies under a screen point.
struct Hit_Result {
  int32 title = -1;  // a bar title
  int32 level = -1;  // a pop-up level, with `item` (-1 on its border)
  int32 item = -1;
};

Hit_Result Hit_Test(POINT p) {
  Hit_Result h;
  for (size_t L = g_track.levels.size(); L-- > 0;) {
    const Level& lv = g_track.levels[L];
    const RECT& s = lv.screen;
    if (p.x < s.left || p.x >= s.right || p.y < s.top || p.y >= s.bottom) continue;
    h.level = int32(L);
    for (size_t k = 0; k < lv.layout.items.size(); ++k) {
      const RECT& r = lv.layout.items[k];
      if (p.x - s.left >= r.left && p.x - s.left < r.right && p.y - s.top >= r.top && p.y - s.top < r.bottom)
        h.item = int32(k);
    }
    return h;
  }
  RECT strip;
  if (Strip_Screen(g_track.owner, strip) && p.x >= strip.left && p.x < strip.right && p.y >= strip.top &&
      p.y < strip.bottom) {
    const std::vector<RECT> titles = Title_Rects(g_track.bar);
    for (size_t i = 0; i < titles.size(); ++i)
      if (p.x - strip.left >= titles[i].left && p.x - strip.left < titles[i].right) h.title = int32(i);
  }
  return h;
}

void Hover(const Hit_Result& h, bool pressed) {
  if (h.title >= 0) {
    // Moving along the bar switches pop-ups once one is open (or the button is down).
    if (h.title != g_track.title && (!g_track.levels.empty() || pressed)) Open_Title(h.title, false);
    else if (h.title != g_track.title) {
      g_track.title = h.title;
      Redraw_Bar();
    }
    return;
  }
  if (h.level >= 0) {
    const size_t L = size_t(h.level);
    const HostMenuRec* m = Live(g_track.levels[L].menu);
    if (!m) return;
    int32 k = h.item;
    if (k >= 0 && (size_t(k) >= m->items.size() || !Selectable(m->items[size_t(k)]))) k = -1;
    if (k < 0 && L + 1 < g_track.levels.size()) return;  // keep the path to an open submenu
    const bool sub = k >= 0 && (m->items[size_t(k)].flags & MF_POPUP);
    Set_Sel(L, k);
    if (sub && L + 1 == g_track.levels.size()) Open_Sub(L, false);
    return;
  }
  if (!g_track.levels.empty() && g_track.levels.size() >= 1) {
    const size_t L = g_track.levels.size() - 1;
    Set_Sel(L, -1);
  }
}

void Mouse(const MSG& m) {
  POINT p{0, 0};
  const UINT msg = m.message;
  if (msg >= WM_NCMOUSEMOVE && msg <= WM_NCRBUTTONUP) {
    p = POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
  } else {
    p = POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
    if (IsWindow(m.hwnd)) ClientToScreen(m.hwnd, &p);
  }
  const bool down = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN ||
                    msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDOWN || msg == WM_MBUTTONDBLCLK ||
                    msg == WM_NCLBUTTONDOWN || msg == WM_NCRBUTTONDOWN || msg == WM_NCLBUTTONDBLCLK;
  const bool up = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP || msg == WM_NCLBUTTONUP ||
                  msg == WM_NCRBUTTONUP;
  const Hit_Result h = Hit_Test(p);
  if (down) {
    if (h.title >= 0) {
      if (h.title == g_track.title && !g_track.levels.empty() && !g_track.press_opened) {
        g_track.done = true;  // a press on the open title closes the menu
        return;
      }
      g_track.press_opened = true;
      if (h.title != g_track.title || g_track.levels.empty()) Open_Title(h.title, false);
      return;
    }
    if (h.level < 0) {
      g_track.done = true;  // a press outside every menu cancels
      return;
    }
    Hover(h, true);
    return;
  }
  if (up) {
    if (h.title >= 0) {
      g_track.press_opened = false;
      return;
    }
    g_track.press_opened = false;
    if (h.level >= 0 && h.item >= 0) {
      const HostMenuRec* m = Live(g_track.levels[size_t(h.level)].menu);
      if (!m || size_t(h.item) >= m->items.size()) return;
      const HostMenuItem& it = m->items[size_t(h.item)];
      if (!Selectable(it) || (it.flags & MF_POPUP)) return;
      Set_Sel(size_t(h.level), h.item);
      Choose(size_t(h.level));
    }
    return;
  }
  Hover(h, (GetKeyState(VK_LBUTTON) & 0x8000) != 0);
}

void Next_Title(int32 step) {
  const HostMenuRec* bar = Live(g_track.bar);
  if (!bar || bar->items.empty()) return;
  const int32 n = int32(bar->items.size());
  const int32 t = ((std::max(g_track.title, 0) + step) % n + n) % n;
  if (!g_track.levels.empty()) {
    Open_Title(t, true);
  } else {
    g_track.title = t;
    Redraw_Bar();
  }
}

void Mnemonic(char16_t c) {
  c = Fold(c);
  if (g_track.levels.empty()) {
    const HostMenuRec* bar = Live(g_track.bar);
    for (size_t i = 0; bar && i < bar->items.size(); ++i) {
      Label l;
      std::u16string sc;
      Split_Text(bar->items[i].text, l, sc);
      if (l.key == c && l.key != 0) {
        Open_Title(int32(i), true);
        return;
      }
    }
    return;
  }
  const size_t L = g_track.levels.size() - 1;
  Level& lv = g_track.levels[L];
  std::vector<int32> hits;
  const HostMenuRec* m = Live(lv.menu);
  for (size_t i = 0; m && i < m->items.size(); ++i) {
    Label l;
    std::u16string sc;
    Split_Text(m->items[i].text, l, sc);
    if (l.key != 0 && l.key == c && Selectable(m->items[i])) hits.push_back(int32(i));
  }
  if (hits.empty()) return;
  if (hits.size() == 1) {
    Set_Sel(L, hits[0]);
    Choose(L);
    return;
  }
  // Several items share the letter: step to the next one.
  int32 next = hits[0];
  for (int32 k : hits)
    if (k > lv.sel) {
      next = k;
      break;
    }
  Set_Sel(L, next);
}

void Key(const MSG& m) {
  const UINT msg = m.message;
  if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) {
    const int32 vk = int32(m.wParam & 0xFF);
    const bool popup = !g_track.levels.empty();
    const size_t L = popup ? g_track.levels.size() - 1 : 0;
    switch (vk) {
      case VK_MENU:
      case VK_F10:
        g_track.done = true;
        return;
      case VK_ESCAPE:
        if (g_track.levels.size() > 1) Close_Levels(g_track.levels.size() - 1);
        else if (popup) Close_Levels(0);
        else g_track.done = true;
        return;
      case VK_LEFT:
        if (g_track.levels.size() > 1) Close_Levels(g_track.levels.size() - 1);
        else Next_Title(-1);
        return;
      case VK_RIGHT: {
        if (popup) {
          const Level& lv = g_track.levels[L];
          const HostMenuRec* m = Live(lv.menu);
          if (lv.sel >= 0 && m && size_t(lv.sel) < m->items.size() &&
              (m->items[size_t(lv.sel)].flags & MF_POPUP) && Item_Enabled(m->items[size_t(lv.sel)])) {
            Open_Sub(L, true);
            return;
          }
        }
        Next_Title(1);
        return;
      }
      case VK_DOWN:
      case VK_UP: {
        const int32 step = vk == VK_DOWN ? 1 : -1;
        if (!popup) {
          Open_Title(std::max(g_track.title, 0), false);
          if (!g_track.levels.empty()) {
            Level& lv = g_track.levels.back();
            lv.sel = step > 0 ? First_Selectable(lv.menu, 0, 1)
                              : First_Selectable(lv.menu, Item_Count(lv.menu) - 1, -1);
            Repaint_Level(g_track.levels.size() - 1);
          }
          return;
        }
        const Level& lv = g_track.levels[L];
        const int32 from = lv.sel < 0 ? (step > 0 ? 0 : Item_Count(lv.menu) - 1) : lv.sel + step;
        Set_Sel(L, First_Selectable(lv.menu, from, step));
        return;
      }
      case VK_RETURN:
        if (!popup) Open_Title(std::max(g_track.title, 0), true);
        else Choose(L);
        return;
      default:
        TranslateMessage(&m);  // mnemonics arrive as characters
        return;
    }
  }
  if (msg == WM_CHAR || msg == WM_SYSCHAR) {
    const char16_t c = char16_t(m.wParam & 0xFFFF);
    if (c == 13 || c == 27 || c < 32) return;
    Mnemonic(c);
  }
}

void End_Tracking() {
  Close_Levels(0);
  HWND owner = g_track.owner;
  g_track = Tracker{};
  if (IsWindow(owner)) DrawMenuBar(owner);
}

// --- Hooks of the window layer -------------------------------------------------------------

void Paint_Bar(HWND hwnd, HMENU menu, HDC dc, const RECT& rect) {
  const HostMenuRec* bar = Live(menu);
  if (!bar || !dc) return;
  SelectObject(dc, Menu_Font());
  const std::vector<RECT> titles = Title_Rects(menu);
  const int32 th = Font_Height();
  const bool tracked = g_track.active && g_track.owner == hwnd && g_track.bar == menu;
  for (size_t i = 0; i < titles.size() && i < bar->items.size(); ++i) {
    const HostMenuItem& it = bar->items[i];
    if (it.flags & MF_SEPARATOR) continue;
    RECT r = titles[i];
    if (r.left >= rect.right) break;
    const bool hi = tracked && int32(i) == g_track.title;
    if (hi) Fill(dc, r, kHiliteBack);
    Label l;
    std::u16string sc;
    Split_Text(it.text, l, sc);
    const COLORREF c = !Item_Enabled(it) ? kGrayText : hi ? kHiliteText : kText;
    Draw_Label(dc, r.left + kTitlePad, r.top + (r.bottom - r.top - th) / 2, l, c);
  }
}

void Click_Bar(HWND hwnd, HMENU menu, POINT pt) {
  const HostMenuRec* bar = Live(menu);
  if (!bar || g_track.active) return;
  const std::vector<RECT> titles = Title_Rects(menu);
  for (size_t i = 0; i < titles.size(); ++i) {
    if (pt.x >= titles[i].left && pt.x < titles[i].right && pt.y >= titles[i].top && pt.y < titles[i].bottom) {
      if (bar->items[i].flags & MF_SEPARATOR) return;
      Host_Menu_Track_Bar(hwnd, int32(i), false);
      return;
    }
  }
}

}  // namespace

namespace hostmenu {

void Reset_Tracking() {
  if (g_track.active) {
    Close_Levels(0);
    g_track = Tracker{};
  }
  g_alt_pending = false;
}

}  // namespace hostmenu

// --- Bar, tracking and accelerators ------------------------------------------------------------

void Host_Menu_Install() {
  g_host_menubar_paint = Paint_Bar;
  g_host_menubar_click = Click_Bar;
  g_host_menu_syskey = Host_Menu_Sys_Key;
}

bool Host_Menu_Title_Rect(HWND hwnd, int32 pos, RECT* out) {
  HostWindowRec* w = hostwin::Live(hwnd);
  if (!w || w->menu_h <= 0 || !out) return false;
  const std::vector<RECT> titles = Title_Rects(w->menu);
  if (pos < 0 || size_t(pos) >= titles.size()) return false;
  const RECT r = titles[size_t(pos)];
  *out = RECT{r.left, r.top - w->menu_h, r.right, r.bottom - w->menu_h};
  return true;
}

bool Host_Menu_Item_Rect(HMENU popup, int32 pos, RECT* out) {
  if (!Live(popup) || !out || pos < 0) return false;
  const Popup_Layout L = Layout_Popup(popup);
  if (size_t(pos) >= L.items.size()) return false;
  *out = L.items[size_t(pos)];
  return true;
}

uint16 Host_Menu_Track_Bar(HWND hwnd, int32 pos, bool keyboard) {
  if (g_track.active || !IsWindow(hwnd)) return 0;
  HMENU bar = GetMenu(hwnd);
  const HostMenuRec* b = Live(bar);
  if (!b || b->items.empty()) return 0;
  if (pos >= int32(b->items.size())) return 0;
  g_track = Tracker{};
  g_track.active = true;
  g_track.owner = hwnd;
  g_track.bar = bar;
  SendMessage(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
  if (keyboard && pos < 0) {
    g_track.title = 0;
    Redraw_Bar();
  } else {
    Open_Title(std::max(pos, 0), keyboard);
    g_track.press_opened = !keyboard;
  }
  MSG m;
  while (!g_track.done) {
    if (!IsWindow(g_track.owner) || !Live(g_track.bar) || GetMenu(g_track.owner) != g_track.bar) break;
    if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      Host_Wait_Message(100);
      continue;
    }
    const UINT msg = m.message;
    if (msg == WM_QUIT) {
      PostQuitMessage(int32(m.wParam));
      break;
    }
    if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_NCMOUSEMOVE && msg <= WM_NCRBUTTONUP)) {
      Mouse(m);
    } else if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) {
      Key(m);
    } else {
      DispatchMessage(&m);
    }
  }
  const uint16 chosen = g_track.done ? g_track.chosen : 0;
  HWND owner = g_track.owner;
  End_Tracking();
  if (chosen != 0) PostMessage(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
  return chosen;
}

bool Host_Menu_Sys_Key(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  HWND top = GetAncestorTop(hwnd);
  const HostMenuRec* bar = Live(GetMenu(top));
  if (!bar || g_track.active) return false;
  const int32 vk = int32(wparam & 0xFF);
  switch (msg) {
    case WM_SYSKEYDOWN:
    case WM_KEYDOWN:
      g_alt_pending = (vk == VK_MENU || vk == VK_F10) && !(lparam & KF_REPEAT_BIT);
      return false;
    case WM_SYSKEYUP:
    case WM_KEYUP:
      if (g_alt_pending && (vk == VK_MENU || vk == VK_F10)) {
        g_alt_pending = false;
        Host_Menu_Track_Bar(top, -1, true);
        return true;
      }
      g_alt_pending = false;
      return false;
    case WM_SYSCHAR: {
      g_alt_pending = false;
      const char16_t c = Fold(char16_t(wparam & 0xFFFF));
      for (size_t i = 0; i < bar->items.size(); ++i) {
        Label l;
        std::u16string sc;
        Split_Text(bar->items[i].text, l, sc);
        if (l.key != 0 && l.key == c) {
          Host_Menu_Track_Bar(top, int32(i), true);
          return true;
        }
      }
      return false;
    }
    default:
      return false;
  }
}

bool Host_Menu_Tracking() { return g_track.active; }

HWND Host_Menu_Popup_Window(int32 level) {
  if (!g_track.active || level < 0 || size_t(level) >= g_track.levels.size()) return nullptr;
  return g_track.levels[size_t(level)].wnd;
}

int32 Host_Menu_Tracked_Title() { return g_track.active ? g_track.title : -1; }

int32 Host_Menu_Tracked_Item(int32 level) {
  if (!g_track.active || level < 0 || size_t(level) >= g_track.levels.size()) return -1;
  return g_track.levels[size_t(level)].sel;
}
