#include "cleaners/folders/folder_guard.h"

#include <gtest/gtest.h>

#include "support/scratch.h"

namespace {

TEST(IsCleanableFolder, RefusesUnknownRelativeAndRootPaths) {
  for (const wchar_t* path : {L"", L"\\", L"C:", L"C:Recent", L"Recent", L"\\Recent", L"C:\\",
                              L"c:/", L"D:\\", L"C:\\Windows\\..", L"C:\\.\\", L"\\\\server\\share",
                              L"\\\\server\\share\\", L"\\\\?\\C:\\", L"\\\\?\\UNC\\server\\share"})
    EXPECT_FALSE(IsCleanableFolder(path)) << testing::PrintToString(std::wstring(path));
}

TEST(IsCleanableFolder, AcceptsFoldersBelowARootMissingOnesIncluded) {
  test::ScratchTree tree;
  tree.Folder(L"History");
  EXPECT_TRUE(IsCleanableFolder(tree / L"History"));
  EXPECT_TRUE(IsCleanableFolder(tree / L"History\\"));
  EXPECT_TRUE(IsCleanableFolder(tree / L"missing"));
  EXPECT_TRUE(IsCleanableFolder(L"\\\\server\\share\\History"));
}

TEST(IsCleanableFolder, RefusesALinkHoweverItIsSpelled) {
  test::ScratchTree target;
  test::ScratchTree tree;
  ASSERT_TRUE(test::MakeUnixLink(target.path(), tree / L"link"));
  EXPECT_FALSE(IsCleanableFolder(tree / L"link"));
  EXPECT_FALSE(IsCleanableFolder(tree / L"link\\"));
  EXPECT_TRUE(IsCleanableFolder(target.path()));
}

}  // namespace
