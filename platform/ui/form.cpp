#include "platform/ui/form.h"

#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

namespace platform::ui {

// Reaches the private parts of forms and controls from the window procedures.
struct FormAccess {
  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static Control* FindControl(Form& form, HWND child);
  static LRESULT ColourStatic(Form& form, HDC dc, HWND child);
  static void DrawButton(Form& form, const DRAWITEMSTRUCT& item);
  static void PaintFrame(Control& frame, HWND window);
};

namespace {

const wchar_t kFormClass[] = L"NimbrelForm";
const wchar_t kFrameClass[] = L"NimbrelFrame";
constexpr int kFirstControlId = 100;
// The first form created is the program's main window: closing it ends the message loop, even
// when hidden forms remain.
HWND g_main_form = nullptr;

COLORREF ToColorRef(Rgb colour) {
  return RGB(colour.r, colour.g, colour.b);
}

int Pixels(int twips, int dpi) {
  return MulDiv(twips, dpi, 1440);
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.lpszClassName = name;
  RegisterClassExW(&window_class);
}

void RegisterClasses() {
  static bool registered = false;
  if (registered)
    return;
  registered = true;
  RegisterWindowClass(kFormClass, FormAccess::FormProc);
  RegisterWindowClass(kFrameClass, FormAccess::FrameProc);
}

}  // namespace

Control* FormAccess::FindControl(Form& form, HWND child) {
  auto it = std::find_if(form.controls_.begin(), form.controls_.end(),
                         [child](Control* c) { return c->handle_ == child; });
  return it == form.controls_.end() ? nullptr : *it;
}

LRESULT FormAccess::ColourStatic(Form& form, HDC dc, HWND child) {
  Control* control = FindControl(form, child);
  if (!control || !control->brush_)
    return reinterpret_cast<LRESULT>(form.background_brush_);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, ToColorRef(*control->style_.background));
  SetTextColor(
      dc, control->style_.text ? ToColorRef(*control->style_.text) : GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(control->brush_);
}

// The push button is drawn by the form so that its face takes the colour asked for, which the
// system's own drawing ignores.
void FormAccess::DrawButton(Form& form, const DRAWITEMSTRUCT& item) {
  Control* control = FindControl(form, item.hwndItem);
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const bool pressed = item.itemState & ODS_SELECTED;
  const bool disabled = item.itemState & ODS_DISABLED;
  COLORREF face = control && control->style_.background ? ToColorRef(*control->style_.background)
                                                        : GetSysColor(COLOR_BTNFACE);
  HBRUSH brush = CreateSolidBrush(face);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
  DrawEdge(dc, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  wchar_t text[128] = {};
  GetWindowTextW(item.hwndItem, text, 128);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_BTNTEXT));
  RECT text_rect = rect;
  if (pressed)
    OffsetRect(&text_rect, 1, 1);
  HGDIOBJ old_font = control && control->font_ ? SelectObject(dc, control->font_) : nullptr;
  DrawTextW(dc, text, -1, &text_rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (old_font)
    SelectObject(dc, old_font);
  if ((item.itemState & ODS_FOCUS) && !disabled) {
    RECT focus = rect;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
  }
}

// A frame: its background, an etched border and its caption over the border's top edge.
void FormAccess::PaintFrame(Control& frame, HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT rect;
  GetClientRect(window, &rect);
  HBRUSH brush = frame.brush_ ? static_cast<HBRUSH>(frame.brush_) : GetSysColorBrush(COLOR_BTNFACE);
  FillRect(dc, &rect, brush);
  HGDIOBJ old_font = frame.font_ ? SelectObject(dc, frame.font_) : nullptr;
  TEXTMETRICW metrics;
  GetTextMetricsW(dc, &metrics);
  RECT border = rect;
  border.top += metrics.tmHeight / 2;
  DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  wchar_t caption[128] = {};
  GetWindowTextW(window, caption, 128);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, frame.style_.background ? ToColorRef(*frame.style_.background)
                                         : GetSysColor(COLOR_BTNFACE));
  SetTextColor(dc,
               frame.style_.text ? ToColorRef(*frame.style_.text) : GetSysColor(COLOR_WINDOWTEXT));
  RECT text_rect = {rect.left + 8, rect.top, rect.right - 8, rect.top + metrics.tmHeight};
  DrawTextW(dc, caption, -1, &text_rect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  if (old_font)
    SelectObject(dc, old_font);
  EndPaint(window, &paint);
}

LRESULT CALLBACK FormAccess::FrameProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* frame = reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_PAINT:
      if (frame) {
        PaintFrame(*frame, window);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // clicks go to the form beneath
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK FormAccess::FormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!form)
    return DefWindowProcW(window, message, wparam, lparam);
  switch (message) {
    case WM_ERASEBKGND: {
      RECT rect;
      GetClientRect(window, &rect);
      FillRect(reinterpret_cast<HDC>(wparam), &rect, static_cast<HBRUSH>(form->background_brush_));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ColourStatic(*form, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DRAWITEM:
      DrawButton(*form, *reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_COMMAND: {
      Control* control = FindControl(*form, reinterpret_cast<HWND>(lparam));
      if (control && HIWORD(wparam) == BN_CLICKED) {
        if (auto* box = dynamic_cast<CheckBox*>(control))
          box->SetValue(box->Value() == kChecked ? kUnchecked : kChecked);
        else if (control->on_click)
          control->on_click();
        return 0;
      }
      break;
    }
    case WM_SETCURSOR:
      if (form->busy_) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      if (Control* control = FindControl(*form, reinterpret_cast<HWND>(wparam));
          control && dynamic_cast<Label*>(control) && control->on_click) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) {
        HWND focus = GetFocus();
        if (!focus || GetParent(focus) != window) {
          HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
          if (first)
            SetFocus(first);
        }
        return 0;
      }
      break;
    case WM_CLOSE:
      if (form->busy_) {
        form->close_pending_ = true;
        return 0;
      }
      break;
    case WM_DESTROY:
      form->handle_ = nullptr;
      if (window == g_main_form) {
        g_main_form = nullptr;
        PostQuitMessage(0);
      }
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

Form::Form() = default;

Form::~Form() {
  if (handle_)
    DestroyWindow(handle_);
  for (void* object : gdi_objects_)
    DeleteObject(static_cast<HGDIOBJ>(object));
}

Status Form::Create(const std::wstring& caption, int client_width_twips, int client_height_twips,
                    Rgb background, int icon_id) {
  RegisterClasses();
  dpi_ = ScreenDpi();
  background_brush_ = CreateSolidBrush(ToColorRef(background));
  gdi_objects_.push_back(background_brush_);
  RECT rect = {0, 0, Pixels(client_width_twips, dpi_), Pixels(client_height_twips, dpi_)};
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  const DWORD ex_style = WS_EX_CONTROLPARENT;
  AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  HWND window = CreateWindowExW(ex_style, kFormClass, caption.c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top,
                                nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!window)
    return Status::FromLastError();
  handle_ = window;
  if (!g_main_form)
    g_main_form = window;
  if (icon_id) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto load = [&](int metric_x, int metric_y) {
      return LoadImageW(instance, MAKEINTRESOURCEW(icon_id), IMAGE_ICON, GetSystemMetrics(metric_x),
                        GetSystemMetrics(metric_y), LR_SHARED);
    };
    SendMessageW(window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(load(SM_CXICON, SM_CYICON)));
    SendMessageW(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(load(SM_CXSMICON, SM_CYSMICON)));
  }
  return Status::Ok();
}

void Form::AddControl(Control& control, const wchar_t* window_class, unsigned long style,
                      const std::wstring& caption, TwipsRect place, ControlStyle control_style) {
  const int id = kFirstControlId + static_cast<int>(controls_.size());
  HWND child = CreateWindowExW(
      0, window_class, caption.c_str(), WS_CHILD | WS_VISIBLE | style, Pixels(place.left, dpi_),
      Pixels(place.top, dpi_), Pixels(place.width, dpi_), Pixels(place.height, dpi_), handle_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  control.handle_ = child;
  control.style_ = control_style;
  if (control_style.background) {
    control.brush_ = CreateSolidBrush(ToColorRef(*control_style.background));
    gdi_objects_.push_back(control.brush_);
  }
  FontSpec font = control_style.font.value_or(FontSpec{L"MS Sans Serif", 8.25, FW_NORMAL});
  control.font_ = CreateFontW(-MulDiv(static_cast<int>(font.points * 100 + 0.5), dpi_, 7200), 0, 0,
                              0, font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, font.face.c_str());
  gdi_objects_.push_back(control.font_);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(control.font_), FALSE);
  if (control_style.unthemed)
    SetWindowTheme(child, L"", L"");
  controls_.push_back(&control);
}

void Form::Add(TextBox& box, const std::wstring& text, TwipsRect place, ControlStyle style) {
  AddControl(box, WC_EDITW,
             ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
             text, place, style);
  box.SetText(text);
}

void Form::Add(CheckBox& box, const std::wstring& caption, TwipsRect place, ControlStyle style) {
  AddControl(box, WC_BUTTONW, BS_3STATE | WS_TABSTOP, caption, place, style);
}

void Form::Add(Button& button, const std::wstring& caption, TwipsRect place, ControlStyle style) {
  AddControl(button, WC_BUTTONW, BS_OWNERDRAW | WS_TABSTOP, caption, place, style);
}

void Form::Add(Label& label, const std::wstring& caption, TwipsRect place, ControlStyle style) {
  AddControl(label, WC_STATICW, SS_NOTIFY | SS_LEFT, caption, place, style);
}

void Form::Add(Frame& frame, const std::wstring& caption, TwipsRect place, ControlStyle style) {
  AddControl(frame, kFrameClass, WS_CLIPSIBLINGS, caption, place, style);
  SetWindowLongPtrW(frame.handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&frame));
  SetWindowPos(frame.handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Form::CentreOnScreen() {
  RECT rect;
  GetWindowRect(handle_, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(handle_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show() {
  if (!handle_)
    return;
  ShowWindow(handle_, SW_SHOW);
  UpdateWindow(handle_);
}

bool Form::Visible() const {
  return handle_ && IsWindowVisible(handle_);
}

void Form::SetBusy(bool busy) {
  busy_ = busy;
  POINT cursor;
  GetCursorPos(&cursor);
  if (handle_ && WindowFromPoint(cursor) &&
      (WindowFromPoint(cursor) == handle_ || IsChild(handle_, WindowFromPoint(cursor))))
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  if (!busy && close_pending_) {
    close_pending_ = false;
    Close();
  }
}

void Form::Close() {
  if (handle_)
    PostMessageW(handle_, WM_CLOSE, 0, 0);
}

int Form::RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root && IsDialogMessageW(root, &message))
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void InitCommonControls() {
  ::InitCommonControls();
}

}  // namespace platform::ui
