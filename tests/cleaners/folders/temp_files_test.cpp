#include "cleaners/folders/temp_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "inventory/inventory_file.h"
#include "platform/fs.h"
#include "platform/handles.h"
#include "platform/tally.h"
#include "platform/temp_folder.h"
#include "platform/text.h"
#include "platform/text_files.h"
#include "support/drive_letter.h"
#include "support/inventory_env.h"
#include "support/link_swap.h"
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

// Every listed folder is cleaned where the scan found it, deepest first, so that a parent
// emptied of its sub-folders goes too; what the inventory leaves out stays and is counted.
TEST(CleanTempFiles, LooseFilesGoAndEachListedFolderIsCleanedAtItsOwnPlace) {
  test::ScratchTree temp_folder;
  temp_folder.File(L"loose.tmp");
  temp_folder.File(L"loose-read-only.tmp", fs::kReadOnly);
  temp_folder.File(L"loose-hidden.tmp", fs::kHidden);
  temp_folder.File(L"a\\x\\visible.tmp");
  temp_folder.File(L"x\\hidden-folder.tmp");  // the hidden namesake of a\x
  temp_folder.Folder(L"x", fs::kHidden);
  temp_folder.File(L"a b\\c.tmp");  // sorts between "a" and "a\x" in the inventory
  temp_folder.File(L"outer\\nested\\deep.tmp", fs::kArchive);
  temp_folder.File(L"stays\\read-only.tmp", fs::kReadOnly);
  temp_folder.File(L"d1\\d2\\d3\\d4\\d5\\d6\\beyond.tmp");  // d6 lies below the inventory's reach
  test::ScratchTree sentinel;
  sentinel.File(L"x\\hidden-folder.tmp");
  test::ScopedTempFolder temp(temp_folder.path());
  platform::tally::Reset();

  EXPECT_TRUE(CleanTempFiles());
  for (const wchar_t* gone : {L"loose.tmp", L"loose-read-only.tmp", L"a", L"a b", L"outer"})
    EXPECT_FALSE(temp_folder.Exists(gone)) << platform::ToUtf8(gone);
  for (const wchar_t* kept : {L"loose-hidden.tmp", L"x\\hidden-folder.tmp", L"stays\\read-only.tmp",
                              L"d1\\d2\\d3\\d4\\d5\\d6\\beyond.tmp"})
    EXPECT_TRUE(temp_folder.Exists(kept)) << platform::ToUtf8(kept);
  // The hidden file, the hidden folder and the folder out of reach.
  EXPECT_EQ(platform::tally::Current().kept, 3u);
  EXPECT_TRUE(sentinel.Exists(L"x\\hidden-folder.tmp"));
}

// A name no reader could use (a device's name, a trailing dot or space) is left with what it
// holds, and so is a link to a file in a listed folder (and so that folder), its target
// untouched; the other sub-folders are still cleaned.
TEST(CleanTempFiles, OddNamesAndLinksToFilesStayAndTheOtherFoldersGo) {
  test::ScratchTree sentinel;
  sentinel.File(L"target.doc", 0, "keep");
  const std::uint32_t attributes = sentinel.Attributes(L"target.doc");
  test::ScratchTree temp_folder;
  for (const wchar_t* odd : {L"CON", L"con.txt", L"a.", L"b "})
    temp_folder.RawFolder(std::wstring(odd) + L"\\inner");
  temp_folder.File(L"good\\nested\\cached.tmp");
  temp_folder.File(L"linked\\cached.tmp");
  test::FileLink link(sentinel / L"target.doc", temp_folder / L"linked\\link.doc");
  ASSERT_TRUE(link.made());
  test::ScopedTempFolder temp(temp_folder.path());

  CleanTempFiles();
  EXPECT_FALSE(temp_folder.Exists(L"good"));
  EXPECT_FALSE(temp_folder.Exists(L"linked\\cached.tmp"));
  EXPECT_TRUE(temp_folder.Exists(L"linked\\link.doc"));
  EXPECT_EQ(temp_folder.CountEntries(), 10);
  EXPECT_EQ(sentinel.Content(L"target.doc"), "keep");
  EXPECT_EQ(sentinel.Attributes(L"target.doc"), attributes);
}

TEST(CleanTempFiles, AListedFolderSwappedForALinkAfterTheScanIsNeverEntered) {
  for (bool in_place : {false, true}) {
    SCOPED_TRACE(in_place ? "turned into a junction in place" : "swapped for a link");
    test::ScratchTree sentinel;
    sentinel.File(L"precious.txt");
    test::ScratchTree temp_folder;
    temp_folder.File(L"a\\victim\\b.tmp");
    test::ScopedTempFolder temp(temp_folder.path());
    {
      std::optional<test::HandleSeenAsLink> seen;
      if (in_place)
        seen.emplace(temp_folder / L"a\\victim");
      test::SwapForLinkBeforeOpen swap(in_place ? L"" : temp_folder / L"a\\victim\\",
                                       sentinel.path());
      CleanTempFiles();
      EXPECT_EQ(swap.swapped(), !in_place);
    }
    EXPECT_TRUE(sentinel.Exists(L"precious.txt"));
    EXPECT_EQ(sentinel.CountEntries(), 1);
  }
}

// The cleaning works from the listings the scan made of the folders it found, each folder
// checked to be the one listed: what comes after the scan, a file or a folder put in place of
// a listed one, is not what was listed, and stays with the folder that holds it.
TEST(CleanTempFiles, WhatCameAfterTheScanStaysWithItsFolder) {
  test::ScratchTree temp_folder;
  temp_folder.File(L"a\\listed.tmp");
  temp_folder.File(L"n\\sub\\listed.tmp");
  temp_folder.File(L"other\\listed.tmp");
  test::ScopedTempFolder temp(temp_folder.path());
  int a_announced = 0, sub_announced = 0;
  // Each folder is announced once by the scan, then once by the cleaning before it opens it.
  fs::testing::SetBeforeChangeHook([&](const std::wstring& path) {
    if (path == temp_folder / L"a\\" && ++a_announced == 2)
      temp_folder.File(L"a\\late.tmp");
    if (path == temp_folder / L"n\\sub\\" && ++sub_announced == 2) {
      ASSERT_TRUE(
          MoveFileW((temp_folder / L"n\\sub").c_str(), (temp_folder / L"n\\sub-listed").c_str()));
      temp_folder.File(L"n\\sub\\listed.tmp", 0, "new");
    }
  });
  platform::tally::Reset();
  CleanTempFiles();
  fs::testing::SetBeforeChangeHook(nullptr);

  EXPECT_EQ(a_announced, 3);  // and once more as it is removed
  EXPECT_FALSE(temp_folder.Exists(L"a\\listed.tmp"));
  EXPECT_TRUE(temp_folder.Exists(L"a\\late.tmp"));
  EXPECT_EQ(temp_folder.Content(L"n\\sub\\listed.tmp"), "new");
  EXPECT_TRUE(temp_folder.Exists(L"n\\sub-listed\\listed.tmp"));
  EXPECT_FALSE(temp_folder.Exists(L"other"));
  const platform::tally::Counts counts = platform::tally::Current();
  EXPECT_EQ(counts.deleted, 3u);  // a\listed.tmp, other\listed.tmp and other
  EXPECT_EQ(counts.links, 1u);    // the new n\sub, refused as not the folder listed
  EXPECT_EQ(counts.left(), 1u);   // a folder left for what it still holds counts nothing more
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

  const FolderCleaning outcome = CleanTempFiles();
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0].kind, FolderProblem::Kind::kInventoryFailed);
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
