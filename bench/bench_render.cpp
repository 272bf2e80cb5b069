// Unit rendering on a full disc face: a 120 mm disc (1417 x 1417 cells) with
// a canvas picture of the library, a 600 x 400-cell photo, three symbols
// and a paint layer, seen at zoom 1.
// - a full re-render with the render cache warm (as after a zoom change:
//   the layer made anew, and kept): under 40 ms;
// - one step of moving the photo by 10 cells: the merge of its dirty
//   rectangles and the copy of the refreshed area to the screen: under 8 ms;
// - the unit rendered for print at 600 dpi (2835 x 2835) from a cache that
//   holds no renderings: under 1 s.
#include <benchmark/benchmark.h>

#include <cstring>

#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "objects/VoskPhot.h"
#include "pixel/ArtKeys.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysBlt.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysIO.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"

namespace {

constexpr float kMMPerPixel = 0.0846667f;
constexpr int16 kSide = 1417;
constexpr int16 kPrintSide = 2835;

uint32* Px(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}
uint8* Mx(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint8*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}

// A photo or symbol on top of the unit's list, its box the size the render
// cache gives it, centred on (h, v).
int32 Place(a_doc_unit* u, a_oj_kind kind, const a_spec& spec, int16 h, int16 v) {
  a_ph_rec* ph = New_PH_Rec();
  ph->spec = spec;
  a_spec sizing = spec;
  a_cache_result c;
  Cache_Get(FOR_SIZING, sizing, c);
  const int16 w = int16(c.body.bounds.right - c.body.bounds.left);
  const int16 ht = int16(c.body.bounds.bottom - c.body.bounds.top);
  ph->dst_center = Point{v, h};
  ph->dst_box = Rect{int16(v - ht / 2), int16(h - w / 2), int16(v - ht / 2 + ht), int16(h - w / 2 + w)};
  return Obj_Append(u->oj, kind, OJ_Flag_Bit(VISIBLE_FLAG), ph, nullptr);
}

struct Disc_Face {
  bool ok = false;
  a_doc_unit* unit = nullptr;
  int32 photo = 0;
  GWorldPtr screen = nullptr;

  Disc_Face() {
    VoskDef_Init();
    Resources_Init();
    SysVideo_Init();
    InitGray();
    SysWin_Init();
    Quickdraw_Init();
    VoskDoc_Init();
    VoskFunc_Init();
    VoskUndo_Init();
    VoskPrin_Init();
    History_Null();
    VoskBlok_Init();
    OPUtil_Init();
    OP_Init();
    SysPixt_Init();
    FSSpec lib{};
    if (!Path_From_Text(lib, VELMOR_ART_LIBRARY) || OP_OpenFile(lib) != OPEN_OKAY) return;
    gs.controller = GHOST;

    a_template x{};
    std::strcpy(x.label, "Disc face");
    x.papersize = {215.9f, 279.4f};
    a_unit& d = x.units[x.nunits++];
    d.kind = UNIT_CD_CORE;
    d.bbox = a_frect{10, 10, 10 + kSide * kMMPerPixel, 10 + kSide * kMMPerPixel};
    d.meas[0] = 41;
    if (!Doc_New(x)) return;
    Select_Doc_Unit(1);
    unit = Doc_Unit(1);
    gs.nviews = 1;
    gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, kSide, kSide}};
    if (unit == nullptr || unit->paintbounds.right != kSide) return;

    // The second canvas of the disc faces' set (the first is white).
    CanvX_To_Key(unit->canv.cv.canvas_key, 2, UNIT_CD_CORE);
    if (Is_CanvKey_White(unit->canv.cv.canvas_key)) return;

    // A photo of 1200 x 800 pixels at half size: 600 x 400 cells.
    a_masked_gworld basis;
    Null_MW(basis);
    basis.bounds = Rect{0, 0, 800, 1200};
    New_GWorldF("photo", basis.bounds, 32, nullptr, basis.fore);
    for (int y = 0; y < 800; ++y)
      for (int x = 0; x < 1200; ++x) *Px(basis.fore, x, y) = uint32(x * 255 / 1200) << 16 | uint32(y * 255 / 800) << 8 | 0x40;
    a_source_desc source{};
    source.kind = SOURCE_EXTFILE;
    if (!Cache_Insert_External(source, basis, nullptr)) return;
    a_spec spec;
    Null_Spec(spec);
    spec.source = source;
    spec.subset = Rect{0, 0, 800, 1200};
    spec.scalingh = spec.scalingv = 500;
    photo = Place(unit, PHOTO_BLOCK, spec, 700, 520);

    // Three symbols of the library in colour.
    for (int16 i = 1; i <= 3; ++i) {
      a_spec sym;
      Null_Spec(sym);
      sym.source.kind = SOURCE_DATABASE;
      sym.source.key = a_keyset{ART_SYMBOL, ART_SYMBOL_MUSIC, i, 0};
      sym.is_symbol = true;
      sym.symbol_color = a_pixel32{40, 60, uint8(200 - i * 40), 255};
      sym.scalingh = sym.scalingv = 800;
      Place(unit, SYMBOL_BLOCK, sym, int16(350 + i * 200), int16(i == 2 ? 1000 : 900));
    }

    // Paint: a band across the disc, half of it at 50 per cent.
    Sync_Existence(true, unit, PAINT1_LAYER);
    unit->paintinuse = true;
    for (int y = 200; y < 420; ++y)
      for (int x = 100; x < 1300; ++x) {
        *Px(unit->statics[PAINT1_LAYER].world, x, y) = 0x00D02040u;
        *Mx(unit->statics[PAINT1_LAYER].mask, x, y) = x < 700 ? 255 : 128;
      }

    New_GWorldF("screen", Rect{0, 0, kSide, kSide}, 32, nullptr, screen);
    Unit_PostRender(unit);
    ok = Layer() != nullptr;
  }
  ~Disc_Face() {
    Dispose_GWorld(screen);
    if (g_doc.doc_open) Doc_Dispose();
    Dispose_Doc_Buffers();
    Cache_Clear();
    OP_Stop();
  }
  static GWorldPtr Layer() {
    Rect rect;
    GWorldPtr world = nullptr;
    Current_Unit_Merge_Check(rect, world);
    return world;
  }
};

Disc_Face* The_Face() {
  static Disc_Face* face = new Disc_Face;
  return face;
}

void BM_FullRender(benchmark::State& state) {
  Disc_Face& f = *The_Face();
  if (!f.ok) {
    state.SkipWithError("the disc face could not be set up (is the picture library built?)");
    return;
  }
  for (auto _ : state) {
    Unit_PostRender(f.unit);
    benchmark::DoNotOptimize(Disc_Face::Layer());
  }
}
BENCHMARK(BM_FullRender)->Unit(benchmark::kMillisecond);

// As after a zoom change: the layer is made anew as well.
void BM_FullRender_NewLayer(benchmark::State& state) {
  Disc_Face& f = *The_Face();
  if (!f.ok) {
    state.SkipWithError("the disc face could not be set up (is the picture library built?)");
    return;
  }
  for (auto _ : state) {
    Dispose_GWorld(f.unit->statics[TOTAL_LAYER].world);
    benchmark::DoNotOptimize(Disc_Face::Layer());
  }
}
BENCHMARK(BM_FullRender_NewLayer)->Unit(benchmark::kMillisecond);

void BM_MovePhotoStep(benchmark::State& state) {
  Disc_Face& f = *The_Face();
  if (!f.ok) {
    state.SkipWithError("the disc face could not be set up (is the picture library built?)");
    return;
  }
  g_doc.up->refresh_dirty = Rect{0, 0, 0, 0};
  int16 step = 10;
  for (auto _ : state) {
    a_ph_rec* ph = f.unit->oj.list[f.photo - 1].ph;
    Obj_PostRender(f.photo);
    ph->dst_center.h = int16(ph->dst_center.h + step);
    OffsetRect(ph->dst_box, step, 0);
    Obj_PostRender(f.photo);
    step = int16(-step);  // back and forth
    GWorldPtr layer = Disc_Face::Layer();
    // The view's copy of what was refreshed (zoom 1: cells are pixels).
    Rect r;
    if (SectRect(f.unit->refresh_dirty, f.unit->paintbounds, r))
      Port_To_Port(layer, f.screen, r, r, srcCopy, nullptr);
    f.unit->refresh_dirty = Rect{0, 0, 0, 0};
  }
}
BENCHMARK(BM_MovePhotoStep)->Unit(benchmark::kMillisecond);

void BM_PrintAt600Dpi(benchmark::State& state) {
  Disc_Face& f = *The_Face();
  if (!f.ok) {
    state.SkipWithError("the disc face could not be set up (is the picture library built?)");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    Flush_Discardable();  // no rendering kept: every picture made for the print
    state.ResumeTiming();
    GWorldPtr print = nullptr;
    if (!Render_Unit_Print(1, f.unit, Rect{0, 0, kPrintSide, kPrintSide}, print)) {
      state.SkipWithError("the print could not be made");
      break;
    }
    Dispose_GWorld(print);
  }
}
BENCHMARK(BM_PrintAt600Dpi)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
