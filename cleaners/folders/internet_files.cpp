#include "cleaners/folders/internet_files.h"

// Not wired yet: deletes nothing.
void CleanInternetFiles() {}
