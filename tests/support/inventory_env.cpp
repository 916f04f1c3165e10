#include "support/inventory_env.h"

#include <windows.h>

#include <shlobj.h>

#include "inventory/inventory_file.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "support/scratch.h"

namespace test {
namespace {

std::wstring LocalAppData() {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  platform::UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file &&
         WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void RemoveFileOrTree(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!DeleteFileW(path.c_str()))
    RemoveTree(path);
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[1024] = {};
  DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
  return std::wstring(buffer, length < 1024 ? length : 0);
}

}  // namespace

std::wstring WithoutSlash(const std::wstring& path) {
  std::wstring folder = path;
  while (folder.size() > 3 && folder.back() == L'\\')
    folder.pop_back();
  return folder;
}

std::uint32_t FolderAttributes(const std::wstring& path) {
  return GetFileAttributesW(WithoutSlash(path).c_str());
}

std::string ReadInventoryBytes() {
  return ReadFileBytes(WrittenInventoryFilePath());
}

void WriteInventoryBytes(const std::string& bytes) {
  WriteBytes(WrittenInventoryFilePath(), bytes);
}

RefusedProgramInventory::RefusedProgramInventory(By by, const std::string& bytes)
    : by_(by),
      refused_(InventoryFilePath()),
      fallback_folder_(LocalAppData() + L"\\Nimbrel"),
      fallback_(fallback_folder_ + L"\\Reper.txt") {
  Clear();
  if (by == By::kFolder) {
    CreateDirectoryW(refused_.c_str(), nullptr);
  } else if (by == By::kHeldFile) {
    WriteBytes(refused_, bytes);
    holder_.reset(CreateFileW(refused_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  }
}

RefusedProgramInventory::~RefusedProgramInventory() {
  holder_.reset();
  Clear();
}

bool RefusedProgramInventory::RefuseFallback() {
  RemoveFileOrTree(fallback_folder_);
  return WriteBytes(fallback_folder_, "");
}

void RefusedProgramInventory::Clear() {
  if (by_ != By::kNothing)
    RemoveFileOrTree(refused_);
  RemoveFileOrTree(fallback_folder_);
}

bool MakeReadOnlyFolder(const std::wstring& path) {
  const std::wstring folder = WithoutSlash(path);
  const std::string unix_path = UnixPath(folder);
  return !unix_path.empty() &&
         RunUnixProgram(L"Z:\\bin\\chmod 555 \"" + platform::FromUtf8(unix_path) + L"\"") &&
         WaitUntil([&] {
           return GetFileAttributesW(folder.c_str()) ==
                  (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
         });
}

ScopedVariable::ScopedVariable(const wchar_t* name, const wchar_t* value)
    : name_(name), old_(Environment(name)) {
  SetEnvironmentVariableW(name, value);
}

ScopedVariable::~ScopedVariable() {
  SetEnvironmentVariableW(name_.c_str(), old_.empty() ? nullptr : old_.c_str());
}

ScopedTempFolder::ScopedTempFolder(const std::wstring& folder)
    : ScopedTempFolder(folder.c_str(), folder.c_str()) {}

ScopedTempFolder::ScopedTempFolder(const wchar_t* tmp, const wchar_t* temp)
    : tmp_(L"TMP", tmp), temp_(L"TEMP", temp) {}

}  // namespace test
