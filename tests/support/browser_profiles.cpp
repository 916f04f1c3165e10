#include "tests/support/browser_profiles.h"

#include <windows.h>

#include <sqlite3.h>

#include <cstdio>
#include <string_view>

#include "platform/text.h"
#include "tests/support/scratch.h"

// The schemas, compiled in from tests/fixtures/browsers/*.sql (see tests/CMakeLists.txt).
namespace test::schemas {
extern const char chromium_history[];
extern const char chromium_favicons[];
extern const char chromium_cookies[];
extern const char firefox_places[];
extern const char firefox_favicons[];
extern const char firefox_cookies[];
}  // namespace test::schemas

namespace test {
namespace {

// A test's own connection, closed when it goes.
class Connection {
 public:
  Connection(const std::wstring& path, int flags) {
    if (sqlite3_open_v2(platform::ToUtf8(path).c_str(), &db_, flags, nullptr) != SQLITE_OK) {
      sqlite3_close_v2(db_);
      db_ = nullptr;
    }
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() { sqlite3_close_v2(db_); }
  sqlite3* get() const { return db_; }
  // Runs statements; a failure is printed, for the test's log.
  bool Run(const std::string& sql) {
    if (db_ && sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK)
      return true;
    std::fprintf(stderr, "SQL failed: %s\n", db_ ? sqlite3_errmsg(db_) : "no database");
    return false;
  }

 private:
  sqlite3* db_ = nullptr;
};

bool IsFirefox(BrowserDatabase kind) {
  return kind == BrowserDatabase::kFirefoxPlaces || kind == BrowserDatabase::kFirefoxFavicons ||
         kind == BrowserDatabase::kFirefoxCookies;
}

// The host of an address ("http://host/path" gives "host").
std::string HostOf(const std::string& url) {
  const std::size_t start = url.find("://");
  const std::size_t from = start == std::string::npos ? 0 : start + 3;
  return url.substr(from, url.find('/', from) - from);
}

std::string Quoted(std::string_view text) {
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

bool WriteFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  const BOOL wrote =
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return wrote && written == bytes.size();
}

constexpr std::int64_t kVisitTime = 1765000000000000;  // microseconds, late 2025

std::vector<std::string> AllPages(const SeededPages& pages) {
  std::vector<std::string> all = pages.visited;
  all.insert(all.end(), pages.bookmarked.begin(), pages.bookmarked.end());
  return all;
}

std::string FirefoxPlacesSql(const SeededPages& pages) {
  std::string sql =
      "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid, dateAdded,"
      " lastModified) VALUES (1, 2, NULL, 0, 0, '', 'root________', 1, 1),"
      " (2, 2, NULL, 1, 0, 'menu', 'menu________', 1, 1),"
      " (3, 2, NULL, 1, 1, 'toolbar', 'toolbar_____', 1, 1),"
      " (4, 2, NULL, 3, 0, 'Liens', " +
      Quoted(kFirefoxFolderGuid) +
      ", 1, 1);"
      "INSERT INTO moz_anno_attributes (id, name) VALUES (1, 'downloads/destinationFileURI'),"
      " (2, 'bookmarkProperties/description');"
      "INSERT INTO moz_items_annos (item_id, anno_attribute_id, content) VALUES"
      " (4, 2, 'Dossier de liens');";
  const std::vector<std::string> all = AllPages(pages);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string id = std::to_string(i + 1);
    const std::string host = HostOf(all[i]);
    const bool bookmarked = i >= pages.visited.size();
    const std::size_t mark = i - pages.visited.size();
    const int foreign = bookmarked ? (mark == 0 ? 2 : 1) : 0;
    std::string reversed(host.rbegin(), host.rend());
    char guid[16];
    std::snprintf(guid, sizeof guid, "page%08zu", i + 1);
    sql += "INSERT OR IGNORE INTO moz_origins (prefix, host, frecency) VALUES ('http://', " +
           Quoted(host) + ", 100);";
    sql +=
        "INSERT INTO moz_places (id, url, title, rev_host, visit_count, last_visit_date, guid,"
        " foreign_count, url_hash, frecency, origin_id) VALUES (" +
        id + ", " + Quoted(all[i]) + ", " + Quoted("Titre " + host) + ", " +
        Quoted(reversed + ".") + ", 3, " + std::to_string(kVisitTime + 2) + ", '" + guid + "', " +
        std::to_string(foreign) + ", " + std::to_string((i + 1) * 7919) +
        ", 100, (SELECT id FROM moz_origins WHERE host = " + Quoted(host) + "));";
    for (int visit = 0; visit < 3; ++visit)
      sql += "INSERT INTO moz_historyvisits (place_id, visit_date, visit_type) VALUES (" + id +
             ", " + std::to_string(kVisitTime + visit) + ", 1);";
    if (bookmarked) {
      sql +=
          "INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid, dateAdded,"
          " lastModified) VALUES (1, " +
          id + ", 4, " + std::to_string(mark) + ", " + Quoted("Favori " + host) + ", " +
          Quoted(FirefoxBookmarkGuid(mark)) + ", 1, 1);";
      if (mark == 0)
        sql += "INSERT INTO moz_keywords (keyword, place_id) VALUES (" + Quoted(kFirefoxKeyword) +
               ", " + id + ");";
    } else {
      sql += "INSERT INTO moz_annos (place_id, anno_attribute_id, content) VALUES (" + id +
             ", 1, " + Quoted("file:///C:/Telechargements/" + host) + ");";
      sql += "INSERT INTO moz_inputhistory (place_id, input, use_count) VALUES (" + id + ", " +
             Quoted("saisie " + host) + ", 1);";
      sql += "INSERT INTO moz_places_metadata_search_queries (id, terms) VALUES (" + id + ", " +
             Quoted("recherche " + host) + ");";
      sql += "INSERT INTO moz_places_metadata (place_id, created_at, search_query_id) VALUES (" +
             id + ", " + std::to_string(kVisitTime) + ", " + id + ");";
    }
  }
  return sql;
}

std::string FirefoxFaviconsSql(const SeededPages& pages) {
  std::string sql;
  const std::vector<std::string> all = AllPages(pages);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string id = std::to_string(i + 1);
    sql += "INSERT INTO moz_icons (id, icon_url, fixed_icon_url_hash, width, data) VALUES (" + id +
           ", " + Quoted("http://" + HostOf(all[i]) + "/icon.png") + ", " + id +
           ", 16, X'89504E470D0A1A0A');";
    sql += "INSERT INTO moz_pages_w_icons (id, page_url, page_url_hash) VALUES (" + id + ", " +
           Quoted(all[i]) + ", " + id + ");";
    sql += "INSERT INTO moz_icons_to_pages (page_id, icon_id) VALUES (" + id + ", " + id + ");";
  }
  return sql;
}

std::string ChromiumHistorySql(const SeededPages& pages) {
  std::string sql;
  const std::vector<std::string> all = AllPages(pages);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string id = std::to_string(i + 1);
    const std::string host = HostOf(all[i]);
    sql += "INSERT INTO urls (id, url, title, visit_count, last_visit_time) VALUES (" + id + ", " +
           Quoted(all[i]) + ", " + Quoted("Titre " + host) + ", 2, " + std::to_string(kVisitTime) +
           ");";
    for (int visit = 0; visit < 2; ++visit)
      sql += "INSERT INTO visits (url, visit_time, transition) VALUES (" + id + ", " +
             std::to_string(kVisitTime + visit) + ", 805306368);";
    sql += "INSERT INTO keyword_search_terms VALUES (2, " + id + ", " + Quoted("terme " + host) +
           ", " + Quoted("terme " + host) + ");";
    sql += "INSERT INTO segments (id, name, url_id) VALUES (" + id + ", " +
           Quoted("http://" + host + "/") + ", " + id + ");";
    sql += "INSERT INTO segment_usage (segment_id, time_slot, visit_count) VALUES (" + id + ", " +
           std::to_string(kVisitTime) + ", 2);";
  }
  if (!all.empty())
    sql +=
        "INSERT INTO downloads VALUES (1, 'download-guid', 'C:\\Telechargements\\fichier.zip',"
        " 'C:\\Telechargements\\fichier.zip', 1, 10, 10, 1, 0, 0, X'', 2, 0, 0, 0, " +
        Quoted(all[0]) + ", " + Quoted(all[0]) + ", '', " + Quoted(all[0]) +
        ", '', 'GET', '', '', '', '', '', 'application/zip', 'application/zip');";
  return sql;
}

std::string ChromiumFaviconsSql(const SeededPages& pages) {
  std::string sql;
  const std::vector<std::string> all = AllPages(pages);
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string id = std::to_string(i + 1);
    sql += "INSERT INTO favicons (id, url, icon_type) VALUES (" + id + ", " +
           Quoted("http://" + HostOf(all[i]) + "/favicon.ico") + ", 1);";
    sql +=
        "INSERT INTO favicon_bitmaps (icon_id, last_updated, image_data, width, height) VALUES"
        " (" +
        id + ", 1, X'89504E470D0A1A0A', 16, 16);";
    sql +=
        "INSERT INTO icon_mapping (page_url, icon_id) VALUES (" + Quoted(all[i]) + ", " + id + ");";
  }
  return sql;
}

std::string ChromiumBookmarksJson(const SeededPages& pages) {
  std::string links;
  for (std::size_t i = 0; i < pages.bookmarked.size(); ++i) {
    if (i)
      links += ",";
    links += R"({"date_added":"13400000000000000","guid":"00000000-0000-4000-8000-00000000000)" +
             std::to_string(i) + R"(","id":")" + std::to_string(10 + i) + R"(","name":"Favori )" +
             HostOf(pages.bookmarked[i]) + R"(","type":"url","url":")" + pages.bookmarked[i] +
             R"("})";
  }
  return R"({"checksum":"","roots":{"bookmark_bar":{"children":[{"children":[)" + links +
         R"(],"guid":"liens-folder","id":"5","name":"Liens","type":"folder"}],"id":"1",)"
         R"("name":"Barre de favoris","type":"folder"},"other":{"children":[],"id":"2",)"
         R"("name":"Autres favoris","type":"folder"},"synced":{"children":[],"id":"3",)"
         R"("name":"Favoris mobiles","type":"folder"}},"version":1})"
         "\n";
}

}  // namespace

const char* BrowserSchema(BrowserDatabase kind) {
  switch (kind) {
    case BrowserDatabase::kChromiumHistory:
      return schemas::chromium_history;
    case BrowserDatabase::kChromiumFavicons:
      return schemas::chromium_favicons;
    case BrowserDatabase::kChromiumCookies:
      return schemas::chromium_cookies;
    case BrowserDatabase::kFirefoxPlaces:
      return schemas::firefox_places;
    case BrowserDatabase::kFirefoxFavicons:
      return schemas::firefox_favicons;
    case BrowserDatabase::kFirefoxCookies:
      return schemas::firefox_cookies;
  }
  return "";
}

bool MakeBrowserDatabase(BrowserDatabase kind, const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
    return false;
  Connection db(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  const std::string pragmas = IsFirefox(kind)
                                  ? "PRAGMA page_size = 32768; PRAGMA journal_mode = WAL;"
                                  : "PRAGMA page_size = 4096;";
  // The version rows the browsers check first: Chromium's "meta", Firefox's "moz_meta".
  const std::string version = !IsFirefox(kind)
                                  ? "INSERT INTO meta (key, value) VALUES ('version', 1)"
                              : kind == BrowserDatabase::kFirefoxPlaces
                                  ? "INSERT INTO moz_meta (key, value) VALUES ('version', 1)"
                                  : "";
  return db.Run(pragmas) && db.Run(BrowserSchema(kind)) && db.Run(version);
}

bool RunSql(const std::wstring& path, const std::string& sql, bool keep_log) {
  Connection db(path, SQLITE_OPEN_READWRITE);
  if (!db.get())
    return false;
  if (keep_log) {
    int on = 1;
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_file_control(db.get(), "main", SQLITE_FCNTL_PERSIST_WAL, &on);
  }
  return db.Run("BEGIN; " + sql + "; COMMIT;");
}

bool UseWriteAheadLog(const std::wstring& path) {
  Connection db(path, SQLITE_OPEN_READWRITE);
  return db.get() && db.Run("PRAGMA journal_mode = WAL");
}

std::int64_t QueryInt(const std::wstring& path, const std::string& sql) {
  Connection db(path, SQLITE_OPEN_READONLY);
  sqlite3_stmt* statement = nullptr;
  std::int64_t value = -1;
  if (db.get() && sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW)
    value = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  return value;
}

std::vector<std::string> QueryTexts(const std::wstring& path, const std::string& sql) {
  Connection db(path, SQLITE_OPEN_READONLY);
  sqlite3_stmt* statement = nullptr;
  std::vector<std::string> texts;
  if (db.get() && sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
    while (sqlite3_step(statement) == SQLITE_ROW) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
      texts.emplace_back(text ? text : "");
    }
  }
  sqlite3_finalize(statement);
  return texts;
}

bool FileContains(const std::wstring& path, const std::string& bytes) {
  const std::string content = ReadFileBytes(path, std::size_t{64} << 20);
  return content != "<unreadable>" && content.find(bytes) != std::string::npos;
}

std::string FirefoxBookmarkGuid(std::size_t index) {
  char guid[16];
  std::snprintf(guid, sizeof guid, "favori%06zu", index);
  return guid;
}

bool MakeFirefoxProfile(const std::wstring& profile, const SeededPages& pages) {
  return MakeBrowserDatabase(BrowserDatabase::kFirefoxPlaces, profile + L"places.sqlite") &&
         MakeBrowserDatabase(BrowserDatabase::kFirefoxFavicons, profile + L"favicons.sqlite") &&
         RunSql(profile + L"places.sqlite", FirefoxPlacesSql(pages), /*keep_log=*/true) &&
         RunSql(profile + L"favicons.sqlite", FirefoxFaviconsSql(pages), /*keep_log=*/true);
}

bool MakeChromiumProfile(const std::wstring& profile, const SeededPages& pages) {
  return MakeBrowserDatabase(BrowserDatabase::kChromiumHistory, profile + L"History") &&
         MakeBrowserDatabase(BrowserDatabase::kChromiumFavicons, profile + L"Favicons") &&
         RunSql(profile + L"History", ChromiumHistorySql(pages)) &&
         RunSql(profile + L"Favicons", ChromiumFaviconsSql(pages)) &&
         WriteFile(profile + L"Bookmarks", ChromiumBookmarksJson(pages));
}

bool MakeChromiumCookies(const std::wstring& path, const std::vector<std::string>& hosts) {
  std::string sql;
  for (const std::string& host : hosts)
    sql += "INSERT INTO cookies VALUES (1, " + Quoted("." + host) +
           ", '', 'sid', '', X'7631300102030405', '/', " + std::to_string(kVisitTime * 2) +
           ", 0, 0, 1, 1, 1, 1, -1, 1, 80, 1, 0, 0);";
  return MakeBrowserDatabase(BrowserDatabase::kChromiumCookies, path) && RunSql(path, sql);
}

bool MakeFirefoxCookies(const std::wstring& path, const std::vector<std::string>& hosts) {
  std::string sql;
  for (const std::string& host : hosts)
    sql +=
        "INSERT INTO moz_cookies (name, value, host, path, expiry, lastAccessed, creationTime,"
        " isSecure, isHttpOnly) VALUES ('sid', 'valeur', " +
        Quoted("." + host) + ", '/', 1900000000, 1, 1, 0, 0);";
  return MakeBrowserDatabase(BrowserDatabase::kFirefoxCookies, path) &&
         RunSql(path, sql, /*keep_log=*/true);
}

}  // namespace test
