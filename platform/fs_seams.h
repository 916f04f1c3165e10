#pragma once
// The file system layer's test seams (platform/fs.h, namespace testing), as the platform's own
// file code applies them. Internal to platform/.

#include <cstdint>
#include <string>

namespace platform::fs::detail {

// Calls the before-change hook, when a test set one, with the path about to change.
void BeforeChange(const std::wstring& path);
// The attributes of `folder` + `name` as Windows would report them: with the reparse-point bit
// where the file-link check that a test set says the entry is a link to a file.
std::uint32_t AsReported(const std::wstring& folder, const std::wstring& name,
                         std::uint32_t attributes);

}  // namespace platform::fs::detail
