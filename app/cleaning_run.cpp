// The cleaning run: the button "Executer !".

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/depart.h"
#include "cleaners/browsers/browser_cleaning.h"
#include "cleaners/folders/special_folder.h"
#include "platform/system.h"

namespace {

const wchar_t kPrefetchFolder[] = L"C:\\Windows\\Prefetch\\";
const wchar_t kDocumentsAndSettings[] = L"C:\\Documents and Settings";
constexpr std::uint32_t kAccessDenied = 5;  // ERROR_ACCESS_DENIED

// The browser's userData store up to Windows XP, in the profile.
std::wstring ProfileUserDataFolder(const std::wstring& user) {
  return std::wstring(kDocumentsAndSettings) + L"\\" + user + L"\\UserData\\";
}

// The store since Vista, in the roaming application data; empty when the shell cannot tell.
std::wstring ApplicationDataUserDataFolder(std::wstring application_data) {
  if (application_data.empty())
    return {};
  if (application_data.back() == L'\\')
    application_data.pop_back();
  return application_data + L"\\Microsoft\\Internet Explorer\\UserData\\";
}

// A user name that would send the UserData purge to another folder: one holding a separator or
// a drive colon, or naming the folder itself or its parent. An empty name gives two backslashes
// in a row, which the system reads as one: the folder "UserData" of the same parent, and the
// purge stays inside it.
bool LeadsElsewhere(const std::wstring& user) {
  return user.find_first_of(L"\\/:") != std::wstring::npos || user == L"." || user == L"..";
}

// The lines of the warning shown at the end of a run that could not do everything. Each says in
// French what happened; the system's error text follows only where it explains the line.
std::wstring Failure(const std::wstring& what) {
  return L"- " + what;
}

std::wstring Failure(const std::wstring& what, const platform::Status& why) {
  return Failure(what + L" (" + why.Describe() + L")");
}

std::wstring LeftSomethingIn(const std::wstring& folder) {
  return Failure(L"Le dossier " + folder +
                 L" n'a pas pu être entièrement vidé : quelque chose y est resté (un fichier en "
                 L"cours d'utilisation, par exemple, ou un lien, qui n'est jamais supprimé).");
}

// Prefetch and the memory setting are open to administrators only: a step refused to a program
// that runs without an administrator's rights says so, and how to clean that item. The token,
// not the error alone, tells: an elevated program refused access has another reason.
std::wstring WithRightsAdvice(std::wstring line, const platform::Status& cause,
                              const CleaningSteps& steps) {
  if (cause.IsWin32(kAccessDenied) && !steps.runs_elevated())
    line +=
        L" Accès refusé : il faut les droits d'administrateur. Pour nettoyer cet élément, "
        L"démarrez le programme avec « Exécuter en tant qu'administrateur ».";
  return line;
}

// A folder cleaner's problems, one line each.
void AddFolderProblems(const FolderCleaning& cleaning, std::vector<std::wstring>* failures) {
  using Kind = FolderProblem::Kind;
  for (const FolderProblem& problem : cleaning.problems) {
    switch (problem.kind) {
      case Kind::kFolderUnsafe:
        failures->push_back(
            Failure(L"Le dossier temporaire n'a pas pu être déterminé de façon sûre : "
                    L"rien n'y a été supprimé."));
        break;
      case Kind::kFolderUnreadable:
        failures->push_back(Failure(
            L"Le dossier " + problem.folder + L" n'a pas pu être lu : rien n'y a été supprimé.",
            problem.cause));
        break;
      case Kind::kInventoryFailed:
        failures->push_back(Failure(L"Les sous-dossiers de " + problem.folder +
                                        L" n'ont pas pu être inventoriés : ils n'ont pas été "
                                        L"vidés.",
                                    problem.cause));
        break;
    }
  }
}

// A browser step's problems, one line each; a line already listed (the same browser found open
// by an earlier step of the run) is not repeated.
void AddBrowserProblems(const browsers::BrowserCleaning& cleaning,
                        std::vector<std::wstring>* failures) {
  using Kind = browsers::BrowserProblem::Kind;
  for (const browsers::BrowserProblem& problem : cleaning.problems) {
    std::wstring line;
    switch (problem.kind) {
      case Kind::kBrowserOpen:
        line = Failure(problem.browser +
                       L" est ouvert : fermez-le puis relancez le nettoyage. Rien n'y a été "
                       L"effacé.");
        break;
      case Kind::kReachedByLink:
        line = Failure(L"Le dossier de " + problem.browser +
                       L" est un lien, qui n'est jamais suivi : rien n'y a été effacé.");
        break;
      case Kind::kDatabaseLeft:
        line = Failure(L"L'historique de " + problem.browser + L" (profil " + problem.profile +
                           L") n'a pas pu être effacé de ses bases de données (verrouillées, "
                           L"endommagées ou illisibles) : elles sont restées intactes.",
                       problem.cause);
        break;
      case Kind::kFolderUnknown:
        line = Failure(L"Le dossier " + problem.browser +
                           L" n'a pas pu être ouvert : les navigateurs qui s'y trouvent n'ont "
                           L"pas été nettoyés.",
                       problem.cause);
        break;
    }
    if (std::find(failures->begin(), failures->end(), line) == failures->end())
      failures->push_back(std::move(line));
  }
}

}  // namespace

// A box's step runs when the box is checked; the status line then names the step.
bool Depart::Selected(platform::ui::CheckBox& box) {
  if (box.Value() != platform::ui::kChecked)
    return false;
  run_status.Step(box.Caption());
  return true;
}

// Each box is read when its step comes, so a box changed while a cleaner lets events run is
// seen with its new state. A step that fails does not end the run: it is listed in one warning
// shown before the completion message, and the run goes on with the next step. The status line
// names each step as it starts and follows what it removes; the run's summary ends there.
void Depart::Command1_Click() {
  using platform::ui::kChecked;
  Command1.SetEnabled(false);
  form.SetBusy(true);
  run_status.Begin();
  const std::wstring user = platform::EnvironmentVariable(L"Username");
  std::vector<std::wstring> failures;

  if (Selected(Check2))
    steps.clean_cookies();
  if (Selected(Check3))
    steps.clear_typed_urls();
  if (Selected(Check4))
    steps.clean_history();
  if (Selected(Check5))
    AddFolderProblems(steps.clean_internet_files(), &failures);
  if (Selected(Check18))
    AddBrowserProblems(steps.clean_browser_cookies(), &failures);
  if (Selected(Check19))
    AddBrowserProblems(steps.clean_browser_history(), &failures);
  if (Selected(Check20))
    AddBrowserProblems(steps.clean_browser_cache(), &failures);
  if (Selected(Check6))
    AddFolderProblems(steps.clean_temp_files(), &failures);
  if (Selected(Check7))
    steps.clean_recent();
  if (Selected(Check8))
    steps.empty_recycle_bin();
  if (Selected(Check9)) {
    if (platform::Status emptied = steps.empty_clipboard(form.handle()); !emptied)
      failures.push_back(
          Failure(L"Le presse-papiers n'a pas pu être vidé : un autre programme l'utilise."));
  }
  if (Selected(Check10)) {
    // A store that is not there has nothing to purge, and nothing to say.
    auto purge = [&](const std::wstring& folder) {
      if (!steps.purge_folder(folder) && steps.folder_exists(folder))
        failures.push_back(LeftSomethingIn(folder));
    };
    // Since Vista "C:\Documents and Settings" is a junction to C:\Users: the XP path then names
    // a folder of the user's own profile, which the browser never uses.
    if (steps.folder_exists(kDocumentsAndSettings) && !steps.is_link(kDocumentsAndSettings)) {
      if (LeadsElsewhere(user))
        failures.push_back(
            Failure(L"Le dossier UserData n'a pas été vidé : le nom d'utilisateur « " + user +
                    L" » mènerait à un autre dossier."));
      else
        purge(ProfileUserDataFolder(user));
    }
    if (const std::wstring store =
            ApplicationDataUserDataFolder(steps.special_folder(CSIDL_APPDATA));
        !store.empty())
      purge(store);
  }
  if (Selected(Check11)) {
    // Only administrators may read the folder; one made again would take C:\Windows's
    // permissions, which let every user read the record of every program run. So it is emptied
    // where it is, and made only when it is missing.
    if (!steps.folder_exists(kPrefetchFolder)) {
      if (platform::Status made = steps.make_folder(kPrefetchFolder); !made)
        failures.push_back(WithRightsAdvice(
            Failure(std::wstring(L"Le dossier ") + kPrefetchFolder + L" n'a pas pu être créé.",
                    made),
            made, steps));
    } else if (!steps.purge_folder_contents(kPrefetchFolder)) {
      // A folder left full is most often one this program may not even read.
      failures.push_back(WithRightsAdvice(LeftSomethingIn(kPrefetchFolder),
                                          steps.check_can_list_folder(kPrefetchFolder), steps));
    }
  }
  if (Selected(Check13)) {
    if (platform::Status written = steps.set_always_unload_dll(); !written)
      failures.push_back(WithRightsAdvice(
          Failure(L"Le réglage « Mémoire tampon » n'a pas pu être écrit dans le registre.",
                  written),
          written, steps));
  }

  form.SetBusy(false);
  run_status.Finish();
  if (!failures.empty()) {
    std::wstring text = L"Certaines opérations n'ont pas pu être effectuées :\n";
    for (const std::wstring& failure : failures)
      text += L"\n" + failure;
    show_message(text, depart_text::kCaption, platform::kMessageOk | platform::kIconWarning);
  }
  show_message(depart_text::kDone, depart_text::kDoneTitle,
               platform::kMessageOk | platform::kIconInformation);
  Form_Initialize();
}
