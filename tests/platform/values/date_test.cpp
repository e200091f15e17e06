#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/date.h"
#include "platform/error.h"
#include "support/error_of.h"

namespace zelmora {
namespace {

TEST(DateTest, OnlyExistingDaysInRange) {
  EXPECT_TRUE(Date::FromYMD(2024, 2, 29));
  EXPECT_FALSE(Date::FromYMD(2023, 2, 29));
  EXPECT_FALSE(Date::FromYMD(1900, 2, 29));  // divisible by 100, not by 400
  EXPECT_TRUE(Date::FromYMD(2000, 2, 29));
  EXPECT_FALSE(Date::FromYMD(2024, 4, 31));
  EXPECT_TRUE(Date::FromYMD(2024, 12, 31));
  EXPECT_FALSE(Date::FromYMD(2024, 13, 1));
  EXPECT_FALSE(Date::FromYMD(2024, 0, 1));
  EXPECT_FALSE(Date::FromYMD(2024, 1, 0));
  EXPECT_FALSE(Date::FromYMD(99, 12, 31));
  EXPECT_TRUE(Date::FromYMD(100, 1, 1));
  EXPECT_TRUE(Date::FromYMD(9999, 12, 31));
  EXPECT_FALSE(Date::FromYMD(10000, 1, 1));
  EXPECT_TRUE(Date::FromYMDHMS(2024, 1, 1, 23, 59, 59));
  EXPECT_FALSE(Date::FromYMDHMS(2024, 1, 1, 24, 0, 0));
  EXPECT_FALSE(Date::FromYMDHMS(2024, 1, 1, 0, 60, 0));
  EXPECT_FALSE(Date::FromYMDHMS(2024, 1, 1, 0, 0, -1));
}

TEST(DateTest, SerialDaysFollowTheCalendar) {
  EXPECT_EQ(Date::FromYMD(1899, 12, 30)->days(), 0);
  EXPECT_EQ(Date(), *Date::FromYMD(1899, 12, 30));
  EXPECT_EQ(Date::FromYMD(1900, 1, 1)->days(), 2);
  EXPECT_EQ(Date::FromYMD(1900, 3, 1)->days(), 61);
  EXPECT_EQ(Date::FromYMD(2024, 3, 5)->days(), 45356);
  EXPECT_EQ(Date::FromYMD(1753, 1, 1)->days(), -53688);
  EXPECT_EQ(Date::FromYMD(100, 1, 1)->days(), -657434);
  EXPECT_EQ(Date::FromYMD(9999, 12, 31)->days(), 2958465);

  // Walk every day from 1753 to 9999 with an independent calendar.
  int y = 1753, m = 1, d = 1;
  for (int32_t serial = -53688; serial <= 2958465; ++serial) {
    const Date date = Date::FromSerial(serial);
    if (date.year() != y || date.month() != m || date.day() != d) {
      FAIL() << "serial " << serial << " gives " << date.ToIso() << ", expected " << y << '-' << m << '-' << d;
    }
    const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
    const int length = m == 2 ? (leap ? 29 : 28) : (m == 4 || m == 6 || m == 9 || m == 11) ? 30 : 31;
    if (++d > length) {
      d = 1;
      if (++m > 12) {
        m = 1;
        ++y;
      }
    }
  }
  EXPECT_EQ(y, 10000);

  EXPECT_THROW(Date::FromSerial(2958466), Error);
  EXPECT_THROW(Date::FromSerial(-657435), Error);
  const Date carried = Date::FromSerial(0, 86400 + 3600);
  EXPECT_EQ(carried.days(), 1);
  EXPECT_EQ(carried.hour(), 1);
  const Date before = Date::FromSerial(0, -1);
  EXPECT_EQ(before.days(), -1);
  EXPECT_EQ(before.seconds(), 86399);
}

TEST(DateTest, StrictParsers) {
  EXPECT_EQ(Date::ParseIso("2024-03-05"), Date::FromYMD(2024, 3, 5));
  EXPECT_EQ(Date::ParseIso("2024-03-05 13:45:10"), Date::FromYMDHMS(2024, 3, 5, 13, 45, 10));
  EXPECT_EQ(Date::ParseCompact("20240305"), Date::FromYMD(2024, 3, 5));
  EXPECT_EQ(Date::ParseDayMonthYear("5/3/2024"), Date::FromYMD(2024, 3, 5));
  EXPECT_EQ(Date::ParseDayMonthYear("05/03/2024"), Date::FromYMD(2024, 3, 5));
  EXPECT_EQ(Date::ParseDayMonthYear("29/02/2000"), Date::FromYMD(2000, 2, 29));

  for (const char* bad : {"2024-13-01", "2024-02-30", "2024-3-5", "2024-03-05T10:00:00", "2024-03-05 24:00:00",
                          "2024-03-05 10:00", " 2024-03-05", "2024-03-05 ", "0099-12-31", "", "2024/03/05"}) {
    EXPECT_FALSE(Date::ParseIso(bad)) << '"' << bad << '"';
  }
  for (const char* bad : {"20240230", "20231301", "2024035", "202403050", "2024-03-", "", "2024030a"}) {
    EXPECT_FALSE(Date::ParseCompact(bad)) << '"' << bad << '"';
  }
  for (const char* bad : {"1/1/24", "1/1/999", "31/04/2024", "29/02/2023", "29/02/1900", "5/3/2024 10:00:00",
                          "005/03/2024", "5/003/2024", "5/3/20245", "/3/2024", "5-3-2024", ""}) {
    EXPECT_FALSE(Date::ParseDayMonthYear(bad)) << '"' << bad << '"';
  }
  // Any of the three forms, and nothing else.
  EXPECT_EQ(Date::Parse("2024-03-05"), Date::FromYMD(2024, 3, 5));
  EXPECT_EQ(Date::Parse("20240305"), Date::FromYMD(2024, 3, 5));
  EXPECT_EQ(Date::Parse("5/3/2024"), Date::FromYMD(2024, 3, 5));
  for (const char* bad : {"", "2024-13-01", "20240230", "1/1/24", "hello", "45356", "2024.03.05"}) {
    EXPECT_FALSE(Date::Parse(bad)) << '"' << bad << '"';
  }
}

TEST(DateTest, TextForms) {
  const Date d = *Date::FromYMD(2024, 3, 5);
  EXPECT_EQ(d.ToIso(), "2024-03-05");
  EXPECT_EQ(d.ToCompact(), "20240305");
  EXPECT_EQ(d.ToDayMonthYear(), "05/03/2024");
  const Date t = *Date::FromYMDHMS(2024, 3, 5, 9, 5, 7);
  EXPECT_EQ(t.ToDayMonthYear(), "05/03/2024 09:05:07");
  EXPECT_EQ(t.ToIso(), "2024-03-05");
  EXPECT_EQ(Date::FromYMD(100, 1, 1)->ToIso(), "0100-01-01");
  EXPECT_EQ(Date::FromYMD(1753, 1, 1)->ToCompact(), "17530101");
  // Each text form parses back to the same date.
  EXPECT_EQ(Date::Parse(t.ToDayMonthYear().substr(0, 10)), d);
  EXPECT_EQ(Date::Parse(d.ToCompact()), d);
  EXPECT_EQ(Date::Parse(d.ToIso()), d);
}

TEST(DateTest, DoubleFormCountsTimeFromMidnight) {
  const Date noon = Date::FromOADate(45356.5);
  EXPECT_EQ(noon, Date::FromYMDHMS(2024, 3, 5, 12, 0, 0));
  EXPECT_EQ(noon.ToOADate(), 45356.5);
  // Before day 0 the fraction still counts forward from midnight.
  const Date early = Date::FromOADate(-1.25);
  EXPECT_EQ(early, Date::FromYMDHMS(1899, 12, 29, 6, 0, 0));
  EXPECT_EQ(early.ToOADate(), -1.25);
  EXPECT_EQ(Date::FromOADate(-0.5), Date::FromYMDHMS(1899, 12, 30, 12, 0, 0));
  const Date old = *Date::FromYMDHMS(1753, 1, 1, 18, 0, 0);
  EXPECT_EQ(old.ToOADate(), -53688.75);
  EXPECT_EQ(Date::FromOADate(old.ToOADate()), old);
  // Seconds round to the nearest; 23:59:59.6 is the next midnight.
  EXPECT_EQ(Date::FromOADate(45356 + 86399.6 / 86400), Date::FromYMD(2024, 3, 6));
  EXPECT_EQ(Date::FromOADate(-1.9999999), Date::FromYMD(1899, 12, 28));
  EXPECT_EQ(Date::FromOADate(45356 + 3600.4 / 86400), Date::FromYMDHMS(2024, 3, 5, 1, 0, 0));
  EXPECT_EQ(Date::FromOADate(2958465.5).ToDayMonthYear(), "31/12/9999 12:00:00");
  for (double bad : {2958466.0, -657435.0, 1e300, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(testing::ErrorNumberOf([&] { Date::FromOADate(bad); }), 6) << bad;
  }
}

}  // namespace
}  // namespace zelmora
