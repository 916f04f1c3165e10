#include "support/drive_letter.h"

#include <windows.h>

#include "platform/text.h"
#include "support/scratch.h"

namespace test {
namespace {

// Runs a Unix program and waits (10 s at most) until `root` exists or not, as `exists` asks:
// Wine does not let a Windows program wait for a Unix one.
bool RunUntil(const std::wstring& command, const std::wstring& root, bool exists) {
  std::wstring line = command;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (int attempt = 0; attempt < 1000; ++attempt) {
    if ((GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES) == exists)
      return true;
    Sleep(10);
  }
  return false;
}

std::wstring Quoted(const std::string& unix_path) {
  return L" \"" + platform::FromUtf8(unix_path) + L"\"";
}

}  // namespace

ScopedDriveLetter::ScopedDriveLetter(const std::wstring& folder) {
  // Wine gives C:\ as ".../dosdevices/c:/": its parent holds one link per drive letter.
  const std::string drive_c = UnixPath(L"C:\\");
  const std::string unix_target = UnixPath(folder.substr(0, folder.find_last_not_of(L'\\') + 1));
  if (drive_c.size() < 3 || drive_c.substr(drive_c.size() - 3) != "c:/" || unix_target.empty())
    return;
  for (char letter = 'q'; letter <= 'y'; ++letter) {
    const std::wstring root = std::wstring(1, static_cast<wchar_t>(letter - 'a' + L'A')) + L":\\";
    if (GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES)
      continue;
    unix_link_ = drive_c.substr(0, drive_c.size() - 3) + letter + ":";
    if (RunUntil(L"Z:\\bin\\ln -s" + Quoted(unix_target) + Quoted(unix_link_), root, true))
      root_ = root;
    return;
  }
}

ScopedDriveLetter::~ScopedDriveLetter() {
  if (!unix_link_.empty())
    RunUntil(L"Z:\\bin\\rm -f" + Quoted(unix_link_), root_.empty() ? L"?:\\" : root_, false);
}

ScratchDrive::ScratchDrive() {
  folder_.File(L"sentinel.txt", 0, "keep");
  folder_.File(L"sentinel-read-only.txt", FILE_ATTRIBUTE_READONLY, "keep");
}

bool ScratchDrive::Intact() const {
  return folder_.Content(L"sentinel.txt") == "keep" &&
         folder_.Content(L"sentinel-read-only.txt") == "keep" &&
         (folder_.Attributes(L"sentinel-read-only.txt") & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace test
