#pragma once
// The deletion core's own way to open an entry below a folder's handle and check what opened,
// shared with the other files of platform/ that reach files by handle. Internal to platform/.

#include <cstdint>
#include <string>

#include "platform/handles.h"
#include "platform/status.h"

namespace platform::deletion::detail {

// Opens `name` exactly as given, relative to the folder handle `folder`, with every sharing
// allowed, never following the reparse point it may be (`options` are NtCreateFile's).
Status OpenBelowHandle(void* folder, const std::wstring& name, std::uint32_t access,
                       std::uint32_t options, UniqueHandle* opened);
// The attributes the handle shows, the reparse-point bit as Windows would report it; fails with
// LinkRefused() for a link.
Status CheckOpenedHandle(void* handle, std::uint32_t* attributes);

}  // namespace platform::deletion::detail
