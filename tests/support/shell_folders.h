#pragma once
// Real shell-folder and drive-root state for the folder cleaners' tests.

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

// "\" alone names the root of the current drive. Tests that could reach it make a folder on
// drive C: current (call Enter() under ASSERT_TRUE), so that root is C:\ of the test prefix,
// never the host's root behind Z:. The program's folder is made current again at the end, since
// a current folder cannot be removed.
class CurrentFolderOnDriveC {
 public:
  explicit CurrentFolderOnDriveC(const std::wstring& folder) : folder_(folder) {}
  CurrentFolderOnDriveC(const CurrentFolderOnDriveC&) = delete;
  CurrentFolderOnDriveC& operator=(const CurrentFolderOnDriveC&) = delete;
  ~CurrentFolderOnDriveC();
  // Makes the folder current; true when the current drive is then C:.
  bool Enter() const;

 private:
  std::wstring folder_;
};

// A plain and a read-only file in C:\ that no cleaner may touch; removed at the end.
class RootSentinels {
 public:
  RootSentinels();
  RootSentinels(const RootSentinels&) = delete;
  RootSentinels& operator=(const RootSentinels&) = delete;
  ~RootSentinels();
  bool Intact() const;

 private:
  std::wstring plain_;
  std::wstring read_only_;
};

// `path` without trailing backslash (as the shell gives paths), except at a drive root.
std::wstring WithoutTrailingBackslash(const std::wstring& path);

}  // namespace test
