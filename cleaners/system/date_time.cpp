#include "cleaners/system/date_time.h"

#include <cstdint>

namespace {

// Days from 1 January of year 0 (proleptic Gregorian) to the given date.
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era;
}

}  // namespace

platform::Status DateFromCalendar(const platform::url_cache::CalendarTime& time, DateTime* date) {
  if (time.year < 100 || time.year > 9999)
    return platform::Status::FromHresult(platform::kOutOfRange);
  const std::int64_t days =
      DaysFromCivil(time.year, time.month, time.day) - DaysFromCivil(1899, 12, 30);
  const double fraction = (time.hour * 3600 + time.minute * 60 + time.second) / 86400.0;
  // Before the epoch the day count is negative and the time of day is still counted away from
  // zero: 29 December 1899, 06:00 is -1.25.
  *date = days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
  return platform::Status::Ok();
}

DateTime FileTimeToDate(platform::url_cache::FileTime time) {
  // A time the system cannot place on its calendar (a zero time shifted before 1601 by a
  // western time zone, a value past 2^63), or one past the year 9999: the entry has no usable
  // date, not a broken one.
  platform::Result<platform::url_cache::CalendarTime> local =
      platform::url_cache::ToLocalCalendarTime(time);
  DateTime date = 0;
  if (!local.ok() || !DateFromCalendar(local.value, &date))
    return 0;
  return date;
}
