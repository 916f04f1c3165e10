#include "platform/fs.h"

#include <windows.h>

#include <string_view>
#include <vector>

#include "platform/deletion.h"
#include "platform/erasure.h"
#include "platform/events.h"
#include "platform/fs_seams.h"
#include "platform/handles.h"
#include "platform/paths.h"
#include "platform/tally.h"

namespace platform::fs {

using detail::AsReported;
using detail::BeforeChange;

namespace {

// The process-wide search cursor.
struct SearchCursor {
  UniqueFindHandle handle;
  std::uint32_t mask = 0;
  std::wstring folder;  // joined to each name found, for the file-link test seam
};
SearchCursor& Cursor() {
  static SearchCursor cursor;
  return cursor;
}

std::uint64_t FileSize(DWORD high, DWORD low) {
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

bool Matches(std::uint32_t attributes, std::uint32_t mask) {
  const std::uint32_t restricted = attributes & (kHidden | kSystem | kDirectory);
  return (restricted & ~mask) == 0;
}

testing::FileLinkCheck& InstalledFileLinkCheck() {
  static testing::FileLinkCheck check = nullptr;
  return check;
}

// Fills `entry` with the first matching entry at or after the handle's current one.
Status Advance(const WIN32_FIND_DATAW* current, FoundEntry* entry) {
  SearchCursor& cursor = Cursor();
  WIN32_FIND_DATAW data;
  if (current)
    data = *current;
  for (;;) {
    if (!current) {
      if (!FindNextFileW(cursor.handle.get(), &data)) {
        DWORD error = GetLastError();
        cursor.handle.reset();
        *entry = {};
        return error == ERROR_NO_MORE_FILES ? Status::Ok() : Status::FromWin32(error);
      }
    }
    current = nullptr;
    if (Matches(data.dwFileAttributes, cursor.mask)) {
      entry->name = data.cFileName;
      entry->attributes = AsReported(cursor.folder, entry->name, data.dwFileAttributes);
      entry->size = FileSize(data.nFileSizeHigh, data.nFileSizeLow);
      return Status::Ok();
    }
  }
}

bool IsNothingFound(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_NO_MORE_FILES;
}

std::function<void(const std::wstring&)>& BeforeChangeHook() {
  static std::function<void(const std::wstring&)> hook;
  return hook;
}

// Whether `name` matches a file pattern: "*" stands for any run of characters, "?" for one,
// letter case aside; a final ".*" also matches a name without a dot, so "*.*" matches every name.
bool MatchesPattern(std::wstring_view name, std::wstring_view pattern) {
  if (pattern.ends_with(L".*") && name.find(L'.') == std::wstring_view::npos)
    pattern.remove_suffix(2);
  if (pattern.empty())
    return name.empty();
  if (pattern.front() == L'*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (MatchesPattern(name.substr(skip), pattern.substr(1)))
        return true;
    }
    return false;
  }
  if (name.empty())
    return false;
  if (pattern.front() != L'?' && !SamePathText(name.substr(0, 1), pattern.substr(0, 1)))
    return false;
  return MatchesPattern(name.substr(1), pattern.substr(1));
}

std::wstring FolderPart(const std::wstring& pattern) {
  size_t slash = pattern.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : pattern.substr(0, slash + 1);
}

}  // namespace

namespace detail {

void BeforeChange(const std::wstring& path) {
  if (BeforeChangeHook())
    BeforeChangeHook()(path);
}

std::uint32_t AsReported(const std::wstring& folder, const std::wstring& name,
                         std::uint32_t attributes) {
  if (InstalledFileLinkCheck() && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      InstalledFileLinkCheck()(folder, name))
    attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  return attributes;
}

}  // namespace detail

Status FindFirst(const std::wstring& pattern, std::uint32_t mask, FoundEntry* first) {
  SearchCursor& cursor = Cursor();
  cursor.handle.reset();
  cursor.mask = mask;
  *first = {};
  std::wstring query = pattern;
  if (query.empty() || query.back() == L'\\' || query.back() == L'/')
    query += L"*.*";
  cursor.folder = FolderPart(query);
  if (cursor.folder == L".")
    cursor.folder.clear();
  WIN32_FIND_DATAW data;
  cursor.handle.reset(FindFirstFileExW(query.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!cursor.handle) {
    DWORD error = GetLastError();
    return IsNothingFound(error) ? Status::Ok() : Status::FromWin32(error);
  }
  return Advance(&data, first);
}

Status FindNext(FoundEntry* next) {
  if (!Cursor().handle) {
    *next = {};
    return Status::Ok();
  }
  return Advance(nullptr, next);
}

Status GetAttributes(const std::wstring& path, std::uint32_t* attributes) {
  DWORD value = GetFileAttributesW(path.c_str());
  if (value == INVALID_FILE_ATTRIBUTES) {
    *attributes = 0;
    return Status::FromLastError();
  }
  *attributes = AsReported(std::wstring(), path, value);
  return Status::Ok();
}

bool IsLink(const std::wstring& path) {
  std::wstring itself = path;
  while (itself.size() > 1 && (itself.back() == L'\\' || itself.back() == L'/') &&
         itself[itself.size() - 2] != L':')
    itself.pop_back();
  std::uint32_t attributes = 0;
  return GetAttributes(itself, &attributes).ok() && (attributes & kReparsePoint) != 0;
}

Status RemoveMatchingFiles(const std::wstring& pattern) {
  const std::wstring folder_part = FolderPart(pattern);
  const std::wstring name_pattern = pattern.substr(folder_part == L"." ? 0 : folder_part.size());
  deletion::Folder folder;
  if (Status opened =
          deletion::Folder::Open(folder_part == L"." ? CurrentFolder() : folder_part, &folder);
      !opened) {
    // A folder that is a link could lead anywhere; one that cannot be opened holds no match.
    return deletion::IsLinkRefused(opened) ? Status::FromWin32(ERROR_ACCESS_DENIED)
                                           : Status::FromWin32(ERROR_FILE_NOT_FOUND);
  }
  std::vector<deletion::Entry> entries;
  if (!folder.List(&entries))
    return Status::FromWin32(ERROR_FILE_NOT_FOUND);
  bool matched = false;
  Status first_failure = Status::Ok();
  for (const deletion::Entry& entry : entries) {
    KeepPainted();
    if (!Matches(entry.attributes, kNormal) || !MatchesPattern(entry.name, name_pattern))
      continue;
    // A link to a file is left like every link: it may lead anywhere (and under Wine, deleting
    // it deletes its target).
    if (entry.IsReparsePoint()) {
      tally::NoteLinkLeft();
      continue;
    }
    matched = true;
    // A file in use or refused stays, and the next one is tried all the same.
    if (Status deleted = folder.DeleteChild(entry, deletion::ReadOnly::kStays);
        !deleted && first_failure.ok())
      first_failure = deleted;
  }
  return matched ? first_failure : Status::FromWin32(ERROR_FILE_NOT_FOUND);
}

Status MakeFolder(const std::wstring& path) {
  if (erasure::Counting())
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES
               ? Status::FromWin32(ERROR_ALREADY_EXISTS)
               : Status::Ok();
  return CreateDirectoryW(path.c_str(), nullptr) ? Status::Ok() : Status::FromLastError();
}

Status ChangeCurrentFolder(const std::wstring& path) {
  return SetCurrentDirectoryW(path.c_str()) ? Status::Ok() : Status::FromLastError();
}

std::wstring CurrentFolder() {
  DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring path(size, L'\0');
  DWORD length = GetCurrentDirectoryW(size, path.data());
  path.resize(length);
  return path;
}

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L'\\');
  path.resize(slash == std::wstring::npos ? 0 : slash);
  if (path.size() == 2 && path[1] == L':')
    path += L'\\';
  return path;
}

bool FolderExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsRootOfCurrentDrive(const std::wstring& path) {
  Result<std::wstring> resolved = FullPath(path);
  if (!resolved.ok())
    return false;
  std::wstring& full = resolved.value;
  while (full.size() > 1 && (full.back() == L'\\' || full.back() == L'/'))
    full.pop_back();
  std::wstring current = CurrentFolder();
  // The drive part of the current folder: "C:" or "\\server\share".
  std::wstring drive;
  if (current.size() >= 2 && current[1] == L':') {
    drive = current.substr(0, 2);
  } else if (current.rfind(L"\\\\", 0) == 0) {
    size_t server_end = current.find(L'\\', 2);
    size_t share_end =
        server_end == std::wstring::npos ? server_end : current.find(L'\\', server_end + 1);
    drive = current.substr(0, share_end);
  }
  return !drive.empty() &&
         CompareStringOrdinal(full.c_str(), -1, drive.c_str(), -1, TRUE) == CSTR_EQUAL;
}

namespace testing {
void SetBeforeChangeHook(std::function<void(const std::wstring& path)> hook) {
  BeforeChangeHook() = std::move(hook);
}

void SetFileLinkCheck(FileLinkCheck is_file_link) {
  InstalledFileLinkCheck() = is_file_link;
}
}  // namespace testing

}  // namespace platform::fs
