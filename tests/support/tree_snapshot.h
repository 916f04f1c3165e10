#pragma once
// What a folder tree looks like, to show that something left it exactly as it was.

#include <string>

namespace test {

// One line per file and folder below `folder` (ending in "\"), sorted: its relative path,
// attributes, size, times of creation and last write, and a digest of its bytes. Links are
// listed, never followed.
std::string SnapshotTree(const std::wstring& folder);

}  // namespace test
