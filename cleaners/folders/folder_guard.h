#pragma once
// The checks every folder cleaner makes before it deletes anything in a folder it was given,
// and the deletion of a folder's loose files that several of them share.

#include <string>

#include "cleaners/folders/protected_folders.h"

// True when a cleaner may work in `folder`: the path is known (not empty), absolute, not the
// root of a drive or of a network share, and not a reparse point (a junction or link could lead
// anywhere). A folder that does not exist passes: working in it simply finds nothing.
bool IsCleanableFolder(const std::wstring& folder);

// The one check every folder a cleaner cleans passes before anything in it is touched. True when
// `folder` passes IsCleanableFolder and lies outside every protected tree (protected_folders.h),
// or at one of the places the system keeps it by default inside them (`which` says which
// folder it is). Refused, whatever the place: a folder that holds a protected tree, and one that
// exists but cannot be known. Folders are compared by text and by what they are (their
// identity, every link on the way followed), so a spelling through a link, a short name, a
// "\\?\" prefix or a drive mapping changes nothing. A folder not made yet is judged by the
// folders above it.
bool IsSafeToClean(const std::wstring& folder, CleanedFolder which);

// The form in which the guard compares paths: absolute, with long names where the path exists,
// without a "\\?\" prefix before a drive or trailing separators. Empty when the path cannot be
// resolved.
std::wstring ComparableForm(const std::wstring& path);

// `folder` followed by exactly one "\", ready for names to be joined to it.
std::wstring WithTrailingBackslash(const std::wstring& folder);

// True when `path` exists and is a reparse point (a link), which is never entered, emptied or
// removed: the caller leaves it, and the run's tally counts it as left.
bool LeftAsLink(const std::wstring& path);

// Deletes the plain files lying directly in `folder` (which ends in "\\"): normal, read-only
// and archive files go; hidden and system files, folders and links stay. A folder that is a link
// is not touched. Errors ignored: a file that cannot be deleted stays and the next one is tried.
void DeleteLooseFiles(const std::wstring& folder);
