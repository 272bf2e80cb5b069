// The interface state through the real program on the headless backend: a
// preferences file the program must mend (a language it has no strings for,
// a project age out of range, a font no longer installed, colours of the
// user's own), the tool panels of an open project hidden with "Hide
// Everything" and shown again with Escape, and the file the program writes
// at the end. Snapshots go to <build>/e2e/state/ for a person to look at.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "LabelSessionSupport.h"
#include "ui/VoskDisp.h"
#include "ui/TempConfigHome.h"
#include "TestSupport.h"
#include "host/HostScript.h"
#include "platform/LangUtil.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysUnicode.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"
#include "ui/VoskStat.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8> Read_Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// The environment the program runs with: its own home and folders, the
// headless backend, and of the test's environment only what the run needs
// (the pinned fonts, the sanitizers' settings, the temporary folder).
std::string Program_Command(const std::string& dir, const std::string& script) {
  std::string cmd = "env -i";
  for (const char* name : {"PATH", "TMPDIR", "FONTCONFIG_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
    if (const char* v = std::getenv(name)) cmd += std::string(" ") + name + "=" + Quoted(v);
  cmd += " HOME=" + Quoted(dir) + " XDG_CONFIG_HOME=" + Quoted(dir + "/config") + " XDG_RUNTIME_DIR=" +
         Quoted(dir) + " VELMOR_BACKEND=headless VELMOR_SCREEN=1024x768 VELMOR_SCRIPT=" + Quoted(script) + " " +
         Quoted(VELMOR4_EXE) + " >/dev/null 2>" + Quoted(dir + "/stderr.txt");
  return cmd;
}

class StateEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    ASSERT_FALSE(home_.dir.empty());
    dir_ = home_.dir;
    // Where the program will look for its preferences.
    Resources_Init();
    ASSERT_TRUE(Prefs_File_Path(prefs_));
    fs::create_directories(fs::path(prefs_).parent_path());
  }
  void TearDown() override { Fonts_Stop(); }
  TempConfigHome home_{"config"};
  std::string dir_, prefs_;
};

TEST_F(StateEndToEnd, MendedPreferencesAndHideEverything) {
  // "Hide Everything" acts over a document outside the print preview: a
  // fresh CD project to open, then its paint phase.
  const std::string project = dir_ + "/cd.CD4";
  ASSERT_TRUE(labelsession::Write_CD_Project(project));
  // The stored settings: German (the program has no German strings), a
  // project age of 3, a base font no installed font has, colours of our own.
  VoskDef_Init();
  VoskStat_Init();
  os_language = ENGLISH;
  Prefs_SetToDefault();
  a_pref_rec rec = gs.pref;
  rec.language_offset = GERMAN;
  rec.last_agex = 3;
  std::strcpy(rec.base_font, "Velmor Missing Sans");
  rec.base_fontx = 77;
  const a_pixel24 colours[NUSER_COLORS] = {{11, 22, 33},  {44, 55, 66},   {77, 88, 99},  {1, 2, 3},
                                           {250, 240, 230}, {128, 0, 255}, {0, 128, 64}};
  std::memcpy(rec.colors, colours, sizeof colours);
  {
    std::ofstream out(prefs_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&rec), sizeof rec);
  }
  ASSERT_EQ(fs::file_size(prefs_), 9400u);

  // The program's interface font under the same fonts.
  Fonts_Stop();
  Fonts_Init();
  uStr255 uname;
  FontX_To_Name(BASE_PROP_FONT, UStrSpan(uname));
  char base_name[256] = {};
  UTF16_To_UTF8(CUStrSpan(uname), StrSpan(base_name));
  ASSERT_NE(base_name[0], 0);

  const std::string exe = VELMOR4_EXE;
  const std::string shots = exe.substr(0, exe.find_last_of('/')) + "/e2e/state";
  fs::create_directories(shots);
  const std::string shown = shots + "/1-panels-shown.png";
  const std::string hidden = shots + "/2-hide-everything.png";
  const std::string again = shots + "/3-escape-shows-them.png";
  for (const std::string& p : {shown, hidden, again}) fs::remove(p);
  const std::string script = dir_ + "/script.txt";
  std::ofstream(script) << "wait 30\n" << labelsession::Open_Project(project)
                        << labelsession::Menu(PANEL_PHASE + PAINT_PHASE) << "wait 10\nsnapshot " << shown
                        << "\nkey Ctrl+E\nwait 10\nsnapshot " << hidden
                        << "\nkey Escape\nwait 10\nsnapshot " << again << "\nquit\n";

  const int rc = std::system(Program_Command(dir_, script).c_str());
  const std::vector<uint8> err = Read_Bytes(dir_ + "/stderr.txt");
  const std::string err_text(err.begin(), err.end());
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err_text;
  EXPECT_EQ(err_text.find("alert"), std::string::npos) << err_text;

  // The panels go with Ctrl+E and come back with Escape: the first and last
  // pictures are the same, the middle one differs.
  std::vector<uint32> a, b, c;
  int32 w[3] = {}, h[3] = {};
  std::string why;
  ASSERT_TRUE(Host_Read_PNG(shown, a, w[0], h[0], why)) << why;
  ASSERT_TRUE(Host_Read_PNG(hidden, b, w[1], h[1], why)) << why;
  ASSERT_TRUE(Host_Read_PNG(again, c, w[2], h[2], why)) << why;
  EXPECT_EQ(w[0], w[1]);
  EXPECT_EQ(h[0], h[2]);
  EXPECT_NE(a, b) << "Hide Everything changed nothing on screen";
  EXPECT_EQ(a, c) << "Escape did not bring the panels back as they were";

  // The file written at the end: the whole record, English, the age of the
  // grid (0), the interface font by name, the user's colours as they were.
  const std::vector<uint8> out = Read_Bytes(prefs_);
  ASSERT_EQ(out.size(), 9400u);
  a_pref_rec got{};
  std::memcpy(&got, out.data(), sizeof got);
  // (The record is packed: its fields are read by value.)
  EXPECT_EQ(int(got.version), 28);
  EXPECT_EQ(int(got.language_offset), int(ENGLISH));
  EXPECT_EQ(int(got.last_agex), 0);
  EXPECT_STREQ(got.base_font, base_name);
  EXPECT_EQ(std::memcmp(got.colors, colours, sizeof colours), 0);
}

}  // namespace
