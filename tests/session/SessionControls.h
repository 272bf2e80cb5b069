// Pressing the program's controls from a script: the lines of VELMOR_SCRIPT
// that press a menu command by its number or through the menu bar, a tool
// panel's control by its command number, a key, a click or a drag in the
// window, and the answers queued for the dialogs they open. The commands are
// read from the program's own tables (the menus' resource text, the panels'
// numbering), so a new command is pressed without a change here.
#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "objects/VoskText.h"
#include "platform/VoskDef.h"
#include "ui/VoskDisp.h"
#include "ui/VoskIntI.h"

namespace session {

// One menu of the menu resources: its id and its commands in item order
// (0 for a separator, which the menu bar's keys pass over).
struct Menu {
  int id = 0;
  std::vector<int> items;
};

// The menus of resources/menus.txt ([MENU N] blocks, their "u16 FLAGS ID"
// item lines). Empty when the file cannot be read.
inline std::vector<Menu> Read_Menus(const std::string& menus_txt) {
  std::vector<Menu> menus;
  std::ifstream in(menus_txt);
  std::string line;
  bool in_menu = false, counted = false;
  while (std::getline(in, line)) {
    if (line.rfind("[MENU ", 0) == 0) {
      Menu m;
      m.id = std::atoi(line.c_str() + 6);
      // Translations ([MENU ID LANG]) repeat the English commands.
      const std::string head = line.substr(0, line.find(']'));
      in_menu = head.find(' ', 6) == std::string::npos;
      counted = false;
      if (in_menu) menus.push_back(m);
      continue;
    }
    if (!line.empty() && line[0] == '[') in_menu = false;
    if (!in_menu || line.rfind("u16 ", 0) != 0) continue;
    std::istringstream fields(line.substr(4));
    int a = -1, b = -1;
    fields >> a;
    if (!counted) {  // the item count
      counted = true;
      continue;
    }
    if (!(fields >> b)) continue;
    menus.back().items.push_back((a & 2048) != 0 ? 0 : b);
  }
  return menus;
}

// Script lines, one command each, ending in a line feed.
inline std::string Menu_Command(int id) { return "menu " + std::to_string(id) + "\n"; }
inline std::string Key(const std::string& combo) { return "key " + combo + "\n"; }
inline std::string Type(const std::string& text) { return "type " + text + "\n"; }
inline std::string Click(int x, int y) { return "click " + std::to_string(x) + " " + std::to_string(y) + "\n"; }
inline std::string Wait(int ticks) { return "wait " + std::to_string(ticks) + "\n"; }
inline std::string Answer_Alert(int item) { return "answer alert " + std::to_string(item) + "\n"; }
inline std::string Answer_Open(const std::string& path) { return "answer open " + path + "\n"; }
inline std::string Answer_Save(const std::string& path) { return "answer save " + path + "\n"; }
inline std::string Answer_Folder(const std::string& path) { return "answer folder " + path + "\n"; }
inline std::string Answer_Color(uint32_t rgb) {
  char text[16];
  std::snprintf(text, sizeof text, "#%06X", unsigned(rgb & 0xFFFFFF));
  return std::string("answer color ") + text + "\n";
}

// A press and drag of the left button along the points, released at the last.
struct Spot {
  int x, y;
};
inline std::string Drag(const std::vector<Spot>& path) {
  if (path.empty()) return std::string();
  std::string s = "down " + std::to_string(path.front().x) + " " + std::to_string(path.front().y) + "\n";
  for (size_t i = 1; i < path.size(); ++i) s += "move " + std::to_string(path[i].x) + " " + std::to_string(path[i].y) + "\n";
  s += "up " + std::to_string(path.back().x) + " " + std::to_string(path.back().y) + "\n";
  return s;
}

// Item `item` (0-based among the commands, separators passed over) of menu
// `title` (0-based on the bar) chosen through the menu bar's keys: F10 opens
// the bar on its first title, Right moves along the titles, Down opens the
// menu and walks its items, Return chooses.
inline std::string Menu_Bar_Choice(int title, int item) {
  std::string s = Key("F10");
  for (int i = 0; i < title; ++i) s += Key("Right");
  s += Key("Down");
  for (int i = 0; i < item; ++i) s += Key("Down");
  return s + Key("Return");
}

// The tool panels' controls by command number (ui/VoskDisp.h).
inline int Panel_Oneshot(int button) { return PANEL_ONESHOT + button; }
inline int Panel_Slider(int slider, bool up) { return (up ? PANEL_SLIDER_UP : PANEL_SLIDER_DOWN) + slider; }
inline int Panel_Bar(int bar) { return PANEL_BAR + bar; }
inline int Panel_Phase(int phase) { return PANEL_PHASE + phase; }
inline int Panel_Text_Layout(int layout) { return PANEL_TEXT_LAYOUT + layout; }
constexpr int kOneshots = NONESHOTS;
constexpr int kSliders = NSLIDERS;
constexpr int kBars = NBARS;
constexpr int kPhases = NULL_PHASE + 1;
constexpr int kTextLayouts = NTEXT_LAYOUTS;

// Keys a person presses: the accelerators' letters with Ctrl, editing and
// moving keys, function keys, Alt with the menus' mnemonics.
inline const std::vector<std::string>& Keys() {
  static const std::vector<std::string> keys = [] {
    std::vector<std::string> k = {"Escape", "Return", "KeypadEnter", "Tab", "Shift+Tab", "Space", "Backspace",
                                  "Delete", "Insert", "Home", "End", "PageUp", "PageDown", "Up", "Down",
                                  "Left", "Right", "Shift+Left", "Shift+Right", "Ctrl+Left", "Ctrl+Right",
                                  "Ctrl++", "Ctrl+-", "Ctrl+Shift+S", "Ctrl+."};
    for (char c = 'A'; c <= 'Z'; ++c) {
      k.push_back(std::string("Ctrl+") + c);
      k.push_back(std::string(1, c));
    }
    for (char c : std::string("FEOZXIAH")) k.push_back(std::string("Alt+") + c);
    for (int f = 1; f <= 12; ++f) k.push_back("F" + std::to_string(f));
    for (char c = '0'; c <= '9'; ++c) k.push_back(std::string(1, c));
    return k;
  }();
  return keys;
}

}  // namespace session
