// Paint tracking: a press in the document view in the paint phase turned
// into paint on the current unit's paint layer, one loop per tool. So far
// only the hold test that object dragging and text selection share is here;
// the tracking loops come with the painting tools.
#pragma once

#include "platform/Types.h"

// TRUE when the button stays down for more than half the double-click
// interval from the call (a drag, not a click); FALSE as soon as it is
// released.
bool8 Is_Mouse_Holding();
