#include "app/cleaning_steps.h"

#include "cleaners/browsers/browser_cleaning.h"
#include "cleaners/folders/history.h"
#include "cleaners/folders/internet_files.h"
#include "cleaners/folders/recent.h"
#include "cleaners/folders/special_folder.h"
#include "cleaners/folders/temp_files.h"
#include "cleaners/system/cookies.h"
#include "cleaners/system/explorer_memory.h"
#include "cleaners/system/recycle_bin.h"
#include "cleaners/system/typed_urls.h"
#include "cleaners/system/url_history.h"
#include "inventory/purge.h"
#include "platform/fs.h"
#include "platform/rights.h"

CleaningSteps RealCleaningSteps() {
  CleaningSteps steps;
  steps.clean_cookies = [] { (void)CleanCookies(); };
  steps.clear_typed_urls = ClearTypedUrls;
  steps.clean_history = [] {
    CleanUrlHistory();
    CleanHistory();  // last: it leaves the program's folder current
  };
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
  steps.purge_folder = PurgeFolder;
  steps.purge_folder_contents = PurgeFolderContents;
  steps.folder_exists = platform::fs::FolderExists;
  steps.is_link = platform::fs::IsLink;
  steps.special_folder = GetSpecialFolder;
  steps.make_folder = platform::fs::MakeFolder;
  steps.set_always_unload_dll = SetAlwaysUnloadDll;
  steps.runs_elevated = platform::RunsElevated;
  steps.check_can_list_folder = platform::CheckCanListFolder;
  return steps;
}
