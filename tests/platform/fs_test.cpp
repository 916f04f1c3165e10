#include "platform/fs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
  std::wstring folder = fs::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), L'\\');
  EXPECT_TRUE(fs::FolderExists(folder));
}

}  // namespace
