#include "platform/events.h"

#include <windows.h>

#include <utility>

namespace platform {
namespace {

std::function<void()>& ProgressReport() {
  static std::function<void()> report;
  return report;
}

// True about every 100 ms: the pace at which long work shows its progress and gets painted.
bool Due() {
  constexpr ULONGLONG kIntervalMs = 100;
  static ULONGLONG last = 0;
  const ULONGLONG now = GetTickCount64();
  if (now - last < kIntervalMs)
    return false;
  last = now;
  return true;
}

}  // namespace

void DoEvents() {
  if (ProgressReport() && Due())
    ProgressReport()();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the request to end the program to the main message loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void KeepPainted() {
  if (!Due())
    return;
  if (ProgressReport())
    ProgressReport()();
  // PM_QS_PAINT takes paint messages only; peeking also tells the system that the thread is
  // alive, so the window is not flagged as not responding.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT))
    DispatchMessageW(&message);
}

ScopedProgressReport::ScopedProgressReport(std::function<void()> report) {
  ProgressReport() = std::move(report);
}

ScopedProgressReport::~ScopedProgressReport() {
  ProgressReport() = nullptr;
}

}  // namespace platform
