#include "cleaners/system/recycle_bin.h"

// Not wired yet: deletes nothing.
void EmptyRecycleBin() {}
