// The font list, its classification and order, base fonts, and font records
// in the current port. The installed-font tests run under a pinned font
// configuration that holds only the DejaVu fonts (fonts-dejavu-core and -extra).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "pixel/Fast.h"
#include "host/HostFont.h"
#include "host/HostText.h"
#include "platform/LangUtil.h"
#include "platform/Quickdraw.h"
#include "platform/Script.h"
#include "platform/SysFont.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu";

// Font configurations written at run time: only the DejaVu folder, or an
// empty folder (no font at all).
struct PinnedFonts {
  int state = -1;
  std::string dir, conf, empty_conf;
  ~PinnedFonts() {
    if (!dir.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(dir, ec);
    }
  }
  static bool Write(const std::string& path, const std::string& font_dir, const std::string& cache) {
    std::ofstream out(path);
    out << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
        << "  <dir>" << font_dir << "</dir>\n"
        << "  <cachedir>" << cache << "</cachedir>\n"
        << "  <match target=\"pattern\"><edit name=\"family\" mode=\"append_last\">"
        << "<string>DejaVu Sans</string></edit></match>\n"
        << "</fontconfig>\n";
    out.close();
    return bool(out);
  }
  bool Pin() {
    if (state >= 0) return state == 1;
    state = 0;
    if (!Missing_DejaVu().empty()) return false;
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmor-sysfont-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back(0);
    if (!mkdtemp(buf.data())) return false;
    dir = buf.data();
    conf = dir + "/fonts.conf";
    empty_conf = dir + "/empty.conf";
    std::filesystem::create_directory(dir + "/nofonts");
    if (!Write(conf, kDejaVu, dir + "/cache") ||
        !Write(empty_conf, dir + "/nofonts", dir + "/cache2"))
      return false;
    Use(conf);
    state = 1;
    return true;
  }
  static void Use(const std::string& path) {
    setenv("FONTCONFIG_FILE", path.c_str(), 1);
    Host_Fonts_Reset();
  }
};

PinnedFonts g_pin;

std::u16string U(const char* s) {
  std::u16string r;
  while (*s) r.push_back(char16_t(uint8(*s++)));
  return r;
}

CUStrSpan Span(const std::u16string& s) { return CUStrSpan(s.c_str(), s.size() + 1); }

std::u16string Name_Of(uint32 fontx) {
  uStr255 name;
  FontX_To_Name(fontx, UStrSpan(name));
  return std::u16string(name);
}

a_family_item Item(const char* name, uint8 charset) {
  a_family_item e;
  std::memset(&e, 0, sizeof e);
  for (int i = 0; name[i] && i < kFontNameUnits - 1; ++i) e.fontname[i] = uint8(name[i]);
  e.charset = charset;
  return e;
}

class SysFontTest : public ::testing::Test {
 protected:
  std::vector<GWorldPtr> worlds_;
  a_language saved_lang_ = os_language;

  void SetUp() override {
    if (!g_pin.Pin()) GTEST_FAIL() << No_DejaVu_Message();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Fast_Init();  // the font list's sort
    Fonts_Stop();
    Fonts_Init();
  }
  void TearDown() override {
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    for (GWorldPtr& w : worlds_) Dispose_GWorld(w);
    Stop_Quickdraw();
    os_language = saved_lang_;
  }
  GWorldPtr World(int16 depth, Rect bounds = Rect{0, 0, 120, 300}) {
    GWorldPtr w = nullptr;
    EXPECT_EQ(New_GWorld(bounds, depth, nullptr, w), noErr);
    worlds_.push_back(w);
    Push_GWorld(w);
    PatBlt(theHDC, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
           WHITENESS);
    return w;
  }
  static uint32 Px32(GWorldPtr w, int32 x, int32 y) {
    const uint8* row = reinterpret_cast<uint8*>(w->pix.baseAddr) +
                       size_t(y - w->pix.bounds.top) * PixMap_RowBytes(w->pix);
    uint32 v;
    std::memcpy(&v, row + 4 * (x - w->pix.bounds.left), 4);
    return v;
  }
  static int64 Count_Not(GWorldPtr w, uint32 v) {
    int64 n = 0;
    for (int32 y = w->pix.bounds.top; y < w->pix.bounds.bottom; ++y)
      for (int32 x = w->pix.bounds.left; x < w->pix.bounds.right; ++x) n += Px32(w, x, y) != v;
    return n;
  }
};

}  // namespace

TEST_F(SysFontTest, ListOfThePinnedFonts) {
  const std::vector<std::u16string> want = {
      U("DejaVu Math TeX Gyre"), U("DejaVu Sans"),  U("DejaVu Sans Condensed"),
      U("DejaVu Sans Light"),    U("DejaVu Sans Mono"), U("DejaVu Serif"),
      U("DejaVu Serif Condensed")};
  uint32 first = 0, last = 0;
  Count_Fonts(first, last);
  EXPECT_EQ(first, 1u);
  ASSERT_EQ(last, want.size());
  for (uint32 i = 1; i <= last; ++i) {
    EXPECT_EQ(Name_Of(i), want[i - 1]);
    EXPECT_EQ(Name_To_FontX(Span(want[i - 1])), i);
    EXPECT_EQ(g_fontlist[i - 1].order, 1);
    EXPECT_EQ(g_fontlist[i - 1].charset, ANSI_CHARSET);
    EXPECT_EQ(Get_Font_Attrib(i), 0);
    EXPECT_FALSE(Is_Pi_Font(i));
    EXPECT_FALSE(Is_Asian_Font(i));
  }
  EXPECT_EQ(g_fontlist[4].pitch & 3, FIXED_PITCH);
  // Unknown names and indexes.
  EXPECT_EQ(Name_To_FontX(Span(U("Arial"))), 0u);
  EXPECT_EQ(Name_To_FontX(Span(U("DejaVu"))), 0u);
  EXPECT_EQ(Name_To_FontX(Span(U("dejavu sans"))), 0u) << "names compare exactly";
  EXPECT_EQ(Name_Of(0), u"");
  EXPECT_EQ(Name_Of(last + 1), u"");
  EXPECT_EQ(Get_Font_Attrib(last + 1), 0);
  EXPECT_EQ(Find_Font_Name(CStrSpan("DejaVu Sans")), 2u);
  EXPECT_EQ(Find_Font_Name(CStrSpan("DejaVu Se")), 6u);
  EXPECT_EQ(Find_Font_Name(CStrSpan("Lucida Sans Unicode")), 0u);
  // A name cut short by its destination stays terminated.
  UniChar small[6];
  FontX_To_Name(2, UStrSpan(small));
  EXPECT_EQ(std::u16string(small), u"DejaV");
  // Built once.
  a_family_item* before = g_fontlist;
  Fonts_Init();
  EXPECT_EQ(g_fontlist, before);
  // Thumbnail marks.
  EXPECT_FALSE(Is_Font_Thumbnailed(3));
  Mark_As_Thumbnailed(3);
  EXPECT_TRUE(Is_Font_Thumbnailed(3));
  Mark_As_Thumbnailed(0);
  Mark_As_Thumbnailed(last + 1);
  EXPECT_THROW(Get_Font_Sort(1), QuitCalled);
}

TEST_F(SysFontTest, BaseFontsFallBackToTheClosestFamily) {
  // Neither "Lucida Sans Unicode" nor "Arial" exists: the family fontconfig
  // puts in their place, not simply the first of the list.
  BASE_PROP_FONT = BASE_MONO_FONT = BASE_BIG_FONT = BASE_ENTRY_FONT = BASE_PRINT_FONT = 0;
  Set_Base_Fonts(ENGLISH);
  EXPECT_EQ(BASE_PROP_FONT, Name_To_FontX(Span(U("DejaVu Sans"))));
  EXPECT_EQ(BASE_PROP_FONT, 2u);
  EXPECT_EQ(BASE_MONO_FONT, BASE_PROP_FONT);
  EXPECT_EQ(BASE_BIG_FONT, BASE_PROP_FONT);
  EXPECT_EQ(BASE_ENTRY_FONT, BASE_PROP_FONT);
  EXPECT_EQ(BASE_PRINT_FONT, BASE_PROP_FONT);
}

// The base fonts are chosen as soon as the list is built, and without
// "Lucida Sans Unicode" or "Arial" they are the desktop's sans-serif face as
// fontconfig matches it, not font 1 (here a maths font that sorts first).
TEST_F(SysFontTest, ListBuildingChoosesTheSansSerifFaceAsBaseFont) {
  // A configuration whose sans-serif is DejaVu Sans Mono and whose fallback
  // for any other name is DejaVu Serif, so each rule gives its own answer.
  const std::string conf = g_pin.dir + "/sans.conf";
  {
    std::ofstream out(conf);
    out << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n"
        << "  <dir>" << kDejaVu << "</dir>\n"
        << "  <cachedir>" << g_pin.dir << "/cache3</cachedir>\n"
        << "  <alias><family>sans-serif</family><prefer><family>DejaVu Sans Mono</family></prefer></alias>\n"
        << "  <match target=\"pattern\"><edit name=\"family\" mode=\"append_last\">"
        << "<string>DejaVu Serif</string></edit></match>\n"
        << "</fontconfig>\n";
  }
  PinnedFonts::Use(conf);
  Fonts_Stop();
  BASE_PROP_FONT = BASE_MONO_FONT = BASE_BIG_FONT = BASE_ENTRY_FONT = BASE_PRINT_FONT = 0;
  Fonts_Init();
  EXPECT_EQ(Name_Of(1), u"DejaVu Math TeX Gyre");
  EXPECT_EQ(Name_Of(BASE_PROP_FONT), u"DejaVu Sans Mono");
  for (uint32 f : {BASE_MONO_FONT, BASE_BIG_FONT, BASE_ENTRY_FONT, BASE_PRINT_FONT}) EXPECT_EQ(f, BASE_PROP_FONT);
  PinnedFonts::Use(g_pin.conf);
  Fonts_Stop();
  Fonts_Init();
  EXPECT_EQ(Name_Of(BASE_PROP_FONT), u"DejaVu Sans");
}

TEST_F(SysFontTest, ClassificationAndOrder) {
  struct Case {
    const char* name;
    uint8 charset;
    a_font_attrib_set attrib;
    uint16 order, order_ja;
  } cases[] = {
      {"Symbol", SYMBOL_CHARSET, Attrib_Bit(IS_PI_FONT) | Attrib_Bit(IS_NONROMAN_FONT), 3, 3},
      {"Symbol Neu Pro", ANSI_CHARSET, Attrib_Bit(IS_PI_FONT), 3, 3},
      {"Wingdings 3", SYMBOL_CHARSET, Attrib_Bit(IS_PI_FONT) | Attrib_Bit(IS_NONROMAN_FONT), 3, 3},
      {"Petrucci", ANSI_CHARSET, Attrib_Bit(IS_PI_FONT), 3, 3},
      {"symbol", ANSI_CHARSET, 0, 1, 1},  // prefixes keep their case
      {"Mangal", DEFAULT_CHARSET, Attrib_Bit(IS_SP_FONT) | Attrib_Bit(IS_NONROMAN_FONT), 1, 1},
      {"GB18030 Bitmap", GB2312_CHARSET, Attrib_Bit(IS_SP_FONT) | Attrib_Bit(IS_NONROMAN_FONT), 1, 1},
      {"MS Gothic", SHIFTJIS_CHARSET, Attrib_Bit(IS_ASIAN_FONT), 2, 0},
      {"Gulim", HANGUL_CHARSET, Attrib_Bit(IS_NONROMAN_FONT), 1, 1},
      {"Terminal Dosis", OEM_CHARSET, 0, 1, 1},
      {"DejaVu Sans", ANSI_CHARSET, 0, 1, 1},
  };
  for (const Case& c : cases) {
    a_family_item e = Item(c.name, c.charset);
    os_language = ENGLISH;
    Classify_Font_Item(e);
    EXPECT_EQ(e.attrib, c.attrib) << c.name;
    EXPECT_EQ(e.order, c.order) << c.name;
    os_language = JAPANESE;
    Classify_Font_Item(e);
    EXPECT_EQ(e.order, c.order_ja) << c.name;
  }
  EXPECT_TRUE(Is_Pi_Font_Name(Span(U("Webdings"))));
  EXPECT_TRUE(Is_Special_Font_Name(Span(U("MV Boli"))));
  EXPECT_FALSE(Is_Special_Font_Name(Span(U("MV"))));

  // Bad names: "@" variants and the exact system names.
  EXPECT_TRUE(Is_Bad_Font(Span(U("@MS Mincho"))));
  EXPECT_TRUE(Is_Bad_Font(Span(U("Terminal"))));
  EXPECT_TRUE(Is_Bad_Font(Span(U("FixedSys"))));
  EXPECT_TRUE(Is_Bad_Font(Span(U("Sydnie"))));
  EXPECT_TRUE(Is_Bad_Font(Span(U("System"))));
  EXPECT_FALSE(Is_Bad_Font(Span(U("Systemic"))));
  EXPECT_FALSE(Is_Bad_Font(Span(U("Terminal Dosis"))));

  // Order: class first, then UTF-16 code units ("B" before "a", a prefix first).
  for (a_language lang : {ENGLISH, JAPANESE}) {
    os_language = lang;
    std::vector<a_family_item> list = {Item("Wingdings", SYMBOL_CHARSET), Item("abc", ANSI_CHARSET),
                                       Item("MS Gothic", SHIFTJIS_CHARSET), Item("Abc", ANSI_CHARSET),
                                       Item("Ab", ANSI_CHARSET), Item("B", ANSI_CHARSET),
                                       Item("Symbol", SYMBOL_CHARSET), Item("\xC9t\xE9", ANSI_CHARSET)};
    for (a_family_item& e : list) Classify_Font_Item(e);
    Sort_Font_List(list.data(), uint32(list.size()));
    std::vector<std::u16string> got;
    for (const a_family_item& e : list) got.emplace_back(e.fontname);
    std::vector<std::u16string> want = {u"Ab", u"Abc", u"B", u"abc", u"\u00C9t\u00E9",
                                        u"MS Gothic", u"Symbol", u"Wingdings"};
    if (lang == JAPANESE) {
      want.erase(want.begin() + 5);
      want.insert(want.begin(), u"MS Gothic");
    }
    EXPECT_EQ(got, want) << lang;
  }
}

TEST_F(SysFontTest, NoFontAtAllIsAStartUpError) {
  PinnedFonts::Use(g_pin.empty_conf);
  Fonts_Stop();
  EXPECT_EQ(Host_Font_Family_Count(), 0);
  EXPECT_THROW(Fonts_Init(), ResErrCalled);
  EXPECT_EQ(g_fontlist, nullptr);
  EXPECT_EQ(n_fontlist, 0u);
  // Records made meanwhile still give a font object; nothing reads a list.
  a_fontspec spec;
  Null_FontSpec(spec);
  HFONT f = Create_Font_Hdl(spec);
  ASSERT_NE(f, nullptr);
  DeleteObject(f);
  EXPECT_EQ(Name_Of(1), u"");
  PinnedFonts::Use(g_pin.conf);
  Fonts_Init();
  EXPECT_EQ(n_fontlist, 7u);
}

TEST_F(SysFontTest, FontRecordToHostFont) {
  a_fontspec spec;
  Null_FontSpec(spec);
  EXPECT_EQ(spec.fontID, 1u);
  EXPECT_EQ(spec.size, 12);
  EXPECT_EQ(spec.hscale, 1.0f);
  EXPECT_EQ(spec.effects, 0);
  spec.fontID = 2;  // DejaVu Sans
  spec.size = 20;
  spec.angle = 900;
  spec.effects = Effect_Bit(EFFECT_BOLD) | Effect_Bit(EFFECT_ITALIC);
  HFONT f = Create_Font_Hdl(spec);
  ASSERT_NE(f, nullptr);
  HostLogFont lf;
  ASSERT_TRUE(Host_GetLogFont(f, &lf));
  EXPECT_EQ(lf.lfHeight, -20);
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(std::u16string(lf.lfFaceName), u"DejaVu Sans");
  HostFontFaceInfo info;
  ASSERT_TRUE(Host_Font_Describe(f, &info));
  EXPECT_EQ(std::filesystem::path(info.file).filename(), "DejaVuSans-BoldOblique.ttf");
  DeleteObject(f);

  // A stale index takes font 1 instead of reading outside the list; the
  // smallest size does not overflow.
  for (uint32 id : {0u, 8u, 0xFFFFFFFFu}) {
    spec.fontID = id;
    spec.size = INT32_MIN;
    f = Create_Font_Hdl(spec);
    ASSERT_NE(f, nullptr) << id;
    ASSERT_TRUE(Host_GetLogFont(f, &lf));
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"DejaVu Math TeX Gyre") << id;
    EXPECT_EQ(lf.lfHeight, INT32_MAX);
    DeleteObject(f);
  }
}

TEST_F(SysFontTest, SetFontInTheCurrentPort) {
  a_fontspec spec;
  Null_FontSpec(spec);
  EXPECT_THROW(SetFont(spec), QuitCalled) << "no port";

  World(32);
  spec.fontID = 2;
  spec.size = 20;
  SetFont(spec);
  HGDIOBJ first = theShadow->cur_font_hdl;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetCurrentObject(theHDC, OBJ_FONT), first);
  EXPECT_EQ(theShadow->text_familyx, 2u);
  spec.fontID = 5;
  SetFont(spec);
  EXPECT_NE(theShadow->cur_font_hdl, first);
  EXPECT_EQ(GetCurrentObject(theHDC, OBJ_FONT), theShadow->cur_font_hdl);
  EXPECT_EQ(theShadow->text_familyx, 5u);

  a_font_info fi;
  Get_Font_Info(fi);
  HostTextMetric tm;
  ASSERT_TRUE(GetTextMetricsW(theHDC, &tm));
  EXPECT_EQ(fi.ascent, tm.tmAscent);
  EXPECT_EQ(fi.descent, tm.tmDescent);
  EXPECT_GT(fi.ascent, fi.descent);

  // Glyph availability leaves the tested font selected.
  EXPECT_TRUE(Is_Glyph_Avail(2, u'A'));
  EXPECT_EQ(theShadow->text_familyx, 2u);
  EXPECT_EQ(GetCurrentObject(theHDC, OBJ_FONT), theShadow->cur_font_hdl);
  EXPECT_TRUE(Is_Glyph_Avail(2, 0x20AC));
  EXPECT_FALSE(Is_Glyph_Avail(2, 0x4E00));
  EXPECT_FALSE(Is_Glyph_Avail(1, 0xD800));
  Flush_Shadow(theShadow);
  EXPECT_EQ(theShadow->cur_font_hdl, nullptr);
}

TEST_F(SysFontTest, DrawUnicodeTextFollowsTheTextMode) {
  GWorldPtr w = World(32);
  a_fontspec spec;
  Null_FontSpec(spec);
  spec.fontID = 2;
  spec.size = 24;
  const char16_t text[] = u"Label";
  const uint32 white = 0xFFFFFFFF;
  RGBBackColor(RGBColor{0xFFFF, 0, 0});
  SetTextAlign(theHDC, TA_BASELINE | TA_LEFT | TA_UPDATECP);
  SetBkMode(theHDC, OPAQUE);

  theShadow->text_mode = 1;  // transparent
  Draw_Unicode_Text(spec, 10, 60, reinterpret_cast<const UniChar*>(text), 5);
  const int64 ink = Count_Not(w, white);
  EXPECT_GT(ink, 50);
  EXPECT_EQ(GetBkMode(theHDC), OPAQUE) << "restored";
  // Text drawn at the current position moved it by the text's width.
  SIZE sz;
  GetTextExtentPoint32W(theHDC, reinterpret_cast<const UniChar*>(text), 5, &sz);
  POINT cp;
  GetCurrentPositionEx(theHDC, &cp);
  EXPECT_EQ(cp.x, 10 + sz.cx);
  EXPECT_EQ(cp.y, 60);
  int64 red = 0;
  for (int32 y = 0; y < 120; ++y)
    for (int32 x = 0; x < 300; ++x) red += (Px32(w, x, y) & 0xFFFFFF) == 0xFF0000;
  EXPECT_EQ(red, 0);

  PatBlt(theHDC, 0, 0, 300, 120, WHITENESS);
  SetBkMode(theHDC, TRANSPARENT);
  theShadow->text_mode = 0;  // opaque: the cell in the background colour
  Draw_Unicode_Text(spec, 10, 60, reinterpret_cast<const UniChar*>(text), 5);
  HostTextMetric tm;
  GetTextMetricsW(theHDC, &tm);
  EXPECT_EQ(Count_Not(w, white), int64(sz.cx) * tm.tmHeight);
  EXPECT_EQ(GetBkMode(theHDC), TRANSPARENT);

  // Nothing to draw: the font is still set and the pen moved.
  Draw_Unicode_Text(spec, 5, 7, nullptr, 3);
  GetCurrentPositionEx(theHDC, &cp);
  EXPECT_EQ(cp.x, 5);
  EXPECT_EQ(cp.y, 7);
}

TEST(SysFontNames, WideningAndComparing) {
  uStr255 u;
  Ascii7_To_Unicode(CStrSpan("Caf\xE9"), UStrSpan(u));
  EXPECT_EQ(std::u16string(u), u"Caf\u00E9");
  UniChar small[4];
  Ascii7_To_Unicode(CStrSpan("Arial"), UStrSpan(small));
  EXPECT_EQ(std::u16string(small), u"Ari");
  const char unterminated[3] = {'a', 'b', 'c'};
  Ascii7_To_Unicode(CStrSpan(unterminated, 3), UStrSpan(u));
  EXPECT_EQ(std::u16string(u), u"abc");

  EXPECT_TRUE(UEqual(CStrSpan("Arial"), Span(U("Arial"))));
  EXPECT_FALSE(UEqual(CStrSpan("Arial"), Span(U("Arial Black"))));
  EXPECT_FALSE(UEqual(CStrSpan("Arial Black"), Span(U("Arial"))));
  EXPECT_FALSE(UEqual(CStrSpan("arial"), Span(U("Arial"))));
  EXPECT_TRUE(UEqual(CStrSpan("Caf\xE9"), Span(u"Caf\u00E9")));
  EXPECT_TRUE(UEqual(CStrSpan(""), Span(u"")));
}

TEST(Script, Calls) {
  KeyScript(-1);
  EXPECT_EQ(FontToScript(3), 0);
  EXPECT_EQ(GetScriptManagerVariable(2), 0);
  char buf[4] = "abc";
  EXPECT_THROW(CharacterType(buf, 1, 0), QuitCalled);
}
