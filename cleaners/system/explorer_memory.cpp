#include "cleaners/system/explorer_memory.h"

// Not wired yet: writes nothing.
platform::Status SetAlwaysUnloadDll() {
  return platform::Status::Ok();
}
