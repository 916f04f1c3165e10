// The files a cleaner reads or probes below a folder it holds: reached by the folder's handle
// as the deletion core reaches what it deletes, never through a link.

#include <windows.h>
#include <winternl.h>

#include <algorithm>

#include "platform/deletion.h"
#include "platform/deletion_detail.h"
#include "platform/handles.h"

#ifndef FILE_NON_DIRECTORY_FILE
#define FILE_NON_DIRECTORY_FILE 0x00000040
#endif

namespace platform::deletion {

Status Folder::ReadChildFile(const std::wstring& name, std::size_t limit,
                             std::string* bytes) const {
  bytes->clear();
  UniqueHandle file;
  NIMBREL_TRY(detail::OpenBelowHandle(handle_, name, GENERIC_READ, FILE_NON_DIRECTORY_FILE, &file));
  std::uint32_t attributes = 0;
  NIMBREL_TRY(detail::CheckOpenedHandle(file.get(), &attributes));
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size))
    return Status::FromLastError();
  if (static_cast<std::uint64_t>(size.QuadPart) > limit)
    return Status::FromHresult(kOutOfRange);
  bytes->resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes->size()) {
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes->size() - done, 1 << 20));
    if (!::ReadFile(file.get(), bytes->data() + done, wanted, &read, nullptr))
      return Status::FromLastError();
    if (read == 0)
      break;  // shorter than its size said: it shrank meanwhile
    done += read;
  }
  bytes->resize(done);
  return Status::Ok();
}

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
