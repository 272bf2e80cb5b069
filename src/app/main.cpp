// Start-up of the program. Until the main window exists, the program starts
// its services in order, reads the preferences, reports its version and the
// interface language it chose, and ends.
#include <cstdio>

#include "doc/VoskDef.h"
#include "platform/LangUtil.h"
#include "platform/MString.h"
#include "platform/Resources.h"
#include "platform/SysErr.h"
#include "platform/SysInfo.h"
#include "platform/SysTimer.h"
#include "platform/VoskErr.h"
#include "platform/VoskPref.h"

int main(int, char**) {
  SysErr_Init();
  SysTimer_Init();
  Resources_Init();
  ResUtil_Init();
  Init_Info();
  LangUtil_Init();
  VoskDef_Init();

  bool8 new_pref = false;
  Prefs_Read(new_pref);

  Str255 name{}, version{}, language{};
  Get_Translated_String(name, 1001, 8);
  info_prog_version(version);
  Append_Language_2(language, gs.pref.language_offset);
  std::printf("%s %s\ninterface language: %s\n", name, version, language);
  return 0;
}
