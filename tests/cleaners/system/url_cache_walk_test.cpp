#include "cleaners/system/url_cache_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <memory>
#include <vector>

#include "platform/url_cache.h"
#include "support/url_cache_entries.h"

namespace {

using test::CacheEntryGuard;
using test::NewCacheEntry;

std::vector<std::wstring> UrlsOf(const CacheEntryList& list) {
  std::vector<std::wstring> urls;
  for (size_t i = 0; i + 1 < list.size(); ++i)
    urls.push_back(list[i].SourceUrlName);
  return urls;
}

// Every entry of one type, in the order the system's own calls return them.
std::vector<std::wstring> CacheOrder(std::uint32_t type) {
  std::vector<std::wstring> urls;
  for (const auto& [url, entry_type] : test::ListUrlCache())
    if (entry_type == type)
      urls.push_back(url);
  return urls;
}

const CacheEntry* Find(const CacheEntryList& list, const std::wstring& url) {
  auto found = std::find_if(list.begin(), list.end(),
                            [&](const CacheEntry& entry) { return entry.SourceUrlName == url; });
  return found == list.end() ? nullptr : &*found;
}

// The offset the system applies to a UTC time to make it local, in days.
double LocalOffsetDays(const FILETIME& utc) {
  FILETIME local;
  FileTimeToLocalFileTime(&utc, &local);
  auto ticks = [](const FILETIME& t) {
    return static_cast<double>((static_cast<std::int64_t>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime);
  };
  return (ticks(local) - ticks(utc)) / 864e9;
}

TEST(EnumUrlCache, CollectsCookieAndHistoryEntriesInCacheOrderAmongContent) {
  std::vector<std::unique_ptr<CacheEntryGuard>> entries;
  std::vector<std::wstring> ours;
  auto add = [&](const std::wstring& prefix, std::uint32_t type) {
    entries.push_back(
        std::make_unique<CacheEntryGuard>(NewCacheEntry(test::UniqueCacheUrl(prefix), type)));
    EXPECT_TRUE(entries.back()->committed());
    return entries.back()->url();
  };
  for (int i = 0; i < 100; ++i) {
    add(L"http://", 1);
    if (i == 5 || i == 50 || i == 95)
      ours.push_back(add(L"Cookie:", kCollectedCookieType));
    if (i == 20 || i == 70)
      ours.push_back(add(L"Visited:", kCollectedHistoryType));
  }
  // Not collected: entries with further flags, a cookie as Wine itself stores one, and a cookie
  // removed again.
  const std::vector<std::wstring> left_out = {
      add(L"Cookie:", 0x00100005), add(L"Cookie:", 0x00100000), add(L"Visited:", 0x00200003)};
  add(L"Cookie:", kCollectedCookieType);
  entries.pop_back();

  CacheEntryList history, cookies;
  ASSERT_TRUE(EnumUrlCache(&history, &cookies).ok());
  // A clean cache holds only our entries; whatever else a test left would be listed too.
  EXPECT_EQ(UrlsOf(cookies), CacheOrder(kCollectedCookieType));
  EXPECT_EQ(UrlsOf(history), CacheOrder(kCollectedHistoryType));
  EXPECT_EQ(cookies.back(), CacheEntry());
  EXPECT_EQ(history.back(), CacheEntry());
  for (const std::wstring& url : ours)
    EXPECT_TRUE(Find(cookies, url) || Find(history, url)) << url;
  for (const std::wstring& url : left_out)
    EXPECT_FALSE(Find(cookies, url) || Find(history, url)) << url;

  // A second walk over the same cache starts from fresh lists.
  const CacheEntryList first_history = history, first_cookies = cookies;
  ASSERT_TRUE(EnumUrlCache(&history, &cookies).ok());
  EXPECT_EQ(history, first_history);
  EXPECT_EQ(cookies, first_cookies);
}

// The pattern of the container an entry lives in, as Windows' cache picks it by the source
// URL's prefix; empty for the content container.
std::wstring ContainerPattern(const std::wstring& url) {
  for (const wchar_t* pattern :
       {platform::url_cache::kCookiePattern, platform::url_cache::kHistoryPattern})
    if (_wcsnicmp(url.c_str(), pattern, wcslen(pattern)) == 0)
      return pattern;
  return L"";
}

// Gives each walk what Windows' cache returns for its pattern: one container only.
bool WindowsContainer(const wchar_t* pattern, platform::url_cache::RawEntry* entry) {
  return ContainerPattern(entry->source_url_name) == (pattern ? pattern : L"");
}

class EntryFilterScope {
 public:
  explicit EntryFilterScope(bool (*filter)(const wchar_t*, platform::url_cache::RawEntry*)) {
    platform::url_cache::testing::SetEntryFilter(filter);
  }
  ~EntryFilterScope() { platform::url_cache::testing::SetEntryFilter(nullptr); }
};

// On Windows the cookies and the history come only to the walks with their own patterns; a
// cache that gives every entry to every pattern still lists each entry once.
TEST(EnumUrlCache, WalksTheContentThenTheCookiesThenTheHistoryEachEntryOnce) {
  std::vector<std::unique_ptr<CacheEntryGuard>> entries;
  for (const auto& [prefix, type] : std::vector<std::pair<std::wstring, std::uint32_t>>{
           {L"Cookie:", kCollectedCookieType},
           {L"Visited:", kCollectedHistoryType},
           {L"http://", 1},
           {L"http://", kCollectedCookieType},  // a content entry typed as a cookie
           {L"Cookie:", 0x00100005},
           {L"Cookie:", kCollectedCookieType},
           {L"Visited:", kCollectedHistoryType}}) {
    entries.push_back(
        std::make_unique<CacheEntryGuard>(NewCacheEntry(test::UniqueCacheUrl(prefix), type)));
    ASSERT_TRUE(entries.back()->committed());
  }
  // Each walk in cache order: content, then cookies, then history.
  auto walks_order = [](std::uint32_t type) {
    std::vector<std::wstring> urls;
    for (const wchar_t* pattern :
         {platform::url_cache::kContentPattern, platform::url_cache::kCookiePattern,
          platform::url_cache::kHistoryPattern})
      for (const std::wstring& url : CacheOrder(type))
        if (ContainerPattern(url) == (pattern ? pattern : L""))
          urls.push_back(url);
    return urls;
  };

  CacheEntryList history, cookies;
  {
    EntryFilterScope windows(&WindowsContainer);
    ASSERT_TRUE(EnumUrlCache(&history, &cookies).ok());
  }
  EXPECT_EQ(UrlsOf(cookies), walks_order(kCollectedCookieType));
  EXPECT_EQ(UrlsOf(history), walks_order(kCollectedHistoryType));
  EXPECT_GE(cookies.size(), 4u);

  {
    EntryFilterScope every_entry(
        [](const wchar_t*, platform::url_cache::RawEntry*) { return true; });
    ASSERT_TRUE(EnumUrlCache(&history, &cookies).ok());
  }
  EXPECT_EQ(UrlsOf(cookies), CacheOrder(kCollectedCookieType));
  EXPECT_EQ(UrlsOf(history), CacheOrder(kCollectedHistoryType));
}

TEST(EnumUrlCache, CopiesTextsSizeAndLocalDatesWithoutMilliseconds) {
  NewCacheEntry full(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType);
  full.header = L"HTTP/1.1 200 OK\r\n";
  full.extension = L"txt";
  full.stretched_size = 0x80000000LL + 1500;  // the low half reads as a negative number
  full.last_modified = test::UtcFileTime(2024, 3, 15, 12, 0, 0, 999);
  full.expire = test::UtcFileTime(2030, 1, 1, 0, 0, 0);
  CacheEntryGuard with_text(full);
  NewCacheEntry bare_entry(test::UniqueCacheUrl(L"Visited:"), kCollectedHistoryType);
  bare_entry.content = std::string(1500, 'v');
  CacheEntryGuard bare(bare_entry);
  ASSERT_TRUE(with_text.committed() && bare.committed());

  CacheEntryList history, cookies;
  ASSERT_TRUE(EnumUrlCache(&history, &cookies).ok());
  const CacheEntry* cookie = Find(cookies, with_text.url());
  ASSERT_NE(cookie, nullptr);
  EXPECT_EQ(cookie->LocalFileName, with_text.local_file());
  EXPECT_EQ(cookie->HeaderInfo, L"HTTP/1.1 200 OK\r\n");
  EXPECT_EQ(cookie->FileExtension, L"txt");
  EXPECT_EQ(cookie->Size, -2147483648 + 1500);
  // 12:00:00.999 UTC on 15 March 2024 (day 45366) is noon plus the local offset, without the
  // 999 ms; 1 January 2030 is day 47484.
  EXPECT_NEAR(cookie->LastModifiedTime, 45366.5 + LocalOffsetDays(full.last_modified), 1e-9);
  EXPECT_NEAR(cookie->ExpireTime, 47484 + LocalOffsetDays(full.expire), 1e-9);
  const double access_seconds = cookie->LastAccessTime * 86400;  // stamped by the cache today
  EXPECT_GT(cookie->LastAccessTime, 45366);
  EXPECT_NEAR(access_seconds, std::round(access_seconds), 1e-4);

  const CacheEntry* visit = Find(history, bare.url());
  ASSERT_NE(visit, nullptr);
  EXPECT_EQ(visit->HeaderInfo, L"");
  EXPECT_EQ(visit->FileExtension, L"");
  EXPECT_EQ(visit->Size, 1500);
}

// A size of four gigabytes or more, or a date past the year 9999, gives 0 in its field and
// the walk goes on to the entries after it.
TEST(EnumUrlCache, ValueThatDoesNotFitGivesZeroAndTheWalkGoesOn) {
  NewCacheEntry huge(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType);
  huge.stretched_size = 0x100000000LL + 1500;
  huge.expire = test::UtcFileTime(2030, 1, 1, 0, 0, 0);
  NewCacheEntry distant(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType);
  distant.last_modified = test::UtcFileTime(20000, 6, 1, 0, 0, 0);
  CacheEntryGuard huge_guard(huge), distant_guard(distant);
  std::vector<std::unique_ptr<CacheEntryGuard>> others;
  for (int i = 0; i < 5; ++i) {
    others.push_back(std::make_unique<CacheEntryGuard>(
        NewCacheEntry(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType)));
    ASSERT_TRUE(others.back()->committed());
  }
  ASSERT_TRUE(huge_guard.committed() && distant_guard.committed());

  CacheEntryList history, cookies;
  EXPECT_TRUE(EnumUrlCache(&history, &cookies).ok());
  EXPECT_EQ(UrlsOf(cookies), CacheOrder(kCollectedCookieType));
  const CacheEntry* too_big = Find(cookies, huge_guard.url());
  const CacheEntry* too_late = Find(cookies, distant_guard.url());
  ASSERT_TRUE(too_big && too_late);
  EXPECT_EQ(too_big->Size, 0);
  EXPECT_NE(too_big->ExpireTime, 0);
  EXPECT_EQ(too_late->LastModifiedTime, 0);
  EXPECT_NE(too_late->LastAccessTime, 0);
  EXPECT_EQ(too_late->Size, 1);
}

TEST(CacheEntrySize, HalvesAreSignedAndASizeThatDoesNotFitIsZero) {
  EXPECT_EQ(CacheEntrySize(0, 1500), 1500);
  EXPECT_EQ(CacheEntrySize(0, 0xFFFFFFFFu), -1);
  EXPECT_EQ(CacheEntrySize(1, 0), 0);
  EXPECT_EQ(CacheEntrySize(0xFFFFFFFFu, 0xFFFFFFFFu), 0);
}

}  // namespace
