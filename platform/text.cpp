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

}  // namespace

std::string ToAnsi(std::wstring_view text) {
  return Narrow(CP_ACP, text);
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
