#include "cleaners/folders/special_folder.h"

#include "platform/special_folders.h"

std::wstring GetSpecialFolder(int csidl) {
  platform::Result<std::wstring> folder = platform::SpecialFolderPath(csidl);
  return folder.ok() ? folder.value : std::wstring();
}
