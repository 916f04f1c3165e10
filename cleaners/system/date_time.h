#pragma once
// Turning the URL cache's time stamps into local date-times.

#include "cleaners/system/cache_entry.h"
#include "platform/status.h"
#include "platform/url_cache.h"

// The OLE Automation date of a calendar time. Fails with kOutOfRange outside the years 100 to
// 9999, which such a date cannot hold.
platform::Status DateFromCalendar(const platform::url_cache::CalendarTime& time, DateTime* date);

// The cache time stamp (UTC) as a local date-time; milliseconds are dropped. A time the date
// cannot hold (beyond the year 9999 in local time, as 31 December 9999 23:59:59 UTC already is
// east of Greenwich) or that the system cannot convert at all gives the blank date 0.
DateTime FileTimeToDate(platform::url_cache::FileTime time);
