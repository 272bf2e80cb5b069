// The photo collage: slots of a pattern filled with photos, composed into
// one photo object. So far only what the object list calls is here: with no
// collage open there are no slots to find, draw, clear or load.
#pragma once

#include "platform/Types.h"

// The patterns a collage lays its slots out in (the value of the collage
// panel's kind grid).
enum a_pack_kind : uint8 { PACK_GRID = 0, PACK_CLOCK1 = 1, PACK_CLOCK2 = 2, PACK_CLOCKSQ = 3, PACK_LOTUS = 4 };

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
// Exactly one slot is selected and it holds a photo, whose size can then be
// set. With no collage open there is none: FALSE.
bool8 Is_Pack_Sizeable();
