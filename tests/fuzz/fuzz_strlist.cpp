// Reads arbitrary bytes as string-list data and as a resource archive, and
// every item of every list the archive holds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "host/HostResources.h"
#include "platform/Resources.h"

namespace {
void Read_All_Items(std::span<const uint8> data) {
  char s[256];
  const int16 n = StrList_Count(data);
  // Past the count as well, and a short array that forces cutting.
  for (int32 ix = -1; ix <= int32(n) + 2; ++ix) {
    StrList_Item(data, int16(ix), s);
    if (std::strlen(s) > 255) __builtin_trap();
  }
  char tiny[3];
  StrList_Item(data, 1, tiny);
  if (tiny[std::strlen(tiny)] != 0) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8> bytes(data, size);
  Read_All_Items(bytes);
  auto a = host::ResArchive::Open_Bytes(bytes, false, nullptr);
  if (a) {
    for (const host::ResIndexEntry& e : a->Index()) {
      std::span<const uint8> d;
      if (!a->Find(e.type, e.id, &d)) __builtin_trap();
      if (e.type == FourCC("STR#")) Read_All_Items(d);
    }
  }
  return 0;
}
