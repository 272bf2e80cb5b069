// 1-bit to 1-bit kernels: the boolean transfer modes at equal sizes, a byte
// of destination at a time, and the nearest-sample scaled copy.
#include <algorithm>

#include "pixel/Asm32Blt.h"

namespace {

int32 Map_Width(const PixMap* pm) { return std::max<int32>(0, int32(pm->bounds.right) - pm->bounds.left); }
int32 Map_Height(const PixMap* pm) { return std::max<int32>(0, int32(pm->bounds.bottom) - pm->bounds.top); }

inline uint8* Row_Ptr(const PixMap* pm, int32 v) {
  return reinterpret_cast<uint8*>(pm->baseAddr) + size_t(v) * PixMap_RowBytes(pm);
}

// cnt (1 .. 8) bits of a row from bit x on, left-aligned in the result. The
// byte after x's byte is read only when the bits reach into it, so the walk
// never leaves the source rectangle's bytes.
inline uint8 Get_Bits(const uint8* row, int32 x, int32 cnt) {
  const int32 off = x & 7;
  uint32 v = uint32(row[x >> 3]) << 8;
  if (off + cnt > 8) v |= row[(x >> 3) + 1];
  return uint8(((v << off) >> 8) & uint8(0xFF00u >> cnt));
}

inline uint8 Combine(int16 mode, uint8 d, uint8 s) {
  switch (mode) {
    case srcCopy: return s;
    case srcOr: return uint8(d | s);
    case srcXor: return uint8(d ^ s);
    case srcBic: return uint8(d & ~s);
    case notSrcCopy: return uint8(~s);
    case notSrcOr: return uint8(d | ~s);
    case notSrcXor: return uint8(d ^ ~s);
    default: return uint8(d & s);  // notSrcBic
  }
}

bool Usable(const PixMap* pm, const Rect* r) { return pm != nullptr && pm->baseAddr != nullptr && r != nullptr; }

}  // namespace

void Asm32_Blt11_Simple(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                        const Rect* dst_rect_arg, int16 mode) {
  if (mode < srcCopy || mode > notSrcBic) return;
  if (!Usable(src_pix_arg, src_rect_arg) || !Usable(dst_pix_arg, dst_rect_arg)) return;
  const int32 sl = int32(src_rect_arg->left) - src_pix_arg->bounds.left;
  const int32 st = int32(src_rect_arg->top) - src_pix_arg->bounds.top;
  const int32 dl = int32(dst_rect_arg->left) - dst_pix_arg->bounds.left;
  const int32 dt = int32(dst_rect_arg->top) - dst_pix_arg->bounds.top;
  const int32 w = int32(dst_rect_arg->right) - dst_rect_arg->left;
  const int32 h = int32(dst_rect_arg->bottom) - dst_rect_arg->top;
  if (w != int32(src_rect_arg->right) - src_rect_arg->left || h != int32(src_rect_arg->bottom) - src_rect_arg->top)
    return;
  // Columns j and rows i (from the rectangles' top-left) whose source and
  // destination pixels both exist.
  const int32 j0 = std::max({0, -dl, -sl}), j1 = std::min({w, Map_Width(dst_pix_arg) - dl, Map_Width(src_pix_arg) - sl});
  const int32 i0 = std::max({0, -dt, -st}), i1 = std::min({h, Map_Height(dst_pix_arg) - dt, Map_Height(src_pix_arg) - st});
  if (j0 >= j1 || i0 >= i1) return;
  const int32 x0 = dl + j0, x1 = dl + j1;  // destination bits x0 .. x1 - 1
  const int32 shift = sl - dl;              // source bit of destination bit x
  for (int32 i = i0; i < i1; ++i) {
    const uint8* srow = Row_Ptr(src_pix_arg, st + i);
    uint8* drow = Row_Ptr(dst_pix_arg, dt + i);
    for (int32 byte = x0 >> 3; byte <= (x1 - 1) >> 3; ++byte) {
      // The bits of this byte inside the rectangle: first .. last.
      const int32 first = std::max(x0, byte * 8) - byte * 8;
      const int32 last = std::min(x1, byte * 8 + 8) - 1 - byte * 8;
      const int32 cnt = last - first + 1;
      const uint8 keep = uint8(0xFF00u >> cnt) >> first;  // mask of the changing bits
      const uint8 s = uint8(Get_Bits(srow, byte * 8 + first + shift, cnt) >> first);
      const uint8 d = drow[byte];
      drow[byte] = uint8((d & ~keep) | (Combine(mode, d, s) & keep));
    }
  }
}

void Asm32_Blt11_Scaled(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                        const Rect* dst_rect_arg) {
  if (!Usable(src_pix_arg, src_rect_arg) || !Usable(dst_pix_arg, dst_rect_arg)) return;
  const int32 sl = int32(src_rect_arg->left) - src_pix_arg->bounds.left;
  const int32 st = int32(src_rect_arg->top) - src_pix_arg->bounds.top;
  const int32 dl = int32(dst_rect_arg->left) - dst_pix_arg->bounds.left;
  const int32 dt = int32(dst_rect_arg->top) - dst_pix_arg->bounds.top;
  const int32 sw = int32(src_rect_arg->right) - src_rect_arg->left, sh = int32(src_rect_arg->bottom) - src_rect_arg->top;
  const int32 dw = int32(dst_rect_arg->right) - dst_rect_arg->left, dh = int32(dst_rect_arg->bottom) - dst_rect_arg->top;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const int32 sW = Map_Width(src_pix_arg), sH = Map_Height(src_pix_arg);
  const int32 j0 = std::max(0, -dl), j1 = std::min(dw, Map_Width(dst_pix_arg) - dl);
  const int32 i0 = std::max(0, -dt), i1 = std::min(dh, Map_Height(dst_pix_arg) - dt);
  if (j0 >= j1 || i0 >= i1) return;
  // Row i takes source row floor(i * sh / dh), column j source column
  // floor(j * sw / dw): the error terms step when they reach the destination
  // size, not only when they pass it (which would never sample the last
  // source column of an exact 2:1 reduction).
  int32 y = int32(int64(i0) * sh / dh), yerr = int32(int64(i0) * sh % dh);
  for (int32 i = i0; i < i1; ++i) {
    const int32 sv = st + y;
    if (sv >= 0 && sv < sH) {
      const uint8* srow = Row_Ptr(src_pix_arg, sv);
      uint8* drow = Row_Ptr(dst_pix_arg, dt + i);
      int32 x = int32(int64(j0) * sw / dw), xerr = int32(int64(j0) * sw % dw);
      for (int32 j = j0; j < j1; ++j) {
        const int32 sx = sl + x;
        if (sx >= 0 && sx < sW) {
          const int32 dx = dl + j;
          const uint8 bit = uint8(0x80 >> (dx & 7));
          if ((srow[sx >> 3] >> (7 - (sx & 7))) & 1)
            drow[dx >> 3] |= bit;
          else
            drow[dx >> 3] &= uint8(~bit);
        }
        xerr += sw;
        while (xerr >= dw) {
          ++x;
          xerr -= dw;
        }
      }
    }
    yerr += sh;
    while (yerr >= dh) {
      ++y;
      yerr -= dh;
    }
  }
}
