#pragma once
// The hidden scanning form: it inventories the folder that the main window's folder list
// shows. It is a plain object of the process, created on the first scan and never shown; it
// owns no window, so it never keeps the process alive once the main window has closed.

#include <string>
#include <vector>

#include "inventory/kept_listings.h"
#include "platform/folder_list.h"
#include "platform/status.h"

// One row the scan wrote to the inventory file: the folder's place below the scanned folder
// ("a\x", its real names) and the name the row holds (its short name when the ANSI code page
// cannot hold the name).
struct ListedFolder {
  std::wstring relative_path;
  std::wstring written_name;
};

class Form1 {
 public:
  // Writes the inventory file of the folder that SharedFolderList() shows (in the program's
  // folder, else in the fallback folder: see OpenInventoryFileForOutput): line 1 is the
  // folder's full path followed by "\", then one line per sub-folder less than five levels
  // below it (hidden and system sub-folders, what lies below them, and links left out), its
  // name alone, in case-insensitive path order. The tree is walked by handle, no deeper than
  // the lines go (see ListFolder). A name the ANSI code page cannot hold exactly is written as
  // the folder's short (8.3) name, and its row left when there is none: never as a look-alike,
  // which could name a hidden sibling. A folder left for its name, or because it could not be
  // opened or reset, is counted as left and the scan goes on (LeftFolders). Resets the
  // attributes of the folder and of every sub-folder written to normal. The number of folders
  // has no fixed limit: the tables grow with the tree. Nothing is written until the listing and
  // sort are done. No handler: the first other failure ends the scan and is returned; the
  // inventory file is closed on every path (emptied when the failure came after it was opened).
  platform::Status CmdScan();

  // The rows the last scan wrote after line 1, in the same order; empty when it failed.
  const std::vector<ListedFolder>& ListedFolders() const { return listed_; }
  // The places below the scanned folder ("a\x") of the folders the last scan left, already
  // counted as left; what lies below them was not reached.
  const std::vector<std::wstring>& LeftFolders() const { return left_; }

  // The listings the last scan made of the folders it recorded, for the cleaning that follows.
  KeptListings& Listings() { return kept_listings_; }

  // The form's own folder list, used to take the folder over and read its full path.
  platform::FolderList Dir1;

 private:
  std::vector<ListedFolder> listed_;
  std::vector<std::wstring> left_;
  KeptListings kept_listings_;
};

// The single instance, created on first use.
Form1& SharedForm1();
