// Stands in for a program that the window starts: writes its own command line, in UTF-8, to
// the file named by the environment variable NIMBREL_RECORD, then ends.

#include <windows.h>

#include <string>

int wmain() {
  wchar_t target[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"NIMBREL_RECORD", target, MAX_PATH))
    return 2;
  const wchar_t* line = GetCommandLineW();
  int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line, -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();
  HANDLE file = CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
