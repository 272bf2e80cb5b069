// Internals shared by the parts of the software GDI (HostGdi*.cpp): raw pixel
// access, colour mapping, the clip walker and the span painter. Not for use
// outside the host layer's drawing code.
#pragma once

#include <algorithm>
#include <cstring>
#include <new>
#include <span>
#include <vector>

#include "host/HostByteOrder.h"
#include "host/HostGdi.h"

namespace hostgdi {

constexpr int32 kMaxPenWidth = 1 << 16;

inline int32 Clamp32(int64 v) {
  return int32(std::clamp<int64>(v, -(int64(1) << 30), int64(1) << 30));
}

// The record of a live drawing object (any kind but regions); NIL for NIL,
// stale, foreign or garbage handles.
HostGdiObject* As_Object(HGDIOBJ obj);
// The same for one kind.
HostDC* As_DC(HDC dc);
HostPen* As_Pen(HPEN pen);
HostBrush* As_Brush(HBRUSH brush);
HostSurface* As_Surface(HBITMAP bm);
HostPalette* As_Palette(HPALETTE pal);
// The handle of a record, typed.
template <class H>
inline H Handle_Of(const HostGdiObject* o) {
  return o ? static_cast<H>(o->handle) : nullptr;
}
inline HDC Handle_Of(const HostDC* dc) { return Handle_Of<HDC>(dc); }
inline HPEN Handle_Of(const HostPen* p) { return Handle_Of<HPEN>(p); }
inline HBRUSH Handle_Of(const HostBrush* b) { return Handle_Of<HBRUSH>(b); }
inline HBITMAP Handle_Of(const HostSurface* s) { return Handle_Of<HBITMAP>(s); }
inline HPALETTE Handle_Of(const HostPalette* p) { return Handle_Of<HPALETTE>(p); }

// A new object of type T with its handle; NIL when out of memory or out of
// handles.
template <class T>
T* New_Object() {
  T* o = new (std::nothrow) T;
  if (o && !o->handle) {
    delete o;
    return nullptr;
  }
  return o;
}

// A surface that owns zeroed pixels (Host_NewSurface, as a record).
HostSurface* New_Surface(int32 width, int32 height, int32 depth, const RGBQUAD* colors, int32 ncolors);

// Logical to device coordinates, without overflow.
inline int64 Dev_X(const HostDC* dc, int64 x) { return x - dc->st.window_org.x + dc->st.viewport_org.x; }
inline int64 Dev_Y(const HostDC* dc, int64 y) { return y - dc->st.window_org.y + dc->st.viewport_org.y; }
// A logical rectangle in device coordinates, corners in order, clamped.
inline RECT Dev_Rect(const HostDC* dc, int32 l, int32 t, int32 r, int32 b) {
  int64 x0 = Dev_X(dc, l), x1 = Dev_X(dc, r), y0 = Dev_Y(dc, t), y1 = Dev_Y(dc, b);
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  return RECT{Clamp32(x0), Clamp32(y0), Clamp32(x1), Clamp32(y1)};
}

uint32 Depth_Mask(int32 depth);

inline uint8* Row_Ptr(const HostSurface& s, int32 y) { return s.bits + int64(y) * s.stride; }

inline uint32 Get_Raw(const HostSurface& s, const uint8* row, int32 x) {
  switch (s.depth) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 8: return row[x];
    case 16: return Load_LE16(row + 2 * x);
    case 24: return uint32(row[3 * x]) | (uint32(row[3 * x + 1]) << 8) | (uint32(row[3 * x + 2]) << 16);
    default: {
      uint32 v;
      std::memcpy(&v, row + 4 * int64(x), 4);
      return v;
    }
  }
}

inline void Put_Raw(const HostSurface& s, uint8* row, int32 x, uint32 v) {
  switch (s.depth) {
    case 1: {
      const uint8 bit = uint8(0x80 >> (x & 7));
      if (v & 1) row[x >> 3] |= bit;
      else row[x >> 3] &= uint8(~bit);
      break;
    }
    case 8: row[x] = uint8(v); break;
    case 16: Store_LE16(row + 2 * x, uint16(v)); break;
    case 24:
      row[3 * x] = uint8(v);
      row[3 * x + 1] = uint8(v >> 8);
      row[3 * x + 2] = uint8(v >> 16);
      break;
    default: std::memcpy(row + 4 * int64(x), &v, 4); break;
  }
}

inline void Fill_Raw(const HostSurface& s, uint8* row, int32 a, int32 b, uint32 v) {
  if (s.depth == 8) {
    std::memset(row + a, int(v & 0xFF), size_t(b - a));
  } else if (s.depth == 32) {
    uint8* p = row + 4 * int64(a);
    for (int32 x = a; x < b; ++x, p += 4) std::memcpy(p, &v, 4);
  } else {
    for (int32 x = a; x < b; ++x) Put_Raw(s, row, x, v);
  }
}

// Colour mapping per surface.
uint32 Nearest_Index(const HostSurface& s, uint8 r, uint8 g, uint8 b);
uint32 Rgb_To_Raw(const HostSurface& s, uint8 r, uint8 g, uint8 b);
COLORREF Raw_To_Rgb(const HostSurface& s, uint32 v);
COLORREF Resolve_Rgb(const HostDC* dc, COLORREF c);
uint32 Color_To_Raw(const HostDC* dc, const HostSurface& s, COLORREF c);
const HostPalette& Default_Palette();

uint32 Rop2(int32 mode, uint32 p, uint32 d);
uint32 Rop3(uint8 code, uint32 p, uint32 s, uint32 d);

// A surface whose pixels are made where drawing first reaches them (a
// printer's page): told of each run of a row just before drawing writes
// it, so that it can put there what the run must find.
class HostLazyPixels {
 public:
  virtual void Need(int32 y, int32 x0, int32 x1) = 0;

 protected:
  ~HostLazyPixels() = default;
};
// Makes lazy the maker of surface's pixels (NIL: none); FALSE for a handle
// that names no surface.
bool Set_Lazy_Pixels(HBITMAP surface, HostLazyPixels* lazy);

// The writable part of a DC's surface: its bounds and clip region (device
// coordinates). For_Each calls fn(a, b) for every visible run of row y
// within [x0, x1).
// Making one for drawing counts a write to the surface (Surface_Writes);
// one made to read the surface (the source of a blit) does not.
struct ClipView {
  HostSurface* surf = nullptr;
  std::span<const pixman_box32_t> boxes;
  bool use_rgn = false;
  HostLazyPixels* lazy = nullptr;
  explicit ClipView(const HostDC* dc, bool reading = false);

  template <class F>
  void For_Each(int64 y, int64 x0, int64 x1, F&& fn) const {
    if (!surf || y < 0 || y >= surf->height) return;
    x0 = std::max<int64>(x0, 0);
    x1 = std::min<int64>(x1, surf->width);
    if (x0 >= x1) return;
    if (!use_rgn) {
      if (lazy) lazy->Need(int32(y), int32(x0), int32(x1));
      fn(int32(x0), int32(x1));
      return;
    }
    // Bands are sorted by y; find the first box whose bottom lies below y.
    auto it = std::upper_bound(boxes.begin(), boxes.end(), y,
                               [](int64 v, const pixman_box32_t& b) { return v < b.y2; });
    for (; it != boxes.end() && it->y1 <= y; ++it) {
      const int64 a = std::max<int64>(x0, it->x1), b = std::min<int64>(x1, it->x2);
      if (a < b) {
        if (lazy) lazy->Need(int32(y), int32(a), int32(b));
        fn(int32(a), int32(b));
      }
      if (it->x1 >= x1) break;
    }
  }
};

// How often drawing went to a surface: grows with every drawing call that
// may have changed its pixels, so that the display knows when a window
// must be shown again. 0 for NIL or a handle that names no surface.
uint64 Surface_Writes(HBITMAP surface);
void Count_Write(const HostSurface* surface);

// What a drawing operation lays down: one raw value, or a pattern of raw
// values aligned to the brush origin (cells marked in `skip` are left alone).
struct Ink {
  bool solid = true;
  uint32 raw = 0;
  int32 w = 0, h = 0;
  int64 org_x = 0, org_y = 0;
  std::vector<uint32> raw_pat;
  std::vector<uint8> skip;
};

bool Make_Solid_Ink(const HostDC* dc, const HostSurface& s, COLORREF c, Ink& ink);
// False for a null brush (nothing to draw).
bool Make_Brush_Ink(const HostDC* dc, const HostSurface& s, const HostBrush* b, Ink& ink);

void Paint_Span(const ClipView& cv, const Ink& ink, int32 rop2, int32 y, int64 x0, int64 x1);
void Paint_Spans(const ClipView& cv, const Ink& ink, int32 rop2, const HostSpanList& spans);
// Paints a region (moved by dx, dy) with the ink.
void Paint_Rgn_Boxes(const ClipView& cv, const Ink& ink, int32 rop2, HRGN rgn, int64 dx, int64 dy);

}  // namespace hostgdi
