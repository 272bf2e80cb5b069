// Expands arbitrary bytes as a run-length packed buffer: a buffer is either
// refused or gives exactly the length it states. The input is also packed
// and expanded again, which must give it back within the worst-case size.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "pixel/DrawUtil.h"
#include "platform/SysMem.h"

namespace {
uint32 Stated_Length(const uint8_t* data) {
  return uint32(data[0]) | (uint32(data[1]) << 8) | (uint32(data[2]) << 16) | (uint32(data[3]) << 24);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  Handle out = nullptr;
  const int16 r = Expand_RLE(data, uint32(size), out);
  if (r == kExpandOK) {
    if (out == nullptr || size < 4 || Handle_GetSize(out) != Stated_Length(data)) __builtin_trap();
  } else if (out != nullptr) {
    __builtin_trap();
  }
  Dispose_Handle(out);

  Handle packed = nullptr, back = nullptr;
  if (Compress_RLE(data, uint32(size), packed) != kExpandOK) __builtin_trap();
  if (Handle_GetSize(packed) > RLE_Max_Packed(uint32(size))) __builtin_trap();
  const uint8* p = reinterpret_cast<const uint8*>(Handle_Lock(packed));
  if (Expand_RLE(p, Handle_GetSize(packed), back) != kExpandOK) __builtin_trap();
  Handle_Unlock(packed);
  if (Handle_GetSize(back) != size) __builtin_trap();
  if (size > 0 && std::memcmp(Handle_Lock(back), data, size) != 0) __builtin_trap();
  Handle_Unlock(back);
  Dispose_Handle(packed);
  Dispose_Handle(back);
  return 0;
}
