#include "platform/file_identity.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/special_folders.h"
#include "platform/system.h"
#include "support/inventory_env.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

TEST(FileIdentity, SameForEverySpellingAndLinkOfAFolder) {
  test::ScratchTree tree;
  tree.Folder(L"Dossier cible\\inner");
  tree.Folder(L"other");
  ASSERT_TRUE(test::MakeUnixLink(tree / L"Dossier cible", tree / L"link"));
  platform::Result<platform::FileIdentity> target = platform::IdentityOf(tree / L"Dossier cible");
  ASSERT_TRUE(target.ok());
  platform::Result<std::wstring> short_form = platform::ShortPath(tree / L"Dossier cible");
  ASSERT_TRUE(short_form.ok());
  for (const std::wstring& spelling :
       {tree / L"DOSSIER CIBLE\\", short_form.value, L"\\\\?\\" + tree / L"Dossier cible",
        tree / L"link", tree / L"link\\inner\\.."}) {
    platform::Result<platform::FileIdentity> same = platform::IdentityOf(spelling);
    EXPECT_TRUE(same.ok() && same.value == target.value) << spelling;
  }
  for (const std::wstring& different : {tree / L"other", tree / L"link\\inner", tree.path()}) {
    platform::Result<platform::FileIdentity> other = platform::IdentityOf(different);
    EXPECT_TRUE(other.ok() && !(other.value == target.value)) << different;
  }
  EXPECT_TRUE(platform::IdentityOf(tree / L"missing").status.IsWin32(ERROR_FILE_NOT_FOUND));

  platform::Result<std::wstring> resolved = platform::ResolvedPath(tree / L"link\\inner");
  ASSERT_TRUE(resolved.ok());
  EXPECT_TRUE(platform::SamePathText(resolved.value, tree / L"Dossier cible\\inner"))
      << resolved.value;
  EXPECT_FALSE(platform::ResolvedPath(tree / L"missing").ok());
}

TEST(KnownFolderPath, GivesTheFoldersThatExist) {
  const std::wstring profile = platform::SpecialFolderPath(CSIDL_PROFILE).value;
  platform::Result<std::wstring> saved_games =
      platform::KnownFolderPath(platform::KnownFolder::kSavedGames);
  EXPECT_EQ(saved_games.value, profile + L"\\Saved Games");
  EXPECT_EQ(platform::KnownFolderPath(platform::KnownFolder::kProgramData).value,
            platform::EnvironmentVariable(L"ProgramData"));

  test::ScratchTree tree;
  test::ShellFolderRedirect redirect(L"{374DE290-123F-4565-9164-39C4925E467B}", tree / L"missing");
  platform::Result<std::wstring> downloads =
      platform::KnownFolderPath(platform::KnownFolder::kDownloads);
  EXPECT_FALSE(downloads.ok());
  EXPECT_EQ(downloads.value, L"");
}

}  // namespace
