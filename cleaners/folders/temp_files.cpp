#include "cleaners/folders/temp_files.h"

#include "cleaners/folders/folder_scan.h"
#include "cleaners/folders/safe_temp_folder.h"
#include "platform/deletion.h"
#include "platform/fs.h"

namespace fs = platform::fs;
namespace deletion = platform::deletion;

// Errors ignored throughout, but for the ones that leave work undone, which are returned: a
// step that fails is skipped and the next one runs.
FolderCleaning CleanTempFiles() {
  FolderCleaning outcome;
  // An unknown temporary folder would turn every path below into one relative to the current
  // folder or the drive root, and the kernel's fallback is the user's own profile: delete
  // nothing unless the folder is really the temporary one.
  const std::wstring temp = SafeTemporaryFolder();  // ends in "\"
  if (temp.empty()) {
    outcome.Add(FolderProblem::Kind::kFolderUnsafe, temp, platform::Status::Ok());
    return outcome;
  }
  auto open = [&](deletion::Folder* folder, FolderCleaning* problems) {
    return OpenFolderToClean(temp, folder, problems);
  };
  {
    // The loose files go whether or not the folder has sub-folders.
    deletion::Folder folder;
    if (!open(&folder, &outcome))
      return outcome;
    (void)folder.ResetAttributes();
    (void)deletion::DeletePlainFiles(folder, deletion::ReadOnly::kLifted);
  }
  ScanAndCleanListedFolders(
      temp, open, [](const std::wstring&) { return false; }, &outcome);
  return outcome;
}
