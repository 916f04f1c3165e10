#pragma once
// The folder list: holds one current folder and the list of its sub-folders, as a folder list
// control does. The main window carries the process's shared instance, and the scan and the
// folder cleaners reach it directly through SharedFolderList() to hand a folder over.

#include <string>
#include <vector>

#include "platform/status.h"

namespace platform {

class FolderList {
 public:
  // Makes `path` the current folder and lists its sub-folders. A path that is not an existing
  // folder fails, and the list keeps the folder it showed before.
  Status SetPath(const std::wstring& path);
  // The current folder's full path, without trailing backslash except at a drive root; empty
  // before the first successful SetPath.
  const std::wstring& Path() const { return path_; }
  // Number of sub-folders listed. Every sub-folder counts, hidden and system ones included, as
  // Explorer shows them with hidden items visible: a cleaner that deletes loose files only when
  // a folder has no sub-folder must not be fooled by one it cannot see.
  int ListCount() const { return static_cast<int>(subfolders_.size()); }
  // The list index of the current folder itself (-1), as the control reports it.
  int ListIndex() const { return -1; }
  // Full path of sub-folder `index` (0 to ListCount() - 1), or of the current folder for -1;
  // empty out of range.
  std::wstring List(int index) const;

 private:
  std::wstring path_;
  std::vector<std::wstring> subfolders_;
};

// The folder list the main window carries; one per process.
FolderList& SharedFolderList();

}  // namespace platform
