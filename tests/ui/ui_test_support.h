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

// Runs `during` once the script has been running (or paused) for a moment, from inside the run's
// event processing; a later safety Stop keeps a faulty test from running for ever.
inline void During(quoll::TMainForm& form, int ms, std::function<void()> during) {
  QTimer::singleShot(ms, &form, std::move(during));
  QTimer::singleShot(5000, &form, [&form] { form.StopScript(); });
}

}  // namespace quoll_test
