// Handing a document or a web address to the desktop, which opens it with
// the user's preferred program (see host/HostLaunch.h).
#pragma once

#include "platform/SysIO.h"
#include "platform/Types.h"

// 0 when the desktop took the file or address; -1 when it could not (no open
// command, nothing to open it with, an empty or unsafe name). The caller tells
// the user (alert 35 for a web page).
int16 Launch_Doc(const FSSpec& path);
int16 Launch_URL(CStrSpan url);
