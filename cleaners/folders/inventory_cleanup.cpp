#include "cleaners/folders/inventory_cleanup.h"

#include "inventory/inventory_file.h"
#include "platform/events.h"
#include "platform/fs.h"
#include "platform/text_files.h"

namespace fs = platform::fs;
namespace files = platform::files;

namespace {

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

bool IsBlank(const std::wstring& line) {
  return line.find_first_not_of(L' ') == std::wstring::npos;
}

}  // namespace

bool IsCleanableFolder(const std::wstring& folder) {
  std::wstring path = folder;
  while (!path.empty() && IsSeparator(path.back()))
    path.pop_back();
  const bool drive_path = path.size() > 2 && path[1] == L':' && IsSeparator(path[2]);
  if (drive_path)
    return path.find_first_not_of(L"\\/", 3) != std::wstring::npos;
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1]))
    return false;
  // A network path: "\\server\share" is a root; it needs one more component below.
  std::size_t server_end = path.find_first_of(L"\\/", 2);
  if (server_end == std::wstring::npos)
    return false;
  std::size_t share_end = path.find_first_of(L"\\/", server_end + 1);
  return share_end != std::wstring::npos &&
         path.find_first_not_of(L"\\/", share_end) != std::wstring::npos;
}

bool IsLink(const std::wstring& path) {
  std::uint32_t attributes = 0;
  return fs::GetAttributes(path, &attributes).ok() && (attributes & fs::kReparsePoint) != 0;
}

bool IsPlainFolderName(const std::wstring& line) {
  if (line.empty() || line.back() == L'.' || line.back() == L' ')
    return false;
  for (wchar_t c : line) {
    if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
      return false;
  }
  return true;
}

void DeleteLooseFiles(const std::wstring& folder) {
  fs::FoundEntry entry;
  (void)fs::FindFirst(folder + L"*.*", fs::kNormal, &entry);
  while (!entry.end()) {
    if (!entry.IsReparsePoint()) {
      (void)fs::SetAttributes(folder + entry.name, fs::kNormal);
      (void)fs::RemoveFile(folder + entry.name);
    }
    platform::KeepPainted();
    (void)fs::FindNext(&entry);
  }
}

void ForEachInventoryName(const std::function<void(const std::wstring& name)>& act) {
  if (files::OpenForInput(kInventoryFileNumber, InventoryFilePath())) {
    std::wstring line;
    (void)files::LineInput(kInventoryFileNumber, &line);  // the scanned folder itself
    while (!files::AtEnd(kInventoryFileNumber)) {
      if (!files::LineInput(kInventoryFileNumber, &line))
        break;
      if (!IsBlank(line) && IsPlainFolderName(line))
        act(line);
      platform::KeepPainted();
    }
  }
  files::CloseAll();
}
