#pragma once
// Turning the URL cache's time stamps into local date-times.

#include "cleaners/system/cache_entry.h"
#include "platform/status.h"
#include "platform/url_cache.h"

// The OLE Automation date of a calendar time. Fails with kOutOfRange outside the years 100 to
// 9999, which such a date cannot hold.
platform::Status DateFromCalendar(const platform::url_cache::CalendarTime& time, DateTime* date);

// The cache time stamp (UTC) as a local date-time; milliseconds are dropped. Fails for a time
// beyond the year 9999. A time the system cannot convert at all gives the blank date 0.
platform::Status FileTimeToDate(platform::url_cache::FileTime time, DateTime* date);
