#pragma once
// Letting window events run in the middle of long work on the one user-interface thread.

#include <functional>

namespace platform {

// Dispatches every pending message of this thread (input included), then returns.
void DoEvents();

// Keeps the windows painted during long work without letting any other event run: about every
// 100 ms it dispatches pending paint messages only, so clicks and keys wait for the work to end.
// Cheap enough to call once per file or folder handled.
void KeepPainted();

// While it lives, `report` runs about every 100 ms of long work, from KeepPainted and DoEvents,
// just before they let the windows paint: the place to bring a progress display up to date.
class ScopedProgressReport {
 public:
  explicit ScopedProgressReport(std::function<void()> report);
  ScopedProgressReport(const ScopedProgressReport&) = delete;
  ScopedProgressReport& operator=(const ScopedProgressReport&) = delete;
  ~ScopedProgressReport();
};

}  // namespace platform
