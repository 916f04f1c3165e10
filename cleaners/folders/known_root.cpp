#include "cleaners/folders/known_root.h"

#include <string>

#include "cleaners/folders/special_folder.h"
#include "platform/special_folders.h"

platform::Status OpenUserRoot(UserRoot root, platform::deletion::Folder* folder) {
  const int csidl = root == UserRoot::kLocalAppData ? platform::kLocalAppDataFolder : CSIDL_APPDATA;
  platform::Result<std::wstring> path = platform::SpecialFolderPath(csidl);
  if (!path.ok())
    return path.status;
  return platform::deletion::Folder::Open(path.value, folder);
}
