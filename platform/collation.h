#pragma once
// Text comparison in the user's locale, ignoring letter case, as the inventory orders paths.

#include <string_view>

namespace platform {

// Negative when `a` orders before `b`, zero when they compare equal, positive otherwise.
// Punctuation, "\" included, orders before digits and letters.
int CompareTextIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace platform
