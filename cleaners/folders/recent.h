#pragma once

#include "cleaners/folders/folder_cleaning.h"

// Empties the recent documents folder, once it passed the cleaners' guard (folder_guard.h); a
// refused folder is reported and nothing in it is touched.
FolderCleaning CleanRecent();
