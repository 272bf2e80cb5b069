// A change of tool in the paint phase, as the tool grid makes it: from
// SV_Set_Int (SV_TOOL_SELECTION) through SV_Finish, that is the tool, ring,
// bar and fill worked out again, the tool panel, tags and palette bar
// described again, merged with the screen and the changed areas
// invalidated. Two changes: brush to stamp, and stamp to the solid
// rectangle with a gradient fill. Apart: the repaint of what such a change
// invalidated, and a change of phase from painting to photos.
//
// Headless, over the build's picture library, with a CD layout open in the
// program's main window of 1000 x 700 pixels; each timed change starts from
// the state the previous untimed one left.
#include <benchmark/benchmark.h>

#include <cstring>

#include "DocTestSupport.h"
#include "InterfaceBenchSupport.h"
#include "app/Velmor4.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskUndo.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "objects/VoskBlok.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
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
#include "ui/VoskBar.h"
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntf.h"
#include "ui/VoskPanl.h"
#include "ui/VoskStat.h"

namespace {

// The interface on the main window with a CD document open in the paint
// phase, its whole window described and painted.
bool Start() {
  if (!benchsupport::Start_Interface_Window(false)) return false;
  Bar_Init();  // the bars' fills, as the program's start-up makes them
  doctests::Start_Document_Layer();
  const a_template x = doctests::Disc_Face_Template();
  if (!Doc_New(x)) return false;
  SV_Set_Enum(SV_PHASE, PAINT_PHASE);
  SV_Set_Int(SV_TOOL_SELECTION, BRUSH_TOOL);
  SV_Finish();
  UpdateWindow(gs.outer_window);
  return Node_Exists(NFT[TOOL_DIV_NODE]);
}

void Stop() {
  doctests::Close_Document();
  Bar_Stop();
  benchsupport::Stop_Interface_Window();
}

// The tool grid's cell chosen, as a click on it sets it, and settled.
void Choose_Tool(a_tool tool) {
  SV_Set_Int(SV_TOOL_SELECTION, tool);
  SV_Finish();
}

// Untimed: the window painted and the tool of before chosen again.
void Prepare(benchmark::State& state, a_tool from) {
  state.PauseTiming();
  Choose_Tool(from);
  UpdateWindow(gs.outer_window);
  state.ResumeTiming();
}

// The items the tool panel shows after the last change (a check that the
// change re-described the panel).
int64 Panel_Items() {
  int64 n = 0;
  for (int16 nx = 1; nx <= Node_Used(CURR); ++nx)
    if (Is_Node_Below(Node_Get(CURR, nx).loc, NFT[TOOL_DIV_NODE])) ++n;
  return n;
}

void Run_Change(benchmark::State& state, a_tool from, a_tool to) {
  if (!Start()) {
    state.SkipWithError("the document could not be opened in the interface over the build's picture library");
    Stop();
    return;
  }
  // The solid rectangle fills with the gradient bar's gradient.
  gs.bar_in_ring[AREA_RING] = GRADIENT_BAR;
  for (auto _ : state) {
    Prepare(state, from);
    Choose_Tool(to);
  }
  state.counters["panel_items"] = double(Panel_Items());
  state.counters["gradient_fill"] = gs.fill_kind == GRADIENT_FILL ? 1 : 0;
  Stop();
}

void BM_ToolChange_BrushToStamp(benchmark::State& state) { Run_Change(state, BRUSH_TOOL, STAMP_TOOL); }
BENCHMARK(BM_ToolChange_BrushToStamp)->Unit(benchmark::kMicrosecond);

void BM_ToolChange_StampToGradientRect(benchmark::State& state) { Run_Change(state, STAMP_TOOL, SRECT_TOOL); }
BENCHMARK(BM_ToolChange_StampToGradientRect)->Unit(benchmark::kMicrosecond);

// The repaint a change from brush to stamp causes, alone.
void BM_ToolChange_Repaint(benchmark::State& state) {
  if (!Start()) {
    state.SkipWithError("the document could not be opened in the interface over the build's picture library");
    Stop();
    return;
  }
  for (auto _ : state) {
    Prepare(state, BRUSH_TOOL);
    state.PauseTiming();
    Choose_Tool(STAMP_TOOL);
    state.ResumeTiming();
    UpdateWindow(gs.outer_window);
  }
  Stop();
}
BENCHMARK(BM_ToolChange_Repaint)->Unit(benchmark::kMicrosecond);

// From the paint phase to the photo phase: the whole window described
// again (without its repaint).
void BM_PhaseChange_PaintToPhoto(benchmark::State& state) {
  if (!Start()) {
    state.SkipWithError("the document could not be opened in the interface over the build's picture library");
    Stop();
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    SV_Set_Enum(SV_PHASE, PAINT_PHASE);
    SV_Finish();
    UpdateWindow(gs.outer_window);
    state.ResumeTiming();
    SV_Set_Enum(SV_PHASE, PHOTO_PHASE);
    SV_Finish();
  }
  state.counters["panel_items"] = double(Panel_Items());
  Stop();
}
BENCHMARK(BM_PhaseChange_PaintToPhoto)->Unit(benchmark::kMicrosecond);

}  // namespace
