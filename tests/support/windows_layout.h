#pragma once
// "C:\Documents and Settings" laid out as one Windows generation lays it out, for a test's life:
// every test process shares the one Wine prefix.

namespace test {

enum class DocumentsAndSettings {
  kRealFolder,       // XP: the folder of the profiles
  kJunctionToUsers,  // Vista and later: a junction to C:\Users (here a Unix link to C:\users)
};

// Makes "C:\Documents and Settings" the kind asked for, and puts back what was there when the
// object goes: a real folder moved aside comes back with its content; a real folder made here
// goes with what the test left in it; a link is made again to C:\users, the only place Windows
// points it to.
class ScopedDocumentsAndSettings {
 public:
  explicit ScopedDocumentsAndSettings(DocumentsAndSettings layout);
  ScopedDocumentsAndSettings(const ScopedDocumentsAndSettings&) = delete;
  ScopedDocumentsAndSettings& operator=(const ScopedDocumentsAndSettings&) = delete;
  ~ScopedDocumentsAndSettings();

  // The folder is of the kind asked for.
  bool ok() const { return ok_; }

 private:
  bool moved_aside_ = false;
  bool removed_link_ = false;
  bool made_ = false;
  bool ok_ = false;
};

}  // namespace test
