// Removal of a generated tree three ways, on three identical trees a round: PurgeFolder, the
// command interpreter's "rd /s /q", and Linux's own "rm -rf" of the tree's Unix path, the floor
// under Wine. The order turns from round to round, so that no way always goes first or last.
// Usage: purge_bench.exe [rounds] [top folders] (defaults 5 and 22). 22 top folders of 99
// sub-folders each make 2,200 folders sharing 20,000 small files; fewer top folders make a
// smaller tree with as many files a folder.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "inventory/purge.h"

namespace {

constexpr int kSubFoldersEach = 99;
constexpr int kFullTopFolders = 22;
constexpr int kFullFiles = 20000;
constexpr double kTargetToRd = 0.20;
constexpr double kTargetToRm = 3.0;
const wchar_t kBenchRoot[] = L"C:\\nimbrel-bench";

struct Layout {
  int top_folders = kFullTopFolders;
  int files = kFullFiles;
  int folders() const { return top_folders * (kSubFoldersEach + 1); }
  // The files are shared out evenly; the first folders take one more each for the remainder.
  int FilesOfFolder(int index) const {
    return files / folders() + (index < files % folders() ? 1 : 0);
  }
};

bool MakeTree(const std::wstring& root, const Layout& layout) {
  if (!CreateDirectoryW(root.c_str(), nullptr))
    return false;
  int index = 0;
  for (int t = 0; t < layout.top_folders; ++t) {
    const std::wstring top = root + L"\\top" + std::to_wstring(t);
    if (!bench::MakeFolderWithFiles(top, layout.FilesOfFolder(index++)))
      return false;
    for (int s = 0; s < kSubFoldersEach; ++s) {
      if (!bench::MakeFolderWithFiles(top + L"\\sub" + std::to_wstring(s),
                                      layout.FilesOfFolder(index++)))
        return false;
    }
  }
  return true;
}

enum Way { kPurge, kRd, kRm, kWays };
const wchar_t* const kWayNames[kWays] = {L"PurgeFolder", L"rd /s /q", L"rm -rf"};

bool Remove(Way way, const std::wstring& root) {
  switch (way) {
    case kPurge:
      return PurgeFolder(root + L"\\") && !bench::Exists(root);
    case kRd:
      return bench::RemoveWithRd(root);
    default:
      return bench::RemoveWithUnixRm(root);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  Layout layout;
  if (argc > 2) {
    layout.top_folders = std::max(1, _wtoi(argv[2]));
    layout.files = kFullFiles * layout.top_folders / kFullTopFolders;
  }
  if (!bench::MakeBenchRoot(kBenchRoot))
    return 2;
  if (bench::UnixPath(kBenchRoot).empty()) {
    std::fwprintf(stderr, L"no Unix path for %ls: not running under Wine?\n", kBenchRoot);
    RemoveDirectoryW(kBenchRoot);
    return 2;
  }
  std::wprintf(L"%d folders and %d files a tree, %d rounds\n", layout.folders(), layout.files,
               rounds);

  std::vector<double> times[kWays], purge_cpu, to_rd, to_rm;
  for (int round = 0; round < rounds; ++round) {
    std::wstring roots[kWays];
    for (int way = 0; way < kWays; ++way) {
      roots[way] = std::wstring(kBenchRoot) + L"\\tree" + std::to_wstring(way);
      if (!MakeTree(roots[way], layout)) {
        std::fwprintf(stderr, L"could not make %ls\n", roots[way].c_str());
        return 1;
      }
    }
    double elapsed[kWays] = {};
    for (int turn = 0; turn < kWays; ++turn) {
      const Way way = static_cast<Way>((round + turn) % kWays);
      const double cpu_start = bench::CpuSeconds();
      const double start = bench::Seconds();
      const bool removed = Remove(way, roots[way]);
      elapsed[way] = bench::Seconds() - start;
      if (way == kPurge)
        purge_cpu.push_back(bench::CpuSeconds() - cpu_start);
      if (!removed) {
        std::fwprintf(stderr, L"%ls left %ls behind\n", kWayNames[way], roots[way].c_str());
        return 1;
      }
    }
    for (int way = 0; way < kWays; ++way)
      times[way].push_back(elapsed[way]);
    to_rd.push_back(elapsed[kPurge] / elapsed[kRd]);
    to_rm.push_back(elapsed[kPurge] / elapsed[kRm]);
    std::wprintf(
        L"round %d (first: %ls): PurgeFolder %.2f s (CPU %.2f s), rd /s /q %.2f s, rm -rf %.2f "
        L"s; PurgeFolder/rd %.3f, PurgeFolder/rm %.2f\n",
        round + 1, kWayNames[round % kWays], elapsed[kPurge], purge_cpu.back(), elapsed[kRd],
        elapsed[kRm], to_rd.back(), to_rm.back());
    std::fflush(stdout);
  }
  bench::RemoveWithRd(kBenchRoot);

  const double ratio_rd = bench::Median(to_rd), ratio_rm = bench::Median(to_rm);
  std::wprintf(
      L"medians of %d rounds: PurgeFolder %.2f s (CPU %.2f s), rd /s /q %.2f s, rm -rf %.2f s\n",
      rounds, bench::Median(times[kPurge]), bench::Median(purge_cpu), bench::Median(times[kRd]),
      bench::Median(times[kRm]));
  std::wprintf(L"median ratio PurgeFolder/rd %.3f (target at most %.2f: %ls)\n", ratio_rd,
               kTargetToRd, ratio_rd <= kTargetToRd ? L"met" : L"missed");
  std::wprintf(L"median ratio PurgeFolder/rm %.2f (target at most %.1f: %ls)\n", ratio_rm,
               kTargetToRm, ratio_rm <= kTargetToRm ? L"met" : L"missed");
  return 0;
}
