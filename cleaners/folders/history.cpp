#include "cleaners/folders/history.h"

#include <string>

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/special_folder.h"
#include "platform/events.h"
#include "platform/folder_list.h"
#include "platform/fs.h"

namespace fs = platform::fs;

namespace {

// Errors ignored: a step that fails is skipped, a file that cannot be deleted stays and the loop
// goes on with the next name.
void DeleteLooseFiles(const std::wstring& folder) {
  const std::wstring prefix = WithTrailingBackslash(folder);
  (void)fs::SetAttributes(folder, fs::kArchive);
  (void)fs::ChangeCurrentFolder(folder);
  // Mask 0: plain files only (read-only and archive ones included); hidden and system files and
  // folders are not returned.
  fs::FoundEntry entry;
  (void)fs::FindFirst(prefix + L"*.*", fs::kNormal, &entry);
  while (!entry.end()) {
    // A file link is neither reset nor removed: its attributes are the target's.
    if (!entry.IsReparsePoint()) {
      (void)fs::SetAttributes(prefix + entry.name, fs::kNormal);
      (void)fs::RemoveFile(prefix + entry.name);
    }
    (void)fs::FindNext(&entry);
  }
}

}  // namespace

void CleanHistory() {
  const std::wstring folder = GetSpecialFolder(CSIDL_HISTORY);
  // An unknown folder would make the file loop run in "\", the root of the current drive.
  if (IsCleanableFolder(folder)) {
    // Errors ignored from here to the end of the file loop.
    (void)fs::SetAttributes(folder, fs::kArchive);
    platform::FolderList& dir1 = platform::SharedFolderList();
    // A missing folder leaves Dir1 on its previous folder; every path below still lies in
    // `folder`, which then holds nothing to delete.
    (void)dir1.SetPath(folder);
    platform::DoEvents();
    // History kept in sub-folders (hidden ones included) is left whole: only loose files go.
    if (dir1.ListCount() - 1 == -1)
      DeleteLooseFiles(folder);
  }
  // The program's folder exists while the program runs; nothing is left to report a failure to.
  (void)fs::ChangeCurrentFolder(fs::ProgramFolder());
}
