#pragma once
// Registry state for tests: values read back raw, and keys made to refuse changes. Every key is
// seen in the 64-bit view, where the system reads it, also from the 32-bit tests.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace test {

// Opens (creating it when needed) a key with every right in the given view; the 64-bit one by
// default. A null key when it cannot.
platform::UniqueRegistryKey OpenRegistryKey(HKEY root, const std::wstring& path,
                                            REGSAM view = KEY_WOW64_64KEY);

struct RegistryValue {
  DWORD type = REG_NONE;
  std::wstring text;  // the data, read as UTF-16 text without its terminating zero
};

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& path,
                                               const std::wstring& name,
                                               REGSAM view = KEY_WOW64_64KEY);
// The names of every value of the key, sorted.
std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& path);
// Makes the key when missing and writes each value `names` with the text `text`; false when the
// key cannot be made.
bool WriteTextValues(HKEY root, const std::wstring& path, const std::vector<std::wstring>& names,
                     const std::wstring& text);

// Gives the key an access list that refuses to everyone the setting of values and the making of
// sub-keys (Wine enforces it until its server stops); puts the old list back when it goes.
class ScopedDenyKeyChanges {
 public:
  ScopedDenyKeyChanges(HKEY root, const std::wstring& path);
  ScopedDenyKeyChanges(const ScopedDenyKeyChanges&) = delete;
  ScopedDenyKeyChanges& operator=(const ScopedDenyKeyChanges&) = delete;
  ~ScopedDenyKeyChanges();

  bool ok() const { return applied_; }

 private:
  HKEY key_ = nullptr;
  std::vector<BYTE> old_descriptor_;
  bool applied_ = false;
};

}  // namespace test
