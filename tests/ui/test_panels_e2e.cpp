// The walk through the panels on the real program: click points taken from
// the panels' own layout (the test process lays the window out as the
// program does, step by step, with the same procedures), one scripted
// headless run, and each panel saved under snapshots/panels for looking at.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ProgramShotSupport.h"
#include "SoundTestSupport.h"
#include "app/Velmor4.h"
#include "doc/VoskFile.h"
#include "doc/VoskTmpl.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "pixel/DrawUtilList.h"
#include "platform/LangUtil.h"
#include "platform/VoskDef.h"
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskDisp.h"
#include "ui/VoskMenu.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace {

namespace fs = std::filesystem;
using programshot::Click;
using programshot::Grid_Cell_Rect;
using programshot::Grid_Rect;
using programshot::OneShot_Rect;
using programshot::Shot;

constexpr int kScreenW = 1280, kScreenH = 1024;

// The tool grid's cells by tool, for the snapshots' names.
constexpr const char* kToolNames[NGRID_TOOLS] = {
    "brush", "eraser",  "spray",    "polygon",     "oval",       "ringsector", "rectangle", "hand",
    "stamp", "marquee", "bucket",   "line",        "framedoval", "framedring", "framedrect", "eyedropper",
};
constexpr const char* kPhaseNames[NPHASE_BUTTONS] = {"preview", "paint", "canvas", "symbol", "photo", "grid", "text"};

// The test process follows the program: each step runs the procedures the
// click runs in the program, inside an interaction, so that the panels are
// laid out again as they are there.
template <typename F>
void Step(F f) {
  SV_Begin_Interaction();
  f();
  SV_End_Interaction();
}

// A photo of 300 x 200 pixels placed as the program places one from a file
// (selected alone).
void Place_Photo() {
  a_masked_gworld mw;
  Null_MW(mw);
  mw.bounds = Rect{0, 0, 200, 300};
  ASSERT_EQ(New_GWorld(mw.bounds, 32, nullptr, mw.fore), 0);
  Photo_Paste(mw, SOURCE_CLIPBOARD);
}

class PanelWalk : public programshot::PanelTree {
 protected:
  void SetUp() override {
    programshot::PanelTree::SetUp();
    if (HasFatalFailure()) return;
    Start_First_Run("panels");
    // The clicks' sounds are the program's to play.
    sounds_.emplace();
    gs.controller = HUMAN;
    gs.tool_show = true;
    gs.curr_phase = NODOC_PHASE;
    Config_All();
  }
  void TearDown() override {
    fs::remove_all(dir_);
    Bar_Stop();
    sounds_.reset();
    programshot::PanelTree::TearDown();
  }
  // The snapshot line of panel name (NN-phase-tool), numbered in order.
  std::string Snap(const std::string& name) {
    char nn[8];
    std::snprintf(nn, sizeof nn, "%02d-", int(first_ + names_.size()));
    names_.push_back(nn + name);
    const std::string path = shots_ + "/" + names_.back() + ".png";
    fs::remove(path);
    paths_.push_back(path);
    return "wait 5\nsnapshot " + path + "\n";
  }
  // The index of the snapshot named name.
  size_t Ix(const std::string& name) const {
    for (size_t i = 0; i < names_.size(); ++i)
      if (names_[i].substr(3) == name) return i;
    ADD_FAILURE() << "no snapshot " << name;
    return 0;
  }
  // A click on a grid's element, here and in the script.
  std::string Grid(a_grid_enum ix, int16 element) {
    const Rect cell = Grid_Cell_Rect(ix, element);
    EXPECT_FALSE(EmptyRect(cell)) << "grid " << int(ix) << " is not shown";
    Step([&] { Grid_Click(ix, element); });
    return Click(cell);
  }
  std::string Phase(a_phase phase) {
    Rect button;
    EXPECT_TRUE(Phase_Button_Rect(phase, Node_Get(CURR, nodetest::Slot_Of(PHASE_CUST_LOC)).nbounds, button));
    Step([&] { SV_Set_Enum(SV_PHASE, phase); });
    return Click(button);
  }
  // A new document of the disc printer's CD layout, as the layout chooser
  // opens it.
  void Open_Disc() {
    const uint32 tx = Find_Template(CStrSpan(labelsession::kCdLayout, std::strlen(labelsession::kCdLayout)));
    ASSERT_NE(tx, 0u);
    Step([&] { ASSERT_TRUE(Proj_PickLayout2(tx)); });
    ASSERT_TRUE(g_doc.doc_open);
  }
  // The open document written as a project by the program's writer.
  static bool Write_Project(const std::string& path) {
    FSSpec spec{};
    return Path_From_Text(spec, path.c_str()) && Doc_Write(FMT_DISC, spec);
  }
  // A photo file of 300 x 200 pixels of blue (empty: not written).
  std::string Write_Photo() {
    const std::string path = dir_ + "/photo.png";
    std::vector<uint32> px(300 * 200, 0xFF3050E0u);
    std::string why;
    return Host_Write_PNG(path, px.data(), 300, 200, why) ? path : std::string();
  }
  // Runs the script (opening file when one is given): a normal end with no
  // alert, and each change seen.
  void Run_And_Check(const std::string& script, const std::string& file) {
    std::string err;
    const int rc = programshot::Run(dir_, script, file, kScreenW, kScreenH, err);
    ASSERT_TRUE(WIFEXITED(rc)) << rc;
    EXPECT_EQ(WEXITSTATUS(rc), 0) << err;
    EXPECT_EQ(err.find("alert"), std::string::npos) << err;
    Check_Changes();
  }
  // The snapshots read back: the program's window is the test's, and each
  // change shows.
  void Check_Changes() {
    std::vector<Shot> shots(paths_.size());
    for (size_t i = 0; i < paths_.size(); ++i) {
      std::string why;
      ASSERT_TRUE(shots[i].Read(paths_[i], why)) << names_[i] << ": " << why;
    }
    Rect interior;
    GetWindowInterior(gs.outer_window, interior);
    ASSERT_EQ(shots[0].w, interior.right - interior.left);
    ASSERT_EQ(shots[0].h, interior.bottom - interior.top);
    for (const Change& c : changes_) {
      Rect within;
      SectRect(c.area, Rect{0, 0, int16(shots[0].h), int16(shots[0].w)}, within);
      EXPECT_TRUE(shots[c.after].Differs(shots[c.before], within))
          << c.what << ": " << names_[c.after] << " shows no change from " << names_[c.before];
    }
  }
  std::optional<soundtest::SoundRecorder> sounds_;
  size_t first_ = 0;  // the number of the walk's first snapshot
  std::vector<std::string> names_, paths_;
  // Where the snapshots should differ, as pairs of snapshot and area.
  struct Change {
    size_t before, after;
    Rect area;
    std::string what;
  };
  std::vector<Change> changes_;
};

TEST_F(PanelWalk, StartScreenLayoutChooserPhasesToolsPhotosAndSymbol) {
  ASSERT_EQ(gs.curr_phase, NODOC_PHASE);
  const std::string photo = Write_Photo();
  ASSERT_FALSE(photo.empty());
  const Rect whole{0, 0, kScreenH, kScreenW};
  std::string s = "wait 10\n";

  // The start screen's three tabs, and back to the first.
  s += Snap("start-recent");
  s += Grid(PROJ_AGE_GRID, 1) + Snap("start-documents");
  s += Grid(PROJ_AGE_GRID, 2) + Snap("start-examples");
  s += Grid(PROJ_AGE_GRID, 0);
  changes_.push_back({Ix("start-recent"), Ix("start-documents"), whole, "the documents' tab"});
  changes_.push_back({Ix("start-documents"), Ix("start-examples"), whole, "the examples' tab"});

  // "Choose a layout...": the disc kind chosen, its first layout by the
  // keys, OK.
  const Rect pick = OneShot_Rect(PROJ_PICKLAYOUT_BUTTON);
  ASSERT_FALSE(EmptyRect(pick));
  Step([] { g_oneshots[PROJ_PICKLAYOUT_BUTTON].one_proc(); });
  ASSERT_EQ(gs.curr_phase, PAPER_PHASE);
  s += Click(pick) + Snap("paper-all");
  // Sorted by kind.
  if (gs.grid_vals[PROJ_SORT_GRID] != 0) s += Grid(PROJ_SORT_GRID, 0);
  const a_listbox_desc& kinds = gs.paper_kind_desc;
  int32 cd_row = 0;
  for (int32 r = 1; r <= kinds.nlist && cd_row == 0; ++r)
    if (kinds.list[r - 1].key == UNIT_CD) cd_row = r;
  ASSERT_GT(cd_row, 0);
  int32 firstvis = 0, lastvis = 0;
  ListBox_Get_Vis_Range(kinds, firstvis, lastvis);
  ASSERT_TRUE(cd_row >= firstvis && cd_row <= lastvis) << "the disc kind is not in sight";
  Rect row;
  ListBox_Calc_Box(cd_row, kinds, row);
  Step([&] { PaperKind_Set(cd_row); });
  s += Click(row) + "key End\nkey Home\n";
  Step([] { PaperList_Set(1); });
  const uint32 layout = Get_Selected_TemplateX();
  ASSERT_NE(layout, 0u);
  s += Snap("paper-disc");
  changes_.push_back({Ix("paper-all"), Ix("paper-disc"), whole, "the disc kind chosen"});
  const Rect ok = OneShot_Rect(PAPER_OK_BUTTON);
  ASSERT_FALSE(EmptyRect(ok));
  Step([] { Paper_OK(); });
  ASSERT_TRUE(g_doc.doc_open);
  ASSERT_EQ(gs.curr_phase, PREVIEW_PHASE);
  s += Click(ok) + Snap("preview");

  // Each phase button, the preview's last.
  size_t before = Ix("preview");
  for (int16 b = 1; b <= NPHASE_BUTTONS; ++b) {
    const int16 i = b % NPHASE_BUTTONS;
    const a_phase phase = PHASE_BUTTON_PHASES[i];
    s += Phase(phase) + Snap(std::string(kPhaseNames[i]) + "-phase");
    changes_.push_back({before, names_.size() - 1, whole, std::string("the ") + kPhaseNames[i] + " phase"});
    before = names_.size() - 1;
  }

  // The paint phase: each tool of the grid, the brush (current) last; a
  // tool's cell changes its look when chosen.
  s += Phase(PAINT_PHASE);
  ASSERT_EQ(gs.grid_vals[TOOL_GRID], BRUSH_TOOL);
  s += Snap("paint-start");
  before = names_.size() - 1;
  for (int16 k = 1; k <= NGRID_TOOLS; ++k) {
    const int16 tool = k % NGRID_TOOLS;
    const Rect cell = Grid_Cell_Rect(TOOL_GRID, tool);
    s += Grid(TOOL_GRID, tool);
    ASSERT_EQ(gs.grid_vals[TOOL_GRID], tool);
    s += Snap(std::string("paint-") + kToolNames[tool]);
    changes_.push_back({before, names_.size() - 1, cell, std::string("the cell of ") + kToolNames[tool]});
    before = names_.size() - 1;
  }
  // The branches: the eraser's rectangle and oval, the marquee's kinds, the
  // gradient's kinds.
  s += Grid(TOOL_GRID, ERASER_TOOL);
  s += Grid(ERASER_GRID, 9) + Snap("paint-eraser9");
  changes_.push_back({names_.size() - 2, names_.size() - 1, whole, "eraser 9"});
  s += Grid(ERASER_GRID, 10) + Snap("paint-eraser10");
  changes_.push_back({names_.size() - 2, names_.size() - 1, Grid_Cell_Rect(ERASER_GRID, 10), "eraser 10"});
  s += Grid(TOOL_GRID, SELECT_TOOL);
  const int16 nmarq = Grid_Elements(MARQ_KIND_GRID);
  ASSERT_GE(nmarq, 2);
  for (int16 e = nmarq - 1; e >= 0; --e) {
    s += Grid(MARQ_KIND_GRID, e) + Snap("paint-marquee-kind" + std::to_string(e));
    if (e < nmarq - 1)
      changes_.push_back({names_.size() - 2, names_.size() - 1, Grid_Cell_Rect(MARQ_KIND_GRID, e), "marquee kind"});
  }
  s += Grid(TOOL_GRID, SRECT_TOOL);
  s += Grid(TAG_GRADIENT, 0);
  ASSERT_EQ(int(gs.curr_bar), int(GRADIENT_BAR));
  ASSERT_EQ(gs.fill_kind, GRADIENT_FILL);
  const int16 ngrad = Grid_Elements(GRAD_KIND_GRID);
  ASSERT_GE(ngrad, 2);
  for (int16 e = ngrad - 1; e >= 0; --e) {
    s += Grid(GRAD_KIND_GRID, e) + Snap("paint-gradient-kind" + std::to_string(e));
    if (e < ngrad - 1)
      changes_.push_back({names_.size() - 2, names_.size() - 1, Grid_Cell_Rect(GRAD_KIND_GRID, e), "gradient kind"});
  }
  // A photo placed; each page of its panel, each edge on the edge page.
  s += Phase(PHOTO_PHASE) + Snap("photo-none");
  const Rect new_photo = OneShot_Rect(PHOTO_NEW_BUTTON);
  ASSERT_FALSE(EmptyRect(new_photo));
  s += "answer open " + photo + "\n" + Click(new_photo) + Snap("photo-placed");
  Step(Place_Photo);
  changes_.push_back({names_.size() - 2, names_.size() - 1, whole, "a photo placed"});
  const int16 npages = Grid_Elements(PHOTO_PHASE_GRID);
  ASSERT_GE(npages, 4);
  for (int16 page = 1; page < npages; ++page) {
    s += Grid(PHOTO_PHASE_GRID, page) + Snap("photo-page" + std::to_string(page));
    changes_.push_back({names_.size() - 2, names_.size() - 1, whole, "photo page " + std::to_string(page)});
    if (page != 2) continue;
    const int16 nedges = Grid_Elements(PHOTO_EDGE_GRID), first_edge = gs.grid_vals[PHOTO_EDGE_GRID];
    for (int16 k = 1; k <= nedges; ++k) {
      const int16 edge = int16((first_edge + k) % nedges);
      s += Grid(PHOTO_EDGE_GRID, edge) + Snap("photo-edge" + std::to_string(edge));
      changes_.push_back({names_.size() - 2, names_.size() - 1, Grid_Rect(PHOTO_EDGE_GRID), "photo edge"});
    }
  }
  s += Grid(PHOTO_PHASE_GRID, 0);
  // Two more, all three selected: the alignment buttons.
  for (int i = 0; i < 2; ++i) {
    s += "answer open " + photo + "\n" + labelsession::Menu(PANEL_ONESHOT + PHOTO_NEW_BUTTON);
    Step(Place_Photo);
  }
  s += labelsession::Menu(MENU_EDIT + EDIT_SELECT_ALL) + Snap("photo-three");
  Step([] { DoMenuEvent(MENU_EDIT, EDIT_SELECT_ALL, false, false); });
  changes_.push_back({Ix("photo-page3"), Ix("photo-three"), whole, "three photos selected"});
  for (a_oneshot_enum b : {OBJ_ALIGN_H_L, OBJ_ALIGN_H_C, OBJ_ALIGN_H_R, OBJ_SPREAD_H, OBJ_ALIGN_V_T, OBJ_ALIGN_V_C,
                           OBJ_ALIGN_V_B, OBJ_SPREAD_V}) {
    const Rect r = OneShot_Rect(b);
    ASSERT_FALSE(EmptyRect(r)) << "alignment button " << int(b);
    s += Click(r) + Snap("photo-align" + std::to_string(int(b)));
  }
  changes_.push_back({Ix("photo-three"), Ix("photo-align" + std::to_string(int(OBJ_ALIGN_H_L))), whole,
                      "aligned at the left"});

  // A symbol from the browser (its first).
  s += Phase(SYMBOL_PHASE) + Snap("symbol-phase");
  const Rect new_symbol = OneShot_Rect(SYMBOL_NEW_BUTTON);
  ASSERT_FALSE(EmptyRect(new_symbol));
  s += "answer alert 1\n" + Click(new_symbol) + Snap("symbol-added");
  changes_.push_back({names_.size() - 2, names_.size() - 1, whole, "a symbol added"});

  s += "quit\n";

  Run_And_Check(s, "");
}

// A project of the disc layout holding one text, written by the program's
// own writer and opened: the text selected and shown in each layout and
// page; the grid phase.
TEST_F(PanelWalk, TextLayoutsPagesAndGrid) {
  first_ = 70;
  Open_Disc();
  Step([] { SV_Set_Enum(SV_PHASE, TEXT_PHASE); });
  static const UniChar kText[] = u"Side A";
  Step([] { ASSERT_TRUE(Do_Paste_UTF16(CUStrSpan(kText, 6), 100)); });
  const std::string project = dir_ + "/text.CD4";
  ASSERT_TRUE(Write_Project(project));
  Step([] { SV_Set_Enum(SV_PHASE, PREVIEW_PHASE); });
  const Rect whole{0, 0, kScreenH, kScreenW};
  std::string s = "wait 10\n" + Snap("text-project-preview");

  // The text, selected; each layout, then each page.
  s += Phase(TEXT_PHASE) + labelsession::Menu(MENU_EDIT + EDIT_SELECT_ALL) + Snap("text-selected");
  Step([] { DoMenuEvent(MENU_EDIT, EDIT_SELECT_ALL, false, false); });
  const int16 nlayouts = Grid_Elements(TEXT_LAYOUT_GRID);
  ASSERT_GE(nlayouts, 8);
  const int16 first_layout = gs.grid_vals[TEXT_LAYOUT_GRID];
  for (int16 k = 1; k <= nlayouts; ++k) {
    const int16 l = int16((first_layout + k) % nlayouts);
    s += Grid(TEXT_LAYOUT_GRID, l) + Snap("text-layout" + std::to_string(l));
    changes_.push_back({names_.size() - 2, names_.size() - 1, Grid_Cell_Rect(TEXT_LAYOUT_GRID, l), "text layout"});
  }
  const int16 ntextpages = Grid_Elements(TEXT_PHASE_GRID);
  ASSERT_GE(ntextpages, 2);
  for (int16 k = 1; k <= ntextpages; ++k) {
    const int16 page = int16(k % ntextpages);
    s += Grid(TEXT_PHASE_GRID, page) + Snap("text-page" + std::to_string(page));
    changes_.push_back({names_.size() - 2, names_.size() - 1, whole, "text page"});
  }
  s += Phase(GRID_PHASE) + Snap("grid-phase");
  changes_.push_back({names_.size() - 2, names_.size() - 1, whole, "the grid phase"});
  s += "quit\n";

  Run_And_Check(s, project);
}

// Every command of the menus sent once with a photo selected in the photo
// phase: those the rules refuse change nothing on screen; those they let
// through act (the mirrored ones in the test process too), saving and
// exporting write their files; the run ends with Quit.
TEST_F(PanelWalk, EveryCommandOnce) {
  first_ = 100;
  Open_Disc();
  const std::string project = dir_ + "/disc.CD4";
  ASSERT_TRUE(Write_Project(project));
  const std::string photo = Write_Photo();
  ASSERT_FALSE(photo.empty());
  std::string s = "wait 10\n" + Phase(PHOTO_PHASE) + "answer open " + photo + "\n" +
                  labelsession::Menu(PANEL_ONESHOT + PHOTO_NEW_BUTTON);
  Step(Place_Photo);

  int32 count = 0;
  const a_command_row* table = Command_Table(count);
  ASSERT_GT(count, 40);
  // Commands that open a dialog or the About box, end the document or the
  // session, or start another program: sent apart below, with their answers.
  const std::vector<int16> apart = {201, 301, 302, 303, 304, 305, 306, 308, 309, 311, 508, 601, 602, 604, 606, 608,
                                    1101, 1103, 1104, 1105, 1106, 1107, 1109, 1201, 1202, 1203, 1205};
  auto is_apart = [&](int16 c) { return std::find(apart.begin(), apart.end(), c) != apart.end(); };

  // The refused ones, all at once: the window is the same after them.
  std::vector<int16> refused;
  for (int32 i = 0; i < count; ++i)
    if (!Command_Enabled(table[i].command)) refused.push_back(table[i].command);
  ASSERT_FALSE(refused.empty());
  // (The navigator is drawn by the idle work first.)
  s += "wait 60\n" + Snap("commands-before-refused");
  for (int16 c : refused) s += labelsession::Menu(c);
  s += Snap("commands-after-refused");
  const size_t before_refused = names_.size() - 2, after_refused = names_.size() - 1;

  // The others in the table's order, each followed in the test process;
  // those that show on screen change the window (Select All with the photo
  // selected, all frames over a selected photo, the sound and the embedding
  // of photos do not, nor fitting the window at the fitting zoom).
  const std::vector<int16> shows = {401, 402, 404, 406, 408, 501, 502, 1001, 1002, 1005, 1006, 1007, 1008};
  // Cut, paste, undo, redo and Select None come last, so that the photo
  // stays selected for the Arrange menu before them.
  const std::vector<int16> last = {405, 404, 406, 401, 402, 408};
  std::vector<int16> order;
  for (int32 i = 0; i < count; ++i)
    if (std::find(last.begin(), last.end(), table[i].command) == last.end()) order.push_back(table[i].command);
  order.insert(order.end(), last.begin(), last.end());
  std::vector<int16> sent;
  for (const int16 c : order) {
    if (is_apart(c) || !Command_Enabled(c)) continue;
    s += labelsession::Menu(c) + Snap("command-" + std::to_string(c));
    Step([&] { DoMenuEvent(int16(c - c % 20), int16(c % 20), false, false); });
    sent.push_back(c);
    if (std::find(shows.begin(), shows.end(), c) != shows.end())
      changes_.push_back({names_.size() - 2, names_.size() - 1, Rect{0, 0, kScreenH, kScreenW},
                          "command " + std::to_string(c)});
  }
  EXPECT_GE(sent.size(), 10u);

  // Hidden everything, then Escape.
  s += labelsession::Menu(508);
  s += Snap("command-508");
  s += "key Escape\n";
  s += Snap("command-508-escape");
  changes_.push_back({names_.size() - 3, names_.size() - 2, Rect{0, 0, kScreenH, kScreenW}, "everything hidden"});
  changes_.push_back({names_.size() - 2, names_.size() - 1, Rect{0, 0, kScreenH, kScreenW}, "everything back"});
  // Help pages (opened by a program that does nothing).
  for (int16 c : {601, 602, 604})
    if (Command_Enabled(c)) s += labelsession::Menu(c);
  // Saved under a name, saved again, exported.
  const std::string saved = dir_ + "/saved.CD4";
  s += "answer save " + saved + "\n" + labelsession::Menu(305) + "wait 5\n" + labelsession::Menu(304) + "wait 5\n";
  std::vector<std::string> exports;
  for (const auto& [c, suffix] : {std::pair{1103, "bmp"}, {1104, "jpg"}, {1107, "tif"}}) {
    if (!Command_Enabled(int16(c))) continue;
    exports.push_back(dir_ + "/export." + suffix);
    s += "answer save " + exports.back() + "\n" + labelsession::Menu(int16(c)) + "wait 5\n";
  }
  EXPECT_EQ(exports.size(), 3u);
  s += labelsession::Menu(311) + "wait 10\n";

  Run_And_Check(s, project);
  EXPECT_TRUE(fs::exists(saved));
  for (const std::string& e : exports) {
    EXPECT_TRUE(fs::exists(e)) << e;
    if (fs::exists(e)) EXPECT_GT(fs::file_size(e), 1000u) << e;
  }
  Shot a, b;
  std::string why;
  ASSERT_TRUE(a.Read(paths_[before_refused], why)) << why;
  ASSERT_TRUE(b.Read(paths_[after_refused], why)) << why;
  EXPECT_EQ(a.px, b.px) << "a refused command changed the window";
  // Undo, redo, cut, copy, paste, the Arrange menu's and the zoom were
  // among them.
  for (int16 c : {401, 402, 404, 405, 406, 906, 912, 101, 121, 1001, 1008})
    EXPECT_NE(std::find(sent.begin(), sent.end(), c), sent.end()) << c << " was not enabled";
}

}  // namespace
