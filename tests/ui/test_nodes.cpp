// The interface nodes: locators, the offscreen pushes of a node (the list
// boxes paint through them), painting (backgrounds, dimming, labels with
// run-time texts, grids' cells in their three orders), the dispatch of
// strokes and keys, display states, the items' clicks and the tool
// pictures' cache. And the layout chooser's list boxes as the interface
// state sets them up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "host/HostScript.h"
#include "NodeTestSupport.h"
#include "PictLibWrite.h"
#include "SoundTestSupport.h"
#include "TestSupport.h"
#include "pixel/ArtKeys.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilList.h"
#include "platform/Controls.h"
#include "platform/LangUtil.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysInfo.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/SysKey.h"
#include "platform/UString.h"
#include "ui/VoskCurs.h"
#include "ui/VoskStus.h"
#include "platform/WinTestSupport.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"
#include "ui/VoskStat.h"

namespace {

using namespace nodetest;

constexpr uint32 kGrey = 0x808080, kRed = 0xFF0000, kBlue = 0x0000FF;

// --- Locators --------------------------------------------------------------------------

TEST(Locators, BelowComparesLevelByLevel) {
  const struct {
    a_locator child, parent;
    bool below;
  } cases[] = {
      {0x01000000, 0, true},            // every node is below the root
      {0, 0, false},                    // the root is not below itself
      {0x01020300, 0x01020300, false},  // equal bytes: not below
      {0x01020300, 0x01020000, true},
      {0x01020304, 0x01000000, true},
      {0x01020000, 0x01020300, false},  // the parent is deeper
      {0x01030300, 0x01020000, false},  // a differing byte
      {0x02020000, 0x01000000, false},
      {0x01020000, 0x01000000, true},   // the first zero byte of the parent decides
      {0x01000000, 0x01000000, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Is_Node_Below(c.child, c.parent), c.below) << std::hex << c.child << " below " << c.parent;
  EXPECT_EQ(Parent_Locator(0x01020300), 0x01020000u);
  EXPECT_EQ(Parent_Locator(0x01000000), 0u);
  EXPECT_EQ(Parent_Locator(0x01020304), 0x01020300u);
  EXPECT_EQ(Parent_Locator(0), 0u);
}

// --- The offscreen pushes of a node ----------------------------------------------------------

// A world stands for the window the nodes are copied to.
class NodeDrawing : public NodeTree {
 protected:
  GWorldPtr screen_ = nullptr;

  void SetUp() override {
    NodeTree::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(New_GWorld(Rect{0, 0, 130, 120}, 32, nullptr, screen_), noErr);
    Push_GWorld(screen_);
    Fill(Rect{0, 0, 130, 120}, kGrey);
  }
  void TearDown() override {
    while (off_nstack > 0) Off_Pop();
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    if (screen_ != nullptr) Dispose_GWorld(screen_);
    NodeTree::TearDown();
  }
  static void Fill(const Rect& r, uint32 rgb) {
    RGBForeColor(RGBColor{uint16((rgb >> 16 & 0xFF) * 257), uint16((rgb >> 8 & 0xFF) * 257),
                          uint16((rgb & 0xFF) * 257)});
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
  Describe({Division(kPanel, Rect{0, 0, 130, 120}, DECORATION_NOPAINT),
            Custom(kItem1, Rect{10, 20, 50, 70}, CUSTOM_NAV, true)});
  const int16 nx = Slot_Of(kItem1);
  ASSERT_NE(Node_Get(CURR, nx).noffarea.gworld, nullptr);
  Node_PushOff(nx);
  Fill(Rect{0, 0, 130, 120}, kRed);  // lands in the node's world only
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
  Describe({Division(kPanel, Rect{0, 0, 130, 120}, DECORATION_NOPAINT),
            Custom(kItem1, Rect{10, 10, 50, 50}, CUSTOM_NAV, false)});
  // No area: a custom node that needs none, a division, free slots and
  // slots that do not exist.
  for (int16 nx : {Slot_Of(kItem1), Slot_Of(kPanel), int16(0), int16(40), int16(-2)}) {
    Node_PushOff(nx);
    EXPECT_EQ(theGWorld, screen_) << nx;
    Fill(Rect{0, 0, 5, 5}, kBlue);
    Node_PopAndUpdate();
    EXPECT_EQ(Px(2, 2), kBlue);
    Fill(Rect{0, 0, 5, 5}, kGrey);
  }
}

TEST_F(NodeDrawing, PushesNestAndAreasFollowNewBounds) {
  Describe({Division(kPanel, Rect{0, 0, 130, 120}, DECORATION_NOPAINT),
            Custom(kItem1, Rect{0, 0, 20, 20}, CUSTOM_NAV, true), Custom(kItem2, Rect{0, 0, 10, 10}, CUSTOM_BAR, true),
            Custom(kItem3, Rect{0, 0, 10, 10}, CUSTOM_HISTORY, false)});
  // The area of a node described again elsewhere follows it.
  Describe({Division(kPanel, Rect{0, 0, 130, 120}, DECORATION_NOPAINT),
            Custom(kItem1, Rect{60, 60, 90, 110}, CUSTOM_NAV, true), Custom(kItem2, Rect{0, 0, 10, 10}, CUSTOM_BAR, true),
            Custom(kItem3, Rect{0, 0, 10, 10}, CUSTOM_HISTORY, false)});
  Node_PushOff(Slot_Of(kItem1));
  Fill(Rect{0, 0, 130, 120}, kRed);
  Node_PushOff(Slot_Of(kItem3));  // no area: draws into the first node's world
  Fill(Rect{70, 70, 80, 80}, kBlue);
  Node_PopAndUpdate();
  Node_PushOff(Slot_Of(kItem2));
  Fill(Rect{0, 0, 130, 120}, kBlue);
  Node_PopAndUpdate();  // copied into the first node's world, outside its bounds
  Node_PopAndUpdate();
  EXPECT_EQ(Px(65, 65), kRed);
  EXPECT_EQ(Px(75, 75), kBlue);
  EXPECT_EQ(Px(5, 5), kGrey) << "the old bounds are gone and the small node went into the big one";
}

TEST_F(NodeDrawing, UnmatchedPopsAndTooManyPushesAreInternalErrors) {
  EXPECT_THROW(Node_PopAndUpdate(), QuitCalled);
  for (int i = 0; i < 4; ++i) Node_PushOff(0);
  EXPECT_THROW(Node_PushOff(0), QuitCalled);
  for (int i = 0; i < 4; ++i) Node_PopAndUpdate();
  EXPECT_THROW(Node_PopAndUpdate(), QuitCalled);
}

// A list box paints through the node of its custom area: the window gets
// the whole list at once.
TEST_F(NodeDrawing, AListBoxPaintsThroughItsCustomAreasNode) {
  if (!fonts_) GTEST_FAIL() << No_DejaVu_Message();
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
  d.customx = CUSTOM_PAPERLIST;
  d.lo_back_color = a_pixel24{255, 255, 255};
  d.hi_back_color = a_pixel24{164, 209, 255};
  ListBox_Add_Item(u"one", 1, d);
  ListBox_Add_Item(u"two", 2, d);
  Describe({Division(kPanel, Rect{0, 0, 130, 120}, DECORATION_NOPAINT),
            Custom(kItem1, d.area, CUSTOM_PAPERLIST, true)});
  ASSERT_EQ(g_node_pushoff_proc, Custom_PushOff);
  ListBox_Paint(d);
  EXPECT_EQ(theGWorld, screen_);
  EXPECT_EQ(Px(30, 30), 0u) << "frame";
  EXPECT_EQ(Px(108, 22), 0xA4D1FFu) << "the highlighted row";
  EXPECT_EQ(Px(108, 40), 0xFFFFFFu);
  EXPECT_EQ(Px(29, 30), kGrey);
  EXPECT_EQ(Px(60, 54), kGrey);
}

// --- Painting --------------------------------------------------------------------------------

// The window's pixels as 0xRRGGBB.
struct Shot {
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  uint32 At(int x, int y) const { return px[size_t(y) * size_t(w) + size_t(x)] & 0xFFFFFF; }
};
Shot Take() {
  Shot s;
  EXPECT_TRUE(Host_Window_Compose(gs.outer_window, s.px, s.w, s.h));
  if (const char* d = std::getenv("NODE_SHOTS")) {
    static int n = 0;
    std::string err;
    Host_Write_PNG(std::string(d) + "/shot" + std::to_string(n++) + ".png", s.px.data(), s.w, s.h, err);
  }
  return s;
}
uint32 Rgb(const a_pixel24& c) { return uint32(c.r) << 16 | uint32(c.g) << 8 | c.b; }
int Channel(uint32 rgb, int shift) { return int(rgb >> shift & 0xFF); }
// Within 2 of want in each channel.
bool Near(uint32 got, uint32 want) {
  for (int sh : {0, 8, 16})
    if (std::abs(Channel(got, sh) - Channel(want, sh)) > 2) return false;
  return true;
}
// Whether any pixel of r differs between two shots.
bool Differs(const Shot& a, const Shot& b, const Rect& r) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (a.At(x, y) != b.At(x, y)) return true;
  return false;
}
// The pixel of r farthest from a colour.
Point Farthest(const Shot& s, const Rect& r, uint32 from) {
  Point best{r.top, r.left};
  int most = -1;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      int d = 0;
      for (int sh : {0, 8, 16}) d += std::abs(Channel(s.At(x, y), sh) - Channel(from, sh));
      if (d > most) {
        most = d;
        best = Point{int16(y), int16(x)};
      }
    }
  return best;
}
uint32 Mix(uint32 a, uint32 b, int percent_a) {
  uint32 r = 0;
  for (int sh : {0, 8, 16}) r |= uint32((Channel(a, sh) * percent_a + Channel(b, sh) * (100 - percent_a) + 50) / 100) << sh;
  return r;
}

// An item's background is its parent division's; with no division above it
// nothing is painted, and nothing is dimmed.
TEST_F(NodeDrawing, BackgroundsAndDimmingComeFromTheParentDivisionOnly) {
  const a_pixel24 teal{0, 128, 128};
  Describe({Division(kPanel, Rect{0, 0, 130, 120}, DECORATION_SOLIDCOLOR, teal)});
  const Rect r{10, 10, 30, 30};
  Draw_Node_Background(kItem1, r);
  EXPECT_EQ(Px(20, 20), Rgb(teal));
  Fill(r, kRed);
  Dim_Out(30, kItem1, r);
  EXPECT_TRUE(Near(Px(20, 20), Mix(kRed, Rgb(teal), 30))) << std::hex << Px(20, 20);
  Fill(r, kRed);
  Dim_Out(100, kItem1, r);
  EXPECT_EQ(Px(20, 20), kRed) << "at 100 % nothing is laid over";
  // No node at the parent's locator, or one that is no division.
  for (a_locator orphan : {a_locator(0x01050100), a_locator(0x01010101)}) {
    Fill(r, kRed);
    Draw_Node_Background(orphan, r);
    Dim_Out(30, orphan, r);
    EXPECT_EQ(Px(20, 20), kRed) << std::hex << orphan;
  }
  // Decorations: the stripes tile their picture, aligned to the window.
  Describe({Division(kPanel, Rect{0, 0, 130, 120}, DECORATION_STRIPED)});
  Draw_Node_Background(kItem1, Rect{0, 0, 130, 120});
  ASSERT_NE(gs.light_pattern->bits, nullptr);
  const int16 tw = int16(gs.light_pattern->pixmap.bounds.right - gs.light_pattern->pixmap.bounds.left);
  ASSERT_LT(tw, 120);
  EXPECT_EQ(Px(3, 4), Px(3 + tw, 4)) << "tiled";
  EXPECT_THROW(Draw_Decoration(DECORATION_SOLIDCOLOR, r), QuitCalled);
  EXPECT_THROW(Draw_Decoration(DECORATION_BARLINE, r), QuitCalled);
  Fill(r, kRed);
  Draw_Decoration(DECORATION_NOPAINT, r);
  EXPECT_EQ(Px(20, 20), kRed);
  Draw_Decoration(DECORATION_SOLIDGRAY, r);
  EXPECT_EQ(Px(20, 20), 0xA5A5A5u) << "the pasteboard grey";
}

std::string U8(const UniChar* u) {
  std::string s;
  for (; *u != 0; ++u) s += *u < 128 ? char(*u) : '?';
  return s;
}

TEST(RunTimeLabels, TenthsOfMillimetresAndUnknownIndices) {
  char mark = '.';
  Get_Decimal_Mark(mark);
  const struct {
    int16 tenths;
    std::string text;
  } tenths[] = {{0, "0 mm"},     {15, "+1" + std::string(1, mark) + "5 mm"}, {-7, "-0" + std::string(1, mark) + "7 mm"},
                {20, "+2 mm"},   {-123, "-12" + std::string(1, mark) + "3 mm"}, {-32768, "-3276" + std::string(1, mark) + "8 mm"}};
  for (const auto& t : tenths) {
    uStr255 u{};
    uStrCopyAscii("at ", u);
    Append_Tenths(t.tenths, u);
    EXPECT_EQ(U8(u), "at " + t.text) << t.tenths;
  }
  // -1 and -2 read the print adjustment; -4 the examples page; any other
  // negative index is an empty text, never a string of another list.
  uStr255 u{};
  Get_Dynamic_UString(-1, u);
  EXPECT_EQ(U8(u).substr(0, 3), "X: ");
  Get_Dynamic_UString(-2, u);
  EXPECT_EQ(U8(u).substr(0, 3), "Y: ");
  Get_Dynamic_UString(-4, u);
  EXPECT_EQ(U8(u), "1");
  for (int16 strx : {int16(-5), int16(-6), int16(-100), int16(-32768)}) {
    uStrCopyAscii("stale", u);
    Get_Dynamic_UString(strx, u);
    EXPECT_EQ(U8(u), "") << strx;
  }
}

// A label: its rounded background in its colour, laid over the parent's at
// its opacity; white means no background of its own.
TEST_F(NodeTree, LabelsShowTheirBackgroundAtTheirOpacity) {
  const a_pixel24 back{30, 60, 200};
  const Rect a{40, 20, 64, 300}, b{80, 20, 104, 300}, c{120, 20, 144, 300};
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_SOLIDCOLOR), Label(kItem1, a, 8, {0, 0, 0}, back, 100),
            Label(kItem2, b, 8, {0, 0, 0}, back, 40), Label(kItem3, c, 8)});
  Update();
  const Shot s = Take();
  // Right of the short text, inside the rounded ends.
  EXPECT_EQ(s.At(250, 52), Rgb(back));
  EXPECT_TRUE(Near(s.At(250, 92), Mix(Rgb(back), Rgb(kPanelGrey), 40))) << std::hex << s.At(250, 92);
  EXPECT_EQ(s.At(250, 132), Rgb(kPanelGrey));
  EXPECT_EQ(s.At(21, 41), Rgb(kPanelGrey)) << "the rounded corner shows the panel";
  EXPECT_TRUE(Node_At(kItem1).drawn);
}

// The cells of a grid in its three orders, in the artwork and on screen.
TEST_F(NodeTree, GridCellsInTheirThreeOrders) {
  a_grid_item& g = g_grid[ERASER_GRID];
  g.grid_ncells = Point{2, 3};  // 2 rows, 3 columns
  g.grid_cell = Point{20, 30};  // 20 high, 30 wide
  g.grid_overlap = 1;
  g.grid_srcdiv = 5;
  g.grid_dstdiv = Point{3, 7};
  g.grid_sncells = Point{0, 0};
  g.embed_flag = false;
  const struct {
    a_grid_order order;
    int16 e;
    bool source;
    int16 top, left;
  } cases[] = {
      {LRTB, 0, false, 0, 0},  {LRTB, 2, false, 0, 72},  {LRTB, 4, false, 22, 36},  // step 36 across, 22 down
      {TBLR, 1, false, 22, 0}, {TBLR, 4, false, 0, 72},  {TBLR, 5, false, 22, 72},
      {LRBT, 0, false, 22, 0}, {LRBT, 4, false, 0, 36},  {LRBT, 2, false, 22, 72},
      {LRTB, 4, true, 24, 34}, {TBLR, 3, true, 24, 34},  {LRBT, 4, true, 0, 34},  // the source's divider is 5
  };
  for (const auto& c : cases) {
    g.grid_order = c.order;
    Rect cell;
    Calc_Grid_Cell(c.source, ERASER_GRID, c.e, cell);
    EXPECT_EQ(cell.top, c.top) << int(c.order) << " " << c.e << " " << c.source;
    EXPECT_EQ(cell.left, c.left) << int(c.order) << " " << c.e << " " << c.source;
    EXPECT_EQ(cell.bottom - cell.top, 20);
    EXPECT_EQ(cell.right - cell.left, 30);
  }
  // The artwork's own cell counts; an embedded label keeps one strip.
  g.grid_order = LRTB;
  g.grid_sncells = Point{1, 6};
  Rect cell;
  Calc_Grid_Cell(true, ERASER_GRID, 4, cell);
  EXPECT_EQ(cell.top, 0);
  EXPECT_EQ(cell.left, 4 * 34);
  g.grid_sncells = Point{0, 0};
  g.embed_flag = true;
  Calc_Grid_Cell(true, ERASER_GRID, 5, cell);
  EXPECT_EQ(cell.left, 0) << "one column of artwork";
  EXPECT_EQ(cell.top, 24);
  g.grid_ncells = Point{3, 1};
  Calc_Grid_Cell(true, ERASER_GRID, 2, cell);
  EXPECT_EQ(cell.top, 0) << "one row of artwork when rows outnumber columns";
}

// One-shots: the artwork's versions, inverted when there is no hilited
// version, dimmed over the background, a colour swatch; with STEALTH only
// invalidated, with GHOST2 not drawn.
a_tri_state g_shot_state = PLAIN_BUTTON;
a_tri_state Shot_State(int16) { return g_shot_state; }

TEST_F(NodeTree, OneShotsAreDrawnInTheirStates) {
  const a_oneshot_enum ix = UNDO_BUTTON;
  a_oneshot_item& item = g_oneshots[ix];
  item.hiproc = Shot_State;
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_SOLIDCOLOR), Item(kItem1, ONESHOT_NODE, ix, Point{40, 40})});
  const Rect b = Node_At(kItem1).nbounds;
  auto paint = [&](a_tri_state st) {
    g_shot_state = st;
    OneShot_Paint(ix);
    return Take();
  };
  const Shot plain = paint(PLAIN_BUTTON);
  EXPECT_EQ(item.state, PLAIN_BUTTON) << "the state painted is kept";
  const Point ink = Farthest(plain, b, Rgb(kPanelGrey));
  const int cx = ink.h, cy = ink.v;
  ASSERT_NE(plain.At(cx, cy), Rgb(kPanelGrey)) << "the artwork is there";
  const Shot hilite = paint(HILITE_BUTTON);
  EXPECT_TRUE(Differs(hilite, plain, b)) << "the hilited version";
  // Without a second version the button is inverted.
  const int16 verh = item.src_verh, verv = item.src_verv;
  item.src_verh = item.src_verv = 0;
  const Shot inverted = paint(HILITE_BUTTON);
  for (int y = b.top; y < b.bottom; y += 3)
    for (int x = b.left; x < b.right; x += 3) ASSERT_EQ(inverted.At(x, y), ~plain.At(x, y) & 0xFFFFFF) << x << "," << y;
  item.src_verh = verh;
  item.src_verv = verv;
  const Shot dim = paint(DIM_BUTTON);
  EXPECT_TRUE(Near(dim.At(cx, cy), Mix(plain.At(cx, cy), Rgb(kPanelGrey), 30))) << std::hex << dim.At(cx, cy);
  const Shot hidden = paint(HIDDEN_BUTTON);
  EXPECT_EQ(hidden.At(cx, cy), Rgb(kPanelGrey)) << "a hidden button is its background";
  // A swatch: 48 to 16 pixels left of the right edge, framed in black.
  a_pixel24 swatch{250, 10, 10};
  item.embed_color = &swatch;
  const Shot with = paint(PLAIN_BUTTON);
  EXPECT_EQ(with.At(b.right - 30, b.top + 12), 0xFA0A0Au);
  EXPECT_EQ(with.At(b.right - 48, b.top + 12), 0u) << "its frame";
  Validate(gs.outer_window);
  ColorPicker_Blast(ix, a_pixel24{250, 10, 10});
  EXPECT_TRUE(UpdateArea(gs.outer_window).Empty()) << "the same colour";
  ColorPicker_Blast(ix, a_pixel24{0, 0, 250});
  EXPECT_EQ(swatch.b, 250);
  EXPECT_TRUE(UpdateArea(gs.outer_window).Is({b}));
  item.embed_color = nullptr;
  // STEALTH only invalidates; GHOST2 draws nothing.
  paint(PLAIN_BUTTON);
  Validate(gs.outer_window);
  gs.controller = STEALTH;
  const Shot stealth = paint(HILITE_BUTTON);
  EXPECT_EQ(stealth.At(cx, cy), plain.At(cx, cy));
  EXPECT_TRUE(UpdateArea(gs.outer_window).Is({b}));
  gs.controller = GHOST2;
  Validate(gs.outer_window);
  const Shot ghost = paint(HILITE_BUTTON);
  EXPECT_EQ(ghost.At(cx, cy), plain.At(cx, cy));
  EXPECT_TRUE(UpdateArea(gs.outer_window).Empty());
  gs.controller = GHOST;
}

// --- Dispatch ---------------------------------------------------------------------------

std::vector<std::string> g_events;
void Hit_A(const a_mousestroke&) { g_events.push_back("hit A"); }
void Exit_A() { g_events.push_back("exit A"); }
void Hit_B(const a_mousestroke&) { g_events.push_back("hit B"); }
void Exit_B() { g_events.push_back("exit B"); }
a_tri_state Hidden(int16) { return HIDDEN_BUTTON; }

TEST_F(NodeTree, LeavingComesBeforeEntering) {
  g_custom[CUSTOM_HISTORY].custom_hit = Hit_A;
  g_custom[CUSTOM_HISTORY].custom_exit = Exit_A;
  g_custom[CUSTOM_NAV].custom_hit = Hit_B;
  g_custom[CUSTOM_NAV].custom_exit = Exit_B;
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Custom(kItem1, Rect{0, 0, 100, 100}, CUSTOM_HISTORY),
            Custom(kItem2, Rect{0, 100, 100, 200}, CUSTOM_NAV)});
  g_events.clear();
  EXPECT_TRUE(Intf_MouseDown(Stroke(50, 50), true));
  EXPECT_TRUE(Intf_MouseDown(Stroke(60, 50), true));
  EXPECT_TRUE(Intf_MouseDown(Stroke(150, 50), true));
  EXPECT_FALSE(Intf_MouseDown(Stroke(250, 50), true));
  EXPECT_EQ(g_events, (std::vector<std::string>{"hit A", "hit A", "exit A", "hit B", "exit B"}));
  EXPECT_EQ(g_curr_cursor.shape, ARROW_CURSOR);
  // Over a one-shot: the finger, and a tip of the button asked for.
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, ONESHOT_NODE, PROJ_NEW_BUTTON, Point{40, 40})});
  EXPECT_TRUE(Intf_MouseDown(Stroke(45, 45), true));
  EXPECT_EQ(g_curr_cursor.shape, FINGER_CURSOR);
  EXPECT_EQ(g_annot.targ.kind, ANNOT_ONESHOT);
  EXPECT_EQ(g_annot.targ.ix, PROJ_NEW_BUTTON);
  EXPECT_EQ(g_annot.targ.delay1, 60);
  EXPECT_EQ(g_tracked.enter_time, Stroke(45, 45).when);
}

TEST_F(NodeTree, AHiddenItemHidesWhatLiesBeneathIt) {
  g_toggles[FLIPX_TOGGLE].hiproc = Hidden;
  g_custom[CUSTOM_HISTORY].custom_hit = Hit_A;
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, TOGGLE_NODE, FLIPX_TOGGLE, Point{40, 40}),
            Custom(kItem2, Rect{0, 0, 200, 200}, CUSTOM_HISTORY)});
  g_events.clear();
  EXPECT_FALSE(Intf_MouseDown(Stroke(45, 45), true)) << "over the hidden toggle: no node at all";
  EXPECT_EQ(g_tracked.node.kind, UNUSED_NODE);
  EXPECT_TRUE(Intf_MouseDown(Stroke(150, 150), true)) << "beside it: the area beneath";
  EXPECT_EQ(g_events, std::vector<std::string>{"hit A"});
}

int g_selects = 0;
void Count_Select() { ++g_selects; }

// A press between a grid's cells is refused; a press on a cell selects it,
// its two cells painted at once.
TEST_F(NodeTree, GridPresses) {
  soundtest::SoundRecorder sounds;
  a_grid_item& g = g_grid[ERASER_GRID];
  g.grid_dstdiv = Point{6, 6};  // gaps of 5 pixels between the cells
  g.grid_select = Count_Select;
  g.history_op = OP_PAINT_ZAP;
  g.src_rect.right = int16(g.src_rect.left + 6 * 29 + 5 * 5 + g.grid_shadow);
  g.src_rect.bottom = int16(g.src_rect.top + 2 * 29 + 5 + g.grid_shadow);
  gs.grid_vals[ERASER_GRID] = 8;
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, ICONGRID_NODE, ERASER_GRID, Point{100, 20})});
  Update();
  g_selects = 0;
  pending_op = OP_NOP;
  sounds.Clear();
  const Point gap{110, 20 + 29 + 2};  // between the first two cells of the first row
  EXPECT_EQ(Grid_Find_Element(gap, ERASER_GRID), NO_ELEMENT);
  Validate(gs.outer_window);
  EXPECT_TRUE(Intf_MouseDown(Stroke(gap.h, gap.v, true), true));
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
  EXPECT_EQ(gs.grid_vals[ERASER_GRID], 8);
  EXPECT_EQ(pending_op, OP_NOP);
  EXPECT_EQ(g_selects, 0);
  EXPECT_TRUE(UpdateArea(gs.outer_window).Empty());
  // On the third cell of the second row: element 8 + 2 - ... = 2 of row 1.
  sounds.Clear();
  const Shot before = Take();
  Rect third;
  Calc_Grid_Cell(false, ERASER_GRID, 2, third);
  OffsetRect(third, 20, 100);
  EXPECT_EQ(Grid_Find_Element(Point{int16(third.top + 5), int16(third.left + 5)}, ERASER_GRID), 2);
  EXPECT_TRUE(Intf_MouseDown(Stroke(int16(third.left + 5), int16(third.top + 5), true), true));
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_SUBTOOL_ICONGRID});
  EXPECT_EQ(gs.grid_vals[ERASER_GRID], 2);
  EXPECT_EQ(pending_op, OP_PAINT_ZAP);
  EXPECT_EQ(g_selects, 1);
  const Shot after = Take();
  EXPECT_TRUE(Differs(after, before, third)) << "the new cell hilited";
  Rect old_cell;
  Calc_Grid_Cell(false, ERASER_GRID, 8, old_cell);
  OffsetRect(old_cell, 20, 100);
  EXPECT_TRUE(Differs(after, before, old_cell)) << "the old one plain";
  EXPECT_TRUE(UpdateArea(gs.outer_window).Empty()) << "painted at once, nothing left to do";
  // The same element again changes nothing but is heard.
  sounds.Clear();
  Grid_Click(ERASER_GRID, 2);
  EXPECT_EQ(g_selects, 1);
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_SUBTOOL_ICONGRID});
  // Hover: a tip for the element, none between the cells.
  Intf_MouseDown(Stroke(int16(third.left + 5), int16(third.top + 5)), true);
  EXPECT_EQ(g_annot.targ.kind, ANNOT_GRID);
  EXPECT_EQ(g_annot.targ.subx, 2);
  Intf_MouseDown(Stroke(gap.h, gap.v), true);
  EXPECT_EQ(g_annot.targ.kind, ANNOT_NULL);
}

// Elements outside rows x columns are refused by every setter.
TEST_F(NodeTree, GridElementsOutsideTheGridAreRefused) {
  soundtest::SoundRecorder sounds;
  g_grid[ERASER_GRID].grid_select = Count_Select;
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, ICONGRID_NODE, ERASER_GRID, Point{100, 20})});
  gs.grid_vals[ERASER_GRID] = 3;
  g_selects = 0;
  pending_op = OP_NOP;
  const int16 count = Grid_Elements(ERASER_GRID);
  ASSERT_EQ(count, 12);
  for (int16 e : {count, int16(count + 1), int16(-1), int16(NO_ELEMENT)}) {
    SCOPED_TRACE(e);
    Validate(gs.outer_window);
    sounds.Clear();
    Grid_Blast(ERASER_GRID, e);
    Grid_SetVal_Silent(ERASER_GRID, e);
    Grid_Click(ERASER_GRID, e);
    EXPECT_EQ(gs.grid_vals[ERASER_GRID], 3);
    EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_NULL});
    EXPECT_EQ(pending_op, OP_NOP);
    EXPECT_EQ(g_selects, 0);
    EXPECT_TRUE(UpdateArea(gs.outer_window).Empty());
  }
  // A grid bound to a state variable stores through it.
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, ICONGRID_NODE, ZOOM_GRID, Point{100, 20})});
  gs.grid_vals[ZOOM_GRID] = 0;
  Grid_SetVal_Silent(ZOOM_GRID, 2);
  EXPECT_EQ(gs.grid_vals[ZOOM_GRID], 2);
  EXPECT_TRUE(SV_Is_Changed(SV_ZOOM_IX));
  Grid_Blast(ZOOM_GRID, 4);
  EXPECT_EQ(gs.grid_vals[ZOOM_GRID], 4);
  SV_Finish();
}

std::vector<int> g_filters;
template <int N, bool Take>
bool8 Filter(const a_keystroke&) {
  g_filters.push_back(N);
  return Take;
}

TEST_F(NodeTree, KeysReachTheFiltersInLocatorOrder) {
  g_custom[CUSTOM_HISTORY].keyfilter = Filter<1, false>;
  g_custom[CUSTOM_NAV].keyfilter = Filter<2, true>;
  g_custom[CUSTOM_BAR].keyfilter = Filter<3, true>;
  // Added out of order: the tree sorts them.
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Custom(kItem3, Rect{0, 0, 10, 10}, CUSTOM_BAR),
            Custom(kItem1, Rect{0, 20, 10, 30}, CUSTOM_HISTORY), Custom(kItem2, Rect{0, 40, 10, 50}, CUSTOM_NAV)});
  g_filters.clear();
  EXPECT_TRUE(Intf_KeyDown(a_keystroke{0, 'a', u'a', 0}));
  EXPECT_EQ(g_filters, (std::vector<int>{1, 2}));
  g_custom[CUSTOM_NAV].keyfilter = Filter<2, false>;
  g_custom[CUSTOM_BAR].keyfilter = Filter<3, false>;
  g_filters.clear();
  EXPECT_FALSE(Intf_KeyDown(a_keystroke{0, 'a', u'a', 0}));
  EXPECT_EQ(g_filters, (std::vector<int>{1, 2, 3}));
}

// Only the items whose state changed are painted again, and only items
// already drawn are asked.
a_tri_state g_one_state = PLAIN_BUTTON, g_two_state = PLAIN_BUTTON;
a_tri_state One_State(int16) { return g_one_state; }
a_tri_state Two_State(int16) { return g_two_state; }

TEST_F(NodeTree, CheckHilitesInvalidatesOnlyChangedItems) {
  g_toggles[FLIPX_TOGGLE].hiproc = One_State;
  g_toggles[FLIPY_TOGGLE].hiproc = Two_State;
  g_oneshots[PROJ_NEW_BUTTON].hiproc = Two_State;
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, TOGGLE_NODE, FLIPX_TOGGLE, Point{40, 40}),
            Item(kItem2, TOGGLE_NODE, FLIPY_TOGGLE, Point{40, 100}), Item(kItem3, ONESHOT_NODE, PROJ_NEW_BUTTON, Point{100, 40})});
  g_one_state = g_two_state = PLAIN_BUTTON;
  Update();
  Validate(gs.outer_window);
  Intf_CheckHilites();
  EXPECT_TRUE(UpdateArea(gs.outer_window).Empty());
  g_one_state = DIM_BUTTON;
  Intf_CheckHilites();
  EXPECT_TRUE(UpdateArea(gs.outer_window).Is({Node_At(kItem1).nbounds}));
  EXPECT_EQ(g_toggles[FLIPX_TOGGLE].state, DIM_BUTTON);
  Validate(gs.outer_window);
  Intf_CheckHilites();
  EXPECT_TRUE(UpdateArea(gs.outer_window).Empty()) << "asked again: no change";
  // Items not drawn yet are not asked.
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, TOGGLE_NODE, FLIPX_TOGGLE, Point{40, 40}),
            Item(kItem2, TOGGLE_NODE, FLIPY_TOGGLE, Point{40, 200}), Item(kItem3, ONESHOT_NODE, PROJ_NEW_BUTTON, Point{100, 40})});
  Validate(gs.outer_window);
  g_two_state = HILITE_BUTTON;
  Intf_CheckHilites();
  EXPECT_TRUE(UpdateArea(gs.outer_window).Is({Node_At(kItem3).nbounds})) << "the one-shot kept its node, the moved toggle waits";
}

// --- Clicks -----------------------------------------------------------------------------------

int g_actions = 0;
void Count_Action() { ++g_actions; }

TEST_F(NodeTree, OneShotAndToggleClicks) {
  soundtest::SoundRecorder sounds;
  g_oneshots[PAINT_ZAP_BUTTON].one_proc = Count_Action;
  g_toggles[FLIPX_TOGGLE].toggle_proc = Count_Action;
  g_toggles[FLIPX_TOGGLE].history_op = OP_CANVAS_FLIP;
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, ONESHOT_NODE, PAINT_ZAP_BUTTON, Point{40, 40}),
            Item(kItem2, TOGGLE_NODE, FLIPX_TOGGLE, Point{40, 140})});
  Update();
  const Rect shot = Node_At(kItem1).nbounds;
  const Shot plain = Take();
  g_actions = 0;
  pending_op = OP_NOP;
  const uint32 start = Host_Clock_Millis();
  EXPECT_TRUE(Intf_MouseDown(Stroke(int16(shot.left + 5), int16(shot.top + 5), true), true));
  EXPECT_EQ(g_actions, 1);
  EXPECT_EQ(pending_op, OP_PAINT_ZAP);
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_CLEAR_FAST});
  EXPECT_GE(Host_Clock_Millis() - start, 5u) << "the flash lasts 5 ms";
  const Shot after = Take();
  EXPECT_EQ(after.At((shot.left + shot.right) / 2, (shot.top + shot.bottom) / 2),
            plain.At((shot.left + shot.right) / 2, (shot.top + shot.bottom) / 2))
      << "plain again after the flash";
  // The toggle flips, is heard, calls its procedure and is painted.
  sounds.Clear();
  const Rect tog = Node_At(kItem2).nbounds;
  const bool8 was = gs.toggle_vals[FLIPX_TOGGLE];
  Intf_MouseDown(Stroke(int16(tog.left + 5), int16(tog.top + 5), true), true);
  EXPECT_NE(gs.toggle_vals[FLIPX_TOGGLE], was);
  EXPECT_EQ(g_actions, 2);
  EXPECT_EQ(pending_op, OP_CANVAS_FLIP);
  EXPECT_EQ(sounds.Ids(), std::vector<int16>{SND_SUBTOOL_ONESHOT});
  EXPECT_TRUE(Differs(Take(), plain, tog)) << "its other version";
  // Blast stores without an action; Compare only repaints.
  Validate(gs.outer_window);
  Toggle_Blast(FLIPX_TOGGLE, gs.toggle_vals[FLIPX_TOGGLE]);
  EXPECT_TRUE(UpdateArea(gs.outer_window).Empty());
  Toggle_Blast(FLIPX_TOGGLE, !gs.toggle_vals[FLIPX_TOGGLE]);
  EXPECT_TRUE(UpdateArea(gs.outer_window).Is({tog}));
  EXPECT_EQ(g_actions, 2);
  Validate(gs.outer_window);
  Toggle_Compare(FLIPX_TOGGLE, !gs.toggle_vals[FLIPX_TOGGLE]);
  EXPECT_TRUE(UpdateArea(gs.outer_window).Is({tog}));
  // With STEALTH: no sound and no flash, the action all the same.
  gs.controller = STEALTH;
  sounds.Clear();
  Oneshot_Click(PAINT_ZAP_BUTTON);
  EXPECT_EQ(g_actions, 3);
  EXPECT_TRUE(sounds.Ids().empty());
  gs.controller = GHOST;
  // A toggle bound to a state variable flips through it.
  g_toggles[SYMMETRY_TOGGLE].toggle_is_statevar = true;
  g_toggles[SYMMETRY_TOGGLE].toggle_statevarx = SV_SYMMETRY_ENABLED;
  gs.toggle_vals[SYMMETRY_TOGGLE] = false;
  Toggle_Click(SYMMETRY_TOGGLE);
  EXPECT_TRUE(gs.toggle_vals[SYMMETRY_TOGGLE]);
  EXPECT_TRUE(SV_Is_Changed(SV_SYMMETRY_ENABLED));
  SV_Finish();
}

// --- Tool pictures ----------------------------------------------------------------------------

// The cache holds what the items on screen show, unloads the rest, and takes
// a language's copy of ids 160 to 400 when the library has one.
TEST_F(NodeTree, ToolPicturesFollowTheScreenAndTheLanguage) {
  ASSERT_TRUE(Open_Pictures({200, 203, 390}, 80, 40));
  g_oneshots[PROJ_NEW_BUTTON].src_pixtx = 200;
  g_oneshots[UNDO_BUTTON].src_pixtx = 390;
  auto loaded = [] {
    std::vector<int16> ids;
    for (int16 i = 0; i < Tool_Cache_Size(); ++i)
      if (Tool_Cache_Entry(i).nref > 0) ids.push_back(Tool_Cache_Entry(i).id);
    std::sort(ids.begin(), ids.end());
    return ids;
  };
  gs.pref.language_offset = 3;
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, ONESHOT_NODE, PROJ_NEW_BUTTON, Point{40, 40}),
            Item(kItem2, ONESHOT_NODE, UNDO_BUTTON, Point{40, 140}), Item(kItem3, TOGGLE_NODE, FLIPX_TOGGLE, Point{40, 240})});
  EXPECT_EQ(loaded(), (std::vector<int16>{int16(g_toggles[FLIPX_TOGGLE].src_pixtx), 203, 390}))
      << "200 in language 3 is 203; 393 does not exist: 390";
  ASSERT_NE(g_oneshots[PROJ_NEW_BUTTON].src_pixtptr, nullptr);
  EXPECT_EQ(g_oneshots[PROJ_NEW_BUTTON].src_pixtptr->key.b, 203);
  // Gone from the screen: unloaded, and the item points at nothing.
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, ONESHOT_NODE, PROJ_NEW_BUTTON, Point{40, 40})});
  EXPECT_EQ(loaded(), std::vector<int16>{203});
  EXPECT_EQ(g_oneshots[UNDO_BUTTON].src_pixtptr, nullptr);
  for (int16 i = 0; i < Tool_Cache_Size(); ++i)
    if (Tool_Cache_Entry(i).nref < 0) {
      EXPECT_EQ(Tool_Cache_Entry(i).pixt.bits, nullptr);
    }
  // Two items of one picture share an entry.
  g_oneshots[UNDO_BUTTON].src_pixtx = 200;
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem1, ONESHOT_NODE, PROJ_NEW_BUTTON, Point{40, 40}),
            Item(kItem2, ONESHOT_NODE, UNDO_BUTTON, Point{40, 140})});
  EXPECT_EQ(loaded(), std::vector<int16>{203});
  EXPECT_EQ(g_oneshots[UNDO_BUTTON].src_pixtptr, g_oneshots[PROJ_NEW_BUTTON].src_pixtptr);
  // A language without its copy: the plain id.
  gs.pref.language_offset = 4;
  Describe({Division(kPanel, Rect{0, 0, 620, 350}, DECORATION_NOPAINT), Item(kItem2, ONESHOT_NODE, UNDO_BUTTON, Point{40, 140})});
  EXPECT_EQ(loaded(), std::vector<int16>{200});
  gs.pref.language_offset = 0;
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
