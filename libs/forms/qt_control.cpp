// A script control on a Qt widget. Clicks and double clicks of edits, labels, memos and forms come
// from mouse events (Qt has no such signal there); a button reports its clicked signal. Typed
// characters in the byte range go through the key-press handler first, which may replace or
// suppress them; Enter and Escape on a form click its default and cancel buttons.
#include "libs/forms/qt_control.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringDecoder>
#include <QVariant>

#include "libs/forms/qt_colors.h"
#include "libs/forms/qt_toolkit.h"

namespace quoll::forms {
namespace {

// The widget property that leads from a widget to its control.
constexpr const char* kControlProperty = "quollControl";

// Script strings are bytes: UTF-8 where they are valid UTF-8, else Latin-1. Texts read from a
// control come back as UTF-8.
QString FromScriptBytes(const std::string& bytes) {
  QStringDecoder decoder(QStringConverter::Utf8);
  QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (decoder.hasError()) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return text;
}
std::string ToScriptBytes(const QString& text) {
  return text.toUtf8().toStdString();
}

// A memo's lines end with CR LF in scripts, with LF in the widget.
QString ToWidgetLines(QString text) {
  return text.replace("\r\n", "\n").replace('\r', '\n');
}
QString ToScriptLines(QString text) {
  return text.replace('\n', "\r\n");
}

std::unique_ptr<QWidget> MakeWidget(ControlKind kind) {
  switch (kind) {
    case ControlKind::Form: {
      auto form = std::make_unique<QWidget>(nullptr, Qt::Window);
      form->setAttribute(Qt::WA_QuitOnClose, false);  // the workbench may close while it is open
      form->resize(400, 300);
      return form;
    }
    case ControlKind::Button: {
      auto button = std::make_unique<QPushButton>();
      button->setAutoDefault(false);
      button->resize(75, 25);
      return button;
    }
    case ControlKind::Edit: {
      auto edit = std::make_unique<QLineEdit>();
      edit->resize(121, 24);
      return edit;
    }
    case ControlKind::Label: {
      auto label = std::make_unique<QLabel>();
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::Memo: {
      auto memo = std::make_unique<QPlainTextEdit>();
      memo->resize(185, 89);
      return memo;
    }
  }
  return nullptr;
}

// The key code of a character put in place of the typed one.
int KeyFor(uint8_t ch) {
  switch (ch) {
    case '\r':
      return Qt::Key_Return;
    case '\b':
      return Qt::Key_Backspace;
    case '\t':
      return Qt::Key_Tab;
    case 27:
      return Qt::Key_Escape;
    default:
      break;
  }
  if (ch >= 'a' && ch <= 'z') return Qt::Key_A + (ch - 'a');
  if (ch >= 0x20 && ch < 0x7F) return ch;
  return Qt::Key_unknown;
}

QPalette::ColorRole BackgroundRole(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
      return QPalette::Button;
    case ControlKind::Edit:
    case ControlKind::Memo:
      return QPalette::Base;
    default:
      return QPalette::Window;
  }
}

QPalette::ColorRole ForegroundRole(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
      return QPalette::ButtonText;
    case ControlKind::Edit:
    case ControlKind::Memo:
      return QPalette::Text;
    default:
      return QPalette::WindowText;
  }
}

// The screen of the workbench's main window when there is one, else the primary screen.
QScreen* WorkbenchScreen() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "mainWindow") return w->screen();
  return QGuiApplication::primaryScreen();
}

}  // namespace

QtControl::QtControl(QtToolkit& toolkit, ControlKind kind, ControlEvents& events, void* tag)
    : toolkit_(toolkit),
      kind_(kind),
      events_(events),
      tag_(tag),
      widget_(MakeWidget(kind)),
      visible_(kind != ControlKind::Form),
      color_(kind == ControlKind::Edit || kind == ControlKind::Memo ? kColorWindow : kColorButtonFace),
      fontColor_(kColorWindowText) {
  widget_->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(this)));
  widget_->installEventFilter(this);
  if (auto* button = qobject_cast<QPushButton*>(widget_.get()))
    connect(button, &QPushButton::clicked, this,
            [this] { Reported([&] { events_.Notify(tag_, Notification::Click); }); });
  if (auto* edit = qobject_cast<QLineEdit*>(widget_.get()))
    connect(edit, &QLineEdit::textChanged, this,
            [this] { Reported([&] { events_.Notify(tag_, Notification::Change); }); });
  if (auto* memo = qobject_cast<QPlainTextEdit*>(widget_.get())) {
    memo->viewport()->installEventFilter(this);  // the memo's mouse events arrive there
    connect(memo, &QPlainTextEdit::textChanged, this,
            [this] { Reported([&] { events_.Notify(tag_, Notification::Change); }); });
  }
  if (kind_ == ControlKind::Form) ApplyWindowFlags();
}

QtControl::~QtControl() {
  *alive_ = false;
  widget_->removeEventFilter(this);
  if (auto* memo = qobject_cast<QPlainTextEdit*>(widget_.get())) memo->viewport()->removeEventFilter(this);
  widget_->setProperty(kControlProperty, QVariant());
  disconnect(widget_.get(), nullptr, this, nullptr);
  toolkit_.Discard(std::move(widget_));
}

QtControl* QtControl::OfWindow(QWidget* window) {
  if (!window) return nullptr;
  const QVariant v = window->property(kControlProperty);
  auto* control = v.isValid() ? static_cast<QtControl*>(v.value<void*>()) : nullptr;
  return control && control->kind_ == ControlKind::Form ? control : nullptr;
}

template <typename Report>
bool QtControl::Reported(Report report) {
  QtToolkit& toolkit = toolkit_;
  std::shared_ptr<bool> alive = alive_;
  toolkit.EnterNotification();
  report();
  toolkit.LeaveNotification();
  return *alive;
}

void QtControl::SetParent(NativeControl* parent) {
  if (kind_ == ControlKind::Form) return;  // a form is a window of its own
  auto* p = static_cast<QtControl*>(parent);
  hasParent_ = p != nullptr;
  widget_->setParent(p ? p->widget_.get() : nullptr);
  if (hasParent_ && visible_) widget_->show();
}

void QtControl::DetachChildren() {
  const QList<QWidget*> children = widget_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* child : children) {
    const QVariant v = child->property(kControlProperty);
    if (!v.isValid()) continue;
    auto* control = static_cast<QtControl*>(v.value<void*>());
    control->hasParent_ = false;
    child->setParent(nullptr);  // a control without a parent is not shown
  }
}

void QtControl::SetBounds(int left, int top, int width, int height) {
  widget_->move(left, top);
  const QSize size(std::max(width, 0), std::max(height, 0));
  if (kind_ == ControlKind::Form && (border_ == BorderStyle::Single || border_ == BorderStyle::Dialog))
    widget_->setFixedSize(size);
  else
    widget_->resize(size);
}

// A form is visible while its window is shown (closing it hides it); any other control as the
// script set it, shown only while it has a parent.
bool QtControl::Visible() const {
  return kind_ == ControlKind::Form ? !widget_->isHidden() : visible_;
}

void QtControl::SetVisible(bool visible) {
  visible_ = visible;
  if (kind_ == ControlKind::Form) {
    widget_->setVisible(visible);
    if (visible) widget_->raise();
  } else if (hasParent_) {
    widget_->setVisible(visible);
  }
}

void QtControl::SetEnabled(bool enabled) {
  enabled_ = enabled;
  widget_->setEnabled(enabled);
}

void QtControl::SetColor(uint32_t color) {
  color_ = color;
  colorSet_ = true;
  ApplyPalette();
}

void QtControl::SetFontColor(uint32_t color) {
  fontColor_ = color;
  fontColorSet_ = true;
  ApplyPalette();
}

// Until a script sets a colour the control keeps the look of the platform's style.
void QtControl::ApplyPalette() {
  const QPalette system = QApplication::palette(widget_.get());
  QPalette palette = widget_->palette();
  if (colorSet_) {
    const QColor background = ColorFromNumber(color_, system);
    palette.setColor(BackgroundRole(kind_), background);
    if (kind_ == ControlKind::Form || kind_ == ControlKind::Label) {
      palette.setColor(QPalette::Window, background);
      widget_->setAutoFillBackground(true);
    }
  }
  if (fontColorSet_) palette.setColor(ForegroundRole(kind_), ColorFromNumber(fontColor_, system));
  widget_->setPalette(palette);
}

std::string QtControl::FontName() const {
  return ToScriptBytes(widget_->font().family());
}

void QtControl::SetFontName(const std::string& name) {
  QFont font = widget_->font();
  font.setFamily(FromScriptBytes(name));
  widget_->setFont(font);
  FitLabel();
}

int QtControl::FontSize() const {
  const QFont font = widget_->font();
  if (font.pointSize() > 0) return font.pointSize();
  return static_cast<int>(font.pointSizeF() + 0.5);
}

void QtControl::SetFontSize(int points) {
  if (points <= 0) return;
  QFont font = widget_->font();
  font.setPointSize(points);
  widget_->setFont(font);
  FitLabel();
}

uint8_t QtControl::FontStyle() const {
  const QFont font = widget_->font();
  return static_cast<uint8_t>((font.bold() ? kBold : 0) | (font.italic() ? kItalic : 0) |
                              (font.underline() ? kUnderline : 0) | (font.strikeOut() ? kStrikeOut : 0));
}

void QtControl::SetFontStyle(uint8_t bits) {
  QFont font = widget_->font();
  font.setBold(bits & kBold);
  font.setItalic(bits & kItalic);
  font.setUnderline(bits & kUnderline);
  font.setStrikeOut(bits & kStrikeOut);
  widget_->setFont(font);
  FitLabel();
}

std::string QtControl::Text() const {
  switch (kind_) {
    case ControlKind::Form:
      return ToScriptBytes(widget_->windowTitle());
    case ControlKind::Button:
      return ToScriptBytes(static_cast<QPushButton*>(widget_.get())->text());
    case ControlKind::Edit:
      return ToScriptBytes(static_cast<QLineEdit*>(widget_.get())->text());
    case ControlKind::Label:
      return ToScriptBytes(static_cast<QLabel*>(widget_.get())->text());
    case ControlKind::Memo:
      return ToScriptBytes(ToScriptLines(static_cast<QPlainTextEdit*>(widget_.get())->toPlainText()));
  }
  return {};
}

void QtControl::SetText(const std::string& text) {
  const QString value = FromScriptBytes(text);
  switch (kind_) {
    case ControlKind::Form:
      widget_->setWindowTitle(value);
      break;
    case ControlKind::Button:
      static_cast<QPushButton*>(widget_.get())->setText(value);
      break;
    case ControlKind::Edit:
      static_cast<QLineEdit*>(widget_.get())->setText(value);  // its change handler may free this control
      break;
    case ControlKind::Label:
      static_cast<QLabel*>(widget_.get())->setText(value);
      FitLabel();
      break;
    case ControlKind::Memo:
      static_cast<QPlainTextEdit*>(widget_.get())->setPlainText(ToWidgetLines(value));
      break;
  }
}

bool QtControl::ReadOnly() const {
  if (auto* edit = qobject_cast<QLineEdit*>(widget_.get())) return edit->isReadOnly();
  if (auto* memo = qobject_cast<QPlainTextEdit*>(widget_.get())) return memo->isReadOnly();
  return false;
}

void QtControl::SetReadOnly(bool readOnly) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget_.get())) edit->setReadOnly(readOnly);
  if (auto* memo = qobject_cast<QPlainTextEdit*>(widget_.get())) memo->setReadOnly(readOnly);
}

void QtControl::SetDefault(bool on) {
  default_ = on;
  if (auto* button = qobject_cast<QPushButton*>(widget_.get())) button->setDefault(on);
}

void QtControl::SetCancel(bool on) {
  cancel_ = on;
}

void QtControl::SetBorder(BorderStyle style) {
  border_ = style;
  ApplyWindowFlags();
}

void QtControl::SetBorderIcons(uint8_t bits) {
  icons_ = bits;
  ApplyWindowFlags();
}

// none: frameless; single: fixed size; dialog: a dialog frame without minimise and maximise;
// sizeable: the normal frame. The icons need the system menu, as on the dialect's platform.
void QtControl::ApplyWindowFlags() {
  const bool systemMenu = icons_ & kSystemMenu;
  Qt::WindowFlags flags;
  switch (border_) {
    case BorderStyle::None:
      flags = Qt::Window | Qt::FramelessWindowHint;
      break;
    case BorderStyle::Dialog:
      flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
      if (systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
      break;
    case BorderStyle::Single:
    case BorderStyle::Sizeable:
      flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
      if (systemMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (icons_ & kMinimize) flags |= Qt::WindowMinimizeButtonHint;
        if (icons_ & kMaximize) flags |= Qt::WindowMaximizeButtonHint;
      }
      break;
  }
  const bool shown = widget_->isVisible();
  const QSize size = widget_->size();
  widget_->setWindowFlags(flags);
  if (border_ == BorderStyle::Single || border_ == BorderStyle::Dialog) {
    widget_->setFixedSize(size);
  } else {
    widget_->setMinimumSize(0, 0);
    widget_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
  if (shown) widget_->show();
}

void QtControl::Center() {
  QScreen* screen = WorkbenchScreen();
  if (!screen) return;
  QRect frame = widget_->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  widget_->move(frame.topLeft());
}

void QtControl::Close() {
  widget_->close();
}

void QtControl::SetActiveControl(NativeControl& control) {
  static_cast<QtControl&>(control).widget_->setFocus(Qt::OtherFocusReason);
}

void QtControl::FitLabel() {
  if (kind_ == ControlKind::Label) widget_->adjustSize();
}

bool QtControl::eventFilter(QObject* watched, QEvent* event) {
  const bool clickable = kind_ != ControlKind::Button;
  switch (event->type()) {
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      auto* target = static_cast<QWidget*>(watched);
      if (!clickable || mouse->button() != Qt::LeftButton ||
          !target->rect().contains(mouse->position().toPoint()))
        return false;
      // A form hears only the clicks on itself, not those that a control on it passed on.
      if (kind_ == ControlKind::Form && widget_->childAt(mouse->position().toPoint())) return false;
      if (!Reported([&] { events_.Notify(tag_, Notification::Click); })) return true;
      return kind_ == ControlKind::Label;
    }
    case QEvent::MouseButtonDblClick: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (!clickable || mouse->button() != Qt::LeftButton) return false;
      if (kind_ == ControlKind::Form && widget_->childAt(mouse->position().toPoint())) return false;
      if (!Reported([&] { events_.Notify(tag_, Notification::DoubleClick); })) return true;
      return kind_ == ControlKind::Label;
    }
    case QEvent::KeyPress:
      if (watched != widget_.get() || kind_ == ControlKind::Label) return false;
      return HandleKey(watched, static_cast<QKeyEvent*>(event));
    case QEvent::Close: {
      if (kind_ != ControlKind::Form || watched != widget_.get()) return false;
      bool canClose = true;
      if (!Reported([&] { canClose = events_.CloseQuery(tag_, true); })) return true;
      if (canClose) return false;
      event->ignore();
      return true;
    }
    default:
      return false;
  }
}

// A character in the byte range goes to the key-press handler, which may give another one (sent
// to the widget in its place) or none; other keys reach the control as they are.
bool QtControl::HandleKey(QObject* watched, QKeyEvent* key) {
  if (replayingKey_) return false;
  if (kind_ == ControlKind::Form) {
    if (ClickDefaultOrCancel(key)) return true;
    // The form's own handler hears the keys typed while the form itself has the focus.
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus != widget_.get()) return false;
  }
  const QString text = key->text();
  if (text.size() != 1 || text[0].unicode() > 0xFF) return false;
  const auto typed = static_cast<uint8_t>(text[0].unicode());
  uint8_t given = typed;
  if (!Reported([&] { given = events_.KeyPress(tag_, typed); })) return true;
  if (given == typed) {
    // Enter or Escape typed in an edit still reaches its form's default or cancel button.
    return false;
  }
  if (given == 0) return true;
  QKeyEvent replacement(QEvent::KeyPress, KeyFor(given), Qt::NoModifier, QString(QChar(given)));
  replayingKey_ = true;
  std::shared_ptr<bool> alive = alive_;
  QCoreApplication::sendEvent(watched, &replacement);
  if (*alive) replayingKey_ = false;
  return true;
}

// Enter clicks the focused button, else the form's default button; Escape its cancel button.
bool QtControl::ClickDefaultOrCancel(QKeyEvent* key) {
  const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  const bool escape = key->key() == Qt::Key_Escape;
  if ((!enter && !escape) || key->modifiers() & ~Qt::KeypadModifier) return false;
  if (enter) {
    if (auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
        focused && focused->window() == widget_.get()) {
      focused->click();
      return true;
    }
  }
  for (QPushButton* button : widget_->findChildren<QPushButton*>()) {
    const QVariant v = button->property(kControlProperty);
    if (!v.isValid() || !button->isVisible() || !button->isEnabled()) continue;
    auto* control = static_cast<QtControl*>(v.value<void*>());
    if (enter ? control->default_ : control->cancel_) {
      button->click();
      return true;
    }
  }
  return false;
}

}  // namespace quoll::forms
