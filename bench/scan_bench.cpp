// Times the folder inventory scan of the largest tree it accepts (9,999 sub-folders) against
// "cmd /c dir /s /b /ad" on the same tree, in one run under Wine, and the sort of the 9,999
// paths alone. Run by hand: wine build/win64/scan_bench.exe (see bench/README.md).
// Like the tests, the benchmark calls Win32 itself to build its tree and start cmd.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "inventory/form1.h"
#include "inventory/sort_entries.h"
#include "inventory/tables.h"
#include "platform/folder_list.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;       // scans and dir runs: seconds each
constexpr int kSortRuns = 15;  // sorts: milliseconds each

double Milliseconds(Clock::duration elapsed) {
  return std::chrono::duration<double, std::milli>(elapsed).count();
}

// 9 + 90 + 900 + 9,000 = 9,999 folders, four levels deep.
int MakeTree(const std::wstring& root) {
  int made = 0;
  CreateDirectoryW(root.c_str(), nullptr);
  std::vector<std::wstring> level = {root};
  for (int depth = 0; depth < 4; ++depth) {
    std::vector<std::wstring> next;
    for (const std::wstring& parent : level) {
      for (int i = 0; i < (depth == 0 ? 9 : 10); ++i) {
        std::wstring folder =
            parent + L"\\folder " + std::to_wstring(depth) + L"-" + std::to_wstring(i);
        made += CreateDirectoryW(folder.c_str(), nullptr) ? 1 : 0;
        next.push_back(folder);
      }
    }
    level = std::move(next);
  }
  return made;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name != L"." && name != L".." && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        RemoveTree(folder + L"\\" + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

double TimeScan() {
  Clock::time_point start = Clock::now();
  platform::Status status = SharedForm1().CmdScan();
  double elapsed = Milliseconds(Clock::now() - start);
  if (!status)
    std::fwprintf(stderr, L"scan failed: %ls\n", status.Describe().c_str());
  return elapsed;
}

double TimeDir(const std::wstring& root) {
  std::wstring command = L"cmd /c dir /s /b /ad \"" + root + L"\" > NUL";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  Clock::time_point start = Clock::now();
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  double elapsed = Milliseconds(Clock::now() - start);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

// Sorts the rows of the last scan again after shuffling them.
double TimeSort(std::mt19937& random) {
  using namespace inventory;
  const int rows = NextEntry - 1;
  for (int row = rows; row > 1; --row) {
    int other = 1 + static_cast<int>(random() % static_cast<unsigned>(row));
    for (int field = 0; field < 3; ++field) {
      Cell a = EntryTable.Take(row, field);
      EntryTable.Give(row, field, EntryTable.Take(other, field));
      EntryTable.Give(other, field, std::move(a));
    }
  }
  Clock::time_point start = Clock::now();
  platform::Status status = SortEntries();
  double elapsed = Milliseconds(Clock::now() - start);
  if (!status)
    std::fwprintf(stderr, L"sort failed: %ls\n", status.Describe().c_str());
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain() {
  const std::wstring root = L"C:\\nimbrel-bench-scan-" + std::to_wstring(GetCurrentProcessId());
  std::wprintf(L"building %d folders under %ls\n", MakeTree(root), root.c_str());
  if (!platform::SharedFolderList().SetPath(root)) {
    std::fwprintf(stderr, L"cannot point the folder list at %ls\n", root.c_str());
    return 1;
  }

  (void)TimeScan();  // warm-up: file-system caches, the form, the tables
  (void)TimeDir(root);
  std::vector<double> scans, dirs, sorts;
  std::mt19937 random(7);
  for (int run = 0; run < kRuns; ++run) {
    scans.push_back(TimeScan());
    dirs.push_back(TimeDir(root));
  }
  for (int run = 0; run < kSortRuns; ++run)
    sorts.push_back(TimeSort(random));
  const double scan = Median(scans), dir = Median(dirs), sort = Median(sorts);
  std::wprintf(L"rows sorted: %d\n", inventory::NextEntry - 1);
  std::wprintf(L"scan (CmdScan, Reper.txt written): %.1f ms (median of %d)\n", scan, kRuns);
  std::wprintf(L"cmd /c dir /s /b /ad:              %.1f ms (median of %d)\n", dir, kRuns);
  std::wprintf(L"ratio scan / dir:                  %.2f (target <= 1.5)\n", scan / dir);
  std::wprintf(
      L"sort of the paths alone:           %.1f ms (median of %d, best %.1f; target < 50)\n", sort,
      kSortRuns, *std::min_element(sorts.begin(), sorts.end()));
  RemoveTree(root);
  return 0;
}
