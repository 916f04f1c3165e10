// The analysis of "Fichiers Temp" on a temporary folder of 9,999 sub-folders holding a few small
// files each: against "cmd /c dir /s /b /ad" listing the same tree's folders, and, on two
// identical trees, analysing then cleaning one against cleaning the other alone. TMP and TEMP
// are pointed at each tree inside this process only; the orders turn from round to round.
// Usage: analysis_bench.exe [rounds] [folders] [files a folder] (defaults 3, 9,999 and 2).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "cleaners/folders/temp_files.h"
#include "platform/erasure.h"
#include "platform/tally.h"

namespace {

constexpr double kListingTarget = 1.0;
constexpr double kAnalyseAndRunTarget = 1.3;
const wchar_t kBenchRoot[] = L"C:\\nimbrel-bench-analysis";

bool MakeTree(const std::wstring& root, int folders, int files_each) {
  if (!CreateDirectoryW(root.c_str(), nullptr))
    return false;
  for (int i = 0; i < folders; ++i) {
    if (!bench::MakeFolderWithFiles(root + L"\\folder" + std::to_wstring(i), files_each))
      return false;
  }
  return true;
}

// Seconds taken by `work`, which must succeed.
template <typename Work>
double Timed(Work work, bool* ok) {
  const double start = bench::Seconds();
  *ok = work() && *ok;
  return bench::Seconds() - start;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
  const int folders = argc > 2 ? std::clamp(_wtoi(argv[2]), 1, 9999) : 9999;
  const int files_each = argc > 3 ? std::max(0, _wtoi(argv[3])) : 2;
  if (!bench::MakeBenchRoot(kBenchRoot))
    return 2;
  const std::wstring analysed = std::wstring(kBenchRoot) + L"\\analysed";
  const std::wstring alone = std::wstring(kBenchRoot) + L"\\alone";
  std::wprintf(L"%d folders of %d files each, %d rounds\n", folders, files_each, rounds);

  std::vector<double> analysis_times, dir_times, both_times, alone_times;
  std::vector<double> listing_ratios, run_ratios;
  bool ok = true;
  for (int round = 0; round < rounds && ok; ++round) {
    ok = MakeTree(analysed, folders, files_each) && MakeTree(alone, folders, files_each);
    if (!ok) {
      std::fwprintf(stderr, L"could not make the trees\n");
      break;
    }
    std::uint64_t counted = 0, removed = 0;
    double analysis = 0, dir = 0, both = 0, run_alone = 0;
    auto analyse = [&] {
      bench::SetTemporaryFolder(analysed);
      platform::tally::Reset();
      platform::erasure::CountingScope counting;
      const bool cleaned = static_cast<bool>(CleanTempFiles());
      counted = platform::tally::Current().deleted;
      return cleaned;
    };
    auto list_with_dir = [&] {
      return bench::RunAndWait(L"cmd.exe /c dir /s /b /ad \"" + analysed + L"\" > NUL");
    };
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (round % 2 == 0))
        analysis = Timed(analyse, &ok);
      else
        dir = Timed(list_with_dir, &ok);
    }
    auto clean = [&](const std::wstring& tree) {
      bench::SetTemporaryFolder(tree);
      platform::tally::Reset();
      const bool cleaned = static_cast<bool>(CleanTempFiles());
      removed = platform::tally::Current().deleted;
      return cleaned;
    };
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (round % 2 == 0))
        both = analysis + Timed([&] { return clean(analysed); }, &ok);
      else
        run_alone = Timed([&] { return clean(alone); }, &ok);
    }
    if (counted != removed) {
      std::fwprintf(stderr, L"the analysis counted %llu items, the run removed %llu\n",
                    static_cast<unsigned long long>(counted),
                    static_cast<unsigned long long>(removed));
      ok = false;
    }
    analysis_times.push_back(analysis);
    dir_times.push_back(dir);
    both_times.push_back(both);
    alone_times.push_back(run_alone);
    listing_ratios.push_back(analysis / dir);
    run_ratios.push_back(both / run_alone);
    std::wprintf(
        L"round %d: analysis %.2f s, dir /s /b /ad %.2f s (ratio %.3f); analysis and run %.2f s, "
        L"run alone %.2f s (ratio %.3f); %llu items\n",
        round + 1, analysis, dir, listing_ratios.back(), both, run_alone, run_ratios.back(),
        static_cast<unsigned long long>(removed));
    std::fflush(stdout);
    bench::RemoveWithRd(analysed);
    bench::RemoveWithRd(alone);
  }
  bench::RemoveWithRd(kBenchRoot);
  if (!ok) {
    std::fwprintf(stderr, L"a step failed\n");
    return 1;
  }
  const double listing = bench::Median(listing_ratios), run = bench::Median(run_ratios);
  std::wprintf(
      L"medians of %d rounds: analysis %.2f s, dir %.2f s, analysis and run %.2f s, run "
      L"alone %.2f s\n",
      rounds, bench::Median(analysis_times), bench::Median(dir_times), bench::Median(both_times),
      bench::Median(alone_times));
  std::wprintf(L"median ratio analysis/dir %.3f (target at most %.1f: %ls)\n", listing,
               kListingTarget, listing <= kListingTarget ? L"met" : L"missed");
  std::wprintf(L"median ratio (analysis and run)/run %.3f (target at most %.1f: %ls)\n", run,
               kAnalyseAndRunTarget, run <= kAnalyseAndRunTarget ? L"met" : L"missed");
  return 0;
}
