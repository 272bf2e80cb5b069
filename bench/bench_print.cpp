// Printing an A4 page of two disc labels to a PDF: two 1417 x 1417 unit
// pictures (a CD face at 300 dpi, photo-like; the second a clone of the
// first, so one picture), each clipped to its disc, with crop marks, at 300
// and 600 dpi. Timed from the page's start to the finished file; the PDF's
// size is reported: both should follow the pictures, not the page; so is the
// process's peak resident memory (the page, its shadow and the pictures).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/HostFiles.h"
#include "host/HostPrint.h"

namespace {

constexpr int32 kUnit = 1417;

// Smooth light and colour with fine grain, as a photo packs.
struct UnitPicture {
  BITMAPINFO info{};
  std::vector<uint8> bits;
  UnitPicture() {
    info.bmiHeader = BITMAPINFOHEADER{40, kUnit, -kUnit, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const size_t stride = (size_t(kUnit) * 3 + 3) & ~size_t(3);
    bits.assign(stride * kUnit, 0);
    uint32 seed = 12345;
    for (int32 y = 0; y < kUnit; ++y)
      for (int32 x = 0; x < kUnit; ++x) {
        seed = seed * 1664525u + 1013904223u;
        const int grain = int(seed >> 28) - 8;
        uint8* p = &bits[size_t(y) * stride + size_t(x) * 3];
        p[0] = uint8(std::clamp(200 - (x + y) * 120 / (2 * kUnit) + grain, 0, 255));
        p[1] = uint8(std::clamp(40 + y * 160 / kUnit + grain, 0, 255));
        p[2] = uint8(std::clamp(60 + x * 150 / kUnit + grain, 0, 255));
      }
  }
};

HDC Make_DC(int16 dpi) {
  std::vector<uint8> b;
  if (!Host_Printer_DevMode(kHostFilePrinterName, b)) return nullptr;
  DEVMODEA dm;
  std::memcpy(&dm, b.data(), sizeof dm);
  dm.dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION | DM_PAPERSIZE;
  dm.dmPrintQuality = dm.dmYResolution = dpi;
  dm.dmPaperSize = DMPAPER_A4;
  std::memcpy(b.data(), &dm, sizeof dm);
  return CreateDCA(nullptr, kHostFilePrinterName, nullptr, reinterpret_cast<const DEVMODEA*>(b.data()));
}

void Crop_Marks(HDC dc, int32 left, int32 top, int32 size, int32 len) {
  for (int32 cy : {top, top + size})
    for (int32 cx : {left, left + size}) {
      MoveToEx(dc, cx - len - len / 2, cy, nullptr);
      LineTo(dc, cx - len / 2, cy);
      MoveToEx(dc, cx, cy - len - len / 2, nullptr);
      LineTo(dc, cx, cy - len / 2);
    }
}

void BM_PrintTwoUpPage(benchmark::State& state) {
  static const UnitPicture picture;
  const int16 dpi = int16(state.range(0));
  Host_Print_Set_Cups(false);
  const char* t = std::getenv("TMPDIR");
  const std::string out = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-bench-print-" +
                          std::to_string(getpid()) + ".pdf";
  const int32 side = kUnit * dpi / 300;              // the unit on the page
  const int32 mm = dpi * 10 / 254;
  double bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    HDC dc = Make_DC(dpi);
    if (!dc) {
      state.SkipWithError("no printer DC");
      break;
    }
    DOCINFOA di{sizeof(DOCINFOA), "Bench", out.c_str(), nullptr, 0};
    StartDocA(dc, &di);
    state.ResumeTiming();
    StartPage(dc);
    const int32 left = (GetDeviceCaps(dc, HORZRES) - side) / 2;
    for (int32 i = 0; i < 2; ++i) {
      const int32 top = 10 * mm + i * (side + 10 * mm);
      HRGN disc = CreateEllipticRgn(left, top, left + side, top + side);
      SelectClipRgn(dc, disc);
      DeleteRgn(disc);
      Host_Print_DIBits(dc, left, top, side, side, 0, 0, kUnit, kUnit, picture.bits.data(), &picture.info,
                        DIB_RGB_COLORS, SRCCOPY, picture.bits.size());
      SelectClipRgn(dc, nullptr);
      Crop_Marks(dc, left, top, side, 5 * mm);
    }
    const int32 page = EndPage(dc);
    const int32 done = EndDoc(dc);
    state.PauseTiming();
    if (page <= 0 || done <= 0) state.SkipWithError("the job failed");
    Host_DeletePrinterDC(dc);
    bytes = double(std::max<int64>(Host_File_Size(out.c_str()), 0));
    Host_Delete(out.c_str());
    state.ResumeTiming();
  }
  state.counters["pdf_bytes"] = bytes;
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  state.counters["peak_rss_mb"] = double(ru.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_PrintTwoUpPage)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
