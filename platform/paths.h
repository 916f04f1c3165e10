#pragma once
// Path forms the system computes.

#include <string>

#include "platform/status.h"

namespace platform {

// The absolute form of `path` as the system resolves it: "." and ".." folded, "/" turned into
// "\", a relative path taken from the current folder. The path need not exist.
Result<std::wstring> FullPath(const std::wstring& path);

// The short (8.3) form the volume keeps for an existing path; each component that has no short
// name of its own stays as it is.
Result<std::wstring> ShortPath(const std::wstring& path);

}  // namespace platform
