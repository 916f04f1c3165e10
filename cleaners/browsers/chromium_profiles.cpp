#include "cleaners/browsers/chromium_profiles.h"

#include <nlohmann/json.hpp>

#include "cleaners/browsers/name_match.h"
#include "platform/paths.h"
#include "platform/tally.h"
#include "platform/text.h"

namespace browsers {
namespace {

using platform::deletion::Entry;
using platform::deletion::Folder;

constexpr std::size_t kLocalStateLimit = 32 << 20;

// A name that opens one folder right below the user data folder, and nothing else.
bool IsPlainFolderName(const std::wstring& name) {
  return !name.empty() && name != L"." && name != L".." &&
         name.find_first_of(L"\\/:") == std::wstring::npos;
}

// The names Chromium gives profile folders: "Default", "Profile 3", "Guest Profile", "System
// Profile". A link by such a name is counted as left, being a profile the run does not clean.
bool LooksLikeProfileName(const std::wstring& name) {
  return platform::SamePathText(name, L"Default") || StartsWithIgnoringCase(name, L"Profile ") ||
         platform::SamePathText(name, L"Guest Profile") ||
         platform::SamePathText(name, L"System Profile");
}

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
  for (const std::wstring& each : names) {
    if (platform::SamePathText(each, name))
      return true;
  }
  return false;
}

// The profile `data` named `name`, with its cache.
Profile MakeProfile(std::wstring name, Folder data, const Folder* local) {
  Profile profile;
  profile.data = std::move(data);
  if (!local) {
    profile.cache_at = Profile::CacheAt::kData;
  } else if (local->OpenBelow(name, &profile.cache_folder).ok()) {
    profile.cache_at = Profile::CacheAt::kOwnFolder;
  }
  profile.name = std::move(name);
  return profile;
}

}  // namespace

std::vector<std::wstring> ProfileNamesOfLocalState(const std::string& local_state) {
  std::vector<std::wstring> names;
  const nlohmann::json root =
      nlohmann::json::parse(local_state, nullptr, /*allow_exceptions=*/false);
  if (root.is_discarded() || !root.is_object())
    return names;
  const auto profile = root.find("profile");
  if (profile == root.end() || !profile->is_object())
    return names;
  const auto info_cache = profile->find("info_cache");
  if (info_cache == profile->end() || !info_cache->is_object())
    return names;
  for (const auto& item : info_cache->items()) {
    std::wstring name = platform::FromUtf8(item.key());
    if (IsPlainFolderName(name) && !Contains(names, name))
      names.push_back(std::move(name));
  }
  return names;
}

std::vector<Profile> FindChromiumProfiles(const Folder& user_data, const Folder* local) {
  std::vector<Profile> profiles;
  std::string local_state;
  std::vector<std::wstring> listed_names;
  if (user_data.ReadFile(L"Local State", kLocalStateLimit, &local_state).ok())
    listed_names = ProfileNamesOfLocalState(local_state);

  std::vector<Entry> entries;
  if (!user_data.List(&entries).ok())
    return profiles;
  for (const Entry& entry : entries) {
    const bool named = Contains(listed_names, entry.name);
    if (entry.IsReparsePoint()) {
      if (named || LooksLikeProfileName(entry.name))
        platform::tally::NoteLinkLeft();
      continue;
    }
    if (!entry.IsDirectory())
      continue;
    Folder folder;
    if (platform::Status opened = user_data.OpenChild(entry, &folder); !opened) {
      if (platform::deletion::IsLinkRefused(opened))
        platform::tally::NoteLinkLeft();
      continue;
    }
    if (named || folder.HasChildFile(L"Preferences"))
      profiles.push_back(MakeProfile(entry.name, std::move(folder), local));
  }
  return profiles;
}

bool ChromiumRuns(const Folder& user_data) {
  return user_data.ChildFileHeld(L"lockfile", Folder::Access::kWrite);
}

}  // namespace browsers
