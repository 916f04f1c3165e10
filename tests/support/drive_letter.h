#pragma once
// A spare drive letter of the Wine prefix mapped to a scratch folder, for tests that need a
// drive root they may empty.

#include <string>

#include "support/scratch.h"

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

// A drive of the test's own for every case that could reach a drive root ("\" alone names the
// root of the current drive; a folder setting may name a root outright): a scratch folder
// behind a spare letter, whose root holds a plain and a read-only sentinel file that no cleaner
// may touch, and nothing else. Tests never hand C:\ of the prefix to a cleaner: the prefix, its
// Windows folder included, is built once and reused by every later run.
class ScratchDrive {
 public:
  ScratchDrive();
  // "Q:\" (with the letter taken), or empty when no letter could be mapped.
  const std::wstring& root() const { return letter_.root(); }
  // Both sentinels are there with their content, the read-only one still read-only.
  bool Intact() const;

 private:
  ScratchTree folder_{L"drive"};
  ScopedDriveLetter letter_{folder_.path()};
};

}  // namespace test
