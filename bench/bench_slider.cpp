// One step of a slider's thumb drag, from a new thumb position to the
// window's pixels: PHOTO_CORNER_SLIDER on the main window of the headless
// backend, drawn from the build's picture library, its live procedure
// (the photo's) called at every step. The thumb goes to and fro over the
// rack so that every step changes the value.
// The second benchmark does the same over an open document: a CD unit of
// 1417 x 1417 cells at the fitting zoom with one selected photo of 12
// megapixels, whose size slider draws the photo's new outline at each step
// and the window's pixels are brought up to date.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

#include "app/Velmor4.h"
#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "doc/VoskHist.h"
#include "doc/VoskPrin.h"
#include "doc/VoskRend.h"
#include "doc/VoskUndo.h"
#include "objects/VoskBlok.h"
#include "objects/VoskPhot.h"
#include "pixel/OPUtil.h"
#include "ui/VoskConf.h"
#include "host/HostBackend.h"
#include "host/HostClock.h"
#include "host/HostWin.h"
#include "pixel/OP.h"
#include "pixel/SysPixt.h"
#include "platform/Quickdraw.h"
#include "platform/Resources.h"
#include "platform/SysFont.h"
#include "platform/SysInfo.h"
#include "platform/SysIO.h"
#include "platform/SysLoop.h"
#include "platform/SysVideo.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/Windowv.h"
#include "ui/VoskIntf.h"
#include "ui/VoskSlid.h"
#include "ui/VoskStat.h"

namespace {

// The interface started on the main window with the slider shown and open.
bool Start(a_slider_enum s) {
  Host_Backend_Start_Headless(1280, 1024);
  Host_Clock_Set_Manual(true);
  Resources_Init();
  SysPixt_Init();
  OP_Init();
  FSSpec spec;
  if (!Path_From_Text(spec, VELMOR_ART_LIBRARY) || OP_OpenFile(spec) != OPEN_OKAY) return false;
  VoskDef_Init();
  SysWin_Init();
  Windowv_Init();
  SysLoop_Init();
  Init_Info();
  Quickdraw_Init();
  SysVideo_Init();
  Register_Classes();
  Fonts_Init();
  gs.controller = GHOST;
  gs.menu_base = 132;
  gs.pref.tot_window = Rect{60, 100, 700, 1000};
  Static_Init();
  if (gs.outer_window == nullptr) return false;
  main_hwnd = gs.outer_window;
  Intf_Init();
  Rect total, gbounds;
  Node_BeginConfig(0, total);
  Node_Add_Window(0x01000000, total, gs.outer_window, gbounds);
  Node_Add_Division(0x01010000, Rect{0, 0, 400, 400}, DECORATION_STRIPED, a_pixel24{0, 0, 0});
  Point corner{100, 30};
  Node_Add_Slider(0x01010100, corner, 0, 0, s);
  Node_EndConfig();
  if (g_sliders[s].nodex == 0 || g_sliders[s].src_pixtptr == nullptr) return false;
  Slider_Paint(s);
  Slider_Open(s);
  return qq.active;
}

// A CD document over the whole window at the fitting zoom, with one
// selected photo of 4000 x 3000 pixels placed at a tenth of its size.
int32 g_photo = 0;  // the photo's object number

bool Open_Document_With_Photo() {
  VoskDoc_Init();
  VoskFunc_Init();
  VoskUndo_Init();
  VoskPrin_Init();
  History_Null();
  VoskBlok_Init();
  OPUtil_Init();
  constexpr float kMMPerPixel = 0.0846667f;
  constexpr int16 kSide = 1417;
  a_template x{};
  std::strcpy(x.label, "Disc face");
  x.papersize = {215.9f, 279.4f};
  a_unit& d = x.units[x.nunits++];
  d.kind = UNIT_CD_CORE;
  d.bbox = a_frect{10, 10, 10 + kSide * kMMPerPixel, 10 + kSide * kMMPerPixel};
  d.meas[0] = 41;
  if (!Doc_New(x)) return false;
  Select_Doc_Unit(1);
  a_doc_unit* unit = Doc_Unit(1);
  if (unit == nullptr) return false;
  gs.nviews = 1;
  gs.views[0] = a_view_rec{Point{0, 0}, a_ratio{1, 1}, 1, Rect{0, 0, 1, 1}};
  gs.grid_vals[ZOOM_GRID] = 0;
  Config_EditArea();
  const a_view_rec& v = gs.views[0];
  gs.views[0].origin = Point{int16(-(v.bounds.bottom * v.zoom_factor.den / v.zoom_factor.num - kSide) / 2),
                             int16(-(v.bounds.right * v.zoom_factor.den / v.zoom_factor.num - kSide) / 2)};
  a_masked_gworld basis;
  Null_MW(basis);
  basis.bounds = Rect{0, 0, 3000, 4000};
  New_GWorldF("photo", basis.bounds, 32, nullptr, basis.fore);
  if (basis.fore == nullptr) return false;
  PixMap& pm = basis.fore->pix;
  for (int y = 0; y < 3000; ++y) {
    uint32* row = reinterpret_cast<uint32*>(pm.baseAddr + size_t(y) * PixMap_RowBytes(pm));
    for (int x = 0; x < 4000; ++x) row[x] = uint32(x * 255 / 4000) << 16 | uint32(y * 255 / 3000) << 8 | 0x60;
  }
  a_source_desc source{};
  source.kind = SOURCE_EXTFILE;
  if (!Cache_Insert_External(source, basis, nullptr)) return false;
  a_ph_rec* ph = New_PH_Rec();
  Null_Spec(ph->spec);
  ph->spec.source = source;
  ph->spec.subset = basis.bounds;
  ph->spec.scalingh = ph->spec.scalingv = 100;
  ph->dst_center = Point{700, 700};
  const int32 omx = g_photo = Obj_Append(unit->oj, PHOTO_BLOCK, OJ_Flag_Bit(VISIBLE_FLAG) | OJ_Flag_Bit(SELECTED_FLAG), ph, nullptr);
  Photo_Calc_DstBox(omx);
  gs.curr_phase = PHOTO_PHASE;
  PH_To_Sliders(ph);
  Unit_PostRender(unit);
  Current_Unit_UpToDate();
  InvalidateRect(gs.outer_window, nullptr, false);
  UpdateWindow(gs.outer_window);
  return true;
}

void Stop() {
  Slider_Close();
  if (g_doc.doc_open) Doc_Dispose();
  Dispose_Doc_Buffers();
  Cache_Clear();
  Intf_Stop();
  Static_Stop();
  Fonts_Stop();
  main_hwnd = nullptr;
  Host_Win_Reset();
  Host_Backend_Stop();
  Host_Clock_Set_Manual(false);
  OP_Stop();
}

void BM_SliderDragStep_PhotoCorner(benchmark::State& state) {
  if (!Start(PHOTO_CORNER_SLIDER)) {
    state.SkipWithError("the interface could not be started over the build's picture library");
    Stop();
    return;
  }
  int16 left = qq.thumb_min;
  int16 dir = 3;
  for (auto _ : state) {
    left = int16(left + dir);
    if (left >= qq.thumb_max || left <= qq.thumb_min) dir = int16(-dir);
    benchmark::DoNotOptimize(Track_Thumb_Step(left));
  }
  Stop();
}
BENCHMARK(BM_SliderDragStep_PhotoCorner)->Unit(benchmark::kMicrosecond);

// The photo's size slider dragged over the document: the slider, the photo's
// new outline and the window's update.
void BM_SliderDragStep_PhotoCorner_OverDocument(benchmark::State& state) {
  if (!Start(PHOTO_CORNER_SLIDER) || !Open_Document_With_Photo()) {
    state.SkipWithError("the document with its photo could not be set up");
    Stop();
    return;
  }
  const a_slider_item& s = g_sliders[PHOTO_CORNER_SLIDER];
  if (s.thumb_init != nullptr) s.thumb_init();
  const a_ph_rec* ph = g_doc.up->oj.list[g_photo - 1].ph;
  int16 left = qq.thumb_min;
  int16 dir = 3;
  int64 widths = 0;
  for (auto _ : state) {
    left = int16(left + dir);
    if (left >= qq.thumb_max || left <= qq.thumb_min) dir = int16(-dir);
    benchmark::DoNotOptimize(Track_Thumb_Step(left));
    UpdateWindow(gs.outer_window);
    widths += ph->spec.corner;
  }
  // The photo followed the thumb: its mean corner is reported.
  state.counters["corner"] = double(widths) / double(std::max<int64>(1, int64(state.iterations())));
  if (s.thumb_stop != nullptr) s.thumb_stop();
  Stop();
}
BENCHMARK(BM_SliderDragStep_PhotoCorner_OverDocument)->Unit(benchmark::kMicrosecond);


}  // namespace
