#include "inventory/sort_entries.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "inventory/tables.h"
#include "platform/collation.h"

using inventory::Cell;
using inventory::EntryTable;
using inventory::SortedTable;

namespace {

// The length of the folder path, up to and including a "\", that every path of rows 1 to
// `rows` starts with (the scanned folder). A prefix common to all paths takes no part in their
// order, and keying only what follows it halves the work of the system's collation.
std::size_t SharedFolderPrefix(int rows, int path_field) {
  const std::wstring& first = EntryTable.Peek(1, path_field).Text();
  std::size_t length = first.size();
  for (int row = 2; row <= rows && length > 0; ++row) {
    const std::wstring& path = EntryTable.Peek(row, path_field).Text();
    length = std::min(length, path.size());
    length = static_cast<std::size_t>(
        std::mismatch(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(length),
                      path.begin())
            .first -
        first.begin());
  }
  const std::size_t slash = first.rfind(L'\\', length == 0 ? 0 : length - 1);
  return slash == std::wstring::npos || length == 0 ? 0 : slash + 1;
}

}  // namespace

platform::Status SortEntries() {
  platform::Result<const Cell*> count_cell = EntryTable.At(0, 0);
  NIMBREL_TRY(count_cell.status);
  platform::Result<std::int32_t> count = count_cell.value->Number();
  NIMBREL_TRY(count.status);
  if (count.value <= 1)
    return platform::Status::Ok();  // no row to order
  const int rows = count.value - 1;

  const std::array<int, 3> fields = {inventory::PathField, inventory::DetailField,
                                     inventory::KindField};
  for (int field : fields) {
    if (!EntryTable.Contains(rows, field) || field >= SortedTable.fields())
      return inventory::OutOfRange();
  }
  NIMBREL_TRY(SortedTable.Grow(rows + 1));

  // An O(n log n) sort gives the order of the classic exchange sort: on a case-insensitive
  // file system no two paths of one tree compare equal, so the order is unique. The paths are
  // compared through their sort keys (one system call per path instead of one per pair); the
  // stable sort keeps rows that compare equal in their order.
  const int path_field = inventory::PathField;
  const std::size_t shared = SharedFolderPrefix(rows, path_field);
  std::vector<std::pair<std::string, int>> keyed;
  keyed.reserve(static_cast<std::size_t>(rows));
  for (int row = 1; row <= rows; ++row) {
    platform::Result<std::string> key = platform::SortKeyIgnoringCase(
        std::wstring_view(EntryTable.Peek(row, path_field).Text()).substr(shared));
    NIMBREL_TRY(key.status);
    keyed.emplace_back(std::move(key.value), row);
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<int> order;
  order.reserve(keyed.size());
  for (const auto& entry : keyed)
    order.push_back(entry.second);

  std::vector<std::array<Cell, 3>> sorted(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    for (std::size_t f = 0; f < fields.size(); ++f)
      sorted[i][f] = EntryTable.Take(order[i], fields[f]);
  }
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    for (std::size_t f = 0; f < fields.size(); ++f) {
      SortedTable.Give(row, fields[f], sorted[i][f]);
      EntryTable.Give(row, fields[f], std::move(sorted[i][f]));
    }
  }
  return platform::Status::Ok();
}
