// Text output and measuring on the software GDI: where text lands, what it
// covers, and how the current position moves. Pinned to the DejaVu fonts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "host/HostFont.h"
#include "host/HostText.h"

namespace {

struct Box {
  int32 left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;  // inclusive
  int64 count = 0;
  bool Empty() const { return count == 0; }
};

// A white surface of some depth with a DC and a DejaVu Sans font selected.
class TextTest : public ::testing::Test {
 protected:
  HBITMAP surf = nullptr;
  HDC dc = nullptr;
  HFONT font = nullptr;
  const HostSurface* Px() const { return Host_Surface(surf); }

  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    Make(32, 300, 200);
  }
  void TearDown() override { Release(); }

  void Release() {
    if (dc) DeleteDC(dc);
    if (surf) DeleteObject(surf);
    if (font) DeleteObject(font);
    dc = nullptr;
    surf = nullptr;
    font = nullptr;
  }

  void Make(int32 depth, int32 w, int32 h, const RGBQUAD* colors = nullptr, int32 ncolors = 0) {
    Release();
    surf = Host_NewSurface(w, h, depth, colors, ncolors);
    ASSERT_NE(surf, nullptr);
    dc = Host_CreateSurfaceDC(surf);
    ASSERT_NE(dc, nullptr);
    PatBlt(dc, 0, 0, w, h, WHITENESS);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    Use_Font(-20);
  }

  void Use_Font(int32 height, int32 esc = 0, int32 weight = FW_NORMAL, bool italic = false,
                const char* face = "DejaVu Sans") {
    HostLogFont lf;
    lf.lfHeight = height;
    lf.lfEscapement = esc;
    lf.lfWeight = weight;
    lf.lfItalic = italic ? 1 : 0;
    Host_Utf8_To_Face_Name(face, lf.lfFaceName);
    HFONT f = CreateFontIndirectW(&lf);
    ASSERT_NE(f, nullptr);
    HGDIOBJ old = Host_Select_Font(dc, f);
    ASSERT_NE(old, nullptr);
    if (font) DeleteObject(font);
    font = f;
  }

  uint32 Raw(int32 x, int32 y) const {
    const uint8* row = Px()->bits + int64(y) * Px()->stride;
    switch (Px()->depth) {
      case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
      case 8: return row[x];
      default: {
        uint32 v;
        std::memcpy(&v, row + 4 * x, 4);
        return v;
      }
    }
  }
  uint32 White() const { return Px()->depth == 32 ? 0xFFFFFFFFu : (Px()->depth == 1 ? 1u : 0xFFu); }

  // Pixels that are no longer the white background.
  Box Ink() const {
    Box b;
    for (int32 y = 0; y < Px()->height; ++y)
      for (int32 x = 0; x < Px()->width; ++x)
        if (Raw(x, y) != White()) {
          b.left = std::min(b.left, x);
          b.right = std::max(b.right, x);
          b.top = std::min(b.top, y);
          b.bottom = std::max(b.bottom, y);
          ++b.count;
        }
    return b;
  }
  int64 Count(uint32 raw) const {
    int64 n = 0;
    for (int32 y = 0; y < Px()->height; ++y)
      for (int32 x = 0; x < Px()->width; ++x) n += Raw(x, y) == raw ? 1 : 0;
    return n;
  }
  int32 Width(const char16_t* s) {
    SIZE sz{};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, reinterpret_cast<const UniChar*>(s),
                                      int32(std::char_traits<char16_t>::length(s)), &sz));
    return sz.cx;
  }
  bool Out(int32 x, int32 y, const char16_t* s) {
    return TextOutW(dc, x, y, reinterpret_cast<const UniChar*>(s),
                    int32(std::char_traits<char16_t>::length(s)));
  }
  POINT Cp() {
    POINT p{};
    GetCurrentPositionEx(dc, &p);
    return p;
  }
};

}  // namespace

TEST_F(TextTest, BaselineAndAlignment) {
  HostTextMetric tm;
  ASSERT_TRUE(GetTextMetricsW(dc, &tm));
  // "H" sits on the baseline: its lowest row is the one above y.
  ASSERT_TRUE(Out(20, 100, u"H"));
  Box b = Ink();
  ASSERT_FALSE(b.Empty());
  EXPECT_EQ(b.bottom, 99);
  EXPECT_NEAR(b.top, 100 - 15, 1);  // cap height of DejaVu Sans at 20 px
  EXPECT_NEAR(b.left, 20 + 2, 1);   // left side bearing
  const int32 h_width = Width(u"H");

  struct Case {
    uint32 align;
    int32 dx, dy;  // where the baseline origin should end up relative to (20, 100)
  } cases[] = {
      {TA_TOP | TA_LEFT, 0, tm.tmAscent},
      {TA_BOTTOM | TA_LEFT, 0, -tm.tmDescent},
      {TA_BASELINE | TA_RIGHT, -h_width, 0},
      {TA_BASELINE | TA_CENTER, -(h_width / 2), 0},
  };
  for (const Case& c : cases) {
    PatBlt(dc, 0, 0, 300, 200, WHITENESS);
    SetTextAlign(dc, c.align);
    ASSERT_TRUE(Out(20, 100, u"H"));
    const Box m = Ink();
    EXPECT_EQ(m.bottom, b.bottom + c.dy) << c.align;
    EXPECT_EQ(m.left, b.left + c.dx) << c.align;
    EXPECT_EQ(m.count, b.count) << c.align;
  }
}

TEST_F(TextTest, CurrentPositionAdvancesAlongTheEscapement) {
  Make(32, 300, 300);
  const char16_t* text = u"Hello world";
  const int32 w = Width(text);
  ASSERT_GT(w, 50);
  ASSERT_LT(w, 140);
  struct Case {
    int32 esc;
    int32 cx, cy;  // expected end of the current position from (150, 150)
  } cases[] = {
      {0, w, 0},
      {900, 0, -w},
      {1800, -w, 0},
      {2700, 0, w},
      {450, int32(std::lround(w * std::cos(M_PI / 4))), -int32(std::lround(w * std::sin(M_PI / 4)))},
  };
  for (const Case& c : cases) {
    Use_Font(-20, c.esc);
    EXPECT_EQ(Width(text), w) << "turning keeps the width";
    PatBlt(dc, 0, 0, 300, 300, WHITENESS);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_UPDATECP);
    MoveToEx(dc, 150, 150, nullptr);
    ASSERT_TRUE(Out(0, 0, text));  // x, y are ignored with TA_UPDATECP
    const POINT p = Cp();
    EXPECT_EQ(p.x, 150 + c.cx) << c.esc;
    EXPECT_EQ(p.y, 150 + c.cy) << c.esc;
    // The ink runs from the start point towards the end point, on the left
    // of the direction of writing (above the baseline for upright text).
    ASSERT_FALSE(Ink().Empty()) << c.esc;
    const double ux = std::cos(c.esc * M_PI / 1800), uy = -std::sin(c.esc * M_PI / 1800);
    double along_min = 1e9, along_max = -1e9, across_max = -1e9, across_min = 1e9;
    for (int32 y = 0; y < 300; ++y)
      for (int32 x = 0; x < 300; ++x) {
        if (Raw(x, y) == White()) continue;
        const double rx = x + 0.5 - 150, ry = y + 0.5 - 150;
        const double along = rx * ux + ry * uy;
        const double down = -rx * uy + ry * ux;  // across, towards the descenders
        along_min = std::min(along_min, along);
        along_max = std::max(along_max, along);
        across_min = std::min(across_min, down);
        across_max = std::max(across_max, down);
      }
    EXPECT_GT(along_min, -2) << c.esc;
    EXPECT_LT(along_max, w + 2) << c.esc;
    EXPECT_GT(along_max, w - 6) << c.esc;
    EXPECT_LT(across_max, 2) << c.esc << ": no descenders in the text";
    EXPECT_LT(across_min, -12) << c.esc;
  }
  // Right alignment moves the position back; centred text leaves it.
  Use_Font(-20);
  SetTextAlign(dc, TA_BASELINE | TA_RIGHT | TA_UPDATECP);
  MoveToEx(dc, 150, 100, nullptr);
  Out(0, 0, text);
  EXPECT_EQ(Cp().x, 150 - w);
  SetTextAlign(dc, TA_BASELINE | TA_CENTER | TA_UPDATECP);
  MoveToEx(dc, 150, 100, nullptr);
  Out(0, 0, text);
  EXPECT_EQ(Cp().x, 150);
  // Without TA_UPDATECP the position stays.
  SetTextAlign(dc, TA_BASELINE | TA_LEFT);
  MoveToEx(dc, 7, 9, nullptr);
  Out(20, 50, text);
  EXPECT_EQ(Cp().x, 7);
  EXPECT_EQ(Cp().y, 9);
}

TEST_F(TextTest, OpaqueAndTransparentBackground) {
  HostTextMetric tm;
  ASSERT_TRUE(GetTextMetricsW(dc, &tm));
  const char16_t* text = u"Mix";
  const int32 w = Width(text);
  const uint32 red = 0x00FF0000;  // BGRA bytes 00 00 FF 00

  Out(20, 100, text);
  const Box tb = Ink();
  EXPECT_EQ(Count(red), 0);

  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  SetBkMode(dc, OPAQUE);
  Out(20, 100, text);
  const Box ob = Ink();
  // The whole cell and nothing else: advance by ascent + descent.
  EXPECT_EQ(ob.left, 20);
  EXPECT_EQ(ob.right, 20 + w - 1);
  EXPECT_EQ(ob.top, 100 - tm.tmAscent);
  EXPECT_EQ(ob.bottom, 100 + tm.tmDescent - 1);
  EXPECT_EQ(ob.count, int64(w) * tm.tmHeight);
  EXPECT_GT(Count(red), ob.count / 2);
  EXPECT_EQ(Raw(20, 100 - tm.tmAscent), red);

  // Turned by 90 degrees the cell turns too.
  Use_Font(-20, 900);
  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  Out(100, 150, text);
  const Box rb = Ink();
  EXPECT_EQ(rb.left, 100 - tm.tmAscent);
  EXPECT_EQ(rb.right, 100 + tm.tmDescent - 1);
  EXPECT_EQ(rb.bottom, 149);
  EXPECT_EQ(rb.top, 150 - w);
  (void)tb;
}

TEST_F(TextTest, AntialiasedOn32BitsAliasedOnIndexedSurfaces) {
  Out(20, 100, u"Sample");
  std::set<uint32> values;
  for (int32 y = 0; y < 200; ++y)
    for (int32 x = 0; x < 300; ++x)
      if (Raw(x, y) != White()) values.insert(Raw(x, y));
  EXPECT_GT(values.size(), 10u) << "grey edges";
  for (uint32 v : values) EXPECT_EQ(v >> 24, 0u) << "alpha of drawn pixels";

  // 8 bits with a grey ramp: only the text colour's entry appears.
  RGBQUAD grey[256];
  for (int i = 0; i < 256; ++i) grey[i] = RGBQUAD{uint8(i), uint8(i), uint8(i), 0};
  Make(8, 300, 200, grey, 256);
  Out(20, 100, u"Sample");
  values.clear();
  for (int32 y = 0; y < 200; ++y)
    for (int32 x = 0; x < 300; ++x) values.insert(Raw(x, y));
  EXPECT_EQ(values, (std::set<uint32>{0u, 255u}));

  // 1 bit: the pixels are exactly FreeType's aliased glyph at the pen.
  const RGBQUAD bw[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  Make(1, 100, 80, bw, 2);
  ASSERT_TRUE(Out(30, 50, u"g"));
  HostGlyphBitmap g;
  ASSERT_TRUE(Host_Font_Glyph(font, Host_Font_Glyph_Index(font, U'g'), true, &g));
  ASSERT_NE(g.cov, nullptr);
  int64 mismatches = 0, ink = 0;
  for (int32 y = 0; y < 80; ++y)
    for (int32 x = 0; x < 100; ++x) {
      const int32 gx = x - (30 + g.left), gy = y - (50 - g.top);
      const bool want = gx >= 0 && gy >= 0 && gx < g.width && gy < g.rows &&
                        g.cov[size_t(gy) * size_t(g.width) + size_t(gx)] != 0;
      const bool got = Raw(x, y) == 0;
      mismatches += want != got ? 1 : 0;
      ink += got ? 1 : 0;
    }
  EXPECT_GT(ink, 20);
  EXPECT_EQ(mismatches, 0);
}

TEST_F(TextTest, BoldAndItalicWidths) {
  const char16_t* text = u"Width of words";
  const int32 regular = Width(text);
  Use_Font(-20, 0, FW_BOLD);
  const int32 bold = Width(text);
  EXPECT_GT(bold, regular);
  // A bold text also covers more pixels.
  Out(10, 100, text);
  const int64 bold_ink = Ink().count;
  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  Use_Font(-20);
  Out(10, 100, text);
  EXPECT_GT(bold_ink, Ink().count * 5 / 4);
  // The oblique face leans: its ink's top row starts further right.
  Use_Font(-20, 0, FW_NORMAL, true);
  EXPECT_EQ(Width(text), regular) << "DejaVu's oblique keeps the advances";
  // Synthesised: the light family has no bold face; emboldening widens it.
  Use_Font(-20, 0, FW_NORMAL, false, "DejaVu Sans Light");
  const int32 light = Width(text);
  Use_Font(-20, 0, FW_BOLD, false, "DejaVu Sans Light");
  EXPECT_GT(Width(text), light);
  Use_Font(-20, 0, FW_NORMAL, true, "DejaVu Sans Light");
  EXPECT_EQ(Width(text), light);
  // The sheared "l": top of the stroke lies right of its foot.
  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  Out(50, 100, u"l");
  int32 top_x = -1, foot_x = -1;
  for (int32 x = 0; x < 300 && (top_x < 0 || foot_x < 0); ++x) {
    if (top_x < 0 && Raw(x, 86) != White()) top_x = x;
    if (foot_x < 0 && Raw(x, 99) != White()) foot_x = x;
  }
  ASSERT_GE(top_x, 0);
  ASSERT_GE(foot_x, 0);
  EXPECT_GE(top_x - foot_x, 2);
}

TEST_F(TextTest, ClippingAndOrigins) {
  const char16_t* text = u"Clipped text";
  Out(20, 100, text);
  const Box full = Ink();
  // Window origin: logical (120, 100) lands where (20, 100) did.
  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  SetWindowOrgEx(dc, 100, 0, nullptr);
  Out(120, 100, text);
  const Box moved = Ink();
  EXPECT_EQ(moved.left, full.left);
  EXPECT_EQ(moved.count, full.count);
  SetWindowOrgEx(dc, 0, 0, nullptr);

  // Clip region: the left half only.
  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  const int32 mid = (full.left + full.right) / 2;
  HRGN r = CreateRectRgn(0, 0, mid, 200);
  SelectClipRgn(dc, r);
  DeleteObject(r);
  Out(20, 100, text);
  Box b = Ink();
  EXPECT_LT(b.right, mid);
  EXPECT_GT(b.count, 0);
  SelectClipRgn(dc, nullptr);

  // ETO_CLIPPED with ETO_OPAQUE: the rectangle is filled and bounds the text.
  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  RECT rc{25, 90, 60, 96};
  ASSERT_TRUE(ExtTextOutW(dc, 20, 100, ETO_CLIPPED | ETO_OPAQUE, &rc,
                          reinterpret_cast<const UniChar*>(text), 12, nullptr));
  b = Ink();
  EXPECT_EQ(b.left, 25);
  EXPECT_EQ(b.right, 59);
  EXPECT_EQ(b.top, 90);
  EXPECT_EQ(b.bottom, 95);
  EXPECT_EQ(b.count, 35 * 6);

  // Text far outside the surface draws nothing and does not fault.
  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  EXPECT_TRUE(Out(INT32_MAX - 10, INT32_MIN + 10, text));
  EXPECT_TRUE(Out(-5000, 100, text));
  EXPECT_TRUE(Ink().Empty());
}

TEST_F(TextTest, EncodingsAndGlyphIndices) {
  // UTF-8 and UTF-16 of the same text draw the same pixels.
  TextOutA(dc, 20, 100, "Caf\xC3\xA9 \xE2\x82\xAC", 9);
  const Box a = Ink();
  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  Out(20, 100, u"Caf\u00E9 \u20AC");
  const Box w = Ink();
  EXPECT_EQ(a.count, w.count);
  EXPECT_EQ(a.right, w.right);
  SIZE s8{}, s16{};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "Caf\xC3\xA9 \xE2\x82\xAC", 9, &s8));
  ASSERT_TRUE(GetTextExtentPoint32W(dc, reinterpret_cast<const UniChar*>(u"Caf\u00E9 \u20AC"), 6, &s16));
  EXPECT_EQ(s8.cx, s16.cx);
  HostTextMetric tm;
  GetTextMetricsW(dc, &tm);
  EXPECT_EQ(s16.cy, tm.tmHeight);

  // Broken UTF-8 draws one U+FFFD for each broken part (a cut sequence, a
  // stray continuation byte), and the character that broke a sequence stays.
  ASSERT_TRUE(GetTextExtentPoint32W(dc, reinterpret_cast<const UniChar*>(u"\uFFFDA\uFFFD"), 3, &s16));
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "\xE2\x82" "A\x80", 4, &s8));
  EXPECT_EQ(s8.cx, s16.cx);
  ASSERT_TRUE(GetTextExtentPoint32W(dc, reinterpret_cast<const UniChar*>(u"\uFFFD"), 1, &s16));
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "\xE2\x82", 2, &s8));
  EXPECT_EQ(s8.cx, s16.cx);

  const char16_t probe[] = {u'A', 0x4E00, 0xD83D, 0};
  uint16 idx[3];
  ASSERT_EQ(GetGlyphIndicesW(dc, reinterpret_cast<const UniChar*>(probe), 3, idx,
                             GGI_MARK_NONEXISTING_GLYPHS),
            3);
  EXPECT_EQ(idx[0], Host_Font_Glyph_Index(font, U'A'));
  EXPECT_EQ(idx[1], 0xFFFF);
  EXPECT_EQ(idx[2], 0xFFFF);
  ASSERT_EQ(GetGlyphIndicesW(dc, reinterpret_cast<const UniChar*>(probe), 3, idx, 0), 3);
  EXPECT_EQ(idx[1], 0);

  // Bad arguments fail cleanly.
  EXPECT_FALSE(TextOutW(dc, 0, 0, nullptr, 3));
  EXPECT_FALSE(TextOutW(dc, 0, 0, reinterpret_cast<const UniChar*>(u"x"), -1));
  EXPECT_FALSE(TextOutW(nullptr, 0, 0, reinterpret_cast<const UniChar*>(u"x"), 1));
  EXPECT_EQ(GetGlyphIndicesW(dc, nullptr, 2, idx, 0), -1);
  EXPECT_FALSE(GetTextExtentPoint32W(dc, reinterpret_cast<const UniChar*>(u"x"), 1, nullptr));
  EXPECT_TRUE(TextOutW(dc, 0, 0, nullptr, 0));
}

TEST_F(TextTest, DrawTextWrapsWords) {
  HostTextMetric tm;
  GetTextMetricsW(dc, &tm);
  const char16_t* text = u"one two one two";
  const int32 n = 15;
  const int32 w_two = Width(u"one two");
  RECT r{10, 10, 10 + w_two + 5, 190};
  RECT calc = r;
  EXPECT_EQ(DrawTextW(dc, reinterpret_cast<const UniChar*>(text), n, &calc,
                      DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX),
            2 * tm.tmHeight);
  EXPECT_EQ(calc.bottom, 10 + 2 * tm.tmHeight);
  EXPECT_TRUE(Ink().Empty()) << "DT_CALCRECT draws nothing";

  EXPECT_EQ(DrawTextW(dc, reinterpret_cast<const UniChar*>(text), n, &r, DT_WORDBREAK | DT_NOPREFIX),
            2 * tm.tmHeight);
  Box b = Ink();
  EXPECT_GE(b.top, 10);
  EXPECT_LT(b.bottom, 10 + 2 * tm.tmHeight);
  EXPECT_GT(b.bottom, 10 + tm.tmHeight);
  EXPECT_LE(b.right, r.right);
  // The alignment of the DC is left alone.
  EXPECT_EQ(GetTextAlign(dc), TA_BASELINE | TA_LEFT | TA_NOUPDATECP);

  // Right alignment and line breaks.
  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  RECT rr{10, 10, 290, 190};
  EXPECT_EQ(DrawTextW(dc, reinterpret_cast<const UniChar*>(u"a\r\nb\nc"), 6, &rr, DT_RIGHT), 3 * tm.tmHeight);
  b = Ink();
  EXPECT_LE(b.right, 289);
  EXPECT_GT(b.left, 250);

  // A word wider than the box breaks at a character and the box bounds the ink.
  PatBlt(dc, 0, 0, 300, 200, WHITENESS);
  RECT nr{10, 10, 40, 190};
  EXPECT_GT(DrawTextW(dc, reinterpret_cast<const UniChar*>(u"Extraordinarily"), 15, &nr, DT_WORDBREAK),
            tm.tmHeight);
  b = Ink();
  EXPECT_LT(b.right, 40);
  EXPECT_EQ(DrawTextW(dc, nullptr, 3, &nr, 0), 0);

  // UTF-8 text wraps the same way; a NUL-terminated count of -1 too.
  RECT a = r, w = r;
  EXPECT_EQ(DrawTextA(dc, "one two \xC3\xA9t\xC3\xA9", -1, &a, DT_WORDBREAK | DT_CALCRECT), 2 * tm.tmHeight);
  EXPECT_EQ(DrawTextW(dc, reinterpret_cast<const UniChar*>(u"one two \u00E9t\u00E9"), 11, &w,
                      DT_WORDBREAK | DT_CALCRECT),
            2 * tm.tmHeight);
  EXPECT_EQ(a.bottom, w.bottom);
}
