#include "cleaners/system/url_cache_walk.h"

#include <limits>
#include <string>
#include <unordered_set>

#include "cleaners/system/date_time.h"
#include "platform/events.h"
#include "platform/url_cache.h"

CacheEntryList HistoryEntries(1);
CacheEntryList CookieEntries(1);

namespace {

using platform::url_cache::RawEntry;

// Grows the list by one record and fills the one before the blank last record.
void Append(const RawEntry& raw, CacheEntryList* list) {
  list->emplace_back();
  CacheEntry& record = (*list)[list->size() - 2];
  record.SourceUrlName = raw.source_url_name;
  record.LocalFileName = raw.local_file_name;
  record.FileExtension = raw.file_extension;
  record.HeaderInfo = raw.header_info;
  record.HitRate = static_cast<std::int32_t>(raw.hit_rate);
  record.ExpireTime = FileTimeToDate(raw.expire_time);
  record.LastAccessTime = FileTimeToDate(raw.last_access_time);
  record.LastModifiedTime = FileTimeToDate(raw.last_modified_time);
  record.LastSyncTime = FileTimeToDate(raw.last_sync_time);
  record.Size = CacheEntrySize(raw.size_high, raw.size_low);
  record.UseCount = static_cast<std::int32_t>(raw.use_count);
}

}  // namespace

std::int32_t CacheEntrySize(std::uint32_t size_high, std::uint32_t size_low) {
  const std::int64_t value =
      static_cast<std::int64_t>(static_cast<std::int32_t>(size_high)) * (std::int64_t{1} << 32) +
      static_cast<std::int32_t>(size_low);
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return 0;
  return static_cast<std::int32_t>(value);
}

platform::Status EnumUrlCache(CacheEntryList* history, CacheEntryList* cookies) {
  namespace url_cache = platform::url_cache;
  history->assign(1, CacheEntry());
  cookies->assign(1, CacheEntry());
  std::unordered_set<std::wstring> seen;
  for (const wchar_t* pattern :
       {url_cache::kContentPattern, url_cache::kCookiePattern, url_cache::kHistoryPattern}) {
    NIMBREL_TRY(url_cache::WalkCache(pattern, [&](const RawEntry& raw) {
      if ((raw.type & url_cache::kNormalEntry) == 0 || !seen.insert(raw.source_url_name).second)
        return platform::Status::Ok();
      if (raw.type == kCollectedCookieType)
        Append(raw, cookies);
      else if (raw.type == kCollectedHistoryType)
        Append(raw, history);
      platform::DoEvents();
      return platform::Status::Ok();
    }));
  }
  return platform::Status::Ok();
}
