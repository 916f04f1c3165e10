#include "cleaners/folders/inventory_cleanup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "inventory/inventory_file.h"
#include "platform/text_files.h"
#include "support/inventory_env.h"

namespace {

TEST(IsPlainFolderName, AcceptsOnlyOneComponentThatStaysBelowItsFolder) {
  for (const wchar_t* name : {L"a", L"Content.IE5", L"  leading spaces", L"\u00e9t\u00e9", L"a.b",
                              L"CONSOLE", L"COM10", L"LPT", L"xcon", L"nul1"})
    EXPECT_TRUE(IsPlainFolderName(name)) << name;
  for (const wchar_t* name :
       {L"",         L".",         L"..",    L". .",         L"x.",  L"x ",
        L"a\\b",     L"..\\..",    L"a/b",   L"C:\\Windows", L"C:x", L"\\\\server\\share",
        L"*",        L"a?",        L"<",     L"a\"b",        L"a|b", L"tab\there",
        L"CON",      L"con.txt",   L"Nul",   L"aux .tar.gz", L"PRN", L"COM1",
        L"lpt9.log", L"LPT\u00b9", L"CONIN$"})
    EXPECT_FALSE(IsPlainFolderName(name)) << name;
}

TEST(ForEachInventoryName, SkipsTheFirstBlankAndUnsafeLinesAndClosesTheFile) {
  test::WriteInventoryBytes(
      "C:\\scanned\\\r\nfirst\r\n\r\n   \r\n..\r\nC:\\Windows\r\n*.*\r\n  spaced\r\nlast");
  std::vector<std::wstring> names;
  ForEachInventoryName([&](const std::wstring& name) { names.push_back(name); });
  EXPECT_EQ(names, (std::vector<std::wstring>{L"first", L"  spaced", L"last"}));
  EXPECT_FALSE(platform::files::IsOpen(3));
}

TEST(ForEachInventoryName, MissingFileGivesNoName) {
  DeleteFileW(InventoryFilePath().c_str());
  int calls = 0;
  ForEachInventoryName([&](const std::wstring&) { ++calls; });
  EXPECT_EQ(calls, 0);
}

}  // namespace
