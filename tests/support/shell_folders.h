#pragma once
// Real shell-folder and current-folder state for the folder cleaners' tests.

#include <string>
#include <vector>

namespace test {

// Points one of the current user's shell folders at `path` (a value name of the key
// HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders: "Recent",
// "History", "Cache", "Cookies"...) for the object's lifetime, then puts the previous value
// back: every test process shares the one Wine prefix.
class ShellFolderRedirect {
 public:
  ShellFolderRedirect(const std::wstring& name, const std::wstring& path);
  ShellFolderRedirect(const ShellFolderRedirect&) = delete;
  ShellFolderRedirect& operator=(const ShellFolderRedirect&) = delete;
  ~ShellFolderRedirect();

 private:
  std::wstring name_;
  bool had_value_ = false;
  unsigned long type_ = 0;
  std::vector<unsigned char> previous_;
};

// Makes a folder current (call Enter() under ASSERT_TRUE; true when it is then current) and the
// program's folder current again when the object goes, since a current folder cannot be
// removed. "\" alone names the root of the current drive: tests that could reach it make a
// folder of a ScratchDrive current, never one of drive C: or of the host behind Z:.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::wstring& folder) : folder_(folder) {}
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;
  ~ScopedCurrentFolder();
  bool Enter() const;

 private:
  std::wstring folder_;
};

// `path` without trailing backslash (as the shell gives paths), except at a drive root.
std::wstring WithoutTrailingBackslash(const std::wstring& path);

}  // namespace test
