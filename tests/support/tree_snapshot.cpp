#include "support/tree_snapshot.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "support/scratch.h"

namespace test {
namespace {

std::uint64_t Combined(DWORD high, DWORD low) {
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

// FNV-1a: enough to see that bytes changed.
std::uint64_t Digest(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char byte : bytes)
    hash = (hash ^ byte) * 1099511628211ull;
  return hash;
}

void Walk(const std::wstring& folder, const std::wstring& relative,
          std::vector<std::string>* lines) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + relative + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    const std::wstring path = relative + name;
    const bool is_folder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    const bool is_link = found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
    const std::uint64_t digest = is_folder || is_link ? 0 : Digest(ReadFileBytes(folder + path));
    char fields[160];
    std::snprintf(
        fields, sizeof fields, " %08lx %llu %llu %llu %016llx", found.dwFileAttributes,
        static_cast<unsigned long long>(Combined(found.nFileSizeHigh, found.nFileSizeLow)),
        static_cast<unsigned long long>(
            Combined(found.ftCreationTime.dwHighDateTime, found.ftCreationTime.dwLowDateTime)),
        static_cast<unsigned long long>(
            Combined(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime)),
        static_cast<unsigned long long>(digest));
    std::string line(path.begin(), path.end());  // names in the tests are ASCII
    lines->push_back(line + fields);
    if (is_folder && !is_link)
      Walk(folder, path + L"\\", lines);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

std::string SnapshotTree(const std::wstring& folder) {
  std::vector<std::string> lines;
  Walk(folder, L"", &lines);
  std::sort(lines.begin(), lines.end());
  std::string snapshot;
  for (const std::string& line : lines)
    snapshot += line + "\n";
  return snapshot;
}

}  // namespace test
