// The temporary files cleaner, scan and cleaning, on a temporary folder of 9,999 sub-folders
// holding a few small files each, against "rd /s /q" of an identical tree; the two go first in
// turns. TMP and TEMP are pointed at the tree inside this process only.
// Usage: temp_bench.exe [rounds] [folders] [files a folder] [deep] (defaults 5, 9,999 and 2).
// The sub-folders lie directly in the temporary folder, which is what the cleaner empties and
// removes; "deep" nests them ten to a folder instead (10, 100, 1,000, then the rest), as a real
// temporary folder may, and shows what the cleaner leaves of such a tree.
// After each round the benchmark counts what the cleaner left in the temporary folder.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <deque>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "cleaners/folders/temp_files.h"

namespace {

constexpr double kTarget = 1.0;
constexpr int kFanOut = 10;  // sub-folders a folder in the deep layout
const wchar_t kBenchRoot[] = L"C:\\nimbrel-bench-temp";

struct Layout {
  int folders = 9999;  // the most folders a scan lists
  int files_each = 2;
  bool deep = false;
};

// Makes `layout.folders` folders below `root` (which exists), breadth-first.
bool MakeTree(const std::wstring& root, const Layout& layout) {
  std::deque<std::wstring> parents = {root};
  int made = 0;
  while (made < layout.folders) {
    const std::wstring parent = parents.front();
    const int children = layout.deep ? kFanOut : layout.folders;
    for (int i = 0; i < children && made < layout.folders; ++i, ++made) {
      const std::wstring folder = parent + L"\\folder" + std::to_wstring(made);
      if (!bench::MakeFolderWithFiles(folder, layout.files_each))
        return false;
      parents.push_back(folder);
    }
    parents.pop_front();
  }
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  Layout layout;
  if (argc > 2)
    layout.folders = std::clamp(_wtoi(argv[2]), 1, 9999);
  if (argc > 3)
    layout.files_each = std::max(0, _wtoi(argv[3]));
  layout.deep = argc > 4 && std::wstring(argv[4]) == L"deep";
  if (!bench::MakeBenchRoot(kBenchRoot))
    return 2;
  const std::wstring temp = std::wstring(kBenchRoot) + L"\\temp";
  const std::wstring rd_root = std::wstring(kBenchRoot) + L"\\rd";
  if (!bench::SetTemporaryFolder(temp)) {
    std::fwprintf(stderr, L"cannot set TMP and TEMP\n");
    return 1;
  }
  std::wprintf(L"%d folders (%ls) of %d files each, %d rounds\n", layout.folders,
               layout.deep ? L"nested" : L"side by side", layout.files_each, rounds);

  std::vector<double> clean_times, rd_times, ratios;
  bool all_gone = true;
  for (int round = 0; round < rounds; ++round) {
    for (const std::wstring& root : {temp, rd_root}) {
      if (!CreateDirectoryW(root.c_str(), nullptr) || !MakeTree(root, layout)) {
        std::fwprintf(stderr, L"could not make %ls\n", root.c_str());
        return 1;
      }
    }
    double clean = 0, rd = 0;
    for (int turn = 0; turn < 2; ++turn) {
      const double start = bench::Seconds();
      if ((turn == 0) == (round % 2 == 0)) {
        if (!CleanTempFiles()) {
          std::fwprintf(stderr, L"the cleaner refused %ls as the temporary folder\n", temp.c_str());
          return 1;
        }
        clean = bench::Seconds() - start;
      } else {
        if (!bench::RemoveWithRd(rd_root)) {
          std::fwprintf(stderr, L"rd /s /q left %ls behind\n", rd_root.c_str());
          return 1;
        }
        rd = bench::Seconds() - start;
      }
    }
    bench::Contents left;
    bench::CountContents(temp, &left);
    all_gone = all_gone && left.folders == 0 && left.files == 0;
    clean_times.push_back(clean);
    rd_times.push_back(rd);
    ratios.push_back(clean / rd);
    std::wprintf(
        L"round %d (first: %ls): CleanTempFiles %.2f s, rd /s /q %.2f s, ratio %.3f; left in "
        L"the temporary folder: %d folders, %d files\n",
        round + 1, round % 2 == 0 ? L"CleanTempFiles" : L"rd /s /q", clean, rd, ratios.back(),
        left.folders, left.files);
    std::fflush(stdout);
    if (!bench::RemoveWithRd(temp)) {
      std::fwprintf(stderr, L"cannot remove what is left of %ls\n", temp.c_str());
      return 1;
    }
  }
  bench::RemoveWithRd(kBenchRoot);

  const double ratio = bench::Median(ratios);
  std::wprintf(L"medians of %d rounds: CleanTempFiles %.2f s, rd /s /q %.2f s\n", rounds,
               bench::Median(clean_times), bench::Median(rd_times));
  std::wprintf(L"median ratio CleanTempFiles/rd %.3f (target at most %.1f: %ls)%ls\n", ratio,
               kTarget, ratio <= kTarget ? L"met" : L"missed",
               all_gone ? L"" : L"; the cleaner left part of the tree");
  return all_gone ? 0 : 3;
}
