// Small entry points the application code calls by their toolbox names:
// Set_Window / Set_Dialog, SysBeep and the progress open / close pair.
#include <gtest/gtest.h>

#include "FontTestSupport.h"
#include "TestSupport.h"
#include "WinTestSupport.h"
#include "platform/VoskDef.h"
#include "host/HostAudio.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "platform/Resources.h"
#include "platform/SysDlog.h"
#include "platform/SysDraw.h"
#include "platform/SysWin.h"
#include "platform/VoskErr.h"

namespace {

class PlatformAliasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Host_Win_Reset();
    Host_Backend_Start_Headless(1280, 1024);
    Host_Clock_Set_Manual(true);
    Resources_Init();
    wintest::Init_Window_Layer();
    SysDlog_Init();
    VoskErr_Init();
    nwinlist = 0;
    ultimate_hwnd = nullptr;
    gs.pref.tot_window = Rect{100, 100, 500, 700};
    gs.outer_window = New_Window(gs.pref.tot_window, "main", true, 8, nullptr, nullptr, nullptr);
    ASSERT_NE(gs.outer_window, nullptr);
  }
  void TearDown() override {
    Progress_Stop();
    wintest::Clear_Port_State();
    gs.outer_window = nullptr;
    wintest::Stop_Headless_Host();
  }
};

TEST_F(PlatformAliasTest, SetWindowMakesEachWindowTheCurrentPort) {
  HWND second = New_Window(Rect{150, 150, 250, 350}, "second", true, 104, nullptr, nullptr, nullptr);
  ASSERT_NE(second, nullptr);
  Set_Window(gs.outer_window);
  EXPECT_EQ(qd.thePort, gs.outer_window);
  ASSERT_NE(theHDC, nullptr);
  Set_Dialog(second);
  EXPECT_EQ(qd.thePort, second);
  EXPECT_NE(theHDC, nullptr);
  // Port bounds follow the window made current: the second one's interior.
  Rect r;
  GetPortBounds(r);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(r.bottom - r.top, 100);
  Set_Window(gs.outer_window);
  EXPECT_EQ(qd.thePort, gs.outer_window);
}

TEST_F(PlatformAliasTest, ProgressConstantsOpenAndCloseTheDisplay) {
  if (!Pin_DejaVu()) GTEST_FAIL() << No_DejaVu_Message();
  Progress_Tick(PROGRESS_INIT, PROGRESS_INIT);
  EXPECT_NE(g_progress_window, nullptr);
  Progress_Tick(PROGRESS_STOP, PROGRESS_STOP);
  EXPECT_EQ(g_progress_window, nullptr);
}

TEST(PlatformAlias, SysBeepIsTheSystemBeepWithoutTheSoundDevice) {
  Host_Audio_Reset_Sink(true);
  SysBeep(30);
  ASSERT_EQ(Host_Audio_Events().size(), 1u);
  EXPECT_EQ(Host_Audio_Events()[0].kind, HostAudioEventKind::BEEP);
  EXPECT_FALSE(Host_Audio_Is_Open());
  Host_Audio_Reset_Sink(true);
}

}  // namespace
