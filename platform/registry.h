#pragma once
// Registry keys opened to change their values.

#include <functional>
#include <string>
#include <vector>

#include "platform/status.h"

struct HKEY__;

namespace platform {

enum class RegistryRoot { kCurrentUser, kLocalMachine };

// One open registry key, closed when the object goes. Move-only.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  ~RegistryKey();

  // Opens an existing key to read and change its values; an absent key gives "file not found".
  Status Open(RegistryRoot root, const std::wstring& path);
  // Opens the key to change its values, creating it and its missing parents first.
  Status Create(RegistryRoot root, const std::wstring& path);

  // Writes a string value (REG_SZ), replacing a value of that name of any type.
  Status WriteText(const std::wstring& name, const std::wstring& text);
  // Deletes a value; an absent value gives "file not found" (0x80070002).
  Status DeleteValue(const std::wstring& name);
  // The names of every value of the key, in the registry's order (an opened key only). On a
  // failure `names` keeps those read before it.
  Status ValueNames(std::vector<std::wstring>* names) const;

 private:
  void Close();
  HKEY__* key_ = nullptr;
};

namespace testing {
// Test seam: when set, called with the value's name before every DeleteValue; a failure it
// returns becomes the deletion's result and nothing is deleted. The test registry cannot refuse
// the deletion of one value of a key while allowing the others; this seam can.
void SetValueDeletionCheck(std::function<Status(const std::wstring& name)> check);
}  // namespace testing

}  // namespace platform
