// Pixel maps, the part below the pixel engine: the record every in-memory
// picture lives in, its pixel types, and its creation and disposal. The
// platform's offscreen worlds and regions are built on pixel maps, so the
// record and its life sit in this layer; everything that works on the pixels
// (fills, copies, dot accessors, kernels, blits) is the pixel engine's, in
// pixel/SysPix.h, which includes this header.
//
// Row stride. The classic `rowBytes` field is a signed 16-bit value whose two
// top bits are flags, so it cannot describe a stride of 16384 bytes or more
// (a 32-bit map 4096 pixels wide). Every map therefore also carries the full
// stride in `rowBytes32`, and all code that walks pixels takes the stride from
// PixMap_RowBytes(). `rowBytes` keeps its flags and holds the stride while it
// fits in 14 bits; for wider rows it holds 0 so that old-style readers see an
// empty row rather than a wrong one.
#pragma once

#include "platform/ColorTable.h"
#include "platform/Types.h"

// 32-bit pixel and colour of the whole program: bytes b, g, r, a in memory
// order, also readable as one value. a = 255 is opaque, 0 fully transparent.
union a_win_pixel32 {
  struct {
    uint8 b, g, r, a;
  };
  uint32 raw;
};
static_assert(sizeof(a_win_pixel32) == 4);
using a_pixel32 = a_win_pixel32;
using a_pixel32_ptr = a_pixel32*;

// Three-byte colour record (not the byte order of 24-bit pixels).
struct a_pixel24 {
  uint8 r, g, b;
};
static_assert(sizeof(a_pixel24) == 3);

struct a_pixel48 {
  uint16 r, g, b;
};

struct BitMap {
  Ptr baseAddr;
  int16 rowBytes;
  Rect bounds;
};

struct PixMap {
  Ptr baseAddr;         // first byte of the top row; NIL for a null map
  int16 rowBytes;       // stride in the low 14 bits, two top bits are flags
  Rect bounds;          // the map's own coordinates
  int16 pmVersion;
  int16 packType;
  int32 packSize;
  uint32 hRes;          // 16.16 fixed point, 72 dpi
  uint32 vRes;
  int16 pixelType;      // 0 indexed (depth <= 8), 16 direct colour
  int16 pixelSize;      // 1, 8, 16, 24 or 32
  int16 cmpCount;
  int16 cmpSize;
  union {
    uint32 planeBytes;
    uint32 qt_pixelFormat;  // 'L555' for depth 16, 'BGRA' for depth 32
  };
  union {
    CTabHandle pmTable;
    CTabHandle qt_pmTable;
  };
  union {
    uint32 pmReserved;
    uint32 qt_pmExt;
  };
  uint32 rowBytes32;    // the full stride in bytes; 0 in records filled in by hand
};
using PixMapPtr = PixMap*;
using PixMapHandle = PixMapPtr*;

constexpr uint32 kPixFormat_L555 = FourCC("L555");
constexpr uint32 kPixFormat_BGRA = FourCC("BGRA");
constexpr uint32 kRes72dpi = 0x00480000;
constexpr int16 kRowBytesMask = 0x3FFF;
constexpr uint16 kRowBytesFlag = 0x8000;  // set on maps that wrap a BitMap

// The stride of a map in bytes. Use this everywhere instead of reading
// `rowBytes`: it is exact for every width, and falls back to the 14-bit field
// for records that were filled in by hand.
inline uint32 PixMap_RowBytes(const PixMap& pm) {
  return pm.rowBytes32 != 0 ? pm.rowBytes32 : uint32(uint16(pm.rowBytes) & uint16(kRowBytesMask));
}
inline uint32 PixMap_RowBytes(const PixMap* pm) { return PixMap_RowBytes(*pm); }

// Sets both stride fields; `flags` are the top bits kept in `rowBytes`.
void PixMap_Set_RowBytes(PixMap& pm, uint32 stride, uint16 flags = 0);

// Bytes per row of a map of this width and depth, rows padded to 4 bytes.
// Negative widths count as 0.
uint32 PixMap_Calc_RowBytes(int32 width, int16 depth);

// ---------------------------------------------------------------------------
// Creation and life
// ---------------------------------------------------------------------------

// Fills in every field and allocates a zero-filled block of height x stride
// bytes. A size beyond the largest block calls g_err_mem_proc with that size
// (clamped to 32 bits); should the hook return, the map is left null.
void New_PixMap(PixMap& pixmap, const Rect& nbounds, int16 depth, CTabHandle ctab);
// The same header with no pixels: baseAddr NIL, stride 0, bounds all 0.
void New_Empty_PixMap(PixMap& pixmap, int16 depth, CTabHandle ctab);
void Dispose_PixMap(PixMap& pixmap);
void Null_PixMap(PixMap& pix);
bool8 Is_Null_PixMap(const PixMap& pix);
// New pixels (old contents are dropped) for newbounds; an empty rectangle
// leaves a null map that keeps its depth and colour table.
void PixMap_Resize(PixMap& pix, const Rect& newbounds);
// Height x stride; a negative height counts as 0.
uint32 PixMap_Len(const PixMap& pix);
void BitMap_As_PixMap(const BitMap& bit, PixMap& pix);
void PixMap_As_BitMap(const PixMap& pix, BitMap& bit);

