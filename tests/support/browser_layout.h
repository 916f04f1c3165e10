#pragma once
// Browser profiles laid out in scratch trees as the browsers lay them out, each file that a step
// erases holding a marker of what it erases, and the files that stay on purpose around them.
// The databases edited in place (Favicons, places.sqlite, favicons.sqlite) are not laid out here:
// they are the history edits' own tests' business (support/browser_profiles.h).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/scratch.h"

namespace test {

// What each box erases, written into the files it erases.
inline constexpr char kCookieHost[] = "cookie-host.example.org";
inline constexpr char kVisitedAddress[] = "https://visited.example.net/secret-page";
inline constexpr char kCachedBody[] = "<html>cached body 7f3a</html>";

// A Chromium profile at `profile` (relative to `tree`, ending in "\"), its cache inside it.
void SeedChromiumProfile(ScratchTree& tree, const std::wstring& profile);
// A Chromium profile whose cache lies in a folder of its own (Opera).
void SeedChromiumProfile(ScratchTree& tree, const std::wstring& profile, const std::wstring& cache);
// A Firefox profile at `profile`, its cache at `cache` (the same folder for an absolute profile).
void SeedFirefoxProfile(ScratchTree& tree, const std::wstring& profile, const std::wstring& cache);

// Whether a file of a profile (path relative to the profile or to its cache folder) is one that
// the box erases: "Cookies", "Historique" or "Cache".
bool ErasedBy(const std::string& box, const std::wstring& relative);
// Whether it stays on purpose though it may name what a box erases: open tabs, form data,
// passwords, preferences, bookmarks, extensions, and the databases that are edited in place.
bool StaysOnPurpose(const std::wstring& relative);

struct FileState {
  std::string content;
  std::uint32_t attributes = 0;
  bool operator==(const FileState&) const = default;
};
// Every file below `folder` (ending in "\"), by path relative to it, links not followed.
std::map<std::wstring, FileState> FilesBelow(const std::wstring& folder);
// The same, with a folder's own entry for each folder ("a\b\").
std::vector<std::wstring> FoldersBelow(const std::wstring& folder);

}  // namespace test
