// The layer bar in the main window of the headless backend: the layers it
// lists, its overlapping cells (the higher layer wins), the boundaries a
// dragged tab can fall on, labels, scrolling by the scroll bar's actions,
// the wheel and automatic scrolling, jumps to a layer, painting, tabs
// dragged by scripted input restacking their objects, quick clicks and eyes.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "SoundTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskHist.h"
#include "host/HostClock.h"
#include "host/HostScript.h"
#include "objects/VoskBlok.h"
#include "objects/VoskLayer.h"
#include "objects/VoskPhot.h"
#include "objects/VoskText.h"
#include "platform/Controls.h"
#include "platform/SysSound.h"
#include "pixel/OPUtil.h"
#include "ui/VoskCurs.h"
#include "ui/VoskStus.h"
#include "objects/VoskMove.h"
#include "doc/VoskFunc.h"
#include "ui/NodeTestSupport.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

namespace {

// Six cells fit: (572 - 5) / 91.
constexpr Rect kBar{100, 50, 166, 622};

class LayerBar : public nodetest::NodeTree {
 protected:
  void SetUp() override {
    nodetest::NodeTree::SetUp();
    if (HasFatalFailure()) return;
    gs.controller = HUMAN;
    Sound_Init();
    sounds_.emplace();
    VoskBlok_Init();
    VoskLayer_Init();
    History_Null();
    g_ed = a_edit_rec{};
    unit_ = New_Unit_Rec();
    ASSERT_NE(unit_, nullptr);
    unit_->paintbounds = Rect{0, 0, 1417, 1417};
    g_doc.doc_units[0] = unit_;
    g_doc.up = unit_;
    g_doc.upx = 1;
    gs.curr_phase = PHOTO_PHASE;
    gs.curr_kindset = 11;  // photos, symbols and texts
    g_custom[CUSTOM_LAYERS].custom_draw = LayerBar_Paint;
    g_custom[CUSTOM_LAYERS].custom_hit = LayerBar_MouseDown;
    nodetest::Describe({nodetest::Division(nodetest::kPanel, Rect{0, 0, 300, 900}, DECORATION_STRIPED),
                        nodetest::Custom(nodetest::kItem1, kBar, CUSTOM_LAYERS)});
    gs.layerbard.bounds = kBar;
  }
  void TearDown() override {
    Host_Script_Reset();
    OMast_Dispose(unit_->oj);
    Dispose_Unit_Rec(unit_);
    g_doc.up = nullptr;
    g_doc.doc_units[0] = nullptr;
    sounds_.reset();
    Sound_Stop();
    nodetest::NodeTree::TearDown();
  }

  // n photos over the paint layer, none selected; the bar lists them.
  void Photos(int n) {
    for (int i = 0; i < n; ++i) {
      a_ph_rec* ph = New_PH_Rec();
      ph->spec.scalingh = ph->spec.scalingv = 1000;
      ph->spec.subset = Rect{0, 0, 40, int16(60 + i)};
      ph->dst_box = Rect{100, 100, 140, int16(160 + i)};
      ph->dst_center = Point{120, int16(130 + i / 2)};
      Obj_Append(unit_->oj, PHOTO_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr);
    }
    LayerBar_Calc(true);
  }
  std::vector<uint32> Ids() {
    std::vector<uint32> v;
    for (int32 i = 0; i < unit_->oj.nlist; ++i) v.push_back(unit_->oj.list[i].objid);
    return v;
  }
  static int16 Cell_Left(int32 layerx) {
    Rect cell, eye, thumb;
    Layer_Calc_Box(layerx, LayerBar_First_Visible(), cell, eye, thumb);
    return cell.left;
  }
  // The sounds asked for since the last call, by id.
  std::vector<int16> Sounds() {
    std::vector<int16> ids = sounds_->Ids();
    sounds_->Clear();
    return ids;
  }
  // A press at (h, v) held for `hold` ticks, moved through path and let go
  // at its end, the script holding the button while the bar's loops poll.
  static void Drag(int16 h, int16 v, const std::vector<Point>& path, int hold = 40) {
    std::string script = "down " + std::to_string(h) + " " + std::to_string(v) + "\nwait " + std::to_string(hold) + "\n";
    for (Point p : path) script += "move " + std::to_string(p.h) + " " + std::to_string(p.v) + "\n";
    const Point last = path.empty() ? Point{v, h} : path.back();
    script += "wait 1\nup " + std::to_string(last.h) + " " + std::to_string(last.v) + "\n";
    Press(script, h, v);
  }
  // A quick click: the button is up again when the bar looks.
  static void Click(int16 h, int16 v, a_keymod_set mods = 0) { LayerBar_MouseDown(Stroke(h, v, true, mods)); }
  static void Press(const std::string& script, int16 h, int16 v, a_keymod_set mods = 0) {
    std::string err;
    ASSERT_TRUE(Host_Script_Load_Text(script, "layers", err)) << err;
    // The press itself is taken from the queue, as the main window would.
    MSG msg;
    int tries = 0;
    while (PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) == 0) ASSERT_LT(++tries, 100);
    LayerBar_MouseDown(Stroke(h, v, true, mods));
    Host_Script_Reset();
  }

  a_doc_unit* unit_ = nullptr;
  std::optional<soundtest::SoundRecorder> sounds_;
};

TEST_F(LayerBar, ListsPhotosAndThePaintLayerBottomUpNeverTexts) {
  Photos(2);
  Obj_Append(unit_->oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, New_OM_Rec());
  Photos(1);
  const a_layer_bar_desc& d = gs.layerbard;
  EXPECT_EQ(d.first_id, 1000);
  EXPECT_EQ(d.last_id, 1003);
  EXPECT_EQ(d.ncells_h, 6);
  EXPECT_EQ(d.cell_h, 112);
  EXPECT_EQ(d.cell_v, 66);
  const std::vector<int16> want = {1, 2, 3, 5, -1000};
  EXPECT_EQ(std::vector<int16>(d.lmapping, d.lmapping + 5), want);
  EXPECT_EQ(Layer_Of_Object(4), 0) << "the text";
  EXPECT_EQ(Object_Of_Layer(1003), 5);
  EXPECT_EQ(Object_Of_Layer(1004), ENUM_DONE);
  // All fit: the scroll bar cannot move.
  EXPECT_EQ(GetControlMinimum(gs.lscroll_ctrl), 1000);
  EXPECT_EQ(LayerBar_First_Visible(), 1000);
}

// Neighbouring cells overlap by 21 pixels, where the higher layer is found;
// the eye is its own part; boundaries tie to the higher index.
TEST_F(LayerBar, OverlappingCellsEyesAndBoundaries) {
  Photos(3);
  Rect cell, eye, thumb;
  Layer_Calc_Box(1001, 1000, cell, eye, thumb);
  EXPECT_TRUE(EqualRect(cell, (Rect{100, 146, 166, 258})));
  EXPECT_TRUE(EqualRect(eye, (Rect{112, 164, 130, 182})));
  EXPECT_TRUE(EqualRect(thumb, (Rect{109, 183, 158, 252})));
  const struct {
    Point pt;
    bool found;
    int32 layer;
    int16 part;
  } hits[] = {
      {{140, 240}, true, 1002, 0},  // 146 + 91 = 237: the overlap of 1001 and 1002
      {{140, 236}, true, 1001, 0},
      {{120, 170}, true, 1001, 1},  // its eye
      {{140, 60}, true, 1000, 0},
      {{140, 450}, false, 0, 0},    // past the last cell
      {{170, 150}, false, 0, 0},    // below the bar
  };
  for (const auto& c : hits) {
    int16 part = -1;
    int32 layer = -1;
    EXPECT_EQ(Find_Layer(part, layer, c.pt), c.found) << c.pt.h;
    EXPECT_EQ(layer, c.layer) << c.pt.h;
    EXPECT_EQ(part, c.part) << c.pt.h;
  }
  // Left edges 55, 146, 237, 328, 419 (1004, past the last); pt.h - 3 is
  // compared. Halfway between 146 and 237 (191.5) the nearer wins.
  EXPECT_EQ(Find_Boundary(Point{130, 149}), 1001);
  EXPECT_EQ(Find_Boundary(Point{130, 194}), 1001);
  EXPECT_EQ(Find_Boundary(Point{130, 195}), 1002);
  EXPECT_EQ(Find_Boundary(Point{130, 500}), 1004);
  EXPECT_EQ(Find_Boundary(Point{130, 0}), 1001) << "nothing goes under the paint layer (1000)";
  EXPECT_EQ(Find_Boundary(Point{180, 200}), 0) << "on no row";
}

TEST_F(LayerBar, LabelsCountFromOneOrAreLettersInTheCollage) {
  char s[8];
  const struct {
    a_phase phase;
    int32 layer;
    const char* want;
  } cases[] = {{PHOTO_PHASE, 1000, "1"}, {PHOTO_PHASE, 1026, "27"}, {COLLAGE_PHASE, 1000, "A"},
               {COLLAGE_PHASE, 1025, "Z"}, {COLLAGE_PHASE, 1026, "BA"}, {COLLAGE_PHASE, 1053, "CB"}};
  for (const auto& c : cases) {
    gs.curr_phase = c.phase;
    Layer_Label(c.layer, s, int32(sizeof s));
    EXPECT_STREQ(s, c.want) << c.layer;
  }
}

// 31 layers, 6 shown: the scroll bar's range ends with the last screenful;
// lines and pages (a page is the cells less one) scroll, the wheel by the
// cells shown times its delta, and at an end only a beep.
TEST_F(LayerBar, ScrollActionsAndTheWheel) {
  Photos(30);
  EXPECT_EQ(GetControlMinimum(gs.lscroll_ctrl), 1000);
  EXPECT_EQ(GetControlMaximum(gs.lscroll_ctrl), 1030 + 1 - 6 + 6 - 1);
  Sounds();
  const struct {
    int16 part;
    int16 wheel;
    int32 first;
    int16 sound;
  } steps[] = {
      {0, 0, 1000, SND_NULL},          {1, 0, 1001, SND_SUBTOOL_SLIDER}, {3, 0, 1006, SND_SUBTOOL_SLIDER},
      {2, 0, 1001, SND_SUBTOOL_SLIDER}, {SCROLL_WHEEL, 2, 1013, SND_SUBTOOL_SLIDER},
      {SCROLL_WHEEL, 2, 1025, SND_SUBTOOL_SLIDER}, {SCROLL_WHEEL, 1, 1025, SND_NULL},
      {1, 0, 1025, SND_NULL},           {SCROLL_WHEEL, -3, 1007, SND_SUBTOOL_SLIDER},
  };
  for (const auto& s : steps) {
    g_wheel_delta = s.wheel;
    LayerBar_NonThumbAction(s.part, gs.lscroll_ctrl);
    EXPECT_EQ(LayerBar_First_Visible(), s.first) << s.part << " " << s.wheel;
    EXPECT_EQ(Sounds(), std::vector<int16>{s.sound}) << s.part << " " << s.wheel;
  }
  g_wheel_delta = 0;
  // A thumb dragged elsewhere repaints; the bar remembers what it painted.
  SetControlValue(gs.lscroll_ctrl, 1020);
  LayerBar_ThumbAction(5, gs.lscroll_ctrl);
  EXPECT_EQ(t.old_thumb, 1020);
}

TEST_F(LayerBar, JumpsBringALayerIntoView) {
  Photos(20);
  Jump_To_Layer(15, false);  // layer 1014: the last of the cells shown
  EXPECT_EQ(LayerBar_First_Visible(), 1009);
  Jump_To_Layer(4, false);  // layer 1003: the first
  EXPECT_EQ(LayerBar_First_Visible(), 1003);
  nodetest::Validate(gs.outer_window);
  Jump_To_Layer(6, false);  // shown already: nothing
  EXPECT_EQ(LayerBar_First_Visible(), 1003);
  EXPECT_TRUE(nodetest::UpdateArea(gs.outer_window).Empty());
  Jump_To_Layer(6, true);
  EXPECT_TRUE(nodetest::UpdateArea(gs.outer_window).Is({kBar}));
  Jump_To_First_Layer();
  EXPECT_EQ(LayerBar_First_Visible(), 1000);
}

// Near an end of the bar a drag scrolls one layer, at most once per 30 ticks,
// from the clock's first tick on.
TEST_F(LayerBar, AutomaticScrollingNearTheEnds) {
  Photos(20);
  Sounds();
  const Point right{130, int16(kBar.right - 5)}, left{130, int16(kBar.left + 5)}, middle{130, 300};
  EXPECT_TRUE(LayerBar_Check_Hotzone(right));
  EXPECT_EQ(LayerBar_First_Visible(), 1001);
  EXPECT_FALSE(LayerBar_Check_Hotzone(right)) << "too soon";
  Host_Clock_Advance_Millis(30 * 16);
  EXPECT_FALSE(LayerBar_Check_Hotzone(middle));
  EXPECT_TRUE(LayerBar_Check_Hotzone(left));
  EXPECT_EQ(LayerBar_First_Visible(), 1000);
  Host_Clock_Advance_Millis(30 * 16);
  EXPECT_FALSE(LayerBar_Check_Hotzone(left)) << "at the start";
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_SUBTOOL_SLIDER, SND_SUBTOOL_SLIDER}));
}

// The bar paints each shown cell: its thumbnail's grey ground, the eye and
// the selected tab's colour.
TEST_F(LayerBar, PaintsCellsWithTheirGroundAndTheSelectedTab) {
  Photos(2);
  Selection_Toggle(3);
  LayerBar_PaintAll();
  HDC dc = GetDC(gs.outer_window);
  Rect cell, eye, thumb;
  Layer_Calc_Box(1000, 1000, cell, eye, thumb);
  EXPECT_EQ(GetPixel(dc, thumb.left + 3, thumb.bottom - 3), RGB(220, 220, 220)) << "the paint layer's ground";
  Layer_Calc_Box(1002, 1000, cell, eye, thumb);
  EXPECT_EQ(GetPixel(dc, thumb.left, thumb.top + 20), RGB(252, 62, 62)) << "the selected thumbnail's frame";
  const COLORREF selected_tab = GetPixel(dc, cell.left + 10, cell.bottom - 5);
  Layer_Calc_Box(1001, 1000, cell, eye, thumb);
  EXPECT_NE(GetPixel(dc, cell.left + 10, cell.bottom - 5), selected_tab);
  EXPECT_EQ(GetPixel(dc, kBar.right - 3, kBar.top + 3), RGB(206, 210, 218)) << "the bar's ground past the cells";
  ReleaseDC(gs.outer_window, dc);
}

// A tab held and dragged restacks its object: rightwards past two layers
// (the boundary lowered by one), then leftwards; each one history step.
TEST_F(LayerBar, TabDragsRestackTheObjects) {
  Photos(6);  // layers 1000 (paint) .. 1006
  const std::vector<uint32> ids = Ids();
  const int16 v = 140;
  // The tab of layer 1002 (not its eye) to the boundary before 1005.
  Drag(int16(Cell_Left(1002) + 5), v, {Point{v, 400}, Point{v, int16(Cell_Left(1005) + 3)}});
  EXPECT_EQ(Ids(), (std::vector<uint32>{ids[0], ids[1], ids[3], ids[4], ids[2], ids[5], ids[6]}));
  EXPECT_EQ(History_Last_Op(), OP_BLOCK_MOVEZ);
  EXPECT_TRUE(Is_Obj_Selected(5)) << "the dragged object, selected by the hold";
  EXPECT_FALSE(t.status_tracking);
  EXPECT_EQ(LayerBar_Insert_Point(), 0);
  // Layer 1005 to the boundary before 1001.
  History_Null();
  Drag(int16(Cell_Left(1005) + 5), v, {Point{v, 300}, Point{v, int16(Cell_Left(1001) + 3)}});
  EXPECT_EQ(Ids(), (std::vector<uint32>{ids[0], ids[5], ids[1], ids[3], ids[4], ids[2], ids[6]}));
  EXPECT_EQ(History_Last_Op(), OP_BLOCK_MOVEZ);
  // Dropped on itself: nothing moves, nothing to undo.
  History_Null();
  const std::vector<uint32> before = Ids();
  Drag(int16(Cell_Left(1003) + 5), v, {Point{v, int16(Cell_Left(1003) + 40)}, Point{v, int16(Cell_Left(1004) + 3)}});
  EXPECT_EQ(Ids(), before) << "the boundary just past itself is its own place";
  EXPECT_EQ(History_Last_Op(), OP_NOP);
}

// The paint layer stays the bottom layer, item 1 of the list, whatever is
// dragged: its own tab does not move, and a tab let go at or left of the
// paint layer's boundary lands just above it (the insertion mark never
// stands under it).
TEST_F(LayerBar, ThePaintLayerStaysAtTheBottom) {
  Photos(3);  // layers 1000 (paint) .. 1003
  const std::vector<uint32> ids = Ids();
  const int16 v = 140;
  EXPECT_EQ(Find_Boundary(Point{v, int16(Cell_Left(1000) + 3)}), 1001);
  EXPECT_EQ(Find_Boundary(Point{v, int16(kBar.left + 1)}), 1001);
  EXPECT_EQ(Find_Boundary(Point{v, int16(Cell_Left(1002) + 3)}), 1002);
  // The paint tab dragged over the photos: nothing moves, nothing to undo.
  Drag(int16(Cell_Left(1000) + 60), v, {Point{v, 300}, Point{v, int16(Cell_Left(1003) + 3)}});
  EXPECT_EQ(Ids(), ids);
  EXPECT_EQ(History_Last_Op(), OP_NOP);
  EXPECT_EQ(unit_->oj.list[0].kind, PAINT_BLOCK);
  // A photo dragged to the bar's left end goes just above the paint layer.
  Drag(int16(Cell_Left(1002) + 5), v, {Point{v, 200}, Point{v, int16(Cell_Left(1000) + 3)}});
  EXPECT_EQ(Ids(), (std::vector<uint32>{ids[0], ids[2], ids[1], ids[3]}));
  EXPECT_EQ(History_Last_Op(), OP_BLOCK_MOVEZ);
  // The arrange procedure itself never takes item 1 or puts anything there.
  History_Null();
  Layer_Arrange(1, 3);
  Layer_Arrange(4, 1);
  EXPECT_EQ(Ids(), (std::vector<uint32>{ids[0], ids[2], ids[1], ids[3]}));
  EXPECT_EQ(History_Last_Op(), OP_NOP);
}

// The same drag through the main window's own mouse dispatch: the press
// reaches the bar through the window procedure and the node tree.
TEST_F(LayerBar, ADragThroughTheWindowKeepsThePaintLayerAtTheBottom) {
  Photos(2);  // layers 1000 (paint) .. 1002
  const std::vector<uint32> ids = Ids();
  const int16 v = 140, h = int16(Cell_Left(1002) + 5), to = int16(Cell_Left(1000) + 3);
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("down " + std::to_string(h) + " " + std::to_string(v) + "\nwait 40\nmove 200 " +
                                        std::to_string(v) + "\nmove " + std::to_string(to) + " " + std::to_string(v) +
                                        "\nwait 1\nup " + std::to_string(to) + " " + std::to_string(v) + "\n",
                                    "layers", err))
      << err;
  MSG msg;
  int tries = 0;
  while (PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) == 0) ASSERT_LT(++tries, 100);
  DispatchMessage(&msg);
  Host_Script_Reset();
  EXPECT_EQ(Ids(), (std::vector<uint32>{ids[0], ids[2], ids[1]}));
  EXPECT_EQ(History_Last_Op(), OP_BLOCK_MOVEZ);
}

// A quick click selects the layer's object alone, Shift adds to the
// selection; a click on no layer selects nothing.
TEST_F(LayerBar, QuickClicksSelect) {
  Photos(3);
  Sounds();
  Click(int16(Cell_Left(1001) + 5), 150);
  EXPECT_TRUE(Is_Obj_Selected(2));
  Click(int16(Cell_Left(1003) + 5), 150, Keymod_Bit(SHIFTKEY));
  EXPECT_TRUE(Is_Obj_Selected(2));
  EXPECT_TRUE(Is_Obj_Selected(4));
  Click(int16(Cell_Left(1001) + 5), 150);
  EXPECT_FALSE(Is_Obj_Selected(4));
  Click(600, 150);
  EXPECT_EQ(Selection_Count(), 0);
  EXPECT_EQ(Sounds(), (std::vector<int16>{SND_OBJ_SELECT, SND_OBJ_SELECT, SND_OBJ_SELECT, SND_OBJ_SELECT}));
}

// An eye shows or hides its object; eyes passed over while the button is
// held take the clicked one's new state.
TEST_F(LayerBar, EyesHideAndShow) {
  Photos(3);
  Sounds();
  Rect cell, eye, thumb;
  Layer_Calc_Box(1001, 1000, cell, eye, thumb);
  Drag(int16(eye.left + 5), int16(eye.top + 5), {}, 1);
  EXPECT_FALSE(Is_Obj_Visible(2));
  EXPECT_EQ(Sounds(), std::vector<int16>{SND_SUBTOOL_ONESHOT});
  const int16 ev = int16(eye.top + 5);
  std::vector<Point> path;
  for (int32 layer : {1002, 1003}) {
    Layer_Calc_Box(layer, 1000, cell, eye, thumb);
    path.push_back(Point{ev, int16(eye.left + 5)});
  }
  Layer_Calc_Box(1001, 1000, cell, eye, thumb);
  Drag(int16(eye.left + 5), ev, path, 1);
  EXPECT_TRUE(Is_Obj_Visible(2));
  EXPECT_TRUE(Is_Obj_Visible(3)) << "already shown";
  EXPECT_TRUE(Is_Obj_Visible(4));
  // Hiding by a drag hides the others passed.
  Drag(int16(eye.left + 5), ev, path, 1);
  EXPECT_FALSE(Is_Obj_Visible(2));
  EXPECT_FALSE(Is_Obj_Visible(3));
  EXPECT_FALSE(Is_Obj_Visible(4));
}

// The object tool's drag through the main window's input: the photo
// follows the pointer from where it was pressed, its exclusive-or frames
// leave the window as it was, and the release is one history step.
TEST_F(LayerBar, ADraggedPhotoFollowsThePointer) {
  Photos(1);
  gs.nviews = 1;
  gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{200, 0, 900, 900}};
  const int32 p = 2;
  a_ph_rec* ph = unit_->oj.list[p - 1].ph;
  ph->dst_box = Rect{300, 300, 400, 420};
  ph->dst_center = Point{350, 360};
  Selection_Toggle(p);
  Point start;
  ScreenToCell(1, Point{350, 350}, start);
  Point end;
  ScreenToCell(1, Point{375, 410}, end);
  HDC dc = GetDC(gs.outer_window);
  const auto pixels = [&] {
    std::vector<COLORREF> v;
    for (int y = 280; y < 460; y += 3)
      for (int x = 280; x < 500; x += 3) v.push_back(GetPixel(dc, x, y));
    return v;
  };
  const std::vector<COLORREF> before = pixels();
  std::string err;
  ASSERT_TRUE(Host_Script_Load_Text("down 350 350\nwait 2\nmove 380 360\nmove 400 370\nwait 1\nup 410 375\n",
                                    "drag", err))
      << err;
  MSG msg;
  int tries = 0;
  while (PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) == 0) ASSERT_LT(++tries, 100);
  History_Null();
  Obj_Track_Move(1, start, p);
  EXPECT_EQ(ph->dst_box.left - 300, end.h - start.h);
  EXPECT_EQ(ph->dst_box.top - 300, end.v - start.v);
  EXPECT_NE(end.h, start.h);
  EXPECT_EQ(History_Last_Op(), OP_BLOCK_MOVEXY);
  EXPECT_FALSE(t.old_saved);
  EXPECT_FALSE(t.status_tracking);
  EXPECT_EQ(g_curr_cursor.shape, GRABBER_CURSOR);
  EXPECT_EQ(pixels(), before) << "every frame drawn was taken off";
  ReleaseDC(gs.outer_window, dc);
}

// Restacking lists the layers again: a layer never names an object that
// moved away, such as a text passed over.
TEST_F(LayerBar, RestackingMapsTheLayersAgain) {
  Photos(1);
  Obj_Append(unit_->oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, New_OM_Rec());
  Photos(1);  // paint 1, photo 2, text 3, photo 4
  const uint32 photo = unit_->oj.list[1].objid, other = unit_->oj.list[3].objid;
  Selection_Toggle(2);
  LayerBar_Inval();
  nodetest::Validate(gs.outer_window);
  Layer_ArrangeRel(999);  // the photo to the top: paint, text, photo, photo
  EXPECT_EQ(unit_->oj.list[Object_Of_Layer(1001) - 1].objid, other);
  EXPECT_EQ(unit_->oj.list[Object_Of_Layer(1002) - 1].objid, photo);
  EXPECT_EQ(unit_->oj.list[Object_Of_Layer(1002) - 1].kind, PHOTO_BLOCK);
  EXPECT_FALSE(nodetest::UpdateArea(gs.outer_window).Empty()) << "the bar is painted again";
}

// Hovering shows the finger and the object's status: the paint layer, a
// text, a clipboard picture with its size or missing, an empty slot, a
// library picture (nothing); off the layers the arrow and the lone
// selected object's status, or none.
TEST_F(LayerBar, HoverAndDefaultStatus) {
  Photos(3);
  a_ph_rec* held = unit_->oj.list[1].ph;
  a_masked_gworld mw;
  Null_MW(mw);
  mw.bounds = Rect{0, 0, 40, 60};
  ASSERT_EQ(New_GWorld(mw.bounds, 32, nullptr, mw.fore), 0);
  held->spec.source.kind = SOURCE_CLIPBOARD;
  ASSERT_TRUE(Cache_Insert_External(held->spec.source, mw, nullptr));
  held->spec.subset = Rect{0, 0, 40, 60};
  unit_->oj.list[2].ph->spec.source.kind = SOURCE_CLIPBOARD;
  unit_->oj.list[2].ph->spec.source.sid = 7;  // never inserted
  unit_->oj.list[3].ph->spec.source.kind = SOURCE_DATABASE;
  const int32 text = Obj_Append(unit_->oj, TEXT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), nullptr, New_OM_Rec());
  a_ph_rec* slot = New_PH_Rec();
  slot->spec.source.kind = SOURCE_COLLAGE;
  slot->spec.source.sid = 9;
  const int32 slotx = Obj_Append(unit_->oj, SLOT_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), slot, nullptr);
  LayerBar_Calc(true);

  LayerBar_MouseDown(Stroke(int16(Cell_Left(1000) + 5), 150));
  EXPECT_EQ(g_curr_cursor.shape, FINGER_CURSOR);
  EXPECT_STREQ(g_ph_status, "Paint layer");
  LayerBar_MouseDown(Stroke(int16(Cell_Left(1001) + 5), 150));
  EXPECT_STREQ(g_ph_status, "Clipboard  60 x 40");
  LayerBar_MouseDown(Stroke(int16(Cell_Left(1002) + 5), 150));
  EXPECT_STREQ(g_ph_status, "Clipboard (MISSING)");
  LayerBar_MouseDown(Stroke(int16(Cell_Left(1003) + 5), 150));
  EXPECT_STREQ(g_ph_status, "");
  Calc_Hover_PStatus(text);
  EXPECT_STREQ(g_ph_status, "Text object");
  Calc_Hover_PStatus(slotx);
  EXPECT_STREQ(g_ph_status, "CollageEmpty");

  Selection_Toggle(2);
  LayerBar_MouseDown(Stroke(600, 150));
  EXPECT_EQ(g_curr_cursor.shape, ARROW_CURSOR);
  EXPECT_STREQ(g_ph_status, "Clipboard  60 x 40");
  Selection_Toggle(3);
  Calc_Default_PStatus();
  EXPECT_STREQ(g_ph_status, "") << "two selected";
  Cache_Clear();
}

}  // namespace
