#pragma once
// What an analysis counted against what the run then did, box by box.

#include <vector>

#include "app/preview_report.h"

namespace test {

// Expects the same boxes in the same order, each with the same items, bytes and items left, for
// the same reasons.
void ExpectSameFigures(const std::vector<BoxPreview>& analysed, const std::vector<BoxPreview>& run);

}  // namespace test
