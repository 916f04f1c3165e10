#pragma once
// The user's temporary folder as the kernel reports it.

#include <string>

#include "platform/status.h"

namespace platform {

// The path is asked into a buffer of 255 characters, as the temporary files cleaner has always
// done. The kernel's answer counts as known only when it fits: a count of 0 (the call failed)
// or of 255 or more (the size the path would need) gives an error and an empty path, never a
// truncated or stale one. The path ends in "\".
Result<std::wstring> TemporaryFolderPath();

}  // namespace platform
