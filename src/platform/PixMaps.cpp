// The pixel-map record's life: see PixMaps.h.
#include "platform/PixMaps.h"

#include <algorithm>

#include "platform/SysErr.h"
#include "platform/SysMem.h"

namespace {

bool Depth_Served(int16 depth) {
  return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// Everything but the pixels, stride and bounds (the same for empty and full maps).
void Fill_Header(PixMap& pm, int16 depth, CTabHandle ctab) {
  pm.pmVersion = 0;
  pm.packType = 0;
  pm.packSize = 0;
  pm.hRes = kRes72dpi;
  pm.vRes = kRes72dpi;
  pm.pixelSize = depth;
  if (depth <= 8) {
    pm.pixelType = 0;
    pm.cmpCount = 1;
    pm.cmpSize = depth;
  } else {
    pm.pixelType = 16;
    pm.cmpCount = 3;
    pm.cmpSize = depth <= 16 ? 5 : 8;
  }
  pm.pmTable = ctab;
  pm.planeBytes = 0;
  pm.pmReserved = 0;
  if (depth == 16) pm.qt_pixelFormat = kPixFormat_L555;
  if (depth == 32) pm.qt_pixelFormat = kPixFormat_BGRA;
}

void Make_Null(PixMap& pm) {
  pm.baseAddr = nullptr;
  pm.bounds = Rect{0, 0, 0, 0};
  PixMap_Set_RowBytes(pm, 0);
}

inline int32 Height(const PixMap& pm) { return std::max<int32>(int32(pm.bounds.bottom) - pm.bounds.top, 0); }

}  // namespace

void PixMap_Set_RowBytes(PixMap& pm, uint32 stride, uint16 flags) {
  pm.rowBytes32 = stride;
  const uint16 low = stride <= uint32(kRowBytesMask) ? uint16(stride) : uint16(0);
  pm.rowBytes = int16(uint16((flags & ~uint16(kRowBytesMask)) | low));
}

uint32 PixMap_Calc_RowBytes(int32 width, int16 depth) {
  if (width <= 0 || depth <= 0) return 0;
  return uint32((int64(width) * depth + 31) / 32 * 4);
}

// ---------------------------------------------------------------------------
// Creation and life
// ---------------------------------------------------------------------------

void New_PixMap(PixMap& pixmap, const Rect& nbounds, int16 depth, CTabHandle ctab) {
  Fill_Header(pixmap, depth, ctab);
  Make_Null(pixmap);
  if (!Depth_Served(depth)) {
    QUIT();
    return;
  }
  const int32 width = std::max<int32>(int32(nbounds.right) - nbounds.left, 0);
  const int32 height = std::max<int32>(int32(nbounds.bottom) - nbounds.top, 0);
  const uint32 stride = PixMap_Calc_RowBytes(width, depth);
  const uint64 size = uint64(height) * stride;
  if (size > kMaxBlockSize) {
    g_err_mem_proc(uint32(std::min<uint64>(size, 0xFFFFFFFFu)));
    return;
  }
  // An empty map still gets a block, so it is not mistaken for a null one.
  Ptr block = New_Ptr_Clear(uint32(std::max<uint64>(size, 1)));
  if (block == nullptr) {
    g_err_mem_proc(uint32(size));
    return;
  }
  pixmap.baseAddr = block;
  pixmap.bounds = nbounds;
  PixMap_Set_RowBytes(pixmap, stride);
}

void New_Empty_PixMap(PixMap& pixmap, int16 depth, CTabHandle ctab) {
  Fill_Header(pixmap, depth, ctab);
  Make_Null(pixmap);
}

void Dispose_PixMap(PixMap& pixmap) {
  if (pixmap.baseAddr != nullptr) Dispose_Ptr(pixmap.baseAddr);
  pixmap.baseAddr = nullptr;
}

void Null_PixMap(PixMap& pix) { pix.baseAddr = nullptr; }

bool8 Is_Null_PixMap(const PixMap& pix) { return pix.baseAddr == nullptr; }

void PixMap_Resize(PixMap& pix, const Rect& newbounds) {
  Dispose_PixMap(pix);
  if (newbounds.right <= newbounds.left || newbounds.bottom <= newbounds.top)
    New_Empty_PixMap(pix, pix.pixelSize, pix.pmTable);
  else
    New_PixMap(pix, newbounds, pix.pixelSize, pix.pmTable);
}

uint32 PixMap_Len(const PixMap& pix) {
  const uint64 len = uint64(Height(pix)) * PixMap_RowBytes(pix);
  return uint32(std::min<uint64>(len, 0xFFFFFFFFu));
}

void BitMap_As_PixMap(const BitMap& bit, PixMap& pix) {
  Fill_Header(pix, 1, nullptr);
  pix.baseAddr = bit.baseAddr;
  pix.bounds = bit.bounds;
  PixMap_Set_RowBytes(pix, uint32(uint16(bit.rowBytes) & uint16(kRowBytesMask)), kRowBytesFlag);
}

void PixMap_As_BitMap(const PixMap& pix, BitMap& bit) {
  bit.baseAddr = pix.baseAddr;
  bit.bounds = pix.bounds;
  const uint32 stride = PixMap_RowBytes(pix);
  bit.rowBytes = stride <= uint32(kRowBytesMask) ? int16(stride) : int16(0);
}

