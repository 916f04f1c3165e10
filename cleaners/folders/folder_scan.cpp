#include "cleaners/folders/folder_scan.h"

#include "inventory/form1.h"
#include "platform/folder_list.h"
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

}  // namespace

bool OpenFolderToClean(const std::wstring& path, deletion::Folder* folder,
                       FolderCleaning* outcome) {
  const platform::Status opened = deletion::Folder::Open(path, folder);
  return opened || Refused(opened, path, outcome);
}

bool OpenFolderToClean(const deletion::Folder& top, const std::wstring& relative,
                       deletion::Folder* folder, FolderCleaning* outcome) {
  const platform::Status opened = top.OpenBelow(relative, folder);
  return opened || Refused(opened, top.path() + relative, outcome);
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
