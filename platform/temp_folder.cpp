#include "platform/temp_folder.h"

#include <windows.h>

namespace platform {

Result<std::wstring> TemporaryFolderPath() {
  constexpr DWORD kBufferLength = 255;
  wchar_t buffer[kBufferLength + 1] = {};
  DWORD count = GetTempPathW(kBufferLength, buffer);
  if (count == 0)
    return {{}, Status::FromLastError()};
  if (count >= kBufferLength)
    return {{}, Status::FromWin32(ERROR_INSUFFICIENT_BUFFER)};
  return {std::wstring(buffer, count), Status::Ok()};
}

}  // namespace platform
