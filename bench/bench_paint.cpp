// Painting on a 1417 x 1417-cell paint layer (a 120 mm disc at 300 dpi):
// the bucket filling the inside of a painted ring with the colour and with
// every gradient kind, and imprints of the shape and eraser atoms, alone and
// as a symmetric stroke of 6 copies.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskBrus.h"
#include "objects/VoskTrac.h"
#include "pixel/OPUtil.h"
#include "platform/Resources.h"

#include "objects/VoskAtom.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "platform/Quickdraw.h"
#include "platform/SysRgn.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"

namespace {

constexpr int16 kSide = 1417;

// A paint layer holding a ring of paint around an unpainted disc.
struct a_paint_fixture {
  a_masked_gworld mw{};
  a_grad_rec grad{};
  a_paint_fixture() {
    VoskDef_Init();
    SysVideo_Init();
    SysWin_Init();
    Quickdraw_Init();
    New_MW("paint bench", Rect{0, 0, kSide, kSide}, mw);
    gs.fill_color32.raw = 0xFF2060C0u;
    gs.slider_vals[PAINT_OPACITY_SLIDER] = 60;
    gs.slider_vals[LINE_THICKNESS_SLIDER] = 4;
    grad.nbands = 3;
    grad.bands[0].raw = 0xFF0000FFu;
    grad.bands[1].raw = 0xFF00FF00u;
    grad.bands[2].raw = 0xFFFF0000u;
    gs.fill_gradient = &grad;
    t.grad_center = Point{kSide / 2, kSide / 2};
    t.grad_radius = kSide / 2;
    Reset();
  }
  ~a_paint_fixture() {
    Dispose_MW(mw);
    Stop_Quickdraw();
  }
  void Reset() {
    for (GWorldPtr w : {mw.fore, mw.mask})
      std::memset(w->pix.baseAddr, 0, size_t(PixMap_RowBytes(w->pix)) * kSide);
    HRGN outer = nullptr, inner = nullptr;
    OvalRgn(Rect{0, 0, kSide, kSide}, outer);
    OvalRgn(Rect{20, 20, kSide - 20, kSide - 20}, inner);
    DiffRgn(outer, inner, outer);
    Push_GWorld(mw.fore);
    SetForeColor(200, 40, 40);
    PaintRgn(outer);
    Pop_GWorld();
    Push_GWorld(mw.mask);
    SetForeOpacity(100);
    PaintRgn(outer);
    Pop_GWorld();
    DisposeRgn(outer);
    DisposeRgn(inner);
  }
};

void Bucket_Fill(benchmark::State& state, a_fill_kind fill, a_dither_kind kind) {
  a_paint_fixture f;
  gs.fill_kind = fill;
  gs.grid_vals[GRAD_KIND_GRID] = kind;
  for (auto _ : state) {
    state.PauseTiming();
    f.Reset();
    state.ResumeTiming();
    Rect dirty{};
    Do_Atom_1(Point{kSide / 2, kSide / 2}, Atom_Bucket, f.mw.fore, f.mw.mask, &dirty);
    benchmark::DoNotOptimize(dirty);
  }
}

void BM_BucketColour(benchmark::State& s) { Bucket_Fill(s, COLOR_FILL, LINEAR_DITHER); }
void BM_BucketLinear(benchmark::State& s) { Bucket_Fill(s, GRADIENT_FILL, LINEAR_DITHER); }
void BM_BucketRidges(benchmark::State& s) { Bucket_Fill(s, GRADIENT_FILL, RIDGES_DITHER); }
void BM_BucketCircular(benchmark::State& s) { Bucket_Fill(s, GRADIENT_FILL, CIRCULAR_DITHER); }
void BM_BucketContour(benchmark::State& s) { Bucket_Fill(s, GRADIENT_FILL, CONTOUR_DITHER); }
void BM_BucketRay(benchmark::State& s) { Bucket_Fill(s, GRADIENT_FILL, RAY_DITHER); }
void BM_BucketWavy(benchmark::State& s) { Bucket_Fill(s, GRADIENT_FILL, WAVY_DITHER); }
void BM_BucketDiamond(benchmark::State& s) { Bucket_Fill(s, GRADIENT_FILL, DIAMOND_DITHER); }

// One imprint of a 150 x 150 oval, and of the largest eraser.
void BM_ImprintOval150(benchmark::State& state) {
  a_paint_fixture f;
  gs.fill_kind = COLOR_FILL;
  int16 x = 100;
  for (auto _ : state) {
    Rect dirty{};
    Do_Atom_4(Rect{600, x, 750, int16(x + 150)}, Atom_SOval, f.mw.fore, f.mw.mask, &dirty);
    x = int16(x >= 1100 ? 100 : x + 7);
    benchmark::DoNotOptimize(dirty);
  }
}

void BM_ImprintEraser(benchmark::State& state) {
  a_paint_fixture f;
  gs.grid_vals[ERASER_GRID] = 8;
  int16 x = 100;
  for (auto _ : state) {
    Rect dirty{};
    Do_Atom_1(Point{700, x}, Atom_Eraser, f.mw.fore, f.mw.mask, &dirty);
    x = int16(x >= 1300 ? 100 : x + 3);
    benchmark::DoNotOptimize(dirty);
  }
}

// One sample of a symmetric stroke: a 40 x 40 rectangle in 6 turned copies.
void BM_ImprintSymmetric6(benchmark::State& state) {
  a_paint_fixture f;
  gs.fill_kind = COLOR_FILL;
  gs.tool_desc[SRECT_TOOL].atom_proc = Atom_SRect;
  gs.toggle_vals[SYMMETRY_TOGGLE] = true;
  gs.slider_vals[SYMMETRY_COUNT_SLIDER] = 6;
  gs.grid_vals[SYMMETRY_KIND_GRID] = 0;
  a_atom_rec base;
  New_PaintParm(4, base);
  base.paint_world = f.mw.fore;
  base.mask_world = f.mw.mask;
  int16 x = 300;
  for (auto _ : state) {
    base.list->points[0] = Point{300, x};
    base.list->points[1] = Point{300, int16(x + 40)};
    base.list->points[2] = Point{340, int16(x + 40)};
    base.list->points[3] = Point{340, x};
    Imprint(true, SRECT_TOOL, base);
    x = int16(x >= 1000 ? 300 : x + 5);
  }
  Dispose_PaintParm(base);
}

// A brush stroke of 200 samples across a 1417-cell disc of a document with
// 6 symmetry copies: copy 0 follows each sample and the lagging copies make
// one imprint per sample; the release drains them. The time is the whole
// stroke but the undo step; worst_ms is the slowest sample.
void BM_BrushStroke6(benchmark::State& state) {
  VoskDef_Init();
  Resources_Init();
  SysVideo_Init();
  SysWin_Init();
  Quickdraw_Init();
  VoskDoc_Init();
  VoskFunc_Init();
  VoskUndo_Init();
  History_Null();
  VoskBlok_Init();
  OPUtil_Init();
  gs.controller = GHOST;
  a_template x{};
  std::strcpy(x.label, "Stroke bench");
  x.papersize = {215.9f, 279.4f};
  a_unit& u = x.units[x.nunits++];
  u.kind = UNIT_RECT;
  u.bbox = a_frect{5, 5, 125, 125};  // 1417 cells at 300 dpi
  if (!Doc_New(x)) {
    state.SkipWithError("no document");
    return;
  }
  a_doc_unit* unit = g_doc.up;
  unit->paintinuse = true;
  Sync_Existence(true, unit, PAINT1_LAYER);
  gs.tool_net = BRUSH_TOOL;
  Brush_Init();
  gs.tool_desc[BRUSH_TOOL].atom_proc = Atom_Brush;
  gs.tool_desc[BRUSH_TOOL].single_point = true;
  gs.tool_desc[BRUSH_TOOL].symmetry = true;
  gs.fill_kind = COLOR_FILL;
  gs.fill_color32.raw = 0xFF2060C0u;
  gs.slider_vals[PAINT_OPACITY_SLIDER] = 60;
  gs.toggle_vals[SYMMETRY_TOGGLE] = true;
  gs.slider_vals[SYMMETRY_COUNT_SLIDER] = 6;
  gs.grid_vals[SYMMETRY_KIND_GRID] = 0;
  double worst = 0;
  for (auto _ : state) {
    Track_1_Begin(1, 1, false, false, 1, BRUSH_TOOL);
    for (int32 i = 0; i < 200; ++i) {
      const Point cell{int16(200 + i * 5), int16(200 + i * 5)};
      const auto t0 = std::chrono::steady_clock::now();
      Track_1_Sample(cell, i == 0 ? JUMP_SAMPLE : REGULAR_SAMPLE, 0, uint32(i));
      Track_1_Idle();
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
      worst = std::max(worst, ms);
    }
    Track_1_Release(Point{200, 200});
    state.PauseTiming();
    Track_1_End();
    state.ResumeTiming();
  }
  state.counters["worst_ms"] = worst;
  Brush_Stop();
  Undo_Dispose();
  Doc_Dispose();
  Dispose_Doc_Buffers();
  History_Stop();
}

}  // namespace

BENCHMARK(BM_BucketColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BucketLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BucketRidges)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BucketCircular)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BucketContour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BucketRay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BucketWavy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BucketDiamond)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImprintOval150)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImprintEraser)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImprintSymmetric6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BrushStroke6)->Unit(benchmark::kMillisecond);
