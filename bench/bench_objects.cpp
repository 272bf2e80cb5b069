// The object list of a full unit: a 120 mm disc face (1417 x 1417 cells)
// holding 400 objects, 399 photos and symbols of mixed sizes and angles over
// the paint layer. Finding the object under a point (over many objects,
// over none, on a lone selected photo's corner handle), walking the list
// both ways (all, and the selected ones), and the selection's mix.
#include <benchmark/benchmark.h>

#include "doc/VoskDoc.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "platform/VoskDef.h"

namespace {

constexpr int16 kSide = 1417;
// Objects keep away from the top-left corner: a point there is over none.
constexpr int16 kClear = 150;

// A unit full of objects, current, seen at zoom 1 from its top-left.
struct Full_Unit {
  a_doc_unit* unit;
  Full_Unit() {
    VoskDef_Init();
    VoskBlok_Init();
    unit = New_Unit_Rec();
    unit->paintbounds = Rect{0, 0, kSide, kSide};
    g_doc.doc_units[0] = unit;
    g_doc.up = unit;
    g_doc.upx = 1;
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, kSide, kSide}};
    gs.curr_phase = PHOTO_PHASE;
    gs.curr_kindset = a_oj_kind_set(Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK) | Kind_Bit(TEXT_BLOCK));
    uint32 seed = 12345;
    auto next = [&seed](int32 n) {
      seed = seed * 1103515245u + 12345u;
      return int32((seed >> 8) % uint32(n));
    };
    a_oj_master& m = unit->oj;
    while (m.nlist < MAX_OJ) {
      a_ph_rec* ph = New_PH_Rec();
      // Sides of 40 to 640 cells, every fourth object turned.
      const int16 w = int16(40 + next(600)), h = int16(40 + next(600));
      const int16 angle = next(4) == 0 ? int16(next(3600)) : 0;
      // Centres spread over the unit, crowding towards its middle.
      const int16 ch = int16(kClear + w / 2 + (next(kSide - kClear - w) + next(kSide - kClear - w)) / 2);
      const int16 cv = int16(kClear + h / 2 + (next(kSide - kClear - h) + next(kSide - kClear - h)) / 2);
      ph->spec.scalingh = ph->spec.scalingv = 1000;
      ph->spec.angle = angle;
      ph->spec.subset = Rect{0, 0, h, w};
      ph->dst_center = Point{cv, ch};
      // The box of the turned picture holds its frame (the diagonal on
      // each side is enough).
      const int16 r = angle == 0 ? 0 : int16((w > h ? w : h) * 3 / 4);
      ph->dst_box = angle == 0 ? Rect{int16(cv - h / 2), int16(ch - w / 2), int16(cv - h / 2 + h), int16(ch - w / 2 + w)}
                               : Rect{int16(cv - r), int16(ch - r), int16(cv + r), int16(ch + r)};
      Obj_Append(m, m.nlist % 3 == 0 ? SYMBOL_BLOCK : PHOTO_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr);
    }
  }
  ~Full_Unit() {
    OMast_Dispose(unit->oj);
    Dispose_Unit_Rec(unit);
    g_doc.up = nullptr;
    g_doc.doc_units[0] = nullptr;
  }
  // About every fifth object selected, photos only: the selection's mix
  // looks at the whole list.
  void Select_Some() {
    a_oj_master& m = unit->oj;
    for (int32 i = 1; i < m.nlist; ++i)
      if (i % 5 == 0 && m.list[i].kind == PHOTO_BLOCK) m.list[i].flags |= OJ_Flag_Bit(SELECTED_FLAG);
  }
};

void BM_ObjFind_OverMany(benchmark::State& state) {
  Full_Unit u;
  const Point p{kSide / 2, kSide / 2};
  a_oj_part part;
  int32 hits = 0;
  for (int32 omx = ENUM_START; Enum(false, false, gs.curr_kindset, omx);) hits += PH_Is_Inside(p, p, omx, part);
  for (auto _ : state) benchmark::DoNotOptimize(Obj_Find(p, p, part));
  state.counters["objects_hit"] = hits;
}
BENCHMARK(BM_ObjFind_OverMany)->Unit(benchmark::kMicrosecond);

void BM_ObjFind_OverNone(benchmark::State& state) {
  Full_Unit u;
  const Point p{kClear / 3, kClear / 3};
  a_oj_part part;
  for (auto _ : state) benchmark::DoNotOptimize(Obj_Find(p, p, part));
}
BENCHMARK(BM_ObjFind_OverNone)->Unit(benchmark::kMicrosecond);

void BM_ObjFind_CornerOfSelected(benchmark::State& state) {
  Full_Unit u;
  // The top object, upright, 40 x 40 in the crowded middle, selected alone:
  // the smallest box there, nearest the top.
  a_oj_item& top = u.unit->oj.list[MAX_OJ - 1];
  top.flags |= OJ_Flag_Bit(SELECTED_FLAG);
  a_ph_rec* ph = top.ph;
  ph->spec.angle = 0;
  ph->spec.subset = Rect{0, 0, 40, 40};
  ph->dst_center = Point{kSide / 2, kSide / 2};
  ph->dst_box = Rect{kSide / 2 - 20, kSide / 2 - 20, kSide / 2 + 20, kSide / 2 + 20};
  const Point p = ph->dst_box.botRight();
  a_oj_part part;
  if (Obj_Find(p, p, part) != MAX_OJ || part != LRCORNER_PART) state.SkipWithError("the handle was not found");
  for (auto _ : state) benchmark::DoNotOptimize(Obj_Find(p, p, part));
}
BENCHMARK(BM_ObjFind_CornerOfSelected)->Unit(benchmark::kMicrosecond);

void BM_Enum_Walk(benchmark::State& state) {
  Full_Unit u;
  u.Select_Some();
  const bool8 forward = state.range(0) != 0, selected = state.range(1) != 0;
  for (auto _ : state) {
    int32 n = 0;
    for (int32 omx = ENUM_START; Enum(forward, selected, gs.curr_kindset, omx);) ++n;
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_Enum_Walk)
    ->ArgNames({"forward", "selected"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_Calc_Selection_Mix(benchmark::State& state) {
  Full_Unit u;
  u.Select_Some();
  if (Calc_Selection_Mix() != THREE_PURE) state.SkipWithError("the selection is not three photos or more");
  for (auto _ : state) benchmark::DoNotOptimize(Calc_Selection_Mix());
}
BENCHMARK(BM_Calc_Selection_Mix)->Unit(benchmark::kMicrosecond);

}  // namespace
