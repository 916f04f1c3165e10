#include "cleaners/system/explorer_memory.h"

#include "platform/registry.h"

// No handler: a key that cannot be opened or a refused write goes back to the caller.
platform::Status SetAlwaysUnloadDll() {
  platform::RegistryKey explorer;
  NIMBREL_TRY(explorer.Create(platform::RegistryRoot::kLocalMachine,
                              L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer"));
  // The data are this text, stored as a string, not the number 1.
  return explorer.WriteText(L"AlwaysUnloadDll", L"dword:00000001");
}
