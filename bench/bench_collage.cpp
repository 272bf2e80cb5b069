// One step of a collage slider drag: a 12 x 12 grid on a disc face of
// 1417 x 1417 cells, every slot filled with its own 600 x 600 photo, seen at
// the fitting zoom in the program's main window. The step lays the slots out
// again (every region rebuilt) and draws every slot through its mask to the
// window: under 33 ms.
#include <benchmark/benchmark.h>

#include <cstring>

#include "DocTestSupport.h"
#include "InterfaceBenchSupport.h"
#include "app/Velmor4.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskUndo.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "objects/VoskBlok.h"
#include "objects/VoskLayer.h"
#include "objects/VoskPack.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/OP.h"
#include "pixel/OPUtil.h"
#include "pixel/SysPixt.h"
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
#include "ui/VoskConf.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"
#include "ui/VoskIntf.h"
#include "ui/VoskStat.h"

namespace {

constexpr float kMMPerPixel = 0.0846667f;
constexpr int16 kSide = 1417;
constexpr int16 kGrid = 12;
constexpr int16 kPhoto = 600;
// The document view: larger than the one the program gives itself on a
// 1280 x 1024 screen, so that the step is timed at its dearest.
constexpr Rect kView{40, 360, 1380, 1500};

uint32* Px(GWorldPtr w, int x, int y) {
  const PixMap& p = w->pix;
  return reinterpret_cast<uint32*>(p.baseAddr + size_t(y - p.bounds.top) * PixMap_RowBytes(p)) + (x - p.bounds.left);
}

struct Filled_Collage {
  bool ok = false;

  Filled_Collage() {
    if (!benchsupport::Start_Interface_Window(false)) return;
    InitGray();
    doctests::Start_Document_Layer();
    VoskLayer_Init();

    a_template x{};
    std::strcpy(x.label, "Disc face");
    x.papersize = {215.9f, 279.4f};
    a_unit& d = x.units[x.nunits++];
    d.kind = UNIT_CD_CORE;
    d.bbox = a_frect{10, 10, 10 + kSide * kMMPerPixel, 10 + kSide * kMMPerPixel};
    d.meas[0] = 41;
    if (!Doc_New(x)) return;
    Select_Doc_Unit(1);
    const a_doc_unit* unit = Doc_Unit(1);
    if (unit == nullptr || unit->paintbounds.right != kSide) return;
    gs.nviews = 1;
    gs.curr_phase = PHOTO_PHASE;
    gs.grid_vals[PACK_KIND_GRID] = PACK_GRID;
    gs.slider_vals[PACK_GRID_NX_SLIDER] = kGrid;
    gs.slider_vals[PACK_GRID_NY_SLIDER] = kGrid;
    Pack_New();
    SV_Finish();
    if (g_pack == nullptr || g_pack->totnslots != kGrid * kGrid) return;
    // The fitting zoom of the collage's area in the view.
    Calc_Fit_Zoom(kView);
    gs.views[0] = a_view_rec{Point{0, 0}, ZoomxToFactor[0], ZoomxFudge[0], kView};
    Obj_Select_None();
    for (int i = 0; i < kGrid * kGrid; ++i) {
      a_masked_gworld photo;
      Null_MW(photo);
      photo.bounds = Rect{0, 0, kPhoto, kPhoto};
      New_GWorldF("photo", photo.bounds, 32, nullptr, photo.fore);
      for (int y = 0; y < kPhoto; ++y)
        for (int x = 0; x < kPhoto; ++x) *Px(photo.fore, x, y) = uint32(i * 7) << 16 | uint32(x * 255 / kPhoto) << 8 | uint32(y * 255 / kPhoto);
      Pack_Paste(photo);
    }
    ok = Is_Pack_Full();
  }
  ~Filled_Collage() {
    Pack_Cancel();
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

void BM_CollageSliderStep(benchmark::State& state) {
  static Filled_Collage* collage = new Filled_Collage;
  if (!collage->ok) {
    state.SkipWithError("the collage could not be set up (is the picture library built?)");
    return;
  }
  int16 spacing = 3;
  for (auto _ : state) {
    spacing = int16(spacing == 3 ? 4 : 3);
    gs.slider_vals[PACK_GRID_SPACING_SLIDER] = spacing;
    Delta_Pack();
  }
  if (g_pack->packspec.grid_spacing != spacing) state.SkipWithError("the slider did not reach the layout");
}
BENCHMARK(BM_CollageSliderStep)->Unit(benchmark::kMillisecond);

}  // namespace
