// Borders on small pictures built here: the reader's classes and pieces
// (side by side, stacked, no sliver, no side, 16 and 32 bits), damaged
// pictures refused without a hang, the pieces turned and mirrored by class
// with their masks, the fitting counts, the pieces drawn edge by edge with
// the slivers spread over the gaps and the coverage in the mask world, the
// framed rectangle's border fill, the bar cell, the cache by id, and every
// border of the program's library.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "PictLibWrite.h"
#include "SoundTestSupport.h"
#include "TempDirSupport.h"
#include "objects/VoskAtom.h"
#include "objects/VoskBord.h"
#include "pixel/ArtKeys.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/OP.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace {

// Colours of the pictures (0xRRGGBB): the separator, and the pieces, whose
// red tells the piece (corner C0, side 80, sliver 40) and whose green and
// blue its own column and row.
constexpr uint32 kSep = 0x10C810;
constexpr uint32 kWhite = 0xFFFFFF;
constexpr uint8 kCornerRed = 0xC0, kSideRed = 0x80, kSliverRed = 0x40;

// A border picture under construction, 0xRRGGBB a pixel.
struct a_pic {
  int32 w = 0, h = 0;
  std::vector<uint32> px;
  a_pic(int32 width, int32 height) : w(width), h(height), px(size_t(width) * size_t(height), kSep) {}
  uint32& At(int32 x, int32 y) { return px[size_t(y) * size_t(w) + size_t(x)]; }
  // A piece of pw x ph at (left, top); the corner's own top-left pixel is
  // white, so its mask has a hole there.
  void Put(uint8 red, int32 left, int32 top, int32 pw, int32 ph) {
    for (int32 y = 0; y < ph; ++y)
      for (int32 x = 0; x < pw; ++x) At(left + x, top + y) = uint32(red) << 16 | uint32(x * 16) << 8 | uint32(y * 16 + 1);
    if (red == kCornerRed) At(left, top) = kWhite;
  }
  // The class markers in the rightmost column (class 0: none).
  void Markers(int cls) {
    if (cls == 0) return;
    At(w - 1, 0) = kWhite;
    At(w - 1, 1) = 0xFF00FF;
    At(w - 1, 1 + cls) = 0x000000;
  }
};

// Corner cw x ch, then side and sliver side by side (a width of 0 leaves the
// piece out), and the marker column.
a_pic Beside(int32 cw, int32 ch, int32 sw, int32 lw, int cls) {
  const int32 w = 1 + cw + 1 + (sw > 0 ? sw + 1 : 0) + (lw > 0 ? lw + 1 : 0) + 1;
  a_pic p(w, std::max<int32>(ch + 2, 6));
  p.Put(kCornerRed, 1, 1, cw, ch);
  if (sw > 0) p.Put(kSideRed, cw + 2, 1, sw, ch);
  if (lw > 0) p.Put(kSliverRed, cw + sw + 3, 1, lw, ch);
  p.Markers(cls);
  return p;
}

// The corner with the side stacked below it (no room right of the corner).
a_pic Stacked(int32 cw, int32 ch, int32 sw, int32 sh) {
  a_pic p(cw + 2, ch + sh + 3);
  p.Put(kCornerRed, 1, 1, cw, ch);
  p.Put(kSideRed, 1, ch + 2, sw, sh);
  return p;
}

// The picture as a map of 32 bits (blue, green, red, alpha in memory) or 16.
struct a_map {
  PixMap pm{};
  a_map(const a_pic& p, int16 depth) {
    New_PixMap(pm, Rect{0, 0, int16(p.h), int16(p.w)}, depth, nullptr);
    for (int32 y = 0; y < p.h; ++y)
      for (int32 x = 0; x < p.w; ++x) {
        const uint32 c = p.px[size_t(y) * size_t(p.w) + size_t(x)];
        uint8* row = reinterpret_cast<uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
        if (depth == 32) {
          reinterpret_cast<uint32*>(row)[x] = 0xFF000000u | c;
        } else {
          reinterpret_cast<uint16*>(row)[x] =
              uint16(((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31));
        }
      }
  }
  ~a_map() { Dispose_PixMap(pm); }
  a_map(const a_map&) = delete;
  a_map& operator=(const a_map&) = delete;
};

bool Same_Rect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}
std::string Text(const Rect& r) {
  return "(" + std::to_string(r.top) + ", " + std::to_string(r.left) + ", " + std::to_string(r.bottom) + ", " +
         std::to_string(r.right) + ")";
}

TEST(BorderReader, ClassesAndPiecesSideBySideStackedWithoutSliverOrSide) {
  struct {
    const char* name;
    a_pic pic;
    uint16 cls;
    Rect corner, side, sliver;
  } cases[] = {
      {"class 1", Beside(4, 4, 10, 2, 1), 1, {1, 1, 5, 5}, {1, 6, 5, 16}, {1, 17, 5, 19}},
      {"class 2", Beside(4, 4, 10, 2, 2), 2, {1, 1, 5, 5}, {1, 6, 5, 16}, {1, 17, 5, 19}},
      {"class 3", Beside(4, 4, 10, 2, 3), 3, {1, 1, 5, 5}, {1, 6, 5, 16}, {1, 17, 5, 19}},
      {"class 4", Beside(4, 4, 10, 2, 4), 4, {1, 1, 5, 5}, {1, 6, 5, 16}, {1, 17, 5, 19}},
      {"no markers", Beside(4, 4, 10, 2, 0), 2, {1, 1, 5, 5}, {1, 6, 5, 16}, {1, 17, 5, 19}},
      {"no sliver", Beside(5, 6, 8, 0, 3), 3, {1, 1, 7, 6}, {1, 7, 7, 15}, {0, 0, 0, 0}},
      {"stacked", Stacked(6, 5, 4, 5), 2, {1, 1, 6, 7}, {7, 1, 12, 5}, {0, 0, 0, 0}},
      {"no side: the corner stands in", a_pic(6, 6), 2, {1, 1, 5, 5}, {1, 1, 5, 5}, {0, 0, 0, 0}},
  };
  cases[7].pic.Put(kCornerRed, 1, 1, 4, 4);
  for (auto& c : cases)
    for (int16 depth : {32, 16}) {
      SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(depth) + " bits");
      a_map m(c.pic, depth);
      a_bord_spec spec{};
      ASSERT_TRUE(depth == 32 ? Load_Spec_32(m.pm, spec) : Load_Spec_16(m.pm, spec));
      EXPECT_EQ(spec.bclass, c.cls);
      EXPECT_TRUE(Same_Rect(spec.corn_piece, c.corner)) << Text(spec.corn_piece);
      EXPECT_TRUE(Same_Rect(spec.side_piece, c.side)) << Text(spec.side_piece);
      EXPECT_TRUE(Same_Rect(spec.sliv_piece, c.sliver)) << Text(spec.sliv_piece);
      // The twin for the other depth refuses this one.
      EXPECT_FALSE(depth == 32 ? Load_Spec_16(m.pm, spec) : Load_Spec_32(m.pm, spec));
    }
}

// Pictures no border can be made from are refused; the scans stay inside
// the picture (the sanitizer build reads nothing outside) and end.
TEST(BorderReader, DamagedPicturesRefused) {
  a_pic short_pic = Beside(3, 3, 6, 2, 0);
  short_pic.h = 5;
  short_pic.px.resize(size_t(short_pic.w) * 5);
  a_pic thin_corner = Beside(4, 4, 10, 2, 2);
  thin_corner.At(1, 1) = kSep;  // the scan meets the separator at once
  a_pic thin_side = Beside(4, 4, 10, 2, 2);
  thin_side.At(6, 1) = kSep;
  a_pic corner_on_last_row(7, 6);  // no separator line under the corner
  corner_on_last_row.Put(kCornerRed, 1, 1, 5, 5);
  a_pic broken_top = Beside(4, 4, 10, 2, 2);
  broken_top.At(2, 0) = 0x123456;  // the line over the corner breaks
  struct {
    const char* name;
    a_pic* pic;
  } cases[] = {{"under 6 rows", &short_pic},
               {"corner of width 0", &thin_corner},
               {"side of width 0", &thin_side},
               {"corner on the last row", &corner_on_last_row},
               {"corner not found", &broken_top}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    a_map m(*c.pic, 32);
    a_bord_spec spec{};
    spec.corn_piece = Rect{1, 2, 3, 4};
    EXPECT_FALSE(Load_Spec_32(m.pm, spec));
    EXPECT_TRUE(EmptyRect(spec.corn_piece)) << "the record is cleared";
  }
  // A sliver found empty is no sliver: the border stays legal.
  a_pic thin_sliver = Beside(4, 4, 10, 2, 2);
  thin_sliver.At(17, 1) = kSep;
  a_map m(thin_sliver, 32);
  a_bord_spec spec{};
  ASSERT_TRUE(Load_Spec_32(m.pm, spec));
  EXPECT_TRUE(EmptyRect(spec.sliv_piece));
  // The scans: along the separator to where the next line holds it too; 0
  // when the line ends or breaks first, or has no line beside it.
  const a_pic plain = Beside(4, 4, 10, 2, 0);
  a_map pm(plain, 32);
  EXPECT_EQ(FindH(pm.pm, kSep, 0, 0), 5);
  EXPECT_EQ(FindV(pm.pm, kSep, 0, 0), 5);
  EXPECT_EQ(FindH(pm.pm, kSep, 0, plain.w - 1), 0) << "the row ends";
  EXPECT_EQ(FindH(pm.pm, kSep, plain.h - 1, 0), 0) << "the last row has no row below it";
  EXPECT_EQ(FindV(pm.pm, kSep, plain.w - 1, 0), 0) << "the last column has no column beside it";
}

// --- Borders loaded from a library -----------------------------------------------------

// The pieces as grids of 0xRRGGBB, for comparing turns and mirrors.
using a_grid = std::vector<std::vector<uint32>>;

a_grid Grid(const PixMap& p) {
  const int32 w = p.bounds.right - p.bounds.left, h = p.bounds.bottom - p.bounds.top;
  a_grid g(size_t(h), std::vector<uint32>(size_t(w), 0));
  for (int32 y = 0; y < h; ++y)
    for (int32 x = 0; x < w; ++x)
      g[size_t(y)][size_t(x)] =
          reinterpret_cast<const uint32*>(reinterpret_cast<const uint8*>(p.baseAddr) + size_t(y) * PixMap_RowBytes(p))[x] &
          0xFFFFFF;
  return g;
}
// Turned clockwise by quarters; mirrored left to right or top to bottom.
a_grid Clockwise(const a_grid& g, int quarters) {
  a_grid out = g;
  for (int q = 0; q < quarters; ++q) {
    const a_grid in = out;
    const size_t h = in.size(), w = in[0].size();
    out.assign(w, std::vector<uint32>(h));
    for (size_t y = 0; y < w; ++y)
      for (size_t x = 0; x < h; ++x) out[y][x] = in[h - 1 - x][y];
  }
  return out;
}
a_grid Mirror_LR(a_grid g) {
  for (auto& row : g) std::reverse(row.begin(), row.end());
  return g;
}
a_grid Mirror_TB(a_grid g) {
  std::reverse(g.begin(), g.end());
  return g;
}
bool Bit(const PixMap& m, int32 x, int32 y) {
  const auto* row = reinterpret_cast<const uint8*>(m.baseAddr) + size_t(y) * PixMap_RowBytes(m);
  return (row[x >> 3] & (0x80 >> (x & 7))) != 0;
}

// An 8-bit picture: raw rows of one grey.
a_art_object Eight_Bit(a_keyset key) {
  a_art_image8 img;
  img.width = 20;
  img.height = 8;
  img.index.assign(160, 7);
  a_art_object o;
  o.key = key;
  std::string err;
  EXPECT_TRUE(Pixt_Encode8(img, 0, false, o.data, err)) << err;
  return o;
}

// A 16-bit picture, raw: the header (row bytes, width, height, flags,
// depth) and big-endian rows.
a_art_object Sixteen_Bit(a_keyset key, const a_pic& p) {
  a_art_object o;
  o.key = key;
  const int32 rb = p.w * 2;
  auto be16 = [&](int32 v) {
    o.data.push_back(uint8(v >> 8));
    o.data.push_back(uint8(v));
  };
  be16(rb);
  be16(p.w);
  be16(p.h);
  o.data.push_back(0);
  o.data.push_back(16);
  for (uint32 c : p.px) be16(int32(((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31)));
  return o;
}

class Borders : public ::testing::Test {
 protected:
  // Border ids of the library built by Open_Library, in key order.
  enum { B_CLASS1 = 1, B_CLASS2, B_CLASS3, B_CLASS4, B_NOSLIVER, B_SIXTEEN, B_EIGHT, B_THIN };
  void SetUp() override {
    VoskDef_Init();
    SysVideo_Init();
    SysWin_Init();
    Set_GWorld(nullptr);
    Quickdraw_Init();
    SysBlt_Init();
    OP_Init();
    SysPixt_Init();
    Border_Init();
    dir_ = testdir::Make_Temp_Dir("velmor-borders");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    Border_Unload();
    OP_Stop();
    SysBlt_Stop();
    Port_Stack_Clear();
    Set_GWorld(nullptr);
    Stop_Quickdraw();
    SysVideo_Stop();
    testdir::Remove_Dir(dir_);
  }
  // Corner 4 x 4, side 16 x 4, sliver 2 x 4 in classes 1 to 4; the class-2
  // one without a sliver, and at 16 bits; an 8-bit picture; a corner of
  // width 0.
  void Open_Library() {
    std::vector<a_art_object> objects;
    auto add = [&](int16 i, const a_pic& p) {
      a_art_image img;
      img.width = p.w;
      img.height = p.h;
      for (uint32 c : p.px) img.rgba.insert(img.rgba.end(), {uint8(c >> 16), uint8(c >> 8), uint8(c), 255});
      a_art_object o;
      o.key = a_keyset{ART_BORDER, 1, i, 0};
      std::string err;
      ASSERT_TRUE(Pixt_Encode32_RLE(img, 0, o.data, err)) << err;
      objects.push_back(o);
    };
    for (int cls = 1; cls <= 4; ++cls) add(int16(cls), Beside(4, 4, 16, 2, cls));
    add(B_NOSLIVER, Beside(4, 4, 16, 0, 2));
    objects.push_back(Sixteen_Bit(a_keyset{ART_BORDER, 1, B_SIXTEEN, 0}, Beside(4, 4, 16, 2, 2)));
    objects.push_back(Eight_Bit(a_keyset{ART_BORDER, 1, B_EIGHT, 0}));
    a_pic thin = Beside(4, 4, 16, 2, 2);
    thin.At(1, 1) = kSep;
    add(B_THIN, thin);
    std::vector<uint8> bytes;
    std::string err;
    ASSERT_TRUE(ArtLib_Build(objects, bytes, err)) << err;
    const std::string path = dir_ + "/borders.ART4";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
    ASSERT_EQ(Border_Count(), 8);
  }
  std::string dir_;
};

TEST_F(Borders, PiecesTurnedOrMirroredByClassWithTheirMasks) {
  Open_Library();
  struct {
    int16 id;
    std::array<int, 3> corner_turns;  // -1: mirrored (left to right, -, top to bottom)
  } cases[] = {{B_CLASS1, {-1, 2, -1}}, {B_CLASS2, {1, 2, 3}}, {B_CLASS3, {0, 0, 0}}, {B_CLASS4, {0, 0, 0}},
               {B_SIXTEEN, {1, 2, 3}}};
  for (const auto& c : cases) {
    SCOPED_TRACE("border " + std::to_string(c.id));
    ASSERT_TRUE(Load_Comp(c.id));
    EXPECT_EQ(g_bord.id, c.id);
    const a_grid corner = Grid(g_bord.corn_pix[0]), side = Grid(g_bord.side_pix[0]), sliver = Grid(g_bord.sliv_pix[0]);
    ASSERT_EQ(side.size(), 4u);
    ASSERT_EQ(side[0].size(), 16u);
    EXPECT_EQ((side[2][5] >> 16) & 0xF0, kSideRed);
    EXPECT_EQ(sliver[0].size(), 2u);
    for (int d = 1; d < 4; ++d) {
      const int turns = c.corner_turns[size_t(d - 1)];
      const a_grid want = turns >= 0 ? Clockwise(corner, turns) : d == 1 ? Mirror_LR(corner) : Mirror_TB(corner);
      EXPECT_EQ(Grid(g_bord.corn_pix[size_t(d)]), want) << "corner " << d + 1;
      EXPECT_EQ(Grid(g_bord.side_pix[size_t(d)]), Clockwise(side, d)) << "side " << d + 1;
      EXPECT_EQ(Grid(g_bord.sliv_pix[size_t(d)]), Clockwise(sliver, d)) << "sliver " << d + 1;
    }
    // Masks: every pixel but the corner's white one.
    EXPECT_FALSE(Bit(g_bord.corn_pixm[0], 0, 0));
    EXPECT_TRUE(Bit(g_bord.corn_pixm[0], 1, 0));
    EXPECT_TRUE(Bit(g_bord.side_pixm[1], 3, 15));
    EXPECT_TRUE(Bit(g_bord.sliv_pixm[2], 1, 3));
  }
  ASSERT_TRUE(Load_Comp(B_NOSLIVER));
  for (const PixMap& p : g_bord.sliv_pix) EXPECT_TRUE(Is_Null_PixMap(p));
}

TEST_F(Borders, DamagedPicturesRefusedWithTheLimitSoundAndRememberedOnce) {
  Open_Library();
  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 40, 40}, 32, nullptr, w), noErr);
  for (int16 id : {int16(B_EIGHT), int16(B_THIN), int16(0), int16(9)}) {
    SCOPED_TRACE("border " + std::to_string(id));
    soundtest::SoundRecorder sounds;
    Push_GWorld(w);
    Rect dirty{1, 1, 2, 2};
    EXPECT_FALSE(Border_Draw(false, id, Rect{2, 2, 38, 38}, &dirty));
    Pop_GWorld();
    EXPECT_TRUE(EmptyRect(dirty));
    EXPECT_EQ(g_bord.id, 0);
    EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_LIMIT});
    Point ncorn{1, 1}, nside{1, 1}, nsliv{1, 1}, used{1, 1};
    sounds.Clear();
    EXPECT_FALSE(Border_CalcSize2(id, Point{30, 30}, ncorn, nside, nsliv, used));
    for (const Point& zeroed : {ncorn, nside, nsliv, used}) EXPECT_TRUE(zeroed == (Point{0, 0}));
    if (id == B_EIGHT || id == B_THIN) {
      EXPECT_TRUE(sounds.Ids().empty()) << "the refusal is remembered";
    }
  }
  Dispose_GWorld(w);
}

TEST(BorderFit, SliversSpreadOverTheGaps) {
  struct {
    int16 ix, nside, nsliv, want;
  } cases[] = {{0, 2, 7, 3}, {1, 2, 7, 2}, {2, 2, 7, 2}, {0, 0, 5, 5}, {0, 3, 2, 1},
               {1, 3, 2, 1}, {2, 3, 2, 0}, {3, 3, 2, 0}, {0, 2, 0, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(Calc_NSliv(c.ix, c.nside, c.nsliv), c.want) << c.ix << " of " << c.nside << " sides, " << c.nsliv;
}

TEST_F(Borders, FittingCountsWholePiecesAlongEachAxis) {
  Open_Library();
  struct {
    int16 id;
    Point frame;  // v: height, h: width
    Point nside, nsliv, used;
  } cases[] = {
      {B_CLASS2, {20, 55}, {0, 2}, {6, 7}, {20, 54}},
      {B_CLASS2, {40, 100}, {2, 5}, {0, 6}, {40, 100}},
      {B_CLASS2, {3, 3}, {0, 0}, {0, 0}, {8, 8}},  // a frame under the corners: the corners' size
      {B_NOSLIVER, {20, 55}, {0, 2}, {0, 0}, {8, 40}},
      {B_SIXTEEN, {21, 55}, {0, 2}, {6, 7}, {20, 54}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("border " + std::to_string(c.id) + " round " + std::to_string(c.frame.h) + " x " +
                 std::to_string(c.frame.v));
    Point ncorn{}, nside{}, nsliv{}, used{};
    ASSERT_TRUE(Border_CalcSize2(c.id, c.frame, ncorn, nside, nsliv, used));
    EXPECT_EQ(ncorn.h, 2);
    EXPECT_EQ(ncorn.v, 2);
    EXPECT_EQ(nside.h, c.nside.h);
    EXPECT_EQ(nside.v, c.nside.v);
    EXPECT_EQ(nsliv.h, c.nsliv.h);
    EXPECT_EQ(nsliv.v, c.nsliv.v);
    EXPECT_EQ(used.h, c.used.h);
    EXPECT_EQ(used.v, c.used.v);
  }
  // The border chosen in the bar.
  gs.bar_selection[BORDER_BAR] = B_CLASS2;
  Point size{};
  Border_CalcSize(size, Point{20, 55});
  EXPECT_EQ(size.h, 54);
  EXPECT_EQ(size.v, 20);
  gs.bar_selection[BORDER_BAR] = B_THIN;
  Border_CalcSize(size, Point{20, 55});
  EXPECT_EQ(size.h, 0);
  EXPECT_EQ(size.v, 0);
}

// --- Drawing -----------------------------------------------------------------------------

constexpr uint32 kGround = 0x203040;

class BorderDrawing : public Borders {
 protected:
  void SetUp() override {
    Borders::SetUp();
    Open_Library();
    ASSERT_EQ(New_GWorld(Rect{0, 0, 64, 64}, 32, nullptr, world_), noErr);
    ASSERT_EQ(New_GWorld(Rect{0, 0, 64, 64}, 8, nullptr, mask_), noErr);
    Fill_Ground();
  }
  void Fill_Ground() {
    for (int32 y = 0; y < 64; ++y)
      for (int32 x = 0; x < 64; ++x) {
        Px(x, y) = 0xFF000000u | kGround;
        Mx(x, y) = 200;
      }
  }
  // Border B_CLASS2 round the 55 x 20 frame at (2, 3), and its coverage at
  // level in the mask world.
  void Expect_Class2_Round_55x20(uint8 level) {
    const std::string side = N("S", 16);
    EXPECT_EQ(Row(4, 0, 58), ".." + N("C", 4) + N("L", 6) + side + N("L", 4) + side + N("L", 4) + N("C", 4) + "..");
    EXPECT_EQ(Row(21, 0, 58), ".." + N("C", 4) + N("L", 4) + side + N("L", 4) + side + N("L", 6) + N("C", 4) + "..");
    EXPECT_EQ(Column(54, 0, 26), "..." + N("C", 4) + N("L", 12) + N("C", 4) + "...");
    EXPECT_EQ(Column(3, 0, 26), "..." + N("C", 4) + N("L", 12) + N("C", 4) + "...");
    EXPECT_EQ(Code(2, 3), '.') << "the corner's white pixel is left out";
    EXPECT_EQ(Code(10, 10), '.') << "the inside is left alone";
    // The bottom-right corner is the corner turned half round: its white
    // pixel at its bottom right.
    EXPECT_EQ(Code(55, 22), '.');
    EXPECT_EQ(Code(54, 22), 'C');
    int bad = 0;
    for (int32 y = 0; y < 64; ++y)
      for (int32 x = 0; x < 64; ++x) bad += Mx(x, y) != (Code(x, y) == '.' ? 200 : level);
    EXPECT_EQ(bad, 0) << "mask cells not at the level where a piece was drawn, or changed elsewhere";
  }
  void TearDown() override {
    g_border_mask_world = nullptr;
    Dispose_GWorld(world_);
    Dispose_GWorld(mask_);
    Borders::TearDown();
  }
  uint32& Px(int32 x, int32 y) {
    return reinterpret_cast<uint32*>(world_->pix.baseAddr + size_t(y) * PixMap_RowBytes(world_->pix))[x];
  }
  uint8& Mx(int32 x, int32 y) {
    return reinterpret_cast<uint8*>(mask_->pix.baseAddr + size_t(y) * PixMap_RowBytes(mask_->pix))[x];
  }
  // The piece each pixel of a run shows: C corner, S side, L sliver, W
  // white, . untouched.
  char Code(int32 x, int32 y) {
    const uint32 c = Px(x, y) & 0xFFFFFF;
    if (c == kGround) return '.';
    if (c == kWhite) return 'W';
    switch (c >> 16) {
      case kCornerRed: return 'C';
      case kSideRed: return 'S';
      case kSliverRed: return 'L';
      default: return '?';
    }
  }
  std::string Row(int32 y, int32 x0, int32 x1) {
    std::string s;
    for (int32 x = x0; x < x1; ++x) s += Code(x, y);
    return s;
  }
  std::string Column(int32 x, int32 y0, int32 y1) {
    std::string s;
    for (int32 y = y0; y < y1; ++y) s += Code(x, y);
    return s;
  }
  // The mask level a paint at opacity writes.
  static uint8 Level(int16 opacity) {
    GWorldPtr one = nullptr;
    EXPECT_EQ(New_GWorld(Rect{0, 0, 1, 1}, 8, nullptr, one), noErr);
    Push_GWorld(one);
    SetForeOpacity(opacity);
    PaintRect(Rect{0, 0, 1, 1});
    Pop_GWorld();
    const uint8 v = *reinterpret_cast<uint8*>(one->pix.baseAddr);
    Dispose_GWorld(one);
    return v;
  }
  static std::string N(const char* piece, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += piece;
    return s;
  }
  GWorldPtr world_ = nullptr, mask_ = nullptr;
};

// Round a 55 x 20 frame: 2 sides and 7 slivers across (gaps of 3, 2, 2
// from each edge's own start), 6 slivers down, in the colour world and at
// the lent opacity in the mask world.
TEST_F(BorderDrawing, EdgeByEdgeFromTheCornersIntoTheMaskWorld) {
  g_border_mask_world = mask_;
  g_border_mask_opacity = 60;
  Push_GWorld(world_);
  Rect dirty{};
  ASSERT_TRUE(Border_Draw(false, B_CLASS2, Rect{3, 2, 23, 57}, &dirty));
  Pop_GWorld();
  EXPECT_TRUE(Same_Rect(dirty, Rect{3, 2, 23, 56})) << Text(dirty);
  Expect_Class2_Round_55x20(Level(60));
}

// The framed rectangle's border fill: the border chosen in the bar, centred
// in the rectangle, its coverage in the layer's mask at the paint opacity;
// a border that cannot be loaded changes neither world.
TEST_F(BorderDrawing, FramedRectangleWithTheBorderFill) {
  gs.fill_kind = BORDER_FILL;
  gs.grid_vals[TOOL_GRID] = FRECT_TOOL;
  gs.fill_color32 = a_win_pixel32{{1, 2, 3, 255}};
  gs.slider_vals[PAINT_OPACITY_SLIDER] = 70;
  gs.slider_vals[LINE_THICKNESS_SLIDER] = 3;
  gs.bar_selection[BORDER_BAR] = B_CLASS2;
  Rect dirty{};
  Do_Atom_4(Rect{3, 2, 23, 57}, Atom_FRect, world_, mask_, &dirty);
  EXPECT_TRUE(Same_Rect(dirty, Rect{3, 2, 23, 56})) << Text(dirty);
  Expect_Class2_Round_55x20(Level(70));
  EXPECT_EQ(g_border_mask_world, nullptr) << "the mask world is only lent";
  gs.bar_selection[BORDER_BAR] = B_THIN;
  Fill_Ground();
  soundtest::SoundRecorder sounds;
  Do_Atom_4(Rect{3, 2, 23, 57}, Atom_FRect, world_, mask_, &dirty);
  EXPECT_TRUE(EmptyRect(dirty));
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_LIMIT});
  int touched = 0;
  for (int32 y = 0; y < 64; ++y)
    for (int32 x = 0; x < 64; ++x) touched += Code(x, y) != '.' || Mx(x, y) != 200;
  EXPECT_EQ(touched, 0);
}

TEST_F(BorderDrawing, CentredInTheFrameWithoutAMaskWorld) {
  Push_GWorld(world_);
  ASSERT_TRUE(Border_Draw(true, B_NOSLIVER, Rect{0, 0, 26, 60}, nullptr));
  Pop_GWorld();
  // 56 x 24 used of 60 x 26: 2 and 1 cells in.
  EXPECT_EQ(Row(2, 0, 60), ".." + N("C", 4) + N("S", 48) + N("C", 4) + "..");
  EXPECT_EQ(Column(3, 0, 26), "." + N("C", 4) + N("S", 16) + N("C", 4) + ".");
  int touched = 0;
  for (int32 y = 0; y < 64; ++y)
    for (int32 x = 0; x < 64; ++x) touched += Mx(x, y) != 200;
  EXPECT_EQ(touched, 0);
}

TEST_F(BorderDrawing, BarCellClippedAndErasedWhite) {
  Push_GWorld(world_);
  Border_DrawElement(Rect{10, 10, 40, 50}, B_CLASS2);
  // A cell under the corners' size: the centred pieces are cut at the cell.
  Border_DrawElement(Rect{50, 50, 56, 56}, B_CLASS2);
  Pop_GWorld();
  EXPECT_EQ(Row(11, 8, 52), ".." + N("C", 4) + N("S", 32) + N("C", 4) + "..");
  EXPECT_EQ(Code(30, 25), 'W');
  EXPECT_EQ(Row(51, 48, 58), "..CCCCCC..");
  EXPECT_EQ(Column(53, 48, 58), "..CCCCCC..");
}

// A frame reaching past the world: the pieces are cut at its edges.
TEST_F(BorderDrawing, FrameBeyondTheWorldIsCut) {
  g_border_mask_world = mask_;
  Push_GWorld(world_);
  ASSERT_TRUE(Border_Draw(false, B_CLASS2, Rect{-2, -6, 70, 70}, nullptr));
  Pop_GWorld();
  // 76 x 72: across 4 sides and 2 slivers, down 4 sides. Only the top
  // edge's last two rows lie in the world, from its first side on.
  EXPECT_EQ(Row(0, 0, 64), N("S", 16) + N("L", 2) + N("S", 46));
  EXPECT_EQ(Row(2, 0, 64), N(".", 64));
  EXPECT_EQ(Column(63, 2, 64), N(".", 62));
  EXPECT_EQ(Mx(0, 0), Level(100));
}

TEST_F(Borders, SecondLoadReadsNothing) {
  Open_Library();
  ASSERT_TRUE(Load_Comp(B_CLASS3));
  const Ptr first = g_bord.corn_pix[0].baseAddr;
  OP_Stop();  // no library to read from any more
  OP_Init();
  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 40, 40}, 32, nullptr, w), noErr);
  Push_GWorld(w);
  EXPECT_TRUE(Border_Draw(false, B_CLASS3, Rect{0, 0, 30, 30}, nullptr));
  EXPECT_EQ(g_bord.corn_pix[0].baseAddr, first);
  soundtest::SoundRecorder sounds;
  EXPECT_FALSE(Border_Draw(false, B_CLASS2, Rect{0, 0, 30, 30}, nullptr)) << "another border needs the library";
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_LIMIT});
  Pop_GWorld();
  Dispose_GWorld(w);
}

// Every border of the program's library loads and fits round a frame by
// whole pieces, and draws inside it.
TEST_F(Borders, EveryLibraryBorderLoadsAndFits) {
  FSSpec spec;
  ASSERT_TRUE(Path_From_Text(spec, VELMOR_ART_LIBRARY));
  ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY) << VELMOR_ART_LIBRARY << " (the build draws it)";
  const int16 n = Border_Count();
  ASSERT_GE(n, ART_MIN_BORDERS);
  GWorldPtr w = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 170, 250}, 32, nullptr, w), noErr);
  for (int16 id = 1; id <= n; ++id) {
    SCOPED_TRACE("border " + std::to_string(id));
    Point ncorn{}, nside{}, nsliv{}, used{};
    ASSERT_TRUE(Border_CalcSize2(id, Point{160, 240}, ncorn, nside, nsliv, used));
    EXPECT_LE(used.h, 240);
    EXPECT_LE(used.v, 160);
    EXPECT_GE(nside.h, 1);
    // What is left is under one sliver (one side without slivers).
    const PixMap& fill = Is_Null_PixMap(g_bord.sliv_pix[0]) ? g_bord.side_pix[0] : g_bord.sliv_pix[0];
    EXPECT_LT(240 - used.h, fill.bounds.right - fill.bounds.left);
    Push_GWorld(w);
    Rect dirty{};
    EXPECT_TRUE(Border_Draw(true, id, Rect{5, 5, 165, 245}, &dirty));
    Pop_GWorld();
    Rect in{};
    EXPECT_TRUE(SectRect(dirty, Rect{5, 5, 165, 245}, in) && EqualRect(in, dirty));
  }
  Dispose_GWorld(w);
}

}  // namespace
