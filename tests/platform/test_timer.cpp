// The tick clock, tick waits and the date routines, on the manual host clock.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "host/HostClock.h"
#include "platform/Events.h"
#include "platform/SysTimer.h"

namespace {

class ManualClock : public ::testing::Test {
 protected:
  void SetUp() override { Host_Clock_Set_Manual(true); }
  void TearDown() override { Host_Clock_Set_Manual(false); }
};

TEST_F(ManualClock, TicksAreMillisecondsShiftedByFour) {
  Host_Clock_Set_Millis(0);
  EXPECT_EQ(TickCount(), 0u);
  Host_Clock_Advance_Millis(15);
  EXPECT_EQ(TickCount(), 0u);  // 15 ms is not yet a tick
  Host_Clock_Advance_Millis(1);
  EXPECT_EQ(TickCount(), 1u);
  Host_Clock_Set_Millis(1600);
  EXPECT_EQ(TickCount(), 100u);
  EXPECT_EQ(GetDblTime(), 30u);
}

TEST_F(ManualClock, TickCountWrapsWithTheMillisecondCount) {
  Host_Clock_Set_Millis(0xFFFFFFF0u);
  EXPECT_EQ(TickCount(), 0x0FFFFFFFu);
  Host_Clock_Advance_Millis(0x20);  // the 32-bit millisecond count wraps
  EXPECT_EQ(Host_Clock_Millis(), 0x10u);
  EXPECT_EQ(TickCount(), 1u);
}

TEST_F(ManualClock, ElapsedTicksSurviveTheWrap) {
  Host_Clock_Set_Millis(0xFFFFFF00u);  // 16 ticks before the wrap
  SysTimer_Init();
  EXPECT_EQ(Get_App_Elapsed(), 0u);
  Host_Clock_Advance_Millis(32 * 16);
  EXPECT_EQ(Get_App_Elapsed(), 32u);
}

TEST_F(ManualClock, SleepWaitsSixteenMillisecondsATick) {
  struct Case {
    int16 ticks;
    uint32 ms;
  };
  const Case cases[] = {
      {100, 1600},    // the classic case
      {1, 16},
      {2047, 32752},  // the largest count callers pass
      {2048, 32768},  // past it the product is unsigned, never negative
      {4096, 65536},  // and does not wrap to a short wait
      {32767, 524272},
      {0, 0},
      {-5, 0},        // a negative count does not wait
  };
  for (const Case& c : cases) {
    Host_Clock_Set_Millis(1000);
    Sleep(c.ticks);
    EXPECT_EQ(Host_Clock_Millis() - 1000u, c.ms) << "ticks " << c.ticks;
  }
}

TEST_F(ManualClock, DateTimeComesFromTheLocalClock) {
  Host_Clock_Set_Local_Seconds(1709214330);  // 2024-02-29 13:45:30, a Thursday
  a_datetime_rec dt{};
  Get_Date_Time(dt);
  EXPECT_EQ(dt.year, 2024);
  EXPECT_EQ(dt.month, 2);
  EXPECT_EQ(dt.day, 29);
  EXPECT_EQ(dt.hour, 13);
  EXPECT_EQ(dt.minute, 45);
  EXPECT_EQ(dt.second, 30);
  EXPECT_EQ(dt.dayOfWeek, 4);  // Sunday is 0

  Host_Clock_Set_Local_Seconds(946684799);  // 1999-12-31 23:59:59, a Friday
  Host_Clock_Advance_Millis(1000);          // the wall clock moves with the manual clock
  Get_Date_Time(dt);
  EXPECT_EQ(dt.year, 2000);
  EXPECT_EQ(dt.month, 1);
  EXPECT_EQ(dt.day, 1);
  EXPECT_EQ(dt.hour, 0);
  EXPECT_EQ(dt.second, 0);
  EXPECT_EQ(dt.dayOfWeek, 6);  // Saturday
}

TEST(SysTimer, RealClockGivesAPlausibleDate) {
  a_datetime_rec dt{};
  Get_Date_Time(dt);
  EXPECT_GE(dt.year, 2020);
  EXPECT_GE(dt.month, 1);
  EXPECT_LE(dt.month, 12);
  EXPECT_GE(dt.dayOfWeek, 0);
  EXPECT_LE(dt.dayOfWeek, 6);
}

TEST(SysTimer, SleepWaitsOnTheRealClock) {
  uint32 start = Host_Clock_Millis();
  Sleep(3);
  EXPECT_GE(Host_Clock_Millis() - start, 48u);
}

TEST(SysTimer, CompareDateTimeOrdersByEachFieldAndIgnoresTheWeekday) {
  const a_datetime_rec base{2024, 6, 15, 12, 30, 45, 7};
  EXPECT_EQ(Compare_Date_Time(base, base), 0);
  a_datetime_rec other_day = base;
  other_day.dayOfWeek = 2;
  EXPECT_EQ(Compare_Date_Time(base, other_day), 0);

  // A later value in each field in turn, with every later field smaller, so
  // a comparison that skipped a field or took them out of order would fail.
  const a_datetime_rec later[] = {
      {2025, 1, 1, 0, 0, 0, 1},   {2024, 7, 1, 0, 0, 0, 1},    {2024, 6, 16, 0, 0, 0, 1},
      {2024, 6, 15, 13, 0, 0, 1}, {2024, 6, 15, 12, 31, 0, 1}, {2024, 6, 15, 12, 30, 46, 1},
  };
  for (const a_datetime_rec& l : later) {
    EXPECT_EQ(Compare_Date_Time(base, l), -1) << l.year << "-" << l.month << "-" << l.day;
    EXPECT_EQ(Compare_Date_Time(l, base), 1);
  }
}

TEST(SysTimer, DaysBetweenFollowsTheCalendar) {
  // Day of the year of each month's first day in 2023 and in the leap year 2024.
  const int32 first_2023[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  for (int16 m = 1; m <= 12; ++m) {
    EXPECT_EQ(Days_Between(2023, 1, 1, 2023, m, 1), first_2023[m - 1]) << "month " << m;
    EXPECT_EQ(Days_Between(2024, 1, 1, 2024, m, 1), first_2023[m - 1] + (m > 2 ? 1 : 0))
        << "month " << m;
  }
  struct Case {
    int16 ya, ma, da, yb, mb, db;
    int32 days;
  };
  const Case cases[] = {
      {2023, 12, 31, 2024, 1, 1, 1},   {2023, 1, 1, 2024, 1, 1, 365},
      {2024, 1, 1, 2025, 1, 1, 366},   {2000, 2, 28, 2000, 3, 1, 2},  // 2000 is a leap year
      {1999, 2, 28, 1999, 3, 1, 1},    {2024, 3, 1, 2024, 2, 29, -1},
      {2010, 5, 17, 2020, 5, 17, 3653},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Days_Between(c.ya, c.ma, c.da, c.yb, c.mb, c.db), c.days)
        << c.ya << "-" << c.ma << "-" << c.da << " to " << c.yb << "-" << c.mb << "-" << c.db;
  // The day number itself: 365 a year, a day per fourth year, 31 a month
  // less the correction from March on.
  EXPECT_EQ(CalcDT(2000, 1, 1), 365 * 2000 + 1 + 1999 / 4);
  EXPECT_EQ(CalcDT(2000, 3, 1), 365 * 2000 + 62 + 1 + 500 - 3);
}

}  // namespace
