#pragma once
// The browsers' history databases, edited in place: the history goes, every bookmark stays.

#include <cstdint>

#include "platform/deletion.h"
#include "platform/status.h"

namespace browsers {

// The outcome of one profile's database edits.
struct DatabaseEdit {
  platform::Status status;  // ok, or why a database was left whole (locked, damaged, a link...)
  std::uint64_t rows = 0;   // rows erased, also noted in the run's tally (a row counts no bytes)
};

// Firefox: erases the history from the profile's places.sqlite as Firefox's own "clear
// history" does, and from favicons.sqlite the pages no longer in places and the icons no page
// uses. Bookmarks, keywords and folders stay. A profile without these files is no failure.
DatabaseEdit ClearFirefoxHistory(const platform::deletion::Folder& profile);

// Chromium family: erases from the profile's Favicons the rows of pages that are not
// bookmarked (the bookmarks are read from the profile's Bookmarks file).
DatabaseEdit ClearChromiumFavicons(const platform::deletion::Folder& profile);

}  // namespace browsers
