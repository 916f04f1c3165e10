#include "cleaners/system/cookies.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "cleaners/folders/special_folder.h"
#include "cleaners/system/url_cache_walk.h"
#include "platform/fs.h"
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

void WriteFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
}

class CleanCookiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = GetSpecialFolder(CSIDL_COOKIES) + L"\\";
    ASSERT_GT(folder_.size(), 3u);
    // The run leaves the program's folder current: start from somewhere else.
    ASSERT_TRUE(platform::fs::ChangeCurrentFolder(sentinel_.path()).ok());
  }

  NewCacheEntry Cookie() {
    return NewCacheEntry(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType);
  }

  std::wstring folder_;
  test::ScratchTree sentinel_{L"cookie-sentinel"};
};

TEST_F(CleanCookiesTest, DeletesTheNamedFilesAndTheirCacheEntriesOnly) {
  CacheEntryGuard read_only(Cookie()), hidden(Cookie()), system(Cookie());
  CacheEntryGuard wine_cookie(NewCacheEntry(test::UniqueCacheUrl(L"Cookie:"), 0x00100000));
  CacheEntryGuard visit(NewCacheEntry(test::UniqueCacheUrl(L"Visited:"), kCollectedHistoryType));
  CacheEntryGuard page(NewCacheEntry(test::UniqueCacheUrl(L"http://", L"page.html"), 1));
  for (const CacheEntryGuard* entry : {&read_only, &hidden, &system, &wine_cookie}) {
    ASSERT_TRUE(entry->committed());
    ASSERT_EQ(entry->local_file().rfind(folder_, 0), 0u) << "cookie files live in " << folder_;
    sentinel_.File(NameOf(entry->local_file()));  // same names, elsewhere
  }
  SetFileAttributesW(read_only.local_file().c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(hidden.local_file().c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(system.local_file().c_str(), FILE_ATTRIBUTE_SYSTEM);
  const std::wstring stray = folder_ + L"nimbrel-stray-" + std::to_wstring(GetCurrentProcessId());
  WriteFile(stray);

  EXPECT_TRUE(CleanCookies());

  for (const CacheEntryGuard* entry : {&read_only, &hidden, &system}) {
    EXPECT_FALSE(Exists(entry->local_file())) << entry->local_file();
    EXPECT_FALSE(test::UrlCacheHolds(entry->url()));
    EXPECT_TRUE(sentinel_.Exists(NameOf(entry->local_file())));
  }
  for (const CacheEntryGuard* entry : {&wine_cookie, &visit, &page}) {
    EXPECT_TRUE(Exists(entry->local_file())) << entry->local_file();
    EXPECT_TRUE(test::UrlCacheHolds(entry->url()));
  }
  EXPECT_TRUE(Exists(stray));
  EXPECT_EQ(sentinel_.CountEntries(), 4);
  EXPECT_EQ(platform::fs::CurrentFolder(), platform::fs::ProgramFolder());
  DeleteFileW(stray.c_str());
}

TEST_F(CleanCookiesTest, LooksEveryNameUpInTheCookiesFolderItself) {
  // An entry whose file lies in a sub-folder: the file of that name in the cookies folder goes.
  const std::wstring tag = std::to_wstring(GetCurrentProcessId());
  const std::wstring elsewhere = folder_ + L"nimbrel-sub-" + tag + L"\\";
  const std::wstring same_name = L"nimbrel-same-" + tag + L".txt";
  CreateDirectoryW(elsewhere.c_str(), nullptr);
  WriteFile(elsewhere + same_name);
  WriteFile(folder_ + same_name);
  NewCacheEntry in_sub = Cookie();
  in_sub.local_file = elsewhere + same_name;
  // An entry whose local name ends in a backslash names no file: its folder keeps its content.
  const std::wstring keep = elsewhere + L"keep.txt";
  WriteFile(keep);
  NewCacheEntry folder_only = Cookie();
  folder_only.local_file = elsewhere;
  // An entry without a local file, and one whose file is already gone.
  NewCacheEntry no_file = Cookie();
  no_file.local_file = L"";
  CacheEntryGuard sub_entry(in_sub), folder_entry(folder_only), bare_entry(no_file);
  CacheEntryGuard gone(Cookie());
  ASSERT_TRUE(sub_entry.committed() && folder_entry.committed() && bare_entry.committed());
  DeleteFileW(gone.local_file().c_str());
  CacheEntryGuard last(Cookie());
  sentinel_.File(same_name);

  CleanCookies();

  EXPECT_FALSE(Exists(folder_ + same_name));
  EXPECT_FALSE(Exists(last.local_file()));
  EXPECT_TRUE(Exists(keep));
  EXPECT_TRUE(sentinel_.Exists(same_name));
  for (const CacheEntryGuard* entry : {&sub_entry, &folder_entry, &bare_entry, &gone, &last})
    EXPECT_FALSE(test::UrlCacheHolds(entry->url())) << entry->url();
  EXPECT_EQ(platform::fs::CurrentFolder(), platform::fs::ProgramFolder());
  test::RemoveTree(elsewhere);
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
  EXPECT_EQ(platform::fs::CurrentFolder(), platform::fs::ProgramFolder());
  EXPECT_EQ(sentinel_.CountEntries(), 0);
}

TEST(CookieFileName, OnlyOneNameAfterTheLastBackslash) {
  EXPECT_EQ(CookieFileName(L"C:\\Cookies\\user@site[1].txt"), L"user@site[1].txt");
  EXPECT_EQ(CookieFileName(L"C:\\Other\\deep\\index.dat"), L"index.dat");
  EXPECT_EQ(CookieFileName(L"..\\up.txt"), L"up.txt");
  for (const wchar_t* unusable :
       {L"", L"no-backslash.txt", L"C:\\Cookies\\", L"C:\\Cookies\\.", L"C:\\Cookies\\..",
        L"C:\\Cookies\\ . ", L"C:\\Cookies\\*.txt", L"C:\\Cookies\\a?.txt", L"C:\\Cookies\\a/..",
        L"C:\\Cookies\\C:x", L"C:\\Cookies\\a<b", L"C:\\Cookies\\a\"b"})
    EXPECT_EQ(CookieFileName(unusable), L"") << unusable;
}

}  // namespace
