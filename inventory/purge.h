#pragma once

#include <string>

#include "platform/deletion.h"

// Deletes everything below `folder` (which ends in "\") and then the folder itself, unless it
// is a drive root. True when the whole tree, the folder included, is gone (for a drive root:
// when its contents are). False when something was left: a file in use, a folder that could
// not be listed or removed, a link (reparse point), which is never entered nor removed, or a
// refused path (no trailing "\", the root of the current drive, a folder that is itself a
// link), in which case nothing is touched.
bool PurgeFolder(const std::wstring& folder);

// PurgeFolder for a folder opened already (reached by handle from a cleaner's root): everything
// below it, then the folder itself. True when it is gone.
bool PurgeOpenedFolder(platform::deletion::Folder folder);

// Deletes everything below `folder` (which ends in "\") as PurgeFolder does, and leaves the
// folder itself where it is, with its attributes and permissions untouched. True when nothing
// is left inside. A folder that is a link, or that cannot be opened, is not touched.
bool PurgeFolderContents(const std::wstring& folder);

// The same for folders a cleaner reached by handle: empties `folder` (each sub-folder through
// its own handle, links left) and keeps it. True when nothing is left inside.
bool PurgeOpenedFolderContents(const platform::deletion::Folder& folder);
