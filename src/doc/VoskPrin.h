// The printing module's command-line override record: the settings of an
// override run ("/IF", "/OF", "/CX" ...). Only the input file is acted on;
// the other settings are kept for the print path.
#pragma once

#include "platform/SysIO.h"
#include "platform/Types.h"

enum a_override_parm : uint8 {
  IF_PARM = 0,
  OF_PARM = 1,
  CX_PARM = 2,
  CY_PARM = 3,
  DO_PARM = 4,
  DI_PARM = 5,
  DS_PARM = 6,
  SN_PARM = 7,
};

struct a_override_spec {
  uint8 flags;  // set of a_override_parm
  FSSpec if_file;
  FSSpec of_file;
  int16 cx, cy, do_, di, ds;  // "/DO" is stored in do_
  char s[10][256];            // "/S0" .. "/S9", NUL-terminated
};

extern a_override_spec overrides;

// Module start-up: clears the override record.
void VoskPrin_Init();
