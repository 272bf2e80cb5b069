// The painting tools' copy of one layer of a unit as it was before a stroke
// began (its 32-bit world and its 8-bit mask), to take back part of a stroke
// or to put back the pixels outside a mask. Independent of the document's
// undo history.
//
// The copy remembers the unit it came from and always goes back onto that
// unit, whatever unit is current by then; only the part inside both the
// copy and the unit's layer is restored. A copy whose unit loses its content
// (cloned, remapped, closed) is dropped.
#pragma once

#include "doc/VoskDoc.h"
#include "platform/PixMaps.h"
#include "platform/Types.h"
#include "platform/VoskDef.h"

// The copy (world and mask owned here; either may be absent) and the layer
// it was taken from.
extern a_doc_layer g_undo_layer;
extern a_static_layer g_undo_layerx;

// Replaces the copy by one of layer layerx of the current unit (a part the
// layer lacks stays absent). No current unit, a clone (which has no layers
// of its own) or a layer number past the last: no copy (FALSE).
bool8 Undo_SaveLayer(a_static_layer layerx);
// Copies the part of bounds inside both the copy and the layer back into the
// layer of the copy's unit: the world from the saved world and the mask from
// the saved mask, each only when saved.
void Undo_RestoreRect(const Rect& bounds);
// Puts back the saved pixels outside mask (a 1-bit map; bits outside it count
// as clear) within bounds, keeping the new paint inside it.
void Undo_PaintNotMask(const PixMap& mask, const Rect& bounds);
// Frees the copy.
void Undo_Dispose();
// Frees the copy when it was taken from unit (whose content goes away).
void Undo_Forget_Unit(const a_doc_unit* unit);
// The unit the copy belongs to (NIL with no copy).
const a_doc_unit* Undo_Unit();

// Module start-up: no copy.
void VoskUndo_Init();
