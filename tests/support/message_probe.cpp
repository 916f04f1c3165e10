#include "support/message_probe.h"

namespace test {
namespace {
const wchar_t kClassName[] = L"NimbrelMessageProbe";
}  // namespace

MessageProbe::MessageProbe() {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = kClassName;
  RegisterClassW(&window_class);  // fails harmlessly when a previous probe registered it
  window_ = CreateWindowExW(0, kClassName, L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                            100, nullptr, nullptr, window_class.hInstance, this);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageW(&message);
  paints_ = 0;
  app_messages_ = 0;
}

MessageProbe::~MessageProbe() {
  if (window_)
    DestroyWindow(window_);
}

void MessageProbe::Prime() {
  InvalidateRect(window_, nullptr, TRUE);
  PostMessageW(window_, WM_APP, 0, 0);
}

bool MessageProbe::AppMessagePending() const {
  MSG message;
  return PeekMessageW(&message, window_, WM_APP, WM_APP, PM_NOREMOVE);
}

LRESULT CALLBACK MessageProbe::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(l);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* probe = reinterpret_cast<MessageProbe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (probe && message == WM_PAINT) {
    ++probe->paints_;
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return 0;
  }
  if (probe && message == WM_APP)
    ++probe->app_messages_;
  return DefWindowProcW(window, message, w, l);
}

}  // namespace test
