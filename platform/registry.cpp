#include "platform/registry.h"

#include <windows.h>

#include <utility>

#include "platform/erasure.h"
#include "platform/tally.h"

namespace platform {
namespace {

// A 32-bit program on 64-bit Windows sees HKLM\SOFTWARE through WOW6432Node unless it asks for
// the 64-bit view; the values this program writes and deletes are read by the system there. The
// flag changes nothing on 32-bit Windows, and a 64-bit build has the 64-bit view already.
#ifdef _WIN64
constexpr REGSAM kSystemView = 0;
#else
constexpr REGSAM kSystemView = KEY_WOW64_64KEY;
#endif

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::function<Status(const std::wstring&)>& DeletionCheck() {
  static std::function<Status(const std::wstring&)> check;
  return check;
}

}  // namespace

RegistryKey::RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    Close();
    key_ = std::exchange(other.key_, nullptr);
  }
  return *this;
}

RegistryKey::~RegistryKey() {
  Close();
}

void RegistryKey::Close() {
  if (key_)
    RegCloseKey(key_);
  key_ = nullptr;
}

Status RegistryKey::Open(RegistryRoot root, const std::wstring& path) {
  Close();
  return Status::FromWin32(RegOpenKeyExW(RootKey(root), path.c_str(), 0,
                                         KEY_QUERY_VALUE | KEY_SET_VALUE | kSystemView, &key_));
}

Status RegistryKey::Create(RegistryRoot root, const std::wstring& path) {
  Close();
  if (erasure::Counting()) {
    // Opened with the right to write, as the run would: a refusal shows, and nothing is made.
    const LSTATUS opened =
        RegOpenKeyExW(RootKey(root), path.c_str(), 0, KEY_SET_VALUE | kSystemView, &key_);
    return Status::FromWin32(opened == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : opened);
  }
  return Status::FromWin32(RegCreateKeyExW(RootKey(root), path.c_str(), 0, nullptr,
                                           REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | kSystemView,
                                           nullptr, &key_, nullptr));
}

Status RegistryKey::WriteText(const std::wstring& name, const std::wstring& text) {
  if (erasure::Counting())
    return Status::Ok();
  const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return Status::FromWin32(RegSetValueExW(key_, name.c_str(), 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(text.c_str()), bytes));
}

Status RegistryKey::DeleteValue(const std::wstring& name) {
  if (DeletionCheck()) {
    if (Status refused = DeletionCheck()(name); !refused)
      return tally::NoteDeletion(refused);
  }
  if (erasure::Counting())
    return tally::NoteDeletion(Status::FromWin32(
        RegQueryValueExW(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr)));
  return tally::NoteDeletion(Status::FromWin32(RegDeleteValueW(key_, name.c_str())));
}

Status RegistryKey::ValueNames(std::vector<std::wstring>* names) const {
  names->clear();
  // A value name holds at most 16,383 characters; most are short, so the buffer grows on demand.
  constexpr size_t kLongestName = 16383;
  std::wstring buffer(256, L'\0');
  for (DWORD index = 0;;) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LSTATUS listed =
        RegEnumValueW(key_, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (listed == ERROR_NO_MORE_ITEMS)
      return Status::Ok();
    if (listed == ERROR_MORE_DATA && buffer.size() <= kLongestName) {
      buffer.resize(kLongestName + 1);
      continue;
    }
    if (listed != ERROR_SUCCESS)
      return Status::FromWin32(listed);
    names->emplace_back(buffer.data(), length);
    ++index;
  }
}

namespace testing {
void SetValueDeletionCheck(std::function<Status(const std::wstring& name)> check) {
  DeletionCheck() = std::move(check);
}
}  // namespace testing

}  // namespace platform
