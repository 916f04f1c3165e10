#include "platform/paths.h"

#include <windows.h>

namespace platform {

namespace {

// Asks a path-returning call twice: once for the size, then with a buffer of that size. The size
// can grow between the two calls (the current folder changed, say): ask again then.
template <typename Ask>
Result<std::wstring> AskForPath(Ask ask) {
  Result<std::wstring> result;
  DWORD size = ask(nullptr, 0);
  while (size != 0) {
    result.value.resize(size);
    const DWORD length = ask(result.value.data(), size);
    if (length != 0 && length < size) {
      result.value.resize(length);
      return result;
    }
    size = length;
  }
  result.value.clear();
  result.status = Status::FromLastError();
  return result;
}

}  // namespace

Result<std::wstring> FullPath(const std::wstring& path) {
  if (path.empty())
    return {std::wstring(), Status::FromWin32(ERROR_INVALID_NAME)};
  return AskForPath([&](wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(path.c_str(), size, buffer, nullptr);
  });
}

Result<std::wstring> LongPath(const std::wstring& path) {
  return AskForPath(
      [&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(path.c_str(), buffer, size); });
}

Result<std::wstring> ShortPath(const std::wstring& path) {
  return AskForPath(
      [&](wchar_t* buffer, DWORD size) { return GetShortPathNameW(path.c_str(), buffer, size); });
}

bool SamePathText(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace platform
