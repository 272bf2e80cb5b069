// A pixel map that owns its pixels, for the tests of the pixel kernels. Each
// test file derives the accessors it reads its pixels through.
#pragma once

#include "pixel/SysPix.h"
#include "platform/Types.h"

struct OwnedPixMap {
  PixMap pm{};
  OwnedPixMap() = default;
  OwnedPixMap(Rect r, int16 depth, CTabHandle ctab = nullptr) { New_PixMap(pm, r, depth, ctab); }
  ~OwnedPixMap() { Dispose_PixMap(pm); }
  OwnedPixMap(const OwnedPixMap&) = delete;
  OwnedPixMap& operator=(const OwnedPixMap&) = delete;
  uint8* bytes() const { return reinterpret_cast<uint8*>(pm.baseAddr); }
};
