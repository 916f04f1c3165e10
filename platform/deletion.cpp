#include "platform/deletion.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <utility>

#include "platform/events.h"
#include "platform/fs_seams.h"
#include "platform/handles.h"
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
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

testing::HandleLinkCheck& InstalledHandleLinkCheck() {
  static testing::HandleLinkCheck check = nullptr;
  return check;
}

Status FromNtStatus(NTSTATUS status) {
  return NT_SUCCESS(status) ? Status::Ok() : Status::FromWin32(RtlNtStatusToDosError(status));
}

// Opens `name` exactly as given, relative to the folder `parent`, never following a reparse
// point it may be.
Status OpenRelative(HANDLE parent, const std::wstring& name, DWORD access, ULONG options,
                    UniqueHandle* opened) {
  UNICODE_STRING object_name;
  object_name.Buffer = const_cast<PWSTR>(name.c_str());
  object_name.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  object_name.MaximumLength = object_name.Length;
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &object_name, OBJ_CASE_INSENSITIVE, parent, nullptr);
  IO_STATUS_BLOCK io;
  HANDLE handle = nullptr;
  const NTSTATUS status = NtCreateFile(
      &handle, access | SYNCHRONIZE, &attributes, &io, nullptr, 0, kShareAll, FILE_OPEN,
      options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (!NT_SUCCESS(status))
    return FromNtStatus(status);
  opened->reset(handle);
  return Status::Ok();
}

// Sets the attributes of the object behind `handle` (0 stands for normal).
Status SetHandleAttributes(HANDLE handle, DWORD attributes) {
  FILE_BASIC_INFO info = {};
  info.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
  return SetFileInformationByHandle(handle, FileBasicInfo, &info, sizeof info)
             ? Status::Ok()
             : Status::FromLastError();
}

// Marks the object behind `handle` for deletion when the handle closes. Windows 10 1809 and
// later delete a read-only file without touching its attributes when asked; elsewhere
// (Windows 7 to 10 1803, Wine) the request is refused once and the classic disposition is used.
Status MarkForDeletion(HANDLE handle, bool ignore_read_only) {
  static bool extended_refused = false;
  if (!extended_refused) {
    DispositionInfoEx extended = {kDispositionDelete | kDispositionPosixSemantics |
                                  (ignore_read_only ? kDispositionIgnoreReadOnly : 0)};
    if (SetFileInformationByHandle(handle, kDispositionInfoEx, &extended, sizeof extended))
      return Status::Ok();
    const DWORD error = GetLastError();
    if (error != ERROR_INVALID_PARAMETER && error != ERROR_INVALID_FUNCTION &&
        error != ERROR_NOT_SUPPORTED)
      return Status::FromWin32(error);
    extended_refused = true;
  }
  FILE_DISPOSITION_INFO classic = {TRUE};
  return SetFileInformationByHandle(handle, FileDispositionInfo, &classic, sizeof classic)
             ? Status::Ok()
             : Status::FromLastError();
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

std::wstring WithoutTrailingSeparators(const std::wstring& path) {
  std::wstring itself = path;
  while (itself.size() > 1 && (itself.back() == L'\\' || itself.back() == L'/') &&
         itself[itself.size() - 2] != L':')
    itself.pop_back();
  return itself;
}

std::wstring WithTrailingSeparator(const std::wstring& path) {
  return !path.empty() && path.back() == L'\\' ? path : path + L'\\';
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
  FILE_INTERNAL_INFORMATION internal_info;
  IO_STATUS_BLOCK io;
  NIMBREL_TRY(FromNtStatus(NtQueryInformationFile(handle, &io, &internal_info, sizeof internal_info,
                                                  FileInternalInformation)));
  if (static_cast<std::uint64_t>(internal_info.IndexNumber.QuadPart) != listed_id)
    return LinkRefused();
  return Status::Ok();
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
      path_(std::move(other.path_)) {}

Folder& Folder::operator=(Folder&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, nullptr);
    attributes_ = other.attributes_;
    path_ = std::move(other.path_);
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
  const std::wstring itself = WithoutTrailingSeparators(path);
  // A handle cannot show every link (Wine opens a Unix link's target whatever it is asked), so
  // the folder's own entry is asked first.
  if (const DWORD listed = GetFileAttributesW(itself.c_str());
      listed != INVALID_FILE_ATTRIBUTES &&
      (fs::detail::AsReported(std::wstring(), itself, listed) & FILE_ATTRIBUTE_REPARSE_POINT))
    return LinkRefused();
  const std::wstring opened_path =
      itself.size() == 2 && itself[1] == L':' ? itself + L'\\' : itself;
  UniqueHandle handle;
  for (DWORD access : {kFolderAccess, kListOnlyAccess}) {
    handle.reset(CreateFileW(opened_path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (handle || !MayAskLess(Status::FromLastError()))
      break;
  }
  if (!handle)
    return Status::FromLastError();
  DWORD attributes = 0;
  NIMBREL_TRY(CheckFolderHandle(handle.get(), 0, &attributes));
  Folder result;
  result.handle_ = handle.release();
  result.attributes_ = attributes;
  result.path_ = WithTrailingSeparator(itself);
  *folder = std::move(result);
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

Status Folder::OpenChildListedAs(const std::wstring& name, std::uint64_t listed_id,
                                 Folder* child) const {
  fs::detail::BeforeChange(path_ + name + L'\\');
  UniqueHandle handle;
  Status opened = Status::Ok();
  for (DWORD access : {kFolderAccess, kListOnlyAccess}) {
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
  // Aligned for the records the system writes into it.
  alignas(8) static unsigned char buffer[64 * 1024];
  FILE_INFO_BY_HANDLE_CLASS info_class = FileIdBothDirectoryRestartInfo;
  for (;;) {
    if (!GetFileInformationByHandleEx(handle_, info_class, buffer, sizeof buffer)) {
      const DWORD error = GetLastError();
      return error == ERROR_NO_MORE_FILES ? Status::Ok() : Status::FromWin32(error);
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
  Status outcome = OpenRelative(
      handle_, entry.name, DELETE | FILE_READ_ATTRIBUTES | (may_lift ? FILE_WRITE_ATTRIBUTES : 0),
      FILE_NON_DIRECTORY_FILE, &handle);
  DWORD attributes = 0;
  if (outcome)
    outcome = CheckHandle(handle.get(), entry.id, &attributes);
  if (IsLinkRefused(outcome)) {
    // Swapped for a link since the listing: left like every link.
    tally::NoteLinkLeft();
    return outcome;
  }
  if (outcome) {
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
  NIMBREL_TRY(SetHandleAttributes(handle_, 0));
  attributes_ &= ~kResettable;
  return Status::Ok();
}

Status Folder::Remove() {
  fs::detail::BeforeChange(path_);
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
  Status first_failure = Status::Ok();
  for (Entry& entry : entries) {
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

namespace testing {
void SetHandleLinkCheck(HandleLinkCheck is_link) {
  InstalledHandleLinkCheck() = is_link;
}
}  // namespace testing

}  // namespace platform::deletion
