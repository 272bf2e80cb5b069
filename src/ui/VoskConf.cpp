#include "ui/VoskConf.h"

#include "platform/SysWin.h"
#include "platform/VoskDef.h"

void Config_All() {
  if (gs.outer_window != nullptr) Invalidate_Window(gs.outer_window);
}

void Config_BSide() {}
void Config_LSide() {}
void Config_EditArea() {}

void Config_Tools() {}
