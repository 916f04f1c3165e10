#include "support/registry_state.h"

#include <sddl.h>

#include <algorithm>

#include "platform/handles.h"

namespace test {

platform::UniqueRegistryKey OpenRegistryKey(HKEY root, const std::wstring& path, REGSAM view) {
  platform::UniqueRegistryKey key;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                      key.receive(), nullptr) != ERROR_SUCCESS)
    return {};
  return key;
}

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& path,
                                               const std::wstring& name, REGSAM view) {
  BYTE data[4096] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  RegistryValue value;
  platform::UniqueRegistryKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, key.receive()) !=
          ERROR_SUCCESS ||
      RegGetValueW(key.get(), nullptr, name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type, data,
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.text.assign(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
  while (!value.text.empty() && value.text.back() == L'\0')
    value.text.pop_back();
  return value;
}

bool WriteTextValues(HKEY root, const std::wstring& path, const std::vector<std::wstring>& names,
                     const std::wstring& text) {
  platform::UniqueRegistryKey key;
  if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                      key.receive(), nullptr) != ERROR_SUCCESS)
    return false;
  const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  for (const std::wstring& name : names)
    RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   bytes);
  return true;
}

std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& path) {
  std::vector<std::wstring> names;
  platform::UniqueRegistryKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.receive()) !=
      ERROR_SUCCESS)
    return names;
  wchar_t name[16384];
  for (DWORD index = 0;; ++index) {
    DWORD length = ARRAYSIZE(name);
    if (RegEnumValueW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    names.emplace_back(name, length);
  }
  std::sort(names.begin(), names.end());
  return names;
}

ScopedDenyKeyChanges::ScopedDenyKeyChanges(HKEY root, const std::wstring& path) {
  if (RegOpenKeyExW(root, path.c_str(), 0, READ_CONTROL | WRITE_DAC | KEY_WOW64_64KEY, &key_) !=
      ERROR_SUCCESS) {
    key_ = nullptr;
    return;
  }
  DWORD size = 0;
  RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
  old_descriptor_.resize(size);
  if (size == 0 || RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, old_descriptor_.data(),
                                     &size) != ERROR_SUCCESS)
    return;
  // Deny KEY_SET_VALUE | KEY_CREATE_SUB_KEY, allow everything else.
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
