#pragma once
// The program's copy of one URL cache entry, and the two lists the cache walk fills.

#include <cstdint>
#include <string>
#include <vector>

// A calendar date with a time of day to the second, as an OLE Automation date: days since
// 30 December 1899, the fraction being the time of day.
using DateTime = double;

struct CacheEntry {
  std::wstring SourceUrlName;
  std::wstring LocalFileName;  // a full path
  std::int32_t UseCount = 0;
  std::int32_t HitRate = 0;
  std::int32_t Size = 0;
  DateTime LastModifiedTime = 0;  // every time in local time
  DateTime ExpireTime = 0;
  DateTime LastAccessTime = 0;
  DateTime LastSyncTime = 0;
  std::wstring HeaderInfo;
  std::wstring FileExtension;

  bool operator==(const CacheEntry&) const = default;
};

// A list of collected entries in cache order, always ending in one blank record.
using CacheEntryList = std::vector<CacheEntry>;

// The lists of the last enumeration, shared by the cache walk and the cookie cleaner.
extern CacheEntryList HistoryEntries;
extern CacheEntryList CookieEntries;
