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

namespace {

// The names the system keeps for devices in every folder, with or without an extension.
bool IsDeviceName(std::wstring_view name) {
  std::wstring_view base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ')
    base.remove_suffix(1);
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (SamePathText(base, device))
      return true;
  }
  if (base.size() != 4)
    return false;
  const wchar_t digit = base[3];
  const bool numbered = (digit >= L'0' && digit <= L'9') || digit == L'\u00b9' ||
                        digit == L'\u00b2' || digit == L'\u00b3';
  return numbered &&
         (SamePathText(base.substr(0, 3), L"COM") || SamePathText(base.substr(0, 3), L"LPT"));
}

}  // namespace

bool IsPlainWin32Name(std::wstring_view name) {
  if (name.empty() || name.back() == L'.' || name.back() == L' ' || IsDeviceName(name))
    return false;
  for (wchar_t c : name) {
    if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
      return false;
  }
  return true;
}

}  // namespace platform
