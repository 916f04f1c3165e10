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

void TextBox::SetText(const std::wstring& text) {
  if (!handle_)
    return;
  SetWindowTextW(handle_, text.c_str());
  // The lines the box shows at once, from its client height and the height of a line of its font.
  RECT client;
  GetClientRect(handle_, &client);
  HDC dc = GetDC(handle_);
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(handle_, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics;
  const bool measured = GetTextMetricsW(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(handle_, dc);
  const LONG line_height = measured && metrics.tmHeight > 0 ? metrics.tmHeight : 16;
  const LRESULT lines = SendMessageW(handle_, EM_GETLINECOUNT, 0, 0);
  ShowScrollBar(handle_, SB_VERT, lines * line_height > client.bottom - client.top);
  UpdateWindow(handle_);
}

}  // namespace platform::ui
