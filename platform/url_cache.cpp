#include "platform/url_cache.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>
#include <cwchar>
#include <utility>

#include "platform/erasure.h"
#include "platform/handles.h"
#include "platform/tally.h"

namespace platform::url_cache {
namespace {

struct UrlCacheFindTraits {
  static HANDLE Invalid() { return nullptr; }
  static bool Valid(HANDLE h) { return h != nullptr; }
  static void Close(HANDLE h) { FindCloseUrlCache(h); }
};
using UniqueUrlCacheFind = UniqueResource<HANDLE, UrlCacheFindTraits>;

// The string at `address` when it lies inside the entry's buffer, read up to its terminator or
// to the end of the buffer, whichever comes first.
std::wstring ReadBufferString(const void* address, const BYTE* buffer, DWORD buffer_size) {
  const auto* text = static_cast<const BYTE*>(address);
  if (!text || text < buffer || text >= buffer + buffer_size)
    return {};
  const size_t room = static_cast<size_t>(buffer + buffer_size - text) / sizeof(wchar_t);
  std::wstring value(room, L'\0');
  std::memcpy(value.data(), text, room * sizeof(wchar_t));
  value.resize(std::wcslen(value.c_str()));
  return value;
}

FileTime ToFileTime(const FILETIME& time) {
  return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Copies the entry out of its buffer. False when the buffer cannot even hold the fixed part.
bool Decode(const BYTE* buffer, DWORD buffer_size, RawEntry* entry) {
  INTERNET_CACHE_ENTRY_INFOW fixed;
  if (buffer_size < sizeof(fixed))
    return false;
  std::memcpy(&fixed, buffer, sizeof(fixed));
  entry->type = fixed.CacheEntryType;
  entry->source_url_name = ReadBufferString(fixed.lpszSourceUrlName, buffer, buffer_size);
  entry->local_file_name = ReadBufferString(fixed.lpszLocalFileName, buffer, buffer_size);
  entry->header_info = ReadBufferString(fixed.lpHeaderInfo, buffer, buffer_size);
  entry->file_extension = ReadBufferString(fixed.lpszFileExtension, buffer, buffer_size);
  entry->use_count = fixed.dwUseCount;
  entry->hit_rate = fixed.dwHitRate;
  entry->size_low = fixed.dwSizeLow;
  entry->size_high = fixed.dwSizeHigh;
  entry->last_modified_time = ToFileTime(fixed.LastModifiedTime);
  entry->expire_time = ToFileTime(fixed.ExpireTime);
  entry->last_access_time = ToFileTime(fixed.LastAccessTime);
  entry->last_sync_time = ToFileTime(fixed.LastSyncTime);
  return true;
}

// The buffer of one entry, sized by the probe that came before, its first word holding its size.
UniqueLocalMemory AllocateEntryBuffer(DWORD size) {
  if (size < sizeof(DWORD))
    return UniqueLocalMemory();
  UniqueLocalMemory buffer(LocalAlloc(LMEM_FIXED, size));
  if (buffer)
    std::memcpy(buffer.get(), &size, sizeof(size));
  return buffer;
}

bool ProbeSaysTooSmall(bool call_succeeded) {
  return !call_succeeded && GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

std::function<bool(const wchar_t*, RawEntry*)>& EntryFilter() {
  static std::function<bool(const wchar_t*, RawEntry*)> filter;
  return filter;
}

Status WalkSystemCache(const wchar_t* pattern,
                       const std::function<Status(const RawEntry&)>& visit) {
  DWORD size = 0;
  {
    // The probe hands back no search: one that unexpectedly succeeds is closed and the walk ends.
    UniqueUrlCacheFind probe(FindFirstUrlCacheEntryW(pattern, nullptr, &size));
    if (!ProbeSaysTooSmall(probe.valid()))
      return Status::Ok();
  }
  DWORD allocated = size;  // the call may rewrite `size`; the buffer keeps its own
  UniqueLocalMemory buffer = AllocateEntryBuffer(allocated);
  if (!buffer)
    return Status::Ok();
  UniqueUrlCacheFind search(FindFirstUrlCacheEntryW(
      pattern, static_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.get()), &size));
  if (!search)
    return Status::Ok();
  for (;;) {
    RawEntry entry;
    if (!Decode(static_cast<const BYTE*>(buffer.get()), allocated, &entry))
      return Status::Ok();
    NIMBREL_TRY(visit(entry));
    buffer.reset();

    size = 0;
    if (!ProbeSaysTooSmall(FindNextUrlCacheEntryW(search.get(), nullptr, &size)))
      return Status::Ok();  // the end of the cache, or a failure: the walk is over either way
    allocated = size;
    buffer = AllocateEntryBuffer(allocated);
    if (!buffer)
      return Status::Ok();
    if (!FindNextUrlCacheEntryW(search.get(),
                                static_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.get()), &size))
      return Status::Ok();
  }
}

}  // namespace

Status WalkCache(const wchar_t* pattern, const std::function<Status(const RawEntry&)>& visit) {
  const auto& filter = EntryFilter();
  if (!filter)
    return WalkSystemCache(pattern, visit);
  return WalkSystemCache(nullptr, [&](const RawEntry& entry) {
    RawEntry filtered = entry;
    return filter(pattern, &filtered) ? visit(filtered) : Status::Ok();
  });
}

Status DeleteEntry(const std::wstring& source_url_name) {
  if (erasure::Counting()) {
    // Asked with no buffer: an entry that exists answers that the buffer is too small.
    DWORD size = 0;
    const bool found = GetUrlCacheEntryInfoW(source_url_name.c_str(), nullptr, &size) ||
                       GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    return tally::NoteDeletion(found ? Status::Ok() : Status::FromLastError());
  }
  return tally::NoteDeletion(
      DeleteUrlCacheEntryW(source_url_name.c_str()) ? Status::Ok() : Status::FromLastError());
}

Result<CalendarTime> ToLocalCalendarTime(FileTime utc) {
  Result<CalendarTime> result;
  FILETIME universal{static_cast<DWORD>(utc), static_cast<DWORD>(utc >> 32)};
  FILETIME local;
  SYSTEMTIME fields;
  if (!FileTimeToLocalFileTime(&universal, &local) || !FileTimeToSystemTime(&local, &fields)) {
    result.status = Status::FromLastError();
    return result;
  }
  result.value = {fields.wYear, fields.wMonth,  fields.wDay,
                  fields.wHour, fields.wMinute, fields.wSecond};
  return result;
}

namespace testing {
void SetEntryFilter(std::function<bool(const wchar_t* pattern, RawEntry* entry)> filter) {
  EntryFilter() = std::move(filter);
}
}  // namespace testing

}  // namespace platform::url_cache
