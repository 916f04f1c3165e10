#pragma once
// Browser profiles for tests: databases made with the schemas that Debian's chromium and
// firefox-esr write themselves (tests/fixtures/browsers/*.sql, remade by
// tools/make_browser_schemas), with the program's own SQLite, seeded with visits, bookmarks,
// keywords, icons and cookies. Addresses are ASCII, so a byte search of a file finds them.

#include <cstdint>
#include <string>
#include <vector>

namespace test {

enum class BrowserDatabase {
  kChromiumHistory,
  kChromiumFavicons,
  kChromiumCookies,
  kFirefoxPlaces,
  kFirefoxFavicons,
  kFirefoxCookies,
};

// The schema of `kind`, as the browser wrote it.
const char* BrowserSchema(BrowserDatabase kind);

// Creates the database `path` with the schema of `kind`, in the journal mode its browser uses
// (write-ahead log for Firefox's). False when it exists already or cannot be made.
bool MakeBrowserDatabase(BrowserDatabase kind, const std::wstring& path);

// Runs statements on the database `path` (false on any failure). With `keep_log` the
// write-ahead log is left holding the writes, as a browser that was ended leaves it.
bool RunSql(const std::wstring& path, const std::string& sql, bool keep_log = false);
// Puts the database `path` in write-ahead-log mode (false on failure).
bool UseWriteAheadLog(const std::wstring& path);
// The first column of the first row of `sql` (-1 when it fails or returns no row).
std::int64_t QueryInt(const std::wstring& path, const std::string& sql);
// The first column of every row of `sql`.
std::vector<std::string> QueryTexts(const std::wstring& path, const std::string& sql);

// Whether the file `path` holds `bytes` anywhere (false when it cannot be read).
bool FileContains(const std::wstring& path, const std::string& bytes);

// Pages of a seeded profile: `visited` ones are history only; `bookmarked` ones are bookmarks
// (visited too), in a folder "Liens" of the toolbar; the first bookmarked one has a keyword.
struct SeededPages {
  std::vector<std::string> visited;
  std::vector<std::string> bookmarked;
};

// The bookmark, keyword and folder GUIDs a Firefox profile is seeded with.
inline constexpr char kFirefoxFolderGuid[] = "liensFolder1";
inline constexpr char kFirefoxKeyword[] = "motcle";
// The GUID of the bookmark of `pages.bookmarked[index]`.
std::string FirefoxBookmarkGuid(std::size_t index);

// Firefox: places.sqlite (origins, places, three visits a page, bookmarks and their folder, a
// keyword, an annotation and input history and page metadata with a search query for each
// visited page, an item annotation on the folder) and favicons.sqlite (an icon for each page)
// in `profile` (ending in "\"). The write-ahead logs are left holding the last writes.
bool MakeFirefoxProfile(const std::wstring& profile, const SeededPages& pages);

// Chromium: History (urls, two visits a page, a search term, a segment and its usage, a
// download), Favicons (an icon for each page) and the Bookmarks file, in `profile`.
bool MakeChromiumProfile(const std::wstring& profile, const SeededPages& pages);

// Cookie databases with a cookie for each host: Chromium's Cookies and Firefox's cookies.sqlite.
bool MakeChromiumCookies(const std::wstring& path, const std::vector<std::string>& hosts);
bool MakeFirefoxCookies(const std::wstring& path, const std::vector<std::string>& hosts);

}  // namespace test
