// The layer bar: one cell per photo, symbol and the paint layer of the
// current unit (slots in the collage phase), scrolled by its own scroll bar
// (gs.lscroll_ctrl). The bar itself comes with the object tools; until then
// it is never shown, and its procedures change nothing.
#pragma once

#include "host/HostWin.h"
#include "platform/Types.h"

// Scroll code 0 to 3 (one layer or a page back or forward).
void LayerBar_NonThumbAction(int16 part, HWND ctrl);
// The thumb was dragged to the scroll bar's current value.
void LayerBar_ThumbAction(int16 part, HWND ctrl);

// Lists the layers again after objects were added, removed or arranged
// (only while the bar is shown, or with force).
void LayerBar_Calc(bool8 force);
// The bar is to be painted again.
void LayerBar_Inval();
// Scrolls the bar so that object omx's layer is visible (painted again
// with force even when it was).
void Jump_To_Layer(int32 omx, bool8 force);

// Module start-up: registers the actions with the main window's scrolling.
void VoskLayer_Init();
