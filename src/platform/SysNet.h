// Handing a document or a web address to the desktop, which opens it with
// the user's preferred program (see host/HostLaunch.h).
#pragma once

#include "platform/SysIO.h"
#include "platform/Types.h"

// 0 when the file or address was handed to the desktop's open command; -1
// when it could not be (no open command, an empty or unsafe name), and the
// caller tells the user (alert 35 for a web page). The open command's verdict
// comes later (it is watched from the idle work, Host_Poll_Opens): when it
// ends in failure the user is told then, alert 35 for a web page and alert 72
// naming the file for a document.
int16 Launch_Doc(const FSSpec& path);
int16 Launch_URL(CStrSpan url);
