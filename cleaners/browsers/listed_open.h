#pragma once
// Folders below a folder held open, each opened as its parent's listing shows it: a link there is
// refused whatever the system underneath follows when a name is opened.

#include <string>
#include <vector>

#include "platform/deletion.h"
#include "platform/status.h"

namespace browsers {

// The entry of `entries` named `name` as the file system compares names, or null.
const platform::deletion::Entry* FindEntry(const std::vector<platform::deletion::Entry>& entries,
                                           const std::wstring& name);

// Opens `relative` ("Google\Chrome\User Data") below `top`, one folder at a time. Fails with
// LinkRefused() when a folder on the way is a link, with "path not found" when one is missing.
platform::Status OpenListedBelow(const platform::deletion::Folder& top,
                                 const std::wstring& relative, platform::deletion::Folder* folder);

// True when `name` begins with `prefix`, letter case aside (ASCII prefixes only).
bool StartsWithIgnoringCase(const std::wstring& name, const std::wstring& prefix);

}  // namespace browsers
