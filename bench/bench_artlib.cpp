// The program's picture library as the build draws it: opening it, loading
// the thumbnails of a canvas set (what the canvas bar shows, under 20 ms)
// and one full 640 x 1280 canvas (a DVD wrap's, under 15 ms).
#include <benchmark/benchmark.h>

#include <vector>

#include "pixel/ArtKeys.h"
#include "pixel/OP.h"
#include "pixel/SysPixt.h"
#include "platform/SysIO.h"
#include "platform/SysMem.h"
#include "platform/SysVideo.h"

namespace {

bool Open_Library() {
  FSSpec spec{};
  return Path_From_Text(spec, VELMOR_ART_LIBRARY) && OP_OpenFile(spec) == OPEN_OKAY;
}

struct Library {
  Library() {
    SysVideo_Init();
    InitGray();
    OP_Init();
    SysPixt_Init();
    ok = Open_Library();
  }
  ~Library() {
    OP_Stop();
    SysVideo_Stop();
  }
  std::vector<a_keyset> Keys(int16 a, int16 b) {
    a_subset sub{};
    Subset_Init(sub, a_keyset{a, b, 32000, 32000});
    std::vector<a_keyset> keys;
    for (int16 i = 1, n = Subset_Count(sub); i <= n; ++i) {
      a_keyset k{};
      Subset_GetKey(sub, i, k);
      keys.push_back(k);
    }
    return keys;
  }
  bool ok = false;
};

void BM_OpenLibrary(benchmark::State& state) {
  OP_Init();
  for (auto _ : state) {
    if (!Open_Library()) {
      state.SkipWithError("the picture library is not built");
      break;
    }
    OP_Stop();
  }
}
BENCHMARK(BM_OpenLibrary)->Unit(benchmark::kMillisecond);

void BM_CanvasSetThumbnails(benchmark::State& state) {
  Library lib;
  if (!lib.ok) {
    state.SkipWithError("the picture library is not built");
    return;
  }
  const std::vector<a_keyset> keys = lib.Keys(ART_CANVAS_THUMB, int16(state.range(0)));
  for (auto _ : state) {
    for (const a_keyset& k : keys) {
      a_pixt p{};
      KPixt_Load(k, p);
      benchmark::DoNotOptimize(p.bits);
      Pixt_Unload(p);
    }
  }
  state.counters["thumbnails"] = double(keys.size());
}
BENCHMARK(BM_CanvasSetThumbnails)->DenseRange(0, ART_CANVAS_SETS - 1)->Unit(benchmark::kMillisecond);

void BM_WrapCanvas(benchmark::State& state) {
  Library lib;
  if (!lib.ok) {
    state.SkipWithError("the picture library is not built");
    return;
  }
  // The first design of the wrap set, 640 x 1280, and the largest JPEG of
  // the set (the most detail to decode).
  std::vector<a_keyset> keys = lib.Keys(ART_CANVAS, ART_CANVAS_SET_WRAP);
  if (keys.empty()) {
    state.SkipWithError("no wrap canvases");
    return;
  }
  a_keyset key = keys[0];
  uint32 most = 0;
  for (const a_keyset& k : keys) {
    Ptr p = OP_Lock(k);
    const bool jpeg = p != nullptr && Ptr_GetSize(p) > 8 && (uint8(p[6]) & PIXT_FLAG_JPEG) != 0;
    if (jpeg && Ptr_GetSize(p) > most && state.range(0) == 1) {
      most = Ptr_GetSize(p);
      key = k;
    }
    OP_Unlock(p);
  }
  for (auto _ : state) {
    a_pixt p{};
    KPixt_Load(key, p);
    benchmark::DoNotOptimize(p.bits);
    Pixt_Unload(p);
  }
}
BENCHMARK(BM_WrapCanvas)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One symbol loaded as a symbol object's picture is (under 2 ms): the first
// of the browser, and (Arg 1) the one of most stored bytes, the longest to
// unpack.
void BM_Symbol(benchmark::State& state) {
  Library lib;
  if (!lib.ok) {
    state.SkipWithError("the picture library is not built");
    return;
  }
  std::vector<a_keyset> keys;
  for (const a_art_symbol_group& g : ART_SYMBOL_GROUPS)
    for (const a_keyset& k : lib.Keys(ART_SYMBOL, g.group)) keys.push_back(k);
  if (keys.empty()) {
    state.SkipWithError("no symbols");
    return;
  }
  a_keyset key = keys[0];
  uint32 stored = 0;
  for (const a_keyset& k : keys) {
    Ptr p = OP_Lock(k);
    const uint32 n = p != nullptr ? Ptr_GetSize(p) : 0;
    if (k.b == key.b && k.c == key.c) stored = n;
    if (n > stored && state.range(0) == 1) {
      stored = n;
      key = k;
    }
    OP_Unlock(p);
  }
  for (auto _ : state) {
    a_pixt p{};
    KPixt_Load(key, p);
    Pixt_Lock(p);
    benchmark::DoNotOptimize(p.pixmap.baseAddr);
    Pixt_Unlock(p);
    Pixt_Unload(p);
  }
  state.counters["stored_bytes"] = double(stored);
}
BENCHMARK(BM_Symbol)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
