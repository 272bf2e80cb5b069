// Toolbox-style drawing into offscreen worlds: many small shapes (the
// interface and label outlines), and a disc-sized oval region painted into a
// 32-bit world (120 mm at 300 dpi is 1417 x 1417 pixels).
#include <benchmark/benchmark.h>

#include "platform/Quickdraw.h"
#include "platform/SysRgn.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

struct World_Port {
  GWorldPtr world = nullptr;
  World_Port(const Rect& bounds, int16 depth) {
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    New_GWorld(bounds, depth, nullptr, world);
    Push_GWorld(world);
  }
  ~World_Port() {
    Pop_GWorld();
    Dispose_GWorld(world);
    Stop_Quickdraw();
  }
};

// 10,000 small rectangles, round rectangles and ovals, each painted then framed.
void BM_SmallShapes(benchmark::State& state) {
  World_Port port(Rect{0, 0, 400, 400}, static_cast<int16>(state.range(0)));
  for (auto _ : state) {
    for (int i = 0; i < 10000; ++i) {
      const int16 x = int16((i * 37) % 380), y = int16((i * 53) % 380);
      const Rect r{y, x, int16(y + 6 + i % 13), int16(x + 7 + i % 11)};
      ForeColor(300 + i % 256);
      PenSize(int16(1 + i % 3), 1);
      switch (i % 3) {
        case 0:
          PaintRect(r);
          FrameRect(r);
          break;
        case 1:
          PaintRoundRect(r, 6, 6);
          FrameRoundRect(r, 6, 6);
          break;
        default:
          PaintOval(r);
          FrameOval(r);
          break;
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_SmallShapes)->Arg(32)->Arg(8)->Unit(benchmark::kMillisecond);

// The same shapes with a pattern: the patterned frames go through regions.
void BM_SmallShapesPatterned(benchmark::State& state) {
  World_Port port(Rect{0, 0, 400, 400}, 32);
  PenPat(qd.gray);
  for (auto _ : state) {
    for (int i = 0; i < 10000; ++i) {
      const int16 x = int16((i * 37) % 380), y = int16((i * 53) % 380);
      const Rect r{y, x, int16(y + 8 + i % 13), int16(x + 8 + i % 11)};
      FillOval(r, qd.ltGray);
      FrameOval(r);
    }
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_SmallShapesPatterned)->Unit(benchmark::kMillisecond);

// A disc-sized oval region painted into a 32-bit world.
void BM_PaintOvalRegion1417(benchmark::State& state) {
  constexpr int16 kSide = 1417;
  World_Port port(Rect{0, 0, kSide, kSide}, 32);
  HRGN rgn = nullptr;
  OvalRgn(Rect{0, 0, kSide, kSide}, rgn);
  ForeColor(300 + 40);
  for (auto _ : state) {
    PaintRgn(rgn);
    benchmark::ClobberMemory();
  }
  DeleteRgn(rgn);
  state.SetBytesProcessed(state.iterations() * int64(kSide) * kSide * 4);
}
BENCHMARK(BM_PaintOvalRegion1417)->Unit(benchmark::kMillisecond);

// Building the region itself by recording a framed oval.
void BM_RecordOvalRegion1417(benchmark::State& state) {
  constexpr int16 kSide = 1417;
  World_Port port(Rect{0, 0, kSide, kSide}, 32);
  for (auto _ : state) {
    OpenRgn();
    FrameOval(Rect{0, 0, kSide, kSide});
    HRGN rgn = NewRgn();
    CloseRgn(rgn);
    benchmark::DoNotOptimize(rgn);
    DeleteRgn(rgn);
  }
}
BENCHMARK(BM_RecordOvalRegion1417)->Unit(benchmark::kMillisecond);

}  // namespace
