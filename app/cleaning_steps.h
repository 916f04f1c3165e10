#pragma once
// The actions the cleaning run can take, one per option box, held as replaceable functions so
// that tests can watch the run's order and selection without deleting anything real.

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "cleaners/browsers/browser_cleaning.h"
#include "cleaners/folders/folder_cleaning.h"
#include "platform/status.h"
#include "platform/system.h"

// A step of the run to be called once, referred to rather than copied: it lives on the run's
// stack for the whole call it is handed to.
class StepRef {
 public:
  template <typename Step>
  StepRef(Step&& step)  // from any callable, as std::function is made
      : call_([](void* step) { (*static_cast<std::remove_reference_t<Step>*>(step))(); }),
        step_(&step) {}
  void operator()() const { call_(step_); }

 private:
  void (*call_)(void*);
  void* step_;
};

struct CleaningSteps {
  std::function<FolderCleaning()> clean_cookies;
  std::function<void()> clear_typed_urls;
  std::function<FolderCleaning()> clean_history;
  std::function<FolderCleaning()> clean_internet_files;
  std::function<browsers::BrowserCleaning()> clean_browser_cookies;
  std::function<browsers::BrowserCleaning()> clean_browser_history;
  std::function<browsers::BrowserCleaning()> clean_browser_cache;
  // The names of the browsers found, for the window to show.
  std::function<std::vector<std::wstring>()> find_browsers;
  std::function<FolderCleaning()> clean_temp_files;
  std::function<FolderCleaning()> clean_recent;
  std::function<void()> empty_recycle_bin;
  std::function<platform::Status(platform::WindowHandle owner)> empty_clipboard;
  std::function<bool(const std::wstring& folder)> purge_folder;
  // The browser's userData store below the roaming application data folder.
  std::function<FolderCleaning()> purge_roaming_user_data;
  std::function<bool(const std::wstring& folder)> purge_folder_contents;  // keeps the folder
  std::function<bool(const std::wstring& folder)> folder_exists;
  std::function<bool(const std::wstring& path)> is_link;
  // The Prefetch folder, in the system's Windows folder (ending in "\"; empty when unknown).
  std::function<std::wstring()> prefetch_folder;
  std::function<platform::Status(const std::wstring& folder)> make_folder;
  std::function<platform::Status()> set_always_unload_dll;
  // What tells a step refused for want of an administrator's rights from other failures.
  std::function<bool()> runs_elevated;
  std::function<platform::Status(const std::wstring& folder)> check_can_list_folder;
  // Runs a step of the user's own area with the user's own rights (platform/impersonation.h);
  // fails, without running it, when those rights cannot be taken.
  std::function<platform::Status(StepRef step)> with_user_rights;
};

// The real cleaners and system calls.
CleaningSteps RealCleaningSteps();
