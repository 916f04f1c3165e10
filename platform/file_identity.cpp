#include "platform/file_identity.h"

#include <windows.h>

#include <utility>

#include "platform/handles.h"

namespace platform {

namespace {

// Opened to read its attributes only, sharing everything, so that no other program is
// disturbed; backup semantics let a folder be opened, and links are followed.
UniqueHandle OpenTarget(const std::wstring& path) {
  return UniqueHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::wstring WithoutVerbatimPrefix(std::wstring path) {
  if (path.starts_with(L"\\\\?\\UNC\\"))
    return path.replace(0, 8, L"\\\\");
  if (path.starts_with(L"\\\\?\\"))
    path.erase(0, 4);
  return path;
}

}  // namespace

Result<FileIdentity> IdentityOf(const std::wstring& path) {
  UniqueHandle target = OpenTarget(path);
  if (!target)
    return {{}, Status::FromLastError()};
  BY_HANDLE_FILE_INFORMATION information = {};
  if (!GetFileInformationByHandle(target.get(), &information))
    return {{}, Status::FromLastError()};
  FileIdentity identity;
  identity.volume_serial = information.dwVolumeSerialNumber;
  identity.file_index =
      (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
  return {identity, Status::Ok()};
}

Result<std::wstring> ResolvedPath(const std::wstring& path) {
  UniqueHandle target = OpenTarget(path);
  if (!target)
    return {{}, Status::FromLastError()};
  std::wstring resolved(MAX_PATH, L'\0');
  // The first answer may be the size needed (terminator included); the path can also change
  // between two calls, so ask until it fits.
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(
        target.get(), resolved.data(), static_cast<DWORD>(resolved.size()), FILE_NAME_NORMALIZED);
    if (length == 0)
      return {{}, Status::FromLastError()};
    if (length < resolved.size()) {
      resolved.resize(length);
      return {WithoutVerbatimPrefix(std::move(resolved)), Status::Ok()};
    }
    resolved.assign(length, L'\0');
  }
}

}  // namespace platform
