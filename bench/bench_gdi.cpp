// Software GDI throughput: many small filled and framed shapes, one large
// oval region painted into a 32-bit surface, and the handle checks every
// call makes.
#include <benchmark/benchmark.h>

#include <vector>

#include "host/HostGdi.h"

namespace {

struct Surface32 {
  HBITMAP bm;
  HDC dc;
  HGDIOBJ old;
  Surface32(int32 w, int32 h) {
    bm = Host_NewSurface(w, h, 32, nullptr, 0);
    dc = CreateCompatibleDC(nullptr);
    old = SelectObject(dc, bm);
  }
  ~Surface32() {
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
  }
};

// 10,000 small rectangles, ovals and round rectangles, filled and framed.
void BM_SmallShapes(benchmark::State& state) {
  Surface32 s(1024, 768);
  HPEN pen = CreatePen(PS_INSIDEFRAME, 2, RGB(10, 20, 30));
  HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
  HGDIOBJ op = SelectObject(s.dc, pen);
  HGDIOBJ ob = SelectObject(s.dc, brush);
  const int kind = int(state.range(0));
  for (auto _ : state) {
    for (int i = 0; i < 10000; ++i) {
      const int32 x = (i * 37) % 1000, y = (i * 53) % 740, w = 8 + i % 17, h = 6 + i % 13;
      switch (kind) {
        case 0: Rectangle(s.dc, x, y, x + w, y + h); break;
        case 1: Ellipse(s.dc, x, y, x + w, y + h); break;
        case 2: RoundRect(s.dc, x, y, x + w, y + h, 6, 6); break;
        default: {
          RECT r{x, y, x + w, y + h};
          FillRect(s.dc, &r, brush);
          FrameRect(s.dc, &r, brush);
        }
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  SelectObject(s.dc, op);
  SelectObject(s.dc, ob);
  DeleteObject(pen);
  DeleteObject(brush);
}
BENCHMARK(BM_SmallShapes)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// A 1417 x 1417 oval region painted into a 32-bit surface (a full-size disc at
// 300 dpi), with a solid brush and with XOR.
void BM_OvalRegion(benchmark::State& state) {
  Surface32 s(1417, 1417);
  HRGN rgn = CreateEllipticRgn(0, 0, 1418, 1418);
  HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
  HGDIOBJ ob = SelectObject(s.dc, brush);
  SetROP2(s.dc, state.range(0) ? R2_XORPEN : R2_COPYPEN);
  for (auto _ : state) PaintRgn(s.dc, rgn);
  state.SetItemsProcessed(state.iterations() * 1417 * 1417);
  SelectObject(s.dc, ob);
  DeleteObject(brush);
  DeleteRgn(rgn);
}
BENCHMARK(BM_OvalRegion)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same oval as a clip region, the disc filled through it.
void BM_OvalClipFill(benchmark::State& state) {
  Surface32 s(1417, 1417);
  HRGN rgn = CreateEllipticRgn(0, 0, 1418, 1418);
  SelectClipRgn(s.dc, rgn);
  HBRUSH brush = CreateSolidBrush(RGB(200, 100, 50));
  RECT all{0, 0, 1417, 1417};
  for (auto _ : state) FillRect(s.dc, &all, brush);
  DeleteObject(brush);
  DeleteRgn(rgn);
}
BENCHMARK(BM_OvalClipFill)->Unit(benchmark::kMillisecond);

// A 1417 x 1417 32-bit copy and a 2:1 stretch.
void BM_Blits(benchmark::State& state) {
  Surface32 a(1417, 1417), b(1417, 1417);
  const bool stretch = state.range(0) != 0;
  for (auto _ : state) {
    if (stretch) StretchBlt(b.dc, 0, 0, 708, 708, a.dc, 0, 0, 1417, 1417, SRCCOPY);
    else BitBlt(b.dc, 0, 0, 1417, 1417, a.dc, 0, 0, SRCCOPY);
  }
}
BENCHMARK(BM_Blits)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Calls that do little beyond checking their handles, with 10,000 other
// drawing objects and regions alive: the price of the handle lookup.
void BM_HandleLookups(benchmark::State& state) {
  Surface32 s(16, 16);
  std::vector<HBRUSH> brushes;
  std::vector<HRGN> rgns;
  for (int i = 0; i < 10000; ++i) {
    brushes.push_back(CreateSolidBrush(RGB(uint8(i), 0, 0)));
    rgns.push_back(CreateRectRgn(0, 0, 1 + i % 16, 8));
  }
  for (auto _ : state) {
    for (int i = 0; i < 1000; ++i) {
      benchmark::DoNotOptimize(GetPixel(s.dc, i & 15, 3));
      benchmark::DoNotOptimize(PtInRegion(rgns[size_t(i * 7)], i & 15, 3));
      benchmark::DoNotOptimize(GetObjectType(brushes[size_t(i * 9)]));
    }
  }
  state.SetItemsProcessed(state.iterations() * 3000);
  for (HBRUSH b : brushes) DeleteObject(b);
  for (HRGN r : rgns) DeleteRgn(r);
}
BENCHMARK(BM_HandleLookups);

}  // namespace
