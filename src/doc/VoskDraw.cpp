#include "doc/VoskDraw.h"

#include "doc/VoskFunc.h"
#include "doc/VoskRend.h"
#include "host/HostWin.h"
#include "pixel/DrawUtilMasked.h"
#include "pixel/Fast.h"
#include "platform/QDRect.h"
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
