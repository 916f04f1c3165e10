// The cleaning run, the button "Executer !", and the analysis, the button "Analyser", which is the
// same run while the erasing calls only count what they would erase.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/depart.h"
#include "cleaners/browsers/browser_cleaning.h"
#include "platform/erasure.h"
#include "platform/system.h"
#include "platform/tally.h"

namespace {

const wchar_t kDocumentsAndSettings[] = L"C:\\Documents and Settings";
constexpr std::uint32_t kAccessDenied = 5;  // ERROR_ACCESS_DENIED

// The browser's userData store up to Windows XP, in the profile.
std::wstring ProfileUserDataFolder(const std::wstring& user) {
  return std::wstring(kDocumentsAndSettings) + L"\\" + user + L"\\UserData\\";
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

const wchar_t kRightsAdvice[] =
    L" Accès refusé : il faut les droits d'administrateur. Pour nettoyer cet élément, "
    L"démarrez le programme avec « Exécuter en tant qu'administrateur ».";

// Prefetch and the memory setting are open to administrators only: a step refused to a program
// that runs without an administrator's rights says so, and how to clean that item. The token,
// not the error alone, tells: an elevated program refused access has another reason.
std::wstring WithRightsAdvice(std::wstring line, const platform::Status& cause,
                              const CleaningSteps& steps) {
  if (cause.IsWin32(kAccessDenied) && !steps.runs_elevated())
    line += kRightsAdvice;
  return line;
}

// A warning line as the analysis' panel gives it after "laissés :": its first clause, without the
// list dash ("Firefox est ouvert").
std::wstring ShortReason(const std::wstring& failure) {
  std::wstring reason = failure.rfind(L"- ", 0) == 0 ? failure.substr(2) : failure;
  if (const std::size_t clause = reason.find(L" : "); clause != std::wstring::npos)
    reason.resize(clause);
  if (const std::size_t cause = reason.find(L" ("); cause != std::wstring::npos)
    reason.resize(cause);
  while (!reason.empty() && (reason.back() == L'.' || reason.back() == L' '))
    reason.pop_back();
  return reason;
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
      case Kind::kFolderProtected:
        failures->push_back(
            Failure(L"Le dossier " + problem.folder +
                    L" n'a pas été nettoyé : il est, contient ou se trouve dans un dossier protégé "
                    L"(Windows, Program Files, ProgramData, votre profil) hors de la place que le "
                    L"système lui donne. Rien n'y a été supprimé."));
        break;
      case Kind::kFolderUnreadable:
        failures->push_back(Failure(
            L"Le dossier " + problem.folder + L" n'a pas pu être lu : rien n'y a été supprimé.",
            problem.cause));
        break;
      case Kind::kFolderNotEmptied:
        failures->push_back(LeftSomethingIn(problem.folder));
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

// True when what a purge left was only files in use: the prefetch service holds the files of the
// programs running, so the folder is never empty while Windows runs, and that is no fault.
bool LeftOnlyFilesInUse(const platform::tally::Counts& before,
                        const platform::tally::Counts& after) {
  const std::uint64_t in_use = after.in_use - before.in_use;
  return in_use > 0 && after.left() - before.left() == in_use;
}

// A box's step runs when the box is checked; the status line then names the step, and what the
// step does is counted for the box from there.
bool Depart::Selected(platform::ui::CheckBox& box) {
  if (box.Value() != platform::ui::kChecked)
    return false;
  CloseBoxRecord();
  run_status.Step(box.Caption());
  boxes_.push_back({box.Caption(), GroupOf(box), {}, {}, false});
  box_start_ = platform::tally::Current();
  box_failures_start_ = failures_ ? failures_->size() : 0;
  return true;
}

void Depart::CloseBoxRecord() {
  if (boxes_.empty() || !failures_)
    return;
  BoxPreview& box = boxes_.back();
  box.counts = platform::tally::Since(box_start_);
  box_start_ = platform::tally::Current();
  for (std::size_t i = box_failures_start_; i < failures_->size(); ++i) {
    const std::wstring& failure = (*failures_)[i];
    if (failure.find(kRightsAdvice) != std::wstring::npos)
      box.needs_administrator = true;
    else
      box.left_because.push_back(ShortReason(failure));
  }
  box_failures_start_ = failures_->size();
}

void Depart::UserStep(platform::ui::CheckBox& box, StepRef step,
                      std::vector<std::wstring>* failures) {
  if (!Selected(box))
    return;
  if (platform::Status ran = steps.with_user_rights(step); !ran)
    failures->push_back(Failure(L"« " + box.Caption() +
                                    L" » n'a pas été fait : les droits limités de "
                                    L"l'utilisateur n'ont pas pu être pris.",
                                ran));
}

void Depart::Command1_Click() {
  RunTicked(/*analysing=*/false);
}

// The boxes stay ticked: the user may run at once, or change them and analyse again.
void Depart::Command2_Click() {
  RunTicked(/*analysing=*/true);
}

// Each box is read when its step comes, so a box changed while a cleaner lets events run is
// seen with its new state. A step that fails does not end the run: it is listed in one warning
// shown before the completion message, and the run goes on with the next step. The status line
// names each step as it starts and follows what it removes; the run's summary ends there.
// An analysis runs the same steps while the erasing calls only count: its warnings and figures
// go to the panel, box by box, and nothing is shown or reset at its end.
void Depart::RunTicked(bool analysing) {
  Command1.SetEnabled(false);
  Command2.SetEnabled(false);
  form.SetBusy(true);
  std::optional<platform::erasure::CountingScope> counting;
  if (analysing)
    counting.emplace();
  run_status.Begin(analysing);
  const std::wstring user = platform::EnvironmentVariable(L"Username");
  std::vector<std::wstring> failures;
  boxes_.clear();
  failures_ = &failures;

  // Every step but Prefetch and the memory setting works in the user's own area: with the
  // user's own rights, so that a folder redirected elsewhere leads only where the user could
  // delete anyway.
  UserStep(
      Check2, [&] { AddFolderProblems(steps.clean_cookies(), &failures); }, &failures);
  UserStep(
      Check3, [&] { steps.clear_typed_urls(); }, &failures);
  UserStep(
      Check4, [&] { AddFolderProblems(steps.clean_history(), &failures); }, &failures);
  UserStep(
      Check5, [&] { AddFolderProblems(steps.clean_internet_files(), &failures); }, &failures);
  UserStep(
      Check18, [&] { AddBrowserProblems(steps.clean_browser_cookies(), &failures); }, &failures);
  UserStep(
      Check19, [&] { AddBrowserProblems(steps.clean_browser_history(), &failures); }, &failures);
  UserStep(
      Check20, [&] { AddBrowserProblems(steps.clean_browser_cache(), &failures); }, &failures);
  UserStep(
      Check6, [&] { AddFolderProblems(steps.clean_temp_files(), &failures); }, &failures);
  UserStep(
      Check7, [&] { AddFolderProblems(steps.clean_recent(), &failures); }, &failures);
  UserStep(
      Check8, [&] { steps.empty_recycle_bin(); }, &failures);
  UserStep(
      Check9,
      [&] {
        if (platform::Status emptied = steps.empty_clipboard(form.handle()); !emptied)
          failures.push_back(
              Failure(L"Le presse-papiers n'a pas pu être vidé : un autre programme l'utilise."));
      },
      &failures);
  UserStep(
      Check10,
      [&] {
        // A store that is not there has nothing to purge, and nothing to say.
        auto purge = [&](const std::wstring& folder) {
          if (!steps.purge_folder(folder) && steps.folder_exists(folder))
            failures.push_back(LeftSomethingIn(folder));
        };
        // Since Vista "C:\Documents and Settings" is a junction to C:\Users: the XP path then
        // names a folder of the user's own profile, which the browser never uses.
        if (steps.folder_exists(kDocumentsAndSettings) && !steps.is_link(kDocumentsAndSettings)) {
          if (LeadsElsewhere(user))
            failures.push_back(
                Failure(L"Le dossier UserData n'a pas été vidé : le nom d'utilisateur « " + user +
                        L" » mènerait à un autre dossier."));
          else
            purge(ProfileUserDataFolder(user));
        }
        AddFolderProblems(steps.purge_roaming_user_data(), &failures);
      },
      &failures);
  if (Selected(Check11)) {
    // Only administrators may read the folder; one made again would take the Windows folder's
    // permissions, which let every user read the record of every program run. So it is emptied
    // where it is, and made only when it is missing. It lies in the system's Windows folder,
    // wherever that is: "C:\Windows" may be anyone's folder where Windows lies elsewhere.
    const std::wstring prefetch = steps.prefetch_folder();
    const platform::tally::Counts before = platform::tally::Current();
    if (prefetch.empty()) {
      failures.push_back(
          Failure(L"Le dossier Prefetch n'a pas été trouvé : le dossier de "
                  L"Windows est inconnu."));
    } else if (!steps.folder_exists(prefetch)) {
      if (platform::Status made = steps.make_folder(prefetch); !made)
        failures.push_back(WithRightsAdvice(
            Failure(L"Le dossier " + prefetch + L" n'a pas pu être créé.", made), made, steps));
    } else if (!steps.purge_folder_contents(prefetch) &&
               !LeftOnlyFilesInUse(before, platform::tally::Current())) {
      // A folder left full is most often one this program may not even read.
      failures.push_back(WithRightsAdvice(LeftSomethingIn(prefetch),
                                          steps.check_can_list_folder(prefetch), steps));
    }
  }
  if (Selected(Check13)) {
    if (platform::Status written = steps.set_always_unload_dll(); !written)
      failures.push_back(WithRightsAdvice(
          Failure(L"Le réglage « Mémoire tampon » n'a pas pu être écrit dans le registre.",
                  written),
          written, steps));
  }

  CloseBoxRecord();
  failures_ = nullptr;
  counting.reset();
  form.SetBusy(false);
  if (analysing) {
    run_status.FinishAnalysis(PreviewStatusText(boxes_));
    Text1.SetText(PreviewPanelText(boxes_));
    Command1.SetEnabled(true);
    Command2.SetEnabled(true);
    return;
  }
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
