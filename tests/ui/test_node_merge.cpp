// Descriptions of the node tree applied to the screen: a table of (screen,
// new description) with what each must invalidate, windows moved and sized
// in place, nested descriptions, back pointers, descriptions and pictures
// beyond the old fixed capacities, and a tracked node let go when a new
// description moves it.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "NodeTestSupport.h"
#include "TestSupport.h"
#include "pixel/SysPixt.h"
#include "platform/Controls.h"
#include "platform/QDRect.h"
#include "platform/SysWin.h"
#include "platform/Windowv.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"

namespace {

using namespace nodetest;

// The node an item gets at a corner: the size of its artwork.
Rect Item_Rect(const a_basic_item& item, Point corner, int16 dh = 0) {
  const int16 left = int16(corner.h + dh);
  return Rect{corner.v, left, int16(corner.v + item.src_rect.bottom - item.src_rect.top),
              int16(left + item.src_rect.right - item.src_rect.left)};
}

const Rect kPanelRect{0, 0, 620, 350};
const Rect kLabelRect{300, 20, 324, 200};
const Rect kCustomRect{400, 20, 460, 300};
const Rect kDecoRect{500, 0, 509, 350};
constexpr Point kShot{40, 20};
constexpr Point kToggle{40, 120};
constexpr Point kGrid{100, 20};

class NodeMerge : public NodeTree {
 protected:
  // A panel of one node of each kind but windows and scroll bars.
  std::vector<Node> Panel() const {
    Node label = Label(kLabelRect, 22, {0, 0, 0}, {255, 244, 182}, 60);
    return {Division(kPanel, kPanelRect, DECORATION_SOLIDCOLOR),
            Item(kItem1, ONESHOT_NODE, PROJ_NEW_BUTTON, kShot),
            Item(kItem2, TOGGLE_NODE, FLIPX_TOGGLE, kToggle),
            Item(kItem3, ICONGRID_NODE, ERASER_GRID, kGrid),
            label,
            Custom(kItem5, kCustomRect, CUSTOM_HISTORY, true),
            Decoration(0x01010600, kDecoRect, DECORATION_BLUELINE)};
  }
  static Node Label(Rect b, int16 strx, a_pixel24 fore, a_pixel24 back, uint16 opacity) {
    return nodetest::Label(kItem4, b, strx, fore, back, opacity);
  }
  // Screen, painted and with nothing due.
  void Show(const std::vector<Node>& nodes) {
    Describe({});
    Describe(nodes);
    Update();
    Validate(gs.outer_window);
  }
};

struct MergeCase {
  const char* name;
  std::function<void(std::vector<Node>&)> change;  // the new description from the screen's
  std::vector<Rect> inval;                          // what the main window must paint again
  a_locator replaced;                               // a node deleted and inserted (0: none)
};

TEST_F(NodeMerge, OnlyWhatDiffersIsInvalidated) {
  const Rect shot = Item_Rect(g_oneshots[PROJ_NEW_BUTTON], kShot);
  const Rect moved_shot = Item_Rect(g_oneshots[PROJ_NEW_BUTTON], Point{kShot.v, int16(kShot.h + 30)});
  auto at = [](std::vector<Node>& d, a_locator loc) -> Node& {
    for (Node& n : d)
      if (n.loc == loc) return n;
    throw std::runtime_error("no node");
  };
  const MergeCase cases[] = {
      {"identical", [](std::vector<Node>&) {}, {}, 0},
      {"division colour", [&](std::vector<Node>& d) { at(d, kPanel).color = a_pixel24{40, 60, 200}; }, {kPanelRect}, 0},
      {"division decoration", [&](std::vector<Node>& d) { at(d, kPanel).ix = DECORATION_STRIPED; }, {kPanelRect}, 0},
      {"node moved to another locator",
       [&](std::vector<Node>& d) { at(d, kItem1).loc = 0x01010700; },
       {shot},
       0x01010700},
      {"item moved", [&](std::vector<Node>& d) { at(d, kItem1).corner.h += 30; }, {shot, moved_shot}, kItem1},
      {"label colour", [&](std::vector<Node>& d) { at(d, kItem4).color = a_pixel24{200, 0, 0}; }, {kLabelRect}, 0},
      {"label background", [&](std::vector<Node>& d) { at(d, kItem4).back = a_pixel24{0, 90, 0}; }, {kLabelRect}, 0},
      {"label opacity", [&](std::vector<Node>& d) { at(d, kItem4).opacity = 40; }, {kLabelRect}, 0},
      {"label justification", [&](std::vector<Node>& d) { at(d, kItem4).just = JUST_RIGHT; }, {kLabelRect}, 0},
      {"label alias", [&](std::vector<Node>& d) { at(d, kItem4).alias = 7; }, {kLabelRect}, 0},
      {"label needs no area any more",
       [&](std::vector<Node>& d) { at(d, kItem4).opacity = 100; },
       {kLabelRect},
       kItem4},
      {"label text", [&](std::vector<Node>& d) { at(d, kItem4).strx = 8; }, {kLabelRect}, kItem4},
      {"decoration", [&](std::vector<Node>& d) { at(d, 0x01010600).ix = DECORATION_DARKSTRIPE; }, {kDecoRect}, 0x01010600},
      {"custom area's own area", [&](std::vector<Node>& d) { at(d, kItem5).needoff = false; }, {kCustomRect}, kItem5},
      {"another custom area", [&](std::vector<Node>& d) { at(d, kItem5).ix = CUSTOM_NAV; }, {kCustomRect}, kItem5},
      {"node kind", [&](std::vector<Node>& d) { at(d, kItem5) = Decoration(kItem5, kCustomRect, DECORATION_STRIPED); },
       {kCustomRect}, kItem5},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Node> screen = Panel();
    Show(screen);
    std::map<a_locator, GWorldPtr> areas;
    for (int16 nx = 1; nx <= Node_Used(CURR); ++nx) {
      const a_node_rec& n = Node_Get(CURR, nx);
      EXPECT_TRUE(n.drawn || !Is_Item_Kind(n.kind)) << std::hex << n.loc;
      areas[n.loc] = n.noffarea.gworld;
    }
    std::vector<Node> next = screen;
    c.change(next);
    Describe(next);
    UpdateArea due(gs.outer_window);
    EXPECT_TRUE(due.Is(c.inval)) << due.Text();
    // Nodes not replaced keep their areas and stay drawn; a replaced one
    // waits to be painted.
    for (int16 nx = 1; nx <= Node_Used(CURR); ++nx) {
      const a_node_rec& n = Node_Get(CURR, nx);
      if (n.loc == c.replaced) {
        EXPECT_FALSE(n.drawn);
        continue;
      }
      ASSERT_TRUE(areas.count(n.loc)) << std::hex << n.loc;
      EXPECT_EQ(n.noffarea.gworld, areas[n.loc]) << std::hex << n.loc;
      EXPECT_TRUE(n.drawn || !Is_Item_Kind(n.kind)) << std::hex << n.loc;
    }
  }
  // What each kind needs: one-shots, toggles and grids always an area,
  // labels below full opacity and custom areas that ask for one.
  Show(Panel());
  EXPECT_NE(Node_At(kItem1).noffarea.gworld, nullptr);
  EXPECT_NE(Node_At(kItem2).noffarea.gworld, nullptr);
  EXPECT_NE(Node_At(kItem3).noffarea.gworld, nullptr);
  EXPECT_NE(Node_At(kItem4).noffarea.gworld, nullptr);
  EXPECT_NE(Node_At(kItem5).noffarea.gworld, nullptr);
  EXPECT_EQ(Node_At(kPanel).noffarea.gworld, nullptr);
  EXPECT_EQ(Node_At(0x01010600).noffarea.gworld, nullptr);
}

// A window node whose bounds change moves and sizes the same window, and
// shows it once put on the screen; gone from the description it is hidden.
TEST_F(NodeMerge, WindowsAreMovedAndSizedNeverRecreated) {
  HWND tool = New_Window(Rect{0, 0, 50, 50}, "tool", false, 2, nullptr, gs.outer_window, nullptr);
  ASSERT_NE(tool, nullptr);
  Rect inside;
  GetWindowInterior(gs.outer_window, inside);
  const std::vector<Node> first{Division(kPanel, kPanelRect, DECORATION_NOPAINT),
                                Window(0x01020000, Rect{10, 400, 110, 600}, tool),
                                Division(0x01020100, Rect{0, 0, 100, 200}, DECORATION_SOLIDCOLOR)};
  Show(first);
  Rect r;
  GetWindowInterior(tool, r);
  EXPECT_TRUE(IsWindowVisible(tool));
  EXPECT_TRUE(EqualRect(r, Rect{int16(inside.top + 10), int16(inside.left + 400), int16(inside.top + 110),
                                int16(inside.left + 600)}));
  EXPECT_EQ(Node_At(0x01020100).nowner, tool) << "the division inside is drawn in the window";
  Validate(tool);
  std::vector<Node> moved = first;
  moved[1].bounds = Rect{30, 420, 180, 700};
  Describe(moved);
  GetWindowInterior(tool, r);
  EXPECT_TRUE(EqualRect(r, Rect{int16(inside.top + 30), int16(inside.left + 420), int16(inside.top + 180),
                                int16(inside.left + 700)}));
  EXPECT_TRUE(IsWindow(tool));
  EXPECT_TRUE(IsWindowVisible(tool));
  EXPECT_TRUE(UpdateArea(gs.outer_window).Empty()) << "the main window has nothing to paint";
  EXPECT_FALSE(UpdateArea(tool).Empty()) << "the window sized is painted again";
  Describe({Division(kPanel, kPanelRect, DECORATION_NOPAINT)});
  EXPECT_TRUE(IsWindow(tool));
  EXPECT_FALSE(IsWindowVisible(tool));
  CloseWindow(tool);
}

TEST_F(NodeMerge, ScrollBarsAreHiddenMovedAndShown) {
  ControlHandle bar = NewControl(gs.outer_window, Rect{0, 0, 100, 16}, "", false, 0, 0, 100, 0, 0);
  ASSERT_NE(bar, nullptr);
  const Rect at{100, 400, 300, 416};
  std::vector<Node> d{Division(kPanel, kPanelRect, DECORATION_NOPAINT)};
  Rect total;
  auto describe_bar = [&](Rect b) {
    Node_BeginConfig(0, total);
    Add({Node{kWin, WINDOW_NODE}}, total);
    Add(d, total);
    Node_Add_ScrollBar(0x01020000, b, 5, bar);
    Node_EndConfig();
  };
  describe_bar(at);
  EXPECT_TRUE(IsWindowVisible(bar));
  RECT wr;
  GetWindowRect(bar, &wr);
  EXPECT_EQ(wr.right - wr.left, 16);
  EXPECT_EQ(wr.bottom - wr.top, 200);
  EXPECT_EQ(Find_Priority_Scrollbar(), bar);
  describe_bar(Rect{150, 500, 250, 516});
  EXPECT_TRUE(IsWindowVisible(bar));
  GetWindowRect(bar, &wr);
  EXPECT_EQ(wr.bottom - wr.top, 100);
  POINT tl{wr.left, wr.top};
  ScreenToClient(gs.outer_window, &tl);
  EXPECT_EQ(tl.x, 500);
  EXPECT_EQ(tl.y, 150);
  Describe(d);
  EXPECT_FALSE(IsWindowVisible(bar));
  EXPECT_EQ(Find_Priority_Scrollbar(), nullptr);
  DisposeControl(bar);
}

// Only the outermost end of nested descriptions touches the screen; an
// inner description of a subtree replaces that subtree only.
TEST_F(NodeMerge, NestedDescriptionsApplyAtTheOutermostEnd) {
  Show({Division(kPanel, kPanelRect, DECORATION_SOLIDCOLOR), Label(kLabelRect, 22, {0, 0, 0}, {255, 255, 255}, 100),
        Division(0x01020000, Rect{0, 400, 100, 600}, DECORATION_NOPAINT),
        nodetest::Label(0x01020100, Rect{10, 410, 30, 590}, 8)});
  Rect total;
  Node_BeginConfig(0, total);
  EXPECT_EQ(g_config_depth, 1);
  Add({Node{kWin, WINDOW_NODE}, Division(kPanel, kPanelRect, DECORATION_SOLIDCOLOR),
       Label(Rect{330, 20, 354, 200}, 22, {0, 0, 0}, {255, 255, 255}, 100),
       Division(0x01020000, Rect{0, 400, 100, 600}, DECORATION_NOPAINT)},
      total);
  Rect sub;
  Node_BeginConfig(0x01020000, sub);
  EXPECT_TRUE(EqualRect(sub, Rect{0, 400, 100, 600})) << "the subtree's room is its node's";
  Add({nodetest::Label(0x01020100, Rect{40, 410, 60, 590}, 8)}, sub);
  Node_EndConfig();
  EXPECT_EQ(g_config_depth, 1);
  EXPECT_TRUE(UpdateArea(gs.outer_window).Empty()) << "an inner end touches nothing";
  EXPECT_TRUE(Node_Exists(0x01020100));
  EXPECT_TRUE(EqualRect(Node_At(kItem4).nbounds, kLabelRect)) << "the screen is as it was";
  Node_EndConfig();
  EXPECT_EQ(g_config_depth, 0);
  UpdateArea due(gs.outer_window);
  EXPECT_TRUE(due.Is({kLabelRect, Rect{330, 20, 354, 200}, Rect{10, 410, 30, 590}, Rect{40, 410, 60, 590}}))
      << due.Text();
  // An end without a beginning does nothing.
  Node_EndConfig();
  EXPECT_EQ(g_config_depth, 0);
  // A subtree described alone keeps everything outside it.
  Validate(gs.outer_window);
  Node_BeginConfig(0x01020000, sub);
  Node_EndConfig();
  EXPECT_FALSE(Node_Exists(0x01020100));
  EXPECT_TRUE(Node_Exists(0x01020000));
  EXPECT_TRUE(Node_Exists(kItem4));
  EXPECT_TRUE(UpdateArea(gs.outer_window).Is({Rect{40, 410, 60, 590}}));
}

// Back pointers: an item's node slot after each description, the higher
// slot for an item shown twice, 0 once it is gone; and the queries.
TEST_F(NodeMerge, BackPointersAndQueries) {
  Describe({Division(kPanel, kPanelRect, DECORATION_NOPAINT), Item(kItem1, ONESHOT_NODE, PROJ_NEW_BUTTON, kShot),
            Item(kItem3, ONESHOT_NODE, PROJ_NEW_BUTTON, Point{200, 20}),
            Item(kItem2, TOGGLE_NODE, FLIPX_TOGGLE, kToggle), Custom(kItem4, kCustomRect, CUSTOM_HISTORY)});
  EXPECT_EQ(g_oneshots[PROJ_NEW_BUTTON].nodex, Slot_Of(kItem3));
  EXPECT_GT(Slot_Of(kItem3), Slot_Of(kItem1));
  EXPECT_EQ(g_toggles[FLIPX_TOGGLE].nodex, Slot_Of(kItem2));
  EXPECT_EQ(g_custom[CUSTOM_HISTORY].nodex, Slot_Of(kItem4));
  // The slots are in locator order.
  for (int16 nx = 2; nx <= Node_Used(CURR); ++nx) EXPECT_LT(Node_Get(CURR, nx - 1).loc, Node_Get(CURR, nx).loc);
  HWND w = nullptr;
  Rect b;
  ASSERT_TRUE(Custom_Get_Info(CUSTOM_HISTORY, w, b));
  EXPECT_EQ(w, gs.outer_window);
  EXPECT_TRUE(EqualRect(b, kCustomRect));
  EXPECT_FALSE(Custom_Get_Info(CUSTOM_NAV, w, b));
  EXPECT_EQ(NX_To_Loc(Slot_Of(kItem2)), kItem2);
  EXPECT_EQ(NX_To_Loc(Node_Used(CURR) + 1), FREE_LOCATOR);
  // Find_Next_Node and Find_Parent_Node read the description being made.
  Rect total;
  Node_BeginConfig(kPanel, total);
  EXPECT_TRUE(EqualRect(total, kPanelRect));
  EXPECT_NE(Find_Next_Node(kPanel), 0);
  EXPECT_EQ(Find_Next_Node(kItem1), 0) << "freed for the new description";
  EXPECT_FALSE(Node_Exists(kItem1));
  EXPECT_EQ(Find_Parent_Node(kItem1), Find_Next_Node(kPanel));
  Point corner{kShot.v, kShot.h};
  Node_Add_OneShot(kItem1, corner, 1, 0, PROJ_NEW_BUTTON);
  EXPECT_EQ(corner.h, kShot.h + g_oneshots[PROJ_NEW_BUTTON].src_rect.right - g_oneshots[PROJ_NEW_BUTTON].src_rect.left);
  EXPECT_EQ(corner.v, kShot.v) << "dx alone moves along the row";
  Node_Add_Slider(kItem2, corner, 0, 1, PAINT_OPACITY_SLIDER);
  EXPECT_EQ(corner.v, kShot.v + 34);
  Node_EndConfig();
  EXPECT_EQ(g_oneshots[PROJ_NEW_BUTTON].nodex, Slot_Of(kItem1));
  EXPECT_EQ(g_toggles[FLIPX_TOGGLE].nodex, 0);
  EXPECT_EQ(g_custom[CUSTOM_HISTORY].nodex, 0);
  const a_node_rec& slider = Node_At(kItem2);
  EXPECT_EQ(slider.nbounds.left, kShot.h + 40 + 20) << "a slider stands 20 pixels right of its corner";
  EXPECT_EQ(slider.nbounds.right - slider.nbounds.left, 319);
  EXPECT_EQ(g_sliders[PAINT_OPACITY_SLIDER].nodex, Slot_Of(kItem2));
  // Nothing is added outside a description; a division or custom area
  // without a window above it is a caller's fault.
  Point p{0, 0};
  Node_Add_OneShot(0x01010900, p, 0, 0, PROJ_NEW_BUTTON);
  EXPECT_FALSE(Node_Exists(0x01010900));
  Node_BeginConfig(0, total);
  EXPECT_THROW(Node_Add_Division(0x02000000, kPanelRect, DECORATION_NOPAINT, kPanelGrey), QuitCalled);
  EXPECT_THROW(Node_Add_Custom(0x02010000, kPanelRect, false, CUSTOM_NAV), QuitCalled);
  Node_EndConfig();
}

// More than 50 nodes and more than 20 tool pictures: the tree and the
// cache grow; nothing ends the program.
TEST_F(NodeMerge, DescriptionsAndPicturesBeyondTheOldCapacities) {
  std::vector<int16> pictures;
  for (int16 id = 3001; id <= 3026; ++id) pictures.push_back(id);
  ASSERT_TRUE(Open_Pictures(pictures, 64, 64));
  std::vector<Node> d{Division(kPanel, kPanelRect, DECORATION_NOPAINT)};
  for (size_t i = 0; i < pictures.size(); ++i) {
    g_oneshots[i].src_pixtx = pictures[i];
    d.push_back(Item(kPanel | a_locator(i + 1) << 8, ONESHOT_NODE, int16(i), Point{int16(10 * i), 0}));
  }
  for (int16 i = 0; i < 40; ++i)
    d.push_back(nodetest::Label(0x01020000 | a_locator(i + 1) << 8, Rect{int16(i * 10), 400, int16(i * 10 + 9), 600}, 8));
  d.push_back(Division(0x01020000, Rect{0, 400, 620, 600}, DECORATION_NOPAINT));
  ASSERT_NO_THROW(Describe(d));
  EXPECT_EQ(Node_Used(CURR), int16(d.size() + 1));
  int16 loaded = 0;
  for (int16 i = 0; i < Tool_Cache_Size(); ++i) {
    const a_cached_tool& e = Tool_Cache_Entry(i);
    if (e.nref > 0) {
      ++loaded;
      EXPECT_NE(e.pixt.bits, nullptr);
    }
  }
  EXPECT_EQ(loaded, int16(pictures.size()));
  for (size_t i = 0; i < pictures.size(); ++i) {
    ASSERT_NE(g_oneshots[i].src_pixtptr, nullptr);
    EXPECT_EQ(g_oneshots[i].src_pixtptr->key.b, pictures[i]);
  }
  // The same description again changes nothing; a smaller one shrinks the use.
  Validate(gs.outer_window);
  ASSERT_NO_THROW(Describe(d));
  EXPECT_TRUE(UpdateArea(gs.outer_window).Empty());
  Describe({Division(kPanel, kPanelRect, DECORATION_NOPAINT)});
  for (int16 i = 0; i < Tool_Cache_Size(); ++i) EXPECT_EQ(Tool_Cache_Entry(i).nref, -1);
  EXPECT_EQ(g_oneshots[0].src_pixtptr, nullptr);
}

// A description that moves the slider under a resting mouse lets go of it
// (the slider closed); the next stroke finds what lies under the mouse.
TEST_F(NodeMerge, ATrackedNodeMovedByADescriptionIsLeft) {
  const Point at{200, 0};
  const std::vector<Node> first{Division(kPanel, kPanelRect, DECORATION_NOPAINT),
                                Item(kItem3, SLIDER_NODE, PAINT_OPACITY_SLIDER, at)};
  Show(first);
  const a_node_rec& s = Node_At(kItem3);
  const a_mousestroke hover = Stroke(int16(s.nbounds.left + 100), int16(s.nbounds.top + 25));
  EXPECT_TRUE(Intf_MouseDown(hover, true));
  ASSERT_EQ(g_tracked.node.kind, SLIDER_NODE);
  ASSERT_TRUE(qq.active);
  EXPECT_EQ(qq.nodex, Slot_Of(kItem3));

  // A tool key moves the slider down.
  std::vector<Node> down = first;
  down[1].corner.v = int16(down[1].corner.v + 40);
  Describe(down);
  EXPECT_EQ(g_tracked.node.kind, UNUSED_NODE) << "the moved slider is left";
  EXPECT_FALSE(qq.active) << "and closed";
  EXPECT_FALSE(Intf_MouseDown(hover, true)) << "nothing lies under the mouse now";
  const a_mousestroke lower = Stroke(hover.lmouse.h, int16(hover.lmouse.v + 40));
  EXPECT_TRUE(Intf_MouseDown(lower, true));
  EXPECT_TRUE(qq.active);
  EXPECT_EQ(qq.nodex, Slot_Of(kItem3));
  EXPECT_EQ(qq.guard.top, Node_At(kItem3).nbounds.top - 2);

  // A node put before it shifts its slot: left too, and found afresh.
  std::vector<Node> shifted = down;
  shifted.push_back(nodetest::Label(kItem1, Rect{0, 0, 20, 100}, 8));
  const int16 old_slot = Slot_Of(kItem3);
  Describe(shifted);
  EXPECT_NE(Slot_Of(kItem3), old_slot);
  EXPECT_FALSE(qq.active);
  EXPECT_TRUE(Intf_MouseDown(lower, true));
  EXPECT_TRUE(qq.active);
  EXPECT_EQ(qq.nodex, Slot_Of(kItem3));

  // The same description again keeps it open.
  Describe(shifted);
  EXPECT_TRUE(qq.active);
  EXPECT_EQ(g_tracked.node.kind, SLIDER_NODE);
}

}  // namespace
