#include "platform/Events.h"

#include "host/HostClock.h"

uint32 TickCount() { return Host_Clock_Millis() >> 4; }

uint32 GetDblTime() { return 30; }
