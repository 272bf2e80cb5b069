#include "pixel/Asm32.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "host/HostByteOrder.h"

namespace {

// One accessor binding: where row `top` begins, the map's origin and stride.
struct Binding {
  Ptr baseAddr = nullptr;
  int32 left = 0;
  int32 top = 0;
  uint32 rowBytes = 0;
  int16 pixelSize = 0;
};

Binding pixA, pixB, pix16A, pix16B, pix32A, pix32B, bitA, BitB;

inline void Bind(Binding& b, const PixMap* pix) {
  b.baseAddr = pix->baseAddr;
  b.left = pix->bounds.left;
  b.top = pix->bounds.top;
  b.rowBytes = PixMap_RowBytes(*pix);
  b.pixelSize = pix->pixelSize;
}

// Row start of `row`; the product is formed in 64 bits so that tall maps with
// wide rows address correctly.
inline uint8* RowAt(const Binding& b, int16 row) {
  return reinterpret_cast<uint8*>(b.baseAddr) + int64(int32(row) - b.top) * int64(b.rowBytes);
}

inline uint8 Get8(const Binding& b, int16 col, int16 row) { return RowAt(b, row)[int32(col) - b.left]; }
inline void Put8(const Binding& b, int16 col, int16 row, uint8 val) { RowAt(b, row)[int32(col) - b.left] = val; }

// 16-bit pixels are little-endian in memory, as is the machine.
inline uint16 Get_Dot16(const Binding& b, int16 col, int16 row) {
  return Load_LE16(RowAt(b, row) + int64(int32(col) - b.left) * 2);
}
inline void Put_Dot16(const Binding& b, int16 col, int16 row, uint16 val) {
  Store_LE16(RowAt(b, row) + int64(int32(col) - b.left) * 2, val);
}

inline void Get_Dot32(const Binding& b, int16 col, int16 row, a_pixel32* out) {
  if (b.pixelSize == 32) {
    const uint8* p = RowAt(b, row) + int64(int32(col) - b.left) * 4;
    out->b = p[0];
    out->g = p[1];
    out->r = p[2];
    out->a = p[3];
  } else {
    const uint8* p = RowAt(b, row) + int64(int32(col) - b.left) * 3;
    out->b = p[0];
    out->g = p[1];
    out->r = p[2];
    out->a = 0;
  }
}
inline void Put_Dot32(const Binding& b, int16 col, int16 row, const a_pixel32* val) {
  if (b.pixelSize == 32) {
    uint8* p = RowAt(b, row) + int64(int32(col) - b.left) * 4;
    p[0] = val->b;
    p[1] = val->g;
    p[2] = val->r;
    p[3] = val->a;
  } else {
    uint8* p = RowAt(b, row) + int64(int32(col) - b.left) * 3;
    p[0] = val->b;
    p[1] = val->g;
    p[2] = val->r;
  }
}

inline uint8 GetBit(const Binding& b, int16 col, int16 row) {
  const int32 x = int32(col) - b.left;
  return (RowAt(b, row)[x >> 3] >> (7 - (x & 7))) & 1;
}
inline void PutBit(const Binding& b, int16 col, int16 row, uint8 val) {
  const int32 x = int32(col) - b.left;
  uint8& byte = RowAt(b, row)[x >> 3];
  const uint8 bit = uint8(0x80u >> (x & 7));
  if (val != 0)
    byte = uint8(byte | bit);
  else
    byte = uint8(byte & ~bit);
}

// The search rectangle as map-relative columns and rows, limited to the map.
struct Area {
  int32 left, top, right, bottom;
  bool empty() const { return right <= left || bottom <= top; }
};
Area SearchArea(const PixMap* pix, const Rect* search) {
  const Rect& bd = pix->bounds;
  Area a;
  a.left = std::max<int32>(search->left, bd.left) - bd.left;
  a.top = std::max<int32>(search->top, bd.top) - bd.top;
  a.right = std::min<int32>(search->right, bd.right) - bd.left;
  a.bottom = std::min<int32>(search->bottom, bd.bottom) - bd.top;
  return a;
}

void StoreBox(const PixMap* pix, bool found, int32 left, int32 top, int32 right, int32 bottom, Rect* out) {
  if (!found) {
    *out = Rect{0, 0, 0, 0};
    return;
  }
  out->top = int16(top + pix->bounds.top);
  out->left = int16(left + pix->bounds.left);
  out->bottom = int16(bottom + pix->bounds.top);
  out->right = int16(right + pix->bounds.left);
}

// Scans a map's rows for the first and last non-empty one, then narrows the
// columns only within those rows. `firstInRow` and `lastInRow` give the first
// and last non-empty column of a row within [from, to), or -1.
template <typename FirstFn, typename LastFn>
void BoundingBox(const PixMap* pix, const Rect* search, Rect* out, FirstFn firstInRow, LastFn lastInRow) {
  const Area a = SearchArea(pix, search);
  if (a.empty() || pix->baseAddr == nullptr) {
    StoreBox(pix, false, 0, 0, 0, 0, out);
    return;
  }
  const uint32 stride = PixMap_RowBytes(*pix);
  const uint8* base = reinterpret_cast<const uint8*>(pix->baseAddr);
  auto row = [&](int32 v) { return base + int64(v) * stride; };

  int32 top = -1, left = 0, right = 0;
  for (int32 v = a.top; v < a.bottom; ++v) {
    const int32 x = firstInRow(row(v), a.left, a.right);
    if (x >= 0) {
      top = v;
      left = x;
      right = lastInRow(row(v), x, a.right) + 1;
      break;
    }
  }
  if (top < 0) {
    StoreBox(pix, false, 0, 0, 0, 0, out);
    return;
  }
  int32 bottom = top + 1;
  for (int32 v = a.bottom - 1; v > top; --v) {
    if (firstInRow(row(v), a.left, a.right) >= 0) {
      bottom = v + 1;
      break;
    }
  }
  for (int32 v = top; v < bottom && (left > a.left || right < a.right); ++v) {
    if (left > a.left) {
      const int32 x = firstInRow(row(v), a.left, left);
      if (x >= 0) left = x;
    }
    if (right < a.right) {
      const int32 x = lastInRow(row(v), right, a.right);
      if (x >= 0) right = x + 1;
    }
  }
  StoreBox(pix, true, left, top, right, bottom, out);
}

// Bits [from, to) of byte i of a 1-bit row, as a mask.
inline uint8 ByteMask(int32 i, int32 from, int32 to) {
  const int32 lo = std::max(from - i * 8, 0);
  const int32 hi = std::min(to - i * 8, 8);
  if (hi <= lo) return 0;
  return uint8((0xFFu >> lo) & (0xFFu << (8 - hi)));
}

int32 FirstBit(const uint8* r, int32 from, int32 to) {
  if (to <= from) return -1;
  for (int32 i = from >> 3, last = (to - 1) >> 3; i <= last; ++i) {
    const uint8 m = r[i] & ByteMask(i, from, to);
    if (m != 0) return i * 8 + (std::countl_zero(m));
  }
  return -1;
}

int32 LastBit(const uint8* r, int32 from, int32 to) {
  if (to <= from) return -1;
  for (int32 i = (to - 1) >> 3, first = from >> 3; i >= first; --i) {
    const uint8 m = r[i] & ByteMask(i, from, to);
    if (m != 0) return i * 8 + 7 - std::countr_zero(m);
  }
  return -1;
}

int32 FirstByte(const uint8* r, int32 from, int32 to) {
  for (int32 x = from; x < to; ++x)
    if (r[x] != 0) return x;
  return -1;
}

int32 LastByte(const uint8* r, int32 from, int32 to) {
  for (int32 x = to - 1; x >= from; --x)
    if (r[x] != 0) return x;
  return -1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Accessors
// ---------------------------------------------------------------------------

void Asm32_PixA_Init(PixMapPtr pix_arg) { Bind(pixA, pix_arg); }
void Asm32_PixB_Init(PixMapPtr pix_arg) { Bind(pixB, pix_arg); }
uint8 Asm32_PixA_GetDot(int16 col_arg, int16 row_arg) { return Get8(pixA, col_arg, row_arg); }
uint8 Asm32_PixB_GetDot(int16 col_arg, int16 row_arg) { return Get8(pixB, col_arg, row_arg); }
void Asm32_PixA_PutDot(int16 col_arg, int16 row_arg, uint8 val) { Put8(pixA, col_arg, row_arg, val); }
void Asm32_PixB_PutDot(int16 col_arg, int16 row_arg, uint8 val) { Put8(pixB, col_arg, row_arg, val); }

void Asm32_Pix16A_Init(PixMapPtr pix_arg) { Bind(pix16A, pix_arg); }
void Asm32_Pix16B_Init(PixMapPtr pix_arg) { Bind(pix16B, pix_arg); }
uint16 Asm32_Pix16A_GetDot(int16 col_arg, int16 row_arg) { return Get_Dot16(pix16A, col_arg, row_arg); }
uint16 Asm32_Pix16B_GetDot(int16 col_arg, int16 row_arg) { return Get_Dot16(pix16B, col_arg, row_arg); }
void Asm32_Pix16A_PutDot(int16 col_arg, int16 row_arg, uint16 val) { Put_Dot16(pix16A, col_arg, row_arg, val); }
void Asm32_Pix16B_PutDot(int16 col_arg, int16 row_arg, uint16 val) { Put_Dot16(pix16B, col_arg, row_arg, val); }

void Asm32_Pix32A_Init(PixMapPtr pix_arg) { Bind(pix32A, pix_arg); }
void Asm32_Pix32B_Init(PixMapPtr pix_arg) { Bind(pix32B, pix_arg); }
void Asm32_Pix32A_GetDot(int16 col_arg, int16 row_arg, a_pixel32* result_arg) {
  Get_Dot32(pix32A, col_arg, row_arg, result_arg);
}
void Asm32_Pix32B_GetDot(int16 col_arg, int16 row_arg, a_pixel32* result_arg) {
  Get_Dot32(pix32B, col_arg, row_arg, result_arg);
}
void Asm32_Pix32A_PutDot(int16 col_arg, int16 row_arg, const a_pixel32* val) {
  Put_Dot32(pix32A, col_arg, row_arg, val);
}
void Asm32_Pix32B_PutDot(int16 col_arg, int16 row_arg, const a_pixel32* val) {
  Put_Dot32(pix32B, col_arg, row_arg, val);
}

void Asm32_BitA_Init(PixMapPtr pix_arg) { Bind(bitA, pix_arg); }
void Asm32_BitB_Init(PixMapPtr pix_arg) { Bind(BitB, pix_arg); }
uint8 Asm32_BitA_GetDot(int16 col_arg, int16 row_arg) { return GetBit(bitA, col_arg, row_arg); }
uint8 Asm32_BitB_GetDot(int16 col_arg, int16 row_arg) { return GetBit(BitB, col_arg, row_arg); }
void Asm32_BitA_PutDot(int16 col_arg, int16 row_arg, uint8 val) { PutBit(bitA, col_arg, row_arg, val); }
void Asm32_BitB_PutDot(int16 col_arg, int16 row_arg, uint8 val) { PutBit(BitB, col_arg, row_arg, val); }

// ---------------------------------------------------------------------------
// Bounding boxes
// ---------------------------------------------------------------------------

void Asm32_PixMap1_Bounding(PixMapPtr pix_arg, const Rect* search_arg, Rect* bounding_arg) {
  BoundingBox(pix_arg, search_arg, bounding_arg, FirstBit, LastBit);
}

void Asm32_PixMap8_Bounding(PixMapPtr pix_arg, const Rect* search_arg, Rect* bounding_arg) {
  BoundingBox(pix_arg, search_arg, bounding_arg, FirstByte, LastByte);
}

void Asm32_PixMap8_Subtract(PixMapPtr mask_pix_arg, PixMapPtr fore_pix_arg, PixMapPtr back_pix_arg) {
  if (mask_pix_arg->baseAddr == nullptr || fore_pix_arg->baseAddr == nullptr || back_pix_arg->baseAddr == nullptr)
    return;
  const Rect& mb = mask_pix_arg->bounds;
  const Rect& fb = fore_pix_arg->bounds;
  const Rect& bb = back_pix_arg->bounds;
  const int32 top = std::max({int32(mb.top), int32(fb.top), int32(bb.top)});
  const int32 left = std::max({int32(mb.left), int32(fb.left), int32(bb.left)});
  const int32 bottom = std::min({int32(mb.bottom), int32(fb.bottom), int32(bb.bottom)});
  const int32 right = std::min({int32(mb.right), int32(fb.right), int32(bb.right)});
  const uint32 ms = PixMap_RowBytes(*mask_pix_arg);
  const uint32 fs = PixMap_RowBytes(*fore_pix_arg);
  const uint32 bs = PixMap_RowBytes(*back_pix_arg);
  for (int32 v = top; v < bottom; ++v) {
    uint8* mrow = reinterpret_cast<uint8*>(mask_pix_arg->baseAddr) + int64(v - mb.top) * ms;
    uint8* frow = reinterpret_cast<uint8*>(fore_pix_arg->baseAddr) + int64(v - fb.top) * fs;
    const uint8* brow = reinterpret_cast<const uint8*>(back_pix_arg->baseAddr) + int64(v - bb.top) * bs;
    for (int32 h = left; h < right; ++h) {
      const int32 mx = h - mb.left;
      const uint8 bit = uint8(0x80u >> (mx & 7));
      if ((mrow[mx >> 3] & bit) == 0) continue;
      uint8& f = frow[h - fb.left];
      if (f == brow[h - bb.left]) {
        f = 255;
        mrow[mx >> 3] = uint8(mrow[mx >> 3] & ~bit);
      }
    }
  }
}

void Asm32_Calc_Inverse(const RGB32* color_arg, uint8* inverse_arg) {
  int32 er[256], eg[256], eb[256];
  int32 n = 0;
  uint8 idx[256];
  for (int32 i = 0; i < 256; ++i) {
    if (color_arg[i].flag == 1) continue;
    er[n] = color_arg[i].red >> 3;
    eg[n] = color_arg[i].green >> 3;
    eb[n] = color_arg[i].blue >> 3;
    idx[n] = uint8(i);
    ++n;
  }
  for (int32 c = 0; c < 32768; ++c) {
    const int32 r = (c >> 10) & 31, g = (c >> 5) & 31, b = c & 31;
    int32 best = std::numeric_limits<int32>::max();
    uint8 bestIdx = 0;
    for (int32 k = 0; k < n; ++k) {
      const int32 d = (r - er[k]) * (r - er[k]) + (g - eg[k]) * (g - eg[k]) + (b - eb[k]) * (b - eb[k]);
      if (d < best) {  // strict: the lower index wins a tie
        best = d;
        bestIdx = idx[k];
      }
    }
    inverse_arg[c] = bestIdx;
  }
}

// ---------------------------------------------------------------------------
// Ratios, fills and moves
// ---------------------------------------------------------------------------

int16 Asm32_Fraction(int16 aa, int16 bb, int16 cc) {
  if (cc == 0) return 0;
  const int32 q = (int32(aa) * int32(bb)) / int32(cc);  // C++ division truncates toward zero
  return int16(std::clamp<int32>(q, -32768, 32767));
}

int32 Asm32_Fraction32(int32 aa, int32 bb, int32 cc) {
  if (cc == 0) return 0;
  const int64 q = (int64(aa) * int64(bb)) / int64(cc);
  return int32(std::clamp<int64>(q, std::numeric_limits<int32>::min(), std::numeric_limits<int32>::max()));
}

void Asm32_FillBytes(void* buffer, uint32 buflen, uint8 bufval) {
  if (buflen != 0) std::memset(buffer, bufval, buflen);
}

void Asm32_BlockMove(const void* src, void* dst, uint32 len) {
  if (len != 0) std::memmove(dst, src, len);
}
