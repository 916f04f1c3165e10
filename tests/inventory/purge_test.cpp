#include "inventory/purge.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/fs.h"
#include "platform/handles.h"
#include "platform/system.h"
#include "support/drive_letter.h"
#include "support/scratch.h"

namespace {

namespace fs = platform::fs;

// A tree outside every purged folder, which must come through whole.
class Sentinel {
 public:
  Sentinel() {
    tree_.File(L"keep.txt");
    tree_.File(L"deep\\er\\keep.txt", fs::kReadOnly | fs::kHidden);
  }
  const std::wstring& path() const { return tree_.path(); }
  bool Intact() const {
    return tree_.CountEntries() == 4 && tree_.Exists(L"keep.txt") &&
           tree_.Exists(L"deep\\er\\keep.txt");
  }

 private:
  test::ScratchTree tree_{L"sentinel"};
};

// Records every path the purge is about to reset or delete, in order.
class ChangeRecorder {
 public:
  ChangeRecorder() {
    fs::testing::SetBeforeChangeHook([this](const std::wstring& path) { paths.push_back(path); });
  }
  ~ChangeRecorder() { fs::testing::SetBeforeChangeHook(nullptr); }
  std::vector<std::wstring> paths;
};

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(PurgeFolder, RemovesEveryAttributeAtAnyDepthBottomUp) {
  Sentinel sentinel;
  test::ScratchTree tree;
  tree.File(L"plain.txt");
  tree.File(L"readonly.txt", fs::kReadOnly);
  tree.File(L"hidden.txt", fs::kHidden);
  tree.File(L"system.txt", fs::kSystem);
  tree.File(L"everything.txt", fs::kReadOnly | fs::kHidden | fs::kSystem | fs::kArchive);
  tree.Folder(L"hidden dir", fs::kHidden);
  tree.File(L"hidden dir\\inside.txt", fs::kHidden);
  tree.Folder(L"system dir", fs::kSystem);
  tree.File(L"system dir\\inside.txt");
  tree.Folder(L"readonly dir", fs::kReadOnly);
  tree.Folder(L"empty dir");
  std::wstring level;
  for (int depth = 1; depth <= 5; ++depth) {
    level += L"level" + std::to_wstring(depth) + L"\\";
    tree.File(level + L"file.txt", depth % 2 ? fs::kReadOnly : fs::kHidden);
  }
  ASSERT_TRUE(SetFileAttributesW(tree.path().c_str(), FILE_ATTRIBUTE_READONLY |
                                                          FILE_ATTRIBUTE_HIDDEN |
                                                          FILE_ATTRIBUTE_DIRECTORY));

  ChangeRecorder changes;
  EXPECT_TRUE(PurgeFolder(tree.path()));

  EXPECT_FALSE(fs::FolderExists(tree.path()));
  EXPECT_TRUE(sentinel.Intact());
  for (const std::wstring& path : changes.paths) {
    EXPECT_TRUE(StartsWith(path, tree.path())) << "touched outside: " << path.c_str();
    EXPECT_EQ(path.find(L"\\.\\"), std::wstring::npos);
    EXPECT_EQ(path.find(L"\\..\\"), std::wstring::npos);
  }
  // Each folder's changes form one unbroken run that ends with the folder itself: its contents
  // go first, then the folder, before anything else is touched.
  for (const std::wstring& folder : changes.paths) {
    if (folder.back() != L'\\')
      continue;
    std::vector<size_t> inside;
    for (size_t i = 0; i < changes.paths.size(); ++i)
      if (StartsWith(changes.paths[i], folder))
        inside.push_back(i);
    EXPECT_EQ(inside.back() - inside.front() + 1, inside.size()) << folder.c_str();
    EXPECT_EQ(changes.paths[inside.back()], folder);
  }
  EXPECT_EQ(changes.paths.back(), tree.path());
}

TEST(PurgeFolder, FileInUseKeepsItsFoldersAndFailsTheWholePurge) {
  Sentinel sentinel;
  test::ScratchTree tree;
  tree.File(L"top.txt");
  tree.File(L"a\\one.txt");
  tree.File(L"a\\b\\two.txt", fs::kHidden);
  tree.File(L"a\\b\\c\\three.txt");
  tree.File(L"a\\b\\c\\locked.txt");
  tree.File(L"a\\b\\c\\four.txt", fs::kReadOnly);
  tree.File(L"other\\five.txt");
  tree.Folder(L"a\\b\\sibling");
  platform::UniqueHandle locked(CreateFileW((tree / L"a\\b\\c\\locked.txt").c_str(), GENERIC_READ,
                                            0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(locked.valid());

  EXPECT_FALSE(PurgeFolder(tree.path()));

  EXPECT_TRUE(tree.Exists(L"a\\b\\c\\locked.txt"));
  // Only the locked file and the folders holding it remain.
  EXPECT_EQ(tree.CountEntries(), 4);
  EXPECT_TRUE(fs::FolderExists(tree.path()));
  EXPECT_TRUE(sentinel.Intact());
}

TEST(PurgeFolder, EntriesThatVanishAfterTheListingDoNotStopTheRest) {
  Sentinel sentinel;
  test::ScratchTree tree;
  for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"d.txt", L"e.txt"})
    tree.File(name);
  tree.File(L"gone.txt");
  tree.File(L"gone dir\\inside.txt");
  tree.File(L"kept dir\\inside.txt");

  // At the purge's first change, everything has been listed: remove two entries behind its back.
  int vanished = 0;
  fs::testing::SetBeforeChangeHook([&](const std::wstring& path) {
    for (const std::wstring& victim : {tree / L"gone.txt", tree / L"gone dir"}) {
      if (StartsWith(path, victim) || !tree.Exists(victim.substr(tree.path().size())))
        continue;
      test::RemoveTree(victim);
      DeleteFileW(victim.c_str());
      ++vanished;
    }
  });
  const bool purged = PurgeFolder(tree.path());
  fs::testing::SetBeforeChangeHook(nullptr);

  EXPECT_GE(vanished, 1);
  EXPECT_TRUE(purged);
  EXPECT_FALSE(fs::FolderExists(tree.path()));
  EXPECT_TRUE(sentinel.Intact());
}

TEST(PurgeFolder, EmptyMissingAndMalformedFolders) {
  Sentinel sentinel;
  test::ScratchTree tree;
  tree.Folder(L"empty");
  tree.File(L"full\\file.txt");

  EXPECT_TRUE(PurgeFolder(tree / L"empty\\"));
  EXPECT_FALSE(tree.Exists(L"empty"));

  EXPECT_FALSE(PurgeFolder(tree / L"missing\\"));
  // Without the trailing "\" a name would be glued to the folder's own name: refused.
  EXPECT_FALSE(PurgeFolder(tree / L"full"));
  EXPECT_FALSE(PurgeFolder(L""));
  EXPECT_TRUE(tree.Exists(L"full\\file.txt"));
  EXPECT_EQ(tree.CountEntries(), 2);
  EXPECT_TRUE(sentinel.Intact());
}

TEST(PurgeFolder, DriveRootIsEmptiedButKeptAndNeverTheCurrentDrive) {
  Sentinel sentinel;
  test::ScratchTree drive(L"drive");
  test::ScopedDriveLetter letter(drive.path());
  ASSERT_TRUE(letter.ok());
  drive.File(L"file.txt", fs::kReadOnly);
  drive.File(L"dir\\sub\\file.txt", fs::kHidden);
  const std::wstring before = fs::CurrentFolder();

  // The root of the current drive is refused whatever the spelling.
  ASSERT_TRUE(fs::ChangeCurrentFolder(letter.root() + L"dir").ok());
  EXPECT_FALSE(PurgeFolder(letter.root()));
  EXPECT_FALSE(PurgeFolder(L"\\"));
  EXPECT_FALSE(PurgeFolder(letter.root() + L"dir\\..\\"));
  EXPECT_EQ(drive.CountEntries(), 4);
  ASSERT_TRUE(fs::ChangeCurrentFolder(before).ok());

  EXPECT_TRUE(PurgeFolder(letter.root()));
  EXPECT_EQ(drive.CountEntries(), 0);
  EXPECT_TRUE(fs::FolderExists(drive.path()));
  EXPECT_TRUE(sentinel.Intact());
}

TEST(PurgeFolder, LinksAreNeitherEnteredNorRemoved) {
  Sentinel sentinel;
  test::ScratchTree empty_target(L"empty-target");
  test::ScratchTree tree;
  tree.File(L"top.txt");
  tree.File(L"a\\one.txt");
  tree.Folder(L"a\\b");
  tree.File(L"c\\two.txt");
  ASSERT_TRUE(test::MakeUnixLink(sentinel.path(), tree / L"a\\b\\link"));
  // Wine removes the target of a link to an empty folder when asked to remove the link.
  ASSERT_TRUE(test::MakeUnixLink(empty_target.path(), tree / L"c\\empty link"));

  EXPECT_FALSE(PurgeFolder(tree.path()));
  EXPECT_TRUE(sentinel.Intact());
  EXPECT_TRUE(fs::FolderExists(empty_target.path()));
  EXPECT_TRUE(tree.Attributes(L"a\\b\\link") & fs::kReparsePoint);
  EXPECT_TRUE(tree.Attributes(L"c\\empty link") & fs::kReparsePoint);
  EXPECT_FALSE(tree.Exists(L"top.txt"));
  EXPECT_FALSE(tree.Exists(L"a\\one.txt"));
  EXPECT_FALSE(tree.Exists(L"c\\two.txt"));
  // Left: a, a\b, the link in it, c and the link in it.
  EXPECT_EQ(tree.CountEntries(), 5);

  // A link given as the folder itself is refused before anything is listed.
  EXPECT_FALSE(PurgeFolder(tree / L"a\\b\\link\\"));
  EXPECT_FALSE(PurgeFolder(tree / L"c\\empty link\\"));
  EXPECT_TRUE(sentinel.Intact());
  EXPECT_TRUE(fs::FolderExists(empty_target.path()));
}

// A window of this thread that counts the messages it is given.
class CountingWindow {
 public:
  CountingWindow() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = Procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"NimbrelPurgeTestWindow";
    RegisterClassW(&window_class);
    window_ = CreateWindowExW(0, window_class.lpszClassName, L"purge test", WS_OVERLAPPEDWINDOW, 0,
                              0, 200, 100, nullptr, nullptr, window_class.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~CountingWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }
  int paints = 0;
  int user_messages = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<CountingWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_PAINT) {
      ++self->paints;
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    if (self && message == WM_APP)
      ++self->user_messages;
    return DefWindowProcW(window, message, w, l);
  }
  HWND window_ = nullptr;
};

TEST(PurgeFolder, LetsPaintThroughButNoOtherMessage) {
  Sentinel sentinel;
  test::ScratchTree tree;
  for (int i = 0; i < 50; ++i)
    tree.File(L"dir" + std::to_wstring(i % 5) + L"\\file" + std::to_wstring(i) + L".txt");
  CountingWindow window;
  ASSERT_NE(window.get(), nullptr);
  ShowWindow(window.get(), SW_SHOWNOACTIVATE);
  // Drain what showing the window queued, then ask for a repaint and post an event of the
  // kind a click would bring.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageW(&message);
  window.paints = 0;
  InvalidateRect(window.get(), nullptr, TRUE);
  ASSERT_TRUE(PostMessageW(window.get(), WM_APP, 0, 0));

  EXPECT_TRUE(PurgeFolder(tree.path()));

  EXPECT_GE(window.paints, 1);
  EXPECT_EQ(window.user_messages, 0);
  EXPECT_TRUE(PeekMessageW(&message, window.get(), WM_APP, WM_APP, PM_NOREMOVE));
  EXPECT_TRUE(sentinel.Intact());
}

// The two folders the cleaning run purges, at their fixed places in the test prefix.
TEST(PurgeFolder, UserDataAndPrefetchFolders) {
  const std::wstring user = platform::EnvironmentVariable(L"USERNAME");
  ASSERT_FALSE(user.empty());
  const std::wstring settings = L"C:\\Documents and Settings\\";
  const std::wstring profile = settings + user + L"\\";
  const std::wstring user_data = profile + L"UserData\\";
  const std::wstring prefetch = L"C:\\Windows\\Prefetch\\";
  // What the test prefix had before, to be put back at the end.
  const bool settings_existed = fs::FolderExists(settings);
  const bool profile_existed = fs::FolderExists(profile);
  const bool user_data_existed = fs::FolderExists(user_data);
  const bool prefetch_existed = fs::FolderExists(prefetch);

  auto make_file = [](const std::wstring& path, DWORD attributes) {
    for (size_t i = 3; i < path.size(); ++i)
      if (path[i] == L'\\')
        CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    platform::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
    return file.valid();
  };
  ASSERT_TRUE(make_file(user_data + L"index.dat", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(make_file(user_data + L"Low\\store.xml", FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(make_file(profile + L"Sentinel\\keep.txt", 0));
  ASSERT_TRUE(make_file(prefetch + L"VELKOR.EXE-1234ABCD.pf", FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(make_file(prefetch + L"Layout.ini", FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(make_file(L"C:\\Windows\\nimbrel-sentinel.txt", 0));

  EXPECT_TRUE(PurgeFolder(user_data));
  EXPECT_TRUE(PurgeFolder(prefetch));

  EXPECT_FALSE(fs::FolderExists(user_data));
  EXPECT_FALSE(fs::FolderExists(prefetch));
  EXPECT_NE(GetFileAttributesW((profile + L"Sentinel\\keep.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW(L"C:\\Windows\\nimbrel-sentinel.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(fs::FolderExists(L"C:\\Windows\\system32"));

  DeleteFileW(L"C:\\Windows\\nimbrel-sentinel.txt");
  test::RemoveTree(profile + L"Sentinel\\");
  if (user_data_existed)
    CreateDirectoryW(user_data.c_str(), nullptr);
  if (prefetch_existed)
    CreateDirectoryW(prefetch.c_str(), nullptr);
  if (!profile_existed)
    test::RemoveTree(profile);
  if (!settings_existed)
    test::RemoveTree(settings);
}

}  // namespace
