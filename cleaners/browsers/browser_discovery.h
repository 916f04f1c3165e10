#pragma once
// Every browser the cleaners know, found below the user's application data folders.

#include <vector>

#include "cleaners/browsers/browser_profiles.h"
#include "platform/deletion.h"

namespace browsers {

// The browsers found below `local` and `roaming` (the user's local and roaming application data
// folders, either of which may be missing: null), in a fixed order: Edge, Chrome, Chromium,
// Brave, Opera, Opera GX, Vivaldi, Firefox, each channel (Beta, Dev, Canary...) a browser of
// its own. A browser is found when its folder is there. One that runs is marked open; one
// whose folder is reached through a link is marked so, and nothing below is opened.
std::vector<Browser> FindBrowsers(const platform::deletion::Folder* local,
                                  const platform::deletion::Folder* roaming);

}  // namespace browsers
