// Window classes, windows, geometry, activation and focus, the default
// window procedure and system metrics. Painting and composition are in
// HostWinPaint.cpp, the queue and input in HostWinQueue.cpp.
#include "host/HostWin.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "host/HostHandles.h"
#include "host/HostMenu.h"
#include "host/HostUtf.h"
#include "host/HostWinCore.h"

void (*g_host_menubar_paint)(HWND, HMENU, HDC, const RECT&) = nullptr;
bool (*g_host_menu_syskey)(HWND, UINT, WPARAM, LPARAM) = nullptr;
void (*g_host_menubar_click)(HWND, HMENU, POINT) = nullptr;

namespace hostwin {

namespace {

std::vector<std::unique_ptr<HostClass>> g_classes;
HostHandleTable<HostWindowRec>& Windows() { return Host_Handle_Table<HostWindowRec>(); }
std::vector<HWND> g_tops;  // bottom first
HWND g_active = nullptr;
HWND g_last_active = nullptr;
HWND g_focus = nullptr;
HWND g_main = nullptr;
bool g_app_active = false;
int32 g_screen_w = 1280, g_screen_h = 1024;
bool g_in_end_session = false;

constexpr int32 kMaxExtraBytes = 256;
constexpr int32 kMenuHeight = 20;
constexpr int32 kMaxWindowSide = 16384;

bool Same_Name(const std::string& a, const char* b) {
  if (!b) return false;
  size_t n = std::strlen(b);
  if (n != a.size()) return false;
  for (size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = char(x - 32);
    if (y >= 'a' && y <= 'z') y = char(y - 32);
    if (x != y) return false;
  }
  return true;
}

HostClass* Find_Class(const char* name) {
  for (auto& c : g_classes)
    if (Same_Name(c->name, name)) return c.get();
  return nullptr;
}

void Frame_For(HostWindowRec* w) {
  w->frame_l = w->frame_t = w->frame_r = w->frame_b = 0;
  const uint32 s = w->style;
  const bool desktop_framed = !(s & WS_CHILD) && !(s & WS_POPUP) && (s & WS_CAPTION) == WS_CAPTION;
  if (!desktop_framed) {
    int32 fx = 0, fy = 0;
    if (s & WS_BORDER) { fx = GetSystemMetrics(SM_CXBORDER); fy = GetSystemMetrics(SM_CYBORDER); }
    else if (s & WS_DLGFRAME) { fx = GetSystemMetrics(SM_CXDLGFRAME); fy = GetSystemMetrics(SM_CYDLGFRAME); }
    w->frame_l = w->frame_r = fx;
    w->frame_t = w->frame_b = fy;
  }
  w->menu_h = (!(s & WS_CHILD) && w->menu) ? kMenuHeight : 0;
  w->frame_t += w->menu_h;
}

// Gives the client surface the window's client size, keeping the pixels that
// still fit (the DC stays bound to the same surface object).
void Fit_Surface(HostWindowRec* w) {
  const int32 cw = std::max<int32>(1, w->Client_W()), ch = std::max<int32>(1, w->Client_H());
  HostSurface* s = Host_Surface(w->surface);
  if (s->width != cw || s->height != ch) {
    std::vector<uint8> pix(size_t(cw) * 4 * size_t(ch), 0);
    const int32 mw = std::min(cw, s->width), mh = std::min(ch, s->height);
    for (int32 y = 0; y < mh; ++y)
      std::memcpy(pix.data() + size_t(y) * cw * 4, s->bits + size_t(y) * s->stride, size_t(mw) * 4);
    s->own.swap(pix);
    s->bits = s->own.data();
    s->width = cw;
    s->height = ch;
    s->stride = cw * 4;
  }
  if (w->menu_h > 0) {
    const int32 mw = std::max<int32>(1, w->wrect.right - w->wrect.left - w->frame_l - w->frame_r);
    if (!w->menu_surface) {
      w->menu_surface = Host_NewSurface(mw, w->menu_h, 32, nullptr, 0);
      if (w->menu_surface) w->menu_dc = Host_CreateSurfaceDC(w->menu_surface);
    } else if (HostSurface* m = Host_Surface(w->menu_surface); m->width != mw) {
      m->own.assign(size_t(mw) * 4 * size_t(m->height), 0);
      m->bits = m->own.data();
      m->width = mw;
      m->stride = mw * 4;
      // The strip was cleared to its new width: draw the bar again.
      if (w->menu) DrawMenuBar(w->self);
    }
  }
  ++w->generation;
}

void Raise_Top(HWND hwnd) {
  auto it = std::find(g_tops.begin(), g_tops.end(), hwnd);
  if (it == g_tops.end()) return;
  g_tops.erase(it);
  g_tops.push_back(hwnd);
  // Owned windows stay above their owner.
  std::vector<HWND> owned;
  for (HWND t : g_tops)
    if (t != hwnd && Live(t)->owner == hwnd) owned.push_back(t);
  for (HWND o : owned) Raise_Top(o);
}

void Send_Activate_App(bool active) {
  std::vector<HWND> tops = g_tops;
  for (HWND t : tops)
    if (Live(t)) SendMessage(t, WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

HWND Next_To_Activate(HWND except) {
  for (auto it = g_tops.rbegin(); it != g_tops.rend(); ++it) {
    HWND t = *it;
    const HostWindowRec* r = Live(t);
    if (t != except && r->visible && !r->minimized && !(r->style & WS_DISABLED)) return t;
  }
  return nullptr;
}

void Destroy_Tree(HWND hwnd, std::vector<HWND>& order) {
  order.push_back(hwnd);
  std::vector<HWND> kids = Live(hwnd)->children;
  for (HWND k : kids)
    if (Live(k)) Destroy_Tree(k, order);
}

}  // namespace

HostWindowRec* Live(HWND hwnd) { return Windows().Find(hwnd, HostHandleKind::kWindow); }
bool Is_Top(HWND hwnd) {
  const HostWindowRec* w = Live(hwnd);
  return w && !(w->style & WS_CHILD);
}
std::vector<HWND>& Tops() { return g_tops; }

void Set_Screen_Size(int32 width, int32 height) {
  g_screen_w = std::clamp<int32>(width, 1, kMaxWindowSide);
  g_screen_h = std::clamp<int32>(height, 1, kMaxWindowSide);
}

POINT Client_Origin(HWND hwnd) {
  POINT p{0, 0};
  for (const HostWindowRec* w = Live(hwnd); w; w = Live(w->parent)) {
    p.x += w->wrect.left + w->frame_l;
    p.y += w->wrect.top + w->frame_t;
    if (!(w->style & WS_CHILD)) break;
  }
  return p;
}

namespace {

// The deepest visible child of w under a point in w's client coordinates.
HWND Child_At(HWND hwnd, POINT p) {
  const HostWindowRec* w = Live(hwnd);
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
    const HostWindowRec* c = Live(*it);
    if (!c->visible) continue;
    if (p.x >= c->wrect.left && p.x < c->wrect.right && p.y >= c->wrect.top && p.y < c->wrect.bottom) {
      POINT q{p.x - c->wrect.left - c->frame_l, p.y - c->wrect.top - c->frame_t};
      if (q.x >= 0 && q.y >= 0 && q.x < c->Client_W() && q.y < c->Client_H()) return Child_At(c->self, q);
      return c->self;  // on the child's frame
    }
  }
  return hwnd;
}

}  // namespace

HWND Hit(POINT s, LRESULT& hit) {
  hit = HTNOWHERE;
  for (auto it = g_tops.rbegin(); it != g_tops.rend(); ++it) {
    const HostWindowRec* t = Live(*it);
    if (!t->visible || t->minimized) continue;
    const RECT& r = t->wrect;
    if (s.x < r.left || s.x >= r.right || s.y < r.top || s.y >= r.bottom) continue;
    POINT c{s.x - r.left - t->frame_l, s.y - r.top - t->frame_t};
    if (c.x < 0 || c.y < 0 || c.x >= t->Client_W() || c.y >= t->Client_H()) {
      hit = (t->menu_h > 0 && c.y < 0 && c.y >= -t->menu_h && c.x >= 0 && c.x < t->Client_W()) ? HTMENU
                                                                                           : HTBORDER;
      return t->self;
    }
    HWND w = Child_At(t->self, c);
    hit = HTCLIENT;
    if (w != t->self) {
      POINT o = Client_Origin(w);
      const HostWindowRec* wr = Live(w);
      if (s.x < o.x || s.y < o.y || s.x >= o.x + wr->Client_W() || s.y >= o.y + wr->Client_H()) hit = HTBORDER;
    }
    return w;
  }
  return nullptr;
}

void App_Deactivate() {
  if (!g_app_active) return;
  HWND old = Alive(g_active);
  if (old) g_last_active = old;
  if (Live(g_focus)) {
    HWND f = g_focus;
    g_focus = nullptr;
    SendMessage(f, WM_KILLFOCUS, 0, 0);
  }
  g_focus = nullptr;
  if (old) {
    SendMessage(old, WM_NCACTIVATE, 0, 0);
    SendMessage(old, WM_ACTIVATE, WA_INACTIVE, 0);
  }
  g_active = nullptr;
  g_app_active = false;
  Send_Activate_App(false);
}

void App_Activate(HWND preferred) {
  HWND w = Live(preferred) ? GetAncestorTop(preferred) : nullptr;
  // A window that takes no activation (a combo box's dropped list, which the
  // desktop may focus when it shows it) leaves it with the window it belongs to.
  if (w && (uint32(GetWindowLong(w, GWL_EXSTYLE)) & WS_EX_NOACTIVATE) != 0) {
    HWND owner = GetWindow(w, GW_OWNER);
    w = Live(owner) ? GetAncestorTop(owner) : nullptr;
  }
  if (!w) w = Alive(g_last_active);
  if (!w) w = Alive(g_main);
  if (!w) w = Next_To_Activate(nullptr);
  if (w) SetActiveWindow(w);
}

void Backend_Moved(HWND hwnd, int32 x, int32 y) {
  if (!Is_Top(hwnd)) return;
  SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Backend_Resized(HWND hwnd, int32 width, int32 height) {
  if (!Is_Top(hwnd)) return;
  SendMessage(hwnd, WM_ENTERSIZEMOVE, 0, 0);
  SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessage(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

void Backend_Close(HWND hwnd) {
  if (Live(hwnd)) PostMessage(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace hostwin

using namespace hostwin;

// --- Classes ---------------------------------------------------------------------------

ATOM RegisterClass(const WNDCLASS* wc) {
  if (!wc || !wc->lpszClassName || !*wc->lpszClassName || !wc->lpfnWndProc) return 0;
  if (wc->cbWndExtra < 0 || wc->cbWndExtra > kMaxExtraBytes) return 0;
  if (Find_Class(wc->lpszClassName)) return 0;
  auto c = std::make_unique<HostClass>();
  c->wc = *wc;
  c->name = wc->lpszClassName;
  c->wc.lpszClassName = nullptr;
  if (wc->lpszMenuName) c->menu_name = wc->lpszMenuName;
  c->wc.lpszMenuName = nullptr;
  g_classes.push_back(std::move(c));
  return ATOM(0xC000 + g_classes.size());
}

HICON Host_Window_Icon(HWND hwnd, bool small) {
  const HostWindowRec* w = Live(hwnd);
  if (!w || !w->cls) return nullptr;
  return small ? w->cls->wc.hIconSm : w->cls->wc.hIcon;
}

bool UnregisterClass(const char* name, HINSTANCE) {
  for (auto it = g_classes.begin(); it != g_classes.end(); ++it) {
    if (Same_Name((*it)->name, name)) {
      if ((*it)->windows > 0) return false;
      g_classes.erase(it);
      return true;
    }
  }
  return false;
}

bool GetClassInfo(HINSTANCE, const char* name, WNDCLASS* out) {
  HostClass* c = Find_Class(name);
  if (!c || !out) return false;
  *out = c->wc;
  out->lpszClassName = c->name.c_str();
  out->lpszMenuName = c->menu_name.empty() ? nullptr : c->menu_name.c_str();
  return true;
}

int32 GetClassName(HWND hwnd, char* buf, int32 bufsize) {
  HostWindowRec* w = Live(hwnd);
  if (!w || !buf || bufsize <= 0) return 0;
  const int32 n = std::min<int32>(int32(w->cls->name.size()), bufsize - 1);
  std::memcpy(buf, w->cls->name.data(), size_t(n));
  buf[n] = 0;
  return n;
}

// --- Creation and destruction ------------------------------------------------------------

HWND CreateWindowEx(uint32 exstyle, const char* class_name, const char16_t* title, uint32 style,
                    int32 x, int32 y, int32 width, int32 height, HWND parent, HMENU menu,
                    HINSTANCE inst, void* param) {
  HostClass* cls = Find_Class(class_name);
  if (!cls) return nullptr;
  if ((style & WS_CHILD) && !Live(parent)) return nullptr;
  if (parent && !Live(parent)) return nullptr;
  if (!(style & WS_CHILD) && menu && !IsMenu(menu)) return nullptr;  // a destroyed or foreign menu
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) { width = 640; height = 480; }
  width = std::clamp<int32>(width, 0, kMaxWindowSide);
  height = std::clamp<int32>(height, 0, kMaxWindowSide);
  x = std::clamp<int32>(x, -kMaxWindowSide, kMaxWindowSide);
  y = std::clamp<int32>(y, -kMaxWindowSide, kMaxWindowSide);

  auto* w = new (std::nothrow) HostWindowRec;
  if (!w) return nullptr;
  w->cls = cls;
  w->proc = cls->wc.lpfnWndProc;
  w->style = style & ~WS_VISIBLE;
  w->exstyle = exstyle;
  w->inst = inst;
  w->extra.assign(size_t((cls->wc.cbWndExtra + 3) / 4), 0);
  if (title) w->title = title;
  if (style & WS_CHILD) {
    w->parent = parent;
    w->id = reinterpret_cast<intptr_t>(menu);
  } else {
    w->owner = parent ? GetAncestorTop(parent) : nullptr;
    w->menu = menu;
  }
  w->wrect = RECT{x, y, x + width, y + height};
  Frame_For(w);
  w->surface = Host_NewSurface(std::max<int32>(1, w->Client_W()), std::max<int32>(1, w->Client_H()), 32,
                               nullptr, 0);
  w->dc = w->surface ? Host_CreateSurfaceDC(w->surface) : nullptr;
  w->update = CreateRectRgn(0, 0, w->Client_W(), w->Client_H());
  w->self = static_cast<HWND>(Windows().Add(w, HostHandleKind::kWindow));
  if (!w->surface || !w->dc || !w->update || !w->self) {
    DeleteDC(w->dc);
    DeleteObject(w->surface);
    DeleteRgn(w->update);
    if (w->self) Windows().Remove(w->self);
    delete w;
    return nullptr;
  }
  const HWND hwnd = w->self;
  w->erase_pending = true;
  Fit_Surface(w);
  ++cls->windows;
  if (style & WS_CHILD) Live(parent)->children.push_back(hwnd);
  else g_tops.insert(g_tops.begin(), hwnd);  // placed at the bottom until shown

  CREATESTRUCT cs{param, inst, menu, parent, height, width, y, x, style, title, class_name, exstyle};
  if (!SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
      (Live(hwnd) && SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1)) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (!Live(hwnd)) return nullptr;
  SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->Client_W(), w->Client_H()));
  if (Live(hwnd)) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(w->wrect.left + w->frame_l, w->wrect.top + w->frame_t));
  if (Live(hwnd) && (style & WS_VISIBLE)) ShowWindow(hwnd, SW_SHOW);
  if (!Live(hwnd)) return nullptr;
  if (!g_main && !(style & WS_CHILD) && w->visible) g_main = hwnd;
  return hwnd;
}

bool DestroyWindow(HWND hwnd) {
  HostWindowRec* w = Live(hwnd);
  if (!w || w->destroying) return false;
  // Owned windows go first.
  std::vector<HWND> owned;
  for (HWND t : g_tops)
    if (Live(t)->owner == hwnd) owned.push_back(t);
  for (HWND o : owned) DestroyWindow(o);
  if (!Live(hwnd)) return true;

  std::vector<HWND> order;
  Destroy_Tree(hwnd, order);
  for (HWND d : order) Live(d)->destroying = true;
  if (w->visible) ShowWindow(hwnd, SW_HIDE);
  if (Live(GetCapture()) && (GetCapture() == hwnd || IsChild(hwnd, GetCapture()))) ReleaseCapture();
  for (HWND d : order)
    if (Live(d)) SendMessage(d, WM_DESTROY, 0, 0);
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    if (Live(*it)) SendMessage(*it, WM_NCDESTROY, 0, 0);

  for (HWND d : order) {
    HostWindowRec* r = Live(d);
    if (!r) continue;
    if (g_focus == d) g_focus = nullptr;
    if (g_active == d) g_active = nullptr;
    if (g_last_active == d) g_last_active = nullptr;
    if (g_main == d) g_main = nullptr;
    Queue_Drop_Window(d);
    if (r->style & WS_CHILD) {
      if (HostWindowRec* p = Live(r->parent)) {
        auto& kids = p->children;
        kids.erase(std::remove(kids.begin(), kids.end(), d), kids.end());
      }
    } else {
      g_tops.erase(std::remove(g_tops.begin(), g_tops.end(), d), g_tops.end());
      for (HWND t : g_tops)
        if (HostWindowRec* tr = Live(t); tr->owner == d) tr->owner = nullptr;
    }
    // From here on the handle and every copy of it are refused.
    Windows().Remove(d);
    --r->cls->windows;
    DeleteDC(r->dc);
    DeleteObject(r->surface);
    if (r->menu_dc) DeleteDC(r->menu_dc);
    if (r->menu_surface) DeleteObject(r->menu_surface);
    DeleteRgn(r->update);
    delete r;
  }
  return true;
}

bool IsWindow(HWND hwnd) { return Live(hwnd) != nullptr; }

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (!proc) return 0;
  return proc(hwnd, msg, wparam, lparam);
}

// --- Window data -------------------------------------------------------------------------

intptr_t GetWindowLongPtr(HWND hwnd, int32 index) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<intptr_t>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<intptr_t>(w->inst);
    case GWLP_HWNDPARENT: return reinterpret_cast<intptr_t>(w->parent ? w->parent : w->owner);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return intptr_t(uint32(w->style | (w->visible ? WS_VISIBLE : 0) |
                                           (w->minimized ? WS_MINIMIZE : 0) | (w->maximized ? WS_MAXIMIZE : 0)));
    case GWL_EXSTYLE: return intptr_t(w->exstyle);
    case GWLP_USERDATA: return w->userdata;
    default: break;
  }
  if (index < 0 || index % 4 != 0 || size_t(index / 4) >= w->extra.size()) return 0;
  return w->extra[size_t(index / 4)];
}

intptr_t SetWindowLongPtr(HWND hwnd, int32 index, intptr_t value) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return 0;
  const intptr_t old = GetWindowLongPtr(hwnd, index);
  switch (index) {
    case GWLP_WNDPROC:
      if (value) w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_HINSTANCE: w->inst = reinterpret_cast<HINSTANCE>(value); return old;
    case GWLP_HWNDPARENT: return old;  // re-parenting is not supported
    case GWLP_ID: w->id = value; return old;
    case GWL_STYLE: {
      // Visibility and the frame change through their own calls only.
      const uint32 keep = WS_VISIBLE | WS_CHILD | WS_POPUP | WS_MINIMIZE | WS_MAXIMIZE;
      w->style = (w->style & keep) | (uint32(value) & ~keep & ~WS_VISIBLE);
      w->style &= ~WS_VISIBLE;
      return old;
    }
    case GWL_EXSTYLE: w->exstyle = uint32(value); return old;
    case GWLP_USERDATA: w->userdata = value; return old;
    default: break;
  }
  if (index < 0 || index % 4 != 0 || size_t(index / 4) >= w->extra.size()) return 0;
  w->extra[size_t(index / 4)] = value;
  return old;
}

int32 GetWindowLong(HWND hwnd, int32 index) { return int32(uint32(uintptr_t(GetWindowLongPtr(hwnd, index)))); }
int32 SetWindowLong(HWND hwnd, int32 index, int32 value) {
  return int32(uint32(uintptr_t(SetWindowLongPtr(hwnd, index, value))));
}

bool SetWindowTextW(HWND hwnd, const char16_t* text) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  w->title = text ? text : u"";
  ++w->generation;
  return true;
}

bool SetWindowTextA(HWND hwnd, const char* utf8) {
  const std::u16string t = Host_Utf8_To_Utf16(utf8 ? std::string_view(utf8) : std::string_view());
  return SetWindowTextW(hwnd, t.c_str());
}

int32 GetWindowTextW(HWND hwnd, char16_t* buf, int32 bufsize) {
  HostWindowRec* w = Live(hwnd);
  if (!w || !buf || bufsize <= 0) return 0;
  const int32 n = std::min<int32>(int32(w->title.size()), bufsize - 1);
  std::memcpy(buf, w->title.data(), size_t(n) * 2);
  buf[n] = 0;
  return n;
}

std::string Host_Window_Title_Utf8(HWND hwnd) {
  HostWindowRec* w = Live(hwnd);
  return w ? Host_Utf16_To_Utf8(w->title) : std::string();
}

// --- Relations ---------------------------------------------------------------------------

HWND GetParent(HWND hwnd) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return nullptr;
  return (w->style & WS_CHILD) ? w->parent : w->owner;
}

HWND GetAncestorTop(HWND hwnd) {
  const HostWindowRec* w = Live(hwnd);
  while (w && (w->style & WS_CHILD)) w = Live(w->parent);
  return Handle_Of(w);
}

bool IsChild(HWND parent, HWND hwnd) {
  if (!Live(parent)) return false;
  for (const HostWindowRec* w = Live(hwnd); w && (w->style & WS_CHILD); w = Live(w->parent))
    if (w->parent == parent) return true;
  return false;
}

HWND GetWindow(HWND hwnd, UINT rel) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return nullptr;
  if (rel == GW_OWNER) return w->owner;
  if (rel == GW_CHILD) return w->children.empty() ? nullptr : w->children.back();
  // Siblings, from the top of the stacking order down.
  HostWindowRec* p = (w->style & WS_CHILD) ? Live(w->parent) : nullptr;
  if ((w->style & WS_CHILD) && !p) return nullptr;
  std::vector<HWND>& sib = p ? p->children : g_tops;
  auto it = std::find(sib.begin(), sib.end(), hwnd);
  if (it == sib.end()) return nullptr;
  switch (rel) {
    case GW_HWNDFIRST: return sib.back();
    case GW_HWNDLAST: return sib.front();
    case GW_HWNDNEXT: return it == sib.begin() ? nullptr : *(it - 1);
    case GW_HWNDPREV: return (it + 1 == sib.end()) ? nullptr : *(it + 1);
    default: return nullptr;
  }
}

HWND GetDlgItem(HWND parent, int32 id) {
  HostWindowRec* w = Live(parent);
  if (!w) return nullptr;
  for (HWND c : w->children)
    if (Live(c)->id == id) return c;
  return nullptr;
}

int32 GetDlgCtrlID(HWND hwnd) {
  HostWindowRec* w = Live(hwnd);
  return (w && (w->style & WS_CHILD)) ? int32(w->id) : 0;
}

std::vector<HWND> Host_Top_Windows() { return std::vector<HWND>(g_tops.rbegin(), g_tops.rend()); }

// --- Geometry -----------------------------------------------------------------------------

bool GetWindowRect(HWND hwnd, RECT* out) {
  HostWindowRec* w = Live(hwnd);
  if (!w || !out) return false;
  *out = w->wrect;
  if (w->style & WS_CHILD) {
    POINT o = Client_Origin(w->parent);
    out->left += o.x; out->right += o.x;
    out->top += o.y; out->bottom += o.y;
  }
  return true;
}

bool GetClientRect(HWND hwnd, RECT* out) {
  HostWindowRec* w = Live(hwnd);
  if (!w || !out) return false;
  *out = RECT{0, 0, w->Client_W(), w->Client_H()};
  return true;
}

bool ClientToScreen(HWND hwnd, POINT* pt) {
  if (!Live(hwnd) || !pt) return false;
  POINT o = Client_Origin(hwnd);
  pt->x += o.x;
  pt->y += o.y;
  return true;
}

bool ScreenToClient(HWND hwnd, POINT* pt) {
  if (!Live(hwnd) || !pt) return false;
  POINT o = Client_Origin(hwnd);
  pt->x -= o.x;
  pt->y -= o.y;
  return true;
}

int32 MapWindowPoints(HWND from, HWND to, POINT* pts, UINT count) {
  if ((from && !Live(from)) || (to && !Live(to)) || (!pts && count)) return 0;
  POINT a = from ? Client_Origin(from) : POINT{0, 0};
  POINT b = to ? Client_Origin(to) : POINT{0, 0};
  const int32 dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; i < count; ++i) {
    pts[i].x += dx;
    pts[i].y += dy;
  }
  return int32(uint32(uint16(dx)) | (uint32(uint16(dy)) << 16));
}

bool SetWindowPos(HWND hwnd, HWND after, int32 x, int32 y, int32 cx, int32 cy, UINT flags) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  WINDOWPOS wp{hwnd, after, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) { wp.x = w->wrect.left; wp.y = w->wrect.top; }
  if (flags & SWP_NOSIZE) { wp.cx = w->wrect.right - w->wrect.left; wp.cy = w->wrect.bottom - w->wrect.top; }
  if (!(flags & SWP_NOSENDCHANGING)) SendMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
  if (!Live(hwnd)) return false;
  wp.x = std::clamp<int32>(wp.x, -kMaxWindowSide, kMaxWindowSide);
  wp.y = std::clamp<int32>(wp.y, -kMaxWindowSide, kMaxWindowSide);
  wp.cx = std::clamp<int32>(wp.cx, 0, kMaxWindowSide);
  wp.cy = std::clamp<int32>(wp.cy, 0, kMaxWindowSide);

  const RECT old = w->wrect;
  const int32 old_cw = w->Client_W(), old_ch = w->Client_H();
  const bool moved = wp.x != old.left || wp.y != old.top;
  const bool sized = wp.cx != old.right - old.left || wp.cy != old.bottom - old.top;
  if (flags & SWP_FRAMECHANGED) Frame_For(w);
  w->wrect = RECT{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
  const bool client_sized = w->Client_W() != old_cw || w->Client_H() != old_ch;
  if (client_sized || (flags & SWP_FRAMECHANGED)) {
    Fit_Surface(w);
    const uint32 cs = w->cls->wc.style;
    if ((cs & (CS_HREDRAW | CS_VREDRAW)) || (flags & SWP_NOCOPYBITS)) {
      InvalidateRect(hwnd, nullptr, true);
    } else {
      // Only the uncovered part.
      HRGN all = CreateRectRgn(0, 0, w->Client_W(), w->Client_H());
      HRGN kept = CreateRectRgn(0, 0, old_cw, old_ch);
      CombineRgn(all, all, kept, RGN_DIFF);
      InvalidateRgn(hwnd, all, true);
      DeleteRgn(all);
      DeleteRgn(kept);
    }
  }
  const HostWindowRec* aw = (after == HWND_BOTTOM || after == HWND_TOP || after == HWND_TOPMOST ||
                              after == HWND_NOTOPMOST)
                                 ? nullptr
                                 : Live(after);
  if (!(flags & SWP_NOZORDER) && !(w->style & WS_CHILD)) {
    if (after == HWND_BOTTOM) {
      g_tops.erase(std::remove(g_tops.begin(), g_tops.end(), hwnd), g_tops.end());
      g_tops.insert(g_tops.begin(), hwnd);
    } else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
      Raise_Top(hwnd);
    } else if (aw && after != hwnd && !(aw->style & WS_CHILD)) {
      // Directly behind `after`.
      g_tops.erase(std::remove(g_tops.begin(), g_tops.end(), hwnd), g_tops.end());
      auto it = std::find(g_tops.begin(), g_tops.end(), after);
      g_tops.insert(it, hwnd);
    }
  } else if (!(flags & SWP_NOZORDER) && (w->style & WS_CHILD)) {
    auto& kids = Live(w->parent)->children;
    kids.erase(std::remove(kids.begin(), kids.end(), hwnd), kids.end());
    if (after == HWND_BOTTOM) kids.insert(kids.begin(), hwnd);
    else if (aw && after != hwnd && aw->parent == w->parent) kids.insert(std::find(kids.begin(), kids.end(), after), hwnd);
    else kids.push_back(hwnd);
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  if (!Live(hwnd)) return true;
  ++w->generation;
  if (w->style & WS_CHILD) ++Live(GetAncestorTop(hwnd))->generation;
  wp.flags = flags | (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE);
  SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (Live(hwnd) && moved) SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(w->wrect.left + w->frame_l, w->wrect.top + w->frame_t));
  if (Live(hwnd) && client_sized)
    SendMessage(hwnd, WM_SIZE, w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED, MAKELPARAM(w->Client_W(), w->Client_H()));
  return true;
}

bool MoveWindow(HWND hwnd, int32 x, int32 y, int32 width, int32 height, bool repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool ShowWindow(HWND hwnd, int32 cmd) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  const bool was = w->visible;
  const bool top = !(w->style & WS_CHILD);
  bool activate = false;
  switch (cmd) {
    case SW_HIDE:
      if (!was) return false;
      SendMessage(hwnd, WM_SHOWWINDOW, 0, 0);
      if (!Live(hwnd)) return was;
      w->visible = false;
      if (g_focus && (g_focus == hwnd || IsChild(hwnd, g_focus))) SetFocus(nullptr);
      if (top && g_active == hwnd) {
        HWND next = Next_To_Activate(hwnd);
        if (next) SetActiveWindow(next);
        else { g_active = nullptr; }
      }
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      if (!was) SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
      if (!Live(hwnd)) return was;
      w->visible = true;
      if (!w->minimized) {
        w->minimized = true;
        SendMessage(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
      }
      if (top && g_active == hwnd) {
        HWND next = Next_To_Activate(hwnd);
        if (next) SetActiveWindow(next);
        else g_active = nullptr;
      }
      break;
    case SW_MAXIMIZE:
      if (!was) SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
      if (!Live(hwnd)) return was;
      w->visible = true;
      w->minimized = false;
      if (top && !w->maximized) {
        w->restore_rect = w->wrect;
        w->maximized = true;
        MINMAXINFO mm{};
        mm.ptMaxSize = POINT{g_screen_w, g_screen_h};
        mm.ptMaxPosition = POINT{0, 0};
        mm.ptMinTrackSize = POINT{0, 0};
        mm.ptMaxTrackSize = POINT{g_screen_w, g_screen_h};
        SendMessage(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mm));
        if (!Live(hwnd)) return was;
        const int32 mw = std::min(mm.ptMaxSize.x, g_screen_w), mh = std::min(mm.ptMaxSize.y, g_screen_h);
        SetWindowPos(hwnd, nullptr, std::max(0, mm.ptMaxPosition.x), std::max(0, mm.ptMaxPosition.y), mw, mh,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      activate = top;
      break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
      if (!was) SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
      if (!Live(hwnd)) return was;
      w->visible = true;
      if (w->minimized) {
        w->minimized = false;
        SendMessage(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->Client_W(), w->Client_H()));
      } else if (w->maximized && top) {
        w->maximized = false;
        RECT r = w->restore_rect;
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
      }
      activate = top;
      break;
    case SW_SHOW:
      if (!was) SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
      if (!Live(hwnd)) return was;
      w->visible = true;
      activate = top;
      break;
    default:  // SW_SHOWNOACTIVATE, SW_SHOWNA and unknown commands
      if (!was) SendMessage(hwnd, WM_SHOWWINDOW, 1, 0);
      if (!Live(hwnd)) return was;
      w->visible = true;
      if (cmd == SW_SHOWNOACTIVATE && w->minimized) w->minimized = false;
      break;
  }
  if (!Live(hwnd)) return was;
  if (!was && w->visible) {
    InvalidateRect(hwnd, nullptr, true);
    if (top && !activate) Raise_Top(hwnd);
    if (!g_main && top) g_main = hwnd;
  }
  if (activate && w->visible && !w->minimized && !(w->style & WS_DISABLED)) {
    SetActiveWindow(hwnd);
    if (!Live(hwnd)) return was;  // destroyed while it was activated
    Raise_Top(hwnd);
  }
  ++w->generation;
  if (!top) ++Live(GetAncestorTop(hwnd))->generation;
  return was;
}

bool IsWindowVisible(HWND hwnd) {
  for (const HostWindowRec* w = Live(hwnd); w; w = (w->style & WS_CHILD) ? Live(w->parent) : nullptr) {
    if (!w->visible) return false;
    if (!(w->style & WS_CHILD)) return true;
  }
  return false;
}

bool IsIconic(HWND hwnd) {
  const HostWindowRec* w = Live(hwnd);
  return w && w->minimized;
}
bool IsZoomed(HWND hwnd) {
  const HostWindowRec* w = Live(hwnd);
  return w && w->maximized;
}

bool BringWindowToTop(HWND hwnd) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  if (w->style & WS_CHILD) return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Raise_Top(hwnd);
  if (w->visible && !(w->style & WS_DISABLED)) SetActiveWindow(hwnd);
  return true;
}

HWND WindowFromPoint(POINT pt) {
  LRESULT hit;
  return Hit(pt, hit);
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) {
  HostWindowRec* w = Live(parent);
  if (!w) return nullptr;
  if (pt.x < 0 || pt.y < 0 || pt.x >= w->Client_W() || pt.y >= w->Client_H()) return nullptr;
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
    const HostWindowRec* c = Live(*it);
    if (pt.x >= c->wrect.left && pt.x < c->wrect.right && pt.y >= c->wrect.top && pt.y < c->wrect.bottom) return *it;
  }
  return parent;
}

// --- Activation and focus ---------------------------------------------------------------------

HWND SetActiveWindow(HWND hwnd) {
  HWND top = GetAncestorTop(hwnd);
  if (!top) return nullptr;
  HWND old = g_active;
  if (top == old && g_app_active) return old;
  if (Live(old)) {
    SendMessage(old, WM_NCACTIVATE, 0, 0);
    if (Live(old)) SendMessage(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(top));
  }
  if (!Live(top)) return Alive(old);
  if (!g_app_active) {
    g_app_active = true;
    Send_Activate_App(true);
    if (!Live(top)) return Alive(old);
  }
  g_active = top;
  g_last_active = top;
  Raise_Top(top);
  SendMessage(top, WM_NCACTIVATE, 1, 0);
  if (Live(top)) SendMessage(top, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(Alive(old)));
  return Alive(old);
}

HWND GetActiveWindow() { return Alive(g_active); }
HWND GetForegroundWindow() { return g_app_active ? Alive(g_active) : nullptr; }
bool SetForegroundWindow(HWND hwnd) { return SetActiveWindow(hwnd) != nullptr || GetActiveWindow() == GetAncestorTop(hwnd); }

HWND SetFocus(HWND hwnd) {
  HWND old = Alive(g_focus);
  if (hwnd && !Live(hwnd)) return nullptr;
  if (hwnd == old) return old;
  if (hwnd) {
    if (Live(hwnd)->style & WS_DISABLED) return nullptr;
    HWND top = GetAncestorTop(hwnd);
    if (top != g_active) SetActiveWindow(top);
    if (!Live(hwnd)) return nullptr;
  }
  g_focus = hwnd;
  if (old) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (Live(hwnd) && g_focus == hwnd) SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() { return Alive(g_focus); }

bool EnableWindow(HWND hwnd, bool enable) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  const bool was_disabled = (w->style & WS_DISABLED) != 0;
  if (was_disabled == !enable) return was_disabled;
  if (enable) w->style &= ~WS_DISABLED;
  else {
    w->style |= WS_DISABLED;
    if (g_focus && (g_focus == hwnd || IsChild(hwnd, g_focus))) SetFocus(nullptr);
    if (GetCapture() == hwnd) ReleaseCapture();
  }
  SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
  return was_disabled;
}

bool IsWindowEnabled(HWND hwnd) {
  const HostWindowRec* w = Live(hwnd);
  return w && !(w->style & WS_DISABLED);
}

// --- Menus ---------------------------------------------------------------------------------

bool SetMenu(HWND hwnd, HMENU menu) {
  HostWindowRec* w = Live(hwnd);
  if (!w || (w->style & WS_CHILD) || (menu && !IsMenu(menu))) return false;
  if (w->menu == menu) return true;
  const bool had = w->menu != nullptr;
  w->menu = menu;
  if (had != (menu != nullptr)) {
    // The client area gives room to the bar or takes it back; the window keeps its size.
    const RECT r = w->wrect;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  DrawMenuBar(hwnd);
  return true;
}

HMENU GetMenu(HWND hwnd) {
  HostWindowRec* w = Live(hwnd);
  return w ? w->menu : nullptr;
}

bool DrawMenuBar(HWND hwnd) {
  HostWindowRec* w = Live(hwnd);
  if (!w || !w->menu || !w->menu_dc) return false;
  const HostSurface* strip = Host_Surface(w->menu_surface);
  if (!strip) return false;
  RECT r{0, 0, strip->width, strip->height};
  FillRect(w->menu_dc, &r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
  if (g_host_menubar_paint) g_host_menubar_paint(hwnd, w->menu, w->menu_dc, r);
  ++w->generation;
  return true;
}

// --- Default processing -------------------------------------------------------------------------

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: return 1;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH b = w->cls->wc.hbrBackground;
      if (!b) return 0;
      RECT r{0, 0, w->Client_W(), w->Client_H()};
      HDC dc = reinterpret_cast<HDC>(wparam);
      if (!dc) dc = w->dc;
      // Fill through the DC's clip (the update region during BeginPaint), in device coordinates.
      POINT org{0, 0};
      GetWindowOrgEx(dc, &org);
      POINT vorg{0, 0};
      GetViewportOrgEx(dc, &vorg);
      RECT lr{r.left + org.x - vorg.x, r.top + org.y - vorg.y, r.right + org.x - vorg.x, r.bottom + org.y - vorg.y};
      FillRect(dc, &lr, b);
      return 1;
    }
    case WM_SETTEXT: return SetWindowTextW(hwnd, reinterpret_cast<const char16_t*>(lparam)) ? 1 : 0;
    case WM_GETTEXT: return GetWindowTextW(hwnd, reinterpret_cast<char16_t*>(lparam), int32(wparam));
    case WM_GETTEXTLENGTH: return LRESULT(w->title.size());
    case WM_QUERYENDSESSION: return 1;
    case WM_MOUSEACTIVATE: {
      if ((w->style & WS_CHILD) && Live(w->parent)) {
        LRESULT r = SendMessage(w->parent, WM_MOUSEACTIVATE, wparam, lparam);
        if (r) return r;
      }
      return MA_ACTIVATE;
    }
    case WM_SETCURSOR: {
      if ((w->style & WS_CHILD) && Live(w->parent) && SendMessage(w->parent, WM_SETCURSOR, wparam, lparam)) return 1;
      if (LOWORD(uintptr_t(lparam)) == HTCLIENT && w->cls->wc.hCursor) {
        SetCursor(w->cls->wc.hCursor);
        return 1;
      }
      if (LOWORD(uintptr_t(lparam)) != HTCLIENT) SetCursor(LoadCursor(nullptr, IDC_ARROW));
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && !(w->minimized)) {
        HWND f = GetFocus();
        if (!f || GetAncestorTop(f) != hwnd) SetFocus(hwnd);
      }
      return 0;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_NCLBUTTONDOWN:
      if (wparam == WPARAM(HTMENU) && w->menu && g_host_menubar_click) {
        POINT p{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        p.x -= w->wrect.left + w->frame_l;
        p.y -= w->wrect.top + (w->frame_t - w->menu_h);
        g_host_menubar_click(hwnd, w->menu, p);
      }
      return 0;
    case WM_SYSKEYDOWN:
      if (wparam == WPARAM(VK_F1 + 3) && (lparam & KF_ALTDOWN_BIT)) {  // Alt+F4
        PostMessage(GetAncestorTop(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
      }
      if (g_host_menu_syskey) g_host_menu_syskey(hwnd, msg, wparam, lparam);
      return 0;
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      if (g_host_menu_syskey) g_host_menu_syskey(hwnd, msg, wparam, lparam);
      return 0;
    case WM_SYSCOMMAND:
      switch (wparam & 0xFFF0) {
        case SC_CLOSE: SendMessage(hwnd, WM_CLOSE, 0, 0); return 0;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); return 0;
        case SC_MAXIMIZE: ShowWindow(hwnd, SW_MAXIMIZE); return 0;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); return 0;
        default: return 0;
      }
    case WM_GETMINMAXINFO: return 0;
    default: return 0;
  }
}

// --- System ------------------------------------------------------------------------------------

int32 GetSystemMetrics(int32 index) {
  switch (index) {
    case SM_CXSCREEN: case SM_CXFULLSCREEN: return g_screen_w;
    case SM_CYSCREEN: case SM_CYFULLSCREEN: return g_screen_h;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 16;
    case SM_CYCAPTION: return 20;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYMENU: return kMenuHeight;
    case SM_SWAPBUTTON: return 0;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    default: return 0;
  }
}

uint32 GetDoubleClickTime() { return 500; }

void Host_Set_Main_Window(HWND hwnd) { g_main = Alive(hwnd); }

HWND Host_Main_Window() {
  if (Live(g_main)) return g_main;
  for (HWND t : g_tops)
    if (Live(t)->visible) return t;
  return nullptr;
}

bool Host_End_Session() {
  if (g_in_end_session) return false;
  g_in_end_session = true;
  std::vector<HWND> order;
  HWND main = Host_Main_Window();
  if (main) order.push_back(main);
  for (auto it = g_tops.rbegin(); it != g_tops.rend(); ++it)
    if (*it != main) order.push_back(*it);
  if (order.empty()) {
    PostQuitMessage(0);
    g_in_end_session = false;
    return true;
  }
  bool ok = true;
  std::vector<HWND> asked;
  for (HWND t : order) {
    if (!Live(t)) continue;
    asked.push_back(t);
    if (SendMessage(t, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP) == 0) {
      ok = false;
      break;
    }
  }
  for (HWND t : asked)
    if (Live(t)) SendMessage(t, WM_ENDSESSION, ok ? 1 : 0, ENDSESSION_CLOSEAPP);
  g_in_end_session = false;
  return ok;
}

void hostwin::Reset_Windows() {
  // Destroy from the top; each destroy may take others with it.
  while (!g_tops.empty()) DestroyWindow(g_tops.back());
  g_classes.clear();
  g_active = g_last_active = g_focus = g_main = nullptr;
  g_app_active = false;
}
