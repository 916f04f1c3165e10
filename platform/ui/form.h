#pragma once
// The top-level form: an ordinary resizable window whose controls keep fixed positions.

#include <memory>
#include <string>
#include <vector>

#include "platform/status.h"
#include "platform/ui/controls.h"

namespace platform::ui {

class Form {
 public:
  Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;
  ~Form();

  // Creates the (hidden) window with a client area of the given size, converted from twips
  // with the screen's DPI. `icon_id` names an icon resource of the program (0 for none).
  Status Create(const std::wstring& caption, int client_width_twips, int client_height_twips,
                Rgb background, int icon_id);
  // Controls are created in keyboard focus order; frames and labels take no focus. Frames are
  // kept behind every other control whatever the order of creation.
  void Add(CheckBox& box, const std::wstring& caption, TwipsRect place, ControlStyle style);
  void Add(Button& button, const std::wstring& caption, TwipsRect place, ControlStyle style);
  void Add(Label& label, const std::wstring& caption, TwipsRect place, ControlStyle style);
  void Add(Frame& frame, const std::wstring& caption, TwipsRect place, ControlStyle style);
  void Add(TextBox& box, const std::wstring& text, TwipsRect place, ControlStyle style);

  void CentreOnScreen();
  // Shows the window modeless and gives the focus to the first control in focus order.
  void Show();
  bool Visible() const;
  // While busy, the wait cursor shows over the form, and a request to close the form is kept
  // until the form is no longer busy (the work in progress is never cut in the middle).
  void SetBusy(bool busy);
  void Close();
  WindowHandle handle() const { return handle_; }
  // The form's DPI, used to convert twips to pixels.
  int dpi() const { return dpi_; }

  // Runs the message loop of the thread until the main form (the first one created) is closed,
  // whatever hidden forms remain; returns the exit code.
  static int RunMessageLoop();

 private:
  friend struct FormAccess;
  void AddControl(Control& control, const wchar_t* window_class, unsigned long style,
                  const std::wstring& caption, TwipsRect place, ControlStyle control_style);

  WindowHandle handle_ = nullptr;
  int dpi_ = 96;
  void* background_brush_ = nullptr;
  std::vector<Control*> controls_;
  std::vector<void*> gdi_objects_;
  bool busy_ = false;
  bool close_pending_ = false;
};

// Initialises the common controls library.
void InitCommonControls();

}  // namespace platform::ui
