// Small services of the platform layer: the corners of a rectangle seen as
// points, window updates held back while a file is read (and painted once
// they are let through), and the import commands' file filters.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "WinTestSupport.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "platform/SysIONav.h"
#include "platform/SysWin.h"

namespace {

TEST(RectCorners, TopLeftAndBotRightAreTheFieldsAsPoints) {
  Rect r{10, 20, 30, 40};
  EXPECT_EQ(r.topLeft().v, 10);
  EXPECT_EQ(r.topLeft().h, 20);
  EXPECT_EQ(r.botRight().v, 30);
  EXPECT_EQ(r.botRight().h, 40);
  r.Set_TopLeft(Point{-5, 7});
  r.Set_BotRight(Point{50, 60});
  EXPECT_EQ(r.top, -5);
  EXPECT_EQ(r.left, 7);
  EXPECT_EQ(r.bottom, 50);
  EXPECT_EQ(r.right, 60);
  static_assert(Rect{1, 2, 3, 4}.botRight().h == 4);
}

int g_paints = 0;
void Count_Paint(HWND) { ++g_paints; }
a_win_info_rec g_info{nullptr, Count_Paint, FLOATER_KIND, {u'T', 0}};

class HeldUpdates : public ::testing::Test {
 protected:
  HWND w_ = nullptr;
  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Clock_Set_Manual(true);
    wintest::Init_Window_Layer();
    nwinlist = 0;
    w_ = New_Window(Rect{100, 200, 300, 500}, "t", true, 2, nullptr, nullptr, &g_info);
    ASSERT_NE(w_, nullptr);
    DoUpdate(w_);
    g_paints = 0;
  }
  void TearDown() override {
    g_suppress_updates = false;
    wintest::Clear_Port_State();
    wintest::Stop_Headless_Host();
  }
  // Dispatches what the queue holds; the number of paint messages handled.
  int Drain() {
    int paints = 0;
    MSG m;
    for (int i = 0; i < 100 && PeekMessage(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
      if (m.message == WM_PAINT) ++paints;
      DispatchMessage(&m);
    }
    return paints;
  }
};

// While updates are held back the window is not painted and does not ask
// again; once they are let through the held area is painted.
TEST_F(HeldUpdates, UpdatesHeldBackArePaintedOnceLetThrough) {
  g_suppress_updates = true;
  const RECT a{10, 20, 40, 60}, b{100, 5, 120, 30};
  InvalidateRect(w_, &a, false);
  EXPECT_EQ(Drain(), 1) << "the paint message comes once, not over and over";
  InvalidateRect(w_, &b, false);
  DoUpdate(w_);
  EXPECT_EQ(g_paints, 0);
  RECT r{};
  EXPECT_FALSE(GetUpdateRect(w_, &r, false));
  Resume_Suppressed_Updates();  // still held back: nothing
  EXPECT_FALSE(GetUpdateRect(w_, &r, false));

  g_suppress_updates = false;
  Resume_Suppressed_Updates();
  ASSERT_TRUE(GetUpdateRect(w_, &r, false));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 5);
  EXPECT_EQ(r.right, 120);
  EXPECT_EQ(r.bottom, 60);
  EXPECT_EQ(Drain(), 1);
  EXPECT_EQ(g_paints, 1);
  // Nothing is held any more.
  Resume_Suppressed_Updates();
  EXPECT_FALSE(GetUpdateRect(w_, &r, false));
}

// The next paint of any window brings the held areas back too, and a
// window closed meanwhile is left alone.
TEST_F(HeldUpdates, HeldAreasComeBackWithTheNextPaint) {
  HWND gone = New_Window(Rect{10, 10, 60, 60}, "g", true, 2, nullptr, nullptr, &g_info);
  g_suppress_updates = true;
  Invalidate_Window(w_);
  Invalidate_Window(gone);
  DoUpdate(w_);
  DoUpdate(gone);
  CloseWindow(gone);
  g_suppress_updates = false;
  DoUpdate(w_);
  EXPECT_EQ(g_paints, 1);
  RECT r{};
  EXPECT_FALSE(GetUpdateRect(w_, &r, false));
}

TEST(ImportFileTypes, OpenDialogFilters) {
  std::string f;
  SuffixList_To_Filter(f, IMPORT_FILE_TYPES);
  for (char& c : f)
    if (c == 0) c = '|';
  EXPECT_EQ(f, "CDL, CD4|*.CDL;*.CD4||");
  SuffixList_To_Filter(f, ITUNES_FILE_TYPES);
  for (char& c : f)
    if (c == 0) c = '|';
  EXPECT_EQ(f, "EXPORT, XML, TXT|*.EXPORT;*.XML;*.TXT||");
  EXPECT_EQ(std::string(IMPORT_FILE_TYPES[1].type, 4), "JCAR");
  EXPECT_EQ(std::string(IMPORT_FILE_TYPES[2].type, 4), "TRAY");
}

}  // namespace
