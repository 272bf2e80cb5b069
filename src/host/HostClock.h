// The host's clocks: a monotonic millisecond count (the source of the tick
// clock) and the local wall-clock time. Both can be switched to a manual
// clock that tests drive: while manual, time moves only when a test sets or
// advances it, and Host_Sleep_Millis advances it instead of sleeping, so
// waits and timeouts run instantly and deterministically.
#pragma once

#include "platform/Types.h"

// Broken-down local time, as the date routines of the platform layer want it.
struct Host_Local_Time {
  int16 year;       // e.g. 2024
  int16 month;      // 1..12
  int16 day;        // 1..31
  int16 hour;       // 0..23
  int16 minute;     // 0..59
  int16 second;     // 0..59 (a leap second reads as 59)
  int16 dayOfWeek;  // 0 = Sunday .. 6 = Saturday
};

// Milliseconds since an arbitrary fixed point, monotonic, wrapping at 2^32
// like the system millisecond count the tick clock was defined over.
uint32 Host_Clock_Millis();

// The current local date and time.
void Host_Clock_Local_Time(Host_Local_Time& out);

// Blocks the caller for ms milliseconds (the manual clock advances instead).
void Host_Sleep_Millis(uint32 ms);

// Manual clock. Host_Clock_Set_Manual(true) freezes both clocks: the
// millisecond count starts at 0 and the wall clock at 1 January 2000,
// 00:00:00 local time, unless set otherwise below. Host_Clock_Set_Manual(false)
// returns to the system clocks.
void Host_Clock_Set_Manual(bool manual);
bool Host_Clock_Is_Manual();
// Sets the manual millisecond count (wraps like the real one).
void Host_Clock_Set_Millis(uint32 ms);
// Moves both manual clocks forward by ms milliseconds.
void Host_Clock_Advance_Millis(uint32 ms);
// Sets the manual wall clock to local seconds since 1970-01-01 00:00:00. The
// manual wall clock has no time zone: it is local time by definition.
void Host_Clock_Set_Local_Seconds(int64 seconds);
