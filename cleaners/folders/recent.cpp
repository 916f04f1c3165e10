#include "cleaners/folders/recent.h"

#include <string>

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/special_folder.h"
#include "platform/fs.h"

// Errors ignored: whatever fails, the run goes on with its next option.
FolderCleaning CleanRecent() {
  FolderCleaning outcome;
  const std::wstring folder = GetSpecialFolder(CSIDL_RECENT);
  // An unknown folder would make the pattern "\*.*", the root of the current drive.
  if (!IsCleanableFolder(folder))
    return outcome;
  if (!IsSafeToClean(folder, CleanedFolder::kRecent)) {
    outcome.Add(FolderProblem::Kind::kFolderProtected, folder, platform::Status::Ok());
    return outcome;
  }
  // One deletion by pattern: files directly in the folder only, sub-folders and what they hold
  // stay, and no attribute is reset first. An empty folder ("nothing matched") is no error.
  (void)platform::fs::RemoveMatchingFiles(WithTrailingBackslash(folder) + L"*.*");
  return outcome;
}
