// Pixel-map fills and the bucket-fill seed fill on a disc face at canvas
// resolution: 120 mm at 300 dpi is 1417 x 1417 pixels.
#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>

#include "pixel/FastFill.h"
#include "pixel/SysPix.h"

namespace {

constexpr int16 kSide = 1417;
const Rect kBounds{0, 0, kSide, kSide};

struct Maps {
  PixMap pix{}, mask{};
  Maps(int16 depth) {
    New_PixMap(pix, kBounds, depth, nullptr);
    New_PixMap(mask, kBounds, 1, nullptr);
  }
  ~Maps() {
    Dispose_PixMap(pix);
    Dispose_PixMap(mask);
  }
};

// A disc of one colour with a centre hole on another background, as a bucket
// fill of a disc face sees it; `rings` adds concentric rings of a third colour
// that the fill must go around.
void Draw_Disc(const PixMap& pm, bool rings) {
  const int32 c = kSide / 2, r = kSide / 2 - 2, hole = 80;
  const uint32 stride = PixMap_RowBytes(pm);
  const int bpp = pm.pixelSize / 8;
  for (int32 v = 0; v < kSide; ++v) {
    uint8* row = reinterpret_cast<uint8*>(pm.baseAddr) + int64(v) * stride;
    for (int32 h = 0; h < kSide; ++h) {
      const int32 d2 = (h - c) * (h - c) + (v - c) * (v - c);
      uint8 val = 0;
      if (d2 <= r * r && d2 >= hole * hole) val = 1;
      // Thin rings every 12 pixels, each broken by gaps, so the fill winds
      // through many short spans.
      if (rings && val == 1 && int32(std::sqrt(double(d2))) % 12 == 0 && ((h + v) / 9) % 11 != 0) val = 2;
      for (int k = 0; k < bpp; ++k) row[h * bpp + k] = uint8(val * 60 + k);
    }
  }
}

void Seed_Fill_Disc(benchmark::State& state, int16 depth, bool rings) {
  Maps m(depth);
  Draw_Disc(m.pix, rings);
  const int16 seedx = kSide / 2, seedy = kSide / 2 - 270;
  Rect box{};
  for (auto _ : state) {
    PixMap_Zero(m.mask);
    if (depth == 8)
      PixMap8_SeedFill(&m.pix, &m.mask, seedx, seedy, box);
    else
      PixMap32_SeedFill(&m.pix, &m.mask, seedx, seedy, box);
    benchmark::DoNotOptimize(box);
  }
  state.SetItemsProcessed(state.iterations() * int64(kSide) * kSide);
  int64 filled = 0;
  const uint8* bits = reinterpret_cast<const uint8*>(m.mask.baseAddr);
  for (uint32 i = 0; i < PixMap_Len(m.mask); ++i) filled += std::popcount(bits[i]);
  state.counters["filled"] = double(filled);
}

void BM_SeedFill8_Disc(benchmark::State& s) { Seed_Fill_Disc(s, 8, false); }
void BM_SeedFill32_Disc(benchmark::State& s) { Seed_Fill_Disc(s, 32, false); }
void BM_SeedFill8_Rings(benchmark::State& s) { Seed_Fill_Disc(s, 8, true); }
void BM_SeedFill32_Rings(benchmark::State& s) { Seed_Fill_Disc(s, 32, true); }

void BM_PixMap8_Fill(benchmark::State& state) {
  Maps m(8);
  uint8 v = 0;
  for (auto _ : state) {
    PixMap8_Fill(m.pix, ++v);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64(PixMap_Len(m.pix)));
}

void BM_PixMap32_Fill(benchmark::State& state) {
  Maps m(32);
  a_win_pixel32 c;
  c.raw = 0xFF102030;
  for (auto _ : state) {
    ++c.b;
    PixMap32_Fill(m.pix, c);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * int64(PixMap_Len(m.pix)));
}

void BM_PixMap32_Copy(benchmark::State& state) {
  Maps m(32);
  for (auto _ : state) {
    PixMap copy{};
    PixMap_Copy(m.pix, copy);
    benchmark::DoNotOptimize(copy.baseAddr);
    Dispose_PixMap(copy);
  }
  state.SetBytesProcessed(state.iterations() * int64(PixMap_Len(m.pix)));
}

}  // namespace

BENCHMARK(BM_SeedFill8_Disc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeedFill32_Disc)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeedFill8_Rings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeedFill32_Rings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixMap8_Fill)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PixMap32_Fill)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PixMap32_Copy)->Unit(benchmark::kMicrosecond);
