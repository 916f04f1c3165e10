#include "platform/special_folders.h"

#include <windows.h>

#include <shlobj.h>

#include <cwchar>

#include "platform/handles.h"

namespace platform {

static_assert(kLocalAppDataFolder == CSIDL_LOCAL_APPDATA);

Result<std::wstring> SpecialFolderPath(int csidl) {
  Result<std::wstring> result;
  PIDLIST_ABSOLUTE items = nullptr;
  HRESULT hr = SHGetSpecialFolderLocation(nullptr, csidl, &items);
  // The shell allocates item lists with the COM task allocator (the one SHGetMalloc returns),
  // so CoTaskMemFree is how the caller gives the list back.
  UniqueCoTaskMemory owner(items);
  // Only a plain S_OK counts: any other code, success codes included, means no folder.
  if (hr != S_OK || !items) {
    result.status = Status::FromHresult(FAILED(hr) ? hr : E_FAIL);
    return result;
  }
  // Zero-filled on every call, so nothing of an earlier path can show through.
  wchar_t buffer[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(items, buffer)) {
    result.status = Status::FromHresult(E_FAIL);
    return result;
  }
  result.value.assign(buffer, wcsnlen(buffer, MAX_PATH));
  return result;
}

Result<std::wstring> ConfiguredSpecialFolderPath(int csidl) {
  Result<std::wstring> result;
  wchar_t buffer[MAX_PATH] = {};
  HRESULT hr = SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_DONT_VERIFY, nullptr,
                                SHGFP_TYPE_CURRENT, buffer);
  result.value.assign(buffer, wcsnlen(buffer, MAX_PATH));
  if (FAILED(hr) || result.value.empty()) {
    result.value.clear();
    result.status = Status::FromHresult(FAILED(hr) ? hr : E_FAIL);
  }
  return result;
}

}  // namespace platform
