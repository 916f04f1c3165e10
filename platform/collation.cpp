#include "platform/collation.h"

#include <windows.h>

#include <algorithm>

namespace platform {

int CompareTextIgnoringCase(std::wstring_view a, std::wstring_view b) {
  int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                              static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
  // A failed comparison (never expected for valid lengths) counts as equal.
  return result == 0 ? 0 : result - CSTR_EQUAL;
}

Result<std::string> SortKeyIgnoringCase(std::wstring_view text) {
  if (text.empty())
    return {{}, Status::Ok()};
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int length = static_cast<int>(text.size());
  // With LCMAP_SORTKEY the output is bytes and sizes count bytes. A key rarely takes more than
  // eight bytes per character, so one call into a reused buffer usually does; otherwise the
  // size is asked first.
  thread_local std::string buffer;
  buffer.resize(std::max<std::size_t>(buffer.size(), text.size() * 8 + 64));
  int size =
      LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text.data(), length,
                   reinterpret_cast<wchar_t*>(buffer.data()), static_cast<int>(buffer.size()));
  if (size <= 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    size = LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text.data(), length, nullptr, 0);
    if (size > 0) {
      buffer.resize(static_cast<std::size_t>(size));
      size = LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text.data(), length,
                          reinterpret_cast<wchar_t*>(buffer.data()), size);
    }
  }
  if (size <= 0)
    return {{}, Status::FromLastError()};
  std::string key(buffer, 0, static_cast<std::size_t>(size));
  // The key ends in a NUL byte, which takes no part in the order.
  if (!key.empty() && key.back() == '\0')
    key.pop_back();
  return {std::move(key), Status::Ok()};
}

}  // namespace platform
