#pragma once
// Tables of cells, each cell empty, a whole number or a text, addressed by row and field. A table
// has a fixed number of fields and grows by rows as they are put, so its memory follows what it
// holds. Every read is checked: an index outside the table is an out-of-range error.

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
  // Held out of line so that an unused cell costs one pointer: a scan of a large tree keeps
  // several cells for each of its folders.
  Value* value_ = nullptr;
};

class CellTable {
 public:
  // Starts with `rows` empty rows.
  CellTable(int rows, int fields);

  int rows() const { return rows_; }
  int fields() const { return fields_; }
  bool Contains(int row, int field) const;

  // Makes rows up to `rows` - 1 addressable, the new ones empty; what the table held stays.
  // Fails with the out-of-range error for a count no row index can reach, and with the
  // out-of-memory error when the memory cannot be had.
  platform::Status Grow(int rows);
  // Gives every row back: the table holds none.
  void Clear();

  // Stores the value, growing the table to the row first when it lies beyond the last one; a
  // field or a negative row outside the table is the out-of-range error.
  platform::Status Put(int row, int field, Cell value);
  // The cell itself, or the out-of-range error.
  platform::Result<const Cell*> At(int row, int field) const;
  // Unchecked moves for callers that have checked the bounds already.
  Cell Take(int row, int field) { return std::move(Slot(row, field)); }
  void Give(int row, int field, Cell value) { Slot(row, field) = std::move(value); }
  const Cell& Peek(int row, int field) const { return cells_[Index(row, field)]; }

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
