#include "cleaners/folders/history.h"

// Not wired yet: deletes nothing.
void CleanHistory() {}
