#include "cleaners/folders/special_folder.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/fs.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

namespace fs = platform::fs;

TEST(GetSpecialFolder, GivesTheFourFoldersTheCleanersUse) {
  std::set<std::wstring> distinct;
  for (int id : {CSIDL_RECENT, CSIDL_INTERNET_CACHE, CSIDL_COOKIES, CSIDL_HISTORY}) {
    const std::wstring path = GetSpecialFolder(id);
    SCOPED_TRACE(id);
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path.substr(1, 2), L":\\");
    EXPECT_NE(path.back(), L'\\');
    EXPECT_TRUE(fs::FolderExists(path));
    distinct.insert(path);
  }
  EXPECT_EQ(distinct.size(), 4u);
  EXPECT_TRUE(GetSpecialFolder(CSIDL_RECENT).ends_with(L"\\Recent"));
  EXPECT_TRUE(GetSpecialFolder(CSIDL_HISTORY).ends_with(L"\\History"));
}

TEST(GetSpecialFolder, GivesARedirectedFolderAsTheShellSpellsIt) {
  test::ScratchTree tree;
  // Outside the ANSI code page: the name comes through whole.
  const std::wstring name = L"R\u00e9cents \u03a9";
  tree.Folder(name);
  test::ShellFolderRedirect redirect(L"Recent", tree.path() + name + L"\\");
  EXPECT_EQ(GetSpecialFolder(CSIDL_RECENT), tree.path() + name);
}

TEST(GetSpecialFolder, GivesA259CharacterPathWholeAndNothingOfItAfterwards) {
  test::ScratchTree tree;
  std::wstring deep = test::WithoutTrailingBackslash(tree.path());
  while (deep.size() + 11 < 259)
    deep += L"\\abcdefghij";
  deep += L"\\" + std::wstring(259 - deep.size() - 1, L'z');
  ASSERT_EQ(deep.size(), 259u);
  tree.Folder(deep.substr(tree.path().size()));
  ASSERT_TRUE(fs::FolderExists(deep));
  tree.Folder(L"short");

  test::ShellFolderRedirect history(L"History", deep);
  test::ShellFolderRedirect recent(L"Recent", tree.path() + L"short");
  EXPECT_EQ(GetSpecialFolder(CSIDL_HISTORY), deep);
  EXPECT_EQ(GetSpecialFolder(CSIDL_RECENT), tree.path() + L"short");
}

TEST(GetSpecialFolder, GivesEmptyTextWhenTheShellCannotTell) {
  constexpr int kMyComputer = 0x11;  // a virtual folder: it has an item list but no path
  EXPECT_EQ(GetSpecialFolder(kMyComputer), L"");
  EXPECT_EQ(GetSpecialFolder(0xFF), L"");  // no such folder
  test::ScratchTree tree;
  test::ShellFolderRedirect redirect(L"History", tree.path() + L"missing");
  EXPECT_EQ(GetSpecialFolder(CSIDL_HISTORY), L"");
}

}  // namespace
