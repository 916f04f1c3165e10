#include "platform/folder_list.h"

#include <gtest/gtest.h>

#include "platform/fs.h"
#include "support/scratch.h"

namespace {

namespace fs = platform::fs;

TEST(FolderList, CountsEverySubFolderHiddenSystemAndLinksIncluded) {
  test::ScratchTree target;  // outlives the link to it
  test::ScratchTree tree;
  tree.File(L"loose.txt");
  tree.File(L"hidden.txt", fs::kHidden);
  tree.Folder(L"b-plain");
  tree.Folder(L"c-hidden", fs::kHidden);
  tree.Folder(L"d-system", fs::kSystem);
  ASSERT_TRUE(test::MakeUnixLink(target.path(), tree / L"a-link"));

  platform::FolderList list;
  ASSERT_TRUE(list.SetPath(tree.path()).ok());
  EXPECT_EQ(list.Path(), tree.path().substr(0, tree.path().size() - 1));
  ASSERT_EQ(list.ListCount(), 4);
  EXPECT_EQ(list.List(0), tree / L"a-link");
  EXPECT_EQ(list.List(1), tree / L"b-plain");
  EXPECT_EQ(list.List(2), tree / L"c-hidden");
  EXPECT_EQ(list.List(3), tree / L"d-system");
  EXPECT_EQ(list.List(4), L"");

  ASSERT_TRUE(list.SetPath(tree / L"b-plain").ok());
  EXPECT_EQ(list.ListCount(), 0);
}

TEST(FolderList, KeepsItsFolderWhenTheNewPathIsNoFolder) {
  test::ScratchTree tree;
  tree.File(L"file.txt");
  tree.Folder(L"sub");
  platform::FolderList list;
  ASSERT_TRUE(list.SetPath(tree.path()).ok());
  EXPECT_FALSE(list.SetPath(tree / L"missing").ok());
  EXPECT_FALSE(list.SetPath(tree / L"file.txt").ok());
  EXPECT_FALSE(list.SetPath(L"").ok());
  EXPECT_EQ(list.List(-1), tree.path().substr(0, tree.path().size() - 1));
  EXPECT_EQ(list.ListCount(), 1);
}

}  // namespace
