#pragma once
// The process-wide inventory tables and counters. The scan empties the tables when it starts and
// fills them, growing them with the tree: their memory follows the last tree scanned.

#include <cstdint>
#include <string>

#include "inventory/cell_table.h"

namespace inventory {

inline constexpr int kTableFields = 4;  // path, detail, kind, spare

// Text of the detail and kind fields of a sub-folder's row.
inline constexpr wchar_t kFolderDetail[] = L"   ";
inline constexpr wchar_t kFolderKind[] = L"rep";
// The listing mode in which only sub-folders are recorded.
inline constexpr wchar_t kFoldersOnlyMode[] = L"Rep";

// One row per sub-folder found, in the order found, from row 1; row 0 holds the row count.
extern CellTable EntryTable;
extern std::int32_t NextEntry;  // the next free row of EntryTable
// The rows of EntryTable in path order, from row 1.
extern CellTable SortedTable;
// The fields through which rows are addressed.
extern std::int32_t PathField;
extern std::int32_t DetailField;
extern std::int32_t KindField;
extern std::wstring ListMode;
// A sub-folder gets an inventory line only when its depth count is below this.
extern std::int32_t MaxDepth;

// Empties the two tables, giving their memory back.
void ClearTables();

}  // namespace inventory
