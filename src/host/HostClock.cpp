#include "host/HostClock.h"

#include <atomic>
#include <cerrno>
#include <ctime>

namespace {

// Manual state. Everything runs on one thread, but the sound backend may read
// the clock from its own thread, so the values are atomics.
std::atomic<bool> g_manual{false};
std::atomic<uint32> g_manual_ms{0};
// Manual wall clock in local milliseconds since 1970, so sub-second advances add up.
std::atomic<int64> g_manual_wall_ms{946684800LL * 1000};  // 2000-01-01 00:00:00

constexpr int64 kDefaultWallSeconds = 946684800LL;

void Fill_From_Tm(const std::tm& tm, Host_Local_Time& out) {
  out.year = int16(tm.tm_year + 1900);
  out.month = int16(tm.tm_mon + 1);
  out.day = int16(tm.tm_mday);
  out.hour = int16(tm.tm_hour);
  out.minute = int16(tm.tm_min);
  out.second = int16(tm.tm_sec > 59 ? 59 : tm.tm_sec);
  out.dayOfWeek = int16(tm.tm_wday);
}

}  // namespace

uint32 Host_Clock_Millis() {
  if (g_manual.load()) return g_manual_ms.load();
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  // Reduce modulo 2^32 in unsigned arithmetic: the count wraps like a 32-bit
  // system millisecond counter.
  uint64 ms = uint64(ts.tv_sec) * 1000u + uint64(ts.tv_nsec) / 1000000u;
  return uint32(ms);
}

void Host_Clock_Local_Time(Host_Local_Time& out) {
  std::tm tm{};
  if (g_manual.load()) {
    int64 wall_ms = g_manual_wall_ms.load();
    // Floor division so times before 1970 still land on the right second.
    int64 secs = wall_ms >= 0 ? wall_ms / 1000 : -((-wall_ms + 999) / 1000);
    std::time_t t = std::time_t(secs);
    gmtime_r(&t, &tm);  // the manual clock is already local time
  } else {
    std::time_t t = std::time(nullptr);
    localtime_r(&t, &tm);
  }
  Fill_From_Tm(tm, out);
}

void Host_Sleep_Millis(uint32 ms) {
  if (g_manual.load()) {
    Host_Clock_Advance_Millis(ms);
    return;
  }
  timespec req{time_t(ms / 1000), long(ms % 1000) * 1000000L};
  timespec rem{};
  while (nanosleep(&req, &rem) != 0 && errno == EINTR) req = rem;
}

void Host_Clock_Set_Manual(bool manual) {
  if (manual && !g_manual.load()) {
    g_manual_ms.store(0);
    g_manual_wall_ms.store(kDefaultWallSeconds * 1000);
  }
  g_manual.store(manual);
}

bool Host_Clock_Is_Manual() { return g_manual.load(); }

void Host_Clock_Set_Millis(uint32 ms) { g_manual_ms.store(ms); }

void Host_Clock_Advance_Millis(uint32 ms) {
  g_manual_ms.fetch_add(ms);  // unsigned: wraps at 2^32 by definition
  g_manual_wall_ms.fetch_add(int64(ms));
}

void Host_Clock_Set_Local_Seconds(int64 seconds) { g_manual_wall_ms.store(seconds * 1000); }
