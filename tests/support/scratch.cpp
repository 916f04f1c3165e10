#include "support/scratch.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "support/tree_snapshot.h"

namespace test {
namespace {

const wchar_t kScratchBase[] = L"C:\\nimbrel-scratch\\";

void MakeParents(const std::wstring& path) {
  for (size_t i = 3; i < path.size(); ++i)
    if (path[i] == L'\\')
      CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
}

std::wstring UniqueName(const std::wstring& hint) {
  static std::atomic<int> counter{0};
  return hint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) +
         L"-" + std::to_wstring(GetTickCount64() % 100000);
}

// The "\\?\" form of an absolute path, which the system takes as it is: no trailing dot or
// space dropped, no device name, no length limit.
std::wstring AsIs(const std::wstring& path) {
  return path.size() > 2 && path[1] == L':' ? L"\\\\?\\" + path : path;
}

int CountBelow(const std::wstring& folder) {
  int count = 0;
  WIN32_FIND_DATAW data;
  platform::UniqueFindHandle find(FindFirstFileW(AsIs(folder + L"*").c_str(), &data));
  if (!find)
    return 0;
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..")
      continue;
    ++count;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      count += CountBelow(folder + name + L"\\");
  } while (FindNextFileW(find.get(), &data));
  return count;
}

}  // namespace

ScratchTree::ScratchTree() : ScratchTree(L"tree") {}

ScratchTree::ScratchTree(const std::wstring& name_hint)
    : path_(kScratchBase + UniqueName(name_hint) + L"\\") {
  MakeParents(path_);
}

ScratchTree::ScratchTree(const std::wstring& parent, const std::wstring& name_hint)
    : path_(parent + UniqueName(name_hint) + L"\\") {
  MakeParents(path_);
}

ScratchTree::~ScratchTree() {
  RemoveTree(path_);
}

void ScratchTree::File(const std::wstring& relative, std::uint32_t attributes,
                       const std::string& content) {
  std::wstring full = path_ + relative;
  MakeParents(full);
  platform::UniqueHandle file(CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  file.reset();
  if (attributes)
    SetFileAttributesW(full.c_str(), attributes);
}

void ScratchTree::Folder(const std::wstring& relative, std::uint32_t attributes) {
  std::wstring full = path_ + relative;
  MakeParents(full + L"\\");
  if (attributes)
    SetFileAttributesW(full.c_str(), attributes | FILE_ATTRIBUTE_DIRECTORY);
}

void ScratchTree::RawFolder(const std::wstring& relative) {
  for (std::size_t slash = 0; slash != std::wstring::npos;) {
    slash = relative.find(L'\\', slash + 1);
    CreateDirectoryW(AsIs(path_ + relative.substr(0, slash)).c_str(), nullptr);
  }
}

bool ScratchTree::Exists(const std::wstring& relative) const {
  return GetFileAttributesW((path_ + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::uint32_t ScratchTree::Attributes(const std::wstring& relative) const {
  return GetFileAttributesW((path_ + relative).c_str());
}

std::string ReadFileBytes(const std::wstring& path, std::size_t limit) {
  platform::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  std::string bytes(limit, '\0');
  DWORD read = 0;
  if (!file ||
      !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return "<unreadable>";
  bytes.resize(read);
  return bytes;
}

std::string ScratchTree::Content(const std::wstring& relative) const {
  return ReadFileBytes(path_ + relative, 4096);
}

std::string ScratchTree::Snapshot() const {
  return SnapshotTree(path_);
}

int ScratchTree::CountEntries() const {
  return CountBelow(path_);
}

bool RunUnixProgram(const std::wstring& command_line) {
  std::wstring command = command_line;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 1000; ++i) {
    if (done())
      return true;
    Sleep(10);
  }
  return done();
}

std::string UnixPath(const std::wstring& windows_path) {
  using Converter = char*(CDECL*)(LPCWSTR);
  auto convert = reinterpret_cast<Converter>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert)
    return {};
  char* unix_path = convert(windows_path.c_str());
  if (!unix_path)
    return {};
  std::string result = unix_path;
  HeapFree(GetProcessHeap(), 0, unix_path);
  return result;
}

std::string UnixPathOfNew(const std::wstring& path) {
  std::wstring clean = path;
  while (!clean.empty() && clean.back() == L'\\')
    clean.pop_back();
  // The last component may not exist yet: convert its folder and append the name.
  const size_t slash = clean.find_last_of(L'\\');
  if (slash == std::wstring::npos)
    return {};
  const std::string folder = UnixPath(clean.substr(0, slash + (slash == 2 ? 1 : 0)));
  if (folder.empty())
    return {};
  return folder + (folder.back() == '/' ? "" : "/") + platform::ToUtf8(clean.substr(slash + 1));
}

bool MakeUnixLink(const std::wstring& target, const std::wstring& link) {
  std::wstring clean_link = link;
  while (!clean_link.empty() && clean_link.back() == L'\\')
    clean_link.pop_back();
  std::wstring clean_target = target;
  while (clean_target.size() > 3 && clean_target.back() == L'\\')
    clean_target.pop_back();
  std::string unix_target = UnixPath(clean_target);
  std::string unix_link = UnixPathOfNew(clean_link);
  if (unix_target.empty() || unix_link.empty())
    return false;
  const DWORD target_attributes = GetFileAttributesW(clean_target.c_str());
  const bool to_folder = target_attributes != INVALID_FILE_ATTRIBUTES &&
                         (target_attributes & FILE_ATTRIBUTE_DIRECTORY);
  std::wstring command = L"Z:\\bin\\ln -s \"" + platform::FromUtf8(unix_target) + L"\" \"" +
                         platform::FromUtf8(unix_link) + L"\"";
  return RunUnixProgram(command) && WaitUntil([&] {
           DWORD attributes = GetFileAttributesW(clean_link.c_str());
           return attributes != INVALID_FILE_ATTRIBUTES &&
                  (!to_folder || (attributes & FILE_ATTRIBUTE_REPARSE_POINT));
         });
}

// The paths of the FileLinks alive.
std::vector<std::wstring>& FileLinkPaths() {
  static std::vector<std::wstring> paths;
  return paths;
}

FileLink::FileLink(const std::wstring& target, const std::wstring& link) : link_(link) {
  made_ = MakeUnixLink(target, link);
  FileLinkPaths().push_back(link);
  platform::fs::testing::SetFileLinkCheck([](const std::wstring& folder, const std::wstring& name) {
    const std::wstring path = folder + name;
    for (const std::wstring& link_path : FileLinkPaths()) {
      if (CompareStringOrdinal(path.c_str(), -1, link_path.c_str(), -1, TRUE) == CSTR_EQUAL)
        return true;
    }
    return false;
  });
}

bool RemoveUnixLink(const std::wstring& link) {
  std::wstring clean_link = link;
  while (!clean_link.empty() && clean_link.back() == L'\\')
    clean_link.pop_back();
  const std::string unix_path = UnixPathOfNew(clean_link);
  return !unix_path.empty() &&
         RunUnixProgram(L"Z:\\bin\\rm -f \"" + platform::FromUtf8(unix_path) + L"\"") &&
         WaitUntil(
             [&] { return GetFileAttributesW(clean_link.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

FileLink::~FileLink() {
  std::erase(FileLinkPaths(), link_);
  if (FileLinkPaths().empty())
    platform::fs::testing::SetFileLinkCheck(nullptr);
  RemoveUnixLink(link_);
}

bool RunUnixShell(const std::string& commands, const std::wstring& work_folder) {
  const std::wstring script = work_folder + L"unix-commands.sh";
  const std::wstring done = work_folder + L"unix-commands.done";
  const std::string unix_script = UnixPathOfNew(script);
  const std::string unix_done = UnixPathOfNew(done);
  if (unix_script.empty() || unix_done.empty())
    return false;
  // The shell is reported ended before it has run: the file it makes last says it is done.
  const std::string text = commands + "\n: > '" + unix_done + "'\n";
  {
    platform::UniqueHandle file(CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
      return false;
  }
  const auto ran = [&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; };
  const bool started = RunUnixProgram(L"Z:\\bin\\sh \"" + platform::FromUtf8(unix_script) + L"\"");
  // Six waits of ten seconds: many commands on a busy machine take a while.
  for (int wait = 0; started && wait < 6 && !WaitUntil(ran); ++wait) {
  }
  const bool finished = started && ran();
  DeleteFileW(script.c_str());
  DeleteFileW(done.c_str());
  return finished;
}

void RemoveTree(const std::wstring& path) {
  std::wstring folder = path;
  if (!folder.empty() && folder.back() != L'\\')
    folder += L'\\';
  WIN32_FIND_DATAW data;
  platform::UniqueFindHandle find(FindFirstFileW(AsIs(folder + L"*").c_str(), &data));
  if (find) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..")
        continue;
      std::wstring full = folder + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A link: remove the link itself, never what it points to (nor reset its target's
        // attributes).
        RemoveUnixLink(full);
      } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        SetFileAttributesW(AsIs(full).c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveTree(full + L"\\");
      } else {
        SetFileAttributesW(AsIs(full).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(AsIs(full).c_str());
      }
    } while (FindNextFileW(find.get(), &data));
  }
  find.reset();
  SetFileAttributesW(AsIs(folder).c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(AsIs(folder).c_str());
}

}  // namespace test
