// The temporary files cleaner started in an environment that names no temporary folder of its
// own (a scheduled task, a stripped environment), or that names the user's own folders. The
// kernel's answer then falls on the profile. Each case runs in a child test process that
// inherits the environment the parent gives it; the user's real folders are seeded with files
// that must come through whole.

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cleaners/folders/temp_files.h"
#include "platform/handles.h"
#include "platform/special_folders.h"
#include "platform/temp_folder.h"
#include "support/inventory_env.h"
#include "support/processes.h"
#include "support/scratch.h"

namespace {

std::wstring ShellFolder(int csidl) {
  platform::Result<std::wstring> folder = platform::SpecialFolderPath(csidl);
  EXPECT_TRUE(folder.ok()) << csidl;
  return folder.value;
}

// A folder of the user's own, with a file in it, put where the user keeps things and removed at
// the end.
class UserFolder {
 public:
  explicit UserFolder(const std::wstring& folder) : folder_(folder) {
    CreateDirectoryW(folder_.c_str(), nullptr);
    platform::UniqueHandle created(CreateFileW(file().c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  ~UserFolder() { test::RemoveTree(folder_); }
  bool Intact() const { return GetFileAttributesW(file().c_str()) != INVALID_FILE_ATTRIBUTES; }

 private:
  std::wstring file() const { return folder_ + L"\\rapport.txt"; }
  std::wstring folder_;
};

// Runs the cleaner in a child process whose TMP and TEMP are `tmp` and `temp` (null: absent);
// true when it refused the folder.
bool RefusedInChild(const wchar_t* tmp, const wchar_t* temp) {
  test::ScopedTempFolder environment(tmp, temp);
  test::ChildProcess child(
      L"nimbrel_tests.exe --gtest_also_run_disabled_tests --gtest_filter=TempFilesChild.*");
  EXPECT_TRUE(child.started());
  const bool refused = child.WaitForLine(L"refused", 60000);
  EXPECT_EQ(child.Wait(), 0);
  return refused;
}

TEST(CleanTempFiles, NeverCleansTheProfileOrTheUserFoldersTheKernelFallsBackOn) {
  const std::wstring profile = ShellFolder(CSIDL_PROFILE);
  const std::wstring favorites = ShellFolder(CSIDL_FAVORITES);
  ASSERT_FALSE(profile.empty());
  ASSERT_FALSE(favorites.empty());
  UserFolder projects(profile + L"\\Mes projets nimbrel");
  UserFolder links(favorites + L"\\Liens nimbrel");
  {
    // With neither variable, the kernel's answer really is the profile.
    test::ScopedTempFolder unset(nullptr, nullptr);
    EXPECT_EQ(platform::TemporaryFolderPath().value, profile + L"\\");
  }
  // The parent of the profile, in another case and with extra separators, holds the profile;
  // Favorites is named by its short (8.3) name.
  std::wstring users = profile.substr(0, profile.rfind(L'\\')) + L"\\\\";
  CharUpperW(users.data());
  wchar_t short_favorites[MAX_PATH] = {};
  ASSERT_NE(GetShortPathNameW(favorites.c_str(), short_favorites, MAX_PATH), 0u);
  ASSERT_NE(favorites, short_favorites);

  EXPECT_TRUE(RefusedInChild(nullptr, nullptr));
  EXPECT_TRUE(RefusedInChild(nullptr, profile.c_str()));
  EXPECT_TRUE(RefusedInChild(short_favorites, nullptr));
  EXPECT_TRUE(RefusedInChild(nullptr, users.c_str()));
  EXPECT_TRUE(projects.Intact());
  EXPECT_TRUE(links.Intact());

  // TEMP alone, naming a folder of no one's, is enough.
  test::ScratchTree temp;
  temp.File(L"old.tmp");
  EXPECT_FALSE(RefusedInChild(nullptr, temp.path().c_str()));
  EXPECT_FALSE(temp.Exists(L"old.tmp"));
}

// Runs only in the child started above (disabled in a normal run).
TEST(TempFilesChild, DISABLED_Clean) {
  std::printf("%s\n", CleanTempFiles() ? "cleaned" : "refused");
  std::fflush(stdout);
}

}  // namespace
