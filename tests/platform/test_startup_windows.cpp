// The window half of the port layer and the window-manager calls: window
// creation by definition number, the window list, update brackets and
// invalidation in port coordinates.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WinTestSupport.h"
#include "platform/VoskDef.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "platform/Quickdraw.h"
#include "platform/SysInfo.h"
#include "platform/SysLoop.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "app/Velmor4.h"
#include "platform/Windowv.h"

namespace {

int g_paints = 0;
a_shadow_rec* g_paint_shadow = nullptr;
HDC g_paint_hdc = nullptr;
void Count_Paint(HWND) {
  ++g_paints;
  g_paint_shadow = theShadow;
  g_paint_hdc = theHDC;
}
a_win_info_rec g_info{nullptr, Count_Paint, FLOATER_KIND, {u'T', 0}};

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Clock_Set_Manual(true);
    wintest::Init_Window_Layer();
    nwinlist = 0;
    ultimate_hwnd = nullptr;
    g_paints = 0;
  }
  void TearDown() override {
    wintest::Clear_Port_State();
    wintest::Stop_Headless_Host();
  }
  HWND Make(int16 procID, const Rect& r = Rect{100, 200, 300, 500}, HWND parent = nullptr) {
    return New_Window(r, "t", true, procID, nullptr, parent, &g_info);
  }
};

TEST_F(Windows, StylesByDefinitionNumber) {
  struct Case {
    int16 procID;
    uint32 style;
  };
  const Case cases[] = {{0, 0xA0C80000u}, {1, 0x80400000u}, {2, 0x80800000u}, {3, 0x80400000u},
                        {4, 0x80C80000u}, {5, 0x80C00000u}, {7, 0x80800000u}, {9, 0x80400000u},
                        {6, WS_OVERLAPPEDWINDOW}, {8, WS_OVERLAPPEDWINDOW}, {106, WS_OVERLAPPEDWINDOW},
                        {-3, 0x80400000u}};
  for (const Case& c : cases) EXPECT_EQ(Window_Style_For(c.procID, nullptr), c.style) << c.procID;
  // With a parent, 6 is a plain popup rather than the main window.
  HWND owner = Make(2);
  EXPECT_EQ(Window_Style_For(6, owner), 0x80000000u);
}

TEST_F(Windows, InteriorIsTheClientAreaWhateverTheFrame) {
  const Rect interior{100, 200, 300, 500};
  for (int16 procID : {2, 1, 6}) {
    HWND w = Make(procID, interior);
    ASSERT_NE(w, nullptr) << procID;
    Rect in;
    GetWindowInterior(w, in);
    EXPECT_EQ(in.top, interior.top);
    EXPECT_EQ(in.left, interior.left);
    EXPECT_EQ(in.bottom, interior.bottom);
    EXPECT_EQ(in.right, interior.right);
    Rect frame;
    Calc_Window_Frame(w, frame);
    Rect out;
    GetWindowBounds(w, out);
    EXPECT_EQ(out.left, interior.left - frame.left);
    EXPECT_EQ(out.bottom, interior.bottom + frame.bottom);
    CloseWindow(w);
  }
  // Moving and sizing work on the client area too.
  HWND w = Make(2, interior);
  MoveWindow(w, int16(40), int16(30), false);
  SizeWindow(w, 120, 80, false);
  Rect in;
  GetWindowInterior(w, in);
  EXPECT_EQ(in.left, 40);
  EXPECT_EQ(in.top, 30);
  EXPECT_EQ(in.right - in.left, 120);
  EXPECT_EQ(in.bottom - in.top, 80);
  Window_Move_Size(w, Rect{10, 20, 60, 220});
  GetWindowInterior(w, in);
  EXPECT_EQ(in.left, 20);
  EXPECT_EQ(in.bottom, 60);
}

TEST_F(Windows, WindowListHoldsTenAndKeepsStackingOrder) {
  HWND w[10];
  for (HWND& x : w) x = Make(2);
  EXPECT_EQ(nwinlist, 10);
  EXPECT_THROW(Winlist_Add(w[0]), QuitCalled);
  EXPECT_EQ(nwinlist, 10);
  EXPECT_EQ(Winlist_Ix(w[3]), 4);

  BringToFront(w[0]);
  EXPECT_EQ(Winlist_Ix(w[0]), 10);
  EXPECT_EQ(Winlist_Ix(w[1]), 1);
  SendBehind(w[0], w[5]);  // w[5] is at 5 now: w[0] goes just below it
  EXPECT_EQ(Winlist_Ix(w[0]) + 1, Winlist_Ix(w[5]));
  // Already directly below: nothing moves.
  int16 before[11];
  for (int i = 1; i <= 10; ++i) before[i] = Winlist_Ix(winlist[i]);
  SendBehind(w[0], w[5]);
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(Winlist_Ix(winlist[i]), before[i]);

  // Closing takes a window out; one never added leaves the list alone.
  CloseWindow(w[4]);
  EXPECT_EQ(nwinlist, 9);
  EXPECT_EQ(Winlist_Ix(w[4]), 0);
  Winlist_Del(reinterpret_cast<HWND>(uintptr_t(0x1234)));
  EXPECT_EQ(nwinlist, 9);
  EXPECT_THROW(BringToFront(w[4]), QuitCalled);
}

TEST_F(Windows, UpdateBracketPaintsWithTheWindowsOwnState) {
  HWND w = Make(2);
  a_shadow_rec* own = Get_Window_Shadow(w);
  ASSERT_NE(own, nullptr);
  // Some other port is current: the paint leaves it as it was.
  HWND other = Make(2);
  SetPort(other);
  const a_shadow_rec* before = theShadow;
  Invalidate_Window(w);
  DoUpdate(w);
  EXPECT_EQ(g_paints, 1);
  EXPECT_EQ(g_paint_shadow, own);
  EXPECT_EQ(g_paint_hdc, GetDC(w));
  EXPECT_EQ(qd.thePort, other);
  EXPECT_EQ(theShadow, before);
  EXPECT_EQ(Update_Depth(), 0);
  // Brackets nest two deep.
  BeginUpdate(w);
  BeginUpdate(w);
  EXPECT_THROW(BeginUpdate(w), QuitCalled);
  EndUpdate(w);
  EndUpdate(w);
  EXPECT_EQ(Update_Depth(), 0);
  EXPECT_EQ(qd.thePort, nullptr);
}

TEST_F(Windows, InvalRectIsInTheCurrentPortsCoordinates) {
  HWND w = Make(2);
  DoUpdate(w);  // nothing left to paint
  SetPort(w);
  SetOrigin(100, 50);  // local (100, 50) is the client area's top-left corner
  InvalRect(Rect{60, 110, 70, 130});
  RECT r{};
  ASSERT_TRUE(GetUpdateRect(w, &r, false));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right, 30);
  EXPECT_EQ(r.bottom, 20);
  ValidRect(Rect{50, 100, 80, 140});
  EXPECT_FALSE(GetUpdateRect(w, &r, false));
  SetOrigin(0, 0);
}

TEST_F(Windows, ClosingTheCurrentPortLeavesNoPort) {
  HWND w = Make(2);
  SetPort(w);
  EXPECT_EQ(theShadow, Get_Window_Shadow(w));
  CloseWindow(w);
  EXPECT_EQ(qd.thePort, nullptr);
  EXPECT_EQ(theHDC, nullptr);
  EXPECT_EQ(theShadow, nullptr);
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(Windows, PortStackTakesWindows) {
  HWND a = Make(2), b = Make(2);
  SetPort(a);
  Push_Window(b);
  EXPECT_EQ(qd.thePort, b);
  Pop_Window();
  EXPECT_EQ(qd.thePort, a);
  EXPECT_EQ(theShadow, Get_Window_Shadow(a));
}

TEST_F(Windows, FindWindowTellsOursFromOthers) {
  HWND ours = Make(2, Rect{100, 100, 200, 200});
  WNDCLASS wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "OTHER";
  ASSERT_NE(RegisterClass(&wc), 0);
  HWND foreign = CreateWindowEx(0, "OTHER", u"x", WS_POPUP | WS_VISIBLE, 400, 400, 50, 50, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(foreign, nullptr);
  HWND hit = nullptr;
  EXPECT_EQ(FindWindow(Point{150, 150}, hit), inContent);
  EXPECT_EQ(hit, ours);
  EXPECT_EQ(FindWindow(Point{420, 420}, hit), inForeign);
  EXPECT_EQ(hit, nullptr);
  EXPECT_EQ(FindWindow(Point{900, 900}, hit), inNoWindow);
  a_win_info_rec info;
  GetWinInfo(info, foreign);
  EXPECT_EQ(info.kind, FOREIGN_KIND);
  EXPECT_EQ(info.name[0], u'?');
}

TEST_F(Windows, OtherWindowsHaveAHiddenOwner) {
  HWND w = Make(2);
  ASSERT_NE(ultimate_hwnd, nullptr);
  EXPECT_EQ(GetParent(w), ultimate_hwnd);
  EXPECT_FALSE(IsWindowVisible(ultimate_hwnd));
  HWND main = Make(8);
  EXPECT_EQ(GetParent(main), nullptr);
}

TEST_F(Windows, DefaultMainWindowPosition) {
  struct Case {
    Rect avail;
    Rect want;
  };
  const Case cases[] = {
      {{0, 0, 1024, 1280}, {45, 128, 795, 1152}},    // centred, at most 45 below the top
      {{0, 0, 768, 1024}, {9, 0, 759, 1024}},         // (768 - 750) / 2 = 9
      {{30, 0, 600, 800}, {30, 0, 600, 800}},         // the work area below a top panel
      {{0, 100, 2000, 2100}, {45, 588, 795, 1612}},
  };
  for (const Case& c : cases) {
    info_videoavail = c.avail;
    Rect box{};
    Calc_Default_WindowPos(box);
    EXPECT_EQ(box.top, c.want.top);
    EXPECT_EQ(box.left, c.want.left);
    EXPECT_EQ(box.bottom, c.want.bottom);
    EXPECT_EQ(box.right, c.want.right);
  }
}

}  // namespace
