#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "TestSupport.h"
#include "WinTestSupport.h"
#include "platform/Palettes.h"
#include "platform/Quickdraw.h"
#include "platform/SysInfo.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

class PalettesTest : public wintest::WorldsTest {};

RGBColor Rgb16(uint8 r, uint8 g, uint8 b) {
  return RGBColor{uint16(r * 257), uint16(g * 257), uint16(b * 257)};
}

// A palette whose entry i is (i, 255 - i, i / 2).
HPALETTE Test_Palette(uint16 count = 256) {
  LOGPALETTE lp{};
  lp.palVersion = 0x300;
  lp.palNumEntries = count;
  for (int i = 0; i < count; ++i)
    lp.palPalEntry[i] = PALETTEENTRY{uint8(i), uint8(255 - i), uint8(i / 2), 0};
  return CreatePalette(&lp);
}

}  // namespace

TEST_F(PalettesTest, MainTableLayout) {
  struct Case {
    int index;
    uint8 r, g, b;
  };
  // Index 255 - j: j < 215 the cube from white down, then the red, green,
  // blue and grey ramps of the levels the cube lacks, then black.
  const Case cases[] = {
      {255, 255, 255, 255}, {254, 255, 255, 204}, {220, 255, 0, 0},  {91, 51, 102, 153},
      {41, 0, 0, 51},       {40, 238, 0, 0},      {31, 17, 0, 0},    {30, 0, 238, 0},
      {20, 0, 0, 238},      {10, 238, 238, 238},  {1, 17, 17, 17},   {0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const a_win_pixel32& e = g_video.main_colors32[c.index];
    EXPECT_EQ(e.r, c.r) << c.index;
    EXPECT_EQ(e.g, c.g) << c.index;
    EXPECT_EQ(e.b, c.b) << c.index;
    EXPECT_EQ(e.a, 0) << c.index;
  }
  std::set<uint32> distinct;
  for (const a_win_pixel32& e : g_video.main_colors32) distinct.insert(e.raw);
  EXPECT_EQ(distinct.size(), 256u);
}

TEST_F(PalettesTest, Color2IndexOnTheMainTable) {
  struct Case {
    RGBColor rgb;
    uint8 want;
  };
  const Case cases[] = {
      {Rgb16(0, 0, 0), 0},
      {Rgb16(255, 255, 255), 255},
      {Rgb16(255, 0, 0), 220},
      {Rgb16(51, 102, 153), 91},
      {Rgb16(17, 17, 17), 1},
      {Rgb16(240, 1, 2), 40},      // nearest is the ramp's 238
      {Rgb16(60, 100, 150), 91},   // nearest cube colour
      {RGBColor{0xFFFF, 0x00FF, 0x00FF}, 220},  // only the high byte counts
  };
  for (const Case& c : cases) EXPECT_EQ(Color2Index(c.rgb), c.want) << c.rgb.red;

  // Flagged entries are skipped: red then goes to the ramp's 238.
  g_video.main_colors32[220].a = 1;
  EXPECT_EQ(Color2Index(Rgb16(255, 0, 0)), 40);
  // Equal distances: the first entry wins.
  g_video.main_colors32[7] = g_video.main_colors32[91];
  EXPECT_EQ(Color2Index(Rgb16(51, 102, 153)), 7);
  // Every entry flagged: 0.
  for (a_win_pixel32& e : g_video.main_colors32) e.a = 1;
  EXPECT_EQ(Color2Index(Rgb16(255, 0, 0)), 0);
}

TEST_F(PalettesTest, ColourCodesDrawTheMainTable) {
  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 1, 3}, 32, nullptr, w), noErr);
  Push_GWorld(w);
  const int32 codes[3] = {0, 1, 300 + 91};
  for (int16 x = 0; x < 3; ++x) {
    ForeColor(codes[x]);
    PaintRect(Rect{0, x, 1, int16(x + 1)});
  }
  EXPECT_EQ(Calc_Color_Code(300 + 220), RGB(255, 0, 0));
  PmForeColor(40);
  EXPECT_EQ(theShadow->fore_colorx, 40);
  EXPECT_EQ(theShadow->fore_color.d, RGB(238, 0, 0));
  PmBackColor(1);
  EXPECT_EQ(theShadow->back_colorx, 1);
  EXPECT_EQ(theShadow->back_color.d, RGB(17, 17, 17));
  Pop_GWorld();
  // Blue, green, red, alpha in memory: white, black, (51, 102, 153).
  const uint8 want[12] = {255, 255, 255, 0, 0, 0, 0, 0, 153, 102, 51, 0};
  EXPECT_EQ(std::memcmp(w->pix.baseAddr, want, sizeof want), 0);
  Dispose_GWorld(w);
}

TEST_F(PalettesTest, GrayTables) {
  const ColorTable* g1 = CTab_Ptr(gray_ctable);
  const ColorTable* g2 = CTab_Ptr(gray_ctable2);
  ASSERT_NE(g1, nullptr);
  ASSERT_NE(g2, nullptr);
  EXPECT_EQ(Handle_GetSize(gray_ctable), 2056u);
  for (const ColorTable* t : {g1, g2}) {
    EXPECT_EQ(t->ctSeed, 1000);
    EXPECT_EQ(t->ctFlags, 0);
    EXPECT_EQ(t->ctSize, 255);
  }
  EXPECT_EQ(g1->ctTable[0].rgb.red, 0xFFFF);
  EXPECT_EQ(g1->ctTable[255].rgb.blue, 0);
  EXPECT_EQ(g1->ctTable[100].rgb.green, 155 * 257);
  EXPECT_EQ(g1->ctTable[100].value, 100);
  EXPECT_EQ(g2->ctTable[0].rgb.red, 0);
  EXPECT_EQ(g2->ctTable[255].rgb.green, 0xFFFF);
  EXPECT_EQ(g2->ctTable[100].rgb.blue, 100 * 257);
  // A second call keeps the tables.
  CTabHandle before = gray_ctable;
  InitGray();
  EXPECT_EQ(gray_ctable, before);
}

TEST_F(PalettesTest, Palette2CTabFillsAWholeTableWithSize255) {
  HPALETTE pal = Test_Palette();
  ASSERT_NE(pal, nullptr);
  CTabHandle h = New_Handle_Clear(kCTabBytes);
  Palette2CTab(pal, h);
  const ColorTable* t = CTab_Ptr(h);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->ctSeed, 1000);
  EXPECT_EQ(t->ctFlags, 0);
  EXPECT_EQ(t->ctSize, 255);  // entries minus 1: readers loop 0 .. ctSize
  for (int i = 0; i <= t->ctSize; ++i) {
    EXPECT_EQ(t->ctTable[i].value, i);
    EXPECT_EQ(t->ctTable[i].rgb.red, i * 257);
    EXPECT_EQ(t->ctTable[i].rgb.green, (255 - i) * 257);
    EXPECT_EQ(t->ctTable[i].rgb.blue, (i / 2) * 257);
  }
  Dispose_Handle(h);

  // A handle too small for a table is grown before it is written.
  CTabHandle small = New_Handle(16);
  Palette2CTab(pal, small);
  EXPECT_EQ(Handle_GetSize(small), 2056u);
  ASSERT_NE(CTab_Ptr(small), nullptr);
  EXPECT_EQ(CTab_Ptr(small)->ctTable[255].rgb.red, 255 * 257);
  Dispose_Handle(small);

  // A palette of 16 entries: the rest of the table is black.
  HPALETTE short_pal = Test_Palette(16);
  CTabHandle t16 = New_Handle_Clear(kCTabBytes);
  Palette2CTab(short_pal, t16);
  EXPECT_EQ(CTab_Ptr(t16)->ctTable[15].rgb.red, 15 * 257);
  EXPECT_EQ(CTab_Ptr(t16)->ctTable[16].rgb.green, 0);
  EXPECT_EQ(CTab_Ptr(t16)->ctSize, 255);
  Dispose_Handle(t16);
  DeleteObject(short_pal);

  DisposePalette(pal);
  EXPECT_EQ(pal, nullptr);
  DisposePalette(pal);  // NIL: nothing
}

TEST_F(PalettesTest, PaletteFromTripletsReversesTheEnds) {
  std::vector<uint8> ramp(768);
  for (int i = 0; i < 256; ++i) ramp[i * 3] = ramp[i * 3 + 1] = ramp[i * 3 + 2] = uint8(i);
  HPALETTE pal = Palette_From_Triplets(ramp);
  ASSERT_NE(pal, nullptr);
  PALETTEENTRY pe[256];
  ASSERT_EQ(GetPaletteEntries(pal, 0, 256, pe), 256u);
  EXPECT_EQ(pe[0].peRed, 255);  // triplet 255
  EXPECT_EQ(pe[255].peRed, 0);  // triplet 0
  EXPECT_EQ(pe[128].peGreen, 128);
  EXPECT_EQ(pe[9].peFlags, 0);
  EXPECT_EQ(pe[10].peFlags, PC_NOCOLLAPSE);
  EXPECT_EQ(pe[245].peFlags, PC_NOCOLLAPSE);
  EXPECT_EQ(pe[246].peFlags, 0);
  EXPECT_EQ(pe[0].peFlags, 0);
  DisposePalette(pal);

  EXPECT_EQ(Palette_From_Triplets(std::span<const uint8>(ramp.data(), 767)), nullptr);
}

TEST_F(PalettesTest, NewCopyAndResourcePalettes) {
  HPALETTE sys = NewPalette(256, nullptr, PC_EXPLICIT, 0);
  ASSERT_NE(sys, nullptr);
  PALETTEENTRY pe[256];
  ASSERT_EQ(GetPaletteEntries(sys, 0, 256, pe), 256u);
  EXPECT_EQ(pe[200].peRed, 200);
  EXPECT_EQ(pe[200].peGreen, 0);
  EXPECT_EQ(pe[200].peBlue, 0);
  EXPECT_EQ(pe[200].peFlags, PC_EXPLICIT);

  HPALETTE src = Test_Palette();
  CopyPalette(src, sys, 10, 0, 5);
  GetPaletteEntries(sys, 0, 6, pe);
  EXPECT_EQ(pe[0].peRed, 10);
  EXPECT_EQ(pe[4].peGreen, 255 - 14);
  EXPECT_EQ(pe[5].peRed, 5);  // beyond the copied entries: as it was
  // Ranges running past either end are cut, never read or written past it.
  CopyPalette(src, sys, 250, 0, 100);
  GetPaletteEntries(sys, 0, 7, pe);
  EXPECT_EQ(pe[5].peRed, 255);
  EXPECT_EQ(pe[6].peRed, 6);
  CopyPalette(src, sys, 0, 250, 100);
  GetPaletteEntries(sys, 255, 1, pe);
  EXPECT_EQ(pe[0].peRed, 5);
  DisposePalette(src);
  DisposePalette(sys);

  // The program has no "pltt" resources: a missing one gives NIL.
  EXPECT_EQ(GetNewPalette(128), nullptr);
  EXPECT_EQ(Get_Main_CTable(), nullptr);
  EXPECT_THROW(GetPalette(), QuitCalled);
  EXPECT_THROW(CTab2Palette(), QuitCalled);
  EXPECT_THROW(Get_Inverse_Table(), QuitCalled);
}

TEST_F(PalettesTest, CompletelyVisible) {
  const Rect saved = info_videoavail;
  info_videoavail = Rect{0, 0, 1000, 1200};
  EXPECT_TRUE(Is_Completely_Visible(info_videoavail));
  EXPECT_TRUE(Is_Completely_Visible(Rect{10, 10, 20, 20}));
  EXPECT_FALSE(Is_Completely_Visible(Rect{10, 10, 10, 20}));  // empty
  EXPECT_FALSE(Is_Completely_Visible(Rect{0, 0, 1001, 1200}));
  EXPECT_FALSE(Is_Completely_Visible(Rect{-1, 0, 10, 10}));
  info_videoavail = saved;
}
