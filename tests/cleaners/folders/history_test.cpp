#include "cleaners/folders/history.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaners/folders/special_folder.h"
#include "platform/folder_list.h"
#include "platform/fs.h"
#include "platform/handles.h"
#include "support/drive_letter.h"
#include "support/message_probe.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

namespace fs = platform::fs;

constexpr std::uint32_t kHiddenSystemFolder = fs::kDirectory | fs::kHidden | fs::kSystem;

// Setting "archive" replaces every other attribute of the folder. Wine keeps hidden and system
// on folders but never reports archive (nor read-only) on one, so what shows is that the hidden
// and system bits the tests set beforehand are gone.
bool HasOnlyTheArchiveAttribute(const test::ScratchTree& folder) {
  const std::uint32_t attributes = folder.Attributes(L"");
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & ~(fs::kArchive | fs::kDirectory)) == 0;
}

// A history folder redirected to a scratch tree, a sentinel tree beside it, and the current
// folder set elsewhere so that the cleaner visibly sets it back.
class CleanHistoryTest : public testing::Test {
 protected:
  void SetUp() override {
    sentinel.File(L"outside.dat");
    sentinel.File(L"outside-ro.dat", fs::kReadOnly, "keep");
    ASSERT_TRUE(current.Enter());
  }
  bool SentinelIntact() const {
    return sentinel.Exists(L"outside.dat") && sentinel.Content(L"outside-ro.dat") == "keep" &&
           (sentinel.Attributes(L"outside-ro.dat") & fs::kReadOnly) != 0;
  }

  // Before the history tree, so that links from it to the sentinel go first.
  test::ScratchTree sentinel{L"sentinel"};
  test::ScratchTree history{L"history"};
  test::ScratchTree elsewhere{L"cwd"};
  test::ScopedCurrentFolder current{elsewhere.path()};

 private:
  test::ShellFolderRedirect redirect_{L"History", history.path()};
};

// The folder as Internet Explorer lays it out since version 5: its sub-folders (hidden ones
// too) and what they hold stay; the files lying directly in it go all the same.
TEST_F(CleanHistoryTest, DeletesLooseFilesBesideSubFoldersAndKeepsTheSubFolders) {
  history.File(L"loose.dat");
  history.File(L"loose-ro.dat", fs::kReadOnly);
  history.File(L"loose-hidden.dat", fs::kHidden);
  history.File(L"History.IE5\\index.dat");
  history.File(L"Low\\History.IE5\\index.dat");
  history.Folder(L"hidden", fs::kHidden);
  history.File(L"hidden\\keep.dat");
  ASSERT_TRUE(SetFileAttributesW(history.path().c_str(), kHiddenSystemFolder));

  CleanHistory();
  EXPECT_FALSE(history.Exists(L"loose.dat"));
  EXPECT_FALSE(history.Exists(L"loose-ro.dat"));
  EXPECT_TRUE(history.Exists(L"loose-hidden.dat"));
  EXPECT_TRUE(history.Exists(L"History.IE5\\index.dat"));
  EXPECT_TRUE(history.Exists(L"Low\\History.IE5\\index.dat"));
  EXPECT_TRUE(history.Exists(L"hidden\\keep.dat"));
  EXPECT_EQ(history.CountEntries(), 8);
  EXPECT_TRUE(HasOnlyTheArchiveAttribute(history));
  EXPECT_EQ(platform::SharedFolderList().Path(), test::WithoutTrailingBackslash(history.path()));
  EXPECT_EQ(fs::CurrentFolder(), fs::ProgramFolder());
  EXPECT_TRUE(SentinelIntact());
}

TEST_F(CleanHistoryTest, DeletesLooseFilesWithoutSubFoldersTwiceInARow) {
  history.File(L"plain.dat");
  history.File(L"read-only.dat", fs::kReadOnly);
  history.File(L"archive.dat", fs::kArchive);
  history.File(L"no-extension");
  history.File(L"hidden.dat", fs::kHidden);
  history.File(L"system.dat", fs::kSystem);
  history.File(L"in-use.dat");
  // A link to a file outside: neither reset nor deleted, which would reach its target.
  test::FileLink link(sentinel / L"outside-ro.dat", history / L"link.dat");
  ASSERT_TRUE(link.made());
  ASSERT_TRUE(SetFileAttributesW(history.path().c_str(), kHiddenSystemFolder));
  // Held without sharing: its deletion fails and the loop goes on with the next name.
  platform::UniqueHandle in_use(CreateFileW((history / L"in-use.dat").c_str(), GENERIC_READ, 0,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(in_use.valid());

  // The history folder is never made current while its files go.
  std::vector<std::wstring> current_folders;
  fs::testing::SetBeforeChangeHook(
      [&](const std::wstring&) { current_folders.push_back(fs::CurrentFolder()); });
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    current_folders.clear();
    CleanHistory();
    EXPECT_FALSE(current_folders.empty());
    for (const std::wstring& folder : current_folders)
      EXPECT_EQ(folder, test::WithoutTrailingBackslash(elsewhere.path()));
    EXPECT_FALSE(history.Exists(L"plain.dat"));
    EXPECT_FALSE(history.Exists(L"read-only.dat"));
    EXPECT_FALSE(history.Exists(L"archive.dat"));
    EXPECT_FALSE(history.Exists(L"no-extension"));
    EXPECT_EQ(history.Attributes(L"hidden.dat") & fs::kHidden, fs::kHidden);
    EXPECT_EQ(history.Attributes(L"system.dat") & fs::kSystem, fs::kSystem);
    EXPECT_TRUE(history.Exists(L"in-use.dat"));
    EXPECT_TRUE(history.Exists(L"link.dat"));
    EXPECT_EQ(history.CountEntries(), 4);
    EXPECT_TRUE(HasOnlyTheArchiveAttribute(history));
    EXPECT_EQ(fs::CurrentFolder(), fs::ProgramFolder());
    EXPECT_TRUE(SentinelIntact());
    ASSERT_TRUE(current.Enter());
  }
  fs::testing::SetBeforeChangeHook(nullptr);
}

TEST_F(CleanHistoryTest, LetsPendingEventsRun) {
  test::MessageProbe probe;
  ASSERT_TRUE(probe.valid());
  probe.Prime();

  CleanHistory();
  EXPECT_EQ(probe.app_messages(), 1);
  EXPECT_TRUE(SentinelIntact());
}

// An unknown folder would make the file loop run in "\", the root of the current drive, and a
// folder setting may name a drive root outright: both are left alone, on a drive of the test's
// own whose root holds only files, so that nothing but the guard stands in the way. A folder
// reached through a link is left alone too.
TEST_F(CleanHistoryTest, LeavesTheDriveRootAndLinksAlone) {
  test::ScratchDrive drive;
  ASSERT_FALSE(drive.root().empty());
  test::ScopedCurrentFolder on_drive(drive.root());
  ASSERT_TRUE(test::MakeUnixLink(sentinel.path(), history / L"link"));
  {
    test::ShellFolderRedirect redirect(L"History", history.path() + L"missing");
    ASSERT_EQ(GetSpecialFolder(CSIDL_HISTORY), L"");
    ASSERT_TRUE(on_drive.Enter());
    CleanHistory();
    EXPECT_EQ(fs::CurrentFolder(), fs::ProgramFolder());
  }
  {
    test::ShellFolderRedirect redirect(L"History", drive.root());
    ASSERT_EQ(GetSpecialFolder(CSIDL_HISTORY), drive.root());
    CleanHistory();
    EXPECT_NE(platform::SharedFolderList().Path(), drive.root());
  }
  {
    test::ShellFolderRedirect redirect(L"History", history / L"link");
    ASSERT_EQ(GetSpecialFolder(CSIDL_HISTORY), history / L"link");
    CleanHistory();
  }
  EXPECT_TRUE(drive.Intact());
  EXPECT_TRUE(SentinelIntact());
}

}  // namespace
