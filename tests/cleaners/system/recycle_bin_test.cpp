#include "cleaners/system/recycle_bin.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/system.h"
#include "platform/tally.h"
#include "support/scratch.h"

namespace {

// Runs `action` while another thread closes and counts every visible top-level window of this
// process, so that a dialog fails the test instead of blocking it.
template <typename Action>
int WindowsShownDuring(Action action) {
  std::atomic<bool> done{false};
  std::atomic<int> shown{0};
  std::thread watcher([&] {
    while (!done) {
      EnumWindows(
          [](HWND window, LPARAM count) CALLBACK -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window)) {
              ++*reinterpret_cast<std::atomic<int>*>(count);
              PostMessageW(window, WM_CLOSE, 0, 0);
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&shown));
      Sleep(20);
    }
  });
  action();
  done = true;
  watcher.join();
  return shown;
}

LONGLONG ItemsInRecycleBins() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  return SUCCEEDED(SHQueryRecycleBinW(nullptr, &info)) ? info.i64NumItems : -1;
}

// Puts the items, given as paths each followed by a null, into the recycle bin.
void MoveToRecycleBin(const std::wstring& paths) {
  const std::wstring from = paths + L'\0';
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  ASSERT_EQ(SHFileOperationW(&operation), 0);
}

// Wine keeps the bin under $XDG_DATA_HOME/Trash; the test harness points it into the build
// tree, so that the developer's own bin is never emptied. The object empties it by hand when it
// goes, for what the shell could not erase.
class TestRecycleBin {
 public:
  TestRecycleBin() : trash_(L"Z:" + platform::EnvironmentVariable(L"XDG_DATA_HOME") + L"/Trash") {
    for (wchar_t& c : trash_)
      c = c == L'/' ? L'\\' : c;
  }
  TestRecycleBin(const TestRecycleBin&) = delete;
  TestRecycleBin& operator=(const TestRecycleBin&) = delete;
  ~TestRecycleBin() {
    if (!platform::EnvironmentVariable(L"XDG_DATA_HOME").empty())
      test::RemoveTree(trash_);
  }

 private:
  std::wstring trash_;
};

// Wine's bin cannot erase a folder or a read-only file put in it: plain and hidden files only.
TEST(EmptyRecycleBin, EmptiesTheBinsWithoutShowingAnything) {
  ASSERT_FALSE(platform::EnvironmentVariable(L"XDG_DATA_HOME").empty());
  TestRecycleBin bin;
  ASSERT_EQ(ItemsInRecycleBins(), 0) << "the test bin holds items of an earlier run";
  EXPECT_EQ(WindowsShownDuring(EmptyRecycleBin), 0);

  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"keep.txt");
  test::ScratchTree tree;
  tree.File(L"one.txt");
  tree.File(L"two.txt", FILE_ATTRIBUTE_HIDDEN);
  MoveToRecycleBin(tree / L"one.txt" + L'\0' + tree / L"two.txt");
  ASSERT_EQ(ItemsInRecycleBins(), 2);

  platform::tally::Reset();
  EXPECT_EQ(WindowsShownDuring(EmptyRecycleBin), 0);
  EXPECT_EQ(ItemsInRecycleBins(), 0);
  EXPECT_EQ(platform::tally::Current().deleted, 2u);  // as the shell counts them
  EXPECT_EQ(platform::tally::Current().bytes, 2u);
  EXPECT_TRUE(sentinel.Exists(L"keep.txt"));
}

// An item the first call cannot erase (a folder, in Wine's bin) stays for the next two calls,
// which must not ask about it either: no window owns such a question.
TEST(EmptyRecycleBin, NeverAsksAboutAnItemThatStays) {
  ASSERT_FALSE(platform::EnvironmentVariable(L"XDG_DATA_HOME").empty());
  TestRecycleBin bin;
  ASSERT_EQ(ItemsInRecycleBins(), 0) << "the test bin holds items of an earlier run";
  test::ScratchTree tree;
  tree.File(L"folder\\inside.txt");
  MoveToRecycleBin(tree / L"folder");
  ASSERT_EQ(ItemsInRecycleBins(), 1);

  EXPECT_EQ(WindowsShownDuring(EmptyRecycleBin), 0);
  EXPECT_EQ(ItemsInRecycleBins(), 1);  // still there: the case above really happened
}

}  // namespace
