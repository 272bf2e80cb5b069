#include "objects/VoskMove.h"

void Obj_Track_Move(uint16, Point, int32) {}

void Calc_Default_PStatus() {}
