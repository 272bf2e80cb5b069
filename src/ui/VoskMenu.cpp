#include "ui/VoskMenu.h"

#include "platform/VoskDef.h"
#include "ui/VoskDelt.h"

void Menus_Update() {}

void HideAll_Toggle() { SV_Set_Bool(SV_TOOL_SHOW, !gs.tool_show); }
