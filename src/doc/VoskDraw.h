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

// Paints r in the pasteboard grey (165, 165, 165).
void Draw_PasteBoard_Rect(const Rect& r);
// The page of the examples browser in view, from 1 (the browser comes with
// the start screen: page 1 until then).
int16 Examples_Page();
