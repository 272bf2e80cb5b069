#include "objects/VoskLayer.h"

#include "platform/SysLoop.h"

// No layer bar is shown yet: there is nothing to scroll, list or paint.
void LayerBar_NonThumbAction(int16, HWND) {}
void LayerBar_ThumbAction(int16, HWND) {}
void LayerBar_Calc(bool8) {}
void LayerBar_Inval() {}
void Jump_To_Layer(int32, bool8) {}

void VoskLayer_Init() { Set_Scroll_Actions(SCROLL_LAYER_BAR, LayerBar_NonThumbAction, LayerBar_ThumbAction); }
