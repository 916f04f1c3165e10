#pragma once
// Registry state for tests: values read back raw, and keys made to refuse changes.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace test {

struct RegistryValue {
  DWORD type = REG_NONE;
  std::wstring text;  // the data, read as UTF-16 text without its terminating zero
};

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& path,
                                               const std::wstring& name);
// The names of every value of the key, sorted.
std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& path);

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
