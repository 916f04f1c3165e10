#pragma once
// The texts of an analysis ("Analyser"): one line per ticked box in the run's order, then a total
// line, for the "Aperçu" panel; and the status line's summary.

#include <string>
#include <vector>

#include "platform/tally.h"

// What one box's step would do, as the analysis counted it.
struct BoxPreview {
  std::wstring box;    // the box's caption: "Fichiers Temp"
  std::wstring group;  // its frame's caption: "Windows"
  platform::tally::Counts counts;
  // Why something would stay beyond the counted items, as the run's warning would say it
  // ("Firefox est ouvert").
  std::vector<std::wstring> left_because;
  // The step could look at nothing without an administrator's rights.
  bool needs_administrator = false;
};

// "Fichiers Temp (Windows) : 1 234 éléments, 56,7 Mo ; laissés : 2 en cours d'utilisation"
std::wstring PreviewLine(const BoxPreview& box);
// Every box's line, then "Total : 1 251 éléments, 58,8 Mo", joined by CR LF.
std::wstring PreviewPanelText(const std::vector<BoxPreview>& boxes);
// "Aperçu : 1 234 éléments à supprimer, 56,7 Mo"
std::wstring PreviewStatusText(const std::vector<BoxPreview>& boxes);
