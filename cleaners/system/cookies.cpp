#include "cleaners/system/cookies.h"

// Not wired yet: deletes nothing.
bool CleanCookies() {
  return false;
}
