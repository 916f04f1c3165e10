#include "platform/ui/controls.h"

#include <windows.h>

namespace platform::ui {

std::wstring Control::Caption() const {
  if (!handle_)
    return {};
  int length = GetWindowTextLengthW(handle_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(handle_, text.data(), length + 1)));
  return text;
}

void Control::SetCaption(const std::wstring& caption) {
  if (!handle_)
    return;
  SetWindowTextW(handle_, caption.c_str());
  UpdateWindow(handle_);
}

bool Control::Enabled() const {
  return handle_ && IsWindowEnabled(handle_);
}

void Control::SetEnabled(bool enabled) {
  if (handle_)
    EnableWindow(handle_, enabled);
}

int CheckBox::Value() const {
  if (!handle_)
    return kUnchecked;
  switch (SendMessageW(handle_, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
      return kChecked;
    case BST_INDETERMINATE:
      return kGrey;
    default:
      return kUnchecked;
  }
}

void CheckBox::SetValue(int value) {
  if (value == Value())
    return;
  const WPARAM state = value == kChecked ? BST_CHECKED
                       : value == kGrey  ? BST_INDETERMINATE
                                         : BST_UNCHECKED;
  SendMessageW(handle_, BM_SETCHECK, state, 0);
  if (on_click)
    on_click();
}

}  // namespace platform::ui
