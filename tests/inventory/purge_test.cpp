#include "inventory/purge.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/handles.h"
#include "platform/system.h"
#include "platform/tally.h"
#include "support/drive_letter.h"
#include "support/message_probe.h"
#include "support/scratch.h"

namespace {

namespace fs = platform::fs;

// A tree outside every purged folder, which must come through whole.
class Sentinel {
 public:
  Sentinel() {
    tree_.File(L"keep.txt");
    tree_.File(L"deep\\er\\keep.txt", fs::kReadOnly | fs::kHidden, "keep");
  }
  const std::wstring& path() const { return tree_.path(); }
  bool Intact() const {
    constexpr std::uint32_t kProtected = fs::kReadOnly | fs::kHidden;
    return tree_.CountEntries() == 4 && tree_.Content(L"deep\\er\\keep.txt") == "keep" &&
           (tree_.Attributes(L"deep\\er\\keep.txt") & kProtected) == kProtected;
  }

 private:
  test::ScratchTree tree_{L"sentinel"};
};

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(PurgeFolder, RemovesEveryAttributeAtAnyDepthBottomUp) {
  Sentinel sentinel;
  test::ScratchTree tree;
  tree.File(L"readonly.txt", fs::kReadOnly);
  tree.File(L"hidden.txt", fs::kHidden);
  tree.File(L"system.txt", fs::kSystem);
  tree.File(L"all.txt", fs::kReadOnly | fs::kHidden | fs::kSystem | fs::kArchive);
  tree.File(L"hidden dir\\inside.txt", fs::kHidden);
  tree.Folder(L"hidden dir", fs::kHidden);
  tree.File(L"system dir\\inside.txt");
  tree.Folder(L"system dir", fs::kSystem | fs::kReadOnly);
  tree.Folder(L"empty dir");
  tree.File(L"1\\a.txt");
  tree.File(L"1\\2\\3\\a.txt", fs::kHidden);
  tree.File(L"1\\2\\3\\4\\5\\a.txt", fs::kReadOnly);
  SetFileAttributesW(tree.path().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

  std::vector<std::wstring> changes;
  fs::testing::SetBeforeChangeHook([&](const std::wstring& path) { changes.push_back(path); });
  EXPECT_TRUE(PurgeFolder(tree.path()));
  fs::testing::SetBeforeChangeHook(nullptr);

  EXPECT_FALSE(fs::FolderExists(tree.path()));
  EXPECT_TRUE(sentinel.Intact());
  // Each folder's changes form one unbroken run ending with the folder itself: its contents go
  // first, then the folder, before anything else is touched.
  for (const std::wstring& folder : changes) {
    EXPECT_TRUE(StartsWith(folder, tree.path())) << "touched outside: " << folder.c_str();
    if (folder.back() != L'\\')
      continue;
    size_t first = changes.size(), last = 0, count = 0;
    for (size_t i = 0; i < changes.size(); ++i) {
      if (StartsWith(changes[i], folder)) {
        first = std::min(first, i);
        last = i;
        ++count;
      }
    }
    EXPECT_EQ(last - first + 1, count) << folder.c_str();
    EXPECT_EQ(changes[last], folder);
  }
}

TEST(PurgeFolder, FileInUseKeepsItsFoldersAndFailsThePurge) {
  Sentinel sentinel;
  test::ScratchTree tree;
  tree.File(L"top.txt");
  tree.File(L"a\\one.txt");
  tree.File(L"a\\b\\c\\locked.txt");
  tree.File(L"a\\b\\c\\two.txt", fs::kReadOnly);
  tree.File(L"a\\b\\sibling\\three.txt", fs::kHidden);
  tree.File(L"other\\four.txt");
  platform::UniqueHandle locked(CreateFileW((tree / L"a\\b\\c\\locked.txt").c_str(), GENERIC_READ,
                                            0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(locked.valid());

  EXPECT_FALSE(PurgeFolder(tree.path()));

  // Only the locked file and the folders holding it remain.
  EXPECT_TRUE(tree.Exists(L"a\\b\\c\\locked.txt"));
  EXPECT_EQ(tree.CountEntries(), 4);
  EXPECT_TRUE(sentinel.Intact());
}

// A folder held by another program without sharing cannot even be opened: what stays in it
// is not seen, but the folder itself is left, and the run's summary says so.
TEST(PurgeFolder, AFolderThatCannotBeOpenedCountsAsLeftInUse) {
  Sentinel sentinel;
  test::ScratchTree tree;
  tree.File(L"a.txt");
  tree.File(L"held\\inside.txt");
  auto hold = [&](const std::wstring& folder) {
    return platform::UniqueHandle(CreateFileW(folder.c_str(), GENERIC_READ, 0, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  };
  platform::tally::Reset();
  {
    platform::UniqueHandle held = hold(tree / L"held");
    ASSERT_TRUE(held.valid());
    EXPECT_FALSE(PurgeFolder(tree.path()));
  }
  EXPECT_TRUE(tree.Exists(L"held\\inside.txt"));
  EXPECT_FALSE(tree.Exists(L"a.txt"));
  {
    platform::UniqueHandle held = hold(tree / L"held");
    ASSERT_TRUE(held.valid());
    EXPECT_FALSE(PurgeFolderContents(tree / L"held\\"));
  }
  EXPECT_TRUE(tree.Exists(L"held\\inside.txt"));
  const platform::tally::Counts counts = platform::tally::Current();
  EXPECT_EQ(counts.deleted, 1u);
  EXPECT_EQ(counts.in_use, 2u);
  EXPECT_EQ(counts.left(), 2u);
  EXPECT_TRUE(sentinel.Intact());
}

TEST(PurgeFolder, EntriesThatVanishAfterTheListingDoNotStopTheRest) {
  Sentinel sentinel;
  test::ScratchTree tree;
  for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"gone.txt", L"gone dir\\x.txt"})
    tree.File(name);

  // At the purge's first change everything is listed: remove two entries behind its back.
  int vanished = 0;
  fs::testing::SetBeforeChangeHook([&](const std::wstring& path) {
    for (const std::wstring victim : {L"gone.txt", L"gone dir"}) {
      if (StartsWith(path, tree / victim) || !tree.Exists(victim))
        continue;
      test::RemoveTree(tree / victim);
      DeleteFileW((tree / victim).c_str());
      ++vanished;
    }
  });
  EXPECT_TRUE(PurgeFolder(tree.path()));
  fs::testing::SetBeforeChangeHook(nullptr);

  EXPECT_GE(vanished, 1);
  EXPECT_FALSE(fs::FolderExists(tree.path()));
  EXPECT_TRUE(sentinel.Intact());
}

TEST(PurgeFolder, EmptyMissingAndMalformedFolders) {
  Sentinel sentinel;
  test::ScratchTree tree;
  tree.Folder(L"empty");
  tree.File(L"full\\file.txt");

  EXPECT_TRUE(PurgeFolder(tree / L"empty\\"));
  EXPECT_FALSE(tree.Exists(L"empty"));
  EXPECT_FALSE(PurgeFolder(tree / L"missing\\"));
  // Without the trailing "\" a name would be glued to the folder's own name: refused.
  EXPECT_FALSE(PurgeFolder(tree / L"full"));
  EXPECT_FALSE(PurgeFolder(L""));
  EXPECT_EQ(tree.CountEntries(), 2);
  EXPECT_TRUE(sentinel.Intact());
}

TEST(PurgeFolder, DriveRootIsEmptiedButKeptAndNeverTheCurrentDrive) {
  Sentinel sentinel;
  test::ScratchTree drive(L"drive");
  test::ScopedDriveLetter letter(drive.path());
  ASSERT_FALSE(letter.root().empty());
  drive.File(L"file.txt", fs::kReadOnly);
  drive.File(L"dir\\sub\\file.txt", fs::kHidden);
  const std::wstring before = fs::CurrentFolder();

  ASSERT_TRUE(fs::ChangeCurrentFolder(letter.root() + L"dir").ok());
  EXPECT_FALSE(PurgeFolder(letter.root()));
  EXPECT_FALSE(PurgeFolder(L"\\"));
  EXPECT_FALSE(PurgeFolder(letter.root() + L"dir\\..\\"));
  EXPECT_EQ(drive.CountEntries(), 4);
  ASSERT_TRUE(fs::ChangeCurrentFolder(before).ok());

  EXPECT_TRUE(PurgeFolder(letter.root()));
  EXPECT_EQ(drive.CountEntries(), 0);
  EXPECT_TRUE(fs::FolderExists(drive.path()));
  EXPECT_TRUE(sentinel.Intact());
}

TEST(PurgeFolder, LinksAreNeitherEnteredNorRemoved) {
  Sentinel sentinel;
  test::ScratchTree empty_target(L"empty-target");
  test::ScratchTree tree;
  tree.File(L"top.txt");
  tree.File(L"a\\one.txt");
  tree.Folder(L"a\\b");
  tree.File(L"c\\two.txt");
  ASSERT_TRUE(test::MakeUnixLink(sentinel.path(), tree / L"a\\b\\link"));
  // Wine removes the target of a link to an empty folder when asked to remove the link.
  ASSERT_TRUE(test::MakeUnixLink(empty_target.path(), tree / L"c\\empty link"));
  // A link to a file is no file: its target keeps its attributes, and its folder stays.
  tree.File(L"d\\three.txt");
  test::FileLink file_link(sentinel.path() + L"deep\\er\\keep.txt", tree / L"d\\file link");
  ASSERT_TRUE(file_link.made());

  platform::tally::Reset();
  EXPECT_FALSE(PurgeFolder(tree.path()));
  // Left: a, a\b, the link in it, c and the link in it, d and the link in it.
  EXPECT_EQ(tree.CountEntries(), 7);
  EXPECT_TRUE(tree.Attributes(L"a\\b\\link") & fs::kReparsePoint);
  EXPECT_TRUE(tree.Attributes(L"c\\empty link") & fs::kReparsePoint);
  EXPECT_TRUE(tree.Exists(L"d\\file link"));

  // A link given as the folder itself is refused before anything is listed.
  EXPECT_FALSE(PurgeFolder(tree / L"a\\b\\link\\"));
  EXPECT_FALSE(PurgeFolder(tree / L"c\\empty link\\"));
  // However many separators follow it, the link is still asked about itself, not its target.
  EXPECT_FALSE(PurgeFolder(tree / L"a\\b\\link\\\\"));
  EXPECT_FALSE(PurgeFolder(tree / L"a\\b\\link/\\"));
  // Counted: the four files; each link once each time it was met and left; nothing else.
  EXPECT_EQ(platform::tally::Current().deleted, 4u);
  EXPECT_EQ(platform::tally::Current().links, 7u);
  EXPECT_EQ(platform::tally::Current().left(), 7u);
  EXPECT_TRUE(sentinel.Intact());
  EXPECT_TRUE(fs::FolderExists(empty_target.path()));
}

// The listing saw a plain folder; by the time the purge comes to it, it has become a link to a
// tree outside (swapped at the purge's first change). The check made just before entering
// leaves it alone on its own.
TEST(PurgeFolder, AFolderSwappedForALinkAfterTheListingIsNotEntered) {
  Sentinel sentinel;
  test::ScratchTree tree;
  tree.File(L"a.txt");
  tree.File(L"swapped\\b.txt");
  bool swapped = false;
  fs::testing::SetBeforeChangeHook([&](const std::wstring&) {
    if (swapped)
      return;
    swapped = true;
    test::RemoveTree(tree / L"swapped");
    ASSERT_TRUE(test::MakeUnixLink(sentinel.path(), tree / L"swapped"));
  });
  EXPECT_FALSE(PurgeFolder(tree.path()));
  fs::testing::SetBeforeChangeHook(nullptr);

  EXPECT_TRUE(tree.Attributes(L"swapped") & fs::kReparsePoint);
  EXPECT_EQ(tree.CountEntries(), 1);
  EXPECT_TRUE(sentinel.Intact());
}

// Counts the paint and application messages the purge lets through to a window of its thread.
TEST(PurgeFolder, LetsPaintThroughButNoOtherMessage) {
  Sentinel sentinel;
  test::ScratchTree tree;
  for (int i = 0; i < 20; ++i)
    tree.File(L"dir" + std::to_wstring(i % 4) + L"\\file" + std::to_wstring(i));
  test::MessageProbe probe;
  ASSERT_TRUE(probe.valid());
  probe.Prime();

  EXPECT_TRUE(PurgeFolder(tree.path()));

  EXPECT_GE(probe.paints(), 1);
  EXPECT_EQ(probe.app_messages(), 0);
  EXPECT_TRUE(sentinel.Intact());
}

}  // namespace
