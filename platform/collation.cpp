#include "platform/collation.h"

#include <windows.h>

namespace platform {

int CompareTextIgnoringCase(std::wstring_view a, std::wstring_view b) {
  int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                              static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
  // A failed comparison (never expected for valid lengths) counts as equal.
  return result == 0 ? 0 : result - CSTR_EQUAL;
}

}  // namespace platform
