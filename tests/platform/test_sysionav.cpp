// The file and folder dialogs of the platform layer, answered by scripts on
// the headless backend: the open dialog's results (one file, several, more
// than asked for, cancel), the save dialog's format choice and suffixes,
// replacing a file, the folder browser, long paths; and the filter lists
// and suffix rules.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostBackend.h"
#include "host/HostFiles.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "platform/Resources.h"
#include "platform/SysIONav.h"

namespace fs = std::filesystem;

namespace {

std::string Str(const char* s) { return std::string(s, strnlen(s, PATH_CAPACITY)); }

// The NUL-separated filter list as readable text ("|" for each NUL).
std::string Shown(const std::string& list) {
  std::string s = list;
  for (char& c : s)
    if (c == 0) c = '|';
  return s;
}

a_type_suffix Pair(const char* type, const char* suffix) {
  a_type_suffix p{};
  std::memcpy(p.type, type, 4);
  std::strncpy(p.suffix, suffix, sizeof p.suffix);
  return p;
}

TEST(SysIONavSuffix, MatchesSuffix) {
  EXPECT_TRUE(Matches_Suffix("photo.bmp", ".BMP"));
  EXPECT_FALSE(Matches_Suffix(".BMP", ".BMP"));  // the name must be longer
  EXPECT_FALSE(Matches_Suffix("photo.bmpx", ".BMP"));
}

TEST(SysIONavSuffix, ForceSuffixTable) {
  struct Case {
    const char* in;
    a_file_format f;
    const char* out;
  };
  const Case cases[] = {
      {"photo", FMT_JPEG, "photo.JPG"},          {"photo.jpeg", FMT_JPEG, "photo.jpeg"},
      {"photo.JFIF", FMT_JPEG, "photo.JFIF"},    {"photo.tif", FMT_JPEG, "photo.JPG"},
      {"pic.pict", FMT_PICT, "pic.pict"},        {"pic.bmp", FMT_PICT, "pic.PCT"},
      {"disc", FMT_DISC, "disc.CD4"},            {"notes.txt", FMT_TEXT, "notes.txt"},
      {"/a.b/scan", FMT_TIFF, "/a.b/scan.TIF"},  {"/x/scan.TIFF", FMT_TIFF, "/x/scan.TIFF"},
      {"layers", FMT_PSD, "layers.PSD"},         {"img.jpg", FMT_BMP, "img.BMP"},
  };
  for (const Case& c : cases) {
    char name[256] = {};
    std::strncpy(name, c.in, sizeof name - 1);
    ForceSuffixF(name, c.f);
    EXPECT_STREQ(name, c.out) << c.in << " as format " << int(c.f);
  }
  for (a_file_format f : {FMT_BMP2, FMT_ILBM, FMT_GIF_INT, FMT_GIF}) {
    char name[256] = "x";
    EXPECT_THROW(ForceSuffixF(name, f), QuitCalled) << int(f);
  }
}

class SysIONavFilters : public ::testing::Test {
 protected:
  void SetUp() override { Resources_Init(); }
  void TearDown() override { Resources_Init(); }
};

TEST_F(SysIONavFilters, OpenFilterFromPairs) {
  std::string f;
  const a_type_suffix tracks[] = {Pair("TEXT", ".EXPORT"), Pair("TEXT", ".XML"), Pair("TEXT", ".TXT")};
  SuffixList_To_Filter(f, tracks);
  EXPECT_EQ(Shown(f), "EXPORT, XML, TXT|*.EXPORT;*.XML;*.TXT||");

  const a_type_suffix import[] = {Pair("DISC", ".CDL"), Pair("JCAR", ".CDL"), Pair("TRAY", ".CDL"),
                                  Pair("DISC", ".CD4")};
  SuffixList_To_Filter(f, import);
  EXPECT_EQ(Shown(f), "CDL, CD4|*.CDL;*.CD4||");

  const a_type_suffix any[] = {Pair("TEXT", ".WPL"), Pair("????", "?")};
  SuffixList_To_Filter(f, any);
  EXPECT_EQ(Shown(f), "WPL, All files|*.WPL;*.*||");

  // ".TIFF" after ".TIF" shares four characters but is a suffix of its own.
  const a_type_suffix tiffs[] = {Pair("TIFF", ".TIF"), Pair("TIFF", ".TIFF")};
  SuffixList_To_Filter(f, tiffs);
  EXPECT_EQ(Shown(f), "TIF, TIFF|*.TIF;*.TIFF||");

  // A suffix filling all ten bytes without its NUL is read no further.
  a_type_suffix full = Pair("TEXT", "");
  std::memcpy(full.suffix, ".ABCDEFGHI", 10);
  SuffixList_To_Filter(f, std::span<const a_type_suffix>(&full, 1));
  EXPECT_EQ(Shown(f), "ABCDEFGHI|*.ABCDEFGHI||");

  std::vector<a_type_suffix> many(12, Pair("JPEG", ".JPG"));
  SuffixList_To_Filter(f, many);
  EXPECT_EQ(Shown(f),
            "BMP, GIF, JPG, PCT, PNG...|*.BMP;*.RLE;*.GIF;*.JPG;*.JPEG;*.PIC;*.PCT;*.PNG;*.TGA;*.TIF;*.TIFF;*.LBM;*.PSD||");
}

TEST_F(SysIONavFilters, SaveFilterFromFormats) {
  std::string f;
  Calc_Filter_List(f, Format_Bit(FMT_JPEG) | Format_Bit(FMT_TIFF));
  EXPECT_EQ(Shown(f), "JPEG|*.JPEG,*.JPG,*.JPE,*.JFIF|TIFF|*.TIFF,*.TIF||");
  Calc_Filter_List(f, Format_Bit(FMT_DISC));
  EXPECT_EQ(Shown(f), "Velmor|*.CD4||");
}

TEST(SysIONavExtract, WalksANulSeparatedList) {
  const std::string list("one\0two\0\0", 9);
  std::string_view ptr(list);
  std::string s;
  ASSERT_TRUE(Extract(s, ptr));
  EXPECT_EQ(s, "one");
  ASSERT_TRUE(Extract(s, ptr));
  EXPECT_EQ(s, "two");
  ASSERT_TRUE(Extract(s, ptr));
  EXPECT_EQ(s, "");
  EXPECT_FALSE(Extract(s, ptr));
}

// --- Dialogs answered by scripts ---

class SysIONavDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    Resources_Init();
    SysIONav_Init();
    Host_Win_Reset();
    Host_Script_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Script_Set_Quit_At_End(false);
    std::string tmpl = Host_Temp_Dir() + "/ionav_XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    ASSERT_NE(mkdtemp(buf.data()), nullptr);
    root = buf.data();
    for (const char* f : {"a.cd4", "b.cd4", "c.cd4", "d.cd4"}) std::ofstream(P(f)) << "x";
  }
  void TearDown() override {
    Host_Script_Set_Quit_At_End(true);
    Host_Win_Reset();
    Host_Backend_Stop();
    Host_Script_Reset();
    Resources_Init();
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  std::string P(const std::string& rel) const { return root + "/" + rel; }
  int16 Open(int16 maxn, std::vector<FSSpec>& out) {
    const a_type_suffix types[] = {Pair("DISC", ".CD4")};
    out.assign(size_t(maxn), FSSpec{});
    for (FSSpec& f : out) std::strcpy(f.name, "stale");
    return Ask_Get_Path(false, "Open", FourCC("????"), types, 0, nullptr, nullptr, nullptr, nullptr, maxn, out.data());
  }
  std::string root;
};

TEST_F(SysIONavDialogs, OpenDialogResults) {
  std::vector<FSSpec> paths;
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, P("a.cd4"));
  ASSERT_EQ(Open(1, paths), 1);
  EXPECT_EQ(Str(paths[0].name), P("a.cd4"));
  EXPECT_EQ(paths[0].vRefNum, 0);
  EXPECT_EQ(paths[0].parID, 0);

  // Four chosen, three asked for: three records.
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, P("a.cd4") + "|" + P("b.cd4") + "|" + P("c.cd4") + "|" + P("d.cd4"));
  ASSERT_EQ(Open(3, paths), 3);
  EXPECT_EQ(Str(paths[2].name), P("c.cd4"));

  // One chosen where three were allowed: the one complete path, the rest cleared.
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, P("b.cd4"));
  ASSERT_EQ(Open(3, paths), 1);
  EXPECT_EQ(Str(paths[0].name), P("b.cd4"));
  EXPECT_EQ(Str(paths[1].name), "");

  // Cancelled: 0 and every record cleared.
  ASSERT_EQ(Open(2, paths), 0);
  EXPECT_EQ(Str(paths[0].name), "");
  EXPECT_EQ(Str(paths[1].name), "");
}

TEST_F(SysIONavDialogs, OpenDialogTakesPathsPastTwoHundredFiftyFiveBytes) {
  std::string dir = root;
  for (int i = 0; i < 4; ++i) dir += "/" + std::string(70, char('k' + i));
  fs::create_directories(dir);
  const std::string deep = dir + "/long.cd4";
  std::ofstream(deep) << "x";
  ASSERT_GT(deep.size(), 255u);
  std::vector<FSSpec> paths;
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, deep);
  ASSERT_EQ(Open(1, paths), 1);
  EXPECT_EQ(Str(paths[0].name), deep);
  // A path the record cannot hold is refused, never cut.
  Host_Script_Push_Answer(HOST_ANSWER_OPEN, "/" + std::string(PATH_CAPACITY + 10, 'z'));
  EXPECT_EQ(Open(1, paths), 0);
}

a_put_customize Custom(a_file_format start, a_file_format_set set) {
  a_put_customize c{};
  c.format = start;
  c.formats_enabled = set;
  return c;
}

TEST_F(SysIONavDialogs, SaveDialogFormatDecidesTheSuffix) {
  const a_file_format_set jt = Format_Bit(FMT_JPEG) | Format_Bit(FMT_TIFF);
  FSSpec path{};
  struct Case {
    const char* answer;
    a_file_format format;
    const char* name;
  };
  const Case cases[] = {
      {"out", FMT_TIFF, "out.TIF"},            // the starting format, its suffix added
      {"out.jpeg", FMT_JPEG, "out.jpeg"},      // the answer's suffix picks JPEG and stays
      {"out.JPE", FMT_JPEG, "out.JPE"},
      {"out.png", FMT_TIFF, "out.TIF"},        // no filter matches: TIFF, suffix replaced
      {"scan.tiff", FMT_TIFF, "scan.tiff"},
  };
  for (const Case& c : cases) {
    a_put_customize custom = Custom(FMT_TIFF, jt);
    Host_Script_Push_Answer(HOST_ANSWER_SAVE, P(c.answer));
    ASSERT_TRUE(Ask_Put_Path("Export", "card", 0, custom, path)) << c.answer;
    EXPECT_EQ(custom.format, c.format) << c.answer;
    EXPECT_EQ(Str(path.name), P(c.name)) << c.answer;
  }
  // Cancelled: FALSE, the proposed name with the starting format's suffix kept.
  a_put_customize custom = Custom(FMT_TIFF, jt);
  EXPECT_FALSE(Ask_Put_Path("Export", "card", 0, custom, path));
  EXPECT_EQ(Str(path.name), "card.TIF");
  EXPECT_EQ(custom.format, FMT_TIFF);
  // A starting format without suffix rules is an internal error.
  custom = Custom(FMT_GIF, Format_Bit(FMT_GIF));
  EXPECT_THROW(Ask_Put_Path("Export", "card", 0, custom, path), QuitCalled);
}

TEST_F(SysIONavDialogs, SaveAsksBeforeReplacingTheFileThatWillBeWritten) {
  std::ofstream(P("doc.CD4")) << "precious";
  FSSpec path{};
  // "doc" becomes "doc.CD4", which exists: the unanswered question keeps it.
  a_put_customize custom = Custom(FMT_DISC, Format_Bit(FMT_DISC));
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, P("doc"));
  EXPECT_FALSE(Ask_Put_Path("Save as", "doc", 0, custom, path));
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, P("doc"));
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  ASSERT_TRUE(Ask_Put_Path("Save as", "doc", 0, custom, path));
  EXPECT_EQ(Str(path.name), P("doc.CD4"));
}

TEST_F(SysIONavDialogs, FolderBrowser) {
  FSSpec path{};
  Host_Script_Push_Answer(HOST_ANSWER_FOLDER, root);
  ASSERT_TRUE(Ask_Put_Folder("Choose a destination folder...", path));
  EXPECT_EQ(Str(path.name), root);
  std::strcpy(path.name, "stale");
  EXPECT_FALSE(Ask_Put_Folder("Choose a destination folder...", path));
  EXPECT_EQ(Str(path.name), "");
}

}  // namespace
