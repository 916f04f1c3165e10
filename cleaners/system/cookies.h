#pragma once
// The cookie cleaner: deletes, from the user's cookies folder, the file of every cookie entry
// of the URL cache, then the cookie entries themselves.

#include <string>

#include "cleaners/folders/folder_cleaning.h"

// Deletes the cookie files that the URL cache names from the cookies folder, then removes
// those cookie entries from the cache, and leaves the program's folder current. Deletes
// nothing when the cookies folder is unknown or cannot be made current, and nothing (files or
// entries) when it fails the cleaners' guard (folder_guard.h), which is added to `outcome`. The
// result (whether the last cache entry removal worked) is informative only.
bool CleanCookies(FolderCleaning* outcome = nullptr);

// The name of a cookie's file: what follows the last backslash of the entry's local file
// name. Empty when there is no usable single name there: no backslash, nothing after it, a
// name made of dots and spaces only ("." and ".." included), or one holding a character that
// could reach another folder or match several files ("/", ":", "*", "?", "<", ">", '"').
std::wstring CookieFileName(const std::wstring& local_file_name);
