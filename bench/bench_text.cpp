// Text output and measuring on the software GDI: a 40-character line drawn
// on a 32-bit surface (upright and turned), and strings measured.
#include <benchmark/benchmark.h>

#include <string>

#include "host/HostFont.h"
#include "host/HostGdi.h"
#include "host/HostText.h"

namespace {

const char16_t kLine[] = u"The quick brown fox jumps over a lazy do";  // 40 units
static_assert(sizeof(kLine) / sizeof(kLine[0]) == 41);

struct Canvas {
  HBITMAP surf = nullptr;
  HDC dc = nullptr;
  HFONT font = nullptr;
  Canvas(int32 depth, int32 esc) {
    surf = Host_NewSurface(800, 600, depth, nullptr, 0);
    dc = Host_CreateSurfaceDC(surf);
    PatBlt(dc, 0, 0, 800, 600, WHITENESS);
    HostLogFont lf;
    lf.lfHeight = -16;
    lf.lfEscapement = esc;
    Host_Utf8_To_Face_Name("DejaVu Sans", lf.lfFaceName);
    font = CreateFontIndirectW(&lf);
    Host_Select_Font(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
  }
  ~Canvas() {
    DeleteDC(dc);
    DeleteObject(surf);
    DeleteObject(font);
  }
};

void Draw_Line(benchmark::State& state, int32 depth, int32 esc) {
  Canvas c(depth, esc);
  int32 y = 20;
  for (auto _ : state) {
    TextOutW(c.dc, 20, esc ? 400 : y, reinterpret_cast<const UniChar*>(kLine), 40);
    y = y >= 580 ? 20 : y + 18;
  }
  state.SetItemsProcessed(state.iterations() * 40);
}

void BM_TextOut_32bit(benchmark::State& state) { Draw_Line(state, 32, 0); }
void BM_TextOut_32bit_Turned450(benchmark::State& state) { Draw_Line(state, 32, 450); }
void BM_TextOut_8bit(benchmark::State& state) { Draw_Line(state, 8, 0); }

void BM_Measure(benchmark::State& state) {
  Canvas c(32, 0);
  // A few different strings, as a text layout measures words and lines.
  const std::u16string words[] = {u"Label", u"Track 12 - Intro", u"Compact Disc Digital Audio",
                                  u"\u00C9t\u00E9 \u20AC 2024", kLine};
  size_t k = 0;
  for (auto _ : state) {
    const std::u16string& s = words[k];
    SIZE sz;
    GetTextExtentPoint32W(c.dc, reinterpret_cast<const UniChar*>(s.data()), int32(s.size()), &sz);
    benchmark::DoNotOptimize(sz);
    k = k == 4 ? 0 : k + 1;
  }
}

}  // namespace

BENCHMARK(BM_TextOut_32bit)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextOut_32bit_Turned450)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextOut_8bit)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Measure)->Iterations(100000)->Unit(benchmark::kNanosecond);
