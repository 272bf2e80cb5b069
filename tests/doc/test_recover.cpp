// An internal error that still happens stops the program, but not with the
// user's work: a changed document is kept as a new project file whose name
// says it was recovered (beside its own file, or in the documents folder when
// it was never saved, never over a file), the alert names it, and the
// preferences are written as at a normal end. Each case stops a child
// process; the test reads what it left.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "DocTestSupport.h"
#include "TempDirSupport.h"
#include "app/Velmor4.h"
#include "doc/ParsDISC.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFile.h"
#include "doc/VoskRecover.h"
#include "host/HostFiles.h"
#include "host/HostScript.h"
#include "platform/SysErr.h"
#include "platform/SysIO.h"
#include "platform/VoskDef.h"
#include "platform/VoskErr.h"
#include "platform/VoskPref.h"

namespace {

FSSpec Spec(const std::string& path) {
  FSSpec s{};
  std::strncpy(s.name, path.c_str(), sizeof s.name - 1);
  return s;
}

class Recovery : public ::testing::Test {
 protected:
  std::string dir_;
  void SetUp() override {
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    Host_Script_Reset();
    dir_ = testdir::Make_Temp_Dir("velmor-recover");
    ASSERT_FALSE(dir_.empty());
    ASSERT_EQ(::mkdir((dir_ + "/docs").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir((dir_ + "/config").c_str(), 0700), 0);
    std::strncpy(boot_directory, (dir_ + "/docs").c_str(), sizeof boot_directory - 1);
    // A layout of two units, its first unit not printed: the mark a
    // recovered file must bring back.
    for (uint32 tx = 1; tx <= 40 && !(g_doc.doc_open && g_doc.doc_template.nunits >= 2); ++tx)
      (void)Proj_PickLayout2(tx);
    ASSERT_GE(g_doc.doc_template.nunits, 2u);
  }
  void TearDown() override {
    Host_Script_Reset();
    doctests::Close_Document();
    std::memset(boot_directory, 0, sizeof boot_directory);
    testdir::Remove_Dir(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  // The program's fatal hooks, then an internal error, in a child process:
  // it must end with the fatal status and say where the work went.
  void Stop_With_Internal_Error(const std::string& said) {
    const std::string config = dir_ + "/config";
    EXPECT_EXIT(
        {
          ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
          SysErr_Set_Running(true);
          QUIT = InternalError;
          g_err_sav_proc = Keep_Work_Before_Halt;
          Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
          Host_Script_Push_Answer(HOST_ANSWER_ALERT, "1");
          QUIT();
        },
        ::testing::ExitedWithCode(1), said);
  }
};

TEST_F(Recovery, AChangedProjectIsKeptBesideItsFileUnderANewName) {
  ASSERT_TRUE(Doc_Write(FMT_DISC, Spec(Path("Party.CD4"))));
  g_doc.doc_path = Spec(Path("Party.CD4"));  // as Save As leaves it
  g_doc.doc_new = false;
  const std::string saved = testdir::Read_Text(Path("Party.CD4"));
  // Unsaved work: the first unit no longer printed.
  Doc_Unit(1)->printf = false;
  g_doc.doc_changed = true;
  // A file of the first name is already there: it stays.
  testdir::Write_Text(Path("Party (recovered).CD4"), "someone's file");
  Stop_With_Internal_Error("alert 4: Internal Error.*alert 99: .*Party \\(recovered\\) \\(2\\)\\.CD4");
  EXPECT_EQ(testdir::Read_Text(Path("Party.CD4")), saved);
  EXPECT_EQ(testdir::Read_Text(Path("Party (recovered).CD4")), "someone's file");
  // The kept file reads back with the change.
  doctests::Close_Document();
  ASSERT_TRUE(Read_DISC(Spec(Path("Party (recovered) (2).CD4")), false));
  ASSERT_NE(Doc_Unit(2), nullptr);
  EXPECT_FALSE(Doc_Unit(1)->printf);
  EXPECT_TRUE(Doc_Unit(2)->printf);
  // The preferences were written as at a normal end: the recent projects
  // of the run are in the file.
  const std::string prefs = testdir::Read_Text(dir_ + "/config/velmor4/Velmor4.ini");
  EXPECT_NE(prefs.find(Path("Party.CD4")), std::string::npos);
}

TEST_F(Recovery, ANeverSavedProjectGoesToTheDocumentsFolder) {
  ASSERT_TRUE(g_doc.doc_new);
  Doc_Unit(2)->printf = false;
  g_doc.doc_changed = true;
  Stop_With_Internal_Error("alert 99: .*/docs/.* \\(recovered\\)\\.CD4");
  const std::string untitled = g_doc.doc_path.name;
  const std::string name = Recovered_Name(untitled.substr(untitled.find_last_of('/') + 1));
  doctests::Close_Document();
  ASSERT_TRUE(Read_DISC(Spec(dir_ + "/docs/" + name), false)) << name;
  EXPECT_FALSE(Doc_Unit(2)->printf);
}

TEST_F(Recovery, NothingIsWrittenForAnUnchangedProject) {
  ASSERT_TRUE(Doc_Write(FMT_DISC, Spec(Path("Same.CD4"))));
  g_doc.doc_path = Spec(Path("Same.CD4"));
  g_doc.doc_new = false;
  ASSERT_FALSE(g_doc.doc_changed);
  Stop_With_Internal_Error("Internal Error");
  EXPECT_FALSE(Host_Exists(Path("Same (recovered).CD4").c_str()));
  std::string written;
  EXPECT_FALSE(Recover_Open_Document(written));
  EXPECT_TRUE(written.empty());
}

}  // namespace
