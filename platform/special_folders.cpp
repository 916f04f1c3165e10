#include "platform/special_folders.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cwchar>

#include "platform/handles.h"

namespace platform {

static_assert(kLocalAppDataFolder == CSIDL_LOCAL_APPDATA);

Result<std::wstring> SpecialFolderPath(int csidl) {
  Result<std::wstring> result;
  PIDLIST_ABSOLUTE items = nullptr;
  HRESULT hr = SHGetSpecialFolderLocation(nullptr, csidl, &items);
  // The shell allocates item lists with the COM task allocator (the one SHGetMalloc returns),
  // so CoTaskMemFree is how the caller gives the list back.
  UniqueCoTaskMemory owner(items);
  // Only a plain S_OK counts: any other code, success codes included, means no folder.
  if (hr != S_OK || !items) {
    result.status = Status::FromHresult(FAILED(hr) ? hr : E_FAIL);
    return result;
  }
  // Zero-filled on every call, so nothing of an earlier path can show through.
  wchar_t buffer[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(items, buffer)) {
    result.status = Status::FromHresult(E_FAIL);
    return result;
  }
  result.value.assign(buffer, wcsnlen(buffer, MAX_PATH));
  return result;
}

Result<std::wstring> ConfiguredSpecialFolderPath(int csidl) {
  Result<std::wstring> result;
  wchar_t buffer[MAX_PATH] = {};
  HRESULT hr = SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_DONT_VERIFY, nullptr,
                                SHGFP_TYPE_CURRENT, buffer);
  result.value.assign(buffer, wcsnlen(buffer, MAX_PATH));
  if (FAILED(hr) || result.value.empty()) {
    result.value.clear();
    result.status = Status::FromHresult(FAILED(hr) ? hr : E_FAIL);
  }
  return result;
}

Result<std::wstring> SystemWindowsFolder() {
  Result<std::wstring> result;
  wchar_t buffer[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    result.status =
        length == 0 ? Status::FromLastError() : Status::FromWin32(ERROR_BUFFER_OVERFLOW);
    return result;
  }
  result.value.assign(buffer, length);
  return result;
}

namespace {

const KNOWNFOLDERID& KnownFolderId(KnownFolder folder) {
  switch (folder) {
    case KnownFolder::kDownloads:
      return FOLDERID_Downloads;
    case KnownFolder::kSavedGames:
      return FOLDERID_SavedGames;
    case KnownFolder::kContacts:
      return FOLDERID_Contacts;
    case KnownFolder::kLinks:
      return FOLDERID_Links;
    case KnownFolder::kSearches:
      return FOLDERID_SavedSearches;
    case KnownFolder::kOneDrive:
      // Named SkyDrive in older headers; Windows 10 calls the same id OneDrive.
      return FOLDERID_SkyDrive;
    case KnownFolder::kPublic:
      return FOLDERID_Public;
    case KnownFolder::kPublicDesktop:
      return FOLDERID_PublicDesktop;
    case KnownFolder::kPublicDocuments:
      return FOLDERID_PublicDocuments;
    case KnownFolder::kPublicDownloads:
      return FOLDERID_PublicDownloads;
    case KnownFolder::kPublicMusic:
      return FOLDERID_PublicMusic;
    case KnownFolder::kPublicPictures:
      return FOLDERID_PublicPictures;
    case KnownFolder::kPublicVideos:
      return FOLDERID_PublicVideos;
    case KnownFolder::kProgramData:
      return FOLDERID_ProgramData;
  }
  return FOLDERID_ProgramData;
}

}  // namespace

Result<std::wstring> KnownFolderPath(KnownFolder folder) {
  Result<std::wstring> result;
  PWSTR path = nullptr;
  // No flags: the shell checks that the folder exists and creates nothing.
  HRESULT hr = SHGetKnownFolderPath(KnownFolderId(folder), 0, nullptr, &path);
  // The path is allocated even on some failures; it goes back to the COM task allocator.
  UniqueCoTaskMemory owner(path);
  if (FAILED(hr) || !path || !*path) {
    result.status = Status::FromHresult(FAILED(hr) ? hr : E_FAIL);
    return result;
  }
  result.value = path;
  return result;
}

}  // namespace platform
