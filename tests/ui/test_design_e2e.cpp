// The layout designer in the real program, driven by a script as a person
// at the keyboard would: Help > Design a new layout..., the golden file's
// two sections typed in, Return to export and the save dialog answered; the
// file written is the golden file byte for byte.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <sstream>
#include <string>

#include "ProgramShotSupport.h"
#include "TempDirSupport.h"
#include "ui/VoskAskDesign.h"
#include "ui/VoskDisp.h"

namespace {

// Key presses of the script.
std::string Keys(const std::string& key, int n) {
  std::string s;
  for (int k = 0; k < n; ++k) s += "key " + key + "\n";
  return s;
}
std::string Tab(int n = 1) { return Keys("Tab", n); }
std::string Type(const std::string& text) { return "type " + text + "\n"; }

// The script from the name field on, in the fields' tab order: name, CD
// Printer, paper, its width and height, orientation, pitch, units, section,
// Clear Section, kind, across, down, the box, the pitches, the measures, the
// bleeds, the five flags, then Print Preview, Cancel, Export and the name
// again.
std::string Golden_Design_Script(const std::string& out) {
  std::ostringstream s;
  s << "wait 30\n"
    << "menu " << (MENU_HELP + 6) << "\n"
    << "wait 10\n"
    << Type("CD and inserts") << Tab(2) << Keys("Down", 5)  // A4
    << Tab(3) << Keys("Down", 1)                             // Landscape
    << Tab(5) << Keys("Down", UNIT_CD)                       // the kind's entry is kind + 1
    << Tab() << Type("1") << Tab() << Type("2")              // across, down
    << Tab() << Type("45") << Tab() << Type("20") << Tab() << Type("120") << Tab() << Type("120")
    << Tab(2) << Type("5")                                   // pitch y
    << Tab() << Type("41")                                   // meas 1
    << Tab(4) << Type("1.5") << Tab() << Type("1.5") << Tab() << Type("1.5") << Tab() << Type("1.5")
    << Tab() << "key Space\n"                                // Staggered
    << Tab(4) << "key Space\n"                               // Print Cropmarks
    << Tab(12) << Keys("Down", 2)                            // round to section 3
    << Tab(2) << Keys("Down", UNIT_JEWEL_SPINE)
    << Tab() << Type("1") << Tab() << Type("2")
    << Tab() << Type("20.25") << Tab() << Type("262") << Tab() << Type("117.5") << Tab() << Type("6.5")
    << Tab(2) << Type("10")
    << "wait 10\n"
    << "key Return\n"
    << "answer save " << out << "\n"
    << "wait 10\n"
    << "quit\n";
  return s.str();
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

}  // namespace
