#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "PixTestUtil.h"
#include "TestSupport.h"
#include "pixel/Asm32.h"
#include "pixel/SysPix.h"

namespace {

// A pixel map that is disposed of when the test ends.
using OwnedPix = OwnedPixMap;

a_win_pixel32 Px(uint8 b, uint8 g, uint8 r, uint8 a) {
  a_win_pixel32 p;
  p.b = b;
  p.g = g;
  p.r = r;
  p.a = a;
  return p;
}

bool All_Bytes(const PixMap& pm, uint8 v) {
  const uint8* p = reinterpret_cast<const uint8*>(pm.baseAddr);
  for (uint32 i = 0; i < PixMap_Len(pm); ++i)
    if (p[i] != v) return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Record layout and creation
// ---------------------------------------------------------------------------

TEST(SysPixNew, RowBytesAndLengthPerWidthAndDepth) {
  struct Case {
    int16 width, height, depth;
    uint32 stride, len;
  };
  const Case cases[] = {
      {1, 1, 1, 4, 4},        {1, 1, 8, 4, 4},          {1, 1, 16, 4, 4},         {1, 1, 32, 4, 4},
      {33, 2, 1, 8, 16},      {32, 1, 1, 4, 4},         {3, 1, 24, 12, 12},       {10, 5, 16, 20, 100},
      {10, 5, 8, 12, 60},     {10, 5, 32, 40, 200},     {4095, 2, 32, 16380, 32760},
      {4096, 2, 32, 16384, 32768},  // first stride beyond the 14-bit field
      {5000, 3, 32, 20000, 60000},  {4960, 1, 24, 14880, 14880},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.depth);
    OwnedPix p(Rect{-2, 7, int16(-2 + c.height), int16(7 + c.width)}, c.depth);
    EXPECT_EQ(PixMap_RowBytes(p.pm), c.stride);
    EXPECT_EQ(p.pm.rowBytes32, c.stride);
    // The 14-bit field holds the stride while it fits and is 0 beyond.
    EXPECT_EQ(uint16(p.pm.rowBytes), c.stride <= 0x3FFF ? c.stride : 0u);
    EXPECT_EQ(PixMap_Len(p.pm), c.len);
    EXPECT_EQ(Ptr_GetSize(p.pm.baseAddr), c.len);
    EXPECT_TRUE(All_Bytes(p.pm, 0));
  }
}

TEST(SysPixNew, HeaderFieldsByDepth) {
  struct Case {
    int16 depth, pixelType, cmpCount, cmpSize;
    uint32 planeBytes;
  };
  const Case cases[] = {
      {1, 0, 1, 1, 0},    {8, 0, 1, 8, 0},     {16, 16, 3, 5, 0x4C353535},
      {24, 16, 3, 8, 0},  {32, 16, 3, 8, 0x42475241},
  };
  Handle table = New_Handle_Clear(16);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.depth);
    OwnedPix p(Rect{0, 0, 2, 3}, c.depth, table);
    EXPECT_EQ(p.pm.bounds, (Rect{0, 0, 2, 3}));
    EXPECT_EQ(p.pm.pixelSize, c.depth);
    EXPECT_EQ(p.pm.pixelType, c.pixelType);
    EXPECT_EQ(p.pm.cmpCount, c.cmpCount);
    EXPECT_EQ(p.pm.cmpSize, c.cmpSize);
    EXPECT_EQ(p.pm.planeBytes, c.planeBytes);
    EXPECT_EQ(p.pm.pmTable, table);
    EXPECT_EQ(p.pm.hRes, 0x00480000u);
    EXPECT_EQ(p.pm.vRes, 0x00480000u);
    EXPECT_EQ(p.pm.pmVersion, 0);
    EXPECT_EQ(p.pm.packType, 0);
    EXPECT_EQ(p.pm.packSize, 0);
    EXPECT_EQ(p.pm.pmReserved, 0u);

    PixMap e;
    std::memset(&e, 0xAB, sizeof e);
    New_Empty_PixMap(e, c.depth, table);
    EXPECT_TRUE(Is_Null_PixMap(e));
    EXPECT_EQ(e.bounds, (Rect{0, 0, 0, 0}));
    EXPECT_EQ(PixMap_RowBytes(e), 0u);
    EXPECT_EQ(e.planeBytes, c.planeBytes);
    EXPECT_EQ(e.cmpSize, c.cmpSize);
    EXPECT_EQ(e.pmTable, table);
  }
  Dispose_Handle(table);
}

TEST(SysPixNew, TooLargeOrUnservedDepthIsReported) {
  PixMap p;
  try {
    New_PixMap(p, Rect{-32768, -32768, 32767, 32767}, 32, nullptr);
    FAIL() << "no out-of-memory report";
  } catch (const MemErrCalled& e) {
    EXPECT_EQ(e.needed, 0xFFFFFFFFu);
  }
  EXPECT_TRUE(Is_Null_PixMap(p));
  EXPECT_EQ(PixMap_Len(p), 0u);

  EXPECT_THROW(New_PixMap(p, Rect{0, 0, 4, 4}, 7, nullptr), QuitCalled);
  EXPECT_TRUE(Is_Null_PixMap(p));
}

TEST(SysPixNew, InvertedBoundsAllocateNothingToOverrun) {
  OwnedPix p(Rect{10, 10, 5, 5}, 8);
  EXPECT_EQ(PixMap_Len(p.pm), 0u);
  PixMap8_Fill(p.pm, 0x55);  // must not write anywhere
}

TEST(SysPixLife, DisposeNullAndResize) {
  PixMap p;
  New_PixMap(p, Rect{0, 0, 4, 4}, 8, nullptr);
  Dispose_PixMap(p);
  EXPECT_TRUE(Is_Null_PixMap(p));
  Dispose_PixMap(p);  // a second dispose frees nothing (ASan would see a double free)

  New_PixMap(p, Rect{0, 0, 4, 4}, 8, nullptr);
  PixMap other = p;  // shares the block
  Null_PixMap(p);
  Dispose_PixMap(p);
  ASSERT_NE(other.baseAddr, nullptr);
  other.baseAddr[15] = 1;  // still owned by `other`
  Dispose_PixMap(other);

  Handle table = New_Handle(4);
  New_PixMap(p, Rect{0, 0, 4, 4}, 16, table);
  PixMap16_Fill(p, 0x1234);
  PixMap_Resize(p, Rect{1, 2, 3, 5});
  EXPECT_EQ(p.bounds, (Rect{1, 2, 3, 5}));
  EXPECT_EQ(PixMap_RowBytes(p), 8u);
  EXPECT_TRUE(All_Bytes(p, 0));
  PixMap_Resize(p, Rect{0, 0, 0, 10});
  EXPECT_TRUE(Is_Null_PixMap(p));
  EXPECT_EQ(p.pixelSize, 16);
  EXPECT_EQ(p.pmTable, table);
  Dispose_Handle(table);
}

TEST(SysPixLife, BitMapConversionsKeepFlagsOutOfTheStride) {
  uint8 bits[5 * 12] = {};
  BitMap bm{reinterpret_cast<Ptr>(bits), 12, Rect{0, 0, 5, 90}};
  PixMap pm;
  BitMap_As_PixMap(bm, pm);
  EXPECT_EQ(uint16(pm.rowBytes), 0x8000 | 12);
  EXPECT_EQ(PixMap_RowBytes(pm), 12u);
  EXPECT_EQ(PixMap_Len(pm), 60u);
  EXPECT_EQ(pm.pixelSize, 1);
  EXPECT_EQ(pm.cmpSize, 1);
  EXPECT_EQ(pm.pmTable, nullptr);
  EXPECT_EQ(pm.planeBytes, 0u);

  // The 1-bit accessors use the stride without the flag.
  Asm32_BitB_Init(&pm);
  Asm32_BitB_PutDot(89, 4, 1);
  EXPECT_EQ(bits[4 * 12 + 11], 0x40);

  BitMap back;
  PixMap_As_BitMap(pm, back);
  EXPECT_EQ(back.rowBytes, 12);
  EXPECT_EQ(back.baseAddr, bm.baseAddr);

  // A record filled in by hand, without the 32-bit stride, still reads right.
  PixMap hand = pm;
  hand.rowBytes32 = 0;
  hand.rowBytes = int16(uint16(0xC000 | 12));
  EXPECT_EQ(PixMap_RowBytes(hand), 12u);
  EXPECT_EQ(PixMap_Len(hand), 60u);
}

// ---------------------------------------------------------------------------
// Whole-map contents
// ---------------------------------------------------------------------------

TEST(SysPixFill, FillsCoverEveryByteInPixelOrder) {
  OwnedPix m8(Rect{0, 0, 3, 5}, 8);
  PixMap8_Fill(m8.pm, 0x5A);
  EXPECT_TRUE(All_Bytes(m8.pm, 0x5A));
  PixMap_Ones(m8.pm);
  EXPECT_TRUE(All_Bytes(m8.pm, 255));
  PixMap_Zero(m8.pm);
  EXPECT_TRUE(All_Bytes(m8.pm, 0));

  OwnedPix m16(Rect{0, 0, 2, 3}, 16);
  PixMap16_Fill(m16.pm, 0x7C1F);
  for (uint32 i = 0; i < PixMap_Len(m16.pm); i += 2) {
    EXPECT_EQ(m16.bytes()[i], 0x1F);
    EXPECT_EQ(m16.bytes()[i + 1], 0x7C);
  }

  OwnedPix m32(Rect{0, 0, 2, 3}, 32);
  PixMap32_Fill(m32.pm, Px(1, 2, 3, 4));
  for (uint32 i = 0; i < PixMap_Len(m32.pm); i += 4) {
    const uint8 want[4] = {1, 2, 3, 4};
    EXPECT_EQ(std::memcmp(m32.bytes() + i, want, 4), 0) << i;
  }
}

TEST(SysPixFill, TwentyFourBitFillKeepsRowPadding) {
  OwnedPix m(Rect{0, 0, 3, 3}, 24);  // 9 bytes of pixels, 3 of padding per row
  PixMap32_Fill(m.pm, Px(10, 20, 30, 40));
  for (int v = 0; v < 3; ++v) {
    const uint8* row = m.bytes() + v * 12;
    for (int h = 0; h < 3; ++h) {
      EXPECT_EQ(row[3 * h], 10);
      EXPECT_EQ(row[3 * h + 1], 20);
      EXPECT_EQ(row[3 * h + 2], 30);
    }
    EXPECT_EQ(row[9] | row[10] | row[11], 0);
  }
  // Read back through the accessor that every other 24-bit reader uses.
  a_pixel32 got = Px(9, 9, 9, 9);
  Asm32_Pix32A_Init(&m.pm);
  Asm32_Pix32A_GetDot(2, 2, &got);
  EXPECT_EQ(got.raw, Px(10, 20, 30, 0).raw);

  PixMap empty;
  New_Empty_PixMap(empty, 24, nullptr);
  PixMap32_Fill(empty, Px(1, 1, 1, 1));  // left alone

  OwnedPix m8(Rect{0, 0, 1, 1}, 8);
  EXPECT_THROW(PixMap32_Fill(m8.pm, Px(1, 1, 1, 1)), QuitCalled);
}

TEST(SysPixFill, EightToEightMapsEveryByte) {
  OwnedPix m(Rect{0, 0, 2, 2}, 8);
  for (uint32 i = 0; i < PixMap_Len(m.pm); ++i) m.bytes()[i] = uint8(i * 7);
  a_8_to_8_mapping inv;
  for (int i = 0; i < 256; ++i) inv[i] = uint8(255 - i);
  PixMap8_To_8(&m.pm, inv);
  for (uint32 i = 0; i < PixMap_Len(m.pm); ++i) EXPECT_EQ(m.bytes()[i], uint8(255 - uint8(i * 7)));
}

TEST(SysPixFill, CopyMakesAnIndependentBlock) {
  Handle table = New_Handle(4);
  OwnedPix src(Rect{3, -4, 7, 6}, 16, table);
  for (uint32 i = 0; i < PixMap_Len(src.pm); ++i) src.bytes()[i] = uint8(i);
  OwnedPix dst;
  PixMap_Copy(src.pm, dst.pm);
  EXPECT_EQ(dst.pm.bounds, src.pm.bounds);
  EXPECT_EQ(dst.pm.pixelSize, 16);
  EXPECT_EQ(dst.pm.pmTable, table);
  EXPECT_NE(dst.pm.baseAddr, src.pm.baseAddr);
  EXPECT_EQ(std::memcmp(dst.bytes(), src.bytes(), PixMap_Len(src.pm)), 0);

  // A record filled in by hand with a wider stride copies row by row into the
  // tighter block without overrunning it.
  std::vector<uint8> wide(4 * 64, 0xEE);
  PixMap hand = src.pm;
  hand.baseAddr = reinterpret_cast<Ptr>(wide.data());
  hand.rowBytes32 = 0;
  hand.rowBytes = 64;
  OwnedPix tight;
  PixMap_Copy(hand, tight.pm);
  EXPECT_EQ(PixMap_RowBytes(tight.pm), 20u);
  EXPECT_TRUE(All_Bytes(tight.pm, 0xEE));

  PixMap nul;
  New_Empty_PixMap(nul, 8, nullptr);
  OwnedPix out;
  PixMap_Copy(nul, out.pm);
  EXPECT_TRUE(Is_Null_PixMap(out.pm));
  Dispose_Handle(table);
}

// A 32-bit map 5000 pixels wide has a stride of 20000 bytes, beyond the
// 14-bit row-bytes field: fills, accessors and copies must all use the full
// stride.
TEST(SysPixWide, FiveThousandPixelMapUsesTheFullStride) {
  const int16 W = 5000, H = 40;
  OwnedPix m(Rect{-10, 100, int16(-10 + H), int16(100 + W)}, 32);
  ASSERT_EQ(PixMap_RowBytes(m.pm), 20000u);
  ASSERT_EQ(PixMap_Len(m.pm), 20000u * H);

  PixMap32_Fill(m.pm, Px(1, 2, 3, 255));
  EXPECT_EQ(std::memcmp(m.bytes() + PixMap_Len(m.pm) - 4, "\x01\x02\x03\xFF", 4), 0);

  GenericPixB_Init(&m.pm);
  GenericPixB_PutDot32(100 + W - 1, -10 + H - 1, Px(7, 8, 9, 10));
  GenericPixB_PutDot32(100, -10 + H - 1, Px(11, 12, 13, 14));
  GenericPixB_Stop();
  const uint8* last = m.bytes() + 20000u * (H - 1) + 4u * (W - 1);
  EXPECT_EQ(std::memcmp(last, "\x07\x08\x09\x0A", 4), 0);
  EXPECT_EQ(std::memcmp(m.bytes() + 20000u * (H - 1), "\x0B\x0C\x0D\x0E", 4), 0);

  OwnedPix c;
  PixMap_Copy(m.pm, c.pm);
  ASSERT_EQ(PixMap_RowBytes(c.pm), 20000u);
  EXPECT_EQ(std::memcmp(c.bytes(), m.bytes(), PixMap_Len(m.pm)), 0);
  a_win_pixel32 got = Px(0, 0, 0, 0);
  GenericPixA_Init(&c.pm);
  GenericPixA_GetDot32(100 + W - 1, -10 + H - 1, got);
  EXPECT_EQ(got.raw, Px(7, 8, 9, 10).raw);
  GenericPixA_GetDot32(100 + W - 2, -10 + H - 1, got);
  EXPECT_EQ(got.raw, Px(1, 2, 3, 255).raw);
  GenericPixA_Stop();

  // The 8-bit accessors of this module too: a 20000-wide 8-bit map.
  OwnedPix g(Rect{0, 0, 3, 20000}, 8);
  ASSERT_EQ(PixMap_RowBytes(g.pm), 20000u);
  PixA_Init(&g.pm);
  PixA_PutDot(19999, 2, 0x77);
  EXPECT_EQ(g.bytes()[2 * 20000 + 19999], 0x77);
  EXPECT_EQ(PixA_GetDot(19999, 2), 0x77);
  PixA_Stop();
}

// ---------------------------------------------------------------------------
// Accessors
// ---------------------------------------------------------------------------

TEST(SysPixAccess, EightBitDotsAndScaling) {
  OwnedPix a(Rect{-3, 5, 2, 12}, 8);
  OwnedPix b(Rect{0, 0, 2, 2}, 8);
  PixA_Init(&a.pm);
  PixB_Init(&b.pm);
  PixA_PutDot(11, 1, 200);
  PixB_PutDot(1, 1, 9);
  EXPECT_EQ(a.bytes()[4 * 8 + 6], 200);  // row 1 - (-3), column 11 - 5
  EXPECT_EQ(b.bytes()[4 + 1], 9);
  EXPECT_EQ(PixA_GetDot(11, 1), 200);
  EXPECT_EQ(PixB_GetDot(1, 1), 9);

  struct Case {
    uint8 p, val, want;
  };
  const Case cases[] = {{255, 128, 128}, {255, 255, 255}, {200, 0, 0},
                        {100, 128, 50},  {1, 254, 0},     {254, 254, 253}};
  for (const Case& c : cases) {
    PixA_PutDot(5, -3, c.p);
    PixA_ScaleDot(5, -3, c.val);
    EXPECT_EQ(PixA_GetDot(5, -3), c.want) << int(c.p) << " x " << int(c.val);
    PixB_PutDot(0, 0, c.p);
    PixB_ScaleDot(0, 0, c.val);
    EXPECT_EQ(PixB_GetDot(0, 0), c.want);
  }
  PixA_Stop();
  PixB_Stop();
}

TEST(SysPixAccess, GenericReadWidensEveryDepth) {
  // 16 bits: each 5-bit component c becomes c * 8 + c div 4; alpha is kept.
  struct Case16 {
    uint16 p;
    uint8 r, g, b;
  };
  const Case16 cases[] = {
      {0x7FFF, 255, 255, 255}, {0x0000, 0, 0, 0},     {0x4210, 132, 132, 132},
      {0x7C00, 255, 0, 0},     {0x03E0, 0, 255, 0},   {0x001F, 0, 0, 255},
      {0x0C64, 24, 24, 33},  // r5 = 3, g5 = 3, b5 = 4
      {0x8001, 0, 0, 8},     // bit 15 is ignored
  };
  OwnedPix m16(Rect{0, 0, 1, 1}, 16);
  for (const Case16& c : cases) {
    m16.bytes()[0] = uint8(c.p);
    m16.bytes()[1] = uint8(c.p >> 8);
    GenericPixA_Init(&m16.pm);
    a_win_pixel32 px = Px(1, 2, 3, 77);
    GenericPixA_GetDot32(0, 0, px);
    EXPECT_EQ(px.raw, Px(c.b, c.g, c.r, 77).raw) << std::hex << c.p;
  }

  OwnedPix m1(Rect{0, 0, 1, 9}, 1);
  m1.bytes()[1] = 0x80;  // column 8 set
  GenericPixA_Init(&m1.pm);
  a_win_pixel32 px = Px(1, 2, 3, 4);
  GenericPixA_GetDot32(8, 0, px);
  EXPECT_EQ(px.raw, Px(1, 2, 255, 4).raw);
  GenericPixA_GetDot32(7, 0, px);
  EXPECT_EQ(px.raw, Px(1, 2, 0, 4).raw);

  OwnedPix m8(Rect{0, 0, 1, 1}, 8);
  m8.bytes()[0] = 0x42;
  GenericPixA_Init(&m8.pm);
  GenericPixA_GetDot32(0, 0, px);
  EXPECT_EQ(px.raw, Px(1, 2, 0x42, 4).raw);

  OwnedPix m24(Rect{0, 0, 1, 1}, 24);
  std::memcpy(m24.bytes(), "\x05\x06\x07", 3);
  GenericPixA_Init(&m24.pm);
  GenericPixA_GetDot32(0, 0, px);
  EXPECT_EQ(px.raw, Px(5, 6, 7, 0).raw);
  GenericPixA_Stop();
}

TEST(SysPixAccess, GenericWriteNarrowsEveryDepth) {
  OwnedPix m1(Rect{0, 0, 1, 8}, 1);
  GenericPixB_Init(&m1.pm);
  GenericPixB_PutDot32(2, 0, Px(0, 0, 128, 0));
  EXPECT_EQ(m1.bytes()[0], 0x20);
  GenericPixB_PutDot32(2, 0, Px(255, 255, 127, 255));
  EXPECT_EQ(m1.bytes()[0], 0x00);

  OwnedPix m8(Rect{0, 0, 1, 1}, 8);
  GenericPixB_Init(&m8.pm);
  GenericPixB_PutDot32(0, 0, Px(1, 2, 0x99, 4));
  EXPECT_EQ(m8.bytes()[0], 0x99);

  OwnedPix m16(Rect{0, 0, 1, 1}, 16);
  GenericPixB_Init(&m16.pm);
  GenericPixB_PutDot32(0, 0, Px(7, 8, 255, 255));  // (31 << 10) | (1 << 5) | 0
  EXPECT_EQ(m16.bytes()[0] | (m16.bytes()[1] << 8), 31 * 1024 + 32);

  OwnedPix m32(Rect{0, 0, 1, 1}, 32);
  GenericPixB_Init(&m32.pm);
  GenericPixB_PutDot32(0, 0, Px(1, 2, 3, 4));
  EXPECT_EQ(std::memcmp(m32.bytes(), "\x01\x02\x03\x04", 4), 0);
  GenericPixB_Stop();
}

TEST(SysPixTables, WhiteTransparentLeavesOutIndex255) {
  for (int i = 0; i < 255; ++i) ASSERT_EQ(White_transparent1[i], 1) << i;
  EXPECT_EQ(White_transparent1[255], 0);
}

// ---------------------------------------------------------------------------
// Frames
// ---------------------------------------------------------------------------

TEST(SysPixFrame, BandsInsideTheBoxClippedToTheMap) {
  struct Case {
    Rect box;
    int16 thickness;
  };
  const Case cases[] = {
      {{1, 1, 9, 9}, 2},      // ordinary frame
      {{0, 0, 10, 10}, 1},    // along the map's edge
      {{2, 2, 6, 7}, 3},      // bands meet: a solid block
      {{-3, -3, 5, 14}, 2},   // partly outside the map
      {{1, 1, 9, 9}, 0},      // nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.box.top << "," << c.box.left << "," << c.box.bottom << ","
                                    << c.box.right << " t" << c.thickness);
    OwnedPix m8(Rect{0, 0, 10, 10}, 8);
    OwnedPix m32(Rect{0, 0, 10, 10}, 32);
    PixMap_Frame(Px(1, 2, 3, 0xC8), c.box, c.thickness, &m8.pm);
    PixMap_Frame(Px(1, 2, 3, 0xC8), c.box, c.thickness, &m32.pm);
    for (int v = 0; v < 10; ++v)
      for (int h = 0; h < 10; ++h) {
        const bool inBox = v >= c.box.top && v < c.box.bottom && h >= c.box.left && h < c.box.right;
        const bool inInner = v >= c.box.top + c.thickness && v < c.box.bottom - c.thickness &&
                             h >= c.box.left + c.thickness && h < c.box.right - c.thickness;
        const bool band = inBox && !inInner;
        EXPECT_EQ(m8.bytes()[v * 12 + h], band ? 0xC8 : 0) << h << "," << v;
        EXPECT_EQ(std::memcmp(m32.bytes() + v * 40 + h * 4, band ? "\x01\x02\x03\xC8" : "\0\0\0\0", 4), 0)
            << h << "," << v;
      }
  }
  OwnedPix m16(Rect{0, 0, 4, 4}, 16);
  EXPECT_THROW(PixMap_Frame(Px(0, 0, 0, 0), Rect{0, 0, 4, 4}, 1, &m16.pm), QuitCalled);
}

TEST(SysPixFrame, ColumnFillsGoUpward) {
  OwnedPix m(Rect{0, 0, 5, 2}, 8);
  PixA_Init(&m.pm);
  Pix8_FillCol(1, 3, 3, 9);
  Pix8_FillRow(0, 4, 2, 4);
  const uint8 want[5][2] = {{0, 0}, {0, 9}, {0, 9}, {0, 9}, {4, 4}};
  for (int v = 0; v < 5; ++v)
    for (int h = 0; h < 2; ++h) EXPECT_EQ(m.bytes()[v * 4 + h], want[v][h]) << h << "," << v;
}
