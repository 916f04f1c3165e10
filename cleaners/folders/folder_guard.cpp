#include "cleaners/folders/folder_guard.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/deletion.h"
#include "platform/file_identity.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/tally.h"

namespace {

bool IsSlash(wchar_t c) {
  return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c) {
  return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// "X:\..." or "\\server\share..." (UNC and device paths). "X:name" and "\name" depend on the
// process's current folder or drive, so they do not count.
bool IsAbsolute(const std::wstring& path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSlash(path[2]))
    return true;
  return path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]);
}

// Number of non-empty components of `path` separated by "\".
int CountComponents(const std::wstring& path) {
  int count = 0;
  bool in_component = false;
  for (wchar_t c : path) {
    if (IsSlash(c)) {
      in_component = false;
    } else if (!in_component) {
      in_component = true;
      ++count;
    }
  }
  return count;
}

// `full` is an absolute path as FullPath gives it.
bool IsRoot(const std::wstring& full) {
  std::wstring rest = full;
  bool unc = false;
  if (rest.starts_with(L"\\\\?\\") || rest.starts_with(L"\\\\.\\")) {
    rest.erase(0, 4);
    if (rest.starts_with(L"UNC\\") || rest.starts_with(L"unc\\")) {
      rest.erase(0, 4);
      unc = true;
    }
  } else if (rest.starts_with(L"\\\\")) {
    rest.erase(0, 2);
    unc = true;
  }
  // A share root is "server\share"; a drive or volume root is "C:" or "Volume{...}".
  return CountComponents(rest) <= (unc ? 2 : 1);
}

std::wstring WithoutTrailingSeparators(std::wstring path) {
  while (!path.empty() && IsSlash(path.back()))
    path.pop_back();
  return path;
}

// `folder` and each folder above it, down to the root of its drive, deepest first.
std::vector<std::wstring> FolderAndParents(std::wstring folder) {
  std::vector<std::wstring> chain;
  while (!folder.empty()) {
    const bool drive = folder.size() == 2 && folder[1] == L':';
    chain.push_back(drive ? folder + L'\\' : folder);
    const std::size_t cut = folder.find_last_of(L"\\/");
    // "\\server" above a share is no folder.
    if (cut == std::wstring::npos || cut < 2)
      break;
    folder.erase(cut);
  }
  return chain;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return platform::SamePathText(a, b);
}

bool Holds(const std::vector<std::wstring>& texts, const std::wstring& text) {
  return std::any_of(texts.begin(), texts.end(),
                     [&](const std::wstring& known) { return SameText(known, text); });
}

bool Holds(const std::vector<platform::FileIdentity>& identities,
           const platform::FileIdentity& identity) {
  return std::find(identities.begin(), identities.end(), identity) != identities.end();
}

// A set of folders known both by their paths (as configured, and as their links lead) and by
// the identities of those that exist.
struct KnownFolders {
  std::vector<std::wstring> texts;
  std::vector<platform::FileIdentity> identities;

  void Add(const std::wstring& form) {
    if (form.empty() || Holds(texts, form))
      return;
    texts.push_back(form);
    if (platform::Result<platform::FileIdentity> identity = platform::IdentityOf(form);
        identity.ok() && !Holds(identities, identity.value))
      identities.push_back(identity.value);
  }
  bool Has(const std::wstring& form, const platform::FileIdentity* identity) const {
    return Holds(texts, form) || (identity && Holds(identities, *identity));
  }
};

// The paths `form` is known by: as spelt, and as its links lead (the system gives the resolved
// path absolute and with long names already).
std::vector<std::wstring> Spellings(const std::wstring& form) {
  std::vector<std::wstring> spellings = {form};
  if (platform::Result<std::wstring> resolved = platform::ResolvedPath(form); resolved.ok())
    spellings.push_back(WithoutTrailingSeparators(resolved.value));
  return spellings;
}

bool IsMissing(const platform::Status& status) {
  return status.Is(platform::kFileNotFound) || status.Is(platform::kPathNotFound);
}

// The protected trees and the folders above them, and the cleaned folder's default places.
struct Places {
  KnownFolders trees, above_trees, places, places_with_sub_folders;
};

Places PlacesFor(CleanedFolder which) {
  Places places;
  for (const std::wstring& tree : ProtectedTrees(which)) {
    for (const std::wstring& spelling : Spellings(ComparableForm(tree))) {
      const std::vector<std::wstring> chain = FolderAndParents(spelling);
      places.trees.Add(chain.front());
      for (std::size_t i = 1; i < chain.size(); ++i)
        places.above_trees.Add(chain[i]);
    }
  }
  for (const DefaultPlace& place : DefaultPlacesOf(which)) {
    for (const std::wstring& spelling : Spellings(ComparableForm(place.path)))
      (place.with_sub_folders ? places.places_with_sub_folders : places.places).Add(spelling);
  }
  return places;
}

// Walks up from `folder`: the first folder met that is a default place (a place for the folder
// itself only as the first one) lets it through; the first that is a protected tree refuses it.
bool LiesInAProtectedTree(const std::wstring& folder, const Places& places) {
  const std::vector<std::wstring> chain = FolderAndParents(folder);
  for (std::size_t i = 0; i < chain.size(); ++i) {
    platform::Result<platform::FileIdentity> identity = platform::IdentityOf(chain[i]);
    const platform::FileIdentity* known = identity.ok() ? &identity.value : nullptr;
    if ((i == 0 && places.places.Has(chain[i], known)) ||
        places.places_with_sub_folders.Has(chain[i], known))
      return false;
    if (places.trees.Has(chain[i], known))
      return true;
  }
  return false;
}

}  // namespace

// A short name such as "PROGRA~1" names the same folder as its long one.
std::wstring ComparableForm(const std::wstring& path) {
  if (path.empty())
    return {};
  platform::Result<std::wstring> full = platform::FullPath(path);
  if (!full.ok())
    return {};
  std::wstring form = std::move(full.value);
  if (platform::Result<std::wstring> long_form = platform::LongPath(form); long_form.ok())
    form = long_form.value;
  if ((form.starts_with(L"\\\\?\\") || form.starts_with(L"\\\\.\\")) && form.size() >= 6 &&
      form[5] == L':')
    form.erase(0, 4);
  return WithoutTrailingSeparators(form);
}

bool IsSafeToClean(const std::wstring& folder, CleanedFolder which) {
  const std::wstring form = ComparableForm(folder);
  if (form.empty() || !IsCleanableFolder(folder))
    return false;
  // A folder that exists but cannot be opened cannot be known.
  platform::Result<platform::FileIdentity> identity = platform::IdentityOf(form);
  if (!identity.ok() && !IsMissing(identity.status))
    return false;
  const Places places = PlacesFor(which);
  for (const std::wstring& spelling : Spellings(form)) {
    // Holding a protected tree is refused at any place, by text first, which also covers
    // protected folders not made yet.
    if (places.above_trees.Has(spelling, identity.ok() ? &identity.value : nullptr))
      return false;
    if (LiesInAProtectedTree(spelling, places))
      return false;
  }
  return true;
}

bool IsCleanableFolder(const std::wstring& folder) {
  if (folder.empty() || !IsAbsolute(folder))
    return false;
  platform::Result<std::wstring> full = platform::FullPath(folder);
  if (!full.ok() || IsRoot(full.value))
    return false;
  return !platform::fs::IsLink(full.value);
}

std::wstring WithTrailingBackslash(const std::wstring& folder) {
  return !folder.empty() && folder.back() == L'\\' ? folder : folder + L'\\';
}

bool LeftAsLink(const std::wstring& path) {
  if (!platform::fs::IsLink(path))
    return false;
  platform::tally::NoteLinkLeft();
  return true;
}

void DeleteLooseFiles(const std::wstring& folder) {
  namespace deletion = platform::deletion;
  deletion::Folder opened;
  if (platform::Status status = deletion::Folder::Open(folder, &opened); !status) {
    if (deletion::IsLinkRefused(status))
      platform::tally::NoteLinkLeft();
    return;
  }
  // Errors ignored: a file that cannot be deleted stays and the next one is tried.
  (void)deletion::DeletePlainFiles(opened, deletion::ReadOnly::kLifted);
}
