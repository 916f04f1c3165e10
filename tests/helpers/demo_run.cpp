// For the README's picture: fills the user's UserData folder with files, lays out the profiles of
// three browsers for the window to name, starts Velkor.exe (found next to this program), ticks
// "UserData", presses "Executer !" and closes the messages, so that the window shows the run's
// summary. Velkor.exe is left running; prints "done" at the end.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND g_found = nullptr;

HWND ChildWithCaption(HWND window, const wchar_t* caption) {
  g_found = nullptr;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM wanted) CALLBACK -> BOOL {
        wchar_t text[128] = {};
        GetWindowTextW(child, text, 128);
        if (std::wstring(text) != reinterpret_cast<const wchar_t*>(wanted))
          return TRUE;
        g_found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(caption));
  return g_found;
}

template <typename Find>
HWND WaitFor(Find find) {
  for (int i = 0; i < 400; ++i, Sleep(50))
    if (HWND found = find())
      return found;
  return nullptr;
}

void Seed(const std::wstring& folder, int files) {
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::string content(48 * 1024, 'x');
  for (int i = 0; i < files; ++i) {
    HANDLE file = CreateFileW((folder + L"\\page" + std::to_wstring(i) + L".html").c_str(),
                              GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()) - 97 * i, &written, nullptr);
    CloseHandle(file);
  }
}

// The folders below `root` ("a\\b\\c"), made one after another.
void MakeFolders(const std::wstring& root, const std::wstring& relative) {
  for (std::size_t slash = 0; slash != std::wstring::npos;) {
    slash = relative.find(L'\\', slash + 1);
    CreateDirectoryW((root + L"\\" + relative.substr(0, slash)).c_str(), nullptr);
  }
}

void LayOutBrowsers() {
  wchar_t local[MAX_PATH] = {}, roaming[MAX_PATH] = {};
  GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
  GetEnvironmentVariableW(L"APPDATA", roaming, MAX_PATH);
  MakeFolders(local, L"Microsoft\\Edge\\User Data\\Default");
  MakeFolders(local, L"Google\\Chrome\\User Data\\Default");
  MakeFolders(roaming, L"Mozilla\\Firefox\\Profiles\\demo.default-release");
}

}  // namespace

int wmain() {
  LayOutBrowsers();
  wchar_t user[128] = {};
  GetEnvironmentVariableW(L"USERNAME", user, 128);
  const std::wstring profile = std::wstring(L"C:\\Documents and Settings\\") + user;
  CreateDirectoryW(L"C:\\Documents and Settings", nullptr);
  CreateDirectoryW(profile.c_str(), nullptr);
  Seed(profile + L"\\UserData", 0);
  Seed(profile + L"\\UserData\\cache", 400);
  Seed(profile + L"\\UserData\\session", 120);
  // A file another program keeps open stays, and the summary says why.
  HANDLE held = CreateFileW((profile + L"\\UserData\\session\\page0.html").c_str(), GENERIC_READ, 0,
                            nullptr, OPEN_EXISTING, 0, nullptr);

  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = self;
  command = L"\"" + command.substr(0, command.rfind(L'\\')) + L"\\Velkor.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return 1;
  HWND window = WaitFor([] {
    HWND found = FindWindowW(nullptr, L"Nimbrel");
    return found && ChildWithCaption(found, L"Executer !") ? found : nullptr;
  });
  if (!window)
    return 1;
  SendMessageW(ChildWithCaption(window, L"UserData"), BM_CLICK, 0, 0);
  PostMessageW(ChildWithCaption(window, L"Executer !"), BM_CLICK, 0, 0);
  // The warning about what UserData kept comes first.
  HWND info = WaitFor([] {
    if (HWND warning = FindWindowW(L"#32770", L"Nimbrel"))
      PostMessageW(GetDlgItem(warning, IDOK), BM_CLICK, 0, 0);
    return FindWindowW(L"#32770", L"Info");
  });
  if (!info)
    return 1;
  PostMessageW(GetDlgItem(info, IDOK), BM_CLICK, 0, 0);
  WaitFor(
      [&] { return IsWindowEnabled(ChildWithCaption(window, L"Executer !")) ? window : nullptr; });
  // Then what a second run would erase, as "Analyser" shows it, the held file still open.
  Seed(profile + L"\\UserData\\cache", 400);
  SendMessageW(ChildWithCaption(window, L"UserData"), BM_CLICK, 0, 0);
  SendMessageW(ChildWithCaption(window, L"Cache"), BM_CLICK, 0, 0);
  SendMessageW(ChildWithCaption(window, L"Presse-papiers"), BM_CLICK, 0, 0);
  PostMessageW(ChildWithCaption(window, L"Analyser"), BM_CLICK, 0, 0);
  Sleep(200);
  WaitFor(
      [&] { return IsWindowEnabled(ChildWithCaption(window, L"Analyser")) ? window : nullptr; });
  CloseHandle(held);
  std::printf("done\n");
  return 0;
}
