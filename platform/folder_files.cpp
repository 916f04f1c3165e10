// The files a cleaner reads or probes below a folder it holds: reached by the folder's handle
// as the deletion core reaches what it deletes, never through a link.

#include <windows.h>
#include <winternl.h>

#include "platform/deletion.h"
#include "platform/deletion_detail.h"
#include "platform/handles.h"

#ifndef FILE_NON_DIRECTORY_FILE
#define FILE_NON_DIRECTORY_FILE 0x00000040
#endif

namespace platform::deletion {

bool Folder::HasChildFile(const std::wstring& name) const {
  UniqueHandle file;
  std::uint32_t attributes = 0;
  return detail::OpenBelowHandle(handle_, name, FILE_READ_ATTRIBUTES, FILE_NON_DIRECTORY_FILE,
                                 &file)
             .ok() &&
         detail::CheckOpenedHandle(file.get(), &attributes).ok();
}

bool Folder::ChildFileHeld(const std::wstring& name, Access access) const {
  UniqueHandle file;
  const Status opened = detail::OpenBelowHandle(
      handle_, name, access == Access::kWrite ? GENERIC_WRITE : GENERIC_READ,
      FILE_NON_DIRECTORY_FILE, &file);
  return opened.IsWin32(ERROR_SHARING_VIOLATION) || opened.IsWin32(ERROR_LOCK_VIOLATION);
}

bool Folder::ChildRangeLocked(const std::wstring& name, std::uint64_t offset, std::uint32_t length,
                              bool exclusive) const {
  UniqueHandle file;
  if (!detail::OpenBelowHandle(handle_, name, GENERIC_READ, FILE_NON_DIRECTORY_FILE, &file))
    return false;
  OVERLAPPED where = {};
  where.Offset = static_cast<DWORD>(offset);
  where.OffsetHigh = static_cast<DWORD>(offset >> 32);
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (!LockFileEx(file.get(), flags, 0, length, 0, &where))
    return GetLastError() == ERROR_LOCK_VIOLATION;
  UnlockFileEx(file.get(), 0, length, 0, &where);
  return false;
}

}  // namespace platform::deletion
