// Cases that need a URL cache of their own. The cache's folders are fixed when a process loads
// the Internet services, so the parent test points the cache, cookies and history folders at a
// scratch tree and runs the case in a child test process, which finds an empty cache there.

#include <gtest/gtest.h>

#include <windows.h>

#include "cleaners/system/url_cache_walk.h"
#include "support/processes.h"
#include "support/scratch.h"
#include "support/shell_folders.h"
#include "support/url_cache_entries.h"

namespace {

// Counts the messages a hidden window receives, to see when pending events run.
class EventCounter {
 public:
  static constexpr UINT kPing = WM_APP + 7;

  EventCounter() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = Procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"NimbrelEventCounter";
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, window_class.hInstance, nullptr);
  }
  ~EventCounter() { DestroyWindow(window_); }

  void Post() { PostMessageW(window_, kPing, 0, 0); }
  static int count() { return count_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == kPing)
      ++count_;
    return DefWindowProcW(window, message, w, l);
  }
  static inline int count_ = 0;
  HWND window_ = nullptr;
};

void RunInIsolatedCache(const std::wstring& test_name) {
  test::ScratchTree tree(L"url-cache");
  tree.Folder(L"Cache");
  tree.Folder(L"Cookies");
  tree.Folder(L"History");
  test::ShellFolderRedirect cache(L"Cache", tree / L"Cache");
  test::ShellFolderRedirect cookies(L"Cookies", tree / L"Cookies");
  test::ShellFolderRedirect history(L"History", tree / L"History");
  test::ChildProcess child(L"nimbrel_tests.exe --gtest_also_run_disabled_tests --gtest_filter=" +
                           test_name);
  ASSERT_TRUE(child.started());
  EXPECT_TRUE(child.WaitForLine(L"[  PASSED  ] 1 test."));
  EXPECT_EQ(child.Wait(), 0);
}

TEST(UrlCacheOfItsOwn, EmptyCacheGivesOneBlankRecordEach) {
  RunInIsolatedCache(L"IsolatedUrlCache.DISABLED_EmptyCache");
}

TEST(UrlCacheOfItsOwn, EventsRunAfterNormalEntriesOnly) {
  RunInIsolatedCache(L"IsolatedUrlCache.DISABLED_EventsAfterNormalEntries");
}

// The cases below run only in the child started above (disabled in a normal run).

TEST(IsolatedUrlCache, DISABLED_EmptyCache) {
  ASSERT_TRUE(test::ListUrlCache().empty());
  CacheEntryList history(3), cookies(5);
  history[0].SourceUrlName = L"left over";
  ASSERT_TRUE(EnumUrlCache(&history, &cookies).ok());
  EXPECT_EQ(history, CacheEntryList(1));
  EXPECT_EQ(cookies, CacheEntryList(1));
}

TEST(IsolatedUrlCache, DISABLED_EventsAfterNormalEntries) {
  ASSERT_TRUE(test::ListUrlCache().empty());
  EventCounter counter;
  CacheEntryList history, cookies;
  // A cookie as Wine stores its own lacks the normal bit: the walk lets no event run.
  test::CacheEntryGuard wine_cookie(
      test::NewCacheEntry(test::UniqueCacheUrl(L"Cookie:"), 0x00100000));
  ASSERT_TRUE(wine_cookie.committed());
  ASSERT_NE(wine_cookie.local_file().find(L"\\nimbrel-scratch\\"), std::wstring::npos);
  counter.Post();
  ASSERT_TRUE(EnumUrlCache(&history, &cookies).ok());
  EXPECT_EQ(EventCounter::count(), 0);
  // A content entry is not collected, but pending events run after it.
  test::CacheEntryGuard page(test::NewCacheEntry(test::UniqueCacheUrl(L"http://"), 1));
  ASSERT_TRUE(page.committed());
  ASSERT_TRUE(EnumUrlCache(&history, &cookies).ok());
  EXPECT_EQ(EventCounter::count(), 1);
  EXPECT_EQ(cookies.size(), 1u);
}

}  // namespace
