// The run's tally, as the platform's deletion points keep it, and the pace of progress reports.

#include "platform/tally.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/deletion.h"
#include "platform/events.h"
#include "platform/fs.h"
#include "platform/handles.h"
#include "support/scratch.h"

namespace {

namespace fs = platform::fs;

platform::Status RemoveFolder(const std::wstring& path) {
  platform::deletion::Folder folder;
  NIMBREL_TRY(platform::deletion::Folder::Open(path, &folder));
  return folder.Remove();
}

TEST(Tally, CountsWhatWentWithItsSizeAndWhyTheRestStayed) {
  test::ScratchTree sentinel(L"sentinel");
  sentinel.File(L"keep.txt");
  test::ScratchTree tree;
  tree.File(L"a.txt", 0, std::string(1000, 'a'));
  tree.File(L"sub\\b.txt", 0, std::string(2000, 'b'));
  tree.File(L"sub\\c.txt", 0, std::string(30, 'c'));
  tree.File(L"sub\\d.txt", fs::kReadOnly, "dd");  // last by name: refused after b and c went
  tree.File(L"held.txt", 0, "held");
  platform::UniqueHandle held(CreateFileW((tree / L"held.txt").c_str(), GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.valid());

  platform::tally::Reset();
  EXPECT_TRUE(fs::RemoveMatchingFiles(tree / L"a.txt").ok());   // size from the listing
  EXPECT_FALSE(fs::RemoveMatchingFiles(tree / L"a.txt").ok());  // gone already: not counted
  EXPECT_FALSE(fs::RemoveMatchingFiles(tree / L"sub\\*.*").ok());
  EXPECT_FALSE(RemoveFolder(tree / L"sub").ok());  // not empty: d.txt counts already
  EXPECT_FALSE(fs::RemoveMatchingFiles(tree / L"held.txt").ok());  // in use
  tree.Folder(L"empty");
  EXPECT_TRUE(RemoveFolder(tree / L"empty").ok());

  const platform::tally::Counts counts = platform::tally::Current();
  EXPECT_EQ(counts.deleted, 4u);
  EXPECT_EQ(counts.bytes, 3030u);
  EXPECT_EQ(counts.refused, 1u);
  EXPECT_EQ(counts.in_use, 1u);
  EXPECT_EQ(counts.links + counts.other, 0u);
  EXPECT_TRUE(sentinel.Exists(L"keep.txt"));
}

TEST(ProgressReport, RunsAboutTenTimesASecondOfLongWorkAndStopsWithItsScope) {
  int reports = 0;
  {
    platform::ScopedProgressReport report([&] { ++reports; });
    for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < 1000;)
      platform::KeepPainted();
  }
  EXPECT_GE(reports, 4);
  EXPECT_LE(reports, 11);
  const int in_scope = reports;
  Sleep(150);
  platform::KeepPainted();
  EXPECT_EQ(reports, in_scope);
}

}  // namespace
