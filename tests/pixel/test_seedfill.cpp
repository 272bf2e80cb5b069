#include <gtest/gtest.h>

#include <cstring>
#include <queue>
#include <string>
#include <vector>

#include "PixTestUtil.h"
#include "TestSupport.h"
#include "pixel/FastFill.h"
#include "pixel/SysPix.h"

namespace {

struct OwnedPix : OwnedPixMap {
  using OwnedPixMap::OwnedPixMap;
  uint8* row(int v) const { return reinterpret_cast<uint8*>(pm.baseAddr) + int64(v) * PixMap_RowBytes(pm); }
};

bool Bit(const OwnedPix& m, int h, int v) { return (m.row(v)[h >> 3] >> (7 - (h & 7))) & 1; }
void Set_Bit(const OwnedPix& m, int h, int v) { m.row(v)[h >> 3] |= uint8(0x80 >> (h & 7)); }

// A picture drawn as text: one character a pixel, rows top first.
// In an 8-bit map each character is its own value; '#' in a mask line is a wall.
void Draw8(const OwnedPix& m, const std::vector<std::string>& art) {
  for (size_t v = 0; v < art.size(); ++v)
    for (size_t h = 0; h < art[v].size(); ++h) m.row(int(v))[h] = uint8(art[v][h]);
}

// The mask as text: 'x' set, '.' clear.
std::vector<std::string> Mask_Art(const OwnedPix& m, int width, int height) {
  std::vector<std::string> out;
  for (int v = 0; v < height; ++v) {
    std::string line;
    for (int h = 0; h < width; ++h) line += Bit(m, h, v) ? 'x' : '.';
    out.push_back(line);
  }
  return out;
}

// Reference 4-connected flood fill over a value grid, with walls.
std::vector<std::vector<bool>> Reference_Fill(const std::vector<std::vector<uint32>>& val,
                                              const std::vector<std::vector<bool>>& wall, int sx, int sy) {
  const int H = int(val.size()), W = int(val[0].size());
  std::vector<std::vector<bool>> in(H, std::vector<bool>(W, false));
  std::queue<std::pair<int, int>> q;
  in[sy][sx] = true;
  q.push({sx, sy});
  while (!q.empty()) {
    auto [x, y] = q.front();
    q.pop();
    const int nx[4] = {x + 1, x - 1, x, x}, ny[4] = {y, y, y + 1, y - 1};
    for (int k = 0; k < 4; ++k) {
      if (nx[k] < 0 || ny[k] < 0 || nx[k] >= W || ny[k] >= H) continue;
      if (in[ny[k]][nx[k]] || wall[ny[k]][nx[k]] || val[ny[k]][nx[k]] != val[sy][sx]) continue;
      in[ny[k]][nx[k]] = true;
      q.push({nx[k], ny[k]});
    }
  }
  return in;
}

uint16 Rand(uint32& s) {
  s = s * 1103515245u + 12345u;
  return uint16(s >> 16);
}

void Imprint_Collect(int16 x, int16 y, void* data) {
  static_cast<std::vector<Point>*>(data)->push_back(Point{y, x});
}

}  // namespace

TEST(SeedFill, OnePixelAreaGivesOneBitAndAUnitBox) {
  // Mask and map in different coordinates: both are addressed from the
  // mask's top-left, the seed and the box are in mask coordinates.
  OwnedPix pix(Rect{0, 0, 3, 3}, 8), mask(Rect{10, 20, 13, 23}, 1);
  Draw8(pix, {"aaa", "aba", "aaa"});
  Rect box{};
  PixMap8_SeedFill(&pix.pm, &mask.pm, 21, 11, box);
  EXPECT_EQ(box, (Rect{11, 21, 12, 22}));
  EXPECT_EQ(Mask_Art(mask, 3, 3), (std::vector<std::string>{"...", ".x.", "..."}));
}

TEST(SeedFill, DiagonalNeighboursAreNotConnected) {
  OwnedPix pix(Rect{0, 0, 5, 5}, 8), mask(Rect{0, 0, 5, 5}, 1);
  Draw8(pix, {"abab", "baba", "abab", "baba"});
  Rect box{};
  PixMap8_SeedFill(&pix.pm, &mask.pm, 1, 1, box);
  EXPECT_EQ(box, (Rect{1, 1, 2, 2}));
  EXPECT_EQ(Mask_Art(mask, 5, 5), (std::vector<std::string>{".....", ".x...", ".....", ".....", "....."}));

  // A diagonal line of other pixels is a wall for a 4-connected fill.
  OwnedPix pix2(Rect{0, 0, 6, 6}, 8), mask2(Rect{0, 0, 6, 6}, 1);
  Draw8(pix2, {"w.....", ".w....", "..w...", "...w..", "....w.", ".....w"});
  PixMap8_SeedFill(&pix2.pm, &mask2.pm, 5, 0, box);
  EXPECT_EQ(Mask_Art(mask2, 6, 6),
            (std::vector<std::string>{".xxxxx", "..xxxx", "...xxx", "....xx", ".....x", "......"}));
  EXPECT_EQ(box, (Rect{0, 1, 5, 6}));
}

TEST(SeedFill, SetMaskBitsAreWalls) {
  OwnedPix pix(Rect{0, 0, 7, 7}, 8), mask(Rect{0, 0, 7, 7}, 1);
  PixMap8_Fill(pix.pm, 'a');
  const std::vector<std::string> ring = {".......", ".#####.", ".#...#.", ".#...#.", ".#...#.", ".#####.", "......."};
  for (int v = 0; v < 7; ++v)
    for (int h = 0; h < 7; ++h)
      if (ring[v][h] == '#') Set_Bit(mask, h, v);
  Rect box{};
  PixMap8_SeedFill(&pix.pm, &mask.pm, 3, 3, box);
  EXPECT_EQ(box, (Rect{2, 2, 5, 5}));
  EXPECT_EQ(Mask_Art(mask, 7, 7),
            (std::vector<std::string>{".......", ".xxxxx.", ".xxxxx.", ".xxxxx.", ".xxxxx.", ".xxxxx.", "......."}));
}

TEST(SeedFill, SixteenBitComparesAllBits) {
  OwnedPix pix(Rect{0, 0, 1, 4}, 16), mask(Rect{0, 0, 1, 4}, 1);
  const uint16 vals[4] = {0x7FFF, 0x7FFF, 0xFFFF, 0x7FFF};  // bit 15 differs at column 2
  for (int h = 0; h < 4; ++h) {
    pix.row(0)[2 * h] = uint8(vals[h]);
    pix.row(0)[2 * h + 1] = uint8(vals[h] >> 8);
  }
  Rect box{};
  PixMap16_SeedFill(&pix.pm, &mask.pm, 0, 0, box);
  EXPECT_EQ(Mask_Art(mask, 4, 1), (std::vector<std::string>{"xx.."}));
  EXPECT_EQ(box, (Rect{0, 0, 1, 2}));
}

TEST(SeedFill, ThirtyTwoBitIgnoresAlpha) {
  OwnedPix pix(Rect{0, 0, 2, 3}, 32), mask(Rect{0, 0, 2, 3}, 1);
  const char* px[2][3] = {{"\x10\x20\x30\xFF", "\x10\x20\x30\x00", "\x10\x20\x31\xFF"},
                          {"\x10\x20\x30\x7F", "\x11\x20\x30\xFF", "\x10\x20\x30\x01"}};
  for (int v = 0; v < 2; ++v)
    for (int h = 0; h < 3; ++h) std::memcpy(pix.row(v) + 4 * h, px[v][h], 4);
  Rect box{};
  PixMap32_SeedFill(&pix.pm, &mask.pm, 1, 0, box);
  EXPECT_EQ(Mask_Art(mask, 3, 2), (std::vector<std::string>{"xx.", "x.."}));
  EXPECT_EQ(box, (Rect{0, 0, 2, 2}));
}

// Random fields at every depth against a plain breadth-first fill.
TEST(SeedFill, MatchesAReferenceFillOnRandomFields) {
  const int W = 97, H = 61;
  for (int16 depth : {8, 16, 32}) {
    for (uint32 seed = 1; seed <= 6; ++seed) {
      SCOPED_TRACE(testing::Message() << "depth " << depth << " seed " << seed);
      OwnedPix pix(Rect{0, 0, H, W}, depth), mask(Rect{0, 0, H, W}, 1);
      std::vector<std::vector<uint32>> val(H, std::vector<uint32>(W));
      std::vector<std::vector<bool>> wall(H, std::vector<bool>(W));
      uint32 s = seed;
      for (int v = 0; v < H; ++v)
        for (int h = 0; h < W; ++h) {
          // Mostly one value, so that large twisted areas form.
          const uint32 r = Rand(s) % 100;
          val[v][h] = r < 62 ? 0 : r < 90 ? 1 : 2;
          wall[v][h] = Rand(s) % 40 == 0;
          uint8* p = pix.row(v) + h * (depth / 8);
          if (depth == 8) p[0] = uint8(val[v][h]);
          if (depth == 16) p[0] = uint8(val[v][h]), p[1] = 0x40;
          if (depth == 32) p[0] = 9, p[1] = uint8(val[v][h]), p[2] = 9, p[3] = uint8(Rand(s));
          if (wall[v][h]) Set_Bit(mask, h, v);
        }
      int sx = 0, sy = 0;
      do {
        sx = Rand(s) % W;
        sy = Rand(s) % H;
      } while (wall[sy][sx]);
      const auto want = Reference_Fill(val, wall, sx, sy);
      Rect box{};
      if (depth == 8) PixMap8_SeedFill(&pix.pm, &mask.pm, int16(sx), int16(sy), box);
      if (depth == 16) PixMap16_SeedFill(&pix.pm, &mask.pm, int16(sx), int16(sy), box);
      if (depth == 32) PixMap32_SeedFill(&pix.pm, &mask.pm, int16(sx), int16(sy), box);
      int top = H, left = W, bottom = -1, right = -1, wrong = 0;
      for (int v = 0; v < H; ++v)
        for (int h = 0; h < W; ++h) {
          if (Bit(mask, h, v) != (want[v][h] || wall[v][h])) ++wrong;
          if (want[v][h]) top = std::min(top, v), left = std::min(left, h), bottom = std::max(bottom, v),
                          right = std::max(right, h);
        }
      EXPECT_EQ(wrong, 0);
      EXPECT_EQ(box, (Rect{int16(top), int16(left), int16(bottom + 1), int16(right + 1)}));
    }
  }
}

// A comb whose spine row opens into 22,500 teeth: filling the spine leaves
// one pending seed per tooth, more than a fixed stack of 20,000 holds. Every
// tooth must still be filled.
TEST(SeedFill, MoreThanTwentyThousandPendingSeedsLeaveNoHoles) {
  const int W = 45000, H = 4;
  const Rect bounds{0, -22500, H, 22500};  // wider than 16-bit coordinates count from 0
  OwnedPix pix(bounds, 8), mask(bounds, 1);
  for (int v = 1; v < H; ++v)
    for (int h = 1; h < W; h += 2) pix.row(v)[h] = 1;  // odd columns below the spine are walls
  Rect box{};
  PixMap8_SeedFill(&pix.pm, &mask.pm, -22500, 0, box);
  EXPECT_EQ(box, bounds);
  int holes = 0, spills = 0;
  for (int v = 0; v < H; ++v)
    for (int h = 0; h < W; ++h) {
      const bool open = pix.row(v)[h] == 0;
      if (open && !Bit(mask, h, v)) ++holes;
      if (!open && Bit(mask, h, v)) ++spills;
    }
  EXPECT_EQ(holes, 0);
  EXPECT_EQ(spills, 0);
}

// The kernels take the full stride of a 32-bit map 5000 pixels wide.
TEST(SeedFill, WideThirtyTwoBitMap) {
  const int W = 5000, H = 6;
  OwnedPix pix(Rect{0, 0, H, W}, 32), mask(Rect{0, 0, H, W}, 1);
  ASSERT_EQ(PixMap_RowBytes(pix.pm), 20000u);
  for (int v = 0; v < H; ++v) pix.row(v)[4 * 4000 + 2] = 0xFF;  // a red column at h = 4000
  Rect box{};
  PixMap32_SeedFill(&pix.pm, &mask.pm, 4999, 5, box);
  EXPECT_EQ(box, (Rect{0, 4001, H, W}));
  for (int v = 0; v < H; ++v) {
    EXPECT_FALSE(Bit(mask, 4000, v));
    EXPECT_TRUE(Bit(mask, 4001, v));
    EXPECT_TRUE(Bit(mask, 4999, v));
    EXPECT_FALSE(Bit(mask, 0, v));
  }
}

TEST(SeedFill, SeedOutsideOrSmallerMapStaysInside) {
  OwnedPix pix(Rect{0, 0, 4, 4}, 8), mask(Rect{0, 0, 6, 9}, 1);
  Rect box{1, 1, 1, 1};
  PixMap8_SeedFill(&pix.pm, &mask.pm, 9, 0, box);
  EXPECT_EQ(box, (Rect{0, 0, 0, 0}));
  PixMap8_SeedFill(&pix.pm, &mask.pm, 5, 5, box);  // inside the mask, beyond the map
  EXPECT_EQ(box, (Rect{0, 0, 0, 0}));
  for (int v = 0; v < 6; ++v)
    for (int h = 0; h < 9; ++h) EXPECT_FALSE(Bit(mask, h, v));
  // The fill covers only the area both share.
  PixMap8_SeedFill(&pix.pm, &mask.pm, 0, 0, box);
  EXPECT_EQ(box, (Rect{0, 0, 4, 4}));
  EXPECT_FALSE(Bit(mask, 4, 0));
  EXPECT_FALSE(Bit(mask, 0, 4));
}

// ---------------------------------------------------------------------------
// DDA
// ---------------------------------------------------------------------------

TEST(DDA, VisitsEveryPixelOfTheSegment) {
  struct Case {
    Point p1, p2;                // (v, h)
    std::vector<Point> want;     // (v, h)
  };
  const Case cases[] = {
      {{0, 0}, {0, 3}, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}},
      {{0, 0}, {2, 4}, {{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}},
      {{5, 5}, {5, 5}, {{5, 5}}},
      {{0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {{0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},           // steep
      {{2, 4}, {0, 0}, {{2, 4}, {1, 3}, {1, 2}, {0, 1}, {0, 0}}},           // reversed
      {{-1, -1}, {1, -3}, {{-1, -1}, {0, -2}, {1, -3}}},                    // negative, diagonal
      {{3, 0}, {0, 0}, {{3, 0}, {2, 0}, {1, 0}, {0, 0}}},                   // straight up
  };
  for (const Case& c : cases) {
    std::vector<Point> got;
    DDA(c.p1, c.p2, Imprint_Collect, &got);
    ASSERT_EQ(got.size(), c.want.size()) << c.p1.h << "," << c.p1.v << " -> " << c.p2.h << "," << c.p2.v;
    for (size_t i = 0; i < got.size(); ++i)
      EXPECT_EQ(got[i], c.want[i]) << "step " << i << ": (h " << got[i].h << ", v " << got[i].v << ")";
  }
}

TEST(DDA, LongestSegmentStepsOnePixelAtATime) {
  std::vector<Point> got;
  DDA(Point{-32768, -32768}, Point{32767, 32767}, Imprint_Collect, &got);
  ASSERT_EQ(got.size(), 65536u);
  for (size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(got[i].h, int16(int32(i) - 32768));
    ASSERT_EQ(got[i].v, int16(int32(i) - 32768));
  }
  got.clear();
  DDA(Point{0, 32767}, Point{10, -32768}, Imprint_Collect, &got);
  ASSERT_EQ(got.size(), 65536u);
  EXPECT_EQ(got.front(), (Point{0, 32767}));
  EXPECT_EQ(got.back(), (Point{10, -32768}));
  for (size_t i = 1; i < got.size(); ++i) ASSERT_EQ(got[i].h, got[i - 1].h - 1);
}

namespace {

struct Step {
  Point pt;
  bool diagonal;
};

void Step_Collect(Point pt, bool8 diagonal, void* data) {
  static_cast<std::vector<Step>*>(data)->push_back(Step{pt, diagonal});
}

}  // namespace

// Bresenham reports the pixels of DDA's walk after the first, each with
// whether the step to it moved both coordinates.
TEST(Bresenham, StepsAfterTheStartMarkedDiagonal) {
  struct Case {
    Point p1, p2;             // (v, h)
    std::vector<Step> want;   // (v, h), diagonal
  };
  const Case cases[] = {
      {{5, 5}, {5, 5}, {}},                                                           // no step
      {{0, 0}, {0, 3}, {{{0, 1}, false}, {{0, 2}, false}, {{0, 3}, false}}},          // straight
      {{0, 0}, {2, 4}, {{{1, 1}, true}, {{1, 2}, false}, {{2, 3}, true}, {{2, 4}, false}}},
      {{3, 3}, {0, 0}, {{{2, 2}, true}, {{1, 1}, true}, {{0, 0}, true}}},             // diagonal back
      {{0, 0}, {4, 1}, {{{1, 0}, false}, {{2, 1}, true}, {{3, 1}, false}, {{4, 1}, false}}},  // steep
      {{-1, -1}, {1, -3}, {{{0, -2}, true}, {{1, -3}, true}}},
  };
  for (const Case& c : cases) {
    std::vector<Step> got;
    Bresenham(c.p1, c.p2, Step_Collect, &got);
    ASSERT_EQ(got.size(), c.want.size()) << c.p1.h << "," << c.p1.v << " -> " << c.p2.h << "," << c.p2.v;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].pt, c.want[i].pt) << "step " << i;
      EXPECT_EQ(got[i].diagonal, c.want[i].diagonal) << "step " << i << ": (h " << got[i].pt.h << ", v " << got[i].pt.v << ")";
    }
  }
}
