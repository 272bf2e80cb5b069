// The Help menu's commands: topics opened in the language's book or the
// English one, the pages the build puts beside the program, the manual and
// the web links. The desktop's open command is a stand-in that records what
// it was asked to open.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "SoundTestSupport.h"
#include "TempDirSupport.h"
#include "host/HostFiles.h"
#include "host/HostLaunch.h"
#include "platform/LangUtil.h"
#include "platform/Resources.h"
#include "platform/SysVol.h"
#include "platform/VoskDef.h"
#include "ui/VoskDisp.h"
#include "ui/VoskHelp.h"
#include "ui/VoskMenu.h"

using namespace testdir;
namespace fs = std::filesystem;

namespace {

// The English book as the build lays it out beside the program.
fs::path Built_Book() { return fs::path(VELMOR4_EXE).parent_path() / "Help" / "Velmor_Help_en"; }

class HelpCommands : public TempDirTest {
 protected:
  HelpCommands() : TempDirTest("velmor-helpcmd") {}
  void SetUp() override {
    TempDirTest::SetUp();
    Resources_Init();
    VoskDef_Init();
    gs.controller = HUMAN;  // alerts are written to standard error
    opener_ = P("opener");
    Write_Text(opener_, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"$0.log\"\nexit ${OPENER_STATUS:-0}\n");
    ::chmod(opener_.c_str(), 0755);
    Host_Set_Open_Command({opener_});
  }
  void TearDown() override {
    Host_Wait_Opens();
    Host_Set_Open_Command({});
    gs.pref.language_offset = ENGLISH;
    TempDirTest::TearDown();
  }
  // Runs what, waits for the open commands it started; said := the alerts.
  template <typename F>
  std::string Said(F what) {
    testing::internal::CaptureStderr();
    what();
    Host_Wait_Opens();
    return testing::internal::GetCapturedStderr();
  }
  // What the stand-in was asked to open since the last call, one a line.
  std::string Opened() {
    const std::string log = opener_ + ".log";
    const std::string text = Host_Exists(log.c_str()) ? Read_Text(log) : "";
    ::unlink(log.c_str());
    return text;
  }
  FSSpec Folder(const std::string& name) {
    FSSpec f{};
    Path_From_Text(f, P(name).c_str());
    return f;
  }
  void Page(const std::string& path) {
    ASSERT_TRUE(Host_Make_Dirs(fs::path(P(path)).parent_path().c_str()));
    Write_Text(P(path), "<p>page</p>");
  }
  std::string opener_;
};

// Each phase's topic, and each topic has its page in the built English book.
TEST_F(HelpCommands, EveryTopicHasAPageInTheBuiltBook) {
  const struct {
    a_phase phase;
    uint16 topic;
  } phases[] = {{PREVIEW_PHASE, 108}, {PAINT_PHASE, 102},   {CANVAS_PHASE, 104}, {SYMBOL_PHASE, 103},
                {PHOTO_PHASE, 105},   {GRID_PHASE, 101},    {TEXT_PHASE, 106},   {COLLAGE_PHASE, 107},
                {PAPER_PHASE, 1},     {NODOC_PHASE, 1},     {NULL_PHASE, 1}};
  for (const auto& c : phases) EXPECT_EQ(Help_Topic_Of_Phase(c.phase), c.topic) << int(c.phase);
  for (const uint16 topic : {HELP_CONTENTS, HELP_GRIDS, HELP_PAINTING, HELP_SYMBOLS, HELP_CANVASES, HELP_PHOTOS,
                             HELP_TEXT, HELP_COLLAGES, HELP_PRINTING, HELP_IMPORTING, HELP_DESIGNER, HELP_KEYS}) {
    const fs::path page = Built_Book() / (std::to_string(topic) + ".html");
    EXPECT_TRUE(fs::is_regular_file(page)) << page;
  }
}

// Every page of the built book: its links and pictures lead to files of the
// book, it uses the one stylesheet, and it loads nothing from outside; the
// contents lead to every page, and every other file of the book is used.
TEST_F(HelpCommands, PagesLinkOnlyWithinTheBook) {
  const std::regex ref(R"re((href|src)\s*=\s*"([^"]*)")re", std::regex::icase);
  std::set<std::string> pages, linked_from_contents, files, used;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(Built_Book())) {
    if (e.is_regular_file()) files.insert(fs::relative(e.path(), Built_Book()).string());
    if (e.path().extension() != ".html") continue;
    pages.insert(e.path().filename().string());
    const std::string text = Read_Text(e.path().string());
    SCOPED_TRACE(e.path().filename().string());
    EXPECT_EQ(text.find("<script"), std::string::npos);
    EXPECT_EQ(text.find("url("), std::string::npos);
    EXPECT_NE(text.find(R"(<link rel="stylesheet" href="help.css">)"), std::string::npos);
    int refs = 0;
    for (auto m = std::sregex_iterator(text.begin(), text.end(), ref); m != std::sregex_iterator(); ++m) {
      std::string target = (*m)[2].str();
      ++refs;
      EXPECT_EQ(target.find(':'), std::string::npos) << target;  // no scheme: nothing from outside
      EXPECT_NE(target.front(), '/') << target;
      target = target.substr(0, target.find('#'));
      if (target.empty()) continue;
      EXPECT_TRUE(fs::is_regular_file(e.path().parent_path() / target)) << target;
      used.insert(fs::relative(fs::weakly_canonical(e.path().parent_path() / target), Built_Book()).string());
      if (e.path().filename() == "1.html") linked_from_contents.insert(target);
    }
    EXPECT_GT(refs, 1);
  }
  EXPECT_GE(pages.size(), 12u);
  for (const std::string& p : pages)
    if (p != "1.html") {
      EXPECT_TRUE(linked_from_contents.count(p)) << p << " is not in the contents";
    }
  for (const std::string& f : files)
    if (f != "1.html") {
      EXPECT_TRUE(used.count(f)) << f << " is used by no page";
    }
  const std::string style = Read_Text((Built_Book() / "help.css").string());
  EXPECT_EQ(style.find("url("), std::string::npos);
  EXPECT_EQ(style.find("@import"), std::string::npos);
}

// The interface language's book when it has the topic; the English book
// otherwise; alert 50 when neither has it.
TEST_F(HelpCommands, TopicsFallBackToEnglish) {
  Page("Help/Velmor_Help_en/101.html");
  Page("Help/Velmor_Help_en/102.html");
  const FSSpec folder = Folder("Help");
  const struct {
    int16 language;
    const char* german_page;  // nullptr: no German book
    uint16 topic;
    const char* opened;  // nullptr: alert 50
  } cases[] = {
      {ENGLISH, nullptr, 101, "Help/Velmor_Help_en/101.html"},
      {GERMAN, nullptr, 101, "Help/Velmor_Help_en/101.html"},
      {GERMAN, "Help/Velmor_Help_de/101.html", 101, "Help/Velmor_Help_de/101.html"},
      {GERMAN, "Help/Velmor_Help_de/101.html", 102, "Help/Velmor_Help_en/102.html"},
      {GERMAN, nullptr, 107, nullptr},
      {ENGLISH, nullptr, 107, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.language << " " << c.topic);
    fs::remove_all(P("Help/Velmor_Help_de"));
    if (c.german_page != nullptr) Page(c.german_page);
    gs.pref.language_offset = c.language;
    const std::string said = Said([&] { Do_HelpTopic_In(folder, c.topic); });
    if (c.opened == nullptr) {
      EXPECT_NE(said.find("alert 50:"), std::string::npos) << said;
      EXPECT_EQ(Opened(), "");
    } else {
      EXPECT_EQ(said, "");
      EXPECT_EQ(Opened(), P(c.opened) + "\n");
    }
  }
  // No help folder at all.
  const std::string said = Said([&] { Do_HelpTopic_In(Folder("nowhere"), 1); });
  EXPECT_NE(said.find("alert 50:"), std::string::npos) << said;
}

TEST_F(HelpCommands, BookNamesCarryTheLanguageCode) {
  const FSSpec folder = Folder("Help");
  FSSpec book{};
  ASSERT_TRUE(Help_Book_Path(folder, ENGLISH, book));
  EXPECT_STREQ(book.name, P("Help/Velmor_Help_en.chm").c_str());
  ASSERT_TRUE(Help_Book_Path(folder, GERMAN, book));
  EXPECT_STREQ(book.name, P("Help/Velmor_Help_de.chm").c_str());
}

// No manual is shipped: whichever is asked for, alert 50 once, nothing opened.
TEST_F(HelpCommands, MissingManualGivesAlert50) {
  for (const int16 index : {0, 3, 18, 19, -1}) {
    const std::string said = Said([&] { Do_Manual(index); });
    size_t alerts = 0;
    for (size_t at = said.find("alert 50:"); at != std::string::npos; at = said.find("alert 50:", at + 1)) ++alerts;
    EXPECT_EQ(alerts, 1u) << index << ": " << said;
    EXPECT_EQ(Opened(), "") << index;
  }
}

// The program has no web page of its maker: the item is greyed, and asking
// for it plays sound 136 without claiming that no browser exists.
TEST_F(HelpCommands, EmptyWebAddressDimsItsItemAndSounds136) {
  Str255 url{};
  EXPECT_FALSE(Web_Address(WEB_MAKER_PAGE, url));
  EXPECT_FALSE(Command_Enabled(MENU_HELP + 4));
  EXPECT_TRUE(Command_Enabled(MENU_HELP + 1));
  EXPECT_TRUE(Command_Enabled(MENU_HELP + 2));
  soundtest::SoundRecorder sounds;
  const std::string said = Said([] { Go_To_Website(WEB_MAKER_PAGE); });
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
  EXPECT_EQ(said, "");
  EXPECT_EQ(Opened(), "");
}

// An address goes to the browser as it is; a browser that cannot start or
// fails gives alert 35.
TEST_F(HelpCommands, LaunchOpensTheAddressOrSaysTheBrowserFailed) {
  const char url[] = "https://example.org/labels?a=1&b=two words";
  EXPECT_EQ(Said([&] { Do_Launch(url); }), "");
  EXPECT_EQ(Opened(), std::string(url) + "\n");

  EnvGuard failing("OPENER_STATUS", "3");
  EXPECT_NE(Said([&] { Do_Launch(url); }).find("alert 35:"), std::string::npos);
  Host_Set_Open_Command({P("no-such-program")});
  EXPECT_NE(Said([&] { Do_Launch(url); }).find("alert 35:"), std::string::npos);
}

}  // namespace
