#include "cleaners/folders/temp_files.h"

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/inventory_cleanup.h"
#include "cleaners/folders/safe_temp_folder.h"
#include "inventory/form1.h"
#include "platform/folder_list.h"
#include "platform/fs.h"
#include "platform/text_files.h"

namespace fs = platform::fs;

// Errors ignored throughout: a step that fails is skipped and the next one runs.
bool CleanTempFiles() {
  // An unknown temporary folder would turn every path below into one relative to the current
  // folder or the drive root, and the kernel's fallback is the user's own profile: delete
  // nothing unless the folder is really the temporary one.
  const std::wstring temp = SafeTemporaryFolder();  // ends in "\"
  if (temp.empty())
    return false;

  (void)fs::SetAttributes(temp, fs::kNormal);
  platform::FolderList& folder_list = platform::SharedFolderList();
  // The list would keep its previous folder, whose inventory means nothing below `temp`.
  if (!folder_list.SetPath(temp))
    return true;

  // Loose files go only when the folder has no sub-folder at all.
  if (folder_list.ListCount() == 0) {
    (void)fs::SetAttributes(folder_list.Path(), fs::kNormal);
    DeleteLooseFiles(temp);
  }

  // Only the inventory this scan has just written is read, never one an earlier scan left.
  if (!SharedForm1().CmdScan()) {
    platform::files::CloseAll();
    return true;
  }
  ForEachInventoryName([&](const std::wstring& name) {
    const std::wstring folder = temp + name;
    if (LeftAsLink(folder))
      return;
    (void)fs::SetAttributes(folder, fs::kNormal);
    (void)fs::RemoveMatchingFiles(folder + L"\\*.*");
    (void)fs::RemoveFolder(folder);
  });
  return true;
}
