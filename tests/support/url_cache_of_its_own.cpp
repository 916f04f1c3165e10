#include "support/url_cache_of_its_own.h"

#include <gtest/gtest.h>

#include "support/processes.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace test {

void RunInUrlCacheOfItsOwn(const std::wstring& test_name) {
  ScratchTree tree(L"url-cache");
  ShellFolderRedirect cache(L"Cache", tree / L"Cache");
  ShellFolderRedirect cookies(L"Cookies", tree / L"Cookies");
  ShellFolderRedirect history(L"History", tree / L"History");
  for (const wchar_t* folder : {L"Cache", L"Cookies", L"History"})
    tree.Folder(folder);
  ChildProcess child(L"nimbrel_tests.exe --gtest_also_run_disabled_tests --gtest_filter=" +
                     test_name);
  ASSERT_TRUE(child.started());
  EXPECT_TRUE(child.WaitForLine(L"[  PASSED  ] 1 test.")) << child.lines_read();
  EXPECT_EQ(child.Wait(), 0);
}

}  // namespace test
