#include "inventory/listing.h"

#include <cstdint>
#include <utility>

#include "inventory/tables.h"
#include "platform/events.h"
#include "platform/paths.h"
#include "platform/tally.h"

namespace deletion = platform::deletion;
using inventory::Cell;

namespace {

constexpr std::uint32_t kInvalidName = 123;      // ERROR_INVALID_NAME
constexpr std::uint32_t kPathTooLong = 206;      // ERROR_FILENAME_EXCED_RANGE
constexpr std::size_t kMaxPathCharacters = 259;  // MAX_PATH less its terminating zero

void Leave(const std::wstring& path, const platform::Status& reason,
           std::vector<std::wstring>* left) {
  platform::tally::NoteLeft(reason);
  left->push_back(path);
}

platform::Status RecordRow(const std::wstring& path) {
  using namespace inventory;
  NIMBREL_TRY(EntryTable.Put(NextEntry, PathField, Cell(path)));
  NIMBREL_TRY(EntryTable.Put(NextEntry, DetailField, Cell(std::wstring(kFolderDetail))));
  NIMBREL_TRY(EntryTable.Put(NextEntry, KindField, Cell(std::wstring(kFolderKind))));
  ++NextEntry;
  return platform::Status::Ok();
}

// Records the sub-folder `entry` of `parent`, and what lies below it within reach.
void RecordSubfolder(const deletion::Folder& parent, const deletion::Entry& entry,
                     const std::wstring& path, int depth, std::vector<std::wstring>* left,
                     KeptListings* kept) {
  if (!platform::IsPlainWin32Name(entry.name))
    return Leave(path, platform::Status::FromWin32(kInvalidName), left);
  if (path.size() > kMaxPathCharacters)
    return Leave(path, platform::Status::FromWin32(kPathTooLong), left);
  deletion::Folder child;
  if (platform::Status opened = parent.OpenChild(entry, &child); !opened) {
    if (deletion::IsLinkRefused(opened)) {  // swapped for a link since the listing
      platform::tally::NoteLinkLeft();
      left->push_back(path);
    } else if (!deletion::IsGone(opened)) {
      Leave(path, opened, left);
    }
    return;
  }
  if (platform::Status reset = child.ResetAttributes(); !reset)
    return Leave(path, reset, left);
  if (platform::Status recorded = RecordRow(path); !recorded)
    return Leave(path, recorded, left);
  // The scan writes no row at MaxDepth or below: such folders are not even listed.
  if (depth + 1 < inventory::MaxDepth) {
    // Its row is written all the same; what could not be listed below it is counted as left.
    if (platform::Status listed = ListFolder(child, path + L"\\", depth + 1, left, kept, entry.id);
        !listed)
      platform::tally::NoteLeft(listed);
  }
}

}  // namespace

platform::Status ListFolder(const deletion::Folder& folder, const std::wstring& prefix, int depth,
                            std::vector<std::wstring>* left, KeptListings* kept,
                            std::uint64_t folder_id) {
  std::vector<deletion::Entry> entries;
  NIMBREL_TRY(folder.List(&entries));
  for (const deletion::Entry& entry : entries) {
    // Files: in the folders-only mode of the scan, nothing is recorded for them.
    if (entry.IsDirectory() && !entry.IsReparsePoint() && !entry.IsHiddenOrSystem())
      RecordSubfolder(folder, entry, prefix + entry.name, depth, left, kept);
    platform::KeepPainted();  // a folder may hold tens of thousands of files
  }
  if (kept)
    kept->Keep(folder_id, std::move(entries));
  return platform::Status::Ok();
}

std::wstring GetEntryName(const std::wstring& path) {
  const std::size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(slash + 1);
}
