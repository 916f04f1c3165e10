// Opens the file named on its command line and keeps it open, as a program that is using it
// does, until it is ended (at most a minute). Prints "holding" once it holds it.
//
// A second argument holds it the way a browser holds its lock file:
//   chromium  write access, shared for reading only, deleted on close (Chromium's "lockfile");
//   firefox   read and write access, shared with no one (Firefox's "parent.lock");
//   shared    read access, shared with everyone, deletion included (a program's open file
//             that others may delete);
//   mapped    a view of it mapped and its handles closed, as a running program maps a library
//             it loaded (which the loader opens shared for reading and deletion).
// Without one it is opened for reading and shared with no one.

#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && argc != 3)
    return 2;
  DWORD access = GENERIC_READ, share = 0, creation = OPEN_EXISTING, flags = 0;
  if (argc == 3 && std::wcscmp(argv[2], L"chromium") == 0) {
    access = GENERIC_WRITE;
    share = FILE_SHARE_READ;
    creation = OPEN_ALWAYS;
    flags = FILE_FLAG_DELETE_ON_CLOSE;
  } else if (argc == 3 && std::wcscmp(argv[2], L"firefox") == 0) {
    access = GENERIC_READ | GENERIC_WRITE;
    creation = OPEN_ALWAYS;
  } else if (argc == 3 && std::wcscmp(argv[2], L"shared") == 0) {
    share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  } else if (argc == 3 && std::wcscmp(argv[2], L"mapped") == 0) {
    share = FILE_SHARE_READ | FILE_SHARE_DELETE;
  } else if (argc == 3) {
    return 2;
  }
  HANDLE file = CreateFileW(argv[1], access, share, nullptr, creation, flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("failed %lu\n", GetLastError());
    return 1;
  }
  const void* view = nullptr;
  if (argc == 3 && std::wcscmp(argv[2], L"mapped") == 0) {
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (mapping)
      CloseHandle(mapping);
    CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    if (!view) {
      std::printf("failed %lu\n", GetLastError());
      return 1;
    }
  }
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(60000);
  if (view)
    UnmapViewOfFile(view);
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  return 0;
}
