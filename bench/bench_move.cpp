// Dragging 20 selected photos on a full disc face (1417 x 1417 cells, a
// canvas of the library), seen at zoom 1 in the program's main window:
// - one step of the drag: the frames taken off in exclusive-or, every
//   object restored from its saved copy, the move from the start applied
//   without rendering, the frames drawn again: under 4 ms;
// - the release: the final move, the render of what it made dirty and the
//   copy of the refreshed area to the window: under 40 ms.
#include <benchmark/benchmark.h>

#include <cstring>

#include "app/Velmor4.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "doc/VoskUndo.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "objects/VoskBlok.h"
#include "objects/VoskCanv.h"
#include "objects/VoskLayer.h"
#include "objects/VoskMove.h"
#include "objects/VoskPhot.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysPixt.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysIO.h"
#include "platform/SysInfo.h"
#include "platform/SysLoop.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/Windowv.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace {

constexpr float kMMPerPixel = 0.0846667f;
constexpr int16 kSide = 1417;
constexpr int kObjects = 20;

int32 Width(const Rect& r) { return int32(r.right) - r.left; }
int32 Height(const Rect& r) { return int32(r.bottom) - r.top; }

uint32* Px(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}

struct Dragged_Face {
  bool ok = false;
  a_doc_unit* unit = nullptr;

  Dragged_Face() {
    Host_Backend_Start_Headless(1600, 1600);
    Host_Clock_Set_Manual(true);
    VoskDef_Init();
    Resources_Init();
    SysPixt_Init();
    OP_Init();
    FSSpec lib{};
    if (!Path_From_Text(lib, VELMOR_ART_LIBRARY) || OP_OpenFile(lib) != OPEN_OKAY) return;
    SysWin_Init();
    Windowv_Init();
    SysLoop_Init();
    Init_Info();
    Quickdraw_Init();
    SysVideo_Init();
    InitGray();
    Register_Classes();
    Fonts_Init();
    gs.controller = GHOST;
    gs.pref.tot_window = Rect{0, 0, 1500, 1500};
    Static_Init();
    main_hwnd = gs.outer_window;
    if (gs.outer_window == nullptr) return;
    Intf_Init();
    VoskDoc_Init();
    VoskFunc_Init();
    VoskUndo_Init();
    VoskPrin_Init();
    History_Null();
    VoskBlok_Init();
    VoskLayer_Init();
    OPUtil_Init();

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
    gs.curr_phase = PHOTO_PHASE;
    gs.curr_kindset = a_oj_kind_set(Kind_Bit(PHOTO_BLOCK) | Kind_Bit(SYMBOL_BLOCK) | Kind_Bit(TEXT_BLOCK));
    if (unit == nullptr || unit->paintbounds.right != kSide) return;
    CanvX_To_Key(unit->canv.cv.canvas_key, 2, UNIT_CD_CORE);

    // One picture of 400 x 300 pixels placed 20 times at 60 per cent
    // (240 x 180 cells), in a 5 x 4 grid over the middle of the disc.
    a_masked_gworld basis;
    Null_MW(basis);
    basis.bounds = Rect{0, 0, 300, 400};
    New_GWorldF("photo", basis.bounds, 32, nullptr, basis.fore);
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x) *Px(basis.fore, x, y) = uint32(x * 255 / 400) << 16 | uint32(y * 255 / 300) << 8 | 0x40;
    a_source_desc source{};
    source.kind = SOURCE_EXTFILE;
    if (!Cache_Insert_External(source, basis, nullptr)) return;
    for (int i = 0; i < kObjects; ++i) {
      a_ph_rec* ph = New_PH_Rec();
      Null_Spec(ph->spec);
      ph->spec.source = source;
      ph->spec.subset = Rect{0, 0, 300, 400};
      ph->spec.scalingh = ph->spec.scalingv = 600;
      const int16 h = int16(250 + (i % 5) * 230), v = int16(350 + (i / 5) * 200);
      ph->dst_center = Point{v, h};
      ph->dst_box = Rect{int16(v - 90), int16(h - 120), int16(v + 90), int16(h + 120)};
      Obj_Append(unit->oj, PHOTO_BLOCK, uint8(OJ_Flag_Bit(VISIBLE_FLAG) | OJ_Flag_Bit(SELECTED_FLAG)), ph, nullptr);
    }
    Unit_PostRender(unit);
    Current_Unit_UpToDate();
    ok = Selection_Count() == kObjects;
  }
  ~Dragged_Face() {
    Dispose_Saved_Blocks();
    if (g_doc.doc_open) Doc_Dispose();
    Dispose_Doc_Buffers();
    Cache_Clear();
    Intf_Stop();
    Static_Stop();
    Fonts_Stop();
    Host_Win_Reset();
    Host_Backend_Stop();
    Host_Clock_Set_Manual(false);
    OP_Stop();
  }
};

Dragged_Face* The_Face() {
  static Dragged_Face* face = new Dragged_Face;
  return face;
}

constexpr Point kStart{700, 700};

void BM_DragStep(benchmark::State& state) {
  Dragged_Face& f = *The_Face();
  if (!f.ok) {
    state.SkipWithError("the disc face could not be set up (is the picture library built?)");
    return;
  }
  Move_Begin(1, kStart, 2);
  int16 d = 0;
  for (auto _ : state) {
    d = int16((d + 7) % 120);
    Move_Step(Point{int16(kStart.v + d / 2), int16(kStart.h + d)}, false);
  }
  Move_End(kStart, false);
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);

void BM_DragRelease(benchmark::State& state) {
  Dragged_Face& f = *The_Face();
  if (!f.ok) {
    state.SkipWithError("the disc face could not be set up (is the picture library built?)");
    return;
  }
  int16 d = 40;
  for (auto _ : state) {
    state.PauseTiming();
    Move_Begin(1, kStart, 2);
    const Point to{int16(kStart.v + d / 2), int16(kStart.h + d)};
    Move_Step(to, false);
    d = int16(-d);  // back and forth
    state.ResumeTiming();
    Move_End(to, false);
    const Rect dirty = f.unit->render_dirty;
    Current_Unit_UpToDate();
    if (Width(dirty) < 240 * 5 || Height(dirty) < 180 * 4) {
      state.SkipWithError("the release left the objects' area unrendered");
      break;
    }
  }
}
BENCHMARK(BM_DragRelease)->Unit(benchmark::kMillisecond);

}  // namespace
