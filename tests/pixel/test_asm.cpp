#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "pixel/Asm.h"

namespace {

// A 1-bit map over a caller's buffer, filled in by hand.
PixMap Mask_Over(std::vector<uint8>& bytes, int16 rowbytes, int16 rows, int16 cols) {
  PixMap pm{};
  pm.baseAddr = reinterpret_cast<Ptr>(bytes.data());
  pm.rowBytes = rowbytes;
  pm.bounds = Rect{0, 0, rows, cols};
  pm.pixelSize = 1;
  return pm;
}

int Count_Bits(const std::vector<uint8>& bytes) {
  int n = 0;
  for (uint8 b : bytes) n += std::popcount(b);
  return n;
}

TEST(AsmBits, GetAndPutAcrossBytes) {
  uint8 buf[3] = {0, 0, 0};
  PutBit(buf, 0, true);
  PutBit(buf, 7, true);
  PutBit(buf, 8, true);
  PutBit(buf, 23, true);
  EXPECT_EQ(buf[0], 0x81);
  EXPECT_EQ(buf[1], 0x80);
  EXPECT_EQ(buf[2], 0x01);
  EXPECT_TRUE(GetBit(buf, 7));
  EXPECT_TRUE(GetBit(buf, 8));
  EXPECT_FALSE(GetBit(buf, 9));
  PutBit(buf, 7, false);
  EXPECT_EQ(buf[0], 0x80);
  EXPECT_FALSE(GetBit(buf, 7));
}

TEST(AsmBits, FieldsMostSignificantBitFirst) {
  const uint8 buf[6] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
  const struct {
    uint32 pos;
    uint16 nbits;
    uint32 val;
  } cases[] = {
      {0, 8, 0x12},          {4, 8, 0x23},       {6, 3, 0x4},        {0, 0, 0x12345678},
      {4, 0, 0x23456789},    {7, 32, 0x1A2B3C4D}, {12, 12, 0x456},   {14, 1, 0},
      {13, 1, 1},            {40, 8, 0xBC},      {3, 13, 0x1234 & 0x1FFF},
  };
  for (const auto& c : cases) {
    uint32 v = 0xDEADBEEF;
    BFEXT(buf, c.pos, c.nbits, v);
    EXPECT_EQ(v, c.val) << "pos " << c.pos << " nbits " << c.nbits;
  }
}

TEST(AsmBits, InsertWritesOnlyItsField) {
  uint8 buf[2] = {0x00, 0x7F};
  BFINS(5, buf, 6, 3);  // 101 at bits 6, 7, 8
  EXPECT_TRUE(GetBit(buf, 6));
  EXPECT_FALSE(GetBit(buf, 7));
  EXPECT_TRUE(GetBit(buf, 8));
  EXPECT_EQ(buf[0], 0x02);
  EXPECT_EQ(buf[1], 0xFF);

  // Round trip against a bit-by-bit reading, for every width at odd offsets.
  uint16 seed = 1;
  for (uint16 n = 1; n <= 32; ++n) {
    std::vector<uint8> b(12, 0xA5);
    const std::vector<uint8> before = b;
    const uint32 pos = 3 + n;
    const uint32 val = (uint32(RandomCard(seed)) << 16) | RandomCard(seed);
    BFINS(val, b.data(), pos, n == 32 ? 0 : n);
    uint32 got = 0;
    BFEXT(b.data(), pos, n == 32 ? 0 : n, got);
    const uint32 mask = n == 32 ? 0xFFFFFFFFu : ((1u << n) - 1);
    EXPECT_EQ(got, val & mask) << n;
    for (uint32 bit = 0; bit < 96; ++bit) {
      if (bit >= pos && bit < pos + n) continue;
      ASSERT_EQ(GetBit(b.data(), bit), GetBit(before.data(), bit)) << "n " << n << " bit " << bit;
    }
  }
}

TEST(AsmBits, FillZero) {
  uint8 buf[10];
  std::memset(buf, 0xFF, sizeof buf);
  FillZero(buf + 1, 7);
  EXPECT_EQ(buf[0], 0xFF);
  for (int i = 1; i < 8; ++i) EXPECT_EQ(buf[i], 0) << i;
  EXPECT_EQ(buf[8], 0xFF);
  FillZero(buf, -5);  // nothing
  EXPECT_EQ(buf[0], 0xFF);
}

TEST(AsmRandom, StreamFirstValuesAndRepeat) {
  a_rand_rec r;
  Init_RandRec(r);
  // list[5] + list[17], then list[4] + list[16], ... of the seeding sequence.
  const uint16 first[] = {63278, 13068, 2418, 59456, 9686};
  for (uint16 want : first) EXPECT_EQ(RandomCardU(r), want);

  a_rand_rec a, b;
  Init_RandRec(a);
  Init_RandRec(b);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(RandomCardU(a), RandomCardU(b));
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
}

TEST(AsmRandom, UnseededRecordStaysInsideItsList) {
  a_rand_rec r{};
  r.list[16] = 3;
  r.list[4] = 4;
  EXPECT_EQ(RandomCardU(r), 7);  // positions restart at 17 and 5: entries 17 + 5
  r.ii = 200;
  r.jj = 0;
  RandomCardU(r);
  EXPECT_GE(r.ii, 1);
  EXPECT_LE(r.ii, 17);
  EXPECT_GE(r.jj, 1);
  EXPECT_LE(r.jj, 17);
}

TEST(AsmRandom, RandomRangeUBounds) {
  a_rand_rec r;
  Init_RandRec(r);
  int seen[21] = {};
  for (int i = 0; i < 20000; ++i) {
    const int16 v = RandomRangeU(40, 60, r);
    ASSERT_GE(v, 40);
    ASSERT_LE(v, 60);
    ++seen[v - 40];
  }
  for (int i = 0; i < 21; ++i) EXPECT_GT(seen[i], 0) << 40 + i;
  for (int i = 0; i < 2000; ++i) {
    const int16 v = RandomRangeU(-30000, 30000, r);
    ASSERT_GE(v, -30000);
    ASSERT_LE(v, 30000);
  }
  // A full-width range wraps to width 0 and always gives the low end.
  EXPECT_EQ(RandomRangeU(-32768, 32767, r), -32768);
  EXPECT_EQ(RandomRangeU(9, 9, r), 9);
}

TEST(AsmMask, RadiusZeroSetsOnlyTheFirstBit) {
  std::vector<uint8> bytes(4, 0);
  PixMap pm = Mask_Over(bytes, 4, 1, 1);
  a_rand_rec r;
  Init_RandRec(r);
  GenRandomMask(10, 1, 0, &pm, r);
  EXPECT_EQ(bytes[0], 0x80);
  EXPECT_EQ(Count_Bits(bytes), 1);
}

TEST(AsmMask, DotsStayInTheDiscWithBoundedDensity) {
  const int16 radius = 10;
  const int16 side = 2 * radius + 1;
  const int16 rowbytes = 4;
  for (uint16 nones : {uint16(1), uint16(50), uint16(200), uint16(2000)}) {
    std::vector<uint8> bytes(size_t(rowbytes) * side, 0);
    PixMap pm = Mask_Over(bytes, rowbytes, side, side);
    a_rand_rec r;
    Init_RandRec(r);
    GenRandomMask(nones, 1, radius, &pm, r);
    const int set = Count_Bits(bytes);
    EXPECT_GE(set, 1);
    EXPECT_LE(set, nones);
    if (nones >= 50) {
      EXPECT_GE(set, nones >= 200 ? 100 : 40) << nones;
    }
    if (nones == 2000) {
      EXPECT_GE(set, 300);  // the disc holds 317 pixels
    }
    for (int v = 0; v < side; ++v) {
      for (int h = 0; h < rowbytes * 8; ++h) {
        if (!GetBit(bytes.data(), uint32(v * rowbytes * 8 + h))) continue;
        const int dh = h - radius, dv = v - radius;
        ASSERT_LE(dh * dh + dv * dv, radius * radius) << "v " << v << " h " << h;
      }
    }
  }
}

TEST(AsmMask, LargerSpreadCrowdsTowardTheCentre) {
  const int16 radius = 20, side = 41, rowbytes = 8;
  double mean[2];
  int idx = 0;
  for (int16 spread : {int16(1), int16(4)}) {
    std::vector<uint8> bytes(size_t(rowbytes) * side, 0);
    PixMap pm = Mask_Over(bytes, rowbytes, side, side);
    a_rand_rec r;
    Init_RandRec(r);
    GenRandomMask(300, spread, radius, &pm, r);
    double sum = 0;
    int n = 0;
    for (int v = 0; v < side; ++v) {
      for (int h = 0; h < side; ++h) {
        if (!GetBit(bytes.data(), uint32(v * rowbytes * 8 + h))) continue;
        sum += std::sqrt(double((h - radius) * (h - radius) + (v - radius) * (v - radius)));
        ++n;
      }
    }
    ASSERT_GT(n, 0);
    mean[idx++] = sum / n;
  }
  EXPECT_LT(mean[1], mean[0] * 0.75);
}

TEST(AsmMask, SameStreamSameDots) {
  std::vector<uint8> a(4 * 15, 0), b(4 * 15, 0);
  PixMap pa = Mask_Over(a, 4, 15, 15), pb = Mask_Over(b, 4, 15, 15);
  a_rand_rec ra, rb;
  Init_RandRec(ra);
  Init_RandRec(rb);
  GenRandomMask(40, 2, 7, &pa, ra);
  GenRandomMask(40, 2, 7, &pb, rb);
  EXPECT_EQ(a, b);
}

TEST(AsmMask, MaskSmallerThanTheDiscIsNotOverrun) {
  // Two rows of a disc that needs 21: dots below them are left out.
  std::vector<uint8> bytes(4 * 2, 0);
  PixMap pm = Mask_Over(bytes, 4, 2, 21);
  a_rand_rec r;
  Init_RandRec(r);
  GenRandomMask(500, 1, 10, &pm, r);  // ASan reports any write past the buffer
  EXPECT_LE(Count_Bits(bytes), 8 * 4 * 2);
  a_rand_rec r2;
  Init_RandRec(r2);
  GenRandomMask(5, 0, 10, &pm, r2);  // spread 0: nothing, no division by zero
  GenRandomMask(5, 1, 3, nullptr, r2);
}

}  // namespace
