#include "inventory/tables.h"

namespace inventory {

CellTable EntryTable(0, kTableFields);
std::int32_t NextEntry = 0;
CellTable SortedTable(0, kTableFields);
std::int32_t PathField = 0;
std::int32_t DetailField = 0;
std::int32_t KindField = 0;
std::wstring ListMode;
std::int32_t MaxDepth = 0;

void ClearTables() {
  EntryTable.Clear();
  SortedTable.Clear();
}

}  // namespace inventory
