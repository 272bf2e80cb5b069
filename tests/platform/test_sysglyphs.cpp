// Characters of a font record drawn one by one into pixel maps: stretch,
// skew, angle and scale, under the pinned DejaVu font configuration.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "pixel/Fast.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

class SysGlyphTest : public ::testing::Test {
 protected:
  std::vector<GWorldPtr> worlds_;

  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Fast_Init();  // the font list's sort
    Fonts_Stop();
    Fonts_Init();
  }
  void TearDown() override {
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    for (GWorldPtr& w : worlds_) Dispose_GWorld(w);
    Stop_Quickdraw();
  }
  GWorldPtr World(int16 depth, Rect bounds) {
    GWorldPtr w = nullptr;
    EXPECT_EQ(New_GWorld(bounds, depth, nullptr, w), noErr);
    worlds_.push_back(w);
    return w;
  }
  static a_fontspec Sans(int32 size) {
    a_fontspec s;
    Null_FontSpec(s);
    s.fontID = 2;  // DejaVu Sans
    s.size = size;
    return s;
  }
  static const uint8* Row(GWorldPtr w, int32 y) {
    return reinterpret_cast<const uint8*>(w->pix.baseAddr) +
           size_t(y - w->pix.bounds.top) * PixMap_RowBytes(w->pix);
  }
  static uint32 Px32(GWorldPtr w, int32 x, int32 y) {
    uint32 v;
    std::memcpy(&v, Row(w, y) + 4 * (x - w->pix.bounds.left), 4);
    return v;
  }
  static void Fill32(GWorldPtr w, uint32 v) {
    for (int32 y = w->pix.bounds.top; y < w->pix.bounds.bottom; ++y)
      for (int32 x = w->pix.bounds.left; x < w->pix.bounds.right; ++x)
        std::memcpy(const_cast<uint8*>(Row(w, y)) + 4 * (x - w->pix.bounds.left), &v, 4);
  }
  // Bounds of the pixels differing from v, in the world's coordinates.
  static Rect Ink(GWorldPtr w, uint32 v, uint32 mask = 0xFFFFFFFF) {
    Rect r{32767, 32767, -32768, -32768};
    for (int32 y = w->pix.bounds.top; y < w->pix.bounds.bottom; ++y)
      for (int32 x = w->pix.bounds.left; x < w->pix.bounds.right; ++x)
        if ((Px32(w, x, y) & mask) != (v & mask)) {
          r.left = int16(std::min<int32>(r.left, x)), r.top = int16(std::min<int32>(r.top, y));
          r.right = int16(std::max<int32>(r.right, x + 1));
          r.bottom = int16(std::max<int32>(r.bottom, y + 1));
        }
    return r;
  }
};

constexpr a_pixel32 kGrey{{200, 200, 200, 200}};

float Glyph_Font_Ascent(const a_fontspec& s) {
  a_glyph_font_info info;
  Get_Glyph_Font_Info(s, info);
  return info.ascent;
}

TEST_F(SysGlyphTest, StretchSkewAngleAndScaleReachTheGlyph) {
  // A world whose coordinates do not start at 0.
  GWorldPtr w = World(32, Rect{100, 200, 300, 500});
  const double ox = 300.5, oy = 230.25;
  a_fontspec plain = Sans(40);
  Rect p{0, 0, 0, 0};
  ASSERT_TRUE(Draw_Glyph(w->pix, plain, U'H', ox, oy, 1.0, kGrey, &p));
  const Rect changed = Ink(w, 0);
  EXPECT_EQ(std::memcmp(&p, &changed, sizeof p), 0) << "touched is what changed";
  const double pw = p.right - p.left, ph = p.bottom - p.top;
  EXPECT_NEAR(p.bottom, oy, 1.0) << "standing on the baseline";
  EXPECT_NEAR(p.left, ox + 3, 3.0);

  struct Case {
    float hscale, vscale, hskew, vskew;
    int32 angle;
    double scale;
    double w, h;  // expected ink size
  };
  const Case cases[] = {
      {2, 1, 0, 0, 0, 1, 2 * pw, ph},          {1, 2, 0, 0, 0, 1, pw, 2 * ph},
      {1, 1, 0.5f, 0, 0, 1, pw + 0.5 * ph, ph}, {1, 1, 0, 0.5f, 0, 1, pw, ph + 0.5 * pw},
      {1, 1, 0, 0, 900, 1, ph, pw},            {1, 1, 0, 0, 0, 2, 2 * pw, 2 * ph},
      {2, 1, 0, 0, 900, 1, ph, 2 * pw},        {NAN, 1, INFINITY, 0, 0, 1, pw, ph},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.hscale << " " << k.vscale << " " << k.hskew << " "
                                    << k.vskew << " " << k.angle << " " << k.scale);
    Fill32(w, 0);
    a_fontspec s = plain;
    s.hscale = k.hscale, s.vscale = k.vscale, s.hskew = k.hskew, s.vskew = k.vskew, s.angle = k.angle;
    Rect r{0, 0, 0, 0};
    ASSERT_TRUE(Draw_Glyph(w->pix, s, U'H', ox, oy, k.scale, kGrey, &r));
    EXPECT_NEAR(r.right - r.left, k.w, 2.5);
    EXPECT_NEAR(r.bottom - r.top, k.h, 2.5);
    if (k.angle == 900) {
      // Turned a quarter counter-clockwise: the glyph rises from its
      // origin, its top to the left.
      EXPECT_LE(r.bottom, oy + 1 - 2);
      EXPECT_LE(r.right, ox + 1);
    }
  }
  // Advances take the horizontal stretch only.
  a_fontspec s = plain;
  const double adv = Glyph_Advance(s, U'H');
  EXPECT_GT(adv, pw);
  s.hscale = 2;
  EXPECT_DOUBLE_EQ(Glyph_Advance(s, U'H'), 2 * adv);
  s.hscale = 1, s.vscale = 3, s.hskew = 0.4f, s.angle = 450;
  EXPECT_DOUBLE_EQ(Glyph_Advance(s, U'H'), adv);
}

TEST_F(SysGlyphTest, LevelsTouchedBoxAndRefusals) {
  GWorldPtr m = World(8, Rect{0, 0, 60, 60});
  Rect t{5, 5, 6, 6};  // a rectangle to grow
  ASSERT_TRUE(Draw_Glyph(m->pix, Sans(30), U'I', 30, 45, 1.0, a_pixel32{{90, 120, 150, 0}}, &t));
  int32 full = 0, other = 0;
  for (int32 y = 0; y < 60; ++y)
    for (int32 x = 0; x < 60; ++x) {
      const uint8 v = Row(m, y)[x];
      full += v == 120;
      other += v > 120;
    }
  EXPECT_GT(full, 20) << "the grey of the colour where fully covered";
  EXPECT_EQ(other, 0);
  EXPECT_EQ(t.top, 5);
  EXPECT_EQ(t.left, 5);
  EXPECT_GT(t.bottom, 40);
  EXPECT_GT(t.right, 30);
  // Nothing drawn leaves the rectangle alone.
  Rect u{1, 2, 3, 4};
  ASSERT_TRUE(Draw_Glyph(m->pix, Sans(30), U' ', 30, 45, 1.0, kGrey, &u));
  EXPECT_EQ(u.top, 1);
  EXPECT_EQ(u.right, 4);

  GWorldPtr w16 = World(16, Rect{0, 0, 20, 20});
  EXPECT_FALSE(Draw_Glyph(w16->pix, Sans(12), U'A', 5, 15, 1.0, kGrey, nullptr));
  PixMap none;
  Null_PixMap(none);
  EXPECT_FALSE(Draw_Glyph(none, Sans(12), U'A', 5, 15, 1.0, kGrey, nullptr));
  for (double sc : {0.0, -1.0, double(NAN), double(INFINITY)})
    EXPECT_FALSE(Draw_Glyph(m->pix, Sans(12), U'A', 5, 15, sc, kGrey, nullptr)) << sc;

  // Measures: the face's, times the vertical stretch.
  a_fontspec s = Sans(24);
  a_glyph_font_info a, b;
  Get_Glyph_Font_Info(s, a);
  s.vscale = 2;
  s.hscale = 3;
  Get_Glyph_Font_Info(s, b);
  EXPECT_GT(a.ascent, a.descent);
  EXPECT_FLOAT_EQ(b.ascent, 2 * a.ascent);
  EXPECT_FLOAT_EQ(b.descent, 2 * a.descent);
  EXPECT_FLOAT_EQ(b.ul_offset, 2 * a.ul_offset);
  EXPECT_GT(a.ul_offset, 0);
  EXPECT_GE(a.ul_thickness, 1);
}

TEST_F(SysGlyphTest, DrawUnicodeTextHonoursStretchAndPairs) {
  GWorldPtr w = World(32, Rect{0, 0, 120, 400});
  Push_GWorld(w);
  SetTextAlign(theHDC, TA_BASELINE | TA_LEFT | TA_UPDATECP);
  theShadow->text_mode = 1;
  const uint32 white = 0xFFFFFFFF;
  const char16_t text[] = u"Hello";
  a_fontspec s = Sans(30);

  Fill32(w, white);
  Draw_Unicode_Text(s, 10, 80, reinterpret_cast<const UniChar*>(text), 5);
  const Rect plain = Ink(w, white, 0xFFFFFF);
  POINT cp0;
  GetCurrentPositionEx(theHDC, &cp0);

  Fill32(w, white);
  s.hscale = 2;
  Draw_Unicode_Text(s, 10, 80, reinterpret_cast<const UniChar*>(text), 5);
  const Rect wide = Ink(w, white, 0xFFFFFF);
  EXPECT_NEAR(wide.right - wide.left, 2 * (plain.right - plain.left), 4);
  EXPECT_NEAR(wide.bottom - wide.top, plain.bottom - plain.top, 1);
  POINT cp;
  GetCurrentPositionEx(theHDC, &cp);
  EXPECT_EQ(cp.x - 10, 2 * (cp0.x - 10)) << "the pen moved by the stretched advances";
  EXPECT_EQ(cp.y, 80);

  // Aligned at the top, the pen left where it is: the stretched text hangs
  // below y, as plain text does.
  SetTextAlign(theHDC, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  for (float hs : {1.0f, 2.0f}) {
    Fill32(w, white);
    s.hscale = hs;
    Draw_Unicode_Text(s, 10, 20, reinterpret_cast<const UniChar*>(text), 5);
    const Rect top = Ink(w, white, 0xFFFFFF);
    EXPECT_NEAR(top.top, 20 + (plain.top - 80) + Glyph_Font_Ascent(s), 1.5) << hs;
    GetCurrentPositionEx(theHDC, &cp);
    EXPECT_EQ(cp.x, 10);
    EXPECT_EQ(cp.y, 20);
  }
  SetTextAlign(theHDC, TA_BASELINE | TA_LEFT | TA_UPDATECP);
  s.hscale = 2;

  // A surrogate pair is one glyph, drawn as Draw_Glyph draws it.
  Fill32(w, white);
  const char16_t pair[] = u"\U0001D5A0";
  Draw_Unicode_Text(s, 10, 80, reinterpret_cast<const UniChar*>(pair), 2);
  std::vector<uint32> by_text;
  for (int32 y = 0; y < 120; ++y)
    for (int32 x = 0; x < 400; ++x) by_text.push_back(Px32(w, x, y) & 0xFFFFFF);
  GetCurrentPositionEx(theHDC, &cp);
  EXPECT_EQ(cp.x, 10 + std::lround(Glyph_Advance(s, 0x1D5A0)));
  Fill32(w, white);
  ASSERT_TRUE(Draw_Glyph(w->pix, s, 0x1D5A0, 10, 80, 1.0, a_pixel32{{0, 0, 0, 255}}, nullptr));
  int32 diff = 0, ink = 0;
  for (int32 y = 0, i = 0; y < 120; ++y)
    for (int32 x = 0; x < 400; ++x, ++i) {
      const uint32 v = Px32(w, x, y) & 0xFFFFFF;
      diff += v != by_text[size_t(i)];
      ink += v != 0xFFFFFF;
    }
  EXPECT_GT(ink, 50);
  EXPECT_EQ(diff, 0);
}

}  // namespace
