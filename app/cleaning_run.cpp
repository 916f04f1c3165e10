// The cleaning run: the button "Executer !".

#include <cstdint>
#include <string>
#include <vector>

#include "app/depart.h"
#include "platform/system.h"
#include "platform/tally.h"

namespace {

const wchar_t kPrefetchFolder[] = L"C:\\Windows\\Prefetch\\";
constexpr std::uint32_t kAlreadyExists = 183;  // ERROR_ALREADY_EXISTS

std::wstring UserDataFolder(const std::wstring& user) {
  return L"C:\\Documents and Settings\\" + user + L"\\UserData\\";
}

// One line of the warning shown at the end of a run that could not do everything.
std::wstring Failure(const std::wstring& what, const platform::Status& status) {
  return L"- " + what + L" (" + status.Describe() + L")";
}

}  // namespace

// Each box is read when its step comes, so a box changed while a cleaner lets events run is
// seen with its new state. A step that fails does not end the run: it is listed in one warning
// shown before the completion message, and the run goes on with the next step. The status line
// names each step as it starts and follows what it removes; the run's summary ends there.
void Depart::Command1_Click() {
  using platform::ui::kChecked;
  Command1.SetEnabled(false);
  form.SetBusy(true);
  run_status.Begin();
  const auto selected = [this](platform::ui::CheckBox& box) {
    if (box.Value() != kChecked)
      return false;
    run_status.Step(box.Caption());
    return true;
  };
  const std::wstring user = platform::EnvironmentVariable(L"Username");
  std::vector<std::wstring> failures;

  if (selected(Check2))
    steps.clean_cookies();
  if (selected(Check3))
    steps.clear_typed_urls();
  if (selected(Check4))
    steps.clean_history();
  if (selected(Check5))
    steps.clean_internet_files();
  if (selected(Check6))
    steps.clean_temp_files();
  if (selected(Check7))
    steps.clean_recent();
  if (selected(Check8))
    steps.empty_recycle_bin();
  if (selected(Check9)) {
    if (platform::Status emptied = steps.empty_clipboard(form.handle()); !emptied)
      failures.push_back(Failure(
          L"Le presse-papiers n'a pas pu être vidé : un autre programme l'utilise.", emptied));
  }
  if (selected(Check10))
    (void)steps.purge_folder(UserDataFolder(user));
  if (selected(Check11)) {
    const bool removed = steps.purge_folder(kPrefetchFolder);
    // The folder still there means the purge left something in it (a file in use).
    if (platform::Status made = steps.make_folder(kPrefetchFolder); !made)
      failures.push_back(
          Failure(std::wstring(L"Le dossier ") + kPrefetchFolder +
                      (made.IsWin32(kAlreadyExists) ? L" n'a pas pu être entièrement vidé."
                                                    : L" n'a pas pu être recréé."),
                  made));
    else if (removed)
      platform::tally::NoteRecreated();  // the folder is there again: it does not count as gone
  }
  if (selected(Check13)) {
    if (platform::Status written = steps.set_always_unload_dll(); !written)
      failures.push_back(Failure(
          L"Le réglage « Mémoire tampon » n'a pas pu être écrit dans le registre.", written));
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
