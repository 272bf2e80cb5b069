#include "ui/VoskConf.h"

#include <algorithm>

#include "doc/VoskDoc.h"
#include "doc/VoskFunc.h"
#include "pixel/Fast.h"
#include "platform/SysWin.h"
#include "platform/VoskDef.h"
#include "platform/Windowv.h"
#include "ui/VoskIntI.h"

namespace {

// How much smaller than the view the whole unit must be for the fitting
// zoom to show it at 1:1, and the largest reduction it takes.
constexpr int16 kFitMargin = 4;
constexpr int16 kFitLimit = 8;

}  // namespace

void Config_All() {
  Config_EditArea();
  if (gs.outer_window != nullptr) Invalidate_Window(gs.outer_window);
}

void Config_BSide() {}
void Config_LSide() {}

void Config_EditArea() {
  // Until the panels are laid out around it, the document view is the whole
  // of the main window's client area (as when the tools are hidden).
  if (gs.nviews == 0 || gs.outer_window == nullptr) return;
  Rect inside;
  GetWindowInterior(gs.outer_window, inside);
  a_view_rec& view = gs.views[0];
  view.bounds = Rect{0, 0, int16(inside.bottom - inside.top), int16(inside.right - inside.left)};
  // The fitting zoom: 1:1 when the unit fits the view less a margin, else
  // the reduction that fits it (not below 1 in kFitLimit).
  const a_doc_unit* unit = g_doc.up;
  if (unit != nullptr) {
    const Point size{int16(unit->paintbounds.bottom - unit->paintbounds.top),
                     int16(unit->paintbounds.right - unit->paintbounds.left)};
    const Point room{int16(view.bounds.bottom - view.bounds.top), int16(view.bounds.right - view.bounds.left)};
    a_ratio fit{1, 1};
    int16 fudge = 1;
    if (size.h > room.h - kFitMargin || size.v > room.v - kFitMargin) {
      Calc_Reduction(size, room, kFitMargin, fit);
      if (int32(fit.num) * kFitLimit < fit.den) fit = a_ratio{1, kFitLimit};
      fit.num = std::max<int16>(fit.num, 1);
      fudge = int16((fit.den + fit.num - 1) / fit.num + 1);
    }
    ZoomxToFactor[0] = fit;
    ZoomxFudge[0] = fudge;
  }
  const int16 zoomx = gs.grid_vals[ZOOM_GRID];
  if (zoomx >= 0 && zoomx < NZOOMS) {
    view.zoom_factor = ZoomxToFactor[zoomx];
    view.zoom_fudge = ZoomxFudge[zoomx];
  }
}
void Config_TTB() {
  Config_LSide();
  Config_BSide();
}
void Config_Tags() {}
void Config_Bar(const Rect& /*area*/) {}
void Config_ProjPicker() {}
void Gen_Paper_Lists() {}
int16 Count_Ring_Elements(a_ring_kind /*ring*/) { return 0; }
void Set_Default_Window_Title() {}
a_window_layout Calc_Editing_Layout(const Rect& total) { return a_window_layout{total, {}, {}, {}, {}, {}, total, {}}; }
a_edit_rects Calc_Edit_Rects(const Rect& /*area*/, uint16 /*nviews*/) { return {}; }
int16 ProjPicker_Strip_Height(int16 /*window_height*/) { return 0; }
