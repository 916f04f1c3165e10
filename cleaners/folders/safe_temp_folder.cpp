#include "cleaners/folders/safe_temp_folder.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/protected_folders.h"
#include "platform/file_identity.h"
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

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (!path.empty() && IsSeparator(path.back()))
    path.pop_back();
  return path;
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
  std::wstring form = std::move(full.value);
  if (platform::Result<std::wstring> long_form = platform::LongPath(form); long_form.ok())
    form = long_form.value;
  if ((form.starts_with(L"\\\\?\\") || form.starts_with(L"\\\\.\\")) && form.size() >= 6 &&
      form[5] == L':')
    form.erase(0, 4);
  return WithoutTrailingSeparators(form);
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

// Adds `folder` (in comparable form) and each folder above it, down to the root of its drive,
// to `chain` where it is not there already: the protected folders share most of their parents.
void AddFolderAndParents(std::wstring folder, std::vector<std::wstring>* chain) {
  while (!folder.empty()) {
    const bool drive = folder.size() == 2 && folder[1] == L':';
    std::wstring path = drive ? folder + L'\\' : folder;
    if (std::none_of(chain->begin(), chain->end(), [&](const std::wstring& known) {
          return platform::SamePathText(known, path);
        }))
      chain->push_back(std::move(path));
    const std::size_t cut = folder.find_last_of(L"\\/");
    // "\\server" above a share is no folder.
    if (cut == std::wstring::npos || cut < 2)
      break;
    folder.erase(cut);
  }
}

// The protected folders and every folder above each, both along the paths as configured and
// along the paths their links lead to: the temporary folder may be none of them.
std::vector<platform::FileIdentity> ForbiddenIdentities(
    const std::vector<std::wstring>& protected_forms) {
  std::vector<std::wstring> chain;
  for (const std::wstring& protected_form : protected_forms) {
    AddFolderAndParents(protected_form, &chain);
    // The system gives the resolved path absolute and with long names already.
    if (platform::Result<std::wstring> resolved = platform::ResolvedPath(protected_form);
        resolved.ok())
      AddFolderAndParents(WithoutTrailingSeparators(resolved.value), &chain);
  }
  std::vector<platform::FileIdentity> identities;
  for (const std::wstring& folder : chain) {
    // A folder that cannot be opened is no folder the temporary one can be.
    if (platform::Result<platform::FileIdentity> identity = platform::IdentityOf(folder);
        identity.ok())
      identities.push_back(identity.value);
  }
  return identities;
}

bool IsMissing(const platform::Status& status) {
  return status.Is(platform::kFileNotFound) || status.Is(platform::kPathNotFound);
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

  // By text first, which also covers protected folders not made yet.
  const std::vector<std::wstring> protected_folders = FoldersTheTempFolderMayNotHold();
  std::vector<std::wstring> protected_forms;
  for (const std::wstring& protected_folder : protected_folders) {
    std::wstring protected_form = ComparableForm(protected_folder);
    if (protected_form.empty())
      continue;
    if (IsOrHolds(form, protected_form))
      return {};
    protected_forms.push_back(std::move(protected_form));
  }

  // Then by identity: the same folder may be spelt through a link on the way ("Documents and
  // Settings"), a drive mapping or a second name. A temporary folder that does not exist holds
  // nothing; one that exists but cannot be opened cannot be known, so it is refused.
  platform::Result<platform::FileIdentity> temp_identity = platform::IdentityOf(form);
  if (!temp_identity.ok())
    return IsMissing(temp_identity.status) ? temp : std::wstring();
  const std::vector<platform::FileIdentity> identities = ForbiddenIdentities(protected_forms);
  if (std::find(identities.begin(), identities.end(), temp_identity.value) != identities.end())
    return {};
  return temp;
}
