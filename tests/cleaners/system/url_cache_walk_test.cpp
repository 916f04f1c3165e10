#include "cleaners/system/url_cache_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

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

// The source URLs of every entry of one type, in the order the cache returns them.
std::vector<std::wstring> CacheOrder(std::uint32_t type) {
  std::vector<std::wstring> urls;
  for (const auto& [url, entry_type] : test::ListUrlCache())
    if (entry_type == type)
      urls.push_back(url);
  return urls;
}

bool Contains(const std::vector<std::wstring>& urls, const std::wstring& url) {
  return std::find(urls.begin(), urls.end(), url) != urls.end();
}

const CacheEntry* Find(const CacheEntryList& list, const std::wstring& url) {
  for (const CacheEntry& entry : list)
    if (entry.SourceUrlName == url)
      return &entry;
  return nullptr;
}

// Days from 30 December 1899 to 15 March 2024.
constexpr double k20240315 = 45366;

// The local offset the system applies to a UTC time, in days.
double LocalOffsetDays(const FILETIME& utc) {
  FILETIME local;
  FileTimeToLocalFileTime(&utc, &local);
  auto ticks = [](const FILETIME& t) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                                     t.dwLowDateTime);
  };
  return static_cast<double>(ticks(local) - ticks(utc)) / 864e9;
}

TEST(EnumUrlCache, CollectsCookieAndHistoryEntriesInCacheOrderAmongContent) {
  std::vector<std::unique_ptr<CacheEntryGuard>> entries;
  std::vector<std::wstring> cookies, history;
  auto add = [&](const std::wstring& prefix, std::uint32_t type) {
    entries.push_back(
        std::make_unique<CacheEntryGuard>(NewCacheEntry(test::UniqueCacheUrl(prefix), type)));
    EXPECT_TRUE(entries.back()->committed());
    return entries.back()->url();
  };
  for (int i = 0; i < 100; ++i) {
    add(L"http://", 1);
    if (i == 5 || i == 50 || i == 95)
      cookies.push_back(add(L"Cookie:", kCollectedCookieType));
    if (i == 20 || i == 70)
      history.push_back(add(L"Visited:", kCollectedHistoryType));
  }
  // A cookie removed again is not collected, nor are entries of the same kinds with further
  // flags, nor a cookie as Wine itself stores one.
  add(L"Cookie:", kCollectedCookieType);
  entries.pop_back();
  const std::wstring flagged = add(L"Cookie:", 0x00100005);
  const std::wstring wine_cookie = add(L"Cookie:", 0x00100000);
  const std::wstring flagged_history = add(L"Visited:", 0x00200003);

  CacheEntryList history_list, cookie_list;
  ASSERT_TRUE(EnumUrlCache(&history_list, &cookie_list).ok());

  // Every record but the last is a collected entry, in cache order (other programs' entries
  // of the same types would be listed too; a clean cache holds only ours).
  EXPECT_EQ(UrlsOf(cookie_list), CacheOrder(kCollectedCookieType));
  EXPECT_EQ(UrlsOf(history_list), CacheOrder(kCollectedHistoryType));
  EXPECT_EQ(cookie_list.back(), CacheEntry());
  EXPECT_EQ(history_list.back(), CacheEntry());
  for (const std::wstring& url : cookies)
    EXPECT_TRUE(Contains(UrlsOf(cookie_list), url));
  for (const std::wstring& url : history)
    EXPECT_TRUE(Contains(UrlsOf(history_list), url));
  for (const std::wstring& url : {flagged, wine_cookie, flagged_history}) {
    EXPECT_EQ(Find(cookie_list, url), nullptr);
    EXPECT_EQ(Find(history_list, url), nullptr);
  }
}

TEST(EnumUrlCache, CopiesTheFieldsOfAnEntry) {
  NewCacheEntry text_entry(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType);
  text_entry.header = L"HTTP/1.1 200 OK\r\n";
  text_entry.extension = L"txt";
  text_entry.content = std::string(1500, 'c');
  CacheEntryGuard with_text(text_entry);
  CacheEntryGuard bare(NewCacheEntry(test::UniqueCacheUrl(L"Visited:"), kCollectedHistoryType));
  ASSERT_TRUE(with_text.committed());
  ASSERT_TRUE(bare.committed());

  CacheEntryList history_list, cookie_list;
  ASSERT_TRUE(EnumUrlCache(&history_list, &cookie_list).ok());
  const CacheEntry* cookie = Find(cookie_list, with_text.url());
  ASSERT_NE(cookie, nullptr);
  EXPECT_EQ(cookie->LocalFileName, with_text.local_file());
  EXPECT_EQ(cookie->HeaderInfo, L"HTTP/1.1 200 OK\r\n");
  EXPECT_EQ(cookie->FileExtension, L"txt");
  EXPECT_EQ(cookie->Size, 1500);
  EXPECT_GT(cookie->LastAccessTime, k20240315);  // the commit stamped it with today's date

  const CacheEntry* visit = Find(history_list, bare.url());
  ASSERT_NE(visit, nullptr);
  EXPECT_EQ(visit->HeaderInfo, L"");
  EXPECT_EQ(visit->FileExtension, L"");
  EXPECT_EQ(visit->Size, 1);
}

TEST(EnumUrlCache, DatesAreLocalAndWithoutMilliseconds) {
  const FILETIME modified = test::UtcFileTime(2024, 3, 15, 12, 0, 0, 999);
  const FILETIME expire = test::UtcFileTime(2030, 1, 1, 0, 0, 0);
  NewCacheEntry dated(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType);
  dated.last_modified = modified;
  dated.expire = expire;
  CacheEntryGuard entry(dated);
  ASSERT_TRUE(entry.committed());

  CacheEntryList history_list, cookie_list;
  ASSERT_TRUE(EnumUrlCache(&history_list, &cookie_list).ok());
  const CacheEntry* cookie = Find(cookie_list, entry.url());
  ASSERT_NE(cookie, nullptr);
  // 12:00:00.999 UTC is noon plus the local offset, the 999 ms dropped.
  EXPECT_NEAR(cookie->LastModifiedTime, k20240315 + 0.5 + LocalOffsetDays(modified), 1e-9);
  EXPECT_NEAR(cookie->ExpireTime, 47484 + LocalOffsetDays(expire), 1e-9);
  for (double date : {cookie->LastAccessTime, cookie->LastSyncTime}) {
    const double seconds = date * 86400;
    EXPECT_NEAR(seconds, std::round(seconds), 1e-4);
  }
}

TEST(EnumUrlCache, SizeOfTwoGigabytesOrMoreIsNegative) {
  NewCacheEntry big(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType);
  big.stretched_size = 0x80000000LL + 1500;
  CacheEntryGuard entry(big);
  ASSERT_TRUE(entry.committed());
  CacheEntryList history_list, cookie_list;
  ASSERT_TRUE(EnumUrlCache(&history_list, &cookie_list).ok());
  const CacheEntry* cookie = Find(cookie_list, entry.url());
  ASSERT_NE(cookie, nullptr);
  EXPECT_EQ(cookie->Size, -2147483648 + 1500);
}

TEST(EnumUrlCache, ValueThatDoesNotFitEndsTheWalkWithARecordFilledSoFar) {
  // Four gigabytes and more: the high half is 1, beyond a signed 32-bit size.
  NewCacheEntry four_gigabytes(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType);
  four_gigabytes.stretched_size = 0x100000000LL + 1500;
  CacheEntryGuard huge(four_gigabytes);
  ASSERT_TRUE(huge.committed());
  CacheEntryList history_list, cookie_list;
  platform::Status status = EnumUrlCache(&history_list, &cookie_list);
  EXPECT_TRUE(status.Is(platform::kOutOfRange));
  ASSERT_GE(cookie_list.size(), 2u);
  EXPECT_EQ(cookie_list.back(), CacheEntry());
  const CacheEntry& partial = cookie_list[cookie_list.size() - 2];
  EXPECT_EQ(partial.SourceUrlName, huge.url());
  EXPECT_EQ(partial.LocalFileName, huge.local_file());
  EXPECT_NE(partial.LastAccessTime, 0);  // filled before the size
  EXPECT_EQ(partial.Size, 0);
  EXPECT_EQ(partial.UseCount, 0);
}

TEST(EnumUrlCache, DateBeyondTheYear9999EndsTheWalk) {
  NewCacheEntry future(test::UniqueCacheUrl(L"Visited:"), kCollectedHistoryType);
  future.last_modified = test::UtcFileTime(20000, 6, 1, 0, 0, 0);
  CacheEntryGuard distant(future);
  ASSERT_TRUE(distant.committed());
  CacheEntryList history_list, cookie_list;
  EXPECT_TRUE(EnumUrlCache(&history_list, &cookie_list).Is(platform::kOutOfRange));
  ASSERT_GE(history_list.size(), 2u);
  const CacheEntry& partial = history_list[history_list.size() - 2];
  EXPECT_EQ(partial.SourceUrlName, distant.url());
  EXPECT_NE(partial.LastAccessTime, 0);  // converted before the modification time
  EXPECT_EQ(partial.LastModifiedTime, 0);
  EXPECT_EQ(partial.Size, 0);  // never reached
  EXPECT_EQ(history_list.back(), CacheEntry());
}

TEST(EnumUrlCache, SecondEnumerationStartsFromFreshLists) {
  CacheEntryGuard cookie(NewCacheEntry(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType));
  CacheEntryGuard visit(NewCacheEntry(test::UniqueCacheUrl(L"Visited:"), kCollectedHistoryType));
  CacheEntryList history_list, cookie_list;
  ASSERT_TRUE(EnumUrlCache(&history_list, &cookie_list).ok());
  const CacheEntryList first_history = history_list, first_cookies = cookie_list;
  ASSERT_TRUE(EnumUrlCache(&history_list, &cookie_list).ok());
  EXPECT_EQ(history_list, first_history);
  EXPECT_EQ(cookie_list, first_cookies);
  EXPECT_NE(Find(cookie_list, cookie.url()), nullptr);
}

TEST(CacheEntrySize, HalvesAreSignedAndTheResultMustFit) {
  std::int32_t size = 7;
  ASSERT_TRUE(CacheEntrySize(0, 1500, &size).ok());
  EXPECT_EQ(size, 1500);
  ASSERT_TRUE(CacheEntrySize(0, 0x80000000u, &size).ok());
  EXPECT_EQ(size, -2147483647 - 1);
  ASSERT_TRUE(CacheEntrySize(0, 0xFFFFFFFFu, &size).ok());
  EXPECT_EQ(size, -1);
  size = 7;
  EXPECT_TRUE(CacheEntrySize(1, 0, &size).Is(platform::kOutOfRange));
  EXPECT_TRUE(CacheEntrySize(0xFFFFFFFFu, 0xFFFFFFFFu, &size).Is(platform::kOutOfRange));
  EXPECT_TRUE(CacheEntrySize(0xFFFFFFFFu, 0x7FFFFFFFu, &size).Is(platform::kOutOfRange));
  EXPECT_EQ(size, 7);
}

}  // namespace
