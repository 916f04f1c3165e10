#include "inventory/form1.h"

#include <algorithm>

#include "inventory/inventory_file.h"
#include "inventory/listing.h"
#include "inventory/sort_entries.h"
#include "inventory/tables.h"
#include "platform/events.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/text_files.h"

namespace fs = platform::fs;
namespace files = platform::files;
using inventory::Cell;

namespace {

constexpr int kInventoryDepth = 5;

// Closes the inventory file when the scan ends early, so that no reader ever finds it still
// open for writing.
class InventoryFileCloser {
 public:
  ~InventoryFileCloser() {
    if (armed_)
      (void)files::Close(kInventoryFileNumber);  // errors ignored: the scan has failed already
  }
  void Disarm() { armed_ = false; }

 private:
  bool armed_ = true;
};

// The "\" characters of `path` after the one that joins the scanned folder to the first name:
// 0 for a direct sub-folder of the scanned folder, 1 for one below that, and so on.
int DepthCount(const std::wstring& scanned_folder, const std::wstring& path) {
  const std::size_t first = scanned_folder.size() + 1;
  if (path.size() <= first)
    return 0;
  return static_cast<int>(
      std::count(path.begin() + static_cast<std::ptrdiff_t>(first), path.end(), L'\\'));
}

// Lists the queued folders breadth-first: the scanned folder, then its sub-folders, then
// theirs, level by level.
platform::Status ListQueuedFolders() {
  using namespace inventory;
  while (QueueHead != QueueTail) {
    platform::Result<const Cell*> slot = FolderQueue.At(QueueHead, 0);
    NIMBREL_TRY(slot.status);
    NIMBREL_TRY(ListFolder(slot.value->Text()));
    ++QueueHead;
    platform::KeepPainted();
  }
  return platform::Status::Ok();
}

// The row's name as the inventory can write it: the name itself when the ANSI code page holds
// it exactly, else the folder's short name, else nothing (the row is left out). Never a
// look-alike: "abc" for a full-width "\uff41\uff42\uff43" would name the hidden sibling "abc"
// that the listing left out, and the cleaners would empty it.
std::wstring WritableName(const std::wstring& path, const std::wstring& name) {
  if (platform::IsExactInAnsi(name))
    return name;
  platform::Result<std::wstring> short_path = platform::ShortPath(path);
  if (!short_path.ok())
    return {};
  const std::wstring short_name = GetEntryName(short_path.value);
  return platform::IsExactInAnsi(short_name) ? short_name : std::wstring();
}

// Line 1, the scanned folder itself, in a form the ANSI code page holds when it can. Readers
// skip this line; a character left without a form is written as "?".
std::wstring FirstLine(const std::wstring& scanned_folder) {
  const std::wstring line = scanned_folder + L"\\";
  if (platform::IsExactInAnsi(line))
    return line;
  platform::Result<std::wstring> short_path = platform::ShortPath(scanned_folder);
  if (!short_path.ok() || !platform::IsExactInAnsi(short_path.value + L"\\"))
    return line;
  return short_path.value + L"\\";
}

platform::Status WriteSortedEntries(const std::wstring& scanned_folder,
                                    std::vector<ListedFolder>* listed) {
  using namespace inventory;
  for (std::int32_t row = 1; row < NextEntry; ++row) {
    platform::Result<const Cell*> path = SortedTable.At(row, PathField);
    NIMBREL_TRY(path.status);
    const std::wstring& entry_path = path.value->Text();
    const std::wstring name = DepthCount(scanned_folder, entry_path) < MaxDepth
                                  ? WritableName(entry_path, GetEntryName(entry_path))
                                  : std::wstring();
    if (!name.empty()) {
      platform::Result<std::wstring> line = FormatEntryLine(entry_path, name);
      NIMBREL_TRY(line.status);
      NIMBREL_TRY(files::PrintLine(kInventoryFileNumber, line.value));
      listed->push_back({entry_path.substr(scanned_folder.size() + 1), name});
    }
    platform::KeepPainted();
  }
  return platform::Status::Ok();
}

}  // namespace

platform::Status Form1::CmdScan() {
  using namespace inventory;
  listed_.clear();
  NIMBREL_TRY(Dir1.SetPath(platform::SharedFolderList().Path()));
  NIMBREL_TRY(fs::SetAttributes(Dir1.Path(), fs::kNormal));
  ListMode = kFoldersOnlyMode;
  MaxDepth = kInventoryDepth;
  const std::wstring scanned_folder = Dir1.List(Dir1.ListIndex());

  NIMBREL_TRY(files::OpenForOutput(kInventoryFileNumber, InventoryFilePath()));
  InventoryFileCloser closer;

  QueueHead = 1;
  QueueTail = 2;
  NextEntry = 1;
  PathField = 0;
  DetailField = 1;
  KindField = 2;
  NIMBREL_TRY(FolderQueue.Put(1, 0, Cell(scanned_folder + L"\\")));
  NIMBREL_TRY(ListQueuedFolders());
  NIMBREL_TRY(EntryTable.Put(0, 0, Cell(NextEntry)));
  NIMBREL_TRY(SortEntries());

  NIMBREL_TRY(files::PrintLine(kInventoryFileNumber, FirstLine(scanned_folder)));
  std::vector<ListedFolder> listed;
  NIMBREL_TRY(WriteSortedEntries(scanned_folder, &listed));
  closer.Disarm();
  NIMBREL_TRY(files::Close(kInventoryFileNumber));
  listed_ = std::move(listed);
  return platform::Status::Ok();
}

Form1& SharedForm1() {
  static Form1 form;
  return form;
}
