#include "cleaners/folders/recent.h"

#include <gtest/gtest.h>

#include "cleaners/folders/special_folder.h"
#include "platform/fs.h"
#include "support/drive_letter.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

namespace fs = platform::fs;

TEST(CleanRecent, DeletesTheFilesAndLeavesSubFoldersEmptyFolderAndTwiceInARow) {
  test::ScratchTree recent(L"recent");
  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"outside.lnk", fs::kNormal, "keep");
  test::ShellFolderRedirect redirect(L"Recent", recent.path());
  CleanRecent();  // an empty folder: nothing happens
  EXPECT_EQ(recent.CountEntries(), 0);

  recent.File(L"report.doc.lnk");
  recent.File(L"no-extension");
  recent.Folder(L"sub");
  recent.File(L"sub\\inside.lnk");
  // A link to a file outside is left, and so is its target.
  test::FileLink link(sentinel / L"outside.lnk", recent / L"link.lnk");
  ASSERT_TRUE(link.made());
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    CleanRecent();
    EXPECT_FALSE(recent.Exists(L"report.doc.lnk"));
    EXPECT_FALSE(recent.Exists(L"no-extension"));
    EXPECT_TRUE(recent.Exists(L"sub\\inside.lnk"));
    EXPECT_TRUE(recent.Exists(L"link.lnk"));
    EXPECT_EQ(recent.CountEntries(), 3);
    EXPECT_EQ(sentinel.Content(L"outside.lnk"), "keep");
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

// An unknown folder would turn the pattern into "\*.*", the root of the current drive, and a
// folder setting may name a drive root outright: both are left alone, on a drive of the test's
// own.
TEST(CleanRecent, LeavesTheDriveRootAloneWhenTheFolderIsUnknownOrARoot) {
  test::ScratchDrive drive;
  ASSERT_FALSE(drive.root().empty());
  test::ScopedCurrentFolder on_drive(drive.root());
  ASSERT_TRUE(on_drive.Enter());
  {
    test::ShellFolderRedirect redirect(L"Recent", drive.root() + L"missing");
    ASSERT_EQ(GetSpecialFolder(CSIDL_RECENT), L"");
    CleanRecent();
  }
  {
    test::ShellFolderRedirect redirect(L"Recent", drive.root());
    ASSERT_EQ(GetSpecialFolder(CSIDL_RECENT), drive.root());
    CleanRecent();
  }
  EXPECT_TRUE(drive.Intact());
}

}  // namespace
