#pragma once
// Fixed-size tables of cells, each cell empty, a whole number or a text, addressed by row and
// field. Every access is checked: an index outside the table is an out-of-range error.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/status.h"

namespace inventory {

class Cell {
 public:
  Cell() = default;
  explicit Cell(std::wstring text);
  explicit Cell(std::int32_t number);
  // Copies share the value (cells are never changed in place, only replaced), so copying a
  // row into the sorted table allocates nothing.
  Cell(const Cell& other) noexcept;
  Cell& operator=(const Cell& other) noexcept;
  Cell(Cell&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  Cell& operator=(Cell&& other) noexcept;
  ~Cell();

  bool empty() const { return value_ == nullptr; }
  bool IsNumber() const;
  // The text held; empty text for an empty cell or a number.
  const std::wstring& Text() const;
  // The number held; 0 for an empty cell; a text is a type-mismatch error.
  platform::Result<std::int32_t> Number() const;

 private:
  struct Value;
  void Release();
  // Held out of line so that an unused cell costs one pointer: the tables keep about 800,000
  // cells for the life of the process.
  Value* value_ = nullptr;
};

class CellTable {
 public:
  // Allocates every cell at once; the table never grows.
  CellTable(int rows, int fields);

  int rows() const { return rows_; }
  int fields() const { return fields_; }
  bool Contains(int row, int field) const;

  platform::Status Put(int row, int field, Cell value);
  // The cell itself, or the out-of-range error.
  platform::Result<const Cell*> At(int row, int field) const;
  // Unchecked moves for callers that have checked the bounds already.
  Cell Take(int row, int field) { return std::move(Slot(row, field)); }
  void Give(int row, int field, Cell value) { Slot(row, field) = std::move(value); }
  const Cell& Peek(int row, int field) const { return cells_[Index(row, field)]; }

  static constexpr std::size_t kBytesPerCell = sizeof(Cell);

 private:
  std::size_t Index(int row, int field) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(fields_) +
           static_cast<std::size_t>(field);
  }
  Cell& Slot(int row, int field) { return cells_[Index(row, field)]; }

  int rows_;
  int fields_;
  std::vector<Cell> cells_;
};

// The out-of-range error of the tables, as a status.
platform::Status OutOfRange();

}  // namespace inventory
