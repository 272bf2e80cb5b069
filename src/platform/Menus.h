// Toolbox menu calls the portable code no longer uses. They are kept by
// name and report an internal error (QUIT): menus are handled by SysMenu.
#pragma once

#include "platform/Types.h"

void DisableItem(void* menu, int16 item);
void EnableItem(void* menu, int16 item);
int16 CountMItems(void* menu);
void SetMenuItemText(void* menu, int16 item, CStrSpan text);
