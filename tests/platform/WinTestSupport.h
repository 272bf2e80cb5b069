// The window layer on the headless backend, for tests that open real
// windows: bringing up the modules the program starts before its first
// window, and putting the shared drawing state back between tests. Also the
// fixture of tests that draw into offscreen worlds only.
#pragma once

#include <gtest/gtest.h>

#include "platform/VoskDef.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostScript.h"
#include "host/HostWin.h"
#include "platform/Dialogs.h"
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

namespace wintest {

// The modules behind New_Window, in the order the program starts them.
inline void Init_Window_Layer() {
  VoskDef_Init();
  SysWin_Init();
  Windowv_Init();
  SysLoop_Init();
  Init_Info();
  Quickdraw_Init();
  SysVideo_Init();
  Register_Classes();
}

// The headless host on the manual clock with the window layer, dialogs and
// alerts started, a person at the controls and a main window for dialogs to
// belong to (returned). Scripts do not end the run when they run out.
inline HWND Start_Dialog_Layer() {
  Host_Win_Reset();
  Host_Script_Reset();
  Host_Backend_Start_Headless(1280, 1024);
  Host_Script_Set_Quit_At_End(false);
  Host_Clock_Set_Manual(true);
  Resources_Init();
  Init_Window_Layer();
  SysDlog_Init();
  Dialogs_Init();
  VoskErr_Init();
  nwinlist = 0;
  gs.controller = HUMAN;
  gs.outer_window = New_Window(Rect{100, 100, 600, 900}, "main", true, 8, nullptr, nullptr, nullptr);
  return gs.outer_window;
}

// No current port, no port stack, no windows listed: the next test starts
// from nothing even when this one failed half-way.
inline void Clear_Port_State() {
  qd.thePort = nullptr;
  theHDC = nullptr;
  theShadow = nullptr;
  Port_Stack_Clear();
  Windowv_Init();
  nwinlist = 0;
}

// Closes every host window and stops the headless backend and manual clock.
inline void Stop_Headless_Host() {
  Host_Win_Reset();
  Host_Backend_Stop();
  Host_Clock_Set_Manual(false);
}

// Every test starts with an empty port stack, no current port and the
// program's colour tables.
class WorldsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SysWin_Init();
    Set_GWorld(nullptr);
    SysVideo_Init();
    InitGray();
  }
  void TearDown() override {
    Port_Stack_Clear();
    Set_GWorld(nullptr);
    SysVideo_Stop();
  }
};

}  // namespace wintest
