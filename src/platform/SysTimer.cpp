#include "platform/SysTimer.h"

#include "host/HostClock.h"
#include "host/HostWin.h"
#include "platform/Events.h"
#include "platform/SysLoop.h"

namespace {

int32 g_start_time = 0;

constexpr uint32 kTickMask = 0x0FFFFFFFu;
}

void SysTimer_Init() { g_start_time = int32(TickCount()); }

// The tick count is the 32-bit millisecond count shifted right by 4, so it
// wraps at 2^28, not 2^32; masking the difference keeps the elapsed time right
// across that wrap (every 49.7 days of system uptime).
uint32 Get_App_Elapsed() { return (TickCount() - uint32(g_start_time)) & kTickMask; }

uint32 Sleep_Millis(int16 ticks) {
  // A negative count would otherwise become an almost endless wait; treat it
  // as no wait at all. The product is formed in 32 bits: in 16 bits a count
  // above 4095 ticks would wrap to a much shorter wait (4096 ticks to none).
  if (ticks <= 0) return 0;
  return uint32(ticks) * 16u;
}

void Sleep(int16 ticks) {
  const uint32 ms = Sleep_Millis(ticks);
  if (ms != 0) Host_Sleep_Millis(ms);
}

void Sleep_Interruptable(int16 ticks) {
  const uint32 ms = Sleep_Millis(ticks);
  const uint32 start = Host_Clock_Millis();
  for (;;) {
    // Looking at the queue also brings in the input that has arrived.
    MSG msg;
    if (PeekMessage(&msg, main_hwnd, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE) ||
        PeekMessage(&msg, main_hwnd, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE))
      return;
    const uint32 spent = Host_Clock_Millis() - start;
    if (spent >= ms) return;
    Host_Sleep_Millis(ms - spent < 10 ? ms - spent : 10);
  }
}

void Get_Date_Time(a_datetime_rec& datetime) {
  Host_Local_Time lt{};
  Host_Clock_Local_Time(lt);
  datetime.year = lt.year;
  datetime.month = lt.month;
  datetime.day = lt.day;
  datetime.hour = lt.hour;
  datetime.minute = lt.minute;
  datetime.second = lt.second;
  datetime.dayOfWeek = lt.dayOfWeek;
}

int16 Compare_Date_Time(const a_datetime_rec& a, const a_datetime_rec& b) {
  const int16 av[6] = {a.year, a.month, a.day, a.hour, a.minute, a.second};
  const int16 bv[6] = {b.year, b.month, b.day, b.hour, b.minute, b.second};
  for (int i = 0; i < 6; ++i) {
    if (av[i] < bv[i]) return -1;
    if (av[i] > bv[i]) return 1;
  }
  return 0;
}

int32 CalcDT(int16 yyyy, int16 mm, int16 dd) {
  int32 z, x;
  if (mm == 1 || mm == 2) {
    z = int32(yyyy) - 1;
    x = 0;
  } else {
    z = yyyy;
    x = (4 * int32(mm) + 23) / 10;
  }
  return 365 * int32(yyyy) + 31 * (int32(mm) - 1) + int32(dd) + z / 4 - x;
}

int32 Days_Between(int16 year_A, int16 month_A, int16 day_A, int16 year_B, int16 month_B,
                   int16 day_B) {
  return CalcDT(year_B, month_B, day_B) - CalcDT(year_A, month_A, day_A);
}
