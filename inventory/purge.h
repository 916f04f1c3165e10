#pragma once

#include <string>

// Deletes everything below `folder` (which ends in "\") and then the folder itself, unless it
// is a drive root. True when the whole tree, the folder included, is gone.
bool PurgeFolder(const std::wstring& folder);
