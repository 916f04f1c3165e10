// The application data roots the browser cleaners start from pass the cleaners' guard and are
// reached without a link on the way.

#include "cleaners/folders/known_root.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "platform/special_folders.h"
#include "support/inventory_env.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

TEST(OpenUserRoot, OpensEachRootAtItsOwnPlaceAndRefusesOneRedirectedIntoTheProfile) {
  platform::deletion::Folder root;
  ASSERT_TRUE(OpenUserRoot(UserRoot::kLocalAppData, &root));
  ASSERT_TRUE(OpenUserRoot(UserRoot::kRoamingAppData, &root));

  test::ScratchTree documents(platform::SpecialFolderPath(CSIDL_PROFILE).value + L"\\", L"root");
  documents.Folder(L"Work");
  test::ScratchTree elsewhere;
  elsewhere.Folder(L"real");
  ASSERT_TRUE(test::MakeUnixLink(elsewhere.path(), elsewhere / L"link"));
  for (const auto& [value, which] : {std::pair{L"AppData", UserRoot::kRoamingAppData},
                                     std::pair{L"Local AppData", UserRoot::kLocalAppData}}) {
    {
      test::ShellFolderRedirect redirect(value, test::WithoutSlash(documents / L"Work"));
      EXPECT_TRUE(IsRootRefused(OpenUserRoot(which, &root)));
    }
    {
      test::ShellFolderRedirect redirect(value, elsewhere / L"link\\real");
      EXPECT_TRUE(platform::deletion::IsLinkRefused(OpenUserRoot(which, &root)));
    }
    test::ShellFolderRedirect redirect(value, test::WithoutSlash(elsewhere / L"real"));
    EXPECT_TRUE(OpenUserRoot(which, &root));  // elsewhere, as today
  }
}

}  // namespace
