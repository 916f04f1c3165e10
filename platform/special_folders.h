#pragma once
// The shell's special folders, looked up by CSIDL number or, for those that have none, by
// known folder id.

#include <string>

#include "platform/status.h"

namespace platform {

// The user's local (non-roaming) application data folder, CSIDL_LOCAL_APPDATA.
inline constexpr int kLocalAppDataFolder = 0x001c;

// The folder's file-system path as the shell gives it (wide characters, so names outside the
// ANSI code page come through): the item list of the folder is asked first, then its path
// (MAX_PATH - 1 characters at most). The item list is freed with the shell's allocator. An
// unknown id, a folder that does not exist, or one with no file-system path (a virtual folder)
// fails with an empty value.
Result<std::wstring> SpecialFolderPath(int csidl);

// The path the user's settings give a shell folder, whether or not the folder exists. Fails
// when the system knows no such folder or it has no file-system path.
Result<std::wstring> ConfiguredSpecialFolderPath(int csidl);

// The system's own Windows folder (%SystemRoot%), shared by every user and session, as the kernel
// gives it: no user setting changes it.
Result<std::wstring> SystemWindowsFolder();

// Folders the shell knows by a known folder id only (no CSIDL names them).
enum class KnownFolder {
  kDownloads,
  kSavedGames,
  kContacts,
  kLinks,
  kSearches,
  kOneDrive,
  kPublic,
  kPublicDesktop,
  kPublicDocuments,
  kPublicDownloads,
  kPublicMusic,
  kPublicPictures,
  kPublicVideos,
  kProgramData,
};

// The folder's path when it exists on this machine. A folder this system does not know (an
// older Windows, or OneDrive never set up), or one that does not exist, fails with an empty
// value.
Result<std::wstring> KnownFolderPath(KnownFolder folder);

}  // namespace platform
