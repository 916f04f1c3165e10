#pragma once
// What this process may do: whether it runs with an administrator's rights, and whether it may
// read a folder. Since Windows Vista, C:\Windows\Prefetch and the Explorer key of
// HKEY_LOCAL_MACHINE are open to administrators only, and an administrator's programs run
// without those rights unless started "as administrator".

#include <string>

#include "platform/status.h"

namespace platform {

// True when the process token is elevated (an administrator's full rights). False when the token
// cannot be read.
bool RunsElevated();

// Whether the entries of a folder (ending in "\") may be listed: ok, or why not (access denied,
// path not found). Uses a search of its own, not the process-wide one of platform/fs.h.
Status CheckCanListFolder(const std::wstring& folder);

}  // namespace platform
