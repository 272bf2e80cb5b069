#include "pixel/SysPix.h"

#include <algorithm>
#include <cstring>

#include "pixel/Asm32.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"

a_8_to_1_mapping White_transparent1;

namespace {

a_pix_rec g_pix[8];
int16 genericA_bitsperpixel = 0;
int16 genericB_bitsperpixel = 0;

// Filled at load time too, so code that runs before module start-up (and
// tests) sees the finished table.
const bool kWhiteTableBuilt = [] {
  SysPix_Init();
  return true;
}();

inline int32 Width(const PixMap& pm) { return std::max<int32>(int32(pm.bounds.right) - pm.bounds.left, 0); }
inline int32 Height(const PixMap& pm) { return std::max<int32>(int32(pm.bounds.bottom) - pm.bounds.top, 0); }

inline uint8* Base(const PixMap& pm) { return reinterpret_cast<uint8*>(pm.baseAddr); }

// Address of (col, row) in a binding; 64-bit offsets for tall maps with wide rows.
inline uint8* DotAddr(const a_pix_rec& b, int32 col, int32 row, int32 bytesPerPixel) {
  return reinterpret_cast<uint8*>(b.base) + int64(row - b.bounds.top) * int64(b.rowbytes) +
         int64(col - b.bounds.left) * bytesPerPixel;
}

inline void Put_Pixel32(uint8* p, a_win_pixel32 c) {
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
  p[3] = c.a;
}

// The bands of a frame of `thickness` inside `box`, each limited to the map's
// bounds: rows are painted with `rowFill`(col, row, len), the side bands
// column by column with `colFill`(col, bottom row, len) going up.
template <typename RowFill, typename ColFill>
void Frame_Bands(const Rect& box, int16 thickness, const Rect& bounds, RowFill rowFill, ColFill colFill) {
  if (thickness <= 0) return;
  const int32 t = thickness;
  const int32 left = std::max<int32>(box.left, bounds.left);
  const int32 right = std::min<int32>(box.right, bounds.right);
  if (right <= left) return;
  auto rows = [&](int32 from, int32 to) {  // full-width band, rows [from, to)
    from = std::max<int32>(from, bounds.top);
    to = std::min<int32>(to, bounds.bottom);
    for (int32 v = from; v < to; ++v) rowFill(left, v, right - left);
  };
  const int32 innerTop = int32(box.top) + t;
  const int32 innerBottom = int32(box.bottom) - t;
  rows(box.top, std::min<int32>(innerTop, box.bottom));
  rows(std::max<int32>(innerBottom, innerTop), box.bottom);
  if (innerBottom <= innerTop) return;
  const int32 top = std::max<int32>(innerTop, bounds.top);
  const int32 bottom = std::min<int32>(innerBottom, bounds.bottom);
  if (bottom <= top) return;
  auto cols = [&](int32 from, int32 to) {
    from = std::max<int32>(from, bounds.left);
    to = std::min<int32>(to, bounds.right);
    for (int32 h = from; h < to; ++h) colFill(h, bottom - 1, bottom - top);
  };
  cols(box.left, std::min<int32>(int32(box.left) + t, box.right));
  cols(std::max<int32>(int32(box.right) - t, int32(box.left) + t), box.right);
}

}  // namespace

void SysPix_Init() {
  std::fill(std::begin(White_transparent1), std::end(White_transparent1), uint8(1));
  White_transparent1[255] = 0;
}

// ---------------------------------------------------------------------------
// Whole-map contents
// ---------------------------------------------------------------------------

void PixMap_Zero(const PixMap& pix) {
  if (pix.baseAddr != nullptr) Asm32_FillBytes(pix.baseAddr, PixMap_Len(pix), 0);
}

void GWorld_Zero(a_gworld_rec* world) {
  if (world != nullptr) PixMap_Zero(world->pix);
}

void PixMap_Ones(const PixMap& pix) {
  if (pix.baseAddr != nullptr) Asm32_FillBytes(pix.baseAddr, PixMap_Len(pix), 255);
}

void PixMap8_Fill(const PixMap& pix, uint8 val) {
  if (pix.baseAddr != nullptr) Asm32_FillBytes(pix.baseAddr, PixMap_Len(pix), val);
}

void PixMap16_Fill(const PixMap& pix, uint16 val) {
  if (pix.baseAddr == nullptr) return;
  const uint32 n = PixMap_Len(pix) / 2;
  uint8* p = Base(pix);
  const uint8 lo = uint8(val), hi = uint8(val >> 8);
  if (lo == hi) {
    Asm32_FillBytes(p, n * 2, lo);
    return;
  }
  for (uint32 i = 0; i < n; ++i) {
    p[2 * i] = lo;
    p[2 * i + 1] = hi;
  }
}

void PixMap32_Fill(const PixMap& pix, a_win_pixel32 val) {
  if (pix.pixelSize == 32) {
    if (pix.baseAddr == nullptr) return;
    const uint32 n = PixMap_Len(pix) / 4;
    uint8* p = Base(pix);
    if (val.b == val.g && val.g == val.r && val.r == val.a) {
      Asm32_FillBytes(p, n * 4, val.b);
      return;
    }
    // The union's value is the four bytes in memory order, so whole words can be stored.
    const uint32 word = val.raw;
    for (uint32 i = 0; i < n; ++i) std::memcpy(p + 4 * uint64(i), &word, 4);
  } else if (pix.pixelSize == 24) {
    const int32 width = Width(pix), height = Height(pix);
    if (pix.baseAddr == nullptr || width == 0 || height == 0) return;
    // 24-bit pixels are blue, green, red everywhere else, so the fill lays
    // the colour down in that order too.
    uint8* row0 = Base(pix);
    for (int32 h = 0; h < width; ++h) {
      row0[3 * h] = val.b;
      row0[3 * h + 1] = val.g;
      row0[3 * h + 2] = val.r;
    }
    const uint32 stride = PixMap_RowBytes(pix);
    for (int32 v = 1; v < height; ++v) Asm32_BlockMove(row0, row0 + int64(v) * stride, stride);
  } else {
    QUIT();
  }
}

void PixMap8_To_8(PixMapPtr pix, const a_8_to_8_mapping& map) {
  if (pix->baseAddr == nullptr) return;
  uint8* p = Base(*pix);
  for (uint32 i = 0, n = PixMap_Len(*pix); i < n; ++i) p[i] = map[p[i]];
}

void PixMap_Copy(const PixMap& src, PixMap& dst) {
  const PixMap from = src;  // dst may be the same record
  if (from.baseAddr == nullptr) {
    New_Empty_PixMap(dst, from.pixelSize, from.pmTable);
    return;
  }
  New_PixMap(dst, from.bounds, from.pixelSize, from.pmTable);
  if (dst.baseAddr == nullptr) return;
  const uint32 ss = PixMap_RowBytes(from), ds = PixMap_RowBytes(dst);
  if (ss == ds) {
    Asm32_BlockMove(from.baseAddr, dst.baseAddr, std::min(PixMap_Len(from), PixMap_Len(dst)));
    return;
  }
  // A record filled in by hand may have a wider stride than a map made here:
  // copy row by row so the new block is never overrun.
  const uint32 n = std::min(ss, ds);
  for (int32 v = 0, h = Height(from); v < h; ++v)
    Asm32_BlockMove(Base(from) + int64(v) * ss, Base(dst) + int64(v) * ds, n);
}

// ---------------------------------------------------------------------------
// 8-bit dot accessors
// ---------------------------------------------------------------------------

namespace {
void Bind_Slot(a_pix_range slot, const PixMap* pix, int16 pixelsize) {
  a_pix_rec& b = g_pix[slot];
  b.base = pix->baseAddr;
  b.rowbytes = PixMap_RowBytes(*pix);
  b.bounds = pix->bounds;
  b.pixelsize = pixelsize;
}
}  // namespace

void PixA_Init(PixMapPtr pix) { Bind_Slot(PIX8A, pix, 8); }
void PixB_Init(PixMapPtr pix) { Bind_Slot(PIX8B, pix, 8); }
uint8 PixA_GetDot(int16 col, int16 row) { return *DotAddr(g_pix[PIX8A], col, row, 1); }
uint8 PixB_GetDot(int16 col, int16 row) { return *DotAddr(g_pix[PIX8B], col, row, 1); }
void PixA_PutDot(int16 col, int16 row, uint8 val) { *DotAddr(g_pix[PIX8A], col, row, 1) = val; }
void PixB_PutDot(int16 col, int16 row, uint8 val) { *DotAddr(g_pix[PIX8B], col, row, 1) = val; }

void PixA_ScaleDot(int16 col, int16 row, uint8 val) {
  uint8* p = DotAddr(g_pix[PIX8A], col, row, 1);
  *p = uint8(uint32(*p) * val / 255);
}
void PixB_ScaleDot(int16 col, int16 row, uint8 val) {
  uint8* p = DotAddr(g_pix[PIX8B], col, row, 1);
  *p = uint8(uint32(*p) * val / 255);
}

void PixA_Stop() {}
void PixB_Stop() {}
void Pix16A_Stop() {}
void Pix16B_Stop() {}
void Pix32A_Stop() {}
void Pix32B_Stop() {}
void BitA_Stop() {}
void BitB_Stop() {}

void Pix16A_Init(PixMapPtr pix) { Asm32_Pix16A_Init(pix); }
uint16 Pix16A_GetDot(int16 col, int16 row) { return Asm32_Pix16A_GetDot(col, row); }
void Pix16A_PutDot(int16 col, int16 row, uint16 val) { Asm32_Pix16A_PutDot(col, row, val); }
void Pix32A_Init(PixMapPtr pix) { Asm32_Pix32A_Init(pix); }
void Pix32A_PutDot(int16 col, int16 row, const a_pixel32* val) { Asm32_Pix32A_PutDot(col, row, val); }

// ---------------------------------------------------------------------------
// Depth-independent accessors
// ---------------------------------------------------------------------------

void GenericPixA_Init(PixMapPtr pix) {
  genericA_bitsperpixel = pix->pixelSize;
  switch (pix->pixelSize) {
    case 1: Asm32_BitA_Init(pix); break;
    case 8: PixA_Init(pix); break;
    case 16: Asm32_Pix16A_Init(pix); break;
    default: Asm32_Pix32A_Init(pix); break;
  }
}

void GenericPixB_Init(PixMapPtr pix) {
  genericB_bitsperpixel = pix->pixelSize;
  switch (pix->pixelSize) {
    case 1: Asm32_BitB_Init(pix); break;
    case 8: PixB_Init(pix); break;
    case 16: Asm32_Pix16B_Init(pix); break;
    default: Asm32_Pix32B_Init(pix); break;
  }
}

void GenericPixA_GetDot32(int16 col, int16 row, a_win_pixel32& pixel) {
  switch (genericA_bitsperpixel) {
    case 1: pixel.r = Asm32_BitA_GetDot(col, row) != 0 ? 255 : 0; break;
    case 8: pixel.r = PixA_GetDot(col, row); break;
    case 16: {
      const uint16 p = Asm32_Pix16A_GetDot(col, row);
      const uint8 r5 = (p >> 10) & 31, g5 = (p >> 5) & 31, b5 = p & 31;
      pixel.r = uint8(r5 * 8 + r5 / 4);
      pixel.g = uint8(g5 * 8 + g5 / 4);
      pixel.b = uint8(b5 * 8 + b5 / 4);
      break;
    }
    default: Asm32_Pix32A_GetDot(col, row, &pixel); break;
  }
}

void GenericPixB_PutDot32(int16 col, int16 row, const a_win_pixel32& pixel) {
  switch (genericB_bitsperpixel) {
    case 1: Asm32_BitB_PutDot(col, row, pixel.r >= 128 ? 1 : 0); break;
    case 8: PixB_PutDot(col, row, pixel.r); break;
    case 16:
      Asm32_Pix16B_PutDot(col, row, uint16((pixel.r / 8) * 1024 + (pixel.g / 8) * 32 + pixel.b / 8));
      break;
    default: Asm32_Pix32B_PutDot(col, row, &pixel); break;
  }
}

void GenericPixA_Stop() {
  switch (genericA_bitsperpixel) {
    case 1: BitA_Stop(); break;
    case 8: PixA_Stop(); break;
    case 16: Pix16A_Stop(); break;
    default: Pix32A_Stop(); break;
  }
}

void GenericPixB_Stop() {
  switch (genericB_bitsperpixel) {
    case 1: BitB_Stop(); break;
    case 8: PixB_Stop(); break;
    case 16: Pix16B_Stop(); break;
    default: Pix32B_Stop(); break;
  }
}

// ---------------------------------------------------------------------------
// Frames and row/column fills
// ---------------------------------------------------------------------------

void Pix8_FillRow(int16 startcol, int16 startrow, int16 len, uint8 color) {
  if (len <= 0) return;
  std::memset(DotAddr(g_pix[PIX8A], startcol, startrow, 1), color, size_t(len));
}

void Pix8_FillCol(int16 startcol, int16 startrow, int16 len, uint8 color) {
  const a_pix_rec& b = g_pix[PIX8A];
  for (int32 i = 0; i < len; ++i) *DotAddr(b, startcol, int32(startrow) - i, 1) = color;
}

void M2_Pix32A_Init(PixMapPtr pix) { Bind_Slot(PIX32A, pix, pix->pixelSize); }
void M2_Pix32A_Stop() {}

void M2_Pix32_FillRow(int16 startcol, int16 startrow, int16 len, a_win_pixel32 color) {
  const a_pix_rec& b = g_pix[PIX32A];
  for (int32 i = 0; i < len; ++i) Put_Pixel32(DotAddr(b, int32(startcol) + i, startrow, 4), color);
}

void M2_Pix32_FillCol(int16 startcol, int16 startrow, int16 len, a_win_pixel32 color) {
  const a_pix_rec& b = g_pix[PIX32A];
  for (int32 i = 0; i < len; ++i) Put_Pixel32(DotAddr(b, startcol, int32(startrow) - i, 4), color);
}

void PixMap8_Frame(a_win_pixel32 color, const Rect& box, int16 thickness, PixMapPtr pix) {
  if (pix->baseAddr == nullptr) return;
  PixA_Init(pix);
  Frame_Bands(
      box, thickness, pix->bounds,
      [&](int32 h, int32 v, int32 n) {
        for (; n > 0; h += 32767, n -= 32767) Pix8_FillRow(int16(h), int16(v), int16(std::min<int32>(n, 32767)), color.a);
      },
      [&](int32 h, int32 v, int32 n) {
        for (; n > 0; v -= 32767, n -= 32767) Pix8_FillCol(int16(h), int16(v), int16(std::min<int32>(n, 32767)), color.a);
      });
  PixA_Stop();
}

void PixMap32_Frame(a_win_pixel32 color, const Rect& box, int16 thickness, PixMapPtr pix) {
  if (pix->baseAddr == nullptr) return;
  M2_Pix32A_Init(pix);
  Frame_Bands(
      box, thickness, pix->bounds,
      [&](int32 h, int32 v, int32 n) {
        for (; n > 0; h += 32767, n -= 32767) M2_Pix32_FillRow(int16(h), int16(v), int16(std::min<int32>(n, 32767)), color);
      },
      [&](int32 h, int32 v, int32 n) {
        for (; n > 0; v -= 32767, n -= 32767) M2_Pix32_FillCol(int16(h), int16(v), int16(std::min<int32>(n, 32767)), color);
      });
  M2_Pix32A_Stop();
}

void PixMap_Frame(a_win_pixel32 color, const Rect& box, int16 thickness, PixMapPtr pix) {
  switch (pix->pixelSize) {
    case 8: PixMap8_Frame(color, box, thickness, pix); break;
    case 32: PixMap32_Frame(color, box, thickness, pix); break;
    default: QUIT(); break;
  }
}
