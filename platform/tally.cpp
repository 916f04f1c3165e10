#include "platform/tally.h"

#include <windows.h>

namespace platform::tally {
namespace {

Counts g_counts;

}  // namespace

Counts Current() {
  return g_counts;
}

Counts Since(const Counts& start) {
  Counts since;
  since.deleted = g_counts.deleted - start.deleted;
  since.bytes = g_counts.bytes - start.bytes;
  since.in_use = g_counts.in_use - start.in_use;
  since.refused = g_counts.refused - start.refused;
  since.links = g_counts.links - start.links;
  since.other = g_counts.other - start.other;
  since.kept = g_counts.kept - start.kept;
  return since;
}

void Reset() {
  g_counts = {};
}

Status NoteDeletion(Status outcome, std::uint64_t bytes) {
  if (outcome.ok()) {
    ++g_counts.deleted;
    g_counts.bytes += bytes;
    return outcome;
  }
  switch (outcome.win32()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIR_NOT_EMPTY:
      break;
    default:
      NoteLeft(outcome);
  }
  return outcome;
}

void NoteLeft(const Status& reason) {
  switch (reason.win32()) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      ++g_counts.in_use;
      break;
    case ERROR_ACCESS_DENIED:
      ++g_counts.refused;
      break;
    default:
      ++g_counts.other;
  }
}

void NoteRemoved(std::uint64_t items, std::uint64_t bytes) {
  g_counts.deleted += items;
  g_counts.bytes += bytes;
}

void NoteLinkLeft() {
  ++g_counts.links;
}

void NoteKept(std::uint64_t items) {
  g_counts.kept += items;
}

}  // namespace platform::tally
