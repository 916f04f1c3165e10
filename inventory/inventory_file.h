#pragma once
// The inventory file "Reper.txt": written by the scan, read back by the folder cleaners.
// Line 1 is the scanned folder's path followed by "\"; every later line is the bare name of
// one sub-folder found below it (its short name when the ANSI code page cannot hold the name
// exactly). ANSI code page, CR LF after every line.

#include <string>

#include "platform/status.h"

// The file number under which the inventory is always opened.
inline constexpr int kInventoryFileNumber = 3;

// "Reper.txt" in the program's own folder, where the scan writes it when it may.
std::wstring InventoryFilePath();

// "Reper.txt" in the "Nimbrel" folder of the user's local application data, where the scan
// writes it when the program's folder refuses it (Program Files without administrator rights, a
// read-only stick or share); empty when the system names no such folder.
std::wstring FallbackInventoryFilePath();

// Opens the inventory file for output under its number: in the program's folder, else in the
// fallback folder, made when missing. Each folder is opened as a cleaned folder is (a link is
// refused), and the file is made new below its handle, in place of whatever bore its name
// (deletion::Folder::MakeFile): nothing is ever written through a link or a second name. The
// failure returned is the last one met. On success the
// file opened becomes WrittenInventoryFilePath(); on failure that is empty, so that no reader
// takes a file an earlier scan left for the one that just failed.
platform::Status OpenInventoryFileForOutput();

// The file the last scan of this process opened for output (empty when its opening failed);
// InventoryFilePath() before any scan.
std::wstring WrittenInventoryFilePath();
