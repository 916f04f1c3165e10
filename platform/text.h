#pragma once
// Conversions between the program's UTF-16 text and the byte encodings of the outside world.

#include <string>
#include <string_view>

namespace platform {

// The system's ANSI code page (CP_ACP), used only where a stored format is defined in it.
// Never a best fit: a character the code page lacks becomes its default character ("?"), not
// a look-alike ("L" for "\u0141", "a" for a full-width "\uff41") that could name something else.
std::string ToAnsi(std::wstring_view text);
// True when the ANSI code page holds every character of the text exactly, so that it reads
// back as the same text.
bool IsExactInAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);

}  // namespace platform
