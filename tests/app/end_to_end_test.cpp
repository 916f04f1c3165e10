// Velkor.exe driven from another process, as a user would: find the window, tick boxes by
// their captions, press "Executer !", read and close the message, check the reset.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "support/scratch.h"
#include "support/windows_layout.h"

namespace {

struct Child {
  HWND handle;
  std::wstring caption;
  RECT rect;
};

std::vector<Child> Children(HWND parent) {
  std::vector<Child> children;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) CALLBACK -> BOOL {
        wchar_t text[256] = {};
        GetWindowTextW(child, text, 256);
        RECT rect;
        GetWindowRect(child, &rect);
        reinterpret_cast<std::vector<Child>*>(param)->push_back({child, text, rect});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

// The lowest control with that caption (the "Système" toggle is below the other two).
HWND Control(HWND window, const std::wstring& caption) {
  HWND found = nullptr;
  LONG lowest = LONG_MIN;
  for (const Child& child : Children(window))
    if (child.caption == caption && child.rect.top > lowest) {
      found = child.handle;
      lowest = child.rect.top;
    }
  return found;
}

template <typename Condition>
bool WaitFor(Condition condition, int timeout_ms = 20000) {
  for (int waited = 0; waited < timeout_ms; waited += 50) {
    if (condition())
      return true;
    Sleep(50);
  }
  return false;
}

HWND TopWindowOf(DWORD process_id, const wchar_t* window_class, const wchar_t* title) {
  struct Search {
    DWORD process_id;
    const wchar_t* window_class;
    const wchar_t* title;
    HWND found;
  } search{process_id, window_class, title, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t text[256] = {}, name[64] = {};
        GetWindowTextW(window, text, 256);
        GetClassNameW(window, name, 64);
        if (owner == s->process_id && IsWindowVisible(window) && std::wstring(text) == s->title &&
            (!s->window_class || std::wstring(name) == s->window_class)) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int State(HWND box) {
  return static_cast<int>(SendMessageW(box, BM_GETCHECK, 0, 0));
}

bool ClipboardHasText() {
  if (!OpenClipboard(nullptr))
    return true;
  bool has = IsClipboardFormatAvailable(CF_UNICODETEXT);
  CloseClipboard();
  return has;
}

// Starts Velkor.exe, which inherits this process's environment, and finds its window.
void StartVelkor(PROCESS_INFORMATION* process, HWND* window) {
  std::wstring command = L"\"" + platform::fs::ProgramFolder() + L"\\Velkor.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, process));
  CloseHandle(process->hThread);
  ASSERT_TRUE(WaitFor([&] {
    *window = TopWindowOf(process->dwProcessId, nullptr, L"Nimbrel");
    return *window && Control(*window, L"Executer !");
  }));
}

TEST(EndToEnd, ARunDrivenFromOutsideEmptiesTheClipboardShowsInfoAndResets) {
  // Text on the clipboard, owned by a window of this process so that it stays there.
  HWND owner =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 16);
  memcpy(GlobalLock(memory), L"secret", 14);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
  ASSERT_TRUE(ClipboardHasText());

  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartVelkor(&process, &window));
  HWND execute = Control(window, L"Executer !");
  HWND system_toggle = Control(window, L"Cocher/decocher tout");
  HWND bin = Control(window, L"Vider la poubelle");
  HWND clipboard = Control(window, L"Presse-papiers");
  HWND memory_setting = Control(window, L"Mémoire tampon");
  ASSERT_TRUE(system_toggle && bin && clipboard && memory_setting);

  SendMessageW(system_toggle, BM_CLICK, 0, 0);
  EXPECT_EQ(State(bin), BST_CHECKED);
  EXPECT_EQ(State(clipboard), BST_CHECKED);
  EXPECT_EQ(State(memory_setting), BST_CHECKED);
  EXPECT_EQ(State(Control(window, L"Cookies")), BST_UNCHECKED);
  SendMessageW(bin, BM_CLICK, 0, 0);  // leave the recycle bin alone
  EXPECT_EQ(State(bin), BST_UNCHECKED);

  PostMessageW(execute, BM_CLICK, 0, 0);
  HWND info = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] { return (info = TopWindowOf(process.dwProcessId, L"#32770", L"Info")) != nullptr; }));
  wchar_t text[256] = {};
  GetWindowTextW(GetDlgItem(info, 0xFFFF), text, 256);
  EXPECT_STREQ(text, L"Operation terminé avec succés ");
  // Until the message is closed, the boxes keep the states the run used.
  EXPECT_FALSE(IsWindowEnabled(execute));
  EXPECT_EQ(State(clipboard), BST_CHECKED);
  EXPECT_FALSE(ClipboardHasText());

  PostMessageW(GetDlgItem(info, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(info); }));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(execute) != FALSE; }));
  for (const Child& child : Children(window)) {
    if (child.caption != L"Executer !") {
      EXPECT_EQ(State(child.handle), BST_UNCHECKED) << platform::ToUtf8(child.caption);
    }
  }

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
  DWORD exit_code = 1;
  GetExitCodeProcess(process.hProcess, &exit_code);
  EXPECT_EQ(exit_code, 0u);
  CloseHandle(process.hProcess);
  DestroyWindow(owner);
}

void SeedFile(const std::wstring& path, DWORD size) {
  platform::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  const std::string content(size, 'x');
  DWORD written = 0;
  WriteFile(file.get(), content.data(), size, &written, nullptr);
}

// Ends the program when a failed check left it running (a message box open, say).
struct ProcessGuard {
  HANDLE process;
  ~ProcessGuard() {
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
      TerminateProcess(process, 1);
    CloseHandle(process);
  }
};

// 1,234 files of 2,000 bytes in UserData as Windows XP kept it, one held open, and a link to a
// tree outside it.
TEST(EndToEnd, TheStatusLineSumsUpWhatTheRunFreedAndWhatItLeft) {
  // A name of this run's own: a run cut short may leave a link that no walk can see.
  test::ScopedDocumentsAndSettings xp(test::DocumentsAndSettings::kRealFolder);
  ASSERT_TRUE(xp.ok());
  const std::wstring user = L"nimbrel-e2e-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring profile = L"C:\\Documents and Settings\\" + user + L"\\";
  const std::wstring user_data = profile + L"UserData\\";
  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"keep.txt");
  for (const wchar_t* folder : {L"", L"UserData", L"UserData\\docs", L"UserData\\busy"})
    CreateDirectoryW((profile + folder).c_str(), nullptr);
  for (int i = 0; i < 1234; ++i)
    SeedFile(user_data + (i < 1000 ? L"docs\\" : L"busy\\") + std::to_wstring(i), 2000);
  platform::UniqueHandle held(CreateFileW((user_data + L"busy\\1000").c_str(), GENERIC_READ, 0,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.valid());
  ASSERT_TRUE(test::MakeUnixLink(sentinel.path(), user_data + L"link"));
  SetEnvironmentVariableW(L"USERNAME", user.c_str());

  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  ASSERT_NO_FATAL_FAILURE(StartVelkor(&process, &window));
  ProcessGuard guard{process.hProcess};
  HWND status = Control(window, L"Cochez ce qu'il faut effacer, puis cliquez sur « Executer ! ».");
  ASSERT_TRUE(status);
  SendMessageW(Control(window, L"UserData"), BM_CLICK, 0, 0);
  PostMessageW(Control(window, L"Executer !"), BM_CLICK, 0, 0);

  // 1,000 + 233 files and the emptied "docs" folder went; "busy" and UserData stay. The summary
  // is there from the first message on (the warning about what UserData kept), and after.
  const std::wstring summary =
      L"Terminé : 1\u00A0234 éléments supprimés, 2,4\u00A0Mo libérés.\r\nÉléments restants : 1 en "
      L"cours d'utilisation, 1 lien laissé en place.";
  auto status_text = [&] {
    wchar_t text[256] = {};
    GetWindowTextW(status, text, 256);
    return std::wstring(text);
  };
  for (const wchar_t* title : {L"Nimbrel", L"Info"}) {
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      return (box = TopWindowOf(process.dwProcessId, L"#32770", title)) != nullptr;
    })) << platform::ToUtf8(title);
    EXPECT_EQ(status_text(), summary);
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  }
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(Control(window, L"Executer !")) != FALSE; }));
  EXPECT_EQ(status_text(), summary);  // the reset leaves it

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
  held.reset();
  EXPECT_TRUE(sentinel.Exists(L"keep.txt"));
  test::RemoveTree(profile);
}

}  // namespace
