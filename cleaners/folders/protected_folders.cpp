#include "cleaners/folders/protected_folders.h"

#include "platform/special_folders.h"
#include "platform/system.h"

namespace {

constexpr int kProfile = 0x28;         // CSIDL_PROFILE
constexpr int kRoamingAppData = 0x1a;  // CSIDL_APPDATA
constexpr int kLocalAppData = 0x1c;    // CSIDL_LOCAL_APPDATA

// Shell folder ids (CSIDL values).
constexpr int kShellFolders[] = {
    0x05,  // Documents
    0x06,  // Favorites
    0x0d,  // Music
    0x0e,  // Videos
    0x10,  // Desktop
    kRoamingAppData,
    kLocalAppData,
    0x24,  // Windows
    0x26,  // Program Files
    0x27,  // Pictures
    0x28,  // the profile
    0x2a,  // Program Files (x86)
};

constexpr platform::KnownFolder kKnownFolders[] = {
    platform::KnownFolder::kDownloads,       platform::KnownFolder::kSavedGames,
    platform::KnownFolder::kContacts,        platform::KnownFolder::kLinks,
    platform::KnownFolder::kSearches,        platform::KnownFolder::kOneDrive,
    platform::KnownFolder::kPublic,          platform::KnownFolder::kPublicDesktop,
    platform::KnownFolder::kPublicDocuments, platform::KnownFolder::kPublicDownloads,
    platform::KnownFolder::kPublicMusic,     platform::KnownFolder::kPublicPictures,
    platform::KnownFolder::kPublicVideos,    platform::KnownFolder::kProgramData,
};

// The profile the kernel falls back on; the 64-bit Program Files, which a 32-bit build cannot
// ask the shell for; and the OneDrive folders the OneDrive client announces (a personal and a
// work account may each have their own).
constexpr const wchar_t* kVariables[] = {
    L"USERPROFILE", L"ProgramW6432", L"OneDrive", L"OneDriveConsumer", L"OneDriveCommercial",
};

}  // namespace

std::vector<std::wstring> ProtectedTrees(CleanedFolder cleaned) {
  std::vector<std::wstring> folders;
  if (platform::Result<std::wstring> windows = platform::SystemWindowsFolder(); windows.ok())
    folders.push_back(windows.value);
  for (int id : kShellFolders) {
    if ((id == kRoamingAppData && cleaned == CleanedFolder::kRoamingAppData) ||
        (id == kLocalAppData && cleaned == CleanedFolder::kLocalAppData))
      continue;
    if (platform::Result<std::wstring> folder = platform::ConfiguredSpecialFolderPath(id);
        folder.ok())
      folders.push_back(folder.value);
  }
  for (platform::KnownFolder id : kKnownFolders) {
    if (platform::Result<std::wstring> folder = platform::KnownFolderPath(id); folder.ok())
      folders.push_back(folder.value);
  }
  for (const wchar_t* variable : kVariables) {
    if (std::wstring folder = platform::EnvironmentVariable(variable); !folder.empty())
      folders.push_back(folder);
  }
  return folders;
}

std::vector<DefaultPlace> DefaultPlacesOf(CleanedFolder folder) {
  // The profile is no "User Shell Folders" value: the system gives it from the user's account.
  const platform::Result<std::wstring> profile = platform::ConfiguredSpecialFolderPath(kProfile);
  const platform::Result<std::wstring> windows = platform::SystemWindowsFolder();
  std::vector<DefaultPlace> places;
  auto add = [&](const platform::Result<std::wstring>& root, const wchar_t* below,
                 bool with_sub_folders = false) {
    if (root.ok())
      places.push_back({root.value + L"\\" + below, with_sub_folders});
  };
  switch (folder) {
    case CleanedFolder::kTemp:
      add(profile, L"AppData\\Local\\Temp", true);  // "Temp\2" and others on a terminal server
      add(windows, L"Temp");
      add(windows, L"SystemTemp");
      add(profile, L"Temp");  // Wine's own default
      break;
    case CleanedFolder::kInternetCache:
      add(profile, L"AppData\\Local\\Microsoft\\Windows\\INetCache");
      add(profile, L"AppData\\Local\\Microsoft\\Windows\\Temporary Internet Files");
      break;
    case CleanedFolder::kHistory:
      add(profile, L"AppData\\Local\\Microsoft\\Windows\\History");
      break;
    case CleanedFolder::kCookies:
      add(profile, L"AppData\\Local\\Microsoft\\Windows\\INetCookies");
      add(profile, L"AppData\\Roaming\\Microsoft\\Windows\\Cookies");
      break;
    case CleanedFolder::kRecent:
      add(profile, L"AppData\\Roaming\\Microsoft\\Windows\\Recent");
      break;
    case CleanedFolder::kRoamingAppData:
      add(profile, L"AppData\\Roaming");
      break;
    case CleanedFolder::kLocalAppData:
      add(profile, L"AppData\\Local");
      break;
    case CleanedFolder::kProfileUserData:
      add(profile, L"UserData");
      break;
  }
  return places;
}
