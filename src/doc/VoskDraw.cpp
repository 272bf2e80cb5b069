#include "doc/VoskDraw.h"

#include "doc/VoskFunc.h"
#include "host/HostWin.h"
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

void Repaint_All() {
  if (gs.outer_window != nullptr) InvalidateRect(gs.outer_window, nullptr, false);
}

void Draw_PasteBoard_Rect(const Rect& r) {
  RGBForeColor(RGBColor{165 * 257, 165 * 257, 165 * 257});
  PaintRect(r);
  ForeColor(1);
}

int16 Examples_Page() { return 1; }
