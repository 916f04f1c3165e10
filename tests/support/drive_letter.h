#pragma once
// A spare drive letter of the Wine prefix mapped to a scratch folder, for tests that need a
// drive root they may empty.

#include <string>

namespace test {

// Maps the first free letter from Q: on to `folder` through a link in the prefix's dosdevices
// folder (Wine reads it at each lookup), and removes the link when the object goes.
class ScopedDriveLetter {
 public:
  explicit ScopedDriveLetter(const std::wstring& folder);
  ScopedDriveLetter(const ScopedDriveLetter&) = delete;
  ScopedDriveLetter& operator=(const ScopedDriveLetter&) = delete;
  ~ScopedDriveLetter();

  // "Q:\" (with the letter taken), or empty when no letter could be mapped.
  const std::wstring& root() const { return root_; }

 private:
  std::string unix_link_;
  std::wstring root_;
};

}  // namespace test
