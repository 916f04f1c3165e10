#include "cleaners/folders/folder_guard.h"

#include <cstdint>

#include "platform/deletion.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/tally.h"

namespace {

bool IsSlash(wchar_t c) {
  return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c) {
  return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// "X:\..." or "\\server\share..." (UNC and device paths). "X:name" and "\name" depend on the
// process's current folder or drive, so they do not count.
bool IsAbsolute(const std::wstring& path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSlash(path[2]))
    return true;
  return path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]);
}

// Number of non-empty components of `path` separated by "\".
int CountComponents(const std::wstring& path) {
  int count = 0;
  bool in_component = false;
  for (wchar_t c : path) {
    if (IsSlash(c)) {
      in_component = false;
    } else if (!in_component) {
      in_component = true;
      ++count;
    }
  }
  return count;
}

// `full` is an absolute path as FullPath gives it.
bool IsRoot(const std::wstring& full) {
  std::wstring rest = full;
  bool unc = false;
  if (rest.starts_with(L"\\\\?\\") || rest.starts_with(L"\\\\.\\")) {
    rest.erase(0, 4);
    if (rest.starts_with(L"UNC\\") || rest.starts_with(L"unc\\")) {
      rest.erase(0, 4);
      unc = true;
    }
  } else if (rest.starts_with(L"\\\\")) {
    rest.erase(0, 2);
    unc = true;
  }
  // A share root is "server\share"; a drive or volume root is "C:" or "Volume{...}".
  return CountComponents(rest) <= (unc ? 2 : 1);
}

}  // namespace

bool IsCleanableFolder(const std::wstring& folder) {
  if (folder.empty() || !IsAbsolute(folder))
    return false;
  platform::Result<std::wstring> full = platform::FullPath(folder);
  if (!full.ok() || IsRoot(full.value))
    return false;
  return !platform::fs::IsLink(full.value);
}

std::wstring WithTrailingBackslash(const std::wstring& folder) {
  return !folder.empty() && folder.back() == L'\\' ? folder : folder + L'\\';
}

bool LeftAsLink(const std::wstring& path) {
  if (!platform::fs::IsLink(path))
    return false;
  platform::tally::NoteLinkLeft();
  return true;
}

void DeleteLooseFiles(const std::wstring& folder) {
  namespace deletion = platform::deletion;
  deletion::Folder opened;
  if (platform::Status status = deletion::Folder::Open(folder, &opened); !status) {
    if (deletion::IsLinkRefused(status))
      platform::tally::NoteLinkLeft();
    return;
  }
  // Errors ignored: a file that cannot be deleted stays and the next one is tried.
  (void)deletion::DeletePlainFiles(opened, deletion::ReadOnly::kLifted);
}
