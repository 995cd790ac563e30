// The Qt toolkit: application start, the event pump with its short wait, input held back while a
// script is paused, and widgets freed at a safe moment.
#include "libs/forms/qt_toolkit.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <cstdio>
#include <cstdlib>

#include "libs/forms/qt_control.h"

namespace quoll::forms {
namespace {

// How long ProcessMessages waits for an event when none was pending.
constexpr int kIdleWaitMs = 10;

// Without a platform named, the display's (X11 or Wayland) is tried first; the offscreen platform
// is always the last resort, so a form script runs also where no display can be opened.
void ChoosePlatform() {
  const char* named = std::getenv("QT_QPA_PLATFORM");
  std::string platforms;
  if (named && *named) {
    platforms = named;
  } else {
    if (const char* w = std::getenv("WAYLAND_DISPLAY"); w && *w) platforms += "wayland;";
    if (const char* x = std::getenv("DISPLAY"); x && *x) platforms += "xcb;";
  }
  if (platforms.find("offscreen") == std::string::npos) platforms += "offscreen";
  setenv("QT_QPA_PLATFORM", platforms.c_str(), 1);
}

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

// A program that had no application object is a console program (quoll-run): its standard error
// carries the script's prompts and errors, not the toolkit's notes about the platform.
void KeepToolkitNotesQuiet(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

bool InputHoldFilter::eventFilter(QObject* watched, QEvent* event) {
  if (!IsUserInput(event->type()) || !watched->isWidgetType()) return false;
  QtControl* form = QtControl::OfWindow(static_cast<QWidget*>(watched)->window());
  if (!form || !form->InputHeld()) return false;
  if (event->type() == QEvent::Close) event->ignore();
  return true;
}

QtToolkit::QtToolkit() {
  if (!QCoreApplication::instance()) {
    ChoosePlatform();
    qInstallMessageHandler(KeepToolkitNotesQuiet);
    ownApplication_ = std::make_unique<QApplication>(argc_, argv_);
    QApplication::setQuitOnLastWindowClosed(false);
  }
  qApp->installEventFilter(&inputHold_);
  wakeUp_.setSingleShot(true);
  wakeUp_.setTimerType(Qt::PreciseTimer);
}

QtToolkit::~QtToolkit() {
  discarded_.clear();
  if (qApp) qApp->removeEventFilter(&inputHold_);
}

std::unique_ptr<NativeControl> QtToolkit::Make(ControlKind kind, ControlEvents& events, void* tag) {
  return std::make_unique<QtControl>(*this, kind, events, tag);
}

void QtToolkit::ProcessEvents() {
  ReapDiscarded();
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!dispatcher) return;
  QCoreApplication::sendPostedEvents();
  if (dispatcher->processEvents(QEventLoop::AllEvents)) return;
  // Nothing was pending: sleep until an event comes or the wake-up timer fires.
  wakeUp_.start(kIdleWaitMs);
  dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  wakeUp_.stop();
}

void QtToolkit::LeaveNotification() {
  if (--notifying_ == 0 && !discarded_.empty())
    QMetaObject::invokeMethod(
        &reaper_, [this] { ReapDiscarded(); }, Qt::QueuedConnection);
}

void QtToolkit::Discard(std::unique_ptr<QWidget> widget) {
  if (!widget || notifying_ == 0) return;  // freed on return
  widget->hide();
  widget->setParent(nullptr);
  discarded_.push_back(std::move(widget));
}

void QtToolkit::ReapDiscarded() {
  if (notifying_ == 0) discarded_.clear();
}

}  // namespace quoll::forms
