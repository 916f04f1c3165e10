#include "app/depart.h"

#include "platform/system.h"
#include "res/resource_ids.h"

namespace {

using platform::ui::ControlStyle;
using platform::ui::FontSpec;
using platform::ui::Rgb;

constexpr Rgb kLightYellow{255, 255, 192};
constexpr Rgb kLightGreen{192, 255, 192};
constexpr Rgb kLightCyan{192, 255, 255};
constexpr Rgb kNavy{0, 0, 128};
constexpr Rgb kBlue{0, 0, 255};

const ControlStyle kFrameStyle{kLightGreen, kNavy, std::nullopt, false};
const ControlStyle kOptionStyle{kLightGreen, std::nullopt, std::nullopt, false};
const ControlStyle kToggleStyle{kLightGreen, kBlue, FontSpec{L"MS Sans Serif", 8.25, 700}, true};
const ControlStyle kButtonStyle{kLightGreen, std::nullopt, std::nullopt, false};
const ControlStyle kLabel1Style{kLightCyan, kNavy, std::nullopt, false};
const ControlStyle kLabel2Style{kLightCyan, std::nullopt, std::nullopt, false};
const ControlStyle kStatusStyle{kLightYellow, kNavy, std::nullopt, false};
const ControlStyle kPanelStyle{Rgb{255, 255, 255}, std::nullopt, std::nullopt, false};
const ControlStyle kBrowsersLineStyle{kLightGreen, std::nullopt, std::nullopt, false};

// "Edge, Chrome, Firefox", or that none was found.
std::wstring BrowsersLine(const std::vector<std::wstring>& names) {
  if (names.empty())
    return depart_text::kNoBrowser;
  std::wstring line;
  for (const std::wstring& name : names)
    line += (line.empty() ? L"" : L", ") + name;
  return line;
}

}  // namespace

Depart::Depart() : Dir1(platform::SharedFolderList()) {
  show_message = [this](const std::wstring& text, const std::wstring& title, unsigned style) {
    platform::ShowMessage(form.handle(), text, title, style);
  };
}

platform::Status Depart::Create() {
  NIMBREL_TRY(form.Create(depart_text::kCaption, 9495, 5295, kLightYellow, IDI_VELKOR));

  // Keyboard focus order.
  form.Add(Check9, L"Presse-papiers", {2520, 3240, 1335, 375}, kOptionStyle);
  form.Add(Check13, L"Mémoire tampon", {4320, 3240, 1575, 375}, kOptionStyle);
  form.Add(Check1, L"Cocher/decocher tout", {2520, 3720, 2295, 255}, kToggleStyle);
  form.Add(Check8, L"Vider la poubelle", {600, 3240, 1695, 375}, kOptionStyle);
  form.Add(Check17, L"Cocher/decocher tout", {600, 2280, 2295, 255}, kToggleStyle);
  form.Add(Check2, L"Cookies", {600, 600, 1695, 375}, kOptionStyle);
  form.Add(Check3, L"Url tapés", {600, 1680, 1695, 375}, kOptionStyle);
  form.Add(Check4, L"Historique", {600, 1320, 1695, 375}, kOptionStyle);
  form.Add(Check5, L"Internet", {600, 960, 1695, 375}, kOptionStyle);
  form.Add(Check16, L"Cocher/decocher tout", {3600, 2280, 2295, 255}, kToggleStyle);
  form.Add(Check11, L"Prefetch", {3600, 1680, 1695, 375}, kOptionStyle);
  form.Add(Check10, L"UserData", {3600, 1320, 1695, 375}, kOptionStyle);
  form.Add(Check6, L"Fichiers Temp", {3600, 600, 1695, 375}, kOptionStyle);
  form.Add(Check7, L"Documents récents", {3600, 960, 1695, 375}, kOptionStyle);
  form.Add(Check21, L"Cocher/decocher tout", {6720, 2280, 2295, 255}, kToggleStyle);
  form.Add(Check18, L"Cookies", {6720, 600, 1695, 375}, kOptionStyle);
  form.Add(Check19, L"Historique", {6720, 960, 1695, 375}, kOptionStyle);
  form.Add(Check20, L"Cache", {6720, 1320, 1695, 375}, kOptionStyle);
  form.Add(Command1, L"Executer !", {5040, 4800, 1215, 375}, kButtonStyle);
  form.Add(Text1, L"", {6600, 3000, 2415, 1575}, kPanelStyle);
  form.Add(Command2, L"Analyser", {7920, 4800, 1215, 375}, kButtonStyle);
  // No focus.
  form.Add(Label1, depart_text::kMakerAddress, {240, 4920, 1335, 255}, kLabel1Style);
  form.Add(Label2, L"Morvane", {2250, 4920, 1335, 255}, kLabel2Style);
  // The band below the first two groups, from their frames' left edge to their right one, above
  // the button.
  form.Add(Label3, depart_text::kStatusHint, {360, 4110, 5775, 675}, kStatusStyle);
  // Two lines' room between "Cache" and the toggle, for six browsers and their channels.
  form.Add(Label4,
           BrowsersLine(steps.find_browsers ? steps.find_browsers() : std::vector<std::wstring>()),
           {6720, 1740, 2295, 495}, kBrowsersLineStyle);
  form.Add(Frame2, L"Internet Explorer", {360, 240, 2655, 2415}, kFrameStyle);
  form.Add(Frame3, L"Windows", {3360, 240, 2775, 2415}, kFrameStyle);
  form.Add(Frame4, L"Système", {360, 3000, 5775, 1095}, kFrameStyle);
  form.Add(Frame5, L"Navigateurs", {6480, 240, 2655, 2415}, kFrameStyle);
  form.Add(Frame6, L"Aperçu", {6480, 2760, 2655, 1935}, kFrameStyle);

  Check1.on_click = [this] { Check1_Click(); };
  Check16.on_click = [this] { Check16_Click(); };
  Check17.on_click = [this] { Check17_Click(); };
  Check21.on_click = [this] { Check21_Click(); };
  Command1.on_click = [this] { Command1_Click(); };
  Command2.on_click = [this] { Command2_Click(); };
  Label1.on_click = [this] { Label1_Click(); };
  Label2.on_click = [this] { Label2_Click(); };

  form.CentreOnScreen();
  Form_Initialize();
  return platform::Status::Ok();
}

void Depart::Form_Initialize() {
  form.Show();
  platform::ui::InitCommonControls();
  for (platform::ui::CheckBox* box :
       {&Check1, &Check2, &Check3, &Check4, &Check5, &Check6, &Check7, &Check8, &Check9, &Check10,
        &Check11, &Check13, &Check16, &Check17, &Check18, &Check19, &Check20, &Check21})
    box->SetValue(platform::ui::kUnchecked);
  Text1.SetText(L"");
  Command1.SetEnabled(true);
  Command2.SetEnabled(true);
}

// Checked ticks every member, unchecked clears them, grey changes nothing. Members never
// change their toggle back.
void Depart::ToggleGroup(platform::ui::CheckBox& toggle,
                         std::initializer_list<platform::ui::CheckBox*> members) {
  if (toggle.Value() == platform::ui::kChecked) {
    for (platform::ui::CheckBox* member : members)
      member->SetValue(platform::ui::kChecked);
  } else if (toggle.Value() == platform::ui::kUnchecked) {
    for (platform::ui::CheckBox* member : members)
      member->SetValue(platform::ui::kUnchecked);
  }
}

void Depart::Check17_Click() {
  ToggleGroup(Check17, {&Check2, &Check3, &Check4, &Check5});
}
void Depart::Check16_Click() {
  ToggleGroup(Check16, {&Check6, &Check7, &Check10, &Check11});
}
void Depart::Check21_Click() {
  ToggleGroup(Check21, {&Check18, &Check19, &Check20});
}
void Depart::Check1_Click() {
  ToggleGroup(Check1, {&Check8, &Check9, &Check13});
}

std::wstring Depart::GroupOf(const platform::ui::CheckBox& box) const {
  const struct {
    const platform::ui::Frame& frame;
    std::initializer_list<const platform::ui::CheckBox*> members;
  } groups[] = {
      {Frame2, {&Check2, &Check3, &Check4, &Check5}},
      {Frame3, {&Check6, &Check7, &Check10, &Check11}},
      {Frame4, {&Check8, &Check9, &Check13}},
      {Frame5, {&Check18, &Check19, &Check20}},
  };
  for (const auto& group : groups) {
    for (const platform::ui::CheckBox* member : group.members) {
      if (member == &box)
        return group.frame.Caption();
    }
  }
  return {};
}

void Depart::Label1_Click() {
  // The path is quoted so that no "C:\Program.exe" can stand in for the browser.
  const std::wstring command =
      std::wstring(L"\"") + depart_text::kBrowser + L"\" " + depart_text::kMakerAddress;
  if (platform::Status started = platform::StartProgram(command, 1); !started)
    show_message(std::wstring(L"Impossible de lancer le navigateur :\n") + depart_text::kBrowser +
                     L"\n\n" + started.Describe(),
                 depart_text::kCaption, platform::kMessageOk | platform::kIconWarning);
}

void Depart::Label2_Click() {
  // The shell's result is not examined: a failure there changes nothing for the window.
  (void)platform::ShellOpen(form.handle(), L"", depart_text::kCreditedSite, L"",
                            L"C:\\Programme Files", 1);
}
