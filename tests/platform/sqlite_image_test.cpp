#include "platform/sqlite_image.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <string>

#include "support/browser_profiles.h"
#include "support/scratch.h"

namespace {

// Rows of `table` in a database made in memory from `image` (-1 when it is no database).
long long RowsIn(const std::string& image, const char* table) {
  sqlite3* database = nullptr;
  sqlite3_open(":memory:", &database);
  auto* bytes = static_cast<unsigned char*>(sqlite3_malloc64(image.size()));
  std::memcpy(bytes, image.data(), image.size());
  long long rows = -1;
  sqlite3_stmt* query = nullptr;
  if (sqlite3_deserialize(database, "main", bytes, image.size(), image.size(),
                          SQLITE_DESERIALIZE_FREEONCLOSE) == SQLITE_OK &&
      sqlite3_prepare_v2(database, (std::string("SELECT count(*) FROM ") + table).c_str(), -1,
                         &query, nullptr) == SQLITE_OK &&
      sqlite3_step(query) == SQLITE_ROW)
    rows = sqlite3_column_int64(query, 0);
  sqlite3_finalize(query);
  sqlite3_close(database);
  return rows;
}

TEST(DatabaseImage, TheLogsCommittedTransactionsAreLaidOverTheDatabaseATornOneIsLeftOut) {
  test::ScratchTree tree;
  const std::wstring path = tree / L"places.sqlite";
  ASSERT_TRUE(test::MakeBrowserDatabase(test::BrowserDatabase::kFirefoxCookies, path));  // WAL
  ASSERT_TRUE(test::RunSql(path, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", true));
  ASSERT_TRUE(test::RunSql(path, "INSERT INTO t VALUES (2), (3);", true));
  const std::string database = tree.Content(L"places.sqlite");
  const std::string wal = test::ReadFileBytes(path + L"-wal");
  ASSERT_GT(wal.size(), 32u);

  std::string image = database;
  platform::sqlite::ApplyWriteAheadLog(wal, &image);
  image[18] = image[19] = 1;
  EXPECT_EQ(RowsIn(image, "t"), 3);

  // The last frame cut short: its transaction never ended in the log.
  image = database;
  platform::sqlite::ApplyWriteAheadLog(wal.substr(0, wal.size() - 100), &image);
  image[18] = image[19] = 1;
  EXPECT_EQ(RowsIn(image, "t"), 1);

  // A frame whose bytes changed breaks the running checksum: nothing from it on is laid over.
  std::string damaged = wal;
  damaged[32 + 24 + 100] ^= 0x5A;
  image = database;
  platform::sqlite::ApplyWriteAheadLog(damaged, &image);
  EXPECT_EQ(image, database);
}

}  // namespace
