#include "platform/sqlite.h"

#include <windows.h>

#include <sqlite3.h>

#include <cstring>
#include <utility>

#include "platform/erasure.h"
#include "platform/sqlite_image.h"
#include "platform/text.h"

namespace platform::sqlite {
namespace {

// A database or journal with more than one name: editing it would change the file seen under
// its other names too, wherever they are.
Status HardLinked() {
  return Status::FromWin32(ERROR_TOO_MANY_LINKS);
}

// The Windows error that says the same as SQLite's result `code` on `database`.
Status FromSqlite(sqlite3* database, int code) {
  switch (code & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return Status::Ok();
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Status::FromWin32(ERROR_LOCK_VIOLATION);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return Damaged();
    case SQLITE_NOMEM:
      return Status::FromHresult(E_OUTOFMEMORY);
    case SQLITE_FULL:
      return Status::FromWin32(ERROR_DISK_FULL);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return Status::FromWin32(ERROR_ACCESS_DENIED);
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR: {
      // The system's own error, when a system call failed (a sharing violation, say).
      const int system_error = database ? sqlite3_system_errno(database) : 0;
      return Status::FromWin32(system_error != 0 ? static_cast<DWORD>(system_error)
                                                 : ERROR_OPEN_FAILED);
    }
    default:  // SQL the database does not fit (another schema), and the rest
      return Status::FromWin32(ERROR_INVALID_DATA);
  }
}

// Fails as the edit would when another connection holds the database `name` of `folder` (a
// running program's, in exclusive locking mode, say): SQLite on Windows locks bytes past the
// file's first gigabyte, which hold no data, a shared range that every reader locks and a
// reserved byte that a writer takes. A database in write-ahead-log mode is written under a lock
// of its own instead: byte 120 of its "-shm" index, the first of the eight lock bytes SQLite
// keeps there, held by the writer until it commits. The copy in memory is read without any of those
// locks, so they are asked for as the edit asks for them first, and given back at once.
Status CheckNotHeld(const deletion::Folder& folder, const std::wstring& name) {
  constexpr std::uint64_t kPendingByte = 0x40000000;
  constexpr std::uint64_t kReservedByte = kPendingByte + 1;
  constexpr std::uint64_t kSharedFirst = kPendingByte + 2;
  constexpr std::uint32_t kSharedSize = 510;
  constexpr std::uint64_t kLogWriterByte = 120;
  if (folder.ChildRangeLocked(name, kSharedFirst, kSharedSize, /*exclusive=*/false) ||
      folder.ChildRangeLocked(name, kReservedByte, 1, /*exclusive=*/true) ||
      folder.ChildRangeLocked(name + L"-shm", kLogWriterByte, 1, /*exclusive=*/true))
    return Status::FromWin32(ERROR_LOCK_VIOLATION);
  return Status::Ok();
}

// The database or journal `name` of `folder`, where there is one, must be a plain file with one
// name. Returns the facts of the file when asked.
Status CheckSingleFile(const deletion::Folder& folder, const std::wstring& name, bool must_exist,
                       deletion::FileFacts* facts) {
  const Status inspected = folder.InspectFile(name, facts);
  if (!must_exist && deletion::IsGone(inspected))
    return Status::Ok();
  NIMBREL_TRY(inspected);
  return facts->links == 1 ? Status::Ok() : HardLinked();
}

}  // namespace

Status Damaged() {
  return Status::FromWin32(ERROR_FILE_CORRUPT);
}

bool IsBusy(const Status& status) {
  return status.IsWin32(ERROR_LOCK_VIOLATION) || status.IsWin32(ERROR_SHARING_VIOLATION);
}

bool IsDamaged(const Status& status) {
  return status.IsWin32(ERROR_FILE_CORRUPT);
}

bool IsNotSingleFile(const Status& status) {
  return status.IsWin32(ERROR_TOO_MANY_LINKS) || deletion::IsLinkRefused(status);
}

// Statement ---------------------------------------------------------------------------------

Statement::Statement(Statement&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    sqlite3_finalize(statement_);
    statement_ = std::exchange(other.statement_, nullptr);
  }
  return *this;
}

Statement::~Statement() {
  sqlite3_finalize(statement_);
}

Status Statement::Bind(int index, std::string_view text) {
  return FromSqlite(sqlite3_db_handle(statement_),
                    sqlite3_bind_text64(statement_, index, text.data(), text.size(),
                                        SQLITE_TRANSIENT, SQLITE_UTF8));
}

Status Statement::Bind(int index, std::int64_t value) {
  return FromSqlite(sqlite3_db_handle(statement_), sqlite3_bind_int64(statement_, index, value));
}

Status Statement::Step(bool* row) {
  const int result = sqlite3_step(statement_);
  *row = result == SQLITE_ROW;
  if (result == SQLITE_ROW || result == SQLITE_DONE)
    return Status::Ok();
  return FromSqlite(sqlite3_db_handle(statement_), result);
}

Status Statement::Run() {
  for (bool row = true; row;)
    NIMBREL_TRY(Step(&row));
  return Status::Ok();
}

Status Statement::Reset() {
  return FromSqlite(sqlite3_db_handle(statement_), sqlite3_reset(statement_));
}

std::int64_t Statement::Int64(int column) const {
  return sqlite3_column_int64(statement_, column);
}

std::string Statement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  return text
             ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
             : std::string();
}

// Database ----------------------------------------------------------------------------------

Database::Database(Database&& other) noexcept
    : database_(std::exchange(other.database_, nullptr)), in_memory_(other.in_memory_) {}

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    Close();
    database_ = std::exchange(other.database_, nullptr);
    in_memory_ = other.in_memory_;
  }
  return *this;
}

Database::~Database() {
  Close();
}

void Database::Close() {
  sqlite3_close_v2(database_);
  database_ = nullptr;
}

Status Database::OpenForEditing(const deletion::Folder& folder, const std::wstring& name,
                                Database* database) {
  deletion::FileFacts checked;
  NIMBREL_TRY(CheckSingleFile(folder, name, true, &checked));
  // Opening a database replays a journal left behind, and SQLite writes its journals by name:
  // none may lead elsewhere.
  for (const wchar_t* suffix : {L"-journal", L"-wal", L"-shm"}) {
    deletion::FileFacts journal;
    NIMBREL_TRY(CheckSingleFile(folder, name + suffix, false, &journal));
  }

  Database opened;
  const std::string path = ToUtf8(folder.path() + name);
  if (erasure::Counting()) {
    NIMBREL_TRY(CheckNotHeld(folder, name));
    NIMBREL_TRY(OpenCopyInMemory(folder, name, checked, &opened));
  } else {
    NIMBREL_TRY(OpenChecked(path, checked, /*for_writing=*/true, &opened));
  }
  // Temporary tables and VACUUM's copy stay in memory, never in the user's temporary folder;
  // deleted content is overwritten; the database's own code (triggers, views) may call no
  // function with side effects; a cache of up to 32 MB holds a large history's pages during
  // its one transaction instead of spilling them to the log half-way. Reading the schema then
  // tells at once whether another connection holds the database or it is no database at all.
  NIMBREL_TRY(opened.Execute(
      "PRAGMA temp_store = MEMORY; PRAGMA secure_delete = ON; PRAGMA trusted_schema = OFF;"
      "PRAGMA foreign_keys = OFF; PRAGMA cache_size = -32768;"
      "SELECT count(*) FROM sqlite_schema;"));
  *database = std::move(opened);
  return Status::Ok();
}

// A copy of the database in memory, made from its files as SQLite would read them (the database
// and its write-ahead log), nothing of them written. Where a rollback journal lies beside it (an
// edit cut short, which SQLite undoes first), the copy is read through SQLite instead, for
// reading only: no journal is replayed or made.
Status Database::OpenCopyInMemory(const deletion::Folder& folder, const std::wstring& name,
                                  const deletion::FileFacts& checked, Database* database) {
  Database copy;
  NIMBREL_TRY(FromSqlite(copy.database_, sqlite3_open_v2(":memory:", &copy.database_,
                                                         SQLITE_OPEN_READWRITE, nullptr)));
  copy.in_memory_ = true;
  deletion::FileFacts journal;
  if (!folder.InspectFile(name + L"-journal", &journal).ok()) {
    std::string image;
    NIMBREL_TRY(ReadDatabaseImage(folder, name, &image));
    auto* bytes = static_cast<unsigned char*>(sqlite3_malloc64(image.size()));
    if (!bytes && !image.empty())
      return Status::FromWin32(ERROR_NOT_ENOUGH_MEMORY);
    std::memcpy(bytes, image.data(), image.size());
    NIMBREL_TRY(FromSqlite(
        copy.database_,
        sqlite3_deserialize(copy.database_, "main", bytes, static_cast<sqlite3_int64>(image.size()),
                            static_cast<sqlite3_int64>(image.size()),
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE)));
    *database = std::move(copy);
    return Status::Ok();
  }
  Database file;
  NIMBREL_TRY(OpenChecked(ToUtf8(folder.path() + name), checked, /*for_writing=*/false, &file));
  NIMBREL_TRY(file.Execute("SELECT count(*) FROM sqlite_schema;"));
  sqlite3_backup* backup = sqlite3_backup_init(copy.database_, "main", file.database_, "main");
  if (!backup)
    return FromSqlite(copy.database_, sqlite3_errcode(copy.database_));
  const int stepped = sqlite3_backup_step(backup, -1);
  const int finished = sqlite3_backup_finish(backup);
  NIMBREL_TRY(FromSqlite(copy.database_, stepped == SQLITE_DONE ? finished : stepped));
  *database = std::move(copy);
  return Status::Ok();
}

// Opens the database file at `path`, which `checked` describes, for writing or for reading
// only. SQLite opens it by its path: its own handle must show the file checked, still with that
// one name (a file with one name lies in one folder, so its journals are next to the names
// checked).
Status Database::OpenChecked(const std::string& path, const deletion::FileFacts& checked,
                             bool for_writing, Database* database) {
  Database opened;
  NIMBREL_TRY(FromSqlite(
      opened.database_,
      sqlite3_open_v2(path.c_str(), &opened.database_,
                      for_writing ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr)));
  // SQLite falls back on reading when it may not write: nothing to edit then.
  if (for_writing && sqlite3_db_readonly(opened.database_, "main") != 0)
    return Status::FromWin32(ERROR_ACCESS_DENIED);
  HANDLE file = nullptr;
  if (sqlite3_file_control(opened.database_, "main", SQLITE_FCNTL_WIN32_GET_HANDLE, &file) !=
          SQLITE_OK ||
      file == nullptr || file == INVALID_HANDLE_VALUE)
    return Status::FromWin32(ERROR_INVALID_HANDLE);
  deletion::FileFacts seen;
  NIMBREL_TRY(deletion::InspectHandle(file, &seen));
  if (!(seen.identity == checked.identity))
    return deletion::LinkRefused();
  if (seen.links != 1)
    return HardLinked();
  *database = std::move(opened);
  return Status::Ok();
}

Status Database::Execute(const char* sql) {
  while (sql && *sql) {
    Statement statement;
    const char* rest = nullptr;
    NIMBREL_TRY(FromSqlite(database_,
                           sqlite3_prepare_v2(database_, sql, -1, &statement.statement_, &rest)));
    if (statement.statement_)  // null for a blank or a comment
      NIMBREL_TRY(statement.Run());
    sql = rest;
  }
  return Status::Ok();
}

Status Database::Prepare(const char* sql, Statement* statement) {
  Statement prepared;
  NIMBREL_TRY(
      FromSqlite(database_, sqlite3_prepare_v2(database_, sql, -1, &prepared.statement_, nullptr)));
  *statement = std::move(prepared);
  return Status::Ok();
}

std::uint64_t Database::Changes() const {
  return static_cast<std::uint64_t>(sqlite3_changes64(database_));
}

bool Database::HasTable(const char* table) {
  Statement query;
  bool row = false;
  return Prepare("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1", &query) &&
         query.Bind(1, table) && query.Step(&row) && row;
}

bool Database::HasColumn(const char* table, const char* column) {
  Statement query;
  bool row = false;
  return Prepare("SELECT 1 FROM pragma_table_info(?1) WHERE name = ?2", &query) &&
         query.Bind(1, table) && query.Bind(2, column) && query.Step(&row) && row;
}

Status Database::Checkpoint() {
  // One row: whether the checkpoint had to stop short (another connection reading), the
  // frames in the log, and those copied. In rollback journal mode it does nothing.
  Statement checkpoint;
  NIMBREL_TRY(Prepare("PRAGMA main.wal_checkpoint(TRUNCATE)", &checkpoint));
  bool row = false;
  NIMBREL_TRY(checkpoint.Step(&row));
  if (row && checkpoint.Int64(0) != 0)
    return Status::FromWin32(ERROR_LOCK_VIOLATION);
  return Status::Ok();
}

Status Database::Compact() {
  if (in_memory_)
    return Status::Ok();
  NIMBREL_TRY(Checkpoint());
  NIMBREL_TRY(Execute("VACUUM"));
  return Checkpoint();
}

// Transaction -------------------------------------------------------------------------------

Transaction::~Transaction() {
  if (open_)
    (void)database_.Execute("ROLLBACK");
}

Status Transaction::Begin() {
  NIMBREL_TRY(database_.Execute("BEGIN IMMEDIATE"));
  open_ = true;
  return Status::Ok();
}

Status Transaction::Commit() {
  NIMBREL_TRY(database_.Execute("COMMIT"));
  open_ = false;
  return Status::Ok();
}

}  // namespace platform::sqlite
