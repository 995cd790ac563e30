// One control of a script on a Qt widget: a form is a top-level QWidget, a button a QPushButton,
// an edit a QLineEdit, a label a QLabel and a memo a QPlainTextEdit. It reports clicks, double
// clicks, typed characters, text changes and close requests to the library, and keeps the values
// that Qt does not (colour numbers, the script's own Visible and Enabled flags).
#pragma once

#include <QObject>
#include <QWidget>
#include <memory>

#include "libs/forms/native_control.h"

class QKeyEvent;

namespace quoll::forms {

class QtToolkit;

class QtControl : public QObject, public NativeControl {
 public:
  QtControl(QtToolkit& toolkit, ControlKind kind, ControlEvents& events, void* tag);
  ~QtControl() override;

  // The control of a script form's window, or nullptr for any other window.
  static QtControl* OfWindow(QWidget* window);
  bool InputHeld() { return events_.InputHeld(tag_); }
  QWidget* Widget() const { return widget_.get(); }

  ControlKind Kind() const override { return kind_; }
  bool IsWindowed() const override { return kind_ != ControlKind::Label; }
  void SetParent(NativeControl* parent) override;
  void DetachChildren() override;

  int Left() const override { return widget_->x(); }
  int Top() const override { return widget_->y(); }
  int Width() const override { return widget_->width(); }
  int Height() const override { return widget_->height(); }
  void SetBounds(int left, int top, int width, int height) override;
  bool Visible() const override;
  void SetVisible(bool visible) override;
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;
  uint32_t Color() const override { return color_; }
  void SetColor(uint32_t color) override;

  std::string FontName() const override;
  void SetFontName(const std::string& name) override;
  int FontSize() const override;
  void SetFontSize(int points) override;
  uint32_t FontColor() const override { return fontColor_; }
  void SetFontColor(uint32_t color) override;
  uint8_t FontStyle() const override;
  void SetFontStyle(uint8_t bits) override;

  std::string Text() const override;
  void SetText(const std::string& text) override;
  bool ReadOnly() const override;
  void SetReadOnly(bool readOnly) override;
  bool IsDefault() const override { return default_; }
  void SetDefault(bool on) override;
  bool IsCancel() const override { return cancel_; }
  void SetCancel(bool on) override;
  BorderStyle Border() const override { return border_; }
  void SetBorder(BorderStyle style) override;
  uint8_t BorderIcons() const override { return icons_; }
  void SetBorderIcons(uint8_t bits) override;
  void Center() override;
  void Close() override;
  void SetActiveControl(NativeControl& control) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs a report to the library; false when this control was freed meanwhile.
  template <typename Report>
  bool Reported(Report report);
  bool HandleKey(QObject* watched, QKeyEvent* key);
  bool ClickDefaultOrCancel(QKeyEvent* key);
  void ApplyPalette();
  void ApplyWindowFlags();
  void FitLabel();

  QtToolkit& toolkit_;
  const ControlKind kind_;
  ControlEvents& events_;
  void* const tag_;
  std::unique_ptr<QWidget> widget_;
  // Shared with every report in progress, which finds it false once this control is gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool hasParent_ = false;
  bool visible_;
  bool enabled_ = true;
  bool colorSet_ = false;
  bool fontColorSet_ = false;
  uint32_t color_;
  uint32_t fontColor_;
  bool default_ = false;
  bool cancel_ = false;
  BorderStyle border_ = BorderStyle::Sizeable;
  uint8_t icons_ = kSystemMenu | kMinimize | kMaximize;
  bool replayingKey_ = false;
};

}  // namespace quoll::forms
