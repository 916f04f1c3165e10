// Firefox's history cleared from a places.sqlite of 20,000 places, 100,000 visits and 1,000
// bookmarks: ClearFirefoxHistory (checks, one transaction, checkpoint, VACUUM, checkpoint)
// against Debian's sqlite3 command running the same statements on a copy of the same file,
// through Wine's Unix side. The two go first in turns.
// Usage: places_bench.exe [rounds] (default 3). Target: median ratio at most 1.5.

#include <windows.h>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "cleaners/browsers/history_databases.h"
#include "platform/deletion.h"
#include "platform/text.h"

namespace test::schemas {
extern const char firefox_places[];
}

namespace {

constexpr double kTarget = 1.5;
constexpr int kPlaces = 20000;
constexpr int kVisitsEach = 5;
constexpr int kBookmarks = 1000;
const wchar_t kBenchRoot[] = L"C:\\nimbrel-bench-places";

// The statements ClearFirefoxHistory runs on this schema, for the sqlite3 command.
const char kStatements[] =
    "PRAGMA temp_store = MEMORY;\n"
    "PRAGMA secure_delete = ON;\n"
    "BEGIN IMMEDIATE;\n"
    "DELETE FROM moz_places_metadata;\n"
    "DELETE FROM moz_places_metadata_search_queries;\n"
    "DELETE FROM moz_places WHERE foreign_count = 0;\n"
    "DELETE FROM moz_origins WHERE id NOT IN"
    " (SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL);\n"
    "DELETE FROM moz_annos WHERE place_id NOT IN (SELECT id FROM moz_places);\n"
    "DELETE FROM moz_inputhistory WHERE place_id NOT IN (SELECT id FROM moz_places);\n"
    "DELETE FROM moz_places_extra WHERE place_id NOT IN (SELECT id FROM moz_places);\n"
    "DELETE FROM moz_newtab_shortcuts_interaction WHERE place_id NOT IN"
    " (SELECT id FROM moz_places);\n"
    "DELETE FROM moz_historyvisits_extra;\n"
    "DELETE FROM moz_historyvisits;\n"
    "UPDATE moz_places SET visit_count = 0, last_visit_date = NULL, recalc_frecency = 1;\n"
    "UPDATE moz_places SET recalc_alt_frecency = 1;\n"
    "COMMIT;\n"
    "PRAGMA wal_checkpoint(TRUNCATE);\n"
    "VACUUM;\n"
    "PRAGMA wal_checkpoint(TRUNCATE);\n";

bool Run(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK)
    return true;
  std::fprintf(stderr, "SQL failed: %s\n", error ? error : "?");
  sqlite3_free(error);
  return false;
}

// The places.sqlite of a long-used profile, as Firefox keeps it (32 KB pages, write-ahead log).
bool MakePlaces(const std::wstring& path) {
  sqlite3* db = nullptr;
  bool made = sqlite3_open_v2(platform::ToUtf8(path).c_str(), &db,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK &&
              Run(db, "PRAGMA page_size = 32768; PRAGMA journal_mode = WAL;") &&
              Run(db, test::schemas::firefox_places) && Run(db, "BEGIN");
  made = made && Run(db,
                     "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES"
                     " (1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'toolbar', 'toolbar_____')");
  for (int i = 1; made && i <= kPlaces; ++i) {
    const std::string id = std::to_string(i);
    const std::string host = "site" + std::to_string(i % 2000) + ".example";
    const bool bookmarked = i % (kPlaces / kBookmarks) == 0;
    std::string sql =
        "INSERT OR IGNORE INTO moz_origins (prefix, host, frecency) VALUES"
        " ('https://', '" +
        host + "', 1);";
    sql +=
        "INSERT INTO moz_places (id, url, title, rev_host, visit_count, last_visit_date, guid,"
        " foreign_count, url_hash, origin_id) VALUES (" +
        id + ", 'https://" + host + "/page/" + id + "?session=abcdef', 'Page " + id +
        "', 'elpmaxe." + host + "', 5, 1765000000000000, 'guid" + std::to_string(100000000 + i) +
        "', " + (bookmarked ? "1" : "0") + ", " + id +
        ", (SELECT id FROM moz_origins WHERE host = '" + host + "'));";
    for (int v = 0; v < kVisitsEach; ++v)
      sql += "INSERT INTO moz_historyvisits (place_id, visit_date, visit_type) VALUES (" + id +
             ", " + std::to_string(1765000000000000LL + i * 10 + v) + ", 1);";
    if (bookmarked)
      sql += "INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid) VALUES (1, " +
             id + ", 2, " + id + ", 'Favori', 'mark" + std::to_string(10000000 + i) + "');";
    else if (i % 10 == 1)
      sql += "INSERT INTO moz_inputhistory (place_id, input, use_count) VALUES (" + id +
             ", 'saisie', 1);";
    made = Run(db, sql);
  }
  made = made && Run(db, "COMMIT");
  sqlite3_close_v2(db);
  return made;
}

bool CopyDatabase(const std::wstring& from, const std::wstring& folder) {
  CreateDirectoryW(folder.c_str(), nullptr);
  return CopyFileW(from.c_str(), (folder + L"\\places.sqlite").c_str(), FALSE) != 0;
}

double TimeOurs(const std::wstring& folder, std::uint64_t* rows, double* cpu) {
  const double cpu_start = bench::CpuSeconds();
  const double start = bench::Seconds();
  platform::deletion::Folder profile;
  if (!platform::deletion::Folder::Open(folder, &profile))
    return -1;
  const browsers::DatabaseEdit edit = browsers::ClearFirefoxHistory(profile);
  const double elapsed = bench::Seconds() - start;
  *cpu = bench::CpuSeconds() - cpu_start;
  *rows = edit.rows;
  return edit.status ? elapsed : -1;
}

// Debian's sqlite3 on the same statements, its CPU time (user and system) measured by bash;
// Wine reports a Unix program ended before it has finished, so a file made after it is polled
// for.
double TimeSqlite3(const std::wstring& folder, const std::wstring& statements, double* cpu) {
  const std::wstring done = folder + L"\\done";
  const std::wstring unix_folder = bench::UnixPath(folder);
  const std::wstring command =
      L"Z:\\bin\\bash -c \"TIMEFORMAT='%3U %3S'; { time /usr/bin/sqlite3 '" + unix_folder +
      L"/places.sqlite' < '" + bench::UnixPath(statements) + L"' > /dev/null; } 2> '" +
      unix_folder + L"/cpu' && touch '" + unix_folder + L"/done'\"";
  const double start = bench::Seconds();
  if (!bench::RunAndWait(command))
    return -1;
  for (int i = 0; i < 600000 && !bench::Exists(done); ++i)
    Sleep(1);
  const double elapsed = bench::Seconds() - start;
  double user = -1, system = -1;
  if (FILE* times = _wfopen((folder + L"\\cpu").c_str(), L"r")) {
    if (std::fscanf(times, "%lf %lf", &user, &system) != 2)
      user = system = -1;
    std::fclose(times);
  }
  *cpu = user + system;
  return bench::Exists(done) && user >= 0 ? elapsed : -1;
}

std::int64_t Count(const std::wstring& path, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_stmt* statement = nullptr;
  std::int64_t value = -1;
  if (sqlite3_open_v2(platform::ToUtf8(path).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) ==
          SQLITE_OK &&
      sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW)
    value = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  sqlite3_close_v2(db);
  return value;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
  bench::RemoveWithRd(kBenchRoot);
  CreateDirectoryW(kBenchRoot, nullptr);
  const std::wstring root = kBenchRoot;
  const std::wstring base = root + L"\\base.sqlite";
  const double made_at = bench::Seconds();
  if (!MakePlaces(base)) {
    std::fprintf(stderr, "could not make %ls\n", base.c_str());
    return 1;
  }
  const std::wstring statements = root + L"\\statements.sql";
  HANDLE file =
      CreateFileW(statements.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, kStatements, sizeof kStatements - 1, &written, nullptr);
  CloseHandle(file);
  WIN32_FILE_ATTRIBUTE_DATA data;
  GetFileAttributesExW(base.c_str(), GetFileExInfoStandard, &data);
  std::printf("places.sqlite: %d places, %d visits, %d bookmarks, %.1f MB, made in %.1f s\n",
              kPlaces, kPlaces * kVisitsEach, kBookmarks, data.nFileSizeLow / 1e6,
              bench::Seconds() - made_at);

  std::vector<double> ours, theirs, ratios, ours_cpu, theirs_cpu;
  int exit_code = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::wstring a = root + L"\\ours" + std::to_wstring(round);
    const std::wstring b = root + L"\\sqlite3-" + std::to_wstring(round);
    if (!CopyDatabase(base, a) || !CopyDatabase(base, b))
      return 1;
    std::uint64_t rows = 0;
    double mine = 0, reference = 0, cpu = 0, reference_cpu = 0;
    if (round % 2 == 0) {
      mine = TimeOurs(a, &rows, &cpu);
      reference = TimeSqlite3(b, statements, &reference_cpu);
    } else {
      reference = TimeSqlite3(b, statements, &reference_cpu);
      mine = TimeOurs(a, &rows, &cpu);
    }
    if (mine < 0 || reference < 0) {
      std::fprintf(stderr, "round %d failed (ours %.3f, sqlite3 %.3f)\n", round, mine, reference);
      return 2;
    }
    const std::int64_t left_ours = Count(a + L"\\places.sqlite", "SELECT count(*) FROM moz_places");
    const std::int64_t left_theirs =
        Count(b + L"\\places.sqlite", "SELECT count(*) FROM moz_places");
    if (left_ours != kBookmarks || left_theirs != kBookmarks)
      exit_code = 3;
    ours.push_back(mine);
    ours_cpu.push_back(cpu);
    theirs_cpu.push_back(reference_cpu);
    theirs.push_back(reference);
    ratios.push_back(mine / reference);
    std::printf(
        "round %d: ClearFirefoxHistory %.3f s (CPU %.3f s, %llu rows), sqlite3 %.3f s (CPU %.3f"
        " s), ratio %.2f; places left %lld / %lld\n",
        round + 1, mine, cpu, static_cast<unsigned long long>(rows), reference, reference_cpu,
        mine / reference, static_cast<long long>(left_ours), static_cast<long long>(left_theirs));
  }
  const double ratio = bench::Median(ours) / bench::Median(theirs);
  std::printf(
      "medians: ClearFirefoxHistory %.3f s, sqlite3 %.3f s, ratio of medians %.2f"
      " (median of ratios %.2f), target at most %.1f: %s\n",
      bench::Median(ours), bench::Median(theirs), ratio, bench::Median(ratios), kTarget,
      ratio <= kTarget ? "met" : "MISSED");
  std::printf("CPU medians: ClearFirefoxHistory %.3f s, sqlite3 %.3f s, ratio %.2f\n",
              bench::Median(ours_cpu), bench::Median(theirs_cpu),
              bench::Median(ours_cpu) / bench::Median(theirs_cpu));
  bench::RemoveWithRd(kBenchRoot);
  return exit_code;
}
