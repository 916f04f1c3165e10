#pragma once
// Listing the sub-folders of a folder tree into the inventory tables, each folder reached from
// its parent's handle, and cutting the entries' names for the inventory file.

#include <cstdint>
#include <string>
#include <vector>

#include "inventory/kept_listings.h"
#include "platform/deletion.h"
#include "platform/status.h"

// Appends to EntryTable every sub-folder of `folder` and, while their rows stay within
// MaxDepth, the sub-folders below them, advancing NextEntry. `prefix` is the folder's path as
// the rows spell it (ending in "\"); `depth` is the depth count of its sub-folders (0 for those
// of the scanned folder). Each sub-folder is opened relative to its parent's handle by its exact
// listed name, as listed (deletion::Folder::OpenChild), its attributes reset to normal on its
// own handle, and listed from that handle: no path is ever resolved again, so a name that a
// path would spell otherwise ("x." beside a link "x") leads nowhere else. Hidden and system
// sub-folders, what lies below them, links and files are never recorded. A sub-folder that no
// reader could name in a path (see platform::IsPlainWin32Name, and paths of MAX_PATH characters
// or more), that cannot be opened or reset, is left with all it holds: counted as left in the
// run's tally and its path appended to `left`; one that went since the listing is skipped. Only
// the listing of `folder` itself ends the procedure with its failure; the rows stored stay.
// When `kept` is given, the listing of each sub-folder recorded goes there, under its file
// number, and so does that of `folder` when its number `folder_id` is known.
platform::Status ListFolder(const platform::deletion::Folder& folder, const std::wstring& prefix,
                            int depth, std::vector<std::wstring>* left,
                            KeptListings* kept = nullptr, std::uint64_t folder_id = 0);

// The text after the last "\" of `path`; empty when there is none or when it ends in "\".
std::wstring GetEntryName(const std::wstring& path);
