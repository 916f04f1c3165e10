// The "Navigateurs" group with its real steps: the browsers are found below the user's own
// application data folders, named in the window, and cleaned by the three boxes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/depart.h"
#include "platform/text.h"
#include "support/analysis_figures.h"
#include "support/browser_layout.h"
#include "support/scratch.h"
#include "support/shell_folders.h"

namespace {

TEST(RunRealBrowsers, TheThreeBoxesCleanTheBrowsersOfTheUsersOwnFolders) {
  test::ScratchTree tree(L"real-browsers");
  test::SeedChromiumProfile(tree, L"local\\Google\\Chrome\\User Data\\Default\\");
  test::SeedFirefoxProfile(tree, L"roaming\\Mozilla\\Firefox\\Profiles\\x.default\\",
                           L"local\\Mozilla\\Firefox\\Profiles\\x.default\\");
  const auto before = test::FilesBelow(tree.path());
  const auto folders_before = test::FoldersBelow(tree.path());
  test::ShellFolderRedirect local(L"Local AppData", tree / L"local");
  test::ShellFolderRedirect roaming(L"AppData", tree / L"roaming");

  Depart window;
  std::vector<std::wstring> messages;
  window.show_message = [&](const std::wstring& text, const std::wstring& title, unsigned) {
    messages.push_back(title + L"|" + text);
  };
  ASSERT_TRUE(window.Create().ok());
  EXPECT_EQ(window.Label4.Caption(), L"Chrome, Firefox");
  window.Check21.SetValue(platform::ui::kChecked);
  // "Analyser" first: nothing changes, and the run then removes exactly what it counted.
  window.Command2_Click();
  EXPECT_EQ(test::FilesBelow(tree.path()), before);
  EXPECT_EQ(test::FoldersBelow(tree.path()), folders_before);
  const std::vector<BoxPreview> analysed = window.box_figures();
  ASSERT_EQ(analysed.size(), 3u);
  EXPECT_TRUE(window.Text1.Caption().starts_with(L"Cookies (Navigateurs) : 16 éléments"))
      << platform::ToUtf8(window.Text1.Caption());
  window.Command1_Click();
  test::ExpectSameFigures(analysed, window.box_figures());

  const auto after = test::FilesBelow(tree.path());
  for (const auto& [path, state] : before) {
    const bool erased = test::ErasedBy("Cookies", path) || test::ErasedBy("Historique", path) ||
                        test::ErasedBy("Cache", path);
    EXPECT_EQ(after.contains(path), !erased) << platform::ToUtf8(path);
    if (!erased && after.contains(path)) {
      EXPECT_EQ(after.at(path), state) << platform::ToUtf8(path);
    }
  }
  EXPECT_EQ(messages, std::vector<std::wstring>{L"Info|Operation terminé avec succés "});
  // Chrome: 10 items of cookies and web sites, 9 history files, 5 cached files; Firefox: 6
  // items of cookies and web sites, 3 cached files. Every folder of the caches stays.
  EXPECT_TRUE(window.Label3.Caption().starts_with(L"Terminé : 33 éléments supprimés"))
      << platform::ToUtf8(window.Label3.Caption());
  EXPECT_TRUE(tree.Exists(L"local\\Mozilla\\Firefox\\Profiles\\x.default\\cache2\\entries"));
}

}  // namespace
