#include "inventory/cell_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using inventory::Cell;
using inventory::CellTable;

TEST(CellTable, GrowsOnPutBeyondItsRowsAndKeepsWhatItHeld) {
  CellTable table(2, 3);
  ASSERT_TRUE(table.Put(1, 2, Cell(std::wstring(L"kept"))).ok());
  ASSERT_TRUE(table.Put(250000, 1, Cell(7)).ok());
  EXPECT_EQ(table.rows(), 250001);
  EXPECT_EQ(table.At(1, 2).value->Text(), L"kept");
  EXPECT_EQ(table.At(250000, 1).value->Number().value, 7);
  EXPECT_TRUE(table.At(250000, 2).value->empty());
  EXPECT_TRUE(table.At(250001, 0).status.Is(platform::kOutOfRange));  // reading never grows
  EXPECT_EQ(table.rows(), 250001);
}

TEST(CellTable, FieldsAndNegativeOrUnaddressableRowsStayOutOfRange) {
  CellTable table(1, 2);
  EXPECT_TRUE(table.Put(0, 2, Cell(1)).Is(platform::kOutOfRange));
  EXPECT_TRUE(table.Put(-1, 0, Cell(1)).Is(platform::kOutOfRange));
  EXPECT_TRUE(
      table.Put(std::numeric_limits<std::int32_t>::max(), 0, Cell(1)).Is(platform::kOutOfRange));
  EXPECT_EQ(table.rows(), 1);
}

TEST(CellTable, ClearGivesItsRowsBack) {
  CellTable table(4, 1);
  ASSERT_TRUE(table.Put(3, 0, Cell(3)).ok());
  table.Clear();
  EXPECT_EQ(table.rows(), 0);
  EXPECT_TRUE(table.At(3, 0).status.Is(platform::kOutOfRange));
  ASSERT_TRUE(table.Put(0, 0, Cell(1)).ok());
  EXPECT_EQ(table.rows(), 1);
}

}  // namespace
