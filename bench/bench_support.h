#pragma once
// What the benchmarks share: clocks, medians, and the commands they are measured against, each
// run as a whole process the way a user would run it (process start included). Like the tests,
// the benchmarks call Win32 themselves to build their trees.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double Seconds() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// CPU time of this process so far (user and kernel), in seconds: less swayed than the wall time
// by the machine's other work, though it leaves out what the Wine server does for the process.
inline double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

inline bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes the benchmark's own folder `root`, refusing one left by an earlier run (whose trees would
// skew the timings), which it says on the error stream.
inline bool MakeBenchRoot(const wchar_t* root) {
  if (Exists(root)) {
    std::fwprintf(stderr, L"%ls exists already: remove it first\n", root);
    return false;
  }
  return CreateDirectoryW(root, nullptr) != 0;
}

// Creates `folder` holding `files` small files ("file0.dat", "file1.dat", ...).
inline bool MakeFolderWithFiles(const std::wstring& folder, int files) {
  if (!CreateDirectoryW(folder.c_str(), nullptr))
    return false;
  static const char kContent[] = "a small file of the benchmark tree\r\n";
  for (int i = 0; i < files; ++i) {
    const std::wstring name = folder + L"\\file" + std::to_wstring(i) + L".dat";
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
      return false;
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, kContent, sizeof kContent - 1, &written, nullptr);
    CloseHandle(file);
    if (!wrote)
      return false;
  }
  return true;
}

// What a folder still holds, links counted but never followed.
struct Contents {
  int folders = 0;
  int files = 0;
};

inline void CountContents(const std::wstring& folder, Contents* contents) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..")
      continue;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      ++contents->files;
    } else {
      ++contents->folders;
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        CountContents(folder + L"\\" + name, contents);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

// Points this process's temporary folder (TMP and TEMP) at `folder`.
inline bool SetTemporaryFolder(const std::wstring& folder) {
  return SetEnvironmentVariableW(L"TMP", folder.c_str()) &&
         SetEnvironmentVariableW(L"TEMP", folder.c_str());
}

// Starts `command` and waits until it has ended.
inline bool RunAndWait(std::wstring command) {
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

// "rd /s /q" of the command interpreter: the reference a Windows user knows.
inline bool RemoveWithRd(const std::wstring& folder) {
  return RunAndWait(L"cmd.exe /c rd /s /q \"" + folder + L"\"") && !Exists(folder);
}

// The Unix path of a Windows path, through Wine (empty elsewhere).
inline std::wstring UnixPath(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(const wchar_t*);
  auto to_unix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unix_path = to_unix ? to_unix(path.c_str()) : nullptr;
  if (!unix_path)
    return {};
  std::wstring wide(unix_path, unix_path + lstrlenA(unix_path));
  HeapFree(GetProcessHeap(), 0, unix_path);
  return wide;
}

// Linux's own "rm -rf" of the same tree, the floor under Wine. Wine reports a Unix program as
// ended before it has finished, so the folder is polled until it is gone.
inline bool RemoveWithUnixRm(const std::wstring& folder) {
  const std::wstring unix_path = UnixPath(folder);
  if (unix_path.empty() || !RunAndWait(L"Z:\\bin\\rm -rf \"" + unix_path + L"\""))
    return false;
  for (int i = 0; i < 60000 && Exists(folder); ++i)
    Sleep(1);
  return !Exists(folder);
}

}  // namespace bench
