#pragma once
// A small form engine over the Win32 window system: a top-level form holding frames, check
// boxes with three states, push buttons and click-able labels, placed in twips and coloured.
// The application describes its window with these; only this layer touches window handles.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/system.h"

namespace platform::ui {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

// A rectangle in twips (1/1440 inch) in the form's client coordinates.
struct TwipsRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct FontSpec {
  std::wstring face;
  double points = 8.25;
  int weight = 400;
};

struct ControlStyle {
  std::optional<Rgb> background;
  std::optional<Rgb> text;
  std::optional<FontSpec> font;
  // The control draws itself without the visual style, so that its text colour shows.
  bool unthemed = false;
};

// Check box states.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGrey = 2;

class Form;

class Control {
 public:
  Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  WindowHandle handle() const { return handle_; }
  std::wstring Caption() const;
  // Changes the caption and repaints the control at once, also in the middle of long work.
  void SetCaption(const std::wstring& caption);
  bool Enabled() const;
  void SetEnabled(bool enabled);

  // Runs on a click by the user (and, for check boxes, on a change of state made in code).
  std::function<void()> on_click;

 protected:
  friend class Form;
  friend struct FormAccess;
  WindowHandle handle_ = nullptr;
  ControlStyle style_;
  void* brush_ = nullptr;  // the background brush, owned by the form
  void* font_ = nullptr;   // owned by the form
};

class CheckBox : public Control {
 public:
  int Value() const;
  // Sets the state (0, 1 or 2); when the state changes, the click procedure runs, as it does
  // when the user clicks.
  void SetValue(int value);
};

class Button : public Control {};
class Label : public Control {};
class Frame : public Control {};

// A read-only text of several lines, which the user can select and copy, and screen readers
// read; its vertical scroll bar shows only when the text is longer than the box.
class TextBox : public Control {
 public:
  void SetText(const std::wstring& text);
};

}  // namespace platform::ui
