#pragma once

#include "platform/status.h"

// Writes the Explorer setting AlwaysUnloadDll under HKEY_LOCAL_MACHINE. A refused write is
// passed back to the caller.
platform::Status SetAlwaysUnloadDll();
