#include "cleaners/browsers/history_databases.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/deletion.h"
#include "platform/erasure.h"
#include "platform/sqlite.h"
#include "platform/tally.h"
#include "platform/text.h"
#include "support/browser_profiles.h"
#include "support/processes.h"
#include "support/scratch.h"
#include "support/tree_snapshot.h"

namespace {

namespace deletion = platform::deletion;
namespace sqlite = platform::sqlite;

const test::SeededPages kPages = {
    {"http://erased-one.example/page?q=1", "http://erased-two.example/",
     "https://erased-three.example/a"},
    {"http://kept-one.example/bookmark", "https://kept-two.example/b"}};

// What a profile holds that no history edit may touch, byte for byte.
const std::vector<std::pair<const wchar_t*, const char*>> kSentinels = {
    {L"logins.json", "{\"logins\":[]}"},
    {L"Login Data", "SQLite format 3 login data"},
    {L"Preferences", "{\"profile\":{}}"},
    {L"extensions\\bloqueur@example.xpi", "PK extension"},
};

class Profile {
 public:
  explicit Profile(bool firefox) {
    for (const auto& [name, content] : kSentinels)
      tree_.File(name, 0, content);
    EXPECT_TRUE(firefox ? test::MakeFirefoxProfile(tree_.path(), kPages)
                        : test::MakeChromiumProfile(tree_.path(), kPages));
    bookmarks_ = Bytes(L"Bookmarks");
  }
  std::wstring operator/(const std::wstring& name) const { return tree_ / name; }
  test::ScratchTree& tree() { return tree_; }
  std::string Bytes(const std::wstring& name) const { return test::ReadFileBytes(tree_ / name); }
  deletion::Folder Open() const {
    deletion::Folder folder;
    EXPECT_TRUE(deletion::Folder::Open(tree_.path(), &folder));
    return folder;
  }
  bool SentinelsIntact() const {
    for (const auto& [name, content] : kSentinels) {
      if (tree_.Content(name) != content)
        return false;
    }
    return Bytes(L"Bookmarks") == bookmarks_;
  }
  // Whether any of `files` holds any of `urls`, or the host of one.
  bool AnyFileHolds(const std::vector<std::wstring>& files,
                    const std::vector<std::string>& urls) const {
    for (const std::wstring& file : files) {
      for (const std::string& url : urls) {
        const std::string host =
            url.substr(url.find("://") + 3, url.find('/', 8) - url.find("://") - 3);
        if (test::FileContains(tree_ / file, url) || test::FileContains(tree_ / file, host))
          return true;
      }
    }
    return false;
  }

 private:
  test::ScratchTree tree_{L"profile"};
  std::string bookmarks_;
};

std::int64_t Count(const std::wstring& database, const std::string& table) {
  return test::QueryInt(database, "SELECT count(*) FROM " + table);
}

TEST(FirefoxHistory, HistoryGoesAndEveryBookmarkKeywordAndFolderStaysWithItsGuid) {
  Profile profile(/*firefox=*/true);
  const std::wstring places = profile / L"places.sqlite";
  const std::wstring favicons = profile / L"favicons.sqlite";
  ASSERT_TRUE(profile.AnyFileHolds({L"places.sqlite-wal"}, kPages.visited));
  const std::vector<std::string> guids =
      test::QueryTexts(places, "SELECT guid FROM moz_bookmarks ORDER BY guid");
  platform::tally::Reset();

  const browsers::DatabaseEdit edit = browsers::ClearFirefoxHistory(profile.Open());

  ASSERT_TRUE(edit.status) << std::hex << edit.status.code();
  // 3 pages with their metadata, search query, origin, annotation and input history, 15
  // visits; in favicons.sqlite 3 pages, their 3 links to icons and the 3 icons.
  EXPECT_EQ(edit.rows, 3u * 6 + 15 + 3 * 3);
  EXPECT_EQ(platform::tally::Current().deleted, edit.rows);
  EXPECT_EQ(platform::tally::Current().bytes, 0u);
  EXPECT_EQ(test::QueryTexts(places, "SELECT guid FROM moz_bookmarks ORDER BY guid"), guids);
  EXPECT_EQ(test::QueryTexts(places, "SELECT url FROM moz_places ORDER BY id"), kPages.bookmarked);
  EXPECT_EQ(test::QueryInt(places,
                           "SELECT count(*) FROM moz_keywords WHERE keyword = 'motcle'"
                           " AND place_id = (SELECT fk FROM moz_bookmarks WHERE guid = '" +
                               test::FirefoxBookmarkGuid(0) + "')"),
            1);
  EXPECT_EQ(Count(places, "moz_items_annos"), 1);
  EXPECT_EQ(test::QueryInt(places,
                           "SELECT count(*) FROM moz_places WHERE visit_count = 0 AND"
                           " last_visit_date IS NULL AND recalc_frecency = 1 AND"
                           " recalc_alt_frecency = 1"),
            2);
  for (const char* emptied : {"moz_historyvisits", "moz_annos", "moz_inputhistory",
                              "moz_places_metadata", "moz_places_metadata_search_queries"})
    EXPECT_EQ(Count(places, emptied), 0) << emptied;
  EXPECT_EQ(Count(places, "moz_origins"), 2);
  EXPECT_EQ(test::QueryTexts(favicons, "SELECT page_url FROM moz_pages_w_icons ORDER BY id"),
            kPages.bookmarked);
  EXPECT_EQ(Count(favicons, "moz_icons"), 2);
  EXPECT_EQ(Count(favicons, "moz_icons_to_pages"), 2);

  EXPECT_FALSE(profile.AnyFileHolds(
      {L"places.sqlite", L"places.sqlite-wal", L"favicons.sqlite", L"favicons.sqlite-wal"},
      kPages.visited));
  EXPECT_TRUE(profile.AnyFileHolds({L"places.sqlite"}, {kPages.bookmarked[1]}));
  EXPECT_TRUE(profile.SentinelsIntact());
}

// Another program's connection, open but idle, does not hold the database: the log it keeps
// open must not keep the erased history either.
TEST(FirefoxHistory, TheLogKeepsNothingWhileAnotherConnectionStaysOpen) {
  Profile profile(/*firefox=*/true);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open_v2(platform::ToUtf8(profile / L"places.sqlite").c_str(), &other,
                            SQLITE_OPEN_READONLY, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "SELECT count(*) FROM moz_places", nullptr, nullptr, nullptr),
            SQLITE_OK);
  const browsers::DatabaseEdit edit = browsers::ClearFirefoxHistory(profile.Open());
  EXPECT_TRUE(edit.status) << std::hex << edit.status.code();
  EXPECT_FALSE(profile.AnyFileHolds({L"places.sqlite", L"places.sqlite-wal"}, kPages.visited));
  sqlite3_close_v2(other);
}

TEST(ChromiumFavicons, OnlyTheIconsOfBookmarkedPagesStay) {
  Profile profile(/*firefox=*/false);
  const std::wstring favicons = profile / L"Favicons";
  const std::string history = profile.Bytes(L"History");
  platform::tally::Reset();

  const browsers::DatabaseEdit edit = browsers::ClearChromiumFavicons(profile.Open());

  ASSERT_TRUE(edit.status) << std::hex << edit.status.code();
  EXPECT_EQ(edit.rows, 3u * 3);
  EXPECT_EQ(platform::tally::Current().deleted, edit.rows);
  EXPECT_EQ(test::QueryTexts(favicons, "SELECT page_url FROM icon_mapping ORDER BY id"),
            kPages.bookmarked);
  EXPECT_EQ(Count(favicons, "favicons"), 2);
  EXPECT_EQ(Count(favicons, "favicon_bitmaps"), 2);
  EXPECT_FALSE(profile.AnyFileHolds({L"Favicons"}, kPages.visited));
  EXPECT_EQ(profile.Bytes(L"History"), history);  // the History file is not this edit's
  EXPECT_TRUE(profile.SentinelsIntact());
}

TEST(ChromiumFavicons, BookmarksThatCannotBeReadLeaveEveryIcon) {
  Profile profile(/*firefox=*/false);
  profile.tree().File(L"Bookmarks", 0, "{\"roots\": {\"bookmark_bar\": ");  // cut short
  const std::string before = profile.Bytes(L"Favicons");
  const browsers::DatabaseEdit edit = browsers::ClearChromiumFavicons(profile.Open());
  EXPECT_TRUE(sqlite::IsDamaged(edit.status));
  EXPECT_EQ(edit.rows, 0u);
  EXPECT_EQ(profile.Bytes(L"Favicons"), before);
}

TEST(HistoryDatabases, AProfileWithoutTheDatabasesIsNoFailure) {
  test::ScratchTree empty;
  deletion::Folder folder;
  ASSERT_TRUE(deletion::Folder::Open(empty.path(), &folder));
  for (const browsers::DatabaseEdit& edit :
       {browsers::ClearFirefoxHistory(folder), browsers::ClearChromiumFavicons(folder)}) {
    EXPECT_TRUE(edit.status);
    EXPECT_EQ(edit.rows, 0u);
  }
  EXPECT_EQ(empty.CountEntries(), 0);
}

// Held by its browser, damaged before or half-way through the edit: left byte for byte.
TEST(HistoryDatabases, ADatabaseHeldOrDamagedIsLeftByteForByte) {
  struct Case {
    const char* what;
    bool firefox;
    const wchar_t* database;
  };
  for (const Case& c : {Case{"held", true, L"places.sqlite"}, Case{"held", false, L"Favicons"},
                        Case{"not a database", true, L"places.sqlite"},
                        Case{"damaged half-way", false, L"Favicons"}}) {
    SCOPED_TRACE(std::string(c.what) + (c.firefox ? " Firefox" : " Chromium"));
    Profile profile(c.firefox);
    std::unique_ptr<test::ChildProcess> holder;
    if (std::string(c.what) == "held") {
      holder = std::make_unique<test::ChildProcess>(L"hold_database.exe \"" +
                                                    (profile / c.database) + L"\"");
      ASSERT_TRUE(holder->WaitForLine(L"holding")) << holder->lines_read();
    } else if (std::string(c.what) == "not a database") {
      profile.tree().File(c.database, 0, std::string(40000, 'Z') + "http://erased-one.example");
      DeleteFileW((profile / L"places.sqlite-wal").c_str());
    } else {
      // The last page of the file (the last index made) turns to garbage: the edit meets it
      // after it has deleted rows of other tables.
      std::string bytes = profile.Bytes(c.database);
      ASSERT_GT(bytes.size(), 4096u * 4);
      bytes.replace(bytes.size() - 4096, 4096, std::string(4096, '\xff'));
      profile.tree().File(c.database, 0, bytes);
    }
    std::vector<std::string> before;
    const std::vector<std::wstring> files = {L"places.sqlite", L"places.sqlite-wal",
                                             L"favicons.sqlite", L"favicons.sqlite-wal",
                                             L"Favicons"};
    for (const std::wstring& file : files)
      before.push_back(profile.Bytes(file));

    const browsers::DatabaseEdit edit = c.firefox ? browsers::ClearFirefoxHistory(profile.Open())
                                                  : browsers::ClearChromiumFavicons(profile.Open());

    if (holder)
      EXPECT_TRUE(sqlite::IsBusy(edit.status)) << std::hex << edit.status.code();
    else
      EXPECT_TRUE(sqlite::IsDamaged(edit.status)) << std::hex << edit.status.code();
    holder.reset();
    EXPECT_EQ(edit.rows, 0u);
    for (std::size_t i = 0; i < files.size(); ++i)
      EXPECT_EQ(profile.Bytes(files[i]), before[i]) << files[i];
    EXPECT_FALSE(profile.tree().Exists(std::wstring(c.database) + L"-journal"));
    EXPECT_TRUE(profile.SentinelsIntact());
  }
}

}  // namespace

namespace {

// Counting the edits reads each database, and the log Firefox's holds, into memory and leaves
// every file as it was; the edit that follows erases the rows counted.
TEST(HistoryDatabases, CountingChangesNoFileAndFindsTheRowsTheEditErases) {
  for (bool firefox : {true, false}) {
    SCOPED_TRACE(firefox ? "Firefox" : "Chromium");
    Profile profile(firefox);
    auto edit = [&] {
      const deletion::Folder folder = profile.Open();
      return firefox ? browsers::ClearFirefoxHistory(folder)
                     : browsers::ClearChromiumFavicons(folder);
    };
    const std::string before = test::SnapshotTree(profile.tree().path());
    platform::tally::Reset();
    browsers::DatabaseEdit counted;
    {
      platform::erasure::CountingScope counting;
      counted = edit();
    }
    EXPECT_TRUE(counted.status.ok()) << platform::ToUtf8(counted.status.Describe());
    EXPECT_EQ(test::SnapshotTree(profile.tree().path()), before);
    EXPECT_EQ(platform::tally::Current().deleted, counted.rows);

    const browsers::DatabaseEdit erased = edit();
    EXPECT_TRUE(erased.status.ok());
    EXPECT_GT(erased.rows, 0u);
    EXPECT_EQ(counted.rows, erased.rows);
    EXPECT_TRUE(profile.SentinelsIntact());
  }
}

}  // namespace
