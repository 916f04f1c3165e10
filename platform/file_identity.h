#pragma once
// What a path leads to, whatever its spelling: links followed, short names, letter case,
// "\\?\" prefixes and drive mappings all end at the same file.

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace platform {

// The file or folder itself as the file system knows it: two paths with the same identity
// lead to the same file (a link and its target report the same one).
struct FileIdentity {
  std::uint32_t volume_serial = 0;
  std::uint64_t file_index = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file or folder `path` leads to. A path that does not exist fails with
// "file not found" or "path not found".
Result<FileIdentity> IdentityOf(const std::wstring& path);

// The path of what `path` leads to once every link on the way is followed, as the system
// names it ("C:\..." or "\\server\share\...", without a "\\?\" prefix).
Result<std::wstring> ResolvedPath(const std::wstring& path);

}  // namespace platform
