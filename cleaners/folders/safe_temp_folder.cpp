#include "cleaners/folders/safe_temp_folder.h"

#include "cleaners/folders/folder_guard.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/temp_folder.h"

namespace {

std::wstring TrimSpaces(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos)
    return {};
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// True when the variable holds an absolute path to `folder` (in comparable form). A relative
// value would name a folder that depends on the current folder.
bool NamesTheFolder(const wchar_t* variable, const std::wstring& folder) {
  const std::wstring value = platform::EnvironmentVariable(variable);
  return IsCleanableFolder(value) && platform::SamePathText(ComparableForm(value), folder);
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
  return IsSafeToClean(temp, CleanedFolder::kTemp) ? temp : std::wstring();
}
