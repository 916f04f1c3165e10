#pragma once
// The file-system path of a shell special folder.

#include <string>

// Special folder ids (CSIDL values) the cleaners use.
inline constexpr int CSIDL_RECENT = 8;
inline constexpr int CSIDL_APPDATA = 26;  // the roaming application data
inline constexpr int CSIDL_INTERNET_CACHE = 32;
inline constexpr int CSIDL_COOKIES = 33;
inline constexpr int CSIDL_HISTORY = 34;

// The folder's full path as the shell gives it (no trailing backslash except at a drive
// root), or empty text when the shell cannot tell.
std::wstring GetSpecialFolder(int csidl);
