// Update regions, paint brackets, window DCs and the composition of child
// windows over their parents.
#include <algorithm>
#include <cstring>

#include "host/HostGdiCore.h"
#include "host/HostHandles.h"
#include "host/HostWin.h"
#include "host/HostWinCore.h"

using namespace hostwin;

namespace {

HDC Screen_DC() {
  static HDC dc = [] {
    HBITMAP s = Host_NewSurface(1, 1, 32, nullptr, 0);
    return Host_CreateSurfaceDC(s);
  }();
  return dc;
}

void Clip_To_Client(HostWindowRec* w) {
  HRGN client = CreateRectRgn(0, 0, w->Client_W(), w->Client_H());
  CombineRgn(w->update, w->update, client, RGN_AND);
  DeleteRgn(client);
}

void Touch(HostWindowRec* w) {
  ++w->generation;
  if (w->style & WS_CHILD) {
    if (HostWindowRec* t = Live(GetAncestorTop(w->self))) ++t->generation;
  }
}

// Copies src (sw x sh, its top-left corner at (x, y) of dst) into dst
// (rows of dstride pixels), within clip.
void Blit(uint32* dst, int32 dstride, const RECT& clip, const uint32* src, int32 sw, int32 sh, int32 sstride,
          int32 x, int32 y) {
  const int32 x0 = std::max(clip.left, x), y0 = std::max(clip.top, y);
  const int32 x1 = std::min(clip.right, x + sw), y1 = std::min(clip.bottom, y + sh);
  if (x0 >= x1 || y0 >= y1) return;
  for (int32 yy = y0; yy < y1; ++yy)
    std::memcpy(dst + size_t(yy) * dstride + x0, src + size_t(yy - y) * sstride + (x0 - x), size_t(x1 - x0) * 4);
}

void Fill(uint32* dst, int32 dstride, const RECT& box, uint32 value) {
  for (int32 y = box.top; y < box.bottom; ++y) std::fill_n(dst + size_t(y) * dstride + box.left, box.right - box.left, value);
}

RECT Meet(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.left >= r.right || r.top >= r.bottom) r = RECT{0, 0, 0, 0};
  return r;
}

bool Empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

void Compose_Children(HostWindowRec* w, uint32* dst, int32 dstride, int32 cx, int32 cy, const RECT& clip);

// The whole window: frame (black for a border, grey for a dialog frame),
// menu strip and client area, drawn with its top-left corner at (ox, oy) of
// dst, only within clip.
void Compose_Into(HostWindowRec* w, uint32* dst, int32 dstride, int32 ox, int32 oy, const RECT& clip) {
  const int32 ww = std::max<int32>(0, w->wrect.right - w->wrect.left);
  const int32 wh = std::max<int32>(0, w->wrect.bottom - w->wrect.top);
  const RECT whole = Meet(clip, RECT{ox, oy, ox + ww, oy + wh});
  if (Empty(whole)) return;
  Fill(dst, dstride, whole, (w->style & WS_BORDER) ? 0x00000000u : 0x00C0C0C0u);
  const HostSurface* m = Host_Surface(w->menu_surface);
  if (m && w->menu_h > 0) {
    Blit(dst, dstride, whole, reinterpret_cast<const uint32*>(m->bits), m->width, m->height, m->stride / 4,
         ox + w->frame_l, oy + w->frame_t - w->menu_h);
  }
  const int32 cx = ox + w->frame_l, cy = oy + w->frame_t;
  const RECT client = Meet(whole, RECT{cx, cy, cx + std::max<int32>(0, w->Client_W()), cy + std::max<int32>(0, w->Client_H())});
  if (Empty(client)) return;
  Fill(dst, dstride, client, 0);
  if (const HostSurface* s = Host_Surface(w->surface)) {
    Blit(dst, dstride, client, reinterpret_cast<const uint32*>(s->bits), std::min(w->Client_W(), s->width),
         std::min(w->Client_H(), s->height), s->stride / 4, cx, cy);
  }
  Compose_Children(w, dst, dstride, cx, cy, client);
}

// The visible children of w, whose client's top-left corner is at (cx, cy).
void Compose_Children(HostWindowRec* w, uint32* dst, int32 dstride, int32 cx, int32 cy, const RECT& clip) {
  for (HWND h : w->children) {
    HostWindowRec* c = Live(h);
    if (!c || !c->visible) continue;
    Compose_Into(c, dst, dstride, cx + c->wrect.left, cy + c->wrect.top, clip);
  }
}

void Compose_Whole(HostWindowRec* w, std::vector<uint32>& px, int32& ww, int32& wh) {
  ww = std::max<int32>(0, w->wrect.right - w->wrect.left);
  wh = std::max<int32>(0, w->wrect.bottom - w->wrect.top);
  px.resize(size_t(ww) * size_t(wh));
  Compose_Into(w, px.data(), ww, 0, 0, RECT{0, 0, ww, wh});
}

void Compose_Client(HostWindowRec* w, std::vector<uint32>& px, int32& cw, int32& ch) {
  cw = std::max<int32>(0, w->Client_W());
  ch = std::max<int32>(0, w->Client_H());
  px.assign(size_t(cw) * size_t(ch), 0);
  const RECT all{0, 0, cw, ch};
  if (const HostSurface* s = Host_Surface(w->surface)) {
    Blit(px.data(), cw, all, reinterpret_cast<const uint32*>(s->bits), std::min(cw, s->width),
         std::min(ch, s->height), s->stride / 4, 0, 0);
  }
  Compose_Children(w, px.data(), cw, 0, 0, all);
}

// Mixes what the window shows into key: its surfaces (which, and how often
// they were drawn into) and those of its visible children.
void Mix_Content(const HostWindowRec* w, uint64& key) {
  auto mix = [&key](uint64 v) { key = (key ^ v) * 0x100000001B3ull; };
  mix(w->generation);
  mix(Host_Handle_Bits(w->surface));
  mix(hostgdi::Surface_Writes(w->surface));
  mix(Host_Handle_Bits(w->menu_surface));
  mix(hostgdi::Surface_Writes(w->menu_surface));
  for (HWND h : w->children) {
    const HostWindowRec* c = Live(h);
    if (c && c->visible) Mix_Content(c, key);
  }
}

HWND Paint_In(HWND hwnd) {
  const HostWindowRec* w = Live(hwnd);
  if (!w || !w->visible) return nullptr;
  if (w->update && GetRgnBox(w->update, nullptr) != NULLREGION) return hwnd;
  for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
    if (HWND p = Paint_In(*it)) return p;
  return nullptr;
}

}  // namespace

HWND hostwin::Paint_Next(HWND filter) {
  if (filter) return Live(filter) && IsWindowVisible(filter) ? Paint_In(filter) : nullptr;
  std::vector<HWND>& tops = Tops();
  for (auto it = tops.rbegin(); it != tops.rend(); ++it)
    if (!Live(*it)->minimized)
      if (HWND p = Paint_In(*it)) return p;
  return nullptr;
}

bool hostwin::Compose_Frame(HWND hwnd, std::vector<uint32>& pixels, int32& width, int32& height) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  Compose_Whole(w, pixels, width, height);
  return true;
}

uint64 hostwin::Content_Key(HWND hwnd) {
  const HostWindowRec* w = Live(hwnd);
  if (!w) return 0;
  uint64 key = 0xCBF29CE484222325ull;
  Mix_Content(w, key);
  return key;
}

bool InvalidateRect(HWND hwnd, const RECT* r, bool erase) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  HRGN add = r ? CreateRectRgn(r->left, r->top, r->right, r->bottom)
               : CreateRectRgn(0, 0, w->Client_W(), w->Client_H());
  if (!add) return false;
  CombineRgn(w->update, w->update, add, RGN_OR);
  DeleteRgn(add);
  Clip_To_Client(w);
  if (erase) w->erase_pending = true;
  return true;
}

bool InvalidateRgn(HWND hwnd, HRGN rgn, bool erase) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  if (!rgn) return InvalidateRect(hwnd, nullptr, erase);
  if (CombineRgn(w->update, w->update, rgn, RGN_OR) == ERROR) return false;
  Clip_To_Client(w);
  if (erase) w->erase_pending = true;
  return true;
}

bool ValidateRect(HWND hwnd, const RECT* r) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  if (!r) {
    SetRectRgn(w->update, 0, 0, 0, 0);
  } else {
    HRGN sub = CreateRectRgn(r->left, r->top, r->right, r->bottom);
    CombineRgn(w->update, w->update, sub, RGN_DIFF);
    DeleteRgn(sub);
  }
  if (GetRgnBox(w->update, nullptr) == NULLREGION) w->erase_pending = false;
  return true;
}

bool ValidateRgn(HWND hwnd, HRGN rgn) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  if (!rgn) return ValidateRect(hwnd, nullptr);
  CombineRgn(w->update, w->update, rgn, RGN_DIFF);
  if (GetRgnBox(w->update, nullptr) == NULLREGION) w->erase_pending = false;
  return true;
}

bool GetUpdateRect(HWND hwnd, RECT* out, bool) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  RECT box{0, 0, 0, 0};
  const bool some = GetRgnBox(w->update, &box) != NULLREGION;
  if (!some) box = RECT{0, 0, 0, 0};
  if (out) *out = box;
  return some;
}

int32 GetUpdateRgn(HWND hwnd, HRGN rgn, bool) {
  HostWindowRec* w = Live(hwnd);
  if (!w || !rgn) return ERROR;
  return CombineRgn(rgn, w->update, nullptr, RGN_COPY);
}

bool UpdateWindow(HWND hwnd) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  if (IsWindowVisible(hwnd) && GetRgnBox(w->update, nullptr) != NULLREGION) SendMessage(hwnd, WM_PAINT, 0, 0);
  return true;
}

bool RedrawWindow(HWND hwnd, const RECT* r, HRGN rgn, UINT flags) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  if (flags & RDW_INVALIDATE) {
    if (rgn) InvalidateRgn(hwnd, rgn, flags & RDW_ERASE);
    else InvalidateRect(hwnd, r, flags & RDW_ERASE);
  } else if (flags & RDW_VALIDATE) {
    if (rgn) ValidateRgn(hwnd, rgn);
    else ValidateRect(hwnd, r);
  }
  if (flags & RDW_ALLCHILDREN) {
    std::vector<HWND> kids = w->children;
    for (HWND c : kids) RedrawWindow(c, nullptr, nullptr, flags & ~RDW_UPDATENOW);
  }
  if (flags & RDW_UPDATENOW) {
    UpdateWindow(hwnd);
    std::vector<HWND> kids = Live(hwnd) ? w->children : std::vector<HWND>{};
    for (HWND c : kids) UpdateWindow(c);
  }
  return true;
}

HDC GetDC(HWND hwnd) {
  if (!hwnd) return Screen_DC();
  HostWindowRec* w = Live(hwnd);
  return w ? w->dc : nullptr;
}

int32 ReleaseDC(HWND hwnd, HDC dc) {
  if (!hwnd) return dc == Screen_DC() ? 1 : 0;
  HostWindowRec* w = Live(hwnd);
  if (!w || dc != w->dc) return 0;
  Touch(w);
  return 1;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  HostWindowRec* w = Live(hwnd);
  if (!w || !ps) return nullptr;
  Clip_To_Client(w);
  // The clip is in device coordinates, as the update region is.
  SelectClipRgn(w->dc, w->update);
  ps->hdc = w->dc;
  RECT box{0, 0, 0, 0};
  if (GetRgnBox(w->update, &box) == NULLREGION) box = RECT{0, 0, 0, 0};
  // rcPaint in the DC's logical coordinates.
  POINT pts[2] = {{box.left, box.top}, {box.right, box.bottom}};
  DPtoLP(w->dc, pts, 2);
  ps->rcPaint = RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
  ps->fErase = false;
  const bool erase = w->erase_pending;
  w->erase_pending = false;
  SetRectRgn(w->update, 0, 0, 0, 0);  // validated before the erase, as the platform does
  if (erase) ps->fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(w->dc), 0) == 0;
  return Live(hwnd) ? w->dc : nullptr;
}

bool EndPaint(HWND hwnd, const PAINTSTRUCT*) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  SelectClipRgn(w->dc, nullptr);
  Touch(w);
  return true;
}

HBITMAP Host_Window_Surface(HWND hwnd) {
  HostWindowRec* w = Live(hwnd);
  return w ? w->surface : nullptr;
}

bool Host_Window_Compose(HWND hwnd, std::vector<uint32>& pixels, int32& width, int32& height) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  Compose_Client(w, pixels, width, height);
  return true;
}

bool Host_Screen_Compose(HWND hwnd, std::vector<uint32>& pixels, int32& width, int32& height) {
  HostWindowRec* w = Live(hwnd);
  if (!w) return false;
  Compose_Client(w, pixels, width, height);
  if (w->style & WS_CHILD) return true;
  const int32 origin_x = w->wrect.left + w->frame_l, origin_y = w->wrect.top + w->frame_t;
  const std::vector<HWND>& tops = Tops();
  const auto self = std::find(tops.begin(), tops.end(), hwnd);
  if (self == tops.end()) return true;
  for (auto it = self + 1; it != tops.end(); ++it) {
    HostWindowRec* o = Live(*it);
    if (!o || !o->visible || o->minimized) continue;
    Compose_Into(o, pixels.data(), width, o->wrect.left - origin_x, o->wrect.top - origin_y,
                 RECT{0, 0, width, height});
  }
  return true;
}

uint64 Host_Window_Generation(HWND hwnd) {
  HostWindowRec* w = Live(hwnd);
  return w ? w->generation : 0;
}
