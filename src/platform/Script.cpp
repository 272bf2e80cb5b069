// Script-manager calls. See Script.h.
#include "platform/Script.h"

#include "platform/SysErr.h"

void KeyScript(int16) {}

int16 FontToScript(int16) { return 0; }

int32 GetScriptManagerVariable(int16) { return 0; }

int16 CharacterType(Ptr, int16, int16) {
  QUIT();
  return 0;
}
