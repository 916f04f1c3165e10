#include "cleaners/folders/known_root.h"

#include <string>

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/special_folder.h"
#include "platform/special_folders.h"

namespace {

constexpr std::uint32_t kNotAllowedOnSystemFile = 313;  // ERROR_NOT_ALLOWED_ON_SYSTEM_FILE

}  // namespace

platform::Status RootRefused() {
  return platform::Status::FromWin32(kNotAllowedOnSystemFile);
}

bool IsRootRefused(const platform::Status& status) {
  return status.IsWin32(kNotAllowedOnSystemFile);
}

platform::Status OpenUserRoot(UserRoot root, platform::deletion::Folder* folder) {
  const bool local = root == UserRoot::kLocalAppData;
  platform::Result<std::wstring> path =
      platform::SpecialFolderPath(local ? platform::kLocalAppDataFolder : CSIDL_APPDATA);
  if (!path.ok())
    return path.status;
  if (!IsSafeToClean(path.value,
                     local ? CleanedFolder::kLocalAppData : CleanedFolder::kRoamingAppData))
    return RootRefused();
  // Walked down from the drive's root: a link anywhere on the way is refused.
  return platform::deletion::Folder::Open(path.value, folder);
}
