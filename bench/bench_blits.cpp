// The blit layer's resamplers on a 1417 x 1417 picture (a 120 mm disc face
// at 300 dpi): smooth cubic scaling and matrix rotation of 32-bit and 8-bit maps.
#include <benchmark/benchmark.h>

#include "pixel/Matrix.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPix.h"

namespace {

constexpr int16 kSide = 1417;

struct Picture {
  PixMap pm{};
  Picture(int16 w, int16 h, int16 depth) {
    New_PixMap(pm, Rect{0, 0, h, w}, depth, nullptr);
    for (uint32 i = 0; i < PixMap_Len(pm); ++i) pm.baseAddr[i] = char(i * 2654435761u >> 24);
  }
  ~Picture() { Dispose_PixMap(pm); }
};

void BM_Cubic(benchmark::State& state) {
  const int16 depth = int16(state.range(0));
  const int16 out = int16(state.range(1));
  Picture src(kSide, kSide, depth), dst(out, out, depth);
  for (auto _ : state) Bicubic_Blt(&src.pm, &dst.pm, src.pm.bounds, dst.pm.bounds);
  state.SetItemsProcessed(state.iterations() * int64_t(out) * out);
}
BENCHMARK(BM_Cubic)->Args({32, 700})->Args({32, 2000})->Args({8, 700})->Unit(benchmark::kMillisecond);

void BM_Rotate(benchmark::State& state) {
  const int16 depth = int16(state.range(0));
  Picture src(kSide, kSide, depth), dst(2004, 2004, depth);
  MatrixRecord m;
  SetIdentityMatrix(&m);
  RotateMatrix(&m, Long2Fix(30), Long2Fix(kSide / 2), Long2Fix(kSide / 2));
  TranslateMatrix(&m, Long2Fix(293), Long2Fix(293));
  for (auto _ : state) Matrix_Blt(&src.pm, &dst.pm, src.pm.bounds, m, dst.pm.bounds, true);
  state.SetItemsProcessed(state.iterations() * int64_t(kSide) * kSide);
}
BENCHMARK(BM_Rotate)->Arg(32)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
