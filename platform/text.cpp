#include "platform/text.h"

#include <windows.h>

namespace platform {
namespace {

std::string Narrow(UINT code_page, std::wstring_view text) {
  if (text.empty())
    return {};
  int size = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  return bytes;
}

std::wstring Widen(UINT code_page, std::string_view bytes) {
  if (bytes.empty())
    return {};
  int size =
      MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                      size);
  return text;
}

// The text in the ANSI code page without best fit; `exact` tells whether every character was
// written as itself. Code pages such as UTF-8 take neither the flag nor the default-character
// report: there the round trip alone decides.
std::string NarrowAnsi(std::wstring_view text, bool* exact) {
  *exact = true;
  if (text.empty())
    return {};
  const int length = static_cast<int>(text.size());
  BOOL used_default = FALSE;
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL* report = &used_default;
  int size = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, report);
  if (size == 0) {
    flags = 0;
    report = nullptr;
    size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  }
  std::string bytes(static_cast<size_t>(size), '\0');
  used_default = FALSE;
  WideCharToMultiByte(CP_ACP, flags, text.data(), length, bytes.data(), size, nullptr, report);
  *exact = size > 0 && !used_default && Widen(CP_ACP, bytes) == text;
  return bytes;
}

}  // namespace

std::string ToAnsi(std::wstring_view text) {
  bool exact = false;
  return NarrowAnsi(text, &exact);
}
bool IsExactInAnsi(std::wstring_view text) {
  bool exact = false;
  NarrowAnsi(text, &exact);
  return exact;
}
std::wstring FromAnsi(std::string_view bytes) {
  return Widen(CP_ACP, bytes);
}
std::string ToUtf8(std::wstring_view text) {
  return Narrow(CP_UTF8, text);
}
std::wstring FromUtf8(std::string_view bytes) {
  return Widen(CP_UTF8, bytes);
}

}  // namespace platform
