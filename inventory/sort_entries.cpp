#include "inventory/sort_entries.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

#include "inventory/tables.h"
#include "platform/collation.h"

using inventory::Cell;
using inventory::EntryTable;
using inventory::SortedTable;

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
    if (!EntryTable.Contains(rows, field) || !SortedTable.Contains(rows, field))
      return inventory::OutOfRange();
  }

  // An O(n log n) sort gives the order of the classic exchange sort: on a case-insensitive
  // file system no two paths of one tree compare equal, so the order is unique. The stable
  // sort also tolerates a comparison that is not perfectly consistent.
  const int path_field = inventory::PathField;
  std::vector<int> order(static_cast<std::size_t>(rows));
  std::iota(order.begin(), order.end(), 1);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return platform::CompareTextIgnoringCase(EntryTable.Peek(a, path_field).Text(),
                                             EntryTable.Peek(b, path_field).Text()) < 0;
  });

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
