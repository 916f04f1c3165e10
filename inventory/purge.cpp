#include "inventory/purge.h"

#include <vector>

#include "platform/deletion.h"
#include "platform/events.h"
#include "platform/fs.h"
#include "platform/tally.h"

namespace fs = platform::fs;
using platform::deletion::Entry;
using platform::deletion::Folder;
using platform::deletion::ReadOnly;

namespace {

bool IsDriveRoot(const std::wstring& folder) {
  return folder.size() >= 2 && folder.compare(folder.size() - 2, 2, L":\\") == 0;
}

// A folder the purge could not open, list, reset or remove stays, and counts as left for the
// reason the system gave (one that went meanwhile does not count).
bool LeftBecause(const platform::Status& why) {
  platform::tally::NoteDeletion(why);
  return false;
}

// Resets and removes a folder emptied already.
bool ResetAndRemove(Folder& folder) {
  if (platform::Status reset = folder.ResetAttributes(); !reset)
    return LeftBecause(reset);
  return folder.Remove().ok();  // the removal notes its own outcome
}

// Empties `folder` through its handle, each sub-folder through its own. Error exit: the first
// failure of the listing returns false; deleting a file ignores its errors, and a sub-folder's
// failure stays inside its own call. True when nothing was left inside.
bool PurgeContents(const Folder& folder) {
  // The whole listing is read before anything is deleted or any sub-folder is entered.
  std::vector<Entry> entries;
  if (platform::Status listed = folder.List(&entries); !listed)
    return LeftBecause(listed);
  bool emptied = true;
  for (const Entry& entry : entries) {
    if (entry.IsReparsePoint()) {
      // A junction or symbolic link may lead anywhere: it is left where it is, and so is this
      // folder, which therefore cannot be removed.
      platform::tally::NoteLinkLeft();
      emptied = false;
    } else if (entry.IsDirectory()) {
      Folder child;
      if (platform::Status opened = folder.OpenChild(entry, &child); !opened) {
        // Swapped for a link since the listing: left like any link. Gone: nothing to purge.
        if (platform::deletion::IsLinkRefused(opened)) {
          platform::tally::NoteLinkLeft();
          emptied = false;
        } else if (!platform::deletion::IsGone(opened)) {
          emptied = LeftBecause(opened);
        }
      } else if (!PurgeContents(child) || !ResetAndRemove(child)) {
        emptied = false;
      }
    } else if (!folder.DeleteChild(entry, ReadOnly::kLifted)) {
      // Errors ignored: a file in use or refused stays, and the purge goes on. One that went
      // since the listing counts as deleted.
      emptied = false;
    }
    platform::KeepPainted();
  }
  return emptied;
}

// The checks both purges make before they touch anything, and the folder opened for them.
bool OpenForPurge(const std::wstring& folder, Folder* opened) {
  // A name is joined to the folder directly, so the folder must end in "\".
  if (folder.empty() || folder.back() != L'\\')
    return false;
  if (fs::IsRootOfCurrentDrive(folder))
    return false;
  // A folder that is itself a link would have its target emptied (and, on Wine, removed).
  if (platform::Status status = Folder::Open(folder, opened); !status) {
    if (platform::deletion::IsLinkRefused(status))
      platform::tally::NoteLinkLeft();
    else
      LeftBecause(status);
    return false;
  }
  return true;
}

}  // namespace

bool PurgeFolder(const std::wstring& folder) {
  Folder opened;
  if (!OpenForPurge(folder, &opened))
    return false;
  if (!PurgeContents(opened))
    return false;
  if (IsDriveRoot(folder))
    return true;
  return ResetAndRemove(opened);
}

bool PurgeOpenedFolder(Folder folder) {
  return PurgeContents(folder) && ResetAndRemove(folder);
}

bool PurgeFolderContents(const std::wstring& folder) {
  Folder opened;
  return OpenForPurge(folder, &opened) && PurgeContents(opened);
}

bool PurgeOpenedFolderContents(const Folder& folder) {
  return PurgeContents(folder);
}
