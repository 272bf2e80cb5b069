// The photo collage: slots of a pattern filled with photos, composed into
// one photo object. So far only what the object list calls is here: with no
// collage open there are no slots to find, draw, clear or load.
#pragma once

#include "platform/Types.h"

// The slot under cell, or ENUM_DONE (objects/VoskBlok.h).
int32 Slot_Find(Point cell);
// Slot omx is to be drawn again; the collage view is to be drawn again.
void Slot_Inval_Obj(int32 omx);
void Pack_Inval();
// Every selected filled slot becomes empty (delete in the collage phase).
void Pack_ClearSlot();
// The collage's item-size slider from slot omx.
void Slot_To_Sliders(int32 omx);
// The collage's layout sliders and its item-size slider moved. They come
// with the collage tools: nothing happens yet.
void Delta_Pack();
void Delta_Pack_Item();
