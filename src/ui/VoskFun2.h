// The interface's own procedures of the state variables (ui/VoskDelt.h):
// what happens when the phase, the tool, the zoom, the ring or the bar
// change; how the tool and ring in force follow from the phase and the tool
// panel; how many document views there are and which zoom factor they use;
// where each view's origin lies and how far the scroll bars reach; which
// menu bar is loaded; and the memory budgets of the interface. Also a few
// item procedures of the panels (the text panel's pages, symmetry, the tool
// cells, the paper panel).
#pragma once

#include "platform/Types.h"
#include "platform/VoskDef.h"
#include "ui/VoskIntI.h"  // a_tri_state

// --- Change procedures, called by the setters with the old value ----------------------

// The text-edit phase back to moving, the phase strip repainted; leaving the
// text, photo or symbol phase repaints the edit area (and leaves the text
// editor); the object kinds the new phase works on (photos, symbols and
// texts in their phases, collage slots in the collage phase, which deselects
// everything), the new phase entered, then the tool and ring in force.
void Delta_Phase(a_phase old);
// The caret and the edited object repainted, the text ring and tool panel
// follow, the editor's target checked.
void Delta_TxEdit_Phase(a_txedit_phase old);
// The zoom grid's two cells repainted, the focus to Calc_Default_Focus of
// the new zoom, the navigator and every view repainted.
void Delta_Zoom(int16 old);
// The tool grid's two cells repainted, then the tool and ring in force.
void Delta_Tool(int16 old);
// The edit area, the symmetry toggle and the symmetry tool's cell repainted.
void Delta_Symmetry_Toggle(bool8 old);
// Nothing follows the stencil toggle.
void Delta_Stencil_Toggle(bool8 old);
// A document just opened shows its print preview (PREVIEW_PHASE) and the
// navigator is repainted; one just closed shows the start screen
// (NODOC_PHASE) with the arrow cursor.
void Delta_Doc_Open(bool8 old);
// Every node repainted in the new language.
void Delta_Language(int16 old);
// The ring's remembered bar shown, the tags repainted.
void Delta_Ring(a_ring_kind old);
// The bar's fill kind in force, the bar remembered by the ring that offers
// it, its row aligned to its selection, the tags, swatch and bar repainted;
// the empty, stamp, pattern, gradient and border bars apply their selection.
void Delta_Bar(a_bar old);

// --- Item procedures ------------------------------------------------------------------

// TEXT_PHASE_GRID's action: an edited text's selection collapses to its end,
// the outline, shadow and glow toggles take the look of the page shown, the
// tool panel and text ring follow.
void Delta_Text_Phase();
// The action of the symmetry grid and count slider: symmetry on.
void Symmetry_Select();
// The paper panel again, the edit area, the paper labels and the print
// template label repainted.
void Delta_Paper();
// A cell of a tool grid: hidden for elements 7 and up, hilited for the
// current tool, else plain.
a_tri_state Base_Calc_Hilite(int16 element);
// SV_EDIT_FOCUS := point when it differs.
void Focus_Set(Point point);
// Does nothing.
void Print_Align();
// The tag grids (TAG_PALETTE .. TAG_GLYPHS) repainted.
void Tags_Inval();

// --- Derived recalculations: TRUE when the value changed ---------------------------------

// The number of document views: 1 while a document is open, else 0.
uint16 Calc_EditN();
// gs.nviews := Calc_EditN().
bool8 Recalc_NViews();
// The first view's zoom factor and fudge from the zoom index
// (gs.grid_vals[ZOOM_GRID]) through ZoomxToFactor and ZoomxFudge; TRUE when
// the factor changed. An index outside 0 .. NZOOMS - 1 is an internal error.
bool8 Recalc_ZoomFactor();

// --- Procedures of virtual state variables ------------------------------------------------

// The menu bar of the phase: gs.menu_base + 2 in the text phase, + 1 in the
// symbol and photo phases, else gs.menu_base.
int16 Calc_Menubar_ID(a_phase phase);
// Loads the phase's menu bar in the current language.
void Recalc_Menubar_Config();
// With a document open, in the phases paint to text: view 1's origin from
// the focus, kept within the scroll bars' limits (the focus follows a
// clamped origin), the scroll bars set to the limits and the origin; in the
// collage phase the origin from the focus alone. Further views follow the
// focus. A view whose origin moved is repainted.
void Recalc_Edit_Origin();

// --- The tool, ring and view calculations ---------------------------------------------------

// The tool and ring in force (SV_TOOL_NET, SV_CURR_RING) from the phase and
// the tool panel. In the paint phase a tool whose ring offers the paint
// colour bar, other than the eyedropper, becomes gs.dropper_jump; leaving
// the spray can stops its spray.
void Calc_Tool_Net();
// SV_CURR_RING: the glyph ring while text is edited, else the ring of the
// text panel's page.
void Set_Text_Ring();
// The focus a new zoom starts from: (600, 600) in the collage phase, the
// current focus at a zoom index above 1, else the centre of the current
// unit's paintbounds.
Point Calc_Default_Focus(int16 zoomx);
// The origin of view vx (counted from 1) that centres focus, and the focus
// that origin centres.
void Focus_To_Origin(uint16 vx, Point focus, Point& origin);
void Origin_To_Focus(uint16 vx, Point origin, Point& focus);
// The range of view 1's origin (h and v), in cells: a quarter of the view
// stays as margin beyond the unit's edges; a unit that fits the view with
// that margin stays centred (min = max).
void Calc_ScrollBar_Limits(Point& min, Point& max);

// --- Memory budgets ----------------------------------------------------------------------

// At start-up, from the free memory (read in 64 bits) and the screen's
// pixels: gs.total_avail; gs.doc_limit, half of what is left after the
// program's own 1,200,000 bytes and the screen, at least 1 MB; the stored
// pictures' discard ring (pixt_cache_limit) half the free memory, at least
// 700,000 bytes. Each stored in 32 bits, clamped.
void Calc_Max();
// The same from given free bytes and screen pixels.
void Calc_Max_From(uint64 free_bytes, int64 screen_pixels);
// For each document: the custom stamp's budget, gs.custom_limit.
void Calc_Max_Custom();
