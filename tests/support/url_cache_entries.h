#pragma once
// Entries of the real URL cache for tests: created with explicit types, removed afterwards (the
// cache belongs to the whole Wine prefix and tests run one after another in it).

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test {

struct NewCacheEntry {
  NewCacheEntry(std::wstring source_url, std::uint32_t entry_type)
      : url(std::move(source_url)), type(entry_type) {}

  // "Cookie:..." lands in the cookies folder, "Visited:..." in the history, others in content.
  std::wstring url;
  std::uint32_t type;
  std::wstring header;     // empty: none
  std::wstring extension;  // empty: none
  std::string content = "x";
  // When set, the file is stretched to this size without writing (a sparse file).
  std::int64_t stretched_size = -1;
  FILETIME last_modified{};
  FILETIME expire{};
  // When set, the entry is committed with this local file name (empty: none) instead of a file
  // the cache makes; the test owns whatever it names.
  std::optional<std::wstring> local_file;
};

// A committed entry of the URL cache, deleted with its file when the object goes.
class CacheEntryGuard {
 public:
  explicit CacheEntryGuard(const NewCacheEntry& entry);
  CacheEntryGuard(const CacheEntryGuard&) = delete;
  CacheEntryGuard& operator=(const CacheEntryGuard&) = delete;
  ~CacheEntryGuard();

  bool committed() const { return committed_; }
  const std::wstring& url() const { return url_; }
  const std::wstring& local_file() const { return local_file_; }

 private:
  std::wstring url_;
  std::wstring local_file_;
  bool owns_file_ = false;
  bool committed_ = false;
};

// A source URL unique to this process and call: prefix + "nimbrel@p<pid>-<n>.test/" + suffix.
std::wstring UniqueCacheUrl(const std::wstring& prefix, const std::wstring& suffix = L"");

// Every entry of the cache as (source URL, type), in the order the cache returns them, read
// with the system's calls directly.
std::vector<std::pair<std::wstring, std::uint32_t>> ListUrlCache();
bool UrlCacheHolds(const std::wstring& url);

FILETIME UtcFileTime(int year, int month, int day, int hour, int minute, int second,
                     int milliseconds = 0);

}  // namespace test
