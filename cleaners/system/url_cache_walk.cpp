#include "cleaners/system/url_cache_walk.h"

#include <limits>

#include "cleaners/system/date_time.h"
#include "platform/events.h"
#include "platform/url_cache.h"

CacheEntryList HistoryEntries(1);
CacheEntryList CookieEntries(1);

namespace {

using platform::url_cache::RawEntry;

// Grows the list by one record and fills the one before the blank last record. The fields are
// filled in a fixed order, so that a value that does not fit leaves the earlier ones filled.
platform::Status Append(const RawEntry& raw, CacheEntryList* list) {
  list->emplace_back();
  CacheEntry& record = (*list)[list->size() - 2];
  record.SourceUrlName = raw.source_url_name;
  record.LocalFileName = raw.local_file_name;
  record.FileExtension = raw.file_extension;
  record.HeaderInfo = raw.header_info;
  record.HitRate = static_cast<std::int32_t>(raw.hit_rate);
  NIMBREL_TRY(FileTimeToDate(raw.expire_time, &record.ExpireTime));
  NIMBREL_TRY(FileTimeToDate(raw.last_access_time, &record.LastAccessTime));
  NIMBREL_TRY(FileTimeToDate(raw.last_modified_time, &record.LastModifiedTime));
  NIMBREL_TRY(FileTimeToDate(raw.last_sync_time, &record.LastSyncTime));
  NIMBREL_TRY(CacheEntrySize(raw.size_high, raw.size_low, &record.Size));
  record.UseCount = static_cast<std::int32_t>(raw.use_count);
  return platform::Status::Ok();
}

}  // namespace

platform::Status CacheEntrySize(std::uint32_t size_high, std::uint32_t size_low,
                                std::int32_t* size) {
  const std::int64_t value =
      static_cast<std::int64_t>(static_cast<std::int32_t>(size_high)) * (std::int64_t{1} << 32) +
      static_cast<std::int32_t>(size_low);
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return platform::Status::FromHresult(platform::kOutOfRange);
  *size = static_cast<std::int32_t>(value);
  return platform::Status::Ok();
}

platform::Status EnumUrlCache(CacheEntryList* history, CacheEntryList* cookies) {
  history->assign(1, CacheEntry());
  cookies->assign(1, CacheEntry());
  return platform::url_cache::WalkCache([&](const RawEntry& raw) {
    if ((raw.type & platform::url_cache::kNormalEntry) == 0)
      return platform::Status::Ok();
    platform::Status appended = platform::Status::Ok();
    if (raw.type == kCollectedCookieType)
      appended = Append(raw, cookies);
    else if (raw.type == kCollectedHistoryType)
      appended = Append(raw, history);
    NIMBREL_TRY(appended);
    platform::DoEvents();
    return platform::Status::Ok();
  });
}
