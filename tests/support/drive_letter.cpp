#include "support/drive_letter.h"

#include <windows.h>

#include "platform/text.h"
#include "support/scratch.h"

namespace test {
namespace {

// Runs a Unix program. Its process handle is signalled before the program is done, so callers
// poll for its effect.
void Run(std::wstring command) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return;
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

std::wstring Quoted(const std::string& unix_path) {
  return L"\"" + platform::FromUtf8(unix_path) + L"\"";
}

}  // namespace

ScopedDriveLetter::ScopedDriveLetter(const std::wstring& folder) {
  // Wine gives C:\ as ".../dosdevices/c:/": its parent holds one link per drive letter.
  std::string drive_c = UnixPath(L"C:\\");
  const std::string suffix = "c:/";
  if (drive_c.size() <= suffix.size() ||
      drive_c.compare(drive_c.size() - suffix.size(), suffix.size(), suffix) != 0)
    return;
  const std::string dosdevices = drive_c.substr(0, drive_c.size() - suffix.size());
  std::wstring target = folder;
  while (target.size() > 3 && target.back() == L'\\')
    target.pop_back();
  const std::string unix_target = UnixPath(target);
  if (unix_target.empty())
    return;
  for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
    const std::wstring root = std::wstring(1, letter) + L":\\";
    if (GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES)
      continue;  // taken
    // Unix programs started from Wine report no exit code: the lookup tells whether it worked.
    const std::string link = dosdevices + static_cast<char>(letter - L'A' + 'a') + ":";
    Run(L"Z:\\bin\\ln -s " + Quoted(unix_target) + L" " + Quoted(link));
    unix_link_ = link;
    for (int attempt = 0; attempt < 1000 && root_.empty(); ++attempt) {
      if (GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES)
        root_ = root;
      else
        Sleep(10);
    }
    return;
  }
}

ScopedDriveLetter::~ScopedDriveLetter() {
  if (unix_link_.empty())
    return;
  Run(L"Z:\\bin\\rm -f " + Quoted(unix_link_));
  for (int attempt = 0; attempt < 1000; ++attempt) {
    if (!root_.empty() && GetFileAttributesW(root_.c_str()) == INVALID_FILE_ATTRIBUTES)
      return;
    Sleep(10);
  }
}

}  // namespace test
