#include "cleaners/browsers/browser_discovery.h"

#include <string>

#include "cleaners/browsers/chromium_profiles.h"
#include "cleaners/browsers/firefox_profiles.h"
#include "platform/tally.h"

namespace browsers {
namespace {

using platform::deletion::Folder;

struct KnownFolder {
  const wchar_t* browser;
  const wchar_t* relative;
};

// The user data folders of the Chromium family, below the local application data.
constexpr KnownFolder kChromiumFolders[] = {
    {L"Edge", L"Microsoft\\Edge\\User Data"},
    {L"Edge Beta", L"Microsoft\\Edge Beta\\User Data"},
    {L"Edge Dev", L"Microsoft\\Edge Dev\\User Data"},
    {L"Edge Canary", L"Microsoft\\Edge SxS\\User Data"},
    {L"Chrome", L"Google\\Chrome\\User Data"},
    {L"Chrome Beta", L"Google\\Chrome Beta\\User Data"},
    {L"Chrome Dev", L"Google\\Chrome Dev\\User Data"},
    {L"Chrome Canary", L"Google\\Chrome SxS\\User Data"},
    {L"Chromium", L"Chromium\\User Data"},
    {L"Brave", L"BraveSoftware\\Brave-Browser\\User Data"},
    {L"Brave Beta", L"BraveSoftware\\Brave-Browser-Beta\\User Data"},
    {L"Brave Nightly", L"BraveSoftware\\Brave-Browser-Nightly\\User Data"},
};
// Opera keeps its profile in the roaming application data and its cache at the same place in
// the local one.
constexpr KnownFolder kOperaFolders[] = {
    {L"Opera", L"Opera Software\\Opera Stable"},
    {L"Opera GX", L"Opera Software\\Opera GX Stable"},
};
constexpr KnownFolder kVivaldiFolder = {L"Vivaldi", L"Vivaldi\\User Data"};
constexpr wchar_t kFirefoxFolder[] = L"Mozilla\\Firefox";

// Opens a browser's folder. False when it is not there; a folder reached through a link makes
// the browser found, and marked so.
bool OpenBrowserFolder(const Folder& top, const wchar_t* relative, Browser* browser,
                       Folder* folder) {
  const platform::Status opened = top.OpenBelow(relative, folder);
  if (platform::deletion::IsLinkRefused(opened)) {
    platform::tally::NoteLinkLeft();
    browser->reached_by_link = true;
    return true;
  }
  return opened.ok();
}

void AddChromium(const Folder& local, const KnownFolder& known, std::vector<Browser>* found) {
  Browser browser;
  browser.name = known.browser;
  Folder user_data;
  if (!OpenBrowserFolder(local, known.relative, &browser, &user_data))
    return;
  if (!browser.reached_by_link) {
    browser.open = ChromiumRuns(user_data);
    if (!browser.open)
      browser.profiles = FindChromiumProfiles(user_data);
  }
  found->push_back(std::move(browser));
}

// Opera lays its profile out flat in its folder (older versions) or in a "Default" sub-folder
// (Opera One): both are looked for.
void AddOpera(const Folder& roaming, const Folder* local, const KnownFolder& known,
              std::vector<Browser>* found) {
  Browser browser;
  browser.name = known.browser;
  Folder user_data;
  if (!OpenBrowserFolder(roaming, known.relative, &browser, &user_data))
    return;
  if (!browser.reached_by_link) {
    browser.open = ChromiumRuns(user_data);
    if (!browser.open) {
      Folder local_data;
      const bool has_local = local && local->OpenBelow(known.relative, &local_data).ok();
      browser.profiles = FindChromiumProfiles(user_data, has_local ? &local_data : nullptr);
      // Without a local folder there is no cache to find: the profiles keep none.
      if (!has_local) {
        for (Profile& profile : browser.profiles)
          profile.cache_at = Profile::CacheAt::kNone;
      }
      if (user_data.HasChildFile(L"Preferences")) {
        Profile flat;
        flat.name = known.relative;
        flat.data = std::move(user_data);
        if (has_local) {
          flat.cache_folder = std::move(local_data);
          flat.cache_at = Profile::CacheAt::kOwnFolder;
        }
        browser.profiles.push_back(std::move(flat));
      }
    }
  }
  found->push_back(std::move(browser));
}

void AddFirefox(const Folder& roaming, const Folder* local, std::vector<Browser>* found) {
  Browser browser;
  browser.name = L"Firefox";
  browser.family = Family::kFirefox;
  Folder firefox;
  if (!OpenBrowserFolder(roaming, kFirefoxFolder, &browser, &firefox))
    return;
  if (!browser.reached_by_link) {
    Folder local_firefox;
    const bool has_local = local && local->OpenBelow(kFirefoxFolder, &local_firefox).ok();
    browser.profiles = FindFirefoxProfiles(firefox, has_local ? &local_firefox : nullptr);
    for (const Profile& profile : browser.profiles)
      browser.open = browser.open || FirefoxUsesProfile(profile.data);
    if (browser.open)
      browser.profiles.clear();
  }
  found->push_back(std::move(browser));
}

}  // namespace

std::vector<Browser> FindBrowsers(const Folder* local, const Folder* roaming) {
  std::vector<Browser> found;
  if (local) {
    for (const KnownFolder& known : kChromiumFolders)
      AddChromium(*local, known, &found);
  }
  if (roaming) {
    for (const KnownFolder& known : kOperaFolders)
      AddOpera(*roaming, local, known, &found);
  }
  if (local)
    AddChromium(*local, kVivaldiFolder, &found);
  if (roaming)
    AddFirefox(*roaming, local, &found);
  return found;
}

}  // namespace browsers
