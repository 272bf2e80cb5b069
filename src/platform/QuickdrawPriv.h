// What the Quickdraw source files share and nobody else needs.
#pragma once

#include "platform/Quickdraw.h"

// TRUE when a port with a drawing state and a device context is current.
bool QD_Port_Ready();
// A 32-bit coordinate held to the 16-bit range of Rect and Point.
int16 QD_Clamp16(int32 v);
// Pixel size of the current offscreen world, 0 when none is current.
int32 QD_World_Depth();
