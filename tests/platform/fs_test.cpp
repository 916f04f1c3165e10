#include "platform/fs.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/processes.h"
#include "support/scratch.h"

namespace {

using platform::fs::FoundEntry;
namespace fs = platform::fs;

std::vector<std::wstring> SearchAll(const std::wstring& pattern, std::uint32_t mask) {
  std::vector<std::wstring> names;
  FoundEntry entry;
  EXPECT_TRUE(fs::FindFirst(pattern, mask, &entry).ok());
  while (!entry.end()) {
    if (!entry.IsDotOrDotDot())
      names.push_back(entry.name);
    EXPECT_TRUE(fs::FindNext(&entry).ok());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(PatternSearch, MaskSelectsHiddenSystemAndFolders) {
  test::ScratchTree tree;
  tree.File(L"plain.txt");
  tree.File(L"ro.txt", fs::kReadOnly);
  tree.File(L"hidden.txt", fs::kHidden);
  tree.File(L"system.txt", fs::kSystem);
  tree.Folder(L"sub");
  tree.Folder(L"hiddensub", fs::kHidden);

  const std::wstring root = tree.path();
  EXPECT_EQ(SearchAll(root, fs::kNormal), (std::vector<std::wstring>{L"plain.txt", L"ro.txt"}));
  EXPECT_EQ(SearchAll(root, fs::kDirectory),
            (std::vector<std::wstring>{L"plain.txt", L"ro.txt", L"sub"}));
  EXPECT_EQ(SearchAll(root, 54),
            (std::vector<std::wstring>{L"hidden.txt", L"hiddensub", L"plain.txt", L"ro.txt", L"sub",
                                       L"system.txt"}));
}

TEST(PatternSearch, OneCursorForTheWholeProcess) {
  test::ScratchTree a;
  a.File(L"a1");
  a.File(L"a2");
  test::ScratchTree b;
  b.File(L"b1");

  FoundEntry entry;
  ASSERT_TRUE(fs::FindFirst(a.path() + L"a*", fs::kNormal, &entry).ok());
  EXPECT_FALSE(entry.end());
  // A second search replaces the first: what follows comes from b, then the end.
  ASSERT_TRUE(fs::FindFirst(b.path(), fs::kNormal, &entry).ok());
  std::vector<std::wstring> rest;
  while (!entry.end()) {
    rest.push_back(entry.name);
    ASSERT_TRUE(fs::FindNext(&entry).ok());
  }
  std::erase_if(rest, [](const std::wstring& n) { return n == L"." || n == L".."; });
  EXPECT_EQ(rest, std::vector<std::wstring>{L"b1"});
  ASSERT_TRUE(fs::FindNext(&entry).ok());
  EXPECT_TRUE(entry.end());
}

TEST(PatternSearch, MissingFolderGivesNoEntryAndNoError) {
  test::ScratchTree tree;
  FoundEntry entry;
  EXPECT_TRUE(fs::FindFirst(tree.path() + L"missing\\", fs::kDirectory, &entry).ok());
  EXPECT_TRUE(entry.end());
}

TEST(RemoveMatchingFiles, DeletesPlainFilesOnlyAndReportsNothingMatched) {
  test::ScratchTree tree;
  tree.File(L"one.tmp");
  tree.File(L"two.tmp");
  tree.File(L"hidden.tmp", fs::kHidden);
  tree.File(L"keep.txt");
  tree.Folder(L"dir.tmp");
  test::ScratchTree sentinel;
  sentinel.File(L"outside.tmp");

  EXPECT_TRUE(fs::RemoveMatchingFiles(tree.path() + L"*.tmp").ok());
  EXPECT_FALSE(tree.Exists(L"one.tmp"));
  EXPECT_FALSE(tree.Exists(L"two.tmp"));
  EXPECT_TRUE(tree.Exists(L"hidden.tmp"));
  EXPECT_TRUE(tree.Exists(L"keep.txt"));
  EXPECT_TRUE(tree.Exists(L"dir.tmp"));
  EXPECT_TRUE(sentinel.Exists(L"outside.tmp"));
  EXPECT_TRUE(fs::RemoveMatchingFiles(tree.path() + L"*.tmp").IsWin32(2));
}

// The first file in name order is held by another program: the thirty others go all the same,
// and the call reports the first failure, not the read-only file refused last.
TEST(RemoveMatchingFiles, GoesOnPastAFileInUseAndReportsTheFirstFailure) {
  test::ScratchTree tree;
  tree.File(L"a-held.tmp");
  for (int i = 10; i < 40; ++i)
    tree.File(L"f" + std::to_wstring(i) + L".tmp");
  tree.File(L"z-read-only.tmp", fs::kReadOnly);
  test::ChildProcess holder(L"hold_file.exe \"" + (tree / L"a-held.tmp") + L"\"");
  ASSERT_TRUE(holder.WaitForLine(L"holding"));

  EXPECT_TRUE(fs::RemoveMatchingFiles(tree.path() + L"*.tmp").IsWin32(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(tree.Exists(L"a-held.tmp"));
  EXPECT_TRUE(tree.Exists(L"z-read-only.tmp"));
  EXPECT_EQ(tree.CountEntries(), 2);
}

// Asked of the process image rather than of the module, and from another current folder.
TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
  wchar_t image[MAX_PATH * 4] = {};
  DWORD size = MAX_PATH * 4;
  ASSERT_TRUE(QueryFullProcessImageNameW(GetCurrentProcess(), 0, image, &size));
  const std::wstring executable(image, size);
  test::ScratchTree elsewhere;
  const std::wstring before = fs::CurrentFolder();
  ASSERT_TRUE(fs::ChangeCurrentFolder(elsewhere.path()).ok());

  const std::wstring folder = fs::ProgramFolder();
  ASSERT_TRUE(fs::ChangeCurrentFolder(before).ok());
  EXPECT_EQ(
      CompareStringOrdinal(folder.c_str(), -1,
                           executable.substr(0, executable.find_last_of(L'\\')).c_str(), -1, TRUE),
      CSTR_EQUAL)
      << testing::PrintToString(folder) << " " << testing::PrintToString(executable);
}

}  // namespace
