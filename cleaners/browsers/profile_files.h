#pragma once
// What the browser steps delete in a profile, each through the deletion core, below the
// profile's folder handle.

#include <initializer_list>
#include <string>

#include "platform/deletion.h"

namespace browsers {

// Deletes the files of `folder` named in `names`, each with its SQLite companions ("-journal",
// "-wal", "-shm"). Other files stay.
void DeleteDatabaseFiles(const platform::deletion::Folder& folder,
                         std::initializer_list<const wchar_t*> names);

// Deletes, with all they hold, the sub-folders of the folder `relative` below `profile` whose
// names begin with "http": the storage of web sites (Chromium's "IndexedDB", Firefox's
// "storage\default"). The storage of extensions, named otherwise, stays.
void DeleteWebSiteFolders(const platform::deletion::Folder& profile, const std::wstring& relative);

// Deletes every file below the folder `relative` below `top`, at any depth; the folders stay.
void EmptyCacheFolder(const platform::deletion::Folder& top, const std::wstring& relative);

}  // namespace browsers
