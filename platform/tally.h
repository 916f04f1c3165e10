#pragma once
// What a cleaning run really removed, and what it had to leave. The platform's deletion calls
// note their own outcome here, one item per file, folder, cache entry or registry value they
// were asked to delete, so that no cleaner counts for itself. One tally for the process, read
// and reset by the run on the user-interface thread.

#include <cstdint>

#include "platform/status.h"

namespace platform::tally {

struct Counts {
  std::uint64_t deleted = 0;  // items gone
  std::uint64_t bytes = 0;    // their size
  std::uint64_t in_use = 0;   // left: another program (or this one) holds them
  std::uint64_t refused = 0;  // left: access denied
  std::uint64_t links = 0;    // left: links and junctions, never entered nor removed
  std::uint64_t other = 0;    // left for another reason
  std::uint64_t kept = 0;     // left on purpose: hidden and system items a cleaner never takes
  std::uint64_t left() const { return in_use + refused + links + other + kept; }
};

Counts Current();
// What the tally noted since it stood at `start` (an earlier Current()).
Counts Since(const Counts& start);
void Reset();

// Notes the outcome of one deletion: an item of `bytes` gone, or the reason it stays. An item
// already gone ("not found") and a folder left because something stays in it ("not empty") are
// not counted: the item is not there, or what holds it is counted already. Returns `outcome`.
Status NoteDeletion(Status outcome, std::uint64_t bytes = 0);
// Notes an item a walk could not reach or use and left where it is, counted by `reason` (in
// use, access refused, or another reason).
void NoteLeft(const Status& reason);
// Notes items that went without being named one by one (the recycle bins' contents).
void NoteRemoved(std::uint64_t items, std::uint64_t bytes);
// Notes a link or junction met during a walk and left where it is.
void NoteLinkLeft();
// Notes items a cleaner found in a folder it cleaned and leaves there on purpose (hidden and
// system files, the hidden folders the inventory leaves out).
void NoteKept(std::uint64_t items = 1);

}  // namespace platform::tally
