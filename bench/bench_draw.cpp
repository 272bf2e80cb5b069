// Gradient fills over a disc face at canvas resolution: 120 mm at 300 dpi
// is 1417 x 1417 pixels, 32 bits a pixel.
#include <benchmark/benchmark.h>

#include "pixel/Draw.h"
#include "pixel/SysPix.h"

namespace {

constexpr int16 kSide = 1417;
const Rect kBounds{0, 0, kSide, kSide};

a_grad_rec Rainbow() {
  a_grad_rec g{};
  const uint32 colours[] = {0xFFFF0000u, 0xFFFFFF00u, 0xFF00FF00u, 0xFF00FFFFu, 0xFF0000FFu, 0xFFFF00FFu};
  for (uint32 c : colours) g.bands[g.nbands++].raw = c;
  return g;
}

// A disc mask with its centre hole, as the gradient tool paints a disc face.
void Disc_Mask(PixMap& mask) {
  New_PixMap(mask, kBounds, 1, nullptr);
  const int32 c = kSide / 2, r = kSide / 2 - 2, hole = 80;
  for (int32 v = 0; v < kSide; ++v)
    for (int32 h = 0; h < kSide; ++h) {
      const int32 d2 = (h - c) * (h - c) + (v - c) * (v - c);
      if (d2 <= r * r && d2 >= hole * hole)
        mask.baseAddr[size_t(v) * PixMap_RowBytes(mask) + size_t(h >> 3)] |= char(0x80 >> (h & 7));
    }
}

void Run(benchmark::State& state, a_dither_kind kind, bool masked, int16 depth = 32) {
  Draw_Init();
  PixMap pix{}, mask{};
  New_PixMap(pix, kBounds, depth, nullptr);
  if (masked) Disc_Mask(mask);
  const a_grad_rec g = Rainbow();
  for (auto _ : state) {
    Fill_Dither(kind, &pix, masked ? &mask : nullptr, kBounds, nullptr, nullptr, true, &g, 20, 30,
                Point{kSide / 2, kSide / 2}, kSide / 2);
    benchmark::DoNotOptimize(pix.baseAddr);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kSide * kSide);
  Dispose_PixMap(pix);
  Dispose_PixMap(mask);
}

void BM_Radial32(benchmark::State& s) { Run(s, CIRCULAR_DITHER, false); }
void BM_Radial32_Disc(benchmark::State& s) { Run(s, CIRCULAR_DITHER, true); }
void BM_Linear32(benchmark::State& s) { Run(s, LINEAR_DITHER, false); }
void BM_Rays32(benchmark::State& s) { Run(s, RAY_DITHER, false); }
void BM_Ridges32_Disc(benchmark::State& s) { Run(s, RIDGES_DITHER, true); }
void BM_Contour32_Disc(benchmark::State& s) { Run(s, CONTOUR_DITHER, true); }
void BM_Radial16(benchmark::State& s) { Run(s, CIRCULAR_DITHER, false, 16); }

}  // namespace

BENCHMARK(BM_Radial32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Radial32_Disc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Linear32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rays32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ridges32_Disc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Contour32_Disc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Radial16)->Unit(benchmark::kMillisecond);
