// The working gradient (directions, repeats, the band cap), the fill colour
// taken from it, and stored gradients read from the picture library, damaged
// ones refused.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "PictLibWrite.h"
#include "TempDirSupport.h"
#include "objects/VoskGrad.h"
#include "pixel/ArtKeys.h"
#include "pixel/Fast.h"
#include "pixel/SysPix.h"
#include "pixel/OP.h"
#include "platform/SysErr.h"
#include "platform/SysIO.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace {

// Band i is grey level i (red = green = blue = i), so a band tells its index.
a_grad_rec Ramp(uint16 n) {
  a_grad_rec g{};
  g.nbands = n;
  for (uint16 i = 0; i < n; ++i) g.bands[i] = a_win_pixel32{{uint8(i), uint8(i), uint8(i), 0}};
  return g;
}

std::vector<int> Indices(const a_grad_rec& g) {
  std::vector<int> v;
  for (uint16 i = 0; i < g.nbands; ++i) v.push_back(g.bands[i].r);
  return v;
}

struct NetCase {
  uint16 n;
  int16 dir, reps;
  std::vector<int> want;
};

TEST(NetGradient, DirectionsAndRepeats) {
  const NetCase cases[] = {
      {3, 0, 2, {0, 1, 2, 0, 1, 2}},
      {3, 1, 2, {0, 1, 2, 1, 0, 1, 2, 1, 0}},
      {3, 1, 1, {0, 1, 2, 1, 0}},
      {3, 2, 1, {2, 1, 0, 1, 2}},
      {3, 2, 2, {2, 1, 0, 1, 2, 1, 0, 1, 2}},
      {3, 3, 2, {2, 1, 0, 2, 1, 0}},
      {1, 1, 3, {0}},
      {2, 2, 2, {1, 0, 1, 0, 1}},
  };
  for (const NetCase& c : cases) {
    const a_grad_rec src = Ramp(c.n);
    a_grad_rec out{};
    Net_Gradient(src, c.dir, c.reps, out);
    EXPECT_EQ(Indices(out), c.want) << "n " << c.n << " dir " << c.dir << " reps " << c.reps;
  }
}

TEST(NetGradient, StopsGrowingAt499Bands) {
  a_grad_rec src = Ramp(10);
  a_grad_rec out{};
  Net_Gradient(src, 0, 100, out);
  EXPECT_EQ(out.nbands, 499);
  EXPECT_EQ(out.bands[498].r, 8);  // 498 mod 10
  src = Ramp(MAXGRADBANDS);
  Net_Gradient(src, 1, 5, out);
  EXPECT_EQ(out.nbands, 499);
  EXPECT_EQ(out.bands[498].r, 498 & 0xFF);  // a band's red is its index's low byte
}

TEST(NetGradient, EmptySourceGivesNoBands) {
  const a_grad_rec src{};
  a_grad_rec out = Ramp(4);
  Net_Gradient(src, 1, 3, out);
  EXPECT_EQ(out.nbands, 0);
}

TEST(FillColour, DarkestBandFirstOfEqualSums) {
  a_grad_rec g{};
  g.nbands = 4;
  g.bands[0] = a_win_pixel32{{200, 200, 200, 0}};
  g.bands[1] = a_win_pixel32{{10, 20, 30, 0}};   // sum 60
  g.bands[2] = a_win_pixel32{{30, 20, 10, 0}};   // sum 60, later
  g.bands[3] = a_win_pixel32{{0, 0, 61, 0}};
  EXPECT_EQ(Calc_Darkest_Color(g), 1);
  g.nbands = 0;
  EXPECT_EQ(Calc_Darkest_Color(g), 0);
}

// Bytes of a stored gradient: count, then (alpha byte, red, green, blue).
std::vector<uint8> Grad_Item(uint16 count, const std::vector<std::array<uint8, 4>>& bands) {
  std::vector<uint8> v{uint8(count >> 8), uint8(count & 0xFF)};
  for (const auto& b : bands) v.insert(v.end(), b.begin(), b.end());
  return v;
}

TEST(StoredGradient, BytesReadIntoBandsAndDamagedItemsRefused) {
  a_grad_rec g{};
  auto ok = Grad_Item(2, {{7, 10, 20, 30}, {0, 40, 50, 60}});
  ASSERT_TRUE(Gradient_Parse(ok.data(), int32(ok.size()), g));
  EXPECT_EQ(g.nbands, 2);
  EXPECT_EQ(g.bands[0].a, 7);
  EXPECT_EQ(g.bands[0].r, 10);
  EXPECT_EQ(g.bands[0].g, 20);
  EXPECT_EQ(g.bands[0].b, 30);
  EXPECT_EQ(g.bands[1].b, 60);

  const a_grad_rec before = Ramp(5);
  struct Damaged {
    const char* what;
    std::vector<uint8> bytes;
  };
  std::vector<std::array<uint8, 4>> many(501, std::array<uint8, 4>{0, 1, 2, 3});
  const Damaged damaged[] = {
      {"no bands", Grad_Item(0, {})},
      {"shorter than its count", Grad_Item(3, {{0, 1, 2, 3}, {0, 1, 2, 3}})},
      {"over 500 bands", Grad_Item(501, many)},
      {"count cut short", {0x00}},
  };
  for (const Damaged& d : damaged) {
    a_grad_rec out = before;
    EXPECT_FALSE(Gradient_Parse(d.bytes.data(), int32(d.bytes.size()), out)) << d.what;
    EXPECT_EQ(Indices(out), Indices(before)) << d.what;
  }
}

int g_reports = 0;
a_keyset g_reported{};
void Count_Report(OSType kind, a_keyset key) {
  EXPECT_EQ(kind, FourCC("GRAD"));
  g_reported = key;
  ++g_reports;
}

class GradientLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    OP_Init();
    saved_key_ = g_err_key_proc;
    saved_item_ = g_item_key_proc;
    g_err_key_proc = Count_Report;
    g_item_key_proc = Count_Report;
    g_reports = 0;
    gs.fill_gradient = &work_;
    for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
    gs.ncolor_table = 3;
    gs.color_table[0] = a_win_pixel32{{0, 0, 0, 255}};
    gs.color_table[1] = a_win_pixel32{{200, 30, 40, 255}};  // red 40, green 30, blue 200
    gs.color_table[2] = a_win_pixel32{{250, 120, 10, 255}};
    dir_ = testdir::Make_Temp_Dir("velmor-gradients");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    OP_Stop();
    g_err_key_proc = saved_key_;
    g_item_key_proc = saved_item_;
    gs.fill_gradient = nullptr;
    testdir::Remove_Dir(dir_);
  }
  void Open(const std::vector<std::pair<int16, std::vector<uint8>>>& items) {
    std::vector<a_art_object> objs;
    for (const auto& [id, bytes] : items) {
      a_art_object o;
      o.key = a_keyset{ART_GRADIENT, 0, id, 0};
      o.data = bytes;
      objs.push_back(o);
    }
    std::vector<uint8> bytes;
    std::string err;
    ASSERT_TRUE(ArtLib_Build(objs, bytes, err)) << err;
    const std::string path = dir_ + "/lib.ART4";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
  }

  a_grad_rec work_{};
  KeyErrProc saved_key_ = nullptr;
  KeyErrProc saved_item_ = nullptr;
  std::string dir_;
};

TEST_F(GradientLibraryTest, NetGradientOfTheSelectedItemAndItsDarkestBand) {
  Open({{4, Grad_Item(3, {{0, 250, 120, 10}, {0, 40, 30, 200}, {0, 200, 200, 200}})}});
  gs.bar_selection[GRADIENT_BAR] = 4;
  gs.grid_vals[GRAD_DIR_GRID] = 1;
  gs.slider_vals[GRAD_REP_SLIDER] = 2;
  gs.fill_kind = GRADIENT_FILL;
  Calc_Net_Gradient();
  EXPECT_EQ(g_reports, 0);
  ASSERT_EQ(work_.nbands, 9);
  const int order[9] = {0, 1, 2, 1, 0, 1, 2, 1, 0};
  const uint8 reds[3] = {250, 40, 200};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(work_.bands[i].r, reds[order[i]]) << i;
  // Band 1 (40 + 30 + 200) is the darkest; palette entry 1 matches it.
  EXPECT_EQ(gs.fill_color32.r, 40);
  EXPECT_EQ(gs.fill_color32.b, 200);
  EXPECT_EQ(gs.fill_colorx, 1);

  // Another fill takes the colour bar's palette colour.
  gs.fill_kind = COLOR_FILL;
  gs.bar_selection[PAINT_COLORBAR] = 2;
  Calc_Fill_Color();
  EXPECT_EQ(gs.fill_colorx, 2);
  EXPECT_EQ(gs.fill_color32.raw, gs.color_table[2].raw);
}

TEST_F(GradientLibraryTest, DamagedOrMissingItemsAreReportedAndChangeNothing) {
  std::vector<std::array<uint8, 4>> many(501, std::array<uint8, 4>{0, 9, 9, 9});
  Open({{1, Grad_Item(0, {})}, {2, Grad_Item(501, many)}, {3, Grad_Item(4, {{0, 1, 2, 3}})}});
  for (int16 id : {int16{1}, int16{2}, int16{3}, int16{7}}) {
    work_ = Ramp(6);
    g_reports = 0;
    gs.bar_selection[GRADIENT_BAR] = id;
    Calc_Net_Gradient();
    EXPECT_EQ(g_reports, 1) << id;
    EXPECT_EQ(g_reported.c, id);
    EXPECT_EQ(Indices(work_), Indices(Ramp(6))) << id;
  }
}

// Ray fills against each pixel's own angle and distance round the centre,
// for centres inside, off and outside the box, with and without a twist,
// through a mask with holes.
TEST(RayKernel, EveryPixelByItsAngleAndDistance) {
  Draw_Init();
  a_grad_rec g{};
  g.nbands = 4;
  g.bands[0].raw = 0xFF102030u;
  g.bands[1].raw = 0xFFF0E010u;
  g.bands[2].raw = 0xFF30C0F0u;
  g.bands[3].raw = 0xFF801010u;
  const Rect box{-7, 3, 61, 83};
  PixMap pix{}, mask{};
  New_PixMap(pix, box, 32, nullptr);
  New_PixMap(mask, box, 1, nullptr);
  for (int32 v = box.top; v < box.bottom; ++v)
    for (int32 h = box.left; h < box.right; ++h)
      if ((h * 7 + v * 3) % 11 != 0)
        mask.baseAddr[size_t(v - box.top) * PixMap_RowBytes(mask) + size_t((h - box.left) >> 3)] |=
            char(0x80 >> ((h - box.left) & 7));
  const Point centres[] = {{20, 40}, {-7, 3}, {60, 82}, {27, 200}, {-300, -90}};
  for (const Point& c : centres)
    for (int16 twist : {int16{0}, int16{35}, int16{-12}}) {
      std::memset(pix.baseAddr, 0, size_t(PixMap_RowBytes(pix)) * size_t(box.bottom - box.top));
      ASSERT_TRUE(Fill_Dither(RAY_DITHER, &pix, &mask, box, nullptr, nullptr, true, &g, twist, 0, c, 0));
      Ramp_Init(0, 3599, g);
      int wrong = 0;
      for (int32 v = box.top; v < box.bottom; ++v)
        for (int32 h = box.left; h < box.right; ++h) {
          const uint32 got = reinterpret_cast<const uint32*>(pix.baseAddr + size_t(v - box.top) * PixMap_RowBytes(pix))[h - box.left];
          const bool inside = (h * 7 + v * 3) % 11 != 0;
          const Point p{int16(v), int16(h)};
          const int32 index = MOD_Positive(SegmentAngle(p, c) + Point2PointDistance(p, c) * twist / 10, 3600);
          const uint32 want = inside ? Ramp_Entry(index).raw : 0u;
          wrong += got != want;
        }
      Ramp_Stop();
      EXPECT_EQ(wrong, 0) << "centre " << c.v << "," << c.h << " twist " << twist;
    }
  Dispose_PixMap(pix);
  Dispose_PixMap(mask);
}

}  // namespace
