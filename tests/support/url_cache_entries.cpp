#include "support/url_cache_entries.h"

#include <wininet.h>

#include <atomic>

#include "platform/handles.h"

namespace test {

CacheEntryGuard::CacheEntryGuard(const NewCacheEntry& entry) : url_(entry.url) {
  std::wstring header = entry.header;
  auto commit = [&](const wchar_t* file) {
    committed_ = CommitUrlCacheEntryW(
        url_.c_str(), file, entry.expire, entry.last_modified, entry.type,
        header.empty() ? nullptr : header.data(), static_cast<DWORD>(header.size()),
        entry.extension.empty() ? nullptr : entry.extension.c_str(), nullptr);
  };
  if (entry.local_file) {
    local_file_ = *entry.local_file;
    commit(local_file_.empty() ? nullptr : local_file_.c_str());
    return;
  }
  wchar_t file[MAX_PATH] = {};
  if (!CreateUrlCacheEntryW(url_.c_str(), 0,
                            entry.extension.empty() ? nullptr : entry.extension.c_str(), file, 0))
    return;
  local_file_ = file;
  owns_file_ = true;
  {
    platform::UniqueHandle handle(CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(handle.get(), entry.content.data(), static_cast<DWORD>(entry.content.size()),
              &written, nullptr);
    if (entry.stretched_size >= 0) {
      LARGE_INTEGER end;
      end.QuadPart = entry.stretched_size;
      SetFilePointerEx(handle.get(), end, nullptr, FILE_BEGIN);
      SetEndOfFile(handle.get());
    }
  }
  commit(file);
}

CacheEntryGuard::~CacheEntryGuard() {
  DeleteUrlCacheEntryW(url_.c_str());
  if (owns_file_) {
    SetFileAttributesW(local_file_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(local_file_.c_str());
  }
}

std::wstring UniqueCacheUrl(const std::wstring& prefix, const std::wstring& suffix) {
  static std::atomic<int> counter{0};
  return prefix + L"nimbrel@p" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(++counter) + L".test/" + suffix;
}

std::vector<std::pair<std::wstring, std::uint32_t>> ListUrlCache() {
  std::vector<std::pair<std::wstring, std::uint32_t>> entries;
  std::vector<BYTE> buffer(64 * 1024);
  DWORD size = static_cast<DWORD>(buffer.size());
  auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
  HANDLE search = FindFirstUrlCacheEntryW(nullptr, info, &size);
  if (!search)
    return entries;
  do {
    entries.emplace_back(info->lpszSourceUrlName, info->CacheEntryType);
    size = static_cast<DWORD>(buffer.size());
  } while (FindNextUrlCacheEntryW(search, info, &size));
  FindCloseUrlCache(search);
  return entries;
}

bool UrlCacheHolds(const std::wstring& url) {
  for (const auto& entry : ListUrlCache())
    if (entry.first == url)
      return true;
  return false;
}

FILETIME UtcFileTime(int year, int month, int day, int hour, int minute, int second,
                     int milliseconds) {
  SYSTEMTIME fields{};
  fields.wYear = static_cast<WORD>(year);
  fields.wMonth = static_cast<WORD>(month);
  fields.wDay = static_cast<WORD>(day);
  fields.wHour = static_cast<WORD>(hour);
  fields.wMinute = static_cast<WORD>(minute);
  fields.wSecond = static_cast<WORD>(second);
  fields.wMilliseconds = static_cast<WORD>(milliseconds);
  FILETIME time{};
  SystemTimeToFileTime(&fields, &time);
  return time;
}

}  // namespace test
