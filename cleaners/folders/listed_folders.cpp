#include "cleaners/folders/listed_folders.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "cleaners/folders/inventory_cleanup.h"
#include "inventory/form1.h"
#include "platform/events.h"
#include "platform/tally.h"

namespace deletion = platform::deletion;

namespace {

constexpr std::uint32_t kInvalidData = 13;  // ERROR_INVALID_DATA

// True when `path` lies below the folder `folder` ("" is the scanned folder itself).
bool IsBelow(const std::wstring& path, const std::wstring& folder) {
  return folder.empty() ||
         (path.size() > folder.size() && path[folder.size()] == L'\\' && path.starts_with(folder));
}

// An order in which each folder comes right before everything below it. The inventory's own
// order compares whole paths, which puts "a b" between "a" and "a\x".
bool WalksBefore(const std::wstring& a, const std::wstring& b) {
  auto rank = [](wchar_t c) { return c == L'\\' ? 0u : static_cast<unsigned>(c) + 1; };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](wchar_t x, wchar_t y) { return rank(x) < rank(y); });
}

// The listed folders whose rows the inventory file holds, in the file's order, or nothing when
// the file is not the one the last scan wrote.
platform::Status ReadBackRows(std::vector<std::wstring>* relative_paths) {
  std::vector<std::wstring> lines;
  ForEachInventoryName([&](const std::wstring& name) { lines.push_back(name); });
  std::vector<const ListedFolder*> rows;
  for (const ListedFolder& row : SharedForm1().ListedFolders()) {
    if (IsPlainFolderName(row.written_name))  // the reader skips any other line
      rows.push_back(&row);
  }
  if (rows.size() != lines.size())
    return platform::Status::FromWin32(kInvalidData);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i]->written_name != lines[i])
      return platform::Status::FromWin32(kInvalidData);
    relative_paths->push_back(rows[i]->relative_path);
  }
  return platform::Status::Ok();
}

// True for a folder the scan left and counted as left already.
bool LeftByScan(const std::wstring& relative) {
  const std::vector<std::wstring>& left = SharedForm1().LeftFolders();
  return std::find(left.begin(), left.end(), relative) != left.end();
}

// One folder of the chain from the scanned folder down to the folder being cleaned.
class Frame {
 public:
  explicit Frame(const deletion::Folder& scanned) : borrowed_(&scanned) {}
  // `id`: the folder's file number, as its parent's listing showed it and its handle confirmed.
  Frame(const std::wstring& relative, deletion::Folder&& owned, std::uint64_t id, bool listed)
      : relative_(relative), owned_(std::move(owned)), id_(id), listed_(listed) {}

  const std::wstring& relative() const { return relative_; }
  const deletion::Folder& folder() const { return borrowed_ ? *borrowed_ : owned_; }
  std::wstring Below(const std::wstring& name) const {
    return relative_.empty() ? name : relative_ + L"\\" + name;
  }

  // A listed folder loses its plain files; any other is only listed. The scan's listing of the
  // folder serves when it was kept. Errors ignored.
  void Take(const ReachedElsewhere& reached_elsewhere) {
    reached_elsewhere_ = &reached_elsewhere;
    std::vector<deletion::Entry> entries;
    const bool known = SharedForm1().Listings().Take(id_, &entries) || folder().List(&entries).ok();
    if (listed_) {
      (void)owned_.ResetAttributes();
      if (known)
        (void)deletion::DeletePlainFiles(owned_, std::move(entries), deletion::ReadOnly::kStays,
                                         &subfolders_);
    } else {
      for (deletion::Entry& entry : entries) {
        if (entry.IsDirectory() && !entry.IsReparsePoint())
          subfolders_.push_back(std::move(entry));
      }
    }
    opened_.assign(subfolders_.size(), false);
  }

  // Opens the sub-folder `name` as this folder's listing showed it, numbered `id` there.
  platform::Status OpenChild(const std::wstring& name, deletion::Folder* child, std::uint64_t* id) {
    for (std::size_t i = 0; i < subfolders_.size(); ++i) {
      if (subfolders_[i].name == name) {
        opened_[i] = true;
        *id = subfolders_[i].id;
        return folder().OpenChild(subfolders_[i], child);
      }
    }
    return platform::Status::FromWin32(2);  // ERROR_FILE_NOT_FOUND: gone or hidden since
  }

  // The folder is done with: what the inventory left out of it is counted as kept; a listed
  // folder is removed (it stays while anything is left in it).
  void Close() {
    if (!listed_ && !borrowed_)
      return;
    std::uint64_t kept = 0;
    for (std::size_t i = 0; i < subfolders_.size(); ++i) {
      const std::wstring place = Below(subfolders_[i].name);
      if (!opened_[i] && !(*reached_elsewhere_)(place) && !LeftByScan(place))
        ++kept;
    }
    if (kept > 0)
      platform::tally::NoteKept(kept);
    if (listed_)
      (void)owned_.Remove();
  }

 private:
  std::wstring relative_;
  const deletion::Folder* borrowed_ = nullptr;
  deletion::Folder owned_;
  std::uint64_t id_ = 0;  // 0 for the scanned folder
  bool listed_ = false;
  const ReachedElsewhere* reached_elsewhere_ = nullptr;
  std::vector<deletion::Entry> subfolders_;
  std::vector<bool> opened_;
};

void NoteLeft(const platform::Status& failure) {
  if (deletion::IsLinkRefused(failure))
    platform::tally::NoteLinkLeft();
  else
    (void)platform::tally::NoteDeletion(failure);  // a folder gone since is not counted
}

// Opens every folder from the top of `chain` down to `relative`, the last one as a listed
// folder. When one of them cannot be opened as its parent's listing showed it, returns its
// place, and nothing below it is tried again.
std::wstring OpenDownTo(const std::wstring& relative, const ReachedElsewhere& reached_elsewhere,
                        std::vector<Frame>* chain) {
  std::size_t start = chain->back().relative().size();
  if (start > 0)
    ++start;  // the "\" after the parent
  while (start <= relative.size()) {
    const std::size_t slash = std::min(relative.find(L'\\', start), relative.size());
    deletion::Folder child;
    std::uint64_t id = 0;
    if (platform::Status opened =
            chain->back().OpenChild(relative.substr(start, slash - start), &child, &id);
        !opened) {
      NoteLeft(opened);
      return relative.substr(0, slash);
    }
    chain->emplace_back(relative.substr(0, slash), std::move(child), id, slash == relative.size());
    chain->back().Take(reached_elsewhere);
    start = slash + 1;
  }
  return {};
}

}  // namespace

platform::Status CleanListedFolders(const deletion::Folder& scanned,
                                    const ReachedElsewhere& reached_elsewhere,
                                    const StaysOnPurpose& stays) {
  std::vector<std::wstring> rows;
  NIMBREL_TRY(ReadBackRows(&rows));
  std::erase_if(rows, reached_elsewhere);
  // What stays is never opened, so the folder that holds it counts it as kept when it closes.
  if (stays)
    std::erase_if(rows, stays);
  std::sort(rows.begin(), rows.end(), WalksBefore);

  // Each folder is closed, and so removed, once the walk has left what lies below it.
  std::vector<Frame> chain;
  chain.emplace_back(scanned);
  chain.back().Take(reached_elsewhere);
  std::wstring failed;
  for (const std::wstring& row : rows) {
    if (!failed.empty() && (row == failed || IsBelow(row, failed)))
      continue;
    while (chain.size() > 1 && !IsBelow(row, chain.back().relative())) {
      chain.back().Close();
      chain.pop_back();
    }
    failed = OpenDownTo(row, reached_elsewhere, &chain);  // errors ignored: the next row is tried
    platform::KeepPainted();
  }
  while (!chain.empty()) {
    chain.back().Close();
    chain.pop_back();
  }
  SharedForm1().Listings().Clear();
  return platform::Status::Ok();
}
