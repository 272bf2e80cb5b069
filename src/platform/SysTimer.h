// The tick clock's elapsed time, tick-based waits and the local date and time.
// A tick is 16 ms (see TickCount in Events.h).
#pragma once

#include "platform/Types.h"

// Local date and time; every field is a 16-bit integer. dayOfWeek counts
// from Sunday = 0 (as file dates do). Byte-aligned, because stored records (the
// preferences) hold it at odd offsets and callers pass those fields by reference.
#pragma pack(push, 1)
struct a_datetime_rec {
  int16 year, month, day, hour, minute, second, dayOfWeek;
};
#pragma pack(pop)
using DateTimeRec = a_datetime_rec;
static_assert(sizeof(a_datetime_rec) == 14);

void SysTimer_Init();

// Ticks since SysTimer_Init (correct across a wrap of the tick count).
uint32 Get_App_Elapsed();

// Waits ticks x 16 ms (the whole product: a long wait is not cut short by
// a 16-bit wrap); zero or a negative count returns at once.
void Sleep(int16 ticks);
// The milliseconds Sleep waits for a count of ticks.
uint32 Sleep_Millis(int16 ticks);
// Waits like Sleep, but returns as soon as a mouse message (0x200..0x20A)
// or a keyboard message (0x100..0x108) of the main window is queued (it is
// left in the queue).
void Sleep_Interruptable(int16 ticks);

// The local date and time now.
void Get_Date_Time(a_datetime_rec& datetime);

// -1, 0 or 1 as a is earlier than, equal to or later than b, comparing year,
// month, day, hour, minute and second in that order (the day of the week is
// not compared).
int16 Compare_Date_Time(const a_datetime_rec& a, const a_datetime_rec& b);

// A day number for a date (used only for differences between dates).
int32 CalcDT(int16 yyyy, int16 mm, int16 dd);

// Days from date A to date B (negative when B is earlier).
int32 Days_Between(int16 year_A, int16 month_A, int16 day_A, int16 year_B, int16 month_B,
                   int16 day_B);
