#include "app/run_status.h"

#include "app/french_format.h"

std::wstring StepText(const std::wstring& step, std::uint64_t deleted, std::uint64_t bytes) {
  const french::Size size = french::SizeOf(bytes);
  std::wstring text = step;
  text.append(L" : ");
  text.append(french::Counted(deleted, L"élément supprimé", L"éléments supprimés"));
  text.append(L", ");
  text.append(size.text);
  text.append(size.plural ? L" libérés" : L" libéré");
  return text;
}

std::wstring AnalysisStepText(const std::wstring& step, std::uint64_t items, std::uint64_t bytes) {
  return L"Analyse : " + step + L"... " + french::Counted(items, L"élément", L"éléments") + L", " +
         french::SizeOf(bytes).text;
}

std::vector<std::wstring> LeftReasons(const platform::tally::Counts& counts) {
  std::vector<std::wstring> reasons;
  auto reason = [&](std::uint64_t count, const wchar_t* singular, const wchar_t* plural) {
    if (count != 0)
      reasons.push_back(french::Counted(count, singular, plural));
  };
  reason(counts.in_use, L"en cours d'utilisation", L"en cours d'utilisation");
  reason(counts.refused, L"accès refusé", L"accès refusés");
  reason(counts.links, L"lien laissé en place", L"liens laissés en place");
  reason(counts.other, L"pour une autre raison", L"pour d'autres raisons");
  reason(counts.kept, L"caché ou système (laissé volontairement)",
         L"cachés ou système (laissés volontairement)");
  return reasons;
}

std::wstring SummaryText(const platform::tally::Counts& counts) {
  std::wstring text = StepText(L"Terminé", counts.deleted, counts.bytes);
  text.append(L".\r\nÉléments restants : ");
  const std::vector<std::wstring> reasons = LeftReasons(counts);
  for (std::size_t i = 0; i < reasons.size(); ++i)
    text.append(i == 0 ? L"" : L", ").append(reasons[i]);
  text.append(reasons.empty() ? L"aucun." : L".");
  return text;
}

void RunStatus::Begin(bool analysing) {
  analysing_ = analysing;
  platform::tally::Reset();
  step_.clear();
  at_step_start_ = {};
  report_.emplace([this] {
    if (!step_.empty())
      ShowStep();
  });
}

void RunStatus::Step(const std::wstring& name) {
  step_ = name;
  at_step_start_ = platform::tally::Current();
  ShowStep();
}

void RunStatus::Finish() {
  report_.reset();
  Show(SummaryText(platform::tally::Current()));
}

void RunStatus::FinishAnalysis(const std::wstring& summary) {
  report_.reset();
  Show(summary);
}

void RunStatus::ShowStep() {
  const platform::tally::Counts step = platform::tally::Since(at_step_start_);
  Show((analysing_ ? AnalysisStepText : StepText)(step_, step.deleted, step.bytes));
}

void RunStatus::Show(const std::wstring& text) {
  if (text == shown_)
    return;
  shown_ = text;
  line_.SetCaption(text);
}
