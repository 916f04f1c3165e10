#pragma once
// Points one of the current user's shell folders elsewhere for the length of a test (the
// registry value under "User Shell Folders"), then puts the old value back.

#include <optional>
#include <string>

namespace test {

class ShellFolderOverride {
 public:
  // `value_name` is the registry name of the folder ("Cookies", "Cache", "History"...).
  ShellFolderOverride(const std::wstring& value_name, const std::wstring& path);
  ShellFolderOverride(const ShellFolderOverride&) = delete;
  ShellFolderOverride& operator=(const ShellFolderOverride&) = delete;
  ~ShellFolderOverride();

 private:
  std::wstring value_name_;
  std::optional<std::wstring> previous_;
};

}  // namespace test
