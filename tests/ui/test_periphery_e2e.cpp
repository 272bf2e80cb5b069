// One session of the real program on the headless backend through the
// commands around the label itself: a new disc document from the start
// screen, a track list and an older project imported onto its face, F1 and
// Help Contents, a layout typed into the designer and exported, the About
// box closed by a press, and the project saved. The desktop's open command
// is a stand-in that logs what it opens. A snapshot after each step goes to
// <build>/e2e/periphery/ for a person to look at; the saved project is read
// back to see what each import left on the disc face.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "DesignScriptSupport.h"
#include "DocTestSupport.h"
#include "LabelSessionSupport.h"
#include "OpenLogSupport.h"
#include "ProgramShotSupport.h"
#include "TempDirSupport.h"
#include "doc/ParsDISC.h"
#include "objects/VoskBlok.h"
#include "objects/VoskText.h"
#include "platform/SysIO.h"
#include "ui/VoskBrow.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"

namespace {

namespace fs = std::filesystem;
using labelsession::Menu;

class PeripherySession : public openlog::Session {
 protected:
  PeripherySession() : Session("velmor-periphery-e2e", "periphery") {}
  void TearDown() override {
    doctests::Close_Document();
    Session::TearDown();
  }
  // The script lines of a snapshot named name.
  std::string Snap(const std::string& name) {
    shots_taken_.push_back(Shot(name));
    return "wait 5\nsnapshot " + shots_taken_.back() + "\n";
  }
  // How many rows below the first the CD layout is in the layout chooser's
  // list of every layout (the program's working list, in order); -1 when
  // it is not there.
  static int Rows_To_The_CD_Layout() {
    doctests::Start_Document_Modules();
    const uint32 tx = Find_Template(CStrSpan(labelsession::kCdLayout, std::strlen(labelsession::kCdLayout)));
    Build_Template_List();
    for (uint32 k = 0; k < t.tlist_n; ++k)
      if (t.tlist[k] == tx) return int(k);
    return -1;
  }
  // The first unit of the project at path, read into this process: the
  // texts of its text objects (line breaks as "\n"), how many photos it
  // holds, and whether it has a painting. FALSE when it could not be read.
  struct Face {
    std::string layout;
    std::vector<std::u16string> texts;
    int photos = 0;
    bool painted = false;
  };
  static bool Read_Face(const std::string& path, Face& face) {
    doctests::Start_Document_Modules();
    FSSpec spec{};
    if (!Path_From_Text(spec, path.c_str()) || !Read_DISC(spec, false)) return false;
    face.layout = std::string(g_doc.doc_template.label, strnlen(g_doc.doc_template.label, sizeof g_doc.doc_template.label));
    Select_Doc_Unit(1);
    for (int32 omx = ENUM_START; Enum(true, false, TEXT_KINDS, omx);) {
      const a_om_rec* om = Obj_Item(omx)->om;
      std::u16string text;
      for (int32 i = 0; i < om->nxyl; ++i) {
        const UniChar c = om->xyl[i].cc_char;
        if (c == EOS_CHAR) break;
        text += c == 13 ? u'\n' : char16_t(c);
      }
      face.texts.push_back(text);
    }
    for (int32 i = 0; i < g_doc.up->oj.nlist; ++i) face.photos += g_doc.up->oj.list[i].kind == PHOTO_BLOCK;
    face.painted = g_doc.up->paintinuse;
    return true;
  }
  // The lines of text.
  static std::vector<std::u16string> Lines(const std::u16string& text) {
    std::vector<std::u16string> lines(1);
    for (const char16_t c : text)
      if (c == u'\n')
        lines.emplace_back();
      else
        lines.back() += c;
    return lines;
  }
  std::vector<std::string> shots_taken_;
};

TEST_F(PeripherySession, ImportsHelpDesignerAndAbout) {
  const std::string design = P("sheet.txt"), project = P("session.CD4");
  const int rows = Rows_To_The_CD_Layout();
  ASSERT_GE(rows, 0);
  doctests::Close_Document();
  std::string s = "wait 30\n" + Snap("1-start");
  // A new disc document: Choose a layout..., the CD layout of the list of
  // all, OK.
  s += Menu(PANEL_ONESHOT + PROJ_PICKLAYOUT_BUTTON) + "wait 10\n" + designscript::Keys("Down", rows) +
       Snap("2-layout-chooser") +
       Menu(PANEL_ONESHOT + PAPER_OK_BUTTON) + "wait 10\n" + Snap("3-new-disc");
  // The track list: the export file chosen, the field dialog's defaults taken.
  s += "answer open " VELMOR_FIXTURES_DIR "/tracks/library.xml\nanswer alert 1\n" +
       Menu(MENU_IMPORT + IMPORT_ITUNES) + "wait 10\n" + Snap("4-track-list");
  // An older project onto the same face.
  s += "answer open " VELMOR_FIXTURES_DIR "/v3/old_label.CDL\n" + Menu(MENU_IMPORT + IMPORT_VELMOR) + "wait 10\n" +
       Snap("5-older-project");
  // F1, then Help Contents.
  s += "key F1\nwait 5\n" + Menu(MENU_HELP + 1) + "wait 5\n" + Snap("6-help");
  // The designer: the golden design typed in and exported.
  s += designscript::Golden_Design_Typed() + Snap("7-designer") + designscript::Export_Design(design) +
       Snap("8-design-exported");
  // About, and a press that closes it.
  s += Menu(MENU_HELP + 8) + "wait 10\n" + Snap("9-about") + "click 5 5\nwait 10\n" + Snap("10-about-closed");
  // The project saved for the test to read.
  s += "answer save " + project + "\n" + Menu(MENU_FILE + 5) + "wait 10\nquit\n";

  const int rc = Run(s);
  const std::string err = Err();
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  for (const char* bad : {"alert", "script line", "ended without"})
    EXPECT_EQ(err.find(bad), std::string::npos) << bad << " in\n" << err;

  // The steps up to the older project each changed the window; the press
  // went to the About box, not to the phase button under it, and closed it.
  // Read by name: the order in which one expression's snapshots were named
  // is the compiler's.
  const char* const steps[] = {"1-start",       "2-layout-chooser",   "3-new-disc", "4-track-list",
                               "5-older-project", "6-help",           "7-designer", "8-design-exported",
                               "9-about",       "10-about-closed"};
  ASSERT_EQ(shots_taken_.size(), std::size(steps));
  std::vector<programshot::Shot> shots(std::size(steps));
  std::vector<std::string> paths;
  for (size_t k = 0; k < shots.size(); ++k) {
    paths.push_back(shots_ + "/" + steps[k] + ".png");
    std::string why;
    ASSERT_TRUE(shots[k].Read(paths[k], why)) << paths[k] << ": " << why;
  }
  for (size_t k = 1; k <= 4; ++k)
    EXPECT_NE(shots[k].px, shots[k - 1].px) << paths[k] << " shows no change";
  // The designer and the About box show over the window in their snapshots.
  EXPECT_NE(shots[6].px, shots[5].px) << paths[6] << " shows no designer";
  EXPECT_NE(shots[8].px, shots[7].px) << paths[8] << " shows no About box";
  EXPECT_EQ(shots[9].px, shots[7].px) << "the press closing the About box reached the window";

  // F1 in the text phase the imports left, then the contents; both pages
  // are in the book beside the program.
  EXPECT_EQ(Opened(), openlog::Help_Page(106) + openlog::Help_Page(1));
  for (const int topic : {106, 1}) {
    const std::string page = openlog::Help_Page(topic);
    EXPECT_TRUE(fs::exists(page.substr(0, page.size() - 1))) << page;
  }

  EXPECT_EQ(testdir::Read_Text(design),
            testdir::Read_Text(std::string(VELMOR_FIXTURES_DIR) + "/design/two_sections.txt"));

  // The face: the track list in play order in three columns (the track of
  // no fields keeping its place), then the older project's two texts, its
  // photo and its painting.
  Face face;
  ASSERT_TRUE(Read_Face(project, face));
  EXPECT_EQ(face.layout, labelsession::kCdLayout);
  ASSERT_EQ(face.texts.size(), 5u);
  EXPECT_EQ(face.texts[0], u"1)\n2)\n3)\n4)");
  const std::vector<std::u16string> names = Lines(face.texts[1]);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[0], u"\"Night\" Drive \u2014 Live / Ana's Band");
  EXPECT_EQ(names[1], u"Salt & Pepper / The <Quiet> Ones");
  EXPECT_EQ(names[3], u"Third / Ana's Band");
  EXPECT_EQ(face.texts[2], u"1:02\n3:35\n\n");
  EXPECT_EQ(face.texts[3], u"Mix \u00e9t\u00e9 1998");
  EXPECT_EQ(face.texts[4], u"Side A");
  EXPECT_EQ(face.photos, 1);
  EXPECT_TRUE(face.painted);
}

}  // namespace
