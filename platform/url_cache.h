#pragma once
// The URL cache of the Windows Internet services: walking every entry, deleting an entry, and
// turning the cache's time stamps into local calendar times.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/status.h"

namespace platform::url_cache {

// Entry type bits, compared by callers as whole values.
inline constexpr std::uint32_t kNormalEntry = 0x00000001;
inline constexpr std::uint32_t kCookieEntry = 0x00100000;
inline constexpr std::uint32_t kUrlHistoryEntry = 0x00200000;

// A cache time stamp: 100-nanosecond intervals since 1 January 1601, UTC.
using FileTime = std::uint64_t;

// One cache entry, copied out of the buffer the cache filled. A string the cache did not give
// (a null address, or one pointing outside the entry's buffer) is empty.
struct RawEntry {
  std::uint32_t type = 0;
  std::wstring source_url_name;
  std::wstring local_file_name;
  std::wstring header_info;
  std::wstring file_extension;
  std::uint32_t use_count = 0;
  std::uint32_t hit_rate = 0;
  std::uint32_t size_low = 0;
  std::uint32_t size_high = 0;
  FileTime last_modified_time = 0;
  FileTime expire_time = 0;
  FileTime last_access_time = 0;
  FileTime last_sync_time = 0;
};

// Search patterns. Windows' cache returns the content entries only to a search without a
// pattern; its cookies come with "cookie:" and its URL history with "visited:".
inline constexpr const wchar_t* kContentPattern = nullptr;
inline constexpr const wchar_t kCookiePattern[] = L"cookie:";
inline constexpr const wchar_t kHistoryPattern[] = L"visited:";

// Walks the entries the cache returns for `pattern` (kContentPattern: none), in the order it
// returns them, and hands each entry to `visit`. Every entry costs two cache calls: a probe
// without buffer, which fails with ERROR_INSUFFICIENT_BUFFER and reports the size the entry
// needs, then the real call with a buffer of exactly that size whose first word holds it.
//
// A cache call or an allocation that fails ends the walk quietly and the walk returns success:
// no entry for the pattern (ERROR_NO_MORE_ITEMS on the first call), the end of the cache, an
// entry that cannot be read. A failure returned by `visit` ends the walk at once and is
// returned. The search handle and the entry's buffer are released on every path.
Status WalkCache(const wchar_t* pattern, const std::function<Status(const RawEntry&)>& visit);

// Removes the entry of that source URL from the cache (the cache deletes its local file too).
Status DeleteEntry(const std::wstring& source_url_name);

// A time of day on a calendar date, to the second.
struct CalendarTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The UTC time stamp converted to the local time zone. Fails for a value the system cannot
// express as a calendar time (at or above 2^63).
Result<CalendarTime> ToLocalCalendarTime(FileTime utc);

namespace testing {
// Test seam: when set, every walk asks the cache without a pattern, whatever its own pattern,
// and hands each entry first to `filter` with the walk's pattern (nullptr for none); the entry
// is visited only when the filter returns true, as the filter left it. This lets a test give
// each pattern what Windows' cache returns for it (Wine returns every container to a search
// without a pattern and nothing to "cookie:" or "visited:"). Empty by default.
void SetEntryFilter(std::function<bool(const wchar_t* pattern, RawEntry* entry)> filter);
}  // namespace testing

}  // namespace platform::url_cache
