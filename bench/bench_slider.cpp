// One step of a slider's thumb drag, from a new thumb position to the
// window's pixels: PHOTO_CORNER_SLIDER on the main window of the headless
// backend, drawn from the build's picture library, its live procedure
// (the photo's) called at every step. The thumb goes to and fro over the
// rack so that every step changes the value.
#include <benchmark/benchmark.h>

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
#include "ui/VoskSlid.h"
#include "ui/VoskStat.h"

namespace {

// The interface started on the main window with the slider shown and open.
bool Start(a_slider_enum s) {
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
  gs.controller = GHOST;
  gs.menu_base = 132;
  gs.pref.tot_window = Rect{60, 100, 700, 1000};
  Static_Init();
  if (gs.outer_window == nullptr) return false;
  main_hwnd = gs.outer_window;
  Intf_Init();
  Rect total, gbounds;
  Node_BeginConfig(0, total);
  Node_Add_Window(0x01000000, total, gs.outer_window, gbounds);
  Node_Add_Division(0x01010000, Rect{0, 0, 400, 400}, DECORATION_STRIPED, a_pixel24{0, 0, 0});
  Point corner{100, 30};
  Node_Add_Slider(0x01010100, corner, 0, 0, s);
  Node_EndConfig();
  if (g_sliders[s].nodex == 0 || g_sliders[s].src_pixtptr == nullptr) return false;
  Slider_Paint(s);
  Slider_Open(s);
  return qq.active;
}

void Stop() {
  Slider_Close();
  Intf_Stop();
  Static_Stop();
  Fonts_Stop();
  main_hwnd = nullptr;
  Host_Win_Reset();
  Host_Backend_Stop();
  Host_Clock_Set_Manual(false);
  OP_Stop();
}

void BM_SliderDragStep_PhotoCorner(benchmark::State& state) {
  if (!Start(PHOTO_CORNER_SLIDER)) {
    state.SkipWithError("the interface could not be started over the build's picture library");
    Stop();
    return;
  }
  int16 left = qq.thumb_min;
  int16 dir = 3;
  for (auto _ : state) {
    left = int16(left + dir);
    if (left >= qq.thumb_max || left <= qq.thumb_min) dir = int16(-dir);
    benchmark::DoNotOptimize(Track_Thumb_Step(left));
  }
  Stop();
}
BENCHMARK(BM_SliderDragStep_PhotoCorner)->Unit(benchmark::kMicrosecond);

}  // namespace
