// What the walks of the real program through its panels share: a headless
// run with a script (and a file to open), its snapshots read back, and
// click points taken from the interface's own layout in the test process
// (the item tables' nodes after a configuration of the same window).
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DocTestSupport.h"
#include "app/Velmor4.h"
#include "LabelSessionSupport.h"
#include "NodeTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "pixel/OPUtil.h"
#include "ui/VoskDelt.h"
#include "host/HostScript.h"
#include "platform/QDRect.h"
#include "ui/VoskIntI.h"
#include "platform/LangUtil.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace programshot {

// Runs the program headless on a screen of w x h with the script, its home
// and configuration in dir, opening file when one is given, with the
// environment's further settings env ("NAME=value ..."); err := its
// standard error. The status of std::system.
inline int Run(const std::string& dir, const std::string& script, const std::string& file, int w, int h,
               std::string& err, const std::string& env = "") {
  const std::string path = dir + "/script.txt";
  std::ofstream(path) << script;
  using labelsession::Quoted;
  std::string cmd = "env -i";
  for (const char* name : {"PATH", "TMPDIR", "FONTCONFIG_FILE", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
    if (const char* v = std::getenv(name)) cmd += std::string(" ") + name + "=" + Quoted(v);
  cmd += " HOME=" + Quoted(dir) + " XDG_CONFIG_HOME=" + Quoted(dir + "/config") + " XDG_RUNTIME_DIR=" + Quoted(dir) +
         (env.empty() ? "" : " " + env) + " VELMOR_OPEN_COMMAND=true VELMOR_BACKEND=headless VELMOR_SCREEN=" +
         std::to_string(w) + "x" +
         std::to_string(h) + " VELMOR_SCRIPT=" + Quoted(path) + " " + Quoted(VELMOR4_EXE) +
         (file.empty() ? "" : " " + Quoted(file)) + " >/dev/null 2>" + Quoted(dir + "/err.txt");
  const int rc = std::system(cmd.c_str());
  std::ifstream in(dir + "/err.txt");
  err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return rc;
}

// The colour (0xRRGGBB) at (x, y) of a picture w pixels wide; kOutside, no
// colour at all, for a point the picture does not have.
constexpr uint32 kOutside = 0x1000000;
inline uint32 Px(const std::vector<uint32>& px, int32 w, int x, int y) {
  if (x < 0 || y < 0 || x >= w) return kOutside;
  const size_t at = size_t(y) * size_t(w) + size_t(x);
  return at < px.size() ? px[at] & 0xFFFFFF : kOutside;
}

// A snapshot read back.
struct Shot {
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  bool Read(const std::string& path, std::string& why) { return Host_Read_PNG(path, px, w, h, why); }
  uint32 At(int x, int y) const { return Px(px, w, x, y); }
  // Whether the two differ inside r (window pixels).
  bool Differs(const Shot& o, const Rect& r) const {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (At(x, y) != o.At(x, y)) return true;
    return false;
  }
};

inline std::string At(Point p) { return std::to_string(p.h) + " " + std::to_string(p.v); }
inline Point Middle(const Rect& r) { return Point{int16((r.top + r.bottom) / 2), int16((r.left + r.right) / 2)}; }
inline std::string Click(const Rect& r) { return "click " + At(Middle(r)) + "\n"; }

// The rectangle of an item's node as the last configuration laid it out
// (empty when the item is not shown).
inline Rect Node_Rect(int16 nodex) { return nodex == 0 ? Rect{0, 0, 0, 0} : Node_Get(CURR, nodex).nbounds; }
inline Rect Grid_Rect(a_grid_enum ix) { return Node_Rect(g_grid[ix].nodex); }
inline Rect OneShot_Rect(a_oneshot_enum ix) { return Node_Rect(g_oneshots[ix].nodex); }
inline Rect Toggle_Rect(a_toggle_enum ix) { return Node_Rect(g_toggles[ix].nodex); }
inline Rect Custom_Rect(a_custom_enum ix) { return Node_Rect(g_custom[ix].nodex); }
// The cell of a grid's element in the window.
inline Rect Grid_Cell_Rect(a_grid_enum ix, int16 element) {
  const Rect node = Grid_Rect(ix);
  Rect cell;
  Calc_Grid_Cell(false, ix, element, cell);
  OffsetRect(cell, node.left, node.top);
  return cell;
}

// The interface over the build's picture library, with the documents'
// modules started, for laying out the panels as the program does.
class PanelTree : public nodetest::NodeTree {
 protected:
  void SetUp() override {
    nodetest::NodeTree::SetUp();
    if (HasFatalFailure()) return;
    doctests::Start_Document_Layer();
  }
  void TearDown() override {
    doctests::Close_Document();
    // Opening and closing the document marked state variables that no
    // interaction settled: they leave with the test.
    SV_Init();
    nodetest::NodeTree::TearDown();
  }
  // The program as on its first start: its default preferences in English,
  // the window at its default place on the screen, the bars; snapshots go to
  // <build>/snapshots/<name> and files to a scratch folder with a config
  // folder in it (shots_, dir_).
  void Start_First_Run(const std::string& name) {
    const std::string exe = VELMOR4_EXE;
    shots_ = exe.substr(0, exe.find_last_of('/')) + "/snapshots/" + name;
    std::filesystem::create_directories(shots_);
    dir_ = (std::filesystem::temp_directory_path() / ("velmor-" + name + "-" + std::to_string(::getpid()))).string();
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ + "/config");
    VoskStat_Init();
    os_language = ENGLISH;
    Prefs_SetToDefault();
    Calc_Default_WindowPos(gs.pref.tot_window);
    Bar_Init();
  }
  // One action of a person: the state variables settle at its end.
  template <typename F>
  static void Step(F f) {
    SV_Begin_Interaction();
    f();
    SV_End_Interaction();
  }
  // A new document of the layout named label (the disc printer's CD
  // layout unless told), as the layout chooser opens it.
  void Open_Disc(const char* label = labelsession::kCdLayout) {
    const uint32 tx = Find_Template(CStrSpan(label, std::strlen(label)));
    ASSERT_NE(tx, 0u);
    Step([&] { ASSERT_TRUE(Proj_PickLayout2(tx)); });
    ASSERT_TRUE(g_doc.doc_open);
  }
  bool Write_Project(const std::string& path) {
    FSSpec spec{};
    return Path_From_Text(spec, path.c_str()) && Doc_Write(FMT_DISC, spec);
  }
  // The script's click on the phase strip's button of phase.
  std::string Phase_Click(a_phase phase) {
    Rect button;
    EXPECT_TRUE(Phase_Button_Rect(phase, Node_Get(CURR, nodetest::Slot_Of(PHASE_CUST_LOC)).nbounds, button));
    return Click(button);
  }
  // The script's lines that take snapshot name (after a wait of ticks).
  std::string Shot_Line(const std::string& name, int ticks = 10) {
    const std::string path = shots_ + "/" + name + ".png";
    std::filesystem::remove(path);
    return "wait " + std::to_string(ticks) + "\nsnapshot " + path + "\n";
  }
  Shot Read(const std::string& name) {
    Shot s;
    std::string why;
    EXPECT_TRUE(s.Read(shots_ + "/" + name + ".png", why)) << name << ": " << why;
    return s;
  }
  std::string shots_, dir_;
};

}  // namespace programshot
