// The symbols of the built picture library, read through the program's own
// reader: every group there, each symbol 8-bit coverage under the white-first
// grey table, run-length packed, trimmed to its ink with blank margins,
// antialiased, and tinted by the render cache as a symbol object is; and the
// generator's refusal of bad rows of art/symbols.txt.
#include <cstring>

#include "ArtLibSupport.h"

namespace {

using namespace art_test;

class ArtSymbols : public ArtLibrary {
 protected:
  // A symbol's pixels as the program loads them: one coverage byte each.
  struct Coverage {
    bool ok = false;
    int32 w = 0, h = 0;
    bool white_first = false;  // its colour table runs from white (0) to black (255)
    std::vector<uint8> v;
    uint8 At(int32 x, int32 y) const { return v[size_t(y) * size_t(w) + size_t(x)]; }
  };
  static Coverage Load(const a_keyset& key) {
    Coverage c;
    a_pixt p{};
    if (KPixt_Load_Checked(key, p) != PIXT_OK) return c;
    if (p.pixmap.pixelSize == 8) {
      const CTabPtr t = CTab_Ptr(p.pixmap.pmTable);
      c.white_first = t != nullptr && t->ctTable[0].rgb.red == 0xFFFF && t->ctTable[0].rgb.blue == 0xFFFF &&
                      t->ctTable[255].rgb.red == 0 && t->ctTable[255].rgb.green == 0;
      Pixt_Lock(p);
      c.w = p.pixmap.bounds.right - p.pixmap.bounds.left;
      c.h = p.pixmap.bounds.bottom - p.pixmap.bounds.top;
      c.v.resize(size_t(c.w) * size_t(c.h));
      for (int32 y = 0; y < c.h; ++y)
        std::memcpy(&c.v[size_t(y) * size_t(c.w)], p.pixmap.baseAddr + size_t(y) * PixMap_RowBytes(p.pixmap),
                    size_t(c.w));
      Pixt_Unlock(p);
      c.ok = true;
    }
    Pixt_Unload(p);
    return c;
  }
};

TEST_F(ArtSymbols, EveryGroupIsThereWithinTheBudget) {
  const std::vector<a_keyset> all = Keys(a_keyset{ART_SYMBOL, 0, 0, 0}, 1);
  EXPECT_GE(all.size(), size_t(ART_MIN_SYMBOLS));
  size_t in_groups = 0, bytes = 0;
  for (const a_art_symbol_group& g : ART_SYMBOL_GROUPS) {
    const size_t n = Keys(a_keyset{ART_SYMBOL, g.group, 0, 0}, 2).size();
    EXPECT_GE(n, size_t(8)) << "group " << g.name << " (" << g.group << ")";
    in_groups += n;
  }
  // No symbol outside the groups the browser knows.
  EXPECT_EQ(in_groups, all.size());
  for (const a_keyset& k : all) {
    EXPECT_TRUE(k.c >= 1 && k.d == 0) << Name(k);
    bytes += Bytes(k).size();
  }
  EXPECT_LE(bytes, size_t(6) << 20) << "the symbols' share of the library";
}

TEST_F(ArtSymbols, EachIsTrimmedAntialiasedCoverage) {
  constexpr int32 m = ART_SYMBOL_MARGIN;
  const std::vector<a_keyset> all = Keys(a_keyset{ART_SYMBOL, 0, 0, 0}, 1);
  size_t crisp = 0;  // symbols without a partly covered pixel
  for (const a_keyset& k : all) {
    SCOPED_TRACE(Name(k));
    const std::vector<uint8> raw = Bytes(k);
    ASSERT_GE(raw.size(), size_t(8));
    EXPECT_EQ(raw[7], 8) << "depth";
    EXPECT_EQ(raw[6], PIXT_FLAG_GRAY_WHITE0 | PIXT_FLAG_RLE) << "flags: white-first grey table, run-length packed";
    const Coverage c = Load(k);
    ASSERT_TRUE(c.ok) << "does not load as an 8-bit picture";
    EXPECT_TRUE(c.white_first) << "blank must read as white, full ink as black";
    const int32 ink_long = std::max(c.w, c.h) - 2 * m, ink_short = std::min(c.w, c.h) - 2 * m;
    ASSERT_TRUE(ink_long >= 300 && ink_long <= 340) << c.w << " x " << c.h;
    ASSERT_GE(ink_short, 1) << c.w << " x " << c.h;

    bool margins_blank = true, has_full = false, has_edge = false;
    bool touches[4] = {false, false, false, false};  // left, top, right, bottom inset lines
    for (int32 y = 0; y < c.h; ++y)
      for (int32 x = 0; x < c.w; ++x) {
        const uint8 v = c.At(x, y);
        if (x < m || y < m || x >= c.w - m || y >= c.h - m) {
          margins_blank = margins_blank && v == 0;
          continue;
        }
        has_full = has_full || v == 255;
        has_edge = has_edge || (v > 0 && v < 255);
        if (v == 0) continue;
        touches[0] = touches[0] || x == m;
        touches[1] = touches[1] || y == m;
        touches[2] = touches[2] || x == c.w - 1 - m;
        touches[3] = touches[3] || y == c.h - 1 - m;
      }
    EXPECT_TRUE(margins_blank) << "the " << m << "-pixel margins must be blank";
    EXPECT_TRUE(touches[0] && touches[1] && touches[2] && touches[3])
        << "not trimmed to the ink: left " << touches[0] << " top " << touches[1] << " right " << touches[2]
        << " bottom " << touches[3];
    EXPECT_TRUE(has_full) << "no pixel of full ink";
    crisp += has_edge ? 0 : 1;
  }
  // Edges are antialiased; only a glyph drawn of upright and level strokes
  // alone may land on whole pixels.
  EXPECT_LE(crisp, all.size() / 50) << "symbols without antialiased edges";
}

// The render cache makes of a symbol a picture in the tint whose mask is the
// symbol's coverage, pixel for pixel; the first symbol of each group.
TEST_F(ArtSymbols, TintsAsASymbolObject) {
  OPUtil_Init();
  const a_pixel32 teal = {{0x80, 0x70, 0x10, 0xFF}};
  for (const a_art_symbol_group& g : ART_SYMBOL_GROUPS) {
    const std::vector<a_keyset> keys = Keys(a_keyset{ART_SYMBOL, g.group, 0, 0}, 2);
    if (keys.empty()) continue;  // reported by EveryGroupIsThereWithinTheBudget
    const a_keyset k = keys.front();
    SCOPED_TRACE(Name(k));
    const Coverage c = Load(k);
    ASSERT_TRUE(c.ok);
    a_spec spec;
    Null_Spec(spec);
    spec.source.kind = SOURCE_DATABASE;
    spec.source.key = k;
    spec.is_symbol = true;
    spec.symbol_color = teal;
    a_cache_result res;
    Cache_Get(FOR_SCREEN, spec, res);
    ASSERT_NE(res.body.fore, nullptr);
    ASSERT_NE(res.body.mask, nullptr);
    const PixMap& f = *Get_GWorld_PixMap(res.body.fore);
    const PixMap& mk = *Get_GWorld_PixMap(res.body.mask);
    ASSERT_EQ(f.bounds.right - f.bounds.left, c.w);
    ASSERT_EQ(f.bounds.bottom - f.bounds.top, c.h);
    int32 wrong_colour = 0, wrong_mask = 0;
    for (int32 y = 0; y < c.h; ++y)
      for (int32 x = 0; x < c.w; ++x) {
        a_pixel32 p;
        std::memcpy(&p, f.baseAddr + size_t(y) * PixMap_RowBytes(f) + size_t(x) * 4, 4);
        wrong_colour += (p.r != teal.r || p.g != teal.g || p.b != teal.b) ? 1 : 0;
        wrong_mask += uint8(mk.baseAddr[size_t(y) * PixMap_RowBytes(mk) + size_t(x)]) != c.At(x, y) ? 1 : 0;
      }
    EXPECT_EQ(wrong_colour, 0);
    EXPECT_EQ(wrong_mask, 0);
  }
  Cache_Stop();
}

// Rows of art/symbols.txt the generator refuses before drawing anything,
// naming the line and why.
TEST(ArtGeneratorSymbols, BadRowsStopTheRunNamingWhy) {
  struct Case {
    std::string text;
    std::string want;
  };
  const Case cases[] = {
      {"party 1 symbols2 U+2605 \"star\"\n", "art/symbols.txt:1: no symbol group party"},
      {"music 1 nosuchfont U+2605 \"star\"\n", "art/symbols.txt:1: no font nosuchfont"},
      {"music 1 sans U+1D11E \"clef\"\n", "art/symbols.txt:1: the font sans has no glyph for U+1D11E"},
      {"music 1 sans U+0020 \"space\"\n", "art/symbols.txt:1: U+0020 of sans has no ink"},
      {"music 1 symbols2 U+D800 \"half\"\n", "art/symbols.txt:1: U+D800 is not a code point"},
      {"music 1 symbols2 U+110000 \"beyond\"\n", "art/symbols.txt:1: U+110000 is not a code point"},
      {"music 1 symbols2 U+0x2605 \"star\"\n", "art/symbols.txt:1: U+0x2605 is not a code point"},
      {"music 0 symbols2 U+2605 \"star\"\n", "art/symbols.txt:1: the symbol's number"},
      {"music 1 symbols2 U+2605\n", "art/symbols.txt:1: GROUP I FONT U+XXXX \"NAME\" expected"},
      {"music 1 symbols2 U+2605 \"star\"\nmusic 1 symbols2 U+2606 \"star outline\"\n",
       "art/symbols.txt:2: the key (11, 1, 1, 0) is taken (line 1)"},
      {"music 1 symbols2 U+2605 \"star\"\nnature 4 symbols2 U+2605 \"star again\"\n",
       "art/symbols.txt:2: U+2605 of symbols2 is already the symbol (11, 1, 1, 0)"},
  };
  for (const Case& c : cases) Expect_Table_Refused("symbols.txt", c.text, c.want);
}

}  // namespace
