// Helpers of the workbench tests: the suites, running a script in a main window, and letting
// queued events and deferred deletions happen.
#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QObject>
#include <QPlainTextEdit>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "ui/main_window.h"

namespace quoll_test {

std::unique_ptr<QObject> NewMainWindowTest();
std::unique_ptr<QObject> NewEditorWindowTest();
std::unique_ptr<QObject> NewDialogsTest();
std::unique_ptr<QObject> NewDebuggingTest();
std::unique_ptr<QObject> NewFindTest();
std::unique_ptr<QObject> NewFormsTest();
std::unique_ptr<QObject> NewCardPanesTest();
std::unique_ptr<QObject> NewCardStackTest();

inline void Flush() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline QAction* Action(quoll::MainWindow& form, const char* name) {
  return form.findChild<QAction*>(name);
}

inline QStringList OutputLines(quoll::MainWindow& form) {
  return form.Output()->toPlainText().split('\n');
}

// Plays the user during a run at exact points instead of after delays: it takes over the main
// window's statement-hook pump, so it is asked before every statement and over and over while a
// script is paused. Steps run in order, each once its condition holds. A paused script with no
// step ready, or a run that outlasts a generous number of statements, is stopped and noted, so a
// faulty test ends instead of hanging.
class ScriptedUser : public QObject {
 public:
  // The form's scripted user, made on first use; the form owns it.
  static ScriptedUser& Of(quoll::MainWindow& form) {
    if (auto* user = form.findChild<QObject*>("scriptedUser", Qt::FindDirectChildrenOnly))
      return *static_cast<ScriptedUser*>(user);
    return *new ScriptedUser(form);
  }

  void Then(std::function<bool()> ready, std::function<void()> action) {
    steps_.push_back({std::move(ready), std::move(action)});
  }
  bool Done() const { return steps_.empty(); }
  const QStringList& Problems() const { return problems_; }

 private:
  struct Step {
    std::function<bool()> ready;
    std::function<void()> action;
  };
  static constexpr long kMaxStatements = 2000000;
  static constexpr int kMaxIdlePausedPumps = 100;

  explicit ScriptedUser(quoll::MainWindow& form) : QObject(&form), form_(form) {
    setObjectName("scriptedUser");
    form.SetMessagePump([this](bool paused) { Pump(paused); });
  }

  void Pump(bool paused) {
    QCoreApplication::processEvents();  // the windows update as they would between statements
    if (!steps_.empty() && steps_.front().ready()) {
      idlePausedPumps_ = 0;
      std::function<void()> action = std::move(steps_.front().action);
      steps_.erase(steps_.begin());
      action();
      return;
    }
    if (paused ? ++idlePausedPumps_ > kMaxIdlePausedPumps : ++statements_ > kMaxStatements) {
      problems_ << (paused ? "paused with no user action ready" : "the run never reached the next action");
      idlePausedPumps_ = 0;
      form_.StopScript();
    }
  }

  quoll::MainWindow& form_;
  std::vector<Step> steps_;
  QStringList problems_;
  long statements_ = 0;
  int idlePausedPumps_ = 0;
};

// Adds a step to the form's scripted user: `action` runs at the first statement boundary or
// paused moment at which `ready` holds (after the earlier steps).
inline void When(quoll::MainWindow& form, std::function<bool()> ready, std::function<void()> action) {
  ScriptedUser::Of(form).Then(std::move(ready), std::move(action));
}

inline std::function<bool()> InState(quoll::MainWindow& form, quoll::RunState state) {
  return [&form, state] { return form.Host().State() == state; };
}

}  // namespace quoll_test
