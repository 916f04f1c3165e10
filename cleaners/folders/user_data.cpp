#include "cleaners/folders/user_data.h"

#include <string>

#include "cleaners/folders/known_root.h"
#include "cleaners/folders/special_folder.h"
#include "inventory/purge.h"
#include "platform/deletion.h"
#include "platform/tally.h"

namespace deletion = platform::deletion;
using Kind = FolderProblem::Kind;

namespace {

const wchar_t kStore[] = L"Microsoft\\Internet Explorer\\UserData";

}  // namespace

FolderCleaning PurgeRoamingUserData() {
  FolderCleaning outcome;
  deletion::Folder root;
  if (platform::Status opened = OpenUserRoot(UserRoot::kRoamingAppData, &root); !opened) {
    const std::wstring where = GetSpecialFolder(CSIDL_APPDATA);
    if (IsRootRefused(opened))
      outcome.Add(Kind::kFolderProtected, where, opened);
    else if (deletion::IsLinkRefused(opened))
      outcome.Add(Kind::kFolderUnreadable, where, opened);
    return outcome;  // unknown or missing: no store to purge
  }
  const std::wstring store = root.path() + kStore + L"\\";
  deletion::Folder opened_store;
  if (platform::Status reached = root.OpenBelow(kStore, &opened_store); !reached) {
    if (deletion::IsLinkRefused(reached)) {
      platform::tally::NoteLinkLeft();
      outcome.Add(Kind::kFolderNotEmptied, store, reached);
    } else if (!deletion::IsGone(reached)) {
      outcome.Add(Kind::kFolderUnreadable, store, reached);
    }
    return outcome;
  }
  if (!PurgeOpenedFolder(std::move(opened_store)))
    outcome.Add(Kind::kFolderNotEmptied, store, platform::Status::Ok());
  return outcome;
}
