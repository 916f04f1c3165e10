#pragma once
// The user's own rights for the steps that clean the user's own folders. A program that runs
// elevated (started "as administrator" under UAC) holds a linked token: the limited one the same
// user's programs run with. While a scope of this kind lives, the calling thread runs with those
// limited rights, so that a folder of the user's that another program redirected can lead the
// run only where the user could delete anyway.

#include "platform/status.h"

namespace platform {

class UserRightsScope {
 public:
  // Impersonates the user's limited rights where the process is elevated with a linked token;
  // does nothing where there is none (UAC off, the built-in Administrator, a limited program).
  UserRightsScope();
  UserRightsScope(const UserRightsScope&) = delete;
  UserRightsScope& operator=(const UserRightsScope&) = delete;
  // Back to the process's own rights.
  ~UserRightsScope();

  // Ok when the thread runs with the user's limited rights or has none to drop; the failure
  // otherwise, and then the thread keeps the process's rights: the caller must not go on.
  const Status& status() const { return status_; }
  bool impersonating() const { return impersonating_; }

 private:
  Status status_;
  bool impersonating_ = false;
};

}  // namespace platform
