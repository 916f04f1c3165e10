#pragma once
// The folders no cleaner may work in, and the places inside them where the system keeps the
// folders the cleaners clean.

#include <string>
#include <vector>

// The protected trees around the folder `cleaned`: the system's folders (Windows, both Program
// Files, ProgramData), the user's profile, the user's own folders (Documents, Downloads, Desktop,
// AppData, OneDrive...) and the Public profile with its folders, as paths; an application data
// folder is no tree around itself, wherever it was put. A folder the system does not know is not in
// the list; one configured but not yet made may be.
enum class CleanedFolder;
std::vector<std::wstring> ProtectedTrees(CleanedFolder cleaned);

// The folders the cleaners clean, each known by the place the system gives it.
enum class CleanedFolder {
  kTemp,            // the temporary folder (TMP, TEMP)
  kInternetCache,   // the temporary Internet files (INetCache, Temporary Internet Files)
  kHistory,         // the browser's history folder
  kCookies,         // the cookies folder (INetCookies, Cookies)
  kRecent,          // the recent documents folder
  kRoamingAppData,  // the roaming application data folder, which browsers' folders lie below
  kLocalAppData,    // the local application data folder, likewise
  kProfileUserData  // the browser's userData store of Windows XP, in the profile
};

// One place where the system keeps a cleaned folder inside a protected tree.
struct DefaultPlace {
  std::wstring path;
  bool with_sub_folders = false;  // the folders below it are the system's too ("Temp\2")
};

// Where the system keeps `folder` by default, worked out from folders no user setting moves (the
// profile the system gives the user, the system's Windows folder): never from the values of
// "User Shell Folders", which any program of the user may change.
std::vector<DefaultPlace> DefaultPlacesOf(CleanedFolder folder);
