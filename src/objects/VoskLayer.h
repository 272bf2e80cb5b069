// The layer bar's services to the platform layer: the actions its scroll bar
// (gs.lscroll_ctrl) scrolls it by. The layer bar itself comes with the
// object tools; until then the actions change nothing.
#pragma once

#include "host/HostWin.h"
#include "platform/Types.h"

// Scroll code 0 to 3 (one layer or a page back or forward).
void LayerBar_NonThumbAction(int16 part, HWND ctrl);
// The thumb was dragged to the scroll bar's current value.
void LayerBar_ThumbAction(int16 part, HWND ctrl);

// Module start-up: registers the actions with the main window's scrolling.
void VoskLayer_Init();
