// The layout designer typed into by a script as a person at the keyboard
// would: Help > Design a new layout... and the two sections of the golden
// file (fixtures/design/two_sections.txt), then Return to export it with
// the save dialog answered.
#pragma once

#include <sstream>
#include <string>

#include "platform/VoskDef.h"
#include "ui/VoskDisp.h"

namespace designscript {

// Key presses of the script.
inline std::string Keys(const std::string& key, int n) {
  std::string s;
  for (int k = 0; k < n; ++k) s += "key " + key + "\n";
  return s;
}
inline std::string Tab(int n = 1) { return Keys("Tab", n); }
inline std::string Type(const std::string& text) { return "type " + text + "\n"; }

// The designer opened and the golden design typed in, from the name field
// on, in the fields' tab order: name, CD Printer, paper, its width and
// height, orientation, pitch, units, section, Clear Section, kind, across,
// down, the box, the pitches, the measures, the bleeds, the five flags,
// then Print Preview, Cancel, Export and the name again.
inline std::string Golden_Design_Typed() {
  std::ostringstream s;
  s << "menu " << (MENU_HELP + 6) << "\n"
    << "wait 10\n"
    << Type("CD and inserts") << Tab(2) << Keys("Down", 5)  // A4
    << Tab(8) << Keys("Down", UNIT_CD)                       // portrait kept; the kind's entry is kind + 1
    << Tab() << Type("1") << Tab() << Type("2")              // across, down
    << Tab() << Type("45") << Tab() << Type("20") << Tab() << Type("120") << Tab() << Type("120")
    << Tab(2) << Type("5")                                   // pitch y
    << Tab() << Type("41")                                   // meas 1
    << Tab(4) << Type("1.5") << Tab() << Type("1.5") << Tab() << Type("1.5") << Tab() << Type("1.5")
    << Tab(3) << "key Space\n"                               // Clip to prevent overlap
    << Tab(2) << "key Space\n"                               // Print Cropmarks
    << Tab(12) << Keys("Down", 2)                            // round to section 3
    << Tab(2) << Keys("Down", UNIT_JEWEL_SPINE)
    << Tab() << Type("1") << Tab() << Type("2")
    << Tab() << Type("20.25") << Tab() << Type("270") << Tab() << Type("117.5") << Tab() << Type("6.5")
    << Tab(2) << Type("10")
    << "wait 10\n";
  return s.str();
}
// Return exports it; the save dialog answered with out.
inline std::string Export_Design(const std::string& out) {
  return "key Return\nanswer save " + out + "\nwait 10\n";
}

}  // namespace designscript
