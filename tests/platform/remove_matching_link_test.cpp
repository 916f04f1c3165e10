#include <gtest/gtest.h>

#include "platform/fs.h"
#include "support/scratch.h"

namespace {

// Wine gives a link asked with a trailing "\" its target's attributes: one or two separators
// before the pattern must not hide the link.
TEST(RemoveMatchingFiles, RefusesToDeleteThroughALinkWhateverItsSpelling) {
  test::ScratchTree outside;
  outside.File(L"precious.txt");
  test::ScratchTree tree;
  ASSERT_TRUE(test::MakeUnixLink(outside.path(), tree / L"link"));
  EXPECT_FALSE(platform::fs::RemoveMatchingFiles(tree / L"link\\*.*").ok());
  EXPECT_FALSE(platform::fs::RemoveMatchingFiles(tree / L"link\\\\*.*").ok());
  EXPECT_FALSE(platform::fs::RemoveMatchingFiles(tree / L"link/*.*").ok());
  EXPECT_TRUE(outside.Exists(L"precious.txt"));
}

}  // namespace
