#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "TestSupport.h"
#include "host/HostLocale.h"
#include "platform/LangUtil.h"
#include "platform/ResTestUtil.h"
#include "platform/Resources.h"
#include "platform/SysInfo.h"
#include "platform/SysMS.h"

using restest::Archive;
using restest::StrList;
using restest::TempFile;

TEST(SysMS, ConversionsClampTo16Bits) {
  struct Case {
    int32 x, y;
    int16 h, v;
  } cases[] = {{0, 0, 0, 0},          {40000, 5, 32000, 5},     {-40000, -32001, -32000, -32000},
               {32000, -32000, 32000, -32000}, {31999, 32001, 31999, 32000}};
  for (const Case& c : cases) {
    Point pt;
    ToPoint(pt, POINT{c.x, c.y});
    EXPECT_EQ(pt.h, c.h) << c.x;
    EXPECT_EQ(pt.v, c.v) << c.y;
  }
  POINT P;
  ToPOINT(P, Point{-7, 12});
  EXPECT_EQ(P.x, 12);
  EXPECT_EQ(P.y, -7);

  Rect r;
  ToRect(r, RECT{-50000, 10, 70000, 20});
  EXPECT_EQ(r, (Rect{10, -32000, 20, 32000}));
  RECT R;
  ToRECT(R, Rect{1, 2, 3, 4});
  EXPECT_EQ(R.left, 2);
  EXPECT_EQ(R.top, 1);
  EXPECT_EQ(R.right, 4);
  EXPECT_EQ(R.bottom, 3);

  EXPECT_EQ(SwapXY(0x00030005u), (Point{3, 5}));
  EXPECT_EQ(SwapXY(0xFFFEFFFFu), (Point{-2, -1}));  // negative positions stay negative
}

TEST(SysInfo, VersionText) {
  struct Case {
    uint16 major, minor;
    const char* text;
  } cases[] = {{4, 24, "4.24"}, {10, 5, "10.05"}, {4, 0, "4.00"}, {0, 99, "0.99"}};
  for (const Case& c : cases) {
    Str255 s;
    Format_Version(c.major, c.minor, s);
    EXPECT_STREQ(s, c.text);
  }
  Resources_Init();
  Str255 s;
  info_prog_version(s);
  EXPECT_STREQ(s, "4.00");
  // A version block too short to hold the version word reads as missing.
  TempFile lib(Archive({{RT_VERSION, 1, {4, 0}}}));
  ASSERT_EQ(HOpenResFile(0, 0, lib.path.c_str(), 0), 1);
  info_prog_version(s);
  EXPECT_STREQ(s, "???");
  Resources_Init();
}

TEST(SysInfo, WorkAreaLessThePanel) {
  struct Case {
    const char* where;
    Rect panel;
    Rect avail;
  } cases[] = {
      {"bottom", {984, 0, 1024, 1280}, {0, 0, 984, 1280}},
      {"top", {0, 0, 30, 1280}, {30, 0, 1024, 1280}},
      {"left", {0, 0, 1024, 48}, {0, 48, 1024, 1280}},
      {"right", {0, 1230, 1024, 1280}, {0, 0, 1024, 1230}},
  };
  for (const Case& c : cases) {
    Info_Set_Screen(1280, 1024, true, c.panel);
    Rect b, a;
    Calc_Video_Bounds(true, b, a);
    EXPECT_EQ(b, (Rect{0, 0, 1024, 1280})) << c.where;
    EXPECT_EQ(a, c.avail) << c.where;
    Calc_Video_Bounds(false, b, a);
    EXPECT_EQ(a, b) << c.where;
  }
  Info_Set_Screen(1280, 1024, false, Rect{});
  Init_Info();
  EXPECT_TRUE(info_has_quicktime);
  EXPECT_GE(info_quicktime_version >> 24, 7u);
  EXPECT_TRUE(info_show_taskbar);
  EXPECT_FALSE(info_is_cmdline);
  EXPECT_EQ(info_sbarheight, 19);
  EXPECT_EQ(info_doubleclick, 30);
  EXPECT_EQ(info_videoavail, info_videobounds);
}

TEST(LangUtil, WindowsLanguageTable) {
  struct Case {
    uint16 langid;
    a_language lang;
  } cases[] = {
      {0x09, ENGLISH},      {0x07, GERMAN},    {0x0407, GERMAN},  {0x0C07, GERMAN},
      {0x06, DANISH},       {0x08, GREEK},     {0x0A, SPANISH},   {0x0B, FINNISH},
      {0x0C, FRENCH},       {0x10, ITALIAN},   {0x11, JAPANESE},  {0x13, DUTCH},
      {0x14, NORWEGIAN},    {0x15, POLSKI},    {0x16, PORTUGUESE}, {0x1D, SWEDISH},
      {0x1F, TURKISH},      {0x05, ENGLISH},   {0x0E, ENGLISH},   {0x04, ENGLISH},
      {0x12, ENGLISH},      {0x00, ENGLISH},   {0x19, ENGLISH},
  };
  for (const Case& c : cases) EXPECT_EQ(Lang_From_LangID(c.langid), c.lang) << c.langid;
}

TEST(LangUtil, LocaleNames) {
  struct Case {
    const char* name;
    uint16 primary;
  } cases[] = {{"de_DE.UTF-8", 0x07}, {"C", 0x09},     {"POSIX", 0x09}, {"", 0x09},
               {"C.UTF-8", 0x09},     {"pt_BR", 0x16}, {"nb_NO", 0x14}, {"sv", 0x1D},
               {"zh_TW.Big5", 0x04},  {"FR_fr", 0x0C}, {"el_GR@euro", 0x08}, {"xx_YY", 0x00}};
  for (const Case& c : cases) EXPECT_EQ(host::Locale_Primary_Language(c.name), c.primary) << c.name;
}

TEST(LangUtil, LocaleVariablePrecedence) {
  struct Saved {
    const char* name;
    std::string value;
    bool set;
  } saved[] = {{"LC_ALL", "", false}, {"LC_MESSAGES", "", false}, {"LANG", "", false}};
  for (Saved& s : saved) {
    const char* v = std::getenv(s.name);
    s.set = v != nullptr;
    if (v) s.value = v;
  }
  setenv("LC_ALL", "", 1);  // set but empty: skipped
  setenv("LC_MESSAGES", "fr_FR.UTF-8", 1);
  setenv("LANG", "de_DE.UTF-8", 1);
  EXPECT_EQ(Lang_From_LangID(host::Host_UserDefaultLangID()), FRENCH);
  setenv("LC_ALL", "it_IT", 1);
  EXPECT_EQ(Lang_From_LangID(host::Host_UserDefaultLangID()), ITALIAN);
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  EXPECT_EQ(Lang_From_LangID(host::Host_UserDefaultLangID()), GERMAN);
  unsetenv("LANG");
  EXPECT_EQ(Lang_From_LangID(host::Host_UserDefaultLangID()), ENGLISH);
  for (const Saved& s : saved) {
    if (s.set) setenv(s.name, s.value.c_str(), 1);
    else unsetenv(s.name);
  }
}

TEST(LangUtil, AvailableLanguagesFollowTheListsPresent) {
  Resources_Init();
  EXPECT_EQ(Lang_Calc_App_Capability(), Lang_Bit(ENGLISH));
  // German (in the program's languages) and Czech (not among them) lists.
  TempFile lib(Archive({{FourCC("STR#"), LANG_PROBE_LIST + CZECH, StrList({"x"})},
                        {FourCC("STR#"), LANG_PROBE_LIST + GERMAN, StrList({"x"})}}));
  ASSERT_EQ(HOpenResFile(0, 0, lib.path.c_str(), 0), 1);
  EXPECT_EQ(Lang_Calc_App_Capability(), Lang_Bit(ENGLISH) | Lang_Bit(GERMAN));
  Resources_Init();
}

TEST(LangUtil, LanguageCodes) {
  struct Case {
    int16 lang;
    const char* code;
  } cases[] = {{ENGLISH, "en"},       {CZECH, "cs"},         {GERMAN, "de"},
               {NORWEGIAN, "no"},     {TRAD_CHINESE, "zh-CHT"}, {SIMP_CHINESE, "zh-CHS"},
               {GREEK, "el"},         {KOREAN, "ko"},        {20, "en"},   {-1, "en"}};
  for (const Case& c : cases) {
    Str255 s = "Velmor_Help_";
    Append_Language_2(s, c.lang);
    EXPECT_EQ(std::string(s), std::string("Velmor_Help_") + c.code) << c.lang;
  }
  char tiny[5] = "abc";
  Append_Language_2(tiny, TRAD_CHINESE);
  EXPECT_STREQ(tiny, "abcz");
}

TEST(SysMS, QuitEndsTheProcessWithItsMessage) {
  EXPECT_EXIT(Quit("fatal: stop here"), ::testing::ExitedWithCode(1), "fatal: stop here");
}
