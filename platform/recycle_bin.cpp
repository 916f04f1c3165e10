#include "platform/recycle_bin.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdint>

#include "platform/erasure.h"
#include "platform/tally.h"

namespace platform {
namespace {

bool QueryBins(SHQUERYRBINFO* info) {
  *info = {};
  info->cbSize = sizeof *info;
  return SUCCEEDED(SHQueryRecycleBinW(nullptr, info));
}

// The bins' contents a count has taken so far.
struct CountedSoFar {
  unsigned scope = 0;
  std::uint64_t items = 0;
  std::uint64_t bytes = 0;
};

}  // namespace

Status EmptyRecycleBins(unsigned flags) {
  // The bins' items are not named one by one: what went is what the shell counts less after.
  SHQUERYRBINFO before, after;
  const bool counted = QueryBins(&before);
  if (erasure::Counting()) {
    if (!counted)
      return Status::FromLastError();
    // What an earlier call of the same count took is gone already, as it would be for real.
    static CountedSoFar so_far;
    if (so_far.scope != erasure::ScopeNumber())
      so_far = {erasure::ScopeNumber(), 0, 0};
    const auto items = static_cast<std::uint64_t>(before.i64NumItems);
    const auto bytes = static_cast<std::uint64_t>(before.i64Size);
    if (items > so_far.items) {
      tally::NoteRemoved(items - so_far.items, bytes > so_far.bytes ? bytes - so_far.bytes : 0);
      so_far.items = items;
      so_far.bytes = std::max(bytes, so_far.bytes);
    }
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
