#include "platform/folder_list.h"

#include <windows.h>

#include <algorithm>

#include "platform/handles.h"

namespace platform {
namespace {

std::wstring FullPath(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0)
    return {};
  std::wstring full(size, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  full.resize(length);
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
    full.pop_back();
  return full;
}

std::wstring WithSlash(const std::wstring& path) {
  return !path.empty() && path.back() == L'\\' ? path : path + L'\\';
}

}  // namespace

Status FolderList::SetPath(const std::wstring& path) {
  std::wstring full = FullPath(path);
  if (full.empty())
    return Status::FromWin32(ERROR_PATH_NOT_FOUND);
  DWORD attributes = GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return Status::FromLastError();
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Status::FromWin32(ERROR_DIRECTORY);

  std::vector<std::wstring> subfolders;
  const std::wstring prefix = WithSlash(full);
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileExW((prefix + L"*").c_str(), FindExInfoBasic, &data,
                                         FindExSearchLimitToDirectories, nullptr, 0));
  if (find) {
    do {
      std::wstring_view name = data.cFileName;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
        subfolders.push_back(prefix + data.cFileName);
    } while (FindNextFileW(find.get(), &data));
  }
  std::sort(subfolders.begin(), subfolders.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_LESS_THAN;
  });
  path_ = std::move(full);
  subfolders_ = std::move(subfolders);
  return Status::Ok();
}

std::wstring FolderList::List(int index) const {
  if (index == -1)
    return path_;
  if (index < 0 || index >= ListCount())
    return {};
  return subfolders_[static_cast<size_t>(index)];
}

FolderList& SharedFolderList() {
  static FolderList list;
  return list;
}

}  // namespace platform
