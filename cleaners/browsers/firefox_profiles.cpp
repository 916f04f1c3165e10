#include "cleaners/browsers/firefox_profiles.h"

#include <algorithm>

#include "platform/paths.h"
#include "platform/tally.h"
#include "platform/text.h"

namespace browsers {
namespace {

using platform::deletion::Entry;
using platform::deletion::Folder;

constexpr std::size_t kProfilesIniLimit = 1 << 20;

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos)
    return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool LooksAbsolute(const std::wstring& path) {
  return (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') || path.starts_with(L"\\\\");
}

// Opens a relative profile and its cache, or counts the link that stands in the way.
void AddRelativeProfile(const Folder& firefox, const Folder* local, const std::wstring& relative,
                        std::vector<Profile>* profiles) {
  Profile profile;
  if (platform::Status opened = firefox.OpenBelow(relative, &profile.data); !opened) {
    if (platform::deletion::IsLinkRefused(opened))
      platform::tally::NoteLinkLeft();
    return;
  }
  if (local && local->OpenBelow(relative, &profile.cache_folder).ok())
    profile.cache_at = Profile::CacheAt::kOwnFolder;
  profile.name = relative;
  profiles->push_back(std::move(profile));
}

void AddAbsoluteProfile(const std::wstring& path, std::vector<Profile>* profiles) {
  Profile profile;
  if (platform::Status opened = OpenAbsoluteFolder(path, &profile.data); !opened) {
    if (platform::deletion::IsLinkRefused(opened))
      platform::tally::NoteLinkLeft();
    return;
  }
  profile.cache_at = Profile::CacheAt::kData;
  profile.name = path;
  profiles->push_back(std::move(profile));
}

}  // namespace

std::vector<ProfileEntry> ProfilesOfProfilesIni(const std::string& ini) {
  std::vector<ProfileEntry> profiles;
  bool in_profile = false;
  std::wstring path;
  std::string is_relative;
  auto finish_section = [&] {
    if (in_profile && !path.empty()) {
      const bool relative = is_relative.empty() ? !LooksAbsolute(path) : is_relative != "0";
      profiles.push_back({path, relative});
    }
    path.clear();
    is_relative.clear();
  };
  std::size_t start = 0;
  while (start <= ini.size()) {
    std::size_t end = ini.find('\n', start);
    if (end == std::string::npos)
      end = ini.size();
    const std::string line = Trimmed(ini.substr(start, end - start));
    start = end + 1;
    if (line.starts_with("[")) {
      finish_section();
      in_profile = line.starts_with("[Profile") && line.ends_with("]");
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!in_profile || equals == std::string::npos)
      continue;
    const std::string key = Trimmed(line.substr(0, equals));
    const std::string value = Trimmed(line.substr(equals + 1));
    if (key == "Path") {
      path = platform::FromUtf8(value);
      std::replace(path.begin(), path.end(), L'/', L'\\');
    } else if (key == "IsRelative") {
      is_relative = value;
    }
  }
  finish_section();
  return profiles;
}

platform::Status OpenAbsoluteFolder(const std::wstring& path, Folder* folder) {
  constexpr std::uint32_t kInvalidName = 123;  // ERROR_INVALID_NAME
  std::wstring clean = path;
  std::replace(clean.begin(), clean.end(), L'/', L'\\');
  while (clean.size() > 3 && clean.back() == L'\\')
    clean.pop_back();
  std::size_t root_end = std::wstring::npos;
  if (clean.size() > 3 && clean[1] == L':' && clean[2] == L'\\') {
    root_end = 3;
  } else if (clean.starts_with(L"\\\\") && !clean.starts_with(L"\\\\?\\") &&
             !clean.starts_with(L"\\\\.\\")) {
    // \\server\share\ is the root of a network path.
    const std::size_t share = clean.find(L'\\', 2);
    const std::size_t after_share =
        share == std::wstring::npos ? share : clean.find(L'\\', share + 1);
    if (after_share != std::wstring::npos)
      root_end = after_share + 1;
  }
  if (root_end == std::wstring::npos || root_end >= clean.size())
    return platform::Status::FromWin32(kInvalidName);
  Folder root;
  NIMBREL_TRY(Folder::Open(clean.substr(0, root_end), &root));
  return root.OpenBelow(clean.substr(root_end), folder);
}

std::vector<Profile> FindFirefoxProfiles(const Folder& firefox, const Folder* local) {
  std::vector<Profile> profiles;
  std::vector<std::wstring> relatives;
  auto add_relative = [&](const std::wstring& relative) {
    for (const std::wstring& known : relatives) {
      if (platform::SamePathText(known, relative))
        return;
    }
    relatives.push_back(relative);
  };

  std::string ini;
  std::vector<std::wstring> absolutes;
  if (firefox.ReadFile(L"profiles.ini", kProfilesIniLimit, &ini).ok()) {
    for (ProfileEntry& entry : ProfilesOfProfilesIni(ini)) {
      if (entry.relative)
        add_relative(entry.path);
      else
        absolutes.push_back(entry.path);
    }
  }
  // Every folder of Profiles, whether profiles.ini names it or not (a profile group may name
  // only one of its profiles there). A link among them is tried like the others, and refused.
  Folder folder_of_profiles;
  std::vector<Entry> entries;
  if (firefox.OpenBelow(L"Profiles", &folder_of_profiles).ok() &&
      folder_of_profiles.List(&entries).ok()) {
    for (const Entry& entry : entries) {
      if (entry.IsDirectory() || entry.IsReparsePoint())
        add_relative(L"Profiles\\" + entry.name);
    }
  }
  for (const std::wstring& relative : relatives)
    AddRelativeProfile(firefox, local, relative, &profiles);
  for (const std::wstring& absolute : absolutes)
    AddAbsoluteProfile(absolute, &profiles);
  return profiles;
}

bool FirefoxUsesProfile(const Folder& profile) {
  return profile.ChildFileHeld(L"parent.lock", Folder::Access::kRead);
}

}  // namespace browsers
