#pragma once
// The folder the temporary files cleaner may empty.

#include <string>

// The kernel's temporary folder (ending in "\"), accepted only when the TMP or TEMP variable
// really names it, and when it passes the cleaners' guard (folder_guard.h): outside the
// protected trees (the system's folders, the profile, the user's own and the Public folders), or
// at one of the system's own temporary folders inside them (the local application data's Temp
// and below, %SystemRoot%\Temp and SystemTemp, the profile's Temp). With neither variable set
// the kernel falls back on the profile: that answer, like any other refused one, gives empty
// text.
std::wstring SafeTemporaryFolder();
