// The layout designer in the real program, driven by a script as a person
// at the keyboard would: Help > Design a new layout..., the golden file's
// two sections typed in, Return to export and the save dialog answered; the
// file written is the golden file byte for byte. And Print Preview, which
// prints the design's outline sheet on the file printer.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <sstream>
#include <string>

#include "DesignScriptSupport.h"
#include "OpenLogSupport.h"
#include "PrintSheetSupport.h"
#include "ProgramShotSupport.h"
#include "TempDirSupport.h"
#include "ui/VoskAskDesign.h"
#include "ui/VoskDisp.h"

namespace {

using designscript::Keys;
using designscript::Tab;
using designscript::Type;

std::string Golden_Design_Script(const std::string& out) {
  return "wait 30\n" + designscript::Golden_Design_Typed() + designscript::Export_Design(out) + "quit\n";
}

TEST(DesignProgram, GoldenDesignTypedInAndExported) {
  const std::string dir = testdir::Make_Temp_Dir("velmor-design-e2e");
  const std::string out = dir + "/sheet.txt";
  std::string err;
  const int rc = programshot::Run(dir, Golden_Design_Script(out), "", 1024, 768, err);
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_EQ(err.find("alert"), std::string::npos) << err;
  EXPECT_EQ(testdir::Read_Text(out), testdir::Read_Text(std::string(VELMOR_FIXTURES_DIR) + "/design/two_sections.txt"));
  testdir::Remove_Dir(dir);
}

// Ten cards of 85 x 55 mm, two across from (20, 10) mm, then back to
// Print Preview (19 fields before the height, round past the buttons),
// pressed, its print dialog and the alert of the file printer answered.
std::string Cards_Print_Script() {
  std::ostringstream s;
  s << "wait 30\n"
    << "menu " << (MENU_HELP + 6) << "\n"
    << "wait 10\n"
    << Type("Cards") << Tab(10) << Keys("Down", UNIT_RECT)
    << Tab() << Type("2") << Tab() << Type("5") << Tab() << Type("20") << Tab() << Type("10")
    << Tab() << Type("85") << Tab() << Type("55")
    << Keys("Shift+Tab", 19) << "wait 5\n"
    << "key Space\n"
    << "answer alert 1\n"
    << "answer alert 1\n"
    << "wait 20\n"
    << "key Escape\n"
    << "wait 10\n"
    << "quit\n";
  return s.str();
}

TEST(DesignProgram, PrintPreviewPrintsTheOutlineSheet) {
  const std::string dir = testdir::Make_Temp_Dir("velmor-design-print");
  const std::string page_path = dir + "/page.png";
  const int rc = openlog::Run(dir, Cards_Print_Script(), "true",
                              "VELMOR_PRINT=file VELMOR_PRINT_OUTPUT=" + labelsession::Quoted(page_path));
  const std::string err = testdir::Read_Text(dir + "/stderr.txt");
  ASSERT_TRUE(WIFEXITED(rc)) << rc;
  EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
  EXPECT_NE(err.find("alert 73:"), std::string::npos) << err;
  const printsheet::Page page = printsheet::Read_Png_Page(page_path);
  ASSERT_GT(page.width, 0) << err;
  using printsheet::Dots;
  // Each card's left and right edges run down its height; inside, away
  // from the centre mark, the sheet stays blank.
  auto dark_near = [&](int32 x, int32 y) {
    for (int32 dx = -3; dx <= 3; ++dx)
      if (page.Dark(x + dx, y)) return true;
    return false;
  };
  for (double left : {20.0, 105.0})
    for (int row = 0; row < 4; ++row) {
      const int32 y = Dots(10 + 55 * row + 27.5 + 10);
      EXPECT_TRUE(dark_near(Dots(left), y)) << left << " " << row;
      EXPECT_TRUE(dark_near(Dots(left + 85), y)) << left << " " << row;
      EXPECT_FALSE(page.Dark(Dots(left + 15), y)) << left << " " << row;
    }
  EXPECT_FALSE(dark_near(Dots(10), Dots(100))) << "nothing left of the cards";
  testdir::Remove_Dir(dir);
}

}  // namespace
