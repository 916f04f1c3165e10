#include "cleaners/folders/temp_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "inventory/inventory_file.h"
#include "platform/fs.h"
#include "platform/handles.h"
#include "platform/temp_folder.h"
#include "platform/text.h"
#include "platform/text_files.h"
#include "support/drive_letter.h"
#include "support/inventory_env.h"
#include "support/scratch.h"

namespace {

namespace fs = platform::fs;

TEST(TemporaryFolderPath, KnownOnlyWhenItFitsTheBuffer) {
  const std::wstring folder = L"C:\\" + std::wstring(250, L'p');  // 253 characters
  {
    test::ScopedTempFolder temp(folder);
    platform::Result<std::wstring> path = platform::TemporaryFolderPath();
    ASSERT_TRUE(path.ok());
    EXPECT_EQ(path.value, folder + L"\\");
  }
  test::ScopedTempFolder temp(folder + L"p");
  platform::Result<std::wstring> path = platform::TemporaryFolderPath();
  EXPECT_FALSE(path.ok());
  EXPECT_EQ(path.value, L"");
}

TEST(CleanTempFiles, FolderWithoutSubfoldersLosesItsPlainFilesOnly) {
  test::ScratchTree temp_folder;
  temp_folder.File(L"plain.tmp");
  temp_folder.File(L"readonly.tmp", fs::kReadOnly);
  temp_folder.File(L"archive.tmp", fs::kArchive);
  temp_folder.File(L"hidden.tmp", fs::kHidden);
  temp_folder.File(L"system.tmp", fs::kSystem);
  test::ScratchTree sentinel;
  sentinel.File(L"plain.tmp");
  sentinel.File(L"read-only.tmp", fs::kReadOnly, "keep");
  // A link to a file outside: neither reset nor deleted, which would reach its target.
  test::FileLink link(sentinel / L"read-only.tmp", temp_folder / L"link.tmp");
  ASSERT_TRUE(link.made());
  test::ScopedTempFolder temp(temp_folder.path());

  EXPECT_TRUE(CleanTempFiles());
  EXPECT_FALSE(temp_folder.Exists(L"plain.tmp"));
  EXPECT_FALSE(temp_folder.Exists(L"readonly.tmp"));
  EXPECT_FALSE(temp_folder.Exists(L"archive.tmp"));
  EXPECT_TRUE(temp_folder.Exists(L"hidden.tmp"));
  EXPECT_TRUE(temp_folder.Exists(L"system.tmp"));
  EXPECT_TRUE(temp_folder.Exists(L"link.tmp"));
  EXPECT_EQ(test::ReadInventoryBytes(), platform::ToAnsi(temp_folder.path()) + "\r\n");
  EXPECT_TRUE(sentinel.Exists(L"plain.tmp"));
  EXPECT_EQ(sentinel.Content(L"read-only.tmp"), "keep");
  EXPECT_TRUE(sentinel.Attributes(L"read-only.tmp") & fs::kReadOnly);
  EXPECT_FALSE(platform::files::IsOpen(3));
}

TEST(CleanTempFiles, EmptiesDirectSubfoldersAndKeepsLooseAndNestedFiles) {
  test::ScratchTree temp_folder;
  temp_folder.File(L"loose.tmp");
  temp_folder.File(L"direct\\a.tmp", fs::kArchive);
  temp_folder.File(L"direct\\b.tmp");
  temp_folder.File(L"outer\\nested\\deep.tmp");
  temp_folder.File(L"outer\\own.tmp");
  temp_folder.File(L"outer\\c\\kept.tmp");  // "c" is addressed directly below the folder
  temp_folder.File(L"c\\gone.tmp");
  temp_folder.File(L"hidden\\kept.tmp");
  SetFileAttributesW((temp_folder / L"hidden").c_str(), fs::kHidden | fs::kDirectory);
  test::ScratchTree sentinel;
  sentinel.File(L"direct\\a.tmp");
  test::ScopedTempFolder temp(temp_folder.path());

  CleanTempFiles();
  EXPECT_TRUE(temp_folder.Exists(L"loose.tmp"));
  EXPECT_FALSE(temp_folder.Exists(L"direct"));
  EXPECT_FALSE(temp_folder.Exists(L"c"));
  EXPECT_FALSE(temp_folder.Exists(L"outer\\own.tmp"));
  EXPECT_TRUE(temp_folder.Exists(L"outer\\nested\\deep.tmp"));
  EXPECT_TRUE(temp_folder.Exists(L"outer\\c\\kept.tmp"));
  EXPECT_TRUE(temp_folder.Exists(L"hidden\\kept.tmp"));
  EXPECT_TRUE(sentinel.Exists(L"direct\\a.tmp"));
}

TEST(CleanTempFiles, NeverEntersEmptiesOrRemovesALink) {
  test::ScratchTree outside;
  outside.File(L"full\\precious.txt");
  outside.Folder(L"empty");
  test::ScratchTree temp_folder;
  // Real folders elsewhere in the tree put the links' names into the inventory.
  temp_folder.Folder(L"real\\full");
  temp_folder.Folder(L"real\\empty");
  ASSERT_TRUE(test::MakeUnixLink(outside / L"full", temp_folder / L"full"));
  ASSERT_TRUE(test::MakeUnixLink(outside / L"empty", temp_folder / L"empty"));
  test::ScopedTempFolder temp(temp_folder.path());

  CleanTempFiles();
  EXPECT_TRUE(outside.Exists(L"full\\precious.txt"));
  EXPECT_TRUE(outside.Exists(L"empty"));
  EXPECT_TRUE(temp_folder.Exists(L"full"));
  EXPECT_TRUE(temp_folder.Exists(L"empty"));
}

TEST(CleanTempFiles, FailedScanReadsNoInventoryLeftBefore) {
  test::ScratchTree outside;
  outside.File(L"precious.txt");
  outside.File(L"sub\\precious.txt");
  test::ScratchTree temp_folder;
  temp_folder.File(L"listed\\kept.tmp");
  // The scan can write the file neither in the program's folder nor in the fallback, while a
  // reader could still read the stale inventory.
  test::RefusedProgramInventory refused(
      test::RefusedProgramInventory::By::kHeldFile,
      platform::ToAnsi(temp_folder.path()) + "\r\nlisted\r\n..\r\n" +
          platform::ToAnsi(outside.path()) + "sub\r\n*\r\n..\\..\r\n");
  ASSERT_TRUE(refused.RefuseFallback());
  test::ScopedTempFolder temp(temp_folder.path());

  CleanTempFiles();
  EXPECT_TRUE(temp_folder.Exists(L"listed\\kept.tmp"));
  EXPECT_TRUE(outside.Exists(L"precious.txt"));
  EXPECT_TRUE(outside.Exists(L"sub\\precious.txt"));
  EXPECT_FALSE(platform::files::IsOpen(3));
}

TEST(CleanTempFiles, UnknownTemporaryFolderDeletesNothing) {
  test::ScratchTree current;
  current.File(L"loose.txt");
  current.File(L"sub\\inner.txt");
  ASSERT_TRUE(fs::ChangeCurrentFolder(current.path()).ok());
  test::ScratchDrive drive;  // its root holds files only: nothing but the guard stands in the way
  ASSERT_FALSE(drive.root().empty());
  test::WriteInventoryBytes("untouched");
  // Too long for the buffer (the paths would be relative to the current folder), and a root.
  for (const std::wstring& unknown : {L"C:\\" + std::wstring(251, L'x'), drive.root()}) {
    test::ScopedTempFolder temp(unknown);
    EXPECT_FALSE(CleanTempFiles());
  }
  EXPECT_EQ(current.CountEntries(), 3);
  EXPECT_TRUE(drive.Intact());
  EXPECT_EQ(test::ReadInventoryBytes(), "untouched");
}

}  // namespace
