#include "inventory/form1.h"

#include <cstdint>

#include "inventory/inventory_file.h"
#include "inventory/listing.h"
#include "inventory/sort_entries.h"
#include "inventory/tables.h"
#include "platform/deletion.h"
#include "platform/events.h"
#include "platform/paths.h"
#include "platform/tally.h"
#include "platform/text.h"
#include "platform/text_files.h"

namespace files = platform::files;
using inventory::Cell;

namespace {

constexpr int kInventoryDepth = 5;
constexpr std::uint32_t kNoUnicodeTranslation = 1113;  // ERROR_NO_UNICODE_TRANSLATION

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
                                    std::vector<ListedFolder>* listed,
                                    std::vector<std::wstring>* left) {
  using namespace inventory;
  for (std::int32_t row = 1; row < NextEntry; ++row) {
    platform::Result<const Cell*> path = SortedTable.At(row, PathField);
    NIMBREL_TRY(path.status);
    const std::wstring& entry_path = path.value->Text();
    const std::wstring relative = entry_path.substr(scanned_folder.size() + 1);
    // Every row is a sub-folder's: its line is its name alone, whatever its depth.
    if (const std::wstring name = WritableName(entry_path, GetEntryName(entry_path));
        !name.empty()) {
      NIMBREL_TRY(files::PrintLine(kInventoryFileNumber, name));
      listed->push_back({relative, name});
    } else {
      platform::tally::NoteLeft(platform::Status::FromWin32(kNoUnicodeTranslation));
      left->push_back(relative);
    }
    platform::KeepPainted();
  }
  return platform::Status::Ok();
}

}  // namespace

platform::Status Form1::CmdScan() {
  using namespace inventory;
  listed_.clear();
  left_.clear();
  kept_listings_.Clear();
  NIMBREL_TRY(Dir1.SetPath(platform::SharedFolderList().Path()));
  const std::wstring scanned_folder = Dir1.List(Dir1.ListIndex());
  platform::deletion::Folder scanned;
  NIMBREL_TRY(platform::deletion::Folder::Open(scanned_folder, &scanned));
  NIMBREL_TRY(scanned.ResetAttributes());
  ListMode = kFoldersOnlyMode;
  MaxDepth = kInventoryDepth;

  NIMBREL_TRY(OpenInventoryFileForOutput());
  InventoryFileCloser closer;

  ClearTables();
  NextEntry = 1;
  PathField = 0;
  DetailField = 1;
  KindField = 2;
  std::vector<std::wstring> left_paths;
  NIMBREL_TRY(ListFolder(scanned, scanned_folder + L"\\", 0, &left_paths, &kept_listings_));
  // Closed before any short name is asked by path: Wine lists a folder without sharing its
  // deletion, so a handle that may delete the folder would make that listing fail.
  scanned = platform::deletion::Folder();
  NIMBREL_TRY(EntryTable.Put(0, 0, Cell(NextEntry)));
  NIMBREL_TRY(SortEntries());

  NIMBREL_TRY(files::PrintLine(kInventoryFileNumber, FirstLine(scanned_folder)));
  std::vector<ListedFolder> listed;
  std::vector<std::wstring> left;
  for (const std::wstring& path : left_paths)
    left.push_back(path.substr(scanned_folder.size() + 1));
  NIMBREL_TRY(WriteSortedEntries(scanned_folder, &listed, &left));
  closer.Disarm();
  NIMBREL_TRY(files::Close(kInventoryFileNumber));
  listed_ = std::move(listed);
  left_ = std::move(left);
  return platform::Status::Ok();
}

Form1& SharedForm1() {
  static Form1 form;
  return form;
}
