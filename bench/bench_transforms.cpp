// Rotations and the HSV recolouring of a disc face at canvas resolution:
// 120 mm at 300 dpi is 1417 x 1417 pixels, 32 bits deep.
#include <benchmark/benchmark.h>

#include "pixel/SysPix.h"
#include "pixel/SysPixColor.h"
#include "pixel/SysPixXform.h"

namespace {

constexpr int16 kSide = 1417;

// A photo-like picture: smooth gradients with some texture, fully opaque.
void Draw_Picture(const PixMap& pm) {
  const uint32 stride = PixMap_RowBytes(pm);
  for (int32 v = 0; v < kSide; ++v) {
    uint8* row = reinterpret_cast<uint8*>(pm.baseAddr) + int64(v) * stride;
    for (int32 h = 0; h < kSide; ++h) {
      row[4 * h + 0] = uint8((h * 255) / kSide);
      row[4 * h + 1] = uint8((v * 255) / kSide);
      row[4 * h + 2] = uint8(((h ^ v) & 63) * 4);
      row[4 * h + 3] = 255;
    }
  }
}

struct Picture {
  PixMap pix{};
  Picture() {
    New_PixMap(pix, Rect{0, 0, kSide, kSide}, 32, nullptr);
    Draw_Picture(pix);
  }
  ~Picture() { Dispose_PixMap(pix); }
};

void Rotate_30(benchmark::State& state, a_filtering_kind filter) {
  Picture p;
  for (auto _ : state) {
    PixMap out{};
    PixMap_Rotate(filter, false, 300, p.pix, out);
    benchmark::DoNotOptimize(out.baseAddr);
    Dispose_PixMap(out);
  }
  state.SetItemsProcessed(state.iterations() * int64(kSide) * kSide);
}

void BM_Rotate30_Nearest(benchmark::State& state) { Rotate_30(state, NEAREST); }
void BM_Rotate30_Bilinear(benchmark::State& state) { Rotate_30(state, BILINEAR); }

void BM_HSV_Change(benchmark::State& state) {
  Picture p;
  for (auto _ : state) {
    state.PauseTiming();
    Draw_Picture(p.pix);
    state.ResumeTiming();
    PixMap32_HSV(&p.pix, 200, 36, 50, 0);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64(kSide) * kSide);
}

}  // namespace

BENCHMARK(BM_Rotate30_Nearest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate30_Bilinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HSV_Change)->Unit(benchmark::kMillisecond);
