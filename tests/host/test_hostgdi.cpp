// Software GDI: edge conventions, raster operations, colour mapping, brushes,
// clipping, blits and DIB transfers. Expected pixels are worked out from
// GDI's documented conventions, not recorded from the implementation.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "TestSupport.h"
#include "host/HostGdi.h"

namespace {

// A memory DC with its own surface, freed at the end of the test.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bm = nullptr;
  HostSurface* px = nullptr;  // bm's pixels
  HGDIOBJ old = nullptr;
  Canvas(int32 w, int32 h, int32 depth, const RGBQUAD* colors = nullptr, int32 n = 0) {
    bm = Host_NewSurface(w, h, depth, colors, n);
    px = Host_Surface(bm);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bm);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
  }
  uint32 Raw(int32 x, int32 y) const {
    const uint8* row = px->bits + int64(y) * px->stride;
    switch (px->depth) {
      case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
      case 8: return row[x];
      case 16: return uint32(row[2 * x]) | (uint32(row[2 * x + 1]) << 8);
      case 24: return uint32(row[3 * x]) | (uint32(row[3 * x + 1]) << 8) | (uint32(row[3 * x + 2]) << 16);
      default: {
        uint32 v;
        std::memcpy(&v, row + 4 * x, 4);
        return v;
      }
    }
  }
  void Put(int32 x, int32 y, uint32 v) {
    uint8* row = px->bits + int64(y) * px->stride;
    switch (px->depth) {
      case 1:
        if (v & 1) row[x >> 3] |= uint8(0x80 >> (x & 7));
        else row[x >> 3] &= uint8(~(0x80 >> (x & 7)));
        break;
      case 8: row[x] = uint8(v); break;
      case 16: row[2 * x] = uint8(v), row[2 * x + 1] = uint8(v >> 8); break;
      case 24: row[3 * x] = uint8(v), row[3 * x + 1] = uint8(v >> 8), row[3 * x + 2] = uint8(v >> 16); break;
      default: std::memcpy(row + 4 * x, &v, 4); break;
    }
  }
  void Fill(uint32 v) {
    for (int32 y = 0; y < px->height; ++y)
      for (int32 x = 0; x < px->width; ++x) Put(x, y, v);
  }
  // The pixels as a picture: '#' where the raw value equals `on`, '.' elsewhere.
  std::string Picture(uint32 on) const {
    std::string s;
    for (int32 y = 0; y < px->height; ++y) {
      for (int32 x = 0; x < px->width; ++x) s += Raw(x, y) == on ? '#' : '.';
      s += '\n';
    }
    return s;
  }
};

constexpr uint32 kWhite32 = 0x00FFFFFF;

// Selects a pen and brush for the scope and puts the previous ones back.
struct Tools {
  HDC dc;
  HGDIOBJ old_pen, old_brush;
  HPEN pen;
  HBRUSH brush;
  Tools(HDC d, HPEN p, HBRUSH b) : dc(d), pen(p), brush(b) {
    old_pen = SelectObject(dc, p ? static_cast<HGDIOBJ>(p) : GetStockObject(NULL_PEN));
    old_brush = SelectObject(dc, b ? static_cast<HGDIOBJ>(b) : GetStockObject(NULL_BRUSH));
  }
  ~Tools() {
    SelectObject(dc, old_pen);
    SelectObject(dc, old_brush);
    DeleteObject(pen);
    DeleteObject(brush);
  }
};

std::string Rows(std::initializer_list<const char*> rows) {
  std::string s;
  for (const char* r : rows) (s += r) += '\n';
  return s;
}

}  // namespace

// --- Edge conventions ------------------------------------------------------------

TEST(HostGdiShapes, InsideFramePenOfFiveFillsTenByTenFrame) {
  Canvas c(12, 12, 32);
  Tools t(c.dc, CreatePen(PS_INSIDEFRAME, 5, RGB(255, 255, 255)), nullptr);
  ASSERT_TRUE(Rectangle(c.dc, 1, 1, 11, 11));
  for (int32 y = 0; y < 12; ++y)
    for (int32 x = 0; x < 12; ++x) {
      const bool inside = x >= 1 && x < 11 && y >= 1 && y < 11;
      EXPECT_EQ(c.Raw(x, y), inside ? kWhite32 : 0u) << x << "," << y;
    }
}

TEST(HostGdiShapes, InsideFramePenStaysInsideAndNullBrushLeavesHole) {
  Canvas c(8, 8, 32);
  Tools t(c.dc, CreatePen(PS_INSIDEFRAME, 2, RGB(255, 255, 255)), nullptr);
  Rectangle(c.dc, 1, 1, 7, 7);
  EXPECT_EQ(c.Picture(kWhite32), Rows({"........", ".######.", ".######.", ".##..##.", ".##..##.", ".######.",
                                        ".######.", "........"}));
}

TEST(HostGdiShapes, RectangleWithPenCoversWholeRectNullPenOnePixelLess) {
  Canvas c(6, 6, 32);
  {
    Tools t(c.dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), CreateSolidBrush(RGB(0, 0, 255)));
    Rectangle(c.dc, 0, 0, 5, 4);
  }
  EXPECT_EQ(c.Picture(kWhite32), Rows({"#####.", "#...#.", "#...#.", "#####.", "......", "......"}));
  EXPECT_EQ(c.Raw(1, 1), 0x000000FFu);  // brush inside the outline
  c.Fill(0);
  {
    Tools t(c.dc, nullptr, CreateSolidBrush(RGB(255, 255, 255)));
    Rectangle(c.dc, 0, 0, 5, 4);
  }
  EXPECT_EQ(c.Picture(kWhite32), Rows({"####..", "####..", "####..", "......", "......", "......"}));
}

TEST(HostGdiShapes, FillRectExcludesRightAndBottomAndIgnoresInvertedRects) {
  Canvas c(8, 8, 32);
  HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
  RECT r{2, 3, 5, 6};
  FillRect(c.dc, &r, b);
  RECT inverted{7, 7, 1, 1};
  FillRect(c.dc, &inverted, b);
  DeleteObject(b);
  EXPECT_EQ(c.Picture(kWhite32), Rows({"........", "........", "........", "..###...", "..###...", "..###...",
                                        "........", "........"}));
}

TEST(HostGdiShapes, FrameRectAndInvertRect) {
  Canvas c(6, 5, 8);
  HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));  // grey ramp: index 255
  RECT r{1, 1, 5, 5};
  FrameRect(c.dc, &r, b);
  DeleteObject(b);
  EXPECT_EQ(c.Picture(255), Rows({"......", ".####.", ".#..#.", ".#..#.", ".####."}));
  RECT all{0, 0, 6, 5};
  InvertRect(c.dc, &all);
  EXPECT_EQ(c.Raw(0, 0), 255u);
  EXPECT_EQ(c.Raw(1, 1), 0u);
}

TEST(HostGdiLines, ZeroLengthLineDrawsNothingAndEndPointIsLeftOut) {
  Canvas c(8, 4, 32);
  Tools t(c.dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), nullptr);
  MoveToEx(c.dc, 3, 1, nullptr);
  LineTo(c.dc, 3, 1);
  EXPECT_EQ(c.Picture(kWhite32), Rows({"........", "........", "........", "........"}));
  LineTo(c.dc, 6, 1);
  POINT cp;
  GetCurrentPositionEx(c.dc, &cp);
  EXPECT_EQ(cp, (POINT{6, 1}));
  MoveToEx(c.dc, 0, 3, nullptr);
  LineTo(c.dc, 0, 0);  // upwards: rows 3, 2, 1
  EXPECT_EQ(c.Picture(kWhite32), Rows({"........", "#..###..", "#.......", "#......."}));
}

TEST(HostGdiLines, ShallowLineSteps) {
  Canvas c(7, 3, 32);
  Tools t(c.dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), nullptr);
  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 6, 2);  // y = x / 3 rounded: 0 0 1 1 1 2
  EXPECT_EQ(c.Picture(kWhite32), Rows({"##.....", "..###..", ".....#."}));
}

TEST(HostGdiLines, DottedPenGapsFollowBackgroundMode) {
  Canvas c(8, 2, 32);
  Tools t(c.dc, CreatePen(PS_DOT, 1, RGB(255, 255, 255)), nullptr);
  SetBkColor(c.dc, RGB(0, 0, 255));
  SetBkMode(c.dc, TRANSPARENT);
  MoveToEx(c.dc, 0, 0, nullptr);
  LineTo(c.dc, 8, 0);
  SetBkMode(c.dc, OPAQUE);
  MoveToEx(c.dc, 0, 1, nullptr);
  LineTo(c.dc, 8, 1);
  EXPECT_EQ(c.Picture(kWhite32), Rows({"###...##", "###...##"}));
  EXPECT_EQ(c.Raw(3, 0), 0u);
  EXPECT_EQ(c.Raw(3, 1), 0x000000FFu);
}

TEST(HostGdiLines, WidePenHasRoundCapsCentredOnThePath) {
  Canvas c(12, 7, 32);
  Tools t(c.dc, CreatePen(PS_SOLID, 3, RGB(255, 255, 255)), nullptr);
  MoveToEx(c.dc, 3, 3, nullptr);
  LineTo(c.dc, 8, 3);
  // Band of rows 2..4 from x 3 to 8 plus 3 x 3 discs round both ends.
  for (int32 x = 2; x <= 9; ++x) EXPECT_EQ(c.Raw(x, 3), kWhite32) << x;
  EXPECT_EQ(c.Raw(1, 3), 0u);
  EXPECT_EQ(c.Raw(10, 3), 0u);
  for (int32 x = 3; x <= 8; ++x) {
    EXPECT_EQ(c.Raw(x, 2), kWhite32) << x;
    EXPECT_EQ(c.Raw(x, 4), kWhite32) << x;
    EXPECT_EQ(c.Raw(x, 1), 0u) << x;
    EXPECT_EQ(c.Raw(x, 5), 0u) << x;
  }
}

// --- ROP2 ------------------------------------------------------------------------------

namespace {

// Expected ROP2 results from the truth tables of the mix modes.
uint32 Mix(int32 mode, uint32 p, uint32 d) {
  const uint32 table[17] = {0,      0,          ~(p | d), ~p & d, ~p,     p & ~d, ~d,     p ^ d, ~(p & d),
                            p & d,  ~(p ^ d),   d,        ~p | d, p,      p | ~d, p | d,  ~0u};
  return table[mode];
}

void Check_Rop2(int32 depth, uint32 mask, const RGBQUAD* colors, int32 n, COLORREF pen, uint32 p, uint32 d) {
  for (int32 mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
    Canvas c(2, 2, depth, colors, n);
    c.Put(0, 0, d);
    SetROP2(c.dc, mode);
    Tools t(c.dc, nullptr, CreateSolidBrush(pen));
    Rectangle(c.dc, 0, 0, 2, 2);  // null pen: pixel (0, 0) only
    EXPECT_EQ(c.Raw(0, 0), Mix(mode, p, d) & mask) << "depth " << depth << " mode " << mode;
    EXPECT_EQ(c.Raw(1, 0), 0u);
  }
}

}  // namespace

TEST(HostGdiRop, Rop2OnRawPixelsAt32Bits) {
  Check_Rop2(32, 0xFFFFFFFF, nullptr, 0, RGB(0x12, 0x34, 0x56), 0x00123456, 0xA0F0CC33);
}

TEST(HostGdiRop, Rop2OnIndicesAt8Bits) {
  // Grey ramp: RGB(0x5A, 0x5A, 0x5A) is index 0x5A.
  Check_Rop2(8, 0xFF, nullptr, 0, RGB(0x5A, 0x5A, 0x5A), 0x5A, 0x3C);
}

TEST(HostGdiRop, Rop2OnBitsAt1Bit) {
  const RGBQUAD wb[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};  // 0 white, 1 black
  Check_Rop2(1, 1, wb, 2, RGB(0, 0, 0), 1, 0);
  Check_Rop2(1, 1, wb, 2, RGB(255, 255, 255), 0, 1);
}

TEST(HostGdiRop, Rop2At16BitsKeepsBit15Clear) {
  Check_Rop2(16, 0x7FFF, nullptr, 0, RGB(255, 0, 8), (31u << 10) | 1u, 0x1234);
}

// --- ROP3 ------------------------------------------------------------------------------

TEST(HostGdiRop, Rop3CodesAtEachDepth) {
  struct Case {
    uint32 rop;
    uint32 (*f)(uint32 p, uint32 s, uint32 d);
  };
  const Case cases[] = {
      {SRCCOPY, [](uint32, uint32 s, uint32) { return s; }},
      {SRCPAINT, [](uint32, uint32 s, uint32 d) { return s | d; }},
      {SRCAND, [](uint32, uint32 s, uint32 d) { return s & d; }},
      {SRCINVERT, [](uint32, uint32 s, uint32 d) { return s ^ d; }},
      {SRCERASE, [](uint32, uint32 s, uint32 d) { return s & ~d; }},
      {NOTSRCCOPY, [](uint32, uint32 s, uint32) { return ~s; }},
      {NOTSRCERASE, [](uint32, uint32 s, uint32 d) { return ~(s | d); }},
      {MERGECOPY, [](uint32 p, uint32 s, uint32) { return p & s; }},
      {MERGEPAINT, [](uint32, uint32 s, uint32 d) { return ~s | d; }},
      {0x00220326, [](uint32, uint32 s, uint32 d) { return d & ~s; }},
      {0x00990066, [](uint32, uint32 s, uint32 d) { return ~(s ^ d); }},
      {PATCOPY, [](uint32 p, uint32, uint32) { return p; }},
      {PATINVERT, [](uint32 p, uint32, uint32 d) { return p ^ d; }},
      {PATPAINT, [](uint32 p, uint32 s, uint32 d) { return p | ~s | d; }},
      {DSTINVERT, [](uint32, uint32, uint32 d) { return ~d; }},
      {BLACKNESS, [](uint32, uint32, uint32) { return 0u; }},
      {WHITENESS, [](uint32, uint32, uint32) { return ~0u; }},
  };
  struct Depth {
    int32 depth;
    uint32 mask;
    COLORREF brush;
    uint32 p, s, d;
  };
  const Depth depths[] = {
      {32, 0xFFFFFFFF, RGB(0x0F, 0xF0, 0x3C), 0x000FF03C, 0x55AA33CC, 0x12345678},
      {24, 0xFFFFFF, RGB(0x0F, 0xF0, 0x3C), 0x0FF03C, 0xAA33CC, 0x345678},
      {16, 0x7FFF, RGB(0xF8, 0x00, 0xF8), 0x7C1F, 0x2AAA, 0x1357},
      {8, 0xFF, RGB(0x6C, 0x6C, 0x6C), 0x6C, 0xA5, 0x3C},
      {1, 1, RGB(255, 255, 255), 1, 0, 1},
      {1, 1, RGB(0, 0, 0), 0, 1, 1},
  };
  for (const Depth& dp : depths) {
    for (const Case& cs : cases) {
      Canvas src(1, 1, dp.depth), dst(1, 1, dp.depth);
      src.Put(0, 0, dp.s);
      dst.Put(0, 0, dp.d);
      HBRUSH b = CreateSolidBrush(dp.brush);
      HGDIOBJ ob = SelectObject(dst.dc, b);
      ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, cs.rop));
      SelectObject(dst.dc, ob);
      DeleteObject(b);
      EXPECT_EQ(dst.Raw(0, 0), cs.f(dp.p, dp.s, dp.d) & dp.mask)
          << "depth " << dp.depth << " rop " << std::hex << cs.rop;
    }
  }
}

TEST(HostGdiRop, PatBltRefusesSourceCodesAndHonoursNegativeExtents) {
  Canvas c(6, 2, 32);
  EXPECT_FALSE(PatBlt(c.dc, 0, 0, 6, 2, SRCCOPY));
  ASSERT_TRUE(PatBlt(c.dc, 4, 0, -3, 1, WHITENESS));  // covers x 1..3
  EXPECT_EQ(c.Picture(0xFFFFFFFF), Rows({".###..", "......"}));
}

// --- Colours ---------------------------------------------------------------------------

TEST(HostGdiColor, ColourFormsPerSurface) {
  const RGBQUAD table[5] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
  Canvas c8(4, 1, 8, table, 5);
  EXPECT_EQ(SetPixel(c8.dc, 0, 0, RGB(250, 10, 5)), RGB(255, 0, 0));  // nearest entry: red
  EXPECT_EQ(c8.Raw(0, 0), 1u);
  SetPixel(c8.dc, 1, 0, DIBINDEX(3));
  EXPECT_EQ(c8.Raw(1, 0), 3u);
  // PALETTEINDEX goes through the DC's palette: entry 13 of the default one is red.
  SetPixel(c8.dc, 2, 0, PALETTEINDEX(13));
  EXPECT_EQ(c8.Raw(2, 0), 1u);
  LOGPALETTE lp{0x300, 2, {}};
  lp.palPalEntry[1] = PALETTEENTRY{0, 0, 250, 0};
  HPALETTE pal = CreatePalette(&lp);
  HPALETTE old = SelectPalette(c8.dc, pal, false);
  SetPixel(c8.dc, 3, 0, PALETTEINDEX(1));
  EXPECT_EQ(c8.Raw(3, 0), 3u);  // blue
  SelectPalette(c8.dc, old, false);
  DeleteObject(pal);

  Canvas c16(3, 1, 16);
  SetPixel(c16.dc, 0, 0, RGB(255, 128, 8));
  EXPECT_EQ(c16.Raw(0, 0), (31u << 10) | (16u << 5) | 1u);
  SetPixel(c16.dc, 1, 0, RGB(255, 255, 255));
  EXPECT_EQ(c16.Raw(1, 0), 0x7FFFu);
  // Reading expands 5 bits to 8 by repeating the top bits.
  EXPECT_EQ(GetPixel(c16.dc, 0, 0), RGB(255, 132, 8));
  PatBlt(c16.dc, 2, 0, 1, 1, WHITENESS);
  EXPECT_EQ(c16.Raw(2, 0), 0x7FFFu);

  const RGBQUAD wb[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
  Canvas c1(3, 1, 1, wb, 2);
  SetPixel(c1.dc, 0, 0, RGB(100, 100, 100));  // nearer black
  SetPixel(c1.dc, 1, 0, RGB(200, 200, 200));  // nearer white
  EXPECT_EQ(c1.Raw(0, 0), 1u);
  EXPECT_EQ(c1.Raw(1, 0), 0u);

  Canvas c32(2, 1, 32);
  SetPixel(c32.dc, 0, 0, RGB(1, 2, 3));
  EXPECT_EQ(c32.Raw(0, 0), 0x00010203u);
  SetPixel(c32.dc, 1, 0, DIBINDEX(5));  // no index on a deep surface: black
  EXPECT_EQ(c32.Raw(1, 0), 0u);
  EXPECT_EQ(GetPixel(c32.dc, 2, 0), CLR_INVALID);
}

TEST(HostGdiColor, BlitsConvertBetweenDepths) {
  Canvas s32(3, 1, 32);
  s32.Put(0, 0, 0x00FA0A05);  // RGB(250, 10, 5)
  s32.Put(1, 0, 0x00FFFFFF);
  s32.Put(2, 0, 0x00FF8008);
  const RGBQUAD table[5] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
  Canvas d8(3, 1, 8, table, 5);
  BitBlt(d8.dc, 0, 0, 3, 1, s32.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(d8.Raw(0, 0), 1u);
  EXPECT_EQ(d8.Raw(1, 0), 4u);
  Canvas d16(3, 1, 16);
  BitBlt(d16.dc, 0, 0, 3, 1, s32.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(d16.Raw(1, 0), 0x7FFFu);
  EXPECT_EQ(d16.Raw(2, 0), (31u << 10) | (16u << 5) | 1u);
  Canvas back(3, 1, 32);
  BitBlt(back.dc, 0, 0, 3, 1, d16.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(back.Raw(2, 0), 0x00FF8408u);
  Canvas d24(1, 1, 24);
  BitBlt(d24.dc, 0, 0, 1, 1, d8.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(d24.Raw(0, 0), 0xFF0000u);  // index 1 = red
}

TEST(HostGdiColor, MonochromeBitmapsUseTextAndBackgroundColours) {
  // A 1-bit device bitmap into colour: 0 bits take the text colour, 1 bits the background.
  HDC mono = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateCompatibleBitmap(mono, 2, 1);
  HGDIOBJ old = SelectObject(mono, bm);
  SetPixel(mono, 1, 0, RGB(255, 255, 255));
  Canvas c(2, 1, 32);
  SetTextColor(c.dc, RGB(255, 0, 0));
  SetBkColor(c.dc, RGB(0, 0, 255));
  BitBlt(c.dc, 0, 0, 2, 1, mono, 0, 0, SRCCOPY);
  EXPECT_EQ(c.Raw(0, 0), 0x00FF0000u);
  EXPECT_EQ(c.Raw(1, 0), 0x000000FFu);
  // Colour into monochrome: the source's background colour becomes 1 (white), all else 0.
  c.Put(0, 0, 0x00123456);
  SetBkColor(c.dc, RGB(0x12, 0x34, 0x56));
  BitBlt(mono, 0, 0, 2, 1, c.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mono, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mono, 1, 0), RGB(0, 0, 0));
  SelectObject(mono, old);
  DeleteObject(bm);
  DeleteDC(mono);
}

// --- Brushes ---------------------------------------------------------------------------

TEST(HostGdiBrush, MonoPatternZeroBitsTextColourOneBitsBackground) {
  Canvas c(9, 2, 32);
  const uint8 rows[8] = {0xAA, 0x0F, 0, 0, 0, 0, 0, 0};
  HBRUSH b = Host_CreateMonoPatternBrush(rows);
  SetTextColor(c.dc, RGB(255, 0, 0));
  SetBkColor(c.dc, RGB(0, 0, 255));
  RECT r{0, 0, 9, 2};
  FillRect(c.dc, &r, b);
  const uint32 red = 0x00FF0000, blue = 0x000000FF;
  const uint32 row0[9] = {blue, red, blue, red, blue, red, blue, red, blue};  // repeats after 8
  const uint32 row1[9] = {red, red, red, red, blue, blue, blue, blue, red};
  for (int32 x = 0; x < 9; ++x) {
    EXPECT_EQ(c.Raw(x, 0), row0[x]) << x;
    EXPECT_EQ(c.Raw(x, 1), row1[x]) << x;
  }
  // The brush origin moves the pattern.
  SetBrushOrgEx(c.dc, 1, 0, nullptr);
  FillRect(c.dc, &r, b);
  EXPECT_EQ(c.Raw(0, 0), red);  // pattern column 7
  EXPECT_EQ(c.Raw(1, 0), blue);
  DeleteObject(b);
}

TEST(HostGdiBrush, PatternBrushFromBitmapAndHatches) {
  // A 1-bit bitmap gives the same two-colour rule.
  HBITMAP pat = CreateBitmap(8, 8, 1, 1, nullptr);
  HostSurface* pat_px = Host_Surface(pat);
  std::memset(pat_px->bits, 0, size_t(pat_px->stride) * 8);
  pat_px->bits[0] = 0x80;  // pixel (0, 0) white
  HBRUSH b = CreatePatternBrush(pat);
  Canvas c(2, 1, 32);
  SetTextColor(c.dc, RGB(255, 0, 0));
  SetBkColor(c.dc, RGB(0, 0, 255));
  RECT r{0, 0, 2, 1};
  FillRect(c.dc, &r, b);
  EXPECT_EQ(c.Raw(0, 0), 0x000000FFu);
  EXPECT_EQ(c.Raw(1, 0), 0x00FF0000u);
  DeleteObject(b);
  DeleteObject(pat);

  Canvas h(8, 2, 32);
  h.Fill(0x00777777);
  HBRUSH hb = CreateHatchBrush(HS_VERTICAL, RGB(255, 255, 255));
  SetBkMode(h.dc, TRANSPARENT);
  RECT hr{0, 0, 8, 1};
  FillRect(h.dc, &hr, hb);
  SetBkMode(h.dc, OPAQUE);
  SetBkColor(h.dc, RGB(0, 0, 0));
  RECT hr2{0, 1, 8, 2};
  FillRect(h.dc, &hr2, hb);
  DeleteObject(hb);
  for (int32 x = 0; x < 8; ++x) {
    EXPECT_EQ(h.Raw(x, 0), x == 4 ? kWhite32 : 0x00777777u) << x;
    EXPECT_EQ(h.Raw(x, 1), x == 4 ? kWhite32 : 0u) << x;
  }
}

TEST(HostGdiBrush, BrushDeletedWhileSelectedLivesUntilDeselected) {
  Canvas c(2, 1, 32);
  const size_t live = Host_Gdi_Live_Objects();
  HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(c.dc, b);
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_EQ(GetObjectType(b), OBJ_BRUSH);
  EXPECT_TRUE(PatBlt(c.dc, 0, 0, 1, 1, PATCOPY));
  EXPECT_EQ(c.Raw(0, 0), kWhite32);
  EXPECT_EQ(Host_Gdi_Live_Objects(), live + 1);
  SelectObject(c.dc, old);
  EXPECT_EQ(Host_Gdi_Live_Objects(), live);  // freed on deselection
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), OBJ_BRUSH);
}

// --- Curved shapes against regions ------------------------------------------------------

namespace {

// Paints with a null pen / the region into two 1-bit-like 8-bit canvases and compares.
void Expect_Same_Pixels(Canvas& a, Canvas& b, const char* what) {
  for (int32 y = 0; y < a.px->height; ++y)
    for (int32 x = 0; x < a.px->width; ++x) ASSERT_EQ(a.Raw(x, y), b.Raw(x, y)) << what << " at " << x << "," << y;
}

}  // namespace

TEST(HostGdiShapes, PaintedOvalEqualsEllipticRegion) {
  const RECT boxes[] = {{0, 0, 11, 11}, {2, 3, 20, 9}, {1, 1, 3, 3}, {0, 0, 2, 2}, {5, 1, 6, 30}, {-7, -4, 15, 12}};
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  for (const RECT& r : boxes) {
    Canvas painted(24, 32, 8), filled(24, 32, 8), framed(24, 32, 8);
    {
      Tools t(painted.dc, nullptr, CreateSolidBrush(RGB(255, 255, 255)));
      Ellipse(painted.dc, r.left, r.top, r.right, r.bottom);
    }
    HRGN rgn = CreateEllipticRgn(r.left, r.top, r.right, r.bottom);
    FillRgn(filled.dc, rgn, white);
    Expect_Same_Pixels(painted, filled, "ellipse");
    // With a 1-pixel pen the figure is one pixel larger: the region of right + 1, bottom + 1.
    {
      Tools t(framed.dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), CreateSolidBrush(RGB(255, 255, 255)));
      Ellipse(framed.dc, r.left, r.top, r.right - 1, r.bottom - 1);
    }
    Expect_Same_Pixels(framed, filled, "framed ellipse");
    DeleteRgn(rgn);
  }
  DeleteObject(white);
}

TEST(HostGdiShapes, FramedOvalOutlineSurroundsBrushInterior) {
  Canvas c(12, 12, 8);
  Tools t(c.dc, CreatePen(PS_INSIDEFRAME, 1, RGB(255, 255, 255)), CreateSolidBrush(RGB(128, 128, 128)));
  Ellipse(c.dc, 0, 0, 12, 12);
  HRGN outer = CreateEllipticRgn(0, 0, 13, 13);
  for (int32 y = 0; y < 12; ++y)
    for (int32 x = 0; x < 12; ++x) {
      if (!PtInRegion(outer, x, y)) {
        EXPECT_EQ(c.Raw(x, y), 0u);
        continue;
      }
      // A pixel of the shape with a 4-neighbour outside it belongs to the outline.
      const bool edge = !PtInRegion(outer, x - 1, y) || !PtInRegion(outer, x + 1, y) ||
                        !PtInRegion(outer, x, y - 1) || !PtInRegion(outer, x, y + 1);
      if (edge) {
        EXPECT_EQ(c.Raw(x, y), 255u) << x << "," << y;
      }
    }
  EXPECT_EQ(c.Raw(6, 6), 128u);
  DeleteRgn(outer);
}

TEST(HostGdiShapes, RoundRectAndPolygonEqualTheirRegions) {
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  {
    Canvas painted(20, 16, 8), filled(20, 16, 8);
    Tools t(painted.dc, nullptr, CreateSolidBrush(RGB(255, 255, 255)));
    RoundRect(painted.dc, 1, 2, 19, 15, 8, 6);
    HRGN rgn = CreateRoundRectRgn(1, 2, 19, 15, 8, 6);
    FillRgn(filled.dc, rgn, white);
    Expect_Same_Pixels(painted, filled, "round rect");
    DeleteRgn(rgn);
  }
  const POINT star[5] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  for (int32 mode : {ALTERNATE, WINDING}) {
    Canvas painted(22, 22, 8), filled(22, 22, 8);
    SetPolyFillMode(painted.dc, mode);
    {
      Tools t(painted.dc, nullptr, CreateSolidBrush(RGB(255, 255, 255)));
      Polygon(painted.dc, star, 5);
    }
    HRGN rgn = CreatePolygonRgn(star, 5, mode);
    FillRgn(filled.dc, rgn, white);
    Expect_Same_Pixels(painted, filled, mode == ALTERNATE ? "alternate star" : "winding star");
    DeleteRgn(rgn);
    // The centre of the star is filled only by WINDING.
    EXPECT_EQ(painted.Raw(10, 10), mode == WINDING ? 255u : 0u);
  }
  DeleteObject(white);
}

// --- Regions, clipping and origins ---------------------------------------------------------

TEST(HostGdiClip, DrawingStaysInsideTheClipRegion) {
  Canvas c(16, 16, 32);
  HRGN clip = CreateEllipticRgn(2, 2, 15, 13);
  HRGN hole = CreateRectRgn(6, 6, 9, 9);
  CombineRgn(clip, clip, hole, RGN_DIFF);
  ASSERT_EQ(SelectClipRgn(c.dc, clip), COMPLEXREGION);
  // The DC keeps its own copy.
  SetRectRgn(clip, 0, 0, 1, 1);
  HRGN expect = CreateEllipticRgn(2, 2, 15, 13);
  CombineRgn(expect, expect, hole, RGN_DIFF);
  HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
  RECT all{-100, -100, 100, 100};
  FillRect(c.dc, &all, b);
  {
    Tools t(c.dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), nullptr);
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 16, 16);
  }
  for (int32 y = 0; y < 16; ++y)
    for (int32 x = 0; x < 16; ++x)
      EXPECT_EQ(c.Raw(x, y), PtInRegion(expect, x, y) ? kWhite32 : 0u) << x << "," << y;
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.dc, got), 1);
  EXPECT_TRUE(EqualRgn(got, expect));
  SelectClipRgn(c.dc, nullptr);
  EXPECT_EQ(GetClipRgn(c.dc, got), 0);
  DeleteObject(b);
  DeleteRgn(got);
  DeleteRgn(expect);
  DeleteRgn(hole);
  DeleteRgn(clip);
}

TEST(HostGdiClip, WindowOriginAddressesTheWorldInItsOwnCoordinates) {
  // A world over (top -10, left -20, bottom 90, right 180).
  Canvas c(200, 100, 32);
  SetWindowOrgEx(c.dc, -20, -10, nullptr);
  SetPixel(c.dc, -20, -10, RGB(255, 255, 255));
  EXPECT_EQ(c.Raw(0, 0), kWhite32);
  // Clip regions are in device coordinates, drawing regions in logical ones.
  HRGN r = CreateRectRgn(-20, -10, -18, -9);
  HBRUSH b = CreateSolidBrush(RGB(0, 0, 255));
  FillRgn(c.dc, r, b);
  EXPECT_EQ(c.Raw(1, 0), 0x000000FFu);
  HRGN clip = CreateRectRgn(5, 5, 6, 6);
  SelectClipRgn(c.dc, clip);
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{-15, -5, -14, -4}));
  EXPECT_TRUE(PtVisible(c.dc, -15, -5));
  EXPECT_FALSE(PtVisible(c.dc, 5, 5));
  DeleteObject(b);
  DeleteRgn(r);
  DeleteRgn(clip);
}

TEST(HostGdiRegion, PaintInvertAndFrameRegions) {
  Canvas c(8, 8, 8);
  HRGN r = CreateRectRgn(1, 1, 7, 7);
  HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
  FrameRgn(c.dc, r, b, 2, 1);
  EXPECT_EQ(c.Picture(255), Rows({"........", ".######.", ".##..##.", ".##..##.", ".##..##.", ".##..##.",
                                   ".######.", "........"}));
  InvertRgn(c.dc, r);
  EXPECT_EQ(c.Picture(255), Rows({"........", "........", "...##...", "...##...", "...##...", "...##...",
                                   "........", "........"}));
  // PaintRgn uses the selected brush in the mix mode.
  HGDIOBJ ob = SelectObject(c.dc, b);
  SetROP2(c.dc, R2_XORPEN);
  PaintRgn(c.dc, r);
  SelectObject(c.dc, ob);
  EXPECT_EQ(c.Picture(255), Rows({"........", ".######.", ".##..##.", ".##..##.", ".##..##.", ".##..##.",
                                   ".######.", "........"}));
  DeleteObject(b);
  DeleteRgn(r);
}

// --- Stretching and DIBs ---------------------------------------------------------------------

TEST(HostGdiBlt, StretchHalvesDoublesAndMirrors) {
  Canvas src(4, 2, 32);
  for (int32 x = 0; x < 4; ++x) {
    src.Put(x, 0, 0x10u + x);
    src.Put(x, 1, 0x20u + x);
  }
  SetStretchBltMode(src.dc, COLORONCOLOR);
  Canvas half(2, 1, 32);
  StretchBlt(half.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 2, SRCCOPY);
  EXPECT_EQ(half.Raw(0, 0), 0x10u);
  EXPECT_EQ(half.Raw(1, 0), 0x12u);
  Canvas twice(4, 4, 32);
  StretchBlt(twice.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY);
  const uint32 want[4][4] = {{0x10, 0x10, 0x11, 0x11}, {0x10, 0x10, 0x11, 0x11}, {0x20, 0x20, 0x21, 0x21},
                             {0x20, 0x20, 0x21, 0x21}};
  for (int32 y = 0; y < 4; ++y)
    for (int32 x = 0; x < 4; ++x) EXPECT_EQ(twice.Raw(x, y), want[y][x]) << x << "," << y;
  Canvas mirror(4, 1, 32);
  StretchBlt(mirror.dc, 4, 0, -4, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
  for (int32 x = 0; x < 4; ++x) EXPECT_EQ(mirror.Raw(x, 0), 0x13u - x);
}

TEST(HostGdiBlt, OverlappingBlitWithinOneSurface) {
  Canvas c(5, 1, 8);
  for (int32 x = 0; x < 5; ++x) c.Put(x, 0, uint32(x + 1));
  BitBlt(c.dc, 1, 0, 4, 1, c.dc, 0, 0, SRCCOPY);
  const uint32 want[5] = {1, 1, 2, 3, 4};
  for (int32 x = 0; x < 5; ++x) EXPECT_EQ(c.Raw(x, 0), want[x]);
}

TEST(HostGdiDib, RoundTripAtEachDepth) {
  for (int32 depth : {1, 8, 16, 24, 32}) {
    for (bool top_down : {true, false}) {
      Canvas c(5, 3, depth);
      for (int32 y = 0; y < 3; ++y)
        for (int32 x = 0; x < 5; ++x) c.Put(x, y, uint32((x * 7 + y * 13) * 0x01030507u) & (depth == 16 ? 0x7FFF : 0xFFFFFFFF));
      BITMAPINFO info{};
      info.bmiHeader = BITMAPINFOHEADER{40, 5, top_down ? -3 : 3, 1, uint16(depth), BI_RGB, 0, 0, 0, 0, 0};
      const size_t stride = size_t((5 * depth + 31) / 32 * 4);
      std::vector<uint8> buf(stride * 3, 0xEE);
      ASSERT_EQ(GetDIBits(c.dc, c.bm, 0, 3, buf.data(), &info, DIB_RGB_COLORS, buf.size()), 3) << depth;
      // The buffer holds the rows in the header's order.
      for (int32 y = 0; y < 3; ++y) {
        const int32 mem_row = top_down ? y : 2 - y;
        EXPECT_EQ(std::memcmp(buf.data() + stride * size_t(mem_row), c.px->bits + int64(y) * c.px->stride,
                              size_t((5 * depth + 7) / 8)),
                  0)
            << "depth " << depth << " row " << y;
      }
      if (depth == 1) {
        EXPECT_EQ(info.bmiColors[1].rgbRed, 255);  // the surface's own table
      }
      Canvas back(5, 3, depth);
      ASSERT_EQ(SetDIBits(back.dc, back.bm, 0, 3, buf.data(), &info, DIB_RGB_COLORS, buf.size()), 3);
      for (int32 y = 0; y < 3; ++y)
        for (int32 x = 0; x < 5; ++x) EXPECT_EQ(back.Raw(x, y), c.Raw(x, y)) << depth << " " << x << "," << y;
      // A buffer too small is refused.
      EXPECT_EQ(GetDIBits(c.dc, c.bm, 0, 3, buf.data(), &info, DIB_RGB_COLORS, buf.size() - 1), 0);
    }
  }
}

TEST(HostGdiDib, StretchDIBitsReadsBottomUpAndTopDownSources) {
  // A 2 x 2 32-bit DIB; memory rows A then B.
  const uint32 px[4] = {0xA0, 0xA1, 0xB0, 0xB1};
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{40, 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  Canvas c(2, 2, 32);
  ASSERT_EQ(StretchDIBits(c.dc, 0, 0, 2, 2, 0, 0, 2, 2, px, &info, DIB_RGB_COLORS, SRCCOPY, sizeof px), 2);
  EXPECT_EQ(c.Raw(0, 0), 0xA0u);
  EXPECT_EQ(c.Raw(1, 1), 0xB1u);
  info.bmiHeader.biHeight = 2;  // bottom-up: the first memory row is the bottom one
  StretchDIBits(c.dc, 0, 0, 2, 2, 0, 0, 2, 2, px, &info, DIB_RGB_COLORS, SRCCOPY, sizeof px);
  EXPECT_EQ(c.Raw(0, 0), 0xB0u);
  EXPECT_EQ(c.Raw(0, 1), 0xA0u);
  // Source row 0 of a bottom-up DIB is the bottom row.
  StretchDIBits(c.dc, 0, 0, 2, 1, 0, 0, 2, 1, px, &info, DIB_RGB_COLORS, SRCCOPY, sizeof px);
  EXPECT_EQ(c.Raw(0, 0), 0xA0u);
  // A 1-bit DIB uses its own colour table.
  const uint8 bits1[4] = {0x40, 0, 0, 0};
  BITMAPINFO i1{};
  i1.bmiHeader = BITMAPINFOHEADER{40, 2, -1, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
  i1.bmiColors[0] = RGBQUAD{255, 255, 255, 0};
  i1.bmiColors[1] = RGBQUAD{0, 0, 0, 0};
  StretchDIBits(c.dc, 0, 0, 2, 1, 0, 0, 2, 1, bits1, &i1, DIB_RGB_COLORS, SRCCOPY, sizeof bits1);
  EXPECT_EQ(c.Raw(0, 0), kWhite32);
  EXPECT_EQ(c.Raw(1, 0), 0u);
  // Too little data for the header: refused.
  EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 2, 2, 0, 0, 2, 2, px, &info, DIB_RGB_COLORS, SRCCOPY, 8), 0);
}

TEST(HostGdiDib, RegionToMonochromeMaskThroughGetDIBits) {
  // The mask recipe: a monochrome bitmap, BLACKNESS, the region in white, read as a top-down 1-bit DIB.
  HDC mono = CreateCompatibleDC(nullptr);
  HRGN rgn = CreateEllipticRgn(10, 20, 19, 27);
  RECT box;
  GetRgnBox(rgn, &box);
  const int32 w = box.right - box.left, h = box.bottom - box.top;
  HBITMAP bm = CreateCompatibleBitmap(mono, w, h);
  HGDIOBJ old = SelectObject(mono, bm);
  SetWindowOrgEx(mono, box.left, box.top, nullptr);
  PatBlt(mono, box.left, box.top, w, h, BLACKNESS);
  FillRgn(mono, rgn, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectObject(mono, old);
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{40, w, -h, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
  const int32 stride = (w + 31) / 32 * 4;
  std::vector<uint8> bits(size_t(stride * h));
  ASSERT_EQ(GetDIBits(mono, bm, 0, uint32(h), bits.data(), &info, DIB_RGB_COLORS, bits.size()), h);
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 0; x < w; ++x) {
      const bool bit = (bits[size_t(y * stride + x / 8)] >> (7 - x % 8)) & 1;
      EXPECT_EQ(bit, PtInRegion(rgn, box.left + x, box.top + y)) << x << "," << y;
    }
  DeleteObject(bm);
  DeleteRgn(rgn);
  DeleteDC(mono);
}

// --- State, scrolling, robustness ---------------------------------------------------------------

TEST(HostGdiState, SaveAndRestoreDC) {
  Canvas c(2, 1, 32);
  const int32 level = SaveDC(c.dc);
  EXPECT_EQ(level, 1);
  SetROP2(c.dc, R2_XORPEN);
  SetTextColor(c.dc, RGB(1, 2, 3));
  HRGN clip = CreateRectRgn(0, 0, 1, 1);
  SelectClipRgn(c.dc, clip);
  DeleteRgn(clip);
  EXPECT_TRUE(RestoreDC(c.dc, -1));
  EXPECT_EQ(GetROP2(c.dc), R2_COPYPEN);
  EXPECT_EQ(GetTextColor(c.dc), RGB(0, 0, 0));
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c.dc, got), 0);
  DeleteRgn(got);
  EXPECT_FALSE(RestoreDC(c.dc, -1));
  EXPECT_EQ(SetROP2(c.dc, 99), 0);  // bad mode refused
}

TEST(HostGdiState, ScrollDCMovesPixelsAndReportsUncoveredArea) {
  Canvas c(4, 3, 8);
  for (int32 y = 0; y < 3; ++y)
    for (int32 x = 0; x < 4; ++x) c.Put(x, y, uint32(10 * y + x + 1));
  RECT area{0, 0, 4, 3}, upd;
  HRGN urgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_TRUE(ScrollDC(c.dc, 1, -1, &area, nullptr, urgn, &upd));
  const uint32 want[3][4] = {{1, 11, 12, 13}, {11, 21, 22, 23}, {21, 22, 23, 24}};
  for (int32 y = 0; y < 3; ++y)
    for (int32 x = 0; x < 4; ++x) EXPECT_EQ(c.Raw(x, y), want[y][x]) << x << "," << y;
  EXPECT_EQ(upd, (RECT{0, 0, 4, 3}));
  HRGN expect = CreateRectRgn(0, 0, 1, 3);
  HRGN bottom = CreateRectRgn(0, 2, 4, 3);
  CombineRgn(expect, expect, bottom, RGN_OR);
  EXPECT_TRUE(EqualRgn(urgn, expect));
  DeleteRgn(expect);
  DeleteRgn(bottom);
  DeleteRgn(urgn);
}

TEST(HostGdiState, HugeAndInvertedCoordinatesStayInsideTheSurface) {
  for (int32 depth : {1, 8, 16, 24, 32}) {
    Canvas c(7, 5, depth);
    SetWindowOrgEx(c.dc, INT32_MIN, INT32_MAX, nullptr);
    SetWindowOrgEx(c.dc, 0, 0, nullptr);
    Tools t(c.dc, CreatePen(PS_SOLID, 3, RGB(255, 255, 255)), CreateSolidBrush(RGB(255, 255, 255)));
    Rectangle(c.dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    Ellipse(c.dc, -32768, -32768, 32767, 32767);
    Ellipse(c.dc, INT32_MIN, 0, INT32_MAX, 5);
    RoundRect(c.dc, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN);
    MoveToEx(c.dc, INT32_MIN, INT32_MIN, nullptr);
    LineTo(c.dc, INT32_MAX, INT32_MAX);
    const POINT pts[3] = {{INT32_MIN, 0}, {INT32_MAX, 3}, {0, INT32_MAX}};
    Polygon(c.dc, pts, 3);
    PatBlt(c.dc, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, DSTINVERT);
    StretchBlt(c.dc, -5, -5, INT32_MAX, INT32_MAX, c.dc, INT32_MIN, 3, 2, INT32_MIN, SRCCOPY);
    RECT r{-32768, -32768, 32767, 32767};
    FillRect(c.dc, &r, t.brush);
    SetPixel(c.dc, INT32_MAX, INT32_MIN, 0);
    EXPECT_EQ(GetPixel(c.dc, INT32_MIN, 0), CLR_INVALID);
    ScrollDC(c.dc, INT32_MAX, INT32_MIN, &r, nullptr, nullptr, nullptr);
  }
  // A thin line across the whole coordinate range still lands on the diagonal.
  Canvas c(6, 6, 32);
  Tools t(c.dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), nullptr);
  MoveToEx(c.dc, -1000000000, -1000000000, nullptr);
  LineTo(c.dc, 1000000000, 1000000000);
  for (int32 i = 0; i < 6; ++i) EXPECT_EQ(c.Raw(i, i), kWhite32) << i;
  EXPECT_EQ(c.Raw(1, 0), 0u);
}
