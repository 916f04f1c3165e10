#include "cleaners/system/cookies.h"

#include <vector>

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/special_folder.h"
#include "cleaners/system/url_cache_walk.h"
#include "platform/deletion.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/tally.h"
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

namespace deletion = platform::deletion;

// Deletes, from the cookies folder, each plain file that a cookie entry names; folders and links
// are left alone. The folder is listed once and each file is deleted as listed, through the
// folder's handle. Errors ignored: a file in use, protected or already gone is skipped.
void DeleteCookieFiles(const std::wstring& folder) {
  deletion::Folder cookies;
  if (platform::Status opened = deletion::Folder::Open(folder, &cookies); !opened) {
    if (deletion::IsLinkRefused(opened))
      platform::tally::NoteLinkLeft();
    return;
  }
  std::vector<deletion::Entry> entries;
  if (!cookies.List(&entries))
    return;
  for (std::size_t i = 0; i + 1 < CookieEntries.size(); ++i) {
    const std::wstring name = CookieFileName(CookieEntries[i].LocalFileName);
    if (name.empty())
      continue;
    for (const deletion::Entry& entry : entries) {
      if (entry.name.size() != name.size() || !platform::SamePathText(entry.name, name))
        continue;
      if (!entry.IsDirectory())
        (void)cookies.DeleteChild(entry, deletion::ReadOnly::kLifted);
      else if (entry.IsReparsePoint())
        platform::tally::NoteLinkLeft();
      break;
    }
  }
}

}  // namespace

bool CleanCookies(FolderCleaning* outcome) {
  const std::wstring folder = GetSpecialFolder(CSIDL_COOKIES);
  // Errors ignored from here on: the enumeration fails only through the cache, and whatever it
  // collected before is cleaned.
  (void)EnumUrlCache(&HistoryEntries, &CookieEntries);

  bool removed = false;
  // Names are joined to the folder only after it proved usable: an unknown folder, a root, a
  // link, or a folder that cannot be entered deletes nothing anywhere.
  const bool cleanable = IsCleanableFolder(folder);
  const bool safe = cleanable && IsSafeToClean(folder, CleanedFolder::kCookies);
  if (cleanable && !safe && outcome)
    outcome->Add(FolderProblem::Kind::kFolderProtected, folder, platform::Status::Ok());
  if (safe && fs::ChangeCurrentFolder(folder).ok()) {
    DeleteCookieFiles(folder);
    // A cookie's cache entry names the site it came from: remove it too.
    for (size_t i = 0; i + 1 < CookieEntries.size(); ++i)
      removed = platform::url_cache::DeleteEntry(CookieEntries[i].SourceUrlName).ok();
  }
  (void)fs::ChangeCurrentFolder(fs::ProgramFolder());
  return removed;
}
