#pragma once
// Empties the temporary Internet files folder: its loose files, the sub-folders the inventory
// lists, and the sub-folders of each cache container.

#include "cleaners/folders/folder_cleaning.h"

FolderCleaning CleanInternetFiles();
