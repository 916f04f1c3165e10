#pragma once
// The folder the temporary files cleaner may empty.

#include <string>

// The kernel's temporary folder (ending in "\"), accepted only when the TMP or TEMP variable
// really names it, and when it neither is nor holds the user's profile, the Windows folder, a
// Program Files folder or one of the user's own shell folders. With neither variable set the
// kernel falls back on the profile: that answer, like any other refused one, gives empty text.
std::wstring SafeTemporaryFolder();
