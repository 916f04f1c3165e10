#include "support/shell_folder_override.h"

#include <windows.h>

#include <vector>

namespace test {
namespace {

const wchar_t kUserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void Write(const std::wstring& name, const std::wstring& value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kUserShellFolders, name.c_str(), REG_EXPAND_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

ShellFolderOverride::ShellFolderOverride(const std::wstring& value_name, const std::wstring& path)
    : value_name_(value_name) {
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kUserShellFolders, value_name.c_str(),
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, nullptr,
                   &size) == ERROR_SUCCESS) {
    std::vector<wchar_t> old(size / sizeof(wchar_t) + 1);
    if (RegGetValueW(HKEY_CURRENT_USER, kUserShellFolders, value_name.c_str(),
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, old.data(),
                     &size) == ERROR_SUCCESS)
      previous_ = old.data();
  }
  Write(value_name, path);
}

ShellFolderOverride::~ShellFolderOverride() {
  if (previous_)
    Write(value_name_, *previous_);
  else
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserShellFolders, value_name_.c_str());
}

}  // namespace test
