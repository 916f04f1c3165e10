#pragma once
// The checks every folder cleaner makes before it deletes anything in a folder it was given,
// and the deletion of a folder's loose files that several of them share.

#include <string>

// True when a cleaner may work in `folder`: the path is known (not empty), absolute, not the
// root of a drive or of a network share, and not a reparse point (a junction or link could lead
// anywhere). A folder that does not exist passes: working in it simply finds nothing.
bool IsCleanableFolder(const std::wstring& folder);

// `folder` followed by exactly one "\", ready for names to be joined to it.
std::wstring WithTrailingBackslash(const std::wstring& folder);

// True when `path` exists and is a reparse point (a link), which is never entered, emptied or
// removed: the caller leaves it, and the run's tally counts it as left.
bool LeftAsLink(const std::wstring& path);

// Deletes the plain files lying directly in `folder` (which ends in "\\"): normal, read-only
// and archive files go; hidden and system files, folders and links stay. A folder that is a link
// is not touched. Errors ignored: a file that cannot be deleted stays and the next one is tried.
void DeleteLooseFiles(const std::wstring& folder);
