#include "platform/events.h"

#include <windows.h>

namespace platform {

void DoEvents() {
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
  constexpr ULONGLONG kIntervalMs = 100;
  static ULONGLONG last = 0;
  ULONGLONG now = GetTickCount64();
  if (now - last < kIntervalMs)
    return;
  last = now;
  // PM_QS_PAINT takes paint messages only; peeking also tells the system that the thread is
  // alive, so the window is not flagged as not responding.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT))
    DispatchMessageW(&message);
}

}  // namespace platform
