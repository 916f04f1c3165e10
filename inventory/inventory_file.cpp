#include "inventory/inventory_file.h"

#include "platform/fs.h"
#include "platform/special_folders.h"
#include "platform/text_files.h"

namespace {

constexpr wchar_t kFileName[] = L"Reper.txt";
constexpr wchar_t kFallbackFolderName[] = L"Nimbrel";

std::wstring WithSlash(std::wstring folder) {
  if (folder.empty() || folder.back() != L'\\')
    folder += L'\\';
  return folder;
}

std::wstring& WrittenPath() {
  static std::wstring path = InventoryFilePath();
  return path;
}

}  // namespace

std::wstring InventoryFilePath() {
  return WithSlash(platform::fs::ProgramFolder()) + kFileName;
}

std::wstring FallbackInventoryFilePath() {
  platform::Result<std::wstring> local = platform::SpecialFolderPath(platform::kLocalAppDataFolder);
  if (!local.ok() || local.value.empty())
    return {};
  return WithSlash(local.value) + kFallbackFolderName + L"\\" + kFileName;
}

platform::Status OpenInventoryFileForOutput() {
  namespace files = platform::files;
  WrittenPath().clear();
  std::wstring path = InventoryFilePath();
  platform::Status opened = files::OpenForOutput(kInventoryFileNumber, path);
  if (!opened) {
    path = FallbackInventoryFilePath();
    if (path.empty())
      return opened;
    // The folder may be there already; opening the file tells whether it is usable.
    (void)platform::fs::MakeFolder(path.substr(0, path.rfind(L'\\')));
    opened = files::OpenForOutput(kInventoryFileNumber, path);
  }
  if (opened)
    WrittenPath() = path;
  return opened;
}

std::wstring WrittenInventoryFilePath() {
  return WrittenPath();
}
