// Unit rendering: a unit's picture composed from its canvas, its objects in
// drawing order (photos, symbols, texts and the paint layer, itself an item
// of the list) and the outer mask that shows the unit's outline.
//
// For the screen the picture is kept per unit in layers (a_static_layer,
// doc/VoskDoc.h) and rebuilt only where stale: the unit's render_dirty
// rectangle (cells). The TOTAL_LAYER has the unit's paintbounds at zoom 1
// and more, else the unit's size on the screen at (0, 0); its pixels are
// merge coordinates (doc/VoskFunc.h). While a text object of the unit is
// edited the rest of the unit is kept in the MINUS_LAYER, so that a
// keystroke merges only the edited text again. The OUTERMASK_LAYER covers
// what lies outside the unit's outline (and inside a disc's hole) with the
// pasteboard at level 225 of 255.
//
// For print a unit is rendered once, at print size, into a fresh world that
// never uses the layers and never leaves out an edited object; outside the
// outline the print is white.
//
// Also here: the regions of a unit with its disc hole, and of the
// LightScribe labelling areas.
#pragma once

#include "doc/VoskDoc.h"
#include "objects/VoskBlok.h"
#include "platform/Quickdraw.h"
#include "platform/SysWin.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// The outer mask's level outside the outline: on the screen the pasteboard
// shows through a little; on paper nothing is printed there.
constexpr uint8 OUTER_LEVEL_SCREEN = 225;
constexpr uint8 OUTER_LEVEL_PRINT = 255;
// How far past what was rendered the screen is refreshed, in screen pixels.
constexpr int16 REFRESH_MARGIN = 16;

// --- Bringing units up to date -----------------------------------------------------

// Brings the current unit's layers up to date and has the area refreshed
// since the last drawing (refresh_dirty) drawn on the screen, then empties
// it. Called at the end of every user action in the editing phases.
void Current_Unit_UpToDate();
// The same without drawing: rect := the TOTAL_LAYER bounds (the unit's
// paintbounds when view 1's zoom is 1 or more, else its size on the screen
// at (0, 0)), world := the layer. No current unit: rect empty, world NIL.
// What was refreshed stays in refresh_dirty until it is drawn.
void Current_Unit_Merge_Check(Rect& rect, GWorldPtr& world);
// Brings unit ux's TOTAL_LAYER up to date for layer bounds rect: a layer of
// other bounds is made anew (the whole unit to render); a text edit that
// began, ended or moved to another object renders the whole unit once; the
// layout of every visible text is brought up to date; what render_dirty
// holds is rendered (grown by a cell), added to refresh_dirty (grown by
// REFRESH_MARGIN screen pixels) and emptied. world := the layer (NIL when
// rect is empty or no world can be made).
void Unit_Merge_Check(uint32 ux, a_doc_unit* unit, const Rect& rect, GWorldPtr& world);
// For the print preview: rect := the layer's present bounds, or for a unit
// never rendered the size of box, doubled while both sides are below 100
// pixels; then Unit_Merge_Check. An empty box makes no layer: rect empty,
// world NIL.
void PrintPrevew_Unit_Merge_Check(uint32 ux, a_doc_unit* unit, const Rect& box, Rect& rect, GWorldPtr& world);

// --- Screen rendering (into a layer, in merge coordinates) ------------------------------

// Renders dirty (cells, cut to paintbounds) into the TOTAL_LAYER of bounds
// rect, or into the MINUS_LAYER while a text of the unit is edited (then the
// MINUS_LAYER is copied into the TOTAL_LAYER and the edited text merged on
// top): the canvas, every visible object bottom to top, the outer mask.
void Render_Unit_Screen(uint32 ux, a_doc_unit* unit, const Rect& dirty, const Rect& rect);
// One object of the unit's list (objx its index) merged into world within
// mrect (merge coordinates): photos and symbols, texts, the paint layer;
// collage slots draw nothing.
void Merge_Object(a_doc_unit* unit, int32 objx, const a_oj_item& item, const Rect& mrect, GWorldPtr world);
// A photo or symbol: its record turned from cells into merge coordinates
// (centre, box, scalings and the lengths of its edge and shadow), drawn by
// PH_Draw clipped to mrect.
void Merge_Photo_Block(a_doc_unit* unit, int32 objx, const a_oj_item& item, const Rect& mrect, GWorldPtr world);
// A text's cached shadow and text pictures blended into world where they
// meet rect (made first when stale). Mode 2, the edited text: while the
// editor edits characters and a range is selected, its highlight first.
void Merge_Text_Block(int16 mode, a_doc_unit* unit, int32 omx, a_om_rec* om, const Rect& rect, GWorldPtr world);
// The paint layer blended through its mask into world within mrect, scaled
// from paintbounds to the layer; nothing when the unit has no paint.
void Merge_Paint_Layer(a_doc_unit* unit, const Rect& mrect, GWorldPtr world);
// The text laid out (OM_Recalc) unless its cache says the positions are
// there.
void OM_Ensure_Cache_Coord(int32 omx, a_om_rec* om);
// The text laid out, and its pictures made at the unit's merge scale unless
// they were made at that scale.
void OM_Ensure_Cache_Bits(a_doc_unit* unit, int32 omx, a_om_rec* om);

// --- Print rendering --------------------------------------------------------------------

// world := unit ux rendered into a fresh 32-bit world over bounds (print
// dots; the unit's paintbounds scaled onto it): g_doc.doc_print's scale
// (bounds over paintbounds, and its top-left as origin), the canvas, every
// visible object bottom to top at that scale, the outer mask for print.
// A size that cannot be held, or a world that cannot be made, fails with
// alert 16 and world NIL: FALSE.
bool8 Render_Unit_Print(uint32 ux, a_doc_unit* unit, const Rect& bounds, GWorldPtr& world);
// One object drawn into the current port (the print world) at the print
// scale; an object whose geometry at that scale passes 16 bits is left out.
void Print_Object(a_doc_unit* unit, int32 objx, const a_oj_item& item, const Rect& bounds);
// A text rendered at the print scale into temporary pictures and blended.
void Print_Text_Block(a_doc_unit* unit, int32 omx, a_om_rec* om, const Rect& bounds);
// The paint layer blended through its mask, scaled from paintbounds onto
// bounds.
void Print_Paint_Layer(a_doc_unit* unit, const Rect& bounds);

// --- Marking units stale ------------------------------------------------------------------

// Marks the whole of a unit (its paintbounds) for rendering again, and
// counts its object list's seq on (a fresh id), which makes what depends on
// it stale; the current unit; every unit of the open document. NIL and no
// current unit are left alone.
void Unit_PostRender(a_doc_unit* unit);
void Curr_Unit_PostRender();
void All_Units_PostRender();
// The layout of each visible text of unit ux brought up to date, with ux
// current for the while (upx and up put back).
void Check_Text_Formats(uint32 ux);

// --- The outer mask and the unit's regions -----------------------------------------------

// Unit ux has an outer mask: a rounded rectangle with a corner radius
// (meas1 not 0), a disc face, a cassette label or a business-card disc.
bool8 Has_Outer_Mask(uint32 ux);
// Unit ux's canvas is feathered at the disc's edges: a disc face (UNIT_CD,
// UNIT_CD_CORE, UNIT_MINICD_RING) whose canvas has an inner or outer
// feather.
bool8 Is_Unit_Fuzzed(uint32 ux, const a_doc_unit* unit);
// Brings the unit's OUTERMASK_LAYER up to date for bounds (merge
// coordinates): made again when its target sequence moved on or its bounds
// changed. A unit without an outer mask has no such layer.
void Outer_Mask_Check(uint32 ux, a_doc_unit* unit, const Rect& bounds);
// world and mask (freed first) := the outer mask of unit ux over bounds:
// world white, on the screen the pasteboard outside the outline; mask 0
// inside, OUTER_LEVEL_PRINT or OUTER_LEVEL_SCREEN outside (and in the
// hole, unless a sheet layout is printed), feathered for a fuzzed unit.
// On a LightScribe layout the outline is the labelling area chosen.
// FALSE, both NIL, for a unit without an outer mask or when no world can
// be made.
bool8 Calc_Outer_Mask(bool8 forprint, uint32 ux, a_doc_unit* unit, const Rect& bounds, GWorldPtr& world,
                      GWorldPtr& mask);
// inside := the region of the unit (millimetres) mapped onto bounds, with
// its hole when withhole; outside := bounds less inside. Both regions exist.
void Calc_Hole_Rgns(bool8 withhole, const a_unit& spec, const Rect& bounds, RgnHandle inside, RgnHandle outside);
// The same for the LightScribe labelling area chosen by LS_COVERAGE_SLIDER
// on a 117.4 mm disc frame mapped onto bounds: 1, a band from 62.8 to 73
// mm; 2, from 50.1 to 73 mm; 3, from 47.6 to 117.4 mm. Any other value is
// an internal error (QUIT).
void Calc_LS_Rgns(const Rect& bounds, RgnHandle inside, RgnHandle outside);
