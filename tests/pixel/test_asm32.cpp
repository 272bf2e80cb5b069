#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "PixTestUtil.h"
#include "TestSupport.h"
#include "pixel/Asm32.h"
#include "pixel/SysPix.h"

namespace {

struct OwnedPix : OwnedPixMap {
  using OwnedPixMap::OwnedPixMap;
  uint8* at(int v, int h, int bytesPerPixel) const {
    return bytes() + (v - pm.bounds.top) * int(PixMap_RowBytes(pm)) + (h - pm.bounds.left) * bytesPerPixel;
  }
};

a_pixel32 Px(uint8 b, uint8 g, uint8 r, uint8 a) {
  a_pixel32 p;
  p.b = b;
  p.g = g;
  p.r = r;
  p.a = a;
  return p;
}

// Sets (h, v) of a 1-bit map.
void Set1(const OwnedPix& m, int h, int v) {
  const int x = h - m.pm.bounds.left;
  m.bytes()[(v - m.pm.bounds.top) * int(PixMap_RowBytes(m.pm)) + x / 8] |= uint8(0x80 >> (x % 8));
}

}  // namespace

// ---------------------------------------------------------------------------
// Accessors
// ---------------------------------------------------------------------------

TEST(Asm32Access, EightAndSixteenBitDotsAddressTheirMap) {
  OwnedPix a(Rect{10, -4, 14, 3}, 8), b(Rect{0, 0, 2, 2}, 8);
  Asm32_PixA_Init(&a.pm);
  Asm32_PixB_Init(&b.pm);
  Asm32_PixA_PutDot(2, 13, 0xA1);
  Asm32_PixB_PutDot(1, 0, 0xB2);
  EXPECT_EQ(*a.at(13, 2, 1), 0xA1);
  EXPECT_EQ(*b.at(0, 1, 1), 0xB2);
  EXPECT_EQ(Asm32_PixA_GetDot(2, 13), 0xA1);
  EXPECT_EQ(Asm32_PixB_GetDot(1, 0), 0xB2);
  EXPECT_EQ(Asm32_PixA_GetDot(1, 13), 0);

  OwnedPix c(Rect{-2, 5, 1, 9}, 16), d(Rect{0, 0, 1, 3}, 16);
  Asm32_Pix16A_Init(&c.pm);
  Asm32_Pix16B_Init(&d.pm);
  Asm32_Pix16A_PutDot(8, 0, 0x7C1F);
  Asm32_Pix16B_PutDot(2, 0, 0x0123);
  EXPECT_EQ(c.at(0, 8, 2)[0], 0x1F);  // little-endian in memory
  EXPECT_EQ(c.at(0, 8, 2)[1], 0x7C);
  EXPECT_EQ(Asm32_Pix16A_GetDot(8, 0), 0x7C1F);
  EXPECT_EQ(Asm32_Pix16B_GetDot(2, 0), 0x0123);
  EXPECT_EQ(Asm32_Pix16B_GetDot(1, 0), 0);
}

TEST(Asm32Access, DeepDotsAt24And32Bits) {
  OwnedPix m32(Rect{1, 1, 3, 4}, 32);
  Asm32_Pix32A_Init(&m32.pm);
  const a_pixel32 c = Px(0x10, 0x20, 0x30, 0x40);
  Asm32_Pix32A_PutDot(3, 2, &c);
  EXPECT_EQ(std::memcmp(m32.at(2, 3, 4), "\x10\x20\x30\x40", 4), 0);
  a_pixel32 got = Px(0, 0, 0, 0);
  Asm32_Pix32A_GetDot(3, 2, &got);
  EXPECT_EQ(got.raw, c.raw);

  // 24 bits: alpha reads as 0 and the byte after the pixel is not written.
  OwnedPix m24(Rect{0, 0, 2, 3}, 24);
  std::memset(m24.bytes(), 0x5A, PixMap_Len(m24.pm));
  Asm32_Pix32B_Init(&m24.pm);
  Asm32_Pix32B_PutDot(1, 1, &c);
  const uint8* p = m24.at(1, 1, 3);
  EXPECT_EQ(std::memcmp(p, "\x10\x20\x30\x5A", 4), 0);
  EXPECT_EQ(p[-1], 0x5A);
  Asm32_Pix32B_GetDot(1, 1, &got);
  EXPECT_EQ(got.raw, Px(0x10, 0x20, 0x30, 0).raw);
  Asm32_Pix32B_GetDot(2, 1, &got);
  EXPECT_EQ(got.raw, Px(0x5A, 0x5A, 0x5A, 0).raw);
}

TEST(Asm32Access, BitDotsSetAndClearOneBit) {
  OwnedPix m(Rect{-1, -9, 2, 23}, 1);
  std::memset(m.bytes(), 0xA5, PixMap_Len(m.pm));
  std::vector<uint8> before(m.bytes(), m.bytes() + PixMap_Len(m.pm));
  Asm32_BitA_Init(&m.pm);
  Asm32_BitB_Init(&m.pm);
  struct Case {
    int16 h, v;
    uint8 val, want;
  };
  // Column h lies at bit (h + 9) of its row.
  const Case cases[] = {{-9, -1, 0, 0}, {-8, -1, 7, 1}, {0, 0, 1, 1}, {1, 0, 0, 0}, {22, 1, 255, 1}, {22, 1, 0, 0}};
  for (const Case& c : cases) {
    Asm32_BitA_PutDot(c.h, c.v, c.val);
    EXPECT_EQ(Asm32_BitA_GetDot(c.h, c.v), c.want);
    EXPECT_EQ(Asm32_BitB_GetDot(c.h, c.v), c.want);
    const int x = c.h + 9;
    uint8& expect = before[(c.v + 1) * 4 + x / 8];
    expect = c.want ? uint8(expect | (0x80 >> (x % 8))) : uint8(expect & ~(0x80 >> (x % 8)));
    EXPECT_EQ(std::memcmp(before.data(), m.bytes(), before.size()), 0) << c.h << "," << c.v;
  }
}

// ---------------------------------------------------------------------------
// Bounding boxes
// ---------------------------------------------------------------------------

TEST(Asm32Bounding, EmptyMapsGiveAllZero) {
  OwnedPix m1(Rect{5, 5, 25, 45}, 1), m8(Rect{5, 5, 25, 45}, 8);
  const Rect search = m1.pm.bounds;
  Rect box{1, 1, 1, 1};
  Asm32_PixMap1_Bounding(&m1.pm, &search, &box);
  EXPECT_EQ(box, (Rect{0, 0, 0, 0}));
  box = Rect{1, 1, 1, 1};
  Asm32_PixMap8_Bounding(&m8.pm, &search, &box);
  EXPECT_EQ(box, (Rect{0, 0, 0, 0}));
}

TEST(Asm32Bounding, SinglePixelsAndGroups) {
  const Rect bounds{-3, 7, 30, 60};  // 33 rows, 53 columns
  struct Case {
    std::vector<Point> pixels;  // (v, h)
    Rect want;
  };
  const Case cases[] = {
      {{{-3, 7}}, {-3, 7, -2, 8}},       // top-left corner
      {{{-3, 59}}, {-3, 59, -2, 60}},    // top-right
      {{{29, 7}}, {29, 7, 30, 8}},       // bottom-left
      {{{29, 59}}, {29, 59, 30, 60}},    // bottom-right
      {{{10, 22}}, {10, 22, 11, 23}},    // word boundary column (15 from the left)
      {{{4, 40}, {20, 9}, {12, 55}}, {4, 9, 21, 56}},
      {{{0, 30}, {0, 31}, {1, 30}}, {0, 30, 2, 32}},
  };
  for (const Case& c : cases) {
    OwnedPix m1(bounds, 1), m8(bounds, 8);
    for (const Point& p : c.pixels) {
      Set1(m1, p.h, p.v);
      *m8.at(p.v, p.h, 1) = 3;
    }
    Rect box1, box8;
    Asm32_PixMap1_Bounding(&m1.pm, &bounds, &box1);
    Asm32_PixMap8_Bounding(&m8.pm, &bounds, &box8);
    EXPECT_EQ(box1, c.want) << box1.top << "," << box1.left << "," << box1.bottom << "," << box1.right;
    EXPECT_EQ(box8, c.want) << box8.top << "," << box8.left << "," << box8.bottom << "," << box8.right;
  }
}

TEST(Asm32Bounding, SearchRectangleLimitsTheScan) {
  OwnedPix m1(Rect{0, 0, 8, 48}, 1), m8(Rect{0, 0, 8, 48}, 8);
  // Pixels just outside a search ending at column 16 (a word boundary) and
  // one inside.
  for (const Point& p : {Point{2, 16}, Point{7, 40}, Point{5, 3}}) {
    Set1(m1, p.h, p.v);
    *m8.at(p.v, p.h, 1) = 1;
  }
  struct Case {
    Rect search, want;
  };
  const Case cases[] = {
      {{0, 0, 8, 16}, {5, 3, 6, 4}},
      {{0, 0, 8, 17}, {2, 3, 6, 17}},
      {{0, 4, 8, 16}, {0, 0, 0, 0}},
      {{3, 0, 8, 48}, {5, 3, 8, 41}},
      {{-5, -5, 50, 70}, {2, 3, 8, 41}},  // larger than the map: limited to it
  };
  for (const Case& c : cases) {
    Rect b1, b8;
    Asm32_PixMap1_Bounding(&m1.pm, &c.search, &b1);
    Asm32_PixMap8_Bounding(&m8.pm, &c.search, &b8);
    EXPECT_EQ(b1, c.want) << c.search.left << ".." << c.search.right;
    EXPECT_EQ(b8, c.want) << c.search.left << ".." << c.search.right;
  }
}

// ---------------------------------------------------------------------------
// Other services
// ---------------------------------------------------------------------------

TEST(Asm32Fraction, TruncatesTowardZero) {
  struct Case {
    int16 a, b, c, want;
  };
  const Case cases[] = {
      {100, 3, 7, 42},    {-100, 3, 7, -42},  {100, -3, 7, -42},      {-100, -3, -7, -42},
      {100, 3, -7, -42},  {7, 1, 2, 3},       {-7, 1, 2, -3},         {0, 5, 3, 0},
      {300, 300, 300, 300},  // product beyond 16 bits
      {32767, 32767, 32767, 32767}, {-32768, -32768, 32767, 32767},  // quotient clamped, not trapped
      {32767, 2, 1, 32767},  {-32768, 2, 1, -32768}, {5, 5, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Asm32_Fraction(c.a, c.b, c.c), c.want) << c.a << "*" << c.b << "/" << c.c;

  struct Case32 {
    int32 a, b, c, want;
  };
  const Case32 cases32[] = {
      {2000000000, 2, 4, 1000000000},  // product beyond 32 bits
      {-2000000000, 3, 7, -857142857},  {7, -1, 2, -3},
      {2000000000, 2000000000, 1, 2147483647}, {1, 1, 0, 0},
  };
  for (const Case32& c : cases32) EXPECT_EQ(Asm32_Fraction32(c.a, c.b, c.c), c.want) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Asm32Bytes, FillAndOverlappingMoves) {
  for (uint32 len = 0; len <= 9; ++len) {
    uint8 buf[12];
    std::memset(buf, 0xCC, sizeof buf);
    Asm32_FillBytes(buf + 1, len, 0x3C);
    EXPECT_EQ(buf[0], 0xCC);
    for (uint32 i = 0; i < len; ++i) EXPECT_EQ(buf[1 + i], 0x3C);
    EXPECT_EQ(buf[1 + len], 0xCC) << len;
  }
  // Overlapping moves in both directions copy the original bytes.
  uint8 up[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  Asm32_BlockMove(up, up + 3, 6);
  const uint8 wantUp[10] = {0, 1, 2, 0, 1, 2, 3, 4, 5, 9};
  EXPECT_EQ(std::memcmp(up, wantUp, 10), 0);
  uint8 down[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  Asm32_BlockMove(down + 3, down, 6);
  const uint8 wantDown[10] = {3, 4, 5, 6, 7, 8, 6, 7, 8, 9};
  EXPECT_EQ(std::memcmp(down, wantDown, 10), 0);
}

TEST(Asm32Subtract, EqualPixelsUnderTheMaskBecomeWhite) {
  OwnedPix mask(Rect{0, 0, 2, 4}, 1), fore(Rect{0, 0, 2, 4}, 8), back(Rect{0, 0, 2, 4}, 8);
  mask.bytes()[0] = 0xE0;  // row 0, columns 0-2
  mask.bytes()[4] = 0x10;  // row 1, column 3
  const uint8 f[2][4] = {{5, 6, 7, 8}, {1, 2, 3, 4}};
  const uint8 b[2][4] = {{5, 0, 7, 8}, {1, 2, 3, 4}};
  for (int v = 0; v < 2; ++v)
    for (int h = 0; h < 4; ++h) {
      *fore.at(v, h, 1) = f[v][h];
      *back.at(v, h, 1) = b[v][h];
    }
  Asm32_PixMap8_Subtract(&mask.pm, &fore.pm, &back.pm);
  const uint8 want[2][4] = {{255, 6, 255, 8}, {1, 2, 3, 255}};
  for (int v = 0; v < 2; ++v)
    for (int h = 0; h < 4; ++h) EXPECT_EQ(*fore.at(v, h, 1), want[v][h]) << h << "," << v;
  EXPECT_EQ(mask.bytes()[0], 0x40);
  EXPECT_EQ(mask.bytes()[4], 0x00);
}

TEST(Asm32Inverse, NearestUnflaggedEntryLowerIndexOnTies) {
  std::vector<RGB32> table(256, RGB32{0, 0, 0, 1});  // all flagged
  std::vector<uint8> inverse(32768, 0xEE);
  Asm32_Calc_Inverse(table.data(), inverse.data());
  EXPECT_EQ(inverse[0], 0);
  EXPECT_EQ(inverse[32767], 0);

  table[10] = RGB32{255, 255, 255, 0};
  table[20] = RGB32{0, 0, 0, 0};
  table[30] = RGB32{255, 0, 0, 0};
  table[40] = RGB32{255, 0, 0, 0};   // same colour as 30: 30 wins
  table[50] = RGB32{0, 0, 255, 1};   // flagged: never chosen
  table[60] = RGB32{0, 0, 200, 0};   // 5-bit blue 25
  Asm32_Calc_Inverse(table.data(), inverse.data());
  EXPECT_EQ(inverse[0x7FFF], 10);
  EXPECT_EQ(inverse[0x0000], 20);
  EXPECT_EQ(inverse[0x7C00], 30);
  EXPECT_EQ(inverse[0x001F], 60);
  EXPECT_EQ(inverse[0x0008], 20);  // blue 8: nearer 0 than 25
  EXPECT_EQ(inverse[0x0011], 60);  // blue 17: nearer 25
}
