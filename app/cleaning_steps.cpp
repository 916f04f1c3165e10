#include "app/cleaning_steps.h"

#include "cleaners/browsers/browser_cleaning.h"
#include "cleaners/folders/folder_guard.h"
#include "cleaners/folders/history.h"
#include "cleaners/folders/internet_files.h"
#include "cleaners/folders/recent.h"
#include "cleaners/folders/special_folder.h"
#include "cleaners/folders/temp_files.h"
#include "cleaners/folders/user_data.h"
#include "cleaners/system/cookies.h"
#include "cleaners/system/explorer_memory.h"
#include "cleaners/system/recycle_bin.h"
#include "cleaners/system/typed_urls.h"
#include "cleaners/system/url_history.h"
#include "inventory/purge.h"
#include "platform/fs.h"
#include "platform/impersonation.h"
#include "platform/rights.h"
#include "platform/special_folders.h"

CleaningSteps RealCleaningSteps() {
  CleaningSteps steps;
  steps.clean_cookies = [] {
    FolderCleaning outcome;
    (void)CleanCookies(&outcome);
    return outcome;
  };
  steps.clear_typed_urls = ClearTypedUrls;
  // It leaves the program's folder current.
  steps.clean_history = [] { return CleanHistory(CleanUrlHistory); };
  steps.clean_internet_files = CleanInternetFiles;
  steps.clean_browser_cookies = [] {
    return browsers::CleanUsersBrowsers(browsers::BrowserStep::kCookies);
  };
  steps.clean_browser_history = [] {
    return browsers::CleanUsersBrowsers(browsers::BrowserStep::kHistory);
  };
  steps.clean_browser_cache = [] {
    return browsers::CleanUsersBrowsers(browsers::BrowserStep::kCache);
  };
  steps.find_browsers = browsers::UsersBrowserNames;
  steps.clean_temp_files = CleanTempFiles;
  steps.clean_recent = CleanRecent;
  steps.empty_recycle_bin = EmptyRecycleBin;
  steps.empty_clipboard = platform::EmptyTheClipboard;
  // The store of Windows XP lies in the profile: only at the system's own place there.
  steps.purge_folder = [](const std::wstring& folder) {
    return IsSafeToClean(folder, CleanedFolder::kProfileUserData) && PurgeFolder(folder);
  };
  steps.purge_roaming_user_data = PurgeRoamingUserData;
  steps.purge_folder_contents = PurgeFolderContents;
  steps.folder_exists = platform::fs::FolderExists;
  steps.is_link = platform::fs::IsLink;
  steps.prefetch_folder = [] {
    platform::Result<std::wstring> windows = platform::SystemWindowsFolder();
    return windows.ok() ? WithTrailingBackslash(windows.value) + L"Prefetch\\" : std::wstring();
  };
  steps.make_folder = platform::fs::MakeFolder;
  steps.set_always_unload_dll = SetAlwaysUnloadDll;
  steps.runs_elevated = platform::RunsElevated;
  steps.check_can_list_folder = platform::CheckCanListFolder;
  steps.with_user_rights = [](StepRef step) {
    platform::UserRightsScope user_rights;
    if (user_rights.status())
      step();
    return user_rights.status();
  };
  return steps;
}
