// The canvas of a unit: the set of each unit kind, finding a canvas's full
// picture along the chain of sets, the part of a picture each unit samples,
// the one-entry cache, white and tinted canvases, turned and flipped
// pictures, checking the canvases of a document as it is read, the canvas
// commands and sliders, the canvas bar's cells, and turning worlds.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "PictLibWrite.h"
#include "TempDirSupport.h"
#include "TestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "host/HostAudio.h"
#include "host/HostScript.h"
#include "host/HostWinCore.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysIO.h"
#include "platform/SysSound.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

constexpr float kMMPerPixel = 0.0846667f;

// A layout of units of these kinds and sizes (w x h cells).
struct Face {
  uint8 kind;
  int w, h;
};
a_template Units(std::initializer_list<Face> faces) {
  a_template x{};
  std::strcpy(x.label, "Canvas sheet");
  x.papersize = {215.9f, 279.4f};
  for (const Face& f : faces) {
    a_unit& u = x.units[x.nunits++];
    u.kind = f.kind;
    u.bbox = a_frect{5, 5, 5 + float(f.w) * kMMPerPixel, 5 + float(f.h) * kMMPerPixel};
  }
  return x;
}

struct Rgb {
  uint8 r, g, b;
  bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Rgb& c) {
  return o << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}
constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0}, kWhite{255, 255, 255};

Rgb Px(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  const uint8* q = reinterpret_cast<const uint8*>(p.baseAddr) + size_t(y - p.bounds.top) * PixMap_RowBytes(p) +
                   size_t(x - p.bounds.left) * 4;
  return Rgb{q[2], q[1], q[0]};
}
void Set_Px(GWorldPtr w, int x, int y, Rgb c) {
  const PixMap& p = w->pix;
  uint8* q = reinterpret_cast<uint8*>(p.baseAddr) + size_t(y - p.bounds.top) * PixMap_RowBytes(p) +
             size_t(x - p.bounds.left) * 4;
  q[0] = c.b, q[1] = c.g, q[2] = c.r, q[3] = 255;
}

// A w x h picture in four quadrants: red, green over blue, yellow.
a_art_image Quadrants(int w, int h) {
  a_art_image img{w, h, std::vector<uint8>(size_t(w) * size_t(h) * 4)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Rgb c = y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kBlue : kYellow);
      uint8* p = &img.rgba[(size_t(y) * size_t(w) + size_t(x)) * 4];
      p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
    }
  return img;
}
a_art_image Solid(int w, int h, Rgb c) {
  a_art_image img{w, h, {}};
  for (int i = 0; i < w * h; ++i) img.rgba.insert(img.rgba.end(), {c.r, c.g, c.b, 255});
  return img;
}

a_art_object Picture(a_keyset key, const a_art_image& img) {
  a_art_object o;
  o.key = key;
  std::string err;
  EXPECT_TRUE(Pixt_Encode32(img, 0, o.data, err)) << err;
  return o;
}

const std::vector<uint8> kRefusedSamples = {0x44, 0x55};

class Canvas : public ::testing::Test {
 protected:
  void SetUp() override {
    VoskDef_Init();
    Resources_Init();
    SysVideo_Init();
    SysWin_Init();
    Set_GWorld(nullptr);
    Quickdraw_Init();
    InitGray();
    SysBlt_Init();
    OP_Init();
    SysPixt_Init();
    OPUtil_Init();
    VoskDoc_Init();
    VoskFunc_Init();
    VoskUndo_Init();
    History_Null();
    VoskBlok_Init();
    SV_Init();
    Host_Audio_Reset_Sink();
    Sound_Enable(true);
    gs.controller = GHOST;
    dir_ = testdir::Make_Temp_Dir("velmor-canvas");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    Undo_Dispose();
    if (g_doc.doc_open) Doc_Dispose();
    Dispose_Doc_Buffers();
    Cache_Stop();
    Sound_Stop();
    OP_Stop();
    SysBlt_Stop();
    Port_Stack_Clear();
    Set_GWorld(nullptr);
    SysVideo_Stop();
    Host_Audio_Reset_Sink();
    testdir::Remove_Dir(dir_);
  }

  // Writes and opens a library of these objects (and the refusal sound).
  void Open_Library(std::vector<a_art_object> objects) {
    a_art_object snd;
    snd.key = a_keyset{SOUND_KEY_FAMILY, 0, SND_OBJ_REFUSED, 0};
    std::string err;
    ASSERT_TRUE(Sound_Encode8(8000, kRefusedSamples, snd.data, err)) << err;
    objects.push_back(snd);
    std::vector<uint8> bytes;
    ASSERT_TRUE(ArtLib_Build(objects, bytes, err)) << err;
    const std::string path = dir_ + "/lib" + std::to_string(++nlibs_) + ".ART4";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
    FSSpec spec;
    ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
    ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY);
  }

  // A document of one unit, made current.
  a_doc_unit* Open_Unit(uint8 kind, int w, int h) {
    EXPECT_TRUE(Doc_New(Units({{kind, w, h}})));
    Select_Doc_Unit(1);
    return Doc_Unit(1);
  }

  static GWorldPtr World(const Rect& r, Rgb fill) {
    GWorldPtr w = nullptr;
    New_GWorldF("test", r, 32, nullptr, w);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) Set_Px(w, x, y, fill);
    return w;
  }

  static int Refusals() {
    int n = 0;
    for (const HostAudioEvent& e : Host_Audio_Events())
      n += e.kind == HostAudioEventKind::PLAY && e.samples == kRefusedSamples;
    Host_Audio_Reset_Sink();
    return n;
  }

  std::string dir_;
  int nlibs_ = 0;
};

// Every unit kind's canvas set, by the kinds named for each set; the rest
// have the plain set 1.
TEST(CanvasSets, EveryUnitKindHasItsSet) {
  const std::vector<std::pair<int16, std::vector<uint8>>> sets = {
      {0, {UNIT_CIRCLE, UNIT_CD, UNIT_CD_CORE, UNIT_MINICD_RING, UNIT_MINICD_HOCKEY}},
      {2, {UNIT_JEWEL_SLIMLINE, UNIT_JEWEL_BASE}},
      {3, {UNIT_DVDBOX_WRAP, UNIT_BETACAM_FACE, UNIT_BLURAY_WRAP}},
      {4, {UNIT_SUPERJEWEL_INLAY, UNIT_SUPERJEWEL_BOOKLET, UNIT_DVDBOX_INSERT}},
      {5, {UNIT_VISITING2, UNIT_MINICD_LID2, UNIT_JEWEL_LID2}},
      {6, {UNIT_EMPTY, UNIT_JEWEL_LID3, UNIT_JEWEL_SPINE, UNIT_SUPERJEWEL_COVER, UNIT_DVDBOX_INSERT2,
           UNIT_AUDIO_SPINE, UNIT_DAT_JCARD, UNIT_BETACAM_SPINE, UNIT_BETACAM_INSERT, UNIT_UMATIC_SPINE,
           UNIT_UMATIC_INSERT, UNIT_MINIDV_SPINE, UNIT_DVCAM_SPINE, UNIT_DVCPRO_SPINE, UNIT_HI8_JCARD,
           UNIT_MD_SPINE, UNIT_8MM_SPINE}},
  };
  std::vector<int16> want(NUNITKINDS, 1);
  for (const auto& [set, kinds] : sets)
    for (uint8 k : kinds) want[k] = set;
  for (uint32 k = 0; k < NUNITKINDS; ++k) {
    EXPECT_EQ(UNIT_TO_CANV_PREFIX[k], want[k]) << "kind " << k;
    EXPECT_EQ(Canvas_Prefix(uint8(k)), want[k]) << "kind " << k;
  }
  EXPECT_EQ(Canvas_Prefix(NUNITKINDS), 1);
  EXPECT_EQ(Canvas_Prefix(255), 1);
  // Target sizes, and none for set 6.
  int16 h = 0, w = 0;
  ASSERT_TRUE(Canvas_Target_Size(UNIT_DVDBOX_WRAP, Rect{0, 0, 2000, 4000}, h, w));
  EXPECT_EQ(h, 640);
  EXPECT_EQ(w, 1280);
  ASSERT_TRUE(Canvas_Target_Size(UNIT_SUPERJEWEL_BOOKLET, Rect{0, 0, 1417, 1417}, h, w));
  EXPECT_EQ(h, 614);
  EXPECT_EQ(w, 584);
  ASSERT_TRUE(Canvas_Target_Size(UNIT_MINICD_HOCKEY, Rect{0, 0, 590, 800}, h, w));
  EXPECT_EQ(h, 472);  // 640 x 590 / 800
  EXPECT_EQ(w, 640);
  ASSERT_TRUE(Canvas_Target_Size(UNIT_MINICD_RECT, Rect{0, 0, 590, 850}, h, w));
  EXPECT_EQ(h, 444);
  EXPECT_FALSE(Canvas_Target_Size(UNIT_JEWEL_SPINE, Rect{0, 0, 70, 1400}, h, w));
}

// The chain of sets a missing picture is looked for along: 0 -> 1 -> 2 ->
// 5 -> 3 and 4 -> 3; it ends at 3, 6 and any set outside 0 .. 6.
TEST_F(Canvas, FullPictureAlongTheChain) {
  const a_art_image img = Solid(4, 4, kRed);
  Open_Library({Picture({1, 3, 7, 1}, img), Picture({1, 1, 9, 1}, img), Picture({1, 5, 8, 1}, img),
                Picture({1, 6, 11, 1}, img), Picture({1, 0, 12, 1}, img)});
  struct Case {
    int16 b, c;
    bool found;
    int16 want_b;
  };
  const Case cases[] = {
      {0, 7, true, 3}, {1, 7, true, 3}, {2, 7, true, 3}, {5, 7, true, 3}, {4, 7, true, 3}, {3, 7, true, 3},
      {6, 7, false, 0},   // spines have no chain
      {0, 9, true, 1}, {2, 9, false, 0}, {4, 9, false, 0},  // 2 -> 5 -> 3 and 4 -> 3 never reach 1
      {0, 8, true, 5}, {4, 8, false, 0},
      {6, 11, true, 6}, {0, 12, true, 0},
      {3, 10, false, 0}, {6, 10, false, 0}, {0, 10, false, 0},  // nowhere
      {7, 7, false, 0}, {-1, 7, false, 0}, {32000, 7, false, 0},  // not a set
  };
  for (const Case& k : cases) {
    a_keyset full{};
    EXPECT_EQ(Find_Full_Canvas(full, a_keyset{2, k.b, k.c, 1}), k.found) << k.b << " " << k.c;
    if (!k.found) continue;
    EXPECT_EQ(full.a, 1);
    EXPECT_EQ(full.b, k.want_b) << k.b << " " << k.c;
    EXPECT_EQ(full.c, k.c);
  }
  // The white canvas needs no picture, in any set.
  a_keyset full{};
  EXPECT_TRUE(Find_Full_Canvas(full, a_keyset{2, 9, 1, 1}));
  EXPECT_EQ(full.a, 1);
  EXPECT_EQ(full.b, 9);
}

// The part of the picture each unit samples (rectangles top, left, bottom,
// right).
TEST(CanvasSource, PartOfThePictureByUnitAndSet) {
  struct Case {
    const char* what;
    uint8 kind;
    Rect unit;
    int16 b;
    Rect picture, dest, want;
  };
  const Rect disc = {0, 0, 640, 640}, wrap = {0, 0, 640, 1280}, booklet = {0, 0, 614, 584};
  const Case cases[] = {
      {"own set, same shape: all of it", UNIT_CD, {0, 0, 1200, 1200}, 0, disc, {0, 0, 1200, 1200}, disc},
      {"own set, wide unit: a band at equal scale", UNIT_RECT, {0, 0, 500, 1000}, 1, disc, {0, 0, 500, 1000},
       {160, 0, 480, 640}},
      {"set 1 on a wrap: equal scale too", UNIT_DVDBOX_WRAP, {0, 0, 1000, 2000}, 1, disc, {0, 0, 1000, 2000},
       {160, 0, 480, 640}},
      {"a wrap's canvas on a disc: the disc's 640 x 640", UNIT_CD, {0, 0, 1200, 1200}, 3, wrap,
       {0, 0, 1200, 1200}, {0, 320, 640, 960}},
      {"a disc's canvas on a wrap: 640 x 1280, past its sides", UNIT_DVDBOX_WRAP, {0, 0, 1000, 2000}, 0, disc,
       {0, 0, 1000, 2000}, {0, -320, 640, 960}},
      {"an inlay's canvas on an insert", UNIT_DVDBOX_INSERT, {0, 0, 1200, 1100}, 2, {0, 0, 640, 810},
       {0, 0, 1200, 1100}, {13, 113, 627, 697}},
      {"1270 wide: equal scale on any unit", UNIT_CD, {0, 0, 1200, 1200}, 3, {0, 0, 640, 1270},
       {0, 0, 1200, 1200}, {0, 315, 640, 955}},
      {"set 4: 12 pixels in from the right", UNIT_DVDBOX_INSERT, {0, 0, 1000, 500}, 4, booklet,
       {0, 0, 1000, 500}, {0, 265, 614, 572}},
      {"set 4 across sets: the same inset", UNIT_RECT, {0, 0, 800, 800}, 4, {0, 0, 1000, 1000}, {0, 0, 800, 800},
       {180, 348, 820, 988}},
      {"set 4, all its width: kept inside", UNIT_DVDBOX_INSERT, {0, 0, 300, 584}, 4, booklet, {0, 0, 300, 584},
       {157, 0, 457, 584}},
      {"a spine shows another set at equal scale", UNIT_JEWEL_SPINE, {0, 0, 70, 1400}, 0, disc, {0, 0, 70, 1400},
       {304, 0, 336, 640}},
      {"a business-card disc: 640 high in its proportion", UNIT_MINICD_HOCKEY, {0, 0, 590, 800}, 3, wrap,
       {0, 0, 590, 800}, {84, 320, 556, 960}},
      {"a picture not at the origin", UNIT_RECT, {0, 0, 500, 1000}, 1, {10, 20, 650, 660}, {0, 0, 500, 1000},
       {170, 20, 490, 660}},
  };
  for (const Case& c : cases) {
    Rect src;
    ASSERT_TRUE(Calc_Canvas_Source(c.kind, c.unit, a_keyset{1, c.b, 2, 1}, c.picture, c.dest, src)) << c.what;
    EXPECT_EQ(src, c.want) << c.what << ": " << src.top << " " << src.left << " " << src.bottom << " " << src.right;
  }
  // Nothing to sample onto or from.
  Rect src{1, 1, 2, 2};
  EXPECT_FALSE(Calc_Canvas_Source(UNIT_CD, disc, a_keyset{1, 0, 2, 1}, disc, Rect{0, 0, 0, 100}, src));
  EXPECT_TRUE(EmptyRect(src));
  EXPECT_FALSE(Calc_Canvas_Source(UNIT_CD, disc, a_keyset{1, 0, 2, 1}, Rect{0, 0, 640, 0}, disc, src));
  EXPECT_FALSE(Calc_Canvas_Source(UNIT_JEWEL_SPINE, disc, a_keyset{1, 0, 2, 1}, Rect{0, 0, 0, 0}, disc, src));
}

// A white canvas is painted without the library: white, or the tint its
// colour sliders give (a distance from a damaged file counts as 72), and
// any cached picture goes.
TEST_F(Canvas, WhiteAndTintedCanvases) {
  // A picture under the white key that must never be shown.
  Open_Library({Picture({1, 0, 1, 1}, Solid(8, 8, kRed)), Picture({2, 0, 1, 1}, Solid(8, 8, kRed))});
  Open_Unit(UNIT_CIRCLE, 40, 40);
  const Rect r = {0, 0, 40, 40};
  GWorldPtr w = World(r, Rgb{1, 2, 3});
  a_cached_canvas canv{};
  Init_CV(canv.cv);
  White_Canvas_Key(UNIT_CIRCLE, canv.cv.canvas_key);
  New_GWorldF("old", r, 32, nullptr, canv.cached_world);
  EXPECT_TRUE(Is_No_Canvas(canv.cv));
  Render_Canvas(w, true, 1, canv, r, r);
  EXPECT_EQ(canv.cached_world, nullptr);
  EXPECT_EQ(Px(w, 0, 0), kWhite);
  EXPECT_EQ(Px(w, 39, 39), kWhite);

  struct Case {
    int16 hue, dist, darkness;
    Rgb want;
  };
  const Case tints[] = {
      {0, 72, 50, kRed},                  // full distance: the hue itself
      {120, 36, 50, Rgb{128, 255, 128}},  // half way to green
      {240, 72, 50, kBlue},
      {0, 200, 50, kRed},                 // past the slider: as 72, not a saturation past 255
      {400, 72, 50, kRed},                // a hue past 359 counts as 359 (not an internal error)
      {0, 0, 50, kWhite},
  };
  for (const Case& t : tints) {
    canv.cv.canvas_color_hue = t.hue;
    canv.cv.canvas_color_dist = t.dist;
    canv.cv.canvas_darkness = t.darkness;
    EXPECT_EQ(Is_No_Canvas(canv.cv), t.dist == 0 && t.hue == 0);
    Render_Canvas(w, true, 1, canv, Rect{10, 10, 20, 20}, r);
    EXPECT_EQ(Px(w, 15, 15), t.want) << t.hue << " " << t.dist;
    EXPECT_EQ(Px(w, 5, 5), kWhite);  // outside subset: untouched
  }
  // Darkness alone makes white grey, and darker the further from 50.
  canv.cv.canvas_color_hue = canv.cv.canvas_color_dist = 0;
  canv.cv.canvas_darkness = 30;
  EXPECT_FALSE(Is_Canvas_Uncolored(canv.cv));
  Render_Canvas(w, true, 1, canv, r, r);
  const Rgb grey = Px(w, 3, 3);
  EXPECT_EQ(grey.r, grey.g);
  EXPECT_EQ(grey.g, grey.b);
  EXPECT_LT(grey.r, 255);
  canv.cv.canvas_darkness = 10;
  Render_Canvas(w, true, 1, canv, r, r);
  EXPECT_LT(Px(w, 3, 3).r, grey.r);
  Dispose_GWorld(w);
}

// With no library open at all, a white canvas still renders (nothing asks
// the library).
TEST_F(Canvas, WhiteCanvasWithoutALibrary) {
  a_doc_unit* u = Open_Unit(UNIT_RECT, 30, 20);
  ASSERT_NE(u, nullptr);
  EXPECT_TRUE(Is_CanvKey_White(u->canv.cv.canvas_key));
  const Rect r = {0, 0, 20, 30};
  GWorldPtr w = World(r, Rgb{9, 9, 9});
  Render_Canvas(w, true, 1, u->canv, r, r);
  EXPECT_EQ(Px(w, 29, 19), kWhite);
  Dispose_GWorld(w);
}

// The cached picture is reused while the settings and the bounds stay; a new
// darkness or other bounds render it again.
TEST_F(Canvas, OneEntryCache) {
  Open_Library({Picture({1, 1, 2, 1}, Solid(16, 16, Rgb{200, 100, 50})), Picture({2, 1, 2, 1}, Solid(4, 4, kRed))});
  Open_Unit(UNIT_RECT, 32, 32);
  const Rect r = {0, 0, 32, 32};
  a_cached_canvas canv{};
  Init_CV(canv.cv);
  canv.cv.canvas_key = a_keyset{2, 1, 2, 1};
  GWorldPtr w = World(r, kWhite);
  Render_Canvas(w, true, 1, canv, r, r);
  ASSERT_NE(canv.cached_world, nullptr);
  EXPECT_EQ(canv.cached_bounds, r);
  EXPECT_TRUE(Equal_CV(canv.cached_cv, canv.cv));
  EXPECT_EQ(Px(w, 16, 16), (Rgb{200, 100, 50}));

  // A mark in the cached world shows that the next rendering copies it.
  Set_Px(canv.cached_world, 5, 5, kGreen);
  Render_Canvas(w, true, 1, canv, Rect{0, 0, 10, 10}, r);
  EXPECT_EQ(Px(w, 5, 5), kGreen);

  // Only the darkness changed: rendered again.
  canv.cv.canvas_darkness = 20;
  Render_Canvas(w, true, 1, canv, r, r);
  EXPECT_EQ(canv.cached_cv.canvas_darkness, 20);
  const Rgb dark = Px(w, 5, 5);
  EXPECT_NE(dark, kGreen);
  EXPECT_LT(dark.r, 200);
  EXPECT_EQ(Px(w, 20, 20), dark);

  // Other bounds: rendered again over them.
  Set_Px(canv.cached_world, 5, 5, kGreen);
  const Rect r2 = {0, 0, 16, 16};
  Render_Canvas(w, true, 1, canv, r2, r2);
  EXPECT_EQ(canv.cached_bounds, r2);
  EXPECT_EQ(Px(w, 5, 5), dark);

  // Without the cache: straight into the destination, the cache kept.
  GWorldPtr kept = canv.cached_world;
  canv.cv.canvas_darkness = 50;
  Render_Canvas(w, false, 1, canv, Rect{20, 20, 30, 30}, r);
  EXPECT_EQ(Px(w, 25, 25), (Rgb{200, 100, 50}));
  EXPECT_EQ(canv.cached_world, kept);

  // A white canvas drops the cached world.
  White_Canvas_Key(UNIT_RECT, canv.cv.canvas_key);
  Render_Canvas(w, true, 1, canv, r, r);
  EXPECT_EQ(canv.cached_world, nullptr);
  Dispose_GWorld(w);
}

// Quarter turns clockwise, flips and inversion put each quadrant of the
// picture where it belongs.
TEST_F(Canvas, TurnedAndFlippedPictures) {
  Open_Library({Picture({1, 0, 2, 1}, Quadrants(64, 64)), Picture({2, 0, 2, 1}, Solid(4, 4, kRed))});
  Open_Unit(UNIT_CIRCLE, 100, 100);
  struct Case {
    uint16 nrot;
    bool flipx, flipy;
    Rgb tl, tr, bl, br;
  };
  const Case cases[] = {
      {0, false, false, kRed, kGreen, kBlue, kYellow},
      {1, false, false, kBlue, kRed, kYellow, kGreen},
      {2, false, false, kYellow, kBlue, kGreen, kRed},
      {3, false, false, kGreen, kYellow, kRed, kBlue},
      {0, true, false, kGreen, kRed, kYellow, kBlue},
      {0, false, true, kBlue, kYellow, kRed, kGreen},
      {1, true, false, kYellow, kGreen, kBlue, kRed},  // flipped, then turned
  };
  const Rect r = {0, 0, 100, 100};
  for (const Case& c : cases) {
    a_cached_canvas canv{};
    Init_CV(canv.cv);
    canv.cv.canvas_key = a_keyset{2, 0, 2, 1};
    canv.cv.canvas_nrot = c.nrot;
    canv.cv.canvas_flipx = c.flipx;
    canv.cv.canvas_flipy = c.flipy;
    GWorldPtr w = World(r, Rgb{1, 1, 1});
    Render_Canvas(w, true, 1, canv, r, r);
    EXPECT_EQ(Px(w, 25, 25), c.tl) << c.nrot << c.flipx << c.flipy;
    EXPECT_EQ(Px(w, 75, 25), c.tr) << c.nrot << c.flipx << c.flipy;
    EXPECT_EQ(Px(w, 25, 75), c.bl) << c.nrot << c.flipx << c.flipy;
    EXPECT_EQ(Px(w, 75, 75), c.br) << c.nrot << c.flipx << c.flipy;
    Dispose_GWorld(w);
    Dispose_GWorld(canv.cached_world);
  }
  // Inverted: each colour's complement.
  a_cached_canvas canv{};
  Init_CV(canv.cv);
  canv.cv.canvas_key = a_keyset{2, 0, 2, 1};
  canv.cv.canvas_invert = true;
  GWorldPtr w = World(r, Rgb{1, 1, 1});
  Render_Canvas(w, false, 1, canv, r, r);
  EXPECT_EQ(Px(w, 25, 25), (Rgb{0, 255, 255}));
  EXPECT_EQ(Px(w, 75, 75), (Rgb{0, 0, 255}));
  Dispose_GWorld(w);
}

// A canvas of another set wider than the unit's target reaches past the
// picture: the picture is drawn at equal scale in the middle, white beside
// it. An empty destination draws nothing.
TEST_F(Canvas, PictureSmallerThanTheTarget) {
  Open_Library({Picture({1, 0, 2, 1}, Solid(64, 64, kRed)), Picture({2, 3, 2, 1}, Solid(4, 4, kRed))});
  a_doc_unit* u = Open_Unit(UNIT_DVDBOX_WRAP, 200, 100);
  ASSERT_NE(u, nullptr);
  a_cached_canvas canv{};
  Init_CV(canv.cv);
  canv.cv.canvas_key = a_keyset{2, 0, 2, 1};
  // A 64 x 64 picture sampled 640 x 1280: 64 wide of 1280, the middle 20th.
  const Rect r = {0, 0, 100, 200};
  GWorldPtr w = World(r, Rgb{1, 1, 1});
  Render_Canvas(w, true, 1, canv, r, r);
  EXPECT_EQ(Px(w, 100, 50), kRed);
  EXPECT_EQ(Px(w, 2, 50), kWhite);
  EXPECT_EQ(Px(w, 197, 50), kWhite);
  // Nothing to draw onto: the world is left as it was.
  Set_Px(w, 0, 0, kGreen);
  Render_Canvas(w, false, 1, canv, Rect{0, 0, 0, 0}, r);
  Render_Canvas(w, true, 1, canv, Rect{5, 5, 5, 50}, Rect{0, 0, 0, 0});
  EXPECT_EQ(Px(w, 0, 0), kGreen);
  Dispose_GWorld(w);
  Dispose_GWorld(canv.cached_world);
}

// Into the unit's own layer below zoom 1, subset (cells) goes onto the
// merge pixels it covers; the rest of the layer is left alone.
TEST_F(Canvas, IntoTheUnitsLayerInMergePixels) {
  Open_Library({Picture({1, 0, 2, 1}, Solid(8, 8, kBlue)), Picture({2, 0, 2, 1}, Solid(4, 4, kRed))});
  a_doc_unit* u = Open_Unit(UNIT_CIRCLE, 100, 100);
  ASSERT_NE(u, nullptr);
  u->canv.cv.canvas_key = a_keyset{2, 0, 2, 1};
  a_cached_gworld& layer = u->statics[TOTAL_LAYER];
  Dispose_GWorld(layer.world);
  layer.bounds = Rect{0, 0, 50, 50};
  layer.world = World(layer.bounds, kGreen);
  Render_Canvas(layer.world, true, 1, u->canv, Rect{0, 0, 50, 50}, layer.bounds);
  EXPECT_EQ(Px(layer.world, 10, 10), kBlue);
  EXPECT_EQ(Px(layer.world, 24, 24), kBlue);
  EXPECT_EQ(Px(layer.world, 26, 26), kGreen);
  EXPECT_EQ(Px(layer.world, 40, 10), kGreen);
  EXPECT_EQ(u->canv.cached_bounds, layer.bounds);
}

// A document's canvases as read: values kept to their sliders' ranges, and a
// key without a picture replaced by the set's first canvas with alert 19 (the
// white one when the library has no canvases for the set).
TEST_F(Canvas, CheckingADocumentsCanvas) {
  Open_Library({Picture({2, 1, 1, 1}, Solid(4, 4, kWhite)), Picture({2, 1, 2, 1}, Solid(4, 4, kRed)),
                Picture({1, 1, 2, 1}, Solid(8, 8, kRed)), Picture({2, 1, 3, 1}, Solid(4, 4, kRed))});
  a_doc_unit* u = Open_Unit(UNIT_RECT, 40, 30);
  ASSERT_NE(u, nullptr);
  gs.controller = HUMAN;
  struct Case {
    const char* what;
    a_keyset key;
    bool alert;
    a_keyset want;
  };
  const Case cases[] = {
      {"a canvas with its picture", {2, 1, 2, 1}, false, {2, 1, 2, 1}},
      {"the white canvas", {2, 1, 1, 1}, false, {2, 1, 1, 1}},
      {"no picture (a thumbnail alone)", {2, 1, 3, 1}, true, {2, 1, 1, 1}},
      {"a canvas the library never had", {2, 1, 40, 3}, true, {2, 1, 1, 1}},
      {"a set that does not exist", {2, 9, 2, 1}, true, {2, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    u->canv.cv.canvas_key = c.key;
    testing::internal::CaptureStderr();
    Canvas_Verify(1, u);
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_EQ(shown.find("alert 19") != std::string::npos, c.alert) << c.what << ": " << shown;
    EXPECT_TRUE(Equal_Keys(u->canv.cv.canvas_key, c.want)) << c.what;
  }
  // Values a file may hold past the sliders.
  a_canvas_spec& cv = u->canv.cv;
  cv.canvas_key = a_keyset{2, 1, 2, 1};
  cv.canvas_color_dist = 200;
  cv.canvas_color_hue = -5;
  cv.canvas_darkness = 500;
  cv.canvas_fuzz_in = 11;
  cv.canvas_fuzz_out = -1;
  cv.canvas_color_sat = 101;
  cv.canvas_nrot = 7;
  Canvas_Verify(1, u);
  EXPECT_EQ(cv.canvas_color_dist, 72);
  EXPECT_EQ(cv.canvas_color_hue, 0);
  EXPECT_EQ(cv.canvas_darkness, 95);
  EXPECT_EQ(cv.canvas_fuzz_in, 10);
  EXPECT_EQ(cv.canvas_fuzz_out, 0);
  EXPECT_EQ(cv.canvas_color_sat, 100);
  EXPECT_EQ(cv.canvas_nrot, 3);
  EXPECT_FALSE(Canvas_Limit_Values(cv));
  Canvas_Verify(1, nullptr);
}

// A unit whose set has no canvases in the library falls back to the white
// key of its own set.
TEST_F(Canvas, CheckingWithAnEmptySet) {
  Open_Library({Picture({2, 1, 1, 1}, Solid(4, 4, kWhite))});
  a_doc_unit* u = Open_Unit(UNIT_JEWEL_SPINE, 400, 40);
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(Canvas_Count(UNIT_JEWEL_SPINE), 0);
  u->canv.cv.canvas_key = a_keyset{2, 6, 2, 1};
  Canvas_Verify(1, u);
  EXPECT_TRUE(Equal_Keys(u->canv.cv.canvas_key, a_keyset{2, 6, 1, 1}));
  // Rendering it is white.
  const Rect r = u->paintbounds;
  GWorldPtr w = World(r, Rgb{1, 1, 1});
  Render_Canvas(w, true, 1, u->canv, r, r);
  EXPECT_EQ(Px(w, 200, 20), kWhite);
  Dispose_GWorld(w);
}

// Canvas numbers and keys of a unit kind's set.
TEST_F(Canvas, CanvasNumbersAndKeys) {
  Open_Library({Picture({2, 0, 1, 1}, Solid(4, 4, kWhite)), Picture({2, 0, 2, 1}, Solid(4, 4, kRed)),
                Picture({2, 0, 2, 2}, Solid(4, 4, kRed)), Picture({2, 1, 1, 1}, Solid(4, 4, kWhite))});
  EXPECT_EQ(Canvas_Count(UNIT_CD), 3);
  a_keyset k;
  CanvX_To_Key(k, 3, UNIT_CD);
  EXPECT_TRUE(Equal_Keys(k, a_keyset{2, 0, 2, 2}));
  EXPECT_EQ(Key_To_CanvX(k, UNIT_CD), 3);
  EXPECT_EQ(Key_To_CanvX(k, UNIT_RECT), 1);  // not in set 1
  EXPECT_EQ(Key_To_CanvX(a_keyset{2, 0, 9, 9}, UNIT_CD), 1);
  for (int16 canvx : {0, 4, -2}) {
    CanvX_To_Key(k, canvx, UNIT_CD);
    EXPECT_TRUE(Equal_Keys(k, a_keyset{2, 0, 1, 1})) << canvx;
  }
  CanvX_To_Key(k, 1, UNIT_BLURAY_WRAP);  // an empty set
  EXPECT_TRUE(Equal_Keys(k, a_keyset{2, 3, 1, 1}));
}

// The commands on the current unit: quarter turns round, flips, inversion,
// each with its history operation; choosing a canvas, with and without Ctrl.
TEST_F(Canvas, CommandsOnTheCurrentUnit) {
  Open_Library({Picture({2, 1, 1, 1}, Solid(4, 4, kWhite)), Picture({2, 1, 2, 1}, Solid(4, 4, kRed)),
                Picture({1, 1, 2, 1}, Solid(8, 8, kRed)), Picture({2, 1, 3, 1}, Solid(4, 4, kRed)),
                Picture({1, 1, 3, 1}, Solid(8, 8, kBlue))});
  a_doc_unit* u = Open_Unit(UNIT_RECT, 40, 30);
  ASSERT_NE(u, nullptr);
  a_canvas_spec& cv = u->canv.cv;
  const uint16 start = cv.canvas_nrot;
  for (int i = 0; i < 4; ++i) Canvas_Rotate_CW();
  EXPECT_EQ(cv.canvas_nrot, start);
  EXPECT_EQ(pending_op, OP_CANVAS_ROTATE);
  Canvas_Rotate_CCW();
  EXPECT_EQ(cv.canvas_nrot, 3);
  Canvas_Rotate_CW();
  EXPECT_EQ(cv.canvas_nrot, 0);
  struct Toggle {
    void (*cmd)();
    bool8 a_canvas_spec::*field;
    a_history_op op;
  };
  for (const Toggle& t : {Toggle{Canvas_FlipX, &a_canvas_spec::canvas_flipx, OP_CANVAS_FLIP},
                          Toggle{Canvas_FlipY, &a_canvas_spec::canvas_flipy, OP_CANVAS_FLIP},
                          Toggle{Canvas_Invert, &a_canvas_spec::canvas_invert, OP_CANVAS_INVERT}}) {
    pending_op = OP_NOP;
    t.cmd();
    EXPECT_TRUE(cv.*t.field);
    EXPECT_EQ(pending_op, t.op);
    t.cmd();
    EXPECT_FALSE(cv.*t.field);
  }

  // Choosing canvas 2 of the bar starts its adjustments afresh.
  cv.canvas_darkness = 70;
  cv.canvas_flipx = true;
  const uint32 seq = u->statics[OUTERMASK_LAYER].targ_seq;
  gs.bar_selection[CANVAS_BAR] = 2;
  Canvas_Select();
  EXPECT_TRUE(Equal_Keys(cv.canvas_key, a_keyset{2, 1, 2, 1}));
  EXPECT_EQ(cv.canvas_darkness, 50);
  EXPECT_FALSE(cv.canvas_flipx);
  EXPECT_NE(u->statics[OUTERMASK_LAYER].targ_seq, seq);
  EXPECT_EQ(gs.slider_vals[CANV_DARKNESS_SLIDER], 50);
  EXPECT_EQ(gs.bar_selection[CANVAS_BAR], 2);
  EXPECT_EQ(pending_op, OP_CANVAS_SELECT);
  // The unit was drawn again with the new canvas.
  ASSERT_NE(u->statics[TOTAL_LAYER].world, nullptr);
  EXPECT_EQ(Px(u->statics[TOTAL_LAYER].world, 20, 15), kRed);

  // With Ctrl held the adjustments stay.
  cv.canvas_darkness = 70;
  gs.bar_selection[CANVAS_BAR] = 3;
  hostwin::Input_Key(VK_CONTROL, true, false, false);
  Canvas_Select();
  hostwin::Input_Key(VK_CONTROL, false, false, false);
  EXPECT_TRUE(Equal_Keys(cv.canvas_key, a_keyset{2, 1, 3, 1}));
  EXPECT_EQ(cv.canvas_darkness, 70);

  // No current unit: nothing happens.
  g_doc.up = nullptr;
  pending_op = OP_NOP;
  Canvas_Rotate_CW();
  Canvas_Select();
  EXPECT_EQ(pending_op, OP_NOP);
}

// The slider hooks copy the six sliders into the current unit's canvas; the
// feathers also make the outline again.
TEST_F(Canvas, SliderHooks) {
  a_doc_unit* u = Open_Unit(UNIT_CD_CORE, 200, 200);
  ASSERT_NE(u, nullptr);
  a_canvas_spec& cv = u->canv.cv;
  gs.slider_vals[CANV_DARKNESS_SLIDER] = 40;
  gs.slider_vals[COLOR_HUE_SLIDER] = 200;
  gs.slider_vals[COLOR_DIST_SLIDER] = 30;
  gs.slider_vals[COLOR_SAT_SLIDER] = 60;
  pending_op = OP_CANVAS_COLORIZE;
  uint32 seq = u->statics[OUTERMASK_LAYER].targ_seq;
  Delta_Canvas();
  EXPECT_EQ(cv.canvas_darkness, 40);
  EXPECT_EQ(cv.canvas_color_hue, 200);
  EXPECT_EQ(cv.canvas_color_dist, 30);
  EXPECT_EQ(cv.canvas_color_sat, 60);
  EXPECT_EQ(pending_op, OP_CANVAS_COLORIZE);
  EXPECT_EQ(u->statics[OUTERMASK_LAYER].targ_seq, seq);
  gs.slider_vals[CANV_FUZZ_OUT_SLIDER] = 4;
  Canvas_Fuzz_Delta();
  EXPECT_EQ(cv.canvas_fuzz_out, 4);
  EXPECT_NE(u->statics[OUTERMASK_LAYER].targ_seq, seq);
  EXPECT_EQ(pending_op, OP_CANVAS_ADJUST);
  // And back into the sliders.
  Init_CV(cv);
  CV_To_Sliders(cv);
  EXPECT_EQ(gs.slider_vals[CANV_DARKNESS_SLIDER], 50);
  EXPECT_EQ(gs.slider_vals[CANV_FUZZ_OUT_SLIDER], 0);
  EXPECT_EQ(gs.slider_vals[COLOR_DIST_SLIDER], 0);
}

// Clearing the paint: the layer goes, or sound 136 when there is none.
TEST_F(Canvas, ClearingThePaint) {
  Open_Library({});
  a_doc_unit* u = Open_Unit(UNIT_RECT, 40, 30);
  ASSERT_NE(u, nullptr);
  Host_Audio_Reset_Sink();
  Paint_Clear_All();
  EXPECT_EQ(Refusals(), 1);
  Sync_Existence(true, u, PAINT1_LAYER);
  u->paintinuse = true;
  pending_op = OP_NOP;
  Paint_Clear_All();
  EXPECT_FALSE(u->paintinuse);
  EXPECT_EQ(u->statics[PAINT1_LAYER].world, nullptr);
  EXPECT_EQ(u->statics[PAINT1_LAYER].mask, nullptr);
  EXPECT_EQ(pending_op, OP_PAINT_ZAP);
  EXPECT_EQ(Refusals(), 0);
}

// A cell of the canvas bar: grey round the thumbnail, which sits centred at
// its own size, or reduced when it is larger than the cell.
TEST_F(Canvas, CanvasBarCells) {
  Open_Library({Picture({2, 1, 1, 1}, Solid(20, 10, kWhite)), Picture({2, 1, 2, 1}, Solid(200, 100, kRed))});
  Open_Unit(UNIT_RECT, 40, 30);
  const Rect cell = {0, 0, 98, 98};
  GWorldPtr w = World(cell, kGreen);
  Push_GWorld(w);
  Canvas_DrawElement(cell, 1);
  const Rgb grey{160, 160, 160};
  EXPECT_EQ(Px(w, 1, 1), grey);
  EXPECT_EQ(Px(w, 49, 49), kWhite);
  EXPECT_EQ(Px(w, 49, 42), grey);  // 10 high, rows 44 to 53
  EXPECT_EQ(Px(w, 38, 49), grey);  // 20 wide, columns 39 to 58
  Canvas_DrawElement(cell, 2);     // 200 x 100 reduced to 98 x 49
  EXPECT_EQ(Px(w, 0, 49), kRed);
  EXPECT_EQ(Px(w, 97, 49), kRed);
  EXPECT_EQ(Px(w, 49, 20), grey);
  Canvas_DrawElement(cell, 3);  // no such canvas: the cell alone
  EXPECT_EQ(Px(w, 49, 49), grey);
  Pop_GWorld();
  Dispose_GWorld(w);
}

// The canvases the build drew, on a unit of each set and across sets, at a
// quarter of their size: each covers its unit (a disc's canvas on a wrap
// keeps its proportions, white beside it). The renderings are written under
// the build folder's snapshots/canvas/ for a person to look at.
TEST_F(Canvas, BuiltCanvasesOnEachSet) {
  FSSpec spec;
  ASSERT_TRUE(Path_From_Text(spec, VELMOR_ART_LIBRARY));
  ASSERT_EQ(OP_OpenFile(spec), OPEN_OKAY) << VELMOR_ART_LIBRARY << " (the build draws it)";
  ASSERT_TRUE(Doc_New(Units({{UNIT_CD, 1200, 1200},
                             {UNIT_RECT, 900, 600},
                             {UNIT_JEWEL_BASE, 1772, 1394},
                             {UNIT_DVDBOX_WRAP, 3200, 2160},
                             {UNIT_DVDBOX_INSERT, 1540, 2160},
                             {UNIT_VISITING2, 1000, 600},
                             {UNIT_JEWEL_SPINE, 1394, 70}})));
  struct Case {
    const char* name;
    uint32 ux;
    int16 set;  // whose canvas 2 is shown
    uint16 nrot;
    bool flipx;
    bool white_sides;
  };
  const Case cases[] = {
      {"disc", 1, 0, 0, false, false},      {"disc-turned", 1, 0, 1, false, false},
      {"disc-flipped", 1, 0, 0, true, false}, {"plain", 2, 1, 0, false, false},
      {"inlay", 3, 2, 0, false, false},     {"wrap", 4, 3, 0, false, false},
      {"booklet", 5, 4, 0, false, false},   {"card", 6, 5, 0, false, false},
      {"spine", 7, 6, 0, false, false},     {"wrap-canvas-on-disc", 1, 3, 0, false, false},
      {"disc-canvas-on-wrap", 4, 0, 0, false, true},
  };
  const std::string exe = VELMOR4_EXE;
  const std::string dir = exe.substr(0, exe.find_last_of('/')) + "/snapshots";
  ::mkdir(dir.c_str(), 0755);
  ::mkdir((dir + "/canvas").c_str(), 0755);
  for (const Case& c : cases) {
    a_doc_unit* u = Doc_Unit(c.ux);
    ASSERT_NE(u, nullptr) << c.name;
    a_cached_canvas canv{};
    Init_CV(canv.cv);
    a_subset subset{};
    Subset_Init(subset, a_keyset{2, c.set, WILDCARD, WILDCARD});
    ASSERT_GE(Subset_Count(subset), 2) << c.name;
    Subset_GetKey(subset, 2, canv.cv.canvas_key);
    a_keyset full;
    ASSERT_TRUE(Find_Full_Canvas(full, canv.cv.canvas_key)) << c.name;
    EXPECT_EQ(full.b, c.set) << c.name;
    canv.cv.canvas_nrot = c.nrot;
    canv.cv.canvas_flipx = c.flipx;
    const Rect r = {0, 0, int16(u->paintbounds.bottom / 4), int16(u->paintbounds.right / 4)};
    GWorldPtr w = World(r, Rgb{1, 2, 3});
    Render_Canvas(w, false, c.ux, canv, r, r);
    int white = 0;
    std::vector<uint32> bgra;
    for (int y = 0; y < r.bottom; ++y)
      for (int x = 0; x < r.right; ++x) {
        const Rgb p = Px(w, x, y);
        EXPECT_FALSE(p == (Rgb{1, 2, 3})) << c.name << " not drawn at " << x << ", " << y;
        if (p == (Rgb{1, 2, 3})) return;
        white += p == kWhite;
        bgra.push_back(0xFF000000u | uint32(p.r) << 16 | uint32(p.g) << 8 | p.b);
      }
    const int n = int(r.right) * r.bottom;
    if (c.white_sides) {
      EXPECT_EQ(Px(w, 2, r.bottom / 2), kWhite) << c.name;
      EXPECT_EQ(Px(w, r.right - 3, r.bottom / 2), kWhite) << c.name;
      EXPECT_NE(Px(w, r.right / 2, r.bottom / 2), kWhite) << c.name;
    } else {
      EXPECT_LT(white * 4, n) << c.name << ": mostly white";
    }
    std::string err;
    const std::string path = dir + "/canvas/" + c.name + ".png";
    EXPECT_TRUE(Host_Write_PNG(path, bgra.data(), r.right, r.bottom, err)) << path << ": " << err;
    Dispose_GWorld(w);
  }
}

// Worlds mirrored in place or turned into a new world by quarter turns.
TEST(CanvasWorlds, RotateGWorld) {
  SysWin_Init();
  GWorldPtr missing = nullptr;
  Rotate_GWorld(missing, CW);
  EXPECT_EQ(missing, nullptr);
  // 3 wide, 2 high: red green blue over yellow white black.
  auto make = [] {
    GWorldPtr w = nullptr;
    New_GWorldF("test", Rect{0, 0, 2, 3}, 32, nullptr, w);
    const Rgb px[2][3] = {{kRed, kGreen, kBlue}, {kYellow, kWhite, Rgb{0, 0, 0}}};
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) Set_Px(w, x, y, px[y][x]);
    return w;
  };
  GWorldPtr w = make();
  Rotate_GWorld(w, FLIPX);
  EXPECT_EQ(Px(w, 0, 0), kBlue);
  EXPECT_EQ(Px(w, 2, 1), kYellow);
  Rotate_GWorld(w, FLIPY);
  EXPECT_EQ(Px(w, 0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(Px(w, 2, 1), kRed);
  Dispose_GWorld(w);

  w = make();
  Rotate_GWorld(w, CCW);  // a quarter turn counter-clockwise: the right column on top
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->pix.bounds, (Rect{0, 0, 3, 2}));
  EXPECT_EQ(Px(w, 0, 0), kBlue);
  EXPECT_EQ(Px(w, 1, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(Px(w, 0, 2), kRed);
  Dispose_GWorld(w);

  w = make();
  Rotate_GWorld(w, CW);  // clockwise: the left column on top, read bottom up
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->pix.bounds, (Rect{0, 0, 3, 2}));
  EXPECT_EQ(Px(w, 0, 0), kYellow);
  EXPECT_EQ(Px(w, 1, 0), kRed);
  EXPECT_EQ(Px(w, 1, 2), kBlue);
  Dispose_GWorld(w);
}

}  // namespace
