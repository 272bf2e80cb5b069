// The layout chooser's lists over the whole catalogue: the kind list, the
// brand list, and the entry list of every entry and of one kind (the target:
// each well under 5 ms, so a change of grouping or kind shows at once).
#include <benchmark/benchmark.h>

#include <vector>

#include "doc/VoskTmpl.h"
#include "platform/Resources.h"
#include "platform/VoskDef.h"
#include "ui/VoskStat.h"

namespace {

struct Lists {
  std::vector<a_listbox_item> kinds = std::vector<a_listbox_item>(200);
  std::vector<a_listbox_item> entries = std::vector<a_listbox_item>(4000);
  Lists() {
    Resources_Init();
    VoskDef_Init();
    for (a_listbox_desc* d : {&gs.paper_kind_desc, &gs.paper_list_desc}) {
      d->nvis = 16;
      d->cell_v = 22;
      d->hix = 1;
    }
    gs.paper_kind_desc.list = kinds.data();
    gs.paper_kind_desc.maxnlist = int32(kinds.size());
    gs.paper_list_desc.list = entries.data();
    gs.paper_list_desc.maxnlist = int32(entries.size());
    t.tlist_n = NTEMPLATES;
    for (uint32 i = 0; i < NTEMPLATES; ++i) t.tlist[i] = i + 1;
  }
};

Lists& The_Lists() {
  static Lists lists;
  return lists;
}

void BM_KindList(benchmark::State& state) {
  The_Lists();
  gs.grid_vals[PROJ_SORT_GRID] = 0;
  for (auto _ : state) {
    Build_Kind_List();
    benchmark::DoNotOptimize(gs.paper_kind_desc.nlist);
  }
  state.SetItemsProcessed(state.iterations() * NTEMPLATES);
}
BENCHMARK(BM_KindList)->Unit(benchmark::kMillisecond);

void BM_BrandList(benchmark::State& state) {
  The_Lists();
  for (auto _ : state) {
    Build_Brand_List();
    benchmark::DoNotOptimize(gs.paper_kind_desc.nlist);
  }
  state.SetItemsProcessed(state.iterations() * NTEMPLATES);
}
BENCHMARK(BM_BrandList)->Unit(benchmark::kMillisecond);

// "All kinds": every entry of the catalogue, each under its displayed name.
void BM_EntryList_All(benchmark::State& state) {
  The_Lists();
  Build_Kind_List();
  for (auto _ : state) {
    Build_Paper_List();
    benchmark::DoNotOptimize(gs.paper_list_desc.nlist);
  }
  state.SetItemsProcessed(state.iterations() * NTEMPLATES);
}
BENCHMARK(BM_EntryList_All)->Unit(benchmark::kMillisecond);

// The entries of one kind (discs).
void BM_EntryList_OneKind(benchmark::State& state) {
  The_Lists();
  Build_Kind_List();
  for (int32 i = 1; i < gs.paper_kind_desc.nlist; ++i)
    if (gs.paper_kind_desc.list[i].key == UNIT_CD) gs.paper_kind_desc.hix = i + 1;
  for (auto _ : state) {
    Build_Paper_List();
    benchmark::DoNotOptimize(gs.paper_list_desc.nlist);
  }
  state.SetItemsProcessed(state.iterations() * NTEMPLATES);
}
BENCHMARK(BM_EntryList_OneKind)->Unit(benchmark::kMillisecond);

// Both lists as the chooser builds them when it opens.
void BM_PaperLists(benchmark::State& state) {
  The_Lists();
  gs.grid_vals[PROJ_SORT_GRID] = 0;
  for (auto _ : state) {
    Build_Paper_Lists();
    benchmark::DoNotOptimize(gs.paper_list_desc.nlist);
  }
  state.SetItemsProcessed(state.iterations() * NTEMPLATES);
}
BENCHMARK(BM_PaperLists)->Unit(benchmark::kMillisecond);

}  // namespace
