// The few script-manager calls the portable code makes. Text here is
// Unicode throughout, so there is one script and no keyboard script to set.
#pragma once

#include "platform/Types.h"

// Does nothing.
void KeyScript(int16 code);
// Always 0 (the Roman script).
int16 FontToScript(int16 font);
int32 GetScriptManagerVariable(int16 selector);
// Not supported: QUIT, result 0.
int16 CharacterType(Ptr textBuf, int16 textOffset, int16 script);
