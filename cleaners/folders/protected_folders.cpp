#include "cleaners/folders/protected_folders.h"

#include "platform/special_folders.h"
#include "platform/system.h"

namespace {

// Shell folder ids (CSIDL values).
constexpr int kShellFolders[] = {
    0x05,  // Documents
    0x06,  // Favorites
    0x0d,  // Music
    0x0e,  // Videos
    0x10,  // Desktop
    0x1a,  // AppData (roaming)
    0x1c,  // AppData (local)
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

std::vector<std::wstring> FoldersTheTempFolderMayNotHold() {
  std::vector<std::wstring> folders;
  for (int id : kShellFolders) {
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
