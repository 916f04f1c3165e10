// Stands in for the history database edits until the SQLite build lands with their real
// implementation: each leaves the databases as they are and erases no row. This file goes when
// that implementation comes.

#include "cleaners/browsers/history_databases.h"

namespace browsers {

DatabaseEdit ClearFirefoxHistory(const platform::deletion::Folder&) {
  return {};
}

DatabaseEdit ClearChromiumFavicons(const platform::deletion::Folder&) {
  return {};
}

}  // namespace browsers
