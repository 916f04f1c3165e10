#include "cleaners/system/typed_urls.h"

#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/registry.h"

namespace {

const wchar_t kTypedUrls[] = L"software\\microsoft\\internet explorer\\typedURLs";
const wchar_t kTypedUrlTimes[] = L"software\\microsoft\\internet explorer\\TypedURLsTime";

bool IsLetter(wchar_t c, wchar_t lower) {
  return c == lower || c == lower - (L'a' - L'A');
}

// "url" in any case followed by one or more of the digits 0 to 9, and nothing else.
bool IsTypedUrlName(const std::wstring& name) {
  if (name.size() < 4 || !IsLetter(name[0], L'u') || !IsLetter(name[1], L'r') ||
      !IsLetter(name[2], L'l'))
    return false;
  for (size_t i = 3; i < name.size(); ++i)
    if (name[i] < L'0' || name[i] > L'9')
      return false;
  return true;
}

// Errors ignored: a key that cannot be opened (absent, or no right to change it) holds nothing
// to delete; a value that cannot be deleted stays and the next one is tried.
void DeleteTypedUrlValues(const wchar_t* path) {
  platform::RegistryKey key;
  if (!key.Open(platform::RegistryRoot::kCurrentUser, path))
    return;
  // Listed first, deleted after: deleting while listing would shift the values still to come.
  // A listing that fails half-way hands over what it read.
  std::vector<std::wstring> names;
  (void)key.ValueNames(&names);
  for (const std::wstring& name : names) {
    if (!IsTypedUrlName(name))
      continue;
    (void)key.DeleteValue(name);
    platform::DoEvents();
  }
}

}  // namespace

void ClearTypedUrls() {
  DeleteTypedUrlValues(kTypedUrls);
  DeleteTypedUrlValues(kTypedUrlTimes);
}
