#include "cleaners/folders/history.h"

#include <string>

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/special_folder.h"
#include "platform/deletion.h"
#include "platform/events.h"
#include "platform/folder_list.h"
#include "platform/fs.h"

namespace fs = platform::fs;

FolderCleaning CleanHistory(const std::function<void()>& clean_url_history) {
  FolderCleaning outcome;
  const std::wstring folder = GetSpecialFolder(CSIDL_HISTORY);
  // An unknown folder would make the file loop run in "\", the root of the current drive.
  const bool cleanable = IsCleanableFolder(folder);
  if (cleanable && !IsSafeToClean(folder, CleanedFolder::kHistory)) {
    outcome.Add(FolderProblem::Kind::kFolderProtected, folder, platform::Status::Ok());
    return outcome;
  }
  if (clean_url_history)
    clean_url_history();
  if (cleanable) {
    // Errors ignored from here to the end of the file loop. The folder's attributes are set on
    // its own handle, reached without a link on the way.
    platform::deletion::Folder opened;
    const bool open = platform::deletion::Folder::Open(folder, &opened).ok();
    if (open)
      (void)opened.SetAttributes(fs::kArchive);
    // A missing folder leaves Dir1 on its previous folder; the files deleted below still lie in
    // `folder`, which then holds nothing to delete.
    (void)platform::SharedFolderList().SetPath(folder);
    platform::DoEvents();
    if (open)
      (void)opened.SetAttributes(fs::kArchive);  // again: events may have changed it
    // The sub-folders (History.IE5, Low) belong to the URL cache and stay; the files lying
    // directly in the folder go whether there are sub-folders or not.
    DeleteLooseFiles(WithTrailingBackslash(folder));
  }
  // The program's folder exists while the program runs; nothing is left to report a failure to.
  (void)fs::ChangeCurrentFolder(fs::ProgramFolder());
  return outcome;
}
