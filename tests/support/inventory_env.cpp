#include "support/inventory_env.h"

#include <windows.h>

#include "inventory/inventory_file.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "support/scratch.h"

namespace test {
namespace {

constexpr wchar_t kUserShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[1024] = {};
  DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
  return std::wstring(buffer, length < 1024 ? length : 0);
}

// Starts a Unix program. Wine reports the started process as ended before the Unix program
// itself has finished, so callers poll for its effect with WaitFor.
bool RunUnix(const std::wstring& command_line) {
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

template <typename Condition>
bool WaitFor(Condition done) {
  for (int i = 0; i < 200; ++i) {
    if (done())
      return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

std::wstring WithoutSlash(const std::wstring& path) {
  std::wstring folder = path;
  while (folder.size() > 3 && folder.back() == L'\\')
    folder.pop_back();
  return folder;
}

std::uint32_t FolderAttributes(const std::wstring& path) {
  return GetFileAttributesW(WithoutSlash(path).c_str());
}

bool MakeLink(const std::wstring& target, const std::wstring& link) {
  const std::wstring name = WithoutSlash(link);
  return MakeUnixLink(target, name) || WaitFor([&] {
           DWORD attributes = GetFileAttributesW(name.c_str());
           return attributes != INVALID_FILE_ATTRIBUTES &&
                  (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
         });
}

std::string ReadInventoryBytes() {
  platform::UniqueHandle file(CreateFileW(InventoryFilePath().c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  std::string bytes(1 << 20, '\0');
  DWORD read = 0;
  if (!file ||
      !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return "<unreadable>";
  bytes.resize(read);
  return bytes;
}

void WriteInventoryBytes(const std::string& bytes) {
  platform::UniqueHandle file(CreateFileW(InventoryFilePath().c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool MakeReadOnlyFolder(const std::wstring& path) {
  const std::wstring folder = WithoutSlash(path);
  const std::string unix_path = UnixPath(folder);
  return !unix_path.empty() &&
         RunUnix(L"Z:\\bin\\chmod 555 \"" + platform::FromUtf8(unix_path) + L"\"") && WaitFor([&] {
           return GetFileAttributesW(folder.c_str()) ==
                  (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
         });
}

ScopedTempFolder::ScopedTempFolder(const std::wstring& folder)
    : old_tmp_(Environment(L"TMP")), old_temp_(Environment(L"TEMP")) {
  SetEnvironmentVariableW(L"TMP", folder.c_str());
  SetEnvironmentVariableW(L"TEMP", folder.c_str());
}

ScopedTempFolder::~ScopedTempFolder() {
  SetEnvironmentVariableW(L"TMP", old_tmp_.c_str());
  SetEnvironmentVariableW(L"TEMP", old_temp_.c_str());
}

ScopedCacheFolder::ScopedCacheFolder(const std::wstring& folder) {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, kUserShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &key, nullptr);
  platform::UniqueRegistryKey owned(key);
  wchar_t value[1024] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  had_value_ = RegQueryValueExW(key, L"Cache", nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                                &size) == ERROR_SUCCESS;
  old_value_ = value;
  RegSetValueExW(key, L"Cache", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                 static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
}

ScopedCacheFolder::~ScopedCacheFolder() {
  HKEY key = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, kUserShellFolders, 0, KEY_ALL_ACCESS, &key);
  platform::UniqueRegistryKey owned(key);
  if (had_value_)
    RegSetValueExW(key, L"Cache", 0, REG_EXPAND_SZ,
                   reinterpret_cast<const BYTE*>(old_value_.c_str()),
                   static_cast<DWORD>((old_value_.size() + 1) * sizeof(wchar_t)));
  else
    RegDeleteValueW(key, L"Cache");
}

ScopedDriveLetter::ScopedDriveLetter(const std::wstring& folder) {
  // The drive links live next to "c:" in the prefix's dosdevices folder.
  std::string c_drive = UnixPath(L"C:\\");
  std::string dosdevices = c_drive.substr(0, c_drive.find("/dosdevices/") + 11);
  if (c_drive.find("/dosdevices/") == std::string::npos)
    return;
  for (wchar_t letter = L'N'; letter <= L'Y'; ++letter) {
    const std::wstring root = std::wstring(1, letter) + L":\\";
    if (GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES)
      continue;
    link_ = platform::FromUtf8(dosdevices) + L"/" + static_cast<wchar_t>(letter + 32) + L":";
    std::wstring target = platform::FromUtf8(UnixPath(folder));
    if (RunUnix(L"Z:\\bin\\ln -s \"" + target + L"\" \"" + link_ + L"\"") &&
        WaitFor([&] { return GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES; }))
      root_ = root;
    return;
  }
}

ScopedDriveLetter::~ScopedDriveLetter() {
  if (!link_.empty() && RunUnix(L"Z:\\bin\\rm -f \"" + link_ + L"\"") && !root_.empty())
    WaitFor([&] { return GetFileAttributesW(root_.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

}  // namespace test
