#pragma once
// Matching the names the browsers give their folders.

#include <string>

namespace browsers {

// True when `name` begins with `prefix`, letter case aside (ASCII prefixes only).
bool StartsWithIgnoringCase(const std::wstring& name, const std::wstring& prefix);

}  // namespace browsers
