#pragma once
// What kept a folder cleaner from doing all its work, for the run to tell the user.

#include <string>
#include <vector>

#include "platform/status.h"

struct FolderProblem {
  enum class Kind {
    kFolderUnsafe,      // the folder could not be determined safely: nothing was deleted
    kFolderProtected,   // the folder is, holds or lies in a protected tree and is not the
                        // system's own place for it: nothing was deleted
    kFolderUnreadable,  // the folder could not be opened or listed: nothing was deleted there
    kInventoryFailed,   // its sub-folders could not be inventoried: they were not cleaned
    kFolderNotEmptied   // something stayed in it (a file in use, a link)
  };
  Kind kind;
  std::wstring folder;
  platform::Status cause;
};

// The outcome of one cleaner: true when it did all its work.
struct FolderCleaning {
  std::vector<FolderProblem> problems;
  explicit operator bool() const { return problems.empty(); }
  void Add(FolderProblem::Kind kind, const std::wstring& folder, platform::Status cause) {
    problems.push_back({kind, folder, std::move(cause)});
  }
};
