#pragma once
// Path forms the system computes.

#include <string>

#include "platform/status.h"

namespace platform {

// The absolute form of `path` as the system resolves it: "." and ".." folded, "/" turned into
// "\", a relative path taken from the current folder. The path need not exist.
Result<std::wstring> FullPath(const std::wstring& path);

}  // namespace platform
