#pragma once
// Real shell-folder and drive-root state for the folder cleaners' tests.

#include <string>
#include <vector>

namespace test {

// Points one of the current user's shell folders at `path` (a value name of the key
// HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders: "Recent",
// "History", "Cache", "Cookies"...) for the object's lifetime, then puts the previous value back.
// Every test process shares the one Wine prefix, so the value must always be restored.
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

// Files in the root of drive C: that no cleaner may touch: one plain and one read-only file,
// with unique names. Made the current drive's root by CurrentFolderOnDriveC. Removed at the end.
class RootSentinels {
 public:
  RootSentinels();
  RootSentinels(const RootSentinels&) = delete;
  RootSentinels& operator=(const RootSentinels&) = delete;
  ~RootSentinels();
  // True while both files exist with their content and attributes.
  bool Intact() const;

 private:
  std::wstring plain_;
  std::wstring read_only_;
};

// Makes `folder` the current folder and tells whether the current drive is now C:. A path of
// "\" alone names the root of the current drive: tests that could reach it make sure that root
// is C:\ of the test prefix, never the host's root behind Z:. Call it under ASSERT_TRUE.
bool CurrentFolderOnDriveC(const std::wstring& folder);

// Sets the current folder back to the program's folder when it goes: a folder that is current
// cannot be removed, so declare it after the scratch tree that CurrentFolderOnDriveC enters.
class BackToProgramFolder {
 public:
  BackToProgramFolder() = default;
  BackToProgramFolder(const BackToProgramFolder&) = delete;
  BackToProgramFolder& operator=(const BackToProgramFolder&) = delete;
  ~BackToProgramFolder();
};

// `path` without trailing backslash (as the shell gives paths), except at a drive root.
std::wstring WithoutTrailingBackslash(const std::wstring& path);

}  // namespace test
