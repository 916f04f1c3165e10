// Purge of a generated tree against the command interpreter's "rd /s /q" on an identical tree,
// in one process under Wine. Usage: purge_bench.exe [repetitions] [top folders] (defaults 3 and
// 20; each top folder holds 99 sub-folders, every folder 10 files).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "inventory/purge.h"

namespace {

int g_top_folders = 20;
constexpr int kSubFoldersEach = 99;  // 20 + 20 * 99 = 2,000 folders by default
constexpr int kFilesPerFolder = 10;  // 20,000 files
const wchar_t kBenchRoot[] = L"C:\\nimbrel-bench";

double Seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool FillFolder(const std::wstring& folder) {
  if (!CreateDirectoryW(folder.c_str(), nullptr))
    return false;
  static const char kContent[] = "a small file of the benchmark tree\r\n";
  for (int i = 0; i < kFilesPerFolder; ++i) {
    std::wstring name = folder + L"\\file" + std::to_wstring(i) + L".dat";
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return false;
    DWORD written = 0;
    WriteFile(file, kContent, sizeof kContent - 1, &written, nullptr);
    CloseHandle(file);
  }
  return true;
}

// Makes the tree under `root` (an empty folder holding the top folders of 99 sub-folders each,
// every folder holding 10 files). Returns the number of files made, or -1.
int MakeTree(const std::wstring& root) {
  if (!CreateDirectoryW(root.c_str(), nullptr))
    return -1;
  int folders = 0;
  for (int t = 0; t < g_top_folders; ++t) {
    const std::wstring top = root + L"\\top" + std::to_wstring(t);
    if (!FillFolder(top))
      return -1;
    ++folders;
    for (int s = 0; s < kSubFoldersEach; ++s, ++folders)
      if (!FillFolder(top + L"\\sub" + std::to_wstring(s)))
        return -1;
  }
  return folders * kFilesPerFolder;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveDirectoryCommand(const std::wstring& root) {
  std::wstring command = L"cmd.exe /c rd /s /q \"" + root + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// CPU time of this process so far (user and kernel), in seconds: less swayed than the wall time
// by the machine's other work, though it leaves out what the Wine server does for the process.
double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int repetitions = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
  if (argc > 2)
    g_top_folders = std::max(1, _wtoi(argv[2]));
  if (Exists(kBenchRoot)) {
    std::fwprintf(stderr, L"%ls exists already: remove it first\n", kBenchRoot);
    return 2;
  }
  CreateDirectoryW(kBenchRoot, nullptr);
  const std::wstring purge_root = std::wstring(kBenchRoot) + L"\\purge";
  const std::wstring rd_root = std::wstring(kBenchRoot) + L"\\rd";

  std::vector<double> purge_times;
  std::vector<double> purge_cpu_times;
  std::vector<double> rd_times;
  int files = 0;
  for (int rep = 1; rep <= repetitions; ++rep) {
    files = MakeTree(purge_root);
    if (files < 0 || MakeTree(rd_root) != files) {
      std::fwprintf(stderr, L"could not make the trees\n");
      return 1;
    }
    // Alternate which one goes first, so that neither always meets a warmer cache.
    double purge = 0;
    double purge_cpu = 0;
    double rd = 0;
    for (int turn = 0; turn < 2; ++turn) {
      const double start = Seconds();
      const double cpu_start = CpuSeconds();
      if ((turn == 0) == (rep % 2 == 1)) {
        if (!PurgeFolder(purge_root + L"\\") || Exists(purge_root)) {
          std::fwprintf(stderr, L"the purge left something behind\n");
          return 1;
        }
        purge = Seconds() - start;
        purge_cpu = CpuSeconds() - cpu_start;
      } else {
        if (!RemoveDirectoryCommand(rd_root) || Exists(rd_root)) {
          std::fwprintf(stderr, L"rd /s /q left something behind\n");
          return 1;
        }
        rd = Seconds() - start;
      }
    }
    purge_times.push_back(purge);
    purge_cpu_times.push_back(purge_cpu);
    rd_times.push_back(rd);
    std::wprintf(
        L"run %d: PurgeFolder %.2f s (%.3f ms a file, CPU %.2f s), rd /s /q %.2f s (%.3f ms a "
        L"file), ratio %.2f\n",
        rep, purge, purge * 1000 / files, purge_cpu, rd, rd * 1000 / files, purge / rd);
  }
  RemoveDirectoryW(kBenchRoot);
  const double purge = Median(purge_times);
  const double rd = Median(rd_times);
  std::wprintf(
      L"%d files in %d folders, median of %d runs: PurgeFolder %.2f s (CPU %.2f s), rd /s /q "
      L"%.2f s, ratio %.2f (target at most 0.50)\n",
      files, g_top_folders * (kSubFoldersEach + 1), repetitions, purge, Median(purge_cpu_times), rd,
      purge / rd);
  return 0;
}
