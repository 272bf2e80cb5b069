// Arbitrary bytes as a stored-picture object: the loader either refuses them
// or gives pixels that fill the picture its header describes, and converting
// and reading every row of them stays inside the block.
#include <cstddef>
#include <cstdint>

#include "pixel/SysPixt.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  static bool started = false;
  if (!started) {
    SysErr_Init();
    SysPixt_Init();
    started = true;
  }
  a_pixt p{};
  const a_pixt_result r = Pixt_Load_Bytes(Pixt_Key(1), data, uint32(size), p);
  if (r != PIXT_OK) {
    if (p.bits != nullptr || p.pixmap.baseAddr != nullptr) __builtin_trap();
    return 0;
  }
  if (p.bits == nullptr) __builtin_trap();
  const PixMap& pm = p.pixmap;
  const uint64 rows = uint64(pm.bounds.bottom - pm.bounds.top);
  const uint64 width = uint64(pm.bounds.right - pm.bounds.left);
  const uint32 stride = PixMap_RowBytes(pm);
  if (rows == 0 || width == 0 || stride < width * uint64(pm.pixelSize / 8)) __builtin_trap();
  if (Handle_GetSize(p.bits) < rows * stride) __builtin_trap();
  Pixt_Lock(p);
  // Touch the last byte of every row, as a blit would.
  const volatile uint8* b = reinterpret_cast<const uint8*>(pm.baseAddr);
  uint8 sum = 0;
  for (uint64 y = 0; y < rows; ++y) sum = uint8(sum + b[y * stride + width * uint64(pm.pixelSize / 8) - 1]);
  (void)sum;
  Pixt_Unlock(p);
  Pixt_Unload(p);
  return 0;
}
