// The document view: the current unit on its pasteboard at the zoom of each
// view, and its drawing services. So far only the invalidation of cells is
// here; the view's drawing, mouse and keys come with the document view.
#pragma once

#include "platform/Quickdraw.h"
#include "platform/Types.h"

// The screen rectangle of cellr (cells of the current unit) in each shown
// view, clipped to the view, is to be painted again.
void Doc_InvalCells(const Rect& cellr);

// cellr (cells of the current unit) drawn again in the document view. The
// view's drawing comes with the document view: until then the area is
// invalidated (Doc_InvalCells).
void Doc_Draw(const Rect& cellr);

// The pasteboard round a unit: rgn erased in its grey (165, 165, 165) in
// the current port.
void Draw_PasteBoard_Rgn(RgnHandle rgn);

// cellr (cells of the current unit) rendered again and drawn: added to the
// unit's render_dirty, then the unit brought up to date (VoskRend.h).
void Doc_Merge_Draw(const Rect& cellr);

// The document view over screenr (main window pixels) within view 1: the
// pasteboard, the current unit from its TOTAL_LAYER (brought up to date) at
// the view's zoom, and the frames of the phase's objects, drawn off-screen
// and copied to the main window. Nothing without a current unit. (Grid
// lines, cut lines, overflow marks and the second view come with the
// document view.)
void Doc_DrawS(const Rect& screenr);
// The whole of view 1 drawn, and the unit's refresh_dirty emptied.
void Edit1_PaintAll();
// Every shown view is painted again at once (until the views are drawn, the
// whole main window is invalidated).
void Repaint_All();

// Paints r in the pasteboard grey (165, 165, 165).
void Draw_PasteBoard_Rect(const Rect& r);
// The page of the examples browser in view, from 1 (the browser comes with
// the start screen: page 1 until then).
int16 Examples_Page();
