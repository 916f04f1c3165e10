#pragma once
// Text files addressed by small fixed numbers, as the inventory file is (always number 3).
// Lines are stored in the system's ANSI code page (never by best fit: a character the code page
// lacks is written as "?") and each written line ends with CR LF.
// A number opened again is closed first; reading a number that is not open fails instead of
// looping, and AtEnd is true for it.

#include <string>
#include <string_view>

#include "platform/handles.h"
#include "platform/status.h"

namespace platform::files {

inline constexpr int kMaxFileNumber = 511;

// Takes over a file made new and open for writing (see deletion::Folder::MakeFile): no file is
// ever opened for output by a path, which could lead through a link.
Status OpenForOutput(int number, UniqueHandle file);
// While the erasing calls only count (platform/erasure.h), a file "written" at `path` stays in
// memory, and OpenForInput of the same path reads it from there until the count ends.
Status OpenInMemoryForOutput(int number, const std::wstring& path);
Status OpenForInput(int number, const std::wstring& path);
// Writes the text followed by CR LF.
Status PrintLine(int number, std::wstring_view text);
// Reads up to the next CR LF, CR or LF; fails at the end of the file or when not open.
Status LineInput(int number, std::wstring* line);
bool AtEnd(int number);
bool IsOpen(int number);
// Flushes and closes; closing a number that is not open does nothing.
Status Close(int number);
void CloseAll();

}  // namespace platform::files
