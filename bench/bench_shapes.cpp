// The printed region of a disc face at print resolution: a 118 mm disc with
// a 41 mm hole at 1200 dots per inch is 5575 pixels across. Regions are made
// for every unit printed and for every render of a disc's outer mask.
#include <benchmark/benchmark.h>

#include "doc/VoskShap.h"
#include "pixel/Draw.h"
#include "platform/Quickdraw.h"

namespace {

void Disc_Region(benchmark::State& state, bool holes) {
  Draw_Init();
  a_coord_mapping m{};
  m.multx = m.multy = 1200.0f / 25.4f;
  Push_Mapping(m);
  a_unit disc{};
  disc.kind = UNIT_CD;
  disc.bbox = a_frect{1, 1, 119, 119};
  disc.meas[0] = 41;
  a_iunit iu{};
  Map_Unit(disc, iu);
  RgnHandle rgn = NewRgn();
  for (auto _ : state) {
    Calc_Unit_Region(holes, iu, rgn);
    benchmark::DoNotOptimize(rgn);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * (iu.bbox.bottom - iu.bbox.top));  // rows
  DisposeRgn(rgn);
  Pop_Mapping();
}

void BM_DiscRegion1200dpi(benchmark::State& s) { Disc_Region(s, true); }
void BM_DiscRegion1200dpi_NoHole(benchmark::State& s) { Disc_Region(s, false); }

}  // namespace

BENCHMARK(BM_DiscRegion1200dpi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiscRegion1200dpi_NoHole)->Unit(benchmark::kMillisecond);
