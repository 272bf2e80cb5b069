// The node tree end to end: the program's main window and main loop on the
// headless backend, described with one node of each kind (the window, a
// tool panel and an edit area, a slider, two one-shot buttons, a toggle, an
// icon grid, labels, a decoration, a custom area with a key filter and a
// scroll bar). A script hovers and clicks each item, drags the slider's
// thumb, Shift-clicks its plus button, presses its reset button and types
// keys, with a snapshot after each step under the build folder's
// snapshots/intf/ for a person to look at.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "NodeTestSupport.h"
#include "SoundTestSupport.h"
#include "host/HostWinCore.h"
#include "pixel/Fast.h"
#include "platform/Controls.h"
#include "platform/SysLoop.h"
#include "ui/VoskSlid.h"
#include "ui/VoskStus.h"

namespace {

using namespace nodetest;

std::vector<std::string> g_calls;
void Undo_Pressed() { g_calls.push_back("undo"); }
void Ok_Pressed() { g_calls.push_back("ok"); }
void Eraser_Chosen() { g_calls.push_back("eraser " + std::to_string(gs.grid_vals[ERASER_GRID])); }
void Area_Hit(const a_mousestroke& s) {
  if (s.button1) g_calls.push_back("area press");
}
// The edit area takes 't' (it flips the toggle) and refuses the rest.
bool8 Area_Keys(const a_keystroke& key) {
  g_calls.push_back(std::string("key ") + char(key.charcode));
  if (key.charcode != 't') return false;
  Toggle_Click(FLIPX_TOGGLE);
  return true;
}

constexpr a_locator kSlider = 0x01010200, kUndo = 0x01010300, kOk = 0x01010400, kToggle = 0x01010500,
                    kGridLoc = 0x01010600, kLine = 0x01010700, kName = 0x01010800, kNudge = 0x01010900;
constexpr a_locator kEdit = 0x01020000, kArea = 0x01020100, kBar = 0x01020200;

class IntfEndToEnd : public NodeTree {
 protected:
  void SetUp() override {
    NodeTree::SetUp();
    if (HasFatalFailure()) return;
    Set_Command_Line({});
    g_doc.doc_open = true;  // strokes without a button reach the nodes over a document
    g_oneshots[UNDO_BUTTON].one_proc = Undo_Pressed;
    g_oneshots[TEXT_OK_BUTTON].one_proc = Ok_Pressed;
    g_grid[ERASER_GRID].grid_select = Eraser_Chosen;
    g_custom[CUSTOM_OUTERPAT].custom_hit = Area_Hit;
    g_custom[CUSTOM_OUTERPAT].keyfilter = Area_Keys;
    bar_ = NewControl(gs.outer_window, Rect{0, 0, 10, 10}, "", false, 0, 0, 100, 0, 0);
    ASSERT_NE(bar_, nullptr);
    Rect total;
    Node_BeginConfigAll(true, total);
    Rect g;
    Node_Add_Window(kWin, total, gs.outer_window, g);
    Node_Add_Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_STRIPED_RT, a_pixel24{});
    Point at{10, 10};
    Node_Add_Slider(kSlider, at, 0, 1, PAINT_OPACITY_SLIDER);
    at = Point{60, 20};
    Node_Add_OneShot(kUndo, at, 1, 0, UNDO_BUTTON);
    at.h = int16(at.h + 20);
    Node_Add_OneShot(kOk, at, 1, 0, TEXT_OK_BUTTON);
    at.h = int16(at.h + 20);
    Node_Add_Toggle(kToggle, at, 1, 0, FLIPX_TOGGLE);
    at = Point{110, 20};
    Node_Add_Grid(kGridLoc, at, 0, 1, ERASER_GRID);
    Node_Add_Label(kName, Rect{190, 20, 214, 330}, a_pixel24{0, 0, 0}, a_pixel24{255, 244, 182}, 100, 84, JUST_CENTER,
                   18, 0);
    Node_Add_Label(kNudge, Rect{224, 20, 244, 200}, a_pixel24{20, 40, 120}, a_pixel24{255, 255, 255}, 100, -1,
                   JUST_LEFT, 14, 0);
    Node_Add_Decoration(kLine, Rect{260, 0, 269, 350}, DECORATION_BLUELINE);
    Node_Add_Division(kEdit, Rect{0, 350, 620, 900}, DECORATION_SOLIDGRAY, a_pixel24{});
    Node_Add_Custom(kArea, Rect{20, 370, 220, 600}, true, CUSTOM_OUTERPAT);
    Node_Add_ScrollBar(kBar, Rect{20, 640, 320, 656}, 1, bar_);
    Node_EndConfig();
    g_calls.clear();
    const std::string exe = VELMOR4_EXE;
    dir_ = exe.substr(0, exe.find_last_of('/')) + "/snapshots";
    ::mkdir(dir_.c_str(), 0755);
    dir_ += "/intf";
    ::mkdir(dir_.c_str(), 0755);
  }
  void TearDown() override {
    g_doc.doc_open = false;
    hostwin::Input_Key(VK_SHIFT, false, false, false);
    NodeTree::TearDown();
  }
  void Run(const std::string& script) {
    std::string errors;
    ASSERT_TRUE(Host_Script_Load_Text(script, "e2e", errors)) << errors;
    Main_Loop();
  }
  std::string Shot(const std::string& name) {
    shots_.push_back(dir_ + "/" + name + ".png");
    ::remove(shots_.back().c_str());
    return "snapshot " + shots_.back() + "\n";
  }
  // The centre of a node, as a script's "X Y".
  static std::string Center(a_locator loc) {
    const Rect b = Node_At(loc).nbounds;
    return std::to_string((b.left + b.right) / 2) + " " + std::to_string((b.top + b.bottom) / 2);
  }
  static std::string At(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

  ControlHandle bar_ = nullptr;
  std::string dir_;
  std::vector<std::string> shots_;
};

TEST_F(IntfEndToEnd, HoverClickDragShiftResetAndKeys) {
  soundtest::SoundRecorder sounds;
  const Rect slider = Node_At(kSlider).nbounds;
  ASSERT_EQ(slider.left, 30);
  const int16 start = gs.slider_vals[PAINT_OPACITY_SLIDER];
  ASSERT_EQ(start, 100);
  const int thumb_x = slider.left + Slider_Thumb_Offset(PAINT_OPACITY_SLIDER, start) + 9;
  const int thumb_y = slider.top + 17 + 8;
  Rect cell;
  Calc_Grid_Cell(false, ERASER_GRID, 3, cell);
  const Rect grid = Node_At(kGridLoc).nbounds;
  const std::string cell3 = At(grid.left + cell.left + 14, grid.top + cell.top + 14);

  // The window as described, then hovering each item.
  Run("wait 2\n" + Shot("01_panel") + "move " + Center(kUndo) + "\nwait 2\n" + Shot("02_hover_undo") + "move " +
      Center(kOk) + "\nwait 2\n" + Shot("03_hover_ok") + "move " + Center(kToggle) + "\nwait 2\n" +
      Shot("04_hover_toggle") + "move " + cell3 + "\nwait 2\n" + Shot("05_hover_grid") + "move " + Center(kArea) +
      "\nwait 2\n" + Shot("06_hover_area") + "quit\n");
  EXPECT_EQ(g_tracked.node.kind, CUSTOM_NODE);
  EXPECT_TRUE(g_calls.empty()) << "hovering presses nothing";

  // Clicking each.
  sounds.Clear();
  Run("click " + Center(kUndo) + "\nwait 2\n" + Shot("07_click_undo") + "click " + Center(kOk) + "\nwait 2\n" +
      Shot("08_click_ok") + "click " + Center(kToggle) + "\nwait 2\n" + Shot("09_click_toggle") + "click " + cell3 +
      "\nwait 2\n" + Shot("10_click_grid") + "click " + Center(kArea) + "\nwait 2\n" + Shot("11_click_area") +
      "click " + Center(kName) + "\nwait 2\n" + "quit\n");
  EXPECT_EQ(g_calls, (std::vector<std::string>{"undo", "ok", "eraser 3", "area press"}));
  EXPECT_TRUE(gs.toggle_vals[FLIPX_TOGGLE]);
  EXPECT_EQ(gs.grid_vals[ERASER_GRID], 3);
  EXPECT_EQ(sounds.Ids(), (std::vector<int16>{SND_SUBTOOL_ONESHOT, SND_SUBTOOL_ICONGRID}))
      << "the toggle and the grid; a label takes the press in silence";

  // Dragging the thumb to the left.
  Run("down " + At(thumb_x, thumb_y) + "\nmove " + At(thumb_x - 60, thumb_y) + "\nmove " + At(thumb_x - 120, thumb_y) +
      "\nup " + At(thumb_x - 120, thumb_y) + "\nwait 2\n" + Shot("12_dragged") + "quit\n");
  const int16 dragged = gs.slider_vals[PAINT_OPACITY_SLIDER];
  EXPECT_LT(dragged, start);
  EXPECT_GT(dragged, 6);

  // Shift held: the plus and minus buttons show their big step; a click on
  // plus goes to the next multiple of 10.
  hostwin::Input_Key(VK_SHIFT, true, false, false);
  const std::string plus = At(slider.left + 285 + 15, slider.top + 10 + 12);
  Run("move " + plus + "\nwait 2\n" + Shot("13_shift_over_plus") + "click " + plus + "\nwait 2\n" +
      Shot("14_shift_click_plus") + "quit\n");
  hostwin::Input_Key(VK_SHIFT, false, false, false);
  EXPECT_EQ(gs.slider_vals[PAINT_OPACITY_SLIDER], (dragged / 10 + 1) * 10);

  // The reset button brings the default back; keys reach the area's filter.
  g_calls.clear();
  const std::string reset = At(slider.left + 196 + 27, slider.top + 8);
  Run("move " + reset + "\nwait 2\nclick " + reset + "\nwait 2\n" + Shot("15_reset") + "move " + Center(kArea) +
      "\ntype q\ntype t\nwait 2\n" + Shot("16_keys") + "quit\n");
  EXPECT_EQ(gs.slider_vals[PAINT_OPACITY_SLIDER], start);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"key q", "key t"}));
  EXPECT_FALSE(gs.toggle_vals[FLIPX_TOGGLE]) << "'t' flipped the toggle back";

  for (const std::string& s : shots_) {
    struct stat st {};
    EXPECT_EQ(::stat(s.c_str(), &st), 0) << s;
    EXPECT_GT(st.st_size, 1000) << s;
  }
}

}  // namespace
