// The short-named 16- and 32-bit accessors share their bindings with the
// Asm32_ ones, and GWorld_Zero clears a world's whole pixel block.
#include <gtest/gtest.h>

#include <cstring>

#include "PixTestUtil.h"
#include "TestSupport.h"
#include "pixel/Asm32.h"
#include "pixel/SysPix.h"
#include "platform/SysWin.h"

namespace {

TEST(PixAliases, SixteenBitDotsGoThroughTheSharedBinding) {
  OwnedPixMap pix(Rect{10, 20, 14, 25}, 16);
  Pix16A_Init(&pix.pm);
  Pix16A_PutDot(24, 13, 0x7C1F);
  Pix16A_PutDot(20, 10, 0x03E0);
  // Read back through both names: one binding, map coordinates (not 0-based).
  EXPECT_EQ(Pix16A_GetDot(24, 13), 0x7C1F);
  EXPECT_EQ(Asm32_Pix16A_GetDot(20, 10), 0x03E0);
  const uint8* row3 = pix.bytes() + 3 * PixMap_RowBytes(pix.pm);
  EXPECT_EQ(row3[8], 0x1F);  // little-endian
  EXPECT_EQ(row3[9], 0x7C);
  Pix16A_Stop();
}

TEST(PixAliases, ThirtyTwoBitPutDotStoresAllFourBytes) {
  OwnedPixMap pix(Rect{-2, -3, 2, 3}, 32);
  PixMap_Zero(pix.pm);
  Pix32A_Init(&pix.pm);
  a_pixel32 c;
  c.b = 1;
  c.g = 2;
  c.r = 3;
  c.a = 4;
  Pix32A_PutDot(2, 1, &c);
  a_pixel32 back{};
  Asm32_Pix32A_GetDot(2, 1, &back);
  EXPECT_EQ(back.raw, c.raw);
  const uint8* p = pix.bytes() + 3 * PixMap_RowBytes(pix.pm) + 5 * 4;
  EXPECT_EQ(0, std::memcmp(p, "\x01\x02\x03\x04", 4));
  Pix32A_Stop();
}

TEST(PixAliases, GWorldZeroClearsEveryByteAndToleratesNone) {
  SysWin_Init();
  GWorldPtr w = nullptr;
  New_GWorldF("test", Rect{0, 0, 3, 5}, 32, nullptr, w);
  ASSERT_NE(w, nullptr);
  PixMap32_Fill(w->pix, a_win_pixel32{{9, 9, 9, 9}});
  GWorld_Zero(w);
  const uint8* p = reinterpret_cast<const uint8*>(w->pix.baseAddr);
  for (uint32 i = 0; i < PixMap_Len(w->pix); ++i) ASSERT_EQ(p[i], 0) << i;
  Dispose_GWorld(w);
  GWorld_Zero(nullptr);
}

}  // namespace
