#include "inventory/kept_listings.h"

#include <utility>

void KeptListings::Keep(std::uint64_t folder_id, std::vector<platform::deletion::Entry> entries) {
  if (folder_id == 0 || entries_ + entries.size() > kMaxEntries)
    return;
  entries_ += entries.size();
  listings_[folder_id] = std::move(entries);
}

bool KeptListings::Take(std::uint64_t folder_id, std::vector<platform::deletion::Entry>* entries) {
  const auto found = listings_.find(folder_id);
  if (folder_id == 0 || found == listings_.end())
    return false;
  *entries = std::move(found->second);
  listings_.erase(found);
  return true;
}

void KeptListings::Clear() {
  listings_.clear();
  entries_ = 0;
}
