// Help topics and web pages handed to the desktop's open command (a
// stand-in records what it was asked to open).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "TempDirSupport.h"
#include "TestSupport.h"
#include "platform/VoskDef.h"
#include "host/HostClock.h"
#include "host/HostFiles.h"
#include "host/HostLaunch.h"
#include "platform/Resources.h"
#include "app/Velmor4.h"
#include "platform/SysHelp.h"
#include "platform/SysNet.h"

using namespace testdir;

namespace {

class HelpAndWeb : public TempDirTest {
 protected:
  HelpAndWeb() : TempDirTest("velmor-help") {}
  void SetUp() override {
    TempDirTest::SetUp();
    Resources_Init();
    VoskDef_Init();
    gs.controller = HUMAN;  // alerts show, on standard error
    opener = Make_Opener("opener", 0);
    Host_Set_Open_Command({opener});
  }
  // Waits for the open commands started and collects them: what they made
  // the program say (its alerts on standard error).
  static std::string Verdicts() {
    testing::internal::CaptureStderr();
    Host_Wait_Opens();
    return testing::internal::GetCapturedStderr();
  }
  void TearDown() override {
    Host_Set_Open_Command({});
    TempDirTest::TearDown();
  }
  // Records its arguments, one a line, and exits with status.
  std::string Make_Opener(const std::string& name, int status) {
    const std::string path = P(name);
    Write_Text(path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args\"\nexit " +
                         std::to_string(status) + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
  }
  // What the opener was last asked to open ("" when it did not run), and
  // forgets it; the openers are waited for first, and must have said nothing.
  std::string Opened(const std::string& which = "") {
    EXPECT_EQ(Verdicts(), "");
    const std::string f = (which.empty() ? opener : which) + ".args";
    std::string text = Host_Exists(f.c_str()) ? Read_Text(f) : "";
    ::unlink(f.c_str());
    return text;
  }
  static FSSpec Spec(const std::string& s) {
    FSSpec f{};
    Path_From_Text(f, s.c_str());
    return f;
  }
  std::string opener;
};

TEST_F(HelpAndWeb, TopicsOpenTheBooksPages) {
  ASSERT_TRUE(Host_Make_Dirs(P("Help/Velmor_Help_de").c_str()));
  Write_Text(P("Help/Velmor_Help_de/1.html"), "<p>Inhalt</p>");
  Write_Text(P("Help/Velmor_Help_de/101.html"), "<p>Raster</p>");
  const FSSpec de = Spec(P("Help/Velmor_Help_de.chm"));
  const FSSpec fr = Spec(P("Help/Velmor_Help_fr.chm"));

  EXPECT_TRUE(Help_Book_Exists(de));
  EXPECT_FALSE(Help_Book_Exists(fr));
  EXPECT_TRUE(Show_Help_Topic(de, 101));
  EXPECT_EQ(Opened(), P("Help/Velmor_Help_de/101.html") + "\n");
  EXPECT_TRUE(Show_Help_Topic(de, 1));
  EXPECT_EQ(Opened(), P("Help/Velmor_Help_de/1.html") + "\n");

  // A topic or a book without a page is missing help: nothing is started.
  EXPECT_FALSE(Show_Help_Topic(de, 107));
  EXPECT_FALSE(Show_Help_Topic(fr, 101));
  EXPECT_FALSE(Show_Help_Topic(Spec(""), 1));
  EXPECT_EQ(Opened(), "");

  // A path naming a page opens that page.
  Write_Text(P("Help/guide.HTML"), "<p>x</p>");
  EXPECT_TRUE(Show_Help_Topic(Spec(P("Help/guide.HTML")), 5));
  EXPECT_EQ(Opened(), P("Help/guide.HTML") + "\n");

  // The page exists but nothing can show it: that is said, naming the page
  // (not that the help is missing), at once when no opener can start ...
  const std::string page = P("Help/Velmor_Help_de/101.html");
  const std::string said = "alert 71: Sorry, no program could show the help page " + page + ".";
  Host_Set_Open_Command({P("no-opener")});
  testing::internal::CaptureStderr();
  EXPECT_TRUE(Show_Help_Topic(de, 101));
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find(said), std::string::npos) << err;
  // ... and once the opener has ended in failure.
  Host_Set_Open_Command({Make_Opener("failing", 4)});
  testing::internal::CaptureStderr();
  EXPECT_TRUE(Show_Help_Topic(de, 101));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the verdict is not waited for";
  err = Verdicts();
  EXPECT_NE(err.find(said), std::string::npos) << err;
  EXPECT_EQ(Opened(P("failing")), page + "\n");
}

TEST_F(HelpAndWeb, WebPagesAndDocuments) {
  const char url[] = "https://example.org/labels?a=1&b=$x y";
  EXPECT_EQ(Launch_URL(url), 0);
  EXPECT_EQ(Opened(), std::string(url) + "\n");

  // The address ends at the end of its array even without a terminating 0.
  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(Launch_URL(CStrSpan(unterminated, 4)), 0);
  EXPECT_EQ(Opened(), "abcd\n");

  EXPECT_EQ(Launch_URL(""), -1);
  EXPECT_EQ(Launch_URL("--version"), -1);
  EXPECT_EQ(Opened(), "");

  EXPECT_EQ(Launch_Doc(Spec(P("User Manual/English.pdf"))), 0);
  EXPECT_EQ(Opened(), P("User Manual/English.pdf") + "\n");
  EXPECT_EQ(Launch_Doc(Spec("-manual.pdf")), 0);
  EXPECT_EQ(Opened(), "./-manual.pdf\n");
  EXPECT_EQ(Launch_Doc(Spec("")), -1);

  // No opener at all: the caller's alert path.
  Host_Set_Open_Command({P("not-installed")});
  EXPECT_EQ(Launch_URL(url), -1);
  EXPECT_EQ(Launch_Doc(Spec(P("x.pdf"))), -1);
  EXPECT_EQ(Verdicts(), "");

  // An opener that ends in failure: said when it has ended, with the
  // browser message for a web page and the file's name for a document.
  Host_Set_Open_Command({Make_Opener("nobrowser", 3)});
  EXPECT_EQ(Launch_URL(url), 0);
  std::string err = Verdicts();
  EXPECT_NE(err.find("alert 35: Sorry, we couldn't locate your default web browser."), std::string::npos) << err;
  EXPECT_EQ(Launch_Doc(Spec(P("x.pdf"))), 0);
  err = Verdicts();
  EXPECT_NE(err.find("alert 72: Sorry, no program could open " + P("x.pdf") + "."), std::string::npos) << err;
}

// The program's idle work collects an opener that has ended and says so; the
// loop never waits for it.
TEST_F(HelpAndWeb, TheIdleWorkCollectsTheVerdict) {
  Host_Clock_Set_Manual(true);  // idle sleeps take no time
  gs.mytask = false;
  Host_Set_Open_Command({Make_Opener("failing", 4)});
  ASSERT_EQ(Launch_URL("https://example.org/"), 0);
  testing::internal::CaptureStderr();
  // The opener ends on its own; the idle work picks it up on a later pass.
  for (int pass = 0; pass < 30000 && Host_Opens_Watched() > 0; ++pass) {
    Do_Idle();
    if (Host_Opens_Watched() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const std::string err = testing::internal::GetCapturedStderr();
  Host_Clock_Set_Manual(false);
  EXPECT_EQ(Host_Opens_Watched(), 0u);
  EXPECT_NE(err.find("alert 35"), std::string::npos) << err;
}

}  // namespace
