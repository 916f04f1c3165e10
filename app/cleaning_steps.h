#pragma once
// The actions the cleaning run can take, one per option box, held as replaceable functions so
// that tests can watch the run's order and selection without deleting anything real.

#include <functional>
#include <string>
#include <vector>

#include "cleaners/browsers/browser_cleaning.h"
#include "cleaners/folders/folder_cleaning.h"
#include "platform/status.h"
#include "platform/system.h"

struct CleaningSteps {
  std::function<void()> clean_cookies;
  std::function<void()> clear_typed_urls;
  std::function<void()> clean_history;
  std::function<FolderCleaning()> clean_internet_files;
  std::function<browsers::BrowserCleaning()> clean_browser_cookies;
  std::function<browsers::BrowserCleaning()> clean_browser_history;
  std::function<browsers::BrowserCleaning()> clean_browser_cache;
  // The names of the browsers found, for the window to show.
  std::function<std::vector<std::wstring>()> find_browsers;
  std::function<FolderCleaning()> clean_temp_files;
  std::function<void()> clean_recent;
  std::function<void()> empty_recycle_bin;
  std::function<platform::Status(platform::WindowHandle owner)> empty_clipboard;
  std::function<bool(const std::wstring& folder)> purge_folder;
  std::function<bool(const std::wstring& folder)> purge_folder_contents;  // keeps the folder
  std::function<bool(const std::wstring& folder)> folder_exists;
  std::function<bool(const std::wstring& path)> is_link;
  std::function<std::wstring(int csidl)> special_folder;  // empty when the shell cannot tell
  std::function<platform::Status(const std::wstring& folder)> make_folder;
  std::function<platform::Status()> set_always_unload_dll;
  // What tells a step refused for want of an administrator's rights from other failures.
  std::function<bool()> runs_elevated;
  std::function<platform::Status(const std::wstring& folder)> check_can_list_folder;
};

// The real cleaners and system calls.
CleaningSteps RealCleaningSteps();
