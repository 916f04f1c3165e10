#include "cleaners/browsers/profile_files.h"

#include <utility>
#include <vector>

#include "cleaners/browsers/name_match.h"
#include "inventory/purge.h"
#include "platform/events.h"
#include "platform/paths.h"
#include "platform/tally.h"

namespace browsers {
namespace {

using platform::deletion::Entry;
using platform::deletion::Folder;
using platform::deletion::ReadOnly;

// Deeper than any cache the browsers lay out; a deeper tree is left where it is.
constexpr int kMaxCacheDepth = 16;

bool IsDatabaseFile(const std::wstring& name, std::initializer_list<const wchar_t*> names) {
  for (const wchar_t* base : names) {
    for (const wchar_t* suffix : {L"", L"-journal", L"-wal", L"-shm"}) {
      if (platform::SamePathText(name, std::wstring(base) + suffix))
        return true;
    }
  }
  return false;
}

// A sub-folder that could not be opened as listed: a link stays, and counts as left.
void NoteNotOpened(const platform::Status& opened) {
  if (platform::deletion::IsLinkRefused(opened))
    platform::tally::NoteLinkLeft();
  else if (!platform::deletion::IsGone(opened))
    platform::tally::NoteDeletion(opened);
}

void EmptyFiles(const Folder& folder, int depth) {
  std::vector<Entry> entries;
  if (platform::Status listed = folder.List(&entries); !listed) {
    platform::tally::NoteDeletion(listed);
    return;
  }
  for (const Entry& entry : entries) {
    if (entry.IsReparsePoint()) {
      platform::tally::NoteLinkLeft();
    } else if (entry.IsDirectory()) {
      Folder child;
      if (depth >= kMaxCacheDepth)
        platform::tally::NoteKept();
      else if (platform::Status opened = folder.OpenChild(entry, &child); !opened)
        NoteNotOpened(opened);
      else
        EmptyFiles(child, depth + 1);
    } else {
      (void)folder.DeleteChild(entry, ReadOnly::kLifted);  // the core counts what stays
    }
    platform::KeepPainted();
  }
}

}  // namespace

void DeleteDatabaseFiles(const Folder& folder, std::initializer_list<const wchar_t*> names) {
  std::vector<Entry> entries;
  if (!folder.List(&entries).ok())
    return;
  for (const Entry& entry : entries) {
    if (!entry.IsDirectory() && IsDatabaseFile(entry.name, names))
      (void)folder.DeleteChild(entry, ReadOnly::kLifted);
  }
}

void DeleteWebSiteFolders(const Folder& profile, const std::wstring& relative) {
  Folder storage;
  std::vector<Entry> entries;
  if (!profile.OpenBelow(relative, &storage).ok() || !storage.List(&entries).ok())
    return;
  for (const Entry& entry : entries) {
    if (!StartsWithIgnoringCase(entry.name, L"http"))
      continue;
    if (entry.IsReparsePoint()) {
      platform::tally::NoteLinkLeft();
    } else if (entry.IsDirectory()) {
      Folder site;
      if (platform::Status opened = storage.OpenChild(entry, &site); !opened)
        NoteNotOpened(opened);
      else
        (void)PurgeOpenedFolder(std::move(site));  // the purge counts what it leaves
    }
    platform::KeepPainted();
  }
}

void EmptyCacheFolder(const Folder& top, const std::wstring& relative) {
  Folder cache;
  if (platform::Status opened = top.OpenBelow(relative, &cache); !opened) {
    if (platform::deletion::IsLinkRefused(opened))
      platform::tally::NoteLinkLeft();
    return;
  }
  EmptyFiles(cache, 0);
}

}  // namespace browsers
