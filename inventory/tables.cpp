#include "inventory/tables.h"

namespace inventory {

// Three tables of fixed size, allocated at start-up and kept: their cells take
// (10,001 + 2 x 4 x 100,001) x 8 bytes, about 6.5 MB, well below the 16 MB they may use.
static_assert(CellTable::kBytesPerCell * (kQueueSlots + 2 * kTableFields * kTableRows) <
              16u * 1024 * 1024);

CellTable FolderQueue(kQueueSlots, 1);
std::int32_t QueueHead = 0;
std::int32_t QueueTail = 0;
CellTable EntryTable(kTableRows, kTableFields);
std::int32_t NextEntry = 0;
CellTable SortedTable(kTableRows, kTableFields);
std::int32_t PathField = 0;
std::int32_t DetailField = 0;
std::int32_t KindField = 0;
std::wstring ListMode;
std::int32_t MaxDepth = 0;

}  // namespace inventory
