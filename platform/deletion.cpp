#include "platform/deletion.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/deletion_detail.h"
#include "platform/erasure.h"
#include "platform/events.h"
#include "platform/fs_seams.h"
#include "platform/handles.h"
#include "platform/paths.h"
#include "platform/tally.h"

// Not in every SDK's headers for the Windows 7 API level this program is built against.
#ifndef FILE_OPEN_REPARSE_POINT
#define FILE_OPEN_REPARSE_POINT 0x00200000
#endif
#ifndef FILE_OPEN_FOR_BACKUP_INTENT
#define FILE_OPEN_FOR_BACKUP_INTENT 0x00004000
#endif

#ifndef ERROR_REPARSE_POINT_ENCOUNTERED
#define ERROR_REPARSE_POINT_ENCOUNTERED 4395
#endif

extern "C" ULONG NTAPI RtlNtStatusToDosError(NTSTATUS status);
extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE folder, HANDLE event, PVOID apc_routine,
                                               PVOID apc_context, PIO_STATUS_BLOCK io, PVOID buffer,
                                               ULONG length, FILE_INFORMATION_CLASS info_class,
                                               BOOLEAN single_entry, PUNICODE_STRING file_name,
                                               BOOLEAN restart_scan);

namespace platform::deletion {
namespace {

// FileDispositionInfoEx and its flags (Windows 10 1809 and later).
constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;
struct DispositionInfoEx {
  DWORD flags;
};

constexpr DWORD kFolderAccess =
    DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
// For a folder this process may list but not delete or reset (a system folder, say).
constexpr DWORD kListOnlyAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
// For a folder on the way that this process may pass through but not list.
constexpr DWORD kPassThroughAccess = FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

testing::HandleLinkCheck& InstalledHandleLinkCheck() {
  static testing::HandleLinkCheck check = nullptr;
  return check;
}

Status FromNtStatus(NTSTATUS status) {
  return NT_SUCCESS(status) ? Status::Ok() : Status::FromWin32(RtlNtStatusToDosError(status));
}

// While the erasing calls count: the file numbers of the files and folders counted as gone, so
// that a folder whose whole contents would go counts as removable, and one that keeps anything
// does not, exactly as the deletion would find it. Kept for one counting scope.
std::unordered_set<std::uint64_t>& CountedGone() {
  static std::unordered_set<std::uint64_t> ids;
  static unsigned scope = 0;
  if (scope != erasure::ScopeNumber()) {
    ids.clear();
    scope = erasure::ScopeNumber();
  }
  return ids;
}

Status FileNumber(HANDLE handle, std::uint64_t* id) {
  FILE_INTERNAL_INFORMATION internal_info;
  IO_STATUS_BLOCK io;
  NIMBREL_TRY(FromNtStatus(NtQueryInformationFile(handle, &io, &internal_info, sizeof internal_info,
                                                  FileInternalInformation)));
  *id = static_cast<std::uint64_t>(internal_info.IndexNumber.QuadPart);
  return Status::Ok();
}

// The name `name`, relative to the folder `parent`, as the system's calls take it.
struct RelativeName {
  RelativeName(HANDLE parent, const std::wstring& name) {
    object_name.Buffer = const_cast<PWSTR>(name.c_str());
    object_name.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    object_name.MaximumLength = object_name.Length;
    InitializeObjectAttributes(&attributes, &object_name, OBJ_CASE_INSENSITIVE, parent, nullptr);
  }
  UNICODE_STRING object_name;
  OBJECT_ATTRIBUTES attributes;
};

// Opens or makes `name` exactly as given, relative to the folder `parent`, never following a
// reparse point it may be.
Status OpenRelative(HANDLE parent, const std::wstring& name, DWORD access, ULONG options,
                    UniqueHandle* opened, ULONG disposition = FILE_OPEN, ULONG share = kShareAll) {
  RelativeName relative(parent, name);
  OBJECT_ATTRIBUTES& attributes = relative.attributes;
  IO_STATUS_BLOCK io;
  HANDLE handle = nullptr;
  const NTSTATUS status = NtCreateFile(
      &handle, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share,
      disposition, options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (!NT_SUCCESS(status))
    return FromNtStatus(status);
  opened->reset(handle);
  return Status::Ok();
}

// True when the entry `name` of the folder `parent` is a reparse point, as a listing of the
// folder shows it. Windows also shows it on the handle opened on the link itself; Wine shows it
// only in listings, its handles opening the link's target. The folder is listed through a handle
// of its own, since a name to match stays with the handle that listed it.
bool ListedAsLink(HANDLE parent, const std::wstring& name) {
  UniqueHandle lister;
  if (!OpenRelative(parent, std::wstring(), FILE_LIST_DIRECTORY, FILE_DIRECTORY_FILE, &lister))
    return false;
  RelativeName pattern(nullptr, name);
  alignas(8) unsigned char buffer[sizeof(FILE_DIRECTORY_INFORMATION) + 512 * sizeof(wchar_t)];
  IO_STATUS_BLOCK io;
  if (!NT_SUCCESS(NtQueryDirectoryFile(lister.get(), nullptr, nullptr, nullptr, &io, buffer,
                                       sizeof buffer, FileDirectoryInformation, TRUE,
                                       &pattern.object_name, TRUE)))
    return false;
  const auto* entry = reinterpret_cast<const FILE_DIRECTORY_INFORMATION*>(buffer);
  return (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// FILE_RENAME_INFORMATION as the kernel takes it: the new name relative to `RootDirectory`.
struct RenameInformation {
  BOOLEAN ReplaceIfExists;
  HANDLE RootDirectory;
  ULONG FileNameLength;
  WCHAR FileName[1];
};

// Renames the file behind `handle` to `name` in the folder `parent`, in place of whatever bears
// that name: its name goes, never what it may lead to.
Status RenameOver(HANDLE handle, HANDLE parent, const std::wstring& name) {
  std::vector<unsigned char> buffer(offsetof(RenameInformation, FileName) +
                                    (name.size() + 1) * sizeof(wchar_t));
  auto* info = reinterpret_cast<RenameInformation*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = parent;
  info->FileNameLength = static_cast<ULONG>(name.size() * sizeof(wchar_t));
  std::memcpy(info->FileName, name.c_str(), name.size() * sizeof(wchar_t));
  IO_STATUS_BLOCK io;
  return FromNtStatus(NtSetInformationFile(handle, &io, info, static_cast<ULONG>(buffer.size()),
                                           FileRenameInformation));
}

// Sets the attributes of the object behind `handle` (0 stands for normal).
Status SetHandleAttributes(HANDLE handle, DWORD attributes) {
  FILE_BASIC_INFO info = {};
  info.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  return SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info)
             ? Status::Ok()
             : Status::FromLastError();
}

// Whether the extended disposition (Windows 10 1809 and later) was refused: Windows 7 to 10 1803
// and Wine refuse it once, and the classic disposition is used from then on.
bool& ExtendedDispositionRefused() {
  static bool refused = false;
  return refused;
}

// Sets the extended disposition `flags` on `handle`; `*refused` says when the system has no such
// request.
Status SetExtendedDisposition(HANDLE handle, DWORD flags, bool* refused) {
  *refused = ExtendedDispositionRefused();
  if (*refused)
    return Status::FromWin32(ERROR_NOT_SUPPORTED);
  DispositionInfoEx extended = {flags};
  if (SetFileInformationByHandle(handle, kDispositionInfoEx, &extended, sizeof extended))
    return Status::Ok();
  const DWORD error = GetLastError();
  *refused = ExtendedDispositionRefused() = error == ERROR_INVALID_PARAMETER ||
                                            error == ERROR_INVALID_FUNCTION ||
                                            error == ERROR_NOT_SUPPORTED;
  return Status::FromWin32(error);
}

Status SetClassicDisposition(HANDLE handle, bool delete_on_close) {
  FILE_DISPOSITION_INFO classic = {delete_on_close};
  return SetFileInformationByHandle(handle, FileDispositionInfo, &classic, sizeof classic)
             ? Status::Ok()
             : Status::FromLastError();
}

// Marks the object behind `handle` for deletion when the handle closes. Windows 10 1809 and
// later delete a read-only file without touching its attributes when asked.
Status MarkForDeletion(HANDLE handle, bool ignore_read_only) {
  bool refused = false;
  const Status extended =
      SetExtendedDisposition(handle,
                             kDispositionDelete | kDispositionPosixSemantics |
                                 (ignore_read_only ? kDispositionIgnoreReadOnly : 0),
                             &refused);
  return refused ? SetClassicDisposition(handle, true) : extended;
}

// What marking the file behind `handle` for deletion would meet, found by marking it and
// withdrawing the mark at once, before the handle closes: the system refuses the deletion of a
// file a running program maps (a program or library loaded from the folder) only when it is
// asked for, not when the file is opened. The mark is the one that can be withdrawn (without
// the POSIX semantics, which take the name away), with the flags the run asks for. Where only
// the classic mark exists, a read-only file whose bit the run would lift cannot be marked as it
// is: it counts as going.
Status ProbeDeletion(HANDLE handle, bool may_lift, bool read_only) {
  bool refused = false;
  Status marked = SetExtendedDisposition(
      handle, kDispositionDelete | (may_lift ? kDispositionIgnoreReadOnly : 0), &refused);
  if (refused) {
    if (read_only)
      return Status::Ok();
    marked = SetClassicDisposition(handle, true);
  }
  if (!marked)
    return marked;
  // Withdrawn as it was made; the classic request, which clears either mark, where that fails.
  DispositionInfoEx keep = {0};
  if (!refused && SetFileInformationByHandle(handle, kDispositionInfoEx, &keep, sizeof keep))
    return Status::Ok();
  return SetClassicDisposition(handle, false);
}

// Opens the file `name` of the folder `parent` to delete it. An analysis first asks for the file
// shared with no one, which tells whether another program has it open (`*open_elsewhere`), then
// opens it again as the run does.
Status OpenFileToDelete(HANDLE parent, const std::wstring& name, bool may_lift, UniqueHandle* file,
                        bool* open_elsewhere) {
  const DWORD access = DELETE | FILE_READ_ATTRIBUTES | (may_lift ? FILE_WRITE_ATTRIBUTES : 0);
  *open_elsewhere = false;
  if (erasure::Counting()) {
    const Status alone =
        OpenRelative(parent, name, access, FILE_NON_DIRECTORY_FILE, file, FILE_OPEN, /*share=*/0);
    if (!alone.IsWin32(ERROR_SHARING_VIOLATION))
      return alone;
    *open_elsewhere = true;
  }
  return OpenRelative(parent, name, access, FILE_NON_DIRECTORY_FILE, file);
}

// Whether the checked file behind `file`, numbered `id`, would be deleted. One that would is
// counted gone, which is what tells whether its folder would go too, unless its name would
// stay: the classic deletion (Windows before 10 1809, Wine) takes the name away only when every
// handle on the file has closed, so a file another program has open keeps its folder.
Status CountFileDeletion(HANDLE file, std::uint64_t id, DWORD attributes, bool may_lift,
                         bool open_elsewhere) {
  const bool read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only && !may_lift)
    return Status::FromWin32(ERROR_ACCESS_DENIED);
  NIMBREL_TRY(ProbeDeletion(file, may_lift, read_only));
  if (!(open_elsewhere && ExtendedDispositionRefused()))
    CountedGone().insert(id);
  return Status::Ok();
}

// Marks a read-only file for deletion where the extended disposition is refused: the bit is
// lifted on the file's own handle, and the attributes are put back on the same handle before it
// closes. A file with other names (hard links) keeps them for those names; a file whose last
// name goes takes them with it.
Status MarkReadOnlyForDeletion(HANDLE handle, DWORD attributes) {
  NIMBREL_TRY(SetHandleAttributes(handle, attributes & ~FILE_ATTRIBUTE_READONLY));
  const Status marked = MarkForDeletion(handle, /*ignore_read_only=*/false);
  (void)SetHandleAttributes(handle, attributes);  // errors ignored: the deletion is what counts
  return marked;
}

// The absolute path `path` cut into the root it starts from (a drive, a share or a volume, ending
// in a separator), which a user cannot redirect, and the components below it, one separator
// between each, empty ones dropped (the system reads a doubled separator as one).
Status SplitAtRoot(const std::wstring& path, std::wstring* root, std::wstring* below) {
  Result<std::wstring> full = FullPath(path);
  NIMBREL_TRY(full.status);
  const std::wstring& absolute = full.value;
  std::size_t skip = 0;  // the prefix before the root's own components
  int root_components = 1;
  if (absolute.starts_with(L"\\\\?\\") || absolute.starts_with(L"\\\\.\\")) {
    skip = 4;
    if (absolute.compare(4, 4, L"UNC\\") == 0 || absolute.compare(4, 4, L"unc\\") == 0) {
      skip = 8;
      root_components = 2;
    }
  } else if (absolute.starts_with(L"\\\\")) {
    skip = 2;
    root_components = 2;
  } else if (absolute.size() < 3 || absolute[1] != L':' || absolute[2] != L'\\') {
    return Status::FromWin32(ERROR_INVALID_NAME);
  }
  std::size_t end = skip;
  for (int i = 0; i < root_components; ++i) {
    end = absolute.find(L'\\', end);
    if (end == std::wstring::npos)
      end = absolute.size();
    else if (i + 1 < root_components)
      ++end;
  }
  *root = absolute.substr(0, end) + L'\\';
  below->clear();
  for (std::size_t start = end; start < absolute.size();) {
    std::size_t slash = absolute.find(L'\\', start);
    if (slash == std::wstring::npos)
      slash = absolute.size();
    if (slash > start) {
      if (!below->empty())
        *below += L'\\';
      below->append(absolute, start, slash - start);
    }
    start = slash + 1;
  }
  return Status::Ok();
}

// What a handle shows of the object it is open on: its attributes (with the reparse-point bit as
// Windows reports it) and whether it is still the one listed under `listed_id` (0: not asked).
// Anything else than what was listed (a link followed, a new folder in its place) is refused as a
// link.
// The attributes and the file index are asked on their own: GetFileInformationByHandle also
// asks for the volume's serial number, which under Wine costs about 250 us a call (a request to
// the mount manager), more than opening and deleting the file together.
Status CheckHandle(HANDLE handle, std::uint64_t listed_id, DWORD* attributes) {
  FILE_ATTRIBUTE_TAG_INFO tag_info;
  if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag_info, sizeof tag_info))
    return Status::FromLastError();
  *attributes = tag_info.FileAttributes;
  if (InstalledHandleLinkCheck() && InstalledHandleLinkCheck()(handle))
    *attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
  if (*attributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return LinkRefused();
  if (listed_id == 0)
    return Status::Ok();
  std::uint64_t id = 0;
  NIMBREL_TRY(FileNumber(handle, &id));
  return id == listed_id ? Status::Ok() : LinkRefused();
}

// A folder's handle passes when it shows the folder listed, and no reparse point.
Status CheckFolderHandle(HANDLE handle, std::uint64_t listed_id, DWORD* attributes) {
  NIMBREL_TRY(CheckHandle(handle, listed_id, attributes));
  if (!(*attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Status::FromWin32(ERROR_DIRECTORY);
  return Status::Ok();
}

// The access to ask first for a folder, then the access that still lists it: a folder this
// process may not delete (a system folder), or that is some process's current folder (opened
// there without delete sharing), can still be emptied.
bool MayAskLess(const Status& status) {
  return status.IsWin32(ERROR_ACCESS_DENIED) || status.IsWin32(ERROR_SHARING_VIOLATION);
}

}  // namespace

Status LinkRefused() {
  return Status::FromWin32(ERROR_REPARSE_POINT_ENCOUNTERED);
}

bool IsLinkRefused(const Status& status) {
  return status.IsWin32(ERROR_REPARSE_POINT_ENCOUNTERED);
}

bool IsGone(const Status& status) {
  return status.IsWin32(ERROR_FILE_NOT_FOUND) || status.IsWin32(ERROR_PATH_NOT_FOUND);
}

Folder::Folder(Folder&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      attributes_(other.attributes_),
      access_(other.access_),
      path_(std::move(other.path_)),
      listed_ids_(std::move(other.listed_ids_)),
      listed_(other.listed_) {}

Folder& Folder::operator=(Folder&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, nullptr);
    attributes_ = other.attributes_;
    access_ = other.access_;
    path_ = std::move(other.path_);
    listed_ids_ = std::move(other.listed_ids_);
    listed_ = other.listed_;
  }
  return *this;
}

Folder::~Folder() {
  Close();
}

void Folder::Close() {
  if (handle_)
    CloseHandle(handle_);
  handle_ = nullptr;
}

Status Folder::Open(const std::wstring& path, Folder* folder) {
  // Walked down from the root, one component at a time, each opened relative to its parent's
  // handle and refused when it is a reparse point: no link on the way can lead elsewhere.
  std::wstring root_path, below;
  NIMBREL_TRY(SplitAtRoot(path, &root_path, &below));
  UniqueHandle handle;
  DWORD granted = 0;
  for (DWORD access : {kFolderAccess, kListOnlyAccess, kPassThroughAccess}) {
    granted = access;
    handle.reset(CreateFileW(root_path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (handle || !MayAskLess(Status::FromLastError()))
      break;
  }
  if (!handle)
    return Status::FromLastError();
  DWORD attributes = 0;
  NIMBREL_TRY(CheckFolderHandle(handle.get(), 0, &attributes));
  Folder root;
  root.handle_ = handle.release();
  root.attributes_ = attributes;
  root.access_ = granted;
  root.path_ = root_path;
  // Only opened, not changed: the before-change hook is not called on the way.
  Folder current = std::move(root);
  for (std::size_t start = 0; start < below.size();) {
    const std::size_t slash = std::min(below.find(L'\\', start), below.size());
    const std::wstring name = below.substr(start, slash - start);
    if (name == L"." || name == L"..")
      return Status::FromWin32(ERROR_INVALID_NAME);
    Folder next;
    NIMBREL_TRY(current.OpenChildListedAs(name, 0, &next, /*announce=*/false));
    current = std::move(next);
    start = slash + 1;
  }
  *folder = std::move(current);
  return Status::Ok();
}

Status Folder::OpenChild(const std::wstring& name, Folder* child) const {
  return OpenChildListedAs(name, 0, child);
}

Status Folder::OpenChild(const Entry& entry, Folder* child) const {
  if (entry.IsReparsePoint())
    return LinkRefused();
  return OpenChildListedAs(entry.name, entry.id, child);
}

Status Folder::OpenChildListedAs(const std::wstring& name, std::uint64_t listed_id, Folder* child,
                                 bool announce) const {
  if (announce)
    fs::detail::BeforeChange(path_ + name + L'\\');
  if (listed_id == 0 && ListedAsLink(handle_, name))
    return LinkRefused();
  UniqueHandle handle;
  Status opened = Status::Ok();
  DWORD granted = 0;
  for (DWORD access : {kFolderAccess, kListOnlyAccess, kPassThroughAccess}) {
    granted = access;
    opened = OpenRelative(handle_, name, access, FILE_DIRECTORY_FILE | FILE_OPEN_FOR_BACKUP_INTENT,
                          &handle);
    if (!MayAskLess(opened))
      break;
  }
  NIMBREL_TRY(opened);
  DWORD attributes = 0;
  NIMBREL_TRY(CheckFolderHandle(handle.get(), listed_id, &attributes));
  Folder result;
  result.handle_ = handle.release();
  result.attributes_ = attributes;
  result.access_ = granted;
  result.path_ = path_ + name + L'\\';
  *child = std::move(result);
  return Status::Ok();
}

Status Folder::OpenBelow(const std::wstring& relative, Folder* folder) const {
  Folder parent;
  const Folder* current = this;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = relative.find(L'\\', start);
    const std::wstring name = relative.substr(start, slash - start);
    if (name.empty() || name == L"." || name == L"..")
      return Status::FromWin32(ERROR_INVALID_NAME);
    Folder next;
    NIMBREL_TRY(current->OpenChild(name, &next));
    if (slash == std::wstring::npos) {
      *folder = std::move(next);
      return Status::Ok();
    }
    parent = std::move(next);
    current = &parent;
    start = slash + 1;
  }
}

Status Folder::OpenOrMakeChild(const std::wstring& name, Folder* child) const {
  std::vector<Entry> entries;
  NIMBREL_TRY(List(&entries));
  for (const Entry& entry : entries) {
    if (SamePathText(entry.name, name))
      return entry.IsDirectory() ? OpenChild(entry, child) : Status::FromWin32(ERROR_DIRECTORY);
  }
  // Made new: a link that the listing did not show (one leading nowhere) makes this fail.
  UniqueHandle handle;
  NIMBREL_TRY(OpenRelative(handle_, name, kFolderAccess,
                           FILE_DIRECTORY_FILE | FILE_OPEN_FOR_BACKUP_INTENT, &handle,
                           FILE_CREATE));
  DWORD attributes = 0;
  NIMBREL_TRY(CheckFolderHandle(handle.get(), 0, &attributes));
  Folder result;
  result.handle_ = handle.release();
  result.attributes_ = attributes;
  result.path_ = path_ + name + L'\\';
  *child = std::move(result);
  return Status::Ok();
}

Status Folder::MakeFile(const std::wstring& name, UniqueHandle* file) const {
  // A name of its own first: made new, it cannot be anything that stood there.
  UniqueHandle made;
  for (unsigned attempt = 0;; ++attempt) {
    const std::wstring own_name = name + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(attempt) + L".new";
    const Status created =
        OpenRelative(handle_, own_name, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES,
                     FILE_NON_DIRECTORY_FILE, &made, FILE_CREATE, FILE_SHARE_READ);
    if (created)
      break;
    if (!created.IsWin32(ERROR_ALREADY_EXISTS) || attempt == 15)
      return created;
  }
  if (Status renamed = RenameOver(made.get(), handle_, name); !renamed) {
    (void)MarkForDeletion(made.get(), /*ignore_read_only=*/false);
    return renamed;
  }
  *file = std::move(made);
  return Status::Ok();
}

Status Folder::InspectFile(const std::wstring& name, FileFacts* facts) const {
  if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos || name == L"." ||
      name == L"..")
    return Status::FromWin32(ERROR_INVALID_NAME);
  UniqueHandle handle;
  NIMBREL_TRY(OpenRelative(handle_, name, FILE_READ_ATTRIBUTES, 0, &handle));
  NIMBREL_TRY(InspectHandle(handle.get(), facts));
  // Wine shows a Unix link to a file as the file itself; the test seam says where one is.
  if (fs::detail::AsReported(path_, name, facts->attributes) & FILE_ATTRIBUTE_REPARSE_POINT)
    return LinkRefused();
  if (facts->attributes & FILE_ATTRIBUTE_DIRECTORY)
    return Status::FromWin32(ERROR_DIRECTORY);
  return Status::Ok();
}

Status Folder::ReadFile(const std::wstring& name, std::uint64_t limit, std::string* bytes) const {
  bytes->clear();
  if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos || name == L"." ||
      name == L"..")
    return Status::FromWin32(ERROR_INVALID_NAME);
  UniqueHandle handle;
  NIMBREL_TRY(OpenRelative(handle_, name, FILE_READ_DATA | FILE_READ_ATTRIBUTES,
                           FILE_NON_DIRECTORY_FILE, &handle));
  DWORD attributes = 0;
  NIMBREL_TRY(CheckHandle(handle.get(), 0, &attributes));
  if (fs::detail::AsReported(path_, name, attributes) & FILE_ATTRIBUTE_REPARSE_POINT)
    return LinkRefused();
  LARGE_INTEGER size;
  if (!GetFileSizeEx(handle.get(), &size))
    return Status::FromLastError();
  if (static_cast<std::uint64_t>(size.QuadPart) > limit)
    return Status::FromWin32(ERROR_FILE_TOO_LARGE);
  bytes->resize(static_cast<std::size_t>(size.QuadPart));
  std::size_t filled = 0;
  while (filled < bytes->size()) {
    DWORD read = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes->size() - filled, 1 << 20));
    if (!::ReadFile(handle.get(), bytes->data() + filled, chunk, &read, nullptr))
      return Status::FromLastError();
    if (read == 0)
      break;  // shortened while read
    filled += read;
  }
  bytes->resize(filled);
  return Status::Ok();
}

Status InspectHandle(void* file, FileFacts* facts) {
  DWORD attributes = 0;
  NIMBREL_TRY(CheckHandle(file, 0, &attributes));
  BY_HANDLE_FILE_INFORMATION information = {};
  if (!GetFileInformationByHandle(file, &information))
    return Status::FromLastError();
  facts->identity.volume_serial = information.dwVolumeSerialNumber;
  facts->identity.file_index =
      (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
  facts->links = information.nNumberOfLinks;
  facts->attributes = attributes;
  return Status::Ok();
}

Status Folder::List(std::vector<Entry>* entries) const {
  entries->clear();
  if (erasure::Counting()) {
    listed_ids_.clear();
    listed_ = false;
  }
  // Aligned for the records the system writes into it.
  alignas(8) static unsigned char buffer[64 * 1024];
  FILE_INFO_BY_HANDLE_CLASS info_class = FileIdBothDirectoryRestartInfo;
  for (;;) {
    if (!GetFileInformationByHandleEx(handle_, info_class, buffer, sizeof buffer)) {
      const DWORD error = GetLastError();
      if (error != ERROR_NO_MORE_FILES)
        return Status::FromWin32(error);
      if (erasure::Counting()) {
        for (const Entry& entry : *entries)
          listed_ids_.push_back(entry.id);
        listed_ = true;
      }
      return Status::Ok();
    }
    info_class = FileIdBothDirectoryInfo;
    for (std::size_t offset = 0;;) {
      const auto* record = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + offset);
      std::wstring name(record->FileName, record->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") {
        const auto size = static_cast<std::uint64_t>(record->EndOfFile.QuadPart);
        const std::uint32_t attributes =
            fs::detail::AsReported(path_, name, record->FileAttributes);
        const auto id = static_cast<std::uint64_t>(record->FileId.QuadPart);
        entries->push_back({std::move(name), attributes, size, id});
      }
      if (record->NextEntryOffset == 0)
        break;
      offset += record->NextEntryOffset;
    }
  }
}

void Folder::AdoptListing(const std::vector<Entry>& entries) const {
  if (!erasure::Counting())
    return;
  listed_ids_.clear();
  for (const Entry& entry : entries)
    listed_ids_.push_back(entry.id);
  listed_ = true;
}

Status Folder::DeleteChild(const Entry& entry, ReadOnly read_only) const {
  if (entry.IsReparsePoint()) {
    tally::NoteLinkLeft();
    return LinkRefused();
  }
  if (entry.IsDirectory())
    return Status::FromWin32(ERROR_DIRECTORY);
  fs::detail::BeforeChange(path_ + entry.name);
  const bool may_lift = read_only == ReadOnly::kLifted;
  UniqueHandle handle;
  bool open_elsewhere = false;
  Status outcome = OpenFileToDelete(handle_, entry.name, may_lift, &handle, &open_elsewhere);
  DWORD attributes = 0;
  if (outcome)
    outcome = CheckHandle(handle.get(), entry.id, &attributes);
  if (IsLinkRefused(outcome)) {
    // Swapped for a link since the listing: left like every link.
    tally::NoteLinkLeft();
    return outcome;
  }
  if (outcome && erasure::Counting()) {
    outcome = CountFileDeletion(handle.get(), entry.id, attributes, may_lift, open_elsewhere);
  } else if (outcome) {
    const bool protected_file = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    outcome = MarkForDeletion(handle.get(), may_lift);
    if (!outcome && protected_file && may_lift && outcome.IsWin32(ERROR_ACCESS_DENIED))
      outcome = MarkReadOnlyForDeletion(handle.get(), attributes);
  }
  handle.reset();  // the name goes as the handle closes
  if (IsGone(outcome))
    return Status::Ok();  // gone since the listing: nothing left to delete
  return tally::NoteDeletion(outcome, entry.size);
}

Status Folder::ResetAttributes() {
  constexpr DWORD kResettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  if (!(attributes_ & kResettable))
    return Status::Ok();
  return SetAttributes(0);
}

Status Folder::SetAttributes(std::uint32_t attributes) {
  if (erasure::Counting()) {
    if (!(access_ & FILE_WRITE_ATTRIBUTES))
      return Status::FromWin32(ERROR_ACCESS_DENIED);
  } else {
    NIMBREL_TRY(SetHandleAttributes(handle_, attributes));
  }
  attributes_ = FILE_ATTRIBUTE_DIRECTORY | attributes;
  return Status::Ok();
}

Status Folder::WouldRemove() const {
  if (!(access_ & DELETE))
    return Status::FromWin32(ERROR_ACCESS_DENIED);
  if (!listed_) {
    std::vector<Entry> entries;
    NIMBREL_TRY(List(&entries));
  }
  for (std::uint64_t id : listed_ids_) {
    if (!CountedGone().count(id))
      return Status::FromWin32(ERROR_DIR_NOT_EMPTY);
  }
  std::uint64_t own_id = 0;
  NIMBREL_TRY(FileNumber(handle_, &own_id));
  CountedGone().insert(own_id);
  return Status::Ok();
}

Status Folder::Remove() {
  fs::detail::BeforeChange(path_);
  if (erasure::Counting()) {
    const Status outcome = WouldRemove();
    Close();
    return tally::NoteDeletion(outcome);
  }
  Status outcome = MarkForDeletion(handle_, /*ignore_read_only=*/false);
  if (!outcome && outcome.IsWin32(ERROR_ACCESS_DENIED) && (attributes_ & FILE_ATTRIBUTE_READONLY)) {
    if (Status reset = SetHandleAttributes(handle_, attributes_ & ~FILE_ATTRIBUTE_READONLY); reset)
      outcome = MarkForDeletion(handle_, false);
  }
  Close();
  return tally::NoteDeletion(outcome);
}

Status DeletePlainFiles(const Folder& folder, ReadOnly read_only, std::vector<Entry>* subfolders) {
  std::vector<Entry> entries;
  if (subfolders)
    subfolders->clear();
  NIMBREL_TRY(folder.List(&entries));
  return DeletePlainFiles(folder, std::move(entries), read_only, subfolders);
}

Status DeletePlainFiles(const Folder& folder, std::vector<Entry> listed, ReadOnly read_only,
                        std::vector<Entry>* subfolders) {
  if (subfolders)
    subfolders->clear();
  folder.AdoptListing(listed);
  Status first_failure = Status::Ok();
  for (Entry& entry : listed) {
    if (entry.IsReparsePoint()) {
      tally::NoteLinkLeft();
    } else if (entry.IsDirectory()) {
      if (subfolders)  // sub-folders are the caller's business
        subfolders->push_back(std::move(entry));
    } else if (entry.IsHiddenOrSystem()) {
      tally::NoteKept();
    } else if (Status deleted = folder.DeleteChild(entry, read_only); !deleted && first_failure) {
      first_failure = deleted;
    }
    KeepPainted();
  }
  return first_failure;
}

namespace detail {
Status OpenBelowHandle(void* folder, const std::wstring& name, std::uint32_t access,
                       std::uint32_t options, UniqueHandle* opened) {
  return OpenRelative(folder, name, access, options, opened);
}
Status CheckOpenedHandle(void* handle, std::uint32_t* attributes) {
  DWORD shown = 0;
  const Status checked = CheckHandle(handle, 0, &shown);
  *attributes = shown;
  return checked;
}
}  // namespace detail

namespace testing {
void SetHandleLinkCheck(HandleLinkCheck is_link) {
  InstalledHandleLinkCheck() = is_link;
}
}  // namespace testing

}  // namespace platform::deletion
