#pragma once
// The three steps of the "Navigateurs" group: Cookies, Historique, Cache, each over every
// browser found and every profile of it.

#include <functional>
#include <string>
#include <vector>

#include "cleaners/browsers/browser_profiles.h"
#include "cleaners/browsers/history_databases.h"
#include "platform/deletion.h"
#include "platform/status.h"

namespace browsers {

enum class BrowserStep { kCookies, kHistory, kCache };

// What kept a browser step from doing all its work, for the run to tell the user.
struct BrowserProblem {
  enum class Kind {
    kBrowserOpen,    // the browser runs: nothing of it was touched
    kReachedByLink,  // its folder is reached through a link: nothing of it was touched
    kDatabaseLeft,   // a history database was left whole (locked, damaged, a link...)
    kFolderUnknown   // the user's application data folder could not be opened
  };
  Kind kind;
  std::wstring browser;  // for kFolderUnknown: the folder's path or what is known of it
  std::wstring profile;  // for kDatabaseLeft
  platform::Status cause;
};

struct BrowserCleaning {
  std::vector<BrowserProblem> problems;
};

// The database edits of the history step; tests may watch them.
struct HistoryEdits {
  std::function<DatabaseEdit(const platform::deletion::Folder&)> firefox = ClearFirefoxHistory;
  std::function<DatabaseEdit(const platform::deletion::Folder&)> chromium_favicons =
      ClearChromiumFavicons;
};

// Runs `step` over the browsers found below `local` and `roaming` (either may be null).
BrowserCleaning CleanBrowsers(BrowserStep step, const platform::deletion::Folder* local,
                              const platform::deletion::Folder* roaming,
                              const HistoryEdits& edits = {});

// The same below the user's own application data folders.
BrowserCleaning CleanUsersBrowsers(BrowserStep step);

// The names of the browsers found for the user, in FindBrowsers's order.
std::vector<std::wstring> UsersBrowserNames();

}  // namespace browsers
