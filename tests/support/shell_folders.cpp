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

ScopedCurrentFolder::~ScopedCurrentFolder() {
  (void)platform::fs::ChangeCurrentFolder(platform::fs::ProgramFolder());
}

bool ScopedCurrentFolder::Enter() const {
  return platform::fs::ChangeCurrentFolder(folder_).ok();
}

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
  std::wstring result = path;
  while (result.size() > 3 && result.back() == L'\\')
    result.pop_back();
  return result;
}

}  // namespace test
