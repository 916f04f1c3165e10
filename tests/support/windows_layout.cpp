#include "support/windows_layout.h"

#include <windows.h>

#include <string>

#include "support/scratch.h"

namespace test {
namespace {

const wchar_t kDocumentsAndSettings[] = L"C:\\Documents and Settings";
const wchar_t kUsers[] = L"C:\\users";

std::wstring AsidePath() {
  return std::wstring(kDocumentsAndSettings) + L" (aside " +
         std::to_wstring(GetCurrentProcessId()) + L")";
}

DWORD Attributes() {
  return GetFileAttributesW(kDocumentsAndSettings);
}

bool IsLink() {
  const DWORD attributes = Attributes();
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsRealFolder() {
  const DWORD attributes = Attributes();
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

ScopedDocumentsAndSettings::ScopedDocumentsAndSettings(DocumentsAndSettings layout) {
  if (layout == DocumentsAndSettings::kJunctionToUsers) {
    if (IsRealFolder())
      moved_aside_ = MoveFileW(kDocumentsAndSettings, AsidePath().c_str()) != FALSE;
    if (!IsLink())
      made_ = MakeUnixLink(kUsers, kDocumentsAndSettings);
    ok_ = IsLink();
  } else {
    if (IsLink())
      removed_link_ = RemoveUnixLink(kDocumentsAndSettings);
    if (!IsRealFolder())
      made_ = CreateDirectoryW(kDocumentsAndSettings, nullptr) != FALSE;
    ok_ = IsRealFolder();
  }
}

ScopedDocumentsAndSettings::~ScopedDocumentsAndSettings() {
  if (made_ && IsLink())
    RemoveUnixLink(kDocumentsAndSettings);
  else if (made_)
    RemoveTree(kDocumentsAndSettings);
  if (moved_aside_)
    MoveFileW(AsidePath().c_str(), kDocumentsAndSettings);
  if (removed_link_)
    MakeUnixLink(kUsers, kDocumentsAndSettings);
}

}  // namespace test
