// Large photos: pictures read reduced to what the label needs, with their
// own size beside them. A 6000 x 4000 JPEG made here is read through
// libjpeg's DCT scaling, placed from a reduced basis in the render cache and
// read again larger when a print at 600 dpi needs more; the world bytes
// held at the worst moment show it is never held whole twice. The other
// formats reduce by block averages, row by row where they can; pictures
// beyond the side limit, damaged or in CMYK are refused, and one that
// cannot be held even reduced says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "ImageTestUtil.h"
#include "TestSupport.h"
#include "host/HostCodecs.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/OPUtil.h"
#include "pixel/ParsQuik.h"
#include "pixel/SysBlt.h"
#include "platform/QDRect.h"
#include "platform/SysMem.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/WinTestSupport.h"

using namespace imgtest;

namespace {

constexpr int kW = 6000, kH = 4000;
constexpr int64 kWholeBytes = int64(kW) * kH * 4;  // the photo held whole once

// The photo: four quadrants (red, green, blue, grey) with a gentle ramp, so
// that a colour sampled anywhere away from the edges is known.
void Photo_Colour(int x, int y, uint8& r, uint8& g, uint8& b) {
  const uint8 ramp = uint8(40 + (x + y) * 60 / (kW + kH));
  const bool right = x >= kW / 2, lower = y >= kH / 2;
  r = g = b = ramp;
  if (!right && !lower) r = 230;
  if (right && !lower) g = 210;
  if (!right && lower) b = 220;
}

a_pixel32 Px(GWorldPtr w, int32 x, int32 y) {
  const PixMap* pm = Get_GWorld_PixMap(w);
  a_pixel32 p;
  std::memcpy(&p, pm->baseAddr + size_t(y - pm->bounds.top) * PixMap_RowBytes(*pm) + size_t(x - pm->bounds.left) * 4,
              4);
  return p;
}

int32 Width(const Rect& r) { return int32(r.right) - r.left; }
int32 Height(const Rect& r) { return int32(r.bottom) - r.top; }

// A rendering of the photo at (x, y) of its box shows the photo's colour at
// the matching place of the picture (JPEG and resampling allow a margin).
void Expect_Photo_At(GWorldPtr w, const Rect& natural_part, double fx, double fy) {
  Rect b;
  Get_GWorld_Bounds(w, b);
  const int32 x = int32(b.left + fx * Width(b)), y = int32(b.top + fy * Height(b));
  const int px = int(natural_part.left + fx * Width(natural_part));
  const int py = int(natural_part.top + fy * Height(natural_part));
  uint8 r, g, bl;
  Photo_Colour(px, py, r, g, bl);
  const a_pixel32 got = Px(w, x, y);
  EXPECT_NEAR(got.r, r, 10) << "at " << fx << ", " << fy;
  EXPECT_NEAR(got.g, g, 10) << "at " << fx << ", " << fy;
  EXPECT_NEAR(got.b, bl, 10) << "at " << fx << ", " << fy;
}

class LargePhotoTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new std::string(Make_Temp_Dir());
    std::vector<uint8> px(size_t(kW) * kH * 4);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        uint8* p = &px[(size_t(y) * kW + x) * 4];
        Photo_Colour(x, y, p[2], p[1], p[0]);
        p[3] = 255;
      }
    jpeg_ = new std::vector<uint8>();
    ASSERT_EQ(Host_Encode_JPEG(HostImageSource{px.data(), kW, kH, size_t(kW) * 4, 300}, 85, *jpeg_), HC_OK);
    ASSERT_TRUE(Write_Bytes(*dir_ + "/photo.jpg", *jpeg_));
  }
  static void TearDownTestSuite() {
    Remove_Dir(*dir_);
    delete dir_;
    delete jpeg_;
  }
  void SetUp() override {
    ASSERT_FALSE(dir_->empty());
    SysWin_Init();
    Set_GWorld(nullptr);
    SysVideo_Init();
    InitGray();
    SysBlt_Init();
    OPUtil_Init();
    Clear_Scan_Rec(scan_);
  }
  void TearDown() override {
    Free_Scan(scan_);
    Cache_Stop();
    SysBlt_Stop();
    Port_Stack_Clear();
    Set_GWorld(nullptr);
    SysVideo_Stop();
  }

  static std::string P(const std::string& name) { return *dir_ + "/" + name; }

  // Reads `file` reduced for a box of fit x fit cells and puts it in the
  // cache as an image file's basis (keeping its bytes when `keep`). The
  // record of the photo as placed: the whole picture at the scaling that
  // fits the box.
  a_spec Place(const std::string& file, int32 fit, bool keep) {
    a_spec s;
    Null_Spec(s);
    Rect natural{};
    const a_scan_want want{fit, fit, 0, true};
    EXPECT_EQ(Scan_Quicktime_Reduced(Spec(file), want, scan_, natural), 0);
    Handle raw = nullptr;
    if (keep) {
      const std::vector<uint8> bytes = Read_Bytes(file);
      raw = New_Handle(uint32(bytes.size()));
      std::memcpy(Handle_Lock(raw), bytes.data(), bytes.size());
      Handle_Unlock(raw);
    }
    s.source.kind = SOURCE_EXTFILE;
    s.source.path = Spec(file);
    char codec[4];
    std::memcpy(codec, scan_.codec, 4);
    EXPECT_TRUE(Cache_Insert_Basis(s.source, scan_.body, raw, natural, codec));
    Null_MW(scan_.body);  // the cache's now
    s.subset = natural;
    s.scalingh = s.scalingv = int16(std::min<int64>(1000, int64(fit) * 1000 / std::max(Width(natural), Height(natural))));
    return s;
  }

  static const a_cache_item& Basis_Of(const a_spec& s) {
    int32 ix = 0;
    EXPECT_TRUE(Find_Basis(s.source.sid, ix));
    return *Cache_Entry(ix);
  }

  static inline std::string* dir_ = nullptr;
  static inline std::vector<uint8>* jpeg_ = nullptr;
  a_picture_scan_rec scan_{};
};

}  // namespace

// The DCT scale is the smallest eighth that gives what the placement needs;
// the picture's own size comes back beside the reduced one. djpeg's reading
// at the same scale is the independent oracle of the pixels.
TEST_F(LargePhotoTest, JpegIsReadAtTheSmallestDctScaleThatServes) {
  // A smaller photo for the table: 800 x 600.
  std::vector<uint8> px(800 * 600 * 4), small;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      uint8* p = &px[(size_t(y) * 800 + x) * 4];
      p[0] = uint8(x * 255 / 799), p[1] = uint8(y * 255 / 599), p[2] = uint8((x ^ y) & 0xF0), p[3] = 255;
    }
  ASSERT_EQ(Host_Encode_JPEG(HostImageSource{px.data(), 800, 600, 800 * 4, 72}, 90, small), HC_OK);
  struct Case {
    int32 fit_w, fit_h, permille;
    int32 want_w, want_h;  // 800 x 600 at m / 8
  };
  const Case cases[] = {
      {1600, 1600, 0, 800, 600},  // fits whole: not enlarged, not reduced
      {400, 400, 0, 400, 300},    // 1/2
      {401, 1000, 0, 500, 375},   // just over 1/2 of the width: 5/8
      {100, 75, 0, 100, 75},      // exactly 1/8
      {10, 10, 0, 100, 75},       // 1/8 at the least
      {0, 0, 472, 400, 300},      // a rendering at 472 thousandths: 4/8
      {0, 0, 1000, 800, 600},
      {100, 100, 700, 600, 450},  // the larger need wins: 6/8
      {0, 0, 0, 800, 600},        // neither named: the whole picture
  };
  REQUIRE_TOOL("djpeg");
  const std::string djpeg = Find_Tool("djpeg");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.fit_w << "x" << c.fit_h << " " << c.permille);
    Rect natural{};
    Free_Scan(scan_);
    ASSERT_EQ(Scan_Quicktime_Buf_Reduced(small.data(), small.size(), a_scan_want{c.fit_w, c.fit_h, c.permille, true},
                                         scan_, natural),
              0);
    EXPECT_EQ(natural, (Rect{0, 0, 600, 800}));
    EXPECT_EQ(scan_.body.bounds, (Rect{0, 0, int16(c.want_h), int16(c.want_w)}));
    EXPECT_EQ(std::string(scan_.codec, 4), "JPEG");
    if (c.want_w == 800) continue;
    ASSERT_TRUE(Write_Bytes(P("small.jpg"), small));
    const int m = c.want_w / 100;
    ASSERT_TRUE(Run_Tool(djpeg + " -scale " + std::to_string(m) + "/8 -outfile '" + P("small.ppm") + "' '" +
                         P("small.jpg") + "'"));
    Image oracle;
    ASSERT_TRUE(Read_PNM(P("small.ppm"), oracle));
    EXPECT_LE(Max_Diff(Scan_To_Image(scan_), oracle), 1);
  }
}

// The 24-megapixel photo is placed on a CD face (1417 cells) from a basis of
// 1500 x 1000 (DCT scale 2/8) with its own size kept; the screen rendering
// has the placed box. A print at 600 dpi needs twice the pixels: the file
// is read again at 4/8 and that basis replaces the smaller one. Neither
// moment holds the photo whole, let alone twice.
TEST_F(LargePhotoTest, PlacedFromAReducedBasisAndReadAgainLargerForPrint) {
  const int64 before = GWorld_Bytes_Held();
  GWorld_Reset_Peak();
  a_spec s = Place(P("photo.jpg"), 1417, false);
  EXPECT_EQ(s.subset, (Rect{0, 0, kH, kW}));
  EXPECT_EQ(s.scalingh, 236);
  Rect natural;
  ASSERT_TRUE(Basis_Natural(s.source.sid, natural));
  EXPECT_EQ(natural, (Rect{0, 0, kH, kW}));
  EXPECT_EQ(Basis_Of(s).c.body.bounds, (Rect{0, 0, 1000, 1500}));
  a_cache_result c;
  Cache_Get(FOR_SCREEN, s, c);
  ASSERT_NE(c.body.fore, nullptr);
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, 944, 1416}));
  for (double f : {0.2, 0.7})
    for (double g : {0.25, 0.8}) Expect_Photo_At(c.body.fore, s.subset, f, g);
  const int64 placing = GWorld_Bytes_Peak() - before;
  EXPECT_LT(placing, kWholeBytes / 4) << "placing held " << placing << " bytes";

  GWorld_Reset_Peak();
  a_spec print = s;
  print.scalingh = print.scalingv = 472;  // 600 dpi over the 300 of cells
  Cache_Get(FOR_PRINTING, print, c);
  ASSERT_NE(c.body.fore, nullptr);
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, 1888, 2832}));
  EXPECT_EQ(Basis_Of(s).c.body.bounds, (Rect{0, 0, 2000, 3000}));
  EXPECT_EQ(Basis_Of(s).natural, (Rect{0, 0, kH, kW}));
  for (double f : {0.1, 0.6})
    for (double g : {0.3, 0.9}) Expect_Photo_At(c.body.fore, s.subset, f, g);
  const int64 printing = GWorld_Bytes_Peak() - before;
  EXPECT_LT(printing, kWholeBytes) << "printing held " << printing << " bytes";

  // The screen rendering made from the smaller basis is still served.
  const int32 hint = s.hintx;
  Cache_Get(FOR_SCREEN, s, c);
  EXPECT_EQ(s.hintx, hint);
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, 944, 1416}));
  // At its own size the photo is read whole, and that basis is the
  // rendering: held once.
  GWorld_Reset_Peak();
  a_spec full = s;
  full.scalingh = full.scalingv = 1000;
  Cache_Get(FOR_SCREEN, full, c);
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, kH, kW}));
  EXPECT_EQ(Basis_Of(s).c.body.bounds, (Rect{0, 0, kH, kW}));
  EXPECT_EQ(c.body.fore, Basis_Of(s).c.body.fore);
  EXPECT_LT(GWorld_Bytes_Peak() - before, 2 * kWholeBytes);
  // A tight crop at a larger scaling; the crop stays in the photo's own pixels.
  a_spec crop = s;
  crop.subset = Rect{2100, 3100, 2600, 3900};
  crop.scalingh = crop.scalingv = 1500;
  Cache_Get(FOR_SCREEN, crop, c);
  EXPECT_EQ(c.body.bounds, (Rect{0, 0, 750, 1200}));
  Expect_Photo_At(c.body.fore, crop.subset, 0.5, 0.5);
  Cache_Clear();
  EXPECT_EQ(GWorld_Bytes_Held(), before);
}

// Reading the photo whole holds it once: straight into its world, with no
// copy on the way.
TEST_F(LargePhotoTest, WholePhotoIsHeldOnceWhileRead) {
  const int64 before = GWorld_Bytes_Held();
  GWorld_Reset_Peak();
  Rect natural{};
  ASSERT_EQ(Scan_Quicktime_Reduced(Spec(P("photo.jpg")), a_scan_want{0, 0, 1000, true}, scan_, natural), 0);
  EXPECT_EQ(scan_.body.bounds, natural);
  const int64 peak = GWorld_Bytes_Peak() - before;
  EXPECT_GE(peak, kWholeBytes);
  EXPECT_LT(peak, kWholeBytes + kWholeBytes / 8);
}

// The bytes the photo keeps serve when its file is gone; with neither, the
// basis in hand is drawn on the box the record gives, and it is not tried
// again. A file that now holds another picture is not taken for it.
TEST_F(LargePhotoTest, ReadAgainFromKeptBytesOrDrawnFromTheBasisInHand) {
  struct Case {
    const char* name;
    bool keep;       // the file's bytes kept with the picture
    bool replace;    // the file then holds another picture; else it is deleted
    int32 want_w;    // the basis width after the print
  };
  const Case cases[] = {
      {"kept bytes", true, false, 3000},
      {"neither", false, false, 1500},
      {"another picture", false, true, 1500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string file = P(std::string("copy-") + c.name + ".jpg");
    ASSERT_TRUE(Write_Bytes(file, *jpeg_));
    a_spec s = Place(file, 1417, c.keep);
    if (c.replace) {
      std::vector<uint8> px(64 * 64 * 4, 0x80), other;
      ASSERT_EQ(Host_Encode_JPEG(HostImageSource{px.data(), 64, 64, 64 * 4, 72}, 80, other), HC_OK);
      ASSERT_TRUE(Write_Bytes(file, other));
    } else {
      std::remove(file.c_str());
    }
    a_spec print = s;
    print.scalingh = print.scalingv = 472;
    a_cache_result r;
    Cache_Get(FOR_PRINTING, print, r);
    ASSERT_NE(r.body.fore, nullptr);
    EXPECT_EQ(r.body.bounds, (Rect{0, 0, 1888, 2832})) << "drawn on the record's box";
    EXPECT_EQ(Width(Basis_Of(s).c.body.bounds), c.want_w);
    EXPECT_EQ(bool(Basis_Of(s).reread_failed), c.want_w == 1500);
    Expect_Photo_At(r.body.fore, s.subset, 0.3, 0.3);
    Expect_Photo_At(r.body.fore, s.subset, 0.8, 0.7);
    std::remove(file.c_str());
    Cache_Clear();
  }
}

// A basis that holds a quarter of its picture renders the record's subset
// (in the picture's own pixels) on the box its scalings give.
TEST_F(LargePhotoTest, ReducedBasisRendersOnTheBoxOfItsOwnPixels) {
  // The picture is 160 x 80: left half red, right half blue; the basis 40 x 20.
  a_masked_gworld basis;
  Null_MW(basis);
  basis.bounds = Rect{0, 0, 20, 40};
  New_GWorldF("test", basis.bounds, 32, nullptr, basis.fore);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      PixMapPtr pm = Get_GWorld_PixMap(basis.fore);
      const a_pixel32 c = x < 20 ? a_pixel32{{0, 0, 255, 255}} : a_pixel32{{255, 0, 0, 255}};
      std::memcpy(pm->baseAddr + size_t(y) * PixMap_RowBytes(*pm) + size_t(x) * 4, &c, 4);
    }
  const Rect natural{0, 0, 80, 160};
  struct Case {
    Rect subset;
    int16 scaling;
    bool flip;
    int16 angle;
    Rect box;
    bool left_red;  // the left edge of the rendering is red, the right blue
  };
  const Case cases[] = {
      {Rect{0, 0, 0, 0}, 1000, false, 0, Rect{0, 0, 80, 160}, true},
      {Rect{0, 0, 80, 160}, 500, false, 0, Rect{0, 0, 40, 80}, true},
      {Rect{20, 40, 60, 120}, 1000, false, 0, Rect{0, 0, 40, 80}, true},  // a crop across the middle
      {Rect{20, 40, 60, 120}, 2000, true, 0, Rect{0, 0, 80, 160}, false},
      {Rect{0, 0, 80, 160}, 1000, false, 1800, Rect{0, 0, 80, 160}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.scaling << " " << c.flip << " " << c.angle);
    a_spec s;
    Null_Spec(s);
    s.subset = c.subset;
    s.scalingh = s.scalingv = c.scaling;
    s.flipx = c.flip;
    s.angle = c.angle;
    a_masked_gworld body, shad;
    Apply_Effects(FOR_SCREEN, s, basis, natural, body, shad);
    ASSERT_NE(body.fore, nullptr);
    EXPECT_EQ(body.bounds, c.box);
    const a_pixel32 l = Px(body.fore, 1, Height(c.box) / 2), r = Px(body.fore, Width(c.box) - 2, Height(c.box) / 2);
    EXPECT_EQ(l.r, c.left_red ? 255 : 0);
    EXPECT_EQ(r.b, c.left_red ? 255 : 0);
    Dispose_MW(body);
    Dispose_MW(shad);
  }
  Dispose_MW(basis);
}

// The other formats reduce by averaging blocks: the reduced reading equals
// the block averages of the whole reading (alpha-weighted colours), for
// readers that reduce row by row (PNG, TIFF in strips or tiles) and those
// that read the whole picture first (interlaced PNG, PSD, BMP, GIF, PICT).
TEST_F(LargePhotoTest, OtherFormatsReduceToTheirBlockAverages) {
  const int w = 203, h = 131;  // not multiples of the block
  a_masked_gworld src;
  Null_MW(src);
  src.bounds = Rect{0, 0, int16(h), int16(w)};
  New_GWorldF("test", src.bounds, 32, nullptr, src.fore);
  std::vector<uint8> rgba(size_t(w) * h * 4);
  {
    PixMapPtr pm = Get_GWorld_PixMap(src.fore);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8* p = reinterpret_cast<uint8*>(pm->baseAddr) + size_t(y) * PixMap_RowBytes(*pm) + size_t(x) * 4;
        p[0] = uint8(x * 5 + y), p[1] = uint8((x * y) >> 3), p[2] = uint8(255 - y * 2), p[3] = 255;
        std::memcpy(&rgba[(size_t(y) * w + x) * 4], p, 4);
        // A clear stripe whose colour must not bleed into its neighbours.
        rgba[(size_t(y) * w + x) * 4 + 3] = x % 7 == 3 ? 0 : 255;
      }
  }
  std::vector<uint8> png, png_alpha;
  ASSERT_EQ(Host_Encode_PNG(HostImageSource{rgba.data(), w, h, size_t(w) * 4, 72}, false, png), HC_OK);
  ASSERT_EQ(Host_Encode_PNG(HostImageSource{rgba.data(), w, h, size_t(w) * 4, 72}, true, png_alpha), HC_OK);
  ASSERT_TRUE(Write_Bytes(P("f.png"), png));
  ASSERT_TRUE(Write_Bytes(P("fa.png"), png_alpha));
  for (auto [fmt, name] : {std::pair{FMT_TIFF, "f.tif"}, std::pair{FMT_PSD, "f.psd"}, std::pair{FMT_BMP, "f.bmp"},
                           std::pair{FMT_PICT, "f.pict"}})
    ASSERT_EQ(Export_World(fmt, 72, Spec(P(name)), 0, src.fore), 0) << name;
  Dispose_MW(src);
  REQUIRE_TOOL("convert");
  const std::string convert = Find_Tool("convert");
  {
    Run_Tool(convert + " '" + P("f.png") + "' -interlace PNG '" + P("fi.png") + "'");
    Run_Tool(convert + " '" + P("f.png") + "' -define tiff:tile-geometry=32x32 '" + P("ft.tif") + "'");
    Run_Tool(convert + " '" + P("f.png") + "' -colors 200 '" + P("f.gif") + "'");
  }
  const char* files[] = {"f.png", "fa.png", "fi.png", "f.tif", "ft.tif", "f.psd", "f.bmp", "f.pict", "f.gif"};
  for (const char* file : files) {
    if (Read_Bytes(P(file)).empty()) {
      ADD_FAILURE() << file << " was not made";
      continue;
    }
    for (int32 permille : {500, 250, 90}) {
      SCOPED_TRACE(testing::Message() << file << " at " << permille);
      a_picture_scan_rec whole;
      Clear_Scan_Rec(whole);
      Rect natural{};
      ASSERT_EQ(Scan_Quicktime_Reduced(Spec(P(file)), a_scan_want{0, 0, 1000, true}, whole, natural), 0);
      ASSERT_EQ(whole.body.bounds, natural);
      Free_Scan(scan_);
      ASSERT_EQ(Scan_Quicktime_Reduced(Spec(P(file)), a_scan_want{0, 0, permille, true}, scan_, natural), 0);
      EXPECT_EQ(natural, (Rect{0, 0, int16(h), int16(w)}));
      const int k = int(1000 / permille);
      ASSERT_EQ(scan_.body.bounds, (Rect{0, 0, int16((h + k - 1) / k), int16((w + k - 1) / k)}));
      // The block averages of the whole reading, colours weighted by alpha.
      int worst = 0;
      for (int oy = 0; oy < (h + k - 1) / k; ++oy)
        for (int ox = 0; ox < (w + k - 1) / k; ++ox) {
          double sa = 0, sc[3] = {0, 0, 0}, n = 0;
          for (int y = oy * k; y < std::min(h, oy * k + k); ++y)
            for (int x = ox * k; x < std::min(w, ox * k + k); ++x) {
              const a_pixel32 p = Px(whole.body.fore, x, y);
              const double a = whole.body.mask ? reinterpret_cast<uint8*>(Get_GWorld_PixMap(whole.body.mask)->baseAddr)
                                                     [size_t(y) * PixMap_RowBytes(*Get_GWorld_PixMap(whole.body.mask)) + x]
                                               : 255.0;
              sa += a, n += 1;
              sc[0] += p.b * a, sc[1] += p.g * a, sc[2] += p.r * a;
            }
          const a_pixel32 got = Px(scan_.body.fore, ox, oy);
          const uint8 got_c[3] = {got.b, got.g, got.r};
          for (int i = 0; i < 3; ++i) worst = std::max(worst, int(std::lround(std::abs(sc[i] / sa - got_c[i]))));
          const uint8 got_a = scan_.body.mask ? reinterpret_cast<uint8*>(Get_GWorld_PixMap(scan_.body.mask)->baseAddr)
                                                    [size_t(oy) * PixMap_RowBytes(*Get_GWorld_PixMap(scan_.body.mask)) + ox]
                                              : 255;
          worst = std::max(worst, int(std::lround(std::abs(sa / n - got_a))));
        }
      EXPECT_LE(worst, 1);
      Free_Scan(whole);
    }
  }
}

// Beyond the pixel budget a row-by-row reader still holds the picture
// reduced further; a reader that must hold the whole picture first cannot.
TEST_F(LargePhotoTest, PixelBudgetReducesFurtherOrRefuses) {
  std::vector<uint8> px(size_t(400) * 300 * 4, 0x70), png;
  ASSERT_EQ(Host_Encode_PNG(HostImageSource{px.data(), 400, 300, 400 * 4, 72}, false, png), HC_OK);
  std::vector<uint8> jpg;
  ASSERT_EQ(Host_Encode_JPEG(HostImageSource{px.data(), 400, 300, 400 * 4, 72}, 80, jpg), HC_OK);
  const uint64 saved = g_scan_max_pixels;
  g_scan_max_pixels = 10000;
  Rect natural{};
  // Asked whole, read smaller: within 10000 pixels.
  ASSERT_EQ(Scan_Quicktime_Buf_Reduced(png.data(), png.size(), a_scan_want{0, 0, 1000, false}, scan_, natural), 0);
  EXPECT_EQ(natural, (Rect{0, 0, 300, 400}));
  EXPECT_EQ(scan_.body.bounds, (Rect{0, 0, 75, 100}));  // blocks of 4: the first within the budget
  Free_Scan(scan_);
  ASSERT_EQ(Scan_Quicktime_Buf_Reduced(jpg.data(), jpg.size(), a_scan_want{0, 0, 1000, false}, scan_, natural), 0);
  EXPECT_EQ(scan_.body.bounds, (Rect{0, 0, 75, 100}));  // DCT scale 2/8
  Free_Scan(scan_);
  // The whole-picture import refuses instead.
  EXPECT_EQ(Scan_Quicktime_Buf(png.data(), png.size(), scan_), QUIK_ERR_NOMEM);
  EXPECT_EQ(scan_.body.fore, nullptr);
  g_scan_max_pixels = saved;
}

namespace {

// Refusals show their alerts: a person drives the program here.
class LargePhotoRefusalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    wintest::Start_Dialog_Layer();
    SetActiveWindow(gs.outer_window);
    dir_ = Make_Temp_Dir();
    ASSERT_FALSE(dir_.empty());
    Clear_Scan_Rec(scan_);
  }
  void TearDown() override {
    Free_Scan(scan_);
    Remove_Dir(dir_);
    wintest::Clear_Port_State();
    gs.outer_window = nullptr;
    Host_Script_Reset();
    wintest::Stop_Headless_Host();
  }
  std::string dir_;
  a_picture_scan_rec scan_{};
};

}  // namespace

// Each refusal leaves no world behind and names its cause: a side beyond
// 32767 pixels (alert 39), damaged data, a CMYK JPEG (the depth code, which
// the photo's import turns into alert 58), and a picture that cannot be held
// even reduced (alert 78).
TEST_F(LargePhotoRefusalTest, RefusedPicturesShowTheirAlerts) {
  std::vector<uint8> tall_px(size_t(16) * 40000 * 4, 0x90), tall_jpg, tall_png, good_jpg;
  ASSERT_EQ(Host_Encode_JPEG(HostImageSource{tall_px.data(), 16, 40000, 16 * 4, 72}, 80, tall_jpg), HC_OK);
  ASSERT_EQ(Host_Encode_PNG(HostImageSource{tall_px.data(), 1, 40000, 16 * 4, 72}, false, tall_png), HC_OK);
  // A busy picture, so that half its bytes end within the scan data.
  std::vector<uint8> busy(size_t(256) * 256 * 4);
  for (size_t i = 0; i < busy.size(); ++i) busy[i] = uint8((i * 2654435761u) >> 13);
  ASSERT_EQ(Host_Encode_JPEG(HostImageSource{busy.data(), 256, 256, 256 * 4, 72}, 80, good_jpg), HC_OK);
  std::vector<uint8> truncated(good_jpg.begin(), good_jpg.begin() + long(good_jpg.size() / 2));
  std::vector<uint8> cmyk;
  REQUIRE_TOOL("convert");
  const std::string convert = Find_Tool("convert");
  {
    ASSERT_TRUE(Write_Bytes(dir_ + "/in.jpg", good_jpg));
    if (Run_Tool(convert + " '" + dir_ + "/in.jpg' -colorspace CMYK '" + dir_ + "/cmyk.jpg'"))
      cmyk = Read_Bytes(dir_ + "/cmyk.jpg");
  }
  // An interlaced PNG must be held whole before it is reduced.
  std::vector<uint8> interlaced;
  {
    std::vector<uint8> px(size_t(300) * 200 * 4, 0x40), png;
    ASSERT_EQ(Host_Encode_PNG(HostImageSource{px.data(), 300, 200, 300 * 4, 72}, false, png), HC_OK);
    ASSERT_TRUE(Write_Bytes(dir_ + "/p.png", png));
    if (Run_Tool(convert + " '" + dir_ + "/p.png' -interlace PNG '" + dir_ + "/pi.png'"))
      interlaced = Read_Bytes(dir_ + "/pi.png");
  }
  struct Case {
    const char* name;
    const std::vector<uint8>* bytes;
    uint64 budget;
    int16 result;
    int alert;  // 0: none
  };
  const Case cases[] = {
      {"JPEG 40000 high", &tall_jpg, g_scan_max_pixels, QUIK_ERR_TOO_LARGE, 39},
      {"PNG 40000 high", &tall_png, g_scan_max_pixels, QUIK_ERR_TOO_LARGE, 39},
      {"truncated JPEG", &truncated, g_scan_max_pixels, QUIK_ERR_DATA, 0},
      {"CMYK JPEG", &cmyk, g_scan_max_pixels, QUIK_ERR_DEPTH, 0},
      {"interlaced PNG beyond the budget", &interlaced, 20000, QUIK_ERR_NOMEM, 78},
  };
  const uint64 saved = g_scan_max_pixels;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.bytes->empty()) {
      std::printf("note: %s not made (ImageMagick missing), not checked\n", c.name);
      continue;
    }
    g_scan_max_pixels = c.budget;
    const int64 held = GWorld_Bytes_Held();
    Rect natural{};
    testing::internal::CaptureStderr();
    const int16 r = Scan_Quicktime_Buf_Reduced(c.bytes->data(), c.bytes->size(), a_scan_want{1417, 1417, 0, true},
                                               scan_, natural);
    const std::string err = testing::internal::GetCapturedStderr();
    g_scan_max_pixels = saved;
    EXPECT_EQ(r, c.result);
    EXPECT_EQ(scan_.body.fore, nullptr);
    EXPECT_EQ(scan_.body.mask, nullptr);
    EXPECT_EQ(GWorld_Bytes_Held(), held);
    for (int n : {39, 78}) {
      const bool shown = err.find("velmor: alert " + std::to_string(n) + ":") != std::string::npos;
      EXPECT_EQ(shown, c.alert == n) << err;
    }
    if (c.alert == 39) {
      EXPECT_NE(err.find("at most 32767 pixels"), std::string::npos) << err;
    }
    EXPECT_EQ(modal_n, 0) << "the alert is closed again";
  }
}
