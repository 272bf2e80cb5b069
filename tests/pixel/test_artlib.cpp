// The program's own picture library, as the build draws it from art/ with
// tools/artgen: every family of src/pixel/ArtKeys.h that is drawn so far is
// there with its least count and in the form its readers assume, read
// through the program's reader. Failures name the key. Also: the generator
// gives the same bytes on every run, and stops on bad data naming why.
#include "ArtLibSupport.h"

namespace {

using namespace art_test;

TEST_F(ArtLibrary, CanvasSetsStartWhiteAndHoldTheirDesignsAtTheirSize) {
  std::set<std::pair<int16, int16>> shared;  // the designs of set 0
  for (int16 set = 0; set < ART_CANVAS_SETS; ++set) {
    const a_art_canvas_set& info = ART_CANVAS_SET_INFO[set];
    SCOPED_TRACE("canvas set " + std::to_string(set));
    const std::vector<a_keyset> thumbs = Keys(a_keyset{ART_CANVAS_THUMB, set, 0, 0}, 2);
    const std::vector<a_keyset> fulls = Keys(a_keyset{ART_CANVAS, set, 0, 0}, 2);
    ASSERT_GE(int(thumbs.size()), info.min_designs + 1);
    // The white canvas first, a thumbnail only.
    const a_keyset white{ART_CANVAS_THUMB, set, ART_CANVAS_WHITE_C, ART_CANVAS_WHITE_D};
    ASSERT_TRUE(Equal_Keys(thumbs[0], white)) << "first key " << Name(thumbs[0]);
    EXPECT_FALSE(OP_Exists(a_keyset{ART_CANVAS, set, ART_CANVAS_WHITE_C, ART_CANVAS_WHITE_D}));
    Shown w = Show(white);
    ASSERT_TRUE(w.ok) << Name(white);
    for (int32 y = 1; y < w.height - 1; ++y)
      for (int32 x = 1; x < w.width - 1; ++x)
        ASSERT_TRUE(w.At(x, y)[0] >= 250 && w.At(x, y)[1] >= 250 && w.At(x, y)[2] >= 250) << Name(white) << " not white";

    // Every design: a full picture of the set's size and its thumbnail.
    EXPECT_EQ(fulls.size() + 1, thumbs.size()) << "a full canvas without thumbnail, or the other way round";
    std::set<std::pair<int16, int16>> designs;
    for (size_t i = 1; i < thumbs.size(); ++i) {
      const a_keyset& tk = thumbs[i];
      const a_keyset fk{ART_CANVAS, set, tk.c, tk.d};
      EXPECT_GE(tk.c, ART_CANVAS_FIRST_C) << Name(tk);
      designs.emplace(tk.c, tk.d);
      Shown t = Show(tk);
      ASSERT_TRUE(t.ok) << Name(tk) << " does not load";
      EXPECT_TRUE(t.width <= ART_CANVAS_THUMB_MAX && t.height <= ART_CANVAS_THUMB_MAX) << Name(tk) << " " << t.width << " x " << t.height;
      EXPECT_NEAR(double(t.width) / t.height, double(info.width) / info.height, 0.05) << Name(tk);
      Shown f = Show(fk);
      ASSERT_TRUE(f.ok) << Name(fk) << " does not load";
      EXPECT_EQ(f.width, info.width) << Name(fk);
      EXPECT_EQ(f.height, info.height) << Name(fk);
      EXPECT_NE(f.width, ART_CANVAS_RESERVED_WIDTH) << Name(fk);
      const bool palette = OP_Exists(a_keyset{ART_PALETTE, set, tk.c, tk.d});
      if (f.depth == 8) {
        EXPECT_TRUE(palette) << Name(fk) << " is 8-bit without a palette";
        EXPECT_EQ(f.flags & (PIXT_FLAG_JPEG | PIXT_FLAG_GRAY_WHITE0 | PIXT_FLAG_GRAY_BLACK0), 0) << Name(fk);
      } else {
        EXPECT_EQ(f.depth, 32) << Name(fk);
        EXPECT_TRUE(f.flags & PIXT_FLAG_JPEG) << Name(fk) << " is not JPEG";
        EXPECT_FALSE(palette) << Name(fk) << " has a palette but 32-bit pixels";
      }
    }
    // Sets 0 to 5 hold the same designs, so no unit falls back to a picture
    // of another set.
    if (set == 0) shared = designs;
    if (set > 0 && set < ART_CANVAS_SHARED_SETS) {
      EXPECT_EQ(designs, shared) << "designs differ from set 0's";
    }
  }
}

TEST_F(ArtLibrary, PaletteCanvasesShowTheirOwnColours) {
  const std::vector<a_keyset> pals = Keys(a_keyset{ART_PALETTE, 0, 0, 0}, 1);
  ASSERT_GE(int(pals.size()), ART_MIN_PALETTES);
  for (const a_keyset& pk : pals) {
    EXPECT_EQ(Bytes(pk).size(), size_t(ART_PALETTE_BYTES)) << Name(pk);
    const a_keyset fk{ART_CANVAS, pk.b, pk.c, pk.d}, tk{ART_CANVAS_THUMB, pk.b, pk.c, pk.d};
    Shown f = Show(fk), t = Show(tk);
    ASSERT_TRUE(f.ok && t.ok) << Name(pk) << ": no canvas beside the palette";
    EXPECT_EQ(f.depth, 8) << Name(fk);
    // Through the palette the picture has the colours of its thumbnail
    // (drawn from the same pixels): a palette in the wrong order would not.
    double mf[3], mt[3];
    Mean(f, 0, mf);
    Mean(t, 1, mt);  // the thumbnail's frame left out
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(mf[c], mt[c], 8.0) << Name(fk) << " channel " << c;
  }
}

TEST_F(ArtLibrary, GradientsAreContiguousAndWithinBounds) {
  const std::vector<a_keyset> keys = Keys(a_keyset{ART_GRADIENT, 0, 0, 0}, 2);
  ASSERT_GE(int(keys.size()), ART_MIN_GRADIENTS);
  for (size_t i = 0; i < keys.size(); ++i) {
    const a_keyset& k = keys[i];
    EXPECT_TRUE(Equal_Keys(k, a_keyset{ART_GRADIENT, 0, int16(i + 1), 0})) << Name(k) << " out of turn";
    const std::vector<uint8> b = Bytes(k);
    ASSERT_GE(b.size(), 2u) << Name(k);
    const int n = (b[0] << 8) | b[1];
    EXPECT_TRUE(n >= ART_GRADIENT_MIN_BANDS && n <= ART_GRADIENT_MAX_BANDS) << Name(k) << " has " << n << " bands";
    ASSERT_EQ(b.size(), size_t(2 + 4 * n)) << Name(k);
    for (int j = 0; j < n; ++j) EXPECT_EQ(b[size_t(2 + 4 * j)], 0) << Name(k) << " band " << j;
  }
  EXPECT_FALSE(OP_Exists(a_keyset{ART_GRADIENT, 0, int16(keys.size() + 1), 0}));
}

TEST_F(ArtLibrary, PatternsAreSeamlessOpaqueTiles) {
  const std::vector<a_keyset> keys = Keys(a_keyset{ART_PATTERN, 0, 0, 0}, 1);
  ASSERT_GE(int(keys.size()), ART_MIN_PATTERNS);
  for (const a_keyset& k : keys) {
    EXPECT_EQ(k.d, 0) << Name(k);
    Shown p = Show(k);
    ASSERT_TRUE(p.ok) << Name(k) << " does not load";
    EXPECT_EQ(p.depth, 32) << Name(k);
    EXPECT_EQ(p.flags, PIXT_FLAG_RLE) << Name(k);
    EXPECT_TRUE(p.width >= ART_PATTERN_MIN_SIZE && p.width <= ART_PATTERN_MAX_SIZE && p.height >= ART_PATTERN_MIN_SIZE &&
                p.height <= ART_PATTERN_MAX_SIZE)
        << Name(k) << " " << p.width << " x " << p.height;
    for (size_t i = 3; i < p.rgba.size(); i += 4) ASSERT_EQ(p.rgba[i], 255) << Name(k) << " not opaque";
    // Across the tile's edges (last column to first, last row to first)
    // the colours change no more than across the sharpest line inside it:
    // a tile that does not repeat shows a seam there.
    auto diff = [&](int32 x0, int32 y0, int32 x1, int32 y1) {
      int d = 0;
      for (int c = 0; c < 3; ++c) d += std::abs(int(p.At(x0, y0)[c]) - int(p.At(x1, y1)[c]));
      return d;
    };
    double col_max = 0, col_wrap = 0, row_max = 0, row_wrap = 0;
    for (int32 x = 0; x < p.width; ++x) {
      double sum = 0;
      for (int32 y = 0; y < p.height; ++y) sum += diff(x, y, (x + 1) % p.width, y);
      (x == p.width - 1 ? col_wrap : col_max) = std::max(x == p.width - 1 ? col_wrap : col_max, sum / p.height);
    }
    for (int32 y = 0; y < p.height; ++y) {
      double sum = 0;
      for (int32 x = 0; x < p.width; ++x) sum += diff(x, y, x, (y + 1) % p.height);
      (y == p.height - 1 ? row_wrap : row_max) = std::max(y == p.height - 1 ? row_wrap : row_max, sum / p.width);
    }
    EXPECT_LE(col_wrap, 1.25 * col_max + 6) << Name(k) << " shows a seam between its last column and its first";
    EXPECT_LE(row_wrap, 1.25 * row_max + 6) << Name(k) << " shows a seam between its last row and its first";
  }
}

TEST_F(ArtLibrary, AboutPictureLeavesTheVersionBandPlain) {
  const a_keyset key = Pixt_Key(ART_PICT_ABOUT);
  Shown a = Show(key);
  ASSERT_TRUE(a.ok) << Name(key);
  EXPECT_EQ(a.depth, 32);
  EXPECT_EQ(a.flags, PIXT_FLAG_RLE);
  ASSERT_GE(a.width, ART_ABOUT_BAND_WIDTH + 100);
  ASSERT_GE(a.height, ART_ABOUT_BAND_BOTTOM + 40);
  for (size_t i = 3; i < a.rgba.size(); i += 4) ASSERT_EQ(a.rgba[i], 255) << "not opaque";
  // The program writes its version in black across this band: it must be
  // light and even.
  int lo = 255, hi = 0;
  for (int32 y = ART_ABOUT_BAND_TOP; y < ART_ABOUT_BAND_BOTTOM; ++y) {
    for (int32 x = a.width - ART_ABOUT_BAND_WIDTH; x < a.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        lo = std::min(lo, int(a.At(x, y)[c]));
        hi = std::max(hi, int(a.At(x, y)[c]));
      }
    }
  }
  EXPECT_GE(lo, 200);
  EXPECT_LE(hi - lo, 24);
  // The name above it, in dark ink.
  int ink = 0;
  for (int32 y = 0; y < ART_ABOUT_BAND_TOP; ++y)
    for (int32 x = a.width - ART_ABOUT_BAND_WIDTH; x < a.width; ++x) ink += a.At(x, y)[0] < 90 && a.At(x, y)[1] < 90;
  EXPECT_GT(ink, 1500);
}

// ---------------------------------------------------------------------------
// The generator
// ---------------------------------------------------------------------------
TEST(ArtGenerator, RebuildsTheSameBytesOnAnyNumberOfThreads) {
  const std::string dir = Temp_Dir();
  ASSERT_FALSE(dir.empty());
  std::string err;
  // The build ran on every core; this run on three.
  ASSERT_EQ(Run_Artgen("--jobs 3 '" VELMOR_ART_DIR "' '" + dir + "/again.ART4'", dir, err), 0) << err;
  const std::string built = Read_All(VELMOR_ART_LIBRARY), again = Read_All(dir + "/again.ART4");
  EXPECT_GT(built.size(), 1000000u);
  EXPECT_LT(built.size(), size_t(32) << 20) << "the library must stay under 32 MB";
  EXPECT_TRUE(built == again) << "two runs of the generator differ";
  fs::remove_all(dir);
}

TEST(ArtGenerator, BadDataStopsTheRunNamingWhy) {
  struct Case {
    const char* file;
    std::string text;
    std::string want;
  };
  const Case cases[] = {
      {"fonts.txt", "sans /no/such/font.ttf fonts-example-package\n", "install the package fonts-example-package"},
      {"canvases.txt", "design 2 1 sky \"A\"\ndesign 2 2 teapot \"B\"\n", "art/canvases.txt:2: no canvas style teapot"},
      {"canvases.txt", "design 1 1 sky \"White's key\"\n", "art/canvases.txt:1:"},
      {"canvases.txt", "design 2 1 sky \"A\"\ndesign 2 1 night \"B\"\n", "art/canvases.txt:2: the key 2 1 is taken"},
      {"gradients.txt", "1 \"A\" #000000 #ffffff\n3 \"B\" #000000 #ffffff\n", "art/gradients.txt:2: gradient 3 out of turn"},
      {"gradients.txt", "1 \"A\" bands=501 #000000 #ffffff\n", "art/gradients.txt:1: bands"},
      {"patterns.txt", "1 1 polka \"A\" size=120x32 colors=#000000,#ffffff\n", "art/patterns.txt:1: size="},
      {"patterns.txt", "1 1 diagonal \"A\" size=32x48 colors=#000000,#ffffff\n",
       "art/patterns.txt:1: style diagonal repeats only on square tiles"},
      {"patterns.txt", "1 1 polka \"A\" size=32x32 colors=#000000\n", "art/patterns.txt:1: style polka needs 2 colours"},
  };
  for (const Case& c : cases) Expect_Table_Refused(c.file, c.text, c.want);
}

}  // namespace
