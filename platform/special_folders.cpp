#include "platform/special_folders.h"

#include <windows.h>

#include <shlobj.h>

#include "platform/handles.h"

namespace platform {

Result<std::wstring> SpecialFolderPath(int csidl) {
  Result<std::wstring> result;
  PIDLIST_ABSOLUTE items = nullptr;
  HRESULT hr = SHGetSpecialFolderLocation(nullptr, csidl, &items);
  UniqueCoTaskMemory owner(items);
  if (FAILED(hr) || !items) {
    result.status = Status::FromHresult(FAILED(hr) ? hr : E_FAIL);
    return result;
  }
  wchar_t buffer[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(items, buffer)) {
    result.status = Status::FromHresult(E_FAIL);
    return result;
  }
  result.value = buffer;
  return result;
}

}  // namespace platform
