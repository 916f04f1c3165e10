#include "cleaners/folders/internet_files.h"

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/inventory_cleanup.h"
#include "cleaners/folders/special_folder.h"
#include "inventory/form1.h"
#include "platform/collation.h"
#include "platform/folder_list.h"
#include "platform/fs.h"
#include "platform/text_files.h"

namespace fs = platform::fs;

namespace {

constexpr wchar_t kCacheIndexFolder[] = L"Content.IE5";

bool SameName(const std::wstring& a, const std::wstring& b) {
  return platform::CompareTextIgnoringCase(a, b) == 0;
}

// Scans the folder the shared folder list shows and, for each sub-folder named in the
// inventory, enters it, resets it, deletes its files and tries to remove it (the host may
// refuse while it is the current folder). The names are joined below `parent` (ending in "\").
void CleanListedFolders(const std::wstring& parent, bool skip_cache_index) {
  if (!SharedForm1().CmdScan()) {
    platform::files::CloseAll();
    return;
  }
  ForEachInventoryName([&](const std::wstring& name) {
    // The cache index lives directly in "Content.IE5": that folder is only ever cleaned of
    // its sub-folders, by the pass that scans it.
    if (skip_cache_index && SameName(name, kCacheIndexFolder))
      return;
    const std::wstring folder = parent + name;
    if (LeftAsLink(folder))
      return;
    (void)fs::ChangeCurrentFolder(folder);
    (void)fs::SetAttributes(folder, fs::kNormal);
    (void)fs::RemoveMatchingFiles(folder + L"\\*.*");
    (void)fs::RemoveFolder(folder);
  });
}

// Errors ignored throughout: a step that fails is skipped and the next one runs.
void CleanCacheFolder(const std::wstring& cache_folder) {
  (void)fs::SetAttributes(cache_folder, fs::kNormal);
  platform::FolderList& folder_list = platform::SharedFolderList();
  // The list would keep its previous folder, whose inventory means nothing below the cache.
  if (!folder_list.SetPath(cache_folder))
    return;

  // Pass 1: the loose files, only when the folder has no sub-folder at all.
  if (folder_list.ListCount() == 0) {
    (void)fs::SetAttributes(folder_list.Path(), fs::kNormal);
    (void)fs::ChangeCurrentFolder(cache_folder);
    DeleteLooseFiles(cache_folder);
  }

  // Pass 2: the cache folder's sub-folders.
  CleanListedFolders(cache_folder, /*skip_cache_index=*/true);

  // Pass 3: the sub-folders of "Content.IE5", reached by its name even when it is hidden.
  const std::wstring index_folder = cache_folder + kCacheIndexFolder;
  if (LeftAsLink(index_folder) || !folder_list.SetPath(index_folder))
    return;
  CleanListedFolders(index_folder + L"\\", /*skip_cache_index=*/false);
}

}  // namespace

void CleanInternetFiles() {
  std::wstring cache_folder = GetSpecialFolder(CSIDL_INTERNET_CACHE);
  if (cache_folder.empty() || cache_folder.back() != L'\\')
    cache_folder += L'\\';
  // An unknown cache folder would be "\", the root of the current drive: delete nothing.
  if (IsCleanableFolder(cache_folder))
    CleanCacheFolder(cache_folder);
  // The current folder is the program's own again, whatever happened above.
  (void)fs::ChangeCurrentFolder(fs::ProgramFolder());
}
