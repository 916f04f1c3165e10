#include "inventory/listing.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "inventory/sort_entries.h"
#include "inventory/tables.h"
#include "platform/collation.h"
#include "platform/deletion.h"
#include "platform/fs.h"
#include "support/inventory_env.h"
#include "support/scratch.h"

namespace {

namespace fs = platform::fs;
using namespace inventory;

void StartListing() {
  NextEntry = 1;
  PathField = 0;
  DetailField = 1;
  KindField = 2;
  MaxDepth = 5;
}

std::wstring TextAt(const CellTable& table, int row, int field) {
  return table.At(row, field).value->Text();
}

platform::Status ListTree(const std::wstring& path, std::vector<std::wstring>* left) {
  platform::deletion::Folder folder;
  NIMBREL_TRY(platform::deletion::Folder::Open(path, &folder));
  return ListFolder(folder, path, 0, left);
}

TEST(ListFolder, RecordsVisibleSubfoldersOnlyNeverLinksOrFiles) {
  test::ScratchTree tree;
  tree.File(L"plain.txt");
  tree.Folder(L"sub");
  tree.Folder(L"hidden\\inner");
  tree.Folder(L"hidden", fs::kHidden);
  tree.Folder(L"system", fs::kSystem);
  test::ScratchTree outside;
  outside.Folder(L"inner");
  ASSERT_TRUE(test::MakeReadOnlyFolder(outside / L"inner"));
  ASSERT_TRUE(test::MakeUnixLink(outside.path(), tree / L"link"));

  StartListing();
  std::vector<std::wstring> left;
  ASSERT_TRUE(ListTree(tree.path(), &left).ok());
  EXPECT_EQ(NextEntry, 2);
  EXPECT_EQ(TextAt(EntryTable, 1, 0), tree / L"sub");
  EXPECT_EQ(TextAt(EntryTable, 1, 1), L"   ");
  EXPECT_EQ(TextAt(EntryTable, 1, 2), L"rep");
  EXPECT_TRUE(left.empty());
  EXPECT_EQ(outside.Attributes(L"inner"), fs::kDirectory | fs::kReadOnly);
}

// The rows grow past what they held, the older rows kept; no folder is listed at the depth
// where no row is written, nor below.
TEST(ListFolder, GrowsTheRowsAndListsNoDeeperThanTheRowsGo) {
  test::ScratchTree tree;
  tree.Folder(L"a\\b");
  StartListing();
  ASSERT_TRUE(EntryTable.Put(1, 0, Cell(std::wstring(L"older"))).ok());
  NextEntry = EntryTable.rows();
  const int row = NextEntry;
  MaxDepth = 1;
  std::vector<std::wstring> left;
  ASSERT_TRUE(ListTree(tree.path(), &left).ok());
  EXPECT_EQ(NextEntry, row + 1);
  EXPECT_EQ(TextAt(EntryTable, row, 0), tree / L"a");
  EXPECT_EQ(TextAt(EntryTable, row, 2), L"rep");
  EXPECT_EQ(TextAt(EntryTable, 1, 0), L"older");
}

TEST(GetEntryName, IsTheTextAfterTheLastBackslash) {
  EXPECT_EQ(GetEntryName(L"C:\\tmp\\a\\x"), L"x");
  EXPECT_EQ(GetEntryName(L"C:\\tmp\\a\\"), L"");
  EXPECT_EQ(GetEntryName(L"no backslash"), L"");
  EXPECT_EQ(GetEntryName(L""), L"");
}

void FillEntries(const std::vector<std::wstring>& paths) {
  StartListing();
  for (const std::wstring& path : paths) {
    ASSERT_TRUE(EntryTable.Put(NextEntry, 0, Cell(path)).ok());
    ASSERT_TRUE(EntryTable.Put(NextEntry, 1, Cell(std::wstring(L"   "))).ok());
    ASSERT_TRUE(EntryTable.Put(NextEntry, 2, Cell(L"rep#" + path)).ok());
    ++NextEntry;
  }
  ASSERT_TRUE(EntryTable.Put(0, 0, Cell(NextEntry)).ok());
}

// The classic exchange sort, step by step, as the reference order.
std::vector<std::wstring> ExchangeSorted(std::vector<std::wstring> rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = i + 1; j < rows.size(); ++j) {
      if (platform::CompareTextIgnoringCase(rows[i], rows[j]) > 0)
        std::swap(rows[i], rows[j]);
    }
  }
  return rows;
}

std::vector<std::wstring> SortedPaths(int count) {
  std::vector<std::wstring> paths;
  for (int row = 1; row <= count; ++row) {
    paths.push_back(TextAt(SortedTable, row, 0));
    EXPECT_EQ(TextAt(EntryTable, row, 0), paths.back());             // left in the same order
    EXPECT_EQ(TextAt(SortedTable, row, 2), L"rep#" + paths.back());  // rows move whole
  }
  return paths;
}

TEST(SortEntries, PutsAFoldersOwnSubfoldersBeforeSiblingsExtendingItsName) {
  FillEntries({L"C:\\t\\ab", L"C:\\t\\a\\x", L"C:\\t\\B", L"C:\\t\\a"});
  ASSERT_TRUE(SortEntries().ok());
  EXPECT_EQ(SortedPaths(4),
            (std::vector<std::wstring>{L"C:\\t\\a", L"C:\\t\\a\\x", L"C:\\t\\ab", L"C:\\t\\B"}));
  EXPECT_EQ(EntryTable.At(0, 0).value->Number().value, 5);
}

// Trees of folders with names unique without regard to case, as a file system holds them.
std::vector<std::wstring> GeneratedTree(std::mt19937& random, int folders) {
  const std::wstring letters = L"aAbB01 -_'.~éÉz";
  std::vector<std::wstring> paths = {L"C:\\J\u00e9r\u00f4me"};  // shared, accented
  std::vector<std::wstring> taken;
  while (static_cast<int>(paths.size()) <= folders) {
    const std::wstring& parent = paths[random() % paths.size()];
    std::wstring name(1, L"abAB1é"[random() % 6]);
    for (int length = random() % 4; length > 0; --length)
      name += letters[random() % letters.size()];
    std::wstring candidate = parent + L"\\" + name;
    bool clash = false;
    for (const std::wstring& other : paths)
      clash = clash || platform::CompareTextIgnoringCase(other, candidate) == 0;
    if (!clash)
      paths.push_back(candidate);
  }
  paths.erase(paths.begin());
  std::shuffle(paths.begin(), paths.end(), random);
  return paths;
}

TEST(SortEntries, GivesTheExchangeSortOrderOnGeneratedTrees) {
  std::mt19937 random(20261207);
  for (int size : {0, 1, 2, 17, 300, 900}) {
    std::vector<std::wstring> paths = GeneratedTree(random, size);
    FillEntries(paths);
    ASSERT_TRUE(SortEntries().ok());
    EXPECT_EQ(SortedPaths(size), ExchangeSorted(paths)) << "tree of " << size;
  }
}

TEST(SortEntries, FieldOrRowCountOutsideTheTablesFails) {
  FillEntries({L"C:\\t\\b", L"C:\\t\\a"});
  KindField = kTableFields;
  EXPECT_TRUE(SortEntries().Is(platform::kOutOfRange));
  EXPECT_EQ(TextAt(EntryTable, 1, 0), L"C:\\t\\b");  // nothing moved
  KindField = 2;
  ASSERT_TRUE(EntryTable.Put(0, 0, Cell(EntryTable.rows() + 1)).ok());
  EXPECT_TRUE(SortEntries().Is(platform::kOutOfRange));
}

}  // namespace
