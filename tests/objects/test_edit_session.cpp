// The editor in the real program on the headless backend, by a script: a
// new text from the panel's button typed on a CD label and confirmed, then,
// opened again by a double click, edited in place: typed
// at its end (a character beyond Latin-1 included), broken into a second
// line, a word selected by keys, copied and pasted back, while the caret
// blinks. Each step must change the label; nothing may raise an alert.
// Then the same program on a display of its own (Xvfb, the sdl backend):
// text another program copied (xclip) is pasted as a text, copied again,
// and read back by that program while the script waits.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "host/HostScript.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/VoskPref.h"
#include "ui/LabelSessionSupport.h"
#include "ui/TempConfigHome.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"

namespace {

namespace fs = std::filesystem;
using labelsession::Menu;

class EditSession : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    if (!fs::exists(VELMOR_ART_LIBRARY)) GTEST_SKIP() << "the picture library is not built";
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    ASSERT_FALSE(home_.dir.empty());
    Resources_Init();
    std::string prefs;
    ASSERT_TRUE(Prefs_File_Path(prefs));
    fs::create_directories(fs::path(prefs).parent_path());
    a_pref_rec rec;
    ASSERT_TRUE(labelsession::CD_Prefs(rec));
    labelsession::Write_Prefs(prefs, rec);
  }
  void TearDown() override { Fonts_Stop(); }

  TempConfigHome home_{"config"};
};

int Differing(const std::vector<uint32>& a, const std::vector<uint32>& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

}  // namespace

TEST_F(EditSession, TypeBreakSelectCopyAndPasteInPlace) {
  const std::string dir = home_.dir;
  const std::string project = dir + "/cd.CD4";
  ASSERT_TRUE(labelsession::Write_CD_Project(project));
  std::vector<std::string> shot;
  for (const char* n : {"1-line", "2-typed", "3-pasted"}) shot.push_back(dir + "/" + n + ".png");
  const auto snapshot = [&](int k) { return "wait 5\nsnapshot " + shot[size_t(k)] + "\n"; };

  std::ostringstream s;
  s << "wait 30\n"
    << labelsession::Open_Project(project) << Menu(PANEL_PHASE + TEXT_PHASE)
    << Menu(PANEL_ONESHOT + TEXT_NEW_BUTTON) << "type Velmor\nkey KeypadEnter\n"
    << snapshot(0) << "wait 60\nclick 686 149\nclick 686 149\nwait 5\nkey End\n"
    << "type  \xC3\x9Cn\xC3\xAF" "code\n"
    << "key Return\ntype second\nwait 80\n" << snapshot(1)
    << "key Ctrl+Shift+Left\n" << Menu(MENU_EDIT + EDIT_COPY) << "key End\n" << Menu(MENU_EDIT + EDIT_PASTE)
    << "wait 80\n" << snapshot(2) << "key Escape\nwait 5\nquit\n";
  std::string err;
  const int rc = labelsession::Run(dir, s.str(), 1024, 768, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  EXPECT_EQ(err.find("script line"), std::string::npos) << err;

  std::vector<std::vector<uint32>> px(shot.size());
  for (size_t k = 0; k < shot.size(); ++k) {
    int32 w = 0, h = 0;
    std::string why;
    ASSERT_TRUE(Host_Read_PNG(shot[k], px[k], w, h, why)) << shot[k] << ": " << why;
  }
  EXPECT_GT(Differing(px[0], px[1]), 200) << "typing in place changed the label";
  EXPECT_GT(Differing(px[1], px[2]), 200) << "the pasted word shows";
}

TEST_F(EditSession, TextRoundTripsWithAnotherProgramOnADisplay) {
  REQUIRE_TOOL("xvfb-run");
  REQUIRE_TOOL("xclip");
  const std::string dir = home_.dir;
  const std::string project = dir + "/cd.CD4";
  ASSERT_TRUE(labelsession::Write_CD_Project(project));
  const std::string copied = dir + "/copied.png", script = dir + "/script.txt";
  {
    std::ofstream out(script);
    out << "wait 30\n"
        << labelsession::Open_Project(project) << Menu(PANEL_PHASE + TEXT_PHASE) << Menu(MENU_EDIT + EDIT_PASTE)
        << "wait 10\n" << Menu(MENU_EDIT + EDIT_COPY) << "snapshot " << copied << "\nwait 600\nquit\n";
  }
  // xclip copies and stays to serve its text; the program pastes it, copies
  // it back and waits while xclip reads it.
  // Its lines end in CR LF; ours go back ending in LF alone.
  const std::string in = "eins\r\nzwei \xD0\x96\xD0\xB6";
  std::ofstream(dir + "/in.txt", std::ios::binary) << in;
  const std::string run = dir + "/run.sh";
  {
    std::ofstream sh(run);
    const auto q = labelsession::Quoted;
    sh << "xclip -selection clipboard -i -t UTF8_STRING " << q(dir + "/in.txt") << "\n"
       << "HOME=" << q(dir) << " XDG_CONFIG_HOME=" << q(dir + "/config") << " XDG_RUNTIME_DIR=" << q(dir)
       << " VELMOR_BACKEND=sdl VELMOR_SCRIPT=" << q(script) << " " << q(VELMOR4_EXE) << " 2>" << q(dir + "/stderr.txt")
       << " &\np=$!\n"
       << "i=0; while [ ! -s " << q(copied) << " ] && [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done\n"
       << "sleep 0.5\n"
       << "timeout 20 xclip -selection clipboard -o -t UTF8_STRING > " << q(dir + "/out.txt") << "\n"
       << "timeout 20 xclip -selection clipboard -o -t TARGETS > " << q(dir + "/targets.txt") << "\n"
       << "wait $p\n";
  }
  const std::string cmd = "xvfb-run -a -s '-screen 0 1280x1024x24' sh '" + run + "'";
  const int rc = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(rc)) << cmd;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << cmd;
  std::ifstream err_in(dir + "/stderr.txt");
  const std::string err((std::istreambuf_iterator<char>(err_in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  std::ifstream out_in(dir + "/out.txt", std::ios::binary);
  const std::string out((std::istreambuf_iterator<char>(out_in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(out, "eins\nzwei \xD0\x96\xD0\xB6") << "both lines and every character came back";
  std::ifstream targets_in(dir + "/targets.txt");
  const std::string targets((std::istreambuf_iterator<char>(targets_in)), std::istreambuf_iterator<char>());
  EXPECT_NE(targets.find("application/x-velmor4-text-object"), std::string::npos) << "the program's copy: " << targets;
}
