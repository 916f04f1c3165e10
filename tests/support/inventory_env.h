#pragma once
// Real state around the inventory scan and the folder cleaners: the inventory file's bytes,
// the temporary folder of this process, the shell's cache folder, a drive letter.

#include <cstdint>
#include <string>

namespace test {

std::string ReadInventoryBytes();
// The path without its trailing backslashes (a drive root keeps its own).
std::wstring WithoutSlash(const std::wstring& path);
// A folder's attributes asked without a trailing backslash: with one, Wine does not report a
// folder's read-only bit.
std::uint32_t FolderAttributes(const std::wstring& path);
void WriteInventoryBytes(const std::string& bytes);

// test::MakeUnixLink, waiting for the link to appear: Wine reports the Unix "ln" as ended
// before it has run.
bool MakeLink(const std::wstring& target, const std::wstring& link);

// Makes a folder read-only the Unix way (mode 555), which Wine reports as attribute 0x11:
// Wine keeps no read-only bit of its own on folders. Resetting the attributes clears it.
bool MakeReadOnlyFolder(const std::wstring& folder);

// Points this process's temporary folder (TMP and TEMP) at `folder` while alive.
class ScopedTempFolder {
 public:
  explicit ScopedTempFolder(const std::wstring& folder);
  ~ScopedTempFolder();

 private:
  std::wstring old_tmp_, old_temp_;
};

// Redirects the shell's temporary Internet files folder (User Shell Folders "Cache") while
// alive, restoring the previous value after.
class ScopedCacheFolder {
 public:
  explicit ScopedCacheFolder(const std::wstring& folder);
  ~ScopedCacheFolder();

 private:
  bool had_value_ = false;
  std::wstring old_value_;
};

// Maps a free drive letter to `folder` (a link in the prefix's dosdevices) while alive.
class ScopedDriveLetter {
 public:
  explicit ScopedDriveLetter(const std::wstring& folder);
  ~ScopedDriveLetter();
  // "N:\" or empty when no letter could be mapped.
  const std::wstring& root() const { return root_; }

 private:
  std::wstring root_;
  std::wstring link_;
};

}  // namespace test
