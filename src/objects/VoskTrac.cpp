#include "objects/VoskTrac.h"

#include "platform/Events.h"
#include "platform/SysInfo.h"
#include "platform/SysTimer.h"

bool8 Is_Mouse_Holding() {
  const uint32 start = TickCount();
  const uint32 hold = uint32(info_doubleclick > 0 ? info_doubleclick : 0) / 2;
  while (StillDown()) {
    if (TickCount() - start > hold) return true;
    Sleep(1);
  }
  return false;
}
