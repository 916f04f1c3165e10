#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "cleaners/folders/inventory_cleanup.h"
#include "inventory/form1.h"
#include "inventory/inventory_file.h"
#include "platform/fs.h"
#include "platform/handles.h"
#include "platform/tally.h"
#include "platform/text.h"
#include "platform/text_files.h"
#include "support/drive_letter.h"
#include "support/inventory_env.h"
#include "support/message_probe.h"
#include "support/scratch.h"

namespace {

namespace fs = platform::fs;

platform::Status ScanFolder(const std::wstring& folder) {
  EXPECT_TRUE(platform::SharedFolderList().SetPath(folder).ok());
  return SharedForm1().CmdScan();
}

std::string Ansi(const std::wstring& text) {
  return platform::ToAnsi(text);
}

std::string Root(const test::ScratchTree& tree) {
  return Ansi(tree.path()) + "\r\n";
}

TEST(CmdScan, WritesEveryFolderInPathOrderAndResetsOnlyTheirAttributes) {
  test::ScratchTree tree;
  tree.Folder(L"ab");
  tree.Folder(L"a\\x\\deep");
  tree.File(L"a\\x\\file.txt", fs::kReadOnly);
  tree.Folder(L"b\\x");
  tree.Folder(L"\u00e9t\u00e9");
  test::ScratchTree sentinel;
  sentinel.Folder(L"kept");
  for (const std::wstring& folder : {tree.path(), tree / L"\u00e9t\u00e9", sentinel / L"kept"})
    ASSERT_TRUE(test::MakeReadOnlyFolder(folder));

  ASSERT_TRUE(ScanFolder(tree.path()).ok());
  EXPECT_EQ(test::ReadInventoryBytes(),
            Root(tree) + "a\r\nx\r\ndeep\r\nab\r\nb\r\nx\r\n\xe9t\xe9\r\n");
  EXPECT_EQ(test::FolderAttributes(tree.path()), fs::kDirectory);
  EXPECT_EQ(tree.Attributes(L"\u00e9t\u00e9"), fs::kDirectory);
  EXPECT_EQ(tree.Attributes(L"a\\x\\file.txt") & fs::kReadOnly, fs::kReadOnly);
  EXPECT_EQ(sentinel.Attributes(L"kept"), fs::kDirectory | fs::kReadOnly);
  EXPECT_FALSE(platform::files::IsOpen(3));
}

std::wstring ShortPathOf(const std::wstring& path) {
  wchar_t short_path[MAX_PATH] = {};
  const DWORD length = GetShortPathNameW(path.c_str(), short_path, MAX_PATH);
  return std::wstring(short_path, length < MAX_PATH ? length : 0);
}

// The short (8.3) name the volume keeps for a folder, or empty when it keeps none.
std::wstring ShortNameOf(const std::wstring& folder) {
  const std::wstring short_path = ShortPathOf(folder);
  const std::wstring last = short_path.substr(short_path.rfind(L'\\') + 1);
  return last == folder.substr(folder.rfind(L'\\') + 1) ? L"" : last;
}

// A name the ANSI code page cannot hold is never written as a look-alike (full-width "abc",
// "Lodz" without its marks), which would name the hidden sibling the scan left out: the row
// names the folder by its short name, or is left out when the volume keeps none. Wine makes a
// short name for every such name ("___~~4ZB" for the full-width one). The scanned folder's own
// line takes its short path likewise.
TEST(CmdScan, NamesTheListedFolderNeverALookAlike) {
  test::ScratchTree tree(L"\u0141\u00f3d\u017a");
  const std::wstring full_width = L"\uff41\uff42\uff43", polish = L"\u0141\u00f3d\u017a";
  tree.Folder(full_width);
  tree.Folder(polish);
  tree.Folder(L"plain");
  tree.Folder(L"abc", fs::kHidden);
  tree.Folder(L"L\u00f3dz", fs::kHidden);

  auto line_of = [&](const std::wstring& name) {
    const std::wstring short_name = ShortNameOf(tree / name);
    return short_name.empty() ? std::string() : Ansi(short_name) + "\r\n";
  };
  const std::string first_lines =
      Ansi(ShortPathOf(test::WithoutSlash(tree.path()))) + "\\\r\n" + line_of(full_width);

  ASSERT_TRUE(ScanFolder(tree.path()).ok());
  EXPECT_EQ(test::ReadInventoryBytes(), first_lines + line_of(polish) + "plain\r\n");

  // Without a short name (here the folder goes once its row is recorded, as the listing opens
  // the next folder, which it lists in name order) the row is left out.
  fs::testing::SetBeforeChangeHook([&](const std::wstring& path) {
    if (path == tree / full_width + L"\\")
      RemoveDirectoryW((tree / polish).c_str());
  });
  const platform::Status scanned = ScanFolder(tree.path());
  fs::testing::SetBeforeChangeHook(nullptr);
  ASSERT_TRUE(scanned.ok());
  EXPECT_EQ(test::ReadInventoryBytes(), first_lines + "plain\r\n");
}

TEST(CmdScan, LeavesDeepHiddenSystemAndLinkedFoldersOut) {
  test::ScratchTree tree;
  tree.Folder(L"1\\2\\3\\4\\5\\6\\7");
  tree.Folder(L"hidden\\inner");
  tree.Folder(L"system", fs::kSystem);
  test::ScratchTree outside;
  outside.Folder(L"target");
  for (const wchar_t* folder : {L"1\\2\\3\\4\\5\\6", L"1\\2\\3\\4\\5", L"hidden\\inner"})
    ASSERT_TRUE(test::MakeReadOnlyFolder(tree / folder));
  ASSERT_TRUE(test::MakeReadOnlyFolder(outside / L"target"));
  SetFileAttributesW((tree / L"hidden").c_str(), fs::kHidden | fs::kDirectory);
  ASSERT_TRUE(test::MakeUnixLink(outside.path(), tree / L"link"));

  ASSERT_TRUE(ScanFolder(tree.path()).ok());
  EXPECT_EQ(test::ReadInventoryBytes(), Root(tree) + "1\r\n2\r\n3\r\n4\r\n5\r\n");
  EXPECT_EQ(tree.Attributes(L"1\\2\\3\\4\\5"), fs::kDirectory);
  EXPECT_EQ(tree.Attributes(L"1\\2\\3\\4\\5\\6"), fs::kDirectory | fs::kReadOnly);
  EXPECT_EQ(tree.Attributes(L"hidden"), fs::kDirectory | fs::kHidden);
  EXPECT_EQ(tree.Attributes(L"hidden\\inner"), fs::kDirectory | fs::kReadOnly);
  EXPECT_EQ(outside.Attributes(L"target"), fs::kDirectory | fs::kReadOnly);
}

// Win32 paths drop a trailing dot, so "x.\" beside a link "x" names the link's target. Listed
// from its handle, "x." is itself; its name is left, since no reader could use it.
TEST(CmdScan, ADottedNameBesideALinkNeverReachesTheLinksTarget) {
  test::ScratchTree outside;
  outside.Folder(L"Sub1\\Sub2");
  ASSERT_TRUE(test::MakeReadOnlyFolder(outside / L"Sub1"));
  test::ScratchTree tree;
  tree.RawFolder(L"x.\\inner");
  tree.Folder(L"plain");
  ASSERT_TRUE(test::MakeUnixLink(outside.path(), tree / L"x"));

  ASSERT_TRUE(ScanFolder(tree.path()).ok());
  EXPECT_EQ(test::ReadInventoryBytes(), Root(tree) + "plain\r\n");
  EXPECT_EQ(outside.Attributes(L"Sub1"), fs::kDirectory | fs::kReadOnly);
  EXPECT_EQ(outside.CountEntries(), 2);
}

// "x." and "y." beside links to the scanned folder itself would double the folders to list at
// each level. Listed by handle and no deeper than it writes, the scan ends at once.
TEST(CmdScan, DottedNamesBesideLinksToTheTreeItselfEndAtOnce) {
  test::ScratchTree tree;
  tree.RawFolder(L"x.");
  tree.RawFolder(L"y.");
  tree.Folder(L"1\\2\\3\\4\\5\\6\\7");
  ASSERT_TRUE(test::MakeReadOnlyFolder(tree / L"1\\2\\3\\4\\5\\6"));
  ASSERT_TRUE(test::MakeUnixLink(tree.path(), tree / L"x"));
  ASSERT_TRUE(test::MakeUnixLink(tree.path(), tree / L"y"));

  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(ScanFolder(tree.path()).ok());
  EXPECT_LT(GetTickCount64() - start, 10000u);
  EXPECT_EQ(test::ReadInventoryBytes(), Root(tree) + "1\r\n2\r\n3\r\n4\r\n5\r\n");
  EXPECT_EQ(tree.Attributes(L"1\\2\\3\\4\\5\\6"), fs::kDirectory | fs::kReadOnly);
}

// A name no reader could use as written (a device's name, a trailing dot or space, a path past
// MAX_PATH) and a folder whose attributes cannot be reset are each left with what they hold,
// and counted as left; the rest of the tree is inventoried.
TEST(CmdScan, LeavesEachOddNameAndInventoriesTheRest) {
  test::ScratchTree tree;
  const std::wstring long_name(150, L'l');
  for (const wchar_t* odd : {L"CON", L"con.txt", L"LPT1", L"a.", L"b "})
    tree.RawFolder(std::wstring(odd) + L"\\inner");
  tree.RawFolder(long_name + L"\\" + std::wstring(100, L'm') + L"\\inner");
  tree.Folder(L"good\\inner");
  tree.Folder(L"held\\inner");
  ASSERT_TRUE(test::MakeReadOnlyFolder(tree / L"held"));
  // Held open without sharing: it can be neither opened nor reset (Wine lets any handle set
  // attributes, so this is how a reset fails here).
  platform::UniqueHandle holder(CreateFileW((tree / L"held").c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  ASSERT_TRUE(holder.valid());
  platform::tally::Reset();

  ASSERT_TRUE(ScanFolder(tree.path()).ok());
  EXPECT_EQ(test::ReadInventoryBytes(),
            Root(tree) + "good\r\ninner\r\n" + Ansi(long_name) + "\r\n");
  EXPECT_EQ(platform::tally::Current().left(), 7u);
  EXPECT_EQ(test::FolderAttributes(tree / L"held"), fs::kDirectory | fs::kReadOnly);
}

// "Reper.txt" a hard link to a document, or a Unix link to one: the scan puts a new file in
// its place, and the document comes through byte for byte. A link to a folder is never
// followed: the inventory goes to the fallback.
TEST(CmdScan, NeverWritesThroughALinkedInventoryFile) {
  test::ScratchTree tree;
  tree.Folder(L"a");
  test::ScratchTree sentinel;
  sentinel.File(L"thesis.docx", fs::kArchive, "precious");
  sentinel.Folder(L"folder");
  const std::wstring document = sentinel / L"thesis.docx";
  const std::uint32_t attributes = sentinel.Attributes(L"thesis.docx");
  for (const char* link : {"hard", "symbolic", "folder"}) {
    SCOPED_TRACE(link);
    test::RefusedProgramInventory clean_fallback(test::RefusedProgramInventory::By::kNothing);
    ASSERT_TRUE(test::RemoveUnixLink(InventoryFilePath()));
    if (link == std::string("hard"))
      ASSERT_TRUE(CreateHardLinkW(InventoryFilePath().c_str(), document.c_str(), nullptr));
    else
      ASSERT_TRUE(test::MakeUnixLink(
          link == std::string("folder") ? sentinel / L"folder" : document, InventoryFilePath()));

    ASSERT_TRUE(ScanFolder(tree.path()).ok());
    EXPECT_EQ(test::ReadInventoryBytes(), Root(tree) + "a\r\n");
    EXPECT_EQ(WrittenInventoryFilePath(),
              link == std::string("folder") ? clean_fallback.fallback() : InventoryFilePath());
    EXPECT_EQ(sentinel.Content(L"thesis.docx"), "precious");
    EXPECT_EQ(sentinel.Attributes(L"thesis.docx"), attributes);
    EXPECT_EQ(sentinel.CountEntries(), 2);
    EXPECT_TRUE(test::RemoveUnixLink(InventoryFilePath()));
  }
}

// Where the fallback folder is a link, nothing is written through it: the scan fails.
TEST(CmdScan, NeverWritesTheFallbackThroughALink) {
  test::ScratchTree tree;
  tree.Folder(L"a");
  test::ScratchTree sentinel;
  sentinel.File(L"kept.txt", fs::kArchive, "precious");
  test::RefusedProgramInventory refused(test::RefusedProgramInventory::By::kHeldFile);
  const std::wstring fallback_folder =
      refused.fallback().substr(0, refused.fallback().rfind(L'\\'));
  ASSERT_TRUE(test::MakeUnixLink(sentinel.path(), fallback_folder));

  EXPECT_FALSE(ScanFolder(tree.path()).ok());
  EXPECT_TRUE(test::RemoveUnixLink(fallback_folder));
  EXPECT_EQ(sentinel.CountEntries(), 1);
  EXPECT_EQ(sentinel.Content(L"kept.txt"), "precious");
  EXPECT_FALSE(platform::files::IsOpen(3));
}

TEST(CmdScan, DriveRootGivesTwoBackslashesOnTheFirstLine) {
  test::ScratchTree tree;
  tree.Folder(L"sub\\inner");
  test::ScopedDriveLetter drive(tree.path());
  ASSERT_FALSE(drive.root().empty());
  ASSERT_TRUE(ScanFolder(drive.root()).ok());
  EXPECT_EQ(test::ReadInventoryBytes(), Ansi(drive.root()) + "\\\r\nsub\r\ninner\r\n");
}

// More folders than any fixed table would hold: the queue and the rows grow with the tree.
TEST(CmdScan, WritesEveryRowOfATreeOfMoreThanTenThousandFolders) {
  test::ScratchTree tree;
  constexpr int kFolders = 10050;
  const std::string unix_tree = test::UnixPath(tree.path());
  ASSERT_TRUE(test::RunUnixShell("cd '" + unix_tree + "' && seq -f 'f%05g' 0 " +
                                     std::to_string(kFolders - 1) + " | xargs mkdir",
                                 tree.path()));
  std::string expected = Root(tree);
  for (int i = 0; i < kFolders; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "f%05d\r\n", i);
    expected += name;
  }

  ASSERT_TRUE(ScanFolder(tree.path()).ok());
  EXPECT_EQ(test::ReadInventoryBytes(), expected);
  EXPECT_TRUE(test::RunUnixShell("cd '" + unix_tree + "' && rm -rf f*", tree.path()));
}

TEST(CmdScan, VanishedFolderFailsAndKeepsThePreviousInventory) {
  test::ScratchTree tree;
  tree.Folder(L"sub");
  ASSERT_TRUE(ScanFolder(tree.path()).ok());
  const std::string previous = test::ReadInventoryBytes();
  test::RemoveTree(tree.path());
  EXPECT_FALSE(SharedForm1().CmdScan().ok());
  EXPECT_EQ(test::ReadInventoryBytes(), previous);
}

std::vector<std::wstring> NamesRead() {
  std::vector<std::wstring> names;
  ForEachInventoryName([&](const std::wstring& name) { names.push_back(name); });
  return names;
}

// Where the program's folder refuses the file (held open by another, or a folder of that
// name), the scan writes it below the user's local application data and the readers read it
// there; the refused file keeps its bytes.
TEST(CmdScan, WritesTheInventoryToLocalAppDataWhenTheProgramFolderRefusesIt) {
  test::ScratchTree tree;
  tree.Folder(L"a\\b");
  test::ScratchTree sentinel;
  sentinel.Folder(L"kept");
  ASSERT_TRUE(test::MakeReadOnlyFolder(sentinel / L"kept"));
  using By = test::RefusedProgramInventory::By;
  for (By by : {By::kHeldFile, By::kFolder}) {
    test::RefusedProgramInventory refused(by);
    ASSERT_TRUE(ScanFolder(tree.path()).ok());
    EXPECT_EQ(WrittenInventoryFilePath(), refused.fallback());
    EXPECT_EQ(test::ReadFileBytes(refused.fallback()), Root(tree) + "a\r\nb\r\n");
    EXPECT_EQ(NamesRead(), (std::vector<std::wstring>{L"a", L"b"}));
    if (by == By::kHeldFile) {
      EXPECT_EQ(test::ReadFileBytes(InventoryFilePath()), test::kRefusedInventoryBytes);
    }
    EXPECT_FALSE(platform::files::IsOpen(3));
  }
  // Taken again by the program's folder, the file is written there and read from there.
  ASSERT_TRUE(ScanFolder(tree.path()).ok());
  EXPECT_EQ(WrittenInventoryFilePath(), InventoryFilePath());
  EXPECT_EQ(test::ReadFileBytes(InventoryFilePath()), Root(tree) + "a\r\nb\r\n");
  EXPECT_EQ(sentinel.Attributes(L"kept"), fs::kDirectory | fs::kReadOnly);
}

// Refused in both places, the scan fails and no reader reads the stale file left behind.
TEST(CmdScan, FailsWhenTheFallbackRefusesTheInventoryToo) {
  test::ScratchTree tree;
  tree.Folder(L"a");
  test::RefusedProgramInventory refused(test::RefusedProgramInventory::By::kHeldFile);
  ASSERT_TRUE(refused.RefuseFallback());
  EXPECT_FALSE(ScanFolder(tree.path()).ok());
  EXPECT_EQ(NamesRead(), std::vector<std::wstring>());
  EXPECT_FALSE(platform::files::IsOpen(3));
  EXPECT_EQ(test::ReadFileBytes(InventoryFilePath()), test::kRefusedInventoryBytes);
}

TEST(CmdScan, KeepsWindowsPaintedAndRunsNoOtherEvent) {
  test::MessageProbe probe;
  ASSERT_TRUE(probe.valid());
  probe.Prime();

  test::ScratchTree tree;
  tree.Folder(L"a\\b");
  ASSERT_TRUE(ScanFolder(tree.path()).ok());
  EXPECT_GE(probe.paints(), 1);
  EXPECT_EQ(probe.app_messages(), 0);
  EXPECT_TRUE(probe.AppMessagePending());
}

}  // namespace
