#include "ui/VoskFun2.h"

#include "platform/SysErr.h"
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
void Recalc_Edit_Origin() {}
