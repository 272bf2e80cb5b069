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
