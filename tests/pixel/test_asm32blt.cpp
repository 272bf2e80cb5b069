// Blit kernels: every depth pair and mode against pixel values worked out by
// hand from the kernels' arithmetic, clipping at each edge, scaling, and the
// masked copies.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "pixel/Asm32Blt.h"
#include "pixel/SysPix.h"

namespace {

// A map of any depth whose pixels the test reads and writes as one value:
// depth 1 a bit, 8 a byte, 16 the L555 value, 24 0xRRGGBB, 32 the raw BGRA word.
struct Map {
  PixMap pm{};
  int16 depth;
  Map(Rect r, int16 d) : depth(d) { New_PixMap(pm, r, d, nullptr); }
  ~Map() { Dispose_PixMap(pm); }
  Map(const Map&) = delete;
  Map& operator=(const Map&) = delete;

  uint8* row(int v) const {
    return reinterpret_cast<uint8*>(pm.baseAddr) + (v - pm.bounds.top) * int(PixMap_RowBytes(pm));
  }
  void put(int h, int v, uint32 val) const {
    const int x = h - pm.bounds.left;
    uint8* r = row(v);
    switch (depth) {
      case 1:
        if (val)
          r[x / 8] |= uint8(0x80 >> (x % 8));
        else
          r[x / 8] &= uint8(~(0x80 >> (x % 8)));
        break;
      case 8: r[x] = uint8(val); break;
      case 16: r[2 * x] = uint8(val); r[2 * x + 1] = uint8(val >> 8); break;
      case 24: r[3 * x] = uint8(val); r[3 * x + 1] = uint8(val >> 8); r[3 * x + 2] = uint8(val >> 16); break;
      default:
        for (int k = 0; k < 4; ++k) r[4 * x + k] = uint8(val >> (8 * k));
    }
  }
  uint32 get(int h, int v) const {
    const int x = h - pm.bounds.left;
    const uint8* r = row(v);
    switch (depth) {
      case 1: return (r[x / 8] >> (7 - x % 8)) & 1;
      case 8: return r[x];
      case 16: return uint32(r[2 * x]) | uint32(r[2 * x + 1]) << 8;
      case 24: return uint32(r[3 * x]) | uint32(r[3 * x + 1]) << 8 | uint32(r[3 * x + 2]) << 16;
      default: return uint32(r[4 * x]) | uint32(r[4 * x + 1]) << 8 | uint32(r[4 * x + 2]) << 16 | uint32(r[4 * x + 3]) << 24;
    }
  }
  void fill(uint32 val) const {
    for (int v = pm.bounds.top; v < pm.bounds.bottom; ++v)
      for (int h = pm.bounds.left; h < pm.bounds.right; ++h) put(h, v, val);
  }
};

a_win_color Color(uint8 r, uint8 g, uint8 b, uint8 a) {
  a_win_color c;
  c.r = r;
  c.g = g;
  c.b = b;
  c.a = a;
  return c;
}

using Blt = std::function<void(const PixMap*, const PixMap*, const Rect*, const Rect*, int16)>;

// Colour mappings of the 8-bit tests: entry i is (b, g, r, a) = (i, i + 1, i + 2, i + 3).
struct Tables {
  a_8_to_32_mapping map32;
  a_8_to_16_mapping map16;
  Tables() {
    for (int i = 0; i < 256; ++i) {
      map32[i].b = uint8(i);
      map32[i].g = uint8(i + 1);
      map32[i].r = uint8(i + 2);
      map32[i].a = uint8(i + 3);
      map16[i] = uint16(0x8000 | i);
    }
  }
};
const Tables g_tables;

Blt Kernel(int16 sd, int16 dd, int16 blendval = 255) {
  using P = const PixMap*;
  using R = const Rect*;
  if (sd == 32 && dd == 32) return [=](P s, P d, R sr, R dr, int16 m) { Asm32_Blt_32_32(s, d, sr, dr, m, blendval); };
  if (sd == 16 && dd == 16) return [=](P s, P d, R sr, R dr, int16 m) { Asm32_Blt_16_16(s, d, sr, dr, m, blendval); };
  if (sd == 24 && dd == 24) return Asm32_Blt_24_24;
  if (sd == 8 && dd == 8) return [](P s, P d, R sr, R dr, int16 m) { Asm32_Blt88(s, d, sr, dr, m, nullptr); };
  if (sd == 16 && dd == 24) return Asm32_Blt_16_24;
  if (sd == 16 && dd == 32) return Asm32_Blt_16_32;
  if (sd == 32 && dd == 24) return Asm32_Blt_32_24;
  if (sd == 32 && dd == 16) return Asm32_Blt_32_16;
  if (sd == 24 && dd == 16) return Asm32_Blt_24_16;
  if (sd == 8 && dd == 32) return [](P s, P d, R sr, R dr, int16 m) { Asm32_Blt_8_32(s, d, sr, dr, m, g_tables.map32); };
  if (sd == 8 && dd == 24) return [](P s, P d, R sr, R dr, int16 m) { Asm32_Blt_8_24(s, d, sr, dr, m, g_tables.map32); };
  if (sd == 8 && dd == 16) return [](P s, P d, R sr, R dr, int16 m) { Asm32_Blt_8_16(s, d, sr, dr, m, g_tables.map16); };
  return nullptr;
}

// One source pixel, the destination pixel before, and the destination
// pixel expected after.
struct Px {
  uint32 src, before, after;
};

struct PairCase {
  const char* name;
  int16 sd, dd, mode, blendval;
  std::vector<Px> px;
};

}  // namespace

// Each case copies a one-row source (pixels side by side) into a destination
// whose bounds sit elsewhere, one column in from its left; the columns either
// side must keep their value.
TEST(Asm32Blt, DepthPairsAndModesAtEqualSize) {
  const std::vector<PairCase> cases = {
      {"32 copy", 32, 32, srcCopy, 255, {{0x80FFFFFF, 0, 0x80FFFFFF}, {0x12345678, 0xFFFFFFFF, 0x12345678}}},
      {"32 transparent", 32, 32, transparent, 255,
       {{0x00FFFFFF, 0x11223344, 0x11223344}, {0xFFFFFFFE, 0, 0xFFFFFFFE}, {0x7F010203, 0, 0x7F010203}}},
      // 255 * 255 >> 8 = 254; 128 * 255 >> 8 = 127; the destination keeps its alpha.
      {"32 blend 255", 32, 32, blend, 255, {{0x00FF8000, 0xAA000000, 0xAAFE7F00}}},
      // Weight 0 still lowers each channel: 128 * 255 >> 8 = 127, 2 -> 1, 1 -> 0.
      {"32 blend 0", 32, 32, blend, 0, {{0xFFFFFFFF, 0x40010280, 0x4000017F}}},
      // 255 * 128 >> 8 = 127 (red); 64 * 127 >> 8 = 31 (blue).
      {"32 blend 128", 32, 32, blend, 128, {{0x00FF0000, 0x10000040, 0x107F001F}}},
      // Alpha 255 copies alpha too; alpha 0 leaves d; 128: red 255 * 128 >> 8,
      // blue 255 * 127 >> 8 = 126, d's alpha kept.
      {"32 ALPHA", 32, 32, ALPHA, 255,
       {{0xFF102030, 0x00000000, 0xFF102030}, {0x00FFFFFF, 0x55667788, 0x55667788}, {0x80FF0000, 0x200000FF, 0x207F007E}}},
      {"16 copy", 16, 16, srcCopy, 255, {{0x7FFF, 0, 0x7FFF}, {0x8001, 0x1234, 0x8001}}},
      {"16 transparent", 16, 16, transparent, 255, {{0x7FFF, 0x1234, 0x1234}, {0xFFFF, 0x1234, 0xFFFF}}},
      // Red 31 -> 255, blended with 0 at 128: 127 >> 3 = 15; blue 255 * 127 >> 8 = 126 >> 3 = 15;
      // bit 15 of the source is not carried.
      {"16 blend 128", 16, 16, blend, 128, {{0xFC00, 0x001F, 0x3C0F}}},
      // Weight 255: 255 -> 254 -> 31 stays full, the destination's blue goes to 0.
      {"16 blend 255", 16, 16, blend, 255, {{0x7C00, 0x001F, 0x7C00}}},
      {"24 copy", 24, 24, srcCopy, 255, {{0x123456, 0, 0x123456}}},
      {"24 transparent", 24, 24, transparent, 255, {{0xFFFFFF, 0x010203, 0x010203}, {0xFFFFFE, 0, 0xFFFFFE}}},
      {"8 copy", 8, 8, srcCopy, 255, {{0x42, 0, 0x42}, {255, 7, 255}}},
      {"8 transparent", 8, 8, transparent, 255, {{255, 7, 7}, {254, 7, 254}}},
      {"8 notSrcBic", 8, 8, notSrcBic, 255, {{0xF0, 0x3C, 0x30}}},
      // 0x194F: blue 15 -> 123, green 10 -> 82, red 6 -> 49.
      {"16 to 24", 16, 24, srcCopy, 255, {{0x194F, 0, 0x31527B}, {0x7FFF, 0, 0xFFFFFF}}},
      {"16 to 24 transparent", 16, 24, transparent, 255, {{0x7FFF, 0x010203, 0x010203}, {0x0421, 0, 0x080808}}},
      {"16 to 32", 16, 32, srcCopy, 255,
       {{0x194F, 0xFFFFFFFF, 0x0031527B}, {0x7C1F, 0xFFFFFFFF, 0x00FF00FF}, {0x0421, 0, 0x00080808}}},
      {"16 to 32 transparent", 16, 32, transparent, 255, {{0x7FFF, 0x11223344, 0x11223344}, {0xFFFF, 0, 0x00FFFFFF}}},
      {"32 to 24", 32, 24, srcCopy, 255, {{0x12345678, 0, 0x345678}}},
      {"32 to 24 transparent", 32, 24, transparent, 255, {{0x00FFFFFF, 0x010203, 0x010203}, {0xFF0000FF, 0, 0x0000FF}}},
      // 0x78 >> 3 = 15, 0x56 >> 3 = 10, 0x34 >> 3 = 6.
      {"32 to 16", 32, 16, srcCopy, 255, {{0x12345678, 0, 0x194F}, {0xFFFFFFFF, 0x8000, 0x7FFF}}},
      {"24 to 16", 24, 16, srcCopy, 255, {{0x345678, 0, 0x194F}, {0x070707, 0xFFFF, 0x0000}}},
      // Entry 3 is (b 3, g 4, r 5, a 6): the whole entry, alpha included.
      {"8 to 32", 8, 32, srcCopy, 255, {{3, 0, 0x06050403}, {255, 0, 0x020100FF}}},
      {"8 to 32 transparent", 8, 32, transparent, 255, {{255, 0x11223344, 0x11223344}, {254, 0, 0x0100FFFE}}},
      {"8 to 24", 8, 24, srcCopy, 255, {{3, 0xFFFFFF, 0x050403}}},
      {"8 to 24 transparent", 8, 24, transparent, 255, {{255, 0x010203, 0x010203}, {0, 0x010203, 0x020100}}},
      {"8 to 16", 8, 16, srcCopy, 255, {{7, 0, 0x8007}}},
      {"8 to 16 transparent", 8, 16, transparent, 255, {{255, 0x1234, 0x1234}, {1, 0, 0x8001}}},
  };
  for (const PairCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int n = int(c.px.size());
    Map src(Rect{5, 7, 6, int16(7 + n)}, c.sd);
    Map dst(Rect{-3, 100, -2, int16(100 + n + 2)}, c.dd);
    const uint32 sentinel = c.dd == 16 ? 0x2A5A : c.dd == 8 ? 0x5A : 0x5A5A5A;
    dst.fill(sentinel);
    for (int k = 0; k < n; ++k) {
      src.put(7 + k, 5, c.px[k].src);
      dst.put(101 + k, -3, c.px[k].before);
    }
    const Rect sr = src.pm.bounds;
    const Rect dr{-3, 101, -2, int16(101 + n)};
    Kernel(c.sd, c.dd, c.blendval)(&src.pm, &dst.pm, &sr, &dr, c.mode);
    for (int k = 0; k < n; ++k) EXPECT_EQ(dst.get(101 + k, -3), c.px[k].after) << "pixel " << k;
    EXPECT_EQ(dst.get(100, -3), sentinel);
    EXPECT_EQ(dst.get(101 + n, -3), sentinel);
  }
}

// A 1-bit source rectangle 13 columns right of its map's left bound starts
// at bit 5 (from the most significant) of the row's second byte. Its bits
// here are 1, 0, 1, 1 (the last from the third byte).
TEST(Asm32Blt, OneBitSourcesPaintTheirColoursByMode) {
  Map src(Rect{0, -3, 1, 21}, 1);
  src.row(0)[1] = 0x05;
  src.row(0)[2] = 0x80;
  const Rect sr{0, 10, 1, 14};
  const a_win_color zero = Color(1, 2, 3, 4), one = Color(0xAA, 0xBB, 0xCC, 0xDD);
  struct Want {
    int16 depth;
    uint32 zero, one, before;
  };
  // 32 bits: b, g, r, then the colour's fourth byte as alpha; 24 bits: b, g, r.
  const Want wants[] = {{32, 0x04010203, 0xDDAABBCC, 0x99999999},
                        {24, 0x010203, 0xAABBCC, 0x999999},
                        {16, 0x0123, 0x7C00, 0x1999},
                        {8, 0x11, 0xEE, 0x99}};
  const int16 modes[] = {srcCopy, srcOr, srcBic};
  for (const Want& w : wants) {
    for (int16 mode : modes) {
      SCOPED_TRACE(testing::Message() << "depth " << w.depth << " mode " << mode);
      Map dst(Rect{0, 0, 1, 6}, w.depth);
      dst.fill(w.before);
      const Rect dr{0, 1, 1, 5};
      switch (w.depth) {
        case 32: Asm32_Blt_1_32(&src.pm, &dst.pm, &sr, &dr, mode, zero, one); break;
        case 24: Asm32_Blt_1_24(&src.pm, &dst.pm, &sr, &dr, mode, zero, one); break;
        case 16: Asm32_Blt_1_16(&src.pm, &dst.pm, &sr, &dr, mode, 0x0123, 0x7C00); break;
        default: Asm32_Blt18_Simple(&src.pm, &dst.pm, &sr, &dr, mode, 0x11, 0xEE);
      }
      const uint32 set = mode == srcBic ? w.zero : w.one;
      const uint32 clear = mode == srcCopy ? w.zero : w.before;
      const uint32 expect[6] = {w.before, set, clear, set, set, w.before};
      for (int h = 0; h < 6; ++h) EXPECT_EQ(dst.get(h, 0), expect[h]) << "column " << h;
    }
  }
}

// 1 to 1: each mode against its bit formula, into a rectangle that begins
// and ends inside a byte (columns 3 .. 20 of the destination) from a source
// shifted by 5 bits; bits outside the rectangle keep their value.
TEST(Asm32Blt, OneToOneModesKeepBitsOutsideTheRectangle) {
  const uint8 sbytes[4] = {0xB5, 0x3C, 0xE1, 0x96};
  const uint8 dbytes[4] = {0x6A, 0xF0, 0x0F, 0x5B};
  for (int16 mode = srcCopy; mode <= notSrcBic; ++mode) {
    SCOPED_TRACE(testing::Message() << "mode " << mode);
    Map src(Rect{0, 0, 2, 32}, 1), dst(Rect{4, 8, 6, 40}, 1);
    for (int v = 0; v < 2; ++v)
      for (int k = 0; k < 4; ++k) {
        src.row(v)[k] = uint8(sbytes[k] ^ (v * 0xFF));
        dst.row(4 + v)[k] = dbytes[k];
      }
    const Rect sr{0, 8, 2, 26}, dr{4, 11, 6, 29};
    Asm32_Blt11_Simple(&src.pm, &dst.pm, &sr, &dr, mode);
    for (int v = 0; v < 2; ++v)
      for (int x = 0; x < 32; ++x) {
        const uint32 d = (dbytes[x / 8] >> (7 - x % 8)) & 1;
        uint32 want = d;
        if (x >= 3 && x < 21) {
          const int sx = x + 5;
          const uint32 s = ((sbytes[sx / 8] ^ (v * 0xFF)) >> (7 - sx % 8)) & 1;
          const uint32 ns = s ^ 1;
          const uint32 r[8] = {s, d | s, d ^ s, d & ns, ns, d | ns, d ^ ns, d & s};
          want = r[mode];
        }
        EXPECT_EQ(dst.get(8 + x, 4 + v), want) << "row " << v << " bit " << x;
      }
  }
  // A hand-worked row: srcCopy of source bits 8 .. 25 of 0xB5 3C E1 96
  // (0011 1100 1110 0001 10) into bits 3 .. 20 of 6A F0 0F 5B:
  // 011 00111 10011100 00110 111 -> 0x67 0x9C 0x37, last byte unchanged.
  Map src(Rect{0, 0, 1, 32}, 1), dst(Rect{0, 0, 1, 32}, 1);
  for (int k = 0; k < 4; ++k) {
    src.row(0)[k] = sbytes[k];
    dst.row(0)[k] = dbytes[k];
  }
  const Rect sr{0, 8, 1, 26}, dr{0, 3, 1, 21};
  Asm32_Blt11_Simple(&src.pm, &dst.pm, &sr, &dr, srcCopy);
  EXPECT_EQ(dst.row(0)[0], 0x67);
  EXPECT_EQ(dst.row(0)[1], 0x9C);
  EXPECT_EQ(dst.row(0)[2], 0x37);
  EXPECT_EQ(dst.row(0)[3], 0x5B);
}

namespace {

// Value of source pixel (h, v) in the clipping and scaling tests: distinct,
// never white, and kept by every like-depth copy.
uint32 Code(int h, int v) { return uint32(1 + v * 16 + h); }

using Call = std::function<void(const Map& src, const Map* msk, const Map& dst, const Rect& sr, const Rect& mr,
                                const Rect& dr)>;

struct Kern {
  const char* name;
  int16 depth;  // source and destination
  int16 mask;   // 0, 1 or 8
  Call call;
};

std::vector<Kern> Like_Depth_Kernels() {
  auto plain = [](void (*f)(const PixMap*, const PixMap*, const Rect*, const Rect*, int16)) {
    return [f](const Map& s, const Map*, const Map& d, const Rect& sr, const Rect&, const Rect& dr) {
      f(&s.pm, &d.pm, &sr, &dr, srcCopy);
    };
  };
  using MaskFn = void (*)(const PixMap*, const PixMap*, const PixMap*, const Rect*, const Rect*, const Rect*, RgnHandle);
  auto masked = [](MaskFn f) {
    return [f](const Map& s, const Map* m, const Map& d, const Rect& sr, const Rect& mr, const Rect& dr) {
      f(&s.pm, &m->pm, &d.pm, &sr, &mr, &dr, nullptr);
    };
  };
  return {
      {"32_32", 32, 0,
       [](const Map& s, const Map*, const Map& d, const Rect& sr, const Rect&, const Rect& dr) {
         Asm32_Blt_32_32(&s.pm, &d.pm, &sr, &dr, srcCopy, 255);
       }},
      {"16_16", 16, 0,
       [](const Map& s, const Map*, const Map& d, const Rect& sr, const Rect&, const Rect& dr) {
         Asm32_Blt_16_16(&s.pm, &d.pm, &sr, &dr, srcCopy, 255);
       }},
      {"24_24", 24, 0, plain(Asm32_Blt_24_24)},
      {"88", 8, 0,
       [](const Map& s, const Map*, const Map& d, const Rect& sr, const Rect&, const Rect& dr) {
         Asm32_Blt88(&s.pm, &d.pm, &sr, &dr, srcCopy, nullptr);
       }},
      {"CopyMask_8_8", 8, 1, masked(Asm32_CopyMask_8_8)},
      {"CopyMask_16_16", 16, 1, masked(Asm32_CopyMask_16_16)},
      {"CopyMask_32_32", 32, 1, masked(Asm32_CopyMask_32_32)},
      {"CopyMask_24_24", 24, 1, masked(Asm32_CopyMask_24_24)},
      {"DeepMask_32_32", 32, 8,
       [](const Map& s, const Map* m, const Map& d, const Rect& sr, const Rect& mr, const Rect& dr) {
         Asm32_DeepMask_32_32(&s.pm, &m->pm, &d.pm, &sr, &mr, &dr);
       }},
      {"DeepMask_24_24", 24, 8,
       [](const Map& s, const Map* m, const Map& d, const Rect& sr, const Rect& mr, const Rect& dr) {
         Asm32_DeepMask_24_24(&s.pm, &m->pm, &d.pm, &sr, &mr, &dr);
       }},
  };
}

// The source (row, column) that each destination pixel of a sw x sh to
// dw x dh copy took, as "r,c" strings row by row; masks are fully set.
std::vector<std::string> Sampled(const Kern& k, int sw, int sh, int dw, int dh) {
  Map src(Rect{0, 0, int16(sh), int16(sw)}, k.depth);
  for (int v = 0; v < sh; ++v)
    for (int h = 0; h < sw; ++h) src.put(h, v, Code(h, v));
  Map msk(Rect{0, 0, int16(sh), int16(sw)}, k.mask == 0 ? 8 : k.mask);
  msk.fill(k.mask == 1 ? 1 : 255);
  Map dst(Rect{0, 0, int16(dh), int16(dw)}, k.depth);
  const Rect sr = src.pm.bounds, dr = dst.pm.bounds;
  k.call(src, &msk, dst, sr, sr, dr);
  std::vector<std::string> out;
  for (int v = 0; v < dh; ++v)
    for (int h = 0; h < dw; ++h) {
      const uint32 c = dst.get(h, v) - 1;
      out.push_back(std::to_string(c / 16) + "," + std::to_string(c % 16));
    }
  return out;
}

using Strs = std::vector<std::string>;

}  // namespace

// A destination rectangle hanging over each edge and corner of its map (and
// wholly outside it) moves the source and mask start with it or is cut, for
// every like-depth kernel: each destination pixel is either the source pixel
// at the same offset in the rectangles or untouched.
TEST(Asm32Blt, SameSizeClipsTheDestinationAtEveryEdge) {
  for (const Kern& k : Like_Depth_Kernels()) {
    for (int dv = -5; dv <= 7; dv += 2)
      for (int dh = -5; dh <= 7; dh += 2) {
        SCOPED_TRACE(testing::Message() << k.name << " offset " << dh << "," << dv);
        Map src(Rect{-2, 3, 6, 11}, k.depth);
        for (int v = -2; v < 6; ++v)
          for (int h = 3; h < 11; ++h) src.put(h, v, Code(h - 3, v + 2));
        // Mask pixels set where (h + v) is even, in the mask's own coordinates.
        Map msk(Rect{40, 50, 48, 58}, k.mask == 0 ? 8 : k.mask);
        for (int v = 40; v < 48; ++v)
          for (int h = 50; h < 58; ++h) msk.put(h, v, (h + v) % 2 == 0 ? (k.mask == 1 ? 1 : 255) : 0);
        Map dst(Rect{10, 20, 16, 26}, k.depth);
        const uint32 sentinel = 0xEE;
        dst.fill(sentinel);
        const Rect sr{-1, 4, 4, 9};                      // 5 x 5 inside the source
        const Rect mr{41, 51, 46, 56};                   // its mask area
        const Rect dr{int16(10 + dv), int16(20 + dh), int16(15 + dv), int16(25 + dh)};
        k.call(src, &msk, dst, sr, mr, dr);
        for (int v = 10; v < 16; ++v)
          for (int h = 20; h < 26; ++h) {
            uint32 want = sentinel;
            const int j = h - dr.left, i = v - dr.top;
            if (j >= 0 && j < 5 && i >= 0 && i < 5) {
              const bool on = k.mask == 0 || (51 + j + 41 + i) % 2 == 0;
              if (on) want = Code(4 + j - 3, -1 + i + 2);
            }
            EXPECT_EQ(dst.get(h, v), want) << "pixel " << h << "," << v;
          }
      }
  }
}

// Reducing 4 x 4 to 2 x 2: the 16- and 8-bit copies take the lower right of
// each 2 x 2 block, the others sample nearest from the top left.
TEST(Asm32Blt, ReductionsTakeTheirSamplePixels) {
  const Strs lower_right = {"1,1", "1,3", "3,1", "3,3"};
  const Strs nearest = {"0,0", "0,2", "2,0", "2,2"};
  for (const Kern& k : Like_Depth_Kernels()) {
    if (std::string(k.name) == "CopyMask_24_24" || std::string(k.name) == "DeepMask_24_24") continue;
    SCOPED_TRACE(k.name);
    const bool fast = std::string(k.name) == "16_16" || std::string(k.name) == "88";
    EXPECT_EQ(Sampled(k, 4, 4, 2, 2), fast ? lower_right : nearest);
    // 3 x 3 to 2 x 2 is neither 2:1 nor 4:1: nearest everywhere.
    EXPECT_EQ(Sampled(k, 3, 3, 2, 2), (Strs{"0,0", "0,1", "1,0", "1,1"}));
    if (fast) {
      EXPECT_EQ(Sampled(k, 8, 8, 2, 2), (Strs{"3,3", "3,7", "7,3", "7,7"}));
      // 5 div 2 is 2: still the 2:1 path.
      EXPECT_EQ(Sampled(k, 5, 5, 2, 2), lower_right);
    }
  }
}

// Nearest sampling by any ratio: column j takes floor(j * sw / dw), so 10 to
// 7 takes 0, 1, 2, 4, 5, 7, 8 and 2 to 5 takes 0, 0, 0, 1, 1.
TEST(Asm32Blt, NearestSamplingFollowsTheFloorRule) {
  for (const Kern& k : Like_Depth_Kernels()) {
    if (std::string(k.name) == "CopyMask_24_24" || std::string(k.name) == "DeepMask_24_24") continue;
    SCOPED_TRACE(k.name);
    EXPECT_EQ(Sampled(k, 10, 1, 7, 1), (Strs{"0,0", "0,1", "0,2", "0,4", "0,5", "0,7", "0,8"}));
    EXPECT_EQ(Sampled(k, 2, 1, 5, 1), (Strs{"0,0", "0,0", "0,0", "0,1", "0,1"}));
    EXPECT_EQ(Sampled(k, 1, 10, 1, 7), (Strs{"0,0", "1,0", "2,0", "4,0", "5,0", "7,0", "8,0"}));
  }
}

// Scaled copies clip the destination but keep stepping the source: 10 to 7
// with the rectangle two columns left of the map and one row above it.
TEST(Asm32Blt, ScaledCopiesClipAndStillStepTheSource) {
  Map src(Rect{0, 0, 10, 10}, 32);
  for (int v = 0; v < 10; ++v)
    for (int h = 0; h < 10; ++h) src.put(h, v, Code(h, v));
  Map dst(Rect{0, 0, 6, 4}, 32);
  dst.fill(0xEE);
  const Rect sr{0, 0, 10, 10}, dr{-1, -2, 6, 5};  // 7 x 7, columns -2 .. 4, rows -1 .. 5
  Asm32_Blt_32_32(&src.pm, &dst.pm, &sr, &dr, srcCopy, 255);
  const int cols[7] = {0, 1, 2, 4, 5, 7, 8};
  for (int v = 0; v < 6; ++v)
    for (int h = 0; h < 4; ++h) {
      const int j = h + 2, i = v + 1;
      const uint32 want = (j < 7 && i < 7) ? Code(cols[j], cols[i]) : 0xEE;
      EXPECT_EQ(dst.get(h, v), want) << h << "," << v;
    }
}

// Transparent, blend and ALPHA also scale (32 to 32), pixel by pixel as at
// equal size.
TEST(Asm32Blt, ScaledModesOf32To32) {
  Map src(Rect{0, 0, 1, 2}, 32), dst(Rect{0, 0, 1, 4}, 32);
  src.put(0, 0, 0x00FFFFFF);
  src.put(1, 0, 0x80FF0000);
  const Rect sr{0, 0, 1, 2}, dr{0, 0, 1, 4};
  dst.fill(0x200000FF);
  Asm32_Blt_32_32(&src.pm, &dst.pm, &sr, &dr, transparent, 255);
  EXPECT_EQ(dst.get(0, 0), 0x200000FFu);
  EXPECT_EQ(dst.get(3, 0), 0x80FF0000u);
  dst.fill(0x200000FF);
  Asm32_Blt_32_32(&src.pm, &dst.pm, &sr, &dr, blend, 128);
  // White over blue at 128: red and green 127, blue 255 * 128 + 255 * 127 >> 8 = 254.
  EXPECT_EQ(dst.get(1, 0), 0x207F7FFEu);
  EXPECT_EQ(dst.get(2, 0), 0x207F007Eu);
  dst.fill(0x200000FF);
  Asm32_Blt_32_32(&src.pm, &dst.pm, &sr, &dr, ALPHA, 255);
  EXPECT_EQ(dst.get(0, 0), 0x200000FFu);
  EXPECT_EQ(dst.get(3, 0), 0x207F007Eu);
}

// A masked enlargement of 10 x 10 into 30 x 20 fills a 3 x 2 block for each
// source pixel with its mask bit set and leaves the other blocks alone.
TEST(Asm32Blt, MaskedEnlargementFillsBlocks) {
  Map src(Rect{0, 0, 10, 10}, 32), msk(Rect{0, 0, 10, 10}, 1), dst(Rect{0, 0, 20, 30}, 32);
  for (int v = 0; v < 10; ++v)
    for (int h = 0; h < 10; ++h) {
      src.put(h, v, Code(h, v));
      msk.put(h, v, (h * 3 + v) % 4 != 0);
    }
  dst.fill(0xEE);
  const Rect sr{0, 0, 10, 10}, dr{0, 0, 20, 30};
  Asm32_CopyMask_32_32(&src.pm, &msk.pm, &dst.pm, &sr, &sr, &dr, nullptr);
  for (int v = 0; v < 20; ++v)
    for (int h = 0; h < 30; ++h) {
      const int sh = h / 3, sv = v / 2;
      EXPECT_EQ(dst.get(h, v), (sh * 3 + sv) % 4 != 0 ? Code(sh, sv) : 0xEEu) << h << "," << v;
    }
}

// Same-size masked copies across mask bytes that are all clear, all set and
// mixed, with the mask starting mid-byte; 24 to 16 converts as it copies.
TEST(Asm32Blt, OneBitMaskSelectsPixelsAcrossMaskBytes) {
  Map msk(Rect{0, 0, 1, 32}, 1);
  msk.row(0)[0] = 0x1F;  // bits 3 .. 7 set
  msk.row(0)[1] = 0x00;
  msk.row(0)[2] = 0xFF;
  msk.row(0)[3] = 0xA0;
  const Rect mr{0, 3, 1, 29};
  Map src(Rect{0, 0, 1, 26}, 24), dst(Rect{0, 0, 1, 26}, 16);
  for (int h = 0; h < 26; ++h) src.put(h, 0, uint32(h) << 19 | 0x0008F8);  // red h * 8, green 8, blue 248
  dst.fill(0x1234);
  const Rect r{0, 0, 1, 26};
  Asm32_CopyMask_24_16(&src.pm, &msk.pm, &dst.pm, &r, &mr, &r, nullptr);
  for (int h = 0; h < 26; ++h) {
    const int x = h + 3;
    const bool on = (msk.row(0)[x / 8] >> (7 - x % 8)) & 1;
    EXPECT_EQ(dst.get(h, 0), on ? uint32(h << 10 | 1 << 5 | 31) : 0x1234u) << h;
  }
}

// The 8-bit mask weights: 255 copies all four bytes, 0 leaves the pixel, 128
// blends the colour channels and keeps the destination's alpha.
TEST(Asm32Blt, DeepMaskWeightsByTheMaskByte) {
  Map src(Rect{0, 0, 1, 3}, 32), msk(Rect{0, 0, 1, 3}, 8), dst(Rect{0, 0, 1, 3}, 32);
  src.fill(0x80FF0000);
  msk.put(0, 0, 255);
  msk.put(1, 0, 0);
  msk.put(2, 0, 128);
  dst.fill(0x200000FF);
  const Rect r{0, 0, 1, 3};
  Asm32_DeepMask_32_32(&src.pm, &msk.pm, &dst.pm, &r, &r, &r);
  EXPECT_EQ(dst.get(0, 0), 0x80FF0000u);
  EXPECT_EQ(dst.get(1, 0), 0x200000FFu);
  EXPECT_EQ(dst.get(2, 0), 0x207F007Eu);

  Map src24(Rect{0, 0, 1, 3}, 24), dst24(Rect{0, 0, 1, 3}, 24);
  src24.fill(0xFF0000);
  dst24.fill(0x0000FF);
  Asm32_DeepMask_24_24(&src24.pm, &msk.pm, &dst24.pm, &r, &r, &r);
  EXPECT_EQ(dst24.get(0, 0), 0xFF0000u);
  EXPECT_EQ(dst24.get(1, 0), 0x0000FFu);
  EXPECT_EQ(dst24.get(2, 0), 0x7F007Eu);
}

// 1 to 1 at different sizes samples like the other scaled copies: a 4-pixel
// row reduced to 2 takes columns 0 and 2 (stepping only past the destination
// width would take 0 and 1 and never reach the right half), and 2 stretched
// to 4 takes 0, 0, 1, 1.
TEST(Asm32Blt, OneToOneScaledSamplesBothHalves) {
  Map src(Rect{0, 0, 4, 8}, 1);
  src.row(0)[0] = 0x30;  // columns 2, 3 set
  src.row(1)[0] = 0x30;
  src.row(2)[0] = 0x40;  // column 1 set
  src.row(3)[0] = 0x40;
  Map dst(Rect{0, 0, 4, 8}, 1);
  const Rect sr{0, 0, 4, 4}, dr{0, 0, 2, 2};
  Asm32_Blt11_Scaled(&src.pm, &dst.pm, &sr, &dr);
  EXPECT_EQ(dst.get(0, 0), 0u);
  EXPECT_EQ(dst.get(1, 0), 1u);
  EXPECT_EQ(dst.get(1, 1), 0u);  // row 2, column 2

  Map wide(Rect{0, 0, 1, 8}, 1);
  wide.row(0)[0] = 0x40;  // 0, 1
  Map out(Rect{0, 0, 1, 8}, 1);
  out.row(0)[0] = 0x0F;   // columns 4 .. 7 set, outside the rectangle
  const Rect sr2{0, 0, 1, 2}, dr2{0, 0, 1, 4};
  Asm32_Blt11_Scaled(&wide.pm, &out.pm, &sr2, &dr2);
  EXPECT_EQ(out.row(0)[0], 0x3F);
}

// Rectangles that reach outside their maps never read or write outside
// them, and empty rectangles write nothing.
TEST(Asm32Blt, OutOfRangeAndEmptyRectanglesStayInside) {
  Map src(Rect{0, 0, 4, 4}, 32), dst(Rect{0, 0, 4, 4}, 32), msk(Rect{0, 0, 2, 2}, 1);
  src.fill(0x11111111);
  msk.fill(1);
  dst.fill(0xEE);
  const Rect far_src{-6, -6, 0, 0}, dr{0, 0, 6, 6};
  Asm32_Blt_32_32(&src.pm, &dst.pm, &far_src, &dr, srcCopy, 255);
  const Rect big{-2, -2, 6, 6}, small{0, 0, 3, 3};
  Asm32_Blt_32_32(&src.pm, &dst.pm, &big, &small, srcCopy, 255);  // scaled, source partly outside
  EXPECT_EQ(dst.get(0, 0), 0xEEu);                                 // samples row -2, column -2
  EXPECT_EQ(dst.get(2, 2), 0x11111111u);                           // samples row 3, column 3
  const Rect r4{0, 0, 4, 4};
  dst.fill(0xEE);
  Asm32_CopyMask_32_32(&src.pm, &msk.pm, &dst.pm, &r4, &r4, &r4, nullptr);  // mask only 2 x 2
  EXPECT_EQ(dst.get(1, 1), 0x11111111u);
  EXPECT_EQ(dst.get(2, 1), 0xEEu);
  const Rect empty{2, 2, 2, 2};
  Asm32_Blt_32_32(&src.pm, &dst.pm, &empty, &empty, srcCopy, 255);
  Asm32_Blt11_Simple(&msk.pm, &msk.pm, &empty, &empty, srcCopy);
  EXPECT_EQ(dst.get(3, 3), 0xEEu);
}

// Wide rows: every destination column j of a one-row 32-bit scaled copy
// holds source column floor(j * sw / dw), across strip boundaries and for
// widths near the coordinate limit.
TEST(Asm32Blt, WideScaledRowsSampleExactly) {
  const int pairs[][2] = {{32767, 32749}, {30011, 4099}, {3, 32767}, {20000, 10000}, {4097, 8191}};
  for (const auto& p : pairs) {
    const int sw = p[0], dw = p[1];
    SCOPED_TRACE(testing::Message() << sw << " to " << dw);
    Map src(Rect{0, 0, 1, int16(sw)}, 32), dst(Rect{0, 0, 1, int16(dw)}, 32);
    uint32* s = reinterpret_cast<uint32*>(src.pm.baseAddr);
    for (int h = 0; h < sw; ++h) s[h] = uint32(h);
    const Rect sr = src.pm.bounds, dr = dst.pm.bounds;
    Asm32_Blt_32_32(&src.pm, &dst.pm, &sr, &dr, srcCopy, 255);
    const uint32* d = reinterpret_cast<const uint32*>(dst.pm.baseAddr);
    int bad = 0;
    for (int j = 0; j < dw; ++j)
      if (d[j] != uint32(int64(j) * sw / dw) && ++bad < 4) ADD_FAILURE() << "column " << j << " took " << d[j];
    EXPECT_EQ(bad, 0);
  }
}
