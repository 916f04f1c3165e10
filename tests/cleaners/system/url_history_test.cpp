#include "cleaners/system/url_history.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "cleaners/folders/special_folder.h"
#include "cleaners/system/url_cache_walk.h"
#include "platform/tally.h"
#include "support/url_cache_entries.h"
#include "support/url_cache_of_its_own.h"

namespace {

using test::CacheEntryGuard;
using test::NewCacheEntry;
using test::UniqueCacheUrl;

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// In a cache of its own, so that the tally counts this case's entries and nothing else.
TEST(CleanUrlHistory, RemovesEveryHistoryEntryAndNothingElse) {
  test::RunInUrlCacheOfItsOwn(L"UrlHistoryOfItsOwn.DISABLED_RemovesHistoryEntriesOnly");
}

TEST(UrlHistoryOfItsOwn, DISABLED_RemovesHistoryEntriesOnly) {
  ASSERT_TRUE(test::ListUrlCache().empty());
  CacheEntryGuard visit(NewCacheEntry(UniqueCacheUrl(L"Visited: "), kCollectedHistoryType));
  NewCacheEntry without_file(UniqueCacheUrl(L"Visited: "), kCollectedHistoryType);
  without_file.local_file = L"";
  CacheEntryGuard visit_without_file(without_file);
  CacheEntryGuard cookie(NewCacheEntry(UniqueCacheUrl(L"Cookie:"), kCollectedCookieType));
  CacheEntryGuard page(NewCacheEntry(UniqueCacheUrl(L"http://"), 1));
  for (const CacheEntryGuard* entry : {&visit, &visit_without_file, &cookie, &page})
    ASSERT_TRUE(entry->committed()) << entry->url();
  ASSERT_EQ(visit.local_file().rfind(GetSpecialFolder(CSIDL_HISTORY) + L"\\", 0), 0u);

  platform::tally::Reset();
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    CleanUrlHistory();
    EXPECT_FALSE(test::UrlCacheHolds(visit.url()));
    EXPECT_FALSE(Exists(visit.local_file()));
    EXPECT_FALSE(test::UrlCacheHolds(visit_without_file.url()));
    for (const CacheEntryGuard* entry : {&cookie, &page}) {
      EXPECT_TRUE(test::UrlCacheHolds(entry->url())) << entry->url();
      EXPECT_TRUE(Exists(entry->local_file())) << entry->local_file();
    }
    EXPECT_EQ(platform::tally::Current().deleted, 2u);  // the second run finds nothing more
  }
}

}  // namespace
