// Moving the selected objects by dragging and by arrow keys, aligning and
// spreading them, and the status line of the object tools. So far only what
// the object list calls is here, and it does nothing: moving comes with the
// object tools.
#pragma once

#include "platform/Types.h"

// Drags the selection, started on object omx at startcell of view vx.
void Obj_Track_Move(uint16 vx, Point startcell, int32 omx);
// The status line of the object tools: the lone selected object's status,
// or an empty one. There is no status line yet.
void Calc_Default_PStatus();
