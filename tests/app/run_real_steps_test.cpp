// The run with its real steps against the real file system and registry: "UserData" purges the
// browser's store where each Windows generation keeps it, "Prefetch" empties its folder in place,
// "Url tapés" and "Mémoire tampon" reach the registry, "Historique" reaches the URL cache, and a
// refused write shows in the warning while the run completes.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/depart.h"
#include "cleaners/folders/special_folder.h"
#include "cleaners/system/url_cache_walk.h"
#include "platform/handles.h"
#include "platform/rights.h"
#include "platform/text.h"
#include "support/inventory_env.h"
#include "support/registry_state.h"
#include "support/scratch.h"
#include "support/url_cache_entries.h"
#include "support/url_cache_of_its_own.h"
#include "support/windows_layout.h"

namespace {

using platform::ui::kChecked;
using test::DocumentsAndSettings;
using test::ScopedDocumentsAndSettings;

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  for (size_t i = 3; i < path.size(); ++i)
    if (path[i] == L'\\')
      CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  CloseHandle(file);
  SetFileAttributesW(path.c_str(), attributes);
}

class RunRealSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Create().ok());
    window.show_message = [this](const std::wstring& text, const std::wstring& title, unsigned) {
      messages.push_back(title + L"|" + text);
    };
  }
  void TearDown() override {
    test::RemoveTree(kProfile);
    test::RemoveTree(kOwnProfile);
    test::RemoveTree(kStore);
    test::RemoveTree(kPrefetch);
    CreateDirectoryW(kPrefetch.c_str(), nullptr);
    DeleteFileW(kPrefetchSentinel.c_str());
  }
  const std::wstring kProfile = L"C:\\Documents and Settings\\nimbrel-user\\";
  // The same profile as Windows 7 to 11 lay it out, and their store of the browser's userData.
  const std::wstring kOwnProfile = L"C:\\users\\nimbrel-user\\";
  const std::wstring kStore =
      GetSpecialFolder(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\UserData\\";
  const std::wstring kPrefetch = L"C:\\Windows\\Prefetch\\";
  const std::wstring kPrefetchSentinel = L"C:\\Windows\\Prefetch-sentinel.txt";
  Depart window;
  std::vector<std::wstring> messages;
};

TEST_F(RunRealSteps, UserDataOfTheUserNamedByTheEnvironmentIsPurged) {
  ScopedDocumentsAndSettings xp(DocumentsAndSettings::kRealFolder);
  ASSERT_TRUE(xp.ok());
  MakeFile(kProfile + L"UserData\\a.xml");
  MakeFile(kProfile + L"UserData\\deep\\er\\b.dat",
           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  MakeFile(kProfile + L"Sentinel\\keep.txt");
  MakeFile(kProfile + L"UserDataKeep.txt");
  SetEnvironmentVariableW(L"USERNAME", L"nimbrel-user");
  window.Check10.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_FALSE(Exists(kProfile + L"UserData"));
  EXPECT_TRUE(Exists(kProfile + L"Sentinel\\keep.txt"));
  EXPECT_TRUE(Exists(kProfile + L"UserDataKeep.txt"));
}

TEST_F(RunRealSteps, UserDataOnTodaysWindowsIsTheStoreInApplicationDataNeverTheProfilesOwn) {
  ScopedDocumentsAndSettings junction(DocumentsAndSettings::kJunctionToUsers);
  ASSERT_TRUE(junction.ok());
  MakeFile(kOwnProfile + L"UserData\\mine.txt");
  MakeFile(kStore + L"index.dat");
  MakeFile(kStore + L"Low\\site\\a.xml", FILE_ATTRIBUTE_HIDDEN);
  const std::wstring beside = kStore.substr(0, kStore.size() - 1) + L"-sentinel.txt";
  MakeFile(beside);
  SetEnvironmentVariableW(L"USERNAME", L"nimbrel-user");
  window.Check10.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_TRUE(Exists(kOwnProfile + L"UserData\\mine.txt"));
  EXPECT_FALSE(Exists(kStore));
  EXPECT_TRUE(Exists(beside));
  DeleteFileW(beside.c_str());
  EXPECT_EQ(messages, std::vector<std::wstring>{L"Info|Operation terminé avec succés "});
  EXPECT_EQ(window.Label3.Caption(),  // two files, "site" and "Low", and the store itself
            L"Terminé : 5 éléments supprimés, 0\u00A0octet libéré.\r\nÉléments restants : aucun.");
}

// "Internet Explorer" in the roaming folder replaced by a link: the store is reached by handle
// from the roaming folder, so the link's target keeps its own "UserData".
TEST_F(RunRealSteps, UserDataIsNeverPurgedThroughALinkOnTheWay) {
  ScopedDocumentsAndSettings junction(DocumentsAndSettings::kJunctionToUsers);
  ASSERT_TRUE(junction.ok());
  const std::wstring explorer = GetSpecialFolder(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer";
  const std::wstring aside = explorer + L" (aside)";
  const bool moved = MoveFileW(explorer.c_str(), aside.c_str()) != FALSE;
  test::ScratchTree target;
  target.File(L"UserData\\victim.xml", 0, "victim");
  target.File(L"UserData\\Low\\deep.dat", FILE_ATTRIBUTE_HIDDEN, "deep");
  const std::string before = target.Snapshot();
  ASSERT_TRUE(test::MakeUnixLink(target.path(), explorer));
  window.Check10.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_TRUE(test::RemoveUnixLink(explorer));
  if (moved)
    MoveFileW(aside.c_str(), explorer.c_str());
  EXPECT_EQ(target.Snapshot(), before);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].find(L"- Le dossier " + kStore + L" n'a pas pu être entièrement vidé"),
            std::wstring::npos)
      << platform::ToUtf8(messages[0]);
}

// The folder's identity: Wine keeps no permissions, so the same folder stands for the same ones.
std::optional<BY_HANDLE_FILE_INFORMATION> FolderIdentity(const std::wstring& folder) {
  platform::UniqueHandle handle(
      CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  if (!handle || !GetFileInformationByHandle(handle.get(), &information))
    return std::nullopt;
  return information;
}

TEST_F(RunRealSteps, PrefetchIsEmptiedAndKeepsItsFolder) {
  MakeFile(kPrefetch + L"APP.EXE-1234.pf");
  MakeFile(kPrefetch + L"sub\\layout.ini", FILE_ATTRIBUTE_SYSTEM);
  MakeFile(kPrefetchSentinel);
  ASSERT_TRUE(SetFileAttributesW(kPrefetch.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  const std::optional<BY_HANDLE_FILE_INFORMATION> before = FolderIdentity(kPrefetch);
  ASSERT_TRUE(before);
  window.Check11.SetValue(kChecked);
  window.Command1_Click();
  const std::optional<BY_HANDLE_FILE_INFORMATION> after = FolderIdentity(kPrefetch);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->dwVolumeSerialNumber, before->dwVolumeSerialNumber);
  EXPECT_EQ(after->nFileIndexHigh, before->nFileIndexHigh);
  EXPECT_EQ(after->nFileIndexLow, before->nFileIndexLow);
  EXPECT_EQ(
      GetFileAttributesW(kPrefetch.c_str()),
      static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  SetFileAttributesW(kPrefetch.c_str(), FILE_ATTRIBUTE_NORMAL);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((kPrefetch + L"*").c_str(), &data);
  int entries = 0;
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      entries += name != L"." && name != L"..";
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  EXPECT_EQ(entries, 0);
  EXPECT_TRUE(Exists(kPrefetchSentinel));
  EXPECT_EQ(messages, std::vector<std::wstring>{L"Info|Operation terminé avec succés "});
  // Two files and "sub"; the folder stays.
  EXPECT_EQ(window.Label3.Caption(),
            L"Terminé : 3 éléments supprimés, 0\u00A0octet libéré.\r\nÉléments restants : aucun.");

  // A missing folder is made, and nothing counts as gone.
  test::RemoveTree(kPrefetch);
  messages.clear();
  window.Check11.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_EQ(GetFileAttributesW(kPrefetch.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(messages, std::vector<std::wstring>{L"Info|Operation terminé avec succés "});
  EXPECT_EQ(window.Label3.Caption(),
            L"Terminé : 0 élément supprimé, 0\u00A0octet libéré.\r\nÉléments restants : aucun.");
}

// The prefetch service holds the files of the programs running: they are counted as in use,
// and no warning comes back at every run.
TEST_F(RunRealSteps, APrefetchFileInUseIsCountedAsInUseWithoutAWarning) {
  MakeFile(kPrefetch + L"busy.pf");
  MakeFile(kPrefetch + L"gone.pf");
  HANDLE busy = CreateFileW((kPrefetch + L"busy.pf").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(busy, INVALID_HANDLE_VALUE);
  window.Check11.SetValue(kChecked);
  window.Command1_Click();
  CloseHandle(busy);
  EXPECT_FALSE(Exists(kPrefetch + L"gone.pf"));
  EXPECT_TRUE(Exists(kPrefetch + L"busy.pf"));
  EXPECT_EQ(messages, std::vector<std::wstring>{L"Info|Operation terminé avec succés "});
  EXPECT_EQ(window.Label3.Caption(),
            L"Terminé : 1 élément supprimé, 0\u00A0octet libéré.\r\nÉléments restants : 1 en "
            L"cours d'utilisation.");
}

TEST_F(RunRealSteps, AUserDataFileInUseIsReportedAndAMissingUserDataIsNot) {
  ScopedDocumentsAndSettings xp(DocumentsAndSettings::kRealFolder);
  ASSERT_TRUE(xp.ok());
  MakeFile(kProfile + L"UserData\\busy.dat");
  MakeFile(kProfile + L"UserData\\gone.dat");
  HANDLE busy = CreateFileW((kProfile + L"UserData\\busy.dat").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(busy, INVALID_HANDLE_VALUE);
  SetEnvironmentVariableW(L"USERNAME", L"nimbrel-user");
  window.Check10.SetValue(kChecked);
  window.Command1_Click();
  CloseHandle(busy);
  EXPECT_FALSE(Exists(kProfile + L"UserData\\gone.dat"));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].find(L"- Le dossier " + kProfile +
                             L"UserData\\ n'a pas pu être entièrement vidé : quelque chose y est "
                             L"resté"),
            std::wstring::npos)
      << platform::ToUtf8(messages[0]);

  messages.clear();
  SetEnvironmentVariableW(L"USERNAME", L"nimbrel-nobody");
  window.Check10.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_EQ(messages, std::vector<std::wstring>{L"Info|Operation terminé avec succés "});
}

const wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kExplorer[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer";

// Hidden and system files stay in a temporary folder by design: they are left all the same.
TEST_F(RunRealSteps, TheSummaryCountsWhatACleanedFolderKeepsOnPurpose) {
  test::ScratchTree temp_folder;
  temp_folder.File(L"plain.tmp");
  temp_folder.File(L"hidden.tmp", FILE_ATTRIBUTE_HIDDEN);
  temp_folder.File(L"system.tmp", FILE_ATTRIBUTE_SYSTEM);
  test::ScopedTempFolder temp(temp_folder.path());
  window.Check6.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_FALSE(temp_folder.Exists(L"plain.tmp"));
  EXPECT_TRUE(temp_folder.Exists(L"hidden.tmp") && temp_folder.Exists(L"system.tmp"));
  EXPECT_EQ(window.Label3.Caption(),
            L"Terminé : 1 élément supprimé, 1\u00A0octet libéré.\r\nÉléments restants : 2 cachés "
            L"ou système (laissés volontairement).");
}

TEST_F(RunRealSteps, TypedAddressesAndTheMemorySettingReachTheRegistry) {
  ASSERT_TRUE(test::WriteTextValues(HKEY_CURRENT_USER, kTypedUrls, {L"url1", L"url2", L"other"},
                                    L"http://x/"));
  RegDeleteValueW(test::OpenRegistryKey(HKEY_LOCAL_MACHINE, kExplorer).get(), L"AlwaysUnloadDll");

  window.Check3.SetValue(kChecked);
  window.Check13.SetValue(kChecked);
  window.Command1_Click();

  EXPECT_EQ(test::RegistryValueNames(HKEY_CURRENT_USER, kTypedUrls),
            std::vector<std::wstring>{L"other"});
  std::optional<test::RegistryValue> memory =
      test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll");
  ASSERT_TRUE(memory.has_value());
  EXPECT_EQ(memory->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(memory->text, L"dword:00000001");
  EXPECT_EQ(messages, std::vector<std::wstring>{L"Info|Operation terminé avec succés "});
  EXPECT_EQ(window.Label3.Caption(),  // url1 and url2; the end of the list is no item
            L"Terminé : 2 éléments supprimés, 0\u00A0octet libéré.\r\nÉléments restants : aucun.");
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kTypedUrls, L"other");
}

TEST_F(RunRealSteps, ARefusedMemorySettingShowsInTheWarningAndTheRunCompletes) {
  ScopedDocumentsAndSettings xp(DocumentsAndSettings::kRealFolder);
  ASSERT_TRUE(xp.ok());
  RegDeleteValueW(test::OpenRegistryKey(HKEY_LOCAL_MACHINE, kExplorer).get(), L"AlwaysUnloadDll");
  test::ScopedDenyKeyChanges deny(HKEY_LOCAL_MACHINE, kExplorer);
  ASSERT_TRUE(deny.ok());
  SetEnvironmentVariableW(L"USERNAME", L"nimbrel-user");
  MakeFile(kProfile + L"UserData\\a.xml");
  window.Check13.SetValue(kChecked);
  window.Check10.SetValue(kChecked);  // comes before: done whatever the later step does
  window.Command1_Click();
  EXPECT_FALSE(Exists(kProfile + L"UserData"));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].find(L"Mémoire tampon"), std::wstring::npos);
  // The real token decides whether the refusal comes with the advice to run as administrator.
  EXPECT_EQ(messages[0].find(L"en tant qu'administrateur") != std::wstring::npos,
            !platform::RunsElevated())
      << platform::ToUtf8(messages[0]);
  EXPECT_EQ(messages[1], L"Info|Operation terminé avec succés ");
  EXPECT_FALSE(test::ReadRegistryValue(HKEY_LOCAL_MACHINE, kExplorer, L"AlwaysUnloadDll"));
  EXPECT_TRUE(window.Command1.Enabled());
}

// In a URL cache of its own, whose history folder lies in a scratch tree.
TEST(RunRealHistoryStep, RemovesTheUrlHistoryAndTheLooseFilesOfTheHistoryFolder) {
  test::RunInUrlCacheOfItsOwn(L"RunRealSteps.DISABLED_HistoryInACacheOfItsOwn");
}

TEST_F(RunRealSteps, DISABLED_HistoryInACacheOfItsOwn) {
  test::CacheEntryGuard visit(
      test::NewCacheEntry(test::UniqueCacheUrl(L"Visited: "), kCollectedHistoryType));
  test::CacheEntryGuard cookie(
      test::NewCacheEntry(test::UniqueCacheUrl(L"Cookie:"), kCollectedCookieType));
  ASSERT_TRUE(visit.committed() && cookie.committed());
  const std::wstring loose = GetSpecialFolder(CSIDL_HISTORY) + L"\\loose.dat";
  MakeFile(loose);

  window.Check4.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_FALSE(test::UrlCacheHolds(visit.url()));
  EXPECT_FALSE(Exists(visit.local_file()));
  EXPECT_FALSE(Exists(loose));
  EXPECT_TRUE(test::UrlCacheHolds(cookie.url()));
  EXPECT_EQ(messages, std::vector<std::wstring>{L"Info|Operation terminé avec succés "});
  EXPECT_EQ(window.Label3.Caption(),
            L"Terminé : 2 éléments supprimés, 0\u00A0octet libéré.\r\nÉléments restants : aucun.");
}

}  // namespace
