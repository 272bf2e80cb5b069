// Texts stacked on a disc label, made through the real program on the
// headless backend: a circular title, then a spiral track list over it with
// a glow and an outline; saved, and opened again in a second session. Each
// text is drawn in its own place in the list with its own effects: on
// screen in both sessions and, read back, in the unit's printed picture,
// the title shows wherever the spiral leaves it uncovered. The snapshots go
// to <build>/e2e/text-stack/ for a person to look at.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "FontTestSupport.h"
#include "LabelSessionSupport.h"
#include "PrintSheetSupport.h"
#include "TestSupport.h"
#include "doc/VoskFile.h"
#include "doc/VoskRend.h"
#include "host/HostCodecs.h"
#include "objects/VoskBlok.h"
#include "objects/VoskText.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"
#include "ui/TempConfigHome.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"

namespace {

namespace fs = std::filesystem;

using labelsession::Menu;

std::string Repeat(int n, const std::string& line) {
  std::string s;
  for (int i = 0; i < n; ++i) s += line;
  return s;
}

class TextStack : public ::testing::Test {
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
    a_pref_rec rec;
    ASSERT_TRUE(labelsession::CD_Prefs(rec));
    labelsession::Write_Prefs(prefs_, rec);
  }
  void TearDown() override {
    doctests::Close_Document();
    if (library_) OP_Stop();
    Fonts_Stop();
  }
  bool library_ = false;
  int Run(const std::string& script_text, std::string& err) {
    return labelsession::Run(dir_, script_text, 1024, 768, err);
  }
  TempConfigHome home_{"config"};
  std::string dir_, prefs_;
};

uint32 Px(GWorldPtr w, int32 x, int32 y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<const uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p))[x - p.bounds.left] &
         0xFFFFFFu;
}

// The unit's printed picture with only the objects keep says stay visible.
GWorldPtr Rendered(a_doc_unit* u, const std::vector<bool>& keep) {
  std::vector<uint8> flags(size_t(u->oj.nlist));
  for (int32 i = 0; i < u->oj.nlist; ++i) {
    flags[size_t(i)] = u->oj.list[i].flags;
    if (!keep[size_t(i)]) u->oj.list[i].flags &= ~OJ_Flag_Bit(VISIBLE_FLAG);
  }
  GWorldPtr w = nullptr;
  Render_Unit_Print(1, u, u->paintbounds, w);
  for (int32 i = 0; i < u->oj.nlist; ++i) u->oj.list[i].flags = flags[size_t(i)];
  return w;
}

TEST_F(TextStack, TitleUnderAnOutlinedGlowingSpiralShows) {
  const std::string project = dir_ + "/cd.CD4", saved = dir_ + "/stack.CD4";
  ASSERT_TRUE(labelsession::Write_CD_Project(project));
  const std::string exe = VELMOR4_EXE;
  const std::string shots = exe.substr(0, exe.find_last_of('/')) + "/e2e/text-stack";
  fs::create_directories(shots);
  const std::string made = shots + "/1-made.png", reopened = shots + "/2-reopened.png";
  fs::remove(made);
  fs::remove(reopened);
  const std::string none = Menu(MENU_EDIT + EDIT_SELECT_NONE);
  auto slider = [](int16 s, int n) {
    return Repeat(std::abs(n), Menu((n > 0 ? PANEL_SLIDER_UP : PANEL_SLIDER_DOWN) + s));
  };
  std::ostringstream s;
  s << "wait 30\n"
    << labelsession::Open_Project(project) << Menu(PANEL_PHASE + TEXT_PHASE)
    // The title round the disc, large.
    << slider(TEXT_SIZE_SLIDER, 14) << Menu(PANEL_TEXT_LAYOUT + LAYOUT_CIRC_CW) << Menu(PANEL_ONESHOT + TEXT_NEW_BUTTON) + "wait 5\ntype SUMMER ROAD TRIP\nwait 52\nkey KeypadEnter\nwait 5\n"
    // The track list over it: a spiral, glowing and outlined.
    << none << slider(TEXT_SIZE_SLIDER, -16) << Menu(PANEL_TEXT_LAYOUT + LAYOUT_SPIRAL_CW)
    << Menu(PANEL_ONESHOT + TEXT_NEW_BUTTON) + "wait 5\ntype 1 Open Road 2 Coastline 3 Night Drive 4 Desert Sun 5 Home Again 6 Last Light\nwait 172\nkey KeypadEnter\nwait 5\n"
    << slider(TEXT_GLOW_RADIUS_SLIDER, 2) << slider(TEXT_OUTL_RADIUS_SLIDER, 2) << none << "wait 5\nsnapshot "
    << made << "\nanswer save " << saved << "\n"
    << Menu(MENU_FILE + 5) << "wait 10\nquit\n";
  std::string err;
  int rc = Run(s.str(), err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  ASSERT_EQ(WEXITSTATUS(rc), 0) << err;
  ASSERT_TRUE(fs::exists(saved)) << err;
  rc = Run("wait 30\n" + labelsession::Open_Project(saved) + "wait 5\nsnapshot " + reopened + "\nquit\n", err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  ASSERT_EQ(WEXITSTATUS(rc), 0) << err;

  // The saved project read here: which pixels each text makes alone, and
  // which the two make together.
  Fonts_Stop();
  Fonts_Init();
  doctests::Start_Document_Modules();
  ASSERT_TRUE(printsheet::Open_Art_Library(VELMOR_ART_LIBRARY));
  library_ = true;
  FSSpec spec{};
  ASSERT_TRUE(Path_From_Text(spec, saved.c_str()));
  Do_File_Open3(false, spec);
  ASSERT_TRUE(g_doc.doc_open);
  a_doc_unit* u = Doc_Unit(1);
  ASSERT_NE(u, nullptr);
  std::vector<int32> texts;
  for (int32 i = 0; i < u->oj.nlist; ++i)
    if (u->oj.list[i].kind == TEXT_BLOCK) texts.push_back(i);
  ASSERT_EQ(texts.size(), 2u);
  const int32 title = texts[0], spiral = texts[1];
  std::vector<bool> keep(size_t(u->oj.nlist), true);
  keep[size_t(title)] = keep[size_t(spiral)] = false;
  GWorldPtr bare = Rendered(u, keep);
  keep[size_t(title)] = true;
  GWorldPtr title_only = Rendered(u, keep);
  keep[size_t(title)] = false;
  keep[size_t(spiral)] = true;
  GWorldPtr spiral_only = Rendered(u, keep);
  keep[size_t(title)] = true;
  GWorldPtr both = Rendered(u, keep);
  ASSERT_TRUE(bare && title_only && spiral_only && both);
  int32 title_px = 0, shown = 0;
  const Rect& b = u->paintbounds;
  for (int32 y = b.top; y < b.bottom; ++y)
    for (int32 x = b.left; x < b.right; ++x) {
      if (Px(title_only, x, y) == Px(bare, x, y) || Px(spiral_only, x, y) != Px(bare, x, y)) continue;
      ++title_px;
      shown += Px(both, x, y) == Px(title_only, x, y);
    }
  EXPECT_GT(title_px, 2000);
  EXPECT_EQ(shown, title_px);
  for (GWorldPtr w : {bare, title_only, spiral_only, both}) Dispose_GWorld(w);
}

}  // namespace
