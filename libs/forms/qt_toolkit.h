// The forms library's toolkit on Qt Widgets: starts the application object when the program has
// none (quoll-run), pumps events for ProcessMessages, holds back user input to the windows of a
// paused script, and frees widgets only when no notification is running on the stack.
#pragma once

#include <QObject>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "libs/forms/native_control.h"

class QApplication;

namespace quoll::forms {

class QtToolkit;

// Swallows input to the windows of a script whose run is paused.
class InputHoldFilter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

class QtToolkit : public Toolkit {
 public:
  // Starts an application object unless the program has one; the platform is the one
  // QT_QPA_PLATFORM names, else the display's, with the offscreen platform as the fallback.
  QtToolkit();
  ~QtToolkit() override;

  std::unique_ptr<NativeControl> Make(ControlKind kind, ControlEvents& events, void* tag) override;
  void ProcessEvents() override;

  // Around every report of a control to the library (a script handler may run inside).
  void EnterNotification() { ++notifying_; }
  void LeaveNotification();
  // Frees a widget now, or, while a notification runs (the widget may be one whose event is being
  // handled further up the stack), once none does.
  void Discard(std::unique_ptr<QWidget> widget);

 private:
  void ReapDiscarded();

  int argc_ = 1;
  char programName_[16] = "quoll";
  char* argv_[2] = {programName_, nullptr};
  std::unique_ptr<QApplication> ownApplication_;  // first: every Qt object below goes before it
  InputHoldFilter inputHold_;
  QTimer wakeUp_;
  QObject reaper_;
  int notifying_ = 0;
  std::vector<std::unique_ptr<QWidget>> discarded_;
};

}  // namespace quoll::forms
