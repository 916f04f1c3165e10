#include "support/shell_folders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/fs.h"
#include "platform/handles.h"

namespace test {
namespace {

platform::UniqueRegistryKey OpenUserShellFolders() {
  platform::UniqueRegistryKey key;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER,
                          L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                          L"User Shell Folders",
                          0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.receive()),
            ERROR_SUCCESS);
  return key;
}

std::wstring MakeRootSentinel(const wchar_t* kind, DWORD attributes) {
  std::wstring path =
      L"C:\\nimbrel-sentinel-" + std::to_wstring(GetCurrentProcessId()) + L"-" + kind + L".txt";
  platform::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_TRUE(file.valid());
  file.reset();
  SetFileAttributesW(path.c_str(), attributes);
  return path;
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

CurrentFolderOnDriveC::~CurrentFolderOnDriveC() {
  (void)platform::fs::ChangeCurrentFolder(platform::fs::ProgramFolder());
}

bool CurrentFolderOnDriveC::Enter() const {
  if (!platform::fs::ChangeCurrentFolder(folder_).ok())
    return false;
  const std::wstring current = platform::fs::CurrentFolder();
  return current.size() >= 3 && (current[0] == L'C' || current[0] == L'c') &&
         current.substr(1, 2) == L":\\";
}

RootSentinels::RootSentinels()
    : plain_(MakeRootSentinel(L"plain", FILE_ATTRIBUTE_NORMAL)),
      read_only_(MakeRootSentinel(L"read-only", FILE_ATTRIBUTE_READONLY)) {}

RootSentinels::~RootSentinels() {
  for (const std::wstring& path : {plain_, read_only_}) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  }
}

bool RootSentinels::Intact() const {
  const DWORD plain = GetFileAttributesW(plain_.c_str());
  const DWORD read_only = GetFileAttributesW(read_only_.c_str());
  return plain != INVALID_FILE_ATTRIBUTES && read_only != INVALID_FILE_ATTRIBUTES &&
         (read_only & FILE_ATTRIBUTE_READONLY);
}

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
  std::wstring result = path;
  while (result.size() > 3 && result.back() == L'\\')
    result.pop_back();
  return result;
}

}  // namespace test
