// Fixed-order integers in byte buffers: both orders, any alignment, and the
// span and appending forms.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "host/HostByteOrder.h"

namespace {

constexpr uint8 kBytes[] = {0x12, 0x34, 0x56, 0x78, 0x9A};

// Usable in constant expressions (file-format tables and their checks).
static_assert(Load_BE16(kBytes) == 0x1234 && Load_LE16(kBytes) == 0x3412);
static_assert(Load_BE32(kBytes) == 0x12345678u && Load_LE32(kBytes) == 0x78563412u);
static_assert([] {
  std::array<uint8, 4> b{};
  Store_BE32(b.data(), 0xA1B2C3D4u);
  return b[0] == 0xA1 && b[3] == 0xD4 && Load_BE32(b.data()) == 0xA1B2C3D4u;
}());

TEST(HostByteOrder, OrdersAtEveryAlignment) {
  // A buffer walked at every offset: odd addresses are as good as even ones.
  std::array<uint8, 16> buf{};
  for (size_t at = 0; at + 4 <= buf.size(); ++at) {
    buf.fill(0xEE);
    Store_LE32(buf.data() + at, 0x01020304u);
    EXPECT_EQ(buf[at], 0x04);
    EXPECT_EQ(buf[at + 3], 0x01);
    EXPECT_EQ(Load_LE32(buf.data() + at), 0x01020304u);
    EXPECT_EQ(Load_BE32(buf.data() + at), 0x04030201u);
    EXPECT_EQ(Load_LE16(buf.data() + at), 0x0304);
    if (at > 0) {
      EXPECT_EQ(buf[at - 1], 0xEE) << "no byte before the field is touched";
    }
    if (at + 4 < buf.size()) {
      EXPECT_EQ(buf[at + 4], 0xEE) << "no byte after the field is touched";
    }
    Store_BE16(buf.data() + at, 0xBEEF);
    EXPECT_EQ(Load_BE16(buf.data() + at), 0xBEEF);
    EXPECT_EQ(Load_LE16(buf.data() + at), 0xEFBE);
  }
  // The top bit comes through as a value, never a sign.
  const uint8 top[4] = {0xFF, 0xFF, 0xFF, 0xFE};
  EXPECT_EQ(Load_BE32(top), 0xFFFFFFFEu);
  EXPECT_EQ(Load_LE32(top), 0xFEFFFFFFu);
  EXPECT_EQ(int16(Load_BE16(top)), -1);
}

TEST(HostByteOrder, SpanAndAppendForms) {
  std::vector<uint8> v;
  Append_BE16(v, 0x0102);
  Append_BE32(v, 0x03040506u);
  Append_LE16(v, 0x0807);
  Append_LE32(v, 0x0C0B0A09u);
  EXPECT_EQ(v, (std::vector<uint8>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  const std::span<const uint8> s(v);
  EXPECT_EQ(Load_BE16(s), 0x0102);
  EXPECT_EQ(Load_BE32(s, 2), 0x03040506u);
  EXPECT_EQ(Load_LE16(s, 6), 0x0807);
  EXPECT_EQ(Load_LE32(s, 8), 0x0C0B0A09u);
  Store_LE16(std::span<uint8>(v), 1, 0xAABB);
  Store_BE32(std::span<uint8>(v), 8, 0xCAFEF00Du);
  EXPECT_EQ(v[1], 0xBB);
  EXPECT_EQ(v[2], 0xAA);
  EXPECT_EQ(Load_BE32(s, 8), 0xCAFEF00Du);
}

}  // namespace
