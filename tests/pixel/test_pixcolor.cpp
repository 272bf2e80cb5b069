// Darkness, inversion, hue shift and pull, grey conversion and the RGB / HSV
// conversions of pixel maps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "PixTestUtil.h"
#include "TestSupport.h"
#include "pixel/SysPix.h"
#include "pixel/SysPixColor.h"
#include "platform/SysVideo.h"

namespace {

struct OwnedPix : OwnedPixMap {
  using OwnedPixMap::OwnedPixMap;
  uint8* at(int32 x, int32 v) const {
    return reinterpret_cast<uint8*>(pm.baseAddr) + int64(v) * PixMap_RowBytes(pm) + int64(x) * (pm.pixelSize / 8);
  }
  uint16 get16(int32 x, int32 v) const { return uint16(at(x, v)[0] | (at(x, v)[1] << 8)); }
  void put16(int32 x, int32 v, uint16 c) {
    at(x, v)[0] = uint8(c);
    at(x, v)[1] = uint8(c >> 8);
  }
  a_win_pixel32 get32(int32 x, int32 v) const {
    a_win_pixel32 p;
    std::memcpy(&p, at(x, v), 4);
    return p;
  }
  void put32(int32 x, int32 v, a_win_pixel32 p) { std::memcpy(at(x, v), &p, 4); }
};

a_win_pixel32 Px(uint8 r, uint8 g, uint8 b, uint8 a = 255) {
  a_win_pixel32 p;
  p.r = r, p.g = g, p.b = b, p.a = a;
  return p;
}

a_hsv_color Hsv_Of(a_win_pixel32 p) {
  a_hsv_color h;
  RGB_To_HSV(p, h);
  return h;
}

// Index of the main-table entry that is exactly this colour.
int Main_Index(uint8 r, uint8 g, uint8 b) {
  for (int i = 0; i < 256; ++i) {
    const a_win_pixel32 c = Main_Color(i);
    if (c.r == r && c.g == g && c.b == b) return i;
  }
  return -1;
}

}  // namespace

// ---------------------------------------------------------------------------
// Darkness
// ---------------------------------------------------------------------------

TEST(Darkness, Table) {
  uint8 m[256];
  Calc_Darkness_Map(50, m);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(m[i], i);
  Calc_Darkness_Map(0, m);
  EXPECT_TRUE(std::all_of(m, m + 256, [](uint8 v) { return v == 0; }));
  Calc_Darkness_Map(100, m);
  EXPECT_TRUE(std::all_of(m, m + 256, [](uint8 v) { return v == 255; }));
  Calc_Darkness_Map(75, m);
  EXPECT_EQ(m[0], 127);
  EXPECT_EQ(m[255], 255);
  EXPECT_EQ(m[100], 177);
  Calc_Darkness_Map(25, m);
  EXPECT_EQ(m[255], 127);
  EXPECT_EQ(m[0], 0);
  Calc_Darkness_Map(300, m);  // beyond white is white, not a wrapped byte
  EXPECT_TRUE(std::all_of(m, m + 256, [](uint8 v) { return v == 255; }));
}

TEST(Darkness, SixteenAndThirtyTwoBits) {
  OwnedPix p16(Rect{0, 0, 1, 3}, 16);
  const uint16 in16[3] = {0x0000, 0x7FFF, 0x5294};  // black, white, (20, 20, 20)
  for (int x = 0; x < 3; ++x) p16.put16(x, 0, in16[x]);
  PixMap_Darkness(&p16.pm, 50);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(p16.get16(x, 0), in16[x]);
  PixMap_Darkness(&p16.pm, 75);  // each 5-bit c: (25 c + 25 x 31) div 50
  EXPECT_EQ(p16.get16(0, 0), 15 * 1024 + 15 * 32 + 15);
  EXPECT_EQ(p16.get16(1, 0), 0x7FFF);
  EXPECT_EQ(p16.get16(2, 0), 25 * 1024 + 25 * 32 + 25);
  PixMap_Darkness(&p16.pm, 100);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(p16.get16(x, 0), 0x7FFF);
  PixMap_Darkness(&p16.pm, 0);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(p16.get16(x, 0), 0);

  OwnedPix p32(Rect{0, 0, 1, 2}, 32);
  p32.put32(0, 0, Px(0, 100, 255, 77));
  p32.put32(1, 0, Px(0, 100, 255, 77));
  PixMap_Darkness(&p32.pm, 25);
  for (int x = 0; x < 2; ++x) {
    const a_win_pixel32 p = p32.get32(x, 0);
    EXPECT_EQ(p.r, 0);
    EXPECT_EQ(p.g, 50);
    EXPECT_EQ(p.b, 127);
    EXPECT_EQ(p.a, 77);  // alpha is not a colour
  }
  PixMap_Darkness(&p32.pm, 0);
  EXPECT_EQ(p32.get32(1, 0).raw, 0u);

  OwnedPix p1(Rect{0, 0, 1, 1}, 1);
  EXPECT_THROW(PixMap_Darkness(&p1.pm, 10), QuitCalled);
}

TEST(Darkness, EightBitsMatchTheMainTable) {
  Main_Colors_Init();
  const int red = Main_Index(255, 0, 0), dark_red = Main_Index(153, 0, 0);
  const int grey = Main_Index(51, 51, 51), light_grey = Main_Index(153, 153, 153);
  const int grey_136 = Main_Index(136, 136, 136), grey_204 = Main_Index(204, 204, 204);
  ASSERT_TRUE(red > 0 && dark_red > 0 && grey > 0 && light_grey > 0 && grey_136 > 0 && grey_204 > 0);
  struct Case {
    uint16 factor;
    int in, out;
  };
  const Case cases[] = {
      {60, red, dark_red},         {60, 255, 255},  // white (transparent in stamps) is kept
      {150, grey_136, grey_204},   {300, grey, light_grey},
      {300, red, red},             // beyond full scale stays full: no 16-bit wrap toward black
      {37, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "index " << c.in << " at " << c.factor);
    OwnedPix p(Rect{0, 0, 1, 1}, 8);
    p.at(0, 0)[0] = uint8(c.in);
    PixMap_Darkness(&p.pm, c.factor);
    EXPECT_EQ(p.at(0, 0)[0], c.out);
  }
  OwnedPix p(Rect{0, 0, 2, 2}, 8);
  p.at(0, 0)[0] = uint8(red);
  p.at(1, 1)[0] = 255;
  PixMap_Darkness(&p.pm, 100);
  EXPECT_EQ(p.at(0, 0)[0], red);
  PixMap_Darkness(&p.pm, 0);
  EXPECT_EQ(p.at(0, 0)[0], 0);
  EXPECT_EQ(p.at(1, 1)[0], 0);
}

// ---------------------------------------------------------------------------
// RGB and HSV
// ---------------------------------------------------------------------------

TEST(Hsv, KnownColours) {
  struct Case {
    a_win_pixel32 rgb;
    int16 h, s, v;
  };
  const Case cases[] = {
      {Px(255, 0, 0), 0, 255, 255},     {Px(0, 255, 0), 120, 255, 255}, {Px(0, 0, 255), 240, 255, 255},
      {Px(128, 128, 128), 0, 0, 128},   {Px(255, 0, 255), 300, 255, 255}, {Px(255, 255, 0), 60, 255, 255},
      {Px(0, 0, 0), 0, 0, 0},           {Px(255, 128, 0), 30, 255, 255},  {Px(200, 100, 100), 0, 127, 200},
  };
  for (const Case& c : cases) {
    const a_hsv_color h = Hsv_Of(c.rgb);
    EXPECT_EQ(h.h, c.h) << int(c.rgb.r) << "," << int(c.rgb.g) << "," << int(c.rgb.b);
    EXPECT_EQ(h.s, c.s);
    EXPECT_EQ(h.v, c.v);
  }
  struct Back {
    a_hsv_color hsv;
    uint8 r, g, b;
  };
  const Back backs[] = {
      {{0, 255, 255}, 255, 0, 0},   {{60, 255, 255}, 255, 255, 0}, {{120, 255, 255}, 0, 255, 0},
      {{240, 255, 255}, 0, 0, 255}, {{300, 255, 255}, 255, 0, 255}, {{77, 0, 90}, 90, 90, 90},
  };
  for (const Back& c : backs) {
    a_win_pixel32 p = Px(1, 2, 3, 44);
    HSV_To_RGB(c.hsv, p);
    EXPECT_EQ(p.r, c.r) << c.hsv.h;
    EXPECT_EQ(p.g, c.g);
    EXPECT_EQ(p.b, c.b);
    EXPECT_EQ(p.a, 44);  // not written
  }
  a_win_pixel32 p;
  EXPECT_THROW(HSV_To_RGB(a_hsv_color{360, 10, 10}, p), QuitCalled);
}

namespace {
int Hue_Distance(int a, int b) {
  const int d = std::abs(a - b) % 360;
  return std::min(d, 360 - d);
}
}  // namespace

TEST(Hsv, RoundTrips) {
  // RGB -> HSV -> RGB keeps the brightest channel exactly and the others
  // within the truncations of the two conversions (a 60-degree sector is
  // cut into 59 steps on the way back).
  int worst = 0;
  for (int r = 0; r < 256; r += 5)
    for (int g = 0; g < 256; g += 5)
      for (int b = 0; b < 256; b += 5) {
        const a_win_pixel32 in = Px(uint8(r), uint8(g), uint8(b));
        a_win_pixel32 out = in;
        HSV_To_RGB(Hsv_Of(in), out);
        ASSERT_EQ(std::max({out.r, out.g, out.b}), std::max({in.r, in.g, in.b}));
        worst = std::max({worst, std::abs(out.r - in.r), std::abs(out.g - in.g), std::abs(out.b - in.b)});
      }
  EXPECT_LE(worst, 9);
  // HSV -> RGB -> HSV over the whole hue circle at full saturation.
  for (int16 h = 0; h < 360; ++h) {
    a_win_pixel32 p{};
    HSV_To_RGB(a_hsv_color{h, 255, 255}, p);
    const a_hsv_color back = Hsv_Of(p);
    EXPECT_LE(Hue_Distance(back.h, h), 2) << h;
    EXPECT_EQ(back.s, 255);
    EXPECT_EQ(back.v, 255);
  }
}

TEST(Hsv, PullTowardTargetHue) {
  OwnedPix p(Rect{0, 0, 1, 4}, 32);
  const a_win_pixel32 in[4] = {Px(255, 255, 255, 255), Px(255, 43, 0, 10), Px(30, 200, 90, 200), Px(0, 0, 0, 0)};
  auto load = [&] {
    for (int x = 0; x < 4; ++x) p.put32(x, 0, in[x]);
  };
  // No pull and no darkness: hue, saturation and value stay (up to the
  // conversions' rounding), alpha untouched.
  load();
  PixMap32_HSV(&p.pm, 123, 0, 50, 0);
  for (int x = 0; x < 4; ++x) {
    const a_hsv_color a = Hsv_Of(in[x]), b = Hsv_Of(p.get32(x, 0));
    EXPECT_LE(Hue_Distance(a.h, b.h), 2) << x;
    EXPECT_LE(std::abs(a.s - b.s), 3) << x;
    EXPECT_EQ(a.v, b.v) << x;
    EXPECT_EQ(p.get32(x, 0).a, in[x].a);
  }
  // A hue of 10 pulled halfway to 350 goes the short way, through 0.
  load();
  PixMap32_HSV(&p.pm, 350, 36, 50, 0);
  EXPECT_EQ(Hsv_Of(in[1]).h, 10);
  const int16 pulled = Hsv_Of(p.get32(1, 0)).h;
  EXPECT_TRUE(pulled <= 1 || pulled >= 359) << pulled;
  load();
  PixMap32_HSV(&p.pm, 350, 72, 50, 0);
  EXPECT_NEAR(Hsv_Of(p.get32(1, 0)).h, 350, 2);
  EXPECT_NEAR(Hsv_Of(p.get32(2, 0)).h, 350, 2);
  // Darkness 0 blackens every pixel, the first one (opaque white) included.
  load();
  PixMap32_HSV(&p.pm, 0, 0, 0, 0);
  for (int x = 0; x < 4; ++x) {
    const a_win_pixel32 q = p.get32(x, 0);
    EXPECT_EQ(q.r + q.g + q.b, 0) << x;
    EXPECT_EQ(q.a, in[x].a);
  }
  load();
  PixMap32_HSV(&p.pm, 0, 0, 100, 0);
  EXPECT_EQ(p.get32(2, 0).g, 255);
}

TEST(Hsv, SixteenBitHueShift) {
  // Every 16-bit colour once.
  OwnedPix p(Rect{0, 0, 128, 256}, 16);
  for (int v = 0; v < 128; ++v)
    for (int x = 0; x < 256; ++x) p.put16(x, v, uint16(v * 256 + x));
  for (int16 turn : {360, -360, 720}) {
    PixMap_ColorShift(&p.pm, turn);
    for (int v = 0; v < 128; ++v)
      for (int x = 0; x < 256; ++x) ASSERT_EQ(p.get16(x, v), v * 256 + x) << "turn " << turn;
  }
  // A real turn keeps each colour's strength: its strongest component
  // stays at the same 5-bit level (the 0..31 values once came back as if
  // they were 8-bit and every colour turned nearly black).
  PixMap_ColorShift(&p.pm, 100);
  int changed = 0;
  for (int v = 0; v < 128; ++v)
    for (int x = 0; x < 256; ++x) {
      const int in = v * 256 + x, out = p.get16(x, v);
      auto top = [](int c) { return std::max({(c >> 10) & 31, (c >> 5) & 31, c & 31}); };
      ASSERT_EQ(top(out), top(in)) << std::hex << in;
      changed += out != in;
    }
  EXPECT_GT(changed, 30000);
  struct Case {
    uint16 in;
    int16 shift;
    uint16 out;
  };
  const Case cases[] = {
      {0x7C00, 120, 0x03E0},  // red to green: colours keep their strength
      {0x03E0, 120, 0x001F},  // green to blue
      {0x7C00, -120, 0x001F},
      {0x4210, 77, 0x4210},   // grey has no hue
      {0x7800, 240, 0x001E},  // a darker red (30) to blue
  };
  for (const Case& c : cases) {
    OwnedPix q(Rect{0, 0, 1, 2}, 16);
    q.put16(0, 0, c.in);
    q.put16(1, 0, c.in);
    PixMap16_ColorShift(&q.pm, c.shift);
    EXPECT_EQ(q.get16(0, 0), c.out) << std::hex << c.in << " by " << std::dec << c.shift;
    EXPECT_EQ(q.get16(1, 0), c.out);
  }
  OwnedPix p8(Rect{0, 0, 1, 1}, 8), p32(Rect{0, 0, 1, 1}, 32);
  EXPECT_THROW(PixMap_ColorShift(&p8.pm, 10), QuitCalled);
  EXPECT_THROW(PixMap_ColorShift(&p32.pm, 10), QuitCalled);
}

// ---------------------------------------------------------------------------
// Grey, inversion, density
// ---------------------------------------------------------------------------

TEST(Gray, SixteenAndThirtyTwoBits) {
  OwnedPix p16(Rect{2, 3, 3, 7}, 16);
  const uint16 in16[4] = {0x7FFF, 0x0000, 0x7C00, 0x03E0};
  for (int x = 0; x < 4; ++x) p16.put16(x, 0, in16[x]);
  OwnedPix g16;
  PixMap_Gray(&p16.pm, g16.pm);
  ASSERT_EQ(g16.pm.pixelSize, 8);
  EXPECT_EQ(g16.pm.bounds, p16.pm.bounds);
  const uint8 expect[4] = {0, 255, 255 - 76, 255 - 150};  // white is 0 in the grey table
  for (int x = 0; x < 4; ++x) EXPECT_EQ(g16.at(x, 0)[0], expect[x]) << x;

  OwnedPix p32(Rect{0, 0, 1, 4}, 32);
  const a_win_pixel32 in32[4] = {Px(255, 255, 255, 0), Px(0, 0, 0), Px(255, 0, 0), Px(0, 255, 0)};
  for (int x = 0; x < 4; ++x) p32.put32(x, 0, in32[x]);
  OwnedPix g32;
  PixMap_Gray(&p32.pm, g32.pm);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(g32.at(x, 0)[0], expect[x]) << x;

  OwnedPix p8(Rect{0, 0, 1, 1}, 8), g8;
  EXPECT_THROW(PixMap_Gray(&p8.pm, g8.pm), QuitCalled);
}

TEST(Invert, ComplementsEveryByte) {
  OwnedPix p(Rect{0, 0, 3, 3}, 32);
  for (uint32 i = 0; i < PixMap_Len(p.pm); ++i) p.pm.baseAddr[i] = char(i * 37);
  PixMap_Invert(&p.pm);
  for (uint32 i = 0; i < PixMap_Len(p.pm); ++i) ASSERT_EQ(uint8(p.pm.baseAddr[i]), uint8(~(i * 37)));
  PixMap_Invert(&p.pm);
  for (uint32 i = 0; i < PixMap_Len(p.pm); ++i) ASSERT_EQ(uint8(p.pm.baseAddr[i]), uint8(i * 37));
}

TEST(Density, ScalesBytes) {
  OwnedPix p(Rect{0, 0, 1, 4}, 8);
  const uint8 in[4] = {0, 1, 200, 255};
  struct Case {
    int16 opacity;
    uint8 out[4];
  };
  const Case cases[] = {{100, {0, 1, 200, 255}}, {50, {0, 0, 100, 127}}, {0, {0, 0, 0, 0}}, {250, {0, 1, 200, 255}}};
  for (const Case& c : cases) {
    std::memcpy(p.pm.baseAddr, in, 4);
    PixMap8_ScaleDensity(&p.pm, c.opacity);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(p.at(x, 0)[0], c.out[x]) << c.opacity;
  }
}
