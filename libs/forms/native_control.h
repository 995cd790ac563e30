// The seam between the forms library and the windowing toolkit: a native control as the library
// uses it, what a control reports back, and the toolkit that makes controls and pumps events.
// Plain C++ on both sides, so the library itself needs no toolkit and a program may load the
// toolkit as a shared module only when a script first makes a control.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace quoll::forms {

enum class ControlKind : uint8_t { Form, Button, Edit, Label, Memo };

enum class Notification : uint8_t { Click, DoubleClick, Change };

// Font style bits, as scripts add them up.
enum FontStyleBits : uint8_t { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeOut = 8 };
// Border icon bits of a form.
enum BorderIconBits : uint8_t { kSystemMenu = 1, kMinimize = 2, kMaximize = 4 };
enum class BorderStyle : uint8_t { None = 0, Single = 1, Dialog = 2, Sizeable = 3 };

// What a native control reports. `tag` is the value the library gave when it made the control.
class ControlEvents {
 public:
  virtual ~ControlEvents() = default;
  virtual void Notify(void* tag, Notification what) = 0;
  // A typed character in the byte range; returns the character the control is to receive
  // (0: the key is suppressed).
  virtual uint8_t KeyPress(void* tag, uint8_t key) = 0;
  // The form is asked to close; returns whether it may.
  virtual bool CloseQuery(void* tag, bool canClose) = 0;
  // Whether the user's input to the window of the control `tag` is held back for now (the script
  // that made it is paused in the debugger, so none of its handlers may run).
  virtual bool InputHeld(void* tag) = 0;
};

// One native control. It may be destroyed at any time, also from inside one of its own
// notifications; from then on it reports nothing. Colours are the dialect's colour numbers ($00BBGGRR, or
// $80000000 plus a system colour index); strings are script bytes.
class NativeControl {
 public:
  virtual ~NativeControl() = default;

  virtual ControlKind Kind() const = 0;
  // A windowed control can hold child controls and take the focus (a label can do neither).
  virtual bool IsWindowed() const = 0;
  // Puts the control on `parent` (nullptr: on none).
  virtual void SetParent(NativeControl* parent) = 0;
  // Takes every child control off this one, so that freeing it frees none of them.
  virtual void DetachChildren() = 0;

  virtual int Left() const = 0;
  virtual int Top() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetBounds(int left, int top, int width, int height) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual uint32_t Color() const = 0;
  virtual void SetColor(uint32_t color) = 0;

  virtual std::string FontName() const = 0;
  virtual void SetFontName(const std::string& name) = 0;
  virtual int FontSize() const = 0;
  virtual void SetFontSize(int points) = 0;
  virtual uint32_t FontColor() const = 0;
  virtual void SetFontColor(uint32_t color) = 0;
  virtual uint8_t FontStyle() const = 0;
  virtual void SetFontStyle(uint8_t bits) = 0;

  // A form's title, a button's or label's caption, an edit's or memo's text.
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  // Edits and memos.
  virtual bool ReadOnly() const { return false; }
  virtual void SetReadOnly(bool /*readOnly*/) {}
  // Buttons: clicked by Enter (default) or Escape (cancel) anywhere on their form.
  virtual bool IsDefault() const { return false; }
  virtual void SetDefault(bool /*on*/) {}
  virtual bool IsCancel() const { return false; }
  virtual void SetCancel(bool /*on*/) {}
  // Forms.
  virtual BorderStyle Border() const { return BorderStyle::None; }
  virtual void SetBorder(BorderStyle /*style*/) {}
  virtual uint8_t BorderIcons() const { return 0; }
  virtual void SetBorderIcons(uint8_t /*bits*/) {}
  virtual void Center() {}
  virtual void Close() {}
  // Gives the focus to `control` (a windowed control); on a form.
  virtual void SetActiveControl(NativeControl& /*control*/) {}
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;
  virtual std::unique_ptr<NativeControl> Make(ControlKind kind, ControlEvents& events, void* tag) = 0;
  // Processes the pending events; when there were none, waits a little for one, so that a script
  // that pumps in a loop does not keep a processor busy.
  virtual void ProcessEvents() = 0;
};

}  // namespace quoll::forms
