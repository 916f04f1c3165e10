#include "inventory/cell_table.h"

namespace inventory {
namespace {

constexpr std::int32_t kTypeMismatch =
    static_cast<std::int32_t>(0x80020005L);  // DISP_E_TYPEMISMATCH

const std::wstring& EmptyText() {
  static const std::wstring empty;
  return empty;
}

}  // namespace

Cell::Cell(std::wstring text)
    : value_(std::make_unique<std::variant<std::int32_t, std::wstring>>(std::move(text))) {}

Cell::Cell(std::int32_t number)
    : value_(std::make_unique<std::variant<std::int32_t, std::wstring>>(number)) {}

Cell::Cell(const Cell& other)
    : value_(other.value_
                 ? std::make_unique<std::variant<std::int32_t, std::wstring>>(*other.value_)
                 : nullptr) {}

Cell& Cell::operator=(const Cell& other) {
  if (this != &other)
    *this = Cell(other);
  return *this;
}

bool Cell::IsNumber() const {
  return value_ && std::holds_alternative<std::int32_t>(*value_);
}

const std::wstring& Cell::Text() const {
  if (value_ && std::holds_alternative<std::wstring>(*value_))
    return std::get<std::wstring>(*value_);
  return EmptyText();
}

platform::Result<std::int32_t> Cell::Number() const {
  if (!value_)
    return {0, platform::Status::Ok()};
  if (IsNumber())
    return {std::get<std::int32_t>(*value_), platform::Status::Ok()};
  return {0, platform::Status::FromHresult(kTypeMismatch)};
}

CellTable::CellTable(int rows, int fields)
    : rows_(rows), fields_(fields), cells_(static_cast<std::size_t>(rows) * fields) {}

bool CellTable::Contains(int row, int field) const {
  return row >= 0 && row < rows_ && field >= 0 && field < fields_;
}

platform::Status CellTable::Put(int row, int field, Cell value) {
  if (!Contains(row, field))
    return OutOfRange();
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
