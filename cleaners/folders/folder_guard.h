#pragma once
// The checks every folder cleaner makes before it deletes anything in a folder it was given.

#include <string>

// True when a cleaner may work in `folder`: the path is known (not empty), absolute, not the
// root of a drive or of a network share, and not a reparse point (a junction or link could lead
// anywhere). A folder that does not exist passes: working in it simply finds nothing.
bool IsCleanableFolder(const std::wstring& folder);

// `folder` followed by exactly one "\", ready for names to be joined to it.
std::wstring WithTrailingBackslash(const std::wstring& folder);
