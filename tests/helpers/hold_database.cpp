// Holds the SQLite database named on its command line as a running browser does: its own
// connection in exclusive locking mode with a write transaction open, until it is ended (at
// most a minute). With "wal" after the name (a database in write-ahead-log mode), the connection
// keeps the normal locking mode and holds only the log's write lock, as a program does in the
// middle of a write. Prints "holding" once it holds the database, "failed" when it cannot.

#include <windows.h>

#include <sqlite3.h>

#include <cstdio>
#include <string>

#include "platform/text.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && !(argc == 3 && std::wstring(argv[2]) == L"wal"))
    return 2;
  const char* hold = argc == 3 ? "BEGIN IMMEDIATE;"
                               : "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;"
                                 " SELECT count(*) FROM sqlite_schema;";
  sqlite3* database = nullptr;
  const std::string path = platform::ToUtf8(argv[1]);
  if (sqlite3_open_v2(path.c_str(), &database, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
      sqlite3_exec(database, hold, nullptr, nullptr, nullptr) != SQLITE_OK) {
    std::printf("failed %s\n", sqlite3_errmsg(database));
    return 1;
  }
  std::printf("holding\n");
  std::fflush(stdout);
  Sleep(60000);
  sqlite3_close_v2(database);
  return 0;
}
