#include "cleaners/system/date_time.h"

#include <gtest/gtest.h>

namespace {

TEST(DateFromCalendar, CountsDaysFromTheEndOf1899WithinFourDigitYears) {
  struct Case {
    platform::url_cache::CalendarTime time;
    double date;
  };
  for (const Case& c :
       {Case{{1899, 12, 30, 0, 0, 0}, 0}, Case{{1900, 1, 1, 0, 0, 0}, 2},
        Case{{2000, 2, 29, 18, 0, 0}, 36585.75}, Case{{9999, 12, 31, 0, 0, 0}, 2958465},
        // Before the epoch the time of day still counts away from zero.
        Case{{1899, 12, 29, 6, 0, 0}, -1.25}, Case{{100, 1, 1, 0, 0, 0}, -657434}}) {
    DateTime date = -1;
    ASSERT_TRUE(DateFromCalendar(c.time, &date).ok());
    EXPECT_EQ(date, c.date) << c.time.year;
  }
  DateTime date = 3;
  EXPECT_TRUE(DateFromCalendar({10000, 1, 1, 0, 0, 0}, &date).Is(platform::kOutOfRange));
  EXPECT_TRUE(DateFromCalendar({99, 12, 31, 0, 0, 0}, &date).Is(platform::kOutOfRange));
  EXPECT_EQ(date, 3);
  // A time the system cannot place on its calendar at all gives the blank date.
  EXPECT_TRUE(FileTimeToDate(0x8000000000000000ULL, &date).ok());
  EXPECT_EQ(date, 0);
}

}  // namespace
