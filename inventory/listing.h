#pragma once
// Listing the sub-folders of one folder into the inventory tables, and cutting and formatting
// the entries for the inventory file. None of these handles an error: the first failure ends
// the procedure and its status passes to the caller, with what was stored before it kept.

#include <string>

#include "platform/status.h"

// Appends every sub-folder of `folder` (which ends in "\") to FolderQueue and EntryTable,
// advancing QueueTail and NextEntry. Hidden and system sub-folders are not returned by the
// search, so neither they nor anything below them are recorded; a sub-folder that is a
// reparse point (a link) is never recorded, so no entry can lead out of the tree. Files are
// never recorded. The queue and the rows grow as the sub-folders come; when memory runs out the
// listing fails with what was stored before kept. The search is run to its end on success.
platform::Status ListFolder(const std::wstring& folder);

// The text after the last "\" of `path`; empty when there is none or when it ends in "\".
std::wstring GetEntryName(const std::wstring& path);

// Resets the attributes of the entry at `path` to normal and returns its inventory line, the
// name alone (every row of the inventory is a sub-folder's).
platform::Result<std::wstring> FormatEntryLine(const std::wstring& path, const std::wstring& name);
