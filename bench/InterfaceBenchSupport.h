// The program's main window for benchmarks of the interface: the headless
// backend on a 1280 x 1024 screen with a manual clock, the build's picture
// library open, the window of 1000 x 700 pixels made and the interface's
// items set up, as the program starts them; and all of it stopped again.
#pragma once

#include "app/Velmor4.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "pixel/OP.h"
#include "pixel/SysPixt.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysInfo.h"
#include "platform/SysIO.h"
#include "platform/SysLoop.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/Windowv.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace benchsupport {

// FALSE when the library cannot be opened, the window cannot be made, or
// (with fonts_needed) no font is installed.
inline bool Start_Interface_Window(bool fonts_needed) {
  Host_Backend_Start_Headless(1280, 1024);
  Host_Clock_Set_Manual(true);
  Resources_Init();
  SysPixt_Init();
  OP_Init();
  FSSpec spec;
  if (!Path_From_Text(spec, VELMOR_ART_LIBRARY) || OP_OpenFile(spec) != OPEN_OKAY) return false;
  VoskDef_Init();
  SysWin_Init();
  Windowv_Init();
  SysLoop_Init();
  Init_Info();
  Quickdraw_Init();
  SysVideo_Init();
  Register_Classes();
  Fonts_Init();
  if (fonts_needed && n_fontlist == 0) return false;
  gs.controller = GHOST;
  gs.menu_base = 132;
  gs.pref.tot_window = Rect{60, 100, 760, 1100};
  Static_Init();
  if (gs.outer_window == nullptr) return false;
  main_hwnd = gs.outer_window;
  Intf_Init();
  return true;
}

// Undoes Start_Interface_Window, after a benchmark's own modules stopped.
inline void Stop_Interface_Window() {
  Intf_Stop();
  Static_Stop();
  Fonts_Stop();
  main_hwnd = nullptr;
  Host_Win_Reset();
  Host_Backend_Stop();
  Host_Clock_Set_Manual(false);
  OP_Stop();
}

}  // namespace benchsupport
