#include "cleaners/folders/temp_files.h"

// Not wired yet: deletes nothing.
void CleanTempFiles() {}
