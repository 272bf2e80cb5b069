// Pixel-copy kernels. One driver walks the rectangles (clipping, nearest
// sampling, the fast reductions) and hands each row span to a small row
// operation; the row operations are plain loops over contiguous pixels so
// that the compiler turns them into vector code.
#include "pixel/Asm32Blt.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace asm32blt {

namespace {

// ---------------------------------------------------------------------------
// Row operations: op(s, d, m, n) works on n pixels of contiguous source s
// (unpacked to one byte per pixel for 1-bit sources), destination d and,
// for masked kernels, mask m (0 / 1 for 1-bit masks, the byte for 8-bit).
// ---------------------------------------------------------------------------

struct P24 {
  uint8 b, g, r;
};
static_assert(sizeof(P24) == 3);

// Bits x .. x + n - 1 of a 1-bit row, most significant bit leftmost, as 0 / 1.
void Unpack_Bits(const uint8* row, int32 x, int32 n, uint8* out) {
  for (int32 k = 0; k < n; ++k, ++x) out[k] = uint8((row[x >> 3] >> (7 - (x & 7))) & 1);
}

inline uint32 Widen5(uint32 c) { return (c << 3) | (c >> 2); }

inline bool Is_White(uint8 v) { return v == 255; }
inline bool Is_White(uint16 v) { return v == 0x7FFF; }
inline bool Is_White(P24 p) { return (p.b & p.g & p.r) == 255; }
inline bool Is_White(uint32 v) { return (v & 0x00FFFFFF) == 0x00FFFFFF; }

// Depth conversions; the second argument only selects the overload.
inline uint8 Cvt(uint8 s, uint8*) { return s; }
inline uint16 Cvt(uint16 s, uint16*) { return s; }
inline P24 Cvt(P24 s, P24*) { return s; }
inline uint32 Cvt(uint32 s, uint32*) { return s; }
inline P24 Cvt(uint16 s, P24*) {
  return P24{uint8(Widen5(s & 31)), uint8(Widen5((s >> 5) & 31)), uint8(Widen5((s >> 10) & 31))};
}
inline uint32 Cvt(uint16 s, uint32*) {
  return Widen5(s & 31) | Widen5((s >> 5) & 31) << 8 | Widen5((s >> 10) & 31) << 16;
}
inline P24 Cvt(uint32 s, P24*) { return P24{uint8(s), uint8(s >> 8), uint8(s >> 16)}; }
inline uint16 Cvt(uint32 s, uint16*) {
  return uint16(((s >> 19) & 31) << 10 | ((s >> 11) & 31) << 5 | ((s >> 3) & 31));
}
inline uint16 Cvt(P24 s, uint16*) { return uint16(uint32(s.r >> 3) << 10 | uint32(s.g >> 3) << 5 | uint32(s.b >> 3)); }

// Colour channels of two 32-bit pixels blended at weight w (iw = 255 - w):
// (s * w + d * iw) >> 8 per channel, two channels per 32-bit product (each
// sum stays below 65536, so the lanes never carry into each other); the
// alpha byte is d's.
inline uint32 Blend_Px(uint32 s, uint32 d, uint32 w, uint32 iw) {
  const uint32 rb = (((s & 0x00FF00FF) * w + (d & 0x00FF00FF) * iw) >> 8) & 0x00FF00FF;
  const uint32 g = (((s & 0x0000FF00) * w + (d & 0x0000FF00) * iw) >> 8) & 0x0000FF00;
  return rb | g | (d & 0xFF000000);
}

inline uint8 Blend_Ch(uint32 s, uint32 d, uint32 w, uint32 iw) { return uint8((s * w + d * iw) >> 8); }

template <class T>
struct Op_Copy {
  static constexpr bool kGatherDirect = true;
  void operator()(const T* s, T* d, const uint8*, int32 n) const { std::memmove(d, s, size_t(n) * sizeof(T)); }
};

template <class S, class D, bool kTransparent>
struct Op_Convert {
  void operator()(const S* s, D* d, const uint8*, int32 n) const {
    for (int32 j = 0; j < n; ++j) {
      const D v = Cvt(s[j], static_cast<D*>(nullptr));
      if constexpr (kTransparent) {
        if (!Is_White(s[j])) d[j] = v;
      } else {
        d[j] = v;
      }
    }
  }
};

// The hot 32-bit rows are plain loops built twice, for the baseline
// instruction set and for AVX2, and the loader picks one for the machine
// (the 32-bit products of Blend_Px vectorise poorly without AVX2).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define ASM32_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ASM32_CLONES
#endif

ASM32_CLONES void Row_Transparent32(const uint32* s, uint32* d, int32 n) {
  for (int32 j = 0; j < n; ++j) d[j] = (s[j] & 0x00FFFFFF) == 0x00FFFFFF ? d[j] : s[j];
}

ASM32_CLONES void Row_Blend32(const uint32* s, uint32* d, int32 n, uint32 w) {
  const uint32 iw = 255 - w;
  for (int32 j = 0; j < n; ++j) d[j] = Blend_Px(s[j], d[j], w, iw);
}

// Per-pixel weight w: 255 takes s whole, 0 keeps d, else the colour blend.
inline uint32 Weighted_Px(uint32 s, uint32 d, uint32 w) {
  const uint32 mixed = Blend_Px(s, d, w, 255 - w);
  return w == 255 ? s : (w == 0 ? d : mixed);
}

ASM32_CLONES void Row_Alpha32(const uint32* s, uint32* d, int32 n) {
  for (int32 j = 0; j < n; ++j) d[j] = Weighted_Px(s[j], d[j], s[j] >> 24);
}

ASM32_CLONES void Row_Deep32(const uint32* s, uint32* d, const uint8* m, int32 n) {
  for (int32 j = 0; j < n; ++j) d[j] = Weighted_Px(s[j], d[j], m[j]);
}

// d[k] := s[off[k]], the nearest-sampling gather of one row. Scalar loads
// four at a time beat the vector gather instructions here.
void Gather32(const uint32* s, uint32* d, const int32* off, int32 n) {
  int32 k = 0;
  for (; k + 4 <= n; k += 4) {
    const uint32 a = s[off[k]], b = s[off[k + 1]], c = s[off[k + 2]], e = s[off[k + 3]];
    d[k] = a;
    d[k + 1] = b;
    d[k + 2] = c;
    d[k + 3] = e;
  }
  for (; k < n; ++k) d[k] = s[off[k]];
}

// The same gather for 32-bit rows with the source column stepped in 32.32
// fixed point: s[x >> 32] with x += step. With step = ceil(sw * 2^32 / dw)
// the accumulated error stays below dw / 2^32, less than the 1 / dw that
// separates floor(j * sw / dw) from the next integer while dw < 65536, so
// the columns are exactly those of the table; it saves the table loads.
void Gather_Step32(const uint32* s, uint32* d, int32 n, uint64 x, uint64 step) {
  int32 k = 0;
  for (; k + 2 <= n; k += 2) {
    const uint32 a = s[x >> 32];
    x += step;
    const uint32 b = s[x >> 32];
    x += step;
    d[k] = a;
    d[k + 1] = b;
  }
  for (; k < n; ++k, x += step) d[k] = s[x >> 32];
}

template <class T>
void Gather(const T* s, T* d, const int32* off, int32 n) {
  if constexpr (sizeof(T) == 4)
    Gather32(s, d, off, n);
  else
    for (int32 k = 0; k < n; ++k) d[k] = s[off[k]];
}

template <>
struct Op_Convert<uint32, uint32, true> {
  void operator()(const uint32* s, uint32* d, const uint8*, int32 n) const { Row_Transparent32(s, d, n); }
};

struct Op_Blend32 {
  uint32 w;
  void operator()(const uint32* s, uint32* d, const uint8*, int32 n) const { Row_Blend32(s, d, n, w); }
};

struct Op_Blend16 {
  uint32 w;
  void operator()(const uint16* s, uint16* d, const uint8*, int32 n) const {
    // Locals, not members: d may alias *this as far as the compiler knows.
    const uint32 wt = w, iw = 255 - w;
    for (int32 j = 0; j < n; ++j) {
      const uint32 sv = s[j], dv = d[j];
      const uint32 b = Blend_Ch(Widen5(sv & 31), Widen5(dv & 31), wt, iw) >> 3;
      const uint32 g = Blend_Ch(Widen5((sv >> 5) & 31), Widen5((dv >> 5) & 31), wt, iw) >> 3;
      const uint32 r = Blend_Ch(Widen5((sv >> 10) & 31), Widen5((dv >> 10) & 31), wt, iw) >> 3;
      d[j] = uint16(r << 10 | g << 5 | b);
    }
  }
};

struct Op_Alpha32 {
  void operator()(const uint32* s, uint32* d, const uint8*, int32 n) const { Row_Alpha32(s, d, n); }
};

struct Op_Deep32 {
  void operator()(const uint32* s, uint32* d, const uint8* m, int32 n) const { Row_Deep32(s, d, m, n); }
};

struct Op_Deep24 {
  void operator()(const P24* s, P24* d, const uint8* m, int32 n) const {
    for (int32 j = 0; j < n; ++j) {
      const uint32 w = m[j];
      if (w == 255) {
        d[j] = s[j];
      } else if (w != 0) {
        const uint32 iw = 255 - w;
        d[j] = P24{Blend_Ch(s[j].b, d[j].b, w, iw), Blend_Ch(s[j].g, d[j].g, w, iw), Blend_Ch(s[j].r, d[j].r, w, iw)};
      }
    }
  }
};

struct Op_And8 {
  void operator()(const uint8* s, uint8* d, const uint8*, int32 n) const {
    for (int32 j = 0; j < n; ++j) d[j] &= s[j];
  }
};

// The raster operations of modes srcOr .. notSrcBic on whole pixel values,
// as a device context applies them, so that a copy between maps of one depth
// gives what the same copy through a clip region (which goes through the
// context) gives. A 16-bit result keeps bit 15 clear.
template <int16 kMode>
inline uint32 Rop(uint32 s, uint32 d) {
  if constexpr (kMode == srcOr) return d | s;
  else if constexpr (kMode == srcXor) return d ^ s;
  else if constexpr (kMode == srcBic) return d & ~s;
  else if constexpr (kMode == notSrcCopy) return ~s;
  else if constexpr (kMode == notSrcOr) return d | ~s;
  else if constexpr (kMode == notSrcXor) return ~(d ^ s);
  else return d & s;  // notSrcBic
}

template <class T, int16 kMode>
struct Op_Rop {
  void operator()(const T* s, T* d, const uint8*, int32 n) const {
    for (int32 j = 0; j < n; ++j) {
      if constexpr (std::is_same_v<T, P24>) {
        d[j] = P24{uint8(Rop<kMode>(s[j].b, d[j].b)), uint8(Rop<kMode>(s[j].g, d[j].g)),
                   uint8(Rop<kMode>(s[j].r, d[j].r))};
      } else if constexpr (std::is_same_v<T, uint16>) {
        d[j] = uint16(Rop<kMode>(s[j], d[j]) & 0x7FFF);
      } else {
        d[j] = T(Rop<kMode>(s[j], d[j]));
      }
    }
  }
};

// Source pixel where the (unpacked) mask bit is set.
template <class S, class D>
struct Op_Masked {
  void operator()(const S* s, D* d, const uint8* m, int32 n) const {
    for (int32 j = 0; j < n; ++j) d[j] = m[j] != 0 ? Cvt(s[j], static_cast<D*>(nullptr)) : d[j];
  }
};

// 1-bit source (unpacked): the zero and one colours by mode.
template <class D, int16 kMode>
struct Op_Bits {
  D zero, one;
  void operator()(const uint8* s, D* d, const uint8*, int32 n) const {
    for (int32 j = 0; j < n; ++j) {
      if constexpr (kMode == srcCopy)
        d[j] = s[j] != 0 ? one : zero;
      else if constexpr (kMode == srcOr)
        d[j] = s[j] != 0 ? one : d[j];
      else
        d[j] = s[j] != 0 ? zero : d[j];
    }
  }
};

// 8-bit source through a colour mapping.
inline uint32 From_Entry(const a_pixel32& e, uint32*) { return e.raw; }
inline P24 From_Entry(const a_pixel32& e, P24*) { return P24{e.b, e.g, e.r}; }
inline uint16 From_Entry(uint16 e, uint16*) { return e; }

template <class D, class Table, bool kTransparent>
struct Op_Map8 {
  const Table* table;
  void operator()(const uint8* s, D* d, const uint8*, int32 n) const {
    const Table& t = *table;
    for (int32 j = 0; j < n; ++j) {
      if (kTransparent && s[j] == 255) continue;
      d[j] = From_Entry(t[s[j]], static_cast<D*>(nullptr));
    }
  }
};

// A rectangle in a map's own pixel grid (row 0 and column 0 are the map's
// top-left pixel).
struct Grid {
  int32 left, top, right, bottom;
};

Grid To_Grid(const PixMap* pm, const Rect* r) {
  return {int32(r->left) - pm->bounds.left, int32(r->top) - pm->bounds.top, int32(r->right) - pm->bounds.left,
          int32(r->bottom) - pm->bounds.top};
}

int32 Map_Width(const PixMap* pm) { return std::max<int32>(0, int32(pm->bounds.right) - pm->bounds.left); }
int32 Map_Height(const PixMap* pm) { return std::max<int32>(0, int32(pm->bounds.bottom) - pm->bounds.top); }

inline uint8* Row_Ptr(const PixMap* pm, int32 v) {
  return reinterpret_cast<uint8*>(pm->baseAddr) + size_t(v) * PixMap_RowBytes(pm);
}

// A map we may address as rows of `depth`-bit pixels: it has memory, and its
// base and stride suit typed access to its pixels.
bool Usable(const PixMap* pm, int depth) {
  if (pm == nullptr || pm->baseAddr == nullptr) return false;
  const uintptr_t align = depth == 16 ? 2 : depth == 32 ? 4 : 1;
  return (reinterpret_cast<uintptr_t>(pm->baseAddr) % align) == 0 && (PixMap_RowBytes(pm) % align) == 0;
}

// Pixel access by depth: T is the row element, Get reads column x of a row.
// 1-bit pixels come out as 0 or 1.
template <int D>
struct Px;
template <>
struct Px<1> {
  using T = uint8;
  static T Get(const uint8* row, int32 x) { return uint8((row[x >> 3] >> (7 - (x & 7))) & 1); }
};
template <>
struct Px<8> {
  using T = uint8;
  static T* At(uint8* row, int32 x) { return row + x; }
  static T Get(const uint8* row, int32 x) { return row[x]; }
};
template <>
struct Px<16> {
  using T = uint16;
  static T* At(uint8* row, int32 x) { return reinterpret_cast<T*>(row) + x; }
  static T Get(const uint8* row, int32 x) { return reinterpret_cast<const T*>(row)[x]; }
};
template <>
struct Px<24> {
  using T = P24;
  static T* At(uint8* row, int32 x) { return reinterpret_cast<T*>(row) + x; }
  static T Get(const uint8* row, int32 x) { return reinterpret_cast<const T*>(row)[x]; }
};
template <>
struct Px<32> {
  using T = uint32;
  static T* At(uint8* row, int32 x) { return reinterpret_cast<T*>(row) + x; }
  static T Get(const uint8* row, int32 x) { return reinterpret_cast<const T*>(row)[x]; }
};

// Pixels handled per pass over a span: the size of the stack buffers that
// hold unpacked bits, gathered source pixels and the column table.
constexpr int32 kStrip = 4096;

struct Args {
  const PixMap* src;
  const PixMap* msk;  // NIL for unmasked kernels
  const PixMap* dst;
  const Rect* sr;
  const Rect* mr;
  const Rect* dr;
};

template <class Op>
concept Gathers_Into_Destination = requires { Op::kGatherDirect; };

// Drives one kernel call. SD, MD, DD: source, mask (0 = none) and
// destination depth. factor 0 scales by nearest sampling; 2 or 4 takes the
// lower right pixel of each factor x factor block.
template <int SD, int MD, int DD, class Op>
void Drive(const Args& a, int32 factor, const Op& op) {
  using S = typename Px<SD>::T;
  if (a.sr == nullptr || a.dr == nullptr || !Usable(a.src, SD) || !Usable(a.dst, DD)) return;
  if constexpr (MD != 0) {
    if (a.mr == nullptr || !Usable(a.msk, MD)) return;
  }
  const Grid s = To_Grid(a.src, a.sr), d = To_Grid(a.dst, a.dr);
  Grid m{0, 0, 0, 0};
  int32 mW = 0, mH = 0;
  if constexpr (MD != 0) {
    m = To_Grid(a.msk, a.mr);
    mW = Map_Width(a.msk);
    mH = Map_Height(a.msk);
  }
  const int32 sW = Map_Width(a.src), sH = Map_Height(a.src);
  const int32 dW = Map_Width(a.dst), dH = Map_Height(a.dst);
  const int32 sw = s.right - s.left, sh = s.bottom - s.top;
  const int32 dw = d.right - d.left, dh = d.bottom - d.top;

  alignas(16) S sbuf[kStrip];
  alignas(16) uint8 mbuf[kStrip];

  if (sw == dw && sh == dh) {
    // Same size: the span of j (columns from the rectangle's left) and i
    // (rows) whose destination, source and mask pixels all exist.
    int32 j0 = std::max({0, -d.left, -s.left}), j1 = std::min({dw, dW - d.left, sW - s.left});
    int32 i0 = std::max({0, -d.top, -s.top}), i1 = std::min({dh, dH - d.top, sH - s.top});
    if constexpr (MD != 0) {
      j0 = std::max(j0, -m.left);
      j1 = std::min(j1, mW - m.left);
      i0 = std::max(i0, -m.top);
      i1 = std::min(i1, mH - m.top);
    }
    if (j0 >= j1 || i0 >= i1) return;
    for (int32 i = i0; i < i1; ++i) {
      uint8* srow = Row_Ptr(a.src, s.top + i);
      uint8* drow = Row_Ptr(a.dst, d.top + i);
      uint8* mrow = nullptr;
      if constexpr (MD != 0) mrow = Row_Ptr(a.msk, m.top + i);
      if constexpr (SD == 1 || MD == 1) {
        for (int32 j = j0; j < j1; j += kStrip) {
          const int32 n = std::min(kStrip, j1 - j);
          const S* sp;
          const uint8* mp = nullptr;
          if constexpr (SD == 1) {
            Unpack_Bits(srow, s.left + j, n, sbuf);
            sp = sbuf;
          } else {
            sp = Px<SD>::At(srow, s.left + j);
          }
          if constexpr (MD == 1) {
            Unpack_Bits(mrow, m.left + j, n, mbuf);
            mp = mbuf;
          } else if constexpr (MD == 8) {
            mp = mrow + m.left + j;
          }
          op(sp, Px<DD>::At(drow, d.left + j), mp, n);
        }
      } else {
        const uint8* mp = nullptr;
        if constexpr (MD == 8) mp = mrow + m.left + j0;
        op(Px<SD>::At(srow, s.left + j0), Px<DD>::At(drow, d.left + j0), mp, j1 - j0);
      }
    }
    return;
  }

  // Different sizes.
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  const int32 jd0 = std::max(0, -d.left), jd1 = std::min(dw, dW - d.left);
  const int32 id0 = std::max(0, -d.top), id1 = std::min(dh, dH - d.top);
  if (jd0 >= jd1 || id0 >= id1) return;

  // A source offset o (from the source rectangle's left or top) is usable
  // when the source pixel and its mask pixel lie inside their maps.
  auto col_ok = [&](int32 o) {
    bool ok = s.left + o >= 0 && s.left + o < sW;
    if constexpr (MD != 0) ok = ok && m.left + o >= 0 && m.left + o < mW;
    return ok;
  };
  auto row_ok = [&](int32 o) {
    bool ok = s.top + o >= 0 && s.top + o < sH;
    if constexpr (MD != 0) ok = ok && m.top + o >= 0 && m.top + o < mH;
    return ok;
  };

  alignas(16) int32 off[kStrip];
  for (int32 jb = jd0; jb < jd1; jb += kStrip) {
    const int32 n = std::min(kStrip, jd1 - jb);
    // Column table: source offset of each destination column of the strip,
    // stepped with an error term from the exact start.
    if (factor != 0) {
      for (int32 k = 0; k < n; ++k) off[k] = factor * (jb + k) + factor - 1;
    } else {
      const int32 q = sw / dw, r = sw % dw;
      int32 x = int32(int64(jb) * sw / dw), err = int32(int64(jb) * sw % dw);
      for (int32 k = 0; k < n; ++k) {
        off[k] = x;
        x += q;
        err += r;
        if (err >= dw) {
          ++x;
          err -= dw;
        }
      }
    }
    // The usable columns form one run, as the offsets only grow.
    int32 k0 = 0, k1 = n;
    while (k0 < k1 && !col_ok(off[k0])) ++k0;
    while (k1 > k0 && !col_ok(off[k1 - 1])) --k1;
    if (k0 >= k1) continue;
    const int32 cnt = k1 - k0;
    const int32 dcol = d.left + jb + k0;
    int32* cols = off + k0;  // from here on: source columns in the map's grid
    for (int32 k = 0; k < cnt; ++k) cols[k] += s.left;
    // Fixed-point form of the same columns, relative to cols[0] (see
    // Gather_Step32).
    const uint64 x_step = ((uint64(sw) << 32) + uint64(dw) - 1) / uint64(dw);
    const uint64 x_start = uint64(jb + k0) * x_step;
    const uint64 x_frac = x_start & 0xFFFFFFFFu;

    const int32 qv = sh / dh, rv = sh % dh;
    int32 y = int32(int64(id0) * sh / dh), yerr = int32(int64(id0) * sh % dh);
    for (int32 i = id0; i < id1; ++i) {
      const int32 o = factor != 0 ? factor * i + factor - 1 : y;
      if (row_ok(o)) {
        uint8* srow = Row_Ptr(a.src, s.top + o);
        uint8* drow = Row_Ptr(a.dst, d.top + i);
        // Source pixels of the row into `to` (32-bit rows by fixed-point steps).
        auto gather = [&](S* to) {
          if constexpr (SD == 1) {
            for (int32 k = 0; k < cnt; ++k) to[k] = Px<1>::Get(srow, cols[k]);
          } else if constexpr (SD == 32) {
            if (factor == 0)
              Gather_Step32(Px<32>::At(srow, cols[0]), to, cnt, x_frac, x_step);
            else
              Gather(Px<32>::At(srow, 0), to, cols, cnt);
          } else {
            Gather(Px<SD>::At(srow, 0), to, cols, cnt);
          }
        };
        if constexpr (SD != 1 && Gathers_Into_Destination<Op> && MD == 0 && SD == DD) {
          gather(Px<DD>::At(drow, dcol));
        } else {
          gather(sbuf);
          const uint8* mp = nullptr;
          if constexpr (MD != 0) {
            const uint8* mrow = Row_Ptr(a.msk, m.top + o);
            const int32 shift = m.left - s.left;
            for (int32 k = 0; k < cnt; ++k) mbuf[k] = Px<MD>::Get(mrow, cols[k] + shift);
            mp = mbuf;
          }
          op(static_cast<const S*>(sbuf), Px<DD>::At(drow, dcol), mp, cnt);
        }
      }
      y += qv;
      yerr += rv;
      if (yerr >= dh) {
        ++y;
        yerr -= dh;
      }
    }
  }
}

// The fast-reduction factor of Asm32_Blt_16_16 and Asm32_Blt88 (srcCopy at
// different sizes): 2, 4 or 0 for nearest sampling.
int32 Reduction_Factor(const Rect* sr, const Rect* dr) {
  if (sr == nullptr || dr == nullptr) return 0;
  const int32 sw = int32(sr->right) - sr->left, sh = int32(sr->bottom) - sr->top;
  const int32 dw = int32(dr->right) - dr->left, dh = int32(dr->bottom) - dr->top;
  if (sw == dw && sh == dh) return 0;
  if (sw / 2 == dw && sh / 2 == dh) return 2;
  if (sw / 4 == dw && sh / 4 == dh) return 4;
  return 0;
}

uint8 Clamp_Weight(int16 w) { return uint8(std::clamp<int16>(w, 0, 255)); }

uint32 Color_To_32(a_win_color c) { return uint32(c.b) | uint32(c.g) << 8 | uint32(c.r) << 16 | uint32(c.a) << 24; }
P24 Color_To_24(a_win_color c) { return P24{c.b, c.g, c.r}; }

// Plain and transparent copies between two depths.
template <int SD, int DD>
void Copy_Or_Transparent(const Args& a, int16 mode) {
  using S = typename Px<SD>::T;
  using D = typename Px<DD>::T;
  if (mode == srcCopy) {
    if constexpr (SD == DD)
      Drive<SD, 0, DD>(a, 0, Op_Copy<S>{});
    else
      Drive<SD, 0, DD>(a, 0, Op_Convert<S, D, false>{});
  } else if (mode == transparent) {
    Drive<SD, 0, DD>(a, 0, Op_Convert<S, D, true>{});
  }
}

template <int DD>
void Blt_1_Deep(const Args& a, int16 mode, typename Px<DD>::T zero, typename Px<DD>::T one) {
  using D = typename Px<DD>::T;
  if (mode == srcCopy)
    Drive<1, 0, DD>(a, 0, Op_Bits<D, srcCopy>{zero, one});
  else if (mode == srcOr)
    Drive<1, 0, DD>(a, 0, Op_Bits<D, srcOr>{zero, one});
  else if (mode == srcBic)
    Drive<1, 0, DD>(a, 0, Op_Bits<D, srcBic>{zero, one});
}

template <int DD, class Table>
void Blt_8_Mapped(const Args& a, int16 mode, const Table& table) {
  using D = typename Px<DD>::T;
  if (mode == srcCopy)
    Drive<8, 0, DD>(a, 0, Op_Map8<D, Table, false>{&table});
  else if (mode == transparent)
    Drive<8, 0, DD>(a, 0, Op_Map8<D, Table, true>{&table});
}

// Modes srcOr .. notSrcBic between maps of one depth, at any size.
template <int D>
bool Blt_Rop(const Args& a, int16 mode) {
  using T = typename Px<D>::T;
  switch (mode) {
    case srcOr: Drive<D, 0, D>(a, 0, Op_Rop<T, srcOr>{}); return true;
    case srcXor: Drive<D, 0, D>(a, 0, Op_Rop<T, srcXor>{}); return true;
    case srcBic: Drive<D, 0, D>(a, 0, Op_Rop<T, srcBic>{}); return true;
    case notSrcCopy: Drive<D, 0, D>(a, 0, Op_Rop<T, notSrcCopy>{}); return true;
    case notSrcOr: Drive<D, 0, D>(a, 0, Op_Rop<T, notSrcOr>{}); return true;
    case notSrcXor: Drive<D, 0, D>(a, 0, Op_Rop<T, notSrcXor>{}); return true;
    case notSrcBic: Drive<D, 0, D>(a, 0, Op_Rop<T, notSrcBic>{}); return true;
    default: return false;
  }
}

template <int SD, int DD>
void Copy_Mask1(const Args& a) {
  using S = typename Px<SD>::T;
  using D = typename Px<DD>::T;
  Drive<SD, 1, DD>(a, 0, Op_Masked<S, D>{});
}

}  // namespace
}  // namespace asm32blt

using namespace asm32blt;

void Asm32_Blt_32_32(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode, int16 blendval) {
  const Args a{src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg};
  switch (mode) {
    case srcCopy:
    case transparent:
      Copy_Or_Transparent<32, 32>(a, mode);
      break;
    case blend:
      Drive<32, 0, 32>(a, 0, Op_Blend32{Clamp_Weight(blendval)});
      break;
    case ALPHA:
      Drive<32, 0, 32>(a, 0, Op_Alpha32{});
      break;
    default:
      Blt_Rop<32>(a, mode);
      break;
  }
}

void Asm32_Blt_16_16(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode, int16 blendval) {
  const Args a{src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg};
  switch (mode) {
    case srcCopy:
      Drive<16, 0, 16>(a, Reduction_Factor(src_rect_arg, dst_rect_arg), Op_Copy<uint16>{});
      break;
    case transparent:
      Copy_Or_Transparent<16, 16>(a, mode);
      break;
    case blend:
      Drive<16, 0, 16>(a, 0, Op_Blend16{Clamp_Weight(blendval)});
      break;
    default:
      Blt_Rop<16>(a, mode);
      break;
  }
}

void Asm32_Blt_24_24(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode) {
  const Args a{src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg};
  if (!Blt_Rop<24>(a, mode)) Copy_Or_Transparent<24, 24>(a, mode);
}

void Asm32_Blt88(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                 const Rect* dst_rect_arg, int16 mode, RgnHandle /*clip*/) {
  const Args a{src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg};
  switch (mode) {
    case srcCopy:
      Drive<8, 0, 8>(a, Reduction_Factor(src_rect_arg, dst_rect_arg), Op_Copy<uint8>{});
      break;
    case transparent:
      Copy_Or_Transparent<8, 8>(a, mode);
      break;
    case notSrcBic:
      Drive<8, 0, 8>(a, 0, Op_And8{});
      break;
    default:
      Blt_Rop<8>(a, mode);
      break;
  }
}

void Asm32_Blt_16_24(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode) {
  Copy_Or_Transparent<16, 24>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode);
}

void Asm32_Blt_16_32(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode) {
  Copy_Or_Transparent<16, 32>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode);
}

void Asm32_Blt_32_24(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode) {
  Copy_Or_Transparent<32, 24>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode);
}

void Asm32_Blt_32_16(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode) {
  Copy_Or_Transparent<32, 16>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode);
}

void Asm32_Blt_24_16(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                     const Rect* dst_rect_arg, int16 mode) {
  Copy_Or_Transparent<24, 16>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode);
}

void Asm32_Blt_8_32(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, const a_8_to_32_mapping& color_arg) {
  Blt_8_Mapped<32>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode, color_arg);
}

void Asm32_Blt_8_24(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, const a_8_to_32_mapping& color_arg) {
  Blt_8_Mapped<24>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode, color_arg);
}

void Asm32_Blt_8_16(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, const a_8_to_16_mapping& color_arg) {
  Blt_8_Mapped<16>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode, color_arg);
}

void Asm32_Blt_1_32(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, a_win_color zero_color_arg, a_win_color one_color_arg) {
  Blt_1_Deep<32>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode,
                 Color_To_32(zero_color_arg), Color_To_32(one_color_arg));
}

void Asm32_Blt_1_24(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, a_win_color zero_arg, a_win_color one_arg) {
  Blt_1_Deep<24>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode,
                 Color_To_24(zero_arg), Color_To_24(one_arg));
}

void Asm32_Blt_1_16(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                    const Rect* dst_rect_arg, int16 mode, uint16 zero_color_arg, uint16 one_color_arg) {
  Blt_1_Deep<16>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode, zero_color_arg,
                 one_color_arg);
}

void Asm32_Blt18_Simple(const PixMap* src_pix_arg, const PixMap* dst_pix_arg, const Rect* src_rect_arg,
                        const Rect* dst_rect_arg, int16 mode, uint8 zero_color_arg, uint8 one_color_arg) {
  Blt_1_Deep<8>({src_pix_arg, nullptr, dst_pix_arg, src_rect_arg, nullptr, dst_rect_arg}, mode, zero_color_arg,
                one_color_arg);
}

void Asm32_CopyMask_8_8(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits, const Rect* srcRect_arg,
                        const Rect* mskRect_arg, const Rect* dstRect_arg, RgnHandle /*clip_rgn*/) {
  Copy_Mask1<8, 8>({srcBits, mskBits, dstBits, srcRect_arg, mskRect_arg, dstRect_arg});
}

void Asm32_CopyMask_16_16(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg,
                          RgnHandle /*clip_rgn*/) {
  Copy_Mask1<16, 16>({srcBits, mskBits, dstBits, srcRect_arg, mskRect_arg, dstRect_arg});
}

void Asm32_CopyMask_32_32(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg,
                          RgnHandle /*clip_rgn*/) {
  Copy_Mask1<32, 32>({srcBits, mskBits, dstBits, srcRect_arg, mskRect_arg, dstRect_arg});
}

void Asm32_CopyMask_24_24(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg,
                          RgnHandle /*clip_rgn*/) {
  Copy_Mask1<24, 24>({srcBits, mskBits, dstBits, srcRect_arg, mskRect_arg, dstRect_arg});
}

void Asm32_CopyMask_24_16(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg,
                          RgnHandle /*clip_rgn*/) {
  Copy_Mask1<24, 16>({srcBits, mskBits, dstBits, srcRect_arg, mskRect_arg, dstRect_arg});
}

void Asm32_DeepMask_32_32(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg) {
  Drive<32, 8, 32>({srcBits, mskBits, dstBits, srcRect_arg, mskRect_arg, dstRect_arg}, 0, Op_Deep32{});
}

void Asm32_DeepMask_24_24(const PixMap* srcBits, const PixMap* mskBits, const PixMap* dstBits,
                          const Rect* srcRect_arg, const Rect* mskRect_arg, const Rect* dstRect_arg) {
  Drive<24, 8, 24>({srcBits, mskBits, dstBits, srcRect_arg, mskRect_arg, dstRect_arg}, 0, Op_Deep24{});
}
