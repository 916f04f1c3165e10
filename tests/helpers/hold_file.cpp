// Opens the file named on its command line without sharing and keeps it open, as a program
// that is using it does, until it is ended (at most a minute). Prints "holding" once it holds it.

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2)
    return 2;
  HANDLE file = CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("failed %lu\n", GetLastError());
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(60000);
  CloseHandle(file);
  return 0;
}
