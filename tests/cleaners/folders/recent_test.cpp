#include "cleaners/folders/recent.h"

#include <gtest/gtest.h>

#include "cleaners/folders/special_folder.h"
#include "platform/fs.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

namespace fs = platform::fs;

TEST(CleanRecent, DeletesTheFilesAndLeavesSubFoldersEmptyFolderAndTwiceInARow) {
  test::ScratchTree recent(L"recent");
  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"outside.lnk");
  test::ShellFolderRedirect redirect(L"Recent", recent.path());
  CleanRecent();  // an empty folder: nothing happens
  EXPECT_EQ(recent.CountEntries(), 0);

  recent.File(L"report.doc.lnk");
  recent.File(L"no-extension");
  recent.Folder(L"sub");
  recent.File(L"sub\\inside.lnk");
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    CleanRecent();
    EXPECT_FALSE(recent.Exists(L"report.doc.lnk"));
    EXPECT_FALSE(recent.Exists(L"no-extension"));
    EXPECT_TRUE(recent.Exists(L"sub\\inside.lnk"));
    EXPECT_EQ(recent.CountEntries(), 2);
    EXPECT_TRUE(sentinel.Exists(L"outside.lnk"));
  }
}

TEST(CleanRecent, ResetsNoAttributeSoProtectedFilesStay) {
  test::ScratchTree recent(L"recent");
  recent.File(L"hidden.lnk", fs::kHidden);
  recent.File(L"read-only.lnk", fs::kReadOnly);
  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"outside.lnk");
  test::ShellFolderRedirect redirect(L"Recent", recent.path());
  CleanRecent();
  EXPECT_TRUE(sentinel.Exists(L"outside.lnk"));
  EXPECT_EQ(recent.Attributes(L"hidden.lnk") & fs::kHidden, fs::kHidden);
  EXPECT_EQ(recent.Attributes(L"read-only.lnk") & fs::kReadOnly, fs::kReadOnly);
}

// An unknown folder would turn the pattern into "\*.*"; "C:\" is a drive root.
TEST(CleanRecent, LeavesTheDriveRootAloneWhenTheFolderIsUnknownOrARoot) {
  test::ScratchTree elsewhere(L"cwd");
  elsewhere.File(L"here.lnk");
  test::CurrentFolderOnDriveC current(elsewhere.path());
  ASSERT_TRUE(current.Enter());
  test::RootSentinels root;
  ASSERT_TRUE(root.Intact());
  {
    test::ShellFolderRedirect redirect(L"Recent", elsewhere.path() + L"missing");
    ASSERT_EQ(GetSpecialFolder(CSIDL_RECENT), L"");
    CleanRecent();
  }
  {
    test::ShellFolderRedirect redirect(L"Recent", L"C:\\");
    ASSERT_EQ(GetSpecialFolder(CSIDL_RECENT), L"C:\\");
    CleanRecent();
  }
  EXPECT_TRUE(root.Intact());
  EXPECT_TRUE(elsewhere.Exists(L"here.lnk"));
}

}  // namespace
