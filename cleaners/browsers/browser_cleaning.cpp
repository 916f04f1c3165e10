#include "cleaners/browsers/browser_cleaning.h"

#include <tuple>

#include "cleaners/browsers/browser_discovery.h"
#include "cleaners/browsers/profile_files.h"
#include "cleaners/folders/known_root.h"
#include "platform/tally.h"

namespace browsers {
namespace {

using platform::deletion::Folder;

void CleanCookies(const Browser& browser, const Profile& profile) {
  if (browser.family == Family::kFirefox) {
    DeleteDatabaseFiles(profile.data, {L"cookies.sqlite"});
    DeleteWebSiteFolders(profile.data, L"storage\\default");
    return;
  }
  // "Cookies" moved into "Network" in Chromium 96; older profiles keep it in the profile.
  DeleteDatabaseFiles(profile.data, {L"Cookies"});
  Folder network;
  if (platform::Status opened = profile.data.OpenBelow(L"Network", &network); opened)
    DeleteDatabaseFiles(network, {L"Cookies"});
  else if (platform::deletion::IsLinkRefused(opened))
    platform::tally::NoteLinkLeft();
  DeleteWebSiteFolders(profile.data, L"IndexedDB");
}

void CleanHistory(const Browser& browser, const Profile& profile, const HistoryEdits& edits,
                  BrowserCleaning* outcome) {
  DatabaseEdit edit;
  if (browser.family == Family::kFirefox) {
    // History and bookmarks share places.sqlite: it is edited, never deleted.
    edit = edits.firefox(profile.data);
  } else {
    DeleteDatabaseFiles(profile.data, {L"History", L"Visited Links", L"Top Sites", L"Shortcuts",
                                       L"Network Action Predictor", L"History Provider Cache",
                                       L"Archived History"});
    edit = edits.chromium_favicons(profile.data);
  }
  if (!edit.status)
    outcome->problems.push_back(
        {BrowserProblem::Kind::kDatabaseLeft, browser.name, profile.name, edit.status});
}

void CleanCache(const Browser& browser, const Profile& profile) {
  const Folder* cache = profile.cache();
  if (!cache)
    return;
  if (browser.family == Family::kFirefox) {
    for (const wchar_t* folder : {L"cache2", L"thumbnails"})
      EmptyCacheFolder(*cache, folder);
  } else {
    for (const wchar_t* folder : {L"Cache", L"Code Cache", L"GPUCache"})
      EmptyCacheFolder(*cache, folder);
  }
}

}  // namespace

BrowserCleaning CleanBrowsers(BrowserStep step, const Folder* local, const Folder* roaming,
                              const HistoryEdits& edits) {
  BrowserCleaning outcome;
  for (const Browser& browser : FindBrowsers(local, roaming)) {
    if (browser.open || browser.reached_by_link) {
      outcome.problems.push_back(
          {browser.open ? BrowserProblem::Kind::kBrowserOpen : BrowserProblem::Kind::kReachedByLink,
           browser.name,
           {},
           {}});
      continue;
    }
    for (const Profile& profile : browser.profiles) {
      switch (step) {
        case BrowserStep::kCookies:
          CleanCookies(browser, profile);
          break;
        case BrowserStep::kHistory:
          CleanHistory(browser, profile, edits, &outcome);
          break;
        case BrowserStep::kCache:
          CleanCache(browser, profile);
          break;
      }
    }
  }
  return outcome;
}

namespace {

// Opens the user's application data folders; one that cannot be opened is reported, and the
// browsers below it are not looked for.
void OpenUserRoots(Folder* local, Folder* roaming, BrowserCleaning* outcome) {
  for (auto [root, folder, label] :
       {std::tuple{UserRoot::kLocalAppData, local, L"%LOCALAPPDATA%"},
        std::tuple{UserRoot::kRoamingAppData, roaming, L"%APPDATA%"}}) {
    if (platform::Status opened = OpenUserRoot(root, folder); !opened && outcome)
      outcome->problems.push_back({BrowserProblem::Kind::kFolderUnknown, label, {}, opened});
  }
}

}  // namespace

BrowserCleaning CleanUsersBrowsers(BrowserStep step) {
  BrowserCleaning outcome;
  Folder local, roaming;
  OpenUserRoots(&local, &roaming, &outcome);
  BrowserCleaning cleaned =
      CleanBrowsers(step, local.valid() ? &local : nullptr, roaming.valid() ? &roaming : nullptr);
  outcome.problems.insert(outcome.problems.end(), cleaned.problems.begin(), cleaned.problems.end());
  return outcome;
}

std::vector<std::wstring> UsersBrowserNames() {
  Folder local, roaming;
  OpenUserRoots(&local, &roaming, nullptr);
  std::vector<std::wstring> names;
  for (const Browser& browser :
       FindBrowsers(local.valid() ? &local : nullptr, roaming.valid() ? &roaming : nullptr))
    names.push_back(browser.name);
  return names;
}

}  // namespace browsers
