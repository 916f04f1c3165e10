#pragma once
// What the temporary files and temporary Internet files cleaners share: the check on the names
// read back from the inventory file, and the reading itself. Errors are ignored: a step that
// fails is skipped.

#include <functional>
#include <string>

// True when an inventory line may be joined below its folder: one plain path component, with
// no "\", "/" or ":", no wildcard, not "." or "..", and no trailing dot or space (which the
// file system would strip, turning "x." into "x" and ". ." into a parent folder), and no
// device's name ("CON", "con.txt"), which a path names instead of a folder.
bool IsPlainFolderName(const std::wstring& line);

// Reads back, under its number, the inventory file the last scan wrote: skips line 1 (the scanned
// folder), blank lines and lines of spaces, and any line that is not a plain folder name, and hands
// every other line, as read, to `act`. Processes nothing when the file cannot be opened. Closes
// every open file at the end.
void ForEachInventoryName(const std::function<void(const std::wstring& name)>& act);
