#include "platform/status.h"

#include <windows.h>

#include <cwchar>

namespace platform {

Status Status::FromHresult(std::int32_t hresult) {
  return Status(hresult);
}

Status Status::FromWin32(std::uint32_t win32_error) {
  return Status(static_cast<std::int32_t>(HRESULT_FROM_WIN32(win32_error)));
}

Status Status::FromLastError() {
  DWORD error = GetLastError();
  return error == ERROR_SUCCESS ? Status(static_cast<std::int32_t>(E_FAIL)) : FromWin32(error);
}

std::uint32_t Status::win32() const {
  if (HRESULT_FACILITY(code_) == FACILITY_WIN32)
    return static_cast<std::uint32_t>(HRESULT_CODE(code_));
  return static_cast<std::uint32_t>(code_);
}

bool Status::IsWin32(std::uint32_t win32_error) const {
  return code_ == static_cast<std::int32_t>(HRESULT_FROM_WIN32(win32_error));
}

std::wstring Status::Describe() const {
  wchar_t hex[16];
  std::swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(code_));
  std::wstring text = hex;
  wchar_t* message = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code_), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  if (length && message) {
    while (length && (message[length - 1] == L'\n' || message[length - 1] == L'\r' ||
                      message[length - 1] == L' '))
      --length;
    text += L" ";
    text.append(message, length);
  }
  if (message)
    LocalFree(message);
  return text;
}

}  // namespace platform
