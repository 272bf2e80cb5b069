// Expands arbitrary bytes as a stored-picture LZW stream: a stream is either
// refused or gives exactly the length it states. The input is also packed
// and expanded again, which must give it back.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "pixel/MAsm2.h"
#include "platform/SysMem.h"

namespace {
uint32 Stated_Length(const uint8_t* data) {
  return (uint32(data[0]) << 24) | (uint32(data[1]) << 16) | (uint32(data[2]) << 8) | data[3];
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  Handle out = nullptr;
  const int16 r = Expand_LZW(data, uint32(size), out);
  if (r == kExpandOK) {
    if (out == nullptr || size < 4 || Handle_GetSize(out) != Stated_Length(data)) __builtin_trap();
  } else if (out != nullptr) {
    __builtin_trap();
  }
  Dispose_Handle(out);

  Handle packed = nullptr, back = nullptr;
  if (Compress_LZW(data, uint32(size), packed) != kExpandOK) __builtin_trap();
  const uint8* p = reinterpret_cast<const uint8*>(Handle_Lock(packed));
  if (Expand_LZW(p, Handle_GetSize(packed), back) != kExpandOK) __builtin_trap();
  Handle_Unlock(packed);
  if (Handle_GetSize(back) != size) __builtin_trap();
  if (size > 0 && std::memcmp(Handle_Lock(back), data, size) != 0) __builtin_trap();
  Handle_Unlock(back);
  Dispose_Handle(packed);
  Dispose_Handle(back);
  return 0;
}
