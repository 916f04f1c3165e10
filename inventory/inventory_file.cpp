#include "inventory/inventory_file.h"

#include "platform/deletion.h"
#include "platform/erasure.h"
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

namespace {

// Opens a new inventory file in `folder` for output (see deletion::Folder::MakeFile).
platform::Status OpenIn(const platform::deletion::Folder& folder) {
  platform::UniqueHandle file;
  NIMBREL_TRY(folder.MakeFile(kFileName, &file));
  return platform::files::OpenForOutput(kInventoryFileNumber, std::move(file));
}

// The fallback folder, reached as a cleaned folder is: the local application data folder, not
// a link, then its "Nimbrel" folder below that handle, made when missing, not a link either.
platform::Status OpenInFallbackFolder() {
  platform::Result<std::wstring> local = platform::SpecialFolderPath(platform::kLocalAppDataFolder);
  NIMBREL_TRY(local.status);
  platform::deletion::Folder local_folder, own_folder;
  NIMBREL_TRY(platform::deletion::Folder::Open(local.value, &local_folder));
  NIMBREL_TRY(local_folder.OpenOrMakeChild(kFallbackFolderName, &own_folder));
  return OpenIn(own_folder);
}

}  // namespace

platform::Status OpenInventoryFileForOutput() {
  WrittenPath().clear();
  NIMBREL_TRY(platform::files::Close(kInventoryFileNumber));
  if (platform::erasure::Counting()) {
    // An analysis writes nothing: the inventory stays in memory.
    NIMBREL_TRY(platform::files::OpenInMemoryForOutput(kInventoryFileNumber, InventoryFilePath()));
    WrittenPath() = InventoryFilePath();
    return platform::Status::Ok();
  }
  platform::deletion::Folder program_folder;
  platform::Status opened =
      platform::deletion::Folder::Open(platform::fs::ProgramFolder(), &program_folder);
  if (opened)
    opened = OpenIn(program_folder);
  std::wstring path = InventoryFilePath();
  if (!opened) {
    path = FallbackInventoryFilePath();
    if (path.empty())
      return opened;
    opened = OpenInFallbackFolder();
  }
  if (opened)
    WrittenPath() = path;
  return opened;
}

std::wstring WrittenInventoryFilePath() {
  return WrittenPath();
}
