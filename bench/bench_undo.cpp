// The painting tools' layer copy on the paint layers of a 120 mm disc face
// (1417 x 1417 cells) and of an A3 sheet across (4000 x 2829): saving the
// layer before a stroke, and putting a 200 x 200 part of it back.
#include <benchmark/benchmark.h>

#include "doc/VoskDoc.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "platform/Quickdraw.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"

namespace {

// A unit with a paint layer of w x h cells as the current unit.
struct Painted_Unit {
  a_doc_unit* unit;
  Painted_Unit(int16 w, int16 h) {
    static bool started = false;
    if (!started) {
      VoskDef_Init();
      SysVideo_Init();
      SysWin_Init();
      Quickdraw_Init();
      VoskUndo_Init();
      started = true;
    }
    unit = New_Unit_Rec();
    unit->paintbounds = Rect{0, 0, h, w};
    Sync_Existence(true, unit, PAINT1_LAYER);
    g_doc.up = unit;
  }
  ~Painted_Unit() {
    Undo_Dispose();
    Dispose_Unit_Content(unit);
    g_doc.up = nullptr;
    Dispose_Unit_Rec(unit);
  }
};

void BM_Undo_SaveLayer(benchmark::State& state) {
  Painted_Unit u(int16(state.range(0)), int16(state.range(1)));
  for (auto _ : state) Undo_SaveLayer(PAINT1_LAYER);
  state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}
BENCHMARK(BM_Undo_SaveLayer)->Args({1417, 1417})->Args({4000, 2829})->Unit(benchmark::kMillisecond);

void BM_Undo_RestoreRect(benchmark::State& state) {
  Painted_Unit u(int16(state.range(0)), int16(state.range(1)));
  Undo_SaveLayer(PAINT1_LAYER);
  const int16 left = int16(state.range(0) / 2 - 100), top = int16(state.range(1) / 2 - 100);
  const Rect part{top, left, int16(top + 200), int16(left + 200)};
  for (auto _ : state) Undo_RestoreRect(part);
  state.SetItemsProcessed(state.iterations() * 200 * 200);
}
BENCHMARK(BM_Undo_RestoreRect)->Args({1417, 1417})->Args({4000, 2829})->Unit(benchmark::kMicrosecond);

}  // namespace
