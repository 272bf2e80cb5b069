// Glyphs drawn one at a time through any 2 x 2 transform at a sub-pixel
// origin, under the pinned DejaVu font configuration.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "host/HostFont.h"

namespace {

#define REQUIRE_DEJAVU()                                 \
  do {                                                   \
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message(); \
  } while (0)

HostLogFont Sans(int32 em, const char* face = "DejaVu Sans") {
  HostLogFont lf;
  lf.lfHeight = -em;
  Host_Utf8_To_Face_Name(face, lf.lfFaceName);
  return lf;
}

HostGlyphXform Turn(double deg, double sx = 1, double sy = 1) {
  const double a = deg * M_PI / 180, c = std::cos(a), s = std::sin(a);
  return HostGlyphXform{c * sx, -s * sy, s * sx, c * sy};
}

// An 8-bit coverage canvas.
struct Canvas {
  int32 w, h;
  std::vector<uint8> px;
  Canvas(int32 width, int32 height) : w(width), h(height), px(size_t(width) * size_t(height), 0) {}
  HostGlyphTarget Target(uint8 level = 255) {
    HostGlyphTarget t;
    t.bits = px.data();
    t.stride = w;
    t.width = w;
    t.height = h;
    t.depth = 8;
    t.color = level;
    return t;
  }
  uint8 At(int32 x, int32 y) const {
    return x < 0 || y < 0 || x >= w || y >= h ? 0 : px[size_t(y) * size_t(w) + size_t(x)];
  }
  int64 Mass() const {
    int64 m = 0;
    for (uint8 v : px) m += v;
    return m;
  }
  // Centroid of the coverage (pixel centres).
  void Centroid(double& cx, double& cy) const {
    double sx = 0, sy = 0, m = 0;
    for (int32 y = 0; y < h; ++y)
      for (int32 x = 0; x < w; ++x) {
        const double v = At(x, y);
        sx += v * (x + 0.5), sy += v * (y + 0.5), m += v;
      }
    cx = m > 0 ? sx / m : 0, cy = m > 0 ? sy / m : 0;
  }
  // Columns and rows holding ink of at least `min`: [x0, x1) x [y0, y1).
  RECT Ink(uint8 min = 1) const {
    RECT r{w, h, 0, 0};
    for (int32 y = 0; y < h; ++y)
      for (int32 x = 0; x < w; ++x)
        if (At(x, y) >= min) {
          r.left = std::min(r.left, x), r.top = std::min(r.top, y);
          r.right = std::max(r.right, x + 1), r.bottom = std::max(r.bottom, y + 1);
        }
    return r;
  }
  // Any ink of at least `min` within one pixel of (x, y)?
  bool Near(double x, double y, uint8 min) const {
    const int32 ix = int32(std::floor(x)), iy = int32(std::floor(y));
    for (int32 dy = -1; dy <= 1; ++dy)
      for (int32 dx = -1; dx <= 1; ++dx)
        if (At(ix + dx, iy + dy) >= min) return true;
    return false;
  }
};

TEST(HostGlyphs, RotatedGlyphIsTheUprightOneTurned) {
  REQUIRE_DEJAVU();
  const HostLogFont lf = Sans(40);
  const double ox = 80.25, oy = 90.5;
  Canvas up(160, 160);
  ASSERT_TRUE(Host_Glyph_Draw(lf, U'F', HostGlyphXform{}, ox, oy, up.Target(), nullptr));
  ASSERT_GT(up.Mass(), 0);
  for (double deg : {90.0, 33.0, 217.5, -61.0}) {
    SCOPED_TRACE(deg);
    Canvas turned(160, 160);
    ASSERT_TRUE(Host_Glyph_Draw(lf, U'F', Turn(deg), ox, oy, turned.Target(), nullptr));
    // The same amount of ink, within 3 %.
    EXPECT_NEAR(double(turned.Mass()), double(up.Mass()), 0.03 * double(up.Mass()));
    const double a = deg * M_PI / 180, c = std::cos(a), s = std::sin(a);
    // Every well-covered pixel of each lies within a pixel of ink in the other.
    int32 misses = 0, checked = 0;
    for (int32 y = 0; y < turned.h; ++y)
      for (int32 x = 0; x < turned.w; ++x) {
        const double vx = x + 0.5 - ox, vy = -(y + 0.5 - oy);  // y up
        if (turned.At(x, y) >= 192) {
          ++checked;
          const double gx = c * vx + s * vy, gy = -s * vx + c * vy;  // turned back
          misses += up.Near(ox + gx, oy - gy, 1) ? 0 : 1;
        }
        if (up.At(x, y) >= 192) {
          const double gx = c * vx - s * vy, gy = s * vx + c * vy;  // turned forward
          misses += turned.Near(ox + gx, oy - gy, 1) ? 0 : 1;
        }
      }
    EXPECT_GT(checked, 50);
    EXPECT_EQ(misses, 0);
  }
}

TEST(HostGlyphs, StretchWidensAndSkewShears) {
  REQUIRE_DEJAVU();
  const HostLogFont lf = Sans(48);
  Canvas plain(200, 120);
  ASSERT_TRUE(Host_Glyph_Draw(lf, U'H', HostGlyphXform{}, 20, 90, plain.Target(), nullptr));
  const RECT p = plain.Ink(128);
  const double pw = p.right - p.left, ph = p.bottom - p.top;
  ASSERT_GT(pw, 20);

  struct Case {
    HostGlyphXform m;
    double width, height;  // of the ink, times the plain one's
  };
  const Case cases[] = {
      {{2, 0, 0, 1}, 2.0, 1.0},
      {{1, 0, 0, 1.5}, 1.0, 1.5},
      {{0.5, 0, 0, 0.5}, 0.5, 0.5},
  };
  for (const Case& k : cases) {
    Canvas c(200, 120);
    ASSERT_TRUE(Host_Glyph_Draw(lf, U'H', k.m, 20, 90, c.Target(), nullptr));
    const RECT r = c.Ink(128);
    EXPECT_NEAR(r.right - r.left, pw * k.width, 2.0) << k.m.xx << " " << k.m.yy;
    EXPECT_NEAR(r.bottom - r.top, ph * k.height, 2.0) << k.m.xx << " " << k.m.yy;
    EXPECT_NEAR(r.bottom, p.bottom, 1.0) << "the glyph stays on its baseline";
  }

  // A horizontal skew of 0.5 moves each row right by half its height above
  // the baseline: the left stem's edge leans.
  Canvas sk(200, 120);
  ASSERT_TRUE(Host_Glyph_Draw(lf, U'H', HostGlyphXform{1, 0.5, 0, 1}, 20, 90, sk.Target(), nullptr));
  auto left_edge = [&](const Canvas& cv, int32 y) {
    for (int32 x = 0; x < cv.w; ++x)
      if (cv.At(x, y) >= 128) return x;
    return -1;
  };
  const int32 y_low = p.bottom - 3, y_high = p.top + 3;
  const int32 lean = (left_edge(sk, y_high) - left_edge(sk, y_low)) -
                     (left_edge(plain, y_high) - left_edge(plain, y_low));
  EXPECT_NEAR(lean, 0.5 * (y_low - y_high), 1.5);
  // Vertical skew lifts the right side.
  Canvas vk(200, 200);
  ASSERT_TRUE(Host_Glyph_Draw(lf, U'H', HostGlyphXform{1, 0, 0.5, 1}, 20, 150, vk.Target(), nullptr));
  const RECT v = vk.Ink(128);
  EXPECT_NEAR(v.bottom - v.top, ph + 0.5 * pw, 2.5);
}

TEST(HostGlyphs, SubPixelOriginAndAdvance) {
  REQUIRE_DEJAVU();
  const HostLogFont lf = Sans(24);
  double cx0 = 0, cy0 = 0;
  {
    Canvas c(60, 60);
    ASSERT_TRUE(Host_Glyph_Draw(lf, U'o', HostGlyphXform{}, 20, 40, c.Target(), nullptr));
    c.Centroid(cx0, cy0);
  }
  for (double f : {0.25, 0.5, 0.75}) {
    Canvas c(60, 60);
    ASSERT_TRUE(Host_Glyph_Draw(lf, U'o', HostGlyphXform{}, 20 + f, 40 + f, c.Target(), nullptr));
    double cx = 0, cy = 0;
    c.Centroid(cx, cy);
    EXPECT_NEAR(cx - cx0, f, 0.08);
    EXPECT_NEAR(cy - cy0, f, 0.08);
  }
  // Advances are the face's whole pixels, the same as the logical font's.
  HFONT f = CreateFontIndirectW(&lf);
  ASSERT_NE(f, nullptr);
  for (char32_t cp : {U'o', U'W', U' ', U'i'})
    EXPECT_EQ(Host_Glyph_Advance(lf, cp), Host_Font_Advance(f, Host_Font_Glyph_Index(f, cp)));
  EXPECT_GT(Host_Glyph_Advance(lf, U'W'), Host_Glyph_Advance(lf, U'i'));
  DeleteObject(f);
}

TEST(HostGlyphs, OneFaceServesEveryAngle) {
  REQUIRE_DEJAVU();
  // A size no other test uses, so its face opens here.
  const HostLogFont lf = Sans(37);
  Canvas c(300, 300);
  const int32 before = Host_Font_Faces_Opened();
  for (int32 i = 0; i < 200; ++i) {
    const double a = i * 1.8 * M_PI / 180;
    ASSERT_TRUE(Host_Glyph_Draw(lf, char32_t(U'A' + i % 26), Turn(i * 1.8 + 90), 150 + 110 * std::cos(a),
                                150 - 110 * std::sin(a), c.Target(), nullptr));
  }
  EXPECT_EQ(Host_Font_Faces_Opened() - before, 1);
  // Logical fonts at 60 escapements of the same face and size share it too.
  std::vector<HFONT> fonts;
  for (int32 e = 0; e < 3600; e += 60) {
    HostLogFont l = lf;
    l.lfEscapement = e;
    fonts.push_back(CreateFontIndirectW(&l));
    HostGlyphBitmap g;
    ASSERT_TRUE(Host_Font_Glyph(fonts.back(), Host_Font_Glyph_Index(fonts.back(), U'R'), false, &g));
    EXPECT_NE(g.cov, nullptr);
  }
  EXPECT_EQ(Host_Font_Faces_Opened() - before, 1);
  for (HFONT f : fonts) DeleteObject(f);
  EXPECT_GT(c.Mass(), 0);
}

TEST(HostGlyphs, CombiningMarkSitsOnItsBase) {
  REQUIRE_DEJAVU();
  const HostLogFont lf = Sans(40);
  EXPECT_EQ(Host_Glyph_Advance(lf, U'\u0301'), 0);
  Canvas base(100, 100), mark(100, 100);
  const int32 adv = Host_Glyph_Advance(lf, U'e');
  ASSERT_TRUE(Host_Glyph_Draw(lf, U'e', HostGlyphXform{}, 20, 70, base.Target(), nullptr));
  ASSERT_TRUE(Host_Glyph_Draw(lf, U'\u0301', HostGlyphXform{}, 20 + adv, 70, mark.Target(), nullptr));
  const RECT b = base.Ink(), m = mark.Ink();
  ASSERT_LT(m.left, m.right);
  EXPECT_GE(m.left, b.left - 1);
  EXPECT_LE(m.right, b.right + 1);
  EXPECT_LE(m.bottom, b.top + 2) << "the acute stands above the e";
}

TEST(HostGlyphs, SupplementaryCodePointIsOneGlyph) {
  REQUIRE_DEJAVU();
  const HostLogFont lf = Sans(40);
  // MATHEMATICAL SANS-SERIF CAPITAL A: a real glyph of DejaVu Sans, not the
  // missing box.
  const char32_t cp = 0x1D5A0;
  HFONT f = CreateFontIndirectW(&lf);
  EXPECT_NE(Host_Font_Glyph_Index(f, cp), 0u);
  DeleteObject(f);
  Canvas a(100, 100), box(100, 100);
  ASSERT_TRUE(Host_Glyph_Draw(lf, cp, HostGlyphXform{}, 20, 70, a.Target(), nullptr));
  ASSERT_TRUE(Host_Glyph_Draw(lf, 0x10FFFD, HostGlyphXform{}, 20, 70, box.Target(), nullptr));
  EXPECT_GT(a.Mass(), 0);
  EXPECT_NE(a.px, box.px);
  EXPECT_EQ(Host_Glyph_Advance(lf, cp), Host_Glyph_Advance(lf, U'A'));
}

TEST(HostGlyphs, MissingGlyphIsAHollowBox) {
  REQUIRE_DEJAVU();
  const HostLogFont lf = Sans(40);
  for (char32_t cp : {char32_t(0x10FFFD), char32_t(0x0378), char32_t(0xD800), char32_t(0x110000)}) {
    SCOPED_TRACE(uint32(cp));
    Canvas c(100, 100);
    ASSERT_TRUE(Host_Glyph_Draw(lf, cp, HostGlyphXform{}, 20, 70, c.Target(), nullptr));
    const RECT r = c.Ink(128);
    ASSERT_GT(r.right - r.left, 8);
    ASSERT_GT(r.bottom - r.top, 8);
    const int32 mx = (r.left + r.right) / 2, my = (r.top + r.bottom) / 2;
    EXPECT_EQ(c.At(mx, my), 0) << "hollow in the middle";
    EXPECT_GE(c.At(mx, r.top), 128) << "framed at the top";
    EXPECT_GE(c.At(r.left, my), 128) << "framed at the left";
    EXPECT_GT(Host_Glyph_Advance(lf, cp), r.right - r.left - 2);
  }
}

TEST(HostGlyphs, ColourTouchedBoxClippingAndRefusals) {
  REQUIRE_DEJAVU();
  const HostLogFont lf = Sans(30);
  // A 32-bit target: full coverage is the colour, its four bytes in order.
  std::vector<uint32> px(64 * 48, 0x01020304u);
  HostGlyphTarget t;
  t.bits = reinterpret_cast<uint8*>(px.data());
  t.stride = 64 * 4;
  t.width = 64;
  t.height = 48;
  t.depth = 32;
  t.color = 0xFF8040C0u;
  RECT box{};
  ASSERT_TRUE(Host_Glyph_Draw(lf, U'I', HostGlyphXform{}, 10, 40, t, &box));
  ASSERT_LT(box.left, box.right);
  int32 full = 0;
  RECT seen{64, 48, 0, 0};
  for (int32 y = 0; y < 48; ++y)
    for (int32 x = 0; x < 64; ++x) {
      const uint32 v = px[size_t(y) * 64 + size_t(x)];
      if (v == 0x01020304u) continue;
      seen.left = std::min(seen.left, x), seen.top = std::min(seen.top, y);
      seen.right = std::max(seen.right, x + 1), seen.bottom = std::max(seen.bottom, y + 1);
      full += v == 0xFF8040C0u;
    }
  EXPECT_GT(full, 20);
  EXPECT_EQ(std::memcmp(&seen, &box, sizeof box), 0) << "the box bounds exactly what changed";

  // Half outside every edge: only the target's pixels change (the sanitiser
  // build checks the rest).
  Canvas c(40, 40);
  const double origins[][2] = {{-15, 30}, {30, 30}, {10, 8}, {10, 60}};
  for (const auto& o : origins) {
    RECT r{};
    ASSERT_TRUE(Host_Glyph_Draw(lf, U'W', Turn(20), o[0], o[1], c.Target(), &r));
    if (r.left < r.right) {
      EXPECT_GE(r.left, 0);
      EXPECT_GE(r.top, 0);
      EXPECT_LE(r.right, 40);
      EXPECT_LE(r.bottom, 40);
    }
  }
  EXPECT_GT(c.Mass(), 0);
  // Far away: nothing drawn, nothing touched.
  Canvas far(40, 40);
  RECT r{1, 1, 2, 2};
  EXPECT_TRUE(Host_Glyph_Draw(lf, U'W', HostGlyphXform{}, 1e7, -1e7, far.Target(), &r));
  EXPECT_EQ(far.Mass(), 0);
  EXPECT_GE(r.left, r.right);
  // A glyph so large its outline leaves the rasteriser's reach.
  EXPECT_TRUE(Host_Glyph_Draw(lf, U'W', HostGlyphXform{1e6, 0, 0, 1e6}, 20, 20, far.Target(), nullptr));
  // Refusals.
  EXPECT_FALSE(Host_Glyph_Draw(lf, U'W', HostGlyphXform{NAN, 0, 0, 1}, 20, 20, far.Target(), nullptr));
  EXPECT_FALSE(Host_Glyph_Draw(lf, U'W', HostGlyphXform{}, INFINITY, 20, far.Target(), nullptr));
  HostGlyphTarget bad = far.Target();
  bad.depth = 16;
  EXPECT_FALSE(Host_Glyph_Draw(lf, U'W', HostGlyphXform{}, 20, 20, bad, nullptr));
  bad = far.Target();
  bad.bits = nullptr;
  EXPECT_FALSE(Host_Glyph_Draw(lf, U'W', HostGlyphXform{}, 20, 20, bad, nullptr));
  EXPECT_EQ(far.Mass(), 0);
}

TEST(HostGlyphs, IntoADeviceContextThroughItsOriginAndClip) {
  REQUIRE_DEJAVU();
  const HostLogFont lf = Sans(30);
  const HostGlyphXform m = Turn(15, 1.5, 1);
  HBITMAP surf = Host_NewSurface(100, 80, 32, nullptr, 0);
  HDC dc = Host_CreateSurfaceDC(surf);
  ASSERT_NE(dc, nullptr);
  PatBlt(dc, 0, 0, 100, 80, WHITENESS);
  SetTextColor(dc, RGB(255, 0, 0));
  SetWindowOrgEx(dc, 50, 0, nullptr);        // logical x 50 is device column 0
  IntersectClipRect(dc, 50, 0, 80, 80);      // device columns 0 .. 29
  ASSERT_TRUE(Host_Glyph_Draw_DC(dc, lf, U'W', m, 55.5, 60));
  Canvas want(100, 80);
  ASSERT_TRUE(Host_Glyph_Draw(lf, U'W', m, 5.5, 60, want.Target(), nullptr));
  const HostSurface* s = Host_Surface(surf);
  int32 wrong = 0, full = 0;
  for (int32 y = 0; y < 80; ++y)
    for (int32 x = 0; x < 100; ++x) {
      uint32 v;
      std::memcpy(&v, s->bits + int64(y) * s->stride + 4 * x, 4);
      v &= 0xFFFFFF;
      const bool inked = v != 0xFFFFFF, expect = x < 30 && want.At(x, y) > 0;
      wrong += inked != expect;
      if (x < 30 && want.At(x, y) == 255) full += v == 0xFF0000;
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(full, 10) << "fully covered pixels take the text colour";
  EXPECT_GT(want.Ink().right, 30) << "the glyph reaches past the clip";
  EXPECT_FALSE(Host_Glyph_Draw_DC(nullptr, lf, U'W', m, 0, 0));
  DeleteDC(dc);
  DeleteObject(surf);
}

TEST(HostGlyphs, FaceMetricsAndSynthesis) {
  REQUIRE_DEJAVU();
  HostGlyphFaceMetrics m;
  ASSERT_TRUE(Host_Glyph_Face_Metrics(Sans(24), &m));
  EXPECT_EQ(m.em, 24);
  const HostLogFont lf24 = Sans(24);
  HFONT f = CreateFontIndirectW(&lf24);
  HostTextMetric tm;
  Host_Font_Metrics(f, &tm);
  DeleteObject(f);
  EXPECT_EQ(m.ascent, tm.tmAscent);
  EXPECT_EQ(m.descent, tm.tmDescent);
  // DejaVu Sans: the underline 90 units thick of 2048, its middle below the
  // baseline and above the descent.
  EXPECT_NEAR(m.ul_thickness, 90.0 * 24 / 2048, 0.01);
  EXPECT_GT(m.ul_offset, m.ul_thickness / 2);
  EXPECT_LT(m.ul_offset, m.descent - m.ul_thickness);
  // Bold the family has: its own face, the same ink as the bold face draws.
  HostLogFont bold = Sans(40);
  bold.lfWeight = FW_BOLD;
  Canvas b(100, 100), r(100, 100);
  ASSERT_TRUE(Host_Glyph_Draw(bold, U'l', HostGlyphXform{}, 20, 70, b.Target(), nullptr));
  ASSERT_TRUE(Host_Glyph_Draw(Sans(40), U'l', HostGlyphXform{}, 20, 70, r.Target(), nullptr));
  EXPECT_GT(b.Mass(), r.Mass() * 5 / 4);
  // Italics a family lacks are sheared: the math family has no italic face.
  HostLogFont it = Sans(40, "DejaVu Math TeX Gyre");
  HostLogFont up = it;
  it.lfItalic = 1;
  Canvas ci(100, 100), cu(100, 100);
  ASSERT_TRUE(Host_Glyph_Draw(it, U'l', HostGlyphXform{}, 20, 70, ci.Target(), nullptr));
  ASSERT_TRUE(Host_Glyph_Draw(up, U'l', HostGlyphXform{}, 20, 70, cu.Target(), nullptr));
  // The left edge of the stem near its top and its foot.
  auto lean = [](const Canvas& c) {
    const RECT r = c.Ink(128);
    auto left = [&](int32 y) {
      for (int32 x = 0; x < c.w; ++x)
        if (c.At(x, y) >= 128) return x;
      return -1;
    };
    return double(left(r.top + 2) - left(r.bottom - 3)) / double(r.bottom - 5 - r.top);
  };
  EXPECT_NEAR(lean(ci) - lean(cu), 0.2126, 0.06) << "sheared by about 12 degrees";
}

}  // namespace
