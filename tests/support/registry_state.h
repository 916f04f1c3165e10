#pragma once
// Registry state for tests: values read back raw, values and keys put back as they were, and
// keys made to refuse changes through their access list.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace test {

struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& path,
                                               const std::wstring& name);
// The names of every value of the key, in the registry's order.
std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& path);
bool WriteRegistryText(HKEY root, const std::wstring& path, const std::wstring& name,
                       const std::wstring& text);
bool WriteRegistryNumber(HKEY root, const std::wstring& path, const std::wstring& name,
                         DWORD number);
// The REG_SZ data of `text`, terminating zero included, for comparing with what was read.
std::vector<BYTE> TextData(const std::wstring& text);

// Records the values of a key (and whether the key exists) and puts them back when the object
// goes: values added meanwhile are deleted, the key too when it did not exist before.
class RegistryKeyRestorer {
 public:
  RegistryKeyRestorer(HKEY root, std::wstring path);
  RegistryKeyRestorer(const RegistryKeyRestorer&) = delete;
  RegistryKeyRestorer& operator=(const RegistryKeyRestorer&) = delete;
  ~RegistryKeyRestorer();

 private:
  HKEY root_;
  std::wstring path_;
  bool existed_ = false;
  std::vector<std::pair<std::wstring, RegistryValue>> values_;
};

// Gives the key an access list that refuses to set values or create sub-keys to everyone (Wine
// enforces it until its server stops), and puts the old list back when the object goes.
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
