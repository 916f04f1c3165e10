#pragma once
// Other programs' SQLite databases (the browsers'), edited in place with the SQLite compiled
// into the program. A database is edited only where it is a plain file with a single name,
// reached from its folder's handle: the file is checked on its own handle (no reparse point,
// one name), then opened by SQLite, whose own handle must show the same file, still with one
// name; journals that are links or have other names make it refused. Temporary data stays in
// memory, deleted content is overwritten (secure_delete), and a database is changed in one
// transaction or not at all. No exception leaves these calls.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/deletion.h"
#include "platform/status.h"

struct sqlite3;
struct sqlite3_stmt;

namespace platform::sqlite {

// Why a database was left whole.
// The status of a damaged database, or of a file the edit depends on that cannot be parsed.
Status Damaged();
// Another connection holds it (its browser is open), or another program has it open unshared.
bool IsBusy(const Status& status);
// Not a database, or a damaged one.
bool IsDamaged(const Status& status);
// The database, or one of its journals, is a link or has other names (hard links).
bool IsNotSingleFile(const Status& status);

// One prepared statement of a Database; finalized when the object goes.
class Statement {
 public:
  Statement() = default;
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  // Parameters are numbered from 1.
  Status Bind(int index, std::string_view text);
  Status Bind(int index, std::int64_t value);
  // Runs the statement one step; `*row` says whether a row is there to read.
  Status Step(bool* row);
  // Runs the statement to its end, reading no row.
  Status Run();
  Status Reset();
  // The columns of the current row, numbered from 0.
  std::int64_t Int64(int column) const;
  std::string Text(int column) const;

 private:
  friend class Database;
  sqlite3_stmt* statement_ = nullptr;
};

class Database {
 public:
  Database() = default;
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  ~Database();

  // Opens the database `name` lying directly in `folder` for editing, with the checks above,
  // and reads its schema: a database that its program holds fails here (IsBusy), as does a
  // damaged one (IsDamaged) or one that is not a single plain file (IsNotSingleFile). A missing
  // one fails with "file not found"; none is ever created. While the erasing calls only count
  // (platform/erasure.h), the database is read into a copy in memory, which the edits then
  // change: its files are left as they are. A database its program holds fails all the same,
  // its locks asked for as the edit would ask for them.
  static Status OpenForEditing(const deletion::Folder& folder, const std::wstring& name,
                               Database* database);

  // Runs statements (one or several, separated by ";") that return no rows.
  Status Execute(const char* sql);
  Status Prepare(const char* sql, Statement* statement);
  // Rows the last INSERT, UPDATE or DELETE changed.
  std::uint64_t Changes() const;
  bool HasTable(const char* table);
  bool HasColumn(const char* table, const char* column);
  // Leaves nothing of deleted rows in the files: the write-ahead log is checkpointed and
  // truncated, the database rebuilt (VACUUM), and the log checkpointed and truncated again.
  Status Compact();

  bool valid() const { return database_ != nullptr; }

 private:
  friend class Transaction;
  Status Checkpoint();
  void Close();
  static Status OpenChecked(const std::string& path, const deletion::FileFacts& checked,
                            bool for_writing, Database* database);
  static Status OpenCopyInMemory(const deletion::Folder& folder, const std::wstring& name,
                                 const deletion::FileFacts& checked, Database* database);

  sqlite3* database_ = nullptr;
  bool in_memory_ = false;  // a copy made for counting: nothing to compact
};

// One write transaction, begun at once (a database another connection writes fails at the
// start, not half-way) and rolled back when the object goes without Commit.
class Transaction {
 public:
  explicit Transaction(Database& database) : database_(database) {}
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  ~Transaction();

  Status Begin();
  Status Commit();

 private:
  Database& database_;
  bool open_ = false;
};

}  // namespace platform::sqlite
