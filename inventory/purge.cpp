#include "inventory/purge.h"

#include <vector>

#include "platform/events.h"
#include "platform/fs.h"
#include "platform/tally.h"

namespace fs = platform::fs;

namespace {

// Attributes the search must return besides plain files: hidden, system, folders, archive.
constexpr std::uint32_t kPurgeMask = fs::kHidden | fs::kSystem | fs::kDirectory | fs::kArchive;

bool IsDriveRoot(const std::wstring& folder) {
  return folder.size() >= 2 && folder.compare(folder.size() - 2, 2, L":\\") == 0;
}

// One entry of a folder's listing: a sub-folder's path ends in "\"; a file keeps the size the
// search reported, for the run's tally.
struct Item {
  std::wstring path;
  std::uint64_t size = 0;
};

// Error exit: the first failure of the listing, or of the folder's own removal, returns false.
// Deleting a file ignores its errors, and a sub-folder's failure stays inside its own call.
bool PurgeTree(const std::wstring& folder) {
  // The search has one cursor for the whole process: the folder's listing is complete before
  // anything is deleted or any sub-folder is searched.
  std::vector<Item> items;
  bool holds_link = false;
  fs::FoundEntry entry;
  if (!fs::FindFirst(folder, kPurgeMask, &entry))
    return false;
  while (!entry.end()) {
    if (entry.IsReparsePoint()) {
      // A junction or symbolic link may lead anywhere: it is left where it is, and so is this
      // folder, which therefore cannot be removed.
      holds_link = true;
      platform::tally::NoteLinkLeft();
    } else if (!entry.IsDotOrDotDot()) {
      if (entry.IsDirectory())
        items.push_back({folder + entry.name + L'\\'});
      else
        items.push_back({folder + entry.name, entry.size});
    }
    platform::KeepPainted();
    if (!fs::FindNext(&entry))
      return false;
  }

  for (const Item& item : items) {
    if (item.path.back() == L'\\') {
      // Asked again just before entering: a folder swapped for a link since the listing is
      // left alone like any other link.
      if (fs::IsLink(item.path)) {
        holds_link = true;
        platform::tally::NoteLinkLeft();
      } else {
        (void)PurgeTree(item.path);
      }
    } else {
      // Errors ignored: a file in use or refused stays, and the purge goes on. One that vanished
      // since the listing has nothing left to delete.
      (void)fs::SetAttributes(item.path, fs::kNormal);
      (void)fs::RemoveFile(item.path, item.size);
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
  if (fs::IsLink(folder)) {
    platform::tally::NoteLinkLeft();
    return false;
  }
  return PurgeTree(folder);
}
