#pragma once
// The main window "Nimbrel": four groups of option boxes, a "tick/untick all" box per group,
// the button that starts the cleaning run, the button that analyses what it would erase and the
// panel that shows it, and two link labels.

#include <functional>
#include <string>
#include <vector>

#include "app/cleaning_steps.h"
#include "app/preview_report.h"
#include "app/run_status.h"
#include "platform/folder_list.h"
#include "platform/status.h"
#include "platform/ui/form.h"

class Depart {
 public:
  Depart();
  Depart(const Depart&) = delete;
  Depart& operator=(const Depart&) = delete;

  // Builds the window and runs Form_Initialize, which shows it.
  platform::Status Create();

  // Event procedures.
  void Form_Initialize();
  void Check1_Click();
  void Check16_Click();
  void Check17_Click();
  void Check21_Click();
  void Command1_Click();
  void Command2_Click();
  void Label1_Click();
  void Label2_Click();

  platform::ui::Form form;
  platform::ui::Frame Frame2, Frame3, Frame4, Frame5;
  platform::ui::CheckBox Check1, Check2, Check3, Check4, Check5, Check6, Check7, Check8, Check9,
      Check10, Check11, Check13, Check16, Check17;
  // The "Navigateurs" group: Cookies, Historique, Cache, and its toggle.
  platform::ui::CheckBox Check18, Check19, Check20, Check21;
  platform::ui::Button Command1;
  // "Analyser", and the "Aperçu" panel where the analysis says what each ticked box would erase.
  platform::ui::Button Command2;
  platform::ui::Frame Frame6;
  platform::ui::TextBox Text1;
  platform::ui::Label Label1, Label2;
  // The status line, in the band between the "Système" frame and the links.
  platform::ui::Label Label3;
  // The browsers found on this machine, in the "Navigateurs" frame below its boxes.
  platform::ui::Label Label4;
  // The folder list the scan and the folder cleaners use to hand a folder over; never shown.
  platform::FolderList& Dir1;

  // What the run does for each box, and how it shows its messages; tests replace them.
  CleaningSteps steps = RealCleaningSteps();
  std::function<void(const std::wstring& text, const std::wstring& title, unsigned style)>
      show_message;

  // What each ticked box's step did in the last run or analysis, in the run's order.
  const std::vector<BoxPreview>& box_figures() const { return boxes_; }

 private:
  RunStatus run_status{Label3};
  // The run and the analysis are one: the analysis runs the same steps while the erasing calls
  // only count.
  void RunTicked(bool analysing);
  bool Selected(platform::ui::CheckBox& box);
  std::wstring GroupOf(const platform::ui::CheckBox& box) const;
  // What the box whose step runs now has done so far.
  void CloseBoxRecord();
  std::vector<BoxPreview> boxes_;
  platform::tally::Counts box_start_;
  const std::vector<std::wstring>* failures_ = nullptr;
  std::size_t box_failures_start_ = 0;
  // Runs `step` when `box` is selected, with the user's own rights; a step those rights could
  // not be taken for is not run, and is listed in `failures`.
  void UserStep(platform::ui::CheckBox& box, StepRef step, std::vector<std::wstring>* failures);
  void ToggleGroup(platform::ui::CheckBox& toggle,
                   std::initializer_list<platform::ui::CheckBox*> members);
};

// Texts and places the window and its tests share.
namespace depart_text {
inline constexpr wchar_t kCaption[] = L"Nimbrel";
inline constexpr wchar_t kDone[] = L"Operation terminé avec succés ";
inline constexpr wchar_t kDoneTitle[] = L"Info";
inline constexpr wchar_t kStatusHint[] =
    L"Cochez ce qu'il faut effacer, puis cliquez sur « Executer ! ».";
inline constexpr wchar_t kBrowser[] = L"C:\\Program Files\\Internet Explorer\\iexplore.exe";
inline constexpr wchar_t kMakerAddress[] = L"www.example.org";
inline constexpr wchar_t kCreditedSite[] = L"https://morvane.example.org/";
inline constexpr wchar_t kNoBrowser[] = L"Aucun navigateur trouvé";
}  // namespace depart_text
