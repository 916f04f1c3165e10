// The temporary folder is known by what it is, not by how TMP and TEMP spell it: a path that
// reaches a protected folder through a link, or a folder above one, is refused.

#include "cleaners/folders/safe_temp_folder.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "cleaners/folders/temp_files.h"
#include "platform/file_identity.h"
#include "platform/special_folders.h"
#include "platform/system.h"
#include "support/inventory_env.h"
#include "support/scratch.h"
#include "support/shell_folders.h"
#include "support/windows_layout.h"

namespace {

std::wstring Profile() {
  return platform::SpecialFolderPath(CSIDL_PROFILE).value;
}

bool Accepted(const std::wstring& temp) {
  test::ScopedTempFolder scoped(temp);
  return !SafeTemporaryFolder().empty();
}

TEST(SafeTemporaryFolder, RefusesTheProfileReachedThroughALink) {
  const std::wstring profile = Profile();
  ASSERT_FALSE(profile.empty());
  const std::size_t cut = profile.rfind(L'\\');
  const std::wstring users = profile.substr(0, cut);
  const std::wstring user = profile.substr(cut + 1);
  test::ScratchTree tree;
  ASSERT_TRUE(test::MakeUnixLink(profile, tree / L"Profile"));
  ASSERT_TRUE(test::MakeUnixLink(users, tree / L"Documents and Settings"));
  ASSERT_TRUE(test::MakeUnixLink(L"C:\\", tree / L"Drive"));
  EXPECT_FALSE(Accepted(tree / L"Profile"));
  EXPECT_FALSE(Accepted(tree / (L"Documents and Settings\\" + user)));
  EXPECT_FALSE(Accepted(tree / (L"Drive\\" + users.substr(3))));  // holds the profile
  {
    test::ScopedDocumentsAndSettings junction(test::DocumentsAndSettings::kJunctionToUsers);
    ASSERT_TRUE(junction.ok());
    EXPECT_FALSE(Accepted(L"C:\\Documents and Settings\\" + user));
  }

  // Under Wine Documents is a link to the Unix home folder, which is then Documents itself.
  platform::Result<std::wstring> documents =
      platform::ResolvedPath(platform::SpecialFolderPath(CSIDL_PERSONAL).value);
  ASSERT_TRUE(documents.ok());
  EXPECT_FALSE(Accepted(documents.value)) << documents.value;
}

TEST(CleanTempFiles, LeavesAProfileReachedThroughALinkedParentWhole) {
  test::ScratchTree tree;
  test::ScratchTree sentinel;
  tree.File(L"profile\\notes.txt");
  tree.File(L"profile\\Documents\\cv.txt");
  sentinel.File(L"precious.txt");
  ASSERT_TRUE(test::MakeUnixLink(tree.path(), tree / L"Linked"));
  test::ScopedVariable profile(L"USERPROFILE", tree / L"profile");
  test::ScopedTempFolder temp(tree / L"Linked\\profile");
  EXPECT_FALSE(CleanTempFiles());
  EXPECT_TRUE(tree.Exists(L"profile\\notes.txt"));
  EXPECT_TRUE(tree.Exists(L"profile\\Documents\\cv.txt"));
  EXPECT_TRUE(sentinel.Exists(L"precious.txt"));
}

TEST(SafeTemporaryFolder, RefusesThePublicProfileProgramDataAndTheUserFolders) {
  const std::wstring profile = Profile();
  const std::wstring public_profile = platform::EnvironmentVariable(L"PUBLIC");
  const std::wstring program_data = platform::EnvironmentVariable(L"ProgramData");
  ASSERT_FALSE(public_profile.empty());
  ASSERT_FALSE(program_data.empty());
  for (const std::wstring& folder :
       {profile + L"\\Saved Games", profile + L"\\Contacts", profile + L"\\Links",
        profile + L"\\Searches", public_profile, public_profile + L"\\Documents", program_data})
    EXPECT_FALSE(Accepted(folder)) << folder;

  // Downloads is a link in this profile (refused as such): a real one elsewhere.
  test::ScratchTree downloads;
  test::ShellFolderRedirect redirect(L"{374DE290-123F-4565-9164-39C4925E467B}",
                                     test::WithoutSlash(downloads.path()));
  EXPECT_FALSE(Accepted(downloads.path()));

  // A OneDrive folder the client announces through a link to it: the folder and the one above
  // it are known only once the link is followed.
  test::ScratchTree cloud;
  cloud.Folder(L"Sync\\OneDrive");
  ASSERT_TRUE(test::MakeUnixLink(cloud / L"Sync\\OneDrive", cloud / L"link"));
  test::ScopedVariable one_drive(L"OneDriveCommercial", cloud / L"link");
  EXPECT_FALSE(Accepted(cloud / L"Sync\\OneDrive"));
  EXPECT_FALSE(Accepted(cloud / L"Sync"));
}

TEST(SafeTemporaryFolder, AcceptsAFolderOfNoOnesEvenInsideTheProfile) {
  test::ScratchTree temp;
  EXPECT_TRUE(Accepted(temp.path()));
  const std::wstring profile_temp = Profile() + L"\\Temp";
  ASSERT_NE(GetFileAttributesW(profile_temp.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(Accepted(profile_temp));
}

}  // namespace
