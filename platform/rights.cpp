#include "platform/rights.h"

#include <windows.h>

#include "platform/handles.h"

namespace platform {

bool RunsElevated() {
  UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive()))
    return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size))
    return false;
  return elevation.TokenIsElevated != 0;
}

Status CheckCanListFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  UniqueFindHandle search(FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0));
  if (!search.valid()) {
    // A folder with no entry at all (a drive root) can still be listed.
    const Status status = Status::FromLastError();
    return status.IsWin32(ERROR_FILE_NOT_FOUND) ? Status::Ok() : status;
  }
  return Status::Ok();
}

}  // namespace platform
