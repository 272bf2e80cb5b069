// The owner-drawn list box: row boxes and hit-testing, rows added up to the
// capacity, the highlight, and the painting read back from a world: frame,
// row colours, the highlighted row, the strips between rows, text inset and
// clipped to its row. Under the pinned DejaVu fonts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilList.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysUnicode.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

constexpr uint32 kGrey = 0x808080;

std::vector<int16> g_pushes;
int g_pops = 0;
void Record_Push(int16 nx) { g_pushes.push_back(nx); }
void Record_Pop() { ++g_pops; }

class ListBox : public ::testing::Test {
 protected:
  GWorldPtr w_ = nullptr;
  std::vector<a_listbox_item> rows_ = std::vector<a_listbox_item>(8);
  a_listbox_desc d_{};
  void (*saved_push_)(int16) = nullptr;
  void (*saved_pop_)() = nullptr;

  void SetUp() override {
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Draw_Init();
    Fonts_Stop();
    Fonts_Init();
    ASSERT_EQ(New_GWorld(Rect{0, 0, 200, 300}, 32, nullptr, w_), noErr);
    Push_GWorld(w_);
    RGBForeColor(RGBColor{0x8080, 0x8080, 0x8080});
    PaintRect(Rect{0, 0, 200, 300});
    // Three rows of 20 pixels visible with strips of 2 between them, in a
    // box with a frame of 2.
    Null_FontSpec(d_.font);
    d_.font.fontID = Find_Font_Name(CStrSpan("DejaVu Sans"));
    ASSERT_NE(d_.font.fontID, 0u);
    d_.font.size = 14;
    d_.border = 2;
    d_.cell_v = 20;
    d_.spacing_v = 2;
    d_.nvis = 3;
    d_.area = Rect{10, 20, int16(10 + 2 * 2 + 3 * 22 - 2), 220};
    d_.list = rows_.data();
    d_.maxnlist = int32(rows_.size());
    d_.hix = 1;
    d_.customx = 7;
    d_.lo_back_color = a_pixel24{255, 255, 255};
    d_.lo_fore_color = a_pixel24{0, 0, 0};
    d_.hi_back_color = a_pixel24{164, 209, 255};
    d_.hi_fore_color = a_pixel24{0, 0, 0};
    d_.sp_back_color = a_pixel24{30, 60, 30};
    saved_push_ = g_node_pushoff_proc;
    saved_pop_ = g_node_popandupdate_proc;
    g_pushes.clear();
    g_pops = 0;
  }
  void TearDown() override {
    if (saved_push_ != nullptr) g_node_pushoff_proc = saved_push_;
    if (saved_pop_ != nullptr) g_node_popandupdate_proc = saved_pop_;
    while (nclipstack > 0) PopClip();
    while (Port_Stack_Depth() > 0) Pop_GWorld();
    if (w_ != nullptr) Dispose_GWorld(w_);
    Stop_Quickdraw();
    Fonts_Stop();
  }

  void Add(const char* text, uint32 key) {
    uStr255 u{};
    UTF8_To_UTF16(CStrSpan(text, std::strlen(text) + 1), u);
    ListBox_Add_Item(u, key, d_);
  }
  uint32 Px(int x, int y) const {
    uint32 v;
    std::memcpy(&v, w_->pix.baseAddr + size_t(y) * PixMap_RowBytes(w_->pix) + 4 * size_t(x), 4);
    return v & 0xFFFFFF;
  }
  static uint32 Rgb(const a_pixel24& c) { return uint32(c.r) << 16 | uint32(c.g) << 8 | c.b; }
  // Pixels of r that are not `colour`.
  int Other_Than(const Rect& r, uint32 colour) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += Px(x, y) != colour ? 1 : 0;
    return n;
  }
  Rect Box(int32 ix) const {
    Rect b;
    ListBox_Calc_Box(ix, d_, b);
    return b;
  }
};

TEST_F(ListBox, RowsAreAddedUpToTheCapacityWithTheirTextCut) {
  std::u16string long_text(300, u'x');
  for (int i = 0; i < 10; ++i)
    ListBox_Add_Item(CUStrSpan(long_text.c_str(), long_text.size() + 1), uint32(100 + i), d_);
  EXPECT_EQ(d_.nlist, 8);
  EXPECT_EQ(d_.list[7].key, 107u);
  EXPECT_EQ(std::u16string(d_.list[0].uss), std::u16string(255, u'x'));
  // A text without its terminator ends with its span.
  d_.nlist = 0;
  const UniChar two[2] = {u'a', u'b'};
  ListBox_Add_Item(two, 5, d_);
  EXPECT_EQ(std::u16string(d_.list[0].uss), u"ab");
  a_listbox_desc none{};
  none.maxnlist = 10;  // no storage
  ListBox_Add_Item(two, 1, none);
  EXPECT_EQ(none.nlist, 0);
}

// Row boxes stand border in from the frame, a cell and a strip apart; only
// visible rows have one, and a point finds the row whose box holds it.
TEST_F(ListBox, RowBoxesAndTheRowUnderAPoint) {
  for (const char* s : {"one", "two", "three", "four", "five"}) Add(s, 0);
  int32 first = 0, last = 0;
  ListBox_Get_Vis_Range(d_, first, last);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(last, 3);
  const Rect b2 = Box(2);
  EXPECT_EQ(b2.left, 22);
  EXPECT_EQ(b2.right, 218);
  EXPECT_EQ(b2.top, 10 + 2 + 22);
  EXPECT_EQ(b2.bottom, b2.top + 20);
  EXPECT_THROW(Box(4), QuitCalled);
  EXPECT_THROW(Box(0), QuitCalled);
  struct Case {
    Point p;
    int32 row;
  };
  for (const Case& c : {Case{{12, 22}, 1}, Case{{31, 217}, 1}, Case{{32, 100}, 0}, Case{{33, 100}, 0},
                        Case{{34, 100}, 2}, Case{{75, 100}, 3}, Case{{76, 100}, 0}, Case{{20, 21}, 0},
                        Case{{20, 218}, 0}, Case{{5, 100}, 0}}) {
    SCOPED_TRACE(testing::Message() << c.p.h << "," << c.p.v);
    EXPECT_EQ(ListBox_Find(c.p, d_), c.row);
  }
  // Fewer rows than fit: the empty places find nothing.
  d_.nlist = 2;
  ListBox_Get_Vis_Range(d_, first, last);
  EXPECT_EQ(last, 2);
  EXPECT_EQ(ListBox_Find(Point{60, 100}, d_), 0);
  d_.nlist = 0;
  EXPECT_EQ(ListBox_Find(Point{20, 100}, d_), 0);
}

// The painting, pixel by pixel: a black frame of the border's width, white
// rows, the highlighted row light blue, dark green strips between rows but
// after the last, text inset 4 pixels, nothing outside the box.
TEST_F(ListBox, PaintsFrameRowsHighlightAndStrips) {
  for (const char* s : {"Alpha", "Beta", "Gamma", "Delta"}) Add(s, 0);
  d_.hix = 2;
  g_node_pushoff_proc = Record_Push;
  g_node_popandupdate_proc = Record_Pop;
  ListBox_Paint(d_);
  EXPECT_EQ(g_pushes, std::vector<int16>{7}) << "drawn in the list's node";
  EXPECT_EQ(g_pops, 1);

  const Rect a = d_.area;
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Px(a.left + i, 40), 0u);
    EXPECT_EQ(Px(a.right - 1 - i, 40), 0u);
    EXPECT_EQ(Px(100, a.top + i), 0u);
    EXPECT_EQ(Px(100, a.bottom - 1 - i), 0u);
  }
  EXPECT_EQ(Px(a.left - 1, 40), kGrey);
  EXPECT_EQ(Px(a.right, 40), kGrey);
  EXPECT_EQ(Px(100, a.bottom), kGrey);

  const Rect b1 = Box(1), b2 = Box(2), b3 = Box(3);
  // Background at the right end of each row, where no text reaches.
  EXPECT_EQ(Px(b1.right - 2, b1.top + 1), Rgb(d_.lo_back_color));
  EXPECT_EQ(Px(b2.right - 2, b2.top + 1), Rgb(d_.hi_back_color));
  EXPECT_EQ(Px(b2.left, b2.bottom - 1), Rgb(d_.hi_back_color));
  EXPECT_EQ(Px(b3.right - 2, b3.bottom - 1), Rgb(d_.lo_back_color));
  EXPECT_EQ(Other_Than(Rect{b1.bottom, b1.left, b2.top, b1.right}, Rgb(d_.sp_back_color)), 0);
  EXPECT_EQ(Other_Than(Rect{b2.bottom, b2.left, b3.top, b2.right}, Rgb(d_.sp_back_color)), 0);
  // Text: ink in each row, none in its first 4 columns.
  for (const Rect& b : {b1, b2, b3}) {
    const uint32 back = Px(b.right - 2, b.top + 1);
    EXPECT_GT(Other_Than(Rect{b.top, int16(b.left + 4), b.bottom, int16(b.left + 60)}, back), 10);
    EXPECT_EQ(Other_Than(Rect{b.top, b.left, b.bottom, int16(b.left + 4)}, back), 0);
  }
  // Row 4 is not visible: nothing of "Delta" is drawn anywhere.
  EXPECT_EQ(Other_Than(Rect{a.bottom, 0, 200, 300}, kGrey), 0);

  // With two rows the second is the last: no strip after it, and the place
  // of a third row is the box's inside.
  d_.nlist = 2;
  ListBox_Paint(d_);
  EXPECT_EQ(Other_Than(Rect{b2.bottom, b2.left, b3.bottom, b2.right}, Rgb(d_.lo_back_color)), 0);
  EXPECT_EQ(Other_Than(Rect{b1.bottom, b1.left, b2.top, b1.right}, Rgb(d_.sp_back_color)), 0);
}

// A text wider than its row and a font taller than the cell stay within the
// row's box: the strips, the frame and the world around keep their colours.
TEST_F(ListBox, LongTextsAreClippedToTheirRow) {
  d_.font.size = 40;
  Add("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 0);
  Add("gjpqy|gjpqy|gjpqy|gjpqy|gjpqy|gjpqy|gjpqy|", 0);
  Add("MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", 0);
  d_.hix = 3;
  ListBox_Paint(d_);
  const Rect a = d_.area, b1 = Box(1), b2 = Box(2), b3 = Box(3);
  EXPECT_EQ(Other_Than(Rect{b1.bottom, b1.left, b2.top, b1.right}, Rgb(d_.sp_back_color)), 0);
  EXPECT_EQ(Other_Than(Rect{b2.bottom, b2.left, b3.top, b2.right}, Rgb(d_.sp_back_color)), 0);
  EXPECT_EQ(Other_Than(Rect{a.top, a.left, int16(a.top + 2), a.right}, 0), 0);
  EXPECT_EQ(Other_Than(Rect{a.top, int16(a.right - 2), a.bottom, a.right}, 0), 0);
  EXPECT_EQ(Other_Than(Rect{0, a.right, 200, 300}, kGrey), 0);
  EXPECT_EQ(Other_Than(Rect{a.bottom, 0, 200, 300}, kGrey), 0);
  // The rows do hold text right up to their end.
  EXPECT_GT(Other_Than(Rect{b1.top, int16(b1.right - 30), b1.bottom, b1.right}, Rgb(d_.lo_back_color)), 0);
  // The clip of before the paint is back.
  EXPECT_EQ(nclipstack, 0);
}

TEST_F(ListBox, NothingIsPaintedForAListNotLaidOut) {
  Add("Alpha", 0);
  d_.area = Rect{0, 0, 0, 0};
  g_node_pushoff_proc = Record_Push;
  g_node_popandupdate_proc = Record_Pop;
  ListBox_Paint(d_);
  EXPECT_TRUE(g_pushes.empty());
  EXPECT_EQ(Other_Than(Rect{0, 0, 200, 300}, kGrey), 0);
}

// The highlight is held to the rows and repaints only when it changes.
TEST_F(ListBox, HighlightHeldToTheRowsRepaintsOnChange) {
  for (const char* s : {"a", "b", "c", "d", "e"}) Add(s, 0);
  g_node_pushoff_proc = Record_Push;
  g_node_popandupdate_proc = Record_Pop;
  struct Case {
    int32 newx, hix;
    size_t paints;
  };
  for (const Case& c : {Case{1, 1, 0}, Case{3, 3, 1}, Case{3, 3, 1}, Case{99, 5, 2}, Case{-4, 1, 3}, Case{0, 1, 3}}) {
    ListBox_Set_Hi(c.newx, d_);
    EXPECT_EQ(d_.hix, c.hix) << c.newx;
    EXPECT_EQ(g_pushes.size(), c.paints) << c.newx;
  }
  ListBox_Reset(d_);
  EXPECT_EQ(d_.hix, 1);
}

}  // namespace
