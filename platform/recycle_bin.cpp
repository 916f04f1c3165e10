#include "platform/recycle_bin.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/erasure.h"
#include "platform/tally.h"

namespace platform {
namespace {

bool QueryBins(SHQUERYRBINFO* info) {
  *info = {};
  info->cbSize = sizeof *info;
  return SUCCEEDED(SHQueryRecycleBinW(nullptr, info));
}

}  // namespace

Status EmptyRecycleBins(unsigned flags) {
  // The bins' items are not named one by one: what went is what the shell counts less after.
  SHQUERYRBINFO before, after;
  const bool counted = QueryBins(&before);
  if (erasure::Counting()) {
    if (!counted)
      return Status::FromLastError();
    tally::NoteRemoved(static_cast<std::uint64_t>(before.i64NumItems),
                       static_cast<std::uint64_t>(before.i64Size));
    return Status::Ok();
  }
  const Status emptied = Status::FromHresult(SHEmptyRecycleBinW(nullptr, nullptr, flags));
  if (counted && QueryBins(&after) && after.i64NumItems < before.i64NumItems)
    tally::NoteRemoved(static_cast<std::uint64_t>(before.i64NumItems - after.i64NumItems),
                       before.i64Size > after.i64Size
                           ? static_cast<std::uint64_t>(before.i64Size - after.i64Size)
                           : 0);
  return emptied;
}

}  // namespace platform
