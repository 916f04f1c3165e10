#include "cleaners/system/date_time.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "support/url_cache_entries.h"

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
  EXPECT_EQ(FileTimeToDate(0x8000000000000000ULL), 0);
  // A time past the year 9999 (31 December 9999, 23:59:59 UTC is already in the year 10000 east
  // of Greenwich) gives the blank date too.
  const FILETIME year_10000 = test::UtcFileTime(10000, 1, 1, 0, 0, 0);
  EXPECT_EQ(
      FileTimeToDate((std::uint64_t{year_10000.dwHighDateTime} << 32) | year_10000.dwLowDateTime),
      0);
}

}  // namespace
