#include "cleaners/folders/recent.h"

// Not wired yet: deletes nothing.
void CleanRecent() {}
