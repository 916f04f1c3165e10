#include "inventory/purge.h"

// Not wired yet: deletes nothing.
bool PurgeFolder(const std::wstring&) { return false; }
