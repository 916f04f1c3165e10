#pragma once
// The deletion core: every file and folder the program deletes goes through here.
//
// A folder is opened once, without following reparse points, and checked on its own handle.
// It is listed from that handle (or was, through an earlier handle on the same folder, see
// Folder::AdoptListing); each child is opened relative to it by its exact listed name
// (trailing dots and spaces included), checked on its own handle, and reset and deleted
// through that handle. No name is looked up again from the top once its folder was checked, so
// a folder swapped for a junction after it was listed leads nowhere: what was checked is what
// gets deleted. A reparse point (junction, symbolic link) is never entered, emptied or removed.
// Every deletion notes its outcome in the run's tally (platform/tally.h). While the erasing
// calls only count (platform/erasure.h), everything happens as in a deletion up to the last call,
// which is left out: the files and folders that would go are noted as gone, and a folder counts
// as removable when everything its last listing showed would have gone.
//
// The before-change hook of platform/fs.h is called with the child's path (a folder's ending
// in "\") just before each child is opened, so that a test can swap it at that exact point.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_identity.h"
#include "platform/handles.h"
#include "platform/status.h"

namespace platform::deletion {

// One entry of a folder, as its listing reports it.
struct Entry {
  std::wstring name;  // exactly as listed
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;  // in bytes, for a file
  std::uint64_t id = 0;    // the file system's number for the file or folder (0: unknown)
  bool IsDirectory() const { return (attributes & 0x10) != 0; }
  bool IsReparsePoint() const { return (attributes & 0x400) != 0; }
  bool IsHiddenOrSystem() const { return (attributes & 0x6) != 0; }
};

// What a file's own handle shows of it: which file it is, and how many names it has.
struct FileFacts {
  FileIdentity identity;
  std::uint32_t links = 0;  // hard links: names the file has on its volume
  std::uint32_t attributes = 0;
};

// What a file deletion does with a read-only file.
enum class ReadOnly {
  kStays,  // a read-only file is not deleted (deletion by pattern)
  kLifted  // the bit is lifted on the file's own handle; a file that keeps other names (hard
           // links) gets its attributes back on the same handle before it is closed
};

// A folder held open for listing and deletion.
class Folder {
 public:
  Folder() = default;
  Folder(Folder&& other) noexcept;
  Folder& operator=(Folder&& other) noexcept;
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  ~Folder();

  // Opens the folder at `path` (absolute; trailing separators allowed), walking down from the
  // root of its drive or share one component at a time, each opened relative to its parent's
  // handle. Fails with LinkRefused() when the folder or any folder on the way is a reparse point
  // (a link on the way could lead anywhere), and with the system's error when one cannot be
  // opened or is not a folder.
  static Status Open(const std::wstring& path, Folder* folder);
  // Opens the child folder `name` relative to this folder's handle, with the same checks: its
  // entry and its handle must show no reparse point.
  Status OpenChild(const std::wstring& name, Folder* child) const;
  // The same for a child as List gave it; also refused (LinkRefused()) when what opens is no
  // longer the folder listed (swapped since the listing).
  Status OpenChild(const Entry& entry, Folder* child) const;
  // Opens the folder `relative` below this one ("a\x"), one component at a time, each relative
  // to its parent's handle and checked as OpenChild checks it.
  Status OpenBelow(const std::wstring& relative, Folder* folder) const;

  // Opens the child folder `name` as this folder's listing shows it (a link is refused), or
  // makes it, relative to this folder's handle, when there is none.
  Status OpenOrMakeChild(const std::wstring& name, Folder* child) const;
  // Makes a new, empty file `name` in this folder and opens it for writing (reads shared),
  // never writing through what bore the name before. The file is made under a name of its own,
  // then renamed over `name`: whatever stood there (a file, a hard link, a link to a file
  // anywhere) loses that name and nothing behind it changes. A folder of that name, or a link
  // to one, is refused, and the new file goes.
  Status MakeFile(const std::wstring& name, UniqueHandle* file) const;
  // What the child file `name` is, asked on its own handle opened relative to this folder's
  // (attributes only, every sharing allowed, so that a program using it is not disturbed).
  // Fails with LinkRefused() when it is a reparse point, with ERROR_FILE_NOT_FOUND when there is
  // no such file, and with ERROR_DIRECTORY when it is a folder.
  Status InspectFile(const std::wstring& name, FileFacts* facts) const;

  // Reads the child file `name` whole (at most `limit` bytes, else ERROR_FILE_TOO_LARGE),
  // opened relative to this folder's handle, sharing it with the program that writes it;
  // refused (LinkRefused()) when it is a reparse point.
  Status ReadFile(const std::wstring& name, std::uint64_t limit, std::string* bytes) const;

  // The folder's entries in the order the file system gives them, "." and ".." left out.
  Status List(std::vector<Entry>* entries) const;
  // Takes `entries`, a listing of this very folder made through another of its handles (one
  // opened as the same listed folder, its file number checked), as its last listing, in place
  // of listing it again.
  void AdoptListing(const std::vector<Entry>& entries) const;
  // Deletes the child file `entry` (as List gave it) through its own handle. A folder, or an
  // entry that is or turned into a reparse point, is left (a link is noted as left).
  Status DeleteChild(const Entry& entry, ReadOnly read_only) const;
  // Sets this folder's own attributes to normal, on its handle.
  Status ResetAttributes();
  // Sets this folder's own attributes (0 stands for normal), on its handle.
  Status SetAttributes(std::uint32_t attributes);
  // Removes this folder, which must be empty by now, through its handle, and closes it.
  Status Remove();

  // The child file `name`, opened relative to this folder's handle, never through a link
  // (platform/folder_files.cpp):
  // - whether it is there as a plain file (no folder, no link);
  bool HasChildFile(const std::wstring& name) const;
  // - whether another program holds it open without sharing the access asked: opening it so
  //   fails with a sharing violation. A file missing, or that opens, is not held.
  enum class Access { kRead, kWrite };
  bool ChildFileHeld(const std::wstring& name, Access access) const;
  // - whether another program holds a lock on some of its `length` bytes from `offset` that
  //   bars this process from locking them (shared, or for itself when `exclusive`): asked on a
  //   handle of its own, opened for reading, with every lock given back at once.
  bool ChildRangeLocked(const std::wstring& name, std::uint64_t offset, std::uint32_t length,
                        bool exclusive) const;

  bool valid() const { return handle_ != nullptr; }
  // The path the folder was reached by: for messages and test hooks, never opened again.
  const std::wstring& path() const { return path_; }

 private:
  // `announce`: the before-change hook hears of the child first.
  Status OpenChildListedAs(const std::wstring& name, std::uint64_t listed_id, Folder* child,
                           bool announce = true) const;
  Status WouldRemove() const;
  void Close();

  void* handle_ = nullptr;
  std::uint32_t attributes_ = 0;  // as the handle showed them
  std::uint32_t access_ = 0;      // what the handle may do
  std::wstring path_;             // ends in "\"
  // While counting: the file numbers of the entries the last listing showed.
  mutable std::vector<std::uint64_t> listed_ids_;
  mutable bool listed_ = false;
};

// What the handle `file` (opened by some other code, a library's say) is open on: fails with
// LinkRefused() when the handle shows a reparse point.
Status InspectHandle(void* file, FileFacts* facts);

// The status with which the core refuses a reparse point.
Status LinkRefused();
bool IsLinkRefused(const Status& status);
// True for the failure of an entry that went since it was listed.
bool IsGone(const Status& status);

// Deletes the files lying directly in `folder` that are neither hidden nor system (read-only
// ones as `read_only` says). Hidden and system files stay and are noted as kept; links stay and
// are noted as left. A file that cannot be deleted stays and the next one is tried; the first
// such failure is returned. Keeps the windows painted meanwhile. The sub-folders met (links
// left out) go to `subfolders` when it is given, as listed, for the caller to open or keep.
Status DeletePlainFiles(const Folder& folder, ReadOnly read_only,
                        std::vector<Entry>* subfolders = nullptr);
// The same from `listed`, a listing of `folder` made already through another of its handles
// (see Folder::AdoptListing): each file is still opened relative to the folder's handle and
// checked on its own before it goes.
Status DeletePlainFiles(const Folder& folder, std::vector<Entry> listed, ReadOnly read_only,
                        std::vector<Entry>* subfolders = nullptr);

namespace testing {
// Test seam: Wine opens the target of a Unix link even when asked not to follow reparse
// points, so no handle ever shows the link there, where Windows opens the link itself and its
// handle reports the reparse point. When set, asked of every handle the core opens: true makes
// the core treat the handle as Windows would a reparse point's. Empty by default.
using HandleLinkCheck = bool (*)(void* handle);
void SetHandleLinkCheck(HandleLinkCheck is_link);
}  // namespace testing

}  // namespace platform::deletion
