#include "cleaners/browsers/listed_open.h"

#include "platform/paths.h"

namespace browsers {

using platform::deletion::Entry;
using platform::deletion::Folder;

const Entry* FindEntry(const std::vector<Entry>& entries, const std::wstring& name) {
  for (const Entry& entry : entries) {
    if (platform::SamePathText(entry.name, name))
      return &entry;
  }
  return nullptr;
}

platform::Status OpenListedBelow(const Folder& top, const std::wstring& relative, Folder* folder) {
  constexpr std::uint32_t kPathNotFound = 3;
  Folder parent;
  const Folder* current = &top;
  for (std::size_t start = 0;;) {
    const std::size_t slash = relative.find(L'\\', start);
    std::vector<Entry> entries;
    NIMBREL_TRY(current->List(&entries));
    const Entry* entry = FindEntry(entries, relative.substr(start, slash - start));
    if (!entry || !(entry->IsDirectory() || entry->IsReparsePoint()))
      return platform::Status::FromWin32(kPathNotFound);
    Folder child;
    NIMBREL_TRY(current->OpenChild(*entry, &child));
    if (slash == std::wstring::npos) {
      *folder = std::move(child);
      return platform::Status::Ok();
    }
    parent = std::move(child);
    current = &parent;
    start = slash + 1;
  }
}

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
