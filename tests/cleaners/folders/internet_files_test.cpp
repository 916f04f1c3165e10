#include "cleaners/folders/internet_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "cleaners/folders/special_folder.h"
#include "platform/fs.h"
#include "support/inventory_env.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

namespace fs = platform::fs;

bool SameFolder(const std::wstring& a, const std::wstring& b) {
  return _wcsicmp(test::WithoutSlash(a).c_str(), test::WithoutSlash(b).c_str()) == 0;
}

TEST(CleanInternetFiles, EmptiesTheSubfoldersOfTheCacheAndOfContentIE5) {
  test::ScratchTree cache;
  cache.File(L"loose.dat");
  cache.File(L"site\\page.htm");
  cache.File(L"site\\nested\\kept.htm");
  cache.File(L"Content.IE5\\index.dat");
  cache.File(L"Content.IE5\\AB12CD34\\image.gif");
  cache.File(L"Content.IE5\\EF56GH78\\script.js");
  SetFileAttributesW((cache / L"Content.IE5").c_str(), fs::kHidden | fs::kSystem | fs::kDirectory);
  test::ScratchTree sentinel;
  sentinel.File(L"site\\page.htm");
  test::ShellFolderRedirect redirect(L"Cache", test::WithoutSlash(cache.path()));
  ASSERT_TRUE(SameFolder(GetSpecialFolder(CSIDL_INTERNET_CACHE), cache.path()));

  // The second run meets "Content.IE5" visible: the scan has reset its attributes.
  for (int run = 1; run <= 2; ++run) {
    CleanInternetFiles();
    EXPECT_TRUE(cache.Exists(L"loose.dat"));
    EXPECT_FALSE(cache.Exists(L"site\\page.htm"));
    EXPECT_TRUE(cache.Exists(L"site\\nested\\kept.htm"));
    EXPECT_TRUE(cache.Exists(L"Content.IE5\\index.dat"));
    EXPECT_FALSE(cache.Exists(L"Content.IE5\\AB12CD34\\image.gif"));
    EXPECT_FALSE(cache.Exists(L"Content.IE5\\EF56GH78\\script.js"));
    EXPECT_EQ(cache.Attributes(L"Content.IE5"), fs::kDirectory);
    EXPECT_TRUE(SameFolder(fs::CurrentFolder(), fs::ProgramFolder()));
  }
  EXPECT_TRUE(sentinel.Exists(L"site\\page.htm"));
}

TEST(CleanInternetFiles, CacheWithoutSubfoldersLosesItsPlainFilesOnly) {
  test::ScratchTree cache;
  cache.File(L"plain.dat");
  cache.File(L"readonly.dat", fs::kReadOnly);
  cache.File(L"hidden.dat", fs::kHidden);
  cache.File(L"system.dat", fs::kSystem);
  test::ScratchTree sentinel;
  sentinel.File(L"plain.dat");
  test::ShellFolderRedirect redirect(L"Cache", test::WithoutSlash(cache.path()));

  CleanInternetFiles();
  EXPECT_FALSE(cache.Exists(L"plain.dat"));
  EXPECT_FALSE(cache.Exists(L"readonly.dat"));
  EXPECT_TRUE(cache.Exists(L"hidden.dat"));
  EXPECT_TRUE(cache.Exists(L"system.dat"));
  EXPECT_TRUE(sentinel.Exists(L"plain.dat"));
}

TEST(CleanInternetFiles, NeverTouchesALinkedFolder) {
  test::ScratchTree outside;
  outside.File(L"precious.txt");
  outside.Folder(L"empty");
  test::ScratchTree cache;
  cache.Folder(L"real\\linked");
  cache.Folder(L"Content.IE5\\real\\empty");
  ASSERT_TRUE(test::MakeUnixLink(outside.path(), cache / L"linked"));
  ASSERT_TRUE(test::MakeUnixLink(outside / L"empty", cache / L"Content.IE5\\empty"));
  ASSERT_TRUE(test::MakeReadOnlyFolder(outside.path()));
  ASSERT_TRUE(test::MakeReadOnlyFolder(outside / L"empty"));
  test::ShellFolderRedirect redirect(L"Cache", test::WithoutSlash(cache.path()));

  CleanInternetFiles();
  EXPECT_TRUE(outside.Exists(L"precious.txt"));
  EXPECT_EQ(test::FolderAttributes(outside.path()), fs::kDirectory | fs::kReadOnly);
  EXPECT_EQ(test::FolderAttributes(outside / L"empty"), fs::kDirectory | fs::kReadOnly);
}

// A visible "abc" written in full-width letters, and "Lodz" with its Polish marks, must not
// send the cleaner into the hidden plain-letter sibling that the scan left out.
TEST(CleanInternetFiles, LeavesTheHiddenLookAlikeOfAListedFolder) {
  test::ScratchTree cache;
  for (const wchar_t* hidden : {L"abc", L"L\u00f3dz"}) {
    cache.File(std::wstring(hidden) + L"\\keep.txt");
    SetFileAttributesW((cache / hidden).c_str(), fs::kHidden | fs::kDirectory);
  }
  cache.File(L"\uff41\uff42\uff43\\page.htm");
  cache.File(L"\u0141\u00f3d\u017a\\page.htm");
  test::ShellFolderRedirect redirect(L"Cache", test::WithoutSlash(cache.path()));

  wchar_t short_path[MAX_PATH] = {};
  GetShortPathNameW((cache / L"\uff41\uff42\uff43").c_str(), short_path, MAX_PATH);
  const bool short_names = std::wstring(short_path).find(L'~') != std::wstring::npos;

  CleanInternetFiles();
  EXPECT_TRUE(cache.Exists(L"abc\\keep.txt"));
  EXPECT_TRUE(cache.Exists(L"L\u00f3dz\\keep.txt"));
  EXPECT_EQ(cache.Attributes(L"abc"), fs::kHidden | fs::kDirectory);
  // Where the volume keeps short names (Wine makes them), the listed folders are cleaned
  // through them.
  EXPECT_EQ(cache.Exists(L"\uff41\uff42\uff43\\page.htm"), !short_names);
  EXPECT_EQ(cache.Exists(L"\u0141\u00f3d\u017a\\page.htm"), !short_names);
}

TEST(CleanInternetFiles, UnknownCacheFolderDeletesNothing) {
  test::ScratchTree current;
  current.File(L"loose.txt");
  current.File(L"sub\\inner.txt");
  ASSERT_TRUE(fs::ChangeCurrentFolder(current.path()).ok());
  test::WriteInventoryBytes("untouched");
  test::ShellFolderRedirect redirect(L"Cache", current / L"missing");
  ASSERT_EQ(GetSpecialFolder(CSIDL_INTERNET_CACHE), L"");

  CleanInternetFiles();
  EXPECT_EQ(current.CountEntries(), 3);
  EXPECT_EQ(test::ReadInventoryBytes(), "untouched");
  EXPECT_TRUE(SameFolder(fs::CurrentFolder(), fs::ProgramFolder()));
}

}  // namespace
