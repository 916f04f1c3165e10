#include "cleaners/system/date_time.h"

#include <gtest/gtest.h>

namespace {

using platform::url_cache::CalendarTime;

double Date(const CalendarTime& time) {
  DateTime date = -12345;
  EXPECT_TRUE(DateFromCalendar(time, &date).ok());
  return date;
}

TEST(DateFromCalendar, CountsDaysFromTheEndOf1899) {
  EXPECT_EQ(Date({1899, 12, 30, 0, 0, 0}), 0);
  EXPECT_EQ(Date({1900, 1, 1, 0, 0, 0}), 2);
  EXPECT_EQ(Date({2024, 3, 15, 12, 0, 0}), 45366.5);
  EXPECT_EQ(Date({2000, 2, 29, 18, 0, 0}), 36585.75);
  EXPECT_EQ(Date({9999, 12, 31, 0, 0, 0}), 2958465);
  EXPECT_NEAR(Date({2024, 3, 15, 23, 59, 59}), 45366 + 86399 / 86400.0, 1e-12);
  // Before the epoch, the time of day still moves away from zero.
  EXPECT_EQ(Date({1899, 12, 29, 6, 0, 0}), -1.25);
  EXPECT_EQ(Date({100, 1, 1, 0, 0, 0}), -657434);
}

TEST(DateFromCalendar, YearsAFourDigitDateCannotHoldAreRefused) {
  DateTime date = 3;
  EXPECT_TRUE(DateFromCalendar({10000, 1, 1, 0, 0, 0}, &date).Is(platform::kOutOfRange));
  EXPECT_TRUE(DateFromCalendar({99, 12, 31, 0, 0, 0}, &date).Is(platform::kOutOfRange));
  EXPECT_EQ(date, 3);
}

TEST(FileTimeToDate, TimeTheSystemCannotConvertGivesTheBlankDate) {
  DateTime date = 3;
  EXPECT_TRUE(FileTimeToDate(0x8000000000000000ULL, &date).ok());
  EXPECT_EQ(date, 0);
}

}  // namespace
