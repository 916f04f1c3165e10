// "Analyser" with the real steps: it changes nothing on the machine, and the run that follows
// removes, box by box, exactly what it counted.

#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/depart.h"
#include "cleaners/folders/special_folder.h"
#include "platform/fs.h"
#include "platform/system.h"
#include "platform/text.h"
#include "support/analysis_figures.h"
#include "support/inventory_env.h"
#include "support/processes.h"
#include "support/registry_state.h"
#include "support/scratch.h"
#include "support/tree_snapshot.h"
#include "support/url_cache_entries.h"
#include "support/url_cache_of_its_own.h"

namespace {

using platform::ui::kChecked;

const wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kExplorer[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer";
const std::wstring kPrefetch = L"C:\\Windows\\Prefetch\\";

void PutTextOnTheClipboard(const wchar_t* text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  memcpy(GlobalLock(memory), text, bytes);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

// Everything the ticked boxes could change, in one text.
std::wstring MachineState(const std::wstring& temp, const std::wstring& store) {
  std::string state = test::SnapshotTree(temp) + "--\n" + test::SnapshotTree(kPrefetch) + "--\n" +
                      test::SnapshotTree(store) + "--\n" + test::ReadInventoryBytes() + "--\n";
  std::wstring wide = platform::FromUtf8(state);
  for (const std::wstring& name : test::RegistryValueNames(HKEY_CURRENT_USER, kTypedUrls))
    wide += name + L"\n";
  wide += test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll").has_value()
              ? L"memory setting written\n"
              : L"no memory setting\n";
  wide += IsClipboardFormatAvailable(CF_UNICODETEXT) ? L"clipboard text\n" : L"empty clipboard\n";
  return wide;
}

TEST(AnalysisRealSteps, AnalyserChangesNothingAndTheRunRemovesExactlyWhatItCounted) {
  Depart window;
  ASSERT_TRUE(window.Create().ok());
  std::vector<std::wstring> messages;
  window.show_message = [&](const std::wstring& text, const std::wstring&, unsigned) {
    messages.push_back(text);
  };

  test::ScratchTree temp(L"temp");
  temp.File(L"a.txt", 0, "hello");
  temp.File(L"read-only.txt", platform::fs::kReadOnly, "ro");
  temp.File(L"hidden.txt", platform::fs::kHidden, "h");
  temp.File(L"sub1\\x.txt", 0, "xx");
  temp.File(L"sub1\\deep\\y.txt", 0, "yyyy");
  temp.Folder(L"sub2");
  temp.File(L"a-held.tmp", 0, "held");
  test::ScopedTempFolder temp_folder(temp.path());
  test::ChildProcess holder(L"hold_file.exe \"" + (temp / L"a-held.tmp") + L"\"");
  ASSERT_TRUE(holder.WaitForLine(L"holding"));

  test::RemoveTree(kPrefetch);
  CreateDirectoryW(kPrefetch.c_str(), nullptr);
  for (const wchar_t* name : {L"APP.EXE-1234.pf", L"OTHER.EXE-99.pf"}) {
    HANDLE file = CreateFileW((kPrefetch + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              0, nullptr);
    DWORD written = 0;
    WriteFile(file, "prefetch", 8, &written, nullptr);
    CloseHandle(file);
  }
  const std::wstring store =
      GetSpecialFolder(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\UserData\\";
  test::RemoveTree(store);
  ASSERT_TRUE(platform::fs::MakeFolder(store.substr(0, store.size() - 10)).ok() ||
              GetFileAttributesW(store.substr(0, store.size() - 10).c_str()) !=
                  INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(platform::fs::MakeFolder(store).ok());
  ASSERT_TRUE(platform::fs::MakeFolder(store + L"Low").ok());

  ASSERT_TRUE(test::WriteTextValues(HKEY_CURRENT_USER, kTypedUrls, {L"url1", L"url2", L"other"},
                                    L"http://x/"));
  RegDeleteValueW(test::OpenRegistryKey(HKEY_LOCAL_MACHINE, kExplorer).get(), L"AlwaysUnloadDll");
  PutTextOnTheClipboard(L"secret");

  const std::vector<platform::ui::CheckBox*> boxes = {&window.Check3,  &window.Check6,
                                                      &window.Check9,  &window.Check10,
                                                      &window.Check11, &window.Check13};
  for (platform::ui::CheckBox* box : boxes)
    box->SetValue(kChecked);
  const std::wstring before = MachineState(temp.path(), store);
  window.Command2_Click();
  EXPECT_EQ(MachineState(temp.path(), store), before);
  EXPECT_TRUE(messages.empty());
  const std::vector<BoxPreview> analysed = window.box_figures();
  ASSERT_EQ(analysed.size(), 6u);
  // What the seed holds: two typed addresses; the temporary folder's three loose files, two
  // files and three folders below it, the held file and the hidden one left; the clipboard's
  // text; the store, "Low" in it; two prefetch files.
  EXPECT_EQ(analysed[0].counts.deleted, 2u);
  EXPECT_EQ(analysed[1].counts.deleted, 7u);
  EXPECT_EQ(analysed[1].counts.bytes, 13u);
  EXPECT_EQ(analysed[1].counts.in_use, 1u);
  EXPECT_EQ(analysed[1].counts.kept, 1u);
  EXPECT_EQ(analysed[2].counts.deleted, 1u);
  EXPECT_EQ(analysed[3].counts.deleted, 2u);
  EXPECT_EQ(analysed[4].counts.deleted, 2u);
  EXPECT_EQ(analysed[4].counts.bytes, 16u);
  for (platform::ui::CheckBox* box : boxes)
    EXPECT_EQ(box->Value(), kChecked);
  const std::wstring panel = window.Text1.Caption();
  EXPECT_EQ(panel.rfind(L"Url tapés (Internet Explorer) : 2 éléments, 0\u00A0octet\r\n", 0), 0u)
      << platform::ToUtf8(panel);

  window.Command1_Click();
  test::ExpectSameFigures(analysed, window.box_figures());
  EXPECT_EQ(test::RegistryValueNames(HKEY_CURRENT_USER, kTypedUrls),
            std::vector<std::wstring>{L"other"});
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_TRUE(temp.Exists(L"hidden.txt"));
  EXPECT_FALSE(temp.Exists(L"sub1"));
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kTypedUrls, L"other");
}

TEST(AnalysisRealSteps, RecentDocumentsAreCountedAsTheRunRemovesThem) {
  Depart window;
  ASSERT_TRUE(window.Create().ok());
  window.show_message = [](const std::wstring&, const std::wstring&, unsigned) {};

  const std::wstring recent = GetSpecialFolder(CSIDL_RECENT) + L"\\";
  for (const wchar_t* name : {L"thesis.docx.lnk", L"photos.lnk", L"a-held.lnk"}) {
    HANDLE file =
        CreateFileW((recent + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "shortcut", 8, &written, nullptr);
    CloseHandle(file);
  }
  std::optional<test::ChildProcess> holder;
  holder.emplace(L"hold_file.exe \"" + recent + L"a-held.lnk\"");
  ASSERT_TRUE(holder->WaitForLine(L"holding"));

  window.Check7.SetValue(kChecked);
  const std::string recent_before = test::SnapshotTree(recent);
  window.Command2_Click();
  EXPECT_EQ(test::SnapshotTree(recent), recent_before);
  const std::vector<BoxPreview> analysed = window.box_figures();
  ASSERT_EQ(analysed.size(), 1u);
  EXPECT_GE(analysed[0].counts.deleted, 2u);  // the two shortcuts, and whatever else lay there
  EXPECT_EQ(analysed[0].counts.in_use, 1u);

  window.Command1_Click();
  test::ExpectSameFigures(analysed, window.box_figures());
  EXPECT_EQ(GetFileAttributesW((recent + L"thesis.docx.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
  holder.reset();
  test::WaitUntil([&] { return DeleteFileW((recent + L"a-held.lnk").c_str()) != 0; });
}

LONGLONG ItemsInRecycleBins() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  return SUCCEEDED(SHQueryRecycleBinW(nullptr, &info)) ? info.i64NumItems : -1;
}

// The step empties the bins three times over, as a second call may take what the first left:
// the analysis counts what is there once.
TEST(AnalysisRealSteps, TheRecycleBinIsCountedOnceAsTheRunEmptiesIt) {
  ASSERT_FALSE(platform::EnvironmentVariable(L"XDG_DATA_HOME").empty());
  Depart window;
  ASSERT_TRUE(window.Create().ok());
  window.show_message = [](const std::wstring&, const std::wstring&, unsigned) {};
  test::ScratchTree binned(L"binned");
  binned.File(L"old-draft.txt", 0, "draft");
  binned.File(L"old-notes.txt", 0, "notes");
  const std::wstring from =
      binned / L"old-draft.txt" + L'\0' + binned / L"old-notes.txt" + L'\0' + L'\0';
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  ASSERT_EQ(SHFileOperationW(&operation), 0);
  const LONGLONG binned_items = ItemsInRecycleBins();
  ASSERT_GE(binned_items, 2);

  window.Check8.SetValue(kChecked);
  window.Command2_Click();
  EXPECT_EQ(ItemsInRecycleBins(), binned_items);
  const std::vector<BoxPreview> analysed = window.box_figures();
  ASSERT_EQ(analysed.size(), 1u);
  EXPECT_EQ(analysed[0].counts.deleted, static_cast<std::uint64_t>(binned_items));

  window.Command1_Click();
  test::ExpectSameFigures(analysed, window.box_figures());
  EXPECT_EQ(ItemsInRecycleBins(), 0);
}

TEST(AnalysisRealSteps, InternetExplorersBoxesAreCountedAsTheRunRemovesThem) {
  test::RunInUrlCacheOfItsOwn(L"AnalysisRealSteps.DISABLED_InternetExplorersBoxesInACacheOfItsOwn");
}

TEST(AnalysisRealSteps, DISABLED_InternetExplorersBoxesInACacheOfItsOwn) {
  constexpr std::uint32_t kContentType = 1, kCookieType = 0x00100001, kHistoryType = 0x00200001;
  Depart window;
  ASSERT_TRUE(window.Create().ok());
  window.show_message = [](const std::wstring&, const std::wstring&, unsigned) {};
  test::CacheEntryGuard visit(
      test::NewCacheEntry(test::UniqueCacheUrl(L"Visited: "), kHistoryType));
  test::CacheEntryGuard cookie(test::NewCacheEntry(test::UniqueCacheUrl(L"Cookie:"), kCookieType));
  test::CacheEntryGuard page(
      test::NewCacheEntry(test::UniqueCacheUrl(L"http://", L"page.html"), kContentType));
  ASSERT_TRUE(visit.committed() && cookie.committed() && page.committed());
  const std::wstring history = GetSpecialFolder(CSIDL_HISTORY) + L"\\";
  HANDLE loose = CreateFileW((history + L"loose.dat").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, 0, nullptr);
  CloseHandle(loose);
  auto state = [] {
    std::string text;
    for (int csidl : {CSIDL_INTERNET_CACHE, CSIDL_COOKIES, CSIDL_HISTORY})
      text += test::SnapshotTree(GetSpecialFolder(csidl) + L"\\") + "--\n";
    for (const auto& [url, type] : test::ListUrlCache())
      text += platform::ToUtf8(url) + " " + std::to_string(type) + "\n";
    return text;
  };

  window.Check2.SetValue(kChecked);
  window.Check4.SetValue(kChecked);
  window.Check5.SetValue(kChecked);
  const std::string before = state();
  window.Command2_Click();
  EXPECT_EQ(state(), before);
  const std::vector<BoxPreview> analysed = window.box_figures();
  ASSERT_EQ(analysed.size(), 3u);
  for (const BoxPreview& box : analysed)
    EXPECT_GT(box.counts.deleted, 0u) << platform::ToUtf8(box.box);

  window.Command1_Click();
  test::ExpectSameFigures(analysed, window.box_figures());
  EXPECT_FALSE(test::UrlCacheHolds(visit.url()));
  EXPECT_FALSE(test::UrlCacheHolds(cookie.url()));
}

}  // namespace
