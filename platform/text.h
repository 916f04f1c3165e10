#pragma once
// Conversions between the program's UTF-16 text and the byte encodings of the outside world.

#include <string>
#include <string_view>

namespace platform {

// The system's ANSI code page (CP_ACP), used only where a stored format is defined in it.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);

}  // namespace platform
