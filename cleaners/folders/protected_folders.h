#pragma once
// The folders the temporary files cleaner may never work in, nor in a folder above them.

#include <string>
#include <vector>

// The user's profile and own folders (Documents, Downloads, Desktop, AppData, OneDrive...), the
// Public profile and its folders, and the system's folders (Windows, Program Files,
// ProgramData), as paths. A folder the system does not know is not in the list; one configured
// but not yet made may be.
std::vector<std::wstring> FoldersTheTempFolderMayNotHold();
