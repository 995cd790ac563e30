// Helpers of the workbench tests: the suites, running a script in a main window, and letting
// queued events and deferred deletions happen.
#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QObject>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

#include "ui/main_window.h"

namespace quoll_test {

std::unique_ptr<QObject> NewMainWindowTest();
std::unique_ptr<QObject> NewEditorWindowTest();
std::unique_ptr<QObject> NewDialogsTest();

inline void Flush() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline QAction* Action(quoll::TMainForm& form, const char* name) {
  return form.findChild<QAction*>(name);
}

inline QStringList OutputLines(quoll::TMainForm& form) {
  return form.Output()->toPlainText().split('\n');
}

// Runs `action` from inside the run's event processing as soon as `ready` holds (checked every few
// milliseconds); a later safety Stop keeps a faulty test from running for ever.
inline void When(quoll::TMainForm& form, std::function<bool()> ready, std::function<void()> action) {
  auto* timer = new QTimer(&form);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, &form,
                   [timer, ready = std::move(ready), action = std::move(action)] {
                     if (!ready()) return;
                     timer->stop();
                     timer->deleteLater();
                     action();
                   });
  timer->start();
  QTimer::singleShot(5000, &form, [&form] { form.StopScript(); });
}

inline std::function<bool()> InState(quoll::TMainForm& form, quoll::RunState state) {
  return [&form, state] { return form.Host().State() == state; };
}

}  // namespace quoll_test
