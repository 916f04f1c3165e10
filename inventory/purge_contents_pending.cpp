#include "inventory/purge.h"

// Placeholder until the deletion core lands: refuses, so nothing is deleted.
bool PurgeFolderContents(const std::wstring&) {
  return false;
}
