#include "support/registry_state.h"

#include <sddl.h>

#include <utility>

#include "platform/handles.h"

namespace test {
namespace {

std::vector<std::pair<std::wstring, RegistryValue>> ReadAllValues(HKEY key) {
  std::vector<std::pair<std::wstring, RegistryValue>> values;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD name_size = ARRAYSIZE(name);
    DWORD type = 0;
    DWORD data_size = 0;
    if (RegEnumValueW(key, index, name, &name_size, nullptr, &type, nullptr, &data_size) !=
        ERROR_SUCCESS)
      break;
    RegistryValue value;
    value.type = type;
    value.data.resize(data_size);
    DWORD read_size = data_size;
    RegQueryValueExW(key, name, nullptr, nullptr, value.data.data(), &read_size);
    value.data.resize(read_size);
    values.emplace_back(name, std::move(value));
  }
  return values;
}

bool WriteRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type,
              const BYTE* data, DWORD size) {
  platform::UniqueRegistryKey key;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.receive(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExW(key.get(), name.c_str(), 0, type, data, size) == ERROR_SUCCESS;
}

}  // namespace

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& path,
                                               const std::wstring& name) {
  platform::UniqueRegistryKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS)
    return std::nullopt;
  RegistryValue value;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.data.resize(size);
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, value.data.data(), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  value.data.resize(size);
  return value;
}

std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& path) {
  std::vector<std::wstring> names;
  platform::UniqueRegistryKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS)
    return names;
  for (auto& [name, value] : ReadAllValues(key.get()))
    names.push_back(name);
  return names;
}

std::vector<BYTE> TextData(const std::wstring& text) {
  const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
  return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

bool WriteRegistryText(HKEY root, const std::wstring& path, const std::wstring& name,
                       const std::wstring& text) {
  std::vector<BYTE> data = TextData(text);
  return WriteRaw(root, path, name, REG_SZ, data.data(), static_cast<DWORD>(data.size()));
}

bool WriteRegistryNumber(HKEY root, const std::wstring& path, const std::wstring& name,
                         DWORD number) {
  return WriteRaw(root, path, name, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                  sizeof number);
}

RegistryKeyRestorer::RegistryKeyRestorer(HKEY root, std::wstring path)
    : root_(root), path_(std::move(path)) {
  platform::UniqueRegistryKey key;
  existed_ =
      RegOpenKeyExW(root_, path_.c_str(), 0, KEY_QUERY_VALUE, key.receive()) == ERROR_SUCCESS;
  if (existed_)
    values_ = ReadAllValues(key.get());
}

RegistryKeyRestorer::~RegistryKeyRestorer() {
  if (!existed_) {
    RegDeleteTreeW(root_, path_.c_str());
    RegDeleteKeyW(root_, path_.c_str());
    return;
  }
  platform::UniqueRegistryKey key;
  if (RegOpenKeyExW(root_, path_.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.receive()) !=
      ERROR_SUCCESS)
    return;
  for (auto& [name, value] : ReadAllValues(key.get()))
    RegDeleteValueW(key.get(), name.c_str());
  for (auto& [name, value] : values_)
    RegSetValueExW(key.get(), name.c_str(), 0, value.type, value.data.data(),
                   static_cast<DWORD>(value.data.size()));
}

ScopedDenyKeyChanges::ScopedDenyKeyChanges(HKEY root, const std::wstring& path) {
  if (RegOpenKeyExW(root, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS) {
    key_ = nullptr;
    return;
  }
  DWORD size = 0;
  RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
  old_descriptor_.resize(size);
  if (size == 0 || RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, old_descriptor_.data(),
                                     &size) != ERROR_SUCCESS)
    return;
  // Deny KEY_SET_VALUE | KEY_CREATE_SUB_KEY to everyone, allow everything else.
  PSECURITY_DESCRIPTOR deny = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x6;;;WD)(A;;KA;;;WD)",
                                                            SDDL_REVISION_1, &deny, nullptr))
    return;
  applied_ = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, deny) == ERROR_SUCCESS;
  LocalFree(deny);
}

ScopedDenyKeyChanges::~ScopedDenyKeyChanges() {
  if (applied_)
    RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, old_descriptor_.data());
  if (key_)
    RegCloseKey(key_);
}

}  // namespace test
