// The progress window (through g_progproc) and the prompt strip, read back
// as pixels on the headless backend.
#include <gtest/gtest.h>

#include <vector>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "WinTestSupport.h"
#include "platform/VoskDef.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysDlog.h"
#include "platform/SysInfo.h"
#include "platform/SysLoop.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "app/Velmor4.h"
#include "platform/VoskErr.h"
#include "platform/Windowv.h"

namespace {

struct Pixels {
  std::vector<uint32> px;
  int32 w = 0, h = 0;
  explicit Pixels(HWND win) { Host_Window_Compose(win, px, w, h); }
  // (r, g, b) of pixel (x, y), 0xRRGGBB.
  uint32 at(int32 x, int32 y) const { return px[size_t(y * w + x)] & 0xFFFFFFu; }
};

constexpr uint32 Rgb(uint32 r, uint32 g, uint32 b) { return (r << 16) | (g << 8) | b; }
constexpr uint32 kCream = Rgb(255, 251, 240);

class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Text is drawn in the pinned fonts, whatever the machine has.
    if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
    Host_Win_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Clock_Set_Manual(true);
    Resources_Init();
    wintest::Init_Window_Layer();
    SysDlog_Init();
    VoskErr_Init();
    nwinlist = 0;
    ultimate_hwnd = nullptr;
    gs.pref.tot_window = Rect{100, 100, 700, 900};
    gs.outer_window = New_Window(gs.pref.tot_window, "main", true, 8, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    Progress_Stop();
    Prompt_Hide();
    wintest::Clear_Port_State();
    gs.outer_window = nullptr;
    wintest::Stop_Headless_Host();
  }
};

TEST_F(ProgressTest, WindowOpensCentredAndCloses) {
  ASSERT_EQ(g_progproc, &Progress_Tick);
  g_progproc(-1, -1);
  ASSERT_NE(g_progress_window, nullptr);
  Rect in;
  GetWindowInterior(g_progress_window, in);
  EXPECT_EQ(in.right - in.left, 300);
  EXPECT_EQ(in.bottom - in.top, 45);
  EXPECT_EQ(in.left, (100 + 900 - 300) / 2);
  EXPECT_EQ(in.top, (100 + 700 - 45) / 2);
  EXPECT_EQ(g_progress.bar.left, 15);
  EXPECT_EQ(g_progress.bar.top, 22);
  EXPECT_EQ(g_progress.bar.right, 285);
  EXPECT_EQ(g_progress.bar.bottom, 37);
  EXPECT_EQ(g_progress.drawn, 15);
  Pixels p(g_progress_window);
  EXPECT_EQ(p.at(2, 2), kCream);
  EXPECT_EQ(p.at(15, 30), 0u) << "the bar's frame";
  EXPECT_EQ(p.at(100, 30), kCream) << "an empty bar";
  bool text = false;  // "Working..." in black above the bar
  for (int32 x = 30; x < 120; ++x)
    for (int32 y = 2; y < 20; ++y) text |= p.at(x, y) == 0;
  EXPECT_TRUE(text);
  HWND w = g_progress_window;
  g_progproc(-2, -2);
  EXPECT_EQ(g_progress_window, nullptr);
  EXPECT_FALSE(IsWindow(w));
  g_progproc(10, 20);  // no window: nothing happens
  g_progproc(-2, -2);
}

TEST_F(ProgressTest, BarOnlyGrows) {
  struct Step {
    int16 num, den;
    int16 drawn;
  } steps[] = {
      {50, 100, 150},   // half of the 270-pixel bar
      {40, 100, 150},   // backwards: nothing is drawn
      {-5, 100, 150},
      {75, 100, 217},
      {150, 100, 285},  // beyond the total counts as the total
      {0, 0, 285},
  };
  g_progproc(-1, -1);
  for (const Step& s : steps) {
    const Pixels before(g_progress_window);
    g_progproc(s.num, s.den);
    EXPECT_EQ(g_progress.drawn, s.drawn) << s.num << "/" << s.den;
    const Pixels after(g_progress_window);
    if (s.drawn == 150 && s.num != 50) {
      EXPECT_EQ(before.px, after.px) << s.num;
    }
  }
  const Pixels p(g_progress_window);
  // Rows run from (66, 90, 90) at the top to nearly (66, 156, 156).
  EXPECT_EQ(p.at(100, 22), Rgb(66, 90, 90));
  EXPECT_EQ(p.at(100, 36), Rgb(66, 90 + 14 * 66 / 15, 90 + 14 * 66 / 15));
  EXPECT_EQ(p.at(284, 30), Rgb(66, 90 + 8 * 66 / 15, 90 + 8 * 66 / 15));
}

TEST_F(ProgressTest, ZeroTotalFillsAndHalfwayStops) {
  g_progproc(-1, -1);
  g_progproc(50, 100);
  const Pixels p(g_progress_window);
  EXPECT_EQ(p.at(149, 30), Rgb(66, 90 + 8 * 66 / 15, 90 + 8 * 66 / 15));
  EXPECT_EQ(p.at(151, 30), kCream);
  g_progproc(0, 0);
  EXPECT_EQ(g_progress.drawn, 285);
  // Opening again starts a fresh, empty bar in one window.
  HWND first = g_progress_window;
  const int16 windows = nwinlist;
  g_progproc(-1, -1);
  EXPECT_EQ(nwinlist, windows);
  // The old window is gone for good, even when the new one takes its place.
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(g_progress.drawn, 15);
}

TEST_F(ProgressTest, TickKeepsTheCallersPort) {
  GWorldPtr world = nullptr;
  ASSERT_EQ(New_GWorld(Rect{0, 0, 10, 10}, 32, nullptr, world), noErr);
  Set_GWorld(world);
  a_gstate before;
  Get_GState(before);
  g_progproc(-1, -1);
  g_progproc(30, 100);
  g_progproc(-2, -2);
  EXPECT_EQ(theGWorld, world);
  EXPECT_EQ(theHDC, before.hdc);
  EXPECT_EQ(theShadow, before.shadow);
  Set_GWorld(nullptr);
  Dispose_GWorld(world);
}

TEST_F(ProgressTest, PromptStripSitsAtTheBottomLeftOfTheView) {
  Prompt_Show(106);  // "Working..."
  ASSERT_NE(g_prompt_window, nullptr);
  Rect in;
  GetWindowInterior(g_prompt_window, in);
  EXPECT_EQ(in.left, 100 + 8);
  EXPECT_EQ(in.bottom, 700 - 8);
  EXPECT_EQ(in.bottom - in.top, 36);
  const int32 width = in.right - in.left;
  EXPECT_GT(width, 36 + 20);
  const Pixels p(g_prompt_window);
  EXPECT_EQ(p.at(0, 0), Rgb(107, 221, 242));
  EXPECT_EQ(p.at(1, 1), Rgb(62, 181, 203));
  EXPECT_EQ(p.at(2, 2), Rgb(24, 145, 167));
  EXPECT_EQ(p.at(3, 3), Rgb(211, 240, 250));
  EXPECT_EQ(p.at(width - 1, 35), Rgb(107, 221, 242));
  bool text = false;
  for (int32 x = 18; x < width - 18; ++x) text |= p.at(x, 18) == 0 || p.at(x, 16) == 0;
  EXPECT_TRUE(text);
  // A second prompt replaces the first; hiding removes it.
  HWND first = g_prompt_window;
  Prompt_Show(8);
  EXPECT_FALSE(IsWindow(first));
  Prompt_Hide();
  EXPECT_EQ(g_prompt_window, nullptr);
  Prompt_Hide();
}

TEST_F(ProgressTest, PromptMovesLeftWhenTheViewIsNarrow) {
  SizeWindow(gs.outer_window, 60, 300, false);
  Prompt_Show(106);
  ASSERT_NE(g_prompt_window, nullptr);
  Rect in;
  GetWindowInterior(g_prompt_window, in);
  EXPECT_EQ(in.right, 100 + 60 - 8);
}

}  // namespace
