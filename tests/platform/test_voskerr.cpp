#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "platform/LangUtil.h"
#include "platform/ResTestUtil.h"
#include "platform/Resources.h"
#include "platform/VoskErr.h"

using restest::Archive;
using restest::StrList;
using restest::TempFile;

namespace {

class VoskErrTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Resources_Init();
    saved_language_ = gs.pref.language_offset;
    gs.pref.language_offset = ENGLISH;
    Param_Text("", "", "", "");
  }
  void TearDown() override {
    gs.pref.language_offset = saved_language_;
    Param_Text("", "", "", "");
    Resources_Init();
  }
  int16 saved_language_ = 0;
};

std::string Subst(const char* text) {
  Str255 s;
  std::strncpy(s, text, sizeof s - 1);
  s[255] = 0;
  Do_Param_Text(s);
  return s;
}

}  // namespace

TEST_F(VoskErrTest, ParamTextTable) {
  Param_Text("disc.CD4", "B", "C", "D^0");
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"(^0)", "(disc.CD4)"},
      {"^0^1^2^3", "disc.CD4BCD^0"},  // a parameter's own "^0" is not replaced again
      {"^9 stays", "^9 stays"},
      {"end^", "end^"},
      {"^^1", "^B"},
      {"^4^", "^4^"},
      {"no marks", "no marks"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Subst(c.in), c.out) << c.in;
}

TEST_F(VoskErrTest, ParamTextCutsLongResults) {
  std::string big(255, 'p');
  Param_Text(std::span<const char>(big.c_str(), big.size() + 1), "", "", "");
  EXPECT_EQ(std::strlen(gparam_strings[0]), 255u);
  EXPECT_EQ(Subst("ab^0^0").size(), 255u);
  // A small array keeps its NUL.
  char small[6] = "^0^0";
  Do_Param_Text(small);
  EXPECT_STREQ(small, "ppppp");
  // A multibyte character is never cut in half.
  std::string wide;
  for (int k = 0; k < 127; ++k) wide += "\xC3\xA9";  // 254 bytes of "é"
  Param_Text(std::span<const char>(wide.c_str(), wide.size() + 1), "", "", "");
  const std::string r = Subst("x^0");
  EXPECT_EQ(r.size(), 255u);  // "x" and 127 characters
  const std::string r2 = Subst("xy^0");
  EXPECT_EQ(r2.size(), 254u);  // the 128th character does not fit whole
  EXPECT_NE(uint8(r2.back()), 0xC3);
}

TEST_F(VoskErrTest, AlertTextWithFileName) {
  Param_Text("Velmor4.ART4", "", "", "");
  Str255 s;
  Get_Translated_String(s, STRLIST_ALERT, 44);
  EXPECT_EQ(std::string(s).rfind("The art file (Velmor4.ART4) was not found", 0), 0u) << s;
}

TEST_F(VoskErrTest, MissingTranslationFallsBackToEnglish) {
  TempFile german(Archive({{FourCC("STR#"), 400 + GERMAN,
                            StrList({"", "", "", "", "", "", "", "", "", "Datei ^0 kaputt", "",
                                     ""})}}));
  ASSERT_EQ(HOpenResFile(0, 0, german.path.c_str(), 0), 1);
  Param_Text("a.CD4", "", "", "");
  gs.pref.language_offset = GERMAN;
  Str255 s;
  Get_Translated_String(s, STRLIST_ALERT, 10);
  EXPECT_STREQ(s, "Datei a.CD4 kaputt");
  // Blank in the German list, and past its end: English.
  Get_Translated_String(s, STRLIST_ALERT, 11);
  EXPECT_STREQ(s, "Sorry, you must select a printer  before doing this.");
  Get_Translated_String(s, STRLIST_ALERT, 13);
  EXPECT_STREQ(s, "Sorry, could not open the preferences file.  Check your file permissions.");
  // Only the low byte of the setting is the language: 0x0100 is English.
  gs.pref.language_offset = 0x0100;
  Get_Translated_String(s, STRLIST_ALERT, 10);
  EXPECT_STREQ(s, "Sorry, could not read the file.");
  // A language without lists, and an item no list has.
  gs.pref.language_offset = KOREAN;
  Get_DLOG_String(s, 8);
  EXPECT_STREQ(s, "OK");
  Get_Translated_String(s, STRLIST_ALERT, 3);
  EXPECT_STREQ(s, "");
}

TEST_F(VoskErrTest, TranslatedUString) {
  TempFile lib(Archive({{FourCC("STR#"), 200, StrList({"Gr\xC3\xB6\xC3\x9F" "e \xF0\x9F\x92\xBF"})}}));
  ASSERT_EQ(HOpenResFile(0, 0, lib.path.c_str(), 0), 1);
  uStr255 u;
  Get_DLOG_UString(u, 1);
  const std::u16string want = u"Gr\u00F6\u00DFe \U0001F4BF";
  EXPECT_EQ(std::u16string(u), want);
  UseResFile(0);
  Get_DLOG_UString(u, 48);
  EXPECT_EQ(std::u16string(u), u"Untitled");
}

TEST_F(VoskErrTest, ProgramNameSubstitutions) {
  Str255 name;
  GetIndString(name, STRLIST_PROGRAM, PROG_LONG_NAME);
  ASSERT_STRNE(name, "");
  struct Case {
    const char* in;
    std::string out;
    bool changed;
  } cases[] = {
      {"About @P...", "About " + std::string(name) + "...", true},
      {"about @p", "about " + std::string(name), true},
      {"trailing @", "trailing @", false},
      {"@X and @@", "@X and @@", false},
      {"plain", "plain", false},
  };
  for (const Case& c : cases) {
    Str255 s;
    std::strcpy(s, c.in);
    EXPECT_EQ(Do_Substitutions(s), c.changed) << c.in;
    EXPECT_EQ(std::string(s), c.out) << c.in;
  }
}

TEST_F(VoskErrTest, MissingResourceMessage) {
  MissingResource_Params(FourCC("MBAR"), -128);
  Str255 s;
  Get_Translated_String(s, STRLIST_ALERT, 6);
  EXPECT_STREQ(s,
               "Sorry, your program file is missing a piece of data, and cannot continue.\r\n"
               "[MBAR  -128]");
  MissingKey_Params(FourCC("PIXT"), a_keyset{12, 1000, -1, 0});
  EXPECT_STREQ(gparam_strings[0], "PIXT");
  EXPECT_STREQ(gparam_strings[1], "12.1000.-1.0");
}

namespace {
int g_item_reports = 0;
void Count_Item_Res(OSType, int16) { ++g_item_reports; }
void Count_Item_Key(OSType, a_keyset) { ++g_item_reports; }
}  // namespace

// A missing item is fatal while the program starts and only reported once
// it runs, so that a user action meeting it cannot end the program.
TEST(MissingItemRule, FatalAtStartUpReportedWhileRunning) {
  g_item_reports = 0;
  g_item_res_proc = Count_Item_Res;
  g_item_key_proc = Count_Item_Key;
  SysErr_Set_Running(false);
  EXPECT_THROW(Report_Missing_Resource(FourCC("CURS"), 300), ResErrCalled);
  EXPECT_THROW(Report_Missing_Key(FourCC("PIXT"), a_keyset{12, 5, 0, 0}), KeyErrCalled);
  EXPECT_EQ(g_item_reports, 0);

  SysErr_Set_Running(true);
  EXPECT_NO_THROW(Report_Missing_Resource(FourCC("CURS"), 300));
  EXPECT_NO_THROW(Report_Missing_Key(FourCC("PIXT"), a_keyset{12, 5, 0, 0}));
  EXPECT_EQ(g_item_reports, 2);
  SysErr_Set_Running(false);
}
