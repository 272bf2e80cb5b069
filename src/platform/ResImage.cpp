#include "platform/ResImage.h"
#include "host/HostByteOrder.h"

namespace {

constexpr uint32 kBlack = 0xFF000000u;
constexpr uint32 kWhite = 0xFFFFFFFFu;
constexpr uint32 kClear = 0x00000000u;

bool Bit(const uint8* rows, int32 row_bytes, int32 x, int32 y) {
  return (rows[size_t(y) * size_t(row_bytes) + size_t(x >> 3)] & (0x80u >> (x & 7))) != 0;
}

// One pixel from mono image and mask bits (the cursor rule for inversion:
// shown black).
uint32 Mono_Pixel(bool image, bool mask) {
  if (mask) return image ? kBlack : kWhite;
  return image ? kBlack : kClear;
}

void Start(a_res_image& out, int32 w, int32 h) {
  out.width = w;
  out.height = h;
  out.hot_h = out.hot_v = 0;
  out.bgra.assign(size_t(w) * size_t(h), kClear);
}

bool Decode_Mono_Icon(std::span<const uint8> d, bool with_mask, a_res_image& out) {
  if (d.size() != (with_mask ? kIconMaskBytes : kIconBytes)) return false;
  Start(out, kIconSize, kIconSize);
  const uint8* image = d.data();
  const uint8* mask = with_mask ? d.data() + kIconBytes : nullptr;
  for (int32 y = 0; y < kIconSize; ++y)
    for (int32 x = 0; x < kIconSize; ++x)
      out.bgra[size_t(y) * kIconSize + size_t(x)] =
          Mono_Pixel(Bit(image, 4, x, y), mask == nullptr || Bit(mask, 4, x, y));
  return true;
}

// Width, height and RGBA pixels from offset `at`, the whole rest of the data.
bool Decode_Rgba(std::span<const uint8> d, size_t at, int32 w, int32 h, bool opaque, a_res_image& out) {
  if (d.size() != at + 4 * size_t(w) * size_t(h)) return false;
  Start(out, w, h);
  const uint8* p = d.data() + at;
  for (size_t i = 0; i < out.bgra.size(); ++i, p += 4) {
    const uint32 a = opaque ? 255u : p[3];
    out.bgra[i] = (a << 24) | (uint32(p[0]) << 16) | (uint32(p[1]) << 8) | uint32(p[2]);
  }
  return true;
}

bool Decode_Sized(std::span<const uint8> d, int32 max, bool opaque, a_res_image& out) {
  if (d.size() < 4) return false;
  const int32 w = Load_LE16(d.data()), h = Load_LE16(d.data() + 2);
  if (w < 1 || h < 1 || w > max || h > max) return false;
  return Decode_Rgba(d, 4, w, h, opaque, out);
}

bool Decode_Cursor(std::span<const uint8> d, a_res_image& out) {
  if (d.size() == kMonoCursorBytes) {
    Start(out, kMonoCursorSize, kMonoCursorSize);
    for (int32 y = 0; y < kMonoCursorSize; ++y)
      for (int32 x = 0; x < kMonoCursorSize; ++x)
        out.bgra[size_t(y) * kMonoCursorSize + size_t(x)] =
            Mono_Pixel(Bit(d.data(), 2, x, y), Bit(d.data() + 32, 2, x, y));
    const int32 v = int16(Load_LE16(d.data() + 64)), h = int16(Load_LE16(d.data() + 66));
    // A hot spot outside the cell would point the click somewhere the user
    // cannot see; the mono form has always kept it inside.
    out.hot_v = v < 0 ? 0 : (v > kMonoCursorSize - 1 ? kMonoCursorSize - 1 : v);
    out.hot_h = h < 0 ? 0 : (h > kMonoCursorSize - 1 ? kMonoCursorSize - 1 : h);
    return true;
  }
  if (d.size() != kColorCursorBytes) return false;
  if (Load_LE16(d.data()) != kColorCursorSize || Load_LE16(d.data() + 2) != kColorCursorSize) return false;
  const int32 v = int16(Load_LE16(d.data() + 4)), h = int16(Load_LE16(d.data() + 6));
  if (v < 0 || h < 0 || v >= kColorCursorSize || h >= kColorCursorSize) return false;
  if (!Decode_Rgba(d, 8, kColorCursorSize, kColorCursorSize, false, out)) return false;
  out.hot_v = v;
  out.hot_h = h;
  return true;
}

}  // namespace

bool8 ResImage_Decode(OSType type, std::span<const uint8> data, a_res_image& out) {
  bool ok = false;
  if (type == kIconResType) ok = Decode_Mono_Icon(data, false, out);
  else if (type == kIconMaskResType) ok = Decode_Mono_Icon(data, true, out);
  else if (type == kColorIconResType) ok = Decode_Sized(data, kColorIconMaxSize, false, out);
  else if (type == kPixPatResType) ok = Decode_Sized(data, kPixPatMaxSize, true, out);
  else if (type == kCursorResType) ok = Decode_Cursor(data, out);
  if (!ok) out = a_res_image{};
  return ok;
}
