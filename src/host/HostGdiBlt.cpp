// Software GDI, part 3: PatBlt, BitBlt, StretchBlt, DIB transfers and
// scrolling. Source pixels are converted to the destination's format first
// (nearest palette entry into indexed surfaces), then the raster operation
// combines raw values.
#include <algorithm>
#include <cstring>

#include "host/HostGdi.h"
#include "host/HostGdiCore.h"

using namespace hostgdi;

namespace {

uint8 Rop_Code(uint32 rop) { return uint8(rop >> 16); }
bool Uses_Src(uint8 c) { return ((c >> 2) & 0x33) != (c & 0x33); }
bool Uses_Pat(uint8 c) { return ((c >> 4) & 0x0F) != (c & 0x0F); }

// The ROP2 mode equal to a ROP3 code that does not use the source.
int32 Rop3_To_Rop2(uint8 c) {
  int32 t4 = 0;
  for (int p = 0; p < 2; ++p)
    for (int d = 0; d < 2; ++d)
      if ((c >> ((p << 2) | d)) & 1) t4 |= 1 << ((p << 1) | d);
  return t4 + 1;
}

bool Same_Table(const HostSurface& a, const HostSurface& b) {
  return a.ncolors == b.ncolors && std::memcmp(a.colors, b.colors, sizeof(RGBQUAD) * size_t(a.ncolors)) == 0;
}

// Source raw value -> destination raw value.
class Converter {
 public:
  Converter(const HostDC* src_dc, const HostSurface& src, const HostDC* dst_dc, const HostSurface& dst)
      : src_(src), dst_(dst) {
    if (src.depth == dst.depth && (src.depth > 8 || Same_Table(src, dst)) && src.mono_ddb == dst.mono_ddb) {
      identity_ = true;
      return;
    }
    if (src.depth <= 8) {
      const int32 n = 1 << src.depth;
      lut_.resize(size_t(n));
      for (int32 v = 0; v < n; ++v) {
        COLORREF c = Raw_To_Rgb(src, uint32(v));
        if (src.mono_ddb && dst.depth > 1 && dst_dc) {
          // Monochrome bitmaps take the destination's colours: 0 = text, 1 = background.
          c = v ? dst_dc->st.bk_color : dst_dc->st.text_color;
          lut_[size_t(v)] = Color_To_Raw(dst_dc, dst, c);
          continue;
        }
        lut_[size_t(v)] = To_Dst(c, src_dc);
      }
      return;
    }
    if (dst.mono_ddb && src_dc) bk_ = Resolve_Rgb(src_dc, src_dc->st.bk_color) & 0xFFFFFF;
    if (dst.depth <= 8) cache_.assign(4096, ~uint64(0));
  }
  uint32 operator()(uint32 v) {
    if (identity_) return v;
    if (!lut_.empty()) return lut_[v & (lut_.size() - 1)];
    const COLORREF c = Raw_To_Rgb(src_, v);
    if (cache_.empty()) return To_Dst(c, nullptr);
    uint64& e = cache_[(c ^ (c >> 12)) & 4095];
    if ((e >> 32) == c) return uint32(e);
    const uint32 r = To_Dst(c, nullptr);
    e = (uint64(c) << 32) | r;
    return r;
  }

 private:
  uint32 To_Dst(COLORREF c, const HostDC*) const {
    if (dst_.mono_ddb && bk_ != CLR_INVALID) return (c & 0xFFFFFF) == bk_ ? 1 : 0;
    return Rgb_To_Raw(dst_, GetRValue(c), GetGValue(c), GetBValue(c));
  }
  const HostSurface& src_;
  const HostSurface& dst_;
  bool identity_ = false;
  COLORREF bk_ = CLR_INVALID;
  std::vector<uint32> lut_;
  std::vector<uint64> cache_;
};

// An axis of a stretch: destination [d0, d0 + dn) from source [s0, s0 + sn),
// mirrored or not. A negative extent e at origin o stands for [o + e, o).
struct Axis {
  int64 d0, dn, s0, sn;
  bool mirror;
};
Axis Make_Axis(int64 d, int64 dext, int64 s, int64 sext) {
  Axis a;
  a.d0 = dext < 0 ? d + dext : d;
  a.dn = dext < 0 ? -dext : dext;
  a.s0 = sext < 0 ? s + sext : s;
  a.sn = sext < 0 ? -sext : sext;
  a.mirror = (dext < 0) != (sext < 0);
  return a;
}
// Source coordinate of destination coordinate v (inside [d0, d0 + dn)).
inline int64 Src_Of(const Axis& a, int64 v) {
  int64 j = (v - a.d0) * a.sn / a.dn;
  if (a.mirror) j = a.sn - 1 - j;
  return a.s0 + j;
}

// The general blit: every visible destination pixel of the two axes gets
// Rop3(P, converted S, D). `src` may be NIL when the code ignores it.
void Blit(const HostDC* dst_dc, const ClipView& cv, const Axis& ax, const Axis& ay, const HostSurface* src,
          const HostDC* src_dc, uint8 code, const Ink* pat) {
  HostSurface& d = *cv.surf;
  if (ax.dn <= 0 || ay.dn <= 0 || (src && (ax.sn <= 0 || ay.sn <= 0))) return;
  const uint32 mask = Depth_Mask(d.depth);
  // Reading from the surface being written: work from a copy of the source rows.
  HostSurface* copy = nullptr;
  int64 copy_y0 = 0;
  if (src && src == cv.surf) {
    const int64 y0 = std::max<int64>(ay.s0, 0), y1 = std::min<int64>(ay.s0 + ay.sn, src->height);
    if (y0 >= y1) return;
    copy = New_Surface(src->width, int32(y1 - y0), src->depth, src->colors, src->ncolors);
    if (!copy) return;
    copy->mono_ddb = src->mono_ddb;
    const size_t rb = size_t((int64(src->width) * src->depth + 7) / 8);
    for (int64 y = y0; y < y1; ++y) std::memcpy(Row_Ptr(*copy, int32(y - y0)), Row_Ptr(*src, int32(y)), rb);
    copy_y0 = y0;
  }
  const HostSurface* s = copy ? copy : src;
  Converter conv(src_dc, src ? *src : d, dst_dc, d);
  const int64 x_lo = std::max<int64>(ax.d0, 0), x_hi = std::min<int64>(ax.d0 + ax.dn, d.width);
  const int64 y_lo = std::max<int64>(ay.d0, 0), y_hi = std::min<int64>(ay.d0 + ay.dn, d.height);
  if (x_lo >= x_hi || y_lo >= y_hi) {
    delete copy;
    return;
  }
  std::vector<int64> col;
  if (s) {
    col.resize(size_t(x_hi - x_lo));
    for (int64 x = x_lo; x < x_hi; ++x) col[size_t(x - x_lo)] = Src_Of(ax, x);
  }
  const bool plain_copy = code == 0xCC && s && !ax.mirror && ax.sn == ax.dn && s->depth == d.depth &&
                          d.depth >= 8 && (d.depth > 8 || Same_Table(*s, d)) && s->mono_ddb == d.mono_ddb;
  for (int64 y = y_lo; y < y_hi; ++y) {
    const uint8* srow = nullptr;
    if (s) {
      const int64 sy = Src_Of(ay, y) - copy_y0;
      if (sy < 0 || sy >= s->height) continue;
      srow = Row_Ptr(*s, int32(sy));
    }
    uint8* drow = Row_Ptr(d, int32(y));
    cv.For_Each(y, x_lo, x_hi, [&](int32 a, int32 b) {
      if (plain_copy) {
        // Straight copy of the part of the run whose source lies on the surface.
        int64 sa = col[size_t(a - x_lo)], sb = sa + (b - a);
        int64 da = a;
        if (sa < 0) {
          da -= sa;
          sa = 0;
        }
        if (sb > s->width) sb = s->width;
        if (sa < sb) {
          const int64 bpp = d.depth / 8;
          std::memmove(drow + da * bpp, srow + sa * bpp, size_t((sb - sa) * bpp));
        }
        return;
      }
      for (int32 x = a; x < b; ++x) {
        uint32 sv = 0, pv = 0;
        if (s) {
          const int64 sx = col[size_t(x - x_lo)];
          if (sx < 0 || sx >= s->width) continue;
          sv = conv(Get_Raw(*s, srow, int32(sx)));
        }
        if (pat) {
          if (pat->solid) {
            pv = pat->raw;
          } else {
            const int64 px = (int64(x) - pat->org_x) % pat->w, py = (y - pat->org_y) % pat->h;
            pv = pat->raw_pat[size_t((py < 0 ? py + pat->h : py) * pat->w + (px < 0 ? px + pat->w : px))];
          }
        }
        const uint32 dv = Get_Raw(d, drow, x);
        Put_Raw(d, drow, x, Rop3(code, pv, sv, dv) & mask);
      }
    });
  }
  delete copy;
}

// A temporary surface over DIB bits described by a header (no copy). Rows
// are presented top-down whatever the header's order.
bool Dib_View(const HostDC* dc, const BITMAPINFO* info, uint32 usage, const void* bits, size_t bits_size,
              HostSurface& v) {
  if (!info || !bits || info->bmiHeader.biSize < 40 || info->bmiHeader.biCompression != BI_RGB ||
      info->bmiHeader.biPlanes != 1)
    return false;
  const int32 depth = info->bmiHeader.biBitCount;
  if (depth != 1 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return false;
  const int64 w = info->bmiHeader.biWidth;
  const int64 h = info->bmiHeader.biHeight < 0 ? -int64(info->bmiHeader.biHeight) : info->bmiHeader.biHeight;
  if (w <= 0 || h <= 0 || w > (1 << 28) || h > (1 << 28)) return false;
  const int64 stride = (w * depth + 31) / 32 * 4;
  if (stride * h > int64(1) << 40 || uint64(stride * h) > bits_size) return false;
  v.width = int32(w);
  v.height = int32(h);
  v.depth = depth;
  auto* base = static_cast<uint8*>(const_cast<void*>(bits));
  if (info->bmiHeader.biHeight < 0) {
    v.bits = base;
    v.stride = int32(stride);
  } else {
    v.bits = base + (h - 1) * stride;
    v.stride = -int32(stride);
  }
  if (depth <= 8) {
    const uint32 cap = 1u << depth;
    const uint32 n = info->bmiHeader.biClrUsed ? std::min(info->bmiHeader.biClrUsed, cap) : cap;
    v.ncolors = int32(n);
    if (usage == DIB_PAL_COLORS) {
      uint16 idx[256];
      std::memcpy(idx, info->bmiColors, sizeof(uint16) * n);
      for (uint32 i = 0; i < n; ++i) {
        const COLORREF c = Resolve_Rgb(dc, PALETTEINDEX(idx[i]));
        v.colors[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
      }
    } else {
      std::memcpy(v.colors, info->bmiColors, sizeof(RGBQUAD) * n);
    }
  }
  return true;
}

// The colour table GetDIBits hands out for a format the bitmap does not have.
void Default_Table(int32 depth, RGBQUAD* colors) {
  if (depth == 1) {
    colors[0] = RGBQUAD{0, 0, 0, 0};
    colors[1] = RGBQUAD{255, 255, 255, 0};
    return;
  }
  // 8 bits: red 3 bits, green 3 bits, blue 2 bits.
  for (int i = 0; i < 256; ++i) {
    const int r = (i >> 5) & 7, g = (i >> 2) & 7, b = i & 3;
    colors[i] = RGBQUAD{uint8(b * 255 / 3), uint8(g * 255 / 7), uint8(r * 255 / 7), 0};
  }
}

}  // namespace

bool PatBlt(HDC hdc, int32 x, int32 y, int32 w, int32 h, uint32 rop) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  const uint8 code = Rop_Code(rop);
  if (Uses_Src(code)) return false;
  ClipView cv(dc);
  if (!cv.surf) return true;
  Ink ink;
  if (Uses_Pat(code) && !Make_Brush_Ink(dc, *cv.surf, dc->st.brush, ink)) return true;
  const Axis ax = Make_Axis(Dev_X(dc, x), w, 0, 0), ay = Make_Axis(Dev_Y(dc, y), h, 0, 0);
  const int32 rop2 = Rop3_To_Rop2(code);
  const int64 y0 = std::max<int64>(ay.d0, 0), y1 = std::min<int64>(ay.d0 + ay.dn, cv.surf->height);
  for (int64 yy = y0; yy < y1; ++yy) Paint_Span(cv, ink, rop2, int32(yy), ax.d0, ax.d0 + ax.dn);
  return true;
}

bool StretchBlt(HDC hdst, int32 x, int32 y, int32 w, int32 h, HDC hsrc, int32 sx, int32 sy, int32 sw, int32 sh,
                uint32 rop) {
  HostDC* dst = As_DC(hdst);
  if (!dst) return false;
  const uint8 code = Rop_Code(rop);
  if (!Uses_Src(code)) return PatBlt(hdst, x, y, w, h, rop);
  HostDC* src = As_DC(hsrc);
  if (!src) return false;
  ClipView cv(dst);
  ClipView scv(src, true);
  if (!cv.surf || !scv.surf) return true;
  Ink pat;
  const Ink* patp = nullptr;
  if (Uses_Pat(code)) {
    if (!Make_Brush_Ink(dst, *cv.surf, dst->st.brush, pat)) return true;
    patp = &pat;
  }
  const Axis ax = Make_Axis(Dev_X(dst, x), w, Dev_X(src, sx), sw);
  const Axis ay = Make_Axis(Dev_Y(dst, y), h, Dev_Y(src, sy), sh);
  Blit(dst, cv, ax, ay, scv.surf, src, code, patp);
  return true;
}

bool BitBlt(HDC dst, int32 x, int32 y, int32 w, int32 h, HDC src, int32 sx, int32 sy, uint32 rop) {
  return StretchBlt(dst, x, y, w, h, src, sx, sy, w, h, rop);
}

int32 StretchDIBits(HDC hdc, int32 x, int32 y, int32 w, int32 h, int32 sx, int32 sy, int32 sw, int32 sh,
                    const void* bits, const BITMAPINFO* info, uint32 usage, uint32 rop, size_t bits_size) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return 0;
  const uint8 code = Rop_Code(rop);
  HostSurface view;
  if (!Dib_View(dc, info, usage, bits, bits_size, view)) return 0;
  ClipView cv(dc);
  if (!cv.surf) return 0;
  Ink pat;
  const Ink* patp = nullptr;
  if (Uses_Pat(code)) {
    if (!Make_Brush_Ink(dc, *cv.surf, dc->st.brush, pat)) return 0;
    patp = &pat;
  }
  Axis ay = Make_Axis(Dev_Y(dc, y), h, sy, sh);
  if (info->bmiHeader.biHeight > 0) {
    // Bottom-up DIB: source rows are counted from the bottom edge.
    ay.s0 = int64(view.height) - ay.s0 - ay.sn;
  }
  const Axis ax = Make_Axis(Dev_X(dc, x), w, sx, sw);
  Blit(dc, cv, ax, ay, Uses_Src(code) ? &view : nullptr, nullptr, code, patp);
  return int32(std::min<int64>(ay.sn, INT32_MAX));
}

int32 GetDIBits(HDC dc, HBITMAP hbm, uint32 start, uint32 lines, void* bits, BITMAPINFO* info, uint32 usage,
                size_t bits_size) {
  HostSurface* bm = As_Surface(hbm);
  if (!bm || !info || !bm->bits) return 0;
  BITMAPINFOHEADER& hd = info->bmiHeader;
  const int32 depth = hd.biBitCount;
  if (hd.biSize < 40 || hd.biCompression != BI_RGB || hd.biPlanes != 1 ||
      (depth != 1 && depth != 8 && depth != 16 && depth != 24 && depth != 32))
    return 0;
  const int64 H = hd.biHeight < 0 ? -int64(hd.biHeight) : hd.biHeight;
  if (hd.biWidth != bm->width || H != bm->height) return 0;
  const int64 stride = (int64(bm->width) * depth + 31) / 32 * 4;
  hd.biSizeImage = uint32(std::min<int64>(stride * H, UINT32_MAX));
  HostSurface target;
  target.depth = depth;
  target.width = bm->width;
  if (depth <= 8) {
    if (bm->depth == depth) {
      target.ncolors = bm->ncolors;
      std::memcpy(target.colors, bm->colors, sizeof(target.colors));
    } else {
      target.ncolors = 1 << depth;
      Default_Table(depth, target.colors);
    }
    if (usage == DIB_RGB_COLORS) {
      std::memset(info->bmiColors, 0, sizeof(RGBQUAD) << depth);
      std::memcpy(info->bmiColors, target.colors, sizeof(RGBQUAD) * size_t(target.ncolors));
    }
    hd.biClrUsed = 0;
  }
  if (!bits) return int32(H);
  if (start >= uint64(H)) return 0;
  const int64 n = std::min<int64>(lines, H - start);
  if (uint64(n * stride) > bits_size) return 0;
  target.height = int32(n);
  target.stride = int32(stride);
  target.bits = static_cast<uint8*>(bits);
  Converter conv(As_DC(dc), *bm, nullptr, target);
  for (int64 k = 0; k < n; ++k) {
    const int64 scan = int64(start) + k;
    const int64 row = hd.biHeight < 0 ? scan : H - 1 - scan;
    const uint8* srow = Row_Ptr(*bm, int32(row));
    uint8* drow = Row_Ptr(target, int32(k));
    std::memset(drow, 0, size_t(stride));
    for (int32 x = 0; x < bm->width; ++x) Put_Raw(target, drow, x, conv(Get_Raw(*bm, srow, x)));
  }
  return int32(n);
}

int32 SetDIBits(HDC dc, HBITMAP hbm, uint32 start, uint32 lines, const void* bits, const BITMAPINFO* info,
                uint32 usage, size_t bits_size) {
  HostSurface* bm = As_Surface(hbm);
  if (!bm || !info || !bm->bits || bm->stock) return 0;
  const BITMAPINFOHEADER& hd = info->bmiHeader;
  const int64 H = hd.biHeight < 0 ? -int64(hd.biHeight) : hd.biHeight;
  if (hd.biWidth != bm->width || H != bm->height) return 0;
  if (start >= uint64(H)) return 0;
  const int64 n = std::min<int64>(lines, H - start);
  // View the given scan lines as a DIB of n rows in the header's order.
  BITMAPINFO part = *info;
  part.bmiHeader.biHeight = hd.biHeight < 0 ? -int32(n) : int32(n);
  HostSurface view;
  if (!Dib_View(As_DC(dc), &part, usage, bits, bits_size, view)) return 0;
  Converter conv(nullptr, view, As_DC(dc), *bm);
  for (int64 k = 0; k < n; ++k) {
    const int64 scan = int64(start) + k;
    const int64 row = hd.biHeight < 0 ? scan : H - 1 - scan;
    // Row k of the part in the header's order is view row k (top-down) or n-1-k (bottom-up).
    const uint8* srow = Row_Ptr(view, int32(hd.biHeight < 0 ? k : n - 1 - k));
    uint8* drow = Row_Ptr(*bm, int32(row));
    for (int32 x = 0; x < bm->width; ++x) Put_Raw(*bm, drow, x, conv(Get_Raw(view, srow, x)));
  }
  return int32(n);
}

bool ScrollDC(HDC hdc, int32 dx, int32 dy, const RECT* scroll, const RECT* clip, HRGN update_rgn, RECT* update_rect) {
  HostDC* dc = As_DC(hdc);
  if (!dc) return false;
  ClipView cv(dc);
  if (!cv.surf) return false;
  HostSurface& s = *cv.surf;
  RECT area{0, 0, s.width, s.height};
  auto sect = [](RECT a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  };
  if (scroll) area = sect(area, Dev_Rect(dc, scroll->left, scroll->top, scroll->right, scroll->bottom));
  if (clip) area = sect(area, Dev_Rect(dc, clip->left, clip->top, clip->right, clip->bottom));
  const bool empty = area.left >= area.right || area.top >= area.bottom;
  RECT moved{0, 0, 0, 0};
  if (!empty) {
    const RECT shifted{Clamp32(int64(area.left) + dx), Clamp32(int64(area.top) + dy), Clamp32(int64(area.right) + dx),
                       Clamp32(int64(area.bottom) + dy)};
    moved = sect(area, shifted);
  }
  if (moved.left < moved.right && moved.top < moved.bottom) {
    std::vector<uint32> buf(size_t(moved.right - moved.left));
    const bool down = dy > 0;
    for (int64 i = 0; i < moved.bottom - moved.top; ++i) {
      const int64 y = down ? moved.bottom - 1 - i : moved.top + i;
      const uint8* srow = Row_Ptr(s, int32(y - dy));
      for (int64 x = moved.left; x < moved.right; ++x) buf[size_t(x - moved.left)] = Get_Raw(s, srow, int32(x - dx));
      uint8* drow = Row_Ptr(s, int32(y));
      cv.For_Each(y, moved.left, moved.right, [&](int32 a, int32 b) {
        for (int32 x = a; x < b; ++x) Put_Raw(s, drow, x, buf[size_t(x - moved.left)]);
      });
    }
  }
  // The uncovered part, in logical coordinates.
  HRGN upd = CreateRectRgn(0, 0, 0, 0);
  if (upd && !empty) {
    HRGN a = CreateRectRgn(area.left, area.top, area.right, area.bottom);
    HRGN m = CreateRectRgn(moved.left, moved.top, std::max(moved.left, moved.right), std::max(moved.top, moved.bottom));
    if (a && m) CombineRgn(upd, a, m, RGN_DIFF);
    DeleteRgn(a);
    DeleteRgn(m);
    OffsetRgn(upd, dc->st.window_org.x - dc->st.viewport_org.x, dc->st.window_org.y - dc->st.viewport_org.y);
  }
  if (update_rgn && upd) CombineRgn(update_rgn, upd, nullptr, RGN_COPY);
  if (update_rect) {
    *update_rect = RECT{0, 0, 0, 0};
    if (upd) GetRgnBox(upd, update_rect);
  }
  DeleteRgn(upd);
  return true;
}
