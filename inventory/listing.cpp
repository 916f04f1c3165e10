#include "inventory/listing.h"

#include "inventory/tables.h"
#include "platform/events.h"
#include "platform/fs.h"

namespace fs = platform::fs;
using inventory::Cell;

namespace {

platform::Status RecordSubfolder(const std::wstring& folder, const std::wstring& name) {
  using namespace inventory;
  NIMBREL_TRY(FolderQueue.Put(QueueTail, 0, Cell(folder + name + L"\\")));
  ++QueueTail;
  NIMBREL_TRY(EntryTable.Put(NextEntry, PathField, Cell(folder + name)));
  NIMBREL_TRY(EntryTable.Put(NextEntry, DetailField, Cell(std::wstring(kFolderDetail))));
  NIMBREL_TRY(EntryTable.Put(NextEntry, KindField, Cell(std::wstring(kFolderKind))));
  ++NextEntry;
  return platform::Status::Ok();
}

}  // namespace

platform::Status ListFolder(const std::wstring& folder) {
  fs::FoundEntry entry;
  NIMBREL_TRY(fs::FindFirst(folder, fs::kDirectory, &entry));
  while (!entry.end()) {
    // The search's own attributes are used: asking again per entry would double the work.
    if (!entry.IsDotOrDotDot() && entry.IsDirectory() && !entry.IsReparsePoint())
      NIMBREL_TRY(RecordSubfolder(folder, entry.name));
    // Files: in the folders-only mode of the scan, nothing is recorded for them.
    platform::KeepPainted();  // a folder may hold tens of thousands of files
    NIMBREL_TRY(fs::FindNext(&entry));
  }
  return platform::Status::Ok();
}

std::wstring GetEntryName(const std::wstring& path) {
  const std::size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(slash + 1);
}

platform::Result<std::wstring> FormatEntryLine(const std::wstring& path, const std::wstring& name) {
  if (platform::Status reset = fs::SetAttributes(path, fs::kNormal); !reset)
    return {{}, reset};
  return {name, platform::Status::Ok()};
}
