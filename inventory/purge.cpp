#include "inventory/purge.h"

#include <vector>

#include "platform/events.h"
#include "platform/fs.h"

namespace fs = platform::fs;

namespace {

// Attributes the search must return besides plain files: hidden, system, folders, archive.
constexpr std::uint32_t kPurgeMask = fs::kHidden | fs::kSystem | fs::kDirectory | fs::kArchive;

bool IsDriveRoot(const std::wstring& folder) {
  return folder.size() >= 2 && folder.compare(folder.size() - 2, 2, L":\\") == 0;
}

// A link asked about with a trailing separator reports its target's attributes: ask without
// any, however many there are. A drive root keeps its own.
bool IsLink(const std::wstring& folder) {
  std::wstring named = folder;
  while (!named.empty() && (named.back() == L'\\' || named.back() == L'/') && !IsDriveRoot(named))
    named.pop_back();
  std::uint32_t attributes = 0;
  return fs::GetAttributes(named, &attributes).ok() && (attributes & fs::kReparsePoint);
}

// Error exit: the first failure of the listing, or of the folder's own removal, returns false.
// Deleting a file ignores its errors, and a sub-folder's failure stays inside its own call.
bool PurgeTree(const std::wstring& folder) {
  // The search has one cursor for the whole process: the folder's listing is complete before
  // anything is deleted or any sub-folder is searched. A sub-folder's item ends in "\".
  std::vector<std::wstring> items;
  bool holds_link = false;
  fs::FoundEntry entry;
  if (!fs::FindFirst(folder, kPurgeMask, &entry))
    return false;
  while (!entry.end()) {
    if (entry.IsReparsePoint()) {
      // A junction or symbolic link may lead anywhere: it is left where it is, and so is this
      // folder, which therefore cannot be removed.
      holds_link = true;
    } else if (!entry.IsDotOrDotDot()) {
      items.push_back(entry.IsDirectory() ? folder + entry.name + L'\\' : folder + entry.name);
    }
    platform::KeepPainted();
    if (!fs::FindNext(&entry))
      return false;
  }

  for (const std::wstring& item : items) {
    if (item.back() == L'\\') {
      // Asked again just before entering: a folder swapped for a link since the listing is
      // left alone like any other link.
      if (IsLink(item))
        holds_link = true;
      else
        (void)PurgeTree(item);
    } else {
      // Errors ignored: a file in use or refused stays, and the purge goes on. One that vanished
      // since the listing has nothing left to delete.
      (void)fs::SetAttributes(item, fs::kNormal);
      (void)fs::RemoveFile(item);
    }
    platform::KeepPainted();
  }

  if (holds_link)
    return false;
  if (IsDriveRoot(folder))
    return true;
  if (!fs::SetAttributes(folder, fs::kNormal))
    return false;
  return fs::RemoveFolder(folder).ok();
}

}  // namespace

bool PurgeFolder(const std::wstring& folder) {
  // A name is joined to the folder directly, so the folder must end in "\".
  if (folder.empty() || folder.back() != L'\\')
    return false;
  if (fs::IsRootOfCurrentDrive(folder))
    return false;
  // A folder that is itself a link would have its target emptied (and, on Wine, removed).
  if (IsLink(folder))
    return false;
  return PurgeTree(folder);
}
