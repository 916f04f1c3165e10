#pragma once
// The shell's special folders, looked up by CSIDL number.

#include <string>

#include "platform/status.h"

namespace platform {

// The folder's file-system path as the shell gives it: the item list of the folder is asked
// first, then its path (MAX_PATH characters at most). The item list is freed with the shell's
// allocator. A folder that does not exist, or has no file-system path, fails.
Result<std::wstring> SpecialFolderPath(int csidl);

}  // namespace platform
