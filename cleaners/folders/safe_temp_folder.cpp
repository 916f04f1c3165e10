#include "cleaners/folders/safe_temp_folder.h"

#include <string_view>
#include <vector>

#include "cleaners/folders/folder_guard.h"
#include "platform/paths.h"
#include "platform/special_folders.h"
#include "platform/system.h"
#include "platform/temp_folder.h"

namespace {

// Shell folder ids (CSIDL values) of the folders a temporary folder may never be nor hold.
constexpr int kProtectedShellFolders[] = {
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

std::wstring TrimSpaces(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos)
    return {};
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

// The form in which two paths are compared: absolute, with long names where the path exists
// (a short name such as "PROGRA~1" is the same folder), without the "\\?\" prefix or trailing
// separators. Empty when the path cannot be resolved.
std::wstring ComparableForm(const std::wstring& path) {
  if (path.empty())
    return {};
  platform::Result<std::wstring> full = platform::FullPath(path);
  if (!full.ok())
    return {};
  std::wstring form = full.value;
  if (platform::Result<std::wstring> long_form = platform::LongPath(form); long_form.ok())
    form = long_form.value;
  if ((form.starts_with(L"\\\\?\\") || form.starts_with(L"\\\\.\\")) && form.size() >= 6 &&
      form[5] == L':')
    form.erase(0, 4);
  while (!form.empty() && IsSeparator(form.back()))
    form.pop_back();
  return form;
}

// True when `folder` is `other` or one of the folders above it (both in comparable form).
bool IsOrHolds(const std::wstring& folder, const std::wstring& other) {
  if (other.size() < folder.size() ||
      !platform::SamePathText(folder, std::wstring_view(other).substr(0, folder.size())))
    return false;
  return other.size() == folder.size() || IsSeparator(other[folder.size()]);
}

// True when the variable holds an absolute path to `folder` (in comparable form). A relative
// value would name a folder that depends on the current folder.
bool NamesTheFolder(const wchar_t* variable, const std::wstring& folder) {
  const std::wstring value = platform::EnvironmentVariable(variable);
  return IsCleanableFolder(value) && platform::SamePathText(ComparableForm(value), folder);
}

std::vector<std::wstring> ProtectedFolders() {
  std::vector<std::wstring> folders;
  for (int id : kProtectedShellFolders) {
    if (platform::Result<std::wstring> folder = platform::ConfiguredSpecialFolderPath(id);
        folder.ok())
      folders.push_back(folder.value);
  }
  // The profile the kernel falls back on, and the 64-bit Program Files, which a 32-bit build
  // cannot ask the shell for.
  folders.push_back(platform::EnvironmentVariable(L"USERPROFILE"));
  folders.push_back(platform::EnvironmentVariable(L"ProgramW6432"));
  return folders;
}

}  // namespace

std::wstring SafeTemporaryFolder() {
  platform::Result<std::wstring> reported = platform::TemporaryFolderPath();
  const std::wstring temp = TrimSpaces(reported.value);
  const std::wstring form = ComparableForm(temp);
  if (!reported.ok() || form.empty() || !IsCleanableFolder(temp))
    return {};
  if (!NamesTheFolder(L"TMP", form) && !NamesTheFolder(L"TEMP", form))
    return {};
  for (const std::wstring& protected_folder : ProtectedFolders()) {
    const std::wstring protected_form = ComparableForm(protected_folder);
    if (!protected_form.empty() && IsOrHolds(form, protected_form))
      return {};
  }
  return temp;
}
