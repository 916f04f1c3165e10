#pragma once
// A visible window of the test's own that counts what reaches it, to see which events a long
// piece of work lets run: paint messages, and an application message posted to it.

#include <windows.h>

namespace test {

class MessageProbe {
 public:
  // Creates the window and lets its first messages run, so the counts start from zero.
  MessageProbe();
  MessageProbe(const MessageProbe&) = delete;
  MessageProbe& operator=(const MessageProbe&) = delete;
  ~MessageProbe();

  bool valid() const { return window_ != nullptr; }
  // Marks the window for repainting and posts one WM_APP to it.
  void Prime();
  int paints() const { return paints_; }
  int app_messages() const { return app_messages_; }
  // True while the posted WM_APP is still waiting in the queue.
  bool AppMessagePending() const;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  HWND window_ = nullptr;
  int paints_ = 0;
  int app_messages_ = 0;
};

}  // namespace test
