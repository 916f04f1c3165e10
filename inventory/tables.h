#pragma once
// The process-wide inventory tables and counters. The scan fills them; nothing clears them
// between scans, so rows beyond the current scan's count keep older values and are never read.

#include <cstdint>
#include <string>

#include "inventory/cell_table.h"

namespace inventory {

inline constexpr int kQueueSlots = 10001;  // slots 0 to 10000; slot 0 holds no folder
inline constexpr int kTableRows = 100001;  // rows 0 to 100000; row 0 holds the row count
inline constexpr int kTableFields = 4;     // path, detail, kind, spare

// Text of the detail and kind fields of a sub-folder's row.
inline constexpr wchar_t kFolderDetail[] = L"   ";
inline constexpr wchar_t kFolderKind[] = L"rep";
// The listing mode in which only sub-folders are recorded.
inline constexpr wchar_t kFoldersOnlyMode[] = L"Rep";

// Folder paths ending in "\", in the order queued (one field per slot).
extern CellTable FolderQueue;
extern std::int32_t QueueHead;  // the slot of the next folder to list
extern std::int32_t QueueTail;  // the next free slot; the queue is empty when head == tail
// One row per sub-folder found, in the order found.
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

}  // namespace inventory
