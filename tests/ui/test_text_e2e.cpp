// Texts on a disc label made through the real program on the headless
// backend, by a script: a new CD document from the layout chooser, then in
// the text phase a straight title with a drop shadow, a circular track list
// with a glow, an outlined spiral and spokes, each typed as a line for
// the text tool and styled with the text sliders. A snapshot after each step
// goes to <build>/e2e/text/ for a person to look at; the test checks that
// each step changed the label and that the glow's colour shows.
//
// The text layouts and sliders are sent as the command numbers the dispatch
// takes until the panels offer them; each text is opened with the panel's
// new-text button, typed into its editor and confirmed with keypad Enter.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "LabelSessionSupport.h"
#include "TestSupport.h"
#include "host/HostScript.h"
#include "host/HostCodecs.h"
#include "objects/VoskText.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"
#include "ui/TempConfigHome.h"
#include "ui/VoskBrow.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"
#include "ui/VoskStat.h"

namespace {

namespace fs = std::filesystem;

using labelsession::Menu;

std::string Repeat(int n, const std::string& line) {
  std::string s;
  for (int i = 0; i < n; ++i) s += line;
  return s;
}

// The glow's colour: the glow bar's default, the palette's light blue.
int Count_Bluish(const std::vector<uint32>& px) {
  int n = 0;
  for (uint32 p : px) {
    const int b = int(p & 0xFF), r = int((p >> 16) & 0xFF);
    if (b > r + 40 && b > 100) ++n;
  }
  return n;
}

class TextEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
    if (!fs::exists(VELMOR_ART_LIBRARY)) GTEST_SKIP() << "the picture library is not built";
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    ASSERT_FALSE(home_.dir.empty());
    dir_ = home_.dir;
    Resources_Init();
    ASSERT_TRUE(Prefs_File_Path(prefs_));
    fs::create_directories(fs::path(prefs_).parent_path());
  }
  void TearDown() override { Fonts_Stop(); }

  // The preferences the run starts from: the CD layout used last.
  void Write_Prefs() {
    a_pref_rec rec;
    ASSERT_TRUE(labelsession::CD_Prefs(rec));
    labelsession::Write_Prefs(prefs_, rec);
  }

  int Run(const std::string& script_text, std::string& err) {
    return labelsession::Run(dir_, script_text, 1024, 768, err);
  }

  TempConfigHome home_{"config"};
  std::string dir_, prefs_;
};

TEST_F(TextEndToEnd, TitleTrackListSpiralAndSpokesOnADisc) {
  Write_Prefs();
  const std::string project = dir_ + "/cd.CD4";
  ASSERT_TRUE(labelsession::Write_CD_Project(project));
  const std::string exe = VELMOR4_EXE;
  const std::string shots = exe.substr(0, exe.find_last_of('/')) + "/e2e/text";
  fs::create_directories(shots);
  const char* names[] = {"1-cd-document", "2-title-shadow", "3-track-list-circle-glow", "4-spiral-outline",
                         "5-spokes"};
  std::vector<std::string> shot;
  for (const char* n : names) {
    shot.push_back(shots + "/" + n + ".png");
    fs::remove(shot.back());
  }
  const auto snapshot = [&](int k) { return "wait 5\nsnapshot " + shot[size_t(k)] + "\n"; };
  const std::string none = Menu(MENU_EDIT + EDIT_SELECT_NONE);
  // A new text, typed and confirmed: the editor takes the typed keys over
  // some ticks, each drawn.
  auto text = [](const std::string& line) {
    return Menu(PANEL_ONESHOT + TEXT_NEW_BUTTON) + "wait 5\ntype " + line + "\nwait " +
           std::to_string(2 * line.size() + 20) + "\nkey KeypadEnter\nwait 5\n";
  };
  auto slider = [](int16 s, int n) {
    return Repeat(std::abs(n), Menu((n > 0 ? PANEL_SLIDER_UP : PANEL_SLIDER_DOWN) + s));
  };

  std::ostringstream s;
  s << "wait 30\n"
    << labelsession::Open_Project(project) << snapshot(0)
    // The title: typed, made larger, with a drop shadow.
    << Menu(PANEL_PHASE + TEXT_PHASE) << text("Summer Road Trip") << slider(TEXT_SIZE_SLIDER, 16)
    << slider(TEXT_SHAD_DX_SLIDER, 4) << slider(TEXT_SHAD_DY_SLIDER, 4) << snapshot(1)
    // The track list round the disc's edge, smaller again, glowing.
    << none << slider(TEXT_SIZE_SLIDER, -18) << Menu(PANEL_TEXT_LAYOUT + LAYOUT_CIRC_CW)
    << text("1 Open Road \xC2\xB7 2 Coastline \xC2\xB7 3 Night Drive \xC2\xB7 4 Desert Sun \xC2\xB7 5 Home Again")
    << slider(TEXT_GLOW_RADIUS_SLIDER, 2) << snapshot(2)
    // A spiral inside it, outlined (the effects switched on before stay on).
    << none << slider(TEXT_RADIUS_SLIDER, -25) << Menu(PANEL_TEXT_LAYOUT + LAYOUT_SPIRAL_CW)
    << text("round and round the songs go, on and on until the hole")
    << slider(TEXT_OUTL_RADIUS_SLIDER, 2) << snapshot(3)
    // Spokes.
    << none << Menu(PANEL_TEXT_LAYOUT + LAYOUT_SPOKE) << text("north east south west")
    << snapshot(4) << "quit\n";

  std::string err;
  const int rc = Run(s.str(), err);
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
  for (size_t k = 1; k < shot.size(); ++k) EXPECT_TRUE(px[k] != px[k - 1]) << names[k] << " shows no change";
  // The glow appears with the track list.
  EXPECT_GT(Count_Bluish(px[2]), Count_Bluish(px[1]) + 200);
}

}  // namespace
