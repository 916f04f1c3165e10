#include "app/run_status.h"

#include <vector>

#include "app/french_format.h"

std::wstring StepText(const std::wstring& step, std::uint64_t deleted, std::uint64_t bytes) {
  const french::Size size = french::SizeOf(bytes);
  return step + L" : " + french::Counted(deleted, L"élément supprimé", L"éléments supprimés") +
         L", " + size.text + (size.plural ? L" libérés" : L" libéré");
}

std::wstring SummaryText(const platform::tally::Counts& counts) {
  std::wstring text = StepText(L"Terminé", counts.deleted, counts.bytes) + L".\r\n";
  text += L"Éléments restants : ";
  std::vector<std::wstring> reasons;
  if (counts.in_use)
    reasons.push_back(french::Count(counts.in_use) + L" en cours d'utilisation");
  if (counts.refused)
    reasons.push_back(french::Counted(counts.refused, L"accès refusé", L"accès refusés"));
  if (counts.links)
    reasons.push_back(
        french::Counted(counts.links, L"lien laissé en place", L"liens laissés en place"));
  if (counts.other)
    reasons.push_back(
        french::Counted(counts.other, L"pour une autre raison", L"pour d'autres raisons"));
  if (reasons.empty())
    return text + L"aucun.";
  for (std::size_t i = 0; i < reasons.size(); ++i)
    text += (i ? L", " : L"") + reasons[i];
  return text + L".";
}

void RunStatus::Begin() {
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

void RunStatus::ShowStep() {
  const platform::tally::Counts now = platform::tally::Current();
  Show(StepText(step_, now.deleted - at_step_start_.deleted, now.bytes - at_step_start_.bytes));
}

void RunStatus::Show(const std::wstring& text) {
  if (text == shown_)
    return;
  shown_ = text;
  line_.SetCaption(text);
}
