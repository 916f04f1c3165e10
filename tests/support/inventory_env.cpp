#include "support/inventory_env.h"

#include <windows.h>

#include "inventory/inventory_file.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "support/scratch.h"

namespace test {
namespace {

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
  return ReadFileBytes(InventoryFilePath());
}

void WriteInventoryBytes(const std::string& bytes) {
  platform::UniqueHandle file(CreateFileW(InventoryFilePath().c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
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
