// Events: the tick clock and the double-click interval. (The event records
// and the queue calls join this module with the window layer.)
#pragma once

#include "platform/Types.h"

// Ticks of 16 ms: the host's millisecond count shifted right by 4, unsigned
// 32 bits (so it wraps together with the millisecond count).
uint32 TickCount();

// The double-click interval in ticks.
uint32 GetDblTime();
