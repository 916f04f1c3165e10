#pragma once
// Races against the deletion core, run at exact points of its walk: an entry swapped for a link
// after the core listed it and before it opens it, and a handle that Windows would show as a
// reparse point (a folder turned into a junction in place, which Windows allows and Wine cannot
// make).

#include <string>

namespace test {

// While alive, the first time the core is about to open or change `victim` (a folder's path
// ending in "\"), `victim` is replaced by a Unix link to `target`.
class SwapForLinkBeforeOpen {
 public:
  SwapForLinkBeforeOpen(const std::wstring& victim, const std::wstring& target);
  SwapForLinkBeforeOpen(const SwapForLinkBeforeOpen&) = delete;
  SwapForLinkBeforeOpen& operator=(const SwapForLinkBeforeOpen&) = delete;
  ~SwapForLinkBeforeOpen();
  bool swapped() const { return swapped_; }

 private:
  bool swapped_ = false;
};

// While alive, every handle the deletion core opens on the file or folder now at `path` reports
// itself a reparse point, as Windows shows a junction or symbolic link opened as itself. One at
// a time.
class HandleSeenAsLink {
 public:
  explicit HandleSeenAsLink(const std::wstring& path);
  HandleSeenAsLink(const HandleSeenAsLink&) = delete;
  HandleSeenAsLink& operator=(const HandleSeenAsLink&) = delete;
  ~HandleSeenAsLink();
};

}  // namespace test
