// A 24-megapixel photo (6000 x 4000 JPEG, about what a camera writes) on a
// CD face: placing it (reading the file at the DCT scale the placed photo
// needs at 300 dpi, its basis into the render cache and the first screen
// rendering; under 600 ms) and printing it at 600 dpi (read again at the
// scale the print needs, and rendered). Each reports the most world bytes
// held at once while it ran, against the 96 MB of the photo held whole.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "host/HostCodecs.h"
#include "pixel/OPUtil.h"
#include "pixel/ParsQuik.h"
#include "pixel/SysBlt.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"

namespace {

constexpr int kW = 6000, kH = 4000;
constexpr int32 kCdCells = 1417;  // a CD face at 300 dpi

// The photo: smooth light and colour with fine grain, so that it packs to a
// camera's file size rather than to a few flat blocks.
std::vector<uint8> Photo_Bytes() {
  std::vector<uint8> px(size_t(kW) * kH * 4);
  uint32 seed = 12345;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int grain = int(seed >> 27) - 16;
      uint8* p = &px[(size_t(y) * kW + x) * 4];
      const int r = 60 + x * 150 / kW + grain, g = 40 + y * 160 / kH + grain, b = 200 - (x + y) * 120 / (kW + kH) + grain;
      p[0] = uint8(std::clamp(b, 0, 255));
      p[1] = uint8(std::clamp(g, 0, 255));
      p[2] = uint8(std::clamp(r, 0, 255));
      p[3] = 255;
    }
  std::vector<uint8> jpg;
  Host_Encode_JPEG(HostImageSource{px.data(), kW, kH, size_t(kW) * 4, 300}, 92, jpg);
  return jpg;
}

struct Photo {
  Photo() {
    SysWin_Init();
    SysVideo_Init();
    InitGray();
    SysBlt_Init();
    OPUtil_Init();
    const char* t = std::getenv("TMPDIR");
    path = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-bench-photo-" + std::to_string(getpid()) + ".jpg";
    const std::vector<uint8> jpg = Photo_Bytes();
    bytes = jpg.size();
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(jpg.data()), std::streamsize(jpg.size()));
    ok = bool(f) && !jpg.empty() && Path_From_Text(spec, path.c_str());
  }
  ~Photo() {
    Cache_Stop();
    SysBlt_Stop();
    SysVideo_Stop();
    std::remove(path.c_str());
  }
  // Places the photo to fit the CD face; its rendering record as placed.
  bool Place(a_spec& s) {
    Null_Spec(s);
    a_picture_scan_rec scan;
    Clear_Scan_Rec(scan);
    Rect natural{};
    if (Scan_Quicktime_Reduced(spec, a_scan_want{kCdCells, kCdCells, 0, false}, scan, natural) != 0) return false;
    s.source.kind = SOURCE_EXTFILE;
    s.source.path = spec;
    char codec[4];
    std::memcpy(codec, scan.codec, 4);
    if (!Cache_Insert_Basis(s.source, scan.body, nullptr, natural, codec)) return false;
    s.subset = natural;
    s.scalingh = s.scalingv = int16(int64(kCdCells) * 1000 / kW);
    a_cache_result c;
    Cache_Get(FOR_SCREEN, s, c);
    return c.body.fore != nullptr;
  }
  std::string path;
  FSSpec spec{};
  size_t bytes = 0;
  bool ok = false;
};

Photo& The_Photo() {
  static Photo photo;
  return photo;
}

constexpr double kMB = 1e6;

// The photo written for the benchmarks; NIL (the run skipped) when it could not be.
Photo* Photo_Or_Skip(benchmark::State& state) {
  Photo& p = The_Photo();
  if (p.ok) return &p;
  state.SkipWithError("the photo could not be written");
  return nullptr;
}

void BM_PlaceLargeJpeg(benchmark::State& state) {
  Photo* const photo = Photo_Or_Skip(state);
  if (photo == nullptr) return;
  Photo& p = *photo;
  int64 peak = 0;
  for (auto _ : state) {
    const int64 before = GWorld_Bytes_Held();
    GWorld_Reset_Peak();
    a_spec s;
    if (!p.Place(s)) {
      state.SkipWithError("placing failed");
      break;
    }
    peak = std::max(peak, GWorld_Bytes_Peak() - before);
    state.PauseTiming();
    Cache_Clear();
    state.ResumeTiming();
  }
  state.counters["file_MB"] = double(p.bytes) / kMB;
  state.counters["peak_world_MB"] = double(peak) / kMB;
  state.counters["whole_photo_MB"] = double(kW) * kH * 4 / kMB;
}
BENCHMARK(BM_PlaceLargeJpeg)->Unit(benchmark::kMillisecond);

void BM_PrintLargeJpegAt600Dpi(benchmark::State& state) {
  Photo* const photo = Photo_Or_Skip(state);
  if (photo == nullptr) return;
  Photo& p = *photo;
  int64 peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    a_spec s;
    if (!p.Place(s)) {
      state.SkipWithError("placing failed");
      break;
    }
    GWorld_Reset_Peak();
    state.ResumeTiming();
    a_spec print = s;
    print.scalingh = print.scalingv = int16(s.scalingh * 2);  // 600 dpi over the 300 of cells
    a_cache_result c;
    Cache_Get(FOR_PRINTING, print, c);
    if (c.body.fore == nullptr) {
      state.SkipWithError("printing failed");
      break;
    }
    state.PauseTiming();
    // What the print holds: the placed photo's worlds and its own.
    peak = std::max(peak, GWorld_Bytes_Peak());
    Cache_Clear();
    state.ResumeTiming();
  }
  state.counters["peak_world_MB"] = double(peak) / kMB;
  state.counters["whole_photo_MB"] = double(kW) * kH * 4 / kMB;
}
BENCHMARK(BM_PrintLargeJpegAt600Dpi)->Unit(benchmark::kMillisecond);

}  // namespace
