// The interface node tree: a whole-window description of about 45 nodes
// (the window with its tool panel, tags strip, palette bar, corner and edit
// area) applied over the screen, differing from it in the tool panel only:
// a swap between two tools whose pictures are both in the cache. Each run
// counts the adds, the sort, the merge with its invalidations, the back
// pointers and the count of the tool pictures.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/Velmor4.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "pixel/OP.h"
#include "pixel/SysPixt.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysInfo.h"
#include "platform/SysLoop.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/Windowv.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace {

// The program's main window over the build's picture library.
struct Screen {
  bool ok = false;
  Screen() {
    Host_Backend_Start_Headless(1280, 1024);
    Host_Clock_Set_Manual(true);
    SysPixt_Init();
    OP_Init();
    FSSpec spec;
    if (!Path_From_Text(spec, VELMOR_ART_LIBRARY) || OP_OpenFile(spec) != OPEN_OKAY) return;
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
    gs.pref.tot_window = Rect{0, 0, 1024, 1280};
    Static_Init();
    main_hwnd = gs.outer_window;
    Intf_Init();
    ok = gs.outer_window != nullptr;
  }
  ~Screen() {
    Intf_Stop();
    Static_Stop();
    Fonts_Stop();
    Host_Win_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
    OP_Stop();
  }
};

constexpr a_pixel24 kGrey{160, 160, 160};

// The window as an editing phase lays it out; tool 0 or 1 in the panel.
void Describe(int tool) {
  Rect t;
  Node_BeginConfig(0, t);
  Rect g;
  Node_Add_Window(0x01000000, t, gs.outer_window, g);
  const int16 w = int16(t.right - t.left), h = int16(t.bottom - t.top);
  // Edit area with its view, rulers, history and status line.
  Node_Add_Division(0x01010000, Rect{0, 350, int16(h - 102), w}, DECORATION_NOPAINT, kGrey);
  Node_Add_Custom(0x01010100, Rect{24, 374, int16(h - 122), int16(w - 179)}, false, CUSTOM_EDIT1);
  Node_Add_Custom(0x01010400, Rect{0, 374, 24, int16(w - 179)}, false, CUSTOM_RULERH);
  Node_Add_Custom(0x01010500, Rect{24, 350, int16(h - 122), 374}, false, CUSTOM_RULERV);
  Node_Add_Custom(0x01010600, Rect{0, int16(w - 179), int16(h - 122), w}, false, CUSTOM_HISTORY);
  // Phase strip and tool panel.
  Node_Add_Division(0x01020000, Rect{0, 0, 56, 350}, DECORATION_NOPAINT, kGrey);
  Node_Add_Custom(0x01020100, Rect{0, 0, 56, 350}, true, CUSTOM_PHASE);
  Node_Add_Division(0x01030000, Rect{56, 0, int16(h - 137), 350}, DECORATION_STRIPED_RT, kGrey);
  Point at{66, 10};
  Node_Add_Grid(0x01030100, at, 0, 1, TOOL_GRID);
  at.v = int16(at.v + 10);
  if (tool == 0) {
    Node_Add_Grid(0x01030200, at, 0, 1, BRUSH_SHAPE_GRID);
    a_locator loc = 0x01030300;
    for (a_slider_enum s : {PAINT_OPACITY_SLIDER, BRUSH_SPACING_SLIDER, PAINT_CORNER_SLIDER, LINE_THICKNESS_SLIDER}) {
      Node_Add_Slider(loc, at, 0, 1, s);
      loc += 0x100;
    }
    Node_Add_OneShot(0x0103F100, at, 1, 0, PAINT_ZAP_BUTTON);
    Node_Add_Toggle(0x0103F200, at, 1, 0, FLIPX_TOGGLE);
  } else {
    Node_Add_Grid(0x01030200, at, 0, 1, ERASER_GRID);
    Node_Add_Grid(0x01030280, at, 0, 1, SPRAY_KIND_GRID);
    a_locator loc = 0x01030300;
    for (a_slider_enum s : {PAINT_OPACITY_SLIDER, SPRAY_RADIUS_SLIDER, SYMMETRY_COUNT_SLIDER}) {
      Node_Add_Slider(loc, at, 0, 1, s);
      loc += 0x100;
    }
    Node_Add_OneShot(0x0103F100, at, 1, 0, UNDO_BUTTON);
    Node_Add_Toggle(0x0103F200, at, 1, 0, FLIPY_TOGGLE);
  }
  Node_Add_Label(0x0103F300, Rect{int16(h - 180), 20, int16(h - 160), 330}, a_pixel24{0, 0, 0},
                 a_pixel24{255, 255, 255}, 100, 84, JUST_LEFT, 14, 0);
  // Tags strip.
  Node_Add_Division(0x01040000, Rect{int16(h - 137), 0, int16(h - 102), 350}, DECORATION_STRIPED_RT, kGrey);
  Point tag{int16(h - 137), 0};
  a_locator tagloc = 0x01040100;
  for (a_grid_enum g2 : {TAG_LAYERS, TAG_PALETTE, TAG_GRADIENT, TAG_STAMP}) {
    Node_Add_Grid(tagloc, tag, 1, 0, g2);
    tagloc += 0x100;
  }
  Node_Add_Decoration(0x01040F00, Rect{int16(h - 111), tag.h, int16(h - 102), 350}, DECORATION_BLUELINE);
  // Palette bar and corner.
  Node_Add_Division(0x01050000, Rect{int16(h - 102), 0, h, int16(w - 179)}, DECORATION_SOLIDCOLOR, kGrey);
  Point bar{int16(h - 99), 3};
  Node_Add_OneShot(0x01050100, bar, 0, 1, BAR_PREV_BUTTON);
  Node_Add_OneShot(0x01050200, bar, 0, 1, BAR_INDEX_BUTTON);
  Node_Add_OneShot(0x01050300, bar, 0, 1, BAR_NEXT_BUTTON);
  Node_Add_Custom(0x01050400, Rect{int16(h - 102), 56, h, int16(w - 179)}, false, CUSTOM_BAR);
  Node_Add_Division(0x01070000, Rect{int16(h - 102), int16(w - 179), h, w}, DECORATION_NOPAINT, kGrey);
  Point zoom{int16(h - 102), int16(w - 179)};
  Node_Add_Grid(0x01070100, zoom, 0, 0, ZOOM_GRID);
  Node_Add_Custom(0x01070200, Rect{int16(h - 102), int16(w - 133), h, w}, true, CUSTOM_NAV);
  // A few more labels and decorations around the window.
  for (int i = 0; i < 12; ++i) {
    const int16 top = int16(60 + 24 * i);
    Node_Add_Label(0x01060000 + a_locator(i + 1) * 0x100, Rect{top, int16(w - 170), int16(top + 20), int16(w - 10)},
                   a_pixel24{0, 0, 0}, a_pixel24{255, 255, 255}, 100, int16(100 + i), JUST_LEFT, 14, 0);
  }
  Node_Add_Division(0x01060000, Rect{56, int16(w - 179), 260, w}, DECORATION_NOPAINT, kGrey);
  Node_EndConfig();
}

void BM_Intf_ToolSwap(benchmark::State& state) {
  Screen screen;
  if (!screen.ok) {
    state.SkipWithError("no picture library or window");
    return;
  }
  // Both tools once, so that their pictures are in the cache.
  Describe(0);
  Describe(1);
  int tool = 0;
  for (auto _ : state) {
    Describe(tool);
    tool ^= 1;
    ValidateRect(gs.outer_window, nullptr);
  }
  state.counters["nodes"] = Node_Used(CURR);
  state.counters["pictures"] = Tool_Cache_Size();
}
BENCHMARK(BM_Intf_ToolSwap)->Unit(benchmark::kMicrosecond);

// The same description again: nothing differs, nothing is invalidated.
void BM_Intf_Unchanged(benchmark::State& state) {
  Screen screen;
  if (!screen.ok) {
    state.SkipWithError("no picture library or window");
    return;
  }
  Describe(0);
  for (auto _ : state) Describe(0);
  state.counters["nodes"] = Node_Used(CURR);
}
BENCHMARK(BM_Intf_Unchanged)->Unit(benchmark::kMicrosecond);

}  // namespace
