#include "inventory/kept_listings.h"

#include <utility>

namespace {

// Numbers that name no one folder: unknown, or one a file system gives when a file's own does
// not fit in 64 bits (ReFS).
bool IsUsable(std::uint64_t folder_id) {
  return folder_id != 0 && folder_id != ~std::uint64_t{0};
}

}  // namespace

void KeptListings::Keep(std::uint64_t folder_id, std::vector<platform::deletion::Entry> entries) {
  if (!IsUsable(folder_id) || shared_ids_.count(folder_id))
    return;
  if (const auto kept = listings_.find(folder_id); kept != listings_.end()) {
    // Two folders under one number: neither listing can be told to be whose.
    entries_ -= kept->second.size();
    listings_.erase(kept);
    shared_ids_.insert(folder_id);
    return;
  }
  if (entries_ + entries.size() > kMaxEntries)
    return;
  entries_ += entries.size();
  listings_.emplace(folder_id, std::move(entries));
}

bool KeptListings::Take(std::uint64_t folder_id, std::vector<platform::deletion::Entry>* entries) {
  const auto found = listings_.find(folder_id);
  if (found == listings_.end())
    return false;
  *entries = std::move(found->second);
  entries_ -= entries->size();
  listings_.erase(found);
  return true;
}

void KeptListings::Clear() {
  listings_.clear();
  shared_ids_.clear();
  entries_ = 0;
}
