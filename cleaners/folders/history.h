#pragma once

#include <functional>

#include "cleaners/folders/folder_cleaning.h"

// Deletes the loose files of the browser history folder (plain, read-only and archive ones)
// and leaves its sub-folders, hidden and system files and links where they are. The folder
// passes the cleaners' guard first (folder_guard.h): a refused folder is reported and nothing
// in it is touched, not even by `clean_url_history`, which otherwise runs before the loose files
// go (the URL history's files lie in the folder).
FolderCleaning CleanHistory(const std::function<void()>& clean_url_history = {});
