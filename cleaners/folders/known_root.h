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
// the folder is; with RootRefused() when it fails the cleaners' guard (folder_guard.h: a folder
// redirected into or over a protected tree, away from the place the system gives it); and with
// LinkRefused() when it, or any folder on its path, is a link.
platform::Status OpenUserRoot(UserRoot root, platform::deletion::Folder* folder);

// The status of a root that fails the cleaners' guard.
platform::Status RootRefused();
bool IsRootRefused(const platform::Status& status);
