// The font bar with 300 fonts (the installed families repeated to make up
// the number): one idle step of the font samples, which makes at most one
// sample, and the first paint of a screenful of the font bar while no font
// has its sample yet, which makes the samples of the cells shown.
//
// Headless, over the build's picture library, in the program's main window
// of 1000 x 700 pixels with the palette bar along its bottom.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "InterfaceBenchSupport.h"
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
#include "ui/VoskBar.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace {

constexpr uint32 kFonts = 300;
constexpr a_locator kWin = 0x01000000, kBarDiv = 0x01050000, kBarArea = 0x01050400;
constexpr Rect kBarRect{580, 60, 700, 1000};

std::vector<a_family_item> g_fonts;
a_family_item* g_saved_list = nullptr;
uint32 g_saved_count = 0;

// The installed families repeated up to kFonts entries, in the list's order.
void Use_Many_Fonts() {
  g_saved_list = g_fontlist;
  g_saved_count = n_fontlist;
  g_fonts.assign(kFonts, a_family_item{});
  for (uint32 i = 0; i < kFonts; ++i) g_fonts[i] = g_saved_list[i % g_saved_count];
  g_fontlist = g_fonts.data();
  n_fontlist = kFonts;
}

void Restore_Fonts() {
  if (g_saved_list == nullptr) return;
  g_fontlist = g_saved_list;
  n_fontlist = g_saved_count;
  g_saved_list = nullptr;
}

// Every font without its sample again, and a cache made afresh.
void Forget_Samples() {
  for (a_family_item& f : g_fonts) f.attrib = a_font_attrib_set(f.attrib & ~Attrib_Bit(IS_THUMBNAILED));
  Font_Cache_Init();
}

bool Start() {
  if (!benchsupport::Start_Interface_Window(true)) return false;
  Use_Many_Fonts();
  Bar_Init();
  Rect total, g;
  Node_BeginConfig(0, total);
  Node_Add_Window(kWin, total, gs.outer_window, g);
  Node_Add_Division(kBarDiv, kBarRect, DECORATION_SOLIDGRAY, a_pixel24{});
  Node_Add_Custom(kBarArea, kBarRect, false, CUSTOM_BAR);
  Node_EndConfig();
  Bar_Calc_All_Desc(kBarRect);
  SV_Set_Enum(SV_CURR_BAR, FONT_BAR);
  return gs.curr_bar == FONT_BAR && gs.bard[FONT_BAR].last_id == int16(kFonts);
}

void Stop() {
  Bar_Stop();
  Restore_Fonts();
  benchsupport::Stop_Interface_Window();
}

// One idle step; when every font has its sample, untimed, they are all
// forgotten again.
void BM_FontCacheTick(benchmark::State& state) {
  if (!Start()) {
    state.SkipWithError("the interface could not be started with the installed fonts");
    Stop();
    return;
  }
  Forget_Samples();
  int64 made = 0;
  for (auto _ : state) {
    if (Font_Cache_Todo() == 0) {
      state.PauseTiming();
      Forget_Samples();
      state.ResumeTiming();
    }
    if (Font_Cache_Step()) ++made;
  }
  state.counters["samples_made"] = double(made);
  state.counters["fonts"] = double(n_fontlist);
  Stop();
}
BENCHMARK(BM_FontCacheTick)->Unit(benchmark::kMicrosecond);

// The font bar's first screenful painted with no sample made yet.
void BM_FontBarFirstPaint(benchmark::State& state) {
  if (!Start()) {
    state.SkipWithError("the interface could not be started with the installed fonts");
    Stop();
    return;
  }
  const a_bar_row_desc& d = gs.bard[FONT_BAR];
  int32 made = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Forget_Samples();
    const int32 before = Font_Cache_Todo();
    state.ResumeTiming();
    Custom_Paint(CUSTOM_BAR);
    made = before - Font_Cache_Todo();
  }
  state.counters["cells"] = double(std::min<int32>(d.ncells_tot, d.last_id - d.first_id + 1));
  state.counters["samples_made"] = double(made);
  Stop();
}
BENCHMARK(BM_FontBarFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace
