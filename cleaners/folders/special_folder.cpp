#include "cleaners/folders/special_folder.h"

#include "platform/special_folders.h"

std::wstring GetSpecialFolder(int csidl) {
  // The shell's path comes back as it is (no trailing backslash except at a drive root); any
  // failure of either shell call gives empty text, the only failure signal callers see.
  platform::Result<std::wstring> folder = platform::SpecialFolderPath(csidl);
  return folder.ok() ? folder.value : std::wstring();
}
