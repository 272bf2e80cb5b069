// The fill stamp: the stamp cache (brush, library stamp, when each is made
// again), the warp (sizes, the memory bound, flips, the mask's threshold),
// the rotation command, the brush shapes and the spray's numbers.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "PictLibWrite.h"
#include "TempDirSupport.h"
#include "objects/VoskBrus.h"
#include "objects/VoskSpra.h"
#include "objects/VoskStam.h"
#include "pixel/Fast.h"
#include "pixel/OP.h"
#include "platform/PixMaps.h"
#include "platform/Quickdraw.h"
#include "platform/SysIO.h"
#include "platform/SysRgn.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace {

int32 W(const PixMap& p) { return p.bounds.right - p.bounds.left; }
int32 H(const PixMap& p) { return p.bounds.bottom - p.bounds.top; }
a_win_pixel32& Px(const PixMap& p, int32 x, int32 y) {
  return reinterpret_cast<a_win_pixel32*>(p.baseAddr + y * PixMap_RowBytes(p))[x];
}
bool Bit(const PixMap& p, int32 x, int32 y) {
  const auto* row = reinterpret_cast<const uint8*>(p.baseAddr) + y * PixMap_RowBytes(p);
  return (row[x >> 3] & (0x80 >> (x & 7))) != 0;
}
int Bits(const PixMap& p) {
  int n = 0;
  for (int32 y = 0; y < H(p); ++y)
    for (int32 x = 0; x < W(p); ++x) n += Bit(p, x, y);
  return n;
}

// A w x h 32-bit picture whose pixel (x, y) has red x, green y and an
// 8-bit mask of `level` everywhere.
void Make_Source(int16 w, int16 h, uint8 level, PixMap& pix, PixMap& mask) {
  New_PixMap(pix, Rect{0, 0, h, w}, 32, nullptr);
  New_PixMap(mask, Rect{0, 0, h, w}, 8, nullptr);
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 0; x < w; ++x) {
      Px(pix, x, y) = a_win_pixel32{{7, uint8(y), uint8(x), 255}};
      (reinterpret_cast<uint8*>(mask.baseAddr) + y * PixMap_RowBytes(mask))[x] = level;
    }
}

class WarpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    gs.custom_limit = 10000000;
  }
  void TearDown() override {
    for (PixMap* p : {&src_, &srcm_, &out_, &outm_}) Dispose_PixMap(*p);
  }
  bool8 Warp(bool8 flipx, int16 scaling, int16 rotation, int16 aspect, int16 skewx = 0) {
    Dispose_PixMap(out_);
    Dispose_PixMap(outm_);
    return Warp_GenStamp2(flipx, false, scaling, rotation, aspect, 50, 0, skewx, 0, 0, 0, src_, srcm_, out_, outm_);
  }
  PixMap src_{}, srcm_{}, out_{}, outm_{};
};

TEST(StampRotate, BroughtIntoTheSliderRange) {
  struct {
    int16 current, angle, want;
  } cases[] = {{150, 90, -120}, {-150, -90, 120}, {180, 90, -90}, {0, -90, -90}, {90, 90, 180}, {-90, -90, -180}};
  for (const auto& c : cases) EXPECT_EQ(Stamp_Rotate_Value(c.current, c.angle), c.want) << c.current << " + " << c.angle;
}

TEST(WarpSize, ScalingAspectAndReductions) {
  struct {
    int32 w, h;
    int16 scaling, aspect;
    uint32 bound;
    int32 ww, wh;
    bool reduced;
  } cases[] = {
      {100, 60, 100, 0, 1000000, 100, 60, false},
      {1, 1, 33, 0, 1000000, 1, 1, false},       // a 1-cell stamp at 33 % keeps a cell
      {100, 100, 100, -50, 1000000, 50, 100, false},
      {100, 100, 100, 50, 1000000, 100, 50, false},
      {100, 100, 300, 0, 1, 1, 1, true},         // a bound of 1 ends at 1 x 1
      {100, 100, 200, 0, 10000, 81, 81, true},   // 200 -> 180 -> 162 -> 145 -> 130 -> 117 -> 105 -> 94 -> 84 ... below 10000 area
      {10000, 10, 300, 0, 4000000000u, 30000, 30, false},
      {20000, 10, 200, 0, 4000000000u, 32400, 16, true},  // 40000 wide is cut
  };
  for (const auto& c : cases) {
    int32 w = 0, h = 0;
    const bool reduced = Warp_Scaled_Size(c.w, c.h, c.scaling, c.aspect, c.bound, w, h);
    EXPECT_EQ(reduced, c.reduced) << c.w << "x" << c.h << " at " << c.scaling;
    if (c.ww == 81) {
      EXPECT_LT(int64_t(w) * h, int64_t(c.bound));
      EXPECT_GE(int64_t(w * 10 / 9 + 1) * (h * 10 / 9 + 1), int64_t(c.bound));
    } else {
      EXPECT_EQ(w, c.ww) << c.w << "x" << c.h << " at " << c.scaling;
      EXPECT_EQ(h, c.wh) << c.w << "x" << c.h << " at " << c.scaling;
    }
  }
}

TEST(WarpSize, PredictionGrowsTheBoxAndDropsStepsBeyondTheBound) {
  bool8 keep[5];
  int32 w = 0, h = 0;
  EXPECT_FALSE(Warp_Predict(100, 40, 50, 0, 0, 0, 0, 1000000, w, h, keep));
  EXPECT_EQ(w, 120);
  EXPECT_EQ(h, 40);
  EXPECT_TRUE(keep[0]);
  EXPECT_FALSE(keep[4]);
  EXPECT_FALSE(Warp_Predict(100, 40, 0, 0, 0, 0, 900, 1000000, w, h, keep));
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 100);
  // Skew y would make 100 x 140 (over the bound): dropped, the rest kept.
  EXPECT_TRUE(Warp_Predict(100, 40, 0, 100, 0, 0, 900, 10000, w, h, keep));
  EXPECT_FALSE(keep[1]);
  EXPECT_TRUE(keep[4]);
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 100);
}

TEST_F(WarpTest, FlipMovesPixelsAndMaskTogether) {
  Make_Source(4, 2, 255, src_, srcm_);
  // Half of column 0's mask off, to see it follow the flip.
  reinterpret_cast<uint8*>(srcm_.baseAddr)[0] = 0;
  EXPECT_FALSE(Warp(true, 100, 0, 0));
  ASSERT_EQ(W(out_), 4);
  ASSERT_EQ(H(out_), 2);
  ASSERT_EQ(outm_.pixelSize, 1);
  for (int32 x = 0; x < 4; ++x) EXPECT_EQ(Px(out_, x, 1).r, 3 - x);
  EXPECT_FALSE(Bit(outm_, 3, 0));
  EXPECT_TRUE(Bit(outm_, 0, 0));
  EXPECT_TRUE(Bit(outm_, 3, 1));
  // The source is left as it was.
  EXPECT_EQ(Px(src_, 0, 0).r, 0);
}

TEST_F(WarpTest, MaskThresholdBetween128And129) {
  for (uint8 level : {uint8{128}, uint8{129}}) {
    Dispose_PixMap(src_);
    Dispose_PixMap(srcm_);
    Make_Source(3, 3, level, src_, srcm_);
    Warp(true, 100, 0, 0);
    EXPECT_EQ(Bits(outm_), level == 128 ? 0 : 9) << int(level);
  }
}

TEST_F(WarpTest, OneCellAtTheSmallestSizeKeepsACell) {
  Make_Source(1, 1, 255, src_, srcm_);
  EXPECT_FALSE(Warp(false, 33, 0, 0));
  ASSERT_FALSE(Is_Null_PixMap(out_));
  EXPECT_EQ(W(out_), 1);
  EXPECT_EQ(H(out_), 1);
  EXPECT_EQ(Bits(outm_), 1);
}

TEST_F(WarpTest, SmallMemoryBoundReducesAndTellsSo) {
  Make_Source(10, 10, 255, src_, srcm_);
  gs.custom_limit = 200;
  EXPECT_TRUE(Warp(false, 300, 0, 0));
  EXPECT_LT(W(out_) * H(out_), 200);
  EXPECT_EQ(W(outm_), W(out_));
  EXPECT_EQ(H(outm_), H(out_));
  // A skew over the bound is dropped.
  Dispose_PixMap(src_);
  Dispose_PixMap(srcm_);
  Make_Source(12, 12, 255, src_, srcm_);
  gs.custom_limit = 150;
  EXPECT_TRUE(Warp(false, 100, 0, 0, 100));
  EXPECT_EQ(W(out_), 12);
}

TEST_F(WarpTest, RotationAndSkewShapePictureAndMaskAlike) {
  Make_Source(8, 4, 255, src_, srcm_);
  EXPECT_FALSE(Warp(false, 100, 900, 0));
  EXPECT_EQ(W(out_), 4);
  EXPECT_EQ(H(out_), 8);
  EXPECT_EQ(Bits(outm_), 32);
  EXPECT_FALSE(Warp(false, 100, 0, 0, 50));
  EXPECT_GT(W(out_), 8);
  EXPECT_EQ(W(outm_), W(out_));
  EXPECT_EQ(H(outm_), H(out_));
  // The skewed picture still covers as many cells as the source.
  EXPECT_EQ(Bits(outm_), 32);
}

TEST(BrushShapes, CellsSpacingsAndEraserSizes) {
  struct {
    int16 shape;
    int cells;
    int16 w, h, spacing;
  } cases[] = {{0, 1, 1, 1, 1}, {7, 121, 11, 11, 4}, {8, 2, 1, 2, 2}, {9, 5, 3, 3, 5},
               {15, 137, 13, 13, 17}, {23, 8, 4, 5, 4}, {99, 1, 1, 1, 1}};
  for (const auto& c : cases) {
    RgnHandle rgn = NewRgn();
    Brush_GenRgn(c.shape, rgn);
    PixMap bits{};
    Rgn_To_PixMap1(rgn, bits);
    EXPECT_EQ(Bits(bits), c.cells) << c.shape;
    EXPECT_EQ(W(bits), c.w) << c.shape;
    EXPECT_EQ(H(bits), c.h) << c.shape;
    EXPECT_EQ(Calc_Default_BSpacing(c.shape), c.spacing) << c.shape;
    Dispose_PixMap(bits);
    DisposeRgn(rgn);
  }
  VoskDef_Init();
  EXPECT_EQ(Eraser_Size(0), 1);
  EXPECT_EQ(Eraser_Size(8), 15);
  EXPECT_EQ(Eraser_Size(12), 15);
  EXPECT_EQ(Eraser_Size(-1), 1);
}

TEST(Spray, DotsMethodsVariantsAndStampRadius) {
  EXPECT_EQ(Spray_NDots(15), 8);
  EXPECT_EQ(Spray_NDots(16), 4);
  EXPECT_EQ(Spray_NDots(40), 25);
  EXPECT_EQ(Spray_Method_For(COLOR_FILL, 100), BITMAP_SPRAY);
  EXPECT_EQ(Spray_Method_For(COLOR_FILL, 99), POINTLIST_SPRAY);
  EXPECT_EQ(Spray_Method_For(GRADIENT_FILL, 100), POINTLIST_SPRAY);
  EXPECT_EQ(Spray_Method_For(STAMP_FILL, 50), STAMP_SPRAY);
  EXPECT_EQ(Spray_Method_For(PATTERN_FILL, 100), NULL_SPRAY);
  EXPECT_EQ(Spray_Spread(TIGHT_SPREAD), 6);
  struct {
    int32 area;
    uint32 limit;
    int16 n;
  } cases[] = {{0, 1000, 0}, {250, 1000, 0}, {249, 1000, 2}, {100, 1000000, 12}, {30000, 1000000, 3},
               {21000, 100000, 2}};
  for (const auto& c : cases) EXPECT_EQ(Spray_Variant_Count(c.area, c.limit), c.n) << c.area << " " << c.limit;
  EXPECT_EQ(Spray_Stamp_Radius(5), 10);
  EXPECT_EQ(Spray_Stamp_Radius(40), 80);
}

class FillStampTest : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    OP_Init();
    Brush_Init();
    Stamp_Init();
    gs.custom_limit = 10000000;
    for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
    for (int16 i = 0; i < NTOGGLES; ++i) gs.toggle_vals[i] = false;
    dir_ = testdir::Make_Temp_Dir("velmor-stamps");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    Stamp_Stop();
    Brush_Stop();
    OP_Stop();
    testdir::Remove_Dir(dir_);
  }
  // A library with one 20 x 12 stamp: red, white (empty) in its left column.
  void Open_Stamp() {
    a_art_image img;
    img.width = 20;
    img.height = 12;
    for (int32 y = 0; y < 12; ++y)
      for (int32 x = 0; x < 20; ++x) {
        const bool empty = x == 0;
        img.rgba.insert(img.rgba.end(), {uint8(empty ? 255 : 200), uint8(empty ? 255 : 10), uint8(empty ? 255 : 10), 255});
      }
    a_art_object o;
    o.key = a_keyset{8, 1, 1, 0};
    std::string err;
    ASSERT_TRUE(Pixt_Encode32(img, 0, o.data, err)) << err;
    std::vector<uint8> bytes;
    ASSERT_TRUE(ArtLib_Build({o}, bytes, err)) << err;
    const std::string path = dir_ + "/lib.ART4";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
  }
  std::string dir_;
};

TEST_F(FillStampTest, BrushStampFollowsColourAndShape) {
  gs.tool_net = BRUSH_TOOL;
  gs.grid_vals[BRUSH_SHAPE_GRID] = 9;
  gs.fill_color32 = a_win_pixel32{{1, 2, 3, 255}};
  PixMapPtr stamp = nullptr, mask = nullptr;
  Get_Fill_Stamp(stamp, mask);
  EXPECT_EQ(gsc.stamp_set, BRUSH_STAMPSET);
  ASSERT_EQ(W(*stamp), 3);
  EXPECT_EQ(Bits(*mask), 5);
  EXPECT_EQ(Px(*stamp, 1, 1).raw, gs.fill_color32.raw);
  gs.fill_color32 = a_win_pixel32{{9, 8, 7, 255}};
  Get_Fill_Stamp(stamp, mask);
  EXPECT_EQ(Px(*stamp, 1, 1).b, 9);
  gs.grid_vals[BRUSH_SHAPE_GRID] = 7;
  Get_Fill_Stamp(stamp, mask);
  EXPECT_EQ(W(*stamp), 11);
  EXPECT_EQ(Bits(*mask), 121);
}

TEST_F(FillStampTest, LibraryStampUnwarpedAndRemadeOnlyWhenTheWarpChanges) {
  Open_Stamp();
  gs.tool_net = STAMP_TOOL;
  gs.fill_kind = STAMP_FILL;
  gs.bar_selection[STAMP_BAR] = 1;
  ASSERT_TRUE(Is_Warp_Null());
  PixMapPtr stamp = nullptr, mask = nullptr;
  Get_Fill_Stamp(stamp, mask);
  ASSERT_EQ(W(*stamp), 20);
  ASSERT_EQ(H(*stamp), 12);
  EXPECT_EQ(Px(*stamp, 5, 5).r, 200);
  EXPECT_EQ(Bits(*mask), 19 * 12);  // white is empty
  const Ptr first = stamp->baseAddr;
  // A new fill colour leaves a library stamp alone.
  gs.fill_color32 = a_win_pixel32{{9, 9, 9, 255}};
  Get_Fill_Stamp(stamp, mask);
  EXPECT_EQ(stamp->baseAddr, first);
  EXPECT_FALSE(Is_Warp_Changed());
  // A bigger size remakes it.
  gs.slider_vals[STAMP_SIZE_SLIDER] = 17;  // 234 %
  EXPECT_TRUE(Is_Warp_Changed());
  Get_Fill_Stamp(stamp, mask);
  EXPECT_EQ(W(*stamp), 47);
  EXPECT_EQ(H(*stamp), 28);
  EXPECT_EQ(W(*mask), 47);
  // A bar id with no picture leaves an empty stamp, not the last one.
  gs.bar_selection[STAMP_BAR] = 2;
  Get_Fill_Stamp(stamp, mask);
  EXPECT_TRUE(Is_Null_PixMap(*stamp));
  EXPECT_TRUE(Is_Null_PixMap(*mask));
}

// Each imprint's dots stay within the radius and number at most ndots; the
// stamp spray makes its variants once, each warped picture with a mask of
// its own size.
TEST_F(FillStampTest, SprayRecordsByMethod) {
  a_rand_rec rand{};
  Init_RandRec(rand);
  gs.spray_seedU = &rand;
  gs.spray_seed = 77;
  gs.fill_kind = COLOR_FILL;
  gs.slider_vals[PAINT_OPACITY_SLIDER] = 100;
  gs.slider_vals[SPRAY_RADIUS_SLIDER] = 15;
  Spray_Init(NORMAL_SPREAD);
  EXPECT_EQ(g_spray.method, BITMAP_SPRAY);
  EXPECT_EQ(g_spray.ndots, 8);
  EXPECT_EQ(g_spray.spread, 3);
  PixMap bits{};
  Spray_GetBitMap(bits, 15);
  ASSERT_EQ(W(bits), 31);
  const int dots = Bits(bits);
  EXPECT_GT(dots, 0);
  EXPECT_LE(dots, 8);
  for (int32 y = 0; y < 31; ++y)
    for (int32 x = 0; x < 31; ++x)
      if (Bit(bits, x, y)) EXPECT_LE((x - 15) * (x - 15) + (y - 15) * (y - 15), 15 * 15);
  Dispose_PixMap(bits);

  gs.slider_vals[PAINT_OPACITY_SLIDER] = 99;
  gs.slider_vals[SPRAY_RADIUS_SLIDER] = 16;
  Spray_Init(NORMAL_SPREAD);
  EXPECT_EQ(g_spray.method, POINTLIST_SPRAY);
  EXPECT_EQ(g_spray.ndots, 4);
  std::vector<uint8> block(sizeof(a_pointlist_rec));
  auto* list = reinterpret_cast<a_pointlist_rec*>(block.data());
  list->max = 100;
  Rect bounds{};
  Spray_GetPointlist(list, 16, bounds);
  EXPECT_EQ(list->npoints, 4);
  for (uint16 i = 0; i < list->npoints; ++i) {
    const Point p = list->points[i];
    EXPECT_LE(p.h * p.h + p.v * p.v, 16 * 16);
    EXPECT_TRUE(p.v >= bounds.top && p.v < bounds.bottom && p.h >= bounds.left && p.h < bounds.right);
  }

  Open_Stamp();
  gs.tool_net = SPRAY_TOOL;
  gs.fill_kind = STAMP_FILL;
  gs.bar_selection[STAMP_BAR] = 1;
  Spray_Init(NORMAL_SPREAD);
  EXPECT_EQ(g_spray.method, STAMP_SPRAY);
  ASSERT_EQ(g_spray.stamp_n, MAX_SPRAY_VARIANTS);
  for (int16 i = 0; i < g_spray.stamp_n; ++i) {
    ASSERT_FALSE(Is_Null_PixMap(g_spray.stamp_pix[i]));
    EXPECT_EQ(W(g_spray.stamp_masks[i]), W(g_spray.stamp_pix[i]));
    EXPECT_EQ(H(g_spray.stamp_masks[i]), H(g_spray.stamp_pix[i]));
  }
  int moved = 0;
  for (int k = 0; k < 20; ++k) {
    PixMapPtr pix = nullptr, mask = nullptr;
    Point offset{};
    Spray_GetStamp(pix, mask, 16, offset);
    ASSERT_NE(pix, nullptr);
    EXPECT_LE(offset.h * offset.h + offset.v * offset.v, Spray_Stamp_Radius(16) * Spray_Stamp_Radius(16));
    moved += offset.h != 0 || offset.v != 0;
    EXPECT_EQ(W(*mask), W(*pix));
  }
  EXPECT_GT(moved, 10) << "the stamps land around the point, not on it";
  Spray_Stop();
  EXPECT_EQ(g_spray.method, NULL_SPRAY);
  EXPECT_TRUE(Is_Null_PixMap(g_spray.stamp_pix[0]));
  gs.spray_seedU = nullptr;
}

}  // namespace
