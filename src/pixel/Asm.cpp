#include "pixel/Asm.h"

#include "pixel/Asm32.h"

bool GetBit(const void* buf, uint32 bit) {
  return (static_cast<const uint8*>(buf)[bit >> 3] & g_single_bits_8[bit & 7]) != 0;
}

void PutBit(void* buf, uint32 bit, bool val) {
  uint8& b = static_cast<uint8*>(buf)[bit >> 3];
  if (val) {
    b = uint8(b | g_single_bits_8[bit & 7]);
  } else {
    b = uint8(b & g_not_single_bits_8[bit & 7]);
  }
}

void BFEXT(const void* buf, uint32 pos, uint16 nbits, uint32& val) {
  const uint32 n = (nbits == 0 || nbits > 32) ? 32 : nbits;
  const auto* p = static_cast<const uint8*>(buf);
  // Gather exactly the bytes the field touches (at most five) into 64 bits.
  const uint32 first = pos >> 3;
  const uint32 last = uint32((uint64(pos) + n - 1) >> 3);
  uint64 acc = 0;
  for (uint32 i = first; i <= last; ++i) acc = (acc << 8) | p[i];
  const uint32 tail = uint32((last - first + 1) * 8 - (pos & 7) - n);  // bits after the field
  acc >>= tail;
  val = n == 32 ? uint32(acc) : uint32(acc & ((uint64(1) << n) - 1));
}

void BFINS(uint32 val, void* buf, uint32 pos, uint16 nbits) {
  const uint32 n = (nbits == 0 || nbits > 32) ? 32 : nbits;
  for (uint32 i = 0; i < n; ++i) {
    PutBit(buf, pos + i, ((val >> (n - 1 - i)) & 1) != 0);
  }
}

void FillZero(void* buffer, int32 length) {
  if (length > 0) Asm32_FillBytes(buffer, uint32(length), 0);
}

uint16 RandomCardU(a_rand_rec& rand) {
  // A record that was never seeded could index outside the list; its
  // positions restart where Init_RandRec puts them.
  if (rand.ii < 1 || rand.ii > 17) rand.ii = 17;
  if (rand.jj < 1 || rand.jj > 17) rand.jj = 5;
  const uint16 value = uint16(rand.list[rand.jj - 1] + rand.list[rand.ii - 1]);
  rand.list[rand.ii - 1] = value;
  rand.ii = rand.ii == 1 ? 17 : uint16(rand.ii - 1);
  rand.jj = rand.jj == 1 ? 17 : uint16(rand.jj - 1);
  return value;
}

int16 RandomRangeU(int16 minval, int16 maxval, a_rand_rec& rand) {
  const uint16 r = RandomCardU(rand);
  const uint16 width = uint16(int32(maxval) - int32(minval) + 1);
  return int16(int32(minval) + int32((uint32(width) * r) >> 16));
}

void GenRandomMask(uint16 nones, int16 spread, int16 radius, PixMapPtr mask, a_rand_rec& rand) {
  // No disc, no draws to average or no map: nothing to set.
  if (radius < 0 || spread < 1 || mask == nullptr || mask->baseAddr == nullptr) return;
  const uint32 bits_per_row = PixMap_RowBytes(*mask) * 8;
  const int32 rows = int32(mask->bounds.bottom) - mask->bounds.top;
  if (rows <= 0 || bits_per_row == 0) return;
  const uint64 total_bits = uint64(rows) * bits_per_row;
  const uint32 span = 2u * uint32(radius) + 1u;
  const int64 limit = int64(radius) * radius;
  for (uint16 k = 0; k < nones; ++k) {
    int32 h, v;
    do {
      h = 0;
      v = 0;
      for (int16 i = 0; i < spread; ++i) {
        h += int32((uint32(RandomCardU(rand)) * span) >> 16) - radius;
        v += int32((uint32(RandomCardU(rand)) * span) >> 16) - radius;
      }
      h /= spread;
      v /= spread;
      // The disc test in 32 bits: a 16-bit square would wrap for large radii.
    } while (int64(h) * h + int64(v) * v > limit);
    // Bits are numbered in 32 bits and a dot beyond the map (a mask smaller
    // than the disc) is left out rather than written past the pixels.
    const int64 bit = int64(v + radius) * bits_per_row + (h + radius);
    if (h + radius < int32(bits_per_row) && bit >= 0 && uint64(bit) < total_bits) {
      PutBit(mask->baseAddr, uint32(bit), true);
    }
  }
}
