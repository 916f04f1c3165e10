#include "cleaners/folders/folder_guard.h"

#include <gtest/gtest.h>

#include <cwctype>

#include "support/drive_letter.h"
#include "support/scratch.h"

namespace {

// The drive roots are those of a drive of the test's own.
TEST(IsCleanableFolder, RefusesUnknownRelativeAndRootPaths) {
  test::ScratchDrive drive;
  ASSERT_FALSE(drive.root().empty());
  const std::wstring letter = drive.root().substr(0, 2);  // "Q:"
  const std::wstring lower = {static_cast<wchar_t>(towlower(letter[0])), L':'};
  for (const std::wstring& path :
       {std::wstring(), std::wstring(L"\\"), letter, letter + L"Recent", std::wstring(L"Recent"),
        std::wstring(L"\\Recent"), drive.root(), lower + L"/", letter + L"\\sub\\..",
        letter + L"\\.\\", std::wstring(L"\\\\server\\share"), std::wstring(L"\\\\server\\share\\"),
        L"\\\\?\\" + drive.root(), std::wstring(L"\\\\?\\UNC\\server\\share")})
    EXPECT_FALSE(IsCleanableFolder(path)) << testing::PrintToString(path);
}

TEST(IsCleanableFolder, AcceptsFoldersBelowARootMissingOnesIncluded) {
  test::ScratchTree tree;
  tree.Folder(L"History");
  EXPECT_TRUE(IsCleanableFolder(tree / L"History"));
  EXPECT_TRUE(IsCleanableFolder(tree / L"History\\"));
  EXPECT_TRUE(IsCleanableFolder(tree / L"missing"));
  EXPECT_TRUE(IsCleanableFolder(L"\\\\server\\share\\History"));
}

TEST(IsCleanableFolder, RefusesALinkHoweverItIsSpelled) {
  test::ScratchTree target;
  test::ScratchTree tree;
  ASSERT_TRUE(test::MakeUnixLink(target.path(), tree / L"link"));
  EXPECT_FALSE(IsCleanableFolder(tree / L"link"));
  EXPECT_FALSE(IsCleanableFolder(tree / L"link\\"));
  EXPECT_TRUE(IsCleanableFolder(target.path()));
}

}  // namespace
