#pragma once
// The folder the temporary files cleaner may empty.

#include <string>

// The kernel's temporary folder (ending in "\"), accepted only when the TMP or TEMP variable
// really names it, and when it neither is nor holds one of the folders listed in
// protected_folders.h (the profile, the user's own folders, the Public folders, the system's).
// Folders are compared by text and by what they are (their identity), so a spelling through a
// link, a drive mapping or a second name changes nothing. With neither variable set the kernel
// falls back on the profile: that answer, like any other refused one, gives empty text.
std::wstring SafeTemporaryFolder();
