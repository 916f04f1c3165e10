#include "cleaners/folders/internet_files.h"

#include <algorithm>
#include <vector>

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/folder_scan.h"
#include "cleaners/folders/special_folder.h"
#include "platform/deletion.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace fs = platform::fs;
namespace deletion = platform::deletion;

namespace {

// The browser's cache containers below the cache folder, each reached by its name (they are
// hidden, so the inventory leaves them out): Windows 7 keeps "Content.IE5" and, for protected
// mode, "Low\Content.IE5"; Windows 8.1 to 11 keep "IE" and "Low\IE". The files lying directly
// in a container (its index) belong to the cache itself and stay.
const wchar_t* const kContainers[] = {L"Content.IE5", L"Low\\Content.IE5", L"IE", L"Low\\IE"};

// True when `a` is `b` or lies below it, names compared as the file system does.
bool IsOrIsBelow(const std::wstring& a, const std::wstring& b) {
  return a.size() >= b.size() && platform::SamePathText(a.substr(0, b.size()), b) &&
         (a.size() == b.size() || a[b.size()] == L'\\');
}

// Other programs' folders that lie in the cache folder but are no cache: Word's unsaved work
// ("Content.Word"), and the attachments the mail program opened, which the user may have edited
// ("Content.Outlook", "OLK" and some letters in older versions). Wherever they lie, hidden or
// not, they stay with all they hold.
bool IsOtherProgramsFolder(const std::wstring& relative) {
  for (std::size_t start = 0; start <= relative.size();) {
    const std::size_t slash = std::min(relative.find(L'\\', start), relative.size());
    const std::wstring name = relative.substr(start, slash - start);
    if (platform::SamePathText(name, L"Content.Word") ||
        platform::SamePathText(name, L"Content.Outlook") ||
        (name.size() > 3 && platform::SamePathText(name.substr(0, 3), L"OLK")))
      return true;
    start = slash + 1;
  }
  return false;
}

// The containers there are, a folder on the way to one ("Low" where it holds one) or a folder
// inside one: its own pass cleans it, or it must stay.
bool ReachedByContainerPass(const std::vector<std::wstring>& containers,
                            const std::wstring& relative) {
  for (const std::wstring& container : containers) {
    if (IsOrIsBelow(relative, container) || IsOrIsBelow(container, relative))
      return true;
  }
  return false;
}

// Errors ignored throughout, but for the ones that leave work undone, which are returned: a
// step that fails is skipped and the next one runs.
void CleanCacheFolder(const std::wstring& cache_folder, FolderCleaning* outcome) {
  auto open_cache = [&](deletion::Folder* folder, FolderCleaning* problems) {
    return OpenFolderToClean(cache_folder, folder, problems);
  };
  auto open_container = [&](const wchar_t* name, deletion::Folder* container,
                            FolderCleaning* problems) {
    deletion::Folder cache;
    return open_cache(&cache, problems) && OpenFolderToClean(cache, name, container, problems);
  };
  std::vector<std::wstring> containers;
  {
    // The loose files go whether or not the folder has sub-folders.
    deletion::Folder cache;
    if (!open_cache(&cache, outcome))
      return;
    (void)cache.ResetAttributes();
    (void)deletion::DeletePlainFiles(cache, deletion::ReadOnly::kLifted);
    // A container that is not there has nothing to clean: the scan is not even asked, and
    // "Low" without one is a folder like any other.
    for (const wchar_t* name : kContainers) {
      deletion::Folder probe;
      FolderCleaning ignored;
      if (OpenFolderToClean(cache, name, &probe, &ignored))
        containers.push_back(name);
    }
  }
  ScanAndCleanListedFolders(
      cache_folder, open_cache,
      [&](const std::wstring& relative) { return ReachedByContainerPass(containers, relative); },
      outcome, IsOtherProgramsFolder);
  for (const std::wstring& name : containers) {
    ScanAndCleanListedFolders(
        cache_folder + name,
        [&](deletion::Folder* container, FolderCleaning* problems) {
          return open_container(name.c_str(), container, problems);
        },
        [](const std::wstring&) { return false; }, outcome, IsOtherProgramsFolder);
  }
}

}  // namespace

FolderCleaning CleanInternetFiles() {
  FolderCleaning outcome;
  std::wstring cache_folder = GetSpecialFolder(CSIDL_INTERNET_CACHE);
  if (cache_folder.empty() || cache_folder.back() != L'\\')
    cache_folder += L'\\';
  // An unknown cache folder would be "\", the root of the current drive: delete nothing. A
  // machine without the browser's cache has nothing to clean, and nothing to say.
  if (IsCleanableFolder(cache_folder)) {
    if (IsSafeToClean(cache_folder, CleanedFolder::kInternetCache))
      CleanCacheFolder(cache_folder, &outcome);
    else
      outcome.Add(FolderProblem::Kind::kFolderProtected, cache_folder, platform::Status::Ok());
  }
  // The current folder is the program's own again, whatever happened before the run.
  (void)fs::ChangeCurrentFolder(fs::ProgramFolder());
  return outcome;
}
