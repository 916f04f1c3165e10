#pragma once
// Scratch folder trees for destructive tests, and the real-Windows tools tests need around
// them (Unix links under Wine, files held open, attributes).

#include <cstdint>
#include <functional>
#include <string>

namespace test {

// The first `limit` bytes of a file, read while others may still write it ("<unreadable>" when
// it cannot be opened).
std::string ReadFileBytes(const std::wstring& path, std::size_t limit = 1 << 20);

// A fresh, uniquely named folder under C:\nimbrel-scratch, removed with everything in it when
// the object goes (links inside are removed, never followed). path() ends in "\".
class ScratchTree {
 public:
  ScratchTree();
  explicit ScratchTree(const std::wstring& name_hint);
  // The same inside `parent` (ending in "\\"): a folder of the system's or of the user's.
  ScratchTree(const std::wstring& parent, const std::wstring& name_hint);
  ScratchTree(const ScratchTree&) = delete;
  ScratchTree& operator=(const ScratchTree&) = delete;
  ~ScratchTree();

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& relative) const { return path_ + relative; }

  // Creates a file (and its missing parent folders) with some content and attributes.
  void File(const std::wstring& relative, std::uint32_t attributes = 0,
            const std::string& content = "x");
  void Folder(const std::wstring& relative, std::uint32_t attributes = 0);
  // Creates a folder and its missing parents by their exact names, as the file system takes
  // them below Win32's path rules: a trailing dot or space, a device's name ("CON"), a path
  // past MAX_PATH.
  void RawFolder(const std::wstring& relative);
  bool Exists(const std::wstring& relative) const;
  std::uint32_t Attributes(const std::wstring& relative) const;
  // The bytes of a file ("<unreadable>" when it cannot be read).
  std::string Content(const std::wstring& relative) const;
  // Number of files and folders below the tree (the tree itself excluded), links not followed.
  int CountEntries() const;
  // The tree as support/tree_snapshot.h sees it: equal snapshots mean a tree that came through
  // whole, attribute for attribute and byte for byte.
  std::string Snapshot() const;

 private:
  std::wstring path_;
};

// Creates a Unix symbolic link at `link` pointing to `target`; both are Windows paths. Returns
// false when the link could not be made. Wine shows a link to a folder as a reparse point, but a
// link to a file as a plain file carrying its target's attributes: see FileLink.
bool MakeUnixLink(const std::wstring& target, const std::wstring& link);
// Removes a Unix link the Unix way (through Wine, deleting a link to a file deletes its target,
// and removing a link to an empty folder removes that folder). True once the link is gone.
bool RemoveUnixLink(const std::wstring& link);

// A Unix link to a file, shown to the program as Windows shows one: a reparse point (through
// the platform's test seam, for this one path while the object lives). Setting its attributes
// reaches the target, as on Windows; under Wine even deleting it deletes the target. The link is
// removed the Unix way when the object goes, before the trees made earlier. Several may live at
// once.
class FileLink {
 public:
  FileLink(const std::wstring& target, const std::wstring& link);
  FileLink(const FileLink&) = delete;
  FileLink& operator=(const FileLink&) = delete;
  ~FileLink();
  bool made() const { return made_; }

 private:
  std::wstring link_;
  bool made_ = false;
};

// The Unix path of a Windows path, through Wine.
std::string UnixPath(const std::wstring& windows_path);
// The same for a path whose last component need not exist yet; empty when its folder cannot
// be converted.
std::string UnixPathOfNew(const std::wstring& windows_path);

// Runs a Unix program through Wine (e.g. L"Z:\\bin\\chmod 555 \"/path\""). Wine reports
// such a program as ended before it has finished, so callers poll for its effect with
// WaitUntil. False when the program could not be started.
bool RunUnixProgram(const std::wstring& command_line);

// Runs shell commands (UTF-8, one per line) in one Unix shell and waits until all have run:
// one process for many links or modes instead of one each. The script is written to
// `work_folder` (ending in "\") and removed afterwards. False when the shell could not be
// started or did not finish within a minute; the commands' own failures are not reported.
bool RunUnixShell(const std::string& commands, const std::wstring& work_folder);

// Polls `done` every 10 ms, for ten seconds at most; true once it holds.
bool WaitUntil(const std::function<bool()>& done);

// Removes a tree bottom-up, clearing attributes, without following links.
void RemoveTree(const std::wstring& path);

}  // namespace test
