#include "inventory/cell_table.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using inventory::Cell;

TEST(CellTable, GrowsOnPutBeyondItsRowsOnlyAndClearGivesThemBack) {
  inventory::CellTable table(2, 3);
  ASSERT_TRUE(table.Put(1, 2, Cell(std::wstring(L"kept"))).ok());
  ASSERT_TRUE(table.Put(250000, 1, Cell(7)).ok());
  EXPECT_EQ(table.rows(), 250001);
  EXPECT_EQ(table.At(1, 2).value->Text(), L"kept");
  EXPECT_EQ(table.At(250000, 1).value->Number().value, 7);
  EXPECT_TRUE(table.At(250000, 2).value->empty());
  // Reading never grows; fields, negative rows and rows no count can reach stay out of range.
  EXPECT_TRUE(table.At(250001, 0).status.Is(platform::kOutOfRange));
  for (auto [row, field] : {std::pair{0, 3}, {-1, 0}, {std::numeric_limits<int>::max(), 0}})
    EXPECT_TRUE(table.Put(row, field, Cell(1)).Is(platform::kOutOfRange)) << row;
  EXPECT_EQ(table.rows(), 250001);

  table.Clear();
  EXPECT_EQ(table.rows(), 0);
  EXPECT_TRUE(table.At(1, 2).status.Is(platform::kOutOfRange));
}

}  // namespace
