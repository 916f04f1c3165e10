#pragma once

// Empties the recent documents folder.
void CleanRecent();
