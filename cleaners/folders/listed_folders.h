#pragma once
// The sub-folders that the inventory scan has just listed, emptied and removed each at its own
// place below the scanned folder, through the deletion core.

#include <functional>
#include <string>

#include "platform/deletion.h"
#include "platform/status.h"

// True for a folder (by its place below the scanned folder, "a\x") that another pass cleans or
// that must stay: neither it nor what lies below it is touched or counted as kept.
using ReachedElsewhere = std::function<bool(const std::wstring& relative_path)>;

// True for a listed folder (by its place below the scanned folder) that stays on purpose with
// all it holds: it is counted as kept.
using StaysOnPurpose = std::function<bool(const std::wstring& relative_path)>;

// Reads the inventory file back and checks that its lines are the rows the last scan of
// `scanned` wrote, in order; then empties each listed folder of its plain files (read-only,
// hidden and system files stay) and removes it, deepest first, so that a parent emptied of its
// sub-folders goes too. Every folder is opened relative to its parent's handle as the parent's
// listing showed it: a name that became a link, or another folder, since is left. The listings
// the scan kept (Form1::Listings) serve in place of new ones, so what came into a folder after
// the scan stays, and so does the folder. What stays
// in the folders cleaned on purpose (sub-folders the inventory leaves out) is counted as kept.
// Returns the failure that stopped it before anything was done (an inventory file that is not
// the scan's); errors after that are ignored: a folder that cannot be cleaned stays. The folders
// `stays` names are neither entered nor cleaned, and are counted as kept; those the scan left
// are not counted again.
platform::Status CleanListedFolders(const platform::deletion::Folder& scanned,
                                    const ReachedElsewhere& reached_elsewhere,
                                    const StaysOnPurpose& stays = nullptr);
