#include "platform/deletion.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <optional>
#include <string>

#include "cleaners/folders/folder_guard.h"
#include "inventory/purge.h"
#include "platform/fs.h"
#include "platform/handles.h"
#include "support/link_swap.h"
#include "support/scratch.h"

namespace {

namespace fs = platform::fs;
namespace deletion = platform::deletion;

// A read-only, hidden document outside every cleaned tree, which must come through whole.
class Sentinel {
 public:
  Sentinel() { tree_.File(L"doc.txt", kProtected, "keep"); }
  std::wstring document() const { return tree_ / L"doc.txt"; }
  const std::wstring& path() const { return tree_.path(); }
  bool Intact() const {
    return tree_.CountEntries() == 1 && tree_.Content(L"doc.txt") == "keep" &&
           (tree_.Attributes(L"doc.txt") & kProtected) == kProtected;
  }

 private:
  static constexpr std::uint32_t kProtected = fs::kReadOnly | fs::kHidden;
  test::ScratchTree tree_{L"sentinel"};
};

// The ways a folder's files are deleted, each through the deletion core.
const std::vector<std::pair<const char*, std::function<void(const std::wstring& folder)>>>
    kFileDeleters = {
        {"pattern", [](const std::wstring& f) { (void)fs::RemoveMatchingFiles(f + L"*.*"); }},
        {"loose files", [](const std::wstring& f) { DeleteLooseFiles(f); }},
        {"purge", [](const std::wstring& f) { (void)PurgeFolder(f); }},
};

TEST(DeletionCore, AFolderSwappedOrTurnedIntoALinkAfterItsListingIsNeverEntered) {
  for (bool in_place : {false, true}) {
    SCOPED_TRACE(in_place ? "turned into a junction in place" : "swapped for a link");
    Sentinel sentinel;
    test::ScratchTree tree;
    tree.File(L"a.txt");
    tree.File(L"victim\\b.txt");
    {
      std::optional<test::HandleSeenAsLink> seen;
      if (in_place)
        seen.emplace(tree / L"victim");
      test::SwapForLinkBeforeOpen swap(in_place ? L"" : tree / L"victim\\", sentinel.path());
      EXPECT_FALSE(PurgeFolder(tree.path()));
      EXPECT_EQ(swap.swapped(), !in_place);
    }
    EXPECT_FALSE(tree.Exists(L"a.txt"));
    EXPECT_EQ(tree.Exists(L"victim\\b.txt"), in_place);
    EXPECT_TRUE(sentinel.Intact());
  }
}

TEST(DeletionCore, OpenBelowRefusesEachComponentThatIsALink) {
  Sentinel sentinel;
  test::ScratchTree tree;
  tree.File(L"a\\x\\b.txt");
  deletion::Folder top, below;
  ASSERT_TRUE(deletion::Folder::Open(tree.path(), &top));
  ASSERT_TRUE(top.OpenBelow(L"a\\x", &below));
  EXPECT_EQ(below.path(), tree / L"a\\x\\");
  below = deletion::Folder();
  for (const wchar_t* bad : {L"", L"a\\", L"..\\a", L"a\\.\\x", L"missing"})
    EXPECT_FALSE(top.OpenBelow(bad, &below)) << bad;
  {
    test::HandleSeenAsLink seen(tree / L"a");
    EXPECT_TRUE(deletion::IsLinkRefused(top.OpenBelow(L"a\\x", &below)));
  }
  {
    test::SwapForLinkBeforeOpen swap(tree / L"a\\", sentinel.path());
    const platform::Status opened = top.OpenBelow(L"a\\x", &below);
    EXPECT_TRUE(swap.swapped());
    EXPECT_FALSE(opened);
  }
  EXPECT_TRUE(sentinel.Intact());
}

// A link anywhere on a folder's path, not only as its last component, could lead anywhere: the
// folder is refused and the link's target comes through whole.
TEST(DeletionCore, APathWithALinkOnTheWayIsRefused) {
  Sentinel sentinel;
  test::ScratchTree target;
  target.File(L"Internet Explorer\\UserData\\store.xml", 0, "store");
  target.Folder(L"Internet Explorer\\UserData\\deep");
  test::ScratchTree tree;
  ASSERT_TRUE(test::MakeUnixLink(target.path(), tree / L"Microsoft"));
  deletion::Folder opened;
  for (const std::wstring& path : {tree / L"Microsoft\\Internet Explorer\\UserData\\",
                                   L"\\\\?\\" + tree / L"Microsoft\\Internet Explorer",
                                   tree / L"Microsoft\\.\\Internet Explorer"})
    EXPECT_TRUE(deletion::IsLinkRefused(deletion::Folder::Open(path, &opened)))
        << testing::PrintToString(path);
  for (const auto& [how, delete_files] : kFileDeleters)
    delete_files(tree / L"Microsoft\\Internet Explorer\\UserData\\");
  EXPECT_EQ(target.Content(L"Internet Explorer\\UserData\\store.xml"), "store");
  EXPECT_TRUE(target.Exists(L"Internet Explorer\\UserData\\deep"));
  EXPECT_TRUE(sentinel.Intact());

  // The same folder reached without the link opens, however its path is spelt.
  for (const std::wstring& path : {target / L"Internet Explorer\\UserData",
                                   L"\\\\?\\" + target / L"Internet Explorer\\UserData\\",
                                   target / L"Internet Explorer\\\\UserData",
                                   target / L"x\\..\\Internet Explorer\\UserData"}) {
    ASSERT_TRUE(deletion::Folder::Open(path, &opened)) << testing::PrintToString(path);
    EXPECT_EQ(opened.path().substr(opened.path().size() - 10), L"\\UserData\\");
  }
}

TEST(DeletionCore, AFileSwappedOrTurnedIntoALinkAfterItsListingIsLeft) {
  for (const auto& [how, delete_files] : kFileDeleters) {
    for (bool in_place : {false, true}) {
      SCOPED_TRACE(std::string(how) + (in_place ? ", in place" : ", swapped"));
      Sentinel sentinel;
      test::ScratchTree tree;
      tree.File(L"a.txt");
      tree.File(L"victim.txt");
      {
        std::optional<test::HandleSeenAsLink> seen;
        if (in_place)
          seen.emplace(tree / L"victim.txt");
        test::SwapForLinkBeforeOpen swap(in_place ? L"" : tree / L"victim.txt",
                                         sentinel.document());
        delete_files(tree.path());
        EXPECT_EQ(swap.swapped(), !in_place);
      }
      EXPECT_FALSE(tree.Exists(L"a.txt"));
      EXPECT_TRUE(tree.Exists(L"victim.txt"));
      EXPECT_TRUE(sentinel.Intact());
    }
  }
}

// Windows strips trailing dots and spaces from a path, not from a name opened relative to its
// folder: "notes." is deleted by its own name, never as the hidden "notes" beside it.
TEST(DeletionCore, NamesAreUsedExactlyAsListed) {
  for (const auto& [how, delete_files] : kFileDeleters) {
    if (std::string(how) == "purge")
      continue;  // the purge deletes both anyway
    SCOPED_TRACE(how);
    test::ScratchTree tree;
    for (const wchar_t* name : {L"notes.", L"data ", L"notes", L"data"}) {
      const bool plain = name[std::wcslen(name) - 1] == L'.' || name[std::wcslen(name) - 1] == L' ';
      platform::UniqueHandle file(
          CreateFileW((L"\\\\?\\" + tree / name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      plain ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_HIDDEN, nullptr));
      ASSERT_TRUE(file) << name;
    }
    delete_files(tree.path());
    for (const wchar_t* name : {L"notes.", L"data "})
      EXPECT_EQ(GetFileAttributesW((L"\\\\?\\" + tree / name).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(tree.Attributes(L"notes") & fs::kHidden);
    EXPECT_TRUE(tree.Attributes(L"data") & fs::kHidden);
  }
}

// Attributes belong to the file, which all its names share: deleting one name of a read-only,
// hidden document leaves the document's attributes as they were.
TEST(DeletionCore, AHardLinkGoesAndItsDocumentKeepsItsAttributes) {
  for (const auto& [how, delete_files] : kFileDeleters) {
    if (std::string(how) == "pattern")
      continue;  // deletion by pattern leaves read-only files
    SCOPED_TRACE(how);
    Sentinel sentinel;
    test::ScratchTree tree;
    tree.File(L"sub\\plain.txt");
    // The loose files deleter leaves hidden files: its link is to a read-only document.
    const bool hidden_ok = std::string(how) == "purge";
    test::ScratchTree elsewhere{L"document"};
    elsewhere.File(L"doc.txt", fs::kReadOnly, "keep");
    const std::wstring document = hidden_ok ? sentinel.document() : elsewhere / L"doc.txt";
    ASSERT_TRUE(CreateHardLinkW((tree / L"link.txt").c_str(), document.c_str(), nullptr));
    delete_files(tree.path());
    EXPECT_FALSE(tree.Exists(L"link.txt"));
    EXPECT_TRUE(elsewhere.Attributes(L"doc.txt") & fs::kReadOnly);
    EXPECT_EQ(elsewhere.Content(L"doc.txt"), "keep");
    EXPECT_TRUE(sentinel.Intact());
  }
}

}  // namespace

namespace {

TEST(DeletionCore, ReadsAndInspectsAChildFileByItsOwnHandleAndRefusesALink) {
  test::ScratchTree elsewhere{L"target"};
  elsewhere.File(L"secret.json", 0, "{\"elsewhere\": true}");
  test::ScratchTree tree;
  tree.File(L"Bookmarks", 0, "{\"roots\": {}}");
  ASSERT_TRUE(CreateHardLinkW((tree / L"twice").c_str(), (tree / L"Bookmarks").c_str(), nullptr));
  test::FileLink link(elsewhere / L"secret.json", tree / L"Local State");
  ASSERT_TRUE(link.made());
  deletion::Folder folder;
  ASSERT_TRUE(deletion::Folder::Open(tree.path(), &folder));

  std::string bytes;
  EXPECT_TRUE(folder.ReadFile(L"Bookmarks", 1024, &bytes));
  EXPECT_EQ(bytes, "{\"roots\": {}}");
  EXPECT_TRUE(folder.ReadFile(L"Bookmarks", 4, &bytes).IsWin32(ERROR_FILE_TOO_LARGE));
  EXPECT_TRUE(deletion::IsLinkRefused(folder.ReadFile(L"Local State", 1024, &bytes)));
  EXPECT_TRUE(bytes.empty());
  EXPECT_TRUE(deletion::IsGone(folder.ReadFile(L"missing", 1024, &bytes)));

  deletion::FileFacts facts, twice;
  ASSERT_TRUE(folder.InspectFile(L"Bookmarks", &facts));
  ASSERT_TRUE(folder.InspectFile(L"twice", &twice));
  EXPECT_EQ(facts.links, 2u);
  EXPECT_EQ(facts.identity, twice.identity);
  EXPECT_TRUE(deletion::IsLinkRefused(folder.InspectFile(L"Local State", &facts)));
  EXPECT_FALSE(folder.InspectFile(L"..\\Bookmarks", &facts));
}

}  // namespace
