#include "platform/erasure.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "inventory/purge.h"
#include "platform/deletion.h"
#include "platform/fs.h"
#include "platform/tally.h"
#include "platform/text_files.h"
#include "support/processes.h"
#include "support/scratch.h"
#include "support/tree_snapshot.h"

namespace {

namespace fs = platform::fs;
namespace tally = platform::tally;
using platform::erasure::CountingScope;

void ExpectSameCounts(const tally::Counts& counted, const tally::Counts& erased) {
  EXPECT_EQ(counted.deleted, erased.deleted);
  EXPECT_EQ(counted.bytes, erased.bytes);
  EXPECT_EQ(counted.in_use, erased.in_use);
  EXPECT_EQ(counted.refused, erased.refused);
  EXPECT_EQ(counted.links, erased.links);
  EXPECT_EQ(counted.other, erased.other);
  EXPECT_EQ(counted.kept, erased.kept);
}

// Runs `erase` once counting, then for real: the count changes nothing, and it finds what the
// erasure then removes and leaves, item for item and byte for byte.
void ExpectCountThenErasureAgree(const std::function<bool()>& erase, const std::wstring& folder,
                                 const std::wstring& outside) {
  const std::string before = test::SnapshotTree(folder);
  const std::string outside_before = test::SnapshotTree(outside);
  tally::Reset();
  bool counted_whole;
  {
    CountingScope counting;
    counted_whole = erase();
  }
  const tally::Counts counted = tally::Current();
  EXPECT_EQ(test::SnapshotTree(folder), before) << "counting changed the tree";
  EXPECT_FALSE(platform::erasure::Counting());

  tally::Reset();
  EXPECT_EQ(erase(), counted_whole);
  ExpectSameCounts(counted, tally::Current());
  EXPECT_GT(counted.deleted, 0u);
  EXPECT_EQ(test::SnapshotTree(outside), outside_before) << "the sentinel changed";
}

TEST(Erasure, CountingAPurgeFindsWhatThePurgeRemovesAndChangesNothing) {
  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"keep.txt", fs::kReadOnly, "keep");
  test::ScratchTree tree;
  tree.File(L"a.txt", 0, "hello");
  tree.File(L"read-only.txt", fs::kReadOnly, "ro");
  tree.File(L"hidden.txt", fs::kHidden, "h");
  tree.File(L"sub\\b.txt", 0, "bb");
  tree.File(L"sub\\deep\\c.txt", 0, "ccc");
  tree.Folder(L"sub\\empty");
  tree.File(L"busy\\a-held.tmp", 0, "held");
  tree.File(L"busy\\free.txt", 0, "free");
  tree.File(L"busy\\b-mapped.dll", 0, "a library a running program loaded");
  ASSERT_TRUE(test::MakeUnixLink(sentinel.path(), tree / L"link"));
  test::ChildProcess holder(L"hold_file.exe \"" + (tree / L"busy\\a-held.tmp") + L"\"");
  ASSERT_TRUE(holder.WaitForLine(L"holding"));
  // Opened for deletion at once, but the deletion itself is refused while the view is mapped.
  test::ChildProcess mapper(L"hold_file.exe \"" + (tree / L"busy\\b-mapped.dll") + L"\" mapped");
  ASSERT_TRUE(mapper.WaitForLine(L"holding"));
  // Deleted, but where the deletion waits for every handle to close (Windows before 10 1809,
  // Wine), its name and so its folder stay while the other program keeps it open.
  tree.File(L"shared\\c-open.tmp", 0, "open elsewhere");
  test::ChildProcess sharer(L"hold_file.exe \"" + (tree / L"shared\\c-open.tmp") + L"\" shared");
  ASSERT_TRUE(sharer.WaitForLine(L"holding"));

  ExpectCountThenErasureAgree([&] { return PurgeFolderContents(tree.path()); }, tree.path(),
                              sentinel.path());
  EXPECT_TRUE(tree.Exists(L"busy\\a-held.tmp"));
  EXPECT_TRUE(tree.Exists(L"busy\\b-mapped.dll"));
  EXPECT_FALSE(tree.Exists(L"sub"));
  EXPECT_EQ(sentinel.Content(L"keep.txt"), "keep");
}

TEST(Erasure, CountingLooseFilesKeepsReadOnlyOnesAsTheDeletionDoes) {
  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"keep.txt");
  test::ScratchTree tree;
  tree.File(L"a.txt", 0, "12345");
  tree.File(L"read-only.txt", fs::kReadOnly, "ro");
  tree.File(L"system.txt", fs::kSystem);
  tree.Folder(L"sub");
  ExpectCountThenErasureAgree(
      [&] {
        platform::deletion::Folder folder;
        return platform::deletion::Folder::Open(tree.path(), &folder).ok() &&
               platform::deletion::DeletePlainFiles(folder, platform::deletion::ReadOnly::kStays)
                   .ok();
      },
      tree.path(), sentinel.path());
  EXPECT_TRUE(tree.Exists(L"read-only.txt"));
  EXPECT_FALSE(tree.Exists(L"a.txt"));
}

TEST(Erasure, FilesWrittenWhileCountingStayInMemoryAndAreReadBackFromThere) {
  namespace files = platform::files;
  test::ScratchTree tree;
  tree.File(L"Reper.txt", 0, "C:\\old\r\nkept\r\n");
  const std::wstring path = tree / L"reper.TXT";  // the same file, spelt otherwise
  {
    CountingScope counting;
    ASSERT_TRUE(files::OpenInMemoryForOutput(3, path).ok());
    ASSERT_TRUE(files::PrintLine(3, L"C:\\Temp\\").ok());
    ASSERT_TRUE(files::PrintLine(3, L"Dossier é").ok());
    ASSERT_TRUE(files::Close(3).ok());
    EXPECT_EQ(tree.Content(L"Reper.txt"), "C:\\old\r\nkept\r\n");

    ASSERT_TRUE(files::OpenForInput(3, tree / L"Reper.txt").ok());
    std::wstring line;
    ASSERT_TRUE(files::LineInput(3, &line).ok());
    EXPECT_EQ(line, L"C:\\Temp\\");
    ASSERT_TRUE(files::LineInput(3, &line).ok());
    EXPECT_EQ(line, L"Dossier é");
    EXPECT_TRUE(files::AtEnd(3));
    files::CloseAll();
  }
  // Outside the analysis, and in the next one, the file on the disk is what is read.
  for (bool counting : {false, true}) {
    std::optional<CountingScope> scope;
    if (counting)
      scope.emplace();
    ASSERT_TRUE(files::OpenForInput(3, path).ok());
    std::wstring line;
    ASSERT_TRUE(files::LineInput(3, &line).ok());
    EXPECT_EQ(line, L"C:\\old");
    files::CloseAll();
  }
  EXPECT_EQ(tree.CountEntries(), 1);
}

}  // namespace
