// The cleaning run: order, selection, the user name, the clipboard, failures and the reset.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/depart.h"
#include "platform/erasure.h"
#include "platform/events.h"
#include "platform/fs.h"
#include "platform/handles.h"
#include "platform/tally.h"
#include "platform/text.h"
#include "support/processes.h"
#include "support/scratch.h"

namespace {

using platform::ui::kChecked;
using platform::ui::kGrey;
using platform::ui::kUnchecked;

const std::wstring kDocumentsAndSettings = L"C:\\Documents and Settings";
const std::wstring kPrefetch = L"C:\\Windows\\Prefetch\\";
const std::wstring kStore =
    L"C:\\Users\\alice\\AppData\\Roaming\\Microsoft\\Internet Explorer\\UserData\\";

struct Message {
  std::wstring text, title;
  unsigned style;
};

// A window whose run records what it would do instead of doing it.
class CleaningRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Create().ok());
    CleaningSteps& s = window.steps;
    s.clean_cookies = RecordFolders(L"cookies");
    s.clear_typed_urls = Record(L"typed addresses");
    s.clean_history = RecordFolders(L"history");
    s.clean_internet_files = [this] {
      Note(L"internet files");
      return internet_files_result;
    };
    s.clean_browser_cookies = RecordBrowsers(L"browser cookies");
    s.clean_browser_history = RecordBrowsers(L"browser history");
    s.clean_browser_cache = RecordBrowsers(L"browser cache");
    s.clean_temp_files = [this] {
      Note(L"temp files");
      return temp_files_result;
    };
    s.clean_recent = RecordFolders(L"recent");
    s.empty_recycle_bin = Record(L"recycle bin");
    s.empty_clipboard = [this](platform::WindowHandle) {
      Note(L"clipboard");
      return clipboard_result;
    };
    s.purge_folder = [this](const std::wstring& folder) {
      Note(L"purge " + folder);
      return purge_result;
    };
    s.purge_folder_contents = [this](const std::wstring& folder) {
      Note(L"empty " + folder);
      return purge_contents_result;
    };
    s.folder_exists = [this](const std::wstring& folder) { return folders.contains(folder); };
    s.is_link = [this](const std::wstring& path) { return links.contains(path); };
    // The store below the roaming folder, when the shell knows that folder.
    s.purge_roaming_user_data = [this] {
      FolderCleaning outcome;
      if (app_data.empty())
        return outcome;
      Note(L"purge " + kStore);
      if (!purge_result && folders.contains(kStore))
        outcome.Add(FolderProblem::Kind::kFolderNotEmptied, kStore, platform::Status::Ok());
      return outcome;
    };
    s.prefetch_folder = [] { return kPrefetch; };
    s.with_user_rights = [this](StepRef step) {
      if (!user_rights_result)
        return user_rights_result;
      as_user = true;
      step();
      as_user = false;
      return platform::Status::Ok();
    };
    s.make_folder = [this](const std::wstring& folder) {
      Note(L"make " + folder);
      return make_folder_result;
    };
    s.set_always_unload_dll = [this] {
      Note(L"memory setting");
      return memory_result;
    };
    s.runs_elevated = [this] { return elevated; };
    s.check_can_list_folder = [this](const std::wstring&) { return listing_result; };
    window.show_message = [this](const std::wstring& text, const std::wstring& title,
                                 unsigned style) {
      Note(L"message " + title);
      messages.push_back({text, title, style});
    };
  }

  std::function<browsers::BrowserCleaning()> RecordBrowsers(std::wstring name) {
    return [this, name] {
      Note(name);
      return browsers_result;
    };
  }
  std::function<void()> Record(std::wstring name) {
    return [this, name] { Note(name); };
  }
  std::function<FolderCleaning()> RecordFolders(std::wstring name) {
    return [this, name] {
      Note(name);
      return FolderCleaning();
    };
  }
  void Note(const std::wstring& what) {
    log.push_back(what);
    (as_user ? done_as_user : done_as_process).push_back(what);
    button_enabled_during_run = button_enabled_during_run || window.Command1.Enabled();
  }
  void ExpectReset() {
    for (platform::ui::CheckBox* box :
         {&window.Check1, &window.Check2, &window.Check3, &window.Check4, &window.Check5,
          &window.Check6, &window.Check7, &window.Check8, &window.Check9, &window.Check10,
          &window.Check11, &window.Check13, &window.Check16, &window.Check17, &window.Check18,
          &window.Check19, &window.Check20, &window.Check21})
      EXPECT_EQ(box->Value(), kUnchecked) << platform::ToUtf8(box->Caption());
    EXPECT_TRUE(window.Command1.Enabled());
  }

  Depart window;
  std::vector<std::wstring> log;
  // The same, split by the rights each step ran with.
  std::vector<std::wstring> done_as_user, done_as_process;
  bool as_user = false;
  std::vector<Message> messages;
  bool button_enabled_during_run = false;
  platform::Status clipboard_result, make_folder_result, memory_result, listing_result,
      user_rights_result;
  FolderCleaning temp_files_result, internet_files_result;
  browsers::BrowserCleaning browsers_result;
  bool purge_result = true, purge_contents_result = true;
  bool elevated = false;
  // The layout of Windows XP, as the fake file system shows it, with a roaming folder of today.
  std::set<std::wstring> folders = {kDocumentsAndSettings, kPrefetch};
  std::set<std::wstring> links;
  std::wstring app_data = L"C:\\Users\\alice\\AppData\\Roaming";
};

TEST_F(CleaningRun, EverySelectedStepRunsInBoxNumberOrderThenTheMessageThenTheReset) {
  SetEnvironmentVariableW(L"USERNAME", L"alice");
  window.Check17.SetValue(kChecked);
  window.Check16.SetValue(kChecked);
  window.Check1.SetValue(kChecked);
  window.Check21.SetValue(kChecked);
  window.Command1_Click();

  const std::vector<std::wstring> expected = {
      L"cookies",         L"typed addresses",
      L"history",         L"internet files",
      L"browser cookies", L"browser history",
      L"browser cache",   L"temp files",
      L"recent",          L"recycle bin",
      L"clipboard",       L"purge C:\\Documents and Settings\\alice\\UserData\\",
      L"purge " + kStore, L"empty C:\\Windows\\Prefetch\\",
      L"memory setting",  L"message Info"};
  EXPECT_EQ(log, expected);
  EXPECT_FALSE(button_enabled_during_run);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"Operation terminé avec succés ");
  EXPECT_EQ(messages[0].title, L"Info");
  EXPECT_EQ(messages[0].style, 64u);
  ExpectReset();
}

// An elevated run cleans the user's own area with the user's own rights: only Prefetch and the
// memory setting keep the administrator's.
TEST_F(CleaningRun, EveryStepButPrefetchAndTheMemorySettingRunsWithTheUsersRights) {
  SetEnvironmentVariableW(L"USERNAME", L"alice");
  for (platform::ui::CheckBox* toggle : {&window.Check1, &window.Check16, &window.Check17})
    toggle->SetValue(kChecked);
  window.Command1_Click();
  EXPECT_EQ(done_as_user,
            (std::vector<std::wstring>{
                L"cookies", L"typed addresses", L"history", L"internet files", L"temp files",
                L"recent", L"recycle bin", L"clipboard",
                L"purge C:\\Documents and Settings\\alice\\UserData\\", L"purge " + kStore}));
  EXPECT_EQ(done_as_process,
            (std::vector<std::wstring>{L"empty " + kPrefetch, L"memory setting", L"message Info"}));

  // Rights that cannot be taken: the user's steps are not run, each says so; the others run.
  user_rights_result = platform::Status::FromWin32(ERROR_ACCESS_DENIED);
  log.clear();
  messages.clear();
  window.Check7.SetValue(kChecked);
  window.Check11.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_EQ(
      log, (std::vector<std::wstring>{L"empty " + kPrefetch, L"message Nimbrel", L"message Info"}));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].text.find(L"- « Documents récents » n'a pas été fait : les droits "
                                  L"limités de l'utilisateur n'ont pas pu être pris."),
            std::wstring::npos)
      << platform::ToUtf8(messages[0].text);
}

// Cache, History, Recent or Cookies pointed into a protected folder: one line says so.
TEST_F(CleaningRun, AProtectedFolderIsNamedInTheWarning) {
  window.steps.clean_history = [] {
    FolderCleaning outcome;
    outcome.Add(FolderProblem::Kind::kFolderProtected, L"C:\\Users\\alice\\Documents\\Work",
                platform::Status::Ok());
    return outcome;
  };
  window.Check4.SetValue(kChecked);
  window.Command1_Click();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].text.find(L"\n- Le dossier C:\\Users\\alice\\Documents\\Work n'a pas été "
                                  L"nettoyé : il est, contient ou se trouve dans un dossier "
                                  L"protégé"),
            std::wstring::npos)
      << platform::ToUtf8(messages[0].text);
}

TEST_F(CleaningRun, NothingSelectedStillShowsTheMessageAndResets) {
  window.Check17.SetValue(kChecked);  // toggles alone select nothing once members are cleared
  for (platform::ui::CheckBox* member :
       {&window.Check2, &window.Check3, &window.Check4, &window.Check5})
    member->SetValue(kUnchecked);
  window.Check6.SetValue(kGrey);  // grey is not selected
  window.Check9.SetValue(kGrey);
  window.Command1_Click();
  EXPECT_EQ(log, std::vector<std::wstring>{L"message Info"});
  ExpectReset();
}

TEST_F(CleaningRun, EachBoxIsReadWhenItsStepComes) {
  window.Check2.SetValue(kChecked);
  window.Check7.SetValue(kChecked);
  // While the cookie step runs (it lets events run), the user ticks "Fichiers Temp" and
  // unticks "Documents récents".
  window.steps.clean_cookies = [this] {
    Note(L"cookies");
    SendMessageW(window.Check6.handle(), BM_CLICK, 0, 0);
    SendMessageW(window.Check7.handle(), BM_CLICK, 0, 0);
    SendMessageW(window.Check20.handle(), BM_CLICK, 0, 0);
    return FolderCleaning();
  };
  window.Command1_Click();
  EXPECT_EQ(log, (std::vector<std::wstring>{L"cookies", L"browser cache", L"temp files",
                                            L"message Info"}));
}

TEST_F(CleaningRun, TheUserNameIsReadAtEveryRunAndAnEmptyOneGivesTwoBackslashes) {
  app_data.clear();
  SetEnvironmentVariableW(L"Username", L"bob");
  window.Check10.SetValue(kChecked);
  window.Command1_Click();
  SetEnvironmentVariableW(L"USERNAME", L"");
  window.Check10.SetValue(kChecked);
  window.Command1_Click();
  SetEnvironmentVariableW(L"USERNAME", nullptr);
  window.Check10.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_EQ(log, (std::vector<std::wstring>{
                     L"purge C:\\Documents and Settings\\bob\\UserData\\", L"message Info",
                     L"purge C:\\Documents and Settings\\\\UserData\\", L"message Info",
                     L"purge C:\\Documents and Settings\\\\UserData\\", L"message Info"}));
}

TEST_F(CleaningRun, FailedStepsAreListedInOneWarningAndTheRunGoesOn) {
  clipboard_result = platform::Status::FromWin32(ERROR_ACCESS_DENIED);
  purge_contents_result = false;
  memory_result = platform::Status::FromWin32(ERROR_ACCESS_DENIED);
  window.Check9.SetValue(kChecked);
  window.Check11.SetValue(kChecked);
  window.Check13.SetValue(kChecked);
  window.Command1_Click();

  EXPECT_EQ(log,
            (std::vector<std::wstring>{L"clipboard", L"empty C:\\Windows\\Prefetch\\",
                                       L"memory setting", L"message Nimbrel", L"message Info"}));
  ASSERT_EQ(messages.size(), 2u);
  const std::wstring& warning = messages[0].text;
  EXPECT_NE(warning.find(L"presse-papiers"), std::wstring::npos);
  EXPECT_NE(warning.find(L"C:\\Windows\\Prefetch\\"), std::wstring::npos);
  EXPECT_NE(warning.find(L"Mémoire tampon"), std::wstring::npos);
  EXPECT_EQ(messages[0].style, platform::kMessageOk | platform::kIconWarning);
  EXPECT_EQ(messages[1].text, L"Operation terminé avec succés ");
  ExpectReset();
}

// The status line names each step and follows what it removes; the run's summary is there
// before the message and stays after the reset.
TEST_F(CleaningRun, TheStatusLineFollowsEachStepAndKeepsTheRunsSummary) {
  EXPECT_EQ(window.Label3.Caption(), depart_text::kStatusHint);
  test::ScratchTree tree;
  tree.File(L"a", 0, std::string(1536, 'a'));
  tree.File(L"b", 0, "bb");
  tree.File(L"held", 0, "held");
  platform::UniqueHandle held(
      CreateFileW((tree / L"held").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  std::vector<std::wstring> shown;
  window.steps.clean_temp_files = [&] {
    for (const wchar_t* name : {L"a", L"b", L"held"})
      (void)platform::fs::RemoveMatchingFiles(tree / name);
    Sleep(120);  // long work: the line is brought up to date as the window is painted
    platform::KeepPainted();
    shown.push_back(window.Label3.Caption());
    return FolderCleaning();
  };
  window.steps.clean_recent = [&] {
    shown.push_back(window.Label3.Caption());
    return FolderCleaning();
  };
  window.show_message = [&](const std::wstring&, const std::wstring&, unsigned) {
    shown.push_back(window.Label3.Caption());
  };
  window.Check6.SetValue(kChecked);
  window.Check7.SetValue(kChecked);
  window.Command1_Click();

  const std::wstring summary =
      L"Terminé : 2 éléments supprimés, 1,5\u00A0Ko libéré.\r\nÉléments restants : 1 en cours "
      L"d'utilisation.";
  EXPECT_EQ(shown, (std::vector<std::wstring>{
                       L"Fichiers Temp : 2 éléments supprimés, 1,5\u00A0Ko libéré",
                       L"Documents récents : 0 élément supprimé, 0\u00A0octet libéré", summary}));
  EXPECT_EQ(window.Label3.Caption(), summary);
}

TEST_F(CleaningRun, AnalyserRunsTheSameStepsCountingAndShowsEachBoxInThePanel) {
  SetEnvironmentVariableW(L"USERNAME", L"alice");
  std::vector<bool> counting;
  window.steps.clean_temp_files = [&] {
    Note(L"temp files");
    counting.push_back(platform::erasure::Counting());
    platform::tally::NoteRemoved(1234, 59455488);
    platform::tally::NoteDeletion(platform::Status::FromWin32(ERROR_SHARING_VIOLATION));
    return FolderCleaning();
  };
  clipboard_result = platform::Status::FromWin32(ERROR_ACCESS_DENIED);
  memory_result = platform::Status::FromWin32(ERROR_ACCESS_DENIED);
  bool analyser_enabled_during_step = true;
  window.steps.clean_recent = [&] {
    Note(L"recent");
    analyser_enabled_during_step = window.Command2.Enabled();
    return FolderCleaning();
  };
  for (platform::ui::CheckBox* box :
       {&window.Check6, &window.Check7, &window.Check9, &window.Check13})
    box->SetValue(kChecked);
  window.Command2_Click();

  EXPECT_EQ(log,
            (std::vector<std::wstring>{L"temp files", L"recent", L"clipboard", L"memory setting"}));
  EXPECT_FALSE(button_enabled_during_run);
  EXPECT_FALSE(analyser_enabled_during_step);
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(platform::erasure::Counting());
  for (platform::ui::CheckBox* box :
       {&window.Check6, &window.Check7, &window.Check9, &window.Check13})
    EXPECT_EQ(box->Value(), kChecked) << platform::ToUtf8(box->Caption());
  EXPECT_TRUE(window.Command1.Enabled());
  EXPECT_TRUE(window.Command2.Enabled());
  EXPECT_EQ(window.Text1.Caption(),
            L"Fichiers Temp (Windows) : 1\u00A0234 éléments, 56,7\u00A0Mo ; laissés : 1 en cours "
            L"d'utilisation\r\n"
            L"Documents récents (Windows) : rien à supprimer\r\n"
            L"Presse-papiers (Système) : rien à supprimer ; laissés : Le presse-papiers n'a pas pu "
            L"être vidé\r\n"
            L"Mémoire tampon (Système) : accès refusé, démarrez le programme en administrateur "
            L"pour l'analyser\r\n"
            L"Total : 1\u00A0234 éléments, 56,7\u00A0Mo");
  EXPECT_EQ(window.Label3.Caption(), L"Aperçu : 1\u00A0234 éléments à supprimer, 56,7\u00A0Mo");

  // The run that follows is the same steps, erasing; its reset empties the panel.
  log.clear();
  window.Command1_Click();
  EXPECT_EQ(log,
            (std::vector<std::wstring>{L"temp files", L"recent", L"clipboard", L"memory setting",
                                       L"message Nimbrel", L"message Info"}));
  EXPECT_EQ(counting, (std::vector<bool>{true, false}));
  EXPECT_EQ(window.Text1.Caption(), L"");
  ExpectReset();
}

// A browser found open is named once in the warning however many of its steps ran; a database
// left whole names its profile.
TEST_F(CleaningRun, ABrowserLeftOpenIsNamedOnceAndADatabaseLeftByItsProfile) {
  using Kind = browsers::BrowserProblem::Kind;
  browsers_result.problems = {{Kind::kBrowserOpen, L"Firefox", {}, {}}};
  window.steps.clean_browser_history = [this] {
    Note(L"browser history");
    browsers::BrowserCleaning history = browsers_result;
    history.problems.push_back(
        {Kind::kDatabaseLeft, L"Edge", L"Profile 1", platform::Status::FromWin32(33)});
    return history;
  };
  window.Check21.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_EQ(log,
            (std::vector<std::wstring>{L"browser cookies", L"browser history", L"browser cache",
                                       L"message Nimbrel", L"message Info"}));
  ASSERT_EQ(messages.size(), 2u);
  const std::wstring& warning = messages[0].text;
  const std::wstring open =
      L"- Firefox est ouvert : fermez-le puis relancez le nettoyage. Rien n'y a été effacé.";
  EXPECT_NE(warning.find(open), std::wstring::npos) << platform::ToUtf8(warning);
  EXPECT_EQ(warning.find(open), warning.rfind(open));
  EXPECT_NE(warning.find(L"L'historique de Edge (profil Profile 1)"), std::wstring::npos);
  ExpectReset();
}

// Counts the lines of the warning that tell the user to start the program as administrator.
int AdministratorAdvices(const std::wstring& warning) {
  int count = 0;
  for (size_t at = warning.find(L"en tant qu'administrateur"); at != std::wstring::npos;
       at = warning.find(L"en tant qu'administrateur", at + 1))
    ++count;
  return count;
}

TEST_F(CleaningRun, AStepRefusedForWantOfAdministratorRightsSaysHowToGetThem) {
  const platform::Status denied = platform::Status::FromWin32(ERROR_ACCESS_DENIED);
  clipboard_result = denied;  // not a matter of rights: no advice
  memory_result = denied;
  purge_contents_result = false;
  listing_result = denied;  // the Prefetch folder was left full because it may not be read

  for (bool elevated_run : {false, true}) {
    elevated = elevated_run;
    messages.clear();
    for (platform::ui::CheckBox* box : {&window.Check9, &window.Check11, &window.Check13})
      box->SetValue(kChecked);
    window.Command1_Click();
    ASSERT_EQ(messages.size(), 2u);
    const std::wstring& warning = messages[0].text;
    EXPECT_EQ(AdministratorAdvices(warning), elevated ? 0 : 2) << platform::ToUtf8(warning);
    const size_t clipboard = warning.find(L"presse-papiers");
    ASSERT_NE(clipboard, std::wstring::npos);
    const std::wstring clipboard_line =
        warning.substr(clipboard, warning.find(L'\n', clipboard) - clipboard);
    EXPECT_EQ(AdministratorAdvices(clipboard_line), 0) << platform::ToUtf8(warning);
  }

  // Not elevated, but the folder was left full for another reason (a file in use).
  elevated = false;
  listing_result = platform::Status::Ok();
  memory_result = platform::Status::FromWin32(ERROR_FILE_NOT_FOUND);
  messages.clear();
  window.Check11.SetValue(kChecked);
  window.Check13.SetValue(kChecked);
  window.Command1_Click();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(AdministratorAdvices(messages[0].text), 0) << platform::ToUtf8(messages[0].text);
}

TEST_F(CleaningRun, WhatWasLeftIsSaidPlainly) {
  SetEnvironmentVariableW(L"USERNAME", L"alice");
  using Kind = FolderProblem::Kind;
  temp_files_result.Add(Kind::kFolderUnsafe, L"", platform::Status::Ok());
  internet_files_result.Add(Kind::kFolderUnreadable, L"C:\\cache\\",
                            platform::Status::FromWin32(ERROR_ACCESS_DENIED));
  internet_files_result.Add(Kind::kInventoryFailed, L"C:\\cache\\IE\\",
                            platform::Status::FromWin32(ERROR_DISK_FULL));
  purge_result = false;
  purge_contents_result = false;
  folders.insert({L"C:\\Documents and Settings\\alice\\UserData\\", kStore});
  for (platform::ui::CheckBox* box :
       {&window.Check5, &window.Check6, &window.Check10, &window.Check11})
    box->SetValue(kChecked);
  window.Command1_Click();

  ASSERT_EQ(messages.size(), 2u);
  const std::wstring& warning = messages[0].text;
  const std::wstring unreadable =
      L"\n- Le dossier C:\\cache\\ n'a pas pu être lu : rien n'y a été supprimé. (";
  EXPECT_NE(warning.find(unreadable + platform::Status::FromWin32(ERROR_ACCESS_DENIED).Describe()),
            std::wstring::npos)
      << platform::ToUtf8(warning);
  EXPECT_NE(warning.find(L"\n- Les sous-dossiers de C:\\cache\\IE\\ n'ont pas pu être "
                         L"inventoriés : ils n'ont pas été vidés. ("),
            std::wstring::npos);
  const std::wstring left =
      L" n'a pas pu être entièrement vidé : quelque chose y est resté (un fichier en cours "
      L"d'utilisation, par exemple, ou un lien, qui n'est jamais supprimé).";
  EXPECT_NE(warning.find(L"\n- Le dossier temporaire n'a pas pu être déterminé de façon sûre : "
                         L"rien n'y a été supprimé.\n"),
            std::wstring::npos);
  EXPECT_NE(
      warning.find(L"\n- Le dossier C:\\Documents and Settings\\alice\\UserData\\" + left + L"\n"),
      std::wstring::npos);
  EXPECT_NE(warning.find(L"\n- Le dossier " + kStore + left + L"\n"), std::wstring::npos);
  EXPECT_NE(warning.find(L"\n- Le dossier C:\\Windows\\Prefetch\\" + left), std::wstring::npos);
  EXPECT_EQ(warning.find(L"0x800700B7"), std::wstring::npos);

  // A UserData folder that was never there leaves nothing to say.
  messages.clear();
  folders = {kDocumentsAndSettings};
  window.Check10.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_EQ(messages.size(), 1u);
}

// Windows XP keeps the store in the profile; later ones keep it in the roaming application
// data, and make "C:\Documents and Settings" a junction to C:\Users, through which the XP path
// names a folder of the user's own.
TEST_F(CleaningRun, UserDataIsPurgedWhereTheBrowserKeepsIt) {
  auto purged = [this](const wchar_t* user) {
    SetEnvironmentVariableW(L"USERNAME", user);
    log.clear();
    messages.clear();
    window.Check10.SetValue(kChecked);
    window.Command1_Click();
    EXPECT_EQ(messages.size(), 1u) << platform::ToUtf8(messages[0].text);
    log.pop_back();  // the message
    return log;
  };
  const std::wstring xp = L"purge C:\\Documents and Settings\\alice\\UserData\\";
  links.insert(kDocumentsAndSettings);
  EXPECT_EQ(purged(L"alice"), std::vector<std::wstring>{L"purge " + kStore});
  EXPECT_EQ(purged(L".."), std::vector<std::wstring>{L"purge " + kStore});  // no XP path: no check
  links.clear();
  folders.erase(kDocumentsAndSettings);
  EXPECT_EQ(purged(L"alice"), std::vector<std::wstring>{L"purge " + kStore});
  folders.insert(kDocumentsAndSettings);
  app_data.clear();  // the shell cannot tell
  EXPECT_EQ(purged(L"alice"), std::vector<std::wstring>{xp});
}

TEST_F(CleaningRun, PrefetchIsEmptiedWhereItIsAndMadeOnlyWhenMissing) {
  auto run = [this] {
    window.Check11.SetValue(kChecked);
    window.Command1_Click();
  };
  run();
  folders.erase(kPrefetch);
  run();
  make_folder_result = platform::Status::FromWin32(ERROR_ACCESS_DENIED);
  run();
  EXPECT_EQ(log, (std::vector<std::wstring>{
                     L"empty " + kPrefetch, L"message Info", L"make " + kPrefetch, L"message Info",
                     L"make " + kPrefetch, L"message Nimbrel", L"message Info"}));
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_NE(messages[2].text.find(L"- Le dossier " + kPrefetch + L" n'a pas pu être créé"),
            std::wstring::npos)
      << platform::ToUtf8(messages[2].text);
}

TEST_F(CleaningRun, AUserNameThatLeadsElsewhereSkipsUserData) {
  for (const wchar_t* user : {L"..\\bob", L"alice/..", L"D:", L".", L".."}) {
    SetEnvironmentVariableW(L"USERNAME", user);
    window.Check10.SetValue(kChecked);
    messages.clear();
    window.Command1_Click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text,
              std::wstring(L"Certaines opérations n'ont pas pu être effectuées :\n"
                           L"\n- Le dossier UserData n'a pas été vidé : le nom "
                           L"d'utilisateur « ") +
                  user + L" » mènerait à un autre dossier.");
  }
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::wstring& step) {
                            return step.starts_with(L"purge C:\\Documents and Settings");
                          }),
            0);
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr))
    return L"<busy>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void PutTextOnClipboard(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

TEST_F(CleaningRun, ThePressePapiersStepReallyEmptiesTheClipboard) {
  window.steps = RealCleaningSteps();
  window.show_message = [this](const std::wstring& text, const std::wstring& title, unsigned) {
    messages.push_back({text, title, 0});
  };
  PutTextOnClipboard(window.form.handle(), L"secret");
  ASSERT_EQ(ClipboardText(), L"secret");
  window.Check9.SetValue(kChecked);
  window.Command1_Click();
  EXPECT_EQ(ClipboardText(), L"");
  EXPECT_EQ(CountClipboardFormats(), 0);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, L"Info");
}

TEST_F(CleaningRun, AClipboardHeldByAnotherProgramIsReportedAndTheRunCompletes) {
  window.steps = RealCleaningSteps();
  window.show_message = [this](const std::wstring& text, const std::wstring& title, unsigned) {
    messages.push_back({text, title, 0});
  };
  test::ChildProcess holder(L"hold_clipboard.exe");
  ASSERT_TRUE(holder.WaitForLine(L"holding"));
  window.Check9.SetValue(kChecked);
  window.Command1_Click();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].text.find(L"presse-papiers"), std::wstring::npos);
  EXPECT_EQ(messages[1].title, L"Info");
  ExpectReset();
}

}  // namespace

namespace {

TEST_F(CleaningRun, ClosingTheWindowDuringARunWaitsForTheRunToEnd) {
  window.Check2.SetValue(kChecked);
  window.steps.clean_cookies = [this] {
    SendMessageW(window.form.handle(), WM_CLOSE, 0, 0);  // the user closes the window
    Note(IsWindow(window.form.handle()) ? L"still open" : L"closed");
    return FolderCleaning();
  };
  window.Command1_Click();
  EXPECT_EQ(log, (std::vector<std::wstring>{L"still open", L"message Info"}));
  platform::DoEvents();
  EXPECT_FALSE(window.form.Visible());
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
