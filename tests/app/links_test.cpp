// The two link labels: the browser at its fixed path, and what happens when it is missing.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/depart.h"
#include "platform/fs.h"
#include "support/scratch.h"

namespace {

const std::wstring kBrowser = L"C:\\Program Files\\Internet Explorer\\iexplore.exe";
const std::wstring kSetAside = kBrowser + L".nimbrel-test";

// Sets the real browser of the test prefix aside for the test and puts it back afterwards.
class BrowserSetAside {
 public:
  BrowserSetAside() { MoveFileExW(kBrowser.c_str(), kSetAside.c_str(), MOVEFILE_REPLACE_EXISTING); }
  ~BrowserSetAside() {
    DeleteFileW(kBrowser.c_str());
    MoveFileExW(kSetAside.c_str(), kBrowser.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
};

class Links : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Create().ok());
    window.show_message = [this](const std::wstring& text, const std::wstring& title, unsigned) {
      messages.push_back(title + L"|" + text);
    };
  }
  Depart window;
  std::vector<std::wstring> messages;
};

TEST_F(Links, Label1StartsTheBrowserAtItsFixedPathWithTheAddress) {
  BrowserSetAside aside;
  const std::wstring stand_in = platform::fs::ProgramFolder() + L"\\record_command_line.exe";
  ASSERT_TRUE(CopyFileW(stand_in.c_str(), kBrowser.c_str(), FALSE));
  test::ScratchTree scratch;
  const std::wstring record = scratch / L"command-line.txt";
  SetEnvironmentVariableW(L"NIMBREL_RECORD", record.c_str());

  window.Label1_Click();
  for (int i = 0; i < 200 && !scratch.Exists(L"command-line.txt"); ++i)
    Sleep(50);
  Sleep(100);
  std::ifstream file(test::UnixPath(record));
  std::stringstream content;
  content << file.rdbuf();
  EXPECT_EQ(content.str(),
            "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" www.example.org");
  EXPECT_TRUE(messages.empty());
}

TEST_F(Links, AMissingBrowserIsReportedByPathAndTheWindowStaysUsable) {
  BrowserSetAside aside;
  window.Label1_Click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(kBrowser), std::wstring::npos);
  SendMessageW(window.Check2.handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(window.Check2.Value(), platform::ui::kChecked);
  EXPECT_TRUE(window.Command1.Enabled());
}

}  // namespace
