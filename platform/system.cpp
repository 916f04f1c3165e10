#include "platform/system.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "platform/erasure.h"
#include "platform/handles.h"
#include "platform/tally.h"

namespace platform {

std::wstring EnvironmentVariable(const std::wstring& name) {
  DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size == 0)
    return {};
  std::wstring value(size, L'\0');
  DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), size);
  value.resize(length < size ? length : 0);
  return value;
}

Status EmptyTheClipboard(WindowHandle owner) {
  if (!OpenClipboard(owner))
    return Status::FromLastError();
  // What the clipboard holds counts as one item, whatever formats it offers.
  const bool held_something = CountClipboardFormats() > 0;
  Status status = Status::Ok();
  if (!erasure::Counting() && !EmptyClipboard())
    status = Status::FromLastError();
  CloseClipboard();
  if (status && held_something)
    tally::NoteRemoved(1, 0);
  return status;
}

Status StartProgram(const std::wstring& command_line, int show_style) {
  std::vector<wchar_t> line(command_line.begin(), command_line.end());
  line.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show_style);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return Status::FromLastError();
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return Status::Ok();
}

Status ShellOpen(WindowHandle owner, const std::wstring& operation, const std::wstring& file,
                 const std::wstring& parameters, const std::wstring& folder, int show_style) {
  auto optional = [](const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); };
  HINSTANCE result = ShellExecuteW(owner, optional(operation), file.c_str(), optional(parameters),
                                   optional(folder), show_style);
  // Values above 32 mean success; smaller ones are Win32-style error codes.
  auto code = reinterpret_cast<INT_PTR>(result);
  return code > 32 ? Status::Ok() : Status::FromWin32(static_cast<std::uint32_t>(code));
}

int ShowMessage(WindowHandle owner, const std::wstring& text, const std::wstring& title,
                unsigned style) {
  return MessageBoxW(owner, text.c_str(), title.c_str(), style);
}

}  // namespace platform
