// The document view: the current unit on its pasteboard at the zoom of each
// view, and its drawing services. So far only the invalidation of cells is
// here; the view's drawing, mouse and keys come with the document view.
#pragma once

#include "platform/Types.h"

// The screen rectangle of cellr (cells of the current unit) in each shown
// view, clipped to the view, is to be painted again.
void Doc_InvalCells(const Rect& cellr);
// Every shown view is painted again at once (until the views are drawn, the
// whole main window is invalidated).
void Repaint_All();
