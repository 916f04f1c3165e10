#pragma once
// Real state around the inventory scan and the folder cleaners: the inventory file's bytes,
// and the temporary folder of this process.

#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace test {

std::string ReadInventoryBytes();
// The path without its trailing backslashes (a drive root keeps its own).
std::wstring WithoutSlash(const std::wstring& path);
// A folder's attributes asked without a trailing backslash: with one, Wine does not report a
// folder's read-only bit.
std::uint32_t FolderAttributes(const std::wstring& path);
void WriteInventoryBytes(const std::string& bytes);

// Makes a folder read-only the Unix way (mode 555), which Wine reports as attribute 0x11:
// Wine keeps no read-only bit of its own on folders. Resetting the attributes clears it.
bool MakeReadOnlyFolder(const std::wstring& folder);

// A readable inventory naming "stale", as a scan of long ago would have left.
inline constexpr char kRefusedInventoryBytes[] = "C:\\old\\\r\nstale\r\n";

// Makes the program's folder refuse "Reper.txt" while alive: a file of that name holding `bytes`
// and held open by this object, sharing reads only, or a folder of that name. (A read-only file
// would not do where the tests run as root: Wine then rewrites it.) The fallback folder
// "%LOCALAPPDATA%\Nimbrel" is removed before and after.
class RefusedProgramInventory {
 public:
  enum class By { kHeldFile, kFolder, kNothing };  // kNothing: only the fallback is cleared
  explicit RefusedProgramInventory(By by, const std::string& bytes = kRefusedInventoryBytes);
  RefusedProgramInventory(const RefusedProgramInventory&) = delete;
  RefusedProgramInventory& operator=(const RefusedProgramInventory&) = delete;
  ~RefusedProgramInventory();

  // The fallback is refused too: a file stands where its folder would go.
  bool RefuseFallback();
  // Where the scan writes when the program's folder refuses the file.
  const std::wstring& fallback() const { return fallback_; }

 private:
  void Clear();
  By by_;
  std::wstring refused_, fallback_folder_, fallback_;
  platform::UniqueHandle holder_;
};

// Sets one environment variable of this process (a null value removes it) while alive, then
// puts back what was there.
class ScopedVariable {
 public:
  ScopedVariable(const wchar_t* name, const wchar_t* value);
  ScopedVariable(const wchar_t* name, const std::wstring& value)
      : ScopedVariable(name, value.c_str()) {}
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable();

 private:
  std::wstring name_, old_;
};

// Points this process's temporary folder (TMP and TEMP) at `folder` while alive. The second
// form sets each variable on its own; a null value removes it.
class ScopedTempFolder {
 public:
  explicit ScopedTempFolder(const std::wstring& folder);
  ScopedTempFolder(const wchar_t* tmp, const wchar_t* temp);

 private:
  ScopedVariable tmp_, temp_;
};

}  // namespace test
