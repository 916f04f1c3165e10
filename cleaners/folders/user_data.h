#pragma once
// The browser's userData store since Windows Vista, below the roaming application data folder.

#include "cleaners/folders/folder_cleaning.h"

// Purges "Microsoft\Internet Explorer\UserData" below the roaming application data folder,
// the store and everything in it, reached from the root's handle one folder at a time (a link on
// the way is refused). A store that is not there has nothing to purge and nothing to say. A root
// that fails the cleaners' guard (kFolderProtected), a store that cannot be reached
// (kFolderUnreadable) or one that could not be emptied (kFolderNotEmptied) is reported.
FolderCleaning PurgeRoamingUserData();
