#include <gtest/gtest.h>

#include "platform/fs.h"
#include "support/scratch.h"

namespace {

// Wine gives a link asked with a trailing "\" its target's attributes.
TEST(RemoveMatchingFiles, RefusesToWorkThroughALinkedFolder) {
  test::ScratchTree target;
  target.File(L"victim.lnk");
  test::ScratchTree tree;
  ASSERT_TRUE(test::MakeUnixLink(target.path(), tree / L"link"));
  EXPECT_FALSE(platform::fs::RemoveMatchingFiles(tree / L"link\\*.*").ok());
  EXPECT_TRUE(target.Exists(L"victim.lnk"));
}

}  // namespace
