// The real program driven by scripts: sessions that once stopped it with an
// internal error (reduced from random sessions and from what users did), and
// random sessions of fixed seeds. Each must end normally, with no internal
// error, fatal alert or sanitizer report.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "LabelSessionSupport.h"
#include "ProgramShotSupport.h"
#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFile.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskPhot.h"
#include "platform/SysIO.h"
#include "session/SessionRun.h"
#include "ui/VoskIntI.h"

namespace {

using session::Menu_Command;

std::string Oneshot(int button) { return Menu_Command(session::Panel_Oneshot(button)); }

class Sessions : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = (std::filesystem::temp_directory_path() / ("velmor-sessions-" + std::to_string(::getpid()))).string();
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ + "/config");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  // Runs the script in the session folder; the run must end well.
  session::Outcome Expect_Clean(const std::string& what, const std::string& script) {
    const session::Outcome o = session::Run(dir_, at_, script, 600);
    EXPECT_FALSE(o.failed) << what << ": " << o.why << "\n" << o.err;
    EXPECT_EQ(o.status, 0) << what << "\n" << o.err;
    return o;
  }
  std::string dir_;
  const session::Places at_{session::Program(VELMOR4_EXE), VELMOR_SOURCE_DIR};
};

// Commands a script or a person can give that once ended in an internal
// error: each is refused or done, and the program goes on to a normal end.
TEST_F(Sessions, CommandsThatOnceStoppedTheProgramAreRefusedOrDone) {
  const struct {
    const char* what;
    std::string script;
    const char* said;  // what standard error must hold ("" nothing)
  } cases[] = {
      {"the colour wheel's reset with no document", "wait 5\n" + Oneshot(COLORIZE_RESET_BUTTON) + "quit\n", ""},
      // The layout designer is a dialog: menu lines meanwhile are refused
      // as clicks on the disabled window are, never a dialog over four.
      {"dialogs opened over dialogs by a script",
       "wait 5\n" + Menu_Command(606) + Menu_Command(606) + Menu_Command(606) + Menu_Command(606) +
           Menu_Command(606) + Menu_Command(606) + "key Escape\nquit\n",
       "menu 606 refused: a dialog is open"},
      // A layout other than the first, then a second and a third project
      // from the layout chooser.
      {"a second and a third project in one run",
       "wait 5\n" + Oneshot(PROJ_PICKLAYOUT_BUTTON) + "key Down\nkey Down\n" + Oneshot(PAPER_OK_BUTTON) +
           "answer alert 3\n" + Menu_Command(301) + Oneshot(PROJ_PICKLAYOUT_BUTTON) + "key Down\n" +
           Oneshot(PAPER_OK_BUTTON) + "answer alert 3\n" + Menu_Command(303) + Oneshot(PROJ_PICKLAYOUT_BUTTON) +
           "key Down\nkey Down\nkey Down\n" + Oneshot(PAPER_OK_BUTTON) + "snapshot " + dir_ + "/third.png\nquit\n",
       ""},
  };
  for (const auto& c : cases) {
    const session::Outcome o = Expect_Clean(c.what, c.script);
    if (c.said[0] != 0) EXPECT_NE(o.err.find(c.said), std::string::npos) << c.what << "\n" << o.err;
  }
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/third.png"));
}

// Projects whose pictures once stopped the program: the FlexStick disc
// layout (its copy counter), pasted pictures stored 1, 8 and 16 bits deep,
// and a photo claiming a part far beyond its picture. Each opens, shows its
// photos and prints.
class ProjectSessions : public programshot::PanelTree {
 protected:
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run("sessions");
  }
  void TearDown() override {
    std::filesystem::remove_all(dir_);
    programshot::PanelTree::TearDown();
  }
  // A new document of the named layout.
  bool New_Of(const char* layout) {
    const uint32 tx = Find_Template(CStrSpan(layout, std::strlen(layout)));
    return tx != 0 && Proj_PickLayout2(tx) && g_doc.doc_open;
  }
  // A picture of w x h pixels at depth, pasted as a photo: red, with a white
  // left half where it has colours.
  static void Paste_Picture(int16 depth, int16 w, int16 h, const Rect& subset) {
    a_masked_gworld mw;
    Null_MW(mw);
    mw.bounds = Rect{0, 0, h, w};
    ASSERT_EQ(New_GWorld(mw.bounds, depth, depth == 8 ? gray_ctable : nullptr, mw.fore), noErr);
    // With its coverage mask, as a pasted picture with transparency has.
    ASSERT_EQ(New_GWorld(mw.bounds, 8, gray_ctable, mw.mask), noErr);
    for (int y = 0; y < h; ++y)
      std::memset(mw.mask->pix.baseAddr + size_t(y) * PixMap_RowBytes(mw.mask->pix), y < h / 2 ? 255 : 128, size_t(w));
    const PixMap& pm = mw.fore->pix;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint8* row = reinterpret_cast<uint8*>(pm.baseAddr) + size_t(y) * PixMap_RowBytes(pm);
        switch (depth) {
          case 1: if (x >= w / 2) row[x / 8] |= uint8(0x80 >> (x % 8)); break;
          case 8: row[x] = x < w / 2 ? 255 : 60; break;
          case 16: reinterpret_cast<uint16*>(row)[x] = x < w / 2 ? 0x7FFF : 0x7C00; break;
          default: reinterpret_cast<uint32*>(row)[x] = x < w / 2 ? 0xFFFFFFFFu : 0xFFFF0000u; break;
        }
      }
    // Placed as a pasted picture is, then given the picture at its depth
    // (a paste itself keeps 32 bits; a file may hold any depth).
    a_masked_gworld placed;
    Null_MW(placed);
    placed.bounds = mw.bounds;
    ASSERT_EQ(New_GWorld(placed.bounds, 32, nullptr, placed.fore), noErr);
    Photo_Paste(placed, SOURCE_CLIPBOARD);
    a_ph_rec* ph = Last_Photo();
    ASSERT_NE(ph, nullptr);
    a_source_desc src{};
    src.kind = SOURCE_CLIPBOARD;
    ASSERT_TRUE(Cache_Insert_External(src, mw, nullptr));
    ph->spec.source = src;
    if (!EmptyRect(subset)) ph->spec.subset = subset;
  }
  // The last photo of the document's units.
  static a_ph_rec* Last_Photo() {
    a_ph_rec* found = nullptr;
    for (uint32 ux = 1; ux <= g_doc.doc_template.nunits; ++ux) {
      a_doc_unit* u = Doc_Unit(ux);
      if (u == nullptr) continue;
      for (int32 i = 0; i < u->oj.nlist; ++i)
        if (u->oj.list[i].kind == PHOTO_BLOCK && u->oj.list[i].ph != nullptr) found = u->oj.list[i].ph;
    }
    return found;
  }
  std::string Write(const std::string& name) {
    const std::string path = dir_ + "/" + name;
    FSSpec spec{};
    EXPECT_TRUE(Path_From_Text(spec, path.c_str()) && Doc_Write(FMT_DISC, spec)) << name;
    doctests::Close_Document();
    return path;
  }
  void Expect_Opens_Shows_And_Prints(const std::string& what, const std::string& path) {
    const std::string shot = shots_ + "/" + what + ".png";
    const std::string script = "wait 5\nanswer open " + path + "\n" + Menu_Command(302) + "wait 5\nsnapshot " +
                               shots_ + "/" + what + "-opened.png\n" +
                               Menu_Command(session::Panel_Phase(PHOTO_PHASE)) + "wait 5\nsnapshot " + shot +
                               "\nanswer alert 1\nanswer alert 1\n" + Menu_Command(309) + "wait 5\nquit\n";
    const session::Outcome o = session::Run(dir_ + "/run", at_, script, 600);
    EXPECT_FALSE(o.failed) << what << ": " << o.why << "\n" << o.err;
    EXPECT_EQ(o.status, 0) << what << "\n" << o.err;
    EXPECT_EQ(o.err.find("alert 10:"), std::string::npos) << what << ": not read\n" << o.err;
    EXPECT_TRUE(std::filesystem::exists(shot)) << what;
  }
  const session::Places at_{session::Program(VELMOR4_EXE), VELMOR_SOURCE_DIR};
};

TEST_F(ProjectSessions, FlexStickLayoutAndStoredPicturesOfEveryDepthOpenShowAndPrint) {
  std::filesystem::create_directories(dir_ + "/run/config");
  std::filesystem::create_directories(dir_ + "/run/saved");
  ASSERT_TRUE(New_Of("Amtren FlexStick"));
  const std::string flex = Write("flexstick.CD4");
  Expect_Opens_Shows_And_Prints("flexstick", flex);
  for (const int16 depth : {1, 8, 16, 32}) {
    SCOPED_TRACE(depth);
    ASSERT_TRUE(New_Of(labelsession::kCdLayout));
    Paste_Picture(depth, 40, 30, Rect{0, 0, 0, 0});
    const std::string name = "clip" + std::to_string(depth);
    Expect_Opens_Shows_And_Prints(name, Write(name + ".CD4"));
  }
}

// A photo claiming a 32767 x 32767 part of a 16 x 16 picture: the reader
// keeps the part within the picture, so nothing is made at the claimed size.
TEST_F(ProjectSessions, APhotoPartBeyondItsPictureIsCutToThePictureAtRead) {
  std::filesystem::create_directories(dir_ + "/run/config");
  std::filesystem::create_directories(dir_ + "/run/saved");
  ASSERT_TRUE(New_Of(labelsession::kCdLayout));
  Paste_Picture(32, 16, 16, Rect{0, 0, 32767, 32767});
  const std::string path = Write("subset.CD4");
  FSSpec spec{};
  ASSERT_TRUE(Path_From_Text(spec, path.c_str()));
  ASSERT_TRUE(Read_DISC(spec, false));
  const a_ph_rec* photo = Last_Photo();
  ASSERT_NE(photo, nullptr);
  EXPECT_TRUE(photo->spec.subset == (Rect{0, 0, 16, 16}))
      << photo->spec.subset.bottom << " x " << photo->spec.subset.right;
  doctests::Close_Document();
  Expect_Opens_Shows_And_Prints("subset", path);
}

// A few random sessions of fixed seeds (scripts/fuzz-sessions.sh runs many
// more, longer).
TEST_F(Sessions, RandomSessionsOfFixedSeedsEndWell) {
  for (const uint64_t seed : {1u, 2u, 3u, 4u}) {
    const std::string dir = dir_ + "/seed-" + std::to_string(seed);
    const session::Setting s = session::Prepare(dir, at_, seed);
    ASSERT_GT(s.opens.size(), 4u);
    ASSERT_GT(s.menus.size(), 5u);
    const std::string script = session::Generate(seed, 150, s);
    EXPECT_EQ(script, session::Generate(seed, 150, s)) << "the same seed gives the same session";
    const session::Outcome o = session::Run(dir, at_, script, 600);
    EXPECT_FALSE(o.failed) << "seed " << seed << ": " << o.why << "\n" << o.err.substr(0, 4000);
  }
}

}  // namespace
