#include "support/shell_folders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/fs.h"
#include "platform/handles.h"

namespace test {
namespace {

const wchar_t kUserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

platform::UniqueRegistryKey OpenUserShellFolders() {
  platform::UniqueRegistryKey key;
  LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, kUserShellFolders, 0,
                                 KEY_QUERY_VALUE | KEY_SET_VALUE, key.receive());
  EXPECT_EQ(status, ERROR_SUCCESS);
  return key;
}

std::wstring UniqueRootName(const wchar_t* kind) {
  return L"C:\\nimbrel-sentinel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(GetTickCount64() % 100000) + L"-" + kind + L".txt";
}

const char kSentinelContent[] = "sentinel";

void WriteSentinel(const std::wstring& path, DWORD attributes) {
  platform::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file.valid()) << "cannot create " << testing::PrintToString(path);
  DWORD written = 0;
  WriteFile(file.get(), kSentinelContent, sizeof kSentinelContent - 1, &written, nullptr);
  file.reset();
  SetFileAttributesW(path.c_str(), attributes);
}

bool SentinelIntact(const std::wstring& path, DWORD attributes) {
  const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                     FILE_ATTRIBUTE_DIRECTORY;
  DWORD actual = GetFileAttributesW(path.c_str());
  if (actual == INVALID_FILE_ATTRIBUTES || (actual & kept) != attributes)
    return false;
  platform::UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  char content[sizeof kSentinelContent] = {};
  DWORD read = 0;
  ReadFile(file.get(), content, sizeof content, &read, nullptr);
  return std::string(content, read) == kSentinelContent;
}

}  // namespace

ShellFolderRedirect::ShellFolderRedirect(const std::wstring& name, const std::wstring& path)
    : name_(name) {
  platform::UniqueRegistryKey key = OpenUserShellFolders();
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name_.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    previous_.resize(size);
    had_value_ = RegQueryValueExW(key.get(), name_.c_str(), nullptr, &type, previous_.data(),
                                  &size) == ERROR_SUCCESS;
    previous_.resize(size);
    type_ = type;
  }
  EXPECT_EQ(RegSetValueExW(key.get(), name_.c_str(), 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(path.c_str()),
                           static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

ShellFolderRedirect::~ShellFolderRedirect() {
  platform::UniqueRegistryKey key = OpenUserShellFolders();
  if (had_value_)
    RegSetValueExW(key.get(), name_.c_str(), 0, type_, previous_.data(),
                   static_cast<DWORD>(previous_.size()));
  else
    RegDeleteValueW(key.get(), name_.c_str());
}

RootSentinels::RootSentinels()
    : plain_(UniqueRootName(L"plain")), read_only_(UniqueRootName(L"readonly")) {
  WriteSentinel(plain_, FILE_ATTRIBUTE_NORMAL);
  WriteSentinel(read_only_, FILE_ATTRIBUTE_READONLY);
}

RootSentinels::~RootSentinels() {
  for (const std::wstring& path : {plain_, read_only_}) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
}

bool RootSentinels::Intact() const {
  return SentinelIntact(plain_, 0) && SentinelIntact(read_only_, FILE_ATTRIBUTE_READONLY);
}

bool CurrentFolderOnDriveC(const std::wstring& folder) {
  if (!SetCurrentDirectoryW(folder.c_str()))
    return false;
  wchar_t current[MAX_PATH] = {};
  DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
  return length >= 3 && length < MAX_PATH && (current[0] == L'C' || current[0] == L'c') &&
         current[1] == L':' && current[2] == L'\\';
}

BackToProgramFolder::~BackToProgramFolder() {
  (void)platform::fs::ChangeCurrentFolder(platform::fs::ProgramFolder());
}

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
  std::wstring result = path;
  while (result.size() > 3 && result.back() == L'\\')
    result.pop_back();
  return result;
}

}  // namespace test
