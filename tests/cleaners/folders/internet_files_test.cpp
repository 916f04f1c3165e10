#include "cleaners/folders/internet_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "cleaners/folders/special_folder.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "support/cache_layout.h"
#include "support/inventory_env.h"
#include "support/link_swap.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

namespace fs = platform::fs;

bool SameFolder(const std::wstring& a, const std::wstring& b) {
  return _wcsicmp(test::WithoutSlash(a).c_str(), test::WithoutSlash(b).c_str()) == 0;
}

// Each generation's containers lose their cache folders and keep their index; the cache
// folder's loose files and site folders go; the mail program's hidden folder stays.
TEST(CleanInternetFiles, EmptiesEveryContainerOfEachWindowsGeneration) {
  for (test::CacheGeneration generation :
       {test::CacheGeneration::kWindows7, test::CacheGeneration::kWindows10}) {
    SCOPED_TRACE(generation == test::CacheGeneration::kWindows7 ? "Windows 7" : "Windows 10");
    test::ScratchTree cache;
    const test::CacheLayout layout = test::SeedCache(cache, generation);
    test::ScratchTree sentinel;
    sentinel.File(L"site\\page.htm");
    test::ShellFolderRedirect redirect(L"Cache", test::WithoutSlash(cache.path()));
    ASSERT_TRUE(SameFolder(GetSpecialFolder(CSIDL_INTERNET_CACHE), cache.path()));

    // The second run meets the containers visible: their scans have reset their attributes.
    for (int run = 1; run <= 2; ++run) {
      EXPECT_TRUE(CleanInternetFiles());
      for (const std::wstring& gone : layout.cached)
        EXPECT_FALSE(cache.Exists(gone)) << platform::ToUtf8(gone);
      for (const std::wstring& container : layout.containers) {
        EXPECT_EQ(cache.Attributes(container), fs::kDirectory);
        EXPECT_FALSE(cache.Exists(container + L"\\AB12CD34"));
      }
      for (const std::wstring& kept : layout.kept)
        EXPECT_TRUE(cache.Exists(kept)) << platform::ToUtf8(kept);
      EXPECT_TRUE(SameFolder(fs::CurrentFolder(), fs::ProgramFolder()));
    }
    EXPECT_TRUE(sentinel.Exists(L"site\\page.htm"));
  }
}

TEST(CleanInternetFiles, ACacheFolderSwappedForALinkAfterTheScanIsNeverEntered) {
  test::ScratchTree sentinel;
  sentinel.File(L"precious.txt");
  test::ScratchTree cache;
  test::SeedCache(cache, test::CacheGeneration::kWindows10);
  test::ShellFolderRedirect redirect(L"Cache", test::WithoutSlash(cache.path()));
  {
    test::SwapForLinkBeforeOpen swap(cache / L"Low\\IE\\AB12CD34\\", sentinel.path());
    CleanInternetFiles();
    EXPECT_TRUE(swap.swapped());
  }
  EXPECT_TRUE(sentinel.Exists(L"precious.txt"));
  EXPECT_EQ(sentinel.CountEntries(), 1);
  EXPECT_FALSE(cache.Exists(L"Low\\IE\\EF56GH78"));
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

// Word's unsaved work and the attachments the mail program opened lie in the cache folder but
// are no cache: they stay, hidden or not, with all they hold, byte for byte.
TEST(CleanInternetFiles, KeepsWordAndOutlookFoldersWhateverTheirAttributes) {
  const wchar_t* const kKept[] = {L"Content.Word\\~WRL0001.tmp",
                                  L"Content.Outlook\\ABCD1234\\devis.docx", L"OLK3F2A\\offre.xlsx"};
  for (std::uint32_t folder_attributes : {0u, fs::kHidden}) {
    test::ScratchTree cache;
    test::SeedCache(cache, test::CacheGeneration::kWindows10);
    test::ScratchTree sentinel;
    sentinel.File(L"same.tmp", 0, "work");
    for (const wchar_t* kept : kKept) {
      cache.File(kept, 0, "work");
      cache.Folder(std::wstring(kept).substr(0, std::wstring(kept).find(L'\\')), folder_attributes);
    }
    test::ShellFolderRedirect redirect(L"Cache", test::WithoutSlash(cache.path()));

    EXPECT_TRUE(CleanInternetFiles());
    for (const wchar_t* kept : kKept) {
      EXPECT_EQ(cache.Content(kept), "work") << platform::ToUtf8(kept);
      EXPECT_EQ(cache.Attributes(kept), sentinel.Attributes(L"same.tmp"));
    }
    EXPECT_FALSE(cache.Exists(L"site"));
    EXPECT_EQ(sentinel.Content(L"same.tmp"), "work");
  }
}

// "Low" is set aside for its container; without one it is a folder like any other.
TEST(CleanInternetFiles, LowIsSetAsideOnlyWhereItHoldsAContainer) {
  for (const wchar_t* container : {L"", L"IE", L"Content.IE5"}) {
    SCOPED_TRACE(platform::ToUtf8(container));
    test::ScratchTree cache;
    cache.File(L"Low\\loose.dat");
    cache.File(L"Low\\sub\\inner.dat");
    const std::wstring cached = L"Low\\" + std::wstring(container) + L"\\AB12CD34\\page.htm";
    if (*container)
      cache.File(cached);
    test::ShellFolderRedirect redirect(L"Cache", test::WithoutSlash(cache.path()));

    EXPECT_TRUE(CleanInternetFiles());
    EXPECT_EQ(cache.Exists(L"Low"), *container != L'\0');
    EXPECT_EQ(cache.Exists(L"Low\\loose.dat"), *container != L'\0');
    EXPECT_FALSE(cache.Exists(L"Low\\sub"));
    EXPECT_FALSE(cache.Exists(cached));
  }
}

// A link to a file, among the loose files or in a container's cache folder, stays, and its target
// comes through byte for byte.
TEST(CleanInternetFiles, ALinkToAFileStaysAndSoDoesItsTarget) {
  test::ScratchTree sentinel;
  sentinel.File(L"target.doc", 0, "keep");
  const std::uint32_t attributes = sentinel.Attributes(L"target.doc");
  test::ScratchTree cache;
  test::SeedCache(cache, test::CacheGeneration::kWindows10);
  const wchar_t* const kLinks[] = {L"link.dat", L"IE\\AB12CD34\\link.htm"};
  std::vector<std::unique_ptr<test::FileLink>> links;
  for (const wchar_t* link : kLinks) {
    links.push_back(std::make_unique<test::FileLink>(sentinel / L"target.doc", cache / link));
    ASSERT_TRUE(links.back()->made());
  }
  test::ShellFolderRedirect redirect(L"Cache", test::WithoutSlash(cache.path()));

  CleanInternetFiles();
  for (const wchar_t* link : kLinks)
    EXPECT_TRUE(cache.Exists(link)) << platform::ToUtf8(link);
  EXPECT_FALSE(cache.Exists(L"IE\\EF56GH78"));
  EXPECT_EQ(sentinel.Content(L"target.doc"), "keep");
  EXPECT_EQ(sentinel.Attributes(L"target.doc"), attributes);
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
