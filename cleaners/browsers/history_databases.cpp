#include "cleaners/browsers/history_databases.h"

#include <nlohmann/json.hpp>

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/sqlite.h"
#include "platform/tally.h"

namespace browsers {
namespace {

using platform::Status;
using platform::sqlite::Database;
using platform::sqlite::Statement;
using platform::sqlite::Transaction;

// The largest Bookmarks file read: far beyond a real one (a few MB for 100,000 bookmarks).
constexpr std::uint64_t kBookmarksLimit = 256u << 20;

// Runs a DELETE and adds the rows it erased to `*rows`.
Status Delete(Database& database, const char* sql, std::uint64_t* rows) {
  NIMBREL_TRY(database.Execute(sql));
  *rows += database.Changes();
  return Status::Ok();
}

// The same where the table exists (tables come and go with the browser's versions).
Status DeleteIfTable(Database& database, const char* table, const char* sql, std::uint64_t* rows) {
  return database.HasTable(table) ? Delete(database, sql, rows) : Status::Ok();
}

// What Firefox's own "clear history" does to places.sqlite, in one transaction. Firefox's
// triggers live only in its own connection: every table is seen to here.
Status ClearPlaces(Database& places, std::uint64_t* rows) {
  Transaction transaction(places);
  NIMBREL_TRY(transaction.Begin());
  std::uint64_t erased = 0;
  NIMBREL_TRY(
      DeleteIfTable(places, "moz_places_metadata", "DELETE FROM moz_places_metadata", &erased));
  NIMBREL_TRY(DeleteIfTable(places, "moz_places_metadata_search_queries",
                            "DELETE FROM moz_places_metadata_search_queries", &erased));
  // Bookmarks and keywords raise a place's foreign_count: those places stay.
  NIMBREL_TRY(Delete(places, "DELETE FROM moz_places WHERE foreign_count = 0", &erased));
  NIMBREL_TRY(Delete(places,
                     "DELETE FROM moz_origins WHERE id NOT IN"
                     " (SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL)",
                     &erased));
  NIMBREL_TRY(Delete(
      places, "DELETE FROM moz_annos WHERE place_id NOT IN (SELECT id FROM moz_places)", &erased));
  NIMBREL_TRY(Delete(
      places, "DELETE FROM moz_inputhistory WHERE place_id NOT IN (SELECT id FROM moz_places)",
      &erased));
  NIMBREL_TRY(DeleteIfTable(places, "moz_places_extra",
                            "DELETE FROM moz_places_extra"
                            " WHERE place_id NOT IN (SELECT id FROM moz_places)",
                            &erased));
  NIMBREL_TRY(DeleteIfTable(places, "moz_newtab_shortcuts_interaction",
                            "DELETE FROM moz_newtab_shortcuts_interaction"
                            " WHERE place_id NOT IN (SELECT id FROM moz_places)",
                            &erased));
  NIMBREL_TRY(DeleteIfTable(places, "moz_historyvisits_extra",
                            "DELETE FROM moz_historyvisits_extra", &erased));
  NIMBREL_TRY(Delete(places, "DELETE FROM moz_historyvisits", &erased));
  // The places that stay (bookmarked) were never visited now; Firefox recomputes their
  // frecency when it sees the mark.
  NIMBREL_TRY(places.Execute(
      "UPDATE moz_places SET visit_count = 0, last_visit_date = NULL, recalc_frecency = 1"));
  if (places.HasColumn("moz_places", "recalc_alt_frecency"))
    NIMBREL_TRY(places.Execute("UPDATE moz_places SET recalc_alt_frecency = 1"));
  NIMBREL_TRY(transaction.Commit());
  *rows += erased;
  return Status::Ok();
}

// Fills the in-memory table temp.kept_pages of `database` with `urls`.
Status KeepPages(Database& database, const std::vector<std::string>& urls) {
  NIMBREL_TRY(
      database.Execute("DROP TABLE IF EXISTS temp.kept_pages;"
                       "CREATE TEMP TABLE kept_pages (url TEXT PRIMARY KEY) WITHOUT ROWID;"));
  Statement insert;
  NIMBREL_TRY(database.Prepare("INSERT OR IGNORE INTO temp.kept_pages VALUES (?1)", &insert));
  for (const std::string& url : urls) {
    NIMBREL_TRY(insert.Bind(1, url));
    NIMBREL_TRY(insert.Run());
    NIMBREL_TRY(insert.Reset());
  }
  return Status::Ok();
}

// The addresses places.sqlite still holds (the bookmarked ones, once cleared).
Status PlacesUrls(Database& places, std::vector<std::string>* urls) {
  Statement query;
  NIMBREL_TRY(places.Prepare("SELECT url FROM moz_places WHERE url IS NOT NULL", &query));
  for (;;) {
    bool row = false;
    NIMBREL_TRY(query.Step(&row));
    if (!row)
      return Status::Ok();
    urls->push_back(query.Text(0));
  }
}

// Keeps the pages `kept` of an icons database and the icons they use: the statements, run in
// one transaction with those pages in temp.kept_pages, erase the rest.
Status KeepIconsOfPages(Database& icons, const std::vector<std::string>& kept,
                        std::initializer_list<const char*> statements, std::uint64_t* rows) {
  NIMBREL_TRY(KeepPages(icons, kept));
  Transaction transaction(icons);
  NIMBREL_TRY(transaction.Begin());
  std::uint64_t erased = 0;
  for (const char* statement : statements)
    NIMBREL_TRY(Delete(icons, statement, &erased));
  NIMBREL_TRY(transaction.Commit());
  *rows += erased;
  return Status::Ok();
}

// favicons.sqlite keeps the pages still in places and the icons they use. Firefox's own
// hash() function is not here: pages are compared by their address.
Status ClearFirefoxFavicons(Database& favicons, const std::vector<std::string>& kept,
                            std::uint64_t* rows) {
  return KeepIconsOfPages(
      favicons, kept,
      {"DELETE FROM moz_pages_w_icons WHERE page_url NOT IN (SELECT url FROM temp.kept_pages)",
       "DELETE FROM moz_icons_to_pages WHERE page_id NOT IN (SELECT id FROM moz_pages_w_icons)",
       "DELETE FROM moz_icons WHERE id NOT IN (SELECT icon_id FROM moz_icons_to_pages)"},
      rows);
}

// Chromium's Favicons keeps the rows of bookmarked pages and the icons they use.
Status ClearChromiumFaviconRows(Database& favicons, const std::vector<std::string>& bookmarked,
                                std::uint64_t* rows) {
  return KeepIconsOfPages(
      favicons, bookmarked,
      {"DELETE FROM icon_mapping WHERE page_url NOT IN (SELECT url FROM temp.kept_pages)",
       "DELETE FROM favicons WHERE id NOT IN"
       " (SELECT icon_id FROM icon_mapping WHERE icon_id IS NOT NULL)",
       "DELETE FROM favicon_bitmaps WHERE icon_id NOT IN (SELECT id FROM favicons)"},
      rows);
}

// The addresses of the bookmarks in Chromium's Bookmarks file: every node of type "url" below
// "roots", however deep. A file that is no such JSON fails (the icons then all stay).
Status BookmarkedUrls(const std::string& json_text, std::vector<std::string>* urls) {
  const nlohmann::json document = nlohmann::json::parse(json_text, nullptr, false);
  if (document.is_discarded() || !document.is_object() || !document.contains("roots"))
    return platform::sqlite::Damaged();
  std::vector<const nlohmann::json*> pending = {&document["roots"]};
  while (!pending.empty()) {
    const nlohmann::json& node = *pending.back();
    pending.pop_back();
    if (node.is_array()) {
      for (const nlohmann::json& child : node)
        pending.push_back(&child);
    } else if (node.is_object()) {
      const auto type = node.find("type");
      const auto url = node.find("url");
      if (type != node.end() && *type == "url" && url != node.end() && url->is_string())
        urls->push_back(url->get<std::string>());
      for (const auto& [key, value] : node.items()) {
        if (value.is_structured())
          pending.push_back(&value);
      }
    }
  }
  return Status::Ok();
}

// Compacts after a committed edit: the rows are gone whatever the outcome, which is reported.
DatabaseEdit Finish(Database& database, Status edited, std::uint64_t rows) {
  if (edited)
    edited = database.Compact();
  return {edited, rows};
}

bool IsMissing(const Status& status) {
  return platform::deletion::IsGone(status);
}

}  // namespace

DatabaseEdit ClearFirefoxHistory(const platform::deletion::Folder& profile) {
  Database places;
  if (const Status opened = Database::OpenForEditing(profile, L"places.sqlite", &places); !opened)
    return {IsMissing(opened) ? Status::Ok() : opened, 0};
  std::uint64_t rows = 0;
  Status status = ClearPlaces(places, &rows);
  DatabaseEdit edit = Finish(places, status, rows);
  if (!status) {
    return edit;
  }
  std::vector<std::string> kept;
  Database favicons;
  Status favicons_status = PlacesUrls(places, &kept);
  if (favicons_status)
    favicons_status = Database::OpenForEditing(profile, L"favicons.sqlite", &favicons);
  if (favicons_status) {
    std::uint64_t icon_rows = 0;
    const Status cleared = ClearFirefoxFavicons(favicons, kept, &icon_rows);
    const DatabaseEdit icons = Finish(favicons, cleared, icon_rows);
    edit.rows += icons.rows;
    favicons_status = icons.status;
  } else if (IsMissing(favicons_status)) {
    favicons_status = Status::Ok();
  }
  if (edit.status)
    edit.status = favicons_status;
  platform::tally::NoteRemoved(edit.rows, 0);
  return edit;
}

DatabaseEdit ClearChromiumFavicons(const platform::deletion::Folder& profile) {
  // A profile without icons has nothing to clear, whatever its bookmarks file holds.
  platform::deletion::FileFacts icons;
  if (const Status found = profile.InspectFile(L"Favicons", &icons); IsMissing(found))
    return {Status::Ok(), 0};
  std::string bookmarks_json;
  std::vector<std::string> bookmarked;
  const Status read = profile.ReadFile(L"Bookmarks", kBookmarksLimit, &bookmarks_json);
  if (read) {
    if (const Status parsed = BookmarkedUrls(bookmarks_json, &bookmarked); !parsed)
      return {parsed, 0};
  } else if (!IsMissing(read)) {
    return {read, 0};  // bookmarks that cannot be read: their icons must not go
  }
  Database favicons;
  if (const Status opened = Database::OpenForEditing(profile, L"Favicons", &favicons); !opened)
    return {IsMissing(opened) ? Status::Ok() : opened, 0};
  std::uint64_t rows = 0;
  const Status cleared = ClearChromiumFaviconRows(favicons, bookmarked, &rows);
  const DatabaseEdit edit = Finish(favicons, cleared, rows);
  platform::tally::NoteRemoved(edit.rows, 0);
  return edit;
}

}  // namespace browsers
