// The interface's own procedures of the state variables (ui/VoskDelt.h):
// what happens when the phase, the tool, the zoom, the ring or the bar
// change, how many document views there are and which zoom factor they use,
// where the view's origin lies, and which menu bar is loaded.
//
// So far the number of views and the zoom factor are derived, and a
// document opened or closed sets the phase; the other procedures change
// nothing yet: the panels, the text editor, the views' scrolling and the
// menus per phase they act on come with their own parts.
#pragma once

#include "platform/Types.h"
#include "platform/VoskDef.h"

// Change procedures, called by the setters with the old value.
void Delta_Phase(a_phase old);
void Delta_TxEdit_Phase(a_txedit_phase old);
void Delta_Zoom(int16 old);
void Delta_Tool(int16 old);
void Delta_Symmetry_Toggle(bool8 old);
void Delta_Stencil_Toggle(bool8 old);
// A document just opened shows its print preview (PREVIEW_PHASE); one just
// closed the start screen (NODOC_PHASE).
void Delta_Doc_Open(bool8 old);
void Delta_Language(int16 old);
void Delta_Ring(a_ring_kind old);
void Delta_Bar(a_bar old);

// Derived recalculations: TRUE when the value changed.
// gs.nviews := 1 while a document is open, else 0.
bool8 Recalc_NViews();
// The first view's zoom factor and fudge from the zoom index
// (gs.grid_vals[ZOOM_GRID]) through ZoomxToFactor and ZoomxFudge; TRUE when
// the factor changed. An index outside 0 .. NZOOMS - 1 is an internal error.
bool8 Recalc_ZoomFactor();

// Memory budgets. Calc_Max, at start-up: the document may use half of what
// is left after the program's own needs and the screen's pixels, at least
// 1 MB (gs.total_avail, gs.doc_limit); the stored pictures' discard ring half
// the free memory, at least 700,000 bytes (pixt_cache_limit). Calc_Max_Custom,
// for each document: the custom stamp's budget, gs.custom_limit.
void Calc_Max();
void Calc_Max_Custom();

// Procedures of virtual state variables.
void Recalc_Menubar_Config();
void Recalc_Edit_Origin();

// The tool and ring in force from the phase and the tool panel. Comes with
// the panels: nothing changes yet.
void Calc_Tool_Net();
