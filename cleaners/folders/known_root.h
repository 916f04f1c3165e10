#pragma once
// The folders a cleaner starts from: the user's application data folders, opened where the
// system keeps them. Everything a cleaner deletes below them it reaches from the opened folder's
// handle (Folder::OpenBelow), never by a path of its own.

#include "platform/deletion.h"
#include "platform/status.h"

enum class UserRoot {
  kLocalAppData,   // the local (non-roaming) application data folder
  kRoamingAppData  // the roaming application data folder
};

// Opens `root`. Fails, and nothing below it may be cleaned, when the system cannot tell where
// the folder is, or when it is not a plain folder (a link is refused).
platform::Status OpenUserRoot(UserRoot root, platform::deletion::Folder* folder);
