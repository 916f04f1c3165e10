#pragma once

// Empties the temporary folder through the folder inventory. False when the folder could not be
// determined safely (unknown, not the one TMP or TEMP names, or a folder of the user's or of
// the system): nothing was deleted then.
bool CleanTempFiles();
