// The real main window on a display: under Xvfb the program opens its
// window with the sdl backend and what the X server shows is not blank.
// Skipped where xvfb-run is not installed.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "LabelSessionSupport.h"
#include "ProgramShotSupport.h"
#include "TestSupport.h"
#include "host/HostScript.h"
#include "objects/VoskBlok.h"
#include "objects/VoskSym.h"
#include "ui/VoskConf.h"
#include "ui/VoskDisp.h"
#include "ui/VoskSlid.h"

namespace fs = std::filesystem;

namespace {

// A folder of the test's own under the temporary folder.
std::string Temp_Dir() {
  const char* base = std::getenv("TMPDIR");
  std::string t = std::string(base && *base ? base : "/tmp") + "/velmor-xvfb-XXXXXX";
  std::vector<char> buf(t.begin(), t.end());
  buf.push_back(0);
  return mkdtemp(buf.data()) != nullptr ? std::string(buf.data()) : std::string();
}

// The pixels of `part` that differ from `whole` with part's top-left corner
// at the place of `whole` (within 400 pixels of its top-left corner) where
// the fewest differ: 0 when whole shows part exactly somewhere there.
size_t Fewest_Differences(const std::vector<uint32>& whole, int32 ww, int32 wh, const std::vector<uint32>& part,
                          int32 pw, int32 ph) {
  size_t best = size_t(pw) * size_t(ph);
  auto differs = [&](int32 ox, int32 oy, int32 x, int32 y) {
    return ((whole[size_t(oy + y) * size_t(ww) + size_t(ox + x)] ^ part[size_t(y) * size_t(pw) + size_t(x)]) &
            0xFFFFFFu) != 0;
  };
  for (int32 oy = 0; oy <= std::min(400, wh - ph); ++oy)
    for (int32 ox = 0; ox <= std::min(400, ww - pw); ++ox) {
      // A sparse look first: plain areas match at many places for long.
      size_t sampled = 0;
      for (int32 y = 0; y < ph && sampled < 8; y += 23)
        for (int32 x = 0; x < pw && sampled < 8; x += 19) sampled += differs(ox, oy, x, y) ? 1 : 0;
      if (sampled >= 8) continue;
      size_t diff = 0;
      for (int32 y = 0; y < ph && diff < best; ++y)
        for (int32 x = 0; x < pw && diff < best; ++x)
          diff += (whole[size_t(oy + y) * size_t(ww) + size_t(ox + x)] ^ part[size_t(y) * size_t(pw) + size_t(x)]) &
                  0xFFFFFFu ? 1 : 0;
      best = std::min(best, diff);
    }
  return best;
}

size_t Colours(const std::string& png) {
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  std::string err;
  if (!Host_Read_PNG(png, px, w, h, err)) return 0;
  std::set<uint32> c;
  for (uint32 v : px) c.insert(v & 0xFFFFFF);
  return c.size();
}

TEST(XvfbWindow, MainWindowShowsOnTheDisplay) {
  REQUIRE_TOOL("xvfb-run");
  if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
  const char* base = std::getenv("TMPDIR");
  std::string t = std::string(base && *base ? base : "/tmp") + "/velmor-xvfb-XXXXXX";
  std::vector<char> buf(t.begin(), t.end());
  buf.push_back(0);
  ASSERT_NE(mkdtemp(buf.data()), nullptr);
  const std::string dir = buf.data();
  const std::string script = dir + "/s.txt";
  std::ofstream(script) << "wait 60\nsnapshot " << dir << "/window.png\nwait 120\n";
  // The program runs on the sdl backend; while it waits, the X server's
  // screen is captured and the window's icon read as the X server holds it
  // for the desktop (the program's icon 100, 32 x 32); then it is ended as a
  // desktop would end it.
  REQUIRE_TOOL("import");
  REQUIRE_TOOL("xprop");
  REQUIRE_TOOL("xwininfo");
  const std::string run = dir + "/run.sh";
  {
    std::ofstream sh(run);
    sh << "HOME='" << dir << "' XDG_CONFIG_HOME='" << dir << "/config' XDG_RUNTIME_DIR='" << dir
       << "' VELMOR_BACKEND=sdl VELMOR_SCRIPT='" << script << "' '" << VELMOR4_EXE << "' 2>'" << dir
       << "/stderr.txt' &\n"
       << "p=$!\nsleep 4\n";
    sh << "import -window root '" << dir << "/screen.png'\n";
    sh << "for w in $(xwininfo -root -children | sed -n 's/^ *\\(0x[0-9a-f]*\\) .*/\\1/p'); do"
         << " xprop -id $w _NET_WM_ICON 2>/dev/null | head -n 2; done > '" << dir << "/icon.txt'\n";
    sh << "kill -TERM $p\nwait $p\n";
  }
  const std::string cmd = "xvfb-run -a -s '-screen 0 1280x1024x24' sh '" + run + "'";
  const int rc = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(rc)) << cmd;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << cmd;
  EXPECT_GT(Colours(dir + "/window.png"), 2u) << "the window's pixels are blank";
  {
    EXPECT_GT(Colours(dir + "/screen.png"), 2u) << "the screen shows nothing";
  }
  {
    std::ifstream in(dir + "/icon.txt");
    const std::string icon((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(icon.find("Icon (32 x 32)"), std::string::npos) << "no window shows the program's icon: " << icon;
  }
  fs::remove_all(dir);
}

// The display shows only what changed, when it changed: after a session of
// actions (a project opened, the phases changed), once the program is at
// rest, what the X server holds for the window is exactly what the program
// drew, with nothing left over from an earlier screen.
TEST(XvfbWindow, TheScreenHoldsWhatTheProgramDrewAfterActions) {
  REQUIRE_TOOL("xvfb-run");
  REQUIRE_TOOL("import");
  if (!fs::exists(VELMOR4_EXE)) GTEST_SKIP() << "the program is not built";
  const std::string dir = Temp_Dir();
  ASSERT_FALSE(dir.empty());
  const std::string project = dir + "/disc.CD4";
  ASSERT_TRUE(labelsession::Write_CD_Project(project));
  const auto phase = [](a_phase p) { return labelsession::Menu(PANEL_PHASE + p) + "wait 20\n"; };
  std::ofstream(dir + "/s.txt") << "wait 30\n"
                                << labelsession::Open_Project(project) << "wait 60\n"
                                << phase(PAINT_PHASE)
                                << phase(CANVAS_PHASE) << phase(TEXT_PHASE) << phase(PREVIEW_PHASE)
                                << "snapshot " << dir << "/window.png\nwait 1200\n";
  {
    std::ofstream sh(dir + "/run.sh");
    sh << "HOME='" << dir << "' XDG_CONFIG_HOME='" << dir << "/config' XDG_RUNTIME_DIR='" << dir
       << "' VELMOR_BACKEND=sdl VELMOR_SCRIPT='" << dir << "/s.txt' '" << VELMOR4_EXE << "' 2>'" << dir
       << "/stderr.txt' &\n"
       << "p=$!\n"
       << "for i in $(seq 150); do [ -s '" << dir << "/window.png' ] && break; sleep 0.2; done\n"
       << "sleep 2\nimport -window root '" << dir << "/screen.png'\n"
       << "kill -TERM $p\nwait $p\n";
  }
  const std::string cmd = "xvfb-run -a -s '-screen 0 1280x1024x24' sh '" + dir + "/run.sh'";
  const int rc = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(rc)) << cmd;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << cmd;
  std::vector<uint32> window, screen;
  int32 ww = 0, wh = 0, sw = 0, sh = 0;
  std::string err;
  ASSERT_TRUE(Host_Read_PNG(dir + "/window.png", window, ww, wh, err)) << err;
  ASSERT_TRUE(Host_Read_PNG(dir + "/screen.png", screen, sw, sh, err)) << err;
  ASSERT_GT(Colours(dir + "/window.png"), 2u) << "the window's pixels are blank";
  ASSERT_LE(ww, sw);
  ASSERT_LE(wh, sh);
  EXPECT_EQ(Fewest_Differences(screen, sw, sh, window, ww, wh), 0u)
      << "the display does not show what the program drew (see " << dir << ")";
  if (!HasFailure()) fs::remove_all(dir);
}

// Sessions of the real program on the desktop backend under Xvfb, with no
// window manager: the click points come from the panels laid out in this
// process for the same window, the snapshots go to snapshots/xvfb.
class XvfbSession : public programshot::PanelTree {
 protected:
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
    Start_First_Run("xvfb");
    gs.controller = HUMAN;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    Config_All();
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir_);
    Bar_Stop();
    programshot::PanelTree::TearDown();
  }
  // The program on the sdl backend on a display of its own (1280 x 1024, no
  // window manager) running script and opening file: a normal end and no
  // alert. after: shell lines run once the first snapshot of the script
  // exists, while the program waits.
  void Run_Sdl(const std::string& script, const std::string& file, const std::string& after = "") {
    std::ofstream(dir_ + "/s.txt") << script;
    {
      std::ofstream sh(dir_ + "/run.sh");
      sh << "HOME='" << dir_ << "' XDG_CONFIG_HOME='" << dir_ << "/config' XDG_RUNTIME_DIR='" << dir_
         << "' VELMOR_OPEN_COMMAND=true VELMOR_BACKEND=sdl VELMOR_SCRIPT='" << dir_ << "/s.txt' '" << VELMOR4_EXE
         << "' '" << file << "' 2>'" << dir_ << "/err.txt' &\n"
         << "p=$!\n" << after << "wait $p\n";
    }
    const std::string cmd = "xvfb-run -a -s '-screen 0 1280x1024x24' sh '" + dir_ + "/run.sh'";
    const int rc = std::system(cmd.c_str());
    std::ifstream in(dir_ + "/err.txt");
    const std::string err((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(WIFEXITED(rc)) << cmd;
    EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
    EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  }
};

// A symbol made smaller by dragging its Size slider's thumb: once the drag
// ends, the view shows the symbol at its new size and nothing of its older
// sizes or their handles, as a view drawn afresh (after a zoom there and
// back) shows it.
TEST_F(XvfbSession, ASymbolShrunkByItsSliderLeavesNothingBehind) {
  Open_Disc();
  if (HasFatalFailure()) return;
  Step([] { SV_Set_Enum(SV_PHASE, SYMBOL_PHASE); });
  Step([] { ASSERT_TRUE(Symbol_Add(1)); });
  ASSERT_EQ(Selection_Count(), 1);
  Config_All();
  const Rect node = programshot::Node_Rect(g_sliders[SYMBOL_SIZE_SLIDER].nodex);
  ASSERT_FALSE(EmptyRect(node)) << "the symbol's Size slider is laid out";
  Rect thumb = Slider_Part_Box(SYMBOL_SIZE_SLIDER, PART_THUMB);
  OffsetRect(thumb, node.left, node.top);
  const Rect view = gs.views[0].bounds;
  ASSERT_FALSE(EmptyRect(view));
  const std::string project = dir_ + "/symbol.CD4";
  ASSERT_TRUE(Write_Project(project));
  const Point grab = programshot::Middle(thumb);
  std::string drag = "down " + programshot::At(grab) + "\n";
  for (int step = 1; step <= 8; ++step)
    drag += "wait 3\nmove " + std::to_string(grab.h - 12 * step) + " " + std::to_string(grab.v) + "\n";
  drag += "wait 3\nup " + std::to_string(grab.h - 96) + " " + std::to_string(grab.v) + "\n";
  Run_Sdl("wait 60\n" + Phase_Click(SYMBOL_PHASE) + "wait 10\n" + labelsession::Menu(MENU_EDIT + EDIT_SELECT_ALL) +
              "wait 10\n" + Shot_Line("1-symbol", 20) + drag + "wait 30\nmove " + std::to_string(view.left + 5) + " " +
              std::to_string(view.top + 5) + "\n" + Shot_Line("2-shrunk", 20) +
              labelsession::Menu(MENU_ZOOM + 5) + "wait 30\n" + labelsession::Menu(MENU_ZOOM + 4) + "wait 30\n" +
              Shot_Line("3-drawn-afresh", 20) + "quit\n",
          project);
  const programshot::Shot before = Read("1-symbol"), shrunk = Read("2-shrunk"), fresh = Read("3-drawn-afresh");
  if (HasFailure()) return;
  // The view above the zoom buttons, which lie over its corner.
  Rect label = view;
  const Rect zoom = programshot::Grid_Rect(ZOOM_GRID);
  if (!EmptyRect(zoom) && zoom.top > label.top && zoom.top < label.bottom) label.bottom = zoom.top;
  ASSERT_TRUE(shrunk.Differs(before, label)) << "the drag changed the symbol";
  // Drawn in pieces the small symbol's edge may fall a pixel otherwise;
  // an older size left behind is thousands of pixels.
  int differing = 0;
  for (int y = label.top; y < label.bottom; ++y)
    for (int x = label.left; x < label.right; ++x) differing += shrunk.At(x, y) != fresh.At(x, y) ? 1 : 0;
  EXPECT_LE(differing, 8) << "the view after the drag shows what a fresh drawing shows (see " << shots_ << ")";
}

}  // namespace
