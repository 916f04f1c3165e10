// Random trees through the two cleaners that delete whole trees: the temporary files cleaner,
// then the folder purge. Each tree is built from its own seed alone, and every failure names
// the seed; NIMBREL_TREE_SEED=<seed> in the environment builds that one tree again.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cleaners/folders/temp_files.h"
#include "inventory/purge.h"
#include "platform/fs.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "support/inventory_env.h"
#include "support/scratch.h"

namespace {

namespace fs = platform::fs;

constexpr unsigned kFirstSeed = 90001;
constexpr int kTreeCount = 200;
constexpr int kMaxDepth = 8;

// What a listing shows of one entry; links are not followed.
struct Entry {
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint64_t written = 0;
  bool operator==(const Entry& other) const {
    return attributes == other.attributes && size == other.size && written == other.written;
  }
  bool operator!=(const Entry& other) const { return !(*this == other); }
  bool IsLink() const { return attributes & fs::kReparsePoint; }
  bool IsFolder() const { return (attributes & fs::kDirectory) && !IsLink(); }
};
// Every entry below a folder by its relative path ("a\b").
using Snapshot = std::map<std::wstring, Entry>;

void Walk(const std::wstring& root, const std::wstring& relative, Snapshot* snapshot) {
  WIN32_FIND_DATAW data;
  platform::UniqueFindHandle find(FindFirstFileW((root + relative + L"*").c_str(), &data));
  if (!find)
    return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..")
      continue;
    const Entry entry{data.dwFileAttributes,
                      (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                      (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                          data.ftLastWriteTime.dwLowDateTime};
    (*snapshot)[relative + name] = entry;
    if (entry.IsFolder())
      Walk(root, relative + name + L"\\", snapshot);
  } while (FindNextFileW(find.get(), &data));
}

Snapshot Take(const std::wstring& folder) {
  Snapshot snapshot;
  Walk(folder, L"", &snapshot);
  return snapshot;
}

// The first path that is in one snapshot and not the other, or differs; empty when none does.
std::wstring FirstDifference(const Snapshot& before, const Snapshot& after) {
  for (const auto& [path, entry] : before) {
    auto found = after.find(path);
    if (found == after.end() || found->second != entry)
      return path;
  }
  for (const auto& [path, entry] : after) {
    if (!before.count(path))
      return path;
  }
  return {};
}

std::vector<std::wstring> FoldersAbove(const std::wstring& path) {
  std::vector<std::wstring> folders;
  for (size_t slash = path.find(L'\\'); slash != std::wstring::npos;
       slash = path.find(L'\\', slash + 1))
    folders.push_back(path.substr(0, slash));
  return folders;
}

// Outside every tree; the trees' links lead into it, the empty folder included (on Wine,
// removing a link to an empty folder removes the folder itself).
const wchar_t kSentinel[] = L"sentinel";
const wchar_t* const kLinkTargets[] = {L"",      L"docs",   L"docs\\\u0141\u00f3d\u017a",
                                       L"empty", L"hidden", L"read-only"};

// What only Unix can make, gathered for all trees and made by one shell: a Unix program per
// link or folder took ten seconds for 200 trees.
struct UnixWork {
  std::string links;      // target, link, ... as quoted Unix paths
  std::string read_only;  // folders, quoted
  void Link(const std::wstring& target, const std::wstring& link) {
    links +=
        " '" + test::UnixPath(test::WithoutSlash(target)) + "' '" + test::UnixPathOfNew(link) + "'";
  }
  // Folders keep a read-only bit on Wine only as a Unix mode.
  void ReadOnly(const std::wstring& folder) { read_only += " '" + test::UnixPath(folder) + "'"; }
  std::string Commands() const {
    return "chmod 555" + read_only + "\nperl -e 'symlink(shift, shift) while @ARGV'" + links;
  }
};

void BuildSentinel(test::ScratchTree& batch, UnixWork* unix_work) {
  const std::wstring root = std::wstring(kSentinel) + L"\\";
  batch.File(root + L"plain.txt");
  batch.File(root + L"docs\\read-only.txt", fs::kReadOnly);
  batch.File(root + L"docs\\\u0141\u00f3d\u017a\\\uff41\uff42\uff43.txt", fs::kHidden);
  batch.File(root + L"docs\\\u0141\u00f3d\u017a\\deeper\\system.txt", fs::kSystem);
  batch.Folder(root + L"empty");
  batch.File(root + L"hidden\\inside.txt");
  batch.Folder(root + L"hidden", fs::kHidden);
  batch.File(root + L"read-only\\inside.txt", fs::kArchive);
  unix_work->ReadOnly(batch / (root + L"read-only"));
}

struct Tree {
  unsigned seed = 0;
  std::wstring path;  // ends in "\"
  std::set<std::wstring> held;
  std::vector<std::wstring> links;
};

// Names the ANSI code page holds and names it cannot, each made unique in its tree by a number
// so that no two folders share a name, except the deliberate look-alikes.
const wchar_t* const kStems[] = {L"data",
                                 L"Cache",
                                 L"na\u00efve",
                                 L"\u0141\u00f3d\u017a",
                                 L"\uff41\uff42\uff43",
                                 L"\u65e5\u672c",
                                 L"\u041f\u0440\u0438\u0432\u0435\u0442",
                                 L"\ufb01chier",
                                 L"\u03a9mega"};
const std::uint32_t kFileAttributes[] = {0,
                                         0,
                                         fs::kReadOnly,
                                         fs::kHidden,
                                         fs::kSystem,
                                         fs::kArchive,
                                         fs::kReadOnly | fs::kHidden,
                                         fs::kHidden | fs::kSystem | fs::kArchive};

class TreeBuilder {
 public:
  TreeBuilder(test::ScratchTree& batch, unsigned seed, UnixWork* unix_work)
      : batch_(batch), random_(seed), unix_work_(unix_work) {
    tree_.seed = seed;
    relative_root_ = L"t" + std::to_wstring(seed) + L"\\";
    tree_.path = batch / relative_root_;
  }

  Tree Build() {
    batch_.Folder(relative_root_);
    const int spine = Pick(1, kMaxDepth);
    // In the temporary folder itself, where every inventory line is joined, or deeper.
    look_alike_depth_ = Chance(50) ? 0 : Pick(1, spine);
    Fill(L"", 0, spine);
    return tree_;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  bool Chance(int percent) { return Pick(1, 100) <= percent; }
  std::wstring Name() {
    return kStems[Pick(0, std::size(kStems) - 1)] + (L"-" + std::to_wstring(++names_));
  }
  static std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() ? name : folder + L"\\" + name;
  }
  void File(const std::wstring& path, std::uint32_t attributes) {
    batch_.File(relative_root_ + path, attributes, std::string(Pick(0, 40), 'x'));
  }
  void Folder(const std::wstring& path, std::uint32_t attributes) {
    batch_.Folder(relative_root_ + path, attributes);
  }
  // `folder` lies `depth` levels below the tree; the spine goes on `spine` more levels.
  void Fill(const std::wstring& folder, int depth, int spine) {
    for (int files = Pick(0, 3); files > 0; --files) {
      const std::wstring file = Join(folder, Name() + L".tmp");
      File(file, kFileAttributes[Pick(0, std::size(kFileAttributes) - 1)]);
      if (Chance(8))
        tree_.held.insert(file);
    }
    if (Chance(12)) {
      const std::wstring link = Join(folder, Name());
      const std::wstring target =
          std::wstring(kSentinel) + L"\\" + kLinkTargets[Pick(0, std::size(kLinkTargets) - 1)];
      unix_work_->Link(batch_ / target, tree_.path + link);
      tree_.links.push_back(link);
    }
    if (depth == look_alike_depth_ && !look_alikes_placed_)
      AddLookAlikes(folder);  // the spine is filled first: its folder at that depth
    if (depth == kMaxDepth)
      return;
    const int subfolders = (spine > 0 ? 1 : 0) + (Chance(55 - 10 * depth) ? Pick(1, 2) : 0);
    for (int i = 0; i < subfolders; ++i) {
      const std::wstring sub = Join(folder, Name());
      const int kind = Pick(1, 100);
      Folder(sub, kind <= 12 ? fs::kHidden : kind <= 20 ? fs::kSystem : 0);
      if (kind > 85)
        unix_work_->ReadOnly(tree_.path + sub);
      Fill(sub, depth + 1, i == 0 && spine > 0 ? spine - 1 : 0);
    }
  }

  // Visible folders whose best-fit ANSI names are exactly those of hidden siblings, which the
  // inventory leaves out and which hold files the temporary files cleaner would delete.
  void AddLookAlikes(const std::wstring& folder) {
    const std::pair<const wchar_t*, const wchar_t*> pairs[] = {
        {L"\uff41\uff42\uff43", L"abc"}, {L"\u0141\u00f3d\u017a", L"L\u00f3dz"}};
    look_alikes_placed_ = true;
    for (const auto& [visible, hidden] : pairs) {
      File(Join(folder, visible) + L"\\visible.tmp", 0);
      File(Join(folder, hidden) + L"\\a-kept.tmp", 0);
      File(Join(folder, hidden) + L"\\b-kept.tmp", fs::kReadOnly);
      Folder(Join(folder, hidden), Chance(50) ? fs::kHidden : fs::kHidden | fs::kSystem);
    }
  }

  test::ScratchTree& batch_;
  std::mt19937 random_;
  UnixWork* unix_work_;
  std::wstring relative_root_;
  Tree tree_;
  int names_ = 0;
  int look_alike_depth_ = 0;
  bool look_alikes_placed_ = false;
};

bool UnderHiddenFolder(const Snapshot& snapshot, const std::wstring& path) {
  for (const std::wstring& folder : FoldersAbove(path)) {
    if (snapshot.at(folder).attributes & (fs::kHidden | fs::kSystem))
      return true;
  }
  return false;
}

// Runs both cleaners on one tree; returns what went wrong.
std::vector<std::wstring> CleanAndCheck(const Tree& tree, const Snapshot& built,
                                        const std::wstring& sentinel_path,
                                        const Snapshot& sentinel) {
  std::vector<std::wstring> problems;
  auto check = [&](bool holds, const std::wstring& what, const std::wstring& path) {
    if (!holds)
      problems.push_back(what + L" " + path);
  };
  const Snapshot before = Take(tree.path);
  // Every tree lies outside the targets cleaned before its own turn.
  check(before == built, L"changed before its own cleaning:", FirstDifference(built, before));

  {
    test::ScopedTempFolder temp(tree.path);
    check(static_cast<bool>(CleanTempFiles()), L"temporary files cleaner refused the tree:",
          tree.path);
  }
  const Snapshot after_temp = Take(tree.path);
  const Snapshot sentinel_after_temp = Take(sentinel_path);
  check(sentinel_after_temp == sentinel, L"temporary files cleaner changed the sentinel:",
        FirstDifference(sentinel, sentinel_after_temp));
  for (const auto& [path, entry] : before) {
    if (entry.IsLink() || (!entry.IsFolder() && UnderHiddenFolder(before, path))) {
      auto found = after_temp.find(path);
      check(found != after_temp.end() && found->second == entry,
            L"temporary files cleaner changed a link or a file of a hidden folder:", path);
    }
  }

  // Links and held files stay, and so do the folders that lead to them; nothing else.
  std::set<std::wstring> kept;
  for (const auto& [path, entry] : after_temp) {
    if (entry.IsLink() || tree.held.count(path)) {
      kept.insert(path);
      for (const std::wstring& folder : FoldersAbove(path))
        kept.insert(folder);
    }
  }
  const bool purged = PurgeFolder(tree.path);
  const Snapshot left = Take(tree.path);
  const Snapshot sentinel_after_purge = Take(sentinel_path);
  check(sentinel_after_purge == sentinel, L"purge changed the sentinel:",
        FirstDifference(sentinel, sentinel_after_purge));
  check(purged == kept.empty(), L"purge result wrong:", purged ? L"true" : L"false");
  check(fs::FolderExists(tree.path) == !kept.empty(), L"purge wrong about the tree itself:",
        tree.path);
  for (const auto& [path, entry] : left)
    check(kept.count(path) > 0, L"purge left:", path);
  for (const std::wstring& path : kept) {
    auto found = left.find(path);
    check(found != left.end(), L"purge removed:", path);
    if (found != left.end() && found->second.IsLink())
      check(found->second == after_temp.at(path), L"purge changed a link:", path);
  }
  return problems;
}

std::vector<unsigned> Seeds() {
  wchar_t one[16] = {};
  if (GetEnvironmentVariableW(L"NIMBREL_TREE_SEED", one, 16) > 0)
    return {static_cast<unsigned>(std::wcstoul(one, nullptr, 10))};
  std::vector<unsigned> seeds;
  for (int i = 0; i < kTreeCount; ++i)
    seeds.push_back(kFirstSeed + i);
  return seeds;
}

TEST(RandomTrees, CleanersTouchNothingOutsideTheirTreeAndPurgeLeavesOnlyLinksAndHeldFiles) {
  test::ScratchTree batch(L"random");
  UnixWork unix_work;
  BuildSentinel(batch, &unix_work);
  std::vector<Tree> trees;
  for (unsigned seed : Seeds())
    trees.push_back(TreeBuilder(batch, seed, &unix_work).Build());
  ASSERT_TRUE(test::RunUnixShell(unix_work.Commands(), batch.path()));

  std::vector<platform::UniqueHandle> holders;
  int entries = 0;
  for (const Tree& tree : trees) {
    for (const std::wstring& link : tree.links) {
      const DWORD attributes = GetFileAttributesW((tree.path + link).c_str());
      ASSERT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & fs::kReparsePoint))
          << "seed " << tree.seed;
    }
    for (const std::wstring& file : tree.held) {
      holders.emplace_back(CreateFileW((tree.path + file).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(holders.back().valid()) << "seed " << tree.seed;
    }
  }
  const std::wstring sentinel_path = batch / (std::wstring(kSentinel) + L"\\");
  const Snapshot sentinel = Take(sentinel_path);
  std::vector<Snapshot> built;
  for (const Tree& tree : trees) {
    built.push_back(Take(tree.path));
    entries += static_cast<int>(built.back().size());
  }

  int failed = 0;
  std::string details;
  for (size_t i = 0; i < trees.size(); ++i) {
    std::vector<std::wstring> problems = CleanAndCheck(trees[i], built[i], sentinel_path, sentinel);
    if (problems.empty())
      continue;
    if (++failed <= 5) {
      details += "\nseed " + std::to_string(trees[i].seed) + ":";
      for (size_t p = 0; p < problems.size() && p < 4; ++p)
        details += "\n  " + platform::ToUtf8(problems[p]);
    }
  }
  EXPECT_EQ(failed, 0) << "of " << trees.size() << " trees (" << entries
                       << " entries); first:" << details;

  holders.clear();
  // Unix removal takes the links themselves, never what they lead to.
  const std::string unix_batch = test::UnixPath(test::WithoutSlash(batch.path()));
  ASSERT_NE(unix_batch.find("nimbrel-scratch"), std::string::npos);
  EXPECT_TRUE(test::RunUnixProgram(L"Z:\\bin\\rm -rf \"" + platform::FromUtf8(unix_batch) + L"\""));
  EXPECT_TRUE(test::WaitUntil([&] { return !fs::FolderExists(batch.path()); }));
}

}  // namespace
