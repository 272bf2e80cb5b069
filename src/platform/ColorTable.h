// Colour tables: the record an indexed pixel map names for its colours.
//
// A table lives in an ordinary movable block (2056 bytes: an 8-byte header
// and 256 entries); lock the handle to reach the record. `ctSize` is the
// number of entries minus 1, so a full table says 255 and a reader loops
// from 0 to ctSize inclusive. Pixel-map code only keeps and hands on the
// handle; the tables themselves are built by the video and palette modules.
#pragma once

#include <cstddef>

#include "platform/SysMem.h"

// A colour with 16 bits per channel (an 8-bit channel c widens to c * 257).
struct RGBColor {
  uint16 red, green, blue;
};
static_assert(sizeof(RGBColor) == 6);

struct ColorSpec {
  int16 value;  // the pixel value this entry describes
  RGBColor rgb;
};
static_assert(sizeof(ColorSpec) == 8);

constexpr int kCTabEntries = 256;

struct ColorTable {
  int32 ctSeed;
  int16 ctFlags;
  int16 ctSize;  // entries minus 1
  ColorSpec ctTable[kCTabEntries];
};
static_assert(sizeof(ColorTable) == 2056);
static_assert(offsetof(ColorTable, ctTable) == 8);

constexpr uint32 kCTabBytes = sizeof(ColorTable);

using CTabPtr = ColorTable*;
// A colour table lives in an ordinary movable block; lock it to reach the record.
using CTabHandle = Handle;

// The record of a table handle, or NIL when the handle is NIL, purged, or too
// small to hold a whole table. A table's block only moves when it is resized,
// which nothing does, so the address stays good without keeping a lock.
inline CTabPtr CTab_Ptr(CTabHandle h) {
  if (h == nullptr || Handle_GetSize(h) < kCTabBytes) return nullptr;
  Ptr p = Handle_Lock(h);
  Handle_Unlock(h);
  return reinterpret_cast<CTabPtr>(p);
}
