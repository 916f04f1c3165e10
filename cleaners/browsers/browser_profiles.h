#pragma once
// The browsers found for the user, and their profiles, each held open by handle from the user's
// application data folders.

#include <string>
#include <vector>

#include "platform/deletion.h"

namespace browsers {

enum class Family { kChromium, kFirefox };

struct Profile {
  std::wstring name;                // for messages: "Default", "Profiles\x.default-release"
  platform::deletion::Folder data;  // the profile's folder
  // Where its cache lies: in `data` itself, in a folder of its own below the local application
  // data (Opera, Firefox), or nowhere to be found.
  enum class CacheAt { kData, kOwnFolder, kNone };
  CacheAt cache_at = CacheAt::kNone;
  platform::deletion::Folder cache_folder;  // when kOwnFolder

  const platform::deletion::Folder* cache() const {
    switch (cache_at) {
      case CacheAt::kData:
        return &data;
      case CacheAt::kOwnFolder:
        return &cache_folder;
      case CacheAt::kNone:
        break;
    }
    return nullptr;
  }
};

struct Browser {
  std::wstring name;  // "Edge", "Chrome Beta", "Opera GX", "Firefox"...
  Family family = Family::kChromium;
  // Left whole, every step: the browser runs, or its folder is reached through a link.
  bool open = false;
  bool reached_by_link = false;
  std::vector<Profile> profiles;
};

}  // namespace browsers
