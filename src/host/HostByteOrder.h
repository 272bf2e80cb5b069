// Fixed-order integers in byte buffers: the one place the program reads and
// writes 16- and 32-bit fields of files, streams, clipboard data and pixel
// rows. BE is big-endian (the chunk stream, the picture library, PICT, ILBM,
// sound resources), LE little-endian (bitmaps, GIF, 16-bit pixels, the
// clipboard's bitmap headers). The procedures work byte by byte, so any
// address will do (no alignment is needed) and the result does not depend on
// the machine's own order. The caller checks that the bytes are there; the
// span forms do so themselves (a short span is a programming error, stopped
// by std::span's bounds in checked builds).
#pragma once

#include <span>
#include <vector>

#include "platform/Types.h"

constexpr uint16 Load_BE16(const uint8* p) { return uint16((uint32(p[0]) << 8) | uint32(p[1])); }
constexpr uint32 Load_BE32(const uint8* p) {
  return (uint32(p[0]) << 24) | (uint32(p[1]) << 16) | (uint32(p[2]) << 8) | uint32(p[3]);
}
constexpr uint16 Load_LE16(const uint8* p) { return uint16(uint32(p[0]) | (uint32(p[1]) << 8)); }
constexpr uint32 Load_LE32(const uint8* p) {
  return uint32(p[0]) | (uint32(p[1]) << 8) | (uint32(p[2]) << 16) | (uint32(p[3]) << 24);
}

constexpr void Store_BE16(uint8* p, uint16 v) {
  p[0] = uint8(v >> 8);
  p[1] = uint8(v);
}
constexpr void Store_BE32(uint8* p, uint32 v) {
  p[0] = uint8(v >> 24);
  p[1] = uint8(v >> 16);
  p[2] = uint8(v >> 8);
  p[3] = uint8(v);
}
constexpr void Store_LE16(uint8* p, uint16 v) {
  p[0] = uint8(v);
  p[1] = uint8(v >> 8);
}
constexpr void Store_LE32(uint8* p, uint32 v) {
  p[0] = uint8(v);
  p[1] = uint8(v >> 8);
  p[2] = uint8(v >> 16);
  p[3] = uint8(v >> 24);
}

// The same at offset `at` of a span.
constexpr uint16 Load_BE16(std::span<const uint8> b, std::size_t at = 0) { return Load_BE16(b.subspan(at, 2).data()); }
constexpr uint32 Load_BE32(std::span<const uint8> b, std::size_t at = 0) { return Load_BE32(b.subspan(at, 4).data()); }
constexpr uint16 Load_LE16(std::span<const uint8> b, std::size_t at = 0) { return Load_LE16(b.subspan(at, 2).data()); }
constexpr uint32 Load_LE32(std::span<const uint8> b, std::size_t at = 0) { return Load_LE32(b.subspan(at, 4).data()); }
constexpr void Store_BE16(std::span<uint8> b, std::size_t at, uint16 v) { Store_BE16(b.subspan(at, 2).data(), v); }
constexpr void Store_BE32(std::span<uint8> b, std::size_t at, uint32 v) { Store_BE32(b.subspan(at, 4).data(), v); }
constexpr void Store_LE16(std::span<uint8> b, std::size_t at, uint16 v) { Store_LE16(b.subspan(at, 2).data(), v); }
constexpr void Store_LE32(std::span<uint8> b, std::size_t at, uint32 v) { Store_LE32(b.subspan(at, 4).data(), v); }

// Appending to a growing byte string (file and stream writers).
inline void Append_BE16(std::vector<uint8>& v, uint16 x) {
  v.push_back(uint8(x >> 8));
  v.push_back(uint8(x));
}
inline void Append_BE32(std::vector<uint8>& v, uint32 x) {
  Append_BE16(v, uint16(x >> 16));
  Append_BE16(v, uint16(x));
}
inline void Append_LE16(std::vector<uint8>& v, uint16 x) {
  v.push_back(uint8(x));
  v.push_back(uint8(x >> 8));
}
inline void Append_LE32(std::vector<uint8>& v, uint32 x) {
  Append_LE16(v, uint16(x));
  Append_LE16(v, uint16(x >> 16));
}
