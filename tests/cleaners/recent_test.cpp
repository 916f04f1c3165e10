#include "cleaners/folders/recent.h"

#include <gtest/gtest.h>

#include "cleaners/folders/special_folder.h"
#include "platform/fs.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

namespace fs = platform::fs;

TEST(CleanRecent, DeletesTheFilesAndLeavesSubFoldersTwiceInARow) {
  test::ScratchTree recent(L"recent");
  recent.File(L"report.doc.lnk");
  recent.File(L"photo.jpg.lnk");
  recent.File(L"no-extension");
  recent.Folder(L"sub");
  recent.File(L"sub\\inside.lnk");
  recent.Folder(L"empty");
  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"outside.lnk");
  test::ShellFolderRedirect redirect(L"Recent", recent.path());

  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    CleanRecent();
    EXPECT_FALSE(recent.Exists(L"report.doc.lnk"));
    EXPECT_FALSE(recent.Exists(L"photo.jpg.lnk"));
    EXPECT_FALSE(recent.Exists(L"no-extension"));
    EXPECT_TRUE(recent.Exists(L"sub\\inside.lnk"));
    EXPECT_TRUE(recent.Exists(L"empty"));
    EXPECT_EQ(recent.CountEntries(), 3);
    EXPECT_TRUE(sentinel.Exists(L"outside.lnk"));
  }
}

TEST(CleanRecent, ResetsNoAttributeSoProtectedFilesStay) {
  test::ScratchTree recent(L"recent");
  recent.File(L"hidden.lnk", fs::kHidden);
  recent.File(L"system.lnk", fs::kSystem);
  recent.File(L"read-only.lnk", fs::kReadOnly);
  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"outside.lnk");
  test::ShellFolderRedirect redirect(L"Recent", recent.path());

  CleanRecent();
  EXPECT_EQ(recent.Attributes(L"hidden.lnk") & fs::kHidden, fs::kHidden);
  EXPECT_EQ(recent.Attributes(L"system.lnk") & fs::kSystem, fs::kSystem);
  EXPECT_EQ(recent.Attributes(L"read-only.lnk") & fs::kReadOnly, fs::kReadOnly);
  EXPECT_TRUE(sentinel.Exists(L"outside.lnk"));
}

TEST(CleanRecent, EndsSilentlyOnAnEmptyFolder) {
  test::ScratchTree recent(L"recent");
  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"outside.lnk");
  test::ShellFolderRedirect redirect(L"Recent", recent.path());
  CleanRecent();
  EXPECT_TRUE(fs::FolderExists(recent.path()));
  EXPECT_EQ(recent.CountEntries(), 0);
  EXPECT_TRUE(sentinel.Exists(L"outside.lnk"));
}

// An unknown folder would turn the pattern into "\*.*", and "C:\" is a root: both leave the
// root of the current drive alone.
TEST(CleanRecent, DeletesNothingWhenTheFolderIsUnknownOrADriveRoot) {
  test::ScratchTree elsewhere(L"cwd");
  elsewhere.File(L"here.lnk");
  test::BackToProgramFolder back_to_program_folder;
  ASSERT_TRUE(test::CurrentFolderOnDriveC(elsewhere.path()));
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

TEST(CleanRecent, NeverEmptiesAFolderThroughALink) {
  test::ScratchTree target(L"target");
  target.File(L"victim.lnk");
  test::ScratchTree links(L"links");
  ASSERT_TRUE(test::MakeUnixLink(target.path(), links / L"Recent"));
  test::ShellFolderRedirect redirect(L"Recent", links / L"Recent");
  ASSERT_EQ(GetSpecialFolder(CSIDL_RECENT), links / L"Recent");

  CleanRecent();
  EXPECT_TRUE(target.Exists(L"victim.lnk"));
  EXPECT_TRUE(links.Exists(L"Recent"));
}

}  // namespace
