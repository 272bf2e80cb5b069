// Random sessions of the real program: from a seed, a VELMOR_SCRIPT script of
// menu commands (by number and through the menu bar), the tool panels'
// controls, clicks and drags anywhere in the window, keys, typed text, the
// answers of the dialogs they open, and opening and importing the files of
// the session's folder (projects, damaged copies of them, pictures). The
// same seed gives the same script; the program runs it on its manual clock,
// so a session that fails once fails every time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SessionControls.h"

namespace session {

// A small generator of its own (splitmix64), the same on every machine.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n - 1 (n > 0).
  int Below(int n) { return n <= 0 ? 0 : int(Next() % uint64_t(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <typename T>
  const T& Pick(const std::vector<T>& v) { return v[size_t(Below(int(v.size())))]; }

 private:
  uint64_t state_;
};

// What a session works with.
struct Setting {
  std::vector<Menu> menus;           // Read_Menus of the resources
  std::vector<int> bar_titles;       // the general menu bar's menus, in order
  std::vector<std::string> opens;    // files the open and import dialogs are answered with
  std::string save_dir;              // where save dialogs are answered to save
  int width = 1024, height = 768;    // the main window's client area, about
};

// The commands left out of random sessions: Quit and the start screen's
// Quit button end the session (it comes last).
inline bool Left_Out(int id) { return id == 311 || id == Panel_Oneshot(PROJ_QUIT_BUTTON); }

// One step of a session: a few script lines.
inline std::string Step(Random& r, const Setting& s, int step) {
  std::string out;
  // Now and then answers for whatever dialog the next command opens: an
  // alert's button, a file to open, a place to save, a colour.
  if (r.Chance(30)) out += Answer_Alert(r.Between(1, 3));
  if (r.Chance(8) && !s.opens.empty()) out += Answer_Open(r.Pick(s.opens));
  if (r.Chance(6))
    out += Answer_Save(s.save_dir + "/saved-" + std::to_string(step) + (r.Chance(80) ? ".CD4" : ".PNG"));
  if (r.Chance(3)) out += Answer_Color(uint32_t(r.Next()));
  const int what = r.Below(100);
  if (what < 16) {
    // A menu command by its number.
    const Menu& m = r.Pick(s.menus);
    if (!m.items.empty()) {
      const int id = r.Pick(m.items);
      if (id != 0 && !Left_Out(id)) out += Menu_Command(id);
    }
  } else if (what < 22) {
    // Through the menu bar.
    if (!s.bar_titles.empty()) {
      const int title = r.Below(int(s.bar_titles.size()));
      int n = 0;
      for (const Menu& m : s.menus)
        if (m.id == s.bar_titles[size_t(title)])
          for (int id : m.items) n += id != 0 && !Left_Out(id);
      if (n > 0) out += Menu_Bar_Choice(title, r.Below(n));
    }
  } else if (what < 27) {
    // Open one of the files, or import it.
    if (!s.opens.empty()) {
      out += Answer_Alert(r.Between(2, 3));  // leave the open document unsaved, or keep it
      out += Answer_Open(r.Pick(s.opens));
      out += Menu_Command(r.Chance(75) ? 302 : 1205);
    }
  } else if (what < 45) {
    // A tool panel's control.
    switch (r.Below(6)) {
      case 0:
      case 1: {
        const int id = Panel_Oneshot(r.Below(kOneshots));
        if (!Left_Out(id)) out += Menu_Command(id);
        break;
      }
      case 2: out += Menu_Command(Panel_Slider(r.Below(kSliders), r.Chance(50))); break;
      case 3:
        out += Answer_Alert(r.Between(1, 2));
        out += Menu_Command(Panel_Bar(r.Below(kBars)));
        break;
      case 4: out += Menu_Command(Panel_Phase(r.Below(kPhases))); break;
      default: out += Menu_Command(Panel_Text_Layout(r.Below(kTextLayouts))); break;
    }
  } else if (what < 65) {
    // A click anywhere, now and then on the menu bar above the window.
    const int y = r.Chance(5) ? -r.Between(1, 18) : r.Below(s.height);
    out += Click(r.Below(s.width), y);
  } else if (what < 75) {
    // A drag of a few steps.
    std::vector<Spot> path;
    Spot p{r.Below(s.width), r.Below(s.height)};
    path.push_back(p);
    for (int i = r.Between(1, 6); i > 0; --i) {
      p.x = std::max(0, std::min(s.width - 1, p.x + r.Between(-120, 120)));
      p.y = std::max(0, std::min(s.height - 1, p.y + r.Between(-120, 120)));
      path.push_back(p);
    }
    out += Drag(path);
  } else if (what < 90) {
    out += Key(r.Pick(Keys()));
  } else if (what < 97) {
    static const std::vector<std::string> texts = {"Track 1", "A", "Summer Mix 2024", "\xC3\xA9t\xC3\xA9",
                                                   "\xE6\x97\xA5\xE6\x9C\xAC", "0123456789", "a b", "x"};
    out += Type(r.Pick(texts));
    if (r.Chance(50)) out += Key("Return");
  } else {
    out += Wait(r.Between(1, 40));
  }
  return out;
}

// A whole session of `steps` steps, ending with Quit.
inline std::string Generate(uint64_t seed, int steps, const Setting& s) {
  Random r(seed);
  std::string out = "# session " + std::to_string(seed) + ", " + std::to_string(steps) + " steps\n";
  for (int i = 0; i < steps; ++i) out += Step(r, s, i);
  out += Answer_Alert(3);  // "Don't Save" at the end
  out += "quit\n";
  return out;
}

}  // namespace session
