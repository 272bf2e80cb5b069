#include "ui/VoskFun2.h"

#include "pixel/SysPixt.h"
#include "platform/SysErr.h"
#include "platform/SysMem.h"
#include "platform/SysWin.h"
#include "platform/Windowv.h"
#include "ui/VoskDelt.h"
#include "ui/VoskIntI.h"

void Delta_Phase(a_phase /*old*/) {}
void Delta_TxEdit_Phase(a_txedit_phase /*old*/) {}
void Delta_Zoom(int16 /*old*/) {}
void Delta_Tool(int16 /*old*/) {}
void Delta_Symmetry_Toggle(bool8 /*old*/) {}
void Delta_Stencil_Toggle(bool8 /*old*/) {}

void Delta_Doc_Open(bool8 /*old*/) { SV_Set_Enum(SV_PHASE, g_doc.doc_open ? PREVIEW_PHASE : NODOC_PHASE); }

void Delta_Language(int16 /*old*/) {}
void Delta_Ring(a_ring_kind /*old*/) {}
void Delta_Bar(a_bar /*old*/) {}

bool8 Recalc_NViews() {
  const uint16 n = g_doc.doc_open ? 1 : 0;
  if (gs.nviews == n) return false;
  gs.nviews = n;
  return true;
}

bool8 Recalc_ZoomFactor() {
  const int16 zoomx = gs.grid_vals[ZOOM_GRID];
  if (zoomx < 0 || zoomx >= NZOOMS) {
    QUIT();
    return false;
  }
  a_view_rec& view = gs.views[0];
  const a_ratio factor = ZoomxToFactor[zoomx];
  view.zoom_fudge = ZoomxFudge[zoomx];
  if (view.zoom_factor.num == factor.num && view.zoom_factor.den == factor.den) return false;
  view.zoom_factor = factor;
  return true;
}

void Recalc_Menubar_Config() {}
void Recalc_Edit_Origin() {
  // Each view shows the focus cell in its middle (the scroll limits come
  // with the scroll bars).
  if (!g_doc.doc_open) return;
  const uint16 n = gs.nviews < MAXNVIEWS ? gs.nviews : MAXNVIEWS;
  for (uint16 vx = 1; vx <= n; ++vx) {
    a_view_rec& v = gs.views[vx - 1];
    const a_ratio z = v.zoom_factor;
    if (z.num <= 0 || z.den <= 0) continue;
    const int64 half_w = (int64(v.bounds.right) - v.bounds.left) / 2;
    const int64 half_h = (int64(v.bounds.bottom) - v.bounds.top) / 2;
    const auto to16 = [](int64 x) { return int16(x < -32768 ? -32768 : x > 32767 ? 32767 : x); };
    const Point origin{to16(gs.view_focus.v - half_h * z.den / z.num), to16(gs.view_focus.h - half_w * z.den / z.num)};
    if (origin.h == v.origin.h && origin.v == v.origin.v) continue;
    v.origin = origin;
    if (gs.outer_window != nullptr) Invalidate_Window(gs.outer_window);
  }
}

void Calc_Max() {
  gs.total_avail = Heap_CalcFree();
  Rect r{};
  if (gs.outer_window != nullptr) GetWindowInterior(gs.outer_window, r);
  const int64 pixels = int64(r.right - r.left) * int64(r.bottom - r.top);
  int64 limit = (int64(gs.total_avail) - 1200000 - pixels) / 2;
  if (limit < 1048576) limit = 1048576;
  gs.doc_limit = uint32(limit > int64(UINT32_MAX) ? UINT32_MAX : limit);
  const uint32 half = Heap_CalcFree() / 2;
  pixt_cache_limit = half < 700000 ? 700000 : half;
}

void Calc_Max_Custom() { gs.custom_limit = 100000000; }

void Calc_Tool_Net() {}
