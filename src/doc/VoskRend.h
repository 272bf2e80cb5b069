// Unit rendering: a unit's picture composed from its canvas, its objects and
// its paint layer, cached per unit in layers and rebuilt only where stale
// (the unit's render_dirty rectangle, in cells).
//
// Units are not drawn on the screen yet: marking what is stale works, but
// there is nothing to bring up to date.
#pragma once

struct a_doc_unit;

// Brings the current unit's layers up to date and draws what changed on the
// screen (called at the end of every user action in the editing phases).
void Current_Unit_UpToDate();

// Marks the whole of a unit (its paintbounds) for rendering again; the
// current unit; every unit of the open document. NIL and no current unit
// are left alone.
void Unit_PostRender(a_doc_unit* unit);
void Curr_Unit_PostRender();
void All_Units_PostRender();
