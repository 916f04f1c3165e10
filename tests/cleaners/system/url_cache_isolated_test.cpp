// Cases that need a URL cache of their own, run in a child test process.

#include <gtest/gtest.h>

#include <windows.h>

#include "cleaners/system/url_cache_walk.h"
#include "support/url_cache_entries.h"
#include "support/url_cache_of_its_own.h"

namespace {

using test::RunInUrlCacheOfItsOwn;

TEST(UrlCacheOfItsOwn, EmptyCacheGivesOneBlankRecordEach) {
  RunInUrlCacheOfItsOwn(L"InCacheOfItsOwn.DISABLED_EmptyCache");
}

TEST(UrlCacheOfItsOwn, EventsRunAfterNormalEntriesOnly) {
  RunInUrlCacheOfItsOwn(L"InCacheOfItsOwn.DISABLED_EventsAfterNormalEntries");
}

// The cases below run only in the child started above (disabled in a normal run).

TEST(InCacheOfItsOwn, DISABLED_EmptyCache) {
  ASSERT_TRUE(test::ListUrlCache().empty());
  CacheEntryList history(3), cookies(5);
  history[0].SourceUrlName = L"left over";
  ASSERT_TRUE(EnumUrlCache(&history, &cookies).ok());
  EXPECT_EQ(history, CacheEntryList(1));
  EXPECT_EQ(cookies, CacheEntryList(1));
}

// A message posted to the thread is still queued afterwards unless the walk let events run.
bool WalkLetsEventsRun() {
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread its message queue
  EXPECT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0));
  CacheEntryList history, cookies;
  EXPECT_TRUE(EnumUrlCache(&history, &cookies).ok());
  return !PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE);
}

TEST(InCacheOfItsOwn, DISABLED_EventsAfterNormalEntries) {
  ASSERT_TRUE(test::ListUrlCache().empty());
  // A cookie as Wine stores its own lacks the normal bit.
  test::CacheEntryGuard wine_cookie(
      test::NewCacheEntry(test::UniqueCacheUrl(L"Cookie:"), 0x00100000));
  ASSERT_TRUE(wine_cookie.committed());
  ASSERT_NE(wine_cookie.local_file().find(L"\\nimbrel-scratch\\"), std::wstring::npos);
  EXPECT_FALSE(WalkLetsEventsRun());
  // A content entry is not collected, but events run after it.
  test::CacheEntryGuard page(test::NewCacheEntry(test::UniqueCacheUrl(L"http://"), 1));
  ASSERT_TRUE(page.committed());
  EXPECT_TRUE(WalkLetsEventsRun());
}

}  // namespace
