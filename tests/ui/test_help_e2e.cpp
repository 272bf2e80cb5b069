// The Help menu and the About box through the real program on the headless
// backend, with the desktop's open command a stand-in that logs what it was
// asked to open: F1 and Help Contents open the right page of the English
// book beside the program, the About box takes the keys and the press that
// close it, and the end of the session closes it too. Snapshots go to
// <build>/e2e/help/ for a person to look at.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "LabelSessionSupport.h"
#include "OpenLogSupport.h"
#include "TempDirSupport.h"
#include "ui/VoskDisp.h"

namespace {

namespace fs = std::filesystem;
using labelsession::Menu;

class HelpSession : public openlog::Session {
 protected:
  HelpSession() : Session("velmor-help-e2e", "help") {}
  void SetUp() override {
    Session::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    project_ = P("cd.CD4");
    ASSERT_TRUE(labelsession::Write_CD_Project(project_));
  }
  static std::string Page(int topic) { return openlog::Help_Page(topic); }
  std::string project_;
};

// F1 without a project opens the contents; Help Contents the contents;
// F1 in the grid phase the grids page. While the About box is up F1 does
// nothing; a press closes the box and F1 works again.
TEST_F(HelpSession, F1HelpContentsAndAboutBox) {
  const std::string start = Shot("1-start"), about = Shot("2-about-up"), closed = Shot("3-about-closed");
  const std::string script = "wait 30\nsnapshot " + start + "\nkey F1\nwait 5\n" +
                             labelsession::Open_Project(project_) + "wait 30\n" + Menu(MENU_HELP + 1) + "wait 5\n" +
                             Menu(PANEL_PHASE + GRID_PHASE) + "wait 10\nkey F1\nwait 5\n" +
                             Menu(MENU_HELP + 8) + "wait 10\nkey F1\nwait 5\nsnapshot " + about +
                             "\nclick 5 5\nwait 10\nsnapshot " + closed + "\nkey F1\nwait 5\nquit\n";
  const int rc = Run(script);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << Err();
  EXPECT_EQ(Err().find("alert"), std::string::npos) << Err();
  EXPECT_EQ(Opened(), Page(1) + Page(1) + Page(101) + Page(101));
  for (const std::string& s : {start, about, closed}) EXPECT_TRUE(fs::exists(s)) << s;
}

// A help page whose command fails after a while is reported at the same
// point of a scripted run however long the command takes: before the
// script's next line (a Save As into a folder that does not exist), and two
// runs write the same error output.
TEST_F(HelpSession, AFailedOpenIsReportedWhereTheScriptAskedForIt) {
  const std::string slow = P("slow-opener");
  testdir::Write_Text(slow, "#!/bin/sh\nsleep 1\nexit 3\n");
  ASSERT_EQ(::chmod(slow.c_str(), 0755), 0);
  const std::string script = "wait 30\n" + labelsession::Open_Project(project_) + "wait 30\n" + Menu(MENU_HELP + 1) +
                             "wait 1\nanswer alert 1\nwait 5\nanswer save " + P("no-such-folder/copy.CD4") + "\n" + Menu(305) +
                             "wait 5\nquit\n";
  std::string first;
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    const int rc = openlog::Run(dir, script, slow);
    ASSERT_TRUE(WIFEXITED(rc)) << rc;
    EXPECT_EQ(WEXITSTATUS(rc), 0) << Err();
    const std::string err = Err();
    const size_t opened = err.find("alert 71:"), saved = err.find("alert 15:");
    ASSERT_NE(opened, std::string::npos) << err;
    ASSERT_NE(saved, std::string::npos) << err;
    EXPECT_LT(opened, saved) << err;
    if (run == 0) first = err;
    else EXPECT_EQ(err, first);
  }
}

// SIGTERM while the About box is up ends it and then the program, normally.
TEST_F(HelpSession, SigtermClosesTheAboutBoxAndQuits) {
  const std::string before = Shot("4-before-about"), up = Shot("5-about-at-sigterm"), after = Shot("6-after-sigterm");
  const std::string script = "wait 30\n" + labelsession::Open_Project(project_) + "wait 30\nsnapshot " + before + "\n" +
                             Menu(MENU_HELP + 8) + "wait 10\nsnapshot " + up + "\nsignal term\nwait 60\nsnapshot " +
                             after + "\nwait 600\nquit\n";
  const int rc = Run(script);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << Err();
  // The box was on screen when the signal came.
  ASSERT_TRUE(fs::exists(before) && fs::exists(up)) << Err();
  EXPECT_NE(testdir::Read_Text(up), testdir::Read_Text(before)) << "no About box was up";
  EXPECT_FALSE(fs::exists(after)) << "the program went on after SIGTERM";
  EXPECT_EQ(Err().find("ended without"), std::string::npos) << Err();
}

}  // namespace
