// Toolbox-style text in the current port: a 40-character line drawn 10,000
// times through DrawString into a 32-bit world, 100,000 StringWidth calls,
// and the same line turned by 45 degrees through Draw_Rotated_String (which
// renders it upright into a 1-bit scratch world and turns that).
#include <benchmark/benchmark.h>

#include "pixel/Polar.h"
#include "platform/Quickdraw.h"
#include "platform/SysFont.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

const char kLine[] = "The quick brown fox jumps over a lazy do";  // 40 characters
static_assert(sizeof(kLine) == 41);

struct Text_Port {
  GWorldPtr world = nullptr;
  a_fontspec spec{};
  Text_Port() {
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    Fonts_Init();
    New_GWorld(Rect{0, 0, 600, 800}, 32, nullptr, world);
    Push_GWorld(world);
    PatBlt(theHDC, 0, 0, 800, 600, WHITENESS);
    Null_FontSpec(spec);
    const uint32 dejavu = Find_Font_Name(CStrSpan("DejaVu Sans"));
    if (dejavu != 0) spec.fontID = dejavu;
    spec.size = 16;
    SetFont(spec);
    ForeColor(1);
    TextMode(1);
  }
  ~Text_Port() {
    Pop_GWorld();
    Dispose_GWorld(world);
    Stop_Quickdraw();
  }
};

void BM_DrawString_10000(benchmark::State& state) {
  Text_Port port;
  for (auto _ : state) {
    for (int i = 0; i < 10000; ++i) {
      MoveTo(int16(10 + i % 50), int16(20 + (i % 29) * 20));
      DrawString(CStrSpan(kLine));
    }
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_DrawString_10000)->Unit(benchmark::kMillisecond);

void BM_StringWidth_100000(benchmark::State& state) {
  Text_Port port;
  int64 sum = 0;
  for (auto _ : state) {
    for (int i = 0; i < 100000; ++i) sum += StringWidth(CStrSpan(kLine));
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_StringWidth_100000)->Unit(benchmark::kMillisecond);

void BM_RotatedString_1000(benchmark::State& state) {
  Text_Port port;
  GWorldPtr scratch = nullptr;
  Point start;
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i)
      Draw_Rotated_String(CStrSpan(kLine), 1.0f, port.spec, Point{300, 400}, 450, Point{300, 300},
                          start, scratch);
  }
  Dispose_GWorld(scratch);
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_RotatedString_1000)->Unit(benchmark::kMillisecond);

}  // namespace
