#include "platform/sqlite.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/deletion.h"
#include "platform/erasure.h"
#include "support/browser_profiles.h"
#include "support/processes.h"
#include "support/scratch.h"

namespace {

namespace deletion = platform::deletion;
namespace sqlite = platform::sqlite;
using test::BrowserDatabase;

// A folder holding one Chromium Favicons database with a row, and a copy of its bytes; in
// write-ahead-log mode when asked.
class DatabaseFolder {
 public:
  explicit DatabaseFolder(bool write_ahead_log = false) {
    EXPECT_TRUE(test::MakeBrowserDatabase(BrowserDatabase::kChromiumFavicons, tree_ / L"Favicons"));
    EXPECT_TRUE(test::RunSql(tree_ / L"Favicons",
                             "INSERT INTO favicons (url) VALUES ('http://icon.example/a.ico')"));
    if (write_ahead_log) {
      EXPECT_TRUE(test::UseWriteAheadLog(tree_ / L"Favicons"));
    }
    bytes_ = Bytes();
  }
  const test::ScratchTree& tree() const { return tree_; }
  std::string Bytes() const { return test::ReadFileBytes(tree_ / L"Favicons"); }
  bool Unchanged() const { return Bytes() == bytes_; }
  platform::Status Open(sqlite::Database* database) const {
    deletion::Folder folder;
    if (platform::Status opened = deletion::Folder::Open(tree_.path(), &folder); !opened)
      return opened;
    return sqlite::Database::OpenForEditing(folder, L"Favicons", database);
  }
  platform::Status DeleteIcons() const {
    sqlite::Database database;
    if (platform::Status opened = Open(&database); !opened)
      return opened;
    return database.Execute("DELETE FROM favicons");
  }

 private:
  test::ScratchTree tree_{L"database"};
  std::string bytes_;
};

TEST(SqliteDatabase, EditsAPlainDatabaseAndNeverCreatesOne) {
  DatabaseFolder folder;
  EXPECT_TRUE(folder.DeleteIcons());
  EXPECT_EQ(test::QueryInt(folder.tree() / L"Favicons", "SELECT count(*) FROM favicons"), 0);

  deletion::Folder opened;
  ASSERT_TRUE(deletion::Folder::Open(folder.tree().path(), &opened));
  sqlite::Database database;
  EXPECT_TRUE(deletion::IsGone(sqlite::Database::OpenForEditing(opened, L"History", &database)));
  EXPECT_FALSE(folder.tree().Exists(L"History"));
}

TEST(SqliteDatabase, ALinkAHardLinkOrALinkedJournalIsRefusedAndItsTargetLeftWhole) {
  DatabaseFolder elsewhere;
  const std::wstring target = elsewhere.tree() / L"Favicons";
  {
    SCOPED_TRACE("a symbolic link");
    test::ScratchTree profile;
    test::FileLink link(target, profile / L"Favicons");
    ASSERT_TRUE(link.made());
    deletion::Folder folder;
    ASSERT_TRUE(deletion::Folder::Open(profile.path(), &folder));
    sqlite::Database database;
    EXPECT_TRUE(
        sqlite::IsNotSingleFile(sqlite::Database::OpenForEditing(folder, L"Favicons", &database)));
  }
  for (const wchar_t* name : {L"Favicons", L"Favicons-journal", L"Favicons-wal"}) {
    SCOPED_TRACE(name);
    test::ScratchTree profile;
    if (std::wstring(name) != L"Favicons") {
      ASSERT_TRUE(
          test::MakeBrowserDatabase(BrowserDatabase::kChromiumFavicons, profile / L"Favicons"));
    }
    ASSERT_TRUE(CreateHardLinkW((profile / name).c_str(), target.c_str(), nullptr));
    deletion::Folder folder;
    ASSERT_TRUE(deletion::Folder::Open(profile.path(), &folder));
    sqlite::Database database;
    EXPECT_TRUE(
        sqlite::IsNotSingleFile(sqlite::Database::OpenForEditing(folder, L"Favicons", &database)));
  }
  EXPECT_TRUE(elsewhere.Unchanged());
  EXPECT_EQ(test::QueryInt(target, "SELECT count(*) FROM favicons"), 1);
}

TEST(SqliteDatabase, ADatabaseHeldByAnotherProgramIsBusyAndLeftWhole) {
  struct Holder {
    const wchar_t* program;
    bool write_ahead_log;  // the database in that mode, held by a writer in normal locking mode
  };
  for (const Holder& holder :
       {Holder{L"hold_database.exe", false}, Holder{L"hold_database.exe", true},
        Holder{L"hold_file.exe", false}}) {
    SCOPED_TRACE(std::wstring(holder.program) + (holder.write_ahead_log ? L" wal" : L""));
    DatabaseFolder folder(holder.write_ahead_log);
    {
      test::ChildProcess held(std::wstring(holder.program) + L" \"" +
                              (folder.tree() / L"Favicons") + L"\"" +
                              (holder.write_ahead_log ? L" wal" : L""));
      ASSERT_TRUE(held.WaitForLine(L"holding")) << held.lines_read();
      const platform::Status status = folder.DeleteIcons();
      EXPECT_TRUE(sqlite::IsBusy(status)) << std::hex << status.code();
      // An analysis finds it held as the run does, though it only reads the files.
      platform::erasure::CountingScope counting;
      const platform::Status counted = folder.DeleteIcons();
      EXPECT_TRUE(sqlite::IsBusy(counted)) << std::hex << counted.code();
    }
    EXPECT_TRUE(folder.Unchanged());
  }
}

TEST(SqliteDatabase, ADamagedDatabaseIsReportedAndLeftWhole) {
  test::ScratchTree tree;
  const std::string garbage(8192, '\x5a');
  tree.File(L"Favicons", 0, garbage);
  deletion::Folder folder;
  ASSERT_TRUE(deletion::Folder::Open(tree.path(), &folder));
  sqlite::Database database;
  EXPECT_TRUE(sqlite::IsDamaged(sqlite::Database::OpenForEditing(folder, L"Favicons", &database)));
  EXPECT_EQ(test::ReadFileBytes(tree / L"Favicons"), garbage);
  EXPECT_FALSE(tree.Exists(L"Favicons-journal"));
}

TEST(SqliteDatabase, ATransactionNotCommittedLeavesTheDatabaseByteForByte) {
  DatabaseFolder folder;
  {
    sqlite::Database database;
    ASSERT_TRUE(folder.Open(&database));
    sqlite::Transaction transaction(database);
    ASSERT_TRUE(transaction.Begin());
    ASSERT_TRUE(database.Execute("DELETE FROM favicons"));
    EXPECT_EQ(database.Changes(), 1u);
    EXPECT_FALSE(database.Execute("DELETE FROM no_such_table"));
  }
  EXPECT_TRUE(folder.Unchanged());
}

}  // namespace
