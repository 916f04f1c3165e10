// Where the browsers keep their profiles: every browser and channel, the profiles of Local State
// and of Preferences, Opera flat and with Default, Firefox's relative and absolute profiles.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cleaners/browsers/browser_discovery.h"
#include "cleaners/browsers/chromium_profiles.h"
#include "cleaners/browsers/firefox_profiles.h"
#include "platform/text.h"
#include "support/scratch.h"

namespace {

using browsers::Browser;
using browsers::Profile;
using platform::deletion::Folder;

// "Edge: Default (cache in data) ..." for one comparison of the whole finding.
std::vector<std::wstring> Described(const std::vector<Browser>& found, const std::wstring& root) {
  std::vector<std::wstring> lines;
  for (const Browser& browser : found) {
    std::vector<std::wstring> profiles;  // in name order: folders list in the file system's
    for (const Profile& profile : browser.profiles) {
      std::wstring described = L" [" + profile.data.path().substr(root.size());
      if (const Folder* cache = profile.cache())
        described += L" cache " + cache->path().substr(root.size());
      profiles.push_back(described + L"]");
    }
    std::sort(profiles.begin(), profiles.end());
    std::wstring line = browser.name + (browser.open ? L" open" : L"") +
                        (browser.reached_by_link ? L" link" : L"") + L":";
    for (const std::wstring& profile : profiles)
      line += profile;
    lines.push_back(line);
  }
  return lines;
}

TEST(BrowserDiscovery, FindsEveryBrowserChannelAndProfile) {
  test::ScratchTree tree(L"discovery");
  // Edge: two profiles named by Local State, one found by its Preferences, a folder that is
  // no profile, and a name in Local State that would lead out of the folder.
  tree.File(L"local\\Microsoft\\Edge\\User Data\\Local State", 0,
            R"({"profile": {"info_cache": {"Default": {"name": "A"}, "Profile 1": {},
                "..\\..": {}}}, "other": 1})");
  tree.Folder(L"local\\Microsoft\\Edge\\User Data\\Default");
  tree.Folder(L"local\\Microsoft\\Edge\\User Data\\Profile 1");
  tree.File(L"local\\Microsoft\\Edge\\User Data\\Profile 7\\Preferences");
  tree.Folder(L"local\\Microsoft\\Edge\\User Data\\Crashpad\\reports");
  tree.File(L"local\\Google\\Chrome SxS\\User Data\\Guest Profile\\Preferences");
  tree.File(L"local\\BraveSoftware\\Brave-Browser\\User Data\\Default\\Preferences");
  tree.File(L"local\\Vivaldi\\User Data\\Default\\Preferences");
  // Opera laid out flat, its cache in the local folder; Opera GX with a Default sub-folder.
  tree.File(L"roaming\\Opera Software\\Opera Stable\\Preferences");
  tree.Folder(L"local\\Opera Software\\Opera Stable\\Cache");
  tree.File(L"roaming\\Opera Software\\Opera GX Stable\\Default\\Preferences");
  tree.Folder(L"local\\Opera Software\\Opera GX Stable\\Default");
  // Firefox: profiles.ini names a relative profile, an absolute one, one that is missing; the
  // Profiles folder holds one more it does not name.
  tree.File(L"roaming\\Mozilla\\Firefox\\profiles.ini", 0,
            "[Install308046B0AF4A39CB]\nDefault=Profiles/a.default\n[Profile1]\nName=b\n"
            "IsRelative=0\nPath=" +
                platform::ToUtf8(tree / L"elsewhere\\b") +
                "\n\n[Profile0]\nName=a\nIsRelative=1\nPath=Profiles/a.default\n"
                "[Profile2]\nIsRelative=1\nPath=Profiles/gone\n");
  tree.Folder(L"roaming\\Mozilla\\Firefox\\Profiles\\a.default");
  tree.Folder(L"roaming\\Mozilla\\Firefox\\Profiles\\c.unnamed");
  tree.Folder(L"local\\Mozilla\\Firefox\\Profiles\\a.default");
  tree.Folder(L"elsewhere\\b");

  Folder local, roaming;
  ASSERT_TRUE(Folder::Open(tree / L"local", &local).ok());
  ASSERT_TRUE(Folder::Open(tree / L"roaming", &roaming).ok());
  const std::wstring e = L"local\\Microsoft\\Edge\\User Data\\";
  const std::wstring f = L"roaming\\Mozilla\\Firefox\\Profiles\\";
  const std::vector<std::wstring> expected = {
      L"Edge: [" + e + L"Default\\ cache " + e + L"Default\\] [" + e + L"Profile 1\\ cache " + e +
          L"Profile 1\\] [" + e + L"Profile 7\\ cache " + e + L"Profile 7\\]",
      L"Chrome Canary: [local\\Google\\Chrome SxS\\User Data\\Guest Profile\\ cache "
      L"local\\Google\\Chrome SxS\\User Data\\Guest Profile\\]",
      L"Brave: [local\\BraveSoftware\\Brave-Browser\\User Data\\Default\\ cache "
      L"local\\BraveSoftware\\Brave-Browser\\User Data\\Default\\]",
      L"Opera: [roaming\\Opera Software\\Opera Stable\\ cache local\\Opera Software\\Opera "
      L"Stable\\]",
      L"Opera GX: [roaming\\Opera Software\\Opera GX Stable\\Default\\ cache local\\Opera "
      L"Software\\Opera GX Stable\\Default\\]",
      L"Vivaldi: [local\\Vivaldi\\User Data\\Default\\ cache local\\Vivaldi\\User Data\\Default\\]",
      L"Firefox: [elsewhere\\b\\ cache elsewhere\\b\\] [" + f +
          L"a.default\\ cache local\\Mozilla\\Firefox\\Profiles\\a.default\\] [" + f +
          L"c.unnamed\\]"};
  EXPECT_EQ(Described(browsers::FindBrowsers(&local, &roaming), tree.path()), expected);
  // Without the local folder only the roaming one's browsers are found, and without caches but
  // the absolute profile's, inside itself.
  EXPECT_EQ(
      Described(browsers::FindBrowsers(nullptr, &roaming), tree.path()),
      (std::vector<std::wstring>{L"Opera: [roaming\\Opera Software\\Opera Stable\\]",
                                 L"Opera GX: [roaming\\Opera Software\\Opera GX Stable\\Default\\]",
                                 L"Firefox: [elsewhere\\b\\ cache elsewhere\\b\\] [" + f +
                                     L"a.default\\] [" + f + L"c.unnamed\\]"}));
}

TEST(BrowserDiscovery, AUserDataFolderThatIsALinkMakesTheBrowserFoundAndLeft) {
  test::ScratchTree tree(L"discovery-link");
  tree.File(L"elsewhere\\User Data\\Default\\Preferences");
  tree.Folder(L"local\\Google\\Chrome");
  ASSERT_TRUE(test::MakeUnixLink(tree / L"elsewhere\\User Data",
                                 tree / L"local\\Google\\Chrome\\User Data"));
  Folder local;
  ASSERT_TRUE(Folder::Open(tree / L"local", &local).ok());
  EXPECT_EQ(Described(browsers::FindBrowsers(&local, nullptr), tree.path()),
            std::vector<std::wstring>{L"Chrome link:"});
}

TEST(BrowserDiscovery, AnAbsoluteProfileIsOpenedFromItsRootRefusingALinkOnTheWay) {
  test::ScratchTree tree(L"absolute");
  tree.Folder(L"real\\profile");
  ASSERT_TRUE(test::MakeUnixLink(tree / L"real", tree / L"via"));
  Folder folder;
  EXPECT_TRUE(browsers::OpenAbsoluteFolder(tree / L"real\\profile\\", &folder).ok());
  EXPECT_EQ(folder.path(), tree / L"real\\profile\\");
  EXPECT_TRUE(platform::deletion::IsLinkRefused(
      browsers::OpenAbsoluteFolder(tree / L"via\\profile", &folder)));
  EXPECT_FALSE(browsers::OpenAbsoluteFolder(L"relative\\profile", &folder).ok());
  EXPECT_FALSE(browsers::OpenAbsoluteFolder(tree / L"real\\..\\real\\profile", &folder).ok());
}

TEST(BrowserDiscovery, LocalStateAndProfilesIniAreReadAsTheBrowsersWriteThem) {
  EXPECT_EQ(browsers::ProfileNamesOfLocalState(
                R"({"profile": {"info_cache": {"Default": {}, "Profil \u00e9t\u00e9": {},
                    "a/b": {}, ".": {}}}})"),
            (std::vector<std::wstring>{L"Default", L"Profil \u00e9t\u00e9"}));
  EXPECT_TRUE(browsers::ProfileNamesOfLocalState("{\"profile\": ").empty());
  EXPECT_TRUE(browsers::ProfileNamesOfLocalState(R"({"profile": {"info_cache": []}})").empty());

  const auto profiles = browsers::ProfilesOfProfilesIni(
      "[General]\r\nPath=not/a/profile\r\n[Profile0]\r\nPath = Profiles/x.default \r\n"
      "[Profile1]\r\nPath=D:\\Firefox\\work\r\nIsRelative=0\r\n[Profile2]\r\nPath=E:\\p\r\n"
      "[BackgroundTasksProfiles]\r\nabc=Profiles/y\r\n");
  ASSERT_EQ(profiles.size(), 3u);
  EXPECT_EQ(profiles[0].path, L"Profiles\\x.default");
  EXPECT_TRUE(profiles[0].relative);
  EXPECT_EQ(profiles[1].path, L"D:\\Firefox\\work");
  EXPECT_FALSE(profiles[1].relative);
  EXPECT_FALSE(profiles[2].relative);  // no IsRelative: an absolute path says so itself
}

}  // namespace
