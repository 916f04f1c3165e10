#include "inventory/cell_table.h"

#include <limits>
#include <new>
#include <stdexcept>
#include <variant>

namespace inventory {
namespace {

constexpr std::int32_t kTypeMismatch =
    static_cast<std::int32_t>(0x80020005L);  // DISP_E_TYPEMISMATCH
constexpr std::int32_t kOutOfMemory = static_cast<std::int32_t>(0x8007000EL);  // E_OUTOFMEMORY

const std::wstring& EmptyText() {
  static const std::wstring empty;
  return empty;
}

}  // namespace

// One thread uses the tables, so the count of sharing cells needs no atomic operations.
struct Cell::Value {
  explicit Value(std::variant<std::int32_t, std::wstring> v) : data(std::move(v)) {}
  int sharers = 1;
  std::variant<std::int32_t, std::wstring> data;
};

Cell::Cell(std::wstring text) : value_(new Value(std::move(text))) {}

Cell::Cell(std::int32_t number) : value_(new Value(number)) {}

Cell::Cell(const Cell& other) noexcept : value_(other.value_) {
  if (value_)
    ++value_->sharers;
}

Cell& Cell::operator=(const Cell& other) noexcept {
  if (other.value_)
    ++other.value_->sharers;
  Release();
  value_ = other.value_;
  return *this;
}

Cell& Cell::operator=(Cell&& other) noexcept {
  if (this != &other) {
    Release();
    value_ = std::exchange(other.value_, nullptr);
  }
  return *this;
}

Cell::~Cell() {
  Release();
}

void Cell::Release() {
  if (value_ && --value_->sharers == 0)
    delete value_;
  value_ = nullptr;
}

bool Cell::IsNumber() const {
  return value_ && std::holds_alternative<std::int32_t>(value_->data);
}

const std::wstring& Cell::Text() const {
  if (value_ && std::holds_alternative<std::wstring>(value_->data))
    return std::get<std::wstring>(value_->data);
  return EmptyText();
}

platform::Result<std::int32_t> Cell::Number() const {
  if (!value_)
    return {0, platform::Status::Ok()};
  if (IsNumber())
    return {std::get<std::int32_t>(value_->data), platform::Status::Ok()};
  return {0, platform::Status::FromHresult(kTypeMismatch)};
}

CellTable::CellTable(int rows, int fields)
    : rows_(rows), fields_(fields), cells_(static_cast<std::size_t>(rows) * fields) {}

bool CellTable::Contains(int row, int field) const {
  return row >= 0 && row < rows_ && field >= 0 && field < fields_;
}

platform::Status CellTable::Grow(int rows) {
  if (rows <= rows_)
    return platform::Status::Ok();
  try {
    // The vector grows geometrically, so rows put one after another cost amortised constant
    // time; its cells move (they are one pointer each) rather than copy.
    cells_.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(fields_));
  } catch (const std::bad_alloc&) {
    return platform::Status::FromHresult(kOutOfMemory);
  } catch (const std::length_error&) {
    return platform::Status::FromHresult(kOutOfMemory);
  }
  rows_ = rows;
  return platform::Status::Ok();
}

void CellTable::Clear() {
  std::vector<Cell>().swap(cells_);
  rows_ = 0;
}

platform::Status CellTable::Put(int row, int field, Cell value) {
  if (row < 0 || field < 0 || field >= fields_ || row == std::numeric_limits<int>::max())
    return OutOfRange();
  NIMBREL_TRY(Grow(row + 1));
  Slot(row, field) = std::move(value);
  return platform::Status::Ok();
}

platform::Result<const Cell*> CellTable::At(int row, int field) const {
  if (!Contains(row, field))
    return {nullptr, OutOfRange()};
  return {&cells_[Index(row, field)], platform::Status::Ok()};
}

platform::Status OutOfRange() {
  return platform::Status::FromHresult(platform::kOutOfRange);
}

}  // namespace inventory
