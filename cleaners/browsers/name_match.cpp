#include "cleaners/browsers/name_match.h"

namespace browsers {

bool StartsWithIgnoringCase(const std::wstring& name, const std::wstring& prefix) {
  if (name.size() < prefix.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    wchar_t a = name[i], b = prefix[i];
    if (a >= L'A' && a <= L'Z')
      a = a - L'A' + L'a';
    if (b >= L'A' && b <= L'Z')
      b = b - L'A' + L'a';
    if (a != b)
      return false;
  }
  return true;
}

}  // namespace browsers
