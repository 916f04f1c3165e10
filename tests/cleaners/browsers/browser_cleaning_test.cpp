// The three browser steps on profiles laid out as the browsers lay them out: each erases what
// its box names in every profile, everything else comes through byte for byte, a running
// browser and a profile behind a link are left whole.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cleaners/browsers/browser_cleaning.h"
#include "platform/tally.h"
#include "platform/text.h"
#include "support/browser_layout.h"
#include "support/processes.h"
#include "support/scratch.h"

namespace {

using browsers::BrowserProblem;
using browsers::BrowserStep;
using platform::deletion::Folder;

// Every profile of the machine, relative to the scratch tree, and where its cache lies.
struct SeededProfile {
  std::wstring data, cache;
};

// Two Edge profiles (Local State names them), a Chrome profile found by its Preferences whose
// left-over lockfile no browser holds, a relative Firefox profile with its cache in the local
// folder, and one named by an absolute path elsewhere, its cache inside it.
class BrowserSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.File(L"local\\Microsoft\\Edge\\User Data\\Local State", 0,
              R"({"profile": {"info_cache": {"Default": {}, "Profile 1": {}}}})");
    tree.File(L"local\\Google\\Chrome\\User Data\\lockfile", 0, "");
    tree.File(L"roaming\\Mozilla\\Firefox\\profiles.ini", 0,
              "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\n"
              "IsRelative=1\r\nPath=Profiles/rel.default-release\r\n\r\n[Profile1]\r\n"
              "Name=work\r\nIsRelative=0\r\nPath=" +
                  platform::ToUtf8(tree / L"elsewhere\\abs-profile") + "\r\n");
    for (const SeededProfile& profile : profiles) {
      if (profile.data.find(L"Firefox") != std::wstring::npos ||
          profile.data.find(L"abs-profile") != std::wstring::npos)
        test::SeedFirefoxProfile(tree, profile.data, profile.cache);
      else
        test::SeedChromiumProfile(tree, profile.data);
    }
    tree.File(L"elsewhere\\bystander\\History", 0, test::kVisitedAddress);
    ASSERT_TRUE(Folder::Open(tree / L"local", &local).ok());
    ASSERT_TRUE(Folder::Open(tree / L"roaming", &roaming).ok());
    platform::tally::Reset();
  }

  browsers::BrowserCleaning Run(BrowserStep step) {
    browsers::HistoryEdits edits;
    edits.firefox = [this](const Folder& profile) {
      edited.push_back(L"places " + profile.path());
      return browsers::DatabaseEdit{};
    };
    edits.chromium_favicons = [this](const Folder& profile) {
      edited.push_back(L"favicons " + profile.path());
      return browsers::DatabaseEdit{};
    };
    return browsers::CleanBrowsers(step, &local, &roaming, edits);
  }

  // After `box`: exactly the files it erases are gone, each other file is as it was, every
  // folder of the caches stays, and the box's marker is left only in files kept on purpose.
  void ExpectErasedBy(const std::string& box, const std::string& marker,
                      const std::map<std::wstring, test::FileState>& before) {
    const std::map<std::wstring, test::FileState> after = test::FilesBelow(tree.path());
    for (const auto& [path, state] : before) {
      const auto now = after.find(path);
      if (test::ErasedBy(box, path)) {
        EXPECT_TRUE(now == after.end() || path.find(L"bystander") != std::wstring::npos)
            << platform::ToUtf8(path) << " is still there";
      } else {
        ASSERT_NE(now, after.end()) << platform::ToUtf8(path) << " went";
        EXPECT_EQ(now->second, state) << platform::ToUtf8(path) << " changed";
      }
    }
    EXPECT_LE(after.size(), before.size());
    for (const auto& [path, state] : after) {
      if (state.content.find(marker) != std::string::npos &&
          path.find(L"bystander") == std::wstring::npos) {
        EXPECT_TRUE(test::StaysOnPurpose(path)) << platform::ToUtf8(path) << " holds " << marker;
      }
    }
  }

  test::ScratchTree tree{L"browsers"};
  const std::vector<SeededProfile> profiles = {
      {L"local\\Microsoft\\Edge\\User Data\\Default\\",
       L"local\\Microsoft\\Edge\\User Data\\Default\\"},
      {L"local\\Microsoft\\Edge\\User Data\\Profile 1\\",
       L"local\\Microsoft\\Edge\\User Data\\Profile 1\\"},
      {L"local\\Google\\Chrome\\User Data\\Default\\",
       L"local\\Google\\Chrome\\User Data\\Default\\"},
      {L"roaming\\Mozilla\\Firefox\\Profiles\\rel.default-release\\",
       L"local\\Mozilla\\Firefox\\Profiles\\rel.default-release\\"},
      {L"elsewhere\\abs-profile\\", L"elsewhere\\abs-profile\\"}};
  Folder local, roaming;
  std::vector<std::wstring> edited;
};

TEST_F(BrowserSteps, CookiesGoWithTheStorageOfWebSitesAndExtensionsKeepTheirs) {
  const auto before = test::FilesBelow(tree.path());
  EXPECT_TRUE(Run(BrowserStep::kCookies).problems.empty());
  ExpectErasedBy("Cookies", test::kCookieHost, before);
  EXPECT_FALSE(tree.Exists(
      L"local\\Microsoft\\Edge\\User Data\\Profile 1\\IndexedDB\\https_cookie-host.example.org_0."
      L"indexeddb.leveldb"));
  EXPECT_TRUE(tree.Exists(L"elsewhere\\abs-profile\\storage\\default"));
  // Counted by the deletion core: in each Chromium profile 4 files of cookies, and 2 files in 4
  // folders of web sites; in each Firefox profile 2 files, and 2 files in 2 folders.
  EXPECT_EQ(platform::tally::Current().deleted, 3u * 10 + 2u * 6);
}

TEST_F(BrowserSteps, HistoryFilesGoAndEveryProfileHasItsDatabasesEdited) {
  const auto before = test::FilesBelow(tree.path());
  EXPECT_TRUE(Run(BrowserStep::kHistory).problems.empty());
  ExpectErasedBy("Historique", test::kVisitedAddress, before);
  const std::wstring root = tree.path();
  EXPECT_EQ(edited,
            (std::vector<std::wstring>{
                L"favicons " + root + profiles[0].data, L"favicons " + root + profiles[1].data,
                L"favicons " + root + profiles[2].data, L"places " + root + profiles[3].data,
                L"places " + root + profiles[4].data}));
}

TEST_F(BrowserSteps, CachesAreEmptiedAndKeepTheirFolders) {
  const auto before = test::FilesBelow(tree.path());
  const std::vector<std::wstring> folders = test::FoldersBelow(tree.path());
  EXPECT_TRUE(Run(BrowserStep::kCache).problems.empty());
  ExpectErasedBy("Cache", test::kCachedBody, before);
  EXPECT_EQ(test::FoldersBelow(tree.path()), folders);
}

TEST_F(BrowserSteps, ADatabaseLeftWholeIsReportedWithItsProfile) {
  browsers::HistoryEdits edits;
  edits.chromium_favicons = [](const Folder&) { return browsers::DatabaseEdit{}; };
  edits.firefox = [](const Folder&) {
    return browsers::DatabaseEdit{platform::Status::FromWin32(33), 0};  // locked
  };
  const auto problems = browsers::CleanBrowsers(BrowserStep::kHistory, &local, &roaming, edits);
  ASSERT_EQ(problems.problems.size(), 2u);
  EXPECT_EQ(problems.problems[0].kind, BrowserProblem::Kind::kDatabaseLeft);
  EXPECT_EQ(problems.problems[0].browser, L"Firefox");
  EXPECT_EQ(problems.problems[0].profile, L"Profiles\\rel.default-release");
  EXPECT_TRUE(problems.problems[1].cause.IsWin32(33));
}

// Chromium holds its lockfile for writing, shared for reading; Firefox holds parent.lock shared
// with no one. Each is then left whole, every step; Chrome's lockfile, there but held by no one,
// changes nothing.
TEST_F(BrowserSteps, ARunningBrowserIsLeftWholeAndNamed) {
  test::ChildProcess edge(L"hold_file.exe \"" +
                          (tree / L"local\\Microsoft\\Edge\\User Data\\lockfile") + L"\" chromium");
  ASSERT_TRUE(edge.WaitForLine(L"holding")) << edge.lines_read();
  test::ChildProcess firefox(L"hold_file.exe \"" + (tree / (profiles[3].data + L"parent.lock")) +
                             L"\" firefox");
  ASSERT_TRUE(firefox.WaitForLine(L"holding")) << firefox.lines_read();

  auto untouched = [&] {
    std::map<std::wstring, test::FileState> files;
    for (const auto& [path, state] : test::FilesBelow(tree.path())) {
      if (path.find(L"Edge") != std::wstring::npos || path.find(L"Firefox") != std::wstring::npos ||
          path.find(L"abs-profile") != std::wstring::npos)
        files[path] = state;
    }
    return files;
  };
  const auto before = untouched();
  for (BrowserStep step : {BrowserStep::kCookies, BrowserStep::kHistory, BrowserStep::kCache}) {
    const auto outcome = Run(step);
    ASSERT_EQ(outcome.problems.size(), 2u);
    EXPECT_EQ(outcome.problems[0].kind, BrowserProblem::Kind::kBrowserOpen);
    EXPECT_EQ(outcome.problems[0].browser, L"Edge");
    EXPECT_EQ(outcome.problems[1].kind, BrowserProblem::Kind::kBrowserOpen);
    EXPECT_EQ(outcome.problems[1].browser, L"Firefox");
  }
  EXPECT_EQ(untouched(), before);
  EXPECT_EQ(edited, std::vector<std::wstring>{L"favicons " + tree.path() + profiles[2].data});
  EXPECT_FALSE(tree.Exists(profiles[2].data + L"History"));  // Chrome was cleaned
}

// A profile folder that is a link, named by Local State or found in Firefox's Profiles, is
// never followed: what it leads to comes through whole, and the link is counted as left.
TEST_F(BrowserSteps, AProfileThatIsALinkIsLeftAndCounted) {
  test::SeedChromiumProfile(tree, L"elsewhere\\linked-edge\\");
  test::SeedFirefoxProfile(tree, L"elsewhere\\linked-firefox\\", L"elsewhere\\linked-firefox\\");
  tree.File(L"local\\Microsoft\\Edge\\User Data\\Local State", 0,
            R"({"profile": {"info_cache": {"Default": {}, "Profile 2": {}}}})");
  ASSERT_TRUE(test::MakeUnixLink(tree / L"elsewhere\\linked-edge",
                                 tree / L"local\\Microsoft\\Edge\\User Data\\Profile 2"));
  ASSERT_TRUE(test::MakeUnixLink(tree / L"elsewhere\\linked-firefox",
                                 tree / L"roaming\\Mozilla\\Firefox\\Profiles\\linked.default"));
  const auto before = test::FilesBelow(tree / L"elsewhere\\");
  for (BrowserStep step : {BrowserStep::kCookies, BrowserStep::kHistory, BrowserStep::kCache})
    EXPECT_TRUE(Run(step).problems.empty());
  EXPECT_EQ(test::FilesBelow(tree / L"elsewhere\\"), [&] {
    auto expected = before;  // the absolute profile is cleaned, the linked ones are not
    std::erase_if(expected, [](const auto& file) {
      return file.first.starts_with(L"abs-profile\\") &&
             (test::ErasedBy("Cookies", file.first) || test::ErasedBy("Cache", file.first));
    });
    return expected;
  }());
  EXPECT_EQ(platform::tally::Current().links, 3u * 2);  // each step met both links
}

}  // namespace
