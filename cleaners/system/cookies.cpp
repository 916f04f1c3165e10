#include "cleaners/system/cookies.h"

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/special_folder.h"
#include "cleaners/system/url_cache_walk.h"
#include "platform/fs.h"
#include "platform/url_cache.h"

namespace fs = platform::fs;

std::wstring CookieFileName(const std::wstring& local_file_name) {
  const size_t backslash = local_file_name.rfind(L'\\');
  if (backslash == std::wstring::npos)
    return {};
  std::wstring name = local_file_name.substr(backslash + 1);
  if (name.find_first_not_of(L". ") == std::wstring::npos)
    return {};  // empty, ".", "..", or a name Windows would trim down to the folder itself
  if (name.find_first_of(L"/:*?<>\"") != std::wstring::npos)
    return {};
  return name;
}

namespace {

// Resets and deletes one plain file of the cookies folder; folders and links are left alone.
// Errors ignored: a file in use, protected or already gone is skipped.
void DeleteCookieFile(const std::wstring& path) {
  std::uint32_t attributes = 0;
  if (!fs::GetAttributes(path, &attributes).ok())
    return;
  if (attributes & (fs::kDirectory | fs::kReparsePoint))
    return;
  (void)fs::SetAttributes(path, fs::kNormal);
  (void)fs::RemoveFile(path);
}

}  // namespace

bool CleanCookies() {
  const std::wstring folder = GetSpecialFolder(CSIDL_COOKIES);
  // Errors ignored from here on: the enumeration fails only through the cache, and whatever it
  // collected before is cleaned.
  (void)EnumUrlCache(&HistoryEntries, &CookieEntries);

  bool removed = false;
  // Names are joined to the folder only after it proved usable: an unknown folder, a root, a
  // link, or a folder that cannot be entered deletes nothing anywhere.
  if (IsCleanableFolder(folder) && fs::ChangeCurrentFolder(folder).ok()) {
    const std::wstring prefix = WithTrailingBackslash(folder);
    for (size_t i = 0; i + 1 < CookieEntries.size(); ++i) {
      const std::wstring name = CookieFileName(CookieEntries[i].LocalFileName);
      if (!name.empty())
        DeleteCookieFile(prefix + name);
    }
    // A cookie's cache entry names the site it came from: remove it too.
    for (size_t i = 0; i + 1 < CookieEntries.size(); ++i)
      removed = platform::url_cache::DeleteEntry(CookieEntries[i].SourceUrlName).ok();
  }
  (void)fs::ChangeCurrentFolder(fs::ProgramFolder());
  return removed;
}
