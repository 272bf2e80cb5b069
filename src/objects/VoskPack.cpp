#include "objects/VoskPack.h"

#include "objects/VoskBlok.h"

int32 Slot_Find(Point) { return ENUM_DONE; }

void Slot_Inval_Obj(int32) {}

void Pack_Inval() {}

void Pack_ClearSlot() {}

void Slot_To_Sliders(int32) {}

void Delta_Pack() {}

void Delta_Pack_Item() {}

bool8 Is_Pack_Sizeable() { return false; }
