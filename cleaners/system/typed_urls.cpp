#include "cleaners/system/typed_urls.h"

#include <string>

#include "platform/events.h"
#include "platform/registry.h"

namespace {
// The counter is a signed 16-bit number: url32767 is the last name it can form.
constexpr int kLastNumber = 32767;
}  // namespace

void ClearTypedUrls() {
  // Errors ignored: a value that cannot be deleted is left and the next number is tried. Only an
  // absent value ends the list.
  platform::RegistryKey typed_urls;
  if (!typed_urls.Open(platform::RegistryRoot::kCurrentUser,
                       L"software\\microsoft\\internet explorer\\typedURLs"))
    return;  // no key (or no right to change it): nothing to delete, and no end to find
  for (int number = 1; number <= kLastNumber; ++number) {
    platform::Status deleted = typed_urls.DeleteValue(L"url" + std::to_wstring(number));
    platform::DoEvents();
    if (deleted.Is(platform::kFileNotFound))
      return;
  }
}
