// Menus: the menu model, menu and accelerator resources, the menu bar strip,
// pop-up windows, modal tracking and menu-aware accelerators.
#include "host/HostMenu.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "host/HostByteOrder.h"
#include "host/HostHandles.h"
#include "host/HostText.h"
#include "host/HostUtf.h"
#include "host/HostWinCore.h"

struct HostMenuItem {
  UINT flags = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR
  uint16 id = 0;
  HMENU sub = nullptr;
  std::u16string text;
};

// The record behind a menu handle.
struct HostMenuRec {
  HMENU self = nullptr;
  bool is_bar = false;
  HMENU parent = nullptr;  // the menu holding this one as a pop-up
  std::vector<HostMenuItem> items;
};

namespace {

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED;
constexpr UINT kKindBits = MF_POPUP | MF_SEPARATOR;
constexpr size_t kMaxItems = 1000;
constexpr size_t kMaxText = 255;

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

HostHandleTable<HostMenuRec>& Menus() { return Host_Handle_Table<HostMenuRec>(); }

// The record of a live menu; NIL for anything else.
HostMenuRec* Live(HMENU m) { return Menus().Find(m, HostHandleKind::kMenu); }

// --- Text helpers ---------------------------------------------------------------------

std::u16string From_W(const char16_t* s) {
  std::u16string out;
  if (s)
    for (size_t i = 0; s[i] && i < 4096; ++i) out.push_back(s[i]);
  return out;
}

char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

// A label as drawn: "&" markers removed; `mn` := index of the underlined
// character in the result (-1 when none), `key` := its folded character.
struct Label {
  std::u16string text;
  int32 mn = -1;
  char16_t key = 0;
};

Label Make_Label(const std::u16string& s) {
  Label l;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'&' && i + 1 < s.size()) {
      ++i;
      if (s[i] != u'&' && l.mn < 0) {
        l.mn = int32(l.text.size());
        l.key = Fold(s[i]);
      }
    }
    l.text.push_back(s[i]);
  }
  return l;
}

// The item's label and shortcut parts (split at the first TAB).
void Split_Text(const std::u16string& s, Label& label, std::u16string& shortcut) {
  const size_t tab = s.find(u'\t');
  label = Make_Label(tab == std::u16string::npos ? s : s.substr(0, tab));
  shortcut = tab == std::u16string::npos ? std::u16string() : s.substr(tab + 1);
}

// --- Items ------------------------------------------------------------------------------

bool Is_Ancestor(HMENU a, HMENU m) {
  for (int guard = 0; m && guard < 64; ++guard) {
    if (m == a) return true;
    const HostMenuRec* r = Live(m);
    m = r ? r->parent : nullptr;
  }
  return false;
}

// Finds a command in a menu and its submenus: the menu holding it and its position.
bool Find_Command(HMENU menu, uint16 id, HMENU& owner, int32& pos, int depth = 0) {
  const HostMenuRec* m = Live(menu);
  if (!m || depth > 16) return false;
  for (size_t i = 0; i < m->items.size(); ++i) {
    const HostMenuItem& it = m->items[i];
    if (!(it.flags & kKindBits) && it.id == id) {
      owner = menu;
      pos = int32(i);
      return true;
    }
    if ((it.flags & MF_POPUP) && Find_Command(it.sub, id, owner, pos, depth + 1)) return true;
  }
  return false;
}

HostMenuItem* Locate(HMENU menu, UINT item, UINT flags, HMENU* owner = nullptr, int32* at = nullptr) {
  HostMenuRec* m = Live(menu);
  if (!m) return nullptr;
  HMENU o = menu;
  int32 pos = -1;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return nullptr;
    pos = int32(item);
  } else if (item > 0xFFFF || !Find_Command(menu, uint16(item), o, pos)) {
    return nullptr;
  }
  if (owner) *owner = o;
  if (at) *at = pos;
  return &Live(o)->items[size_t(pos)];
}

void Destroy_Tree(HMENU menu) {
  HostMenuRec* m = Live(menu);
  if (!m) return;
  Menus().Remove(menu);  // from here on the handle is refused
  for (HostMenuItem& it : m->items)
    if (it.flags & MF_POPUP) Destroy_Tree(it.sub);
  delete m;
}

// Builds an item from AppendMenu-style arguments; FALSE for bad arguments.
bool Make_Item(HMENU into, UINT flags, uintptr_t id_or_sub, std::u16string text, HostMenuItem& out,
               HMENU replacing = nullptr) {
  if (flags & ~(kStateBits | kKindBits | MF_BYPOSITION | MF_HILITE)) return false;
  if ((flags & MF_POPUP) && (flags & MF_SEPARATOR)) return false;
  out = HostMenuItem{};
  out.flags = flags & (kStateBits | kKindBits);
  if (flags & MF_SEPARATOR) return true;
  if (text.size() > kMaxText) text.resize(kMaxText);
  out.text = std::move(text);
  if (flags & MF_POPUP) {
    const HMENU sub = reinterpret_cast<HMENU>(id_or_sub);
    const HostMenuRec* s = Live(sub);
    if (!s || s->is_bar || (s->parent && sub != replacing) || Is_Ancestor(sub, into)) return false;
    out.sub = sub;
    return true;
  }
  if (id_or_sub > 0xFFFF) return false;
  out.id = uint16(id_or_sub);
  return true;
}

bool Insert_At(HMENU menu, size_t pos, UINT flags, uintptr_t id_or_sub, std::u16string text) {
  HostMenuRec* m = Live(menu);
  if (!m || m->items.size() >= kMaxItems) return false;
  HostMenuItem it;
  if (!Make_Item(menu, flags, id_or_sub, std::move(text), it)) return false;
  if (it.sub) Live(it.sub)->parent = menu;
  m->items.insert(m->items.begin() + std::ptrdiff_t(std::min(pos, m->items.size())), std::move(it));
  return true;
}

bool Insert(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, std::u16string text) {
  if (!Live(menu)) return false;
  if (flags & MF_BYPOSITION) return Insert_At(menu, item, flags, id_or_sub, std::move(text));
  HMENU owner = nullptr;
  int32 pos = -1;
  if (item > 0xFFFF || !Find_Command(menu, uint16(item), owner, pos)) return false;
  return Insert_At(owner, size_t(pos), flags, id_or_sub, std::move(text));
}

bool Modify(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, std::u16string text) {
  HMENU owner = nullptr;
  HostMenuItem* it = Locate(menu, item, flags, &owner);
  if (!it) return false;
  HostMenuItem repl;
  if (!Make_Item(owner, flags, id_or_sub, std::move(text), repl, it->sub)) return false;
  if (it->sub && it->sub != repl.sub) Destroy_Tree(it->sub);
  if (repl.sub) Live(repl.sub)->parent = owner;
  *it = std::move(repl);
  return true;
}

bool Remove(HMENU menu, UINT item, UINT flags, bool destroy) {
  HMENU owner = nullptr;
  int32 pos = -1;
  HostMenuItem* it = Locate(menu, item, flags, &owner, &pos);
  if (!it) return false;
  HMENU sub = it->sub;
  HostMenuRec* o = Live(owner);
  o->items.erase(o->items.begin() + pos);
  if (HostMenuRec* s = Live(sub)) {
    s->parent = nullptr;
    if (destroy) Destroy_Tree(sub);
  }
  return true;
}

bool Selectable(const HostMenuItem& it) { return !(it.flags & MF_SEPARATOR); }
bool Item_Enabled(const HostMenuItem& it) { return !(it.flags & (MF_GRAYED | MF_DISABLED)); }

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

// --- Resource readers ------------------------------------------------------------------------

struct Reader {
  std::span<const uint8> d;
  size_t at = 0;
  bool Need(size_t n) const { return n <= d.size() - at; }
  uint16 U16() {
    const uint16 v = Load_LE16(d, at);
    at += 2;
    return v;
  }
};

HMENU Load_Level(std::span<const uint8> data, const HostMenuLookup& lookup, int32 depth, std::string* err) {
  auto fail = [&](const std::string& why) -> HMENU {
    if (err) *err = why;
    return nullptr;
  };
  Reader r{data};
  if (!r.Need(2)) return fail("menu data shorter than its item count");
  const uint16 n = r.U16();
  // Each item takes at least five bytes: the count cannot promise more.
  if (n > kMaxItems || size_t(n) * 5 > data.size() - 2) return fail("menu item count " + std::to_string(n) + " does not fit the data");
  HMENU menu = CreatePopupMenu();
  if (!menu) return fail("out of memory");
  for (uint16 i = 0; i < n; ++i) {
    if (!r.Need(5)) {
      DestroyMenu(menu);
      return fail("menu item " + std::to_string(i + 1) + " is cut short");
    }
    const uint16 flags = r.U16();
    const int16 id = int16(r.U16());
    const uint8 len = r.d[r.at++];
    if (!r.Need(len)) {
      DestroyMenu(menu);
      return fail("text of menu item " + std::to_string(i + 1) + " is cut short");
    }
    std::u16string text;
    const bool text_ok =
        Host_Utf8_To_Utf16_Strict(std::string_view(reinterpret_cast<const char*>(r.d.data() + r.at), len), text);
    r.at += len;
    std::string why;
    if (flags & ~UINT(MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR)) why = "unknown flags";
    else if (!text_ok) why = "text is not UTF-8";
    else if ((flags & MF_SEPARATOR) && (flags != MF_SEPARATOR || id != 0 || len != 0)) why = "bad separator";
    else if (!(flags & MF_SEPARATOR) && id <= 0) why = "bad id " + std::to_string(id);
    if (why.empty() && (flags & MF_POPUP)) {
      std::span<const uint8> sub_data;
      if (depth + 1 >= kHostMenuMaxDepth) why = "submenus nest too deep";
      else if (!lookup || !lookup(id, &sub_data)) why = "submenu " + std::to_string(id) + " is missing";
      else {
        std::string sub_err;
        HMENU sub = Load_Level(sub_data, lookup, depth + 1, &sub_err);
        if (!sub) why = "submenu " + std::to_string(id) + ": " + sub_err;
        else if (!AppendMenuW(menu, flags, reinterpret_cast<uintptr_t>(sub), text.c_str())) {
          DestroyMenu(sub);
          why = "cannot add the submenu";
        }
      }
    } else if (why.empty() && !AppendMenuW(menu, flags, uintptr_t(uint16(id)), text.c_str())) {
      why = "cannot add the item";
    }
    if (!why.empty()) {
      DestroyMenu(menu);
      return fail("menu item " + std::to_string(i + 1) + ": " + why);
    }
  }
  if (r.at != data.size()) {
    DestroyMenu(menu);
    return fail("menu data has " + std::to_string(data.size() - r.at) + " bytes after its items");
  }
  return menu;
}

bool Match_Accel(const ACCEL& a, const MSG& msg) {
  const UINT m = msg.message;
  const bool virt = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
  const bool chr = m == WM_CHAR || m == WM_SYSCHAR;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  if (virt && (a.fVirt & FVIRTKEY)) {
    if (msg.wParam == WPARAM(VK_PACKET) || a.key != (msg.wParam & 0xFF)) return false;
    return bool(a.fVirt & FSHIFT) == shift && bool(a.fVirt & FCONTROL) == ctrl && bool(a.fVirt & FALT) == alt;
  }
  if (chr && !(a.fVirt & FVIRTKEY)) return a.key == msg.wParam && bool(a.fVirt & FALT) == (m == WM_SYSCHAR);
  return false;
}

// The path from the bar to a command's item: the pop-ups and their positions.
struct Path_Step {
  HMENU menu;  // the menu holding the item at pos
  int32 pos;
};

bool Find_Path(HMENU menu, uint16 id, std::vector<Path_Step>& path, int depth = 0) {
  const HostMenuRec* m = Live(menu);
  if (!m || depth > 16) return false;
  for (size_t i = 0; i < m->items.size(); ++i) {
    const HostMenuItem& it = m->items[i];
    path.push_back({menu, int32(i)});
    if (!(it.flags & kKindBits) && it.id == id) return true;
    if ((it.flags & MF_POPUP) && Find_Path(it.sub, id, path, depth + 1)) return true;
    path.pop_back();
  }
  return false;
}

}  // namespace

// --- Public calls: menus and items -----------------------------------------------------------

namespace {

HMENU New_Menu(bool bar) {
  auto* m = new (std::nothrow) HostMenuRec;
  if (!m) return nullptr;
  m->is_bar = bar;
  m->self = static_cast<HMENU>(Menus().Add(m, HostHandleKind::kMenu));
  if (!m->self) {
    delete m;
    return nullptr;
  }
  return m->self;
}

}  // namespace

HMENU CreateMenu() { return New_Menu(true); }

HMENU CreatePopupMenu() { return New_Menu(false); }

bool DestroyMenu(HMENU menu) {
  HostMenuRec* m = Live(menu);
  if (!m) return false;
  if (HostMenuRec* p = Live(m->parent)) {
    for (size_t i = 0; i < p->items.size(); ++i) {
      if (p->items[i].sub == menu) {
        p->items.erase(p->items.begin() + std::ptrdiff_t(i));
        break;
      }
    }
  }
  Destroy_Tree(menu);
  return true;
}

bool IsMenu(HMENU menu) { return Live(menu) != nullptr; }

bool AppendMenuW(HMENU menu, UINT flags, uintptr_t id_or_sub, const char16_t* text) {
  const HostMenuRec* m = Live(menu);
  return m && Insert_At(menu, m->items.size(), flags & ~MF_BYPOSITION, id_or_sub, From_W(text));
}
bool AppendMenuA(HMENU menu, UINT flags, uintptr_t id_or_sub, const char* utf8) {
  const HostMenuRec* m = Live(menu);
  return m && Insert_At(menu, m->items.size(), flags & ~MF_BYPOSITION, id_or_sub, Host_Utf8_To_Utf16(utf8 ? std::string_view(utf8) : std::string_view()));
}
bool InsertMenuW(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char16_t* text) {
  return Insert(menu, item, flags, id_or_sub, From_W(text));
}
bool InsertMenuA(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char* utf8) {
  return Insert(menu, item, flags, id_or_sub, Host_Utf8_To_Utf16(utf8 ? std::string_view(utf8) : std::string_view()));
}
bool ModifyMenuW(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char16_t* text) {
  return Modify(menu, item, flags, id_or_sub, From_W(text));
}
bool ModifyMenuA(HMENU menu, UINT item, UINT flags, uintptr_t id_or_sub, const char* utf8) {
  return Modify(menu, item, flags, id_or_sub, Host_Utf8_To_Utf16(utf8 ? std::string_view(utf8) : std::string_view()));
}
bool DeleteMenu(HMENU menu, UINT item, UINT flags) { return Remove(menu, item, flags, true); }
bool RemoveMenu(HMENU menu, UINT item, UINT flags) { return Remove(menu, item, flags, false); }

UINT EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  HostMenuItem* it = Locate(menu, item, flags);
  if (!it) return kMenuFailed;
  const UINT old = it->flags & (MF_GRAYED | MF_DISABLED);
  it->flags = (it->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  return old;
}

UINT CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  HostMenuItem* it = Locate(menu, item, flags);
  if (!it) return kMenuFailed;
  const UINT old = it->flags & MF_CHECKED;
  it->flags = (it->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  return old;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  const HostMenuItem* it = Locate(menu, item, flags);
  return it ? it->flags : kMenuFailed;
}

int32 GetMenuItemCount(HMENU menu) {
  const HostMenuRec* m = Live(menu);
  return m ? int32(m->items.size()) : -1;
}

int32 GetMenuItemID(HMENU menu, int32 pos) {
  const HostMenuRec* m = Live(menu);
  if (!m || pos < 0 || size_t(pos) >= m->items.size()) return -1;
  const HostMenuItem& it = m->items[size_t(pos)];
  return (it.flags & kKindBits) ? -1 : int32(it.id);
}

HMENU GetSubMenu(HMENU menu, int32 pos) {
  const HostMenuRec* m = Live(menu);
  if (!m || pos < 0 || size_t(pos) >= m->items.size()) return nullptr;
  const HMENU sub = m->items[size_t(pos)].sub;
  return Live(sub) ? sub : nullptr;
}

int32 GetMenuStringW(HMENU menu, UINT item, char16_t* buf, int32 bufsize, UINT flags) {
  const HostMenuItem* it = Locate(menu, item, flags);
  if (!it) {
    if (buf && bufsize > 0) buf[0] = 0;
    return 0;
  }
  if (!buf) return int32(it->text.size());
  if (bufsize <= 0) return 0;
  const size_t n = std::min(it->text.size(), size_t(bufsize - 1));
  std::copy(it->text.begin(), it->text.begin() + std::ptrdiff_t(n), buf);
  buf[n] = 0;
  return int32(n);
}

int32 GetMenuStringA(HMENU menu, UINT item, char* buf, int32 bufsize, UINT flags) {
  const HostMenuItem* it = Locate(menu, item, flags);
  if (!it) {
    if (buf && bufsize > 0) buf[0] = 0;
    return 0;
  }
  const std::string s = Host_Utf16_To_Utf8(it->text);
  if (!buf) return int32(s.size());
  if (bufsize <= 0) return 0;
  // Never cut a character in two.
  const size_t n = Host_Utf8_Cut(s, size_t(bufsize - 1));
  std::copy(s.begin(), s.begin() + std::ptrdiff_t(n), buf);
  buf[n] = 0;
  return int32(n);
}

// --- Resources ---------------------------------------------------------------------------------

HMENU Host_Menu_Load(std::span<const uint8> data, const HostMenuLookup& submenu, std::string* err) {
  return Load_Level(data, submenu, 0, err);
}

HACCEL Host_Accel_Load(std::span<const uint8> data, std::string* err) {
  auto fail = [&](const std::string& why) -> HACCEL {
    if (err) *err = why;
    return nullptr;
  };
  Reader r{data};
  if (!r.Need(2)) return fail("accelerator data shorter than its count");
  const uint16 n = r.U16();
  if (n == 0 || n > 4096) return fail("accelerator count " + std::to_string(n) + " out of range");
  if (data.size() != 2 + size_t(n) * 6) return fail("accelerator data is not " + std::to_string(n) + " entries");
  std::vector<ACCEL> entries;
  for (uint16 i = 0; i < n; ++i) {
    ACCEL a{};
    a.fVirt = r.d[r.at];
    const uint8 pad = r.d[r.at + 1];
    r.at += 2;
    a.key = r.U16();
    a.cmd = r.U16();
    if ((a.fVirt & ~(FVIRTKEY | FSHIFT | FCONTROL | FALT)) || pad != 0)
      return fail("accelerator " + std::to_string(i + 1) + " has unknown flags");
    if (a.cmd == 0 || ((a.fVirt & FVIRTKEY) && a.key > 0xFF))
      return fail("accelerator " + std::to_string(i + 1) + " is malformed");
    entries.push_back(a);
  }
  HACCEL h = CreateAcceleratorTable(entries.data(), int32(entries.size()));
  if (!h) return fail("cannot create the accelerator table");
  return h;
}

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

bool TranslateAcceleratorW(HWND hwnd, HACCEL accel, const MSG* msg) {
  if (!msg || !accel || !IsWindow(hwnd)) return false;
  const int32 n = CopyAcceleratorTable(accel, nullptr, 0);
  if (n <= 0) return false;
  std::vector<ACCEL> entries(static_cast<size_t>(n));
  CopyAcceleratorTable(accel, entries.data(), n);
  const ACCEL* hit = nullptr;
  for (const ACCEL& a : entries) {
    if (Match_Accel(a, *msg)) {
      hit = &a;
      break;
    }
  }
  if (!hit) return false;
  const uint16 cmd = hit->cmd;
  HMENU bar = GetMenu(hwnd);
  std::vector<Path_Step> path;
  if (Live(bar) && !g_track.active && Find_Path(bar, cmd, path)) {
    // As though the menu were about to show: its owner brings it up to date first.
    SendMessage(hwnd, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
    for (size_t k = 0; k + 1 < path.size(); ++k) {
      HMENU sub = Live(path[k].menu) ? GetSubMenu(path[k].menu, path[k].pos) : nullptr;
      if (sub) SendMessage(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), MAKELPARAM(path[k].pos, 0));
    }
    if (!IsWindow(hwnd)) return true;
    // Look again: the owner may have changed the menu.
    path.clear();
    if (GetMenu(hwnd) == bar && Find_Path(bar, cmd, path)) {
      for (const Path_Step& s : path)
        if (!Item_Enabled(Live(s.menu)->items[size_t(s.pos)])) return true;
    }
  }
  SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(cmd, 1), 0);
  return true;
}

void Host_Menu_Reset() {
  if (g_track.active) {
    Close_Levels(0);
    g_track = Tracker{};
  }
  g_alt_pending = false;
  for (void* h : Menus().Handles()) {
    HostMenuRec* m = Menus().Find_Any(h);
    Menus().Remove(h);
    delete m;
  }
}
