// The File menu's questions as a table: open, close, quit and revert with
// each answer, and "Save" with a save that fails, after which nothing is
// closed, replaced or quit; damaged files opened or reverted to keep the
// document; the recent files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DocTestSupport.h"
#include "TempDirSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFile.h"
#include "host/HostFiles.h"
#include "host/HostScript.h"
#include "platform/VoskDef.h"
#include "platform/VoskPref.h"

namespace {

FSSpec Spec(const std::string& path) {
  FSSpec s{};
  std::strncpy(s.name, path.c_str(), sizeof s.name - 1);
  return s;
}

// How many of the recent files' slots hold path (their order is the list's
// own: a new file takes the free or the oldest slot).
int Recent_Slots(const std::string& path) {
  int n = 0;
  for (const a_recent_doc& r : gs.pref.recent) n += std::strcmp(r.doc_path.name, path.c_str()) == 0;
  return n;
}

enum Answer { SAVE = 1, CANCEL = 2, DONT_SAVE = 3 };
enum Command { OPEN, CLOSE, QUIT };

class FileCommands : public ::testing::Test {
 protected:
  std::string dir_;
  void SetUp() override {
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    Host_Script_Reset();
    g_doneflag = false;
    dir_ = testdir::Make_Temp_Dir("velmor-filecmds");
    ASSERT_FALSE(dir_.empty());
    // Two saved projects: "a.CD4" stays open, "b.CD4" is the one to open.
    // A layout of two units or more.
    for (uint32 tx = 1; tx <= 40 && !(g_doc.doc_open && g_doc.doc_template.nunits >= 2); ++tx)
      (void)Proj_PickLayout2(tx);
    ASSERT_GE(g_doc.doc_template.nunits, 2u);
    Doc_Unit(1)->printf = false;
    ASSERT_TRUE(Doc_Write(FMT_DISC, Spec(Path("b.CD4"))));
    Doc_Unit(1)->printf = true;
    ASSERT_TRUE(Doc_Write(FMT_DISC, Spec(Path("a.CD4"))));
    g_doc.doc_path = Spec(Path("a.CD4"));
    g_doc.doc_new = false;
  }
  void TearDown() override {
    Host_Fail_Writes_After(-1);
    Host_Script_Reset();
    g_doneflag = false;
    doctests::Close_Document();
    testdir::Remove_Dir(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  // A change that a save writes: unit 2 no longer printed ("b.CD4" has
  // unit 1 unprinted instead).
  void Change() {
    g_doc.doc_changed = true;
    Doc_Unit(2)->printf = false;
  }
  static bool Changed_Marks() { return !Doc_Unit(2)->printf && Doc_Unit(1)->printf; }
  static bool Marks_Of_B() { return !Doc_Unit(1)->printf && Doc_Unit(2)->printf; }
  // Runs the command with the answer queued; what the question said.
  std::string Run(Command c, int answer) {
    Host_Script_Push_Answer(HOST_ANSWER_ALERT, std::to_string(answer));
    testing::internal::CaptureStderr();
    switch (c) {
      case OPEN: Do_File_Open(Spec(Path("b.CD4")), false); break;
      case CLOSE: Do_File_Close(); break;
      case QUIT: Do_File_Quit(); break;
    }
    return testing::internal::GetCapturedStderr();
  }
};

// Every answer of prompts 1, 3 and 4, with the save working and failing:
// the command goes on only after a good save or "Don't Save".
TEST_F(FileCommands, QuestionsBeforeLeavingADocument) {
  struct Case {
    Command cmd;
    const char* prompt;
  } cmds[] = {{OPEN, "before opening a new file?"}, {CLOSE, "before closing?"}, {QUIT, "before quitting?"}};
  for (const Case& c : cmds) {
    for (const int answer : {SAVE, CANCEL, DONT_SAVE}) {
      for (const bool failing : {false, true}) {
        if (answer != SAVE && failing) continue;
        SCOPED_TRACE(testing::Message() << "command " << c.cmd << " answer " << answer << " failing " << failing);
        if (!g_doc.doc_open || std::strcmp(g_doc.doc_path.name, Path("a.CD4").c_str()) != 0)
          Do_File_Open3(false, Spec(Path("a.CD4")));
        ASSERT_STREQ(g_doc.doc_path.name, Path("a.CD4").c_str());
        Change();
        g_doneflag = false;
        const std::string before = testdir::Read_Text(Path("a.CD4"));
        if (failing) Host_Fail_Writes_After(10);
        const std::string said = Run(c.cmd, answer);
        Host_Fail_Writes_After(-1);
        EXPECT_NE(said.find(std::string("Save changes to \"a.CD4\" ") + c.prompt), std::string::npos) << said;
        const bool saved = answer == SAVE && !failing;
        const bool goes_on = saved || answer == DONT_SAVE;
        // The file on disc: written only by a good save.
        EXPECT_EQ(testdir::Read_Text(Path("a.CD4")) == before, !saved);
        switch (c.cmd) {
          case OPEN:
            ASSERT_TRUE(g_doc.doc_open);
            EXPECT_STREQ(g_doc.doc_path.name, Path(goes_on ? "b.CD4" : "a.CD4").c_str());
            EXPECT_TRUE(goes_on ? Marks_Of_B() : Changed_Marks());
            break;
          case CLOSE:
            EXPECT_EQ(bool(g_doc.doc_open), !goes_on);
            break;
          case QUIT:
            EXPECT_EQ(bool(g_doneflag), goes_on);
            EXPECT_EQ(bool(g_doc.doc_open), !goes_on);
            break;
        }
        if (g_doc.doc_open && !goes_on) {
          EXPECT_TRUE(g_doc.doc_changed);
        }
        // Put "a.CD4" back as it was for the next case.
        if (saved) testdir::Write_Text(Path("a.CD4"), before);
      }
    }
  }
}

// The questions name the document: a new one by its untitled name, one
// opened since by its file's name.
TEST_F(FileCommands, QuestionsNameTheDocument) {
  ASSERT_TRUE(Proj_PickLayout2(1));
  g_doc.doc_changed = true;
  EXPECT_NE(Run(CLOSE, CANCEL).find("Save changes to \"Untitled\" before closing?"), std::string::npos);
  EXPECT_NE(Run(OPEN, CANCEL).find("Save changes to \"Untitled\" before opening a new file?"), std::string::npos);
  EXPECT_TRUE(g_doc.doc_new);
  Do_File_Open(Spec(Path("b.CD4")), true);
  ASSERT_STREQ(g_doc.doc_path.name, Path("b.CD4").c_str());
  Change();
  EXPECT_NE(Run(QUIT, CANCEL).find("Save changes to \"b.CD4\" before quitting?"), std::string::npos);
  EXPECT_FALSE(g_doneflag);
}

TEST_F(FileCommands, UnchangedDocumentsAndNoDocumentAskNothing) {
  testing::internal::CaptureStderr();
  Do_File_Close();
  EXPECT_FALSE(g_doc.doc_open);
  Do_File_Quit();
  EXPECT_TRUE(g_doneflag);
  Do_File_Open(Spec(Path("library.ART4")), false);
  EXPECT_FALSE(g_doc.doc_open);
  EXPECT_EQ(testing::internal::GetCapturedStderr().find("velmor: alert"), std::string::npos);
}

TEST_F(FileCommands, RevertReadsTheFileAgainOrKeepsTheDocument) {
  for (const int answer : {2, 1}) {
    SCOPED_TRACE(answer);
    Change();
    Host_Script_Push_Answer(HOST_ANSWER_ALERT, std::to_string(answer));
    testing::internal::CaptureStderr();
    Do_File_Revert();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("Revert to previously saved version of \"a.CD4\"?"), std::string::npos) << said;
    EXPECT_EQ(Changed_Marks(), answer != 1);
    EXPECT_EQ(bool(g_doc.doc_changed), answer != 1);
  }
  // The file damaged meanwhile: the document stays, changed, on its path.
  Change();
  testdir::Write_Text(Path("a.CD4"), "not a project");
  Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
  testing::internal::CaptureStderr();
  Do_File_Revert();
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(g_doc.doc_open);
  EXPECT_TRUE(Changed_Marks());
  EXPECT_TRUE(g_doc.doc_changed);
  EXPECT_STREQ(g_doc.doc_path.name, Path("a.CD4").c_str());
}

TEST_F(FileCommands, DamagedFileOpenedKeepsTheDocumentAndItsPath) {
  testdir::Write_Text(Path("bad.CD4"), "not a project");
  Change();
  testing::internal::CaptureStderr();
  Do_File_Open(Spec(Path("bad.CD4")), true);
  Do_File_Open3(false, Spec(Path("missing.CD4")));
  testing::internal::GetCapturedStderr();
  ASSERT_TRUE(g_doc.doc_open);
  EXPECT_TRUE(Changed_Marks());
  EXPECT_STREQ(g_doc.doc_path.name, Path("a.CD4").c_str());
  EXPECT_EQ(Recent_Slots(Path("a.CD4")), 1);
  EXPECT_EQ(Recent_Slots(Path("bad.CD4")), 0);
  EXPECT_EQ(Recent_Slots(Path("missing.CD4")), 0);
}

// A good save and an opened file are in the recent files, once each.
TEST_F(FileCommands, RecentFilesTakeSavedAndOpenedFiles) {
  EXPECT_EQ(Recent_Slots(Path("a.CD4")), 1);
  EXPECT_EQ(Recent_Slots(Path("b.CD4")), 1);
  Do_File_Open(Spec(Path("b.CD4")), true);
  EXPECT_EQ(Recent_Slots(Path("a.CD4")), 1);
  EXPECT_EQ(Recent_Slots(Path("b.CD4")), 1);
  Change();
  Host_Fail_Writes_After(0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Do_File_Save());
  testing::internal::GetCapturedStderr();
  Host_Fail_Writes_After(-1);
  EXPECT_TRUE(g_doc.doc_changed);
  EXPECT_TRUE(Do_File_Save());
  EXPECT_FALSE(g_doc.doc_changed);
}

// Printing a file from the command line with nothing marked prints nothing
// and says so; the document read for it is not kept.
TEST_F(FileCommands, PrintingAFileWithNothingMarked) {
  for (uint32 ux = 1; ux <= g_doc.doc_template.nunits; ++ux) Doc_Unit(ux)->printf = false;
  ASSERT_TRUE(Doc_Write(FMT_DISC, Spec(Path("none.CD4"))));
  std::string why;
  EXPECT_FALSE(Do_File_Print(Spec(Path("none.CD4")), why));
  EXPECT_NE(why, "") << "a document is open: refused";
  Doc_Dispose();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Do_File_Print(Spec(Path("none.CD4")), why));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(why, "no unit is marked for printing");
  EXPECT_FALSE(g_doc.doc_open);
}

// A new document saves through Save As; it takes the new path only once
// written there, and a cancelled dialog leaves it changed.
TEST_F(FileCommands, SaveAsOfANewDocument) {
  g_doc.doc_new = true;
  Change();
  const std::string target = Path("c.CD4");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Do_File_Save());  // nothing answered: cancelled
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, target);
  Host_Fail_Writes_After(10);
  EXPECT_FALSE(Do_File_Save());
  Host_Fail_Writes_After(-1);
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(g_doc.doc_changed);
  EXPECT_TRUE(g_doc.doc_new);
  EXPECT_STREQ(g_doc.doc_path.name, Path("a.CD4").c_str());
  EXPECT_FALSE(testdir::Read_Text(target).size() > 0);
  EXPECT_EQ(Recent_Slots(target), 0) << "a failed save is no recent file";
  Host_Script_Push_Answer(HOST_ANSWER_SAVE, target);
  EXPECT_TRUE(Do_File_Save());
  EXPECT_FALSE(g_doc.doc_changed);
  EXPECT_FALSE(g_doc.doc_new);
  EXPECT_STREQ(g_doc.doc_path.name, target.c_str());
  EXPECT_EQ(Recent_Slots(target), 1);
}

}  // namespace
