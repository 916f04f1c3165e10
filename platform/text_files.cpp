#include "platform/text_files.h"

#include <windows.h>

#include <map>

#include "platform/erasure.h"
#include "platform/handles.h"
#include "platform/text.h"

namespace platform::files {
namespace {

// Output is buffered and flushed in large writes; input is read whole at open (the files this
// program reads are small inventories).
struct OpenFile {
  UniqueHandle handle;
  bool output = false;
  std::string buffer;
  size_t position = 0;
  std::wstring memory_key;  // set for an output file kept in memory
};

std::map<int, OpenFile>& Table() {
  static std::map<int, OpenFile> table;
  return table;
}

constexpr size_t kFlushThreshold = 1 << 16;

// While the erasing calls only count, the files written stay in memory, by path, and are read
// back from there: an analysis writes nothing on the disk. Kept for one counting scope.
std::map<std::wstring, std::string>& FilesInMemory() {
  static std::map<std::wstring, std::string> files;
  static unsigned scope = 0;
  if (scope != erasure::ScopeNumber()) {
    files.clear();
    scope = erasure::ScopeNumber();
  }
  return files;
}

std::wstring MemoryKey(const std::wstring& path) {
  std::wstring key = path;
  CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

Status Flush(OpenFile& file) {
  if (!file.memory_key.empty()) {
    FilesInMemory()[file.memory_key] += file.buffer;
    file.buffer.clear();
    return Status::Ok();
  }
  size_t offset = 0;
  while (offset < file.buffer.size()) {
    DWORD written = 0;
    DWORD chunk = static_cast<DWORD>(file.buffer.size() - offset);
    if (!WriteFile(file.handle.get(), file.buffer.data() + offset, chunk, &written, nullptr))
      return Status::FromLastError();
    offset += written;
  }
  file.buffer.clear();
  return Status::Ok();
}

OpenFile* Find(int number, bool output) {
  auto it = Table().find(number);
  if (it == Table().end() || it->second.output != output)
    return nullptr;
  return &it->second;
}

}  // namespace

Status OpenForOutput(int number, UniqueHandle file) {
  if (number < 1 || number > kMaxFileNumber)
    return Status::FromHresult(kOutOfRange);
  NIMBREL_TRY(Close(number));
  OpenFile opened;
  opened.output = true;
  opened.handle = std::move(file);
  Table()[number] = std::move(opened);
  return Status::Ok();
}

Status OpenInMemoryForOutput(int number, const std::wstring& path) {
  if (number < 1 || number > kMaxFileNumber)
    return Status::FromHresult(kOutOfRange);
  if (!erasure::Counting())
    return Status::FromWin32(ERROR_INVALID_FUNCTION);
  NIMBREL_TRY(Close(number));
  OpenFile opened;
  opened.output = true;
  opened.memory_key = MemoryKey(path);
  FilesInMemory()[opened.memory_key].clear();
  Table()[number] = std::move(opened);
  return Status::Ok();
}

Status OpenForInput(int number, const std::wstring& path) {
  if (number < 1 || number > kMaxFileNumber)
    return Status::FromHresult(kOutOfRange);
  NIMBREL_TRY(Close(number));
  OpenFile file;
  if (erasure::Counting()) {
    if (auto kept = FilesInMemory().find(MemoryKey(path)); kept != FilesInMemory().end()) {
      file.buffer = kept->second;
      Table()[number] = std::move(file);
      return Status::Ok();
    }
  }
  file.handle.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.handle)
    return Status::FromLastError();
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.handle.get(), &size))
    return Status::FromLastError();
  file.buffer.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!file.buffer.empty() && !ReadFile(file.handle.get(), file.buffer.data(),
                                        static_cast<DWORD>(file.buffer.size()), &read, nullptr))
    return Status::FromLastError();
  file.buffer.resize(read);
  Table()[number] = std::move(file);
  return Status::Ok();
}

Status PrintLine(int number, std::wstring_view text) {
  OpenFile* file = Find(number, true);
  if (!file)
    return Status::FromWin32(ERROR_INVALID_HANDLE);
  file->buffer += ToAnsi(text);
  file->buffer += "\r\n";
  return file->buffer.size() >= kFlushThreshold ? Flush(*file) : Status::Ok();
}

Status LineInput(int number, std::wstring* line) {
  line->clear();
  OpenFile* file = Find(number, false);
  if (!file)
    return Status::FromWin32(ERROR_INVALID_HANDLE);
  if (file->position >= file->buffer.size())
    return Status::FromWin32(ERROR_HANDLE_EOF);
  const std::string& bytes = file->buffer;
  size_t end = bytes.find_first_of("\r\n", file->position);
  if (end == std::string::npos)
    end = bytes.size();
  *line = FromAnsi(std::string_view(bytes).substr(file->position, end - file->position));
  file->position = end;
  if (file->position < bytes.size() && bytes[file->position] == '\r')
    ++file->position;
  if (file->position < bytes.size() && bytes[file->position] == '\n')
    ++file->position;
  return Status::Ok();
}

bool AtEnd(int number) {
  OpenFile* file = Find(number, false);
  return !file || file->position >= file->buffer.size();
}

bool IsOpen(int number) {
  return Table().count(number) != 0;
}

Status Close(int number) {
  auto it = Table().find(number);
  if (it == Table().end())
    return Status::Ok();
  Status status = it->second.output ? Flush(it->second) : Status::Ok();
  Table().erase(it);
  return status;
}

void CloseAll() {
  while (!Table().empty())
    (void)Close(Table().begin()->first);
}

}  // namespace platform::files
