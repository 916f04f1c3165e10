#include "cleaners/system/cookies.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "cleaners/folders/special_folder.h"
#include "cleaners/system/url_cache_walk.h"
#include "platform/fs.h"
#include "platform/tally.h"
#include "support/scratch.h"
#include "support/shell_folders.h"
#include "support/url_cache_entries.h"

namespace {

using test::CacheEntryGuard;
using test::NewCacheEntry;

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring NameOf(const std::wstring& path) {
  return path.substr(path.rfind(L'\\') + 1);
}

void MakeFile(const std::wstring& path) {
  CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(Exists(path)) << path;
}

NewCacheEntry Cookie(const wchar_t* local_file = nullptr) {
  NewCacheEntry entry(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType);
  if (local_file)
    entry.local_file = local_file;
  return entry;
}

// Each case starts with the sentinel folder current; the cleaner leaves the program's folder.
class CleanCookiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(folder_.size(), 4u);
    ASSERT_TRUE(platform::fs::ChangeCurrentFolder(sentinel_.path()).ok());
  }
  void TearDown() override {
    EXPECT_EQ(platform::fs::CurrentFolder(), platform::fs::ProgramFolder());
  }

  const std::wstring folder_ = GetSpecialFolder(CSIDL_COOKIES) + L"\\";
  const std::wstring tag_ = std::to_wstring(GetCurrentProcessId());
  test::ScratchTree sentinel_{L"cookie-sentinel"};
};

TEST_F(CleanCookiesTest, DeletesTheNamedFilesAndTheirCacheEntriesOnly) {
  CacheEntryGuard read_only(Cookie()), hidden(Cookie()), system(Cookie());
  CacheEntryGuard wine_cookie(NewCacheEntry(test::UniqueCacheUrl(L"Cookie:"), 0x00100000));
  CacheEntryGuard visit(NewCacheEntry(test::UniqueCacheUrl(L"Visited:"), kCollectedHistoryType));
  const std::vector<const CacheEntryGuard*> cleaned = {&read_only, &hidden, &system};
  for (const CacheEntryGuard* entry : {&read_only, &hidden, &system, &wine_cookie}) {
    ASSERT_TRUE(entry->committed());
    ASSERT_EQ(entry->local_file().rfind(folder_, 0), 0u) << "cookie files live in " << folder_;
    sentinel_.File(NameOf(entry->local_file()));  // the same names, elsewhere
  }
  SetFileAttributesW(read_only.local_file().c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(hidden.local_file().c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(system.local_file().c_str(), FILE_ATTRIBUTE_SYSTEM);
  const std::wstring stray = folder_ + L"nimbrel-stray-" + tag_;
  MakeFile(stray);

  platform::tally::Reset();
  EXPECT_TRUE(CleanCookies());
  EXPECT_EQ(platform::tally::Current().deleted, 6u);  // three files and their three entries

  for (const CacheEntryGuard* entry : cleaned) {
    EXPECT_FALSE(Exists(entry->local_file())) << entry->local_file();
    EXPECT_FALSE(test::UrlCacheHolds(entry->url()));
  }
  for (const CacheEntryGuard* entry : {&wine_cookie, &visit}) {
    EXPECT_TRUE(Exists(entry->local_file())) << entry->local_file();
    EXPECT_TRUE(test::UrlCacheHolds(entry->url()));
  }
  EXPECT_TRUE(Exists(stray));
  EXPECT_EQ(sentinel_.CountEntries(), 4);
  DeleteFileW(stray.c_str());
}

TEST_F(CleanCookiesTest, LooksEveryNameUpInTheCookiesFolderItself) {
  const std::wstring sub = folder_ + L"nimbrel-sub-" + tag_ + L"\\";
  const std::wstring same_name = L"nimbrel-same-" + tag_ + L".txt";
  CreateDirectoryW(sub.c_str(), nullptr);
  MakeFile(sub + same_name);
  MakeFile(folder_ + same_name);
  MakeFile(sub + L"keep.txt");
  sentinel_.File(same_name);
  // A file in a sub-folder: its namesake in the cookies folder goes. A name ending in a
  // backslash, and no local name at all, name no file. A file already gone is skipped.
  CacheEntryGuard in_sub(Cookie((sub + same_name).c_str())), folder_only(Cookie(sub.c_str())),
      no_file(Cookie(L"")), gone(Cookie());
  DeleteFileW(gone.local_file().c_str());
  CacheEntryGuard last(Cookie());
  ASSERT_TRUE(in_sub.committed() && folder_only.committed() && no_file.committed());

  CleanCookies();

  EXPECT_FALSE(Exists(folder_ + same_name));
  EXPECT_FALSE(Exists(last.local_file()));
  EXPECT_TRUE(Exists(sub + L"keep.txt"));
  EXPECT_TRUE(sentinel_.Exists(same_name));
  for (const CacheEntryGuard* entry : {&in_sub, &folder_only, &no_file, &gone, &last})
    EXPECT_FALSE(test::UrlCacheHolds(entry->url())) << entry->url();
  test::RemoveTree(sub);
}

TEST_F(CleanCookiesTest, UnknownCookiesFolderDeletesNothing) {
  CacheEntryGuard cookie(Cookie());
  ASSERT_TRUE(cookie.committed());
  {
    test::ShellFolderRedirect missing(L"Cookies", sentinel_.path() + L"missing");
    ASSERT_EQ(GetSpecialFolder(CSIDL_COOKIES), L"");
    EXPECT_FALSE(CleanCookies());
  }
  EXPECT_TRUE(Exists(cookie.local_file()));
  EXPECT_TRUE(test::UrlCacheHolds(cookie.url()));
  EXPECT_EQ(sentinel_.CountEntries(), 0);
}

TEST(CookieFileName, OnlyOneNameAfterTheLastBackslash) {
  EXPECT_EQ(CookieFileName(L"C:\\Cookies\\user@site[1].txt"), L"user@site[1].txt");
  EXPECT_EQ(CookieFileName(L"..\\up.txt"), L"up.txt");
  for (const wchar_t* unusable :
       {L"", L"no-backslash.txt", L"C:\\Cookies\\", L"C:\\Cookies\\.", L"C:\\Cookies\\..",
        L"C:\\Cookies\\ . ", L"C:\\Cookies\\*.txt", L"C:\\Cookies\\a?.txt", L"C:\\Cookies\\a/..",
        L"C:\\Cookies\\C:x", L"C:\\Cookies\\a<b", L"C:\\Cookies\\a\"b"})
    EXPECT_EQ(CookieFileName(unusable), L"") << unusable;
}

}  // namespace
