#pragma once
// The steps the temporary files and temporary Internet files cleaners share: a folder opened for
// cleaning, and its sub-folders inventoried and cleaned.

#include <functional>
#include <string>

#include "cleaners/folders/folder_cleaning.h"
#include "cleaners/folders/listed_folders.h"
#include "platform/deletion.h"

// Opens `path` for cleaning. False when there is nothing to clean there: a missing folder
// (fine), a link (left and counted), or a folder that cannot be opened (added to `outcome`).
bool OpenFolderToClean(const std::wstring& path, platform::deletion::Folder* folder,
                       FolderCleaning* outcome);

// The same for `relative` below `top` ("Low\IE"), each folder opened as its parent's listing
// shows it, its name compared as the file system does.
bool OpenFolderToClean(const platform::deletion::Folder& top, const std::wstring& relative,
                       platform::deletion::Folder* folder, FolderCleaning* outcome);

// Opens the folder to clean; see OpenFolderToClean.
using FolderOpener =
    std::function<bool(platform::deletion::Folder* folder, FolderCleaning* outcome)>;

// Points the shared folder list at `path`, has it inventoried, then opens it with `open` and
// cleans the sub-folders listed (those `reached_elsewhere` leaves aside, and those `stays` keeps,
// excepted: see CleanListedFolders). A folder the list cannot show or the scan cannot inventory
// is added to `outcome`, and then nothing is deleted in it.
void ScanAndCleanListedFolders(const std::wstring& path, const FolderOpener& open,
                               const ReachedElsewhere& reached_elsewhere, FolderCleaning* outcome,
                               const StaysOnPurpose& stays = nullptr);
