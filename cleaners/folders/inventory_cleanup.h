#pragma once
// What the temporary files and temporary Internet files cleaners share: the guards on the
// folder they are given, the deletion of a folder's loose files, and reading the inventory
// file back. All of it ignores errors: a step that fails is skipped.

#include <functional>
#include <string>

// True for a full path (drive letter or network share) that is not a root: a cleaner given
// anything else (empty text, a relative path, a drive root) must delete nothing.
bool IsCleanableFolder(const std::wstring& folder);

// True when `path` exists and is a reparse point (a link), which is never entered, emptied
// or removed.
bool IsLink(const std::wstring& path);

// True when an inventory line may be joined below its folder: one plain path component, with
// no "\", "/" or ":", no wildcard, not "." or "..", and no trailing dot or space (which the
// file system would strip, turning "x." into "x" and ". ." into a parent folder).
bool IsPlainFolderName(const std::wstring& line);

// Deletes the plain files lying directly in `folder` (which ends in "\"): normal, read-only
// and archive files; hidden and system files, folders and links stay.
void DeleteLooseFiles(const std::wstring& folder);

// Reads the inventory file back under its number: skips line 1 (the scanned folder), blank
// lines and lines of spaces, and any line that is not a plain folder name, and hands every
// other line, as read, to `act`. Processes nothing when the file cannot be opened. Closes
// every open file at the end.
void ForEachInventoryName(const std::function<void(const std::wstring& name)>& act);
