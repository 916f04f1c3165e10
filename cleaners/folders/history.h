#pragma once

// Deletes the loose files of the browser history folder (plain, read-only and archive ones)
// and leaves its sub-folders, hidden and system files and links where they are.
void CleanHistory();
