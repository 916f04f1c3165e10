// Opens the clipboard with a window of its own and keeps it open, as a program in the middle of
// a copy does, until it is ended (at most a minute). Prints "holding" once it holds it.

#include <windows.h>

#include <cstdio>

int wmain() {
  HWND window = CreateWindowExW(0, L"STATIC", L"holder", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window || !OpenClipboard(window)) {
    std::printf("failed %lu\n", GetLastError());
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(60000);
  CloseClipboard();
  return 0;
}
