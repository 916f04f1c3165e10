#pragma once
// File-system services with the exact semantics the cleaners and the inventory rely on.
//
// The pattern search keeps ONE cursor for the whole process, as the classic directory
// function does: FindFirst ends any search in progress, so every user runs its search to the
// end (or holds its own listing) before another search starts.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/status.h"

namespace platform::fs {

// Windows file attribute bits.
inline constexpr std::uint32_t kNormal = 0;
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kReparsePoint = 0x400;

// One name returned by the pattern search, with the attributes the search itself reported
// (so callers need not ask the file system again). An empty name means "no more entries".
struct FoundEntry {
  std::wstring name;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;  // in bytes, for a file
  bool end() const { return name.empty(); }
  bool IsDotOrDotDot() const { return name == L"." || name == L".."; }
  bool IsDirectory() const { return (attributes & kDirectory) != 0; }
  bool IsReparsePoint() const { return (attributes & kReparsePoint) != 0; }
};

// Starts the process-wide pattern search. A pattern ending in "\" matches every entry of that
// folder. Entries carrying hidden, system or directory bits are returned only when the mask
// holds each of those bits; plain files (read-only and archive included) always match. "." and
// ".." come back like any folder and callers skip them. A folder or pattern that matches
// nothing gives an empty name and success; other failures (a malformed path, access denied)
// give an error status and an empty name.
Status FindFirst(const std::wstring& pattern, std::uint32_t mask, FoundEntry* first);
// The next entry of the search in progress, or an empty name at its end (also when no search
// is in progress).
Status FindNext(FoundEntry* next);

Status GetAttributes(const std::wstring& path, std::uint32_t* attributes);
// The deletion below goes through the deletion core (platform/deletion.h) and notes each item
// it removes, or fails to remove, in the run's tally (platform/tally.h).
//
// Deletes every plain file matching a wildcard pattern (hidden and system files, folders and
// links to files do not match). Fails with "file not found" when nothing matches. A file that
// cannot be deleted (in use, read-only) stays and the others are deleted all the same; the call
// then fails with the first such error. Refuses to work inside a folder that is a reparse point
// (a link could lead anywhere). Keeps the windows painted meanwhile.
Status RemoveMatchingFiles(const std::wstring& pattern);
Status MakeFolder(const std::wstring& path);
Status ChangeCurrentFolder(const std::wstring& path);
std::wstring CurrentFolder();
// The folder of the program's own executable, without a trailing backslash (except at a root).
std::wstring ProgramFolder();
// True when the path names an existing folder.
bool FolderExists(const std::wstring& path);
// True when `path` exists and is a reparse point (a junction or link), which is never entered,
// emptied or removed. Asked with a trailing separator a link reports its target's attributes,
// so the question is asked without any (a drive root keeps its own "\").
bool IsLink(const std::wstring& path);
// True when the path, once made absolute, is the root of the current folder's drive (or share).
bool IsRootOfCurrentDrive(const std::wstring& path);

namespace testing {
// Test seam: when set, called with the path before each change the deletion core makes, so that a
// test can change the real file system at an exact point of a walk (an entry that vanishes after it
// was listed) or record the order of the changes. Empty by default.
void SetBeforeChangeHook(std::function<void(const std::wstring& path)> hook);
// Test seam: Wine shows a Unix link to a file as a plain file carrying its target's attributes,
// where Windows reports it as a reparse point. When set, the attributes that the pattern search,
// GetAttributes and RemoveMatchingFiles see for an entry that is not a folder carry the
// reparse-point bit as well wherever `is_file_link` holds for its folder part and name (their
// concatenation is the path), so that tests can show real links to files the way Windows does.
// Empty by default.
using FileLinkCheck = bool (*)(const std::wstring& folder, const std::wstring& name);
void SetFileLinkCheck(FileLinkCheck is_file_link);
}  // namespace testing

}  // namespace platform::fs
