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

}  // namespace platform::deletion
