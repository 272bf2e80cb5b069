#include "pixel/SysBlt.h"

#include <algorithm>
#include <cstring>

#include "pixel/Asm32Blt.h"
#include "pixel/DrawUtil.h"
#include "pixel/Fast.h"
#include "pixel/FastFill.h"
#include "pixel/SysPixXform.h"
#include "platform/QDRect.h"
#include "platform/SysErr.h"
#include "platform/SysPrint.h"
#include "platform/SysInfo.h"
#include "platform/SysMS.h"
#include "platform/SysRgn.h"
#include "platform/SysVideo.h"

GWorldPtr ss_off = nullptr;
Rect ss_box = {0, 0, 0, 0};

namespace {

// Raster operations of the transfer modes srcCopy .. notSrcBic.
constexpr uint32 kModeRop[8] = {SRCCOPY, SRCPAINT, SRCINVERT, 0x00220326, NOTSRCCOPY, MERGEPAINT, 0x00990066, SRCAND};

bool Has_Rop(int16 mode) { return mode >= srcCopy && mode <= notSrcBic; }

// A pixel map that lives for one call.
struct Temp_Map {
  PixMap pm{};
  Temp_Map(const Rect& bounds, int16 depth, CTabHandle ctab) { New_PixMap(pm, bounds, depth, ctab); }
  ~Temp_Map() { Dispose_PixMap(pm); }
  Temp_Map(const Temp_Map&) = delete;
  Temp_Map& operator=(const Temp_Map&) = delete;
  bool ok() const { return pm.baseAddr != nullptr; }
  PixMapPtr get() { return &pm; }
};

// The drawing state whose colours 1-bit sources are drawn in: the current
// world's, else the current port's.
a_shadow_rec* Colour_State() {
  if (theGWorld) return &theGWorld->shadow;
  if (theShadow) return theShadow;
  QUIT();
  return nullptr;
}

// A drawing-state colour as plain RGB: palette-index forms (the colours of
// 8-bit worlds) are looked up in the main colour table by their index.
a_win_color Rgb_Colour(a_win_color c, uint8 index) {
  if (c.a == 0) return c;
  const a_win_pixel32 m = g_video.main_colors32[index];
  a_win_color out;
  out.r = m.r;
  out.g = m.g;
  out.b = m.b;
  out.a = 0;
  return out;
}

uint16 To_L555(a_win_color c) {
  a_pixel32 p;
  p.b = c.b;
  p.g = c.g;
  p.r = c.r;
  p.a = c.a;
  return RGB32_To_RGB16(p);
}

int16 Blend_Value(int16 mode) {
  if (mode != blend) return 255;
  return theShadow ? int16(std::min<uint16>(theShadow->opacity, 255)) : 255;
}

// The 256 colours of an 8-bit source. Every entry is opaque: a table has
// no alpha, and the 8-to-32 kernel copies whole entries.
void CTabHandle_To_Map(a_8_to_32_mapping& map, CTabHandle ctab) {
  const CTabPtr t = CTab_Ptr(ctab);
  for (int i = 0; i < 256; ++i) {
    a_pixel32 p;
    p.raw = 0;
    if (t && i <= t->ctSize) {
      p.r = uint8(t->ctTable[i].rgb.red >> 8);
      p.g = uint8(t->ctTable[i].rgb.green >> 8);
      p.b = uint8(t->ctTable[i].rgb.blue >> 8);
    }
    p.a = 255;
    map[i] = p;
  }
}

void Colour_Map_Of(const PixMap* src, a_8_to_32_mapping& map) {
  if (src->pmTable == nullptr) {
    // The main table's fourth byte is a matching flag, not an alpha.
    for (int i = 0; i < 256; ++i) {
      map[i] = g_video.main_colors32[i];
      map[i].a = 255;
    }
    return;
  }
  CTabHandle_To_Map(map, src->pmTable);
}

// The destination of a kernel call, cut to the bounding box of a clip.
// Maps of 8 bits and more get a view: a record over the same memory whose
// bounds are the box, so the kernels' own edge clipping keeps every pixel
// where the unclipped copy would put it (a scaled copy samples the same
// source pixels, a same-size copy moves the source with the destination).
// 1-bit maps cannot start a view inside a byte: they get a temporary copy of
// the box that is drawn into and copied back.
class Clip_Target {
 public:
  Clip_Target(PixMapPtr dst, const Rect& dst_rect, RgnHandle clip) : dst_(dst) {
    if (clip == nullptr) return;
    clipped_ = true;
    Rect cb;
    Rgn_GetBounds(clip, cb);
    Rect box{0, 0, 0, 0};
    Rect part;
    if (SectRect(cb, dst->bounds, part)) SectRect(part, dst_rect, box);
    if (dst->pixelSize == 1) {
      New_PixMap(temp_, box, 1, dst->pmTable);
      if (temp_.baseAddr) Asm32_Blt11_Simple(dst, &temp_, &box, &box, srcCopy);
      box_ = box;
      return;
    }
    view_ = *dst;
    if (EmptyRect(box)) {
      view_.bounds = Rect{0, 0, 0, 0};
      return;
    }
    const uint32 stride = PixMap_RowBytes(dst);
    const uint32 bpp = uint32(dst->pixelSize) / 8;
    const size_t offset = size_t(int32(box.top) - dst->bounds.top) * stride +
                          size_t(int32(box.left) - dst->bounds.left) * bpp;
    view_.baseAddr = dst->baseAddr ? dst->baseAddr + offset : nullptr;
    view_.bounds = box;
  }
  ~Clip_Target() { Dispose_PixMap(temp_); }
  Clip_Target(const Clip_Target&) = delete;
  Clip_Target& operator=(const Clip_Target&) = delete;

  PixMapPtr map() {
    if (!clipped_) return dst_;
    return dst_->pixelSize == 1 ? &temp_ : &view_;
  }
  // Copies a 1-bit temporary back into the destination.
  void Finish() {
    if (clipped_ && dst_->pixelSize == 1 && temp_.baseAddr) Asm32_Blt11_Simple(&temp_, dst_, &box_, &box_, srcCopy);
  }

 private:
  PixMapPtr dst_;
  bool clipped_ = false;
  PixMap view_{};
  PixMap temp_{};
  Rect box_{0, 0, 0, 0};
};

// Two steps for depth pairs whose converting kernel serves equal sizes only:
// scale in the source depth into a temporary of the destination rectangle
// (only the part inside the destination map), then convert at equal size.
template <class Convert>
void Two_Steps(PixMapPtr src, PixMapPtr dst, const Rect& sr, const Rect& dr, int16 mode, Convert convert) {
  Rect part{0, 0, 0, 0};
  SectRect(dr, dst->bounds, part);
  Temp_Map tmp(part, src->pixelSize, nullptr);
  if (!tmp.ok()) return;
  if (src->pixelSize == 16)
    Asm32_Blt_16_16(src, tmp.get(), &sr, &dr, srcCopy, 0);
  else
    Asm32_Blt_32_32(src, tmp.get(), &sr, &dr, srcCopy, 0);
  convert(tmp.get(), dst, &dr, &dr, mode);
}

// A transfer mode that no kernel serves for the pair of depths: nothing is
// drawn. The program's callers never ask for one; a debug build stops at
// the internal error so that a caller that does is found at once, where a
// release build would only leave its picture out.
void Unserved_Mode() {
#ifndef NDEBUG
  QUIT();
#endif
}

// The modes the like-depth kernel of a depth serves (Asm32Blt.h).
bool Like_Depth_Serves(int16 depth, int16 mode) {
  if (depth != 8 && depth != 16 && depth != 24 && depth != 32) return false;
  if (Has_Rop(mode) || mode == transparent) return true;
  if (mode == blend) return depth == 16 || depth == 32;
  return mode == ALPHA && depth == 32;
}

void Blt_Maps(PixMapPtr src, PixMapPtr dst, const Rect& sr, const Rect& dr, int16 mode);

// A mode the converting kernel of a depth pair does not serve, where the
// destination's like-depth kernel does: the source is first converted into
// a temporary of the destination depth (only the part of the destination
// rectangle inside the map), then combined at equal size.
void Convert_Then_Combine(PixMapPtr src, PixMapPtr dst, const Rect& sr, const Rect& dr, int16 mode) {
  Rect part{0, 0, 0, 0};
  if (!SectRect(dr, dst->bounds, part)) return;
  Temp_Map tmp(part, dst->pixelSize, dst->pmTable);
  if (!tmp.ok()) return;
  Blt_Maps(src, tmp.get(), sr, dr, srcCopy);
  Blt_Maps(tmp.get(), dst, dr, dr, mode);
}

// The kernel choice of Pix_To_Pix, on a destination already cut to the clip.
void Blt_Maps(PixMapPtr src, PixMapPtr dst, const Rect& sr, const Rect& dr, int16 mode) {
  const bool same = EqualRectSize(sr, dr);
  const int16 sd = src->pixelSize, dd = dst->pixelSize;
  const int16 bv = Blend_Value(mode);
  // Between deeper maps of different depths the converting kernels serve
  // srcCopy and transparent; other modes are served through a temporary
  // where the destination's like-depth kernel serves them.
  if (sd != dd && sd != 1 && mode != srcCopy && mode != transparent) {
    const bool converts = (sd == 8 && (dd == 24 || dd == 32)) || (sd == 16 && (dd == 24 || dd == 32)) ||
                          (sd == 24 && dd == 16) || (sd == 32 && (dd == 24 || dd == 16));
    if (!converts) {
      QUIT();
      return;
    }
    if (!Like_Depth_Serves(dd, mode)) {
      Unserved_Mode();
      return;
    }
    Convert_Then_Combine(src, dst, sr, dr, mode);
    return;
  }
  if (sd == dd && sd != 1 && !Like_Depth_Serves(sd, mode)) {
    if (sd == 8 || sd == 16 || sd == 24 || sd == 32)
      Unserved_Mode();
    else
      QUIT();
    return;
  }
  switch (sd) {
    case 1: {
      if (dd == 1) {
        if (!Has_Rop(mode)) {
          Unserved_Mode();
        } else if (same) {
          Asm32_Blt11_Simple(src, dst, &sr, &dr, mode);
        } else if (mode == srcCopy) {
          Asm32_Blt11_Scaled(src, dst, &sr, &dr);
        } else {
          QUIT();
        }
        return;
      }
      if (dd != 8 && dd != 16 && dd != 24 && dd != 32) {
        QUIT();
        return;
      }
      if (!same && dd != 8) {
        QUIT();
        return;
      }
      if (mode != srcCopy && mode != srcOr && mode != srcBic) {
        Unserved_Mode();
        return;
      }
      a_shadow_rec* st = Colour_State();
      if (!st) return;
      const a_win_color zero = Rgb_Colour(st->back_color, st->back_colorx);
      const a_win_color one = Rgb_Colour(st->fore_color, st->fore_colorx);
      switch (dd) {
        case 32: Asm32_Blt_1_32(src, dst, &sr, &dr, mode, zero, one); return;
        case 24: Asm32_Blt_1_24(src, dst, &sr, &dr, mode, zero, one); return;
        case 16: Asm32_Blt_1_16(src, dst, &sr, &dr, mode, To_L555(zero), To_L555(one)); return;
        default: break;
      }
      if (same) {
        Asm32_Blt18_Simple(src, dst, &sr, &dr, mode, st->back_colorx, st->fore_colorx);
        return;
      }
      if (mode != srcCopy) {
        // Scale the bits first, so that only set bits paint.
        Temp_Map bits(dr, 1, nullptr);
        if (!bits.ok()) return;
        Asm32_Blt11_Scaled(src, bits.get(), &sr, &dr);
        Asm32_Blt18_Simple(bits.get(), dst, &dr, &dr, mode, st->back_colorx, st->fore_colorx);
        return;
      }
      // Expand to 8 bits at the source size, then scale 8 to 8.
      Temp_Map tmp(sr, 8, dst->pmTable);
      if (!tmp.ok()) return;
      Asm32_Blt18_Simple(src, tmp.get(), &sr, &sr, srcCopy, st->back_colorx, st->fore_colorx);
      Blt_Maps(tmp.get(), dst, sr, dr, mode);
      return;
    }
    case 8: {
      if (dd == 8) {
        Asm32_Blt88(src, dst, &sr, &dr, mode, nullptr);
        return;
      }
      if (dd != 24 && dd != 32) {
        QUIT();
        return;
      }
      a_8_to_32_mapping map;
      Colour_Map_Of(src, map);
      if (dd == 24)
        Asm32_Blt_8_24(src, dst, &sr, &dr, mode, map);
      else
        Asm32_Blt_8_32(src, dst, &sr, &dr, mode, map);
      return;
    }
    case 16:
      if (dd == 16) {
        Asm32_Blt_16_16(src, dst, &sr, &dr, mode, bv);
      } else if (dd == 24) {
        if (same)
          Asm32_Blt_16_24(src, dst, &sr, &dr, mode);
        else
          Two_Steps(src, dst, sr, dr, mode, Asm32_Blt_16_24);
      } else if (dd == 32) {
        if (same)
          Asm32_Blt_16_32(src, dst, &sr, &dr, mode);
        else
          Two_Steps(src, dst, sr, dr, mode, Asm32_Blt_16_32);
      } else {
        QUIT();
      }
      return;
    case 24:
      if (dd == 24)
        Asm32_Blt_24_24(src, dst, &sr, &dr, mode);
      else if (dd == 16)
        Asm32_Blt_24_16(src, dst, &sr, &dr, mode);
      else
        QUIT();
      return;
    case 32:
      if (dd == 32) {
        Asm32_Blt_32_32(src, dst, &sr, &dr, mode, bv);
      } else if (dd == 24) {
        Asm32_Blt_32_24(src, dst, &sr, &dr, mode);
      } else if (dd == 16) {
        if (same)
          Asm32_Blt_32_16(src, dst, &sr, &dr, mode);
        else
          Two_Steps(src, dst, sr, dr, mode, Asm32_Blt_32_16);
      } else {
        QUIT();
      }
      return;
    default:
      QUIT();
  }
}

// The kernel choice of Pix_To_PixM (1-bit or 8-bit mask), on a destination
// already cut to the clip.
void Masked_Maps(PixMapPtr src, PixMapPtr mask, PixMapPtr dst, const Rect& sr, const Rect& mr, const Rect& dr) {
  const int16 sd = src->pixelSize, dd = dst->pixelSize, md = mask->pixelSize;
  if (sd == dd) {
    if (md == 1) {
      switch (sd) {
        case 1: CopyMask1(src, mask, dst, sr, mr, dr); return;
        case 8: Asm32_CopyMask_8_8(src, mask, dst, &sr, &mr, &dr, nullptr); return;
        case 16: Asm32_CopyMask_16_16(src, mask, dst, &sr, &mr, &dr, nullptr); return;
        case 24: Asm32_CopyMask_24_24(src, mask, dst, &sr, &mr, &dr, nullptr); return;
        case 32: Asm32_CopyMask_32_32(src, mask, dst, &sr, &mr, &dr, nullptr); return;
        default: QUIT(); return;
      }
    }
    if (md == 8 && sd == 24) {
      Asm32_DeepMask_24_24(src, mask, dst, &sr, &mr, &dr);
      return;
    }
    if (md == 8 && sd == 32) {
      Asm32_DeepMask_32_32(src, mask, dst, &sr, &mr, &dr);
      return;
    }
    QUIT();
    return;
  }
  if (sd == 24 && dd == 16) {
    if (md == 1)
      Asm32_CopyMask_24_16(src, mask, dst, &sr, &mr, &dr, nullptr);
    else
      QUIT();
    return;
  }
  // Convert the source to the destination's depth first.
  Temp_Map tmp(sr, dd, dst->pmTable);
  if (!tmp.ok()) return;
  Blt_Maps(src, tmp.get(), sr, sr, srcCopy);
  Masked_Maps(tmp.get(), mask, dst, sr, mr, dr);
}

// --- Device contexts ---------------------------------------------------------------

// A map ready for StretchDIBits, whose rows must be laid out as a DIB of
// its width (padded to 4 bytes): the map itself, or a copy in that layout
// that is freed on leaving.
struct Dib_Source {
  PixMap storage{};
  const PixMap* pm = nullptr;
  explicit Dib_Source(const PixMap* src) {
    const int32 w = std::max<int32>(0, int32(src->bounds.right) - src->bounds.left);
    const int32 h = std::max<int32>(0, int32(src->bounds.bottom) - src->bounds.top);
    const uint32 want = PixMap_Calc_RowBytes(w, src->pixelSize);
    const uint32 have = PixMap_RowBytes(src);
    if (have == want || src->baseAddr == nullptr) {
      pm = src;
      return;
    }
    New_PixMap(storage, src->bounds, src->pixelSize, src->pmTable);
    if (!storage.baseAddr) return;
    const uint32 n = std::min(want, have);
    for (int32 y = 0; y < h; ++y)
      std::memcpy(storage.baseAddr + size_t(y) * want, src->baseAddr + size_t(y) * have, n);
    pm = &storage;
  }
  ~Dib_Source() { Dispose_PixMap(storage); }
  Dib_Source(const Dib_Source&) = delete;
  Dib_Source& operator=(const Dib_Source&) = delete;
};

// StretchDIBits from `pix` (rectangle sr relative to the map's top-left)
// into dr of the context, both with positive extents: the map is a top-down
// DIB, so source row 0 is its top row.
void My_StretchDIBits(HDC hdc, const Rect& dr, const Rect& sr, const PixMap* pix, const BITMAPINFO& bmi,
                      uint32 kind, uint32 rop) {
  if (!pix || !pix->baseAddr) return;
  StretchDIBits(hdc, dr.left, dr.top, int32(dr.right) - dr.left, int32(dr.bottom) - dr.top, sr.left, sr.top,
                int32(sr.right) - sr.left, int32(sr.bottom) - sr.top, pix->baseAddr, &bmi, kind, rop,
                PixMap_Len(*pix));
}

// A clip region (logical coordinates of the context) selected into a
// context for one copy, within whatever clip the context already has; the
// context's state is restored on leaving.
class Dc_Clip {
 public:
  Dc_Clip(HDC dc, RgnHandle clip) : dc_(dc) {
    if (!dc || !clip) return;
    saved_ = SaveDC(dc);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    if (!copy) return;
    CombineRgn(copy, clip, nullptr, RGN_COPY);
    POINT wo{0, 0}, vo{0, 0};
    GetWindowOrgEx(dc, &wo);
    GetViewportOrgEx(dc, &vo);
    OffsetRgn(copy, vo.x - wo.x, vo.y - wo.y);
    HRGN old = CreateRectRgn(0, 0, 0, 0);
    if (old && GetClipRgn(dc, old) == 1) CombineRgn(copy, copy, old, RGN_AND);
    if (old) DeleteRgn(old);
    SelectClipRgn(dc, copy);
    DeleteRgn(copy);
  }
  ~Dc_Clip() {
    if (saved_ > 0) RestoreDC(dc_, saved_);
  }
  Dc_Clip(const Dc_Clip&) = delete;
  Dc_Clip& operator=(const Dc_Clip&) = delete;

 private:
  HDC dc_;
  int32 saved_ = 0;
};

Rect Relative_To(const Rect& r, const PixMap* pm) {
  Rect out = r;
  OffsetRect(out, int16(-pm->bounds.left), int16(-pm->bounds.top));
  return out;
}

GWorldPtr World_Or_Current(GWorldPtr w) { return w ? w : theGWorld; }

// The pixels of a context under r (its logical coordinates) copied into
// map, a 32-bit map whose bounds have r's size. FALSE when nothing could be
// read.
bool Read_Context(HDC hdc, PixMap& map, const Rect& r) {
  const int32 w = int32(r.right) - r.left, h = int32(r.bottom) - r.top;
  if (w <= 0 || h <= 0 || map.baseAddr == nullptr || map.pixelSize != 32) return false;
  HBITMAP wrap = Host_WrapSurface(map.baseAddr, w, h, 32, int32(PixMap_RowBytes(map)), nullptr, 0);
  if (!wrap) return false;
  HDC mdc = CreateCompatibleDC(hdc);
  bool ok = false;
  if (mdc) {
    HGDIOBJ old = SelectObject(mdc, wrap);
    ok = BitBlt(mdc, 0, 0, w, h, hdc, r.left, r.top, SRCCOPY);
    SelectObject(mdc, old);
    DeleteDC(mdc);
  }
  DeleteObject(wrap);
  return ok;
}

// A window takes only the raster operations. Any other mode (alpha, blend,
// transparency of a source that is not 32 bits deep) is combined offscreen:
// the window's pixels under the destination are read into a world of its
// own, the source is combined with them there by the kernels, and the
// result goes back to the window as a plain copy.
void Combine_Offscreen(PixMapPtr src, HDC dst_hdc, const Rect& src_rect, const Rect& dst_rect, int16 mode,
                       RgnHandle clip) {
  if (dst_rect.right <= dst_rect.left || dst_rect.bottom <= dst_rect.top) return;
  Temp_Map back(dst_rect, 32, nullptr);
  if (!back.ok() || !Read_Context(dst_hdc, back.pm, dst_rect)) return;
  Pix_To_Pix(src, back.get(), src_rect, dst_rect, mode, nullptr);
  Pix_To_Win(back.get(), dst_hdc, dst_rect, dst_rect, srcCopy, clip);
}

}  // namespace

// --- Module life ----------------------------------------------------------------------

void SysBlt_Init() {
  // The printer takes 24-bit worlds: a 16-bit one is blitted into one first.
  g_print_blit_proc = Port_To_Port;
  ss_off = nullptr;
  ss_box = Rect{0, 0, 0, 0};
}

void SysBlt_Stop() {
  Dispose_GWorld(ss_off);
  ss_box = Rect{0, 0, 0, 0};
}

// --- Copies between holders -------------------------------------------------------

void Pix_To_Pix(PixMapPtr src, PixMapPtr dst, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip) {
  if (!src || !dst) {
    QUIT();
    return;
  }
  if (mode == ditherCopy && !EqualRectSize(src_rect, dst_rect) && clip == nullptr) {
    const int16 sd = src->pixelSize, dd = dst->pixelSize;
    const bool levels = sd == 8 && dd == 8 && src->pmTable != nullptr &&
                        (src->pmTable == gray_ctable || src->pmTable == gray_ctable2);
    if ((sd == 32 && dd == 32) || levels) {
      Bicubic_Blt(src, dst, src_rect, dst_rect);
      return;
    }
  }
  if (mode == ditherCopy) mode = srcCopy;
  Clip_Target target(dst, dst_rect, clip);
  Blt_Maps(src, target.map(), src_rect, dst_rect, mode);
  target.Finish();
}

void Pix_To_Port(PixMapPtr src, GWorldPtr dst, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip) {
  dst = World_Or_Current(dst);
  if (dst) {
    Pix_To_Pix(src, &dst->pix, src_rect, dst_rect, mode, clip);
    return;
  }
  Pix_To_Win(src, theHDC, src_rect, dst_rect, mode, clip);
}

void Port_To_Pix(GWorldPtr src, PixMapPtr dst, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip) {
  src = World_Or_Current(src);
  if (src) {
    Pix_To_Pix(&src->pix, dst, src_rect, dst_rect, mode, clip);
    return;
  }
  Win_To_Pix(theHDC, dst, src_rect, dst_rect, mode);
}

void Port_To_Port(GWorldPtr src, GWorldPtr dst, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip) {
  src = World_Or_Current(src);
  dst = World_Or_Current(dst);
  if (!src && !dst) {
    Win_To_Win(theHDC, theHDC, src_rect, dst_rect, mode, clip);
    return;
  }
  if (!src) {
    Win_To_Win(theHDC, Get_GWorld_HDC(dst), src_rect, dst_rect, mode, clip);
    return;
  }
  if (!dst) {
    Pix_To_Win(&src->pix, theHDC, src_rect, dst_rect, mode, clip);
    return;
  }
  const int16 gdi_mode = mode == ditherCopy ? srcCopy : mode;
  if (clip && Has_Rop(gdi_mode)) {
    // Through GDI, so the region's own shape clips the copy.
    HDC dc = Get_GWorld_HDC(dst);
    Dib_Source ds(&src->pix);
    if (!dc || !ds.pm) return;
    BITMAPINFO bmi;
    Calc_RGB_DIB(bmi, *ds.pm);
    Dc_Clip dcc(dc, clip);
    My_StretchDIBits(dc, dst_rect, Relative_To(src_rect, &src->pix), ds.pm, bmi, DIB_RGB_COLORS,
                     kModeRop[gdi_mode]);
    return;
  }
  Pix_To_Pix(&src->pix, &dst->pix, src_rect, dst_rect, mode, clip);
}

void Port_To_Port_Matrix(GWorldPtr src_w, GWorldPtr dst_w, Rect src_rect, const MatrixRecord* matrix,
                         RgnHandle clip) {
  if (!src_w || !dst_w || !matrix) {
    QUIT();
    return;
  }
  const PixMap& s = src_w->pix;
  const PixMap& d = dst_w->pix;
  if (s.pixelSize != d.pixelSize || s.pixelSize == 1) {
    QUIT();
    return;
  }
  Rect limit = d.bounds;
  if (clip) {
    Rect cb, part;
    Rgn_GetBounds(clip, cb);
    if (!SectRect(cb, d.bounds, part)) return;
    limit = part;
  }
  const bool smooth = s.pixelSize == 32 ||
                      (s.pixelSize == 8 && s.pmTable && (s.pmTable == gray_ctable || s.pmTable == gray_ctable2));
  Matrix_Blt(&s, &d, src_rect, *matrix, limit, smooth);
}

void Pix_To_Win(PixMapPtr src, HDC dst_hdc, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip) {
  if (!src || !dst_hdc) {
    QUIT();
    return;
  }
  if (mode == transparent) {
    if (src->pixelSize != 32) {
      Combine_Offscreen(src, dst_hdc, src_rect, dst_rect, mode, clip);
      return;
    }
    Temp_Map full(src_rect, 32, nullptr);
    Temp_Map mask(src_rect, 1, mono_ctable);
    if (!full.ok() || !mask.ok()) return;
    Pix_To_Pix(src, full.get(), src_rect, src_rect, srcCopy, nullptr);
    PixMap32_To_1(full.get(), mask.get());
    Pix_To_WinM(full.get(), mask.get(), dst_hdc, src_rect, src_rect, dst_rect, clip);
    return;
  }
  if (mode == ditherCopy) mode = srcCopy;
  if (!Has_Rop(mode)) {
    Combine_Offscreen(src, dst_hdc, src_rect, dst_rect, mode, clip);
    return;
  }
  Dib_Source ds(src);
  if (!ds.pm) return;
  const Rect sr = Relative_To(src_rect, src);
  Dc_Clip dcc(dst_hdc, clip);
  BITMAPINFO bmi;
  Calc_RGB_DIB(bmi, *ds.pm);
  if (mode == srcOr && src->pixelSize == 1) {
    // Set bits paint the fore colour, clear bits leave the destination:
    // clear under the set bits (white / black table, AND), then OR in the
    // colour (black / fore colour table).
    My_StretchDIBits(dst_hdc, dst_rect, sr, ds.pm, bmi, DIB_RGB_COLORS, SRCAND);
    a_win_color fore{};
    if (theShadow) fore = Rgb_Colour(theShadow->fore_color, theShadow->fore_colorx);
    bmi.bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    bmi.bmiColors[1] = RGBQUAD{fore.b, fore.g, fore.r, 0};
    My_StretchDIBits(dst_hdc, dst_rect, sr, ds.pm, bmi, DIB_RGB_COLORS, SRCPAINT);
    return;
  }
  My_StretchDIBits(dst_hdc, dst_rect, sr, ds.pm, bmi, DIB_RGB_COLORS, kModeRop[mode]);
}

void Win_To_Win(HDC src_hdc, HDC dst_hdc, Rect src_rect, Rect dst_rect, int16 mode, RgnHandle clip) {
  if (!src_hdc || !dst_hdc) {
    QUIT();
    return;
  }
  if (mode == ditherCopy) mode = srcCopy;
  if (!Has_Rop(mode)) {
    // The source window's pixels are read offscreen first.
    Temp_Map from(src_rect, 32, nullptr);
    if (!from.ok() || !Read_Context(src_hdc, from.pm, src_rect)) return;
    Pix_To_Win(from.get(), dst_hdc, src_rect, dst_rect, mode, clip);
    return;
  }
  StretchBlt(dst_hdc, dst_rect.left, dst_rect.top, int32(dst_rect.right) - dst_rect.left,
             int32(dst_rect.bottom) - dst_rect.top, src_hdc, src_rect.left, src_rect.top,
             int32(src_rect.right) - src_rect.left, int32(src_rect.bottom) - src_rect.top, kModeRop[mode]);
}

void Win_To_Pix(HDC src_hdc, PixMapPtr dst, Rect src_rect, Rect dst_rect, int16 mode) {
  if (!src_hdc || !dst) {
    QUIT();
    return;
  }
  Temp_Map from(src_rect, 32, nullptr);
  if (!from.ok() || !Read_Context(src_hdc, from.pm, src_rect)) return;
  Pix_To_Pix(from.get(), dst, src_rect, dst_rect, mode, nullptr);
}

// --- Copies through a mask ----------------------------------------------------------------

void Pix_To_PixM(PixMapPtr src, PixMapPtr mask, PixMapPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect) {
  if (!src || !mask || !dst) {
    QUIT();
    return;
  }
  Masked_Maps(src, mask, dst, src_rect, mask_rect, dst_rect);
}

void Pix_To_PortM(PixMapPtr src, PixMapPtr mask, GWorldPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect,
                  RgnHandle clip) {
  if (!src || !mask) {
    QUIT();
    return;
  }
  if (mask->pixelSize == 8) {
    Pix_To_Port_Deep(src, mask, dst, src_rect, mask_rect, dst_rect, clip);
    return;
  }
  if (mask->pixelSize != 1) {
    QUIT();
    return;
  }
  dst = World_Or_Current(dst);
  if (!dst) {
    Pix_To_WinM(src, mask, theHDC, src_rect, mask_rect, dst_rect, clip);
    return;
  }
  const int16 sd = src->pixelSize, dd = dst->pix.pixelSize;
  const bool served = (sd == dd && (sd == 8 || sd == 16 || sd == 24 || sd == 32)) || (sd == 16 && dd == 32) ||
                      (sd == 24 && dd == 16);
  if (!served) {
    QUIT();
    return;
  }
  Clip_Target target(&dst->pix, dst_rect, clip);
  PixMapPtr d = target.map();
  const Rect &sr = src_rect, &mr = mask_rect, &dr = dst_rect;
  if (sd == 16 && dd == 32) {
    Temp_Map tmp(sr, 32, nullptr);
    if (!tmp.ok()) return;
    Asm32_Blt_16_32(src, tmp.get(), &sr, &sr, srcCopy);
    Asm32_CopyMask_32_32(tmp.get(), mask, d, &sr, &mr, &dr, nullptr);
  } else if (sd == 24 && dd == 16) {
    Asm32_CopyMask_24_16(src, mask, d, &sr, &mr, &dr, nullptr);
  } else {
    Masked_Maps(src, mask, d, sr, mr, dr);
  }
  target.Finish();
}

void Pix_To_WinM(PixMapPtr src, PixMapPtr mask, HDC dst_hdc, Rect src_rect, Rect mask_rect, Rect dst_rect,
                 RgnHandle clip) {
  if (!src || !mask || !dst_hdc) {
    QUIT();
    return;
  }
  Dib_Source ds(src), dm(mask);
  if (!ds.pm || !dm.pm) return;
  const Rect sr = Relative_To(src_rect, src), mr = Relative_To(mask_rect, mask);
  BITMAPINFO sbmi, mbmi;
  Calc_RGB_DIB(sbmi, *ds.pm);
  Calc_RGB_DIB(mbmi, *dm.pm);
  Dc_Clip dcc(dst_hdc, clip);
  // d ^ s, then AND with the mask (bit 1 black, bit 0 white), then ^ s:
  // s where the mask bit is set, d elsewhere.
  My_StretchDIBits(dst_hdc, dst_rect, sr, ds.pm, sbmi, DIB_RGB_COLORS, SRCINVERT);
  My_StretchDIBits(dst_hdc, dst_rect, mr, dm.pm, mbmi, DIB_RGB_COLORS, SRCAND);
  My_StretchDIBits(dst_hdc, dst_rect, sr, ds.pm, sbmi, DIB_RGB_COLORS, SRCINVERT);
}

void Port_To_PixM(GWorldPtr src, PixMapPtr mask, PixMapPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect) {
  src = World_Or_Current(src);
  if (!src) {
    QUIT();
    return;
  }
  Pix_To_PixM(&src->pix, mask, dst, src_rect, mask_rect, dst_rect);
}

void Port_To_PortM(GWorldPtr src, PixMapPtr mask, GWorldPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect,
                   RgnHandle clip) {
  src = World_Or_Current(src);
  if (!src || !mask) {
    QUIT();
    return;
  }
  dst = World_Or_Current(dst);
  if (!dst) {
    Pix_To_WinM(&src->pix, mask, theHDC, src_rect, mask_rect, dst_rect, clip);
    return;
  }
  // The clip counts for worlds too.
  Clip_Target target(&dst->pix, dst_rect, clip);
  Masked_Maps(&src->pix, mask, target.map(), src_rect, mask_rect, dst_rect);
  target.Finish();
}

void CopyMask1(PixMapPtr src, PixMapPtr mask, PixMapPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect) {
  if (!src || !mask || !dst || src->pixelSize != 1 || mask->pixelSize != 1 || dst->pixelSize != 1) {
    QUIT();
    return;
  }
  // d ^ s, cleared where the mask is set (d AND NOT m), ^ s again: s where
  // the mask bit is 1, d where it is 0.
  Asm32_Blt11_Simple(src, dst, &src_rect, &dst_rect, srcXor);
  Asm32_Blt11_Simple(mask, dst, &mask_rect, &dst_rect, srcBic);
  Asm32_Blt11_Simple(src, dst, &src_rect, &dst_rect, srcXor);
}

// --- Deep masks and blends -------------------------------------------------------------

void Port_To_Port_Deep(GWorldPtr src, GWorldPtr mask, GWorldPtr dst, Rect src_rect, Rect mask_rect,
                       Rect dst_rect, RgnHandle clip) {
  if (!mask) {
    Port_To_Port(src, dst, src_rect, dst_rect, srcCopy, clip);
    return;
  }
  src = World_Or_Current(src);
  if (!src) {
    QUIT();
    return;
  }
  Pix_To_Port_Deep(&src->pix, &mask->pix, dst, src_rect, mask_rect, dst_rect, clip);
}

void Pix_To_Port_Deep(PixMapPtr src, PixMapPtr mask, GWorldPtr dst, Rect src_rect, Rect mask_rect, Rect dst_rect,
                      RgnHandle clip) {
  if (!src) {
    QUIT();
    return;
  }
  if (!mask || !mask->baseAddr) {
    Pix_To_Port(src, dst, src_rect, dst_rect, srcCopy, clip);
    return;
  }
  if (mask->pixelSize == 1) {
    Pix_To_PortM(src, mask, dst, src_rect, mask_rect, dst_rect, clip);
    return;
  }
  dst = World_Or_Current(dst);
  if (!dst) {
    if (!theHDC) {
      QUIT();
      return;
    }
    // A window (or printer) has no pixels to blend with here: the blend is
    // made in a temporary world holding what the window shows under the
    // destination, which then goes back through the clip's own shape.
    const int16 depth = src->pixelSize;
    if (mask->pixelSize != 8) {
      QUIT();
      return;
    }
    if (depth != 24 && depth != 32) {
      // A shallower source (a picture stored 1, 8 or 16 bits deep) is
      // blended from a 32-bit copy.
      Temp_Map deep(src_rect, 32, nullptr);
      if (!deep.ok()) return;
      Pix_To_Pix(src, deep.get(), src_rect, src_rect, srcCopy, nullptr);
      Pix_To_Port_Deep(deep.get(), mask, nullptr, src_rect, mask_rect, dst_rect, clip);
      return;
    }
    Rect area = dst_rect;
    if (clip) {
      Rect cb;
      Rgn_GetBounds(clip, cb);
      if (!SectRect(dst_rect, cb, area)) return;
    }
    if (EmptyRect(area)) return;
    GWorldPtr tmp = nullptr;
    New_GWorldF("Pix_To_Port_Deep", area, depth, nullptr, tmp);
    if (!tmp) return;
    Win_To_Win(theHDC, Get_GWorld_HDC(tmp), area, area, srcCopy, nullptr);
    Pix_To_Port_Deep(src, mask, tmp, src_rect, mask_rect, dst_rect, nullptr);
    Pix_To_Win(&tmp->pix, theHDC, area, area, srcCopy, clip);
    Dispose_GWorld(tmp);
    return;
  }
  const int16 depth = src->pixelSize;
  const int16 dd = dst->pix.pixelSize;
  if (depth != dd && mask->pixelSize == 8 && (dd == 24 || dd == 32) && depth != 1) {
    // A source of another depth is blended from a copy at the world's.
    Temp_Map like(src_rect, dd, nullptr);
    if (!like.ok()) return;
    Pix_To_Pix(src, like.get(), src_rect, src_rect, srcCopy, nullptr);
    Pix_To_Port_Deep(like.get(), mask, dst, src_rect, mask_rect, dst_rect, clip);
    return;
  }
  if (depth != dd || mask->pixelSize != 8 || (depth != 24 && depth != 32)) {
    QUIT();
    return;
  }
  if (clip && !Is_Rgn_Rectangular(clip)) {
    QUIT();
    return;
  }
  Clip_Target target(&dst->pix, dst_rect, clip);
  if (depth == 24)
    Asm32_DeepMask_24_24(src, mask, target.map(), &src_rect, &mask_rect, &dst_rect);
  else
    Asm32_DeepMask_32_32(src, mask, target.map(), &src_rect, &mask_rect, &dst_rect);
}

void Set_Blend_Value(uint16 opacity) {
  const uint16 v = uint16(uint16(std::min<uint16>(opacity, 100) * 255) / 100);
  const RGBColor grey{uint16(v * 257), uint16(v * 257), uint16(v * 257)};
  OpColor(grey);
}

void CopyMask_Blend(uint16 opacity, PixMapPtr src_pix, PixMapPtr src_mask, Rect dst_bounds, RgnHandle clip) {
  if (!src_pix) {
    QUIT();
    return;
  }
  Set_Blend_Value(opacity);
  Rect port, net;
  GetPortBounds(port);
  if (!SectRect(dst_bounds, port, net)) return;
  if (!theGWorld) {
    // The content under the area is read back from the port: a world only.
    QUIT();
    return;
  }
  Temp_Map body(net, src_pix->pixelSize, src_pix->pmTable);
  if (!body.ok()) return;
  ForeColor(1);
  BackColor(0);
  Port_To_Pix(nullptr, body.get(), net, net, srcCopy, nullptr);
  Pix_To_Pix(src_pix, body.get(), src_pix->bounds, dst_bounds, blend, nullptr);
  if (!src_mask) {
    Pix_To_Port(body.get(), nullptr, net, net, srcCopy, clip);
    return;
  }
  Temp_Map mask(net, src_mask->pixelSize, src_mask->pmTable);
  if (!mask.ok()) return;
  Pix_To_Pix(src_mask, mask.get(), src_mask->bounds, dst_bounds, srcCopy, nullptr);
  Pix_To_PortM(body.get(), mask.get(), nullptr, net, net, net, clip);
}

// --- Services -------------------------------------------------------------------------------

void SeedFill(GWorldPtr src, PixMapPtr mask, int16 seedH, int16 seedV, Rect& bbox) {
  src = World_Or_Current(src);
  if (!src || !mask) {
    QUIT();
    return;
  }
  switch (src->pix.pixelSize) {
    case 8: PixMap8_SeedFill(&src->pix, mask, seedH, seedV, bbox); return;
    case 16: PixMap16_SeedFill(&src->pix, mask, seedH, seedV, bbox); return;
    case 32: PixMap32_SeedFill(&src->pix, mask, seedH, seedV, bbox); return;
    default: QUIT();
  }
}

void Save_Screen(Rect gbox) {
  Rect net;
  if (!SectRect(gbox, info_videobounds, net)) {
    Dispose_GWorld(ss_off);
    ss_box = Rect{0, 0, 0, 0};
    return;
  }
  if (!ss_off || !EqualRect(net, ss_box)) {
    // The world covers exactly the saved part, so a later area with the same
    // on-screen part but other off-screen edges still fits it.
    ss_box = net;
    Dispose_GWorld(ss_off);
    New_GWorldF("Save_Screen", net, 32, nullptr, ss_off);
    if (!ss_off) {
      ss_box = Rect{0, 0, 0, 0};
      return;
    }
  }
  ForeColor(1);
  BackColor(0);
  Port_To_Port(nullptr, ss_off, net, net, srcCopy, nullptr);
}

void Restore_Screen() {
  if (!ss_off || EmptyRect(ss_box)) return;
  ForeColor(1);
  BackColor(0);
  Port_To_Port(ss_off, nullptr, ss_box, ss_box, srcCopy, nullptr);
}

void Extract_Channel(a_channel channel, GWorldPtr src_world, GWorldPtr dst_world, Rect box, Rect& used) {
  used = Rect{0, 0, 0, 0};
  if (!src_world || !dst_world || src_world->pix.pixelSize != 32 || dst_world->pix.pixelSize != 8) {
    QUIT();
    return;
  }
  const PixMap& s = src_world->pix;
  const PixMap& d = dst_world->pix;
  Rect part, area;
  if (!SectRect(box, s.bounds, part) || !SectRect(part, d.bounds, area)) return;
  if (!s.baseAddr || !d.baseAddr) return;
  int32 byte = 2;
  switch (channel) {
    case G_CHANNEL: byte = 1; break;
    case B_CHANNEL: byte = 0; break;
    case A_CHANNEL: byte = 3; break;
    default: byte = 2; break;
  }
  const uint32 ss = PixMap_RowBytes(s), ds = PixMap_RowBytes(d);
  int32 top = 32767, left = 32767, bottom = -32768, right = -32768;
  for (int32 v = area.top; v < area.bottom; ++v) {
    const uint8* srow = reinterpret_cast<const uint8*>(s.baseAddr) + size_t(v - s.bounds.top) * ss;
    uint8* drow = reinterpret_cast<uint8*>(d.baseAddr) + size_t(v - d.bounds.top) * ds;
    for (int32 h = area.left; h < area.right; ++h) {
      const uint8 val = srow[size_t(h - s.bounds.left) * 4 + size_t(byte)];
      drow[h - d.bounds.left] = val;
      if (val != 0) {
        top = std::min(top, v);
        left = std::min(left, h);
        bottom = std::max(bottom, v);
        right = std::max(right, h);
      }
    }
  }
  if (bottom < top) return;
  used = Rect{int16(top), int16(left), int16(bottom + 1), int16(right + 1)};
}
