// Painting on a 1417 x 1417-cell paint layer (a 120 mm disc at 300 dpi):
// the bucket filling the inside of a painted ring with the colour, with
// every gradient kind and with a pattern and a stamp of the picture
// library; imprints of the shape and eraser atoms, alone and as a symmetric
// stroke of 6 copies; and one step of a dragged 1000-cell oval.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "DocTestSupport.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskRend.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskBrus.h"
#include "objects/VoskStam.h"
#include "objects/VoskTrac.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "platform/Resources.h"

#include "objects/VoskAtom.h"
#include "pixel/Draw.h"
#include "pixel/DrawUtilMasked.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/SysIO.h"
#include "platform/SysRgn.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "doc/VoskDraw.h"
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

// The bucket in the middle of the ring, the layer made again before each
// fill; a fill that leaves the middle unpainted is an error.
void Time_Bucket(benchmark::State& state, a_paint_fixture& f) {
  for (auto _ : state) {
    state.PauseTiming();
    f.Reset();
    state.ResumeTiming();
    Rect dirty{};
    Do_Atom_1(Point{kSide / 2, kSide / 2}, Atom_Bucket, f.mw.fore, f.mw.mask, &dirty);
    benchmark::DoNotOptimize(dirty);
  }
  const PixMap& m = f.mw.mask->pix;
  if (m.baseAddr[size_t(kSide / 2) * PixMap_RowBytes(m) + kSide / 2] == 0) state.SkipWithError("nothing filled");
}

void Bucket_Fill(benchmark::State& state, a_fill_kind fill, a_dither_kind kind) {
  a_paint_fixture f;
  gs.fill_kind = fill;
  gs.grid_vals[GRAD_KIND_GRID] = kind;
  Time_Bucket(state, f);
}

// The tiled fills take the first pattern and the first stamp of the
// build's picture library, at the sliders' defaults.
void Bucket_Tiled(benchmark::State& state, a_fill_kind fill) {
  OP_Init();
  FSSpec lib{};
  if (!Path_From_Text(lib, VELMOR_ART_LIBRARY) || OP_OpenFile(lib) != OPEN_OKAY) {
    state.SkipWithError("the picture library is not built");
    return;
  }
  Brush_Init();
  Stamp_Init();
  {
    a_paint_fixture f;
    for (int16 i = 0; i < NSLIDERS; ++i) gs.slider_vals[i] = SLIDER_VALUES[i].defaultval;
    gs.custom_limit = 100000000;
    gs.tool_net = BUCKET_TOOL;
    gs.fill_kind = fill;
    gs.bar_selection[PATTERN_BAR] = 1;
    gs.bar_selection[STAMP_BAR] = 1;
    gs.slider_vals[PAINT_OPACITY_SLIDER] = 60;
    PixMapPtr stamp = nullptr, mask = nullptr;
    Get_Fill_Stamp(stamp, mask);
    if (stamp == nullptr || stamp->baseAddr == nullptr)
      state.SkipWithError("no fill stamp");
    else
      Time_Bucket(state, f);
  }
  Stamp_Stop();
  Brush_Stop();
  OP_Stop();
}

void BM_BucketPattern(benchmark::State& s) { Bucket_Tiled(s, PATTERN_FILL); }
void BM_BucketStamp(benchmark::State& s) { Bucket_Tiled(s, STAMP_FILL); }

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

// A document of one 1417-cell unit (120 mm at 300 dpi) with its paint layer.
struct a_doc_fixture {
  a_doc_unit* unit = nullptr;
  a_doc_fixture() {
    doctests::Start_Document_Modules();
    gs.controller = GHOST;
    a_template x{};
    std::strcpy(x.label, "Paint bench");
    x.papersize = {215.9f, 279.4f};
    a_unit& u = x.units[x.nunits++];
    u.kind = UNIT_RECT;
    u.bbox = a_frect{5, 5, 125, 125};
    if (!Doc_New(x)) return;
    unit = g_doc.up;
    unit->paintinuse = true;
    Sync_Existence(true, unit, PAINT1_LAYER);
  }
  ~a_doc_fixture() {
    doctests::Close_Document();
    History_Stop();
  }
};

// A brush stroke of 200 samples across a 1417-cell disc of a document with
// 6 symmetry copies: copy 0 follows each sample and the lagging copies make
// one imprint per sample; the release drains them. The time is the whole
// stroke but the undo step; worst_ms is the slowest sample.
void BM_BrushStroke6(benchmark::State& state) {
  a_doc_fixture doc;
  if (doc.unit == nullptr) {
    state.SkipWithError("no document");
    return;
  }
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
}

// One step of a dragged filled oval of about 1000 x 1000 cells, as the
// rubber-shape loop makes it for each move of the mouse: the last preview
// taken off from the undo copy, the oval imprinted into the paint layer,
// and the merged layer made again over both and shown. The mouse moves 3
// cells each step, the oval growing and shrinking about 1000 cells.
void BM_Track4OvalStep(benchmark::State& state) {
  a_doc_fixture doc;
  if (doc.unit == nullptr) {
    state.SkipWithError("no document");
    return;
  }
  gs.fill_kind = COLOR_FILL;
  gs.fill_color32.raw = 0xFF2060C0u;
  gs.slider_vals[PAINT_OPACITY_SLIDER] = 60;
  Current_Unit_UpToDate();
  t.layerx = PAINT1_LAYER;
  Undo_SaveLayer(PAINT1_LAYER);
  a_atom_rec parm;
  New_PaintParm(4, parm);
  parm.paint_world = doc.unit->statics[PAINT1_LAYER].world;
  parm.mask_world = doc.unit->statics[PAINT1_LAYER].mask;
  const Point anchor{200, 200};
  Rect old{0, 0, 0, 0};
  int16 grow = 0, step = 3;
  for (auto _ : state) {
    const Point corner{int16(anchor.v + 1000 + grow), int16(anchor.h + 1000 + grow)};
    if (!EmptyRect(old)) Undo_RestoreRect(old);
    Set_4_Points(*parm.list, anchor, corner);
    parm.dirty = Rect{0, 0, 0, 0};
    Push_GWorld(parm.paint_world);
    Atom_SOval(parm);
    Pop_GWorld();
    Rect both = parm.dirty;
    if (!EmptyRect(old)) UnionRect(both, old, both);
    Doc_Merge_Draw(both);
    old = parm.dirty;
    grow = int16(grow + step);
    if (grow >= 30 || grow <= -30) step = int16(-step);
  }
  if (old.right - old.left < 900) state.SkipWithError("the oval was not imprinted");
  Dispose_PaintParm(parm);
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
BENCHMARK(BM_BucketPattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BucketStamp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImprintOval150)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImprintEraser)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImprintSymmetric6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BrushStroke6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Track4OvalStep)->Unit(benchmark::kMillisecond);
