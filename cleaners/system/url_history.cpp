#include "cleaners/system/url_history.h"

#include "cleaners/system/url_cache_walk.h"
#include "platform/url_cache.h"

void CleanUrlHistory() {
  // A walk that fails half-way still hands over what it collected: that much is removed.
  (void)EnumUrlCache(&HistoryEntries, &CookieEntries);
  for (size_t i = 0; i + 1 < HistoryEntries.size(); ++i)
    (void)platform::url_cache::DeleteEntry(HistoryEntries[i].SourceUrlName);
}
