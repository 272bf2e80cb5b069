#include "platform/Menus.h"

#include "platform/SysErr.h"

void DisableItem(void*, int16) { QUIT(); }
void EnableItem(void*, int16) { QUIT(); }
int16 CountMItems(void*) {
  QUIT();
  return 0;
}
void SetMenuItemText(void*, int16, CStrSpan) { QUIT(); }
