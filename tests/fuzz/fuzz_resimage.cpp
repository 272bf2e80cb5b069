// Reads arbitrary bytes as each kind of picture resource (icons, pixel
// patterns, cursors), and as a resource archive whose pictures are decoded
// by their own type: a decoded picture always holds exactly its pixels and a
// hot spot inside them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "host/HostResources.h"
#include "platform/ResImage.h"

namespace {
void Decode(OSType type, std::span<const uint8> data) {
  a_res_image img;
  if (!ResImage_Decode(type, data, img)) {
    if (img.width != 0 || !img.bgra.empty()) __builtin_trap();
    return;
  }
  if (img.width < 1 || img.height < 1 || img.bgra.size() != size_t(img.width) * size_t(img.height)) __builtin_trap();
  if (img.hot_h < 0 || img.hot_v < 0 || img.hot_h >= img.width || img.hot_v >= img.height) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8> bytes(data, size);
  for (OSType t : {kIconResType, kIconMaskResType, kColorIconResType, kPixPatResType, kCursorResType})
    Decode(t, bytes);
  auto a = host::ResArchive::Open_Bytes(bytes, false, nullptr);
  if (a) {
    for (const host::ResIndexEntry& e : a->Index()) {
      std::span<const uint8> d;
      if (!a->Find(e.type, e.id, &d)) __builtin_trap();
      Decode(e.type, d);
    }
  }
  return 0;
}
