// The start screen's lists in the real program: two projects opened and
// closed, two documents made on catalogue layouts (the layout chooser's
// sheet preview on the way); the new-projects tab then shows the recent
// layouts and the recent-projects tab the two projects, each with its
// picture. Snapshots under the build folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ProgramShotSupport.h"
#include "TestSupport.h"
#include "host/HostScript.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"

namespace {

namespace fs = std::filesystem;

// Pixels of the picture inside r (x from left to right, y from top to
// bottom) that are near white.
int White_In(const std::vector<uint32>& px, int32 w, int left, int top, int right, int bottom) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const uint32 c = programshot::Px(px, w, x, y);
      if ((c & 0xFF) > 240 && ((c >> 8) & 0xFF) > 240 && ((c >> 16) & 0xFF) > 240) ++n;
    }
  return n;
}

TEST(BrowserScreens, RecentLayoutsAndDocumentsOnTheStartScreen) {
  const std::string exe = VELMOR4_EXE;
  const std::string build = exe.substr(0, exe.find_last_of('/'));
  const std::string shots = build + "/e2e/browsers";
  fs::create_directories(shots);
  const fs::path dir = fs::temp_directory_path() / ("velmor-start-lists-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "config");
  fs::create_directories(dir / "docs");
  const std::string example = build + "/Templates/CD labels.CD4";
  ASSERT_TRUE(fs::exists(example));
  const std::string party = (dir / "docs/Party Mix.CD4").string(), trip = (dir / "docs/Road Trip.CD4").string();
  fs::copy_file(example, party);
  fs::copy_file(example, trip);
  const auto shot = [&](const std::string& name) {
    const std::string p = shots + "/" + name + ".png";
    fs::remove(p);
    return p;
  };
  const std::string empty = shot("start-empty"), paper = shot("paper-chooser"), layouts = shot("start-layouts"),
                    documents = shot("start-documents");
  const std::string close = "menu " + std::to_string(MENU_FILE + 3) + "\nwait 10\n";
  const std::string choose = "menu " + std::to_string(PANEL_ONESHOT + PROJ_PICKLAYOUT_BUTTON) + "\nwait 20\n";
  const std::string ok = "menu " + std::to_string(PANEL_ONESHOT + PAPER_OK_BUTTON) + "\nwait 20\n";
  std::string err;
  // A first run with nothing recent.
  int rc = programshot::Run(dir.string(), "wait 20\nsnapshot " + empty + "\nquit\n", "", 1280, 1024, err);
  ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << err;
  // Two projects, two layouts (the second three rows further down the list).
  const std::string script = "wait 30\n" + close + "answer open " + trip + "\nmenu " +
                             std::to_string(MENU_FILE + 2) + "\nwait 20\n" + close + choose + "snapshot " + paper +
                             "\n" + ok + close + "answer alert 3\n" + choose + "key Down\nkey Down\nkey Down\nwait 5\n" +
                             ok + close + "answer alert 3\nwait 10\nsnapshot " + layouts +
                             "\nclick 511 27\nwait 10\nmove 300 200\nwait 5\nsnapshot " + documents + "\nquit\n";
  rc = programshot::Run(dir.string(), script, party, 1280, 1024, err);
  ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << err;

  std::vector<uint32> e, p, l, d;
  int32 w = 0, h = 0;
  std::string why;
  ASSERT_TRUE(Host_Read_PNG(empty, e, w, h, why)) << why;
  ASSERT_TRUE(Host_Read_PNG(paper, p, w, h, why)) << why;
  ASSERT_TRUE(Host_Read_PNG(layouts, l, w, h, why)) << why;
  ASSERT_TRUE(Host_Read_PNG(documents, d, w, h, why)) << why;
  // One size for all four: the last one's is used for each.
  for (const std::vector<uint32>* picture : {&e, &p, &l, &d}) ASSERT_EQ(picture->size(), size_t(w) * size_t(h));
  // The lists' area: below the tabs, left of the button column.
  const int left = 10, top = 60, right = w - 240, bottom = h - 10;
  EXPECT_EQ(White_In(e, w, left, top, right, bottom), 0);
  // Two name bands (and the papers' edges) on the new-projects tab; two
  // white cards with the projects' pictures on the recent-projects tab.
  EXPECT_GT(White_In(l, w, left, top, right, bottom), 2 * 200);
  EXPECT_GT(White_In(d, w, left, top, right, bottom), 2 * 200 * 250);
  EXPECT_NE(l, d);
  // The layout chooser's sheet preview on the right half: the unit's light
  // blue over most of it.
  int unit = 0;
  for (int y = 0; y < h; ++y)
    for (int x = w / 2; x < w; ++x) unit += programshot::Px(p, w, x, y) == 0xDEE8F8;
  EXPECT_GT(unit, w * h / 4);
  fs::remove_all(dir);
}

}  // namespace
