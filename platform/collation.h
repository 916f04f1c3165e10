#pragma once
// Text comparison in the user's locale, ignoring letter case, as the inventory orders paths.

#include <string>
#include <string_view>

#include "platform/status.h"

namespace platform {

// Negative when `a` orders before `b`, zero when they compare equal, positive otherwise.
// Punctuation, "\" included, orders before digits and letters.
int CompareTextIgnoringCase(std::wstring_view a, std::wstring_view b);

// The system's sort key of `text` under the same comparison: comparing two keys byte by byte
// gives the order of CompareTextIgnoringCase, far faster when one text meets many others.
Result<std::string> SortKeyIgnoringCase(std::wstring_view text);

}  // namespace platform
