#pragma once
// Empties the temporary folder: its loose files, then the sub-folders the inventory lists.

#include "cleaners/folders/folder_cleaning.h"

// Refused (kFolderUnsafe, nothing deleted) when the folder could not be determined safely:
// unknown, not the one TMP or TEMP names, or a folder of the user's or of the system.
FolderCleaning CleanTempFiles();
