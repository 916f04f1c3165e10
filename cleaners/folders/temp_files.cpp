#include "cleaners/folders/temp_files.h"

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/inventory_cleanup.h"
#include "inventory/form1.h"
#include "platform/folder_list.h"
#include "platform/fs.h"
#include "platform/tally.h"
#include "platform/temp_folder.h"
#include "platform/text_files.h"

namespace fs = platform::fs;

namespace {

std::wstring TrimSpaces(const std::wstring& text) {
  const std::size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos)
    return {};
  return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

}  // namespace

// Errors ignored throughout: a step that fails is skipped and the next one runs.
void CleanTempFiles() {
  platform::Result<std::wstring> reported = platform::TemporaryFolderPath();
  const std::wstring temp = TrimSpaces(reported.value);  // ends in "\"
  // An unknown temporary folder would turn every path below into one relative to the current
  // folder or the drive root: delete nothing.
  if (!reported.ok() || !IsCleanableFolder(temp))
    return;

  (void)fs::SetAttributes(temp, fs::kNormal);
  platform::FolderList& folder_list = platform::SharedFolderList();
  // The list would keep its previous folder, whose inventory means nothing below `temp`.
  if (!folder_list.SetPath(temp))
    return;

  // Loose files go only when the folder has no sub-folder at all.
  if (folder_list.ListCount() == 0) {
    (void)fs::SetAttributes(folder_list.Path(), fs::kNormal);
    DeleteLooseFiles(temp);
  }

  // Only the inventory this scan has just written is read, never one an earlier scan left.
  if (!SharedForm1().CmdScan()) {
    platform::files::CloseAll();
    return;
  }
  ForEachInventoryName([&](const std::wstring& name) {
    const std::wstring folder = temp + name;
    if (IsLink(folder)) {
      platform::tally::NoteLinkLeft();
      return;
    }
    (void)fs::SetAttributes(folder, fs::kNormal);
    (void)fs::RemoveMatchingFiles(folder + L"\\*.*");
    (void)fs::RemoveFolder(folder);
  });
}
