#pragma once
// The listings the scan made of the folders it recorded, kept for the cleaning that follows it,
// so that no folder is listed twice. Each is filed under the folder's file number: whoever takes
// one has opened the folder as its parent's listing showed it, which checks that number on the
// folder's own handle, so a listing only ever serves the folder it was made of.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/deletion.h"

class KeptListings {
 public:
  // Past this many entries in all, listings are no longer kept: their folders are listed again.
  static constexpr std::size_t kMaxEntries = 250000;

  // Keeps the listing `entries` of the folder numbered `folder_id`. A number that is unknown (0),
  // or that two folders turn out to share, gets no listing.
  void Keep(std::uint64_t folder_id, std::vector<platform::deletion::Entry> entries);
  // Hands over the listing of the folder numbered `folder_id`; false when none was kept.
  bool Take(std::uint64_t folder_id, std::vector<platform::deletion::Entry>* entries);
  void Clear();

 private:
  std::unordered_map<std::uint64_t, std::vector<platform::deletion::Entry>> listings_;
  std::unordered_set<std::uint64_t> shared_ids_;
  std::size_t entries_ = 0;
};
