// The real main window on a display: under Xvfb the program opens its
// window with the sdl backend and what the X server shows is not blank.
// Skipped where xvfb-run is not installed.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostScript.h"

namespace fs = std::filesystem;

namespace {

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

}  // namespace
