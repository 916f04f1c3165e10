#pragma once
// The inventory file "Reper.txt": written by the scan, read back by the folder cleaners.
// Line 1 is the scanned folder's path followed by "\"; every later line is the bare name of
// one sub-folder found below it (its short name when the ANSI code page cannot hold the name
// exactly). ANSI code page, CR LF after every line.

#include <string>

// The file number under which the inventory is always opened.
inline constexpr int kInventoryFileNumber = 3;

// "Reper.txt" in the program's own folder.
std::wstring InventoryFilePath();
