#pragma once
// A database's content as SQLite would read it, taken from its files without opening them
// through SQLite: the database file, with the committed frames of its write-ahead log (-wal)
// laid over it. Nothing is written, not even the log's shared index (-shm), which every reader
// that SQLite opens updates.

#include <string>

#include "platform/deletion.h"
#include "platform/status.h"

namespace platform::sqlite {

// The image of the database `name` lying in `folder`, in rollback journal mode (bytes 18 and
// 19 of its header at 1), ready for an in-memory database. Both files are read through the
// folder's handle, never through a link.
Status ReadDatabaseImage(const deletion::Folder& folder, const std::wstring& name,
                         std::string* image);

// Lays the committed frames of the write-ahead log `wal` over the database image `image`, as
// SQLite's recovery would: frames whose salts match the log's header and whose running checksum
// holds, up to the last frame that ends a transaction. A log that is empty, torn or of another
// format changes nothing.
void ApplyWriteAheadLog(const std::string& wal, std::string* image);

}  // namespace platform::sqlite
