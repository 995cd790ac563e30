// FakePrompts: answers the workbench's questions from queues and records what was asked.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "ui/user_prompts.h"

namespace quoll_test {

class FakePrompts : public quoll::UserPrompts {
 public:
  std::deque<Answer> answers;     // for both kinds of warning box
  std::deque<QString> fileNames;  // for the open and save dialogs ("" = cancel)
  std::deque<QString> inputs;     // for the input box (a null text cancels)
  std::deque<int> lineNumbers;    // for Go to line (0 cancels)
  QStringList questions, messages, errors, inputPrompts;
  int saveDialogs = 0;
  int openDialogs = 0;

  Answer AskYesNo(QWidget*, const QString& text) override { return Next(text); }
  Answer AskYesNoCancel(QWidget*, const QString& text) override { return Next(text); }
  void ShowMessage(QWidget*, const QString& text) override { messages << text; }
  void ShowError(QWidget*, const QString& text) override { errors << text; }
  QString OpenFileName(QWidget*) override {
    ++openDialogs;
    return NextName();
  }
  QString SaveFileName(QWidget*) override {
    ++saveDialogs;
    return NextName();
  }
  QString SaveTraceFileName(QWidget*) override {
    ++saveDialogs;
    return NextName();
  }
  std::optional<QString> InputText(QWidget*, const QString& caption, const QString& prompt) override {
    inputPrompts << caption + "|" + prompt;
    if (inputs.empty()) return std::nullopt;
    const QString text = inputs.front();
    inputs.pop_front();
    if (text.isNull()) return std::nullopt;
    return std::optional<QString>(std::in_place, text);
  }

  std::optional<int> LineNumber(QWidget*, int, int lineCount) override {
    inputPrompts << QString("Go to line|1-%1").arg(lineCount);
    if (lineNumbers.empty()) return std::nullopt;
    const int line = lineNumbers.front();
    lineNumbers.pop_front();
    if (line == 0) return std::nullopt;
    return line;
  }

 private:
  // Unexpected questions are recorded and answered Cancel.
  Answer Next(const QString& text) {
    questions << text;
    if (answers.empty()) return Answer::Cancel;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  QString NextName() {
    if (fileNames.empty()) return QString();
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
  }
};

}  // namespace quoll_test
