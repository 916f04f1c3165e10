#pragma once
// Path forms the system computes.

#include <string>
#include <string_view>

#include "platform/status.h"

namespace platform {

// The absolute form of `path` as the system resolves it: "." and ".." folded, "/" turned into
// "\", a relative path taken from the current folder. The path need not exist.
Result<std::wstring> FullPath(const std::wstring& path);

// The long form of an existing path: every short (8.3) name in it replaced by the full name.
// Fails when the path does not exist.
Result<std::wstring> LongPath(const std::wstring& path);

// The short (8.3) form the volume keeps for an existing path; each component that has no short
// name of its own stays as it is.
Result<std::wstring> ShortPath(const std::wstring& path);

// True when `name` is one file or folder name that a Win32 path spells as it is: not empty, no
// separator, wildcard or control character, no trailing dot or space (which a path drops), and
// no device's name ("CON", "con.txt", "LPT1"), which a path names instead of the folder.
bool IsPlainWin32Name(std::wstring_view name);

// True when two path texts are equal ignoring letter case, as the file system compares names
// (character by character, whatever the user's locale).
bool SamePathText(std::wstring_view a, std::wstring_view b);

}  // namespace platform
