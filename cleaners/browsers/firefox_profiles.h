#pragma once
// The profiles of Firefox.

#include <string>
#include <vector>

#include "cleaners/browsers/browser_profiles.h"
#include "platform/deletion.h"

namespace browsers {

// One profile as profiles.ini names it.
struct ProfileEntry {
  std::wstring path;  // as written, "/" turned into "\"
  bool relative = true;
};

// The profiles of the [Profile...] sections of profiles.ini (UTF-8 text).
std::vector<ProfileEntry> ProfilesOfProfilesIni(const std::string& ini);

// The profiles of Firefox's folder `firefox` (Mozilla\Firefox in the roaming application data):
// those profiles.ini names and every folder of its "Profiles". A relative profile's cache is the
// folder of the same relative path below `local` (Mozilla\Firefox in the local application data)
// when it is given; a profile named by an absolute path is opened from its drive's root, every
// folder on the way as its parent's listing shows it, and keeps its cache inside itself. A
// profile that is or lies behind a link is left and counted.
std::vector<Profile> FindFirefoxProfiles(const platform::deletion::Folder& firefox,
                                         const platform::deletion::Folder* local);

// Opens the folder at the absolute path `path` ("D:\Firefox\work", "\\server\share\p") from its
// root down, refusing a link anywhere on the way.
platform::Status OpenAbsoluteFolder(const std::wstring& path, platform::deletion::Folder* folder);

// True when the profile is in use: Firefox holds its parent.lock open and shares it with no one,
// so that even opening it for reading fails.
bool FirefoxUsesProfile(const platform::deletion::Folder& profile);

}  // namespace browsers
