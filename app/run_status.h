#pragma once
// The main window's status line: during a cleaning run, the step now running and what it has
// removed so far, brought up to date about ten times a second while the work goes on; at the
// end, the run's summary, which stays until the next run starts.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/tally.h"
#include "platform/ui/controls.h"

// "Fichiers Temp : 1 234 éléments supprimés, 56,7 Mo libérés"
std::wstring StepText(const std::wstring& step, std::uint64_t deleted, std::uint64_t bytes);
// "Analyse : Fichiers Temp... 1 234 éléments, 56,7 Mo"
std::wstring AnalysisStepText(const std::wstring& step, std::uint64_t items, std::uint64_t bytes);
// Two lines: what went, then what stayed and why.
std::wstring SummaryText(const platform::tally::Counts& counts);
// Why items stayed, one phrase per reason that counts any ("2 en cours d'utilisation").
std::vector<std::wstring> LeftReasons(const platform::tally::Counts& counts);

class RunStatus {
 public:
  explicit RunStatus(platform::ui::Label& line) : line_(line) {}

  // A run, or an analysis, starts: the tally starts from zero and the line follows the work.
  void Begin(bool analysing = false);
  // A step starts; the figures shown are the step's own.
  void Step(const std::wstring& name);
  // The run is over: the line shows its summary.
  void Finish();
  // The analysis is over: the line shows `summary`.
  void FinishAnalysis(const std::wstring& summary);

 private:
  void Show(const std::wstring& text);
  void ShowStep();

  platform::ui::Label& line_;
  bool analysing_ = false;
  std::wstring step_;
  platform::tally::Counts at_step_start_;
  std::wstring shown_;
  std::optional<platform::ScopedProgressReport> report_;
};
