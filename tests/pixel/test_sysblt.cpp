// The blit layer: kernel choice by depth pair against pixel values worked
// out from the conversion formulas, two-step temporaries, clipping (also of
// scaled copies), masked and deep-masked copies, unsupported combinations,
// copies into device contexts, and the services (seed fill dispatch, screen
// save and restore, channel extraction, blend value).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "TestSupport.h"
#include "host/HostGdi.h"
#include "pixel/Asm32Blt.h"
#include "pixel/DrawUtil.h"
#include "pixel/DrawUtilDraw.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPix.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysInfo.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

// A pixel read and written as one value: depth 1 a bit, 8 a byte, 16 the
// L555 value, 24 0xRRGGBB, 32 the raw BGRA word.
uint8* Row_Of(const PixMap& pm, int v) {
  return reinterpret_cast<uint8*>(pm.baseAddr) + size_t(v - pm.bounds.top) * PixMap_RowBytes(pm);
}
void Put_Raw(const PixMap& pm, int h, int v, uint32 val) {
  const int x = h - pm.bounds.left;
  uint8* r = Row_Of(pm, v);
  switch (pm.pixelSize) {
    case 1:
      if (val & 1)
        r[x / 8] |= uint8(0x80 >> (x % 8));
      else
        r[x / 8] &= uint8(~(0x80 >> (x % 8)));
      break;
    case 8: r[x] = uint8(val); break;
    case 16: std::memcpy(r + 2 * x, &val, 2); break;
    case 24: r[3 * x] = uint8(val); r[3 * x + 1] = uint8(val >> 8); r[3 * x + 2] = uint8(val >> 16); break;
    default: std::memcpy(r + 4 * x, &val, 4); break;
  }
}
uint32 Get_Raw(const PixMap& pm, int h, int v) {
  const int x = h - pm.bounds.left;
  const uint8* r = Row_Of(pm, v);
  uint32 val = 0;
  switch (pm.pixelSize) {
    case 1: return (r[x / 8] >> (7 - x % 8)) & 1u;
    case 8: return r[x];
    case 16: std::memcpy(&val, r + 2 * x, 2); return val;
    case 24: return uint32(r[3 * x]) | uint32(r[3 * x + 1]) << 8 | uint32(r[3 * x + 2]) << 16;
    default: std::memcpy(&val, r + 4 * x, 4); return val;
  }
}

// A map whose pixels the test reads and writes as one value (above).
struct Map {
  PixMap pm{};
  Map(Rect r, int16 d, CTabHandle ct = nullptr) { New_PixMap(pm, r, d, ct); }
  ~Map() { Dispose_PixMap(pm); }
  Map(const Map&) = delete;
  Map& operator=(const Map&) = delete;
  PixMapPtr get() { return &pm; }
  uint8* row(int v) const { return Row_Of(pm, v); }
  void put(int h, int v, uint32 val) const { Put_Raw(pm, h, v, val); }
  uint32 get(int h, int v) const { return Get_Raw(pm, h, v); }
  void fill(std::function<uint32(int, int)> f) const {
    for (int v = pm.bounds.top; v < pm.bounds.bottom; ++v)
      for (int h = pm.bounds.left; h < pm.bounds.right; ++h) put(h, v, f(h, v));
  }
};

uint32 Hash(int h, int v) {
  uint32 x = uint32(h * 7919 + v * 104729 + 12345) * 2654435761u;
  return x ^ (x >> 13);
}

uint32 Value_For(int16 depth, uint32 x) {
  switch (depth) {
    case 1: return x & 1;
    case 8: return x & 0xFF;
    case 16: return x & 0x7FFF;
    case 24: return x & 0xFFFFFF;
    default: return x;
  }
}

uint32 W5(uint32 c) { return (c << 3) | (c >> 2); }
uint32 To16(uint32 rgb) {
  return (((rgb >> 16) & 255) >> 3) << 10 | (((rgb >> 8) & 255) >> 3) << 5 | ((rgb & 255) >> 3);
}
uint32 From16(uint32 s) { return W5((s >> 10) & 31) << 16 | W5((s >> 5) & 31) << 8 | W5(s & 31); }

constexpr RGBColor kFore{10 * 257, 20 * 257, 30 * 257};
constexpr RGBColor kBack{200 * 257, 150 * 257, 100 * 257};
constexpr uint32 kForeRaw = 30 | 20 << 8 | 10 << 16;    // b, g, r, alpha 0
constexpr uint32 kBackRaw = 100 | 150 << 8 | 200 << 16;

class SysBltTest : public ::testing::Test {
 protected:
  GWorldPtr port = nullptr;
  void SetUp() override {
    SysWin_Init();
    Set_GWorld(nullptr);
    SysVideo_Init();
    InitGray();
    SysBlt_Init();
    ASSERT_EQ(New_GWorld(Rect{0, 0, 4, 4}, 32, nullptr, port), noErr);
    Set_GWorld(port);
    RGBForeColor(kFore);
    RGBBackColor(kBack);
  }
  void TearDown() override {
    SysBlt_Stop();
    Port_Stack_Clear();
    Set_GWorld(nullptr);
    Dispose_GWorld(port);
    SysVideo_Stop();
  }
  // What a source pixel s becomes in the destination depth.
  static uint32 Expect(int16 sd, int16 dd, uint32 s, const PixMap& src) {
    if (sd == dd && sd != 8) return s;
    switch (sd) {
      case 32:
        return dd == 24 ? (s & 0xFFFFFF) : To16(s & 0xFFFFFF);
      case 24: return To16(s);
      case 16: return dd == 24 ? From16(s) : From16(s);  // 32: alpha 0
      case 8: {
        if (dd == 8) return s;
        const CTabPtr t = CTab_Ptr(src.pmTable);
        const uint32 rgb = uint32(t->ctTable[s].rgb.red >> 8) << 16 | uint32(t->ctTable[s].rgb.green >> 8) << 8 |
                           uint32(t->ctTable[s].rgb.blue >> 8);
        return dd == 24 ? rgb : (rgb | 0xFF000000u);
      }
      case 1: {
        switch (dd) {
          case 32:
          case 24: return s ? kForeRaw : kBackRaw;
          case 16: return To16(s ? kForeRaw : kBackRaw);
          case 8: return s ? theShadow->fore_colorx : theShadow->back_colorx;
        }
      }
    }
    return 0xDEAD;
  }
};

constexpr uint32 kSentinel = 0x5A5A5A5A;

struct Pair {
  int16 sd, dd;
};
const Pair kPairs[] = {{32, 32}, {32, 24}, {32, 16}, {24, 24}, {24, 16}, {16, 16}, {16, 24}, {16, 32},
                       {8, 8},   {8, 24},  {8, 32},  {1, 32},  {1, 24},  {1, 16},  {1, 8},   {1, 1}};

bool Scales(const Pair& p) { return !(p.sd == 1 && p.dd != 1 && p.dd != 8); }

}  // namespace

// Every depth pair at the same size and scaled (6 x 6 from 4 x 4: nearest
// sample floor(j x 4 / 6)), maps in non-zero coordinates, pixels outside the
// destination rectangle untouched.
TEST_F(SysBltTest, DepthPairsSameSizeAndScaled) {
  for (const Pair& p : kPairs) {
    for (bool scaled : {false, true}) {
      if (scaled && !Scales(p)) continue;
      SCOPED_TRACE(testing::Message() << p.sd << " -> " << p.dd << (scaled ? " scaled" : ""));
      Map src(Rect{5, 7, 9, 11}, p.sd, p.sd == 8 ? gray_ctable : nullptr);
      src.fill([&](int h, int v) { return Value_For(p.sd, Hash(h, v)); });
      Map dst(Rect{-3, -2, 7, 8}, p.dd);
      dst.fill([&](int, int) { return Value_For(p.dd, kSentinel); });
      const Rect sr{5, 7, 9, 11};
      const Rect dr = scaled ? Rect{-1, 0, 5, 6} : Rect{0, 1, 4, 5};
      Pix_To_Pix(src.get(), dst.get(), sr, dr, srcCopy, nullptr);
      const int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
      for (int v = -3; v < 7; ++v)
        for (int h = -2; h < 8; ++h) {
          const bool in = h >= dr.left && h < dr.right && v >= dr.top && v < dr.bottom;
          uint32 want = Value_For(p.dd, kSentinel);
          if (in) {
            const int sh = sr.left + (h - dr.left) * 4 / dw, sv = sr.top + (v - dr.top) * 4 / dh;
            want = Expect(p.sd, p.dd, src.get(sh, sv), src.pm);
          }
          ASSERT_EQ(dst.get(h, v), want) << "at " << h << "," << v;
        }
    }
  }
}

// The colour mapping of 8-bit sources gives opaque pixels, with the map's
// own table or (no table) the main colour table.
TEST_F(SysBltTest, EightBitSourcesGiveOpaquePixels) {
  Map src(Rect{0, 0, 1, 3}, 8);
  src.put(0, 0, 0);
  src.put(1, 0, 17);
  src.put(2, 0, 255);
  Map dst(Rect{0, 0, 1, 3}, 32);
  Pix_To_Pix(src.get(), dst.get(), src.pm.bounds, dst.pm.bounds, srcCopy, nullptr);
  for (int h = 0; h < 3; ++h) {
    const a_win_pixel32 m = g_video.main_colors32[src.get(h, 0)];
    EXPECT_EQ(dst.get(h, 0), uint32(m.b) | uint32(m.g) << 8 | uint32(m.r) << 16 | 0xFF000000u);
  }
}

// Modes through Pix_To_Pix: transparent leaves out white whatever its alpha,
// blend weighs by the port's opacity, 1-bit srcOr paints only set bits.
TEST_F(SysBltTest, ModesThroughPixToPix) {
  Map src(Rect{0, 0, 1, 3}, 32), dst(Rect{0, 0, 1, 3}, 32);
  src.put(0, 0, 0x00FFFFFF);  // white, alpha 0
  src.put(1, 0, 0x80102030);
  src.put(2, 0, 0xFF808080);
  dst.fill([](int, int) { return 0x11406080u; });
  Pix_To_Pix(src.get(), dst.get(), src.pm.bounds, dst.pm.bounds, transparent, nullptr);
  EXPECT_EQ(dst.get(0, 0), 0x11406080u);
  EXPECT_EQ(dst.get(1, 0), 0x80102030u);

  Set_Blend_Value(50);  // opacity 127
  dst.fill([](int, int) { return 0x11406080u; });
  Pix_To_Pix(src.get(), dst.get(), src.pm.bounds, dst.pm.bounds, blend, nullptr);
  auto mix = [](uint32 s, uint32 d) { return (s * 127 + d * 128) >> 8; };
  EXPECT_EQ(dst.get(2, 0), 0x11000000u | mix(0x80, 0x40) << 16 | mix(0x80, 0x60) << 8 | mix(0x80, 0x80));

  Map bits(Rect{0, 0, 1, 2}, 1), d32(Rect{0, 0, 1, 2}, 32);
  bits.put(0, 0, 1);
  d32.fill([](int, int) { return 0x01020304u; });
  Pix_To_Pix(bits.get(), d32.get(), bits.pm.bounds, d32.pm.bounds, srcOr, nullptr);
  EXPECT_EQ(d32.get(0, 0), kForeRaw);
  EXPECT_EQ(d32.get(1, 0), 0x01020304u);

  // Scaled into 8 bits too: set bits paint the fore index, clear ones leave d.
  Map d8(Rect{0, 0, 1, 4}, 8);
  d8.fill([](int, int) { return 77u; });
  Pix_To_Pix(bits.get(), d8.get(), bits.pm.bounds, d8.pm.bounds, srcOr, nullptr);
  EXPECT_EQ(d8.get(0, 0), theShadow->fore_colorx);
  EXPECT_EQ(d8.get(1, 0), theShadow->fore_colorx);
  EXPECT_EQ(d8.get(2, 0), 77u);
  EXPECT_EQ(d8.get(3, 0), 77u);
}

TEST_F(SysBltTest, SetBlendValue) {
  const struct {
    uint16 in, out;
  } cases[] = {{100, 255}, {50, 127}, {0, 0}, {1, 2}, {250, 255}};
  for (const auto& c : cases) {
    Set_Blend_Value(c.in);
    EXPECT_EQ(theShadow->opacity, c.out) << c.in;
  }
}

// 1 to 1 at different sizes steps like every other scaled copy: a 2-pixel
// row stretched to 4 takes columns 0, 0, 1, 1.
TEST_F(SysBltTest, OneBitScaledTakesNearestColumns) {
  Map src(Rect{0, 0, 1, 2}, 1), dst(Rect{0, 0, 1, 4}, 1);
  src.put(0, 0, 0);
  src.put(1, 0, 1);
  Pix_To_Pix(src.get(), dst.get(), src.pm.bounds, dst.pm.bounds, srcCopy, nullptr);
  EXPECT_EQ(dst.get(0, 0), 0u);
  EXPECT_EQ(dst.get(1, 0), 0u);
  EXPECT_EQ(dst.get(2, 0), 1u);
  EXPECT_EQ(dst.get(3, 0), 1u);
}

TEST_F(SysBltTest, UnsupportedCombinationsQuit) {
  const struct {
    int16 sd, dd;
    bool scaled;
    int16 mode;
  } cases[] = {{24, 32, false, srcCopy}, {8, 16, false, srcCopy}, {16, 8, false, srcCopy},
               {32, 8, false, srcCopy},  {24, 8, false, srcCopy}, {32, 1, false, srcCopy},
               {1, 32, true, srcCopy},   {1, 16, true, srcCopy},  {1, 1, true, srcXor}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sd << " -> " << c.dd);
    Map src(Rect{0, 0, 4, 4}, c.sd), dst(Rect{0, 0, 8, 8}, c.dd);
    dst.fill([&](int, int) { return Value_For(c.dd, kSentinel); });
    const Rect dr = c.scaled ? Rect{0, 0, 8, 8} : Rect{0, 0, 4, 4};
    EXPECT_THROW(Pix_To_Pix(src.get(), dst.get(), src.pm.bounds, dr, c.mode, nullptr), QuitCalled);
    EXPECT_EQ(dst.get(0, 0), Value_For(c.dd, kSentinel));  // nothing drawn
  }
  Map s32(Rect{0, 0, 4, 4}, 32), s24(Rect{0, 0, 4, 4}, 24);
  EXPECT_THROW(Win_To_Pix(nullptr, s32.get(), s32.pm.bounds, s32.pm.bounds, srcCopy), QuitCalled);
  Set_GWorld(nullptr);  // no world, no window
  EXPECT_THROW(Port_To_Pix(nullptr, s32.get(), s32.pm.bounds, s32.pm.bounds, srcCopy, nullptr), QuitCalled);
  // A 1-bit source needs a port for its colours.
  Map bits(Rect{0, 0, 4, 4}, 1);
  EXPECT_THROW(Pix_To_Pix(bits.get(), s32.get(), bits.pm.bounds, bits.pm.bounds, srcCopy, nullptr), QuitCalled);
}

// A clip box cutting one edge of the destination at a time: a same-size copy
// moves the source with the destination; a scaled copy draws exactly what
// the unclipped copy draws inside the box (source cut in proportion), for
// direct kernels, two-step temporaries and 1-bit destinations.
TEST_F(SysBltTest, ClipAtEveryEdgeKeepsPixelsWhereTheUnclippedCopyPutsThem) {
  const Pair pairs[] = {{32, 32}, {16, 32}, {32, 16}, {8, 8}, {1, 1}, {1, 8}, {16, 16}};
  const Rect clips[] = {{0, 3, 40, 40}, {2, 0, 40, 40}, {0, 0, 40, 9}, {0, 0, 7, 40}, {2, 3, 7, 9}};
  for (const Pair& p : pairs) {
    for (const Rect& sd_rect : {Rect{0, 0, 12, 12}, Rect{0, 0, 5, 7}, Rect{0, 0, 24, 24}}) {
      for (const Rect& c : clips) {
        SCOPED_TRACE(testing::Message() << p.sd << " -> " << p.dd << " src " << sd_rect.right << " clip "
                                        << c.left << "," << c.top << "," << c.right << "," << c.bottom);
        Map src(sd_rect, p.sd, p.sd == 8 ? gray_ctable : nullptr);
        src.fill([&](int h, int v) { return Value_For(p.sd, Hash(h, v)); });
        Map ref(Rect{0, 0, 14, 14}, p.dd), got(Rect{0, 0, 14, 14}, p.dd);
        ref.fill([&](int, int) { return Value_For(p.dd, kSentinel); });
        got.fill([&](int, int) { return Value_For(p.dd, kSentinel); });
        const Rect dr{1, 1, 13, 13};  // 12 x 12
        Pix_To_Pix(src.get(), ref.get(), sd_rect, dr, srcCopy, nullptr);
        HRGN rgn = CreateRectRgn(c.left, c.top, c.right, c.bottom);
        Pix_To_Pix(src.get(), got.get(), sd_rect, dr, srcCopy, rgn);
        DeleteRgn(rgn);
        for (int v = 0; v < 14; ++v)
          for (int h = 0; h < 14; ++h) {
            const bool in = h >= c.left && h < c.right && v >= c.top && v < c.bottom;
            ASSERT_EQ(got.get(h, v), in ? ref.get(h, v) : Value_For(p.dd, kSentinel)) << h << "," << v;
          }
      }
    }
  }
}

// Only the bounding box of a region clips copies into maps.
TEST_F(SysBltTest, MapClipUsesTheRegionsBoundingBox) {
  Map src(Rect{0, 0, 8, 8}, 32), dst(Rect{0, 0, 8, 8}, 32);
  src.fill([](int, int) { return 0xFF0000FFu; });
  HRGN a = CreateRectRgn(0, 0, 2, 2), b = CreateRectRgn(5, 5, 7, 7);
  CombineRgn(a, a, b, RGN_OR);
  Pix_To_Pix(src.get(), dst.get(), src.pm.bounds, dst.pm.bounds, srcCopy, a);
  EXPECT_EQ(dst.get(3, 3), 0xFF0000FFu);
  EXPECT_EQ(dst.get(7, 7), 0u);
  DeleteRgn(a);
  DeleteRgn(b);
}

TEST_F(SysBltTest, DitherCopy) {
  Map src(Rect{0, 0, 6, 6}, 32), a(Rect{0, 0, 12, 12}, 32), b(Rect{0, 0, 12, 12}, 32);
  src.fill([](int h, int v) { return Hash(h, v); });
  // Equal sizes: a plain copy.
  Pix_To_Pix(src.get(), a.get(), src.pm.bounds, src.pm.bounds, ditherCopy, nullptr);
  Pix_To_Pix(src.get(), b.get(), src.pm.bounds, src.pm.bounds, srcCopy, nullptr);
  EXPECT_EQ(std::memcmp(a.pm.baseAddr, b.pm.baseAddr, PixMap_Len(a.pm)), 0);
  // With a clip: nearest sampling like srcCopy.
  HRGN rgn = CreateRectRgn(0, 0, 12, 12);
  Pix_To_Pix(src.get(), a.get(), src.pm.bounds, a.pm.bounds, ditherCopy, rgn);
  Pix_To_Pix(src.get(), b.get(), src.pm.bounds, b.pm.bounds, srcCopy, nullptr);
  EXPECT_EQ(std::memcmp(a.pm.baseAddr, b.pm.baseAddr, PixMap_Len(a.pm)), 0);
  DeleteRgn(rgn);
  // Scaled, no clip: smooth. A flat picture stays exactly flat.
  src.fill([](int, int) { return 0xC8326496u; });
  Pix_To_Pix(src.get(), a.get(), src.pm.bounds, Rect{1, 1, 11, 9}, ditherCopy, nullptr);
  for (int v = 1; v < 11; ++v)
    for (int h = 1; h < 9; ++h) ASSERT_EQ(a.get(h, v), 0xC8326496u);
  // A step edge enlarged smoothly gets values between the two sides.
  src.fill([](int h, int) { return h < 3 ? 0xFF000000u : 0xFFC8C8C8u; });
  a.fill([](int, int) { return 0u; });
  Pix_To_Pix(src.get(), a.get(), src.pm.bounds, a.pm.bounds, ditherCopy, nullptr);
  bool between = false;
  for (int h = 0; h < 12; ++h) {
    const uint32 g = (a.get(h, 6) >> 8) & 255;
    between = between || (g > 20 && g < 180);
  }
  EXPECT_TRUE(between);
}

// --- Masks ---------------------------------------------------------------------------

// A 1-bit mask copies the source where it is set, for like depths, a
// conversion through a temporary (16 into 32) and all-1-bit copies.
TEST_F(SysBltTest, OneBitMaskCopies) {
  const Pair pairs[] = {{32, 32}, {16, 16}, {8, 8}, {24, 24}, {24, 16}, {16, 32}, {1, 1}};
  for (const Pair& p : pairs) {
    SCOPED_TRACE(testing::Message() << p.sd << " -> " << p.dd);
    Map src(Rect{0, 0, 4, 12}, p.sd, p.sd == 8 ? gray_ctable : nullptr), mask(Rect{10, 10, 14, 22}, 1);
    src.fill([&](int h, int v) { return Value_For(p.sd, Hash(h, v)); });
    mask.fill([](int h, int v) { return uint32((h + v) % 3 == 0); });
    Map dst(Rect{0, 0, 6, 14}, p.dd);
    dst.fill([&](int, int) { return Value_For(p.dd, kSentinel); });
    const Rect dr{1, 1, 5, 13};
    Pix_To_PixM(src.get(), mask.get(), dst.get(), src.pm.bounds, mask.pm.bounds, dr);
    for (int v = 0; v < 4; ++v)
      for (int h = 0; h < 12; ++h) {
        const uint32 want = mask.get(10 + h, 10 + v) ? Expect(p.sd, p.dd, src.get(h, v), src.pm)
                                                     : Value_For(p.dd, kSentinel);
        ASSERT_EQ(dst.get(h + 1, v + 1), want) << h << "," << v;
      }
  }
}

// The deep mask blends by coverage: 0 keeps the destination, 255 takes the
// whole source pixel, between blends the colours and keeps d's alpha.
TEST_F(SysBltTest, DeepMaskBlendsByCoverage) {
  Map src(Rect{0, 0, 1, 3}, 32), mask(Rect{0, 0, 1, 3}, 8, gray_ctable);
  GWorldPtr dst = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 1, 3}, 32, nullptr, dst), noErr);
  src.fill([](int, int) { return 0x7F204060u; });
  mask.put(0, 0, 0);
  mask.put(1, 0, 255);
  mask.put(2, 0, 128);
  for (int h = 0; h < 3; ++h) reinterpret_cast<uint32*>(dst->pix.baseAddr)[h] = 0x11A0A0A0u;
  Pix_To_Port_Deep(src.get(), mask.get(), dst, src.pm.bounds, mask.pm.bounds, src.pm.bounds, nullptr);
  const uint32* d = reinterpret_cast<uint32*>(dst->pix.baseAddr);
  EXPECT_EQ(d[0], 0x11A0A0A0u);
  EXPECT_EQ(d[1], 0x7F204060u);
  auto mix = [](uint32 s) { return (s * 128 + 0xA0 * 127) >> 8; };
  EXPECT_EQ(d[2], 0x11000000u | mix(0x20) << 16 | mix(0x40) << 8 | mix(0x60));
  // A source of another depth is blended from a copy at the world's depth.
  Map s16(Rect{0, 0, 1, 3}, 16);
  s16.put(1, 0, 0x7C00);  // red
  for (int h = 0; h < 3; ++h) reinterpret_cast<uint32*>(dst->pix.baseAddr)[h] = 0x11A0A0A0u;
  Pix_To_Port_Deep(s16.get(), mask.get(), dst, s16.pm.bounds, mask.pm.bounds, s16.pm.bounds, nullptr);
  EXPECT_EQ(d[0], 0x11A0A0A0u);
  EXPECT_EQ(d[1] & 0xF8F8F8u, 0xF80000u);
  // A shaped clip into a world is refused.
  HRGN a = CreateRectRgn(0, 0, 1, 1), b = CreateRectRgn(2, 0, 3, 1);
  CombineRgn(a, a, b, RGN_OR);
  EXPECT_THROW(Pix_To_Port_Deep(src.get(), mask.get(), dst, src.pm.bounds, mask.pm.bounds, src.pm.bounds, a),
               QuitCalled);
  DeleteRgn(a);
  DeleteRgn(b);
  Dispose_GWorld(dst);
}

// A scaled deep copy with a clip equals the unclipped one inside the box.
TEST_F(SysBltTest, DeepMaskScaledClip) {
  Map src(Rect{0, 0, 5, 5}, 32), mask(Rect{0, 0, 5, 5}, 8, gray_ctable);
  src.fill([](int h, int v) { return Hash(h, v); });
  mask.fill([](int h, int v) { return uint32(h * 50 + v * 3); });
  GWorldPtr a = nullptr, b = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 12, 12}, 32, nullptr, a), noErr);
  ASSERT_EQ(New_GWorld(Rect{0, 0, 12, 12}, 32, nullptr, b), noErr);
  HRGN rgn = CreateRectRgn(3, 2, 10, 8);
  Pix_To_Port_Deep(src.get(), mask.get(), a, src.pm.bounds, mask.pm.bounds, Rect{0, 0, 12, 12}, nullptr);
  Pix_To_Port_Deep(src.get(), mask.get(), b, src.pm.bounds, mask.pm.bounds, Rect{0, 0, 12, 12}, rgn);
  DeleteRgn(rgn);
  const uint32* pa = reinterpret_cast<uint32*>(a->pix.baseAddr);
  const uint32* pb = reinterpret_cast<uint32*>(b->pix.baseAddr);
  for (int v = 0; v < 12; ++v)
    for (int h = 0; h < 12; ++h) {
      const bool in = h >= 3 && h < 10 && v >= 2 && v < 8;
      ASSERT_EQ(pb[v * 12 + h], in ? pa[v * 12 + h] : 0u) << h << "," << v;
    }
  Dispose_GWorld(a);
  Dispose_GWorld(b);
}

// All-1-bit masked copy: mask bit 1 takes the source bit, 0 keeps the destination.
TEST_F(SysBltTest, CopyMask1TakesSourceWhereMaskIsSet) {
  Map src(Rect{0, 0, 1, 4}, 1), mask(Rect{0, 0, 1, 4}, 1), dst(Rect{0, 0, 1, 4}, 1);
  const uint32 s[4] = {0, 1, 0, 1}, m[4] = {0, 0, 1, 1}, d[4] = {1, 0, 1, 0};
  for (int h = 0; h < 4; ++h) {
    src.put(h, 0, s[h]);
    mask.put(h, 0, m[h]);
    dst.put(h, 0, d[h]);
  }
  CopyMask1(src.get(), mask.get(), dst.get(), src.pm.bounds, mask.pm.bounds, dst.pm.bounds);
  for (int h = 0; h < 4; ++h) EXPECT_EQ(dst.get(h, 0), m[h] ? s[h] : d[h]) << h;
}

// A clip given to a masked copy into a world is honoured.
TEST_F(SysBltTest, PortToPortMHonoursClipInWorlds) {
  GWorldPtr src = nullptr, dst = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 4, 4}, 32, nullptr, src), noErr);
  ASSERT_EQ(New_GWorld(Rect{0, 0, 4, 4}, 32, nullptr, dst), noErr);
  for (int i = 0; i < 16; ++i) reinterpret_cast<uint32*>(src->pix.baseAddr)[i] = 0xFF112233u;
  Map mask(Rect{0, 0, 4, 4}, 1);
  mask.fill([](int, int) { return 1u; });
  HRGN rgn = CreateRectRgn(0, 0, 2, 4);
  Port_To_PortM(src, mask.get(), dst, src->pix.bounds, mask.pm.bounds, dst->pix.bounds, rgn);
  DeleteRgn(rgn);
  const uint32* d = reinterpret_cast<uint32*>(dst->pix.baseAddr);
  EXPECT_EQ(d[1], 0xFF112233u);
  EXPECT_EQ(d[2], 0u);
  Dispose_GWorld(src);
  Dispose_GWorld(dst);
}

// CopyMask_Blend: the scaled source blended over the world at the opacity,
// laid down where the mask is set.
TEST_F(SysBltTest, CopyMaskBlend) {
  for (int i = 0; i < 16; ++i) reinterpret_cast<uint32*>(port->pix.baseAddr)[i] = 0x33405060u;
  Map src(Rect{0, 0, 2, 2}, 32), mask(Rect{0, 0, 2, 2}, 1);
  src.fill([](int, int) { return 0xFFC0C0C0u; });
  mask.put(0, 0, 1);
  mask.put(1, 0, 1);  // top row of the source only
  CopyMask_Blend(50, src.get(), mask.get(), Rect{0, 0, 4, 4}, nullptr);
  const uint32* d = reinterpret_cast<uint32*>(port->pix.baseAddr);
  auto mix = [](uint32 dch) { return (0xC0 * 127 + dch * 128) >> 8; };
  EXPECT_EQ(d[0], 0x33000000u | mix(0x40) << 16 | mix(0x50) << 8 | mix(0x60));
  EXPECT_EQ(d[1 * 4 + 3], d[0]);    // row 1 is still source row 0 (scaled 2x)
  EXPECT_EQ(d[2 * 4 + 0], 0x33405060u);  // mask clear: untouched
  EXPECT_EQ(theShadow->opacity, 127);
}

// --- Device contexts -------------------------------------------------------------------

namespace {

// A 32-bit surface with its own context: what a window or a printer page is
// to the blit layer.
struct Surface {
  HBITMAP bm;
  HDC dc;
  int w, h;
  Surface(int width, int height) : w(width), h(height) {
    bm = Host_NewSurface(w, h, 32, nullptr, 0);
    dc = Host_CreateSurfaceDC(bm);
  }
  ~Surface() {
    DeleteDC(dc);
    DeleteObject(bm);
  }
  uint32 rgb(int x, int y) const {
    uint32 v;
    std::memcpy(&v, Host_Surface(bm)->bits + size_t(y) * Host_Surface(bm)->stride + size_t(x) * 4, 4);
    return v & 0xFFFFFF;
  }
  void fill(uint32 v) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) std::memcpy(Host_Surface(bm)->bits + size_t(y) * Host_Surface(bm)->stride + size_t(x) * 4, &v, 4);
  }
};

}  // namespace

TEST_F(SysBltTest, PixToWinCopiesScalesAndClips) {
  Surface s(8, 8);
  Map src(Rect{10, 20, 12, 22}, 32);  // 2 x 2 in odd coordinates
  src.fill([](int h, int v) { return 0xFF000000u | uint32(h * 10) << 8 | uint32(v); });
  s.fill(0);
  Pix_To_Win(src.get(), s.dc, src.pm.bounds, Rect{1, 1, 3, 3}, srcCopy, nullptr);
  EXPECT_EQ(s.rgb(1, 1), src.get(20, 10) & 0xFFFFFF);
  EXPECT_EQ(s.rgb(2, 2), src.get(21, 11) & 0xFFFFFF);
  EXPECT_EQ(s.rgb(0, 0), 0u);
  // Scaled 2x: each source pixel covers 2 x 2.
  Pix_To_Win(src.get(), s.dc, src.pm.bounds, Rect{4, 4, 8, 8}, srcCopy, nullptr);
  EXPECT_EQ(s.rgb(5, 5), src.get(20, 10) & 0xFFFFFF);
  EXPECT_EQ(s.rgb(6, 7), src.get(21, 11) & 0xFFFFFF);
  // A shaped clip is honoured, and the context's clip is put back afterwards.
  s.fill(0);
  HRGN a = CreateRectRgn(0, 0, 1, 8), b = CreateRectRgn(7, 0, 8, 8);
  CombineRgn(a, a, b, RGN_OR);
  Pix_To_Win(src.get(), s.dc, src.pm.bounds, Rect{0, 0, 8, 8}, srcCopy, a);
  EXPECT_NE(s.rgb(0, 0), 0u);
  EXPECT_NE(s.rgb(7, 7), 0u);
  EXPECT_EQ(s.rgb(3, 3), 0u);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(s.dc, probe), 0);
  DeleteRgn(probe);
  DeleteRgn(a);
  DeleteRgn(b);
}

// A window takes only raster operations: alpha and blend are combined
// offscreen with what the window shows there, within the clip, and the
// pixels around stay.
TEST_F(SysBltTest, ModesWithoutARasterOperationCombineWithTheWindowOffscreen) {
  Surface s(4, 1);
  s.fill(0x000000FF);  // blue
  Map src(Rect{0, 0, 1, 2}, 32);
  src.put(0, 0, 0x80FF0000u);  // half-covering red
  src.put(1, 0, 0x00FF0000u);  // no cover
  Pix_To_Win(src.get(), s.dc, src.pm.bounds, Rect{0, 1, 1, 3}, ALPHA, nullptr);
  const uint32 mixed = s.rgb(1, 0);
  EXPECT_NEAR(int(mixed >> 16 & 0xFF), 0x80, 2);
  EXPECT_NEAR(int(mixed & 0xFF), 0x7F, 2);
  EXPECT_EQ(s.rgb(2, 0), 0x0000FFu);
  EXPECT_EQ(s.rgb(0, 0), 0x0000FFu);
  EXPECT_EQ(s.rgb(3, 0), 0x0000FFu);
  // blend at the state's opacity, clipped to the first pixel.
  s.fill(0x00000000);
  Map red(Rect{0, 0, 1, 2}, 32);
  red.fill([](int, int) { return 0xFFFF0000u; });
  Set_Blend_Value(50);
  HRGN clip = CreateRectRgn(0, 0, 1, 1);
  Pix_To_Win(red.get(), s.dc, red.pm.bounds, Rect{0, 0, 1, 2}, blend, clip);
  DeleteRgn(clip);
  Set_Blend_Value(100);
  EXPECT_NEAR(int(s.rgb(0, 0) >> 16 & 0xFF), 0x7F, 2);
  EXPECT_EQ(s.rgb(1, 0), 0u);
}

// transparent to a context leaves out pixels whose blue, green and red are
// 255 whatever their alpha; only 32-bit sources are served.
TEST_F(SysBltTest, TransparentToWin) {
  Surface s(3, 1);
  s.fill(0x00123456);
  Map src(Rect{0, 0, 1, 3}, 32);
  src.put(0, 0, 0x00FFFFFF);
  src.put(1, 0, 0xFFFFFFFF);
  src.put(2, 0, 0xFFFFFFFE);
  Pix_To_Win(src.get(), s.dc, src.pm.bounds, src.pm.bounds, transparent, nullptr);
  EXPECT_EQ(s.rgb(0, 0), 0x123456u);
  EXPECT_EQ(s.rgb(1, 0), 0x123456u);
  EXPECT_EQ(s.rgb(2, 0), 0xFFFFFEu);
  // A shallower source goes through an offscreen world: its white is left
  // out too.
  Map s16(Rect{0, 0, 1, 3}, 16);
  s16.put(0, 0, 0x7FFF);
  s16.put(1, 0, 0x001F);
  s16.put(2, 0, 0x7FFF);
  s.fill(0x00123456);
  Pix_To_Win(s16.get(), s.dc, s16.pm.bounds, s16.pm.bounds, transparent, nullptr);
  EXPECT_EQ(s.rgb(0, 0), 0x123456u);
  EXPECT_EQ(s.rgb(1, 0) & 0xF8F8F8u, 0x0000F8u);
  EXPECT_EQ(s.rgb(2, 0), 0x123456u);
}

// srcOr of a 1-bit map paints the fore colour on set bits and leaves the rest.
TEST_F(SysBltTest, SrcOrOneBitToWin) {
  Surface s(2, 1);
  s.fill(0x00445566);
  Map bits(Rect{0, 0, 1, 2}, 1);
  bits.put(0, 0, 1);
  Pix_To_Win(bits.get(), s.dc, bits.pm.bounds, bits.pm.bounds, srcOr, nullptr);
  EXPECT_EQ(s.rgb(0, 0), kForeRaw);
  EXPECT_EQ(s.rgb(1, 0), 0x445566u);
}

TEST_F(SysBltTest, MaskedCopyToWin) {
  Surface s(4, 1);
  s.fill(0x00010203);
  Map src(Rect{0, 0, 1, 4}, 32), mask(Rect{0, 0, 1, 4}, 1);
  src.fill([](int, int) { return 0xFFA0B0C0u; });
  mask.put(1, 0, 1);
  mask.put(2, 0, 1);
  HRGN clip = CreateRectRgn(0, 0, 2, 1);
  Pix_To_WinM(src.get(), mask.get(), s.dc, src.pm.bounds, mask.pm.bounds, src.pm.bounds, clip);
  DeleteRgn(clip);
  EXPECT_EQ(s.rgb(0, 0), 0x010203u);
  EXPECT_EQ(s.rgb(1, 0), 0xA0B0C0u);
  EXPECT_EQ(s.rgb(2, 0), 0x010203u);  // outside the clip
}

// With no world current the window (theHDC) is the holder: world to window,
// window to world, window to window.
TEST_F(SysBltTest, PortToPortWithTheWindowCurrent) {
  Surface s(8, 8);
  s.fill(0);
  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 2, 2}, 32, nullptr, w), noErr);
  for (int i = 0; i < 4; ++i) reinterpret_cast<uint32*>(w->pix.baseAddr)[i] = 0xFF000000u | uint32(0x10 * (i + 1));
  Set_GWorld(nullptr);
  SetPort2(nullptr, s.dc);
  Port_To_Port(w, nullptr, w->pix.bounds, Rect{0, 0, 2, 2}, srcCopy, nullptr);
  EXPECT_EQ(s.rgb(1, 1), 0x40u);
  Port_To_Port(nullptr, nullptr, Rect{0, 0, 2, 2}, Rect{4, 4, 6, 6}, srcCopy, nullptr);
  EXPECT_EQ(s.rgb(5, 5), 0x40u);
  GWorldPtr back = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 2, 2}, 32, nullptr, back), noErr);
  Port_To_Port(nullptr, back, Rect{4, 4, 6, 6}, back->pix.bounds, srcCopy, nullptr);
  EXPECT_EQ(reinterpret_cast<uint32*>(back->pix.baseAddr)[3] & 0xFFFFFF, 0x40u);
  // Window to window in a mode without a raster operation: read offscreen
  // first, then combined with the destination.
  Set_Blend_Value(50);
  s.fill(0);
  Port_To_Port(w, nullptr, w->pix.bounds, Rect{0, 0, 2, 2}, srcCopy, nullptr);
  Port_To_Port(nullptr, nullptr, Rect{0, 0, 2, 2}, Rect{4, 4, 6, 6}, blend, nullptr);
  Set_Blend_Value(100);
  EXPECT_NEAR(int(s.rgb(5, 5)), 0x20, 2);
  EXPECT_EQ(s.rgb(1, 1), 0x40u);
  // And a window read into a map.
  Map readback(Rect{0, 0, 2, 2}, 32);
  Win_To_Pix(s.dc, readback.get(), Rect{0, 0, 2, 2}, readback.pm.bounds, srcCopy);
  EXPECT_EQ(readback.get(1, 1) & 0xFFFFFF, 0x40u);
  NoPort();
  Dispose_GWorld(w);
  Dispose_GWorld(back);
}

// A masked world drawn straight into a window: the blend goes through a
// temporary world, over what the window shows, within the clip's shape.
TEST_F(SysBltTest, MaskedWorldIntoAWindow) {
  Surface s(6, 3);
  s.fill(0x00204060);
  a_masked_gworld mw;
  New_MW("test", Rect{0, 0, 1, 4}, mw);
  ASSERT_NE(mw.fore, nullptr);
  ASSERT_NE(mw.mask, nullptr);
  for (int i = 0; i < 4; ++i) reinterpret_cast<uint32*>(mw.fore->pix.baseAddr)[i] = 0xFFF0A000u;
  const uint8 cover[4] = {255, 128, 0, 255};
  std::memcpy(mw.mask->pix.baseAddr, cover, 4);
  Set_GWorld(nullptr);
  SetPort2(nullptr, s.dc);
  Draw_Cached_MWorld(mw, Rect{1, 1, 2, 5}, nullptr);
  auto mix = [](uint32 a, uint32 b, uint32 m) {
    uint32 out = 0;
    for (int sh : {0, 8, 16}) out |= ((((a >> sh) & 255) * m + ((b >> sh) & 255) * (255 - m)) >> 8) << sh;
    return out;
  };
  EXPECT_EQ(s.rgb(1, 1), 0xF0A000u);
  EXPECT_EQ(s.rgb(2, 1), mix(0xF0A000, 0x204060, 128));
  EXPECT_EQ(s.rgb(3, 1), 0x204060u);
  EXPECT_EQ(s.rgb(4, 1), 0xF0A000u);
  EXPECT_EQ(s.rgb(0, 1), 0x204060u);
  EXPECT_EQ(s.rgb(1, 0), 0x204060u);
  // Through a clip of two separate columns, one row lower.
  HRGN a = CreateRectRgn(1, 2, 2, 3), b = CreateRectRgn(4, 2, 5, 3);
  CombineRgn(a, a, b, RGN_OR);
  Draw_Cached_MWorld(mw, Rect{2, 1, 3, 5}, a);
  EXPECT_EQ(s.rgb(1, 2), 0xF0A000u);
  EXPECT_EQ(s.rgb(2, 2), 0x204060u);  // inside the picture, outside the clip
  EXPECT_EQ(s.rgb(4, 2), 0xF0A000u);
  DeleteRgn(a);
  DeleteRgn(b);
  NoPort();
  Dispose_MW(mw);
}

// Every raster-operation mode gives the same pixels between worlds with or
// without a clip region (the clipped copy goes through the device context,
// the other through the kernels), for like depths and for depth pairs that
// convert; notSrcCopy between 32-bit worlds inverts every byte.
TEST_F(SysBltTest, RasterModesAgreeWithAndWithoutAClip) {
  const Pair pairs[] = {{32, 32}, {24, 24}, {16, 16}, {8, 8}, {16, 32}, {32, 24}, {32, 16}, {24, 16}};
  for (const Pair& p : pairs) {
    for (int16 mode = srcOr; mode <= notSrcBic; ++mode) {
      SCOPED_TRACE(testing::Message() << p.sd << " -> " << p.dd << " mode " << mode);
      GWorldPtr src = nullptr, plain = nullptr, clipped = nullptr;
      ASSERT_EQ(New_GWorld(Rect{0, 0, 3, 5}, p.sd, nullptr, src), noErr);
      ASSERT_EQ(New_GWorld(Rect{0, 0, 3, 5}, p.dd, nullptr, plain), noErr);
      ASSERT_EQ(New_GWorld(Rect{0, 0, 3, 5}, p.dd, nullptr, clipped), noErr);
      for (int v = 0; v < 3; ++v)
        for (int h = 0; h < 5; ++h) {
          const uint32 d = Value_For(p.dd, Hash(h + 40, v));
          for (GWorldPtr w : {plain, clipped}) Put_Raw(w->pix, h, v, d);
          Put_Raw(src->pix, h, v, Value_For(p.sd, Hash(h, v)));
        }
      HRGN all = CreateRectRgn(0, 0, 5, 3);
      Port_To_Port(src, plain, src->pix.bounds, plain->pix.bounds, mode, nullptr);
      Port_To_Port(src, clipped, src->pix.bounds, clipped->pix.bounds, mode, all);
      DeleteRgn(all);
      for (int v = 0; v < 3; ++v)
        for (int h = 0; h < 5; ++h) ASSERT_EQ(Get_Raw(plain->pix, h, v), Get_Raw(clipped->pix, h, v)) << h << "," << v;
      if (p.sd == 32 && p.dd == 32 && mode == notSrcCopy) {
        EXPECT_EQ(Get_Raw(plain->pix, 2, 1), ~Hash(2, 1));
      }
      Dispose_GWorld(src);
      Dispose_GWorld(plain);
      Dispose_GWorld(clipped);
    }
  }
}

// A mode no kernel serves for its depths draws nothing, and stops a debug
// build at the internal error.
TEST_F(SysBltTest, UnservedModesAreRefusedLoudlyInDebugBuilds) {
  const struct {
    int16 sd, dd, mode;
  } cases[] = {{24, 24, blend}, {8, 8, blend}, {16, 16, ALPHA}, {32, 32, 11}, {8, 32, 11}, {1, 32, srcXor},
               {1, 1, blend}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sd << " -> " << c.dd << " mode " << c.mode);
    Map src(Rect{0, 0, 4, 4}, c.sd), dst(Rect{0, 0, 4, 4}, c.dd);
    src.fill([&](int h, int v) { return Value_For(c.sd, Hash(h, v)); });
    dst.fill([&](int, int) { return Value_For(c.dd, kSentinel); });
#ifdef NDEBUG
    EXPECT_NO_THROW(Pix_To_Pix(src.get(), dst.get(), src.pm.bounds, dst.pm.bounds, c.mode, nullptr));
#else
    EXPECT_THROW(Pix_To_Pix(src.get(), dst.get(), src.pm.bounds, dst.pm.bounds, c.mode, nullptr), QuitCalled);
#endif
    EXPECT_EQ(dst.get(1, 1), Value_For(c.dd, kSentinel));
  }
}

// Two worlds with a clip: the region's shape clips the copy, whichever port
// is current, and the destination's clip is put back.
TEST_F(SysBltTest, PortToPortBetweenWorldsWithAShapedClip) {
  GWorldPtr src = nullptr, dst = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 4, 4}, 32, nullptr, src), noErr);
  ASSERT_EQ(New_GWorld(Rect{10, 10, 14, 14}, 32, nullptr, dst), noErr);
  for (int i = 0; i < 16; ++i) reinterpret_cast<uint32*>(src->pix.baseAddr)[i] = 0xFF000000u | uint32(i + 1);
  HRGN a = CreateRectRgn(10, 10, 11, 11), b = CreateRectRgn(13, 13, 14, 14);
  CombineRgn(a, a, b, RGN_OR);
  Port_To_Port(src, dst, src->pix.bounds, dst->pix.bounds, srcCopy, a);
  const uint32* d = reinterpret_cast<uint32*>(dst->pix.baseAddr);
  EXPECT_EQ(d[0] & 0xFFFFFF, 1u);
  EXPECT_EQ(d[15] & 0xFFFFFF, 16u);
  EXPECT_EQ(d[5], 0u);
  HRGN probe = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(Get_GWorld_HDC(dst), probe), 0);
  DeleteRgn(probe);
  DeleteRgn(a);
  DeleteRgn(b);
  Dispose_GWorld(src);
  Dispose_GWorld(dst);
}

// --- Services ---------------------------------------------------------------------------

TEST_F(SysBltTest, SeedFillDispatchByDepth) {
  for (int16 depth : {8, 16, 32}) {
    SCOPED_TRACE(depth);
    GWorldPtr w = nullptr;
    ASSERT_EQ(New_GWorld(Rect{0, 0, 4, 6}, depth, nullptr, w), noErr);
    // A vertical wall at column 3 splits the world into two areas.
    const uint32 stride = PixMap_RowBytes(w->pix);
    for (int v = 0; v < 4; ++v) std::memset(w->pix.baseAddr + v * stride + 3 * (depth / 8), 0x7F, depth / 8);
    Map mask(Rect{0, 0, 4, 6}, 1);
    Rect bbox{};
    SeedFill(w, mask.get(), 1, 1, bbox);
    EXPECT_TRUE(EqualRect(bbox, Rect{0, 0, 4, 3}));
    EXPECT_EQ(mask.get(2, 3), 1u);
    EXPECT_EQ(mask.get(3, 0), 0u);
    Dispose_GWorld(w);
  }
  GWorldPtr w24 = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 4, 4}, 24, nullptr, w24), noErr);
  Map mask(Rect{0, 0, 4, 4}, 1);
  Rect bbox{};
  EXPECT_THROW(SeedFill(w24, mask.get(), 0, 0, bbox), QuitCalled);
  Dispose_GWorld(w24);
  Set_GWorld(nullptr);
  EXPECT_THROW(SeedFill(nullptr, mask.get(), 0, 0, bbox), QuitCalled);
}

TEST_F(SysBltTest, SaveAndRestoreScreen) {
  GWorldPtr screen = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 20, 20}, 32, nullptr, screen), noErr);
  Set_GWorld(screen);
  const Rect saved_video = info_videobounds;
  info_videobounds = Rect{0, 0, 10, 10};
  uint32* px = reinterpret_cast<uint32*>(screen->pix.baseAddr);
  for (int i = 0; i < 400; ++i) px[i] = 0xFF000000u | uint32(i);
  // Partly off the screen: only the on-screen part is kept.
  Save_Screen(Rect{5, 5, 15, 15});
  EXPECT_TRUE(EqualRect(ss_box, Rect{5, 5, 10, 10}));
  GWorldPtr first = ss_off;
  ASSERT_NE(first, nullptr);
  // The same on-screen part again (other off-screen edges) reuses the world.
  Save_Screen(Rect{5, 5, 12, 18});
  EXPECT_EQ(ss_off, first);
  for (int i = 0; i < 400; ++i) px[i] = 0;
  Restore_Screen();
  EXPECT_EQ(px[6 * 20 + 7], 0xFF000000u | uint32(6 * 20 + 7));
  EXPECT_EQ(px[12 * 20 + 12], 0u);  // off the screen: never saved
  EXPECT_EQ(px[4 * 20 + 4], 0u);
  // Wholly off the screen: the world goes and nothing is restored.
  Save_Screen(Rect{12, 12, 15, 15});
  EXPECT_EQ(ss_off, nullptr);
  EXPECT_TRUE(EmptyRect(ss_box));
  for (int i = 0; i < 400; ++i) px[i] = 0;
  Restore_Screen();
  EXPECT_EQ(px[6 * 20 + 7], 0u);
  info_videobounds = saved_video;
  Set_GWorld(port);
  Dispose_GWorld(screen);
}

TEST_F(SysBltTest, ExtractChannel) {
  GWorldPtr src = nullptr, dst = nullptr;
  ASSERT_EQ(New_GWorld(Rect{10, 20, 14, 26}, 32, nullptr, src), noErr);
  ASSERT_EQ(New_GWorld(Rect{8, 18, 16, 28}, 8, gray_ctable, dst), noErr);
  Rect used{1, 1, 1, 1};
  Extract_Channel(G_CHANNEL, src, dst, src->pix.bounds, used);
  EXPECT_TRUE(EqualRect(used, Rect{0, 0, 0, 0}));
  // One pixel at world (v 12, h 23): bytes b 1, g 2, r 3, a 4.
  uint8* p = reinterpret_cast<uint8*>(src->pix.baseAddr) + 2 * PixMap_RowBytes(src->pix) + 3 * 4;
  p[0] = 1;
  p[1] = 2;
  p[2] = 3;
  p[3] = 4;
  const struct {
    a_channel ch;
    uint8 want;
  } cases[] = {{R_CHANNEL, 3}, {G_CHANNEL, 2}, {B_CHANNEL, 1}, {A_CHANNEL, 4}};
  for (const auto& c : cases) {
    Extract_Channel(c.ch, src, dst, Rect{0, 0, 100, 100}, used);  // cut to both worlds
    EXPECT_TRUE(EqualRect(used, Rect{12, 23, 13, 24}));
    EXPECT_EQ(uint8(dst->pix.baseAddr[(12 - 8) * PixMap_RowBytes(dst->pix) + (23 - 18)]), c.want);
  }
  EXPECT_THROW(Extract_Channel(R_CHANNEL, dst, src, src->pix.bounds, used), QuitCalled);
  Dispose_GWorld(src);
  Dispose_GWorld(dst);
}

// --- Matrix blits ---------------------------------------------------------------------

TEST_F(SysBltTest, PortToPortMatrix) {
  GWorldPtr src = nullptr, dst = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 2, 3}, 32, nullptr, src), noErr);  // 3 wide, 2 high
  ASSERT_EQ(New_GWorld(Rect{0, 0, 3, 2}, 32, nullptr, dst), noErr);
  uint32* s = reinterpret_cast<uint32*>(src->pix.baseAddr);
  for (int i = 0; i < 6; ++i) s[i] = 0xFF000000u | uint32(i + 1) * 0x010101u;
  // A quarter turn clockwise, moved back into view: (x, y) -> (2 - y, x).
  MatrixRecord m;
  SetIdentityMatrix(&m);
  RotateMatrix(&m, Long2Fix(90), 0, 0);
  TranslateMatrix(&m, Long2Fix(2), 0);
  Port_To_Port_Matrix(src, dst, src->pix.bounds, &m, nullptr);
  const uint32* d = reinterpret_cast<uint32*>(dst->pix.baseAddr);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(d[x * 2 + (1 - y)], s[y * 3 + x]) << x << "," << y;
  GWorldPtr m8 = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 3, 2}, 8, gray_ctable, m8), noErr);
  EXPECT_THROW(Port_To_Port_Matrix(src, m8, src->pix.bounds, &m, nullptr), QuitCalled);
  EXPECT_THROW(Port_To_Port_Matrix(nullptr, dst, src->pix.bounds, &m, nullptr), QuitCalled);
  Dispose_GWorld(m8);
  Dispose_GWorld(src);
  Dispose_GWorld(dst);
}
