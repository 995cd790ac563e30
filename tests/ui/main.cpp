// The workbench tests: one Qt Test suite per argument, or all of them.
#include <QApplication>
#include <QTest>
#include <cstring>

#include "libs/forms/qt_toolkit_scope.h"
#include "ui_test_support.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quoll");
  quoll::forms::ScopedQtToolkit forms;  // the workbench's toolkit for script forms
  struct Suite {
    const char* name;
    std::unique_ptr<QObject> (*make)();
  };
  const Suite suites[] = {{"MainWindowTest", quoll_test::NewMainWindowTest},
                          {"EditorWindowTest", quoll_test::NewEditorWindowTest},
                          {"DialogsTest", quoll_test::NewDialogsTest},
                          {"DebuggingTest", quoll_test::NewDebuggingTest},
                          {"FindTest", quoll_test::NewFindTest},
                          {"FormsTest", quoll_test::NewFormsTest},
                          {"CardPanesTest", quoll_test::NewCardPanesTest},
                          {"CardStackTest", quoll_test::NewCardStackTest}};
  int failures = 0;
  for (const Suite& suite : suites) {
    if (argc > 1 && std::strcmp(argv[1], suite.name) != 0) continue;
    std::unique_ptr<QObject> test = suite.make();
    failures += QTest::qExec(test.get(), argc > 1 ? argc - 1 : argc, argc > 1 ? argv + 1 : argv);
  }
  return failures == 0 ? 0 : 1;
}
