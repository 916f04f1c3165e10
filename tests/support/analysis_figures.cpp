#include "support/analysis_figures.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace test {

void ExpectSameFigures(const std::vector<BoxPreview>& analysed,
                       const std::vector<BoxPreview>& run) {
  ASSERT_EQ(analysed.size(), run.size());
  for (std::size_t i = 0; i < run.size(); ++i) {
    SCOPED_TRACE(platform::ToUtf8(run[i].box + L" (" + run[i].group + L")"));
    EXPECT_EQ(analysed[i].box, run[i].box);
    EXPECT_EQ(analysed[i].counts.deleted, run[i].counts.deleted);
    EXPECT_EQ(analysed[i].counts.bytes, run[i].counts.bytes);
    EXPECT_EQ(analysed[i].counts.in_use, run[i].counts.in_use);
    EXPECT_EQ(analysed[i].counts.refused, run[i].counts.refused);
    EXPECT_EQ(analysed[i].counts.links, run[i].counts.links);
    EXPECT_EQ(analysed[i].counts.other, run[i].counts.other);
    EXPECT_EQ(analysed[i].counts.kept, run[i].counts.kept);
    EXPECT_EQ(analysed[i].left_because, run[i].left_because);
    EXPECT_EQ(analysed[i].needs_administrator, run[i].needs_administrator);
  }
}

}  // namespace test
