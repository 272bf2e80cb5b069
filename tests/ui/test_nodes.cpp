// The interface nodes' drawing services: a node with an offscreen area is
// drawn there and copied to the port of before at once; a node without one
// draws straight into the port. A list box painted through them. And the
// layout chooser's list boxes as the interface state sets them up.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilList.h"
#include "platform/Controls.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysInfo.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/WinTestSupport.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace {

constexpr uint32 kGrey = 0x808080, kRed = 0xFF0000, kBlue = 0x0000FF;

class NodeDrawing : public ::testing::Test {
 protected:
  GWorldPtr screen_ = nullptr;  // stands for the window the nodes are copied to

  void SetUp() override {
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Draw_Init();
    Off_Init();
    ASSERT_EQ(New_GWorld(Rect{0, 0, 100, 120}, 32, nullptr, screen_), noErr);
    Push_GWorld(screen_);
    Fill(Rect{0, 0, 100, 120}, kGrey);
  }
  void TearDown() override {
    Node_Close_All_Off();
    while (off_nstack > 0) Off_Pop();
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    if (screen_ != nullptr) Dispose_GWorld(screen_);
    Stop_Quickdraw();
  }
  static void Fill(const Rect& r, uint32 rgb) {
    RGBForeColor(RGBColor{uint16((rgb >> 16 & 0xFF) * 257), uint16((rgb >> 8 & 0xFF) * 257), uint16((rgb & 0xFF) * 257)});
    PaintRect(r);
    ForeColor(1);
  }
  uint32 Px(int x, int y) const {
    uint32 v;
    std::memcpy(&v, screen_->pix.baseAddr + size_t(y) * PixMap_RowBytes(screen_->pix) + 4 * size_t(x), 4);
    return v & 0xFFFFFF;
  }
};

TEST_F(NodeDrawing, ANodeIsDrawnOffscreenThenCopiedWhole) {
  Node_Open_Off(3, Rect{10, 20, 50, 70});
  Node_PushOff(3);
  Fill(Rect{0, 0, 100, 120}, kRed);  // lands in the node's world only
  Fill(Rect{30, 40, 35, 45}, kBlue);
  EXPECT_EQ(Px(30, 20), kGrey) << "nothing reaches the window before the pop";
  Node_PopAndUpdate();
  EXPECT_EQ(theGWorld, screen_);
  EXPECT_EQ(Px(20, 10), kRed);
  EXPECT_EQ(Px(69, 49), kRed);
  EXPECT_EQ(Px(42, 32), kBlue);
  EXPECT_EQ(Px(19, 10), kGrey);
  EXPECT_EQ(Px(70, 30), kGrey);
  EXPECT_EQ(Px(30, 50), kGrey);
  EXPECT_EQ(Px(30, 9), kGrey);
}

TEST_F(NodeDrawing, ANodeWithoutAnAreaDrawsStraightIntoThePort) {
  for (int16 nx : {int16(0), int16(4), int16(MAXNODES + 1), int16(-2)}) {
    Node_Open_Off(nx, Rect{10, 10, 10, 50});  // empty bounds: no area either
    Node_PushOff(nx);
    EXPECT_EQ(theGWorld, screen_);
    Fill(Rect{0, 0, 5, 5}, kBlue);
    Node_PopAndUpdate();
    EXPECT_EQ(Px(2, 2), kBlue);
    Fill(Rect{0, 0, 5, 5}, kGrey);
  }
  // A node whose area was closed draws straight again.
  Node_Open_Off(5, Rect{0, 0, 40, 40});
  Node_Close_Off(5);
  Node_PushOff(5);
  EXPECT_EQ(theGWorld, screen_);
  Node_PopAndUpdate();
}

TEST_F(NodeDrawing, AreasFollowNewBoundsAndPushesNest) {
  Node_Open_Off(2, Rect{0, 0, 20, 20});
  Node_Open_Off(2, Rect{60, 60, 90, 110});
  Node_Open_Off(6, Rect{0, 0, 10, 10});
  Node_PushOff(2);
  Fill(Rect{0, 0, 100, 120}, kRed);
  Node_PushOff(7);  // no area: draws into node 2's world
  Fill(Rect{70, 70, 80, 80}, kBlue);
  Node_PopAndUpdate();
  Node_PushOff(6);
  Fill(Rect{0, 0, 100, 120}, kBlue);
  Node_PopAndUpdate();  // node 6 copied into node 2's world, outside its bounds
  Node_PopAndUpdate();
  EXPECT_EQ(Px(65, 65), kRed);
  EXPECT_EQ(Px(75, 75), kBlue);
  EXPECT_EQ(Px(5, 5), kGrey) << "node 2's old bounds are gone and node 6 went into node 2";
}

TEST_F(NodeDrawing, UnmatchedPopsAndTooManyPushesAreInternalErrors) {
  EXPECT_THROW(Node_PopAndUpdate(), QuitCalled);
  for (int i = 0; i < 4; ++i) Node_PushOff(0);
  EXPECT_THROW(Node_PushOff(0), QuitCalled);
  for (int i = 0; i < 4; ++i) Node_PopAndUpdate();
  EXPECT_THROW(Node_PopAndUpdate(), QuitCalled);
}

// A list box paints through its node: the window gets the whole list at once.
TEST_F(NodeDrawing, AListBoxPaintsThroughItsNode) {
  if (!Pin_DejaVu()) GTEST_SKIP() << kNoDejaVuMessage;
  Fonts_Stop();
  Fonts_Init();
  void (*saved_push)(int16) = g_node_pushoff_proc;
  void (*saved_pop)() = g_node_popandupdate_proc;
  g_node_pushoff_proc = Node_PushOff;
  g_node_popandupdate_proc = Node_PopAndUpdate;
  std::vector<a_listbox_item> rows(2);
  a_listbox_desc d{};
  Null_FontSpec(d.font);
  d.font.fontID = BASE_PROP_FONT;
  d.font.size = 12;
  d.border = 1;
  d.cell_v = 16;
  d.nvis = 2;
  d.area = Rect{20, 30, 54, 110};
  d.list = rows.data();
  d.maxnlist = 2;
  d.hix = 1;
  d.customx = 9;
  d.lo_back_color = a_pixel24{255, 255, 255};
  d.hi_back_color = a_pixel24{164, 209, 255};
  ListBox_Add_Item(u"one", 1, d);
  ListBox_Add_Item(u"two", 2, d);
  Node_Open_Off(9, d.area);
  ListBox_Paint(d);
  g_node_pushoff_proc = saved_push;
  g_node_popandupdate_proc = saved_pop;
  Fonts_Stop();
  EXPECT_EQ(theGWorld, screen_);
  EXPECT_EQ(Px(30, 30), 0u) << "frame";
  EXPECT_EQ(Px(108, 22), 0xA4D1FFu) << "the highlighted row";
  EXPECT_EQ(Px(108, 40), 0xFFFFFFu);
  EXPECT_EQ(Px(29, 30), kGrey);
  EXPECT_EQ(Px(60, 54), kGrey);
}

// The two list boxes of the layout chooser as the interface state makes them.
TEST(ListBoxDesc, InitialisedWithItsColoursFontAndAHiddenScrollBar) {
  HWND main = wintest::Start_Dialog_Layer();
  Init_Fonts();
  a_listbox_desc d{};
  d.nlist = 12;
  d.area = Rect{1, 2, 3, 4};
  Init_ListBox_Desc(d);
  EXPECT_EQ(d.nlist, 0);
  EXPECT_EQ(d.area.bottom, 0);
  EXPECT_EQ(d.list, nullptr);
  EXPECT_EQ(d.border, 1);
  EXPECT_EQ(d.hix, 1);
  EXPECT_EQ(d.scrollbar_h, info_sbarheight);
  EXPECT_EQ(d.font.size, 14);
  EXPECT_EQ(d.font.fontID, BASE_PROP_FONT);
  EXPECT_EQ(d.font.effects, Effect_Bit(EFFECT_BOLD));
  auto rgb = [](const a_pixel24& c) { return uint32(c.r) << 16 | uint32(c.g) << 8 | c.b; };
  EXPECT_EQ(rgb(d.lo_back_color), 0xFFFFFFu);
  EXPECT_EQ(rgb(d.lo_fore_color), 0u);
  EXPECT_EQ(rgb(d.hi_back_color), 0xA4D1FFu);
  EXPECT_EQ(rgb(d.hi_fore_color), 0u);
  EXPECT_EQ(rgb(d.sp_back_color), 0x1E3C1Eu);
  ASSERT_NE(d.scrollbar, nullptr);
  EXPECT_EQ(GetParent(d.scrollbar), main);
  EXPECT_FALSE(IsWindowVisible(d.scrollbar));
  RECT r{};
  GetWindowRect(d.scrollbar, &r);
  EXPECT_EQ(r.right - r.left, 20);
  EXPECT_EQ(r.bottom - r.top, 100);
  EXPECT_EQ(GetControlMinimum(d.scrollbar), 0);
  EXPECT_EQ(GetControlValue(d.scrollbar), 0);
  // Set up again: the old scroll bar goes.
  HWND old = d.scrollbar;
  Init_ListBox_Desc(d);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_NE(d.scrollbar, nullptr);
  DisposeControl(d.scrollbar);
  // Without a main window there is no scroll bar.
  gs.outer_window = nullptr;
  Init_ListBox_Desc(d);
  EXPECT_EQ(d.scrollbar, nullptr);
  wintest::Stop_Headless_Host();
}

}  // namespace
