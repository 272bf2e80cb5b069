// The gradient kernels as the bucket fills a disc face with them: a
// 1417 x 1417 unit (120 mm at 300 dpi), 32 bits, through the disc's mask.
#include <benchmark/benchmark.h>

#include "pixel/Draw.h"
#include "pixel/SysPix.h"

namespace {

constexpr int16 kSide = 1417;
const Rect kBounds{0, 0, kSide, kSide};

a_grad_rec Bands() {
  a_grad_rec g{};
  const uint32 colours[] = {0xFF202080u, 0xFFE0E040u, 0xFF40C040u, 0xFF10A0E0u, 0xFFC02020u};
  for (uint32 c : colours) g.bands[g.nbands++].raw = c;
  return g;
}

void Disc_Mask(PixMap& mask) {
  New_PixMap(mask, kBounds, 1, nullptr);
  const int32 c = kSide / 2, r = kSide / 2 - 1, hole = 60;
  for (int32 v = 0; v < kSide; ++v)
    for (int32 h = 0; h < kSide; ++h) {
      const int32 d2 = (h - c) * (h - c) + (v - c) * (v - c);
      if (d2 <= r * r && d2 >= hole * hole)
        mask.baseAddr[size_t(v) * PixMap_RowBytes(mask) + size_t(h >> 3)] |= char(0x80 >> (h & 7));
    }
}

void Fill(benchmark::State& state, a_dither_kind kind, int16 twist) {
  Draw_Init();
  PixMap pix{}, mask{};
  New_PixMap(pix, kBounds, 32, nullptr);
  Disc_Mask(mask);
  const a_grad_rec g = Bands();
  for (auto _ : state) {
    Fill_Dither(kind, &pix, &mask, kBounds, nullptr, nullptr, true, &g, twist, 30, Point{kSide / 2, kSide / 2},
                kSide / 2);
    benchmark::DoNotOptimize(pix.baseAddr);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * kSide * kSide);
  Dispose_PixMap(pix);
  Dispose_PixMap(mask);
}

void BM_Disc_Linear(benchmark::State& s) { Fill(s, LINEAR_DITHER, 0); }
void BM_Disc_Ridges(benchmark::State& s) { Fill(s, RIDGES_DITHER, 0); }
void BM_Disc_Circular(benchmark::State& s) { Fill(s, CIRCULAR_DITHER, 0); }
void BM_Disc_Contour(benchmark::State& s) { Fill(s, CONTOUR_DITHER, 0); }
void BM_Disc_Ray(benchmark::State& s) { Fill(s, RAY_DITHER, 0); }
void BM_Disc_Ray_Twisted(benchmark::State& s) { Fill(s, RAY_DITHER, 20); }
void BM_Disc_Wavy(benchmark::State& s) { Fill(s, WAVY_DITHER, 0); }
void BM_Disc_Diamond(benchmark::State& s) { Fill(s, DIAMOND_DITHER, 0); }

}  // namespace

BENCHMARK(BM_Disc_Linear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Disc_Ridges)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Disc_Circular)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Disc_Contour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Disc_Ray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Disc_Ray_Twisted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Disc_Wavy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Disc_Diamond)->Unit(benchmark::kMillisecond);
