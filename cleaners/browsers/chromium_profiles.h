#pragma once
// The profiles of a Chromium-family browser (Edge, Chrome, Brave, Vivaldi, Opera...).

#include <string>
#include <vector>

#include "cleaners/browsers/browser_profiles.h"
#include "platform/deletion.h"

namespace browsers {

// The profile folders of `user_data`: the names its "Local State" lists (profile.info_cache)
// and every sub-folder holding a "Preferences" file. A profile folder that is a link is left
// and counted.
// Each profile's cache lies in its own folder when `local` is given: the folder of the same
// name below `local`, which stands where `user_data` stands under the local application data
// (Opera). Otherwise it lies in the profile itself.
std::vector<Profile> FindChromiumProfiles(const platform::deletion::Folder& user_data,
                                          const platform::deletion::Folder* local = nullptr);

// The folder names "Local State" gives its profiles (JSON, profile.info_cache); none when the
// text is not such a file. Names that are not one plain folder name are left out.
std::vector<std::wstring> ProfileNamesOfLocalState(const std::string& local_state);

// True when Chromium's user data folder `user_data` is held by the running browser: it holds
// its "lockfile" open for writing and shares it for reading only.
bool ChromiumRuns(const platform::deletion::Folder& user_data);

}  // namespace browsers
