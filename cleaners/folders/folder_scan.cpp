#include "cleaners/folders/folder_scan.h"

#include <vector>

#include "inventory/form1.h"
#include "platform/folder_list.h"
#include "platform/paths.h"
#include "platform/tally.h"
#include "platform/text_files.h"

namespace deletion = platform::deletion;
using Kind = FolderProblem::Kind;

namespace {

bool Refused(const platform::Status& opened, const std::wstring& path, FolderCleaning* outcome) {
  if (deletion::IsLinkRefused(opened))
    platform::tally::NoteLinkLeft();
  else if (!deletion::IsGone(opened))
    outcome->Add(Kind::kFolderUnreadable, path, opened);
  return false;
}

// Opens the sub-folder of `parent` whose name is `name` as the file system compares names.
platform::Status OpenNamedChild(const deletion::Folder& parent, const std::wstring& name,
                                deletion::Folder* child) {
  std::vector<deletion::Entry> entries;
  NIMBREL_TRY(parent.List(&entries));
  for (const deletion::Entry& entry : entries) {
    if (entry.IsDirectory() && platform::SamePathText(entry.name, name))
      return parent.OpenChild(entry, child);
  }
  return platform::Status::FromWin32(3);  // ERROR_PATH_NOT_FOUND
}

}  // namespace

bool OpenFolderToClean(const std::wstring& path, deletion::Folder* folder,
                       FolderCleaning* outcome) {
  const platform::Status opened = deletion::Folder::Open(path, folder);
  return opened || Refused(opened, path, outcome);
}

bool OpenFolderToClean(const deletion::Folder& top, const std::wstring& relative,
                       deletion::Folder* folder, FolderCleaning* outcome) {
  deletion::Folder parent;
  const deletion::Folder* current = &top;
  for (std::size_t start = 0;;) {
    const std::size_t slash = relative.find(L'\\', start);
    deletion::Folder child;
    if (platform::Status opened =
            OpenNamedChild(*current, relative.substr(start, slash - start), &child);
        !opened)
      return Refused(opened, top.path() + relative, outcome);
    if (slash == std::wstring::npos) {
      *folder = std::move(child);
      return true;
    }
    parent = std::move(child);
    current = &parent;
    start = slash + 1;
  }
}

void ScanAndCleanListedFolders(const std::wstring& path, const FolderOpener& open,
                               const ReachedElsewhere& reached_elsewhere, FolderCleaning* outcome,
                               const StaysOnPurpose& stays) {
  if (platform::Status shown = platform::SharedFolderList().SetPath(path); !shown) {
    // The list would keep its previous folder, whose inventory means nothing here.
    if (!deletion::IsGone(shown))
      outcome->Add(Kind::kFolderUnreadable, path, shown);
    return;
  }
  // Only the inventory this scan has just written is read, never one an earlier scan left.
  if (platform::Status scanned = SharedForm1().CmdScan(); !scanned) {
    platform::files::CloseAll();
    outcome->Add(Kind::kInventoryFailed, path, scanned);
    return;
  }
  deletion::Folder folder;
  if (!open(&folder, outcome))
    return;
  if (platform::Status cleaned = CleanListedFolders(folder, reached_elsewhere, stays); !cleaned)
    outcome->Add(Kind::kInventoryFailed, path, cleaned);
}
