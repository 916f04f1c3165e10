// Every folder a cleaner cleans passes one guard: inside the system's folders, the profile and
// the user's own folders, only the places the system itself gives the folder are cleaned.

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/history.h"
#include "cleaners/folders/internet_files.h"
#include "cleaners/folders/recent.h"
#include "cleaners/folders/safe_temp_folder.h"
#include "cleaners/folders/temp_files.h"
#include "cleaners/system/cookies.h"
#include "platform/special_folders.h"
#include "platform/system.h"
#include "platform/text.h"
#include "support/inventory_env.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

std::wstring Profile() {
  return platform::SpecialFolderPath(CSIDL_PROFILE).value;
}

std::wstring Windows() {
  return platform::SystemWindowsFolder().value;
}

bool TempAccepted(const std::wstring& temp) {
  test::ScopedTempFolder scoped(temp);
  return !SafeTemporaryFolder().empty();
}

// What a user's document folder holds, and a folder of the system's, as the tests seed them.
void FillLikeDocuments(test::ScratchTree& tree) {
  tree.File(L"Work\\thesis.docx", 0, "thesis");
  tree.File(L"Work\\final.pdf", FILE_ATTRIBUTE_READONLY, "final");
  tree.File(L"Work\\a\\b\\c\\d\\e\\deep.txt", 0, "deep");
  tree.File(L"Work\\Chapter1\\draft.docx", FILE_ATTRIBUTE_ARCHIVE, "draft");
}

TEST(SafeTemporaryFolder, InsideAProtectedTreeOnlyTheSystemsOwnTemporaryFoldersAreAccepted) {
  const std::wstring profile = Profile();
  const std::wstring windows = Windows();
  const std::wstring local = profile + L"\\AppData\\Local";
  const std::wstring program_files = platform::SpecialFolderPath(0x26).value;
  const std::wstring program_data = platform::EnvironmentVariable(L"ProgramData");
  const std::wstring public_profile = platform::EnvironmentVariable(L"PUBLIC");
  ASSERT_FALSE(profile.empty() || windows.empty() || program_files.empty() ||
               program_data.empty() || public_profile.empty());
  test::ScratchTree in_profile(profile + L"\\", L"guard");
  in_profile.Folder(L"Work");
  for (const std::wstring& refused :
       {in_profile / L"Work", L"\\\\?\\" + in_profile / L"Work", profile + L"\\Desktop\\stuff",
        profile + L"\\.ssh", local, local + L"\\Google\\Chrome\\User Data",
        profile + L"\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\x.default",
        public_profile + L"\\Documents\\x", program_files + L"\\Vendor", program_data + L"\\Vendor",
        windows + L"\\Installer", windows + L"\\system32", windows + L"\\system32\\drivers",
        windows + L"\\Fonts", windows + L"\\syswow64", L"\\\\?\\" + windows + L"\\system32",
        windows + L"\\Temp\\x"})
    EXPECT_FALSE(TempAccepted(refused)) << testing::PrintToString(refused);

  test::ScratchTree elsewhere;
  for (const std::wstring& accepted :
       {local + L"\\Temp", local + L"\\Temp\\2", L"\\\\?\\" + local + L"\\Temp",
        windows + L"\\Temp", windows + L"\\SystemTemp", profile + L"\\Temp", elsewhere.path(),
        elsewhere / L"missing"})
    EXPECT_TRUE(TempAccepted(accepted)) << testing::PrintToString(accepted);
}

// A link on the way to a protected tree is seen through: the folder is where the link leads.
TEST(IsSafeToClean, AFolderReachedThroughALinkIntoAProtectedTreeIsRefused) {
  test::ScratchTree tree;
  ASSERT_TRUE(test::MakeUnixLink(Windows(), tree / L"win"));
  ASSERT_TRUE(test::MakeUnixLink(Profile(), tree / L"me"));
  for (const wchar_t* refused : {L"win\\Installer", L"win\\Temp\\x", L"me\\Work", L"me\\.ssh"})
    EXPECT_FALSE(IsSafeToClean(tree / refused, CleanedFolder::kTemp)) << refused;
  EXPECT_TRUE(IsSafeToClean(tree / L"plain", CleanedFolder::kTemp));
}

TEST(CleanTempFiles, ATemporaryFolderInsideTheProfileOrWindowsIsLeftWhole) {
  test::ScratchTree in_profile(Profile() + L"\\", L"guard");
  FillLikeDocuments(in_profile);
  test::ScratchTree in_windows(Windows() + L"\\", L"guard");
  in_windows.File(L"Installer\\1a2b3c.msi", 0, "package");
  in_windows.File(L"Installer\\old.tmp", 0, "old");
  in_windows.Folder(L"Installer", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  const std::string profile_before = in_profile.Snapshot();
  const std::string windows_before = in_windows.Snapshot();
  for (const std::wstring& temp : {in_profile / L"Work", in_windows / L"Installer"}) {
    test::ScopedTempFolder scoped(temp);
    const FolderCleaning outcome = CleanTempFiles();
    ASSERT_EQ(outcome.problems.size(), 1u);
    EXPECT_EQ(outcome.problems[0].kind, FolderProblem::Kind::kFolderUnsafe);
  }
  EXPECT_EQ(in_profile.Snapshot(), profile_before);
  EXPECT_EQ(in_windows.Snapshot(), windows_before);
}

// Any program of the user may point these folders anywhere through "User Shell Folders".
TEST(RedirectedShellFolders, AFolderInsideTheProfileIsReportedAndLeftWhole) {
  test::ScratchTree documents(Profile() + L"\\", L"guard");
  FillLikeDocuments(documents);
  documents.File(L"Work\\Content.IE5\\ABCD\\page.htm", 0, "page");
  const std::string before = documents.Snapshot();
  const std::wstring work = test::WithoutSlash(documents / L"Work");
  struct Cleaner {
    const wchar_t* value;
    std::function<FolderCleaning()> clean;
  };
  const Cleaner cleaners[] = {
      {L"Cache", CleanInternetFiles},
      {L"History", [] { return CleanHistory(); }},
      {L"Recent", CleanRecent},
      {L"Cookies",
       [] {
         FolderCleaning outcome;
         (void)CleanCookies(&outcome);
         return outcome;
       }},
  };
  for (const Cleaner& cleaner : cleaners) {
    SCOPED_TRACE(platform::ToUtf8(cleaner.value));
    test::ShellFolderRedirect redirect(cleaner.value, work);
    const FolderCleaning outcome = cleaner.clean();
    ASSERT_EQ(outcome.problems.size(), 1u);
    EXPECT_EQ(outcome.problems[0].kind, FolderProblem::Kind::kFolderProtected);
    EXPECT_EQ(test::WithoutSlash(outcome.problems[0].folder), work);
  }
  EXPECT_EQ(documents.Snapshot(), before);
}

TEST(RedirectedShellFolders, EachFolderIsAcceptedAtItsOwnDefaultPlaceOnly) {
  const std::wstring windows_folder = Profile() + L"\\AppData\\Local\\Microsoft\\Windows\\";
  const std::wstring roaming = Profile() + L"\\AppData\\Roaming";
  EXPECT_TRUE(IsSafeToClean(windows_folder + L"INetCache", CleanedFolder::kInternetCache));
  EXPECT_TRUE(
      IsSafeToClean(windows_folder + L"Temporary Internet Files", CleanedFolder::kInternetCache));
  EXPECT_TRUE(IsSafeToClean(windows_folder + L"History", CleanedFolder::kHistory));
  EXPECT_TRUE(IsSafeToClean(windows_folder + L"INetCookies", CleanedFolder::kCookies));
  EXPECT_TRUE(IsSafeToClean(roaming + L"\\Microsoft\\Windows\\Cookies", CleanedFolder::kCookies));
  EXPECT_TRUE(IsSafeToClean(roaming + L"\\Microsoft\\Windows\\Recent", CleanedFolder::kRecent));
  EXPECT_TRUE(IsSafeToClean(roaming, CleanedFolder::kRoamingAppData));
  // Another folder's place, a folder below a place, a place's parent.
  EXPECT_FALSE(IsSafeToClean(windows_folder + L"History", CleanedFolder::kInternetCache));
  EXPECT_FALSE(IsSafeToClean(windows_folder + L"INetCache\\IE", CleanedFolder::kInternetCache));
  EXPECT_FALSE(IsSafeToClean(roaming, CleanedFolder::kLocalAppData));
  EXPECT_FALSE(IsSafeToClean(Profile() + L"\\AppData", CleanedFolder::kRoamingAppData));
  EXPECT_FALSE(IsSafeToClean(roaming + L"\\Microsoft\\Windows\\Recent", CleanedFolder::kTemp));
}

}  // namespace
