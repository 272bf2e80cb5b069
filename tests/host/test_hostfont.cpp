// Font families and logical fonts of the host layer, under a pinned font
// configuration that holds only the DejaVu fonts (fonts-dejavu-core and -extra).
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "host/HostFont.h"

namespace {

#define REQUIRE_DEJAVU()                                 \
  do {                                                   \
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message(); \
  } while (0)

std::u16string U(const char* s) {
  std::u16string r;
  while (*s) r.push_back(char16_t(uint8(*s++)));
  return r;
}

HostLogFont Log_Font(const char* face, int32 height, int32 weight = FW_NORMAL, bool italic = false,
                     int32 esc = 0) {
  HostLogFont lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfItalic = italic ? 1 : 0;
  lf.lfEscapement = esc;
  Host_Utf8_To_Face_Name(face, lf.lfFaceName);
  return lf;
}

struct FontHolder {
  HFONT f;
  explicit FontHolder(const HostLogFont& lf) : f(CreateFontIndirectW(&lf)) {}
  ~FontHolder() {
    if (f) DeleteObject(f);
  }
};

std::string Base_Name(const std::string& path) { return std::filesystem::path(path).filename(); }

struct Family {
  std::u16string name;
  uint8 charset, pitch;
};

int32 Collect(const HostLogFont* lf, const HostTextMetric*, uint32 type, intptr_t parm) {
  auto* v = reinterpret_cast<std::vector<Family>*>(parm);
  std::u16string n;
  for (int i = 0; i < kHostFaceNameUnits && lf->lfFaceName[i]; ++i) n.push_back(lf->lfFaceName[i]);
  EXPECT_EQ(type, TRUETYPE_FONTTYPE);
  v->push_back(Family{n, lf->lfCharSet, lf->lfPitchAndFamily});
  return 1;
}

// FreeType's own hinted advance sum for a string in a face file.
int64 Ft_Width(const std::string& file, int32 em, const char* text) {
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) return -1;
  FT_Face face = nullptr;
  int64 w = -1;
  if (FT_New_Face(lib, file.c_str(), 0, &face) == 0) {
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(em));
    w = 0;
    for (const char* p = text; *p; ++p) {
      FT_Load_Char(face, FT_ULong(uint8(*p)), FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP);
      w += (face->glyph->advance.x + 32) >> 6;
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(lib);
  return w;
}

int64 Host_Width(HFONT f, const char* text) {
  int64 w = 0;
  for (const char* p = text; *p; ++p) w += Host_Font_Advance(f, Host_Font_Glyph_Index(f, char32_t(uint8(*p))));
  return w;
}


// --- A tiny symbol font -----------------------------------------------------------------

void Put16(std::vector<uint8>& b, uint32 v) {
  b.push_back(uint8(v >> 8));
  b.push_back(uint8(v));
}
void Put32(std::vector<uint8>& b, uint32 v) {
  Put16(b, v >> 16);
  Put16(b, v & 0xFFFF);
}

// A TrueType font named "Symbol Test" whose only character map is of the
// symbol kind (platform 3, encoding 0): U+F020..U+F07E all map to glyph 1,
// a 400 x 700 unit box on a 1000-unit em, advance 600.
std::vector<uint8> Symbol_Font() {
  std::vector<std::pair<std::string, std::vector<uint8>>> t;
  std::vector<uint8> head;
  Put32(head, 0x00010000);
  Put32(head, 0x00010000);
  Put32(head, 0);
  Put32(head, 0x5F0F3CF5);
  Put16(head, 0x000B);
  Put16(head, 1000);
  for (int i = 0; i < 4; ++i) Put32(head, 0);  // created, modified
  Put16(head, 100);
  Put16(head, 0);
  Put16(head, 500);
  Put16(head, 700);
  Put16(head, 0);  // macStyle
  Put16(head, 8);
  Put16(head, 2);
  Put16(head, 0);  // short loca
  Put16(head, 0);
  std::vector<uint8> hhea;
  Put32(hhea, 0x00010000);
  Put16(hhea, 800);
  Put16(hhea, uint16(-200));
  Put16(hhea, 0);
  Put16(hhea, 600);
  Put16(hhea, 0);
  Put16(hhea, 0);
  Put16(hhea, 500);
  Put16(hhea, 1);
  Put16(hhea, 0);
  Put16(hhea, 0);
  for (int i = 0; i < 4; ++i) Put16(hhea, 0);
  Put16(hhea, 0);
  Put16(hhea, 2);  // metrics for both glyphs
  std::vector<uint8> maxp;
  Put32(maxp, 0x00010000);
  Put16(maxp, 2);  // glyphs
  Put16(maxp, 4);
  Put16(maxp, 1);
  Put16(maxp, 0);
  Put16(maxp, 0);
  Put16(maxp, 2);
  for (int i = 0; i < 8; ++i) Put16(maxp, 0);
  std::vector<uint8> hmtx;
  for (int i = 0; i < 2; ++i) {
    Put16(hmtx, 600);
    Put16(hmtx, 100);
  }
  std::vector<uint8> glyf;
  Put16(glyf, 1);  // one contour
  Put16(glyf, 100);
  Put16(glyf, 0);
  Put16(glyf, 500);
  Put16(glyf, 700);
  Put16(glyf, 3);  // end point
  Put16(glyf, 0);  // no instructions
  for (int i = 0; i < 4; ++i) glyf.push_back(0x01);  // on curve, 16-bit deltas
  for (int16 dx : {100, 400, 0, -400}) Put16(glyf, uint16(dx));
  for (int16 dy : {0, 0, 700, 0}) Put16(glyf, uint16(dy));
  std::vector<uint8> loca;
  Put16(loca, 0);
  Put16(loca, 0);
  Put16(loca, uint32(glyf.size() / 2));
  std::vector<uint8> cmap;
  Put16(cmap, 0);
  Put16(cmap, 1);
  Put16(cmap, 3);
  Put16(cmap, 0);  // symbol encoding
  Put32(cmap, 12);
  const uint32 n = 0xF07E - 0xF020 + 1;
  Put16(cmap, 4);
  Put16(cmap, 16 + 16 + 2 * n);
  Put16(cmap, 0);
  Put16(cmap, 4);  // two segments
  Put16(cmap, 4);
  Put16(cmap, 1);
  Put16(cmap, 0);
  Put16(cmap, 0xF07E);
  Put16(cmap, 0xFFFF);
  Put16(cmap, 0);
  Put16(cmap, 0xF020);
  Put16(cmap, 0xFFFF);
  Put16(cmap, 0);
  Put16(cmap, 1);
  Put16(cmap, 4);  // to the glyph array just behind this array
  Put16(cmap, 0);
  for (uint32 i = 0; i < n; ++i) Put16(cmap, 1);
  std::vector<uint8> name;
  const std::u16string fam = u"Symbol Test", sub = u"Regular";
  Put16(name, 0);
  Put16(name, 2);
  Put16(name, 6 + 24);
  uint32 off = 0;
  for (const std::u16string* str : {&fam, &sub}) {
    Put16(name, 3);
    Put16(name, 1);
    Put16(name, 0x409);
    Put16(name, str == &fam ? 1 : 2);
    Put16(name, uint32(str->size() * 2));
    Put16(name, off);
    off += uint32(str->size() * 2);
  }
  for (const std::u16string* str : {&fam, &sub})
    for (char16_t c : *str) Put16(name, c);
  t = {{"cmap", cmap}, {"glyf", glyf}, {"head", head}, {"hhea", hhea},
       {"hmtx", hmtx}, {"loca", loca}, {"maxp", maxp}, {"name", name}};
  std::vector<uint8> f;
  Put32(f, 0x00010000);
  Put16(f, uint32(t.size()));
  Put16(f, 128);
  Put16(f, 3);
  Put16(f, uint32(t.size() * 16 - 128));
  uint32 pos = uint32(12 + 16 * t.size());
  for (auto& [tag, data] : t) {
    while (data.size() % 4) data.push_back(0);
    for (char c : tag) f.push_back(uint8(c));
    uint32 sum = 0;
    for (size_t i = 0; i < data.size(); i += 4)
      sum += (uint32(data[i]) << 24) | (uint32(data[i + 1]) << 16) | (uint32(data[i + 2]) << 8) |
             data[i + 3];
    Put32(f, sum);
    Put32(f, pos);
    Put32(f, uint32(data.size()));
    pos += uint32(data.size());
  }
  for (auto& [tag, data] : t) f.insert(f.end(), data.begin(), data.end());
  return f;
}

}  // namespace

TEST(HostFont, FamiliesOfThePinnedSetInCodeOrder) {
  REQUIRE_DEJAVU();
  std::vector<Family> fams;
  EXPECT_EQ(EnumFontFamiliesW(nullptr, nullptr, Collect, intptr_t(&fams)), 1);
  // Each English family name once; the condensed and light faces form
  // families of their own.
  const std::vector<std::u16string> want = {
      U("DejaVu Math TeX Gyre"), U("DejaVu Sans"),  U("DejaVu Sans Condensed"),
      U("DejaVu Sans Light"),    U("DejaVu Sans Mono"), U("DejaVu Serif"),
      U("DejaVu Serif Condensed")};
  ASSERT_EQ(fams.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(fams[i].name, want[i]) << i;
    EXPECT_EQ(fams[i].charset, ANSI_CHARSET) << i;
  }
  EXPECT_EQ(Host_Font_Family_Count(), int32(want.size()));
  EXPECT_EQ(fams[4].pitch, FIXED_PITCH | FF_MODERN);
  EXPECT_EQ(fams[5].pitch, VARIABLE_PITCH | FF_ROMAN);
  EXPECT_EQ(fams[1].pitch, VARIABLE_PITCH | FF_SWISS);
}

TEST(HostFont, EnumerationByNameAndStop) {
  REQUIRE_DEJAVU();
  std::vector<Family> fams;
  const std::u16string name = U("dejavu sans MONO");
  EXPECT_EQ(EnumFontFamiliesW(nullptr, reinterpret_cast<const UniChar*>(name.c_str()), Collect,
                              intptr_t(&fams)),
            1);
  ASSERT_EQ(fams.size(), 1u);
  EXPECT_EQ(fams[0].name, U("DejaVu Sans Mono"));

  int calls = 0;
  auto stop = [](const HostLogFont*, const HostTextMetric*, uint32, intptr_t parm) -> int32 {
    ++*reinterpret_cast<int*>(parm);
    return 0;
  };
  EXPECT_EQ(EnumFontFamiliesW(nullptr, nullptr, stop, intptr_t(&calls)), 0);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(EnumFontFamiliesW(nullptr, nullptr, nullptr, 0), 0);
}

TEST(HostFont, FaceChoiceAndSynthesis) {
  REQUIRE_DEJAVU();
  struct Case {
    const char* face;
    int32 weight;
    bool italic;
    const char* family;
    const char* file;
    bool synth_bold, synth_italic;
  } cases[] = {
      {"DejaVu Sans", FW_NORMAL, false, "DejaVu Sans", "DejaVuSans.ttf", false, false},
      {"DejaVu Sans", FW_BOLD, false, "DejaVu Sans", "DejaVuSans-Bold.ttf", false, false},
      {"DejaVu Sans", FW_BOLD, true, "DejaVu Sans", "DejaVuSans-BoldOblique.ttf", false, false},
      {"dejavu serif", FW_NORMAL, true, "DejaVu Serif", "DejaVuSerif-Italic.ttf", false, false},
      {"DejaVu Sans Condensed", FW_NORMAL, false, "DejaVu Sans Condensed",
       "DejaVuSansCondensed.ttf", false, false},
      {"DejaVu Sans Light", FW_BOLD, false, "DejaVu Sans Light", "DejaVuSans-ExtraLight.ttf", true,
       false},
      {"DejaVu Sans Light", FW_NORMAL, true, "DejaVu Sans Light", "DejaVuSans-ExtraLight.ttf",
       false, true},
      {"DejaVu Math TeX Gyre", FW_BOLD, true, "DejaVu Math TeX Gyre", "DejaVuMathTeXGyre.ttf", true,
       true},
      // Families that are not installed: the closest installed one.
      {"Arial", FW_NORMAL, false, "DejaVu Sans", "DejaVuSans.ttf", false, false},
      {"Lucida Sans Unicode", FW_BOLD, false, "DejaVu Sans", "DejaVuSans-Bold.ttf", false, false},
      {"", FW_NORMAL, false, "DejaVu Sans", "DejaVuSans.ttf", false, false},
  };
  for (const Case& c : cases) {
    FontHolder h(Log_Font(c.face, -12, c.weight, c.italic));
    ASSERT_NE(h.f, nullptr) << c.face;
    HostFontFaceInfo info;
    ASSERT_TRUE(Host_Font_Describe(h.f, &info)) << c.face;
    EXPECT_EQ(info.family, c.family) << c.face;
    EXPECT_EQ(Base_Name(info.file), c.file) << c.face << " " << c.weight << " " << c.italic;
    EXPECT_EQ(info.synth_bold, c.synth_bold) << c.face;
    EXPECT_EQ(info.synth_italic, c.synth_italic) << c.face;
    EXPECT_FALSE(info.symbol_map);
  }
}

TEST(HostFont, HeightsAndMetrics) {
  REQUIRE_DEJAVU();
  FontHolder em20(Log_Font("DejaVu Sans", -20));
  HostFontFaceInfo info;
  ASSERT_TRUE(Host_Font_Describe(em20.f, &info));
  EXPECT_EQ(info.em, 20);
  HostTextMetric tm;
  Host_Font_Metrics(em20.f, &tm);
  EXPECT_GT(tm.tmAscent, tm.tmDescent);
  EXPECT_GT(tm.tmDescent, 0);
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 20);
  EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);

  // A positive height is the cell: ascent plus descent.
  FontHolder cell(Log_Font("DejaVu Sans", 40));
  Host_Font_Metrics(cell.f, &tm);
  EXPECT_NEAR(tm.tmHeight, 40, 1);
  ASSERT_TRUE(Host_Font_Describe(cell.f, &info));
  EXPECT_LT(info.em, 40);

  // Absurd heights are bounded, not a crash or a huge allocation.
  for (int32 h : {INT32_MIN, INT32_MAX, -1, 0}) {
    FontHolder x(Log_Font("DejaVu Sans", h));
    ASSERT_TRUE(Host_Font_Describe(x.f, &info)) << h;
    EXPECT_GE(info.em, 1) << h;
    EXPECT_LE(info.em, 4000) << h;
  }
  FontHolder deflt(Log_Font("DejaVu Sans", 0));
  ASSERT_TRUE(Host_Font_Describe(deflt.f, &info));
  EXPECT_EQ(info.em, 12);
}

TEST(HostFont, AdvancesAreFreeTypesOwn) {
  REQUIRE_DEJAVU();
  const char* text = "Hello, World! fiAVWa 0123 {}|~";
  struct Case {
    const char* face;
    int32 weight;
    bool italic;
    const char* file;
  } cases[] = {
      {"DejaVu Sans", FW_NORMAL, false, "DejaVuSans.ttf"},
      {"DejaVu Sans", FW_BOLD, false, "DejaVuSans-Bold.ttf"},
      {"DejaVu Sans", FW_NORMAL, true, "DejaVuSans-Oblique.ttf"},
      {"DejaVu Serif", FW_NORMAL, false, "DejaVuSerif.ttf"},
      {"DejaVu Sans Mono", FW_NORMAL, false, "DejaVuSansMono.ttf"},
  };
  for (const Case& c : cases) {
    for (int32 em : {9, 12, 17, 33, 100}) {
      FontHolder h(Log_Font(c.face, -em, c.weight, c.italic));
      EXPECT_EQ(Host_Width(h.f, text), Ft_Width(kDejaVuDir + "/" + c.file, em, text))
          << c.file << " " << em;
    }
  }
  // Synthesised bold is wider than the face it thickens; synthesised
  // italics keep the advances.
  FontHolder light(Log_Font("DejaVu Sans Light", -20));
  FontHolder light_bold(Log_Font("DejaVu Sans Light", -20, FW_BOLD));
  FontHolder light_it(Log_Font("DejaVu Sans Light", -20, FW_NORMAL, true));
  const int64 w = Host_Width(light.f, text);
  EXPECT_EQ(w, Ft_Width(kDejaVuDir + "/DejaVuSans-ExtraLight.ttf", 20, text));
  EXPECT_GT(Host_Width(light_bold.f, text), w);
  EXPECT_EQ(Host_Width(light_it.f, text), w);
}

TEST(HostFont, GlyphIndicesAndMissingGlyphs) {
  REQUIRE_DEJAVU();
  FontHolder h(Log_Font("DejaVu Sans", -12));
  FT_Library lib = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&lib), 0);
  FT_Face face = nullptr;
  ASSERT_EQ(FT_New_Face(lib, (kDejaVuDir + "/DejaVuSans.ttf").c_str(), 0, &face), 0);
  for (char32_t c : {U'A', U'z', U'\u00E9', U'\u20AC', U'\u0416'}) {
    const uint32 want = FT_Get_Char_Index(face, FT_ULong(c));
    EXPECT_NE(want, 0u);
    EXPECT_EQ(Host_Font_Glyph_Index(h.f, c), want) << uint32(c);
  }
  // Twice through the ASCII table gives the same.
  EXPECT_EQ(Host_Font_Glyph_Index(h.f, U'A'), FT_Get_Char_Index(face, 'A'));
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  EXPECT_EQ(Host_Font_Glyph_Index(h.f, U'\u4E00'), 0u);   // no CJK in DejaVu Sans
  EXPECT_EQ(Host_Font_Glyph_Index(h.f, U'\U0010FFFD'), 0u);
  EXPECT_EQ(Host_Font_Glyph_Index(nullptr, U'A'), 0u);
}

TEST(HostFont, GlyphBitmaps) {
  REQUIRE_DEJAVU();
  FontHolder h(Log_Font("DejaVu Sans", -40));
  const uint32 gi = Host_Font_Glyph_Index(h.f, U'O');
  HostGlyphBitmap aa, mono;
  ASSERT_TRUE(Host_Font_Glyph(h.f, gi, false, &aa));
  ASSERT_NE(aa.cov, nullptr);
  bool partial = false;
  for (int32 i = 0; i < aa.width * aa.rows; ++i) partial |= aa.cov[i] > 0 && aa.cov[i] < 255;
  EXPECT_TRUE(partial) << "antialiased edges";
  const std::vector<uint8> aa_copy(aa.cov, aa.cov + aa.width * aa.rows);
  ASSERT_TRUE(Host_Font_Glyph(h.f, gi, true, &mono));
  ASSERT_NE(mono.cov, nullptr);
  int32 on = 0;
  for (int32 i = 0; i < mono.width * mono.rows; ++i) {
    EXPECT_TRUE(mono.cov[i] == 0 || mono.cov[i] == 255);
    on += mono.cov[i] ? 1 : 0;
  }
  EXPECT_GT(on, 0);
  // The glyph stands on the baseline: its top is about the cap height.
  EXPECT_NEAR(aa.top, 29, 2);
  EXPECT_NEAR(aa.rows, 30, 3);
  // A space has no pixels but an advance.
  HostGlyphBitmap sp;
  ASSERT_TRUE(Host_Font_Glyph(h.f, Host_Font_Glyph_Index(h.f, U' '), false, &sp));
  EXPECT_EQ(sp.cov, nullptr);
  EXPECT_GT(Host_Font_Advance(h.f, Host_Font_Glyph_Index(h.f, U' ')), 0);

  // Turned by 90 degrees an "l" lies on its side: wide, not tall.
  FontHolder up(Log_Font("DejaVu Sans", -40, FW_NORMAL, false, 900));
  HostGlyphBitmap l0, l90;
  FontHolder flat(Log_Font("DejaVu Sans", -40));
  ASSERT_TRUE(Host_Font_Glyph(flat.f, Host_Font_Glyph_Index(flat.f, U'l'), false, &l0));
  const int32 w0 = l0.width, r0 = l0.rows;
  ASSERT_TRUE(Host_Font_Glyph(up.f, Host_Font_Glyph_Index(up.f, U'l'), false, &l90));
  EXPECT_GT(r0, 3 * w0);
  EXPECT_NEAR(l90.width, r0, 1);
  EXPECT_NEAR(l90.rows, w0, 1);
  // Its foot stays at the pen: the glyph lies left of the pen position, above the baseline.
  EXPECT_LE(l90.left + l90.width, 1);
  EXPECT_EQ(Host_Font_Escapement(up.f), 900);
  FontHolder neg(Log_Font("DejaVu Sans", -40, FW_NORMAL, false, -900));
  EXPECT_EQ(Host_Font_Escapement(neg.f), 2700);
}

TEST(HostFont, SymbolMapReachedThroughTheF000Block) {
  REQUIRE_DEJAVU();
  // A second configuration: the DejaVu fonts and a symbol font of our own.
  const std::string sym_dir = Pinned_DejaVu().Dir() + "/symbol";
  std::filesystem::create_directories(sym_dir);
  const std::vector<uint8> ttf = Symbol_Font();
  {
    std::ofstream out(sym_dir + "/symboltest.ttf", std::ios::binary);
    out.write(reinterpret_cast<const char*>(ttf.data()), std::streamsize(ttf.size()));
  }
  const std::string conf = Pinned_DejaVu().Dir() + "/symbol.conf";
  {
    std::ofstream out(conf);
    out << "<?xml version=\"1.0\"?>\n<fontconfig>\n  <dir>" << kDejaVuDir << "</dir>\n  <dir>" << sym_dir
        << "</dir>\n  <cachedir>" << Pinned_DejaVu().Dir() << "/cache-sym</cachedir>\n</fontconfig>\n";
  }
  const std::string pinned = std::getenv("FONTCONFIG_FILE");
  setenv("FONTCONFIG_FILE", conf.c_str(), 1);
  Host_Fonts_Reset();

  std::vector<Family> fams;
  EnumFontFamiliesW(nullptr, nullptr, Collect, intptr_t(&fams));
  const Family* sym = nullptr;
  for (const Family& f : fams)
    if (f.name == U("Symbol Test")) sym = &f;
  ASSERT_NE(sym, nullptr);
  EXPECT_EQ(sym->charset, SYMBOL_CHARSET);
  EXPECT_EQ(sym->pitch, FIXED_PITCH | FF_DECORATIVE);  // every glyph is 600 units wide
  EXPECT_EQ(fams.size(), 8u);

  {
    FontHolder h(Log_Font("Symbol Test", -20));
    HostFontFaceInfo info;
    ASSERT_TRUE(Host_Font_Describe(h.f, &info));
    EXPECT_EQ(info.family, "Symbol Test");
    EXPECT_TRUE(info.symbol_map);
    // The plain codes the program asks for (33..126) and the U+F000 ones
    // reach the same glyph; codes outside the map do not.
    for (char32_t c : {U'!', U'A', U'~', U' '}) {
      EXPECT_EQ(Host_Font_Glyph_Index(h.f, c), 1u) << uint32(c);
      EXPECT_EQ(Host_Font_Glyph_Index(h.f, 0xF000 + c), 1u) << uint32(c);
    }
    EXPECT_EQ(Host_Font_Glyph_Index(h.f, U'\u0410'), 0u);
    EXPECT_EQ(Host_Font_Glyph_Index(h.f, U'\u00C0'), 0u) << "160..255 are not in this map";
    EXPECT_EQ(Host_Font_Advance(h.f, 1), 12);  // 600 units of a 20-pixel em
    HostGlyphBitmap g;
    ASSERT_TRUE(Host_Font_Glyph(h.f, 1, false, &g));
    EXPECT_EQ(g.width, 8);
    EXPECT_EQ(g.rows, 14);
  }
  setenv("FONTCONFIG_FILE", pinned.c_str(), 1);
  Host_Fonts_Reset();
  EXPECT_EQ(Host_Font_Family_Count(), 7);
}

TEST(HostFont, ObjectsAndBadArguments) {
  REQUIRE_DEJAVU();
  EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
  HostLogFont lf = Log_Font("DejaVu Sans", -12);
  // A name without terminator stays inside the record.
  for (UniChar& c : lf.lfFaceName) c = u'x';
  HFONT f = CreateFontIndirectW(&lf);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(GetObjectType(f), OBJ_FONT);
  HostLogFont back;
  EXPECT_TRUE(Host_GetLogFont(f, &back));
  EXPECT_EQ(back.lfFaceName[kHostFaceNameUnits - 1], 0);
  HostFontFaceInfo info;
  EXPECT_TRUE(Host_Font_Describe(f, &info));  // resolved to the closest family
  EXPECT_TRUE(DeleteObject(f));

  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_FALSE(Host_GetLogFont(pen, &back));
  EXPECT_FALSE(Host_Font_Describe(pen, &info));
  DeleteObject(pen);
  // The stock font is no HostFont: the default font stands in for it.
  EXPECT_FALSE(Host_GetLogFont(GetStockObject(SYSTEM_FONT), &back));
  HFONT d = Host_DC_Font(nullptr);
  ASSERT_NE(d, nullptr);
  ASSERT_TRUE(Host_Font_Describe(d, &info));
  EXPECT_EQ(info.em, 12);
}

TEST(HostFont, FaceNameConversions) {
  UniChar name[kHostFaceNameUnits];
  Host_Utf8_To_Face_Name("Caf\xC3\xA9 \xF0\x9F\x98\x80", name);
  EXPECT_EQ(name[3], 0x00E9);
  EXPECT_EQ(name[5], 0xD83D);
  EXPECT_EQ(name[6], 0xDE00);
  EXPECT_EQ(name[7], 0);
  EXPECT_EQ(Host_Utf16_To_Utf8(name, kHostFaceNameUnits), "Caf\xC3\xA9 \xF0\x9F\x98\x80");
  // Over-long names are cut and still terminated.
  Host_Utf8_To_Face_Name(std::string(300, 'a'), name);
  EXPECT_EQ(name[kHostFaceNameUnits - 2], u'a');
  EXPECT_EQ(name[kHostFaceNameUnits - 1], 0);
  // A lone surrogate becomes U+FFFD.
  const UniChar lone[] = {0xD800, u'x', 0};
  EXPECT_EQ(Host_Utf16_To_Utf8(lone, 3), "\xEF\xBF\xBDx");
}
