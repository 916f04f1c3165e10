#include "platform/paths.h"

#include <windows.h>

namespace platform {

Result<std::wstring> FullPath(const std::wstring& path) {
  Result<std::wstring> result;
  if (path.empty()) {
    result.status = Status::FromWin32(ERROR_INVALID_NAME);
    return result;
  }
  // The size can grow between the two calls when the current folder changes: ask again then.
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  while (size != 0) {
    result.value.resize(size);
    const DWORD length = GetFullPathNameW(path.c_str(), size, result.value.data(), nullptr);
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

namespace {

// Asks `convert` (GetLongPathNameW or GetShortPathNameW) for the other form of an existing path.
Result<std::wstring> ConvertedPath(DWORD(WINAPI* convert)(LPCWSTR, LPWSTR, DWORD),
                                   const std::wstring& path) {
  Result<std::wstring> result;
  DWORD size = convert(path.c_str(), nullptr, 0);
  while (size != 0) {
    result.value.resize(size);
    const DWORD length = convert(path.c_str(), result.value.data(), size);
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

Result<std::wstring> LongPath(const std::wstring& path) {
  return ConvertedPath(GetLongPathNameW, path);
}

Result<std::wstring> ShortPath(const std::wstring& path) {
  return ConvertedPath(GetShortPathNameW, path);
}

bool SamePathText(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace platform
