#include "doc/VoskDraw.h"

#include "doc/VoskFunc.h"
#include "doc/VoskRend.h"
#include "host/HostWin.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/Fast.h"
#include "pixel/SysBlt.h"
#include "objects/VoskBlok.h"
#include "platform/SysWin.h"
#include "platform/QDRect.h"
#include "platform/Quickdraw.h"
#include "platform/VoskDef.h"

void Doc_InvalCells(const Rect& cellr) {
  if (gs.outer_window == nullptr || EmptyRect(cellr)) return;
  const uint16 nviews = gs.nviews < MAXNVIEWS ? gs.nviews : MAXNVIEWS;
  for (uint16 vx = 1; vx <= nviews; ++vx) {
    Rect screen, shown;
    CellToScreenRect(vx, cellr, screen);
    if (!SectRect(screen, gs.views[vx - 1].bounds, shown)) continue;
    const RECT r{shown.left, shown.top, shown.right, shown.bottom};
    InvalidateRect(gs.outer_window, &r, false);
  }
}

void Doc_Draw(const Rect& cellr) { Doc_InvalCells(cellr); }

void Draw_PasteBoard_Rgn(RgnHandle rgn) {
  if (rgn == nullptr) return;
  RGBColor saved;
  GetBackColor(saved);
  SetBackColor(165, 165, 165);
  EraseRgn(rgn);
  RGBBackColor(saved);
}

void Doc_Merge_Draw(const Rect& cellr) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || EmptyRect(cellr)) return;
  UnionRect2(unit->render_dirty, cellr, unit->render_dirty);
  Current_Unit_UpToDate();
}

void Doc_DrawS(const Rect& screenr) {
  a_doc_unit* unit = g_doc.up;
  if (unit == nullptr || gs.nviews < 1 || gs.outer_window == nullptr) return;
  Rect r;
  if (!SectRect(screenr, gs.views[0].bounds, r)) return;
  GWorldPtr off = nullptr;
  if (New_GWorld(r, 32, nullptr, off) != 0 || off == nullptr) return;
  Push_GWorld(off);
  SetForeColor(165, 165, 165);
  PaintRect(r);
  Rect cells, area;
  ScreenToCellRect(1, r, cells);
  if (SectRect(cells, unit->paintbounds, area)) {
    Rect layer_bounds;
    GWorldPtr layer = nullptr;
    Current_Unit_Merge_Check(layer_bounds, layer);
    if (layer != nullptr) {
      Rect merge, screen;
      CellToMergeRect(unit, area, merge);
      CellToScreenRect(1, area, screen);
      Port_To_Port(layer, off, merge, screen, srcCopy, nullptr);
    }
    if (gs.curr_phase == SYMBOL_PHASE || gs.curr_phase == PHOTO_PHASE || gs.curr_phase == TEXT_PHASE)
      Enum_Draw_Frames(1, area);
  }
  Pop_GWorld();
  Push_Window(gs.outer_window);
  Port_To_Port(off, nullptr, r, r, srcCopy, nullptr);
  Pop_Window();
  Dispose_GWorld(off);
}

void Edit1_PaintAll() {
  if (gs.nviews < 1) return;
  Doc_DrawS(gs.views[0].bounds);
  if (g_doc.up != nullptr) g_doc.up->refresh_dirty = Rect{0, 0, 0, 0};
}
void Repaint_All() {
  if (gs.outer_window != nullptr) InvalidateRect(gs.outer_window, nullptr, false);
}

void Draw_PasteBoard_Rect(const Rect& r) {
  RGBForeColor(RGBColor{165 * 257, 165 * 257, 165 * 257});
  PaintRect(r);
  ForeColor(1);
}

int16 Examples_Page() { return 1; }
