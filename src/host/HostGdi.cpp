// Software GDI, part 1: objects, device contexts, colour mapping and the
// span painter every drawing call ends in. Shapes and lines are in
// HostGdiDraw.cpp, blits and DIBs in HostGdiBlt.cpp; what they share is in
// HostGdiCore.h.
#include "host/HostGdi.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "host/HostGdiCore.h"
#include "host/HostHandles.h"

namespace {

HostHandleTable<HostGdiObject>& Table() { return Host_Handle_Table<HostGdiObject>(); }

// The kind tag a handle of an object of GDI kind k carries. Both kinds of
// DC share one tag: a window's DC turns from a memory DC into a window DC
// after it was made.
HostHandleKind Tag_Of(int32 k) {
  switch (k) {
    case OBJ_PEN: return HostHandleKind::kPen;
    case OBJ_BRUSH: return HostHandleKind::kBrush;
    case OBJ_DC:
    case OBJ_MEMDC: return HostHandleKind::kDC;
    case OBJ_PAL: return HostHandleKind::kPalette;
    case OBJ_FONT: return HostHandleKind::kFont;
    case OBJ_BITMAP: return HostHandleKind::kBitmap;
    default: return HostHandleKind::kNone;
  }
}

}  // namespace

size_t Host_Gdi_Live_Objects() { return Table().Live(); }

HostGdiObject::HostGdiObject(int32 k) : kind(k) { handle = Table().Add(this, Tag_Of(k)); }
HostGdiObject::~HostGdiObject() {
  if (handle) Table().Remove(handle);
  handle = nullptr;
}

namespace hostgdi {

HostGdiObject* As_Object(HGDIOBJ obj) { return Table().Find_Any(obj); }

HostDC* As_DC(HDC dc) { return static_cast<HostDC*>(Table().Find(dc, HostHandleKind::kDC)); }
HostPen* As_Pen(HPEN pen) { return static_cast<HostPen*>(Table().Find(pen, HostHandleKind::kPen)); }
HostBrush* As_Brush(HBRUSH brush) {
  return static_cast<HostBrush*>(Table().Find(brush, HostHandleKind::kBrush));
}
HostSurface* As_Surface(HBITMAP bm) {
  return static_cast<HostSurface*>(Table().Find(bm, HostHandleKind::kBitmap));
}
HostPalette* As_Palette(HPALETTE pal) {
  return static_cast<HostPalette*>(Table().Find(pal, HostHandleKind::kPalette));
}

// --- Raw pixels ------------------------------------------------------------------

uint32 Depth_Mask(int32 depth) {
  switch (depth) {
    case 1: return 1;
    case 8: return 0xFF;
    case 16: return 0x7FFF;
    case 24: return 0xFFFFFF;
    default: return 0xFFFFFFFF;
  }
}

// --- Colours -----------------------------------------------------------------------

uint32 Nearest_Index(const HostSurface& s, uint8 r, uint8 g, uint8 b) {
  int32 best = 0;
  int64 best_d = INT64_MAX;
  for (int32 i = 0; i < s.ncolors; ++i) {
    const RGBQUAD& c = s.colors[i];
    const int32 dr = int32(c.rgbRed) - r, dg = int32(c.rgbGreen) - g, db = int32(c.rgbBlue) - b;
    const int64 d = int64(dr) * dr + int64(dg) * dg + int64(db) * db;
    if (d < best_d) {
      best_d = d;
      best = i;
      if (d == 0) break;
    }
  }
  return uint32(best);
}

uint32 Rgb_To_Raw(const HostSurface& s, uint8 r, uint8 g, uint8 b) {
  switch (s.depth) {
    case 1:
    case 8: return Nearest_Index(s, r, g, b);
    case 16: return (uint32(r >> 3) << 10) | (uint32(g >> 3) << 5) | uint32(b >> 3);
    default: return uint32(b) | (uint32(g) << 8) | (uint32(r) << 16);
  }
}

COLORREF Raw_To_Rgb(const HostSurface& s, uint32 v) {
  switch (s.depth) {
    case 1:
    case 8: {
      if (int64(v) >= s.ncolors) return 0;
      const RGBQUAD& c = s.colors[v];
      return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
    case 16: {
      const uint32 r5 = (v >> 10) & 31, g5 = (v >> 5) & 31, b5 = v & 31;
      return RGB(uint8((r5 << 3) | (r5 >> 2)), uint8((g5 << 3) | (g5 >> 2)),
                 uint8((b5 << 3) | (b5 >> 2)));
    }
    default: return RGB(uint8(v >> 16), uint8(v >> 8), uint8(v));
  }
}

const HostPalette& Default_Palette() {
  static HostPalette* pal = [] {
    auto* p = new HostPalette;
    p->stock = true;
    static const uint8 k[20][3] = {
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    p->count = 20;
    for (int i = 0; i < 20; ++i) p->entries[i] = PALETTEENTRY{k[i][0], k[i][1], k[i][2], 0};
    return p;
  }();
  return *pal;
}

// The RGB a colour reference stands for in this DC (palette indices looked up).
COLORREF Resolve_Rgb(const HostDC* dc, COLORREF c) {
  const uint32 top = c >> 24;
  if (top == 0x01) {
    const HostPalette& pal = (dc && dc->st.palette) ? *dc->st.palette : Default_Palette();
    const uint32 i = c & 0xFFFF;
    const PALETTEENTRY& e = pal.entries[int64(i) < pal.count ? i : 0];
    return RGB(e.peRed, e.peGreen, e.peBlue);
  }
  return c & 0xFFFFFF;
}

uint32 Color_To_Raw(const HostDC* dc, const HostSurface& s, COLORREF c) {
  if ((c >> 16) == 0x10FF) {  // DIBINDEX
    if (s.depth <= 8) return (c & 0xFFFF) & Depth_Mask(s.depth);
    return 0;
  }
  const COLORREF rgb = Resolve_Rgb(dc, c);
  return Rgb_To_Raw(s, GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// --- ROP2 ----------------------------------------------------------------------------

uint32 Rop2(int32 mode, uint32 p, uint32 d) {
  switch (mode) {
    case R2_BLACK: return 0;
    case R2_NOTMERGEPEN: return ~(p | d);
    case R2_MASKNOTPEN: return ~p & d;
    case R2_NOTCOPYPEN: return ~p;
    case R2_MASKPENNOT: return p & ~d;
    case R2_NOT: return ~d;
    case R2_XORPEN: return p ^ d;
    case R2_NOTMASKPEN: return ~(p & d);
    case R2_MASKPEN: return p & d;
    case R2_NOTXORPEN: return ~(p ^ d);
    case R2_NOP: return d;
    case R2_MERGENOTPEN: return ~p | d;
    case R2_COPYPEN: return p;
    case R2_MERGEPENNOT: return p | ~d;
    case R2_MERGEPEN: return p | d;
    case R2_WHITE: return 0xFFFFFFFF;
    default: return p;
  }
}

uint32 Rop3(uint8 code, uint32 p, uint32 s, uint32 d) {
  switch (code) {
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFFFF;
    case 0xCC: return s;
    case 0xF0: return p;
    case 0xAA: return d;
    case 0x55: return ~d;
    case 0x33: return ~s;
    case 0x66: return s ^ d;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0xBB: return ~s | d;
    case 0x44: return s & ~d;
    case 0x22: return ~s & d;
    case 0x99: return ~(s ^ d);
    case 0x11: return ~(s | d);
    case 0xC0: return p & s;
    case 0x5A: return p ^ d;
    default: break;
  }
  uint32 r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((code >> i) & 1)) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return r;
}

// --- Clipping ------------------------------------------------------------------------------

namespace {

// The write counts, by the slot of the surface's handle: a slot's next
// surface has another handle, which the readers compare as well.
// Both tables outlive every static object that may still draw or free a
// surface at exit.
std::vector<uint64>& Writes_By_Slot() {
  static auto* writes = new std::vector<uint64>;
  return *writes;
}

uint32 Slot_Of(const void* handle) { return uint32(Host_Handle_Bits(handle) & kHostHandleMaxSlots); }

struct LazyEntry {
  HGDIOBJ surface = nullptr;
  HostLazyPixels* lazy = nullptr;
};

std::vector<LazyEntry>& Lazy_By_Slot() {
  static auto* lazy = new std::vector<LazyEntry>;
  return *lazy;
}

HostLazyPixels* Lazy_Of(const HostSurface* surface) {
  const std::vector<LazyEntry>& all = Lazy_By_Slot();
  const uint32 slot = Slot_Of(surface->handle);
  return slot < all.size() && all[slot].surface == surface->handle ? all[slot].lazy : nullptr;
}

}  // namespace

bool Set_Lazy_Pixels(HBITMAP surface, HostLazyPixels* lazy) {
  if (!As_Surface(surface)) return false;
  std::vector<LazyEntry>& all = Lazy_By_Slot();
  const uint32 slot = Slot_Of(surface);
  if (slot >= all.size()) all.resize(size_t(slot) + 16);
  all[slot] = lazy ? LazyEntry{surface, lazy} : LazyEntry{};
  return true;
}

void Count_Write(const HostSurface* surface) {
  if (!surface || !surface->handle) return;
  std::vector<uint64>& writes = Writes_By_Slot();
  const uint32 slot = Slot_Of(surface->handle);
  if (slot >= writes.size()) writes.resize(size_t(slot) + 64, 0);
  ++writes[slot];
}

uint64 Surface_Writes(HBITMAP surface) {
  if (!As_Surface(surface)) return 0;
  const std::vector<uint64>& writes = Writes_By_Slot();
  const uint32 slot = Slot_Of(surface);
  return slot < writes.size() ? writes[slot] : 0;
}

ClipView::ClipView(const HostDC* dc, bool reading) {
  surf = dc ? dc->st.bitmap : nullptr;
  if (!surf || !surf->bits || surf->width <= 0 || surf->height <= 0) {
    surf = nullptr;
    return;
  }
  if (!reading) Count_Write(surf);
  lazy = Lazy_Of(surf);
  if (dc->st.clip) {
    boxes = Host_Rgn_Boxes(dc->st.clip);
    use_rgn = true;
  }
}

}  // namespace hostgdi

using namespace hostgdi;

// --- Ink ----------------------------------------------------------------------------------

namespace hostgdi {

namespace {

const uint8 kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF},  // horizontal: bottom row of the cell
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal (\)
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal (/)
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

}  // namespace

bool Make_Solid_Ink(const HostDC* dc, const HostSurface& s, COLORREF c, Ink& ink) {
  ink = Ink{};
  ink.solid = true;
  ink.raw = Color_To_Raw(dc, s, c);
  return true;
}

bool Make_Brush_Ink(const HostDC* dc, const HostSurface& s, const HostBrush* b, Ink& ink) {
  ink = Ink{};
  if (!b || b->style == BS_NULL) return false;
  if (b->style == BS_SOLID) return Make_Solid_Ink(dc, s, b->color, ink);
  const POINT org = dc->st.brush_org;
  ink.org_x = org.x;
  ink.org_y = org.y;
  if (b->style == BS_HATCHED || b->mono) {
    const uint8* rows = b->style == BS_HATCHED ? kHatch[std::clamp(b->hatch, 0, 5)] : b->mono_bits;
    ink.solid = false;
    ink.w = ink.h = 8;
    ink.raw_pat.assign(64, 0);
    ink.skip.assign(64, 0);
    uint32 on, off;
    bool off_skip = false;
    if (b->style == BS_HATCHED) {
      // Hatch lines in the brush colour; between them the background, or nothing.
      on = Color_To_Raw(dc, s, b->color);
      off = Color_To_Raw(dc, s, dc->st.bk_color);
      off_skip = dc->st.bk_mode == TRANSPARENT;
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
          const bool bit = (rows[y] >> (7 - x)) & 1;
          ink.raw_pat[y * 8 + x] = bit ? on : off;
          ink.skip[y * 8 + x] = (!bit && off_skip) ? 1 : 0;
        }
    } else {
      // Monochrome pattern: 0 bits in the text colour, 1 bits in the background colour.
      on = Color_To_Raw(dc, s, dc->st.text_color);
      off = Color_To_Raw(dc, s, dc->st.bk_color);
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ink.raw_pat[y * 8 + x] = ((rows[y] >> (7 - x)) & 1) ? off : on;
    }
    return true;
  }
  if (b->pat_w <= 0 || b->pat_h <= 0) return false;
  ink.solid = false;
  ink.w = b->pat_w;
  ink.h = b->pat_h;
  ink.raw_pat.resize(size_t(ink.w) * ink.h);
  ink.skip.assign(ink.raw_pat.size(), 0);
  for (size_t i = 0; i < ink.raw_pat.size(); ++i) ink.raw_pat[i] = Color_To_Raw(dc, s, b->pat[i]);
  return true;
}

// Applies ink to device row y, x in [x0, x1), clipped.
void Paint_Span(const ClipView& cv, const Ink& ink, int32 rop2, int32 y, int64 x0, int64 x1) {
  if (!cv.surf) return;
  HostSurface& s = *cv.surf;
  const uint32 mask = Depth_Mask(s.depth);
  cv.For_Each(y, x0, x1, [&](int32 a, int32 b) {
    uint8* row = Row_Ptr(s, y);
    if (ink.solid && (rop2 == R2_COPYPEN || rop2 == R2_BLACK || rop2 == R2_WHITE)) {
      const uint32 v = (rop2 == R2_COPYPEN ? ink.raw : rop2 == R2_BLACK ? 0 : 0xFFFFFFFF) & mask;
      Fill_Raw(s, row, a, b, v);
      return;
    }
    for (int32 x = a; x < b; ++x) {
      uint32 p;
      if (ink.solid) {
        p = ink.raw;
      } else {
        const int64 px = (int64(x) - ink.org_x) % ink.w, py = (int64(y) - ink.org_y) % ink.h;
        const size_t k = size_t((py < 0 ? py + ink.h : py) * ink.w + (px < 0 ? px + ink.w : px));
        if (ink.skip[k]) continue;
        p = ink.raw_pat[k];
      }
      const uint32 d = Get_Raw(s, row, x);
      Put_Raw(s, row, x, Rop2(rop2, p, d) & mask);
    }
  });
}

void Paint_Spans(const ClipView& cv, const Ink& ink, int32 rop2, const HostSpanList& spans) {
  for (const HostSpan& sp : spans) Paint_Span(cv, ink, rop2, sp.y, sp.x0, sp.x1);
}

void Paint_Rgn_Boxes(const ClipView& cv, const Ink& ink, int32 rop2, HRGN rgn, int64 dx, int64 dy) {
  for (const pixman_box32_t& bx : Host_Rgn_Boxes(rgn)) {
    const int64 y0 = std::max<int64>(int64(bx.y1) + dy, 0);
    const int64 y1 = std::min<int64>(int64(bx.y2) + dy, cv.surf->height);
    for (int64 y = y0; y < y1; ++y) {
      Paint_Span(cv, ink, rop2, int32(y), int64(bx.x1) + dx, int64(bx.x2) + dx);
    }
  }
}

}  // namespace hostgdi

// --- Objects -----------------------------------------------------------------------

namespace {

HostGdiObject* Make_Stock(int32 which) {
  auto brush = [](COLORREF c) {
    auto* b = New_Object<HostBrush>();
    if (b) b->color = c;
    return b;
  };
  auto pen = [](int32 style, COLORREF c) {
    auto* p = New_Object<HostPen>();
    if (p) {
      p->style = style;
      p->color = c;
    }
    return p;
  };
  HostGdiObject* o = nullptr;
  switch (which) {
    case WHITE_BRUSH: o = brush(RGB(255, 255, 255)); break;
    case LTGRAY_BRUSH: o = brush(RGB(192, 192, 192)); break;
    case GRAY_BRUSH: o = brush(RGB(128, 128, 128)); break;
    case DKGRAY_BRUSH: o = brush(RGB(64, 64, 64)); break;
    case BLACK_BRUSH: o = brush(RGB(0, 0, 0)); break;
    case NULL_BRUSH: {
      auto* b = brush(0);
      if (b) b->style = BS_NULL;
      o = b;
      break;
    }
    case WHITE_PEN: o = pen(PS_SOLID, RGB(255, 255, 255)); break;
    case BLACK_PEN: o = pen(PS_SOLID, RGB(0, 0, 0)); break;
    case NULL_PEN: o = pen(PS_NULL, 0); break;
    case SYSTEM_FONT: o = new HostGdiObject(OBJ_FONT); break;
    case DEFAULT_PALETTE: o = const_cast<HostPalette*>(&Default_Palette()); break;
    default: return nullptr;
  }
  if (o) o->stock = true;
  return o;
}

// The record of a stock object (made on first use, kept for the whole run).
HostGdiObject* Stock(int32 which) {
  static HostGdiObject* stock[16] = {};
  if (which < 0 || which >= 16) return nullptr;
  if (!stock[which]) stock[which] = Make_Stock(which);
  return stock[which];
}

// The 1 x 1 monochrome bitmap every new memory DC starts with (shared, stock).
HostSurface* Stock_Bitmap() {
  static HostSurface* bm = [] {
    HostSurface* b = New_Surface(1, 1, 1, nullptr, 0);
    b->mono_ddb = true;
    b->ncolors = 2;
    b->colors[0] = RGBQUAD{0, 0, 0, 0};
    b->colors[1] = RGBQUAD{255, 255, 255, 0};
    b->stock = true;
    return b;
  }();
  return bm;
}

void Free_Object(HostGdiObject* o) {
  if (o->kind == OBJ_PEN) delete static_cast<HostPen*>(o);
  else if (o->kind == OBJ_BRUSH) delete static_cast<HostBrush*>(o);
  else if (o->kind == OBJ_BITMAP) delete static_cast<HostSurface*>(o);
  else if (o->kind == OBJ_PAL) delete static_cast<HostPalette*>(o);
  else delete o;
}

// Selection bookkeeping: an object deleted while selected is freed on release.
template <class T>
void Swap_Selected(T*& slot, T* obj) {
  if (slot == obj) return;
  if (obj) ++obj->selected;
  if (slot) {
    HostGdiObject* old = slot;
    --old->selected;
    if (old->selected <= 0 && old->delete_pending && !old->stock) Free_Object(old);
  }
  slot = obj;
}

void Release_State(HostDCState& st) {
  Swap_Selected(st.pen, static_cast<HostPen*>(nullptr));
  Swap_Selected(st.brush, static_cast<HostBrush*>(nullptr));
  Swap_Selected(st.font, static_cast<HostGdiObject*>(nullptr));
  Swap_Selected(st.palette, static_cast<HostPalette*>(nullptr));
  Swap_Selected(st.bitmap, static_cast<HostSurface*>(nullptr));
  if (st.clip) DeleteRgn(st.clip);
  st.clip = nullptr;
}

// A copy of a state that holds its own references (for SaveDC).
HostDCState Copy_State(const HostDCState& st) {
  HostDCState c = st;
  c.pen = nullptr;
  c.brush = nullptr;
  c.font = nullptr;
  c.palette = nullptr;
  c.bitmap = nullptr;
  c.clip = nullptr;
  Swap_Selected(c.pen, st.pen);
  Swap_Selected(c.brush, st.brush);
  Swap_Selected(c.font, st.font);
  Swap_Selected(c.palette, st.palette);
  Swap_Selected(c.bitmap, st.bitmap);
  if (st.clip) {
    c.clip = CreateRectRgn(0, 0, 0, 0);
    if (c.clip) CombineRgn(c.clip, st.clip, nullptr, RGN_COPY);
  }
  return c;
}

HostDC* New_DC(HostSurface* surface, bool fixed) {
  HostGdiObject* pen = Stock(BLACK_PEN);
  HostGdiObject* brush = Stock(WHITE_BRUSH);
  HostGdiObject* font = Stock(SYSTEM_FONT);
  HostGdiObject* pal = Stock(DEFAULT_PALETTE);
  if (!surface || !pen || !brush || !font || !pal) return nullptr;
  auto* dc = New_Object<HostDC>();
  if (!dc) return nullptr;
  dc->fixed_surface = fixed;
  Swap_Selected(dc->st.pen, static_cast<HostPen*>(pen));
  Swap_Selected(dc->st.brush, static_cast<HostBrush*>(brush));
  Swap_Selected(dc->st.font, font);
  Swap_Selected(dc->st.palette, static_cast<HostPalette*>(pal));
  Swap_Selected(dc->st.bitmap, surface);
  return dc;
}

}  // namespace

HGDIOBJ GetStockObject(int32 which) {
  HostGdiObject* o = Stock(which);
  return o ? o->handle : nullptr;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !obj) return nullptr;
  HostGdiObject* o = As_Object(obj);
  if (!o) {
    if (Host_Is_Rgn(obj)) {
      const int32 k = SelectClipRgn(hdc, static_cast<HRGN>(obj));
      return reinterpret_cast<HGDIOBJ>(intptr_t(k));
    }
    return nullptr;
  }
  HostDCState& st = dc->st;
  // The previous object's handle is taken first: deselecting may free it
  // (DeleteObject while selected), and its handle is then dead.
  switch (o->kind) {
    case OBJ_PEN: {
      HGDIOBJ old = Handle_Of(st.pen);
      Swap_Selected(st.pen, static_cast<HostPen*>(o));
      return old;
    }
    case OBJ_BRUSH: {
      HGDIOBJ old = Handle_Of(st.brush);
      Swap_Selected(st.brush, static_cast<HostBrush*>(o));
      return old;
    }
    case OBJ_FONT: {
      HGDIOBJ old = st.font ? st.font->handle : nullptr;
      Swap_Selected(st.font, o);
      return old;
    }
    case OBJ_PAL: return SelectPalette(hdc, static_cast<HPALETTE>(obj), false);
    case OBJ_BITMAP: {
      if (dc->fixed_surface) return nullptr;
      auto* bm = static_cast<HostSurface*>(o);
      // A bitmap can be selected into one DC at a time.
      if (bm->selected > 0 && bm != st.bitmap && !bm->stock) return nullptr;
      HGDIOBJ old = Handle_Of(st.bitmap);
      Swap_Selected(st.bitmap, bm);
      return old;
    }
    default: return nullptr;
  }
}

bool DeleteObject(HGDIOBJ obj) {
  if (!obj) return false;
  HostGdiObject* o = As_Object(obj);
  if (!o) {
    if (Host_Is_Rgn(obj)) return DeleteRgn(static_cast<HRGN>(obj));
    return false;
  }
  if (o->stock) return true;
  if (o->kind == OBJ_MEMDC || o->kind == OBJ_DC) return false;
  if (o->selected > 0) {
    o->delete_pending = true;
    return true;
  }
  Free_Object(o);
  return true;
}

int32 GetObjectType(HGDIOBJ obj) {
  if (!obj) return 0;
  if (HostGdiObject* o = As_Object(obj)) return o->kind;
  return Host_Is_Rgn(obj) ? OBJ_REGION : 0;
}

HostSurface* Host_Surface(HBITMAP bm) { return As_Surface(bm); }

HPEN CreatePen(int32 style, int32 width, COLORREF color) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
  auto* p = New_Object<HostPen>();
  if (!p) return nullptr;
  p->style = style;
  p->width = std::clamp(width, 1, kMaxPenWidth);
  // Styled lines exist only for 1-pixel pens; wider ones draw solid.
  if (p->width > 1 && style >= PS_DASH && style <= PS_DASHDOTDOT) p->style = PS_SOLID;
  p->color = color;
  return Handle_Of(p);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* b = New_Object<HostBrush>();
  if (b) b->color = color;
  return Handle_Of(b);
}

HBRUSH CreateHatchBrush(int32 hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
  auto* b = New_Object<HostBrush>();
  if (!b) return nullptr;
  b->style = BS_HATCHED;
  b->hatch = hatch;
  b->color = color;
  return Handle_Of(b);
}

HBRUSH Host_CreateMonoPatternBrush(const uint8 rows[8]) {
  if (!rows) return nullptr;
  auto* b = New_Object<HostBrush>();
  if (!b) return nullptr;
  b->style = BS_PATTERN;
  b->mono = true;
  std::memcpy(b->mono_bits, rows, 8);
  return Handle_Of(b);
}

HBRUSH CreatePatternBrush(HBITMAP hbm) {
  HostSurface* bm = As_Surface(hbm);
  if (!bm || !bm->bits || bm->width <= 0 || bm->height <= 0) return nullptr;
  if (bm->depth == 1) {
    // GDI's monochrome pattern: the top-left 8 x 8, repeated when smaller.
    uint8 rows[8] = {};
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const uint8* row = Row_Ptr(*bm, y % bm->height);
        const uint32 v = Get_Raw(*bm, row, x % bm->width);
        // The bit stands for "background" when its colour is the brighter entry.
        const COLORREF c = Raw_To_Rgb(*bm, v);
        const COLORREF c0 = Raw_To_Rgb(*bm, 0);
        const bool bright = (GetRValue(c) + GetGValue(c) + GetBValue(c)) >
                            (GetRValue(c0) + GetGValue(c0) + GetBValue(c0));
        if (bright || (v == 1 && c == c0)) rows[y] |= uint8(0x80 >> x);
      }
    return Host_CreateMonoPatternBrush(rows);
  }
  auto* b = New_Object<HostBrush>();
  if (!b) return nullptr;
  b->style = BS_PATTERN;
  b->pat_w = std::min(bm->width, 256);
  b->pat_h = std::min(bm->height, 256);
  b->pat.resize(size_t(b->pat_w) * b->pat_h);
  for (int y = 0; y < b->pat_h; ++y) {
    const uint8* row = Row_Ptr(*bm, y);
    for (int x = 0; x < b->pat_w; ++x) b->pat[size_t(y) * b->pat_w + x] = Raw_To_Rgb(*bm, Get_Raw(*bm, row, x));
  }
  return Handle_Of(b);
}

// --- Palettes ----------------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* lp) {
  if (!lp || lp->palNumEntries == 0 || lp->palNumEntries > 256) return nullptr;
  auto* p = New_Object<HostPalette>();
  if (!p) return nullptr;
  p->count = lp->palNumEntries;
  std::memcpy(p->entries, lp->palPalEntry, sizeof(PALETTEENTRY) * size_t(p->count));
  return Handle_Of(p);
}

uint32 GetPaletteEntries(HPALETTE hpal, uint32 start, uint32 count, PALETTEENTRY* out) {
  HostPalette* pal = As_Palette(hpal);
  if (!pal) return 0;
  if (!out) return uint32(pal->count);
  if (start >= uint32(pal->count)) return 0;
  const uint32 n = std::min(count, uint32(pal->count) - start);
  std::memcpy(out, pal->entries + start, sizeof(PALETTEENTRY) * n);
  return n;
}

uint32 SetPaletteEntries(HPALETTE hpal, uint32 start, uint32 count, const PALETTEENTRY* in) {
  HostPalette* pal = As_Palette(hpal);
  if (!pal || pal->stock || !in || start >= uint32(pal->count)) return 0;
  const uint32 n = std::min(count, uint32(pal->count) - start);
  std::memcpy(pal->entries + start, in, sizeof(PALETTEENTRY) * n);
  return n;
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hpal, bool) {
  HostDC* dc = As_DC(hdc);
  HostPalette* pal = As_Palette(hpal);
  if (!dc || !pal) return nullptr;
  HPALETTE old = Handle_Of(dc->st.palette);
  Swap_Selected(dc->st.palette, pal);
  return old;
}

uint32 RealizePalette(HDC hdc) {
  // Our surfaces hold colours, not a hardware palette: nothing to map.
  HostDC* dc = As_DC(hdc);
  return dc ? uint32(dc->st.palette->count) : 0xFFFFFFFF;
}

// --- Surfaces --------------------------------------------------------------------------

namespace {

bool Valid_Depth(int32 d) { return d == 1 || d == 8 || d == 16 || d == 24 || d == 32; }

// Rows padded to 4 bytes; false when the size is out of reach.
bool Row_Bytes(int32 width, int32 depth, int32& out) {
  const int64 rb = (int64(width) * depth + 31) / 32 * 4;
  if (width <= 0 || rb > (int64(1) << 28)) return false;
  out = int32(rb);
  return true;
}

void Set_Colors(HostSurface& s, const RGBQUAD* colors, int32 n) {
  if (s.depth > 8) return;
  const int32 cap = 1 << s.depth;
  if (colors && n > 0) {
    s.ncolors = std::min(n, cap);
    std::memcpy(s.colors, colors, sizeof(RGBQUAD) * size_t(s.ncolors));
  } else if (s.depth == 1) {
    s.ncolors = 2;
    s.colors[0] = RGBQUAD{0, 0, 0, 0};
    s.colors[1] = RGBQUAD{255, 255, 255, 0};
  } else {
    // A grey ramp where no table is given.
    s.ncolors = 256;
    for (int i = 0; i < 256; ++i) s.colors[i] = RGBQUAD{uint8(i), uint8(i), uint8(i), 0};
  }
}

}  // namespace

HostSurface* hostgdi::New_Surface(int32 width, int32 height, int32 depth, const RGBQUAD* colors,
                                  int32 ncolors) {
  int32 rb;
  if (!Valid_Depth(depth) || height <= 0 || !Row_Bytes(width, depth, rb)) return nullptr;
  if (int64(rb) * height > (int64(1) << 31)) return nullptr;
  auto* s = New_Object<HostSurface>();
  if (!s) return nullptr;
  try {
    s->own.assign(size_t(rb) * size_t(height), 0);
  } catch (const std::bad_alloc&) {
    delete s;
    return nullptr;
  }
  s->width = width;
  s->height = height;
  s->depth = depth;
  s->stride = rb;
  s->bits = s->own.data();
  Set_Colors(*s, colors, ncolors);
  return s;
}

HBITMAP Host_NewSurface(int32 width, int32 height, int32 depth, const RGBQUAD* colors, int32 ncolors) {
  return Handle_Of(New_Surface(width, height, depth, colors, ncolors));
}

HBITMAP Host_WrapSurface(void* bits, int32 width, int32 height, int32 depth, int32 stride,
                         const RGBQUAD* colors, int32 ncolors) {
  if (!bits || !Valid_Depth(depth) || width <= 0 || height <= 0) return nullptr;
  if (int64(stride) * 8 < int64(width) * depth) return nullptr;
  auto* s = New_Object<HostSurface>();
  if (!s) return nullptr;
  s->width = width;
  s->height = height;
  s->depth = depth;
  s->stride = stride;
  s->bits = static_cast<uint8*>(bits);
  Set_Colors(*s, colors, ncolors);
  return Handle_Of(s);
}

HBITMAP CreateBitmap(int32 width, int32 height, uint32 planes, uint32 bpp, const void* bits) {
  if (planes != 1 || bpp != 1) return nullptr;  // only monochrome device bitmaps are made here
  HostSurface* s = New_Surface(width, height, 1, nullptr, 0);
  if (!s) return nullptr;
  s->mono_ddb = true;
  if (bits) {
    const int32 src_rb = (width + 15) / 16 * 2;
    const auto* src = static_cast<const uint8*>(bits);
    for (int32 y = 0; y < height; ++y) std::memcpy(Row_Ptr(*s, y), src + size_t(y) * src_rb, size_t((width + 7) / 8));
  }
  return Handle_Of(s);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int32 width, int32 height) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return nullptr;
  const HostSurface& like = *dc->st.bitmap;
  HostSurface* s = New_Surface(width, height, like.depth, like.colors, like.ncolors);
  if (s) s->mono_ddb = like.mono_ddb;
  return Handle_Of(s);
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, uint32 usage, void** bits_out, void*, uint32) {
  if (bits_out) *bits_out = nullptr;
  if (!info || info->bmiHeader.biSize < 40 || info->bmiHeader.biCompression != BI_RGB ||
      info->bmiHeader.biPlanes != 1 || info->bmiHeader.biHeight == INT32_MIN)
    return nullptr;
  const int32 depth = info->bmiHeader.biBitCount;
  const int32 h = info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
  RGBQUAD colors[256];
  int32 n = 0;
  if (depth <= 8 && Valid_Depth(depth)) {
    n = info->bmiHeader.biClrUsed ? int32(std::min<uint32>(info->bmiHeader.biClrUsed, 1u << depth)) : (1 << depth);
    if (usage == DIB_PAL_COLORS) {
      const auto* idx = reinterpret_cast<const uint16*>(info->bmiColors);
      for (int32 i = 0; i < n; ++i) {
        const COLORREF c = Resolve_Rgb(As_DC(hdc), PALETTEINDEX(idx[i]));
        colors[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
      }
    } else {
      std::memcpy(colors, info->bmiColors, sizeof(RGBQUAD) * size_t(n));
    }
  }
  HostSurface* s = New_Surface(info->bmiHeader.biWidth, h, depth, n ? colors : nullptr, n);
  if (s && bits_out) *bits_out = s->bits;
  return Handle_Of(s);
}

uint32 SetDIBColorTable(HDC hdc, uint32 start, uint32 count, const RGBQUAD* colors) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !colors) return 0;
  HostSurface& s = *dc->st.bitmap;
  if (s.depth > 8 || s.stock || start >= uint32(s.ncolors)) return 0;
  const uint32 n = std::min(count, uint32(s.ncolors) - start);
  std::memcpy(s.colors + start, colors, sizeof(RGBQUAD) * n);
  return n;
}

uint32 GetDIBColorTable(HDC hdc, uint32 start, uint32 count, RGBQUAD* colors) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !colors) return 0;
  const HostSurface& s = *dc->st.bitmap;
  if (s.depth > 8 || start >= uint32(s.ncolors)) return 0;
  const uint32 n = std::min(count, uint32(s.ncolors) - start);
  std::memcpy(colors, s.colors + start, sizeof(RGBQUAD) * n);
  return n;
}

// --- Device contexts -------------------------------------------------------------------

HDC CreateCompatibleDC(HDC) { return Handle_Of(New_DC(Stock_Bitmap(), false)); }

HDC Host_CreateSurfaceDC(HBITMAP surface) {
  HostSurface* s = As_Surface(surface);
  if (!s) return nullptr;
  HostDC* dc = New_DC(s, true);
  if (dc) dc->kind = OBJ_DC;
  return Handle_Of(dc);
}

bool DeleteDC(HDC hdc) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  for (HostDCState& s : dc->saved) Release_State(s);
  Release_State(dc->st);
  delete dc;
  return true;
}

HGDIOBJ GetCurrentObject(HDC hdc, int32 kind) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return nullptr;
  switch (kind) {
    case OBJ_PEN: return Handle_Of(dc->st.pen);
    case OBJ_BRUSH: return Handle_Of(dc->st.brush);
    case OBJ_FONT: return dc->st.font ? dc->st.font->handle : nullptr;
    case OBJ_PAL: return Handle_Of(dc->st.palette);
    case OBJ_BITMAP: return Handle_Of(dc->st.bitmap);
    default: return nullptr;
  }
}

int32 SaveDC(HDC hdc) {
  HostDC* dc = As_DC(hdc);
  if (!dc || dc->saved.size() >= 1000) return 0;
  dc->saved.push_back(Copy_State(dc->st));
  return int32(dc->saved.size());
}

bool RestoreDC(HDC hdc, int32 level) {
  HostDC* dc = As_DC(hdc);
  if (!dc || level == 0) return false;
  const int64 depth = int64(dc->saved.size());
  const int64 target = level > 0 ? level : depth + level + 1;  // the state saved as number `target`
  if (target < 1 || target > depth) return false;
  while (int64(dc->saved.size()) > target) {
    Release_State(dc->saved.back());
    dc->saved.pop_back();
  }
  HostDCState restored = dc->saved.back();
  dc->saved.pop_back();
  if (dc->fixed_surface && restored.bitmap != dc->st.bitmap) {
    Swap_Selected(restored.bitmap, dc->st.bitmap);
  }
  Release_State(dc->st);
  dc->st = restored;  // the saved copy's references move over
  return true;
}

#define HOSTGDI_GETSET(Name, field, type, valid)      \
  type Set##Name(HDC hdc, type v) {                    \
    HostDC* dc = As_DC(hdc);                           \
    if (!dc || !(valid)) return 0;                     \
    const type old = dc->st.field;                     \
    dc->st.field = v;                                  \
    return old;                                        \
  }                                                    \
  type Get##Name(HDC hdc) {                            \
    HostDC* dc = As_DC(hdc);                           \
    return dc ? dc->st.field : 0;                      \
  }

HOSTGDI_GETSET(ROP2, rop2, int32, (v >= R2_BLACK && v <= R2_WHITE))
HOSTGDI_GETSET(BkMode, bk_mode, int32, (v == TRANSPARENT || v == OPAQUE))
HOSTGDI_GETSET(StretchBltMode, stretch_mode, int32, (v >= BLACKONWHITE && v <= HALFTONE))
HOSTGDI_GETSET(PolyFillMode, poly_fill_mode, int32, (v == ALTERNATE || v == WINDING))
#undef HOSTGDI_GETSET

COLORREF SetBkColor(HDC hdc, COLORREF c) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF old = dc->st.bk_color;
  dc->st.bk_color = c;
  return old;
}
COLORREF GetBkColor(HDC hdc) {
  HostDC* dc = As_DC(hdc);
  return dc ? dc->st.bk_color : CLR_INVALID;
}
COLORREF SetTextColor(HDC hdc, COLORREF c) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF old = dc->st.text_color;
  dc->st.text_color = c;
  return old;
}
COLORREF GetTextColor(HDC hdc) {
  HostDC* dc = As_DC(hdc);
  return dc ? dc->st.text_color : CLR_INVALID;
}

uint32 SetTextAlign(HDC hdc, uint32 align) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return 0xFFFFFFFF;
  const uint32 old = dc->st.text_align;
  dc->st.text_align = align;
  return old;
}
uint32 GetTextAlign(HDC hdc) {
  HostDC* dc = As_DC(hdc);
  return dc ? dc->st.text_align : 0xFFFFFFFF;
}

namespace {

bool Set_Point(HDC hdc, POINT HostDCState::*field, int32 x, int32 y, POINT* old) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  if (old) *old = dc->st.*field;
  dc->st.*field = POINT{x, y};
  return true;
}

}  // namespace

bool SetWindowOrgEx(HDC dc, int32 x, int32 y, POINT* old) { return Set_Point(dc, &HostDCState::window_org, x, y, old); }
bool GetWindowOrgEx(HDC hdc, POINT* out) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !out) return false;
  *out = dc->st.window_org;
  return true;
}
bool OffsetWindowOrgEx(HDC hdc, int32 dx, int32 dy, POINT* old) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  const POINT o = dc->st.window_org;
  return Set_Point(hdc, &HostDCState::window_org, Clamp32(int64(o.x) + dx), Clamp32(int64(o.y) + dy), old);
}
bool SetViewportOrgEx(HDC dc, int32 x, int32 y, POINT* old) {
  return Set_Point(dc, &HostDCState::viewport_org, x, y, old);
}
bool GetViewportOrgEx(HDC hdc, POINT* out) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !out) return false;
  *out = dc->st.viewport_org;
  return true;
}
bool SetBrushOrgEx(HDC dc, int32 x, int32 y, POINT* old) { return Set_Point(dc, &HostDCState::brush_org, x, y, old); }

bool LPtoDP(HDC hdc, POINT* pts, int32 count) {
  HostDC* dc = As_DC(hdc);
  if (!dc || (!pts && count > 0) || count < 0) return false;
  for (int32 i = 0; i < count; ++i) {
    pts[i].x = Clamp32(Dev_X(dc, pts[i].x));
    pts[i].y = Clamp32(Dev_Y(dc, pts[i].y));
  }
  return true;
}

bool DPtoLP(HDC hdc, POINT* pts, int32 count) {
  HostDC* dc = As_DC(hdc);
  if (!dc || (!pts && count > 0) || count < 0) return false;
  for (int32 i = 0; i < count; ++i) {
    pts[i].x = Clamp32(int64(pts[i].x) - dc->st.viewport_org.x + dc->st.window_org.x);
    pts[i].y = Clamp32(int64(pts[i].y) - dc->st.viewport_org.y + dc->st.window_org.y);
  }
  return true;
}

// --- Clip -----------------------------------------------------------------------------

int32 SelectClipRgn(HDC dc, HRGN rgn) { return ExtSelectClipRgn(dc, rgn, RGN_COPY); }

int32 ExtSelectClipRgn(HDC hdc, HRGN rgn, int32 mode) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return ERROR;
  if (!rgn) {
    if (mode != RGN_COPY) return ERROR;
    if (dc->st.clip) DeleteRgn(dc->st.clip);
    dc->st.clip = nullptr;
    return SIMPLEREGION;
  }
  if (!Host_Is_Rgn(rgn)) return ERROR;  // a deleted or foreign handle
  HRGN next = CreateRectRgn(0, 0, 0, 0);
  if (!next) return ERROR;
  int32 k;
  if (mode == RGN_COPY || !dc->st.clip) {
    // Combining with "no clip" means combining with the whole surface.
    if (mode == RGN_COPY || mode == RGN_AND || mode == RGN_OR) {
      k = CombineRgn(next, rgn, nullptr, RGN_COPY);
      if (mode == RGN_OR && dc->st.clip == nullptr) {
        const HostSurface& s = *dc->st.bitmap;
        k = SetRectRgn(next, 0, 0, s.width, s.height) ? SIMPLEREGION : ERROR;
      }
    } else {
      const HostSurface& s = *dc->st.bitmap;
      HRGN all = CreateRectRgn(0, 0, s.width, s.height);
      k = all ? CombineRgn(next, all, rgn, mode) : ERROR;
      DeleteRgn(all);
    }
  } else {
    k = CombineRgn(next, dc->st.clip, rgn, mode);
  }
  if (k == ERROR) {
    DeleteRgn(next);
    return ERROR;
  }
  if (dc->st.clip) DeleteRgn(dc->st.clip);
  dc->st.clip = next;
  return k;
}

int32 GetClipRgn(HDC hdc, HRGN rgn) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !Host_Is_Rgn(rgn)) return -1;
  if (!dc->st.clip) return 0;
  return CombineRgn(rgn, dc->st.clip, nullptr, RGN_COPY) == ERROR ? -1 : 1;
}

int32 GetClipBox(HDC hdc, RECT* out) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !out) return ERROR;
  const HostSurface& s = *dc->st.bitmap;
  RECT box{0, 0, s.width, s.height};
  int32 k = SIMPLEREGION;
  if (dc->st.clip) {
    RECT cb;
    k = GetRgnBox(dc->st.clip, &cb);
    box = RECT{std::max(cb.left, 0), std::max(cb.top, 0), std::min(cb.right, s.width),
               std::min(cb.bottom, s.height)};
    if (box.left >= box.right || box.top >= box.bottom) {
      box = RECT{0, 0, 0, 0};
      k = NULLREGION;
    }
  }
  const int64 ox = int64(dc->st.window_org.x) - dc->st.viewport_org.x;
  const int64 oy = int64(dc->st.window_org.y) - dc->st.viewport_org.y;
  if (k != NULLREGION) *out = RECT{Clamp32(box.left + ox), Clamp32(box.top + oy), Clamp32(box.right + ox), Clamp32(box.bottom + oy)};
  else *out = box;
  return k;
}

int32 IntersectClipRect(HDC hdc, int32 left, int32 top, int32 right, int32 bottom) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return ERROR;
  const RECT d = Dev_Rect(dc, left, top, right, bottom);
  HRGN r = CreateRectRgn(d.left, d.top, d.right, d.bottom);
  if (!r) return ERROR;
  const int32 k = ExtSelectClipRgn(hdc, r, RGN_AND);
  DeleteRgn(r);
  return k;
}

bool RectVisible(HDC hdc, const RECT* r) {
  HostDC* dc = As_DC(hdc);
  if (!dc || !r) return false;
  const HostSurface& s = *dc->st.bitmap;
  RECT d = Dev_Rect(dc, r->left, r->top, r->right, r->bottom);
  d = RECT{std::max(d.left, 0), std::max(d.top, 0), std::min(d.right, s.width), std::min(d.bottom, s.height)};
  if (d.left >= d.right || d.top >= d.bottom) return false;
  return dc->st.clip ? RectInRegion(dc->st.clip, &d) : true;
}

bool PtVisible(HDC hdc, int32 x, int32 y) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  const int64 dx = Dev_X(dc, x), dy = Dev_Y(dc, y);
  const HostSurface& s = *dc->st.bitmap;
  if (dx < 0 || dy < 0 || dx >= s.width || dy >= s.height) return false;
  return dc->st.clip ? PtInRegion(dc->st.clip, int32(dx), int32(dy)) : true;
}

COLORREF GetNearestColor(HDC hdc, COLORREF c) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return CLR_INVALID;
  const HostSurface& s = *dc->st.bitmap;
  return Raw_To_Rgb(s, Color_To_Raw(dc, s, c));
}
